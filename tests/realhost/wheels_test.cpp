// The Corvane on the ground in the real host and in hostsim: it stands level on its wheels, settles after a
// push, the parking brake holds it back under the main engine while it rolls free without, it takes off from
// and lands on its wheels or its belly, falls onto its wheels, and sends a member out beside it.
#include "script_flight.h"

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
    const std::vector<std::string> cells = LastTelemetryRow(csv, vessel);
    if (cells.empty()) return p;
    for (int i = 0; i < 3; ++i)
        p.pos[i] = std::atof(cells[2 + i].c_str());
    p.height = std::atof(cells[8].c_str());
    p.pitch = std::atof(cells[13].c_str());
    p.bank = std::atof(cells[14].c_str());
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
        ActivatePlugin("HoldKey");
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

// The host holds a landed ship where it laid it, nose up on its first three points and low; a touch of the
// hover engine lets it go, and a fifth of a second later it stands level on its gear, ready to lift off
// without the springs' kick.
const char* const SETTLE = "0.1 thgroup HOVER 0.1\n0.2 thgroup HOVER 0\n";

// Hover take-offs and landings, flown from one script: off the ground on the hover engine and the vertical
// thrusters with the dampeners holding 5 percent of the mass, up to about 15 m, down at a set speed, the
// dampeners switched off (25 t) at 7 s, and the hover engine cut just after the touchdown, before the
// weightless ship floats off its springs.
struct Landing {
    const char* name;
    const char* scenario;    // the real host's name; hostsim takes the file below when there is one
    const char* simScenario; // under SCENARIO_DIR, or null for the real host's name under the host root
    double descentEnd;       // s: when the vertical thrusters stop pushing her down
    double from, to;         // s: the stretch of steady descent that gives the touchdown speed
    double hoverOff, end;    // s
    double speed;            // m/s down, as meant
    bool crash;              // the crew is killed
    double restHeight;       // m
    double restPitch;        // deg: level on the wheels, nose up on the belly points
};

constexpr double WHEEL_REST_PITCH = 0.0;    // deg
constexpr double BELLY_REST_HEIGHT = 1.744; // m
constexpr double BELLY_REST_PITCH = 13.06;  // deg: the belly's nose point sits 1.2 m lower than its rear ones

constexpr Landing LANDINGS[] = {
    {"OnTheWheelsAtTwoMetresPerSecond", "Corvane/Runway", nullptr, 5.63, 8.0, 10.0, 11.5, 14.0, 2.0, false,
     REST_HEIGHT, WHEEL_REST_PITCH},
    {"OnTheWheelsAtFourMetresPerSecond", "Corvane/Runway", nullptr, 6.4, 7.2, 8.2, 9.0, 12.0, 4.0, true,
     REST_HEIGHT, WHEEL_REST_PITCH},
    {"OnTheBellyAtTwoMetresPerSecond", "Test/BellyRunway", "BellyRunway.scn", 5.63, 8.0, 10.0, 11.7, 14.0,
     2.0, false, BELLY_REST_HEIGHT, BELLY_REST_PITCH},
    {"OnTheBellyAtFourMetresPerSecond", "Test/BellyRunway", "BellyRunway.scn", 6.4, 7.2, 8.2, 9.0, 12.0, 4.0,
     true, BELLY_REST_HEIGHT, BELLY_REST_PITCH},
};

// The flight's name, for the test lists.
void PrintTo(const Landing& l, std::ostream* out) {
    *out << l.name;
}

class Landings : public ScriptFlight, public ::testing::WithParamInterface<Landing> {
  protected:
    // Every crew line of the ship in a save: all alive (pulse 65, as the scenario has it) or all killed.
    static void ExpectCrew(const Ships& ships, bool killed, const char* host) {
        const std::vector<std::string> crew = LinesWithKeys(ships.at("Corvane-1"), {"UMMUCREW"});
        EXPECT_EQ(crew.size(), 2u) << host;
        for (const std::string& line : crew)
            EXPECT_NE(line.find(killed ? "-0-" : "-65-"), std::string::npos) << host << ": " << line;
    }
};

