// VESSEL methods for state vectors, status records and the vessel's standard scenario lines.
#include "host.h"
#include "physics/physics.h"

#include <cmath>
#include <cstring>
#include <sstream>

using namespace hs;

namespace hs {

int BodyOfHandle(OBJHANDLE h) {
    if (!h) return -1;
    for (int i = 0; i < BodyCount(); ++i)
        // Compared as the base the handle is: a cast of the handle itself would read what it points at, and a
        // handle that is asked about may be a vessel that has gone.
        if (static_cast<const OrbiterObject*>(GetBody(i)) == h) return i;
    return -1;
}

bool BodyState(OBJHANDLE h, VECTOR3* pos, VECTOR3* vel) {
    int b = BodyOfHandle(h);
    if (b < 0) return false;
    if (pos) *pos = GetBody(b)->pos;
    if (vel) *vel = _V(0, 0, 0); // the bodies stand still
    return true;
}

static StatusLists& ListsFor(const void* status) {
    for (StatusLists& l : W().statusLists)
        if (l.status == status) return l;
    W().statusLists.emplace_back();
    W().statusLists.back().status = status;
    return W().statusLists.back();
}

void ReleaseStatusLists(const void* status) {
    auto& all = W().statusLists;
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].status == status) {
            all.erase(all.begin() + (long)i);
            return;
        }
}

void ApplyStatus(Vessel* v, const VESSELSTATUS2& st) {
    int body = st.rbody ? BodyOfHandle(st.rbody) : v->phys.body;
    if (body < 0) {
        Misuse("DefSetStateEx: reference body handle is not a body");
        body = v->phys.body;
    }
    if (st.flag & VS_FUELRESET)
        for (auto& p : v->propellants) {
            p->mass = 0.0;
            v->unweighed = false;
        }
    if ((st.flag & VS_FUELLIST) && st.fuel) {
        for (int i = 0; i < st.nfuel; ++i) {
            const auto& f = st.fuel[i];
            double level = f.level < 0.0 ? 0.0 : (f.level > 1.0 ? 1.0 : f.level);
            if (f.idx == (int)-1) {
                for (auto& p : v->propellants) p->mass = level * p->maxMass;
            } else if (f.idx >= 0 && (size_t)f.idx < v->propellants.size()) {
                v->propellants[f.idx]->mass = level * v->propellants[f.idx]->maxMass;
            } else {
                // The host passes over a level for a tank the vessel lacks (scenarios write one for a vessel
                // without tanks).
                Say("warning: status: no tank %d of %zu on %s: its level is left out", f.idx,
                    v->propellants.size(), v->name.c_str());
            }
        }
    }
    // A landed vessel settles on its springs under its mass with the tanks as the status fills them.
    FromStatus(*v, st, body);
    // A state given against the star binds the vessel to the nearest body, whose surface the host reports
    // it over and whose pull hostsim's one-body gravity takes; its state is still given against the star where
    // the star pulls hardest (OrbitReference).
    if (const Body* b = GetBody(body); b && b->star && st.status != 1) {
        const int nearest = NearestBody(v->phys.pos);
        if (nearest >= 0) v->phys.body = nearest;
    }
    v->landedSeen = st.status == 1;
    if (st.status == 1 && !v->scenarioBase.empty())
        LandedAtBase(v, v->scenarioBase.c_str(), v->scenarioPad, st.surf_lng, st.surf_lat);
    v->scenarioBase.clear();
    if (st.flag & VS_THRUSTRESET)
        for (auto& t : v->thrusters) t->level = 0.0;
    if ((st.flag & VS_THRUSTLIST) && st.thruster) {
        for (int i = 0; i < st.nthruster; ++i) {
            const auto& t = st.thruster[i];
            if (t.idx >= 0 && (size_t)t.idx < v->thrusters.size())
                v->thrusters[t.idx]->level = t.level < 0.0 ? 0.0 : (t.level > 1.0 ? 1.0 : t.level);
            else
                Misuse("status: thruster %d of %zu on %s", t.idx, v->thrusters.size(), v->name.c_str());
        }
    }
    if ((st.flag & VS_DOCKINFOLIST) && st.dockinfo) {
        for (int i = 0; i < st.ndockinfo; ++i) {
            const auto& d = st.dockinfo[i];
            Vessel* mate = LiveVessel(d.rvessel);
            if (mate) Dock(v, (int)d.idx, mate, (int)d.ridx);
        }
    }
    // The host keeps the class file's channel when the status names none.
    if (st.xpdr) {
        v->xpdr = (DWORD)st.xpdr;
        v->hasXpdr = true;
    }
}

