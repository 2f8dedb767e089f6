// Reading a saved scenario's text in tests: the lines of one vessel's block.
#pragma once

#include <sstream>
#include <string>

namespace hs::test {

// The lines of one vessel's block in a saved scenario, without the name line and the END, each ending in '\n'.
inline std::string BlockOf(const std::string& scenario, const std::string& name) {
    std::istringstream in(scenario);
    std::string line, out;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!inside) {
            inside = line.rfind(name + ":", 0) == 0;
            continue;
        }
        if (line == "END") break;
        out += line + "\n";
    }
    return out;
}

} // namespace hs::test
