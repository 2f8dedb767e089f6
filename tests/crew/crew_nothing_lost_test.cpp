// Nothing lost: the seven flights in which a crew member or a saved value used to go missing, flown in the
// stand-in host. After each flight every ship's roster is checked twice, as the ship holds it and as the
// saved scenario holds it, together with the crew vessels outside: every member is aboard exactly one ship or
// outside as exactly one crew vessel.
#include "core/corvane.h"
#include "corvane_state.h"
#include "crew_world.h"
#include "scenario_blocks.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using crewtest::CrewWorld;
using coretest::HeldState;
using crewtest::ShipBlock;
using crewtest::World;
using hs::test::BlockLines;
using hs::test::LinesWithKeys;
using hs::test::ReadShips;
namespace fs = std::filesystem;

namespace {

constexpr const char* CAPTAIN = "UMMUCREW Capt-Ilse_Marrow-35-65-74";
constexpr const char* SCIENTIST = "UMMUCREW Sci-Teodor_Vanke-41-65-74";
constexpr const char* ENGINEER = "UMMUCREW Eng-Rhea_Sol-44-72-66";
constexpr const char* GUARD = "UMMUCREW Sec-Bram_Oduya-38-70-82";
constexpr const char* TECHNICIAN = "UMMUCREW Tech-Lio_Senn-27-66-68";
constexpr const char* DOCTOR = "UMMUCREW Doc-Nia_Falk-33-70-70"; // as the add-crew dialog makes her
constexpr const char* CANOPY_OPEN = "CANP 1.000 1.000";
constexpr double EARTH_RADIUS = 6371010.0; // m, as the host root's body table has it

constexpr const char* EVA_FAILED = "Misc error with UMMU install it again";
constexpr const char* TRANSFER_PENDING = "Error, another transfer is still pending, unable to transfer";
constexpr const char* NAME_UNUSABLE =
    "Error, docked ship's name has a space or is too long, unable to transfer";

// The lines the Corvane writes itself: the crew and its twelve keys. (The host's own lines may settle only
// after a round: it leaves out an AFCMODE of 0, and a block without one loads with all surfaces on.)
std::vector<std::string> OwnLines(const std::string& scenario, const std::string& name) {
    return LinesWithKeys(ReadShips(scenario)[name], {"FTL", "HWIN", "GEAR", "CANP", "CANC", "VIS", "VIEW",
                                                     "BRAKE", "MAIN", "BOOST", "INDMP", "AMMO", "UMMUCREW"});
}

std::vector<std::string> CrewLinesOf(const std::string& scenario, const std::string& name) {
    return LinesWithKeys(ReadShips(scenario)[name], {"UMMUCREW"});
}

class NothingLost : public CrewWorld {
  protected:
    // Saves the scenario, then loads it in a new session of the host on the same root; the saved text.
    std::string SaveAndReload() {
        const fs::path saved = RootDir() / "Scenarios" / "Crew" / "Saved.scn";
        ReloadFrom(saved);
        return ReadFile(saved);
    }

    static OBJHANDLE Named(const std::string& name) {
        return oapiGetObjectByName(const_cast<char*>(name.c_str()));
    }
    static Corvane* Ship(const std::string& name) {
        OBJHANDLE h = Named(name);
        return h ? static_cast<Corvane*>(Rec(h)->iface) : nullptr;
    }
    static std::string Message(const std::string& name) { return Ship(name)->hudMessage; }

    static void PressTo(const std::string& ship, DWORD key) {
        sim().PressKeyTo(Named(ship), key, {});
        sim().Frame();
    }

    // Runs the add-crew dialog of a ship to its end with the three answers.
    static void AddCrew(const std::string& ship, const char* name, const char* age, const char* function) {
        PressTo(ship, OAPI_KEY_M);
        AnswerAddCrew(name, age, function);
    }

