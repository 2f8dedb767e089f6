// The Sun's radiation pressure: off unless the host's configuration asks for it, then a push away from the
// Sun of the size the Sun's light gives at the Earth's distance, and none in the Earth's shadow.
#include "tv_world.h"

namespace hs::test {
namespace {

constexpr double FLIGHT = 100.0;         // s
constexpr double PRESSURE_1AU = 4.56e-6; // N/m^2: the Sun's light at one astronomical unit, taken up whole
constexpr double PRESSURE_SPREAD =
    0.04;                      // the Earth's distance from the Sun changes it by less than this share
constexpr double SIZE = 500.0; // m: a sail-sized cross section, so the push is metres, not microns

class SunPressure : public HostFixture {
  protected:
    // Where a vessel of the class ends after FLIGHT seconds, starting at rest at `from` (from the Earth's
    // centre), with the Sun's pressure on or off; a fresh session each time.
    VECTOR3 Fly(const char* cls, bool pressure, VECTOR3 from = _V(0, HIGH_ABOVE_POLE, 0)) {
        root.Write("Orbiter_NG.cfg",
                   std::string("; === ORBITER Master Configuration File ===\nRadiationPressure = ") +
                       (pressure ? "TRUE" : "FALSE") + "\n");
        Restart();
        mass = 0.0;
        OBJHANDLE h = CreateAbovePole("Sail", cls, _V(from.x, from.y - HIGH_ABOVE_POLE, from.z));
        if (!h) return _V(0, 0, 0);
        VESSEL* v = oapiGetVesselInterface(h);
        v->SetSize(SIZE);
        mass = v->GetMass();
        for (int i = 0; i < static_cast<int>(FLIGHT * 60.0); ++i)
            Sim().Frame();
        VECTOR3 pos;
        v->GetRelativePos(oapiGetObjectByName((char*)"Earth"), pos);
        return pos;
    }
    // The push of the plain model over the flight: half the acceleration times the time squared.
    double ExpectedPush() const { return 0.5 * PRESSURE_1AU * SIZE * SIZE * 1.5 / mass * FLIGHT * FLIGHT; }
    double mass = 0.0;
};

TEST_F(SunPressure, PushesAwayFromTheSunInTheEclipticOnlyWhenTheConfigurationAsks) {
    const VECTOR3 off = Fly("Test\\Plain", false);
    EXPECT_FALSE(TimelineHas("radiation pressure"));
    const VECTOR3 on = Fly("Test\\Plain", true);
    EXPECT_TRUE(TimelineHas("the host's configuration asks for the Sun's radiation pressure"));
    const VECTOR3 push = on - off;
    EXPECT_NEAR(length(push), ExpectedPush(), ExpectedPush() * PRESSURE_SPREAD);
    EXPECT_LT(std::fabs(push.y), 1e-3 * length(push)) << "the Sun lies in the ecliptic, the global x-z plane";
    // A module's vessel without a force of its own gets the same push from the callback's default.
    const VECTOR3 moduleOn = Fly(TV_CLASS, true);
    const VECTOR3 moduleOff = Fly(TV_CLASS, false);
    EXPECT_NEAR(length(moduleOn - moduleOff), ExpectedPush(), ExpectedPush() * PRESSURE_SPREAD);
}

TEST_F(SunPressure, NoneInTheEarthsShadow) {
    const VECTOR3 away = Fly("Test\\Plain", true) - Fly("Test\\Plain", false);
    ASSERT_GT(length(away), 0.0);
    // 700 km above the night side, straight away from the Sun: inside the full shadow.
    const VECTOR3 night = away / length(away) * 7.071e6;
    const VECTOR3 lit = Fly("Test\\Plain", true, night), dark = Fly("Test\\Plain", false, night);
    EXPECT_EQ(length(lit - dark), 0.0);
    const VECTOR3 day = -night;
    EXPECT_GT(length(Fly("Test\\Plain", true, day) - Fly("Test\\Plain", false, day)), 0.5 * ExpectedPush());
}

} // namespace
} // namespace hs::test
