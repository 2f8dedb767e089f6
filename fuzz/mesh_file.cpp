// Fuzz target: the host's mesh-file reader, alone and through a vessel that shows the mesh.
#include "fuzz_host.h"
#include "lib/host.h"

// What a module may rely on in any mesh the host hands out: the counts are the lists', every triangle's
// vertices are the group's, and material indices name a material or the default.
static void CheckMesh(MESHHANDLE mesh) {
    const int groups = oapiMeshGroupCount(mesh), materials = oapiMeshMaterialCount(mesh);
    for (int g = 0; g < groups; ++g) {
        const MESHGROUP* grp = oapiMeshGroup(mesh, g);
        if (!grp || grp->nVtx <= 0 || grp->nIdx <= 0) fuzzhost::Fail("a group without vertices or triangles");
        for (int i = 0; i < grp->nIdx; ++i)
            if (grp->Idx[i] >= grp->nVtx) fuzzhost::Fail("a triangle names a vertex its group lacks");
        const uint32_t m = static_cast<uint32_t>(grp->MtrlIdx);
        if (m < hs::MESH_INHERIT_INDEX && m >= static_cast<uint32_t>(materials))
            fuzzhost::Fail("a group names a material the mesh lacks");
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzhost::FreshWorld();
    fuzzhost::WriteFile("Meshes/FuzzMesh.msh", fuzzhost::Text(data, size));
    if (hs::MeshGroupCount("FuzzMesh") < -1) fuzzhost::Fail("a group count below -1");
    MESHHANDLE own = oapiLoadMesh("FuzzMesh");
    if (!own) fuzzhost::Fail("no mesh of a module's own load");
    CheckMesh(own);
    MESHHANDLE copy = nullptr;
    if (MESHHANDLE shared = oapiLoadMeshGlobal("FuzzMesh")) {
        CheckMesh(shared);
        if (oapiMeshGroupCount(shared) != oapiMeshGroupCount(own))
            fuzzhost::Fail("two reads of one file differ");
    }
    oapiDeleteMesh(own);
    fuzzhost::WriteFile("Config/Vessels/FuzzMeshClass.cfg",
                        "ClassName = FuzzMeshClass\nMeshName = FuzzMesh\n");
    std::string err;
    OBJHANDLE v = hs::Sim::Get().CreateVessel("Mesh-1", "FuzzMeshClass", nullptr, &err);
    if (!v) return 0;
    if ((copy = oapiGetVesselInterface(v)->CopyMeshFromTemplate(0))) {
        CheckMesh(copy);
        oapiDeleteMesh(copy);
    }
    hs::Sim::Get().SetVisuals(true);
    hs::Sim::Get().Frame();
    return 0;
}
