// Fuzz target: the flight-script reader. Scripts are parsed only: a played one may save files anywhere.
#include "fuzz_host.h"
#include "script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    hs::Script script;
    std::string err;
    const bool ok = script.Parse(fuzzhost::Text(data, size), "Fuzz.txt", &err);
    if (!ok && err.empty()) fuzzhost::Fail("a refused script says nothing");
    // Commands come in time order, as the runner plays them, at times a run reaches; a save stays under
    // Scenarios.
    double last = -1e300;
    for (const hs::ScriptCommand& c : script.Commands()) {
        if (c.t < last) fuzzhost::Fail("script commands out of time order");
        if (!(c.t <= hs::MAX_SCRIPT_TIME)) fuzzhost::Fail("a script time no run reaches");
        if (c.verb == "save" && (c.args[0][0] == '/' || c.args[0].find_first_of("\\:") != std::string::npos ||
                                 c.args[0].find("..") != std::string::npos))
            fuzzhost::Fail("a save outside Scenarios");
        last = c.t;
    }
    return 0;
}
