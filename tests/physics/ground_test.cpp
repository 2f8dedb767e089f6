// Ground: support on the touchdown points, coming to rest, staying put, friction, brakes, steering,
// touchdown.
#include "physics_fixture.h"
#include "expect_vector.h"

namespace {
constexpr double DT = 1.0 / 60.0;
constexpr double LANDING_WAIT = 5.0; // s: the host's touchdown test
}

class Ground : public PhysicsWorld {
  protected:
    // A fighter-sized vessel on its wheels, at rest at longitude/latitude 0 facing north, on the turning
    // Earth (at the equator its ground moves at some 465 m/s).
    Vessel& Parked(const char* name = "fighter") {
        Vessel& v = Make(name, 1000, _V(4.82, 12.81, 9.246));
        Wheels(v);
        v.maxWheelbrakeForce = 5000.0;
        hs::PlaceLanded(v, earth, 0.0, 0.0, 0.0);
        return v;
    }
    // The same, rolling north at `speed` m/s over the ground.
    Vessel& Rolling(double speed, const char* name = "roller") {
        Vessel& v = Parked(name);
        v.phys.landed = false;
        v.phys.vel += mul(v.phys.R, _V(0, 0, speed));
        return v;
    }
    // Frames until the vessel stood still, at most `limit`: the host calls it landed five seconds later.
    int FramesToRest(Vessel& v, int limit) {
        for (int i = 1; i <= limit; ++i) {
            Step(DT);
            if (hs::FlightStatus(v) & 1u) return i - (int)std::lround(LANDING_WAIT / DT);
        }
        return -1;
    }
    // Frames until it rolls no faster than 2 cm/s over the ground, at most `limit`.
    int FramesToStop(Vessel& v, int limit) {
        for (int i = 1; i <= limit; ++i) {
            Step(DT);
            if (length(GroundVel(v)) < 0.02) return i;
        }
        return -1;
    }
};

// The turning Earth carries it round: it stays where it stood on the ground, within the rounding of turning a
// place 6371 km out five thousand times.
constexpr double CARRIED_PLACE_TOLERANCE = 1e-3; // m
constexpr double CARRIED_ATTITUDE_TOLERANCE = 1e-9;

TEST_F(Ground, LandedVesselStaysExactlyStillOverFiveThousandFramesEvenUnderASmallThrust) {
    Vessel& v = Parked();
    VECTOR3 start = BodyPos(v);
    const MATRIX3 startR = BodyAttitude(v);
    Run(5000, DT);
    EXPECT_NEAR(dist(BodyPos(v), start), 0.0, CARRIED_PLACE_TOLERANCE);
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(BodyAttitude(v).data[i], startR.data[i], CARRIED_ATTITUDE_TOLERANCE);
    EXPECT_NEAR(length(GroundVel(v)), 0.0, 1e-6);
    EXPECT_GT(length(v.phys.vel), 460.0); // the ground's own speed at the equator
    EXPECT_TRUE(hs::GroundContact(v));
    // A small thrust, below the rolling resistance, does not make it creep either.
    hs::Propellant* tank = Tank(v, 100, 100);
    hs::Thruster* th = Thruster(v, _V(0, 0, -4), _V(0, 0, 1), 500.0, tank, 1e9); // 5 % of the weight
    th->level = 1.0;
    start = BodyPos(v);
    Run(2000, DT);
    EXPECT_NEAR(dist(BodyPos(v), start), 0.0, CARRIED_PLACE_TOLERANCE);
}

TEST_F(Ground, VesselReleasedAboveItsPointsComesToRestOnThem) {
    Vessel& v = Parked();
    const hs::Body* b = hs::GetBody(earth);
    VECTOR3 up = unit(v.phys.pos - b->pos);
    v.phys.pos += up * 1.0;
    v.phys.landed = false;
    v.phys.groundContact = false;
    int frames = FramesToRest(v, 1200);
    ASSERT_GT(frames, 0) << "did not come to rest within 20 s";
    EXPECT_NEAR(length(GroundVel(v)), 0.0, 1e-9); // at rest on the ground, which carries it round
    for (int i = 0; i < 3; ++i) {
        double h = PointAltitude(v, v.touchdown[i]);
        EXPECT_NEAR(h, -WheelSink(i), 0.01); // each spring under its share of the weight
    }
    double lng, lat, hdg;
    hs::SurfacePosition(v, &lng, &lat, &hdg);
    EXPECT_NEAR(lng, 0.0, 1e-6);
    EXPECT_NEAR(lat, 0.0, 1e-6);
    EXPECT_NEAR(std::fmod(hdg + M_PI, 2 * M_PI) - M_PI, 0.0, 1e-3);
}

