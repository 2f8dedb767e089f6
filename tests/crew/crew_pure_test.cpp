// Crew functions that need no host: names, crew lines, the transfer record, ID file names, rotation, notice
// texts.
#include "crew/crew_manager.h"
#include "crew/crew_rules.h"
#include "ummu_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

CrewMember Member(const char* name, int age, int pulse, double weight, const char* code) {
    CrewMember m{};
    snprintf(m.name, sizeof m.name, "%s", name);
    snprintf(m.functionCode, sizeof m.functionCode, "%s", code);
    m.age = age;
    m.pulse = pulse;
    m.weight = weight;
    return m;
}

std::string Line(const CrewMember& m) {
    char buf[300];
    FormatCrewLine(m, buf, sizeof buf);
    return buf;
}

} // namespace

TEST(CrewNames, SanitiseTurnsPunctuationAndHighBytesIntoSpacesKeepingLength) {
    char name[] = "O'Neil-Ka\xC3\xA9 7";
    CrewManager::SanitiseCrewName(name);
    EXPECT_STREQ(name, "O Neil Ka   7");
    CrewManager::SanitiseCrewName(nullptr); // nothing to do, no crash
}

TEST(CrewLines, DefaultCaptainIsWrittenAsOneWordAMemberWithoutCodeWithADashAndTheWeightTruncated) {
    EXPECT_EQ(Line(Member("Ilse Marrow", 35, 65, 74, "Capt")), "Capt-Ilse_Marrow-35-65-74");
    EXPECT_EQ(Line(Member("Pax One", 20, 70, 80.9, "")), "-Pax_One-20-70-80");
}

TEST(CrewLines, RoundTripGivesBackNameCodeAndNumbers) {
    CrewMember in = Member("Teodor Vanke", 41, 65, 74, "Sci");
    CrewMember out;
    ASSERT_EQ(ParseCrewLine(("UMMUCREW " + Line(in)).c_str(), out), 1);
    EXPECT_STREQ(out.name, "Teodor Vanke");
    EXPECT_STREQ(out.functionCode, "Sci");
    EXPECT_EQ(out.age, 41);
    EXPECT_EQ(out.pulse, 65);
    EXPECT_EQ(out.weight, 74.0);
}

// The key in any case, five parts with a code and a name, numbers within their limits; the dead (pulse zero,
// however written) never come back.
TEST(CrewLines, OnlyWholeLinesOfTheLivingWithinTheLimitsAreRead) {
    struct Case {
        std::string line;
        int read;
    };
    const Case cases[] = {{"ummucrew Capt-Ilse_Marrow-35-65-74", 1},
                          {"GEAR 1 1.0000", 0},
                          {"UMMUCREW", 0},
                          {"UMMU", 0},
                          {"UMMUCREW Capt-Ilse_Marrow-35-00-74", 0},
                          {"UMMUCREW Capt-Ilse_Marrow-35--74", 0},
                          {"UMMUCREW Capt-Ilse_Marrow-35-x-74", 0},
                          {"UMMUCREW Capt-Ann-0-65-74", 0},
                          {"UMMUCREW Capt-Ann-35-65-301", 0},
                          {"UMMUCREW Capt-Ann-141-65-74", 0},
                          {"UMMUCREW Capt-Ann-35-181-74", 0},
                          {"UMMUCREW Capt-Ann-35-65-4", 0},
                          {"UMMUCREW Capt-Ann-140-180-300", 1},
                          {"UMMUCREW Capt-Ann-1-1-5", 1},
                          {"UMMUCREW Capt-Ann-35-65", 0},
                          {"UMMUCREW CaptAnn", 0},
                          {"UMMUCREW Capt--35-65-74", 0},
                          // Only 399 characters of the word are read: the numbers are beyond them.
                          {"UMMUCREW Capt-" + std::string(2000, 'x') + "-35-65-74", 0}};
    for (const Case& k : cases) {
        CrewMember out;
        EXPECT_EQ(ParseCrewLine(k.line.c_str(), out), k.read) << k.line.substr(0, 40);
    }
}

