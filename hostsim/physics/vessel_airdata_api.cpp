// The VESSEL methods that report air data, attitude, the last step's loads, the touchdown points and the
// control-surface levels, and the few that set what those readouts depend on.
#include "lib/host.h"
#include "physics_internal.h"

#include <cmath>
#include <cstring>

// The interface returns some handles as const values, as the host declares them.
#pragma GCC diagnostic ignored "-Wignored-qualifiers"

using namespace hs;
using namespace hs::phys;

namespace {

Vessel* Live(Vessel* v, const char* fn) {
    return CheckVessel(v, fn);
}

OBJHANDLE BodyHandle(const Vessel& v) {
    return const_cast<Body*>(&BodyOf(v));
}

// The airspeed in one of the host's frames: global, the ship's, the body's own (turning) frame, the horizon. The
// frame comes as the module's raw number: one outside the enumeration is answered (false), not trusted.
bool AirspeedIn(const Vessel& v, const REFFRAME& frame, VECTOR3& out) {
    int f;
    memcpy(&f, &frame, sizeof f);
    const VECTOR3 air = AirVelocity(v, v.phys.vel); // against the air, which turns with the body
    switch (f) {
    case FRAME_GLOBAL: out = air; return true;
    case FRAME_REFLOCAL: out = tmul(FrameNow(BodyOf(v)).R, air); return true;
    case FRAME_LOCAL: out = AirspeedVectorLocal(v); return true;
    case FRAME_HORIZON: out = HorizonAirspeedVector(v); return true;
    default: out = _V(0, 0, 0); return false;
    }
}

double DynamicPressure(const Vessel& v) {
    double s = Airspeed(v);
    return 0.5 * AtmDensity(v) * s * s;
}

// How far each of the first three touchdown points sinks per newton of weight when the vessel rests level on
// them: their springs share the weight so that the three carry it without a turning moment.
void Compressions(const Vessel& v, const double k[3], double out[3]) {
    const Touchdown td = TouchdownGeometry(v);
    VECTOR3 ex = Unit(td.p[2] - td.p[1]);
    VECTOR3 ez = crossp(ex, td.up);
    double x[3], z[3], a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
    for (int i = 0; i < 3; ++i) {
        x[i] = dotp(ex, td.p[i]);
        z[i] = dotp(ez, td.p[i]);
        a += k[i];
        b += k[i] * x[i];
        c += k[i] * z[i];
        d += k[i] * x[i] * x[i];
        e += k[i] * x[i] * z[i];
        f += k[i] * z[i] * z[i];
    }
    double den = c * c * d - 2.0 * b * c * e + b * b * f + a * (e * e - d * f);
    for (int i = 0; i < 3; ++i)
        out[i] = den != 0.0 ? ((e * e - d * f) + (b * f - c * e) * x[i] + (c * d - b * e) * z[i]) / den : 0.0;
}

} // namespace

// --- Atmosphere and air data ---

double VESSEL::GetAtmDensity() const {
    Vessel* v = Live(vessel, "GetAtmDensity");
    CallTrace trace(v, __func__);
    return trace.Result(v ? AtmDensity(*v) : 0.0);
}

double VESSEL::GetAtmTemperature() const {
    Vessel* v = Live(vessel, "GetAtmTemperature");
    CallTrace trace(v, __func__);
    return trace.Result(v ? AtmTemperature(*v) : 0.0);
}

double VESSEL::GetDynPressure() const {
    Vessel* v = Live(vessel, "GetDynPressure");
    CallTrace trace(v, __func__);
    return trace.Result(v ? DynamicPressure(SurfaceOwner(*v)) : 0.0);
}

const OBJHANDLE VESSEL::GetSurfaceRef() const {
    Vessel* v = Live(vessel, "GetSurfaceRef");
    CallTrace trace(v, __func__);
    return trace.Result(v ? BodyHandle(*v) : nullptr);
}

const OBJHANDLE VESSEL::GetAtmRef() const {
    Vessel* v = Live(vessel, "GetAtmRef");
    CallTrace trace(v, __func__);
    return trace.Result(v && AtmDensity(*v) > 0.0 ? BodyHandle(*v) : nullptr);
}

OBJHANDLE VESSEL::GetEquPos(double& longitude, double& latitude, double& radius) const {
    Vessel* v = Live(vessel, "GetEquPos");
    CallTrace trace(v, __func__, longitude, latitude, radius);
    if (!v) return nullptr;
    const Vessel& o = SurfaceOwner(*v);
    double hdg;
    SurfacePosition(o, &longitude, &latitude, &hdg);
    radius = length(o.phys.pos - BodyOf(o).pos);
    return trace.Result(BodyHandle(o));
}

