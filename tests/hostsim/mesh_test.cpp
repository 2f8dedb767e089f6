// Meshes: the mesh file reader on good, odd and broken text, the mesh handle functions, a vessel's mesh
// places and the device meshes of its visual.
#include "lib/meshes.h"
#include "tv_world.h"

#include <cmath>
#include <sstream>

namespace hs::test {
namespace {

// Two groups of one triangle each, two materials, one texture.
const char* const TWO_GROUPS = "MSHX1\n"
                               "GROUPS 2\n"
                               "LABEL first\n"
                               "MATERIAL 2\n"
                               "TEXTURE 1\n"
                               "FLAG 6\n"
                               "ZBIAS 3\n"
                               "TEXWRAP UV\n"
                               "GEOM 3 1\n"
                               "0 0 0 0 0 1 0.5 0.25\n"
                               "1 0 0 0 0 1\n"
                               "0 1 0 0 0 1\n"
                               "0 1 2\n"
                               "MATERIAL 0\n"
                               "TEXTURE 2\n"
                               "FLIP\n"
                               "GEOM 4 2\n"
                               "0 0 1 1 0 0\n"
                               "0 1 1 1 0 0\n"
                               "1 1 1 1 0 0\n"
                               "1 0 1 1 0 0\n"
                               "0 1 2\n"
                               "0 2 3\n"
                               "MATERIALS 2\n"
                               "hull\n"
                               "glass\n"
                               "MATERIAL hull\n"
                               "0.1 0.2 0.3 1\n"
                               "0.4 0.5 0.6 1\n"
                               "0.7 0.8 0.9 1 20\n"
                               "0 0 0 1\n"
                               "MATERIAL glass\n"
                               "1 1 1 0.5\n"
                               "1 1 1 0.5\n"
                               "1 1 1 1\n"
                               "0 0 0 0\n"
                               "TEXTURES 1\n"
                               "hull.dds D\n";

bool Read(const std::string& text, HostMesh& mesh, std::vector<std::string>* warnings = nullptr) {
    std::istringstream in(text);
    return ReadMesh(in, mesh, warnings);
}

TEST(MeshFile, GroupsMaterialsAndTexturesReadAsTheHostReadsThem) {
    HostMesh m;
    std::vector<std::string> warnings;
    ASSERT_TRUE(Read(TWO_GROUPS, m, &warnings));
    EXPECT_TRUE(warnings.empty());
    ASSERT_EQ(m.groups.size(), 2u);
    const MESHGROUPEX& a = m.groups[0]->spec;
    EXPECT_EQ(a.nVtx, 3);
    EXPECT_EQ(a.nIdx, 3);
    EXPECT_EQ(a.MtrlIdx, 1) << "the file counts materials from 1";
    EXPECT_EQ(a.TexIdx, 0);
    EXPECT_EQ(a.UsrFlag, 6);
    EXPECT_EQ(a.zBias, 3);
    EXPECT_EQ(a.Flags, 0x03) << "wrapped in u and v";
    EXPECT_FLOAT_EQ(a.Vtx[0].tu, 0.5f);
    EXPECT_FLOAT_EQ(a.Vtx[0].tv, 0.25f);
    EXPECT_FLOAT_EQ(a.Vtx[1].x, 1.0f);
    const MESHGROUPEX& b = m.groups[1]->spec;
    EXPECT_EQ(static_cast<uint32_t>(b.MtrlIdx), MESH_DEFAULT_INDEX) << "material 0 is the default";
    EXPECT_EQ(static_cast<uint32_t>(b.TexIdx), MESH_DEFAULT_INDEX) << "texture 2 of one";
    EXPECT_EQ(b.Idx[1], 2);
    EXPECT_EQ(b.Idx[2], 1) << "FLIP turns every triangle";
    EXPECT_EQ(b.Idx[5], 2);
    ASSERT_EQ(m.materials.size(), 2u);
    EXPECT_FLOAT_EQ(m.materials[0]->diffuse.b, 0.3f);
    EXPECT_FLOAT_EQ(m.materials[0]->specular.g, 0.8f);
    EXPECT_FLOAT_EQ(m.materials[0]->power, 20.0f);
    EXPECT_FLOAT_EQ(m.materials[1]->power, 0.0f) << "a specular line of four values has no power";
    ASSERT_EQ(m.textures.size(), 1u);
    EXPECT_EQ(m.textures[0], "hull.dds");
}

TEST(MeshFile, AGroupWithoutGeometryIsLeftOutAndTheNextTakesItsIndex) {
    HostMesh m;
    ASSERT_TRUE(Read("MSHX1\nGROUPS 3\nGEOM 3 1\n0 0 0\n1 0 0\n0 1 0\n0 1 2\n"
                     "GEOM 0 0\n"
                     "FLAG 9\nGEOM 3 1\n0 0 0\n1 0 0\n0 1 0\n0 1 2\n",
                     m));
    ASSERT_EQ(m.groups.size(), 2u);
    EXPECT_EQ(m.groups[1]->spec.UsrFlag, 9);
}

TEST(MeshFile, TextWithoutHeaderOrGroupCountIsNoMesh) {
    HostMesh m;
    EXPECT_FALSE(Read("", m));
    EXPECT_FALSE(Read("MSHX2\nGROUPS 1\n", m));
    EXPECT_FALSE(Read("MSHX1\nLABEL x\n", m));
    EXPECT_FALSE(Read("MSHX1\nGROUPS many\n", m));
    EXPECT_TRUE(m.groups.empty());
    EXPECT_TRUE(Read("MSHX1\nGROUPS 0\n", m)) << "an empty mesh is still a mesh";
}

TEST(MeshFile, TextCutAnywhereKeepsTheWholeGroupsBeforeTheCut) {
    // A group is whole once any of its last triangle's line is there: the rest of that line reads as zeros.
    const std::string text = TWO_GROUPS;
    const size_t lastOfFirst = text.find("0 1 2\n"), lastOfSecond = text.find("0 2 3\n");
    const size_t materials = text.find("MATERIALS");
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        HostMesh m;
        std::vector<std::string> warnings;
        const bool mesh = Read(text.substr(0, cut), m, &warnings);
        EXPECT_EQ(mesh, cut >= text.find("GROUPS 2") + 8) << "cut at " << cut;
        const size_t whole = cut <= lastOfFirst ? 0 : cut <= lastOfSecond ? 1 : 2;
        EXPECT_EQ(m.groups.size(), whole) << "cut at " << cut;
        if (cut < materials) {
            EXPECT_TRUE(m.materials.empty()) << "cut at " << cut;
        }
    }
}

TEST(MeshFile, TriangleOfAVertexTheGroupLacksTakesVertexZero) {
    HostMesh m;
    std::vector<std::string> warnings;
    ASSERT_TRUE(Read("MSHX1\nGROUPS 1\nGEOM 3 2\n0 0 0\n1 0 0\n0 1 0\n0 1 7\n-1 2 65537\n", m, &warnings));
    ASSERT_EQ(m.groups.size(), 1u);
    const std::vector<uint16_t> expected = {0, 1, 0, 0, 2, 1}; // 65537 keeps its low bits: vertex 1
    EXPECT_EQ(m.groups[0]->idx, expected);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("line 7"), std::string::npos) << warnings[0];
}

