// A small world of host vessel records flown by the physics step alone, without modules.
#pragma once

#include "lib/host.h"
#include "physics/physics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace hs {
namespace phys_test {
inline MATRIX3 Transpose(const MATRIX3& A) {
    return _M(A.m11, A.m21, A.m31, A.m12, A.m22, A.m32, A.m13, A.m23, A.m33);
}
} // namespace phys_test
} // namespace hs

class PhysicsWorld : public ::testing::Test {
  protected:
    std::vector<hs::SlotPtr<Vessel>> owned;
    std::vector<Vessel*> live;
    double simt = 0.0;
    int earth = 0, moon = 1;

    void SetUp() override {
        hs::ResetPhysics();
        hs::W().simt = 0.0;
        std::string err;
        ASSERT_TRUE(hs::LoadBodies(std::string(SOURCE_DIR) + "/hostroot/Config/bodies.cfg", &err)) << err;
        earth = hs::BodyIndexByName("Earth");
        moon = hs::BodyIndexByName("Moon");
        ASSERT_GE(earth, 0);
        ASSERT_GE(moon, 0);
        misuseAtStart = hs::W().misuse;
    }
    // A test about misuse says how much it expects; every other flight must count none.
    void TearDown() override {
        EXPECT_EQ(NewMisuse(), expectedMisuse) << "misuse counted by the physics";
        hs::ResetPhysics();
        hs::W().simt = 0.0;
    }

    int NewMisuse() const { return hs::W().misuse - misuseAtStart; }
    int expectedMisuse = 0;

    Vessel& Make(const char* name, double emptyMass, VECTOR3 pmi = _V(1, 1, 1)) {
        owned.push_back(hs::MakeSlot<Vessel>(nullptr));
        Vessel& v = *owned.back();
        v.name = name;
        v.emptyMass = emptyMass;
        v.pmi = pmi;
        v.crossSections = _V(0, 0, 0);
        live.push_back(&v);
        return v;
    }

    static hs::Propellant* Tank(Vessel& v, double maxMass, double mass) {
        v.propellants.push_back(hs::MakeSlot<hs::Propellant>(&v));
        hs::Propellant* p = v.propellants.back().get();
        p->maxMass = maxMass;
        p->mass = mass;
        return p;
    }

    static hs::Thruster* Thruster(Vessel& v, VECTOR3 pos, VECTOR3 dir, double max0, hs::Propellant* res,
                                  double isp) {
        v.thrusters.push_back(hs::MakeSlot<hs::Thruster>(&v));
        hs::Thruster* t = v.thrusters.back().get();
        t->pos = pos;
        t->dir = dir;
        t->max0 = max0;
        t->res = res;
        t->isp0 = isp;
        return t;
    }

    // The body's axes at the start (pole +y, longitude 0 along +x) as the host turns it, held still: over the
    // pole, where the ground and the air do not move, a flight in these axes is one over a still body.
    MATRIX3 PoleAxes(int body) const { return hs::FrameAt(*hs::GetBody(body), hs::W().env.mjd0, 0.0).R; }
    // A vessel's velocity in its body's pole axes.
    VECTOR3 Vel(const Vessel& v) const { return tmul(PoleAxes(v.phys.body), v.phys.vel); }
    // A global vector in Earth's pole axes.
    VECTOR3 InPoleAxes(const VECTOR3& global) const { return tmul(PoleAxes(earth), global); }
    // Free flight with the vessel frame along the body's pole axes, `altitude` above its north pole (so the
    // vessel's y axis points up); vel is in those axes.
    void AbovePole(Vessel& v, int body, double altitude, VECTOR3 vel = _V(0, 0, 0)) {
        const hs::Body* b = hs::GetBody(body);
        const MATRIX3 axes = PoleAxes(body);
        v.phys.body = body;
        v.phys.pos = b->pos + mul(axes, _V(0, b->radius + altitude, 0));
        v.phys.vel = mul(axes, vel);
        v.phys.R = axes;
        v.phys.omega = _V(0, 0, 0);
        v.phys.landed = false;
        v.phys.groundContact = false;
    }

    // Three wheel contacts, nose, left main, right main, with the centre of mass inside their triangle, so
    // the vessel rests on them without tipping.
    static void Wheels(Vessel& v) {
        v.touchdown[0] = _V(0, -2.6, 4.2);
        v.touchdown[1] = _V(-5.9, -2.6, -1.0);
        v.touchdown[2] = _V(5.9, -2.6, -1.0);
    }
    // How far each of those points sinks at rest on Earth: its share of the weight (nose 5/26, each main
    // 21/52, from the moments about the centre of mass) over its stiffness of 20 N/m per kg, whatever the
    // mass.
    static constexpr double EARTH_G = 3.986004418e14 / (6371010.0 * 6371010.0);
    static constexpr double NOSE_SINK = 5.0 / 26.0 * EARTH_G / 20.0;  // m, about 0.094
    static constexpr double MAIN_SINK = 21.0 / 52.0 * EARTH_G / 20.0; // m, about 0.198
    static double WheelSink(int i) { return i == 0 ? NOSE_SINK : MAIN_SINK; }
    // The centre of mass above the ground: 2.6 m less the sinking of the level plane under it.
    static constexpr double WHEELS_REST_HEIGHT = 2.6 - (MAIN_SINK + (NOSE_SINK - MAIN_SINK) / 5.2);

    // The host's clock goes with the step, so that the bodies stand where the step leaves them.
    void Step(double dt) {
        hs::W().simt = simt;
        hs::PhysicsStep(live, dt, simt);
        simt += dt;
        hs::W().simt = simt;
    }
    // The turning body's frame now, and what a vessel does against the ground there: its centre in the body's
    // frame, its attitude against that frame, its velocity over the ground.
    hs::BodyFrame FrameNow(const Vessel& v) const {
        return hs::FrameAt(*hs::GetBody(v.phys.body), hs::W().env.mjd0, simt);
    }
    VECTOR3 BodyPos(const Vessel& v) const {
        return tmul(FrameNow(v).R, v.phys.pos - hs::GetBody(v.phys.body)->pos);
    }
    MATRIX3 BodyAttitude(const Vessel& v) const {
        return mul(hs::phys_test::Transpose(FrameNow(v).R), v.phys.R);
    }
    VECTOR3 GroundVel(const Vessel& v) const {
        return v.phys.vel - crossp(FrameNow(v).w, v.phys.pos - hs::GetBody(v.phys.body)->pos);
    }
    void Run(int frames, double dt) {
        for (int i = 0; i < frames; ++i)
            Step(dt);
    }

    // Height of a vessel-frame point above the body's mean radius.
    static double PointAltitude(const Vessel& v, VECTOR3 local) {
        const hs::Body* b = hs::GetBody(v.phys.body);
        return length(v.phys.pos + mul(v.phys.R, local) - b->pos) - b->radius;
    }

  private:
    int misuseAtStart = 0;
};
