// The OrbiterSound stand-in: found by name as the add-on, ids per vessel, each call on the timeline, and the
// two broken builds that lack a routine.
#include "addon_world.h"

#include "Orbitersdk.h"

namespace {

const char* const ROUTINES[] = {
    "LoadVesselWaveOBSound3", "PlayVesselWaveOBSound3", "PlayVesselExclusiveWaveOBSound3",
    "StopVesselWave3",        "IsPlayingVesselWave3",   "IsPlayingRadioVesselWave",
    "SoundOption3",           "SetFrequency",           "GetVesselSoundID3",
    "ReplaceStockOBSound3",   "GetVersionOBSound3",
};

using GetIdFn = int (*)(OBJHANDLE);
using LoadFn = int (*)(int, int, char*, int);
using PlayFn = int (*)(int, int, int, int, int);
using OptionFn = int (*)(int, int, int);
using VersionFn = int (*)();

std::string Variant(const char* name) {
    return std::string(HOSTROOT_DIR) + "/Modules/PluginVariants/" + name;
}

class SoundStandIn : public AddonWorld {
  protected:
    SoundStandIn() { options.plugins = {"OrbiterSound"}; }

    template <typename F> F Routine(const char* name) {
        HMODULE h = GetModuleHandleA("OrbiterSound.dll");
        return h ? reinterpret_cast<F>(GetProcAddress(h, name)) : nullptr;
    }
};

TEST_F(SoundStandIn, LoadedPluginIsFoundAsTheAddOnWithAllElevenRoutines) {
    HMODULE h = GetModuleHandleA("OrbiterSound.dll");
    ASSERT_NE(h, nullptr);
    for (const char* r : ROUTINES)
        EXPECT_NE(GetProcAddress(h, r), nullptr) << r;
    EXPECT_EQ(Routine<VersionFn>("GetVersionOBSound3")(), 350);
}

TEST_F(SoundStandIn, EachVesselKeepsOneIdAndCallsAppearUnderItsName) {
    OBJHANDLE a = CreateFlying("Corvane-1", "Target");
    OBJHANDLE b = CreateFlying("Corvane-2", "Target", _V(0, 0, 100));
    auto getId = Routine<GetIdFn>("GetVesselSoundID3");
    EXPECT_EQ(getId(a), 0);
    EXPECT_EQ(getId(b), 1);
    EXPECT_EQ(getId(a), 0);
    EXPECT_EQ(getId(nullptr), -1);

    char wave[] = "sound\\corvane\\railgf1a.wav";
    EXPECT_EQ(Routine<LoadFn>("LoadVesselWaveOBSound3")(0, 1, wave, 3), 1);
    EXPECT_EQ(Routine<PlayFn>("PlayVesselWaveOBSound3")(0, 1, 0, 255, 0), 1);
    EXPECT_EQ(Routine<OptionFn>("SoundOption3")(1, 16, 0), 1);
    EXPECT_EQ(TimelineCount("sound: Corvane-1 id 0"), 2);
    EXPECT_EQ(TimelineCount("sound: Corvane-2 id 1"), 1);
    EXPECT_EQ(TimelineCount("sound: Corvane-1 load slot 1 sound\\corvane\\railgf1a.wav type 3"), 1);
    EXPECT_EQ(TimelineCount("sound: Corvane-1 play slot 1 loop 0 volume 255 last 0"), 1);
    EXPECT_EQ(TimelineCount("sound: Corvane-2 option 16 state 0"), 1);
}

TEST_F(SoundStandIn, OutOfRangeIdsSlotsAndOptionsAreRefusedButStillRecorded) {
    OBJHANDLE a = CreateFlying("Corvane-1", "Target");
    const int id = Routine<GetIdFn>("GetVesselSoundID3")(a);
    char wave[] = "sound\\x.wav";
    auto load = Routine<LoadFn>("LoadVesselWaveOBSound3");
    EXPECT_EQ(load(id, 0, wave, 3), 0);
    EXPECT_EQ(load(id, 61, wave, 3), 0);
    EXPECT_EQ(load(id + 1, 1, wave, 3), 0); // an id never handed out
    EXPECT_EQ(load(-1, 1, wave, 3), 0);
    EXPECT_EQ(load(id, 1, nullptr, 3), 0);
    auto option = Routine<OptionFn>("SoundOption3");
    EXPECT_EQ(option(id, 17, 0), 1);
    EXPECT_EQ(option(id, 18, 0), 0);
    EXPECT_EQ(option(id, 0, 0), 0);
    EXPECT_EQ(TimelineCount("sound: id -1 load slot 1 sound\\x.wav type 3"), 1);
    EXPECT_EQ(TimelineCount("sound: Corvane-1 load slot 1 (null) type 3"), 1);
}

TEST_F(SoundStandIn, SixtyVesselsGetIdsAndTheSixtyFirstGetsNone) {
    auto getId = Routine<GetIdFn>("GetVesselSoundID3");
    for (int i = 0; i < 60; ++i) {
        char name[16];
        snprintf(name, sizeof name, "V%d", i);
        EXPECT_EQ(getId(CreateFlying(name, "Target", _V(0, 0, 100.0 * i))), i);
    }
    EXPECT_EQ(getId(CreateFlying("V60", "Target", _V(0, 0, 6000))), -1);
    EXPECT_EQ(TimelineCount("sound: no sound id left"), 1);
}

// Each broken build answers to the add-on's name wherever it was loaded from, and lacks exactly one routine.
// The Corvane binds to the one without a version routine; the one without a required routine leaves it
// silent.
TEST_F(SoundStandIn, EachVariantLacksExactlyItsOneRoutineAndOnlyTheVersionlessOneServesTheCorvane) {
    const struct {
        const char* file;
        const char* missing;
        bool serves;
    } variants[] = {{"OrbiterSoundNoOption.so", "SoundOption3", false},
                    {"OrbiterSoundNoVersion.so", "GetVersionOBSound3", true}};
    for (const auto& variant : variants) {
        Restart({Variant(variant.file)});
        HMODULE h = GetModuleHandleA("OrbiterSound.dll");
        ASSERT_NE(h, nullptr) << variant.file;
        for (const char* r : ROUTINES) {
            EXPECT_EQ(GetProcAddress(h, r) == nullptr, std::string(r) == variant.missing)
                << variant.file << " " << r;
        }
        CreateFlying("Corvane-1", "Corvane");
        EXPECT_EQ(TimelineCount("sound: Corvane-1 load slot 1 sound\\corvane\\railgf1a.wav type 3"),
                  variant.serves)
            << TimelineText();
        EXPECT_EQ(TimelineText().find("sound: Corvane-1") != std::string::npos, variant.serves)
            << TimelineText();
    }
}

TEST_F(SoundStandIn, CorvaneLoadsItsRailgunSoundAndSilencesThreeStockSoundsThroughThePlugin) {
    CreateFlying("Corvane-1", "Corvane");
    EXPECT_EQ(TimelineCount("sound: Corvane-1 id 0"), 1) << TimelineText();
    EXPECT_EQ(TimelineCount("sound: Corvane-1 load slot 1 sound\\corvane\\railgf1a.wav type 3"), 1);
    EXPECT_EQ(TimelineCount("sound: Corvane-1 option 16 state 0"), 1);
    EXPECT_EQ(TimelineCount("sound: Corvane-1 option 1 state 0"), 1);
    EXPECT_EQ(TimelineCount("sound: Corvane-1 option 6 state 0"), 1);
}

} // namespace
