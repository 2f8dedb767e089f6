// The Corvane's class configuration as the host records it: start values, engines, lights, meshes, surfaces.
#include "expect_vector.h"
#include "vessel_fixture.h"

#include <cmath>
#include <cstring>

using coretest::CoreWorld;
using testvec::ExpectVec;

namespace {

class ClassCaps : public CoreWorld {
  protected:
    // A vessel made by the host without any scenario block: only the creation and the class set-up ran.
    void CreateBare() {
        LoadText(coretest::Scenario("", "Corvane-1"));
        std::string err;
        ASSERT_NE(Sim().CreateVessel("Corvane-1", "Corvane", nullptr, &err), nullptr) << err;
        ASSERT_NE(Ship(), nullptr);
    }

    int ThrusterIndex(Vessel* v, THRUSTER_HANDLE th) {
        for (size_t i = 0; i < v->thrusters.size(); ++i)
            if (v->thrusters[i].get() == th) return (int)i;
        return -1;
    }
};

} // namespace

TEST_F(ClassCaps, VesselWithoutScenarioBlockHoldsEveryStartValue) {
    CreateBare();
    Corvane* c = Ship();
    EXPECT_EQ(c->gearPos, 0.0);
    EXPECT_EQ(c->gearTarget, 0.0);
    EXPECT_EQ(c->canopyPPos, 0.0);
    EXPECT_EQ(c->canopyPTarget, 0.0);
    EXPECT_EQ(c->canopyCPos, 0.0);
    EXPECT_EQ(c->canopyCTarget, 0.0);
    EXPECT_TRUE(c->inertialDampeners);
    EXPECT_FALSE(c->brakeEngaged);
    EXPECT_FALSE(c->boost);
    EXPECT_TRUE(c->mainEngineFed);
    EXPECT_EQ(c->viewIndex, 0);
    EXPECT_EQ(c->ftlState, 0);
    EXPECT_EQ(c->hwgTimer, 0.0);
    EXPECT_EQ(c->hwgJumpDuration, 1.0);
    EXPECT_EQ(c->hwgStepIndex, 1);
    EXPECT_EQ(c->ftlTunnelPhase, 0.0);
    EXPECT_EQ(c->railCycle, 0.0);
    EXPECT_EQ(c->shipMeshVisibility, 3);
    EXPECT_STREQ(c->ammoClassName, "Pellorin");
    EXPECT_STREQ(c->hudMessage, "Welcome aboard ! E=EVA  M=add crew");
    EXPECT_EQ(c->hudMessageTimer, 15.0);
    EXPECT_EQ(c->addCrewDialog.addCrewStage, 0);
    EXPECT_EQ(c->evaSeat, -1);
    EXPECT_EQ(c->visualMesh, nullptr);

    // Two crew aboard in two seats, airlock closed.
    EXPECT_EQ(c->crew.crewCount, 2);
    EXPECT_EQ(c->crew.seatCount, 2);
    EXPECT_EQ(c->crew.airlockOpen, 0);
    EXPECT_STREQ(c->crew.roster[0].name, "Ilse Marrow");
    EXPECT_STREQ(c->crew.roster[0].functionCode, "Capt");
    EXPECT_EQ(c->crew.roster[0].age, 35);
    EXPECT_STREQ(c->crew.roster[1].name, "Teodor Vanke");
    EXPECT_STREQ(c->crew.roster[1].functionCode, "Sci");
    EXPECT_EQ(c->crew.roster[1].age, 41);

    // A full tank; main engine fed from it, boost engine unfed.
    Vessel* v = Record();
    ASSERT_EQ(v->propellants.size(), 1u);
    EXPECT_EQ(v->propellants[0]->maxMass, 10000.0);
    EXPECT_EQ(v->propellants[0]->mass, 10000.0);
    EXPECT_EQ(c->mainTank, v->propellants[0].get());
    EXPECT_EQ(static_cast<hs::Thruster*>(c->mainThruster)->res, v->propellants[0].get());
    EXPECT_EQ(static_cast<hs::Thruster*>(c->boostThruster)->res, nullptr);
}

