// The crew manager flown in the stand-in host: roster and empty mass, crew lines, start-up and the published
// airlock, the add-on notice, EVA, return through the airlock box and transfer records, with the UMmu
// stand-in.
#include "crew/crew_manager.h"
#include "expect_vector.h"
#include "crew_world.h"

#include <memory>

using crewtest::CrewWorld;
namespace fs = std::filesystem;

namespace {

constexpr const char* HULL_CLASS = "Target"; // an inert hull: the manager under test is the only crew code

// The Corvane's own crew configuration, applied to a manager of the test.
void ConfigureLikeCorvane(CrewManager& m) {
    m.DefineAirlock(0, -1.5f, 1.5f, -2.5f, 3.0f, 1.0f, 4.0f);
    m.SetEvaPlacement(0, 0.5, 3.5, 0, 0, 1.0);
    m.SetSeatCount(2);
    m.AddMember("Ilse Marrow", 35, 65, 74, "Capt");
    m.AddMember("Teodor Vanke", 41, 65, 74, "Sci");
}

std::string Record(const std::string& name, const std::string& mesh, int age, int pulse, int reserve,
                   int weight) {
    CrewTransferRecord rec{};
    snprintf(rec.vesselName, sizeof rec.vesselName, "%s", name.c_str());
    snprintf(rec.meshName, sizeof rec.meshName, "%s", mesh.c_str());
    rec.age = age;
    rec.pulse = pulse;
    rec.reserve = reserve;
    rec.weight = weight;
    unsigned char bytes[CREW_RECORD_SIZE];
    PackCrewTransferRecord(rec, bytes);
    return std::string(reinterpret_cast<char*>(bytes), sizeof bytes);
}

class CrewManagerTest : public CrewWorld {
  protected:
    // A hull with a ready manager of its own: initialised, airlock defined, no crew yet.
    // A started world whose hull, set up as a Corvane's, has let its captain out through the open airlock.
    // Her crew vessel is `captain`.
    CrewManager& CaptainOut() {
        CrewManager& m = StartWithHull();
        ConfigureLikeCorvane(m);
        m.SetAirlockOpen(1);
        EXPECT_EQ(m.EvaMember("Ilse Marrow"), 1);
        EXPECT_EQ(m.GetCrewCount(), 1);
        captain = oapiGetObjectByName((char*)"UMmu_Capt-Ilse_Marrow");
        EXPECT_NE(captain, nullptr);
        return m;
    }

    // A started world holding a ready hull.
    CrewManager& StartWithHull() {
        Start();
        return ReadyHull();
    }

    CrewManager& ReadyHull(const char* name = "Hull", VECTOR3 offset = _V(0, 0, 0)) {
        hull = CreateFlying(name, HULL_CLASS, offset);
        crew.reset(new CrewManager());
        EXPECT_EQ(crew->Initialise(hull), 1);
        EXPECT_EQ(crew->DefineAirlock(0, -1.5f, 1.5f, -2.5f, 3.0f, 1.0f, 4.0f), 1);
        return *crew;
    }

    // Runs frames, polling the airlock each frame as the vessel does, until something arrives or time is up.
    int PollFor(double seconds, const std::function<void()>& eachFrame = {}) {
        int frames = static_cast<int>(seconds / sim().Step()) + 1;
        for (int i = 0; i < frames; ++i) {
            sim().Frame();
            if (eachFrame) eachFrame();
            int r = crew->PollAirlock();
            if (r != 0) return r;
        }
        return 0;
    }

    hs::Attachment* Airlock() { return Point(hull, "UMmu", false); }

    // The transfer record the last member to leave wrote for the add-on.
    CrewTransferRecord LeftRecord() {
        std::string bytes = ReadFile(RootDir() / "Config" / "UMmutmp.cfg");
        EXPECT_EQ(bytes.size(), CREW_RECORD_SIZE);
        bytes.resize(CREW_RECORD_SIZE);
        CrewTransferRecord rec;
        UnpackCrewTransferRecord(reinterpret_cast<const unsigned char*>(bytes.data()), rec);
        return rec;
    }

    // A transfer vessel in the hull's box as a sending ship makes it: class UMmu, with the member's point.
    OBJHANDLE TransferVessel(const char* name) {
        OBJHANDLE t = CreateFlying(name, "UMmu", _V(0, 0, 2.5));
        oapiGetVesselInterface(t)->CreateAttachment(true, _V(44, 72, 66), _V(0, 0, 0), _V(0, 0, 0), "U-Mm",
                                                    false);
        return t;
    }

