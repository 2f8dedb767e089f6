// The Corvane's class configuration: physical make-up, attachment points, engines, beacons, meshes and crew.
#include "corvane.h"
#include "portable.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

struct Vec3 {
    double x, y, z;
};

VECTOR3 V(const Vec3& v) {
    return _V(v.x, v.y, v.z);
}

// Physical make-up of the class.
constexpr double CLASS_SIZE = 8.0;                           // m, mean radius
constexpr Vec3 CLASS_PMI = {4.82, 12.81, 9.246};             // m^2, per unit mass
constexpr Vec3 CLASS_CROSS_SECTIONS = {23.15, 96.75, 13.31}; // m^2
constexpr Vec3 CLASS_ROT_DRAG = {0.05, 0.1, 0.05};
constexpr Vec3 DOCK_POS = {0, 1.3, -1.0};
constexpr Vec3 DOCK_DIR = {0, 1, 0};
constexpr Vec3 DOCK_ROT = {0, 0, -1};

constexpr double TANK_CAPACITY = 10000.0;     // kg
constexpr double ENGINE_ISP = 40000.0;        // m/s, retro, main and attitude thrusters
constexpr double BOOST_ISP = 10000.0;         // m/s
constexpr double HOVER_ISP = 400000.0;        // m/s
constexpr double ISP_REF_PRESSURE = 101400.0; // Pa
constexpr double MAIN_THRUST = 200000.0;      // N, main and retro alike
constexpr double BOOST_THRUST = 225000.0;     // N
constexpr double RCS_THRUST = 1000.0;         // N each

constexpr char WELCOME_MESSAGE[] = "Welcome aboard ! E=EVA  M=add crew";
constexpr double WELCOME_SECONDS = 15.0;
constexpr char DEFAULT_AMMO_CLASS[] = "Pellorin";

// Attachment points, in creation order: the carrier point, the two railgun barrels, four hardpoints.
struct AttachmentSpec {
    bool toParent;
    Vec3 pos, dir, rot;
    const char* id;
};
constexpr AttachmentSpec ATTACHMENTS[7] = {
    {true, {0, -2.6, 0}, {0, 0, -1}, {0, 1, 0}, "APR"},
    {false, {-1.165, 0, 3.8}, {0, 0, 1}, {0, 1, 0}, "GUN"},
    {false, {1.165, 0, 3.8}, {0, 0, 1}, {0, 1, 0}, "GUN"},
    {false, {-4.77, -1.22, 1.71}, {0, -1, 0}, {0, 0, 1}, "AHP"},
    {false, {4.77, -1.22, 1.71}, {0, -1, 0}, {0, 0, 1}, "AHP"},
    {false, {-3.94, -0.961, 1.71}, {0, -1, 0}, {0, 0, 1}, "AHP"},
    {false, {3.94, -0.961, 1.71}, {0, -1, 0}, {0, 0, 1}, "AHP"},
};

// Attitude thrusters RCS 1 to RCS 14.
struct ThrusterSpec {
    Vec3 pos, dir;
};
constexpr int RCS_COUNT = 14;
constexpr ThrusterSpec RCS_THRUSTERS[RCS_COUNT] = {
    {{1, 0, 3}, {0, 1, 0}},  {{1, 0, 3}, {0, -1, 0}},  {{-1, 0, 3}, {0, 1, 0}},  {{-1, 0, 3}, {0, -1, 0}},
    {{1, 0, -3}, {0, 1, 0}}, {{1, 0, -3}, {0, -1, 0}}, {{-1, 0, -3}, {0, 1, 0}}, {{-1, 0, -3}, {0, -1, 0}},
    {{1, 0, 3}, {-1, 0, 0}}, {{-1, 0, 3}, {1, 0, 0}},  {{1, 0, -3}, {-1, 0, 0}}, {{-1, 0, -3}, {1, 0, 0}},
    {{0, 0, -3}, {0, 0, 1}}, {{0, 0, 3}, {0, 0, -1}},
};
constexpr Vec3 ENGINE_POS = {0, 0, -4.35}; // retro, main and boost share the nozzle

