// Inside the stand-in host: the process's one world, its files, modules, keys and timeline.
#pragma once

#include "sim.h"
#include "world.h"
#include "portable.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

namespace hs {

// A vessel module loaded from Modules/<name>.so.
struct LoadedModule {
    std::string name; // as the class file spells it
    std::string path;
    void* dl = nullptr;
    VESSEL* (*init)(OBJHANDLE, int) = nullptr;
    void (*exit)(VESSEL*) = nullptr;
    void (*exitModule)(HINSTANCE) = nullptr; // called by us only when we called its InitModule
};

// A plugin module loaded from Modules/Plugin/<name>.so.
struct Plugin {
    std::string name;
    void* dl = nullptr;
    void (*frame)(double) = nullptr;
    void (*exitModule)(HINSTANCE) = nullptr;
};

// A surface a module holds (SURFHANDLE): a texture read from a file, or one made blank. Nothing is drawn on
// it; its handle stays good until the module releases it.
struct Surface {
    std::string file; // the texture's file as the module named it; empty for a made surface
    int width = 0, height = 0;
};
// Drawing tools: the host's own kinds, so that a module's pointer is told from anything else.
struct HostFont final : public oapi::Font {
    HostFont(int height, bool prop, const char* face, Style style, int orientation)
        : oapi::Font(height, prop, face, style, orientation) {}
};
struct HostPen final : public oapi::Pen {
    HostPen(int style, int width, uint32_t col) : oapi::Pen(style, width, col) {}
};
struct HostBrush final : public oapi::Brush {
    explicit HostBrush(uint32_t col) : oapi::Brush(col) {}
};

// A texture the host keeps for every module that asks for it by name.
struct GlobalMesh {
    std::string name;
};

// Every FILEHANDLE the host gives out is the address of one of these, in its own slots like every other
// handle: a handle kept after its file was closed is caught as dead, never read through.
struct HostFile {
    enum Kind { CONFIG, SCENARIO_READ, SCENARIO_WRITE, GENERIC_READ, GENERIC_WRITE } kind = CONFIG;
    std::string path;
    std::vector<std::string> lines; // whole file for readers
    // A scenario block's reader looks at the scenario's lines where they are: a copy per vessel would make
    // loading n vessels cost n times the file.
    const std::vector<std::string>* shared = nullptr;
    const std::vector<std::string>& Lines() const { return shared ? *shared : lines; }
    size_t next = 0;            // next line for the scenario reader
    size_t firstLineNo = 0;     // file line number of lines[0], for messages
    std::string lineBuf;        // what oapiReadScenario_nextline hands out
    bool blockDone = false;     // the vessel block has reached its END (or the file its end)
    bool sawEnd = false;        // the block's END line was found
    std::string* out = nullptr; // writers append here
    std::string ownOut;         // for files opened by modules
    FILE* fp = nullptr;
    // The host writes a scenario through one stream in fixed notation whose precision its own lines set and
    // leave behind (the camera's last, then each vessel's): a module's numbers are printed with whatever
    // precision the lines before them left.
    int precision = 6;
};

// A text laid over the simulation window (oapiCreateAnnotation); NOTEHANDLE is its address. The timeline
// shows what it says as the HUD's rows are shown: once for each change.
struct Annotation {
    int number = 0;           // in order of creation in the run, for the timeline
    std::string text, printed; // what it says; what the timeline last printed
    double printedAt = -1e300; // s
    double changedAt = -1e300; // s: when the text last changed
    double x1 = 0.0, y1 = 0.0, x2 = 1.0, y2 = 1.0; // window fractions
    double size = 1.0;
    VECTOR3 colour{};
};

struct KeyPress {
    DWORD key;
    DWORD mods[3];
    int nmods;
    Vessel* target; // null: the focus vessel
};

struct HeldKey {
    DWORD key;
    DWORD mods[3];
    int nmods;
    int framesLeft;
    Vessel* target;
};

struct InputBox {
    bool open = false;
    std::string title;
    bool (*cb)(void*, const char*, void*) = nullptr;
    void* usrdata = nullptr;
    int generation = 0; // a callback that opens a new box keeps it open
};

// Links named in a scenario block, made once every vessel exists.
struct PendingLink {
    Vessel* v;
    bool attach; // ATTACHED (else DOCKINFO)
    int own, other;
    std::string mate;
};

// Lists the scenario parser fills for a status record it does not own.
struct StatusLists {
    const void* status = nullptr;
    std::vector<VESSELSTATUS2::FUELSPEC> fuel;
    std::vector<VESSELSTATUS2::THRUSTSPEC> thruster;
    std::vector<VESSELSTATUS2::DOCKINFOSPEC> dock;
};

// The scenario's blocks other than the ships, kept so a save writes them back.
struct ScenarioEnv {
    std::vector<std::string> desc;
    std::string system = "Sol";
    double mjd0 = 51982.0;
    std::vector<std::string> envExtra;      // other environment lines, verbatim (trimmed)
    std::vector<std::string> cameraExtra;   // camera lines other than TARGET and MODE
    std::vector<std::string> otherBlocks;   // whole blocks between camera and ships, verbatim
    std::vector<std::string> trailerBlocks; // plugin blocks after the ships
    int hudMode = HUD_SURFACE;
    bool hudBlock = false;
    bool hudShown = false; // the block names a HUD the host shows from the start
};

struct World {
    SimOptions opt;
    bool inited = false;
    std::string root; // absolute

