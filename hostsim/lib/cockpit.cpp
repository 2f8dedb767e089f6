// What a vessel brings to the pilot's seat: navigation receivers, the HUD mode, MFD modes, dialogs, panel
// redraws, and the settings the host keeps for drawing it (visibility, albedo) or the user
// chose (damage). Nothing is shown here; what a module can read back is kept as the host keeps it.
#include "host.h"
#include "text.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

using namespace hs;

namespace {
constexpr int NAV_CHANNELS = 640; // 108 MHz on, 0.05 MHz apart
} // namespace

// --- Navigation receivers ---

void VESSEL::InitNavRadios(int nnav) const {
    SELF_OR();
    CallTrace trace(v, __func__, nnav);
    if (nnav < 0) {
        Misuse("InitNavRadios: %d receivers", nnav);
        return;
    }
    v->navFreq.resize((size_t)nnav, 0);
}

int VESSEL::GetNavCount() const {
    SELF_OR(0);
    CallTrace trace(v, __func__);
    return trace.Result((int)v->navFreq.size());
}

bool VESSEL::SetNavChannel(int n, int ch) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, n, ch);
    if (n < 0 || (size_t)n >= v->navFreq.size() || ch < 0 || ch >= NAV_CHANNELS) return trace.Result(false);
    v->navFreq[n] = ch;
    return trace.Result(true);
}

int VESSEL::GetNavChannel(int n) const {
    SELF_OR(0);
    CallTrace trace(v, __func__, n);
    return trace.Result(n >= 0 && (size_t)n < v->navFreq.size() ? v->navFreq[n] : 0);
}

// --- What the host keeps for drawing the vessel, and the user's settings ---

void VESSEL::SetVisibilityLimit(double vislimit, double spotlimit) const {
    SELF_OR();
    CallTrace trace(v, __func__, vislimit, spotlimit);
    v->visLimit = vislimit;
    v->spotLimit = spotlimit >= 0.0 ? spotlimit : vislimit;
}

void VESSEL::SetAlbedoRGB(const VECTOR3& albedo) const {
    SELF_OR();
    CallTrace trace(v, __func__, albedo);
    v->albedo = albedo;
}

// The user's damage setting: hostsim, as the host out of the box, has damage off.
int VESSEL::GetDamageModel() const {
    SELF_OR(0);
    CallTrace trace(v, __func__);
    return trace.Result(0);
}

// Neither a panel nor a virtual cockpit is ever shown, so no area waits to be redrawn.
void VESSEL::TriggerRedrawArea(int panel_id, int vc_id, int area_id) {
    SELF_OR();
    CallTrace trace(v, __func__, panel_id, vc_id, area_id);
}

void oapiTriggerRedrawArea(int, int, int) {}

// --- The HUD ---

// No HUD until the scenario or a module shows one (what this host draws for its timeline aside).
int oapiGetHUDMode() {
    const World& w = W();
    return w.env.hudShown ? w.env.hudMode : HUD_NONE;
}

// A change of mode is told to the focus vessel, whose answer may set the mode again (that call changes
// nothing and tells nobody).
bool oapiSetHUDMode(int mode) {
    World& w = W();
    if (mode == oapiGetHUDMode() || mode < HUD_NONE || mode > HUD_DOCKING) return false;
    w.env.hudMode = mode;
    w.env.hudShown = mode != HUD_NONE;
    if (Vessel* f = w.focus) {
        TraceCallback(f, "clbkHUDMode", mode);
        if (VESSEL2* cb = Callbacks(f)) cb->clbkHUDMode(mode);
    }
    return true;
}

// --- MFD modes and dialogs ---

// The dialog class's type information is the host's to give: a module's dialogs derive from it.
namespace {
__attribute__((used)) const std::type_info& GUI_ELEMENT_TYPE = typeid(GUIElement);
} // namespace

// Numbered 1000 on in the order the vessel holds them, as the host numbers them: a number can come again
// after an earlier mode was taken back.
int VESSEL4::RegisterMFDMode(const MFDMODESPECEX& spec) {
    SELF_OR(0);
    CallTrace trace(v, __func__, spec.name, spec.key);
    Vessel::MfdMode m{(int)v->mfdModes.size() + 1000, spec, spec.name ? spec.name : ""};
    m.spec.name = nullptr;
    // A key another of the vessel's modes has is given up for the first free number key.
    if (m.spec.key) {
        auto taken = [v](int key) {
            return std::any_of(v->mfdModes.begin(), v->mfdModes.end(),
                               [key](const Vessel::MfdMode& o) { return o.spec.key == key; });
        };
        if (taken(m.spec.key)) {
            m.spec.key = 0;
            for (int k = OAPI_KEY_1; k <= OAPI_KEY_0; ++k)
                if (!taken(k)) {
                    m.spec.key = k;
                    break;
                }
        }
    }
    v->mfdModes.push_back(m);
    return trace.Result(m.id);
}

bool VESSEL4::UnregisterMFDMode(int mode) {
    SELF_OR(false);
    CallTrace trace(v, __func__, mode);
    auto it = std::find_if(v->mfdModes.begin(), v->mfdModes.end(),
                           [mode](const Vessel::MfdMode& m) { return m.id == mode; });
    if (it == v->mfdModes.end()) return trace.Result(false);
    v->mfdModes.erase(it);
    return trace.Result(true);
}

void oapiDisableMFDMode(int mode) {
    std::vector<int>& off = W().disabledMfdModes;
    if (std::find(off.begin(), off.end(), mode) == off.end()) off.push_back(mode);
}

void oapiOpenDialog(GUIElement* e) {
    if (!e) {
        Misuse("oapiOpenDialog: null dialog");
        return;
    }
    std::vector<GUIElement*>& open = W().dialogs;
    if (std::find(open.begin(), open.end(), e) == open.end()) open.push_back(e);
    e->show = true;
}

// Closing a dialog that is not open changes nothing (a module closes its dialog when it goes, open or not).
void oapiCloseDialog(GUIElement* e) {
    std::vector<GUIElement*>& open = W().dialogs;
    open.erase(std::remove(open.begin(), open.end(), e), open.end());
}