    OBJHANDLE hull = nullptr, captain = nullptr;
    std::unique_ptr<CrewManager> crew;
};

// ---------------------------------------------------------------------------
// Roster
// ---------------------------------------------------------------------------

// Adding to a full roster changes nothing, not even the empty mass.
TEST_F(CrewManagerTest, MembersAddAndRemoveTheirWeightOnTheHostUntilTheRosterIsFull) {
    CrewManager& m = StartWithHull();
    ASSERT_EQ(m.SetSeatCount(2), 1);
    const double empty = oapiGetEmptyMass(hull);
    ASSERT_EQ(m.AddMember("Ann", 30, 70, 70, ""), 1);
    EXPECT_DOUBLE_EQ(oapiGetEmptyMass(hull), empty + 70);
    EXPECT_EQ(m.RemoveMember("ANN"), 1);
    EXPECT_DOUBLE_EQ(oapiGetEmptyMass(hull), empty);
    ASSERT_EQ(m.AddMember("Ann", 30, 70, 70, ""), 1);
    ASSERT_EQ(m.AddMember("Bob", 30, 70, 80, ""), 1);
    EXPECT_EQ(m.AddMember("Cid", 30, 70, 90, ""), 0);
    EXPECT_EQ(m.GetCrewCount(), 2);
    EXPECT_DOUBLE_EQ(oapiGetEmptyMass(hull), empty + 150);
    EXPECT_EQ(m.totalCrewMass, 150.0);
}

TEST_F(CrewManagerTest, RosterHoldsOnlyWhatItsCrewLineCarriesBackNamesCutToTwentyFiveWithoutPunctuation) {
    CrewManager& m = StartWithHull();
    // No name: such a member would be saved but never loaded again.
    EXPECT_EQ(m.AddMember("", 30, 70, 70, "Doc"), 0);
    EXPECT_EQ(m.GetCrewCount(), 0);
    // The line's first '-' ends the code, and blanks are written as '_': the code is stored as it reads back.
    ASSERT_EQ(m.AddMember("Ann", 30, 70, 70, "A-Team"), 1);
    EXPECT_STREQ(m.GetMemberFunction("Ann"), "A");
    ASSERT_EQ(m.AddMember("Bob", 30, 70, 70, "Sci Tech"), 1);
    EXPECT_STREQ(m.GetMemberFunction("Bob"), "Sci_");
    char value[300];
    FormatCrewLine(m.roster[0], value, sizeof value);
    CrewMember back;
    ASSERT_EQ(ParseCrewLine((std::string("UMMUCREW ") + value).c_str(), back), 1);
    EXPECT_STREQ(back.functionCode, "A");
    EXPECT_STREQ(back.name, "Ann");
    FormatCrewLine(m.roster[1], value, sizeof value);
    ASSERT_EQ(ParseCrewLine((std::string("UMMUCREW ") + value).c_str(), back), 1);
    EXPECT_STREQ(back.functionCode, "Sci_");
    // A long name is cut to twenty-five characters, and punctuation becomes spaces.
    ASSERT_EQ(m.AddMember("Abcdefghijklmnopqrstuvwxyz1234", 30, 70, 70, "Crew"), 1);
    EXPECT_STREQ(m.GetMemberName(2), "Abcdefghijklmnopqrstuvwxy");
    ASSERT_EQ(m.AddMember("Jo-Ann O'Hara", 30, 70, 70, "Crew"), 1);
    EXPECT_STREQ(m.GetMemberName(3), "Jo Ann O Hara");
}

TEST_F(CrewManagerTest, RemovingSeatZeroOfThreeMovesSeatTwoIntoIt) {
    CrewManager& m = StartWithHull();
    m.AddMember("Ann", 30, 70, 70, "Doc");
    m.AddMember("Bob", 31, 71, 71, "Eng");
    m.AddMember("Cid", 32, 72, 72, "Sci");
    ASSERT_EQ(m.RemoveMember("ann"), 1);
    EXPECT_STREQ(m.GetMemberName(0), "Cid");
    EXPECT_STREQ(m.GetMemberFunction("Cid"), "Sci");
    EXPECT_EQ(m.GetMemberAge("Cid"), 32);
    EXPECT_STREQ(m.GetMemberName(1), "Bob");
    EXPECT_STREQ(m.GetMemberName(2), "");
    EXPECT_STREQ(m.GetMemberName(-1), "");
    EXPECT_EQ(m.GetMemberAge("Ann"), -1);
    EXPECT_EQ(m.RemoveMember("Ann"), 0);
}

TEST_F(CrewManagerTest, PulseIsClampedToHundredThirtyAndZeroAndAddedValuesToTheirRanges) {
    CrewManager& m = StartWithHull();
    m.AddMember("Ann", 30, 70, 70, "");
    EXPECT_EQ(m.SetMemberPulse(0, 500), 1);
    EXPECT_EQ(m.roster[0].pulse, 130);
    EXPECT_EQ(m.SetMemberPulse(0, -5), 1);
    EXPECT_EQ(m.roster[0].pulse, 0);
    EXPECT_EQ(m.SetMemberPulse(1, 60), -1);
    // Added values are clamped too, and a null code is empty.
    ASSERT_EQ(m.AddMember("Bea", 0, 250, 2, nullptr), 1);
    EXPECT_EQ(m.roster[1].age, 1);
    EXPECT_EQ(m.roster[1].pulse, 180);
    EXPECT_EQ(m.roster[1].weight, 5.0);
    EXPECT_STREQ(m.roster[1].functionCode, "");
    ASSERT_EQ(m.AddMember("Bob", 200, 70, 400, "Captain"), 1);
    EXPECT_EQ(m.roster[2].age, 140);
    EXPECT_EQ(m.roster[2].weight, 300.0);
    EXPECT_STREQ(m.roster[2].functionCode, "Capt");
}

TEST_F(CrewManagerTest, NamesLongerThanThirtyNineCharactersNeverMatch) {
    CrewManager& m = StartWithHull();
    m.AddMember("Ann", 30, 70, 70, "");
    std::string longName = "Ann" + std::string(40, ' ');
    EXPECT_EQ(m.GetMemberAge(longName.c_str()), -1);
    EXPECT_EQ(m.RemoveMember(longName.c_str()), 0);
    EXPECT_EQ(m.EvaMember(longName.c_str()), -4);
    EXPECT_EQ(m.RemoveMember(nullptr), 0);
    EXPECT_STREQ(m.GetMemberFunction(nullptr), "");
}

TEST_F(CrewManagerTest, ManagerThatIsNotReadyRefusesEverything) {
    Start();
    CrewManager m{};
    EXPECT_EQ(m.AddMember("Ann", 30, 70, 70, ""), 0);
    EXPECT_EQ(m.GetCrewCount(), 0);
    EXPECT_STREQ(m.GetMemberName(0), "");
    EXPECT_EQ(m.SetMemberPulse(0, 60), -1);
    EXPECT_EQ(m.SetAirlockOpen(1), -1);
    EXPECT_EQ(m.EvaMember("Ann"), -6);
    EXPECT_EQ(m.PollAirlock(), -1);
    EXPECT_EQ(m.LoadCrewLine("UMMUCREW Capt-Ann-30-60-60"), 0);
    EXPECT_EQ(m.SetSeatCount(4), 0);
    // Without Initialise the manager has no slot: it must not take over another vessel's.
    EXPECT_EQ(m.DefineAirlock(1, -1, 1, -1, 1, -1, 1), 0);
}

// ---------------------------------------------------------------------------
// Function-code table from the ID files
// ---------------------------------------------------------------------------

void WriteIdFiles(const fs::path& root, int count) {
    fs::path dir = root / "Config" / "UMMUIdConfig";
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (int i = 0; i < count; ++i) {
        char name[64];
        snprintf(name, sizeof name, "mesh%02d-trade%02d-C%02d.cfg", i, i, i);
        std::ofstream(dir / name) << "id file\n";
    }
}

TEST_F(CrewManagerTest, ThirteenIdFilesGiveThirtyRowsWithTheBuiltInOnes) {
    Start([](const fs::path& r) { WriteIdFiles(r, 13); });
    ReadyHull();
    EXPECT_EQ(idConfigTable.rowCount, 30);
    EXPECT_STREQ(idConfigTable.rows[14].code, "Capt");
    EXPECT_STREQ(CrewManager::SelectEvaMesh("c05"), "ummu/mesh05");
}

TEST_F(CrewManagerTest, FourteenIdFilesGiveFifteenRowsAndNoBuiltInRow) {
    Start([](const fs::path& r) { WriteIdFiles(r, 14); });
    ReadyHull();
    EXPECT_EQ(idConfigTable.rowCount, 15);
    EXPECT_STREQ(CrewManager::SelectEvaMesh("Capt"), "ummu/ummu");
}

TEST_F(CrewManagerTest, OneCharacterCodeFileIsSkippedAndLaterFilesAreRead) {
    Start([](const fs::path& r) {
        WriteIdFiles(r, 0);
        fs::path dir = r / "Config" / "UMMUIdConfig";
        std::ofstream(dir / "aaa-pilot-X.cfg") << "\n";
        std::ofstream(dir / "bbb-pilot-Pil.cfg") << "\n";
    });
    ReadyHull();
    EXPECT_EQ(idConfigTable.rowCount, 1 + 1 + 16);
    EXPECT_STREQ(idConfigTable.rows[1].code, "Pil");
    EXPECT_STREQ(idConfigTable.rows[1].meshName, "ummu/bbb");
}

TEST_F(CrewManagerTest, MissingIdFolderGivesThePassengerAndBuiltInRows) {
    Start([](const fs::path& r) { fs::remove_all(r / "Config" / "UMMUIdConfig"); });
    ReadyHull();
    EXPECT_EQ(idConfigTable.rowCount, 17);
}

// ---------------------------------------------------------------------------
// Crew lines
// ---------------------------------------------------------------------------

TEST_F(CrewManagerTest, FirstLineReplacesTheCrewAndTheEmptyMassFollows) {
    CrewManager& m = StartWithHull();
    ConfigureLikeCorvane(m);
    double before = oapiGetEmptyMass(hull);
    EXPECT_EQ(m.LoadCrewLine("UMMUCREW Doc-Ann_Lee-30-60-80"), 1);
    EXPECT_EQ(m.GetCrewCount(), 1);
    EXPECT_STREQ(m.GetMemberName(0), "Ann Lee");
    EXPECT_DOUBLE_EQ(oapiGetEmptyMass(hull), before - 148 + 80);
    EXPECT_EQ(m.loadedLines, 1);
    // The free seats are published as the rotation's z.
    EXPECT_EQ(Airlock()->rot.z, 1.0);
}

TEST_F(CrewManagerTest, BlockOfOtherKeysLeavesNobodyAboardAndLinesBeyondTheSeatCountAreRefused) {
    CrewManager& m = StartWithHull();
    ConfigureLikeCorvane(m);
    EXPECT_EQ(m.LoadCrewLine("GEAR 1 1.0000"), 0);
    EXPECT_EQ(m.LoadCrewLine("CANP 0.000 0.000"), 0);
    EXPECT_EQ(m.GetCrewCount(), 0);
    EXPECT_EQ(m.totalCrewMass, 0.0);
    EXPECT_EQ(m.LoadCrewLine("UMMUCREW Capt-Ann-30-60-60"), 1);
    EXPECT_EQ(m.LoadCrewLine("UMMUCREW Capt-Bob-30-60-60"), 1);
    EXPECT_EQ(m.LoadCrewLine("UMMUCREW Capt-Cid-30-60-60"), 0);
    EXPECT_EQ(m.GetCrewCount(), 2);
}

// ---------------------------------------------------------------------------
// Start-up and the published airlock
// ---------------------------------------------------------------------------

TEST_F(CrewManagerTest, FreshAirlockPublishesEightSeatsAndTheResetMarkerTheCorvaneOnesAClosedFullAirlock) {
    CrewManager& m = StartWithHull();
    hs::Attachment* a = Airlock();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->rot.y, 1000.0);
    EXPECT_EQ(a->rot.z, 8.0);
    ConfigureLikeCorvane(m);
    testvec::ExpectVec(a->pos, -1.5, 1.5, -2.5, "", 0.0);
    testvec::ExpectVec(a->dir, 3.0, 1.0, 4.0, "", 0.0);
    testvec::ExpectVec(a->rot, 0.0, 0.0, 0.0, "", 0.0);
    EXPECT_EQ(m.SetAirlockOpen(1), 1);
    EXPECT_EQ(a->rot.x, 1.0);
    EXPECT_EQ(m.airlockOpen, 1);
}

