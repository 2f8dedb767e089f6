// The Pellorin module's two exports: the host creates and frees every projectile through them.
#include "pellorin.h"

#include <new>

DLLCLBK VESSEL* ovcInit(OBJHANDLE hvessel, int flightmodel) {
    // Without memory the host falls back to a bare vessel rather than the module throwing into it.
    return new (std::nothrow) Pellorin(hvessel, flightmodel);
}

DLLCLBK void ovcExit(VESSEL* vessel) {
    // VESSEL's destructor is not virtual in the host's interface: delete through the real type.
    if (vessel) delete static_cast<Pellorin*>(vessel);
}
