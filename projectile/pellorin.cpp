// The Pellorin vessel: class capabilities, per-step life, ground and collision checks, the strike, the flash.
#include "pellorin.h"

#include "strike.h"

namespace {

constexpr double START_LIFETIME = 30.0; // s
// Ground contact counts only below this much life left: a projectile fired on or near the ground is not
// ended in its first 0.5 s.
constexpr double GROUND_GRACE_LIFETIME = 29.5; // s

constexpr double MEAN_RADIUS = 0.125;                     // m (Windows already names a type SIZE)
constexpr double EMPTY_MASS = 1.0;                        // kg; the strike force assumes exactly this mass
constexpr VECTOR3 PMI = {{0.01, 0.01, 0.001}};            // m^2, per unit mass
constexpr VECTOR3 CROSS_SECTIONS = {{0.05, 0.04, 0.001}}; // m^2
constexpr VECTOR3 ROT_DRAG = {{0.025, 0.025, 0.02}};
constexpr VECTOR3 TOUCHDOWN_POINTS[3] = {{{0, -0.01, 0.01}}, {{-1, -0.01, -0.01}}, {{1, -0.01, -0.01}}};
constexpr VECTOR3 CAMERA_OFFSET = {{0, 0.25, 0}};

// The one thruster, fed by an empty tank: it exists so the host treats the projectile as a powered vessel.
constexpr double TANK_MAX_MASS = 0.0; // kg
constexpr VECTOR3 THRUSTER_POS = {{0, 0, -4.35}};
constexpr VECTOR3 THRUSTER_DIR = {{0, 0, 1}};
constexpr double THRUSTER_MAX = 1.0;       // N
constexpr double THRUSTER_ISP = 9.9;       // m/s
constexpr double THRUSTER_PREF = 101400.0; // Pa

// The point by which a railgun barrel holds the projectile.
constexpr VECTOR3 APR_POS = {{0, 0, 0}};
constexpr VECTOR3 APR_DIR = {{0, 1, 0}};
constexpr VECTOR3 APR_ROT = {{0, 0, 1}};

// The host keeps pointers to these for as long as a flash is shown, so they live for the whole module.
VECTOR3 beaconPos = {{0, 0, 0}};
VECTOR3 beaconColour = {{1, 1, 1}}; // white

} // namespace

Pellorin::Pellorin(OBJHANDLE hVessel, int flightmodel)
    : VESSEL3(hVessel, flightmodel), impactBeacon(), lifetime(START_LIFETIME), deletePending(false) {}

void Pellorin::clbkSetClassCaps(FILEHANDLE) {
    SetEnableFocus(false);
    SetSize(MEAN_RADIUS);
    SetEmptyMass(EMPTY_MASS);
    SetPMI(PMI);
    SetCrossSections(CROSS_SECTIONS);
    SetRotDrag(ROT_DRAG);
    SetTouchdownPoints(TOUCHDOWN_POINTS[0], TOUCHDOWN_POINTS[1], TOUCHDOWN_POINTS[2]);

    PROPELLANT_HANDLE tank = CreatePropellantResource(TANK_MAX_MASS, -1.0, 1.0);
    THRUSTER_HANDLE thruster =
        CreateThruster(THRUSTER_POS, THRUSTER_DIR, THRUSTER_MAX, tank, THRUSTER_ISP, 0.0, THRUSTER_PREF);
    CreateThrusterGroup(&thruster, 1, THGROUP_MAIN);

    SetCameraOffset(CAMERA_OFFSET);
    CreateAttachment(true, APR_POS, APR_DIR, APR_ROT, "APR", false);
    AddMesh("Pellorin");
}

void Pellorin::ShowImpactFlash() {
    impactBeacon.shape = BEACONSHAPE_DIFFUSE;
    impactBeacon.pos = &beaconPos;
    impactBeacon.col = &beaconColour;
    impactBeacon.size = 1.0;
    impactBeacon.falloff = 1.0;
    impactBeacon.period = 0.2;   // s
    impactBeacon.duration = 1.0; // s
    impactBeacon.tofs = 0.0;
    impactBeacon.active = true;
    AddBeacon(&impactBeacon);
}

void Pellorin::StrikeVessel(VESSEL* target) {
    ShowImpactFlash();
    const OBJHANDLE self = GetHandle();
    const OBJHANDLE hTarget = target->GetHandle();
    VECTOR3 relPos, relVel;
    oapiGetRelativePos(self, hTarget, &relPos);
    oapiGetRelativeVel(self, hTarget, &relVel);
    const double dt = oapiGetSimStep();
    MATRIX3 targetRot;
    target->GetRotationMatrix(targetRot);
    ImpactPush push;
    if (ImpactForce(relPos, relVel, targetRot, dt, push)) target->AddForce(push.force, push.point);
    deletePending = true;
}

void Pellorin::clbkPreStep(double, double simdt, double) {
    const bool endedBefore = deletePending;
    lifetime -= simdt;
    // The host removes the vessel after this step; until then the projectile keeps flashing and striking.
    if (endedBefore) oapiDeleteVessel(GetHandle(), nullptr);
    if (lifetime < 0.0) {
        ShowImpactFlash();
        deletePending = true;
    }
    if (GroundContact() && lifetime < GROUND_GRACE_LIFETIME) {
        ShowImpactFlash();
        deletePending = true;
    }
    ScanForTargets(simdt);
}

void Pellorin::clbkPostStep(double, double, double) {}

// The other vessel is reached when the projectile's path relative to it during this step comes within its size.
bool Pellorin::InReach(OBJHANDLE other, double size, double simdt) const {
    VECTOR3 offset, relVel;
    oapiGetRelativePos(other, GetHandle(), &offset);
    if (WithinReach(offset, size)) return true;
    oapiGetRelativeVel(GetHandle(), other, &relVel);
    return PathWithinReach(offset, relVel, simdt, size);
}

void Pellorin::ScanForTargets(double simdt) {
    const OBJHANDLE self = GetHandle();
    // The focus cannot change during one vessel's step, so one query serves the whole scan.
    const OBJHANDLE focus = oapiGetFocusObject();
    // The count is read again after every vessel: a strike may change the host's list.
    for (int i = 0; i < (int)oapiGetVesselCount(); ++i) {
        const OBJHANDLE other = oapiGetVesselByIndex(static_cast<int>(i));
        if (!other || other == self || other == focus || !oapiIsVessel(other)) continue;
        VESSEL* target = oapiGetVesselInterface(other);
        if (target && InReach(other, target->GetSize(), simdt)) StrikeVessel(target);
    }
}
