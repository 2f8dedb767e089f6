// Air data, attitude, loads, touchdown points and control-surface levels as a module reads them, against what
// the real host reported for the same vessel in the same state (measured there with a module built against
// its SDK, frames of 1/60 s).
#include "hostsim_fixture.h"
#include "physics/physics.h"

#include <cmath>
#include <cstring>

using hs::test::HostFixture;
using hs::test::ScenarioText;

namespace {

constexpr const char* FLYING = "A:Test\\Plain\n  STATUS Orbiting Earth\n  RPOS 6471000.000 0.000 0.000\n"
                               "  RVEL 0.0000 0.0000 7800.0000\n  AROT 0.000 0.000 0.000\n  PRPLEVEL 0:0.000000\nEND\n";
constexpr const char* LANDED = "L:Test\\Plain\n  STATUS Landed Earth\n  POS -80.6758960 28.5227640\n"
                               "  HEADING 90.00\n  PRPLEVEL 0:0.000000\nEND\n";
constexpr double DT = 1.0 / 60.0;

void Wing(VESSEL*, double aoa, double, double, void*, double* cl, double* cm, double* cd) {
    *cl = 0.1 + 2.0 * aoa;
    *cm = 0.0;
    *cd = 0.02 + 0.5 * aoa * aoa;
}
void Fin(VESSEL*, double beta, double, double, void*, double* cl, double* cm, double* cd) {
    *cl = -beta;
    *cm = 0.0;
    *cd = 0.01;
}

} // namespace

class AirData : public HostFixture {
  protected:
    VESSEL* v = nullptr;
    Vessel* rec = nullptr;

    // The measured vessel: 1000 kg, cross sections 10 20 5, a wing of 20 m^2 and a fin of 5 m^2.
    void Fly(bool airfoils) {
        ASSERT_TRUE(Load(ScenarioText(FLYING, "A"))) << loadError;
        v = Iface("A");
        rec = Rec("A");
        ASSERT_NE(v, nullptr);
        v->SetEmptyMass(1000);
        v->SetCrossSections(_V(10, 20, 5));
        if (!airfoils) return;
        v->CreateAirfoil3(LIFT_VERTICAL, _V(0, 0, 0), Wing, nullptr, 2.0, 20.0, 5.0);
        v->CreateAirfoil3(LIFT_HORIZONTAL, _V(0, 0, -3), Fin, nullptr, 1.0, 5.0, 2.0);
    }
    // Puts the vessel over Earth at a longitude and latitude, moving through the air at hvel (east, up, north),
    // its nose at a heading and pitch, rolled by bank (radians).
    void Place(double lngDeg, double latDeg, double alt, VECTOR3 hvel, double hdg, double pitch, double bank) {
        const hs::Body* earth = hs::GetBody(rec->phys.body);
        double lng = lngDeg * RAD, lat = latDeg * RAD;
        VECTOR3 up = _V(cos(lat) * cos(lng), sin(lat), cos(lat) * sin(lng));
        VECTOR3 east = _V(-sin(lng), 0, cos(lng));
        VECTOR3 north = _V(-sin(lat) * cos(lng), cos(lat), -sin(lat) * sin(lng));
        VECTOR3 fwd = north * (cos(hdg) * cos(pitch)) + east * (sin(hdg) * cos(pitch)) + up * sin(pitch);
        VECTOR3 right = east * cos(hdg) - north * sin(hdg);
        VECTOR3 top = crossp(fwd, right);
        VECTOR3 r = right * cos(bank) + top * sin(bank), u = top * cos(bank) - right * sin(bank);
        // The directions above are in the body's frame; the Earth turns, and the air with it.
        const hs::BodyFrame f = hs::FrameNow(*earth);
        rec->phys.pos = earth->pos + mul(f.R, up * (earth->radius + alt));
        rec->phys.vel = mul(f.R, east * hvel.x + up * hvel.y + north * hvel.z) +
                        hs::SurfaceVelocity(f, *earth, rec->phys.pos);
        rec->phys.R = mul(f.R, _M(r.x, u.x, fwd.x, r.y, u.y, fwd.y, r.z, u.z, fwd.z));
        rec->phys.omega = _V(0, 0, 0);
        rec->phys.landed = rec->phys.groundContact = false;
    }
    // The state the real host's vessel had after its first frame in the air, at 3000 m, 10 E 40 N.
    void PlaceAsMeasured(double lngDeg = 10.0) {
        Place(lngDeg, 40.0, 2999.915245, _V(23.4592838, -8.85741653, 155.437919), 10 * RAD, 5 * RAD, 15 * RAD);
    }
};

