// HUD status lines from vessel state: tags, hyperspace setting or countdown, jump distance and the message.
#include "flight/hud.h"
#include "flight/flight_rules.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int HUD_X = 3;

struct Tag {
    int y;
    const char* text;
    int length;
};

constexpr Tag BOOST_TAG = {195, "[BOOST]", 7};
constexpr Tag MAIN_CUTOFF_TAG = {210, "[Main Cutoff]", 13};
constexpr Tag DAMPENERS_OFFLINE_TAG = {225, "[Inertial Dampeners Offline]", 28};
constexpr int HWG_LINE_Y = 240;
constexpr int DISTANCE_LINE_Y = 255;
constexpr int MESSAGE_LINE_Y = 0;

void AddTag(HudLine* lines, int& count, const Tag& tag) {
    HudLine& line = lines[count++];
    line.x = HUD_X;
    line.y = tag.y;
    std::snprintf(line.text, sizeof line.text, "%s", tag.text);
    line.length = tag.length;
}

// snprintf cuts a value too large for the line (a scenario may store any timer); the length drawn is what
// the line really holds.
HudLine& StartLine(HudLine* lines, int& count, int y) {
    HudLine& line = lines[count++];
    line.x = HUD_X;
    line.y = y;
    line.text[0] = '\0';
    return line;
}

void FinishLine(HudLine& line) {
    line.length = static_cast<int>(std::strlen(line.text));
}

} // namespace

int BuildHudLines(const HudState& state, HudLine (&lines)[HUD_MAX_LINES]) {
    int count = 0;
    if (state.boost) AddTag(lines, count, BOOST_TAG);
    if (!state.mainEngineFed) AddTag(lines, count, MAIN_CUTOFF_TAG);
    if (!state.inertialDampeners) AddTag(lines, count, DAMPENERS_OFFLINE_TAG);

    HudLine& hwg = StartLine(lines, count, HWG_LINE_Y);
    if (state.ftlState > 0)
        std::snprintf(hwg.text, sizeof hwg.text, "HWG ENGAGED: %.2f secs", state.hwgTimer);
    else
        std::snprintf(hwg.text, sizeof hwg.text, "HWG Timer : %.3f secs, inc %.3f sec", state.hwgJumpDuration,
                      HwgStep(state.hwgStepIndex));
    FinishLine(hwg);

    HudLine& distance = StartLine(lines, count, DISTANCE_LINE_Y);
    // The distance of a jump of the set duration, not what is left of a running one.
    std::snprintf(distance.text, sizeof distance.text, "Distance: %e m", state.hwgJumpDuration * HWG_SPEED);
    FinishLine(distance);

    if (state.messageTimer > 0.0) {
        HudLine& message = StartLine(lines, count, MESSAGE_LINE_Y);
        if (state.message) {
            // The message buffer need not be terminated within its size: the line stops at its end.
            std::size_t cut = 0;
            while (cut < state.messageCapacity && cut < sizeof message.text - 1 && state.message[cut] != '\0')
                ++cut;
            std::memcpy(message.text, state.message, cut);
            message.text[cut] = '\0';
        }
        FinishLine(message);
    }
    return count;
}

double CountDownHudMessage(double timer, double simStep) {
    timer -= simStep;
    return timer < 0.0 ? 0.0 : timer;
}
