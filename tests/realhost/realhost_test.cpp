// The modules in the real host: built for its SDK, installed into a scratch copy of it, flown headless, and
// their saves compared with hostsim's of the same scenario at the same frame length.
#include "realhost_fixture.h"

#include <sys/wait.h>

namespace {

using namespace realhost;

TEST_F(RealHostFlight, CorvaneInOrbitSavesItsLinesAndCrewAsHostsimDoesAndKeepsItsOrbit) {
    Flight real = FlyRealHost("Corvane/Orbit", 600);
    Flight sim = FlyHostsim("Corvane/Orbit.scn", 600);
    ExpectCleanHostRun(real);
    ASSERT_EQ(sim.status, 0) << sim.log;
    ExpectSameOwnLines(real, sim, "Corvane-1");
    ExpectSameHostLines(real, sim, "Corvane-1");
    ExpectSameOrbitPosition(real, sim, "Corvane-1");
}

TEST_F(RealHostFlight, CorvaneOnItsGearStaysLandedWithTheSameLinesInBothHosts) {
    Flight real = FlyRealHost("Corvane/Runway", 600);
    Flight sim = FlyHostsim("Corvane/Runway.scn", 600);
    ExpectCleanHostRun(real);
    ASSERT_EQ(sim.status, 0) << sim.log;
    ExpectSameOwnLines(real, sim, "Corvane-1");
    ExpectSameHostLines(real, sim, "Corvane-1");
    const std::vector<std::string> status = {"STATUS"};
    EXPECT_EQ(LinesWithKeys(real.ships.at("Corvane-1"), status),
              std::vector<std::string>{"STATUS Landed Earth"});
    EXPECT_EQ(LinesWithKeys(sim.ships.at("Corvane-1"), status),
              std::vector<std::string>{"STATUS Landed Earth"});
}

TEST_F(RealHostFlight, LandedCorvaneOnItsGearSitsWithinATenthOfAMetreAndADegreeOfTheRealHost) {
    ExpectSameStance("Corvane/Runway", "Corvane/Runway.scn");
}

TEST_F(RealHostFlight, LandedCorvaneOnItsBellySitsWithinATenthOfAMetreAndADegreeOfTheRealHost) {
    ExpectSameStance("Test/BellyRunway", std::string(SCENARIO_DIR) + "/BellyRunway.scn");
}

TEST_F(RealHostFlight, PellorinStrikesACorvaneAndIsGoneWhileTheTargetIsPushedAlikeInBothHosts) {
    Flight real = FlyRealHost("Test/Strike", 300);
    Flight sim = FlyHostsim(std::string(SCENARIO_DIR) + "/Strike.scn", 300);
    ExpectCleanHostRun(real);
    ASSERT_EQ(sim.status, 0) << sim.log;
    EXPECT_EQ(real.ships.count("b1"), 0u) << "the projectile outlived its strike in the real host";
    EXPECT_EQ(sim.ships.count("b1"), 0u);
    for (const char* vessel : {"Shooter", "Target"}) {
        ExpectSameOwnLines(real, sim, vessel);
        ExpectSameHostLines(real, sim, vessel);
        ExpectSameOrbitPosition(real, sim, vessel);
    }
    // The strike pushed the target ahead of the shooter that flew beside it.
    double shooter[3], target[3];
    ASSERT_TRUE(VectorLine(real.ships.at("Shooter"), "RPOS", shooter));
    ASSERT_TRUE(VectorLine(real.ships.at("Target"), "RPOS", target));
    EXPECT_GT(target[0] - shooter[0], 0.5);
}

// Every scenario the pilot's package installs must load and fly in the real host: one it cannot fly stops the
// host for the pilot who picks it.
TEST_F(RealHostFlight, EveryScenarioThePackageInstallsFliesInTheRealHost) {
    const std::string listing =
        testio::RunCommand("cd " + Quoted(scratch) + "/Scenarios/Corvane && ls *.scn").out;
    std::istringstream names(listing);
    std::string file;
    int flown = 0;
    while (std::getline(names, file)) {
        const std::string scenario = "Corvane/" + file.substr(0, file.size() - 4);
        SCOPED_TRACE(scenario);
        const Flight real = FlyRealHost(scenario, 60);
        ExpectCleanHostRun(real);
        EXPECT_FALSE(real.ships.empty()) << "no vessel saved";
        ++flown;
    }
    EXPECT_GE(flown, 3) << listing;
}

// One vector line (key) of every projectile of a save, less the shooter's (a host allows many "b1" at once).
std::vector<std::array<double, 3>> ShotVectors(const std::string& saved, const std::string& key,
                                               const double shooter[3]) {
    std::vector<std::array<double, 3>> shots;
    std::istringstream in(saved);
    std::string line;
    bool inShot = false;
    while (std::getline(in, line)) {
        if (line.rfind("b1:", 0) == 0) inShot = true;
        if (line == "END") inShot = false;
        double v[3];
        if (inShot &&
            std::sscanf(line.c_str(), (" " + key + " %lf %lf %lf").c_str(), &v[0], &v[1], &v[2]) == 3)
            shots.push_back({v[0] - shooter[0], v[1] - shooter[1], v[2] - shooter[2]});
    }
    return shots;
}

// A pilot holds the fire key for one cycle (22 frames, from 0.5 s) at a 10 m hull ahead, in orbit at 60
// frames a second. The real host gets the key from a plugin before each step, as a pilot's key comes between
// frames; hostsim from a script.
class RailgunInBothHosts : public RealHostFlight {
  protected:
    void SetUp() override {
        RealHostFlight::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ActivatePlugin("HoldKey");
        if (HasFatalFailure()) return;
        ASSERT_EQ(Shell("printf 'ClassName = Target\\nSize = 10\\nMass = 5000\\n' > " +
                        Quoted(scratch + "/Config/Vessels/Target.cfg") + " && printf '0.5 hold 1 22\\n' > " +
                        Quoted(scratch + "/burst.script")),
                  0);
    }

