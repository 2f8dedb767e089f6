// Aerodynamics: airfoil angles and lift direction, control surfaces with their delay, mode gating and
// animation.
#include "physics_fixture.h"

namespace {

struct Probe {
    int calls = 0;
    double angle = 0.0, mach = 0.0, re = 0.0;
    double cl = 1.0, cd = 0.0, cm = 0.0;
};

void ProbeCoeff(VESSEL*, double aoa, double M, double Re, void* ctx, double* cl, double* cm, double* cd) {
    Probe* p = static_cast<Probe*>(ctx);
    ++p->calls;
    p->angle = aoa;
    p->mach = M;
    p->re = Re;
    *cl = p->cl;
    *cm = p->cm;
    *cd = p->cd;
}

} // namespace

class Aero : public PhysicsWorld {
  protected:
    hs::Airfoil& Foil(Vessel& v, AIRFOIL_ORIENTATION align, Probe* p, double S = 10.0) {
        v.airfoils.push_back(hs::MakeSlot<hs::Airfoil>(&v));
        hs::Airfoil& a = *v.airfoils.back();
        a.align = align;
        a.cf = ProbeCoeff;
        a.context = p;
        a.c = 2.0;
        a.S = S;
        a.A = 1.0;
        return a;
    }
    hs::ControlSurface& Surface(Vessel& v, AIRCTRL_TYPE type, VECTOR3 ref, int axis, double delay,
                                UINT anim) {
        v.ctrlSurfaces.push_back(hs::MakeSlot<hs::ControlSurface>(&v));
        hs::ControlSurface& c = *v.ctrlSurfaces.back();
        c.type = type;
        c.area = 5.0;
        c.dCl = 1.0;
        c.ref = ref;
        c.axis = axis;
        c.delay = delay;
        c.anim = anim;
        v.adCtrlMode = 7; // the host starts a vessel with its surfaces off; the module switches them on
        return c;
    }
};

TEST_F(Aero, SinkingFlightGivesPositiveAngleOfAttackAndLiftUpward) {
    Probe p;
    Vessel& v = Make("glider", 1000);
    Foil(v, LIFT_VERTICAL, &p);
    Vessel& twin = Make("brick", 1000);
    AbovePole(v, earth, 1000.0, _V(0, -10, 100));
    AbovePole(twin, earth, 1000.0, _V(0, -10, 100));
    Step(0.01);
    EXPECT_EQ(p.calls, 1);
    EXPECT_NEAR(p.angle, atan2(10.0, 100.0), 1e-12);
    hs::AtmState atm = hs::AtmosphereAt(earth, 1000.0);
    EXPECT_NEAR(p.mach, sqrt(10100.0) / atm.a, 1e-9);
    EXPECT_GT(p.re, 1e6);
    // Lift q S cl normal to the flow: up and a little forward.
    double q = 0.5 * atm.rho * 10100.0;
    double lift = q * 10.0 * 1.0 / 1000.0 * 0.01;
    double ca = cos(p.angle), sa = sin(p.angle);
    const VECTOR3 dv = InPoleAxes(v.phys.vel - twin.phys.vel);
    EXPECT_NEAR(dv.y, lift * ca, lift * 1e-3);
    EXPECT_NEAR(dv.z, lift * sa, lift * 1e-3);
}

TEST_F(Aero, ClimbingFlightGivesNegativeAngleAndDragOpposesTheFlow) {
    Probe p;
    p.cl = 0.0;
    p.cd = 0.5;
    Vessel& v = Make("glider", 1000);
    Foil(v, LIFT_VERTICAL, &p);
    Vessel& twin = Make("brick", 1000);
    AbovePole(v, earth, 1000.0, _V(0, 20, 100));
    AbovePole(twin, earth, 1000.0, _V(0, 20, 100));
    Step(0.01);
    EXPECT_LT(p.angle, 0.0);
    VECTOR3 dv = InPoleAxes(v.phys.vel - twin.phys.vel);
    EXPECT_LT(dv.z, 0.0);
    EXPECT_NEAR(dv.y / dv.z, 20.0 / 100.0, 1e-6); // straight against the airspeed
}

