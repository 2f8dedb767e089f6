// The shipped meshes hold every group that the Corvane animates or edits.
#include "hostsim_fixture.h"
#include "package_support.h"

#include <set>

using namespace package_test;

namespace {

// The group count a mesh file in the host's text format declares.
int DeclaredGroups(const std::string& meshFile) {
    std::istringstream in(ReadFile(meshFile));
    std::string word;
    while (in >> word)
        if (word == "GROUPS") {
            int n = -1;
            in >> n;
            return n;
        }
    return -1;
}

class MeshGroups : public hs::test::HostFixture {
  protected:
    MeshGroups() { options.visuals = true; }
};

} // namespace

// The cockpit figures' edits find their groups too: with both seats manned and seen from outside, every
// figure group is shown (user flag exactly 1).
TEST_F(MeshGroups, EveryAnimatedGroupAndEveryCockpitFigureExistsInItsMeshFile) {
    ASSERT_TRUE(Load(hs::test::ScenarioText("Corvane-1:Corvane\n  STATUS Landed Earth\n  POS 0 0\n"
                                            "  UMMUCREW Capt-Ilse_Marrow-35-65-74\n"
                                            "  UMMUCREW Sci-Teodor_Vanke-41-65-74\nEND\n")))
        << loadError;
    Vessel* v = Rec("Corvane-1");
    ASSERT_NE(v, nullptr);
    ASSERT_EQ(v->meshes.size(), 2u);
    const int counts[2] = {DeclaredGroups(root.Path() + "/Meshes/corvane-hspace.msh"),
                           DeclaredGroups(root.Path() + "/Meshes/Corvane.msh")};
    EXPECT_GE(counts[1], 50);
    std::set<std::pair<UINT, UINT>> used;
    for (const hs::Animation& a : v->animations)
        for (const auto& c : a.components)
            for (UINT g = 0; g < c->trans->ngrp; ++g) used.insert({c->trans->mesh, c->trans->grp[g]});
    ASSERT_FALSE(used.empty());
    for (const auto& [mesh, group] : used) {
        ASSERT_LT(mesh, 2u);
        EXPECT_LT((int)group, counts[mesh]) << "mesh " << mesh << " group " << group;
    }
    Sim().SetCameraMode(CAM_TARGETRELATIVE);
    Sim().RunFrames(3);
    const hs::Mesh& ship = *v->meshes[1];
    for (int g = 1; g <= 6; ++g) EXPECT_EQ(ship.userFlags.at((size_t)g), 1u) << "group " << g;
}
