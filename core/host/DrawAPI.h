// The host's drawing interface: the Sketchpad a HUD is drawn with, and its font, pen and brush types.
#ifndef DRAWAPI_H
#define DRAWAPI_H

#include "OrbiterAPI.h"

#ifndef _WIN32

// The Linux interface's form: the same virtual calls in the same order as the host's own, so a module drawing
// through it works in either host.
typedef struct {
    int x;
    int y;
} POINT;

namespace oapi {

// Integer point for polygons and polylines.
union IVECTOR2 {
    long data[2];
    struct {
        long x, y;
    };
};

class OAPIFUNC DrawingTool {
  public:
    DrawingTool() {}
    virtual ~DrawingTool() {}
};

class OAPIFUNC Font : public DrawingTool {
  public:
    enum Style { NORMAL = 0, BOLD = 1, ITALIC = 2, UNDERLINE = 4 };

  protected:
    Font(int, bool, const char*, Style = NORMAL, int = 0) {}

  public:
    virtual ~Font() {}
};

class OAPIFUNC Pen : public DrawingTool {
  protected:
    Pen(int, int, uint32_t) {}

  public:
    virtual ~Pen() {}
};

class OAPIFUNC Brush : public DrawingTool {
  protected:
    Brush(uint32_t) {}

  public:
    virtual ~Brush() {}
};

// Every drawing call is a no-op here; a graphics client derives and draws for real. Colours are 0x00BBGGRR.
class OAPIFUNC Sketchpad {
  public:
    Sketchpad(SURFHANDLE s);
    virtual ~Sketchpad();
    // Each setter returns the object it replaces.
    virtual Font* SetFont(Font*) const { return nullptr; }
    virtual Pen* SetPen(Pen*) const { return nullptr; }
    virtual Brush* SetBrush(Brush*) const { return nullptr; }
    enum TAlign_horizontal { LEFT, CENTER, RIGHT };
    enum TAlign_vertical { TOP, BASELINE, BOTTOM };
    virtual void SetTextAlign(TAlign_horizontal = LEFT, TAlign_vertical = TOP) {}
    virtual uint32_t SetTextColor(uint32_t) { return 0; }
    virtual uint32_t SetBackgroundColor(uint32_t) { return 0; }
    enum BkgMode { BK_TRANSPARENT, BK_OPAQUE };
    virtual void SetBackgroundMode(BkgMode) {}
    // Low word: character height, high word: mean character width.
    virtual int GetCharSize() { return 0; }
    virtual int GetTextWidth(const char*, int = 0) { return 0; }
    virtual void SetOrigin(int, int) {}
    virtual void GetOrigin(int* x, int* y) const { *x = 0, *y = 0; }
    // len is the number of characters to draw.
    virtual bool Text(int, int, const char*, int) { return false; }
    virtual bool TextW(int, int, const wchar_t*, int) { return false; }
    virtual bool TextBox(int x1, int y1, int x2, int y2, const char* str, int len);
    virtual void Pixel(int, int, uint32_t) {}
    virtual void MoveTo(int, int) {}
    virtual void LineTo(int, int) {}
    virtual void Line(int, int, int, int) {}
    virtual void Rectangle(int x0, int y0, int x1, int y1);
    virtual void Ellipse(int, int, int, int) {}
    virtual void Polygon(const IVECTOR2*, int) {}
    virtual void Polyline(const IVECTOR2*, int) {}
    virtual void PolyPolygon(const IVECTOR2* pt, const int* npt, const int nline);
    virtual void PolyPolyline(const IVECTOR2* pt, const int* npt, const int nline);
    inline SURFHANDLE GetSurface() const { return surf; }

  private:
    SURFHANDLE surf;
};

} // namespace oapi

#else

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
    virtual OAPI_DWORD SetTextColor(OAPI_DWORD) { return 0; }
    virtual OAPI_DWORD SetBackgroundColor(OAPI_DWORD) { return 0; }
    virtual void SetBackgroundMode(BkgMode) {}
    // Low word: character height, high word: mean character width.
    virtual OAPI_DWORD GetCharSize() { return 0; }
    virtual OAPI_DWORD GetTextWidth(const char*, int = 0) { return 0; }
    // len is the number of characters to draw.
    virtual bool Text(int, int, const char*, int) { return false; }
    virtual void Pixel(int, int, OAPI_DWORD) {}
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

#endif

#endif // DRAWAPI_H
