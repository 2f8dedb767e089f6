// Links: a child rides rigidly on its parent and leaves at the detach speed; docked vessels move as one.
#include "physics_fixture.h"

class Links : public PhysicsWorld {
  protected:
    static hs::Attachment& Point(Vessel& v, bool toParent, VECTOR3 pos, VECTOR3 dir, VECTOR3 rot) {
        v.attachments.push_back(hs::MakeSlot<hs::Attachment>(&v));
        hs::Attachment& a = *v.attachments.back();
        a.toParent = toParent;
        a.pos = pos;
        a.dir = dir;
        a.rot = rot;
        return a;
    }
    static void Link(Vessel& parent, hs::Attachment& pp, Vessel& child, hs::Attachment& cp) {
        pp.other = &child;
        pp.otherPoint = &cp;
        cp.other = &parent;
        cp.otherPoint = &pp;
        hs::PlaceAttachedChild(parent, pp, child, cp);
    }
    static void Unlink(hs::Attachment& pp, hs::Attachment& cp) {
        pp.other = cp.other = nullptr;
        pp.otherPoint = cp.otherPoint = nullptr;
    }
    static hs::DockPort& Port(Vessel& v, VECTOR3 pos, VECTOR3 dir, VECTOR3 rot) {
        v.docks.push_back(hs::MakeSlot<hs::DockPort>(&v));
        hs::DockPort& d = *v.docks.back();
        d.pos = pos;
        d.dir = dir;
        d.rot = rot;
        return d;
    }
    static VECTOR3 Global(const Vessel& v, VECTOR3 local) { return v.phys.pos + mul(v.phys.R, local); }
    static VECTOR3 Axis(const Vessel& v, VECTOR3 local) { return mul(v.phys.R, local); }
};

TEST_F(Links, ChildHangsWithItsPointOnTheParentsFacingItAndTheRotationReferencesAligned) {
    Vessel& ship = Make("ship", 1000, _V(2, 3, 4));
    Vessel& shot = Make("shot", 1, _V(0.01, 0.01, 0.001));
    AbovePole(ship, moon, 1e6, _V(5, 0, 0));
    hs::Attachment& gun = Point(ship, false, _V(1.165, 0, 3.8), _V(0, 0, 1), _V(0, 1, 0));
    hs::Attachment& apr = Point(shot, true, _V(0, 0, 0), _V(0, 1, 0), _V(0, 0, 1));
    Link(ship, gun, shot, apr);
    EXPECT_NEAR(dist(Global(ship, gun.pos), Global(shot, apr.pos)), 0.0, 1e-9);
    EXPECT_NEAR(dist(Axis(shot, apr.dir), Axis(ship, gun.dir) * -1.0), 0.0, 1e-12);
    EXPECT_NEAR(dist(Axis(shot, apr.rot), Axis(ship, gun.rot)), 0.0, 1e-12);
    // The projectile's up is the ship's back, its nose the ship's up.
    EXPECT_NEAR(dist(Axis(shot, _V(0, 1, 0)), Axis(ship, _V(0, 0, -1))), 0.0, 1e-12);
    EXPECT_NEAR(dist(Axis(shot, _V(0, 0, 1)), Axis(ship, _V(0, 1, 0))), 0.0, 1e-12);

    // Spin and push the ship: the child follows, point on point.
    ship.phys.omega = _V(0.1, 0.2, -0.3);
    hs::Propellant* tank = Tank(ship, 10, 10);
    hs::Thruster* th = Thruster(ship, _V(0, 0, -4), _V(0, 0, 1), 2000.0, tank, 1e9);
    th->level = 1.0;
    Run(100, 0.02);
    EXPECT_NEAR(dist(Global(ship, gun.pos), Global(shot, apr.pos)), 0.0, 1e-6);
    EXPECT_NEAR(dist(Axis(shot, apr.dir), Axis(ship, gun.dir) * -1.0), 0.0, 1e-9);
    // Measured in the host: a hanging child reports its parent's velocity, without the parent's turn at its place.
    EXPECT_NEAR(dist(shot.phys.vel, ship.phys.vel), 0.0, 1e-9);
}