TEST(CrewLines, DeadMemberIsWrittenWithPulseZeroAndRefusedOnReading) {
    // A member killed in a crash is saved as dead, and the dead do not come back.
    CrewMember dead{};
    snprintf(dead.name, sizeof dead.name, "Ilse Marrow");
    snprintf(dead.functionCode, sizeof dead.functionCode, "Capt");
    dead.age = 35;
    dead.weight = 74;
    char value[300];
    FormatCrewLine(dead, value, sizeof value);
    EXPECT_STREQ(value, "Capt-Ilse_Marrow-35-0-74");
    CrewMember out;
    EXPECT_EQ(ParseCrewLine("UMMUCREW Capt-Ilse_Marrow-35-0-74", out), 0);
    EXPECT_EQ(out.name[0], '\0'); // the record is left zeroed
}

// A code of seven keeps four, a short one ends at its dash; odd characters come back as spaces in the name,
// and lost from the code, which a vessel name must carry; a long name is cut.
TEST(CrewLines, CodeAndNameAreReadCutAndCleanedAsTheyCanBeCarried) {
    struct Case {
        const char* line;
        const char* code;
        const char* name;
    };
    constexpr Case CASES[] = {
        {"UMMUCREW Captain-Ilse_Marrow-35-65-74", "Capt", "Ilse Marrow"},
        {"UMMUCREW Sc-Ann-30-60-60", "Sc", "Ann"},
        {"UMMUCREW Doc-Jo.Ann_O'Hara-35-65-74", "Doc", "Jo Ann O Hara"},
        {"UMMUCREW Doc-Abcdefghijklmnopqrstuvwxyz0123-35-65-74", "Doc", "Abcdefghijklmnopqrstuvwxy"},
        {"UMMUCREW a:b-Nia_Falk-30-70-70", "a_b", "Nia Falk"}};
    for (const Case& k : CASES) {
        CrewMember out;
        ASSERT_EQ(ParseCrewLine(k.line, out), 1) << k.line;
        EXPECT_STREQ(out.functionCode, k.code) << k.line;
        EXPECT_STREQ(out.name, k.name) << k.line;
    }
}

TEST(CrewRecord, PacksLittleEndianFieldsAtTheirOffsetsAndUnpacksNamesWithinTheirFields) {
    CrewTransferRecord rec{};
    snprintf(rec.vesselName, sizeof rec.vesselName, "%s", "UMmu_Capt-Ilse Marrow");
    snprintf(rec.meshName, sizeof rec.meshName, "%s", "ummu/ummup");
    rec.age = 35;
    rec.pulse = 65;
    rec.reserve = 100;
    rec.weight = 0x01020304;
    unsigned char bytes[CREW_RECORD_SIZE];
    PackCrewTransferRecord(rec, bytes);
    EXPECT_STREQ(reinterpret_cast<char*>(bytes), "UMmu_Capt-Ilse Marrow");
    EXPECT_STREQ(reinterpret_cast<char*>(bytes + 40), "ummu/ummup");
    EXPECT_EQ(bytes[80], 35);
    EXPECT_EQ(bytes[84], 65);
    EXPECT_EQ(bytes[88], 100);
    EXPECT_EQ(bytes[92], 0x04);
    EXPECT_EQ(bytes[93], 0x03);
    EXPECT_EQ(bytes[94], 0x02);
    EXPECT_EQ(bytes[95], 0x01);
    for (int i = 96; i < 104; ++i)
        EXPECT_EQ(bytes[i], 0) << i;

    CrewTransferRecord back;
    UnpackCrewTransferRecord(bytes, back);
    EXPECT_STREQ(back.vesselName, rec.vesselName);
    EXPECT_EQ(back.weight, 0x01020304);
    // An unterminated name field is cut inside its forty bytes.
    memset(bytes, 'A', sizeof bytes);
    UnpackCrewTransferRecord(bytes, back);
    EXPECT_EQ(strlen(back.vesselName), 39u);
    EXPECT_EQ(strlen(back.meshName), 39u);
}

