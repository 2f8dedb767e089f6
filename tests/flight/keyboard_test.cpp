// Keyboard commands in the host: modifier precedence, each key mapping, the commands' limits and held keys.
#include "flight_fixture.h"

#include "lib/host.h"
#include "physics/physics.h"

#include <climits>
#include <cmath>

using flighttest::CorvaneFlight;

TEST_F(CorvaneFlight, ShiftWinsOverCtrlCtrlBIsTheParkingBrakeAndStillOfferedToTheHost) {
    auto [h, c] = StartInSpace();
    EXPECT_EQ(Buffered(h, OAPI_KEY_B, {OAPI_KEY_LSHIFT, OAPI_KEY_LCONTROL}), 1);
    EXPECT_FALSE(c->mainEngineFed);
    EXPECT_EQ(Th(c->mainThruster)->res, nullptr);
    EXPECT_FALSE(c->brakeEngaged);
    EXPECT_FALSE(c->boost);

    EXPECT_EQ(Buffered(h, OAPI_KEY_B, {OAPI_KEY_RCONTROL}), 0);
    EXPECT_TRUE(c->brakeEngaged);

    EXPECT_EQ(Buffered(h, OAPI_KEY_B), 1);
    EXPECT_TRUE(c->boost);
    EXPECT_EQ(Th(c->boostThruster)->res, Tank(c->mainTank));

    EXPECT_EQ(Buffered(h, OAPI_KEY_B, {OAPI_KEY_RSHIFT}), 1);
    EXPECT_TRUE(c->mainEngineFed);
    EXPECT_EQ(Th(c->mainThruster)->res, Tank(c->mainTank));
    EXPECT_EQ(Buffered(h, OAPI_KEY_B), 1);
    EXPECT_EQ(Th(c->boostThruster)->res, nullptr);
}

TEST_F(CorvaneFlight, AltGMovesTheGearLikeGSwitchesContactsAtOnceAndReversesFromAnywhereInFlight) {
    auto [h, c] = StartInSpace();
    EXPECT_EQ(Buffered(h, OAPI_KEY_G, {OAPI_KEY_LALT}), 1);
    EXPECT_EQ(c->gearTarget, 1.0);
    const Vessel* v = Rec(h);
    EXPECT_DOUBLE_EQ(v->touchdown[0].y, -2.2);
    EXPECT_DOUBLE_EQ(v->touchdown[1].x, -2.697);
    EXPECT_FALSE(v->nosewheelSteering);
    EXPECT_EQ(v->maxWheelbrakeForce, 0.0);
    EXPECT_DOUBLE_EQ(v->muLng, 0.5);
    EXPECT_DOUBLE_EQ(v->muLat, 0.5);

    EXPECT_EQ(Buffered(h, OAPI_KEY_G), 1);
    EXPECT_EQ(c->gearTarget, 0.0);
    EXPECT_DOUBLE_EQ(v->touchdown[0].z, 4.2);
    EXPECT_DOUBLE_EQ(v->touchdown[2].x, 5.9);
    EXPECT_TRUE(v->nosewheelSteering);
    EXPECT_EQ(v->maxWheelbrakeForce, 200000.0);
    EXPECT_DOUBLE_EQ(v->muLng, 0.1);
    EXPECT_DOUBLE_EQ(v->muLat, 0.5);

    c->gearPos = 0.5;
    c->gearTarget = 1.0;
    c->ToggleGear();
    EXPECT_EQ(c->gearTarget, 0.0);
}

TEST_F(CorvaneFlight, KeyReleasesPlaybackAndUnknownKeysAreLeftToTheHost) {
    auto [h, c] = StartInSpace();
    Keys keys;
    EXPECT_EQ(c->clbkConsumeBufferedKey(OAPI_KEY_G, false, keys.state), 0);
    EXPECT_EQ(c->gearTarget, 0.0);
    EXPECT_EQ(Buffered(h, OAPI_KEY_Q), 0);
    EXPECT_EQ(Buffered(h, OAPI_KEY_F12), 0); // F12 alone is not the drive
    EXPECT_EQ(Buffered(h, OAPI_KEY_R), 0);   // R alone is not refuelling
    sim().SetPlayback(true);
    EXPECT_EQ(Buffered(h, OAPI_KEY_G), 0);
    EXPECT_EQ(c->gearTarget, 0.0);
}

