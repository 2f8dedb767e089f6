// The Pellorin module flown by the stand-in host: its class, its life, the ground rule and its strikes.
#include "hostsim_fixture.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr double TARGET_MASS = 5000.0;    // kg, from the Target class file

// The shared host fixture on a private root; each test starts its world at the frame length it needs, with a
// distant hull of its own in focus, so no test vessel is spared for having it.
class PellorinFlight : public hs::test::HostFixture {
  protected:
    void Start(double dt) {
        options.dt = dt;
        Restart();
        observer = Create("Observer", "Target", _V(5000, 0, 0), _V(0, 0, 0));
        Sim().SetFocus(observer);
    }

    OBJHANDLE Create(const char* name, const char* cls, VECTOR3 offset, VECTOR3 vel, VECTOR3 arot = _V(0, 0, 0)) {
        return hs::test::CreateAbovePole(name, cls, offset, vel, arot);
    }

    size_t Flashes(OBJHANDLE projectile) { return Sim().Record(projectile)->beacons.size(); }
    bool Alive(OBJHANDLE h) { return Sim().Record(h) != nullptr; }
    VECTOR3 Velocity(OBJHANDLE h) { return Sim().Record(h)->phys.vel; }

    // Projectiles made and ended on the timeline, which tags the second of one name b1#2.
    struct Shots {
        int created = 0, ended = 0;
    };
    Shots CountShots() {
        Shots n;
        for (const std::string& line : Sim().Timeline()) {
            n.created += line.find("created b1") != std::string::npos && line.find("(Pellorin)") != std::string::npos;
            n.ended += line.find("deleted b1") != std::string::npos;
        }
        return n;
    }

    OBJHANDLE observer = nullptr;
};

TEST_F(PellorinFlight, ClassCapabilitiesMakeASmallUnfocusableProjectileWithAnAprPoint) {
    Start(1.0 / 60.0);
    OBJHANDLE p = Create("b1", "Pellorin", _V(0, 0, 0), _V(0, 0, 0));
    const Vessel* v = Sim().Record(p);
    ASSERT_NE(v, nullptr);
    EXPECT_FALSE(v->enableFocus);
    EXPECT_DOUBLE_EQ(v->size, 0.125);
    EXPECT_DOUBLE_EQ(v->emptyMass, 1.0); // the strike force assumes exactly 1 kg
    ASSERT_EQ(v->groups.size(), 1u);
    EXPECT_EQ(v->groups[0]->type, THGROUP_MAIN);
    ASSERT_EQ(v->attachments.size(), 1u);
    EXPECT_TRUE(v->attachments[0]->toParent);
    EXPECT_STREQ(v->attachments[0]->id, "APR");
    EXPECT_DOUBLE_EQ(v->attachments[0]->dir.y, 1.0);
    EXPECT_DOUBLE_EQ(v->attachments[0]->rot.z, 1.0);
    EXPECT_TRUE(v->beacons.empty());
}

TEST_F(PellorinFlight, LonelyProjectileFlashesJustAfterThirtySecondsOnTheGroundAfterHalfASecondThenIsGone) {
    Start(0.5); // exact in binary: 60 steps leave exactly 0 s of life
    OBJHANDLE p = Create("b1", "Pellorin", _V(0, 0, 0), _V(0, 0, 0));
    Sim().RunFrames(60);
    ASSERT_TRUE(Alive(p));
    EXPECT_EQ(Flashes(p), 0u); // 0 s left is not yet below 0
    Sim().Frame();
    ASSERT_TRUE(Alive(p));
    ASSERT_EQ(Flashes(p), 1u);
    const BEACONLIGHTSPEC* b = Sim().Record(p)->beacons[0];
    EXPECT_EQ(b->shape, (DWORD)BEACONSHAPE_DIFFUSE);
    EXPECT_DOUBLE_EQ(b->col->x, 1.0);
    EXPECT_DOUBLE_EQ(b->col->z, 1.0);
    EXPECT_DOUBLE_EQ(b->pos->y, 0.0);
    EXPECT_DOUBLE_EQ(b->period, 0.2);
    EXPECT_DOUBLE_EQ(b->duration, 1.0);
    EXPECT_TRUE(b->active);
    Sim().Frame();
    EXPECT_FALSE(Alive(p));

    // Landed, touching the ground from the start: ignored at 0.4 s, the end at 0.6 s.
    Start(0.2);
    std::string err;
    p = Sim().CreateVessel("b1", "Pellorin", nullptr, &err);
    ASSERT_NE(p, nullptr) << err;
    Sim().RunFrames(2); // 0.4 s
    ASSERT_TRUE(Alive(p));
    EXPECT_EQ(Flashes(p), 0u);
    Sim().Frame(); // 0.6 s
    ASSERT_TRUE(Alive(p));
    EXPECT_EQ(Flashes(p), 1u);
    Sim().Frame();
    EXPECT_FALSE(Alive(p));
}

