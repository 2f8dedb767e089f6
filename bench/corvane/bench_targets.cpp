// The benchmark program's main: runs the benchmarks, then sets each figure beside its target, with the peak
// resident memory of the hostsim command flying a thousand Corvanes and the barrage.
#include "bench_targets.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr double BARRAGE_TARGET = 100.0;      // times real time
constexpr double FLAT_COST_TOLERANCE = 0.25;  // the cost per vessel-frame at 1000 ships against 10
constexpr double GROWTH_TOLERANCE = 1 << 20;  // bytes a ten-minute barrage may gain (allocator slack)
constexpr int BIG_FLEET = 1000;
constexpr int BIG_FLEET_FRAMES = 600;

// Keeps the fastest run of each benchmark it prints: on a shared machine the others' work only ever adds time.
class Collector : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration) continue;
            std::string name = r.benchmark_name();
            const size_t repeats = name.find("/repeats:");
            if (repeats != std::string::npos) name.resize(repeats);
            auto it = runs_.find(name);
            if (it == runs_.end() || r.GetAdjustedRealTime() < it->second.GetAdjustedRealTime()) runs_[name] = r;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    const Run* Find(const std::string& name) const {
        auto it = runs_.find(name);
        return it == runs_.end() ? nullptr : &it->second;
    }
    double Counter(const std::string& name, const std::string& counter) const {
        const Run* r = Find(name);
        if (!r) return NAN;
        auto it = r->counters.find(counter);
        return it == r->counters.end() ? NAN : it->second.value;
    }

  private:
    std::map<std::string, Run> runs_;
};

// A figure of a running process's /proc status, in bytes ("VmHWM:", "VmRSS:"); NAN once it has ended.
double StatusBytes(pid_t pid, const char* field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    double kib = NAN;
    while (in >> key)
        if (key == field) in >> kib;
    return kib * 1024.0;
}

