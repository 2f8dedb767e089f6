// Fuzz target: crew scenario lines, parsed on their own and loaded into a ready crew manager.
#include "crew/crew_manager.h"
#include "fuzz_host.h"

#include <cstring>
#include <memory>

namespace {

bool SameMember(const CrewMember& a, const CrewMember& b) {
    return strcmp(a.name, b.name) == 0 && strcmp(a.functionCode, b.functionCode) == 0 && a.age == b.age &&
           a.pulse == b.pulse && a.weight == b.weight;
}

void CheckTerminated(const CrewMember& m) {
    if (strnlen(m.name, sizeof m.name) >= sizeof m.name || strnlen(m.functionCode, sizeof m.functionCode) >= sizeof m.functionCode)
        fuzzhost::Fail("a crew record holds an unterminated text");
}

// A member read from a line is written back as a line that reads to the same member.
void CheckRoundTrip(const std::string& line) {
    CrewMember m;
    if (ParseCrewLine(line.c_str(), m) != 1) return;
    CheckTerminated(m);
    char value[300];
    FormatCrewLine(m, value, sizeof value);
    std::string again = std::string("UMMUCREW ") + value;
    CrewMember back;
    if (ParseCrewLine(again.c_str(), back) != 1 || !SameMember(m, back)) {
        fprintf(stderr, "line: [%s]\nwritten back: [%s]\n", line.c_str(), again.c_str());
        fuzzhost::Fail("a crew line does not read back to the same member");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = fuzzhost::Text(data, size);
    fuzzhost::FreshWorld();
    OBJHANDLE hull = hs::Sim::Get().CreateVessel("Hull", "Target", nullptr, nullptr);
    if (!hull) fuzzhost::Fail("no hull");
    std::unique_ptr<CrewManager> crew(new CrewManager());
    crew->Initialise(hull);
    crew->DefineAirlock(0, -1.5f, 1.5f, -2.5f, 3.0f, 1.0f, 4.0f);
    crew->SetSeatCount(8);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        CheckRoundTrip(line);
        crew->LoadCrewLine(line.c_str());
        start = end + 1;
    }
    if (crew->GetCrewCount() < 0 || crew->GetCrewCount() > 8) fuzzhost::Fail("crew count outside the seats");
    for (int seat = 0; seat < crew->GetCrewCount(); ++seat) {
        CheckTerminated(crew->roster[seat]);
        if (!crew->GetMemberName(seat)) fuzzhost::Fail("a seat below the crew count is empty");
    }
    return 0;
}
