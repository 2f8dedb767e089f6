// TestVessel: a small vessel module for the host's own tests; it reports every callback to the timeline.
#define ORBITER_MODULE
#include "Orbitersdk.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

// The stand-in host's timeline (hostsim exports it); a real host has none, so this module is for tests only.
extern "C" void hostsimTimeline(const char* line);

namespace {

constexpr double TANK_MASS = 1000.0; // kg
constexpr double MAIN_THRUST = 2e4;  // N
constexpr double ISP = 3e4;          // m/s

void Log(const char* fmt, const char* name, const char* detail = "") {
    char line[320];
    snprintf(line, sizeof line, fmt, name, detail);
    hostsimTimeline(line);
}

// Groups 0 and 1 exist in the test mesh; the bad component names group 7.
UINT GOOD_GROUPS[1] = {1};
UINT BAD_GROUPS[1] = {7};
MGROUP_ROTATE GOOD_ROTATE(0, GOOD_GROUPS, 1, {{0, 0, 0}}, {{1, 0, 0}}, (float)(90.0 * RAD));
MGROUP_ROTATE BAD_ROTATE(0, BAD_GROUPS, 1, {{0, 0, 0}}, {{1, 0, 0}}, (float)(90.0 * RAD));

bool InputAnswer(void* id, const char* str, void* usrdata);

// Calls the host function whose symbol $TV_HOST_CALL names, twice, as a module built for the real host would
// call one hostsim may not model. Its arguments are not given: only a stand-in that reads none may be named.
void CallNamedHostFunction() {
    const char* sym = getenv("TV_HOST_CALL");
    void* f = sym ? dlsym(RTLD_DEFAULT, sym) : nullptr;
    if (!f) return;
    reinterpret_cast<void (*)()>(f)();
    reinterpret_cast<void (*)()>(f)();
}

class TestVessel final : public VESSEL3 {
  public:
    // What the host has given the vessel before its module sets anything.
    TestVessel(OBJHANDLE h, int fmodel) : VESSEL3(h, fmodel) {
        Log("tv: ovcInit %s", GetName());
        char found[64];
        snprintf(found, sizeof found, "mass %g size %g", GetEmptyMass(), GetSize());
        Log("tv: at construction %s: %s", GetName(), found);
    }
    ~TestVessel() { Log("tv: ovcExit %s", GetName()); }

    void clbkSetClassCaps(FILEHANDLE cfg) override {
        char item[256] = {};
        if (oapiReadItem_string(cfg, (char*)"TestItem", item)) Log("tv: class item %s = %s", GetName(), item);
        SetSize(5.0);
        SetEmptyMass(500.0);
        // Its own shape, so its flights do not lean on the host's defaults for a 10 m, 1 t vessel.
        SetPMI(_V(1, 1, 1));
        SetCrossSections(_V(1, 1, 1));
        tank = CreatePropellantResource(TANK_MASS);
        main = CreateThruster(_V(0, 0, -2), _V(0, 0, 1), MAIN_THRUST, tank, ISP);
        CreateThrusterGroup(&main, 1, THGROUP_MAIN);
        hover = CreateThruster(_V(0, -1, 0), _V(0, 1, 0), MAIN_THRUST, tank, ISP);
        CreateThrusterGroup(&hover, 1, THGROUP_HOVER);
        SetTouchdownPoints(_V(0, -1, 2), _V(-1, -1, -1), _V(1, -1, -1));
        toParent = CreateAttachment(true, _V(0, 1, 0), _V(0, 1, 0), _V(0, 0, 1), "APR");
        toChild = CreateAttachment(false, _V(0, -1, 0), _V(0, -1, 0), _V(0, 0, 1), "GUN-LONG-ID");
        SetDockParams(_V(0, 0, 3), _V(0, 0, 1), _V(0, 1, 0));
        AddMesh("Test\\TestMesh");
        anim = CreateAnimation(0.0);
        AddAnimationComponent(anim, 0.0, 1.0, &GOOD_ROTATE);
        badAnim = CreateAnimation(0.0);
        AddAnimationComponent(badAnim, 0.0, 1.0, &BAD_ROTATE);
        Log("tv: clbkSetClassCaps %s", GetName());
    }

