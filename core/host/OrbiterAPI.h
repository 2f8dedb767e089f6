// The host's basic interface: platform types, handles, vector algebra, enums, records and the oapi functions.
#ifndef ORBITERAPI_H
#define ORBITERAPI_H

#include <float.h>
#include <math.h>
#include <stddef.h>
#include <stdint.h>
#ifndef _WIN32
#include <string>
#endif

// ---------------------------------------------------------------------------
// Export macros and platform types
// ---------------------------------------------------------------------------

#ifdef _WIN32
#include <windows.h>
#define DLLEXPORT __declspec(dllexport)
#define DLLIMPORT __declspec(dllimport)
#define DLLCLBK extern "C" __declspec(dllexport)
// Where the 2010 interface and the Linux one spell a type differently, the declarations below say which.
#define OAPI_DWORD DWORD
#define OAPI_WORD WORD
#define OAPI_UINT UINT
#define OAPI_CSTR char*
#else
// Modules are built with hidden visibility, so everything that crosses the module boundary says so itself.
#define DLLEXPORT __attribute__((visibility("default")))
#define DLLIMPORT __attribute__((visibility("default")))
#define DLLCLBK extern "C" __attribute__((visibility("default")))
// The Linux interface has no Windows types: counts and flags are int, text the host only reads is const.
#define OAPI_DWORD int
#define OAPI_WORD uint16_t
#define OAPI_UINT unsigned int
#define OAPI_CSTR const char*

typedef struct {
    int left;
    int top;
    int right;
    int bottom;
} RECT;
#endif

#ifdef OAPI_IMPLEMENTATION
#define OAPIFUNC DLLEXPORT
#else
#define OAPIFUNC DLLIMPORT
#endif

// ---------------------------------------------------------------------------
// Handles: opaque values the host hands out and owns
// ---------------------------------------------------------------------------

#ifdef _WIN32
typedef void* OBJHANDLE;
#else
// A vessel, planet or base: the host's own object, which modules only pass back.
class OrbiterObject {
  public:
    virtual int Type() const = 0;
};
typedef OrbiterObject* OBJHANDLE;
#endif
typedef void* VISHANDLE;
typedef void* MESHHANDLE;
typedef int* DEVMESHHANDLE; // the one handle that is not void*: use it opaquely
typedef void* SURFHANDLE;
typedef void* FILEHANDLE;
typedef void* PANELHANDLE;
typedef void* THRUSTER_HANDLE;
typedef void* THGROUP_HANDLE;
typedef void* PROPELLANT_HANDLE;
typedef void* PSTREAM_HANDLE;
typedef void* DOCKHANDLE;
typedef void* ATTACHMENTHANDLE;
typedef void* AIRFOILHANDLE;
typedef void* CTRLSURFHANDLE;
typedef void* NAVHANDLE;
typedef void* ANIMATIONCOMPONENT_HANDLE;
typedef void* NOTEHANDLE;
typedef void* ELEVHANDLE;

class VESSEL;

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

const double PI = 3.14159265358979323846;
const double PI05 = 1.57079632679489661923; // pi/2
const double PI2 = 6.28318530717958647693;  // 2 pi
const double RAD = PI / 180.0;              // degrees to radians
const double DEG = 180.0 / PI;              // radians to degrees
const double C0 = 299792458.0;              // speed of light in vacuum [m/s]
const double TAUA = 499.004783806;          // light travel time for one astronomical unit [s]
const double AU = 1.49597870691e11;         // astronomical unit [m]
const double GGRAV = 6.67259e-11;           // gravitational constant [m^3 kg^-1 s^-2]
const double G = 9.81;                      // gravitational acceleration at Earth's surface [m/s^2]
const double ATMP = 101.4e3;                // sea-level pressure of Earth's atmosphere [Pa]
const double ATMD = 1.293;                  // sea-level density of Earth's atmosphere [kg/m^3]

// ---------------------------------------------------------------------------
// Vectors and matrices: unions without constructors, so aggregate initialisation works
// ---------------------------------------------------------------------------

typedef union {
    double data[3];
    struct {
        double x, y, z;
    };
} VECTOR3;

typedef union {
    double data[4];
    struct {
        double x, y, z, w;
    };
} VECTOR4;

// Row-major.
typedef union {
    double data[9];
    struct {
        double m11, m12, m13, m21, m22, m23, m31, m32, m33;
    };
} MATRIX3;

typedef union {
    double data[16];
    struct {
        double m11, m12, m13, m14, m21, m22, m23, m24, m31, m32, m33, m34, m41, m42, m43, m44;
    };
} MATRIX4;

inline VECTOR3 _V(double x, double y, double z) {
    VECTOR3 v = {{x, y, z}};
    return v;
}

inline VECTOR4 _V(double x, double y, double z, double w) {
    VECTOR4 v = {{x, y, z, w}};
    return v;
}

inline void veccpy(VECTOR3& a, const VECTOR3& b) {
    a.x = b.x;
    a.y = b.y;
    a.z = b.z;
}

