// The real-host flight fixture: the modules built for the host's SDK installed into a scratch copy of the
// real host, flown headless, and hostsim flown on the same scenario at the same frame length, with the
// comparisons of their saves that every real-host suite uses.
#pragma once

#include "scenario_blocks.h"
#include "test_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace realhost {

using hs::test::LinesWithKeys;
using hs::test::ReadShips;
using hs::test::VectorLine;
using hs::test::VesselBlock;
using Ships = std::map<std::string, VesselBlock>;

// Both hosts get the frame length as the same text, so both step the same time.
const char* const FRAME_LENGTH = "0.0166667";    // s
constexpr double ORBIT_POSITION_TOLERANCE = 1.0; // m

// A Corvane's own scenario lines and its crew lines: the module writes them, so both hosts must save them
// alike.
const std::vector<std::string> OWN_KEYS = {"FTL",   "HWIN", "GEAR",  "CANP",  "CANC", "VIS",     "VIEW",
                                           "BRAKE", "MAIN", "BOOST", "INDMP", "AMMO", "UMMUCREW"};

// Words the host writes to its log when a module, a symbol or a class cannot be loaded.
const char* const LOG_FAULTS[] = {"rror",          "ould not", "ailed", "undefined symbol",
                                  "symbol lookup", "not found"};

using testio::Quoted;
using testio::ReadFile;
using testio::Shell;

// How a landed vessel sits: its centre of mass above the mean radius and its nose above the local horizon.
struct Stance {
    double height = NAN; // m
    double pitch = NAN;  // deg
};
constexpr double STANCE_HEIGHT_TOLERANCE = 0.1; // m
constexpr double STANCE_PITCH_TOLERANCE = 1.0;  // deg
constexpr double RAD_PER_DEG = M_PI / 180.0;

// The real host saves a landed vessel's ALT and its AROT Euler angles (degrees) in the planet's frame (pole
// +y, longitude 0 along +x, growing toward +z): the vessel's nose there is the third row of Rz(c) Ry(b)
// Rx(a).
inline Stance SavedStance(const VesselBlock& block) {
    Stance s;
    double alt[3] = {NAN, NAN, NAN}, arot[3], pos[3] = {NAN, NAN, NAN};
    if (!VectorLine(block, "AROT", arot)) return s;
    for (const std::string& line : block.lines) {
        if (std::sscanf(line.c_str(), "ALT %lf", &alt[0]) == 1) s.height = alt[0];
        std::sscanf(line.c_str(), "POS %lf %lf", &pos[0], &pos[1]);
    }
    double a = arot[0] * RAD_PER_DEG, b = arot[1] * RAD_PER_DEG;
    double lng = pos[0] * RAD_PER_DEG, lat = pos[1] * RAD_PER_DEG;
    double nose[3] = {-std::sin(b), std::sin(a) * std::cos(b), std::cos(a) * std::cos(b)};
    double up[3] = {std::cos(lat) * std::cos(lng), std::sin(lat), std::cos(lat) * std::sin(lng)};
    s.pitch = std::asin(nose[0] * up[0] + nose[1] * up[1] + nose[2] * up[2]) / RAD_PER_DEG;
    return s;
}

// The cells of a vessel's last row in a telemetry CSV (hostsim's columns), or none.
inline std::vector<std::string> LastTelemetryRow(const std::string& csv, const std::string& vessel) {
    std::vector<std::string> last;
    std::istringstream in(csv);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream row(line);
        for (std::string cell; std::getline(row, cell, ',');)
            cells.push_back(cell);
        if (cells.size() >= 15 && cells[1] == vessel) last = cells;
    }
    return last;
}

// hostsim's telemetry: the altitude and pitch columns of the vessel's last row.
inline Stance TelemetryStance(const std::string& csv, const std::string& vessel) {
    Stance s;
    const std::vector<std::string> cells = LastTelemetryRow(csv, vessel);
    if (cells.empty()) return s;
    s.height = std::atof(cells[8].c_str());
    s.pitch = std::atof(cells[13].c_str());
    return s;
}

struct Flight {
    int status = -1;
    std::string log;    // the host's log, or hostsim's timeline
    std::string output; // what the program wrote to its terminal
    Ships ships;
};