// Attitude groups; members are RCS numbers (1-based), 0 ends a shorter list.
struct GroupSpec {
    THGROUP_TYPE type;
    int members[4];
};
constexpr GroupSpec RCS_GROUPS[12] = {
    {THGROUP_ATT_PITCHUP, {1, 3, 6, 8}},  {THGROUP_ATT_PITCHDOWN, {2, 4, 5, 7}},
    {THGROUP_ATT_BANKLEFT, {1, 5, 4, 8}}, {THGROUP_ATT_BANKRIGHT, {2, 6, 3, 7}},
    {THGROUP_ATT_UP, {1, 5, 3, 7}},       {THGROUP_ATT_DOWN, {2, 6, 4, 8}},
    {THGROUP_ATT_YAWLEFT, {9, 12, 0, 0}}, {THGROUP_ATT_YAWRIGHT, {10, 11, 0, 0}},
    {THGROUP_ATT_LEFT, {9, 11, 0, 0}},    {THGROUP_ATT_RIGHT, {10, 12, 0, 0}},
    {THGROUP_ATT_FORWARD, {13, 0, 0, 0}}, {THGROUP_ATT_BACK, {14, 0, 0, 0}},
};

// Exhaust flames: one or two positions per thruster, all sharing one direction.
struct ExhaustSpec {
    double lscale, wscale;
    int count;
    Vec3 pos[2];
    Vec3 dir;
};
constexpr ExhaustSpec RETRO_EXHAUST = {8.0, 1.0, 2, {{2.7, -0.455, 3.5}, {-2.7, -0.455, 3.5}}, {0, 0, 1}};
constexpr ExhaustSpec MAIN_EXHAUST = {8.0, 1.0, 2, {{-2.7, -0.415, -4.6}, {2.7, -0.415, -4.6}}, {0, 0, -1}};
constexpr ExhaustSpec BOOST_EXHAUST = {9.0, 2.0, 1, {{0, 0, -5.1}, {0, 0, 0}}, {0, 0, -1}};
constexpr ExhaustSpec RCS_EXHAUSTS[RCS_COUNT] = {
    {0.75, 0.05, 2, {{2.05, -0.3, 3.21}, {1.7, -0.2, 3.21}}, {0, -1, 0}},
    {0.75, 0.05, 2, {{2.05, 0.048, 3.21}, {1.7, 0.14, 3.21}}, {0, 1, 0}},
    {0.75, 0.05, 2, {{-2.05, -0.3, 3.21}, {-1.7, -0.2, 3.21}}, {0, -1, 0}},
    {0.75, 0.05, 2, {{-2.05, 0.048, 3.21}, {-1.7, 0.14, 3.21}}, {0, 1, 0}},
    {0.75, 0.05, 2, {{2.05, -0.3, -3.21}, {1.7, -0.4, -3.21}}, {0, -1, 0}},
    {0.75, 0.05, 2, {{2.05, -0.06, -3.21}, {1.7, 0.04, -3.21}}, {0, 1, 0}},
    {0.75, 0.05, 2, {{-2.05, -0.3, -3.21}, {-1.7, -0.4, -3.21}}, {0, -1, 0}},
    {0.75, 0.05, 2, {{-2.05, -0.06, -3.21}, {-1.7, 0.04, -3.21}}, {0, 1, 0}},
    {0.75, 0.05, 2, {{3.54, -0.4, 2.21}, {3.54, -0.4, 2.41}}, {1, 0, 0}},
    {0.75, 0.05, 2, {{-3.54, -0.4, 2.21}, {-3.54, -0.4, 2.41}}, {-1, 0, 0}},
    {0.75, 0.05, 2, {{3.24, -0.4, -2.65}, {3.24, -0.4, -2.85}}, {1, 0, 0}},
    {0.75, 0.05, 2, {{-3.24, -0.4, -2.65}, {-3.24, -0.4, -2.85}}, {-1, 0, 0}},
    {0.75, 0.05, 2, {{2.7, -0.415, -4.5}, {-2.7, -0.415, -4.5}}, {0, 0, -1}},
    {0.75, 0.05, 2, {{2.7, -0.455, 3.1}, {-2.7, -0.455, 3.1}}, {0, 0, 1}},
};

// Particle streams: smoke (A) and glow (B). The host takes a non-const record, so these live in
// class-wide storage rather than in read-only tables.
// clang-format off
//                                  flags srcsize srcrate v0     spread lifetime growth slowdown
PARTICLESTREAMSPEC SMOKE_STREAM = {0,    5.0,    16.0,   200.0, 0.15,  1.0,     5.0,   3.0,
                                   PARTICLESTREAMSPEC::DIFFUSE, PARTICLESTREAMSPEC::LVL_PSQRT, 0.0, 2.0,
                                   PARTICLESTREAMSPEC::ATM_PLOG, 0.0001, 1.0, nullptr};
