// Per-step flight control: the pre-step order of work, the cockpit indicator lamps and the post-step order.
#include "flight/flight_rules.h"

// The order matters: the hover engine is aimed with the weight that the previous step's dampener mass left.
void Corvane::clbkPreStep(double, double simdt, double) {
    MoveAnimations(simdt);
    CheckCameraMode();
    AimHoverEngine();
    ApplyDampenerMass();
    FollowMassWithContactSprings();
    UpdateAeroControlMode();
    UpdateIndicators();
    HyperspaceStep(simdt);
    UpdateWheelBrakes();
    VectorMainThrust();
    FollowMainThrottleWithBoost();
}

// The engines burned propellant during the step that the pre-step's dampener mass did not know of: on a long
// step the negative empty mass of the dampeners would outweigh what is left in the tank. The mass follows the
// propellant again before anyone else looks at the ship. Projectiles hung on the barrels during this step
// leave before the crew looks at the world.
void Corvane::clbkPostStep(double, double, double) {
    if (inertialDampeners) ApplyDampenerMass();
    ReleaseRailgunProjectiles();
    UpdateCrewEvents();
}

void Corvane::CheckCameraMode() {
    if (oapiCameraMode() == lastCameraMode) return;
    UpdateCockpitMeshVisibility();
    lastCameraMode = oapiCameraMode();
}

void Corvane::AimHoverEngine() {
    VECTOR3 weight = _V(0, 0, 0);
    GetWeightVector(weight);
    const HoverAim aim = AimAgainstWeight(weight);
    if (aim.aimed) SetThrusterDir(hoverThruster, aim.dir);
    SetThrusterMax0(hoverThruster, aim.max0);
}

void Corvane::ApplyDampenerMass() {
    const double propellant = inertialDampeners ? GetTotalPropellantMass() : 0.0;
    SetEmptyMass(DampenedEmptyMass(inertialDampeners, propellant));
}

void Corvane::UpdateAeroControlMode() {
    SetADCtrlMode(AeroControlMode(GetAtmPressure()));
}

namespace {
inline double Lamp(bool lit) {
    return lit ? 1.0 : 0.0;
}
} // namespace

void Corvane::UpdateIndicators() {
    SetAnimation(boostLightAnim, Lamp(boost));
    SetAnimation(dampenersOfflineLightAnim, Lamp(!inertialDampeners));
    SetAnimation(mainEngineLightAnim, Lamp(mainEngineFed));
    SetAnimation(lowPropellantLightAnim, Lamp(PropellantLow(oapiGetPropellantMass(mainTank))));
    SetAnimation(gearLightAnim, Lamp(gearPos < 1.0));
    SetAnimation(parkingBrakeLightAnim, Lamp(brakeEngaged));
}

// Wheel selectors of the host: 0 both, 1 left, 2 right. Never permanent: the pilot's own brake keys stay
// free.
void Corvane::UpdateWheelBrakes() {
    if (brakeEngaged) {
        SetWheelbrakeLevel(1.0, 0, false);
        return;
    }
    const WheelBrakeLevels levels = RudderBrakeLevels(GetControlSurfaceLevel(AIRCTRL_RUDDER));
    SetWheelbrakeLevel(levels.left, 1, false);
    SetWheelbrakeLevel(levels.right, 2, false);
}

// The rudder swings the main engine's thrust point sideways, also with the parking brake set.
void Corvane::VectorMainThrust() {
    const double rudder = GetControlSurfaceLevel(AIRCTRL_RUDDER);
    SetThrusterRef(mainThruster, _V(-rudder, 0.0, MAIN_THRUST_REF_Z));
}

// Switched off, the boost engine keeps its last level but is no longer fed.
void Corvane::FollowMainThrottleWithBoost() {
    if (!boost) return;
    SetThrusterLevel(boostThruster, GetThrusterLevel(mainThruster));
}