TEST_F(ClassCaps, PhysicalMakeUpDockCameraAndTheTunnelAndShipMeshesWithTheirVisibility) {
    CreateBare();
    Vessel* v = Record();
    EXPECT_EQ(v->size, 8.0);
    ExpectVec(v->pmi, 4.82, 12.81, 9.246, "pmi");
    ExpectVec(v->crossSections, 23.15, 96.75, 13.31, "cross sections");
    ExpectVec(v->rotDrag, 0.05, 0.1, 0.05, "rot drag");
    ExpectVec(v->touchdown[0], 0, -2.6, 4.2, "nose wheel");
    ExpectVec(v->touchdown[1], -5.9, -2.6, 1.0, "left wheel");
    ExpectVec(v->touchdown[2], 5.9, -2.6, 1.0, "right wheel");
    EXPECT_TRUE(v->nosewheelSteering);
    ASSERT_EQ(v->docks.size(), 1u);
    ExpectVec(v->docks[0]->pos, 0, 1.3, -1.0, "dock pos");
    ExpectVec(v->docks[0]->dir, 0, 1, 0, "dock dir");
    ExpectVec(v->docks[0]->rot, 0, 0, -1, "dock rot");
    ExpectVec(v->cameraOffset, 0, 0.73, 3.03, "camera");
    ASSERT_EQ(v->meshes.size(), 2u);
    EXPECT_EQ(v->meshes[0]->name, "corvane-hspace");
    EXPECT_EQ(v->meshes[1]->name, "Corvane");
    EXPECT_EQ(v->meshes[0]->visMode, MESHVIS_COCKPIT);
    EXPECT_EQ(v->meshes[1]->visMode, MESHVIS_ALWAYS);
}