static bool Finite(const VECTOR3& a) { return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z); }

bool CheckState(Vessel* v, const char* when, bool keep) {
    if (!Alive(v)) return true;
    const PhysicsState& s = v->phys;
    bool attitude = true;
    for (double d : s.R.data) attitude = attitude && std::isfinite(d);
    double prop = 0.0;
    for (auto& p : v->propellants) prop += p->mass;
    const char* bad = !Finite(s.pos)                                         ? "position"
                      : !Finite(s.vel)                                       ? "velocity"
                      : !attitude || !Finite(s.omega)                        ? "attitude"
                      : !std::isfinite(v->emptyMass) || !std::isfinite(prop) ? "mass"
                                                                             : nullptr;
    if (!bad) {
        if (!keep) return true;
        v->lastGood.pos = s.pos;
        v->lastGood.vel = s.vel;
        v->lastGood.R = s.R;
        v->lastGood.omega = s.omega;
        v->lastGoodEmptyMass = v->emptyMass;
        for (auto& p : v->propellants) p->lastGoodMass = p->mass;
        return true;
    }
    // Whatever made it so, a number that is not one would spread to every vessel near it and into the saved
    // scenario: the vessel goes back to where it last was whole.
    Misuse("%s: %s is not a number after the %s: the last good state is put back", v->name.c_str(), bad, when);
    PhysicsState& back = v->phys;
    back.pos = v->lastGood.pos;
    back.vel = v->lastGood.vel;
    back.R = v->lastGood.R;
    back.omega = v->lastGood.omega;
    v->emptyMass = v->lastGoodEmptyMass;
    for (auto& p : v->propellants) p->mass = p->lastGoodMass;
    return false;
}

void FillStatus(const Vessel* v, VESSELSTATUS2& st) {
    st.version = 2;
    ToStatus(*v, st);
    st.rbody = const_cast<Body*>(GetBody(OrbitReference(*v)));
    st.base = nullptr;
    st.xpdr = (int)v->xpdr;
}

} // namespace hs

// --- State vectors ---

void VESSEL::GetStatus(VESSELSTATUS& status) const {
    SELF_OR();
    CallTrace trace(v, __func__, status);
    VESSELSTATUS2 st{};
    FillStatus(v, st);
    memset(&status, 0, sizeof status);
    status.rpos = st.rpos;
    status.rvel = st.rvel;
    status.vrot = st.vrot;
    status.arot = st.arot;
    double max = 0.0, mass = 0.0;
    for (auto& p : v->propellants) {
        max += p->maxMass;
        mass += p->mass;
    }
    status.fuel = max > 0.0 ? mass / max : 0.0;
    status.eng_main = GetThrusterGroupLevel(THGROUP_MAIN) - GetThrusterGroupLevel(THGROUP_RETRO);
    status.eng_hovr = GetThrusterGroupLevel(THGROUP_HOVER);
    status.rbody = st.rbody;
    status.status = st.status;
    if (st.status == 1) status.vdata[0] = _V(st.surf_lng, st.surf_lat, st.surf_hdg);
}

// A list asked for with a null pointer is allocated here and freed by the caller; a list the caller supplies
// with a count is filled up to that count, never past it.
template <typename Spec, typename Fill>
static void FillList(int count, Spec*& list, int& n, Fill fill) {
    int cap = count;
    if (!list) {
        list = count ? new Spec[count] : nullptr;
    } else if (n > 0 && n < count) {
        cap = n;
    }
    for (int i = 0; i < cap; ++i) fill(i, list[i]);
    n = cap;
}

