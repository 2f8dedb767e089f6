// Where a stand-in add-on says what it did: hostsim's timeline. Built for the real host, which has no
// timeline, it says it on the timeline of the tests' script player when that plugin is loaded, else in the
// host's log.
#pragma once

#include "Orbitersdk.h"

#ifdef STAND_IN_FOR_REAL_HOST
#include <dlfcn.h>

inline void StandInSay(const char* line) {
    using Timeline = void (*)(const char*);
    static Timeline timeline = reinterpret_cast<Timeline>(dlsym(RTLD_DEFAULT, "hostsimTimeline"));
    if (timeline)
        timeline(line);
    else
        oapiWriteLog(line);
}
#else
extern "C" void hostsimTimeline(const char* line);
inline void StandInSay(const char* line) {
    hostsimTimeline(line);
}
#endif
