// The roster of one vessel and the process-wide function-code table of the crew add-on.
#include "crew_manager.h"
#include "crew_text.h"
#include "portable.h"

#include <cctype>
#include <cstring>

using crewtext::CopyCut;

IdConfigTable idConfigTable;

namespace {

struct BuiltInIdRow {
    const char* code;
    const char* profession;
    const char* meshName;
};

// The add-on's own functions, used when no full set of ID files is installed.
constexpr BuiltInIdRow BUILT_IN_ID_ROWS[] = {
    {"Capt", "pilot", "ummu/ummup"},
    {"Ast", "astronaut", "ummu/ummu"},
    {"Sec", "security", "ummu/ummuSEC"},
    {"Vip", "vip", "ummu/ummuVIP"},
    {"Sci", "scientist", "ummu/ummuSCI"},
    {"Bio", "biologist", "ummu/ummuSCI"},
    {"Doc", "doctor", "ummu/ummuMED"},
    {"Geo", "geologist", "ummu/ummuSCI"},
    {"Exo", "exobiologist", "ummu/ummuSCI"},
    {"Clim", "climatologist", "ummu/ummuSCI"},
    {"APhy", "astrophysicist", "ummu/ummuSCI"},
    {"Chem", "chemist", "ummu/ummuSCI"},
    {"Eng", "engineer", "ummu/ummuTECH"},
    {"Min", "miner", "ummu/ummuTECH"},
    {"Tech", "technician", "ummu/ummuTECH"},
    {"Spe", "mission specialist", "ummu/ummuTECH"},
};

constexpr const char* DEFAULT_EVA_MESH = "ummu/ummu";
constexpr size_t MAX_MESH_PART = 18;     // characters of the mesh part of an ID file name
constexpr size_t MAX_PROFESSION = 24;    // characters of a profession word
constexpr int BUILT_IN_ROWS_UP_TO = 14;  // with more rows than this the ID files are a full set
constexpr size_t MAX_NAME_ARGUMENT = 39; // longer name arguments never match anybody

bool AppendIdRow(IdConfigTable& table, const char* code, const char* profession, const char* meshName) {
    if (table.rowCount < 0 || table.rowCount >= MAX_ID_CONFIG_ROWS) return false;
    IdConfigRow& row = table.rows[table.rowCount++];
    crewtext::Copy(row.code, code);
    crewtext::Copy(row.profession, profession);
    crewtext::Copy(row.meshName, meshName);
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
// Function-code table
// ---------------------------------------------------------------------------

void ResetIdConfigTable(IdConfigTable& table) {
    memset(&table, 0, sizeof table);
    AppendIdRow(table, "", "passenger", DEFAULT_EVA_MESH);
}

void AppendBuiltInIdRows(IdConfigTable& table) {
    for (const BuiltInIdRow& r : BUILT_IN_ID_ROWS)
        AppendIdRow(table, r.code, r.profession, r.meshName);
}

// ID files are named "<mesh>-<profession>-<code>.cfg"; only the name carries information.
bool ParseIdConfigFileName(const char* fileName, IdConfigRow& row) {
    memset(&row, 0, sizeof row);
    if (!fileName) return false;
    const char* dash1 = strchr(fileName, '-');
    if (!dash1) return false;
    size_t meshLen = static_cast<size_t>(dash1 - fileName);
    if (meshLen > MAX_MESH_PART) return false;
    const char* profession = dash1 + 1;
    const char* dash2 = strchr(profession, '-');
    if (!dash2) return false;
    const char* code = dash2 + 1;
    const char* dot = strchr(code, '.');
    if (!dot) return false;
    size_t codeLen = static_cast<size_t>(dot - code);
    if (codeLen < 2 || codeLen > 4) return false;

    memcpy(row.meshName, "ummu/", 5);
    memcpy(row.meshName + 5, fileName, meshLen);
    row.meshName[5 + meshLen] = '\0';
    size_t professionLen = static_cast<size_t>(dash2 - profession);
    CopyCut(row.profession, sizeof row.profession, profession,
            professionLen < MAX_PROFESSION ? professionLen : MAX_PROFESSION);
    CopyCut(row.code, sizeof row.code, code, codeLen);
    return true;
}

void CrewManager::LoadIdConfigTable() {
    ResetIdConfigTable(idConfigTable);
    WIN32_FIND_DATAA found;
    HANDLE walk = FindFirstFileA(CREW_ID_FILE_PATTERN, &found);
    if (walk != INVALID_HANDLE_VALUE) {
        BOOL more = TRUE;
        while (more && idConfigTable.rowCount < ID_SCAN_ROW_LIMIT) {
            IdConfigRow row;
            if (ParseIdConfigFileName(found.cFileName, row))
                AppendIdRow(idConfigTable, row.code, row.profession, row.meshName);
            more = FindNextFileA(walk, &found);
        }
        FindClose(walk);
    }
    if (idConfigTable.rowCount <= BUILT_IN_ROWS_UP_TO) AppendBuiltInIdRows(idConfigTable);
}

const char* CrewManager::SelectEvaMesh(const char* functionCode) {
    if (!functionCode || !functionCode[0]) return DEFAULT_EVA_MESH;
    int rows = idConfigTable.rowCount < MAX_ID_CONFIG_ROWS ? idConfigTable.rowCount : MAX_ID_CONFIG_ROWS;
    for (int i = 0; i < rows && idConfigTable.rows[i].meshName[0]; ++i) {
        if (crewtext::EqualNoCase(idConfigTable.rows[i].code, functionCode))
            return idConfigTable.rows[i].meshName;
    }
    return DEFAULT_EVA_MESH;
}

// ---------------------------------------------------------------------------
// Roster
// ---------------------------------------------------------------------------

void CrewManager::SanitiseCrewName(char* text) {
    if (!text) return;
    for (; *text; ++text) {
        unsigned char c = static_cast<unsigned char>(*text);
        bool keep = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!keep) *text = ' ';
    }
}

int CrewManager::FindSeat(const char* name) const {
    if (!name || crewtext::BoundedLength(name, MAX_NAME_ARGUMENT + 1) > MAX_NAME_ARGUMENT) return -1;
    int count = crewCount < MAX_CREW_SEATS ? crewCount : MAX_CREW_SEATS;
    for (int seat = 0; seat < count; ++seat) {
        if (crewtext::EqualNoCase(roster[seat].name, name)) return seat;
    }
    return -1;
}

void CrewManager::AddToEmptyMass(double kg) {
    if (ownerVessel) oapiSetEmptyMass(ownerVessel, oapiGetEmptyMass(ownerVessel) + kg);
}

// Other vessels read the free seats from the airlock point before they send anybody over.
void CrewManager::PublishFreeSeats() {
    Slot().Publish(Slot().airlockState, 0, seatCount - crewCount);
}

// A function code as its crew line and its crew vessel's name can carry it: the line is one word whose first
// '-' ends the code, so the code ends at its first '-'; blanks and control characters become the underscores
// the line writes for blanks, and so do ':' (it would end a vessel's name in a scenario) and ';' (it would
// start a comment there).
void CrewManager::NormaliseFunctionCode(char* code) {
    if (!code) return;
    char* dash = strchr(code, '-');
    if (dash) *dash = '\0';
    for (; *code; ++code) {
        const unsigned char c = static_cast<unsigned char>(*code);
        if (isspace(c) || iscntrl(c) || c == ':' || c == ';') *code = '_';
    }
}

int CrewManager::AddMember(const char* name, int age, int pulse, int weight, const char* functionCode) {
    // A member without a name could be saved but never loaded again: the roster does not take one.
    if (!IsReady() || !name || !name[0] || crewCount >= seatCount || crewCount >= MAX_CREW_SEATS) return 0;
    CrewMember& m = roster[crewCount];
    memset(&m, 0, sizeof m);
    CopyCut(m.name, sizeof m.name, name, CREW_NAME_CUT);
    SanitiseCrewName(m.name);
    CopyCut(m.functionCode, sizeof m.functionCode, functionCode, CREW_CODE_CUT);
    NormaliseFunctionCode(m.functionCode);
    m.age = age < 1 ? 1 : (age > 140 ? 140 : age);
    m.pulse = pulse < 0 ? 0 : (pulse > 180 ? 180 : pulse);
    m.weight = weight < 5 ? 5.0 : (weight > 300 ? 300.0 : static_cast<double>(weight));
    AddToEmptyMass(m.weight);
    ++crewCount;
    totalCrewMass += m.weight;
    PublishFreeSeats();
    return 1;
}

int CrewManager::RemoveMember(const char* name) {
    if (!IsReady() || crewCount < 1) return 0;
    int seat = FindSeat(name);
    if (seat < 0) return 0;
    double weight = roster[seat].weight;
    AddToEmptyMass(-weight);
    totalCrewMass -= weight;
    int last = crewCount - 1;
    if (seat != last) {
        // The last member takes the freed seat, so seats stay packed.
        CrewMember& gap = roster[seat];
        const CrewMember& from = roster[last];
        memcpy(gap.name, from.name, sizeof gap.name);
        memcpy(gap.functionCode, from.functionCode, sizeof gap.functionCode);
        gap.age = from.age;
        gap.pulse = from.pulse;
        gap.weight = from.weight;
    }
    --crewCount;
    PublishFreeSeats();
    return 1;
}

int CrewManager::GetCrewCount() const {
    return IsReady() ? crewCount : 0;
}

const char* CrewManager::GetMemberName(int seat) const {
    if (!IsReady() || seat < 0 || seat >= crewCount || seat >= MAX_CREW_SEATS) return "";
    return roster[seat].name;
}

int CrewManager::SetMemberPulse(int seat, int value) {
    if (!IsReady() || seat < 0 || seat >= crewCount || seat >= MAX_CREW_SEATS) return -1;
    roster[seat].pulse = value < 0 ? 0 : (value > 130 ? 130 : value);
    return 1;
}

int CrewManager::GetMemberAge(const char* name) const {
    if (!IsReady()) return -1;
    int seat = FindSeat(name);
    return seat < 0 ? -1 : roster[seat].age;
}

const char* CrewManager::GetMemberFunction(const char* name) const {
    if (!IsReady()) return "";
    int seat = FindSeat(name);
    return seat < 0 ? "" : roster[seat].functionCode;
}

const char* CrewManager::GetLastEnteredName() const {
    return lastEnteredName;
}
const char* CrewManager::GetLastLeftName() const {
    return lastLeftName;
}
const char* CrewManager::GetLastRefusedName() const {
    return lastRefusedName;
}
