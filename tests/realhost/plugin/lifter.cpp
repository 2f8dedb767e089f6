// A test vessel that rises from the ground on a steady push straight up (away from its body's centre),
// without engines, air drag or wings, so that both hosts fly it by their gravity and their turning planet
// alone. Its save holds its airspeed, as the host it flew in reported it.
#define ORBITER_MODULE
#include "Orbitersdk.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr double MASS = 1500.0;        // kg
constexpr double PUSH_PER_KG = 10.8;   // N/kg: a tenth more than its weight at the surface
constexpr double GEAR_HALF_SPAN = 2.0; // m

class Lifter final : public VESSEL2 {
  public:
    Lifter(OBJHANDLE h, int flightModel) : VESSEL2(h, flightModel) {}

    void clbkSetClassCaps(FILEHANDLE) override {
        SetSize(3.0);
        SetEmptyMass(MASS);
        SetPMI(_V(2.0, 2.0, 2.0));
        SetCrossSections(_V(0.0, 0.0, 0.0));
        SetTouchdownPoints(_V(0, -2, GEAR_HALF_SPAN), _V(-GEAR_HALF_SPAN, -2, -GEAR_HALF_SPAN),
                           _V(GEAR_HALF_SPAN, -2, -GEAR_HALF_SPAN));
    }

    void clbkPreStep(double, double, double) override {
        // Up from the body's centre, in the vessel's frame, whatever its attitude.
        VECTOR3 rel, up;
        GetRelativePos(GetGravityRef(), rel);
        MATRIX3 R;
        GetRotationMatrix(R);
        up = tmul(R, rel) / length(rel);
        AddForce(up * (PUSH_PER_KG * MASS), _V(0, 0, 0));
    }

    void clbkLoadStateEx(FILEHANDLE scn, void* status) override {
        char* line;
        while (oapiReadScenario_nextline(scn, line))
            if (strncmp(line, "AIRSPEED", 8) != 0) ParseScenarioLineEx(line, status);
    }

    void clbkSaveState(FILEHANDLE scn) override {
        VESSEL2::clbkSaveState(scn);
        char value[64];
        snprintf(value, sizeof value, "%0.4f", GetAirspeed());
        oapiWriteScenario_string(scn, (char*)"AIRSPEED", value);
    }
};

} // namespace

DLLCLBK VESSEL* ovcInit(OBJHANDLE h, int flightModel) {
    return new Lifter(h, flightModel);
}

DLLCLBK void ovcExit(VESSEL* v) {
    delete static_cast<Lifter*>(v);
}
