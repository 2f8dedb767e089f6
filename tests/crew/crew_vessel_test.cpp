// The Corvane's crew events flown in the stand-in host: canopies and the airlock, EVA messages, the crash
// rule, the add-crew dialog, arrivals, transfers between docked ships and the crew through a saved scenario.
#include "core/corvane.h"
#include "expect_vector.h"
#include "crew_world.h"

#include <algorithm>
#include <string>
#include <vector>

using crewtest::CrewWorld;
using crewtest::World;
namespace fs = std::filesystem;

namespace {

constexpr double EARTH_RADIUS = 6371010.0; // m, as the host root's body table has it
constexpr const char* CAPTAIN_LINE = "UMMUCREW Capt-Ilse_Marrow-35-65-74";
constexpr const char* SCIENTIST_LINE = "UMMUCREW Sci-Teodor_Vanke-41-65-74";

constexpr const char* NO_CREW = "NOCREW";

// A Corvane block in free flight high above the pole; extra holds further lines (crew, canopies, docking).
// Any line of a block replaces the crew of the class set-up, so the block names its crew: the default two
// unless extra has crew lines of its own, or NO_CREW for an empty ship.
std::string ShipInSpace(const std::string& name, std::vector<std::string> extra, double x = 0.0) {
    const bool ownCrew = std::any_of(extra.begin(), extra.end(), [](const std::string& l) {
        return l == NO_CREW || l.rfind("UMMUCREW", 0) == 0;
    });
    extra.erase(std::remove(extra.begin(), extra.end(), NO_CREW), extra.end());
    if (!ownCrew) extra.insert(extra.end(), {CAPTAIN_LINE, SCIENTIST_LINE});
    return crewtest::ShipBlock(name, extra, x);
}

class CrewVesselTest : public CrewWorld {
  protected:
    static OBJHANDLE Named(const char* name) { return oapiGetObjectByName(const_cast<char*>(name)); }
    static Corvane* Ship(OBJHANDLE h) { return static_cast<Corvane*>(Rec(h)->iface); }
    static Corvane* Ship(const char* name) { return Ship(Named(name)); }
    static std::string Message(const char* name) { return Ship(name)->hudMessage; }
    static hs::Attachment* Airlock(const char* name) { return Point(Named(name), "UMmu", false); }

    static void Press(DWORD key, std::initializer_list<DWORD> mods = {}) {
        sim().PressKey(key, mods);
        sim().Frame();
    }

    // Runs the add-crew dialog to its end with the three answers.
    void AddCrew(const char* name, const char* age, const char* function) {
        Press(OAPI_KEY_M);
        AnswerAddCrew(name, age, function);
    }

    // Ship A alone with canopy P fully open, which opens the airlock for seat 0, and its captain stepped out
    // on EVA: her crew vessel.
    OBJHANDLE CaptainOnEva() {
        Fly(World("A", ShipInSpace("A", {"CANP 1.000 1.000"})));
        sim().Frame();
        EXPECT_EQ(Ship("A")->evaSeat, 0);
        EXPECT_TRUE(Airlock("A") && Airlock("A")->rot.x == 1.0);
        Press(OAPI_KEY_E);
        return Named("UMmu_Capt-Ilse_Marrow");
    }

