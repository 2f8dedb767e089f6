// Host-free rules of the vessel core: lift coefficients, the gear and canopy mover step, scenario key
// matching.
#include "core/corvane.h"
#include "expect_vector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double DEG_RAD = 0.017453292519943295;

struct Coeffs {
    double cl, cm, cd;
};

Coeffs Vertical(double aoaDeg, double mach = 0.5) {
    Coeffs c{};
    VerticalLiftCoeff(nullptr, aoaDeg * DEG_RAD, mach, 1e6, nullptr, &c.cl, &c.cm, &c.cd);
    return c;
}

Coeffs Horizontal(double betaDeg, double mach = 0.5) {
    Coeffs c{};
    HorizontalLiftCoeff(nullptr, betaDeg * DEG_RAD, mach, 1e6, nullptr, &c.cl, &c.cm, &c.cd);
    return c;
}

} // namespace

// Between the entries of both tables (below) the lift is read linearly, on both sides of the wrap at 180 too.
TEST(VerticalLift, HalfwayBetweenEntriesAndNextToTheWrapTheLiftIsInterpolated) {
    EXPECT_NEAR(Vertical(15).cl, 0.7, 1e-12);
    EXPECT_NEAR(Vertical(-175).cl, -0.3, 1e-12);
    EXPECT_NEAR(Vertical(175).cl, 0.1, 1e-12);
    EXPECT_NEAR(Horizontal(22.5).cl, 0.2, 1e-12);
}

TEST(VerticalLift, EveryTenDegreesFromMinus180To180GivesItsTableEntry) {
    const double expected[37] = {-0.1, -0.5, -0.4, -0.1, 0.0,  0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0,
                                 0.0,  -0.2, -0.6, -0.6, -0.4, 0.2, 0.5, 0.9, 0.8, 0.2, 0.0, 0.0, 0.0,
                                 0.0,  0.0,  0.0,  0.0,  0.0,  0.0, 0.1, 0.4, 0.5, 0.3, -0.1};
    for (int i = 0; i < 37; ++i)
        EXPECT_NEAR(Vertical(-180 + 10 * i).cl, expected[i], 1e-12) << -180 + 10 * i;
}

TEST(HorizontalLift, EveryFortyFiveDegreesGivesItsTableEntry) {
    const double expected[9] = {0.0, 0.4, 0.0, -0.4, 0.0, 0.4, 0.0, -0.4, 0.0};
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(Horizontal(-180 + 45 * i).cl, expected[i], 1e-12) << -180 + 45 * i;
}

TEST(VerticalLift, AnglesBeyondTheTableStayOnItsEnds) {
    // Never given by the host, but an angle past the last entry must not read outside the table.
    EXPECT_NEAR(Vertical(400).cl, -0.5, 1e-12);
    EXPECT_NEAR(Vertical(-400).cl, -0.1, 1e-12);
    EXPECT_NEAR(Vertical(195).cl, -0.5, 1e-12); // past the last entry (190 deg), short of the next step
    double cl = 1, cm = 1, cd = 1;
    VerticalLiftCoeff(nullptr, std::numeric_limits<double>::quiet_NaN(), 0.5, 1e6, nullptr, &cl, &cm, &cd);
    EXPECT_TRUE(std::isfinite(cl));
}

// Drag worked out by hand: the induced term of a wing of aspect ratio 1 and efficiency 0.5 is cl^2 / (pi /
// 2); at Mach 1.05 the wave term is at its peak, 0.04; below Mach 0.75 there is none.
TEST(VerticalLift, NoMomentAndDragIsBasePlusSineSquaredPlusInducedAndWaveTerms) {
    constexpr double PI_HALF = 1.5707963267948966;
    for (double aoa : {0.0, 90.0, -90.0, 20.0}) {
        const Coeffs c = Vertical(aoa, 1.05);
        const double s = std::sin(aoa * DEG_RAD);
        const double expected = 0.03 + 0.4 * s * s + c.cl * c.cl / PI_HALF + 0.04;
        EXPECT_DOUBLE_EQ(c.cm, 0.0);
        EXPECT_NEAR(c.cd, expected, 1e-12) << "aoa " << aoa;
    }
    // At +-90 degrees the profile term alone is 0.43, and the side table gives no lift there: no induced
    // term.
    const Coeffs side = Vertical(90, 0.0);
    EXPECT_NEAR(side.cd - side.cl * side.cl / PI_HALF, 0.43, 1e-12);
    EXPECT_NEAR(Vertical(0, 0.5).cd, 0.03 + Vertical(0, 0.5).cl * Vertical(0, 0.5).cl / PI_HALF, 1e-12);
    // Halfway up the wave-drag ramp (Mach 0.75 to 1): half the peak.
    EXPECT_NEAR(Vertical(0, 0.875).cd, 0.03 + Vertical(0, 0.875).cl * Vertical(0, 0.875).cl / PI_HALF + 0.02,
                1e-12);
}

