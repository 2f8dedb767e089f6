// EVA, transfer to a docked vessel and return of crew: crew vessels, their record files and the airlock scan.
#include "crew_manager.h"
#include "crew_text.h"
#include "portable.h"

#include <cmath>
#include <cstdio>
#include <cstring>

CrewTransferRecord crewRecordBuffer;

namespace {

constexpr const char* CREW_CLASS = "UMmu";       // class string of the add-on's crew vessels
constexpr const char* EVA_PREFIX = "UMmu_";      // crew vessel names, and the record's name field
constexpr const char* TRANSFER_PREFIX = "UMmuT"; // transfer vessels: the prefix, then the receiver's name
constexpr size_t PREFIX_LENGTH = 5;
constexpr const char* MEMBER_POINT_ID = "U-Mm"; // child point whose position carries age, pulse, weight
constexpr const char* AIRLOCK_POINT_ID = "UMmu";
constexpr size_t RECORD_TEXT_CUT = 38; // characters of the record's name and mesh fields
constexpr size_t VESSEL_NAME_CUT = 38;
constexpr int MAX_NAME_SUFFIX = 399;      // "name1".."name399" are tried for a free name
constexpr double EVA_PUSH_PER_SPIN = 5.0; // m/s of push per rad/s of pitch and yaw rate
constexpr size_t SCANNED_NAME_CUT = 95;
constexpr size_t MAX_NAME_ARGUMENT = 39;
constexpr size_t ENTERED_ID_CUT = 32;
constexpr size_t ENTERED_CODE_CUT = 5;

void PutInt32(unsigned char* at, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>((u >> (8 * i)) & 0xFF);
}

int32_t GetInt32(const unsigned char* at) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= static_cast<uint32_t>(at[i]) << (8 * i);
    return static_cast<int32_t>(u);
}

int ClampOr(int v, int lo, int hi, int fallback) {
    return (v < lo || v > hi) ? fallback : v;
}

// Writes the record buffer; false when the whole record could not be written.
bool WriteCrewRecord(const char* path) {
    unsigned char bytes[CREW_RECORD_SIZE];
    PackCrewTransferRecord(crewRecordBuffer, bytes);
    FILE* f = PortableOpen(path, "wb");
    if (!f) return false;
    const bool written = fwrite(bytes, 1, sizeof bytes, f) == sizeof bytes;
    return fclose(f) == 0 && written;
}

void RemoveHostFile(const char* winPath) {
    char path[1024];
    if (TranslatePath(winPath, path, sizeof path)) remove(path);
}

void FillRecord(const char* id, const char* mesh, int age, int pulse, int reserve, int weight) {
    char name[sizeof crewRecordBuffer.vesselName];
    snprintf(name, sizeof name, "%s%.33s", EVA_PREFIX, id ? id : "");
    crewtext::CopyCut(crewRecordBuffer.vesselName, sizeof crewRecordBuffer.vesselName, name, RECORD_TEXT_CUT);
    if (mesh)
        crewtext::CopyCut(crewRecordBuffer.meshName, sizeof crewRecordBuffer.meshName, mesh, RECORD_TEXT_CUT);
    crewRecordBuffer.age = age;
    crewRecordBuffer.pulse = pulse;
    crewRecordBuffer.reserve = reserve;
    crewRecordBuffer.weight = weight;
    crewRecordBuffer.spare[0] = crewRecordBuffer.spare[1] = 0;
}

// Whether a transfer record written earlier still waits for its receiver: the record file is there and a
// transfer vessel is still out. A file that no transfer vessel is left to claim is stale and may be
// overwritten.
bool TransferRecordPending() {
    FILE* f = PortableOpen(CREW_TRANSFER_RECORD_FILE, "rb");
    if (!f) return false;
    fclose(f);
    DWORD count = oapiGetVesselCount();
    for (DWORD i = 0; i < count; ++i) {
        OBJHANDLE h = oapiGetVesselByIndex(static_cast<int>(i));
        char name[SCANNED_NAME_CUT + 1] = {};
        if (h) oapiGetObjectName(h, name, sizeof name);
        if (strncmp(name, TRANSFER_PREFIX, PREFIX_LENGTH) == 0) return true;
    }
    return false;
}

