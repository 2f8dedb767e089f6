// The hostsim command: flies a scenario with the stand-in host and prints its timeline.
#include "cli.h"
#include "lib/host.h"
#include "physics/physics.h"
#include "script.h"

#include <climits>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#ifndef HOSTSIM_DEFAULT_ROOT
#define HOSTSIM_DEFAULT_ROOT "."
#endif
#ifndef HOSTSIM_VERSION
#define HOSTSIM_VERSION "unknown"
#endif

using namespace cli;

namespace {

constexpr const char* ROOT_LOCK_FILE = "hostsim.lock";

int Fail(int status, const std::string& msg) {
    fprintf(stderr, "hostsim: %s\n", msg.c_str());
    return status;
}

// Every file the run will write, checked before anything flies: a mistyped folder must not cost the flight.
bool CheckOutputs(const CommandLine& cl, std::string* err) {
    const std::pair<const char*, const std::string*> outputs[] = {
        {"--save", &cl.savePath}, {"--telemetry", &cl.telemetry}, {"--trace-file", &cl.opt.traceFile}};
    for (const auto& o : outputs) {
        std::string why;
        if (!o.second->empty() && !CanWrite(*o.second, &why)) {
            *err = std::string(o.first) + " " + *o.second + ": " + why + "; nothing was flown";
            return false;
        }
    }
    return true;
}

// Whether the folder of a path relative to the root (the current folder) lies under the root once its links
// are followed.
bool FolderUnderRoot(const std::string& path) {
    size_t slash = path.rfind('/');
    char real[PATH_MAX];
    // A folder that is not there is for CanWrite to report.
    if (!realpath(slash == std::string::npos ? "." : path.substr(0, slash).c_str(), real)) return true;
    const std::string& root = hs::TheWorld().root;
    return strncmp(real, root.c_str(), root.size()) == 0 && (real[root.size()] == '/' || !real[root.size()]);
}

// The script's save commands write under the host root, known once the world stands there.
bool CheckScriptOutputs(const hs::Script& script, const std::string& scriptPath, std::string* err) {
    for (const std::string& p : script.SavePaths()) {
        std::string why, path = hs::HostPath("Scenarios\\" + p);
        if (!FolderUnderRoot(path)) why = "its folder lies outside the host root";
        if (!why.empty() || !CanWrite(path, &why)) {
            *err = hs::Fmt("%s: save %s: %s; nothing was flown", scriptPath.c_str(), p.c_str(), why.c_str());
            return false;
        }
    }
    return true;
}

// One run per host root at a time: runs on one root share its crew transfer files and its saves, and would
// take each other's crew. The lock lasts as long as the process; a root the run cannot write needs none.
bool LockRoot(const std::string& root, std::string* err) {
    char real[PATH_MAX];
    if (!realpath(root.c_str(), real)) return true; // Init reports the missing root
    std::string path = std::string(real) + "/" + ROOT_LOCK_FILE;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return errno == EROFS || errno == EACCES;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    close(fd);
    *err = "another hostsim run is flying on the host root " + std::string(real) + " (it holds " + path +
           "); wait for it, or give this run a root of its own";
    return false;
}

// Frames a run to simulated time `until` flies: a command or the end is due within half a frame.
long FramesUntil(double until, double dt) { return until <= 0.5 * dt ? 0 : (long)std::ceil(until / dt - 0.5); }

void WarnShortRun(const CommandLine& cl, double until) {
    if (cl.frames >= 0 || until <= 0.0 || cl.opt.dt <= until) return;
    long n = FramesUntil(until, cl.opt.dt);
    fprintf(stderr,
            "hostsim: warning: the frame length %g s is longer than the run of %g s: %ld frame%s, to %g s; give a "
            "shorter --dt or a later --until\n",
            cl.opt.dt, until, n, n == 1 ? "" : "s", (double)n * cl.opt.dt);
}

int Usage(const char* word) {
    if (!word) return Fail(EXIT_BAD_INPUT, "no command: hostsim run SCENARIO [options] (hostsim --help for more)");
    if (word[0] == '-') return Fail(EXIT_BAD_INPUT, std::string("unknown option ") + word + "; " + OptionHint(word));
    return Fail(EXIT_BAD_INPUT, std::string("unknown command ") + word +
                                    ": hostsim run SCENARIO [options] or hostsim check MODULE (hostsim --help for more)");
}

// --help and --version answer wherever they stand.
bool Asked(int argc, char** argv, const char* a, const char* b = nullptr) {
    for (int i = 1; i < argc; ++i)
        if (strcmp(argv[i], a) == 0 || (b && strcmp(argv[i], b) == 0)) return true;
    return false;
}

int Summary(const CommandLine& cl, const hs::Script& script, bool saved) {
    hs::Sim& sim = hs::Sim::Get();
    double real = ProgressElapsed();
    printf("summary: frames %ld, simulated time %.3f s, real time %.3f s, real-time factor %.1f, vessels %zu, "
           "misuse %d, not modelled %d\n",
           sim.FrameCount(), sim.SimTime(), real, real > 0.0 ? sim.SimTime() / real : 0.0, sim.Vessels().size(),
           sim.MisuseCount(), sim.UnmodelledCount());
    if (script.RuntimeErrors() > 0) printf("script: %d command(s) could not be carried out\n", script.RuntimeErrors());
    if (!saved) return EXIT_MISSING;
    if (script.RuntimeErrors() > 0) return EXIT_SCRIPT_FAILED;
    if (cl.strict && sim.MisuseCount() > 0) {
        printf("strict: the host counted misuse\n");
        return EXIT_MISUSE;
    }
    if (sim.Stopped()) {
        printf("modelled-only: a module called a host function hostsim does not model; the run ended there\n");
        return EXIT_NOT_MODELLED;
    }
    return EXIT_DONE;
}

int Fly(CommandLine& cl) {
    hs::Script script;
    std::string err;
    if (!cl.scriptPath.empty() && !script.Load(cl.scriptPath, &err)) return Fail(EXIT_BAD_INPUT, err);
    double until = cl.until;
    if (until < 0.0 && cl.frames < 0) until = cl.scriptPath.empty() ? 1.0 : script.LastTime();
    if (until > 0.0 && !hs::RunFitsFrames(until, cl.opt.dt))
        return Fail(
            EXIT_BAD_INPUT,
            hs::Fmt("the script's last time %g s at --dt %g makes more than 1e+09 frames", until, cl.opt.dt));
    if (!CheckOutputs(cl, &err)) return Fail(EXIT_BAD_INPUT, err);
    if (!LockRoot(cl.opt.root, &err)) return Fail(EXIT_BAD_INPUT, err);
    hs::Sim& sim = hs::Sim::Get();
    if (!sim.Init(cl.opt, &err)) return Fail(EXIT_MISSING, err);
    int status = EXIT_DONE;
    // Outputs that cannot be written are bad input, like the options that name them.
    if (!CheckScriptOutputs(script, cl.scriptPath, &err) ||
        (!cl.telemetry.empty() && !hs::TelemetryOpen(cl.telemetry, cl.telemetryInterval, &err)))
        status = Fail(EXIT_BAD_INPUT, err);
    else if (!sim.LoadScenario(cl.scenario, &err))
        status = Fail(sim.LastError() == hs::Sim::LOAD_BAD_INPUT ? EXIT_BAD_INPUT : EXIT_MISSING, err);
    if (status != EXIT_DONE) {
        sim.Shutdown();
        return status;
    }
    WarnShortRun(cl, until);
    ProgressStart(!cl.quiet, until, cl.frames, cl.opt.dt);
    script.Run(sim, until, cl.frames, ProgressShow);
    ProgressClear();
    bool saved = cl.savePath.empty() || sim.SaveScenario(cl.savePath, &err);
    if (!saved) Fail(EXIT_MISSING, err);
    if (!hs::TelemetryClose(&err)) {
        Fail(EXIT_MISSING, err);
        saved = false;
    }
    status = Summary(cl, script, saved);
    sim.Shutdown();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    if (Asked(argc, argv, "--help", "-h")) {
        PrintHelp(stdout);
        return EXIT_DONE;
    }
    if (Asked(argc, argv, "--version")) {
        printf("hostsim %s\n", HOSTSIM_VERSION);
        return EXIT_DONE;
    }
    if (argc >= 2 && strcmp(argv[1], "check") == 0) return Check(argc, argv, 2);
    if (argc < 2 || strcmp(argv[1], "run") != 0) return Usage(argc < 2 ? nullptr : argv[1]);
    CommandLine cl;
    const char* envRoot = getenv("HOSTSIM_ROOT");
    cl.opt.root = envRoot && *envRoot ? envRoot : HOSTSIM_DEFAULT_ROOT;
    cl.opt.echo = true;
    cl.opt.keepTimeline = false;
    cl.opt.beforeEcho = ProgressClear;
    std::string err;
    if (!ParseOptions(argc, argv, 2, &cl, &err)) return Fail(EXIT_BAD_INPUT, err);
    return Fly(cl);
}
