// Fuzz target: the 104-byte crew transfer record, unpacked on its own and taken in through a vessel's airlock.
#include "crew/crew_manager.h"
#include "fuzz_host.h"

#include <cstring>
#include <memory>

namespace {

void CheckRecord(const CrewTransferRecord& r) {
    if (strnlen(r.vesselName, sizeof r.vesselName) >= sizeof r.vesselName ||
        strnlen(r.meshName, sizeof r.meshName) >= sizeof r.meshName)
        fuzzhost::Fail("an unpacked record holds an unterminated text");
}

// Packing what was unpacked and unpacking it again changes nothing.
void CheckRepack(const CrewTransferRecord& r) {
    unsigned char bytes[CREW_RECORD_SIZE];
    PackCrewTransferRecord(r, bytes);
    CrewTransferRecord again;
    UnpackCrewTransferRecord(bytes, again);
    if (strcmp(r.vesselName, again.vesselName) != 0 || strcmp(r.meshName, again.meshName) != 0 ||
        r.age != again.age || r.pulse != again.pulse || r.reserve != again.reserve || r.weight != again.weight ||
        r.spare[0] != again.spare[0] || r.spare[1] != again.spare[1])
        fuzzhost::Fail("a record packed and unpacked again differs");
}

// A free-flying vessel at offset (m) from a point high above Earth's pole.
OBJHANDLE Flying(const char* name, const char* cls, VECTOR3 offset) {
    VESSELSTATUS2 st;
    memset(&st, 0, sizeof st);
    st.version = 2;
    st.rbody = oapiGetGbodyByIndex(0);
    st.rpos = _V(offset.x, offset.y + 7.0e6, offset.z);
    st.status = 0;
    return oapiCreateVesselEx(name, cls, &st);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    unsigned char bytes[CREW_RECORD_SIZE] = {};
    memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
    CrewTransferRecord rec;
    UnpackCrewTransferRecord(bytes, rec);
    CheckRecord(rec);
    CheckRepack(rec);

    // The same bytes as the record file of a transfer vessel that has reached the hull's airlock. The
    // step is longer than the scan period, so every frame scans.
    fuzzhost::FreshWorld(0.3);
    OBJHANDLE hull = Flying("Hull", "Target", _V(0, 0, 0));
    if (!hull) fuzzhost::Fail("no hull");
    std::unique_ptr<CrewManager> crew(new CrewManager());
    crew->Initialise(hull);
    crew->DefineAirlock(0, -1.5f, 1.5f, -2.5f, 3.0f, 1.0f, 4.0f);
    crew->SetAirlockOpen(1);
    fuzzhost::WriteFile("Config/UMmutmpT.cfg", std::string(reinterpret_cast<char*>(bytes), size < sizeof bytes ? size : sizeof bytes));
    OBJHANDLE t = Flying("UMmuTHull", "UMmu", _V(0, 0, 2.5));
    if (!t) fuzzhost::Fail("no transfer vessel");
    oapiGetVesselInterface(t)->CreateAttachment(true, _V(44, 72, 66), _V(0, 0, 0), _V(0, 0, 0), "U-Mm", false);
    for (int i = 0; i < 2; ++i) {
        hs::Sim::Get().Frame();
        crew->PollAirlock();
    }
    for (int seat = 0; seat < crew->GetCrewCount(); ++seat) {
        const char* name = crew->GetMemberName(seat);
        if (!name || strnlen(name, sizeof crew->roster[seat].name) >= sizeof crew->roster[seat].name)
            fuzzhost::Fail("a member taken in has no terminated name");
    }
    return 0;
}
