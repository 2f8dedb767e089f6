// Surface bases and their landing pads, as the host's body files list them (a planet's BEGIN_SURFBASE block
// names folders of base files; without the block, Config/<planet>/Base). A vessel that comes to rest within
// 30 m of a pad's centre takes the pad and is refuelled; a scenario's BASE line puts a landed vessel on a pad
// and holds that pad for it; the pad is free again once the vessel lifts off or goes.
#include "host.h"
#include "physics/physics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <strings.h>

using namespace hs;

namespace {

constexpr double PAD_REACH = 30.0; // m: from a pad's centre, a vessel at rest is on it

struct Pad {
    double lng = 0.0, lat = 0.0; // rad
    Vessel* occupant = nullptr;
};

struct SurfaceBase {
    std::string name;
    int body = 0;
    double lng = 0.0, lat = 0.0; // rad
    std::vector<Pad> pads;
};

struct BaseTable {
    bool loaded = false;
    bool refuelOnPad = true; // the host's RefuelOnPad setting (Orbiter_NG.cfg)
    std::vector<SurfaceBase> bases;
};

BaseTable& Table() {
    static BaseTable t;
    return t;
}

std::string Trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

std::string FirstWord(const std::string& s) { return s.substr(0, s.find_first_of(" \t")); }

// "KEY = value" of a base file's head, in any case.
bool Item(const std::string& line, const char* key, std::string* value) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos || strcasecmp(Trimmed(line.substr(0, eq)).c_str(), key) != 0) return false;
    *value = Trimmed(line.substr(eq + 1));
    return true;
}

bool IsPadType(const std::string& word) {
    for (const char* type : {"LPAD1", "LPAD2", "LPAD2A"})
        if (strcasecmp(word.c_str(), type) == 0) return true;
    return false;
}

// One base file; false when it is none (the host reads only files that begin with "BASE-V2.0"). A pad's POS is
// its offset in metres along the surface: x to the south, z to the east of the base's location.
bool ReadBase(const std::string& path, int body, double radius, SurfaceBase* out) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line) && Trimmed(line).empty()) {
    }
    if (strncasecmp(Trimmed(line).c_str(), "BASE-V2.0", 9) != 0) return false;
    SurfaceBase b;
    b.body = body;
    const size_t slash = path.rfind('/');
    b.name = path.substr(slash + 1, path.size() - slash - 1 - 4);
    std::vector<std::pair<double, double>> offsets; // x, z of each pad
    bool objects = false, pad = false;
    std::string value;
    while (std::getline(in, line)) {
        const std::string t = Trimmed(line.substr(0, line.find(';')));
        if (t.empty()) continue;
        const std::string word = FirstWord(t);
        if (!objects) {
            double lng, lat;
            if (Item(t, "Name", &value) && !value.empty()) b.name = value;
            else if (Item(t, "Location", &value) && sscanf(value.c_str(), "%lf%lf", &lng, &lat) == 2)
                b.lng = lng * RAD, b.lat = lat * RAD;
            else if (strcasecmp(word.c_str(), "BEGIN_OBJECTLIST") == 0)
                objects = true;
            continue;
        }
        if (strcasecmp(word.c_str(), "END_OBJECTLIST") == 0) break;
        if (IsPadType(word)) {
            pad = true;
            offsets.emplace_back(0.0, 0.0);
        } else if (strcasecmp(word.c_str(), "END") == 0) {
            pad = false;
        } else if (pad && strcasecmp(word.c_str(), "POS") == 0) {
            double x, y, z;
            if (sscanf(t.c_str() + 3, "%lf%lf%lf", &x, &y, &z) == 3 && std::isfinite(x) && std::isfinite(z))
                offsets.back() = {x, z};
        }
    }
    for (const auto& [x, z] : offsets) {
        Pad p;
        p.lng = b.lng + z / (radius * cos(b.lat));
        p.lat = b.lat - x / radius;
        b.pads.push_back(p);
    }
    *out = std::move(b);
    return true;
}

void ScanBaseFolder(const std::string& folder, int body, double radius) {
    DIR* dir = opendir(("Config/" + folder).c_str());
    if (!dir) return;
    std::vector<std::string> files;
    while (dirent* e = readdir(dir)) {
        const std::string n = e->d_name;
        if (n.size() > 4 && strcasecmp(n.c_str() + n.size() - 4, ".cfg") == 0) files.push_back(n);
    }
    closedir(dir);
    std::sort(files.begin(), files.end());
    for (const std::string& f : files) {
        SurfaceBase b;
        if (!ReadBase("Config/" + folder + "/" + f, body, radius, &b)) continue;
        // A second base of a name is not added, as the host does not add it.
        bool known = false;
        for (const SurfaceBase& o : Table().bases)
            if (o.body == body && strcasecmp(o.name.c_str(), b.name.c_str()) == 0) known = true;
        if (!known) Table().bases.push_back(std::move(b));
    }
}

