// Bodies, atmospheres, weight, placement on the surface and the status record.
#include "physics_fixture.h"

#include <cstdio>
#include <fstream>

using Environment = PhysicsWorld;

TEST_F(Environment, BodyTableHoldsEarthAndMoonWithTheirRadiusAndGm) {
    const hs::Body* e = hs::GetBody(earth);
    const hs::Body* m = hs::GetBody(moon);
    EXPECT_DOUBLE_EQ(e->radius, 6371010.0);
    EXPECT_DOUBLE_EQ(e->gm, 3.986004418e14);
    EXPECT_EQ(e->atm.model, hs::ATM_LAYERED);
    EXPECT_DOUBLE_EQ(m->radius, 1737400.0);
    EXPECT_DOUBLE_EQ(m->gm, 4.9048695e12);
    EXPECT_EQ(m->atm.model, hs::ATM_NONE);
    EXPECT_EQ(hs::BodyIndexByName("eArTh"), earth);
    EXPECT_EQ(hs::BodyIndexByName("Vulcan"), -1);
    EXPECT_EQ(hs::GetBody(hs::BodyCount()), nullptr);
    EXPECT_EQ(hs::GetBody(-1), nullptr);
}

// Earth: the standard atmosphere at sea level, the troposphere's lapse to 11 km (geopotential, a little above
// 11 km geometric), and air up to 2500 km, so that a ship in low orbit still feels a pressure. Mars: an
// exponential atmosphere that falls by e over one scale height.
TEST_F(Environment, EarthsAtmosphereFollowsTheStandardLayersToItsTopAndMarsFallsByEOverAScaleHeight) {
    hs::AtmState a = hs::AtmosphereAt(earth, 0.0);
    EXPECT_DOUBLE_EQ(a.p, 101325.0);
    EXPECT_DOUBLE_EQ(a.T, 288.15);
    EXPECT_NEAR(a.rho, 1.225, 0.001);
    EXPECT_NEAR(a.a, 340.3, 0.1);
    hs::AtmState tropopause = hs::AtmosphereAt(earth, 11019.0);
    EXPECT_NEAR(tropopause.T, 216.65, 0.05);
    EXPECT_NEAR(tropopause.p, 22632.0, 30.0);
    hs::AtmState b = hs::AtmosphereAt(earth, 30000.0);
    EXPECT_LT(b.p, tropopause.p);
    EXPECT_GT(b.p, 1000.0);
    EXPECT_GT(hs::AtmosphereAt(earth, 400000.0).p, 0.0);
    EXPECT_GT(hs::AtmosphereAt(earth, 2500000.0).p, 0.0);
    hs::AtmState above = hs::AtmosphereAt(earth, 2500000.5);
    EXPECT_EQ(above.p, 0.0);
    EXPECT_EQ(above.rho, 0.0);
    EXPECT_EQ(above.a, 0.0);
    int mars = hs::BodyIndexByName("Mars");
    ASSERT_GE(mars, 0);
    EXPECT_NEAR(hs::AtmosphereAt(mars, 11100.0).p, 610.0 / M_E, 1e-9);
}

TEST_F(Environment, MoonHasNoAtmosphereEvenOnItsSurface) {
    Vessel& v = Make("lander", 1000);
    hs::PlaceLanded(v, moon, 0.3, 0.2, 1.0);
    EXPECT_EQ(hs::AtmPressure(v), 0.0);
    EXPECT_EQ(hs::AtmDensity(v), 0.0);
    EXPECT_EQ(hs::MachNumber(v), 0.0);
}

TEST_F(Environment, WeightVectorIsTotalMassTimesLocalGravityPointingDown) {
    Vessel& v = Make("w", -500); // negative empty mass, as the dampeners set it
    Tank(v, 2000, 1500);         // total 1000 kg
    AbovePole(v, earth, 0.0);
    VECTOR3 W = hs::WeightVector(v);
    double g = 3.986004418e14 / (6371010.0 * 6371010.0);
    EXPECT_NEAR(W.y, -1000.0 * g, 1e-6);
    EXPECT_NEAR(W.x, 0.0, 1e-9);
    EXPECT_NEAR(W.z, 0.0, 1e-9);
    // Upside down the weight points along the vessel's +y.
    v.phys.R = mul(PoleAxes(earth), _M(1, 0, 0, 0, -1, 0, 0, 0, -1));
    EXPECT_NEAR(hs::WeightVector(v).y, 1000.0 * g, 1e-6);
}