TEST_F(PellorinFlight, SizeTenTargetIsNotStruckAtExactlyTenMetresButAtNinePointNine) {
    Start(1.0 / 60.0);
    Create("T1", "Target", _V(0, 0, 0), _V(0, 0, 0));
    OBJHANDLE p = Create("b1", "Pellorin", _V(10.0, 0, 0), _V(0, 0, 0));
    // One step only: afterwards gravity draws the two together by a hair.
    Sim().Frame();
    ASSERT_TRUE(Alive(p));
    EXPECT_EQ(Flashes(p), 0u);
    Start(1.0 / 60.0);
    OBJHANDLE target = Create("T1", "Target", _V(0, 0, 0), _V(0, 0, 0));
    p = Create("b1", "Pellorin", _V(9.9, 0, 0), _V(0, 0, 0));
    Sim().Frame();
    EXPECT_EQ(Flashes(p), 1u);
    Sim().Frame();
    EXPECT_FALSE(Alive(p));
    EXPECT_TRUE(Alive(target));
}

TEST_F(PellorinFlight, FocusVesselIsNeverStruckEvenWhenPassedThrough) {
    Start(1.0 / 60.0);
    OBJHANDLE focus = Create("T1", "Target", _V(0, 0, 0), _V(0, 0, 0));
    Sim().SetFocus(focus);
    // 120 m/s along z from 5 m behind: through the centre and out again within 10 frames.
    OBJHANDLE p = Create("b1", "Pellorin", _V(0, 0, -5), _V(0, 0, 120));
    const double vz0 = Velocity(focus).z;
    Sim().RunFrames(10);
    ASSERT_TRUE(Alive(p));
    EXPECT_EQ(Flashes(p), 0u);
    EXPECT_NEAR(Velocity(focus).z, vz0, 1e-6);
}

TEST_F(PellorinFlight, TwoTargetsInReachAreEachPushedWithTheirOwnRelativeVelocityAgainInTheDeletionStep) {
    Start(1.0 / 60.0);
    OBJHANDLE a = Create("T1", "Target", _V(0, 0, 0), _V(0, 0, 0));
    OBJHANDLE b = Create("T2", "Target", _V(0, 0, 12), _V(0, 0, -500));
    OBJHANDLE p = Create("b1", "Pellorin", _V(0, 0, 6), _V(0, 0, 1000));
    Sim().Frame();
    EXPECT_EQ(Flashes(p), 2u);
    // Along z gravity is negligible here (the pole is along y): what changed is the push, momentum / mass.
    EXPECT_NEAR(Velocity(a).z, 1000.0 / TARGET_MASS, 1e-4);
    EXPECT_NEAR(Velocity(b).z, -500.0 + 1500.0 / TARGET_MASS, 1e-4);
    EXPECT_NEAR(Velocity(a).x, 0.0, 1e-6);
    Sim().Frame();
    EXPECT_FALSE(Alive(p));

    // A struck vessel still in reach is pushed again in the deletion step. 120 m/s covers 2 m a frame: 6 m
    // behind, then 4 m: in reach on both steps.
    Start(1.0 / 60.0);
    a = Create("T1", "Target", _V(0, 0, 0), _V(0, 0, 0));
    p = Create("b1", "Pellorin", _V(0, 0, -6), _V(0, 0, 120));
    Sim().Frame();
    const double first = Velocity(a).z;
    EXPECT_NEAR(first, 120.0 / TARGET_MASS, 1e-5);
    Sim().Frame();
    EXPECT_FALSE(Alive(p));
    // The second push uses the relative velocity that the first one left.
    EXPECT_NEAR(Velocity(a).z - first, (120.0 - first) / TARGET_MASS, 1e-5);
}

