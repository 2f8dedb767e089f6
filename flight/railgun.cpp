// Railgun launcher: the fire cycle, projectile creation on the barrels and their release.
#include "flight/flight_rules.h"
#include "sound/sound_connector.h"

#include <cstring>

namespace {
constexpr double RAILGUN_RELEASE_SPEED = 1700.0; // m/s along the barrel, relative to the ship
constexpr int RAILGUN_SOUND_SLOT = 1;
constexpr int RAILGUN_SOUND_VOLUME = 255;
constexpr char PROJECTILE_NAME[] = "b1"; // every projectile carries this name
} // namespace

// The clock counts calls, not seconds: the firing rate follows the frame rate.
void Corvane::AdvanceRailgunCycle() {
    const RailgunTick tick = NextRailgunCycle(railCycle);
    railCycle = tick.cycle;
    if (tick.barrel != RAILGUN_NO_BARREL) LoadRailgunProjectile(tick.barrel);
}

// The projectile starts with the ship's own velocity, in the place and attitude it will hang in when the host
// releases it, and rides one step on its barrel by its first parent-side point.
void Corvane::LoadRailgunProjectile(int barrel) {
    // The host would load the class's module from wherever a path-like name points: such a shot is not made
    // (the readers of the name have already said why).
    if (!PlainClassName(ammoClassName, strnlen(ammoClassName, sizeof ammoClassName))) {
        lastProjectile = nullptr;
        return;
    }
    VESSELSTATUS2 status;
    std::memset(&status, 0, sizeof status);
    status.version = 2;
    GetStatusEx(&status);
    const ATTACHMENTHANDLE barrelPoint = barrel == RAILGUN_LEFT_BARREL ? railAttachLeft : railAttachRight;
    VECTOR3 barrelPos, barrelDir, barrelRot;
    GetAttachmentParams(barrelPoint, barrelPos, barrelDir, barrelRot);
    MATRIX3 shipAttitude;
    GetRotationMatrix(shipAttitude);
    if (status.status == 0) status.rpos += ReleasePlaceOffset(barrelPos, shipAttitude);

    lastProjectile = oapiCreateVesselEx(PROJECTILE_NAME, ammoClassName, &status);
    if (!lastProjectile) return; // the class could not be made: no shot, nothing to attach

    // A class with no point to hang by flies free from where the ship is.
    VESSEL* projectile = oapiGetVesselInterface(lastProjectile);
    if (!projectile || projectile->AttachmentCount(true) == 0) return;
    const ATTACHMENTHANDLE projectilePoint = projectile->GetAttachmentHandle(true, 0);
    // The host releases a child in the attitude it had when the step began, and this one rides a single step:
    // it must already stand as it will hang, or the shot leaves along the projectile's own axes, not the
    // barrel.
    VECTOR3 pointPos, pointDir, pointRot;
    projectile->GetAttachmentParams(projectilePoint, pointPos, pointDir, pointRot);
    projectile->SetRotationMatrix(
        mul(shipAttitude, HangingAttitude(barrelDir, barrelRot, pointDir, pointRot)));
    AttachChild(lastProjectile, barrelPoint, projectilePoint);
}

// The host also releases a child from where it was when the step began, while the ship has moved on by a step
// of its whole motion (the planet's path round the sun included: some 500 m at 60 frames a second near Earth).
// Made at the barrel's place one step ahead, the shot leaves from the barrel. Global axes, metres.
VECTOR3 Corvane::ReleasePlaceOffset(const VECTOR3& barrelPos, const MATRIX3& shipAttitude) const {
    VECTOR3 globalVel;
    GetGlobalVel(globalVel);
    return mul(shipAttitude, barrelPos) + globalVel * oapiGetSimStep();
}

// Whatever hangs on a barrel at the end of a step is fired, also what a loaded scenario hung there; each
// shot restarts the firing sound from its beginning.
void Corvane::ReleaseRailgunProjectiles() {
    const ATTACHMENTHANDLE barrels[] = {railAttachLeft, railAttachRight};
    for (const ATTACHMENTHANDLE barrel : barrels) {
        if (!GetAttachmentStatus(barrel)) continue;
        DetachChild(barrel, RAILGUN_RELEASE_SPEED);
        StopVesselWave(soundId, RAILGUN_SOUND_SLOT);
        PlayVesselWave(soundId, RAILGUN_SOUND_SLOT, 0, RAILGUN_SOUND_VOLUME, 0);
    }
}