TEST(MeshFile, CountsTheTextDoesNotHoldCostNothing) {
    HostMesh m;
    std::vector<std::string> warnings;
    ASSERT_TRUE(
        Read("MSHX1\nGROUPS 2000000000\nGEOM -5 1\nGEOM 2000000000 2000000000\n0 0 0\n", m, &warnings));
    EXPECT_TRUE(m.groups.empty());
    EXPECT_EQ(warnings.size(), 2u);
    ASSERT_TRUE(Read("MSHX1\nGROUPS 0\nMATERIALS 2000000000\nx\n", m, &warnings));
    EXPECT_TRUE(m.materials.empty());
}

TEST(MeshFile, LineLongerThanTheHostsBufferEndsTheReading) {
    HostMesh m;
    const std::string group = "GEOM 3 1\n0 0 0\n1 0 0\n0 1 0\n0 1 2\n";
    ASSERT_TRUE(Read("MSHX1\nGROUPS 3\n" + group + "LABEL " + std::string(249, 'x') + "\n" + group +
                         "LABEL " + std::string(250, 'x') + "\n" + group,
                     m));
    EXPECT_EQ(m.groups.size(), 2u) << "255 characters fit, 256 do not";
}

TEST(MeshFile, MissingNormalsAreMadeAsTheHostMakesThem) {
    HostMesh m;
    ASSERT_TRUE(Read(
        "MSHX1\nGROUPS 1\nNONORMAL\nGEOM 4 1\n0 0 0 0.5 0.5\n2 0 0 1 0\n0 2 0 0 1\n5 5 5 0 0\n0 1 2\n", m));
    const NTVERTEX* v = m.groups[0]->spec.Vtx;
    EXPECT_FLOAT_EQ(v[0].tu, 0.5f) << "without normals a vertex line holds position and texture";
    // Cross product (0, 0, 4), over three, times a third of pi, over three again.
    const float z = 4.0f / 3.0f * std::acos(0.5f) / 3.0f;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(v[i].nx, 0.0f);
        EXPECT_FLOAT_EQ(v[i].nz, z) << "vertex " << i;
    }
    EXPECT_FLOAT_EQ(v[3].nz, 0.0f) << "a vertex of no triangle";
}