TEST_F(AirData, AirDataAndAttitudeOfAWingInFlightReadAsTheHostReportsThem) {
    Fly(true);
    PlaceAsMeasured();
    // Measured: the atmosphere and the flow at this state.
    EXPECT_NEAR(v->GetAtmDensity(), 0.909072902, 0.909 * 0.005);
    EXPECT_NEAR(v->GetAtmPressure(), 70124.7507, 70124.0 * 0.005);
    EXPECT_NEAR(v->GetAtmTemperature(), 268.659731, 0.5);
    EXPECT_NEAR(v->GetDynPressure(), 11267.8398, 11267.0 * 0.005);
    EXPECT_NEAR(v->GetMachNumber(), 0.479289401, 0.002);
    EXPECT_NEAR(v->GetAirspeed(), 157.447574, 1e-4);
    EXPECT_NEAR(v->GetGroundspeed(), 157.447574, 1e-4);
    EXPECT_NEAR(v->GetAOA(), 0.132398964, 1e-5);
    EXPECT_NEAR(v->GetSlipAngle(), 0.0614503805, 1e-5);
    EXPECT_NEAR(v->GetPitch(), 0.0872670235, 1e-5);
    EXPECT_NEAR(v->GetBank(), 0.261800292, 1e-5);
    EXPECT_NEAR(v->GetYaw(), 0.17453367, 1e-5);
    VECTOR3 a, b;
    ASSERT_TRUE(v->GetShipAirspeedVector(a));
    EXPECT_NEAR(a.x, -9.58481663, 1e-3);
    EXPECT_NEAR(a.y, -20.7464966, 1e-3);
    EXPECT_NEAR(a.z, 155.780143, 1e-3);
    ASSERT_TRUE(v->GetAirspeedVector(FRAME_LOCAL, b));
    EXPECT_EQ(dist(a, b), 0.0);
    ASSERT_TRUE(v->GetHorizonAirspeedVector(a));
    ASSERT_TRUE(v->GetGroundspeedVector(FRAME_HORIZON, b));
    EXPECT_NEAR(dist(a, _V(23.4592838, -8.85741653, 155.437919)), 0.0, 1e-6);
    EXPECT_EQ(dist(a, b), 0.0);
    // In the global frame and the Earth's own, the same flow against the turning air: only the axes differ.
    ASSERT_TRUE(v->GetAirspeedVector(FRAME_GLOBAL, a));
    ASSERT_TRUE(v->GetAirspeedVector(FRAME_REFLOCAL, b));
    EXPECT_NEAR(length(a), v->GetAirspeed(), 1e-6);
    EXPECT_NEAR(length(b), v->GetAirspeed(), 1e-6);
    EXPECT_GT(dist(a, b), 1.0);
    const int badFrame = 7; // a module's number outside the frames: answered, not trusted
    REFFRAME bad;
    memcpy(&bad, &badFrame, sizeof bad);
    EXPECT_FALSE(v->GetAirspeedVector(bad, b));
    double lng, lat, rad;
    EXPECT_EQ(v->GetEquPos(lng, lat, rad), v->GetSurfaceRef());
    EXPECT_NEAR(lng, 10.0 * RAD, 1e-9);
    EXPECT_NEAR(lat, 40.0 * RAD, 1e-9);
    EXPECT_NEAR(rad, 6371010.0 + 2999.915245, 1e-3);
    EXPECT_EQ(v->GetAtmRef(), v->GetSurfaceRef());
    int lvl = -1;
    EXPECT_EQ(v->GetAltitude(ALTMODE_GROUND, &lvl), v->GetAltitude());
    EXPECT_EQ(lvl, 0);
}