TEST_F(ClassCaps, EighteenThrustersInCreationOrderWithTheirGroupsTheHoverUnplacedPointingUpWithNoThrust) {
    CreateBare();
    Corvane* c = Ship();
    Vessel* v = Record();
    ASSERT_EQ(v->thrusters.size(), 18u);
    hs::Propellant* tank = v->propellants[0].get();

    const hs::Thruster& retro = *v->thrusters[0];
    ExpectVec(retro.pos, 0, 0, -4.35, "retro pos");
    ExpectVec(retro.dir, 0, 0, -1, "retro dir");
    EXPECT_EQ(retro.max0, 200000.0);
    EXPECT_EQ(retro.isp0, 40000.0);
    EXPECT_EQ(retro.res, tank);

    EXPECT_EQ(ThrusterIndex(v, c->mainThruster), 1);
    EXPECT_EQ(ThrusterIndex(v, c->boostThruster), 2);
    EXPECT_EQ(ThrusterIndex(v, c->hoverThruster), 3);
    const hs::Thruster& boost = *v->thrusters[2];
    EXPECT_EQ(boost.max0, 225000.0);
    EXPECT_EQ(boost.isp0, 10000.0);
    ExpectVec(boost.dir, 0, 0, 1, "boost dir");
    for (const auto& t : v->thrusters) {
        EXPECT_EQ(t->ispRef, 0.0);
        EXPECT_EQ(t->pRef, 101400.0);
    }

    // The host configures a vessel before it gives it a place, so the weight it reports then is zero: the
    // hover engine, set up to push against the weight with its magnitude, points up with no thrust.
    const hs::Thruster& hover = *v->thrusters[3];
    EXPECT_EQ(hover.isp0, 400000.0);
    EXPECT_EQ(hover.res, tank);
    ExpectVec(hover.pos, 0, 0, 0, "hover pos");
    ExpectVec(hover.dir, 0, 1, 0, "hover dir");
    EXPECT_EQ(hover.max0, 0.0);

    // RCS 1 and RCS 14 bracket the attitude set.
    ExpectVec(v->thrusters[4]->pos, 1, 0, 3, "rcs1 pos");
    ExpectVec(v->thrusters[4]->dir, 0, 1, 0, "rcs1 dir");
    ExpectVec(v->thrusters[17]->pos, 0, 0, 3, "rcs14 pos");
    ExpectVec(v->thrusters[17]->dir, 0, 0, -1, "rcs14 dir");
    for (int i = 4; i < 18; ++i) {
        EXPECT_EQ(v->thrusters[i]->max0, 1000.0);
        EXPECT_EQ(v->thrusters[i]->res, tank);
    }

    // Groups: retro, main, hover, then the twelve attitude groups; members by RCS number.
    struct Expected {
        THGROUP_TYPE type;
        std::vector<int> members; // thruster indices
    };
    auto rcs = [](int n) { return n + 3; };
    const Expected expected[] = {
        {THGROUP_RETRO, {0}},
        {THGROUP_MAIN, {1}},
        {THGROUP_HOVER, {3}},
        {THGROUP_ATT_PITCHUP, {rcs(1), rcs(3), rcs(6), rcs(8)}},
        {THGROUP_ATT_PITCHDOWN, {rcs(2), rcs(4), rcs(5), rcs(7)}},
        {THGROUP_ATT_BANKLEFT, {rcs(1), rcs(5), rcs(4), rcs(8)}},
        {THGROUP_ATT_BANKRIGHT, {rcs(2), rcs(6), rcs(3), rcs(7)}},
        {THGROUP_ATT_UP, {rcs(1), rcs(5), rcs(3), rcs(7)}},
        {THGROUP_ATT_DOWN, {rcs(2), rcs(6), rcs(4), rcs(8)}},
        {THGROUP_ATT_YAWLEFT, {rcs(9), rcs(12)}},
        {THGROUP_ATT_YAWRIGHT, {rcs(10), rcs(11)}},
        {THGROUP_ATT_LEFT, {rcs(9), rcs(11)}},
        {THGROUP_ATT_RIGHT, {rcs(10), rcs(12)}},
        {THGROUP_ATT_FORWARD, {rcs(13)}},
        {THGROUP_ATT_BACK, {rcs(14)}},
    };
    ASSERT_EQ(v->groups.size(), 15u);
    for (size_t g = 0; g < 15; ++g) {
        EXPECT_EQ(v->groups[g]->type, expected[g].type) << "group " << g;
        ASSERT_EQ(v->groups[g]->members.size(), expected[g].members.size()) << "group " << g;
        for (size_t m = 0; m < expected[g].members.size(); ++m)
            EXPECT_EQ(v->groups[g]->members[m], v->thrusters[expected[g].members[m]].get()) << "group " << g;
    }
}

