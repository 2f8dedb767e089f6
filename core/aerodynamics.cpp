// The Corvane's aerodynamic model: lift-coefficient tables, airfoil callbacks, airfoils and control surfaces.
#include "corvane.h"

#include <cmath>

namespace {

constexpr double DEG_TO_RAD = 0.017453292519943295;  // pi / 180
constexpr double HALF_TURN = 3.14159265358979323846; // rad

// Lift by angle of attack, -180 deg in steps of 10 deg; the last entry repeats the one after -180 deg
// so that +180 deg can interpolate without wrapping the index.
constexpr int VERTICAL_CL_COUNT = 38;
constexpr double VERTICAL_CL_TABLE[VERTICAL_CL_COUNT] = {
    -0.1, -0.5, -0.4, -0.1, 0.0,  0.0,  0.0,  0.0,  0.0, 0.0, // -180 .. -90 deg
    0.0,  0.0,  0.0,  0.0,  -0.2, -0.6, -0.6, -0.4, 0.2, 0.5, // -80 .. 10 deg
    0.9,  0.8,  0.2,  0.0,  0.0,  0.0,  0.0,  0.0,  0.0, 0.0, // 20 .. 110 deg
    0.0,  0.0,  0.1,  0.4,  0.5,  0.3,  -0.1, -0.5,           // 120 .. 190 deg
};
// Lift by sideslip, -180 deg in steps of 45 deg, with the same one-entry wrap.
constexpr int HORIZONTAL_CL_COUNT = 10;
constexpr double HORIZONTAL_CL_TABLE[HORIZONTAL_CL_COUNT] = {0.0, 0.4, 0.0,  -0.4, 0.0,
                                                             0.4, 0.0, -0.4, 0.0,  0.4};

// Both tables are interpolated over fixed steps, worked out once per process.
double VerticalStep() {
    static const double step = 10.0 * DEG_TO_RAD;
    return step;
}
double HorizontalStep() {
    static const double step = 45.0 * DEG_TO_RAD;
    return step;
}

// Linear interpolation at angle + pi. An angle beyond the tables' span (never given by the host, which
// keeps angles within -pi..pi) is held at the end entry, so the lookup never leaves the table.
double Interpolate(const double* table, int count, double angle, double step) {
    const double x = (angle + HALF_TURN) / step;
    if (!(x >= 0.0)) return table[0];
    if (x >= count - 1) return table[count - 1];
    double whole = 0.0;
    const double f = std::modf(x, &whole);
    const int i = static_cast<int>(whole);
    return (1.0 - f) * table[i] + f * table[i + 1];
}

constexpr double WAVE_DRAG_M1 = 0.75, WAVE_DRAG_M2 = 1.0, WAVE_DRAG_M3 = 1.1, WAVE_DRAG_CMAX = 0.04;

// Airfoils: each is created twice, so the vessel gets twice the lift and drag of one.
struct AirfoilSpec {
    AIRFOIL_ORIENTATION align;
    AirfoilCoeffFuncEx cf;
    double chord, area, aspect;
};
constexpr AirfoilSpec AIRFOILS[4] = {
    {LIFT_VERTICAL, VerticalLiftCoeff, 5.645, 101.816, 1.4},
    {LIFT_VERTICAL, VerticalLiftCoeff, 5.645, 101.816, 1.4},
    {LIFT_HORIZONTAL, HorizontalLiftCoeff, 3.024, 9.407, 1.17},
    {LIFT_HORIZONTAL, HorizontalLiftCoeff, 3.024, 9.407, 1.17},
};

// Control-surface animations: the two elevons (mesh groups 29 and 33) move as ailerons and as the
// two halves of the elevator.
enum ControlAnim {
    RIGHT_AILERON_ANIM,
    LEFT_AILERON_ANIM,
    ELEVATOR_ANIM,
    CONTROL_ANIM_COUNT,
    NO_CONTROL_ANIM
};

struct ElevonSpec {
    ControlAnim anim;
    unsigned int group;
    VECTOR3 ref, axis;
    double angleDeg;
};
constexpr unsigned int SHIP_MESH = 1;
const ElevonSpec ELEVONS[4] = {
    {RIGHT_AILERON_ANIM,
     29,
     {{-3.6979, 0.313978, -0.86716}},
     {{-0.736771903, -0.415135401, 0.533694446}},
     20.0},
    {LEFT_AILERON_ANIM, 33, {{3.6979, 0.313978, -0.86716}}, {{0.736771903, -0.415135401, 0.533694446}}, 20.0},
    {ELEVATOR_ANIM, 29, {{-3.6979, 0.313978, -0.86716}}, {{-0.736771903, -0.415135401, 0.533694446}}, -20.0},
    {ELEVATOR_ANIM, 33, {{3.6979, 0.313978, -0.86716}}, {{0.736771903, -0.415135401, 0.533694446}}, 20.0},
};

struct ControlSurfaceSpec {
    AIRCTRL_TYPE type;
    double area, dCl;
    VECTOR3 ref;
    int axis;
    double delay; // s
    ControlAnim anim;
};
const ControlSurfaceSpec CONTROL_SURFACES[4] = {
    {AIRCTRL_ELEVATOR, 38.326, 0.7, {{0, 0, -0.18}}, AIRCTRL_AXIS_XPOS, 0.25, ELEVATOR_ANIM},
    {AIRCTRL_AILERON, 19.1, 0.25, {{5.83, 0, -0.18}}, AIRCTRL_AXIS_XPOS, 0.25, RIGHT_AILERON_ANIM},
    {AIRCTRL_AILERON, 19.1, 0.25, {{-5.83, 0, -0.18}}, AIRCTRL_AXIS_XNEG, 0.25, LEFT_AILERON_ANIM},
    {AIRCTRL_RUDDER, 1.0, 0.25, {{0, 0.96, -2.0}}, AIRCTRL_AXIS_YPOS, 0.1, NO_CONTROL_ANIM},
};

// The host keeps pointers to the transform records and their group lists for as long as the animations
// live, so one class-wide set serves every vessel; it is built on first use.
struct ElevonRecords {
    MGROUP_ROTATE* records[4];
};
ElevonRecords& Elevons() {
    static unsigned int groups[4] = {ELEVONS[0].group, ELEVONS[1].group, ELEVONS[2].group, ELEVONS[3].group};
    static MGROUP_ROTATE r0(SHIP_MESH, &groups[0], 1, ELEVONS[0].ref, ELEVONS[0].axis,
                            (float)(ELEVONS[0].angleDeg * DEG_TO_RAD));
    static MGROUP_ROTATE r1(SHIP_MESH, &groups[1], 1, ELEVONS[1].ref, ELEVONS[1].axis,
                            (float)(ELEVONS[1].angleDeg * DEG_TO_RAD));
    static MGROUP_ROTATE r2(SHIP_MESH, &groups[2], 1, ELEVONS[2].ref, ELEVONS[2].axis,
                            (float)(ELEVONS[2].angleDeg * DEG_TO_RAD));
    static MGROUP_ROTATE r3(SHIP_MESH, &groups[3], 1, ELEVONS[3].ref, ELEVONS[3].axis,
                            (float)(ELEVONS[3].angleDeg * DEG_TO_RAD));
    static ElevonRecords set = {{&r0, &r1, &r2, &r3}};
    return set;
}

} // namespace

