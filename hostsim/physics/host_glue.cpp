// What the host's frame loop calls for the physics (StepPhysics), and the drag formulas the host offers
// modules.
#include "lib/host.h"
#include "physics.h"

#include <cmath>

namespace hs {

// Every vessel still in the world takes part, also one whose deletion waits for the end of the frame and one
// created during this frame (a projectile hung on its barrel must ride along with the ship).
void StepPhysics(double dt) {
    static std::vector<Vessel*> live; // kept between frames so a step allocates nothing once it has grown
    live.clear();
    World& w = W();
    for (auto& v : w.vessels)
        if (Alive(v.get())) live.push_back(v.get());
    PhysicsStep(live, dt, w.simt);
}

} // namespace hs

// Lift-induced drag coefficient of a wing of aspect ratio A and efficiency e.
double oapiGetInducedDrag(double cl, double A, double e) {
    double d = PI * A * e;
    return d > 0.0 ? cl * cl / d : 0.0;
}

// Wave drag coefficient: none below M1, rising linearly to cmax at M2, level up to M3, then falling off as
// the supersonic flow settles (cmax * sqrt(M3^2 - 1) / sqrt(M^2 - 1)).
double oapiGetWaveDrag(double M, double M1, double M2, double M3, double cmax) {
    if (M <= M1) return 0.0;
    if (M < M2) return M2 > M1 ? cmax * (M - M1) / (M2 - M1) : cmax;
    if (M <= M3 || M3 <= 1.0) return cmax;
    return cmax * sqrt(M3 * M3 - 1.0) / sqrt(M * M - 1.0);
}
