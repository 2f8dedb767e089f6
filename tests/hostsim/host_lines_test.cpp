// What the real host does, flown there with its stock vessels: the lines it saves, whom it gives the focus,
// where a vessel block without a position puts the vessel, and states that are not numbers.
#include "physics/physics.h"
#include "scenario_blocks.h"
#include "script.h"
#include "tv_world.h"

#include <cmath>

namespace hs::test {
namespace {

const char* NO_FOCUS_CLASS = "Test\\NoFocus";

class HostLines : public HostFixture {
  protected:
    void SetUp() override {
        HostFixture::SetUp();
        root.Write("Config/Vessels/Test/NoFocus.cfg",
                   "ClassName = NoFocus\nModule = Test\\TestVessel\nEnableFocus = FALSE\n");
    }

    // The lines of one vessel's block in the saved text.
    std::string Block(const std::string& name) { return BlockOf(Sim().ScenarioText(), name); }
};

std::string LandedAt(const std::string& name, const char* pos, const char* hdg) {
    return name + ":Test\\TestVessel\n  STATUS Landed Earth\n  POS " + pos + "\n  HEADING " + hdg + "\nEND\n";
}

TEST_F(HostLines, ControlSurfaceModeIsOffUntilSetAndSavedOnlyWhenNotZero) {
    ASSERT_TRUE(Load(
        ScenarioText(FlyingTv("TV1") + FlyingTv("TV2", "  AFCMODE 3\n") + FlyingTv("TV3", "  AFCMODE 0\n"))))
        << loadError;
    EXPECT_EQ(Rec("TV1")->adCtrlMode, 0);
    EXPECT_EQ(Block("TV1").find("AFCMODE"), std::string::npos) << Block("TV1");
    EXPECT_NE(Block("TV2").find("  AFCMODE 3\n"), std::string::npos) << Block("TV2");
    EXPECT_EQ(Block("TV3").find("AFCMODE"), std::string::npos) << Block("TV3");
}

TEST_F(HostLines, VesselThatTakesTheFocusHasTwoNavReceiversSavedLast) {
    std::string nf = "NF1:Test\\NoFocus\n  STATUS Orbiting Earth\n  RPOS 6471000 0 1000\n  RVEL 0 0 7800\n"
                     "  NAVFREQ 4 5\nEND\n";
    ASSERT_TRUE(Load(ScenarioText(FlyingTv("TV1", "  THLEVEL 0:0.250000\n  NAVFREQ 5 6 7 8\n") +
                                  FlyingTv("TV2", "  NAVFREQ 9\n") + nf)))
        << loadError;
    std::string tv1 = Block("TV1");
    EXPECT_NE(tv1.find("  THLEVEL 0:0.250000\n  NAVFREQ 5 6\n"), std::string::npos) << tv1;
    EXPECT_NE(Block("TV2").find("  NAVFREQ 9 0\n"), std::string::npos) << Block("TV2");
    EXPECT_EQ(Block("NF1").find("NAVFREQ"), std::string::npos) << Block("NF1");
}

TEST_F(HostLines, LandedVesselSavesItsHeightAndItsAttitudeInTheBodysFrame) {
    // Attitudes the real host saved for vessels landed at these places (its own sag on the gear aside).
    struct Case {
        const char* name;
        const char* pos;
        const char* hdg;
        VECTOR3 arot;
    };
    const Case cases[] = {{"L1", "0 0", "0", {{90, 0, 90}}},
                          {"L2", "0.001 0", "90", {{0, 0, 90}}},
                          {"L3", "90 0", "0", {{90, 0, 180}}},
                          {"L4", "0 45", "0", {{90, 45, 90}}}};
    // Points 1 m below the centre of mass, each carrying a third of the 500 kg on a spring of 20 N/m per kg
    // of that empty mass: the vessel sinks 0.164 m and stays level.
    std::string ships;
    for (const Case& c : cases)
        ships += LandedAt(c.name, c.pos, c.hdg);
    ASSERT_TRUE(Load(ScenarioText(ships))) << loadError;
    for (const Case& c : cases) {
        std::string b = Block(c.name);
        EXPECT_NE(b.find(std::string("  HEADING ") + (c.hdg[0] == '9' ? "90.00" : "0.00") +
                         "\n  ALT 0.836\n  AROT "),
                  std::string::npos)
            << b;
        double a[3] = {1e9, 1e9, 1e9};
        VectorLine(ReadShips(Sim().ScenarioText())[c.name], "AROT", a);
        for (int i = 0; i < 3; ++i) {
            double d = std::fmod(std::fabs(a[i] - c.arot.data[i]), 360.0);
            EXPECT_LT(std::fmin(d, 360.0 - d), 0.1) << c.name << " angle " << i << "\n" << b;
        }
    }
    // And the other way: a landed block the real host wrote loads where it says.
    std::string text = Sim().ScenarioText();
    Restart();
    ASSERT_TRUE(Load(ScenarioText("PB:Test\\TestVessel\n  STATUS Landed Earth\n  POS -80.6826440 28.5970140\n"
                                  "  HEADING 90.00\n  ALT 1.351\n  AROT -2.714 -79.789 64.077\n"
                                  "  PRPLEVEL 0:0.500000\n  NAVFREQ 0 0\nEND\n")))
        << loadError;
    // The height and attitude it gives are kept, as the host keeps them, even with half a tank (500 kg) that
    // would sink it further on its springs.
    EXPECT_NE(Block("PB").find("  STATUS Landed Earth\n  POS -80.6826440 28.5970140\n  HEADING 90.00\n  ALT 1.351\n"
                               "  AROT -2.714 -79.789 64.077\n"),
              std::string::npos)
        << Block("PB");
    EXPECT_EQ(TimelineCount("warning:"), 0);
}

TEST_F(HostLines, ScriptFocusOnAVesselThatDoesNotTakeTheFocusIsRefused) {
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1") + LandedTv("NF1").replace(4, 15, NO_FOCUS_CLASS), "TV1")))
        << loadError;
    ASSERT_EQ(Rec("NF1")->className, "Test\\NoFocus");
    Script s;
    std::string err;
    ASSERT_TRUE(s.Parse("0 focus NF1\n", "f", &err)) << err;
    s.Run(Sim(), 0.1, -1);
    EXPECT_EQ(oapiGetFocusObject(), Rec("TV1"));
    EXPECT_TRUE(TimelineHas("f:1: focus NF1 refused: it does not take the focus"));
    EXPECT_EQ(s.RuntimeErrors(), 1);
}

TEST_F(HostLines, ScenarioFocusOnAVesselThatDoesNotTakeItIsGivenWithAWarning) {
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1") + LandedTv("NF1").replace(4, 15, NO_FOCUS_CLASS), "NF1")))
        << loadError;
    EXPECT_EQ(oapiGetFocusObject(), Rec("NF1"));
    EXPECT_TRUE(TimelineHas("warning: the scenario gives the focus to NF1, which does not take the focus"));
    EXPECT_NE(Sim().ScenarioText().find("  Ship NF1\n"), std::string::npos);
}

TEST_F(HostLines, BlockWithoutPositionComesOutOnTheSurfaceAndStaysANumber) {
    ASSERT_TRUE(
        Load(ScenarioText("TV1:Test\\TestVessel\nEND\nTV2:Test\\TestVessel\n  STATUS Orbiting Earth\nEND\n")))
        << loadError;
    const double radius = GetBody(0)->radius;
    for (const char* name : {"TV1", "TV2"}) {
        EXPECT_TRUE(TimelineHas(std::string("warning: ") + name +
                                ": the vessel block gives no position: put on the surface of Earth"));
        // On its touchdown points where the Earth's own +z axis (longitude 90 degrees east, the equator)
        // meets the surface, sunk 0.164 m on its springs.
        const VECTOR3 p = tmul(FrameNow(*GetBody(0)).R, Rec(name)->phys.pos - GetBody(0)->pos);
        EXPECT_NEAR(p.z, radius + 0.836, 0.01);
    }
    Sim().RunFrames(60);
    for (const char* name : {"TV1", "TV2"}) {
        const VECTOR3& p = Rec(name)->phys.pos;
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << name;
        EXPECT_NEAR(length(p), radius + 0.836, 0.1) << name;
    }
    EXPECT_EQ(Sim().ScenarioText().find("nan"), std::string::npos) << Sim().ScenarioText();
}

TEST_F(HostLines, StateThatIsNotANumberIsMisuseAndTheLastGoodOneComesBack) {
    ASSERT_TRUE(Load(ScenarioText(FlyingTv("TV1")))) << loadError;
    Sim().Frame();
    VECTOR3 before = Rec("TV1")->phys.pos;
    VESSELSTATUS2 st{};
    st.version = 2;
    st.rbody = oapiGetObjectByName((char*)"Earth");
    st.rpos = _V(NAN, 0, 0);
    Iface("TV1")->DefSetStateEx(&st);
    Sim().Frame();
    EXPECT_EQ(Sim().MisuseCount(), 1);
    EXPECT_TRUE(TimelineHas("misuse: TV1: position is not a number after the physics step"));
    EXPECT_EQ(Rec("TV1")->phys.pos.x, before.x);
    Iface("TV1")->SetEmptyMass(NAN);
    EXPECT_EQ(Sim().MisuseCount(), 2);
    EXPECT_TRUE(std::isfinite(Iface("TV1")->GetMass()));
    Sim().Frame();
    EXPECT_EQ(Sim().MisuseCount(), 2);
    expectedMisuse = 2;
}

} // namespace
} // namespace hs::test