    // The roster as the ship holds it, one crew line per seat (written here in the scenario line format; the
    // module's own code is out of this program's reach).
    static std::vector<std::string> Aboard(const std::string& ship) {
        std::vector<std::string> lines;
        const CrewManager& crew = Ship(ship)->crew;
        for (int seat = 0; seat < crew.crewCount; ++seat) {
            const CrewMember& m = crew.roster[seat];
            std::string value = std::string(m.functionCode) + "-" + m.name + "-" + std::to_string(m.age) +
                                "-" + std::to_string(m.pulse) + "-" +
                                std::to_string(static_cast<int>(m.weight));
            std::replace(value.begin(), value.end(), ' ', '_');
            lines.push_back("UMMUCREW " + value);
        }
        return lines;
    }

    // Names of the crew vessels out in the world (transfer vessels included), in name order.
    static std::vector<std::string> Outside() {
        std::vector<std::string> names;
        for (Vessel* v : sim().Vessels())
            if (v->className == "UMmu") names.push_back(v->name);
        std::sort(names.begin(), names.end());
        return names;
    }

    // Who is aboard where, as the ships hold it and as a saved scenario holds it, and who is outside.
    static void ExpectCrew(const std::map<std::string, std::vector<std::string>>& ships,
                           std::vector<std::string> outside = {}) {
        const std::string saved = sim().ScenarioText();
        for (const auto& [ship, crew] : ships) {
            ASSERT_NE(Ship(ship), nullptr) << ship;
            EXPECT_EQ(Aboard(ship), crew) << ship << " as it holds its crew";
            EXPECT_EQ(CrewLinesOf(saved, ship), crew) << ship << " in the saved scenario\n" << saved;
        }
        std::sort(outside.begin(), outside.end());
        EXPECT_EQ(Outside(), outside);
        for (const std::string& name : outside)
            EXPECT_NE(saved.find("\n" + name + ":UMmu\n"), std::string::npos) << name << "\n" << saved;
    }
};

// ---------------------------------------------------------------------------
// 1. Two transfers in one airlock scan period
// ---------------------------------------------------------------------------

// Both senders press E in the same frame. One record file serves every transfer: the second sender is refused
// while the first record waits for its receiver, and may send once it has been claimed.
TEST_F(NothingLost, TwoTransfersInOneFrameSendTheFirstAndRefuseTheSecondUntilTheRecordIsClaimed) {
    Fly(World("A", ShipBlock("A", {CANOPY_OPEN, CAPTAIN, SCIENTIST}) +
                       ShipBlock("B", {CANOPY_OPEN, ENGINEER, "DOCKINFO 0:0,A"}) +
                       ShipBlock("C", {CANOPY_OPEN, GUARD, TECHNICIAN}, 500.0) +
                       ShipBlock("D", {CANOPY_OPEN, DOCTOR, "DOCKINFO 0:0,C"}, 500.0)),
        0.001);            // short frames: a receiver looks into its airlock only every 0.25 s
    sim().RunFrames(1100); // past the first looks, which come at random moments of the first second
    sim().PressKeyTo(Named("A"), OAPI_KEY_E, {});
    sim().PressKeyTo(Named("C"), OAPI_KEY_E, {});
    sim().Frame();
    EXPECT_EQ(Message("A"), "Transfer to docked ship Ok - Ilse Marrow transfered");
    EXPECT_EQ(Message("C"), TRANSFER_PENDING);
    // Unless B happened to look into its airlock in this very frame, the captain still waits outside.
    if (Ship("B")->crew.crewCount == 1)
        ExpectCrew({{"A", {SCIENTIST}}, {"B", {ENGINEER}}, {"C", {GUARD, TECHNICIAN}}, {"D", {DOCTOR}}},
                   {"UMmuTB"});

    ASSERT_TRUE(RunUntil([] { return Ship("B")->crew.crewCount == 2; }, 2.0));
    EXPECT_EQ(Message("B"), "Capt \"Ilse Marrow\" aged 35 was transfered to our ship");
    EXPECT_FALSE(fs::exists(RootDir() / "Config" / "UMmutmpT.cfg"));
    sim().Frame();

    PressTo("C", OAPI_KEY_E);
    EXPECT_EQ(Message("C"), "Transfer to docked ship Ok - Bram Oduya transfered");
    ASSERT_TRUE(RunUntil([] { return Ship("D")->crew.crewCount == 2; }, 2.0));
    EXPECT_EQ(Message("D"), "Sec \"Bram Oduya\" aged 38 was transfered to our ship");
    sim().Frame();
    ExpectCrew({{"A", {SCIENTIST}}, {"B", {ENGINEER, CAPTAIN}}, {"C", {TECHNICIAN}}, {"D", {DOCTOR, GUARD}}});
}

// A record file that no transfer vessel is left to claim is stale: it does not block the next transfer.
TEST_F(NothingLost, StaleTransferRecordWithNoTransferVesselOutDoesNotBlockATransfer) {
    Fly(World("A", ShipBlock("A", {CANOPY_OPEN, CAPTAIN, SCIENTIST}) +
                       ShipBlock("B", {CANOPY_OPEN, ENGINEER, "DOCKINFO 0:0,A"})));
    WriteFile(RootDir() / "Config" / "UMmutmpT.cfg", std::string(CREW_RECORD_SIZE, '\0'));
    sim().Frame();
    PressTo("A", OAPI_KEY_E);
    EXPECT_EQ(Message("A"), "Transfer to docked ship Ok - Ilse Marrow transfered");
    ASSERT_TRUE(RunUntil([] { return Ship("B")->crew.crewCount == 2; }, 2.0));
    sim().Frame();
    ExpectCrew({{"A", {SCIENTIST}}, {"B", {ENGINEER, CAPTAIN}}});
}

// ---------------------------------------------------------------------------
// 2. A receiver whose name can never match
// ---------------------------------------------------------------------------

// The receiver takes in only "UMmuT" and its exact name; a space would be written as "_".
TEST_F(NothingLost, ReceiverNamedWithASpaceRefusesTheTransferAndTheMemberStaysAboard) {
    Fly(World("A", ShipBlock("A", {CANOPY_OPEN, CAPTAIN, SCIENTIST}) +
                       ShipBlock("Bravo One", {CANOPY_OPEN, ENGINEER}, 50.0)));
    ASSERT_TRUE(sim().Dock(Named("A"), 0, Named("Bravo One"), 0));
    sim().Frame();
    PressTo("A", OAPI_KEY_E);
    EXPECT_EQ(Message("A"), NAME_UNUSABLE);
    sim().RunFrames(40);
    EXPECT_FALSE(fs::exists(RootDir() / "Config" / "UMmutmpT.cfg"));
    ExpectCrew({{"A", {CAPTAIN, SCIENTIST}}, {"Bravo One", {ENGINEER}}});
}

// The transfer vessel's name ("UMmuT" and the receiver's) holds 38 characters: a receiver of 34 would be cut.
TEST_F(NothingLost, ReceiverNameTooLongForTheTransferVesselRefusesAndThirtyThreeCharactersStillTransfer) {
    const std::string tooLong(34, 'L');
    const std::string longest(33, 'M');
    Fly(World("A", ShipBlock("A", {CANOPY_OPEN, CAPTAIN, SCIENTIST}) +
                       ShipBlock(tooLong, {CANOPY_OPEN, ENGINEER}, 50.0) +
                       ShipBlock(longest, {CANOPY_OPEN, GUARD}, 100.0)));
    ASSERT_TRUE(sim().Dock(Named("A"), 0, Named(tooLong), 0));
    sim().Frame();
    PressTo("A", OAPI_KEY_E);
    EXPECT_EQ(Message("A"), NAME_UNUSABLE);
    sim().RunFrames(40);
    ExpectCrew({{"A", {CAPTAIN, SCIENTIST}}, {tooLong, {ENGINEER}}, {longest, {GUARD}}});

    ASSERT_TRUE(sim().Undock(Named("A"), 0));
    ASSERT_TRUE(sim().Dock(Named("A"), 0, Named(longest), 0));
    sim().Frame();
    PressTo("A", OAPI_KEY_E);
    EXPECT_EQ(Message("A"), "Transfer to docked ship Ok - Ilse Marrow transfered");
    ASSERT_TRUE(RunUntil([&] { return Ship(longest)->crew.crewCount == 2; }, 2.0));
    sim().Frame();
    ExpectCrew({{"A", {SCIENTIST}}, {tooLong, {ENGINEER}}, {longest, {GUARD, CAPTAIN}}});
}

// ---------------------------------------------------------------------------
// 3. Return to a full roster
// ---------------------------------------------------------------------------

TEST_F(NothingLost, CrewVesselReturningToAFullShipStaysOutsideUntilASeatIsFree) {
    Fly(World("A", ShipBlock("A", {CANOPY_OPEN, CAPTAIN, SCIENTIST})));
    sim().Frame();
    PressTo("A", OAPI_KEY_E);
    const OBJHANDLE eva = Named("UMmu_Capt-Ilse_Marrow");
    ASSERT_NE(eva, nullptr);
    AddCrew("A", "Nia Falk", "33", "Doc"); // her seat is taken while she is out
    ASSERT_EQ(Ship("A")->crew.crewCount, 2);
    WalkBackTo(eva, Named("A"), _V(0, 0, 2.5));
    ASSERT_TRUE(
        RunUntil([] { return Message("A") == "Error, our ship is full, Ilse Marrow stays outside"; }, 2.0));
    sim().RunFrames(20);
    EXPECT_EQ(Named("UMmu_Capt-Ilse_Marrow"), eva);
    ExpectCrew({{"A", {SCIENTIST, DOCTOR}}}, {"UMmu_Capt-Ilse_Marrow"});
    EXPECT_NE(sim().ScenarioText().find("UMmu_Capt-Ilse_Marrow:UMmu\n  MEMBER 35 65 74\n"),
              std::string::npos);

    // The scientist steps out; she comes in at the next look.
    PressTo("A", OAPI_KEY_E);
    EXPECT_EQ(Message("A"), "EVA OK - Teodor Vanke left the ship");
    ASSERT_TRUE(RunUntil([] { return Ship("A")->crew.crewCount == 2; }, 2.0));
    EXPECT_EQ(Message("A"), "Capt \"Ilse Marrow\" aged 35 entered into our ship");
    sim().Frame();
    ExpectCrew({{"A", {DOCTOR, CAPTAIN}}}, {"UMmu_Sci-Teodor_Vanke"});
}

// The receiver's last seat is taken after the sender saw it free: the transfer vessel and its record wait
// outside, which also holds back every other transfer, until a seat is free.
TEST_F(NothingLost, TransferReachingAShipThatFilledUpMeanwhileWaitsForAFreeSeat) {
    // Short frames: the receiver looks into its airlock only every 0.25 s.
    Fly(World("A", ShipBlock("A", {CANOPY_OPEN, CAPTAIN, SCIENTIST}) +
                       ShipBlock("B", {CANOPY_OPEN, ENGINEER, "DOCKINFO 0:0,A"})),
        0.001);
    sim().RunFrames(1100); // past the first looks, which come at random moments of the first second
    // B's add-crew dialog, down to its last box.
    PressTo("B", OAPI_KEY_M);
    sim().Frame();
    sim().AnswerInputBox("Nia Falk");
    sim().Frame();
    sim().AnswerInputBox("33");
    sim().Frame();
    ASSERT_TRUE(sim().InputBoxOpen());
    // In one frame: A sends the captain over to B's free seat, and B's dialog takes that seat. (B looks into
    // its airlock on one frame in 250; the host's random start of the looks keeps that frame elsewhere.)
    sim().AnswerInputBox("Doc");
    PressTo("A", OAPI_KEY_E);
    ASSERT_EQ(Message("A"), "Transfer to docked ship Ok - Ilse Marrow transfered");
    ASSERT_EQ(Message("B"), "Crew \"Nia Falk\" aged 33 added to vessel");
    ASSERT_TRUE(
        RunUntil([] { return Message("B") == "Error, our ship is full, Ilse Marrow stays outside"; }, 1.0));
    sim().RunFrames(300);
    EXPECT_TRUE(fs::exists(RootDir() / "Config" / "UMmutmpT.cfg"));
    ExpectCrew({{"A", {SCIENTIST}}, {"B", {ENGINEER, DOCTOR}}}, {"UMmuTB"});

    // B sends its engineer the other way: refused while the captain's record waits.
    PressTo("B", OAPI_KEY_E);
    EXPECT_EQ(Message("B"), TRANSFER_PENDING);
    // Undocked, the engineer leaves on EVA instead, and the captain is taken in.
    ASSERT_TRUE(sim().Undock(Named("A"), 0));
    PressTo("B", OAPI_KEY_E);
    EXPECT_EQ(Message("B"), "EVA OK - Rhea Sol left the ship");
    ASSERT_TRUE(RunUntil([] { return Ship("B")->crew.crewCount == 2; }, 1.0));
    EXPECT_EQ(Message("B"), "Capt \"Ilse Marrow\" aged 35 was transfered to our ship");
    EXPECT_FALSE(fs::exists(RootDir() / "Config" / "UMmutmpT.cfg"));
    sim().Frame();
    ExpectCrew({{"A", {SCIENTIST}}, {"B", {DOCTOR, CAPTAIN}}}, {"UMmu_Eng-Rhea_Sol"});
}

// ---------------------------------------------------------------------------
// 4. EVA when the crew vessel cannot be created
// ---------------------------------------------------------------------------

TEST_F(NothingLost, CrewVesselThatTheHostCannotCreateLeavesTheMemberAboardAndTheHudSaysSo) {
    Fly(World("A", ShipBlock("A", {CANOPY_OPEN, CAPTAIN, SCIENTIST}) +
                       ShipBlock("B", {CANOPY_OPEN, ENGINEER, "DOCKINFO 0:0,A"})),
        0.05, [](const fs::path& r) { fs::remove(r / "Config" / "Vessels" / "UMmu.cfg"); });
    sim().Frame();
    // Docked: the transfer vessel cannot be made.
    PressTo("A", OAPI_KEY_E);
    EXPECT_EQ(Message("A"), EVA_FAILED);
    EXPECT_FALSE(fs::exists(RootDir() / "Config" / "UMmutmpT.cfg"));
    sim().RunFrames(40);
    ExpectCrew({{"A", {CAPTAIN, SCIENTIST}}, {"B", {ENGINEER}}});
    // Undocked: nor can the EVA vessel.
    ASSERT_TRUE(sim().Undock(Named("A"), 0));
    PressTo("A", OAPI_KEY_E);
    EXPECT_EQ(Message("A"), EVA_FAILED);
    EXPECT_STREQ(Ship("A")->crew.lastLeftName, "");
    sim().RunFrames(40);
    ExpectCrew({{"A", {CAPTAIN, SCIENTIST}}, {"B", {ENGINEER}}});
}

// ---------------------------------------------------------------------------
// 5. No crew add-on installed
// ---------------------------------------------------------------------------

// As in the real host today: no "modules\UMmu.dll". Crew lines in and out, seats and the crash rule work; EVA
// and transfer refuse with the not-initialised line and the misc error.
TEST_F(NothingLost, WithoutTheAddOnTheRosterSeatsCrashRuleAndScenarioLinesWorkAndEvaRefuses) {
    std::ostringstream lander;
    // The lander falls onto the pole from 12 m, touching down at some 16 m/s within the flight.
    lander << "Lander:Corvane\n  STATUS Orbiting Earth\n  RPOS 0.000 " << EARTH_RADIUS + 14.6
           << " 0.000\n  RVEL 0.0000 -8.0000 0.0000\n  AROT 0.000 0.000 0.000\n  INDMP 0\n  " << GUARD
           << "\n  " << TECHNICIAN << "\nEND\n";
    Fly(World("A", ShipBlock("A", {CANOPY_OPEN, CAPTAIN, SCIENTIST}) +
                       ShipBlock("B", {CANOPY_OPEN, ENGINEER, "DOCKINFO 0:0,A"}) + lander.str()),
        0.05, [](const fs::path& r) { fs::remove(r / "Modules" / "UMmu.dll"); });
    sim().Frame();
    EXPECT_EQ(sim().DebugString(), "Corvane ERROR UMMU 2.0 not properly initialised in your code.");
    ExpectCrew({{"A", {CAPTAIN, SCIENTIST}}, {"B", {ENGINEER}}, {"Lander", {GUARD, TECHNICIAN}}});

    // Transfer and EVA need the add-on.
    PressTo("A", OAPI_KEY_E);
    EXPECT_EQ(Message("A"), EVA_FAILED);
    ASSERT_TRUE(sim().Undock(Named("A"), 0));
    PressTo("A", OAPI_KEY_E);
    EXPECT_EQ(Message("A"), EVA_FAILED);
    EXPECT_FALSE(fs::exists(RootDir() / "Config" / "UMmutmp.cfg"));
    EXPECT_FALSE(fs::exists(RootDir() / "Config" / "UMmutmpT.cfg"));

    // Seats: B takes one member more, then is full.
    AddCrew("B", "Nia Falk", "33", "Doc");
    EXPECT_EQ(Message("B"), "Crew \"Nia Falk\" aged 33 added to vessel");
    AddCrew("B", "Old Hand", "60", "Tech");
    EXPECT_EQ(Message("B"), "ERROR: Crew not added (vessel full?)");

    // The crash rule.
    ASSERT_TRUE(
        RunUntil([] { return Message("Lander") == "Oooh no ! Crash - All crew aboard killed"; }, 2.0));
    const char* deadGuard = "UMMUCREW Sec-Bram_Oduya-38-0-82";
    const char* deadTechnician = "UMMUCREW Tech-Lio_Senn-27-0-68";
    ExpectCrew(
        {{"A", {CAPTAIN, SCIENTIST}}, {"B", {ENGINEER, DOCTOR}}, {"Lander", {deadGuard, deadTechnician}}});

    // A new session of the host, still without the add-on, brings the living back as saved; the dead stay gone.
    const std::string saved = SaveAndReload();
    ExpectCrew({{"A", {CAPTAIN, SCIENTIST}}, {"B", {ENGINEER, DOCTOR}}, {"Lander", {}}});
    for (const char* ship : {"A", "B"})
        EXPECT_EQ(OwnLines(sim().ScenarioText(), ship), OwnLines(saved, ship)) << ship;
}

// ---------------------------------------------------------------------------
// 6. A saved value that does not read back
// ---------------------------------------------------------------------------

TEST_F(NothingLost, EverySavedValueReadsBackWithinItsDecimalsIncludingAHugeJumpAndARunningJumpTimer) {
    Fly(World("A", ShipBlock("A", {"HWIN 0.000 1e300 4", "GEAR 0.4004 0.4004", "CANC 0.1234567 0.1234567",
                                   CAPTAIN, SCIENTIST}) +
                       ShipBlock("B", {"PRPLEVEL 0:1.000000", "FTL 1", "HWIN 2.5 7.25 3", ENGINEER}, 50.0)),
        1.0 / 60.0);
    sim().RunFrames(7); // B's jump timer runs down in steps of a sixtieth of a second
    const HeldState a(*Ship("A")), b(*Ship("B"));
    const double timer = Ship("B")->hwgTimer;
    ASSERT_NE(timer, std::round(timer * 1000.0) / 1000.0)
        << "the timer should need more than three decimals";
    ExpectCrew({{"A", {CAPTAIN, SCIENTIST}}, {"B", {ENGINEER}}});

    const std::string saved = SaveAndReload();
    const std::vector<std::string> lines = BlockLines(saved, "A");
    // A jump beyond any flight keeps its digits; the rest keeps the three decimals of the ship's lines.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "HWIN 0.000 1e+300 4"), lines.end()) << saved;
    EXPECT_NE(std::find(lines.begin(), lines.end(), "GEAR 0.400 0.400"), lines.end()) << saved;
    EXPECT_NE(std::find(lines.begin(), lines.end(), "CANC 0.123 0.123"), lines.end()) << saved;
    EXPECT_EQ(Ship("A")->hwgJumpDuration, 1e300);
    EXPECT_EQ(Ship("A")->hwgStepIndex, 4);
    EXPECT_EQ(Ship("A")->canopyCPos, 0.123);
    EXPECT_EQ(Ship("B")->ftlState, 1);
    EXPECT_TRUE(HeldState(*Ship("A")) == a) << HeldState(*Ship("A")).Describe() << "\n" << a.Describe();
    EXPECT_TRUE(HeldState(*Ship("B")) == b) << HeldState(*Ship("B")).Describe() << "\n" << b.Describe();
    EXPECT_NEAR(Ship("B")->hwgTimer, timer, 0.0005);
    ExpectCrew({{"A", {CAPTAIN, SCIENTIST}}, {"B", {ENGINEER}}});

    // And once more: the second save is the first.
    const std::string again = sim().ScenarioText();
    for (const char* ship : {"A", "B"})
        EXPECT_EQ(OwnLines(again, ship), OwnLines(saved, ship)) << ship;
}

// ---------------------------------------------------------------------------
// 7. Total mass at or below zero
// ---------------------------------------------------------------------------

// A: dampeners on, a long jump on a fifth of a tank. B: dampeners on, main engine and boost at full from a
// full tank. Whatever the frame length, both keep a positive total mass between frames, and the host never
// finds a vessel it cannot move (that would be a misuse, which the fixture counts).
TEST_F(NothingLost, DampenedShipsKeepAPositiveTotalMassOnEveryFrameLength) {
    const std::string scenario =
        World("A", ShipBlock("A", {"PRPLEVEL 0:0.200000", "FTL 1", "HWIN 100 100 1", CAPTAIN, SCIENTIST}) +
                       ShipBlock("B", {"PRPLEVEL 0:1.000000", "BOOST 1", ENGINEER}, 500.0));
    bool first = true;
    for (double dt : {0.02, 1.0, 20.0, 100.0, 1000.0}) {
        SCOPED_TRACE("frame length " + std::to_string(dt));
        if (first) {
            Fly(scenario, dt);
            first = false;
        } else {
            EXPECT_EQ(sim().MisuseCount(), 0);
            options.dt = dt;
            Restart();
            std::string err;
            ASSERT_TRUE(sim().LoadScenario("Crew/Test.scn", &err)) << err;
        }
        ASSERT_TRUE(Ship("A")->inertialDampeners && Ship("B")->inertialDampeners);
        sim().SetThrusterGroupLevel(Named("B"), THGROUP_MAIN, 1.0);
        for (int i = 0; i < 12; ++i) {
            sim().Frame();
            for (const char* ship : {"A", "B"}) {
                const double m = oapiGetVesselInterface(Named(ship))->GetMass();
                ASSERT_GT(m, 0.0) << ship << " after frame " << i;
                // The dampeners leave 5 percent of hull and propellant (and the crew's weight until the next
                // step sets the mass anew).
                const double p = oapiGetVesselInterface(Named(ship))->GetTotalPropellantMass();
                EXPECT_GE(m, 0.05 * (BASE_EMPTY_MASS + p) - 1e-6) << ship << " after frame " << i;
            }
        }
        EXPECT_EQ(sim().MisuseCount(), 0);
        ExpectCrew({{"A", {CAPTAIN, SCIENTIST}}, {"B", {ENGINEER}}});
    }
}

} // namespace
