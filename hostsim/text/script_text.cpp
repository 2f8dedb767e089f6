// Reading flight scripts: timed pilot commands, one a line, checked and parsed before a frame is flown.
#include "script_text.h"

#include "text.h"

#include "Orbitersdk.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace hs {

namespace {

struct NamedValue {
    const char* name;
    int value;
};

constexpr NamedValue THGROUP_NAMES[] = {
    {"MAIN", THGROUP_MAIN},
    {"RETRO", THGROUP_RETRO},
    {"HOVER", THGROUP_HOVER},
    {"ATT_PITCHUP", THGROUP_ATT_PITCHUP},
    {"ATT_PITCHDOWN", THGROUP_ATT_PITCHDOWN},
    {"ATT_YAWLEFT", THGROUP_ATT_YAWLEFT},
    {"ATT_YAWRIGHT", THGROUP_ATT_YAWRIGHT},
    {"ATT_BANKLEFT", THGROUP_ATT_BANKLEFT},
    {"ATT_BANKRIGHT", THGROUP_ATT_BANKRIGHT},
    {"ATT_RIGHT", THGROUP_ATT_RIGHT},
    {"ATT_LEFT", THGROUP_ATT_LEFT},
    {"ATT_UP", THGROUP_ATT_UP},
    {"ATT_DOWN", THGROUP_ATT_DOWN},
    {"ATT_FORWARD", THGROUP_ATT_FORWARD},
    {"ATT_BACK", THGROUP_ATT_BACK},
    {"USER", THGROUP_USER},
};

constexpr NamedValue SURFACE_NAMES[] = {
    {"ELEVATOR", AIRCTRL_ELEVATOR},         {"RUDDER", AIRCTRL_RUDDER},
    {"AILERON", AIRCTRL_AILERON},           {"FLAP", AIRCTRL_FLAP},
    {"ELEVATORTRIM", AIRCTRL_ELEVATORTRIM}, {"RUDDERTRIM", AIRCTRL_RUDDERTRIM},
};

constexpr NamedValue MODIFIER_NAMES[] = {
    {"Shift", OAPI_KEY_LSHIFT},
    {"Ctrl", OAPI_KEY_LCONTROL},
    {"Control", OAPI_KEY_LCONTROL},
    {"Alt", OAPI_KEY_LALT},
};

template <size_t N> bool Lookup(const NamedValue (&table)[N], const std::string& name, int* value) {
    for (const NamedValue& n : table)
        if (IEquals(n.name, name.c_str())) {
            *value = n.value;
            return true;
        }
    return false;
}

bool Number(const std::string& s, double* out) {
    if (s.empty()) return false;
    char* end = nullptr;
    double d = strtod(s.c_str(), &end);
    if (*end != '\0' || !std::isfinite(d)) return false;
    *out = d;
    return true;
}

bool Integer(const std::string& s, int* out) {
    double d;
    // The range first: converting a double beyond every integer is undefined.
    if (!Number(s, &d) || d < -2147483647.0 || d > 2147483647.0 || d != (double)(long)d) return false;
    *out = (int)d;
    return true;
}

// Arguments each command takes (at least min, at most max), how it is written and what it does.
struct Verb {
    const char* name;
    int min, max;
    const char* usage;
    const char* what;
};

constexpr Verb VERBS[] = {
    {"key", 1, 1, "key [Shift+|Ctrl+|Alt+]KEY",
     "press and release a key (names as OAPI_KEY_ without the prefix)"},
    {"hold", 2, 2, "hold KEY FRAMES", "hold a key down for a number of frames"},
    {"thgroup", 2, 2, "thgroup TYPE LEVEL", "MAIN, RETRO, HOVER, ATT_PITCHUP, ... level 0..1"},
    {"surface", 2, 2, "surface ELEVATOR|RUDDER|AILERON LEVEL", "stick and rudder, -1..1"},
    {"camera", 1, 1, "camera COCKPIT|EXTERN", "camera mode"},
    {"focus", 1, 1, "focus NAME", "switch the focus vessel"},
    {"vessel", 0, 1, "vessel [NAME]", "aim the following keys and levels at NAME (none: the focus)"},
    {"input", 0, 1000, "input TEXT", "answer the open input box"},
    {"escape", 0, 0, "escape", "escape the open input box"},
    {"place", 6, 9, "place NAME REL OTHER dx dy dz [dvx dvy dvz]", "put NAME beside OTHER (OTHER's frame)"},
    {"dock", 4, 4, "dock A PORT B PORT", "dock two vessels"},
    {"undock", 2, 2, "undock A PORT", "undock whatever is docked at A's port"},
    {"attach", 4, 4, "attach PARENT POINT CHILD POINT", "attach a child (point indices per kind)"},
    {"save", 1, 1, "save FILE", "save the scenario now (relative to <root>/Scenarios)"},
    {"playback", 1, 1, "playback on|off", "pretend to play back a recording"},
    {"quit", 0, 0, "quit", "stop the run"},
};

// A comment starts with a word that starts with '#': "b1#2" is a vessel's timeline tag, not a comment.
size_t CommentStart(const std::string& raw) {
    for (size_t i = 0; i < raw.size(); ++i)
        if (raw[i] == '#' && (i == 0 || isspace((unsigned char)raw[i - 1]))) return i;
    return std::string::npos;
}

// A save stays under Scenarios: it may name a subfolder with '/', never the root, a parent, a drive or a
// Windows path.
std::string SavePathRefusal(const std::string& path) {
    if (path[0] != '/' && path.find("..") == std::string::npos &&
        path.find_first_of("\\:") == std::string::npos)
        return "";
    return "save " + path +
           " refused: a save is written under <root>/Scenarios and may not start with / nor hold "
           "\\, .. or :";
}

std::string ArgumentCount(const Verb& v) {
    if (v.min == v.max) return Fmt("%d argument%s", v.min, v.min == 1 ? "" : "s");
    if (v.min == 0) return Fmt("at most %d argument%s", v.max, v.max == 1 ? "" : "s");
    return Fmt("%d to %d arguments", v.min, v.max);
}

// Commands that go to the vessel the script aims at (the "vessel" command), else to the focus.
constexpr const char* AIMED_VERBS[] = {"key", "hold", "thgroup", "surface"};

} // namespace

