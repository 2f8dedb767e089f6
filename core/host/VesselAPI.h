// The host's vessel interface: VESSEL and the callback classes VESSEL2, VESSEL3 (and VESSEL4) that modules
// derive from.
#ifndef VESSELAPI_H
#define VESSELAPI_H

#include "OrbiterAPI.h"
#include "DrawAPI.h"

#include <algorithm>

class Vessel; // the host's own vessel record

#ifndef _WIN32
// A touchdown point of the later interface: its own spring, damper and friction.
typedef struct {
    VECTOR3 pos;      // vessel frame
    double stiffness; // N/m
    double damping;   // N s/m
    double mu;        // lateral friction (every point)
    double mu_lng;    // longitudinal friction (the first three points)
} TOUCHDOWNVTX;
#endif

// Every method is implemented by the host library; modules only call them.
class OAPIFUNC VESSEL {
  public:
    VESSEL(OBJHANDLE hVessel, int fmodel = 1);
    // No virtual destructor, as in the host's own interface: ovcExit deletes through the module's class.

    // 0 for VESSEL, 1 for VESSEL2, 2 for VESSEL3, 3 for VESSEL4.
    inline int Version() const { return version; }

    // --- Identity ---
    // The const on the returned handles is the host's own; it means nothing and its warning is silenced.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-qualifiers"
#endif
    const OBJHANDLE GetHandle() const;
    char* GetName() const;
    char* GetClassName() const;
    OAPI_DWORD GetFlightStatus() const; // bit 0 landed, bit 1 docked
    const OBJHANDLE GetGravityRef() const;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    void SetEnableFocus(bool enable) const;

    // --- Physical parameters ---
    void SetSize(double size) const;
    double GetSize() const;
    void SetEmptyMass(double m) const;
    double GetEmptyMass() const;
    double GetMass() const;
    void SetPMI(const VECTOR3& pmi) const; // mass-normalised [m^2]
    void SetCrossSections(const VECTOR3& cs) const;
    void SetRotDrag(const VECTOR3& rd) const;
    // Nose, left main and right main contact: their order defines "up".
    void SetTouchdownPoints(const VECTOR3& pt1, const VECTOR3& pt2, const VECTOR3& pt3) const;
#ifndef _WIN32
    // The later form: at least three points, the first three in the order above, any further ones hull points.
    void SetTouchdownPoints(const TOUCHDOWNVTX* tdvtx, int ntdvtx) const;
#endif
    void SetSurfaceFrictionCoeff(double mu_lng, double mu_lat) const;
    void SetMaxWheelbrakeForce(double f) const;
    void SetNosewheelSteering(bool activate) const;
    void SetWheelbrakeLevel(double level, int which = 0,
                            bool permanent = true) const; // which: 0 both, 1 left, 2 right
    double GetWheelbrakeLevel(int which) const; // which: 0 the mean of both, 1 left, 2 right
    double GetCOG_elev() const; // centre of mass above the plane of the first three touchdown points [m]
#ifndef _WIN32
    int GetTouchdownPointCount() const;
    // As the host hands it out: the field mu holds the point's compression per unit weight, mu_lng its mu.
    bool GetTouchdownPoint(TOUCHDOWNVTX& tdvtx, int idx) const;
#endif
    void SetCameraOffset(const VECTOR3& co) const;
    void SetCameraDefaultDirection(const VECTOR3& cd) const;
    void ShiftCentreOfMass(const VECTOR3& shift);

