// Where the hosts put the Sun and the Earth: a probe in a low orbit writes, in both hosts, the first body of the
// list, its planet and that planet's parent, where the Sun and the planet stand in the global frame, and how
// its own place comes back through the planet's surface coordinates and its own frame.
#include "realhost_fixture.h"

namespace realhost {
namespace {

// The Sun's flux at the planet goes with the square of the planet's distance from the origin: a ten-thousandth
// of that distance, for the Sun's place and the planet's, keeps the stock glider's temperatures to their
// hundredths of a kelvin.
constexpr double PLACE_SHARE_TOLERANCE = 1e-4;
// What a global place a hundred million kilometres out keeps, a few times over.
constexpr double ROUND_TRIP_TOLERANCE = 1e-3; // m
const char* const SKY_SCENARIOS[] = {"Test/SkyProbe2001", "Test/SkyProbe2023"};

class SkyFlight : public TestModuleFlight {
  protected:
    static double Length(const double v[3]) { return std::hypot(v[0], v[1], v[2]); }
};

TEST_F(SkyFlight, TheSunComesFirstAndStandsWhereTheRealHostPutsItAsDoesTheEarth) {
    for (const char* scenario : SKY_SCENARIOS) {
        SCOPED_TRACE(scenario);
        Flight real = FlyRealHost(scenario, 10);
        Flight sim = FlyHostsim(scratch + "/Scenarios/" + scenario + ".scn", 10, "", scratch);
        ExpectCleanHostRun(real);
        ASSERT_EQ(sim.status, 0) << sim.log;
        EXPECT_NE(sim.log.find("misuse 0, not modelled 0"), std::string::npos) << sim.log;
        ASSERT_TRUE(real.ships.count("Probe-1") && sim.ships.count("Probe-1"));
        const VesselBlock &r = real.ships.at("Probe-1"), &s = sim.ships.at("Probe-1");
        for (const char* key : {"SKY_FIRST", "SKY_PLANET", "SKY_PARENT"})
            EXPECT_EQ(LinesWithKeys(s, {key}), LinesWithKeys(r, {key})) << key;
        double earth[3];
        ASSERT_TRUE(VectorLine(r, "SKY_PLANETPOS", earth));
        const double tolerance = PLACE_SHARE_TOLERANCE * Length(earth);
        for (const char* key : {"SKY_FIRSTPOS", "SKY_PLANETPOS"}) {
            double a[3], b[3];
            ASSERT_TRUE(VectorLine(r, key, a) && VectorLine(s, key, b)) << key;
            const double off[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            EXPECT_LT(Length(off), tolerance) << key << " is " << Length(off) << " m from the real host's";
        }
        for (const char* key : {"SKY_ROUNDTRIP", "SKY_LOCALTRIP"}) {
            double a[3];
            ASSERT_TRUE(VectorLine(s, key, a)) << key;
            EXPECT_LT(Length(a), ROUND_TRIP_TOLERANCE) << key;
        }
    }
}

} // namespace
} // namespace realhost
