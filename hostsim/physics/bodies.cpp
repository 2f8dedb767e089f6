// The table of known bodies (Config/bodies.cfg) and their atmospheres: pressure, density, temperature, sound.
#include "physics_internal.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

namespace hs {

using namespace phys;

namespace {

// Layers of the standard atmosphere by geopotential altitude: base in m, temperature lapse in K/m.
struct AtmLayer {
    double base;
    double lapse;
};
constexpr AtmLayer STANDARD_LAYERS[] = {
    {0.0, -0.0065}, {11000.0, 0.0},     {20000.0, 0.001},  {32000.0, 0.0028},
    {47000.0, 0.0}, {51000.0, -0.0028}, {71000.0, -0.002}, {84852.0, 0.0},
};
constexpr int LAYER_COUNT = sizeof(STANDARD_LAYERS) / sizeof(STANDARD_LAYERS[0]);

constexpr int MAX_BODIES = 16;

struct BodyTable {
    Body bodies[MAX_BODIES];
    int count = 0;
    bool loaded = false;
    double starMjd = 51544.5; // the date the star was placed for
    VECTOR3 shift{};          // hostsim's global frame -> the host's
};

BodyTable& Table() {
    static BodyTable t;
    return t;
}

Body MakeBody(const char* name, double radius, double gm, const VECTOR3& pos) {
    Body b;
    snprintf(b.name, sizeof b.name, "%s", name);
    b.radius = radius;
    b.gm = gm;
    b.pos = pos;
    return b;
}

// The host's Sun: its radius and its mass times the host's constant of gravitation.
constexpr double SUN_RADIUS = 6.96e8;      // m
constexpr double SUN_GM = 1.32712440018e20; // m^3/s^2

Body MakeStar(const char* name, double radius, double gm) {
    Body b = MakeBody(name, radius, gm, _V(0, 0, 0));
    b.star = true;
    return b;
}

// Earth with the standard layered atmosphere, whose thin top reaches 2500 km as the real host's does (a ship in
// low orbit still has air pressure there, so its aerodynamic controls stay on), the airless Moon, and the Sun
// (last, so the planets keep their places in the table).
void BuiltInBodies(BodyTable& t) {
    t.count = 0;
    Body earth = MakeBody("Earth", 6371010.0, 3.986004418e14, _V(0, 0, 0));
    earth.atm.model = ATM_LAYERED;
    earth.atm.p0 = 101325.0;
    earth.atm.T0 = 288.15;
    earth.atm.R = 287.05;
    earth.atm.gamma = 1.4;
    earth.atm.top = 2500000.0;
    t.bodies[t.count++] = earth;
    Body moon = MakeBody("Moon", 1737400.0, 4.9048695e12, _V(384400e3, 0, 0));
    moon.parent = 0;
    t.bodies[t.count++] = moon;
    t.bodies[t.count++] = MakeStar("Sun", SUN_RADIUS, SUN_GM);
}

int IndexIn(const BodyTable& t, const char* name) {
    for (int i = 0; i < t.count; ++i)
        if (strcasecmp(t.bodies[i].name, name) == 0) return i;
    return -1;
}

int StarIn(const BodyTable& t) {
    for (int i = 0; i < t.count; ++i)
        if (t.bodies[i].star) return i;
    return -1;
}

// The star's place and the frame's shift follow from the date; a table without a star or an Earth keeps
// hostsim's frame as the host's.
void PlaceStarIn(BodyTable& t, double mjd) {
    t.starMjd = mjd;
    t.shift = _V(0, 0, 0);
    const int star = StarIn(t), earth = IndexIn(t, "Earth");
    if (star < 0 || earth < 0 || earth == star) return;
    t.bodies[star].pos = t.bodies[earth].pos + SunFromEarth(mjd);
    t.shift = SunFromMassCentre(mjd) - t.bodies[star].pos;
}

// A body circles the star unless the table says otherwise.
void SetParents(BodyTable& t) {
    const int star = StarIn(t);
    for (int i = 0; i < t.count; ++i)
        if (t.bodies[i].parent < 0 && !t.bodies[i].star) t.bodies[i].parent = star;
}

// STAR name radius gm: the system's sun, placed by the date. PARENT body parent: whom a body circles.
bool ParseStarLine(const char* rest, BodyTable& t, std::string* why) {
    char name[32];
    double r, gm;
    if (sscanf(rest, " %31s %lf %lf", name, &r, &gm) != 3 || !(r > 0.0) || !(gm > 0.0)) {
        *why = "expected: STAR <name> <radius> <gm>, both positive";
        return false;
    }
    if (StarIn(t) >= 0) {
        *why = "a second STAR";
        return false;
    }
    if (t.count >= MAX_BODIES) {
        *why = "more than 16 bodies";
        return false;
    }
    t.bodies[t.count++] = MakeStar(name, r, gm);
    return true;
}

bool ParseParentLine(const char* rest, BodyTable& t, std::string* why) {
    char name[32], parent[32];
    if (sscanf(rest, " %31s %31s", name, parent) != 2) {
        *why = "expected: PARENT <body> <parent>";
        return false;
    }
    const int b = IndexIn(t, name), p = IndexIn(t, parent);
    if (b < 0 || p < 0 || b == p) {
        *why = std::string("PARENT ") + name + " " + parent + ": both must be different bodies named above";
        return false;
    }
    t.bodies[b].parent = p;
    return true;
}

// One line: BODY name radius gm x y z NONE | LAYERED p0 T0 R gamma top | EXPONENTIAL p0 T0 R gamma H top
bool ParseBodyLine(const char* line, Body& b, std::string* why) {
    char key[16], name[32], model[16];
    double r, gm, x, y, z;
    int used = 0;
    if (sscanf(line, "%15s %31s %lf %lf %lf %lf %lf %15s %n", key, name, &r, &gm, &x, &y, &z, model, &used) <
            8 ||
        strcasecmp(key, "BODY") != 0) {
        *why = "expected: BODY <name> <radius> <gm> <x> <y> <z> <NONE|LAYERED|EXPONENTIAL> ...";
        return false;
    }
    if (!(r > 0.0) || !(gm > 0.0)) {
        *why = "radius and GM must be positive";
        return false;
    }
    b = MakeBody(name, r, gm, _V(x, y, z));
    const char* rest = line + used;
    Atmosphere& a = b.atm;
    if (strcasecmp(model, "NONE") == 0) return true;
    if (strcasecmp(model, "LAYERED") == 0) {
        if (sscanf(rest, "%lf %lf %lf %lf %lf", &a.p0, &a.T0, &a.R, &a.gamma, &a.top) != 5) {
            *why = "LAYERED needs p0 T0 R gamma top";
            return false;
        }
        a.model = ATM_LAYERED;
    } else if (strcasecmp(model, "EXPONENTIAL") == 0) {
        if (sscanf(rest, "%lf %lf %lf %lf %lf %lf", &a.p0, &a.T0, &a.R, &a.gamma, &a.scaleHeight, &a.top) !=
                6 ||
            !(a.scaleHeight > 0.0)) {
            *why = "EXPONENTIAL needs p0 T0 R gamma scale-height top";
            return false;
        }
        a.model = ATM_EXPONENTIAL;
    } else {
        *why = std::string("unknown atmosphere model ") + model;
        return false;
    }
    if (!(a.p0 > 0.0) || !(a.T0 > 0.0) || !(a.R > 0.0) || !(a.gamma > 0.0)) {
        *why = "atmosphere values must be positive";
        return false;
    }
    return true;
}

// Each body turns as its own file in the host's format beside the table says (Config/Earth.cfg...); a body
// without one stays still.
void ReadSpins(BodyTable& t, const std::string& dir) {
    for (int i = 0; i < t.count; ++i)
        ReadSpin(dir + t.bodies[i].name + ".cfg", t.bodies[i].spin);
}

// SPIN <name> <key> <value> ...: how a body listed above turns, by the host's own body-file keys.
bool ParseSpinLine(const char* rest, BodyTable& t, std::string* why) {
    char name[32];
    int used = 0;
    if (sscanf(rest, " %31s%n", name, &used) != 1) {
        *why = "expected: SPIN <body> <key> <value> ...";
        return false;
    }
    Body* b = nullptr;
    for (int i = 0; i < t.count; ++i)
        if (strcasecmp(t.bodies[i].name, name) == 0) b = &t.bodies[i];
    if (!b) {
        *why = std::string("SPIN of ") + name + ", which no BODY line above names";
        return false;
    }
    rest += used;
    char key[32];
    double value;
    while (sscanf(rest, " %31s %lf%n", key, &value, &used) == 2) {
        if (!SetSpinKey(b->spin, key, value)) {
            *why = std::string("unknown SPIN key ") + key;
            return false;
        }
        rest += used;
    }
    while (*rest == ' ' || *rest == '\t' || *rest == '\n' || *rest == '\r')
        ++rest;
    if (*rest != '\0') {
        *why = std::string("SPIN: expected <key> <value> at ") + rest;
        return false;
    }
    return true;
}

void EnsureLoaded() {
    BodyTable& t = Table();
    if (t.loaded) return;
    t.loaded = true;
    std::string err;
    if (FILE* f = fopen("Config/bodies.cfg", "r")) {
        fclose(f);
        if (LoadBodies("Config/bodies.cfg", &err)) return;
        // A broken table must not go unnoticed, nor stop the host: say so and fly with the built-in one.
        fprintf(stderr, "%s; using the built-in Earth and Moon\n", err.c_str());
    }
    BuiltInBodies(t);
    SetParents(t);
    ReadSpins(t, "Config/");
    PlaceStarIn(t, t.starMjd);
}

} // namespace

bool LoadBodies(const std::string& path, std::string* err) {
    FILE* f = fopen(path.c_str(), "r");
    if (!f) {
        if (err) *err = path + ": cannot open";
        return false;
    }
    BodyTable fresh;
    char line[512];
    int lineNo = 0;
    bool ok = true;
    while (fgets(line, sizeof line, f)) {
        ++lineNo;
        if (char* c = strchr(line, ';')) *c = '\0';
        if (char* c = strchr(line, '#')) *c = '\0';
        const char* s = line;
        while (*s == ' ' || *s == '\t')
            ++s;
        if (*s == '\0' || *s == '\n' || *s == '\r') continue;
        Body b;
        std::string why;
        const bool spin = strncasecmp(s, "SPIN", 4) == 0 && (s[4] == ' ' || s[4] == '\t');
        const bool star = strncasecmp(s, "STAR", 4) == 0 && (s[4] == ' ' || s[4] == '\t');
        const bool parent = strncasecmp(s, "PARENT", 6) == 0 && (s[6] == ' ' || s[6] == '\t');
        if (spin || star || parent) {
            if (spin ? ParseSpinLine(s + 4, fresh, &why)
                     : star ? ParseStarLine(s + 4, fresh, &why) : ParseParentLine(s + 6, fresh, &why))
                continue;
            // NOLINTNEXTLINE(performance-inefficient-string-concatenation)
            if (err) *err = path + ":" + std::to_string(lineNo) + ": " + why;
            ok = false;
            break;
        }
        if (!ParseBodyLine(s, b, &why)) {
            // Built once, on the way out of a bad file.
            // NOLINTNEXTLINE(performance-inefficient-string-concatenation)
            if (err) *err = path + ":" + std::to_string(lineNo) + ": " + why;
            ok = false;
            break;
        }
        if (fresh.count >= MAX_BODIES) {
            if (err) *err = path + ":" + std::to_string(lineNo) + ": more than 16 bodies";
            ok = false;
            break;
        }
        fresh.bodies[fresh.count++] = b;
    }
    fclose(f);
    if (ok && fresh.count == 0) {
        if (err) *err = path + ": no BODY line";
        ok = false;
    }
    if (!ok) return false; // the table in use stays as it was
    size_t slash = path.find_last_of('/');
    ReadSpins(fresh, slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
    SetParents(fresh);
    fresh.loaded = true;
    PlaceStarIn(fresh, Table().starMjd);
    Table() = fresh;
    return true;
}

// Before the table is read the date is only kept: the table is read where the host root is.
void PlaceStar(double mjd) {
    BodyTable& t = Table();
    if (t.loaded) PlaceStarIn(t, mjd);
    else t.starMjd = mjd;
}

VECTOR3 ToHostFrame(const VECTOR3& pos) {
    EnsureLoaded();
    return pos + Table().shift;
}

VECTOR3 FromHostFrame(const VECTOR3& pos) {
    EnsureLoaded();
    return pos - Table().shift;
}

int StarIndex() {
    EnsureLoaded();
    return StarIn(Table());
}

// The host's choice of a vessel's orbit reference: the strongest pull, each body taken as a point mass.
int DominantBody(const VECTOR3& pos) {
    EnsureLoaded();
    const BodyTable& t = Table();
    int best = -1;
    double gmax = 0.0;
    for (int i = 0; i < t.count; ++i) {
        const VECTOR3 r = t.bodies[i].pos - pos;
        const double g = t.bodies[i].gm / dotp(r, r);
        if (g > gmax) {
            gmax = g;
            best = i;
        }
    }
    return best;
}

int NearestBody(const VECTOR3& pos) {
    EnsureLoaded();
    const BodyTable& t = Table();
    int best = -1;
    double nearest = INFINITY;
    for (int i = 0; i < t.count; ++i) {
        const double d = length(t.bodies[i].pos - pos) - t.bodies[i].radius;
        if (d < nearest) {
            nearest = d;
            best = i;
        }
    }
    return best;
}

int OrbitReference(const Vessel& v) {
    if (v.phys.landed || StarIndex() < 0) return v.phys.body;
    const int b = DominantBody(v.phys.pos);
    return b >= 0 ? b : v.phys.body;
}

int BodyCount() {
    EnsureLoaded();
    return Table().count;
}

const Body* GetBody(int index) {
    EnsureLoaded();
    BodyTable& t = Table();
    return index >= 0 && index < t.count ? &t.bodies[index] : nullptr;
}

int BodyIndexByName(const char* name) {
    if (!name) return -1;
    EnsureLoaded();
    return IndexIn(Table(), name);
}

AtmState AtmosphereAt(int body, double altitude) {
    AtmState s;
    const Body* b = GetBody(body);
    if (!b) return s;
    const Atmosphere& a = b->atm;
    if (a.model == ATM_NONE || altitude > a.top) return s;
    double p = 0.0, T = a.T0;
    if (a.model == ATM_EXPONENTIAL) {
        p = a.p0 * exp(-altitude / a.scaleHeight);
    } else {
        // Walk the layers up to the one holding the geopotential altitude; the last one goes on isothermal.
        double H = b->radius * altitude / (b->radius + altitude);
        double Tb = a.T0, pb = a.p0;
        for (int i = 0; i < LAYER_COUNT; ++i) {
            const AtmLayer& L = STANDARD_LAYERS[i];
            double top = i + 1 < LAYER_COUNT ? STANDARD_LAYERS[i + 1].base : 1e300;
            double h = (H < top ? H : top) - L.base;
            double Tt = Tb + L.lapse * h;
            double pt =
                L.lapse == 0.0 ? pb * exp(-G0 * h / (a.R * Tb)) : pb * pow(Tb / Tt, G0 / (a.R * L.lapse));
            if (H < top || i + 1 == LAYER_COUNT) {
                T = Tt;
                p = pt;
                break;
            }
            Tb = Tt;
            pb = pt;
        }
    }
    s.p = p;
    s.T = T;
    s.rho = p / (a.R * T);
    s.a = sqrt(a.gamma * a.R * T);
    return s;
}

void phys::ResetBodies() {
    Table() = BodyTable();
}

} // namespace hs
