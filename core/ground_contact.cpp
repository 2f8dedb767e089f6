// The Corvane's ground contact: the touchdown points of the gear-down and gear-up sets, with the springs and
// hull points that a host of per-point springs needs.
#include "corvane.h"

#include <cmath>
#include <cstring>

#ifdef _WIN32

namespace {

VECTOR3 Point(const TouchdownTriple& t, int i) {
    return _V(t.p[i][0], t.p[i][1], t.p[i][2]);
}

} // namespace

// The three-point call: the host lays the landed ship level on the plane of its points.
void Corvane::SetContactPoints(bool gearDown) {
    const TouchdownTriple& t = gearDown ? WHEEL_TOUCHDOWN_POINTS : BELLY_TOUCHDOWN_POINTS;
    // The host makes each point a spring as stiff as the empty mass at this moment. The dampeners can leave
    // that mass below zero, and a negative spring flings the ship off the ground: the hull's own mass stands
    // in while the points are set.
    const double emptyMass = GetEmptyMass();
    const bool dampened = emptyMass < BASE_EMPTY_MASS;
    if (dampened) SetEmptyMass(BASE_EMPTY_MASS);
    SetTouchdownPoints(Point(t, 0), Point(t, 1), Point(t, 2));
    if (dampened) SetEmptyMass(emptyMass);
}

// The host keeps the springs it made from the hull's mass.
void Corvane::FollowMassWithContactSprings() {}

#else

namespace {

// Every contact point is a spring and a damper made for the ship's mass: it weighs 25 t with the dampeners
// off and a full tank but only 750 to 1250 kg with them on, and no one spring serves both. Per kilogram, 400
// N/m sinks the ship 5 mm on its five gear points and lets it roll and pitch at about 55 rad/s, a swing that
// a frame of 1/60 s still follows; 7.5 N s/m damps that swing and the bounce at a ratio of about 0.4 to 0.5.
constexpr double CONTACT_STIFFNESS_PER_KG = 400.0; // N/m per point and kg
constexpr double CONTACT_DAMPING_PER_KG = 7.5;     // N s/m per point and kg
constexpr double LIGHTEST_CONTACT_MASS = 100.0;    // kg: springs for no less, whatever the dampeners leave
// The springs are made again when the mass strays this far from the one they were made for: the dampeners
// switched, or a quarter of the mass burnt.
constexpr double CONTACT_MASS_STRAY = 0.25;

struct ContactPoint {
    double x, y, z; // m, vessel frame
};

// With the gear down the centre of mass lies a metre behind the main wheels: the rear gear pads under the
// engines, level with the wheels, carry the tail, so the ship stands level with its wheels 2.6 m below the
// centre of mass. The belly's points come next, so a hard landing that sinks the gear meets the hull.
constexpr ContactPoint GEAR_DOWN_EXTRA[] = {
    {-2.697, -2.6, -3.474}, {2.697, -2.6, -3.474},                           // rear gear pads
    {0, -2.2, 1.7},         {-2.697, -0.99, -3.474}, {2.697, -0.99, -3.474}, // belly
};

// The hull as the class's lights, nozzles and ports outline it: wherever the ship lies, one of these is the
// lowest point, so no attitude leaves the hull inside the ground.
constexpr ContactPoint HULL_POINTS[] = {
    {-8.339, -2.194, 4.048}, // left wing tip, leading edge
    {8.339, -2.194, 4.048},  // right wing tip, leading edge
    {-8.339, -2.194, 1.817}, // left wing tip, trailing edge
    {8.339, -2.194, 1.817},  // right wing tip, trailing edge
    {-2.7, -0.455, 3.5},     // nose, left retro nozzle
    {2.7, -0.455, 3.5},      // nose, right retro nozzle
    {0, -1.095, 4.4},        // nose tip, below
    {0, 0.73, 4.4},          // nose tip, above
    {-2.7, -0.415, -4.6},    // tail, left main nozzle
    {2.7, -0.415, -4.6},     // tail, right main nozzle
    {0, 0, -5.1},            // tail, the boost nozzle
    {0, 1.481, 1.337},       // top, over the canopy
    {-2.135, 1.597, -1.169}, // top, left rear light
    {2.135, 1.597, -1.169},  // top, right rear light
};

constexpr int GEAR_DOWN_EXTRA_COUNT = sizeof GEAR_DOWN_EXTRA / sizeof GEAR_DOWN_EXTRA[0];
constexpr int HULL_POINT_COUNT = sizeof HULL_POINTS / sizeof HULL_POINTS[0];
// Feelers: a point without spring, damper or friction under each support point. The host reports ground
// contact as soon as one is below the surface, which is while the ship still comes down at the speed it
// landed with; the stiff springs would take a metre per second or more off that speed within the frame of
// the touchdown, before anyone reads it, and a hard landing would pass for a soft one. 0.2 m is more than a
// frame's fall at 12 m/s.
constexpr double FEELER_DEPTH = 0.2; // m below the support point
constexpr int MAX_CONTACT_POINTS = 3 + GEAR_DOWN_EXTRA_COUNT + HULL_POINT_COUNT + 3;

// Friction as the gear set gives it: longitudinal on the three support points, lateral on every point (the
// host uses the lateral value both ways on the others). The set's own friction call follows and sets them
// again.
TOUCHDOWNVTX Vertex(double x, double y, double z, double mass, double muLng, double muLat) {
    TOUCHDOWNVTX v;
    v.pos = _V(x, y, z);
    v.stiffness = CONTACT_STIFFNESS_PER_KG * mass;
    v.damping = CONTACT_DAMPING_PER_KG * mass;
    v.mu = muLat;
    v.mu_lng = muLng;
    return v;
}

} // namespace

