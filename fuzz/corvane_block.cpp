// Fuzz target: the lines of a Corvane's scenario block, loaded through the host, saved, loaded and saved again.
#include "fuzz_host.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bool loaded = false;
    const std::string first = LoadAndSave(Scenario(fuzzhost::Text(data, size)), &loaded);
    if (!loaded) return 0;
    // Whatever a block held, what the host saved from it loads again and saves to the same text.
    const std::string second = LoadAndSave(first, &loaded);
    if (!loaded) fuzzhost::Fail("a saved scenario does not load again");
    if (second != first) {
        fprintf(stderr, "first save:\n%s\nsecond save:\n%s\n", first.c_str(), second.c_str());
        fuzzhost::Fail("save, load and save again gave different text");
    }
    // The loaded state also flies: a few frames with the pilot at the gun.
    hs::Sim::Get().HoldKey(OAPI_KEY_1, 3);
    hs::Sim::Get().RunFrames(3);
    return 0;
}
