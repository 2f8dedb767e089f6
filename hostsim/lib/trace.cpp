// The call trace: which calls it shows, how their arguments and results read, and where it goes.
#include "host.h"

#include <cerrno>
#include <cstring>
#include <fnmatch.h>

namespace hs {

namespace {

bool Matches(const std::string& pattern, const char* text) {
    return fnmatch(pattern.c_str(), text, FNM_CASEFOLD) == 0;
}

// A vessel is named by its name or by its timeline tag.
bool VesselMatches(const std::string& pattern, const Vessel* v) {
    return Matches(pattern, v->name.c_str()) || Matches(pattern, v->tag.c_str());
}

// "NAME.CALL" takes the calls of those vessels; a lone word takes a vessel's calls or a call on every vessel.
bool PatternTakes(const std::string& pattern, const Vessel* v, const char* fn) {
    size_t dot = pattern.find('.');
    if (dot != std::string::npos)
        return VesselMatches(pattern.substr(0, dot), v) && Matches(pattern.substr(dot + 1), fn);
    return VesselMatches(pattern, v) || Matches(pattern, fn);
}

} // namespace

bool TraceStart(std::string* err) {
    World& w = W();
    w.traceFilter.clear();
    const std::string& f = w.opt.traceFilter;
    for (size_t start = 0; start <= f.size();) {
        size_t comma = f.find(',', start);
        std::string p = Trim(f.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!p.empty()) w.traceFilter.push_back(p);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (w.opt.traceFile.empty()) return true;
    w.traceOut = fopen(w.opt.traceFile.c_str(), "w");
    if (!w.traceOut && err) *err = "cannot write the trace file " + w.opt.traceFile + ": " + strerror(errno);
    return w.traceOut != nullptr;
}

void TraceStop() {
    World& w = W();
    if (w.traceOut) fclose(w.traceOut);
    w.traceOut = nullptr;
}

bool TraceWanted(const Vessel* v, const char* fn) {
    const World& w = W();
    if (w.traceFilter.empty()) return true;
    for (const std::string& p : w.traceFilter)
        if (PatternTakes(p, v, fn)) return true;
    return false;
}

void TraceCallLine(const Vessel* v, const char* fn, const std::string& args, const std::string* result) {
    const char* who = W().caller;
    std::string line = who ? "[" + std::string(who) + "] " : std::string();
    line += v->tag + "." + fn + "(" + args + ")";
    if (result) line += " = " + *result;
    TraceOut(line);
}

void TraceText(std::string& out, double d) { out += Fmt("%.8g", d); }
void TraceText(std::string& out, int i) { out += std::to_string(i); }
void TraceText(std::string& out, unsigned i) { out += std::to_string(i); }
void TraceText(std::string& out, long i) { out += std::to_string(i); }
void TraceText(std::string& out, unsigned long i) { out += std::to_string(i); }
void TraceText(std::string& out, bool b) { out += b ? "true" : "false"; }

void TraceText(std::string& out, const char* s) {
    if (!s) {
        out += "null";
        return;
    }
    constexpr size_t SHOWN = 80; // characters of a text argument; a trace line stays one line
    size_t n = strnlen(s, SHOWN + 1);
    out += "\"" + std::string(s, n > SHOWN ? SHOWN : n) + (n > SHOWN ? "...\"" : "\"");
}

// A vessel's handle reads as its name; any other handle by its address.
void TraceText(std::string& out, const void* handle) {
    if (!handle) out += "null";
    else if (const Vessel* v = Slots<Vessel>().Find(handle)) out += v->tag;
    else out += Fmt("%p", handle);
}

void TraceText(std::string& out, const VECTOR3& vec) { out += Fmt("(%.6g, %.6g, %.6g)", vec.x, vec.y, vec.z); }

void TraceText(std::string& out, const MATRIX3& m) {
    out += "[";
    for (int i = 0; i < 9; ++i) out += Fmt(i ? " %.4g" : "%.4g", m.data[i]);
    out += "]";
}

} // namespace hs
