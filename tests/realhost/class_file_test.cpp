// Vessel classes without a module, from the real host's own class files, flown in both hosts: at rest on the
// host's default touchdown points (pressed down only when a tank weighed them) and turning in orbit.
#include "realhost_fixture.h"

#include <cstring>

namespace {

using namespace realhost;

constexpr double SAME_ALTITUDE = 5e-4; // m: both save three decimals
constexpr double SAME_ANGLE = 0.05;    // deg of each saved Euler angle
constexpr double SAME_SPIN = 1e-3;     // deg/s

using ClassFileFlight = RealHostFlight;

// The numbers after a saved line's key (ALT has one, the others three); 0 when the block has no such line.
int Numbers(const VesselBlock& block, const std::string& key, double out[3]) {
    for (const std::string& line : block.lines) {
        char word[16];
        if (std::sscanf(line.c_str(), " %15s", word) == 1 && key == word)
            return std::sscanf(line.c_str() + line.find(key) + key.size(), "%lf %lf %lf", &out[0], &out[1],
                               &out[2]);
    }
    return 0;
}

TEST_F(ClassFileFlight, LandedAndOrbitingClassesWithoutModuleEndAlikeAfterTenSeconds) {
    Flight real = FlyRealHost("Test/ConfigOnly", 600);
    Flight sim = FlyHostsim("Test/ConfigOnly", 600, "", scratch);
    ExpectCleanHostRun(real);
    ASSERT_EQ(sim.status, 0) << sim.log;
    EXPECT_NE(sim.log.find("misuse 0"), std::string::npos) << sim.log;
    // The spinning station keeps its place, its spin and its attitude as in the host.
    const std::vector<std::pair<const char*, std::vector<const char*>>> compared = {
        {"Hab", {"ALT", "AROT"}}, {"Sat", {"ALT", "AROT"}}, {"Mir", {"RPOS", "VROT", "AROT"}}};
    for (const auto& [name, keys] : compared) {
        ASSERT_TRUE(real.ships.count(name) && sim.ships.count(name)) << name;
        for (const char* key : keys) {
            double r[3] = {NAN, NAN, NAN}, h[3] = {NAN, NAN, NAN};
            const int n = Numbers(real.ships.at(name), key, r);
            ASSERT_EQ(Numbers(sim.ships.at(name), key, h), n) << name << " " << key;
            const double tolerance = !strcmp(key, "ALT")    ? SAME_ALTITUDE
                                     : !strcmp(key, "RPOS") ? ORBIT_POSITION_TOLERANCE
                                     : !strcmp(key, "VROT") ? SAME_SPIN
                                                            : SAME_ANGLE;
            ASSERT_GT(n, 0) << name << " " << key;
            for (int i = 0; i < n; ++i)
                EXPECT_NEAR(h[i], r[i], tolerance) << name << " " << key << "[" << i << "]";
        }
    }
}

} // namespace
