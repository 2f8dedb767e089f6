// Annotations a module lays over the window, shown on the timeline once for each change, and the host's log
// file.
#include "tv_world.h"

namespace hs::test {
namespace {

using Annotations = TvWorld;

TEST_F(Annotations, TextIsPrintedOnceForEachChangeAndWhenItGoes) {
    NOTEHANDLE note = oapiCreateAnnotation(true, 1.0, _V(1, 1, 0));
    ASSERT_NE(note, nullptr);
    oapiAnnotationSetPos(note, 0.1, 0.1, 0.9, 0.3);
    oapiAnnotationSetColour(note, _V(0, 1, 0));
    oapiAnnotationSetSize(note, 0.8);
    for (int i = 0; i < 3; ++i) {
        oapiAnnotationSetText(note, "Docking in progress");
        Sim().RunFrames(1);
    }
    EXPECT_EQ(TimelineCount("note 1: Docking in progress"), 1);
    oapiAnnotationSetText(note, "Docked");
    oapiAnnotationSetText(note, "Docked!"); // only what stands at the end of the frame is shown
    Sim().RunFrames(1);
    EXPECT_FALSE(TimelineHas("note 1: Docked\n"));
    EXPECT_TRUE(TimelineHas("note 1: Docked!"));
    EXPECT_TRUE(oapiDelAnnotation(note));
    EXPECT_TRUE(TimelineHas("note 1 gone: Docked!"));
    EXPECT_FALSE(oapiDelAnnotation(nullptr));
    expectedMisuse = 1;
    EXPECT_FALSE(oapiDelAnnotation(note));
}

TEST_F(Annotations, RunningNumbersAreShownAtMostOnceASecondAndTheLastAtTheEnd) {
    NOTEHANDLE note = oapiCreateAnnotation(false, 1.0, _V(1, 1, 1));
    for (int i = 0; i < 90; ++i) {
        oapiAnnotationSetText(note, ("Range " + std::to_string(900 - i) + " m").c_str());
        Sim().RunFrames(1);
    }
    EXPECT_EQ(TimelineCount("note 1: Range"), 2); // at 0 s and once the second is over
    Sim().FlushTimeline();
    EXPECT_TRUE(TimelineHas("note 1: Range 811 m"));
}

using HostLog = TvWorld;

TEST_F(HostLog, OrbiterLogBeginsAfreshEachRunAndStampsEveryLine) {
    oapiWriteLog("plain 50%% line");
    oapiWriteLogV("formatted %d", 42);
    oapiWriteLogError("went wrong %d", 7);
    const std::string log = root.Read("Orbiter.log");
    EXPECT_EQ(log.rfind("**** Orbiter.log\n", 0), 0u) << log;
    EXPECT_NE(log.find("\n000000.000: plain 50% line\n"), std::string::npos) << log;
    EXPECT_NE(log.find("\n000000.000: formatted 42\n"), std::string::npos) << log;
    EXPECT_NE(log.find("000000.000: ============================ ERROR: ===========================\n"
                       "000000.000: went wrong 7\n"
                       "000000.000: [TestBody | "),
              std::string::npos)
        << log;
    EXPECT_TRUE(TimelineHas("log: plain 50% line"));
    EXPECT_TRUE(TimelineHas("log: error: went wrong 7 [TestBody | "));
    Sim().RunFrames(60);
    oapiWriteLog("a stray %d");
    EXPECT_NE(root.Read("Orbiter.log").find("\n000001.000: a stray %d\n"), std::string::npos);
    EXPECT_TRUE(TimelineHas("warning: oapiWriteLog: the host reads"));
    Restart();
    EXPECT_EQ(root.Read("Orbiter.log"), "**** Orbiter.log\n");
}

} // namespace
} // namespace hs::test
