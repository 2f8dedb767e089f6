// The HWG hyperspace drive: timed jumps along the nose axis, propellant drain and the tunnel mesh.
#include "flight/flight_rules.h"

#include <cstring>

namespace {
constexpr double HWG_DRAIN_RATE = 10.0;        // kg per second of simulation time
constexpr double HWG_EXTRA_DRAIN_WINDOW = 0.5; // s
constexpr double SIZE_IDLE = 8.0;              // m
constexpr double SIZE_ENGAGED = 60.0;          // m
constexpr unsigned int TUNNEL_MESH = 0;
constexpr unsigned int SHIP_MESH = 1;
} // namespace

void Corvane::HyperspaceStep(double dt) {
    if (PropellantLow(oapiGetPropellantMass(mainTank))) ftlState = 0;

    if (ftlState < 1) {
        SetMeshVisibilityMode(TUNNEL_MESH, MESHVIS_NEVER);
        SetMeshVisibilityMode(SHIP_MESH, shipMeshVisibility);
        SetSize(SIZE_IDLE);
        return;
    }

    // From outside the ship has vanished; from the cockpit the tunnel surrounds it.
    SetMeshVisibilityMode(TUNNEL_MESH, MESHVIS_COCKPIT);
    SetMeshVisibilityMode(SHIP_MESH, MESHVIS_COCKPIT);
    SetSize(SIZE_ENGAGED);

    // Both extra drains look at the timer as it stood before this step. A long step at high time
    // acceleration could drain more than the tank holds: the tank stops at empty.
    const double drain = HWG_DRAIN_RATE * dt;
    int drains = 1;
    if (hwgTimer - HWG_EXTRA_DRAIN_WINDOW > hwgJumpDuration) ++drains;
    if (hwgTimer < HWG_EXTRA_DRAIN_WINDOW) ++drains;
    for (int i = 0; i < drains; ++i) {
        const double left = GetPropellantMass(mainTank) - drain;
        SetPropellantMass(mainTank, left > 0.0 ? left : 0.0);
    }
    // The dampener mass of this step was set from the propellant before the drain; with the dampeners online
    // the empty mass is negative, so a long step draining the tank would leave the ship a total mass of zero
    // or less. Set anew, the ship keeps its 5 percent of the hull and the propellant that is left.
    if (inertialDampeners) ApplyDampenerMass();

    // The whole step is flown even when the timer runs out inside it: a jump covers its duration rounded
    // up to whole steps.
    HyperspaceDisplace(HWG_SPEED * dt);
    hwgTimer -= dt;
    if (hwgTimer <= 0.0) ftlState = 0;

    ftlTunnelPhase = NextTunnelPhase(ftlTunnelPhase, dt);
    SetAnimation(ftlTunnelAnim, ftlTunnelPhase);
}

// Moves the ship along its own nose axis, keeping velocity, attitude and rotation, by rewriting its state
// relative to the first celestial body.
void Corvane::HyperspaceDisplace(double distance) {
    const OBJHANDLE body = oapiGetGbodyByIndex(0);
    VECTOR3 pos = _V(0, 0, 0);
    GetRelativePos(body, pos);
    VECTOR3 local = _V(0, 0, 0);
    Global2Local(pos, local);
    local.z += distance;
    VECTOR3 moved = _V(0, 0, 0);
    Local2Global(local, moved);

    VESSELSTATUS2 status;
    std::memset(&status, 0, sizeof status);
    status.version = 2;
    GetStatusEx(&status);
    VECTOR3 vel = _V(0, 0, 0);
    GetRelativeVel(body, vel);
    status.rbody = body;
    status.rpos = moved;
    status.rvel = vel;
    DefSetStateEx(&status);
}
