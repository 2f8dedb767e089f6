// OutsideLander: a small lander written against the host's SDK alone, as any add-on author would. Landed at
// start, it hops by itself: hover thrust up at t=1 s, less thrust to come back down, a pitch pulse and its
// counter-pulse on the way, engines off once it is down. It logs what it reads every second and at each event
// as "OUT Lander t=<s> key=value ...", and shows its state in an annotation.
#define ORBITER_MODULE
#include "Orbitersdk.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace {

const double EMPTY_MASS = 1000.0; // kg
const double FUEL_MASS = 100.0;   // kg
const double HOVER_THRUST = 15e3; // N
const double RCS_THRUST = 50.0;   // N
const double ISP = 3e4;           // m/s
const double DEG = 180.0 / PI;

// The flight plan: hover level by time, and the attitude pulses.
const double HOP_START = 1.0, HOP_CLIMB = 0.9;   // s, level
const double BRAKE_START = 3.0, HOP_BRAKE = 0.6; // s, level
const double SINK_START = 6.0;                   // s
// Coming down the hover thrust holds a sink rate: fast high up, slow near the ground.
const double SINK_FAST = -2.0, SINK_SLOW = -0.7, SLOW_BELOW = 4.0; // m/s, m/s, m
const double SINK_GAIN = 2.0;                                      // 1/s
const double CUT_BELOW = 1.5;                                      // m: the legs touch
const double G = 9.81;                                             // m/s^2
const double PULSE_UP = 4.0, PULSE_DOWN = 4.3, PULSE_LENGTH = 0.3; // s

// Three legs, then a point on top so a tumble does not sink the hull into the ground.
const TOUCHDOWNVTX TOUCHDOWN[4] = {
    {{0, -1.5, 1.5}, 5e4, 5e3, 3.0, 3.0},
    {{-1.3, -1.5, -0.75}, 5e4, 5e3, 3.0, 3.0},
    {{1.3, -1.5, -0.75}, 5e4, 5e3, 3.0, 3.0},
    {{0, 1.5, 0}, 5e4, 5e3, 3.0, 3.0},
};

