// A recording fake of the sound add-on for the connector's tests; compiled once whole and once per missing
// export.
#include <cstdio>
#include <string>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
std::string calls; // one "name args;" entry per call, in order
[[maybe_unused]] constexpr int FAKE_SOUND_ID = 7; // a variant without GetVesselSoundID3 leaves it unused

int Record(const char* text, int result) {
    calls += text;
    calls += ';';
    return result;
}
} // namespace

FAKE_EXPORT const char* FakeSoundCalls() {
    return calls.c_str();
}

#ifndef FAKE_WITHOUT_GET_ID
FAKE_EXPORT int GetVesselSoundID3(void* vessel) {
    return Record(vessel ? "id" : "id null", FAKE_SOUND_ID);
}
#endif

FAKE_EXPORT int LoadVesselWaveOBSound3(int id, int slot, char* path, int type) {
    char text[160];
    std::snprintf(text, sizeof text, "load %d %d %.100s %d", id, slot, path, type);
    return Record(text, 1000 + slot);
}

FAKE_EXPORT int PlayVesselWaveOBSound3(int id, int slot, int loop, int volume, int fifth) {
    char text[80];
    std::snprintf(text, sizeof text, "play %d %d %d %d %d", id, slot, loop, volume, fifth);
    return Record(text, 2000 + slot);
}

FAKE_EXPORT int PlayVesselExclusiveWaveOBSound3(int, int, int, int, int) {
    return Record("exclusive", 0);
}

#ifndef FAKE_WITHOUT_STOP
FAKE_EXPORT int StopVesselWave3(int id, int slot) {
    char text[40];
    std::snprintf(text, sizeof text, "stop %d %d", id, slot);
    return Record(text, 3000 + slot);
}
#endif

FAKE_EXPORT int IsPlayingVesselWave3(int, int) {
    return Record("isplaying", 0);
}
FAKE_EXPORT int IsPlayingRadioVesselWave(int) {
    return Record("isradio", 0);
}

FAKE_EXPORT int SoundOption3(int id, int option, int state) {
    char text[40];
    std::snprintf(text, sizeof text, "option %d %d %d", id, option, state);
    return Record(text, 4000 + option);
}

FAKE_EXPORT int SetFrequency(int, int, int) {
    return Record("frequency", 0);
}
FAKE_EXPORT int ReplaceStockOBSound3(int, char*, int) {
    return Record("replace", 0);
}

#ifndef FAKE_WITHOUT_VERSION
FAKE_EXPORT float GetVersionOBSound3() {
    return 3.5f;
}
#endif
