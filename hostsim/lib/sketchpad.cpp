// The drawing interface's own calls: a Sketchpad that draws nothing, as the host's base class is.
#include "Orbitersdk.h"

namespace oapi {

Sketchpad::Sketchpad(SURFHANDLE s) : surf(s) {}
Sketchpad::~Sketchpad() {}
bool Sketchpad::TextBox(int, int, int, int, const char*, int) { return false; }
void Sketchpad::Rectangle(int, int, int, int) {}
void Sketchpad::PolyPolygon(const IVECTOR2*, const int*, const int) {}
void Sketchpad::PolyPolyline(const IVECTOR2*, const int*, const int) {}

} // namespace oapi
