// The Corvane's scenario lines: saving and loading the vessel's own twelve keys, and the ground contact sets.
#include "corvane.h"
#include "portable.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum ScenarioKey { FTL, HWIN, GEAR, CANP, CANC, VIS, VIEW, BRAKE, MAIN, BOOST, INDMP, AMMO };

// Keys in saving and matching order; a line matches a key when it begins with it, in any letter case.
constexpr const char* SCENARIO_KEYS[SCENARIO_KEY_COUNT] = {"FTL",  "HWIN",  "GEAR", "CANP",  "CANC",  "VIS",
                                                           "VIEW", "BRAKE", "MAIN", "BOOST", "INDMP", "AMMO"};

constexpr size_t LINE_VALUE_SIZE = 256;

// Ground contact: wheels with the gear down, the belly with it up.
struct ContactSet {
    bool nosewheelSteering;
    double maxWheelbrakeForce; // N
    double frictionLng, frictionLat;
};
constexpr ContactSet GEAR_DOWN_CONTACT = {true, 200000.0, WHEEL_FRICTION_LNG, WHEEL_FRICTION_LAT};
constexpr ContactSet GEAR_UP_CONTACT = {false, 0.0, BELLY_FRICTION, BELLY_FRICTION};

bool StartsWithKey(const char* line, const char* key) {
    for (; *key; ++key, ++line) {
        if (*line == '\0') return false;
        if (std::toupper(static_cast<unsigned char>(*line)) != std::toupper(static_cast<unsigned char>(*key)))
            return false;
    }
    return true;
}

// A double as the vessel saves it: with three decimals, the precision of its lines. Only a value far beyond any
// flight, whose three-decimal text would not fit its field, is written with the fewest significant digits that
// read back as itself. A value that rounds to zero, negative zero among them, is written "0.000".
void FormatThreeDecimals(double v, char* buf, size_t size) {
    const int n = std::snprintf(buf, size, "%0.3f", v);
    if (n >= 0 && static_cast<size_t>(n) < size) {
        if (std::strcmp(buf, "-0.000") == 0) std::snprintf(buf, size, "0.000");
        return;
    }
    for (int digits = 15; digits <= 17; ++digits) {
        std::snprintf(buf, size, "%.*g", digits, v);
        if (std::strtod(buf, nullptr) == v) return;
    }
}

// Only finite numbers are taken: an infinity or a NaN could not be saved so that it reads back as itself.
bool Usable(double v) {
    return std::isfinite(v);
}

// A flag line sets its flag only when it holds a readable integer.
void ReadFlag(const char* value, bool& flag) {
    int n = 0;
    if (std::sscanf(value, "%d", &n) == 1) flag = (n != 0);
}

void ReadPair(const char* value, double& pos, double& target) {
    double a = pos, b = target;
    const int got = std::sscanf(value, "%lf%lf", &a, &b);
    if (got >= 1 && Usable(a)) pos = a;
    if (got >= 2 && Usable(b)) target = b;
}

// "a b" of two doubles; each field holds any value of a flight with three decimals and leaves the line room.
constexpr size_t NUMBER_FIELD_SIZE = 72;

void FormatPair(double a, double b, char* buf, size_t size) {
    char first[NUMBER_FIELD_SIZE], second[NUMBER_FIELD_SIZE];
    FormatThreeDecimals(a, first, sizeof first);
    FormatThreeDecimals(b, second, sizeof second);
    std::snprintf(buf, size, "%s %s", first, second);
}

} // namespace

int MatchScenarioKey(const char* line) {
    if (!line) return -1;
    for (int k = 0; k < SCENARIO_KEY_COUNT; ++k)
        if (StartsWithKey(line, SCENARIO_KEYS[k])) return k;
    return -1;
}

const char* ScenarioKeyName(int key) {
    return key >= 0 && key < SCENARIO_KEY_COUNT ? SCENARIO_KEYS[key] : "";
}

void Corvane::clbkSaveState(FILEHANDLE scn) {
    SaveDefaultState(scn);
    crew.SaveCrew(scn);
    char value[LINE_VALUE_SIZE];
    for (int k = 0; k < SCENARIO_KEY_COUNT; ++k) {
        FormatScenarioValue(k, value, sizeof value);
        oapiWriteScenario_string(scn, (char*)SCENARIO_KEYS[k], value);
    }
}

void Corvane::FormatScenarioValue(int key, char* buf, size_t size) const {
    switch (key) {
    case FTL:
        std::snprintf(buf, size, "%0.4f", (double)ftlState);
        break;
    case HWIN: {
        char times[2 * NUMBER_FIELD_SIZE];
        FormatPair(hwgTimer, hwgJumpDuration, times, sizeof times);
        std::snprintf(buf, size, "%s %d", times, hwgStepIndex);
        break;
    }
    case GEAR:
        FormatPair(gearPos, gearTarget, buf, size);
        break;
    case CANP:
        FormatPair(canopyPPos, canopyPTarget, buf, size);
        break;
    case CANC:
        FormatPair(canopyCPos, canopyCTarget, buf, size);
        break;
    case VIS:
        std::snprintf(buf, size, "%x", (unsigned)shipMeshVisibility);
        break;
    case VIEW:
        std::snprintf(buf, size, "%d", viewIndex);
        break;
    case BRAKE:
        std::snprintf(buf, size, "%d", brakeEngaged ? 1 : 0);
        break;
    case MAIN:
        std::snprintf(buf, size, "%d", mainEngineFed ? 1 : 0);
        break;
    case BOOST:
        std::snprintf(buf, size, "%d", boost ? 1 : 0);
        break;
    case INDMP:
        std::snprintf(buf, size, "%d", inertialDampeners ? 1 : 0);
        break;
    case AMMO:
        std::snprintf(buf, size, "%s", ammoClassName);
        break;
    default:
        if (size > 0) buf[0] = '\0';
        break;
    }
}

