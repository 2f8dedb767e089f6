// What the Corvane benchmarks share with the table of targets: the private host root and the fleet scenario.
#pragma once

#include <string>

const std::string& BenchRootPath(); // a private copy of the assembled host root
std::string FleetScenario(int n);   // n Corvanes in a row in a circular orbit, the first in focus
std::string WriteBenchScenario(const std::string& name, const std::string& text); // into its Scenarios/
