// HUD lines from vessel state: tags, hyperspace line, distance, message and countdown, bounded formatting.
#include "flight/hud.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

HudState IdleState() {
    static const char message[256] = "Welcome aboard ! E=EVA  M=add crew";
    return {false, true, true, 0, 0.0, 1.0, 1, message, sizeof message, 0.0};
}

std::string Text(const HudLine& line) {
    return std::string(line.text, line.length);
}

} // namespace

TEST(HudLines, IdleDriveShowsSettingStepAndDistanceOnly) {
    HudLine lines[HUD_MAX_LINES];
    ASSERT_EQ(BuildHudLines(IdleState(), lines), 2);
    EXPECT_EQ(lines[0].x, 3);
    EXPECT_EQ(lines[0].y, 240);
    EXPECT_EQ(Text(lines[0]), "HWG Timer : 1.000 secs, inc 0.010 sec");
    EXPECT_EQ(lines[1].y, 255);
    EXPECT_EQ(Text(lines[1]), "Distance: 6.000000e+09 m");
}

TEST(HudLines, AllThreeTagsAtTheirRowsWithFixedLengths) {
    HudState s = IdleState();
    s.boost = true;
    s.mainEngineFed = false;
    s.inertialDampeners = false;
    HudLine lines[HUD_MAX_LINES];
    ASSERT_EQ(BuildHudLines(s, lines), 5);
    EXPECT_EQ(lines[0].y, 195);
    EXPECT_EQ(Text(lines[0]), "[BOOST]");
    EXPECT_EQ(lines[0].length, 7);
    EXPECT_EQ(lines[1].y, 210);
    EXPECT_EQ(Text(lines[1]), "[Main Cutoff]");
    EXPECT_EQ(lines[1].length, 13);
    EXPECT_EQ(lines[2].y, 225);
    EXPECT_EQ(Text(lines[2]), "[Inertial Dampeners Offline]");
    EXPECT_EQ(lines[2].length, 28);
}

TEST(HudLines, EngagedDriveOfStateOneOrTwoCountsDownInTwoDecimalsDistanceStaysTheSetJump) {
    HudState s = IdleState();
    s.ftlState = 1;
    s.hwgTimer = 0.004;
    s.hwgJumpDuration = 2.0;
    HudLine lines[HUD_MAX_LINES];
    ASSERT_EQ(BuildHudLines(s, lines), 2);
    EXPECT_EQ(Text(lines[0]), "HWG ENGAGED: 0.00 secs");
    EXPECT_EQ(Text(lines[1]), "Distance: 1.200000e+10 m");
    s.ftlState = 2; // as a scenario may hold it
    s.hwgTimer = 12.345;
    BuildHudLines(s, lines);
    EXPECT_EQ(Text(lines[0]), "HWG ENGAGED: 12.35 secs");
}

TEST(HudLines, MessageAtRowZeroOnlyWhileTimerAboveZeroAnEmptyOneAsAnEmptyLine) {
    HudState s = IdleState();
    s.messageTimer = 0.0;
    HudLine lines[HUD_MAX_LINES];
    EXPECT_EQ(BuildHudLines(s, lines), 2);
    s.messageTimer = 0.01;
    ASSERT_EQ(BuildHudLines(s, lines), 3);
    EXPECT_EQ(lines[2].x, 3);
    EXPECT_EQ(lines[2].y, 0);
    EXPECT_EQ(Text(lines[2]), "Welcome aboard ! E=EVA  M=add crew");
    static const char empty[256] = "";
    s.message = empty;
    ASSERT_EQ(BuildHudLines(s, lines), 3);
    EXPECT_EQ(lines[2].length, 0);
}

TEST(HudLines, HugeScenarioTimerOrExtremeStepIndexGivesACutLineNeverAnOverflow) {
    HudState s = IdleState();
    s.hwgJumpDuration = 1e300; // its fixed-point form has over 300 digits
    HudLine lines[HUD_MAX_LINES];
    BuildHudLines(s, lines);
    EXPECT_EQ(lines[0].length, static_cast<int>(HUD_LINE_SIZE - 1));
    EXPECT_EQ(lines[0].text[HUD_LINE_SIZE - 1], '\0');
    EXPECT_EQ(Text(lines[0]).substr(0, 15), "HWG Timer : 100");
    EXPECT_EQ(Text(lines[1]), "Distance: inf m"); // 6e309 m is past what a double holds

    s.ftlState = 1;
    s.hwgTimer = -1e300;
    BuildHudLines(s, lines);
    EXPECT_EQ(lines[0].length, static_cast<int>(HUD_LINE_SIZE - 1));

    s = IdleState();
    s.hwgStepIndex = INT_MIN; // 10^(INT_MIN - 3) is 0, computed without wrapping the integer
    BuildHudLines(s, lines);
    EXPECT_EQ(Text(lines[0]), "HWG Timer : 1.000 secs, inc 0.000 sec");
    s.hwgStepIndex = INT_MAX;
    BuildHudLines(s, lines);
    EXPECT_EQ(Text(lines[0]), "HWG Timer : 1.000 secs, inc inf sec");
}

TEST(HudLines, UnterminatedMessageStopsAtItsBuffer) {
    char message[8];
    for (char& c : message)
        c = 'x';
    HudState s = IdleState();
    s.message = message;
    s.messageCapacity = sizeof message;
    s.messageTimer = 1.0;
    HudLine lines[HUD_MAX_LINES];
    ASSERT_EQ(BuildHudLines(s, lines), 3);
    EXPECT_EQ(Text(lines[2]), "xxxxxxxx");
}

TEST(HudCountdown, TimerOfOneHundredthWithStepOfTwoHundredthsEndsAtZero) {
    EXPECT_EQ(CountDownHudMessage(0.01, 0.02), 0.0);
    EXPECT_DOUBLE_EQ(CountDownHudMessage(15.0, 0.5), 14.5);
}