    // --- Docking ---
    void SetDockParams(const VECTOR3& pos, const VECTOR3& dir, const VECTOR3& rot) const; // port 0
    void SetDockParams(DOCKHANDLE dock, const VECTOR3& pos, const VECTOR3& dir, const VECTOR3& rot) const;
    OAPI_UINT DockCount() const;
    DOCKHANDLE GetDockHandle(OAPI_UINT n) const;
    OBJHANDLE GetDockStatus(DOCKHANDLE hDock) const; // NULL if free
    bool Undock(OAPI_UINT n, const OBJHANDLE exclude = 0) const;
#ifndef _WIN32
    // Ports made and removed while the vessel flies. A port in use is released before it goes.
    DOCKHANDLE CreateDock(const VECTOR3& pos, const VECTOR3& dir, const VECTOR3& rot) const;
    bool DelDock(DOCKHANDLE hDock) const;
    void ClearDockDefinitions() const;
    void GetDockParams(DOCKHANDLE hDock, VECTOR3& pos, VECTOR3& dir, VECTOR3& rot) const;
    unsigned int DockingStatus(unsigned int port) const; // 1 engaged, 0 free or no such port
    // 0 docked; 1 own port in use; 2 target's port in use; 3 the target is already part of the structure.
    // mode 1 brings the target to this vessel, 2 this vessel to the target, 0 the target to this vessel with
    // the pair's momentum shared.
    int Dock(OBJHANDLE target, unsigned int n, unsigned int tgtn, unsigned int mode) const;
    void SetDockMode(int mode) const;
    // A port's approach transmitter: switched on at the lowest channel, 20 km range.
    void EnableIDS(DOCKHANDLE hDock, bool bEnable) const;
    bool SetIDSChannel(DOCKHANDLE hDock, int ch) const; // false without a transmitter or off the band
#endif

    // --- Meshes and visuals ---
    OAPI_UINT AddMesh(const char* meshname, const VECTOR3* ofs = 0) const;
    OAPI_UINT AddMesh(MESHHANDLE hMesh, const VECTOR3* ofs = 0) const;
    bool DelMesh(OAPI_UINT idx, bool retain_anim = false) const;
    void ClearMeshes() const; // obsolete
    void ClearMeshes(bool retain_anim) const;
    void SetMeshVisibilityMode(OAPI_UINT idx, OAPI_WORD mode) const;
    // Valid only between clbkVisualCreated and clbkVisualDestroyed.
    DEVMESHHANDLE GetDevMesh(VISHANDLE vis, OAPI_UINT idx) const;
    MESHHANDLE GetMesh(VISHANDLE vis, OAPI_UINT idx) const;
#ifndef _WIN32
    // idx: a place in the vessel's list; a place in use is taken over, one beyond the end makes empty places.
    unsigned int InsertMesh(const char* meshname, unsigned int idx, const VECTOR3* ofs = 0) const;
    unsigned int InsertMesh(MESHHANDLE hMesh, unsigned int idx, const VECTOR3* ofs = 0) const;
    bool ShiftMesh(unsigned int idx, const VECTOR3& ofs) const;
    void ShiftMeshes(const VECTOR3& ofs) const;
    bool GetMeshOffset(unsigned int idx, VECTOR3& ofs) const;
    unsigned int GetMeshCount() const; // places, deleted ones included
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-qualifiers"
#endif
    const MESHHANDLE GetMeshTemplate(unsigned int idx) const; // the handle a mesh was added by, else null
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    const char* GetMeshName(unsigned int idx) const; // the name a mesh was added by, else null
    MESHHANDLE CopyMeshFromTemplate(unsigned int idx) const; // the module's own copy: it deletes it
    uint16_t GetMeshVisibilityMode(unsigned int idx) const;
    void SetMeshVisibleInternal(unsigned int idx, bool visible) const;
    int MeshModified(MESHHANDLE hMesh, unsigned int grp, int modflag);
#endif
    // The host keeps the pointer and reads it every frame.
    void AddBeacon(BEACONLIGHTSPEC* bs);
    bool DelBeacon(BEACONLIGHTSPEC* bs);

#ifndef _WIN32
    // --- Lights, radios, panels and the host's settings ---
    // Lights the vessel carries: the host owns them; a deleted one's pointer is dead.
    LightEmitter* AddPointLight(const VECTOR3& pos, double range, double att0, double att1, double att2,
                                COLOUR4 diffuse, COLOUR4 specular, COLOUR4 ambient) const;
    LightEmitter* AddSpotLight(const VECTOR3& pos, const VECTOR3& dir, double range, double att0, double att1,
                               double att2, double umbra, double penumbra, COLOUR4 diffuse, COLOUR4 specular,
                               COLOUR4 ambient) const;
    int LightEmitterCount() const;
    const LightEmitter* GetLightEmitter(int i) const; // null out of range
    bool DelLightEmitter(LightEmitter* le) const;
    void ClearLightEmitters() const;
    // Navigation receivers: those kept keep their channels, new ones start on channel 0.
    void InitNavRadios(int nnav) const;
    int GetNavCount() const;
    bool SetNavChannel(int n, int ch) const;
    int GetNavChannel(int n) const; // 0 for a receiver the vessel lacks
    // Apparent size below which the vessel (and its spot) is not drawn; spotlimit < 0: the same as vislimit.
    void SetVisibilityLimit(double vislimit, double spotlimit = -1) const;
    void SetAlbedoRGB(const VECTOR3& albedo) const;
    int GetDamageModel() const; // the user's damage setting: 0 none
    PSTREAM_HANDLE AddReentryStream(PARTICLESTREAMSPEC* pss) const;
    // Asks the shown panel or virtual cockpit to redraw an area; nothing when neither is shown.
    void TriggerRedrawArea(int panel_id, int vc_id, int area_id);
    // A thruster's Isp: without a reference pressure it does not change with the outside pressure.
    void SetThrusterIsp(THRUSTER_HANDLE th, double isp) const;
    void SetThrusterIsp(THRUSTER_HANDLE th, double isp0, double isp_ref, double p_ref = 101.4e3) const;
    // A tank's capacity; what it holds is cut down to fit.
    void SetPropellantMaxMass(PROPELLANT_HANDLE ph, double maxmass) const;
#endif

