// The host's physics: bodies and atmospheres, the per-frame rigid-body step, ground contact, links and
// telemetry.
//
// physics: implemented in hostsim/physics (hostsim/physics/vessel_physics_api.cpp); hostsim/lib must not
// define:
//   VESSEL::GetWeightVector, GetAtmPressure, GetHorizonAirspeedVector, GroundContact, GetAltitude,
//   GetAirspeed, GetAOA, GetMachNumber, GetControlSurfaceLevel, GetMass, AddForce, GetAngularVel,
//   SetAngularVel, GetFlightStatus; in hostsim/physics/vessel_airdata_api.cpp the air data, attitude, load,
//   touchdown and control-surface readouts (GetAtmDensity ... SetControlSurfaceLevel, SetCW); and in hostsim/physics/host_glue.cpp: hs::StepPhysics (declared in
//   lib/host.h), oapiGetInducedDrag, oapiGetWaveDrag.
// Everything else of VESSEL and oapi* is hostsim/lib's; it calls the functions below where it needs motion.
//
// Frames and conventions
// - Global frame: non-rotating, left-handed like the vessel frame, with the axes of the host's ecliptic
//   frame; every body sits still at its own position from bodies.cfg (Earth at the origin), the star where
//   the scenario's date puts it (PlaceStar). PhysicsState::pos/vel are global. What modules read is the host's
//   frame (ToHostFrame).
// - The bodies turn as the host turns them (FrameAt: sidereal period, axis tilt and precession, counted from
//   the scenario's date), each about its own centre; a body without its turn's values stands still.
// - Vessel frame: x right, y up, z forward; global = R * local + pos; omega is in the vessel frame (rad/s).
// - Body frame and surface coordinates: the body's pole is the body frame's +y, longitude 0 lies along its +x
//   and longitude grows toward its +z (east); global = FrameAt(...).R * body + body pos. lng/lat/heading in
//   radians; heading from north toward east.
// - Local horizon frame (GetHorizonAirspeedVector, HorizonAirspeedVector): x east, y up, z north, of the
//   turning surface.
// - Airspeed = velocity relative to the windless air, which turns with the body; ground contact and friction
//   count the moving ground's speed. A landed vessel goes round with the ground (and reports no spin, as the
//   host does).
//
// Ground: each touchdown point that reaches below the body's sphere is a spring and damper pushing along the
// surface normal at that point, as the host models it: stiffness 20 N/(m kg) times the empty mass the vessel had
// when its points were set, damping 0.1 s times the stiffness. The pushes turn the vessel too, so a vessel whose
// centre of mass lies outside its points' triangle does not rest level and a bounce can tip it over. Friction stops each point along the wheels (rolling resistance muLng,
// plus the wheel brakes on points 1 = left and 2 = right, each up to maxWheelbrakeForce) and across them
// (muLat); the nose wheel (point 0) turns up to 30 degrees with the rudder when steering is on. A vessel that
// comes to rest on all three points is held exactly still (landed) until the forces on it would lift it or
// overcome that friction, or until its touchdown points change. A vessel placed landed rests where the host
// puts it: the springs compressed so they carry its whole weight without a turning moment (a point whose
// share comes out negative hangs above the ground), the plane through the compressed points laid level.
//
// Order inside one frame: the host runs every clbkPreStep, then PhysicsStep once for all live vessels, then
// every clbkPostStep. PhysicsStep consumes what the pre-steps left: thruster levels (overrideLevel is cleared
// after use: it lasts one frame), AddForce lists (cleared after use), control-surface targets, wheel brakes.
#pragma once

#include "world.h"

#include <string>
#include <vector>

