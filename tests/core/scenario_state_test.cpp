// The Corvane's scenario lines: what a save writes, what a load reads, and save -> load -> save identity.
#include "vessel_fixture.h"

#include <algorithm>

using coretest::BlockOf;
using coretest::CoreWorld;
using coretest::LandedBlock;
using coretest::Scenario;

namespace {

constexpr const char* CREW_LINES =
    "  UMMUCREW Capt-Ilse_Marrow-35-65-74\n  UMMUCREW Sci-Teodor_Vanke-41-65-74\n";

class ScenarioState : public CoreWorld {
  protected:
    hs::Thruster* Thruster(THRUSTER_HANDLE th) { return static_cast<hs::Thruster*>(th); }

    void ExpectWheelContact() {
        Vessel* v = Record();
        EXPECT_NEAR(v->touchdown[0].z, 4.2, 1e-12);
        EXPECT_NEAR(v->touchdown[1].x, -5.9, 1e-12);
        EXPECT_TRUE(v->nosewheelSteering);
        EXPECT_EQ(v->maxWheelbrakeForce, 200000.0);
        EXPECT_EQ(v->muLng, 0.1);
        EXPECT_EQ(v->muLat, 0.5);
    }

    void ExpectBellyContact() {
        Vessel* v = Record();
        EXPECT_NEAR(v->touchdown[0].y, -2.2, 1e-12);
        EXPECT_NEAR(v->touchdown[1].x, -2.697, 1e-12);
        EXPECT_NEAR(v->touchdown[2].z, -3.474, 1e-12);
        EXPECT_FALSE(v->nosewheelSteering);
        EXPECT_EQ(v->maxWheelbrakeForce, 0.0);
        EXPECT_EQ(v->muLng, 0.5);
        EXPECT_EQ(v->muLat, 0.5);
    }
};

} // namespace

TEST_F(ScenarioState, SaveWritesHostLinesThenCrewThenTheTwelveKeysInOrder) {
    LoadBlock(std::string(CREW_LINES) + "  CANP 1.000 1.000\n  BRAKE 1\n");
    const std::vector<std::string> lines = hs::test::BlockLines(Sim().ScenarioText(), "Corvane-1");
    ASSERT_GE(lines.size(), 15u);
    EXPECT_EQ(lines[0].rfind("STATUS Landed Earth", 0), 0u);
    const size_t n = lines.size();
    const char* expected[14] = {"UMMUCREW Capt-Ilse_Marrow-35-65-74",
                                "UMMUCREW Sci-Teodor_Vanke-41-65-74",
                                "FTL 0.0000",
                                "HWIN 0.000 1.000 1",
                                "GEAR 0.000 0.000",
                                "CANP 1.000 1.000",
                                "CANC 0.000 0.000",
                                "VIS 3",
                                "VIEW 0",
                                "BRAKE 1",
                                "MAIN 1",
                                "BOOST 0",
                                "INDMP 1",
                                "AMMO Pellorin"};
    for (size_t i = 0; i < 14; ++i)
        EXPECT_EQ(lines[n - 14 + i], expected[i]);
}

// A prefix key with an unreadable value, or a drive state outside the integer range, leaves the drive idle.
TEST_F(ScenarioState, KeysAreReadInAnyCaseAndTheDriveSavedEngagedComesBackEngagedWithItsRemainingTime) {
    LoadBlock("  ftl 1.0000\n  hWiN 0.750 2.500 4\n");
    Corvane* c = Ship();
    EXPECT_EQ(c->ftlState, 1);
    EXPECT_EQ(c->hwgTimer, 0.75);
    EXPECT_EQ(c->hwgJumpDuration, 2.5);
    EXPECT_EQ(c->hwgStepIndex, 4);
    const std::vector<std::string> lines = hs::test::BlockLines(Sim().ScenarioText(), "Corvane-1");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "FTL 1.0000"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "HWIN 0.750 2.500 4"), lines.end());
    Restart();
    LoadBlock("  FTLX 1\n  FTL 1e300\n  FTL nan\n");
    EXPECT_EQ(Ship()->ftlState, 0);
}

// A gear line with one value keeps the target and applies the position again.
TEST_F(ScenarioState, GearMovingUpSetsItsAnimationAndTheBellyContactAtOnce) {
    LoadBlock("  GEAR 0.400 1.000\n");
    Corvane* c = Ship();
    EXPECT_EQ(c->gearPos, 0.4);
    EXPECT_EQ(c->gearTarget, 1.0);
    EXPECT_EQ(Record()->animations[c->gearAnim].state, 0.4);
    ExpectBellyContact();
    Restart();
    LoadBlock("  GEAR 0.6\n");
    EXPECT_EQ(Ship()->gearPos, 0.6);
    EXPECT_EQ(Ship()->gearTarget, 0.0);
    EXPECT_EQ(Record()->animations[Ship()->gearAnim].state, 0.6);
}