TEST_F(CrewManagerTest, SeatCountsOutsideOneToHundredOrBelowTheCrewAreRefused) {
    CrewManager& m = StartWithHull();
    EXPECT_EQ(m.SetSeatCount(0), 0);
    EXPECT_EQ(m.SetSeatCount(101), 0);
    EXPECT_EQ(m.SetSeatCount(100), 1);
    m.AddMember("Ann", 30, 70, 70, "");
    m.AddMember("Bob", 30, 70, 70, "");
    EXPECT_EQ(m.SetSeatCount(1), 0);
    EXPECT_EQ(m.seatCount, 100);
    EXPECT_EQ(Airlock()->rot.z, 98.0);
}

TEST_F(CrewManagerTest, EqualBoxBoundsAreAcceptedReversedOnesAndOtherStatesNot) {
    CrewManager& m = StartWithHull();
    EXPECT_EQ(m.DefineAirlock(1, 1.0f, 1.0f, 0, 0, 2, 2), 1);
    EXPECT_EQ(m.DefineAirlock(1, 1.0f, 0.5f, 0, 1, 0, 1), 0);
    EXPECT_EQ(m.DefineAirlock(2, 0, 1, 0, 1, 0, 1), 0);
    EXPECT_EQ(Airlock()->pos.x, 1.0);
    // One point per vessel, rewritten rather than added.
    int points = 0;
    for (auto& a : Rec(hull)->attachments)
        if (strcmp(a->id, "UMmu") == 0) ++points;
    EXPECT_EQ(points, 1);
}

