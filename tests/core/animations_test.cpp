// The gear and canopy movers as the host steps them: positions, animation states, exact stops.
#include "vessel_fixture.h"

using coretest::CoreWorld;

namespace {

constexpr const char* CREW_LINES =
    "  UMMUCREW Capt-Ilse_Marrow-35-65-74\n  UMMUCREW Sci-Teodor_Vanke-41-65-74\n";

class Movers : public CoreWorld {
  protected:
    double State(UINT anim) { return Record()->animations[anim].state; }
};

} // namespace

TEST_F(Movers, GearRetractsOverFiftyStepsOfATenthAndStopsExactlyRetracted) {
    dt = 0.1;
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
    dt = 0.5;
    LoadBlock(std::string(CREW_LINES) + "  CANP 0.000 1.000\n  CANC 1.000 0.000\n");
    Corvane* c = Ship();
    Sim().RunFrames(4);
    EXPECT_NEAR(c->canopyPPos, 0.2, 1e-12);
    EXPECT_NEAR(c->canopyCPos, 0.8, 1e-12);
    EXPECT_EQ(State(c->canopyPAnim), c->canopyPPos);
    EXPECT_EQ(State(c->canopyCAnim), c->canopyCPos);
    Sim().RunFrames(16);
    EXPECT_EQ(c->canopyPPos, 1.0);
    EXPECT_EQ(c->canopyCPos, 0.0);
}

TEST_F(Movers, ALoadedPositionOutsideTheRangeMovesBackAtTheNormalRate) {
    dt = 0.5;
    LoadBlock(std::string(CREW_LINES) + "  GEAR 1.500 1.000\n");
    Corvane* c = Ship();
    EXPECT_EQ(State(c->gearAnim), 1.5);
    Sim().RunFrames(1);
    EXPECT_NEAR(c->gearPos, 1.4, 1e-12);
    Sim().RunFrames(10);
    EXPECT_EQ(c->gearPos, 1.0);
}