TEST_F(ScenarioState, GearMovingDownOrNoGearLineKeepsTheWheelContact) {
    LoadBlock("  GEAR 1.000 0.000\n");
    EXPECT_EQ(Record()->animations[Ship()->gearAnim].state, 1.0);
    ExpectWheelContact();
    Restart();
    LoadBlock("  VIEW 0\n");
    ExpectWheelContact();
}

TEST_F(ScenarioState, CanopyLinesSetPositionsTargetsAndAnimations) {
    LoadBlock("  CANP 0.250 1.000\n  CANC 1.000 0.000\n");
    Corvane* c = Ship();
    EXPECT_EQ(c->canopyPPos, 0.25);
    EXPECT_EQ(c->canopyPTarget, 1.0);
    EXPECT_EQ(c->canopyCPos, 1.0);
    EXPECT_EQ(c->canopyCTarget, 0.0);
    EXPECT_EQ(Record()->animations[c->canopyPAnim].state, 0.25);
    EXPECT_EQ(Record()->animations[c->canopyCAnim].state, 1.0);
}

// The drive state keeps the integer part of what was read.
TEST_F(ScenarioState, VisibilityIsReadAsHexadecimalKeepingTheLowSixteenBitsAndSavedInLowerCase) {
    LoadBlock("  VIS 1A\n  FTL 3.9\n");
    EXPECT_EQ(Ship()->shipMeshVisibility, 26);
    const std::string block = BlockOf(Sim().ScenarioText(), "Corvane-1");
    EXPECT_NE(block.find("  VIS 1a\n"), std::string::npos) << block;
    EXPECT_NE(block.find("  FTL 3.0000\n"), std::string::npos) << block;
    Restart();
    LoadBlock("  VIS 12345\n");
    EXPECT_EQ(Ship()->shipMeshVisibility, 0x2345);
    // The load sets no mesh mode itself: the drive's idle step does.
    EXPECT_EQ(Record()->meshes[1]->visMode, MESHVIS_ALWAYS);
}

// An earlier flag line's value must not leak into a later unreadable one.
TEST_F(ScenarioState, AnyNonZeroBrakeValueSetsTheBrakeZeroClearsItAndUnreadableFlagLinesChangeNothing) {
    LoadBlock("  BRAKE 7\n");
    EXPECT_TRUE(Ship()->brakeEngaged);
    Restart();
    LoadBlock("  BRAKE 7\n  BRAKE 0\n");
    EXPECT_FALSE(Ship()->brakeEngaged);
    Restart();
    LoadBlock("  BRAKE 1\n  MAIN x\n  BOOST\n  INDMP -\n");
    Corvane* c = Ship();
    EXPECT_TRUE(c->brakeEngaged);
    EXPECT_TRUE(c->mainEngineFed);
    EXPECT_FALSE(c->boost);
    EXPECT_TRUE(c->inertialDampeners);
}

TEST_F(ScenarioState, MainCutOffBoostOnAndDampenersOffComeBackWithTheirFeedsAndTheDefaultsKeepThem) {
    LoadBlock("  MAIN 0\n  BOOST 1\n  INDMP 0\n");
    Corvane* c = Ship();
    EXPECT_FALSE(c->mainEngineFed);
    EXPECT_TRUE(c->boost);
    EXPECT_FALSE(c->inertialDampeners);
    EXPECT_EQ(Thruster(c->mainThruster)->res, nullptr);
    EXPECT_EQ(Thruster(c->boostThruster)->res, c->mainTank);
    Restart();
    LoadBlock("  MAIN 1\n  BOOST 0\n");
    c = Ship();
    EXPECT_EQ(Thruster(c->mainThruster)->res, c->mainTank);
    EXPECT_EQ(Thruster(c->boostThruster)->res, nullptr);
}

TEST_F(ScenarioState, SecondViewSetsTheSecondCameraOffsetAndAViewOutsideTheTwoSeatsIsTakenAsTheFirst) {
    struct Case {
        const char* lines;
        int view;
        double cameraY, cameraZ;
    };
    constexpr Case CASES[] = {{"  VIEW 1\n", 1, 0.91, 2.1},
                              {"  VIEW 5\n", 0, 0.73, 3.03},
                              {"  VIEW 1\n  VIEW -1\n", 0, 0.73, 3.03}};
    for (const Case& k : CASES) {
        Restart();
        LoadBlock(k.lines);
        EXPECT_EQ(Ship()->viewIndex, k.view) << k.lines;
        EXPECT_NEAR(Record()->cameraOffset.y, k.cameraY, 1e-12) << k.lines;
        EXPECT_NEAR(Record()->cameraOffset.z, k.cameraZ, 1e-12) << k.lines;
    }
}

