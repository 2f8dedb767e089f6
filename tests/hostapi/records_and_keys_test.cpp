// Tests of the host records' layout, the animation transforms, the flag values and the keyboard macros.
#include "Orbitersdk.h"
#include "portable.h"

#include <gtest/gtest.h>
#include <stddef.h>
#include <type_traits>

// Layout the host relies on.
static_assert(sizeof(VECTOR3) == 24, "VECTOR3 is three doubles");
static_assert(sizeof(MATRIX3) == 72, "MATRIX3 is nine doubles");
static_assert(sizeof(VECTOR4) == 32, "VECTOR4 is four doubles");
static_assert(sizeof(DWORD) == 4 && sizeof(WORD) == 2 && sizeof(BYTE) == 1, "Win32 integer sizes");
static_assert(std::is_same<decltype(MGROUP_ROTATE::angle), float>::value,
              "the rotation angle is single precision");
static_assert(std::is_same<DEVMESHHANDLE, int*>::value, "device mesh handles are int pointers");
static_assert(std::is_same<OBJHANDLE, OrbiterObject*>::value, "object handles point to the host's objects");
static_assert(!std::has_virtual_destructor<VESSEL>::value, "VESSEL has no virtual destructor");
static_assert(std::is_same<decltype(&VESSEL2::clbkConsumeBufferedKey), int (VESSEL2::*)(int, bool, char*)>::value,
              "the buffered key is an int");
static_assert(std::is_same<decltype(&oapiGetVesselCount), int (*)()>::value, "the vessel count is an int");
static_assert(std::is_same<decltype(VESSELSTATUS2::fuel), VESSELSTATUS2::FUELSPEC*>::value,
              "nested fuel list");
static_assert(std::is_same<decltype(VESSELSTATUS2::thruster), VESSELSTATUS2::THRUSTSPEC*>::value,
              "nested list");
static_assert(std::is_same<decltype(VESSELSTATUS2::dockinfo), VESSELSTATUS2::DOCKINFOSPEC*>::value,
              "nested list");
static_assert(std::is_same<decltype(std::declval<VESSEL&>().GetName()), char*>::value, "GetName gives char*");
static_assert(std::is_same<decltype(&oapiGetObjectByName), OBJHANDLE (*)(const char*)>::value, "const char*");
static_assert(std::is_same<decltype(&oapiOpenInputBox),
                           void (*)(const char*, bool (*)(void*, const char*, void*), const char*, int, void*)>::value,
              "input-box callbacks get const text");

TEST(HostRecords, VesselStatus2FieldsAreInTheHostOrder) {
    const size_t order[] = {offsetof(VESSELSTATUS2, version),  offsetof(VESSELSTATUS2, flag),
                            offsetof(VESSELSTATUS2, rbody),    offsetof(VESSELSTATUS2, base),
                            offsetof(VESSELSTATUS2, port),     offsetof(VESSELSTATUS2, status),
                            offsetof(VESSELSTATUS2, rpos),     offsetof(VESSELSTATUS2, rvel),
                            offsetof(VESSELSTATUS2, vrot),     offsetof(VESSELSTATUS2, arot),
                            offsetof(VESSELSTATUS2, surf_lng), offsetof(VESSELSTATUS2, surf_lat),
                            offsetof(VESSELSTATUS2, surf_hdg), offsetof(VESSELSTATUS2, nfuel),
                            offsetof(VESSELSTATUS2, fuel),     offsetof(VESSELSTATUS2, nthruster),
                            offsetof(VESSELSTATUS2, thruster), offsetof(VESSELSTATUS2, ndockinfo),
                            offsetof(VESSELSTATUS2, dockinfo), offsetof(VESSELSTATUS2, xpdr)};
    EXPECT_EQ(order[0], 0u);
    for (size_t i = 1; i < sizeof order / sizeof order[0]; i++)
        EXPECT_GT(order[i], order[i - 1]) << "field " << i;
    VESSELSTATUS2::FUELSPEC all = {-1, 0.5};
    EXPECT_EQ(all.idx, -1);
    VESSELSTATUS2::DOCKINFOSPEC dock = {0, 1, nullptr};
    EXPECT_EQ(dock.ridx, 1);
}

TEST(HostRecords, VesselStatusFlagBitsAreDistinctPowersOfTwo) {
    const int bits[] = {VS_FUELRESET, VS_FUELLIST, VS_THRUSTRESET, VS_THRUSTLIST, VS_DOCKINFOLIST};
    int all = 0;
    for (int b : bits) {
        EXPECT_EQ(all & b, 0);
        all |= b;
    }
    EXPECT_EQ(all, 0x1F);
}

