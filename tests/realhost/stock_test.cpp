// The host's own stock vessels (modules built from the host's tree by others, with its scenarios under
// Scenarios/Stock) flown 600 frames in both hosts, their saves compared vessel by vessel: the same vessels, the
// lines the modules write word for word, the host's lines with the same keys, orbiting vessels at the same
// place and attitude, landed ones on the same spot.
#include "realhost_fixture.h"

#include <set>

namespace realhost {
namespace {

const char* const STOCK_SCENARIOS[] = {
    "Atlantis_Ascent_Autopilot", "Atlantis_LEO", "Atlantis_SRB_LEO", "Atlantis_Tank_LEO",
    "DG-S_LEO",                  "DeltaGlider_LEO", "HST_LEO",       "HST_Orbit_Deployment",
    "MMU_LEO",                   "Quadcopter_Landed", "ShuttleA_Docked_at_ISS", "ShuttleA_LEO",
    "ShuttleA_PL_LEO",           "SolarSail_LEO", "Solar_Sail",     "Sphere_LEO"};

constexpr int STOCK_FRAMES = 600;
constexpr double ATTITUDE_TOLERANCE = 0.1;     // deg
// A landed vessel is compared by its place only: the host re-seats a landed group when it docks it together,
// which tilts a stack standing on its tail by a few thousandths of a degree, and the heading of an axis that
// points nearly straight up swings by degrees with that.
constexpr double LANDED_PLACE_TOLERANCE = 1e-5; // deg of longitude or latitude, about a metre

// The keys the host writes for every vessel; every other line of a vessel's block is its module's.
const std::set<std::string> HOST_LINE_KEYS = {"STATUS", "BASE",  "POS",      "HEADING",  "ALT",
                                              "AROT",   "RPOS",  "RVEL",     "VROT",     "ATTACHED",
                                              "RCSMODE", "AFCMODE", "PRPLEVEL", "THLEVEL", "DOCKINFO",
                                              "IDS",    "NAVFREQ", "XPDR",   "FLIGHTDATA"};

std::string KeyOf(const std::string& line) { return line.substr(0, line.find(' ')); }

std::vector<std::string> HostLineKeys(const VesselBlock& block) {
    std::vector<std::string> keys;
    for (const std::string& line : block.lines)
        if (HOST_LINE_KEYS.count(KeyOf(line))) keys.push_back(KeyOf(line));
    return keys;
}

// The lines a module wrote.
std::vector<std::string> ModuleLines(const VesselBlock& block) {
    std::vector<std::string> lines;
    for (const std::string& line : block.lines)
        if (!HOST_LINE_KEYS.count(KeyOf(line))) lines.push_back(line);
    return lines;
}

std::string LineWithKey(const VesselBlock& block, const std::string& key) {
    for (const std::string& line : block.lines)
        if (KeyOf(line) == key) return line;
    return "";
}

// The attitude the saved Euler angles (degrees) stand for, as the host reads them back.
std::array<double, 9> AttitudeOf(const double arot[3]) {
    const double a = arot[0] * RAD_PER_DEG, b = arot[1] * RAD_PER_DEG, c = arot[2] * RAD_PER_DEG;
    const double sa = std::sin(a), ca = std::cos(a), sb = std::sin(b), cb = std::cos(b), sc = std::sin(c),
                 cc = std::cos(c);
    // Rz(c) Ry(b) Rx(a), row by row.
    return {cc * cb, cc * sb * sa - sc * ca, cc * sb * ca + sc * sa,
            sc * cb, sc * sb * sa + cc * ca, sc * sb * ca - cc * sa,
            -sb,     cb * sa,                cb * ca};
}

// The angle of the turn that takes one saved attitude to the other.
double AttitudeAngle(const double a[3], const double b[3]) {
    std::array<double, 9> p = AttitudeOf(a), q = AttitudeOf(b);
    double trace = 0;
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k)
            trace += p[3 * k + i] * q[3 * k + i];
    return std::acos(std::clamp((trace - 1) / 2, -1.0, 1.0)) / RAD_PER_DEG;
}

class StockFlight : public RealHostFlight, public ::testing::WithParamInterface<const char*> {
  protected:
    static void ExpectSamePlace(const std::string& vessel, const VesselBlock& real, const VesselBlock& sim) {
        const std::string status = LineWithKey(real, "STATUS");
        if (status.rfind("STATUS Orbiting", 0) == 0) {
            double a[3], b[3];
            ASSERT_TRUE(VectorLine(real, "RPOS", a) && VectorLine(sim, "RPOS", b)) << vessel;
            double d = std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
            EXPECT_LT(d, ORBIT_POSITION_TOLERANCE) << vessel << " is " << d << " m from the real host's";
        } else if (status.rfind("STATUS Landed", 0) == 0) {
            double a[2] = {}, b[2] = {};
            ASSERT_EQ(std::sscanf(LineWithKey(real, "POS").c_str(), "POS %lf %lf", &a[0], &a[1]), 2) << vessel;
            ASSERT_EQ(std::sscanf(LineWithKey(sim, "POS").c_str(), "POS %lf %lf", &b[0], &b[1]), 2) << vessel;
            EXPECT_NEAR(b[0], a[0], LANDED_PLACE_TOLERANCE) << vessel << " longitude";
            EXPECT_NEAR(b[1], a[1], LANDED_PLACE_TOLERANCE) << vessel << " latitude";
            return; // a landed vessel's heading and angles: see LANDED_PLACE_TOLERANCE
        }
        double r[3], s[3];
        if (VectorLine(real, "AROT", r) && VectorLine(sim, "AROT", s)) {
            EXPECT_LT(AttitudeAngle(r, s), ATTITUDE_TOLERANCE)
                << vessel << " AROT " << LineWithKey(sim, "AROT") << ", real " << LineWithKey(real, "AROT");
        }
    }
};

TEST(StockAttitude, TheAngleBetweenSavedAttitudesIsTheTurnBetweenThem) {
    const double a[3] = {10, 20, 30};
    double b[3] = {10, 20, 30.5};
    EXPECT_NEAR(AttitudeAngle(a, a), 0.0, 1e-6);
    EXPECT_NEAR(AttitudeAngle(a, b), 0.5, 1e-6);
    // The same attitude written the other way round (a pitch beyond the pole).
    const double c[3] = {10 + 180, 180 - 20, 30 + 180};
    EXPECT_NEAR(AttitudeAngle(a, c), 0.0, 1e-4);
}

TEST_P(StockFlight, SavesAsTheRealHostSaves) {
    const std::string scenario = std::string("Stock/") + GetParam();
    Flight real = FlyRealHost(scenario, STOCK_FRAMES);
    Flight sim = FlyHostsim(scenario, STOCK_FRAMES, "", scratch);
    ExpectCleanHostRun(real);
    ASSERT_EQ(sim.status, 0) << sim.log;
    EXPECT_NE(sim.log.find("misuse 0, not modelled 0"), std::string::npos) << sim.log;
    ASSERT_FALSE(real.ships.empty()) << "the real host saved no vessel";
    std::set<std::string> realNames, simNames;
    for (const auto& [name, block] : real.ships)
        realNames.insert(name + ":" + block.className);
    for (const auto& [name, block] : sim.ships)
        simNames.insert(name + ":" + block.className);
    EXPECT_EQ(simNames, realNames);
    for (const auto& [name, block] : real.ships) {
        if (!sim.ships.count(name)) continue;
        const VesselBlock& mine = sim.ships.at(name);
        EXPECT_EQ(ModuleLines(mine), ModuleLines(block)) << name;
        EXPECT_EQ(HostLineKeys(mine), HostLineKeys(block)) << name;
        EXPECT_EQ(LineWithKey(mine, "STATUS"), LineWithKey(block, "STATUS")) << name;
        ExpectSamePlace(name, block, mine);
    }
}

INSTANTIATE_TEST_SUITE_P(Stock, StockFlight, ::testing::ValuesIn(STOCK_SCENARIOS),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
} // namespace realhost

namespace realhost {
namespace {

// The glider started in its virtual cockpit brings the headless real host down (its cockpit draws onto
// surfaces a host that does not render lacks); hostsim flies it.
TEST_F(RealHostFlight, StockGliderStartedInItsVirtualCockpitFliesInHostsim) {
    std::string text = ReadFile(scratch + "/Scenarios/Stock/DeltaGlider_LEO.scn");
    const size_t mode = text.find("MODE Extern");
    ASSERT_NE(mode, std::string::npos);
    text.replace(mode, 11, "MODE Cockpit");
    text.replace(text.find("END_CAMERA"), 10, "END_CAMERA\n\nBEGIN_VC\nEND_VC");
    std::ofstream(scratch + "/Scenarios/Stock/GliderCockpit.scn") << text;
    Flight sim = FlyHostsim("Stock/GliderCockpit", 120, "", scratch);
    ASSERT_EQ(sim.status, 0) << sim.log;
    EXPECT_NE(sim.log.find("misuse 0"), std::string::npos) << sim.log;
    ASSERT_TRUE(sim.ships.count("GL-01")) << sim.log;
    EXPECT_EQ(sim.ships.at("GL-01").className, "DeltaGlider");
}

} // namespace
} // namespace realhost