    // --- Propellant ---
    PROPELLANT_HANDLE CreatePropellantResource(double maxmass, double mass = -1.0,
                                               double efficiency = 1.0) const;
    void SetDefaultPropellantResource(PROPELLANT_HANDLE ph) const;
    double GetPropellantMass(PROPELLANT_HANDLE ph) const;
    void SetPropellantMass(PROPELLANT_HANDLE ph, double mass) const;
    double GetPropellantMaxMass(PROPELLANT_HANDLE ph) const;
    OAPI_DWORD GetPropellantCount() const;
    PROPELLANT_HANDLE GetPropellantHandleByIndex(OAPI_DWORD idx) const;
    double GetTotalPropellantMass() const;

    // --- Thrusters ---
    THRUSTER_HANDLE CreateThruster(const VECTOR3& pos, const VECTOR3& dir, double maxth0,
                                   PROPELLANT_HANDLE hp = NULL, double isp0 = 0.0, double isp_ref = 0.0,
                                   double p_ref = 101.4e3) const;
    THGROUP_HANDLE CreateThrusterGroup(THRUSTER_HANDLE* th, int nth, THGROUP_TYPE thgt) const;
    OAPI_DWORD GetThrusterCount() const;
    void SetThrusterDir(THRUSTER_HANDLE th, const VECTOR3& dir) const;
    void SetThrusterRef(THRUSTER_HANDLE th, const VECTOR3& pos) const;
    void SetThrusterMax0(THRUSTER_HANDLE th, double maxth0) const;
    void SetThrusterResource(THRUSTER_HANDLE th, PROPELLANT_HANDLE ph) const;
    double GetThrusterLevel(THRUSTER_HANDLE th) const;
    void SetThrusterLevel(THRUSTER_HANDLE th, double level) const;
    void SetThrusterGroupLevel(THGROUP_TYPE thgt, double level) const;
    void SetThrusterGroupLevel(THGROUP_HANDLE thg, double level) const;
    double GetThrusterGroupLevel(THGROUP_TYPE thgt) const;
    double GetThrusterGroupLevel(THGROUP_HANDLE thg) const;
    double GetMaxThrust(ENGINETYPE eng) const; // the group's summed vacuum maximum [N]
    double GetThrusterMax0(THRUSTER_HANDLE th) const;
    double GetThrusterMax(THRUSTER_HANDLE th) const; // at the outside pressure now
    double GetThrusterMax(THRUSTER_HANDLE th, double p_ref) const;
    bool SetAttitudeMode(int mode) const;
    int GetAttitudeMode() const;
    // dir points the way the exhaust leaves, against the thrust.
    OAPI_UINT AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, SURFHANDLE tex = 0) const;
    OAPI_UINT AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, double lofs, SURFHANDLE tex = 0) const;
    OAPI_UINT AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, const VECTOR3& pos, const VECTOR3& dir,
                    SURFHANDLE tex = 0) const;
    OAPI_UINT AddExhaust(EXHAUSTSPEC* spec);
    PSTREAM_HANDLE AddExhaustStream(THRUSTER_HANDLE th, PARTICLESTREAMSPEC* pss = 0) const;
    PSTREAM_HANDLE AddExhaustStream(THRUSTER_HANDLE th, const VECTOR3& pos,
                                    PARTICLESTREAMSPEC* pss = 0) const;

    // --- Aerodynamics ---
    AIRFOILHANDLE CreateAirfoil3(AIRFOIL_ORIENTATION align, const VECTOR3& ref, AirfoilCoeffFuncEx cf,
                                 void* context, double c, double S, double A) const;
    CTRLSURFHANDLE CreateControlSurface3(AIRCTRL_TYPE type, double area, double dCl, const VECTOR3& ref,
                                         int axis = AIRCTRL_AXIS_AUTO, double delay = 1.0,
                                         OAPI_UINT anim = (OAPI_UINT)-1) const;
    // The second form: a delay of 1 s.
    CTRLSURFHANDLE CreateControlSurface2(AIRCTRL_TYPE type, double area, double dCl, const VECTOR3& ref,
                                         int axis = AIRCTRL_AXIS_AUTO, OAPI_UINT anim = (OAPI_UINT)-1) const;
