// OutsideAircraft: a small aeroplane written against the host's SDK alone, as any add-on author would. It
// flies by itself over the runway at 3 km: the main engine at a fixed setting, a pull on the elevator and
// back to level, a roll to the left and back with the ailerons, a touch of rudder. Every second it logs what
// the host tells it about the air as "OUT Aircraft t=<s> key=value ...".
#define ORBITER_MODULE
#include "Orbitersdk.h"

#include <cmath>

namespace {

const double MASS = 5000.0;      // kg
const double FUEL = 500.0;       // kg
const double MAIN_THRUST = 20e3; // N
const double MAIN_LEVEL = 0.25;
const double ISP = 2e4; // m/s
const double DEG = 180.0 / PI;

// Wing and tailplane: lift grows with the angle of attack; the wing sits just ahead of the centre of mass and
// the tail far behind it, so the aeroplane trims itself at a small angle.
const double WING_AREA = 20.0, WING_CHORD = 2.0, WING_ASPECT = 6.0; // m^2, m, -
const double TAIL_AREA = 4.0, TAIL_CHORD = 1.0, TAIL_ASPECT = 4.0;  // m^2, m, -
const double FIN_AREA = 3.0, FIN_CHORD = 1.5, FIN_ASPECT = 1.5;     // m^2, m, -

struct Foil {
    double cl0, slope, cd0, induced; // lift at zero angle, lift per radian, drag at zero lift, drag per cl^2
};
// Not const: the host takes each as the untyped context of its airfoil.
Foil wing = {0.135, 4.0, 0.015, 0.05};
Foil tail = {0.0, 3.0, 0.01, 0.08};
Foil fin = {0.0, 2.5, 0.01, 0.1};

// The host hands every airfoil's own coefficients back through its context; past the stall the lift falls.
void Coefficients(VESSEL*, double aoa, double, double, void* context, double* cl, double* cm, double* cd) {
    const Foil& f = *static_cast<const Foil*>(context);
    const double stall = 15.0 / DEG;
    const double a = std::fabs(aoa) < stall ? aoa : (aoa > 0 ? stall : -stall) * 0.5;
    *cl = f.cl0 + f.slope * a;
    *cm = 0.0;
    *cd = f.cd0 + f.induced * *cl * *cl;
}

// The pilot's programme: control levels by time.
double Elevator(double t) {
    return t >= 2.0 && t < 4.0 ? 0.3 : 0.0;
}
double Aileron(double t) {
    return t >= 6.0 && t < 7.0 ? 0.2 : t >= 7.0 && t < 8.0 ? -0.2 : 0.0;
}
double Rudder(double t) {
    return t >= 10.0 && t < 11.0 ? 0.2 : 0.0;
}

class Aircraft final : public VESSEL3 {
  public:
    Aircraft(OBJHANDLE hVessel, int flightmodel) : VESSEL3(hVessel, flightmodel) {}

    void clbkSetClassCaps(FILEHANDLE) override {
        SetSize(8.0);
        SetEmptyMass(MASS);
        SetPMI(_V(6.0, 7.0, 3.0));
        SetCrossSections(_V(10.0, 30.0, 5.0));
        SetRotDrag(_V(0.05, 0.05, 0.05));
        // Only used by the host without airfoils; set for completeness.
        SetCW(0.09, 0.09, 2.0, 1.4);

        CreateAirfoil3(LIFT_VERTICAL, _V(0, 0, 0.2), Coefficients, &wing, WING_CHORD, WING_AREA, WING_ASPECT);
        CreateAirfoil3(LIFT_VERTICAL, _V(0, 0, -6.0), Coefficients, &tail, TAIL_CHORD, TAIL_AREA,
                       TAIL_ASPECT);
        CreateAirfoil3(LIFT_HORIZONTAL, _V(0, 1.0, -6.0), Coefficients, &fin, FIN_CHORD, FIN_AREA,
                       FIN_ASPECT);

        CreateControlSurface2(AIRCTRL_ELEVATOR, 1.5, 0.5, _V(0, 0, -6.0), AIRCTRL_AXIS_XPOS);
        CreateControlSurface3(AIRCTRL_AILERON, 0.5, 0.2, _V(4.0, 0, -0.5), AIRCTRL_AXIS_XPOS, 0.5);
        CreateControlSurface3(AIRCTRL_AILERON, 0.5, 0.2, _V(-4.0, 0, -0.5), AIRCTRL_AXIS_XNEG, 0.5);
        CreateControlSurface2(AIRCTRL_RUDDER, 1.0, 0.3, _V(0, 1.0, -6.0), AIRCTRL_AXIS_YPOS);

        PROPELLANT_HANDLE tank = CreatePropellantResource(FUEL);
        THRUSTER_HANDLE main = CreateThruster(_V(0, 0, -4.0), _V(0, 0, 1), MAIN_THRUST, tank, ISP);
        CreateThrusterGroup(&main, 1, THGROUP_MAIN);
    }

    void clbkPreStep(double simt, double, double) override {
        SetThrusterGroupLevel(THGROUP_MAIN, MAIN_LEVEL);
        SetControlSurfaceLevel(AIRCTRL_ELEVATOR, Elevator(simt));
        SetControlSurfaceLevel(AIRCTRL_AILERON, Aileron(simt));
        SetControlSurfaceLevel(AIRCTRL_RUDDER, Rudder(simt));
    }

    void clbkPostStep(double simt, double, double) override {
        if (std::floor(simt) <= lastSecond) return;
        lastSecond = std::floor(simt);
        VECTOR3 air;
        const bool haveAir = GetHorizonAirspeedVector(air);
        oapiWriteLogV("OUT Aircraft t=%.3f alt=%.2f rho=%.6f q=%.2f mach=%.5f tas=%.3f aoa=%.4f slip=%.4f "
                      "lift=%.1f drag=%.1f pitch=%.4f bank=%.4f hav=%d hx=%.3f hy=%.3f hz=%.3f gs=%.3f",
                      simt, GetAltitude(), GetAtmDensity(), GetDynPressure(), GetMachNumber(), GetAirspeed(),
                      GetAOA() * DEG, GetSlipAngle() * DEG, GetLift(), GetDrag(), GetPitch() * DEG,
                      GetBank() * DEG, haveAir, air.x, air.y, air.z, GetGroundspeed());
    }

  private:
    double lastSecond = 0.0;
};

} // namespace

DLLCLBK VESSEL* ovcInit(OBJHANDLE hvessel, int flightmodel) {
    return new Aircraft(hvessel, flightmodel);
}

DLLCLBK void ovcExit(VESSEL* vessel) {
    delete static_cast<Aircraft*>(vessel);
}
