// Helpers shared by the physics sources: small vector algebra, touchdown geometry and link frames.
#pragma once

#include "physics.h"

#include <cmath>

namespace hs {
namespace phys {

constexpr double G0 = 9.80665;             // m/s^2, standard gravity for geopotential altitude
constexpr double CONTACT_TOLERANCE = 1e-3; // m: a touchdown point this close to the surface touches it

inline VECTOR3 Vec(double x, double y, double z) {
    return _V(x, y, z);
}
inline VECTOR3 Unit(const VECTOR3& a) {
    double l = length(a);
    return l > 0.0 ? a / l : Vec(0, 0, 0);
}
inline MATRIX3 Transpose(const MATRIX3& A) {
    return _M(A.m11, A.m21, A.m31, A.m12, A.m22, A.m32, A.m13, A.m23, A.m33);
}
// Columns a, b, c.
inline MATRIX3 Columns(const VECTOR3& a, const VECTOR3& b, const VECTOR3& c) {
    return _M(a.x, b.x, c.x, a.y, b.y, c.y, a.z, b.z, c.z);
}
inline VECTOR3 Mul(const VECTOR3& a, const VECTOR3& b) {
    return Vec(a.x * b.x, a.y * b.y, a.z * b.z);
}
inline VECTOR3 Div(const VECTOR3& a, const VECTOR3& b) {
    return Vec(b.x != 0 ? a.x / b.x : 0, b.y != 0 ? a.y / b.y : 0, b.z != 0 ? a.z / b.z : 0);
}

// Where the Sun stands seen from the Earth's centre, and against the solar system's centre of mass, on a date
// (MJD), in the global frame's axes.
VECTOR3 SunFromEarth(double mjd);
VECTOR3 SunFromMassCentre(double mjd);

// The Sun's radiation force on a vessel in flight over the step ending at t1 (s), at a point of the vessel
// frame; false when the host's configuration leaves radiation pressure out, or the vessel is landed or in
// shadow.
bool RadiationForce(Vessel& v, double t1, VECTOR3& force, VECTOR3& at);

// An orthonormal frame whose first column is dir and second the part of rot normal to dir.
MATRIX3 PointFrame(const VECTOR3& dir, const VECTOR3& rot);
// An attachment point's frame for hanging a child: the parent's point direction is laid against the child's
// (the two face each other), their rotation references along each other.
MATRIX3 AttachmentFrame(const hs::Attachment& a);

// The touchdown triangle in the vessel frame: the three points (a usable fallback when the vessel's points
// are degenerate), the unit "up" normal their order defines, and the forward axis within their plane.
struct Touchdown {
    VECTOR3 p[3];
    VECTOR3 up, fwd, right;
};
Touchdown TouchdownGeometry(const Vessel& v);

// The host's touchdown springs: stiffness per kilogram of empty mass, and damping as a share of the stiffness.
constexpr double TOUCHDOWN_STIFFNESS_PER_KG = 20.0; // N/m per kg
constexpr double TOUCHDOWN_DAMPING_TIME = 0.1;      // s: damping (N s/m) over stiffness (N/m)
struct Springs {
    double k; // N/m, each point
    double c; // N s/m, each point
};
Springs SpringsOf(const Vessel& v);

// Local horizon axes at a global position above body b.
struct Horizon {
    VECTOR3 east, up, north;
};
Horizon HorizonAt(const Body& b, const VECTOR3& pos);
Horizon HorizonAtLngLat(double lng, double lat);
// The horizon at a global position over body b turned as frame f says: east and north along the body's own
// meridians.
Horizon TurnedHorizon(const BodyFrame& f, const Body& b, const VECTOR3& pos);
// A velocity of vessel v (global) against the air over it, which turns with its body.
VECTOR3 AirVelocity(const Vessel& v, const VECTOR3& vel);

const Body& BodyOf(const Vessel& v); // the vessel's body, or body 0 when its index is out of range

// Places y from x so that the two link frames coincide: R_y * My = R_x * Mx, point py onto point px.
// A docked y moves with the point it sits on; a child hung on an attachment point (carried) has its parent's
// velocity, with no share of the parent's turn, as the host gives it.
void PlaceLinked(const Vessel& x, const VECTOR3& px, const MATRIX3& Mx, Vessel& y, const VECTOR3& py,
                 const MATRIX3& My, bool carried = false);

// Re-orthonormalises a rotation matrix that has drifted by rounding.
void Orthonormalise(MATRIX3& R);

// A vessel at rest on the ground goes round with its body from simulated time t0 to t1: place, attitude,
// and the velocity and spin of the ground under it.
void CarryWithSurface(PhysicsState& s, const Body& b, double t0, double t1);

void ResetBodies();    // the table is read again on next use
void ResetTelemetry(); // closes the file

// Writes telemetry rows when due; called by the step before (start) and after integration.
void TelemetryRows(const std::vector<Vessel*>& vessels, double t, bool start);

} // namespace phys
} // namespace hs
