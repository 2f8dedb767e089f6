// VESSEL methods of a vessel's mesh list: meshes added by file name or by handle into places (a deleted mesh
// leaves its place, the next one added takes it), their offsets and visibility, copies for the module, and
// the device meshes of the vessel's visual.
#include "host.h"

// The interface returns some handles as const values, as the host declares them.
#pragma GCC diagnostic ignored "-Wignored-qualifiers"

using namespace hs;

namespace {

constexpr unsigned NEXT_FREE_PLACE = static_cast<unsigned>(-1);
// The host makes every place up to the one asked for; a place this far out is a wild index, not a mesh list.
constexpr unsigned MAX_MESH_PLACES = 65536;

// The place for a new mesh, emptied: `idx`, or the first place a deleted mesh left, or a new one at the end.
// (UINT)-1 when the place is out of reach.
UINT TakePlace(Vessel* v, unsigned idx, const char* fn) {
    if (idx == NEXT_FREE_PLACE) {
        idx = static_cast<unsigned>(v->meshes.size());
        for (size_t i = 0; i < v->meshes.size(); ++i)
            if (!v->meshes[i]->alive) {
                idx = static_cast<unsigned>(i);
                break;
            }
    }
    if (idx >= MAX_MESH_PLACES) {
        Misuse("%s: mesh place %u on %s", fn, idx, v->name.c_str());
        return (UINT)-1;
    }
    while (v->meshes.size() <= idx) {
        v->meshes.push_back(MakeSlot<Mesh>(v));
        v->meshes.back()->alive = false;
        if (v->visual) {
            auto dm = MakeSlot<DevMesh>(v);
            dm->meshIndex = static_cast<int>(v->meshes.size()) - 1;
            dm->owner = v;
            v->devMeshes.push_back(std::move(dm));
        }
    }
    Mesh& m = *v->meshes[idx];
    m.name.clear();
    m.tpl = nullptr;
    m.ofs = VECTOR3{};
    m.visMode = MESHVIS_EXTERNAL;
    m.groupCount = -1;
    m.userFlags.clear();
    m.alive = true;
    if (idx < v->devMeshes.size()) v->devMeshes[idx]->copy.reset(); // the visual shows the new mesh
    return idx;
}

UINT PlaceByName(Vessel* v, const char* meshname, unsigned idx, const VECTOR3* ofs, const char* fn) {
    if (!meshname) {
        Misuse("%s: null mesh name", fn);
        return (UINT)-1;
    }
    const UINT at = TakePlace(v, idx, fn);
    if (at == (UINT)-1) return at;
    Mesh& m = *v->meshes[at];
    m.name = meshname;
    if (ofs) m.ofs = *ofs;
    m.groupCount = m.name.empty() ? -1 : MeshGroupCount(m.name);
    if (m.groupCount > 0) m.userFlags.assign((size_t)m.groupCount, 0);
    return at;
}

// The host keeps the handle as it is given; one that is no mesh of the host is counted here.
UINT PlaceByHandle(Vessel* v, MESHHANDLE hMesh, unsigned idx, const VECTOR3* ofs, const char* fn) {
    const HostMesh* mesh = LiveMesh(hMesh);
    if (!mesh) {
        Misuse("%s: %s mesh handle", fn, hMesh ? "dead or foreign" : "null");
        return (UINT)-1;
    }
    const UINT at = TakePlace(v, idx, fn);
    if (at == (UINT)-1) return at;
    Mesh& m = *v->meshes[at];
    m.tpl = mesh;
    if (ofs) m.ofs = *ofs;
    m.groupCount = static_cast<int>(mesh->groups.size());
    m.userFlags.assign(mesh->groups.size(), 0);
    return at;
}

// A place that holds a mesh, or null.
Mesh* Held(Vessel* v, UINT idx) {
    return idx < v->meshes.size() && v->meshes[idx]->alive ? v->meshes[idx].get() : nullptr;
}

} // namespace

UINT VESSEL::AddMesh(const char* meshname, const VECTOR3* ofs) const {
    SELF_OR((UINT)-1);
    CallTrace trace(v, __func__, meshname, ofs);
    return trace.Result(PlaceByName(v, meshname, NEXT_FREE_PLACE, ofs, "AddMesh"));
}

UINT VESSEL::AddMesh(MESHHANDLE hMesh, const VECTOR3* ofs) const {
    SELF_OR((UINT)-1);
    CallTrace trace(v, __func__, hMesh, ofs);
    return trace.Result(PlaceByHandle(v, hMesh, NEXT_FREE_PLACE, ofs, "AddMesh"));
}

unsigned int VESSEL::InsertMesh(const char* meshname, unsigned int idx, const VECTOR3* ofs) const {
    SELF_OR((UINT)-1);
    CallTrace trace(v, __func__, meshname, idx, ofs);
    return trace.Result(PlaceByName(v, meshname, idx, ofs, "InsertMesh"));
}

unsigned int VESSEL::InsertMesh(MESHHANDLE hMesh, unsigned int idx, const VECTOR3* ofs) const {
    SELF_OR((UINT)-1);
    CallTrace trace(v, __func__, hMesh, idx, ofs);
    return trace.Result(PlaceByHandle(v, hMesh, idx, ofs, "InsertMesh"));
}

