// The turning bodies: the host's rotation angle and axis from the scenario's date, the air and the ground
// that turn with the body, and the body functions modules ask.
#include "physics_fixture.h"

#include <cstdio>
#include <fstream>

namespace {

// Measured in the real host: Earth (its Config/Earth.cfg) one frame of 0.0166667 s into a scenario dated MJD
// 51982.5, as oapiGetPlanetCurrentRotation and oapiGetPlanetTheta report it in that frame's post-step, and
// oapiGetRotationMatrix in the next one's (the host gives the matrix the step started from).
constexpr double MEASURED_MJD0 = 51982.5;
constexpr double MEASURED_SIMT = 0.0166667;
constexpr double MEASURED_ROTATION = 6.141048954031; // rad
constexpr double MEASURED_THETA = -0.000292364109;   // rad
constexpr double MEASURED_R[9] = {0.989877582844,  0.000116295761, 0.141923773405,
                                  0.056348413823,  0.917482062834, -0.393765819540,
                                  -0.130258309684, 0.397777137168, 0.908188373579};

} // namespace

class Rotation : public PhysicsWorld {
  protected:
    void SetUp() override {
        PhysicsWorld::SetUp();
        mjd0Before = hs::W().env.mjd0;
        hs::W().env.mjd0 = MEASURED_MJD0;
    }
    void TearDown() override {
        hs::W().env.mjd0 = mjd0Before;
        PhysicsWorld::TearDown();
    }
    double mjd0Before = 0.0;
};

TEST_F(Rotation, EarthsAngleAxisAndMatrixAreTheRealHostsToTheTwelfthDecimal) {
    const hs::BodyFrame f = hs::FrameAt(*hs::GetBody(earth), MEASURED_MJD0, MEASURED_SIMT);
    EXPECT_NEAR(f.rotation, MEASURED_ROTATION, 1e-11);
    EXPECT_NEAR(f.theta, MEASURED_THETA, 1e-11);
    EXPECT_NEAR(f.obliquity, 0.4090928023, 1e-11);
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(f.R.data[i], MEASURED_R[i], 1e-11) << i;
}

TEST_F(Rotation, EarthTurnsOnceInItsSiderealPeriodEastwardAboutItsTiltedPole) {
    const hs::Body& b = *hs::GetBody(earth);
    const hs::BodyFrame f0 = hs::FrameAt(b, MEASURED_MJD0, 0.0);
    const hs::BodyFrame quarter = hs::FrameAt(b, MEASURED_MJD0, 86164.10132 / 4.0);
    const hs::BodyFrame day = hs::FrameAt(b, MEASURED_MJD0, 86164.10132);
    // Longitude 0 goes where longitude 90 east was a quarter of a day before: the turn is eastward.
    EXPECT_NEAR(dist(mul(quarter.R, _V(1, 0, 0)), mul(f0.R, _V(0, 0, 1))), 0.0, 1e-6);
    // A sidereal day brings it back, but for the precession of 1/25772 turn a year.
    EXPECT_NEAR(dist(mul(day.R, _V(1, 0, 0)), mul(f0.R, _V(1, 0, 0))), 0.0, 1e-6);
    // The ground at the equator moves east at 2 pi R / T; the pole stands still.
    const VECTOR3 equator = mul(f0.R, _V(b.radius, 0, 0)), pole = mul(f0.R, _V(0, b.radius, 0));
    const VECTOR3 east = mul(f0.R, _V(0, 0, 1));
    EXPECT_NEAR(dotp(hs::SurfaceVelocity(f0, b, b.pos + equator), east), 2 * M_PI * b.radius / 86164.10132,
                1e-6);
    EXPECT_NEAR(length(hs::SurfaceVelocity(f0, b, b.pos + pole)), 0.0, 1e-6);
}

// The real host's airspeed and horizon airspeed vector (east, up, north) of a vessel 32 km over that Earth,
// one frame into the flight, at the state it reported in the next frame's post-step (the host reports the
// state the step started from).
TEST_F(Rotation, AirspeedCountsAgainstTheAirTurningWithTheEarthAsTheRealHostReportsIt) {
    Vessel& v = Make("flyer", 1000);
    v.phys.body = earth;
    v.phys.pos = hs::GetBody(earth)->pos + _V(1000000.1664, 2000000.3329, 6000000.4985);
    v.phys.vel = _V(9.92588, 19.94263, 29.85326);
    simt = MEASURED_SIMT;
    hs::W().simt = simt;
    EXPECT_NEAR(hs::Airspeed(v), 358.62101, 1e-3);
    const VECTOR3 h = hs::HorizonAirspeedVector(v);
    EXPECT_NEAR(h.x, -356.72632, 1e-3);
    EXPECT_NEAR(h.y, 35.75330, 1e-3);
    EXPECT_NEAR(h.z, 8.77831, 1e-3);
}

TEST_F(Rotation, LandedVesselKeepsItsLongitudeLatitudeAndHeadingWhileTheEarthTurnsIt) {
    Vessel& v = Make("parked", 2000);
    Wheels(v);
    hs::PlaceLanded(v, earth, -1.4, 0.5, 1.2);
    const VECTOR3 start = v.phys.pos;
    Run(3600, 1.0 / 60.0);
    double lng, lat, hdg;
    hs::SurfacePosition(v, &lng, &lat, &hdg);
    EXPECT_NEAR(lng, -1.4, 1e-9);
    EXPECT_NEAR(lat, 0.5, 1e-9);
    EXPECT_NEAR(hdg, 1.2, 1e-6);
    EXPECT_NEAR(hs::Airspeed(v), 0.0, 1e-6);
    EXPECT_TRUE(hs::FlightStatus(v) & 1u);
    // A minute of the turn carried it some 24 km through space.
    EXPECT_GT(dist(v.phys.pos, start), 20000.0);
}

