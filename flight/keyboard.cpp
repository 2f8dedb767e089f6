// Keyboard commands: the key tables and one command function per pilot action.
#include "core/corvane.h"

int Corvane::clbkConsumeBufferedKey(DWORD, bool, char*) { return 0; }

int Corvane::clbkConsumeDirectKey(char*) { return 0; }

void Corvane::ToggleGear() {}
void Corvane::ToggleBoost() {}
void Corvane::ToggleMainEngine() {}
void Corvane::ToggleShipMeshVisibility() {}
void Corvane::RefuelFromCarrier() {}
void Corvane::RequestCarrierRelease() {}
void Corvane::ToggleCockpitView() {}