TEST_F(Aero, SideslipToTheLeftPushesAHorizontalAirfoilToTheRightAndNoAirAsksNoCoefficient) {
    Probe p;
    Vessel& v = Make("fin", 1000);
    Foil(v, LIFT_HORIZONTAL, &p);
    AbovePole(v, earth, 1000.0, _V(-10, 0, 100));
    Step(0.01);
    EXPECT_GT(p.angle, 0.0);
    EXPECT_GT(InPoleAxes(v.phys.vel).x, -10.0);
    // Above the atmosphere no coefficient is asked for.
    Probe q;
    Vessel& high = Make("glider", 1000);
    Foil(high, LIFT_VERTICAL, &q);
    AbovePole(high, earth, 2600000.0, _V(0, 0, 7000));
    Step(0.1);
    EXPECT_EQ(q.calls, 0);
}

TEST_F(Aero, ControlSurfaceReachesFullDeflectionInItsDelayAndAnimates) {
    Vessel& v = Make("plane", 1000);
    v.animations.resize(1);
    hs::ControlSurface& e = Surface(v, AIRCTRL_ELEVATOR, _V(0, 0, -5), AIRCTRL_AXIS_XPOS, 0.25, 0);
    AbovePole(v, moon, 1e6);
    e.target = 1.0;
    Run(5, 0.025);
    EXPECT_NEAR(hs::ControlSurfaceLevel(v, AIRCTRL_ELEVATOR), 0.5, 1e-12);
    EXPECT_NEAR(v.animations[0].state, 0.75, 1e-12);
    Run(5, 0.025);
    EXPECT_NEAR(e.level, 1.0, 1e-12);
    Run(5, 0.025);
    EXPECT_EQ(e.level, 1.0); // stops on the target
    EXPECT_EQ(v.animations[0].state, 1.0);
    EXPECT_EQ(hs::ControlSurfaceLevel(v, AIRCTRL_FLAP), 0.0);
}

TEST_F(Aero, SurfaceWhoseControlIsSwitchedOffReturnsToNeutral) {
    Vessel& v = Make("plane", 1000);
    hs::ControlSurface& r = Surface(v, AIRCTRL_RUDDER, _V(0, 1, -5), AIRCTRL_AXIS_YPOS, 0.1, (UINT)-1);
    hs::ControlSurface& a =
        Surface(v, AIRCTRL_AILERON, _V(5, 0, 0), AIRCTRL_AXIS_XPOS, 0.1, 7); // no such animation
    AbovePole(v, moon, 1e6);
    r.target = 1.0;
    a.target = -1.0;
    v.adCtrlMode = 4; // ailerons only
    Run(10, 0.02);
    EXPECT_EQ(r.level, 0.0);
    EXPECT_EQ(a.level, -1.0);
    v.adCtrlMode = 7;
    Run(10, 0.02);
    EXPECT_EQ(r.level, 1.0);
    v.adCtrlMode = 0;
    Run(2, 0.02);
    EXPECT_NEAR(r.level, 0.6, 1e-12);
}

// Surfaces act only on a vessel with airfoils, as in the host: each plane gets a wing that lifts nothing.
TEST_F(Aero, PositiveElevatorPitchesTheNoseUpAndPositiveRudderYawsRight) {
    Probe still;
    still.cl = 0.0;
    Vessel& v = Make("plane", 1000);
    Foil(v, LIFT_VERTICAL, &still);
    hs::ControlSurface& e = Surface(v, AIRCTRL_ELEVATOR, _V(0, 0, -5), AIRCTRL_AXIS_XPOS, 0.01, (UINT)-1);
    AbovePole(v, earth, 1000.0, _V(0, 0, 100));
    e.target = 1.0;
    Run(3, 0.01);
    EXPECT_GT(InPoleAxes(mul(v.phys.R, _V(0, 0, 1))).y, 1e-4); // the nose rises

    Vessel& w = Make("plane2", 1000);
    Foil(w, LIFT_VERTICAL, &still);
    hs::ControlSurface& r = Surface(w, AIRCTRL_RUDDER, _V(0, 1, -5), AIRCTRL_AXIS_AUTO, 0.01, (UINT)-1);
    AbovePole(w, earth, 1000.0, _V(0, 0, 100));
    r.target = 1.0;
    Run(3, 0.01);
    EXPECT_GT(InPoleAxes(mul(w.phys.R, _V(0, 0, 1))).x, 1e-4); // the nose swings to the right
}

