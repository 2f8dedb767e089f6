// A plugin for the real host that plays a hostsim flight script (the same file, read by the same reader) at
// the same simulated times, and writes what happened as hostsim does: a timeline of events and a telemetry
// CSV with hostsim's columns, so that a program can line the two hosts up.
//   CORVANE_SCRIPT     the script to play (nothing is played without it)
//   CORVANE_TIMELINE   where the timeline goes (default "ScriptPlayer.timeline" in the host's folder)
//   CORVANE_TELEMETRY  where a row per vessel and frame goes (none without it)
// The headless host runs no input pass: buffered keys go through the host's key simulation, and the focus
// vessel (and any vessel a held key is aimed at) gets the keyboard's state from here once a frame, as a
// pilot's keyboard gives it. What the host offers no plugin a way to do is named unsupported in the timeline
// and the host's log.
#define ORBITER_MODULE
#include "Orbitersdk.h"

#include "script_text.h"
#include "text.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int KEYBOARD_STATE_SIZE = 256;
constexpr char KEY_DOWN = static_cast<char>(0x80);
constexpr double DEG = 180.0 / 3.14159265358979323846;

struct Pressed {
    DWORD key;
    std::vector<DWORD> mods;
    std::string target; // empty: the focus
};

struct Held {
    DWORD key;
    std::vector<DWORD> mods;
    int framesLeft;
    std::string target; // empty: the focus
};

std::string Chord(DWORD key, const std::vector<DWORD>& mods) {
    std::string s;
    for (DWORD m : mods) {
        if (m == OAPI_KEY_LSHIFT)
            s += "Shift+";
        else if (m == OAPI_KEY_LCONTROL)
            s += "Ctrl+";
        else if (m == OAPI_KEY_LALT)
            s += "Alt+";
        else
            s += std::string(hs::KeyName(m)) + "+";
    }
    return s + hs::KeyName(key);
}

VESSEL2* Callbacks(OBJHANDLE h) {
    VESSEL* v = h ? oapiGetVesselInterface(h) : nullptr;
    // Only vessels of the second interface version or later have the key callbacks.
    return v && v->Version() >= 1 ? static_cast<VESSEL2*>(v) : nullptr;
}

class ScriptPlayer : public oapi::Module {
  public:
    ScriptPlayer(MODULEHANDLE h, const hs::ScriptText& script, const std::string& timeline,
                 const std::string& telemetry)
        : Module(h), script_(script) {
        timeline_ = std::fopen(timeline.c_str(), "w");
        if (!telemetry.empty()) {
            telemetry_ = std::fopen(telemetry.c_str(), "w");
            if (telemetry_)
                std::fputs(
                    "time,name,x,y,z,vx,vy,vz,altitude,airspeed,mass,propellant,ground_contact,pitch,bank\n",
                    telemetry_);
        }
    }

    void clbkSimulationStart(RenderMode) override {
        // The scenario's vessels were made before any plugin saw a frame.
        for (int i = 0; i < oapiGetVesselCount(); ++i)
            Created(oapiGetVesselByIndex(i));
        if (OBJHANDLE focus = oapiGetFocusObject()) Say("focus " + Tag(focus));
        std::set<OBJHANDLE> said;
        for (int i = 0; i < oapiGetVesselCount(); ++i)
            SayDocked(oapiGetVesselByIndex(i), said);
    }

    void clbkSimulationEnd() override {
        WriteRows(last_);
        if (timeline_) std::fclose(timeline_);
        if (telemetry_) std::fclose(telemetry_);
        timeline_ = telemetry_ = nullptr;
    }

    // The state at the start of the step is the end of the last: the host has finished it by now.
    void clbkPreStep(double simt, double simdt, double) override {
        stamp_ = simt;
        flying_ = true;
        WriteRows(simt);
        const auto& commands = script_.Commands();
        // A command is due once the clock is within half a frame of its time, as hostsim plays it.
        while (next_ < commands.size() && !quit_ && commands[next_].t < simt + 0.5 * simdt)
            Execute(commands[next_++]);
        PressKeys();
        HandKeyboard();
        last_ = simt + simdt;
    }

