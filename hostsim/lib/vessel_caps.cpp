// VESSEL methods of the older interface and of a class taking back what it set up: the airfoil forms without
// a context, the older flight model's coefficients, drag elements, removing tanks, thrusters and groups, the
// engine calls on the main, retro and hover groups, and the transponder.
#include "host.h"

#include <algorithm>
#include <cmath>

using namespace hs;

namespace {

// The level the engine calls read and set: one group each.
THGROUP_TYPE EngineGroup(ENGINETYPE eng) {
    switch (eng) {
    case ENGINE_MAIN: return THGROUP_MAIN;
    case ENGINE_RETRO: return THGROUP_RETRO;
    case ENGINE_HOVER: return THGROUP_HOVER;
    default: return THGROUP_USER;
    }
}

// The direction of the single thruster SetMaxThrust makes for an engine that has none yet.
VECTOR3 EngineDirection(ENGINETYPE eng) {
    switch (eng) {
    case ENGINE_RETRO: return _V(0, 0, -1);
    case ENGINE_HOVER: return _V(0, 1, 0);
    default: return _V(0, 0, 1);
    }
}

AIRFOILHANDLE AddPlainAirfoil(Vessel* v, AIRFOIL_ORIENTATION align, const VECTOR3& ref, AirfoilCoeffFunc cf,
                              double c, double S, double A, const char* fn) {
    if (!cf) {
        Misuse("%s: null coefficient function", fn);
        return nullptr;
    }
    auto a = MakeSlot<Airfoil>(v);
    a->align = align;
    a->ref = ref;
    a->cfPlain = cf;
    a->c = c;
    a->S = S;
    a->A = A;
    v->airfoils.push_back(std::move(a));
    return v->airfoils.back().get();
}

// A thruster goes with its exhausts, particle streams and group memberships.
void RemoveThruster(Vessel* v, Thruster* t) {
    for (auto& g : v->groups)
        g->members.erase(std::remove(g->members.begin(), g->members.end(), t), g->members.end());
    v->exhausts.erase(std::remove_if(v->exhausts.begin(), v->exhausts.end(),
                                     [t](const Exhaust& e) { return e.th == t; }),
                      v->exhausts.end());
    v->streams.erase(std::remove_if(v->streams.begin(), v->streams.end(),
                                    [t](const SlotPtr<ParticleStream>& s) { return s->th == t; }),
                     v->streams.end());
    v->thrusters.erase(std::remove_if(v->thrusters.begin(), v->thrusters.end(),
                                      [t](const SlotPtr<Thruster>& p) { return p.get() == t; }),
                       v->thrusters.end());
}

bool RemoveGroup(Vessel* v, ThrusterGroup* g, bool delth) {
    if (!g) return false;
    if (delth) {
        const std::vector<Thruster*> members = g->members;
        for (Thruster* t : members)
            RemoveThruster(v, t);
    }
    v->groups.erase(std::remove_if(v->groups.begin(), v->groups.end(),
                                   [g](const SlotPtr<ThrusterGroup>& p) { return p.get() == g; }),
                    v->groups.end());
    return true;
}

} // namespace

// --- Airfoils and the older flight model ---

void VESSEL::CreateAirfoil(AIRFOIL_ORIENTATION align, const VECTOR3& ref, AirfoilCoeffFunc cf, double c, double S,
                           double A) const {
    SELF_OR();
    CallTrace trace(v, __func__, align, ref, cf, c, S, A);
    AddPlainAirfoil(v, align, ref, cf, c, S, A, "CreateAirfoil");
}

AIRFOILHANDLE VESSEL::CreateAirfoil2(AIRFOIL_ORIENTATION align, const VECTOR3& ref, AirfoilCoeffFunc cf, double c,
                                     double S, double A) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, align, ref, cf, c, S, A);
    return trace.Result(AddPlainAirfoil(v, align, ref, cf, c, S, A, "CreateAirfoil2"));
}

void VESSEL::ClearAirfoilDefinitions() const {
    SELF_OR();
    CallTrace trace(v, __func__);
    v->airfoils.clear();
}

void VESSEL::CreateVariableDragElement(const double* drag, double factor, const VECTOR3& ref) const {
    SELF_OR();
    CallTrace trace(v, __func__, drag, factor, ref);
    // The host reads the level through the pointer every step: a null one would be read there.
    if (!drag) {
        Misuse("CreateVariableDragElement: null drag level");
        return;
    }
    v->dragElements.push_back({drag, factor, ref});
}

void VESSEL::CreateVariableDragElement(double* drag, double factor, const VECTOR3& ref) const {
    CreateVariableDragElement(static_cast<const double*>(drag), factor, ref);
}

