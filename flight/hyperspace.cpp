// The HWG hyperspace drive: timed jumps along the nose axis, propellant drain and the tunnel mesh.
#include "core/corvane.h"

void Corvane::HyperspaceStep(double) {}

void Corvane::HyperspaceDisplace(double) {}
