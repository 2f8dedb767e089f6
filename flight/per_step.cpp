// Per-step flight control: the pre-step order of work, the cockpit indicator lamps and the post-step order.
#include "core/corvane.h"

void Corvane::clbkPreStep(double, double, double) {}

void Corvane::UpdateIndicators() {}

void Corvane::clbkPostStep(double, double, double) {}
