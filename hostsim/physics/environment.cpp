// What a vessel's environment reports: mass, weight, altitude, atmosphere, airspeed and flight status.
#include "physics_internal.h"

#include <cmath>

namespace hs {
namespace phys {

const Body& BodyOf(const Vessel& v) {
    const Body* b = GetBody(v.phys.body);
    if (!b) b = GetBody(0);
    static const Body none;
    return b ? *b : none;
}

Horizon HorizonAtLngLat(double lng, double lat) {
    Horizon h;
    double cl = cos(lat), sl = sin(lat), cg = cos(lng), sg = sin(lng);
    h.up = Vec(cl * cg, sl, cl * sg);
    h.east = Vec(-sg, 0, cg);
    h.north = Vec(-sl * cg, cl, -sl * sg);
    return h;
}

Horizon HorizonAt(const Body& b, const VECTOR3& pos) {
    return TurnedHorizon(FrameNow(b), b, pos);
}

MATRIX3 PointFrame(const VECTOR3& dir, const VECTOR3& rot) {
    VECTOR3 e1 = Unit(dir);
    if (length2(e1) == 0.0) e1 = Vec(0, 0, 1);
    VECTOR3 e2 = rot - e1 * dotp(rot, e1);
    if (length(e2) < 1e-9) e2 = fabs(e1.y) < 0.9 ? Vec(0, 1, 0) - e1 * e1.y : Vec(1, 0, 0) - e1 * e1.x;
    e2 = Unit(e2);
    return Columns(e1, e2, crossp(e1, e2));
}

MATRIX3 AttachmentFrame(const hs::Attachment& a) {
    return PointFrame(a.toParent ? a.dir : -a.dir, a.rot);
}

Touchdown TouchdownGeometry(const Vessel& v) {
    Touchdown t;
    for (int i = 0; i < 3; ++i)
        t.p[i] = v.touchdown[i];
    // The order nose, left, right defines up.
    VECTOR3 n = crossp(t.p[2] - t.p[0], t.p[1] - t.p[0]);
    if (length(n) < 1e-12) {
        // Points that span no plane cannot carry the vessel: a tripod below the centre of mass serves.
        double s = v.size > 0.0 ? v.size : 1.0;
        t.p[0] = Vec(0, -s, s);
        t.p[1] = Vec(-s, -s, -s);
        t.p[2] = Vec(s, -s, -s);
        n = crossp(t.p[2] - t.p[0], t.p[1] - t.p[0]);
    }
    t.up = Unit(n);
    VECTOR3 f = Vec(0, 0, 1) - t.up * t.up.z;
    if (length(f) < 1e-9) f = Vec(0, 1, 0) - t.up * t.up.y;
    t.fwd = Unit(f);
    t.right = crossp(t.up, t.fwd);
    return t;
}

void Orthonormalise(MATRIX3& R) {
    VECTOR3 x = Vec(R.m11, R.m21, R.m31), y = Vec(R.m12, R.m22, R.m32);
    x = Unit(x);
    y = Unit(y - x * dotp(x, y));
    VECTOR3 z = crossp(x, y);
    R = Columns(x, y, z);
}

} // namespace phys

using namespace phys;

double PropellantMass(const Vessel& v) {
    double m = 0.0;
    for (const auto& p : v.propellants)
        m += p->mass;
    return m;
}

double TotalMass(const Vessel& v) {
    return v.emptyMass + PropellantMass(v);
}

double Altitude(const Vessel& v) {
    const Body& b = BodyOf(v);
    return length(v.phys.pos - b.pos) - b.radius;
}

VECTOR3 WeightVector(const Vessel& v) {
    const Body& b = BodyOf(v);
    VECTOR3 r = v.phys.pos - b.pos;
    double rl = length(r);
    if (rl <= 0.0) return Vec(0, 0, 0);
    VECTOR3 g = r * (-b.gm / (rl * rl * rl));
    return tmul(v.phys.R, g * TotalMass(v));
}

static AtmState AtmOf(const Vessel& v) {
    return AtmosphereAt(v.phys.body, Altitude(v));
}

double AtmPressure(const Vessel& v) {
    return AtmOf(v).p;
}
double AtmDensity(const Vessel& v) {
    return AtmOf(v).rho;
}
double AtmTemperature(const Vessel& v) {
    return AtmOf(v).T;
}
double SpeedOfSound(const Vessel& v) {
    return AtmOf(v).a;
}

VECTOR3 AirspeedVectorLocal(const Vessel& v) {
    return tmul(v.phys.R, AirVelocity(v, v.phys.vel));
}

VECTOR3 HorizonAirspeedVector(const Vessel& v) {
    const VECTOR3 vel = AirVelocity(v, v.phys.touchdownFrame ? v.phys.touchdownVel : v.phys.vel);
    Horizon h = HorizonAt(BodyOf(v), v.phys.pos);
    return Vec(dotp(vel, h.east), dotp(vel, h.up), dotp(vel, h.north));
}

double Airspeed(const Vessel& v) {
    return length(AirVelocity(v, v.phys.vel));
}

double AOA(const Vessel& v) {
    VECTOR3 a = AirspeedVectorLocal(v);
    return atan2(-a.y, a.z);
}

double SlipAngle(const Vessel& v) {
    VECTOR3 a = AirspeedVectorLocal(v);
    return atan2(-a.x, a.z);
}

double MachNumber(const Vessel& v) {
    double a = SpeedOfSound(v);
    return a > 0.0 ? Airspeed(v) / a : 0.0;
}

bool GroundContact(const Vessel& v) {
    return v.phys.groundContact || v.phys.landed;
}

double Pitch(const Vessel& v) {
    Horizon h = HorizonAt(BodyOf(v), v.phys.pos);
    VECTOR3 nose = mul(v.phys.R, Vec(0, 0, 1));
    return asin(fmax(-1.0, fmin(1.0, dotp(nose, h.up))));
}

const Vessel& SurfaceOwner(const Vessel& v) {
    const Vessel* top = &v;
    // A tree is at most as deep as the world holds vessels; the bound only guards a broken link.
    for (size_t depth = 0; depth < 1024; ++depth) {
        const Vessel* parent = nullptr;
        for (const auto& a : top->attachments)
            if (a->toParent && a->other) parent = a->other;
        if (!parent) break;
        top = parent;
    }
    return *top;
}

// The host's sign: positive when the right wing points up (rolled to the left).
double Bank(const Vessel& v) {
    Horizon h = HorizonAt(BodyOf(v), v.phys.pos);
    return atan2(dotp(mul(v.phys.R, Vec(1, 0, 0)), h.up), dotp(mul(v.phys.R, Vec(0, 1, 0)), h.up));
}

double Yaw(const Vessel& v) {
    Horizon h = HorizonAt(BodyOf(v), v.phys.pos);
    VECTOR3 nose = mul(v.phys.R, Vec(0, 0, 1));
    double e = dotp(nose, h.east), n = dotp(nose, h.north);
    if (fabs(e) <= 1e-4 && fabs(n) <= 1e-4) {
        VECTOR3 belly = mul(v.phys.R, Vec(0, -1, 0));
        e = dotp(belly, h.east);
        n = dotp(belly, h.north);
    }
    double yaw = atan2(e, n);
    return yaw < 0.0 ? yaw + 2.0 * PI : yaw;
}

void TouchdownSprings(Vessel& v) {
    // The host gives a vessel of exactly its default empty mass, 1000 kg, springs of 1e6 N/m instead.
    v.touchdownStiffness = v.emptyMass == 1000.0 ? 1e6 : TOUCHDOWN_STIFFNESS_PER_KG * v.emptyMass;
    v.touchdownDamping = TOUCHDOWN_DAMPING_TIME * v.touchdownStiffness;
}

namespace phys {

Springs SpringsOf(const Vessel& v) {
    // Points set without the host's call (a bare record) take their springs from the empty mass now.
    if (v.touchdownStiffness != 0.0) return {v.touchdownStiffness, v.touchdownDamping};
    double k = TOUCHDOWN_STIFFNESS_PER_KG * v.emptyMass;
    return {k, TOUCHDOWN_DAMPING_TIME * k};
}

} // namespace phys

DWORD FlightStatus(const Vessel& v) {
    DWORD s = v.phys.landed ? 1u : 0u;
    for (const auto& d : v.docks)
        if (d->mate) s |= 2u;
    return s;
}

double ControlSurfaceLevel(const Vessel& v, AIRCTRL_TYPE type) {
    return (unsigned)type < 6u ? v.surfaceLevel[type] : 0.0;
}

} // namespace hs
