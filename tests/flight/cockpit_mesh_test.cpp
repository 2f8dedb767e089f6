// The crew figures of the two cockpit seats, edited in the ship mesh by crew aboard, camera mode and camera
// seat.
#include "flight_fixture.h"

using flighttest::CorvaneFlight;

namespace {
constexpr UINT SEAT0[] = {4, 5, 6};
constexpr UINT SEAT1[] = {1, 2, 3};
constexpr DWORD NOT_DRAWN = 2;
} // namespace

class CockpitFigures : public CorvaneFlight {
  protected:
    void StartWithVisual() {
        Start(0.1, true);
        h = InSpace();
        c = Ship(h);
        ASSERT_NE(c->visualMesh, nullptr);
    }
    DWORD Flag(UINT group) const { return Rec(h)->meshes.at(1)->userFlags.at(group); }
    bool Shown(const UINT (&groups)[3]) const {
        for (UINT g : groups)
            if (Flag(g) != 1) return false;
        return true;
    }
    bool Hidden(const UINT (&groups)[3]) const {
        for (UINT g : groups)
            if ((Flag(g) & 3) != 3) return false;
        return true;
    }
    OBJHANDLE h = nullptr;
    Corvane* c = nullptr;
};

TEST_F(CockpitFigures, CockpitCameraHidesTheFigureOfItsSeatAndShowsTheOther) {
    StartWithVisual();
    sim().SetCameraMode(CAM_COCKPIT);
    for (int view : {0, 1}) {
        c->viewIndex = view;
        c->UpdateCockpitMeshVisibility();
        EXPECT_TRUE(view == 0 ? Hidden(SEAT0) : Shown(SEAT0)) << view;
        EXPECT_TRUE(view == 0 ? Shown(SEAT1) : Hidden(SEAT1)) << view;
    }
}

// A shown group gets exactly flag one, whatever it had before.
TEST_F(CockpitFigures, ExternalCameraShowsEveryOccupiedSeatWithFlagOne) {
    StartWithVisual();
    sim().SetCameraMode(CAM_TARGETRELATIVE);
    Rec(h)->meshes.at(1)->userFlags.at(4) = 0xF0 | NOT_DRAWN;
    for (int view : {0, 1}) {
        c->viewIndex = view;
        c->UpdateCockpitMeshVisibility();
        EXPECT_TRUE(Shown(SEAT0));
        EXPECT_TRUE(Shown(SEAT1));
    }
}

TEST_F(CockpitFigures, EmptySeat1IsHiddenInEveryCameraMode) {
    StartWithVisual();
    ASSERT_GT(c->crew.RemoveMember("Teodor Vanke"), 0);
    for (int mode : {CAM_COCKPIT, CAM_TARGETRELATIVE}) {
        sim().SetCameraMode(mode);
        c->viewIndex = 0;
        c->UpdateCockpitMeshVisibility();
        EXPECT_TRUE(Hidden(SEAT1));
    }
}

TEST_F(CockpitFigures, CameraModeChangeRefreshesFiguresAndNoChangeEditsNothing) {
    StartWithVisual();
    sim().SetCameraMode(CAM_COCKPIT);
    sim().Frame();
    Rec(h)->meshes.at(1)->userFlags.at(1) = 0x40; // a mark no edit of the figures leaves
    sim().Frame();
    EXPECT_EQ(Flag(1), 0x40u);
    sim().SetCameraMode(CAM_TARGETRELATIVE);
    sim().Frame();
    EXPECT_EQ(Flag(1), 1u);
    EXPECT_EQ(c->lastCameraMode, CAM_TARGETRELATIVE);
}

TEST_F(CorvaneFlight, WithoutAVisualNothingIsEdited) {
    auto [h, c] = StartInSpace(0.1, false);
    ASSERT_EQ(c->visualMesh, nullptr);
    c->UpdateCockpitMeshVisibility();
    c->ToggleCockpitView();
    EXPECT_EQ(sim().MisuseCount(), 0);
}
