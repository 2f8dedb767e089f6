// The Sun's radiation pressure switched on in the host's configuration: the stock solar sail, pushed metres
// off its orbit in ten seconds, ends within a metre of where the real host puts it.
#include "realhost_fixture.h"

namespace realhost {
namespace {

constexpr int SAIL_FRAMES = 600;
constexpr double SAIL_PUSH_MIN = 1.0; // m: the push must be more than the tolerance for the test to tell

class SunPressureFlight : public RealHostFlight {
  protected:
    void SwitchPressureOn() {
        ASSERT_EQ(Shell("sed -i '1i RadiationPressure = TRUE' " + Quoted(scratch + "/Orbiter_NG.cfg")), 0);
    }
    static double Distance(const VesselBlock& a, const VesselBlock& b) {
        double p[3], q[3];
        if (!VectorLine(a, "RPOS", p) || !VectorLine(b, "RPOS", q)) return NAN;
        return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
    }
};

TEST_F(SunPressureFlight, SolarSailEndsWithinAMetreOfTheRealHostAndMetresOffItsUnpushedOrbit) {
    const std::string scenario = "Stock/SolarSail_LEO";
    Flight unpushed = FlyHostsim(scenario, SAIL_FRAMES, "", scratch);
    SwitchPressureOn();
    Flight real = FlyRealHost(scenario, SAIL_FRAMES);
    Flight sim = FlyHostsim(scenario, SAIL_FRAMES, "", scratch);
    ExpectCleanHostRun(real);
    ASSERT_EQ(sim.status, 0) << sim.log;
    EXPECT_NE(sim.log.find("misuse 0, not modelled 0"), std::string::npos) << sim.log;
    EXPECT_NE(sim.log.find("radiation pressure"), std::string::npos) << sim.log;
    ASSERT_TRUE(real.ships.count("Sail-01") && sim.ships.count("Sail-01") && unpushed.ships.count("Sail-01"));
    EXPECT_LT(Distance(real.ships.at("Sail-01"), sim.ships.at("Sail-01")), ORBIT_POSITION_TOLERANCE);
    EXPECT_GT(Distance(sim.ships.at("Sail-01"), unpushed.ships.at("Sail-01")), SAIL_PUSH_MIN);
}

} // namespace
} // namespace realhost
