// Misuse of handles and indices is counted and shown, never a crash; visuals and device meshes.
#include "tv_world.h"

namespace hs::test {
namespace {

class Misuse : public TvWorld {};

TEST_F(Misuse, ForeignHandlesAndIndicesAreCountedOneByOne) {
    Sim().PressKey(OAPI_KEY_M);
    Sim().Frame();
    expectedMisuse = 4;
    EXPECT_EQ(Sim().MisuseCount(), 4);
    EXPECT_TRUE(TimelineHas("misuse: GetThrusterLevel: thruster handle not of vessel TV1"));
    EXPECT_TRUE(TimelineHas("misuse: SetAnimation: animation 99"));
}

TEST_F(Misuse, AnimationOfAGroupTheMeshLacksIsCountedOnce) {
    Sim().PressKey(OAPI_KEY_A);
    Sim().Frame();
    EXPECT_EQ(Sim().MisuseCount(), 0);
    EXPECT_DOUBLE_EQ(Rec("TV1")->animations[0].state, 0.5);
    Sim().PressKey(OAPI_KEY_B);
    Sim().Frame();
    Sim().PressKey(OAPI_KEY_B);
    Sim().Frame();
    EXPECT_EQ(Sim().MisuseCount(), 1);
    expectedMisuse = 1;
}

TEST_F(Misuse, AttachmentIdIsCutToEightCharacters) {
    VESSEL* v = Iface("TV1");
    EXPECT_STREQ(v->GetAttachmentId(v->GetAttachmentHandle(false, 0)), "GUN-LONG");
    EXPECT_STREQ(v->GetAttachmentId(v->GetAttachmentHandle(true, 0)), "APR");
}

TEST_F(Misuse, AttachChildChecksBothPointsAndTheChildAndDeletingTheParentFreesIt) {
    std::string err;
    OBJHANDLE tv2 = Sim().CreateVessel("TV2", TV_CLASS, nullptr, &err);
    ASSERT_NE(tv2, nullptr) << err;
    VESSEL* p = Iface("TV1");
    VESSEL* c = Iface("TV2");
    ATTACHMENTHANDLE pp = p->GetAttachmentHandle(false, 0), cp = c->GetAttachmentHandle(true, 0);
    EXPECT_FALSE(p->AttachChild(tv2, cp, pp)); // points of the wrong vessels
    EXPECT_EQ(Sim().MisuseCount(), 1);
    EXPECT_TRUE(p->AttachChild(tv2, pp, cp));
    EXPECT_EQ(p->GetAttachmentStatus(pp), tv2);
    EXPECT_TRUE(p->DetachChild(pp, 2.0));
    EXPECT_EQ(p->GetAttachmentStatus(pp), nullptr);
    EXPECT_EQ(c->GetAttachmentStatus(cp), nullptr);
    ASSERT_TRUE(p->AttachChild(tv2, pp, cp));
    oapiDeleteVessel(Rec("TV1"));
    Sim().Frame();
    EXPECT_EQ(c->GetAttachmentStatus(cp), nullptr);
    expectedMisuse = 1;
}

TEST_F(Misuse, WithoutAVisualThereIsNoDeviceMesh) {
    Sim().PressKey(OAPI_KEY_X);
    Sim().Frame();
    EXPECT_TRUE(TimelineHas("tv: no device mesh TV1"));
    EXPECT_EQ(Sim().MisuseCount(), 0);
}

class Visuals : public TvWorld {
  protected:
    Visuals() { options.visuals = true; }
};

TEST_F(Visuals, MeshEditsChangeUserFlagsAndAMissingGroupIsMisuse) {
    EXPECT_TRUE(TimelineHas("tv: visual created TV1"));
    Sim().PressKey(OAPI_KEY_X);
    Sim().Frame();
    const Mesh& m = *Rec("TV1")->meshes[0];
    ASSERT_EQ(m.userFlags.size(), 3u);
    EXPECT_EQ(m.userFlags[1], 4u);
    EXPECT_EQ(Sim().MisuseCount(), 1); // group 9 of three
    VESSEL* v = Iface("TV1");
    DEVMESHHANDLE dm = v->GetDevMesh(Rec("TV1")->visual, 0);
    ASSERT_NE(dm, nullptr);
    GROUPEDITSPEC ges{};
    ges.flags = GRPEDIT_ADDUSERFLAG;
    ges.UsrFlag = 3;
    EXPECT_EQ(oapiEditMeshGroup(dm, 1, &ges), 0);
    EXPECT_EQ(m.userFlags[1], 7u);
    ges.flags = GRPEDIT_DELUSERFLAG;
    ges.UsrFlag = 2;
    EXPECT_EQ(oapiEditMeshGroup(dm, 1, &ges), 0);
    EXPECT_EQ(m.userFlags[1], 5u);
    ges.flags = GRPEDIT_SETUSERFLAG;
    ges.UsrFlag = 8;
    EXPECT_EQ(oapiEditMeshGroup(dm, 1, &ges), 0);
    EXPECT_EQ(m.userFlags[1], 8u);
    expectedMisuse = 1;
}

TEST_F(Visuals, DroppedVisualLeavesNoDeviceMeshBehind) {
    VESSEL* v = Iface("TV1");
    VISHANDLE vis = Rec("TV1")->visual;
    DEVMESHHANDLE dm = v->GetDevMesh(vis, 0);
    ASSERT_NE(dm, nullptr);
    Sim().SetVisuals(false);
    EXPECT_TRUE(TimelineHas("tv: visual destroyed TV1"));
    GROUPEDITSPEC ges{};
    ges.flags = GRPEDIT_SETUSERFLAG;
    EXPECT_EQ(oapiEditMeshGroup(dm, 0, &ges), -1);
    EXPECT_EQ(Sim().MisuseCount(), 1);
    Sim().SetVisuals(true);
    EXPECT_EQ(TimelineCount("tv: visual created TV1"), 2);
    expectedMisuse = 1;
}

} // namespace
} // namespace hs::test