TEST_F(Environment, LandedVesselRestsOnItsPointsAtItsPositionAndHeading) {
    Vessel& v = Make("parked", 15000);
    Wheels(v);
    double lng = 0.4, lat = -0.7, hdg = 2.5;
    hs::PlaceLanded(v, earth, lng, lat, hdg);
    // Each spring compressed under its share of the weight, the compressed plane laid level.
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(PointAltitude(v, v.touchdown[i]), -WheelSink(i), 1e-3);
    EXPECT_NEAR(hs::Altitude(v), WHEELS_REST_HEIGHT, 1e-3);
    EXPECT_TRUE(hs::GroundContact(v));
    EXPECT_EQ(hs::FlightStatus(v) & 1u, 1u);
    double lo, la, hd;
    hs::SurfacePosition(v, &lo, &la, &hd);
    EXPECT_NEAR(lo, lng, 1e-12);
    EXPECT_NEAR(la, lat, 1e-12);
    EXPECT_NEAR(hd, hdg, 1e-12);
}

TEST_F(Environment, StatusRoundTripKeepsSurfacePositionAndFlightState) {
    Vessel& a = Make("a", 1000);
    Wheels(a);
    hs::PlaceLanded(a, earth, -1.4, 0.5, 5.76);
    VESSELSTATUS2 st{};
    st.version = 2;
    hs::ToStatus(a, st);
    EXPECT_EQ(st.status, 1);
    Vessel& b = Make("b", 1000);
    Wheels(b);
    hs::FromStatus(b, st, earth);
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(b.phys.R.data[i], a.phys.R.data[i], 1e-12);
    EXPECT_NEAR(dist(b.phys.pos, a.phys.pos), 0.0, 1e-6);

    VESSELSTATUS2 fl{};
    fl.version = 2;
    fl.status = 0;
    fl.rpos = _V(7e6, 1e5, -2e5);
    fl.rvel = _V(10, 7500, 3);
    fl.arot = _V(0.3, -1.1, 2.9);
    fl.vrot = _V(0.01, 0.02, -0.03);
    hs::FromStatus(b, fl, earth);
    VESSELSTATUS2 back{};
    hs::ToStatus(b, back);
    EXPECT_EQ(back.status, 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(back.rpos.data[i], fl.rpos.data[i], 1e-6);
        EXPECT_NEAR(back.rvel.data[i], fl.rvel.data[i], 1e-9);
        EXPECT_NEAR(back.arot.data[i], fl.arot.data[i], 1e-12);
        EXPECT_NEAR(back.vrot.data[i], fl.vrot.data[i], 1e-15);
    }
}

TEST_F(Environment, BadBodyFileIsRefusedNamingItsLineAndKeepsTheTable) {
    std::string path = std::string(BINARY_DIR) + "/physics_bad_bodies.cfg";
    {
        std::ofstream f(path);
        f << "; test\nBODY Earth 6371010 3.986e14 0 0 0 NONE\nBODY Rock -5 1e12 0 0 0 NONE\n";
    }
    std::string err;
    EXPECT_FALSE(hs::LoadBodies(path, &err));
    EXPECT_NE(err.find(":3:"), std::string::npos) << err;
    EXPECT_EQ(hs::GetBody(earth)->atm.model, hs::ATM_LAYERED);
    EXPECT_FALSE(hs::LoadBodies(path + ".missing", &err));
    std::remove(path.c_str());
}

TEST_F(Environment, VesselWithoutTouchdownPointsRestsOnATripodItsSizeBelow) {
    Vessel& v = Make("pointless", 100);
    v.size = 3.0; // the three points were never set: all at the centre
    hs::PlaceLanded(v, earth, 0.0, 0.0, 0.0);
    // The tripod (nose at +3 m, mains at -3 m) sinks as any other: the nose under half the weight, each main
    // under a quarter, the centre of mass midway between them.
    EXPECT_NEAR(hs::Altitude(v), 3.0 - (0.5 + 0.25) / 2.0 * EARTH_G / 20.0, 2e-3);
    VECTOR3 start = BodyPos(v);
    Run(100, 0.02);
    EXPECT_NEAR(dist(BodyPos(v), start), 0.0, 1e-6); // where it stands on the turning ground
}

// The real host's pitch and bank: the local vertical seen in the ship's axes. Rolled so that the right wing points
// up, the bank is +90 degrees (the real host's telemetry of a ship in orbit agrees in sign).
TEST_F(Environment, BankIsPlusNinetyDegreesWithTheRightWingUpAndPitchFollowsTheNose) {
    Vessel& v = Make("rolled", 100);
    AbovePole(v, earth, 1000.0);
    // Right wing along the vertical, the ship's top toward -x.
    v.phys.R = mul(PoleAxes(earth), _M(0, -1, 0, 1, 0, 0, 0, 0, 1));
    EXPECT_NEAR(hs::Bank(v), M_PI / 2, 1e-12);
    EXPECT_NEAR(hs::Pitch(v), 0.0, 1e-12);
    v.phys.R = mul(PoleAxes(earth), _M(1, 0, 0, 0, 0, 1, 0, -1, 0)); // nose straight up
    // Straight up the sine of the pitch is 1 to within rounding, whose arc sine is known only to 1e-8.
    EXPECT_NEAR(hs::Pitch(v), M_PI / 2, 1e-7);
}
