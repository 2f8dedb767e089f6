// Fuzz target: the host's mesh-file reader, alone and through a vessel that shows the mesh.
#include "fuzz_host.h"
#include "lib/host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzhost::FreshWorld();
    fuzzhost::WriteFile("Meshes/FuzzMesh.msh", fuzzhost::Text(data, size));
    if (hs::MeshGroupCount("FuzzMesh") < -1) fuzzhost::Fail("a group count below -1");
    fuzzhost::WriteFile("Config/Vessels/FuzzMeshClass.cfg", "ClassName = FuzzMeshClass\nMeshName = FuzzMesh\n");
    std::string err;
    if (!hs::Sim::Get().CreateVessel("Mesh-1", "FuzzMeshClass", nullptr, &err)) return 0;
    hs::Sim::Get().SetVisuals(true);
    hs::Sim::Get().Frame();
    return 0;
}
