// Telemetry: the CSV layout, rows at the chosen interval, and identical files from identical runs.
#include "test_io.h"
#include "physics_fixture.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

int Lines(const std::string& text) {
    int n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}

} // namespace

class Telemetry : public PhysicsWorld {
  protected:
    // A landed fighter that lifts off on its hover engine and a projectile falling beside it, for 3 s.
    std::string Flight(const std::string& path, double interval) {
        owned.clear();
        live.clear();
        simt = 0.0;
        hs::W().simt = 0.0; // the same moment of the turning Earth
        std::string err;
        EXPECT_TRUE(hs::TelemetryOpen(path, interval, &err)) << err;
        Vessel& ship = Make("Corvane, \"one\"", 1000, _V(4.82, 12.81, 9.246));
        Wheels(ship);
        hs::PlaceLanded(ship, earth, 0.1, 0.2, 1.0);
        hs::Propellant* tank = Tank(ship, 2000, 2000);
        hs::Thruster* hover = Thruster(ship, _V(0, 0, 0), _V(0, 1, 0), 40000.0, tank, 4000.0);
        hover->level = 1.0;
        Vessel& shot = Make("b1", 1);
        AbovePole(shot, earth, 300.0, _V(100, 0, 0));
        Run(150, 0.02);
        hs::TelemetryClose();
        const std::string text = testio::ReadFile(path);
        std::remove(path.c_str());
        return text;
    }
};

TEST_F(Telemetry, TwoRunsOfOneFlightWriteIdenticalFilesWithRowsAtTheIntervalAndTheColumnsInOrder) {
    std::string a = Flight(std::string(BINARY_DIR) + "/physics_tel_a.csv", 0.0);
    std::string b = Flight(std::string(BINARY_DIR) + "/physics_tel_b.csv", 0.0);
    EXPECT_EQ(a, b);
    EXPECT_EQ(Lines(a), 1 + 2 * 151); // header, then both vessels at the start and after every frame

    // At an interval of half a second.
    std::string t = Flight(std::string(BINARY_DIR) + "/physics_tel_c.csv", 0.5);
    std::istringstream in(t);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "time,name,x,y,z,vx,vy,vz,altitude,airspeed,mass,propellant,ground_contact,pitch,bank");
    std::getline(in, line);
    EXPECT_EQ(line.rfind("0.0000,\"Corvane, \"\"one\"\"\",", 0), 0u) << line;
    // The last three columns: on the ground at the start, the nose a little up (the nose wheel carries less
    // than the mains and sinks less), wings level.
    std::istringstream tail(line.substr(line.rfind(',', line.rfind(',', line.rfind(',') - 1) - 1) + 1));
    std::string contact, pitch, bank;
    std::getline(tail, contact, ',');
    std::getline(tail, pitch, ',');
    std::getline(tail, bank, ',');
    EXPECT_EQ(contact, "1") << line;
    EXPECT_NEAR(std::stod(pitch), 0.0, 2.0) << line;
    EXPECT_NE(std::stod(pitch), 0.0) << line;
    EXPECT_NEAR(std::stod(bank), 0.0, 1e-3) << line;
    int rows = 1;
    std::string last;
    while (std::getline(in, line)) {
        ++rows;
        last = line;
    }
    EXPECT_EQ(rows, 2 * 7); // 0, 0.5, ... 3.0 s
    EXPECT_EQ(last.rfind("3.0000,b1,", 0), 0u) << last;
}

TEST_F(Telemetry, UnwritablePathIsReportedNotCrashed) {
    std::string err;
    EXPECT_FALSE(hs::TelemetryOpen("/nonexistent-dir/x.csv", 1.0, &err));
    EXPECT_NE(err.find("/nonexistent-dir/x.csv"), std::string::npos);
    Vessel& v = Make("v", 10);
    AbovePole(v, moon, 1000.0);
    Step(0.1); // no file: nothing written, nothing breaks
}