TEST_F(CorvaneFlight, EngagedDriveIgnoresKeys3And4ShiftStillChangesTheStepAndIdleTheyClampTheDuration) {
    auto [h, c] = StartInSpace();
    c->ftlState = 1;
    EXPECT_EQ(Buffered(h, OAPI_KEY_3), 1);
    EXPECT_EQ(Buffered(h, OAPI_KEY_4), 1);
    EXPECT_EQ(c->hwgJumpDuration, 1.0);
    EXPECT_EQ(Buffered(h, OAPI_KEY_3, {OAPI_KEY_LSHIFT}), 1);
    EXPECT_EQ(c->hwgStepIndex, 0);
    EXPECT_EQ(Buffered(h, OAPI_KEY_4, {OAPI_KEY_RSHIFT}), 1);
    EXPECT_EQ(Buffered(h, OAPI_KEY_4, {OAPI_KEY_RSHIFT}), 1);
    EXPECT_EQ(c->hwgStepIndex, 2);
    // Idle, the duration keys clamp at one millisecond and six hundred seconds.
    c->ftlState = 0;
    c->hwgJumpDuration = 0.005;
    c->hwgStepIndex = 1;
    EXPECT_EQ(Buffered(h, OAPI_KEY_3), 1);
    EXPECT_DOUBLE_EQ(c->hwgJumpDuration, 0.001);
    c->hwgJumpDuration = 599.5;
    c->hwgStepIndex = 3;
    EXPECT_EQ(Buffered(h, OAPI_KEY_4), 1);
    EXPECT_DOUBLE_EQ(c->hwgJumpDuration, 600.0);
}

// At the ends of its range, and from a stray scenario value, the step index stays within 0 to 6.
TEST_F(CorvaneFlight, StepIndexStaysWithinZeroToSixWithoutOverflow) {
    Corvane* c = StartInSpace().c;
    struct Case {
        int from;
        bool increase;
        int expected;
    };
    constexpr Case CASES[] = {{0, false, 0},      {6, true, 6},        {400, false, 6},
                              {INT_MAX, true, 6}, {INT_MIN, false, 0}, {-5, true, 0}};
    for (const Case& k : CASES) {
        c->hwgStepIndex = k.from;
        if (k.increase)
            c->IncreaseHyperspaceStep();
        else
            c->DecreaseHyperspaceStep();
        EXPECT_EQ(c->hwgStepIndex, k.expected) << k.from;
    }
}

TEST_F(CorvaneFlight, CtrlF12TwiceDisengagesAndEachPressResetsTheTimer) {
    auto [h, c] = StartInSpace();
    c->hwgJumpDuration = 2.5;
    EXPECT_EQ(Buffered(h, OAPI_KEY_F12, {OAPI_KEY_LCONTROL}), 1);
    EXPECT_EQ(c->ftlState, 1);
    EXPECT_EQ(c->hwgTimer, 2.5);
    c->hwgTimer = 1.0;
    EXPECT_EQ(Buffered(h, OAPI_KEY_F12, {OAPI_KEY_RCONTROL}), 1);
    EXPECT_EQ(c->ftlState, 0);
    EXPECT_EQ(c->hwgTimer, 2.5);
}

TEST_F(CorvaneFlight, GearOnTheGroundRisesOnlyFromFullyExtended) {
    Start();
    OBJHANDLE h = OnRunway();
    sim().Frame();
    Corvane* c = Ship(h);
    ASSERT_TRUE(c->GroundContact());
    c->ToggleGear();
    EXPECT_EQ(c->gearTarget, 1.0);
    c->gearPos = 0.5;
    c->ToggleGear();
    EXPECT_EQ(c->gearTarget, 1.0);
}

