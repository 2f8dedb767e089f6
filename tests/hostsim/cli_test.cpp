// The hostsim command as a user runs it: options, exit status, timeline and summary.
#include "exports.h"
#include "hostsim_fixture.h"
#include "test_io.h"

#include <fcntl.h>
#include <set>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace hs::test {
namespace {

using Result = testio::CommandResult;

Result RunHostsim(const std::string& args) {
    return testio::RunCommand(std::string(BINARY_DIR) + "/bin/hostsim " + args);
}

class Command : public ::testing::Test {
  protected:
    std::string Root() const { return " --root " + root.Path(); }
    TempRoot root;
};

TEST_F(Command, HelpPrintsUsageVersionNamesTheProgramAndBothSucceed) {
    Result r = RunHostsim("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: hostsim run SCENARIO"), std::string::npos);
    r = RunHostsim("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("hostsim ", 0), 0u) << r.out;
}

TEST_F(Command, UnknownOptionIsOneLineNamingTheNearestOption) {
    Result r = RunHostsim("run Test/TestFlight --fly-away" + Root());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "hostsim: unknown option --fly-away; hostsim --help lists the options\n");
    r = RunHostsim("run Test/TestFlight --frmes 3" + Root());
    EXPECT_EQ(r.out, "hostsim: unknown option --frmes; did you mean --frames?\n");
    r = RunHostsim("--trase" + Root());
    EXPECT_EQ(r.out, "hostsim: unknown option --trase; did you mean --trace?\n");
}

TEST_F(Command, MissingScenarioNamesTheRootAndTheNearestScenario) {
    Result r = RunHostsim("run Test/TestFlihgt" + Root());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("hostsim: no scenario Test/TestFlihgt in " + root.Path() + "/Scenarios"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("did you mean Test/TestFlight?"), std::string::npos) << r.out;
}

// A flight script for the test vessels, as an option (key M makes a test vessel misuse handles).
std::string Script(const TempRoot& root, const std::string& text) {
    root.Write("flight.txt", text);
    return " --script " + root.Path() + "/flight.txt";
}