class Meshes : public TvWorld {
  protected:
    void SetUp() override {
        TvWorld::SetUp();
        root.Write("Meshes/Test/Two.msh", TWO_GROUPS);
        tv = Iface("TV1");
    }
    VESSEL* tv = nullptr;
};

TEST_F(Meshes, SharedMeshIsReadOnceAndHandedToEveryone) {
    static int calls = 0;
    static bool first[2] = {};
    auto clbk = [](MESHHANDLE, bool firstload) { first[calls++] = firstload; };
    MESHHANDLE a = oapiLoadMeshGlobal("Test\\Two", clbk);
    MESHHANDLE b = oapiLoadMeshGlobal("Test/Two", clbk);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(first[0]);
    EXPECT_FALSE(first[1]);
    EXPECT_NE(oapiLoadMeshGlobal("Test\\TestMesh"), a);
    EXPECT_EQ(oapiMeshGroupCount(a), 2);
    EXPECT_EQ(oapiMeshMaterialCount(a), 2);
    EXPECT_EQ(oapiMeshTextureCount(a), 1);
    EXPECT_TRUE(oapiSetMeshProperty(a, MESHPROPERTY_MODULATEMATALPHA, 1));
    EXPECT_FALSE(oapiSetMeshProperty(a, 99, 1));
    oapiDeleteMesh(a);
    EXPECT_EQ(Sim().MisuseCount(), 1) << "the host's own mesh";
    EXPECT_EQ(oapiMeshGroupCount(a), 2) << "and it stays";
    expectedMisuse = 1;
}

TEST_F(Meshes, SharedMeshWithoutAFileIsNullAndMisuse) {
    EXPECT_EQ(oapiLoadMeshGlobal("Test\\Nowhere"), nullptr);
    root.Write("Meshes/Test/Empty.msh", "MSHX1\nGROUPS 0\n");
    EXPECT_EQ(oapiLoadMeshGlobal("Test\\Empty"), nullptr) << "the host stops at a mesh without groups";
    EXPECT_EQ(oapiLoadMeshGlobal("..\\..\\Test\\Two"), nullptr);
    EXPECT_EQ(Sim().MisuseCount(), 3);
    EXPECT_NE(oapiLoadMesh("Test\\Nowhere"), nullptr) << "a module's own load gives an empty mesh";
    expectedMisuse = 3;
}