TEST_P(Landings, EndUprightWithTheCrewAliveOrKilledByTheCrashRuleInBothHosts) {
    const Landing& l = GetParam();
    {
        std::ofstream script(scratch + "/flight.script");
        script << SETTLE
               << "0.5 hold Ctrl+NUMPAD0 2\n0.5 thgroup ATT_UP 1\n2 thgroup ATT_UP 0\n4 thgroup ATT_DOWN 1\n"
               << l.descentEnd << " thgroup ATT_DOWN 0\n7 key Shift+I\n"
               << l.hoverOff << " hold Ctrl+DECIMAL 1\n"
               << l.end << " quit\n";
    }
    FlyBoth(l.scenario, scratch + "/flight.script",
            l.simScenario ? std::string(SCENARIO_DIR) + "/" + l.simScenario : "");
    if (HasFatalFailure()) return;
    double speeds[2];
    for (int host = 0; host < 2; ++host) {
        SCOPED_TRACE(host == 0 ? "real host" : "hostsim");
        const char* file = host == 0 ? "real.csv" : "sim.csv";
        const double a = Row(file, "Corvane-1", l.from)["altitude"],
                     b = Row(file, "Corvane-1", l.to)["altitude"];
        speeds[host] = (a - b) / (l.to - l.from);
        EXPECT_NEAR(speeds[host], l.speed, 0.25);
        std::map<std::string, double> end = Row(file, "Corvane-1", l.end - 0.1);
        EXPECT_EQ(end["ground_contact"], 1.0);
        EXPECT_NEAR(end["altitude"], l.restHeight, REST_HEIGHT_TOLERANCE);
        EXPECT_NEAR(end["pitch"], l.restPitch, UPRIGHT_TOLERANCE);
        EXPECT_NEAR(end["bank"], 0.0, UPRIGHT_TOLERANCE);
    }
    EXPECT_NEAR(speeds[1], speeds[0], 0.2);
    EXPECT_EQ(sim.log.find("Oooh no ! Crash - All crew aboard killed") != std::string::npos, l.crash)
        << sim.log;
    ExpectCrew(real.ships, l.crash, "real host");
    ExpectCrew(sim.ships, l.crash, "hostsim");
}

INSTANTIATE_TEST_SUITE_P(RealHost, Landings, ::testing::ValuesIn(LANDINGS),
                         [](const ::testing::TestParamInfo<Landing>& info) {
                             return std::string(info.param.name);
                         });

// Settled, lifted 5 m above its rest on the runway and let go, with the dampeners off: it falls at nearly 10
// m/s, the crash rule kills the crew, and the ship ends level on its wheels, its gear having sunk no more
// than a few decimetres.
TEST_F(ScriptFlight, DroppedFiveMetresOntoItsWheelsItEndsLevelOnThemInBothHosts) {
    {
        std::ofstream(scratch + "/flight.script")
            << SETTLE << "0.5 place Corvane-1 REL Corvane-1 0 5 0\n5 quit\n";
    }
    FlyBoth("Test/WheelsRolling", scratch + "/flight.script", ROLLING);
    if (HasFatalFailure()) return;
    for (const char* file : {"real.csv", "sim.csv"}) {
        SCOPED_TRACE(file);
        EXPECT_NEAR(Row(file, "Corvane-1", 1.0)["altitude"], REST_HEIGHT + 5.0 - 0.5 * 9.8 * 0.25, 0.1);
        double lowest = 1e9;
        for (double t = 1.0; t < 3.0; t += FRAME)
            lowest = std::min(lowest, Row(file, "Corvane-1", t)["altitude"]);
        EXPECT_GT(lowest, REST_HEIGHT - 0.3);
        std::map<std::string, double> end = Row(file, "Corvane-1", 4.9);
        EXPECT_NEAR(end["altitude"], REST_HEIGHT, REST_HEIGHT_TOLERANCE);
        EXPECT_NEAR(end["pitch"], 0.0, UPRIGHT_TOLERANCE);
        EXPECT_NEAR(end["bank"], 0.0, UPRIGHT_TOLERANCE);
    }
    ExpectSameOwnLines(real, sim, "Corvane-1");
}

// Through the open canopy on the ground, with the ship at rest: the member appears 1.5 m below and 3 m ahead
// of its centre.
TEST_F(ScriptFlight, EvaOnTheGroundPlacesTheMemberBelowAndAheadOfTheShipInBothHosts) {
    { std::ofstream(scratch + "/flight.script") << "0.5 key K\n11 key E\n11.3 quit\n"; }
    FlyBoth("Corvane/Runway", scratch + "/flight.script");
    if (HasFatalFailure()) return;
    for (const char* file : {"real.csv", "sim.csv"}) {
        SCOPED_TRACE(file);
        std::map<std::string, double> ship = Row(file, "Corvane-1", 11.02),
                                      member = Row(file, "UMmu_Capt-Ilse_Marrow", 11.02);
        ASSERT_FALSE(member.empty());
        EXPECT_EQ(ship["ground_contact"], 1.0);
        EXPECT_LT(ship["airspeed"], 0.01);
        const double pitch = ship["pitch"] * RAD_PER_DEG;
        // Down and forward in the ship's frame, seen against the horizon.
        EXPECT_NEAR(member["altitude"] - ship["altitude"], -1.5 * std::cos(pitch) + 3.0 * std::sin(pitch),
                    0.02);
        const double d[3] = {member["x"] - ship["x"], member["y"] - ship["y"], member["z"] - ship["z"]};
        EXPECT_NEAR(std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]), std::sqrt(1.5 * 1.5 + 3.0 * 3.0),
                    0.02);
    }
}

} // namespace