// The first free name among base, base1 .. base399; base399 when all are taken.
void FreeVesselName(const char* base, char* out, size_t outSize) {
    snprintf(out, outSize, "%s", base);
    if (!oapiGetObjectByName(out)) return;
    for (int i = 1; i <= MAX_NAME_SUFFIX; ++i) {
        snprintf(out, outSize, "%s%d", base, i);
        if (!oapiGetObjectByName(out)) return;
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Pure pieces
// ---------------------------------------------------------------------------

void PackCrewTransferRecord(const CrewTransferRecord& rec, unsigned char out[CREW_RECORD_SIZE]) {
    memset(out, 0, CREW_RECORD_SIZE);
    crewtext::CopyCut(reinterpret_cast<char*>(out), 40, rec.vesselName, 39);
    crewtext::CopyCut(reinterpret_cast<char*>(out + 40), 40, rec.meshName, 39);
    const int32_t numbers[6] = {rec.age, rec.pulse, rec.reserve, rec.weight, rec.spare[0], rec.spare[1]};
    for (int i = 0; i < 6; ++i)
        PutInt32(out + 80 + 4 * i, numbers[i]);
}

void UnpackCrewTransferRecord(const unsigned char in[CREW_RECORD_SIZE], CrewTransferRecord& rec) {
    memset(&rec, 0, sizeof rec);
    // The text fields come from another program: they are cut inside their 40 bytes whatever they hold.
    crewtext::CopyCut(rec.vesselName, sizeof rec.vesselName, reinterpret_cast<const char*>(in), 39);
    crewtext::CopyCut(rec.meshName, sizeof rec.meshName, reinterpret_cast<const char*>(in + 40), 39);
    rec.age = GetInt32(in + 80);
    rec.pulse = GetInt32(in + 84);
    rec.reserve = GetInt32(in + 88);
    rec.weight = GetInt32(in + 92);
    rec.spare[0] = GetInt32(in + 96);
    rec.spare[1] = GetInt32(in + 100);
}

void BuildMemberId(const CrewMember& m, char* out, size_t outSize) {
    if (!out || outSize == 0) return;
    char name[sizeof m.name];
    char code[sizeof m.functionCode];
    crewtext::Copy(name, m.name);
    crewtext::Copy(code, m.functionCode);
    if (code[0])
        snprintf(out, outSize, "%s-%s", code, name);
    else
        snprintf(out, outSize, "%s", name);
}

MATRIX3 ComposeEvaRotation(const MATRIX3& m, const VECTOR3& angles) {
    double ca = cos(angles.x), sa = sin(angles.x);
    double cb = cos(angles.y), sb = sin(angles.y);
    double cc = cos(angles.z), sc = sin(angles.z);
    MATRIX3 rx = _M(1, 0, 0, 0, ca, sa, 0, -sa, ca);
    MATRIX3 ry = _M(cb, 0, sb, 0, 1, 0, -sb, 0, cb);
    MATRIX3 rz = _M(cc, sc, 0, -sc, cc, 0, 0, 0, 1);
    return mul(mul(mul(m, rx), ry), rz);
}

// ---------------------------------------------------------------------------
// Leaving
// ---------------------------------------------------------------------------

void CrewManager::ApplyEvaRotation(const VECTOR3& rotation, OBJHANDLE vessel) {
    VESSEL* v = vessel ? oapiGetVesselInterface(vessel) : nullptr;
    if (!v) return;
    MATRIX3 m;
    v->GetRotationMatrix(m);
    v->SetRotationMatrix(ComposeEvaRotation(m, rotation));
}

int AirlockSlot::GetDockedFreeSeats() const {
    if (!ownerInterface || !airlockAttachment) return -1;
    if (ownerInterface->DockCount() <= static_cast<unsigned int>(dockPort)) return -1;
    DOCKHANDLE dock = ownerInterface->GetDockHandle(static_cast<unsigned int>(dockPort));
    OBJHANDLE mate = dock ? ownerInterface->GetDockStatus(dock) : nullptr;
    VESSEL* other = mate ? oapiGetVesselInterface(mate) : nullptr;
    if (!other) return -1;
    int n = other->AttachmentCount(false);
    for (int i = 0; i < n; ++i) {
        ATTACHMENTHANDLE a = other->GetAttachmentHandle(false, i);
        const char* id = a ? other->GetAttachmentId(a) : nullptr;
        if (!id || strcmp(id, AIRLOCK_POINT_ID) != 0) continue;
        VECTOR3 pos, dir, rot;
        other->GetAttachmentParams(a, pos, dir, rot);
        return static_cast<int>(rot.z);
    }
    return -1;
}

int AirlockSlot::SpawnCrewVessel(const char* id, int age, int reserve, int pulse, int weight,
                                 const char* mesh, const VECTOR3& position, const VECTOR3* rotation,
                                 const VECTOR3* extraVelocity) {
    age = ClampOr(age, 0, 120, 41);
    reserve = ClampOr(reserve, 0, 4000, 100);
    pulse = ClampOr(pulse, 0, 140, 60);
    if (!ownerInterface) return -3;

    OBJHANDLE mate = nullptr;
    if (ownerInterface->DockCount() >= 1 && ownerInterface->DockCount() > static_cast<unsigned int>(dockPort)) {
        DOCKHANDLE dock = ownerInterface->GetDockHandle(static_cast<unsigned int>(dockPort));
        mate = dock ? ownerInterface->GetDockStatus(dock) : nullptr;
    }

    VESSELSTATUS vs;
    memset(&vs, 0, sizeof vs);
    char baseName[64];
    VESSEL* receiver = nullptr;
    if (mate) {
        receiver = oapiGetVesselInterface(mate);
        if (!receiver) return -3;
        ATTACHMENTHANDLE open = nullptr;
        bool closedSeen = false;
        VECTOR3 pos{}, dir{}, rot{};
        int n = receiver->AttachmentCount(false);
        for (int i = 0; i < n && !open; ++i) {
            ATTACHMENTHANDLE a = receiver->GetAttachmentHandle(false, i);
            const char* pid = a ? receiver->GetAttachmentId(a) : nullptr;
            if (!pid || strcmp(pid, AIRLOCK_POINT_ID) != 0) continue;
            receiver->GetAttachmentParams(a, pos, dir, rot);
            if (rot.x != 0.0)
                open = a;
            else
                closedSeen = true;
        }
        if (!open) return closedSeen ? -2 : -1;
        // The receiver takes in only a transfer vessel named exactly "UMmuT" and its own name: a name with a
        // space (written as "_") or one cut to fit never matches, and the member would wait outside forever.
        const char* receiverName = receiver->GetName();
        if (!receiverName || !receiverName[0] || strchr(receiverName, ' ') ||
            strlen(receiverName) > VESSEL_NAME_CUT - PREFIX_LENGTH)
            return EVA_RECEIVER_NAME_UNUSABLE;
        snprintf(baseName, sizeof baseName, "%s%s", TRANSFER_PREFIX, receiverName);
        // One record file serves every transfer: a second one would overwrite the first before its receiver
        // read it. A transfer vessel already waiting for this receiver would make the new one take a suffixed
        // name that the receiver never matches.
        if (TransferRecordPending() || oapiGetObjectByName(baseName)) return EVA_TRANSFER_PENDING;
        receiver->GetStatus(vs);
        // The transfer vessel appears in the middle of the receiver's airlock box.
        VECTOR3 centre = _V((pos.x + pos.y) / 2, (pos.z + dir.x) / 2, (dir.y + dir.z) / 2);
        receiver->Local2Rel(centre, vs.rpos);
        VECTOR3 spin;
        receiver->GlobalRot(_V(0, 0, 0), spin);
        vs.rvel = vs.rvel + spin;
        FillRecord(id, nullptr, age, pulse, reserve, weight);
        // The member travels in the record alone: without it the receiver would take in nobody, so the member
        // stays aboard (reported as the add-on's misc error) and no transfer vessel is made.
        if (!WriteCrewRecord(CREW_TRANSFER_RECORD_FILE)) return -3;
    } else {
        VECTOR3 av;
        ownerInterface->GetAngularVel(av);
        // A spinning ship flings the member clear of its hull.
        VECTOR3 push = _V(0, 0, EVA_PUSH_PER_SPIN * (fabs(av.x) + fabs(av.y)));
        if (extraVelocity) push = push + *extraVelocity;
        ownerInterface->GetStatus(vs);
        VECTOR3 pushGlobal;
        ownerInterface->GlobalRot(push, pushGlobal);
        vs.rvel = vs.rvel + pushGlobal;
        ownerInterface->Local2Rel(position, vs.rpos);
        snprintf(baseName, sizeof baseName, "%s%.40s", EVA_PREFIX, id ? id : "");
        FillRecord(id, mesh, age, pulse, reserve, weight);
        // The crew vessel carries the member by its name and its point; the record only dresses it, so a file
        // that cannot be written is left out and the vessel made all the same.
        WriteCrewRecord(CREW_EVA_RECORD_FILE);
    }

    vs.fuel = 1.0;
    vs.eng_main = 0.0;
    vs.eng_hovr = 0.0;
    vs.status = 0;
    crewtext::ReplaceChar(baseName, ' ', '_');
    char name[72];
    FreeVesselName(baseName, name, sizeof name);
    OBJHANDLE created = oapiCreateVessel(name, CREW_CLASS, vs);
    if (created && rotation) CrewManager::ApplyEvaRotation(*rotation, created);
    // A crew vessel the host did not make (its class missing, say) carries nobody: the member stays aboard.
    if (!mate) return created ? 1 : 0;

    VESSEL* carrier = created ? oapiGetVesselInterface(created) : nullptr;
    if (!carrier) {
        // Nobody will claim the record, and a left-over vessel without the member's point helps nobody.
        if (created) oapiDeleteVessel(created, nullptr);
        RemoveHostFile(CREW_TRANSFER_RECORD_FILE);
        return 3;
    }
    carrier->CreateAttachment(true, _V(age, pulse, weight), _V(0, 0, 0), _V(0, 0, 0), MEMBER_POINT_ID, false);
    return 2;
}

int CrewManager::EvaMember(const char* name) {
    // Without the add-on there is no crew vessel to leave in: the misc error, as when never made ready.
    if (!IsReady() || !HasAddon()) return -6;
    if (!name || crewtext::BoundedLength(name, MAX_NAME_ARGUMENT + 1) > MAX_NAME_ARGUMENT) return -4;
    if (crewCount < 1) return 0;
    lastLeftName[0] = '\0';
    if (airlockOpen == 0) return -1;

    AirlockSlot& s = Slot();
    VESSEL* own = s.ownerInterface;
    if (own && own->DockCount() > static_cast<unsigned int>(s.dockPort)) {
        DOCKHANDLE dock = own->GetDockHandle(static_cast<unsigned int>(s.dockPort));
        if (dock && own->GetDockStatus(dock)) {
            int free = s.GetDockedFreeSeats();
            if (free == 0) return -3;
            if (free < 0) return -5;
        }
    }

    int seat = FindSeat(name);
    if (seat < 0) return -4;
    CrewMember leaving = roster[seat]; // the roster moves when the member is removed
    char id[64];
    BuildMemberId(leaving, id, sizeof id);
    const char* mesh = SelectEvaMesh(leaving.functionCode);
    int r = s.SpawnCrewVessel(id, leaving.age, evaReserve, leaving.pulse, static_cast<int>(leaving.weight),
                              mesh, evaPosition, &evaRotation, nullptr);
    if (r == 1 || r == 2) {
        crewtext::Copy(lastLeftName, leaving.name);
        RemoveMember(leaving.name);
        return r;
    }
    if (r == -2) return -2;
    if (r == -1) return -5;
    if (r == EVA_TRANSFER_PENDING || r == EVA_RECEIVER_NAME_UNUSABLE) return r;
    return -6;
}

// ---------------------------------------------------------------------------
// Coming back
// ---------------------------------------------------------------------------

int AirlockSlot::ScanForEnteringCrew() {
    scanTimer += oapiGetSimStep();
    if (scanTimer <= AIRLOCK_SCAN_PERIOD) return 0;
    scanTimer = 0.0;
    if (airlockState != 1) return 0;
    if (!ownerInterface || !ownerHandle) return -3;

    enteredVessel = nullptr;
    const int count = (int)oapiGetVesselCount();
    for (int i = 0; i < count; ++i) {
        OBJHANDLE h = oapiGetVesselByIndex(static_cast<int>(i));
        if (!h || h == ownerHandle) continue;
        VESSEL* v = oapiGetVesselInterface(h);
        if (!v) continue;
        const char* cls = v->GetClassName();
        if (!cls || strncmp(cls, CREW_CLASS, 4) != 0) continue;
        if (v->AttachmentCount(true) < 2) continue;

        char name[SCANNED_NAME_CUT + 1] = {};
        oapiGetObjectName(h, name, sizeof name);
        if (strncmp(name, TRANSFER_PREFIX, PREFIX_LENGTH) == 0) {
            const char* ownName = ownerInterface->GetName();
            // Addressed to another vessel: that one takes it in.
            if (!ownName || strcmp(name + PREFIX_LENGTH, ownName) != 0) continue;
            unsigned char bytes[CREW_RECORD_SIZE];
            size_t got = 0;
            FILE* f = PortableOpen(CREW_TRANSFER_RECORD_FILE, "rb");
            const bool opened = f != nullptr;
            if (f) {
                got = fread(bytes, 1, sizeof bytes, f);
                fclose(f);
            }
            // Without a whole record nobody is taken aboard: stale data would make up a person, and a broken
            // record never mends, so it goes. A whole one is removed only once the member is aboard
            // (PollAirlock): a full ship leaves it waiting for a free seat.
            if (got != sizeof bytes) {
                if (opened) RemoveHostFile(CREW_TRANSFER_RECORD_FILE);
                return 0;
            }
            UnpackCrewTransferRecord(bytes, crewRecordBuffer);
            crewtext::Copy(enteredName, crewRecordBuffer.vesselName);
            enteredAge = crewRecordBuffer.age;
            enteredPulse = crewRecordBuffer.pulse;
            enteredWeight = crewRecordBuffer.weight;
            enteredVessel = h;
            return 2;
        }

        int points = v->AttachmentCount(true);
        ATTACHMENTHANDLE last = v->GetAttachmentHandle(true, points - 1);
        const char* pid = last ? v->GetAttachmentId(last) : nullptr;
        if (!pid || strcmp(pid, MEMBER_POINT_ID) != 0) continue;
        VECTOR3 pos, dir, rot;
        v->GetAttachmentParams(last, pos, dir, rot);
        const char* vesselName = v->GetName();
        crewtext::CopyCut(enteredName, sizeof enteredName, vesselName, 39);
        crewtext::ReplaceChar(enteredName, '_', ' ');
        enteredAge = static_cast<int32_t>(pos.x);
        enteredPulse = static_cast<int32_t>(pos.y);
        enteredWeight = static_cast<int32_t>(pos.z);

        VECTOR3 gOwn, gCrew, lOwn, lCrew;
        oapiGetGlobalPos(ownerHandle, &gOwn);
        oapiGetGlobalPos(h, &gCrew);
        ownerInterface->Global2Local(gOwn, lOwn);
        ownerInterface->Global2Local(gCrew, lCrew);
        VECTOR3 d = lCrew - lOwn;
        const float* b = airlockBox;
        bool inside = b[0] < d.x && d.x < b[1] && b[2] < d.y && d.y < b[3] && b[4] < d.z && d.z < b[5];
        if (inside) {
            enteredVessel = h;
            return 1;
        }
    }
    return 0;
}

int CrewManager::PollAirlock() {
    if (!IsReady()) return -1;
    if (airlockOpen == 0) return 0;
    AirlockSlot& s = Slot();
    int r = s.ScanForEnteringCrew();
    if (r < 1) return 0;

    // The vessel name is "UMmu_" and the member id: "<code>-<name>" or the name alone.
    char id[ENTERED_ID_CUT + 1] = {};
    size_t nameLen = crewtext::BoundedLength(s.enteredName, sizeof s.enteredName - 1);
    if (nameLen > PREFIX_LENGTH)
        crewtext::CopyCut(id, sizeof id, s.enteredName + PREFIX_LENGTH, ENTERED_ID_CUT);
    char code[ENTERED_CODE_CUT + 1] = {};
    char name[CREW_NAME_CUT + 1] = {};
    const char* dash = strchr(id, '-');
    if (dash) {
        size_t codeLen = static_cast<size_t>(dash - id);
        crewtext::CopyCut(code, sizeof code, id, codeLen < ENTERED_CODE_CUT ? codeLen : ENTERED_CODE_CUT);
        crewtext::CopyCut(name, sizeof name, dash + 1, CREW_NAME_CUT);
    } else {
        crewtext::CopyCut(name, sizeof name, id, CREW_NAME_CUT);
    }
    if (!s.enteredVessel) return 0;
    // The crew vessel goes only once its member has a seat: a full ship leaves it outside, untouched, and a
    // transfer's record stays for the moment a seat is free.
    if (crewCount >= seatCount || crewCount >= MAX_CREW_SEATS) {
        crewtext::Copy(lastRefusedName, name);
        s.enteredVessel = nullptr;
        return POLL_SHIP_FULL;
    }
    if (AddMember(name, s.enteredAge, s.enteredPulse, s.enteredWeight, code) != 1) {
        // Nobody to take in (a record without a name): such a record never becomes usable, so it does not
        // hold back the transfers after it.
        if (r == 2) RemoveHostFile(CREW_TRANSFER_RECORD_FILE);
        s.enteredVessel = nullptr;
        return 0;
    }
    if (r == 1) oapiSetFocusObject(ownerVessel);
    oapiDeleteVessel(s.enteredVessel, nullptr);
    s.enteredVessel = nullptr;
    if (r == 2) RemoveHostFile(CREW_TRANSFER_RECORD_FILE);
    crewtext::Copy(lastEnteredName, name);
    return r;
}
