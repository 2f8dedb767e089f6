// VESSEL methods that configure a vessel: physical parameters, beacons, propellant, thrusters, aerodynamics,
// attachment points and animations (docking ports have docking.cpp, meshes vessel_meshes.cpp). Each checks
// the handles it is given.
#include "host.h"
#include "physics/physics.h"

#include <cmath>
#include <cstring>

// The interface returns some handles as const values, as the host declares them.
#pragma GCC diagnostic ignored "-Wignored-qualifiers"

using namespace hs;

namespace hs {

// Any vessel's tank: the host lets a thruster draw on another vessel's tank (a shuttle's engines on its
// external tank) and a module read it through its own interface.
Propellant* Prop(Vessel* v, PROPELLANT_HANDLE h, const char* fn) {
    Propellant* p = Slots<Propellant>().IsLive(static_cast<Propellant*>(h)) ? static_cast<Propellant*>(h) : nullptr;
    if (!p) Misuse("%s: no live propellant handle given to vessel %s", fn, v->name.c_str());
    return p;
}

// A tank that goes leaves no thruster or default pointing at it, in any vessel.
void UnlinkPropellant(const Propellant* p) {
    for (auto& o : W().vessels) {
        for (auto& t : o->thrusters)
            if (t->res == p) t->res = nullptr;
        if (o->defaultPropellant == p) o->defaultPropellant = nullptr;
    }
}

Thruster* Thr(Vessel* v, THRUSTER_HANDLE h, const char* fn) {
    Thruster* t = Owned<Thruster>(v, h);
    if (!t) Misuse("%s: thruster handle not of vessel %s", fn, v->name.c_str());
    return t;
}

ThrusterGroup* Grp(Vessel* v, THGROUP_HANDLE h, const char* fn) {
    ThrusterGroup* g = Owned<ThrusterGroup>(v, h);
    if (!g) Misuse("%s: thruster group handle not of vessel %s", fn, v->name.c_str());
    return g;
}

ThrusterGroup* GroupOfType(Vessel* v, THGROUP_TYPE type) {
    for (auto& g : v->groups)
        if (g->type == type) return g.get();
    return nullptr;
}

} // namespace hs

namespace {

double Clamp01(double x) { return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x); }

} // namespace

namespace hs {
Attachment* Att(Vessel* v, ATTACHMENTHANDLE h, const char* fn) {
    Attachment* a = Owned<Attachment>(v, h);
    if (!a) Misuse("%s: attachment handle not of vessel %s", fn, v->name.c_str());
    return a;
}
} // namespace hs

VESSEL::VESSEL(OBJHANDLE hVessel, int fmodel) : vessel(nullptr), flightmodel((short)fmodel), version(0) {
    vessel = LiveVessel(hVessel);
    if (!vessel) Misuse("VESSEL: constructed with a dead or foreign vessel handle");
}

// --- Identity ---

const OBJHANDLE VESSEL::GetHandle() const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__);
    return trace.Result(v);
}

char* VESSEL::GetName() const {
    static char none[1] = {0};
    SELF_OR(none);
    CallTrace trace(v, __func__);
    return trace.Result(&v->name[0]);
}

char* VESSEL::GetClassName() const {
    static char none[1] = {0};
    SELF_OR(none);
    CallTrace trace(v, __func__);
    return trace.Result(&v->className[0]);
}

const OBJHANDLE VESSEL::GetGravityRef() const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__);
    return trace.Result(const_cast<Body*>(GetBody(OrbitReference(*v))));
}

void VESSEL::SetEnableFocus(bool enable) const {
    SELF_OR();
    CallTrace trace(v, __func__, enable);
    v->enableFocus = enable;
    v->enableFocusSet = true;
}

// --- Physical parameters ---

void VESSEL::SetSize(double size) const {
    SELF_OR();
    CallTrace trace(v, __func__, size);
    v->size = size;
}

double VESSEL::GetSize() const {
    SELF_OR(0.0);
    CallTrace trace(v, __func__);
    return trace.Result(v->size);
}

void VESSEL::SetEmptyMass(double m) const {
    SELF_OR();
    CallTrace trace(v, __func__, m);
    if (!std::isfinite(m)) {
        Misuse("SetEmptyMass: %s: mass is not a number", v->name.c_str());
        return;
    }
    v->emptyMass = m; // the dampeners set a negative empty mass: the total is what counts
    v->unweighed = false;
}