double VESSEL::GetGroundspeed() const {
    Vessel* v = Live(vessel, "GetGroundspeed");
    CallTrace trace(v, __func__);
    return trace.Result(v ? Airspeed(SurfaceOwner(*v)) : 0.0);
}

bool VESSEL::GetGroundspeedVector(REFFRAME frame, VECTOR3& out) const {
    Vessel* v = Live(vessel, "GetGroundspeedVector");
    CallTrace trace(v, __func__, frame, out);
    out = _V(0, 0, 0);
    return trace.Result(v && AirspeedIn(SurfaceOwner(*v), frame, out));
}

bool VESSEL::GetAirspeedVector(REFFRAME frame, VECTOR3& out) const {
    Vessel* v = Live(vessel, "GetAirspeedVector");
    CallTrace trace(v, __func__, frame, out);
    out = _V(0, 0, 0);
    return trace.Result(v && AirspeedIn(SurfaceOwner(*v), frame, out));
}

bool VESSEL::GetShipAirspeedVector(VECTOR3& out) const {
    Vessel* v = Live(vessel, "GetShipAirspeedVector");
    CallTrace trace(v, __func__, out);
    out = _V(0, 0, 0);
    return trace.Result(v && AirspeedIn(SurfaceOwner(*v), FRAME_LOCAL, out));
}

double VESSEL::GetSlipAngle() const {
    Vessel* v = Live(vessel, "GetSlipAngle");
    CallTrace trace(v, __func__);
    return trace.Result(v ? SlipAngle(SurfaceOwner(*v)) : 0.0);
}

// --- Attitude and surface ---

double VESSEL::GetPitch() const {
    Vessel* v = Live(vessel, "GetPitch");
    CallTrace trace(v, __func__);
    return trace.Result(v ? Pitch(SurfaceOwner(*v)) : 0.0);
}

double VESSEL::GetBank() const {
    Vessel* v = Live(vessel, "GetBank");
    CallTrace trace(v, __func__);
    return trace.Result(v ? Bank(SurfaceOwner(*v)) : 0.0);
}

double VESSEL::GetYaw() const {
    Vessel* v = Live(vessel, "GetYaw");
    CallTrace trace(v, __func__);
    return trace.Result(v ? Yaw(SurfaceOwner(*v)) : 0.0);
}

// The bodies have no terrain: the ground lies on the mean radius and its data come at resolution level 0.
double VESSEL::GetAltitude(AltitudeMode mode, int* reslvl) {
    Vessel* v = Live(vessel, "GetAltitude");
    CallTrace trace(v, __func__, mode, reslvl);
    if (reslvl) *reslvl = 0;
    return trace.Result(v ? Altitude(SurfaceOwner(*v)) : 0.0);
}

double VESSEL::GetSurfaceElevation() const {
    Vessel* v = Live(vessel, "GetSurfaceElevation");
    CallTrace trace(v, __func__);
    return trace.Result(0.0);
}

VECTOR3 VESSEL::GetSurfaceNormal() const {
    Vessel* v = Live(vessel, "GetSurfaceNormal");
    CallTrace trace(v, __func__);
    return trace.Result(_V(0, 1, 0));
}

// --- Loads of the last step ---

double VESSEL::GetLift() const {
    Vessel* v = Live(vessel, "GetLift");
    CallTrace trace(v, __func__);
    return trace.Result(v ? v->phys.lift : 0.0);
}

double VESSEL::GetDrag() const {
    Vessel* v = Live(vessel, "GetDrag");
    CallTrace trace(v, __func__);
    return trace.Result(v ? v->phys.drag : 0.0);
}

// Lift stands normal to the flow in the vessel's plane of symmetry, drag against it, both along the flow the
// vessel meets now.
bool VESSEL::GetLiftVector(VECTOR3& L) const {
    Vessel* v = Live(vessel, "GetLiftVector");
    CallTrace trace(v, __func__, L);
    L = _V(0, 0, 0);
    if (!v || v->phys.lift == 0.0) return trace.Result(false);
    VECTOR3 a = AirspeedVectorLocal(*v);
    double n = std::hypot(a.y, a.z);
    double s = n > 0.0 ? v->phys.lift / n : 0.0;
    L = _V(0, a.z * s, -a.y * s);
    return trace.Result(true);
}

bool VESSEL::GetDragVector(VECTOR3& D) const {
    Vessel* v = Live(vessel, "GetDragVector");
    CallTrace trace(v, __func__, D);
    D = _V(0, 0, 0);
    if (!v || v->phys.drag == 0.0) return trace.Result(false);
    VECTOR3 a = AirspeedVectorLocal(*v);
    double n = length(a);
    D = n > 0.0 ? a * (-v->phys.drag / n) : _V(0, 0, 0);
    return trace.Result(true);
}