bool UsesTarget(const std::string& verb) {
    for (const char* v : AIMED_VERBS)
        if (verb == v) return true;
    return false;
}

bool ParseChord(const std::string& chord, DWORD* key, std::vector<DWORD>* mods) {
    mods->clear();
    size_t start = 0;
    for (;;) {
        size_t plus = chord.find('+', start);
        // A trailing '+' is a key of its own only if named; "Ctrl++" is not a chord.
        std::string part = chord.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (part.empty()) return false;
        if (plus == std::string::npos) return KeyFromName(part, key);
        int m;
        if (!Lookup(MODIFIER_NAMES, part, &m)) {
            DWORD code;
            if (!KeyFromName(part, &code)) return false;
            m = (int)code;
        }
        if (mods->size() >= 3) return false;
        mods->push_back((DWORD)m);
        start = plus + 1;
    }
}

std::string ScriptText::Help() {
    std::string out;
    for (const Verb& v : VERBS)
        out += Fmt("  %-44s %s\n", v.usage, v.what);
    return out;
}

std::vector<std::string> ScriptText::SavePaths() const {
    std::vector<std::string> paths;
    for (const ScriptCommand& c : commands_)
        if (c.verb == "save") paths.push_back(c.args[0]);
    return paths;
}

bool ScriptText::Load(const std::string& path, std::string* err) {
    std::vector<std::string> lines;
    std::string why;
    if (!ReadLines(path, lines, &why)) {
        if (err) *err = "cannot read the script " + path + ": " + why;
        return false;
    }
    std::string text;
    for (const std::string& l : lines)
        text += l + "\n";
    if (!Parse(text, path, err)) return false;
    if (commands_.empty()) {
        if (err) *err = "the script " + path + " holds no command";
        return false;
    }
    return true;
}

