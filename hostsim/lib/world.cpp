// The world record, the timeline, misuse counting, handle checks and small text helpers.
#include "host.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstring>
#include <sys/stat.h>

namespace hs {

World hsWorld;

World& TheWorld() { return hsWorld; }

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

static std::string VFmt(const char* fmt, va_list ap) {
    char buf[1024];
    va_list ap2;
    va_copy(ap2, ap);
    int n = vsnprintf(buf, sizeof buf, fmt, ap);
    std::string s;
    if (n >= (int)sizeof buf) {
        s.resize((size_t)n + 1);
        vsnprintf(&s[0], s.size(), fmt, ap2);
        s.resize((size_t)n);
    } else if (n > 0) {
        s.assign(buf, (size_t)n);
    }
    va_end(ap2);
    return s;
}

std::string Fmt(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFmt(fmt, ap);
    va_end(ap);
    return s;
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
    if (w.misuse <= MISUSE_LINES_KEPT) AddLine(std::string("misuse: ") + what);
    else if (w.misuse == MISUSE_LINES_KEPT + 1) AddLine("misuse: further misuse is counted only");
}

void Misuse(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFmt(fmt, ap);
    va_end(ap);
    CountMisuse(s.c_str());
}

void BadVessel(OBJHANDLE h, const char* fn) { Misuse("%s: %s vessel handle", fn, h ? "dead or foreign" : "null"); }

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

bool IEquals(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

bool IPrefix(const char* line, const char* key) { return strncasecmp(line, key, strlen(key)) == 0; }

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return std::string();
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines, std::string* why) {
    auto fail = [why](const std::string& what) {
        if (why) *why = what;
        return false;
    };
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return fail(strerror(errno));
    struct stat st;
    bool regular = fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode);
    // A folder, a device or a pipe is no file to read: /dev/zero would never end.
    if (!regular || st.st_size > (off_t)TEXT_FILE_MAX) {
        fclose(f);
        return fail(regular ? Fmt("larger than %zu bytes", TEXT_FILE_MAX)
                            : std::string("not a regular file"));
    }
    std::string text((size_t)st.st_size, '\0');
    size_t got = fread(&text[0], 1, text.size(), f);
    fclose(f);
    text.resize(got);
    lines.clear();
    for (size_t start = 0; start < text.size();) {
        size_t nl = text.find('\n', start);
        size_t end = nl == std::string::npos ? text.size() : nl;
        lines.emplace_back(text, start, end - start);
        if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
        start = end + 1;
    }
    return true;
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

// Edits (insert, delete, change a letter) that turn a into b, letters compared in any case.
static size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            bool same = tolower((unsigned char)a[i - 1]) == tolower((unsigned char)b[j - 1]);
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string Nearest(const std::string& word, const std::vector<std::string>& names) {
    // A third of the word may be wrong, and always two letters: beyond that a hint guesses.
    size_t best = std::max<size_t>(2, word.size() / 3) + 1;
    std::string found;
    for (const std::string& n : names) {
        size_t d = EditDistance(word, n);
        if (d < best) {
            best = d;
            found = n;
        }
    }
    return found;
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
}

} // namespace hs

// Plugins and stand-ins add their own lines to the timeline.
extern "C" DLLEXPORT void hostsimTimeline(const char* line) {
    if (line) hs::Say("%s", line);
}
