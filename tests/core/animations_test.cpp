// The gear and canopy movers as the host steps them: positions, animation states, exact stops.
#include "vessel_fixture.h"

using coretest::CoreWorld;

namespace {

constexpr const char* CREW_LINES =
    "  UMMUCREW Capt-Ilse_Marrow-35-65-74\n  UMMUCREW Sci-Teodor_Vanke-41-65-74\n";

// Frames of a tenth of a second: the gear moves 0.02 a frame, a canopy 0.01.
class Movers : public CoreWorld {
  protected:
    Movers() { options.dt = 0.1; }
    double State(UINT anim) { return Record()->animations[anim].state; }
};

} // namespace

TEST_F(Movers, GearRetractsOverFiftyStepsOfATenthAndStopsExactlyRetracted) {
    LoadBlock(std::string(CREW_LINES) + "  GEAR 0.000 1.000\n");
    Corvane* c = Ship();
    Sim().RunFrames(1);
    EXPECT_NEAR(c->gearPos, 0.02, 1e-12);
    Sim().RunFrames(48);
    EXPECT_LT(c->gearPos, 1.0);
    EXPECT_NEAR(c->gearPos, 0.98, 1e-9);
    Sim().RunFrames(1);
    EXPECT_EQ(c->gearPos, 1.0);
    EXPECT_EQ(State(c->gearAnim), 1.0);
    Sim().RunFrames(10);
    EXPECT_EQ(c->gearPos, 1.0);
}

TEST_F(Movers, CanopiesMoveAtATenthPerSecondTowardsTheirTargets) {
    LoadBlock(std::string(CREW_LINES) + "  CANP 0.000 1.000\n  CANC 1.000 0.000\n");
    Corvane* c = Ship();
    Sim().RunFrames(20);
    EXPECT_NEAR(c->canopyPPos, 0.2, 1e-9);
    EXPECT_NEAR(c->canopyCPos, 0.8, 1e-9);
    EXPECT_EQ(State(c->canopyPAnim), c->canopyPPos);
    EXPECT_EQ(State(c->canopyCAnim), c->canopyCPos);
    Sim().RunFrames(80);
    EXPECT_EQ(c->canopyPPos, 1.0);
    EXPECT_EQ(c->canopyCPos, 0.0);
}

TEST_F(Movers, ALoadedPositionOutsideTheRangeMovesBackAtTheNormalRate) {
    LoadBlock(std::string(CREW_LINES) + "  GEAR 1.500 1.000\n");
    Corvane* c = Ship();
    EXPECT_EQ(State(c->gearAnim), 1.5);
    Sim().RunFrames(5);
    EXPECT_NEAR(c->gearPos, 1.4, 1e-9);
    Sim().RunFrames(25);
    EXPECT_EQ(c->gearPos, 1.0);
}