void VESSEL::GetStatusEx(void* status) const {
    SELF_OR();
    CallTrace trace(v, __func__, status);
    VESSELSTATUS2* st = static_cast<VESSELSTATUS2*>(status);
    if (!st || st->version != 2) {
        Misuse("GetStatusEx: status record is not version 2");
        return;
    }
    int flag = st->flag;
    FillStatus(v, *st);
    st->flag = flag;
    if (flag & VS_FUELLIST) {
        FillList((int)v->propellants.size(), st->fuel, st->nfuel, [&](int i, VESSELSTATUS2::FUELSPEC& f) {
            const Propellant& p = *v->propellants[i];
            f.idx = i;
            f.level = p.maxMass > 0.0 ? p.mass / p.maxMass : 0.0;
        });
    }
    if (flag & VS_THRUSTLIST) {
        FillList((int)v->thrusters.size(), st->thruster, st->nthruster,
                 [&](int i, VESSELSTATUS2::THRUSTSPEC& t) {
                     t.idx = i;
                     t.level = v->thrusters[i]->level;
                 });
    }
    if (flag & VS_DOCKINFOLIST) {
        FillList((int)v->docks.size(), st->dockinfo, st->ndockinfo, [&](int i, VESSELSTATUS2::DOCKINFOSPEC& d) {
            const DockPort& p = *v->docks[i];
            d.idx = i;
            d.ridx = 0;
            d.rvessel = p.mate;
            if (p.mate)
                for (size_t j = 0; j < p.mate->docks.size(); ++j)
                    if (p.mate->docks[j].get() == p.matePort) d.ridx = (int)j;
        });
    }
}

void VESSEL::DefSetState(const VESSELSTATUS* status) const {
    SELF_OR();
    CallTrace trace(v, __func__, status);
    if (!status) {
        Misuse("DefSetState: null status");
        return;
    }
    VESSELSTATUS2 st{};
    st.version = 2;
    st.rbody = status->rbody;
    st.status = status->status;
    st.rpos = status->rpos;
    st.rvel = status->rvel;
    st.vrot = status->vrot;
    st.arot = status->arot;
    if (status->status == 1) {
        st.surf_lng = status->vdata[0].x;
        st.surf_lat = status->vdata[0].y;
        st.surf_hdg = status->vdata[0].z;
    }
    VESSELSTATUS2::FUELSPEC all{(int)-1, status->fuel};
    if (status->flag[0] & 2) {
        st.flag |= VS_FUELLIST;
        st.nfuel = 1;
        st.fuel = &all;
    }
    ApplyStatus(v, st);
}

void VESSEL::DefSetStateEx(const void* status) const {
    SELF_OR();
    CallTrace trace(v, __func__, status);
    const VESSELSTATUS2* st = static_cast<const VESSELSTATUS2*>(status);
    if (!st || st->version != 2) {
        Misuse("DefSetStateEx: status record is not version 2");
        return;
    }
    ApplyStatus(v, *st);
}

void VESSEL::GetGlobalPos(VECTOR3& pos) const {
    SELF_OR();
    CallTrace trace(v, __func__, pos);
    pos = ToHostFrame(v->phys.pos);
}

void VESSEL::GetGlobalVel(VECTOR3& vel) const {
    SELF_OR();
    CallTrace trace(v, __func__, vel);
    vel = v->phys.vel;
}

void VESSEL::GetRelativePos(OBJHANDLE hRef, VECTOR3& pos) const {
    SELF_OR();
    CallTrace trace(v, __func__, hRef, pos);
    VECTOR3 ref;
    if (!ObjectState(hRef, &ref, nullptr)) {
        Misuse("GetRelativePos: reference is neither a vessel nor a body");
        return;
    }
    pos = v->phys.pos - ref;
}

void VESSEL::GetRelativeVel(OBJHANDLE hRef, VECTOR3& vel) const {
    SELF_OR();
    CallTrace trace(v, __func__, hRef, vel);
    VECTOR3 ref;
    if (!ObjectState(hRef, nullptr, &ref)) {
        Misuse("GetRelativeVel: reference is neither a vessel nor a body");
        return;
    }
    vel = v->phys.vel - ref;
}

void VESSEL::GetRotationMatrix(MATRIX3& R) const {
    SELF_OR();
    CallTrace trace(v, __func__, R);
    R = v->phys.R;
}

