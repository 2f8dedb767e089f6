// The star of the body table: where it stands for the scenario's date, the frame modules read places in,
// whom the bodies circle, and which body a place belongs to.
#include "physics_fixture.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

constexpr double AU = 1.495978707e11;   // m
constexpr double SUN_RADIUS = 6.96e8;   // m
constexpr double MJD_2001 = 51982.5293; // the stock scenarios' date
constexpr double HALF_YEAR = 182.6;     // days

class Sky : public PhysicsWorld {
  protected:
    std::string WriteTable(const std::string& text) {
        const std::string path = std::string(BINARY_DIR) + "/sky_bodies_" + std::to_string(getpid()) + ".cfg";
        std::ofstream(path) << text;
        return path;
    }
    static VECTOR3 EarthSeenByModules() {
        return hs::ToHostFrame(hs::GetBody(hs::BodyIndexByName("Earth"))->pos);
    }
};

TEST_F(Sky, TheEarthCirclesTheSunAndTheSunTheSystemsCentreOfMass) {
    hs::PlaceStar(MJD_2001);
    const int sun = hs::StarIndex();
    ASSERT_GE(sun, 0);
    const VECTOR3 sunSeen = hs::ToHostFrame(hs::GetBody(sun)->pos), earthSeen = EarthSeenByModules();
    // The giants move the Sun by up to some two of its radii about the centre of mass.
    EXPECT_GT(length(sunSeen), 0.1 * SUN_RADIUS);
    EXPECT_LT(length(sunSeen), 2.2 * SUN_RADIUS);
    EXPECT_NEAR(length(earthSeen - sunSeen), AU, 0.02 * AU);
    // The ecliptic is the frame's plane: the Earth stands as high as the Sun, to the Moon's pull on it.
    EXPECT_NEAR(earthSeen.y, sunSeen.y, 1e7);
    // hostsim's own frame keeps the Earth at its origin.
    EXPECT_EQ(length(hs::GetBody(earth)->pos), 0.0);
    EXPECT_NEAR(length(hs::FromHostFrame(earthSeen)), 0.0, 1e-3);
    // Half a year later the Earth stands on the Sun's other side.
    hs::PlaceStar(MJD_2001 + HALF_YEAR);
    const VECTOR3 later = EarthSeenByModules() - hs::ToHostFrame(hs::GetBody(sun)->pos);
    EXPECT_LT(dotp(later, earthSeen - sunSeen) / (AU * AU), -0.99);
}

TEST_F(Sky, BodiesCircleTheStarUnlessTheTableNamesAnotherAndTheStarCirclesNone) {
    const hs::Body* moonBody = hs::GetBody(moon);
    EXPECT_EQ(moonBody->parent, earth);
    EXPECT_EQ(hs::GetBody(earth)->parent, hs::StarIndex());
    EXPECT_EQ(hs::GetBody(hs::StarIndex())->parent, -1);
    EXPECT_EQ(hs::GetBody(hs::StarIndex())->Type(), OBJTP_STAR);
    EXPECT_EQ(moonBody->Type(), OBJTP_PLANET);
}

TEST_F(Sky, TheStrongestPullNamesTheBodyAPlaceBelongsTo) {
    hs::PlaceStar(MJD_2001);
    const VECTOR3 e = hs::GetBody(earth)->pos, m = hs::GetBody(moon)->pos;
    EXPECT_EQ(hs::DominantBody(e + _V(0, 7e6, 0)), earth);
    EXPECT_EQ(hs::DominantBody(e + _V(0, 1.5e8, 0)), earth);
    EXPECT_EQ(hs::DominantBody(e + _V(0, 6e9, 0)), hs::StarIndex()); // a long hyperspace jump away
    EXPECT_EQ(hs::DominantBody(m + _V(0, 2e6, 0)), moon);
}

TEST_F(Sky, TableWithoutAStarKeepsItsFrameAndAFaultyStarOrParentLineIsRefused) {
    std::string err;
    const std::string plain = WriteTable("BODY Earth 6371010 3.986e14 0 0 0 NONE\nBODY Moon 1737400 4.9e12 "
                                         "384400000 0 0 NONE\n");
    ASSERT_TRUE(hs::LoadBodies(plain, &err)) << err;
    hs::PlaceStar(MJD_2001);
    EXPECT_EQ(hs::StarIndex(), -1);
    EXPECT_EQ(hs::ToHostFrame(_V(1, 2, 3)).x, 1.0);
    EXPECT_EQ(hs::FromHostFrame(_V(1, 2, 3)).z, 3.0);
    EXPECT_EQ(hs::GetBody(1)->parent, -1);

    const char* const faulty[] = {
        "BODY Earth 6371010 3.986e14 0 0 0 NONE\nSTAR Sun 6.96e8 1.3e20\nSTAR Sol 6.96e8 1.3e20\n",
        "BODY Earth 6371010 3.986e14 0 0 0 NONE\nSTAR Sun -1 1.3e20\n",
        "BODY Earth 6371010 3.986e14 0 0 0 NONE\nPARENT Earth Vulcan\n",
        "BODY Earth 6371010 3.986e14 0 0 0 NONE\nPARENT Earth Earth\n",
    };
    for (const char* text : faulty) {
        const std::string path = WriteTable(text);
        EXPECT_FALSE(hs::LoadBodies(path, &err)) << text;
        EXPECT_NE(err.find(":"), std::string::npos) << err;
        EXPECT_EQ(hs::BodyCount(), 2) << "the table in use stays";
    }
    std::remove(plain.c_str());
}

} // namespace
