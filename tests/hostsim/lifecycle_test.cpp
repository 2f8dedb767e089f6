// Loading vessels the way the host does: class files, modules, callback order, creation and deletion.
#include "tv_world.h"

namespace hs::test {
namespace {

class Lifecycle : public HostFixture {};

TEST_F(Lifecycle, ScenarioVesselRunsInitClassCapsLoadSetStateThenPostCreation) {
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1", "  COUNTER 4\n")))) << loadError;
    EXPECT_TRUE(TimelineInOrder({"tv: ovcInit TV1", "tv: clbkSetClassCaps TV1", "tv: clbkLoadStateEx TV1",
                                 "tv: clbkSetStateEx TV1", "tv: clbkPostCreation TV1"}));
}

TEST_F(Lifecycle, TheModulesConstructorFindsTheHostsDefaults) {
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1")))) << loadError;
    EXPECT_TRUE(TimelineHas("tv: at construction TV1: mass 1000 size 10"));
}

TEST_F(Lifecycle, ClassFileItemsOverrideTheModuleAfterSetClassCaps) {
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1")))) << loadError;
    EXPECT_DOUBLE_EQ(Rec("TV1")->size, 7.0); // the module set 5, the class file says 7
    EXPECT_TRUE(TimelineHas("tv: class item TV1 = hello world"));
}

TEST_F(Lifecycle, ClassWithoutModuleIsBuiltFromStandardItemsUpToEndParse) {
    ASSERT_TRUE(Load(ScenarioText("P1:Test\\Plain\n  STATUS Landed Earth\n  PRPLEVEL 0:1.000000\nEND\n")))
        << loadError;
    Vessel* p = Rec("P1");
    ASSERT_NE(p, nullptr);
    EXPECT_DOUBLE_EQ(p->emptyMass, 1500.0);
    EXPECT_DOUBLE_EQ(p->size, 3.0); // "Size = 99" lies after END_PARSE
    ASSERT_EQ(p->meshes.size(), 1u);
    EXPECT_EQ(p->meshes[0]->groupCount, 3);
    ASSERT_EQ(p->propellants.size(), 1u);
    EXPECT_DOUBLE_EQ(p->propellants[0]->mass, 200.0);
    // The main engine, six linear attitude thrusters and six rotating pairs, each a group.
    EXPECT_EQ(p->thrusters.size(), 19u);
    EXPECT_EQ(p->groups.size(), 13u);
}

TEST_F(Lifecycle, MissingClassFileFailsNamingTheFile) {
    EXPECT_FALSE(Load(ScenarioText("X1:NoSuchClass\n  STATUS Landed Earth\nEND\n")));
    EXPECT_EQ(Sim().LastError(), Sim::LOAD_MISSING);
    EXPECT_NE(loadError.find("Config/Vessels/NoSuchClass.cfg"), std::string::npos) << loadError;
    EXPECT_NE(loadError.find("case.scn:"), std::string::npos) << loadError;
}

TEST_F(Lifecycle, MissingModuleFailsNamingTheModuleFile) {
    root.Write("Config/Vessels/Ghost.cfg", "ClassName = Ghost\nModule = Nowhere\\Ghost\n");
    EXPECT_FALSE(Load(ScenarioText("G1:Ghost\n  STATUS Landed Earth\nEND\n")));
    EXPECT_EQ(Sim().LastError(), Sim::LOAD_MISSING);
    EXPECT_NE(loadError.find("Modules/Nowhere/Ghost.so"), std::string::npos) << loadError;
}

TEST_F(Lifecycle, ClassAndModuleNamesMatchFoldersWithoutRegardToCase) {
    ASSERT_TRUE(Load(ScenarioText("TV1:TEST\\testvessel\n  STATUS Landed Earth\nEND\n"))) << loadError;
    EXPECT_TRUE(TimelineHas("tv: ovcInit TV1"));
}

TEST_F(Lifecycle, ShutdownCallsOvcExitForEveryVesselAndTheModuleLoadsAgainAfterIt) {
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1") + FlyingTv("TV2")))) << loadError;
    Sim().Shutdown();
    EXPECT_TRUE(TimelineHas("tv: ovcExit TV1"));
    EXPECT_TRUE(TimelineHas("tv: ovcExit TV2"));
    std::string err;
    ASSERT_TRUE(Sim().Init(options, &err)) << err;
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV9")))) << loadError;
    EXPECT_TRUE(TimelineHas("tv: ovcInit TV9"));
}

TEST_F(Lifecycle, ModuleWhoseLoadHookStartsItselfIsStartedAndEndedOnlyOnce) {
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1") + FlyingTv("TV2")))) << loadError;
    EXPECT_EQ(TimelineCount("tv: InitModule"), 1);
    Sim().Shutdown();
    EXPECT_EQ(TimelineCount("tv: ExitModule"), 1);
    EXPECT_EQ(Sim().MisuseCount(), 0); // its tool given back once
}

class Frames : public TvWorld {};

// A vessel deleted by its own key, and one deleted from outside a frame, still count until the frame ends.
TEST_F(Frames, DeletionTakesEffectAtTheEndOfTheFrame) {
    OBJHANDLE h = Rec("TV1");
    Sim().PressKey(OAPI_KEY_D);
    Sim().Frame();
    EXPECT_TRUE(TimelineInOrder({"tv: key TV1 32 down", "deleted TV1", "tv: ovcExit TV1"}));
    EXPECT_FALSE(oapiIsVessel(h));
    EXPECT_EQ(Sim().Record(h), nullptr);
    EXPECT_EQ(oapiGetVesselCount(), 0u);
    EXPECT_EQ(oapiGetFocusObject(), nullptr);
    std::string err;
    OBJHANDLE tv2 = Sim().CreateVessel("TV2", TV_CLASS, nullptr, &err);
    ASSERT_NE(tv2, nullptr) << err;
    EXPECT_TRUE(oapiDeleteVessel(tv2));
    EXPECT_TRUE(oapiIsVessel(tv2));
    EXPECT_EQ(oapiGetVesselCount(), 1u);
    Sim().Frame();
    EXPECT_FALSE(oapiIsVessel(tv2));
}

TEST_F(Frames, VesselCreatedDuringAFrameRunsItsSetUpInOrderAndGetsItsFirstPreStepOnTheNext) {
    Sim().PressKey(OAPI_KEY_C);
    Sim().Frame();
    ASSERT_NE(Rec("TV1-child"), nullptr);
    EXPECT_TRUE(TimelineHas("tv: first prestep TV1 at 0.000"));
    EXPECT_FALSE(TimelineHas("tv: first prestep TV1-child"));
    EXPECT_TRUE(TimelineInOrder({"created TV1-child (Test\\TestVessel)", "tv: clbkSetClassCaps TV1-child",
                                 "tv: clbkSetStateEx TV1-child", "tv: clbkPostCreation TV1-child"}));
    // The child starts where its maker stands.
    EXPECT_NEAR(length(Rec("TV1-child")->phys.pos - Rec("TV1")->phys.pos), 0.0, 1e-3);
    Sim().Frame();
    EXPECT_TRUE(TimelineHas("tv: first prestep TV1-child at 0.017"));
}

TEST_F(Frames, TimeAdvancesByTheStepAndSysTimeFollowsIt) {
    Sim().RunFrames(60);
    EXPECT_NEAR(oapiGetSimTime(), 1.0, 1e-9);
    EXPECT_NEAR(oapiGetSysTime(), 1.0, 1e-9);
    EXPECT_NEAR(oapiGetSimStep(), 1.0 / 60.0, 1e-12);
    EXPECT_EQ(Sim().FrameCount(), 60);
}

TEST_F(Frames, RandomNumbersRepeatForTheSameSeed) {
    double a = oapiRand(), b = oapiRand();
    std::string err;
    ASSERT_TRUE(Sim().Init(options, &err)) << err;
    EXPECT_EQ(oapiRand(), a);
    EXPECT_EQ(oapiRand(), b);
    EXPECT_GE(a, 0.0);
    EXPECT_LE(a, 1.0);
}

TEST_F(Frames, ObjectsAreFoundByNameWithoutRegardToCase) {
    EXPECT_EQ(oapiGetObjectByName((char*)"tv1"), Rec("TV1"));
    EXPECT_EQ(oapiGetObjectByName((char*)"EARTH"), oapiGetGbodyByIndex(1));
    EXPECT_EQ(oapiGetObjectByName((char*)"nobody"), nullptr);
    char name[3];
    oapiGetObjectName(Rec("TV1"), name, sizeof name);
    EXPECT_STREQ(name, "TV"); // cut to the buffer
}

TEST_F(Frames, FocusPassesOnWhenTheFocusVesselIsDeleted) {
    std::string err;
    ASSERT_NE(Sim().CreateVessel("TV2", TV_CLASS, nullptr, &err), nullptr) << err;
    oapiDeleteVessel(Rec("TV1"));
    Sim().Frame();
    EXPECT_EQ(oapiGetFocusObject(), Rec("TV2"));
    EXPECT_TRUE(TimelineHas("tv: focus TV2 gained"));
}

} // namespace
} // namespace hs::test
