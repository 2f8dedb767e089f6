// Corvanes flown by hostsim (module and host together): fleets of 1 to 1000 ships in orbit, the railgun
// barrage's speed against real time, and scenario save and load. bench_targets.cpp adds the memory of the
// hostsim command and sets each figure beside its target.
#include "allocation_count.h"
#include "bench_targets.h"
#include "sim.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr double FRAME = 1.0 / 60.0;    // s
constexpr double BARRAGE_TIME = 60.0;   // s of simulated time the gun fires
constexpr double ORBIT_RADIUS = 9.0e6;  // m from Earth's centre: clear of the air (2500 km up) and the ground
constexpr double ORBIT_SPEED = 6655.0;  // m/s, circular at that radius
constexpr double SHIP_SPACING = 100.0;  // m between two ships of a fleet

// A private copy of the assembled host root (modules shared): the modules may write their files into it.
class BenchRoot {
  public:
    BenchRoot() {
        char pattern[] = "/tmp/corvane-bench-XXXXXX";
        if (!mkdtemp(pattern)) abort();
        path_ = pattern;
        const char* env = getenv("HOSTROOT_DIR");
        fs::path src = env && *env ? env : HOSTROOT_DIR;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(src, ec)) {
            fs::path dst = fs::path(path_) / entry.path().filename();
            std::string name = entry.path().filename().string();
            if (name == "Modules" || name == "Sound") fs::create_directory_symlink(entry.path(), dst, ec);
            else fs::copy(entry.path(), dst, fs::copy_options::recursive, ec);
        }
    }
    ~BenchRoot() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

} // namespace

const std::string& BenchRootPath() {
    static BenchRoot root;
    return root.Path();
}

// n Corvanes in a row in a circular orbit, the first in focus.
std::string FleetScenario(int n) {
    std::string s = "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 52199.6667303507\nEND_ENVIRONMENT\n"
                    "BEGIN_FOCUS\n  Ship Corvane-1\nEND_FOCUS\nBEGIN_SHIPS\n";
    char block[512];
    for (int i = 0; i < n; ++i) {
        snprintf(block, sizeof block,
                 "Corvane-%d:Corvane\n  STATUS Orbiting Earth\n  RPOS %.1f %.1f 0\n  RVEL 0 0 %.1f\n"
                 "  AROT 0 0 0\n  UMMUCREW Capt-Ilse_Marrow-35-65-74\n  UMMUCREW Sci-Teodor_Vanke-41-65-74\nEND\n",
                 i + 1, ORBIT_RADIUS, i * SHIP_SPACING, ORBIT_SPEED);
        s += block;
    }
    return s + "END_SHIPS\n";
}