TEST_F(Meshes, GroupIndicesOutsideTheMeshAreNullAndMisuse) {
    MESHHANDLE m = oapiLoadMeshGlobal("Test\\Two");
    ASSERT_NE(oapiMeshGroup(m, 1), nullptr);
    EXPECT_EQ(oapiMeshGroup(m, 2), nullptr);
    EXPECT_EQ(oapiMeshGroup(m, -1), nullptr);
    EXPECT_EQ(oapiMeshGroupEx(m, 5), nullptr);
    EXPECT_EQ(oapiMeshMaterial(m, 2), nullptr);
    GROUPEDITSPEC ges{};
    EXPECT_EQ(oapiEditMeshGroup(m, 2, &ges), 1);
    EXPECT_FALSE(oapiAddMeshGroupBlock(m, 2, nullptr, 0, nullptr, 0));
    EXPECT_EQ(Sim().MisuseCount(), 6);
    expectedMisuse = 6;
}

TEST_F(Meshes, DeadAndForeignHandlesAreMisuseNeverRead) {
    MESHHANDLE own = oapiLoadMesh("Test\\Two");
    ASSERT_EQ(oapiMeshGroupCount(own), 2);
    oapiDeleteMesh(own);
    double onTheStack = 0.0;
    for (void* bad : {own, static_cast<void*>(&onTheStack), static_cast<void*>(Rec("TV1")),
                      static_cast<void*>(nullptr)}) {
        EXPECT_EQ(oapiMeshGroupCount(bad), 0);
        EXPECT_EQ(oapiMeshGroup(bad, 0), nullptr);
        oapiDeleteMesh(bad);
    }
    EXPECT_EQ(Sim().MisuseCount(), 12);
    expectedMisuse = 12;
}

TEST_F(Meshes, GroupsAddedToAMadeMeshKeepTheirPlaceAndBlocksCountFromTheirOwnFirstVertex) {
    NTVERTEX tri[3] = {{0, 0, 0, 0, 0, 1, 0, 0}, {1, 0, 0, 0, 0, 1, 0, 0}, {0, 1, 0, 0, 0, 1, 0, 0}};
    uint16_t idx[3] = {0, 1, 2};
    MESHGROUP g{};
    g.Vtx = tri;
    g.Idx = idx;
    g.nVtx = 3;
    g.nIdx = 3;
    g.MtrlIdx = 4;
    MESHHANDLE m = oapiCreateMesh(1, &g);
    ASSERT_NE(m, nullptr);
    MESHGROUP* first = oapiMeshGroup(m, 0);
    tri[0].x = 9.0f; // the mesh holds its own copy
    EXPECT_FLOAT_EQ(first->Vtx[0].x, 0.0f);
    EXPECT_EQ(first->MtrlIdx, 4) << "a made mesh is not checked against its materials";
    EXPECT_EQ(oapiAddMeshGroup(m, &g), 1);
    EXPECT_EQ(oapiMeshGroup(m, 0), first);
    ASSERT_TRUE(oapiAddMeshGroupBlock(m, 1, tri, 3, idx, 3));
    MESHGROUP* second = oapiMeshGroup(m, 1);
    ASSERT_EQ(second->nVtx, 6);
    EXPECT_EQ(second->Idx[3], 3);
    EXPECT_EQ(second->Idx[5], 5);
    EXPECT_FLOAT_EQ(second->Vtx[3].x, 9.0f);
    g.nVtx = -1;
    EXPECT_EQ(oapiAddMeshGroup(m, &g), -1);
    EXPECT_EQ(oapiCreateMesh(1, &g), nullptr);
    EXPECT_EQ(Sim().MisuseCount(), 2);
    oapiDeleteMesh(m);
    expectedMisuse = 2;
}

