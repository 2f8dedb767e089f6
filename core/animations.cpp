// The Corvane's animations: gear, canopies, hyperspace tunnel and cockpit lamps, and the gear and canopy
// movers.
#include "corvane.h"

#include <vector>

namespace {

constexpr double DEG_TO_RAD = 0.017453292519943295; // pi / 180
constexpr unsigned int TUNNEL_MESH = 0;
constexpr unsigned int SHIP_MESH = 1;

// Animation slots: the six named animations, then the twelve lamps from dampenersOfflineLightAnim on.
constexpr int GEAR = 0, CANOPY_P = 1, CANOPY_C = 2, TUNNEL = 3, BOOST_LAMP = 4, MAIN_LAMP = 5, FIRST_LAMP = 6;
constexpr int LAMP_COUNT = 12;
constexpr int ANIM_COUNT = FIRST_LAMP + LAMP_COUNT;

// Initial animation states: the lamps are modelled lit (state 1).
constexpr double INITIAL_STATE[ANIM_COUNT] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

// Ids are created in batches; each batch's components follow the creation of all its ids.
struct Batch {
    int first, count;
};
constexpr Batch BATCHES[6] = {{GEAR, 1},   {CANOPY_P, 1},   {CANOPY_C, 1},
                              {TUNNEL, 1}, {BOOST_LAMP, 2}, {FIRST_LAMP, LAMP_COUNT}};

enum class Kind { Rotate, Translate };
struct Vec3 {
    double x, y, z;
};
struct ComponentSpec {
    int anim;
    double state0, state1;
    Kind kind;
    unsigned int mesh;
    unsigned int groups[2];
    unsigned int ngroups;
    Vec3 ref;         // rotations only
    Vec3 axisOrShift; // rotation axis or translation shift
    double angleDeg;  // rotations only
    int parent;       // index of the parent component in this table, -1 none
};
constexpr Vec3 LAMP_SHIFT = {0, 0.2, -0.2};
constexpr int COMPONENT_COUNT = 24;
constexpr ComponentSpec COMPONENTS[COMPONENT_COUNT] = {
    // Front gear unit: the leg swings up, the doors ride along with it.
    {GEAR, 0.5, 1.0, Kind::Rotate, SHIP_MESH, {36, 0}, 1, {0, 0.074, 4.276}, {1, 0, 0}, 80, -1},
    {GEAR, 0.0, 0.7, Kind::Translate, SHIP_MESH, {35, 34}, 2, {0, 0, 0}, {0, 0.72, 0}, 0, 0},
    // Side units fold inwards and backwards.
    {GEAR, 0, 1, Kind::Rotate, SHIP_MESH, {38, 37}, 2, {-5.916, -1.331, 1.0}, {0, 0, 1}, -56, -1},
    {GEAR, 0, 1, Kind::Rotate, SHIP_MESH, {38, 37}, 2, {-5.916, -1.331, 1.0}, {1, 0, 0}, -55, -1},
    {GEAR, 0, 1, Kind::Rotate, SHIP_MESH, {40, 39}, 2, {5.916, -1.331, 1.0}, {0, 0, 1}, 56, -1},
    {GEAR, 0, 1, Kind::Rotate, SHIP_MESH, {40, 39}, 2, {5.916, -1.331, 1.0}, {1, 0, 0}, -55, -1},
    // Canopy P lifts off its seal, then slides back.
    {CANOPY_P, 0, 0.05, Kind::Translate, SHIP_MESH, {41, 49}, 2, {0, 0, 0}, {0, 0.05, 0}, 0, -1},
    {CANOPY_P, 0.05, 1, Kind::Translate, SHIP_MESH, {41, 49}, 2, {0, 0, 0}, {0, -0.171, 0.885}, 0, -1},
    {CANOPY_C, 0, 1, Kind::Rotate, SHIP_MESH, {47, 48}, 2, {0, 1.0, 2.044}, {1, 0, 0}, -90, -1},
    {TUNNEL, 0, 1, Kind::Rotate, TUNNEL_MESH, {0, 0}, 1, {0, 0, 0}, {0, 0, -1}, 360, -1},
    {BOOST_LAMP, 0, 1, Kind::Translate, SHIP_MESH, {27, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {MAIN_LAMP, 0, 1, Kind::Translate, SHIP_MESH, {26, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {FIRST_LAMP + 0, 0, 1, Kind::Translate, SHIP_MESH, {25, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {FIRST_LAMP + 1, 0, 1, Kind::Translate, SHIP_MESH, {24, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {FIRST_LAMP + 2, 0, 1, Kind::Translate, SHIP_MESH, {23, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {FIRST_LAMP + 3, 0, 1, Kind::Translate, SHIP_MESH, {22, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {FIRST_LAMP + 4, 0, 1, Kind::Translate, SHIP_MESH, {21, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {FIRST_LAMP + 5, 0, 1, Kind::Translate, SHIP_MESH, {20, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {FIRST_LAMP + 6, 0, 1, Kind::Translate, SHIP_MESH, {19, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {FIRST_LAMP + 7, 0, 1, Kind::Translate, SHIP_MESH, {18, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {FIRST_LAMP + 8, 0, 1, Kind::Translate, SHIP_MESH, {17, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {FIRST_LAMP + 9, 0, 1, Kind::Translate, SHIP_MESH, {16, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {FIRST_LAMP + 10, 0, 1, Kind::Translate, SHIP_MESH, {15, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
    {FIRST_LAMP + 11, 0, 1, Kind::Translate, SHIP_MESH, {14, 0}, 1, {0, 0, 0}, LAMP_SHIFT, 0, -1},
};

// The host keeps pointers to the transform records and their group lists for as long as the animations
// exist, so one class-wide set is built on the first call and shared by every later vessel.
struct AnimationRecords {
    unsigned int groups[COMPONENT_COUNT][2];
    std::vector<MGROUP_ROTATE> rotations;
    std::vector<MGROUP_TRANSLATE> translations;
    MGROUP_TRANSFORM* byComponent[COMPONENT_COUNT];

    AnimationRecords() {
        // Reserved up front: the records must never move once their addresses are handed out.
        rotations.reserve(COMPONENT_COUNT);
        translations.reserve(COMPONENT_COUNT);
        for (int i = 0; i < COMPONENT_COUNT; ++i) {
            const ComponentSpec& c = COMPONENTS[i];
            groups[i][0] = c.groups[0];
            groups[i][1] = c.groups[1];
            const VECTOR3 v = _V(c.axisOrShift.x, c.axisOrShift.y, c.axisOrShift.z);
            if (c.kind == Kind::Rotate) {
                rotations.emplace_back(c.mesh, groups[i], c.ngroups, _V(c.ref.x, c.ref.y, c.ref.z), v,
                                       (float)(c.angleDeg * DEG_TO_RAD));
                byComponent[i] = &rotations.back();
            } else {
                translations.emplace_back(c.mesh, groups[i], c.ngroups, v);
                byComponent[i] = &translations.back();
            }
        }
    }
};

AnimationRecords& Records() {
    static AnimationRecords records;
    return records;
}

// The three movers, in the order they run.
struct MoverSpec {
    double Corvane::*pos;
    double Corvane::*target;
    double rate; // per second
    unsigned int Corvane::*anim;
};
constexpr MoverSpec MOVERS[3] = {
    {&Corvane::gearPos, &Corvane::gearTarget, GEAR_RATE, &Corvane::gearAnim},
    {&Corvane::canopyPPos, &Corvane::canopyPTarget, CANOPY_RATE, &Corvane::canopyPAnim},
    {&Corvane::canopyCPos, &Corvane::canopyCTarget, CANOPY_RATE, &Corvane::canopyCAnim},
};

unsigned int& AnimationId(Corvane& v, int slot) {
    switch (slot) {
    case GEAR:
        return v.gearAnim;
    case CANOPY_P:
        return v.canopyPAnim;
    case CANOPY_C:
        return v.canopyCAnim;
    case TUNNEL:
        return v.ftlTunnelAnim;
    case BOOST_LAMP:
        return v.boostLightAnim;
    case MAIN_LAMP:
        return v.mainEngineLightAnim;
    default:
        return v.LampAnim(slot - FIRST_LAMP);
    }
}

} // namespace

bool MoveTowardsTarget(double& pos, double target, double rate, double dt) {
    bool moved = false;
    if (target < pos) {
        pos -= rate * dt;
        if (pos < target) pos = target;
        moved = true;
    }
    if (target > pos) {
        pos += rate * dt;
        if (pos > target) pos = target;
        moved = true;
    }
    return moved;
}

void Corvane::DefineAnimations() {
    AnimationRecords& records = Records();
    ANIMATIONCOMPONENT_HANDLE handles[COMPONENT_COUNT] = {};
    for (const Batch& batch : BATCHES) {
        for (int slot = batch.first; slot < batch.first + batch.count; ++slot)
            AnimationId(*this, slot) = CreateAnimation(INITIAL_STATE[slot]);
        for (int slot = batch.first; slot < batch.first + batch.count; ++slot)
            for (int i = 0; i < COMPONENT_COUNT; ++i) {
                const ComponentSpec& c = COMPONENTS[i];
                if (c.anim != slot) continue;
                handles[i] =
                    AddAnimationComponent(AnimationId(*this, slot), c.state0, c.state1,
                                          records.byComponent[i], c.parent < 0 ? nullptr : handles[c.parent]);
            }
    }
}

void Corvane::MoveAnimations(double dt) {
    for (const MoverSpec& m : MOVERS) {
        double& pos = this->*m.pos;
        if (MoveTowardsTarget(pos, this->*m.target, m.rate, dt)) SetAnimation(this->*m.anim, pos);
    }
}
