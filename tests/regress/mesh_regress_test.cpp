// Mesh files the fuzzer found: a group count too long for an int made the host ask for gigabytes of flags.
#include "hostsim_fixture.h"
#include "lib/host.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class MeshRegress : public hs::test::HostFixture {};

TEST_F(MeshRegress, SixteenDigitGroupCountIsUnreadableAndTheVesselGetsNoFlags) {
    root.Write("Meshes/Huge.msh", "MSHX1\nGROUPS2222222222222226\n");
    root.Write("Config/Vessels/HugeMesh.cfg", "ClassName = HugeMesh\nMeshName = Huge\n");
    EXPECT_EQ(hs::MeshGroupCount("Huge"), -1);
    std::string err;
    ASSERT_NE(Sim().CreateVessel("Huge-1", "HugeMesh", nullptr, &err), nullptr) << err;
    Vessel* v = Rec("Huge-1");
    ASSERT_EQ(v->meshes.size(), 1u);
    EXPECT_EQ(v->meshes[0]->groupCount, -1);
    EXPECT_TRUE(v->meshes[0]->userFlags.empty());
}

TEST_F(MeshRegress, GroupCountIsReadUpToSixtyFiveThousandFiveHundredThirtyFive) {
    root.Write("Meshes/Edge.msh", "MSHX1\nGROUPS 65535\n");
    root.Write("Meshes/Over.msh", "MSHX1\nGROUPS 65536\n");
    root.Write("Meshes/Late.msh", "MSHX1\nGROUPS -3\nGROUPS x\n  GROUPS 12\n");
    EXPECT_EQ(hs::MeshGroupCount("Edge"), 65535);
    EXPECT_EQ(hs::MeshGroupCount("Over"), -1);
    EXPECT_EQ(hs::MeshGroupCount("Late"), 12);
}

} // namespace