// Every log line of this module starts alike, so a reader can pick them out of the host's log.
__attribute__((format(printf, 2, 3))) void Out(double t, const char* format, ...) {
    char body[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(body, sizeof body, format, args);
    va_end(args);
    oapiWriteLogV("OUT Lander t=%.3f %s", t, body);
}

class Lander final : public VESSEL3 {
  public:
    Lander(OBJHANDLE hVessel, int flightmodel) : VESSEL3(hVessel, flightmodel) {}

    void clbkSetClassCaps(FILEHANDLE) override {
        SetSize(3.0);
        SetEmptyMass(EMPTY_MASS);
        SetPMI(_V(2.0, 2.0, 2.0));
        SetCrossSections(_V(6.0, 6.0, 6.0));
        SetTouchdownPoints(TOUCHDOWN, 4);

        PROPELLANT_HANDLE tank = CreatePropellantResource(FUEL_MASS);
        THRUSTER_HANDLE hover = CreateThruster(_V(0, -1.5, 0), _V(0, 1, 0), HOVER_THRUST, tank, ISP);
        CreateThrusterGroup(&hover, 1, THGROUP_HOVER);

        // Pitch pairs at the nose and tail, bank pairs at the sides.
        THRUSTER_HANDLE up[2], down[2], left[2], right[2];
        up[0] = CreateThruster(_V(0, 0, 2), _V(0, 1, 0), RCS_THRUST, tank, ISP);
        up[1] = CreateThruster(_V(0, 0, -2), _V(0, -1, 0), RCS_THRUST, tank, ISP);
        down[0] = CreateThruster(_V(0, 0, 2), _V(0, -1, 0), RCS_THRUST, tank, ISP);
        down[1] = CreateThruster(_V(0, 0, -2), _V(0, 1, 0), RCS_THRUST, tank, ISP);
        left[0] = CreateThruster(_V(2, 0, 0), _V(0, 1, 0), RCS_THRUST, tank, ISP);
        left[1] = CreateThruster(_V(-2, 0, 0), _V(0, -1, 0), RCS_THRUST, tank, ISP);
        right[0] = CreateThruster(_V(2, 0, 0), _V(0, -1, 0), RCS_THRUST, tank, ISP);
        right[1] = CreateThruster(_V(-2, 0, 0), _V(0, 1, 0), RCS_THRUST, tank, ISP);
        CreateThrusterGroup(up, 2, THGROUP_ATT_PITCHUP);
        CreateThrusterGroup(down, 2, THGROUP_ATT_PITCHDOWN);
        CreateThrusterGroup(left, 2, THGROUP_ATT_BANKLEFT);
        CreateThrusterGroup(right, 2, THGROUP_ATT_BANKRIGHT);
    }

    void clbkPostCreation() override {
        const VECTOR3 yellow = {1.0, 1.0, 0.0};
        note = oapiCreateAnnotation(false, 0.8, yellow);
        oapiAnnotationSetPos(note, 0.02, 0.15, 0.5, 0.4);
        oapiAnnotationSetText(note, "Lander: waiting");
        Out(0.0, "event=start ntd=%d cog=%.4f fs=%d", GetTouchdownPointCount(), GetCOG_elev(),
            GetFlightStatus());
    }

    void clbkPreStep(double simt, double, double) override {
        double level = 0.0;
        const char* phase = "rest";
        int resolution = -1;
        const double alt = GetAltitude(ALTMODE_GROUND, &resolution);
        if (down || (simt >= SINK_START && alt < CUT_BELOW)) {
            down = true;
            phase = "cut";
        } else if (simt >= SINK_START) {
            VECTOR3 v;
            GetGroundspeedVector(FRAME_HORIZON, v);
            const double target = alt > SLOW_BELOW ? SINK_FAST : SINK_SLOW;
            level = GetMass() * (G + SINK_GAIN * (target - v.y)) / HOVER_THRUST;
            level = level < 0.0 ? 0.0 : level > 1.0 ? 1.0 : level;
            phase = "sink";
        } else if (simt >= BRAKE_START) {
            level = HOP_BRAKE, phase = "brake";
        } else if (simt >= HOP_START) {
            level = HOP_CLIMB, phase = "climb";
        }
        SetThrusterGroupLevel(THGROUP_HOVER, level);
        if (phase != lastPhase) {
            Out(simt, "event=%s hover=%.3f alt=%.3f", phase, level, alt);
            lastPhase = phase;
            oapiAnnotationSetText(note, phase);
        }

        const bool pulseUp = simt >= PULSE_UP && simt < PULSE_UP + PULSE_LENGTH;
        const bool pulseDown = simt >= PULSE_DOWN && simt < PULSE_DOWN + PULSE_LENGTH;
        SetThrusterGroupLevel(THGROUP_ATT_PITCHUP, pulseUp ? 1.0 : 0.0);
        SetThrusterGroupLevel(THGROUP_ATT_PITCHDOWN, pulseDown ? 1.0 : 0.0);
        if (pulseUp != wasPulseUp || pulseDown != wasPulseDown)
            Out(simt, "event=pulse up=%d down=%d pitch=%.3f", pulseUp, pulseDown, GetPitch() * DEG);
        wasPulseUp = pulseUp;
        wasPulseDown = pulseDown;
    }

    void clbkPostStep(double simt, double, double) override {
        const int flight = GetFlightStatus();
        if ((flight & 1) != (lastFlight & 1)) Out(simt, "event=%s", (flight & 1) ? "landed" : "airborne");
        lastFlight = flight;
        if (std::floor(simt) <= lastSecond) return;
        lastSecond = std::floor(simt);

        int resolution = -1;
        const double alt = GetAltitude(ALTMODE_GROUND, &resolution);
        VECTOR3 gsv;
        const bool haveGsv = GetGroundspeedVector(FRAME_HORIZON, gsv);
        Out(simt,
            "alt=%.3f res=%d cog=%.4f ntd=%d gs=%.3f gsv=%d gx=%.3f gy=%.3f gz=%.3f fs=%d pitch=%.3f "
            "bank=%.3f",
            alt, resolution, GetCOG_elev(), GetTouchdownPointCount(), GetGroundspeed(), haveGsv, gsv.x, gsv.y,
            gsv.z, flight, GetPitch() * DEG, GetBank() * DEG);

        char text[128];
        std::snprintf(text, sizeof text, "Lander %s\nalt %.1f m  gs %.1f m/s", lastPhase, alt,
                      GetGroundspeed());
        oapiAnnotationSetText(note, text);
    }

  private:
    NOTEHANDLE note = nullptr;
    const char* lastPhase = "none";
    bool wasPulseUp = false, wasPulseDown = false;
    bool down = false;
    int lastFlight = 1;
    double lastSecond = 0.0;
};

} // namespace

DLLCLBK VESSEL* ovcInit(OBJHANDLE hvessel, int flightmodel) {
    return new Lander(hvessel, flightmodel);
}

DLLCLBK void ovcExit(VESSEL* vessel) {
    delete static_cast<Lander*>(vessel);
}
