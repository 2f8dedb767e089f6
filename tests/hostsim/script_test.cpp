// Flight scripts: what a line may say, what a bad line is told, and commands played at their times.
#include "script.h"
#include "tv_world.h"

namespace hs::test {
namespace {

std::string ParseError(const std::string& text) {
    Script s;
    std::string err;
    EXPECT_FALSE(s.Parse(text, "flight.txt", &err));
    return err;
}

TEST(ScriptParse, KeysTakeLeftHandModifiersByName) {
    Script s;
    std::string err;
    ASSERT_TRUE(s.Parse("12.5 key Ctrl+F12\n1.3e1 key Shift+B # comment\n20 hold NUMPAD0 3\n", "f", &err)) << err;
    ASSERT_EQ(s.Commands().size(), 3u);
    EXPECT_DOUBLE_EQ(s.Commands()[0].t, 12.5);
    EXPECT_EQ(s.Commands()[0].key, (DWORD)OAPI_KEY_F12);
    ASSERT_EQ(s.Commands()[0].mods.size(), 1u);
    EXPECT_EQ(s.Commands()[0].mods[0], (DWORD)OAPI_KEY_LCONTROL);
    EXPECT_EQ(s.Commands()[1].mods[0], (DWORD)OAPI_KEY_LSHIFT);
    EXPECT_EQ(s.Commands()[2].frames, 3);
    EXPECT_DOUBLE_EQ(s.LastTime(), 20.0);
}

TEST(ScriptParse, BadLinesNameTheFileAndLineAndAnUnreadableScriptTheReason) {
    EXPECT_EQ(ParseError("# fine\n\n3 jump\n"), "flight.txt:3: unknown command \"jump\"");
    EXPECT_EQ(ParseError("soon key K\n"), "flight.txt:1: a line starts with its time in seconds, not \"soon\"");
    EXPECT_EQ(ParseError("1 key Hyper+K\n"), "flight.txt:1: unknown key \"Hyper+K\"");
    EXPECT_EQ(ParseError("1 hold K\n"), "flight.txt:1: hold takes 2 arguments, not 1: hold KEY FRAMES");
    EXPECT_EQ(ParseError("1 key\n"), "flight.txt:1: key takes 1 argument, not 0: key [Shift+|Ctrl+|Alt+]KEY");
    EXPECT_EQ(ParseError("1 vessel A B\n"), "flight.txt:1: vessel takes at most 1 argument, not 2: vessel [NAME]");
    EXPECT_EQ(ParseError("1 plaec A REL B 1 2 3\n"), "flight.txt:1: unknown command \"plaec\"; did you mean place?");
    EXPECT_EQ(ParseError("1 hold K 0\n"), "flight.txt:1: hold needs a positive number of frames");
    EXPECT_EQ(ParseError("2 key K\n1 key K\n"), "flight.txt:2: times must not go backwards");
    EXPECT_EQ(ParseError("1 thgroup MAIN 1.5\n"), "flight.txt:1: thruster level must be 0 to 1");
    EXPECT_EQ(ParseError("1 surface FLAPS 0\n"), "flight.txt:1: unknown control surface FLAPS");
    EXPECT_EQ(ParseError("1 place A NEAR B 1 2 3\n"), "flight.txt:1: place NAME REL OTHER dx dy dz [dvx dvy dvz]");
    EXPECT_EQ(ParseError("1 camera SIDE\n"), "flight.txt:1: camera is COCKPIT or EXTERN");
    EXPECT_EQ(ParseError("-1 quit\n"), "flight.txt:1: a line starts with its time in seconds, not \"-1\"");
    Script s;
    std::string err;
    EXPECT_FALSE(s.Load("/nonexistent/flight.txt", &err));
    EXPECT_EQ(err, "cannot read the script /nonexistent/flight.txt: No such file or directory");
}

class ScriptRun : public TvWorld {};

TEST_F(ScriptRun, CommandsRunAtTheirTimesUntilQuit) {
    std::string err;
    ASSERT_NE(Sim().CreateVessel("TV2", TV_CLASS, nullptr, &err), nullptr) << err;
    Script s;
    ASSERT_TRUE(s.Parse("0.5 key K\n"
                        "1 vessel TV2\n1 key Alt+K\n1 thgroup HOVER 0.25\n1 vessel\n"
                        "1.5 key I\n2 input Zed Zebra\n"
                        "2 playback on\n3 quit\n4 key K\n",
                        "f", &err))
        << err;
    s.Run(Sim(), -1.0, -1);
    EXPECT_TRUE(s.Quit());
    EXPECT_NEAR(Sim().SimTime(), 3.0, 0.02);
    int k1 = TimelineFind("tv: key TV1 37 down");
    ASSERT_GE(k1, 0);
    EXPECT_NE(Sim().Timeline()[(size_t)k1 - 1].find("[   0.500] key K -> TV1"), std::string::npos)
        << Sim().Timeline()[(size_t)k1 - 1];
    EXPECT_TRUE(TimelineHas("tv: key TV2 37 down alt"));
    EXPECT_DOUBLE_EQ(Iface("TV2")->GetThrusterGroupLevel(THGROUP_HOVER), 0.25);
    EXPECT_DOUBLE_EQ(Iface("TV1")->GetThrusterGroupLevel(THGROUP_HOVER), 0.0);
    EXPECT_TRUE(TimelineHas("tv: answer TV1: Zed Zebra"));
    EXPECT_TRUE(Iface("TV1")->Playback());
    EXPECT_EQ(TimelineCount("tv: key TV1 37 down"), 1); // the key after quit never came
}

TEST_F(ScriptRun, PlaceDockAndAttachActOnNamedVessels) {
    std::string err;
    ASSERT_NE(Sim().CreateVessel("TV2", TV_CLASS, nullptr, &err), nullptr) << err;
    ASSERT_NE(Sim().CreateVessel("TV3", TV_CLASS, nullptr, &err), nullptr) << err;
    Script s;
    ASSERT_TRUE(s.Parse("0 place TV2 REL TV1 0 0 100 0 0 1\n0 attach TV1 0 TV3 0\n0 place GHOST REL TV1 0 0 1\n",
                        "f", &err))
        << err;
    s.Run(Sim(), -1.0, 0);
    Vessel* a = Rec("TV1");
    Vessel* b = Rec("TV2");
    EXPECT_NEAR(length(b->phys.pos - a->phys.pos), 100.0, 1e-6);
    EXPECT_EQ(a->attachments[1]->other, Rec("TV3"));
    EXPECT_EQ(s.RuntimeErrors(), 1);
    EXPECT_TRUE(TimelineHas("f:3: no vessel GHOST"));
}

} // namespace
} // namespace hs::test