bool ScriptText::Parse(const std::string& text, const std::string& name, std::string* err) {
    name_ = name;
    commands_.clear();
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    auto fail = [&](const std::string& what) {
        if (err) *err = Fmt("%s:%d: %s", name.c_str(), lineNo, what.c_str());
        return false;
    };
    while (std::getline(in, raw)) {
        ++lineNo;
        size_t hash = CommentStart(raw);
        std::string line = Trim(hash == std::string::npos ? raw : raw.substr(0, hash));
        if (line.empty()) continue;
        std::istringstream words(line);
        std::string ts, verb;
        words >> ts >> verb;
        ScriptCommand c;
        c.line = lineNo;
        if (!Number(ts, &c.t) || c.t < 0.0)
            return fail("a line starts with its time in seconds, not \"" + ts + "\"");
        if (c.t > MAX_SCRIPT_TIME) return fail("a time is at most 1e+09 seconds, not " + ts);
        if (verb.empty()) return fail("time without a command");
        const Verb* v = nullptr;
        for (const Verb& k : VERBS)
            if (verb == k.name) v = &k;
        if (!v) {
            std::vector<std::string> names;
            for (const Verb& k : VERBS)
                names.push_back(k.name);
            std::string near = Nearest(verb, names);
            return fail("unknown command \"" + verb + "\"" +
                        (near.empty() ? "" : "; did you mean " + near + "?"));
        }
        c.verb = verb;
        std::string a;
        while (words >> a)
            c.args.push_back(a);
        size_t at = line.find(verb, ts.size());
        c.rest = Trim(line.substr(at + verb.size()));
        if (verb != "input" && ((int)c.args.size() < v->min || (int)c.args.size() > v->max))
            return fail(Fmt("%s takes %s, not %zu: %s", verb.c_str(), ArgumentCount(*v).c_str(),
                            c.args.size(), v->usage));
        if (!commands_.empty() && c.t < commands_.back().t) return fail("times must not go backwards");
        if (verb == "key" || verb == "hold") {
            if (!ParseChord(c.args[0], &c.key, &c.mods)) return fail("unknown key \"" + c.args[0] + "\"");
            if (verb == "hold" && (!Integer(c.args[1], &c.frames) || c.frames <= 0))
                return fail("hold needs a positive number of frames");
        } else if (verb == "thgroup") {
            if (!Lookup(THGROUP_NAMES, c.args[0], &c.thgroup))
                return fail("unknown thruster group " + c.args[0]);
            if (!Number(c.args[1], &c.level) || c.level < 0.0 || c.level > 1.0)
                return fail("thruster level must be 0 to 1");
        } else if (verb == "surface") {
            if (!Lookup(SURFACE_NAMES, c.args[0], &c.surface))
                return fail("unknown control surface " + c.args[0]);
            if (!Number(c.args[1], &c.level) || c.level < -1.0 || c.level > 1.0)
                return fail("surface level must be -1 to 1");
        } else if (verb == "camera") {
            if (!IEquals(c.args[0].c_str(), "COCKPIT") && !IEquals(c.args[0].c_str(), "EXTERN"))
                return fail("camera is COCKPIT or EXTERN");
        } else if (verb == "save") {
            std::string refusal = SavePathRefusal(c.args[0]);
            if (!refusal.empty()) return fail(refusal);
        } else if (verb == "playback") {
            if (c.args[0] != "on" && c.args[0] != "off") return fail("playback is on or off");
        } else if (verb == "place") {
            if (!IEquals(c.args[1].c_str(), "REL"))
                return fail("place NAME REL OTHER dx dy dz [dvx dvy dvz]");
            if (c.args.size() != 6 && c.args.size() != 9) return fail("place takes three or six numbers");
            for (size_t i = 3; i < c.args.size(); ++i)
                if (!Number(c.args[i], &c.num[i - 3])) return fail("not a number: " + c.args[i]);
        } else if (verb == "undock") {
            int a;
            if (!Integer(c.args[1], &a) || a < 0) return fail("undock needs a port number");
            c.num[0] = a;
        } else if (verb == "dock" || verb == "attach") {
            int a, b;
            if (!Integer(c.args[1], &a) || !Integer(c.args[3], &b) || a < 0 || b < 0)
                return fail(verb + " needs port or point numbers");
            c.num[0] = a;
            c.num[1] = b;
        }
        commands_.push_back(c);
    }
    return true;
}

} // namespace hs