    void clbkPostStep(double simt, double, double) override { stamp_ = simt; }

    void clbkNewVessel(OBJHANDLE h) override { Created(h); }

    void clbkDeleteVessel(OBJHANDLE h) override {
        Say("deleted " + Tag(h));
        tags_.erase(h);
        announced_.erase(h);
    }

    // The scenario's own focus is said once its vessels are.
    void clbkFocusChanged(OBJHANDLE now, OBJHANDLE) override {
        if (now && flying_) Say("focus " + Tag(now));
    }

    void Note(const char* line) { Say(line); }

  private:
    static const char* NameOf(OBJHANDLE h) {
        VESSEL* v = oapiGetVesselInterface(h);
        return v ? v->GetName() : "?";
    }

    // A vessel's name on the timeline: its name, or "name#N" for the N-th vessel ever made with that name.
    std::string Tag(OBJHANDLE h) {
        auto it = tags_.find(h);
        if (it != tags_.end()) return it->second;
        std::string name = NameOf(h), key = name;
        for (char& c : key)
            c = (char)std::tolower((unsigned char)c);
        int& made = namesUsed_[key];
        std::string tag = ++made == 1 ? name : name + "#" + std::to_string(made);
        tags_[h] = tag;
        return tag;
    }

    void Created(OBJHANDLE h) {
        if (!h || !announced_.insert(h).second) return;
        VESSEL* v = oapiGetVesselInterface(h);
        const char* cls = v ? v->GetClassName() : nullptr;
        Say("created " + Tag(h) + " (" + (cls ? cls : "?") + ")");
    }

    // The scenario's docked pairs, each once, as hostsim names the links it made on loading.
    void SayDocked(OBJHANDLE h, std::set<OBJHANDLE>& said) {
        said.insert(h);
        VESSEL* v = h ? oapiGetVesselInterface(h) : nullptr;
        for (unsigned n = 0; v && n < v->DockCount(); ++n) {
            OBJHANDLE mate = v->GetDockStatus(v->GetDockHandle(n));
            VESSEL* m = mate ? oapiGetVesselInterface(mate) : nullptr;
            for (unsigned k = 0; m && k < m->DockCount(); ++k)
                if (m->GetDockStatus(m->GetDockHandle(k)) == h && !said.count(mate))
                    Say(hs::Fmt("docked %s port %u to %s port %u", NameOf(h), n, NameOf(mate), k));
        }
    }

    void Say(const std::string& line) {
        if (!timeline_) return;
        std::fprintf(timeline_, "[%8.3f] %s\n", stamp_, line.c_str());
        std::fflush(timeline_);
    }

    void Fail(const hs::ScriptCommand& c, const std::string& what) {
        Say(hs::Fmt("%s:%d: %s", script_.Name().c_str(), c.line, what.c_str()));
    }

    // What a headless host offers a plugin no way to do: said once a command, in both logs.
    void Unsupported(const hs::ScriptCommand& c, const char* why) {
        std::string line = hs::Fmt("%s:%d: unsupported in the real host: %s (%s)", script_.Name().c_str(),
                                   c.line, c.verb.c_str(), why);
        Say(line);
        oapiWriteLogV("ScriptPlayer: %s", line.c_str());
    }

    OBJHANDLE Find(const hs::ScriptCommand& c, const std::string& name) {
        OBJHANDLE h = Vessel(name);
        if (!h) Fail(c, "no vessel " + name);
        return h;
    }

    OBJHANDLE Aimed(const hs::ScriptCommand& c) {
        if (target_.empty() || !hs::UsesTarget(c.verb)) return oapiGetFocusObject();
        return Find(c, target_);
    }