void VESSEL::SetRotationMatrix(const MATRIX3& R) const {
    SELF_OR();
    CallTrace trace(v, __func__, R);
    for (double d : R.data)
        if (!std::isfinite(d)) {
            Misuse("SetRotationMatrix: %s: the matrix is not all numbers", v->name.c_str());
            return;
        }
    v->phys.R = R;
    v->phys.stepStart.R = R; // the host turns the vessel's present state, also in the middle of a frame
    v->phys.landed = false;
}

void VESSEL::Global2Local(const VECTOR3& global, VECTOR3& local) const {
    SELF_OR();
    CallTrace trace(v, __func__, global, local);
    local = tmul(v->phys.R, FromHostFrame(global) - v->phys.pos);
}

void VESSEL::Local2Global(const VECTOR3& local, VECTOR3& global) const {
    SELF_OR();
    CallTrace trace(v, __func__, local, global);
    global = ToHostFrame(mul(v->phys.R, local) + v->phys.pos);
}

void VESSEL::Local2Rel(const VECTOR3& local, VECTOR3& rel) const {
    SELF_OR();
    CallTrace trace(v, __func__, local, rel);
    const Body* b = GetBody(v->phys.body);
    rel = mul(v->phys.R, local) + v->phys.pos - (b ? b->pos : _V(0, 0, 0));
}

void VESSEL::GlobalRot(const VECTOR3& rloc, VECTOR3& rglob) const {
    SELF_OR();
    CallTrace trace(v, __func__, rloc, rglob);
    rglob = mul(v->phys.R, rloc);
}

// --- Scenario lines ---

namespace {

const char* BodyName(int body) {
    const Body* b = GetBody(body);
    return b ? b->name : "Earth";
}

// An index of one kind of attachment point (to parent or to child), as the scenario line gives it.
int PointIndex(const Vessel* v, const Attachment* a) {
    int n = 0;
    for (auto& p : v->attachments) {
        if (p->toParent != a->toParent) continue;
        if (p.get() == a) return n;
        ++n;
    }
    return -1;
}

} // namespace

