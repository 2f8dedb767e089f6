// The VESSEL methods that report the physics: weight, atmosphere, airspeed, contact, mass, spin and forces.
#include "lib/host.h"
#include "physics.h"

namespace {

// A VESSEL whose host record is gone answers with zeros; the host counts the call as misuse.
Vessel* Live(Vessel* v, const char* fn) {
    return hs::CheckVessel(v, fn);
}

} // namespace

bool VESSEL::GetWeightVector(VECTOR3& G) const {
    Vessel* v = Live(vessel, "GetWeightVector");
    G = v ? hs::WeightVector(*v) : _V(0, 0, 0);
    return v != nullptr;
}

double VESSEL::GetAtmPressure() const {
    Vessel* v = Live(vessel, "GetAtmPressure");
    return v ? hs::AtmPressure(*v) : 0.0;
}

bool VESSEL::GetHorizonAirspeedVector(VECTOR3& out) const {
    Vessel* v = Live(vessel, "GetHorizonAirspeedVector");
    out = v ? hs::HorizonAirspeedVector(*v) : _V(0, 0, 0);
    return v != nullptr;
}

bool VESSEL::GroundContact() const {
    Vessel* v = Live(vessel, "GroundContact");
    return v ? hs::GroundContact(*v) : false;
}

double VESSEL::GetAltitude() const {
    Vessel* v = Live(vessel, "GetAltitude");
    return v ? hs::Altitude(*v) : 0.0;
}

double VESSEL::GetAirspeed() const {
    Vessel* v = Live(vessel, "GetAirspeed");
    return v ? hs::Airspeed(*v) : 0.0;
}

double VESSEL::GetAOA() const {
    Vessel* v = Live(vessel, "GetAOA");
    return v ? hs::AOA(*v) : 0.0;
}

double VESSEL::GetMachNumber() const {
    Vessel* v = Live(vessel, "GetMachNumber");
    return v ? hs::MachNumber(*v) : 0.0;
}

double VESSEL::GetControlSurfaceLevel(AIRCTRL_TYPE type) const {
    Vessel* v = Live(vessel, "GetControlSurfaceLevel");
    return v ? hs::ControlSurfaceLevel(*v, type) : 0.0;
}

double VESSEL::GetMass() const {
    Vessel* v = Live(vessel, "GetMass");
    return v ? hs::TotalMass(*v) : 0.0;
}

void VESSEL::AddForce(const VECTOR3& F, const VECTOR3& r) const {
    if (Vessel* v = Live(vessel, "AddForce")) v->addedForces.push_back(Vessel::AddedForce{F, r});
}

void VESSEL::GetAngularVel(VECTOR3& avel) const {
    Vessel* v = Live(vessel, "GetAngularVel");
    avel = v ? v->phys.omega : _V(0, 0, 0);
}

void VESSEL::SetAngularVel(const VECTOR3& avel) const {
    if (Vessel* v = Live(vessel, "SetAngularVel")) {
        v->phys.omega = avel;
        // A vessel told to spin is no longer resting on the ground.
        if (avel.x != 0.0 || avel.y != 0.0 || avel.z != 0.0) v->phys.landed = false;
    }
}

int VESSEL::GetFlightStatus() const {
    Vessel* v = Live(vessel, "GetFlightStatus");
    return v ? (int)hs::FlightStatus(*v) : 0;
}
