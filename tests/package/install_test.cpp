// `cmake --install` gives the add-on package in the host's folders, and it flies from there.
#include "package_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace package_test;

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

class Installed : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        prefix_ = MakeTempDir();
        install_ = RunCommand("cmake --install " + std::string(BINARY_DIR) + " --prefix " + prefix_);
    }
    static void TearDownTestSuite() { RunCommand("rm -rf " + prefix_); }
    static std::string prefix_;
    static CommandResult install_;
};
std::string Installed::prefix_;
CommandResult Installed::install_;

} // namespace

TEST_F(Installed, HoldsEveryFileTheModulesOpenAndFliesTheRunwayScenarioFromThere) {
    ASSERT_EQ(install_.status, 0) << install_.out;
    const char* files[] = {
        "Modules/Corvane.so",          "Modules/Pellorin.so",        "Config/Vessels/Corvane.cfg",
        "Config/Vessels/Pellorin.cfg", "Meshes/Corvane.msh",         "Meshes/corvane-hspace.msh",
        "Meshes/Pellorin.msh",         "Sound/corvane/railgf1a.wav", "Doc/Corvane.md",
        "Scenarios/Corvane/Runway.scn", "Scenarios/Corvane/Orbit.scn", "Scenarios/Corvane/Carrier.scn",
        "Scenarios/Corvane/DockedPair.scn", "Scenarios/Corvane/Demo.scn", "Scenarios/Corvane/Demo.script",
        // what the crew manager reads of the crew add-on, and our stand-ins of the outside add-ons
        "Modules/UMmu.dll", "Meshes/UMmu/ver.dtf", "Config/UMMUIdConfig", "Modules/Stand-ins/UMmu.so",
        "Modules/Stand-ins/Carrier.so", "Modules/Plugin/OrbiterSound.so",
    };
    for (const char* f : files) EXPECT_TRUE(Exists(prefix_ + "/" + f)) << f;
    // The stand-ins stay out of the add-on's own module folder.
    EXPECT_FALSE(Exists(prefix_ + "/Modules/UMmu.so"));
    EXPECT_FALSE(Exists(prefix_ + "/Modules/Carrier.so"));

    // The runway scenario flies from the installed tree.
    CommandResult run = RunCommand(prefix_ + "/bin/hostsim run Corvane/Runway.scn --root " + prefix_ +
                                   " --plugin OrbiterSound --visuals --until 2");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("created Corvane-1 (Corvane)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("sound: Corvane-1 load slot 1"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("misuse 0"), std::string::npos) << run.out;
}