TEST(HostRecords, ParticleStreamEnumsAreNestedWithHostValues) {
    PARTICLESTREAMSPEC ps = {0,
                             1.0,
                             2.0,
                             3.0,
                             0.1,
                             4.0,
                             5.0,
                             0.5,
                             PARTICLESTREAMSPEC::DIFFUSE,
                             PARTICLESTREAMSPEC::LVL_PSQRT,
                             0.0,
                             1.0,
                             PARTICLESTREAMSPEC::ATM_PLOG,
                             1e-4,
                             1.0,
                             nullptr};
    EXPECT_EQ(ps.ltype, 1);
    EXPECT_EQ(ps.levelmap, 4);
    EXPECT_EQ(ps.atmsmap, 2);
    EXPECT_DOUBLE_EQ(ps.lifetime, 4.0);
    EXPECT_EQ(PARTICLESTREAMSPEC::EMISSIVE, 0);
    EXPECT_EQ(PARTICLESTREAMSPEC::LVL_FLAT, 0);
}

TEST(AnimationTransforms, EachTransformReportsItsTypeThroughTheBaseWhichDeletesItSafely) {
    UINT groups[3] = {4, 5, 6};
    MGROUP_ROTATE rot(1, groups, 3, _V(0, 1, 2), _V(1, 0, 0), (float)(90.0 * RAD));
    MGROUP_TRANSLATE move(2, MAKEGROUPARRAY(groups), 2, _V(0, 0, 3));
    MGROUP_SCALE scale(0, groups, 1, _V(0, 0, 0), _V(2, 2, 2));
    MGROUP_TRANSFORM none;
    const MGROUP_TRANSFORM* all[] = {&rot, &move, &scale, &none};
    const MGROUP_TRANSFORM::TYPE expected[] = {MGROUP_TRANSFORM::ROTATE, MGROUP_TRANSFORM::TRANSLATE,
                                               MGROUP_TRANSFORM::SCALE, MGROUP_TRANSFORM::NULLTRANSFORM};
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(all[i]->Type(), expected[i]) << "transform " << i;
    EXPECT_EQ(rot.mesh, 1u);
    EXPECT_EQ(rot.grp, groups);
    EXPECT_EQ(rot.ngrp, 3u);
    EXPECT_FLOAT_EQ(rot.angle, (float)PI05);
    EXPECT_DOUBLE_EQ(rot.ref.z, 2.0);
    EXPECT_DOUBLE_EQ(move.shift.z, 3.0);
    EXPECT_DOUBLE_EQ(scale.scale.y, 2.0);
    EXPECT_EQ(none.grp, nullptr);
    EXPECT_EQ(LOCALVERTEXLIST, 0xFFFFFFFFu);
    MGROUP_TRANSFORM* t = new MGROUP_ROTATE(0, groups, 1, _V(0, 0, 0), _V(0, 0, 1), 1.0f);
    EXPECT_EQ(t->Type(), MGROUP_TRANSFORM::ROTATE);
    delete t; // under the address sanitizer a missing virtual destructor shows here
}

TEST(MeshGroupEdit, CombinedFlagsCoverTheirSingleBits) {
    EXPECT_EQ(GRPEDIT_VTXCRD, 0x38u);
    EXPECT_EQ(GRPEDIT_VTXNML, 0x1C0u);
    EXPECT_EQ(GRPEDIT_VTXTEX, 0x600u);
    EXPECT_EQ(GRPEDIT_VTX, 0x7F8u);
    EXPECT_EQ(GRPEDIT_VTXCRDADD, 0x3800u);
    EXPECT_EQ(GRPEDIT_VTXNMLADD, 0x1C000u);
    EXPECT_EQ(GRPEDIT_VTXTEXADD, 0x60000u);
    EXPECT_EQ(GRPEDIT_VTXADD, 0x7F800u);
    EXPECT_EQ(GRPEDIT_VTXMOD, 0x7FFF8u);
    EXPECT_EQ(GRPEDIT_VTXMOD & (GRPEDIT_SETUSERFLAG | GRPEDIT_ADDUSERFLAG | GRPEDIT_DELUSERFLAG), 0u);
}

TEST(HostEnums, ValuesMatchTheHost) {
    EXPECT_EQ(THGROUP_MAIN, 0);
    EXPECT_EQ(THGROUP_HOVER, 2);
    EXPECT_EQ(THGROUP_ATT_BACK, 14);
    EXPECT_EQ(THGROUP_USER, 0x40);
    EXPECT_EQ(LIFT_HORIZONTAL, 1);
    EXPECT_EQ(AIRCTRL_RUDDERTRIM, 5);
    EXPECT_EQ(AIRCTRL_AXIS_XNEG, 4);
    EXPECT_EQ(MESHVIS_ALWAYS, 3);
    EXPECT_EQ(MESHVIS_VC, 4);
    EXPECT_EQ(MESHVIS_EXTPASS, 0x10);
    EXPECT_EQ(CAM_GROUNDOBSERVER, 6);
    EXPECT_EQ(COCKPIT_VIRTUAL, 3);
    EXPECT_EQ(RCS_LIN, 2);
    EXPECT_EQ(NAVMODE_HOLDALT, 7);
    EXPECT_EQ(OBJTP_VESSEL, 10);
    EXPECT_EQ(FILE_IN_ZEROONFAIL, 3);
    EXPECT_EQ(MODULES, 6);
}