PARTICLESTREAMSPEC GLOW_STREAM = {0,     2.0,    20.0,   200.0, 0.05,  0.1,     8.0,   1.0,
                                  PARTICLESTREAMSPEC::EMISSIVE, PARTICLESTREAMSPEC::LVL_SQRT, 0.0, 1.0,
                                  PARTICLESTREAMSPEC::ATM_PLOG, 0.00001, 0.1, nullptr};
// clang-format on

enum class StreamSource { Main, Boost };
struct StreamSpec {
    StreamSource source;
    Vec3 pos;
    bool smoke; // smoke record, else glow
};
constexpr StreamSpec EXHAUST_STREAMS[6] = {
    {StreamSource::Main, {-2.7, -0.415, -5.1}, true}, {StreamSource::Main, {-2.7, -0.415, -5.1}, false},
    {StreamSource::Main, {2.7, -0.415, -5.1}, true},  {StreamSource::Main, {2.7, -0.415, -5.1}, false},
    {StreamSource::Boost, {0, 0, -5.5}, true},        {StreamSource::Boost, {0, 0, -5.5}, false},
};

// Beacons 0 to 3 are steady diffuse lights, 4 to 7 blinking stars.
struct BeaconSpec {
    int shape;
    Vec3 pos, col;
    double size, falloff, period, duration, tofs;
};
constexpr int BEACON_COUNT = 8;
constexpr BeaconSpec BEACONS[BEACON_COUNT] = {
    {BEACONSHAPE_DIFFUSE, {-8.339, -2.194, 4.048}, {1.0, 0.5, 0.5}, 0.3, 0.4, 0.0, 0.1, 1.2},
    {BEACONSHAPE_DIFFUSE, {8.339, -2.194, 4.048}, {0.5, 1.0, 0.5}, 0.3, 0.4, 0.0, 0.1, 1.0},
    {BEACONSHAPE_DIFFUSE, {-2.135, 1.597, -1.169}, {1, 1, 1}, 0.3, 0.4, 0.0, 0.1, 0.8},
    {BEACONSHAPE_DIFFUSE, {2.135, 1.597, -1.169}, {1, 1, 1}, 0.3, 0.4, 0.0, 0.1, 0.6},
    {BEACONSHAPE_STAR, {0, 1.481, 1.337}, {1.0, 0.6, 0.6}, 0.55, 0.6, 2.0, 0.1, 0.4},
    {BEACONSHAPE_STAR, {0, -1.095, 1.337}, {1.0, 0.6, 0.6}, 0.55, 0.6, 2.0, 0.1, 0.2},
    {BEACONSHAPE_STAR, {-8.339, -2.194, 1.817}, {1, 1, 1}, 0.55, 0.6, 1.13, 0.05, 0.0},
    {BEACONSHAPE_STAR, {8.339, -2.194, 1.817}, {1, 1, 1}, 0.55, 0.6, 1.13, 0.05, -0.2},
};
// The host keeps pointers to every beacon's position and colour: one class-wide copy serves all vessels.
VECTOR3 beaconPositions[BEACON_COUNT];
VECTOR3 beaconColours[BEACON_COUNT];

// Crew aboard a new vessel.
struct CrewDefault {
    const char* name;
    int age, pulse, weight;
    const char* functionCode;
};
constexpr CrewDefault DEFAULT_CREW[2] = {
    {"Ilse Marrow", 35, 65, 74, "Capt"},
    {"Teodor Vanke", 41, 65, 74, "Sci"},
};
constexpr int SEAT_COUNT = 2;

// Meshes: the hyperspace tunnel must be index 0 and the ship index 1.
constexpr unsigned int TUNNEL_MESH = 0;
constexpr unsigned int SHIP_MESH = 1;
constexpr WORD SHIP_MESH_VISIBILITY = MESHVIS_ALWAYS;

void AddExhausts(VESSEL* v, THRUSTER_HANDLE th, const ExhaustSpec& e) {
    for (int i = 0; i < e.count; ++i)
        v->AddExhaust(th, e.lscale, e.wscale, V(e.pos[i]), V(e.dir));
}

} // namespace

InitialHoverThrust InitialHoverAim(const VECTOR3& weight) {
    const double l = std::sqrt(weight.x * weight.x + weight.y * weight.y + weight.z * weight.z);
    // Without a weight there is no direction to push against: point it up and give it no thrust.
    if (!(l > 0.0) || !std::isfinite(l)) return {_V(0, 1, 0), 0.0};
    return {_V(weight.x / -l, weight.y / -l, weight.z / -l), l};
}

