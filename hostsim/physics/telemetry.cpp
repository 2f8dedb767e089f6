// The telemetry CSV: one row per vessel at the start and after every chosen interval of simulated time.
#include "physics_internal.h"
#include "lib/host.h"

#include <cmath>
#include <cstdio>

namespace hs {

namespace {

struct Telemetry {
    WholeFile file;
    FILE* f = nullptr; // file.fp while open
    double interval = 0.0;
    double next = 0.0;
    bool started = false;
};

Telemetry& T() {
    static Telemetry t;
    return t;
}

// Names are written as CSV fields: quoted, with quotes doubled, when they hold a comma or a quote.
void WriteName(FILE* f, const std::string& name) {
    if (name.find_first_of(",\"\n") == std::string::npos) {
        fputs(name.c_str(), f);
        return;
    }
    fputc('"', f);
    for (char c : name) {
        if (c == '"') fputc('"', f);
        fputc(c == '\n' ? ' ' : c, f);
    }
    fputc('"', f);
}

void WriteRows(const std::vector<Vessel*>& vessels, double t) {
    FILE* f = T().f;
    for (const Vessel* v : vessels) {
        if (!Alive(v)) continue;
        const PhysicsState& s = v->phys;
        const Vessel& top = SurfaceOwner(*v); // the readouts a module gets
        fprintf(f, "%.4f,", t);
        WriteName(f, v->name);
        fprintf(f, ",%.3f,%.3f,%.3f,%.4f,%.4f,%.4f,%.3f,%.4f,%.3f,%.3f,%d,%.3f,%.3f\n", s.pos.x, s.pos.y,
                s.pos.z, s.vel.x, s.vel.y, s.vel.z, Altitude(top), Airspeed(top), TotalMass(*v), PropellantMass(*v),
                GroundContact(*v) ? 1 : 0, Pitch(top) * DEG, Bank(top) * DEG);
    }
}

} // namespace

bool TelemetryOpen(const std::string& path, double interval, std::string* err) {
    TelemetryClose();
    Telemetry& t = T();
    std::string why;
    if (!WholeFileOpen(t.file, path, &why)) {
        if (err) *err = path + ": cannot write the telemetry file (" + why + ")";
        return false;
    }
    FILE* f = t.file.fp;
    t.f = f;
    t.interval = interval > 0.0 ? interval : 0.0;
    t.started = false;
    fputs("time,name,x,y,z,vx,vy,vz,altitude,airspeed,mass,propellant,ground_contact,pitch,bank\n", f);
    return true;
}

bool TelemetryClose(std::string* err) {
    Telemetry& t = T();
    bool ok = !t.f || WholeFileCommit(t.file, err);
    t = Telemetry();
    return ok;
}

namespace phys {

void ResetTelemetry() {
    TelemetryClose();
}

void TelemetryRows(const std::vector<Vessel*>& vessels, double t, bool start) {
    Telemetry& tm = T();
    if (!tm.f) return;
    if (start) {
        if (tm.started) return;
        tm.started = true;
        WriteRows(vessels, t);
        tm.next = t + tm.interval;
        return;
    }
    // A row is due once the time reaches the next mark; rounding of the frame sum must not skip one.
    double eps = 1e-9 * fmax(1.0, fabs(t));
    if (tm.interval > 0.0 && t < tm.next - eps) return;
    WriteRows(vessels, t);
    if (tm.interval > 0.0)
        while (tm.next <= t + eps)
            tm.next += tm.interval;
}

} // namespace phys
} // namespace hs