// The support points come first, in the order that defines "up" and the braked wheels; the rest follow.
void Corvane::SetContactPoints(bool gearDown) {
    const TouchdownTriple& t = gearDown ? WHEEL_TOUCHDOWN_POINTS : BELLY_TOUCHDOWN_POINTS;
    const double muLng = gearDown ? WHEEL_FRICTION_LNG : BELLY_FRICTION;
    const double muLat = gearDown ? WHEEL_FRICTION_LAT : BELLY_FRICTION;
    const double mass = GetMass();
    contactMass = mass > LIGHTEST_CONTACT_MASS ? mass : LIGHTEST_CONTACT_MASS; // a NaN takes the floor too
    TOUCHDOWNVTX points[MAX_CONTACT_POINTS];
    int n = 0;
    for (int i = 0; i < 3; ++i)
        points[n++] = Vertex(t.p[i][0], t.p[i][1], t.p[i][2], contactMass, muLng, muLat);
    if (gearDown)
        for (const ContactPoint& p : GEAR_DOWN_EXTRA)
            points[n++] = Vertex(p.x, p.y, p.z, contactMass, muLng, muLat);
    for (const ContactPoint& p : HULL_POINTS)
        points[n++] = Vertex(p.x, p.y, p.z, contactMass, muLng, muLat);
    for (int i = 0; i < 3; ++i)
        points[n++] = Vertex(t.p[i][0], t.p[i][1] - FEELER_DEPTH, t.p[i][2], 0.0, 0.0, 0.0);
    SetTouchdownPoints(points, n);
}

// Springs made for another mass would fling the ship off the ground or let it sink. A ship held landed, which
// the new springs let go, is laid down on them again at once, so it stays at rest where it stood.
void Corvane::FollowMassWithContactSprings() {
    const double mass = GetMass();
    const double basis = mass > LIGHTEST_CONTACT_MASS ? mass : LIGHTEST_CONTACT_MASS;
    if (std::fabs(basis - contactMass) <= CONTACT_MASS_STRAY * contactMass) return;
    SetContactPoints(gearTarget != 1.0);
    if (!(GetFlightStatus() & 1)) return;
    VESSELSTATUS2 status;
    std::memset(&status, 0, sizeof status);
    status.version = 2;
    GetStatusEx(&status);
    // An attitude angle beyond 4 rad tells the host to work out how the ship sits rather than keep the old
    // one.
    status.arot.x = 10.0;
    DefSetStateEx(&status);
}

#endif
