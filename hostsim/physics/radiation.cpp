// The Sun's radiation pressure, which the host applies only when its configuration asks for it
// ("RadiationPressure = TRUE" in Orbiter_NG.cfg): the Sun's momentum flux at the vessel, dimmed by its body's
// shadow, made a force by the vessel's module (clbkGetRadiationForce) or by the host's plain model.
#include "lib/host.h"
#include "physics_internal.h"

namespace hs {
namespace phys {
namespace {

constexpr double SUN_LUMINOSITY = 3.846e26; // W, the host's value
constexpr double LIGHT_SPEED = 299792458.0; // m/s
constexpr double SUN_RADIUS = 6.96e8;       // m, the host's Sun
// The host looks at the shadow again after this long, or after the shorter time near the shadow's edge.
constexpr double LIGHT_RECHECK = 10.0;     // s
constexpr double LIGHT_RECHECK_EDGE = 1.0; // s
// The host's plain model: a cross section of the size squared that takes up one and a half times the flux.
constexpr double PLAIN_ALBEDO = 1.5;

// The part of the Sun's disc the body leaves uncovered, seen from the vessel (S to the Sun, P to the body's
// centre), as the host reckons it; `recheck` shortens near the shadow's edge.
double UncoveredSun(const VECTOR3& S, const VECTOR3& P, double bodyRadius, double& recheck) {
    const double s = length(S), p = length(P);
    if (!(p < s) || !(p > bodyRadius)) return 1.0;
    const double as = std::asin(SUN_RADIUS / s), ap = std::asin(bodyRadius / p);
    if (ap / as <= 0.1) return 1.0; // too small a body to shade
    const double phi = std::acos(std::fmax(-1.0, std::fmin(1.0, dotp(S, P) / (s * p))));
    double light = 1.0;
    if (phi < as + ap) {
        if (as < ap) {
            light = phi <= ap - as ? 0.0 : (phi + as - ap) / (2.0 * as);
        } else {
            const double maxCover = ap * ap / (as * as);
            light = phi < as - ap ? 1.0 - maxCover : 1.0 - 0.5 * maxCover * (1.0 + (as - phi) / ap);
        }
    }
    const double big = std::fmax(as, ap), small = std::fmin(as, ap);
    if (phi < big + 2.0 * small && phi > big - 2.0 * small) recheck = LIGHT_RECHECK_EDGE;
    return light;
}

// The host keeps its last look at the shadow for a while.
double LightFactor(Vessel& v, const VECTOR3& sun, double t1) {
    if (t1 >= v.lightFrom && t1 <= v.lightUntil) return v.lightFactor;
    double recheck = LIGHT_RECHECK;
    const Body* b = GetBody(v.phys.body);
    v.lightFactor = b ? UncoveredSun(sun - v.phys.pos, b->pos - v.phys.pos, b->radius, recheck) : 1.0;
    v.lightFrom = t1;
    v.lightUntil = t1 + recheck;
    return v.lightFactor;
}

} // namespace

bool RadiationForce(Vessel& v, double t1, VECTOR3& force, VECTOR3& at) {
    World& w = W();
    if (!w.radiationPressure || v.phys.landed) return false;
    const Body* earth = GetBody(BodyIndexByName("Earth"));
    if (!earth) return false;
    const VECTOR3 sun = earth->pos + SunFromEarth(w.env.mjd0 + t1 / 86400.0);
    const double light = LightFactor(v, sun, t1);
    if (light <= 0.0) return false;
    const VECTOR3 away = v.phys.pos - sun;
    const double r2 = dotp(away, away);
    const double pressure = SUN_LUMINOSITY / (4.0 * PI * LIGHT_SPEED) / r2; // N/m^2
    const VECTOR3 flux = tmul(v.phys.R, away * (pressure / std::sqrt(r2) * light));
    force = at = Vec(0, 0, 0);
    VESSEL2* cb = Callbacks(&v);
    if (cb && cb->Version() >= 2) {
        TraceCallback(&v, "clbkGetRadiationForce", flux);
        static_cast<VESSEL3*>(cb)->clbkGetRadiationForce(flux, force, at);
    } else {
        force = flux * (v.size * v.size * PLAIN_ALBEDO);
    }
    return true;
}

} // namespace phys
} // namespace hs
