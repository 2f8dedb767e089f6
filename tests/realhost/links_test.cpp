// Links flown in both hosts with the link probe (tests/realhost/probe): children hung at run time, released,
// and hung by a scenario line land where the real host puts them, and two ports closing at 5 cm/s dock in the
// same frame.
#include "realhost_fixture.h"

#include <cmath>
#include <string>

namespace realhost {
namespace {

constexpr int LINK_FRAMES = 760;           // the ports pass each other at 12 s
constexpr double LINK_POSITION_TOL = 0.01; // m
constexpr double LINK_ANGLE_TOL = 0.5;     // deg

struct Attitude {
    double m[3][3];
};

// The host's attitude for a free vessel's AROT (degrees).
Attitude FromArot(const double arot[3]) {
    const double a = arot[0] * RAD_PER_DEG, b = arot[1] * RAD_PER_DEG, c = arot[2] * RAD_PER_DEG;
    const double sa = std::sin(a), ca = std::cos(a), sb = std::sin(b), cb = std::cos(b), sc = std::sin(c),
                 cc = std::cos(c);
    return {{{cb * cc, cb * sc, -sb},
             {sa * sb * cc - ca * sc, sa * sb * sc + ca * cc, sa * cb},
             {ca * sb * cc + sa * sc, ca * sb * sc - sa * cc, ca * cb}}};
}

// Angle of the turn from one attitude to the other, degrees.
double AngleBetween(const Attitude& p, const Attitude& q) {
    double trace = 0.0;
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k)
            trace += p.m[k][i] * q.m[k][i];
    return std::acos(std::fmax(-1.0, std::fmin(1.0, (trace - 1.0) / 2.0))) / RAD_PER_DEG;
}

class LinkFlight : public TestModuleFlight {
  protected:
    // Where the child's centre lies from the parent's in the global frame, as the save gives them.
    static bool Offset(const Flight& f, const std::string& parent, const std::string& child, double out[3]) {
        double p[3], c[3];
        if (!f.ships.count(parent) || !f.ships.count(child)) return false;
        if (!VectorLine(f.ships.at(parent), "RPOS", p) || !VectorLine(f.ships.at(child), "RPOS", c))
            return false;
        for (int i = 0; i < 3; ++i)
            out[i] = c[i] - p[i];
        return true;
    }

    static double Gap(const double a[3], const double b[3]) {
        return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                         (a[2] - b[2]) * (a[2] - b[2]));
    }
};

TEST_F(LinkFlight, ChildrenHangAndLeaveWhereTheRealHostPutsThemAndPortsDockInTheSameFrame) {
    Flight real = FlyRealHost("Test/LinkProbe", LINK_FRAMES);
    Flight sim = FlyHostsim(scratch + "/Scenarios/Test/LinkProbe.scn", LINK_FRAMES, "", scratch);
    ExpectCleanHostRun(real);
    ASSERT_EQ(sim.status, 0) << sim.log;
    EXPECT_NE(sim.log.find("misuse 0"), std::string::npos) << sim.log;

    // Hung by the scenario line, child point 1 on parent point 0: (1.44, -0.5, 0.58) in the parent's frame.
    double realHung[3], simHung[3];
    ASSERT_TRUE(Offset(real, "Par", "Chi2", realHung));
    ASSERT_TRUE(Offset(sim, "Par", "Chi2", simHung));
    EXPECT_NEAR(Gap(realHung, simHung), 0.0, LINK_POSITION_TOL);
    EXPECT_NEAR(std::sqrt(realHung[0] * realHung[0] + realHung[1] * realHung[1] + realHung[2] * realHung[2]),
                1.63095, 1e-3);
    double realArot[3], simArot[3];
    ASSERT_TRUE(VectorLine(real.ships.at("Chi2"), "AROT", realArot));
    ASSERT_TRUE(VectorLine(sim.ships.at("Chi2"), "AROT", simArot));
    EXPECT_LT(AngleBetween(FromArot(realArot), FromArot(simArot)), LINK_ANGLE_TOL);
    EXPECT_EQ(LinesWithKeys(real.ships.at("Chi2"), {"ATTACHED"}),
              LinesWithKeys(sim.ships.at("Chi2"), {"ATTACHED"}));

    // Hung at frame 5 (child point 1 on parent point 1), released at frame 40 at 0.7 m/s: 12 s later it is
    // where the real host has it.
    double realLeft[3], simLeft[3];
    ASSERT_TRUE(Offset(real, "Par", "Chi", realLeft));
    ASSERT_TRUE(Offset(sim, "Par", "Chi", simLeft));
    EXPECT_NEAR(Gap(realLeft, simLeft), 0.0, LINK_POSITION_TOL);

    // The ports dock in the same frame, both vessels told, and both saves name the link alike.
    for (const char* vessel : {"DkA", "DkB"}) {
        const std::vector<std::string> frame = LinesWithKeys(real.ships.at(vessel), {"DOCKFRAME"});
        ASSERT_EQ(frame.size(), 1u) << vessel;
        EXPECT_NE(frame[0], "DOCKFRAME 0") << vessel;
        EXPECT_EQ(frame, LinesWithKeys(sim.ships.at(vessel), {"DOCKFRAME"})) << vessel;
        EXPECT_EQ(LinesWithKeys(real.ships.at(vessel), {"DOCKINFO"}),
                  LinesWithKeys(sim.ships.at(vessel), {"DOCKINFO"}))
            << vessel;
    }
    EXPECT_EQ(LinesWithKeys(real.ships.at("DkA"), {"DOCKFRAME"}),
              LinesWithKeys(real.ships.at("DkB"), {"DOCKFRAME"}));
}

} // namespace
} // namespace realhost
