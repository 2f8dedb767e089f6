// Saved scenarios read back as vessel blocks.
#include "scenario_blocks.h"

#include <cstdio>
#include <sstream>

namespace realhost {

namespace {

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

std::string FirstWord(const std::string& line) {
    return line.substr(0, line.find_first_of(" \t"));
}

} // namespace

std::map<std::string, VesselBlock> ReadShips(const std::string& scenarioText) {
    std::map<std::string, VesselBlock> ships;
    std::istringstream in(scenarioText);
    std::string raw;
    bool inShips = false;
    VesselBlock* current = nullptr;
    while (std::getline(in, raw)) {
        std::string line = Trim(raw);
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

std::vector<std::string> LinesWithKeys(const VesselBlock& block, const std::vector<std::string>& keys) {
    std::vector<std::string> found;
    for (const std::string& line : block.lines)
        for (const std::string& key : keys)
            if (FirstWord(line) == key) found.push_back(line);
    return found;
}

bool VectorLine(const VesselBlock& block, const std::string& key, double out[3]) {
    for (const std::string& line : block.lines)
        if (FirstWord(line) == key)
            return std::sscanf(line.c_str() + key.size(), "%lf %lf %lf", &out[0], &out[1], &out[2]) == 3;
    return false;
}

} // namespace realhost
