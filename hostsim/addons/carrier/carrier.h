// The Carrier stand-in vessel: holds a Corvane under it, lends it propellant and lets it go on request.
#pragma once

#include "Orbitersdk.h"
#include "portable.h"

#include <cstdint>

class Carrier final : public VESSEL3 {
  public:
    // The key code a hanging vessel sends to ask to be released; the "keyboard state" then points at the
    // 32-bit index of the child point that holds it. Outside the range of real scan codes (0..255).
    static constexpr DWORD RELEASE_REQUEST_KEY = 257;
    static constexpr double TANK_MAX_MASS = 50000.0;        // kg
    static constexpr double DEFAULT_SEPARATION_SPEED = 0.5; // m/s: the released ship drifts clear, aft

    Carrier(OBJHANDLE hVessel, int flightmodel);

    void clbkSetClassCaps(FILEHANDLE cfg) override;
    void clbkSaveState(FILEHANDLE scn) override;
    void clbkLoadStateEx(FILEHANDLE scn, void* status) override;
    int clbkConsumeBufferedKey(BufferedKeyCode key, bool down, char* kstate) override;

    // Detaches whatever hangs on child point index; false when the index is out of range or the point is
    // free.
    bool ReleaseChild(int32_t index);

  private:
    int releaseCount;       // releases since the carrier was first created; saved with the scenario
    double separationSpeed; // m/s along the point's direction
};

// The carrier's own scenario lines. Each returns false for a line that is not its key or whose value is
// malformed, leaving the value untouched.
bool ParseReleasesLine(const char* line, int& count);
bool ParseSeparationLine(const char* line, double& speed);
