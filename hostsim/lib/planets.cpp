// The host's functions on bodies: how they are turned, how fast they turn, and their equatorial coordinates.
#include "host.h"
#include "physics/physics.h"

#include <cmath>

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
    *glob = mul(FrameNow(*b).R, loc) + b->pos;
}

void oapiGlobalToEqu(OBJHANDLE hObj, const VECTOR3& glob, double* lng, double* lat, double* rad) {
    const Body* b = PlanetOf(hObj, "oapiGlobalToEqu");
    if (!b || !lng || !lat || !rad) return;
    VECTOR3 loc = tmul(FrameNow(*b).R, glob - b->pos);
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
    if (const Vessel* v = LiveVessel(hObj)) {
        *loc = tmul(v->phys.R, *glob - v->phys.pos);
        return;
    }
    if (const Body* b = PlanetOf(hObj, "oapiGlobalToLocal")) *loc = tmul(FrameNow(*b).R, *glob - b->pos);
}

void oapiLocalToGlobal(OBJHANDLE hObj, const VECTOR3* loc, VECTOR3* glob) {
    if (!glob || !loc) {
        Misuse("oapiLocalToGlobal: no vector");
        return;
    }
    if (const Vessel* v = LiveVessel(hObj)) {
        *glob = mul(v->phys.R, *loc) + v->phys.pos;
        return;
    }
    if (const Body* b = PlanetOf(hObj, "oapiLocalToGlobal")) *glob = mul(FrameNow(*b).R, *loc) + b->pos;
}