namespace hs {

// Counted as misuse by the host (defined in hostsim/lib/world.cpp).
void CountMisuse(const char* what);

// ---------------------------------------------------------------------------------------------------------------
// Bodies and atmospheres
// ---------------------------------------------------------------------------------------------------------------

enum AtmosphereModel { ATM_NONE = 0, ATM_LAYERED = 1, ATM_EXPONENTIAL = 2 };

struct Atmosphere {
    AtmosphereModel model = ATM_NONE;
    double p0 = 0.0;   // Pa at the surface
    double T0 = 0.0;   // K at the surface
    double R = 287.05; // J/(kg K), specific gas constant
    double gamma = 1.4;
    double scaleHeight = 0.0; // m, exponential model only
    double top = 0.0;         // m altitude: above it pressure and density are exactly 0
};

// How a body turns, in the host's terms and units (its Config/<name>.cfg keys): a sidereal period in
// seconds, the rotation offset at the element epoch, the axis' obliquity and node against the precession
// reference at LAN_MJD, that reference's own tilt, and the precession period in days (0: none).
struct Spin {
    double period = 1e100;      // SidRotPeriod, s: the host's "does not turn"
    double offset = 0.0;        // SidRotOffset, rad
    double obliquity = 0.0;     // Obliquity, rad
    double lan = 0.0;           // LAN, rad
    double lanMjd = 51544.5;    // LAN_MJD
    double precPeriod = 0.0;    // PrecessionPeriod, days
    double precObliquity = 0.0; // PrecessionObliquity, rad
    double precLan = 0.0;       // PrecessionLAN, rad
    double epochMjd = 51544.5;  // the epoch of the body's elements (J2000 unless its file names one)
};

struct Body final : public OrbiterObject {
    int Type() const override { return star ? OBJTP_STAR : OBJTP_PLANET; }
    char name[32] = {};
    bool star = false; // the system's sun: it stands where the scenario's date puts it (PlaceStar)
    int parent = -1;   // table index of the body it circles; -1: the star's own, or none
    double radius = 0.0; // m
    double gm = 0.0;     // m^3/s^2
    VECTOR3 pos{};       // global
    Atmosphere atm;
    Spin spin;
};

// A body's orientation at one moment, as the host works it out: R turns the body's frame (pole +y, longitude
// 0 along +x, growing toward +z) into the global one; w is its angular velocity in the global frame, so that
// a point fixed on the body moves at crossp(w, r).
struct BodyFrame {
    MATRIX3 R{{1, 0, 0, 0, 1, 0, 0, 0, 1}};
    VECTOR3 w{};
    MATRIX3 Recl{{1, 0, 0, 0, 1, 0, 0, 0, 1}}; // the axis' tilt alone
    double rotation = 0.0;                     // rad, the turn about the axis, in [0, 2 pi)
    double obliquity = 0.0;                    // rad, of the axis against the global y axis
    double theta = 0.0;                        // rad, the longitude of the axis' ascending node
};
// At simulated time simt of the world whose scenario starts at mjd0.
BodyFrame FrameAt(const Body& b, double mjd0, double simt);
// At the world's present time.
BodyFrame FrameNow(const Body& b);
// Reads the host's rotation keys from a body file (Config/<name>.cfg in the host's own format); keys it lacks
// keep their values. False when the file cannot be read.
bool ReadSpin(const std::string& path, Spin& spin);
// One of those keys by name (or ElementsEpoch, an MJD); false when the name is none of them.
bool SetSpinKey(Spin& spin, const char* key, double value);
// The velocity of the ground (and of the air, which turns with it) at a global position over body b.
VECTOR3 SurfaceVelocity(const BodyFrame& f, const Body& b, const VECTOR3& pos);
// A vessel's attitude against its body's frame (vessel frame -> body frame).
MATRIX3 BodyLocalAttitude(const Vessel& v);

struct AtmState {
    double p = 0.0;   // Pa
    double rho = 0.0; // kg/m^3
    double T = 0.0;   // K
    double a = 0.0;   // m/s, speed of sound
};

// The table comes from Config/bodies.cfg under the current directory (the host root) the first time any body
// is asked for; without that file the built-in Earth, Moon and Sun serve. LoadBodies reads a given file now.
bool LoadBodies(const std::string& path, std::string* err);
int BodyCount();
const Body* GetBody(int index);                   // null when out of range
int BodyIndexByName(const char* name);            // case-insensitive; -1 when unknown
int StarIndex();                                  // the table's star, or -1
int DominantBody(const VECTOR3& pos);             // the body whose pull is strongest there, as the host picks
int NearestBody(const VECTOR3& pos);              // the body whose surface is nearest
// The body a vessel's state is given against (GetStatus, the save, GetGravityRef): with a star in the table, the
// strongest pull, as the host takes its orbit reference; a landed vessel's own body. Its surface readouts and
// its gravity stay with the body it is bound to (PhysicsState::body).
int OrbitReference(const Vessel& v);

// The host's global frame has its origin at the solar system's centre of mass, where the planets circle the
// Sun; hostsim's keeps its planets still where its table puts them. A table with a star sets the star where
// the Sun stands seen from the Earth on the scenario's date, and every global place a module reads or gives is
// moved by the one shift that puts the Sun where the host has it: modules that take the Sun's place for the
// origin, as the host's own do, see the sky they see there. Velocities are not moved: the bodies stand still.
void PlaceStar(double mjd);
VECTOR3 ToHostFrame(const VECTOR3& pos);   // hostsim's global place -> the host's
VECTOR3 FromHostFrame(const VECTOR3& pos); // the host's -> hostsim's
AtmState AtmosphereAt(int body, double altitude); // all 0 without atmosphere or above its top

// ---------------------------------------------------------------------------------------------------------------
// Queries on one vessel (what the VESSEL methods report)
// ---------------------------------------------------------------------------------------------------------------

double TotalMass(const Vessel& v);      // empty mass + every live propellant resource; may be <= 0
double PropellantMass(const Vessel& v); // every live resource
double Altitude(const Vessel& v);       // m above the body's mean radius, of the centre of mass
VECTOR3 WeightVector(const Vessel& v);  // vessel frame, N: TotalMass * g, g pointing at the body's centre
double AtmPressure(const Vessel& v);    // Pa; exactly 0 above the atmosphere and on airless bodies
double AtmDensity(const Vessel& v);
double AtmTemperature(const Vessel& v);
double SpeedOfSound(const Vessel& v);
VECTOR3 AirspeedVectorLocal(const Vessel& v); // vessel frame
// Local horizon frame. On the frame in which a vessel touches down it shows the velocity it touched down
// with.
VECTOR3 HorizonAirspeedVector(const Vessel& v);
double Airspeed(const Vessel& v);
double AOA(const Vessel& v); // rad: atan2(-vy, vz) of the vessel-frame airspeed; nose above the path > 0
double SlipAngle(const Vessel& v);  // rad: atan2(-vx, vz)
double MachNumber(const Vessel& v); // 0 without atmosphere
bool GroundContact(const Vessel& v);
double Pitch(const Vessel& v); // rad: the nose above the local horizon
double Bank(const Vessel& v);  // rad: the right wing above the local horizon; +-pi upside down
// Whose surface readouts (altitude, airspeed, angle of attack, pitch, bank) a vessel reports: an attached vessel
// reports those of the vessel at the top of its attachment tree, as the host gives them.
const Vessel& SurfaceOwner(const Vessel& v);
// Sets the springs of v's touchdown points from its empty mass now, as the host does when the points are set.
void TouchdownSprings(Vessel& v);
DWORD FlightStatus(const Vessel& v); // bit 0 landed (at rest on the ground), bit 1 docked
double Yaw(const Vessel& v);   // rad 0..2pi: the nose's heading from north toward east (straight up: the belly's)
double ControlSurfaceLevel(const Vessel& v, AIRCTRL_TYPE type); // that kind's level, with or without a surface

// ---------------------------------------------------------------------------------------------------------------
// Placing vessels and reading their state back
// ---------------------------------------------------------------------------------------------------------------

// At rest on its touchdown points at the given surface position, heading from north toward east (radians).
void PlaceLanded(Vessel& v, int body, double lng, double lat, double hdg);
// status->status 1: PlaceLanded from surf_lng/surf_lat/surf_hdg; otherwise free flight from rpos/rvel
// (relative to the body), arot (Euler angles, see AttitudeFromAngles) and vrot (rad/s). The body index is the
// host's mapping of status->rbody (use the vessel's current body when rbody is null).
void FromStatus(Vessel& v, const VESSELSTATUS2& st, int body);
// A landed vessel of a scenario block that gave its attitude (AROT, in the body's frame as a save writes it) and
// its centre's height (ALT) is put there, as the host puts it, rather than laid on its springs anew.
void KeepSavedLandedPlace(Vessel& v, const VESSELSTATUS2& st);
// Fills status, rpos, rvel, vrot, arot, surf_lng/lat/hdg; rbody and the lists are the host's to fill.
void ToStatus(const Vessel& v, VESSELSTATUS2& st);
// R = Rz(gamma) * Ry(beta) * Rx(alpha) for arot = (alpha, beta, gamma); MatrixToEuler is its inverse.
MATRIX3 EulerToMatrix(const VECTOR3& arot);
VECTOR3 MatrixToEuler(const MATRIX3& R);
// The attitude a free vessel's angles name (AROT, VESSELSTATUS2::arot), and back: the transpose of the above.
MATRIX3 AttitudeFromAngles(const VECTOR3& arot);
VECTOR3 AnglesOfAttitude(const MATRIX3& R);
// Surface position and heading (radians) of a vessel, whether landed or not.
void SurfacePosition(const Vessel& v, double* lng, double* lat, double* hdg);

// ---------------------------------------------------------------------------------------------------------------
// Links. The host keeps the records (Attachment::other/otherPoint, DockPort::mate/matePort); the physics
// moves a child attached to a parent, and every docked vessel, rigidly with its root vessel each step.
// ---------------------------------------------------------------------------------------------------------------

// Child's attachment point on the parent's point, its dir along the parent point's dir, rot vectors aligned.
// Call right after linking so the child is in place before the next step.
void PlaceAttachedChild(const Vessel& parent, const hs::Attachment& parentPoint, Vessel& child,
                        const hs::Attachment& childPoint);
// Gives a child that is being detached the parent's point velocity plus vel m/s along the parent point's
// direction. Call before or after unlinking; the links are not touched.
void ReleaseChild(const Vessel& parent, const hs::Attachment& parentPoint, Vessel& child,
                  const hs::Attachment& childPoint, double vel);
// Docked ports face each other (dirs opposite), rot vectors aligned, port positions coinciding: b is moved
// to a (and takes a's velocity and spin).
void PlaceDocked(const Vessel& a, const hs::DockPort& pa, Vessel& b, const hs::DockPort& pb);
// Docking by proximity, once a frame after the post-step callbacks (simt1: the time the step reached).
void CaptureDocks(double simt1);

// ---------------------------------------------------------------------------------------------------------------
// The step
// ---------------------------------------------------------------------------------------------------------------

// One fixed step of dt seconds for every live vessel; simt is the simulated time at the start of the step.
// Attachment trees and docked groups move as one body. Deterministic: same input, same numbers.
// A vessel whose total mass is at or below zero is not moved that step and a misuse is counted.
void PhysicsStep(std::vector<Vessel*>& vessels, double dt, double simt);

// Forget per-process physics state (telemetry, body table) for a fresh world.
void ResetPhysics();

// ---------------------------------------------------------------------------------------------------------------
// Telemetry: CSV rows "time,name,x,y,z,vx,vy,vz,altitude,airspeed,mass,propellant,ground_contact,pitch,bank"
// (pitch and bank in degrees)
// ---------------------------------------------------------------------------------------------------------------

// Starts the file and writes the header; the file takes its place at TelemetryClose. interval in simulated
// seconds; 0 writes every frame. PhysicsStep then writes one row per vessel at the start time and after every
// interval.
bool TelemetryOpen(const std::string& path, double interval, std::string* err);
// Puts the file in place whole; false with why when it could not be written (the old file then stays).
bool TelemetryClose(std::string* err = nullptr);

} // namespace hs
