// The Carrier stand-in: holds a Corvane by its "APR" point, lends it propellant, lets go on key 257 at the
// index it is given, and keeps its own scenario lines.
#include "addon_world.h"

#include <cstdint>
#include <cstdio>
#include <limits>

namespace {

constexpr DWORD RELEASE_REQUEST_KEY = 257;
constexpr double CARRIER_TANK = 50000.0; // kg
constexpr double CORVANE_TANK = 10000.0; // kg

class CarrierWorld : public AddonWorld {
  protected:
    void SetUp() override {
        AddonWorld::SetUp();
        carrier = CreateFlying("Carrier-1", "Carrier");
        corvane = CreateFlying("Corvane-1", "Corvane", _V(0, -30, 0));
        c = oapiGetVesselInterface(carrier);
        v = oapiGetVesselInterface(corvane);
        ASSERT_NE(c, nullptr);
        ASSERT_NE(v, nullptr);
    }

    void HangOn(DWORD point) {
        ASSERT_TRUE(
            c->AttachChild(corvane, c->GetAttachmentHandle(false, point), v->GetAttachmentHandle(true, 0)));
        ASSERT_EQ(c->GetAttachmentStatus(c->GetAttachmentHandle(false, point)), corvane);
    }

    // What the Corvane sends: key 257, released, a pointer to the index in place of the keyboard state.
    int Request(char* kstate) {
        return static_cast<VESSEL2*>(c)->clbkConsumeBufferedKey(RELEASE_REQUEST_KEY, false, kstate);
    }
    int Request(int32_t index) { return Request(reinterpret_cast<char*>(&index)); }

    OBJHANDLE Holding(DWORD point) { return c->GetAttachmentStatus(c->GetAttachmentHandle(false, point)); }