bool VESSEL::GetThrustVector(VECTOR3& T) const {
    Vessel* v = Live(vessel, "GetThrustVector");
    CallTrace trace(v, __func__, T);
    T = v ? v->phys.thrust : _V(0, 0, 0);
    return trace.Result(length(T) > 0.0);
}

bool VESSEL::GetForceVector(VECTOR3& F) const {
    Vessel* v = Live(vessel, "GetForceVector");
    CallTrace trace(v, __func__, F);
    F = v ? v->phys.force : _V(0, 0, 0);
    return trace.Result(v != nullptr);
}

// --- Touchdown points and wheels ---

double VESSEL::GetCOG_elev() const {
    Vessel* v = Live(vessel, "GetCOG_elev");
    CallTrace trace(v, __func__);
    if (!v) return trace.Result(0.0);
    if (!std::isnan(v->cogElevSet)) return trace.Result(v->cogElevSet);
    const Touchdown td = TouchdownGeometry(*v);
    return trace.Result(std::fabs(dotp(td.p[0], td.up)));
}

int VESSEL::GetTouchdownPointCount() const {
    Vessel* v = Live(vessel, "GetTouchdownPointCount");
    CallTrace trace(v, __func__);
    if (!v) return trace.Result(0);
    return trace.Result(v->touchdownVertices.empty() ? 3 : (int)v->touchdownVertices.size());
}

bool VESSEL::GetTouchdownPoint(TOUCHDOWNVTX& tdvtx, int idx) const {
    Vessel* v = Live(vessel, "GetTouchdownPoint");
    CallTrace trace(v, __func__, tdvtx, idx);
    if (!v || idx < 0 || idx >= GetTouchdownPointCount()) return trace.Result(false);
    const std::vector<TOUCHDOWNVTX>& all = v->touchdownVertices;
    double k[3];
    for (int i = 0; i < 3; ++i) k[i] = all.empty() ? SpringsOf(*v).k : all[i].stiffness;
    TOUCHDOWNVTX p{};
    if (all.empty()) {
        p.pos = v->touchdown[idx];
        p.stiffness = k[idx];
        p.damping = SpringsOf(*v).c;
        p.mu = v->muLat;
    } else {
        p = all[idx];
    }
    // The host copies its own record, which keeps each point's compression between the damping and the
    // friction: the fields after the damping come out one place late.
    double comp[3];
    Compressions(*v, k, comp);
    p.mu_lng = p.mu;
    p.mu = idx < 3 ? comp[idx] : 0.0;
    tdvtx = p;
    return trace.Result(true);
}

double VESSEL::GetWheelbrakeLevel(int which) const {
    Vessel* v = Live(vessel, "GetWheelbrakeLevel");
    CallTrace trace(v, __func__, which);
    if (!v) return trace.Result(0.0);
    if (which == 1 || which == 2) return trace.Result(v->wheelbrake[which - 1]);
    return trace.Result(0.5 * (v->wheelbrake[0] + v->wheelbrake[1]));
}

// --- Thrust ratings ---

namespace {

double AtmScale(const Thruster& t, double p) {
    if (!(t.isp0 > 0.0) || !(t.ispRef > 0.0) || !(t.pRef > 0.0)) return 1.0;
    return std::fmax(0.0, 1.0 - p * (t.isp0 - t.ispRef) / (t.pRef * t.isp0));
}

Thruster* ThrusterOf(Vessel* v, THRUSTER_HANDLE h, const char* fn) {
    Thruster* t = Owned<Thruster>(v, h);
    if (!t) Misuse("%s: thruster handle not of vessel %s", fn, v->name.c_str());
    return t;
}

} // namespace

double VESSEL::GetMaxThrust(ENGINETYPE eng) const {
    Vessel* v = Live(vessel, "GetMaxThrust");
    CallTrace trace(v, __func__, eng);
    if (!v) return trace.Result(0.0);
    THGROUP_TYPE type = eng == ENGINE_MAIN    ? THGROUP_MAIN
                        : eng == ENGINE_RETRO ? THGROUP_RETRO
                        : eng == ENGINE_HOVER ? THGROUP_HOVER
                                              : THGROUP_ATT_PITCHUP; // the host takes one attitude group for all
    if ((int)eng < ENGINE_MAIN || (int)eng > ENGINE_ATTITUDE) return trace.Result(0.0);
    double sum = 0.0;
    for (auto& g : v->groups)
        if (g->type == type) {
            for (Thruster* t : g->members) sum += t->max0;
            break;
        }
    return trace.Result(sum);
}

