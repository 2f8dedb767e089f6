// The motion state the physics step keeps for each vessel.
#pragma once

#include "Orbitersdk.h"

namespace hs {

// What every step reads comes first; what only a landing or a touchdown needs, last.
struct PhysicsState {
    VECTOR3 pos{};                          // m, global
    VECTOR3 vel{};                          // m/s, global
    int body = 0;                           // index of the gravity-reference body
    bool landed = false;                    // at rest on its touchdown points: held exactly still
    bool groundContact = false;             // a touchdown point touches the surface
    bool touchdownFrame = false;            // contact began during the last step
    bool placed = false;                    // given a position by PlaceLanded/FromStatus/links
    unsigned long stepMark = 0;             // the step that last saw this vessel among the live ones
    unsigned long groupMark = 0;            // the step that last put it into a moving group
    MATRIX3 R{{1, 0, 0, 0, 1, 0, 0, 0, 1}}; // vessel frame -> global frame
    VECTOR3 omega{};                        // rad/s, vessel frame
    double lastAirspeed = 0.0;
    VECTOR3 restPoints[3]{};                // vessel frame: the touchdown points it came to rest on
    VECTOR3 touchdownVel{};                 // m/s, global velocity at the moment contact began
};

// What a state that stops being a number goes back to.
struct Motion {
    VECTOR3 pos{}, vel{};
    MATRIX3 R{{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    VECTOR3 omega{};
};

} // namespace hs
