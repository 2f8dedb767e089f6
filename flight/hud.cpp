// HUD readout: the status lines and the message countdown.
#include "core/corvane.h"

bool Corvane::clbkDrawHUD(int, const HUDPAINTSPEC*, oapi::Sketchpad*) { return true; }