TEST_F(CorvaneFlight, GearChangeWithTheDampenersOnMakesTheTouchdownSpringsForTheDampenedMassWithoutMisuse) {
    auto [h, c] = StartInSpace();
    sim().Frame();
    ASSERT_TRUE(c->inertialDampeners);
    const double dampened = Rec(h)->emptyMass; // full tank: 5 percent of 25 t left, the empty mass below zero
    ASSERT_LT(dampened, 0.0);
    const int misuse = hs::W().misuse;
    for (double target : {1.0, 0.0}) { // up, then down again
        sim().PressKey(OAPI_KEY_G);
        sim().Frame();
        EXPECT_EQ(c->gearTarget, target);
        // Each point is a spring of 400 N/m and a damper of 7.5 N s/m per kg of the ship's mass: 5 percent of
        // 25 t with the dampeners on, on every one of its points.
        EXPECT_DOUBLE_EQ(Rec(h)->touchdownStiffness, 400.0 * 1250.0);
        EXPECT_DOUBLE_EQ(Rec(h)->touchdownDamping, 7.5 * 1250.0);
        ASSERT_GT(Rec(h)->touchdownVertices.size(), 3u);
        // Every point but the three feelers, which neither push nor damp (and so do not grip).
        int feelers = 0;
        for (const TOUCHDOWNVTX& p : Rec(h)->touchdownVertices) {
            if (p.stiffness == 0.0 && p.damping == 0.0)
                ++feelers;
            else
                EXPECT_DOUBLE_EQ(p.stiffness, 400.0 * 1250.0);
        }
        EXPECT_EQ(feelers, 3);
        EXPECT_DOUBLE_EQ(Rec(h)->emptyMass, dampened); // the mass itself is left alone
        EXPECT_EQ(hs::W().misuse, misuse);
    }
}

TEST_F(CorvaneFlight, GearRaisedOnTheRunwayWithTheDampenersOnSettlesHerOnHerBellyWithoutMisuse) {
    Start(0.01);
    OBJHANDLE h = OnRunway();
    sim().Frame();
    Corvane* c = Ship(h);
    ASSERT_LT(Rec(h)->emptyMass, 0.0);
    const int misuse = hs::W().misuse;
    sim().PressKey(OAPI_KEY_G);
    sim().RunFrames(600);
    EXPECT_EQ(c->gearPos, 1.0);
    EXPECT_DOUBLE_EQ(Rec(h)->touchdownStiffness, 400.0 * 1250.0);
    EXPECT_TRUE(Rec(h)->phys.groundContact);
    // At rest on the belly points, as the host leaves her: on springs, going round with the turning ground.
    const Vessel& v = *Rec(h);
    const hs::Body& earth = *hs::GetBody(v.phys.body);
    EXPECT_LT(length(v.phys.vel - hs::SurfaceVelocity(hs::FrameNow(earth), earth, v.phys.pos)), 0.01);
    EXPECT_LT(hs::Altitude(*Rec(h)), 1.762);       // lower than on the wheels
    EXPECT_LT(std::fabs(hs::Bank(*Rec(h))), 1e-3); // the right way up
    EXPECT_EQ(hs::W().misuse, misuse);
}

TEST_F(CorvaneFlight, CanopyTargetsOpenUnlessExactlyOpen) {
    auto [h, c] = StartInSpace();
    c->canopyPTarget = 0.4;
    EXPECT_EQ(Buffered(h, OAPI_KEY_K), 1);
    EXPECT_EQ(c->canopyPTarget, 1.0);
    EXPECT_EQ(Buffered(h, OAPI_KEY_K), 1);
    EXPECT_EQ(c->canopyPTarget, 0.0);
    EXPECT_EQ(Buffered(h, OAPI_KEY_K, {OAPI_KEY_LSHIFT}), 1);
    EXPECT_EQ(c->canopyCTarget, 1.0);
    EXPECT_EQ(c->canopyPTarget, 0.0);
}