TEST_F(AirData, LiftAndDragOfAStepComeFromTheStateItBeganWith) {
    Fly(true);
    PlaceAsMeasured();
    EXPECT_EQ(v->GetLift(), 0.0); // nothing worked out before a step
    VECTOR3 L;
    EXPECT_FALSE(v->GetLiftVector(L));
    Sim().Frame();
    // Measured: the wing's lift only; the drag of wing and fin.
    EXPECT_NEAR(v->GetLift(), 82209.6925, 82209.0 * 0.005);
    EXPECT_NEAR(v->GetDrag(), 7045.72229, 7045.0 * 0.005);
    VECTOR3 D;
    ASSERT_TRUE(v->GetLiftVector(L));
    ASSERT_TRUE(v->GetDragVector(D));
    EXPECT_EQ(L.x, 0.0);
    EXPECT_NEAR(L.y, 81569.3352, 81569.0 * 0.01);
    EXPECT_NEAR(L.z, 10240.9523, 10240.0 * 0.02);
    EXPECT_NEAR(length(D), v->GetDrag(), 1e-6);
    EXPECT_LT(D.z, 0.0);
    // Lift and weight make the force (the lift tips the ship up: 73 kN measured).
    VECTOR3 F, W, T;
    ASSERT_TRUE(v->GetForceVector(F));
    v->GetWeightVector(W);
    EXPECT_NEAR(F.y, 72983.2234, 72983.0 * 0.02);
    EXPECT_FALSE(v->GetThrustVector(T));
    EXPECT_EQ(length(T), 0.0);
}

TEST_F(AirData, WithoutAirfoilsTheDragCoefficientsWeighTheCrossSections) {
    Fly(false);
    double cw[4];
    v->GetCW(cw[0], cw[1], cw[2], cw[3]);
    EXPECT_EQ(cw[0], 0.1); // the host's defaults
    EXPECT_EQ(cw[1], 0.3);
    EXPECT_EQ(cw[2], 0.3);
    EXPECT_EQ(cw[3], 0.3);
    // Measured at 3000 m in a flow of (-10.51, -16.46, 150.07) m/s: 7061.67 N, and with CW 0.2 0.4 0.6 0.8
    // 16661.11 N (the backward coefficient is never used).
    Place(20.0, 40.0, 3000.0, _V(0, 0, 150.0), 10 * RAD, 5 * RAD, 15 * RAD);
    // The flow is the vessel's velocity against the air, which turns with the Earth.
    const hs::Body* earth = hs::GetBody(rec->phys.body);
    const VECTOR3 air = hs::SurfaceVelocity(hs::FrameNow(*earth), *earth, rec->phys.pos);
    rec->phys.vel = mul(rec->phys.R, _V(-10.5055356, -16.4608533, 150.071195)) + air;
    double q = v->GetDynPressure();
    Sim().Frame();
    EXPECT_NEAR(v->GetDrag(), 7061.67229 * q / 10410.1072, 7061.0 * 1e-4);
    EXPECT_EQ(v->GetLift(), 0.0);
    v->SetCW(0.2, 0.4, 0.6, 0.8);
    rec->phys.vel = mul(rec->phys.R, _V(-9.98905938, -17.1431438, 150.069684)) + air;
    q = v->GetDynPressure();
    Sim().Frame();
    EXPECT_NEAR(v->GetDrag(), 16661.1148 * q / 10415.5113, 16661.0 * 1e-4);
}

