// Scenario blocks the fuzzer found: a Corvane whose block sets the host's AFCMODE to 0.
#include "hostsim_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ScenarioRoundTripRegress : public hs::test::HostFixture {
  protected:
    std::string LoadAndSave(const std::string& text, const std::string& name) {
        Restart();
        EXPECT_TRUE(Load(text, name)) << loadError;
        return Sim().ScenarioText();
    }
};

// The host writes no AFCMODE line for a mode of 0, and a block without one loads with the surfaces off, as
// the host starts every vessel: the saved text is the same every round. The Corvane's own lines never change.
TEST_F(ScenarioRoundTripRegress, AfcModeZeroStaysOutOfEverySaveAndTheShipsLinesStay) {
    const std::string block = "Corvane-1:Corvane\n  STATUS Orbiting Earth\n  RPOS 7000000 0 0\n  RVEL 0 0 7546\n"
                              "  AFCMODE 0 200\n  UMMUCREW Capt-Ilse_Marrow-35-65-74\n  GEAR 1 1\nEND\n";
    const std::string first = LoadAndSave(hs::test::ScenarioText(block), "first");
    EXPECT_EQ(first.find("AFCMODE"), std::string::npos) << first;
    const std::string second = LoadAndSave(first, "second");
    EXPECT_EQ(second, first);
    const std::string third = LoadAndSave(second, "third");
    EXPECT_EQ(third, second);
    for (const char* line : {"  UMMUCREW Capt-Ilse_Marrow-35-65-74\n", "  GEAR 1.000 1.000\n", "  AMMO Pellorin\n"}) {
        EXPECT_NE(first.find(line), std::string::npos) << line;
        EXPECT_NE(third.find(line), std::string::npos) << line;
    }
}

} // namespace
