// The UMmu stand-in: a crew member walking outside a ship, as the outside crew add-on presents one.
#pragma once

#include "Orbitersdk.h"
#include "portable.h"
#include "ummu_record.h"

class UMmu final : public VESSEL3 {
  public:
    static constexpr double SUIT_MASS = 60.0; // kg, the suit and its pack, beside the member's own weight

    UMmu(OBJHANDLE hVessel, int flightmodel);

    void clbkSetClassCaps(FILEHANDLE cfg) override;
    void clbkSaveState(FILEHANDLE scn) override;
    void clbkLoadStateEx(FILEHANDLE scn, void* status) override;
    void clbkPostStep(double simt, double simdt, double mjd) override;

    const UMmuMember& Member() const { return member; }
    bool WantsToComeBack() const { return memberPoint != nullptr; }

  private:
    void PublishMember();
    bool InsideAnAirlock() const;

    UMmuMember member;
    // "U-Mm": the last child-side point, whose position carries the member's data. Ships take a member in
    // only when it is there, so the member carries it once clear of every airlock: someone who has just
    // stepped out through a hatch does not fall straight back in.
    ATTACHMENTHANDLE memberPoint;
};
