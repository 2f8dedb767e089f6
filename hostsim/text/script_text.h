// Flight scripts as text: timed pilot commands, one a line, read from a file and checked before a frame is
// flown. hostsim plays them into its world; the real host's script player plays the same file there.
#pragma once

#include "portable.h"

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
    std::string verb; // key, hold, thgroup, surface, camera, focus, vessel, input, escape, place, dock,
                      // attach, save, playback, quit
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

class ScriptText {
  public:
    // False with "FILE:LINE: what" in err for an unreadable file or a malformed line.
    bool Load(const std::string& path, std::string* err);
    bool Parse(const std::string& text, const std::string& name, std::string* err);

    double LastTime() const { return commands_.empty() ? 0.0 : commands_.back().t; }
    const std::vector<ScriptCommand>& Commands() const { return commands_; }
    const std::string& Name() const { return name_; }
    // The files the script's save commands write, as written there (relative to <root>/Scenarios).
    std::vector<std::string> SavePaths() const;
    // One line per command: how it is written and what it does.
    static std::string Help();

  protected:
    std::string name_;
    std::vector<ScriptCommand> commands_;
};

// "Ctrl+Shift+F12" -> key and left-hand modifiers; false for a name the host does not know.
bool ParseChord(const std::string& chord, DWORD* key, std::vector<DWORD>* mods);

// Commands that go to the vessel the script aims at (the "vessel" command), else to the focus.
bool UsesTarget(const std::string& verb);

} // namespace hs
