// Run-time binding to the OrbiterSound add-on, the four guarded sound calls and the connector's log file.
#include "sound/sound_connector.h"
#include "portable.h"

#include <cstdio>

namespace {

using GetVesselSoundIdFn = int (*)(OBJHANDLE);
using LoadWaveFn = int (*)(int, int, char*, int);
using PlayWaveFn = int (*)(int, int, int, int, int);
using StopWaveFn = int (*)(int, int);
using SoundOptionFn = int (*)(int, int, int);

enum Export {
    LOAD_WAVE,
    PLAY_WAVE,
    PLAY_EXCLUSIVE_WAVE,
    STOP_WAVE,
    IS_PLAYING_WAVE,
    IS_PLAYING_RADIO_WAVE,
    SOUND_OPTION,
    SET_FREQUENCY,
    GET_VESSEL_SOUND_ID,
    REPLACE_STOCK_SOUND,
    GET_VERSION,
    EXPORT_COUNT
};

struct ExportName {
    const char* name;
    bool requiredForRoutines; // missing one of these fails the connect with ERR02
};

// Looked up in this order.
constexpr ExportName EXPORTS[EXPORT_COUNT] = {
    {"LoadVesselWaveOBSound3", true},
    {"PlayVesselWaveOBSound3", true},
    {"PlayVesselExclusiveWaveOBSound3", true},
    {"StopVesselWave3", true},
    {"IsPlayingVesselWave3", true},
    {"IsPlayingRadioVesselWave", true},
    {"SoundOption3", true},
    {"SetFrequency", true},
    {"GetVesselSoundID3", false}, // required too, but it has its own message
    {"ReplaceStockOBSound3", true},
    {"GetVersionOBSound3", false},
};

// Shared by every vessel of the module; nothing is ever unbound.
HMODULE soundModule = nullptr;
FARPROC routines[EXPORT_COUNT] = {};
int logEntries = 0;

constexpr int MAX_LOG_ENTRIES = 101;
constexpr int MAX_SOUND_ID = 59;
constexpr int MAX_SLOT = 60;
constexpr int MAX_OPTION = 17;
constexpr char LOG_FILE[] = "OrbiterSound_Log.txt";
constexpr char LOG_HEADER[] = "Orbiter Sound Log Started\n*****************************\n\n";
constexpr char LOG_SEPARATOR[] = "--------------------------------------\n";

constexpr char ERR_NULL_HANDLE[] =
    "ERR01= Vessel->ConnectToOrbiterSoundDLL3: A vessel passed a NULL handle to this function";
constexpr char ERR_NOT_LOADED[] = "ERR01= Vessel->ConnectToOrbiterSoundDLL3: Unable to connect to "
                                  "OrbiterSound 3.5 - not installed or activated";
constexpr char ERR_MISSING_ROUTINES[] =
    "ERR02= ConnectToOrbiterSoundDLL3: Unable to find routines missing OrbiterSound3.5 ?";
constexpr char ERR_NO_SOUND_ID[] = "ERR03= unable to connect to GetMyID, Older OrbiterSound.dll ?";

int Fail(const char* message) {
    WriteSoundLog(message, "");
    return -1;
}

// Through void(*)(): Windows' FARPROC returns a value, and only the empty signature casts to any other quietly.
template <typename Fn> Fn Routine(Export which) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(routines[which]));
}

// Ids and numbers are tested unsigned, so -1 fails like any other value out of range.
bool InRange(int value, int first, int last) {
    return static_cast<unsigned>(value - first) <= static_cast<unsigned>(last - first);
}

bool ValidSoundId(int soundId) {
    return InRange(soundId, 0, MAX_SOUND_ID);
}

} // namespace

int ConnectToOrbiterSoundDLL3(OBJHANDLE vessel) {
    if (!vessel) return Fail(ERR_NULL_HANDLE);
    // The add-on is never loaded from here: only one the host already runs is used.
    soundModule = GetModuleHandleA("OrbiterSound.dll");
    if (!soundModule) return Fail(ERR_NOT_LOADED);

    for (int i = 0; i < EXPORT_COUNT; ++i)
        routines[i] = GetProcAddress(soundModule, EXPORTS[i].name);
    for (int i = 0; i < EXPORT_COUNT; ++i) {
        if (EXPORTS[i].requiredForRoutines && !routines[i]) return Fail(ERR_MISSING_ROUTINES);
    }
    if (!routines[GET_VESSEL_SOUND_ID]) return Fail(ERR_NO_SOUND_ID);
    return Routine<GetVesselSoundIdFn>(GET_VESSEL_SOUND_ID)(vessel);
}

int LoadVesselWave(int soundId, int slot, char* wavePath, int typeCode) {
    if (!routines[LOAD_WAVE] || !ValidSoundId(soundId) || !InRange(slot, 1, MAX_SLOT)) return 0;
    return Routine<LoadWaveFn>(LOAD_WAVE)(soundId, slot, wavePath, typeCode);
}

int PlayVesselWave(int soundId, int slot, int loop, int volume, int fifth) {
    if (!routines[PLAY_WAVE] || !ValidSoundId(soundId) || !InRange(slot, 1, MAX_SLOT)) return 0;
    return Routine<PlayWaveFn>(PLAY_WAVE)(soundId, slot, loop, volume, fifth);
}

int StopVesselWave(int soundId, int slot) {
    if (!routines[STOP_WAVE] || !ValidSoundId(soundId) || !InRange(slot, 1, MAX_SLOT)) return 0;
    return Routine<StopWaveFn>(STOP_WAVE)(soundId, slot);
}

int SetSoundOption(int soundId, int option, int state) {
    if (!routines[SOUND_OPTION] || !ValidSoundId(soundId) || !InRange(option, 1, MAX_OPTION)) return 0;
    return Routine<SoundOptionFn>(SOUND_OPTION)(soundId, option, state);
}

// A log that can be neither opened nor created loses the entry quietly: sound is never worth a failure.
void WriteSoundLog(const char* first, const char* second) {
    if (logEntries >= MAX_LOG_ENTRIES) return;

    FILE* file = PortableOpen(LOG_FILE, "r+t");
    if (!file) {
        file = PortableOpen(LOG_FILE, "w+t");
        if (!file) return;
        std::fputs(LOG_HEADER, file);
    }
    std::fclose(file);

    file = PortableOpen(LOG_FILE, "a+t");
    if (!file) return;
    std::fputs(LOG_SEPARATOR, file);
    if (first) std::fprintf(file, "%s\n", first);
    if (second) std::fprintf(file, "%s\n", second);
    ++logEntries;
    std::fclose(file);
}