TEST(CrewRecord, MemberIdIsCodeDashNameOrTheNameAlone) {
    char id[64];
    BuildMemberId(Member("Ilse Marrow", 35, 65, 74, "Capt"), id, sizeof id);
    EXPECT_STREQ(id, "Capt-Ilse Marrow");
    BuildMemberId(Member("Pax One", 35, 65, 74, ""), id, sizeof id);
    EXPECT_STREQ(id, "Pax One");
}

TEST(IdConfigFiles, NameGivesMeshProfessionAndCodeTheProfessionCutToTwentyFour) {
    IdConfigRow row;
    ASSERT_TRUE(ParseIdConfigFileName("ummuSCI-scientist-Sci.cfg", row));
    EXPECT_STREQ(row.meshName, "ummu/ummuSCI");
    EXPECT_STREQ(row.profession, "scientist");
    EXPECT_STREQ(row.code, "Sci");
    ASSERT_TRUE(ParseIdConfigFileName("m-abcdefghijklmnopqrstuvwxyz-Ab.cfg", row));
    EXPECT_STREQ(row.profession, "abcdefghijklmnopqrstuvwx");
}

TEST(IdConfigFiles, CodeOfOneOrFiveCharactersMeshPartOverEighteenOrMissingSeparatorsAreSkipped) {
    IdConfigRow row;
    EXPECT_FALSE(ParseIdConfigFileName("ummu-pilot-C.cfg", row));
    EXPECT_FALSE(ParseIdConfigFileName("ummu-pilot-Capta.cfg", row));
    EXPECT_TRUE(ParseIdConfigFileName("ummu-pilot-Ca.cfg", row));
    EXPECT_TRUE(ParseIdConfigFileName("ummu-pilot-Capt.cfg", row));
    EXPECT_TRUE(ParseIdConfigFileName("abcdefghijklmnopqr-pilot-Capt.cfg", row));
    EXPECT_STREQ(row.meshName, "ummu/abcdefghijklmnopqr");
    EXPECT_FALSE(ParseIdConfigFileName("abcdefghijklmnopqrs-pilot-Capt.cfg", row));
    EXPECT_FALSE(ParseIdConfigFileName("ummu.cfg", row));
    EXPECT_FALSE(ParseIdConfigFileName("ummu-pilot.cfg", row));
    EXPECT_FALSE(ParseIdConfigFileName("ummu-pilot-Capt", row));
    EXPECT_FALSE(ParseIdConfigFileName(nullptr, row));
}

TEST(IdConfigTableRows, BuiltInRowsFollowThePassengerRowAndGiveTheEvaMeshWithoutRegardToCase) {
    ResetIdConfigTable(idConfigTable);
    AppendBuiltInIdRows(idConfigTable);
    ASSERT_EQ(idConfigTable.rowCount, 17);
    EXPECT_STREQ(idConfigTable.rows[0].code, "");
    EXPECT_STREQ(idConfigTable.rows[0].meshName, "ummu/ummu");
    EXPECT_STREQ(idConfigTable.rows[1].code, "Capt");
    EXPECT_STREQ(idConfigTable.rows[1].meshName, "ummu/ummup");
    EXPECT_STREQ(idConfigTable.rows[16].profession, "mission specialist");
    // The EVA mesh is found without regard to case, else the default.
    EXPECT_STREQ(CrewManager::SelectEvaMesh("sci"), "ummu/ummuSCI");
    EXPECT_STREQ(CrewManager::SelectEvaMesh("CAPT"), "ummu/ummup");
    EXPECT_STREQ(CrewManager::SelectEvaMesh("Pax"), "ummu/ummu");
    EXPECT_STREQ(CrewManager::SelectEvaMesh(""), "ummu/ummu");
    EXPECT_STREQ(CrewManager::SelectEvaMesh(nullptr), "ummu/ummu");
}