    // A Corvane falling onto the pole at vy m/s, touching down within the first frames.
    OBJHANDLE FallingShip(double vy, bool dampeners) {
        Start();
        VESSELSTATUS2 st;
        memset(&st, 0, sizeof st);
        st.version = 2;
        st.rbody = oapiGetObjectByName((char*)"Earth");
        st.rpos = _V(0, EARTH_RADIUS + 2.65, 0); // the wheels are 2.6 m below the centre
        st.rvel = _V(0, vy, 0);
        std::string err;
        OBJHANDLE h = sim().CreateVessel("Lander", "Corvane", &st, &err);
        EXPECT_NE(h, nullptr) << err;
        Ship(h)->inertialDampeners = dampeners;
        return h;
    }
};

// ---------------------------------------------------------------------------
// Canopies, seats and the airlock
// ---------------------------------------------------------------------------

TEST_F(CrewVesselTest, CanopyAtNinetyNinePercentKeepsTheAirlockClosedUntilKeyKOpensItForTheCaptain) {
    Fly(World("A", ShipInSpace("A", {"CANP 0.990 0.990"})));
    sim().RunFrames(3);
    EXPECT_EQ(Ship("A")->evaSeat, -1);
    EXPECT_EQ(Airlock("A")->rot.x, 0.0);
    std::string before = Message("A");
    Press(OAPI_KEY_E);
    EXPECT_EQ(Message("A"), before); // no canopy open: key E says nothing
    EXPECT_EQ(Ship("A")->crew.crewCount, 2);
    // Key K opens it fully, and the captain can leave.
    Press(OAPI_KEY_K);
    ASSERT_TRUE(RunUntil([] { return Ship("A")->evaSeat == 0; }, 12.0));
    Press(OAPI_KEY_E);
    EXPECT_EQ(Message("A"), "EVA OK - Ilse Marrow left the ship");
    EXPECT_GT(Ship("A")->hudMessageTimer, 14.0); // 15 s, counted down by the HUD since
    EXPECT_NE(Named("UMmu_Capt-Ilse_Marrow"), nullptr);
    EXPECT_EQ(Ship("A")->crew.crewCount, 1);
}

TEST_F(CrewVesselTest, EvaVesselTakesTheFirstFreeNumberedName) {
    // Two hulls already carry the captain's EVA name and its first numbered form.
    std::string hulls = ShipInSpace("UMmu_Capt-Ilse_Marrow", {}) + ShipInSpace("UMmu_Capt-Ilse_Marrow1", {});
    for (size_t at = hulls.find(":Corvane"); at != std::string::npos; at = hulls.find(":Corvane"))
        hulls.replace(at, 8, ":Target");
    Fly(World("A", ShipInSpace("A", {"CANP 1.000 1.000"}) + hulls));
    sim().Frame();
    Press(OAPI_KEY_E);
    EXPECT_EQ(Message("A"), "EVA OK - Ilse Marrow left the ship");
    EXPECT_NE(Named("UMmu_Capt-Ilse_Marrow2"), nullptr);
}

TEST_F(CrewVesselTest, BothCanopiesOpenLetSeatZeroOutOnlyCanopyCFindsNobodyInSeatOneNorAnEmptyShipAnyone) {
    Fly(World("A", ShipInSpace("A", {"CANP 1.000 1.000", "CANC 1.000 1.000"})));
    sim().Frame();
    Press(OAPI_KEY_E, {OAPI_KEY_LCONTROL});
    EXPECT_EQ(Message("A"), "EVA OK - Ilse Marrow left the ship");
    Fly(World("A", ShipInSpace("A", {CAPTAIN_LINE, "CANC 1.000 1.000"})));
    sim().Frame();
    EXPECT_EQ(Ship("A")->evaSeat, 1);
    Press(OAPI_KEY_E);
    EXPECT_EQ(Message("A"), "Error, no crew member in that seat");
    EXPECT_EQ(Ship("A")->crew.crewCount, 1);
    Fly(World("A", ShipInSpace("A", {NO_CREW, "CANP 1.000 1.000"})));
    sim().Frame();
    ASSERT_EQ(Ship("A")->crew.crewCount, 0);
    Press(OAPI_KEY_E);
    EXPECT_EQ(Message("A"), "Error, no one on board, unable to EVA");
}

// ---------------------------------------------------------------------------
// Arrivals
// ---------------------------------------------------------------------------

TEST_F(CrewVesselTest, CaptainWalkingBackIntoTheBoxIsAnnounced) {
    OBJHANDLE eva = CaptainOnEva();
    ASSERT_NE(eva, nullptr);
    WalkBackTo(eva, Named("A"), _V(0, 0, 2.5));
    ASSERT_TRUE(RunUntil([] { return Ship("A")->crew.crewCount == 2; }, 2.0));
    EXPECT_EQ(Message("A"), "Capt \"Ilse Marrow\" aged 35 entered into our ship");
    sim().Frame();
    EXPECT_EQ(Named("UMmu_Capt-Ilse_Marrow"), nullptr);
}

TEST_F(CrewVesselTest, MemberInTheBoxWhileNoCanopyIsOpenStaysOutside) {
    OBJHANDLE eva = CaptainOnEva();
    ASSERT_NE(eva, nullptr);
    Press(OAPI_KEY_K); // the canopy starts to close
    ASSERT_TRUE(RunUntil([] { return Ship("A")->evaSeat == -1; }, 1.0));
    WalkBackTo(eva, Named("A"), _V(0, 0, 2.5));
    sim().RunFrames(40);
    EXPECT_EQ(Ship("A")->crew.crewCount, 1);
    EXPECT_NE(Named("UMmu_Capt-Ilse_Marrow"), nullptr);
}

// ---------------------------------------------------------------------------
// Crash rule
// ---------------------------------------------------------------------------

bool AllDead(Corvane* s) {
    for (int i = 0; i < s->crew.crewCount; ++i)
        if (s->crew.roster[i].pulse != 0) return false;
    return s->crew.crewCount > 0;
}

TEST_F(CrewVesselTest, TouchdownAtFiveMetresPerSecondKillsTheCrewWithoutDampeners) {
    OBJHANDLE h = FallingShip(-5.0, false);
    ASSERT_TRUE(RunUntil([h] { return Rec(h)->phys.groundContact; }, 1.0));
    sim().Frame();
    EXPECT_TRUE(AllDead(Ship(h)));
    EXPECT_EQ(std::string(Ship(h)->hudMessage), "Oooh no ! Crash - All crew aboard killed");
    EXPECT_EQ(Ship(h)->crew.crewCount, 2); // dead, but still aboard
}

TEST_F(CrewVesselTest, TouchdownAtFiveMetresPerSecondWithDampenersIsSurvived) {
    OBJHANDLE h = FallingShip(-5.0, true);
    ASSERT_TRUE(RunUntil([h] { return Rec(h)->phys.groundContact; }, 1.0));
    sim().RunFrames(5);
    EXPECT_EQ(Ship(h)->crew.roster[0].pulse, 65);
    EXPECT_EQ(Ship(h)->crew.roster[1].pulse, 65);
}

TEST_F(CrewVesselTest, TouchdownAtTwelveMetresPerSecondKillsEvenWithDampeners) {
    OBJHANDLE h = FallingShip(-12.0, true);
    ASSERT_TRUE(RunUntil([h] { return Rec(h)->phys.groundContact; }, 1.0));
    sim().Frame();
    EXPECT_TRUE(AllDead(Ship(h)));
}

TEST_F(CrewVesselTest, DeadCrewIsSavedWithPulseZeroAndDoesNotComeBackOnReload) {
    OBJHANDLE h = FallingShip(-8.0, false);
    ASSERT_TRUE(RunUntil([h] { return AllDead(Ship(h)); }, 2.0));
    std::string text = sim().ScenarioText();
    EXPECT_NE(text.find("UMMUCREW Capt-Ilse_Marrow-35-0-74"), std::string::npos) << text;
    EXPECT_NE(text.find("UMMUCREW Sci-Teodor_Vanke-41-0-74"), std::string::npos);
    ReloadFrom(RootDir() / "Scenarios" / "Crew" / "Crashed.scn");
    // The refused lines replaced the class crew and went on to the host, which knows them no more than the ship.
    EXPECT_EQ(Ship("Lander")->crew.crewCount, 0);
    EXPECT_EQ(Rec(Named("Lander"))->ignoredLines.size(), 2u);
    EXPECT_EQ(sim().ScenarioText().find("UMMUCREW"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Crew through the scenario
// ---------------------------------------------------------------------------

TEST_F(CrewVesselTest, DefaultCrewSurvivesSaveAndLoadInTheSameSeats) {
    Start();
    std::string err;
    ASSERT_NE(sim().CreateVessel("A", "Corvane", nullptr, &err), nullptr) << err;
    std::string text = sim().ScenarioText();
    size_t captain = text.find(CAPTAIN_LINE);
    size_t scientist = text.find(SCIENTIST_LINE);
    ASSERT_NE(captain, std::string::npos) << text;
    ASSERT_NE(scientist, std::string::npos);
    EXPECT_LT(captain, scientist);
    fs::path saved = RootDir() / "Scenarios" / "Crew" / "Saved.scn";
    ReloadFrom(saved);
    Corvane* s = Ship("A");
    ASSERT_EQ(s->crew.crewCount, 2);
    EXPECT_STREQ(s->crew.roster[0].name, "Ilse Marrow");
    EXPECT_STREQ(s->crew.roster[0].functionCode, "Capt");
    EXPECT_STREQ(s->crew.roster[1].name, "Teodor Vanke");
    EXPECT_EQ(s->crew.roster[1].age, 41);
    std::string again = sim().ScenarioText();
    EXPECT_EQ(again.substr(again.find("BEGIN_SHIPS")), text.substr(text.find("BEGIN_SHIPS")));
}

// ---------------------------------------------------------------------------
// Add-crew dialog
// ---------------------------------------------------------------------------

TEST_F(CrewVesselTest, DialogAsksNameAgeFunctionAndAddsTheMember) {
    Fly(World("A", ShipInSpace("A", {CAPTAIN_LINE})));
    Press(OAPI_KEY_M);
    sim().Frame();
    ASSERT_TRUE(sim().InputBoxOpen());
    EXPECT_EQ(sim().InputBoxTitle(), "Enter new crew's name (or escape)");
    sim().AnswerInputBox("Nia Falk");
    sim().Frame();
    EXPECT_EQ(sim().InputBoxTitle(), "Enter crew's age");
    sim().AnswerInputBox("7"); // one character: refused, the box stays
    EXPECT_TRUE(sim().InputBoxOpen());
    EXPECT_EQ(Ship("A")->addCrewDialog.addCrewStage, 4);
    sim().AnswerInputBox("02");
    sim().Frame();
    EXPECT_EQ(sim().InputBoxTitle(), "Enter function (Capt,Sec,Vip,Sci,Doc,Tech,Crew,Pax)");
    sim().AnswerInputBox("Captain");
    sim().Frame();
    EXPECT_EQ(Message("A"), "Crew \"Nia Falk\" aged 5 added to vessel");
    Corvane* s = Ship("A");
    ASSERT_EQ(s->crew.crewCount, 2);
    EXPECT_STREQ(s->crew.roster[1].name, "Nia Falk");
    EXPECT_STREQ(s->crew.roster[1].functionCode, "Capt");
    EXPECT_EQ(s->crew.roster[1].age, 5);
    EXPECT_EQ(s->crew.roster[1].pulse, 70);
    EXPECT_EQ(s->crew.roster[1].weight, 70.0);
    EXPECT_EQ(s->addCrewDialog.addCrewStage, 0);
}

TEST_F(CrewVesselTest, DialogOnAFullShipReportsTheRefusalAndWithRoomAnAgeAboveHundredIsHundredTextFive) {
    Fly(World("A", ShipInSpace("A", {})));
    AddCrew("Nia Falk", "30", "Doc");
    EXPECT_EQ(Message("A"), "ERROR: Crew not added (vessel full?)");
    EXPECT_EQ(Ship("A")->crew.crewCount, 2);
    Ship("A")->crew.seatCount = 4; // room for the two new members beside the default crew
    AddCrew("Old Hand", "250", "Tech");
    EXPECT_EQ(Message("A"), "Crew \"Old Hand\" aged 100 added to vessel");
    AddCrew("Kid Nobody", "young", "Pax");
    EXPECT_EQ(Message("A"), "Crew \"Kid Nobody\" aged 5 added to vessel");
}

// A long typed name is shown as typed but stored cut.
TEST_F(CrewVesselTest, EscapedBoxStopsTheDialogUntilKeyMAgainAndALongNameIsStoredCut) {
    Fly(World("A", ShipInSpace("A", {CAPTAIN_LINE})));
    Press(OAPI_KEY_M);
    sim().Frame();
    sim().EscapeInputBox();
    sim().RunFrames(5);
    EXPECT_FALSE(sim().InputBoxOpen());
    EXPECT_EQ(Ship("A")->addCrewDialog.addCrewStage, 2);
    AddCrew("Abcdefghij Klmnopqrst Uvwxyz Extra", "30", "Sci");
    EXPECT_EQ(Message("A"), "Crew \"Abcdefghij Klmnopqrst Uvwxyz Extra\" aged 30 added to vessel");
    EXPECT_EQ(Ship("A")->crew.crewCount, 2);
    EXPECT_STREQ(Ship("A")->crew.roster[1].name, "Abcdefghij Klmnopqrst Uvw");
}

// ---------------------------------------------------------------------------
// Transfers between docked ships
// ---------------------------------------------------------------------------

std::string DockedPair(const std::vector<std::string>& bLines) {
    std::vector<std::string> b = bLines;
    b.push_back("DOCKINFO 0:0,A");
    return World("A", ShipInSpace("A", {"CANP 1.000 1.000"}) + ShipInSpace("B", b, 0.0));
}

TEST_F(CrewVesselTest, CaptainTransfersToTheDockedShipWithAFreeSeat) {
    Fly(DockedPair({"UMMUCREW Eng-Rhea_Sol-44-72-66", "CANP 1.000 1.000"})); // B: one member, one free seat
    sim().Frame();
    ASSERT_NE(Rec(Named("A"))->docks.size(), 0u);
    Corvane* b = Ship("B");
    int before = b->crew.crewCount;
    ASSERT_EQ(before, 1);
    Press(OAPI_KEY_E);
    EXPECT_EQ(Message("A"), "Transfer to docked ship Ok - Ilse Marrow transfered");
    EXPECT_EQ(Ship("A")->crew.crewCount, 1);
    ASSERT_TRUE(RunUntil([b, before] { return b->crew.crewCount == before + 1; }, 2.0));
    EXPECT_EQ(Message("B"), "Capt \"Ilse Marrow\" aged 35 was transfered to our ship");
    EXPECT_EQ(oapiGetFocusObject(), Named("A"));
    sim().Frame();
    EXPECT_EQ(Named("UMmuTB"), nullptr);
}

TEST_F(CrewVesselTest, OldRacingMemberTransfersWithSafeAgeAndPulse) {
    std::string a = ShipInSpace("A", {"CANP 1.000 1.000", "UMMUCREW Crew-Old_Timer-130-150-70"});
    std::string b =
        ShipInSpace("B", {"UMMUCREW Eng-Rhea_Sol-44-72-66", "CANP 1.000 1.000", "DOCKINFO 0:0,A"});
    // Short frames: the receiving ship looks into its airlock only every 0.25 s, so the transfer vessel and
    // its record are still there when the frame that made them ends.
    Fly(World("A", a + b), 0.001);
    sim().RunFrames(1100); // past the first look, which comes at a random moment of the first second
    sim().PressKey(OAPI_KEY_E);
    sim().Frame();
    ASSERT_EQ(Message("A"), "Transfer to docked ship Ok - Old Timer transfered");
    OBJHANDLE t = Named("UMmuTB");
    ASSERT_NE(t, nullptr);
    ASSERT_FALSE(Rec(t)->attachments.empty());
    hs::Attachment* point = Rec(t)->attachments.back().get();
    EXPECT_STREQ(point->id, "U-Mm");
    testvec::ExpectVec(point->pos, 41, 60, 70, "", 0.0);
    std::string bytes = ReadFile(RootDir() / "Config" / "UMmutmpT.cfg");
    ASSERT_EQ(bytes.size(), 104u);
    EXPECT_EQ(bytes.substr(0, 20), std::string("UMmu_Crew-Old Timer") + '\0');
    EXPECT_EQ(bytes[80], 41);
    EXPECT_EQ(bytes[84], 60);
    ASSERT_TRUE(RunUntil([] { return Ship("B")->crew.crewCount == 2; }, 2.0));
    EXPECT_STREQ(Ship("B")->crew.roster[1].name, "Old Timer");
    EXPECT_EQ(Ship("B")->crew.roster[1].age, 41);
    EXPECT_EQ(Ship("B")->crew.roster[1].pulse, 60);
    EXPECT_STREQ(Ship("B")->crew.roster[1].functionCode, "Crew");
}

TEST_F(CrewVesselTest, TransferWhoseRecordCannotBeWrittenKeepsTheMemberAboard) {
    Fly(DockedPair({"UMMUCREW Eng-Rhea_Sol-44-72-66", "CANP 1.000 1.000"}));
    fs::create_directories(RootDir() / "Config" / "UMmutmpT.cfg"); // a folder where the record goes
    sim().Frame();
    Press(OAPI_KEY_E);
    EXPECT_EQ(Message("A"), "Misc error with UMMU install it again");
    EXPECT_EQ(Ship("A")->crew.crewCount, 2);
    EXPECT_EQ(Named("UMmuTB"), nullptr);
}

TEST_F(CrewVesselTest, MemberAddedWithAFunctionOfPunctuationLeavesAndTheSaveLoadsAgain) {
    Fly(World("A", ShipInSpace("A", {"CANP 1.000 1.000", NO_CREW})));
    Press(OAPI_KEY_M);
    for (const char* answer : {"Nia Falk", "30", "x;y:"}) {
        sim().Frame();
        sim().AnswerInputBox(answer);
    }
    sim().Frame();
    ASSERT_EQ(Ship("A")->crew.crewCount, 1);
    Press(OAPI_KEY_E);
    EXPECT_NE(Named("UMmu_x_y_-Nia_Falk"), nullptr);
    ReloadFrom(RootDir() / "Scenarios" / "Crew" / "Saved.scn");
    EXPECT_NE(Named("UMmu_x_y_-Nia_Falk"), nullptr);
}

TEST_F(CrewVesselTest, DockedShipWithClosedAirlockRefusesTheTransfer) {
    Fly(DockedPair({"UMMUCREW Eng-Rhea_Sol-44-72-66"}));
    sim().Frame();
    Press(OAPI_KEY_E);
    EXPECT_EQ(Message("A"), "Error, docked ship's airlock is closed, unable to transfer");
    EXPECT_EQ(Ship("A")->crew.crewCount, 2);
}

TEST_F(CrewVesselTest, FullDockedShipRefusesBeforeAnythingIsCreated) {
    Fly(DockedPair({"CANP 1.000 1.000"})); // B keeps its default crew of two in two seats
    sim().Frame();
    size_t vessels = sim().Vessels().size();
    Press(OAPI_KEY_E);
    EXPECT_EQ(Message("A"), "Error, docked ship is already full transfer failed");
    EXPECT_EQ(sim().Vessels().size(), vessels);
    EXPECT_EQ(Ship("A")->crew.crewCount, 2);
}

} // namespace
