// The HUD drawn through the host's recording Sketchpad, and the railgun's cycle, projectiles, release and
// sound.
#include "flight_fixture.h"

#include <cstring>

using flighttest::CorvaneFlight;

namespace {
const hs::HudText* HudAt(int y) {
    for (const hs::HudText& t : hs::Sim::Get().LastHud())
        if (t.y == y) return &t;
    return nullptr;
}
} // namespace

TEST_F(CorvaneFlight, FreshShipHudShowsWelcomeSettingAndDistanceThenTagsAndCountdownFollowTheShip) {
    auto [h, c] = StartInSpace();
    sim().SetFocus(h); // the host draws the HUD of the vessel in focus
    sim().Frame();
    ASSERT_NE(HudAt(0), nullptr);
    EXPECT_EQ(HudAt(0)->x, 3);
    EXPECT_EQ(HudAt(0)->text, "Welcome aboard ! E=EVA  M=add crew");
    ASSERT_NE(HudAt(240), nullptr);
    EXPECT_EQ(HudAt(240)->text, "HWG Timer : 1.000 secs, inc 0.010 sec");
    ASSERT_NE(HudAt(255), nullptr);
    EXPECT_EQ(HudAt(255)->text, "Distance: 6.000000e+09 m");
    EXPECT_EQ(HudAt(195), nullptr);
    EXPECT_EQ(HudAt(210), nullptr);
    EXPECT_EQ(HudAt(225), nullptr);
    c->boost = true;
    c->mainEngineFed = false;
    c->inertialDampeners = false;
    c->ToggleHyperspaceDrive();
    c->hwgTimer = 30.0;
    sim().Frame();
    ASSERT_NE(HudAt(195), nullptr);
    EXPECT_EQ(HudAt(195)->text, "[BOOST]");
    EXPECT_EQ(HudAt(210)->text, "[Main Cutoff]");
    EXPECT_EQ(HudAt(225)->text, "[Inertial Dampeners Offline]");
    EXPECT_EQ(HudAt(240)->text, "HWG ENGAGED: 29.90 secs");
}

TEST_F(CorvaneFlight, MessageWithAHundredthLeftIsDrawnOnceMoreThenStops) {
    auto [h, c] = StartInSpace(0.02);
    sim().SetFocus(h);
    sim().Frame();
    c->hudMessageTimer = 0.01;
    sim().Frame();
    ASSERT_NE(HudAt(0), nullptr);
    EXPECT_EQ(c->hudMessageTimer, 0.0);
    sim().Frame();
    EXPECT_EQ(HudAt(0), nullptr);
    EXPECT_EQ(c->hudMessageTimer, 0.0);
}

namespace {
// Calls first to last of the railgun's cycle, as the held key 1 makes them.
void AdvanceRailgun(Corvane* c, int first, int last) {
    for (int call = first; call <= last; ++call)
        c->AdvanceRailgunCycle();
}
} // namespace

TEST_F(CorvaneFlight, CycleLoadsRightBarrelOnCall11LeftOnCall20AndAgainOnCall33) {
    auto [h, c] = StartInSpace();
    AdvanceRailgun(c, 1, 10);
    EXPECT_EQ(VesselsOfClass("Pellorin"), 0);
    c->AdvanceRailgunCycle(); // 11
    EXPECT_EQ(VesselsOfClass("Pellorin"), 1);
    OBJHANDLE right = c->GetAttachmentStatus(c->railAttachRight);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right, c->lastProjectile);
    EXPECT_EQ(Rec(right)->name, "b1");
    EXPECT_EQ(c->GetAttachmentStatus(c->railAttachLeft), nullptr);
    AdvanceRailgun(c, 12, 20);
    EXPECT_EQ(VesselsOfClass("Pellorin"), 2);
    EXPECT_NE(c->GetAttachmentStatus(c->railAttachLeft), nullptr);
    c->AdvanceRailgunCycle(); // 21
    c->AdvanceRailgunCycle(); // 22
    EXPECT_EQ(c->railCycle, 0.0);
    AdvanceRailgun(c, 23, 32);
    EXPECT_EQ(VesselsOfClass("Pellorin"), 2);
    c->AdvanceRailgunCycle(); // 33
    EXPECT_EQ(VesselsOfClass("Pellorin"), 3);
}

