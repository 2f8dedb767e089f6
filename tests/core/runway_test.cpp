// The shipped runway scenario: the module starts with the host, the fighter rests on its gear and saves its
// lines.
#include "vessel_fixture.h"

using coretest::BlockOf;
using coretest::CoreWorld;

namespace {

// Traced, as the module's start line is only written with the trace on.
class Runway : public CoreWorld {
  protected:
    Runway() { options.trace = true; }
};

} // namespace

TEST_F(Runway, ModuleStartsWithItsDateAndVersionAndTheFighterRestsOnItsGearWithBothCrewAndItsStartValues) {
    std::string err;
    ASSERT_TRUE(Sim().LoadScenario("Corvane/Runway.scn", &err)) << err;
    EXPECT_TRUE(TimelineHas("module start: date Mar  6 2011, version 100830"));
    Corvane* c = Ship();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(oapiGetFocusObject(), c->GetHandle());
    EXPECT_EQ(c->crew.crewCount, 2);
    EXPECT_STREQ(c->crew.roster[0].name, "Ilse Marrow");
    EXPECT_STREQ(c->crew.roster[1].name, "Teodor Vanke");
    EXPECT_EQ(Record()->propellants[0]->mass, 10000.0);

    Sim().RunFrames(120);
    EXPECT_EQ(c->gearPos, 0.0);
    EXPECT_EQ(c->gearTarget, 0.0);
    EXPECT_TRUE(c->inertialDampeners);
    EXPECT_FALSE(c->brakeEngaged);
    EXPECT_EQ(c->ftlState, 0);
    EXPECT_TRUE(c->GroundContact());

    const std::string block = BlockOf(Sim().ScenarioText(), "Corvane-1");
    EXPECT_NE(block.find("STATUS Landed Earth"), std::string::npos) << block;
    EXPECT_NE(block.find("UMMUCREW Capt-Ilse_Marrow-35-65-74"), std::string::npos) << block;
    EXPECT_NE(block.find("UMMUCREW Sci-Teodor_Vanke-41-65-74"), std::string::npos) << block;
    for (const char* line :
         {"FTL 0.0000", "HWIN 0.000 1.000 1", "GEAR 0.000 0.000", "CANP 0.000 0.000", "CANC 0.000 0.000",
          "VIS 3", "VIEW 0", "BRAKE 0", "MAIN 1", "BOOST 0", "INDMP 1", "AMMO Pellorin"})
        EXPECT_NE(block.find(std::string("  ") + line + "\n"), std::string::npos) << line << "\n" << block;
}