    std::vector<SlotPtr<Vessel>> vessels; // creation order, including those about to go
    std::vector<std::unique_ptr<LoadedModule>> modules;
    std::vector<Plugin> plugins;
    std::vector<void*> initLibHandles; // modules whose InitLib ran (their own hook called InitModule)
    std::vector<PendingLink> pending;
    std::vector<StatusLists> statusLists;
    ScenarioEnv env;

    Vessel* focus = nullptr;
    int cameraMode = CAM_COCKPIT;
    bool playback = false;
    double simt = 0.0, simdt = 0.0, systime = 0.0;
    long frames = 0;
    uint64_t rng = 1;

    char debug[256] = {};
    char lastDebug[256] = {};
    std::vector<std::string> timeline;
    int misuse = 0;
    std::vector<int> unmodelledCalled; // export table indices, sorted: each is named once per run
    bool stopRun = false;              // a module called what hostsim does not model, and the run asked to stop

    std::vector<HudText> hud, lastHud;
    // What the timeline last printed of each HUD row, and when: a number that keeps running is shown at most
    // every HUD_PRINT_INTERVAL seconds, any other change at once. A row is known by where it is drawn, so a
    // line that comes or goes does not make the rows around it news.
    struct HudRow {
        int x = 0, y = 0, nth = 0;  // nth: rows drawn at the same place, in drawing order
        std::string printed, shown; // last printed text; text of the last drawing
        double printedAt = -1e300;
        double changedAt = -1e300; // when the drawn text last changed
        bool seen = false;         // drawn in the last redraw
    };
    std::vector<HudRow> hudRows;
    // Timeline stamp: the frame's start until its physics step, its end from then on.
    double stamp = 0.0;
    InputBox box;
    std::vector<KeyPress> keys;
    std::vector<HeldKey> held;
    std::vector<SlotPtr<HostFile>> openFiles;      // files modules opened with oapiOpenFile
    std::vector<SlotPtr<GlobalMesh>> globalMeshes; // textures registered by name
    std::vector<SlotPtr<HostMesh>> meshes;         // the session's meshes: MESHHANDLE = address of the record
    std::vector<SlotPtr<Annotation>> notes;
    // Graphics resources modules hold; released ones go.
    std::vector<SlotPtr<Surface>> surfaces;
    std::vector<SlotPtr<HostFont>> fonts;
    std::vector<SlotPtr<HostPen>> pens;
    std::vector<SlotPtr<HostBrush>> brushes;
    std::vector<std::unique_ptr<oapi::Sketchpad>> pads; // handed out and not yet given back
    std::vector<GUIElement*> dialogs;                   // open, in order of opening
    std::vector<int> disabledMfdModes;                  // for the rest of the run
    int notesMade = 0;
    bool logStarted = false; // Orbiter.log was begun afresh in this run

