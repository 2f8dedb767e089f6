// Docking by proximity. Measured in the host with two vessels whose ports close at 5 cm/s in orbit: the ports
// dock at the first look after they have passed their closest point (a vessel looks at one other vessel a
// frame, in turn), both vessels get the dock event in that frame, and ports held still within range never
// dock.
#include "tv_world.h"

#include <cstdio>
#include <string>

namespace hs::test {
namespace {

// TV2 turned half round about y faces TV1, its port (0, 0, 3) ahead of TV1's by gap metres, closing at speed.
std::string FacingPair(double gap, double speed) {
    char tv2[512];
    snprintf(tv2, sizeof tv2,
             "TV2:Test\\TestVessel\n  STATUS Orbiting Earth\n  RPOS 6471000.000 0.000 %.4f\n"
             "  RVEL 0.0000 0.0000 %.4f\n  AROT 0.000 180.000 0.000\n  PRPLEVEL 0:0.500000\nEND\n",
             6.0 + gap, 7800.0 - speed);
    return "TV1:Test\\TestVessel\n  STATUS Orbiting Earth\n  RPOS 6471000.000 0.000 0.000\n"
           "  RVEL 0.0000 0.0000 7800.0000\n  AROT 0.000 0.000 0.000\n  PRPLEVEL 0:0.500000\nEND\n" +
           std::string(tv2);
}

class Docking : public HostFixture {};

TEST_F(Docking, PortsThatPassTheirClosestPointDockAtTheNextLookWithTheEventOnBoth) {
    // 60.12 cm at 5 cm/s, less the tide between the two over 12 s: the ports pass each other in frame 721 (of
    // 1/60 s); both vessels look at odd frames.
    // (of 1/60 s); both vessels look at odd frames.
    ASSERT_TRUE(Load(ScenarioText(FacingPair(0.6012, 0.05), "TV1"))) << loadError;
    Sim().RunFrames(720);
    EXPECT_FALSE(TimelineHas("docked"));
    Sim().RunFrames(1);
    EXPECT_TRUE(TimelineInOrder({"tv: dock event TV1 port 0 TV2", "tv: dock event TV2 port 0 TV1",
                                 "docked TV1 port 0 to TV2 port 0"}));
    EXPECT_EQ(Iface("TV1")->GetDockStatus(Iface("TV1")->GetDockHandle(0)), Rec("TV2"));
    // Held together: the ports coincide, and the pair moves as one with the momentum it had.
    Sim().RunFrames(60);
    VECTOR3 p1, p2, v1, v2;
    Iface("TV1")->Local2Global(_V(0, 0, 3), p1);
    Iface("TV2")->Local2Global(_V(0, 0, 3), p2);
    EXPECT_NEAR(dist(p1, p2), 0.0, 1e-6);
    Iface("TV1")->GetGlobalVel(v1);
    Iface("TV2")->GetGlobalVel(v2);
    EXPECT_NEAR(dist(v1, v2), 0.0, 1e-6);
    const std::string saved = Sim().ScenarioText();
    EXPECT_NE(saved.find("  DOCKINFO 0:0,TV2\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("  DOCKINFO 0:0,TV1\n"), std::string::npos) << saved;
}

TEST_F(Docking, PortsHeldStillWithinRangeNeverDock) {
    ASSERT_TRUE(Load(ScenarioText(FacingPair(0.05, 0.0), "TV1"))) << loadError;
    Sim().RunFrames(600);
    EXPECT_FALSE(TimelineHas("docked"));
    EXPECT_EQ(Iface("TV1")->GetDockStatus(Iface("TV1")->GetDockHandle(0)), nullptr);
}

TEST_F(Docking, PortsThatStayApartBeyondHalfAMetreNeverDock) {
    // TV2 passes 0.6 m to the side of TV1's port.
    ASSERT_TRUE(Load(ScenarioText(FacingPair(0.3, 0.05), "TV1"))) << loadError;
    Sim().FindVessel("TV2")->phys.pos.x += 0.6;
    Sim().RunFrames(900);
    EXPECT_FALSE(TimelineHas("docked"));
}

} // namespace
} // namespace hs::test