double VESSEL::GetEmptyMass() const {
    SELF_OR(0.0);
    CallTrace trace(v, __func__);
    return trace.Result(v->emptyMass);
}

void VESSEL::SetPMI(const VECTOR3& pmi) const {
    SELF_OR();
    CallTrace trace(v, __func__, pmi);
    v->pmi = pmi;
}

void VESSEL::SetCrossSections(const VECTOR3& cs) const {
    SELF_OR();
    CallTrace trace(v, __func__, cs);
    v->crossSections = cs;
}

void VESSEL::SetRotDrag(const VECTOR3& rd) const {
    SELF_OR();
    CallTrace trace(v, __func__, rd);
    v->rotDrag = rd;
}

void VESSEL::SetTouchdownPoints(const VECTOR3& pt1, const VECTOR3& pt2, const VECTOR3& pt3) const {
    SELF_OR();
    CallTrace trace(v, __func__, pt1, pt2, pt3);
    v->touchdown[0] = pt1;
    v->touchdown[1] = pt2;
    v->touchdown[2] = pt3;
    v->touchdownVertices.clear();
    v->cogElevSet = NAN; // the points give the height again
    TouchdownSprings(*v);
    // The host gives a vessel still at its default empty mass the springs of its default points.
    if (v->emptyMass == 1e3) {
        v->touchdownStiffness = 1e6; // N/m
        v->touchdownDamping = 1e5;   // N s/m
    }
    if (!(v->touchdownStiffness > 0.0))
        Misuse("SetTouchdownPoints: %s has an empty mass of %g kg, so its touchdown points get a stiffness of %g "
               "N/m: the ground will not carry it (the host flings it away on contact)",
               v->name.c_str(), v->emptyMass, v->touchdownStiffness);
}

void VESSEL::SetTouchdownPoints(const TOUCHDOWNVTX* tdvtx, int ntdvtx) const {
    SELF_OR();
    CallTrace trace(v, __func__, tdvtx, ntdvtx);
    if (!tdvtx || ntdvtx < 3) {
        Misuse("SetTouchdownPoints: %d touchdown points on %s, at least 3 needed", tdvtx ? ntdvtx : 0,
               v->name.c_str());
        return;
    }
    // Every point is a spring of its own; the first three also place a landed vessel, with one spring for all
    // three (their mean). A landed vessel whose points are set is let go, as the host does.
    v->touchdownVertices.assign(tdvtx, tdvtx + ntdvtx);
    v->cogElevSet = NAN;
    if (v->phys.landed) v->phys.pointsChanged = true;
    double stiffness = 0.0, damping = 0.0;
    for (int i = 0; i < 3; ++i) {
        v->touchdown[i] = tdvtx[i].pos;
        stiffness += tdvtx[i].stiffness / 3.0;
        damping += tdvtx[i].damping / 3.0;
    }
    v->touchdownStiffness = stiffness;
    v->touchdownDamping = damping;
    if (!(stiffness > 0.0))
        Misuse("SetTouchdownPoints: touchdown points of %s with a stiffness of %g N/m: the ground will not carry it",
               v->name.c_str(), stiffness);
    v->muLng = tdvtx[0].mu_lng;
    v->muLat = tdvtx[0].mu;
}

void VESSEL::SetSurfaceFrictionCoeff(double mu_lng, double mu_lat) const {
    SELF_OR();
    CallTrace trace(v, __func__, mu_lng, mu_lat);
    v->muLng = mu_lng;
    v->muLat = mu_lat;
    for (TOUCHDOWNVTX& p : v->touchdownVertices) {
        p.mu_lng = mu_lng;
        p.mu = mu_lat;
    }
}

void VESSEL::SetMaxWheelbrakeForce(double f) const {
    SELF_OR();
    CallTrace trace(v, __func__, f);
    v->maxWheelbrakeForce = f;
}

void VESSEL::SetNosewheelSteering(bool activate) const {
    SELF_OR();
    CallTrace trace(v, __func__, activate);
    v->nosewheelSteering = activate;
}

