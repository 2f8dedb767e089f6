// Railgun launcher: the fire cycle, projectile creation on the barrels and their release.
#include "core/corvane.h"

void Corvane::AdvanceRailgunCycle() {}
void Corvane::LoadRailgunProjectile(int) {}
void Corvane::ReleaseRailgunProjectiles() {}
