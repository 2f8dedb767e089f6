// The pools of every kind of record the host hands out as a handle.
#include "host.h"

namespace hs {

template <typename T> SlotPool<T>& SlotsOf() { return hsSlots<T>; }

#define HS_SLOT_KIND(T) template SlotPool<T>& SlotsOf<T>();

HS_SLOT_KIND(::Vessel)
HS_SLOT_KIND(Propellant)
HS_SLOT_KIND(Thruster)
HS_SLOT_KIND(ThrusterGroup)
HS_SLOT_KIND(ParticleStream)
HS_SLOT_KIND(Airfoil)
HS_SLOT_KIND(ControlSurface)
HS_SLOT_KIND(Attachment)
HS_SLOT_KIND(DockPort)
HS_SLOT_KIND(Mesh)
HS_SLOT_KIND(DevMesh)
HS_SLOT_KIND(AnimComponent)
HS_SLOT_KIND(HostFile)
HS_SLOT_KIND(GlobalMesh)
HS_SLOT_KIND(HostMesh)
HS_SLOT_KIND(Annotation)
HS_SLOT_KIND(Surface)
HS_SLOT_KIND(HostFont)
HS_SLOT_KIND(HostPen)
HS_SLOT_KIND(HostBrush)

} // namespace hs
