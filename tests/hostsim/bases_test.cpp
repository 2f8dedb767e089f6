// Surface bases from the body's file: their pads, the BASE line that puts a landed ship on one, refuelling
// there, and the pad given up at lift-off.
#include "tv_world.h"

#include "scenario_blocks.h"

namespace hs::test {
namespace {

using Bases = HostFixture;

// A base of five objects: two pads on the base's spot (the second's position unreadable, so it stays there), a
// block, a pad 100 m south and one 100 m north. A second file of the same name and a file that is no base are not bases.
void WriteBases(TempRoot& root) {
    root.Write("Config/Earth.cfg", "BEGIN_SURFBASE\nDIR Earth/Pads\nEND_SURFBASE\n");
    root.Write("Config/Earth/Pads/Field.cfg",
               "BASE-V2.0\nName = Test Field\nLocation = -80.68 +28.597\nBEGIN_OBJECTLIST\n"
               "LPAD2\n  POS 0 0 0\n  TEX Lpad02\nEND\nLPAD1\n  POS here\nEND\nBLOCK\n  POS 50 0 50\nEND\n"
               "LPAD2A ; south\n  POS 100 0 0\nEND\nLPAD2\n  POS -100 0 0\nEND\nEND_OBJECTLIST\n");
    root.Write("Config/Earth/Pads/Field2.cfg",
               "BASE-V2.0\nName = Test Field\nLocation = 0 0\nBEGIN_OBJECTLIST\nLPAD2\nPOS 0 0 0\nEND\n");
    root.Write("Config/Earth/Pads/Notes.cfg", "Name = Not A Base\nLocation = 1 1\n");
    root.Write("Config/Vessels/Hopper.cfg", "Size = 10\nMass = 5000\nMaxFuel = 100\nMaxHoverThrust = 2e5\n");
}

std::string OnBase(const std::string& name, const std::string& baseLine, const std::string& pos = "") {
    return name + ":Hopper\n  STATUS Landed Earth\n  " + baseLine + "\n" + pos + "  HEADING 0.00\n" +
           "  PRPLEVEL 0:0.500000\nEND\n";
}

std::vector<std::string> Saved(const std::string& vessel, const std::vector<std::string>& keys) {
    return LinesWithKeys(ReadShips(Sim::Get().ScenarioText()).at(vessel), keys);
}

TEST_F(Bases, ABaseLinePutsTheShipOnItsPadWhereItIsRefuelledAndHoldsThePadUntilLiftOff) {
    WriteBases(root);
    ASSERT_TRUE(Load(ScenarioText(OnBase("H1", "BASE Test Field:3") + OnBase("H2", "BASE Test Field:2") +
                                  OnBase("H3", "BASE Test Field:4", "  POS -80.7 28.597\n") +
                                  OnBase("H4", "BASE Nowhere:1", "  POS -80.7 28.6\n"))))
        << loadError;
    Sim().RunFrames(30);
    // On the south pad: 100 m south of the base, full.
    EXPECT_EQ(Saved("H1", {"BASE", "POS", "PRPLEVEL"}),
              (std::vector<std::string>{"BASE Test Field:3", "POS -80.6800000 28.5961007", "PRPLEVEL 0:1.000000"}));
    // Pad 2 stands where pad 1 does: the ship is counted on the first pad within reach.
    EXPECT_EQ(Saved("H2", {"BASE", "PRPLEVEL"}),
              (std::vector<std::string>{"BASE Test Field:1", "PRPLEVEL 0:1.000000"}));
    // Named pad 4 from 2 km away: it holds the pad the line names, but takes no fuel; the other lands nowhere.
    EXPECT_EQ(Saved("H3", {"BASE", "PRPLEVEL"}),
              (std::vector<std::string>{"BASE Test Field:4", "PRPLEVEL 0:0.500000"}));
    EXPECT_EQ(Saved("H4", {"BASE", "PRPLEVEL"}), (std::vector<std::string>{"PRPLEVEL 0:0.500000"}));
    EXPECT_TRUE(TimelineHas("no base \"Nowhere\" with a pad 1"));
    // Lifted off, the ship gives its pad up.
    Iface("H1")->SetThrusterGroupLevel(THGROUP_HOVER, 1.0);
    Sim().RunFrames(60);
    EXPECT_FALSE(Rec("H1")->phys.landed);
    EXPECT_EQ(Saved("H1", {"BASE"}), std::vector<std::string>{});
    Sim().RunFrames(1);
    EXPECT_EQ(Saved("H2", {"BASE"}), (std::vector<std::string>{"BASE Test Field:1"}));
}

TEST_F(Bases, WithoutABaseListTheBodysOwnBaseFolderIsReadAndRefuellingCanBeSwitchedOff) {
    root.Write("Config/Earth/Base/Strip.cfg",
               "BASE-V2.0\nName = Strip\nLocation = -80.68 28.597\nBEGIN_OBJECTLIST\nLPAD2\nPOS 0 0 0\nEND\n"
               "END_OBJECTLIST\n");
    root.Write("Config/Vessels/Hopper.cfg", "Size = 10\nMass = 5000\nMaxFuel = 100\n");
    root.Write("Orbiter_NG.cfg", "RefuelOnPad = FALSE\n");
    ASSERT_TRUE(Load(ScenarioText(OnBase("H1", "BASE Strip:1")))) << loadError;
    Sim().RunFrames(2);
    EXPECT_EQ(Saved("H1", {"BASE", "PRPLEVEL"}),
              (std::vector<std::string>{"BASE Strip:1", "PRPLEVEL 0:0.500000"}));
}

} // namespace
} // namespace hs::test