TEST_F(CrewManagerTest, HundredAndFirstVesselSharesSlotNinetyNine) {
    Start();
    std::vector<std::unique_ptr<CrewManager>> managers;
    for (int i = 0; i < 101; ++i) {
        char name[32];
        snprintf(name, sizeof name, "Hull%d", i);
        OBJHANDLE h = CreateFlying(name, HULL_CLASS, _V(i * 50.0, 0, 0));
        managers.emplace_back(new CrewManager());
        ASSERT_EQ(managers.back()->Initialise(h), 1);
    }
    EXPECT_EQ(managers[0]->slotIndex, 0);
    EXPECT_EQ(managers[98]->slotIndex, 98);
    EXPECT_EQ(managers[99]->slotIndex, 99);
    EXPECT_EQ(managers[100]->slotIndex, 99);
    EXPECT_EQ(nextSlotIndex, 99);
}

TEST_F(CrewManagerTest, MissingAddOnKeepsTheRosterButRefusesEvaWithTheErrorLine) {
    Start([](const fs::path& r) { fs::remove(r / "Modules" / "UMmu.dll"); });
    OBJHANDLE h = CreateFlying("Hull", HULL_CLASS);
    CrewManager m{};
    EXPECT_EQ(CrewManager::IsAddonInstalled(), -999);
    // Initialise tells of the missing add-on, yet the manager takes its slot and can be made ready.
    EXPECT_EQ(m.Initialise(h), -999);
    EXPECT_EQ(nextSlotIndex, 1);
    EXPECT_FALSE(m.HasAddon());
    ASSERT_EQ(m.DefineAirlock(0, -1, 1, -1, 1, -1, 1), 1);
    EXPECT_TRUE(m.IsReady());
    ASSERT_EQ(m.SetSeatCount(2), 1);
    // The roster and its lines work as with the add-on.
    EXPECT_EQ(m.LoadCrewLine("UMMUCREW Capt-Ilse_Marrow-35-65-74"), 1);
    EXPECT_EQ(m.AddMember("Teodor Vanke", 41, 65, 74, "Sci"), 1);
    EXPECT_EQ(m.AddMember("Nia Falk", 30, 70, 70, "Doc"), 0); // two seats
    EXPECT_EQ(m.GetCrewCount(), 2);
    EXPECT_EQ(m.SetMemberPulse(0, 0), 1);
    // EVA needs the add-on's crew vessels: refused, and nobody leaves.
    m.SetAirlockOpen(1);
    EXPECT_EQ(m.EvaMember("Teodor Vanke"), -6);
    EXPECT_EQ(m.GetCrewCount(), 2);
    EXPECT_EQ(oapiGetObjectByName((char*)"UMmu_Sci-Teodor_Vanke"), nullptr);
    EXPECT_FALSE(fs::exists(RootDir() / "Config" / "UMmutmp.cfg"));
    m.ShowVersionWarning("Corvane");
    EXPECT_STREQ(oapiDebugString(), "Corvane ERROR UMMU 2.0 not properly initialised in your code.");
    EXPECT_EQ(m.Initialise(nullptr), -1);
}

