// A test vessel on three touchdown points that a push lifts off its rest for its first second; it falls back,
// rocks on its springs and comes to rest. Its save records each change of its landed flag with the time and
// altitude, as the host it flew in reported them.
#define ORBITER_MODULE
#include "Orbitersdk.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr double MASS = 1500.0;      // kg
constexpr double PUSH_PER_KG = 10.8; // N/kg: a tenth more than its weight at the surface
constexpr double PUSH_TIME = 1.0;    // s

class Hopper final : public VESSEL2 {
  public:
    Hopper(OBJHANDLE h, int flightModel) : VESSEL2(h, flightModel) {}

    void clbkSetClassCaps(FILEHANDLE) override {
        SetSize(3.0);
        SetEmptyMass(MASS);
        SetPMI(_V(2.0, 2.0, 2.0));
        SetCrossSections(_V(0.0, 0.0, 0.0));
        SetTouchdownPoints(_V(0, -2, 2), _V(-2, -2, -2), _V(2, -2, -2));
    }

    void clbkPreStep(double simt, double, double) override {
        if (simt >= PUSH_TIME) return;
        VECTOR3 rel;
        GetRelativePos(GetGravityRef(), rel);
        MATRIX3 R;
        GetRotationMatrix(R);
        AddForce(tmul(R, rel) * (PUSH_PER_KG * MASS / length(rel)), _V(0, 0, 0));
    }

    void clbkPostStep(double simt, double, double) override {
        const int landed = (int)(GetFlightStatus() & 1);
        if (landed == last) return;
        char change[64];
        snprintf(change, sizeof change, " %d@%.3f/%.3f", landed, simt, GetAltitude());
        changes += change;
        last = landed;
    }

    void clbkSaveState(FILEHANDLE scn) override {
        VESSEL2::clbkSaveState(scn);
        oapiWriteScenario_string(scn, (char*)"LANDED", (char*)changes.c_str());
    }

  private:
    int last = -1;
    std::string changes;
};

} // namespace

DLLCLBK VESSEL* ovcInit(OBJHANDLE h, int flightModel) {
    return new Hopper(h, flightModel);
}

DLLCLBK void ovcExit(VESSEL* v) {
    delete static_cast<Hopper*>(v);
}
