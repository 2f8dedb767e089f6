// The hostsim command: flies a scenario with the stand-in host and prints its timeline.
#include "physics/physics.h"
#include "script.h"
#include "sim.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#ifndef HOSTSIM_DEFAULT_ROOT
#define HOSTSIM_DEFAULT_ROOT "."
#endif

namespace {

const char USAGE[] =
    "usage: hostsim run SCENARIO [options]\n"
    "       hostsim --help\n"
    "\n"
    "Loads SCENARIO (a path, or a name under <root>/Scenarios, \".scn\" optional), flies it frame by frame\n"
    "and prints a timeline: vessels created and deleted, keys, HUD text and the debug line when they\n"
    "change, and a summary with the misuse count.\n"
    "\n"
    "timeline: \"[T] what\", T the simulated time in seconds. Within a frame that runs from T0 to T1, what\n"
    "happens before the physics step (script commands, keys, pre-step) is stamped T0; the physics step and\n"
    "everything after it (post-step, HUD, debug line, vessels created or deleted then) is stamped T1, the time\n"
    "of the telemetry row written after that step. A telemetry row at T still lists a vessel deleted at T.\n"
    "A HUD line is printed when it changes (a running number at most every 0.25 s, its last value before the\n"
    "run ends) and \"HUD V gone: TEXT\" when it is no longer drawn. \"warning:\" lines tell of scenario\n"
    "lines that neither the module nor the host knows, and other things the host let pass.\n"
    "\n"
    "options:\n"
    "  --root DIR            host root folder with Config/, Modules/, Meshes/, Scenarios/\n"
    "                        (default: $HOSTSIM_ROOT, else the build's assembled root)\n"
    "  --script FILE         flight script: lines \"<seconds> <command> [arguments]\", '#' starts a comment\n"
    "  --dt SECONDS          frame length (default 0.016666...)\n"
    "  --until T             run until simulated time T (default: the script's last command, else 1 s)\n"
    "  --frames N            run N frames; 0 loads and saves without stepping\n"
    "  --save FILE           save the scenario at the end\n"
    "  --plugin NAME         load Modules/Plugin/NAME.so before the scenario (repeatable)\n"
    "  --visuals             give every vessel a visual (clbkVisualCreated, device meshes)\n"
    "  --trace               also log module loads and scenario lines the host does not know\n"
    "  --telemetry FILE.csv  write time,name,position,velocity,altitude,airspeed,mass,propellant,contact\n"
    "  --telemetry-interval S  seconds between telemetry rows (default 1; 0 = every frame)\n"
    "  --seed N              seed of oapiRand (default 1)\n"
    "\n"
    "script commands:\n"
    "  key [Shift+|Ctrl+|Alt+]KEY      press and release a key (names as OAPI_KEY_ without the prefix)\n"
    "  hold KEY FRAMES                 hold a key down for a number of frames\n"
    "  thgroup TYPE LEVEL              MAIN, RETRO, HOVER, ATT_PITCHUP, ... level 0..1\n"
    "  surface ELEVATOR|RUDDER|AILERON LEVEL   stick and rudder, -1..1\n"
    "  camera COCKPIT|EXTERN           camera mode\n"
    "  focus NAME                      switch the focus vessel\n"
    "  vessel [NAME]                   aim the following keys and levels at NAME (none: the focus)\n"
    "  input TEXT | escape             answer or escape the open input box\n"
    "  place NAME REL OTHER dx dy dz [dvx dvy dvz]   put NAME beside OTHER (OTHER's frame)\n"
    "  dock A PORT B PORT              dock two vessels\n"
    "  undock A PORT                   undock whatever is docked at A's port\n"
    "  attach PARENT POINT CHILD POINT attach a child (point indices per kind)\n"
    "  save FILE                       save the scenario now (relative to <root>/Scenarios)\n"
    "  playback on|off                 pretend to play back a recording\n"
    "  quit                            stop the run\n"
    "\n"
    "exit status: 0 done, 1 a class file, module, plugin or root is missing, 2 bad input\n";

// A progress line on the terminal, for runs that take more than a few seconds of real time. It lives on
// stderr and is wiped before every timeline line, so a terminal that shows both never mixes them.
struct Progress {
    bool enabled = false;
    bool shown = false;
    double until = -1.0;   // s of simulated time, or
    long frames = -1;      // frames to run
    std::chrono::steady_clock::time_point start, lastDraw;
};
Progress g_progress;
constexpr double PROGRESS_AFTER = 3.0;    // s of real time before the line first appears
constexpr double PROGRESS_REDRAW = 0.25;  // s of real time between redraws

void ClearProgress() {
    if (!g_progress.shown) return;
    fputs("\r\033[K", stderr);
    g_progress.shown = false;
}

void ShowProgress(double simt, long done) {
    using clock = std::chrono::steady_clock;
    auto now = clock::now();
    double elapsed = std::chrono::duration<double>(now - g_progress.start).count();
    if (elapsed < PROGRESS_AFTER || std::chrono::duration<double>(now - g_progress.lastDraw).count() < PROGRESS_REDRAW)
        return;
    g_progress.lastDraw = now;
    double fraction = g_progress.frames > 0 ? (double)done / (double)g_progress.frames
                      : g_progress.until > 0.0 ? simt / g_progress.until : 0.0;
    fprintf(stderr, "\r\033[Khostsim: %3.0f%%  simulated %.1f s  frame %ld  %.0fx real time", 100.0 * fraction, simt,
            done, elapsed > 0.0 ? simt / elapsed : 0.0);
    fflush(stderr);
    g_progress.shown = true;
}

int Bad(const std::string& msg) {
    fprintf(stderr, "hostsim: %s\n", msg.c_str());
    return 2;
}

// Paths the user gives are relative to where the command runs, not to the host root.
std::string FromHere(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return path;
    return std::string(cwd) + "/" + path;
}

bool Value(int argc, char** argv, int& i, std::string* out) {
    if (i + 1 >= argc) return false;
    *out = argv[++i];
    return true;
}

bool Number(const std::string& s, double* out) {
    char* end = nullptr;
    *out = strtod(s.c_str(), &end);
    return !s.empty() && *end == '\0';
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        fputs(USAGE, stdout);
        return 0;
    }
    if (argc < 2 || strcmp(argv[1], "run") != 0) {
        fputs(USAGE, stderr);
        return 2;
    }
    hs::SimOptions opt;
    const char* envRoot = getenv("HOSTSIM_ROOT");
    opt.root = envRoot && *envRoot ? envRoot : HOSTSIM_DEFAULT_ROOT;
    opt.echo = true;
    opt.keepTimeline = false;
    opt.beforeEcho = ClearProgress;
    std::string scenario, scriptPath, savePath, telemetry;
    double until = -1.0, telemetryInterval = 1.0;
    long frames = -1;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i], v;
        double d;
        if (a == "--help") {
            fputs(USAGE, stdout);
            return 0;
        } else if (a == "--root") {
            if (!Value(argc, argv, i, &v)) return Bad("--root needs a folder");
            opt.root = v;
        } else if (a == "--script") {
            if (!Value(argc, argv, i, &v)) return Bad("--script needs a file");
            scriptPath = FromHere(v);
        } else if (a == "--dt") {
            if (!Value(argc, argv, i, &v) || !Number(v, &d) || d <= 0.0) return Bad("--dt needs seconds > 0");
            opt.dt = d;
        } else if (a == "--until") {
            if (!Value(argc, argv, i, &v) || !Number(v, &d) || d < 0.0) return Bad("--until needs seconds >= 0");
            until = d;
        } else if (a == "--frames") {
            if (!Value(argc, argv, i, &v) || !Number(v, &d) || d < 0.0 || d != (double)(long)d)
                return Bad("--frames needs a whole number >= 0");
            frames = (long)d;
        } else if (a == "--save") {
            if (!Value(argc, argv, i, &v)) return Bad("--save needs a file");
            savePath = FromHere(v);
        } else if (a == "--plugin") {
            if (!Value(argc, argv, i, &v)) return Bad("--plugin needs a name");
            opt.plugins.push_back(v.find('/') != std::string::npos ? FromHere(v) : v);
        } else if (a == "--visuals") {
            opt.visuals = true;
        } else if (a == "--trace") {
            opt.trace = true;
        } else if (a == "--telemetry") {
            if (!Value(argc, argv, i, &v)) return Bad("--telemetry needs a file");
            telemetry = FromHere(v);
        } else if (a == "--telemetry-interval") {
            if (!Value(argc, argv, i, &v) || !Number(v, &d) || d < 0.0)
                return Bad("--telemetry-interval needs seconds >= 0");
            telemetryInterval = d;
        } else if (a == "--seed") {
            if (!Value(argc, argv, i, &v) || !Number(v, &d) || d < 0.0) return Bad("--seed needs a number");
            opt.seed = (unsigned)d;
        } else if (!a.empty() && a[0] == '-') {
            return Bad("unknown option " + a);
        } else if (scenario.empty()) {
            scenario = a;
        } else {
            return Bad("more than one scenario: " + a);
        }
    }
    if (scenario.empty()) return Bad("no scenario given");
    if (until >= 0.0 && frames >= 0) return Bad("--until and --frames exclude each other");
    if (access(scenario.c_str(), R_OK) == 0) scenario = FromHere(scenario);
    opt.root = FromHere(opt.root);

    hs::Script script;
    std::string err;
    if (!scriptPath.empty() && !script.Load(scriptPath, &err)) {
        fprintf(stderr, "%s\n", err.c_str());
        return 2;
    }
    if (until < 0.0 && frames < 0) until = scriptPath.empty() ? 1.0 : script.LastTime();

    hs::Sim& sim = hs::Sim::Get();
    if (!sim.Init(opt, &err)) {
        fprintf(stderr, "hostsim: %s\n", err.c_str());
        return 1;
    }
    if (!telemetry.empty() && !hs::TelemetryOpen(telemetry, telemetryInterval, &err)) {
        fprintf(stderr, "hostsim: %s\n", err.c_str());
        sim.Shutdown();
        return 2;
    }
    if (!sim.LoadScenario(scenario, &err)) {
        fprintf(stderr, "%s\n", err.c_str());
        int status = sim.LastError() == hs::Sim::LOAD_BAD_INPUT ? 2 : 1;
        sim.Shutdown();
        return status;
    }
    g_progress.enabled = isatty(STDERR_FILENO) != 0;
    g_progress.until = until;
    g_progress.frames = frames;
    g_progress.start = g_progress.lastDraw = std::chrono::steady_clock::now();
    script.Run(sim, until, frames, g_progress.enabled ? ShowProgress : nullptr);
    ClearProgress();
    double realSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - g_progress.start).count();
    int status = 0;
    if (!savePath.empty() && !sim.SaveScenario(savePath, &err)) {
        fprintf(stderr, "hostsim: %s\n", err.c_str());
        status = 1;
    }
    printf("summary: frames %ld, simulated time %.3f s, real time %.3f s, real-time factor %.1f, vessels %zu, "
           "misuse %d\n",
           sim.FrameCount(), sim.SimTime(), realSeconds, realSeconds > 0.0 ? sim.SimTime() / realSeconds : 0.0,
           sim.Vessels().size(), sim.MisuseCount());
    if (script.RuntimeErrors() > 0) printf("script: %d command(s) could not be carried out\n", script.RuntimeErrors());
    sim.Shutdown();
    return status;
}
