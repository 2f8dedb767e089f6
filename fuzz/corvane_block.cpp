// Fuzz target: the lines of a Corvane's scenario block, loaded through the host, saved, loaded and saved again.
#include "fuzz_host.h"

#include <cstdio>
#include <cstring>

namespace {

std::string Scenario(const std::string& block) {
    return "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 52199.6667303507\nEND_ENVIRONMENT\n"
           "BEGIN_SHIPS\nCorvane-1:Corvane\n" +
           block + "\nEND\nEND_SHIPS\n";
}

std::string LoadAndSave(const std::string& text, bool* loaded) {
    fuzzhost::FreshWorld();
    fuzzhost::WriteFile("Scenarios/Fuzz/Block.scn", text);
    std::string err;
    *loaded = hs::Sim::Get().LoadScenario(fuzzhost::Root() + "/Scenarios/Fuzz/Block.scn", &err);
    return *loaded ? hs::Sim::Get().ScenarioText() : std::string();
}

// The lines the Corvane writes itself: its twelve keys and the crew.
std::string OwnLines(const std::string& scenario) {
    static const char* const KEYS[] = {"FTL ",  "HWIN ",  "GEAR ", "CANP ",  "CANC ",  "VIS ",     "VIEW ",
                                       "BRAKE ", "MAIN ", "BOOST ", "INDMP ", "AMMO ", "UMMUCREW "};
    std::string own;
    size_t start = 0;
    while (start < scenario.size()) {
        size_t end = scenario.find('\n', start);
        if (end == std::string::npos) end = scenario.size();
        const std::string line = scenario.substr(start, end - start);
        const size_t text = line.find_first_not_of(' ');
        if (text != std::string::npos)
            for (const char* key : KEYS)
                if (line.compare(text, strlen(key), key) == 0) own += line + "\n";
        start = end + 1;
    }
    return own;
}

void CheckSame(const std::string& a, const std::string& b, const char* what) {
    if (a == b) return;
    fprintf(stderr, "first:\n%s\nsecond:\n%s\n", a.c_str(), b.c_str());
    fuzzhost::Fail(what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bool loaded = false;
    const std::string first = LoadAndSave(Scenario(fuzzhost::Text(data, size)), &loaded);
    if (!loaded) return 0;
    // Whatever a block held, what the host saved from it loads again, and the ship's own lines come back as
    // they were saved. The host's own lines need one more round: as the host does, it leaves out an
    // AFCMODE of 0, and a block without the line loads with all surfaces on.
    const std::string second = LoadAndSave(first, &loaded);
    if (!loaded) fuzzhost::Fail("a saved scenario does not load again");
    CheckSame(OwnLines(first), OwnLines(second), "the Corvane's lines differ after save, load and save");
    const std::string third = LoadAndSave(second, &loaded);
    if (!loaded) fuzzhost::Fail("a twice-saved scenario does not load again");
    CheckSame(second, third, "the second and third saves differ");
    // The loaded state also flies: a few frames with the pilot at the gun.
    hs::Sim::Get().HoldKey(OAPI_KEY_1, 3);
    hs::Sim::Get().RunFrames(3);
    return 0;
}
