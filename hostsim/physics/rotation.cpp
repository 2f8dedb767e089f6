// How the bodies turn: the host's rotation and precession of a body's axis, worked out from the scenario's
// start date and the simulated time, and what a turning body means for points on and above its surface.
#include "lib/host.h"
#include "physics_internal.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace hs {

using namespace phys;

namespace {

// Row-major, as the host writes its matrices.
MATRIX3 Rows(double a, double b, double c, double d, double e, double f, double g, double h, double i) {
    return _M(a, b, c, d, e, f, g, h, i);
}

// A body table read anew may hold another body at the same place.
bool SameSpin(const Spin& a, const Spin& b) {
    return a.period == b.period && a.offset == b.offset && a.obliquity == b.obliquity && a.lan == b.lan &&
           a.lanMjd == b.lanMjd && a.precPeriod == b.precPeriod && a.precObliquity == b.precObliquity &&
           a.precLan == b.precLan && a.epochMjd == b.epochMjd;
}

double PosAngle(double a) {
    double r = fmod(a, PI2);
    return r < 0.0 ? r + PI2 : r;
}

} // namespace

BodyFrame FrameAt(const Body& b, double mjd0, double simt) {
    const Spin& s = b.spin;
    BodyFrame f;
    const double cosEps = cos(s.obliquity), sinEps = sin(s.obliquity);
    // The turn at the scenario's start, counted from the elements' epoch, is folded into the offset once,
    // together with the precession state at the reference date, exactly as the host folds it.
    double dphi = s.offset + (mjd0 - s.epochMjd) * (86400.0 / s.period) * PI2;
    dphi += s.lan * cosEps;
    dphi = fmod(dphi, PI2);

    // The axis: tilted by the obliquity against the precession reference, whose node moves with the
    // precession; the reference itself may be tilted against the global frame.
    const double mjd = mjd0 + simt / 86400.0;
    const double precOmega = s.precPeriod != 0.0 ? PI2 / s.precPeriod : 0.0;
    const double lrel = s.lan + precOmega * (mjd - s.lanMjd);
    const double sinl = sin(lrel), cosl = cos(lrel);
    MATRIX3 refRel = Rows(cosl, -sinl * sinEps, -sinl * cosEps, //
                          0.0, cosEps, -sinEps,                 //
                          sinl, cosl * sinEps, cosl * cosEps);
    if (s.precObliquity != 0.0) {
        const double se = sin(s.precObliquity), ce = cos(s.precObliquity);
        const double sl = sin(s.precLan), cl = cos(s.precLan);
        MATRIX3 ref = mul(Rows(cl, 0, -sl, 0, 1, 0, sl, 0, cl), Rows(1, 0, 0, 0, ce, -se, 0, se, ce));
        refRel = mul(ref, refRel);
    }
    const VECTOR3 axis = _V(refRel.m12, refRel.m22, refRel.m32);
    f.obliquity = acos(fmax(-1.0, fmin(1.0, axis.y)));
    f.theta = atan2(-axis.x, axis.z);
    const double sinL = sin(f.theta), cosL = cos(f.theta);
    const double sine = sin(f.obliquity), cose = cos(f.obliquity);
    f.Recl = Rows(cosL, -sinL * sine, -sinL * cose, //
                  0.0, cose, -sine,                 //
                  sinL, cosL * sine, cosL * cose);
    const double cosOff = cosL * refRel.m11 + sinL * refRel.m31;
    const double sinOff = -(cosL * refRel.m13 + sinL * refRel.m33);
    const double omega = PI2 / s.period;
    f.rotation = PosAngle(dphi + simt * omega - lrel * cosEps + atan2(sinOff, cosOff));
    const double cr = cos(f.rotation), sr = sin(f.rotation);
    f.R = mul(f.Recl, Rows(cr, 0.0, -sr, 0.0, 1.0, 0.0, sr, 0.0, cr));
    // The host's turn (cos r, -sin r; sin r, cos r about y) carries longitude 0 toward +z: in this frame's
    // cross product that is a spin about -y.
    f.w = mul(f.Recl, _V(0.0, -omega, 0.0));
    return f;
}