void Corvane::clbkLoadStateEx(FILEHANDLE scn, void* status) {
    char* line = nullptr;
    while (oapiReadScenario_nextline(scn, line)) {
        if (crew.LoadCrewLine(line) == 1) continue;
        const int key = MatchScenarioKey(line);
        if (key < 0)
            ParseScenarioLineEx(line, status);
        else
            ApplyScenarioValue(key, line);
    }
    UpdateCockpitMeshVisibility();
    SetCameraOffset(
        _V(CAMERA_OFFSETS[viewIndex].x, CAMERA_OFFSETS[viewIndex].y, CAMERA_OFFSETS[viewIndex].z));
    // A gear saved while still moving is taken as already at its target.
    ApplyGearConfiguration(gearTarget != 1.0);
    SyncThrusterFeeds();
}

void Corvane::ApplyScenarioValue(int key, const char* line) {
    const char* value = line + std::strlen(SCENARIO_KEYS[key]);
    switch (key) {
    case FTL: {
        double v = 0.0;
        // A value with no integer part that fits an int is as unreadable as a missing one.
        if (std::sscanf(value, "%lf", &v) == 1 && std::isfinite(v) && v > (double)INT_MIN - 1.0 &&
            v < (double)INT_MAX + 1.0)
            ftlState = (int)v;
        break;
    }
    case HWIN: {
        double timer = hwgTimer, duration = hwgJumpDuration;
        long long step = hwgStepIndex;
        const int got = std::sscanf(value, "%lf%lf%lld", &timer, &duration, &step);
        if (got >= 1 && Usable(timer)) hwgTimer = timer;
        if (got >= 2 && Usable(duration)) hwgJumpDuration = duration;
        // A step index beyond the integer range would save as a different number.
        if (got >= 3 && step >= INT_MIN && step <= INT_MAX) hwgStepIndex = (int)step;
        break;
    }
    case GEAR:
        ReadPair(value, gearPos, gearTarget);
        SetAnimation(gearAnim, gearPos);
        break;
    case CANP:
        ReadPair(value, canopyPPos, canopyPTarget);
        SetAnimation(canopyPAnim, canopyPPos);
        break;
    case CANC:
        ReadPair(value, canopyCPos, canopyCTarget);
        SetAnimation(canopyCAnim, canopyCPos);
        break;
    case VIS: {
        unsigned int mode = 0;
        if (std::sscanf(value, "%x", &mode) == 1) shipMeshVisibility = (WORD)(mode & 0xFFFF);
        break;
    }
    case VIEW: {
        int view = 0;
        // CAMERA_OFFSETS has two seats only: any other view is taken as the first seat.
        if (std::sscanf(value, "%d", &view) == 1) viewIndex = (view == 0 || view == 1) ? view : 0;
        break;
    }
    case BRAKE:
        ReadFlag(value, brakeEngaged);
        break;
    case MAIN:
        ReadFlag(value, mainEngineFed);
        break;
    case BOOST:
        ReadFlag(value, boost);
        break;
    case INDMP:
        ReadFlag(value, inertialDampeners);
        break;
    case AMMO: {
        // The class name starts after the key and one separator; a bare "AMMO" has none.
        if (std::strlen(line) < 5) break;
        const char* text = line + 5;
        int start = 0, end = 0;
        if (std::sscanf(text, " %n%*s%n", &start, &end) < 0 || end <= start) break;
        const int len = end - start;
        // A name longer than the buffer is refused whole rather than cut to a different class, and one that
        // names a path rather than a class is refused too.
        if (!PlainClassName(text + start, (size_t)len)) {
            RefuseAmmoClass(text + start, (size_t)len);
            break;
        }
        std::snprintf(ammoClassName, sizeof ammoClassName, "%.*s", len, text + start);
        break;
    }
    default:
        break;
    }
}

void Corvane::ApplyGearConfiguration(bool gearDown) {
    const ContactSet& c = gearDown ? GEAR_DOWN_CONTACT : GEAR_UP_CONTACT;
    SetContactPoints(gearDown);
    SetNosewheelSteering(c.nosewheelSteering);
    SetMaxWheelbrakeForce(c.maxWheelbrakeForce);
    SetSurfaceFrictionCoeff(c.frictionLng, c.frictionLat);
}

void Corvane::SyncThrusterFeeds() {
    // The flags say which engines burn from the tank; a loaded flag brings its feed along.
    SetThrusterResource(mainThruster, mainEngineFed ? mainTank : nullptr);
    SetThrusterResource(boostThruster, boost ? mainTank : nullptr);
}
