// The fuzz targets' host: a private copy of the assembled host root and a fresh world for every input.
#pragma once

#include "sim.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzhost {

// The private root: made on first use (a copy of the assembled one, modules shared) and removed at exit.
const std::string& Root();
// Starts the world anew on the private root: the last input's vessels, files, keys and timeline are gone.
// The vessel modules stay mapped for the whole run, so the fuzzer's coverage counters inside them stay valid.
void FreshWorld(double dt = 1.0 / 60.0);
// Writes bytes into a file of the private root (folders made as needed).
void WriteFile(const std::string& rel, const std::string& bytes);
std::string Text(const uint8_t* data, size_t size);
// Stops the run with a message: a broken invariant is a finding like a crash.
[[noreturn]] void Fail(const char* what);

} // namespace fuzzhost
