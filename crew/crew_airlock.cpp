// Crew manager start-up: the airlock slots, the published "UMmu" point and the add-on checks and notice.
#include "crew_manager.h"
#include "crew_text.h"
#include "portable.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

AirlockSlot airlockSlots[AIRLOCK_SLOT_COUNT];
int nextSlotIndex = 0;

namespace {

double addonVersionCache = 0.0; // 0 = not read yet
constexpr size_t VERSION_LINE_CUT = 13;
constexpr double NOTICE_BLINK_SECONDS = 5.0; // the notice blinks for its last seconds
constexpr double NOTICE_CYCLE = 15.0;        // s: the download text shows for the first 10 of each 15
constexpr double NOTICE_DOWNLOAD_PART = 10.0;
constexpr double NOTICE_BLINK_OFF = 0.75; // the last quarter of every second is dark
constexpr size_t DEBUG_LINE_SIZE = 256;   // the host's debug line

} // namespace

// ---------------------------------------------------------------------------
// Airlock slots
// ---------------------------------------------------------------------------

int AirlockSlot::Reset(OBJHANDLE handle) {
    scanTimer = oapiRand();
    for (float& b : airlockBox)
        b = 0.0f;
    airlockDefined = airlockState = dockPort = enteredAge = enteredPulse = 0;
    enteredWeight = 60;
    publishedParam = 1000;
    freeSeats = 1000;
    memset(enteredName, 0, sizeof enteredName);
    enteredVessel = nullptr;
    airlockAttachment = nullptr;
    ownerInterface = nullptr;
    ownerHandle = handle;
    // Without the add-on the slot is still set up: the roster and the airlock work, only EVA and transfer
    // need the add-on's crew vessels.
    const bool addon = CrewManager::IsAddonInstalled() == 1;
    if (!handle) return addon ? -1 : -999;
    ownerInterface = oapiGetVesselInterface(handle);
    if (!ownerInterface) return -1;
    return addon ? 1 : -999;
}

// The point's vectors carry the box, the open state and the seats instead of geometry.
static void AirlockVectors(const AirlockSlot& s, VECTOR3& pos, VECTOR3& dir, VECTOR3& rot) {
    pos = _V(s.airlockBox[0], s.airlockBox[1], s.airlockBox[2]);
    dir = _V(s.airlockBox[3], s.airlockBox[4], s.airlockBox[5]);
    rot = _V(s.airlockState, s.publishedParam, s.freeSeats);
}

int AirlockSlot::Publish(int state, int param, int seats) {
    if (!airlockAttachment || !ownerInterface) return -1;
    airlockState = state;
    publishedParam = param;
    freeSeats = seats;
    VECTOR3 pos, dir, rot;
    AirlockVectors(*this, pos, dir, rot);
    ownerInterface->SetAttachmentParams(airlockAttachment, pos, dir, rot);
    return 1;
}

AirlockSlot& CrewManager::Slot() const {
    int i = slotIndex < 0 ? 0 : (slotIndex >= AIRLOCK_SLOT_COUNT ? AIRLOCK_SLOT_COUNT - 1 : slotIndex);
    return airlockSlots[i];
}

// ---------------------------------------------------------------------------
// Start-up
// ---------------------------------------------------------------------------

int CrewManager::IsAddonInstalled() {
    FILE* f = PortableOpen(ADDON_MODULE_FILE, "rb");
    if (!f) return -999;
    fclose(f);
    return 1;
}

double CrewManager::ReadAddonVersion() {
    if (addonVersionCache != 0.0) return addonVersionCache;
    FILE* f = PortableOpen(ADDON_VERSION_FILE, "r");
    if (!f) return -1.0;
    char line[VERSION_LINE_CUT + 1] = {};
    if (!fgets(line, sizeof line, f)) line[0] = '\0';
    fclose(f);
    addonVersionCache = atof(line);
    return addonVersionCache;
}

int CrewManager::Initialise(OBJHANDLE vessel) {
    if (!vessel) return -1;
    slotIndex = nextSlotIndex;
    int slotResult = Slot().Reset(vessel);
    noticeOutdated = 0;
    // A missing add-on (-999) still gives a working roster: a scenario's crew must not be dropped because
    // nobody can leave the ship. EVA and transfer refuse, and the debug line says why (ShowVersionWarning).
    if (slotResult != 1 && slotResult != -999) {
        noticeUntil = oapiGetSysTime() + NOTICE_DURATION;
        return slotResult;
    }
    addonInstalled = slotResult == 1 ? 1 : 0;
    noticeUntil = 0.0;
    if (!addonInstalled) {
        noticeUntil = oapiGetSysTime() + NOTICE_DURATION;
    } else if (ReadAddonVersion() < ADDON_MIN_VERSION) {
        noticeUntil = oapiGetSysTime() + NOTICE_DURATION;
        noticeOutdated = 1;
    }
    if (nextSlotIndex == 0) LoadIdConfigTable();

    memset(roster, 0, sizeof roster);
    totalCrewMass = 0.0;
    readyFlags = 0;
    crewCount = 0;
    seatCount = 8;
    loadedLines = -1;
    airlockOpen = 1;
    evaReserve = 100;
    evaPosition = _V(0, 0, 3.0);
    evaRotation = _V(0, 0, 0);
    memset(lastLeftName, 0, sizeof lastLeftName);
    memset(lastEnteredName, 0, sizeof lastEnteredName);
    memset(lastRefusedName, 0, sizeof lastRefusedName);
    ownerVessel = vessel;

    readyFlags |= 1;
    nextSlotIndex = nextSlotIndex + 1 < AIRLOCK_SLOT_COUNT ? nextSlotIndex + 1 : AIRLOCK_SLOT_COUNT - 1;
    return slotResult; // 1, or -999: ready to configure all the same, without EVA and transfer
}

