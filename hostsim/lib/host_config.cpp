// The host's own configuration (Orbiter_NG.cfg in the root): the settings of it that hostsim follows.
#include "host.h"

#include <fstream>
#include <strings.h>

namespace hs {

// "Key = TRUE" or "FALSE" as the host writes them; a missing file or key keeps the host's default (off).
void ReadHostConfig() {
    World& w = W();
    w.radiationPressure = false;
    std::ifstream in("Orbiter_NG.cfg");
    for (std::string line; std::getline(in, line);) {
        char key[64] = "", value[16] = "";
        if (sscanf(line.c_str(), " %63[^= \t] = %15s", key, value) != 2) continue;
        if (strcasecmp(key, "RadiationPressure") == 0) w.radiationPressure = strcasecmp(value, "TRUE") == 0;
    }
    if (w.radiationPressure) Say("the host's configuration asks for the Sun's radiation pressure");
}

} // namespace hs
