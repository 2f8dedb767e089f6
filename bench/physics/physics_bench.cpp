// Frames per second of the physics step for 1, 10 and 100 free-flying vessels, each set up like the fighter
// (a tank, main and hover engines and twelve attitude thrusters firing), in low orbit and in the atmosphere.
#include "physics/physics.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

void NoLift(VESSEL*, double, double, double, void*, double* cl, double* cm, double* cd) {
    *cl = 0.2;
    *cm = 0.0;
    *cd = 0.05;
}

struct Fleet {
    std::vector<hs::SlotPtr<Vessel>> owned;
    std::vector<Vessel*> live;

    Fleet(int n, double altitude, bool airfoils) {
        int earth = hs::BodyIndexByName("Earth");
        const hs::Body* b = hs::GetBody(earth);
        for (int i = 0; i < n; ++i) {
            owned.push_back(hs::MakeSlot<Vessel>(nullptr));
            Vessel& v = *owned.back();
            v.emptyMass = 15000;
            v.pmi = _V(4.82, 12.81, 9.246);
            v.propellants.push_back(hs::MakeSlot<hs::Propellant>(&v));
            hs::Propellant* tank = v.propellants.back().get();
            tank->maxMass = tank->mass = 10000;
            for (int t = 0; t < 14; ++t) {
                v.thrusters.push_back(hs::MakeSlot<hs::Thruster>(&v));
                hs::Thruster& th = *v.thrusters.back();
                th.pos = _V(t % 3 - 1.0, 0, t % 2 ? 3.0 : -3.0);
                th.dir = t % 2 ? _V(0, 1, 0) : _V(0, 0, 1);
                th.max0 = t < 2 ? 1000.0 : 10.0;
                th.res = tank;
                th.isp0 = 40000;
                th.level = 0.5;
            }
            if (airfoils)
                for (int a = 0; a < 4; ++a) {
                    v.airfoils.push_back(hs::MakeSlot<hs::Airfoil>(&v));
                    hs::Airfoil& f = *v.airfoils.back();
                    f.align = a < 2 ? LIFT_VERTICAL : LIFT_HORIZONTAL;
                    f.cf = NoLift;
                    f.c = 5.645;
                    f.S = 101.816;
                    f.A = 1.4;
                }
            double r = b->radius + altitude + 10.0 * i;
            v.phys.body = earth;
            v.phys.pos = b->pos + _V(r, 0, 0);
            v.phys.vel = _V(0, 0, altitude > 150000 ? 7700.0 : 200.0);
            live.push_back(&v);
        }
    }
};

void Run(benchmark::State& state, double altitude, bool airfoils) {
    Fleet fleet((int)state.range(0), altitude, airfoils);
    std::vector<hs::PhysicsState> start;
    for (Vessel* v : fleet.live)
        start.push_back(v->phys);
    double t = 0.0;
    int frame = 0;
    for (auto _ : state) {
        hs::PhysicsStep(fleet.live, 1.0 / 60.0, t);
        t += 1.0 / 60.0;
        // Every 10 s of flight the fleet starts over, so it never lands or burns its tanks dry.
        if (++frame == 600) {
            frame = 0;
            for (size_t i = 0; i < fleet.live.size(); ++i) {
                fleet.live[i]->phys = start[i];
                fleet.live[i]->propellants[0]->mass = 10000;
            }
        }
    }
    state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
}

void BM_PhysicsFramesInOrbit(benchmark::State& state) {
    Run(state, 400000.0, false);
}
void BM_PhysicsFramesInAtmosphere(benchmark::State& state) {
    Run(state, 5000.0, true);
}

} // namespace

BENCHMARK(BM_PhysicsFramesInOrbit)->Arg(1)->Arg(10)->Arg(100);
BENCHMARK(BM_PhysicsFramesInAtmosphere)->Arg(1)->Arg(10)->Arg(100);