void VESSEL::SaveDefaultState(FILEHANDLE scn) const {
    SELF_OR();
    CallTrace trace(v, __func__, scn);
    HostFile* f = CheckFile(scn, "SaveDefaultState");
    if (!f) return;
    VESSELSTATUS2 st{};
    FillStatus(v, st);
    if (st.status == 1) {
        WriteLine(f, Fmt("  STATUS Landed %s", BodyName(v->phys.body)));
        const std::string pad = PadLine(v);
        if (!pad.empty()) WriteLine(f, "  BASE " + pad);
        WriteLine(f, Fmt("  POS %0.7f %0.7f", st.surf_lng * DEG, st.surf_lat * DEG));
        WriteLine(f, Fmt("  HEADING %0.2f", posangle(st.surf_hdg) * DEG));
        // Height of the centre of mass above the surface, and the attitude in the body's frame, its angles
        // taken of the frame's turn into the vessel's.
        WriteLine(f, Fmt("  ALT %0.3f", Altitude(*v)));
        const MATRIX3 R = BodyLocalAttitude(*v);
        VECTOR3 a = MatrixToEuler(_M(R.m11, R.m21, R.m31, R.m12, R.m22, R.m32, R.m13, R.m23, R.m33)) * DEG;
        WriteLine(f, Fmt("  AROT %0.3f %0.3f %0.3f", a.x, a.y, a.z));
        f->precision = 3;
    } else {
        WriteLine(f, Fmt("  STATUS Orbiting %s", BodyName(OrbitReference(*v))));
        WriteLine(f, Fmt("  RPOS %0.3f %0.3f %0.3f", st.rpos.x, st.rpos.y, st.rpos.z));
        WriteLine(f, Fmt("  RVEL %0.4f %0.4f %0.4f", st.rvel.x, st.rvel.y, st.rvel.z));
        WriteLine(f, Fmt("  AROT %0.3f %0.3f %0.3f", st.arot.x * DEG, st.arot.y * DEG, st.arot.z * DEG));
        f->precision = 3;
        // The host writes the spin once its squared rate passes 1e-8 (rad/s)^2.
        VECTOR3 w = st.vrot * DEG;
        if (dotp(st.vrot, st.vrot) > 1e-8) {
            WriteLine(f, Fmt("  VROT %0.4f %0.4f %0.4f", w.x, w.y, w.z));
            f->precision = 4;
        }
    }
    for (auto& a : v->attachments) {
        if (!a->toParent || !a->other || !a->otherPoint) continue;
        WriteLine(f, Fmt("  ATTACHED %d:%d,%s", PointIndex(v, a.get()), PointIndex(a->other, a->otherPoint),
                         a->other->name.c_str()));
        break;
    }
    if (v->attitudeMode != RCS_ROT) WriteLine(f, Fmt("  RCSMODE %d", v->attitudeMode));
    if (v->adCtrlMode != 0) WriteLine(f, Fmt("  AFCMODE %u", (unsigned)v->adCtrlMode));
    std::string prp;
    for (size_t i = 0; i < v->propellants.size(); ++i) {
        const Propellant& p = *v->propellants[i];
        double level = p.maxMass > 0.0 ? p.mass / p.maxMass : 0.0;
        if (level != 0.0) {
            prp += Fmt(" %zu:%0.6f", i, level);
            f->precision = 6;
        }
    }
    if (!prp.empty()) WriteLine(f, "  PRPLEVEL" + prp);
    std::string thl;
    for (size_t i = 0; i < v->thrusters.size(); ++i)
        if (v->thrusters[i]->level != 0.0) thl += Fmt(" %zu:%0.*f", i, f->precision, v->thrusters[i]->level);
    if (!thl.empty()) WriteLine(f, "  THLEVEL" + thl);
    std::string dock;
    for (size_t i = 0; i < v->docks.size(); ++i) {
        const DockPort& d = *v->docks[i];
        if (!d.mate) continue;
        int ridx = 0;
        for (size_t j = 0; j < d.mate->docks.size(); ++j)
            if (d.mate->docks[j].get() == d.matePort) ridx = (int)j;
        dock += Fmt(" %zu:%d,%s", i, ridx, d.mate->name.c_str());
    }
    if (!dock.empty()) WriteLine(f, "  DOCKINFO" + dock);
    std::string ids;
    for (size_t i = 0; i < v->docks.size(); ++i)
        if (v->docks[i]->ids)
            ids += Fmt(" %zu:%d %d", i, v->docks[i]->idsStep, (int)(float)(v->docks[i]->idsRange * 0.001f));
    if (!ids.empty()) WriteLine(f, "  IDS" + ids);
    if (!v->navFreq.empty()) {
        std::string nav;
        for (int n : v->navFreq) nav += Fmt(" %d", n);
        WriteLine(f, "  NAVFREQ" + nav);
    }
    if (v->hasXpdr) WriteLine(f, Fmt("  XPDR %u", (unsigned)v->xpdr));
}

