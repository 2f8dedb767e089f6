// Scenario files: the vessel's own lines, the host's standard lines, links, kept blocks and save round trips.
#include "tv_world.h"

#include <cmath>
#include <set>

namespace hs::test {
namespace {

class Scenario : public HostFixture {};

TEST_F(Scenario, OwnLinesReachTheModuleAndTheRestReachTheHost) {
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1", "  COUNTER 5\n  AFCMODE 3\n  RCSMODE 2\n  FUTURE_KEY 1 2\n"))))
        << loadError;
    Vessel* v = Rec("TV1");
    EXPECT_TRUE(TimelineHas("tv: own line TV1: COUNTER 5"));
    EXPECT_EQ(v->adCtrlMode, 3);
    EXPECT_EQ(v->attitudeMode, RCS_LIN);
    EXPECT_DOUBLE_EQ(v->propellants[0]->mass, 1000.0);
    ASSERT_EQ(v->ignoredLines.size(), 1u);
    EXPECT_EQ(v->ignoredLines[0], "FUTURE_KEY 1 2");
}

TEST_F(Scenario, TanksThatPrplevelLeavesOutAreEmpty) {
    ASSERT_TRUE(Load(ScenarioText("TV1:Test\\TestVessel\n  STATUS Landed Earth\nEND\n"))) << loadError;
    EXPECT_DOUBLE_EQ(Rec("TV1")->propellants[0]->mass, 0.0);
}

TEST_F(Scenario, CommentsAndBlanksAroundLinesAreStripped) {
    ASSERT_TRUE(Load(ScenarioText("TV1:Test\\TestVessel   ; the first\n\tSTATUS Landed Earth\n"
                                  "   PRPLEVEL 0:0.250000   ; a quarter\n   COUNTER 9 ;\nEND\n")))
        << loadError;
    EXPECT_DOUBLE_EQ(Rec("TV1")->propellants[0]->mass, 250.0);
    EXPECT_TRUE(TimelineHas("tv: own line TV1: COUNTER 9"));
}

TEST_F(Scenario, SaveLoadSaveGivesIdenticalText) {
    std::string ships = LandedTv("TV1", "  COUNTER 5\n  AFCMODE 7\n") +
                        FlyingTv("TV2", "  VROT 1.0000 -2.0000 0.5000\n  RCSMODE 0\n  THLEVEL 1:0.250000\n");
    std::string text = ScenarioText(ships, "TV2") + "\nBEGIN_MYPLUGIN\n  SETTING 4\nEND\n";
    ASSERT_TRUE(Load(text)) << loadError;
    std::string first = Sim().ScenarioText();
    EXPECT_NE(first.find("BEGIN_MYPLUGIN\n  SETTING 4\nEND"), std::string::npos) << first;
    EXPECT_NE(first.find("  COUNTER 5\n"), std::string::npos) << first;
    EXPECT_NE(first.find("  THLEVEL 1:0.250000\n"), std::string::npos) << first;
    Restart();
    ASSERT_TRUE(Load(first, "again")) << loadError;
    EXPECT_EQ(Sim().ScenarioText(), first);
}

// The host's own scenarios name some blocks ("BEGIN_MFD Left") and end them with the kind alone ("END_MFD").
TEST_F(Scenario, NamedBlockBeforeTheShipsEndsAtItsKindAndIsKept) {
    const std::string mfd = "BEGIN_MFD Left\n  TYPE Surface\nEND_MFD\nBEGIN_MFD Right\n  TYPE Orbit\nEND_MFD\n";
    ASSERT_TRUE(Load(mfd + ScenarioText(LandedTv("TV1") + LandedTv("TV2")))) << loadError;
    EXPECT_NE(Rec("TV1"), nullptr);
    EXPECT_NE(Rec("TV2"), nullptr);
    EXPECT_NE(Sim().ScenarioText().find(mfd), std::string::npos) << Sim().ScenarioText();
}

TEST_F(Scenario, LandedAndFlyingLinesUseTheHostsDecimals) {
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1") + FlyingTv("TV2")))) << loadError;
    std::string s = Sim().ScenarioText();
    EXPECT_NE(s.find("TV1:Test\\TestVessel\n  STATUS Landed Earth\n  POS -80.6826440 28.5970140\n"
                     "  HEADING 90.00\n"),
              std::string::npos)
        << s;
    EXPECT_NE(s.find("  STATUS Orbiting Earth\n  RPOS 6471000.000 0.000 0.000\n  RVEL 0.0000 0.0000 7800.0000\n"
                     "  AROT 10.000 20.000 30.000\n"),
              std::string::npos)
        << s;
    EXPECT_NE(s.find("  PRPLEVEL 0:0.500000\n"), std::string::npos);
    EXPECT_EQ(s.find("VROT"), std::string::npos); // no spin, no line
}

TEST_F(Scenario, AttachedAndDockinfoLinksWaitForTheVesselsTheyName) {
    // The child comes first: its parent does not exist yet when its block is read.
    std::string ships = FlyingTv("TV2", "  ATTACHED 0:0,TV1\n") + FlyingTv("TV3", "  DOCKINFO 0:0,TV1\n") +
                        LandedTv("TV1");
    ASSERT_TRUE(Load(ScenarioText(ships))) << loadError;
    Vessel* parent = Rec("TV1");
    Vessel* child = Rec("TV2");
    EXPECT_EQ(parent->attachments[1]->other, child); // TV1's point to a child ("GUN-LONG")
    EXPECT_EQ(child->attachments[0]->other, parent);
    EXPECT_EQ(parent->docks[0]->mate, Rec("TV3"));
    std::string s = Sim().ScenarioText();
    EXPECT_NE(s.find("  ATTACHED 0:0,TV1\n"), std::string::npos) << s;
    EXPECT_NE(s.find("  DOCKINFO 0:0,TV3\n"), std::string::npos) << s;
}

TEST_F(Scenario, BlockWithoutEndStrayLineOrEndWithoutABlockIsBadInputNamingFileAndLine) {
    const struct {
        const char* text;
        const char* said;
    } cases[] = {{"BEGIN_SHIPS\nTV1:Test\\TestVessel\n  STATUS Landed Earth\n",
                  "case.scn:2: vessel block TV1 has no END"},
                 {"BEGIN_DESC\nx\nEND_DESC\nwhat is this\n", "case.scn:4:"},
                 {"BEGIN_SHIPS\nEND\nEND_SHIPS\n", "case.scn:2: END without a vessel block"}};
    for (const auto& k : cases) {
        EXPECT_FALSE(Load(k.text));
        EXPECT_EQ(Sim().LastError(), Sim::LOAD_BAD_INPUT);
        EXPECT_NE(loadError.find(k.said), std::string::npos) << loadError;
    }
    std::string err;
    EXPECT_FALSE(Sim().LoadScenario("Test/does-not-exist", &err));
    EXPECT_EQ(Sim().LastError(), Sim::LOAD_BAD_INPUT);
}

TEST_F(Scenario, GetStatusExAndDefSetStateExMoveAVesselBetweenBodies) {
    ASSERT_TRUE(Load(ScenarioText(FlyingTv("TV1")))) << loadError;
    VESSEL* v = Iface("TV1");
    VESSELSTATUS2 st{};
    st.version = 2;
    st.flag = VS_FUELLIST;
    v->GetStatusEx(&st);
    EXPECT_EQ(st.status, 0);
    EXPECT_EQ(st.rbody, oapiGetObjectByName((char*)"Earth"));
    EXPECT_NEAR(st.rpos.x, 6471000.0, 1e-6);
    ASSERT_EQ(st.nfuel, 1u);
    EXPECT_DOUBLE_EQ(st.fuel[0].level, 0.5);
    delete[] st.fuel; // allocated by the host for the caller
    VESSELSTATUS2 moved{};
    moved.version = 2;
    moved.rbody = oapiGetObjectByName((char*)"Moon");
    moved.rpos = _V(0, 0, 2e6);
    moved.rvel = _V(1000, 0, 0);
    v->DefSetStateEx(&moved);
    VECTOR3 rel;
    v->GetRelativePos(moved.rbody, rel);
    EXPECT_NEAR(rel.z, 2e6, 1e-6);
    EXPECT_EQ(Rec("TV1")->phys.body, 1);
}

// A module that moves a vessel against the star (the first body, as the host lists them) finds it over the
// nearest planet, as the host reports it; its state is given against the body that pulls hardest, the planet
// near it and the star far out, as the host gives it.
TEST_F(Scenario, AStateGivenAgainstTheStarIsBoundToTheBodyWithTheStrongestPull) {
    ASSERT_TRUE(Load(ScenarioText(FlyingTv("TV1")))) << loadError;
    VESSEL* v = Iface("TV1");
    const OBJHANDLE sun = oapiGetGbodyByIndex(0), earth = oapiGetObjectByName((char*)"Earth");
    ASSERT_EQ(oapiGetObjectType(sun), OBJTP_STAR);
    for (const double out : {1.5e8, 6e9}) {
        VESSELSTATUS2 st{};
        st.version = 2;
        v->GetStatusEx(&st);
        VECTOR3 fromSun, before;
        v->GetRelativePos(sun, fromSun);
        v->GetRelativePos(earth, before);
        st.rbody = sun;
        st.rpos = fromSun + _V(0, 0, out);
        v->DefSetStateEx(&st);
        VECTOR3 fromEarth;
        v->GetRelativePos(earth, fromEarth);
        EXPECT_NEAR(fromEarth.z - before.z, out, 1e-3);
        EXPECT_EQ(v->GetGravityRef(), out < 1e9 ? earth : sun) << out;
        EXPECT_EQ(v->GetSurfaceRef(), earth) << out;
        EXPECT_NE(Sim().ScenarioText().find(out < 1e9 ? "STATUS Orbiting Earth" : "STATUS Orbiting Sun"),
                  std::string::npos)
            << out;
        // Global places are the host's: the vessel's less the planet's is where it stands from the planet.
        VECTOR3 own, planet;
        v->GetGlobalPos(own);
        oapiGetGlobalPos(earth, &planet);
        EXPECT_NEAR(length(own - planet - fromEarth), 0.0, 1e-3);
        EXPECT_GT(length(planet), 1e11);
    }
}

TEST_F(Scenario, StatusListTheCallerSuppliesIsFilledOnlyUpToItsCount) {
    ASSERT_TRUE(Load(ScenarioText(FlyingTv("TV1", "  THLEVEL 0:0.500000 1:0.750000\n")))) << loadError;
    VESSELSTATUS2::THRUSTSPEC list[2] = {{99, -1.0}, {99, -1.0}};
    VESSELSTATUS2 st{};
    st.version = 2;
    st.flag = VS_THRUSTLIST;
    st.thruster = list;
    st.nthruster = 1; // room for one
    Iface("TV1")->GetStatusEx(&st);
    EXPECT_EQ(st.nthruster, 1u);
    EXPECT_EQ(list[0].idx, 0u);
    EXPECT_DOUBLE_EQ(list[0].level, 0.5);
    EXPECT_EQ(list[1].idx, 99u); // untouched
}

TEST_F(Scenario, TheStarIsBodyIndexZeroAndTheOthersFollowInTheTablesOrder) {
    ASSERT_TRUE(Load(ScenarioText("TV1:Test\\TestVessel\n  STATUS Orbiting Moon\n  RPOS 2000000.000 0.000 0.000\n"
                                  "  RVEL 0.0000 0.0000 1500.0000\nEND\n",
                                  "TV1")))
        << loadError;
    char name[32];
    oapiGetObjectName(oapiGetGbodyByIndex(0), name, sizeof name);
    EXPECT_STREQ(name, "Sun");
    EXPECT_EQ(oapiGetObjectType(oapiGetGbodyByIndex(0)), OBJTP_STAR);
    oapiGetObjectName(oapiGetGbodyByIndex(1), name, sizeof name);
    EXPECT_STREQ(name, "Earth");
    oapiGetObjectName(oapiGetGbodyByIndex(2), name, sizeof name);
    EXPECT_STREQ(name, "Moon");
    EXPECT_EQ(oapiGetGbodyByIndex((int)oapiGetGbodyCount()), nullptr);
    EXPECT_EQ(oapiGetGbodyByIndex(-1), nullptr);
    EXPECT_EQ(Iface("TV1")->GetGravityRef(), oapiGetGbodyByIndex(2));
    EXPECT_EQ(oapiGetGbodyParent(oapiGetGbodyByIndex(2)), oapiGetGbodyByIndex(1)); // the Moon circles the Earth
    EXPECT_EQ(oapiGetGbodyParent(oapiGetGbodyByIndex(1)), oapiGetGbodyByIndex(0));
    EXPECT_EQ(oapiGetGbodyParent(oapiGetGbodyByIndex(0)), nullptr);
    // Every body once.
    std::set<OBJHANDLE> all;
    for (int i = 0; i < (int)oapiGetGbodyCount(); ++i) all.insert(oapiGetGbodyByIndex(i));
    EXPECT_EQ(all.size(), oapiGetGbodyCount());
    EXPECT_NE(Sim().ScenarioText().find("  STATUS Orbiting Moon\n"), std::string::npos);
}

} // namespace
} // namespace hs::test