#ifndef _WIN32
    // The first form: no handle back, a delay of 1 s.
    void CreateControlSurface(AIRCTRL_TYPE type, double area, double dCl, const VECTOR3& ref,
                              int axis = AIRCTRL_AXIS_AUTO, unsigned int anim = (unsigned int)-1) const;
#endif
    double GetControlSurfaceLevel(AIRCTRL_TYPE type) const;
    // The level of each kind follows this setting plus the pilot's at 1/delay per second; -1..1.
    void SetControlSurfaceLevel(AIRCTRL_TYPE type, double level) const;
#ifndef _WIN32
    // direct: every kind jumps to its level on the next step.
    void SetControlSurfaceLevel(AIRCTRL_TYPE type, double level, bool direct) const;
#endif
    // Drag coefficients of a vessel without airfoils: forward, backward, sideways, vertical flow.
    void SetCW(double cw_z_pos, double cw_z_neg, double cw_x, double cw_y) const;
#ifndef _WIN32
    int GetFlightModel() const; // the host's setting (1, realistic), whatever ovcInit was given
#endif
    void GetCW(double& cw_z_pos, double& cw_z_neg, double& cw_x, double& cw_y) const;
    void SetADCtrlMode(OAPI_DWORD mode) const; // bit mask: 1 elevator, 2 rudder, 4 ailerons
    OAPI_DWORD GetADCtrlMode() const;
    double GetAtmPressure() const; // [Pa]; 0 outside atmospheres
    double GetAltitude() const;
    double GetAirspeed() const;
    double GetAOA() const;
    double GetMachNumber() const;
    bool GetHorizonAirspeedVector(VECTOR3& out) const;
    // The surface readouts: a vessel attached to another reports those of the root of its tree. Airspeed is
    // taken against the body's surface; in a frame of the body (REFLOCAL) as in the global one here.
    double GetAtmDensity() const;     // [kg/m^3]; 0 outside atmospheres
    double GetAtmTemperature() const; // [K]; 0 outside atmospheres
    double GetDynPressure() const;    // [Pa]; 0 outside atmospheres
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-qualifiers"
#endif
    const OBJHANDLE GetSurfaceRef() const;
    const OBJHANDLE GetAtmRef() const; // NULL outside atmospheres
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    OBJHANDLE GetEquPos(double& longitude, double& latitude, double& radius) const; // [rad], [m] from the centre
    double GetGroundspeed() const;
    bool GetShipAirspeedVector(VECTOR3& out) const; // vessel frame
    double GetSlipAngle() const;                  // [rad]
    double GetPitch() const;                      // [rad] the nose above the horizon
    double GetBank() const;                       // [rad] the right wing above the horizon