TEST_F(Command, ScriptCommandThatCannotBeCarriedOutFailsWithStatusThree) {
    Result r = RunHostsim("run Test/TestFlight" + Script(root, "0.1 focus Nobody\n0.2 key K\n") + Root());
    EXPECT_EQ(r.status, 3) << r.out;
    EXPECT_NE(r.out.find("flight.txt:1: no vessel Nobody"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("script: 1 command(s) could not be carried out"), std::string::npos) << r.out;
}

TEST_F(Command, StrictFailsWithStatusFourOnlyWhenMisuseWasCounted) {
    const std::string misuse = Script(root, "0.1 key M\n0.2 key K\n");
    EXPECT_EQ(RunHostsim("run Test/TestFlight" + misuse + Root()).status, 0);
    Result r = RunHostsim("run Test/TestFlight --strict" + misuse + Root());
    EXPECT_EQ(r.status, 4) << r.out;
    EXPECT_NE(r.out.find("strict: the host counted misuse"), std::string::npos) << r.out;
    EXPECT_EQ(RunHostsim("run Test/TestFlight --strict" + Script(root, "0.1 key K\n0.2 key K\n") + Root()).status, 0);
}

TEST_F(Command, OutputThatCannotBeWrittenFailsBeforeAnythingFlies) {
    for (const char* option : {"--save", "--telemetry", "--trace-file"}) {
        Result r = RunHostsim(std::string("run Test/TestFlight ") + option + " /nonexistent/dir/out" + Root());
        EXPECT_EQ(r.status, 2) << option;
        EXPECT_NE(r.out.find(std::string(option) + " /nonexistent/dir/out: the folder /nonexistent/dir does not "
                             "exist; nothing was flown"),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(r.out.find("created"), std::string::npos) << r.out;
    }
    Result r = RunHostsim("run Test/TestFlight --save " + root.Path() + Root());
    EXPECT_NE(r.out.find("it names a folder, not a file"), std::string::npos) << r.out;
    r = RunHostsim("run Test/TestFlight" + Script(root, "0.5 save NoFolder/x.scn\n") + Root());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("flight.txt: save NoFolder/x.scn: the folder"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("created"), std::string::npos) << r.out;
}

TEST_F(Command, FrameLongerThanTheRunIsWarnedOf) {
    Result r = RunHostsim("run Test/TestFlight --dt 5 --until 1" + Root());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("warning: the frame length 5 s is longer than the run of 1 s: 0 frames"), std::string::npos)
        << r.out;
    r = RunHostsim("run Test/TestFlight --dt 1.5 --until 1" + Root());
    EXPECT_NE(r.out.find("the run of 1 s: 1 frame, to 1.5 s"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("summary: frames 1,"), std::string::npos) << r.out;
}

TEST_F(Command, FilteredTraceGoesToItsFileWithArgumentsResultsAndWhoCalled) {
    const std::string trace = root.Path() + "/trace.txt";
    Result r = RunHostsim("run Test/TestFlight --until 0.5 --trace=TV1.*ThrusterGroupLevel,getname --trace-file " +
                          trace + Script(root, "0.1 thgroup MAIN 0.5\n") + Root());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.find("trace:"), std::string::npos) << r.out;
    std::string text = root.Read("trace.txt");
    EXPECT_NE(text.find("] [script] TV1.SetThrusterGroupLevel(0, 0.5)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("] TV2.GetName() = \"TV2\"\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("TV2.SetThrusterGroupLevel"), std::string::npos) << text;
    EXPECT_EQ(text.find("clbkPreStep"), std::string::npos) << text;
    // Without a filter the host's own callbacks are there, marked, with their arguments.
    r = RunHostsim("run Test/TestFlight --frames 1 --trace" + Root());
    EXPECT_NE(r.out.find("trace: [hostsim] TV1.clbkPreStep(0, 0.016666667, 52199.667)"), std::string::npos) << r.out;
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
    EXPECT_NE(r.out.find(", vessels 3, misuse 0, not modelled 0\n"), std::string::npos) << r.out;
    EXPECT_NE(root.Read("Scenarios/TestFlight-saved.scn").find("TV1-child:Test\\TestVessel"), std::string::npos);
}

TEST_F(Command, ZeroFramesLoadsAndSaves) {
    std::string saved = root.Path() + "/zero.scn";
    Result r = RunHostsim("run Test/TestFlight --frames 0 --save " + saved + Root());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("summary: frames 0,"), std::string::npos) << r.out;
    const std::string text = testio::ReadFile(saved);
    EXPECT_NE(text.find("  COUNTER 7\n"), std::string::npos) << text;
}

TEST_F(Command, MissingClassIsALoadFailureNamingTheFile) {
    root.Write("Scenarios/Test/Ghost.scn", "BEGIN_SHIPS\nG1:Ghostly\nEND\nEND_SHIPS\n");
    Result r = RunHostsim("run Test/Ghost" + Root());
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("Ghost.scn:2: class file not found:"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Config/Vessels/Ghostly.cfg"), std::string::npos) << r.out;
}

TEST_F(Command, MalformedScriptLineOrScenarioIsBadInputNamingFileAndLine) {
    root.Write("bad.txt", "1 key K\n2 key NOSUCHKEY\n");
    Result r = RunHostsim("run Test/TestFlight --script " + root.Path() + "/bad.txt" + Root());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("bad.txt:2: unknown key \"NOSUCHKEY\""), std::string::npos) << r.out;
    root.Write("Scenarios/Test/Broken.scn", "BEGIN_SHIPS\nTV1:Test\\TestVessel\n  STATUS Landed Earth\n");
    r = RunHostsim("run Test/Broken" + Root());
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_NE(r.out.find("Broken.scn:2:"), std::string::npos) << r.out;
}

TEST_F(Command, NumbersThatNeverEndARunAndPluginPathsAreBadInput) {
    for (const char* options :
         {" --until inf", " --until nan", " --dt nan", " --dt 0", " --frames 1e19", " --seed 1e30",
          " --dt 1e-06 --until 1e6", " --plugin ..\\..\\evil", " --plugin /tmp/evil"}) {
        Result r = RunHostsim("run Test/TestFlight" + Root() + options);
        EXPECT_EQ(r.status, 2) << options << ": " << r.out;
    }
}

TEST_F(Command, SaveOrTelemetryThatCannotBeWrittenFailsTheRun) {
    Result r = RunHostsim("run Test/TestFlight --frames 2 --save /dev/full" + Root());
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("/dev/full: write failed"), std::string::npos) << r.out;
    r = RunHostsim("run Test/TestFlight --frames 2 --telemetry /dev/full" + Root());
    EXPECT_EQ(r.status, 1) << r.out;
}

TEST_F(Command, SecondRunOnTheSameRootIsRefused) {
    int fd = open((root.Path() + "/hostsim.lock").c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0); // a run in flight holds it
    Result r = RunHostsim("run Test/TestFlight --frames 1" + Root());
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_NE(r.out.find("another hostsim run is flying on the host root"), std::string::npos) << r.out;
    close(fd);
    EXPECT_EQ(RunHostsim("run Test/TestFlight --frames 1" + Root()).status, 0);
}

} // namespace
} // namespace hs::test

