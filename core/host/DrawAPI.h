// The host's drawing interface: the Sketchpad a HUD is drawn with, and its font, pen and brush types.
#ifndef DRAWAPI_H
#define DRAWAPI_H

#include "OrbiterAPI.h"

// Integer point for polygons and polylines.
typedef union {
    long data[2];
    struct {
        long x, y;
    };
} IVECTOR2;

namespace oapi {

using ::IVECTOR2;

class Font;
class Pen;
class Brush;

// Every drawing call is a no-op here; a graphics client derives and draws for real. Colours are 0x00BBGGRR.
class OAPIFUNC Sketchpad {
  public:
    enum TAlign_horizontal { LEFT, CENTER, RIGHT };
    enum TAlign_vertical { TOP, BASELINE, BOTTOM };
    enum BkgMode { BK_TRANSPARENT, BK_OPAQUE };

    Sketchpad(SURFHANDLE s) : surf(s) {}
    virtual ~Sketchpad() {}

    SURFHANDLE GetSurface() const { return surf; }

    // Each setter returns the object it replaces.
    virtual Font* SetFont(Font*) const { return nullptr; }
    virtual Pen* SetPen(Pen*) const { return nullptr; }
    virtual Brush* SetBrush(Brush*) const { return nullptr; }
    virtual void SetTextAlign(TAlign_horizontal = LEFT, TAlign_vertical = TOP) {}
    virtual DWORD SetTextColor(DWORD) { return 0; }
    virtual DWORD SetBackgroundColor(DWORD) { return 0; }
    virtual void SetBackgroundMode(BkgMode) {}
    // Low word: character height, high word: mean character width.
    virtual DWORD GetCharSize() { return 0; }
    virtual DWORD GetTextWidth(const char*, int = 0) { return 0; }
    // len is the number of characters to draw.
    virtual bool Text(int, int, const char*, int) { return false; }
    virtual void Pixel(int, int, DWORD) {}
    virtual void MoveTo(int, int) {}
    virtual void LineTo(int, int) {}
    virtual void Line(int, int, int, int) {}
    virtual void Rectangle(int, int, int, int) {}
    virtual void Ellipse(int, int, int, int) {}
    virtual void Polygon(const IVECTOR2*, int) {}
    virtual void Polyline(const IVECTOR2*, int) {}
    virtual HDC GetDC() { return nullptr; }

  protected:
    SURFHANDLE surf;
};

} // namespace oapi

#endif // DRAWAPI_H
