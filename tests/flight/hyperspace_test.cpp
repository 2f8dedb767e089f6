// The hyperspace drive in the host: the propellant rule, drains, displacement, rounding, meshes and tunnel.
#include "flight_fixture.h"

using flighttest::CorvaneFlight;

namespace {
constexpr double JUMP_TOLERANCE = 1e-6; // relative: positions of 1e9 m and more
}

TEST_F(CorvaneFlight, DriveIdlesAt1499Point9KgBeforeAnyDrainOrMoveAndStaysEngagedAtExactlyFifteenPercent) {
    auto [h, c] = StartInSpace();
    Tank(c->mainTank)->mass = 1499.9;
    c->ToggleHyperspaceDrive();
    const VECTOR3 before = Rec(h)->phys.pos;
    c->HyperspaceStep(0.1);
    EXPECT_EQ(c->ftlState, 0);
    EXPECT_DOUBLE_EQ(Tank(c->mainTank)->mass, 1499.9);
    EXPECT_DOUBLE_EQ(Rec(h)->phys.pos.z, before.z);
    EXPECT_DOUBLE_EQ(Rec(h)->size, 8.0);
    Tank(c->mainTank)->mass = 1500.0;
    c->ToggleHyperspaceDrive();
    c->HyperspaceStep(0.1);
    EXPECT_EQ(c->ftlState, 1);
    EXPECT_DOUBLE_EQ(Tank(c->mainTank)->mass, 1499.0);
}

TEST_F(CorvaneFlight, OneSecondJumpInQuarterStepsCovers6e9MetresAndDrains12Point5KgInTenthStepsTakesEleven) {
    auto [h, c] = StartInSpace();
    const VECTOR3 before = Rec(h)->phys.pos;
    c->ToggleHyperspaceDrive();
    for (int i = 0; i < 3; ++i) {
        c->HyperspaceStep(0.25);
        EXPECT_EQ(c->ftlState, 1);
    }
    c->HyperspaceStep(0.25);
    EXPECT_EQ(c->ftlState, 0);
    EXPECT_NEAR(Tank(c->mainTank)->mass, 10000.0 - 12.5, 1e-9);
    const VECTOR3 after = Rec(h)->phys.pos;
    EXPECT_NEAR(after.z - before.z, 6e9, 6e9 * JUMP_TOLERANCE); // the nose points along global +z
    EXPECT_NEAR(after.x, before.x, 1.0);
    EXPECT_NEAR(after.y, before.y, 1.0);
    // In tenth-second steps the timer is still above zero after ten, so an eleventh runs.
    c->ToggleHyperspaceDrive();
    for (int i = 0; i < 10; ++i)
        c->HyperspaceStep(0.1);
    EXPECT_EQ(c->ftlState, 1);
    EXPECT_GT(c->hwgTimer, 0.0);
    c->HyperspaceStep(0.1);
    EXPECT_EQ(c->ftlState, 0);
}

// A two-second step with half a second left flies the whole step and drains once; a stored timer past the
// duration drains twice; the last, 2000 kg in one drain at high time acceleration, never below empty.
TEST_F(CorvaneFlight, StepsOfAnyLengthDrainOncePerDurationStartedAndNeverBelowEmpty) {
    auto [h, c] = StartInSpace();
    const VECTOR3 before = Rec(h)->phys.pos;
    c->ftlState = 1;
    c->hwgTimer = 0.5;
    c->HyperspaceStep(2.0);
    EXPECT_EQ(c->ftlState, 0);
    EXPECT_NEAR(Tank(c->mainTank)->mass, 10000.0 - 20.0, 1e-9);
    EXPECT_NEAR(Rec(h)->phys.pos.z - before.z, 1.2e10, 1.2e10 * JUMP_TOLERANCE);
    struct Case {
        double mass, timer, duration, dt, left;
    };
    constexpr Case CASES[] = {{10000.0, 1.6, 1.0, 0.1, 10000.0 - 2.0}, {1600.0, 300.0, 300.0, 200.0, 0.0}};
    for (const Case& k : CASES) {
        Tank(c->mainTank)->mass = k.mass;
        c->ftlState = 1;
        c->hwgTimer = k.timer;
        c->hwgJumpDuration = k.duration;
        c->HyperspaceStep(k.dt);
        EXPECT_NEAR(Tank(c->mainTank)->mass, k.left, 1e-9) << k.timer;
    }
}

TEST_F(CorvaneFlight, TunnelPhaseWrapsAndDrivesTheTunnelAnimation) {
    auto [h, c] = StartInSpace();
    c->ToggleHyperspaceDrive();
    c->ftlTunnelPhase = 0.9;
    c->HyperspaceStep(0.1);
    EXPECT_NEAR(c->ftlTunnelPhase, 0.1, 1e-12);
    EXPECT_NEAR(Anim(h, c->ftlTunnelAnim), 0.1, 1e-12);
}

TEST_F(CorvaneFlight, EngagedShipIsSeenOnlyFromTheCockpitAndReturnsToItsModeAfter) {
    auto [h, c] = StartInSpace();
    c->ToggleShipMeshVisibility(); // external views only outside hyperspace
    c->hwgJumpDuration = 0.1;
    c->ToggleHyperspaceDrive();
    c->HyperspaceStep(0.05);
    EXPECT_EQ(Rec(h)->meshes[0]->visMode, MESHVIS_COCKPIT);
    EXPECT_EQ(Rec(h)->meshes[1]->visMode, MESHVIS_COCKPIT);
    EXPECT_DOUBLE_EQ(Rec(h)->size, 60.0);
    c->HyperspaceStep(0.05);
    EXPECT_EQ(c->ftlState, 0);
    c->HyperspaceStep(0.05);
    EXPECT_EQ(Rec(h)->meshes[0]->visMode, MESHVIS_NEVER);
    EXPECT_EQ(Rec(h)->meshes[1]->visMode, MESHVIS_EXTERNAL);
    EXPECT_DOUBLE_EQ(Rec(h)->size, 8.0);
}

TEST_F(CorvaneFlight, ShipFlyingSidewaysJumpsAlongItsNoseAndKeepsItsVelocity) {
    Start();
    OBJHANDLE h = InSpace("Corvane-1", _V(250.0, 0.0, 0.0));
    Corvane* c = Ship(h);
    const VECTOR3 before = Rec(h)->phys.pos;
    c->ToggleHyperspaceDrive();
    c->HyperspaceStep(0.1);
    const Vessel* v = Rec(h);
    EXPECT_NEAR(v->phys.pos.z - before.z, 6e8, 6e8 * JUMP_TOLERANCE);
    EXPECT_NEAR(v->phys.pos.x, before.x, 1.0);
    EXPECT_NEAR(v->phys.vel.x, 250.0, 1e-6);
    EXPECT_NEAR(v->phys.vel.z, 0.0, 1e-6);
}

TEST_F(CorvaneFlight, CtrlF12JumpInTheHostCarriesTheShip6e9MetresAlongItsNose) {
    OBJHANDLE h = StartInSpace(0.25).h;
    sim().SetFocus(h);
    const VECTOR3 before = Rec(h)->phys.pos;
    sim().PressKey(OAPI_KEY_F12, {OAPI_KEY_LCONTROL});
    sim().RunFrames(6);
    EXPECT_EQ(Ship(h)->ftlState, 0);
    EXPECT_NEAR(Rec(h)->phys.pos.z - before.z, 6e9, 6e9 * JUMP_TOLERANCE);
}