TEST_F(Meshes, EditsSetOrAddVerticesByIndexAndSkipThoseBeyondTheGroup) {
    MESHHANDLE m = oapiLoadMesh("Test\\Two");
    NTVERTEX vals[3] = {};
    vals[0].x = 5.0f;
    vals[1].x = 7.0f;
    vals[2].x = 9.0f;
    uint16_t which[3] = {2, 40, 0};
    GROUPEDITSPEC ges{};
    ges.flags = GRPEDIT_VTXCRDX | GRPEDIT_VTXCRDADDX | GRPEDIT_ADDUSERFLAG | GRPEDIT_SETUSERFLAG;
    ges.UsrFlag = 1;
    ges.Vtx = vals;
    ges.nVtx = 3;
    ges.vIdx = which;
    ASSERT_EQ(oapiEditMeshGroup(m, 0, &ges), 0);
    const MESHGROUP* g = oapiMeshGroup(m, 0);
    EXPECT_FLOAT_EQ(g->Vtx[2].x, 5.0f);
    EXPECT_FLOAT_EQ(g->Vtx[0].x, 9.0f) << "setting wins over adding";
    EXPECT_EQ(g->UsrFlag, 1) << "setting the user flag wins over adding to it";
    ges.flags = GRPEDIT_VTXCRDADDY;
    ges.vIdx = nullptr;
    vals[1].y = 0.5f;
    ASSERT_EQ(oapiEditMeshGroup(m, 0, &ges), 0);
    EXPECT_FLOAT_EQ(g->Vtx[1].y, 0.5f);
    oapiDeleteMesh(m);
}

TEST_F(Meshes, DeletingAMaterialMovesTheGroupsAfterItDown) {
    MESHHANDLE m = oapiLoadMesh("Test\\Two");
    MATERIAL extra{};
    extra.power = 3.0f;
    EXPECT_EQ(oapiAddMaterial(m, &extra), 2);
    EXPECT_FLOAT_EQ(oapiMeshMaterial(m, 2)->power, 3.0f);
    ASSERT_TRUE(oapiDeleteMaterial(m, 0));
    EXPECT_EQ(oapiMeshMaterialCount(m), 2);
    EXPECT_EQ(oapiMeshGroup(m, 0)->MtrlIdx, 0);
    EXPECT_EQ(static_cast<uint32_t>(oapiMeshGroup(m, 1)->MtrlIdx), MESH_INHERIT_INDEX)
        << "the host counts the default above every material";
    oapiDeleteMesh(m);
}

TEST_F(Meshes, DeletedMeshLeavesAPlaceTheNextMeshTakes) {
    const UINT first = tv->GetMeshCount();
    MESHHANDLE shared = oapiLoadMeshGlobal("Test\\Two");
    const VECTOR3 ofs = _V(1, 2, 3);
    EXPECT_EQ(tv->AddMesh(shared, &ofs), first);
    EXPECT_EQ(tv->AddMesh("Test\\Two"), first + 1);
    EXPECT_EQ(tv->GetMeshTemplate(first), shared);
    EXPECT_EQ(tv->GetMeshName(first), nullptr);
    EXPECT_STREQ(tv->GetMeshName(first + 1), "Test\\Two");
    EXPECT_TRUE(tv->DelMesh(first));
    EXPECT_EQ(tv->GetMeshTemplate(first), nullptr);
    VECTOR3 got{};
    EXPECT_FALSE(tv->GetMeshOffset(first, got));
    EXPECT_EQ(tv->AddMesh("Test\\TestMesh"), first) << "the place the deleted mesh left";
    EXPECT_EQ(tv->InsertMesh("Test\\TestMesh", first + 4), first + 4);
    EXPECT_EQ(tv->GetMeshCount(), first + 5) << "the places between are made empty";
    EXPECT_EQ(tv->GetMeshVisibilityMode(first + 3), 0);
    EXPECT_EQ(tv->AddMesh("Test\\TestMesh"), first + 2);
    EXPECT_EQ(tv->InsertMesh(shared, first + 1), first + 1) << "a place in use is taken over";
    EXPECT_EQ(tv->GetMeshName(first + 1), nullptr);
    EXPECT_EQ(tv->InsertMesh("Test\\TestMesh", 1u << 30), (UINT)-1);
    EXPECT_EQ(Sim().MisuseCount(), 1);
    tv->ShiftMeshes(ofs);
    ASSERT_TRUE(tv->GetMeshOffset(first + 1, got));
    EXPECT_DOUBLE_EQ(got.z, 3.0);
    tv->SetMeshVisibleInternal(first + 1, true);
    EXPECT_EQ(tv->GetMeshVisibilityMode(first + 1), MESHVIS_ALWAYS);
    expectedMisuse = 1;
}