TEST_F(CrewManagerTest, VersionFileIsReadOnceAndItsFirstLineCounts) {
    Start([](const fs::path& r) { WriteFile(r / "Meshes" / "UMmu" / "ver.dtf", "2.5\nlater lines\n"); });
    EXPECT_EQ(CrewManager::ReadAddonVersion(), 2.5);
    fs::remove(RootDir() / "Meshes" / "UMmu" / "ver.dtf");
    EXPECT_EQ(CrewManager::ReadAddonVersion(), 2.5);
}

TEST_F(CrewManagerTest, WithoutVersionFileTheNoticeRunsTwentySecondsThenEndsForGood) {
    Start([](const fs::path& r) { fs::remove(r / "Meshes" / "UMmu" / "ver.dtf"); }, 0.05);
    CrewManager& m = ReadyHull();
    EXPECT_EQ(CrewManager::ReadAddonVersion(), -1.0);
    ASSERT_EQ(m.noticeOutdated, 1);
    double start = m.noticeUntil - NOTICE_DURATION;
    std::string sawDownload, sawOutdated, sawBlinkOff = "unset", after;
    while (oapiGetSysTime() < start + 22.0) {
        sim().Frame();
        double t = oapiGetSysTime();
        m.ShowVersionWarning("Corvane");
        std::string line = oapiDebugString();
        double left = m.noticeUntil - t;
        if (m.noticeUntil > 0 && left > 5 && fmod(t, 15) < 10 && sawDownload.empty()) sawDownload = line;
        if (m.noticeUntil > 0 && left > 5 && fmod(t, 15) >= 10 && sawOutdated.empty()) sawOutdated = line;
        if (m.noticeUntil > 0 && left <= 5 && fmod(t, 1) >= 0.8) sawBlinkOff = line;
        if (m.noticeUntil < 0) after = line;
    }
    EXPECT_EQ(sawDownload.rfind("Corvane require \"Universal MMU\" ver 2.0 or higher. Download at ", 0), 0u)
        << sawDownload;
    EXPECT_EQ(sawOutdated.rfind("Your version of UMMU is outdated (", 0), 0u) << sawOutdated;
    EXPECT_EQ(sawBlinkOff, "");
    EXPECT_EQ(m.noticeUntil, -1.0);
    EXPECT_EQ(after, "");
    // Once over, the line is the host's again: the notice never writes it.
    snprintf(oapiDebugString(), 256, "%s", "someone else's line");
    m.ShowVersionWarning("Corvane");
    EXPECT_STREQ(oapiDebugString(), "someone else's line");
}