TEST_F(CorvaneFlight, KeyReleasedAfterCall15ResumesWithTheLeftBarrelFiveCallsLater) {
    auto [h, c] = StartInSpace();
    AdvanceRailgun(c, 1, 15);
    EXPECT_DOUBLE_EQ(c->railCycle, 1.5);
    AdvanceRailgun(c, 1, 4);
    EXPECT_EQ(c->GetAttachmentStatus(c->railAttachLeft), nullptr);
    c->AdvanceRailgunCycle();
    EXPECT_NE(c->GetAttachmentStatus(c->railAttachLeft), nullptr);
}

TEST_F(CorvaneFlight, EachLoadedProjectileIsReleasedAt1700MetresASecondWithTheFiringSound) {
    auto [h, c] = StartInSpace(0.01, false, true);
    AdvanceRailgun(c, 1, 11);
    OBJHANDLE projectile = c->lastProjectile;
    ASSERT_NE(projectile, nullptr);
    sim().Frame();
    EXPECT_EQ(c->GetAttachmentStatus(c->railAttachRight), nullptr);
    ASSERT_NE(Rec(projectile), nullptr);
    const VECTOR3 rel = Rec(projectile)->phys.vel - Rec(h)->phys.vel;
    EXPECT_NEAR(rel.z, 1700.0, 1.0); // along the barrel, straight ahead
    EXPECT_NEAR(rel.x, 0.0, 1.0);
    EXPECT_EQ(TimelineCount("sound: Corvane-1 stop slot 1"), 1);
    EXPECT_EQ(TimelineCount("sound: Corvane-1 play slot 1 loop 0 volume 255 last 0"), 1);
    sim().Frame();
    EXPECT_EQ(TimelineCount("sound: Corvane-1 play slot 1"), 1); // nothing more hangs on a barrel
}

TEST_F(CorvaneFlight, TwoProjectilesOnBothBarrelsPlayTheSoundTwice) {
    auto [h, c] = StartInSpace(0.01, false, true);
    AdvanceRailgun(c, 1, 11);
    c->railCycle = 1.95; // the next call loads the left barrel too
    c->AdvanceRailgunCycle();
    ASSERT_NE(c->GetAttachmentStatus(c->railAttachLeft), nullptr);
    ASSERT_NE(c->GetAttachmentStatus(c->railAttachRight), nullptr);
    sim().Frame();
    EXPECT_EQ(TimelineCount("sound: Corvane-1 play slot 1"), 2);
    EXPECT_EQ(c->GetAttachmentStatus(c->railAttachLeft), nullptr);
    EXPECT_EQ(c->GetAttachmentStatus(c->railAttachRight), nullptr);
}

TEST_F(CorvaneFlight, AnotherAmmoClassIsCreatedUnderTheNameB1) {
    auto [h, c] = StartInSpace();
    std::snprintf(c->ammoClassName, sizeof c->ammoClassName, "%s", "Target");
    AdvanceRailgun(c, 1, 11);
    ASSERT_NE(c->lastProjectile, nullptr);
    EXPECT_EQ(Rec(c->lastProjectile)->className, "Target");
    EXPECT_EQ(Rec(c->lastProjectile)->name, "b1");
    EXPECT_EQ(VesselsOfClass("Pellorin"), 0);
    // A class without a point to hang by is left free beside the ship rather than attached by nothing.
    EXPECT_EQ(c->GetAttachmentStatus(c->railAttachRight), nullptr);
}

TEST_F(CorvaneFlight, UnknownAmmoClassFiresNothingAndDoesNotFail) {
    auto [h, c] = StartInSpace();
    std::snprintf(c->ammoClassName, sizeof c->ammoClassName, "%s", "NoSuchClass");
    const size_t before = sim().Vessels().size();
    AdvanceRailgun(c, 1, 22);
    EXPECT_EQ(sim().Vessels().size(), before);
    EXPECT_EQ(c->railCycle, 0.0);
}