namespace {
struct KeyCode {
    int code;
    int value;
    const char* name;
};
constexpr KeyCode KEY_CODES[] = {
    {OAPI_KEY_ESCAPE, 0x01, "ESCAPE"},
    {OAPI_KEY_1, 0x02, "1"},
    {OAPI_KEY_5, 0x06, "5"},
    {OAPI_KEY_0, 0x0B, "0"},
    {OAPI_KEY_Q, 0x10, "Q"},
    {OAPI_KEY_I, 0x17, "I"},
    {OAPI_KEY_LCONTROL, 0x1D, "LCONTROL"},
    {OAPI_KEY_A, 0x1E, "A"},
    {OAPI_KEY_D, 0x20, "D"},
    {OAPI_KEY_J, 0x24, "J"},
    {OAPI_KEY_K, 0x25, "K"},
    {OAPI_KEY_LSHIFT, 0x2A, "LSHIFT"},
    {OAPI_KEY_B, 0x30, "B"},
    {OAPI_KEY_M, 0x32, "M"},
    {OAPI_KEY_RSHIFT, 0x36, "RSHIFT"},
    {OAPI_KEY_LALT, 0x38, "LALT"},
    {OAPI_KEY_SPACE, 0x39, "SPACE"},
    {OAPI_KEY_F1, 0x3B, "F1"},
    {OAPI_KEY_F8, 0x42, "F8"},
    {OAPI_KEY_F10, 0x44, "F10"},
    {OAPI_KEY_NUMPAD0, 0x52, "NUMPAD0"},
    {OAPI_KEY_DECIMAL, 0x53, "DECIMAL"},
    {OAPI_KEY_F11, 0x57, "F11"},
    {OAPI_KEY_F12, 0x58, "F12"},
    {OAPI_KEY_RCONTROL, 0x9D, "RCONTROL"},
    {OAPI_KEY_RALT, 0xB8, "RALT"},
    {OAPI_KEY_UP, 0xC8, "UP"},
    {OAPI_KEY_DOWN, 0xD0, "DOWN"},
    {OAPI_KEY_RETURN, 0x1C, "RETURN"},
    {OAPI_KEY_DELETE, 0xD3, "DELETE"},
};
} // namespace

TEST(KeyCodes, ScanCodesMatchTheDirectInputTable) {
    for (const KeyCode& k : KEY_CODES)
        EXPECT_EQ(k.code, k.value) << "OAPI_KEY_" << k.name;
}

TEST(KeyCodes, KeydownTestsBitSevenOfASignedCharBufferAndModifiersAcceptEitherSide) {
    char kstate[256] = {};
    EXPECT_FALSE(KEYDOWN(kstate, OAPI_KEY_G));
    kstate[OAPI_KEY_G] = (char)0x80;
    EXPECT_TRUE(KEYDOWN(kstate, OAPI_KEY_G));
    kstate[OAPI_KEY_H] = 0x7F; // every other bit set is still "up"
    EXPECT_FALSE(KEYDOWN(kstate, OAPI_KEY_H));
    RESETKEY(kstate, OAPI_KEY_G);
    EXPECT_EQ(kstate[OAPI_KEY_G], 0);
    EXPECT_FALSE(KEYDOWN(kstate, OAPI_KEY_G));
    // Modifiers accept either side.
    EXPECT_FALSE(KEYMOD_SHIFT(kstate));
    EXPECT_FALSE(KEYMOD_CONTROL(kstate));
    EXPECT_FALSE(KEYMOD_ALT(kstate));
    kstate[OAPI_KEY_RSHIFT] = (char)0x80;
    kstate[OAPI_KEY_RCONTROL] = (char)0x80;
    kstate[OAPI_KEY_LALT] = (char)0x80;
    EXPECT_TRUE(KEYMOD_SHIFT(kstate));
    EXPECT_FALSE(KEYMOD_LSHIFT(kstate));
    EXPECT_TRUE(KEYMOD_CONTROL(kstate));
    EXPECT_FALSE(KEYMOD_LCONTROL(kstate));
    EXPECT_TRUE(KEYMOD_ALT(kstate));
    EXPECT_FALSE(KEYMOD_RALT(kstate));
    kstate[OAPI_KEY_RSHIFT] = 0;
    kstate[OAPI_KEY_LSHIFT] = (char)0x80;
    EXPECT_TRUE(KEYMOD_SHIFT(kstate));
}

TEST(Sketchpad, DefaultDrawingCallsAreHarmlessNoOps) {
    oapi::Sketchpad skp(nullptr);
    EXPECT_FALSE(skp.Text(10, 20, "HWG", 3));
    EXPECT_EQ(skp.SetTextColor(0x00FF00), 0u);
    EXPECT_EQ(skp.SetFont(nullptr), nullptr);
    EXPECT_EQ(skp.GetCharSize(), 0);
    EXPECT_EQ(skp.GetTextWidth("abc"), 0);
    oapi::IVECTOR2 pts[2] = {{{0, 0}}, {{5, 5}}};
    skp.Polyline(pts, 2);
    skp.SetTextAlign(oapi::Sketchpad::CENTER);
    EXPECT_EQ(skp.GetSurface(), nullptr);
}
