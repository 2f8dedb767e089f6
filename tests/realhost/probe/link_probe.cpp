// A vessel for comparing how the hosts link vessels. Par hangs Chi on a point at frame 5 and releases it at
// frame 40; Chi2 hangs on Par by its scenario line; DkA and DkB carry a docking port and keep the frame of
// their first dock event as a scenario line of their own. The points have offsets on several axes and
// directions off the axes, so that a wrong sign, a swapped index or a mirrored attitude shows in where the
// children end up.
#define ORBITER_MODULE
#include "Orbitersdk.h"

#include <cstdio>
#include <cstring>

namespace {

struct Point {
    bool toParent;
    VECTOR3 pos, dir, rot;
    const char* id;
};
// Creation order mixes the two lists: index 1 of each list is the third and fourth point.
const Point POINTS[4] = {
    {false, {{1, 0, 0}}, {{1, 0, 0}}, {{0, 0, 1}}, "PA"},
    {true, {{0, 0, -1}}, {{0, 0, -1}}, {{0, 1, 0}}, "CA"},
    {false, {{0.3, -1.2, 0.4}}, {{0, -0.6, 0.8}}, {{1, 0, 0}}, "PB"},
    {true, {{-0.2, 0.5, 0.7}}, {{0.6, 0, 0.8}}, {{0.8, 0, -0.6}}, "CB"},
};
constexpr int ATTACH_FRAME = 5;
constexpr int RELEASE_FRAME = 40;
constexpr double RELEASE_SPEED = 0.7; // m/s
const char* const DOCK_FRAME_KEY = "DOCKFRAME";

class LinkProbe final : public VESSEL2 {
  public:
    LinkProbe(OBJHANDLE hVessel, int flightmodel) : VESSEL2(hVessel, flightmodel) {}

    void clbkSetClassCaps(FILEHANDLE) override {
        SetSize(1.0);
        SetEmptyMass(100.0);
        SetPMI(_V(1, 1, 1));
        for (const Point& p : POINTS)
            CreateAttachment(p.toParent, p.pos, p.dir, p.rot, p.id);
        // Only the pair meant to dock has ports: a released child must not meet a port on its way.
        if (!strncmp(GetName(), "Dk", 2)) SetDockParams(_V(0.2, 0.1, 1.5), _V(0, 0, 1), _V(0, 1, 0));
    }

    void clbkPreStep(double, double, double) override {
        ++frame;
        if (strcmp(GetName(), "Par") != 0) return;
        if (frame == ATTACH_FRAME) {
            OBJHANDLE child = oapiGetVesselByName(const_cast<char*>("Chi"));
            if (child)
                AttachChild(child, GetAttachmentHandle(false, 1),
                            oapiGetVesselInterface(child)->GetAttachmentHandle(true, 1));
        }
        if (frame == RELEASE_FRAME) DetachChild(GetAttachmentHandle(false, 1), RELEASE_SPEED);
    }

    void clbkDockEvent(int, OBJHANDLE mate) override {
        if (mate && !dockFrame) dockFrame = frame;
    }

    void clbkSaveState(FILEHANDLE scn) override {
        SaveDefaultState(scn);
        char value[16];
        snprintf(value, sizeof value, "%d", dockFrame);
        oapiWriteScenario_string(scn, const_cast<char*>(DOCK_FRAME_KEY), value);
    }

  private:
    int frame = 0;
    int dockFrame = 0;
};

} // namespace

DLLCLBK VESSEL* ovcInit(OBJHANDLE hvessel, int flightmodel) {
    return new LinkProbe(hvessel, flightmodel);
}
DLLCLBK void ovcExit(VESSEL* vessel) {
    delete static_cast<LinkProbe*>(vessel);
}