TEST_F(AirData, LandedVesselReadsItsPointsAndNoAirLoads) {
    ASSERT_TRUE(Load(ScenarioText(LANDED, "L"))) << loadError;
    v = Iface("L");
    ASSERT_NE(v, nullptr);
    v->SetEmptyMass(1000);
    v->SetTouchdownPoints(_V(0, -2, 3), _V(-2, -2, -2), _V(2, -2, -2)); // it settles onto the new points
    Sim().RunFrames(1200); // and is landed again once it has stood still for five seconds
    ASSERT_EQ(v->GetFlightStatus() & 1u, 1u);
    // Measured: the centre 2 m above the points' plane, three points.
    EXPECT_EQ(v->GetCOG_elev(), 2.0);
    EXPECT_EQ(v->GetTouchdownPointCount(), 3);
    // Measured: at rest 1.9967 m up, level, facing its heading of 90 degrees, with the air's state but no flow.
    EXPECT_NEAR(v->GetAltitude(ALTMODE_GROUND), 1.99666, 0.01);
    EXPECT_NEAR(v->GetPitch(), -0.000196, 1e-3);
    EXPECT_NEAR(v->GetBank(), 0.0, 1e-5);
    EXPECT_NEAR(v->GetYaw(), PI / 2, 1e-6);
    EXPECT_NEAR(v->GetAtmDensity(), 1.22451017, 0.005);
    EXPECT_EQ(v->GetDynPressure(), 0.0);
    EXPECT_EQ(v->GetLift(), 0.0);
    EXPECT_EQ(v->GetDrag(), 0.0);
    VECTOR3 D;
    EXPECT_FALSE(v->GetDragVector(D));
    EXPECT_TRUE(v->GroundContact());
    // Measured, with springs of 1e6 N/m: the points sink 4e-7 and 3e-7 m per newton of weight, which the host
    // hands out in the place of mu (and mu in the place of mu_lng).
    TOUCHDOWNVTX td[4] = {{_V(0, -2, 3), 1e6, 1e5, 0.5, 0.1},
                          {_V(-2, -2, -2), 1e6, 1e5, 0.5, 0.1},
                          {_V(2, -2, -2), 1e6, 1e5, 0.5, 0.1},
                          {_V(0, 2, 0), 1e6, 1e5, 0.5, 0.1}};
    v->SetTouchdownPoints(td, 4);
    EXPECT_EQ(v->GetTouchdownPointCount(), 4);
    TOUCHDOWNVTX p;
    ASSERT_TRUE(v->GetTouchdownPoint(p, 0));
    EXPECT_EQ(dist(p.pos, _V(0, -2, 3)), 0.0);
    EXPECT_EQ(p.stiffness, 1e6);
    EXPECT_EQ(p.damping, 1e5);
    EXPECT_NEAR(p.mu, 4e-7, 1e-12);
    EXPECT_EQ(p.mu_lng, 0.5);
    ASSERT_TRUE(v->GetTouchdownPoint(p, 2));
    EXPECT_NEAR(p.mu, 3e-7, 1e-12);
    EXPECT_TRUE(v->GetTouchdownPoint(p, 3));
    EXPECT_FALSE(v->GetTouchdownPoint(p, 4));
}

TEST_F(AirData, ModuleSetSurfaceLevelsMoveByKindWhateverThePilotsMode) {
    Fly(false);
    v->CreateControlSurface3(AIRCTRL_ELEVATOR, 2.0, 1.5, _V(0, 0, -5), AIRCTRL_AXIS_AUTO, 2.0);
    v->CreateControlSurface3(AIRCTRL_ELEVATOR, 1.0, 1.5, _V(0, 0, -5), AIRCTRL_AXIS_AUTO, 0.5);
    ASSERT_EQ(v->GetADCtrlMode(), 0); // the pilot's controls are off; the module's settings still act
    // Measured: a kind follows at 1/delay per second, the delay of its last surface (0.5 s here).
    v->SetControlSurfaceLevel(AIRCTRL_ELEVATOR, 1.0);
    EXPECT_EQ(v->GetControlSurfaceLevel(AIRCTRL_ELEVATOR), 0.0); // moves with the step
    Sim().Frame();
    EXPECT_NEAR(v->GetControlSurfaceLevel(AIRCTRL_ELEVATOR), DT / 0.5, 1e-6);
    Sim().RunFrames(40);
    EXPECT_EQ(v->GetControlSurfaceLevel(AIRCTRL_ELEVATOR), 1.0);
    v->SetControlSurfaceLevel(AIRCTRL_ELEVATOR, 0.0);
    Sim().RunFrames(2);
    EXPECT_NEAR(v->GetControlSurfaceLevel(AIRCTRL_ELEVATOR), 0.933333, 1e-5);
    // Measured: a kind without a surface moves too, a level past full is full, and one direct request in a
    // frame makes every kind jump at once.
    v->SetControlSurfaceLevel(AIRCTRL_RUDDER, 0.5);
    v->SetControlSurfaceLevel(AIRCTRL_AILERON, -3.0);
    v->SetControlSurfaceLevel(AIRCTRL_FLAP, 0.4, true);
    Sim().Frame();
    EXPECT_EQ(v->GetControlSurfaceLevel(AIRCTRL_RUDDER), 0.5);
    EXPECT_EQ(v->GetControlSurfaceLevel(AIRCTRL_AILERON), -1.0);
    EXPECT_EQ(v->GetControlSurfaceLevel(AIRCTRL_FLAP), 0.4);
    EXPECT_EQ(v->GetControlSurfaceLevel(AIRCTRL_ELEVATOR), 0.0);
}