void VESSEL::SetWheelbrakeLevel(double level, int which, bool) const {
    SELF_OR();
    CallTrace trace(v, __func__, level, which);
    level = Clamp01(level);
    if (which < 0 || which > 2) {
        Misuse("SetWheelbrakeLevel: wheel %d", which);
        return;
    }
    if (which != 2) v->wheelbrake[0] = level;
    if (which != 1) v->wheelbrake[1] = level;
}

void VESSEL::SetCameraOffset(const VECTOR3& co) const {
    SELF_OR();
    CallTrace trace(v, __func__, co);
    v->cameraOffset = co;
}

void VESSEL::SetCameraDefaultDirection(const VECTOR3& cd) const {
    SELF_OR();
    CallTrace trace(v, __func__, cd);
    v->cameraDir = cd;
}

// The stand-in keeps the centre of mass at the vessel frame's origin.
void VESSEL::ShiftCentreOfMass(const VECTOR3&) { SELF_OR(); CallTrace trace(v, __func__); }

// --- Beacons (meshes: vessel_meshes.cpp) ---

void VESSEL::AddBeacon(BEACONLIGHTSPEC* bs) {
    SELF_OR();
    CallTrace trace(v, __func__, bs);
    if (!bs) {
        Misuse("AddBeacon: null spec");
        return;
    }
    v->beacons.push_back(bs);
}

bool VESSEL::DelBeacon(BEACONLIGHTSPEC* bs) {
    SELF_OR(false);
    CallTrace trace(v, __func__, bs);
    for (size_t i = 0; i < v->beacons.size(); ++i) {
        if (v->beacons[i] != bs) continue;
        v->beacons.erase(v->beacons.begin() + (long)i);
        return trace.Result(true);
    }
    return trace.Result(false);
}

// --- Propellant ---

PROPELLANT_HANDLE VESSEL::CreatePropellantResource(double maxmass, double mass, double efficiency) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, maxmass, mass, efficiency);
    auto p = MakeSlot<Propellant>(v);
    p->maxMass = maxmass;
    p->mass = mass < 0.0 ? maxmass : (mass > maxmass ? maxmass : mass);
    p->efficiency = efficiency;
    v->propellants.push_back(std::move(p));
    if (!v->defaultPropellant) v->defaultPropellant = v->propellants.back().get();
    return trace.Result(v->propellants.back().get());
}

void VESSEL::SetDefaultPropellantResource(PROPELLANT_HANDLE ph) const {
    SELF_OR();
    CallTrace trace(v, __func__, ph);
    if (Propellant* p = Prop(v, ph, "SetDefaultPropellantResource")) v->defaultPropellant = p;
}

double VESSEL::GetPropellantMass(PROPELLANT_HANDLE ph) const {
    SELF_OR(0.0);
    CallTrace trace(v, __func__, ph);
    Propellant* p = Prop(v, ph, "GetPropellantMass");
    return trace.Result(p ? p->mass : 0.0);
}

void VESSEL::SetPropellantMass(PROPELLANT_HANDLE ph, double mass) const {
    SELF_OR();
    CallTrace trace(v, __func__, ph, mass);
    Propellant* p = Prop(v, ph, "SetPropellantMass");
    if (!p) return;
    if (!std::isfinite(mass)) {
        Misuse("SetPropellantMass: %s: mass is not a number", v->name.c_str());
        return;
    }
    p->mass = mass < 0.0 ? 0.0 : (mass > p->maxMass ? p->maxMass : mass);
    v->unweighed = false;
}

double VESSEL::GetPropellantMaxMass(PROPELLANT_HANDLE ph) const {
    SELF_OR(0.0);
    CallTrace trace(v, __func__, ph);
    Propellant* p = Prop(v, ph, "GetPropellantMaxMass");
    return trace.Result(p ? p->maxMass : 0.0);
}

void VESSEL::SetPropellantMaxMass(PROPELLANT_HANDLE ph, double maxmass) const {
    SELF_OR();
    CallTrace trace(v, __func__, ph, maxmass);
    Propellant* p = Prop(v, ph, "SetPropellantMaxMass");
    if (!p) return;
    if (!std::isfinite(maxmass) || maxmass < 0.0) {
        Misuse("SetPropellantMaxMass: %s: capacity %g", v->name.c_str(), maxmass);
        return;
    }
    p->maxMass = maxmass;
    p->mass = std::min(p->mass, maxmass);
}