TEST_F(ClassCaps, ExhaustFlamesAndParticleStreams) {
    CreateBare();
    Corvane* c = Ship();
    Vessel* v = Record();
    // Retro 2, main 2, boost 1, fourteen attitude thrusters with 2 each.
    ASSERT_EQ(v->exhausts.size(), 33u);
    EXPECT_EQ(v->exhausts[0].th, v->thrusters[0].get());
    ExpectVec(v->exhausts[0].pos, 2.7, -0.455, 3.5, "retro flame");
    EXPECT_EQ(v->exhausts[0].lscale, 8.0);
    EXPECT_EQ(v->exhausts[2].th, c->mainThruster);
    ExpectVec(v->exhausts[2].pos, -2.7, -0.415, -4.6, "main flame");
    ExpectVec(v->exhausts[2].dir, 0, 0, -1, "main flame dir");
    EXPECT_EQ(v->exhausts[4].th, c->boostThruster);
    EXPECT_EQ(v->exhausts[4].lscale, 9.0);
    EXPECT_EQ(v->exhausts[4].wscale, 2.0);
    ExpectVec(v->exhausts[4].pos, 0, 0, -5.1, "boost flame");
    // Attitude flames follow in thruster order, two each.
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(v->exhausts[5 + 2 * i].th, v->thrusters[4 + i].get()) << "rcs " << i + 1;
        EXPECT_EQ(v->exhausts[6 + 2 * i].th, v->thrusters[4 + i].get()) << "rcs " << i + 1;
        EXPECT_EQ(v->exhausts[5 + 2 * i].lscale, 0.75);
        EXPECT_EQ(v->exhausts[5 + 2 * i].wscale, 0.05);
    }
    ExpectVec(v->exhausts[31].pos, 2.7, -0.455, 3.1, "rcs14 flame");
    ExpectVec(v->exhausts[31].dir, 0, 0, 1, "rcs14 flame dir");

    ASSERT_EQ(v->streams.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        const hs::ParticleStream& s = *v->streams[i];
        EXPECT_EQ(s.th, i < 4 ? c->mainThruster : c->boostThruster) << "stream " << i;
        const bool smoke = i % 2 == 0;
        EXPECT_EQ(s.spec.srcsize, smoke ? 5.0 : 2.0);
        EXPECT_EQ(s.spec.srcrate, smoke ? 16.0 : 20.0);
        EXPECT_EQ(s.spec.v0, 200.0);
        EXPECT_EQ(s.spec.lifetime, smoke ? 1.0 : 0.1);
        EXPECT_EQ(s.spec.ltype, smoke ? PARTICLESTREAMSPEC::DIFFUSE : PARTICLESTREAMSPEC::EMISSIVE);
        EXPECT_EQ(s.spec.levelmap, smoke ? PARTICLESTREAMSPEC::LVL_PSQRT : PARTICLESTREAMSPEC::LVL_SQRT);
        EXPECT_EQ(s.spec.atmsmap, PARTICLESTREAMSPEC::ATM_PLOG);
        EXPECT_EQ(s.spec.amin, smoke ? 0.0001 : 0.00001);
        EXPECT_EQ(s.spec.tex, nullptr);
    }
    ExpectVec(v->streams[2]->pos, 2.7, -0.415, -5.1, "second nozzle");
    ExpectVec(v->streams[5]->pos, 0, 0, -5.5, "boost stream");
}

TEST_F(ClassCaps, SevenAttachmentPointsWithTheirIds) {
    CreateBare();
    Corvane* c = Ship();
    Vessel* v = Record();
    // The crew manager publishes its airlock point ("UMmu") of its own; the vessel's seven follow in order.
    std::vector<hs::Attachment*> own;
    for (const auto& a : v->attachments)
        if (std::strcmp(a->id, "UMmu") != 0) own.push_back(a.get());
    ASSERT_EQ(own.size(), 7u);
    const char* ids[7] = {"APR", "GUN", "GUN", "AHP", "AHP", "AHP", "AHP"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_STREQ(own[i]->id, ids[i]) << i;
        EXPECT_EQ(own[i]->toParent, i == 0) << i;
        EXPECT_FALSE(own[i]->loose);
    }
    EXPECT_EQ(c->carrierAttachment, own[0]);
    EXPECT_EQ(c->railAttachLeft, own[1]);
    EXPECT_EQ(c->railAttachRight, own[2]);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(c->hardpointAttachments[i], own[3 + i]);
    ExpectVec(own[0]->pos, 0, -2.6, 0, "carrier point");
    ExpectVec(own[0]->dir, 0, 0, -1, "carrier dir");
    ExpectVec(own[0]->rot, 0, 1, 0, "carrier rot");
    ExpectVec(own[1]->pos, -1.165, 0, 3.8, "left barrel");
    ExpectVec(own[2]->pos, 1.165, 0, 3.8, "right barrel");
    ExpectVec(own[2]->dir, 0, 0, 1, "barrel dir");
    ExpectVec(own[3]->pos, -4.77, -1.22, 1.71, "first hardpoint");
    ExpectVec(own[6]->pos, 3.94, -0.961, 1.71, "last hardpoint");
    ExpectVec(own[6]->dir, 0, -1, 0, "hardpoint dir");
    ExpectVec(own[6]->rot, 0, 0, 1, "hardpoint rot");
}

