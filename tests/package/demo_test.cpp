// The demo flight, flown by the hostsim command as the README runs it, read back from its timeline.
#include "hostsim_fixture.h"
#include "package_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

using namespace package_test;

namespace {

struct DemoRun {
    // The flight writes into its host root (the crew's transfer records, the sound log): it flies on a root
    // of its own, so that no flight running beside it can take in or delete its transfer record.
    std::unique_ptr<hs::test::TempRoot> root;
    CommandResult result;
    std::string dir, saved, telemetry;
};

DemoRun FlyDemo() {
    DemoRun run;
    run.root = std::make_unique<hs::test::TempRoot>();
    run.dir = run.root->Path(); // the outputs go with the root
    run.saved = run.dir + "/saved.scn";
    run.telemetry = run.dir + "/telemetry.csv";
    const std::string& root = run.root->Path();
    run.result = RunCommand(std::string(BINARY_DIR) + "/bin/hostsim run Corvane/Demo.scn --root " + root +
                            " --script " + root + "/Scenarios/Corvane/Demo.script --dt 0.0166667" +
                            " --plugin OrbiterSound --visuals --save " + run.saved + " --telemetry " +
                            run.telemetry + " --telemetry-interval 0.5");
    return run;
}

using Row = std::map<std::string, double>; // column name -> value

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::istringstream ls(line);
    std::string cell;
    while (std::getline(ls, cell, ','))
        cells.push_back(cell);
    return cells;
}

// Telemetry rows of one vessel, by time, each read by its column names.
std::map<double, Row> Rows(const std::string& csv, const std::string& vessel) {
    std::map<double, Row> rows;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> names = Cells(line);
    while (std::getline(in, line)) {
        const std::vector<std::string> cells = Cells(line);
        if (cells.size() != names.size() || cells[1] != vessel) continue;
        Row row;
        for (size_t i = 0; i < cells.size(); ++i)
            if (i != 1) row[names[i]] = atof(cells[i].c_str());
        // A row's time is the sum of 1/60 s frames: keyed to the hundredth, as the half-second marks are
        // named.
        rows[std::round(row["time"] * 100.0) / 100.0] = row;
    }
    return rows;
}

} // namespace

TEST(Demo, RunsToTheEndWithNoMisuseEveryCapabilityInOrderAndLeavesShipDroneAndCrewAsFlown) {
    DemoRun run = FlyDemo();
    ASSERT_EQ(run.result.status, 0) << run.result.out;
    EXPECT_NE(run.result.out.find("misuse 0, not modelled 0"), std::string::npos) << run.result.out;

    const char* story[] = {
        "HUD Corvane-1: Welcome aboard ! E=EVA  M=add crew",
        "key K -> Corvane-1",
        "created UMmu_Capt-Ilse_Marrow",
        "EVA OK - Ilse Marrow left the ship",
        "Capt \"Ilse Marrow\" aged 35 entered into our ship",
        "Crew \"Teodor Vanke\" aged 41 added to vessel",
        "hold Ctrl+NUMPAD0", // she takes off from her wheels
        "[BOOST]",
        "key Ctrl+F12 -> Corvane-1",
        "HWG ENGAGED",
        "created b1 (Pellorin)",
        "sound: Corvane-1 play slot 1",
        "deleted b1",
        "key Shift+R -> Corvane-1",
        "carrier: Carrier released Corvane-1",
        "docked Corvane-1 port 0 to Corvane-2 port 0",
        "Transfer to docked ship Ok - Ilse Marrow transfered",
        "undocked Corvane-1 port 0",
        "carrier: Carrier released Corvane-1",
        "hold Ctrl+DECIMAL",
        "saved",
    };
    size_t at = 0;
    for (const char* event : story) {
        size_t found = run.result.out.find(event, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << event << "\n" << run.result.out;
        at = found;
    }
    EXPECT_EQ(run.result.out.find("Crash"), std::string::npos);

    // The drone is pushed, the ship refuelled and landed, the scientist still aboard.
    const std::string csv = ReadFile(run.telemetry);
    auto drone = Rows(csv, "Drone");
    auto ship = Rows(csv, "Corvane-1");
    ASSERT_TRUE(drone.count(55.5) && drone.count(57.0) && ship.count(58.5) && ship.count(60.0));

    // Two slugs of 1 kg at 1700 m/s on a 5000 kg hull: well over half a metre per second.
    double dv2 = 0;
    for (const char* v : {"vx", "vy", "vz"}) {
        double d = drone[57.0].at(v) - drone[55.5].at(v);
        dv2 += d * d;
    }
    EXPECT_GT(dv2, 0.5 * 0.5);

    EXPECT_LT(ship[58.5].at("propellant"), 10000.0);        // the jump burned propellant...
    EXPECT_DOUBLE_EQ(ship[60.0].at("propellant"), 10000.0); // ...and the carrier filled the tank

    const auto& last = ship.rbegin()->second;
    EXPECT_EQ(last.at("ground_contact"), 1.0);     // on the ground at the end
    EXPECT_NEAR(last.at("altitude"), 2.595, 0.02); // standing on her wheels
    EXPECT_LT(last.at("airspeed"), 0.01);          // and still
    EXPECT_LT(std::fabs(last.at("pitch")), 2.0);   // level
    EXPECT_LT(std::fabs(last.at("bank")), 2.0);

    const std::string saved = ReadFile(run.saved);
    EXPECT_NE(saved.find("UMMUCREW Sci-Teodor_Vanke-41-"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("UMMUCREW Sci-Teodor_Vanke-41-0-"), std::string::npos) << saved; // alive
    EXPECT_NE(saved.find("UMMUCREW Capt-Ilse_Marrow-35"), std::string::npos) << saved;    // now on Corvane-2
}