TEST_F(CrewManagerTest, VersionTwoShowsNoNotice) {
    CrewManager& m = StartWithHull();
    EXPECT_EQ(m.noticeUntil, 0.0);
    for (int i = 0; i < 100; ++i) {
        sim().Frame();
        m.ShowVersionWarning("Corvane");
        ASSERT_STREQ(oapiDebugString(), "");
    }
}

// ---------------------------------------------------------------------------
// EVA
// ---------------------------------------------------------------------------

TEST_F(CrewManagerTest, CaptainOnEvaGetsHerVesselRecordAndMesh) {
    CrewManager& m = CaptainOut();
    EXPECT_STREQ(m.GetLastLeftName(), "Ilse Marrow");
    EXPECT_EQ(m.GetCrewCount(), 1);
    EXPECT_STREQ(m.GetMemberName(0), "Teodor Vanke");

    EXPECT_EQ(Rec(captain)->className.rfind("UMmu", 0), 0u);

    const CrewTransferRecord rec = LeftRecord();
    EXPECT_STREQ(rec.vesselName, "UMmu_Capt-Ilse Marrow");
    EXPECT_STREQ(rec.meshName, "ummu/ummup");
    EXPECT_EQ(rec.age, 35);
    EXPECT_EQ(rec.pulse, 65);
    EXPECT_EQ(rec.reserve, 100);
    EXPECT_EQ(rec.weight, 74);
    EXPECT_EQ(rec.spare[0], 0);
    EXPECT_EQ(rec.spare[1], 0);

    // Standing in the airlock she has just left, she does not ask to come back in.
    sim().Frame();
    EXPECT_EQ(Point(captain, "U-Mm", true), nullptr);
    EXPECT_EQ(PollFor(1.0), 0);
    // Clear of the box, the add-on's vessel shows her data from the record on its last child point.
    PlaceAt(captain, hull, _V(0, 0, 8.0));
    sim().Frame();
    ASSERT_EQ(Rec(captain)->attachments.size(), 2u);
    EXPECT_STREQ(Rec(captain)->attachments.back()->id, "U-Mm");
    hs::Attachment* point = Point(captain, "U-Mm", true);
    ASSERT_NE(point, nullptr);
    testvec::ExpectVec(point->pos, 35, 65, 74, "", 0.0);
}

TEST_F(CrewManagerTest, EvaVesselStandsAtThePlacementTurnedByTheRotation) {
    CaptainOut();
    VECTOR3 local;
    local = tmul(Rec(hull)->phys.R, Rec(captain)->phys.pos - Rec(hull)->phys.pos);
    testvec::ExpectVec(local, 0.0, 0.5, 3.5, "", 1e-6);
    MATRIX3 want = ComposeEvaRotation(Rec(hull)->phys.R, _V(0, 0, 1.0));
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(Rec(captain)->phys.R.data[i], want.data[i], 1e-9) << i;
}

TEST_F(CrewManagerTest, OldOrRacingMembersLeaveWithSafeAgeAndPulse) {
    CrewManager& m = StartWithHull();
    m.AddMember("Old Timer", 130, 150, 70, "");
    m.SetAirlockOpen(1);
    ASSERT_EQ(m.EvaMember("Old Timer"), 1);
    const CrewTransferRecord rec = LeftRecord();
    EXPECT_EQ(rec.age, 41);
    EXPECT_EQ(rec.pulse, 60);
    EXPECT_STREQ(rec.vesselName, "UMmu_Old Timer");
    EXPECT_STREQ(rec.meshName, "ummu/ummu");
    EXPECT_NE(oapiGetObjectByName((char*)"UMmu_Old_Timer"), nullptr);
}

