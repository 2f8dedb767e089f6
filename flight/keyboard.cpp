// Keyboard commands: the key tables and one command function per pilot action.
#include "flight/flight_rules.h"
#include "portable.h"

#include <cstdint>
#include <cstring>

namespace {

using Command = void (Corvane::*)();

struct KeyBinding {
    DWORD key;
    Command command;
    int result; // what the host is told: 1 taken, 0 still offered to the host
};

constexpr KeyBinding PLAIN_KEYS[] = {
    {OAPI_KEY_3, &Corvane::ShortenHyperspaceJump, 1},
    {OAPI_KEY_4, &Corvane::LengthenHyperspaceJump, 1},
    {OAPI_KEY_5, &Corvane::ToggleCockpitView, 1},
    {OAPI_KEY_E, &Corvane::CrewEvaAction, 1},
    {OAPI_KEY_G, &Corvane::ToggleGear, 1},
    {OAPI_KEY_J, &Corvane::RequestCarrierRelease, 1},
    {OAPI_KEY_K, &Corvane::ToggleCanopyP, 1},
    {OAPI_KEY_B, &Corvane::ToggleBoost, 1},
    {OAPI_KEY_M, &Corvane::StartAddCrewDialog, 1},
    {OAPI_KEY_F8, &Corvane::ToggleShipMeshVisibility, 1},
};

constexpr KeyBinding CTRL_KEYS[] = {
    {OAPI_KEY_E, &Corvane::CrewEvaAction, 1},
    {OAPI_KEY_B, &Corvane::ToggleParkingBrake, 0}, // the host still sees Ctrl+B
    {OAPI_KEY_F12, &Corvane::ToggleHyperspaceDrive, 1},
};

// Shift wins over Ctrl: Shift+Ctrl+B is Shift+B.
constexpr KeyBinding SHIFT_KEYS[] = {
    {OAPI_KEY_3, &Corvane::DecreaseHyperspaceStep, 1}, {OAPI_KEY_4, &Corvane::IncreaseHyperspaceStep, 1},
    {OAPI_KEY_R, &Corvane::RefuelFromCarrier, 1},      {OAPI_KEY_I, &Corvane::ToggleDampeners, 1},
    {OAPI_KEY_K, &Corvane::ToggleCanopyC, 1},          {OAPI_KEY_B, &Corvane::ToggleMainEngine, 1},
};

// Held keys: acted on every frame while down, then cleared so the host does not act on them too.
constexpr KeyBinding CTRL_HELD_KEYS[] = {
    {OAPI_KEY_NUMPAD0, &Corvane::HoverFullThrust, 0},
    {OAPI_KEY_DECIMAL, &Corvane::HoverCutOff, 0}, // after Numpad 0: with both down the hover engine stops
};

constexpr KeyBinding PLAIN_HELD_KEYS[] = {
    {OAPI_KEY_1, &Corvane::AdvanceRailgunCycle, 0},
};

constexpr DWORD RELEASE_REQUEST_KEY = 257; // outside the scan codes, so no keyboard can send it

bool Shift(const char* kstate) {
    return KEYMOD_SHIFT(kstate);
}
bool Ctrl(const char* kstate) {
    return KEYMOD_CONTROL(kstate);
}
bool Alt(const char* kstate) {
    return KEYMOD_ALT(kstate);
}

template <size_t N> int RunBufferedKey(Corvane& vessel, const KeyBinding (&table)[N], DWORD key) {
    for (const KeyBinding& binding : table) {
        if (binding.key != key) continue;
        (vessel.*binding.command)();
        return binding.result;
    }
    return 0;
}

template <size_t N> void RunHeldKeys(Corvane& vessel, const KeyBinding (&table)[N], char* kstate) {
    for (const KeyBinding& binding : table) {
        if (!KEYDOWN(kstate, binding.key)) continue;
        (vessel.*binding.command)();
        RESETKEY(kstate, binding.key);
    }
}

} // namespace

int Corvane::clbkConsumeBufferedKey(BufferedKeyCode key, bool down, char* kstate) {
    // A release request from a child arrives as a key release, so nothing below reads its state pointer.
    if (!down || Playback()) return 0;
    if (Shift(kstate)) return RunBufferedKey(*this, SHIFT_KEYS, key);
    if (Ctrl(kstate)) return RunBufferedKey(*this, CTRL_KEYS, key);
    return RunBufferedKey(*this, PLAIN_KEYS, key); // Alt with a key acts like the key alone
}

int Corvane::clbkConsumeDirectKey(char* kstate) {
    if (Shift(kstate)) return 0;
    if (Ctrl(kstate)) {
        RunHeldKeys(*this, CTRL_HELD_KEYS, kstate);
        return 0;
    }
    if (Alt(kstate)) return 0;
    RunHeldKeys(*this, PLAIN_HELD_KEYS, kstate);
    return 0;
}

void Corvane::ShortenHyperspaceJump() {
    if (ftlState < 1) hwgJumpDuration = ShortenedJumpDuration(hwgJumpDuration, hwgStepIndex);
}

void Corvane::LengthenHyperspaceJump() {
    if (ftlState < 1) hwgJumpDuration = LengthenedJumpDuration(hwgJumpDuration, hwgStepIndex);
}