TEST_F(Ground, HoverAboveTheWeightLiftsOffAndBelowItStaysDown) {
    Vessel& v = Parked();
    hs::Propellant* tank = Tank(v, 100, 100);
    hs::Thruster* hover = Thruster(v, _V(0, 0, 0), _V(0, 1, 0), 0.0, tank, 1e9);
    hover->level = 1.0;
    // Aimed against the weight, as a pilot's hover is: the vessel rests a little nose up on its springs.
    const VECTOR3 w = hs::WeightVector(v);
    hover->dir = w * (-1.0 / length(w));
    hover->max0 = 0.997 * length(w);
    Run(300, DT);
    EXPECT_TRUE(hs::FlightStatus(v) & 1u);
    hover->max0 = 1.2 * length(hs::WeightVector(v));
    Run(120, DT);
    EXPECT_FALSE(hs::GroundContact(v));
    EXPECT_GT(hs::Altitude(v), 3.0);
}

TEST_F(Ground, FullWheelBrakesStopARollingVesselFasterThanNone) {
    Vessel& free = Rolling(10.0, "free");
    const VECTOR3 from = BodyPos(free);
    int freeFrames = FramesToStop(free, 1800);
    double freeRoll = dist(BodyPos(free), from); // over the ground
    owned.clear();
    live.clear();
    Vessel& braked = Rolling(10.0, "braked");
    braked.wheelbrake[0] = braked.wheelbrake[1] = 1.0;
    int brakedFrames = FramesToStop(braked, 1800);
    ASSERT_GT(freeFrames, 0);
    ASSERT_GT(brakedFrames, 0);
    // Rolling resistance alone: 0.1 g, about 10 s and 51 m; two brakes of 5 kN add 10 m/s^2.
    EXPECT_NEAR(freeFrames * DT, 10.0 / (0.1 * 9.82), 1.5);
    EXPECT_NEAR(freeRoll, 100.0 / (2 * 0.1 * 9.82), 6.0);
    EXPECT_LT(brakedFrames * 4, freeFrames);
}

TEST_F(Ground, OneSidedBrakeTurnsTheVesselTowardThatSide) {
    Vessel& v = Rolling(10.0);
    v.wheelbrake[1] = 1.0; // right wheel
    ASSERT_GT(FramesToRest(v, 1800), 0);
    double hdg;
    hs::SurfacePosition(v, nullptr, nullptr, &hdg);
    EXPECT_GT(hdg, 0.05); // turned right: heading grew from north toward east
    EXPECT_LT(hdg, M_PI);
}

TEST_F(Ground, NosewheelSteeringFollowsTheRudder) {
    auto rollWithRudder = [&](const char* name, bool steering) {
        Vessel& v = Rolling(8.0, name);
        v.nosewheelSteering = steering;
        v.ctrlSurfaces.push_back(hs::MakeSlot<hs::ControlSurface>(&v));
        hs::ControlSurface& rudder = *v.ctrlSurfaces.back();
        rudder.type = AIRCTRL_RUDDER;
        rudder.delay = 0.1;
        rudder.target = -1.0; // left
        v.adCtrlMode = 7;     // surfaces on, as a module switches them
        return &v;
    };
    Vessel* steered = rollWithRudder("steered", true);
    Vessel* fixed = rollWithRudder("fixed", false);
    Run(120, DT);
    double hdg;
    hs::SurfacePosition(*steered, nullptr, nullptr, &hdg);
    EXPECT_GT(hdg, M_PI); // turned left: heading went below north
    EXPECT_LT(hdg, 2 * M_PI - 0.1);
    hs::SurfacePosition(*fixed, nullptr, nullptr, &hdg);
    EXPECT_NEAR(std::fmod(hdg + M_PI, 2 * M_PI) - M_PI, 0.0,
                1e-6); // without steering the path stays straight
}