#ifndef _WIN32
    bool GetGroundspeedVector(REFFRAME frame, VECTOR3& out) const;
    bool GetAirspeedVector(REFFRAME frame, VECTOR3& out) const;
    double GetYaw() const; // [rad] heading 0..2pi
    double GetAltitude(AltitudeMode mode, int* reslvl = 0);
    double GetSurfaceElevation() const;
    VECTOR3 GetSurfaceNormal() const; // local horizon frame
#endif
    // The last step's loads: lift of the vertical airfoils, drag of every airfoil (or of the cross sections
    // without airfoils); 0 while landed. Vectors in the vessel frame; false when there is none.
    double GetLift() const;
    double GetDrag() const;
    bool GetLiftVector(VECTOR3& L) const;
    bool GetDragVector(VECTOR3& D) const;
    bool GetThrustVector(VECTOR3& T) const;
    bool GetForceVector(VECTOR3& F) const; // every force with gravity
    bool GetWeightVector(VECTOR3& G) const; // vessel frame [N]
    bool GroundContact() const;
    // Vessel frame; lasts one step.
    void AddForce(const VECTOR3& F, const VECTOR3& r) const;

#ifndef _WIN32
    // The older airfoil forms: the coefficients without the vessel and a context.
    void CreateAirfoil(AIRFOIL_ORIENTATION align, const VECTOR3& ref, AirfoilCoeffFunc cf, double c, double S,
                       double A) const;
    AIRFOILHANDLE CreateAirfoil2(AIRFOIL_ORIENTATION align, const VECTOR3& ref, AirfoilCoeffFunc cf, double c,
                                 double S, double A) const;
    void ClearAirfoilDefinitions() const;
    // Drag of *drag times factor times the dynamic pressure at ref, read every step (with airfoils only).
    void CreateVariableDragElement(double* drag, double factor, const VECTOR3& ref) const;
    void CreateVariableDragElement(const double* drag, double factor, const VECTOR3& ref) const;
    void ClearVariableDragElements() const;
    // The older flight model (no airfoils): the lift coefficient of the angle of attack, the moments that turn
    // the nose into the flow and the elevator trim's share of the angle.
    void SetLiftCoeffFunc(LiftCoeffFunc lcf) const;
    double GetPitchMomentScale() const;
    void SetPitchMomentScale(double scale) const;
    double GetYawMomentScale() const;
    void SetYawMomentScale(double scale) const;
    double GetBankMomentScale() const;
    void SetBankMomentScale(double scale) const;
    double GetTrimScale() const;
    void SetTrimScale(double scale) const;
    double GetWingAspect() const;
    void SetWingAspect(double aspect) const;
    double GetWingEffectiveness() const;
    void SetWingEffectiveness(double eff) const;
    void SetCOG_elev(double h) const;
    // No gravity-gradient torque in the host's default configuration: the damping is 0 and cannot be set.
    double GetGravityGradientDamping() const;
    bool SetGravityGradientDamping(double damp) const;
    // Removing what the class set up.
    void ClearPropellantResources() const;
    void DelPropellantResource(PROPELLANT_HANDLE& ph) const;
    bool DelThruster(THRUSTER_HANDLE& th) const;
    void ClearThrusterDefinitions() const;
    bool DelThrusterGroup(THGROUP_HANDLE thg, bool delth = false) const;
    bool DelThrusterGroup(THGROUP_TYPE thgt, bool delth = false) const;
    bool DelThrusterGroup(THGROUP_HANDLE& thg, THGROUP_TYPE thgt, bool delth = false) const;
    void ClearExhaustRefs(void) const;
    void ClearAttExhaustRefs(void) const;
    int GetGroupThrusterCount(THGROUP_HANDLE thg) const;
    int GetGroupThrusterCount(THGROUP_TYPE thgt) const;
    THRUSTER_HANDLE GetGroupThruster(THGROUP_HANDLE thg, int idx) const;
    THRUSTER_HANDLE GetGroupThruster(THGROUP_TYPE thgt, int idx) const;
    // The Isp of thrusters made without one.
    double GetISP() const;
    void SetISP(double isp) const;
    // The older engine interface on the main, retro and hover groups.
    void SetMaxThrust(ENGINETYPE eng, double th) const;
    double GetEngineLevel(ENGINETYPE eng) const;
    void SetEngineLevel(ENGINETYPE eng, double level) const;
    // What the pilot's keys or stick ask of a thruster group; 0 without a pilot.
    double GetManualControlLevel(THGROUP_TYPE thgt, int mode = MANCTRL_ATTMODE,
                                 int device = MANCTRL_ANYDEVICE) const;
    void EnableTransponder(bool enable) const;
    // Between the vessel's frame and its local horizon (x east, y up, z north).
    void HorizonRot(const VECTOR3& rloc, VECTOR3& rhorizon) const;
    void HorizonInvRot(const VECTOR3& rhorizon, VECTOR3& rloc) const;