// A scenario may have stored any index: a key brings it back into 0..6 rather than stepping from there.
void Corvane::DecreaseHyperspaceStep() {
    hwgStepIndex = hwgStepIndex <= HWG_MIN_STEP_INDEX + 1 ? HWG_MIN_STEP_INDEX
                   : hwgStepIndex > HWG_MAX_STEP_INDEX    ? HWG_MAX_STEP_INDEX
                                                          : hwgStepIndex - 1;
}

void Corvane::IncreaseHyperspaceStep() {
    hwgStepIndex = hwgStepIndex >= HWG_MAX_STEP_INDEX - 1 ? HWG_MAX_STEP_INDEX
                   : hwgStepIndex < HWG_MIN_STEP_INDEX    ? HWG_MIN_STEP_INDEX
                                                          : hwgStepIndex + 1;
}

// Engaging looks at nothing else: the propellant rule stops a starved drive on the next step.
void Corvane::ToggleHyperspaceDrive() {
    hwgTimer = hwgJumpDuration;
    ftlState = ftlState < 1 ? 1 : 0;
}

void Corvane::ToggleCanopyP() {
    canopyPTarget = canopyPTarget == 1.0 ? 0.0 : 1.0;
}

void Corvane::ToggleCanopyC() {
    canopyCTarget = canopyCTarget == 1.0 ? 0.0 : 1.0;
}

void Corvane::ToggleDampeners() {
    inertialDampeners = !inertialDampeners;
}

void Corvane::ToggleParkingBrake() {
    brakeEngaged = !brakeEngaged;
}

// A dialog already under way starts again from its first box.
void Corvane::StartAddCrewDialog() {
    std::memset(&addCrewDialog, 0, sizeof addCrewDialog);
    addCrewDialog.addCrewStage = 1;
}

void Corvane::HoverFullThrust() {
    SetThrusterLevel(hoverThruster, 1.0);
}

void Corvane::HoverCutOff() {
    SetThrusterLevel(hoverThruster, 0.0);
}

// Any view but the first goes back to the first, so a stray index from a scenario never reaches past the
// two camera positions.
void Corvane::ToggleCockpitView() {
    viewIndex = viewIndex == 0 ? 1 : 0;
    const CameraOffset& offset = CAMERA_OFFSETS[viewIndex];
    SetCameraOffset(_V(offset.x, offset.y, offset.z));
    UpdateCockpitMeshVisibility();
}

// On the ground the gear may only go up from fully down: a half-lowered gear cannot carry the ship.
void Corvane::ToggleGear() {
    if (gearPos != 0.0 && GroundContact()) return;
    const bool lower = gearTarget == 1.0;
    gearTarget = lower ? 0.0 : 1.0;
    ApplyGearConfiguration(lower);
}

void Corvane::ToggleBoost() {
    boost = !boost;
    SetThrusterResource(boostThruster, boost ? mainTank : nullptr);
}

void Corvane::ToggleMainEngine() {
    mainEngineFed = !mainEngineFed;
    SetThrusterResource(mainThruster, mainEngineFed ? mainTank : nullptr);
}

void Corvane::ToggleShipMeshVisibility() {
    shipMeshVisibility = shipMeshVisibility == MESHVIS_ALWAYS ? MESHVIS_EXTERNAL : MESHVIS_ALWAYS;
}

// Fills the tank whole from the carrier above, or else from the ship docked at port 0; never a part fill.
void Corvane::RefuelFromCarrier() {
    OBJHANDLE source = GetAttachmentStatus(carrierAttachment);
    if (!source) {
        const DOCKHANDLE port = GetDockHandle(0);
        if (port) source = GetDockStatus(port);
    }
    if (!source) return;
    VESSEL* supplier = oapiGetVesselInterface(source);
    if (!supplier || supplier->GetPropellantCount() == 0) return;

    const PROPELLANT_HANDLE sourceTank = supplier->GetPropellantHandleByIndex(0);
    const double available = supplier->GetPropellantMass(sourceTank);
    const double capacity = GetPropellantMaxMass(mainTank);
    const double needed = capacity - GetPropellantMass(mainTank);
    if (!(available > needed)) return;
    supplier->SetPropellantMass(sourceTank, available - needed);
    SetPropellantMass(mainTank, capacity);
}

// Asks the carrier's own module to let go, naming the carrier point this ship hangs on (0 when none does).
void Corvane::RequestCarrierRelease() {
    const OBJHANDLE carrier = GetAttachmentStatus(carrierAttachment);
    if (!carrier) return;
    const OBJHANDLE self = GetHandle();
    VESSEL* carrierVessel = oapiGetVesselInterface(carrier);
    if (!carrierVessel) return;

    int32_t index = 0;
    const int points = carrierVessel->AttachmentCount(false);
    for (int i = 0; i < points; ++i) {
        if (carrierVessel->GetAttachmentStatus(carrierVessel->GetAttachmentHandle(false, i)) == self)
            index = static_cast<int32_t>(i);
    }
    // Only a VESSEL2 or later has a key handler; a bare VESSEL has no table slot to call.
    if (carrierVessel->Version() < 1) return;
    static_cast<VESSEL2*>(carrierVessel)
        ->clbkConsumeBufferedKey(RELEASE_REQUEST_KEY, false, reinterpret_cast<char*>(&index));
}
