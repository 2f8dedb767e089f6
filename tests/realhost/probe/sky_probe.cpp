// A vessel that writes what its host says of the sky into its save: the first body of the host's list with
// its kind, where that body and the vessel's own planet stand in the global frame, the planet's parent, and
// the vessel's own global place as the planet's surface coordinates give it back.
#define ORBITER_MODULE
#include "Orbitersdk.h"

#include <cstdio>
#include <cstring>

namespace {

void WriteVector(FILEHANDLE scn, const char* key, const VECTOR3& v) {
    char value[96];
    snprintf(value, sizeof value, "%.6e %.6e %.6e", v.x, v.y, v.z);
    oapiWriteScenario_string(scn, const_cast<char*>(key), value);
}

void WriteName(FILEHANDLE scn, const char* key, OBJHANDLE h) {
    char name[64] = "none";
    if (h) oapiGetObjectName(h, name, sizeof name);
    char value[96];
    snprintf(value, sizeof value, "%s %d", name, h ? oapiGetObjectType(h) : -1);
    oapiWriteScenario_string(scn, const_cast<char*>(key), value);
}

class SkyProbe final : public VESSEL2 {
  public:
    SkyProbe(OBJHANDLE h, int flightModel) : VESSEL2(h, flightModel) {}

    void clbkSetClassCaps(FILEHANDLE) override {
        SetSize(1.0);
        SetEmptyMass(100.0);
        SetPMI(_V(1, 1, 1));
    }

    void clbkLoadStateEx(FILEHANDLE scn, void* status) override {
        char* line;
        while (oapiReadScenario_nextline(scn, line))
            if (strncmp(line, "SKY_", 4) != 0) ParseScenarioLineEx(line, status);
    }

    void clbkSaveState(FILEHANDLE scn) override {
        VESSEL2::clbkSaveState(scn);
        const OBJHANDLE first = oapiGetGbodyByIndex(0), planet = GetSurfaceRef();
        VECTOR3 firstPos{}, planetPos{}, own{};
        oapiGetGlobalPos(first, &firstPos);
        oapiGetGlobalPos(planet, &planetPos);
        GetGlobalPos(own);
        WriteName(scn, "SKY_FIRST", first);
        WriteVector(scn, "SKY_FIRSTPOS", firstPos);
        WriteName(scn, "SKY_PLANET", planet);
        WriteVector(scn, "SKY_PLANETPOS", planetPos);
        WriteName(scn, "SKY_PARENT", oapiGetGbodyParent(planet));
        // The own place through the planet's surface coordinates and back, against the own global place.
        double lng, lat, rad;
        oapiGlobalToEqu(planet, own, &lng, &lat, &rad);
        VECTOR3 back{};
        oapiEquToGlobal(planet, lng, lat, rad, &back);
        WriteVector(scn, "SKY_ROUNDTRIP", back - own);
        VECTOR3 local{}, global{};
        Global2Local(firstPos, local);
        Local2Global(local, global);
        WriteVector(scn, "SKY_LOCALTRIP", global - firstPos);
    }
};

} // namespace

DLLCLBK VESSEL* ovcInit(OBJHANDLE h, int flightModel) {
    return new SkyProbe(h, flightModel);
}

DLLCLBK void ovcExit(VESSEL* v) {
    delete static_cast<SkyProbe*>(v);
}
