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

TEST(HoverAim, PointsAgainstWeightWith997PermilleOfIt) {
    const HoverAim aim = AimAgainstWeight(_V(0.0, -98100.0, 0.0));
    ASSERT_TRUE(aim.aimed);
    testvec::ExpectVec(aim.dir, 0.0, 1.0, 0.0, "", 1e-12);
    EXPECT_DOUBLE_EQ(aim.max0, 0.997 * 98100.0);
}

TEST(HoverAim, InvertedShipStillPushesAwayFromTheBody) {
    // Upside down the weight points along the ship's +y: the hover engine must push along -y.
    const HoverAim aim = AimAgainstWeight(_V(0.0, 3000.0, 4000.0));
    ASSERT_TRUE(aim.aimed);
    EXPECT_DOUBLE_EQ(aim.dir.y, -0.6);
    EXPECT_DOUBLE_EQ(aim.dir.z, -0.8);
    EXPECT_DOUBLE_EQ(aim.max0, 0.997 * 5000.0);
}

TEST(HoverAim, ZeroWeightKeepsDirectionAndGivesNoThrust) {
    const HoverAim aim = AimAgainstWeight(_V(0.0, 0.0, 0.0));
    EXPECT_FALSE(aim.aimed);
    EXPECT_EQ(aim.max0, 0.0);
}

TEST(TunnelPhase, WrapsToTheFractionButExactlyOneStays) {
    EXPECT_NEAR(NextTunnelPhase(0.9, 0.1), 0.1, 1e-12);
    EXPECT_EQ(NextTunnelPhase(0.5, 0.25), 1.0);
    EXPECT_NEAR(NextTunnelPhase(0.0, 1.6), 0.2, 1e-12);
}

TEST(JumpSetting, StepIsTenToTheIndexMinusThree) {
    EXPECT_DOUBLE_EQ(HwgStep(0), 0.001);
    EXPECT_DOUBLE_EQ(HwgStep(1), 0.01);
    EXPECT_DOUBLE_EQ(HwgStep(3), 1.0);
    EXPECT_DOUBLE_EQ(HwgStep(6), 1000.0);
}

TEST(JumpSetting, StrayScenarioIndexStillKeepsTheDurationWithinItsLimits) {
    EXPECT_DOUBLE_EQ(ShortenedJumpDuration(1.0, INT_MAX), 0.001);
    EXPECT_DOUBLE_EQ(LengthenedJumpDuration(1.0, INT_MAX), 600.0);
    EXPECT_DOUBLE_EQ(LengthenedJumpDuration(1.0, INT_MIN), 1.0);
}