void Corvane::clbkSetClassCaps(FILEHANDLE cfg) {
    gearTarget = gearPos = 0.0;
    canopyPTarget = canopyPPos = 0.0;
    canopyCTarget = canopyCPos = 0.0;

    // The crew manager must know its vessel before any other crew call.
    crew.Initialise(GetHandle());
    evaSeat = -1;
    CrewManager::ReadAddonVersion();
    crew.DefineAirlock(0, -1.5f, 1.5f, -2.5f, 3.0f, 1.0f, 4.0f);
    crew.SetEvaPlacement(0, 0.5, 3.5, 0, 0, 1);
    crew.SetSeatCount(SEAT_COUNT);
    for (const CrewDefault& m : DEFAULT_CREW)
        crew.AddMember(m.name, m.age, m.pulse, m.weight, m.functionCode);

    hudMessageTimer = WELCOME_SECONDS;
    std::snprintf(hudMessage, sizeof hudMessage, "%s", WELCOME_MESSAGE);
    addCrewDialog.addCrewStage = 0;

    SetSize(CLASS_SIZE);
    SetEmptyMass(BASE_EMPTY_MASS);
    SetPMI(V(CLASS_PMI));
    SetCrossSections(V(CLASS_CROSS_SECTIONS));
    SetRotDrag(V(CLASS_ROT_DRAG));
    SetContactPoints(true);

    inertialDampeners = true;
    DefineBeacons();
    DefineAnimations();
    SetDockParams(V(DOCK_POS), V(DOCK_DIR), V(DOCK_ROT));
    DefineAttachments();
    DefineAerodynamics();
    SetNosewheelSteering(true);
    DefineThrusters();
    SetCameraOffset(_V(CAMERA_OFFSETS[0].x, CAMERA_OFFSETS[0].y, CAMERA_OFFSETS[0].z));
    DefineMeshes();

    hwgJumpDuration = 1.0;
    hwgStepIndex = 1;
    ftlState = 0;
    ftlTunnelPhase = 0.0;

    // The boost and main-engine lamps keep their initial state until the first step sets them.
    for (int lamp = 0; lamp < 12; ++lamp)
        SetAnimation(LampAnim(lamp), 0.0);

    ReadAmmoClass(cfg);
}

void Corvane::DefineBeacons() {
    static bool tableBuilt = false;
    for (int i = 0; i < BEACON_COUNT && !tableBuilt; ++i) {
        beaconPositions[i] = V(BEACONS[i].pos);
        beaconColours[i] = V(BEACONS[i].col);
    }
    tableBuilt = true;
    for (int i = 0; i < BEACON_COUNT; ++i) {
        const BeaconSpec& b = BEACONS[i];
        beacons[i].shape = b.shape;
        beacons[i].pos = &beaconPositions[i];
        beacons[i].col = &beaconColours[i];
        beacons[i].size = b.size;
        beacons[i].falloff = b.falloff;
        beacons[i].period = b.period;
        beacons[i].duration = b.duration;
        beacons[i].tofs = b.tofs;
        beacons[i].active = false;
        AddBeacon(&beacons[i]);
        beacons[i].active = true;
    }
}

void Corvane::DefineAttachments() {
    ATTACHMENTHANDLE* const targets[7] = {
        &carrierAttachment,       &railAttachLeft,          &railAttachRight,        &hardpointAttachments[0],
        &hardpointAttachments[1], &hardpointAttachments[2], &hardpointAttachments[3]};
    for (int i = 0; i < 7; ++i) {
        const AttachmentSpec& a = ATTACHMENTS[i];
        *targets[i] = CreateAttachment(a.toParent, V(a.pos), V(a.dir), V(a.rot), a.id, false);
    }
}

