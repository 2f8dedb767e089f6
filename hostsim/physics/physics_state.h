// The motion state the physics step keeps for each vessel.
#pragma once

#include "Orbitersdk.h"

namespace hs {

// What every step reads comes first; what only a landing or a touchdown needs, last.
// What a state that stops being a number goes back to; also the state a step began from.
struct Motion {
    VECTOR3 pos{}, vel{};
    MATRIX3 R{{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    VECTOR3 omega{};
};

struct PhysicsState {
    VECTOR3 pos{};                          // m, global
    VECTOR3 vel{};                          // m/s, global
    int body = 0;                           // index of the gravity-reference body
    bool landed = false;                    // at rest on its touchdown points: held exactly still
    bool groundContact = false;             // a touchdown point touches the surface
    bool touchdownFrame = false;            // contact began during the last step
    bool placed = false;                    // given a position by PlaceLanded/FromStatus/links
    bool pointsChanged = false;             // touchdown vertices set while landed: the host lets it go
    unsigned long stepMark = 0;             // the step that last saw this vessel among the live ones
    unsigned long groupMark = 0;            // the step that last put it into a moving group
    MATRIX3 R{{1, 0, 0, 0, 1, 0, 0, 0, 1}}; // vessel frame -> global frame
    VECTOR3 omega{};                        // rad/s, vessel frame
    double lastAirspeed = 0.0;
    VECTOR3 restPoints[3]{};                // vessel frame: the touchdown points it came to rest on
    // The host's touchdown test, while the vessel touches the ground without thrust: every tenth of a second
    // or so it looks at where the vessel is on the body and how it is turned; any movement starts the wait for
    // landing again. testing is false while the test is off.
    bool testing = false;
    double testStart = 0.0, testLook = 0.0; // s: the wait's start; the last look
    VECTOR3 testPos{};                      // body frame, at the last look
    MATRIX3 testR{{1, 0, 0, 0, 1, 0, 0, 0, 1}}; // global attitude at the last look
    // A part placed by its links: the attitude of the group's lead, which gives a landed part its heading.
    bool led = false;
    MATRIX3 leadR{{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    VECTOR3 touchdownVel{};                 // m/s, global velocity at the moment contact began
    // What the last step's loads came to, as the host reports them until the next step: lift and drag in N
    // (0 while landed), thrust and the total force with gravity in the vessel frame.
    double lift = 0.0, drag = 0.0;
    VECTOR3 thrust{}, force{};
    // The accelerations found at the end of the last step, which the next step starts from: global linear
    // (gravity and ground included) and angular in the vessel frame. Kept for vessels on vertices.
    VECTOR3 lastAcc{}, lastAngAcc{};
    // The state the host holds as the current step's start: from the step until the post-step callbacks are
    // over it is the state before the step; between frames, the present one. A child released in a post-step
    // callback leaves from it, in the attitude it had then, as in the host.
    Motion stepStart;
};

// The step now beginning starts from the vessel's present state.
inline void MarkStepStart(PhysicsState& s) {
    s.stepStart.pos = s.pos;
    s.stepStart.vel = s.vel;
    s.stepStart.R = s.R;
    s.stepStart.omega = s.omega;
}

} // namespace hs
