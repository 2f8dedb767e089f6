// Rules of the vessel's crew events that need no host: the crash rule and the add-crew dialog's inputs.
#pragma once

#include <cstddef>

constexpr double CRASH_SPEED = -3.0;           // m/s vertical: a harder touchdown kills the crew
constexpr double CRASH_SPEED_DAMPENED = -10.0; // m/s vertical: the dampeners save nobody beyond this
constexpr size_t DIALOG_TEXT_MIN = 2;          // characters the input boxes accept
constexpr size_t DIALOG_TEXT_MAX = 38;
constexpr int NEW_MEMBER_AGE_MIN = 5;
constexpr int NEW_MEMBER_AGE_MAX = 100;

// Whether a touchdown at vertical speed vy (m/s, negative downwards) kills the crew.
bool IsCrashLanding(double vy, bool inertialDampeners);
// Whether the input boxes take the text (it is then copied as typed).
bool IsDialogTextAccepted(const char* text);
// The age typed in the dialog as the member gets it: a number kept within 5..100, anything else 5.
int DialogAge(const char* text);
