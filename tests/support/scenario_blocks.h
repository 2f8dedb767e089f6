// Reading a saved scenario's text in tests: the lines of one vessel's block, or every block by name.
#pragma once

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace hs::test {

// The lines of one vessel's block in a saved scenario, without the name line and the END, each ending in
// '\n'.
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

struct VesselBlock {
    std::string className;
    std::vector<std::string> lines; // trimmed, in file order
};

namespace blocks {

inline std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

inline std::string FirstWord(const std::string& line) {
    return line.substr(0, line.find_first_of(" \t"));
}

} // namespace blocks

// The lines of one vessel's block in a saved scenario, trimmed, in file order.
inline std::vector<std::string> BlockLines(const std::string& scenario, const std::string& name) {
    std::istringstream in(BlockOf(scenario, name));
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);)
        out.push_back(blocks::Trim(line));
    return out;
}

// Vessel name -> block, from the BEGIN_SHIPS section of a scenario's text. The blocks of vessels that share a
// name are gathered under it, one after the other.
inline std::map<std::string, VesselBlock> ReadShips(const std::string& scenarioText) {
    std::map<std::string, VesselBlock> ships;
    std::istringstream in(scenarioText);
    std::string raw;
    bool inShips = false;
    VesselBlock* current = nullptr;
    while (std::getline(in, raw)) {
        std::string line = blocks::Trim(raw);
        if (line == "BEGIN_SHIPS") {
            inShips = true;
        } else if (line == "END_SHIPS") {
            inShips = false;
        } else if (inShips && line == "END") {
            current = nullptr;
        } else if (inShips && current) {
            if (!line.empty()) current->lines.push_back(line);
        } else if (inShips && !line.empty()) {
            size_t colon = line.find(':');
            std::string name = line.substr(0, colon);
            current = &ships[name];
            current->className = colon == std::string::npos ? "" : line.substr(colon + 1);
        }
    }
    return ships;
}

// The lines whose key is one of keys (matched as the whole first word), in file order.
inline std::vector<std::string> LinesWithKeys(const VesselBlock& block,
                                              const std::vector<std::string>& keys) {
    std::vector<std::string> found;
    for (const std::string& line : block.lines)
        for (const std::string& key : keys)
            if (blocks::FirstWord(line) == key) found.push_back(line);
    return found;
}

// The three numbers after key; false when the block has no such line.
inline bool VectorLine(const VesselBlock& block, const std::string& key, double out[3]) {
    for (const std::string& line : block.lines)
        if (blocks::FirstWord(line) == key)
            return std::sscanf(line.c_str() + key.size(), "%lf %lf %lf", &out[0], &out[1], &out[2]) == 3;
    return false;
}

} // namespace hs::test