TEST(EvaRotation, ZeroAnglesKeepTheMatrixAndAnglesMultiplyOnTheRight) {
    MATRIX3 m = _M(0, 1, 0, -1, 0, 0, 0, 0, 1);
    MATRIX3 same = ComposeEvaRotation(m, _V(0, 0, 0));
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(same.data[i], m.data[i], 1e-12);
    // M · X(a): the second and third columns of M turn by a.
    double a = 0.3;
    MATRIX3 r = ComposeEvaRotation(identity(), _V(a, 0, 0));
    EXPECT_NEAR(r.m22, cos(a), 1e-12);
    EXPECT_NEAR(r.m23, sin(a), 1e-12);
    EXPECT_NEAR(r.m32, -sin(a), 1e-12);
    MATRIX3 z = ComposeEvaRotation(identity(), _V(0, 0, 1.0));
    EXPECT_NEAR(z.m12, sin(1.0), 1e-12);
    EXPECT_NEAR(z.m21, -sin(1.0), 1e-12);
}

TEST(VersionNotice, DownloadTextForTenSecondsOfEveryFifteenThenOutdatedText) {
    char line[256];
    ASSERT_TRUE(FormatVersionNotice("Corvane", 1000.0 + 2.0, 1020.0, 1, line, sizeof line));
    // fmod(1002, 15) = 12: past the download part.
    EXPECT_STREQ(line, "Your version of UMMU is outdated (18)");
    ASSERT_TRUE(FormatVersionNotice("Corvane", 990.0 + 1.0, 1010.0, 1, line, sizeof line));
    // fmod(991, 15) = 1: the download text.
    EXPECT_EQ(std::string(line),
              std::string("Corvane require \"Universal MMU\" ver 2.0 or higher. Download at ") +
                  ADDON_DOWNLOAD_ADDRESS + " (19)");
}

TEST(VersionNotice, LastFiveSecondsBlinkOffForTheLastQuarterOfEachSecondAndEndEmpty) {
    char line[256];
    ASSERT_TRUE(FormatVersionNotice("Corvane", 1016.5, 1020.0, 1, line, sizeof line));
    EXPECT_STREQ(line, "Your version of UMMU is outdated (4)");
    ASSERT_TRUE(FormatVersionNotice("Corvane", 1016.8, 1020.0, 1, line, sizeof line));
    EXPECT_STREQ(line, "");
    ASSERT_TRUE(FormatVersionNotice("Corvane", 1016.5, 1020.0, 0, line, sizeof line));
    EXPECT_STREQ(line, "Don't Miss Universal MMU 2.0 for Orbiter (UMMU) (4)");
    ASSERT_TRUE(FormatVersionNotice("Corvane", 1002.0, 1020.0, 0, line, sizeof line));
    EXPECT_STREQ(line, "UMMU 2.0 will push this addon one step further. (18)");
    // Over: empty.
    EXPECT_FALSE(FormatVersionNotice("Corvane", 1020.1, 1020.0, 1, line, sizeof line));
    EXPECT_STREQ(line, "");
}

TEST(UMmuStandIn, RecordMatchesItsVesselNameWithUnderscoresAndANumberAndOnlyWholeOnesAreDecoded) {
    EXPECT_TRUE(UMmuRecordMatches("UMmu_Capt-Ilse Marrow", "UMmu_Capt-Ilse_Marrow"));
    EXPECT_TRUE(UMmuRecordMatches("UMmu_Capt-Ilse Marrow", "UMmu_Capt-Ilse_Marrow1"));
    EXPECT_FALSE(UMmuRecordMatches("UMmu_Capt-Ilse Marrow", "UMmu_Capt-Ilse_Marrowx"));
    EXPECT_FALSE(UMmuRecordMatches("UMmu_Capt-Ilse Marrow", "UMmu_Sci-Teodor_Vanke"));
    EXPECT_FALSE(UMmuRecordMatches("", "UMmu_"));
    // Only whole records are decoded.
    unsigned char bytes[CREW_RECORD_SIZE];
    CrewTransferRecord rec{};
    snprintf(rec.vesselName, sizeof rec.vesselName, "%s", "UMmu_Ann");
    rec.age = 35;
    rec.pulse = 65;
    rec.weight = 74;
    PackCrewTransferRecord(rec, bytes);
    UMmuMember m = DefaultUMmuMember();
    EXPECT_FALSE(DecodeUMmuRecord(bytes, 103, m));
    EXPECT_EQ(m.age, 30);
    ASSERT_TRUE(DecodeUMmuRecord(bytes, 104, m));
    EXPECT_STREQ(m.recordName, "UMmu_Ann");
    EXPECT_EQ(m.age, 35);
    EXPECT_EQ(m.weight, 74);
}

