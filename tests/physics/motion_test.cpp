// Free flight: gravity, orbits, thrusters and propellant, hover against the weight, torque, misuse of mass.
#include "physics_fixture.h"

using Motion = PhysicsWorld;

TEST_F(Motion, FreeFallOverTheMoonMatchesTheSeriesSolutionWithinAMillimetre) {
    Vessel& v = Make("rock", 100);
    double h0 = 100000.0;
    AbovePole(v, moon, h0);
    Run(500, 0.02); // 10 s
    const double GM = 4.9048695e12, r0 = 1737400.0 + h0, g0 = GM / (r0 * r0), t = 10.0;
    // r(t) = r0 - g0 t^2 / 2 - g0^2 t^4 / (12 r0) + ...
    double expectDrop = 0.5 * g0 * t * t + g0 * g0 * t * t * t * t / (12.0 * r0);
    EXPECT_NEAR(h0 - hs::Altitude(v), expectDrop, 1e-3);
    EXPECT_NEAR(Vel(v).y, -(g0 * t + g0 * g0 * t * t * t / (3.0 * r0)), 1e-4);
    EXPECT_FALSE(hs::GroundContact(v));
}

TEST_F(Motion, CircularOrbitStaysOnItsRadiusAndReturnsAfterOnePeriod) {
    Vessel& v = Make("sat", 500);
    const double GM = 3.986004418e14, r = 6371010.0 + 400000.0;
    const double speed = sqrt(GM / r), period = 2.0 * M_PI * sqrt(r * r * r / GM);
    v.phys.body = earth;
    v.phys.pos = _V(r, 0, 0);
    v.phys.vel = _V(0, 0, speed);
    const double dt = 0.1;
    int frames = (int)std::floor(period / dt);
    double worst = 0.0;
    for (int i = 0; i < frames; ++i) {
        Step(dt);
        worst = std::max(worst, std::fabs(length(v.phys.pos) - r));
    }
    // Where the analytic orbit is at the time reached.
    double ang = simt / period * 2.0 * M_PI;
    VECTOR3 expect = _V(r * cos(ang), 0, r * sin(ang));
    EXPECT_LT(worst, 1.0);                    // m off the circle at any time
    EXPECT_LT(dist(v.phys.pos, expect), 5.0); // m from the analytic position after a full period
}

TEST_F(Motion, ThrusterGivesForceOverMassAndBurnsForceOverIsp) {
    Vessel& v = Make("burner", 1000);
    Vessel& twin = Make("coaster", 1000);
    hs::Propellant* tank = Tank(v, 500, 500);
    Tank(twin, 500, 500);
    hs::Thruster* th = Thruster(v, _V(0, 0, -2), _V(0, 0, 1), 3000.0, tank, 3000.0); // 1 kg/s
    th->level = 1.0;
    AbovePole(v, moon, 1e6);
    AbovePole(twin, moon, 1e6);
    Step(0.1);
    EXPECT_NEAR(Vel(v).z - Vel(twin).z, 3000.0 / 1500.0 * 0.1, 1e-9); // F/m over the first step
    EXPECT_NEAR(tank->mass, 499.9, 1e-12);
    Run(99, 0.1); // 10 s in all
    EXPECT_NEAR(tank->mass, 490.0, 1e-9);
    // The rocket equation, within the first-order error of holding the mass over each step.
    EXPECT_NEAR(Vel(v).z - Vel(twin).z, 3000.0 * std::log(1500.0 / 1490.0), 1e-3);
    EXPECT_NEAR(length(v.phys.omega), 0.0, 1e-15); // through the centre of mass: no spin
}

TEST_F(Motion, ThrusterStopsWhenItsTankRunsDryAndTheTankNeverGoesNegative) {
    Vessel& v = Make("dry", 1000);
    Vessel& twin = Make("twin", 1000);
    hs::Propellant* tank = Tank(v, 1, 0.95);
    hs::Thruster* th = Thruster(v, _V(0, 0, 0), _V(0, 0, 1), 1000.0, tank, 1000.0); // 1 kg/s
    th->level = 1.0;
    AbovePole(v, moon, 1e6);
    AbovePole(twin, moon, 1e6);
    Run(20, 0.1);
    EXPECT_EQ(tank->mass, 0.0);
    double dv = Vel(v).z - Vel(twin).z;
    EXPECT_GT(dv, 0.9); // 0.95 s of burn at about 1 m/s^2
    EXPECT_LT(dv, 0.96);
    Run(10, 0.1);
    EXPECT_NEAR(Vel(v).z - Vel(twin).z, dv, 1e-5); // nothing once empty (gravity differs a hair)
}

TEST_F(Motion, ThrusterWithoutResourceGivesNoThrustAndOverrideLastsOneStep) {
    Vessel& v = Make("unfed", 1000);
    hs::Thruster* th = Thruster(v, _V(0, 0, 0), _V(0, 0, 1), 1000.0, nullptr, 1000.0);
    th->level = 1.0;
    AbovePole(v, moon, 1e6);
    Run(10, 0.1);
    EXPECT_NEAR(Vel(v).z, 0.0, 1e-12); // nothing but the rounding of the body's tilted axes

    hs::Propellant* tank = Tank(v, 100, 100);
    th->res = tank;
    th->level = 0.0;
    th->overrideLevel = 0.5;
    Step(0.1);
    EXPECT_NEAR(Vel(v).z, 500.0 / 1100.0 * 0.1, 1e-9);
    EXPECT_EQ(th->overrideLevel, 0.0);
    Step(0.1);
    EXPECT_NEAR(tank->mass, 100.0 - 0.05, 1e-12); // burnt only in the step with the override
}

