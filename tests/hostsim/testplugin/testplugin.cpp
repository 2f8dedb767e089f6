// TestPlugin: a plugin module for the host's tests; it reports its start, its frames and its end.
#include "Orbitersdk.h"
#include "portable.h"

#include <cstdio>

extern "C" void hostsimTimeline(const char* line);

namespace {
int frames = 0;
}

DLLCLBK void InitModule(HINSTANCE) {
    frames = 0;
    hostsimTimeline("plugin: start");
}

DLLCLBK void ExitModule(HINSTANCE) { hostsimTimeline("plugin: end"); }

// Called by the stand-in host once a frame with the frame's simulated time.
DLLCLBK void hostsimPluginFrame(double simt) {
    if (++frames % 30 != 1) return;
    char line[64];
    snprintf(line, sizeof line, "plugin: frame %d at %.3f", frames, simt);
    hostsimTimeline(line);
}

// Something for other modules to find by name once the plugin is loaded.
DLLCLBK int TestPluginFrames() { return frames; }
