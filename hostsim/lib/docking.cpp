// VESSEL methods for docking ports: made, changed and removed by the module at any time, and docking and
// undocking asked for by the module. Each checks the handles it is given.
#include "host.h"

using namespace hs;

namespace {

// The host's push apart when a module undocks; removing an engaged port releases it without one.
constexpr double UNDOCK_SEPARATION = 0.2; // m/s
// Radio channels: 108.00 to 139.95 MHz in steps of 0.05.
constexpr int NAV_CHANNELS = 640;

DockPort* Port(Vessel* v, DOCKHANDLE h, const char* fn) {
    DockPort* d = Owned<DockPort>(v, h);
    if (!d) Misuse("%s: dock handle not of vessel %s", fn, v->name.c_str());
    return d;
}

DockPort* NewPort(Vessel* v, const VECTOR3& pos, const VECTOR3& dir, const VECTOR3& rot) {
    SlotPtr<DockPort> d = MakeSlot<DockPort>(v);
    d->pos = pos;
    d->dir = dir;
    d->rot = rot;
    v->docks.push_back(std::move(d));
    return v->docks.back().get();
}

void RemovePort(Vessel* v, size_t i) {
    if (v->docks[i]->mate) hs::Undock(v, (int)i);
    v->docks.erase(v->docks.begin() + (long)i);
}

} // namespace

DOCKHANDLE VESSEL::CreateDock(const VECTOR3& pos, const VECTOR3& dir, const VECTOR3& rot) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, pos, dir, rot);
    return trace.Result(NewPort(v, pos, dir, rot));
}

bool VESSEL::DelDock(DOCKHANDLE hDock) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, hDock);
    DockPort* d = Port(v, hDock, "DelDock");
    if (!d) return trace.Result(false);
    RemovePort(v, (size_t)PortIndex(v, d));
    return trace.Result(true);
}

void VESSEL::ClearDockDefinitions() const {
    SELF_OR();
    CallTrace trace(v, __func__);
    while (!v->docks.empty())
        RemovePort(v, 0);
}

// Port 0, made when the vessel has none.
void VESSEL::SetDockParams(const VECTOR3& pos, const VECTOR3& dir, const VECTOR3& rot) const {
    SELF_OR();
    CallTrace trace(v, __func__, pos, dir, rot);
    if (v->docks.empty()) {
        NewPort(v, pos, dir, rot);
        return;
    }
    v->docks[0]->pos = pos;
    v->docks[0]->dir = dir;
    v->docks[0]->rot = rot;
}

void VESSEL::SetDockParams(DOCKHANDLE dock, const VECTOR3& pos, const VECTOR3& dir,
                           const VECTOR3& rot) const {
    SELF_OR();
    CallTrace trace(v, __func__, dock, pos, dir, rot);
    DockPort* d = Port(v, dock, "SetDockParams");
    if (!d) return;
    d->pos = pos;
    d->dir = dir;
    d->rot = rot;
}

void VESSEL::GetDockParams(DOCKHANDLE hDock, VECTOR3& pos, VECTOR3& dir, VECTOR3& rot) const {
    SELF_OR();
    CallTrace trace(v, __func__, hDock, pos, dir, rot);
    const DockPort* d = Port(v, hDock, "GetDockParams");
    if (!d) return;
    pos = d->pos;
    dir = d->dir;
    rot = d->rot;
}

UINT VESSEL::DockCount() const {
    SELF_OR(0);
    CallTrace trace(v, __func__);
    return trace.Result((UINT)v->docks.size());
}

// Beyond the last port the host answers null: asking is how a module learns a port is not there.
DOCKHANDLE VESSEL::GetDockHandle(UINT n) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, n);
    return trace.Result(n < v->docks.size() ? v->docks[n].get() : nullptr);
}

OBJHANDLE VESSEL::GetDockStatus(DOCKHANDLE hDock) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, hDock);
    const DockPort* d = Port(v, hDock, "GetDockStatus");
    return trace.Result(d ? d->mate : nullptr);
}

