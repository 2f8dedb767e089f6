// Fuzz target: a Corvane class file with fuzzed items, the "AMMO" item above all, then a burst of the railgun.
#include "fuzz_host.h"

#include <cstring>

namespace {

// The saved "AMMO" value of the scenario text, or an empty string.
std::string SavedAmmo(const std::string& scenario) {
    const std::string key = "\n  AMMO ";
    size_t at = scenario.find(key);
    if (at == std::string::npos) return std::string();
    at += key.size();
    return scenario.substr(at, scenario.find('\n', at) - at);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzhost::FreshWorld();
    // The module line comes first, so the class is always a Corvane: the host takes the first match.
    fuzzhost::WriteFile("Config/Vessels/FuzzCorvane.cfg",
                        "Module = Corvane\nClassName = FuzzCorvane\n" + fuzzhost::Text(data, size));
    std::string err;
    OBJHANDLE ship = hs::Sim::Get().CreateVessel("Corvane-1", "FuzzCorvane", nullptr, &err);
    if (!ship) return 0;
    const std::string ammo = SavedAmmo(hs::Sim::Get().ScenarioText());
    if (ammo.empty() || ammo.size() > 27) {
        fprintf(stderr, "saved AMMO value: [%s]\n", ammo.c_str());
        fuzzhost::Fail("the railgun's class is empty or longer than its buffer");
    }
    // A class name that leaves the host's folders would have it load a module from anywhere; a subfolder's
    // class ("Weapons\\Slug") stays inside.
    if (ammo.find_first_of("/:") != std::string::npos || ammo.find("..") != std::string::npos || ammo[0] == '\\') {
        fprintf(stderr, "saved AMMO value: [%s]\n", ammo.c_str());
        fuzzhost::Fail("the railgun took a class name that names a path");
    }
    // The eleventh call of the fire cycle loads the first projectile of whatever class was read.
    hs::Sim::Get().HoldKey(OAPI_KEY_1, 12);
    hs::Sim::Get().RunFrames(13);
    return 0;
}