TEST_F(PellorinFlight, StrikeOnATurnedTargetPushesItAlongTheProjectilesPath) {
    Start(1.0 / 60.0);
    // Yawed a quarter turn: the target's own axes differ from the host's global ones.
    OBJHANDLE a = Create("T1", "Target", _V(0, 0, 0), _V(0, 0, 0), _V(0, PI05, 0));
    Create("b1", "Pellorin", _V(-5, 0, 0), _V(2000, 0, 0));
    Sim().Frame();
    const VECTOR3 v = Velocity(a);
    EXPECT_NEAR(v.x, 2000.0 / TARGET_MASS, 1e-4);
    EXPECT_NEAR(v.z, 0.0, 1e-4);
}

// The whole shot: a Corvane holds its fire key, both barrels fire, both projectiles hit the hull ahead and
// end.
TEST_F(PellorinFlight, CorvaneRailgunPushesATargetAheadAndItsProjectilesEnd) {
    Start(0.01); // 17 m of flight a step: no projectile can step over a 10 m hull
    OBJHANDLE corvane = Create("Corvane-1", "Corvane", _V(0, 0, 0), _V(0, 0, 0));
    OBJHANDLE target = Create("T1", "Target", _V(0, 0, 300), _V(0, 0, 0));
    Sim().SetFocus(corvane);
    Sim().HoldKey(OAPI_KEY_1, 20);
    Sim().RunFrames(60);

    EXPECT_EQ(CountShots().created, 2);
    EXPECT_EQ(CountShots().ended, 2);
    for (const Vessel* v : Sim().Vessels())
        EXPECT_NE(v->name, "b1");
    // Each 1 kg projectile left the barrel at 1700 m/s relative to the ship, and the ship and hull share a
    // velocity: every push hands the hull 1700 kg m/s along the ship's nose. A projectile still in reach on
    // the step after its hit pushes once more, so two projectiles push two to four times.
    const VECTOR3 v = Velocity(target);
    const double pushes = v.z / (1700.0 / TARGET_MASS);
    EXPECT_NEAR(pushes, std::round(pushes), 0.01);
    EXPECT_GE(std::round(pushes), 2.0);
    EXPECT_LE(std::round(pushes), 4.0);
    EXPECT_NEAR(v.x, 0.0, 0.01);
}

// A Corvane fires one cycle (two shots) at a hull straight ahead, its centre moved off the line of fire by
// `off` metres upwards (the barrels lie in the ship's horizontal plane, so every path passes the centre at about
// `off`). Both shots end by striking, or neither does; the hull is pushed along the line of fire when struck.
struct Burst {
    const char* targetClass;
    double targetSize; // m
    double distance;   // m ahead
    double off;        // m above the line of fire
};

class RailgunBurst : public PellorinFlight, public ::testing::WithParamInterface<double> {
  protected:
    // Number of the burst's two projectiles that ended within the flight (only a strike ends one so soon).
    // Shooter and hull share `drift`, across the line of fire.
    int EndedShots(const Burst& b, double* pushed, VECTOR3 drift = _V(0, 0, 0)) {
        Start(GetParam());
        OBJHANDLE shooter = Create("Corvane-1", "Corvane", _V(0, 0, 0), drift);
        OBJHANDLE target = Create("T1", b.targetClass, _V(0, b.off, b.distance), drift);
        Sim().SetFocus(shooter);
        const double vz0 = Velocity(target).z;
        Sim().HoldKey(OAPI_KEY_1, 22);
        // The far hull is 1.8 s away at 1700 m/s; a shot that misses lives on for 30 s.
        Sim().RunUntil(Sim().SimTime() + b.distance / 1700.0 + 1.0);
        EXPECT_EQ(CountShots().created, 2);
        *pushed = Velocity(target).z - vz0;
        return CountShots().ended;
    }
};