    void clbkLoadStateEx(FILEHANDLE scn, void* status) override {
        char* line;
        while (oapiReadScenario_nextline(scn, line)) {
            if (!strncasecmp(line, "COUNTER", 7)) {
                sscanf(line + 7, "%d", &counter);
                Log("tv: own line %s: %s", GetName(), line);
            } else {
                ParseScenarioLineEx(line, status);
            }
        }
        Log("tv: clbkLoadStateEx %s", GetName());
    }

    void clbkSaveState(FILEHANDLE scn) override {
        VESSEL3::clbkSaveState(scn);
        char value[32];
        snprintf(value, sizeof value, "%d", counter);
        oapiWriteScenario_string(scn, (char*)"COUNTER", value);
    }

    void clbkSetStateEx(const void* status) override {
        DefSetStateEx(status);
        Log("tv: clbkSetStateEx %s", GetName());
    }

    void clbkPostCreation() override { Log("tv: clbkPostCreation %s", GetName()); }
    void clbkHUDMode(int mode) override {
        char m[16];
        snprintf(m, sizeof m, "%d", mode);
        Log("tv: clbkHUDMode %s %s", GetName(), m);
    }
    void clbkDockEvent(int dock, OBJHANDLE mate) override {
        char detail[96];
        snprintf(detail, sizeof detail, "%d %s", dock, mate ? oapiGetVesselInterface(mate)->GetName() : "free");
        Log("tv: dock event %s port %s", GetName(), detail);
    }

    void clbkFocusChanged(bool getfocus, OBJHANDLE, OBJHANDLE) override {
        Log("tv: focus %s %s", GetName(), getfocus ? "gained" : "lost");
    }

    void clbkPreStep(double simt, double, double) override {
        if (pushOthers) PushOthers();
        if (preSteps++ == 0) {
            char t[32];
            snprintf(t, sizeof t, "%.3f", simt);
            Log("tv: first prestep %s at %s", GetName(), t);
        }
    }

    void clbkPostStep(double, double, double) override { ++postSteps; }

    void clbkVisualCreated(VISHANDLE vis, int) override {
        visual = vis;
        Log("tv: visual created %s", GetName());
    }

    void clbkVisualDestroyed(VISHANDLE, int) override {
        visual = nullptr;
        Log("tv: visual destroyed %s", GetName());
    }

    int clbkConsumeDirectKey(char* kstate) override {
        if (KEYDOWN(kstate, OAPI_KEY_H)) {
            ++heldFrames;
            RESETKEY(kstate, OAPI_KEY_H); // the copy is ours to change
        }
        return 0;
    }

    int clbkConsumeBufferedKey(int key, bool down, char* kstate) override {
        char detail[64];
        snprintf(detail, sizeof detail, "%u %s%s%s%s", (unsigned)key, down ? "down" : "up",
                 KEYMOD_SHIFT(kstate) ? " shift" : "", KEYMOD_CONTROL(kstate) ? " ctrl" : "",
                 KEYMOD_ALT(kstate) ? " alt" : "");
        Log("tv: key %s %s", GetName(), detail);
        if (!down) return 0;
        if (key == OAPI_KEY_T) { // a tag line above the others, switched on and off; not counted as a key
            tag = !tag;
            return 1;
        }
        ++keys;
        switch (key) {
        case OAPI_KEY_D: oapiDeleteVessel(GetHandle()); return 1;
        case OAPI_KEY_C: SpawnChild(); return 1;
        case OAPI_KEY_I:
            oapiOpenInputBox((char*)"Name?", InputAnswer, nullptr, 20, this);
            return 1;
        case OAPI_KEY_M: Misbehave(); return 1;
        case OAPI_KEY_X: EditMesh(); return 1;
        case OAPI_KEY_B: SetAnimation(badAnim, 0.5); return 1;
        case OAPI_KEY_A: SetAnimation(anim, 0.5); return 1;
        case OAPI_KEY_G: snprintf(oapiDebugString(), 256, "tv debug %d", keys); return 1;
        case OAPI_KEY_P: pushOthers = true; return 1;
        case OAPI_KEY_U: CallNamedHostFunction(); return 1;
        default: return 0;
        }
    }

    bool clbkDrawHUD(int, const HUDPAINTSPEC* hps, oapi::Sketchpad* skp) override {
        char line[64];
        if (tag) skp->Text(10, 4, "[TAG]", 5);
        int n = snprintf(line, sizeof line, "TV %s keys %d", GetName(), keys);
        skp->Text(10, 20, line, n);
        n = snprintf(line, sizeof line, "held %d", heldFrames);
        skp->Text(10, 20 + hps->Markersize, line, n);
        return true;
    }

