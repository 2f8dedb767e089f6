// The one header module code includes: the host's interface plus the process and file services beside it.
#ifndef ORBITERSDK_H
#define ORBITERSDK_H

#include "OrbiterAPI.h"
#include "DrawAPI.h"
#include "VesselAPI.h"
#include "portable.h"

#endif // ORBITERSDK_H