    // The saves of both hosts after `frames` frames of the scenario: the real host's first.
    std::array<std::string, 2> Fly(const std::string& scenario, int frames) {
        Flight real = FlyRealHost("Test/" + scenario, frames, "CORVANE_HOLD_KEY='2 0.5 0.86'");
        Flight sim = FlyHostsim(std::string(SCENARIO_DIR) + "/" + scenario + ".scn", frames, "", HOSTROOT_DIR,
                                scratch + "/burst.script");
        ExpectCleanHostRun(real);
        EXPECT_EQ(sim.status, 0) << sim.log;
        EXPECT_NE(sim.log.find("misuse 0"), std::string::npos) << sim.log;
        return {ReadFile(scratch + "/Scenarios/(Current state).scn"),
                ReadFile(scratch + "/hostsim-saved.scn")};
    }
};

// With the hull 3 km ahead the save, 80 frames in, holds both shots in flight.
TEST_F(RailgunInBothHosts, ShotsLeaveStraightAheadFromTheBarrelsAlike) {
    const std::array<std::string, 2> saves = Fly("Burst3000", 80);
    std::vector<std::array<double, 3>> places[2];
    for (int host = 0; host < 2; ++host) {
        SCOPED_TRACE(host == 0 ? "real host" : "hostsim");
        const auto ships = ReadShips(saves[host]);
        ASSERT_TRUE(ships.count("Shooter")) << saves[host];
        double vel[3], pos[3];
        ASSERT_TRUE(VectorLine(ships.at("Shooter"), "RVEL", vel));
        ASSERT_TRUE(VectorLine(ships.at("Shooter"), "RPOS", pos));
        const auto shots = ShotVectors(saves[host], "RVEL", vel);
        places[host] = ShotVectors(saves[host], "RPOS", pos);
        ASSERT_EQ(shots.size(), 2u) << saves[host];
        ASSERT_EQ(places[host].size(), 2u);
        for (const auto& v : shots) {
            const double speed = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            EXPECT_NEAR(speed, 1700.0, 1.0);
            // The shooter stands unturned: its nose is the global z axis.
            EXPECT_LT(std::acos(v[2] / speed) * 180.0 / M_PI, 1.0) << v[0] << " " << v[1] << " " << v[2];
        }
        // Right barrel first, then the left: each shot flies in line with its barrel, 1.165 m off the nose.
        EXPECT_NEAR(places[host][0][0], 1.165, 0.05);
        EXPECT_NEAR(places[host][1][0], -1.165, 0.05);
    }
    for (int i = 0; i < 2; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(places[0][i][k], places[1][i][k], 0.5) << "shot " << i << " axis " << k;
}

// With the hull 300 m ahead both shots strike it within the flight and are gone; each hands it 1700 kg m/s.
TEST_F(RailgunInBothHosts, BothShotsStrikeAHullThreeHundredMetresAheadAlike) {
    const std::array<std::string, 2> saves = Fly("Burst300", 150);
    double pushed[2];
    for (int host = 0; host < 2; ++host) {
        SCOPED_TRACE(host == 0 ? "real host" : "hostsim");
        const auto ships = ReadShips(saves[host]);
        ASSERT_TRUE(ships.count("Shooter") && ships.count("Hull")) << saves[host];
        EXPECT_EQ(ships.count("b1"), 0u) << "a shot missed";
        double shooter[3], hull[3];
        ASSERT_TRUE(VectorLine(ships.at("Shooter"), "RVEL", shooter));
        ASSERT_TRUE(VectorLine(ships.at("Hull"), "RVEL", hull));
        pushed[host] = hull[2] - shooter[2];
        EXPECT_NEAR(pushed[host], 2 * 1700.0 / 5000.0, 0.02);
    }
    EXPECT_NEAR(pushed[0], pushed[1], 0.01);
}

TEST_F(RealHostFlight, DockedCorvanesStayDockedWithTheirCrewsInBothHosts) {
    Flight real = FlyRealHost("Corvane/DockedPair", 600);
    Flight sim = FlyHostsim("Corvane/DockedPair.scn", 600);
    ExpectCleanHostRun(real);
    ASSERT_EQ(sim.status, 0) << sim.log;
    for (const char* vessel : {"Corvane-1", "Corvane-2"}) {
        ExpectSameOwnLines(real, sim, vessel);
        ExpectSameHostLines(real, sim, vessel);
        ExpectSameOrbitPosition(real, sim, vessel);
        const std::vector<std::string> dock = {"DOCKINFO"};
        EXPECT_EQ(LinesWithKeys(real.ships.at(vessel), dock), LinesWithKeys(sim.ships.at(vessel), dock))
            << vessel;
        EXPECT_EQ(LinesWithKeys(real.ships.at(vessel), dock).size(), 1u) << vessel;
    }
}

// The host's own stock vessel, a module built by others for the real host, flown by hostsim from the host's
// own folder: its class file, mesh and module as they are.
TEST_F(RealHostFlight, StockShuttlePBFliesInHostsimAndKeepsTheRealHostsOrbit) {
    Flight real = FlyRealHost("Probe/PBOnly", 3000);
    Flight sim = FlyHostsim("Probe/PBOnly", 3000, "", scratch);
    ExpectCleanHostRun(real);
    ASSERT_EQ(sim.status, 0) << sim.log;
    EXPECT_NE(sim.log.find("misuse 0"), std::string::npos) << sim.log;
    ASSERT_TRUE(real.ships.count("PB-01"));
    ASSERT_TRUE(sim.ships.count("PB-01")) << sim.log;
    EXPECT_EQ(sim.ships.at("PB-01").className, "ShuttlePB");
    ExpectSameHostLines(real, sim, "PB-01");
    ExpectSameOrbitPosition(real, sim, "PB-01");
}

// The stock vessel at rest on the runway: its own touchdown springs (the later vertex form) carry it alike.
TEST_F(RealHostFlight, StockShuttlePBRestsOnTheRunwayAsInTheRealHost) {
    Flight real = FlyRealHost("Test/PBLanded", 600);
    Flight sim = FlyHostsim(scratch + "/Scenarios/Test/PBLanded.scn", 600, "", scratch);
    ExpectCleanHostRun(real);
    ASSERT_EQ(sim.status, 0) << sim.log;
    EXPECT_NE(sim.log.find("misuse 0"), std::string::npos) << sim.log;
    ASSERT_TRUE(real.ships.count("PB-01"));
    ASSERT_TRUE(sim.ships.count("PB-01")) << sim.log;
    ExpectSameHostLines(real, sim, "PB-01");
    double realAlt[3] = {}, simAlt[3] = {};
    ASSERT_TRUE(std::sscanf(LinesWithKeys(real.ships.at("PB-01"), {"ALT"}).at(0).c_str(), "ALT %lf",
                            &realAlt[0]) == 1);
    ASSERT_TRUE(
        std::sscanf(LinesWithKeys(sim.ships.at("PB-01"), {"ALT"}).at(0).c_str(), "ALT %lf", &simAlt[0]) == 1);
    EXPECT_NEAR(simAlt[0], realAlt[0], 0.01);
    double realRot[3], simRot[3];
    ASSERT_TRUE(VectorLine(real.ships.at("PB-01"), "AROT", realRot));
    ASSERT_TRUE(VectorLine(sim.ships.at("PB-01"), "AROT", simRot));
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(simRot[i], realRot[i], 0.1) << "AROT " << i;
}

// Module files as each host loads them: no stand-in host library among their needs and no search path into a
// build tree, so a module can only bind to the host that loaded it.
std::string DynamicSection(const std::string& file) {
    std::string out;
    FILE* p = popen(("readelf -d " + Quoted(file) + " 2>&1").c_str(), "r");
    if (!p) return out;
    char buf[512];
    while (fgets(buf, sizeof buf, p))
        out += buf;
    pclose(p);
    return out;
}

// The dynamic symbols a file needs (C++ names mangled), or that it gives; weak references need nothing.
std::vector<std::string> Symbols(const std::string& file, bool undefined) {
    std::vector<std::string> names;
    std::string command =
        "nm -D " + std::string(undefined ? "--undefined-only " : "--defined-only ") + Quoted(file);
    FILE* p = popen(command.c_str(), "r");
    if (!p) return names;
    char buf[1024];
    while (fgets(buf, sizeof buf, p)) {
        char kind[8] = {}, name[900] = {};
        // "U name" for undefined symbols, "address T name" for defined ones.
        if (undefined ? std::sscanf(buf, " %7s %899s", kind, name) != 2
                      : std::sscanf(buf, "%*s %7s %899s", kind, name) != 2)
            continue;
        if (undefined && std::string(kind) != "U") continue;
        std::string n = name;
        names.push_back(n.substr(0, n.find('@')));
    }
    pclose(p);
    std::sort(names.begin(), names.end());
    return names;
}

// What the libraries a file needs give it (the C and C++ runtime, and the sanitizers' in a sanitizer build).
std::vector<std::string> RuntimeSymbols(const std::string& file) {
    std::vector<std::string> given;
    FILE* p = popen(("ldd " + Quoted(file)).c_str(), "r");
    if (!p) return given;
    char buf[1024];
    while (fgets(buf, sizeof buf, p)) {
        char path[900] = {};
        if (std::sscanf(buf, " %*s => %899s", path) != 1 || path[0] != '/') continue;
        std::vector<std::string> more = Symbols(path, false);
        given.insert(given.end(), more.begin(), more.end());
    }
    pclose(p);
    std::sort(given.begin(), given.end());
    return given;
}

// The host symbols a module needs: what it needs that its runtime libraries do not give.
std::vector<std::string> HostSymbols(const std::string& file) {
    std::vector<std::string> runtime = RuntimeSymbols(file);
    std::vector<std::string> host;
    for (const std::string& n : Symbols(file, true))
        if (!std::binary_search(runtime.begin(), runtime.end(), n)) host.push_back(n);
    return host;
}

std::vector<std::string> Missing(const std::vector<std::string>& needed,
                                 const std::vector<std::string>& given) {
    std::vector<std::string> missing;
    for (const std::string& n : needed)
        if (!std::binary_search(given.begin(), given.end(), n)) missing.push_back(n);
    return missing;
}

const char* const HOSTSIM_MODULES[] = {"Corvane.so", "Pellorin.so"};
const char* const REALHOST_MODULES[] = {"libCorvane.so", "libPellorin.so"};

TEST(ModuleFiles, NeedNoHostLibraryAndCarryNoSearchPath) {
    std::vector<std::string> files;
    for (const char* m : HOSTSIM_MODULES)
        files.push_back(std::string(HOSTROOT_DIR) + "/Modules/" + m);
    if (REALHOST_PRESENT) {
        for (const char* m : REALHOST_MODULES)
            files.push_back(std::string(REALSDK_BUILD) + "/Modules/" + m);
    }
    for (const std::string& file : files) {
        std::string dyn = DynamicSection(file);
        ASSERT_NE(dyn.find("NEEDED"), std::string::npos) << file << ": " << dyn;
        EXPECT_EQ(dyn.find("libOrbiter"), std::string::npos) << file;
        EXPECT_EQ(dyn.find("RPATH"), std::string::npos) << file;
        EXPECT_EQ(dyn.find("RUNPATH"), std::string::npos) << file;
    }
}

TEST(ModuleFiles, EveryHostSymbolTheModulesNeedIsGivenByHostsimAndByTheRealHost) {
    std::vector<std::string> hostsim = Symbols(HOSTLIB, false);
    ASSERT_FALSE(hostsim.empty());
    std::vector<std::string> files;
    for (const char* m : HOSTSIM_MODULES)
        files.push_back(std::string(HOSTROOT_DIR) + "/Modules/" + m);
    std::vector<std::string> real;
    if (REALHOST_PRESENT) {
        real = Symbols(std::string(REALHOST_DIR) + "/Orbiter", false);
        ASSERT_FALSE(real.empty());
        for (const char* m : REALHOST_MODULES)
            files.push_back(std::string(REALSDK_BUILD) + "/Modules/" + m);
    }
    for (const std::string& file : files) {
        std::vector<std::string> needed = HostSymbols(file);
        EXPECT_GT(needed.size(), 20u) << file << " needs almost nothing of its host";
        EXPECT_EQ(Missing(needed, hostsim), std::vector<std::string>()) << file << " against hostsim";
        if (REALHOST_PRESENT) {
            EXPECT_EQ(Missing(needed, real), std::vector<std::string>()) << file << " against the real host";
        }
    }
}

} // namespace