TEST(UMmuStandIn, MemberLineSetsAgePulseWeight) {
    UMmuMember m = DefaultUMmuMember();
    EXPECT_TRUE(ParseUMmuMemberLine("MEMBER 35 65 74", m));
    EXPECT_EQ(m.pulse, 65);
    EXPECT_FALSE(ParseUMmuMemberLine("MEMBERS 1 2 3", m));
    EXPECT_FALSE(ParseUMmuMemberLine("MEMBER 1 2", m));
    EXPECT_EQ(m.age, 35);
}

TEST(CrashRule, ThreeMetresPerSecondKillsOnlyWithoutDampenersTenEitherWay) {
    EXPECT_FALSE(IsCrashLanding(-3.0, false));
    EXPECT_TRUE(IsCrashLanding(-3.0001, false));
    EXPECT_FALSE(IsCrashLanding(-5.0, true));
    EXPECT_TRUE(IsCrashLanding(-5.0, false));
    EXPECT_FALSE(IsCrashLanding(-10.0, true));
    EXPECT_TRUE(IsCrashLanding(-10.0, false));
    EXPECT_TRUE(IsCrashLanding(-12.0, true));
    EXPECT_FALSE(IsCrashLanding(4.0, false));
}

TEST(AddCrewDialog, TextsOfTwoToThirtyEightCharactersAreTakenAndTheAgeKeptWithinFiveToHundred) {
    EXPECT_FALSE(IsDialogTextAccepted("7"));
    EXPECT_TRUE(IsDialogTextAccepted("02"));
    EXPECT_TRUE(IsDialogTextAccepted(std::string(38, 'a').c_str()));
    EXPECT_FALSE(IsDialogTextAccepted(std::string(39, 'a').c_str()));
    EXPECT_FALSE(IsDialogTextAccepted(nullptr));
    EXPECT_EQ(DialogAge("02"), 5);
    EXPECT_EQ(DialogAge("250"), 100);
    EXPECT_EQ(DialogAge("old"), 5);
    EXPECT_EQ(DialogAge("42"), 42);
}

// Every function code the add-crew dialog can take, one or two bytes of any value: the crew vessel's name
// holds nothing a scenario's vessel line cannot carry, and the crew line gives the same code back.
TEST(CrewLines, EveryTypedFunctionCodeMakesAVesselNameAndALineThatLoadAgain) {
    for (int a = 1; a < 256; ++a)
        for (int b = 0; b < 256; b += (a < 128 ? 1 : 37)) {
            const char typed[3] = {static_cast<char>(a), static_cast<char>(b), '\0'};
            CrewMember m = Member("Nia Falk", 30, 70, 70, typed);
            CrewManager::NormaliseFunctionCode(m.functionCode);
            char id[64];
            BuildMemberId(m, id, sizeof id);
            std::string vesselName = std::string("UMmu_") + id;
            for (char& c : vesselName)
                c = c == ' ' ? '_' : c; // as the crew vessel is named
            EXPECT_EQ(vesselName.find_first_of(":; \t\r\n"), std::string::npos) << a << " " << b;
            CrewMember back;
            ASSERT_EQ(ParseCrewLine(("UMMUCREW " + Line(m)).c_str(), back), 1) << a << " " << b;
            EXPECT_STREQ(back.functionCode, m.functionCode) << a << " " << b;
        }
}
