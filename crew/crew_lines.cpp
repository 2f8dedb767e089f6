// The "UMMUCREW" scenario lines that carry the crew through a saved scenario.
#include "crew_manager.h"
#include "crew_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* CREW_LINE_KEY = "UMMUCREW";
constexpr size_t CREW_LINE_KEY_LENGTH = 8;
constexpr size_t CREW_LINE_VALUE_SIZE = 300;
constexpr size_t NUMBER_CUT = 5; // characters read for one number of a crew line

// The number after the '-' at dash, read from at most five characters and ended at the next '-'. False when
// those characters hold no number at all (an empty field is not a pulse of 0).
bool ReadLineNumber(const char* dash, int& value) {
    char digits[NUMBER_CUT + 1];
    crewtext::CopyCut(digits, sizeof digits, dash + 1, NUMBER_CUT);
    char* end = strchr(digits, '-');
    if (end) *end = '\0';
    char* after = nullptr;
    value = static_cast<int>(strtol(digits, &after, 10));
    return after != digits;
}

} // namespace

int FormatCrewLine(const CrewMember& m, char* out, size_t outSize) {
    if (!out || outSize == 0) return 0;
    char name[sizeof m.name];
    char code[sizeof m.functionCode];
    crewtext::Copy(name, m.name);
    crewtext::Copy(code, m.functionCode);
    int n = snprintf(out, outSize, "%s-%s-%i-%i-%i", code, name, m.age, m.pulse, static_cast<int>(m.weight));
    // The line is one word: the host's reader splits key and value at the first blank.
    crewtext::ReplaceChar(out, ' ', '_');
    if (n < 0) return 0;
    return static_cast<size_t>(n) < outSize ? n : static_cast<int>(outSize - 1);
}

int ParseCrewLine(const char* line, CrewMember& out) {
    memset(&out, 0, sizeof out);
    if (!line || !crewtext::PrefixNoCase(line, CREW_LINE_KEY, CREW_LINE_KEY_LENGTH)) return 0;
    char word[400] = {};
    if (sscanf(line + CREW_LINE_KEY_LENGTH, "%399s", word) != 1) return 0;

    if (word[0] != '-') {
        crewtext::CopyCut(out.functionCode, sizeof out.functionCode, word, CREW_CODE_CUT);
        CrewManager::NormaliseFunctionCode(out.functionCode);
    }
    const char* dash = strchr(word, '-');
    if (!dash) {
        memset(&out, 0, sizeof out);
        return 0;
    }
    const char* nameStart = dash + 1;
    crewtext::CopyCut(out.name, sizeof out.name, nameStart, CREW_NAME_CUT);
    char* nameEnd = strchr(out.name, '-');
    if (nameEnd) *nameEnd = '\0';
    crewtext::ReplaceChar(out.name, '_', ' ');
    CrewManager::SanitiseCrewName(out.name);
    if (!out.name[0]) {
        memset(&out, 0, sizeof out);
        return 0;
    }

    struct NumberField {
        int lo, hi;
    };
    // Age, pulse, weight kg. A member killed in a crash is saved with pulse 0 and refused here, so the dead do
    // not come back with a reloaded scenario.
    constexpr NumberField FIELDS[3] = {{1, 140}, {1, 180}, {5, 300}};
    int values[3] = {};
    const char* at = nameStart;
    for (int i = 0; i < 3; ++i) {
        at = strchr(at, '-');
        if (!at) {
            memset(&out, 0, sizeof out);
            return 0;
        }
        if (!ReadLineNumber(at, values[i]) || values[i] < FIELDS[i].lo || values[i] > FIELDS[i].hi) {
            memset(&out, 0, sizeof out);
            return 0;
        }
        ++at;
    }
    out.age = values[0];
    out.pulse = values[1];
    out.weight = values[2];
    return 1;
}

int CrewManager::SaveCrew(FILEHANDLE scn) {
    if (!IsReady() || crewCount < 1 || !scn) return 0;
    int count = crewCount < MAX_CREW_SEATS ? crewCount : MAX_CREW_SEATS;
    for (int seat = 0; seat < count; ++seat) {
        char value[CREW_LINE_VALUE_SIZE];
        FormatCrewLine(roster[seat], value, sizeof value);
        oapiWriteScenario_string(scn, (char*)CREW_LINE_KEY, value);
    }
    return 1;
}

int CrewManager::LoadCrewLine(const char* line) {
    if (!IsReady() || !line) return 0;
    if (loadedLines == -1) {
        // The scenario's crew replaces the one the class set-up put aboard, once per vessel.
        AddToEmptyMass(-totalCrewMass);
        memset(roster, 0, sizeof roster);
        totalCrewMass = 0.0;
        crewCount = 0;
        loadedLines = 0;
        PublishFreeSeats();
    }
    if (crewCount >= seatCount || crewCount >= MAX_CREW_SEATS) return 0;
    CrewMember& m = roster[crewCount];
    if (!ParseCrewLine(line, m)) return 0;
    ++loadedLines;
    AddToEmptyMass(m.weight);
    ++crewCount;
    totalCrewMass += m.weight;
    PublishFreeSeats();
    return 1;
}
