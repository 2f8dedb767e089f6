// A Corvane in the stand-in host for the flight tests: on the runway or high above the air, with its records.
#pragma once

#include "core/corvane.h"
#include "hostsim_fixture.h"
#include "sim.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace flighttest {


// The shared host fixture on a private host root; each case starts the world with its own frame length,
// visuals and sound add-on, and ends without host misuse.
class CorvaneFlight : public hs::test::HostFixture {
  protected:
    void SetUp() override {} // the world starts in Start, with the options of the case
    void TearDown() override {
        if (started) HostFixture::TearDown();
    }

    void Start(double dt = 0.1, bool visuals = false, bool withSound = false) {
        options.dt = dt;
        options.visuals = visuals;
        if (withSound) options.plugins.push_back("OrbiterSound");
        HostFixture::SetUp();
        started = !HasFatalFailure();
        ASSERT_TRUE(started);
    }

    static hs::Sim& sim() { return hs::Sim::Get(); }

    // The usual opening of a case: the world started as Start does, one Corvane in free flight in it.
    struct Flying {
        OBJHANDLE h;
        Corvane* c;
    };
    Flying StartInSpace(double dt = 0.1, bool visuals = false, bool withSound = false) {
        Start(dt, visuals, withSound);
        OBJHANDLE h = InSpace();
        return {h, h ? Ship(h) : nullptr};
    }

    // Landed at the origin of the first body, as the host places a vessel without a status.
    OBJHANDLE OnRunway(const char* name = "Corvane-1") {
        std::string err;
        OBJHANDLE h = sim().CreateVessel(name, "Corvane", nullptr, &err);
        EXPECT_NE(h, nullptr) << err;
        return h;
    }

    // Free flight high above Earth's pole, axes unturned unless arot says otherwise.
    OBJHANDLE InSpace(const char* name = "Corvane-1", VECTOR3 vel = _V(0, 0, 0), VECTOR3 arot = _V(0, 0, 0),
                      const char* cls = "Corvane", VECTOR3 offset = _V(0, 0, 0)) {
        return hs::test::CreateAbovePole(name, cls, offset, vel, arot);
    }

    static Vessel* Rec(OBJHANDLE h) { return sim().Record(h); }
    static int VesselsOfClass(const char* cls) {
        int n = 0;
        for (Vessel* v : sim().Vessels())
            n += v->className == cls;
        return n;
    }
    static Corvane* Ship(OBJHANDLE h) { return static_cast<Corvane*>(Rec(h)->iface); }
    static hs::Thruster* Th(THRUSTER_HANDLE t) { return static_cast<hs::Thruster*>(t); }
    static hs::Propellant* Tank(PROPELLANT_HANDLE p) { return static_cast<hs::Propellant*>(p); }
    static double Anim(OBJHANDLE h, UINT id) { return Rec(h)->animations.at(id).state; }

    // Sets the current deflection of every rudder surface, as if the pilot had held it there.
    static void SetRudder(OBJHANDLE h, double level) {
        for (auto& s : Rec(h)->ctrlSurfaces)
            if (s->type == AIRCTRL_RUDDER) s->level = s->target = level;
        Rec(h)->surfaceLevel[AIRCTRL_RUDDER] = level; // the host reads a kind's level, not a surface's
    }

    // A keyboard state with the given keys down.
    struct Keys {
        char state[256] = {};
        Keys() = default;
        explicit Keys(std::initializer_list<DWORD> down) {
            for (DWORD k : down)
                state[k] = static_cast<char>(0x80);
        }
    };

    static int Buffered(OBJHANDLE h, DWORD key, std::initializer_list<DWORD> mods = {}) {
        Keys keys(mods);
        keys.state[key] = static_cast<char>(0x80);
        return Ship(h)->clbkConsumeBufferedKey(key, true, keys.state);
    }

    bool started = false;
};

} // namespace flighttest