TEST_F(Ground, TouchdownFrameShowsTheDescentSpeedItTouchedDownWith) {
    Vessel& v = Parked();
    const hs::Body* b = hs::GetBody(earth);
    VECTOR3 up = unit(v.phys.pos - b->pos);
    v.phys.pos += up * 0.2;
    v.phys.vel += up * -4.0;
    v.phys.landed = false;
    v.phys.groundContact = false;
    int frame = 0;
    for (; frame < 60 && !hs::GroundContact(v); ++frame) {
        VECTOR3 hv = hs::HorizonAirspeedVector(v);
        EXPECT_LT(hv.y, -3.9);
        Step(DT);
    }
    ASSERT_TRUE(hs::GroundContact(v));
    VECTOR3 hv = hs::HorizonAirspeedVector(v);
    EXPECT_LT(hv.y, -4.0); // still the descent speed, slightly grown by gravity
    EXPECT_GT(hv.y, -4.0 - 9.9 * (frame * DT + 0.01));
    // Over the turning ground a fall drifts a little sideways (some 5e-4 m/s^2 of Coriolis at 4 m/s).
    EXPECT_NEAR(hv.x, 0.0, 1e-3);
    EXPECT_NEAR(hv.z, 0.0, 1e-3);
    Step(DT);
    EXPECT_TRUE(hs::GroundContact(v));
    EXPECT_GT(hs::HorizonAirspeedVector(v).y, hv.y); // the support now slows it
}

TEST_F(Ground, HorizonAirspeedAxesAreEastUpNorth) {
    Vessel& v = Parked();
    v.phys.landed = false;
    // At longitude 0, latitude 0 east is the body frame's +z, up its +x and north its +y; the velocity
    // counts over the turning ground.
    const MATRIX3 turn = FrameNow(v).R;
    v.phys.vel += mul(turn, _V(1, 2, 3));
    VECTOR3 h = hs::HorizonAirspeedVector(v);
    testvec::ExpectVec(h, 3.0, 1.0, 2.0, "", 1e-9);
}

TEST_F(Ground, RaisingTheGearOnTheGroundLetsTheVesselDownOntoItsBelly) {
    Vessel& v = Parked();
    Run(10, DT);
    v.touchdown[0] = _V(0, -2.2, 1.7);
    v.touchdown[1] = _V(-2.697, -0.99, -3.474);
    v.touchdown[2] = _V(2.697, -0.99, -3.474);
    ASSERT_GT(FramesToRest(v, 1200), 0);
    // On the belly points the centre of mass lies 0.41 of the way from the nose point to the mains, so the
    // nose point carries 0.59 of the weight and sinks most (the vessel comes to rest as soon as it is nearly
    // still, a little off the exact balance).
    EXPECT_NEAR(PointAltitude(v, v.touchdown[0]), -0.594 * EARTH_G / 20.0, 0.05);
    for (int i = 1; i < 3; ++i)
        EXPECT_NEAR(PointAltitude(v, v.touchdown[i]), -0.203 * EARTH_G / 20.0, 0.02);
    EXPECT_LT(hs::Altitude(v), 2.3);
}

TEST_F(Ground, VesselPutDeepBelowTheSurfaceClimbsOutWithoutBeingShotAway) {
    Vessel& v = Parked();
    const hs::Body* b = hs::GetBody(earth);
    VECTOR3 up = unit(v.phys.pos - b->pos);
    v.phys.pos -= up * 50.0;
    v.phys.landed = false;
    double fastest = 0.0;
    for (int i = 0; i < 1800 && !(hs::FlightStatus(v) & 1u); ++i) {
        Step(DT);
        fastest = std::max(fastest, length(GroundVel(v)));
    }
    EXPECT_TRUE(hs::FlightStatus(v) & 1u);
    EXPECT_LT(fastest, 30.0);
    EXPECT_NEAR(PointAltitude(v, v.touchdown[0]), -NOSE_SINK, 0.03);
}
