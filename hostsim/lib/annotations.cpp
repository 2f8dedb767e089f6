// Annotations laid over the simulation window, and the host's log file.
#include "host.h"

#include <cstring>

using namespace hs;

namespace {

// The host names its log so in its root, and begins it afresh each run.
const char* const LOG_NAME = "Orbiter.log";

Annotation* Note(NOTEHANDLE h, const char* fn) {
    Annotation* n = Slots<Annotation>().Find(h);
    if (!n) Misuse("%s: not an annotation the host made", fn);
    return n;
}

void AppendToLog(const std::string& text) {
    World& w = W();
    if (!w.logStarted) StartLog();
    if (FILE* f = fopen((w.root + "/" + LOG_NAME).c_str(), "a")) {
        // Each line carries the seconds the run has been going, as the host's do.
        fprintf(f, "%010.3f: %s\n", w.systime, text.c_str());
        fclose(f);
    }
}

std::string Formatted(const char* format, va_list ap) {
    va_list again;
    va_copy(again, ap);
    const int n = vsnprintf(nullptr, 0, format, ap);
    std::string out(n > 0 ? (size_t)n : 0, '\0');
    if (n > 0) vsnprintf(&out[0], (size_t)n + 1, format, again);
    va_end(again);
    return out;
}

// The host hands a plain line to its formatter: "%%" comes out as "%", and any other conversion would print
// whatever the call's stack holds. The line is written as the host writes it where the host's result is
// defined, and the other conversions are kept as they stand, with a warning.
std::string PlainLine(const char* line, bool* strayConversion) {
    std::string out;
    for (const char* p = line; *p; ++p) {
        if (*p == '%' && p[1] == '%') {
            out += '%';
            ++p;
            continue;
        }
        if (*p == '%') *strayConversion = true;
        out += *p;
    }
    return out;
}

} // namespace

namespace hs {

void StartLog() {
    World& w = W();
    w.logStarted = true;
    if (FILE* f = fopen((w.root + "/" + LOG_NAME).c_str(), "w")) {
        fprintf(f, "**** %s\n", LOG_NAME);
        fclose(f);
    }
}

void ShowAnnotations(bool flush) {
    World& w = W();
    for (auto& n : w.notes) {
        if (n->printed == n->text) continue;
        // A number that keeps changing (a countdown) is shown as the HUD shows one: at most every interval.
        const bool running = !flush && w.stamp - n->changedAt < HUD_PRINT_INTERVAL &&
                             SameShape(n->printed, n->text) && w.stamp - n->printedAt < HUD_PRINT_INTERVAL;
        if (running) continue;
        if (n->text.empty())
            Say("note %d gone: %s", n->number, n->printed.c_str());
        else
            Say("note %d: %s", n->number, n->text.c_str());
        n->printed = n->text;
        n->printedAt = w.stamp;
    }
}

} // namespace hs

// --- Annotations ---

NOTEHANDLE oapiCreateAnnotation(bool exclusive, double size, const VECTOR3& col) {
    World& w = W();
    SlotPtr<Annotation> n = MakeSlot<Annotation>(nullptr);
    if (!n) return nullptr;
    n->number = ++w.notesMade;
    n->size = size;
    n->colour = col;
    Trace("annotation %d made (%s)", n->number, exclusive ? "exclusive" : "shared");
    w.notes.push_back(std::move(n));
    return w.notes.back().get();
}

// The host answers false for a null handle; any other it did not make is a module's fault.
bool oapiDelAnnotation(NOTEHANDLE hNote) {
    if (!hNote) return false;
    Annotation* n = Note(hNote, "oapiDelAnnotation");
    if (!n) return false;
    World& w = W();
    if (!n->printed.empty()) Say("note %d gone: %s", n->number, n->printed.c_str());
    for (size_t i = 0; i < w.notes.size(); ++i)
        if (w.notes[i].get() == n) {
            w.notes.erase(w.notes.begin() + (long)i);
            break;
        }
    return true;
}

// A null handle is passed over, as the host passes over it.
void oapiAnnotationSetPos(NOTEHANDLE hNote, double x1, double y1, double x2, double y2) {
    if (!hNote) return;
    if (Annotation* n = Note(hNote, "oapiAnnotationSetPos")) {
        n->x1 = x1;
        n->y1 = y1;
        n->x2 = x2;
        n->y2 = y2;
    }
}

void oapiAnnotationSetSize(NOTEHANDLE hNote, double size) {
    if (!hNote) return;
    if (Annotation* n = Note(hNote, "oapiAnnotationSetSize")) n->size = size;
}

void oapiAnnotationSetColour(NOTEHANDLE hNote, const VECTOR3& col) {
    if (!hNote) return;
    if (Annotation* n = Note(hNote, "oapiAnnotationSetColour")) n->colour = col;
}

// Null text clears the annotation.
void oapiAnnotationSetText(NOTEHANDLE hNote, const char* note) {
    if (!hNote) return;
    Annotation* n = Note(hNote, "oapiAnnotationSetText");
    if (!n) return;
    std::string text = note ? note : "";
    if (text == n->text) return;
    n->text = std::move(text);
    n->changedAt = W().stamp;
}

// --- The log ---

void oapiWriteLog(const char* line) {
    if (!line) return;
    bool stray = false;
    const std::string text = PlainLine(line, &stray);
    if (stray)
        Say("warning: oapiWriteLog: the host reads \"%s\" as a format: a '%%' in it must be \"%%%%\"", line);
    Say("log: %s", text.c_str());
    AppendToLog(text);
}

void oapiWriteLogV(const char* format, ...) {
    if (!format) return;
    va_list ap;
    va_start(ap, format);
    const std::string text = Formatted(format, ap);
    va_end(ap);
    Say("log: %s", text.c_str());
    AppendToLog(text);
}

void __writeLogError(const char* func, const char* file, int line, const char* format, ...) {
    if (!format) return;
    va_list ap;
    va_start(ap, format);
    const std::string text = Formatted(format, ap);
    va_end(ap);
    const std::string where = Fmt("[%s | %s | %d]", func ? func : "", file ? file : "", line);
    Say("log: error: %s %s", text.c_str(), where.c_str());
    AppendToLog("============================ ERROR: ===========================");
    AppendToLog(text);
    AppendToLog(where);
    AppendToLog("===============================================================");
}