int VESSEL::GetPropellantCount() const {
    SELF_OR(0);
    CallTrace trace(v, __func__);
    return trace.Result((int)v->propellants.size());
}

PROPELLANT_HANDLE VESSEL::GetPropellantHandleByIndex(int idx) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, idx);
    if (idx < 0 || (size_t)idx >= v->propellants.size()) {
        Misuse("GetPropellantHandleByIndex: tank %d of %zu on %s", idx, v->propellants.size(), v->name.c_str());
        return trace.Result(nullptr);
    }
    return trace.Result(v->propellants[idx].get());
}

double VESSEL::GetTotalPropellantMass() const {
    SELF_OR(0.0);
    CallTrace trace(v, __func__);
    double m = 0.0;
    for (auto& p : v->propellants)
        m += p->mass;
    return trace.Result(m);
}

// --- Thrusters ---

THRUSTER_HANDLE VESSEL::CreateThruster(const VECTOR3& pos, const VECTOR3& dir, double maxth0, PROPELLANT_HANDLE hp,
                                       double isp0, double isp_ref, double p_ref) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, pos, dir, maxth0, hp, isp0, isp_ref, p_ref);
    auto t = MakeSlot<Thruster>(v);
    t->pos = pos;
    t->dir = dir;
    double len = length(dir);
    if (len > 0.0) t->dir = dir / len;
    t->max0 = maxth0;
    t->res = hp ? Prop(v, hp, "CreateThruster") : nullptr;
    t->isp0 = isp0 > 0.0 ? isp0 : v->ispDefault;
    t->ispRef = isp_ref;
    t->pRef = p_ref;
    v->thrusters.push_back(std::move(t));
    return trace.Result(v->thrusters.back().get());
}

THGROUP_HANDLE VESSEL::CreateThrusterGroup(THRUSTER_HANDLE* th, int nth, THGROUP_TYPE thgt) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, th, nth, thgt);
    if (nth < 0 || (nth > 0 && !th)) {
        Misuse("CreateThrusterGroup: %d thrusters from %p", nth, (void*)th);
        return trace.Result(nullptr);
    }
    auto g = MakeSlot<ThrusterGroup>(v);
    g->type = thgt;
    for (int i = 0; i < nth; ++i)
        if (Thruster* t = Thr(v, th[i], "CreateThrusterGroup")) g->members.push_back(t);
    v->groups.push_back(std::move(g));
    return trace.Result(v->groups.back().get());
}

int VESSEL::GetThrusterCount() const {
    SELF_OR(0);
    CallTrace trace(v, __func__);
    return trace.Result((int)v->thrusters.size());
}

void VESSEL::SetThrusterDir(THRUSTER_HANDLE th, const VECTOR3& dir) const {
    SELF_OR();
    CallTrace trace(v, __func__, th, dir);
    Thruster* t = Thr(v, th, "SetThrusterDir");
    if (!t) return;
    double len = length(dir);
    t->dir = len > 0.0 ? dir / len : dir;
}

void VESSEL::SetThrusterRef(THRUSTER_HANDLE th, const VECTOR3& pos) const {
    SELF_OR();
    CallTrace trace(v, __func__, th, pos);
    if (Thruster* t = Thr(v, th, "SetThrusterRef")) t->pos = pos;
}

void VESSEL::SetThrusterMax0(THRUSTER_HANDLE th, double maxth0) const {
    SELF_OR();
    CallTrace trace(v, __func__, th, maxth0);
    if (Thruster* t = Thr(v, th, "SetThrusterMax0")) t->max0 = maxth0;
}

// Without a reference pressure the Isp is the same in air as in vacuum.
void VESSEL::SetThrusterIsp(THRUSTER_HANDLE th, double isp) const {
    SELF_OR();
    CallTrace trace(v, __func__, th, isp);
    if (Thruster* t = Thr(v, th, "SetThrusterIsp")) {
        t->isp0 = isp;
        t->ispRef = 0.0;
    }
}

void VESSEL::SetThrusterIsp(THRUSTER_HANDLE th, double isp0, double isp_ref, double p_ref) const {
    SELF_OR();
    CallTrace trace(v, __func__, th, isp0, isp_ref, p_ref);
    if (Thruster* t = Thr(v, th, "SetThrusterIsp")) {
        t->isp0 = isp0;
        t->ispRef = isp_ref;
        t->pRef = p_ref;
    }
}

