// The UMmu stand-in: a crew member walking outside a ship, as the outside crew add-on presents one.
#pragma once

#include "Orbitersdk.h"
#include "ummu_record.h"

class UMmu : public VESSEL3 {
  public:
    static constexpr double SUIT_MASS = 60.0; // kg, the suit and its pack, beside the member's own weight

    UMmu(OBJHANDLE hVessel, int flightmodel);

    void clbkSetClassCaps(FILEHANDLE cfg) override;
    void clbkSaveState(FILEHANDLE scn) override;
    void clbkLoadStateEx(FILEHANDLE scn, void* status) override;

    const UMmuMember& Member() const { return member; }

  private:
    void PublishMember();

    UMmuMember member;
    ATTACHMENTHANDLE memberPoint; // "U-Mm": the last child-side point, its position carries the member's data
};