// The key alone, and a name far longer than the class buffer, leave the class held unchanged.
TEST_F(ScenarioState, AmmoClassIsTheFirstWordOfAtMostTwentySevenCharacters) {
    LoadBlock("  AMMO Slug extra\n  AMMO\n  AMMO " + std::string(400, 'x') + "\n");
    EXPECT_STREQ(Ship()->ammoClassName, "Slug");
    Restart();
    const std::string fits(27, 'A');
    LoadBlock("  AMMO " + fits + "\n  AMMO " + std::string(28, 'B') + "\n");
    EXPECT_STREQ(Ship()->ammoClassName, fits.c_str());
}

// The host loads a class's module from the path its name makes: a name that leaves the host's folders is no
// class; a class in a subfolder is.
TEST_F(ScenarioState, AmmoClassThatNamesAPathIsRefusedAndTheOldOneKept) {
    std::string lines;
    for (const char* name : {"../../evil/evil", "..\\..\\evil", "\\evil", "/tmp/evil", "C:evil", "a..b"})
        lines += std::string("  AMMO ") + name + "\n";
    LoadBlock(lines);
    EXPECT_STREQ(Ship()->ammoClassName, "Pellorin");
    EXPECT_TRUE(TimelineHas("log: Corvane: AMMO class \"../../evil/evil\" refused"));
    Restart();
    LoadBlock("  AMMO Weapons\\Slug\n");
    EXPECT_STREQ(Ship()->ammoClassName, "Weapons\\Slug");
}

// A refused crew line (age 0) goes on to the host, which ignores it.
TEST_F(ScenarioState, AcceptedCrewLinesReplaceTheDefaultCrewAndARefusedOneLeavesTheVesselKeysAlone) {
    LoadBlock("  UMMUCREW Pilot-Ada_Reyes-30-70-60\n");
    Corvane* c = Ship();
    EXPECT_EQ(c->crew.crewCount, 1);
    EXPECT_STREQ(c->crew.roster[0].name, "Ada Reyes");
    EXPECT_STREQ(c->ammoClassName, "Pellorin");
    Restart();
    LoadBlock("  UMMUCREW Capt-Ilse_Marrow-0-65-74\n  BRAKE 1\n");
    c = Ship();
    EXPECT_EQ(c->crew.crewCount, 0);
    EXPECT_TRUE(c->brakeEngaged);
    EXPECT_EQ(c->ftlState, 0);
}

TEST_F(ScenarioState, SaveLoadSaveGivesIdenticalText) {
    LoadBlock(std::string(CREW_LINES) +
              "  FTL 1.0000\n  HWIN 0.3337 12.5 5\n  GEAR 0.4004 1.000\n  CANP 0.1 1\n  CANC 1 0\n  VIS 1\n"
              "  VIEW 1\n  BRAKE 1\n  MAIN 0\n  BOOST 1\n  INDMP 0\n  AMMO Slug\n");
    const std::string first = Sim().ScenarioText();
    Corvane* c = Ship();
    EXPECT_EQ(c->hwgJumpDuration, 12.5);
    Restart();
    LoadText(first);
    const std::string second = Sim().ScenarioText();
    EXPECT_EQ(second, first);
    const std::string block = BlockOf(second, "Corvane-1");
    // Doubles are saved with three decimals, whatever the loaded text held.
    EXPECT_NE(block.find("HWIN 0.334 12.500 5"), std::string::npos) << block;
    EXPECT_NE(block.find("GEAR 0.400 1.000"), std::string::npos) << block;
    EXPECT_NE(block.find("AMMO Slug"), std::string::npos) << block;
    EXPECT_NE(block.find("UMMUCREW Sci-Teodor_Vanke-41-65-74"), std::string::npos) << block;

    // The reloaded vessel holds every saved value as it was saved.
    c = Ship();
    EXPECT_EQ(c->ftlState, 1);
    EXPECT_EQ(c->hwgTimer, 0.334);
    EXPECT_EQ(c->hwgStepIndex, 5);
    EXPECT_EQ(c->gearPos, 0.4);
    EXPECT_EQ(c->canopyCPos, 1.0);
    EXPECT_EQ(c->shipMeshVisibility, 1);
    EXPECT_EQ(c->viewIndex, 1);
    EXPECT_TRUE(c->brakeEngaged);
    EXPECT_FALSE(c->mainEngineFed);
    EXPECT_TRUE(c->boost);
    EXPECT_FALSE(c->inertialDampeners);
}