namespace hs::test {
namespace {

// A function of the real host's export table that hostsim answers only with its neutral stand-in.
const HostExport* SomeUnmodelledExport() {
    for (size_t i = 0; i < HostExportCount(); ++i)
        if (!HostExportModelled(i)) return &HostExportAt(i);
    return nullptr;
}

TEST_F(Command, UnmodelledHostCallIsNamedOnceCountedAndFailsOnlyAModelledOnlyRun) {
    const HostExport* f = SomeUnmodelledExport();
    ASSERT_NE(f, nullptr) << "every export is modelled: this test needs another way to reach a stand-in";
    const std::string env = std::string("TV_HOST_CALL='") + f->mangled + "' ";
    const std::string script = Script(root, "0.1 key U\n0.2 key U\n0.3 key K\n0.5 key G\n");
    Result r = testio::RunCommand(env + BINARY_DIR + "/bin/hostsim run Test/TestFlight" + script + Root());
    EXPECT_EQ(r.status, 0) << r.out;
    const std::string line = std::string("not modelled: ") + f->name + "\n";
    size_t at = r.out.find(line);
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(line, at + 1), std::string::npos) << "named more than once:\n" << r.out;
    EXPECT_NE(r.out.find(", misuse 0, not modelled 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("key K -> TV1"), std::string::npos) << r.out;

    r = testio::RunCommand(env + BINARY_DIR + "/bin/hostsim run Test/TestFlight --modelled-only" + script + Root());
    EXPECT_EQ(r.status, 5) << r.out;
    EXPECT_NE(r.out.find(line), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("key K -> TV1"), std::string::npos) << "the run went on after the call:\n" << r.out;
    EXPECT_NE(r.out.find("modelled-only: a module called a host function hostsim does not model"), std::string::npos)
        << r.out;
    // A run that calls nothing unmodelled passes the same option.
    EXPECT_EQ(RunHostsim("run Test/TestFlight --modelled-only" + Script(root, "0.1 key K\n") + Root()).status, 0);
}

TEST_F(Command, CheckListsAModulesHostFunctionsAndRefusesWhatIsNoModule) {
    const std::string module = root.Path() + "/Modules/Test/TestVessel.so";
    Result r = RunHostsim("check " + module);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("modelled      VESSEL::GetName\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("modelled      oapiDeleteVessel\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("modelled      hostsimTimeline\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("printf"), std::string::npos) << "the C library's functions are no host's:\n" << r.out;
    EXPECT_NE(r.out.find(module + ": "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" host functions: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" modelled, 0 not modelled, 0 missing\n"), std::string::npos) << r.out;

    r = RunHostsim("check " + root.Path() + "/Config/Vessels/Test/TestVessel.cfg");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("TestVessel.cfg: not a 64-bit shared object of this machine"), std::string::npos) << r.out;
    EXPECT_EQ(RunHostsim("check").status, 2);

    // The whole table: a line per function, and the count the README gives.
    r = RunHostsim("check --host");
    EXPECT_EQ(r.status, 0);
    size_t modelled = 0;
    for (size_t i = 0; i < HostExportCount(); ++i) modelled += HostExportModelled(i);
    EXPECT_GT(modelled, 0u);
    EXPECT_LT(modelled, HostExportCount());
    EXPECT_NE(r.out.find(hs::Fmt("\nhostsim models %zu of the %zu functions the real host exports to modules\n",
                                 modelled, HostExportCount())),
              std::string::npos)
        << r.out.substr(r.out.size() > 300 ? r.out.size() - 300 : 0);
    EXPECT_NE(r.out.find("not modelled  "), std::string::npos);
}

// The README's count and the list of what hostsim does not model say what the host library does now.
TEST_F(Command, ReadmeCountAndUnmodelledListAreThoseOfTheHostLibrary) {
    Result r = RunHostsim("check --host");
    ASSERT_EQ(r.status, 0);
    std::set<std::string> unmodelled, listed;
    std::istringstream out(r.out);
    std::string line, count;
    while (std::getline(out, line)) {
        if (line.rfind("not modelled  ", 0) == 0) unmodelled.insert(line.substr(14));
        if (line.rfind("hostsim models ", 0) == 0) count = line.substr(8);
    }
    std::istringstream doc(testio::ReadFile(std::string(SOURCE_DIR) + "/Doc/hostsim-unmodelled.md"));
    while (std::getline(doc, line))
        if (line.rfind("- `", 0) == 0 && line.size() > 4) listed.insert(line.substr(3, line.size() - 4));
    EXPECT_EQ(listed, unmodelled) << "run tools/unmodelled-list";
    ASSERT_FALSE(count.empty()) << r.out;
    const std::string readme = testio::ReadFile(std::string(SOURCE_DIR) + "/README.md");
    EXPECT_NE(readme.find(count.substr(0, count.find(" functions"))), std::string::npos)
        << "the README should say: " << count;
}

TEST_F(Command, CheckRefusesATruncatedOrDamagedModuleWithoutCrashing) {
    const std::string whole = testio::ReadFile(root.Path() + "/Modules/Test/TestVessel.so");
    ASSERT_GT(whole.size(), 4096u);
    // Cut inside the header, the program headers, the symbol tables and the section table at the end.
    for (size_t cut : {size_t(16), size_t(63), size_t(200), whole.size() / 3, whole.size() - 100}) {
        root.Write("cut.so", whole.substr(0, cut));
        Result r = RunHostsim("check " + root.Path() + "/cut.so");
        EXPECT_EQ(r.status, 1) << cut << ": " << r.out;
        EXPECT_NE(r.out.find("cut.so: "), std::string::npos) << r.out;
    }
    std::string bad = whole;
    const size_t shoff = 0x28; // where the 64-bit header keeps the section table's offset
    for (size_t i = 0; i < 8; ++i) bad[shoff + i] = '\x7f';
    root.Write("bad.so", bad);
    EXPECT_EQ(RunHostsim("check " + root.Path() + "/bad.so").status, 1);
}

} // namespace
} // namespace hs::test
