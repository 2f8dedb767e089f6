// A vessel class's generic capabilities: the host's defaults, and the class file's own items, which a class
// without a module flies on alone.
#include "host.h"

#include <cmath>
#include <cstring>
#include <strings.h>

namespace hs {

namespace {

// The host's defaults for a class that says nothing of these.
constexpr double DEFAULT_SIZE = 10.0;        // m
constexpr double DEFAULT_EMPTY_MASS = 1e3;   // kg
constexpr double DEFAULT_CROSS_SECTION = 20; // m^2 on each axis
constexpr double DEFAULT_WHEELBRAKE = 1e5;   // N
constexpr double CLASS_STIFFNESS = 1e6;      // N/m: each touchdown point the host or a class file sets
constexpr double CLASS_DAMPING = 1e5;        // N s/m
constexpr double DEFAULT_MU_LAT = 0.5, DEFAULT_MU_LNG = 0.1;
constexpr VECTOR3 DEFAULT_TOUCHDOWN[3] = {{{0, -2, 10}}, {{-3, -2, -5}}, {{3, -2, -5}}}; // m, vessel frame

// The rotation pairs a class file's MaxAttitudeThrust makes, at the ends of the vessel (times its size), each
// thruster with half the thrust; the linear groups get one thruster of full thrust at the centre.
struct RcsThruster {
    double px, py, pz, dx, dy, dz;
    THGROUP_TYPE group;
};

constexpr RcsThruster RCS_ROTATION[] = {
    {0, 0, 1, 0, 1, 0, THGROUP_ATT_PITCHUP},    {0, 0, -1, 0, -1, 0, THGROUP_ATT_PITCHUP},
    {0, 0, 1, 0, -1, 0, THGROUP_ATT_PITCHDOWN}, {0, 0, -1, 0, 1, 0, THGROUP_ATT_PITCHDOWN},
    {0, 0, 1, -1, 0, 0, THGROUP_ATT_YAWLEFT},   {0, 0, -1, 1, 0, 0, THGROUP_ATT_YAWLEFT},
    {0, 0, 1, 1, 0, 0, THGROUP_ATT_YAWRIGHT},   {0, 0, -1, -1, 0, 0, THGROUP_ATT_YAWRIGHT},
    {1, 0, 0, 0, 1, 0, THGROUP_ATT_BANKLEFT},   {-1, 0, 0, 0, -1, 0, THGROUP_ATT_BANKLEFT},
    {-1, 0, 0, 0, 1, 0, THGROUP_ATT_BANKRIGHT}, {1, 0, 0, 0, -1, 0, THGROUP_ATT_BANKRIGHT},
};

constexpr RcsThruster RCS_LINEAR[] = {
    {0, 0, 0, 0, 1, 0, THGROUP_ATT_UP},      {0, 0, 0, 0, -1, 0, THGROUP_ATT_DOWN},
    {0, 0, 0, -1, 0, 0, THGROUP_ATT_LEFT},   {0, 0, 0, 1, 0, 0, THGROUP_ATT_RIGHT},
    {0, 0, 0, 0, 0, 1, THGROUP_ATT_FORWARD}, {0, 0, 0, 0, 0, -1, THGROUP_ATT_BACK},
};

struct Engine {
    const char* item;
    VECTOR3 dir;
    THGROUP_TYPE group;
};
constexpr Engine ENGINES[] = {{"MaxMainThrust", {{0, 0, 1}}, THGROUP_MAIN},
                              {"MaxRetroThrust", {{0, 0, -1}}, THGROUP_RETRO},
                              {"MaxHoverThrust", {{0, 1, 0}}, THGROUP_HOVER}};

} // namespace

void DefaultAttitudeThrusters(Vessel* v, double maxth, PROPELLANT_HANDLE tank, double isp) {
    VESSEL* vi = v->iface;
    for (const RcsThruster& r : RCS_LINEAR) {
        THRUSTER_HANDLE th = vi->CreateThruster(_V(0, 0, 0), _V(r.dx, r.dy, r.dz), maxth, tank, isp);
        vi->CreateThrusterGroup(&th, 1, r.group);
    }
    const double arm = v->size;
    for (size_t i = 0; i < sizeof RCS_ROTATION / sizeof RCS_ROTATION[0]; i += 2) {
        THRUSTER_HANDLE th[2];
        for (size_t k = 0; k < 2; ++k) {
            const RcsThruster& r = RCS_ROTATION[i + k];
            th[k] = vi->CreateThruster(_V(r.px * arm, r.py * arm, r.pz * arm), _V(r.dx, r.dy, r.dz), 0.5 * maxth,
                                       tank, isp);
        }
        vi->CreateThrusterGroup(th, 2, RCS_ROTATION[i].group);
    }
}

namespace {

bool Usable(double d) {
    return std::isfinite(d) && d >= 0.0;
}

bool HasGroup(const Vessel* v, THGROUP_TYPE type) {
    for (auto& g : v->groups)
        if (g->type == type && !g->members.empty()) return true;
    return false;
}

void SetClassTouchdown(Vessel* v, const VECTOR3 (&pos)[3]) {
    TOUCHDOWNVTX td[3];
    for (int i = 0; i < 3; ++i)
        td[i] = {pos[i], CLASS_STIFFNESS, CLASS_DAMPING, v->muLat, v->muLng};
    // The defaults come before the module's own interface exists.
    BareVessel bare(v);
    (v->iface ? v->iface : &bare)->SetTouchdownPoints(td, 3);
}

// Tanks, engines and attitude thrusters from the generic items; they draw on the first tank.
void ClassEngines(Vessel* v, HostFile& cfg) {
    VESSEL* vi = v->iface;
    double d = 0.0, isp = v->ispDefault;
    char s[256];
    for (int i = 1;; ++i) {
        char item[32];
        snprintf(item, sizeof item, "PropellantResource%d", i);
        if (!oapiReadItem_string(&cfg, item, s)) break;
        double maxMass = 0.0, efficiency = 1.0;
        if (sscanf(s, "%lf%lf", &maxMass, &efficiency) >= 1 && Usable(maxMass) && std::isfinite(efficiency))
            vi->CreatePropellantResource(maxMass, -1.0, efficiency);
    }
    if (v->propellants.empty() && oapiReadItem_float(&cfg, "MaxFuel", d) && Usable(d))
        vi->CreatePropellantResource(d);
    PROPELLANT_HANDLE tank = v->propellants.empty() ? nullptr : v->propellants[0].get();
    for (const Engine& e : ENGINES) {
        if (!oapiReadItem_float(&cfg, e.item, d) || !Usable(d) || HasGroup(v, e.group)) continue;
        THRUSTER_HANDLE th = vi->CreateThruster(_V(0, 0, 0), e.dir, d, tank, isp);
        vi->CreateThrusterGroup(&th, 1, e.group);
    }
    if (oapiReadItem_float(&cfg, "MaxAttitudeThrust", d) && Usable(d)) DefaultAttitudeThrusters(v, d, tank, isp);
}

// The lines after the one that opens a block, up to the one that closes it; the host knows both by how they
// begin, in any case.
template <typename F> void ForBlock(HostFile& cfg, const char* begin, const char* end, F each) {
    const std::vector<std::string>& lines = cfg.Lines();
    size_t i = 0;
    while (i < lines.size() && strncasecmp(lines[i].c_str(), begin, strlen(begin)) != 0)
        ++i;
    for (++i; i < lines.size(); ++i) {
        if (strncasecmp(lines[i].c_str(), end, strlen(end)) == 0) break;
        each(lines[i]);
    }
}

bool AllFinite(const double* x, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(x[i])) return false;
    return true;
}

// BEGIN_DOCKLIST: "pos dir rot [ids channel]". A line that is not nine numbers (the host would make a port of
// whatever it half read) makes no port; a channel gives the port an approach transmitter.
void ClassDocks(Vessel* v, HostFile& cfg) {
    ForBlock(cfg, "BEGIN_DOCKLIST", "END_DOCKLIST", [v](const std::string& line) {
        double x[9];
        int channel = 0;
        const int n = sscanf(line.c_str(), "%lf%lf%lf%lf%lf%lf%lf%lf%lf%d", &x[0], &x[1], &x[2], &x[3], &x[4],
                             &x[5], &x[6], &x[7], &x[8], &channel);
        if (n < 9 || !AllFinite(x, 9)) return;
        DOCKHANDLE d = v->iface->CreateDock(_V(x[0], x[1], x[2]), _V(x[3], x[4], x[5]), _V(x[6], x[7], x[8]));
        if (n == 10) {
            v->iface->EnableIDS(d, true);
            v->iface->SetIDSChannel(d, channel);
        }
    });
}

// BEGIN_ATTACHMENT: "P|C pos dir rot [id]"; P is a point to hang on a parent by.
void ClassAttachments(Vessel* v, HostFile& cfg) {
    ForBlock(cfg, "BEGIN_ATTACHMENT", "END_ATTACHMENT", [v](const std::string& line) {
        char type = 0, id[9] = {};
        double x[9];
        const int n = sscanf(line.c_str(), " %c%lf%lf%lf%lf%lf%lf%lf%lf%lf %8s", &type, &x[0], &x[1], &x[2],
                             &x[3], &x[4], &x[5], &x[6], &x[7], &x[8], id);
        if (n < 10 || !AllFinite(x, 9)) return;
        v->iface->CreateAttachment(toupper((unsigned char)type) == 'P', _V(x[0], x[1], x[2]),
                                   _V(x[3], x[4], x[5]), _V(x[6], x[7], x[8]), id);
    });
}

} // namespace

