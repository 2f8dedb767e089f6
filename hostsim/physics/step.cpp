// The per-frame rigid-body step: loads on each vessel, linked groups as one body, ground support and
// friction.
#include "lib/host.h"
#include "physics_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hs {

using namespace phys;

namespace {

constexpr double SUBSTEP_SWING = 0.3;          // rad: a sub-step covers at most this much of a spring's swing
constexpr double SUBSTEP_DAMPING = 0.5;        // a sub-step's damping takes at most half a point's speed
constexpr double NOSEWHEEL_MAX_ANGLE = 0.5236; // rad: the nose wheel turns 30 degrees at full rudder
constexpr double REST_SPEED = 0.02;            // m/s: slower than this on all three points, a vessel settles
constexpr double REST_SPIN = 0.01;             // rad/s
constexpr double REST_SUPPORT_SHARE = 0.1;     // settle only while the support carries the load within 10 %
// The host calls a vessel landed once it stood still this long, looking at least this often, and takes it for
// moving at more than these rates (of the squared distance and of the turn, the planet's own turn included).
constexpr double LANDING_TEST_TIME = 5.0;   // s
constexpr double LANDING_TEST_LOOK = 0.1;   // s
constexpr double LANDING_TEST_MOVE = 1e-4;  // m^2/s
constexpr double LANDING_TEST_TURN = 1e-4;  // rad/s
constexpr double AIR_VISCOSITY = 1.7894e-5;    // kg/(m s): the host's one value for its Reynolds numbers
constexpr double SPIN_DAMPING_SPEED = 30.0;    // m/s added to the airspeed in the pressure that damps a spin
constexpr double MAX_SUPPORT_DEPTH = 1.0;      // m: deeper points push no harder, so a vessel put below the
                                               // surface climbs out instead of being shot away
constexpr int MAX_SUBSTEPS = 500;
constexpr int MAX_LINK_DEPTH = 64;

// One vessel of a group that moves as one body; links place it from an earlier member after the step.
struct Part {
    double mass;
    VECTOR3 inertia, F, T; // own frame, about its own centre of mass
    MATRIX3 Q;             // own frame -> root frame
    VECTOR3 r;             // its centre of mass in the root frame
};

struct Member {
    Vessel* v;
    int from; // index of the member it is placed from; -1 for the root
    VECTOR3 px, py;
    MATRIX3 Mx, My;
    Part part;
    bool carried = false; // hangs on an attachment point (not docked)
};

struct Scratch {
    std::vector<Member> members;
    unsigned long step = 0;
    double t0 = 0.0, t1 = 0.0; // simulated times the step starts and ends at
};

Scratch& S() {
    static Scratch s;
    return s;
}

inline bool InStep(const Vessel* v) {
    return Alive(v) && v->phys.stepMark == S().step;
}

double Clamp(double x, double lo, double hi) {
    return x < lo ? lo : (x > hi ? hi : x);
}

VECTOR3 GravityAt(const Body& b, const VECTOR3& pos) {
    VECTOR3 r = pos - b.pos;
    double rl = length(r);
    if (rl < 1.0) return _V(0, 0, 0);
    return r * (-b.gm / (rl * rl * rl));
}

DWORD ControlBit(AIRCTRL_TYPE t) {
    switch (t) {
    case AIRCTRL_ELEVATOR:
        return 1;
    case AIRCTRL_RUDDER:
        return 2;
    case AIRCTRL_AILERON:
        return 4;
    default:
        return 0; // flaps and trims follow the pilot whatever the mode
    }
}

// Each kind of surface travels toward the module's setting plus the pilot's stick at 1/delay per second, the
// delay of the kind's last surface made (1 s without one); the pilot's part of a kind whose control is switched
// off is nothing. A jump the module asked for moves every kind at once, as in the host. Each surface's
// animation shows its kind's level, neutral at half travel.
void MoveControlSurfaces(Vessel& v, double dt) {
    double pilot[6] = {}, delay[6] = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
    for (auto& cp : v.ctrlSurfaces) {
        const hs::ControlSurface& c = *cp;
        if ((unsigned)c.type >= 6u) continue;
        DWORD bit = ControlBit(c.type);
        pilot[c.type] = (bit == 0 || (v.adCtrlMode & bit)) ? c.target : 0.0;
        delay[c.type] = c.delay;
    }
    for (int k = 0; k < 6; ++k) {
        double target = Clamp(v.surfaceSetting[k] + pilot[k], -1.0, 1.0);
        double& level = v.surfaceLevel[k];
        if (v.surfaceDirect || !(delay[k] > 0.0)) {
            level = target;
            continue;
        }
        double rate = dt / delay[k];
        if (level < target)
            level = fmin(target, level + rate);
        else if (level > target)
            level = fmax(target, level - rate);
    }
    v.surfaceDirect = false;
    for (auto& cp : v.ctrlSurfaces) {
        hs::ControlSurface& c = *cp;
        if ((unsigned)c.type < 6u) c.level = v.surfaceLevel[c.type];
        if (c.anim != (UINT)-1 && c.anim < v.animations.size())
            v.animations[c.anim].state = (c.level + 1.0) * 0.5;
    }
}

// A surface's force in the flow's lift (ldir) or side (sdir) direction: a positive level on a +x hinge at the
// tail pushes the tail down (nose up), on a +y hinge pushes it left (nose right).
VECTOR3 SurfaceLift(const hs::ControlSurface& c, const VECTOR3& ldir, const VECTOR3& sdir, double clift) {
    int axis = c.axis;
    if (axis == AIRCTRL_AXIS_AUTO)
        axis =
            c.type == AIRCTRL_RUDDER || c.type == AIRCTRL_RUDDERTRIM ? AIRCTRL_AXIS_YPOS : AIRCTRL_AXIS_XPOS;
    switch (axis) {
    case AIRCTRL_AXIS_YPOS:
        return sdir * clift;
    case AIRCTRL_AXIS_YNEG:
        return sdir * -clift;
    case AIRCTRL_AXIS_XNEG:
        return ldir * -clift;
    default:
        return ldir * clift;
    }
}

bool Finite(const VECTOR3& a) {
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

void Refused(const Vessel& v, const char* what) {
    char line[200];
    snprintf(line, sizeof line, "physics: vessel \"%.63s\": %s was ignored", v.name.c_str(), what);
    CountMisuse(line);
}

void AddAt(VECTOR3& F, VECTOR3& T, const VECTOR3& f, const VECTOR3& r) {
    F += f;
    T += crossp(r, f);
}

// A vessel without airfoils: drag along the flow from the cross sections each weighted by its drag coefficient
// (the forward one for a flow from either end, as the host does), and a spin decays with the air's density.
// The older model's module items add to it: moments that turn the nose into the flow (the elevator trim
// shifting the pitch's zero), and lift from a coefficient of the angle of attack with its induced drag.
void PlainAerodynamics(Vessel& v, const AtmState& atm, const VECTOR3& va, double speed, VECTOR3& F,
                       VECTOR3& T) {
    if (!(speed > 1e-8)) return;
    const VECTOR3& w = v.phys.omega;
    const VECTOR3& cs = v.crossSections;
    double fac = v.size * TotalMass(v) * atm.rho;
    double aoa = atan2(-va.y, va.z), beta = atan2(va.x, va.z);
    double daoa = aoa - v.trimScale * v.surfaceLevel[AIRCTRL_ELEVATORTRIM];
    // The host's moments turn the other way round from this frame's torques.
    T += _V(fac * speed * cs.y * sin(daoa) * v.pitchMomentScale, fac * speed * cs.x * sin(beta) * v.bankMomentScale,
            0.0);
    T -= _V(fac * w.x * v.rotDrag.x, fac * w.y * v.rotDrag.y, fac * w.z * v.rotDrag.z);
    VECTOR3 n = va / speed;
    double q = 0.5 * atm.rho * speed * speed;
    double drag = 0.0, cl = 0.0;
    if (v.liftCoeff && (cl = v.liftCoeff(aoa)) != 0.0) {
        double lift = cl * q * cs.y;
        double norm = std::hypot(va.z, va.y);
        if (norm > 0.0) F += _V(0, va.z, -va.y) * (lift / norm);
        v.phys.lift += lift;
        drag = lift * cl / (v.wingAspect * v.wingEffectiveness);
    }
    double area = 0.5 * (cs.x * v.cw[2] * fabs(n.x) + cs.y * v.cw[3] * fabs(n.y) + cs.z * v.cw[0] * fabs(n.z));
    drag += area * q;
    F -= n * drag;
    v.phys.drag += drag;
}

// The host's airfoil model: a spin is damped by a pressure that counts 30 m/s more airspeed (so a ship
// hovering in still air is damped too), never by more than stops it in one step; airfoils give lift and drag
// (an airfoil without an area takes the cross sections it shows the flow) and their moment; control surfaces
// lift along the flow's lift or side direction and drag with their deflection.
void Aerodynamics(Vessel& v, const AtmState& atm, const VECTOR3& inertia, double dt, VECTOR3& F, VECTOR3& T) {
    VECTOR3 va = AirspeedVectorLocal(v);
    double speed = length(va);
    if (v.airfoils.empty()) {
        PlainAerodynamics(v, atm, va, speed, F, T);
        return;
    }
    // Without a flow along the ship's axis the host works out nothing.
    if (va.z == 0.0) return;
    const VECTOR3& w = v.phys.omega;
    double damp =
        0.5 * atm.rho * (speed + SPIN_DAMPING_SPEED) * (speed + SPIN_DAMPING_SPEED) * v.crossSections.y;
    T -= _V(fmin(damp * v.rotDrag.x, inertia.x / dt) * w.x, fmin(damp * v.rotDrag.y, inertia.y / dt) * w.y,
            fmin(damp * v.rotDrag.z, inertia.z / dt) * w.z);

    double q = 0.5 * atm.rho * speed * speed;
    double mach = atm.a > 0 ? speed / atm.a : 0.0;
    double re0 = atm.rho * speed / AIR_VISCOSITY;
    VECTOR3 ddir = va / -speed;
    VECTOR3 ldir = Unit(_V(0, va.z, -va.y)), sdir = Unit(_V(va.z, 0, -va.x));
    const VECTOR3& cs = v.crossSections;
    for (auto& ap : v.airfoils) {
        const hs::Airfoil& a = *ap;
        if (!a.cf && !a.cfPlain) continue;
        bool vertical = a.align == LIFT_VERTICAL;
        double angle = atan2(-(vertical ? va.y : va.x), va.z);
        double cl = 0, cm = 0, cd = 0;
        if (a.cf)
            a.cf(v.iface, angle, mach, re0 * a.c, a.context, &cl, &cm, &cd);
        else
            a.cfPlain(angle, mach, re0 * a.c, &cl, &cm, &cd);
        double S = a.S != 0.0 ? a.S
                              : (vertical ? fabs(ddir.z) * cs.z + fabs(ddir.y) * cs.y
                                          : fabs(ddir.z) * cs.z + fabs(ddir.x) * cs.z);
        AddAt(F, T, (vertical ? ldir : sdir) * (cl * q * S) + ddir * (cd * q * S), a.ref);
        // The host counts the lift of the vertical airfoils only; the drag of every airfoil.
        if (vertical) v.phys.lift += cl * q * S;
        v.phys.drag += cd * q * S;
        double moment = cm * q * a.S * a.c;
        if (vertical)
            T.x += moment;
        else
            T.y += moment;
    }
    for (auto& cp : v.ctrlSurfaces) {
        const hs::ControlSurface& c = *cp;
        if (c.level == 0.0) continue;
        double fac = c.area * q;
        AddAt(F, T, SurfaceLift(c, ldir, sdir, -c.level * fac * c.dCl) + ddir * (fabs(c.level) * fac), c.ref);
    }
    for (const Vessel::DragElement& e : v.dragElements) {
        double level = *e.drag;
        if (level == 0.0) continue;
        double drag = level * e.factor * q;
        AddAt(F, T, ddir * drag, e.ref);
        v.phys.drag += drag;
    }
}

// Everything but gravity and ground support, in the vessel's frame about its own centre of mass. Thrusters
// draw their propellant here, so this runs once per vessel and step.
void VesselLoads(Vessel& v, double dt, const VECTOR3& inertia, bool onGround, VECTOR3& F, VECTOR3& T) {
    F = _V(0, 0, 0);
    T = _V(0, 0, 0);
    v.phys.lift = v.phys.drag = 0.0;
    v.phys.thrust = _V(0, 0, 0);
    AtmState atm = AtmosphereAt(v.phys.body, Altitude(v));
    for (auto& tp : v.thrusters) {
        hs::Thruster& th = *tp;
        double level = Clamp(th.level + th.overrideLevel, 0.0, 1.0);
        hs::Propellant* res = th.res;
        if (level <= 0.0 || !res || !(res->mass > 0.0)) continue;
        double f0 = level * th.max0;
        if (!(f0 > 0.0) || !Finite(th.dir) || !Finite(th.pos) || !std::isfinite(f0)) {
            // A thruster set up with a maximum or geometry that is not a number (or a negative maximum that
            // would fill the tank) gives nothing rather than poisoning the vessel's state.
            if (f0 != 0.0) Refused(v, "a thruster with an unusable maximum, direction or position");
            continue;
        }
        double thrust = f0;
        if (th.ispRef > 0.0 && th.pRef > 0.0 && th.isp0 > 0.0) {
            // Thrust falls with the outside pressure as the Isp does; the flow stays.
            double isp = fmax(0.0, th.isp0 - (th.isp0 - th.ispRef) * atm.p / th.pRef);
            thrust = f0 * isp / th.isp0;
        }
        if (th.isp0 > 0.0) {
            double eff = res->efficiency > 0.0 ? res->efficiency : 1.0;
            double need = f0 / (th.isp0 * eff) * dt;
            if (need > res->mass) {
                thrust *= res->mass / need; // the last of the tank burns for part of the step
                res->mass = 0.0;
            } else {
                res->mass -= need;
            }
        }
        AddAt(F, T, Unit(th.dir) * thrust, th.pos);
        v.phys.thrust += Unit(th.dir) * thrust;
    }
    for (const auto& a : v.addedForces) {
        if (Finite(a.F) && Finite(a.r))
            AddAt(F, T, a.F, a.r);
        else
            Refused(v, "a force that is not a number");
    }
    // The host works out no air loads for a vessel at rest on the ground, nor for the parts of a group that
    // rests there.
    if (atm.rho > 0.0 && !onGround) Aerodynamics(v, atm, inertia, dt, F, T);
}

// Writes only what was set: a thruster record left clean need not go back to memory.
void ClearFrameInputs(Vessel& v) {
    for (auto& tp : v.thrusters)
        if (tp->overrideLevel != 0.0) tp->overrideLevel = 0.0;
    if (!v.addedForces.empty()) v.addedForces.clear();
}

VECTOR3 InertiaOf(const Vessel& v, double m) {
    double am = fabs(m);
    const double floor = 1e-9;
    return _V(fmax(v.pmi.x * am, floor), fmax(v.pmi.y * am, floor), fmax(v.pmi.z * am, floor));
}

// The longitudinal axis of touchdown point i on the ground plane; the nose wheel turns with the rudder.
VECTOR3 WheelAxis(const Vessel& v, const Touchdown& td, int i, const MATRIX3& R, const VECTOR3& up) {
    VECTOR3 f = td.fwd;
    if (i == 0 && v.nosewheelSteering) {
        double a = ControlSurfaceLevel(v, AIRCTRL_RUDDER) * NOSEWHEEL_MAX_ANGLE;
        f = td.fwd * cos(a) + td.right * sin(a);
    }
    VECTOR3 g = mul(R, f);
    return Unit(g - up * dotp(g, up));
}

double BrakeForce(const Vessel& v, int i) {
    if (i == 0) return 0.0;
    return Clamp(v.wheelbrake[i - 1], 0.0, 1.0) * fmax(0.0, v.maxWheelbrakeForce);
}

// Whether a vessel at rest stays at rest under the net force F (gravity included): it must press on the
// ground, and static friction (rolling resistance plus brakes along the wheels, side grip across) holds it.
bool HoldsStill(const Vessel& v, const Touchdown& td, const VECTOR3& F, const VECTOR3& up) {
    double N = -dotp(F, up);
    if (N <= 0.0) return false;
    VECTOR3 ft = F + up * N;
    VECTOR3 l = WheelAxis(v, td, 1, v.phys.R, up);
    VECTOR3 s = crossp(up, l);
    double capL = v.muLng * N + BrakeForce(v, 1) + BrakeForce(v, 2);
    double capS = v.muLat * N;
    return fabs(dotp(ft, l)) <= capL && fabs(dotp(ft, s)) <= capS;
}

struct Body6 {
    double m;
    VECTOR3 I;      // principal moments about the root's axes
    VECTOR3 Fb, Tb; // root frame: loads without gravity and support
};

// 1 / the mass a push along e (global) at body point r meets: the body's mass and its turn about the centre.
double InverseMassAt(const PhysicsState& s, const Body6& b, const VECTOR3& r, const VECTOR3& e) {
    VECTOR3 w = crossp(r, tmul(s.R, e));
    return 1.0 / b.m + w.x * w.x / b.I.x + w.y * w.y / b.I.y + w.z * w.z / b.I.z;
}

// A friction impulse along e at body point r, at most jmax, that stops the point's motion along e if it can.
void FrictionImpulse(PhysicsState& s, const Body6& b, const VECTOR3& r, const VECTOR3& e, double jmax,
                     const VECTOR3& ground) {
    VECTOR3 u = s.vel + mul(s.R, crossp(s.omega, r)) - ground;
    double ue = dotp(u, e);
    VECTOR3 w = crossp(r, tmul(s.R, e));
    double k = InverseMassAt(s, b, r, e);
    double j = Clamp(-ue / k, -jmax, jmax);
    s.vel += e * (j / b.m);
    s.omega += Div(w * j, b.I);
}

// The host's touchdown test, looked at after a step: true once the vessel has touched the ground without thrust
// and kept still for the test's time.
bool LandingTestPassed(Vessel& v, const Body& body) {
    PhysicsState& s = v.phys;
    const double t = S().t1;
    if (!s.groundContact || length2(s.thrust) > 0.0) {
        s.testing = false;
        return false;
    }
    const MATRIX3 turn = FrameAt(body, W().env.mjd0, t).R;
    const VECTOR3 pos = tmul(turn, s.pos - body.pos);
    if (!s.testing) {
        s.testing = true;
        s.testStart = s.testLook = t;
        s.testPos = pos;
        s.testR = s.R;
        return false;
    }
    const double dt = t - s.testLook;
    if (dt < LANDING_TEST_LOOK - 1e-9) return false;
    const MATRIX3 d = mul(Transpose(s.testR), s.R);
    const double turned = acos(std::clamp((d.m11 + d.m22 + d.m33 - 1.0) / 2.0, -1.0, 1.0));
    const bool moving = length2(pos - s.testPos) / dt > LANDING_TEST_MOVE || turned / dt > LANDING_TEST_TURN;
    s.testPos = pos;
    s.testR = s.R;
    s.testLook = t;
    if (moving) s.testStart = t;
    return t - s.testStart > LANDING_TEST_TIME;
}

// Moves one group's centre of mass through the step: gravity and the loads held over the step as velocity
// Verlet, spring-damper support on the touchdown points and friction impulses, sub-stepped near the ground.
void IntegrateBody(Vessel& v, const Body6& b, Touchdown td, double dt) {
    PhysicsState& s = v.phys;
    const Body& body = BodyOf(v);
    VECTOR3 Fg = mul(s.R, b.Fb);
    VECTOR3 g = GravityAt(body, s.pos);
    bool wasContact = s.groundContact || s.landed;

    if (s.landed) {
        Horizon hz = HorizonAt(body, s.pos);
        // A resting vessel stays put on the turning ground while it keeps the points it rests on (a gear
        // raised on the ground lets it down onto the new points) and the ground holds the forces on it.
        bool seated = true;
        for (int i = 0; i < 3; ++i)
            if (dist(s.restPoints[i], v.touchdown[i]) > 0.0) seated = false;
        if (seated && HoldsStill(v, td, Fg + g * b.m, hz.up)) {
            CarryWithSurface(s, body, S().t0, S().t1);
            s.groundContact = true;
            return;
        }
        s.landed = false;
    }

    // Near the ground the step is cut fine enough for the stiffest swing and the strongest damping that the
    // springs give the body, moving or turning.
    Springs sp = SpringsOf(v);
    double reach2 = 0.0, lowest = 1e300;
    for (int i = 0; i < 3; ++i) {
        reach2 = fmax(reach2, length2(td.p[i]));
        lowest = fmin(lowest, length(s.pos + mul(s.R, td.p[i]) - body.pos) - body.radius);
    }
    double perMass = 3.0 * fmax(1.0 / b.m, reach2 / fmin(b.I.x, fmin(b.I.y, b.I.z))); // 1/kg
    double swing = sqrt(fabs(sp.k) * perMass), damp = fabs(sp.c) * perMass;           // 1/s
    int n = 1;
    const VECTOR3 spinAxis = FrameAt(body, W().env.mjd0, S().t0).w;
    double speed = length(s.vel - crossp(spinAxis, s.pos - body.pos));
    if (wasContact || lowest < speed * dt + 0.5 * length(g) * dt * dt + 1.0) {
        double need = dt * fmax(swing / SUBSTEP_SWING, damp / SUBSTEP_DAMPING);
        n = (int)Clamp(ceil(need), 1.0, (double)MAX_SUBSTEPS);
    }
    double h = dt / n;
    bool contact = wasContact;
    double support[3] = {0, 0, 0};
    // Support: a spring and damper on each point below the surface, pushing along the surface normal there.
    // A push no sub-step can follow (more sub-steps than allowed) is softened to the point's own mass, so it
    // never throws the vessel off.
    VECTOR3 Fc{}, Tc{};
    auto supportNow = [&]() {
        Fc = _V(0, 0, 0);
        Tc = _V(0, 0, 0);
        for (int i = 0; i < 3; ++i) {
            support[i] = 0.0;
            VECTOR3 rel = s.pos + mul(s.R, td.p[i]) - body.pos;
            double rl = length(rel);
            double depth = body.radius - rl;
            if (depth <= 0.0) continue;
            VECTOR3 nrm = rel / rl;
            double un = dotp(s.vel + mul(s.R, crossp(s.omega, td.p[i])), nrm);
            double mPoint = 1.0 / InverseMassAt(s, b, td.p[i], nrm);
            double k = fmin(sp.k, mPoint * SUBSTEP_SWING * SUBSTEP_SWING / (h * h));
            double c = fmin(sp.c, mPoint * SUBSTEP_DAMPING / h);
            double fn = fmax(0.0, k * fmin(depth, MAX_SUPPORT_DEPTH) - c * un);
            support[i] = fn;
            Fc += nrm * fn;
            Tc += crossp(td.p[i], tmul(s.R, nrm * fn));
        }
    };
    // With every point above the surface there is no support to work out (a vessel in flight, most of them).
    if (lowest <= 0.0) supportNow();
    for (int step = 0; step < n; ++step) {
        // Velocity Verlet: gravity, the loads held over the step and the support kick half before and half
        // after the drift, so a vessel resting on its support shows no speed.
        s.vel += (Fg + Fc) * (0.5 * h / b.m) + g * (0.5 * h);
        VECTOR3 Iw = Mul(b.I, s.omega);
        // Euler's equations as they stand: the spin here is the right-handed one (the host's interface gives it
        // with the opposite sign, see GetAngularVel).
        s.omega += Div(b.Tb + Tc - crossp(s.omega, Iw), b.I) * h;
        for (int i = 0; i < 3; ++i) {
            if (support[i] <= 0.0) continue;
            VECTOR3 nrm = Unit(s.pos + mul(s.R, td.p[i]) - body.pos);
            VECTOR3 l = WheelAxis(v, td, i, s.R, nrm);
            VECTOR3 side = crossp(nrm, l);
            VECTOR3 ground = crossp(spinAxis, s.pos + mul(s.R, td.p[i]) - body.pos);
            FrictionImpulse(s, b, td.p[i], l, (v.muLng * support[i] + BrakeForce(v, i)) * h, ground);
            FrictionImpulse(s, b, td.p[i], side, v.muLat * support[i] * h, ground);
        }
        s.pos += s.vel * h;
        double wl = length(s.omega);
        if (wl > 0.0) s.R = mul(s.R, rotm(s.omega / wl, wl * h));
        bool above = false; // every point above the surface: no support to work out, unless some is to end
        if (!contact) {
            above = true;
            for (int i = 0; i < 3; ++i) {
                double ht = length(s.pos + mul(s.R, td.p[i]) - body.pos) - body.radius;
                if (ht <= CONTACT_TOLERANCE) contact = true;
                if (!(ht > 0.0)) above = false;
            }
            if (contact) {
                // What the vessel touched down with, before the support has slowed it.
                s.touchdownFrame = true;
                s.touchdownVel = s.vel + g * (0.5 * h);
            }
        }
        g = GravityAt(body, s.pos);
        if (!above || support[0] > 0.0 || support[1] > 0.0 || support[2] > 0.0) supportNow();
        s.vel += (Fg + Fc) * (0.5 * h / b.m) + g * (0.5 * h);
    }
    Orthonormalise(s.R);

    int touching = 0;
    for (int i = 0; i < 3; ++i) {
        double ht = length(s.pos + mul(s.R, td.p[i]) - body.pos) - body.radius;
        if (ht <= CONTACT_TOLERANCE) ++touching;
    }
    s.groundContact = touching > 0;
    const VECTOR3 slip = s.vel - crossp(spinAxis, s.pos - body.pos);
    bool still = false;
    if (touching == 3 && length(slip) < REST_SPEED && length(s.omega) < REST_SPIN) {
        Horizon hz = HorizonAt(body, s.pos);
        VECTOR3 Fnet = mul(s.R, b.Fb) + GravityAt(body, s.pos) * b.m;
        double load = -dotp(Fnet, hz.up);
        double carried = support[0] + support[1] + support[2];
        still = load > 0.0 && fabs(carried - load) <= REST_SUPPORT_SHARE * load && HoldsStill(v, td, Fnet, hz.up);
    }
    // Standing still it is called landed, and held, only once the host's touchdown test says so.
    if (LandingTestPassed(v, body) && still) {
        s.landed = true;
        s.testing = false;
        for (int i = 0; i < 3; ++i)
            s.restPoints[i] = v.touchdown[i];
        // At rest against the ground, which carries it round.
        s.vel = crossp(spinAxis, s.pos - body.pos);
        s.omega = _V(0, 0, 0);
    }
}

// Ground contact of the later touchdown form, as the host works it out: every vertex below the surface is a
// spring and a damper along the surface normal (the damper may pull), sunk at most 1 m. Friction scales with
// the spring's push up to 0.1 m of sinking and, below 10 m/s, with the square root of a tenth of the point's
// slip, so nothing holds a vessel quite still: along the wheels the first three points take the longitudinal
// coefficient, the braked wheels (points 1 and 2) up to the lateral one, and the others the lateral one both
// ways. The sums along and across are cut so that they cannot reverse the vessel's own slip within a step.
struct VertexContact {
    VECTOR3 F, T;  // global force; torque in the vessel frame about the centre of mass
    bool touching; // a vertex is at or below the surface
    bool below;    // a vertex is below the surface
};

constexpr double VERTEX_MAX_SINK = 1.0;        // m
constexpr double VERTEX_GRIP_SINK = 0.1;       // m
constexpr double VERTEX_FULL_GRIP_SLIP = 10.0; // m/s

VertexContact VertexForces(const Vessel& v, const PhysicsState& s, const Body& body, const VECTOR3& c,
                           double m, double h, const VECTOR3& spinAxis) {
    VertexContact out{};
    const std::vector<TOUCHDOWNVTX>& vx = v.touchdownVertices;
    VECTOR3 up = HorizonAt(body, s.pos).up;
    // Along the wheels: from between the main wheels to the nose wheel, laid on the ground.
    VECTOR3 d1 = mul(s.R, vx[0].pos - (vx[1].pos + vx[2].pos) * 0.5);
    VECTOR3 lng = Unit(d1 - up * dotp(d1, up));
    VECTOR3 lat = crossp(up, lng);
    double fLng[64], fLat[64], fN[64];
    VECTOR3 arm[64];
    int count = 0;
    double lngSum = 0.0, latSum = 0.0;
    for (size_t i = 0; i < vx.size() && count < 64; ++i) {
        VECTOR3 r = vx[i].pos - c;
        VECTOR3 rel = s.pos + mul(s.R, r) - body.pos;
        double depth = body.radius - length(rel);
        if (depth >= -CONTACT_TOLERANCE) out.touching = true;
        if (depth <= 0.0) continue;
        out.below = true;
        depth = fmin(depth, VERTEX_MAX_SINK);
        // The host counts a point's slip from the centre's speed over the ground and the vessel's own spin:
        // the ground's turn under the point itself it leaves out, so a vessel that stops turning with the
        // ground as it lets go slips only as its centre does.
        VECTOR3 u = s.vel - crossp(spinAxis, s.pos - body.pos) + mul(s.R, crossp(s.omega, r));
        double un = dotp(u, up), ul = dotp(u, lng), us = dotp(u, lat);
        double push = depth * vx[i].stiffness;
        double grip = fmin(depth, VERTEX_GRIP_SINK) * vx[i].stiffness;
        double muL = vx[i].mu;
        if (i < 3) {
            muL = vx[i].mu_lng;
            if (i > 0) muL += (vx[i].mu - vx[i].mu_lng) * Clamp(v.wheelbrake[i - 1], 0.0, 1.0);
        }
        double fl = muL * grip, fs = vx[i].mu * grip;
        if (fabs(ul) < VERTEX_FULL_GRIP_SLIP) fl *= sqrt(fabs(0.1 * ul));
        if (fabs(us) < VERTEX_FULL_GRIP_SLIP) fs *= sqrt(fabs(0.1 * us));
        fLng[count] = ul > 0.0 ? -fl : fl;
        fLat[count] = us > 0.0 ? -fs : fs;
        fN[count] = push - un * vx[i].damping;
        arm[count] = r;
        lngSum += fLng[count];
        latSum += fLat[count];
        ++count;
    }
    // Friction stops the vessel's slip within the step at the most.
    const VECTOR3 slip = s.vel - crossp(spinAxis, s.pos - body.pos);
    double maxLng = -dotp(slip, lng) * m / h, maxLat = -dotp(slip, lat) * m / h;
    double scaleLng = 1.0, scaleLat = 1.0;
    if ((maxLng >= 0.0 && lngSum > maxLng) || (maxLng <= 0.0 && lngSum < maxLng)) scaleLng = maxLng / lngSum;
    if ((maxLat >= 0.0 && latSum > maxLat) || (maxLat <= 0.0 && latSum < maxLat)) scaleLat = maxLat / latSum;
    for (int j = 0; j < count; ++j) {
        VECTOR3 f = up * fN[j] + lng * (fLng[j] * scaleLng) + lat * (fLat[j] * scaleLat);
        out.F += f;
        out.T += crossp(arm[j], tmul(s.R, f));
    }
    return out;
}

// How the host moves a free vessel of the later touchdown form near the ground: within three sizes of it, or
// once a step finds a point below it, by ten steps a frame of Fehlberg's 13-stage eighth-order Runge-Kutta
// scheme, each begun from the accelerations found at the end of the step before. The ground's springs, the
// sharp end of the contact as a vessel lets go, and the friction that grows with the square root of the slip
// are felt at those stages and no others: how much spin a vessel carries away from a lift-off depends on it.
// Higher up one step a frame serves (the host's midpoint step there differs from it by little).
constexpr int MAX_STEPS_PER_FRAME = 10;
constexpr double CONTACT_RANGE_SIZES = 3.0; // the fine steps begin this many sizes above the ground
constexpr double MAX_IMPACT_TURN = 10.0 * 3.14159265358979323846 / 180.0; // rad a ground push turns it in a step

// Fehlberg's 7(8) tableau: the stages' coefficients (row i for stage i+1) and the eighth-order weights.
constexpr int FINE_STAGES = 13;
const double FINE_A[FINE_STAGES - 1][FINE_STAGES - 1] = {
    {2.0 / 27.0},
    {1.0 / 36.0, 1.0 / 12.0},
    {1.0 / 24.0, 0, 1.0 / 8.0},
    {5.0 / 12.0, 0, -25.0 / 16.0, 25.0 / 16.0},
    {1.0 / 20.0, 0, 0, 1.0 / 4.0, 1.0 / 5.0},
    {-25.0 / 108.0, 0, 0, 125.0 / 108.0, -65.0 / 27.0, 125.0 / 54.0},
    {31.0 / 300.0, 0, 0, 0, 61.0 / 225.0, -2.0 / 9.0, 13.0 / 900.0},
    {2.0, 0, 0, -53.0 / 6.0, 704.0 / 45.0, -107.0 / 9.0, 67.0 / 90.0, 3.0},
    {-91.0 / 108.0, 0, 0, 23.0 / 108.0, -976.0 / 135.0, 311.0 / 54.0, -19.0 / 60.0, 17.0 / 6.0, -1.0 / 12.0},
    {2383.0 / 4100.0, 0, 0, -341.0 / 164.0, 4496.0 / 1025.0, -301.0 / 82.0, 2133.0 / 4100.0, 45.0 / 82.0,
     45.0 / 164.0, 18.0 / 41.0},
    {3.0 / 205.0, 0, 0, 0, 0, -6.0 / 41.0, -3.0 / 205.0, -3.0 / 41.0, 3.0 / 41.0, 6.0 / 41.0},
    {-1777.0 / 4100.0, 0, 0, -341.0 / 164.0, 4496.0 / 1025.0, -289.0 / 82.0, 2193.0 / 4100.0, 51.0 / 82.0,
     33.0 / 164.0, 12.0 / 41.0, 0, 1.0},
};
const double FINE_B[FINE_STAGES] = {0, 0, 0, 0, 0, 34.0 / 105.0, 9.0 / 35.0, 9.0 / 35.0, 9.0 / 280.0,
                                    9.0 / 280.0, 0, 41.0 / 840.0, 41.0 / 840.0};

struct Accelerations {
    VECTOR3 lin{}, ang{}; // global linear (with gravity); angular in the vessel frame
    bool touching = false, below = false;
};

struct Stepping {
    const Vessel& v;
    const Body6& b;
    const Body& body;
    VECTOR3 c, spinAxis;
};

Accelerations AccelerationsAt(const Stepping& k, const PhysicsState& s, double h) {
    Accelerations a;
    const VertexContact vc = VertexForces(k.v, s, k.body, k.c, k.b.m, h, k.spinAxis);
    a.touching = vc.touching;
    a.below = vc.below;
    VECTOR3 Tc = vc.T;
    // A hard push off the ground turns the vessel at most so far within the step.
    const double turned = length(Div(Tc, k.b.I)) * h * h;
    if (turned > MAX_IMPACT_TURN) Tc *= MAX_IMPACT_TURN / turned;
    a.lin = GravityAt(k.body, s.pos) + (mul(s.R, k.b.Fb) + vc.F) / k.b.m;
    const VECTOR3 Iw = Mul(k.b.I, s.omega);
    a.ang = Div(k.b.Tb + Tc - crossp(s.omega, Iw), k.b.I); // Euler's equations, as above
    return a;
}

MATRIX3 Turned(const MATRIX3& R, const VECTOR3& w, double h) {
    const double wl = length(w);
    return wl > 0.0 ? mul(R, rotm(w / wl, wl * h)) : R;
}

// A step of the whole frame away from the ground (velocity Verlet, the loads held over it); the accelerations
// at its end are kept for a fine step that may follow. Tells whether a point went below the surface.
bool FreeStep(const Stepping& k, PhysicsState& s, double h) {
    const VECTOR3 F = mul(s.R, k.b.Fb);
    s.vel += F * (0.5 * h / k.b.m) + GravityAt(k.body, s.pos) * (0.5 * h);
    const VECTOR3 Iw = Mul(k.b.I, s.omega);
    s.omega += Div(k.b.Tb - crossp(s.omega, Iw), k.b.I) * h; // as above
    s.pos += s.vel * h;
    s.R = Turned(s.R, s.omega, h);
    s.vel += F * (0.5 * h / k.b.m) + GravityAt(k.body, s.pos) * (0.5 * h);
    const Accelerations e = AccelerationsAt(k, s, h);
    s.lastAcc = e.lin;
    s.lastAngAcc = e.ang;
    return e.below;
}

bool FineStep(const Stepping& k, PhysicsState& s, double h) {
    PhysicsState st[FINE_STAGES];
    VECTOR3 lin[FINE_STAGES], ang[FINE_STAGES];
    bool touching = false;
    st[0] = s;
    lin[0] = s.lastAcc;
    ang[0] = s.lastAngAcc;
    for (int i = 1; i < FINE_STAGES; ++i) {
        st[i] = s;
        for (int j = 0; j < i; ++j) {
            const double bh = FINE_A[i - 1][j] * h;
            if (bh == 0.0) continue;
            st[i].vel += lin[j] * bh;
            st[i].pos += st[j].vel * bh;
            st[i].omega += ang[j] * bh;
            st[i].R = Turned(st[i].R, st[j].omega, bh);
        }
        const Accelerations a = AccelerationsAt(k, st[i], h);
        touching = touching || a.touching;
        lin[i] = a.lin;
        ang[i] = a.ang;
    }
    PhysicsState n = s;
    for (int i = 0; i < FINE_STAGES; ++i) {
        const double bh = FINE_B[i] * h;
        if (bh == 0.0) continue;
        n.vel += lin[i] * bh;
        n.pos += st[i].vel * bh;
        n.R = Turned(n.R, st[i].omega, bh);
        n.omega += ang[i] * bh;
    }
    s.pos = n.pos;
    s.vel = n.vel;
    s.R = n.R;
    s.omega = n.omega;
    const Accelerations e = AccelerationsAt(k, s, h);
    s.lastAcc = e.lin;
    s.lastAngAcc = e.ang;
    return touching || e.touching;
}

// As in the host, a vessel placed landed is held there until a force acts on it or its points are set; the
// frame that lets it go still carries it round with the ground, and it moves by itself from the next, not
// turning, with the acceleration that carried it round. Once it moves it is never held again: it rests on
// its springs.
void IntegrateOnVertices(Vessel& v, const Body6& b, const VECTOR3& c, double dt) {
    PhysicsState& s = v.phys;
    const Body& body = BodyOf(v);
    const VECTOR3 spinAxis = FrameAt(body, W().env.mjd0, S().t0).w;
    if (s.landed) {
        CarryWithSurface(s, body, S().t0, S().t1);
        s.groundContact = true;
        if (!s.pointsChanged && length2(b.Fb) == 0.0 && length2(b.Tb) == 0.0) return;
        s.landed = false;
        s.pointsChanged = false;
        s.lastAcc = crossp(spinAxis, crossp(spinAxis, s.pos - body.pos));
        s.lastAngAcc = _V(0, 0, 0);
        return;
    }
    const Stepping k{v, b, body, c, spinAxis};
    const bool wasContact = s.groundContact;
    const double altitude = length(s.pos - body.pos) - body.radius;
    bool touching = false;
    if (altitude >= CONTACT_RANGE_SIZES * v.size) {
        const PhysicsState start = s;
        if (!FreeStep(k, s, dt)) {
            Orthonormalise(s.R);
            s.groundContact = false;
            return;
        }
        // A point went below the surface: the frame is done again in fine steps.
        s = start;
    }
    const double h = dt / MAX_STEPS_PER_FRAME;
    for (int i = 0; i < MAX_STEPS_PER_FRAME; ++i) {
        const bool t = FineStep(k, s, h);
        if (t && !touching && !wasContact) {
            // What the vessel touched down with, before the support has slowed it much.
            s.touchdownFrame = true;
            s.touchdownVel = s.vel;
        }
        touching = touching || t;
    }
    Orthonormalise(s.R);
    s.groundContact = AccelerationsAt(k, s, h).touching;
}

// The group turns about its common centre of mass c (root frame): the root's state is carried there for the
// step and back afterwards.
void IntegrateRoot(Vessel& v, const Body6& b, const VECTOR3& c, double dt) {
    PhysicsState& s = v.phys;
    Touchdown td = TouchdownGeometry(v);
    for (int i = 0; i < 3; ++i)
        td.p[i] -= c;
    s.pos += mul(s.R, c);
    s.vel += mul(s.R, crossp(s.omega, c));
    if (v.touchdownVertices.size() >= 3)
        IntegrateOnVertices(v, b, c, dt);
    else
        IntegrateBody(v, b, td, dt);
    s.pos -= mul(s.R, c);
    s.vel -= mul(s.R, crossp(s.omega, c));
}

// Builds the group that moves with v's root: the top of its attachment chain, then everything linked to it.
void CollectGroup(Vessel* v, std::vector<Member>& out) {
    Vessel* root = v;
    for (int depth = 0; depth < MAX_LINK_DEPTH; ++depth) {
        Vessel* up = nullptr;
        for (auto& a : root->attachments)
            if (a->toParent && InStep(a->other) && a->otherPoint && a->other->phys.groupMark != S().step)
                up = a->other;
        if (!up || up == v) break;
        root = up;
    }
    size_t first = out.size();
    out.push_back(Member{root, -1, {}, {}, identity(), identity(), {}, false});
    root->phys.groupMark = S().step;
    for (size_t q = first; q < out.size(); ++q) {
        Vessel* x = out[q].v;
        for (auto& a : x->attachments) {
            Vessel* y = a->other;
            if (!a->otherPoint || !InStep(y) || y->phys.groupMark == S().step) continue;
            y->phys.groupMark = S().step;
            const hs::Attachment& b = *a->otherPoint;
            out.push_back(
                Member{y, (int)(q - first), a->pos, b.pos, AttachmentFrame(*a), AttachmentFrame(b), {}, true});
        }
        for (auto& d : x->docks) {
            Vessel* y = d->mate;
            if (!d->matePort || !InStep(y) || y->phys.groupMark == S().step) continue;
            y->phys.groupMark = S().step;
            const hs::DockPort& b = *d->matePort;
            out.push_back(Member{y,
                                 (int)(q - first),
                                 d->pos,
                                 b.pos,
                                 PointFrame(d->dir, d->rot),
                                 PointFrame(-b.dir, b.rot),
                                 {},
                                 false});
        }
    }
}

void MassMisuse(const Vessel& v) {
    char what[200];
    snprintf(what, sizeof what, "physics: vessel \"%.63s\" has a total mass of %g kg: not moved this step",
             v.name.c_str(), TotalMass(v));
    CountMisuse(what);
}

void StepGroup(Member* m, int count, double dt) {
    Vessel& root = *m[0].v;
    bool movable = true;
    for (int i = 0; i < count; ++i)
        if (!(TotalMass(*m[i].v) > 0.0)) {
            MassMisuse(*m[i].v);
            movable = false;
        }
    if (movable) {
        // First pass: loads, masses and places of the parts in the root's frame.
        Body6 b{0.0, {}, {}, {}};
        const MATRIX3& Rr = root.phys.R;
        VECTOR3 c{};
        for (int i = 0; i < count; ++i) {
            Vessel& v = *m[i].v;
            Part& p = m[i].part;
            p.mass = TotalMass(v);
            p.inertia = InertiaOf(v, p.mass);
            VesselLoads(v, dt, p.inertia, root.phys.landed, p.F, p.T);
            p.Q = mul(Transpose(Rr), v.phys.R);
            p.r = tmul(Rr, v.phys.pos - root.phys.pos);
            b.m += p.mass;
            c += p.r * p.mass;
        }
        c /= b.m;
        // Second pass: everything about the common centre of mass.
        for (int i = 0; i < count; ++i) {
            const Part& p = m[i].part;
            VECTOR3 Fr = mul(p.Q, p.F);
            VECTOR3 r = p.r - c;
            b.Fb += Fr;
            b.Tb += mul(p.Q, p.T) + crossp(r, Fr);
            // Principal moments of the part turned into the root's axes (diagonal only), plus its offset.
            const MATRIX3& Q = p.Q;
            VECTOR3 Iq{};
            for (int row = 0; row < 3; ++row)
                Iq.data[row] = Q.data[row * 3] * Q.data[row * 3] * p.inertia.x +
                               Q.data[row * 3 + 1] * Q.data[row * 3 + 1] * p.inertia.y +
                               Q.data[row * 3 + 2] * Q.data[row * 3 + 2] * p.inertia.z;
            Iq += _V(r.y * r.y + r.z * r.z, r.x * r.x + r.z * r.z, r.x * r.x + r.y * r.y) * p.mass;
            b.I += Iq;
        }
        root.phys.led = false;
        IntegrateRoot(root, b, c, dt);
    }
    for (int i = 1; i < count; ++i) {
        const Member& c = m[i];
        PlaceLinked(*m[c.from].v, c.px, c.Mx, *c.v, c.py, c.My, c.carried);
    }
    for (int i = 0; i < count; ++i) {
        Vessel& v = *m[i].v;
        v.phys.lastAirspeed = Airspeed(v);
        v.phys.force = tmul(v.phys.R, (v.phys.vel - v.phys.stepStart.vel) * (TotalMass(v) / dt));
        ClearFrameInputs(v);
    }
}

} // namespace

void PhysicsStep(std::vector<Vessel*>& vessels, double dt, double simt) {
    Scratch& sc = S();
    ++sc.step;
    sc.t0 = simt;
    sc.t1 = simt + dt;
    TelemetryRows(vessels, simt, true);
    // One pass marks the vessels of this step and moves their control surfaces; one more moves the groups.
    for (Vessel* v : vessels) {
        if (!Alive(v)) continue;
        v->phys.stepMark = sc.step;
        MarkStepStart(v->phys);
        if (v->phys.touchdownFrame) v->phys.touchdownFrame = false;
        if (dt > 0.0) MoveControlSurfaces(*v, dt);
    }
    if (dt > 0.0) {
        // One group at a time in the same few members, which stay in the cache however many vessels fly.
        for (Vessel* v : vessels) {
            if (!InStep(v) || v->phys.groupMark == sc.step) continue;
            sc.members.clear();
            CollectGroup(v, sc.members);
            StepGroup(sc.members.data(), (int)sc.members.size(), dt);
        }
    }
    TelemetryRows(vessels, simt + dt, false);
}

void ResetPhysics() {
    ResetTelemetry();
    ResetBodies();
    S().members.clear();
}

} // namespace hs
