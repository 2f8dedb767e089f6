// Pure flight rules that need no host: propellant share, dampener mass, brakes, hover aim, jump and
// fire-cycle arithmetic.
#pragma once

#include "core/corvane.h"
#include "portable.h"

#include <cmath>

constexpr double HWG_SPEED = 6e9;               // m per second of simulation time
constexpr double LOW_PROPELLANT_PERCENT = 15.0; // below this the lamp lights and the drive stops
constexpr double DAMPENER_MASS_FACTOR = 0.95;   // share of ship and propellant mass the dampeners take away
constexpr double HOVER_WEIGHT_FRACTION = 0.997; // full hover leaves 0.3 percent of the weight uncompensated
constexpr double MAIN_THRUST_REF_Z = -4.35;     // m, base point of the main engine along the nose axis
constexpr double HWG_MIN_DURATION = 0.001;      // s
constexpr double HWG_MAX_DURATION = 600.0;      // s
constexpr int HWG_MIN_STEP_INDEX = 0;
constexpr int HWG_MAX_STEP_INDEX = 6;

// Percent of a fixed 10000 kg, computed in this order so that 1500 kg reads as 15 and not a hair below.
inline double PropellantPercent(double mass) {
    return mass * 0.0001 * 100.0;
}

inline bool PropellantLow(double mass) {
    return PropellantPercent(mass) < LOW_PROPELLANT_PERCENT;
}

// With the dampeners online the ship keeps 5 percent of its whole mass; the host is handed a negative
// empty mass once the propellant outweighs what is left of the hull.
inline double DampenedEmptyMass(bool dampenersOnline, double propellantMass) {
    if (!dampenersOnline) return BASE_EMPTY_MASS;
    return BASE_EMPTY_MASS - DAMPENER_MASS_FACTOR * (BASE_EMPTY_MASS + propellantMass);
}

// Elevator, rudder and ailerons only work where there is any air at all.
inline int AeroControlMode(double pressure) {
    return pressure == 0.0 ? 0 : 7;
}

struct WheelBrakeLevels {
    double left, right;
};

// Negative rudder brakes the left wheel, positive rudder the right one.
inline WheelBrakeLevels RudderBrakeLevels(double rudder) {
    return {rudder < 0.0 ? -rudder : 0.0, rudder > 0.0 ? rudder : 0.0};
}

struct HoverAim {
    bool aimed;  // false: the weight vector had no length, keep the old direction
    VECTOR3 dir; // unit vector against the weight, vessel frame
    double max0; // N
};

// The hover engine pushes straight against gravity in any attitude. Without weight there is nothing to
// push against and no direction to take, so it keeps its direction and gets no thrust.
inline HoverAim AimAgainstWeight(const VECTOR3& weight) {
    const double w = std::sqrt(weight.x * weight.x + weight.y * weight.y + weight.z * weight.z);
    if (!(w > 0.0)) return {false, _V(0, 0, 0), 0.0};
    return {true, _V(-weight.x / w, -weight.y / w, -weight.z / w), HOVER_WEIGHT_FRACTION * w};
}

// The tunnel turns twice a second; only the fraction of a turn matters, but a phase of exactly 1.0 stays.
inline double NextTunnelPhase(double phase, double dt) {
    phase += 2.0 * dt;
    if (phase > 1.0) phase -= std::trunc(phase);
    return phase;
}

// The jump-duration step: 10^(index - 3) seconds, 0.001 s to 1000 s.
inline double HwgStep(int stepIndex) {
    return std::pow(10.0, stepIndex - 3.0);
}

inline double ShortenedJumpDuration(double duration, int stepIndex) {
    duration -= HwgStep(stepIndex);
    return duration < HWG_MIN_DURATION ? HWG_MIN_DURATION : duration;
}

inline double LengthenedJumpDuration(double duration, int stepIndex) {
    duration += HwgStep(stepIndex);
    return duration > HWG_MAX_DURATION ? HWG_MAX_DURATION : duration;
}

constexpr double RAILGUN_CYCLE_INCREMENT = 0.1; // per call, not per second
constexpr double RAILGUN_CYCLE_WRAP = 2.2;
constexpr int RAILGUN_RIGHT_BARREL = 0;
constexpr int RAILGUN_LEFT_BARREL = 1;
constexpr int RAILGUN_NO_BARREL = -1;

struct RailgunTick {
    double cycle;
    int barrel; // RAILGUN_NO_BARREL when this call loads nothing
};

// One call of the fire cycle: 22 calls a cycle, the right barrel on the 11th, the left on the 20th.
inline RailgunTick NextRailgunCycle(double cycle) {
    cycle += RAILGUN_CYCLE_INCREMENT;
    if (cycle > RAILGUN_CYCLE_WRAP) cycle = 0.0;
    int barrel = RAILGUN_NO_BARREL;
    if (cycle > 1.0 && cycle < 1.1) barrel = RAILGUN_RIGHT_BARREL;
    if (cycle > 2.0 && cycle < 2.1) barrel = RAILGUN_LEFT_BARREL;
    return {cycle, barrel};
}

// Columns: an attachment point's direction, its rotation reference made square to it, and their cross product.
// False for a direction of no length or a reference along it.
inline bool PointAxes(const VECTOR3& dir, const VECTOR3& rot, MATRIX3& axes) {
    const double dl = length(dir);
    if (!(dl > 0.0)) return false;
    const VECTOR3 e1 = dir / dl;
    VECTOR3 e2 = rot - e1 * dotp(rot, e1);
    const double rl = length(e2);
    if (!(rl > 1e-9)) return false;
    e2 = e2 / rl;
    const VECTOR3 e3 = crossp(e1, e2);
    axes = _M(e1.x, e2.x, e3.x, e1.y, e2.y, e3.y, e1.z, e2.z, e3.z);
    return true;
}

// The attitude, in the ship's frame, in which a projectile hangs on a barrel: its point faces the barrel's (the
// two directions against each other) and the rotation references lie along each other. A projectile made in the
// ship's own attitude is released before the host has turned it so, and leaves along its own point reversed:
// for a projectile hung by its up axis, towards the ship's belly. The identity when a point has no usable axes.
inline MATRIX3 HangingAttitude(const VECTOR3& barrelDir, const VECTOR3& barrelRot, const VECTOR3& pointDir,
                               const VECTOR3& pointRot) {
    MATRIX3 barrel, point;
    if (!PointAxes(-barrelDir, barrelRot, barrel) || !PointAxes(pointDir, pointRot, point)) return identity();
    // barrel * transpose(point), without a transpose the oldest interface lacks.
    MATRIX3 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 3; ++k)
                sum += barrel.data[i * 3 + k] * point.data[j * 3 + k];
            r.data[i * 3 + j] = sum;
        }
    return r;
}