void VESSEL::ClearVariableDragElements() const {
    SELF_OR();
    CallTrace trace(v, __func__);
    v->dragElements.clear();
}

void VESSEL::SetLiftCoeffFunc(LiftCoeffFunc lcf) const {
    SELF_OR();
    CallTrace trace(v, __func__, lcf);
    v->liftCoeff = lcf;
}

// NOLINTBEGIN(bugprone-macro-parentheses): the arguments are names pasted into declarations
#define VESSEL_NUMBER(Get, Set, field, param)                                                                \
    double VESSEL::Get() const {                                                                             \
        SELF_OR(0.0);                                                                                        \
        CallTrace trace(v, __func__);                                                                        \
        return trace.Result(v->field);                                                                       \
    }                                                                                                        \
    void VESSEL::Set(double param) const {                                                                   \
        SELF_OR();                                                                                           \
        CallTrace trace(v, __func__, param);                                                                 \
        v->field = param;                                                                                    \
    }

VESSEL_NUMBER(GetPitchMomentScale, SetPitchMomentScale, pitchMomentScale, scale)
// The host keeps one number for the yaw and the bank moment, under both names.
VESSEL_NUMBER(GetYawMomentScale, SetYawMomentScale, bankMomentScale, scale)
VESSEL_NUMBER(GetBankMomentScale, SetBankMomentScale, bankMomentScale, scale)
VESSEL_NUMBER(GetTrimScale, SetTrimScale, trimScale, scale)
VESSEL_NUMBER(GetWingAspect, SetWingAspect, wingAspect, aspect)
VESSEL_NUMBER(GetWingEffectiveness, SetWingEffectiveness, wingEffectiveness, eff)
VESSEL_NUMBER(GetISP, SetISP, ispDefault, isp)
// NOLINTEND(bugprone-macro-parentheses)

void VESSEL::SetCOG_elev(double h) const {
    SELF_OR();
    CallTrace trace(v, __func__, h);
    v->cogElevSet = h;
}

double VESSEL::GetGravityGradientDamping() const {
    SELF_OR(0.0);
    CallTrace trace(v, __func__);
    return trace.Result(0.0);
}

bool VESSEL::SetGravityGradientDamping(double damp) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, damp);
    return trace.Result(false);
}

// --- Taking back tanks, thrusters and groups ---

void VESSEL::DelPropellantResource(PROPELLANT_HANDLE& ph) const {
    SELF_OR();
    CallTrace trace(v, __func__, ph);
    Propellant* p = Owned<Propellant>(v, ph);
    if (!p) {
        Misuse("DelPropellantResource: propellant handle not of vessel %s", v->name.c_str());
        return;
    }
    UnlinkPropellant(p);
    v->propellants.erase(std::remove_if(v->propellants.begin(), v->propellants.end(),
                                        [p](const SlotPtr<Propellant>& q) { return q.get() == p; }),
                         v->propellants.end());
    ph = nullptr;
}

void VESSEL::ClearPropellantResources() const {
    SELF_OR();
    CallTrace trace(v, __func__);
    for (auto& p : v->propellants)
        UnlinkPropellant(p.get());
    v->propellants.clear();
}

bool VESSEL::DelThruster(THRUSTER_HANDLE& th) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, th);
    Thruster* t = Thr(v, th, "DelThruster");
    if (!t) return trace.Result(false);
    RemoveThruster(v, t);
    th = nullptr;
    return trace.Result(true);
}

void VESSEL::ClearThrusterDefinitions() const {
    SELF_OR();
    CallTrace trace(v, __func__);
    v->exhausts.clear();
    v->streams.clear();
    v->groups.clear();
    v->thrusters.clear();
}

bool VESSEL::DelThrusterGroup(THGROUP_HANDLE thg, bool delth) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, thg, delth);
    return trace.Result(RemoveGroup(v, Grp(v, thg, "DelThrusterGroup"), delth));
}

bool VESSEL::DelThrusterGroup(THGROUP_TYPE thgt, bool delth) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, thgt, delth);
    return trace.Result(RemoveGroup(v, GroupOfType(v, thgt), delth));
}

bool VESSEL::DelThrusterGroup(THGROUP_HANDLE& thg, THGROUP_TYPE thgt, bool delth) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, thg, thgt, delth);
    ThrusterGroup* g = Grp(v, thg, "DelThrusterGroup");
    // The older form names the group's type too: a standard type that is not the group's deletes nothing.
    bool ok = g && (thgt >= THGROUP_USER || g->type == thgt) && RemoveGroup(v, g, delth);
    thg = nullptr;
    return trace.Result(ok);
}

void VESSEL::ClearExhaustRefs(void) const {
    SELF_OR();
    CallTrace trace(v, __func__);
    v->exhausts.clear();
}