int CrewManager::DefineAirlock(int state, float xMin, float xMax, float yMin, float yMax, float zMin,
                               float zMax) {
    // A manager that never initialised has no slot of its own: slot 0 may be another vessel's.
    if (!(readyFlags & 1)) return 0;
    if (xMax < xMin || yMax < yMin || zMax < zMin) return 0;
    if (state != 0 && state != 1) return 0;
    AirlockSlot& s = Slot();
    if (!s.ownerInterface) return 0;
    s.airlockState = state;
    const float box[6] = {xMin, xMax, yMin, yMax, zMin, zMax};
    for (int i = 0; i < 6; ++i)
        s.airlockBox[i] = box[i];
    s.airlockDefined = 1;
    VECTOR3 pos, dir, rot;
    AirlockVectors(s, pos, dir, rot);
    if (!s.airlockAttachment)
        s.airlockAttachment = s.ownerInterface->CreateAttachment(false, pos, dir, rot, "UMmu", false);
    else
        s.ownerInterface->SetAttachmentParams(s.airlockAttachment, pos, dir, rot);
    readyFlags |= 2;
    airlockOpen = state;
    // Members already aboard take seats too (none are when the vessel sets itself up).
    s.Publish(s.airlockState, s.publishedParam, seatCount - crewCount);
    return 1;
}

int CrewManager::SetEvaPlacement(double px, double py, double pz, double rx, double ry, double rz) {
    if (!IsReady()) return 0;
    evaPosition = _V(px, py, pz);
    evaRotation = _V(rx, ry, rz);
    return 1;
}

int CrewManager::SetSeatCount(int n) {
    // Fewer seats than members would publish a negative number of free seats.
    if (!IsReady() || n < 1 || n > MAX_CREW_SEATS || n < crewCount) return 0;
    seatCount = n;
    Slot().Publish(Slot().airlockState, 0, n - crewCount);
    return 1;
}

int CrewManager::SetAirlockOpen(int state) {
    if (!IsReady()) return -1;
    AirlockSlot& s = Slot();
    bool published = s.airlockAttachment && s.ownerInterface;
    if (state != s.airlockState && (state == 0 || state == 1) && published)
        s.Publish(state, s.publishedParam, s.freeSeats);
    airlockOpen = published ? s.airlockState : -1;
    return 1;
}

// ---------------------------------------------------------------------------
// Add-on notice
// ---------------------------------------------------------------------------

bool FormatVersionNotice(const char* className, double t, double noticeUntil, int outdated, char* out,
                         size_t outSize) {
    if (!out || outSize == 0) return false;
    out[0] = '\0';
    if (!className) className = "";
    double left = static_cast<double>(static_cast<float>(noticeUntil - t));
    if (noticeUntil - t > NOTICE_BLINK_SECONDS) {
        if (fmod(t, NOTICE_CYCLE) < NOTICE_DOWNLOAD_PART)
            snprintf(out, outSize, "%s require \"Universal MMU\" ver 2.0 or higher. Download at %s (%0.0f)",
                     className, ADDON_DOWNLOAD_ADDRESS, left);
        else if (outdated == 1)
            snprintf(out, outSize, "Your version of UMMU is outdated (%0.0f)", left);
        else
            snprintf(out, outSize, "UMMU 2.0 will push this addon one step further. (%0.0f)", left);
    } else if (fmod(t, 1.0) < NOTICE_BLINK_OFF) {
        if (outdated == 1)
            snprintf(out, outSize, "Your version of UMMU is outdated (%0.0f)", left);
        else
            snprintf(out, outSize, "Don't Miss Universal MMU 2.0 for Orbiter (UMMU) (%0.0f)", left);
    }
    if (noticeUntil < t) {
        out[0] = '\0';
        return false;
    }
    return true;
}

void CrewManager::ShowVersionWarning(const char* className) {
    char* line = oapiDebugString();
    if (!line) return;
    if (!IsReady() || !HasAddon()) {
        snprintf(line, DEBUG_LINE_SIZE, "%s ERROR UMMU 2.0 not properly initialised in your code.",
                 className ? className : "");
        return;
    }
    if (noticeUntil <= 0.0) return;
    if (!FormatVersionNotice(className, oapiGetSysTime(), noticeUntil, noticeOutdated, line, DEBUG_LINE_SIZE))
        noticeUntil = -1.0;
}