void VESSEL::SetThrusterResource(THRUSTER_HANDLE th, PROPELLANT_HANDLE ph) const {
    SELF_OR();
    CallTrace trace(v, __func__, th, ph);
    Thruster* t = Thr(v, th, "SetThrusterResource");
    if (!t) return;
    // A null resource cuts the thruster's feed.
    t->res = ph ? Prop(v, ph, "SetThrusterResource") : nullptr;
}

double VESSEL::GetThrusterLevel(THRUSTER_HANDLE th) const {
    SELF_OR(0.0);
    CallTrace trace(v, __func__, th);
    Thruster* t = Thr(v, th, "GetThrusterLevel");
    return trace.Result(t ? Clamp01(t->level + t->overrideLevel) : 0.0);
}

void VESSEL::SetThrusterLevel(THRUSTER_HANDLE th, double level) const {
    SELF_OR();
    CallTrace trace(v, __func__, th, level);
    if (Thruster* t = Thr(v, th, "SetThrusterLevel")) t->level = Clamp01(level);
}

void VESSEL::SetThrusterGroupLevel(THGROUP_TYPE thgt, double level) const {
    SELF_OR();
    CallTrace trace(v, __func__, thgt, level);
    if (ThrusterGroup* g = GroupOfType(v, thgt))
        for (Thruster* t : g->members) t->level = Clamp01(level);
}

void VESSEL::SetThrusterGroupLevel(THGROUP_HANDLE thg, double level) const {
    SELF_OR();
    CallTrace trace(v, __func__, thg, level);
    if (ThrusterGroup* g = Grp(v, thg, "SetThrusterGroupLevel"))
        for (Thruster* t : g->members) t->level = Clamp01(level);
}

static double GroupLevel(const ThrusterGroup* g) {
    if (!g || g->members.empty()) return 0.0;
    double sum = 0.0;
    for (const Thruster* t : g->members) sum += Clamp01(t->level + t->overrideLevel);
    return sum / (double)g->members.size();
}

double VESSEL::GetThrusterGroupLevel(THGROUP_TYPE thgt) const {
    SELF_OR(0.0);
    CallTrace trace(v, __func__, thgt);
    return trace.Result(GroupLevel(GroupOfType(v, thgt)));
}

double VESSEL::GetThrusterGroupLevel(THGROUP_HANDLE thg) const {
    SELF_OR(0.0);
    CallTrace trace(v, __func__, thg);
    return trace.Result(GroupLevel(Grp(v, thg, "GetThrusterGroupLevel")));
}

bool VESSEL::SetAttitudeMode(int mode) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, mode);
    if (mode < RCS_NONE || mode > RCS_LIN) {
        Misuse("SetAttitudeMode: mode %d", mode);
        return trace.Result(false);
    }
    if (mode == v->attitudeMode) return trace.Result(false);
    v->attitudeMode = mode;
    if (VESSEL2* cb = Callbacks(v)) cb->clbkRCSMode(mode);
    return trace.Result(true);
}

int VESSEL::GetAttitudeMode() const {
    SELF_OR(0);
    CallTrace trace(v, __func__);
    return trace.Result(v->attitudeMode);
}

static UINT PushExhaust(Vessel* v, THRUSTER_HANDLE th, double lscale, double wscale, const VECTOR3* pos,
                        const VECTOR3* dir, SURFHANDLE tex, const char* fn) {
    Exhaust e;
    e.th = Thr(v, th, fn);
    if (!e.th) return (UINT)-1;
    e.lscale = lscale;
    e.wscale = wscale;
    e.pos = pos ? *pos : e.th->pos;
    e.dir = dir ? *dir : -e.th->dir;
    e.tex = tex;
    v->exhausts.push_back(e);
    return (UINT)v->exhausts.size() - 1;
}

UINT VESSEL::AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, SURFHANDLE tex) const {
    SELF_OR((UINT)-1);
    CallTrace trace(v, __func__, th, lscale, wscale, tex);
    return trace.Result(PushExhaust(v, th, lscale, wscale, nullptr, nullptr, tex, "AddExhaust"));
}