#endif

    // --- Attachments ---
    // id at most 8 characters.
    ATTACHMENTHANDLE CreateAttachment(bool toparent, const VECTOR3& pos, const VECTOR3& dir,
                                      const VECTOR3& rot, const char* id, bool loose = false) const;
    bool AttachChild(OBJHANDLE child, ATTACHMENTHANDLE attachment, ATTACHMENTHANDLE child_attachment) const;
    bool DetachChild(ATTACHMENTHANDLE attachment, double vel = 0.0) const; // vel: separation speed [m/s]
    OAPI_DWORD AttachmentCount(bool toparent) const;
    ATTACHMENTHANDLE GetAttachmentHandle(bool toparent, OAPI_DWORD i) const;
    const char* GetAttachmentId(ATTACHMENTHANDLE attachment) const;
    void GetAttachmentParams(ATTACHMENTHANDLE attachment, VECTOR3& pos, VECTOR3& dir, VECTOR3& rot) const;
    void SetAttachmentParams(ATTACHMENTHANDLE attachment, const VECTOR3& pos, const VECTOR3& dir,
                             const VECTOR3& rot) const;
    OBJHANDLE GetAttachmentStatus(ATTACHMENTHANDLE attachment) const; // NULL if free

    // --- Animations ---
    OAPI_UINT CreateAnimation(double initial_state) const;
    ANIMATIONCOMPONENT_HANDLE AddAnimationComponent(OAPI_UINT anim, double state0, double state1,
                                                    MGROUP_TRANSFORM* trans,
                                                    ANIMATIONCOMPONENT_HANDLE parent = NULL) const;
    bool SetAnimation(OAPI_UINT anim, double state) const;

    // --- State vectors ---
    void GetStatus(VESSELSTATUS& status) const;
    // status is a VESSELSTATUS2 with version 2; a NULL list pointer asked for by a *LIST bit is allocated by
    // the host and deleted by the caller.
    void GetStatusEx(void* status) const;
    void DefSetState(const VESSELSTATUS* status) const; // legacy
    void DefSetStateEx(const void* status) const;
    void GetGlobalPos(VECTOR3& pos) const;
    void GetGlobalVel(VECTOR3& vel) const;
    void GetRelativePos(OBJHANDLE hRef, VECTOR3& pos) const; // ecliptic frame
    void GetRelativeVel(OBJHANDLE hRef, VECTOR3& vel) const;
    void GetAngularVel(VECTOR3& avel) const; // vessel frame [rad/s]
    void SetAngularVel(const VECTOR3& avel) const;
    // global = R * local + pos
    void GetRotationMatrix(MATRIX3& R) const;
    void SetRotationMatrix(const MATRIX3& R) const;
    void Global2Local(const VECTOR3& global, VECTOR3& local) const;
    void Local2Global(const VECTOR3& local, VECTOR3& global) const;
    void Local2Rel(const VECTOR3& local, VECTOR3& rel) const;
    void GlobalRot(const VECTOR3& rloc, VECTOR3& rglob) const;

    // --- Scenario ---
    void SaveDefaultState(FILEHANDLE scn) const;
    void ParseScenarioLineEx(char* line, void* status) const; // unknown lines are ignored
    bool Playback() const;
    bool Recording() const;

  protected:
    Vessel* vessel;
    short flightmodel;
    short version;
};