TEST_F(CrewManagerTest, StillShipReleasesTheMemberAtRestAndASpinningOnePushesAlongZ) {
    CrewManager& m = StartWithHull();
    m.AddMember("Ann", 30, 70, 70, "");
    m.AddMember("Bob", 30, 70, 70, "");
    m.SetAirlockOpen(1);
    ASSERT_EQ(m.EvaMember("Ann"), 1);
    OBJHANDLE ann = oapiGetObjectByName((char*)"UMmu_Ann");
    ASSERT_NE(ann, nullptr);
    VECTOR3 rel = Rec(ann)->phys.vel - Rec(hull)->phys.vel;
    EXPECT_NEAR(length(rel), 0.0, 1e-9);

    Rec(hull)->phys.omega = _V(0.1, 0.2, 0.3);
    ASSERT_EQ(m.EvaMember("Bob"), 1);
    OBJHANDLE bob = oapiGetObjectByName((char*)"UMmu_Bob");
    ASSERT_NE(bob, nullptr);
    VECTOR3 push = tmul(Rec(hull)->phys.R, Rec(bob)->phys.vel - Rec(hull)->phys.vel);
    testvec::ExpectVec(push, 0.0, 0.0, 1.5);
}

TEST_F(CrewManagerTest, SecondEvaOfTheSameNameGetsSuffixOne) {
    CrewManager& m = StartWithHull();
    m.AddMember("Ann", 30, 70, 70, "Doc");
    m.AddMember("Ann", 40, 70, 70, "Doc");
    m.SetAirlockOpen(1);
    ASSERT_EQ(m.EvaMember("Ann"), 1);
    ASSERT_EQ(m.EvaMember("Ann"), 1);
    EXPECT_NE(oapiGetObjectByName((char*)"UMmu_Doc-Ann"), nullptr);
    EXPECT_NE(oapiGetObjectByName((char*)"UMmu_Doc-Ann1"), nullptr);
    EXPECT_EQ(m.GetCrewCount(), 0);
    EXPECT_EQ(m.EvaMember("Ann"), 0);
}

TEST_F(CrewManagerTest, ClosedAirlockOrUnknownMemberKeepsEveryoneAboard) {
    CrewManager& m = StartWithHull();
    ConfigureLikeCorvane(m); // the airlock is closed
    EXPECT_EQ(m.EvaMember("Ilse Marrow"), -1);
    m.SetAirlockOpen(1);
    EXPECT_EQ(m.EvaMember(""), -4);
    EXPECT_EQ(m.EvaMember("Nobody"), -4);
    EXPECT_EQ(m.EvaMember(nullptr), -4);
    EXPECT_EQ(m.GetCrewCount(), 2);
    EXPECT_EQ(oapiGetObjectByName((char*)"UMmu_Capt-Ilse_Marrow"), nullptr);
}

// ---------------------------------------------------------------------------
// Coming back
// ---------------------------------------------------------------------------

TEST_F(CrewManagerTest, CaptainWalkingIntoTheBoxComesBackWithHerData) {
    CrewManager& m = CaptainOut();
    sim().Frame();
    // Outside the box (z 0.5 < zMin 1.0) nothing happens.
    PlaceAt(captain, hull, _V(0, 0, 0.5));
    EXPECT_EQ(PollFor(1.0), 0);
    PlaceAt(captain, hull, _V(0.2, 0.3, 2.5));
    ASSERT_EQ(PollFor(1.0), 1);
    EXPECT_STREQ(m.GetLastEnteredName(), "Ilse Marrow");
    ASSERT_EQ(m.GetCrewCount(), 2);
    EXPECT_STREQ(m.GetMemberName(1), "Ilse Marrow");
    EXPECT_STREQ(m.GetMemberFunction("Ilse Marrow"), "Capt");
    EXPECT_EQ(m.GetMemberAge("Ilse Marrow"), 35);
    EXPECT_EQ(m.roster[1].pulse, 65);
    EXPECT_EQ(m.roster[1].weight, 74.0);
    EXPECT_EQ(oapiGetFocusObject(), hull);
    sim().Frame();
    EXPECT_EQ(oapiGetObjectByName((char*)"UMmu_Capt-Ilse_Marrow"), nullptr);
}

TEST_F(CrewManagerTest, CrewVesselExactlyOnAFaceOfTheBoxIsNotInside) {
    CaptainOut();
    sim().Frame();
    WalkBackTo(captain, hull, _V(1.5, 0.0, 2.5));
    // Held in place every frame: in free fall the two would drift together by the tide of Earth's gravity.
    EXPECT_EQ(PollFor(1.0, [&] { PlaceAt(captain, hull, _V(1.5, 0.0, 2.5)); }), 0);
    EXPECT_EQ(PollFor(1.0, [&] { PlaceAt(captain, hull, _V(1.4999, 0.0, 2.5)); }), 1);
}

TEST_F(CrewManagerTest, ClosedAirlockTakesNobodyIn) {
    CrewManager& m = CaptainOut();
    m.SetAirlockOpen(0);
    sim().Frame();
    WalkBackTo(captain, hull, _V(0, 0, 2.5));
    EXPECT_EQ(PollFor(1.0), 0);
    EXPECT_EQ(m.GetCrewCount(), 1);
}