class RealHostFlight : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!REALHOST_PRESENT)
            GTEST_SKIP() << "real-host flights skipped: no real host at " REALHOST_DIR
                            " (or CORVANE_REALHOST=OFF)";
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        scratch = std::string(BINARY_DIR) + "/realhost-scratch/" + info->name();
        // The host writes into its own tree: every flight gets a fresh copy with the modules installed in it.
        ASSERT_EQ(Shell("rm -rf " + Quoted(scratch) + " && mkdir -p " + Quoted(scratch) + " && cp -r " +
                        Quoted(REALHOST_DIR) + "/. " + Quoted(scratch)),
                  0);
        ASSERT_EQ(Shell("cmake --install " + Quoted(REALSDK_BUILD) + " --prefix " + Quoted(scratch) +
                        " >/dev/null"),
                  0);
        ASSERT_EQ(Shell("mkdir -p " + Quoted(scratch + "/Scenarios/Test") + " && cp " + Quoted(SCENARIO_DIR) +
                        "/*.scn " + Quoted(scratch + "/Scenarios/Test/")),
                  0);
    }

    void TearDown() override {
        // A failed flight leaves its scratch host behind for a look at its log and save.
        if (!scratch.empty() && !HasFailure()) Shell("rm -rf " + Quoted(scratch));
    }

    // Puts one of the tests' plugins (built into the real host's test folder) into this copy and switches it
    // on.
    void ActivatePlugin(const std::string& name) {
        ASSERT_EQ(Shell("mkdir -p " + Quoted(scratch + "/Modules/Plugin") + " && cp " +
                        Quoted(REALSDK_BUILD) + "/testroot/Modules/Plugin/lib" + name + ".so " +
                        Quoted(scratch + "/Modules/Plugin/") +
                        " && sed -i 's/^ACTIVE_MODULES$/ACTIVE_MODULES\\n  " + name + "/' " +
                        Quoted(scratch + "/Orbiter_NG.cfg")),
                  0);
    }

    // scenario: a name under Scenarios/ without ".scn", as the host takes it.
    Flight FlyRealHost(const std::string& scenario, int frames, const std::string& environment = "") {
        Flight f;
        // The host logs to one fixed path: the lock keeps the run and the copy of its log together.
        std::string run = environment + " ORBITER_NORENDER=1 xvfb-run -a ./Orbiter --scenario=\"" + scenario +
                          "\" --fixedstep=" + FRAME_LENGTH + " --maxframes=" + std::to_string(frames) +
                          " >run.txt 2>&1; status=$?; cp /tmp/Orbiter.log host.log; exit $status";
        f.status = Shell("cd " + Quoted(scratch) + " && flock /tmp/realhost.lock sh -c " + Quoted(run));
        f.log = ReadFile(scratch + "/host.log");
        f.output = ReadFile(scratch + "/run.txt");
        f.ships = ReadShips(ReadFile(scratch + "/Scenarios/(Current state).scn"));
        return f;
    }

    // scenario: a path, or a name under hostsim's root (our assembled one unless root says another).
    // telemetry: a file for every frame's row, or empty.
    Flight FlyHostsim(const std::string& scenario, int frames, const std::string& telemetry = "",
                      const std::string& root = HOSTROOT_DIR, const std::string& script = "") {
        Flight f;
        std::string save = scratch + "/hostsim-saved.scn";
        std::string command = std::string(HOSTSIM_EXE) + " run " + Quoted(scenario) + " --root " +
                              Quoted(root) + " --dt " + FRAME_LENGTH + " --frames " + std::to_string(frames) +
                              " --save " + Quoted(save);
        if (!telemetry.empty()) command += " --telemetry " + Quoted(telemetry) + " --telemetry-interval 0";
        if (!script.empty()) command += " --script " + Quoted(script);
        command += " >" + Quoted(scratch + "/hostsim.txt") + " 2>&1";
        f.status = Shell(command);
        f.log = ReadFile(scratch + "/hostsim.txt");
        f.ships = ReadShips(ReadFile(save));
        return f;
    }

    // Flies a landed Corvane 600 frames in both hosts and compares how it sits.
    void ExpectSameStance(const std::string& realScenario, const std::string& simScenario) {
        Flight real = FlyRealHost(realScenario, 600);
        std::string telemetry = scratch + "/telemetry.csv";
        Flight sim = FlyHostsim(simScenario, 600, telemetry);
        ExpectCleanHostRun(real);
        ASSERT_EQ(sim.status, 0) << sim.log;
        EXPECT_NE(sim.log.find("misuse 0, not modelled 0"), std::string::npos) << sim.log;
        ASSERT_TRUE(real.ships.count("Corvane-1"));
        Stance r = SavedStance(real.ships.at("Corvane-1"));
        Stance h = TelemetryStance(ReadFile(telemetry), "Corvane-1");
        ASSERT_TRUE(std::isfinite(r.height) && std::isfinite(r.pitch))
            << "no ALT, POS or AROT in the real host's save";
        ASSERT_TRUE(std::isfinite(h.height) && std::isfinite(h.pitch)) << "no telemetry row from hostsim";
        EXPECT_NEAR(h.height, r.height, STANCE_HEIGHT_TOLERANCE)
            << "hostsim " << h.height << " m, real " << r.height;
        EXPECT_NEAR(h.pitch, r.pitch, STANCE_PITCH_TOLERANCE)
            << "hostsim " << h.pitch << " deg, real " << r.pitch;
    }

    static void ExpectCleanHostRun(const Flight& real) {
        EXPECT_EQ(real.status, 0) << real.output;
        ASSERT_FALSE(real.log.empty()) << "the host wrote no log";
        for (const char* fault : LOG_FAULTS)
            EXPECT_EQ(real.log.find(fault), std::string::npos) << real.log;
        EXPECT_EQ(real.output.find("symbol lookup error"), std::string::npos) << real.output;
    }

    static void ExpectSameOwnLines(const Flight& real, const Flight& sim, const std::string& vessel) {
        ASSERT_TRUE(real.ships.count(vessel)) << vessel << " missing from the real host's save";
        ASSERT_TRUE(sim.ships.count(vessel)) << vessel << " missing from hostsim's save";
        std::vector<std::string> realLines = LinesWithKeys(real.ships.at(vessel), OWN_KEYS);
        // Twelve lines of its own prove the module ran and saved in that host.
        EXPECT_GE(realLines.size(), 12u) << vessel;
        EXPECT_EQ(realLines, LinesWithKeys(sim.ships.at(vessel), OWN_KEYS)) << vessel;
    }

    // The host's own lines: the same keys in the same order, and the same text for those that do not depend
    // on the integration (state, control mode, tanks, docking, radio).
    static void ExpectSameHostLines(const Flight& real, const Flight& sim, const std::string& vessel) {
        const VesselBlock& a = real.ships.at(vessel);
        const VesselBlock& b = sim.ships.at(vessel);
        EXPECT_EQ(HostKeys(a), HostKeys(b)) << vessel;
        const std::vector<std::string> exact = {"STATUS", "AFCMODE", "PRPLEVEL", "DOCKINFO", "NAVFREQ"};
        EXPECT_EQ(LinesWithKeys(a, exact), LinesWithKeys(b, exact)) << vessel;
    }

    static std::vector<std::string> HostKeys(const VesselBlock& block) {
        std::vector<std::string> keys;
        for (const std::string& line : block.lines) {
            std::string key = line.substr(0, line.find(' '));
            if (std::find(OWN_KEYS.begin(), OWN_KEYS.end(), key) == OWN_KEYS.end()) keys.push_back(key);
        }
        return keys;
    }

    static void ExpectSameOrbitPosition(const Flight& real, const Flight& sim, const std::string& vessel) {
        double a[3], b[3];
        ASSERT_TRUE(VectorLine(real.ships.at(vessel), "RPOS", a)) << vessel;
        ASSERT_TRUE(VectorLine(sim.ships.at(vessel), "RPOS", b)) << vessel;
        double d = std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                             (a[2] - b[2]) * (a[2] - b[2]));
        EXPECT_LT(d, ORBIT_POSITION_TOLERANCE) << vessel << " is " << d << " m apart in the two hosts";
    }

    std::string scratch;
};

// A flight of the tests' own modules and class files (built into the real host's test folder), which go into
// this copy of the host only.
class TestModuleFlight : public RealHostFlight {
  protected:
    void SetUp() override {
        RealHostFlight::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_EQ(Shell("cp -r " + Quoted(REALSDK_BUILD) + "/testroot/. " + Quoted(scratch)), 0);
    }
};

} // namespace realhost