// Asking about a port beyond the last is an answer, not a fault: the host says 0.
unsigned int VESSEL::DockingStatus(unsigned int port) const {
    SELF_OR(0u);
    CallTrace trace(v, __func__, port);
    return trace.Result(port < v->docks.size() && v->docks[port]->mate ? 1u : 0u);
}

int VESSEL::Dock(OBJHANDLE target, unsigned int n, unsigned int tgtn, unsigned int mode) const {
    SELF_OR((int)DOCK_OWN_PORT_IN_USE);
    CallTrace trace(v, __func__, target, n, tgtn, mode);
    Vessel* t = CheckVessel(target, "Dock");
    // The host reads the ports without a check: a port that is not there is refused as a port in use.
    if (n >= v->docks.size()) {
        Misuse("Dock: port %u of %zu on %s", n, v->docks.size(), v->name.c_str());
        return trace.Result((int)DOCK_OWN_PORT_IN_USE);
    }
    if (!t) return trace.Result((int)DOCK_TARGET_PORT_IN_USE);
    if (tgtn >= t->docks.size()) {
        Misuse("Dock: port %u of %zu on %s", tgtn, t->docks.size(), t->name.c_str());
        return trace.Result((int)DOCK_TARGET_PORT_IN_USE);
    }
    const int how = mode == DOCK_MOVE_SELF     ? DOCK_MOVE_SELF
                    : mode == DOCK_MOVE_TARGET ? DOCK_MOVE_TARGET
                                               : DOCK_SHARE_MOMENTUM;
    return trace.Result(DockPorts(v, (int)n, t, (int)tgtn, how));
}

bool VESSEL::Undock(UINT n, const OBJHANDLE exclude) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, n, exclude);
    bool any = false;
    for (size_t i = 0; i < v->docks.size(); ++i) {
        if (n != (UINT)-1 && i != n) continue;
        DockPort* d = v->docks[i].get();
        if (!d->mate || d->mate == exclude) continue;
        hs::Undock(v, (int)i, UNDOCK_SEPARATION);
        any = true;
    }
    if (n != (UINT)-1 && n >= v->docks.size()) Misuse("Undock: port %u of %zu", n, v->docks.size());
    return trace.Result(any);
}

// Docking by approach is not modelled, so how it would be judged changes nothing.
void VESSEL::SetDockMode(int mode) const {
    SELF_OR();
    CallTrace trace(v, __func__, mode);
}

// --- Ports of any vessel ---

DOCKHANDLE oapiGetDockHandle(OBJHANDLE hVessel, unsigned int n) {
    Vessel* v = CheckVessel(hVessel, "oapiGetDockHandle");
    if (!v || n >= v->docks.size()) return nullptr;
    return v->docks[n].get();
}

OBJHANDLE oapiGetDockStatus(DOCKHANDLE dock) {
    DockPort* d = Slots<DockPort>().Find(dock);
    if (!d) {
        Misuse("oapiGetDockStatus: not a docking port");
        return nullptr;
    }
    return d->mate;
}

void VESSEL::EnableIDS(DOCKHANDLE hDock, bool bEnable) const {
    SELF_OR();
    CallTrace trace(v, __func__, hDock, bEnable);
    DockPort* d = Port(v, hDock, "EnableIDS");
    if (!d) return;
    if (bEnable && !d->ids) {
        d->idsStep = 0;
        d->idsRange = 2e4;
    }
    d->ids = bEnable;
}

bool VESSEL::SetIDSChannel(DOCKHANDLE hDock, int ch) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, hDock, ch);
    DockPort* d = Port(v, hDock, "SetIDSChannel");
    // A negative channel would be stored by the host; it is none of the band's.
    if (!d || !d->ids || ch < 0 || ch >= NAV_CHANNELS) return trace.Result(false);
    d->idsStep = ch;
    return trace.Result(true);
}
