// Worlds of test vessels for the host's own suites.
#pragma once

#include "hostsim_fixture.h"
#include "lib/host.h"

#include <string>

namespace hs::test {

constexpr const char* TV_CLASS = "Test\\TestVessel";

inline std::string LandedTv(const std::string& name, const std::string& extra = "") {
    return name + ":Test\\TestVessel\n  STATUS Landed Earth\n  POS -80.6826440 28.5970140\n  HEADING 90.00\n" +
           "  PRPLEVEL 0:1.000000\n" + extra + "END\n";
}

inline std::string FlyingTv(const std::string& name, const std::string& extra = "") {
    return name + ":Test\\TestVessel\n  STATUS Orbiting Earth\n  RPOS 6471000.000 0.000 0.000\n" +
           "  RVEL 0.0000 0.0000 7800.0000\n  AROT 10.000 20.000 30.000\n  PRPLEVEL 0:0.500000\n" + extra + "END\n";
}

// One landed test vessel TV1 in focus, loaded in SetUp.
class TvWorld : public HostFixture {
  protected:
    void SetUp() override {
        HostFixture::SetUp();
        ASSERT_TRUE(Load(ScenarioText(LandedTv("TV1"), "TV1"))) << loadError;
    }
};

} // namespace hs::test