// The folders a body's file names in its BEGIN_SURFBASE block, or its own Base folder.
void LoadBodyBases(int body) {
    const Body* b = GetBody(body);
    std::ifstream in(std::string("Config/") + b->name + ".cfg");
    std::string line;
    bool block = false, listed = false;
    while (std::getline(in, line)) {
        const std::string t = Trimmed(line.substr(0, line.find(';')));
        if (!block) {
            block = strcasecmp(t.c_str(), "BEGIN_SURFBASE") == 0;
            listed = listed || block;
            continue;
        }
        if (strncasecmp(t.c_str(), "END_SURFBASE", 12) == 0) break;
        if (strncasecmp(t.c_str(), "DIR", 3) == 0) ScanBaseFolder(Trimmed(t.substr(3)), body, b->radius);
    }
    if (!listed) ScanBaseFolder(std::string(b->name) + "/Base", body, b->radius);
}

bool ReadRefuelSetting() {
    std::ifstream in("Orbiter_NG.cfg");
    std::string line, value;
    while (std::getline(in, line))
        if (Item(Trimmed(line.substr(0, line.find(';'))), "RefuelOnPad", &value))
            return strncasecmp(value.c_str(), "FALSE", 5) != 0;
    return true;
}

std::vector<SurfaceBase>& Bases() {
    BaseTable& t = Table();
    if (!t.loaded) {
        t.loaded = true;
        t.refuelOnPad = ReadRefuelSetting();
        for (int i = 0; i < BodyCount(); ++i)
            LoadBodyBases(i);
    }
    return t.bases;
}

double SurfaceDistance(double lng1, double lat1, double lng2, double lat2, double radius) {
    const double c = sin(lat1) * sin(lat2) + cos(lat1) * cos(lat2) * cos(lng2 - lng1);
    return acos(std::clamp(c, -1.0, 1.0)) * radius;
}

// The base nearest the vessel, of the body it is landed on; null when that body has none.
SurfaceBase* NearestBase(const Vessel& v) {
    double lng = 0.0, lat = 0.0;
    SurfacePosition(v, &lng, &lat, nullptr);
    const Body* body = GetBody(v.phys.body);
    SurfaceBase* best = nullptr;
    double bestDist = INFINITY;
    for (SurfaceBase& b : Bases()) {
        if (b.body != v.phys.body) continue;
        const double d = SurfaceDistance(lng, lat, b.lng, b.lat, body->radius);
        if (d < bestDist) bestDist = d, best = &b;
    }
    return best;
}

void Refuel(Vessel& v) {
    for (auto& p : v.propellants)
        p->mass = p->maxMass;
}

// A vessel at rest at (lng, lat) takes the first of the base's pads within reach, is refuelled there, and
// gives up any other pad it held.
void ReportTouchdown(SurfaceBase& b, Vessel& v, double lng, double lat) {
    const double radius = GetBody(b.body)->radius;
    int taken = -1;
    for (size_t i = 0; i < b.pads.size(); ++i)
        if (SurfaceDistance(lng, lat, b.pads[i].lng, b.pads[i].lat, radius) < PAD_REACH) {
            b.pads[i].occupant = &v;
            taken = (int)i;
            break;
        }
    if (taken < 0) return;
    if (Table().refuelOnPad) Refuel(v);
    for (size_t i = 0; i < b.pads.size(); ++i)
        if ((int)i != taken && b.pads[i].occupant == &v) b.pads[i].occupant = nullptr;
}

} // namespace

namespace hs {

bool BasePad(int body, const char* name, int pad, double* lng, double* lat) {
    for (SurfaceBase& b : Bases())
        if (b.body == body && strcasecmp(b.name.c_str(), name) == 0) {
            if (pad < 0 || pad >= (int)b.pads.size()) return false;
            *lng = b.pads[(size_t)pad].lng;
            *lat = b.pads[(size_t)pad].lat;
            return true;
        }
    return false;
}

void LandedAtBase(Vessel* v, const char* baseName, int pad, double lng, double lat) {
    for (SurfaceBase& b : Bases()) {
        if (b.body != v->phys.body || strcasecmp(b.name.c_str(), baseName) != 0) continue;
        if (pad >= 0 && pad < (int)b.pads.size()) b.pads[(size_t)pad].occupant = v;
        ReportTouchdown(b, *v, lng, lat);
        break;
    }
    v->landedSeen = true;
}

std::string PadLine(const Vessel* v) {
    for (const SurfaceBase& b : Bases())
        for (size_t i = 0; i < b.pads.size(); ++i)
            if (b.pads[i].occupant == v) return Fmt("%s:%zu", b.name.c_str(), i + 1);
    return "";
}

// After each frame: a vessel that came to rest reports its touchdown to the nearest base, and a pad whose
// vessel lifted off or went is free.
void UpdatePads() {
    World& w = W();
    for (auto& vp : w.vessels) {
        Vessel& v = *vp;
        if (v.phys.landed && !v.landedSeen && !v.deletePending) {
            if (SurfaceBase* b = NearestBase(v)) {
                double lng = 0.0, lat = 0.0;
                SurfacePosition(v, &lng, &lat, nullptr);
                ReportTouchdown(*b, v, lng, lat);
            }
        }
        v.landedSeen = v.phys.landed;
    }
    for (SurfaceBase& b : Bases())
        for (Pad& p : b.pads)
            if (p.occupant && (!Alive(p.occupant) || p.occupant->deletePending || !p.occupant->phys.landed))
                p.occupant = nullptr;
}

void ResetBases() { Table() = BaseTable(); }

} // namespace hs