TEST_F(CorvaneFlight, ShiftITogglesDampenersF8TogglesShipMeshMode) {
    auto [h, c] = StartInSpace();
    EXPECT_EQ(Buffered(h, OAPI_KEY_I, {OAPI_KEY_LSHIFT}), 1);
    EXPECT_FALSE(c->inertialDampeners);
    EXPECT_EQ(Buffered(h, OAPI_KEY_F8), 1);
    EXPECT_EQ(c->shipMeshVisibility, MESHVIS_EXTERNAL);
    EXPECT_EQ(Buffered(h, OAPI_KEY_F8), 1);
    EXPECT_EQ(c->shipMeshVisibility, MESHVIS_ALWAYS);
}

TEST_F(CorvaneFlight, Key5SwapsCameraSeatsAndAStrayViewGoesBackToTheFirst) {
    auto [h, c] = StartInSpace();
    EXPECT_EQ(Buffered(h, OAPI_KEY_5), 1);
    EXPECT_EQ(c->viewIndex, 1);
    EXPECT_DOUBLE_EQ(Rec(h)->cameraOffset.y, 0.91);
    EXPECT_DOUBLE_EQ(Rec(h)->cameraOffset.z, 2.1);
    c->ToggleCockpitView();
    EXPECT_EQ(c->viewIndex, 0);
    EXPECT_DOUBLE_EQ(Rec(h)->cameraOffset.y, 0.73);
    EXPECT_DOUBLE_EQ(Rec(h)->cameraOffset.z, 3.03);
    c->viewIndex = 7; // a scenario may store any number
    c->ToggleCockpitView();
    EXPECT_EQ(c->viewIndex, 0);
    EXPECT_DOUBLE_EQ(Rec(h)->cameraOffset.z, 3.03);
}

TEST_F(CorvaneFlight, KeyMRestartsTheAddCrewDialogWithClearedTextAndKeyETakenWithAndWithoutCtrl) {
    auto [h, c] = StartInSpace();
    c->addCrewDialog.addCrewStage = 4;
    std::snprintf(c->addCrewDialog.addCrewName, sizeof c->addCrewDialog.addCrewName, "%s", "Half typed");
    EXPECT_EQ(Buffered(h, OAPI_KEY_M), 1);
    EXPECT_EQ(c->addCrewDialog.addCrewStage, 1);
    EXPECT_EQ(c->addCrewDialog.addCrewName[0], '\0');
    EXPECT_EQ(Buffered(h, OAPI_KEY_E), 1);
    EXPECT_EQ(Buffered(h, OAPI_KEY_E, {OAPI_KEY_LCONTROL}), 1);
}

namespace {
// A Corvane hung under a Carrier on the carrier's child point given.
struct Hung {
    OBJHANDLE carrier, ship;
};
} // namespace

class CarrierFlight : public CorvaneFlight {
  protected:
    Hung HangUnderCarrier(DWORD point) {
        OBJHANDLE carrier = InSpace("Mother", _V(0, 0, 0), _V(0, 0, 0), "Carrier", _V(0, 50, 0));
        OBJHANDLE ship = InSpace("Corvane-1");
        VESSEL* cv = oapiGetVesselInterface(carrier);
        EXPECT_TRUE(
            cv->AttachChild(ship, cv->GetAttachmentHandle(false, point), Ship(ship)->carrierAttachment));
        return {carrier, ship};
    }
    static hs::Propellant* CarrierTank(OBJHANDLE carrier) { return Rec(carrier)->propellants.at(0).get(); }
};

TEST_F(CarrierFlight, RefuelWithExactlyTheNeededAmountMovesNothingAndWithOneGramMoreFillsTheTank) {
    Start();
    Hung hung = HangUnderCarrier(0);
    Corvane* c = Ship(hung.ship);
    Tank(c->mainTank)->mass = 4000.0;
    CarrierTank(hung.carrier)->mass = 6000.0;
    EXPECT_EQ(Buffered(hung.ship, OAPI_KEY_R, {OAPI_KEY_LSHIFT}), 1);
    EXPECT_EQ(Tank(c->mainTank)->mass, 4000.0);
    EXPECT_EQ(CarrierTank(hung.carrier)->mass, 6000.0);
    CarrierTank(hung.carrier)->mass = 6000.001;
    c->RefuelFromCarrier();
    EXPECT_EQ(Tank(c->mainTank)->mass, 10000.0);
    EXPECT_NEAR(CarrierTank(hung.carrier)->mass, 0.001, 1e-9);
}

