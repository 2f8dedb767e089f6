// HUD readout: draws the status lines and counts the message timer down.
#include "core/corvane.h"
#include "flight/hud.h"

// The mode and the paint description are not needed; the host's own HUD stays as the host draws it.
bool Corvane::clbkDrawHUD(int, const HUDPAINTSPEC*, oapi::Sketchpad* skp) {
    const HudState state = {
        boost,           mainEngineFed, inertialDampeners, ftlState,          hwgTimer,
        hwgJumpDuration, hwgStepIndex,  hudMessage,        sizeof hudMessage, hudMessageTimer};
    HudLine lines[HUD_MAX_LINES];
    const int count = BuildHudLines(state, lines);
    if (skp) {
        for (int i = 0; i < count; ++i)
            skp->Text(lines[i].x, lines[i].y, lines[i].text, lines[i].length);
    }
    // The timer runs only while the message is drawn, so it waits while the HUD is switched off.
    if (hudMessageTimer > 0.0) hudMessageTimer = CountDownHudMessage(hudMessageTimer, oapiGetSimStep());
    return true;
}