TEST(HorizontalLift, DragIsBasePlusInducedAndWaveTermsWithTheirOwnAspectRatio) {
    const Coeffs c = Horizontal(45, 1.05);
    EXPECT_DOUBLE_EQ(c.cm, 0.0);
    // 0.03 + 0.4^2 / (pi * 1.5 * 0.6) + 0.04, by hand.
    EXPECT_NEAR(c.cd, 0.12658842421, 1e-10);
}

TEST(Mover, ATargetChangedMidwayReversesFromWhereThePartStands) {
    double pos = 0.0;
    for (int i = 0; i < 10; ++i)
        MoveTowardsTarget(pos, 1.0, CANOPY_RATE, 0.5);
    EXPECT_NEAR(pos, 0.5, 1e-12);
    EXPECT_TRUE(MoveTowardsTarget(pos, 0.0, CANOPY_RATE, 0.5));
    EXPECT_NEAR(pos, 0.45, 1e-12);
}

// A step longer than the distance left lands exactly on the target; a zero step keeps the position but still
// asks for the animation when off target; positions outside 0 to 1 move at the normal rate; a target that is
// not a number leaves the part alone, as a position that is not one does.
TEST(Mover, LongZeroAndOutOfRangeStepsAndNotANumberAreHandledSafely) {
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double pos, target, rate, dt;
        bool asks;
        double after;
    };
    const Case cases[] = {{0.3, 1.0, GEAR_RATE, 10.0, true, 1.0},    {0.7, 0.0, GEAR_RATE, 10.0, true, 0.0},
                          {0.4, 1.0, GEAR_RATE, 0.0, true, 0.4},     {0.4, 0.0, GEAR_RATE, 0.0, true, 0.4},
                          {1.0, 1.0, GEAR_RATE, 0.0, false, 1.0},    {1.5, 1.0, GEAR_RATE, 0.5, true, 1.4},
                          {-2.0, 0.0, CANOPY_RATE, 1.0, true, -1.9}, {0.5, NaN, GEAR_RATE, 0.1, false, 0.5}};
    for (const Case& k : cases) {
        double pos = k.pos;
        EXPECT_EQ(MoveTowardsTarget(pos, k.target, k.rate, k.dt), k.asks) << k.pos << " to " << k.target;
        EXPECT_NEAR(pos, k.after, 1e-12) << k.pos << " to " << k.target;
    }
    double pos = NaN;
    EXPECT_FALSE(MoveTowardsTarget(pos, 1.0, GEAR_RATE, 0.1));
}

TEST(ScenarioKeys, MatchedInOrderWithoutRegardToCaseOverTheKeyLength) {
    EXPECT_STREQ(ScenarioKeyName(MatchScenarioKey("FTL 1.0000")), "FTL");
    EXPECT_STREQ(ScenarioKeyName(MatchScenarioKey("ftl 1")), "FTL");
    EXPECT_STREQ(ScenarioKeyName(MatchScenarioKey("FTLX 1")), "FTL");
    EXPECT_STREQ(ScenarioKeyName(MatchScenarioKey("vis 1a")), "VIS");
    EXPECT_STREQ(ScenarioKeyName(MatchScenarioKey("View 1")), "VIEW");
    EXPECT_STREQ(ScenarioKeyName(MatchScenarioKey("INDMP 0")), "INDMP");
    EXPECT_STREQ(ScenarioKeyName(MatchScenarioKey("ammo Pellorin")), "AMMO");
    EXPECT_EQ(MatchScenarioKey("FT"), -1);
    EXPECT_EQ(MatchScenarioKey("STATUS Landed Earth"), -1);
    EXPECT_EQ(MatchScenarioKey("UMMUCREW Capt-Ilse_Marrow-35-65-74"), -1);
    EXPECT_EQ(MatchScenarioKey(""), -1);
    EXPECT_EQ(MatchScenarioKey(nullptr), -1);
}

TEST(HoverSetUp, PushesAgainstTheWeightWithItsFullMagnitudeAndStraightUpWithNone) {
    const InitialHoverThrust h = InitialHoverAim(_V(0, -3, -4));
    testvec::ExpectVec(h.dir, 0.0, 0.6, 0.8, "", 1e-12);
    EXPECT_DOUBLE_EQ(h.max0, 5.0);
    // No weight, or one that is not a number: straight up and no thrust.
    const InitialHoverThrust none = InitialHoverAim(_V(0, 0, 0));
    testvec::ExpectVec(none.dir, 0.0, 1.0, 0.0, "", 0.0);
    EXPECT_EQ(none.max0, 0.0);
    const InitialHoverThrust bad = InitialHoverAim(_V(std::numeric_limits<double>::quiet_NaN(), 0, 0));
    EXPECT_EQ(bad.dir.y, 1.0);
    EXPECT_EQ(bad.max0, 0.0);
}
