// The UMmu stand-in vessel: takes its member's data from the ship's record, carries it on its "U-Mm" point.
#include "ummu.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr const char* EVA_RECORD_FILE = "config\\UMmutmp.cfg";
constexpr double SIZE = 1.0;                          // m
constexpr VECTOR3 PMI = {{0.3, 0.15, 0.3}};           // m^2, per unit mass: a standing person
constexpr VECTOR3 CROSS_SECTIONS = {{0.8, 0.4, 0.8}}; // m^2
constexpr VECTOR3 ROT_DRAG = {{0.6, 0.6, 0.6}};
// Feet in front, left and right: the member stands upright 0.9 m above the ground.
constexpr VECTOR3 TOUCHDOWN_POINTS[3] = {{{0, -0.9, 0.2}}, {{-0.2, -0.9, -0.15}}, {{0.2, -0.9, -0.15}}};
constexpr const char* MEMBER_KEY = "MEMBER";
constexpr const char* MEMBER_POINT_ID = "U-Mm";
constexpr const char* AIRLOCK_POINT_ID = "UMmu";
constexpr const char* TRANSFER_PREFIX = "UMmuT";

VECTOR3 MemberPointPos(const UMmuMember& m) {
    return _V(m.age, m.pulse, m.weight);
}

} // namespace

UMmu::UMmu(OBJHANDLE hVessel, int flightmodel)
    : VESSEL3(hVessel, flightmodel), member(DefaultUMmuMember()), memberPoint(nullptr) {}

void UMmu::clbkSetClassCaps(FILEHANDLE) {
    // The ship writes the record just before it creates the vessel; an older record belongs to someone else.
    FILE* f = PortableOpen(EVA_RECORD_FILE, "rb");
    if (f) {
        unsigned char bytes[UMMU_RECORD_SIZE + 1];
        size_t got = fread(bytes, 1, sizeof bytes, f);
        fclose(f);
        UMmuMember fromFile;
        if (DecodeUMmuRecord(bytes, got, fromFile) && UMmuRecordMatches(fromFile.recordName, GetName()))
            member = fromFile;
    }
    SetSize(SIZE);
    SetEmptyMass(member.weight + SUIT_MASS);
    SetPMI(PMI);
    SetCrossSections(CROSS_SECTIONS);
    SetRotDrag(ROT_DRAG);
    SetTouchdownPoints(TOUCHDOWN_POINTS[0], TOUCHDOWN_POINTS[1], TOUCHDOWN_POINTS[2]);
    if (member.mesh[0]) AddMesh(member.mesh);
    // A hand to hold on to cargo; the member's point follows once the member wants to come back.
    CreateAttachment(true, _V(0.3, 0.0, 0.3), _V(0, 0, 1), _V(0, 1, 0), "UMmuHand", false);
}

// Whether the member stands inside the airlock box some ship publishes on its "UMmu" point.
bool UMmu::InsideAnAirlock() const {
    OBJHANDLE self = GetHandle();
    VECTOR3 here;
    oapiGetGlobalPos(self, &here);
    const int count = (int)oapiGetVesselCount();
    for (int i = 0; i < count; ++i) {
        OBJHANDLE h = oapiGetVesselByIndex(i);
        if (!h || h == self) continue;
        VESSEL* ship = oapiGetVesselInterface(h);
        if (!ship) continue;
        const int points = ship->AttachmentCount(false);
        for (int p = 0; p < points; ++p) {
            ATTACHMENTHANDLE a = ship->GetAttachmentHandle(false, p);
            const char* id = a ? ship->GetAttachmentId(a) : nullptr;
            if (!id || strcmp(id, AIRLOCK_POINT_ID) != 0) continue;
            VECTOR3 lo, hi, rot, there, origin, shipPos;
            ship->GetAttachmentParams(a, lo, hi, rot);
            // The point's vectors carry the box: pos = (xMin, xMax, yMin), dir = (yMax, zMin, zMax).
            oapiGetGlobalPos(h, &shipPos);
            ship->Global2Local(here, there);
            ship->Global2Local(shipPos, origin);
            VECTOR3 d = there - origin;
            if (lo.x < d.x && d.x < lo.y && lo.z < d.y && d.y < hi.x && hi.y < d.z && d.z < hi.z) return true;
        }
    }
    return false;
}

void UMmu::clbkPostStep(double, double, double) {
    if (memberPoint) return;
    // Transfer vessels are the receiving ship's business: it reads their record file and deletes them.
    const char* name = GetName();
    if (name && strncmp(name, TRANSFER_PREFIX, strlen(TRANSFER_PREFIX)) == 0) return;
    if (InsideAnAirlock()) return;
    memberPoint =
        CreateAttachment(true, MemberPointPos(member), _V(0, 0, 0), _V(0, 0, 0), MEMBER_POINT_ID, false);
}

void UMmu::PublishMember() {
    if (memberPoint) SetAttachmentParams(memberPoint, MemberPointPos(member), _V(0, 0, 0), _V(0, 0, 0));
    SetEmptyMass(member.weight + SUIT_MASS);
}

void UMmu::clbkSaveState(FILEHANDLE scn) {
    char value[48];
    snprintf(value, sizeof value, "%d %d %d", static_cast<int>(member.age), static_cast<int>(member.pulse),
             static_cast<int>(member.weight));
    oapiWriteScenario_string(scn, (char*)MEMBER_KEY, value);
    SaveDefaultState(scn);
}

void UMmu::clbkLoadStateEx(FILEHANDLE scn, void* status) {
    char* line = nullptr;
    while (oapiReadScenario_nextline(scn, line)) {
        if (ParseUMmuMemberLine(line, member))
            PublishMember();
        else
            ParseScenarioLineEx(line, status);
    }
}

DLLCLBK VESSEL* ovcInit(OBJHANDLE hvessel, int flightmodel) {
    return new (std::nothrow) UMmu(hvessel, flightmodel);
}

DLLCLBK void ovcExit(VESSEL* vessel) {
    if (vessel) delete static_cast<UMmu*>(vessel);
}