std::string WriteBenchScenario(const std::string& name, const std::string& text) {
    std::string path = BenchRootPath() + "/Scenarios/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

namespace {

bool StartFleet(benchmark::State& state, int n, bool keepTimeline = true) {
    hs::SimOptions opt;
    opt.root = BenchRootPath();
    opt.dt = FRAME;
    opt.keepTimeline = keepTimeline;
    std::string err;
    hs::Sim& sim = hs::Sim::Get();
    if (!sim.Init(opt, &err) || !sim.LoadScenario(WriteBenchScenario("BenchFleet.scn", FleetScenario(n)), &err)) {
        state.SkipWithError(err.c_str());
        return false;
    }
    return true;
}

// Frames of a fleet before measuring: every ship's first frames set up crew, airlock and sound.
constexpr int SETTLE_FRAMES = 120;

// One frame of n Corvanes: keys, every pre-step, the physics, every post-step, the HUD. The cost per
// vessel-frame is the figure that must stay flat from 10 ships to 1000.
void BM_CorvaneFrames(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    if (!StartFleet(state, n)) return;
    hs::Sim& sim = hs::Sim::Get();
    sim.RunFrames(SETTLE_FRAMES);
    size_t quietAllocations = 0, quietFrames = 0;
    for (auto _ : state) {
        const size_t lines = sim.Timeline().size(), before = AllocationCount();
        sim.Frame();
        // A frame that prints something (a HUD number changed) may allocate the line; no other may.
        if (sim.Timeline().size() == lines) {
            quietAllocations += AllocationCount() - before;
            ++quietFrames;
        }
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["vessel_frame_s"] =
        benchmark::Counter(frames * n, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocations_per_quiet_frame"] =
        quietFrames ? static_cast<double>(quietAllocations) / static_cast<double>(quietFrames) : 0.0;
    sim.Shutdown();
}

// One Corvane holding key 1 for a minute at 60 frames per second: about 160 projectiles fly at once, and each
// scans every vessel every frame. The counter is simulated time over real time. A quiet frame creates and
// deletes no vessel and adds nothing to the timeline: once the HUD has been drawn, it must not allocate.
void BM_RailgunBarrage(benchmark::State& state) {
    hs::Sim& sim = hs::Sim::Get();
    const int frames = static_cast<int>(std::lround(BARRAGE_TIME / FRAME));
    size_t mostVessels = 0, allocations = 0, quietAllocations = 0, quietFrames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!StartFleet(state, 1)) return;
        sim.HoldKey(OAPI_KEY_1, frames);
        state.ResumeTiming();
        for (int i = 0; i < frames; ++i) {
            const size_t lines = sim.Timeline().size(), before = AllocationCount();
            sim.Frame();
            const size_t made = AllocationCount() - before;
            allocations += made;
            // The first second fills the HUD's lines for the first time: not yet a quiet frame.
            if (i >= SETTLE_FRAMES && sim.Timeline().size() == lines) {
                quietAllocations += made;
                ++quietFrames;
            }
            const size_t alive = static_cast<size_t>(oapiGetVesselCount());
            if (alive > mostVessels) mostVessels = alive;
        }
    }
    const double allFrames = static_cast<double>(state.iterations()) * frames;
    state.counters["allocations_per_frame"] = static_cast<double>(allocations) / allFrames;
    state.counters["quiet_frames"] = static_cast<double>(quietFrames);
    state.counters["allocations_per_quiet_frame"] =
        quietFrames ? static_cast<double>(quietAllocations) / static_cast<double>(quietFrames) : 0.0;
    state.counters["sim_over_real"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * BARRAGE_TIME, benchmark::Counter::kIsRate);
    state.counters["most_vessels"] = static_cast<double>(mostVessels);
    sim.Shutdown();
}

// The host calls of the projectiles' scans alone, as the projectile module makes them, among the vessels of a
// barrage at its height: per vessel and projectile the count, the handle, the vessel check, the relative
// position, the interface and its size. What a pair costs sets a floor under the barrage's frame.
void BM_ScanPairs(benchmark::State& state) {
    constexpr int FILL_FRAMES = 2400; // 40 s of fire: the barrage at its height
    if (!StartFleet(state, 1)) return;
    hs::Sim& sim = hs::Sim::Get();
    sim.HoldKey(OAPI_KEY_1, FILL_FRAMES);
    sim.RunFrames(FILL_FRAMES);
    const OBJHANDLE focus = oapiGetFocusObject();
    size_t pairs = 0, reached = 0;
    for (auto _ : state) {
        for (int j = 0; j < oapiGetVesselCount(); ++j) {
            const OBJHANDLE self = oapiGetVesselByIndex(j);
            if (self == focus) continue;
            for (int i = 0; i < oapiGetVesselCount(); ++i) {
                const OBJHANDLE other = oapiGetVesselByIndex(i);
                if (!other || other == self || other == focus || !oapiIsVessel(other)) continue;
                VECTOR3 offset;
                oapiGetRelativePos(other, self, &offset);
                VESSEL* target = oapiGetVesselInterface(other);
                const double size = target ? target->GetSize() : 0.0;
                reached += size > 0.0 && length2(offset) < size * size;
                ++pairs;
            }
        }
    }
    benchmark::DoNotOptimize(reached);
    state.counters["pairs_per_scan"] = static_cast<double>(pairs) / static_cast<double>(state.iterations());
    state.counters["pair_s"] =
        benchmark::Counter(static_cast<double>(pairs), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    sim.Shutdown();
}

// Writing the scenario text of n Corvanes, as a save does.
void BM_SaveCorvanes(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    if (!StartFleet(state, n)) return;
    hs::Sim& sim = hs::Sim::Get();
    size_t bytes = 0;
    for (auto _ : state) {
        std::string text = sim.ScenarioText();
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["vessel_s"] = benchmark::Counter(static_cast<double>(state.iterations()) * n,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    sim.Shutdown();
}

// Loading a saved scenario of n Corvanes into a fresh world (module load and class set-up included).
void BM_LoadCorvanes(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    if (!StartFleet(state, n)) return;
    hs::Sim& sim = hs::Sim::Get();
    const std::string path = WriteBenchScenario("BenchSaved.scn", sim.ScenarioText());
    hs::SimOptions opt;
    opt.root = BenchRootPath();
    opt.dt = FRAME;
    for (auto _ : state) {
        std::string err;
        if (!sim.Init(opt, &err) || !sim.LoadScenario(path, &err)) {
            state.SkipWithError(err.c_str());
            break;
        }
    }
    state.counters["vessel_s"] = benchmark::Counter(static_cast<double>(state.iterations()) * n,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    sim.Shutdown();
}

} // namespace

// Five runs each: the table takes the fastest, the least disturbed by whatever else the machine does.
BENCHMARK(BM_CorvaneFrames)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Repetitions(5)->ReportAggregatesOnly(false);
BENCHMARK(BM_RailgunBarrage)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ScanPairs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveCorvanes)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadCorvanes)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
