// Frames per second of Corvanes flown by hostsim (module and host together), the railgun barrage's speed
// against real time, and the time to save and to load a scenario of a hundred Corvanes.
#include "allocation_count.h"
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

const BenchRoot& Root() {
    static BenchRoot root;
    return root;
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

std::string WriteScenario(const std::string& name, const std::string& text) {
    std::string path = Root().Path() + "/Scenarios/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

bool StartFleet(benchmark::State& state, int n) {
    hs::SimOptions opt;
    opt.root = Root().Path();
    opt.dt = FRAME;
    std::string err;
    hs::Sim& sim = hs::Sim::Get();
    if (!sim.Init(opt, &err) || !sim.LoadScenario(WriteScenario("BenchFleet.scn", FleetScenario(n)), &err)) {
        state.SkipWithError(err.c_str());
        return false;
    }
    return true;
}

// One frame of n Corvanes: keys, every pre-step, the physics, every post-step, the HUD.
void BM_CorvaneFrames(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    if (!StartFleet(state, n)) return;
    hs::Sim& sim = hs::Sim::Get();
    for (auto _ : state) sim.Frame();
    state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                        benchmark::Counter::kIsRate);
    state.counters["vessel_frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * n, benchmark::Counter::kIsRate);
    sim.Shutdown();
}

// One Corvane holding key 1 for a minute at 60 frames per second: about 160 projectiles fly at once, and each
// scans every vessel every frame. The counter is simulated time over real time.
void BM_RailgunBarrage(benchmark::State& state) {
    hs::Sim& sim = hs::Sim::Get();
    const int frames = static_cast<int>(std::lround(BARRAGE_TIME / FRAME));
    size_t mostVessels = 0;
    size_t allocations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!StartFleet(state, 1)) return;
        sim.HoldKey(OAPI_KEY_1, frames);
        state.ResumeTiming();
        const size_t before = AllocationCount();
        for (int i = 0; i < frames; ++i) {
            sim.Frame();
            if (i % 60 == 0 && sim.Vessels().size() > mostVessels) mostVessels = sim.Vessels().size();
        }
        allocations += AllocationCount() - before;
    }
    // Creating a projectile allocates; a frame that creates nothing should not.
    state.counters["allocations_per_frame"] =
        static_cast<double>(allocations) / (static_cast<double>(state.iterations()) * frames);
    state.counters["sim_over_real"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * BARRAGE_TIME, benchmark::Counter::kIsRate);
    state.counters["most_vessels"] = static_cast<double>(mostVessels);
    sim.Shutdown();
}

// Writing the scenario text of a hundred Corvanes, as a save does.
void BM_SaveHundredCorvanes(benchmark::State& state) {
    if (!StartFleet(state, 100)) return;
    hs::Sim& sim = hs::Sim::Get();
    size_t bytes = 0;
    for (auto _ : state) {
        std::string text = sim.ScenarioText();
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    sim.Shutdown();
}

// Loading a saved scenario of a hundred Corvanes into a fresh world (module load and class set-up included).
void BM_LoadHundredCorvanes(benchmark::State& state) {
    if (!StartFleet(state, 100)) return;
    hs::Sim& sim = hs::Sim::Get();
    const std::string path = WriteScenario("BenchSaved.scn", sim.ScenarioText());
    hs::SimOptions opt;
    opt.root = Root().Path();
    opt.dt = FRAME;
    for (auto _ : state) {
        std::string err;
        if (!sim.Init(opt, &err) || !sim.LoadScenario(path, &err)) {
            state.SkipWithError(err.c_str());
            break;
        }
    }
    sim.Shutdown();
}

} // namespace

BENCHMARK(BM_CorvaneFrames)->Arg(1)->Arg(100);
BENCHMARK(BM_RailgunBarrage)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveHundredCorvanes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadHundredCorvanes)->Unit(benchmark::kMillisecond);
