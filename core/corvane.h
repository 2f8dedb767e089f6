// The Corvane vessel: one object per vessel of the class, holding all of the vessel's state.
#pragma once

#include "Orbitersdk.h"
#include "portable.h"
#include "../crew/crew_manager.h"

#include <cstddef>

// Base point of the main engine; the rudder moves it along x.
constexpr double BASE_EMPTY_MASS = 15000.0; // kg, the empty mass with the dampeners offline

struct CameraOffset {
    double x, y, z;
};
// Cockpit camera positions (m, vessel frame) by viewIndex.
constexpr CameraOffset CAMERA_OFFSETS[2] = {{0.0, 0.73, 3.03}, {0.0, 0.91, 2.1}};

struct TouchdownTriple {
    double p[3][3];
};
constexpr TouchdownTriple WHEEL_TOUCHDOWN_POINTS = {{{0, -2.6, 4.2}, {-5.9, -2.6, 1.0}, {5.9, -2.6, 1.0}}};
constexpr TouchdownTriple BELLY_TOUCHDOWN_POINTS = {
    {{0, -2.2, 1.7}, {-2.697, -0.99, -3.474}, {2.697, -0.99, -3.474}}};
// Surface friction of the two sets: the wheels roll along and grip across, the belly slides.
constexpr double WHEEL_FRICTION_LNG = 0.1;
constexpr double WHEEL_FRICTION_LAT = 0.5;
constexpr double BELLY_FRICTION = 0.5;

// Gear and canopy movers.
constexpr double GEAR_RATE = 0.2;   // per second: a full gear cycle takes 5 s
constexpr double CANOPY_RATE = 0.1; // per second: a canopy opens in 10 s

// One step of a mover: carries pos towards target by rate * dt without passing it.
// Returns true when the part was off its target, so its animation must be set (even for dt 0).
bool MoveTowardsTarget(double& pos, double target, double rate, double dt);

// The hover engine as the class set-up creates it: against the weight with the weight's magnitude; without
// a weight, straight up with no thrust.
struct InitialHoverThrust {
    VECTOR3 dir;
    double max0; // N
};
InitialHoverThrust InitialHoverAim(const VECTOR3& weight);

constexpr size_t MAX_AMMO_CLASS_LENGTH = 27; // characters: the class buffer holds 28 with the terminator
// Whether len characters at text make a projectile class the railgun may create: 1 to 27 characters, no
// blank, and nothing that would make the host look for its files outside its own folders ('/', ':', "..", a
// leading '\\'); a class in a subfolder ("Weapons\\Slug") is one.
bool PlainClassName(const char* text, size_t len);
// Writes why an AMMO class was refused to the host's log.
void RefuseAmmoClass(const char* text, size_t len);

// Airfoil coefficient callbacks: vertical lift by angle of attack, horizontal lift by sideslip.
void VerticalLiftCoeff(VESSEL* v, double aoa, double M, double Re, void* context, double* cl, double* cm,
                       double* cd);
void HorizontalLiftCoeff(VESSEL* v, double beta, double M, double Re, void* context, double* cl, double* cm,
                         double* cd);

// The vessel's own scenario keys, in the order they are saved and matched.
constexpr int SCENARIO_KEY_COUNT = 12;
// Index of the first key whose text begins the line (case-insensitive, over the key's length), or -1.
int MatchScenarioKey(const char* line);
const char* ScenarioKeyName(int key);

// The add-crew dialog state: one 255-byte block whose address is the input boxes' user data; their callback
// finds each text by its offset from the stage byte.
struct AddCrewDialog {
    unsigned char addCrewStage;
    unsigned char addCrewSpare;
    char addCrewName[40];
    char addCrewAge[40];
    char addCrewFunction[173];
};
static_assert(sizeof(AddCrewDialog) == 255, "the add-crew dialog is one 255-byte block");
static_assert(offsetof(AddCrewDialog, addCrewName) == 2, "the name follows the stage and a spare byte");
static_assert(offsetof(AddCrewDialog, addCrewAge) == 42, "the age follows the name");
static_assert(offsetof(AddCrewDialog, addCrewFunction) == 82, "the function follows the age");

class Corvane final : public VESSEL3 {
  public:
    Corvane(OBJHANDLE hVessel, int flightmodel);
    ~Corvane();

