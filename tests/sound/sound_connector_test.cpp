// The sound connector: binding to the add-on, the guarded wrappers and the log file with its entry limit.
#include "sound/sound_connector.h"
#include "test_io.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::string HEADER = "Orbiter Sound Log Started\n*****************************\n\n";
const std::string SEPARATOR = "--------------------------------------\n";
const std::string NOT_INSTALLED = "ERR01= Vessel->ConnectToOrbiterSoundDLL3: Unable to connect to "
                                  "OrbiterSound 3.5 - not installed or activated";

// Every case runs in a fresh working directory of its own, where the connector keeps its log.
class SoundConnector : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/corvane-sound-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }

    void TearDown() override {
        if (dir.empty()) return;
        EXPECT_EQ(chdir("/"), 0);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    static std::string Log() { return testio::ReadFile("OrbiterSound_Log.txt"); }

    static size_t Count(const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
            ++n;
        return n;
    }

    // Loads a build of the fake add-on under its own name, as the host would have loaded the real one.
    void LoadAddon(const char* path) {
        addon = dlopen(path, RTLD_NOW);
        ASSERT_NE(addon, nullptr) << dlerror();
    }

    std::string Calls() const {
        auto calls = reinterpret_cast<const char* (*)()>(dlsym(addon, "FakeSoundCalls"));
        return calls ? calls() : "";
    }

    std::string dir;
    void* addon = nullptr;
    int vesselStandIn = 0; // any non-null address serves as a vessel handle here
    OBJHANDLE vessel = reinterpret_cast<OBJHANDLE>(&vesselStandIn);
};

} // namespace

// A second entry of the log is appended without a new header.
TEST_F(SoundConnector, WithoutTheAddonConnectFailsAndLogsNotInstalledAndEveryWrapperReturnsZero) {
    EXPECT_EQ(ConnectToOrbiterSoundDLL3(vessel), -1);
    EXPECT_EQ(Log(), HEADER + SEPARATOR + NOT_INSTALLED + "\n\n");
    char path[] = "sound\\corvane\\railgf1a.wav";
    EXPECT_EQ(LoadVesselWave(0, 1, path, 3), 0);
    EXPECT_EQ(PlayVesselWave(0, 1, 0, 255, 0), 0);
    EXPECT_EQ(StopVesselWave(0, 1), 0);
    EXPECT_EQ(SetSoundOption(0, 1, 0), 0);
    ConnectToOrbiterSoundDLL3(vessel);
    EXPECT_EQ(Log(), HEADER + SEPARATOR + NOT_INSTALLED + "\n\n" + SEPARATOR + NOT_INSTALLED + "\n\n");
}

TEST_F(SoundConnector, NullVesselHandleIsRefusedWithItsOwnMessage) {
    EXPECT_EQ(ConnectToOrbiterSoundDLL3(nullptr), -1);
    EXPECT_EQ(
        Log(),
        HEADER + SEPARATOR +
            "ERR01= Vessel->ConnectToOrbiterSoundDLL3: A vessel passed a NULL handle to this function\n\n");
}

// Null texts write only the separator.
TEST_F(SoundConnector, ExistingLogFromAnEarlierRunIsAppendedToAndNullTextsWriteOnlyTheSeparator) {
    { std::ofstream("OrbiterSound_Log.txt") << HEADER << SEPARATOR << "earlier run\n"; }
    WriteSoundLog("this run", nullptr);
    WriteSoundLog(nullptr, nullptr);
    WriteSoundLog(nullptr, "second only");
    EXPECT_EQ(Log(), HEADER + SEPARATOR + "earlier run\n" + SEPARATOR + "this run\n" + SEPARATOR + SEPARATOR +
                         "second only\n");
}

TEST_F(SoundConnector, The102ndEntryOfAProcessIsNotWritten) {
    for (int i = 0; i < 102; ++i)
        WriteSoundLog("entry", "");
    const std::string log = Log();
    EXPECT_EQ(Count(log, SEPARATOR), 101u);
    EXPECT_EQ(Count(log, HEADER), 1u);
}

