// The progress line of long runs, on standard error so that the timeline on standard output stays clean.
#include "cli.h"

#include <chrono>
#include <unistd.h>

namespace cli {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double PROGRESS_AFTER = 3.0;   // s of real time before the first report: short runs stay silent
constexpr double BAR_REDRAW = 0.25;      // s of real time between redraws of the bar on a terminal
constexpr double LINE_EVERY = 5.0;       // s of real time between progress lines into a file or pipe
constexpr int BAR_WIDTH = 30;            // characters

struct Progress {
    bool enabled = false;
    bool terminal = false;
    bool shown = false; // a bar is on the terminal's last line
    double until = -1.0; // s of simulated time, or
    long frames = -1;    // frames to run
    Clock::time_point start, last;
};
Progress g;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

} // namespace

void ProgressStart(bool enabled, double until, long frames, double dt) {
    g = Progress();
    g.enabled = enabled;
    g.terminal = isatty(STDERR_FILENO) != 0;
    g.until = until;
    g.frames = frames;
    if (frames >= 0) g.until = (double)frames * dt;
    g.start = g.last = Clock::now();
}

void ProgressClear() {
    if (!g.shown) return;
    fputs("\r\033[K", stderr);
    g.shown = false;
}

void ProgressShow(double simt, long done) {
    if (!g.enabled) return;
    Clock::time_point now = Clock::now();
    double elapsed = Seconds(g.start, now);
    if (elapsed < PROGRESS_AFTER || Seconds(g.last, now) < (g.terminal ? BAR_REDRAW : LINE_EVERY)) return;
    g.last = now;
    double fraction = g.frames > 0 ? (double)done / (double)g.frames : g.until > 0.0 ? simt / g.until : 0.0;
    fraction = fraction > 1.0 ? 1.0 : fraction;
    double rate = simt / elapsed; // simulated seconds per real second
    double left = rate > 0.0 && g.until > simt ? (g.until - simt) / rate : 0.0;
    char text[160];
    snprintf(text, sizeof text, "%3.0f%%  simulated %.1f of %.1f s  frame %ld  %.1fx real time  about %.0f s left",
             100.0 * fraction, simt, g.until, done, rate, left);
    if (!g.terminal) {
        fprintf(stderr, "hostsim: %s\n", text);
        return;
    }
    char bar[BAR_WIDTH + 1];
    int filled = (int)(fraction * BAR_WIDTH);
    for (int i = 0; i < BAR_WIDTH; ++i) bar[i] = i < filled ? '#' : '.';
    bar[BAR_WIDTH] = '\0';
    fprintf(stderr, "\r\033[Khostsim [%s] %s", bar, text);
    fflush(stderr);
    g.shown = true;
}

double ProgressElapsed() { return Seconds(g.start, Clock::now()); }

} // namespace cli
