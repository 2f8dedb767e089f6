// The pre-step work of a Corvane in the host: hover aim, dampener mass, aero controls, lamps, brakes, thrust
// point.
#include "expect_vector.h"
#include "flight_fixture.h"

#include <cmath>

using flighttest::CorvaneFlight;

TEST_F(CorvaneFlight, AeroControlsAllOnInAirAllOffAboveIt) {
    Start();
    OBJHANDLE ground = OnRunway("Ground");
    OBJHANDLE high = InSpace("High");
    sim().Frame();
    EXPECT_EQ(Rec(ground)->adCtrlMode, 7u);
    EXPECT_EQ(Rec(high)->adCtrlMode, 0u);
}

// The rudder brakes the wheel on its side and swings the thrust point the other way; the parking brake holds
// both wheels whatever the rudder says.
TEST_F(CorvaneFlight, RudderBrakesOneWheelAndSwingsTheThrustPointParkingBrakeHoldsBoth) {
    auto [h, c] = StartInSpace();
    struct Case {
        bool parked;
        double rudder, leftBrake, rightBrake, thrustX;
    };
    constexpr Case CASES[] = {{false, 1.0, 0.0, 1.0, -1.0},
                              {false, -1.0, 1.0, 0.0, 1.0},
                              {false, 0.0, 0.0, 0.0, 0.0},
                              {true, -1.0, 1.0, 1.0, 1.0}};
    for (const Case& k : CASES) {
        c->brakeEngaged = k.parked;
        SetRudder(h, k.rudder);
        c->UpdateWheelBrakes();
        c->VectorMainThrust();
        EXPECT_DOUBLE_EQ(Rec(h)->wheelbrake[0], k.leftBrake) << k.rudder << " parked " << k.parked;
        EXPECT_DOUBLE_EQ(Rec(h)->wheelbrake[1], k.rightBrake) << k.rudder << " parked " << k.parked;
        EXPECT_DOUBLE_EQ(Th(c->mainThruster)->pos.x, k.thrustX) << k.rudder;
        EXPECT_DOUBLE_EQ(Th(c->mainThruster)->pos.y, 0.0);
        EXPECT_DOUBLE_EQ(Th(c->mainThruster)->pos.z, -4.35);
    }
}

TEST_F(CorvaneFlight, DampenersLeave750KgWhenEmptyAndMinus8750KgWhenFull) {
    auto [h, c] = StartInSpace();
    Tank(c->mainTank)->mass = 0.0;
    c->ApplyDampenerMass();
    EXPECT_DOUBLE_EQ(Rec(h)->emptyMass, 750.0);
    Tank(c->mainTank)->mass = 10000.0;
    c->ApplyDampenerMass();
    EXPECT_DOUBLE_EQ(Rec(h)->emptyMass, -8750.0);
    c->inertialDampeners = false;
    c->ApplyDampenerMass();
    EXPECT_DOUBLE_EQ(Rec(h)->emptyMass, 15000.0);
}

// Every lamp lit, then every lamp dark; the low-propellant lamp goes out at exactly 15 percent, the gear lamp
// only with the gear fully retracted.
TEST_F(CorvaneFlight, LampsFollowTheFlagsTheTankAtFifteenPercentAndTheRetractedGear) {
    auto [h, c] = StartInSpace();
    for (bool lit : {true, false}) {
        Tank(c->mainTank)->mass = lit ? 1499.9 : 1500.0;
        c->gearPos = lit ? 0.999 : 1.0;
        c->boost = c->brakeEngaged = lit;
        c->inertialDampeners = c->mainEngineFed = !lit;
        c->UpdateIndicators();
        for (UINT lamp : {c->lowPropellantLightAnim, c->gearLightAnim, c->boostLightAnim,
                          c->dampenersOfflineLightAnim, c->parkingBrakeLightAnim})
            EXPECT_EQ(Anim(h, lamp), lit ? 1.0 : 0.0) << "lamp " << lamp << (lit ? " lit" : " dark");
        EXPECT_EQ(Anim(h, c->mainEngineLightAnim), lit ? 0.0 : 1.0); // lit while the main engine is fed
    }
}

