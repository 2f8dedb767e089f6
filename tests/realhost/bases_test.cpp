// Surface bases in both hosts: a ship put down on a pad by its scenario's BASE line stands on the pad's centre,
// is refuelled there and saves the line again; one whose POS puts it off the pad it names still holds that pad
// but takes no fuel; one with no BASE line is left as it was.
#include "realhost_fixture.h"

namespace {

using namespace realhost;

using BaseFlight = RealHostFlight;

TEST_F(BaseFlight, ShipsOnAndOffThePadsOfCapeCanaveralSaveAsInTheRealHost) {
    Flight real = FlyRealHost("Test/PBOnPads", 60);
    Flight sim = FlyHostsim("Test/PBOnPads", 60, "", scratch);
    ExpectCleanHostRun(real);
    ASSERT_EQ(sim.status, 0) << sim.log;
    EXPECT_NE(sim.log.find("misuse 0, not modelled 0"), std::string::npos) << sim.log;
    const std::vector<std::string> exact = {"STATUS", "BASE", "POS", "HEADING", "PRPLEVEL"};
    for (const char* ship : {"PB-01", "PB-02", "PB-03"}) {
        ASSERT_TRUE(real.ships.count(ship) && sim.ships.count(ship)) << ship;
        EXPECT_EQ(LinesWithKeys(sim.ships.at(ship), exact), LinesWithKeys(real.ships.at(ship), exact)) << ship;
    }
    // The first stands on pad 1 and was filled up; the third names pad 3 from elsewhere.
    EXPECT_EQ(LinesWithKeys(real.ships.at("PB-01"), {"BASE", "PRPLEVEL"}),
              (std::vector<std::string>{"BASE Cape Canaveral:1", "PRPLEVEL 0:1.000000"}));
    EXPECT_EQ(LinesWithKeys(real.ships.at("PB-03"), {"BASE", "PRPLEVEL"}),
              (std::vector<std::string>{"BASE Cape Canaveral:3", "PRPLEVEL 0:0.500000"}));
}

} // namespace