TEST_F(Motion, HoverAtNinetyNinePointSevenPercentOfWeightSinksSlowly) {
    Vessel& v = Make("hover", 1000);
    hs::Propellant* tank = Tank(v, 10000, 10000);
    hs::Thruster* hover = Thruster(v, _V(0, 0, 0), _V(0, 1, 0), 0.0, tank, 400000.0);
    hover->level = 1.0;
    AbovePole(v, earth, 1000.0);
    // Re-aimed against the weight before every step, as the fighter does.
    for (int i = 0; i < 600; ++i) {
        VECTOR3 W = hs::WeightVector(v);
        double w = length(W);
        hover->dir = W / -w;
        hover->max0 = 0.997 * w;
        Step(1.0 / 60.0);
    }
    double g = 3.986004418e14 / std::pow(6371010.0 + 1000.0, 2);
    EXPECT_NEAR(Vel(v).y, -0.003 * g * 10.0, 0.003 * g * 10.0 * 0.02);
    EXPECT_NEAR(1000.0 - hs::Altitude(v), 0.5 * 0.003 * g * 100.0, 0.5 * 0.003 * g * 100.0 * 0.03);
}

TEST_F(Motion, OffCentreThrusterSpinsTheVesselAsItsInertiaSays) {
    Vessel& v = Make("spinner", 1000, _V(2, 3, 4));
    hs::Propellant* tank = Tank(v, 1, 1);
    hs::Thruster* th = Thruster(v, _V(1, 0, 0), _V(0, 1, 0), 100.0, tank, 1e12); // burns no measurable mass
    th->level = 1.0;
    AbovePole(v, moon, 1e7);
    Run(200, 0.01); // 2 s
    // Torque r x F = (0, 0, 100) N m about z, where the moment of inertia is 4 m^2 x 1001 kg.
    EXPECT_NEAR(v.phys.omega.z, 100.0 / (4.0 * 1001.0) * 2.0, 1e-9);
    EXPECT_NEAR(v.phys.omega.x, 0.0, 1e-12);
    EXPECT_NEAR(v.phys.omega.y, 0.0, 1e-12);
}

TEST_F(Motion, TotalMassAtOrBelowZeroLeavesTheVesselUnmovedAndCountsMisuseANegativeEmptyMassDoesNot) {
    Vessel& v = Make("weightless", -100);
    Tank(v, 100, 100); // total exactly 0
    AbovePole(v, earth, 5000.0, _V(0, 0, 50));
    VECTOR3 pos = v.phys.pos;
    Step(0.1);
    EXPECT_EQ(v.phys.pos.x, pos.x);
    EXPECT_EQ(v.phys.pos.y, pos.y);
    EXPECT_EQ(v.phys.pos.z, pos.z);
    EXPECT_EQ(NewMisuse(), 1);
    expectedMisuse = 1;
    // A negative empty mass with a positive total flies on the total, without misuse.
    Vessel& damped = Make("damped", -8750);
    hs::Propellant* tank = Tank(damped, 10000, 10000); // 1250 kg in all
    hs::Thruster* th = Thruster(damped, _V(0, 0, 0), _V(0, 0, 1), 1250.0, tank, 1e12);
    th->level = 1.0;
    AbovePole(damped, moon, 1e7);
    Vessel& twin = Make("twin", 1250);
    AbovePole(twin, moon, 1e7);
    Step(0.1);
    EXPECT_NEAR(Vel(damped).z - Vel(twin).z, 0.1, 1e-9);
    EXPECT_EQ(NewMisuse(), 2); // the weightless one again
    expectedMisuse = 2;
}

TEST_F(Motion, AddedForceActsForOneStepOnly) {
    Vessel& v = Make("pushed", 10);
    AbovePole(v, moon, 1e7);
    v.addedForces.push_back(Vessel::AddedForce{_V(100, 0, 0), _V(0, 0, 0)});
    Step(0.1);
    EXPECT_NEAR(Vel(v).x, 1.0, 1e-9);
    EXPECT_TRUE(v.addedForces.empty());
    Step(0.1);
    EXPECT_NEAR(Vel(v).x, 1.0, 1e-9);
}

TEST_F(Motion, ThrusterOrForceThatIsNotANumberIsIgnoredAndCounted) {
    Vessel& v = Make("broken", 100);
    hs::Propellant* tank = Tank(v, 10, 10);
    hs::Thruster* th = Thruster(v, _V(0, 0, 0), _V(NAN, NAN, NAN), 100.0, tank, 1000.0);
    th->level = 1.0;
    hs::Thruster* neg = Thruster(v, _V(0, 0, 0), _V(0, 0, 1), -100.0, tank, 1000.0);
    neg->level = 1.0;
    v.addedForces.push_back(Vessel::AddedForce{_V(INFINITY, 0, 0), _V(0, 0, 0)});
    AbovePole(v, moon, 1e7);
    Step(0.1);
    EXPECT_TRUE(std::isfinite(v.phys.pos.x) && std::isfinite(Vel(v).x));
    EXPECT_NEAR(Vel(v).z, 0.0, 1e-12); // nothing but the rounding of the body's tilted axes
    EXPECT_EQ(tank->mass, 10.0);       // a negative maximum does not fill the tank
    EXPECT_EQ(NewMisuse(), 3);
    expectedMisuse = 3;
}
