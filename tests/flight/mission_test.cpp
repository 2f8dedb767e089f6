// One flight end to end through the pilot's keys: hover off the runway, gear up, a jump, railgun, carrier.
#include "flight_fixture.h"

#include <cmath>

using flighttest::CorvaneFlight;

namespace {

double Distance(VECTOR3 a, VECTOR3 b) {
    return length(a - b);
}

VECTOR3 Nose(const Vessel* v) {
    return mul(v->phys.R, _V(0, 0, 1));
}

} // namespace

TEST_F(CorvaneFlight, RunwayHopGearUpJumpFireAtTargetThenCarrierRefuelAndRelease) {
    // Short frames: a projectile moves 17 m a frame, so one frame finds it within the target's 10 m.
    constexpr double DT = 0.01;
    auto seconds = [](double t) { return static_cast<int>(std::lround(t / DT)); };
    Start(DT, false, true);
    OBJHANDLE h = OnRunway();
    sim().SetFocus(h);
    Corvane* c = Ship(h);
    sim().RunFrames(5);
    const VECTOR3 runway = Rec(h)->phys.pos;

    // Gear up on the runway: on her wheels she balances nose up behind the mains, and a lift-off from them
    // tips her over backwards, so she settles on her belly first; the gear takes five seconds to fold away.
    sim().PressKey(OAPI_KEY_G);
    sim().RunFrames(seconds(5.1));
    EXPECT_EQ(c->gearPos, 1.0);
    EXPECT_EQ(Anim(h, c->gearLightAnim), 0.0);
    EXPECT_TRUE(Rec(h)->phys.groundContact);

    // Off the runway: full hover leaves 0.3 percent of the weight to the upward attitude jets.
    sim().SetThrusterGroupLevel(h, THGROUP_ATT_UP, 1.0);
    sim().HoldKey(OAPI_KEY_NUMPAD0, 1, {OAPI_KEY_LCONTROL});
    sim().RunFrames(seconds(3.0));
    EXPECT_EQ(Th(c->hoverThruster)->level, 1.0);
    EXPECT_FALSE(Rec(h)->phys.groundContact);
    EXPECT_GT(Distance(Rec(h)->phys.pos, runway), 1.0);

    // Leaving the ground set her turning slowly (mostly nose up); the pilot stops that on the attitude jets
    // before the jump, one axis after the other, as the pitch and bank groups share jets.
    sim().SetThrusterGroupLevel(h, THGROUP_ATT_UP, 0.0);
    auto stopTurning = [&](int axis, THGROUP_TYPE againstPositive, THGROUP_TYPE againstNegative) {
        for (int i = 0; i < seconds(2.0); ++i) {
            const double w = Rec(h)->phys.omega.data[axis];
            const double level = std::fmin(1.0, 20.0 * std::fabs(w));
            sim().SetThrusterGroupLevel(h, againstPositive, w > 0.0 ? level : 0.0);
            sim().SetThrusterGroupLevel(h, againstNegative, w < 0.0 ? level : 0.0);
            sim().Frame();
        }
        sim().SetThrusterGroupLevel(h, againstPositive, 0.0);
        sim().SetThrusterGroupLevel(h, againstNegative, 0.0);
    };
    stopTurning(0, THGROUP_ATT_PITCHUP, THGROUP_ATT_PITCHDOWN);  // +x: the nose goes down
    stopTurning(2, THGROUP_ATT_BANKRIGHT, THGROUP_ATT_BANKLEFT); // +z: the right wing goes up
    stopTurning(1, THGROUP_ATT_YAWLEFT, THGROUP_ATT_YAWRIGHT);   // +y: the nose goes right
    sim().SetThrusterGroupLevel(h, THGROUP_ATT_UP, 1.0);
    EXPECT_LT(length(Rec(h)->phys.omega), 1e-9);

    // A one-second jump along the nose.
    const VECTOR3 beforeJump = Rec(h)->phys.pos;
    const VECTOR3 nose = Nose(Rec(h));
    sim().PressKey(OAPI_KEY_F12, {OAPI_KEY_LCONTROL});
    sim().Frame();
    EXPECT_EQ(c->ftlState, 1);
    EXPECT_TRUE(TimelineHas("HUD Corvane-1: HWG ENGAGED"));
    sim().RunFrames(seconds(1.05));
    EXPECT_EQ(c->ftlState, 0);
    const VECTOR3 jumped = Rec(h)->phys.pos - beforeJump;
    EXPECT_NEAR(dotp(jumped, nose), 6e9, 6e9 * 0.01);
    EXPECT_LT(length(jumped - nose * dotp(jumped, nose)), 1e3);

    // Out there, a target hull 300 m ahead: two shots of one cycle push it and are gone.
    sim().SetThrusterGroupLevel(h, THGROUP_ATT_UP, 0.0);
    sim().HoldKey(OAPI_KEY_DECIMAL, 1, {OAPI_KEY_LCONTROL});
    std::string err;
    OBJHANDLE target = sim().CreateVessel("Hulk", "Target", nullptr, &err);
    ASSERT_NE(target, nullptr) << err;
    ASSERT_TRUE(sim().Place(target, h, _V(0, 0, 300), _V(0, 0, 0)));
    sim().Frame();
    const VECTOR3 targetVel = Rec(target)->phys.vel - Rec(h)->phys.vel;
    sim().HoldKey(OAPI_KEY_1, 22);
    sim().RunFrames(22 + seconds(0.5));
    EXPECT_EQ(TimelineCount("sound: Corvane-1 play slot 1 loop 0 volume 255 last 0"), 2);
    EXPECT_EQ(VesselsOfClass("Pellorin"), 0);
    const VECTOR3 pushed = Rec(target)->phys.vel - Rec(h)->phys.vel - targetVel;
    // Each 1 kg shot at 1700 m/s hands the 5 t hull a few tenths of a metre a second along the line of fire.
    const double along = dotp(pushed, Nose(Rec(h)));
    EXPECT_GT(along, 0.5);
    EXPECT_LT(length(pushed - Nose(Rec(h)) * along), 0.1 * along);

    // Hung under a carrier: a refill from its tank, then let go on request.
    OBJHANDLE carrier = sim().CreateVessel("Mother", "Carrier", nullptr, &err);
    ASSERT_NE(carrier, nullptr) << err;
    ASSERT_TRUE(sim().Place(carrier, h, _V(0, 20, 0), _V(0, 0, 0)));
    ASSERT_TRUE(sim().Attach(carrier, 0, h, 0));
    Tank(c->mainTank)->mass = 5000.0;
    sim().PressKey(OAPI_KEY_R, {OAPI_KEY_LSHIFT});
    sim().Frame();
    EXPECT_NEAR(Tank(c->mainTank)->mass, 10000.0, 0.01); // the attitude jets burn a little after the refill
    sim().PressKey(OAPI_KEY_J);
    sim().Frame();
    EXPECT_TRUE(TimelineHas("carrier: Mother released Corvane-1 from point 0"));
    EXPECT_EQ(c->GetAttachmentStatus(c->carrierAttachment), nullptr);
}

TEST_F(CorvaneFlight, RefuelFromTheShipDockedAtPortZero) {
    OBJHANDLE h = StartInSpace().h;
    OBJHANDLE other = InSpace("Tanker", _V(0, 0, 0), _V(0, 0, 0), "Corvane", _V(0, 10, 0));
    ASSERT_TRUE(sim().Dock(h, 0, other, 0));
    Corvane* c = Ship(h);
    Tank(c->mainTank)->mass = 2000.0;
    c->RefuelFromCarrier();
    EXPECT_EQ(Tank(c->mainTank)->mass, 10000.0);
    EXPECT_EQ(Tank(Ship(other)->mainTank)->mass, 2000.0);
}
