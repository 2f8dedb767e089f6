// The hostsim command as a user runs it: options, exit status, timeline and summary.
#include "hostsim_fixture.h"

#include <cstdio>
#include <sys/wait.h>

namespace hs::test {
namespace {

struct Result {
    int status;
    std::string out;
};

Result RunHostsim(const std::string& args) {
    std::string cmd = std::string(BINARY_DIR) + "/bin/hostsim " + args + " 2>&1";
    Result r{-1, {}};
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

class Command : public ::testing::Test {
  protected:
    std::string Root() const { return " --root " + root.Path(); }
    TempRoot root;
};

TEST_F(Command, HelpPrintsUsageAndSucceeds) {
    Result r = RunHostsim("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: hostsim run SCENARIO"), std::string::npos);
}

TEST_F(Command, UnknownOptionIsBadInput) {
    Result r = RunHostsim("run Test/TestFlight --fly-away" + Root());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("unknown option --fly-away"), std::string::npos) << r.out;
}

TEST_F(Command, FliesAScenarioWithAScriptAndPrintsTheTimeline) {
    Result r = RunHostsim("run Test/TestFlight --script " + root.Path() + "/Scenarios/Test/TestFlight.txt" + Root());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("[   0.000] created TV1 (Test\\TestVessel)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("] key Ctrl+K -> TV1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("HUD TV1: TV TV1 keys 1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("tv: answer TV1: Zed"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("debug: tv debug 1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("created TV1-child (Test\\TestVessel)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("summary: frames 360, simulated time 6.000 s, real time "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("real-time factor "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(", vessels 3, misuse 0\n"), std::string::npos) << r.out;
    EXPECT_NE(root.Read("Scenarios/TestFlight-saved.scn").find("TV1-child:Test\\TestVessel"), std::string::npos);
}

TEST_F(Command, ZeroFramesLoadsAndSaves) {
    std::string saved = root.Path() + "/zero.scn";
    Result r = RunHostsim("run Test/TestFlight --frames 0 --save " + saved + Root());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("summary: frames 0,"), std::string::npos) << r.out;
    std::string text;
    FILE* f = fopen(saved.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    fclose(f);
    EXPECT_NE(text.find("  COUNTER 7\n"), std::string::npos) << text;
}

TEST_F(Command, MissingClassIsALoadFailureNamingTheFile) {
    root.Write("Scenarios/Test/Ghost.scn", "BEGIN_SHIPS\nG1:Ghostly\nEND\nEND_SHIPS\n");
    Result r = RunHostsim("run Test/Ghost" + Root());
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("Ghost.scn:2: class file not found:"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Config/Vessels/Ghostly.cfg"), std::string::npos) << r.out;
}

TEST_F(Command, MalformedScriptLineIsBadInputNamingFileAndLine) {
    root.Write("bad.txt", "1 key K\n2 key NOSUCHKEY\n");
    Result r = RunHostsim("run Test/TestFlight --script " + root.Path() + "/bad.txt" + Root());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("bad.txt:2: unknown key \"NOSUCHKEY\""), std::string::npos) << r.out;
}

TEST_F(Command, MalformedScenarioIsBadInput) {
    root.Write("Scenarios/Test/Broken.scn", "BEGIN_SHIPS\nTV1:Test\\TestVessel\n  STATUS Landed Earth\n");
    Result r = RunHostsim("run Test/Broken" + Root());
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_NE(r.out.find("Broken.scn:2:"), std::string::npos) << r.out;
}

} // namespace
} // namespace hs::test