namespace {

enum LineKey {
    K_STATUS, K_BASE, K_POS, K_HEADING, K_PRPLEVEL, K_FUEL, K_THLEVEL, K_ENGINE_MAIN, K_ENGINE_HOVR, K_DOCKINFO,
    K_RPOS, K_RVEL, K_AROT, K_VROT, K_ALT, K_ELEMENTS, K_IDS, K_NAVFREQ, K_XPDR, K_RCSMODE, K_AFCMODE,
    K_ATTACHED, K_FLIGHTDATA
};

struct LineKeyName {
    const char* key;
    LineKey id;
};

// The host matches these by prefix, without regard to case, in this order.
constexpr LineKeyName LINE_KEYS[] = {
    {"STATUS", K_STATUS},     {"BASE", K_BASE},         {"POS", K_POS},
    {"HEADING", K_HEADING},   {"PRPLEVEL", K_PRPLEVEL}, {"FUEL", K_FUEL},
    {"THLEVEL", K_THLEVEL},   {"ENGINE_MAIN", K_ENGINE_MAIN}, {"ENGINE_HOVR", K_ENGINE_HOVR},
    {"DOCKINFO", K_DOCKINFO}, {"RPOS", K_RPOS},         {"RVEL", K_RVEL},
    {"AROT", K_AROT},         {"VROT", K_VROT},         {"ALT", K_ALT},
    {"ELEMENTS", K_ELEMENTS}, {"IDS", K_IDS},           {"NAVFREQ", K_NAVFREQ},
    {"XPDR", K_XPDR},         {"RCSMODE", K_RCSMODE},   {"AFCMODE", K_AFCMODE},
    {"ATTACHED", K_ATTACHED}, {"FLIGHTDATA", K_FLIGHTDATA},
};

bool Vec3(const char* s, VECTOR3& out) {
    double x, y, z;
    if (sscanf(s, "%lf%lf%lf", &x, &y, &z) != 3) return false;
    out = _V(x, y, z);
    return true;
}

// "i:level i:level ..." into a list of the status record.
template <typename Spec, typename Vec>
void LevelList(const char* s, Vec& list, Spec*& ptr, int& n) {
    char tok[64];
    int used = 0;
    while (sscanf(s, " %63s%n", tok, &used) == 1) {
        s += used;
        int idx;
        double level;
        if (sscanf(tok, "%d:%lf", &idx, &level) != 2 || idx < 0) continue;
        Spec spec{};
        spec.idx = (int)idx;
        spec.level = level;
        list.push_back(spec);
    }
    ptr = list.empty() ? nullptr : list.data();
    n = (int)list.size();
}

void ParseDockInfo(Vessel* v, const char* s) {
    char tok[300];
    int used = 0;
    while (sscanf(s, " %299s%n", tok, &used) == 1) {
        s += used;
        int own, other, n = 0;
        if (sscanf(tok, "%d:%d,%n", &own, &other, &n) != 2 || n == 0) continue;
        W().pending.push_back(PendingLink{v, false, own, other, tok + n});
    }
}

} // namespace