TEST_F(CarrierFlight, KeyJSendsIndexZeroWhenTheCarrierListsNoPointHoldingTheShip) {
    Start();
    Hung hung = HangUnderCarrier(1);
    // The carrier's own record forgets the ship while the ship still hangs on it.
    hs::Attachment* point = nullptr;
    for (auto& a : Rec(hung.carrier)->attachments)
        if (!a->toParent && a->other) point = a.get();
    ASSERT_NE(point, nullptr);
    Vessel* held = point->other;
    point->other = nullptr;
    Ship(hung.ship)->RequestCarrierRelease();
    point->other = held;
    EXPECT_TRUE(TimelineHas("carrier: Mother point 0 holds nothing"));
}

TEST_F(CorvaneFlight, RefuelAndKeyJWithoutACarrierDoNothing) {
    auto [h, c] = StartInSpace();
    Tank(c->mainTank)->mass = 100.0;
    c->RefuelFromCarrier();
    EXPECT_EQ(Tank(c->mainTank)->mass, 100.0);
    EXPECT_EQ(Buffered(h, OAPI_KEY_J), 1);
    EXPECT_FALSE(TimelineHas("carrier:"));
}

TEST_F(CorvaneFlight, CtrlNumpadKeysSetTheHoverLevelBothTogetherLeaveItAtZeroAndShiftBlocksThem) {
    auto [h, c] = StartInSpace();
    Keys up({OAPI_KEY_LCONTROL, OAPI_KEY_NUMPAD0});
    EXPECT_EQ(c->clbkConsumeDirectKey(up.state), 0);
    EXPECT_EQ(Th(c->hoverThruster)->level, 1.0);
    EXPECT_EQ(up.state[OAPI_KEY_NUMPAD0], 0);
    Keys both({OAPI_KEY_RCONTROL, OAPI_KEY_NUMPAD0, OAPI_KEY_DECIMAL});
    EXPECT_EQ(c->clbkConsumeDirectKey(both.state), 0);
    EXPECT_EQ(Th(c->hoverThruster)->level, 0.0);
    EXPECT_EQ(both.state[OAPI_KEY_NUMPAD0], 0);
    EXPECT_EQ(both.state[OAPI_KEY_DECIMAL], 0);
    Keys shifted({OAPI_KEY_LSHIFT, OAPI_KEY_LCONTROL, OAPI_KEY_NUMPAD0});
    c->clbkConsumeDirectKey(shifted.state);
    EXPECT_EQ(Th(c->hoverThruster)->level, 0.0);
    EXPECT_NE(shifted.state[OAPI_KEY_NUMPAD0], 0);
}

TEST_F(CorvaneFlight, Key1WithAnyModifierFiresNothing) {
    auto [h, c] = StartInSpace();
    for (DWORD mod : {OAPI_KEY_LSHIFT, OAPI_KEY_RCONTROL, OAPI_KEY_LALT, OAPI_KEY_RALT}) {
        Keys keys({mod, OAPI_KEY_1});
        EXPECT_EQ(c->clbkConsumeDirectKey(keys.state), 0);
        EXPECT_EQ(c->railCycle, 0.0);
        EXPECT_NE(keys.state[OAPI_KEY_1], 0);
    }
    Keys plain({OAPI_KEY_1});
    EXPECT_EQ(c->clbkConsumeDirectKey(plain.state), 0);
    EXPECT_DOUBLE_EQ(c->railCycle, 0.1);
    EXPECT_EQ(plain.state[OAPI_KEY_1], 0);
}

TEST_F(CorvaneFlight, HoldingKey1ForThirtyFramesAdvancesTheCycleThirtyTimes) {
    OBJHANDLE h = StartInSpace(0.05).h;
    sim().SetFocus(h);
    sim().HoldKey(OAPI_KEY_1, 30);
    sim().RunFrames(30);
    // 22 calls make a cycle and wrap the clock to 0; 8 more leave it at 0.8.
    EXPECT_NEAR(Ship(h)->railCycle, 0.8, 1e-9);
}
