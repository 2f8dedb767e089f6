// Host-side records of the stand-in host: the world, its vessels and everything their configuration calls set.
#pragma once

#include "Orbitersdk.h"
#include "portable.h"
#include "lib/meshes.h"
#include "physics/physics_state.h"
#include "slots.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Vessel;

namespace hs {

struct LoadedModule;

struct Propellant {
    double maxMass = 0.0; // kg
    double mass = 0.0;    // kg
    double lastGoodMass = 0.0; // kg: the mass when the vessel's state was last all numbers
    double efficiency = 1.0;
};

// Records a vessel's every step reads keep what it reads first, in the slot's first cache line with the header.
struct Thruster {
    double level = 0.0;         // permanent level 0..1
    double overrideLevel = 0.0; // this frame only (direct keys, group overrides)
    Propellant* res = nullptr;
    double max0 = 0.0;          // N at the reference pressure
    double isp0 = 0.0, ispRef = 0.0, pRef = 101.4e3;
    VECTOR3 pos{}, dir{}; // vessel frame; dir is the unit thrust direction
};

struct ThrusterGroup {
    THGROUP_TYPE type = THGROUP_USER;
    std::vector<Thruster*> members;
};

struct Exhaust {
    Thruster* th = nullptr;
    double lscale = 0.0, wscale = 0.0;
    VECTOR3 pos{}, dir{};
    SURFHANDLE tex = nullptr;
};

struct ParticleStream {
    Thruster* th = nullptr;           // null for a re-entry stream
    const double* levelRef = nullptr; // the module's level, once it gives one
    VECTOR3 pos{};
    PARTICLESTREAMSPEC spec{};
};

struct Airfoil {
    AIRFOIL_ORIENTATION align = LIFT_VERTICAL;
    VECTOR3 ref{};
    AirfoilCoeffFuncEx cf = nullptr;
    AirfoilCoeffFunc cfPlain = nullptr; // the older forms' coefficients, when cf is null
    void* context = nullptr;
    double c = 0.0, S = 0.0, A = 0.0;
};

struct ControlSurface {
    AIRCTRL_TYPE type = AIRCTRL_ELEVATOR;
    double area = 0.0, dCl = 0.0;
    VECTOR3 ref{};
    int axis = AIRCTRL_AXIS_AUTO;
    double delay = 1.0; // s for a full deflection
    UINT anim = (UINT)-1;
    double level = 0.0;  // current deflection -1..1
    double target = 0.0; // what the pilot's stick asks for
};

struct Attachment {
    Vessel* other = nullptr;        // child on a parent point, parent on a child point
    Attachment* otherPoint = nullptr;
    bool toParent = false;
    bool loose = false;
    char id[9] = {};
    VECTOR3 pos{}, dir{}, rot{};
};

struct DockPort {
    Vessel* mate = nullptr;
    DockPort* matePort = nullptr;
    VECTOR3 pos{}, dir{}, rot{};
    Vessel* approaching = nullptr; // a port of this vessel came within capture range closing in
    // The port's docking approach transmitter (IDS), when it has one: its channel and range.
    bool ids = false;
    int idsStep = 0;
    double idsRange = 2e4; // m
};

struct AnimComponent {
    double state0 = 0.0, state1 = 1.0;
    MGROUP_TRANSFORM* trans = nullptr;
    AnimComponent* parent = nullptr;
    bool reported = false; // a missing group is counted once, not every frame
    bool checked = false;  // its groups were checked against a mesh there was: once is enough
};

struct Animation {
    double initial = 0.0;
    double state = 0.0;
    bool checked = false; // every component's groups checked (a new component asks again)
    std::vector<SlotPtr<AnimComponent>> components;
};

// One place of a vessel's mesh list: a mesh named by its file, or given by a handle (the template).
struct Mesh {
    std::string name;          // empty for a mesh given by a handle
    const HostMesh* tpl = nullptr; // the handle it was given by, checked before use: a module may delete it
    VECTOR3 ofs{};
    WORD visMode = MESHVIS_EXTERNAL;
    int groupCount = -1; // from Meshes/<name>.msh or the template; -1 when neither says
    std::vector<DWORD> userFlags; // one per group; what oapiEditMeshGroup edits
    bool alive = true;            // a deleted mesh leaves its place, which the next mesh added takes
};

// A device mesh handle (DEVMESHHANDLE) points at one of these while the vessel has a visual.
struct DevMesh {
    int meshIndex = 0;
    Vessel* owner = nullptr;
    std::unique_ptr<HostMesh> copy; // the visual's own geometry, made when first asked for
};

} // namespace hs

// The host's record of one vessel, in a slot of its kind (slots.h). An OBJHANDLE is the address of one of
// these, through the host object base every handle points to.
class Vessel final : public OrbiterObject {
  public:
    int Type() const override { return OBJTP_VESSEL; }
    // What a module's scan over every vessel reads comes first, in the slot's first cache line with its
    // header: the size, the interface and (at the start of the motion state) the position. What every frame
    // reads follows; what set-up, saving and the odd call read comes last. With a thousand vessels a frame's
    // passes over them no longer find their records in the cache, and each line read costs.
    double size = 1.0;
    VESSEL* iface = nullptr;
    hs::PhysicsState phys; // motion: owned by the physics step

