// Saved scenarios read back as vessel blocks, for comparing what two hosts saved.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace realhost {

struct VesselBlock {
    std::string className;
    std::vector<std::string> lines; // trimmed, in file order
};

// Vessel name -> block, from the BEGIN_SHIPS section of a scenario's text.
std::map<std::string, VesselBlock> ReadShips(const std::string& scenarioText);

// The lines whose key is one of keys (matched as the whole first word), in file order.
std::vector<std::string> LinesWithKeys(const VesselBlock& block, const std::vector<std::string>& keys);

// The three numbers after key; false when the block has no such line.
bool VectorLine(const VesselBlock& block, const std::string& key, double out[3]);

} // namespace realhost
