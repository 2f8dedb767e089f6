// The strike's push and reach, checked without a host.
#include "expect_vector.h"
#include "projectile/strike.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double TOL = 1e-9;
using testvec::ExpectVec;

TEST(ImpactForce, UnrotatedTargetGetsRelativeMomentumWithinOneStep) {
    ImpactPush push;
    ASSERT_TRUE(ImpactForce(_V(0, 0, -2), _V(0, 0, 1700), identity(), 0.02, push));
    ExpectVec(push.force, 0, 0, 85000); // 1 kg at 1700 m/s delivered in 0.02 s
    ExpectVec(push.point, 0, 0, -2);
}

TEST(ImpactForce, ForceAndPointAreTurnedIntoTheTargetsOwnAxes) {
    // The target is yawed 90 degrees: its own z axis points along global +x.
    const MATRIX3 yawed = rotm(_V(0, 1, 0), PI05);
    VECTOR3 localZ = mul(yawed, _V(0, 0, 1));
    ASSERT_NEAR(localZ.x, 1.0, TOL);

    ImpactPush push;
    ASSERT_TRUE(ImpactForce(_V(-3, 0, 0), _V(600, 0, 0), yawed, 0.5, push));
    // Travelling along global +x is travelling along the target's own +z.
    ExpectVec(push.force, 0, 0, 1200);
    ExpectVec(push.point, 0, 0, -3);
    // Turned back with the target's rotation, the force points where the projectile flew.
    ExpectVec(mul(yawed, push.force), 1200, 0, 0);
}

TEST(ImpactForce, NoPushWhenTheStepIsZeroNegativeOrNotANumber) {
    ImpactPush push{_V(7, 7, 7), _V(7, 7, 7)};
    EXPECT_FALSE(ImpactForce(_V(0, 0, 0), _V(0, 0, 1700), identity(), 0.0, push));
    EXPECT_FALSE(ImpactForce(_V(0, 0, 0), _V(0, 0, 1700), identity(), -0.01, push));
    EXPECT_FALSE(
        ImpactForce(_V(0, 0, 0), _V(0, 0, 1700), identity(), std::numeric_limits<double>::quiet_NaN(), push));
    ExpectVec(push.force, 7, 7, 7); // untouched
}

// Reach is strict and squared; a hull of no size is never reached, not even from its own centre.
TEST(WithinReach, StrictlyInsideThePositiveSizeOnly) {
    EXPECT_TRUE(WithinReach(_V(6, 6, 5), 10.0)); // 9.85 m off all three axes
    EXPECT_FALSE(WithinReach(_V(0, -10.0, 0), 10.0));
    EXPECT_FALSE(WithinReach(_V(0, 0, 0), 0.0));
    EXPECT_FALSE(WithinReach(_V(0.1, 0, 0), -5.0));
}

// The hull 300 m ahead (offset from the projectile), the projectile closing at 1700 m/s: 28.3 m a sixtieth.
TEST(PathWithinReach, AStepThatCarriesThePathPastTheHullReachesIt) {
    const double dt = 1.0 / 60.0;
    // 14 m short of the centre, then 14 m past it: neither end is within 10 m, the path is.
    EXPECT_TRUE(PathWithinReach(_V(0, 0, 14), _V(0, 0, 1700), dt, 10.0));
    EXPECT_TRUE(PathWithinReach(_V(9.9, 0, 14), _V(0, 0, 1700), dt, 10.0)); // grazing, 9.9 m off
    EXPECT_FALSE(PathWithinReach(_V(10.0, 0, 14), _V(0, 0, 1700), dt, 10.0));
    // The closest point lies beyond the step: only the step's own stretch counts.
    EXPECT_FALSE(PathWithinReach(_V(0, 0, 40), _V(0, 0, 1700), dt, 10.0));
    EXPECT_TRUE(PathWithinReach(_V(0, 0, 38), _V(0, 0, 1700), dt, 10.0));
    // Moving away, standing still, a step of no length, a hull of no size.
    EXPECT_FALSE(PathWithinReach(_V(0, 0, -14), _V(0, 0, 1700), dt, 10.0));
    EXPECT_FALSE(PathWithinReach(_V(0, 0, 14), _V(0, 0, 0), dt, 10.0));
    EXPECT_FALSE(PathWithinReach(_V(0, 0, 14), _V(0, 0, 1700), 0.0, 10.0));
    EXPECT_FALSE(PathWithinReach(_V(0, 0, 0), _V(0, 0, 1700), dt, 0.0));
}

} // namespace
