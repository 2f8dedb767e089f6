// Playing flight scripts into the world between frames.
#include "script.h"

#include "host.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace hs {

namespace {

Vessel* Record(Sim& sim, OBJHANDLE h) {
    return h ? sim.Record(h) : nullptr;
}

} // namespace

// Names need not be unique: a command that links vessels by a name several carry says which one it took.
void Script::WarnSharedName(Sim& sim, const ScriptCommand& c, const std::string& name) {
    int sharing = 0;
    for (Vessel* v : sim.Vessels())
        sharing += IEquals(v->name.c_str(), name.c_str()) ? 1 : 0;
    if (sharing < 2) return;
    Vessel* first = sim.FindVessel(name);
    sim.Note(Fmt(
        "%s:%d: warning: %d vessels are named %s: the first, %s, is taken (its timeline tag names another)",
        name_.c_str(), c.line, sharing, name.c_str(), first ? first->tag.c_str() : name.c_str()));
}

void Script::Execute(Sim& sim, const ScriptCommand& c) {
    auto vessel = [&](const std::string& name) -> Vessel* {
        Vessel* v = sim.FindVessel(name);
        if (!v) {
            ++runtimeErrors_;
            sim.Note(Fmt("%s:%d: no vessel %s", name_.c_str(), c.line, name.c_str()));
        }
        return v;
    };
    Vessel* target = nullptr;
    // Only the commands that act on the aimed vessel need it: when it has gone, they fail and the rest still
    // run.
    if (!target_.empty() && UsesTarget(c.verb)) {
        target = vessel(target_);
        if (!target) return;
    }
    OBJHANDLE aimed = target ? target : oapiGetFocusObject();
    const std::string& verb = c.verb;
    if (verb == "key")
        sim.PressKeyTo(target, c.key, c.mods);
    else if (verb == "hold")
        sim.HoldKeyTo(target, c.key, c.frames, c.mods);
    else if (verb == "thgroup" || verb == "surface") {
        Vessel* v = Record(sim, aimed);
        sim.Note(Fmt("%s %s %s -> %s", verb.c_str(), c.args[0].c_str(), c.args[1].c_str(),
                     v ? v->tag.c_str() : "nobody"));
        if (!v)
            ++runtimeErrors_;
        else if (verb == "thgroup")
            sim.SetThrusterGroupLevel(v, (THGROUP_TYPE)c.thgroup, c.level);
        else
            sim.SetControlSurfaceTarget(v, (AIRCTRL_TYPE)c.surface, c.level);
    } else if (verb == "camera")
        sim.SetCameraMode(IEquals(c.args[0].c_str(), "COCKPIT") ? CAM_COCKPIT : CAM_TARGETRELATIVE);
    else if (verb == "focus") {
        Vessel* v = vessel(c.args[0]);
        if (!v) return;
        // The pilot picks the focus from the vessels that take it; the others are not offered.
        if (!v->enableFocus) {
            ++runtimeErrors_;
            sim.Note(Fmt("%s:%d: focus %s refused: it does not take the focus", name_.c_str(), c.line,
                         v->tag.c_str()));
        } else if (v == Record(sim, oapiGetFocusObject())) {
            sim.Note("focus " + v->tag + ": already in focus");
        } else {
            sim.SetFocus(v);
        }
    } else if (verb == "vessel") {
        target_ = c.args.empty() ? std::string() : c.args[0];
        sim.Note("keys and levels now go to " + (target_.empty() ? std::string("the focus") : target_));
    } else if (verb == "input")
        sim.AnswerInputBox(c.rest.c_str());
    else if (verb == "escape")
        sim.EscapeInputBox();
    else if (verb == "place") {
        Vessel* v = vessel(c.args[0]);
        Vessel* o = vessel(c.args[2]);
        if (v && o) sim.Place(v, o, _V(c.num[0], c.num[1], c.num[2]), _V(c.num[3], c.num[4], c.num[5]));
    } else if (verb == "dock") {
        Vessel* a = vessel(c.args[0]);
        Vessel* b = vessel(c.args[2]);
        for (const std::string& name : {c.args[0], c.args[2]})
            WarnSharedName(sim, c, name);
        if (a && b && !sim.Dock(a, (int)c.num[0], b, (int)c.num[1])) {
            ++runtimeErrors_;
            sim.Note(Fmt("%s:%d: dock failed", name_.c_str(), c.line));
        }
    } else if (verb == "undock") {
        Vessel* a = vessel(c.args[0]);
        if (a && !sim.Undock(a, (int)c.num[0])) {
            ++runtimeErrors_;
            sim.Note(
                Fmt("%s:%d: undock failed: port %d holds nothing", name_.c_str(), c.line, (int)c.num[0]));
        }
    } else if (verb == "attach") {
        Vessel* p = vessel(c.args[0]);
        Vessel* ch = vessel(c.args[2]);
        if (p && ch && !sim.Attach(p, (int)c.num[0], ch, (int)c.num[1])) {
            ++runtimeErrors_;
            sim.Note(Fmt("%s:%d: attach failed", name_.c_str(), c.line));
        }
    } else if (verb == "save") {
        std::string err;
        if (!sim.SaveScenario(c.args[0], &err)) {
            ++runtimeErrors_;
            sim.Note(Fmt("%s:%d: %s", name_.c_str(), c.line, err.c_str()));
        }
    } else if (verb == "playback")
        sim.SetPlayback(c.args[0] == "on");
    else if (verb == "quit") {
        quit_ = true;
        sim.Note("quit");
    }
}

void Script::Run(Sim& sim, double until, long frames, void (*progress)(double simt, long done)) {
    if (until < 0.0 && frames < 0) until = LastTime();
    long done = 0;
    for (;;) {
        // A command is due once the clock is within half a frame of its time.
        double now = sim.SimTime() + 0.5 * sim.Step();
        while (next_ < commands_.size() && commands_[next_].t < now && !quit_)
            Execute(sim, commands_[next_++]);
        if (quit_ || sim.Stopped() || (frames >= 0 ? done >= frames : sim.SimTime() + 0.5 * sim.Step() >= until)) {
            sim.FlushTimeline();
            return;
        }
        sim.Frame();
        ++done;
        if (progress && done % PROGRESS_FRAMES == 0) progress(sim.SimTime(), done);
    }
}

} // namespace hs
