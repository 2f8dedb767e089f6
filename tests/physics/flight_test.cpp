// A hover hop of the host's test vessel flown by the hostsim command from a script, read back from telemetry.
#include "test_io.h"
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Row {
    double t, x, y, z, vx, vy, vz, alt, airspeed, mass, prop;
    int contact;
    double pitch, bank;
    // Speed along the local vertical (Earth's centre at the origin).
    double Climb() const { return (x * vx + y * vy + z * vz) / std::sqrt(x * x + y * y + z * z); }
};

std::vector<Row> Parse(const std::string& text) {
    std::vector<Row> rows;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        Row r{};
        char name[64];
        if (sscanf(line.c_str(), "%lf,%63[^,],%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%lf,%d,%lf,%lf", &r.t, name,
                   &r.x, &r.y, &r.z, &r.vx, &r.vy, &r.vz, &r.alt, &r.airspeed, &r.mass, &r.prop, &r.contact,
                   &r.pitch, &r.bank) == 15)
            rows.push_back(r);
    }
    return rows;
}

// CTest runs each case in a process of its own, several at once: every process writes its own files.
std::string HopFile(const char* tag) {
    return std::string(BINARY_DIR) + "/physics_hop_" + std::to_string(getpid()) + "_" + tag + ".csv";
}

// Runs the hop and returns the telemetry text ("" when hostsim failed). The script is an open-loop pilot's,
// timed for an Earth that does not turn: on the turning one the lighter effective weight (0.26 % at the
// site) keeps its last hover from sinking and the lift-off's roll carries it sideways, so it flies over the
// same Earth held still (the root's body table without its turns), where it checks the ground and hover
// mechanics alone.
std::string Hop(const std::string& csv) {
    const std::string root = csv + ".root";
    std::string cmd = "cp -r '" + std::string(HOSTROOT_DIR) + "' '" + root + "' && sed -i '/^SPIN/d' '" +
                      root + "/Config/bodies.cfg' && " + std::string(BINARY_DIR) +
                      "/bin/hostsim run Physics/HoverHop.scn --root '" + root + "' --script '" + root +
                      "/Scenarios/Physics/HoverHop.txt' --telemetry " + csv + " --telemetry-interval 0.5 > " +
                      csv + ".log 2>&1";
    std::string text = std::system(cmd.c_str()) == 0 ? testio::ReadFile(csv) : std::string();
    std::remove(csv.c_str());
    std::remove((csv + ".log").c_str());
    std::system(("rm -rf '" + root + "'").c_str());
    return text;
}

// Two runs of one script give identical telemetry.
TEST(HoverHop, RestsLiftsOffClimbsForwardAndLandsGentlyAlikeOnEveryRun) {
    const std::string text = Hop(HopFile("a"));
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(Hop(HopFile("b")), text);
    const std::vector<Row> rows = Parse(text);

    // It starts resting on its points and lifts off on the hover.
    ASSERT_EQ(rows.size(), 161u); // 0 to 80 s every half second
    EXPECT_EQ(rows[0].contact, 1);
    // Centre of mass one metre above the touchdown points, each of which carries a third of the 1500 kg on a
    // spring of 20 N/m per kg of the 500 kg empty mass: sunk 0.49 m.
    EXPECT_NEAR(rows[0].alt, 1.0 - 1500.0 * 9.8203 / 3.0 / (20.0 * 500.0), 2e-3);
    EXPECT_EQ(rows[0].airspeed, 0.0);
    EXPECT_EQ(rows[2].contact, 0);
    // Hover at 0.9 of 20 kN on 1500 kg: 2.2 m/s^2 up; the compressed springs add their push at lift-off (at
    // most the 3.6 kJ they hold, 2.2 m/s), which the pilot takes back by throttling down at 2.66 s instead
    // of 3.
    EXPECT_GT(rows[1].Climb(), 0.5 * 2.18 + 0.5);
    EXPECT_LT(rows[1].Climb(), 0.5 * 2.18 + 2.2);
    EXPECT_NEAR(rows[6].Climb(), 6.55, 0.1);

    // It climbs flying forward and burns propellant.
    double top = 0.0;
    for (const Row& r : rows)
        top = std::max(top, r.alt);
    EXPECT_GT(top, 40.0);
    EXPECT_LT(top, 60.0);
    const Row& first = rows.front();
    const Row& last = rows.back();
    double moved = std::sqrt(std::pow(last.x - first.x, 2) + std::pow(last.y - first.y, 2) +
                             std::pow(last.z - first.z, 2));
    EXPECT_GT(moved, 150.0); // the main engine's push carried it forward
    EXPECT_LT(last.prop, first.prop - 30.0);
    EXPECT_DOUBLE_EQ(last.mass - last.prop, 500.0); // the empty mass stays

    // It lands gently and comes to rest.
    size_t touch = 0;
    for (size_t i = 4; i < rows.size(); ++i)
        if (rows[i].contact) {
            touch = i;
            break;
        }
    ASSERT_GT(touch, 0u);
    EXPECT_GT(rows[touch - 1].Climb(), -1.5);      // coming down at well under 1.5 m/s
    for (size_t i = touch; i < rows.size(); ++i) { // it stays on its points: no tipping over
        EXPECT_LT(std::fabs(rows[i].pitch), 10.0) << rows[i].t;
        EXPECT_LT(std::fabs(rows[i].bank), 10.0) << rows[i].t;
    }
    EXPECT_EQ(last.contact, 1);
    // Six seconds after touching down it has all but stopped: the host calls it landed (and holds it) only
    // once it has stood still for five seconds.
    EXPECT_LT(last.airspeed, 0.05);
    EXPECT_NEAR(last.alt, 1.0 - 1466.6 * 9.8203 / 3.0 / (20.0 * 500.0), 0.05); // sunk on its springs again
    EXPECT_NEAR(rows[rows.size() - 2].x, last.x, 0.01);
}

} // namespace
