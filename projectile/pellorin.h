// The Pellorin railgun projectile: a short-lived, unfocusable vessel that pushes what it reaches and removes
// itself.
#pragma once

#include "Orbitersdk.h"

class Pellorin final : public VESSEL3 {
  public:
    Pellorin(OBJHANDLE hVessel, int flightmodel);

    void clbkSetClassCaps(FILEHANDLE cfg) override;
    void clbkPreStep(double simt, double simdt, double mjd) override;
    void clbkPostStep(double simt, double simdt, double mjd) override;

    void ShowImpactFlash();
    void StrikeVessel(VESSEL* target);

  private:
    void ScanForTargets(double simdt);
    bool InReach(OBJHANDLE other, double size, double simdt) const;

    BEACONLIGHTSPEC impactBeacon; // handed to the host on every flash, so it lives as long as the vessel
    double lifetime;              // s of life left
    bool deletePending;           // set once the projectile has hit something or expired; never cleared
};
