// A stand-in host world for the crew tests, on a private copy of the host root that a test may change.
#pragma once

#include "hostsim_fixture.h"
#include "test_io.h"
#include "sim.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace crewtest {

namespace fs = std::filesystem;

// The usual environment blocks around the ship blocks, the one named in focus.
inline std::string World(const std::string& focus, const std::string& ships) {
    return hs::test::ScenarioText(ships, focus);
}

// A Corvane block at rest high above the pole, x m along; lines as given (crew, canopies, docking, ...).
inline std::string ShipBlock(const std::string& name, const std::vector<std::string>& lines, double x = 0.0) {
    std::string s = name + ":Corvane\n  STATUS Orbiting Earth\n  RPOS " + std::to_string(x) +
                    " 7000000.000 0.000\n  RVEL 0.0000 0.0000 0.0000\n  AROT 0.000 0.000 0.000\n";
    for (const std::string& l : lines)
        s += "  " + l + "\n";
    return s + "END\n";
}

// The shared host fixture on a root of its own, Modules/ included, started by the test once it has changed
// the root as it needs: crew files are written into the root, so tests running side by side never share one.
class CrewWorld : public hs::test::HostFixture {
  protected:
    CrewWorld() : HostFixture(true) {}
    void SetUp() override {}

    void Start(const std::function<void(const fs::path&)>& tweak = {}, double dt = 0.05) {
        fs::remove(RootDir() / "Config" / "UMmutmp.cfg");
        fs::remove(RootDir() / "Config" / "UMmutmpT.cfg");
        if (tweak) tweak(RootDir());
        // A world this test flew before ends here, and is held to what a test may count.
        EXPECT_EQ(sim().MisuseCount(), expectedMisuse);
        options.root = root.Path();
        options.dt = dt;
        std::string err;
        ASSERT_TRUE(sim().Init(options, &err)) << err;
    }

    fs::path RootDir() const { return root.Path(); }

    // Starts the host on a root holding the scenario (the tweak may change the root first), and loads it.
    void Fly(const std::string& scenarioText, double dt = 0.05,
             const std::function<void(const fs::path&)>& tweak = {}) {
        Start(
            [&](const fs::path& r) {
                WriteFile(r / "Scenarios" / "Crew" / "Test.scn", scenarioText);
                if (tweak) tweak(r);
            },
            dt);
        std::string err;
        ASSERT_TRUE(sim().LoadScenario("Crew/Test.scn", &err)) << err;
    }

    // Saves the scenario to saved, then loads it in a new session of the host on the same root.
    void ReloadFrom(const fs::path& saved) {
        std::string err;
        ASSERT_TRUE(sim().SaveScenario(saved.string(), &err)) << err;
        EXPECT_EQ(sim().MisuseCount(), 0);
        Restart();
        ASSERT_TRUE(sim().LoadScenario(saved.string(), &err)) << err;
    }

    static hs::Sim& sim() { return hs::Sim::Get(); }

    // Frames until the condition holds or the time is up; true when it held.
    static bool RunUntil(const std::function<bool()>& done, double seconds) {
        const int frames = static_cast<int>(seconds / sim().Step()) + 1;
        for (int i = 0; i < frames; ++i) {
            if (done()) return true;
            sim().Frame();
        }
        return done();
    }

    // Answers the add-crew dialog that key M opened: name, age and function, a frame after each.
    static void AnswerAddCrew(const char* name, const char* age, const char* function) {
        sim().Frame();
        for (const char* answer : {name, age, function}) {
            ASSERT_TRUE(sim().InputBoxOpen());
            sim().AnswerInputBox(answer);
            sim().Frame();
        }
    }
    static Vessel* Rec(OBJHANDLE h) { return sim().Record(h); }

    // A vessel flying freely at offset (m) from a point high above Earth's pole, axes along the global ones.
    OBJHANDLE CreateFlying(const char* name, const char* cls, VECTOR3 offset = _V(0, 0, 0)) {
        return hs::test::CreateAbovePole(name, cls, offset);
    }

    // Moves a vessel so that it sits at local (m, owner's frame) from the owner, moving as the owner does.
    static void PlaceAt(OBJHANDLE vessel, OBJHANDLE owner, VECTOR3 local) {
        ASSERT_TRUE(sim().Place(vessel, owner, local, _V(0, 0, 0)));
    }

    // A member who steps clear of the airlock, then walks back in to local (owner's frame). The add-on's crew
    // vessels only ask to come back once they have been outside every airlock box.
    static void WalkBackTo(OBJHANDLE member, OBJHANDLE owner, VECTOR3 local) {
        PlaceAt(member, owner, _V(0, 0, 12.0));
        sim().Frame();
        PlaceAt(member, owner, local);
    }

    static std::string ReadFile(const fs::path& p) { return testio::ReadFile(p.string()); }

    static void WriteFile(const fs::path& p, const std::string& bytes) {
        fs::create_directories(p.parent_path());
        std::ofstream out(p, std::ios::binary);
        out << bytes;
    }

    // The first attachment of vessel with that id on the given side.
    static hs::Attachment* Point(OBJHANDLE h, const char* id, bool toParent) {
        for (auto& a : Rec(h)->attachments)
            if (a->toParent == toParent && strcmp(a->id, id) == 0) return a.get();
        return nullptr;
    }
};

} // namespace crewtest
