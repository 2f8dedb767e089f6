// The turning Earth in both hosts: a vessel that lifts off from the ground on a steady push climbs two
// minutes through the air alike, and a save made in either host resumes in the other with the same airspeed.
#include "realhost_fixture.h"

namespace {

using namespace realhost;

constexpr int TWO_MINUTES = 7200;            // frames of FRAME_LENGTH
constexpr double POSITION_TOLERANCE = 100.0; // m, after the two minutes
constexpr double VELOCITY_TOLERANCE = 2.0;   // m/s
constexpr double AIRSPEED_TOLERANCE = 2.0;   // m/s
constexpr double EARTH_RADIUS = 6371010.0;   // m

class TurningEarth : public TestModuleFlight {
  protected:
    // The airspeed the vessel's own save line gives, as the host it flew in reported it.
    static double SavedAirspeed(const Flight& f) {
        double airspeed = NAN;
        if (!f.ships.count("Lifter-1")) return airspeed;
        for (const std::string& line : f.ships.at("Lifter-1").lines)
            std::sscanf(line.c_str(), "AIRSPEED %lf", &airspeed);
        return airspeed;
    }

    static std::array<double, 3> Saved(const Flight& f, const char* key) {
        std::array<double, 3> v{NAN, NAN, NAN};
        if (f.ships.count("Lifter-1")) VectorLine(f.ships.at("Lifter-1"), key, v.data());
        return v;
    }

    static double Distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
        return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                         (a[2] - b[2]) * (a[2] - b[2]));
    }

    Flight Hostsim(const std::string& scenario, int frames) {
        Flight f = FlyHostsim(scratch + "/Scenarios/Test/" + scenario + ".scn", frames, "", scratch);
        EXPECT_EQ(f.status, 0) << f.log;
        EXPECT_NE(f.log.find("misuse 0, not modelled 0"), std::string::npos) << f.log;
        return f;
    }
};

TEST_F(TurningEarth,
       RisingVesselFliesTwoMinutesThroughTheAirWithin100MetresAnd2MetresPerSecondOfTheRealHost) {
    Flight real = FlyRealHost("Test/LifterRunway", TWO_MINUTES);
    ExpectCleanHostRun(real);
    Flight sim = Hostsim("LifterRunway", TWO_MINUTES);
    const std::array<double, 3> realPos = Saved(real, "RPOS"), simPos = Saved(sim, "RPOS");
    const std::array<double, 3> realVel = Saved(real, "RVEL"), simVel = Saved(sim, "RVEL");
    ASSERT_TRUE(std::isfinite(realPos[0]) && std::isfinite(simPos[0])) << "not in flight in both saves";
    // Up in the air, several kilometres above the ground.
    EXPECT_GT(Distance(realPos, {0, 0, 0}) - EARTH_RADIUS, 5000.0);
    EXPECT_NEAR(Distance(simPos, realPos), 0.0, POSITION_TOLERANCE);
    EXPECT_NEAR(Distance(simVel, realVel), 0.0, VELOCITY_TOLERANCE);
    // Airspeed counts against the air turning with the Earth: far below the 400 m/s of the ground's own turn.
    EXPECT_GT(SavedAirspeed(real), 100.0);
    EXPECT_LT(SavedAirspeed(real), 200.0);
    EXPECT_NEAR(SavedAirspeed(sim), SavedAirspeed(real), AIRSPEED_TOLERANCE);
}

TEST_F(TurningEarth, SaveInTheAirOfEitherHostResumesInTheOtherWithItsAirspeedWithin2MetresPerSecond) {
    const int minute = TWO_MINUTES / 2;
    Flight real = FlyRealHost("Test/LifterRunway", minute);
    ExpectCleanHostRun(real);
    ASSERT_EQ(Shell("cp " + Quoted(scratch + "/Scenarios/(Current state).scn") + " " +
                    Quoted(scratch + "/Scenarios/Test/FromReal.scn")),
              0);
    Flight sim = Hostsim("LifterRunway", minute);
    ASSERT_EQ(Shell("cp " + Quoted(scratch + "/hostsim-saved.scn") + " " +
                    Quoted(scratch + "/Scenarios/Test/FromSim.scn")),
              0);
    ASSERT_TRUE(std::isfinite(SavedAirspeed(real)) && std::isfinite(SavedAirspeed(sim)));
    EXPECT_GT(SavedAirspeed(real), 30.0); // in the air, climbing

    // One frame on, each host reads the other's save and reports the airspeed the other saved.
    Flight simResumed = Hostsim("FromReal", 1);
    Flight realResumed = FlyRealHost("Test/FromSim", 1);
    ExpectCleanHostRun(realResumed);
    EXPECT_NEAR(SavedAirspeed(simResumed), SavedAirspeed(real), AIRSPEED_TOLERANCE);
    EXPECT_NEAR(SavedAirspeed(realResumed), SavedAirspeed(sim), AIRSPEED_TOLERANCE);
}

} // namespace
