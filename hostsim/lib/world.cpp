// The world record, the timeline, misuse counting, handle checks and small text helpers.
#include "host.h"
#include "physics/physics.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstring>
#include <sys/stat.h>

namespace hs {

World hsWorld;

World& TheWorld() {
    return hsWorld;
}

static void AddLine(std::string line) {
    World& w = W();
    char stamp[32];
    snprintf(stamp, sizeof stamp, "[%8.3f] ", w.stamp);
    line.insert(0, stamp);
    if (w.opt.echo) {
        if (w.opt.beforeEcho) w.opt.beforeEcho();
        fputs(line.c_str(), stdout);
        fputc('\n', stdout);
        fflush(stdout);
    }
    if (w.opt.keepTimeline) w.timeline.push_back(std::move(line));
}

void Say(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    AddLine(VFmt(fmt, ap));
    va_end(ap);
}

void TraceOut(const std::string& line) {
    World& w = W();
    if (!w.traceOut) {
        AddLine("trace: " + line);
        return;
    }
    fprintf(w.traceOut, "[%8.3f] %s\n", w.stamp, line.c_str());
}

// Lines about the host's own doings (module loads, lines kept out) belong to a trace of everything only.
void Trace(const char* fmt, ...) {
    if (!W().opt.trace || !W().traceFilter.empty()) return;
    va_list ap;
    va_start(ap, fmt);
    TraceOut(VFmt(fmt, ap));
    va_end(ap);
}

// A module that misuses a handle every frame must not fill memory with the same line.
constexpr int MISUSE_LINES_KEPT = 200;

void CountMisuse(const char* what) {
    World& w = W();
    ++w.misuse;
    if (w.misuse <= MISUSE_LINES_KEPT)
        AddLine(std::string("misuse: ") + what);
    else if (w.misuse == MISUSE_LINES_KEPT + 1)
        AddLine("misuse: further misuse is counted only");
}

void Misuse(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFmt(fmt, ap);
    va_end(ap);
    CountMisuse(s.c_str());
}

void BadVessel(OBJHANDLE h, const char* fn) {
    Misuse("%s: %s vessel handle", fn, h ? "dead or foreign" : "null");
}

__attribute__((noinline, cold)) void DeadInterface(const char* fn) {
    Misuse("%s: interface without a live vessel", fn);
}

HostFile* CheckFile(FILEHANDLE f, const char* fn) {
    HostFile* hf = Slots<HostFile>().Find(f);
    if (!hf) {
        Misuse("%s: not a file handle", fn);
        return nullptr;
    }
    return hf;
}

std::string HostPath(const std::string& winPath) {
    char out[1024];
    if (!TranslatePath(winPath.c_str(), out, sizeof out)) {
        std::string s = winPath;
        for (char& c : s)
            if (c == '\\') c = '/';
        return s;
    }
    return out;
}

// A name that becomes part of a path stays in its folder: no '/', no drive, no parent step; a subfolder is
// named with '\\' only where the host has them (classes and modules). Scenario and class files come from
// strangers, and one "../" would load a library or write a file anywhere on the machine.
std::string PathNameRefusal(const std::string& name, const char* what, bool subfolders) {
    bool separator = name.find('\\') != std::string::npos;
    bool plain = name.find_first_of("/:") == std::string::npos && name.find("..") == std::string::npos;
    if (plain && (subfolders ? name[0] != '\\' : !separator)) return "";
    return Fmt("%s \"%s\" refused: a name that becomes a path may not hold /, %s.. or :", what, name.c_str(),
               subfolders ? "a leading \\, " : "\\, ");
}

bool StaysUnderRoot(const std::string& rel) {
    if (rel.empty() || rel[0] == '/') return false;
    size_t start = 0;
    while (start <= rel.size()) {
        size_t end = rel.find('/', start);
        if (end == std::string::npos) end = rel.size();
        if (rel.compare(start, end - start, "..") == 0 && end - start == 2) return false;
        start = end + 1;
    }
    return true;
}

void WriteLine(HostFile* f, const std::string& line) {
    if (f->out) {
        f->out->append(line);
        f->out->push_back('\n');
    } else if (f->fp) {
        fputs(line.c_str(), f->fp);
        fputc('\n', f->fp);
    }
}

void ResetWorld() {
    World& w = W();
    w.vessels.clear();
    w.pending.clear();
    w.statusLists.clear();
    w.env = ScenarioEnv();
    PlaceStar(w.env.mjd0);
    w.focus = nullptr;
    w.cameraMode = CAM_COCKPIT;
    w.playback = false;
    w.simt = w.simdt = w.systime = 0.0;
    w.frames = 0;
    w.rng = w.opt.seed ? w.opt.seed : 1;
    memset(w.debug, 0, sizeof w.debug);
    memset(w.lastDebug, 0, sizeof w.lastDebug);
    w.timeline.clear();
    w.misuse = 0;
    w.unmodelledCalled.clear();
    ResetBases();
    w.stopRun = false;
    w.hud.clear();
    w.lastHud.clear();
    w.hudRows.clear();
    w.stamp = 0.0;
    w.box = InputBox();
    w.keys.clear();
    w.held.clear();
    w.openFiles.clear();
    w.frameVessels = 0;
    w.loading = false;
    w.lastError = 0;
    w.centralBody = 0;
    w.initLibHandles.clear();
    w.namesUsed.clear();
    w.stepping = nullptr;
    w.notes.clear();
    w.surfaces.clear();
    w.fonts.clear();
    w.pens.clear();
    w.brushes.clear();
    w.pads.clear();
    w.dialogs.clear();
    w.disabledMfdModes.clear();
    w.notesMade = 0;
    w.logStarted = false;
}

} // namespace hs

// Plugins and stand-ins add their own lines to the timeline.
extern "C" DLLEXPORT void hostsimTimeline(const char* line) {
    if (line) hs::Say("%s", line);
}