    void Answer(const char* text) { Log("tv: answer %s: %s", GetName(), text); }

    int counter = 0;
    int preSteps = 0, postSteps = 0, keys = 0, heldFrames = 0;
    bool tag = false;
    bool pushOthers = false; // in the next step, as a projectile strikes
    VISHANDLE visual = nullptr;

  private:
    // 3-4-0 N along each other vessel's own axes: 5000 N.
    void PushOthers() {
        pushOthers = false;
        for (int i = 0; i < oapiGetVesselCount(); ++i) {
            OBJHANDLE h = oapiGetVesselByIndex(i);
            if (h != GetHandle()) oapiGetVesselInterface(h)->AddForce(_V(3000, 4000, 0), _V(0, 0, 0));
        }
    }

    void SpawnChild() {
        VESSELSTATUS2 st;
        memset(&st, 0, sizeof st);
        st.version = 2;
        GetStatusEx(&st);
        char name[64];
        snprintf(name, sizeof name, "%s-child", GetName());
        oapiCreateVesselEx(name, "Test\\TestVessel", &st);
    }

    // Handles that are not this vessel's: each is counted by the host, none may crash it.
    void Misbehave() {
        static int fake = 0;
        GetThrusterLevel(&fake);
        SetAnimation(99, 1.0);
        GetAttachmentHandle(true, 5);
        oapiGetVesselInterface(reinterpret_cast<OBJHANDLE>(&fake));
    }

    void EditMesh() {
        DEVMESHHANDLE dm = GetDevMesh(visual, 0);
        if (!dm) {
            Log("tv: no device mesh %s%s", GetName());
            return;
        }
        GROUPEDITSPEC ges;
        memset(&ges, 0, sizeof ges);
        ges.flags = GRPEDIT_ADDUSERFLAG;
        ges.UsrFlag = 4;
        oapiEditMeshGroup(dm, 1, &ges);
        oapiEditMeshGroup(dm, 9, &ges); // the mesh has three groups
    }

    PROPELLANT_HANDLE tank = nullptr;
    THRUSTER_HANDLE main = nullptr, hover = nullptr;
    ATTACHMENTHANDLE toParent = nullptr, toChild = nullptr;
    UINT anim = 0, badAnim = 0;
};

bool InputAnswer(void*, const char* str, void* usrdata) {
    static_cast<TestVessel*>(usrdata)->Answer(str);
    return strcmp(str, "again") != 0; // "again" keeps the box open
}

} // namespace

// The module's own start and end, with a drawing tool it holds in between, as the host's stock modules do.
oapi::Pen* modulePen = nullptr;

DLLCLBK void InitModule(MODULEHANDLE) {
    modulePen = oapiCreatePen(1, 1, 0xffffff);
    hostsimTimeline("tv: InitModule");
}

DLLCLBK void ExitModule(MODULEHANDLE) {
    oapiReleasePen(modulePen);
    hostsimTimeline("tv: ExitModule");
}

namespace {

// The load hook of the real host's SDK: the module looks itself up through the host, starts itself, and ends
// itself when it is unloaded.
void (*moduleExit)(MODULEHANDLE) = nullptr;
MODULEHANDLE moduleSelf = nullptr;

__attribute__((constructor)) void LoadHook() {
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&LoadHook), &info)) return;
    moduleSelf = oapiModuleLoad(info.dli_fname);
    if (!moduleSelf) return;
    if (auto init =
            reinterpret_cast<void (*)(MODULEHANDLE)>(oapiModuleGetProcAddress(moduleSelf, "InitModule")))
        init(moduleSelf);
    moduleExit = reinterpret_cast<void (*)(MODULEHANDLE)>(oapiModuleGetProcAddress(moduleSelf, "ExitModule"));
    oapiModuleUnload(moduleSelf);
}

__attribute__((destructor)) void UnloadHook() {
    if (moduleExit) moduleExit(moduleSelf);
}

} // namespace

DLLCLBK VESSEL* ovcInit(OBJHANDLE hvessel, int flightmodel) { return new TestVessel(hvessel, flightmodel); }

DLLCLBK void ovcExit(VESSEL* vessel) { delete static_cast<TestVessel*>(vessel); }
