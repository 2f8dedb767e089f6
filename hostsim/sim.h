// The stand-in host's driver: one world per process, run frame by frame by the command or by a test.
#pragma once

#include "text.h"
#include "world.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace hs {

struct SimOptions {
    std::string root;                 // host root folder (Config/, Modules/, Meshes/, Scenarios/, Sound/)
    double dt = 1.0 / 60.0;           // s, fixed frame length
    bool visuals = false;             // create visuals for every vessel (clbkVisualCreated)
    bool trace = false;               // log every host call into the timeline
    std::string traceFilter;          // comma-separated NAME, CALL or NAME.CALL patterns; empty: every call
    std::string traceFile;            // the trace goes there instead of into the timeline
    bool echo = false;                // print timeline lines to stdout as they happen
    // Hold every timeline line for Timeline(). A long run that only prints them (the command) leaves this
    // off, so its memory does not grow with the events it has printed.
    bool keepTimeline = true;
    std::vector<std::string> plugins; // plugin modules loaded from Modules/Plugin/<name>.so
    unsigned seed = 1;                // oapiRand
    bool modelledOnly = false;        // a call of a host function hostsim does not model ends the run
    void (*beforeEcho)() = nullptr;   // called before a timeline line is printed (to clear a progress line)
};

// One text call recorded from clbkDrawHUD.
struct HudText {
    int x, y;
    std::string text;
};

class Sim {
  public:
    static Sim& Get(); // the process's one world: the host functions are global

    // What LastError() tells after a failed Init or LoadScenario (also the command's exit status).
    enum { LOAD_OK = 0, LOAD_MISSING = 1, LOAD_BAD_INPUT = 2 };
    int LastError() const;

    bool Init(const SimOptions& opt, std::string* err); // chdir to the root, load plugins
    bool LoadScenario(const std::string& path, std::string* err); // relative to <root>/Scenarios or absolute
    // Creates a vessel as oapiCreateVesselEx does; status null places it landed at the origin of body 0.
    OBJHANDLE CreateVessel(const char* name, const char* className, const VESSELSTATUS2* status,
                           std::string* err);
    void Shutdown(); // ovcExit for every vessel, unload modules and plugins

    // Frames, in the host's order: keys, pre-step, physics, post-step, HUD, deletions, time.
    void Frame();
    void RunFrames(int n);
    // Prints what the timeline still holds back (HUD numbers within their quarter second); a run calls it
    // before it ends.
    void FlushTimeline();
    void RunUntil(double simt);
    double SimTime() const;
    double Step() const;
    long FrameCount() const;

    // The pilot: buffered keys are delivered (down, then up) on the next frame; held keys stay down
    // for the given number of frames and are offered to clbkConsumeDirectKey.
    void PressKey(DWORD key, std::initializer_list<DWORD> modifiers = {});
    void HoldKey(DWORD key, int frames, std::initializer_list<DWORD> modifiers = {});
    void SetCameraMode(int mode);
    void SetFocus(OBJHANDLE vessel);
    void SetPlayback(bool on);
    void SetControlSurfaceTarget(OBJHANDLE vessel, AIRCTRL_TYPE type, double level);
    // The same, aimed at a vessel other than the focus (null target: the focus).
    void PressKeyTo(OBJHANDLE target, DWORD key, const std::vector<DWORD>& modifiers);
    void HoldKeyTo(OBJHANDLE target, DWORD key, int frames, const std::vector<DWORD>& modifiers);
    void SetThrusterGroupLevel(OBJHANDLE vessel, THGROUP_TYPE type, double level);
    // Puts a vessel at dpos from another in the other's vessel frame, moving at the other's velocity plus dvel
    // (also in the other's frame); it keeps its own attitude and is no longer resting on the ground.
    bool Place(OBJHANDLE vessel, OBJHANDLE other, const VECTOR3& dpos, const VECTOR3& dvel);
    bool Dock(OBJHANDLE a, int portA, OBJHANDLE b, int portB);
    bool Undock(OBJHANDLE a, int port); // false when that port holds nothing
    bool Attach(OBJHANDLE parent, int parentPoint, OBJHANDLE child, int childPoint); // indices per kind
    void SetVisuals(bool on); // builds or drops every vessel's visual
    void Note(const std::string& line); // a line of the caller's own in the timeline
    bool InputBoxOpenFor(void** usrdata) const; // the user data of the open box
    bool InputBoxOpen() const;
    std::string InputBoxTitle() const;
    void AnswerInputBox(const char* text); // Enter
    void EscapeInputBox();

    // Scenario output.
    bool SaveScenario(const std::string& path, std::string* err);
    std::string ScenarioText(); // what SaveScenario would write

    // Inspection.
    Vessel* Record(OBJHANDLE h) const; // null for a dead or foreign handle
    Vessel* FindVessel(const std::string& name) const; // case-insensitive
    std::vector<Vessel*> Vessels() const; // creation order, deleted ones excluded
    int MisuseCount() const;
    int UnmodelledCount() const; // distinct host functions called that hostsim does not model
    bool Stopped() const;        // the run must end: a module called an unmodelled function under modelledOnly
    const std::vector<std::string>& Timeline() const;
    const std::vector<HudText>& LastHud() const; // text of the last clbkDrawHUD
    std::string DebugString() const;
    double Mjd() const; // the scenario's date advanced by the simulated time
};

} // namespace hs

// Plugins and stand-ins add a line to the timeline with this.
extern "C" void hostsimTimeline(const char* line);
