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
    hs::CallTrace trace(v, __func__, G);
    G = v ? hs::WeightVector(*v) : _V(0, 0, 0);
    return trace.Result(v != nullptr);
}

double VESSEL::GetAtmPressure() const {
    Vessel* v = Live(vessel, "GetAtmPressure");
    hs::CallTrace trace(v, __func__);
    return trace.Result(v ? hs::AtmPressure(*v) : 0.0);
}

bool VESSEL::GetHorizonAirspeedVector(VECTOR3& out) const {
    Vessel* v = Live(vessel, "GetHorizonAirspeedVector");
    hs::CallTrace trace(v, __func__, out);
    out = v ? hs::HorizonAirspeedVector(hs::SurfaceOwner(*v)) : _V(0, 0, 0);
    return trace.Result(v != nullptr);
}

bool VESSEL::GroundContact() const {
    Vessel* v = Live(vessel, "GroundContact");
    hs::CallTrace trace(v, __func__);
    return trace.Result(v ? hs::GroundContact(*v) : false);
}

double VESSEL::GetAltitude() const {
    Vessel* v = Live(vessel, "GetAltitude");
    hs::CallTrace trace(v, __func__);
    return trace.Result(v ? hs::Altitude(hs::SurfaceOwner(*v)) : 0.0);
}

double VESSEL::GetAirspeed() const {
    Vessel* v = Live(vessel, "GetAirspeed");
    hs::CallTrace trace(v, __func__);
    return trace.Result(v ? hs::Airspeed(hs::SurfaceOwner(*v)) : 0.0);
}

double VESSEL::GetAOA() const {
    Vessel* v = Live(vessel, "GetAOA");
    hs::CallTrace trace(v, __func__);
    return trace.Result(v ? hs::AOA(hs::SurfaceOwner(*v)) : 0.0);
}

double VESSEL::GetMachNumber() const {
    Vessel* v = Live(vessel, "GetMachNumber");
    hs::CallTrace trace(v, __func__);
    return trace.Result(v ? hs::MachNumber(*v) : 0.0);
}

double VESSEL::GetControlSurfaceLevel(AIRCTRL_TYPE type) const {
    Vessel* v = Live(vessel, "GetControlSurfaceLevel");
    hs::CallTrace trace(v, __func__, type);
    return trace.Result(v ? hs::ControlSurfaceLevel(*v, type) : 0.0);
}

double VESSEL::GetMass() const {
    Vessel* v = Live(vessel, "GetMass");
    hs::CallTrace trace(v, __func__);
    return trace.Result(v ? hs::TotalMass(*v) : 0.0);
}

void VESSEL::AddForce(const VECTOR3& F, const VECTOR3& r) const {
    Vessel* v = Live(vessel, "AddForce");
    hs::CallTrace trace(v, __func__, F, r);
    if (!v) return;
    v->addedForces.push_back(Vessel::AddedForce{F, r});
    // A force from another vessel's step is a strike or a push: news for whoever reads the timeline.
    const Vessel* from = hs::W().stepping;
    if (from && from != v) hs::Say("%s pushes %s: force %.1f N", from->tag.c_str(), v->tag.c_str(), length(F));
}

// The host's angular velocity turns the other way round from the physics' own (the host's frames are
// left-handed): it changes sign where it crosses the interface, here and in the scenario's VROT.
void VESSEL::GetAngularVel(VECTOR3& avel) const {
    Vessel* v = Live(vessel, "GetAngularVel");
    hs::CallTrace trace(v, __func__, avel);
    avel = v ? -v->phys.omega : _V(0, 0, 0);
}

void VESSEL::SetAngularVel(const VECTOR3& avel) const {
    Vessel* v = Live(vessel, "SetAngularVel");
    hs::CallTrace trace(v, __func__, avel);
    if (!v) return;
    v->phys.omega = -avel;
    // A vessel told to spin is no longer resting on the ground.
    if (avel.x != 0.0 || avel.y != 0.0 || avel.z != 0.0) v->phys.landed = false;
}

int VESSEL::GetFlightStatus() const {
    Vessel* v = Live(vessel, "GetFlightStatus");
    hs::CallTrace trace(v, __func__);
    return trace.Result(v ? (int)hs::FlightStatus(*v) : 0);
}
