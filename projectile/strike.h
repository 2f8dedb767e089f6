// The push a projectile hands the vessel it hits, worked out without the host.
#pragma once

#include "Orbitersdk.h"

struct ImpactPush {
    VECTOR3 force; // N, in the target's own frame
    VECTOR3 point; // m, point of attack in the target's own frame
};

// relPos and relVel are the projectile's position and velocity relative to the target, on the host's global
// axes; targetRot turns the target's own axes into the global ones (global = targetRot * local). A 1 kg
// projectile hands over its whole relative momentum within one step of length dt. False, and no push, when dt
// is not above zero: there is no force that delivers momentum in no time.
bool ImpactForce(const VECTOR3& relPos, const VECTOR3& relVel, const MATRIX3& targetRot, double dt,
                 ImpactPush& push);

// True when a vessel whose centre lies at offset from the projectile is within the vessel's own size. Inline:
// every projectile asks it of every vessel in every step. Squared lengths spare a square root; a size of 0 or
// below reaches nothing.
inline bool WithinReach(const VECTOR3& offset, double size) {
    return size > 0.0 && offset.x * offset.x + offset.y * offset.y + offset.z * offset.z < size * size;
}
