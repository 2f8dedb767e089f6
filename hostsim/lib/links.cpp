// Attachments and docking links between vessels, and unlinking a vessel that goes away.
#include "host.h"
#include "physics/physics.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace hs {

bool Attach(Vessel* parent, Attachment* pp, Vessel* child, Attachment* cp) {
    if (pp->other && pp->other != child) return false; // the parent's point is taken
    // A child hangs on one parent at a time: it leaves the old one first.
    for (auto& a : child->attachments)
        if (a->toParent && a->other && a->otherPoint) Detach(a->otherPoint);
    pp->other = child;
    pp->otherPoint = cp;
    cp->other = parent;
    cp->otherPoint = pp;
    // The child keeps its place and attitude until the next step hangs it on the point, as in the host.
    Trace("attached %s (%s) to %s (%s)", child->name.c_str(), cp->id, parent->name.c_str(), pp->id);
    return true;
}

void Detach(Attachment* pp) {
    if (pp->otherPoint) {
        pp->otherPoint->other = nullptr;
        pp->otherPoint->otherPoint = nullptr;
    }
    pp->other = nullptr;
    pp->otherPoint = nullptr;
}

int PortIndex(const Vessel* v, const DockPort* p) {
    for (size_t i = 0; i < v->docks.size(); ++i)
        if (v->docks[i].get() == p) return (int)i;
    return -1;
}

// Every vessel reached from `from` through engaged ports, `from` included.
static bool InDockedStructure(Vessel* from, const Vessel* sought) {
    std::vector<Vessel*> seen{from};
    for (size_t i = 0; i < seen.size(); ++i) {
        if (seen[i] == sought) return true;
        for (auto& d : seen[i]->docks)
            if (d->mate && std::find(seen.begin(), seen.end(), d->mate) == seen.end()) seen.push_back(d->mate);
    }
    return false;
}

int DockPorts(Vessel* a, int pa, Vessel* b, int pb, int mode) {
    DockPort* da = a->docks[(size_t)pa].get();
    DockPort* db = b->docks[(size_t)pb].get();
    // The host's order of refusals: own port, the target's port, then one structure docked to itself.
    if (da->mate) return DOCK_OWN_PORT_IN_USE;
    if (db->mate) return DOCK_TARGET_PORT_IN_USE;
    if (a == b || InDockedStructure(a, b)) return DOCK_ALREADY_JOINED;
    if (mode == DOCK_MOVE_SELF) {
        PlaceDocked(*b, *db, *a, *da);
    } else {
        if (mode == DOCK_SHARE_MOMENTUM) {
            // The pair moves on with the momentum the two had; the target joins at its port.
            const double ma = TotalMass(*a), mb = TotalMass(*b);
            if (ma + mb > 0.0) a->phys.vel = (a->phys.vel * ma + b->phys.vel * mb) / (ma + mb);
        }
        PlaceDocked(*a, *da, *b, *db);
    }
    da->mate = b;
    da->matePort = db;
    db->mate = a;
    db->matePort = da;
    if (VESSEL2* cb = Callbacks(a)) cb->clbkDockEvent(pa, b);
    if (VESSEL2* cb = Callbacks(b)) cb->clbkDockEvent(pb, a);
    Say("docked %s port %d to %s port %d", a->name.c_str(), pa, b->name.c_str(), pb);
    return DOCK_DONE;
}

bool Dock(Vessel* a, int pa, Vessel* b, int pb) {
    if (a == b || pa < 0 || pb < 0 || (size_t)pa >= a->docks.size() || (size_t)pb >= b->docks.size()) {
        Misuse("dock: %s port %d with %s port %d", a->name.c_str(), pa, b->name.c_str(), pb);
        return false;
    }
    const DockPort* da = a->docks[(size_t)pa].get();
    if (da->mate == b && da->matePort == b->docks[(size_t)pb].get()) return true; // both sides name the link
    return DockPorts(a, pa, b, pb, DOCK_MOVE_TARGET) == DOCK_DONE;
}

void Undock(Vessel* a, int pa, double vsep) {
    DockPort* da = a->docks[(size_t)pa].get();
    Vessel* b = da->mate;
    if (!b) return;
    const int pb = PortIndex(b, da->matePort);
    if (vsep != 0.0) {
        // The two part along a's port: each takes the share of the push the other's mass gives it.
        const double ma = TotalMass(*a), mb = TotalMass(*b);
        if (ma + mb > 0.0) {
            const VECTOR3 sepdir = mul(a->phys.R, da->dir);
            a->phys.vel = a->phys.vel - sepdir * (vsep * mb / (ma + mb));
            b->phys.vel = b->phys.vel + sepdir * (vsep * ma / (ma + mb));
        }
    }
    if (da->matePort) {
        da->matePort->mate = nullptr;
        da->matePort->matePort = nullptr;
    }
    da->mate = nullptr;
    da->matePort = nullptr;
    NoteUndocking(a, b);
    // The mate hears of it first, as in the host.
    if (pb >= 0)
        if (VESSEL2* cb = Callbacks(b)) cb->clbkDockEvent(pb, nullptr);
    if (VESSEL2* cb = Callbacks(a)) cb->clbkDockEvent(pa, nullptr);
    Say("undocked %s port %d from %s", a->name.c_str(), pa, b->name.c_str());
}

