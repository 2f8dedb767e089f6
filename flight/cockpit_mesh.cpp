// Cockpit mesh visibility: the seated crew figures follow the roster and the cockpit camera seat.
#include "core/corvane.h"
#include "portable.h"

#include <cstring>

namespace {

constexpr int SEAT0_FIGURE_GROUPS[3] = {4, 5, 6};
constexpr int SEAT1_FIGURE_GROUPS[3] = {1, 2, 3};
constexpr const int* SEAT_FIGURE_GROUPS[2] = {SEAT0_FIGURE_GROUPS, SEAT1_FIGURE_GROUPS};

constexpr int FIGURE_SHOWN_FLAG = 1;   // drawn, casts no shadow
constexpr int FIGURE_HIDDEN_FLAGS = 3; // adds "casts no shadow" and "not drawn" to what the group has

} // namespace

// A figure is hidden when its seat is empty, or when the cockpit camera sits in that very seat.
void Corvane::UpdateCockpitMeshVisibility() {
    if (!visualMesh) return;
    for (int seat = 0; seat < 2; ++seat) {
        const char* name = crew.GetMemberName(seat);
        const bool occupied = name && name[0] != '\0';
        const bool hidden = !occupied || (viewIndex == seat && oapiCameraMode() == CAM_COCKPIT);

        GROUPEDITSPEC edit;
        std::memset(&edit, 0, sizeof edit);
        edit.flags = hidden ? GRPEDIT_ADDUSERFLAG : GRPEDIT_SETUSERFLAG;
        edit.UsrFlag = hidden ? FIGURE_HIDDEN_FLAGS : FIGURE_SHOWN_FLAG;
        for (int i = 0; i < 3; ++i)
            oapiEditMeshGroup(visualMesh, SEAT_FIGURE_GROUPS[seat][i], &edit);
    }
}
