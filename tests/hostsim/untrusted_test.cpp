// Files from strangers: names that would leave the host root, links, saves that must not lose a scenario,
// names several vessels share, and script commands that lost their vessel.
#include "physics/physics.h"
#include "script.h"
#include "tv_world.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <csignal>
#include <fstream>
#include <unistd.h>

namespace hs::test {
namespace {

class Untrusted : public HostFixture {};

TEST_F(Untrusted, ClassOrModuleThatNamesAPathOutsideTheRootIsRefusedWithItsLine) {
    for (const char* cls :
         {"../../../../tmp/evil/evil", "..\\..\\evil", "\\tmp\\evil", "C:evil", "Test/TestVessel"}) {
        EXPECT_FALSE(Load(ScenarioText(std::string("X:") + cls + "\n  STATUS Landed Earth\nEND\n"))) << cls;
        EXPECT_NE(loadError.find("case.scn:11: vessel class \"" + std::string(cls) + "\" refused"),
                  std::string::npos)
            << loadError;
        EXPECT_EQ(Sim().LastError(), Sim::LOAD_BAD_INPUT);
    }
    std::string err;
    EXPECT_EQ(Sim().CreateVessel("X", "..\\Vessels\\Corvane", nullptr, &err), nullptr);
    EXPECT_NE(err.find("refused"), std::string::npos) << err;
    // Nor is a module that names a path ever loaded.
    root.Write("Config/Vessels/Evil.cfg", "Module = ../../../usr/lib/x86_64-linux-gnu/libz\n");
    EXPECT_FALSE(Load(ScenarioText("X:Evil\n  STATUS Landed Earth\nEND\n")));
    EXPECT_NE(loadError.find("Module \"../../../usr/lib/x86_64-linux-gnu/libz\" refused"), std::string::npos)
        << loadError;
    EXPECT_TRUE(Load(ScenarioText(LandedTv("TV1")))) << loadError; // a subfolder of Modules is still a module
}

TEST_F(Untrusted, PluginNameWithAPathFailsTheStart) {
    Sim().Shutdown();
    options.plugins = {"..\\..\\evil"};
    std::string err;
    EXPECT_FALSE(Sim().Init(options, &err));
    EXPECT_NE(err.find("plugin \"..\\..\\evil\" refused"), std::string::npos) << err;
}

TEST_F(Untrusted, ModuleFilesOutsideTheRootOrThroughALinkAreNotOpened) {
    EXPECT_EQ(oapiOpenFile("..\\..\\x.cfg", FILE_OUT, CONFIG), nullptr);
    EXPECT_TRUE(TimelineHas("oapiOpenFile: ..\\..\\x.cfg refused"));
    std::string target = root.Path() + "/Target.txt";
    root.Write("Target.txt", "kept\n");
    ASSERT_EQ(symlink(target.c_str(), (root.Path() + "/Config/Link.cfg").c_str()), 0);
    EXPECT_EQ(oapiOpenFile("Link.cfg", FILE_OUT, CONFIG), nullptr);
    EXPECT_EQ(PortableOpen("Config\\Link.cfg", "wb"), nullptr);
    EXPECT_EQ(PortableOpen("Config\\Link.cfg", "a+t"), nullptr);
    EXPECT_EQ(root.Read("Target.txt"), "kept\n");
}

// A disk that fills up while the save is written: the child process may write only a few bytes.
TEST_F(Untrusted, SaveThatCannotBeWrittenWholeLeavesTheOldFileAndSaysWhy) {
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1")))) << loadError;
    std::string path = root.Path() + "/Scenarios/Old.scn";
    root.Write("Scenarios/Old.scn", "the old scenario\n");
    pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = {100, 100};
        setrlimit(RLIMIT_FSIZE, &small);
        std::string err;
        bool saved = Sim().SaveScenario(path, &err);
        _exit(!saved && err.find("the old file is kept") != std::string::npos ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(root.Read("Scenarios/Old.scn"), "the old scenario\n");
    std::string err;
    EXPECT_FALSE(Sim().SaveScenario("/dev/full", &err));
    EXPECT_NE(err.find("/dev/full: write failed"), std::string::npos) << err;
    EXPECT_TRUE(TelemetryOpen("/dev/full", 0.0, &err)) << err;
    Sim().Frame();
    EXPECT_FALSE(TelemetryClose(&err));
}

TEST_F(Untrusted, ScenarioThatIsAFolderADeviceOrEmptyIsRefused) {
    root.Write("Scenarios/Empty.scn", "\n  \n");
    for (const std::string& p :
         {root.Path() + "/Scenarios", std::string("/dev/zero"), root.Path() + "/Scenarios/Empty.scn"}) {
        std::string err;
        EXPECT_FALSE(Sim().LoadScenario(p, &err)) << p;
        EXPECT_EQ(Sim().LastError(), Sim::LOAD_BAD_INPUT) << p;
        EXPECT_NE(err.find("cannot read the scenario"), std::string::npos) << err;
    }
}

TEST_F(Untrusted, LinkToANameSeveralVesselsCarryIsMadeToTheFirstAndTold) {
    std::string ships = FlyingTv("B") + FlyingTv("B") + FlyingTv("A", "  DOCKINFO 0:0,B\n");
    ASSERT_TRUE(Load(ScenarioText(ships))) << loadError;
    EXPECT_TRUE(TimelineHas("warning: A: DOCKINFO names B, which 2 vessels carry: linked to the first, B"));
    EXPECT_EQ(Rec("A")->docks[0]->mate, Sim().Vessels()[0]);
}

TEST(UntrustedScript, SavesOutsideScenariosAndEndlessTimesAreRefused) {
    for (const char* line :
         {"1 save ../x.scn\n", "1 save /tmp/x.scn\n", "1 save a\\b.scn\n", "1 save C:x.scn\n", "inf quit\n",
          "1e308 quit\n", "nan quit\n", "1 place A REL B inf 0 0\n"}) {
        Script s;
        std::string err;
        EXPECT_FALSE(s.Parse(line, "f", &err)) << line;
    }
    Script s;
    std::string err;
    EXPECT_TRUE(s.Parse("1 save Crew/Sub.scn\n", "f", &err)) << err;
}

TEST_F(Untrusted, CommandsAfterOneWhoseVesselIsGoneStillRun) {
    ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1"), "TV1"))) << loadError;
    Script s;
    std::string err;
    ASSERT_TRUE(s.Parse("0 vessel Ghost\n0 key K\n0.5 save Later.scn\n1 quit\n", "f", &err)) << err;
    s.Run(Sim(), -1.0, -1);
    EXPECT_EQ(s.RuntimeErrors(), 1);
    EXPECT_TRUE(s.Quit());
    EXPECT_NE(root.Read("Scenarios/Later.scn").find("TV1:"), std::string::npos);
}

} // namespace
} // namespace hs::test
