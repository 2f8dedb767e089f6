// The Corvane on the ground in the real host and in hostsim: it stands level on its wheels, settles after a
// push, and the parking brake holds it back under the main engine while it rolls free without.
#include "realhost_fixture.h"

namespace {

using namespace realhost;

constexpr double EARTH_RADIUS = 6371010.0; // m, both hosts' Earth
constexpr double REST_HEIGHT = 2.595;      // m: the wheels 2.6 m below the centre, sunk 5 mm on their springs
constexpr double REST_HEIGHT_TOLERANCE = 0.02; // m
constexpr double UPRIGHT_TOLERANCE = 2.0;      // deg of pitch and bank from level
constexpr double SAME_ATTITUDE = 0.5;          // deg between the hosts
constexpr double SAME_HEIGHT = 0.02;           // m between the hosts
// The host's thruster group numbers.
constexpr int MAIN_GROUP = 0;
constexpr int HOVER_GROUP = 2;

// Where a vessel in free flight ended: its centre above the mean radius, its nose and wings against the
// horizon, and its position (global in hostsim, the planet's in the real host: only differences between
// flights of the same length mean anything).
struct Pose {
    double height = NAN, pitch = NAN, bank = NAN; // m, deg, deg
    double pos[3] = {NAN, NAN, NAN};              // m
};

double Dot(const double a[3], const double b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double Distance(const Pose& a, const Pose& b) {
    const double d[3] = {a.pos[0] - b.pos[0], a.pos[1] - b.pos[1], a.pos[2] - b.pos[2]};
    return std::sqrt(Dot(d, d));
}

// The real host saves a vessel in flight with RPOS and its AROT Euler angles (degrees) in the same frame: its
// axes there are the rows of Rz(c) Ry(b) Rx(a), right, up and nose.
Pose SavedPose(const VesselBlock& block) {
    Pose p;
    double arot[3];
    if (!VectorLine(block, "RPOS", p.pos) || !VectorLine(block, "AROT", arot)) return p;
    const double r = std::sqrt(Dot(p.pos, p.pos));
    const double up[3] = {p.pos[0] / r, p.pos[1] / r, p.pos[2] / r};
    const double a = arot[0] * RAD_PER_DEG, b = arot[1] * RAD_PER_DEG, c = arot[2] * RAD_PER_DEG;
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b), cc = std::cos(c),
                 sc = std::sin(c);
    const double right[3] = {cb * cc, sa * sb * cc - ca * sc, ca * sb * cc + sa * sc};
    const double vesselUp[3] = {cb * sc, sa * sb * sc + ca * cc, ca * sb * sc - sa * cc};
    const double nose[3] = {-sb, sa * cb, ca * cb};
    p.height = r - EARTH_RADIUS;
    p.pitch = std::asin(Dot(nose, up)) / RAD_PER_DEG;
    p.bank = std::atan2(Dot(right, up), Dot(vesselUp, up)) / RAD_PER_DEG; // positive: the right wing up
    return p;
}

// hostsim's telemetry: the vessel's last row.
Pose TelemetryPose(const std::string& csv, const std::string& vessel) {
    Pose p;
    std::istringstream in(csv);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream row(line);
        for (std::string cell; std::getline(row, cell, ',');)
            cells.push_back(cell);
        if (cells.size() < 15 || cells[1] != vessel) continue;
        for (int i = 0; i < 3; ++i)
            p.pos[i] = std::atof(cells[2 + i].c_str());
        p.height = std::atof(cells[8].c_str());
        p.pitch = std::atof(cells[13].c_str());
        p.bank = std::atof(cells[14].c_str());
    }
    return p;
}

// A stretch of a thruster group at a level: the real host's plugin and hostsim's script fly the same.
struct Throttle {
    int group;
    const char* groupName; // as hostsim's script names it
    double level, from, until;
};

class WheelsInBothHosts : public RealHostFlight {
  protected:
    void SetUp() override {
        RealHostFlight::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_EQ(Shell("mkdir -p " + Quoted(scratch + "/Modules/Plugin") + " && cp " +
                        Quoted(REALSDK_BUILD) + "/testroot/Modules/Plugin/libHoldKey.so " +
                        Quoted(scratch + "/Modules/Plugin/") +
                        " && sed -i 's/^ACTIVE_MODULES$/ACTIVE_MODULES\\n  HoldKey/' " +
                        Quoted(scratch + "/Orbiter_NG.cfg")),
                  0);
    }

