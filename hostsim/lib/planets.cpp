// The host's functions on bodies: how they are turned, how fast they turn, and their equatorial coordinates.
#include "host.h"
#include "physics/physics.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <string>

using namespace hs;

namespace hs {
int BodyOfHandle(OBJHANDLE h);
}

namespace {

// The body a handle names, or null with the call counted as misuse.
const Body* PlanetOf(OBJHANDLE h, const char* fn) {
    int b = BodyOfHandle(h);
    if (b >= 0) return GetBody(b);
    Misuse("%s: not a body", fn);
    return nullptr;
}

} // namespace

void oapiGetRotationMatrix(OBJHANDLE hObj, MATRIX3* mat) {
    if (!mat) {
        Misuse("oapiGetRotationMatrix: no matrix to fill");
        return;
    }
    if (const Vessel* v = LiveVessel(hObj)) {
        *mat = v->phys.R;
        return;
    }
    const Body* b = PlanetOf(hObj, "oapiGetRotationMatrix");
    *mat = b ? FrameNow(*b).R : identity();
}

void oapiEquToGlobal(OBJHANDLE hObj, double lng, double lat, double rad, VECTOR3* glob) {
    const Body* b = PlanetOf(hObj, "oapiEquToGlobal");
    if (!b || !glob) return;
    VECTOR3 loc = _V(cos(lat) * cos(lng), sin(lat), cos(lat) * sin(lng)) * rad;
    *glob = ToHostFrame(mul(FrameNow(*b).R, loc) + b->pos);
}

void oapiGlobalToEqu(OBJHANDLE hObj, const VECTOR3& glob, double* lng, double* lat, double* rad) {
    const Body* b = PlanetOf(hObj, "oapiGlobalToEqu");
    if (!b || !lng || !lat || !rad) return;
    VECTOR3 loc = tmul(FrameNow(*b).R, FromHostFrame(glob) - b->pos);
    *rad = length(loc);
    *lng = atan2(loc.z, loc.x);
    *lat = *rad > 0.0 ? asin(loc.y / *rad) : 0.0;
}

double oapiGetPlanetPeriod(OBJHANDLE hPlanet) {
    const Body* b = PlanetOf(hPlanet, "oapiGetPlanetPeriod");
    return b ? b->spin.period : 0.0;
}

double oapiGetPlanetObliquity(OBJHANDLE hPlanet) {
    const Body* b = PlanetOf(hPlanet, "oapiGetPlanetObliquity");
    return b ? FrameNow(*b).obliquity : 0.0;
}

double oapiGetPlanetTheta(OBJHANDLE hPlanet) {
    const Body* b = PlanetOf(hPlanet, "oapiGetPlanetTheta");
    return b ? FrameNow(*b).theta : 0.0;
}

void oapiGetPlanetObliquityMatrix(OBJHANDLE hPlanet, MATRIX3* mat) {
    const Body* b = PlanetOf(hPlanet, "oapiGetPlanetObliquityMatrix");
    if (mat) *mat = b ? FrameNow(*b).Recl : identity();
}

double oapiGetPlanetCurrentRotation(OBJHANDLE hPlanet) {
    const Body* b = PlanetOf(hPlanet, "oapiGetPlanetCurrentRotation");
    return b ? FrameNow(*b).rotation : 0.0;
}

// A vessel's frame or a body's turning one, about its centre.
void oapiGlobalToLocal(OBJHANDLE hObj, const VECTOR3* glob, VECTOR3* loc) {
    if (!glob || !loc) {
        Misuse("oapiGlobalToLocal: no vector");
        return;
    }
    const VECTOR3 here = FromHostFrame(*glob);
    if (const Vessel* v = LiveVessel(hObj)) {
        *loc = tmul(v->phys.R, here - v->phys.pos);
        return;
    }
    if (const Body* b = PlanetOf(hObj, "oapiGlobalToLocal")) *loc = tmul(FrameNow(*b).R, here - b->pos);
}

void oapiLocalToGlobal(OBJHANDLE hObj, const VECTOR3* loc, VECTOR3* glob) {
    if (!glob || !loc) {
        Misuse("oapiLocalToGlobal: no vector");
        return;
    }
    if (const Vessel* v = LiveVessel(hObj)) {
        *glob = ToHostFrame(mul(v->phys.R, *loc) + v->phys.pos);
        return;
    }
    if (const Body* b = PlanetOf(hObj, "oapiLocalToGlobal"))
        *glob = ToHostFrame(mul(FrameNow(*b).R, *loc) + b->pos);
}

namespace {

// The keys of a body's own file that give its atmosphere's constants for drawing and for modules:
// "Key = value ; comment". A key the file lacks leaves the value as it was.
void ReadAtmKeys(const char* bodyName, ATMCONST& a) {
    FILE* f = fopen(("Config/" + std::string(bodyName) + ".cfg").c_str(), "r");
    if (!f) return;
    char line[256];
    while (fgets(line, sizeof line, f)) {
        if (char* c = strchr(line, ';')) *c = '\0';
        char key[32];
        int used = 0;
        if (sscanf(line, " %31[A-Za-z0-9_] = %n", key, &used) != 1 || used == 0) continue;
        const char* val = line + used;
        double x, y, z;
        if (!strcasecmp(key, "AtmGasConstant"))
            sscanf(val, "%lf", &a.R);
        else if (!strcasecmp(key, "AtmGamma"))
            sscanf(val, "%lf", &a.gamma);
        else if (!strcasecmp(key, "AtmHorizonAlt"))
            sscanf(val, "%lf", &a.horizonalt);
        else if (!strcasecmp(key, "AtmColor0") && sscanf(val, "%lf %lf %lf", &x, &y, &z) == 3)
            a.color0 = _V(x, y, z);
    }
    fclose(f);
}

struct AtmConstCache {
    char name[32] = {};
    ATMCONST atm{};
};

} // namespace

// What the atmosphere gives at the ground and where it ends, then what the body's file says; the pressure's
// exponent is the one the host derives from them (surface gravity times density over pressure).
const ATMCONST* oapiGetPlanetAtmConstants(OBJHANDLE hPlanet) {
    const Body* b = PlanetOf(hPlanet, "oapiGetPlanetAtmConstants");
    if (!b || b->atm.model == ATM_NONE) return nullptr;
    // The host hands out a pointer to its own record: one per body, made on the first call.
    static AtmConstCache cache[32];
    const int idx = BodyOfHandle(hPlanet);
    if (idx < 0 || idx >= 32) return nullptr;
    AtmConstCache& c = cache[idx];
    if (strcmp(c.name, b->name) != 0) {
        ATMCONST a{};
        const AtmState ground = AtmosphereAt(idx, 0.0);
        a.p0 = ground.p;
        a.rho0 = ground.rho;
        a.R = b->atm.R;
        a.gamma = b->atm.gamma;
        a.altlimit = b->atm.top;
        a.horizonalt = a.altlimit * 0.3;
        ReadAtmKeys(b->name, a);
        a.C = a.p0 > 0.0 ? a.rho0 * (b->gm / (b->radius * b->radius)) / a.p0 : 0.0;
        a.radlimit = a.altlimit + b->radius;
        c.atm = a;
        snprintf(c.name, sizeof c.name, "%s", b->name);
    }
    return &c.atm;
}