void DefaultClassCaps(Vessel* v) {
    v->size = DEFAULT_SIZE;
    v->emptyMass = v->lastGoodEmptyMass = DEFAULT_EMPTY_MASS;
    v->pmi = _V(-1, -1, -1); // until someone sets it: then taken from the size
    v->crossSections = _V(DEFAULT_CROSS_SECTION, DEFAULT_CROSS_SECTION, DEFAULT_CROSS_SECTION);
    v->muLat = DEFAULT_MU_LAT;
    v->muLng = DEFAULT_MU_LNG;
    v->maxWheelbrakeForce = DEFAULT_WHEELBRAKE;
    v->unweighed = true;
    CallerMark mark("hostsim");
    SetClassTouchdown(v, DEFAULT_TOUCHDOWN);
}

void ApplyClassItems(Vessel* v, HostFile& cfg) {
    CallerMark mark("hostsim");
    VESSEL* vi = v->iface;
    double d;
    VECTOR3 vec, dir, rot;
    bool b;
    int i;
    char s[256];
    if (oapiReadItem_vec(&cfg, "Inertia", vec)) vi->SetPMI(vec);
    if (oapiReadItem_string(&cfg, "MeshName", s)) vi->AddMesh(s);
    if (oapiReadItem_bool(&cfg, "EnableFocus", b)) vi->SetEnableFocus(b);
    if (oapiReadItem_float(&cfg, "Size", d)) vi->SetSize(d);
    if (oapiReadItem_float(&cfg, "Mass", d)) {
        // The class file's mass is not a weighing: the host takes it in only later.
        const bool unweighed = v->unweighed;
        vi->SetEmptyMass(d);
        v->unweighed = unweighed;
    }
    if (oapiReadItem_bool(&cfg, "EnableXPDR", b) && b) {
        v->hasXpdr = true;
        if (oapiReadItem_int(&cfg, "XPDR", i) && i >= 0) v->xpdr = (DWORD)i;
    }
    if (oapiReadItem_float(&cfg, "Isp", d) && d > 0.0 && std::isfinite(d)) v->ispDefault = d;
    ClassEngines(v, cfg);
    if (oapiReadItem_string(&cfg, "TouchdownPoints", s)) {
        double p[9];
        if (sscanf(s, "%lf%lf%lf%lf%lf%lf%lf%lf%lf", &p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &p[6], &p[7],
                   &p[8]) == 9 &&
            AllFinite(p, 9)) {
            const VECTOR3 pos[3] = {_V(p[0], p[1], p[2]), _V(p[3], p[4], p[5]), _V(p[6], p[7], p[8])};
            SetClassTouchdown(v, pos);
        }
    }
    if (oapiReadItem_vec(&cfg, "CrossSections", vec)) vi->SetCrossSections(vec);
    if (oapiReadItem_vec(&cfg, "RotResistance", vec)) vi->SetRotDrag(vec);
    if (oapiReadItem_vec(&cfg, "CameraOffset", vec)) vi->SetCameraOffset(vec);
    if (oapiReadItem_vec(&cfg, "DockRef", vec) && oapiReadItem_vec(&cfg, "DockDir", dir) &&
        oapiReadItem_vec(&cfg, "DockRot", rot))
        vi->SetDockParams(vec, dir, rot);
    ClassDocks(v, cfg);
    ClassAttachments(v, cfg);
    // The host gives a vessel whose inertia nobody set one from its size.
    if (v->pmi.x < 0.0) v->pmi.x = 2.0 * v->size;
    if (v->pmi.y < 0.0) v->pmi.y = 2.0 * v->size;
    if (v->pmi.z < 0.0) v->pmi.z = v->size;
}

} // namespace hs
