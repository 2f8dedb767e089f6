// Pure flight rules: propellant share, dampener mass, brakes, hover aim, tunnel phase, jump steps, fire
// cycle.
#include "flight/flight_rules.h"
#include "expect_vector.h"

#include <gtest/gtest.h>

#include <climits>

TEST(AeroControls, ZeroPressureSwitchesThemOffAnyPressureOn) {
    EXPECT_EQ(AeroControlMode(0.0), 0);
    EXPECT_EQ(AeroControlMode(1e-300), 7);
    EXPECT_EQ(AeroControlMode(101400.0), 7);
}

TEST(WheelBrakes, RudderBrakesOneWheelOnly) {
    WheelBrakeLevels right = RudderBrakeLevels(1.0);
    EXPECT_DOUBLE_EQ(right.left, 0.0);
    EXPECT_DOUBLE_EQ(right.right, 1.0);
    WheelBrakeLevels left = RudderBrakeLevels(-1.0);
    EXPECT_DOUBLE_EQ(left.left, 1.0);
    EXPECT_DOUBLE_EQ(left.right, 0.0);
    WheelBrakeLevels none = RudderBrakeLevels(0.0);
    EXPECT_DOUBLE_EQ(none.left, 0.0);
    EXPECT_DOUBLE_EQ(none.right, 0.0);
    WheelBrakeLevels half = RudderBrakeLevels(-0.25);
    EXPECT_DOUBLE_EQ(half.left, 0.25);
}

// Upside down the weight points along the ship's +y: the hover engine must push along -y. No weight keeps the
// direction and gives no thrust.
TEST(HoverAim, PointsAgainstWeightWith997PermilleOfItEvenInvertedAndNoWeightGivesNoThrust) {
    const HoverAim up = AimAgainstWeight(_V(0.0, -98100.0, 0.0));
    ASSERT_TRUE(up.aimed);
    testvec::ExpectVec(up.dir, 0.0, 1.0, 0.0, "", 1e-12);
    EXPECT_DOUBLE_EQ(up.max0, 0.997 * 98100.0);
    const HoverAim inverted = AimAgainstWeight(_V(0.0, 3000.0, 4000.0));
    ASSERT_TRUE(inverted.aimed);
    testvec::ExpectVec(inverted.dir, 0.0, -0.6, -0.8, "", 1e-12);
    EXPECT_DOUBLE_EQ(inverted.max0, 0.997 * 5000.0);
    const HoverAim none = AimAgainstWeight(_V(0.0, 0.0, 0.0));
    EXPECT_FALSE(none.aimed);
    EXPECT_EQ(none.max0, 0.0);
}

TEST(TunnelPhase, WrapsToTheFractionButExactlyOneStays) {
    EXPECT_NEAR(NextTunnelPhase(0.9, 0.1), 0.1, 1e-12);
    EXPECT_EQ(NextTunnelPhase(0.5, 0.25), 1.0);
    EXPECT_NEAR(NextTunnelPhase(0.0, 1.6), 0.2, 1e-12);
}

TEST(JumpSetting, StepIsTenToTheIndexMinusThreeAndAStrayIndexKeepsTheDurationWithinItsLimits) {
    EXPECT_DOUBLE_EQ(HwgStep(0), 0.001);
    EXPECT_DOUBLE_EQ(HwgStep(1), 0.01);
    EXPECT_DOUBLE_EQ(HwgStep(3), 1.0);
    EXPECT_DOUBLE_EQ(HwgStep(6), 1000.0);
    // A stray scenario index still keeps the duration within its limits.
    EXPECT_DOUBLE_EQ(ShortenedJumpDuration(1.0, INT_MAX), 0.001);
    EXPECT_DOUBLE_EQ(LengthenedJumpDuration(1.0, INT_MAX), 600.0);
    EXPECT_DOUBLE_EQ(LengthenedJumpDuration(1.0, INT_MIN), 1.0);
}