TEST_F(ScenarioState, ValuesThatCannotBeSavedAsThemselvesAreNotTaken) {
    // Infinities and NaNs, and a step index beyond the integer range, would not read back as themselves: the
    // members keep what they held, while the readable values of the same line are taken.
    LoadBlock(std::string(CREW_LINES) + "  HWIN nan inf 2\n  GEAR inf 1\n  CANP 0.5 -nan\n");
    Corvane* c = Ship();
    EXPECT_EQ(c->hwgTimer, 0.0);
    EXPECT_EQ(c->hwgJumpDuration, 1.0);
    EXPECT_EQ(c->hwgStepIndex, 2);
    EXPECT_EQ(c->gearPos, 0.0);
    EXPECT_EQ(c->gearTarget, 1.0);
    EXPECT_EQ(c->canopyPPos, 0.5);
    EXPECT_EQ(c->canopyPTarget, 0.0);
    Restart();
    LoadBlock(std::string(CREW_LINES) + "  HWIN 0.25 1e300 99999999999\n");
    c = Ship();
    EXPECT_EQ(c->hwgTimer, 0.25);
    EXPECT_EQ(c->hwgJumpDuration, 1e300);
    EXPECT_EQ(c->hwgStepIndex, 1);
    const std::string block = BlockOf(Sim().ScenarioText(), "Corvane-1");
    EXPECT_NE(block.find("  HWIN 0.250 1e+300 1\n"), std::string::npos) << block;
}

TEST_F(ScenarioState, NumbersOfAFlightSaveWithThreeDecimalsAndZeroWithoutASign) {
    // What a gear in motion and a finished jump leave behind: sums of small steps and a timer run past zero.
    LoadBlock(std::string(CREW_LINES) + "  GEAR 0.20000000000000007 1\n  HWIN -7.528699885739343e-16 1 1\n"
                                        "  CANP -0.0004 -0\n  CANC 0.9996 1\n");
    const std::string block = BlockOf(Sim().ScenarioText(), "Corvane-1");
    EXPECT_NE(block.find("  GEAR 0.200 1.000\n"), std::string::npos) << block;
    EXPECT_NE(block.find("  HWIN 0.000 1.000 1\n"), std::string::npos) << block;
    EXPECT_NE(block.find("  CANP 0.000 0.000\n"), std::string::npos) << block;
    EXPECT_NE(block.find("  CANC 1.000 1.000\n"), std::string::npos) << block;
}

// A second of gear travel at a pilot's 60 frames a second: small steps that do not sum to 0.2 exactly. Saving
// changes nothing in the vessel: a second save is the first.
TEST_F(ScenarioState, GearSavedWhileItMovesWritesThreeDecimalsAndSavingChangesNothing) {
    LoadBlock(CREW_LINES);
    Sim().PressKey(OAPI_KEY_G);
    Sim().RunFrames(60);
    const double gear = Ship()->gearPos;
    ASSERT_GT(gear, 0.19);
    ASSERT_LT(gear, 0.21);
    const std::string first = Sim().ScenarioText();
    EXPECT_NE(BlockOf(first, "Corvane-1").find("  GEAR 0.200 1.000\n"), std::string::npos) << first;
    EXPECT_EQ(Sim().ScenarioText(), first);
    EXPECT_EQ(Ship()->gearPos, gear);
    EXPECT_EQ(Ship()->crew.crewCount, 2);
}

// The Corvane's class file rewritten in the test's own host root.
class ClassFileAmmo : public CoreWorld {
  protected:
    void UseClassFile(const std::string& cfg) { root.Write("Config/Vessels/Corvane.cfg", cfg); }
};

// What the class file's AMMO line gives, and what a scenario line makes of it; a name the scenario line could
// not carry back (too long, a path, a blank: "AMMO Heavy Slug" would read back as "Heavy") is refused.
TEST_F(ClassFileAmmo, ClassFileNamesTheProjectileClassUnlessRefusedAndTheScenarioOverridesIt) {
    struct Case {
        std::string ammoLine, scenarioLines;
        const char* expected;
    };
    const Case cases[] = {{"AMMO = Target\n", CREW_LINES, "Target"},
                          {"AMMO = Target\n", "  AMMO Pellorin\n", "Pellorin"},
                          {"", CREW_LINES, "Pellorin"},
                          {"AMMO = " + std::string(300, 'Z') + "\n", CREW_LINES, "Pellorin"},
                          {"AMMO = ..\\..\\..\\evil\\evil\n", CREW_LINES, "Pellorin"},
                          {"AMMO = Heavy Slug\n", CREW_LINES, "Pellorin"}};
    for (const Case& k : cases) {
        Restart();
        UseClassFile("ClassName = Corvane\nModule = Corvane\n" + k.ammoLine);
        LoadBlock(k.scenarioLines);
        EXPECT_STREQ(Ship()->ammoClassName, k.expected) << k.ammoLine;
    }
}