TEST_F(Rotation, BodyWithoutTurnStandsStillAndABodyFileOfTheHostsFormatGivesItsTurn) {
    const std::string dir = std::string(BINARY_DIR) + "/rotation_bodies_" + std::to_string(getpid());
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
    {
        std::ofstream(dir + "/bodies.cfg")
            << "BODY Still 1000 1e10 0 0 0 NONE\nBODY Turner 1000 1e10 0 0 0 NONE\n";
        std::ofstream(dir + "/Turner.cfg")
            << "; the host's own format\nSidRotPeriod = 1000  ; s\nObliquity = 0.5\n";
    }
    std::string err;
    ASSERT_TRUE(hs::LoadBodies(dir + "/bodies.cfg", &err)) << err;
    std::system(("rm -rf '" + dir + "'").c_str());
    const hs::Body& still = *hs::GetBody(hs::BodyIndexByName("Still"));
    const hs::Body& turner = *hs::GetBody(hs::BodyIndexByName("Turner"));
    const hs::BodyFrame a = hs::FrameAt(still, MEASURED_MJD0, 0.0),
                        b = hs::FrameAt(still, MEASURED_MJD0, 5000.0);
    // The host's period of 1e100 s: a turn far below any rounding.
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(a.R.data[i], b.R.data[i], 1e-80);
    EXPECT_NEAR(length(a.w), 0.0, 1e-90);
    EXPECT_EQ(turner.spin.period, 1000.0);
    EXPECT_EQ(turner.spin.obliquity, 0.5);
    EXPECT_NEAR(length(hs::FrameAt(turner, MEASURED_MJD0, 0.0).w), 2 * M_PI / 1000.0, 1e-15);
    EXPECT_NEAR(hs::FrameAt(turner, MEASURED_MJD0, 0.0).obliquity, 0.5, 1e-12);
}

TEST_F(Rotation, SpinLineOfAnUnknownBodyOrKeyIsRefusedAndTheTableInUseStays) {
    const std::string path = std::string(BINARY_DIR) + "/rotation_spin_" + std::to_string(getpid()) + ".cfg";
    std::string err;
    {
        std::ofstream(path)
            << "BODY Earth 6371010 3.986e14 0 0 0 NONE\nSPIN Earth SidRotPeriod 86000 Wobble 1\n";
    }
    EXPECT_FALSE(hs::LoadBodies(path, &err));
    EXPECT_NE(err.find("unknown SPIN key Wobble"), std::string::npos) << err;
    { std::ofstream(path) << "BODY Earth 6371010 3.986e14 0 0 0 NONE\nSPIN Venus SidRotPeriod 86000\n"; }
    EXPECT_FALSE(hs::LoadBodies(path, &err));
    EXPECT_NE(err.find("Venus"), std::string::npos) << err;
    std::remove(path.c_str());
    // The assembled root's Earth still turns as the host's.
    EXPECT_EQ(hs::GetBody(earth)->spin.period, 86164.10132);
}

// What a module asks the host of a body: its period, tilt, node, turn and matrices, and where a surface place
// lies, all from the same turn as the physics; a handle that is not a body is misuse.
TEST_F(Rotation, PlanetFunctionsReportTheTurnTheVesselsFlyIn) {
    const hs::Body& b = *hs::GetBody(earth);
    OBJHANDLE h = const_cast<hs::Body*>(&b);
    simt = MEASURED_SIMT;
    hs::W().simt = simt;
    const hs::BodyFrame f = hs::FrameAt(b, MEASURED_MJD0, MEASURED_SIMT);
    EXPECT_EQ(oapiGetPlanetPeriod(h), 86164.10132);
    EXPECT_NEAR(oapiGetPlanetObliquity(h), 0.4090928023, 1e-12);
    EXPECT_NEAR(oapiGetPlanetTheta(h), MEASURED_THETA, 1e-11);
    EXPECT_NEAR(oapiGetPlanetCurrentRotation(h), MEASURED_ROTATION, 1e-11);
    MATRIX3 R, E;
    oapiGetRotationMatrix(h, &R);
    oapiGetPlanetObliquityMatrix(h, &E);
    for (int i = 0; i < 9; ++i) {
        EXPECT_NEAR(R.data[i], f.R.data[i], 1e-15);
        EXPECT_NEAR(E.data[i], f.Recl.data[i], 1e-15);
    }
    // A place given by longitude, latitude and radius comes back the same, to what global places a hundred
    // million kilometres from the origin keep (some tens of micrometres).
    VECTOR3 g;
    oapiEquToGlobal(h, -1.4, 0.5, b.radius + 100.0, &g);
    double lng, lat, rad;
    oapiGlobalToEqu(h, g, &lng, &lat, &rad);
    EXPECT_NEAR(lng, -1.4, 1e-10);
    EXPECT_NEAR(lat, 0.5, 1e-10);
    EXPECT_NEAR(rad, b.radius + 100.0, 1e-4);
    EXPECT_NEAR(dist(g, hs::ToHostFrame(b.pos + mul(f.R, _V(cos(0.5) * cos(-1.4), sin(0.5),
                                                            cos(0.5) * sin(-1.4)) *
                                                         (b.radius + 100.0)))),
                0.0, 1e-4);
    // A handle that names no body is misuse.
    EXPECT_EQ(oapiGetPlanetPeriod(nullptr), 0.0);
    expectedMisuse = 1;
}