TEST_F(CorvaneFlight, BoostFollowsMainThrottleAndKeepsItsLevelWhenSwitchedOff) {
    auto [h, c] = StartInSpace();
    c->boost = true;
    c->FollowMainThrottleWithBoost();
    EXPECT_EQ(Th(c->boostThruster)->level, 0.0);
    c->SetThrusterLevel(c->mainThruster, 0.6);
    c->FollowMainThrottleWithBoost();
    EXPECT_DOUBLE_EQ(Th(c->boostThruster)->level, 0.6);
    c->boost = false;
    c->SetThrusterLevel(c->mainThruster, 0.2);
    c->FollowMainThrottleWithBoost();
    EXPECT_DOUBLE_EQ(Th(c->boostThruster)->level, 0.6);
}

// The hover engine pushes straight up with 997 permille of the weight.
TEST_F(CorvaneFlight, HoverPushesStraightUpWith997PermilleOfTheWeightAndOneFrameRunsEveryStageOnTheRunway) {
    Start();
    OBJHANDLE h = OnRunway();
    Corvane* c = Ship(h);
    c->AimHoverEngine();
    VECTOR3 w;
    c->GetWeightVector(w);
    const hs::Thruster* hover = Th(c->hoverThruster);
    // Straight up is against the weight: on its gear and rear pads the ship stands level within a degree, so in
    // its own frame the hover points almost along its own up axis.
    const VECTOR3 up = w * (-1.0 / length(w));
    testvec::ExpectVec(hover->dir, up.x, up.y, up.z, "hover", 1e-12);
    EXPECT_LT(std::fabs(std::asin(hover->dir.z) * 180.0 / PI), 1.0);
    EXPECT_NEAR(hover->max0, 0.997 * length(w), 1e-9 * length(w));
    EXPECT_GT(hover->max0, 0.0);

    sim().Frame();
    // Full tank, dampeners online: 5 percent of 25 t left in all.
    EXPECT_DOUBLE_EQ(Rec(h)->emptyMass, -8750.0);
    EXPECT_EQ(Rec(h)->adCtrlMode, 7u);
    EXPECT_EQ(Anim(h, c->mainEngineLightAnim), 1.0);
    EXPECT_EQ(Anim(h, c->gearLightAnim), 1.0);
    EXPECT_EQ(Anim(h, c->lowPropellantLightAnim), 0.0);
    EXPECT_DOUBLE_EQ(Rec(h)->size, 8.0);
    c->GetWeightVector(w);
    // Aimed against the weight she had before this step laid her on springs made for her dampened mass: that
    // turned her by less than a degree.
    EXPECT_NEAR(dotp(hover->dir, w), -length(w), (1.0 - std::cos(PI / 180.0)) * length(w));
    EXPECT_EQ(c->lastCameraMode, CAM_COCKPIT);
}

TEST_F(CorvaneFlight, InvertedShipStillHoversAwayFromTheBody) {
    Start();
    OBJHANDLE h = InSpace("Corvane-1", _V(0, 0, 0), _V(0, 0, PI)); // rolled upside down over the pole
    Corvane* c = Ship(h);
    c->AimHoverEngine();
    EXPECT_NEAR(Th(c->hoverThruster)->dir.y, -1.0, 1e-9);
}

TEST_F(CorvaneFlight, HoverIsAimedWithTheMassThePreviousStepLeft) {
    auto [h, c] = StartInSpace();
    c->clbkPreStep(0.0, 0.1, 0.0);
    VECTOR3 dampened;
    c->GetWeightVector(dampened); // 1250 kg in all
    c->inertialDampeners = false;
    c->clbkPreStep(0.0, 0.1, 0.0);
    EXPECT_NEAR(Th(c->hoverThruster)->max0, 0.997 * length(dampened), 1e-9 * length(dampened));
    EXPECT_DOUBLE_EQ(Rec(h)->emptyMass, 15000.0);
    VECTOR3 full;
    c->GetWeightVector(full); // 25 t now
    c->clbkPreStep(0.0, 0.1, 0.0);
    EXPECT_NEAR(Th(c->hoverThruster)->max0, 0.997 * length(full), 1e-9 * length(full));
    EXPECT_NEAR(length(full) / length(dampened), 20.0, 1e-9);
}