bool VESSEL::DelMesh(UINT idx, bool) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, idx);
    Mesh* m = Held(v, idx);
    if (!m) {
        Misuse("DelMesh: mesh %u of %zu", idx, v->meshes.size());
        return trace.Result(false);
    }
    m->alive = false;
    m->tpl = nullptr;
    if (idx < v->devMeshes.size()) v->devMeshes[idx]->copy.reset();
    return trace.Result(true);
}

void VESSEL::ClearMeshes() const {
    ClearMeshes(true);
}

void VESSEL::ClearMeshes(bool) const {
    SELF_OR();
    CallTrace trace(v, __func__);
    v->devMeshes.clear();
    v->meshes.clear();
}

bool VESSEL::ShiftMesh(unsigned int idx, const VECTOR3& ofs) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, idx, ofs);
    Mesh* m = Held(v, idx);
    if (!m) return trace.Result(false);
    m->ofs += ofs;
    return trace.Result(true);
}

void VESSEL::ShiftMeshes(const VECTOR3& ofs) const {
    SELF_OR();
    CallTrace trace(v, __func__, ofs);
    for (auto& m : v->meshes)
        if (m->alive) m->ofs += ofs;
}

bool VESSEL::GetMeshOffset(unsigned int idx, VECTOR3& ofs) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, idx, ofs);
    Mesh* m = Held(v, idx);
    if (!m) return trace.Result(false);
    ofs = m->ofs;
    return trace.Result(true);
}

unsigned int VESSEL::GetMeshCount() const {
    SELF_OR(0u);
    CallTrace trace(v, __func__);
    return trace.Result(static_cast<unsigned>(v->meshes.size()));
}

const MESHHANDLE VESSEL::GetMeshTemplate(unsigned int idx) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, idx);
    Mesh* m = Held(v, idx);
    return trace.Result(m ? const_cast<HostMesh*>(m->tpl) : nullptr);
}

const char* VESSEL::GetMeshName(unsigned int idx) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, idx);
    Mesh* m = Held(v, idx);
    return trace.Result(m && !m->name.empty() ? m->name.c_str() : nullptr);
}

// The module's own copy, of the mesh the place was given or read from the named file; null for an empty
// place, or a file that is no mesh.
MESHHANDLE VESSEL::CopyMeshFromTemplate(unsigned int idx) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, idx);
    Mesh* m = Held(v, idx);
    if (!m) return trace.Result(nullptr);
    if (m->tpl) {
        const HostMesh* tpl = LiveMesh(m->tpl);
        if (!tpl) {
            Misuse("CopyMeshFromTemplate: the mesh of place %u on %s was deleted", idx, v->name.c_str());
            return trace.Result(nullptr);
        }
        HostMesh* copy = NewMesh();
        CopyMesh(*tpl, *copy);
        return trace.Result(copy);
    }
    HostMesh* copy = NewMesh();
    if (!LoadMeshFile(m->name, *copy)) {
        DeleteMesh(copy);
        Say("warning: CopyMeshFromTemplate: no mesh in Meshes/%s.msh", m->name.c_str());
        return trace.Result(nullptr);
    }
    return trace.Result(copy);
}

uint16_t VESSEL::GetMeshVisibilityMode(unsigned int idx) const {
    SELF_OR(uint16_t(0));
    CallTrace trace(v, __func__, idx);
    Mesh* m = Held(v, idx);
    return trace.Result(m ? static_cast<uint16_t>(m->visMode) : uint16_t(0));
}

void VESSEL::SetMeshVisibilityMode(UINT idx, WORD mode) const {
    SELF_OR();
    CallTrace trace(v, __func__, idx, mode);
    Mesh* m = Held(v, idx);
    if (!m) {
        Misuse("SetMeshVisibilityMode: mesh %u of %zu on %s", idx, v->meshes.size(), v->name.c_str());
        return;
    }
    m->visMode = mode;
}

void VESSEL::SetMeshVisibleInternal(unsigned int idx, bool visible) const {
    SetMeshVisibilityMode(idx, visible ? MESHVIS_ALWAYS : MESHVIS_EXTERNAL);
}

// The host tells the visual, which hostsim does not draw.
int VESSEL::MeshModified(MESHHANDLE hMesh, unsigned int grp, int modflag) {
    SELF_OR(0);
    CallTrace trace(v, __func__, hMesh, grp, modflag);
    return trace.Result(0);
}

DEVMESHHANDLE VESSEL::GetDevMesh(VISHANDLE vis, UINT idx) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, vis, idx);
    if (!v->visual || vis != v->visual) {
        if (vis) Misuse("GetDevMesh: visual handle not of vessel %s", v->name.c_str());
        return trace.Result(nullptr);
    }
    if (idx >= v->devMeshes.size()) {
        Misuse("GetDevMesh: mesh %u of %zu on %s", idx, v->devMeshes.size(), v->name.c_str());
        return trace.Result(nullptr);
    }
    if (!v->meshes[idx]->alive) return trace.Result(nullptr);
    return trace.Result(reinterpret_cast<DEVMESHHANDLE>(v->devMeshes[idx].get()));
}

// The host gives modules no mesh of a visual, only device meshes.
MESHHANDLE VESSEL::GetMesh(VISHANDLE vis, UINT idx) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, vis, idx);
    return trace.Result(nullptr);
}
