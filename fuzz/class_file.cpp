// Fuzz target: the host's class-file reader: a fuzzed class file for a vessel of each module, created and flown.
#include "fuzz_host.h"

namespace {

// The first input byte picks the module; the harness names it first, as the host takes the first match. A
// module picked by the input itself could be any file on the machine.
constexpr const char* CLASS_MODULES[] = {"", "Corvane", "Pellorin", "Stand-ins\\UMmu", "Stand-ins\\Carrier"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const char* module = CLASS_MODULES[data[0] % (sizeof CLASS_MODULES / sizeof CLASS_MODULES[0])];
    fuzzhost::FreshWorld();
    fuzzhost::WriteFile("Config/Vessels/FuzzClass.cfg",
                        std::string("Module = ") + module + "\n" + fuzzhost::Text(data + 1, size - 1));
    std::string err;
    if (!hs::Sim::Get().CreateVessel("Fuzz-1", "FuzzClass", nullptr, &err)) return 0;
    hs::Sim::Get().SetVisuals(true);
    hs::Sim::Get().RunFrames(2);
    (void)hs::Sim::Get().ScenarioText();
    return 0;
}
