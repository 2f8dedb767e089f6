// The motion state the physics step keeps for each vessel.
#pragma once

#include "Orbitersdk.h"

namespace hs {

struct PhysicsState {
    VECTOR3 pos{};                          // m, global
    VECTOR3 vel{};                          // m/s, global
    int body = 0;                           // index of the gravity-reference body
    unsigned long stepMark = 0;  // the step that last saw this vessel among the live ones
    unsigned long groupMark = 0; // the step that last put it into a moving group
    MATRIX3 R{{1, 0, 0, 0, 1, 0, 0, 0, 1}}; // vessel frame -> global frame
    VECTOR3 omega{};                        // rad/s, vessel frame
    bool landed = false;                    // at rest on its touchdown points: held exactly still
    VECTOR3 restPoints[3]{};                // vessel frame: the touchdown points it came to rest on
    bool groundContact = false;             // a touchdown point touches the surface
    bool touchdownFrame = false;            // contact began during the last step
    VECTOR3 touchdownVel{};                 // m/s, global velocity at the moment contact began
    double lastAirspeed = 0.0;
    bool placed = false;         // given a position by PlaceLanded/FromStatus/links
};

} // namespace hs
