// Plugin modules named at start-up: loaded before the scenario, started, called each frame, found by name.
#include "portable.h"
#include "tv_world.h"

namespace hs::test {
namespace {

class Plugins : public HostFixture {
  protected:
    Plugins() { options.plugins = {"TestPlugin"}; }
};

// Modules find the plugin by its DLL name.
TEST_F(Plugins, PluginStartsBeforeTheScenarioSeesEveryFrameIsFoundByNameAndEndsWithTheWorld) {
    EXPECT_TRUE(TimelineHas("plugin: start"));
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1")))) << loadError;
    EXPECT_LT(TimelineFind("plugin: start"), TimelineFind("created TV1"));
    Sim().RunFrames(31);
    EXPECT_TRUE(TimelineHas("plugin: frame 1 at 0.000"));
    EXPECT_TRUE(TimelineHas("plugin: frame 31 at 0.500"));
    HMODULE h = GetModuleHandleA("TestPlugin.dll");
    ASSERT_NE(h, nullptr);
    auto frames = reinterpret_cast<int (*)()>(GetProcAddress(h, "TestPluginFrames"));
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames(), 31);
    EXPECT_EQ(GetModuleHandleA("NotLoaded.dll"), nullptr);
    Sim().Shutdown();
    EXPECT_TRUE(TimelineHas("plugin: end"));
    std::string err;
    ASSERT_TRUE(Sim().Init(options, &err)) << err; // TearDown shuts down again
}

TEST(PluginLoad, MissingPluginFailsInitNamingTheFile) {
    TempRoot root;
    SimOptions opt;
    opt.root = root.Path();
    opt.plugins = {"NoSuchPlugin"};
    std::string err;
    EXPECT_FALSE(Sim::Get().Init(opt, &err));
    EXPECT_NE(err.find("Modules/Plugin/NoSuchPlugin.so"), std::string::npos) << err;
    Sim::Get().Shutdown();
}

} // namespace
} // namespace hs::test
