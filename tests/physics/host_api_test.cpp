// The VESSEL methods that report the physics, asked through a vessel's interface in a running host.
#include "hostsim_fixture.h"
#include "physics/physics.h"

#include <cmath>

using hs::test::HostFixture;
using hs::test::ScenarioText;

namespace {

constexpr const char* LANDED = "P:Test\\Plain\n  STATUS Landed Earth\n  POS 10.0000000 20.0000000\n"
                               "  HEADING 45.00\nEND\n";
constexpr const char* HIGH = "H:Test\\Plain\n  STATUS Orbiting Moon\n  RPOS 0.000 3000000.000 0.000\n"
                             "  RVEL 0.0000 0.0000 0.0000\n  AROT 0.000 0.000 0.000\nEND\n";

} // namespace

class PhysicsHost : public HostFixture {};

TEST_F(PhysicsHost, LandedVesselReportsWeightContactAndAtmosphere) {
    ASSERT_TRUE(Load(ScenarioText(LANDED, "P"))) << loadError;
    Sim().RunFrames(10);
    VESSEL* v = Iface("P");
    ASSERT_NE(v, nullptr);
    VECTOR3 W;
    EXPECT_TRUE(v->GetWeightVector(W));
    double g = 3.986004418e14 / std::pow(6371010.0 + v->GetAltitude(), 2);
    EXPECT_NEAR(length(W), v->GetMass() * g, 1e-6 * v->GetMass() * g);
    // Without touchdown points it rests on the host's default three, 10 m ahead and 5 m behind: each carries a
    // third of the weight on a spring of its own, so it rests level.
    EXPECT_NEAR(W.z / length(W), 0.0, 1e-6);
    EXPECT_LT(W.y, 0.0);
    EXPECT_NEAR(W.x, 0.0, 1e-6);
    EXPECT_TRUE(v->GroundContact());
    EXPECT_EQ(v->GetFlightStatus() & 1u, 1u);
    EXPECT_GT(v->GetAltitude(), 0.0);
    EXPECT_NEAR(v->GetAtmPressure(), 101325.0, 101325.0 * 0.01);
    VECTOR3 air;
    EXPECT_TRUE(v->GetHorizonAirspeedVector(air));
    EXPECT_EQ(length(air), 0.0);
    EXPECT_EQ(v->GetAirspeed(), 0.0);
    EXPECT_EQ(v->GetMachNumber(), 0.0);
    EXPECT_EQ(v->GetControlSurfaceLevel(AIRCTRL_RUDDER), 0.0);
}

TEST_F(PhysicsHost, AddForceMovesAVesselForOneFrameOnly) {
    ASSERT_TRUE(Load(ScenarioText(HIGH, "H"))) << loadError;
    const double dt = Sim().Step();
    VESSEL* v = Iface("H");
    Vessel* rec = Rec("H");
    ASSERT_NE(v, nullptr);
    double m = v->GetMass();
    EXPECT_EQ(v->GetAtmPressure(), 0.0); // the Moon has no air
    v->AddForce(_V(m * 5.0, 0, 0), _V(0, 0, 0));
    Sim().Frame();
    EXPECT_NEAR(rec->phys.vel.x, 5.0 * dt, 1e-9);
    Sim().Frame();
    EXPECT_NEAR(rec->phys.vel.x, 5.0 * dt, 1e-6);
    EXPECT_FALSE(v->GroundContact());
}

TEST_F(PhysicsHost, SpinSetThroughTheInterfaceIsKeptAndLiftsALandedVesselOffItsRest) {
    ASSERT_TRUE(Load(ScenarioText(LANDED, "P"))) << loadError;
    VESSEL* v = Iface("P");
    ASSERT_NE(v, nullptr);
    v->SetAngularVel(_V(0, 0.5, 0));
    VECTOR3 w;
    v->GetAngularVel(w);
    EXPECT_EQ(w.y, 0.5);
    EXPECT_EQ(v->GetFlightStatus() & 1u, 0u);
}

// The host's sign, measured there: a pitch-up pulse reads +x, and a spin of +x carries the nose toward the
// vessel's own +y; a saved VROT gives the spin back as it was set.
TEST_F(PhysicsHost, PositiveSpinAboutXPitchesTheNoseUpAsTheHostCountsIt) {
    ASSERT_TRUE(Load(ScenarioText(HIGH, "H"))) << loadError;
    VESSEL* v = Iface("H");
    ASSERT_NE(v, nullptr);
    VECTOR3 up0, nose0, nose1;
    v->GlobalRot(_V(0, 1, 0), up0);
    v->GlobalRot(_V(0, 0, 1), nose0);
    v->SetAngularVel(_V(0.1, 0, 0));
    Sim().RunFrames(6);
    v->GlobalRot(_V(0, 0, 1), nose1);
    EXPECT_GT(dotp(nose1 - nose0, up0), 0.0);
    VECTOR3 w;
    v->GetAngularVel(w);
    EXPECT_NEAR(w.x, 0.1, 1e-9);
    EXPECT_NE(Sim().ScenarioText().find("  VROT 5.7296 0.0000 0.0000\n"), std::string::npos) << Sim().ScenarioText();
}
