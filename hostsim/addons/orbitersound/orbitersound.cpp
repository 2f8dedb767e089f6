// Stand-in for the OrbiterSound 3.5 add-on: its eleven routines, each call recorded on the host's timeline.
//
// Nothing is played. Each vessel that asks gets an id 0..59; each id has slots 1..60 that remember whether a
// wave was loaded and is playing, so the "is playing" queries answer what a real player would.
// Built three times: complete, without "SoundOption3" (a required routine) and without "GetVersionOBSound3".
#include "stand_in_log.h"

#include <cstdio>

namespace {

constexpr int MAX_IDS = 60;                      // sound ids 0..59
constexpr int MAX_SLOTS = 60;                    // wave slots 1..60
[[maybe_unused]] constexpr int MAX_OPTIONS = 17; // standard vessel sounds 1..17 (a variant leaves them out)
[[maybe_unused]] constexpr int VERSION = 350;    // 3.50 (a variant tells none)
constexpr int NAME_LEN = 64;

struct Slot {
    bool loaded = false;
    bool playing = false;
    int frequency = 0; // Hz, 0 = the wave's own
};

struct SoundUser {
    OBJHANDLE vessel = nullptr;
    char name[NAME_LEN] = {};
    Slot slots[MAX_SLOTS + 1]; // index 0 unused: slots count from 1
    bool radioPlaying = false;
};

SoundUser users[MAX_IDS];
int userCount = 0;

bool ValidId(int id) {
    return id >= 0 && id < userCount;
}
bool ValidSlot(int slot) {
    return slot >= 1 && slot <= MAX_SLOTS;
}

// The vessel's name for the timeline, or the bare number of an id never handed out.
const char* UserName(int id, char* fallback, size_t n) {
    if (ValidId(id)) return users[id].name;
    snprintf(fallback, n, "id %d", id);
    return fallback;
}

void Record(int id, const char* what) {
    char fallback[24];
    char line[256];
    snprintf(line, sizeof line, "sound: %.63s %.180s", UserName(id, fallback, sizeof fallback), what);
    StandInSay(line);
}

} // namespace

DLLCLBK int GetVesselSoundID3(OBJHANDLE vessel) {
    if (!vessel) {
        StandInSay("sound: id asked for a null vessel");
        return -1;
    }
    int id = 0;
    while (id < userCount && users[id].vessel != vessel)
        ++id;
    if (id == MAX_IDS) {
        StandInSay("sound: no sound id left");
        return -1;
    }
    if (id == userCount) {
        users[id] = SoundUser();
        users[id].vessel = vessel;
        ++userCount;
    }
    // Read the name again on every request: a handle may have been reused for a vessel of another name.
    oapiGetObjectName(vessel, users[id].name, NAME_LEN);
    char what[32];
    snprintf(what, sizeof what, "id %d", id);
    Record(id, what);
    return id;
}

DLLCLBK int LoadVesselWaveOBSound3(int id, int slot, char* path, int type) {
    char what[256];
    snprintf(what, sizeof what, "load slot %d %.150s type %d", slot, path ? path : "(null)", type);
    Record(id, what);
    if (!ValidId(id) || !ValidSlot(slot) || !path) return 0;
    users[id].slots[slot] = Slot();
    users[id].slots[slot].loaded = true;
    return 1;
}

// Both play routines share this; the exclusive one only differs in name on the timeline.
static int Play(const char* verb, int id, int slot, int loop, int volume, int last) {
    char what[128];
    snprintf(what, sizeof what, "%s slot %d loop %d volume %d last %d", verb, slot, loop, volume, last);
    Record(id, what);
    if (!ValidId(id) || !ValidSlot(slot) || !users[id].slots[slot].loaded) return 0;
    users[id].slots[slot].playing = true;
    return 1;
}

DLLCLBK int PlayVesselWaveOBSound3(int id, int slot, int loop, int volume, int last) {
    return Play("play", id, slot, loop, volume, last);
}

DLLCLBK int PlayVesselExclusiveWaveOBSound3(int id, int slot, int loop, int volume, int last) {
    if (ValidId(id)) {
        for (Slot& s : users[id].slots)
            s.playing = false;
    }
    return Play("play exclusive", id, slot, loop, volume, last);
}

DLLCLBK int StopVesselWave3(int id, int slot) {
    char what[32];
    snprintf(what, sizeof what, "stop slot %d", slot);
    Record(id, what);
    if (!ValidId(id) || !ValidSlot(slot)) return 0;
    const bool was = users[id].slots[slot].playing;
    users[id].slots[slot].playing = false;
    return was ? 1 : 0;
}

// The two queries, shared: the answer goes on the timeline with the question.
static int AskPlaying(const char* what, int id, int slot, bool radio) {
    int answer = 0;
    if (ValidId(id) && ValidSlot(slot))
        answer = (radio ? users[id].radioPlaying : users[id].slots[slot].playing) ? 1 : 0;
    char line[64];
    snprintf(line, sizeof line, "%s slot %d -> %d", what, slot, answer);
    Record(id, line);
    return answer;
}

DLLCLBK int IsPlayingVesselWave3(int id, int slot) {
    return AskPlaying("is playing", id, slot, false);
}

DLLCLBK int IsPlayingRadioVesselWave(int id, int slot) {
    return AskPlaying("is playing radio", id, slot, true);
}

#ifndef OBSOUND_WITHOUT_SOUNDOPTION
DLLCLBK int SoundOption3(int id, int option, int state) {
    char what[48];
    snprintf(what, sizeof what, "option %d state %d", option, state);
    Record(id, what);
    return ValidId(id) && option >= 1 && option <= MAX_OPTIONS ? 1 : 0;
}
#endif

DLLCLBK int SetFrequency(int id, int slot, int frequency) {
    char what[48];
    snprintf(what, sizeof what, "frequency slot %d %d", slot, frequency);
    Record(id, what);
    if (!ValidId(id) || !ValidSlot(slot)) return 0;
    users[id].slots[slot].frequency = frequency;
    return 1;
}

DLLCLBK int ReplaceStockOBSound3(int id, char* path, int which) {
    char what[256];
    snprintf(what, sizeof what, "replace stock %d %.150s", which, path ? path : "(null)");
    Record(id, what);
    return ValidId(id) && path ? 1 : 0;
}

#ifndef OBSOUND_WITHOUT_VERSION
DLLCLBK int GetVersionOBSound3(void) {
    char line[32];
    snprintf(line, sizeof line, "sound: version %d", VERSION);
    StandInSay(line);
    return VERSION;
}
#endif