TEST_F(SoundConnector, LogThatCannotBeOpenedOrCreatedDropsTheEntrySilently) {
    // A folder in the log file's place can be neither opened as a file nor created.
    ASSERT_EQ(mkdir("OrbiterSound_Log.txt", 0755), 0);
    EXPECT_EQ(ConnectToOrbiterSoundDLL3(vessel), -1);
    struct stat st;
    ASSERT_EQ(stat("OrbiterSound_Log.txt", &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST_F(SoundConnector, CompleteAddonConnectsHandsOutItsIdAndWrappersPassArgumentsUnchangedAndResultsBack) {
    LoadAddon(FAKE_SOUND_FULL);
    const int id = ConnectToOrbiterSoundDLL3(vessel);
    EXPECT_EQ(id, 7);
    EXPECT_EQ(Calls(), "id;");
    EXPECT_EQ(Log(), ""); // nothing to report, no log file made
    char path[] = "sound\\corvane\\railgf1a.wav";
    EXPECT_EQ(LoadVesselWave(id, 1, path, 3), 1001);
    EXPECT_EQ(StopVesselWave(id, 1), 3001);
    EXPECT_EQ(PlayVesselWave(id, 1, 0, 255, 0), 2001);
    EXPECT_EQ(SetSoundOption(id, 16, 0), 4016);
    EXPECT_EQ(Calls(), "id;load 7 1 sound\\corvane\\railgf1a.wav 3;stop 7 1;play 7 1 0 255 0;option 7 16 0;");
}

TEST_F(SoundConnector, SlotsOutside1To60IdsOutside0To59AndOptionsOutside1To17NeverReachTheAddon) {
    LoadAddon(FAKE_SOUND_FULL);
    ConnectToOrbiterSoundDLL3(vessel);
    EXPECT_EQ(PlayVesselWave(7, 0, 0, 255, 0), 0);
    EXPECT_EQ(PlayVesselWave(7, 61, 0, 255, 0), 0);
    EXPECT_EQ(PlayVesselWave(60, 1, 0, 255, 0), 0);
    EXPECT_EQ(PlayVesselWave(-1, 1, 0, 255, 0), 0);
    EXPECT_EQ(StopVesselWave(7, 0), 0);
    char path[] = "x.wav";
    EXPECT_EQ(LoadVesselWave(7, 61, path, 3), 0);
    EXPECT_EQ(Calls(), "id;");
    EXPECT_EQ(PlayVesselWave(59, 60, 1, 2, 3), 2060);
    EXPECT_EQ(Calls(), "id;play 59 60 1 2 3;");
    EXPECT_EQ(SetSoundOption(7, 17, 1), 4017);
    EXPECT_EQ(SetSoundOption(7, 18, 1), 0);
    EXPECT_EQ(SetSoundOption(7, 0, 1), 0);
    EXPECT_EQ(Calls(), "id;play 59 60 1 2 3;option 7 17 1;");
}

TEST_F(SoundConnector, AddonLackingARequiredRoutineIsRefusedWithErr02) {
    LoadAddon(FAKE_SOUND_NO_STOP);
    EXPECT_EQ(ConnectToOrbiterSoundDLL3(vessel), -1);
    EXPECT_EQ(Log(),
              HEADER + SEPARATOR +
                  "ERR02= ConnectToOrbiterSoundDLL3: Unable to find routines missing OrbiterSound3.5 ?\n\n");
    EXPECT_EQ(Calls(), ""); // no id was asked for
    // The routines it did find stay bound, but the -1 id keeps every call away from the add-on.
    EXPECT_EQ(PlayVesselWave(-1, 1, 0, 255, 0), 0);
    EXPECT_EQ(Calls(), "");
}

TEST_F(SoundConnector, AddonWithoutTheIdRoutineIsRefusedWithErr03) {
    LoadAddon(FAKE_SOUND_NO_ID);
    EXPECT_EQ(ConnectToOrbiterSoundDLL3(vessel), -1);
    EXPECT_EQ(Log(),
              HEADER + SEPARATOR + "ERR03= unable to connect to GetMyID, Older OrbiterSound.dll ?\n\n");
}

TEST_F(SoundConnector, AddonWithoutOnlyTheVersionRoutineConnectsNormally) {
    LoadAddon(FAKE_SOUND_NO_VERSION);
    EXPECT_EQ(ConnectToOrbiterSoundDLL3(vessel), 7);
    EXPECT_EQ(Log(), "");
}