inline VECTOR3 operator+(const VECTOR3& a, const VECTOR3& b) {
    return _V(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline VECTOR3 operator-(const VECTOR3& a, const VECTOR3& b) {
    return _V(a.x - b.x, a.y - b.y, a.z - b.z);
}
// Only vector times scalar: the host has no scalar-times-vector operator, and code written here must build
// against it.
inline VECTOR3 operator*(const VECTOR3& a, const double f) {
    return _V(a.x * f, a.y * f, a.z * f);
}
inline VECTOR3 operator/(const VECTOR3& a, const double f) {
    return _V(a.x / f, a.y / f, a.z / f);
}

inline VECTOR3& operator+=(VECTOR3& a, const VECTOR3& b) {
    a.x += b.x;
    a.y += b.y;
    a.z += b.z;
    return a;
}

inline VECTOR3& operator-=(VECTOR3& a, const VECTOR3& b) {
    a.x -= b.x;
    a.y -= b.y;
    a.z -= b.z;
    return a;
}

inline VECTOR3& operator*=(VECTOR3& a, const double f) {
    a.x *= f;
    a.y *= f;
    a.z *= f;
    return a;
}

inline VECTOR3& operator/=(VECTOR3& a, const double f) {
    a.x /= f;
    a.y /= f;
    a.z /= f;
    return a;
}

inline VECTOR3 operator-(const VECTOR3& a) {
    return _V(-a.x, -a.y, -a.z);
}

inline double dotp(const VECTOR3& a, const VECTOR3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline VECTOR3 crossp(const VECTOR3& a, const VECTOR3& b) {
    return _V(a.y * b.z - b.y * a.z, a.z * b.x - b.z * a.x, a.x * b.y - b.x * a.y);
}

inline double length(const VECTOR3& a) {
    return sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}
inline double length2(const VECTOR3& a) {
    return a.x * a.x + a.y * a.y + a.z * a.z;
}
inline double dist(const VECTOR3& a, const VECTOR3& b) {
    return length(a - b);
}

// In place and without a zero check, as callers of the host expect.
inline void normalise(VECTOR3& a) {
    a /= length(a);
}
inline VECTOR3 unit(const VECTOR3& a) {
    return a / length(a);
}

inline MATRIX3 _M(double m11, double m12, double m13, double m21, double m22, double m23, double m31,
                  double m32, double m33) {
    MATRIX3 m = {{m11, m12, m13, m21, m22, m23, m31, m32, m33}};
    return m;
}

inline MATRIX3 identity() {
    return _M(1, 0, 0, 0, 1, 0, 0, 0, 1);
}

inline MATRIX3 outerp(const VECTOR3& a, const VECTOR3& b) {
    return _M(a.x * b.x, a.x * b.y, a.x * b.z, a.y * b.x, a.y * b.y, a.y * b.z, a.z * b.x, a.z * b.y,
              a.z * b.z);
}

// A times b.
inline VECTOR3 mul(const MATRIX3& A, const VECTOR3& b) {
    return _V(A.m11 * b.x + A.m12 * b.y + A.m13 * b.z, A.m21 * b.x + A.m22 * b.y + A.m23 * b.z,
              A.m31 * b.x + A.m32 * b.y + A.m33 * b.z);
}

// A transposed times b: the inverse rotation for a rotation matrix.
inline VECTOR3 tmul(const MATRIX3& A, const VECTOR3& b) {
    return _V(A.m11 * b.x + A.m21 * b.y + A.m31 * b.z, A.m12 * b.x + A.m22 * b.y + A.m32 * b.z,
              A.m13 * b.x + A.m23 * b.y + A.m33 * b.z);
}

inline MATRIX3 mul(const MATRIX3& A, const MATRIX3& B) {
    MATRIX3 m;
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 3; c++)
            m.data[r * 3 + c] = A.data[r * 3] * B.data[c] + A.data[r * 3 + 1] * B.data[3 + c] +
                                A.data[r * 3 + 2] * B.data[6 + c];
    return m;
}

// Rotation by angle [rad] about a unit axis (Rodrigues' formula).
inline MATRIX3 rotm(const VECTOR3& axis, double angle) {
    double c = cos(angle), s = sin(angle), t = 1.0 - c;
    double x = axis.x, y = axis.y, z = axis.z;
    return _M(t * x * x + c, t * x * y - z * s, t * x * z + y * s, t * x * y + z * s, t * y * y + c,
              t * y * z - x * s, t * x * z - y * s, t * y * z + x * s, t * z * z + c);
}

inline MATRIX3 operator+(const MATRIX3& A, double s) {
    MATRIX3 m;
    for (int i = 0; i < 9; i++)
        m.data[i] = A.data[i] + s;
    return m;
}

inline MATRIX3 operator-(const MATRIX3& A, double s) {
    MATRIX3 m;
    for (int i = 0; i < 9; i++)
        m.data[i] = A.data[i] - s;
    return m;
}

inline MATRIX3 operator*(const MATRIX3& A, double s) {
    MATRIX3 m;
    for (int i = 0; i < 9; i++)
        m.data[i] = A.data[i] * s;
    return m;
}

inline MATRIX3 operator/(const MATRIX3& A, double s) {
    MATRIX3 m;
    for (int i = 0; i < 9; i++)
        m.data[i] = A.data[i] / s;
    return m;
}

inline MATRIX3& operator*=(MATRIX3& A, double s) {
    for (int i = 0; i < 9; i++)
        A.data[i] *= s;
    return A;
}

inline MATRIX3& operator/=(MATRIX3& A, double s) {
    for (int i = 0; i < 9; i++)
        A.data[i] /= s;
    return A;
}

inline RECT _R(int left, int top, int right, int bottom) {
    RECT r = {left, top, right, bottom};
    return r;
}

// Wraps an angle [rad] into -pi..pi.
inline double normangle(double angle) {
    double a = fmod(angle, PI2);
    return a >= PI ? a - PI2 : a < -PI ? a + PI2 : a;
}

// Wraps an angle [rad] into 0..2pi. A tiny negative remainder would round up to exactly 2pi, which lies
// outside the range, so it becomes 0.
inline double posangle(double angle) {
    double a = fmod(angle, PI2);
    if (a < 0.0) a += PI2;
    return a >= PI2 ? 0.0 : a;
}

// ---------------------------------------------------------------------------
// Small records
// ---------------------------------------------------------------------------

typedef struct {
    float r, g, b, a;
} COLOUR4;

typedef struct {
    float x, y, z;    // position
    float nx, ny, nz; // normal
    float tu, tv;     // texture coordinates
} NTVERTEX;

typedef struct {
    NTVERTEX* Vtx;
    OAPI_WORD* Idx;
    OAPI_DWORD nVtx;
    OAPI_DWORD nIdx;
    OAPI_DWORD MtrlIdx;
    OAPI_DWORD TexIdx;
    OAPI_DWORD UsrFlag;
    OAPI_WORD zBias;
    OAPI_WORD Flags;
} MESHGROUP;

#ifndef _WIN32
const int MAXTEX = 1; // extra textures a group may blend in

// A group as the host keeps it: MESHGROUP followed by the extra textures.
typedef struct {
    NTVERTEX* Vtx;
    OAPI_WORD* Idx;
    OAPI_DWORD nVtx;
    OAPI_DWORD nIdx;
    OAPI_DWORD MtrlIdx;
    OAPI_DWORD TexIdx;
    OAPI_DWORD UsrFlag;
    OAPI_WORD zBias;
    OAPI_WORD Flags;
    int TexIdxEx[MAXTEX];
    float TexMixEx[MAXTEX];
} MESHGROUPEX;

typedef struct {
    COLOUR4 diffuse;
    COLOUR4 ambient;
    COLOUR4 specular;
    COLOUR4 emissive;
    float power; // specular exponent
} MATERIAL;

#define MESHPROPERTY_MODULATEMATALPHA 1
#endif

// What the HUD is drawn on: surface size, centre (the forward marker, possibly off the surface), pixels per
// degree and the typical marker size.
typedef struct {
    int W, H;
    int CX, CY;
    double Scale;
    int Markersize;
} HUDPAINTSPEC;

// ---------------------------------------------------------------------------
// Enumerations
// ---------------------------------------------------------------------------

enum THGROUP_TYPE {
    THGROUP_MAIN = 0,
    THGROUP_RETRO = 1,
    THGROUP_HOVER = 2,
    THGROUP_ATT_PITCHUP = 3,
    THGROUP_ATT_PITCHDOWN = 4,
    THGROUP_ATT_YAWLEFT = 5,
    THGROUP_ATT_YAWRIGHT = 6,
    THGROUP_ATT_BANKLEFT = 7,
    THGROUP_ATT_BANKRIGHT = 8,
    THGROUP_ATT_RIGHT = 9,
    THGROUP_ATT_LEFT = 10,
    THGROUP_ATT_UP = 11,
    THGROUP_ATT_DOWN = 12,
    THGROUP_ATT_FORWARD = 13,
    THGROUP_ATT_BACK = 14,
    THGROUP_USER = 0x40
};

typedef enum { LIFT_VERTICAL = 0, LIFT_HORIZONTAL = 1 } AIRFOIL_ORIENTATION;

typedef enum {
    AIRCTRL_ELEVATOR = 0,
    AIRCTRL_RUDDER = 1,
    AIRCTRL_AILERON = 2,
    AIRCTRL_FLAP = 3,
    AIRCTRL_ELEVATORTRIM = 4,
    AIRCTRL_RUDDERTRIM = 5
} AIRCTRL_TYPE;

#define AIRCTRL_AXIS_AUTO 0
#define AIRCTRL_AXIS_YPOS 1
#define AIRCTRL_AXIS_YNEG 2
#define AIRCTRL_AXIS_XPOS 3
#define AIRCTRL_AXIS_XNEG 4

// Attitude thruster modes.
#define RCS_NONE 0
#define RCS_ROT 1
#define RCS_LIN 2

#define CAM_COCKPIT 0
#define CAM_TARGETRELATIVE 1
#define CAM_ABSDIRECTION 2
#define CAM_GLOBALFRAME 3
#define CAM_TARGETTOOBJECT 4
#define CAM_TARGETFROMOBJECT 5
#define CAM_GROUNDOBSERVER 6

#define COCKPIT_GENERIC 1
#define COCKPIT_PANELS 2
#define COCKPIT_VIRTUAL 3

#define MESHVIS_NEVER 0x00
#define MESHVIS_EXTERNAL 0x01
#define MESHVIS_COCKPIT 0x02
#define MESHVIS_ALWAYS (MESHVIS_EXTERNAL | MESHVIS_COCKPIT)
#define MESHVIS_VC 0x04
#define MESHVIS_EXTPASS 0x10 // a modifier, combined with one of the others

#define HUD_NONE 0
#define HUD_ORBIT 1
#define HUD_SURFACE 2
#define HUD_DOCKING 3

#define NAVMODE_KILLROT 1
#define NAVMODE_HLEVEL 2
#define NAVMODE_PROGRADE 3
#define NAVMODE_RETROGRADE 4
#define NAVMODE_NORMAL 5
#define NAVMODE_ANTINORMAL 6
#define NAVMODE_HOLDALT 7

#define BEACONSHAPE_COMPACT 0
#define BEACONSHAPE_DIFFUSE 1
#define BEACONSHAPE_STAR 2

#define OBJTP_INVALID 0
#define OBJTP_GENERIC 1
#define OBJTP_CBODY 2
#define OBJTP_STAR 3
#define OBJTP_PLANET 4
#define OBJTP_VESSEL 10
#define OBJTP_SURFBASE 20

typedef enum { FRAME_GLOBAL, FRAME_LOCAL, FRAME_REFLOCAL, FRAME_HORIZON } REFFRAME;
#ifndef _WIN32
// What an altitude is measured from: the body's mean radius, or the ground below.
enum AltitudeMode { ALTMODE_MEANRAD, ALTMODE_GROUND };
#endif

// Obsolete engine and attitude classifications, kept for older code.
typedef enum { ENGINE_MAIN, ENGINE_RETRO, ENGINE_HOVER, ENGINE_ATTITUDE } ENGINETYPE;
typedef enum { ATTMODE_DISABLED, ATTMODE_ROT, ATTMODE_LIN } ATTITUDEMODE;

enum FileAccessMode { FILE_IN, FILE_OUT, FILE_APP, FILE_IN_ZEROONFAIL };
enum PathRoot { ROOT, CONFIG, SCENARIOS, TEXTURES, TEXTURES2, MESHES, MODULES };

#define LOCALVERTEXLIST ((OAPI_UINT)(-1))
#define MAKEGROUPARRAY(x) ((OAPI_UINT*)(x))

// ---------------------------------------------------------------------------
// Airfoil coefficient callbacks
// ---------------------------------------------------------------------------

typedef double (*LiftCoeffFunc)(double aoa); // obsolete

// GetManualControlLevel: which attitude modes count, and which input device.
#define MANCTRL_ATTMODE 0
#define MANCTRL_REVMODE 1
#define MANCTRL_ROTMODE 2
#define MANCTRL_LINMODE 3
#define MANCTRL_ANYMODE 4
#define MANCTRL_KEYBOARD 0
#define MANCTRL_JOYSTICK 1
#define MANCTRL_ANYDEVICE 2
typedef void (*AirfoilCoeffFunc)(double aoa, double M, double Re, double* cl, double* cm, double* cd);
typedef void (*AirfoilCoeffFuncEx)(VESSEL* v, double aoa, double M, double Re, void* context, double* cl,
                                   double* cm, double* cd);

// ---------------------------------------------------------------------------
// Vessel state records
// ---------------------------------------------------------------------------

typedef struct {
    VECTOR3 rpos;    // position relative to rbody, ecliptic frame [m]
    VECTOR3 rvel;    // velocity relative to rbody [m/s]
    VECTOR3 vrot;    // angular velocity [rad/s]
    VECTOR3 arot;    // orientation [rad]
    double fuel;     // 0..1
    double eng_main; // -1..1
    double eng_hovr; // 0..1
    OBJHANDLE rbody;
    OBJHANDLE base;
    int port;
    int status; // 0 flying, 1 landed
    VECTOR3 vdata[10];
    double fdata[10];
    OAPI_DWORD flag[10];
} VESSELSTATUS;

#define VS_FUELRESET 0x00000001
#define VS_FUELLIST 0x00000002
#define VS_THRUSTRESET 0x00000004
#define VS_THRUSTLIST 0x00000008
#define VS_DOCKINFOLIST 0x00000010

struct VESSELSTATUS2 {
    OAPI_DWORD version; // must be 2
    OAPI_DWORD flag;    // VS_* bits
    OBJHANDLE rbody;
    OBJHANDLE base;
    int port;
    int status; // 0 free flight, 1 landed
    VECTOR3 rpos;
    VECTOR3 rvel;
    VECTOR3 vrot;
    VECTOR3 arot;
    double surf_lng, surf_lat, surf_hdg;

    OAPI_DWORD nfuel;
    struct FUELSPEC {
        OAPI_DWORD idx; // (OAPI_DWORD)-1: all tanks
        double level;
    } * fuel;

    OAPI_DWORD nthruster;
    struct THRUSTSPEC {
        OAPI_DWORD idx;
        double level;
    } * thruster;

    OAPI_DWORD ndockinfo;
    struct DOCKINFOSPEC {
        OAPI_DWORD idx;
        OAPI_DWORD ridx;
        OBJHANDLE rvessel;
    } * dockinfo;

    OAPI_DWORD xpdr;
};

// The host keeps the pointer and reads it every frame, so the record and its vectors must outlive the beacon.
typedef struct {
    OAPI_DWORD shape;  // BEACONSHAPE_*
    VECTOR3* pos; // position in the vessel frame
    VECTOR3* col; // RGB
    double size;
    double falloff; // 0..1
    double period;  // [s], 0 = steady
    double duration;
    double tofs;
    bool active;
} BEACONLIGHTSPEC;

struct PARTICLESTREAMSPEC {
    OAPI_DWORD flags; // no named flags exist: 0
    double srcsize;
    double srcrate;
    double v0;
    double srcspread;
    double lifetime;
    double growthrate;
    double atmslowdown;
    enum LTYPE { EMISSIVE, DIFFUSE } ltype;
    enum LEVELMAP { LVL_FLAT, LVL_LIN, LVL_SQRT, LVL_PLIN, LVL_PSQRT } levelmap;
    double lmin, lmax;
    enum ATMSMAP { ATM_FLAT, ATM_PLIN, ATM_PLOG } atmsmap;
    double amin, amax;
    SURFHANDLE tex; // NULL: the default texture
};

typedef struct {
    THRUSTER_HANDLE th;
    double* level;
    VECTOR3* lpos;
    VECTOR3* ldir;
    double lsize, wsize;
    double lofs;
    double modulate;
    SURFHANDLE tex;
    OAPI_DWORD flags;
    OAPI_UINT id;
} EXHAUSTSPEC;

// ---------------------------------------------------------------------------
// Animation transforms: the host keeps the pointer, so a transform must outlive its animation
// ---------------------------------------------------------------------------

class MGROUP_TRANSFORM {
  public:
    MGROUP_TRANSFORM() : mesh(0), grp(0), ngrp(0) {}
    MGROUP_TRANSFORM(OAPI_UINT _mesh, OAPI_UINT* _grp, OAPI_UINT _ngrp) : mesh(_mesh), grp(_grp), ngrp(_ngrp) {}
    // Owners often keep transforms behind base pointers and delete them that way.
    virtual ~MGROUP_TRANSFORM() {}
    enum TYPE { NULLTRANSFORM, ROTATE, TRANSLATE, SCALE };
    virtual TYPE Type() const { return NULLTRANSFORM; }

    OAPI_UINT mesh;
    OAPI_UINT* grp;
    OAPI_UINT ngrp;
};

class MGROUP_ROTATE : public MGROUP_TRANSFORM {
  public:
    MGROUP_ROTATE(OAPI_UINT _mesh, OAPI_UINT* _grp, OAPI_UINT _ngrp, const VECTOR3& _ref, const VECTOR3& _axis, float _angle)
        : MGROUP_TRANSFORM(_mesh, _grp, _ngrp), ref(_ref), axis(_axis), angle(_angle) {}
    TYPE Type() const { return ROTATE; }

    VECTOR3 ref;
    VECTOR3 axis;
    float angle; // [rad]; single precision in the host's record
};

class MGROUP_TRANSLATE : public MGROUP_TRANSFORM {
  public:
    MGROUP_TRANSLATE(OAPI_UINT _mesh, OAPI_UINT* _grp, OAPI_UINT _ngrp, const VECTOR3& _shift)
        : MGROUP_TRANSFORM(_mesh, _grp, _ngrp), shift(_shift) {}
    TYPE Type() const { return TRANSLATE; }

    VECTOR3 shift;
};

class MGROUP_SCALE : public MGROUP_TRANSFORM {
  public:
    MGROUP_SCALE(OAPI_UINT _mesh, OAPI_UINT* _grp, OAPI_UINT _ngrp, const VECTOR3& _ref, const VECTOR3& _scale)
        : MGROUP_TRANSFORM(_mesh, _grp, _ngrp), ref(_ref), scale(_scale) {}
    TYPE Type() const { return SCALE; }

    VECTOR3 ref;
    VECTOR3 scale;
};

// ---------------------------------------------------------------------------
// Mesh group editing
// ---------------------------------------------------------------------------

typedef struct {
    OAPI_DWORD flags; // GRPEDIT_*
    OAPI_DWORD UsrFlag;
    NTVERTEX* Vtx;
    OAPI_DWORD nVtx;
    OAPI_WORD* vIdx; // NULL: vertices are replaced from index 0
} GROUPEDITSPEC;

#ifndef _WIN32
// What oapiGetMeshGroup copies out: a permutation list picks the vertices or indices, else they come from 0.
typedef struct {
    NTVERTEX* Vtx;
    int nVtx;
    uint16_t* VtxPerm;
    uint16_t* Idx;
    int nIdx;
    uint16_t* IdxPerm;
    int MtrlIdx;
    int TexIdx;
} GROUPREQUESTSPEC;
#endif

#define GRPEDIT_SETUSERFLAG 0x00001
#define GRPEDIT_ADDUSERFLAG 0x00002
#define GRPEDIT_DELUSERFLAG 0x00004
#define GRPEDIT_VTXCRDX 0x00008
#define GRPEDIT_VTXCRDY 0x00010
#define GRPEDIT_VTXCRDZ 0x00020
#define GRPEDIT_VTXCRD (GRPEDIT_VTXCRDX | GRPEDIT_VTXCRDY | GRPEDIT_VTXCRDZ)
#define GRPEDIT_VTXNMLX 0x00040
#define GRPEDIT_VTXNMLY 0x00080
#define GRPEDIT_VTXNMLZ 0x00100
#define GRPEDIT_VTXNML (GRPEDIT_VTXNMLX | GRPEDIT_VTXNMLY | GRPEDIT_VTXNMLZ)
#define GRPEDIT_VTXTEXU 0x00200
#define GRPEDIT_VTXTEXV 0x00400
#define GRPEDIT_VTXTEX (GRPEDIT_VTXTEXU | GRPEDIT_VTXTEXV)
#define GRPEDIT_VTX (GRPEDIT_VTXCRD | GRPEDIT_VTXNML | GRPEDIT_VTXTEX)
#define GRPEDIT_VTXCRDADDX 0x00800
#define GRPEDIT_VTXCRDADDY 0x01000
#define GRPEDIT_VTXCRDADDZ 0x02000
#define GRPEDIT_VTXCRDADD (GRPEDIT_VTXCRDADDX | GRPEDIT_VTXCRDADDY | GRPEDIT_VTXCRDADDZ)
#define GRPEDIT_VTXNMLADDX 0x04000
#define GRPEDIT_VTXNMLADDY 0x08000
#define GRPEDIT_VTXNMLADDZ 0x10000
#define GRPEDIT_VTXNMLADD (GRPEDIT_VTXNMLADDX | GRPEDIT_VTXNMLADDY | GRPEDIT_VTXNMLADDZ)
#define GRPEDIT_VTXTEXADDU 0x20000
#define GRPEDIT_VTXTEXADDV 0x40000
#define GRPEDIT_VTXTEXADD (GRPEDIT_VTXTEXADDU | GRPEDIT_VTXTEXADDV)
#define GRPEDIT_VTXADD (GRPEDIT_VTXCRDADD | GRPEDIT_VTXNMLADD | GRPEDIT_VTXTEXADD)
#define GRPEDIT_VTXMOD (GRPEDIT_VTX | GRPEDIT_VTXADD)

// ---------------------------------------------------------------------------
// Keyboard: DirectInput scan codes
// ---------------------------------------------------------------------------

#define OAPI_KEY_ESCAPE 0x01
#define OAPI_KEY_1 0x02
#define OAPI_KEY_2 0x03
#define OAPI_KEY_3 0x04
#define OAPI_KEY_4 0x05
#define OAPI_KEY_5 0x06
#define OAPI_KEY_6 0x07
#define OAPI_KEY_7 0x08
#define OAPI_KEY_8 0x09
#define OAPI_KEY_9 0x0A
#define OAPI_KEY_0 0x0B
#define OAPI_KEY_MINUS 0x0C // on main keyboard
#define OAPI_KEY_EQUALS 0x0D
#define OAPI_KEY_BACK 0x0E // backspace
#define OAPI_KEY_TAB 0x0F
#define OAPI_KEY_Q 0x10
#define OAPI_KEY_W 0x11
#define OAPI_KEY_E 0x12
#define OAPI_KEY_R 0x13
#define OAPI_KEY_T 0x14
#define OAPI_KEY_Y 0x15
#define OAPI_KEY_U 0x16
#define OAPI_KEY_I 0x17
#define OAPI_KEY_O 0x18
#define OAPI_KEY_P 0x19
#define OAPI_KEY_LBRACKET 0x1A
#define OAPI_KEY_RBRACKET 0x1B
#define OAPI_KEY_RETURN 0x1C // Enter on main keyboard
#define OAPI_KEY_LCONTROL 0x1D
#define OAPI_KEY_A 0x1E
#define OAPI_KEY_S 0x1F
#define OAPI_KEY_D 0x20
#define OAPI_KEY_F 0x21
#define OAPI_KEY_G 0x22
#define OAPI_KEY_H 0x23
#define OAPI_KEY_J 0x24
#define OAPI_KEY_K 0x25
#define OAPI_KEY_L 0x26
#define OAPI_KEY_SEMICOLON 0x27
#define OAPI_KEY_APOSTROPHE 0x28
#define OAPI_KEY_GRAVE 0x29 // accent grave
#define OAPI_KEY_LSHIFT 0x2A
#define OAPI_KEY_BACKSLASH 0x2B
#define OAPI_KEY_Z 0x2C
#define OAPI_KEY_X 0x2D
#define OAPI_KEY_C 0x2E
#define OAPI_KEY_V 0x2F
#define OAPI_KEY_B 0x30
#define OAPI_KEY_N 0x31
#define OAPI_KEY_M 0x32
#define OAPI_KEY_COMMA 0x33
#define OAPI_KEY_PERIOD 0x34 // . on main keyboard
#define OAPI_KEY_SLASH 0x35  // / on main keyboard
#define OAPI_KEY_RSHIFT 0x36
#define OAPI_KEY_MULTIPLY 0x37 // * on numeric keypad
#define OAPI_KEY_LALT 0x38
#define OAPI_KEY_SPACE 0x39
#define OAPI_KEY_CAPITAL 0x3A // caps lock
#define OAPI_KEY_F1 0x3B
#define OAPI_KEY_F2 0x3C
#define OAPI_KEY_F3 0x3D
#define OAPI_KEY_F4 0x3E
#define OAPI_KEY_F5 0x3F
#define OAPI_KEY_F6 0x40
#define OAPI_KEY_F7 0x41
#define OAPI_KEY_F8 0x42
#define OAPI_KEY_F9 0x43
#define OAPI_KEY_F10 0x44
#define OAPI_KEY_NUMLOCK 0x45
#define OAPI_KEY_SCROLL 0x46 // scroll lock
#define OAPI_KEY_NUMPAD7 0x47
#define OAPI_KEY_NUMPAD8 0x48
#define OAPI_KEY_NUMPAD9 0x49
#define OAPI_KEY_SUBTRACT 0x4A // - on numeric keypad
#define OAPI_KEY_NUMPAD4 0x4B
#define OAPI_KEY_NUMPAD5 0x4C
#define OAPI_KEY_NUMPAD6 0x4D
#define OAPI_KEY_ADD 0x4E // + on numeric keypad
#define OAPI_KEY_NUMPAD1 0x4F
#define OAPI_KEY_NUMPAD2 0x50
#define OAPI_KEY_NUMPAD3 0x51
#define OAPI_KEY_NUMPAD0 0x52
#define OAPI_KEY_DECIMAL 0x53 // . on numeric keypad
#define OAPI_KEY_OEM_102 0x56 // < > | on UK/German keyboards
#define OAPI_KEY_F11 0x57
#define OAPI_KEY_F12 0x58
#define OAPI_KEY_F13 0x64
#define OAPI_KEY_F14 0x65
#define OAPI_KEY_F15 0x66
#define OAPI_KEY_KANA 0x70
#define OAPI_KEY_ABNT_C1 0x73
#define OAPI_KEY_CONVERT 0x79
#define OAPI_KEY_NOCONVERT 0x7B
#define OAPI_KEY_YEN 0x7D
#define OAPI_KEY_ABNT_C2 0x7E
#define OAPI_KEY_NUMPADEQUALS 0x8D
#define OAPI_KEY_PREVTRACK 0x90
#define OAPI_KEY_AT 0x91
#define OAPI_KEY_COLON 0x92
#define OAPI_KEY_UNDERLINE 0x93
#define OAPI_KEY_KANJI 0x94
#define OAPI_KEY_STOP 0x95
#define OAPI_KEY_AX 0x96
#define OAPI_KEY_UNLABELED 0x97
#define OAPI_KEY_NEXTTRACK 0x99
#define OAPI_KEY_NUMPADENTER 0x9C
#define OAPI_KEY_RCONTROL 0x9D
#define OAPI_KEY_MUTE 0xA0
#define OAPI_KEY_CALCULATOR 0xA1
#define OAPI_KEY_PLAYPAUSE 0xA2
#define OAPI_KEY_MEDIASTOP 0xA4
#define OAPI_KEY_VOLUMEDOWN 0xAE
#define OAPI_KEY_VOLUMEUP 0xB0
#define OAPI_KEY_WEBHOME 0xB2
#define OAPI_KEY_NUMPADCOMMA 0xB3
#define OAPI_KEY_DIVIDE 0xB5 // / on numeric keypad
#define OAPI_KEY_SYSRQ 0xB7
#define OAPI_KEY_RALT 0xB8
#define OAPI_KEY_PAUSE 0xC5
#define OAPI_KEY_HOME 0xC7
#define OAPI_KEY_UP 0xC8    // up arrow
#define OAPI_KEY_PRIOR 0xC9 // page up
#define OAPI_KEY_LEFT 0xCB
#define OAPI_KEY_RIGHT 0xCD
#define OAPI_KEY_END 0xCF
#define OAPI_KEY_DOWN 0xD0 // down arrow
#define OAPI_KEY_NEXT 0xD1 // page down
#define OAPI_KEY_INSERT 0xD2
#define OAPI_KEY_DELETE 0xD3
#define OAPI_KEY_LWIN 0xDB
#define OAPI_KEY_RWIN 0xDC
#define OAPI_KEY_APPS 0xDD
#define OAPI_KEY_POWER 0xDE
#define OAPI_KEY_SLEEP 0xDF
#define OAPI_KEY_WAKE 0xE3
#define OAPI_KEY_WEBSEARCH 0xE5
#define OAPI_KEY_WEBFAVORITES 0xE6
#define OAPI_KEY_WEBREFRESH 0xE7
#define OAPI_KEY_WEBSTOP 0xE8
#define OAPI_KEY_WEBFORWARD 0xE9
#define OAPI_KEY_WEBBACK 0xEA
#define OAPI_KEY_MYCOMPUTER 0xEB
#define OAPI_KEY_MAIL 0xEC
#define OAPI_KEY_MEDIASELECT 0xED

// The key state buffer has 256 entries; bit 7 set means held down.
#define KEYDOWN(buf, key) ((buf)[key] & 0x80)
#define RESETKEY(buf, key) ((buf)[key] = 0)

#define KEYMOD_LSHIFT(buf) (KEYDOWN(buf, OAPI_KEY_LSHIFT))
#define KEYMOD_RSHIFT(buf) (KEYDOWN(buf, OAPI_KEY_RSHIFT))
#define KEYMOD_SHIFT(buf) (KEYMOD_LSHIFT(buf) || KEYMOD_RSHIFT(buf))
#define KEYMOD_LCONTROL(buf) (KEYDOWN(buf, OAPI_KEY_LCONTROL))
#define KEYMOD_RCONTROL(buf) (KEYDOWN(buf, OAPI_KEY_RCONTROL))
#define KEYMOD_CONTROL(buf) (KEYMOD_LCONTROL(buf) || KEYMOD_RCONTROL(buf))
#define KEYMOD_LALT(buf) (KEYDOWN(buf, OAPI_KEY_LALT))
#define KEYMOD_RALT(buf) (KEYDOWN(buf, OAPI_KEY_RALT))
#define KEYMOD_ALT(buf) (KEYMOD_LALT(buf) || KEYMOD_RALT(buf))

// ---------------------------------------------------------------------------
// Host functions
// ---------------------------------------------------------------------------

// Class configuration files: each call rewinds and searches the whole file, keys without regard to case.
OAPIFUNC bool oapiReadItem_string(FILEHANDLE f, OAPI_CSTR item, char* string);
OAPIFUNC bool oapiReadItem_float(FILEHANDLE f, OAPI_CSTR item, double& val);
OAPIFUNC bool oapiReadItem_int(FILEHANDLE f, OAPI_CSTR item, int& val);
OAPIFUNC bool oapiReadItem_bool(FILEHANDLE f, OAPI_CSTR item, bool& val);
OAPIFUNC bool oapiReadItem_vec(FILEHANDLE f, OAPI_CSTR item, VECTOR3& val);
OAPIFUNC void oapiWriteItem_string(FILEHANDLE f, OAPI_CSTR item, OAPI_CSTR string);
OAPIFUNC void oapiWriteItem_float(FILEHANDLE f, OAPI_CSTR item, double val);
OAPIFUNC void oapiWriteItem_int(FILEHANDLE f, OAPI_CSTR item, int val);
OAPIFUNC void oapiWriteItem_bool(FILEHANDLE f, OAPI_CSTR item, bool val);
OAPIFUNC void oapiWriteItem_vec(FILEHANDLE f, OAPI_CSTR item, const VECTOR3& val);

// Scenario files.
OAPIFUNC void oapiWriteScenario_string(FILEHANDLE scn, OAPI_CSTR item, OAPI_CSTR string);
OAPIFUNC void oapiWriteScenario_int(FILEHANDLE scn, OAPI_CSTR item, int i);
OAPIFUNC void oapiWriteScenario_float(FILEHANDLE scn, OAPI_CSTR item, double d);
OAPIFUNC void oapiWriteScenario_vec(FILEHANDLE scn, OAPI_CSTR item, const VECTOR3& vec);
// False at the end of the file or on a line "END"; the line points into a buffer the next call overwrites.
OAPIFUNC bool oapiReadScenario_nextline(FILEHANDLE scn, char*& line);

// Files in general.
OAPIFUNC FILEHANDLE oapiOpenFile(const char* fname, FileAccessMode mode, PathRoot root = ROOT);
OAPIFUNC void oapiCloseFile(FILEHANDLE f, FileAccessMode mode);
OAPIFUNC void oapiWriteLine(FILEHANDLE f, OAPI_CSTR line);
OAPIFUNC void oapiWriteLog(OAPI_CSTR line);
#ifndef _WIN32
OAPIFUNC void oapiWriteLogV(const char* format, ...);
// The error form: the message framed as an error, with the place it came from.
#define oapiWriteLogError(format, ...) __writeLogError(__FUNCTION__, __FILE__, __LINE__, format, __VA_ARGS__)
OAPIFUNC void __writeLogError(const char* func, const char* file, int line, const char* format, ...);

// Docking ports of any vessel, by index; the vessel a port holds, or null.
const unsigned int ALLDOCKS = (unsigned int)-1;
OAPIFUNC DOCKHANDLE oapiGetDockHandle(OBJHANDLE hVessel, unsigned int n);
OAPIFUNC OBJHANDLE oapiGetDockStatus(DOCKHANDLE dock);

// Text laid over the simulation window.
OAPIFUNC NOTEHANDLE oapiCreateAnnotation(bool exclusive, double size, const VECTOR3& col);
OAPIFUNC bool oapiDelAnnotation(NOTEHANDLE hNote);
OAPIFUNC void oapiAnnotationSetPos(NOTEHANDLE hNote, double x1, double y1, double x2, double y2);
OAPIFUNC void oapiAnnotationSetSize(NOTEHANDLE hNote, double size);
OAPIFUNC void oapiAnnotationSetColour(NOTEHANDLE hNote, const VECTOR3& col);
OAPIFUNC void oapiAnnotationSetText(NOTEHANDLE hNote, const char* note);
#endif

// Vessels and other objects.
OAPIFUNC OBJHANDLE oapiCreateVessel(const char* name, const char* classname, const VESSELSTATUS& status);
OAPIFUNC OBJHANDLE oapiCreateVesselEx(const char* name, const char* classname, const void* status);
OAPIFUNC bool oapiDeleteVessel(OBJHANDLE hVessel, OBJHANDLE hAlternativeCameraTarget = 0);
OAPIFUNC OAPI_DWORD oapiGetVesselCount();
OAPIFUNC OBJHANDLE oapiGetVesselByIndex(int index);
OAPIFUNC OBJHANDLE oapiGetVesselByName(OAPI_CSTR name);
OAPIFUNC bool oapiIsVessel(OBJHANDLE hVessel);
OAPIFUNC VESSEL* oapiGetVesselInterface(OBJHANDLE hVessel);
OAPIFUNC OBJHANDLE oapiGetObjectByName(OAPI_CSTR name);
OAPIFUNC void oapiGetObjectName(OBJHANDLE hObj, char* name, int n);
OAPIFUNC OBJHANDLE oapiGetFocusObject();
OAPIFUNC OBJHANDLE oapiSetFocusObject(OBJHANDLE hVessel);
OAPIFUNC OAPI_DWORD oapiGetGbodyCount();
OAPIFUNC OBJHANDLE oapiGetGbodyByIndex(int index);
OAPIFUNC void oapiGetGlobalPos(OBJHANDLE hObj, VECTOR3* pos);
OAPIFUNC void oapiGetRelativePos(OBJHANDLE hObj, OBJHANDLE hRef, VECTOR3* pos);
OAPIFUNC void oapiGetRelativeVel(OBJHANDLE hObj, OBJHANDLE hRef, VECTOR3* vel);
OAPIFUNC double oapiGetPropellantMass(PROPELLANT_HANDLE ph);
OAPIFUNC double oapiGetEmptyMass(OBJHANDLE hVessel);
OAPIFUNC void oapiSetEmptyMass(OBJHANDLE hVessel, double mass);

// Aerodynamics.
OAPIFUNC double oapiGetInducedDrag(double cl, double A, double e);
OAPIFUNC double oapiGetWaveDrag(double M, double M1, double M2, double M3, double cmax);

// Visuals and resources.
OAPIFUNC int oapiEditMeshGroup(MESHHANDLE hMesh, OAPI_DWORD grpidx, GROUPEDITSPEC* ges);
OAPIFUNC int oapiEditMeshGroup(DEVMESHHANDLE hMesh, OAPI_DWORD grpidx, GROUPEDITSPEC* ges);
// The host returns some handles const-qualified; the qualifier means nothing on a returned value, and its
// warning is silenced here so that the declarations stay exact.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-qualifiers"
#endif
OAPIFUNC const MESHHANDLE oapiLoadMeshGlobal(const char* fname);
#ifndef _WIN32
// firstload: the host read the file for this call, not an earlier one.
typedef void (*LoadMeshClbkFunc)(MESHHANDLE hMesh, bool firstload);
OAPIFUNC const MESHHANDLE oapiLoadMeshGlobal(const char* fname, LoadMeshClbkFunc fClbk);
#endif
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
#ifndef _WIN32
// Meshes a module owns (loaded, made or copied: it deletes them) and those the host keeps for every module
// (oapiLoadMeshGlobal: never deleted by a module). Material and texture indices are 0-based here.
OAPIFUNC MESHHANDLE oapiLoadMesh(const char* fname);
OAPIFUNC MESHHANDLE oapiCreateMesh(int ngrp, MESHGROUP* grp);
OAPIFUNC void oapiDeleteMesh(MESHHANDLE hMesh);
OAPIFUNC int oapiGetMeshFlags(MESHHANDLE hMesh);
OAPIFUNC int oapiMeshGroupCount(MESHHANDLE hMesh);
OAPIFUNC MESHGROUP* oapiMeshGroup(MESHHANDLE hMesh, int idx);
OAPIFUNC MESHGROUP* oapiMeshGroup(DEVMESHHANDLE hMesh, int idx); // always null: a device mesh is not readable
OAPIFUNC MESHGROUPEX* oapiMeshGroupEx(MESHHANDLE hMesh, int idx);
OAPIFUNC int oapiAddMeshGroup(MESHHANDLE hMesh, MESHGROUP* grp);
// Indices of the block count from its own first vertex.
OAPIFUNC bool oapiAddMeshGroupBlock(MESHHANDLE hMesh, int grpidx, const NTVERTEX* vtx, int nvtx,
                                    const uint16_t* idx, int nidx);
OAPIFUNC int oapiGetMeshGroup(DEVMESHHANDLE hMesh, int grpidx, GROUPREQUESTSPEC* grs);
OAPIFUNC int oapiMeshTextureCount(MESHHANDLE hMesh);
OAPIFUNC int oapiMeshMaterialCount(MESHHANDLE hMesh);
OAPIFUNC MATERIAL* oapiMeshMaterial(MESHHANDLE hMesh, int idx);
OAPIFUNC int oapiMeshMaterial(DEVMESHHANDLE hMesh, int idx, MATERIAL* mat);
OAPIFUNC int oapiAddMaterial(MESHHANDLE hMesh, MATERIAL* mat);
OAPIFUNC bool oapiDeleteMaterial(MESHHANDLE hMesh, int idx);
OAPIFUNC int oapiSetMaterial(DEVMESHHANDLE hMesh, int matidx, const MATERIAL* mat);
OAPIFUNC bool oapiSetMeshProperty(MESHHANDLE hMesh, int property, int value);
OAPIFUNC bool oapiSetMeshProperty(DEVMESHHANDLE hMesh, int property, int value);
#endif
OAPIFUNC SURFHANDLE oapiRegisterExhaustTexture(OAPI_CSTR name);
OAPIFUNC SURFHANDLE oapiRegisterParticleTexture(OAPI_CSTR name);
OAPIFUNC int oapiCameraMode();
OAPIFUNC int oapiCockpitMode();
OAPIFUNC bool oapiCameraInternal();

// Time and user.
OAPIFUNC double oapiGetSimTime();
OAPIFUNC double oapiGetSimStep();
OAPIFUNC double oapiGetSysTime();
OAPIFUNC double oapiRand();
// The callback is bool cb(void *id, char *str, void *usrdata), called on Enter only; true closes the box.
OAPIFUNC void oapiOpenInputBox(OAPI_CSTR title, bool (*Clbk)(void*, OAPI_CSTR, void*), OAPI_CSTR buf = 0, int vislen = 20,
                               void* usrdata = 0);
// A 256-character line drawn on screen.
OAPIFUNC char* oapiDebugString();

#ifndef _WIN32
// Bodies: orientation (body frame -> global, p_glob = R p_loc + pos; a vessel's too), rotation and axis,
// and the body's equatorial coordinates (lng, lat in rad, rad in m from its centre) of global positions.
OAPIFUNC void oapiGetRotationMatrix(OBJHANDLE hObj, MATRIX3* mat);
#ifndef _WIN32
// Between the global frame and an object's own (a vessel's or a body's).
OAPIFUNC void oapiGlobalToLocal(OBJHANDLE hObj, const VECTOR3* glob, VECTOR3* loc);
OAPIFUNC void oapiLocalToGlobal(OBJHANDLE hObj, const VECTOR3* loc, VECTOR3* glob);
#endif
OAPIFUNC void oapiEquToGlobal(OBJHANDLE hObj, double lng, double lat, double rad, VECTOR3* glob);
OAPIFUNC void oapiGlobalToEqu(OBJHANDLE hObj, const VECTOR3& glob, double* lng, double* lat, double* rad);
OAPIFUNC double oapiGetPlanetPeriod(OBJHANDLE hPlanet);
OAPIFUNC double oapiGetPlanetObliquity(OBJHANDLE hPlanet);
OAPIFUNC double oapiGetPlanetTheta(OBJHANDLE hPlanet);
OAPIFUNC void oapiGetPlanetObliquityMatrix(OBJHANDLE hPlanet, MATRIX3* mat);
OAPIFUNC double oapiGetPlanetCurrentRotation(OBJHANDLE hPlanet);
#endif

#ifndef _WIN32
// The Linux interface's module services, which the SDK's own load hook calls: null when the file cannot load.
typedef void* MODULEHANDLE;
OAPIFUNC MODULEHANDLE oapiModuleLoad(const char* name);
OAPIFUNC void oapiModuleUnload(MODULEHANDLE hModule);
OAPIFUNC void* oapiModuleGetProcAddress(MODULEHANDLE hModule, const char* func);
#endif

#ifndef _WIN32
// ---------------------------------------------------------------------------
// Graphics resources, light emitters, dialogs, MFD modes (the Linux interface)
// ---------------------------------------------------------------------------

namespace oapi {
class Font;
class Pen;
class Brush;
class Sketchpad;
} // namespace oapi

enum FontStyle { FONT_NORMAL = 0, FONT_BOLD = 1, FONT_ITALIC = 2, FONT_UNDERLINE = 4 };

// Textures are files under the root, or under Textures2 and Textures; null when there is none.
OAPIFUNC SURFHANDLE oapiLoadTexture(const char* fname, bool dynamic = false);
OAPIFUNC void oapiReleaseTexture(SURFHANDLE hTex);
OAPIFUNC SURFHANDLE oapiGetTextureHandle(MESHHANDLE hMesh, int texidx); // texidx counts from 1
OAPIFUNC SURFHANDLE oapiCreateTextureSurface(int width, int height);
OAPIFUNC void oapiDestroySurface(SURFHANDLE surf);
OAPIFUNC oapi::Font* oapiCreateFont(int height, bool prop, const char* face, FontStyle style = FONT_NORMAL,
                                    bool antialiased = true);
OAPIFUNC oapi::Font* oapiCreateFont(int height, bool prop, const char* face, FontStyle style, int orientation,
                                    bool antialiased = true);
OAPIFUNC void oapiReleaseFont(oapi::Font* font);
OAPIFUNC oapi::Pen* oapiCreatePen(int style, int width, uint32_t col);
OAPIFUNC void oapiReleasePen(oapi::Pen* pen);
OAPIFUNC oapi::Brush* oapiCreateBrush(uint32_t col);
OAPIFUNC void oapiReleaseBrush(oapi::Brush* brush);
// A drawing context for a surface (null: the screen); given back with oapiReleaseSketchpad.
OAPIFUNC oapi::Sketchpad* oapiGetSketchpad(SURFHANDLE surf, bool antialiased = true);
OAPIFUNC void oapiReleaseSketchpad(oapi::Sketchpad* skp);
// The HUD shown (HUD_NONE, HUD_ORBIT, HUD_SURFACE, HUD_DOCKING); a change tells the focus vessel.
OAPIFUNC bool oapiSetHUDMode(int mode);
OAPIFUNC int oapiGetHUDMode();
// The older form of VESSEL::TriggerRedrawArea.
OAPIFUNC void oapiTriggerRedrawArea(int panel_id, int vc_id, int area_id);
// 0x00RRGGBB, each part as given (the caller keeps them below 256).
OAPIFUNC uint32_t oapiGetColour(uint32_t red, uint32_t green, uint32_t blue);

// What kind of object a handle names (OBJTP_*); OBJTP_INVALID for a vessel that has gone. Its size: a
// vessel's mean radius, a body's radius [m].
OAPIFUNC int oapiGetObjectType(OBJHANDLE hObj);
OAPIFUNC double oapiGetSize(OBJHANDLE hObj);

// A planet's atmospheric constants; null for a body without air.
typedef struct {
    double p0;         // Pa at the mean radius
    double rho0;       // kg/m^3 at the mean radius
    double R;          // J/(K kg), specific gas constant
    double gamma;      // c_p/c_v
    double C;          // exponent of the pressure equation
    double O2pp;       // partial pressure of oxygen
    double altlimit;   // m: the atmosphere's top above the mean radius
    double radlimit;   // m: altlimit plus the mean radius
    double horizonalt; // m: where the horizon is drawn
    VECTOR3 color0;    // the sky's colour at the ground by day
} ATMCONST;
OAPIFUNC const ATMCONST* oapiGetPlanetAtmConstants(OBJHANDLE hPlanet);
// The body a body circles (a planet's sun, a moon's planet); null for the sun.
OAPIFUNC OBJHANDLE oapiGetGbodyParent(OBJHANDLE hBody);

// The stream's level follows *lvl from now on (the pointer must outlive the stream).
OAPIFUNC void oapiParticleSetLevelRef(PSTREAM_HANDLE ph, double* lvl);

// A light a vessel carries. The host keeps the object; position, direction and intensity are either held
// here or read through a pointer the module keeps up to date.
class OAPIFUNC LightEmitter {
  public:
    enum TYPE { LT_NONE, LT_POINT, LT_SPOT, LT_DIRECTIONAL };
    enum VISIBILITY { VIS_EXTERNAL = 1, VIS_COCKPIT = 2, VIS_ALWAYS = 3 };

    LightEmitter(); // white, intensity 1, at the origin, facing +z, inactive
    LightEmitter(COLOUR4 diffuse, COLOUR4 specular, COLOUR4 ambient);

    TYPE GetType() const { return ltype; }
    VISIBILITY GetVisibility() const { return visibility; }
    void SetVisibility(VISIBILITY vis) { visibility = vis; }
    const COLOUR4& GetDiffuseColour() const { return col_diff; }
    const COLOUR4& GetSpecularColour() const { return col_spec; }
    const COLOUR4& GetAmbientColour() const { return col_ambi; }
    void Activate(bool act);
    bool IsActive() const;
    void SetPosition(const VECTOR3& p);
    inline VECTOR3 GetPosition() const { return *pos; }
    void SetPositionRef(const VECTOR3* p);
    const VECTOR3* GetPositionRef() const;
    void ShiftExplicitPosition(const VECTOR3& ofs); // a position given by pointer is the module's to move
    void SetDirection(const VECTOR3& d);
    VECTOR3 GetDirection() const;
    void SetDirectionRef(const VECTOR3* d);
    const VECTOR3* GetDirectionRef() const;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-qualifiers"
#endif
    const OBJHANDLE GetObjectHandle() const {
        return hRef;
    }
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    void SetIntensity(double in);
    double GetIntensity() const;
    void SetIntensityRef(double* pin);
    const double* GetIntensityRef() const;

  protected:
    OBJHANDLE Attach(OBJHANDLE hObj);
    OBJHANDLE Detach();
    // The layout is the host's: modules read these through the inline members above.
    TYPE ltype;
    VISIBILITY visibility;
    OBJHANDLE hRef;
    bool active;
    COLOUR4 col_diff;
    COLOUR4 col_spec;
    COLOUR4 col_ambi;
    const double* intens;
    double lintens;
    const VECTOR3* pos;
    const VECTOR3* dir;
    VECTOR3 lpos;
    VECTOR3 ldir;
};

class OAPIFUNC PointLight : public LightEmitter {
  public:
    PointLight(OBJHANDLE hObj, const VECTOR3& _pos, double _range, double att0, double att1, double att2);
    PointLight(OBJHANDLE hObj, const VECTOR3& _pos, double _range, double att0, double att1, double att2,
               COLOUR4 diffuse, COLOUR4 specular, COLOUR4 ambient);
    double GetRange() const { return range; }
    void SetRange(double _range);
    const double* GetAttenuation() const { return att; }
    void SetAttenuation(double att0, double att1, double att2);

  protected:
    double range; // m
    double att[3];
};

class OAPIFUNC SpotLight : public PointLight {
  public:
    SpotLight(OBJHANDLE hObj, const VECTOR3& _pos, const VECTOR3& _dir, double _range, double att0,
              double att1, double att2, double _umbra, double _penumbra);
    SpotLight(OBJHANDLE hObj, const VECTOR3& _pos, const VECTOR3& _dir, double _range, double att0,
              double att1, double att2, double _umbra, double _penumbra, COLOUR4 diffuse, COLOUR4 specular,
              COLOUR4 ambient);
    double GetUmbra() const { return umbra; }
    double GetPenumbra() const { return penumbra; }
    void SetAperture(double _umbra, double _penumbra);

  protected:
    double umbra, penumbra; // rad
};

// A dialog a module draws while the host shows it.
class OAPIFUNC GUIElement {
  public:
    GUIElement(const std::string& n, const std::string& type) : name(n), type(type) {}
    virtual ~GUIElement() {}
    bool IsVisible() { return show; }
    virtual void Show() = 0;
    const std::string name;
    const std::string type;
    bool show = false;
};
OAPIFUNC void oapiOpenDialog(GUIElement* e);
OAPIFUNC void oapiCloseDialog(GUIElement* e); // a dialog that is not open stays closed

// MFD modes a vessel brings with it.
enum MFD_msg { OAPI_MSG_MFD_CLOSED, OAPI_MSG_MFD_UPDATE, OAPI_MSG_MFD_OPENEDEX };
class ExternMFD;
struct MfdId {
    bool internal;
    union {
        int id;
        ExternMFD* emfd;
    };
    MfdId(int nid) : internal(true), id(nid) {}
    MfdId(ExternMFD* e) : internal(false), emfd(e) {}
    MfdId(const MfdId& m) : internal(m.internal) {
        if (internal)
            id = m.id;
        else
            emfd = m.emfd;
    }
    bool operator==(const MfdId& p) const {
        return internal == p.internal && (internal ? id == p.id : emfd == p.emfd);
    }
};
struct MFDMODESPECEX;
typedef struct {
    int w, h;
    struct MFDMODESPECEX* spec;
} MFDMODEOPENSPEC;
class VESSEL;
typedef struct MFDMODESPECEX {
    const char* name;
    int key;
    void* context;
    void* (*msgproc)(MFD_msg, MfdId, MFDMODEOPENSPEC*, VESSEL*);
} MFDMODESPECEX;
// The mode's number becomes unknown to every MFD until the run ends.
OAPIFUNC void oapiDisableMFDMode(int mode);
#endif

// ---------------------------------------------------------------------------
// Module build stamp
// ---------------------------------------------------------------------------

#ifdef ORBITER_MODULE
// dummy() lives in the host library; the call ties every module to it at link time.
void dummy();
void calldummy() {
    dummy();
}
DLLCLBK char* ModuleDate() {
    return (char*)__DATE__;
}
#endif

#endif // ORBITERAPI_H
