// The crash rule and the add-crew dialog's input rules.
#include "crew_rules.h"
#include "crew_text.h"

#include <cstdlib>

bool IsCrashLanding(double vy, bool inertialDampeners) {
    return (vy < CRASH_SPEED && !inertialDampeners) || vy < CRASH_SPEED_DAMPENED;
}

bool IsDialogTextAccepted(const char* text) {
    if (!text) return false;
    size_t len = crewtext::BoundedLength(text, DIALOG_TEXT_MAX + 1);
    return len >= DIALOG_TEXT_MIN && len <= DIALOG_TEXT_MAX;
}

int DialogAge(const char* text) {
    int age = text ? atoi(text) : 0;
    if (age > NEW_MEMBER_AGE_MAX) age = NEW_MEMBER_AGE_MAX;
    if (age < NEW_MEMBER_AGE_MIN) age = NEW_MEMBER_AGE_MIN;
    return age;
}