// The hostsim command run with these arguments, its timeline read line by line as it flies (its errors
// dropped). `onLine` gets each line and the process id while the process runs.
template <typename F> bool RunHostsim(const std::vector<std::string>& args, F onLine) {
    std::vector<char*> argv;
    std::string bin = HOSTSIM_BIN;
    argv.push_back(&bin[0]);
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) return false;
    posix_spawn_file_actions_t io;
    posix_spawn_file_actions_init(&io);
    posix_spawn_file_actions_adddup2(&io, out[1], 1);
    posix_spawn_file_actions_addclose(&io, out[0]);
    posix_spawn_file_actions_addopen(&io, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    const int failed = posix_spawn(&pid, bin.c_str(), &io, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&io);
    close(out[1]);
    if (failed) {
        close(out[0]);
        return false;
    }
    FILE* lines = fdopen(out[0], "r");
    char line[512];
    while (lines && fgets(line, sizeof line, lines)) onLine(line, pid);
    if (lines) fclose(lines);
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Peak resident memory, in bytes, of the hostsim command run with these arguments. Read from the running
// process (its high-water mark never falls): the exit status's maximum would count this program's memory,
// which the spawned process shares until it loads hostsim.
double PeakResident(const std::vector<std::string>& args) {
    double peak = NAN;
    auto sample = [&](const char*, pid_t pid) {
        const double now = StatusBytes(pid, "VmHWM:");
        if (!std::isnan(now)) peak = now;
    };
    return RunHostsim(args, sample) ? peak : NAN;
}

double BigFleetPeak() {
    const std::string scn = WriteBenchScenario("BenchFleet1000.scn", FleetScenario(BIG_FLEET));
    return PeakResident({"run", scn, "--root", BenchRootPath(), "--frames", std::to_string(BIG_FLEET_FRAMES)});
}

// The command's arguments for a barrage of `seconds` of simulated time.
std::vector<std::string> BarrageRun(int seconds) {
    const std::string script = BenchRootPath() + "/Scenarios/BenchBarrage.script";
    std::ofstream(script) << "0 hold 1 " << seconds * 60 << "\n";
    const std::string scn = WriteBenchScenario("BenchFleet1.scn", FleetScenario(1));
    return {"run", scn, "--root", BenchRootPath(), "--script", script, "--until", std::to_string(seconds)};
}

double BarragePeak() { return PeakResident(BarrageRun(60)); }

// Resident memory of the command flying ten minutes of barrage, five minutes in and the most after that. By
// then the number of projectiles alive has long held steady and the slots of those that went are being used
// again (each kind keeps its last thousand freed slots unused: about 3.5 minutes of barrage). The timeline's
// stamps tell the simulated time; a leak shows as growth between the two.
struct Growth {
    double steady = NAN, most = NAN;
};
Growth TenMinuteBarrage() {
    constexpr double STEADY_AFTER = 300.0; // s
    Growth g;
    auto sample = [&](const char* line, pid_t pid) {
        double t;
        if (sscanf(line, "[%lf]", &t) != 1 || t < STEADY_AFTER) return;
        const double now = StatusBytes(pid, "VmRSS:");
        if (std::isnan(now)) return;
        if (std::isnan(g.steady)) g.steady = now;
        if (std::isnan(g.most) || now > g.most) g.most = now;
    };
    if (!RunHostsim(BarrageRun(600), sample)) return Growth();
    return g;
}

void Row(const char* what, const std::string& figure, const char* target, const char* met) {
    printf("%-58s %16s  %-22s %s\n", what, figure.c_str(), target, met);
}

std::string Num(double x, const char* fmt) {
    if (std::isnan(x)) return "not run";
    char buf[64];
    snprintf(buf, sizeof buf, fmt, x);
    return buf;
}

const char* Met(double x, bool ok) { return std::isnan(x) ? "" : (ok ? "met" : "NOT MET"); }

void SpeedRows(const Collector& c) {
    const double barrage = c.Counter("BM_RailgunBarrage/iterations:1", "sim_over_real");
    Row("railgun barrage, simulated over real time", Num(barrage, "%.1fx"), ">= 100x",
        Met(barrage, barrage >= BARRAGE_TARGET));
    const double pair = c.Counter("BM_ScanPairs", "pair_s") * 1e9;
    Row("  host calls of the scans, per vessel pair", Num(pair, "%.2f ns"), "(reported)", "");
    Row("  the same for a whole frame at the height", Num(pair * c.Counter("BM_ScanPairs", "pairs_per_scan") / 1e3,
        "%.0f us"), "167 us a frame at 100x", "");
    Row("  most vessels alive at once", Num(c.Counter("BM_RailgunBarrage/iterations:1", "most_vessels"), "%.0f"),
        "(reported)", "");
    const double quiet = c.Counter("BM_RailgunBarrage/iterations:1", "allocations_per_quiet_frame");
    Row("  allocations in a frame that creates and deletes nothing", Num(quiet, "%.3f"), "0", Met(quiet, quiet == 0));
    double perFrame[4];
    const int fleets[4] = {1, 10, 100, 1000};
    for (int i = 0; i < 4; ++i) {
        const std::string name = "BM_CorvaneFrames/" + std::to_string(fleets[i]);
        perFrame[i] = c.Counter(name, "vessel_frame_s") * 1e6;
        const std::string what = "cost per vessel-frame, " + std::to_string(fleets[i]) + " Corvanes in orbit";
        Row(what.c_str(), Num(perFrame[i], "%.3f us"), "(reported)", "");
    }
    const double ratio = perFrame[3] / perFrame[1];
    Row("  at 1000 Corvanes against 10", Num((ratio - 1.0) * 100.0, "%+.1f %%"), "within 25 %",
        Met(ratio, std::fabs(ratio - 1.0) <= FLAT_COST_TOLERANCE));
    const double alloc = c.Counter("BM_CorvaneFrames/1000", "allocations_per_quiet_frame");
    Row("  allocations in a frame that prints nothing, 1000 Corvanes", Num(alloc, "%.3f"), "0",
        Met(alloc, alloc == 0));
}

void FileRows(const Collector& c) {
    for (const char* kind : {"Save", "Load"}) {
        const std::string name = std::string("BM_") + kind + "Corvanes/1000";
        const benchmark::BenchmarkReporter::Run* r = c.Find(name);
        const double total = r ? r->GetAdjustedRealTime() : NAN;
        const std::string unit = r ? benchmark::GetTimeUnitString(r->time_unit) : "";
        const std::string what = std::string(kind) + " of 1000 Corvanes (per vessel)";
        Row(what.c_str(),
            Num(total, "%.1f ") + unit + " (" + Num(c.Counter(name, "vessel_s") * 1e6, "%.1f us") + ")",
            "(reported)", "");
    }
}

void MemoryRows(bool fleetRan, bool barrageRan) {
    const double mb = 1024.0 * 1024.0;
    if (fleetRan) Row("peak resident memory, hostsim flying 1000 Corvanes", Num(BigFleetPeak() / mb, "%.1f MiB"),
                      "(reported)", "");
    if (!barrageRan) return;
    Row("peak resident memory, hostsim flying the barrage", Num(BarragePeak() / mb, "%.1f MiB"), "(reported)", "");
    const Growth g = TenMinuteBarrage();
    const double growth = g.most - g.steady;
    Row("ten-minute barrage in hostsim: resident at 5 min", Num(g.steady / mb, "%.1f MiB"), "(reported)", "");
    Row("  growth from 5 to 10 minutes", Num(growth / 1024.0, "%+.0f KiB"), "none (< 1 MiB)",
        Met(growth, growth < GROWTH_TOLERANCE));
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    printf("\n%-58s %16s  %-22s %s\n", "figure", "measured", "target", "");
    SpeedRows(collector);
    FileRows(collector);
    MemoryRows(collector.Find("BM_CorvaneFrames/1000") != nullptr,
               collector.Find("BM_RailgunBarrage/iterations:1") != nullptr);
    benchmark::Shutdown();
    return 0;
}
