// Shared test fixture: a private copy of the assembled host root, a world on it, and zero misuse at the end.
#pragma once

#include "sim.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace hs::test {

// The assembled host root: $HOSTROOT_DIR when set, else the build's own.
std::string HostRoot();

// A temporary host root: Config/, Meshes/ and Scenarios/ copied from the assembled root (so a test may add or
// change files), Modules/ and Sound/ linked. Removed again when it goes.
class TempRoot {
  public:
    // ownModules: Modules/ copied as well, for a test that changes what the host finds there.
    explicit TempRoot(bool ownModules = false);
    ~TempRoot();
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;
    const std::string& Path() const { return path_; }
    // Writes text to a file under the root, making folders as needed; rel uses '/'.
    void Write(const std::string& rel, const std::string& text) const;
    std::string Read(const std::string& rel) const;

  private:
    std::string path_;
};

// m from Earth's centre: above the air, which ends 2500 km up, and far from the ground.
constexpr double HIGH_ABOVE_POLE = 9.0e6;

// A vessel in free flight at offset (m) from a point high above Earth's pole, moving at vel, its axes turned by
// arot (the global axes unless given). A test failure, and null, when it cannot be made.
OBJHANDLE CreateAbovePole(const char* name, const char* cls, VECTOR3 offset = _V(0, 0, 0),
                          VECTOR3 vel = _V(0, 0, 0), VECTOR3 arot = _V(0, 0, 0));

// The usual environment blocks around the given ship blocks ("name:class\n ... END\n").
std::string ScenarioText(const std::string& ships, const std::string& focus = "");

// Every test gets its own root and world. Set `options` (visuals, plugins, dt) in the derived fixture's
// constructor; SetUp starts the world on the temporary root. TearDown expects `expectedMisuse` misuses (0 unless
// the test says otherwise) and shuts the world down.
class HostFixture : public ::testing::Test {
  protected:
    HostFixture() = default;
    explicit HostFixture(bool ownModules) : root(ownModules) {}

    void SetUp() override;
    void TearDown() override;

    hs::Sim& Sim() { return hs::Sim::Get(); }
    // Writes the scenario to Scenarios/Test/<name>.scn in the temporary root and loads it.
    bool Load(const std::string& scenarioText, const std::string& name = "case");
    // A fresh world on the same root, as a new session of the host would start; the one it ends has counted
    // `expectedMisuse` misuses, as at the end of a test.
    void Restart();
    Vessel* Rec(const std::string& vesselName) { return Sim().FindVessel(vesselName); }
    VESSEL* Iface(const std::string& vesselName);
    bool TimelineHas(const std::string& text) const;
    int TimelineCount(const std::string& text) const;
    // Index of the first timeline line holding text at or after from; -1 if none.
    int TimelineFind(const std::string& text, int from = 0) const;
    // True when every text is in the timeline, each first found after the one before it.
    bool TimelineInOrder(std::initializer_list<std::string> texts) const;

    hs::SimOptions options;
    int expectedMisuse = 0;
    std::string loadError;
    TempRoot root;
};

} // namespace hs::test
