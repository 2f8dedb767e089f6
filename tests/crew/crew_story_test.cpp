// The crew's day on the runway, flown from its scenario and flight script as a pilot would fly it.
#include "core/corvane.h"
#include "crew_world.h"
#include "script.h"

#include <string>

using crewtest::CrewWorld;
namespace fs = std::filesystem;

namespace {

class CrewStoryTest : public CrewWorld {
  protected:
    static Corvane* Ship(const char* name) {
        Vessel* v = sim().FindVessel(name);
        return v ? static_cast<Corvane*>(v->iface) : nullptr;
    }
    static std::string Message(const char* name) { return Ship(name)->hudMessage; }
    static bool HudShows(const std::string& text) {
        for (const hs::HudText& t : sim().LastHud())
            if (t.text.find(text) != std::string::npos) return true;
        return false;
    }
};

TEST_F(CrewStoryTest, EvaReturnNewMemberTransferAndCrashAsScripted) {
    Start({}, 0.05);
    std::string err;
    ASSERT_TRUE(sim().LoadScenario("Crew/CrewStory.scn", &err)) << err;
    hs::Script script;
    ASSERT_TRUE(script.Load((RootDir() / "Scenarios" / "Crew" / "CrewStory.script").string(), &err)) << err;

    script.Run(sim(), 11.2, -1);
    EXPECT_EQ(Message("Corvane-1"), "EVA OK - Ilse Marrow left the ship");
    EXPECT_TRUE(HudShows("EVA OK - Ilse Marrow left the ship"));
    EXPECT_EQ(Ship("Corvane-1")->crew.crewCount, 0);
    ASSERT_NE(sim().FindVessel("UMmu_Capt-Ilse_Marrow"), nullptr);

    script.Run(sim(), 13.5, -1);
    EXPECT_EQ(Message("Corvane-1"), "Capt \"Ilse Marrow\" aged 35 entered into our ship");
    EXPECT_EQ(sim().FindVessel("UMmu_Capt-Ilse_Marrow"), nullptr);
    EXPECT_EQ(Ship("Corvane-1")->crew.crewCount, 1);

    script.Run(sim(), 15.5, -1);
    EXPECT_EQ(Message("Corvane-1"), "Crew \"Nia Falk\" aged 29 added to vessel");
    EXPECT_EQ(Ship("Corvane-1")->crew.crewCount, 2);

    script.Run(sim(), 17.5, -1);
    EXPECT_EQ(Message("Corvane-1"), "Transfer to docked ship Ok - Ilse Marrow transfered");
    EXPECT_EQ(Message("Corvane-2"), "Capt \"Ilse Marrow\" aged 35 was transfered to our ship");
    EXPECT_EQ(Ship("Corvane-2")->crew.crewCount, 2);
    EXPECT_STREQ(Ship("Corvane-1")->crew.roster[0].name, "Nia Falk");

    script.Run(sim(), -1, -1);
    EXPECT_EQ(script.RuntimeErrors(), 0);
    EXPECT_EQ(Message("Corvane-3"), "Oooh no ! Crash - All crew aboard killed");
    EXPECT_EQ(Ship("Corvane-3")->crew.roster[0].pulse, 0);
    EXPECT_EQ(Ship("Corvane-3")->crew.roster[1].pulse, 0);

    fs::path saved = RootDir() / "Scenarios" / "Crew" / "CrewStory-saved.scn";
    ASSERT_TRUE(fs::exists(saved));
    std::string text = ReadFile(saved);
    EXPECT_NE(text.find("UMMUCREW Sec-Bram_Oduya-38-0-82"), std::string::npos) << text;
    EXPECT_NE(text.find("UMMUCREW Tech-Lio_Senn-27-0-68"), std::string::npos);

    EXPECT_EQ(sim().MisuseCount(), 0);
    Restart();
    ASSERT_TRUE(sim().LoadScenario(saved.string(), &err)) << err;
    EXPECT_EQ(Ship("Corvane-3")->crew.crewCount, 0); // the dead do not come back
    EXPECT_EQ(Ship("Corvane-2")->crew.crewCount, 2);
    EXPECT_EQ(Ship("Corvane-1")->crew.crewCount, 1);
}

TEST_F(CrewStoryTest, DockedPairSendsTheCaptainOverAsScripted) {
    Start({}, 0.05);
    std::string err;
    ASSERT_TRUE(sim().LoadScenario("Crew/DockedPair.scn", &err)) << err;
    hs::Script script;
    ASSERT_TRUE(script.Load((RootDir() / "Scenarios" / "Crew" / "DockedPair.script").string(), &err)) << err;
    script.Run(sim(), -1, -1);
    EXPECT_EQ(script.RuntimeErrors(), 0);
    EXPECT_EQ(Message("Corvane-A"), "Transfer to docked ship Ok - Ilse Marrow transfered");
    EXPECT_EQ(Message("Corvane-B"), "Capt \"Ilse Marrow\" aged 35 was transfered to our ship");
    EXPECT_EQ(Ship("Corvane-A")->crew.crewCount, 1);
    EXPECT_EQ(Ship("Corvane-B")->crew.crewCount, 2);
}

} // namespace
