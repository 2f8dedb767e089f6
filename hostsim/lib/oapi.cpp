// The host's global functions: vessels and objects, focus, meshes, camera, time, input box and debug line.
#include "host.h"
#include "physics/physics.h"

#include <cstring>

// The interface returns some handles as const values, as the host declares them.
#pragma GCC diagnostic ignored "-Wignored-qualifiers"

using namespace hs;

namespace hs {
int BodyOfHandle(OBJHANDLE h);
OBJHANDLE CreateFromStatus(const char* name, const char* classname, const VESSELSTATUS2* st, std::string* err);
} // namespace hs

OBJHANDLE oapiCreateVessel(const char* name, const char* classname, const VESSELSTATUS& status) {
    if (!name || !classname) {
        Misuse("oapiCreateVessel: null name or class");
        return nullptr;
    }
    VESSELSTATUS2 st{};
    st.version = 2;
    st.rbody = status.rbody;
    st.status = status.status;
    st.rpos = status.rpos;
    st.rvel = status.rvel;
    st.vrot = status.vrot;
    st.arot = status.arot;
    if (status.status == 1) {
        st.surf_lng = status.vdata[0].x;
        st.surf_lat = status.vdata[0].y;
        st.surf_hdg = status.vdata[0].z;
    }
    std::string err;
    OBJHANDLE h = CreateFromStatus(name, classname, &st, &err);
    if (!h) Say("cannot create %s (%s): %s", name, classname, err.c_str());
    return h;
}

OBJHANDLE oapiCreateVesselEx(const char* name, const char* classname, const void* status) {
    if (!name || !classname) {
        Misuse("oapiCreateVesselEx: null name or class");
        return nullptr;
    }
    const VESSELSTATUS2* st = static_cast<const VESSELSTATUS2*>(status);
    if (st && st->version != 2) {
        Misuse("oapiCreateVesselEx: status record is not version 2");
        st = nullptr;
    }
    std::string err;
    OBJHANDLE h = CreateFromStatus(name, classname, st, &err);
    if (!h) Say("cannot create %s (%s): %s", name, classname, err.c_str());
    return h;
}

// The vessel goes at the end of the frame; until then it is still a vessel.
bool oapiDeleteVessel(OBJHANDLE hVessel, OBJHANDLE hAlternativeCameraTarget) {
    Vessel* v = CheckVessel(hVessel, "oapiDeleteVessel");
    if (!v) return false;
    v->deletePending = true;
    v->altFocus = LiveVessel(hAlternativeCameraTarget);
    return true;
}

int oapiGetVesselCount() { return (int)W().vessels.size(); }

OBJHANDLE oapiGetVesselByIndex(int index) {
    World& w = W();
    if (index < 0 || (size_t)index >= w.vessels.size()) return nullptr;
    return w.vessels[(size_t)index].get();
}

static Vessel* VesselByName(const char* name) {
    if (!name) return nullptr;
    for (auto& v : W().vessels)
        if (IEquals(v->name.c_str(), name)) return v.get();
    return nullptr;
}

OBJHANDLE oapiGetVesselByName(const char* name) { return VesselByName(name); }

bool oapiIsVessel(OBJHANDLE hVessel) { return LiveVessel(hVessel) != nullptr; }

VESSEL* oapiGetVesselInterface(OBJHANDLE hVessel) {
    Vessel* v = CheckVessel(hVessel, "oapiGetVesselInterface");
    return v ? v->iface : nullptr;
}

OBJHANDLE oapiGetObjectByName(const char* name) {
    if (Vessel* v = VesselByName(name)) return v;
    int b = name ? BodyIndexByName(name) : -1;
    return b >= 0 ? const_cast<Body*>(GetBody(b)) : nullptr;
}

void oapiGetObjectName(OBJHANDLE hObj, char* name, int n) {
    if (!name || n <= 0) {
        Misuse("oapiGetObjectName: no buffer");
        return;
    }
    const char* s = nullptr;
    if (Vessel* v = LiveVessel(hObj)) s = v->name.c_str();
    else if (int b = BodyOfHandle(hObj); b >= 0) s = GetBody(b)->name;
    if (!s) {
        Misuse("oapiGetObjectName: neither a vessel nor a body");
        name[0] = '\0';
        return;
    }
    snprintf(name, (size_t)n, "%s", s);
}

// A handle that names nothing (a vessel that has gone, or anything else) is OBJTP_INVALID: asking is how a
// module finds out, so it is not misuse.
int oapiGetObjectType(OBJHANDLE hObj) {
    if (LiveVessel(hObj)) return OBJTP_VESSEL;
    if (int b = BodyOfHandle(hObj); b >= 0) return GetBody(b)->Type();
    return OBJTP_INVALID;
}

double oapiGetSize(OBJHANDLE hObj) {
    if (Vessel* v = LiveVessel(hObj)) return v->size;
    if (int b = BodyOfHandle(hObj); b >= 0) return GetBody(b)->radius;
    Misuse("oapiGetSize: neither a vessel nor a body");
    return 0.0;
}

OBJHANDLE oapiGetFocusObject() { return W().focus; }

OBJHANDLE oapiSetFocusObject(OBJHANDLE hVessel) {
    Vessel* v = CheckVessel(hVessel, "oapiSetFocusObject");
    if (!v || v == W().focus) return nullptr;
    // The host hands the focus to a module that asks for it even when the vessel does not take it.
    if (!v->enableFocus) Say("warning: focus given to %s, which does not take the focus", v->name.c_str());
    Vessel* old = W().focus;
    Sim::Get().SetFocus(v);
    return old;
}