    void Execute(const hs::ScriptCommand& c) {
        const std::string& verb = c.verb;
        if (verb == "key") {
            if (Aimed(c)) pressed_.push_back(Pressed{c.key, c.mods, target_});
        } else if (verb == "hold")
            HoldKey(c);
        else if (verb == "thgroup" || verb == "surface")
            SetLevel(c);
        else if (verb == "focus")
            Focus(c);
        else if (verb == "vessel") {
            target_ = c.args.empty() ? std::string() : c.args[0];
            Say("keys and levels now go to " + (target_.empty() ? std::string("the focus") : target_));
        } else if (verb == "place")
            Place(c);
        else if (verb == "dock")
            Dock(c);
        else if (verb == "undock")
            Undock(c);
        else if (verb == "attach")
            Attach(c);
        else if (verb == "save")
            Save(c);
        else if (verb == "quit") {
            // A plugin cannot end the session: the run's frame count does, and nothing more is played.
            quit_ = true;
            Say("quit");
        } else if (verb == "input" || verb == "escape")
            Unsupported(c, "the host's input box takes its answer only from its window");
        else if (verb == "camera")
            Unsupported(c, "no camera without rendering");
        else if (verb == "playback")
            Unsupported(c, "the host's playback flag is its recorder's alone");
    }

    // Keys pressed by the frame's commands reach their vessels after all of them ran, as in hostsim. The
    // focus takes a key through the host's own path; a vessel the script aims at, directly.
    void PressKeys() {
        for (const Pressed& k : pressed_) {
            OBJHANDLE h = k.target.empty() ? oapiGetFocusObject() : Vessel(k.target);
            if (!h) continue;
            Say("key " + Chord(k.key, k.mods) + " -> " + Tag(h));
            if (h == oapiGetFocusObject()) {
                // The host builds the key state from the list alone: the key itself goes in so it arrives
                // pressed.
                std::vector<int> down(k.mods.begin(), k.mods.end());
                down.push_back((int)k.key);
                oapiSimulateBufferedKey((int)k.key, down.data(), (int)down.size());
            } else if (VESSEL2* v = Callbacks(h)) {
                char kstate[KEYBOARD_STATE_SIZE] = {};
                Press(kstate, k.key, k.mods);
                v->clbkConsumeBufferedKey((int)k.key, true, kstate);
            }
        }
        pressed_.clear();
    }

    static OBJHANDLE Vessel(const std::string& name) {
        return oapiGetVesselByName(const_cast<char*>(name.c_str()));
    }

    static void Press(char* kstate, DWORD key, const std::vector<DWORD>& mods) {
        for (DWORD m : mods)
            kstate[m & 0xFF] = KEY_DOWN;
        kstate[key & 0xFF] = KEY_DOWN;
    }

    void HoldKey(const hs::ScriptCommand& c) {
        OBJHANDLE h = Aimed(c);
        Say(hs::Fmt("hold %s for %d frames -> %s", Chord(c.key, c.mods).c_str(), c.frames,
                    h ? Tag(h).c_str() : "nobody"));
        if (h) held_.push_back(Held{c.key, c.mods, c.frames, target_});
    }

    // Every frame the focus, and any vessel a held key is aimed at, sees the keyboard, as the host's input
    // pass shows it a pilot's.
    void HandKeyboard() {
        std::vector<OBJHANDLE> seen;
        OBJHANDLE focus = oapiGetFocusObject();
        if (focus) seen.push_back(focus);
        for (const Held& k : held_) {
            OBJHANDLE h = k.target.empty() ? focus : Vessel(k.target);
            bool known = !h;
            for (OBJHANDLE s : seen)
                known = known || s == h;
            if (!known) seen.push_back(h);
        }
        for (OBJHANDLE h : seen) {
            VESSEL2* v = Callbacks(h);
            if (!v) continue;
            char kstate[KEYBOARD_STATE_SIZE] = {};
            for (const Held& k : held_) {
                OBJHANDLE to = k.target.empty() ? focus : Vessel(k.target);
                if (to == h) Press(kstate, k.key, k.mods);
            }
            v->clbkConsumeDirectKey(kstate);
        }
        for (size_t i = 0; i < held_.size();)
            if (--held_[i].framesLeft <= 0)
                held_.erase(held_.begin() + (long)i);
            else
                ++i;
    }