// Half the cross section facing the flow times its drag coefficient (0.1 forward by default) is the area.
TEST_F(Aero, CrossSectionDragSlowsAVesselWithoutAirfoils) {
    Vessel& v = Make("box", 1000);
    v.crossSections = _V(0, 0, 2);
    AbovePole(v, earth, 0.0 + 5000.0, _V(0, 0, 100));
    Step(0.01);
    double rho = hs::AtmosphereAt(earth, 5000.0).rho;
    EXPECT_NEAR(InPoleAxes(v.phys.vel).z, 100.0 - 0.5 * rho * 100.0 * 100.0 * 0.5 * 2.0 * 0.1 / 1000.0 * 0.01, 1e-6);
    EXPECT_NEAR(v.phys.drag, 0.5 * rho * 100.0 * 100.0 * 0.5 * 2.0 * 0.1, 1e-6);
}

// The host damps a spin in air by a pressure that counts 30 m/s more airspeed, times the vertical cross
// section and the rotational drag, and never by more than stops it in one step.
TEST_F(Aero, SpinIsDampedByThePressureOfThirtyMetresPerSecondMoreAndNeverReversed) {
    Probe still;
    still.cl = 0.0;
    Vessel& v = Make("glider", 1000, _V(2, 2, 2));
    Foil(v, LIFT_VERTICAL, &still);
    v.crossSections = _V(1, 40, 1);
    v.rotDrag = _V(0.05, 0.05, 0.05);
    AbovePole(v, earth, 1000.0, _V(0, 0, 70));
    v.phys.omega = _V(0.1, 0, 0);
    Step(0.01);
    double rho = hs::AtmosphereAt(earth, 1000.0).rho;
    double damping = 0.5 * rho * 100.0 * 100.0 * 40.0 * 0.05; // N m s: (70 + 30) m/s
    EXPECT_NEAR(v.phys.omega.x, 0.1 - damping * 0.1 / 2000.0 * 0.01, 1e-6);

    Vessel& w = Make("feather", 1, _V(0.01, 0.01, 0.01));
    Foil(w, LIFT_VERTICAL, &still);
    w.crossSections = _V(1, 40, 1);
    w.rotDrag = _V(1, 1, 1);
    AbovePole(w, earth, 1000.0, _V(0, 0, 70));
    w.phys.omega = _V(0, 0.5, 0);
    Step(0.01);
    EXPECT_NEAR(w.phys.omega.y, 0.0, 1e-9); // stopped, not turned the other way
}

// An airfoil's moment turns the ship about its own axis with the host's sign (a vertical one about +x); one
// without an area lifts with the cross sections it shows the flow.
TEST_F(Aero, AirfoilMomentTurnsAboutPlusXAndAnAirfoilWithoutAreaTakesTheCrossSection) {
    Probe pitching;
    pitching.cl = 0.0;
    pitching.cm = 0.1;
    Vessel& v = Make("wing", 1000, _V(2, 2, 2));
    Foil(v, LIFT_VERTICAL, &pitching);
    v.rotDrag = _V(0, 0, 0);
    AbovePole(v, earth, 1000.0, _V(0, 0, 100));
    Step(0.01);
    double q = 0.5 * hs::AtmosphereAt(earth, 1000.0).rho * 100.0 * 100.0;
    EXPECT_NEAR(v.phys.omega.x, 0.1 * q * 10.0 * 2.0 / 2000.0 * 0.01, 1e-6);

    Probe lifting;
    Vessel& u = Make("bare", 1000);
    Foil(u, LIFT_VERTICAL, &lifting, 0.0);
    u.crossSections = _V(5, 30, 7);
    Vessel& twin = Make("twin", 1000);
    AbovePole(u, earth, 1000.0, _V(0, 0, 100));
    AbovePole(twin, earth, 1000.0, _V(0, 0, 100));
    Step(0.01);
    EXPECT_NEAR(InPoleAxes(u.phys.vel - twin.phys.vel).y, q * 7.0 / 1000.0 * 0.01,
                1e-6); // head on: the front section
}