void VerticalLiftCoeff(VESSEL*, double aoa, double M, double, void*, double* cl, double* cm, double* cd) {
    const double s = std::sin(aoa);
    *cl = Interpolate(VERTICAL_CL_TABLE, VERTICAL_CL_COUNT, aoa, VerticalStep());
    *cm = 0.0;
    *cd = 0.03 + 0.4 * s * s;
    *cd += oapiGetInducedDrag(*cl, 1.0, 0.5);
    *cd += oapiGetWaveDrag(M, WAVE_DRAG_M1, WAVE_DRAG_M2, WAVE_DRAG_M3, WAVE_DRAG_CMAX);
}

void HorizontalLiftCoeff(VESSEL*, double beta, double M, double, void*, double* cl, double* cm, double* cd) {
    *cl = Interpolate(HORIZONTAL_CL_TABLE, HORIZONTAL_CL_COUNT, beta, HorizontalStep());
    *cm = 0.0;
    *cd = 0.03;
    *cd += oapiGetInducedDrag(*cl, 1.5, 0.6);
    *cd += oapiGetWaveDrag(M, WAVE_DRAG_M1, WAVE_DRAG_M2, WAVE_DRAG_M3, WAVE_DRAG_CMAX);
}

void Corvane::DefineAerodynamics() {
    for (const AirfoilSpec& a : AIRFOILS)
        CreateAirfoil3(a.align, _V(0, 0, 0), a.cf, nullptr, a.chord, a.area, a.aspect);

    unsigned int anims[CONTROL_ANIM_COUNT];
    for (unsigned int& anim : anims)
        anim = CreateAnimation(0.5);
    ElevonRecords& elevons = Elevons();
    for (int i = 0; i < 4; ++i)
        AddAnimationComponent(anims[ELEVONS[i].anim], 0, 1, elevons.records[i]);

    for (const ControlSurfaceSpec& c : CONTROL_SURFACES)
        CreateControlSurface3(c.type, c.area, c.dCl, c.ref, c.axis, c.delay,
                              c.anim == NO_CONTROL_ANIM ? (unsigned int)-1 : anims[c.anim]);
}
