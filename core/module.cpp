// The Corvane module's exports and the vessel object's life: creation, release, sound set-up and visual.
#include "corvane.h"
#include "../sound/sound_connector.h"
#include "portable.h"

#include <cstdio>
#include <new>

namespace {

// The interface release the module is built against.
char INTERFACE_DATE[] = "Aug 30 2010";
char BUILD_DATE[] = "Mar  6 2011";

constexpr int RAILGUN_SOUND_SLOT = 1;
constexpr int WAVE_TYPE_CODE = 3;
// Standard vessel sounds of the sound add-on that the fighter replaces or does without.
constexpr int SILENCED_SOUND_OPTIONS[3] = {16, 1, 6};

} // namespace

Corvane::Corvane(OBJHANDLE hVessel, int flightmodel)
    : VESSEL3(hVessel, flightmodel), beacons(), soundId(-1), gearAnim(0), canopyPAnim(0), canopyCAnim(0),
      ftlTunnelAnim(0), boostLightAnim(0), mainEngineLightAnim(0), dampenersOfflineLightAnim(0),
      lowPropellantLightAnim(0), gearLightAnim(0), parkingBrakeLightAnim(0), spareLightAnims(), gearPos(0.0),
      gearTarget(0.0), canopyPPos(0.0), canopyPTarget(0.0), canopyCPos(0.0), canopyCTarget(0.0), crew(),
      evaSeat(-1), addCrewDialog(),
      hudMessage(), hudMessageTimer(0.0),
      // No camera mode: the first step refreshes the cockpit figures.
      lastCameraMode(-1), hoverThruster(nullptr), mainThruster(nullptr), boostThruster(nullptr),
      inertialDampeners(true), brakeEngaged(false), boost(false), mainEngineFed(true), mainTank(nullptr),
      contactMass(0.0),
      railAttachLeft(nullptr), railAttachRight(nullptr), carrierAttachment(nullptr), hardpointAttachments(),
      lastProjectile(nullptr), railCycle(0.0), viewIndex(0), ftlState(0), shipMeshVisibility(MESHVIS_ALWAYS),
      hwgTimer(0.0), hwgJumpDuration(1.0), ftlTunnelPhase(0.0), hwgStepIndex(1), visualMesh(nullptr),
      ammoClassName() {
    std::snprintf(ammoClassName, sizeof ammoClassName, "%s", "Pellorin");
}

Corvane::~Corvane() {}

void Corvane::clbkPostCreation() {
    soundId = ConnectToOrbiterSoundDLL3(GetHandle());
    LoadVesselWave(soundId, RAILGUN_SOUND_SLOT, (char*)"sound\\corvane\\railgf1a.wav", WAVE_TYPE_CODE);
    for (int option : SILENCED_SOUND_OPTIONS)
        SetSoundOption(soundId, option, 0);
}

void Corvane::clbkVisualCreated(VISHANDLE vis, int) {
    visualMesh = GetDevMesh(vis, 1);
    UpdateCockpitMeshVisibility();
}

void Corvane::clbkVisualDestroyed(VISHANDLE, int) {
    visualMesh = nullptr;
}

DLLCLBK VESSEL* ovcInit(OBJHANDLE hvessel, int flightmodel) {
    return new (std::nothrow) Corvane(hvessel, flightmodel);
}

DLLCLBK void ovcExit(VESSEL* vessel) {
    // VESSEL has no virtual destructor: delete through the class that was allocated.
    if (vessel) delete static_cast<Corvane*>(vessel);
}

DLLCLBK char* ModuleDate() {
    return BUILD_DATE;
}

DLLCLBK int GetModuleVersion() {
    static bool known = false;
    static int version = 0;
    if (!known) {
        version = Date2Int(INTERFACE_DATE);
        known = true;
    }
    return version;
}
