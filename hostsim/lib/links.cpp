// Attachments and docking links between vessels, and unlinking a vessel that goes away.
#include "host.h"
#include "physics/physics.h"

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

bool Dock(Vessel* a, int pa, Vessel* b, int pb) {
    if (a == b || pa < 0 || pb < 0 || (size_t)pa >= a->docks.size() || (size_t)pb >= b->docks.size()) {
        Misuse("dock: %s port %d with %s port %d", a->name.c_str(), pa, b->name.c_str(), pb);
        return false;
    }
    DockPort* da = a->docks[(size_t)pa].get();
    DockPort* db = b->docks[(size_t)pb].get();
    if (da->mate == b && da->matePort == db) return true; // both sides name the link: made once
    if (da->mate || db->mate) return false;
    da->mate = b;
    da->matePort = db;
    db->mate = a;
    db->matePort = da;
    PlaceDocked(*a, *da, *b, *db);
    if (VESSEL2* cb = Callbacks(a)) cb->clbkDockEvent(pa, b);
    if (VESSEL2* cb = Callbacks(b)) cb->clbkDockEvent(pb, a);
    Say("docked %s port %d to %s port %d", a->name.c_str(), pa, b->name.c_str(), pb);
    return true;
}

void Undock(Vessel* a, int pa) {
    DockPort* da = a->docks[(size_t)pa].get();
    Vessel* b = da->mate;
    if (!b) return;
    int pb = -1;
    for (size_t j = 0; j < b->docks.size(); ++j)
        if (b->docks[j].get() == da->matePort) pb = (int)j;
    if (da->matePort) {
        da->matePort->mate = nullptr;
        da->matePort->matePort = nullptr;
    }
    da->mate = nullptr;
    da->matePort = nullptr;
    NoteUndocking(a, b);
    if (VESSEL2* cb = Callbacks(a)) cb->clbkDockEvent(pa, nullptr);
    if (pb >= 0)
        if (VESSEL2* cb = Callbacks(b)) cb->clbkDockEvent(pb, nullptr);
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