// Callback interface. The virtuals below form the vtable the host calls: their order must never change.
class OAPIFUNC VESSEL2 : public VESSEL {
  public:
    VESSEL2(OBJHANDLE hVessel, int fmodel = 1);

    // The host's defaults do nothing, or return false / 0, unless noted.

    virtual void clbkSetClassCaps(FILEHANDLE cfg); // nothing; the host then applies the generic cfg items
    virtual void clbkSaveState(FILEHANDLE scn);    // writes the standard scenario lines
    virtual void clbkLoadStateEx(FILEHANDLE scn, void* status); // parses the standard lines up to END
    virtual void clbkSetStateEx(const void* status);            // DefSetStateEx
    virtual void clbkPostCreation();
    virtual void clbkFocusChanged(bool getfocus, OBJHANDLE hNewVessel, OBJHANDLE hOldVessel);
    virtual void clbkPreStep(double simt, double simdt, double mjd);
    virtual void clbkPostStep(double simt, double simdt, double mjd);
    virtual bool clbkPlaybackEvent(double simt, double event_t, const char* event_type, const char* event);
    virtual void clbkVisualCreated(VISHANDLE vis, int refcount);
    virtual void clbkVisualDestroyed(VISHANDLE vis, int refcount);
#ifdef _WIN32
    virtual void clbkDrawHUD(int mode, const HUDPAINTSPEC* hps, HDC hDC); // the standard HUD
#else
    // Draws the standard HUD and returns true.
    virtual bool clbkDrawHUD(int mode, const HUDPAINTSPEC* hps, oapi::Sketchpad* skp);
#endif
    virtual void clbkRCSMode(int mode);
    virtual void clbkADCtrlMode(OAPI_DWORD mode);
    virtual void clbkHUDMode(int mode);
    virtual void clbkMFDMode(int mfd, int mode);
    virtual void clbkNavMode(int mode, bool active);
    virtual void clbkDockEvent(int dock, OBJHANDLE mate);
    virtual void clbkAnimate(double simt);
    virtual int clbkConsumeDirectKey(char* kstate); // every step; nonzero skips the host's own key handling
    virtual int clbkConsumeBufferedKey(OAPI_DWORD key, bool down, char* kstate); // per key event; 1 swallows it
    virtual bool clbkLoadGenericCockpit();                                  // camera looks along +z; true
    virtual bool clbkLoadPanel(int id);
    virtual bool clbkPanelMouseEvent(int id, int event, int mx, int my);
    virtual bool clbkPanelRedrawEvent(int id, int event, SURFHANDLE surf);
    virtual bool clbkLoadVC(int id);
    virtual bool clbkVCMouseEvent(int id, int event, VECTOR3& p);
    virtual bool clbkVCRedrawEvent(int id, int event, SURFHANDLE surf);
};

class OAPIFUNC VESSEL3 : public VESSEL2 {
  public:
    VESSEL3(OBJHANDLE hVessel, int fmodel = 1);

