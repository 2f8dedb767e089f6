// The host's mesh functions: meshes loaded from Meshes/, the host's table of meshes shared by every module,
// the meshes modules make and delete, their groups and materials, and the device meshes of visuals.
#include "host.h"
#include "meshes.h"

#include <cstring>
#include <fstream>

// The interface returns the shared meshes as const values, as the host declares them.
#pragma GCC diagnostic ignored "-Wignored-qualifiers"

namespace hs {

HostMesh* LiveMesh(const void* h) {
    return Slots<HostMesh>().Find(h);
}

HostMesh* NewMesh() {
    World& w = W();
    w.meshes.push_back(MakeSlot<HostMesh>(nullptr));
    return w.meshes.back().get();
}

void DeleteMesh(HostMesh* mesh) {
    World& w = W();
    for (size_t i = 0; i < w.meshes.size(); ++i) {
        if (w.meshes[i].get() != mesh) continue;
        w.meshes.erase(w.meshes.begin() + static_cast<long>(i));
        return;
    }
}

void ReleaseMeshes() {
    W().meshes.clear();
}

bool LoadMeshFile(const std::string& name, HostMesh& mesh) {
    const std::string path = HostPath("Meshes\\" + name + ".msh");
    if (!StaysUnderRoot(path)) {
        Say("warning: mesh %s refused: it lies outside the host root", name.c_str());
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> warnings;
    const bool ok = in && ReadMesh(in, mesh, &warnings);
    for (const std::string& why : warnings)
        Say("warning: mesh %s: %s", name.c_str(), why.c_str());
    return ok;
}

namespace {

// The host's table knows a mesh by its name with '/' for '\\', as written (it keeps 31 characters: a longer
// name is never found again and is read anew every time).
constexpr size_t MESH_TABLE_NAME_MAX = 31;

std::string TableName(const char* fname) {
    std::string s = fname;
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

HostMesh* SharedMesh(const char* fn, const char* fname, bool* firstload) {
    if (!fname) {
        Misuse("%s: null mesh name", fn);
        return nullptr;
    }
    const std::string key = TableName(fname);
    for (auto& m : W().meshes) {
        if (m->global && key.size() <= MESH_TABLE_NAME_MAX && m->name == key) {
            *firstload = false;
            return m.get();
        }
    }
    HostMesh* mesh = NewMesh();
    // The host ends the session at a mesh it cannot read: hostsim carries on without it.
    if (!LoadMeshFile(fname, *mesh) || mesh->groups.empty()) {
        DeleteMesh(mesh);
        Misuse("%s: no mesh in Meshes/%s.msh (the host stops here)", fn, key.c_str());
        return nullptr;
    }
    mesh->global = true;
    mesh->name = key;
    *firstload = true;
    return mesh;
}

HostMesh* CheckMesh(MESHHANDLE h, const char* fn) {
    HostMesh* m = LiveMesh(h);
    if (!m) Misuse("%s: %s mesh handle", fn, h ? "dead or foreign" : "null");
    return m;
}

MeshGroup* Group(HostMesh* m, int idx, const char* fn) {
    if (idx < 0 || static_cast<size_t>(idx) >= m->groups.size()) {
        Misuse("%s: group %d of %zu", fn, idx, m->groups.size());
        return nullptr;
    }
    return m->groups[static_cast<size_t>(idx)].get();
}

bool GroupCountsGood(const MESHGROUP& g, const char* fn) {
    if (g.nVtx < 0 || g.nIdx < 0) {
        Misuse("%s: a negative count (%d vertices, %d indices)", fn, g.nVtx, g.nIdx);
        return false;
    }
    return true;
}

// The device mesh's own copy of its mesh, made when first asked for: from the mesh the vessel was given, or
// read from its file.
HostMesh* DeviceCopy(DevMesh* dm) {
    if (dm->copy) return dm->copy.get();
    dm->copy = std::make_unique<HostMesh>();
    const Mesh& m = *dm->owner->meshes[static_cast<size_t>(dm->meshIndex)];
    if (const HostMesh* tpl = LiveMesh(m.tpl))
        CopyMesh(*tpl, *dm->copy);
    else if (!m.name.empty())
        LoadMeshFile(m.name, *dm->copy);
    return dm->copy.get();
}

DevMesh* CheckDevMesh(DEVMESHHANDLE h, const char* fn) {
    DevMesh* dm = Slots<DevMesh>().Find(h);
    if (!dm) Misuse("%s: not a live device mesh", fn);
    return dm;
}

} // namespace

} // namespace hs

using namespace hs;

const MESHHANDLE oapiLoadMeshGlobal(const char* fname) {
    bool firstload = false;
    return SharedMesh("oapiLoadMeshGlobal", fname, &firstload);
}

const MESHHANDLE oapiLoadMeshGlobal(const char* fname, LoadMeshClbkFunc fClbk) {
    bool firstload = false;
    HostMesh* mesh = SharedMesh("oapiLoadMeshGlobal", fname, &firstload);
    if (mesh && fClbk) fClbk(mesh, firstload);
    return mesh;
}

// A file that is missing or no mesh gives an empty mesh, as the host's does.
MESHHANDLE oapiLoadMesh(const char* fname) {
    if (!fname) {
        Misuse("oapiLoadMesh: null mesh name");
        return nullptr;
    }
    HostMesh* mesh = NewMesh();
    if (!LoadMeshFile(fname, *mesh)) Say("warning: oapiLoadMesh: no mesh in Meshes/%s.msh", fname);
    return mesh;
}

MESHHANDLE oapiCreateMesh(int ngrp, MESHGROUP* grp) {
    if (ngrp > 0 && !grp) {
        Misuse("oapiCreateMesh: %d groups and no list", ngrp);
        return nullptr;
    }
    for (int i = 0; i < ngrp; ++i)
        if (!GroupCountsGood(grp[i], "oapiCreateMesh")) return nullptr;
    HostMesh* mesh = NewMesh();
    for (int i = 0; i < ngrp; ++i)
        AddMeshGroup(*mesh, grp[i].Vtx, grp[i].nVtx, grp[i].Idx, grp[i].nIdx,
                     static_cast<uint32_t>(grp[i].MtrlIdx), static_cast<uint32_t>(grp[i].TexIdx),
                     static_cast<int16_t>(grp[i].zBias), 0);
    return mesh;
}

void oapiDeleteMesh(MESHHANDLE hMesh) {
    HostMesh* m = CheckMesh(hMesh, "oapiDeleteMesh");
    if (!m) return;
    if (m->global) {
        Misuse("oapiDeleteMesh: mesh %s belongs to the host", m->name.c_str());
        return;
    }
    DeleteMesh(m);
}

// The host sets mesh flags only for its own base objects.
int oapiGetMeshFlags(MESHHANDLE hMesh) {
    HostMesh* m = CheckMesh(hMesh, "oapiGetMeshFlags");
    return m ? m->flags : 0;
}

int oapiMeshGroupCount(MESHHANDLE hMesh) {
    HostMesh* m = CheckMesh(hMesh, "oapiMeshGroupCount");
    return m ? static_cast<int>(m->groups.size()) : 0;
}

MESHGROUP* oapiMeshGroup(MESHHANDLE hMesh, int idx) {
    return reinterpret_cast<MESHGROUP*>(oapiMeshGroupEx(hMesh, idx));
}

MESHGROUP* oapiMeshGroup(DEVMESHHANDLE hMesh, int) {
    CheckDevMesh(hMesh, "oapiMeshGroup");
    return nullptr;
}

MESHGROUPEX* oapiMeshGroupEx(MESHHANDLE hMesh, int idx) {
    HostMesh* m = CheckMesh(hMesh, "oapiMeshGroup");
    MeshGroup* g = m ? Group(m, idx, "oapiMeshGroup") : nullptr;
    return g ? &g->spec : nullptr;
}

int oapiAddMeshGroup(MESHHANDLE hMesh, MESHGROUP* grp) {
    HostMesh* m = CheckMesh(hMesh, "oapiAddMeshGroup");
    if (!m) return -1;
    if (!grp) {
        Misuse("oapiAddMeshGroup: null group");
        return -1;
    }
    if (!GroupCountsGood(*grp, "oapiAddMeshGroup")) return -1;
    return AddMeshGroup(*m, grp->Vtx, grp->nVtx, grp->Idx, grp->nIdx, static_cast<uint32_t>(grp->MtrlIdx),
                        static_cast<uint32_t>(grp->TexIdx), static_cast<int16_t>(grp->zBias), 0);
}

bool oapiAddMeshGroupBlock(MESHHANDLE hMesh, int grpidx, const NTVERTEX* vtx, int nvtx, const uint16_t* idx,
                           int nidx) {
    HostMesh* m = CheckMesh(hMesh, "oapiAddMeshGroupBlock");
    MeshGroup* g = m ? Group(m, grpidx, "oapiAddMeshGroupBlock") : nullptr;
    if (!g) return false;
    if (nvtx < 0 || nidx < 0 || (nvtx > 0 && !vtx) || (nidx > 0 && !idx)) {
        Misuse("oapiAddMeshGroupBlock: %d vertices, %d indices, lists %s", nvtx, nidx,
               (nvtx > 0 && !vtx) || (nidx > 0 && !idx) ? "missing" : "given");
        return false;
    }
    AddMeshGroupBlock(*g, vtx, nvtx, idx, nidx);
    return true;
}

int oapiEditMeshGroup(MESHHANDLE hMesh, int grpidx, GROUPEDITSPEC* ges) {
    HostMesh* m = CheckMesh(hMesh, "oapiEditMeshGroup");
    if (!m) return -1;
    if (!ges) {
        Misuse("oapiEditMeshGroup: null edit record");
        return -1;
    }
    MeshGroup* g = Group(m, grpidx, "oapiEditMeshGroup");
    if (!g) return 1;
    EditMeshGroup(*g, *ges);
    return 0;
}

int oapiMeshTextureCount(MESHHANDLE hMesh) {
    HostMesh* m = CheckMesh(hMesh, "oapiMeshTextureCount");
    return m ? static_cast<int>(m->textures.size()) : 0;
}

int oapiMeshMaterialCount(MESHHANDLE hMesh) {
    HostMesh* m = CheckMesh(hMesh, "oapiMeshMaterialCount");
    return m ? static_cast<int>(m->materials.size()) : 0;
}

MATERIAL* oapiMeshMaterial(MESHHANDLE hMesh, int idx) {
    HostMesh* m = CheckMesh(hMesh, "oapiMeshMaterial");
    if (!m) return nullptr;
    if (idx < 0 || static_cast<size_t>(idx) >= m->materials.size()) {
        Misuse("oapiMeshMaterial: material %d of %zu", idx, m->materials.size());
        return nullptr;
    }
    return m->materials[static_cast<size_t>(idx)].get();
}

int oapiAddMaterial(MESHHANDLE hMesh, MATERIAL* mat) {
    HostMesh* m = CheckMesh(hMesh, "oapiAddMaterial");
    if (!m) return -1;
    if (!mat) {
        Misuse("oapiAddMaterial: null material");
        return -1;
    }
    m->materials.push_back(std::make_unique<MATERIAL>(*mat));
    return static_cast<int>(m->materials.size()) - 1;
}

bool oapiDeleteMaterial(MESHHANDLE hMesh, int idx) {
    HostMesh* m = CheckMesh(hMesh, "oapiDeleteMaterial");
    if (!m) return false;
    if (idx < 0 || static_cast<size_t>(idx) >= m->materials.size()) {
        Misuse("oapiDeleteMaterial: material %d of %zu", idx, m->materials.size());
        return false;
    }
    DeleteMaterial(*m, static_cast<size_t>(idx));
    return true;
}

bool oapiSetMeshProperty(MESHHANDLE hMesh, int property, int value) {
    HostMesh* m = CheckMesh(hMesh, "oapiSetMeshProperty");
    if (!m || property != MESHPROPERTY_MODULATEMATALPHA) return false;
    m->modulateMatAlpha = value != 0;
    return true;
}

// --- Device meshes: the visual's own copies ---

bool oapiSetMeshProperty(DEVMESHHANDLE hMesh, int property, int value) {
    DevMesh* dm = CheckDevMesh(hMesh, "oapiSetMeshProperty");
    if (!dm || property != MESHPROPERTY_MODULATEMATALPHA) return false;
    DeviceCopy(dm)->modulateMatAlpha = value != 0;
    return true;
}

int oapiGetMeshGroup(DEVMESHHANDLE hMesh, int grpidx, GROUPREQUESTSPEC* grs) {
    DevMesh* dm = CheckDevMesh(hMesh, "oapiGetMeshGroup");
    if (!dm) return -1;
    if (!grs) {
        Misuse("oapiGetMeshGroup: null request");
        return -1;
    }
    MeshGroup* g = Group(DeviceCopy(dm), grpidx, "oapiGetMeshGroup");
    return g ? GetMeshGroup(*g, *grs) : 1;
}

// 0 done, 4 no such material.
int oapiMeshMaterial(DEVMESHHANDLE hMesh, int idx, MATERIAL* mat) {
    DevMesh* dm = CheckDevMesh(hMesh, "oapiMeshMaterial");
    if (!dm) return 3;
    HostMesh* m = DeviceCopy(dm);
    if (!mat || idx < 0 || static_cast<size_t>(idx) >= m->materials.size()) {
        Misuse("oapiMeshMaterial: material %d of %zu%s", idx, m->materials.size(), mat ? "" : ", no record");
        return 4;
    }
    *mat = *m->materials[static_cast<size_t>(idx)];
    return 0;
}

int oapiSetMaterial(DEVMESHHANDLE hMesh, int matidx, const MATERIAL* mat) {
    DevMesh* dm = CheckDevMesh(hMesh, "oapiSetMaterial");
    if (!dm) return 3;
    HostMesh* m = DeviceCopy(dm);
    if (!mat || matidx < 0 || static_cast<size_t>(matidx) >= m->materials.size()) {
        Misuse("oapiSetMaterial: material %d of %zu%s", matidx, m->materials.size(),
               mat ? "" : ", no record");
        return 4;
    }
    *m->materials[static_cast<size_t>(matidx)] = *mat;
    return 0;
}

// Limits a group index when the mesh file is unknown, so a wild index cannot make a huge table.
constexpr int MAX_UNKNOWN_GROUPS = 4096;

// The user flags stay with the vessel's mesh from one visual to the next; vertex changes go to the copy.
int oapiEditMeshGroup(DEVMESHHANDLE hMesh, int grpidx, GROUPEDITSPEC* ges) {
    DevMesh* dm = CheckDevMesh(hMesh, "oapiEditMeshGroup");
    if (!dm) return -1;
    if (!ges) {
        Misuse("oapiEditMeshGroup: null edit record");
        return -1;
    }
    Vessel* v = dm->owner;
    Mesh& m = *v->meshes[(size_t)dm->meshIndex];
    if (grpidx < 0 || (m.groupCount >= 0 && grpidx >= m.groupCount)) {
        Misuse("oapiEditMeshGroup: group %d of %d in mesh %s of %s", grpidx, m.groupCount, m.name.c_str(),
               v->name.c_str());
        return -1;
    }
    if ((size_t)grpidx >= m.userFlags.size()) {
        if (grpidx >= MAX_UNKNOWN_GROUPS) {
            Misuse("oapiEditMeshGroup: group %d beyond any mesh", grpidx);
            return -1;
        }
        m.userFlags.resize((size_t)grpidx + 1, 0);
    }
    DWORD& flag = m.userFlags[(size_t)grpidx];
    // One of the three, in this order of precedence, as the host's graphics client takes them.
    if (ges->flags & GRPEDIT_SETUSERFLAG)
        flag = (DWORD)ges->UsrFlag;
    else if (ges->flags & GRPEDIT_ADDUSERFLAG)
        flag |= (DWORD)ges->UsrFlag;
    else if (ges->flags & GRPEDIT_DELUSERFLAG)
        flag &= ~(DWORD)ges->UsrFlag;
    if (ges->flags & GRPEDIT_VTXMOD) {
        HostMesh* copy = DeviceCopy(dm);
        if ((size_t)grpidx < copy->groups.size()) {
            GROUPEDITSPEC vertices = *ges;
            vertices.flags &= ~(GRPEDIT_SETUSERFLAG | GRPEDIT_ADDUSERFLAG | GRPEDIT_DELUSERFLAG);
            EditMeshGroup(*copy->groups[(size_t)grpidx], vertices);
        }
    }
    return 0;
}
