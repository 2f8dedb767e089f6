// The driver: creating and deleting vessels, and running frames in the host's order.
#include "host.h"
#include "physics/physics.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

namespace hs {

// ---------------------------------------------------------------------------------------------------------------
// Vessel life
// ---------------------------------------------------------------------------------------------------------------

// The name, or name#n when n-1 vessels of this name came before it in the run: the timeline tells them apart.
static std::string TagFor(const std::string& name) {
    std::string key = name;
    for (char& c : key) c = (char)tolower((unsigned char)c);
    for (auto& used : W().namesUsed)
        if (used.first == key) return name + "#" + std::to_string(++used.second);
    W().namesUsed.emplace_back(key, 1);
    return name;
}

Vessel* NewVessel(const char* name, const char* className, std::string* err, HostFile* cfg) {
    World& w = W();
    if (!OpenClassFile(className, *cfg, err)) return nullptr;
    char module[256] = {};
    LoadedModule* m = nullptr;
    if (oapiReadItem_string(cfg, (char*)"Module", module)) {
        m = LoadModule(module, err);
        if (!m) {
            if (err) *err = cfg->path + ": " + *err;
            return nullptr;
        }
    }
    // A world full of vessels refuses one more, as the host refuses a vessel it cannot make.
    SlotPtr<Vessel> rec(Slots<Vessel>().New(nullptr));
    if (!rec) {
        if (err) *err = Fmt("hostsim holds at most %zu vessels at once", Slots<Vessel>().Capacity());
        return nullptr;
    }
    Vessel* v = rec.get();
    v->name = name;
    v->tag = TagFor(v->name);
    v->className = className;
    v->module = m;
    // Room for a module's beacons and pushes, so the frame in which a projectile flashes or strikes need not
    // allocate.
    v->beacons.reserve(4);
    v->addedForces.reserve(4);
    w.vessels.push_back(std::move(rec));
    // The host's defaults are there before the module makes its interface: what its constructor reads (the
    // glider weighs its compartments by the empty mass there) or sets stands.
    DefaultClassCaps(v);
    VESSEL* iface = m && m->init ? m->init(v, HOST_FLIGHT_MODEL) : nullptr;
    if (!iface) {
        iface = new BareVessel(v);
        v->hostOwnsIface = true;
    }
    v->iface = iface;
    Say("created %s (%s)", v->tag.c_str(), v->className.c_str());
    Trace("%s: %s, class file %s", v->name.c_str(), m ? m->path.c_str() : "no module", cfg->path.c_str());
    if (VESSEL2* cb = Callbacks(v)) cb->clbkSetClassCaps(cfg);
    ApplyClassItems(v, *cfg);
    // Two receivers for a vessel that can take the focus, unless its module gave it its own.
    if (v->enableFocus && v->navFreq.empty()) v->navFreq.assign(2, 0);
    return v;
}

void CreateVisual(Vessel* v) {
    if (v->visual) return;
    World& w = W();
    v->visualHandleTag = ++w.visualTag;
    v->visual = &v->visualHandleTag;
    v->hasVisual = true;
    for (size_t i = 0; i < v->meshes.size(); ++i) {
        auto dm = MakeSlot<DevMesh>(v);
        dm->meshIndex = (int)i;
        dm->owner = v;
        v->devMeshes.push_back(std::move(dm));
    }
    if (VESSEL2* cb = Callbacks(v)) cb->clbkVisualCreated(v->visual, 1);
}

void DestroyVisual(Vessel* v) {
    if (!v->visual) return;
    if (VESSEL2* cb = Callbacks(v)) cb->clbkVisualDestroyed(v->visual, 1);
    v->devMeshes.clear();
    v->visual = nullptr;
    v->hasVisual = false;
}

void FinishCreation(Vessel* v) {
    v->unweighed = false;
    TraceCallback(v, "clbkPostCreation");
    if (VESSEL2* cb = Callbacks(v)) cb->clbkPostCreation();
    if (W().opt.visuals) CreateVisual(v);
}

OBJHANDLE CreateFromStatus(const char* name, const char* classname, const VESSELSTATUS2* st, std::string* err) {
    SlotPtr<HostFile> cfg = MakeSlot<HostFile>(nullptr);
    Vessel* v = NewVessel(name, classname, err, cfg.get());
    if (!v) return nullptr;
    VESSELSTATUS2 landed{};
    if (!st) {
        landed.version = 2;
        landed.status = 1;
        landed.rbody = const_cast<Body*>(GetBody(W().centralBody));
        st = &landed;
    }
    if (VESSEL2* cb = Callbacks(v)) cb->clbkSetStateEx(st);
    else {
        CallerMark mark("hostsim");
        v->iface->DefSetStateEx(st);
    }
    if (!W().loading) ResolvePendingLinks();
    FinishCreation(v);
    CheckState(v, "creation");
    // A world always has a focus when it can: the first vessel that takes it gets it.
    if (!W().loading && !W().focus && v->enableFocus && LiveVessel(v)) Sim::Get().SetFocus(v);
    return v;
}

static void ExitVessel(Vessel* v) {
    VESSEL* iface = v->iface;
    v->iface = nullptr;
    if (!iface) return;
    TraceCallback(v, "ovcExit");
    // VESSEL has no virtual destructor: each object is deleted as the class it was made as.
    if (v->hostOwnsIface)
        delete static_cast<BareVessel*>(static_cast<VESSEL2*>(iface));
    else if (v->module && v->module->exit)
        v->module->exit(iface);
    else
        Misuse("%s: its module has no ovcExit, so its vessel object is never freed", v->name.c_str());
}

static Vessel* NextFocus(Vessel* gone) {
    if (Vessel* alt = LiveVessel(gone->altFocus))
        if (!alt->deletePending && alt != gone) return alt;
    for (auto& v : W().vessels)
        if (v.get() != gone && !v->deletePending && v->enableFocus) return v.get();
    return nullptr;
}

// Deleted vessels go at the end of the frame: their visual, their links, then ovcExit.
static void ProcessDeletions() {
    World& w = W();
    for (size_t i = 0; i < w.vessels.size();) {
        Vessel* v = w.vessels[i].get();
        if (!v->deletePending) {
            ++i;
            continue;
        }
        Say("deleted %s", v->tag.c_str());
        if (w.focus == v) {
            Vessel* next = NextFocus(v);
            if (next) Sim::Get().SetFocus(next);
            else w.focus = nullptr;
        }
        DestroyVisual(v);
        RemoveVessel(v);
        ExitVessel(v);
        // Anything that pointed at the record goes before it does.
        for (auto& o : w.vessels)
            if (o->altFocus == v) o->altFocus = nullptr;
        for (auto& p : v->propellants)
            UnlinkPropellant(p.get());
        w.vessels.erase(w.vessels.begin() + (long)i);
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Keys and HUD
// ---------------------------------------------------------------------------------------------------------------

static std::string Chord(DWORD key, const DWORD* mods, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        switch (mods[i]) {
        case OAPI_KEY_LSHIFT: s += "Shift+"; break;
        case OAPI_KEY_LCONTROL: s += "Ctrl+"; break;
        case OAPI_KEY_LALT: s += "Alt+"; break;
        default: s += std::string(KeyName(mods[i])) + "+"; break;
        }
    }
    return s + KeyName(key);
}

static void KeyState(char* kstate, DWORD key, const DWORD* mods, int n) {
    for (int i = 0; i < n; ++i) kstate[mods[i] & 0xFF] = (char)0x80;
    kstate[key & 0xFF] = (char)0x80;
}

static Vessel* KeyTarget(Vessel* target) {
    if (!target) return W().focus;
    return LiveVessel(target);
}

static void DeliverKeys() {
    World& w = W();
    static std::vector<KeyPress> now;
    now.clear();
    now.swap(w.keys);
    for (const KeyPress& k : now) {
        Vessel* v = KeyTarget(k.target);
        if (!v) continue;
        Say("key %s -> %s", Chord(k.key, k.mods, k.nmods).c_str(), v->tag.c_str());
        VESSEL2* cb = Callbacks(v);
        if (!cb) continue;
        char kstate[256] = {};
        KeyState(kstate, k.key, k.mods, k.nmods);
        cb->clbkConsumeBufferedKey((int)k.key, true, kstate);
        if (!LiveVessel(v) || !v->iface) continue;
        kstate[k.key & 0xFF] = 0;
        cb->clbkConsumeBufferedKey((int)k.key, false, kstate);
    }
    // Held keys: every frame the focus (and any vessel a held key is aimed at) sees the keyboard.
    Vessel* targets[8];
    int nt = 0;
    if (w.focus) targets[nt++] = w.focus;
    for (const HeldKey& h : w.held) {
        Vessel* v = KeyTarget(h.target);
        bool seen = !v;
        for (int i = 0; i < nt; ++i) seen = seen || targets[i] == v;
        if (!seen && nt < 8) targets[nt++] = v;
    }
    for (int t = 0; t < nt; ++t) {
        Vessel* v = targets[t];
        VESSEL2* cb = Callbacks(v);
        if (!cb) continue;
        char kstate[256] = {};
        for (const HeldKey& h : w.held)
            if (KeyTarget(h.target) == v) KeyState(kstate, h.key, h.mods, h.nmods);
        cb->clbkConsumeDirectKey(kstate);
    }
    for (size_t i = 0; i < w.held.size();)
        if (--w.held[i].framesLeft <= 0) w.held.erase(w.held.begin() + (long)i);
        else ++i;
}

// Records every text call so tests and the timeline can read the HUD.
class RecordingSketchpad : public oapi::Sketchpad {
  public:
    RecordingSketchpad(std::vector<HudText>& out) : oapi::Sketchpad(nullptr), out_(out) {}
    bool Text(int x, int y, const char* str, int len) override {
        if (!str || len < 0) {
            CountMisuse("Sketchpad::Text: null string or negative length");
            return false;
        }
        size_t n = strnlen(str, (size_t)len);
        if (count_ < out_.size()) {
            out_[count_].x = x;
            out_[count_].y = y;
            out_[count_].text.assign(str, n);
        } else {
            out_.push_back(HudText{x, y, std::string(str, n)});
        }
        ++count_;
        return true;
    }
    int GetCharSize() override { return (8 << 16) | 16; }
    int GetTextWidth(const char* str, int len) override {
        return str ? 8 * (int)(len > 0 ? (size_t)len : strlen(str)) : 0;
    }
    size_t Count() const { return count_; }

  private:
    std::vector<HudText>& out_;
    size_t count_ = 0;
};

// Two HUD lines that differ only in their digits are one line whose numbers run.
bool SameShape(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    for (;;) {
        while (i < a.size() && isdigit((unsigned char)a[i])) ++i;
        while (j < b.size() && isdigit((unsigned char)b[j])) ++j;
        if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
        if (a[i++] != b[j++]) return false;
    }
}

static void DrawHud() {
    World& w = W();
    Vessel* f = w.focus;
    VESSEL2* cb = Callbacks(f);
    if (!cb || w.env.hudMode == HUD_NONE) return;
    HUDPAINTSPEC hps{1280, 800, 640, 400, 25.6, 16};
    RecordingSketchpad skp(w.hud);
    bool done = false;
    if (f->iface->Version() >= 2) done = static_cast<VESSEL3*>(f->iface)->clbkDrawHUD(w.env.hudMode, &hps, &skp);
    if (!done && LiveVessel(f) && f->iface) cb->clbkDrawHUD(w.env.hudMode, &hps, nullptr);
    w.hud.resize(skp.Count());
    for (World::HudRow& r : w.hudRows) r.seen = false;
    for (size_t i = 0; i < w.hud.size(); ++i) {
        const HudText& t = w.hud[i];
        int nth = 0;
        for (size_t k = 0; k < i; ++k)
            if (w.hud[k].x == t.x && w.hud[k].y == t.y) ++nth;
        World::HudRow* row = nullptr;
        for (World::HudRow& r : w.hudRows)
            if (r.x == t.x && r.y == t.y && r.nth == nth) row = &r;
        bool fresh = !row; // a row that appears is news, not a change of a running number
        if (!row) {
            w.hudRows.emplace_back();
            row = &w.hudRows.back();
            row->x = t.x;
            row->y = t.y;
            row->nth = nth;
        }
        row->seen = true;
        // A number that changed a moment ago as well is running: a countdown, a counter of frames.
        bool running = w.stamp - row->changedAt < HUD_PRINT_INTERVAL;
        if (!fresh && row->shown != t.text) row->changedAt = w.stamp;
        row->shown = t.text;
        if (row->printed == t.text) continue;
        // A change held back here is printed once the interval is over, or at the end of the run, so the
        // last state is never lost.
        if (running && SameShape(row->printed, t.text) && w.stamp - row->printedAt < HUD_PRINT_INTERVAL) continue;
        row->printed = t.text;
        row->printedAt = w.stamp;
        Say("HUD %s: %s", f->tag.c_str(), t.text.c_str());
    }
    for (size_t i = 0; i < w.hudRows.size();) {
        World::HudRow& r = w.hudRows[i];
        if (r.seen) {
            ++i;
            continue;
        }
        Say("HUD %s gone: %s", f->tag.c_str(), r.shown.c_str());
        w.hudRows.erase(w.hudRows.begin() + (long)i);
    }
    std::swap(w.hud, w.lastHud);
}

// Rows whose last change was held back as a running number.
static void FlushHud() {
    World& w = W();
    if (!w.focus) return;
    for (World::HudRow& r : w.hudRows)
        if (r.printed != r.shown) {
            r.printed = r.shown;
            r.printedAt = w.stamp;
            Say("HUD %s: %s", w.focus->tag.c_str(), r.shown.c_str());
        }
}

static void CheckDebug() {
    World& w = W();
    w.debug[sizeof w.debug - 1] = '\0';
    if (memcmp(w.debug, w.lastDebug, sizeof w.debug) == 0) return;
    memcpy(w.lastDebug, w.debug, sizeof w.debug);
    Say("debug: %s", w.debug);
}

} // namespace hs

// ---------------------------------------------------------------------------------------------------------------
// The driver
// ---------------------------------------------------------------------------------------------------------------

namespace hs {

Sim& Sim::Get() {
    static Sim sim;
    return sim;
}

int Sim::LastError() const { return W().lastError; }

bool Sim::Init(const SimOptions& opt, std::string* err) {
    if (W().inited) Shutdown();
    World& w = W();
    w.opt = opt;
    ResetWorld();
    char real[PATH_MAX];
    if (opt.root.empty() || !realpath(opt.root.c_str(), real) || chdir(real) != 0) {
        if (err) *err = "host root not found: " + opt.root;
        w.lastError = LOAD_MISSING;
        return false;
    }
    w.root = real;
    StartLog();
    ReadHostConfig();
    if (!TraceStart(err)) {
        w.lastError = LOAD_BAD_INPUT;
        return false;
    }
    ResetPhysics();
    w.inited = true;
    if (!LoadPlugins(err)) {
        w.lastError = LOAD_MISSING;
        return false;
    }
    return true;
}

// What a scenario name that names no file might have meant: the nearest scenario in its folder, else the
// scenarios there, else the folders there are.
static std::string ScenarioHint(const std::string& name) {
    std::string rel = name;
    for (char& c : rel)
        if (c == '\\') c = '/';
    if (rel.size() > 4 && rel.compare(rel.size() - 4, 4, ".scn") == 0) rel.resize(rel.size() - 4);
    if (rel.compare(0, 10, "Scenarios/") == 0) rel.erase(0, 10);
    size_t slash = rel.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : rel.substr(0, slash + 1);
    std::vector<std::string> names;
    if (DIR* d = opendir(("Scenarios/" + folder).c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 4 && n.compare(n.size() - 4, 4, ".scn") == 0) names.push_back(folder + n.substr(0, n.size() - 4));
            else if (n[0] != '.' && e->d_type == DT_DIR) names.push_back(folder + n + "/");
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    std::string near = Nearest(rel, names);
    if (!near.empty()) return "did you mean " + near + "?";
    if (names.empty()) return "the folder Scenarios/" + folder + " holds no scenario";
    std::string list;
    constexpr size_t LISTED = 8; // names shown; a hint is not a catalogue
    for (size_t i = 0; i < names.size() && i < LISTED; ++i) list += (i ? ", " : "") + names[i];
    return "Scenarios/" + folder + " holds " + list + (names.size() > LISTED ? ", ..." : "");
}

bool Sim::LoadScenario(const std::string& path, std::string* err) {
    World& w = W();
    w.lastError = LOAD_OK;
    std::string p = path;
    if (p.empty() || p[0] != '/') {
        const std::string tries[3] = {HostPath("Scenarios\\" + path), HostPath("Scenarios\\" + path + ".scn"),
                                      HostPath(path)};
        p.clear();
        for (const std::string& t : tries)
            if (access(t.c_str(), R_OK) == 0) {
                p = t;
                break;
            }
        if (p.empty()) {
            if (err)
                *err = "no scenario " + path + " in " + w.root + "/Scenarios (give a file, or a name there; --root "
                       "picks the host root): " + ScenarioHint(path);
            w.lastError = LOAD_BAD_INPUT;
            return false;
        }
    }
    return ReadScenario(p, err);
}

OBJHANDLE Sim::CreateVessel(const char* name, const char* className, const VESSELSTATUS2* status,
                            std::string* err) {
    W().lastError = LOAD_OK;
    OBJHANDLE h = CreateFromStatus(name, className, status, err);
    if (!h) W().lastError = LOAD_MISSING;
    return h;
}

void Sim::Shutdown() {
    World& w = W();
    if (!w.inited) return;
    for (auto& v : w.vessels) DestroyVisual(v.get());
    for (auto& v : w.vessels) ExitVessel(v.get());
    w.vessels.clear();
    w.focus = nullptr;
    TelemetryClose();
    for (auto& f : w.openFiles)
        if (f->fp) fclose(f->fp);
    w.openFiles.clear();
    UnloadModules();
    UnloadPlugins();
    w.globalMeshes.clear();
    ReleaseMeshes();
    w.notes.clear();
    TraceStop();
    w.inited = false;
}

void Sim::Frame() {
    World& w = W();
    if (!w.inited) return;
    const double dt = w.opt.dt;
    w.simdt = dt;
    w.stamp = w.simt;
    w.frameVessels = w.vessels.size();
    DeliverKeys();
    const double simt = w.simt, mjd = w.env.mjd0 + simt / 86400.0;
    for (size_t i = 0; i < w.frameVessels && i < w.vessels.size(); ++i)
        if (VESSEL2* cb = Callbacks(w.vessels[i].get())) {
            if (w.opt.trace) TraceCallback(w.vessels[i].get(), "clbkPreStep", simt, dt, mjd);
            w.stepping = w.vessels[i].get();
            cb->clbkPreStep(simt, dt, mjd);
        }
    w.stepping = nullptr;
    StepPhysics(dt);
    w.stamp = w.simt + dt;
    for (size_t i = 0; i < w.frameVessels && i < w.vessels.size(); ++i) CheckState(w.vessels[i].get(), "physics step", false);
    // After the step the modules are told the time it reached, as the host tells them.
    const double simt1 = simt + dt, mjd1 = w.env.mjd0 + simt1 / 86400.0;
    for (size_t i = 0; i < w.frameVessels && i < w.vessels.size(); ++i)
        if (VESSEL2* cb = Callbacks(w.vessels[i].get())) {
            if (w.opt.trace) TraceCallback(w.vessels[i].get(), "clbkPostStep", simt1, dt, mjd1);
            w.stepping = w.vessels[i].get();
            cb->clbkPostStep(simt1, dt, mjd1);
        }
    w.stepping = nullptr;
    for (const Plugin& p : w.plugins)
        if (p.frame) p.frame(simt);
    // The post-step callbacks are over: from here to the next step a vessel's present state is its start, and a
    // child released between frames leaves from where it hangs now.
    for (auto& v : w.vessels) MarkStepStart(v->phys);
    DrawHud();
    CheckDebug();
    ShowAnnotations(false);
    UpdatePads();
    ProcessDeletions();
    // The host looks for ports that meet once the frame's callbacks are done and the deleted vessels gone.
    hs::CaptureDocks(simt1);
    for (auto& v : w.vessels) CheckState(v.get(), "frame");
    w.simt += dt;
    w.stamp = w.simt;
    w.systime += dt;
    ++w.frames;
}

void Sim::FlushTimeline() {
    FlushHud();
    ShowAnnotations(true);
}

void Sim::RunFrames(int n) {
    for (int i = 0; i < n; ++i) Frame();
}

void Sim::RunUntil(double simt) {
    // Half a frame of slack: accumulated rounding must not add or drop a frame.
    while (W().inited && W().simt + 0.5 * W().opt.dt < simt) Frame();
}

double Sim::SimTime() const { return W().simt; }
double Sim::Step() const { return W().opt.dt; }
long Sim::FrameCount() const { return W().frames; }
double Sim::Mjd() const { return W().env.mjd0 + W().simt / 86400.0; }

static void Mods(const DWORD* src, size_t n, DWORD* dst, int& count) {
    count = 0;
    for (size_t i = 0; i < n && count < 3; ++i) dst[count++] = src[i];
}

void Sim::PressKey(DWORD key, std::initializer_list<DWORD> modifiers) {
    PressKeyTo(nullptr, key, std::vector<DWORD>(modifiers));
}

void Sim::HoldKey(DWORD key, int frames, std::initializer_list<DWORD> modifiers) {
    HoldKeyTo(nullptr, key, frames, std::vector<DWORD>(modifiers));
}

void Sim::PressKeyTo(OBJHANDLE target, DWORD key, const std::vector<DWORD>& modifiers) {
    if (target && !CheckVessel(target, "PressKeyTo")) return;
    KeyPress k{};
    k.key = key;
    k.target = LiveVessel(target);
    Mods(modifiers.data(), modifiers.size(), k.mods, k.nmods);
    W().keys.push_back(k);
}

void Sim::HoldKeyTo(OBJHANDLE target, DWORD key, int frames, const std::vector<DWORD>& modifiers) {
    if (frames <= 0 || (target && !CheckVessel(target, "HoldKeyTo"))) return;
    HeldKey h{};
    h.key = key;
    h.framesLeft = frames;
    h.target = LiveVessel(target);
    Mods(modifiers.data(), modifiers.size(), h.mods, h.nmods);
    W().held.push_back(h);
    Vessel* v = KeyTarget(h.target);
    Say("hold %s for %d frames -> %s", Chord(key, h.mods, h.nmods).c_str(), frames, v ? v->tag.c_str() : "nobody");
}

void Sim::SetCameraMode(int mode) {
    W().cameraMode = mode;
    Say("camera %s", mode == CAM_COCKPIT ? "cockpit" : "extern");
}

void Sim::SetFocus(OBJHANDLE vessel) {
    World& w = W();
    Vessel* v = CheckVessel(vessel, "SetFocus");
    if (!v || v == w.focus) return;
    Vessel* old = w.focus;
    FlushHud(); // the old vessel's last numbers belong to its part of the timeline
    w.focus = v;
    w.hudRows.clear(); // the new vessel's HUD is news in full
    Say("focus %s", v->tag.c_str());
    if (old)
        if (VESSEL2* cb = Callbacks(old)) cb->clbkFocusChanged(false, v, old);
    if (VESSEL2* cb = Callbacks(v)) cb->clbkFocusChanged(true, v, old);
}

void Sim::SetPlayback(bool on) {
    W().playback = on;
    Say("playback %s", on ? "on" : "off");
}

void Sim::SetControlSurfaceTarget(OBJHANDLE vessel, AIRCTRL_TYPE type, double level) {
    Vessel* v = CheckVessel(vessel, "SetControlSurfaceTarget");
    if (!v) return;
    level = level < -1.0 ? -1.0 : (level > 1.0 ? 1.0 : level);
    for (auto& c : v->ctrlSurfaces)
        if (c->type == type) c->target = level;
}

void Sim::SetThrusterGroupLevel(OBJHANDLE vessel, THGROUP_TYPE type, double level) {
    Vessel* v = CheckVessel(vessel, "SetThrusterGroupLevel");
    if (!v || !v->iface) return;
    CallerMark mark("script");
    v->iface->SetThrusterGroupLevel(type, level);
}

bool Sim::Place(OBJHANDLE vessel, OBJHANDLE other, const VECTOR3& dpos, const VECTOR3& dvel) {
    Vessel* v = CheckVessel(vessel, "Place");
    Vessel* o = CheckVessel(other, "Place");
    if (!v || !o) return false;
    v->phys.body = o->phys.body;
    v->phys.pos = o->phys.pos + mul(o->phys.R, dpos);
    v->phys.vel = o->phys.vel + mul(o->phys.R, dvel);
    v->phys.landed = false;
    v->phys.groundContact = false;
    v->phys.placed = true;
    Say("placed %s at %.3f %.3f %.3f from %s, moving %.3f %.3f %.3f", v->tag.c_str(), dpos.x, dpos.y, dpos.z,
        o->tag.c_str(), dvel.x, dvel.y, dvel.z);
    CheckState(v, "place");
    return true;
}

bool Sim::Dock(OBJHANDLE a, int portA, OBJHANDLE b, int portB) {
    Vessel* va = CheckVessel(a, "Dock");
    Vessel* vb = CheckVessel(b, "Dock");
    return va && vb && hs::Dock(va, portA, vb, portB);
}

bool Sim::Undock(OBJHANDLE a, int port) {
    Vessel* va = CheckVessel(a, "Undock");
    if (!va || port < 0 || (size_t)port >= va->docks.size() || !va->docks[(size_t)port]->mate) return false;
    hs::Undock(va, port);
    return true;
}

bool Sim::Attach(OBJHANDLE parent, int parentPoint, OBJHANDLE child, int childPoint) {
    Vessel* p = CheckVessel(parent, "Attach");
    Vessel* c = CheckVessel(child, "Attach");
    if (!p || !c || !p->iface) return false;
    CallerMark mark("script");
    ATTACHMENTHANDLE pp = parentPoint >= 0 ? p->iface->GetAttachmentHandle(false, parentPoint) : nullptr;
    ATTACHMENTHANDLE cp = c->iface && childPoint >= 0 ? c->iface->GetAttachmentHandle(true, childPoint)
                                                      : nullptr;
    bool ok = pp && cp && p->iface->AttachChild(c, pp, cp);
    if (ok) Say("attached %s point %d to %s point %d", c->tag.c_str(), childPoint, p->tag.c_str(), parentPoint);
    return ok;
}

void Sim::SetVisuals(bool on) {
    World& w = W();
    w.opt.visuals = on;
    for (size_t i = 0; i < w.vessels.size(); ++i) {
        if (on) CreateVisual(w.vessels[i].get());
        else DestroyVisual(w.vessels[i].get());
    }
}

void Sim::Note(const std::string& line) { hs::Say("%s", line.c_str()); }

bool Sim::InputBoxOpen() const { return W().box.open; }
std::string Sim::InputBoxTitle() const { return W().box.open ? W().box.title : std::string(); }

bool Sim::InputBoxOpenFor(void** usrdata) const {
    if (!W().box.open) return false;
    if (usrdata) *usrdata = W().box.usrdata;
    return true;
}

// The text the user types goes to the callback through a 256-byte buffer, as the host's box has.
void Sim::AnswerInputBox(const char* text) {
    World& w = W();
    if (!w.box.open) {
        hs::Say("input %s: no input box is open", text ? text : "");
        return;
    }
    char buf[256];
    snprintf(buf, sizeof buf, "%s", text ? text : "");
    hs::Say("input \"%s\"", buf);
    int generation = w.box.generation;
    bool (*cb)(void*, const char*, void*) = w.box.cb;
    bool close = cb ? cb(&w.box, buf, w.box.usrdata) : true;
    if (close && w.box.generation == generation) w.box.open = false;
}

void Sim::EscapeInputBox() {
    World& w = W();
    if (!w.box.open) {
        hs::Say("escape: no input box is open");
        return;
    }
    hs::Say("input escaped");
    w.box.open = false;
}

bool Sim::SaveScenario(const std::string& path, std::string* err) {
    std::string p = path;
    if (p.empty() || p[0] != '/') p = HostPath("Scenarios\\" + path);
    std::string text = WriteScenario();
    if (!WriteWholeFile(p, text, err)) return false;
    hs::Say("saved %s", p.c_str());
    return true;
}

std::string Sim::ScenarioText() { return WriteScenario(); }

Vessel* Sim::Record(OBJHANDLE h) const { return LiveVessel(h); }

Vessel* Sim::FindVessel(const std::string& name) const {
    for (auto& v : W().vessels)
        if (IEquals(v->name.c_str(), name.c_str()) || IEquals(v->tag.c_str(), name.c_str())) return v.get();
    return nullptr;
}

std::vector<Vessel*> Sim::Vessels() const {
    std::vector<Vessel*> out;
    for (auto& v : W().vessels)
        if (!v->deletePending) out.push_back(v.get());
    return out;
}

int Sim::MisuseCount() const { return W().misuse; }

int Sim::UnmodelledCount() const { return (int)W().unmodelledCalled.size(); }

bool Sim::Stopped() const { return W().stopRun; }
const std::vector<std::string>& Sim::Timeline() const { return W().timeline; }
const std::vector<HudText>& Sim::LastHud() const { return W().lastHud; }
std::string Sim::DebugString() const { return std::string(W().debug, strnlen(W().debug, sizeof W().debug)); }

} // namespace hs