BodyFrame FrameNow(const Body& b) {
    // Asked for many times a step (every airspeed): the last answer serves while body and time stay.
    struct Last {
        const Body* body = nullptr;
        Spin spin;
        double mjd0 = NAN, simt = NAN;
        BodyFrame frame;
    };
    static Last last;
    const double mjd0 = W().env.mjd0, simt = W().simt;
    if (last.body != &b || last.mjd0 != mjd0 || last.simt != simt || !SameSpin(last.spin, b.spin)) {
        last.body = &b;
        last.spin = b.spin;
        last.mjd0 = mjd0;
        last.simt = simt;
        last.frame = FrameAt(b, mjd0, simt);
    }
    return last.frame;
}

bool SetSpinKey(Spin& spin, const char* key, double value) {
    struct Key {
        const char* name;
        double Spin::*value;
    };
    static const Key keys[] = {{"SidRotPeriod", &Spin::period},
                               {"SidRotOffset", &Spin::offset},
                               {"Obliquity", &Spin::obliquity},
                               {"LAN", &Spin::lan},
                               {"LAN_MJD", &Spin::lanMjd},
                               {"PrecessionPeriod", &Spin::precPeriod},
                               {"PrecessionObliquity", &Spin::precObliquity},
                               {"PrecessionLAN", &Spin::precLan},
                               {"ElementsEpoch", &Spin::epochMjd}};
    for (const Key& k : keys)
        if (strcasecmp(key, k.name) == 0) {
            spin.*k.value = value;
            // The host's "does not turn" for a period that cannot be divided by.
            if (!(spin.period != 0.0) || !std::isfinite(spin.period)) spin.period = 1e100;
            return true;
        }
    return false;
}

bool ReadSpin(const std::string& path, Spin& spin) {
    FILE* f = fopen(path.c_str(), "r");
    if (!f) return false;
    double epoch = 2000.0;
    bool hasElements = false;
    char line[512];
    while (fgets(line, sizeof line, f)) {
        if (char* c = strchr(line, ';')) *c = '\0';
        char name[64], word[16];
        double value;
        if (sscanf(line, " HasElements = %15s", word) == 1) hasElements = strcasecmp(word, "TRUE") == 0;
        // "Name = value"; the host matches the item's name whole and ignores its case.
        if (sscanf(line, " %63[A-Za-z0-9_] = %lf", name, &value) != 2) continue;
        if (strcasecmp(name, "Epoch") == 0)
            epoch = value;
        else if (strcasecmp(name, "ElementsEpoch") != 0)
            SetSpinKey(spin, name, value);
    }
    fclose(f);
    // A body with its own elements counts its turn from their epoch (a Julian year, J2000 when the file
    // names none); any other body from the default elements' J2000.
    spin.epochMjd = hasElements ? 51544.5 + (epoch - 2000.0) * 365.25 : 51544.5;
    return true;
}

VECTOR3 SurfaceVelocity(const BodyFrame& f, const Body& b, const VECTOR3& pos) {
    return crossp(f.w, pos - b.pos);
}

MATRIX3 BodyLocalAttitude(const Vessel& v) {
    return mul(Transpose(FrameNow(BodyOf(v)).R), v.phys.R);
}

} // namespace hs

namespace hs {
namespace phys {

void CarryWithSurface(PhysicsState& s, const Body& b, double t0, double t1) {
    const double mjd0 = W().env.mjd0;
    const BodyFrame f0 = FrameAt(b, mjd0, t0), f1 = FrameAt(b, mjd0, t1);
    const MATRIX3 turn = mul(f1.R, Transpose(f0.R));
    s.pos = b.pos + mul(turn, s.pos - b.pos);
    s.R = mul(turn, s.R);
    s.vel = crossp(f1.w, s.pos - b.pos);
    // The host reports no spin for a vessel at rest on the ground, though the ground turns it.
    s.omega = _V(0, 0, 0);
}

} // namespace phys
} // namespace hs

namespace hs {
namespace phys {

Horizon TurnedHorizon(const BodyFrame& f, const Body& b, const VECTOR3& pos) {
    const VECTOR3 r = tmul(f.R, pos - b.pos);
    const double rl = length(r);
    Horizon h = rl > 0.0 ? HorizonAtLngLat(atan2(r.z, r.x), asin(fmax(-1.0, fmin(1.0, r.y / rl))))
                         : HorizonAtLngLat(0.0, 0.0);
    h.east = mul(f.R, h.east);
    h.up = mul(f.R, h.up);
    h.north = mul(f.R, h.north);
    return h;
}

VECTOR3 AirVelocity(const Vessel& v, const VECTOR3& vel) {
    const Body& b = BodyOf(v);
    return vel - SurfaceVelocity(FrameNow(b), b, v.phys.pos);
}

} // namespace phys
} // namespace hs