TEST_P(RailgunBurst, EveryShotWhosePathPassesWithinTheHullStrikesIt) {
    constexpr Burst HITS[] = {
        {"Target", 10.0, 300.0, 0.0}, {"Target", 10.0, 300.0, 8.0},   {"Target", 10.0, 3000.0, 0.0},
        {"Target", 10.0, 3000.0, 8.0}, {"Corvane", 8.0, 300.0, 0.0},  {"Corvane", 8.0, 300.0, 7.0},
        {"Corvane", 8.0, 3000.0, 0.0}, {"Corvane", 8.0, 3000.0, 7.0},
    };
    for (const Burst& b : HITS) {
        SCOPED_TRACE(std::string(b.targetClass) + " " + std::to_string(b.distance) + " m ahead, " +
                     std::to_string(b.off) + " m off the line of fire");
        double pushed = 0.0;
        EXPECT_EQ(EndedShots(b, &pushed), 2);
        EXPECT_GT(pushed, 0.1); // 1700 kg m/s to 5000 kg, or to a Corvane whose dampeners leave 5 percent of it
    }
}

// At orbital speed a ship moves 128 m in a sixtieth of a second: the shots must still leave from the barrels.
TEST_P(RailgunBurst, ShotsFromAShipAtOrbitalSpeedStrikeTheHullAhead) {
    double pushed = 0.0;
    EXPECT_EQ(EndedShots({"Target", 10.0, 300.0, 0.0}, &pushed, _V(7700, 0, 0)), 2);
    EXPECT_GT(pushed, 0.1);
}

TEST_P(RailgunBurst, ShotsPassingTwelveMetresOffATenMetreHullLeaveItAlone) {
    for (double distance : {300.0, 3000.0}) {
        double pushed = 0.0;
        EXPECT_EQ(EndedShots({"Target", 10.0, distance, 12.0}, &pushed), 0) << distance << " m ahead";
        EXPECT_LT(std::fabs(pushed), 0.05); // gravity's pull along the line of fire; a push is at least 0.2 m/s
    }
}

// From the long frames of a slow machine to the short ones that make a flight exact; 60 a second is a pilot's.
INSTANTIATE_TEST_SUITE_P(FrameLengths, RailgunBurst, ::testing::Values(1.0 / 30.0, 1.0 / 60.0, 0.01, 0.005));

TEST(PellorinModule, ExportsOnlyItsTwoEntryPointsAndExitIgnoresANullInterface) {
    // The host's Linux name first, as the host looks for it.
    std::string path = hs::test::HostRoot() + "/Modules/libPellorin.so";
    void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!dl) {
        path = hs::test::HostRoot() + "/Modules/Pellorin.so";
        dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    ASSERT_NE(dl, nullptr) << dlerror();
    EXPECT_NE(dlsym(dl, "ovcInit"), nullptr);
    auto ovcExit = reinterpret_cast<void (*)(VESSEL*)>(dlsym(dl, "ovcExit"));
    ASSERT_NE(ovcExit, nullptr);
    ovcExit(nullptr);
    // Nothing of the projectile's own code is visible from outside: it shares nothing with other modules.
    EXPECT_EQ(dlsym(dl, "ImpactForce"), nullptr);
    EXPECT_EQ(dlsym(dl, "_Z11ImpactForceRK7VECTOR3S1_RK7MATRIX3dR10ImpactPush"), nullptr);
    dlclose(dl);
}

} // namespace