TEST_F(ClassCaps, EightBeaconsSwitchedOnFromTheClassWideTable) {
    CreateBare();
    Corvane* c = Ship();
    Vessel* v = Record();
    ASSERT_EQ(v->beacons.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        const BEACONLIGHTSPEC* b = v->beacons[i];
        EXPECT_EQ(b, &c->beacons[i]);
        EXPECT_TRUE(b->active);
        EXPECT_EQ(b->shape, i < 4 ? (DWORD)BEACONSHAPE_DIFFUSE : (DWORD)BEACONSHAPE_STAR);
        EXPECT_EQ(b->size, i < 4 ? 0.3 : 0.55);
        EXPECT_EQ(b->falloff, i < 4 ? 0.4 : 0.6);
        EXPECT_EQ(b->duration, i < 6 ? 0.1 : 0.05);
        EXPECT_NEAR(b->tofs, (6 - i) * 0.2, 1e-12);
    }
    EXPECT_EQ(v->beacons[0]->period, 0.0);
    EXPECT_EQ(v->beacons[4]->period, 2.0);
    EXPECT_EQ(v->beacons[7]->period, 1.13);
    ExpectVec(*v->beacons[0]->pos, -8.339, -2.194, 4.048, "beacon 0");
    ExpectVec(*v->beacons[0]->col, 1.0, 0.5, 0.5, "beacon 0 colour");
    ExpectVec(*v->beacons[1]->col, 0.5, 1.0, 0.5, "beacon 1 colour");
    ExpectVec(*v->beacons[5]->pos, 0, -1.095, 1.337, "beacon 5");
    ExpectVec(*v->beacons[7]->pos, 8.339, -2.194, 1.817, "beacon 7");
}

