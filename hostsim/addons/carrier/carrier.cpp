// The Carrier stand-in vessel: class capabilities, the release request, and its own scenario lines.
#include "carrier.h"

#include "stand_in_log.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr double HULL_SIZE = 40.0;                           // m
constexpr double EMPTY_MASS = 150000.0;                      // kg
constexpr VECTOR3 PMI = {{120.0, 140.0, 60.0}};              // m^2, per unit mass
constexpr VECTOR3 CROSS_SECTIONS = {{600.0, 1500.0, 300.0}}; // m^2
constexpr VECTOR3 ROT_DRAG = {{0.5, 0.5, 0.5}};
constexpr VECTOR3 TOUCHDOWN_POINTS[3] = {{{0, -8, 30}}, {{-15, -8, -25}}, {{15, -8, -25}}};

// The points a vessel hangs on, under the hull. A child's point is turned to match the parent's, and a
// Corvane's "APR" point faces aft with its up along the ship's up: the same axes here keep a hanging Corvane
// level with the carrier, and a release lets it drop back along the keel.
struct ChildPoint {
    VECTOR3 pos, dir, rot;
};
constexpr ChildPoint CHILD_POINTS[] = {
    {{{0, -12, 5}}, {{0, 0, -1}}, {{0, 1, 0}}},
    {{{-14, -12, 5}}, {{0, 0, -1}}, {{0, 1, 0}}},
};

constexpr char RELEASES_KEY[] = "RELEASES";
constexpr char SEPARATION_KEY[] = "SEPSPEED";

// Case-insensitive match of a key at the start of a line, followed by a blank or the end of the line.
const char* AfterKey(const char* line, const char* key) {
    const size_t n = strlen(key);
    for (size_t i = 0; i < n; ++i) {
        if (!line[i] || toupper(static_cast<unsigned char>(line[i])) != key[i]) return nullptr;
    }
    if (line[n] && line[n] != ' ' && line[n] != '\t') return nullptr;
    return line + n;
}

void Timeline(const char* carrier, const char* what) {
    char line[256];
    snprintf(line, sizeof line, "carrier: %.63s %.180s", carrier, what);
    StandInSay(line);
}

} // namespace

bool ParseReleasesLine(const char* line, int& count) {
    const char* rest = AfterKey(line, RELEASES_KEY);
    if (!rest) return false;
    char* end = nullptr;
    const long v = strtol(rest, &end, 10);
    if (end == rest || v < 0 || v > 1000000000L) return false;
    count = static_cast<int>(v);
    return true;
}

bool ParseSeparationLine(const char* line, double& speed) {
    const char* rest = AfterKey(line, SEPARATION_KEY);
    if (!rest) return false;
    char* end = nullptr;
    const double v = strtod(rest, &end);
    // A negative or absurd speed would throw the child into the hull or out of the system.
    if (end == rest || !(v >= 0.0 && v <= 100.0)) return false;
    speed = v;
    return true;
}

Carrier::Carrier(OBJHANDLE hVessel, int flightmodel)
    : VESSEL3(hVessel, flightmodel), releaseCount(0), separationSpeed(DEFAULT_SEPARATION_SPEED) {}

void Carrier::clbkSetClassCaps(FILEHANDLE) {
    SetSize(HULL_SIZE);
    SetEmptyMass(EMPTY_MASS);
    SetPMI(PMI);
    SetCrossSections(CROSS_SECTIONS);
    SetRotDrag(ROT_DRAG);
    SetTouchdownPoints(TOUCHDOWN_POINTS[0], TOUCHDOWN_POINTS[1], TOUCHDOWN_POINTS[2]);
    // The tank a hanging vessel refuels from: it is the carrier's first and only propellant resource.
    SetDefaultPropellantResource(CreatePropellantResource(TANK_MAX_MASS, -1.0, 1.0));
    for (const ChildPoint& p : CHILD_POINTS)
        CreateAttachment(false, p.pos, p.dir, p.rot, "APR", false);
}

void Carrier::clbkSaveState(FILEHANDLE scn) {
    // Own lines first, then the host's.
    char value[32];
    snprintf(value, sizeof value, "%d", releaseCount);
    oapiWriteScenario_string(scn, const_cast<char*>(RELEASES_KEY), value);
    snprintf(value, sizeof value, "%.3f", separationSpeed);
    oapiWriteScenario_string(scn, const_cast<char*>(SEPARATION_KEY), value);
    SaveDefaultState(scn);
}

void Carrier::clbkLoadStateEx(FILEHANDLE scn, void* status) {
    char* line = nullptr;
    while (oapiReadScenario_nextline(scn, line)) {
        if (AfterKey(line, RELEASES_KEY)) {
            ParseReleasesLine(line, releaseCount);
        } else if (AfterKey(line, SEPARATION_KEY)) {
            ParseSeparationLine(line, separationSpeed);
        } else {
            ParseScenarioLineEx(line, status);
        }
    }
}

int Carrier::clbkConsumeBufferedKey(BufferedKeyCode key, bool, char* kstate) {
    if (key != RELEASE_REQUEST_KEY) return 0;
    if (!kstate) {
        Timeline(GetName(), "release request without an index");
        return 1;
    }
    // The sender's integer need not be aligned for us: copy it out rather than cast the pointer.
    int32_t index = 0;
    memcpy(&index, kstate, sizeof index);
    ReleaseChild(index);
    return 1;
}

bool Carrier::ReleaseChild(int32_t index) {
    char what[160];
    if (index < 0 || index >= AttachmentCount(false)) {
        snprintf(what, sizeof what, "has no child point %d", static_cast<int>(index));
        Timeline(GetName(), what);
        return false;
    }
    ATTACHMENTHANDLE point = GetAttachmentHandle(false, index);
    OBJHANDLE child = GetAttachmentStatus(point);
    if (!child) {
        snprintf(what, sizeof what, "point %d holds nothing", static_cast<int>(index));
        Timeline(GetName(), what);
        return false;
    }
    char childName[64] = "?";
    oapiGetObjectName(child, childName, sizeof childName);
    DetachChild(point, separationSpeed);
    ++releaseCount;
    snprintf(what, sizeof what, "released %.63s from point %d at %.2f m/s", childName,
             static_cast<int>(index), separationSpeed);
    Timeline(GetName(), what);
    return true;
}

DLLCLBK VESSEL* ovcInit(OBJHANDLE hvessel, int flightmodel) {
    return new (std::nothrow) Carrier(hvessel, flightmodel);
}

DLLCLBK void ovcExit(VESSEL* vessel) {
    if (vessel) delete static_cast<Carrier*>(vessel);
}
