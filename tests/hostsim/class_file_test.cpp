// Vessel classes without a module: the host's defaults and the class file's generic items are all they fly
// on.
#include "tv_world.h"

#include "scenario_blocks.h"

namespace hs::test {
namespace {

constexpr double G_EARTH_SURFACE = 3.986004418e14 / (6371010.0 * 6371010.0); // m/s^2, hostsim's Earth
constexpr double CLASS_SPRING = 3e6;                                         // N/m: three points of 1e6

// ALT of a landed vessel in the saved scenario.
double SavedAltitude(const std::string& scenario, const std::string& vessel) {
    const auto ships = ReadShips(scenario);
    for (const std::string& line : ships.at(vessel).lines) {
        double alt;
        if (sscanf(line.c_str(), " ALT %lf", &alt) == 1) return alt;
    }
    return NAN;
}

std::string Landed(const std::string& name, const std::string& cls, double lng) {
    return name + ":" + cls + "\n  STATUS Landed Earth\n  POS " + std::to_string(lng) +
           " 28.5970000\n  HEADING 0.00\nEND\n";
}

using ClassFile = HostFixture;

// The host weighs a vessel only when its tanks are filled: one without a tank is set down on springs that
// carry nothing, and stays there.
TEST_F(ClassFile, WithoutPointsItRestsOnTheHostsDefaultsUncompressedUnlessItHasATank) {
    root.Write("Config/Vessels/Tower.cfg", "Size = 10\nMass = 5000\n");
    root.Write("Config/Vessels/Tank.cfg", "Size = 10\nMass = 5000\nMaxFuel = 0\n");
    ASSERT_TRUE(Load(ScenarioText(Landed("T1", "Tower", -80.68) + Landed("T2", "Tank", -80.69))))
        << loadError;
    Sim().RunFrames(600);
    const std::string saved = Sim().ScenarioText();
    EXPECT_NEAR(SavedAltitude(saved, "T1"), 2.000, 5e-4);
    EXPECT_NEAR(SavedAltitude(saved, "T2"), 2.0 - 5000 * G_EARTH_SURFACE / CLASS_SPRING, 5e-4);
    const Vessel* t = Rec("T1");
    EXPECT_DOUBLE_EQ(t->touchdownVertices.at(0).stiffness, 1e6);
    EXPECT_DOUBLE_EQ(t->touchdownVertices.at(0).damping, 1e5);
    EXPECT_DOUBLE_EQ(t->touchdown[0].z, 10.0);
    EXPECT_DOUBLE_EQ(t->muLat, 0.5);
    EXPECT_DOUBLE_EQ(t->muLng, 0.1);
    EXPECT_DOUBLE_EQ(t->pmi.x, 20.0); // from the size: 2 size, 2 size, size
    EXPECT_DOUBLE_EQ(t->pmi.z, 10.0);
    EXPECT_DOUBLE_EQ(t->crossSections.y, 20.0);
}

TEST_F(ClassFile, ItsPortsPointsTanksAndEnginesAreMadeAndItsPortsDockAModule) {
    root.Write(
        "Config/Vessels/Station.cfg",
        "Mass = 4e4\nSize = 20\nInertia = 30 40 50\nCrossSections = 100 200 300\nRotResistance = 1 2 3\n"
        "PropellantResource1 = 500 0.5\nPropellantResource2 = 100\nMaxFuel = 9999\nIsp = 3000\n"
        "MaxAttitudeThrust = 200\nTouchdownPoints = 0 -5 5  -5 -5 -5  5 -5 -5\nEnableXPDR = TRUE\nXPDR = "
        "466\n"
        "BEGIN_DOCKLIST\n0 0 10  0 0 1  0 1 0  588\nnot a port\n0 0 -10  0 0 -1  0 1 0\nEND_DOCKLIST\n"
        "BEGIN_ATTACHMENT\nP 0 5 0  0 1 0  0 0 1  XS\nC 0 -5 0  0 -1 0  0 0 1\nEND_ATTACHMENT\n");
    ASSERT_TRUE(
        Load(ScenarioText("S:Station\n  STATUS Orbiting Earth\n  RPOS 0 9000000 0\n  RVEL 0 0 0\nEND\n")))
        << loadError;
    const Vessel* s = Rec("S");
    EXPECT_DOUBLE_EQ(s->pmi.y, 40.0);
    EXPECT_DOUBLE_EQ(s->rotDrag.z, 3.0);
    ASSERT_EQ(s->propellants.size(), 2u); // MaxFuel is read only without other tanks
    EXPECT_DOUBLE_EQ(s->propellants[0]->efficiency, 0.5);
    EXPECT_EQ(s->thrusters.size(), 18u); // six linear, twelve turning at half thrust
    EXPECT_DOUBLE_EQ(s->thrusters[6]->max0, 100.0);
    EXPECT_DOUBLE_EQ(s->thrusters[6]->pos.z, 20.0);
    EXPECT_DOUBLE_EQ(s->thrusters[0]->isp0, 3000.0);
    EXPECT_DOUBLE_EQ(s->touchdown[1].x, -5.0);
    EXPECT_EQ(s->xpdr, 466u);
    ASSERT_EQ(s->docks.size(), 2u); // a line that is not nine numbers makes none
    EXPECT_DOUBLE_EQ(s->docks[1]->dir.z, -1.0);
    ASSERT_EQ(s->attachments.size(), 2u);
    EXPECT_TRUE(s->attachments[0]->toParent);
    EXPECT_STREQ(s->attachments[0]->id, "XS");

    OBJHANDLE tv = CreateAbovePole("TV", TV_CLASS, _V(0, 0, 100));
    EXPECT_EQ(oapiGetVesselInterface(tv)->Dock(oapiGetVesselByName((char*)"S"), 0, 1, 2), 0);
    EXPECT_TRUE(TimelineHas("docked TV port 0 to S port 1"));
}

} // namespace
} // namespace hs::test