// The host reports an attached vessel's altitude, airspeed and attitude to the horizon as those of the top of its
// tree: a ship hung 9 m below a carrier reads the carrier's altitude, not its own.
TEST_F(Links, ChildReportsTheSurfaceReadoutsOfTheTopOfItsTree) {
    Vessel& carrier = Make("carrier", 200000, _V(20, 20, 20));
    Vessel& ship = Make("ship", 1000, _V(2, 3, 4));
    Vessel& shot = Make("shot", 1, _V(0.01, 0.01, 0.001));
    AbovePole(carrier, earth, 400e3, _V(7600, 0, 0));
    hs::Attachment& hook = Point(carrier, false, _V(0, -9, 0), _V(0, -1, 0), _V(0, 0, 1));
    hs::Attachment& dorsal = Point(ship, true, _V(0, 1, 0), _V(0, 1, 0), _V(0, 0, 1));
    Link(carrier, hook, ship, dorsal);
    hs::Attachment& gun = Point(ship, false, _V(1.165, 0, 3.8), _V(0, 0, 1), _V(0, 1, 0));
    hs::Attachment& apr = Point(shot, true, _V(0, 0, 0), _V(0, 1, 0), _V(0, 0, 1));
    Link(ship, gun, shot, apr);
    EXPECT_LT(hs::Altitude(ship), hs::Altitude(carrier) - 9.0); // where it hangs
    for (const Vessel* v : {&ship, &shot}) {
        EXPECT_EQ(&hs::SurfaceOwner(*v), &carrier);
        EXPECT_EQ(hs::Altitude(hs::SurfaceOwner(*v)), hs::Altitude(carrier));
    }
    EXPECT_EQ(&hs::SurfaceOwner(carrier), &carrier);
    Unlink(hook, dorsal);
    EXPECT_EQ(&hs::SurfaceOwner(shot), &ship); // released, the ship is the top of its own tree
}

TEST_F(Links, ParentCarriesTheChildsMass) {
    Vessel& ship = Make("ship", 1000);
    Vessel& pod = Make("pod", 1000);
    AbovePole(ship, moon, 1e7);
    hs::Attachment& hp = Point(ship, false, _V(0, -1, 0), _V(0, -1, 0), _V(0, 0, 1));
    hs::Attachment& cp = Point(pod, true, _V(0, 1, 0), _V(0, -1, 0), _V(0, 0, 1));
    Link(ship, hp, pod, cp);
    Vessel& twin = Make("twin", 1000);
    AbovePole(twin, moon, 1e7);
    hs::Propellant* tank = Tank(ship, 1, 1);
    hs::Thruster* th = Thruster(ship, _V(0, -1, 0), _V(0, 0, 1), 2001.0, tank, 1e12);
    th->level = 1.0;
    double gap = dist(ship.phys.pos, pod.phys.pos);
    Step(0.1);
    // The thrust moves the pair: 2001 N on 2001 kg, shared as momentum.
    VECTOR3 momentum = tmul(PoleAxes(moon), (ship.phys.vel - twin.phys.vel) * 1001.0 +
                                                (pod.phys.vel - twin.phys.vel) * 1000.0);
    EXPECT_NEAR(momentum.z, 2001.0 * 0.1, 1e-6);
    EXPECT_NEAR(momentum.x, 0.0, 1e-6);
    EXPECT_NEAR(dist(ship.phys.pos, pod.phys.pos), gap, 1e-9);
}

TEST_F(Links, DetachedChildLeavesAtTheDetachSpeedAlongThePointsDirection) {
    Vessel& ship = Make("ship", 1000);
    Vessel& shot = Make("shot", 1);
    AbovePole(ship, moon, 1e6, _V(0, 0, 100));
    ship.phys.R = rotm(_V(0, 1, 0), 0.5); // turned: the point's direction is not a global axis
    hs::Attachment& gun = Point(ship, false, _V(-1.165, 0, 3.8), _V(0, 0, 1), _V(0, 1, 0));
    hs::Attachment& apr = Point(shot, true, _V(0, 0, 0), _V(0, 1, 0), _V(0, 0, 1));
    Link(ship, gun, shot, apr);
    Step(0.02);
    Step(0.02);
    // Released after its second step on the barrel: from where that step began, at the speed it had then.
    const hs::Motion start = shot.phys.stepStart;
    hs::ReleaseChild(ship, gun, shot, apr, 1700.0);
    Unlink(gun, apr);
    EXPECT_NEAR(dist(shot.phys.pos, start.pos), 0.0, 1e-12);
    VECTOR3 rel = shot.phys.vel - ship.phys.stepStart.vel;
    EXPECT_NEAR(dist(rel, Axis(ship, _V(0, 0, 1)) * 1700.0), 0.0, 1e-9);
    VECTOR3 gap0 = shot.phys.pos - ship.phys.pos;
    Run(10, 0.02);
    VECTOR3 gap = shot.phys.pos - ship.phys.pos - gap0;
    // Released with the speed of the step's start, the shot lags the ship by what gravity added in that step.
    EXPECT_NEAR(dist(gap, Axis(ship, _V(0, 0, 1)) * (1700.0 * 0.2)), 0.0, 1e-2);
}