    // Flies `frames` frames of a scenario (a name under Scenarios/ without ".scn" for the real host, the same
    // file for hostsim) with the throttles in both hosts; each must come out clean, with its crew alive.
    std::array<Pose, 2> Fly(const std::string& scenario, const std::string& simScenario, int frames,
                            const std::vector<Throttle>& throttles) {
        std::string env, script;
        for (const Throttle& t : throttles) {
            char stretch[160];
            std::snprintf(stretch, sizeof stretch, "%s%d %g %g %g", env.empty() ? "" : ", ", t.group, t.level,
                          t.from, t.until);
            env += stretch;
            std::snprintf(stretch, sizeof stretch, "%g thgroup %s %g\n%g thgroup %s 0\n", t.from, t.groupName,
                          t.level, t.until, t.groupName);
            script += stretch;
            // The plugin sets a level for as long as its stretch lasts; the level then stays as a throttle
            // does.
            std::snprintf(stretch, sizeof stretch, ", %d 0 %g %g", t.group, t.until, t.until + 0.05);
            env += stretch;
        }
        std::ofstream(scratch + "/flight.script") << script;
        const Flight real = FlyRealHost(scenario, frames, "CORVANE_THGROUP='" + env + "'");
        const std::string telemetry = scratch + "/telemetry.csv";
        const Flight sim =
            FlyHostsim(simScenario, frames, telemetry, HOSTROOT_DIR, scratch + "/flight.script");
        ExpectCleanHostRun(real);
        EXPECT_EQ(sim.status, 0) << sim.log;
        EXPECT_NE(sim.log.find("misuse 0"), std::string::npos) << sim.log;
        ExpectSameOwnLines(real, sim, "Corvane-1");
        for (const std::string& crew : LinesWithKeys(real.ships.at("Corvane-1"), {"UMMUCREW"}))
            EXPECT_NE(crew.find("-65-"), std::string::npos) << "a crew member's pulse changed: " << crew;
        return {SavedPose(real.ships.at("Corvane-1")), TelemetryPose(ReadFile(telemetry), "Corvane-1")};
    }

    static void ExpectUprightAtRest(const Pose& p, const char* host) {
        EXPECT_NEAR(p.pitch, 0.0, UPRIGHT_TOLERANCE) << host;
        EXPECT_NEAR(p.bank, 0.0, UPRIGHT_TOLERANCE) << host;
        EXPECT_NEAR(p.height, REST_HEIGHT, REST_HEIGHT_TOLERANCE) << host;
    }

    static void ExpectSamePose(const std::array<Pose, 2>& p) {
        EXPECT_NEAR(p[1].pitch, p[0].pitch, SAME_ATTITUDE);
        EXPECT_NEAR(p[1].bank, p[0].bank, SAME_ATTITUDE);
        EXPECT_NEAR(p[1].height, p[0].height, SAME_HEIGHT);
    }
};

const Throttle HOVER_PUSH = {HOVER_GROUP, "HOVER", 1.0, 0.2, 0.5};
const std::string PARKED = std::string(SCENARIO_DIR) + "/WheelsParked.scn";
const std::string ROLLING = std::string(SCENARIO_DIR) + "/WheelsRolling.scn";

// Placed landed, the ship is held where the host laid it; a hover burst lets it go, and within five seconds
// it stands level on its wheels and rear pads.
TEST_F(WheelsInBothHosts, PushedOffItsPlaceItSettlesLevelOnItsWheelsWithinFiveSeconds) {
    const std::array<Pose, 2> p = Fly("Corvane/Runway", "Corvane/Runway.scn", 330, {HOVER_PUSH});
    ExpectUprightAtRest(p[0], "real host");
    ExpectUprightAtRest(p[1], "hostsim");
    ExpectSamePose(p);
}

// With the dampeners off (25 t), 30 % main thrust for a second: the host's friction grows with the slip, so
// even braked wheels creep, but the set brake keeps her well behind the ship that rolls free, and both stay
// upright.
TEST_F(WheelsInBothHosts, ParkingBrakeHoldsBackThirtyPercentMainThrustThatRollsTheShipWithoutIt) {
    const Throttle main = {MAIN_GROUP, "MAIN", 0.3, 0.5, 1.5};
    const std::array<Pose, 2> still = Fly("Test/WheelsParked", PARKED, 120, {HOVER_PUSH});
    const std::array<Pose, 2> braked = Fly("Test/WheelsParked", PARKED, 120, {main});
    const std::array<Pose, 2> rolling = Fly("Test/WheelsRolling", ROLLING, 120, {main});
    for (int host = 0; host < 2; ++host) {
        SCOPED_TRACE(host == 0 ? "real host" : "hostsim");
        ExpectUprightAtRest(braked[host], "braked");
        ExpectUprightAtRest(rolling[host], "rolling");
        const double held = Distance(braked[host], still[host]), free = Distance(rolling[host], still[host]);
        EXPECT_LT(held, 1.5);
        EXPECT_GT(free, 1.2 * held);
    }
    EXPECT_NEAR(Distance(braked[1], still[1]), Distance(braked[0], still[0]), 0.15);
    EXPECT_NEAR(Distance(rolling[1], still[1]), Distance(rolling[0], still[0]), 0.15);
    ExpectSamePose(braked);
    ExpectSamePose(rolling);
}

} // namespace