UINT VESSEL::AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, double lofs, SURFHANDLE tex) const {
    SELF_OR((UINT)-1);
    CallTrace trace(v, __func__, th, lscale, wscale, lofs, tex);
    Thruster* t = Thr(v, th, "AddExhaust");
    if (!t) return trace.Result((UINT)-1);
    VECTOR3 pos = t->pos - t->dir * lofs;
    return trace.Result(PushExhaust(v, th, lscale, wscale, &pos, nullptr, tex, "AddExhaust"));
}

UINT VESSEL::AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, const VECTOR3& pos, const VECTOR3& dir,
                        SURFHANDLE tex) const {
    SELF_OR((UINT)-1);
    CallTrace trace(v, __func__, th, lscale, wscale, pos, dir, tex);
    return trace.Result(PushExhaust(v, th, lscale, wscale, &pos, &dir, tex, "AddExhaust"));
}

UINT VESSEL::AddExhaust(EXHAUSTSPEC* spec) {
    SELF_OR((UINT)-1);
    CallTrace trace(v, __func__, spec);
    if (!spec) {
        Misuse("AddExhaust: null spec");
        return trace.Result((UINT)-1);
    }
    return trace.Result(PushExhaust(v, spec->th, spec->lsize, spec->wsize, spec->lpos, spec->ldir, spec->tex, "AddExhaust"));
}

static PSTREAM_HANDLE PushStream(Vessel* v, THRUSTER_HANDLE th, const VECTOR3* pos, PARTICLESTREAMSPEC* pss) {
    Thruster* t = Thr(v, th, "AddExhaustStream");
    if (!t) return nullptr;
    auto s = MakeSlot<ParticleStream>(v);
    s->th = t;
    s->pos = pos ? *pos : t->pos;
    if (pss) s->spec = *pss;
    v->streams.push_back(std::move(s));
    return v->streams.back().get();
}

PSTREAM_HANDLE VESSEL::AddExhaustStream(THRUSTER_HANDLE th, PARTICLESTREAMSPEC* pss) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, th, pss);
    return trace.Result(PushStream(v, th, nullptr, pss));
}

PSTREAM_HANDLE VESSEL::AddExhaustStream(THRUSTER_HANDLE th, const VECTOR3& pos, PARTICLESTREAMSPEC* pss) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, th, pos, pss);
    return trace.Result(PushStream(v, th, &pos, pss));
}

// The glow of re-entry, drawn by the host and not tied to a thruster.
PSTREAM_HANDLE VESSEL::AddReentryStream(PARTICLESTREAMSPEC* pss) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, pss);
    auto s = MakeSlot<ParticleStream>(v);
    if (pss) s->spec = *pss;
    v->streams.push_back(std::move(s));
    return trace.Result(v->streams.back().get());
}

void oapiParticleSetLevelRef(PSTREAM_HANDLE ph, double* lvl) {
    ParticleStream* s = Slots<ParticleStream>().Find(ph);
    if (!s) {
        Misuse("oapiParticleSetLevelRef: not a particle stream");
        return;
    }
    s->levelRef = lvl;
}

// --- Aerodynamics ---

AIRFOILHANDLE VESSEL::CreateAirfoil3(AIRFOIL_ORIENTATION align, const VECTOR3& ref, AirfoilCoeffFuncEx cf,
                                     void* context, double c, double S, double A) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, align, ref, cf, context, c, S, A);
    if (!cf) {
        Misuse("CreateAirfoil3: null coefficient function");
        return trace.Result(nullptr);
    }
    auto a = MakeSlot<Airfoil>(v);
    a->align = align;
    a->ref = ref;
    a->cf = cf;
    a->context = context;
    a->c = c;
    a->S = S;
    a->A = A;
    v->airfoils.push_back(std::move(a));
    return trace.Result(v->airfoils.back().get());
}

// The older forms: full deflection takes this long.
constexpr double OLD_FORM_DELAY = 1.0; // s

void VESSEL::CreateControlSurface(AIRCTRL_TYPE type, double area, double dCl, const VECTOR3& ref, int axis,
                                  unsigned int anim) const {
    CreateControlSurface3(type, area, dCl, ref, axis, OLD_FORM_DELAY, anim);
}

CTRLSURFHANDLE VESSEL::CreateControlSurface2(AIRCTRL_TYPE type, double area, double dCl, const VECTOR3& ref,
                                             int axis, OAPI_UINT anim) const {
    return CreateControlSurface3(type, area, dCl, ref, axis, OLD_FORM_DELAY, anim);
}

