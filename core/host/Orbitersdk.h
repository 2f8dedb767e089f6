// The one interface header module code includes: the host's basic, drawing and vessel interfaces.
#ifndef ORBITERSDK_H
#define ORBITERSDK_H

#include "OrbiterAPI.h"
#include "DrawAPI.h"
#include "VesselAPI.h"

#ifndef _WIN32
#include <strings.h>
// The Linux interface's stand-ins for a few Windows spellings, as the host's own header gives them.
#define stricmp strcasecmp
#define strnicmp strncasecmp
#define _stricmp strcasecmp
#define _strnicmp strncasecmp
#define UINT unsigned int
#define LPVOID void*
#define VOID void
#define _snprintf snprintf
#endif

#endif // ORBITERSDK_H
