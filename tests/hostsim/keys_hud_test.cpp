// The pilot's side of the host: keys, the HUD, the debug line, the input box and playback.
#include "tv_world.h"

namespace hs::test {
namespace {

class Pilot : public TvWorld {};

// A key is delivered once, on the next frame.
TEST_F(Pilot, BufferedKeyComesDownThenUpWithItsModifiersOnceOnTheNextFrame) {
    Sim().PressKey(OAPI_KEY_K, {OAPI_KEY_LCONTROL, OAPI_KEY_LSHIFT});
    EXPECT_FALSE(TimelineHas("tv: key TV1 37 down"));
    Sim().Frame();
    int routed = TimelineFind("key Shift+Ctrl+K -> TV1");
    if (routed < 0) routed = TimelineFind("key Ctrl+Shift+K -> TV1");
    int down = TimelineFind("tv: key TV1 37 down shift ctrl");
    int up = TimelineFind("tv: key TV1 37 up shift ctrl");
    ASSERT_GE(routed, 0);
    EXPECT_LT(routed, down);
    EXPECT_LT(down, up);
    EXPECT_FALSE(TimelineHas(" alt"));
    Sim().RunFrames(2);
    EXPECT_EQ(TimelineCount("tv: key TV1 37 down"), 1);
}

// A key held for a vessel that is then deleted never falls to the focus.
TEST_F(Pilot, KeysCanBeAimedAtAVesselOtherThanTheFocus) {
    std::string err;
    OBJHANDLE tv2 = Sim().CreateVessel("TV2", TV_CLASS, nullptr, &err);
    ASSERT_NE(tv2, nullptr) << err;
    Sim().PressKeyTo(tv2, OAPI_KEY_K, {});
    Sim().Frame();
    EXPECT_TRUE(TimelineHas("tv: key TV2 37 down"));
    EXPECT_FALSE(TimelineHas("tv: key TV1 37"));
    Sim().HoldKeyTo(tv2, OAPI_KEY_H, 10, {});
    oapiDeleteVessel(tv2);
    Sim().RunFrames(5);
    EXPECT_EQ(Sim().LastHud()[1].text, "held 0");
}

TEST_F(Pilot, HeldKeyIsOfferedToDirectKeysForExactlyItsFrames) {
    Sim().HoldKey(OAPI_KEY_H, 5);
    Sim().RunFrames(8);
    ASSERT_GE(Sim().LastHud().size(), 2u);
    EXPECT_EQ(Sim().LastHud()[1].text, "held 5");
}

TEST_F(Pilot, HudTextIsRecordedWithItsPositionAndPrintedOnlyWhenItChanges) {
    Sim().RunFrames(5);
    ASSERT_EQ(Sim().LastHud().size(), 2u);
    EXPECT_EQ(Sim().LastHud()[0].x, 10);
    EXPECT_EQ(Sim().LastHud()[0].y, 20);
    EXPECT_EQ(Sim().LastHud()[0].text, "TV TV1 keys 0");
    EXPECT_EQ(Sim().LastHud()[1].y, 36); // the marker size below
    EXPECT_EQ(TimelineCount("HUD TV1: TV TV1 keys 0"), 1);
    Sim().PressKey(OAPI_KEY_K);
    Sim().RunFrames(5);
    EXPECT_EQ(Sim().LastHud()[0].text, "TV TV1 keys 1");
    // A number that changes once is news at once; redrawn unchanged, it is not news again.
    EXPECT_EQ(TimelineCount("HUD TV1: TV TV1 keys 1"), 1);
    Sim().RunFrames(10);
    EXPECT_EQ(TimelineCount("HUD TV1: TV TV1 keys 1"), 1);
    EXPECT_EQ(TimelineCount("HUD TV1: held 0"), 1);
}

TEST_F(Pilot, RunningNumberIsPrintedAtMostOnceASimulatedSecondAndWithItsLastValue) {
    Sim().RunFrames(2);
    Sim().HoldKey(OAPI_KEY_H, 150); // 2.5 s of frames, each one counted on the HUD
    Sim().RunFrames(150);
    // "held 0" from before; the first change at once, then one a second: 1 s and 2 s after it.
    EXPECT_EQ(TimelineCount("HUD TV1: held "), 1 + 3);
    EXPECT_EQ(TimelineCount("HUD TV1: held 150"), 0);
    Sim().RunFrames(60); // the count has stopped: its last value follows within the second
    EXPECT_EQ(TimelineCount("HUD TV1: held 150"), 1);
    EXPECT_EQ(TimelineCount("HUD TV1: held "), 1 + 3 + 1);
}

TEST_F(Pilot, DebugLineIsShownOnceWhenItChanges) {
    Sim().PressKey(OAPI_KEY_G);
    Sim().RunFrames(4);
    EXPECT_EQ(Sim().DebugString(), "tv debug 1");
    EXPECT_EQ(TimelineCount("debug: tv debug 1"), 1);
}

// An answer longer than the box is cut to 255 characters; an escaped box never calls back.
TEST_F(Pilot, InputBoxClosesWhenTheCallbackSaysSoAndAnEscapedOneNeverCallsBack) {
    Sim().PressKey(OAPI_KEY_I);
    Sim().Frame();
    ASSERT_TRUE(Sim().InputBoxOpen());
    EXPECT_EQ(Sim().InputBoxTitle(), "Name?");
    Sim().AnswerInputBox("again");
    EXPECT_TRUE(TimelineHas("tv: answer TV1: again"));
    EXPECT_TRUE(Sim().InputBoxOpen());
    Sim().AnswerInputBox(std::string(400, 'n').c_str());
    EXPECT_TRUE(TimelineHas("tv: answer TV1: " + std::string(255, 'n')));
    EXPECT_FALSE(TimelineHas(std::string(256, 'n')));
    EXPECT_FALSE(Sim().InputBoxOpen());
    Sim().PressKey(OAPI_KEY_I);
    Sim().Frame();
    ASSERT_TRUE(Sim().InputBoxOpen());
    Sim().EscapeInputBox();
    EXPECT_FALSE(Sim().InputBoxOpen());
    EXPECT_EQ(TimelineCount("tv: answer"), 2);
}

TEST_F(Pilot, PlaybackIsOffUntilTheScriptSaysSoAndTheCameraModeIsWhatThePilotChose) {
    EXPECT_FALSE(Iface("TV1")->Playback());
    Sim().SetPlayback(true);
    EXPECT_TRUE(Iface("TV1")->Playback());
    Sim().SetCameraMode(CAM_COCKPIT);
    EXPECT_EQ(oapiCameraMode(), CAM_COCKPIT);
    Sim().SetCameraMode(CAM_TARGETRELATIVE);
    EXPECT_EQ(oapiCameraMode(), CAM_TARGETRELATIVE);
}

} // namespace
} // namespace hs::test
