// Graphics resources: textures and surfaces, fonts, pens and brushes, colours. Nothing is drawn, but a module
// keeps what it got and gives it back later, so each is a record of its own whose handle stays good until it
// is released; a release of anything else is misuse.
#include "host.h"
#include "meshes.h"
#include "text.h"

#include <sys/stat.h>

#include <algorithm>

using namespace hs;

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The host reads a texture from the file as named (from the root), else from the high-resolution texture
// folder, else from the texture folder. A name that would leave the root finds nothing.
bool TextureFileExists(const char* fname) {
    const std::string name = fname;
    for (const char* folder : {"", "Textures2\\", "Textures\\"}) {
        const std::string path = HostPath(folder + name);
        if (StaysUnderRoot(path) && IsRegularFile(path)) return true;
    }
    return false;
}

SURFHANDLE NewSurface(const std::string& file, int width, int height) {
    World& w = W();
    w.surfaces.push_back(MakeSlot<Surface>(nullptr));
    Surface* s = w.surfaces.back().get();
    s->file = file;
    s->width = width;
    s->height = height;
    return s;
}

// Takes a record out of its list: false when the handle names none of them (dead, foreign or another kind).
template <typename T, typename H> bool Release(std::vector<SlotPtr<T>>& list, H* handle) {
    T* rec = Slots<T>().Find(handle);
    if (!rec) return false;
    auto it = std::find_if(list.begin(), list.end(), [rec](const SlotPtr<T>& p) { return p.get() == rec; });
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

template <typename T, typename... A> T* Keep(std::vector<SlotPtr<T>>& list, A&&... args) {
    list.push_back(MakeSlot<T>(nullptr, std::forward<A>(args)...));
    return list.back().get();
}

} // namespace

// A texture is loaded afresh on every call: two loads of one file are two handles, each released alone.
SURFHANDLE oapiLoadTexture(const char* fname, bool) {
    if (!fname) {
        Misuse("oapiLoadTexture: null file name");
        return nullptr;
    }
    return TextureFileExists(fname) ? NewSurface(fname, 0, 0) : nullptr;
}

// A texture is released as a surface is: either call takes either kind.
void oapiReleaseTexture(SURFHANDLE hTex) {
    if (!hTex) return; // the host ignores it
    if (!Release(W().surfaces, hTex)) Misuse("oapiReleaseTexture: not a texture the host gave out");
}

void oapiDestroySurface(SURFHANDLE surf) {
    if (!Release(W().surfaces, surf)) Misuse("oapiDestroySurface: not a surface the host gave out");
}

SURFHANDLE oapiCreateTextureSurface(int width, int height) {
    if (width <= 0 || height <= 0) {
        Misuse("oapiCreateTextureSurface: size %d x %d", width, height);
        return nullptr;
    }
    return NewSurface("", width, height);
}

// A mesh's texture (counted from 1) as the host loaded it with the mesh: one record per texture name, the same
// for every mesh and module; null for a texture whose file is not there, or none.
SURFHANDLE oapiGetTextureHandle(MESHHANDLE hMesh, int texidx) {
    if (!hMesh) return nullptr;
    const hs::HostMesh* mesh = hs::LiveMesh(hMesh);
    if (!mesh) {
        Misuse("oapiGetTextureHandle: not a mesh");
        return nullptr;
    }
    if (texidx < 1 || texidx > (int)mesh->textures.size()) return nullptr;
    const std::string& name = mesh->textures[(size_t)texidx - 1];
    if (name == "0" || !TextureFileExists(name.c_str())) return nullptr;
    return RegisteredTexture(name.c_str());
}

oapi::Font* oapiCreateFont(int height, bool prop, const char* face, FontStyle style, bool) {
    return Keep(W().fonts, height, prop, face, (oapi::Font::Style)style, 0);
}

oapi::Font* oapiCreateFont(int height, bool prop, const char* face, FontStyle style, int orientation, bool) {
    return Keep(W().fonts, height, prop, face, (oapi::Font::Style)style, orientation);
}

void oapiReleaseFont(oapi::Font* font) {
    if (!Release(W().fonts, font)) Misuse("oapiReleaseFont: not a font the host gave out");
}

oapi::Pen* oapiCreatePen(int style, int width, uint32_t col) {
    return Keep(W().pens, style, width, col);
}

void oapiReleasePen(oapi::Pen* pen) {
    if (!Release(W().pens, pen)) Misuse("oapiReleasePen: not a pen the host gave out");
}

oapi::Brush* oapiCreateBrush(uint32_t col) {
    return Keep(W().brushes, col);
}

void oapiReleaseBrush(oapi::Brush* brush) {
    if (!Release(W().brushes, brush)) Misuse("oapiReleaseBrush: not a brush the host gave out");
}

uint32_t oapiGetColour(uint32_t red, uint32_t green, uint32_t blue) {
    return (red << 16) | (green << 8) | blue;
}

// A pad draws nothing: the base class's calls all do nothing, as a surface nobody sees needs.
oapi::Sketchpad* oapiGetSketchpad(SURFHANDLE surf, bool) {
    if (surf && !Slots<Surface>().Find(surf)) {
        Misuse("oapiGetSketchpad: not a surface");
        return nullptr;
    }
    World& w = W();
    w.pads.push_back(std::make_unique<oapi::Sketchpad>(surf));
    return w.pads.back().get();
}

void oapiReleaseSketchpad(oapi::Sketchpad* skp) {
    std::vector<std::unique_ptr<oapi::Sketchpad>>& pads = W().pads;
    auto it = std::find_if(pads.begin(), pads.end(),
                           [skp](const std::unique_ptr<oapi::Sketchpad>& p) { return p.get() == skp; });
    if (it == pads.end()) {
        Misuse("oapiReleaseSketchpad: not a sketchpad the host gave out");
        return;
    }
    pads.erase(it);
}
