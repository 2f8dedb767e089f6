// The timeline misses nothing: HUD lines that go, only the changed line, held-back numbers, every script
// command, one clock with the telemetry, and scenario lines nobody knew.
#include "physics/physics.h"
#include "script.h"
#include "tv_world.h"

#include <cstdio>
#include <fstream>

namespace hs::test {
namespace {

class Timeline : public TvWorld {
  protected:
    // A timeline line with the given stamp and text.
    bool Stamped(double t, const std::string& text) const { return TimelineHas(Fmt("[%8.3f] %s", t, text.c_str())); }
};

// A tag drawn above the other lines, then taken away: only the tag's own line is printed each time.
TEST_F(Timeline, HudLineThatComesAboveOthersOrIsNoLongerDrawnGetsAnEntryOfItsOwn) {
    Sim().RunFrames(2);
    ASSERT_EQ(TimelineCount("HUD TV1: TV TV1 keys 0"), 1);
    ASSERT_EQ(TimelineCount("HUD TV1: held 0"), 1);
    Sim().PressKey(OAPI_KEY_T);
    Sim().RunFrames(3);
    EXPECT_EQ(TimelineCount("HUD TV1: [TAG]"), 1);
    EXPECT_EQ(TimelineCount("gone"), 0);
    Sim().PressKey(OAPI_KEY_T);
    Sim().RunFrames(3);
    int off = TimelineFind("key T -> TV1", TimelineFind("HUD TV1: [TAG]"));
    ASSERT_GE(off, 0);
    EXPECT_GT(TimelineFind("HUD TV1 gone: [TAG]", off), off);
    EXPECT_EQ(TimelineCount("HUD TV1 gone: [TAG]"), 1);
    EXPECT_EQ(TimelineCount("HUD TV1: TV TV1 keys 0"), 1);
    EXPECT_EQ(TimelineCount("HUD TV1: held 0"), 1);
}

TEST_F(Timeline, NumberHeldBackAtTheEndOfARunIsPrintedBeforeItEnds) {
    Script s;
    std::string err;
    ASSERT_TRUE(s.Parse("0.1 key K\n", "f", &err)) << err;
    s.Run(Sim(), 0.2, -1);
    EXPECT_EQ(Sim().LastHud()[0].text, "TV TV1 keys 1");
    EXPECT_EQ(TimelineCount("HUD TV1: TV TV1 keys 1"), 1);
    // Printed once: a later run does not print it again.
    Sim().RunFrames(30);
    EXPECT_EQ(TimelineCount("HUD TV1: TV TV1 keys 1"), 1);
}

TEST_F(Timeline, EveryScriptCommandIsOnTheTimelineAtTheTimeItActs) {
    std::string err;
    ASSERT_NE(Sim().CreateVessel("TV2", TV_CLASS, nullptr, &err), nullptr) << err;
    ASSERT_NE(Sim().CreateVessel("TV3", TV_CLASS, nullptr, &err), nullptr) << err;
    Script s;
    ASSERT_TRUE(s.Parse("0.5 key K\n1 hold H 2\n1.5 thgroup HOVER 0.5\n2 surface RUDDER -0.5\n2.5 camera EXTERN\n"
                        "3 focus TV2\n3.5 vessel TV1\n4 vessel\n4.5 key I\n5 input Zed\n5.5 escape\n"
                        "6 place TV3 REL TV1 0 0 100\n6.5 dock TV1 0 TV3 0\n7 undock TV1 0\n"
                        "7.5 attach TV1 0 TV3 0\n8 save Test/rule8.scn\n8.5 playback on\n9 focus TV2\n9.5 quit\n",
                        "f", &err))
        << err;
    s.Run(Sim(), -1.0, -1);
    EXPECT_EQ(s.RuntimeErrors(), 0);
    EXPECT_TRUE(Stamped(0.5, "key K -> TV1"));
    EXPECT_TRUE(Stamped(1.0, "hold H for 2 frames -> TV1"));
    EXPECT_TRUE(Stamped(1.5, "thgroup HOVER 0.5 -> TV1"));
    EXPECT_TRUE(Stamped(2.0, "surface RUDDER -0.5 -> TV1"));
    EXPECT_TRUE(Stamped(2.5, "camera extern"));
    EXPECT_TRUE(Stamped(3.0, "focus TV2"));
    EXPECT_TRUE(Stamped(3.5, "keys and levels now go to TV1"));
    EXPECT_TRUE(Stamped(4.0, "keys and levels now go to the focus"));
    EXPECT_TRUE(Stamped(4.5, "key I -> TV2"));
    EXPECT_TRUE(Stamped(5.0, "input \"Zed\""));
    EXPECT_TRUE(Stamped(5.5, "escape: no input box is open"));
    EXPECT_TRUE(Stamped(6.0, "placed TV3 at 0.000 0.000 100.000 from TV1"));
    EXPECT_TRUE(Stamped(6.5, "docked TV1 port 0 to TV3 port 0"));
    EXPECT_TRUE(Stamped(7.0, "undocked TV1 port 0 from TV3"));
    EXPECT_TRUE(Stamped(7.5, "attached TV3 point 0 to TV1 point 0"));
    EXPECT_TRUE(Stamped(8.0, "saved "));
    EXPECT_TRUE(Stamped(8.5, "playback on"));
    EXPECT_TRUE(Stamped(9.0, "focus TV2: already in focus"));
    EXPECT_TRUE(Stamped(9.5, "quit"));
}

TEST_F(Timeline, DeletionCarriesTheTimeOfTheLastTelemetryRowThatListsTheVessel) {
    const std::string csv = root.Path() + "/rule9.csv";
    std::string err;
    ASSERT_TRUE(TelemetryOpen(csv, 0.0, &err)) << err;
    OBJHANDLE tv2 = Sim().CreateVessel("TV2", TV_CLASS, nullptr, &err);
    ASSERT_NE(tv2, nullptr) << err;
    Sim().RunFrames(3);
    Sim().PressKeyTo(tv2, OAPI_KEY_D, {});
    Sim().RunFrames(3);
    TelemetryClose();
    std::ifstream in(csv);
    std::string row, last;
    while (std::getline(in, row))
        if (row.find(",TV2,") != std::string::npos) last = row.substr(0, row.find(','));
    ASSERT_FALSE(last.empty());
    double t = std::stod(last);
    EXPECT_TRUE(Stamped(t, "deleted TV2")) << "last telemetry row of TV2 at " << last;
    // A key is stamped with the start of the frame that delivers it, the deletion with its end.
    int key = TimelineFind("key D -> TV2");
    ASSERT_GE(key, 0);
    EXPECT_NE(Sim().Timeline()[(size_t)key].find(Fmt("[%8.3f]", t - Sim().Step())), std::string::npos)
        << Sim().Timeline()[(size_t)key];
}

TEST_F(Timeline, VesselOfANameUsedBeforeIsTaggedAndAScriptMayNameItSo) {
    std::string err;
    ASSERT_NE(Sim().CreateVessel("TV2", TV_CLASS, nullptr, &err), nullptr) << err;
    OBJHANDLE second = Sim().CreateVessel("tv2", TV_CLASS, nullptr, &err);
    ASSERT_NE(second, nullptr) << err;
    EXPECT_TRUE(TimelineHas("] created tv2#2 (Test\\TestVessel)"));
    EXPECT_EQ(Sim().FindVessel("TV2#2"), second);
    Script s;
    ASSERT_TRUE(s.Parse("0.1 vessel tv2#2 # the second\n0.1 key D\n0.5 vessel\n", "f", &err)) << err;
    s.Run(Sim(), -1.0, -1);
    EXPECT_EQ(s.RuntimeErrors(), 0);
    EXPECT_TRUE(TimelineHas("key D -> tv2#2"));
    EXPECT_TRUE(TimelineHas("deleted tv2#2"));
    // The tag counts the run's vessels of the name, gone or not: a third is #3.
    ASSERT_NE(Sim().CreateVessel("TV2", TV_CLASS, nullptr, &err), nullptr) << err;
    EXPECT_TRUE(TimelineHas("created TV2#3"));
}

TEST_F(Timeline, ForceOneVesselsStepGivesAnotherNamesBothAndTheForce) {
    std::string err;
    ASSERT_NE(Sim().CreateVessel("TV2", TV_CLASS, nullptr, &err), nullptr) << err;
    Sim().PressKey(OAPI_KEY_P);
    Sim().RunFrames(3);
    EXPECT_EQ(TimelineCount("TV1 pushes TV2: force 5000.0 N"), 1);
    EXPECT_EQ(TimelineCount("pushes"), 1); // a vessel's own forces are not news
}

class UnknownLines : public HostFixture {};

TEST_F(UnknownLines, LineNeitherTheModuleNorTheHostKnowsIsAWarningNamingVesselAndLine) {
    ASSERT_FALSE(options.trace);
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1", "  COUNTER 2\n  FUTURE_KEY 1 2\n  NAVFREQ 1 2\n")))) << loadError;
    EXPECT_TRUE(TimelineHas("warning: TV1: scenario line known to neither the module nor the host: FUTURE_KEY 1 2"));
    EXPECT_EQ(TimelineCount("warning:"), 1); // the module's own line and the host's NAVFREQ are known
    Sim().RunFrames(2);
    EXPECT_EQ(Sim().FrameCount(), 2);
}

} // namespace
} // namespace hs::test