CTRLSURFHANDLE VESSEL::CreateControlSurface3(AIRCTRL_TYPE type, double area, double dCl, const VECTOR3& ref,
                                             int axis, double delay, UINT anim) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, type, area, dCl, ref, axis, delay, anim);
    auto s = MakeSlot<ControlSurface>(v);
    s->type = type;
    s->area = area;
    s->dCl = dCl;
    s->ref = ref;
    s->axis = axis;
    s->delay = delay;
    s->anim = anim;
    if (anim != (UINT)-1 && anim >= v->animations.size())
        Misuse("CreateControlSurface3: animation %u of %zu", anim, v->animations.size());
    v->ctrlSurfaces.push_back(std::move(s));
    return trace.Result(v->ctrlSurfaces.back().get());
}

void VESSEL::SetADCtrlMode(int mode) const {
    SELF_OR();
    CallTrace trace(v, __func__, mode);
    v->adCtrlMode = mode;
}

int VESSEL::GetADCtrlMode() const {
    SELF_OR(0);
    CallTrace trace(v, __func__);
    return trace.Result(v->adCtrlMode);
}

// --- Attachments ---

ATTACHMENTHANDLE VESSEL::CreateAttachment(bool toparent, const VECTOR3& pos, const VECTOR3& dir, const VECTOR3& rot,
                                          const char* id, bool loose) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, toparent, pos, dir, rot, id, loose);
    auto a = MakeSlot<Attachment>(v);
    a->toParent = toparent;
    a->pos = pos;
    a->dir = dir;
    a->rot = rot;
    a->loose = loose;
    // Ids are at most 8 characters: a longer one is cut, never written past the record.
    if (id) snprintf(a->id, sizeof a->id, "%.8s", id);
    v->attachments.push_back(std::move(a));
    return trace.Result(v->attachments.back().get());
}

bool VESSEL::AttachChild(OBJHANDLE child, ATTACHMENTHANDLE attachment, ATTACHMENTHANDLE child_attachment) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, child, attachment, child_attachment);
    Vessel* c = CheckVessel(child, "AttachChild");
    Attachment* pp = Att(v, attachment, "AttachChild");
    if (!c || !pp) return trace.Result(false);
    Attachment* cp = Att(c, child_attachment, "AttachChild");
    if (!cp) return trace.Result(false);
    if (pp->toParent || !cp->toParent) {
        Misuse("AttachChild: point kinds swapped (%s on %s, %s on %s)", pp->id, v->name.c_str(), cp->id,
               c->name.c_str());
        return trace.Result(false);
    }
    if (c == v) {
        Misuse("AttachChild: %s attached to itself", v->name.c_str());
        return trace.Result(false);
    }
    return trace.Result(Attach(v, pp, c, cp));
}

bool VESSEL::DetachChild(ATTACHMENTHANDLE attachment, double vel) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, attachment, vel);
    Attachment* pp = Att(v, attachment, "DetachChild");
    if (!pp) return trace.Result(false);
    if (pp->toParent) {
        Misuse("DetachChild: %s is a point to a parent", pp->id);
        return trace.Result(false);
    }
    if (!pp->other) return trace.Result(false);
    ReleaseChild(*v, *pp, *pp->other, *pp->otherPoint, vel);
    Detach(pp);
    return trace.Result(true);
}

int VESSEL::AttachmentCount(bool toparent) const {
    SELF_OR(0);
    CallTrace trace(v, __func__, toparent);
    int n = 0;
    for (auto& a : v->attachments)
        if (a->toParent == toparent) ++n;
    return trace.Result(n);
}

ATTACHMENTHANDLE VESSEL::GetAttachmentHandle(bool toparent, int i) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, toparent, i);
    int n = 0;
    for (auto& a : v->attachments) {
        if (a->toParent != toparent) continue;
        if (n++ == i) return trace.Result(a.get());
    }
    Misuse("GetAttachmentHandle: %s point %d of %d on %s", toparent ? "parent" : "child", i, n, v->name.c_str());
    return trace.Result(nullptr);
}

const char* VESSEL::GetAttachmentId(ATTACHMENTHANDLE attachment) const {
    SELF_OR("");
    CallTrace trace(v, __func__, attachment);
    Attachment* a = Att(v, attachment, "GetAttachmentId");
    return trace.Result(a ? a->id : "");
}

