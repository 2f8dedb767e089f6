// The push a projectile hands the vessel it hits, worked out without the host.
#include "strike.h"

bool ImpactForce(const VECTOR3& relPos, const VECTOR3& relVel, const MATRIX3& targetRot, double dt,
                 ImpactPush& push) {
    if (!(dt > 0.0)) return false; // also refuses a NaN step
    // AddForce takes the target's own axes; the host hands relative vectors on its global axes.
    push.force = tmul(targetRot, relVel) * (1.0 / dt);
    push.point = tmul(targetRot, relPos);
    return true;
}
