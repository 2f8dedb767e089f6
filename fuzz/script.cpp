// Fuzz target: the flight-script reader. Scripts are parsed only: a played one may save files anywhere.
#include "fuzz_host.h"
#include "script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    hs::Script script;
    std::string err;
    const bool ok = script.Parse(fuzzhost::Text(data, size), "Fuzz.txt", &err);
    if (!ok && err.empty()) fuzzhost::Fail("a refused script says nothing");
    // Commands come in time order, as the runner plays them.
    double last = -1e300;
    for (const hs::ScriptCommand& c : script.Commands()) {
        if (c.t < last) fuzzhost::Fail("script commands out of time order");
        last = c.t;
    }
    return 0;
}