void Corvane::DefineThrusters() {
    mainTank = CreatePropellantResource(TANK_CAPACITY, -1.0, 1.0);

    THRUSTER_HANDLE retro =
        CreateThruster(V(ENGINE_POS), _V(0, 0, -1), MAIN_THRUST, mainTank, ENGINE_ISP, 0.0, ISP_REF_PRESSURE);
    CreateThrusterGroup(&retro, 1, THGROUP_RETRO);
    AddExhausts(this, retro, RETRO_EXHAUST);

    // The boost engine starts without propellant: it gives thrust only once the pilot connects it.
    mainThruster =
        CreateThruster(V(ENGINE_POS), _V(0, 0, 1), MAIN_THRUST, mainTank, ENGINE_ISP, 0.0, ISP_REF_PRESSURE);
    boostThruster =
        CreateThruster(V(ENGINE_POS), _V(0, 0, 1), BOOST_THRUST, nullptr, BOOST_ISP, 0.0, ISP_REF_PRESSURE);
    CreateThrusterGroup(&mainThruster, 1, THGROUP_MAIN);
    AddExhausts(this, mainThruster, MAIN_EXHAUST);
    AddExhausts(this, boostThruster, BOOST_EXHAUST);
    boost = false;
    mainEngineFed = true;

    for (const StreamSpec& s : EXHAUST_STREAMS)
        AddExhaustStream(s.source == StreamSource::Main ? mainThruster : boostThruster, V(s.pos),
                         s.smoke ? &SMOKE_STREAM : &GLOW_STREAM);

    // The hover engine pushes against the weight; each step re-aims and re-scales it.
    VECTOR3 w = _V(0, 0, 0);
    GetWeightVector(w);
    const InitialHoverThrust hover = InitialHoverAim(w);
    hoverThruster =
        CreateThruster(_V(0, 0, 0), hover.dir, hover.max0, mainTank, HOVER_ISP, 0.0, ISP_REF_PRESSURE);
    CreateThrusterGroup(&hoverThruster, 1, THGROUP_HOVER);

    // The attitude groups are the only holders of the RCS handles.
    THRUSTER_HANDLE rcs[RCS_COUNT];
    for (int i = 0; i < RCS_COUNT; ++i)
        rcs[i] = CreateThruster(V(RCS_THRUSTERS[i].pos), V(RCS_THRUSTERS[i].dir), RCS_THRUST, mainTank,
                                ENGINE_ISP, 0.0, ISP_REF_PRESSURE);
    for (int i = 0; i < RCS_COUNT; ++i)
        AddExhausts(this, rcs[i], RCS_EXHAUSTS[i]);
    for (const GroupSpec& g : RCS_GROUPS) {
        THRUSTER_HANDLE members[4];
        int n = 0;
        for (int m : g.members)
            if (m > 0) members[n++] = rcs[m - 1];
        CreateThrusterGroup(members, n, g.type);
    }
}

void Corvane::DefineMeshes() {
    AddMesh("corvane-hspace");
    AddMesh("Corvane");
    shipMeshVisibility = SHIP_MESH_VISIBILITY;
    SetMeshVisibilityMode(SHIP_MESH, SHIP_MESH_VISIBILITY);
    SetMeshVisibilityMode(TUNNEL_MESH, MESHVIS_COCKPIT);
}

void Corvane::ReadAmmoClass(FILEHANDLE cfg) {
    // The host copies the whole value without a bound; its lines hold at most 511 characters.
    char value[512] = {};
    const bool found = oapiReadItem_string(cfg, (char*)"AMMO", value);
    value[sizeof value - 1] = '\0';
    const size_t len = std::strlen(value);
    if (found && PlainClassName(value, len)) {
        std::memcpy(ammoClassName, value, len + 1);
        return;
    }
    std::snprintf(ammoClassName, sizeof ammoClassName, "%s", DEFAULT_AMMO_CLASS);
    if (found) RefuseAmmoClass(value, len);
}

// A name that does not fit the 27 characters of the class buffer is refused, not cut; so is one with a blank,
// which its scenario line ("AMMO" and one word) could not carry back, and one that names a path.
bool PlainClassName(const char* text, size_t len) {
    if (!text || len == 0 || len > MAX_AMMO_CLASS_LENGTH) return false;
    for (size_t i = 0; i < len; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        // A class in a subfolder of the host's class folder ("Weapons\\Slug") stays a class; a leading backslash
        // would start at the root of the drive.
        if (std::isspace(c) || c == '/' || c == ':' || (c == '\\' && i == 0)) return false;
        if (c == '.' && i + 1 < len && text[i + 1] == '.') return false;
    }
    return true;
}

// The pilot learns from the host's log why the railgun keeps its class.
void RefuseAmmoClass(const char* text, size_t len) {
    char line[128];
    std::snprintf(line, sizeof line,
                  "Corvane: AMMO class \"%.*s\" refused: not a plain class name of 1 to %d characters",
                  len > 60 ? 60 : (int)len, text, (int)MAX_AMMO_CLASS_LENGTH);
    oapiWriteLog(line);
}

unsigned int& Corvane::LampAnim(int lamp) {
    switch (lamp) {
    case 0:
        return dampenersOfflineLightAnim;
    case 1:
        return lowPropellantLightAnim;
    case 2:
        return gearLightAnim;
    case 3:
        return parkingBrakeLightAnim;
    default:
        return spareLightAnims[lamp - 4];
    }
}