void VESSEL::ParseScenarioLineEx(char* line, void* status) const {
    SELF_OR();
    CallTrace trace(v, __func__, line, status);
    if (!line) return;
    VESSELSTATUS2* st = static_cast<VESSELSTATUS2*>(status);
    if (!st || st->version != 2) {
        Misuse("ParseScenarioLineEx: status record is not version 2");
        return;
    }
    const LineKeyName* key = nullptr;
    for (const LineKeyName& k : LINE_KEYS)
        if (IPrefix(line, k.key)) {
            key = &k;
            break;
        }
    if (!key) {
        if (*line) {
            v->ignoredLines.push_back(line);
            Say("warning: %s: scenario line known to neither the module nor the host: %s", v->name.c_str(), line);
        }
        return;
    }
    const char* arg = line + strlen(key->key);
    VECTOR3 vec;
    switch (key->id) {
    case K_STATUS: {
        char what[32] = {}, body[32] = {};
        if (sscanf(arg, "%31s %31s", what, body) < 1) break;
        st->status = IPrefix(what, "Landed") ? 1 : 0;
        if (body[0]) {
            int b = BodyIndexByName(body);
            if (b >= 0) st->rbody = const_cast<Body*>(GetBody(b));
            else Say("%s: unknown body %s", v->name.c_str(), body);
        }
        if (st->status == 1) {
            st->surf_hdg = 0.0;
            st->arot.x = 10.0; // the host's mark for "no attitude given"
        }
        break;
    }
    case K_BASE: {
        // "name:pad": the vessel stands on the pad's centre unless a POS line follows.
        std::string text = arg;
        const size_t colon = text.find(':');
        v->scenarioBase = Trim(text.substr(0, colon));
        v->scenarioPad = -1;
        int pad = 0;
        if (colon != std::string::npos && sscanf(text.c_str() + colon + 1, "%d", &pad) == 1) v->scenarioPad = pad - 1;
        const int body = st->rbody ? BodyOfHandle(st->rbody) : v->phys.body;
        double lng, lat;
        if (v->scenarioPad >= 0 && BasePad(body, v->scenarioBase.c_str(), v->scenarioPad, &lng, &lat)) {
            st->surf_lng = lng;
            st->surf_lat = lat;
        } else if (!BasePad(body, v->scenarioBase.c_str(), 0, &lng, &lat) && v->scenarioPad >= 0) {
            Say("warning: %s: no base \"%s\" with a pad %d on its body: BASE line ignored", v->name.c_str(),
                v->scenarioBase.c_str(), v->scenarioPad + 1);
        }
        break;
    }
    case K_POS: {
        double lng, lat;
        if (sscanf(arg, "%lf%lf", &lng, &lat) == 2) {
            st->surf_lng = lng * RAD;
            st->surf_lat = lat * RAD;
        }
        break;
    }
    case K_HEADING: {
        double hdg;
        if (sscanf(arg, "%lf", &hdg) == 1) st->surf_hdg = hdg * RAD;
        break;
    }
    case K_PRPLEVEL: {
        StatusLists& l = ListsFor(st);
        LevelList(arg, l.fuel, st->fuel, st->nfuel);
        break;
    }
    case K_FUEL: {
        double level;
        if (sscanf(arg, "%lf", &level) != 1) break;
        StatusLists& l = ListsFor(st);
        l.fuel.push_back(VESSELSTATUS2::FUELSPEC{(int)-1, level});
        st->fuel = l.fuel.data();
        st->nfuel = (int)l.fuel.size();
        break;
    }
    case K_THLEVEL: {
        StatusLists& l = ListsFor(st);
        LevelList(arg, l.thruster, st->thruster, st->nthruster);
        break;
    }
    case K_DOCKINFO: ParseDockInfo(v, arg); break;
    case K_RPOS:
        if (Vec3(arg, vec)) st->rpos = vec;
        break;
    case K_RVEL:
        if (Vec3(arg, vec)) st->rvel = vec;
        break;
    case K_AROT:
        if (Vec3(arg, vec)) st->arot = vec * RAD;
        break;
    case K_VROT:
        if (Vec3(arg, vec)) st->vrot = vec * RAD;
        break;
    case K_ALT: {
        double alt;
        if (sscanf(arg, "%lf", &alt) == 1) st->vrot.x = alt;
        break;
    }
    case K_IDS: {
        // "port:channel[:range km]" words: a port gets a transmitter (20 km unless the word says). A range
        // written as a word of its own, as the host's saves write it, is read as a port number and goes.
        std::istringstream words(arg);
        for (std::string w; words >> w;) {
            int port = -1, step = 0, km = 20;
            char sep;
            const int m = sscanf(w.c_str(), "%d%c%d%c%d", &port, &sep, &step, &sep, &km);
            if (m < 3 || port < 0 || port >= (int)v->docks.size() || step < 0 || step >= 640) continue;
            DockPort& d = *v->docks[(size_t)port];
            d.ids = true;
            d.idsStep = step;
            d.idsRange = (m < 5 ? 20 : km) * 1e3;
        }
        break;
    }
    case K_NAVFREQ: {
        // One channel per receiver the vessel has; more are dropped, fewer leave the rest as they were.
        const char* s = arg;
        int used = 0, ch;
        for (size_t i = 0; i < v->navFreq.size() && sscanf(s, "%d%n", &ch, &used) == 1; ++i, s += used)
            v->navFreq[i] = ch;
        break;
    }
    case K_XPDR: {
        unsigned x;
        if (sscanf(arg, "%u", &x) == 1) st->xpdr = (int)x;
        break;
    }
    case K_RCSMODE: {
        int m;
        if (sscanf(arg, "%d", &m) == 1 && m >= RCS_NONE && m <= RCS_LIN) v->attitudeMode = m;
        break;
    }
    case K_AFCMODE: {
        unsigned m;
        if (sscanf(arg, "%u", &m) == 1) v->adCtrlMode = (int)(m & 7u);
        break;
    }
    case K_ATTACHED: {
        int own, other, n = 0;
        if (sscanf(arg, " %d:%d,%n", &own, &other, &n) == 2 && n > 0)
            W().pending.push_back(PendingLink{v, true, own, other, Trim(arg + n)});
        break;
    }
    default: // BASE, ENGINE_*, ELEMENTS, IDS, FLIGHTDATA: nothing in this host uses them
        Trace("%s: line kept out: %s", v->name.c_str(), line);
        break;
    }
}

bool VESSEL::Playback() const { return W().playback; }

bool VESSEL::Recording() const { return false; }
