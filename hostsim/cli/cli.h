// The hostsim command's parts: its command line, the checks before a flight, and the progress line.
#pragma once

#include "sim.h"

#include <cstdio>
#include <string>

namespace cli {

// The command's exit statuses. When several apply, the lowest non-zero one is given.
enum ExitStatus {
    EXIT_DONE = 0,          // the run ended and did everything asked
    EXIT_MISSING = 1,       // a class file, module, plugin or root is missing, or an output could not be written
    EXIT_BAD_INPUT = 2,     // bad options, script, scenario, or an output path that cannot be written
    EXIT_SCRIPT_FAILED = 3, // a script command could not be carried out
    EXIT_MISUSE = 4,        // --strict, and the host counted misuse
    EXIT_NOT_MODELLED = 5,  // --modelled-only and a module called what hostsim does not model; check: the same
};

struct CommandLine {
    hs::SimOptions opt;
    std::string scenario, scriptPath, savePath, telemetry;
    double until = -1.0;            // s of simulated time; < 0: not given
    long frames = -1;               // < 0: not given
    double telemetryInterval = 1.0; // s
    bool strict = false;            // misuse fails the run
    bool quiet = false;             // no progress on standard error
};

// Reads the options after "run"; false with a one-line message (without the program's name) in err.
bool ParseOptions(int argc, char** argv, int first, CommandLine* cl, std::string* err);
// hostsim check MODULE... | --host: the host functions the files import, modelled or not.
int Check(int argc, char** argv, int first);
// The full usage text.
void PrintHelp(FILE* out);
// A one-line hint for a word that is no option: the nearest option's name, if one is near.
std::string OptionHint(const std::string& word);

// A path the run will write: its folder exists and takes files, and the file, if there, may be replaced.
// False with why in err.
bool CanWrite(const std::string& path, std::string* err);

// The progress line on standard error for long runs: a bar redrawn in place on a terminal, else a line every
// few seconds. Timeline lines on standard output wipe a bar first.
void ProgressStart(bool enabled, double until, long frames, double dt);
void ProgressShow(double simt, long done);
void ProgressClear();
double ProgressElapsed(); // s of real time since the start

} // namespace cli
