// Reading and writing the host's scenario files: the environment blocks and the vessels' blocks.
#include "host.h"
#include "physics/physics.h"

#include <cstring>

namespace hs {

OBJHANDLE CreateFromStatus(const char* name, const char* classname, const VESSELSTATUS2* st, std::string* err);

namespace {

// The camera block, the last the host writes before the ships, leaves the stream at two decimals.
constexpr int CAMERA_BLOCK_PRECISION = 2;

struct Reader {
    const std::string& path;
    const std::vector<std::string>& lines;
    size_t i = 0;
    std::string* err;

    // The text of a line without its comment and surrounding blanks.
    std::string Clean(size_t k) const {
        std::string s = lines[k];
        size_t semi = s.find(';');
        if (semi != std::string::npos) s.erase(semi);
        return Trim(s);
    }

    bool Fail(size_t k, const std::string& what, int kind) {
        if (err) *err = Fmt("%s:%zu: %s", path.c_str(), k + 1, what.c_str());
        W().lastError = kind;
        return false;
    }
};

constexpr struct {
    const char* name;
    int mode;
} HUD_TYPES[] = {{"None", HUD_NONE}, {"Orbit", HUD_ORBIT}, {"Surface", HUD_SURFACE}, {"Docking", HUD_DOCKING}};

// Lines up to the block's end marker; false when the file ends first.
bool Block(Reader& r, const char* end1, const char* end2, std::vector<std::string>* raw,
           std::vector<std::string>* clean) {
    for (++r.i; r.i < r.lines.size(); ++r.i) {
        std::string c = r.Clean(r.i);
        if (IEquals(c.c_str(), end1) || (end2 && IEquals(c.c_str(), end2))) return true;
        if (raw) raw->push_back(r.lines[r.i]);
        if (clean && !c.empty()) clean->push_back(c);
    }
    return false;
}

// One "name:class" block; the module reads its lines through the host's scenario reader.
bool ReadShip(Reader& r, const std::string& header) {
    World& w = W();
    size_t headerLine = r.i;
    std::string text = header.substr(0, 255); // the host's 256-character name buffer
    size_t colon = text.find(':');
    std::string name = Trim(colon == std::string::npos ? text : text.substr(0, colon));
    std::string cls = colon == std::string::npos ? name : Trim(text.substr(colon + 1));
    if (name.empty() || cls.empty()) return r.Fail(headerLine, "vessel block without a name or class", Sim::LOAD_BAD_INPUT);
    std::string refusal = PathNameRefusal(cls, "vessel class", true);
    if (!refusal.empty()) return r.Fail(headerLine, refusal, Sim::LOAD_BAD_INPUT);

    std::string err;
    SlotPtr<HostFile> cfg = MakeSlot<HostFile>(nullptr);
    Vessel* v = NewVessel(name.c_str(), cls.c_str(), &err, cfg.get());
    if (!v) return r.Fail(headerLine, err, Sim::LOAD_MISSING);

    SlotPtr<HostFile> scnFile = MakeSlot<HostFile>(nullptr);
    HostFile& scn = *scnFile;
    scn.kind = HostFile::SCENARIO_READ;
    scn.path = r.path;
    scn.shared = &r.lines;
    scn.next = headerLine + 1;
    VESSELSTATUS2 st{};
    st.version = 2;
    st.flag = VS_FUELRESET | VS_FUELLIST | VS_THRUSTRESET | VS_THRUSTLIST | VS_DOCKINFOLIST;
    st.port = -1;
    char* line;
    if (VESSEL2* cb = Callbacks(v)) cb->clbkLoadStateEx(&scn, &st);
    else
        while (oapiReadScenario_nextline(&scn, line)) v->iface->ParseScenarioLineEx(line, &st);
    // Whatever the module left unread belongs to the block too.
    while (oapiReadScenario_nextline(&scn, line)) {
    }
    if (!scn.sawEnd) return r.Fail(headerLine, "vessel block " + name + " has no END", Sim::LOAD_BAD_INPUT);
    r.i = scn.next - 1;
    bool attached = false;
    for (const PendingLink& l : w.pending) attached = attached || (l.v == v && l.attach);
    if (VESSEL2* cb = Callbacks(v)) cb->clbkSetStateEx(&st);
    else v->iface->DefSetStateEx(&st);
    KeepSavedLandedPlace(*v, st);
    ReleaseStatusLists(&st);
    // A block that gives no position leaves the vessel at its body's centre, where no direction is up: it
    // comes out on the surface where the body's +z axis meets it, as it would be pushed out from the centre.
    const Body* body = GetBody(v->phys.body);
    if (!attached && !v->phys.landed && body && length(v->phys.pos - body->pos) < 1.0) {
        Say("warning: %s: the vessel block gives no position: put on the surface of %s", v->name.c_str(),
            body->name);
        PlaceLanded(*v, v->phys.body, PI05, 0.0, 0.0);
        v->phys.landed = false;
    }
    CheckState(v, "scenario");
    (void)w;
    return true;
}

bool Ships(Reader& r) {
    for (++r.i; r.i < r.lines.size(); ++r.i) {
        std::string c = r.Clean(r.i);
        if (c.empty()) continue;
        if (IEquals(c.c_str(), "END_SHIPS")) return true;
        if (IEquals(c.c_str(), "END")) return r.Fail(r.i, "END without a vessel block", Sim::LOAD_BAD_INPUT);
        if (!ReadShip(r, c)) return false;
    }
    return r.Fail(r.lines.empty() ? 0 : r.lines.size() - 1, "BEGIN_SHIPS without END_SHIPS", Sim::LOAD_BAD_INPUT);
}

bool HoldsText(const std::vector<std::string>& lines) {
    for (const std::string& l : lines)
        if (!Trim(l).empty()) return true;
    return false;
}

} // namespace

bool ReadScenario(const std::string& path, std::string* err) {
    World& w = W();
    std::vector<std::string> lines;
    std::string why;
    if (!ReadLines(path, lines, &why) || !HoldsText(lines)) {
        if (err) *err = path + ": cannot read the scenario: " + (why.empty() ? "the file is empty" : why);
        w.lastError = Sim::LOAD_BAD_INPUT;
        return false;
    }
    Reader r{path, lines, 0, err};
    ScenarioEnv& env = w.env;
    std::string focusName;
    bool shipsSeen = false;
    size_t firstNew = w.vessels.size();
    w.loading = true;
    bool ok = true;
    for (; ok && r.i < lines.size(); ++r.i) {
        std::string c = r.Clean(r.i);
        if (c.empty()) continue;
        size_t start = r.i;
        if (IEquals(c.c_str(), "BEGIN_DESC")) {
            env.desc.clear();
            ok = Block(r, "END_DESC", nullptr, &env.desc, nullptr);
        } else if (IEquals(c.c_str(), "BEGIN_ENVIRONMENT")) {
            std::vector<std::string> items;
            ok = Block(r, "END_ENVIRONMENT", nullptr, nullptr, &items);
            for (const std::string& it : items) {
                char word[64] = {};
                double mjd;
                if (sscanf(it.c_str(), "System %63s", word) == 1) env.system = word;
                else if (sscanf(it.c_str(), "Date MJD %lf", &mjd) == 1) env.mjd0 = mjd;
                else env.envExtra.push_back(it);
            }
            PlaceStar(env.mjd0); // before the ships: a ship may be given against the star
        } else if (IEquals(c.c_str(), "BEGIN_FOCUS")) {
            std::vector<std::string> items;
            ok = Block(r, "END_FOCUS", nullptr, nullptr, &items);
            for (const std::string& it : items)
                if (IPrefix(it.c_str(), "Ship ")) focusName = Trim(it.substr(5));
        } else if (IEquals(c.c_str(), "BEGIN_CAMERA")) {
            std::vector<std::string> items;
            ok = Block(r, "END_CAMERA", nullptr, nullptr, &items);
            for (const std::string& it : items) {
                if (IPrefix(it.c_str(), "TARGET")) continue; // the focus vessel, written back from the focus
                if (IPrefix(it.c_str(), "MODE")) {
                    std::string m = Trim(it.substr(4));
                    w.cameraMode = IEquals(m.c_str(), "Cockpit") ? CAM_COCKPIT : CAM_TARGETRELATIVE;
                } else {
                    env.cameraExtra.push_back(it);
                }
            }
        } else if (IEquals(c.c_str(), "BEGIN_HUD")) {
            std::vector<std::string> items;
            ok = Block(r, "END_HUD", nullptr, nullptr, &items);
            env.hudBlock = true;
            for (const std::string& it : items)
                if (IPrefix(it.c_str(), "TYPE"))
                    for (const auto& t : HUD_TYPES)
                        if (IEquals(Trim(it.substr(4)).c_str(), t.name)) {
                            env.hudMode = t.mode;
                            env.hudShown = t.mode != HUD_NONE;
                        }
        } else if (IEquals(c.c_str(), "BEGIN_SHIPS")) {
            shipsSeen = true;
            ok = Ships(r);
            if (!ok) break;
        } else if (IPrefix(c.c_str(), "BEGIN_")) {
            // Panels, MFDs and plugin blocks: kept as they are and written back.
            // A block may name what it is for ("BEGIN_MFD Left"); it still ends with its kind alone ("END_MFD").
            std::vector<std::string> raw{lines[start]};
            std::string kind = c.substr(6);
            std::string end = "END_" + kind.substr(0, kind.find_first_of(" \t"));
            ok = Block(r, end.c_str(), "END", &raw, nullptr);
            if (ok) raw.push_back(lines[r.i]);
            auto& dest = shipsSeen ? env.trailerBlocks : env.otherBlocks;
            for (auto& l : raw) dest.push_back(l);
        } else {
            ok = r.Fail(r.i, "line outside any block: " + c, Sim::LOAD_BAD_INPUT);
            break;
        }
        if (!ok && w.lastError == 0) ok = r.Fail(start, "block " + c + " is not closed", Sim::LOAD_BAD_INPUT);
    }
    w.loading = false;
    if (!ok) return false;

    ResolvePendingLinks();
    for (size_t i = firstNew; i < w.vessels.size(); ++i) FinishCreation(w.vessels[i].get());
    Vessel* focus = nullptr;
    if (!focusName.empty()) {
        for (auto& v : w.vessels)
            if (IEquals(v->name.c_str(), focusName.c_str())) focus = v.get();
        if (!focus) Say("focus vessel %s does not exist", focusName.c_str());
        else if (!focus->enableFocus)
            Say("warning: the scenario gives the focus to %s, which does not take the focus", focus->name.c_str());
    }
    if (!focus)
        for (auto& v : w.vessels)
            if (v->enableFocus) {
                focus = v.get();
                break;
            }
    if (focus && focus != w.focus) Sim::Get().SetFocus(focus);
    // The body the focus vessel is bound to is the scenario's central body.
    if (w.focus) w.centralBody = w.focus->phys.body;
    // The HUD the scenario shows is set up after every vessel's post-creation, and the focus vessel hears of
    // it.
    if (w.focus && env.hudShown) {
        TraceCallback(w.focus, "clbkHUDMode", env.hudMode);
        if (VESSEL2* cb = Callbacks(w.focus)) cb->clbkHUDMode(env.hudMode);
    }
    return true;
}

static const char* HudName(int mode) {
    for (const auto& t : HUD_TYPES)
        if (t.mode == mode) return t.name;
    return "Surface";
}

std::string WriteScenario() {
    World& w = W();
    const ScenarioEnv& env = w.env;
    std::string out;
    auto line = [&](const std::string& s) {
        out += s;
        out += '\n';
    };
    line("BEGIN_DESC");
    for (const std::string& d : env.desc) line(d);
    line("END_DESC");
    line("");
    line("BEGIN_ENVIRONMENT");
    line("  System " + env.system);
    line(Fmt("  Date MJD %0.10f", env.mjd0 + w.simt / 86400.0));
    for (const std::string& e : env.envExtra) line("  " + e);
    line("END_ENVIRONMENT");
    line("");
    if (w.focus) {
        line("BEGIN_FOCUS");
        line("  Ship " + w.focus->name);
        line("END_FOCUS");
        line("");
    }
    line("BEGIN_CAMERA");
    if (w.focus) line("  TARGET " + w.focus->name);
    line(std::string("  MODE ") + (w.cameraMode == CAM_COCKPIT ? "Cockpit" : "Extern"));
    for (const std::string& c : env.cameraExtra) line("  " + c);
    line("END_CAMERA");
    line("");
    if (env.hudBlock) {
        line("BEGIN_HUD");
        line(std::string("  TYPE ") + HudName(env.hudMode));
        line("END_HUD");
        line("");
    }
    if (!env.otherBlocks.empty()) {
        for (const std::string& l : env.otherBlocks) line(l);
        line("");
    }
    line("BEGIN_SHIPS");
    int precision = CAMERA_BLOCK_PRECISION;
    for (auto& v : w.vessels) {
        if (v->deletePending) continue;
        line(v->name + ":" + v->className);
        SlotPtr<HostFile> f = MakeSlot<HostFile>(nullptr);
        f->kind = HostFile::SCENARIO_WRITE;
        f->out = &out;
        f->precision = precision;
        if (VESSEL2* cb = Callbacks(v.get())) cb->clbkSaveState(f.get());
        else v->iface->SaveDefaultState(f.get());
        precision = f->precision;
        line("END");
    }
    line("END_SHIPS");
    if (!env.trailerBlocks.empty()) {
        line("");
        for (const std::string& l : env.trailerBlocks) line(l);
    }
    return out;
}

} // namespace hs