// A child hung on in the frame it was made, in the parent's own attitude, is released before any step has turned
// it: it leaves along its own point reversed, in the attitude it was made with. For a projectile hung by its up
// axis that is the ship's down.
TEST_F(Links, ChildReleasedInItsFirstStepLeavesAlongItsOwnPointReversedInItsFirstAttitude) {
    Vessel& ship = Make("ship", 1000);
    Vessel& shot = Make("shot", 1);
    AbovePole(ship, moon, 1e6, _V(0, 0, 100));
    ship.phys.R = rotm(_V(0, 1, 0), 0.5);
    AbovePole(shot, moon, 1e6, _V(0, 0, 100));
    shot.phys.R = ship.phys.R;
    hs::MarkStepStart(shot.phys);
    hs::Attachment& gun = Point(ship, false, _V(-1.165, 0, 3.8), _V(0, 0, 1), _V(0, 1, 0));
    hs::Attachment& apr = Point(shot, true, _V(0, 0, 0), _V(0, 1, 0), _V(0, 0, 1));
    gun.other = &shot;
    gun.otherPoint = &apr;
    apr.other = &ship;
    apr.otherPoint = &gun;
    EXPECT_NEAR(dist(shot.phys.pos, ship.phys.pos), 0.0, 1e-12); // hung on, not yet moved
    Step(0.02);
    EXPECT_NEAR(dist(Global(ship, gun.pos), Global(shot, apr.pos)), 0.0, 1e-9); // the step hung it
    hs::ReleaseChild(ship, gun, shot, apr, 1700.0);
    Unlink(gun, apr);
    EXPECT_NEAR(dist(shot.phys.pos, ship.phys.stepStart.pos), 0.0, 1e-9);
    VECTOR3 rel = shot.phys.vel - ship.phys.stepStart.vel;
    EXPECT_NEAR(dist(rel, Axis(ship, _V(0, -1, 0)) * 1700.0), 0.0, 1e-9);
}

TEST_F(Links, DockedVesselsMoveAsOneBody) {
    Vessel& a = Make("a", 1000);
    Vessel& b = Make("b", 3000);
    AbovePole(a, moon, 1e7);
    hs::DockPort& pa = Port(a, _V(0, 1.3, -1), _V(0, 1, 0), _V(0, 0, -1));
    hs::DockPort& pb = Port(b, _V(0, 0, 2), _V(0, 0, 1), _V(0, 1, 0));
    pa.mate = &b;
    pa.matePort = &pb;
    pb.mate = &a;
    pb.matePort = &pa;
    hs::PlaceDocked(a, pa, b, pb);
    EXPECT_NEAR(dist(Global(a, pa.pos), Global(b, pb.pos)), 0.0, 1e-9);
    EXPECT_NEAR(dist(Axis(a, pa.dir), Axis(b, pb.dir) * -1.0), 0.0, 1e-12); // face to face
    Vessel& twin = Make("twin", 1000);
    AbovePole(twin, moon, 1e7);
    hs::Propellant* tank = Tank(b, 1, 1);
    hs::Thruster* th = Thruster(b, _V(0, 0, 0), _V(0, 0, 1), 4001.0, tank, 1e12);
    th->level = 1.0;
    VECTOR3 thrustDir = Axis(b, _V(0, 0, 1));
    Step(0.1);
    VECTOR3 momentum = (a.phys.vel - twin.phys.vel) * 1000.0 + (b.phys.vel - twin.phys.vel) * 3001.0;
    EXPECT_NEAR(dist(momentum, thrustDir * 400.1), 0.0, 1e-4); // 4001 N for 0.1 s on the pair
    EXPECT_NEAR(dist(Global(a, pa.pos), Global(b, pb.pos)), 0.0, 1e-9);
    EXPECT_EQ(hs::FlightStatus(a) & 2u, 2u);
}

// Measured in the host: a parent at AROT 90 0 0 carries a child hung with its centre at (0.88, -1.064, 1.052) of
// the parent's frame at (0.88, 1.052, 1.064) of the global frame. The angles name the host's attitude, so a child
// is not hung on the mirrored side of a turned parent.
TEST_F(Links, FreeVesselAnglesNameTheHostsAttitudeSoAChildHangsOnTheSameSide) {
    Vessel& ship = Make("ship", 1000);
    AbovePole(ship, moon, 1e6);
    VESSELSTATUS2 st{};
    st.version = 2;
    st.rpos = ship.phys.pos;
    st.arot = _V(PI05, 0, 0);
    hs::FromStatus(ship, st, moon);
    EXPECT_NEAR(dist(Axis(ship, _V(0.88, -1.064, 1.052)), _V(0.88, 1.052, 1.064)), 0.0, 1e-12);
    VESSELSTATUS2 back{};
    hs::ToStatus(ship, back);
    EXPECT_NEAR(dist(back.arot, st.arot), 0.0, 1e-12);
}
