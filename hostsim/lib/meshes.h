// The host's meshes: groups of vertices and triangles with their materials, read from the host's mesh files
// or made by modules. A MESHHANDLE is the address of a HostMesh in its slots.
#pragma once

#include "Orbitersdk.h"

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

namespace hs {

// A group's material or texture index: the mesh's default, or the one of the group drawn before it.
constexpr uint32_t MESH_DEFAULT_INDEX = 0xFFFFFFFFu;
constexpr uint32_t MESH_INHERIT_INDEX = 0xFFFFFFFEu;
// The host reads a mesh file a line at a time into a buffer of this size; a longer line ends its reading.
constexpr size_t MESH_LINE_MAX = 255;

struct MeshGroup {
    // What oapiMeshGroup hands out, first so the group's address is the record's. Vtx and Idx point into the
    // lists below, and the counts are theirs: Bind() after the lists change.
    MESHGROUPEX spec{};
    std::vector<NTVERTEX> vtx;
    std::vector<uint16_t> idx;
    void Bind() {
        spec.Vtx = vtx.data();
        spec.Idx = idx.data();
        spec.nVtx = static_cast<int>(vtx.size());
        spec.nIdx = static_cast<int>(idx.size());
    }
};

struct HostMesh {
    // A group or material a module holds the address of stays where it is while the mesh lives.
    std::vector<std::unique_ptr<MeshGroup>> groups;
    std::vector<std::unique_ptr<MATERIAL>> materials;
    std::vector<std::string> textures; // as the file names them; "0" is none
    int flags = 0;
    bool modulateMatAlpha = false;
    // A mesh read from a file (or copied from one) checks the material and texture indices of groups added
    // later.
    bool setUp = false;
    bool global = false; // kept by the host for every module (oapiLoadMeshGlobal): never a module's to delete
    std::string name;    // the name a global mesh was loaded under
};

// Reads mesh file text as the host does. What the host leaves out is left out: a group without vertices or
// triangles, or one the text ends inside; material and texture lists that do not follow the last group
// directly. What the host would keep but could not be used safely is mended and told in `warnings`: a
// triangle's vertex beyond its group's becomes vertex 0, a negative count drops its group. False when the
// text is no mesh (no "MSHX1" first line, no GROUPS line): the mesh is then empty.
bool ReadMesh(std::istream& in, HostMesh& mesh, std::vector<std::string>* warnings);

// Adds a group with copies of the lists (either may be null: zeros) and gives its index. A mesh that was read
// from a file checks the material and texture against its lists. The counts are the caller's to check.
int AddMeshGroup(HostMesh& mesh, const NTVERTEX* vtx, int nvtx, const uint16_t* idx, int nidx, uint32_t mtrl,
                 uint32_t tex, int16_t zbias, int usrFlag);
// Appends vertices and triangles to a group; the block's indices count from its own first vertex.
void AddMeshGroupBlock(MeshGroup& g, const NTVERTEX* vtx, int nvtx, const uint16_t* idx, int nidx);
// Applies an edit as the host does: one of the user-flag operations, then the vertex changes the flags ask
// for, each vertex named by vIdx (or in order) and skipped beyond the group's vertices.
void EditMeshGroup(MeshGroup& g, const GROUPEDITSPEC& ges);
// Copies vertices and indices out (a permutation list picks them); 1 when one asked for was not there.
int GetMeshGroup(const MeshGroup& g, GROUPREQUESTSPEC& grs);
void CopyMesh(const HostMesh& from, HostMesh& to);
// Groups that used the material move to material 0, later ones one down, as the host does it.
void DeleteMaterial(HostMesh& mesh, size_t idx);

// The meshes of the world (meshes.cpp).
HostMesh* LiveMesh(const void* h);                          // null for anything but a live mesh
HostMesh* NewMesh();                                        // a module's own
void DeleteMesh(HostMesh* mesh);                            // a module's own
bool LoadMeshFile(const std::string& name, HostMesh& mesh); // Meshes/<name>.msh; false when there is none
void ReleaseMeshes();                                       // at the end of the session

} // namespace hs
