// Cockpit mesh visibility: the seated crew figures follow the roster and the cockpit camera seat.
#include "core/corvane.h"

void Corvane::UpdateCockpitMeshVisibility() {}