    // Host callbacks, in slot order.
    void clbkSetClassCaps(FILEHANDLE cfg) override;
    void clbkSaveState(FILEHANDLE scn) override;
    void clbkLoadStateEx(FILEHANDLE scn, void* status) override;
    void clbkPostCreation() override;
    void clbkPreStep(double simt, double simdt, double mjd) override;
    void clbkPostStep(double simt, double simdt, double mjd) override;
    void clbkVisualCreated(VISHANDLE vis, int refcount) override;
    void clbkVisualDestroyed(VISHANDLE vis, int refcount) override;
    int clbkConsumeDirectKey(char* kstate) override;
    int clbkConsumeBufferedKey(BufferedKeyCode key, bool down, char* kstate) override;
    using VESSEL2::clbkDrawHUD;
    bool clbkDrawHUD(int mode, const HUDPAINTSPEC* hps, oapi::Sketchpad* skp) override;

    // Class configuration and set-up (core/).
    void DefineBeacons();
    void DefineAerodynamics();
    void DefineAnimations();
    void MoveAnimations(double dt);
    void ApplyGearConfiguration(bool gearDown);
    void SetContactPoints(bool gearDown); // the touchdown points of the gear set alone
    void FollowMassWithContactSprings();
    void DefineAttachments();
    void DefineThrusters();
    void DefineMeshes();
    void ReadAmmoClass(FILEHANDLE cfg);
    unsigned int& LampAnim(int lamp); // the twelve lamp ids from dampenersOfflineLightAnim on, by position
    // Scenario lines of the vessel's own keys.
    void FormatScenarioValue(int key, char* buf, size_t size) const;
    void ApplyScenarioValue(int key, const char* line);
    void SyncThrusterFeeds();

    // Flight operations (flight/).
    void UpdateIndicators();
    void HyperspaceStep(double dt);
    void HyperspaceDisplace(double distance);
    void ToggleGear();
    void ToggleBoost();
    void ToggleMainEngine();
    void ToggleShipMeshVisibility();
    void RefuelFromCarrier();
    void RequestCarrierRelease();
    void ToggleCockpitView();
    void AdvanceRailgunCycle();
    void LoadRailgunProjectile(int barrel);
    VECTOR3 ReleasePlaceOffset(const VECTOR3& barrelPos, const MATRIX3& shipAttitude) const;
    void ReleaseRailgunProjectiles();
    void UpdateCockpitMeshVisibility();
    // The pre-step stages, in the order clbkPreStep runs them.
    void CheckCameraMode();
    void AimHoverEngine();
    void ApplyDampenerMass();
    void UpdateAeroControlMode();
    void UpdateWheelBrakes();
    void VectorMainThrust();
    void FollowMainThrottleWithBoost();
    // Key commands beside the toggles above.
    void ShortenHyperspaceJump();
    void LengthenHyperspaceJump();
    void DecreaseHyperspaceStep();
    void IncreaseHyperspaceStep();
    void ToggleHyperspaceDrive();
    void ToggleCanopyP();
    void ToggleCanopyC();
    void ToggleDampeners();
    void ToggleParkingBrake();
    void StartAddCrewDialog();
    void HoverFullThrust();
    void HoverCutOff();

    // Vessel-side crew interaction (crew/).
    void UpdateCrewEvents();
    void CrewEvaAction();
    static bool CrewInputBoxCallback(void* id, InputBoxText str, void* usrdata);

    // Lights and sound
    BEACONLIGHTSPEC beacons[8];
    int soundId;

    // Animations
    unsigned int gearAnim, canopyPAnim, canopyCAnim, ftlTunnelAnim;
    unsigned int boostLightAnim, mainEngineLightAnim;
    // One run of twelve consecutive lamp ids: the class set-up walks it as a block.
    unsigned int dampenersOfflineLightAnim, lowPropellantLightAnim, gearLightAnim, parkingBrakeLightAnim;
    unsigned int spareLightAnims[8];
    double gearPos, gearTarget;
    double canopyPPos, canopyPTarget;
    double canopyCPos, canopyCTarget;

    // Crew
    CrewManager crew;
    int evaSeat;
    AddCrewDialog addCrewDialog;

    // HUD
    char hudMessage[256];
    double hudMessageTimer; // s

    // Flight
    int lastCameraMode;
    THRUSTER_HANDLE hoverThruster, mainThruster, boostThruster;
    bool inertialDampeners, brakeEngaged, boost, mainEngineFed;
    PROPELLANT_HANDLE mainTank;
    double contactMass; // kg: the mass the touchdown springs were last made for

    // Attachment points
    ATTACHMENTHANDLE railAttachLeft, railAttachRight, carrierAttachment;
    ATTACHMENTHANDLE hardpointAttachments[4];

    // Railgun, view, hyperspace
    OBJHANDLE lastProjectile;
    double railCycle;
    int viewIndex;
    int ftlState;
    WORD shipMeshVisibility;
    double hwgTimer;        // s
    double hwgJumpDuration; // s
    double ftlTunnelPhase;  // 0..1
    int hwgStepIndex;

    // Visual and ammunition
    DEVMESHHANDLE visualMesh;
    char ammoClassName[28];
};
