// The hostsim command line: its options, their help text, and hints for words that are no option.
#include "cli.h"
#include "lib/host.h"
#include "script.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

namespace {

struct Option {
    const char* name;
    const char* value; // what follows the option; null for a switch
    const char* help;  // '\n' continues the text on the next line
};

constexpr Option OPTIONS[] = {
    {"--root", "DIR", "host root folder with Config/, Modules/, Meshes/, Scenarios/\n"
                      "(default: $HOSTSIM_ROOT, else the build's assembled root)"},
    {"--script", "FILE", "flight script: lines \"<seconds> <command> [arguments]\"; a word that starts\n"
                         "with '#' starts a comment"},
    {"--dt", "SECONDS", "frame length (default 0.016666...)"},
    {"--until", "T", "run until simulated time T (default: the script's last command, else 1 s)"},
    {"--frames", "N", "run N frames; 0 loads and saves without stepping"},
    {"--save", "FILE", "save the scenario at the end"},
    {"--plugin", "NAME", "load Modules/Plugin/NAME.so before the scenario (repeatable)"},
    {"--visuals", nullptr, "give every vessel a visual (clbkVisualCreated, device meshes)"},
    {"--trace", nullptr, "log every VESSEL call with its arguments and result, the callbacks the host\n"
                         "makes, module loads and scenario lines the host does not know"},
    {"--trace=PATTERNS", nullptr, "only calls whose vessel or call matches a pattern: comma-separated,\n"
                                  "\"NAME\", \"CALL\" or \"NAME.CALL\", * and ? as wildcards, any case\n"
                                  "(--trace='Corvane-1.SetThruster*,GetAltitude'); \"[script]\" and\n"
                                  "\"[hostsim]\" mark calls the script or the host made"},
    {"--trace-file", "FILE", "write the trace there instead of into the timeline (implies --trace)"},
    {"--telemetry", "FILE.csv", "write time,name,position,velocity,altitude,airspeed,mass,propellant,contact"},
    {"--telemetry-interval", "S", "seconds between telemetry rows (default 1; 0 = every frame)"},
    {"--seed", "N", "seed of oapiRand (default 1)"},
    {"--strict", nullptr, "fail (exit status 4) when the host counted any misuse"},
    {"--modelled-only", nullptr, "end the run, failed (exit status 5), at the first call of a host function\n"
                                 "hostsim does not model (without it: a neutral result, named once)"},
    {"--quiet", nullptr, "no progress line on standard error"},
    {"--version", nullptr, "print the version and stop"},
    {"--help", nullptr, "print this text and stop"},
};

const char HEAD[] =
    "usage: hostsim run SCENARIO [options]\n"
    "       hostsim check MODULE... | hostsim check --host\n"
    "       hostsim --help | --version\n"
    "\n"
    "Loads SCENARIO (a path, or a name under <root>/Scenarios, \".scn\" optional), flies it frame by frame\n"
    "and prints a timeline: vessels created and deleted, keys, HUD text and the debug line when they\n"
    "change, and a summary with the misuse count and the count of host functions called that hostsim does\n"
    "not model (each is named once: \"not modelled: VESSEL::SetCW\"; it gave a neutral result).\n"
    "\n"
    "check: lists every host function a module file imports, marked \"modelled\", \"not modelled\" or\n"
    "\"missing\" (hostsim does not provide it: the module would not load); exit status 0 when all are\n"
    "modelled, 5 when any is not, 1 when any is missing or a file cannot be read. check --host lists every\n"
    "function the real host exports to modules, marked the same way.\n"
    "\n"
    "timeline: \"[T] what\", T the simulated time in seconds. Within a frame that runs from T0 to T1, what\n"
    "happens before the physics step (script commands, keys, pre-step) is stamped T0; the physics step and\n"
    "everything after it (post-step, HUD, debug line, vessels created or deleted then) is stamped T1, the time\n"
    "of the telemetry row written after that step. A telemetry row at T still lists a vessel deleted at T.\n"
    "A HUD line is printed when it changes (a running number at most once a simulated second, and its last\n"
    "value) and \"HUD V gone: TEXT\" when it is no longer drawn. A vessel whose name an earlier vessel of the\n"
    "run had is told apart by a tag, \"b1#2\" (a script may name it so). \"A pushes B\" is a force one vessel's\n"
    "module gave another (a projectile's strike). \"warning:\" lines tell of scenario lines that neither the\n"
    "module nor the host knows, and other things the host let pass.\n"
    "\n"
    "options:\n";

const char TAIL[] =
    "\n"
    "exit status: 0 done; 1 a class file, module, plugin or root is missing, or an output could not be\n"
    "written; 2 bad input (options, script, scenario, an output path that cannot be written); 3 a script\n"
    "command could not be carried out; 4 --strict and misuse was counted; 5 --modelled-only and a module\n"
    "called a host function hostsim does not model. When several apply, the lowest.\n"
    "Progress goes to standard error for runs longer than a few seconds (--quiet: none).\n";

// Paths the user gives are relative to where the command runs, not to the host root.
std::string FromHere(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return path;
    return std::string(cwd) + "/" + path;
}

// A finite number: infinity and NaN as times or counts would run for ever or convert to nothing defined.
constexpr double MIN_FRAME_LENGTH = 1e-6;   // s
constexpr double MAX_FRAME_LENGTH = 3600.0; // s

bool Number(const std::string& s, double* out) {
    char* end = nullptr;
    *out = strtod(s.c_str(), &end);
    return !s.empty() && *end == '\0' && std::isfinite(*out);
}

// Sets the field an option with a value names; false with the option's complaint in err.
bool TakeValue(const std::string& name, const std::string& v, CommandLine* cl, std::string* err) {
    double d = 0.0;
    bool num = Number(v, &d);
    auto bad = [&](const char* what) {
        *err = name + " needs " + what + ", not \"" + v + "\"";
        return false;
    };
    if (name == "--root") cl->opt.root = v;
    else if (name == "--script") cl->scriptPath = FromHere(v);
    else if (name == "--save") cl->savePath = FromHere(v);
    else if (name == "--telemetry") cl->telemetry = FromHere(v);
    else if (name == "--trace-file") {
        cl->opt.trace = true;
        cl->opt.traceFile = FromHere(v);
    } else if (name == "--plugin") {
        // Only a plugin of the host root's Modules/Plugin is loaded: a path could run any library.
        std::string refusal = hs::PathNameRefusal(v, "--plugin");
        if (!refusal.empty()) {
            *err = refusal + "; give the name of a plugin in Modules/Plugin";
            return false;
        }
        cl->opt.plugins.push_back(v);
    } else if (name == "--dt") {
        if (!num || d < MIN_FRAME_LENGTH || d > MAX_FRAME_LENGTH) return bad("seconds from 1e-06 to 3600");
        cl->opt.dt = d;
    } else if (name == "--until") {
        if (!num || d < 0.0 || d > hs::MAX_SCRIPT_TIME) return bad("seconds from 0 to 1e+09");
        cl->until = d;
    } else if (name == "--frames") {
        if (!num || d < 0.0 || d > hs::MAX_RUN_FRAMES || d != (double)(long)d)
            return bad("a whole number from 0 to 1e+09");
        cl->frames = (long)d;
    } else if (name == "--telemetry-interval") {
        if (!num || d < 0.0 || d > hs::MAX_SCRIPT_TIME) return bad("seconds from 0 to 1e+09");
        cl->telemetryInterval = d;
    } else if (name == "--seed") {
        if (!num || d < 0.0 || d > 4294967295.0) return bad("a number from 0 to 4294967295");
        cl->opt.seed = (unsigned)d;
    }
    return true;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

const Option* Find(const std::string& name) {
    for (const Option& o : OPTIONS)
        if (name == o.name) return &o;
    return nullptr;
}

} // namespace

std::string OptionHint(const std::string& word) {
    std::vector<std::string> names;
    for (const Option& o : OPTIONS) names.push_back(std::string(o.name).substr(0, std::string(o.name).find('=')));
    std::string stem = word.substr(0, word.find('='));
    std::string near = hs::Nearest(stem, names);
    return near.empty() ? "hostsim --help lists the options" : "did you mean " + near + "?";
}

bool ParseOptions(int argc, char** argv, int first, CommandLine* cl, std::string* err) {
    for (int i = first; i < argc; ++i) {
        std::string a = argv[i];
        if (a.compare(0, 8, "--trace=") == 0) {
            cl->opt.trace = true;
            cl->opt.traceFilter = a.substr(8);
            continue;
        }
        const Option* o = a.size() > 1 && a[0] == '-' ? Find(a) : nullptr;
        if (!o && a.size() > 1 && a[0] == '-') {
            *err = "unknown option " + a + "; " + OptionHint(a);
            return false;
        }
        if (!o) {
            if (!cl->scenario.empty()) {
                *err = "more than one scenario: " + cl->scenario + " and " + a;
                return false;
            }
            cl->scenario = a;
        } else if (o->value) {
            if (i + 1 >= argc) {
                *err = a + " needs " + o->value;
                return false;
            }
            if (!TakeValue(a, argv[++i], cl, err)) return false;
        } else if (a == "--visuals") cl->opt.visuals = true;
        else if (a == "--trace") cl->opt.trace = true;
        else if (a == "--strict") cl->strict = true;
        else if (a == "--modelled-only") cl->opt.modelledOnly = true;
        else if (a == "--quiet") cl->quiet = true;
    }
    if (cl->scenario.empty()) *err = "no scenario given: hostsim run SCENARIO [options]";
    else if (cl->until >= 0.0 && cl->frames >= 0) *err = "--until and --frames exclude each other: give one";
    else if (cl->until > 0.0 && !hs::RunFitsFrames(cl->until, cl->opt.dt))
        *err = hs::Fmt(
            "--until %g at --dt %g makes more than 1e+09 frames: give a longer --dt or an earlier --until",
            cl->until, cl->opt.dt);
    if (!err->empty()) return false;
    if (access(cl->scenario.c_str(), R_OK) == 0) cl->scenario = FromHere(cl->scenario);
    cl->opt.root = FromHere(cl->opt.root);
    return true;
}

void PrintHelp(FILE* out) {
    fputs(HEAD, out);
    for (const Option& o : OPTIONS) {
        std::string left = std::string(o.name) + (o.value ? std::string(" ") + o.value : "");
        std::string help = o.help;
        size_t start = 0;
        for (size_t nl; (nl = help.find('\n', start)) != std::string::npos; start = nl + 1) {
            fprintf(out, "  %-26s %s\n", left.c_str(), help.substr(start, nl - start).c_str());
            left.clear();
        }
        fprintf(out, "  %-26s %s\n", left.c_str(), help.substr(start).c_str());
    }
    fputs("\nscript commands:\n", out);
    fputs(hs::Script::Help().c_str(), out);
    fputs(TAIL, out);
}

bool CanWrite(const std::string& path, std::string* err) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    if (access(folder.c_str(), F_OK) != 0) *err = "the folder " + folder + " does not exist";
    else if (access(folder.c_str(), W_OK | X_OK) != 0) *err = "the folder " + folder + " does not take new files";
    else if (slash + 1 == path.size() || IsFolder(path)) *err = "it names a folder, not a file";
    else if (access(path.c_str(), F_OK) == 0 && access(path.c_str(), W_OK) != 0) *err = "the file may not be written";
    return err->empty();
}

} // namespace cli