// The host no longer keeps the attitude thrusters' exhausts apart: nothing to clear.
void VESSEL::ClearAttExhaustRefs(void) const {
    SELF_OR();
    CallTrace trace(v, __func__);
}

int VESSEL::GetGroupThrusterCount(THGROUP_HANDLE thg) const {
    SELF_OR(0);
    CallTrace trace(v, __func__, thg);
    ThrusterGroup* g = Grp(v, thg, "GetGroupThrusterCount");
    return trace.Result(g ? (int)g->members.size() : 0);
}

int VESSEL::GetGroupThrusterCount(THGROUP_TYPE thgt) const {
    SELF_OR(0);
    CallTrace trace(v, __func__, thgt);
    ThrusterGroup* g = GroupOfType(v, thgt);
    return trace.Result(g ? (int)g->members.size() : 0);
}

THRUSTER_HANDLE VESSEL::GetGroupThruster(THGROUP_HANDLE thg, int idx) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, thg, idx);
    ThrusterGroup* g = Grp(v, thg, "GetGroupThruster");
    return trace.Result(g && idx >= 0 && idx < (int)g->members.size() ? g->members[idx] : nullptr);
}

THRUSTER_HANDLE VESSEL::GetGroupThruster(THGROUP_TYPE thgt, int idx) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, thgt, idx);
    ThrusterGroup* g = GroupOfType(v, thgt);
    return trace.Result(g && idx >= 0 && idx < (int)g->members.size() ? g->members[idx] : nullptr);
}

// --- The older engine interface ---

// An engine without thrusters gets one at the centre, on the first tank, with the default Isp; one with a
// single thruster gets that thruster's maximum; the attitude engine a whole default set of thrusters.
void VESSEL::SetMaxThrust(ENGINETYPE eng, double th) const {
    SELF_OR();
    CallTrace trace(v, __func__, eng, th);
    PROPELLANT_HANDLE tank = v->propellants.empty() ? nullptr : v->propellants[0].get();
    if (eng == ENGINE_ATTITUDE) {
        DefaultAttitudeThrusters(v, th, tank, v->ispDefault);
        return;
    }
    ThrusterGroup* g = GroupOfType(v, EngineGroup(eng));
    if (!g || g->members.empty()) {
        THRUSTER_HANDLE t = CreateThruster(_V(0, 0, 0), EngineDirection(eng), th, tank, v->ispDefault);
        CreateThrusterGroup(&t, 1, EngineGroup(eng));
    } else if (g->members.size() == 1) {
        g->members[0]->max0 = th;
    }
}

double VESSEL::GetEngineLevel(ENGINETYPE eng) const {
    SELF_OR(0.0);
    CallTrace trace(v, __func__, eng);
    if (EngineGroup(eng) == THGROUP_USER) return trace.Result(0.0);
    return trace.Result(GetThrusterGroupLevel(EngineGroup(eng)));
}

void VESSEL::SetEngineLevel(ENGINETYPE eng, double level) const {
    SELF_OR();
    CallTrace trace(v, __func__, eng, level);
    if (EngineGroup(eng) != THGROUP_USER) SetThrusterGroupLevel(EngineGroup(eng), level);
}

// hostsim has no pilot at a keyboard or stick: nothing is asked of any group.
double VESSEL::GetManualControlLevel(THGROUP_TYPE thgt, int mode, int device) const {
    SELF_OR(0.0);
    CallTrace trace(v, __func__, thgt, mode, device);
    return trace.Result(0.0);
}

void VESSEL::EnableTransponder(bool enable) const {
    SELF_OR();
    CallTrace trace(v, __func__, enable);
    // A new transponder starts on the lowest channel; switched off it forgets its channel.
    if (enable && !v->hasXpdr) v->xpdr = 0;
    if (!enable) v->xpdr = 0;
    v->hasXpdr = enable;
}

// --- Door and gear states in scenario lines ---

void WriteScenario_state(FILEHANDLE f, const char* tag, const AnimState& s) {
    std::string text = Fmt("%d %0.4f", (int)s.action - 1, s.pos);
    oapiWriteScenario_string(f, const_cast<char*>(tag), &text[0]);
}

// "action-1 pos". What is missing stays as it was, and so does an action that is none of the five (the host
// would store any number in the enumeration).
void sscan_state(char* str, AnimState& s) {
    int a = (int)s.action - 1;
    double p = s.pos;
    if (str) sscanf(str, "%d%lf", &a, &p);
    if (a + 1 >= AnimState::STOPPED && a + 1 <= AnimState::OPENING) s.action = (AnimState::Action)(a + 1);
    s.pos = p;
}
