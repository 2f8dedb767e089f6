// Docking a module asks for: ports it makes and removes while flying, what Dock answers and where it puts
// whom, and how Undock parts the pair.
#include "tv_world.h"

#include "expect_vector.h"

namespace hs::test {
namespace {

constexpr double UNDOCK_PUSH = 0.2; // m/s: the host's separation when a module undocks
constexpr double CLOSE = 1e-6;      // m, m/s

void ExpectVectorNear(const VECTOR3& v, const VECTOR3& e, double tol) {
    testvec::ExpectVec(v, e.x, e.y, e.z, "", tol);
}

// Two test vessels side by side above the pole, 50 m apart and drifting apart at 1 m/s; each has port 0 at
// (0,0,3) facing forward, from its class set-up.
class ModuleDocking : public HostFixture {
  protected:
    void SetUp() override {
        HostFixture::SetUp();
        ha = CreateAbovePole("A", TV_CLASS);
        hb = CreateAbovePole("B", TV_CLASS, _V(50, 0, 0), _V(1, 0, 0), _V(0.1, 0.2, 0.3));
        a = oapiGetVesselInterface(ha);
        b = oapiGetVesselInterface(hb);
    }
    // b's centre in a's frame.
    // Through the relative place: global places, a hundred million kilometres from the origin, keep only
    // some tens of micrometres.
    VECTOR3 BInA() const {
        VECTOR3 rel;
        MATRIX3 R;
        b->GetRelativePos(ha, rel);
        a->GetRotationMatrix(R);
        return tmul(R, rel);
    }
    VECTOR3 Vel(const VESSEL* v) const {
        VECTOR3 vel;
        v->GetGlobalVel(vel);
        return vel;
    }
    OBJHANDLE ha = nullptr, hb = nullptr;
    VESSEL* a = nullptr;
    VESSEL* b = nullptr;
};

TEST_F(ModuleDocking, DockAnswersAsTheHostForEachBusyPortAndForOneStructure) {
    a->CreateDock(_V(0, 0, -3), _V(0, 0, -1), _V(0, 1, 0));
    b->CreateDock(_V(0, 0, -3), _V(0, 0, -1), _V(0, 1, 0));
    EXPECT_EQ(a->Dock(hb, 0, 0, 1), 0);
    EXPECT_TRUE(TimelineInOrder({"tv: dock event A port 0 B", "tv: dock event B port 0 A"}));
    EXPECT_EQ(a->Dock(hb, 0, 1, 1), 1); // own port in use
    EXPECT_EQ(a->Dock(hb, 1, 0, 1), 2); // the target's port in use
    EXPECT_EQ(a->Dock(hb, 1, 1, 1), 3); // already one structure
    EXPECT_EQ(a->DockingStatus(0), 1u);
    EXPECT_EQ(a->DockingStatus(1), 0u);
    EXPECT_EQ(a->DockingStatus(7), 0u);
    EXPECT_EQ(a->GetDockHandle(7), nullptr);
    EXPECT_EQ(oapiGetDockStatus(oapiGetDockHandle(hb, 0)), ha);
    EXPECT_EQ(a->GetFlightStatus() & 2u, 2u);
}

TEST_F(ModuleDocking, ModeOneBringsTheTargetModeTwoGoesToItModeZeroSharesTheMomentum) {
    VECTOR3 pa, pb, pa0, pb0;
    a->GetGlobalPos(pa0);
    ASSERT_EQ(a->Dock(hb, 0, 0, 1), 0);
    a->GetGlobalPos(pa);
    ExpectVectorNear(pa, pa0, CLOSE);
    ExpectVectorNear(BInA(), _V(0, 0, 6), CLOSE); // the ports face each other
    ExpectVectorNear(Vel(b), Vel(a), CLOSE);

    ASSERT_TRUE(a->Undock(0));
    Sim().RunFrames(60);
    b->GetGlobalPos(pb0);
    ASSERT_EQ(a->Dock(hb, 0, 0, 2), 0);
    b->GetGlobalPos(pb);
    ExpectVectorNear(pb, pb0, CLOSE);
    ExpectVectorNear(BInA(), _V(0, 0, 6), CLOSE);

    ASSERT_TRUE(a->Undock(0));
    Sim().RunFrames(60);
    const VECTOR3 mean = (Vel(a) + Vel(b)) * 0.5; // equal masses
    a->GetGlobalPos(pa0);
    ASSERT_EQ(a->Dock(hb, 0, 0, 0), 0);
    a->GetGlobalPos(pa);
    ExpectVectorNear(pa, pa0, CLOSE);
    ExpectVectorNear(Vel(a), mean, CLOSE);
    ExpectVectorNear(Vel(b), mean, CLOSE);
}

TEST_F(ModuleDocking, UndockPartsThePairAtTwoTenthsOfAMetrePerSecondAndTheMateHearsFirst) {
    ASSERT_EQ(a->Dock(hb, 0, 0, 1), 0);
    EXPECT_FALSE(a->Undock(ALLDOCKS, hb)); // the only mate is spared
    EXPECT_TRUE(a->Undock(ALLDOCKS));
    EXPECT_FALSE(a->Undock(0));
    EXPECT_TRUE(TimelineInOrder({"tv: dock event B port 0 free", "tv: dock event A port 0 free"}));
    MATRIX3 R;
    a->GetRotationMatrix(R);
    ExpectVectorNear(tmul(R, Vel(b) - Vel(a)), _V(0, 0, UNDOCK_PUSH), CLOSE); // along a's port
    Sim().RunFrames(60);
    EXPECT_NEAR(BInA().z, 6.0 + UNDOCK_PUSH, 1e-3);
}

TEST_F(ModuleDocking, RemovingAnEngagedPortReleasesItWithoutAPushAndKillsItsHandle) {
    DOCKHANDLE second = a->CreateDock(_V(0, 0, -3), _V(0, 0, -1), _V(0, 1, 0));
    ASSERT_EQ(a->Dock(hb, 1, 0, 1), 0);
    EXPECT_TRUE(a->DelDock(second));
    EXPECT_EQ(a->DockCount(), 1u);
    EXPECT_EQ(b->DockingStatus(0), 0u);
    EXPECT_TRUE(TimelineInOrder({"tv: dock event B port 0 free", "tv: dock event A port 1 free"}));
    ExpectVectorNear(Vel(b), Vel(a), CLOSE);
    expectedMisuse = 1;
    EXPECT_FALSE(a->DelDock(second));

    ASSERT_EQ(a->Dock(hb, 0, 0, 1), 0);
    a->ClearDockDefinitions();
    EXPECT_EQ(a->DockCount(), 0u);
    EXPECT_EQ(b->DockingStatus(0), 0u);
    a->SetDockParams(_V(1, 2, 3), _V(0, 0, 1), _V(0, 1, 0)); // makes port 0 again
    ASSERT_EQ(a->DockCount(), 1u);
    VECTOR3 pos, dir, rot;
    a->GetDockParams(a->GetDockHandle(0), pos, dir, rot);
    ExpectVectorNear(pos, _V(1, 2, 3), 0.0);
}

} // namespace
} // namespace hs::test
