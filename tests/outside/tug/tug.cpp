// OutsideTug: a small orbital tug written against the host's SDK alone, as any add-on author would. The lead
// tug ("Tug-1") runs a handling drill on its own: it makes a crate out of nothing, takes it on its hook, lets
// it go, scraps it, then grows a docking port, docks to its partner ("Tug-2"), undocks and removes the port.
// Every tug logs its state each second, the lead each step of the drill, as "OUT Tug t=<s> key=value ...".
#define ORBITER_MODULE
#include "Orbitersdk.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

const char* const LEAD = "Tug-1";
const char* const PARTNER = "Tug-2";
const char* const CRATE = "Crate-1";
const double RELEASE_SPEED = 0.5; // m/s

// The drill, by time.
const double T_CREATE = 1.0, T_ATTACH = 2.0, T_RELEASE = 4.0, T_DELETE = 6.0; // s
const double T_PORT = 7.0, T_DOCK = 8.0, T_UNDOCK = 10.0, T_DELPORT = 12.0;   // s

double Length(const VECTOR3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

class Tug final : public VESSEL3 {
  public:
    Tug(OBJHANDLE hVessel, int flightmodel) : VESSEL3(hVessel, flightmodel) {}

    void clbkSetClassCaps(FILEHANDLE) override {
        SetSize(4.0);
        SetEmptyMass(2000.0);
        SetPMI(_V(2.5, 2.5, 1.5));
        // The hook ahead of the nose, for a crate's own point.
        hook = CreateAttachment(false, _V(0, 0, 3.0), _V(0, 0, 1), _V(0, 1, 0), "CRATE");
    }

    void clbkPreStep(double simt, double simdt, double) override {
        dt = simdt;
        if (std::strcmp(GetName(), LEAD) != 0) return;
        if (Due(simt, T_CREATE)) CreateCrate(simt);
        if (Due(simt, T_ATTACH)) AttachCrate(simt);
        if (Due(simt, T_RELEASE)) {
            const bool ok = DetachChild(hook, RELEASE_SPEED);
            Log(simt, "event=release ok=%d attached=%d", ok, GetAttachmentStatus(hook) != nullptr);
        }
        if (Due(simt, T_DELETE)) DeleteCrate(simt);
        if (Due(simt, T_PORT)) {
            port = CreateDock(_V(0, 0, 2.0), _V(0, 0, 1), _V(0, 1, 0));
            Log(simt, "event=port made=%d docks=%u", port != nullptr, DockCount());
        }
        if (Due(simt, T_DOCK)) DockToPartner(simt);
        if (Due(simt, T_UNDOCK)) {
            const bool ok = Undock(0);
            Log(simt, "event=undock ok=%d status=%u", ok, DockingStatus(0));
        }
        if (Due(simt, T_DELPORT)) {
            const bool ok = DelDock(port);
            Log(simt, "event=delport ok=%d docks=%u", ok, DockCount());
            port = nullptr;
        }
    }

    void clbkPostStep(double simt, double simdt, double) override {
        dt = simdt;
        // The partner grows its port a moment before the lead docks to it.
        if (std::strcmp(GetName(), PARTNER) == 0 && Due(simt, T_PORT)) {
            port = CreateDock(_V(0, 0, 2.0), _V(0, 0, 1), _V(0, 1, 0));
            Log(simt, "event=port made=%d docks=%u", port != nullptr, DockCount());
        }
        if (std::floor(simt) <= lastSecond) return;
        lastSecond = std::floor(simt);
        OBJHANDLE other = oapiGetVesselByName(std::strcmp(GetName(), LEAD) ? LEAD : PARTNER);
        VECTOR3 pos = {0, 0, 0}, vel = {0, 0, 0};
        if (other) {
            GetRelativePos(other, pos);
            GetRelativeVel(other, vel);
        }
        Log(simt, "dist=%.3f speed=%.4f docks=%u docked=%u mass=%.1f crate=%d", Length(pos), Length(vel),
            DockCount(), DockCount() ? DockingStatus(0) : 0u, GetMass(),
            oapiGetVesselByName(CRATE) != nullptr);
    }

  private:
    // True once: on the step that reaches the time.
    bool Due(double simt, double at) const { return simt >= at && simt - dt < at; }

    // Every log line of this module starts alike, so a reader can pick them out of the host's log.
    __attribute__((format(printf, 3, 4))) void Log(double simt, const char* format, ...) const {
        char body[400], line[512];
        va_list args;
        va_start(args, format);
        std::vsnprintf(body, sizeof body, format, args);
        va_end(args);
        std::snprintf(line, sizeof line, "OUT Tug t=%.3f vessel=%s %s", simt, GetName(), body);
        oapiWriteLog(line);
    }

    void CreateCrate(double simt) {
        VESSELSTATUS2 vs;
        std::memset(&vs, 0, sizeof vs);
        vs.version = 2;
        GetStatusEx(&vs);
        vs.flag = 0;
        Local2Rel(_V(0, 0, 5.0), vs.rpos);
        crate = oapiCreateVesselEx(CRATE, "OutsideCrate", &vs);
        Log(simt, "event=create ok=%d", crate != nullptr);
    }

    void AttachCrate(double simt) {
        VESSEL* c = crate ? oapiGetVesselInterface(crate) : nullptr;
        ATTACHMENTHANDLE point = c ? c->GetAttachmentHandle(true, 0) : nullptr;
        VECTOR3 before = {0, 0, 0};
        if (c) GetRelativePos(crate, before);
        const bool ok = point && AttachChild(crate, hook, point);
        Log(simt, "event=attach point=%d ok=%d attached=%d before=%.3f mass=%.1f", point != nullptr, ok,
            GetAttachmentStatus(hook) == crate, Length(before), GetMass());
    }

    void DeleteCrate(double simt) {
        VECTOR3 pos = {0, 0, 0}, vel = {0, 0, 0};
        if (crate) {
            GetRelativePos(crate, pos);
            GetRelativeVel(crate, vel);
        }
        const bool ok = crate && oapiDeleteVessel(crate);
        Log(simt, "event=delete dist=%.3f speed=%.4f ok=%d", Length(pos), Length(vel), ok);
        crate = nullptr;
    }

    void DockToPartner(double simt) {
        OBJHANDLE partner = oapiGetVesselByName(PARTNER);
        const int result = partner ? Dock(partner, 0, 0, 1) : -1;
        VECTOR3 pos = {0, 0, 0};
        if (partner) GetRelativePos(partner, pos);
        Log(simt, "event=dock result=%d status=%u mate=%d dist=%.3f", result, DockingStatus(0),
            partner && GetDockStatus(port) == partner, Length(pos));
    }

    ATTACHMENTHANDLE hook = nullptr;
    DOCKHANDLE port = nullptr;
    OBJHANDLE crate = nullptr;
    double dt = 0.0;
    double lastSecond = 0.0;
};

} // namespace

DLLCLBK VESSEL* ovcInit(OBJHANDLE hvessel, int flightmodel) {
    return new Tug(hvessel, flightmodel);
}

DLLCLBK void ovcExit(VESSEL* vessel) {
    delete static_cast<Tug*>(vessel);
}
