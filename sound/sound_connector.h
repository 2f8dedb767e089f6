// Run-time binding to the OrbiterSound add-on and the four guarded sound calls.
#pragma once

#include "Orbitersdk.h"

int ConnectToOrbiterSoundDLL3(OBJHANDLE vessel);
int LoadVesselWave(int soundId, int slot, char* wavePath, int typeCode);
int PlayVesselWave(int soundId, int slot, int loop, int volume, int fifth);
int StopVesselWave(int soundId, int slot);
int SetSoundOption(int soundId, int option, int state);
void WriteSoundLog(const char* first, const char* second);
