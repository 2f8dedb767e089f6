// Fuzz target: the host's scenario reader, given a whole scenario file, then one frame and a save.
#include "fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzhost::FreshWorld();
    fuzzhost::WriteFile("Scenarios/Fuzz/Whole.scn", fuzzhost::Text(data, size));
    std::string err;
    if (!hs::Sim::Get().LoadScenario(fuzzhost::Root() + "/Scenarios/Fuzz/Whole.scn", &err)) {
        if (hs::Sim::Get().LastError() == hs::Sim::LOAD_OK) fuzzhost::Fail("a failed load reports success");
        return 0;
    }
    hs::Sim::Get().Frame();
    (void)hs::Sim::Get().ScenarioText();
    return 0;
}
