// The motion state the physics step keeps for each vessel.
#pragma once

#include "Orbitersdk.h"

namespace hs {

struct PhysicsState {
    int body = 0;              // index of the gravity-reference body
    VECTOR3 pos{};             // m, global (body-centred, ecliptic-like frame)
    VECTOR3 vel{};             // m/s, global
    MATRIX3 R{};               // vessel frame -> global frame
    VECTOR3 omega{};           // rad/s, vessel frame
    bool landed = false;       // resting on its touchdown points
    bool groundContact = false;
    double lastAirspeed = 0.0;
};

} // namespace hs
