// HUD status lines built from vessel state, without a host: what clbkDrawHUD writes, where and how long.
#pragma once

#include <cstddef>

constexpr std::size_t HUD_LINE_SIZE = 256; // bytes of one formatted line, terminator included
constexpr int HUD_MAX_LINES = 6;

struct HudState {
    bool boost;
    bool mainEngineFed;
    bool inertialDampeners;
    int ftlState;
    double hwgTimer;        // s
    double hwgJumpDuration; // s
    int hwgStepIndex;
    const char* message; // may be null: no message
    std::size_t
        messageCapacity; // bytes the message buffer holds; the line stops there even without a terminator
    double messageTimer; // s
};

struct HudLine {
    int x, y; // HUD surface pixels
    char text[HUD_LINE_SIZE];
    int length; // characters to draw
};

// Fills lines in drawing order and returns how many there are. The message line comes last.
int BuildHudLines(const HudState& state, HudLine (&lines)[HUD_MAX_LINES]);

// The message timer after one HUD redraw that drew the message: counts down by the last step, stops at 0.
double CountDownHudMessage(double timer, double simStep);