TEST_F(ClassCaps, AnimationsAndTheirComponentsInCreationOrder) {
    CreateBare();
    Corvane* c = Ship();
    Vessel* v = Record();
    // Eighteen of the vessel's own, then the three control-surface animations.
    ASSERT_EQ(v->animations.size(), 21u);
    EXPECT_EQ(c->gearAnim, 0u);
    EXPECT_EQ(c->canopyPAnim, 1u);
    EXPECT_EQ(c->canopyCAnim, 2u);
    EXPECT_EQ(c->ftlTunnelAnim, 3u);
    EXPECT_EQ(c->boostLightAnim, 4u);
    EXPECT_EQ(c->mainEngineLightAnim, 5u);
    EXPECT_EQ(c->dampenersOfflineLightAnim, 6u);
    EXPECT_EQ(c->lowPropellantLightAnim, 7u);
    EXPECT_EQ(c->gearLightAnim, 8u);
    EXPECT_EQ(c->parkingBrakeLightAnim, 9u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(c->spareLightAnims[i], 10u + i);

    const size_t counts[21] = {6, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2};
    for (int a = 0; a < 21; ++a)
        EXPECT_EQ(v->animations[a].components.size(), counts[a]) << "animation " << a;

    // The gear: the front doors ride on the front leg; the leg turns over the second half of the cycle.
    const hs::Animation& gear = v->animations[0];
    EXPECT_EQ(gear.components[0]->state0, 0.5);
    EXPECT_EQ(gear.components[0]->state1, 1.0);
    EXPECT_EQ(gear.components[1]->parent, gear.components[0].get());
    EXPECT_EQ(gear.components[1]->state1, 0.7);
    for (int i = 2; i < 6; ++i)
        EXPECT_EQ(gear.components[i]->parent, nullptr);
    auto* leg = static_cast<MGROUP_ROTATE*>(gear.components[0]->trans);
    EXPECT_EQ(leg->mesh, 1u);
    ASSERT_EQ(leg->ngrp, 1u);
    EXPECT_EQ(leg->grp[0], 36u);
    EXPECT_FLOAT_EQ(leg->angle, (float)(80 * 0.017453292519943295));
    auto* doors = static_cast<MGROUP_TRANSLATE*>(gear.components[1]->trans);
    ASSERT_EQ(doors->ngrp, 2u);
    EXPECT_EQ(doors->grp[0], 35u);
    EXPECT_EQ(doors->grp[1], 34u);
    ExpectVec(doors->shift, 0, 0.72, 0, "door shift");

    // The tunnel turns on mesh 0; the lamps sit on groups 27 down to 14.
    auto* tunnel = static_cast<MGROUP_ROTATE*>(v->animations[3].components[0]->trans);
    EXPECT_EQ(tunnel->mesh, 0u);
    ExpectVec(tunnel->axis, 0, 0, -1, "tunnel axis");
    for (int a = 4; a < 18; ++a) {
        auto* lamp = static_cast<MGROUP_TRANSLATE*>(v->animations[a].components[0]->trans);
        EXPECT_EQ(lamp->grp[0], (UINT)(27 - (a - 4))) << "lamp animation " << a;
        EXPECT_EQ(v->animations[a].initial, 1.0);
    }

    // The twelve lamps from the dampener lamp on are put out at set-up; boost and main lamps are not.
    EXPECT_EQ(v->animations[4].state, 1.0);
    EXPECT_EQ(v->animations[5].state, 1.0);
    for (int a = 6; a < 18; ++a)
        EXPECT_EQ(v->animations[a].state, 0.0) << "lamp animation " << a;
}

TEST_F(ClassCaps, AirfoilsInPairsAndFourControlSurfacesWithTheirAnimations) {
    CreateBare();
    Vessel* v = Record();
    ASSERT_EQ(v->airfoils.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        const hs::Airfoil& a = *v->airfoils[i];
        const bool vertical = i < 2;
        EXPECT_EQ(a.align, vertical ? LIFT_VERTICAL : LIFT_HORIZONTAL);
        EXPECT_EQ(a.c, vertical ? 5.645 : 3.024);
        EXPECT_EQ(a.S, vertical ? 101.816 : 9.407);
        EXPECT_EQ(a.A, vertical ? 1.4 : 1.17);
        EXPECT_EQ(a.context, nullptr);
        ASSERT_NE(a.cf, nullptr);
    }
    // The callbacks give the table lift at zero angle.
    double cl = 0, cm = 0, cd = 0;
    v->airfoils[0]->cf(v->iface, 0.0, 0.3, 1e6, nullptr, &cl, &cm, &cd);
    EXPECT_NEAR(cl, 0.2, 1e-12);
    v->airfoils[2]->cf(v->iface, 0.25 * PI, 0.3, 1e6, nullptr, &cl, &cm, &cd);
    EXPECT_NEAR(cl, 0.4, 1e-12);

    ASSERT_EQ(v->ctrlSurfaces.size(), 4u);
    const hs::ControlSurface& elevator = *v->ctrlSurfaces[0];
    EXPECT_EQ(elevator.type, AIRCTRL_ELEVATOR);
    EXPECT_EQ(elevator.area, 38.326);
    EXPECT_EQ(elevator.dCl, 0.7);
    EXPECT_EQ(elevator.axis, AIRCTRL_AXIS_XPOS);
    EXPECT_EQ(elevator.delay, 0.25);
    EXPECT_EQ(elevator.anim, 20u);
    EXPECT_EQ(v->ctrlSurfaces[1]->type, AIRCTRL_AILERON);
    EXPECT_EQ(v->ctrlSurfaces[1]->anim, 18u);
    ExpectVec(v->ctrlSurfaces[1]->ref, 5.83, 0, -0.18, "right aileron");
    EXPECT_EQ(v->ctrlSurfaces[2]->axis, AIRCTRL_AXIS_XNEG);
    EXPECT_EQ(v->ctrlSurfaces[2]->anim, 19u);
    const hs::ControlSurface& rudder = *v->ctrlSurfaces[3];
    EXPECT_EQ(rudder.type, AIRCTRL_RUDDER);
    EXPECT_EQ(rudder.axis, AIRCTRL_AXIS_YPOS);
    EXPECT_EQ(rudder.delay, 0.1);
    // The rudder moves no mesh group.
    EXPECT_EQ(rudder.anim, (UINT)-1);

    // Elevons: groups 29 and 33, the elevator's first half turning the opposite way.
    for (int a = 18; a < 21; ++a)
        EXPECT_EQ(v->animations[a].initial, 0.5);
    auto* right = static_cast<MGROUP_ROTATE*>(v->animations[18].components[0]->trans);
    auto* elevatorLeft = static_cast<MGROUP_ROTATE*>(v->animations[20].components[0]->trans);
    auto* elevatorRight = static_cast<MGROUP_ROTATE*>(v->animations[20].components[1]->trans);
    EXPECT_EQ(right->grp[0], 29u);
    EXPECT_EQ(elevatorLeft->grp[0], 29u);
    EXPECT_EQ(elevatorRight->grp[0], 33u);
    EXPECT_FLOAT_EQ(right->angle, (float)(20 * 0.017453292519943295));
    EXPECT_FLOAT_EQ(elevatorLeft->angle, -(float)(20 * 0.017453292519943295));
    ExpectVec(right->axis, -0.736771903, -0.415135401, 0.533694446, "right aileron axis");
}

TEST_F(ClassCaps, TwoVesselsShareTheClassWideTransformRecordsButNotTheirState) {
    LoadText(coretest::Scenario(coretest::LandedBlock("Corvane-1", "  GEAR 0.000 1.000\n  AMMO Alpha\n") +
                                    coretest::LandedBlock("Corvane-2", "  CANP 1.000 1.000\n  AMMO Beta\n"),
                                "Corvane-2"));
    Vessel* a = Record("Corvane-1");
    Vessel* b = Record("Corvane-2");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    for (size_t i = 0; i < a->animations.size(); ++i)
        for (size_t k = 0; k < a->animations[i].components.size(); ++k)
            EXPECT_EQ(a->animations[i].components[k]->trans, b->animations[i].components[k]->trans);
    EXPECT_EQ(a->beacons[3]->pos, b->beacons[3]->pos);
    EXPECT_NE(a->beacons[3], b->beacons[3]);

    Corvane* c1 = Ship("Corvane-1");
    Corvane* c2 = Ship("Corvane-2");
    EXPECT_STREQ(c1->ammoClassName, "Alpha");
    EXPECT_STREQ(c2->ammoClassName, "Beta");
    EXPECT_EQ(c1->gearTarget, 1.0);
    EXPECT_EQ(c2->gearTarget, 0.0);
    EXPECT_EQ(c2->canopyPPos, 1.0);
    EXPECT_EQ(c1->canopyPPos, 0.0);

    // Removing one vessel leaves the other's state untouched.
    oapiDeleteVessel(a);
    Sim().Frame();
    ASSERT_EQ(Record("Corvane-1"), nullptr);
    c2 = Ship("Corvane-2");
    ASSERT_NE(c2, nullptr);
    EXPECT_STREQ(c2->ammoClassName, "Beta");
    EXPECT_EQ(c2->canopyPPos, 1.0);
    EXPECT_EQ(c2->canopyPTarget, 1.0);
    EXPECT_EQ(c2->gearTarget, 0.0);
}