    void SetLevel(const hs::ScriptCommand& c) {
        OBJHANDLE h = Aimed(c);
        Say(c.verb + " " + c.args[0] + " " + c.args[1] + " -> " + (h ? Tag(h) : std::string("nobody")));
        VESSEL* v = h ? oapiGetVesselInterface(h) : nullptr;
        if (!v) return;
        if (c.verb == "thgroup")
            v->SetThrusterGroupLevel((THGROUP_TYPE)c.thgroup, c.level);
        else
            v->SetControlSurfaceLevel((AIRCTRL_TYPE)c.surface, c.level);
    }

    void Focus(const hs::ScriptCommand& c) {
        OBJHANDLE h = Find(c, c.args[0]);
        if (!h) return;
        if (h == oapiGetFocusObject()) {
            Say("focus " + Tag(h) + ": already in focus");
            return;
        }
        VESSEL* v = oapiGetVesselInterface(h);
        if (v && !v->GetEnableFocus()) {
            Fail(c, "focus " + Tag(h) + " refused: it does not take the focus");
            return;
        }
        oapiSetFocusObject(h); // the focus callback says it
    }

    // NAME beside OTHER, offsets in OTHER's frame, in free flight with its own attitude.
    void Place(const hs::ScriptCommand& c) {
        OBJHANDLE h = Find(c, c.args[0]), o = Find(c, c.args[2]);
        if (!h || !o) return;
        VESSEL* v = oapiGetVesselInterface(h);
        VESSEL* other = oapiGetVesselInterface(o);
        VESSELSTATUS2 mine, theirs;
        std::memset(&mine, 0, sizeof mine);
        std::memset(&theirs, 0, sizeof theirs);
        mine.version = theirs.version = 2;
        v->GetStatusEx(&mine);
        other->GetStatusEx(&theirs);
        MATRIX3 R;
        other->GetRotationMatrix(R);
        mine.rbody = theirs.rbody;
        mine.rpos = theirs.rpos + mul(R, _V(c.num[0], c.num[1], c.num[2]));
        mine.rvel = theirs.rvel + mul(R, _V(c.num[3], c.num[4], c.num[5]));
        mine.status = 0;
        mine.flag = 0;
        mine.fuel = nullptr;
        mine.thruster = nullptr;
        mine.nfuel = mine.nthruster = 0;
        mine.ndockinfo = 0;
        mine.dockinfo = nullptr;
        v->DefSetStateEx(&mine);
        Say(hs::Fmt("placed %s at %.3f %.3f %.3f from %s, moving %.3f %.3f %.3f", Tag(h).c_str(), c.num[0],
                    c.num[1], c.num[2], Tag(o).c_str(), c.num[3], c.num[4], c.num[5]));
    }

    // The second vessel is brought to the first, as hostsim docks a pair.
    void Dock(const hs::ScriptCommand& c) {
        OBJHANDLE a = Find(c, c.args[0]), b = Find(c, c.args[2]);
        if (!a || !b) return;
        int result = oapiGetVesselInterface(a)->Dock(b, (unsigned)c.num[0], (unsigned)c.num[1], 1);
        if (result != 0)
            Fail(c, hs::Fmt("dock failed (%d)", result));
        else
            Say(hs::Fmt("docked %s port %d to %s port %d", NameOf(a), (int)c.num[0], NameOf(b),
                        (int)c.num[1]));
    }

    void Undock(const hs::ScriptCommand& c) {
        OBJHANDLE a = Find(c, c.args[0]);
        if (!a) return;
        VESSEL* v = oapiGetVesselInterface(a);
        DOCKHANDLE port = v->GetDockHandle((unsigned)c.num[0]);
        OBJHANDLE mate = port ? v->GetDockStatus(port) : nullptr;
        if (!mate || !v->Undock((unsigned)c.num[0]))
            Fail(c, hs::Fmt("undock failed: port %d holds nothing", (int)c.num[0]));
        else
            Say(hs::Fmt("undocked %s port %d from %s", NameOf(a), (int)c.num[0], NameOf(mate)));
    }