void VESSEL::GetAttachmentParams(ATTACHMENTHANDLE attachment, VECTOR3& pos, VECTOR3& dir, VECTOR3& rot) const {
    SELF_OR();
    CallTrace trace(v, __func__, attachment, pos, dir, rot);
    Attachment* a = Att(v, attachment, "GetAttachmentParams");
    if (!a) return;
    pos = a->pos;
    dir = a->dir;
    rot = a->rot;
}

void VESSEL::SetAttachmentParams(ATTACHMENTHANDLE attachment, const VECTOR3& pos, const VECTOR3& dir,
                                 const VECTOR3& rot) const {
    SELF_OR();
    CallTrace trace(v, __func__, attachment, pos, dir, rot);
    Attachment* a = Att(v, attachment, "SetAttachmentParams");
    if (!a) return;
    a->pos = pos;
    a->dir = dir;
    a->rot = rot;
}

OBJHANDLE VESSEL::GetAttachmentStatus(ATTACHMENTHANDLE attachment) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, attachment);
    Attachment* a = Att(v, attachment, "GetAttachmentStatus");
    return trace.Result(a ? a->other : nullptr);
}

// --- Animations ---

UINT VESSEL::CreateAnimation(double initial_state) const {
    SELF_OR((UINT)-1);
    CallTrace trace(v, __func__, initial_state);
    Animation a;
    a.initial = initial_state;
    a.state = initial_state;
    v->animations.push_back(std::move(a));
    return trace.Result((UINT)v->animations.size() - 1);
}

ANIMATIONCOMPONENT_HANDLE VESSEL::AddAnimationComponent(UINT anim, double state0, double state1,
                                                        MGROUP_TRANSFORM* trans,
                                                        ANIMATIONCOMPONENT_HANDLE parent) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, anim, state0, state1, trans, parent);
    if (anim >= v->animations.size()) {
        Misuse("AddAnimationComponent: animation %u of %zu on %s", anim, v->animations.size(), v->name.c_str());
        return trace.Result(nullptr);
    }
    if (!trans) {
        Misuse("AddAnimationComponent: null transform");
        return trace.Result(nullptr);
    }
    AnimComponent* par = nullptr;
    if (parent) {
        par = Owned<AnimComponent>(v, parent);
        if (!par) Misuse("AddAnimationComponent: parent component not of vessel %s", v->name.c_str());
    }
    auto c = MakeSlot<AnimComponent>(v);
    c->state0 = state0;
    c->state1 = state1;
    c->trans = trans;
    c->parent = par;
    v->animations[anim].components.push_back(std::move(c));
    v->animations[anim].checked = false;
    return trace.Result(v->animations[anim].components.back().get());
}

// A component that moves groups a known mesh does not have is counted once.
static void CheckComponentGroups(Vessel* v, AnimComponent& c) {
    if (c.reported || c.checked) return;
    const MGROUP_TRANSFORM* t = c.trans;
    if (t->mesh == LOCALVERTEXLIST) return;
    if (t->mesh >= v->meshes.size()) {
        c.reported = true;
        Misuse("SetAnimation: component moves mesh %u of %zu on %s", t->mesh, v->meshes.size(), v->name.c_str());
        return;
    }
    c.checked = true;
    int count = v->meshes[t->mesh]->groupCount;
    if (count < 0 || !t->grp) return;
    for (UINT i = 0; i < t->ngrp; ++i) {
        if ((int)t->grp[i] < count) continue;
        c.reported = true;
        Misuse("SetAnimation: group %u of mesh %u (%d groups) on %s", t->grp[i], t->mesh, count, v->name.c_str());
        return;
    }
}

bool VESSEL::SetAnimation(UINT anim, double state) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, anim, state);
    if (anim >= v->animations.size()) {
        Misuse("SetAnimation: animation %u of %zu on %s", anim, v->animations.size(), v->name.c_str());
        return trace.Result(false);
    }
    Animation& a = v->animations[anim];
    if (!a.checked) {
        a.checked = true;
        for (auto& c : a.components) {
            CheckComponentGroups(v, *c);
            a.checked = a.checked && (c->checked || c->reported || c->trans->mesh == LOCALVERTEXLIST);
        }
    }
    a.state = state;
    return trace.Result(true);
}
