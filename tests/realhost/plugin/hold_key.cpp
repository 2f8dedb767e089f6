// A plugin for the real host that holds one key of the focus vessel's keyboard for a stretch of simulated
// time, as a pilot's finger would: the headless host runs no input pass, so it hands the vessel the key state
// itself, once a frame. CORVANE_HOLD_KEY="KEY FROM UNTIL [pre|post]" (the key's code, seconds of simulated
// time, and whether the key comes before the step, the default, or after it). CORVANE_THGROUP="GROUP LEVEL
// FROM UNTIL, ..." holds up to eight thruster groups (the host's group numbers) at a level for a stretch
// each, as a pilot's throttle would; a later stretch of the same group wins where they overlap.
#define ORBITER_MODULE
#include "Orbitersdk.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int KEYBOARD_STATE_SIZE = 256;
constexpr char KEY_DOWN = static_cast<char>(0x80);
constexpr int MAX_THROTTLES = 8;

struct Throttle {
    int group;
    double level, from, until;
};

class HoldKey : public oapi::Module {
  public:
    HoldKey(MODULEHANDLE h, int key, double from, double until)
        : Module(h), key(key), from(from), until(until) {}

    void clbkPreStep(double simt, double, double) override {
        for (int i = 0; i < throttleCount; ++i) {
            const Throttle& t = throttles[i];
            if (simt < t.from || simt >= t.until) continue;
            VESSEL* focus = oapiGetVesselInterface(oapiGetFocusObject());
            if (focus) focus->SetThrusterGroupLevel(static_cast<THGROUP_TYPE>(t.group), t.level);
        }
        if (!afterStep) Hold(simt);
    }
    void clbkPostStep(double simt, double, double) override {
        if (afterStep) Hold(simt);
    }
    bool afterStep = false;
    Throttle throttles[MAX_THROTTLES] = {};
    int throttleCount = 0;

  private:
    void Hold(double simt) {
        if (key <= 0 || simt < from || simt >= until) return;
        VESSEL* focus = oapiGetVesselInterface(oapiGetFocusObject());
        // Only vessels of the second interface version or later have the key callback.
        if (!focus || focus->Version() < 1) return;
        char kstate[KEYBOARD_STATE_SIZE] = {};
        kstate[key] = KEY_DOWN;
        static_cast<VESSEL2*>(focus)->clbkConsumeDirectKey(kstate);
    }

    int key;
    double from, until;
};

} // namespace

DLLCLBK void InitModule(MODULEHANDLE h) {
    const char* spec = std::getenv("CORVANE_HOLD_KEY");
    int key = 0;
    double from = 0.0, until = 0.0;
    char when[8] = {};
    if (spec && (std::sscanf(spec, "%d %lf %lf %7s", &key, &from, &until, when) < 3 || key <= 0 ||
                 key >= KEYBOARD_STATE_SIZE)) {
        oapiWriteLog("HoldKey: CORVANE_HOLD_KEY is not \"KEY FROM UNTIL\": holding no key");
        key = 0;
    }
    HoldKey* module = new HoldKey(h, spec ? key : 0, from, until);
    module->afterStep = std::strcmp(when, "post") == 0; // after the step, before the host ends the frame
    // Each stretch is "GROUP LEVEL FROM UNTIL", the stretches separated by commas.
    for (const char* t = std::getenv("CORVANE_THGROUP"); t && module->throttleCount < MAX_THROTTLES;) {
        Throttle& th = module->throttles[module->throttleCount];
        if (std::sscanf(t, "%d %lf %lf %lf", &th.group, &th.level, &th.from, &th.until) != 4) break;
        ++module->throttleCount;
        t = std::strchr(t, ',');
        if (t) ++t;
    }
    oapiRegisterModule(module);
}

DLLCLBK void ExitModule(MODULEHANDLE) {}