// Both vessels wait before their ports capture again.
void NoteUndocking(Vessel* a, Vessel* b) {
    a->undockTime = W().simt;
    if (b) b->undockTime = W().simt;
}

// Nothing may keep pointing at a vessel that is gone.
void RemoveVessel(Vessel* gone) {
    World& w = W();
    for (auto& v : w.vessels)
        for (auto& d : v->docks)
            if (d->approaching == gone) d->approaching = nullptr;
    for (auto& a : gone->attachments)
        if (a->other) Detach(a.get());
    for (size_t i = 0; i < gone->docks.size(); ++i)
        if (gone->docks[i]->mate) Undock(gone, (int)i);
    for (size_t i = 0; i < w.pending.size();)
        if (w.pending[i].v == gone) w.pending.erase(w.pending.begin() + (long)i);
        else ++i;
    // Keys aimed at the vessel go with it; they must not fall to the focus instead.
    for (size_t i = 0; i < w.keys.size();)
        if (w.keys[i].target == gone) w.keys.erase(w.keys.begin() + (long)i);
        else ++i;
    for (size_t i = 0; i < w.held.size();)
        if (w.held[i].target == gone) w.held.erase(w.held.begin() + (long)i);
        else ++i;
}

static Attachment* PointByIndex(Vessel* v, bool toParent, int idx) {
    int n = 0;
    for (auto& a : v->attachments) {
        if (a->toParent != toParent) continue;
        if (n++ == idx) return a.get();
    }
    return nullptr;
}

// ATTACHED and DOCKINFO lines name vessels that may come later in the scenario.
void ResolvePendingLinks() {
    World& w = W();
    std::vector<PendingLink> todo;
    todo.swap(w.pending);
    for (PendingLink& l : todo) {
        // As the host: the first vessel of that name. Names need not be unique, so a link to a shared name is
        // told, and which vessel it went to.
        Vessel* mate = nullptr;
        int sharing = 0;
        for (auto& v : w.vessels)
            if (IEquals(v->name.c_str(), l.mate.c_str()) && v.get() != l.v && sharing++ == 0) mate = v.get();
        if (sharing > 1)
            Say("warning: %s: %s names %s, which %d vessels carry: linked to the first, %s", l.v->tag.c_str(),
                l.attach ? "ATTACHED" : "DOCKINFO", l.mate.c_str(), sharing, mate->tag.c_str());
        if (!mate) {
            Say("%s: %s names %s, which does not exist", l.v->name.c_str(), l.attach ? "ATTACHED" : "DOCKINFO",
                l.mate.c_str());
            continue;
        }
        if (l.attach) {
            Attachment* cp = PointByIndex(l.v, true, l.own);
            Attachment* pp = PointByIndex(mate, false, l.other);
            if (!cp || !pp) {
                Say("%s: ATTACHED %d:%d,%s names a point that does not exist", l.v->name.c_str(), l.own, l.other,
                    l.mate.c_str());
                continue;
            }
            Attach(mate, pp, l.v, cp);
        } else {
            Dock(l.v, l.own, mate, l.other);
        }
    }
}

// The host keeps a flag per group: a count beyond any real mesh is as unreadable as none.
constexpr long MAX_MESH_GROUPS = 65535;

// Meshes/<name>.msh: only the group count matters here.
int MeshGroupCount(const std::string& name) {
    // The count stands near the top: the file is read only that far (a mesh can be large, and every vessel
    // made reads it).
    std::ifstream in(HostPath("Meshes\\" + name + ".msh"), std::ios::binary);
    for (std::string l; std::getline(in, l);) {
        // Read as text first: a number too long for an int must not reach the conversion.
        char digits[16];
        if (sscanf(l.c_str(), " GROUPS %15s", digits) != 1) continue;
        char* end = nullptr;
        const long n = strtol(digits, &end, 10);
        if (end == digits || n < 0) continue;
        return n <= MAX_MESH_GROUPS ? static_cast<int>(n) : -1;
    }
    return -1;
}

} // namespace hs
