// The host's default behaviour of the VESSEL2 and VESSEL3 callbacks, and their constructors.
#include "host.h"

using namespace hs;

namespace hs {
VESSEL2* Callbacks(Vessel* v) {
    if (!v || !v->iface || v->iface->Version() < 1) return nullptr;
    return static_cast<VESSEL2*>(v->iface);
}
} // namespace hs

VESSEL2::VESSEL2(OBJHANDLE hVessel, int fmodel) : VESSEL(hVessel, fmodel) { version = 1; }

void VESSEL2::clbkSetClassCaps(FILEHANDLE) {}

void VESSEL2::clbkSaveState(FILEHANDLE scn) { SaveDefaultState(scn); }

void VESSEL2::clbkLoadStateEx(FILEHANDLE scn, void* status) {
    char* line;
    while (oapiReadScenario_nextline(scn, line)) ParseScenarioLineEx(line, status);
}

void VESSEL2::clbkSetStateEx(const void* status) { DefSetStateEx(status); }

void VESSEL2::clbkPostCreation() {}
void VESSEL2::clbkFocusChanged(bool, OBJHANDLE, OBJHANDLE) {}
void VESSEL2::clbkPreStep(double, double, double) {}
void VESSEL2::clbkPostStep(double, double, double) {}
bool VESSEL2::clbkPlaybackEvent(double, double, const char*, const char*) { return false; }
void VESSEL2::clbkVisualCreated(VISHANDLE, int) {}
void VESSEL2::clbkVisualDestroyed(VISHANDLE, int) {}
// The standard HUD has no text of its own in this host.
bool VESSEL2::clbkDrawHUD(int, const HUDPAINTSPEC*, oapi::Sketchpad*) { return true; }
void VESSEL2::clbkRCSMode(int) {}
void VESSEL2::clbkADCtrlMode(int) {}
void VESSEL2::clbkHUDMode(int) {}
void VESSEL2::clbkMFDMode(int, int) {}
void VESSEL2::clbkNavMode(int, bool) {}
void VESSEL2::clbkDockEvent(int, OBJHANDLE) {}
void VESSEL2::clbkAnimate(double) {}
int VESSEL2::clbkConsumeDirectKey(char*) { return 0; }
int VESSEL2::clbkConsumeBufferedKey(int, bool, char*) { return 0; }

bool VESSEL2::clbkLoadGenericCockpit() {
    SetCameraDefaultDirection(_V(0, 0, 1));
    return true;
}

bool VESSEL2::clbkLoadPanel(int) { return false; }
bool VESSEL2::clbkPanelMouseEvent(int, int, int, int) { return false; }
bool VESSEL2::clbkPanelRedrawEvent(int, int, SURFHANDLE) { return false; }
bool VESSEL2::clbkLoadVC(int) { return false; }
bool VESSEL2::clbkVCMouseEvent(int, int, VECTOR3&) { return false; }
bool VESSEL2::clbkVCRedrawEvent(int, int, SURFHANDLE) { return false; }

VESSEL3::VESSEL3(OBJHANDLE hVessel, int fmodel) : VESSEL2(hVessel, fmodel) { version = 2; }

VESSEL4::VESSEL4(OBJHANDLE hVessel, int fmodel) : VESSEL3(hVessel, fmodel) { version = 3; }

int VESSEL4::clbkNavProcess(int mode) { return mode; }

// Panels are never shown by this host: the helpers accept and do nothing.
bool VESSEL3::SetPanelBackground(PANELHANDLE, SURFHANDLE*, int, MESHHANDLE, int, int, int, int) {
    return true;
}
bool VESSEL3::SetPanelScaling(PANELHANDLE, double, double) { return true; }
int VESSEL3::RegisterPanelMFDGeometry(PANELHANDLE, int, int, int) { return 0; }
int VESSEL3::RegisterPanelArea(PANELHANDLE, int, const RECT&, int, int, SURFHANDLE, void*) { return 0; }
int VESSEL3::RegisterPanelArea(PANELHANDLE, int, const RECT&, const RECT&, int, int, int, void*) { return 0; }

bool VESSEL3::clbkPanelMouseEvent(int, int, int, int, void*) { return false; }
bool VESSEL3::clbkPanelRedrawEvent(int, int, SURFHANDLE, void*) { return false; }
int VESSEL3::clbkGeneric(int, int, void*) { return 0; }
bool VESSEL3::clbkLoadPanel2D(int, PANELHANDLE, int, int) { return false; }
void VESSEL3::clbkRenderHUD(int, const HUDPAINTSPEC*, SURFHANDLE) {}
// The host's plain model: a cross section of the size squared that takes up one and a half times the flux.
void VESSEL3::clbkGetRadiationForce(const VECTOR3& mflux, VECTOR3& F, VECTOR3& pos) {
    const double size = GetSize();
    F = mflux * (size * size * 1.5);
    pos = _V(0, 0, 0);
}