    void Attach(const hs::ScriptCommand& c) {
        OBJHANDLE p = Find(c, c.args[0]), ch = Find(c, c.args[2]);
        if (!p || !ch) return;
        VESSEL* parent = oapiGetVesselInterface(p);
        VESSEL* child = oapiGetVesselInterface(ch);
        ATTACHMENTHANDLE pp = parent->GetAttachmentHandle(false, (unsigned)c.num[0]);
        ATTACHMENTHANDLE cp = child->GetAttachmentHandle(true, (unsigned)c.num[1]);
        if (pp && cp && parent->AttachChild(ch, pp, cp))
            Say(hs::Fmt("attached %s point %d to %s point %d", Tag(ch).c_str(), (int)c.num[1], Tag(p).c_str(),
                        (int)c.num[0]));
        else
            Fail(c, "attach failed");
    }

    // The host adds ".scn" and the Scenarios folder itself.
    void Save(const hs::ScriptCommand& c) {
        std::string name = c.args[0];
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".scn") == 0) name.resize(name.size() - 4);
        if (oapiSaveScenario(name.c_str(), "saved by the script player"))
            Say("saved Scenarios/" + name + ".scn");
        else
            Fail(c, "save " + c.args[0] + " failed");
    }

    void WriteRows(double t) {
        if (!telemetry_) return;
        for (int i = 0; i < oapiGetVesselCount(); ++i) {
            OBJHANDLE h = oapiGetVesselByIndex(i);
            VESSEL* v = h ? oapiGetVesselInterface(h) : nullptr;
            if (!v) continue;
            VECTOR3 p, u;
            v->GetGlobalPos(p);
            v->GetGlobalVel(u);
            std::fprintf(telemetry_,
                         "%.4f,%s,%.3f,%.3f,%.3f,%.4f,%.4f,%.4f,%.3f,%.4f,%.3f,%.3f,%d,%.3f,%.3f\n", t,
                         v->GetName(), p.x, p.y, p.z, u.x, u.y, u.z, v->GetAltitude(), v->GetAirspeed(),
                         v->GetMass(), v->GetTotalPropellantMass(), v->GroundContact() ? 1 : 0,
                         v->GetPitch() * DEG, v->GetBank() * DEG);
        }
    }

    hs::ScriptText script_;
    FILE* timeline_ = nullptr;
    FILE* telemetry_ = nullptr;
    size_t next_ = 0;
    bool quit_ = false;
    std::string target_;
    std::vector<Pressed> pressed_;
    std::vector<Held> held_;
    std::map<OBJHANDLE, std::string> tags_;
    std::map<std::string, int> namesUsed_;
    std::set<OBJHANDLE> announced_;
    bool flying_ = false;
    double stamp_ = 0.0, last_ = 0.0;
};

ScriptPlayer* player = nullptr;

const char* Env(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && v[0] ? v : fallback;
}

} // namespace

DLLCLBK void InitModule(MODULEHANDLE h) {
    const char* path = Env("CORVANE_SCRIPT", nullptr);
    if (!path) {
        oapiWriteLog(const_cast<char*>("ScriptPlayer: CORVANE_SCRIPT names no script: playing nothing"));
        return;
    }
    hs::ScriptText script;
    std::string err;
    if (!script.Load(path, &err)) {
        oapiWriteLogV("ScriptPlayer: %s: playing nothing", err.c_str());
        return;
    }
    player = new ScriptPlayer(h, script, Env("CORVANE_TIMELINE", "ScriptPlayer.timeline"),
                              Env("CORVANE_TELEMETRY", ""));
    oapiRegisterModule(player);
}

// The stand-in add-ons say what they did here, as they do on hostsim's timeline.
DLLCLBK void hostsimTimeline(const char* line) {
    if (player && line) player->Note(line);
}

DLLCLBK void ExitModule(MODULEHANDLE) {}
