// Flight scripts: timed pilot commands, one a line, read from a file and played into the world.
#pragma once

#include "script_text.h"
#include "sim.h"

#include <string>
#include <vector>

namespace hs {

// A script played into hostsim's world.
class Script : public ScriptText {
  public:
    // Runs commands due at the current time, then one frame, until quit, until the end time (< 0: the last
    // command's time) or the frame count (< 0: no count). Returns false if a command failed at run time.
    // progress, when given, is called every PROGRESS_FRAMES frames with the simulated time and the frames
    // done.
    void Run(Sim& sim, double until, long frames, void (*progress)(double simt, long done) = nullptr);
    static constexpr long PROGRESS_FRAMES = 256;
    bool Quit() const { return quit_; }
    int RuntimeErrors() const { return runtimeErrors_; }

    // Executes one command now (the runner calls it when the command is due).
    void Execute(Sim& sim, const ScriptCommand& c);

  private:
    void WarnSharedName(Sim& sim, const ScriptCommand& c, const std::string& name);
    size_t next_ = 0;
    std::string target_; // vessel the next keys and levels go to; empty: the focus
    bool quit_ = false;
    int runtimeErrors_ = 0;
};

} // namespace hs