TEST_F(Meshes, CopyFromTheTemplateIsTheModulesOwn) {
    MESHHANDLE shared = oapiLoadMeshGlobal("Test\\Two");
    const UINT byHandle = tv->AddMesh(shared);
    const UINT byName = tv->AddMesh("Test\\Two");
    MESHHANDLE a = tv->CopyMeshFromTemplate(byHandle);
    MESHHANDLE b = tv->CopyMeshFromTemplate(byName);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, shared);
    oapiMeshGroup(a, 0)->Vtx[0].x = 4.0f;
    EXPECT_FLOAT_EQ(oapiMeshGroup(shared, 0)->Vtx[0].x, 0.0f);
    EXPECT_EQ(oapiMeshGroupCount(b), 2);
    EXPECT_EQ(oapiMeshMaterialCount(b), 2);
    EXPECT_EQ(tv->CopyMeshFromTemplate(99), nullptr);
    oapiDeleteMesh(a);
    oapiDeleteMesh(b);
    MESHHANDLE own = oapiLoadMesh("Test\\Two");
    const UINT byOwn = tv->AddMesh(own);
    oapiDeleteMesh(own);
    EXPECT_EQ(tv->CopyMeshFromTemplate(byOwn), nullptr);
    EXPECT_EQ(Sim().MisuseCount(), 1) << "the template was deleted under the vessel";
    expectedMisuse = 1;
}

class MeshVisuals : public TvWorld {
  protected:
    MeshVisuals() { options.visuals = true; }
};

TEST_F(MeshVisuals, DeviceMeshIsACopyTheModuleEditsAndReadsBack) {
    VESSEL* v = Iface("TV1");
    VISHANDLE vis = Rec("TV1")->visual;
    EXPECT_EQ(v->GetMesh(vis, 0), nullptr) << "the host gives no mesh of a visual";
    DEVMESHHANDLE dm = v->GetDevMesh(vis, 0);
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(oapiMeshGroup(dm, 0), nullptr);
    NTVERTEX moved{};
    moved.z = 2.5f;
    GROUPEDITSPEC ges{};
    ges.flags = GRPEDIT_VTXCRDZ;
    ges.Vtx = &moved;
    ges.nVtx = 1;
    ASSERT_EQ(oapiEditMeshGroup(dm, 2, &ges), 0);
    NTVERTEX out[4] = {};
    uint16_t perm[2] = {0, 9};
    GROUPREQUESTSPEC grs{};
    grs.Vtx = out;
    grs.nVtx = 2;
    grs.VtxPerm = perm;
    EXPECT_EQ(oapiGetMeshGroup(dm, 2, &grs), 1) << "vertex 9 of three";
    EXPECT_FLOAT_EQ(out[0].z, 2.5f);
    grs.VtxPerm = nullptr;
    grs.nVtx = 4;
    EXPECT_EQ(oapiGetMeshGroup(dm, 1, &grs), 0);
    EXPECT_EQ(grs.nVtx, 3) << "cut to the group's vertices";
    EXPECT_FLOAT_EQ(out[0].z, 0.0f);
    EXPECT_EQ(oapiGetMeshGroup(dm, 3, &grs), 1);
    EXPECT_EQ(Sim().MisuseCount(), 1);
    MESHHANDLE fresh = v->CopyMeshFromTemplate(0);
    EXPECT_FLOAT_EQ(oapiMeshGroup(fresh, 2)->Vtx[0].z, 0.0f) << "the file is untouched";
    oapiDeleteMesh(fresh);
    expectedMisuse = 1;
}

} // namespace
} // namespace hs::test