TEST_F(CrewManagerTest, ReturnToAFullRosterLeavesTheCrewVesselOutsideUntilASeatIsFree) {
    CrewManager& m = CaptainOut();
    m.AddMember("Cid", 30, 70, 70, "");
    sim().Frame();
    WalkBackTo(captain, hull, _V(0, 0, 2.5));
    EXPECT_EQ(PollFor(1.0), POLL_SHIP_FULL);
    EXPECT_STREQ(m.GetLastRefusedName(), "Ilse Marrow");
    EXPECT_STREQ(m.GetLastEnteredName(), "");
    EXPECT_EQ(m.GetCrewCount(), 2);
    EXPECT_EQ(m.GetMemberAge("Ilse Marrow"), -1);
    sim().Frame();
    EXPECT_EQ(oapiGetObjectByName((char*)"UMmu_Capt-Ilse_Marrow"), captain);
    // A seat comes free: she is taken in at the next look.
    ASSERT_EQ(m.RemoveMember("Cid"), 1);
    EXPECT_EQ(PollFor(1.0), 1);
    EXPECT_EQ(m.GetMemberAge("Ilse Marrow"), 35);
    sim().Frame();
    EXPECT_EQ(oapiGetObjectByName((char*)"UMmu_Capt-Ilse_Marrow"), nullptr);
}

TEST_F(CrewManagerTest, TransferVesselAddressedToUsBringsTheRecordedMember) {
    CrewManager& m = StartWithHull();
    m.SetAirlockOpen(1);
    WriteFile(RootDir() / "Config" / "UMmutmpT.cfg", Record("UMmu_Eng-Rhea Sol", "", 44, 72, 100, 66));
    OBJHANDLE t = TransferVessel("UMmuTHull");
    OBJHANDLE focus = oapiGetFocusObject();
    ASSERT_EQ(PollFor(1.0), 2);
    EXPECT_EQ(oapiGetFocusObject(), focus);
    EXPECT_STREQ(m.GetMemberName(0), "Rhea Sol");
    EXPECT_STREQ(m.GetMemberFunction("Rhea Sol"), "Eng");
    EXPECT_EQ(m.GetMemberAge("Rhea Sol"), 44);
    EXPECT_EQ(m.roster[0].weight, 66.0);
    EXPECT_FALSE(fs::exists(RootDir() / "Config" / "UMmutmpT.cfg"));
    sim().Frame();
    EXPECT_EQ(Rec(t), nullptr);
}

// A record cut short, or whole but without a name, can never be taken in: it is removed, so that it holds
// back no transfer after it, and the transfer vessel is left where it is. Nor does the missing file then
// bring back the last good record.
TEST_F(CrewManagerTest, TransferRecordOfTheWrongSizeOrWithoutANameTakesNobodyAboardAndIsRemoved) {
    CrewManager& m = StartWithHull();
    m.SetAirlockOpen(1);
    OBJHANDLE t = nullptr;
    for (const std::string& record : {Record("UMmu_Eng-Rhea Sol", "", 44, 72, 100, 66).substr(0, 60),
                                      Record("UMmu_Eng-", "", 44, 72, 100, 66)}) {
        WriteFile(RootDir() / "Config" / "UMmutmpT.cfg", record);
        if (!t) t = TransferVessel("UMmuTHull");
        EXPECT_EQ(PollFor(1.0), 0);
        EXPECT_EQ(m.GetCrewCount(), 0);
        EXPECT_FALSE(fs::exists(RootDir() / "Config" / "UMmutmpT.cfg"));
        sim().Frame();
        EXPECT_NE(Rec(t), nullptr);
    }
    EXPECT_EQ(PollFor(1.0), 0);
    EXPECT_EQ(m.GetCrewCount(), 0);
}

TEST_F(CrewManagerTest, TransferVesselForAnotherShipIsPassedOverForTheNextVessel) {
    CrewManager& m = StartWithHull();
    // Ahead of the crew vessel in the host's list, addressed to a ship that is not there.
    OBJHANDLE other = TransferVessel("UMmuTOther");
    ConfigureLikeCorvane(m);
    m.SetAirlockOpen(1);
    ASSERT_EQ(m.EvaMember("Ilse Marrow"), 1);
    sim().Frame();
    OBJHANDLE eva = oapiGetObjectByName((char*)"UMmu_Capt-Ilse_Marrow");
    WalkBackTo(eva, hull, _V(0, 0, 2.5));
    ASSERT_EQ(PollFor(1.0), 1);
    EXPECT_STREQ(m.GetLastEnteredName(), "Ilse Marrow");
    sim().Frame();
    EXPECT_NE(Rec(other), nullptr);
}

} // namespace