double VESSEL::GetThrusterMax0(THRUSTER_HANDLE th) const {
    Vessel* v = Live(vessel, "GetThrusterMax0");
    CallTrace trace(v, __func__, th);
    Thruster* t = v ? ThrusterOf(v, th, "GetThrusterMax0") : nullptr;
    return trace.Result(t ? t->max0 : 0.0);
}

double VESSEL::GetThrusterMax(THRUSTER_HANDLE th) const {
    Vessel* v = Live(vessel, "GetThrusterMax");
    CallTrace trace(v, __func__, th);
    Thruster* t = v ? ThrusterOf(v, th, "GetThrusterMax") : nullptr;
    return trace.Result(t ? t->max0 * AtmScale(*t, AtmPressure(*v)) : 0.0);
}

double VESSEL::GetThrusterMax(THRUSTER_HANDLE th, double p_ref) const {
    Vessel* v = Live(vessel, "GetThrusterMax");
    CallTrace trace(v, __func__, th, p_ref);
    Thruster* t = v ? ThrusterOf(v, th, "GetThrusterMax") : nullptr;
    return trace.Result(t ? t->max0 * AtmScale(*t, p_ref) : 0.0);
}

// --- Control surfaces and drag coefficients ---

void VESSEL::SetControlSurfaceLevel(AIRCTRL_TYPE type, double level) const {
    SetControlSurfaceLevel(type, level, false);
}

void VESSEL::SetControlSurfaceLevel(AIRCTRL_TYPE type, double level, bool direct) const {
    Vessel* v = Live(vessel, "SetControlSurfaceLevel");
    CallTrace trace(v, __func__, type, level, direct);
    if (!v) return;
    if ((unsigned)type >= 6u || !std::isfinite(level)) {
        Misuse("SetControlSurfaceLevel: %s: no surface kind %d, or a level that is not a number",
               v->name.c_str(), (int)type);
        return;
    }
    v->surfaceSetting[type] = level < -1.0 ? -1.0 : (level > 1.0 ? 1.0 : level);
    v->surfaceDirect = direct;
}

void VESSEL::SetCW(double cw_z_pos, double cw_z_neg, double cw_x, double cw_y) const {
    Vessel* v = Live(vessel, "SetCW");
    CallTrace trace(v, __func__, cw_z_pos, cw_z_neg, cw_x, cw_y);
    if (!v) return;
    v->cw[0] = cw_z_pos;
    v->cw[1] = cw_z_neg;
    v->cw[2] = cw_x;
    v->cw[3] = cw_y;
}

void VESSEL::GetCW(double& cw_z_pos, double& cw_z_neg, double& cw_x, double& cw_y) const {
    Vessel* v = Live(vessel, "GetCW");
    CallTrace trace(v, __func__, cw_z_pos, cw_z_neg, cw_x, cw_y);
    const double* cw = v ? v->cw : nullptr;
    cw_z_pos = cw ? cw[0] : 0.0;
    cw_z_neg = cw ? cw[1] : 0.0;
    cw_x = cw ? cw[2] : 0.0;
    cw_y = cw ? cw[3] : 0.0;
}

// The host answers with its own setting, not with the level it gave ovcInit.
int VESSEL::GetFlightModel() const {
    Vessel* v = Live(vessel, "GetFlightModel");
    CallTrace trace(v, __func__);
    return trace.Result(v ? HOST_FLIGHT_MODEL : 0);
}

// --- The local horizon ---

void VESSEL::HorizonRot(const VECTOR3& rloc, VECTOR3& rhorizon) const {
    Vessel* v = Live(vessel, "HorizonRot");
    CallTrace trace(v, __func__, rloc, rhorizon);
    if (!v) return;
    const Horizon h = HorizonAt(BodyOf(*v), v->phys.pos);
    const VECTOR3 g = mul(v->phys.R, rloc);
    rhorizon = _V(dotp(g, h.east), dotp(g, h.up), dotp(g, h.north));
}

void VESSEL::HorizonInvRot(const VECTOR3& rhorizon, VECTOR3& rloc) const {
    Vessel* v = Live(vessel, "HorizonInvRot");
    CallTrace trace(v, __func__, rhorizon, rloc);
    if (!v) return;
    const Horizon h = HorizonAt(BodyOf(*v), v->phys.pos);
    rloc = tmul(v->phys.R, h.east * rhorizon.x + h.up * rhorizon.y + h.north * rhorizon.z);
}
