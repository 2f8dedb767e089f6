// Where the Sun stands: seen from the Earth, and against the solar system's centre of mass, which is the
// host's global origin. Both in the global frame (ecliptic and equinox of J2000, left-handed: y toward the
// ecliptic's north, longitude 90 deg along z).
#include "physics_internal.h"

namespace hs {
namespace phys {
namespace {

constexpr double AU = 1.495978707e11; // m
constexpr double MJD_J2000 = 51544.5;
constexpr double DAYS_PER_CENTURY = 36525.0;

// The big planets' mean orbits (heliocentric, ecliptic and equinox of J2000) with their drift per century:
// good to a few hundredths of a degree over 1800-2050, so the Sun's place about the centre of mass, which they
// set, comes out to some ten thousand kilometres. The mass is the planet's (with its moons) over the Sun's.
struct MeanOrbit {
    double a, da;               // AU
    double e, de;
    double incl, dincl;         // deg
    double meanLong, dmeanLong; // deg
    double periLong, dperiLong; // deg, longitude of the perihelion
    double node, dnode;         // deg, longitude of the ascending node
    double massRatio;
};
constexpr MeanOrbit GIANTS[] = {
    {5.20288700, -0.00011607, 0.04838624, -0.00013253, 1.30439695, -0.00183714, 34.39644051, 3034.74612775,
     14.72847983, 0.21252668, 100.47390909, 0.20469106, 1.0 / 1047.3486},
    {9.53667594, -0.00125060, 0.05386179, -0.00050991, 2.48599187, 0.00193609, 49.95424423, 1222.49362201,
     92.59887831, -0.41897216, 113.66242448, -0.28867794, 1.0 / 3497.898},
    {19.18916464, -0.00196176, 0.04725744, -0.00004397, 0.77263783, -0.00242939, 313.23810451, 428.48202785,
     170.95427630, 0.40805281, 74.01692503, 0.04240589, 1.0 / 22902.98},
    {30.06992276, 0.00026291, 0.00859048, 0.00005105, 1.77004347, 0.00035372, -55.12002969, 218.45945325,
     44.96476227, -0.32241464, 131.78422574, -0.00508664, 1.0 / 19412.24},
};
constexpr double EARTH_MOON_MASS_RATIO = 1.0 / 328900.56;

// Kepler's equation by Newton's steps; the giants' orbits are near circles, so a few steps settle it.
double EccentricAnomaly(double M, double e) {
    double E = M + e * std::sin(M);
    for (int i = 0; i < 8; ++i)
        E -= (E - e * std::sin(E) - M) / (1.0 - e * std::cos(E));
    return E;
}

VECTOR3 PlanetFromSun(const MeanOrbit& o, double centuries) {
    const double a = (o.a + o.da * centuries) * AU, e = o.e + o.de * centuries;
    const double incl = (o.incl + o.dincl * centuries) * RAD;
    const double L = o.meanLong + o.dmeanLong * centuries, peri = o.periLong + o.dperiLong * centuries;
    const double node = (o.node + o.dnode * centuries) * RAD;
    const double argPeri = peri * RAD - node;
    const double E = EccentricAnomaly(std::remainder((L - peri) * RAD, 2.0 * PI), e);
    const double xo = a * (std::cos(E) - e), yo = a * std::sqrt(1.0 - e * e) * std::sin(E);
    const double cw = std::cos(argPeri), sw = std::sin(argPeri), cn = std::cos(node), sn = std::sin(node);
    const double ci = std::cos(incl), si = std::sin(incl);
    const double x = (cw * cn - sw * sn * ci) * xo + (-sw * cn - cw * sn * ci) * yo;
    const double y = (cw * sn + sw * cn * ci) * xo + (-sw * sn + cw * cn * ci) * yo;
    const double z = sw * si * xo + cw * si * yo;
    return Vec(x, z, y); // the ecliptic's north is the host's y
}

} // namespace

// The low-precision solar coordinates, good to about 0.01 deg and 1e-5 AU in this century.
VECTOR3 SunFromEarth(double mjd) {
    const double n = mjd - MJD_J2000; // days
    const double meanLongitude = 280.460 + 0.9856474 * n;
    const double g = (357.528 + 0.9856003 * n) * RAD;
    const double precession = 1.397 * n / DAYS_PER_CENTURY; // deg the equinox of date has moved on since J2000
    const double lambda = (meanLongitude + 1.915 * std::sin(g) + 0.020 * std::sin(2.0 * g) - precession) * RAD;
    const double r = (1.00014 - 0.01671 * std::cos(g) - 0.00014 * std::cos(2.0 * g)) * AU;
    return Vec(r * std::cos(lambda), 0.0, r * std::sin(lambda));
}

// The centre of mass lies where the planets' pulls on the Sun balance: the giants move the Sun by up to two of
// its radii about it; of the rest only the Earth is counted, whose place is known anyway.
VECTOR3 SunFromMassCentre(double mjd) {
    const double centuries = (mjd - MJD_J2000) / DAYS_PER_CENTURY;
    VECTOR3 moment = -SunFromEarth(mjd) * EARTH_MOON_MASS_RATIO;
    double mass = 1.0 + EARTH_MOON_MASS_RATIO;
    for (const MeanOrbit& o : GIANTS) {
        moment += PlanetFromSun(o, centuries) * o.massRatio;
        mass += o.massRatio;
    }
    return -moment / mass;
}

} // namespace phys
} // namespace hs
