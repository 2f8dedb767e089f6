// The script flight fixture: one hostsim flight script flown in both hosts, the real host playing it through
// the tests' script player plugin, with each host's telemetry read back by column name.
#pragma once

#include "realhost_fixture.h"

namespace realhost {

constexpr double FRAME = 1.0 / 60.0; // s, FRAME_LENGTH as a number

// What the headless real host cannot do (its script player names them unsupported): neither host is asked to.
const char* const UNSUPPORTED_VERBS[] = {"input", "escape", "camera", "playback"};

class ScriptFlight : public RealHostFlight {
  protected:
    void SetUp() override {
        RealHostFlight::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // The player, the stand-ins and their classes go into this copy of the host only.
        ASSERT_EQ(Shell("cp -r " + Quoted(REALSDK_BUILD) + "/testroot/. " + Quoted(scratch) +
                        " && sed -i 's/^ACTIVE_MODULES$/ACTIVE_MODULES\\n  ScriptPlayer\\n  OrbiterSound/' " +
                        Quoted(scratch + "/Orbiter_NG.cfg")),
                  0);
    }

    // The script without what the real host cannot be asked, as both hosts fly it, and its last command's
    // time.
    double SharedScript(const std::string& script) {
        std::istringstream in(ReadFile(script));
        std::ofstream out(scratch + "/shared.script");
        std::string line;
        double last = 0.0;
        while (std::getline(in, line)) {
            std::istringstream words(line);
            std::string time, verb;
            words >> time >> verb;
            bool unsupported = false;
            for (const char* v : UNSUPPORTED_VERBS)
                unsupported = unsupported || verb == v;
            if (unsupported) continue;
            out << line << '\n';
            if (!time.empty() && time[0] != '#') last = std::max(last, std::atof(time.c_str()));
        }
        return last;
    }

    // Flies the scenario (a name under Scenarios/; for hostsim a path when given) with the script in both
    // hosts until its last command; each writes its telemetry (real.csv, sim.csv) every frame.
    void FlyBoth(const std::string& scenario, const std::string& script,
                 const std::string& simScenario = "") {
        const double end = SharedScript(script);
        const int frames = (int)std::lround(end / FRAME) + 1;
        real = FlyRealHost(scenario, frames,
                           "CORVANE_SCRIPT=" + Quoted(scratch + "/shared.script") +
                               " CORVANE_TIMELINE=" + Quoted(scratch + "/real.timeline") +
                               " CORVANE_TELEMETRY=" + Quoted(scratch + "/real.csv"));
        ExpectCleanHostRun(real);
        const std::string save = scratch + "/hostsim-saved.scn";
        const testio::CommandResult out = testio::RunCommand(
            std::string(HOSTSIM_EXE) + " run " + Quoted(simScenario.empty() ? scenario : simScenario) +
            " --root " + Quoted(HOSTROOT_DIR) + " --dt " + FRAME_LENGTH +
            " --plugin OrbiterSound --quiet --script " + Quoted(scratch + "/shared.script") + " --save " +
            Quoted(save) + " --telemetry " + Quoted(scratch + "/sim.csv") + " --telemetry-interval 0");
        ASSERT_EQ(out.status, 0) << out.out;
        EXPECT_NE(out.out.find("misuse 0, not modelled 0"), std::string::npos) << out.out;
        sim.log = out.out;
        sim.ships = ReadShips(ReadFile(save));
        realTimeline = ReadFile(scratch + "/real.timeline");
        ASSERT_FALSE(realTimeline.empty()) << "the script player wrote no timeline";
    }

    // A vessel's telemetry row nearest to time t, by column name, from one host's file.
    std::map<std::string, double> Row(const std::string& file, const std::string& vessel, double t) {
        std::istringstream in(ReadFile(scratch + "/" + file));
        std::string line;
        std::getline(in, line);
        std::vector<std::string> names;
        std::stringstream header(line);
        for (std::string cell; std::getline(header, cell, ',');)
            names.push_back(cell);
        std::map<std::string, double> best;
        while (std::getline(in, line)) {
            std::vector<std::string> cells;
            std::stringstream row(line);
            for (std::string cell; std::getline(row, cell, ',');)
                cells.push_back(cell);
            if (cells.size() != names.size() || cells[1] != vessel) continue;
            double time = std::atof(cells[0].c_str());
            if (!best.empty() && std::fabs(time - t) >= std::fabs(best["time"] - t)) continue;
            for (size_t i = 0; i < cells.size(); ++i)
                if (i != 1) best[names[i]] = std::atof(cells[i].c_str());
        }
        return best;
    }

    Flight real, sim;
    std::string realTimeline;
};

} // namespace realhost
