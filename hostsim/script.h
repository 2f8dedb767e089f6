// Flight scripts: timed pilot commands, one a line, read from a file and played into the world.
#pragma once

#include "sim.h"

#include <string>
#include <vector>

namespace hs {

// Bounds that keep every run finite: the latest time a script or the command line may name, and the most
// frames a run may fly.
constexpr double MAX_SCRIPT_TIME = 1e9; // s of simulated time
constexpr double MAX_RUN_FRAMES = 1e9;
inline bool RunFitsFrames(double until, double dt) {
    return until / dt <= MAX_RUN_FRAMES;
}

struct ScriptCommand {
    double t = 0.0;   // simulated seconds
    int line = 0;     // line number in the file, for messages
    std::string verb; // key, hold, thgroup, surface, camera, focus, vessel, input, escape, place, dock, attach,
                      // save, playback, quit
    std::vector<std::string> args;
    std::string rest;        // everything after the verb, for input TEXT
    DWORD key = 0;           // key, hold
    std::vector<DWORD> mods; // key, hold
    int frames = 0;          // hold
    int thgroup = 0;         // thgroup
    int surface = 0;         // surface
    double level = 0.0;      // thgroup, surface
    double num[6] = {};      // place offsets; dock/attach indices
};

class Script {
  public:
    // False with "FILE:LINE: what" in err for an unreadable file or a malformed line.
    bool Load(const std::string& path, std::string* err);
    bool Parse(const std::string& text, const std::string& name, std::string* err);

    // Runs commands due at the current time, then one frame, until quit, until the end time (< 0: the last
    // command's time) or the frame count (< 0: no count). Returns false if a command failed at run time.
    // progress, when given, is called every PROGRESS_FRAMES frames with the simulated time and the frames done.
    void Run(Sim& sim, double until, long frames, void (*progress)(double simt, long done) = nullptr);
    static constexpr long PROGRESS_FRAMES = 256;
    bool Quit() const { return quit_; }
    double LastTime() const { return commands_.empty() ? 0.0 : commands_.back().t; }
    const std::vector<ScriptCommand>& Commands() const { return commands_; }
    int RuntimeErrors() const { return runtimeErrors_; }

    // The files the script's save commands write, as written there (relative to <root>/Scenarios).
    std::vector<std::string> SavePaths() const;
    // One line per command: how it is written and what it does.
    static std::string Help();

    // Executes one command now (the runner calls it when the command is due).
    void Execute(Sim& sim, const ScriptCommand& c);

  private:
    void WarnSharedName(Sim& sim, const ScriptCommand& c, const std::string& name);
    std::string name_;
    std::vector<ScriptCommand> commands_;
    size_t next_ = 0;
    std::string target_; // vessel the next keys and levels go to; empty: the focus
    bool quit_ = false;
    int runtimeErrors_ = 0;
};

// "Ctrl+Shift+F12" -> key and left-hand modifiers; false for a name the host does not know.
bool ParseChord(const std::string& chord, DWORD* key, std::vector<DWORD>* mods);

} // namespace hs
