// What a vessel module gets for its cockpit and its looks: graphics resources it holds and gives back,
// lights, MFD modes, receivers and docking-approach transmitters, the HUD mode, and the host's answers about
// objects.
#include "scenario_blocks.h"
#include "tv_world.h"

#include <cmath>

namespace hs::test {
namespace {

// --- Graphics resources ---

class GraphicsResources : public HostFixture {};

TEST_F(GraphicsResources, TextureIsFoundAsNamedOrInTheTextureFoldersAndNowhereElse) {
    root.Write("Textures/Probe/skin.dds", "DDS ");
    root.Write("Textures2/Probe/fine.dds", "DDS ");
    root.Write("Bitmaps/Probe/label.bmp", "BM");
    EXPECT_NE(oapiLoadTexture("Probe/skin.dds"), nullptr);
    EXPECT_NE(oapiLoadTexture("Probe\\skin.dds"), nullptr);
    EXPECT_NE(oapiLoadTexture("Probe/fine.dds"), nullptr);
    EXPECT_NE(oapiLoadTexture("Bitmaps/Probe/label.bmp"), nullptr);
    EXPECT_EQ(oapiLoadTexture("Probe/none.dds"), nullptr);
    EXPECT_EQ(oapiLoadTexture("Probe"), nullptr); // a folder is no texture
    EXPECT_EQ(oapiLoadTexture("../Textures/Probe/skin.dds"), nullptr);
    // Each load is a texture of its own, released on its own.
    SURFHANDLE a = oapiLoadTexture("Probe/skin.dds"), b = oapiLoadTexture("Probe/skin.dds");
    ASSERT_NE(a, b);
    oapiReleaseTexture(a);
    oapiReleaseTexture(b);
}

TEST_F(GraphicsResources, EveryResourceIsGivenBackOnceAndAnythingElseIsMisuse) {
    root.Write("Textures/Probe/skin.dds", "DDS ");
    SURFHANDLE tex = oapiLoadTexture("Probe/skin.dds");
    SURFHANDLE surf = oapiCreateTextureSurface(256, 128);
    oapi::Font* font = oapiCreateFont(38, true, "Sans", FONT_BOLD);
    oapi::Pen* pen = oapiCreatePen(1, 3, 0xa4a4a4);
    oapi::Brush* brush = oapiCreateBrush(0x123456);
    ASSERT_TRUE(tex && surf && font && pen && brush);
    // Textures and surfaces are given back through either call.
    oapiDestroySurface(tex);
    oapiReleaseTexture(surf);
    oapiReleaseFont(font);
    oapiReleasePen(pen);
    oapiReleaseBrush(brush);
    EXPECT_EQ(Sim().MisuseCount(), 0);
    oapiDestroySurface(tex);
    oapiReleaseTexture(surf);
    oapiReleaseFont(font);
    oapiReleasePen(pen);
    oapiReleaseBrush(brush);
    EXPECT_EQ(Sim().MisuseCount(), 5);
    expectedMisuse = 5;
}

TEST_F(GraphicsResources, ToolOfOneKindIsNotTakenBackAsAnother) {
    oapi::Font* font = oapiCreateFont(12, false, "Mono", FONT_NORMAL, 900);
    oapiReleasePen(reinterpret_cast<oapi::Pen*>(font));
    oapiDestroySurface(reinterpret_cast<SURFHANDLE>(font));
    EXPECT_EQ(Sim().MisuseCount(), 2);
    oapiReleaseFont(font); // still the module's to give back
    EXPECT_EQ(Sim().MisuseCount(), 2);
    expectedMisuse = 2;
}

TEST_F(GraphicsResources, NullTextureIsIgnoredButANullSurfaceIsMisuse) {
    oapiReleaseTexture(nullptr);
    EXPECT_EQ(Sim().MisuseCount(), 0);
    oapiDestroySurface(nullptr);
    EXPECT_EQ(Sim().MisuseCount(), 1);
    expectedMisuse = 1;
}

// The host loads a mesh's textures with it: a texture whose file is there has one handle, whichever mesh names
// it; one whose file is missing, or an index beyond the list, has none.
TEST_F(GraphicsResources, MeshTexturesAreTheHostsOneRecordOfEachTextureThatIsThere) {
    root.Write("Textures/Hull.dds", "DDS ");
    const std::string group = "GROUPS 1\nGEOM 3 1\n0 0 0\n1 0 0\n0 1 0\n0 1 2\n";
    root.Write("Meshes/Textured.msh", "MSHX1\n" + group + "MATERIALS 0\nTEXTURES 2\nHull.dds\nMissing.dds\n");
    root.Write("Meshes/Textured2.msh", "MSHX1\n" + group + "MATERIALS 0\nTEXTURES 1\nHull.dds\n");
    MESHHANDLE mesh = oapiLoadMeshGlobal("Textured");
    MESHHANDLE other = oapiLoadMesh("Textured2");
    ASSERT_TRUE(mesh && other);
    SURFHANDLE hull = oapiGetTextureHandle(mesh, 1);
    EXPECT_NE(hull, nullptr);
    EXPECT_EQ(oapiGetTextureHandle(other, 1), hull);
    EXPECT_EQ(oapiGetTextureHandle(mesh, 2), nullptr);
    EXPECT_EQ(oapiGetTextureHandle(mesh, 3), nullptr);
    EXPECT_EQ(oapiGetTextureHandle(mesh, 0), nullptr);
    EXPECT_EQ(oapiGetTextureHandle(nullptr, 1), nullptr);
    EXPECT_EQ(Sim().MisuseCount(), 0);
    int notAMesh = 0;
    EXPECT_EQ(oapiGetTextureHandle(&notAMesh, 1), nullptr);
    EXPECT_EQ(Sim().MisuseCount(), 1);
    expectedMisuse = 1;
    oapiDeleteMesh(other);
}

TEST_F(GraphicsResources, SketchpadIsGivenForASurfaceOrTheScreenAndTakenBackOnce) {
    SURFHANDLE surf = oapiCreateTextureSurface(64, 64);
    oapi::Sketchpad* skp = oapiGetSketchpad(surf);
    ASSERT_NE(skp, nullptr);
    EXPECT_EQ(skp->GetSurface(), surf);
    skp->Text(1, 1, "DG", 2); // draws nothing, harmlessly
    oapiReleaseSketchpad(skp);
    oapi::Sketchpad* screen = oapiGetSketchpad(nullptr);
    ASSERT_NE(screen, nullptr);
    oapiReleaseSketchpad(screen);
    EXPECT_EQ(Sim().MisuseCount(), 0);
    oapiReleaseSketchpad(skp);
    int notASurface = 0;
    EXPECT_EQ(oapiGetSketchpad(&notASurface), nullptr);
    EXPECT_EQ(Sim().MisuseCount(), 2);
    oapiDestroySurface(surf);
    expectedMisuse = 2;
}

TEST(Colour, RedIsTheHighestOfTheThreeBytes) {
    EXPECT_EQ(oapiGetColour(1, 2, 3), 0x010203u);
    EXPECT_EQ(oapiGetColour(255, 128, 0), 0xff8000u);
}

// --- Lights ---

class Lights : public TvWorld {
  protected:
    VESSEL* tv() { return Iface("TV1"); }
    static constexpr COLOUR4 WHITE = {1, 1, 1, 1};
};

TEST_F(Lights, PointLightStartsOnAtFullIntensityAndThenFollowsTheModulesLevel) {
    LightEmitter* le = tv()->AddPointLight(_V(1, 2, 3), 100, 0.1, 0.2, 0.3, WHITE, WHITE, WHITE);
    ASSERT_NE(le, nullptr);
    EXPECT_TRUE(le->IsActive());
    EXPECT_EQ(le->GetType(), LightEmitter::LT_POINT);
    EXPECT_EQ(le->GetVisibility(), LightEmitter::VIS_EXTERNAL);
    EXPECT_EQ(le->GetObjectHandle(), Rec("TV1"));
    EXPECT_DOUBLE_EQ(le->GetIntensity(), 1.0);
    double level = 0.25;
    le->SetIntensityRef(&level);
    EXPECT_DOUBLE_EQ(le->GetIntensity(), 0.25);
    level = 0.75;
    EXPECT_DOUBLE_EQ(le->GetIntensity(), 0.75);
    EXPECT_EQ(le->GetIntensityRef(), &level);
    le->SetIntensity(0.5); // back on its own value
    level = 0.0;
    EXPECT_DOUBLE_EQ(le->GetIntensity(), 0.5);
    le->Activate(false);
    EXPECT_FALSE(le->IsActive());
}

TEST_F(Lights, PositionGivenByPointerIsTheModulesOnlyUntilAValueIsSetAgain) {
    LightEmitter* le = tv()->AddPointLight(_V(1, 2, 3), 100, 0, 0, 1, WHITE, WHITE, WHITE);
    VECTOR3 moving = _V(4, 5, 6);
    le->SetPositionRef(&moving);
    moving.x = 7;
    EXPECT_DOUBLE_EQ(le->GetPosition().x, 7.0);
    le->ShiftExplicitPosition(_V(10, 0, 0)); // moves the light's own copy, not the module's vector
    EXPECT_DOUBLE_EQ(le->GetPosition().x, 7.0);
    le->SetPosition(_V(0, 0, 0));
    EXPECT_DOUBLE_EQ(le->GetPosition().x, 0.0);
}

TEST_F(Lights, SpotLightKeepsItsDirectionAndApertureAndGoesOnlyOnce) {
    LightEmitter* point = tv()->AddPointLight(_V(0, 0, 0), 50, 0, 0, 1, WHITE, WHITE, WHITE);
    LightEmitter* spot =
        tv()->AddSpotLight(_V(0, 0, 5), _V(0, 0, 1), 100, 0, 0, 1, 0.3, 0.6, WHITE, WHITE, WHITE);
    ASSERT_NE(spot, nullptr);
    EXPECT_EQ(spot->GetType(), LightEmitter::LT_SPOT);
    EXPECT_DOUBLE_EQ(static_cast<SpotLight*>(spot)->GetPenumbra(), 0.6);
    EXPECT_DOUBLE_EQ(spot->GetDirection().z, 1.0);
    EXPECT_EQ(tv()->LightEmitterCount(), 2);
    EXPECT_EQ(tv()->GetLightEmitter(1), spot);
    EXPECT_EQ(tv()->GetLightEmitter(2), nullptr);
    EXPECT_EQ(tv()->GetLightEmitter(-1), nullptr);
    EXPECT_TRUE(tv()->DelLightEmitter(spot));
    EXPECT_FALSE(tv()->DelLightEmitter(spot));
    EXPECT_EQ(tv()->GetLightEmitter(0), point);
    tv()->ClearLightEmitters();
    EXPECT_EQ(tv()->LightEmitterCount(), 0);
}

// --- MFD modes and dialogs ---

class MfdModes : public TvWorld {
  protected:
    MFDMODESPECEX Spec(const char* name, int key) { return MFDMODESPECEX{name, key, nullptr, nullptr}; }
};

TEST_F(MfdModes, ModesAreNumberedFromOneThousandByHowManyTheVesselHolds) {
    VESSEL4 v(Rec("TV1"));
    EXPECT_EQ(v.RegisterMFDMode(Spec("A", OAPI_KEY_A)), 1000);
    EXPECT_EQ(v.RegisterMFDMode(Spec("B", OAPI_KEY_B)), 1001);
    EXPECT_TRUE(v.UnregisterMFDMode(1000));
    EXPECT_FALSE(v.UnregisterMFDMode(1000));
    EXPECT_FALSE(v.UnregisterMFDMode(5));
    // One mode is left, so the next is numbered 1001 again, as the host numbers it.
    EXPECT_EQ(v.RegisterMFDMode(Spec("C", OAPI_KEY_C)), 1001);
    ASSERT_EQ(Rec("TV1")->mfdModes.size(), 2u);
    EXPECT_EQ(Rec("TV1")->mfdModes[1].name, "C");
}

TEST_F(MfdModes, KeyAnotherModeHasGoesToTheFirstFreeNumberKey) {
    VESSEL4 v(Rec("TV1"));
    v.RegisterMFDMode(Spec("A", OAPI_KEY_1));
    v.RegisterMFDMode(Spec("B", OAPI_KEY_T));
    v.RegisterMFDMode(Spec("C", OAPI_KEY_T));
    v.RegisterMFDMode(Spec("D", 0));
    const auto& modes = Rec("TV1")->mfdModes;
    ASSERT_EQ(modes.size(), 4u);
    EXPECT_EQ(modes[2].spec.key, OAPI_KEY_2);
    EXPECT_EQ(modes[3].spec.key, 0);
}

class Dialog final : public GUIElement {
  public:
    Dialog() : GUIElement("Controls", "Dialog") {}
    void Show() override {}
};

TEST_F(MfdModes, DialogThatWasNeverOpenedClosesQuietly) {
    Dialog d;
    oapiCloseDialog(&d);
    EXPECT_FALSE(d.IsVisible());
    oapiOpenDialog(&d);
    oapiOpenDialog(&d);
    EXPECT_TRUE(d.IsVisible());
    EXPECT_EQ(W().dialogs.size(), 1u);
    oapiCloseDialog(&d);
    EXPECT_TRUE(W().dialogs.empty());
}

// --- Receivers and transmitters ---

class Radios : public HostFixture {
  protected:
    void SetUp() override {
        HostFixture::SetUp();
        // Port 0 has a transmitter on channel 588 from its class; port 1 has none.
        root.Write("Config/Vessels/Test/IdsBox.cfg",
                   "ClassName = IdsBox\nBEGIN_DOCKLIST\n0 0 1  0 0 1  0 1 0  588\n0 0 -1  0 0 -1  0 1 0\n"
                   "END_DOCKLIST\n");
    }
    static std::string Box(const std::string& name, const std::string& extra = "") {
        return name + ":Test\\IdsBox\n  STATUS Orbiting Earth\n  RPOS 6471000 0 1000\n  RVEL 0 0 7800\n" +
               extra + "END\n";
    }
    std::string Block(const std::string& name) { return BlockOf(Sim().ScenarioText(), name); }
};

TEST_F(Radios, ClassTransmitterIsSavedWithTheDefaultRangeAfterTheDockingLine) {
    ASSERT_TRUE(Load(ScenarioText(Box("B1")))) << loadError;
    EXPECT_NE(Block("B1").find("  IDS 0:588 20\n  NAVFREQ 0 0\n"), std::string::npos) << Block("B1");
}

TEST_F(Radios, ScenarioLineSetsEachNamedPortAndReadsABareNumberAsNoPort) {
    // "10" is a word of its own: no port 10, and the ports it follows keep the 20 km default.
    ASSERT_TRUE(Load(ScenarioText(Box("B1", "  IDS 0:1 10 1:2:5 7:3\n")))) << loadError;
    EXPECT_NE(Block("B1").find("  IDS 0:1 20 1:2 5\n"), std::string::npos) << Block("B1");
}

TEST_F(Radios, TransmitterSwitchedOnStartsOnChannelZeroAndSwitchedOffIsNotSaved) {
    ASSERT_TRUE(Load(ScenarioText(Box("B1")))) << loadError;
    VESSEL* v = Iface("B1");
    EXPECT_FALSE(v->SetIDSChannel(v->GetDockHandle(1), 5)); // no transmitter there
    v->EnableIDS(v->GetDockHandle(1), true);
    EXPECT_TRUE(v->SetIDSChannel(v->GetDockHandle(1), 639));
    EXPECT_FALSE(v->SetIDSChannel(v->GetDockHandle(1), 640));
    v->EnableIDS(v->GetDockHandle(0), false);
    EXPECT_NE(Block("B1").find("  IDS 1:639 20\n"), std::string::npos) << Block("B1");
}

TEST_F(Radios, ReceiversTheModuleSetsReplaceTheHostsTwoAndKeepTheirChannels) {
    ASSERT_TRUE(Load(ScenarioText(FlyingTv("TV1", "  NAVFREQ 5 6\n")))) << loadError;
    VESSEL* v = Iface("TV1");
    v->InitNavRadios(4);
    EXPECT_EQ(v->GetNavCount(), 4);
    EXPECT_EQ(v->GetNavChannel(1), 6);
    EXPECT_EQ(v->GetNavChannel(3), 0);
    EXPECT_TRUE(v->SetNavChannel(3, 639));
    EXPECT_FALSE(v->SetNavChannel(3, 640));
    EXPECT_FALSE(v->SetNavChannel(4, 1));
    EXPECT_NE(Block("TV1").find("  NAVFREQ 5 6 0 639\n"), std::string::npos) << Block("TV1");
    v->InitNavRadios(1);
    EXPECT_NE(Block("TV1").find("  NAVFREQ 5\n"), std::string::npos) << Block("TV1");
}

// --- The HUD ---

std::string WithHud(const std::string& scenario, const char* type) {
    std::string s = scenario;
    s.insert(s.find("BEGIN_SHIPS"), std::string("BEGIN_HUD\n  TYPE ") + type + "\nEND_HUD\n");
    return s;
}

class HudMode : public HostFixture {};

TEST_F(HudMode, FocusVesselHearsOfTheScenariosHudAfterEveryPostCreation) {
    ASSERT_TRUE(Load(WithHud(ScenarioText(LandedTv("TV1") + LandedTv("TV2"), "TV2"), "Orbit"))) << loadError;
    EXPECT_TRUE(TimelineInOrder({"tv: clbkPostCreation TV2", "tv: clbkHUDMode TV2 1"}));
    EXPECT_EQ(TimelineCount("clbkHUDMode"), 1);
    EXPECT_EQ(oapiGetHUDMode(), HUD_ORBIT);
}

TEST_F(HudMode, ScenarioWithoutHudTypeShowsNoneAndTellsNobody) {
    ASSERT_TRUE(Load(WithHud(ScenarioText(LandedTv("TV1")), "None"))) << loadError;
    EXPECT_EQ(TimelineCount("clbkHUDMode"), 0);
    EXPECT_EQ(oapiGetHUDMode(), HUD_NONE);
    EXPECT_FALSE(oapiSetHUDMode(HUD_NONE));
    EXPECT_TRUE(oapiSetHUDMode(HUD_SURFACE));
    EXPECT_TRUE(TimelineHas("tv: clbkHUDMode TV1 2"));
}

TEST_F(HudMode, OnlyAChangeOfModeIsToldToTheFocusVessel) {
    ASSERT_TRUE(Load(WithHud(ScenarioText(LandedTv("TV1")), "Surface"))) << loadError;
    EXPECT_FALSE(oapiSetHUDMode(HUD_SURFACE));
    EXPECT_FALSE(oapiSetHUDMode(7));
    EXPECT_EQ(TimelineCount("clbkHUDMode"), 1);
    EXPECT_TRUE(oapiSetHUDMode(HUD_DOCKING));
    EXPECT_TRUE(TimelineHas("tv: clbkHUDMode TV1 3"));
    EXPECT_EQ(oapiGetHUDMode(), HUD_DOCKING);
}

// --- Objects and the vessel's own settings ---

TEST_F(TvWorld, ObjectTypeNamesVesselsAndPlanetsAndAGoneVesselAsInvalid) {
    OBJHANDLE tv = CreateAbovePole("TV2", TV_CLASS);
    ASSERT_NE(tv, nullptr);
    OBJHANDLE earth = oapiGetObjectByName("Earth");
    EXPECT_EQ(oapiGetObjectType(tv), OBJTP_VESSEL);
    EXPECT_EQ(oapiGetObjectType(earth), OBJTP_PLANET);
    EXPECT_DOUBLE_EQ(oapiGetSize(tv), Rec("TV2")->size);
    EXPECT_DOUBLE_EQ(oapiGetSize(earth), 6371010.0);
    oapiDeleteVessel(tv);
    Sim().RunFrames(1);
    EXPECT_EQ(oapiGetObjectType(tv), OBJTP_INVALID);
    EXPECT_EQ(Sim().MisuseCount(), 0);
}

TEST_F(TvWorld, AtmosphereConstantsAreThoseOfTheGroundAndTheTopAndAnAirlessBodyHasNone) {
    const ATMCONST* atm = oapiGetPlanetAtmConstants(oapiGetObjectByName("Earth"));
    ASSERT_NE(atm, nullptr);
    EXPECT_NEAR(atm->p0, 101325.0, 1.0);
    EXPECT_NEAR(atm->rho0, atm->p0 / (atm->R * 288.15), 0.01);
    EXPECT_DOUBLE_EQ(atm->radlimit, atm->altlimit + 6371010.0);
    EXPECT_NEAR(atm->C, atm->rho0 * 9.82 / atm->p0, 1e-7);
    EXPECT_EQ(oapiGetPlanetAtmConstants(oapiGetObjectByName("Moon")), nullptr);
}

TEST_F(TvWorld, TankMadeSmallerLosesWhatNoLongerFitsAndMadeLargerGainsNothing) {
    VESSEL* v = Iface("TV1");
    PROPELLANT_HANDLE tank = v->GetPropellantHandleByIndex(0);
    const double full = v->GetPropellantMass(tank);
    v->SetPropellantMaxMass(tank, full / 2);
    EXPECT_DOUBLE_EQ(v->GetPropellantMass(tank), full / 2);
    v->SetPropellantMaxMass(tank, full * 2);
    EXPECT_DOUBLE_EQ(v->GetPropellantMass(tank), full / 2);
    EXPECT_DOUBLE_EQ(v->GetPropellantMaxMass(tank), full * 2);
}

TEST_F(TvWorld, IspWithoutAReferencePressureNoLongerChangesWithTheAir) {
    VESSEL* v = Iface("TV1");
    THRUSTER_HANDLE th = v->GetGroupThruster(THGROUP_MAIN, 0);
    v->SetThrusterIsp(th, 4000, 2000, 101.4e3);
    EXPECT_DOUBLE_EQ(Rec("TV1")->thrusters[0]->ispRef, 2000.0);
    v->SetThrusterIsp(th, 3000);
    EXPECT_DOUBLE_EQ(Rec("TV1")->thrusters[0]->isp0, 3000.0);
    EXPECT_DOUBLE_EQ(Rec("TV1")->thrusters[0]->ispRef, 0.0);
}

TEST_F(TvWorld, DamageIsOffAndARedrawWithoutAPanelDoesNothing) {
    VESSEL* v = Iface("TV1");
    EXPECT_EQ(v->GetDamageModel(), 0);
    v->TriggerRedrawArea(0, 0, 5);
    oapiTriggerRedrawArea(0, 0, 5);
    EXPECT_EQ(Sim().MisuseCount(), 0);
}

} // namespace
} // namespace hs::test