int oapiGetGbodyCount() { return BodyCount(); }

// The host lists the star first. hostsim's table may not have one: then the scenario's central body comes
// first. The others follow in the table's order.
OBJHANDLE oapiGetGbodyByIndex(int index) {
    const int count = BodyCount();
    if (index < 0 || index >= count) return nullptr;
    int first = StarIndex();
    if (first < 0) first = W().centralBody >= 0 && W().centralBody < count ? W().centralBody : 0;
    int table = first;
    for (int i = 0, seen = 0; index > 0 && i < count; ++i)
        if (i != first && ++seen == index) table = i;
    return const_cast<Body*>(GetBody(table));
}

OBJHANDLE oapiGetGbodyParent(OBJHANDLE hBody) {
    const int b = BodyOfHandle(hBody);
    if (b < 0) {
        Misuse("oapiGetGbodyParent: not a body");
        return nullptr;
    }
    return const_cast<Body*>(GetBody(GetBody(b)->parent));
}

void oapiGetGlobalPos(OBJHANDLE hObj, VECTOR3* pos) {
    if (!pos || !ObjectState(hObj, pos, nullptr)) {
        Misuse("oapiGetGlobalPos: neither a vessel nor a body");
        return;
    }
    *pos = ToHostFrame(*pos);
}

// Bodies and misuse, out of the way of the common case.
static __attribute__((noinline)) void RelativePosOfBodies(OBJHANDLE hObj, OBJHANDLE hRef, VECTOR3* pos) {
    VECTOR3 a, b;
    if (!pos || !ObjectState(hObj, &a, nullptr) || !ObjectState(hRef, &b, nullptr)) {
        Misuse("oapiGetRelativePos: neither a vessel nor a body");
        return;
    }
    *pos = a - b;
}

void oapiGetRelativePos(OBJHANDLE hObj, OBJHANDLE hRef, VECTOR3* pos) {
    // Two vessels, the case of every scan for neighbours, straight from the records.
    const Vessel* va = LiveVessel(hObj);
    const Vessel* vb = LiveVessel(hRef);
    if (__builtin_expect(va && vb && pos, 1)) {
        *pos = va->phys.pos - vb->phys.pos;
        return;
    }
    RelativePosOfBodies(hObj, hRef, pos);
}

void oapiGetRelativeVel(OBJHANDLE hObj, OBJHANDLE hRef, VECTOR3* vel) {
    // Two vessels, as a projectile's scan asks it of its neighbours, straight from the records.
    const Vessel* va = LiveVessel(hObj);
    const Vessel* vb = LiveVessel(hRef);
    if (__builtin_expect(va && vb && vel, 1)) {
        *vel = va->phys.vel - vb->phys.vel;
        return;
    }
    VECTOR3 a, b;
    if (!vel || !ObjectState(hObj, nullptr, &a) || !ObjectState(hRef, nullptr, &b)) {
        Misuse("oapiGetRelativeVel: neither a vessel nor a body");
        return;
    }
    *vel = a - b;
}

double oapiGetPropellantMass(PROPELLANT_HANDLE ph) {
    if (Propellant* p = Slots<Propellant>().Find(ph)) return p->mass;
    Misuse("oapiGetPropellantMass: not a propellant handle");
    return 0.0;
}

double oapiGetEmptyMass(OBJHANDLE hVessel) {
    Vessel* v = CheckVessel(hVessel, "oapiGetEmptyMass");
    return v ? v->emptyMass : 0.0;
}

void oapiSetEmptyMass(OBJHANDLE hVessel, double mass) {
    if (Vessel* v = CheckVessel(hVessel, "oapiSetEmptyMass")) v->emptyMass = mass;
}

// --- Textures (meshes: meshes.cpp) ---

GlobalMesh* hs::RegisteredTexture(const char* name) {
    World& w = W();
    for (auto& m : w.globalMeshes)
        if (IEquals(m->name.c_str(), name)) return m.get();
    w.globalMeshes.push_back(MakeSlot<GlobalMesh>(nullptr));
    w.globalMeshes.back()->name = name;
    return w.globalMeshes.back().get();
}

SURFHANDLE oapiRegisterExhaustTexture(const char* name) { return name ? RegisteredTexture(name) : nullptr; }
SURFHANDLE oapiRegisterParticleTexture(const char* name) { return name ? RegisteredTexture(name) : nullptr; }

int oapiCameraMode() { return W().cameraMode; }
int oapiCockpitMode() { return COCKPIT_GENERIC; }
bool oapiCameraInternal() { return W().cameraMode == CAM_COCKPIT; }

// --- Time and user ---

double oapiGetSimTime() { return W().simt; }
double oapiGetSimStep() { return W().simdt; }
// Advances with the frames, so runs repeat exactly.
double oapiGetSysTime() { return W().systime; }

// xorshift64*: seeded by the options, the same numbers every run.
double oapiRand() {
    uint64_t& x = W().rng;
    x ^= x >> 12;
    x ^= x << 25;
    x ^= x >> 27;
    uint64_t r = x * 0x2545F4914F6CDD1DULL;
    return (double)(r >> 11) / (double)((1ULL << 53) - 1);
}

void oapiOpenInputBox(const char* title, bool (*Clbk)(void*, const char*, void*), const char*, int, void* usrdata) {
    World& w = W();
    w.box.open = true;
    w.box.title = title ? title : "";
    w.box.cb = Clbk;
    w.box.usrdata = usrdata;
    ++w.box.generation;
    Say("input box: %s", w.box.title.c_str());
}

char* oapiDebugString() { return W().debug; }