    bool deletePending = false;
    bool enableFocus = true;
    bool hostOwnsIface = false; // plain class-file vessels and modules whose ovcInit gave null
    bool nosewheelSteering = false;
    int adCtrlMode = 0; // the host starts every vessel with its control surfaces off
    int attitudeMode = RCS_ROT;
    // Configuration set by the module (or the class file's standard items).
    double emptyMass = 1.0;
    VECTOR3 pmi{{1, 1, 1}}, crossSections{{1, 1, 1}}, rotDrag{{0.01, 0.01, 0.01}}; // the host's defaults
    std::vector<hs::SlotPtr<hs::Thruster>> thrusters;
    std::vector<hs::SlotPtr<hs::Propellant>> propellants;
    std::vector<hs::SlotPtr<hs::ControlSurface>> ctrlSurfaces;
    // The host moves control surfaces by kind, not one by one: each kind's level follows the module's setting
    // plus the pilot's, whether the vessel has a surface of that kind or not.
    double surfaceSetting[6] = {};   // what the module set, -1..1
    double surfaceLevel[6] = {};     // where each kind stands now
    bool surfaceDirect = false;      // a module asked for a jump: every kind jumps on the next step
    double cw[4] = {0.1, 0.3, 0.3, 0.3}; // drag coefficients without airfoils: +z, -z, x, y (the host's defaults)
    std::vector<hs::SlotPtr<hs::Airfoil>> airfoils;
    // Drag elements: the module's own level, read every step, times a factor, at a point.
    struct DragElement {
        const double* drag;
        double factor;
        VECTOR3 ref;
    };
    std::vector<DragElement> dragElements;
    // The older flight model, for a vessel without airfoils (the host's defaults: no lift, no moments).
    LiftCoeffFunc liftCoeff = nullptr;
    double pitchMomentScale = 0.0, bankMomentScale = 0.0, trimScale = 0.0;
    double wingAspect = 1.0, wingEffectiveness = 2.8;
    double cogElevSet = NAN; // m: SetCOG_elev's, until the touchdown points are set again
    double ispDefault = 5e4; // m/s: the Isp of a thruster made without one
    std::vector<hs::SlotPtr<hs::Attachment>> attachments; // creation order, both kinds
    std::vector<hs::SlotPtr<hs::DockPort>> docks;
    // Docking by proximity: the vessel looks at one other vessel a frame, in turn, and not within a second of
    // an undocking.
    size_t dockScan = 0;
    double undockTime = -1000.0;
    std::vector<hs::Animation> animations; // id = index
    // Forces added this step by AddForce (vessel frame), cleared after the physics step.
    struct AddedForce { VECTOR3 F, r; };
    std::vector<AddedForce> addedForces;
    VECTOR3 touchdown[3]{};
    // Spring of each touchdown point, fixed from the empty mass when the points are set, as the host does.
    double touchdownStiffness = 0.0; // N/m; 0 until the points are set: then taken from the empty mass
    double touchdownDamping = 0.0;   // N s/m
    double muLng = 0.1, muLat = 0.5; // the host's default surface friction
    double maxWheelbrakeForce = 2e5;
    double wheelbrake[2] = {0.0, 0.0}; // left, right, 0..1
    std::vector<hs::SlotPtr<hs::ThrusterGroup>> groups;
    hs::Propellant* defaultPropellant = nullptr;
    // The last motion and mass that were all numbers, put back when something makes them not a number (each
    // tank keeps its own).
    hs::Motion lastGood;
    double lastGoodEmptyMass = 1.0;

    std::string name, className;
    // A scenario's BASE line, until the status it came with is applied: the base's name and the pad (0-based).
    std::string scenarioBase;
    int scenarioPad = -1;
    // The name the timeline gives it: the name, with "#n" for the n-th vessel of that name in the run.
    std::string tag;
    hs::LoadedModule* module = nullptr; // null for a plain class-file vessel
    VECTOR3 cameraOffset{};
    VECTOR3 cameraDir{{0, 0, 1}};
    std::vector<hs::SlotPtr<hs::Mesh>> meshes;
    std::vector<BEACONLIGHTSPEC*> beacons;
    std::vector<hs::Exhaust> exhausts;
    std::vector<hs::SlotPtr<hs::ParticleStream>> streams;

    bool hasVisual = false;
    int visualHandleTag = 0;

    // Host bookkeeping.
    std::vector<TOUCHDOWNVTX> touchdownVertices; // as the later SetTouchdownPoints gave them
    std::vector<std::string> ignoredLines;  // scenario lines the host did not know
    VISHANDLE visual = nullptr;
    DWORD xpdr = 0;        // the transponder's channel, when it has one
    bool hasXpdr = false;
    bool landedSeen = false; // landed at the last look of the bases: a touchdown is reported once
    Vessel* altFocus = nullptr; // where the focus goes when this vessel is deleted
    bool enableFocusSet = false;
    // While a vessel is made, the host weighs it only once its module sets its empty mass or its tanks are
    // filled: one without either is put down landed on uncompressed springs.
    bool unweighed = false;
    // Navigation receivers: the host gives two to a vessel that takes the focus when its class is set up.
    std::vector<int> navFreq;
    std::vector<hs::SlotPtr<hs::DevMesh>> devMeshes; // one per mesh index while a visual exists
    // The share of the Sun's disc the vessel saw at its last look, and how long that look holds (s).
    double lightFactor = 1.0, lightFrom = -1.0, lightUntil = -1.0;
    // Lights: held as the kind they were made (the host's light classes have no virtual destructor).
    std::vector<std::shared_ptr<LightEmitter>> emitters;
    double visLimit = 1e-3, spotLimit = 1e-3; // apparent size
    VECTOR3 albedo{{1, 1, 1}};
    struct MfdMode {
        int id;
        MFDMODESPECEX spec; // as registered, its name kept in `name`
        std::string name;
    };
    std::vector<MfdMode> mfdModes;
};

namespace hs {
// A vessel record that is still there (deleted ones go at the end of their frame).
inline bool Alive(const Vessel* v) { return Slots<::Vessel>().IsLive(v); }
} // namespace hs