    // Live vessel count at the start of the frame: vessels created during a frame wait for the next one.
    size_t frameVessels = 0;
    bool loading = false;
    int lastError = 0;   // Sim::LOAD_*
    bool radiationPressure = false; // the host's configuration (Orbiter_NG.cfg) asks for the Sun's pressure
    int centralBody = 0; // body table index of the scenario's central body (gbody index 0)
    int visualTag = 0;
    // Vessels created so far under each name (lower case), for the timeline's tags.
    std::vector<std::pair<std::string, int>> namesUsed;
    // The vessel whose step callback runs: a force it adds to another vessel is a push the timeline tells.
    Vessel* stepping = nullptr;
    // Who makes the host calls now: null for a module, else "script" or "hostsim" (the trace marks them).
    const char* caller = nullptr;
    std::vector<std::string> traceFilter; // patterns; empty: every call
    FILE* traceOut = nullptr;             // the trace file, when the trace has one
};

// The process's one world. Programs and tests outside the library reach it through TheWorld(); the library's
// own code, which looks at it on every host call, reaches it directly.
World& TheWorld();
#ifdef HOSTSIM_LIBRARY
extern World hsWorld __attribute__((visibility("hidden")));
static inline World& W() {
    return hsWorld;
}
#else
static inline World& W() {
    return TheWorld();
}
#endif

// Timeline and misuse.
void Say(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void CountMisuse(const char* what);
void Misuse(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void Trace(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void TraceOut(const std::string& line); // into the trace file, else into the timeline
// Opens the trace's file and reads its filter from the options; false with why in err.
bool TraceStart(std::string* err);
void TraceStop();

// Handle checks: null (and a misuse counted) when the handle is dead or foreign.
inline Vessel* LiveVessel(OBJHANDLE h) {
    return Slots<Vessel>().Find(h);
}
void BadVessel(OBJHANDLE h, const char* fn); // counts the misuse
void DeadInterface(const char* fn);          // a VESSEL method called on an interface whose vessel has gone

// The call trace. A call is shown when tracing is on and the filter takes its vessel and name.
bool TraceWanted(const Vessel* v, const char* fn);
// "[mark] V.fn(args) = result": mark says who called when it was not a module (the script, hostsim itself).
void TraceCallLine(const Vessel* v, const char* fn, const std::string& args, const std::string* result);
// How a value reads in the trace: numbers, names of vessels for their handles, vectors.
void TraceText(std::string& out, double d);
void TraceText(std::string& out, int i);
void TraceText(std::string& out, unsigned i);
void TraceText(std::string& out, long i);
void TraceText(std::string& out, unsigned long i);
void TraceText(std::string& out, bool b);
void TraceText(std::string& out, const char* s);
void TraceText(std::string& out, const void* handle);
inline void TraceText(std::string& out, std::nullptr_t) {
    out += "null";
}
void TraceText(std::string& out, const VECTOR3& vec);
void TraceText(std::string& out, const MATRIX3& m);
template <typename T> std::enable_if_t<std::is_enum<T>::value> TraceText(std::string& out, T e) {
    TraceText(out, (int)e);
}
template <typename T> std::enable_if_t<std::is_class<T>::value> TraceText(std::string& out, const T&) {
    out += "{...}";
}
template <typename R, typename... P> void TraceText(std::string& out, R (*fn)(P...)) {
    TraceText(out, reinterpret_cast<const void*>(fn));
}

// One traced call: the arguments are read when the call returns, so an argument the call fills in shows what
// it got; the result is what the call hands back through Result().
template <typename... A> class CallTrace {
  public:
    CallTrace(const Vessel* v, const char* fn, const A&... args) : args_(args...) {
        if (__builtin_expect(W().opt.trace, 0) && v && TraceWanted(v, fn)) {
            v_ = v;
            fn_ = fn;
        }
    }
    ~CallTrace() {
        if (__builtin_expect(fn_ != nullptr, 0)) Emit();
    }
    CallTrace(const CallTrace&) = delete;
    CallTrace& operator=(const CallTrace&) = delete;
    template <typename R> R Result(R r) {
        if (__builtin_expect(fn_ != nullptr, 0)) Keep(r);
        return r;
    }

  private:
    // Out of line: a call that is not traced pays for two tests, not for text.
    template <typename R> __attribute__((noinline, cold)) void Keep(const R& r) {
        result_.reset(new std::string);
        TraceText(*result_, r);
    }
    __attribute__((noinline, cold)) void Emit() {
        std::string text;
        std::apply(
            [&text](const A&... x) {
                (void)text; // a call without arguments adds nothing
                size_t n = 0;
                ((text += n++ ? ", " : "", TraceText(text, x)), ...);
            },
            args_);
        TraceCallLine(v_, fn_, text, result_.get());
    }
    std::tuple<const A&...> args_;
    const Vessel* v_ = nullptr;
    const char* fn_ = nullptr;
    std::unique_ptr<std::string> result_; // only while traced
};

// Calls made while this lives are marked as the script's or hostsim's own, not the module's.
class CallerMark {
  public:
    explicit CallerMark(const char* who) : saved_(W().caller) { W().caller = who; }
    ~CallerMark() { W().caller = saved_; }
    CallerMark(const CallerMark&) = delete;
    CallerMark& operator=(const CallerMark&) = delete;

  private:
    const char* saved_;
};

// A call the host makes into a module (a callback), with its arguments.
template <typename... A> void TraceCallback(const Vessel* v, const char* fn, const A&... args) {
    CallerMark mark("hostsim");
    CallTrace<A...> trace(v, fn, args...);
}

// Opens every VESSEL method: `v` is the interface's record, or the method returns `ret` (misuse counted).
// The rare paths are calls of their own, so a method that only reads a number stays a few instructions.
#define SELF_OR(ret)                                                                                         \
    Vessel* v = vessel;                                                                                      \
    if (__builtin_expect(!Alive(v), 0)) {                                                                    \
        DeadInterface(__func__);                                                                             \
        return ret;                                                                                          \
    }
inline Vessel* CheckVessel(OBJHANDLE h, const char* fn) {
    Vessel* v = LiveVessel(h);
    if (!v) BadVessel(h, fn);
    return v;
}

// Global position and velocity of a vessel or a body; false for anything else. Vessels, the common case of
// every scan a module makes, are answered here without a call.
bool BodyState(OBJHANDLE h, VECTOR3* pos, VECTOR3* vel);
inline bool ObjectState(OBJHANDLE h, VECTOR3* pos, VECTOR3* vel) {
    if (Vessel* v = LiveVessel(h)) {
        if (pos) *pos = v->phys.pos;
        if (vel) *vel = v->phys.vel;
        return true;
    }
    return BodyState(h, pos, vel);
}
HostFile* CheckFile(FILEHANDLE f, const char* fn);

hs::Attachment* Att(Vessel* v, ATTACHMENTHANDLE h, const char* fn);
// A vessel's own item behind a handle, or null with the call counted as misuse.
hs::Propellant* Prop(Vessel* v, PROPELLANT_HANDLE h, const char* fn); // of any vessel
void UnlinkPropellant(const hs::Propellant* p);
hs::Thruster* Thr(Vessel* v, THRUSTER_HANDLE h, const char* fn);
hs::ThrusterGroup* Grp(Vessel* v, THGROUP_HANDLE h, const char* fn);
hs::ThrusterGroup* GroupOfType(Vessel* v, THGROUP_TYPE type); // null when it has none
// The host's default attitude set: a linear thruster of full thrust at the centre for each direction, a pair
// of half thrust at the vessel's ends (its size out) for each turn.
void DefaultAttitudeThrusters(Vessel* v, double maxth, PROPELLANT_HANDLE tank, double isp);

// Surface bases: the place of a base's pad (0-based), false when the body has no such base or pad; a vessel put
// down landed by a scenario's BASE line (holding that pad, refuelled when it stands on one); the BASE line's
// "name:pad" of the pad a vessel holds, or empty; the pads after a frame; a fresh table for a new run.
bool BasePad(int body, const char* name, int pad, double* lng, double* lat);
void LandedAtBase(Vessel* v, const char* baseName, int pad, double lng, double lat);
std::string PadLine(const Vessel* v);
void UpdatePads();
// The host's one record of a texture by its name, shared by every module and mesh that names it.
GlobalMesh* RegisteredTexture(const char* name);
void ResetBases();

// Text helpers (and text.h's).
std::string HostPath(const std::string& winPath); // translated, relative to the root
// Why a name that becomes a path (a class, a module, a plugin) is refused, naming it as `what`; "" when it is
// a plain name, or with `subfolders` a path of plain names joined by '\\'.
std::string PathNameRefusal(const std::string& name, const char* what, bool subfolders = false);
// A translated path relative to the root that stays under it: not absolute, no ".." step.
bool StaysUnderRoot(const std::string& rel);

// Class files and modules.
bool OpenClassFile(const std::string& className, HostFile& f, std::string* err);
LoadedModule* LoadModule(const std::string& name, std::string* err);
void UnloadModules();
bool LoadPlugins(std::string* err);
void UnloadPlugins();

// Vessels.
constexpr int HOST_FLIGHT_MODEL = 1; // the host's setting, which ovcInit gets: the realistic flight model
Vessel* NewVessel(const char* name, const char* className, std::string* err, HostFile* cfg);
// What every vessel has before its module sets its class up: the host's defaults.
void DefaultClassCaps(Vessel* v);
// The class file's generic items, read after the module's clbkSetClassCaps: they override what it set.
void ApplyClassItems(Vessel* v, HostFile& cfg);
void FinishCreation(Vessel* v); // post-creation and visual
void ApplyStatus(Vessel* v, const VESSELSTATUS2& st);
// A state that is not all numbers is counted as misuse and the last good one put back; false then. A good
// state becomes the last good one unless `keep` is false (the check after the physics step: the one at the
// end of the frame keeps it, so the state is copied once a frame).
bool CheckState(Vessel* v, const char* when, bool keep = true);
void FillStatus(const Vessel* v, VESSELSTATUS2& st);
void RemoveVessel(Vessel* gone); // after ovcExit: unlink everything that points at it
void CreateVisual(Vessel* v);
void DestroyVisual(Vessel* v);
VESSEL2* Callbacks(Vessel* v); // null for a bare VESSEL

// The host's own vessel object for a class without a module, or whose module gave none.
class BareVessel final : public VESSEL2 {
  public:
    explicit BareVessel(OBJHANDLE h) : VESSEL2(h, 1) {}
};
void ResolvePendingLinks();
bool Attach(Vessel* parent, hs::Attachment* pp, Vessel* child, hs::Attachment* cp);
void Detach(hs::Attachment* pp);
// What docking a module asks for gives back, and how the pair is brought together.
enum DockResult { DOCK_DONE = 0, DOCK_OWN_PORT_IN_USE = 1, DOCK_TARGET_PORT_IN_USE = 2, DOCK_ALREADY_JOINED = 3 };
enum DockMode { DOCK_SHARE_MOMENTUM = 0, DOCK_MOVE_TARGET = 1, DOCK_MOVE_SELF = 2 };
// Ports must exist; the result is a DockResult. Both vessels hear of the link, a first.
int DockPorts(Vessel* a, int pa, Vessel* b, int pb, int mode);
// A link a scenario or a script names: b is brought to a; a link both sides name is made once.
bool Dock(Vessel* a, int pa, Vessel* b, int pb);
// vsep: m/s with which the two part along a's port (the host gives a module's undocking 0.2).
void Undock(Vessel* a, int pa, double vsep = 0.0);
int PortIndex(const Vessel* v, const DockPort* p); // -1 when the port is not v's
void NoteUndocking(Vessel* a, Vessel* b);
void ReleaseStatusLists(const void* status);

// The timeline's view of text on screen (sim.cpp): two texts that differ only in their digits are one text
// whose numbers run, printed at most every HUD_PRINT_INTERVAL seconds.
constexpr double HUD_PRINT_INTERVAL = 1.0; // s of simulated time
bool SameShape(const std::string& a, const std::string& b);
// Annotations' changes into the timeline, once a frame; `flush` also prints what was held back.
void ShowAnnotations(bool flush);
// Begins the host's log afresh in the root; a later line is appended.
void StartLog();
// Reads the settings hostsim follows from the host's configuration file in the root.
void ReadHostConfig();

// Meshes.
int MeshGroupCount(const std::string& name); // -1 without a mesh file

// Files written whole or not at all: a regular file is written to a temporary file in its folder, and only
// when every byte has been written and flushed does that file take the old one's place; a failed write leaves
// the old file as it was. A device or a pipe (/dev/full, /dev/stdout) is written directly, every write
// checked.
struct WholeFile {
    FILE* fp = nullptr;
    std::string path;
    std::string temp; // empty when writing the target itself
};
bool WholeFileOpen(WholeFile& f, const std::string& path, std::string* err);
bool WholeFileCommit(WholeFile& f, std::string* err); // false with why: the old file stays
void WholeFileAbandon(WholeFile& f);
bool WriteWholeFile(const std::string& path, const std::string& text, std::string* err);

// Scenarios.
bool ReadScenario(const std::string& path, std::string* err);
std::string WriteScenario();
void WriteLine(HostFile* f, const std::string& line);

// The physics step and the body table; the physics side of the host provides them.
void StepPhysics(double dt);

// Deterministic time and rng.
void ResetWorld();

} // namespace hs
