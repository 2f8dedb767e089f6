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

// True when the projectile's path relative to a vessel during the coming step passes within the vessel's
// size: offset is the vessel's centre seen from the projectile now, relVel the projectile's velocity relative
// to the vessel, dt the step. At 1700 m/s a projectile covers 28 m in a sixtieth of a second, more than a 10
// m hull is wide: a check of the step's end points alone would let it fly through.
inline bool PathWithinReach(const VECTOR3& offset, const VECTOR3& relVel, double dt, double size) {
    if (WithinReach(offset, size)) return true;
    if (!(size > 0.0) || !(dt > 0.0)) return false;
    const double vv = relVel.x * relVel.x + relVel.y * relVel.y + relVel.z * relVel.z;
    if (!(vv > 0.0)) return false;
    // The moment of closest approach, kept within the step; the projectile sits at -offset + relVel * t.
    double t = (offset.x * relVel.x + offset.y * relVel.y + offset.z * relVel.z) / vv;
    if (!(t > 0.0)) return false; // moving away: the start was the closest point, and it is out of reach
    if (t > dt) t = dt;
    const VECTOR3 closest = {{relVel.x * t - offset.x, relVel.y * t - offset.y, relVel.z * t - offset.z}};
    return WithinReach(closest, size);
}