    // Panel helpers.
    bool SetPanelBackground(PANELHANDLE hPanel, SURFHANDLE* hSurf, OAPI_DWORD nsurf, MESHHANDLE hMesh, OAPI_DWORD width,
                            OAPI_DWORD height, OAPI_DWORD baseline = 0, OAPI_DWORD scrollflag = 0);
    bool SetPanelScaling(PANELHANDLE hPanel, double defscale, double extscale);
    int RegisterPanelMFDGeometry(PANELHANDLE hPanel, int MFD_id, int nmesh, int ngroup);
    int RegisterPanelArea(PANELHANDLE hPanel, int id, const RECT& pos, int draw_event, int mouse_event,
                          SURFHANDLE surf = NULL, void* context = NULL);
    int RegisterPanelArea(PANELHANDLE hPanel, int id, const RECT& pos, const RECT& texpos, int draw_event,
                          int mouse_event, int bkmode, void* context = NULL);

#ifdef _WIN32
    // Both HUD forms stay callable on a VESSEL3; the Sketchpad form below is the one the host tries first.
    using VESSEL2::clbkDrawHUD;
#endif
    using VESSEL2::clbkPanelMouseEvent;
    using VESSEL2::clbkPanelRedrawEvent;

    virtual bool clbkPanelMouseEvent(int id, int event, int mx, int my, void* context);
    virtual bool clbkPanelRedrawEvent(int id, int event, SURFHANDLE surf, void* context);
    virtual int clbkGeneric(int msgid = 0, int prm = 0, void* context = NULL);
    virtual bool clbkLoadPanel2D(int id, PANELHANDLE hPanel, OAPI_DWORD viewW, OAPI_DWORD viewH);
#ifdef _WIN32
    // The default draws the standard HUD and returns true; returning false makes the host try the HDC form.
    virtual bool clbkDrawHUD(int mode, const HUDPAINTSPEC* hps, oapi::Sketchpad* skp);
#endif
    virtual void clbkRenderHUD(int mode, const HUDPAINTSPEC* hps, SURFHANDLE hDefaultTex); // the standard HUD
    virtual void clbkGetRadiationForce(const VECTOR3& mflux, VECTOR3& F, VECTOR3& pos);    // a simple model
};

#ifndef _WIN32
// The callbacks added after the 2010 release; a module of this SDK may derive from it.
class OAPIFUNC VESSEL4 : public VESSEL3 {
  public:
    VESSEL4(OBJHANDLE hVessel, int fmodel = 1);
    // Asked before the host runs its navigation modes; the modes it returns are the ones run. All, by default.
    virtual int clbkNavProcess(int mode);
    // MFD modes the vessel brings: numbered from 1000 in order of registration, known while it has the focus.
    int RegisterMFDMode(const MFDMODESPECEX& spec);
    bool UnregisterMFDMode(int mode);
};
#endif

#ifndef _WIN32
// A door's or a gear's movement, as modules keep it and write it to their scenario lines.
class AnimState {
  public:
    enum Action { STOPPED, CLOSED, OPEN, CLOSING, OPENING } action;
    double pos;
    void Set(Action a, double p) { action = a, pos = p; }
    bool Move(double dp) {
        if (!Moving()) return false;
        if (Closing()) {
            if ((pos = std::max(0.0, pos - dp)) == 0.0) action = CLOSED;
        } else {
            if ((pos = std::min(1.0, pos + dp)) == 1.0) action = OPEN;
        }
        return true;
    }
    bool Moving() const { return action >= CLOSING; }
    bool Static() const { return action < CLOSING; }
    bool Stopped() const { return action == STOPPED; }
    bool Closed() const { return action == CLOSED; }
    bool Open() const { return action == OPEN; }
    bool Closing() const { return action == CLOSING; }
    bool Opening() const { return action == OPENING; }
    friend OAPIFUNC void WriteScenario_state(FILEHANDLE f, const char* tag, const AnimState& s);
    friend OAPIFUNC void sscan_state(char* str, AnimState& s);
};
// "action-1 pos", the action counted from CLOSED.
OAPIFUNC void WriteScenario_state(FILEHANDLE f, const char* tag, const AnimState& s);
OAPIFUNC void sscan_state(char* str, AnimState& s);
#endif

#endif // VESSELAPI_H