    OBJHANDLE carrier = nullptr, corvane = nullptr;
    VESSEL* c = nullptr;
    VESSEL* v = nullptr;
};

TEST_F(CarrierWorld, ClassHasTwoAprPointsAFullFiftyTonneTankAndHoldsACorvaneLevelNoseToItsTail) {
    EXPECT_GE(c->Version(), 1); // the Corvane only asks vessels that have the key callback
    ASSERT_EQ(c->AttachmentCount(false), 2u);
    EXPECT_STREQ(c->GetAttachmentId(c->GetAttachmentHandle(false, 0)), "APR");
    EXPECT_STREQ(c->GetAttachmentId(c->GetAttachmentHandle(false, 1)), "APR");
    ASSERT_EQ(c->GetPropellantCount(), 1u);
    EXPECT_DOUBLE_EQ(c->GetPropellantMass(c->GetPropellantHandleByIndex(0)), CARRIER_TANK);
    // The Corvane's point faces aft and the carrier's too: laid against each other, the Corvane hangs level
    // with her nose to the carrier's tail.
    HangOn(0);
    Sim().Frame();
    MATRIX3 rc, rv;
    c->GetRotationMatrix(rc);
    v->GetRotationMatrix(rv);
    const VECTOR3 axes[] = {_V(1, 0, 0), _V(0, 1, 0), _V(0, 0, 1)};
    const double turned[] = {-1.0, 1.0, -1.0}; // half a turn about the shared up axis
    for (int i = 0; i < 3; ++i) {
        const VECTOR3 d = mul(rv, axes[i]) - mul(rc, axes[i]) * turned[i];
        EXPECT_LT(length(d), 1e-6) << i;
    }
    VECTOR3 rel;
    oapiGetRelativePos(corvane, carrier, &rel);
    EXPECT_LT(rel.y, -5.0); // under the hull
    // Hanging there, the ship reads the carrier's altitude and airspeed, as the host reports a child's.
    EXPECT_EQ(v->GetAltitude(), c->GetAltitude());
    EXPECT_EQ(v->GetAirspeed(), c->GetAirspeed());
}

TEST_F(CarrierWorld, RequestWithIndexZeroReleasesTheChildAftAtHalfAMetrePerSecond) {
    HangOn(0);
    Sim().Frame(); // she hangs through a step, so she leaves along the carrier's point
    EXPECT_EQ(Request(0), 1);
    EXPECT_EQ(Holding(0), nullptr);
    EXPECT_EQ(TimelineCount("carrier: Carrier-1 released Corvane-1 from point 0 at 0.50 m/s"), 1)
        << TimelineText();
    Sim().Frame();
    VECTOR3 rel;
    oapiGetRelativeVel(corvane, carrier, &rel);
    EXPECT_NEAR(rel.z, -0.5, 0.05);
    EXPECT_NEAR(rel.x, 0.0, 0.05);
    EXPECT_NEAR(rel.y, 0.0, 0.05);
}

// The index may sit anywhere in memory, aligned or not.
TEST_F(CarrierWorld, RequestReleasesOnlyThePointItNames) {
    HangOn(1);
    EXPECT_EQ(Request(0), 1);
    EXPECT_EQ(Holding(1), corvane);
    EXPECT_EQ(TimelineCount("carrier: Carrier-1 point 0 holds nothing"), 1);
    char buffer[8] = {};
    const int32_t index = 1;
    memcpy(buffer + 1, &index, sizeof index);
    EXPECT_EQ(Request(buffer + 1), 1);
    EXPECT_EQ(Holding(1), nullptr);
}

TEST_F(CarrierWorld, OutOfRangeIndexesNoIndexAndOrdinaryKeysReleaseNothing) {
    HangOn(0);
    EXPECT_EQ(Request(2), 1);
    EXPECT_EQ(Request(-1), 1);
    EXPECT_EQ(Request(std::numeric_limits<int32_t>::max()), 1);
    EXPECT_EQ(Request(std::numeric_limits<int32_t>::min()), 1);
    EXPECT_EQ(TimelineCount("carrier: Carrier-1 has no child point"), 4);
    EXPECT_EQ(TimelineCount("carrier: Carrier-1 has no child point -2147483648"), 1);
    EXPECT_EQ(Request(nullptr), 1);
    char kstate[256] = {};
    EXPECT_EQ(static_cast<VESSEL2*>(c)->clbkConsumeBufferedKey(OAPI_KEY_J, true, kstate), 0);
    EXPECT_EQ(Holding(0), corvane);
}

// The whole errand from the Corvane's cockpit: refuel from the carrier, then ask to be let go.
TEST_F(CarrierWorld, CorvaneRefuelsFromTheCarrierTankThenIsReleasedByKeyJ) {
    HangOn(1);
    Sim().SetFocus(corvane);
    PROPELLANT_HANDLE own = v->GetPropellantHandleByIndex(0);
    v->SetPropellantMass(own, 4000.0);
    Sim().PressKey(OAPI_KEY_R, {OAPI_KEY_LSHIFT});
    Sim().Frame();
    EXPECT_NEAR(v->GetPropellantMass(own), CORVANE_TANK, 1e-6);
    EXPECT_NEAR(c->GetPropellantMass(c->GetPropellantHandleByIndex(0)), CARRIER_TANK - 6000.0, 1e-6);

    Sim().PressKey(OAPI_KEY_J);
    Sim().Frame();
    EXPECT_EQ(Holding(1), nullptr);
    EXPECT_EQ(v->GetAttachmentStatus(v->GetAttachmentHandle(true, 0)), nullptr);
    EXPECT_EQ(TimelineCount("carrier: Carrier-1 released Corvane-1 from point 1 at 0.50 m/s"), 1)
        << TimelineText();
}

const char* const CARRIER_BLOCK = R"(Carrier-1:Carrier
  RELEASES 3
  SEPSPEED 1.250
  STATUS Orbiting Earth
  RPOS 0.000 7000000.000 0.000
  RVEL 0.0000 0.0000 0.0000
  AROT 0.000 0.000 0.000
  PRPLEVEL 0:0.500000
END
)";

using CarrierScenario = hs::test::HostFixture;

TEST_F(CarrierScenario, OwnLinesComeBackAsLoadedAndSaveLoadSaveIsIdentical) {
    ASSERT_TRUE(Load(hs::test::ScenarioText(CARRIER_BLOCK, "Carrier-1"))) << loadError;
    const std::string first = Sim().ScenarioText();
    EXPECT_NE(first.find("Carrier-1:Carrier\n  RELEASES 3\n  SEPSPEED 1.250\n"), std::string::npos) << first;
    EXPECT_NE(first.find("PRPLEVEL 0:0.500000"), std::string::npos) << first;
    ASSERT_EQ(Sim().MisuseCount(), 0);

    Restart();
    ASSERT_TRUE(Load(first, "again")) << loadError;
    EXPECT_EQ(Sim().ScenarioText(), first);
}

TEST_F(CarrierScenario, MalformedOwnLinesKeepTheDefaultsAndNeverReachTheHost) {
    std::string block = CARRIER_BLOCK;
    block.replace(block.find("RELEASES 3"), 10, "RELEASES lots");
    block.replace(block.find("SEPSPEED 1.250"), 14, "SEPSPEED -4");
    ASSERT_TRUE(Load(hs::test::ScenarioText(block, "Carrier-1"))) << loadError;
    const std::string saved = Sim().ScenarioText();
    EXPECT_NE(saved.find("  RELEASES 0\n  SEPSPEED 0.500\n"), std::string::npos) << saved;
}

} // namespace
