// The host's mesh file reader and the edits of a mesh's groups and materials, without the world around them.
#include "meshes.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace hs {
namespace {

// One line as the host's buffer takes it: false at the end of the text, and at a line too long for the
// buffer, which stops the host's stream as the end does. A stopped reader stays stopped.
class MeshLines {
  public:
    explicit MeshLines(std::istream& in) : in_(in) {}
    bool Next(std::string& line) {
        if (stopped_ || !std::getline(in_, line) || line.size() > MESH_LINE_MAX) {
            stopped_ = true;
            line.clear();
            return false;
        }
        ++number_;
        return true;
    }
    int Number() const { return number_; }

  private:
    std::istream& in_;
    bool stopped_ = false;
    int number_ = 0;
};

bool Keyword(const std::string& line, const char* key) {
    return strncasecmp(line.c_str(), key, strlen(key)) == 0;
}

// The text after a keyword of n characters; empty when the line is shorter.
const char* After(const std::string& line, size_t n) {
    return line.size() >= n ? line.c_str() + n : "";
}

void Warn(std::vector<std::string>* warnings, int lineNo, const char* what) {
    if (!warnings) return;
    char buf[160];
    snprintf(buf, sizeof buf, "line %d: %s", lineNo, what);
    warnings->push_back(buf);
}

// Normals the file left out (or shorter than about a third), as the host makes them: every triangle at the
// vertex adds its face's cross product times a third of pi, over three, and the sum is divided by three. The
// host takes the three for the length of each vector, so these normals are not of unit length.
void FillMissingNormals(MeshGroup& g) {
    const size_t nv = g.vtx.size();
    std::vector<bool> fill(nv);
    for (size_t i = 0; i < nv; ++i) {
        NTVERTEX& v = g.vtx[i];
        fill[i] = !(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz > 0.1f);
        if (fill[i]) v.nx = v.ny = v.nz = 0.0f;
    }
    const float corner = std::acos(0.5f);
    for (size_t t = 0; t + 2 < g.idx.size(); t += 3) {
        const uint16_t i0 = g.idx[t], i1 = g.idx[t + 1], i2 = g.idx[t + 2];
        if (!fill[i0] && !fill[i1] && !fill[i2]) continue;
        const NTVERTEX &a = g.vtx[i0], &b = g.vtx[i1], &c = g.vtx[i2];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const float wx = c.x - a.x, wy = c.y - a.y, wz = c.z - a.z;
        const float nx = (uy * wz - uz * wy) / 3.0f, ny = (uz * wx - ux * wz) / 3.0f,
                    nz = (ux * wy - uy * wx) / 3.0f;
        for (uint16_t k : {i0, i1, i2}) {
            if (!fill[k]) continue;
            g.vtx[k].nx += nx * corner;
            g.vtx[k].ny += ny * corner;
            g.vtx[k].nz += nz * corner;
        }
    }
    for (size_t i = 0; i < nv; ++i) {
        if (!fill[i]) continue;
        g.vtx[i].nx /= 3.0f;
        g.vtx[i].ny /= 3.0f;
        g.vtx[i].nz /= 3.0f;
    }
}

void CheckIndices(HostMesh& mesh, MeshGroup& g) {
    const uint32_t mtrl = static_cast<uint32_t>(g.spec.MtrlIdx), tex = static_cast<uint32_t>(g.spec.TexIdx);
    if (mtrl != MESH_INHERIT_INDEX && mtrl >= mesh.materials.size())
        g.spec.MtrlIdx = static_cast<int>(MESH_DEFAULT_INDEX);
    if (tex != MESH_INHERIT_INDEX && tex >= mesh.textures.size())
        g.spec.TexIdx = static_cast<int>(MESH_DEFAULT_INDEX);
}

struct GroupHeader {
    int mtrl = static_cast<int>(MESH_INHERIT_INDEX), tex = static_cast<int>(MESH_INHERIT_INDEX);
    unsigned short zbias = 0;
    int flags = 0, usrFlag = 0;
    bool normals = true, fillNormals = false, flip = false;
};

// A group's vertices and triangles after its GEOM line; false when the text ends inside them.
bool ReadGeometry(MeshLines& lines, const GroupHeader& h, long nvtx, long ntri, MeshGroup& g,
                  std::vector<std::string>* warnings, bool& fillNormals) {
    std::string line;
    // Grown line by line, so a count the text does not hold costs nothing.
    for (long i = 0; i < nvtx; ++i) {
        if (!lines.Next(line)) return false;
        NTVERTEX v{};
        if (h.normals) {
            if (sscanf(line.c_str(), "%f%f%f%f%f%f%f%f", &v.x, &v.y, &v.z, &v.nx, &v.ny, &v.nz, &v.tu,
                       &v.tv) < 6)
                fillNormals = true;
        } else {
            sscanf(line.c_str(), "%f%f%f%f%f", &v.x, &v.y, &v.z, &v.tu, &v.tv);
        }
        g.vtx.push_back(v);
    }
    bool reported = false;
    for (long t = 0; t < ntri; ++t) {
        if (!lines.Next(line)) return false;
        long k[3] = {0, 0, 0};
        sscanf(line.c_str(), "%ld%ld%ld", &k[0], &k[1], &k[2]);
        for (long n : k) {
            // The host keeps the low 16 bits, as a short read into the index does.
            uint16_t index = static_cast<uint16_t>(static_cast<unsigned long>(n));
            if (index >= g.vtx.size()) {
                if (!reported)
                    Warn(warnings, lines.Number(),
                         "a triangle names a vertex the group lacks: vertex 0 taken");
                reported = true;
                index = 0;
            }
            g.idx.push_back(index);
        }
        if (h.flip) std::swap(g.idx[g.idx.size() - 2], g.idx[g.idx.size() - 1]);
    }
    return true;
}

void ReadMaterials(MeshLines& lines, HostMesh& mesh, std::vector<std::string>* warnings) {
    std::string line;
    int n = 0;
    if (!lines.Next(line) || strncmp(line.c_str(), "MATERIALS", 9) != 0 ||
        sscanf(After(line, 9), "%d", &n) != 1)
        return;
    for (int i = 0; i < n; ++i) // the names, which nothing uses
        if (!lines.Next(line)) break;
    for (int i = 0; i < n; ++i) {
        std::string rows[5]; // the MATERIAL line, then diffuse, ambient, specular (and power), emissive
        bool whole = true;
        for (std::string& r : rows)
            whole = whole && lines.Next(r);
        if (!whole) {
            Warn(warnings, lines.Number(), "the material list ends early");
            return;
        }
        auto m = std::make_unique<MATERIAL>();
        *m = MATERIAL{};
        sscanf(rows[1].c_str(), "%f%f%f%f", &m->diffuse.r, &m->diffuse.g, &m->diffuse.b, &m->diffuse.a);
        sscanf(rows[2].c_str(), "%f%f%f%f", &m->ambient.r, &m->ambient.g, &m->ambient.b, &m->ambient.a);
        if (sscanf(rows[3].c_str(), "%f%f%f%f%f", &m->specular.r, &m->specular.g, &m->specular.b,
                   &m->specular.a, &m->power) < 5)
            m->power = 0.0f;
        sscanf(rows[4].c_str(), "%f%f%f%f", &m->emissive.r, &m->emissive.g, &m->emissive.b, &m->emissive.a);
        mesh.materials.push_back(std::move(m));
    }
}

void ReadTextures(MeshLines& lines, HostMesh& mesh, std::vector<std::string>* warnings) {
    std::string line;
    int n = 0;
    if (!lines.Next(line) || strncmp(line.c_str(), "TEXTURES", 8) != 0 ||
        sscanf(After(line, 8), "%d", &n) != 1)
        return;
    for (int i = 0; i < n; ++i) {
        if (!lines.Next(line)) {
            Warn(warnings, lines.Number(), "the texture list ends early");
            return;
        }
        char name[256] = "";
        sscanf(line.c_str(), "%255s", name);
        mesh.textures.push_back(name);
    }
}

} // namespace

bool ReadMesh(std::istream& in, HostMesh& mesh, std::vector<std::string>* warnings) {
    mesh.groups.clear();
    mesh.materials.clear();
    mesh.textures.clear();
    MeshLines lines(in);
    std::string line;
    if (!lines.Next(line) || strncmp(line.c_str(), "MSHX1", 5) != 0) return false;
    long ngrp = 0;
    bool staticMesh = false;
    for (;;) {
        if (!lines.Next(line)) return false;
        if (Keyword(line, "GROUPS")) {
            if (sscanf(After(line, 6), "%ld", &ngrp) != 1) return false;
            break;
        }
        if (Keyword(line, "STATICMESH")) staticMesh = true;
    }
    bool ended = false;
    for (long g = 0; g < ngrp && !ended; ++g) {
        GroupHeader h;
        h.flags = staticMesh ? 0x04 : 0;
        auto group = std::make_unique<MeshGroup>();
        bool geometry = false, whole = false;
        while (!geometry) {
            if (!lines.Next(line)) {
                ended = true;
                break;
            }
            // Checked in the host's order, each keyword by its first letters.
            if (Keyword(line, "MATERIAL")) {
                sscanf(After(line, 8), "%d", &h.mtrl);
                h.mtrl = static_cast<int>(static_cast<unsigned>(h.mtrl) - 1u);
            } else if (Keyword(line, "TEXTURE")) {
                sscanf(After(line, 7), "%d", &h.tex);
                h.tex = static_cast<int>(static_cast<unsigned>(h.tex) - 1u);
            } else if (Keyword(line, "ZBIAS")) {
                sscanf(After(line, 5), "%hu", &h.zbias);
            } else if (Keyword(line, "TEXWRAP")) {
                char uv[10] = "";
                sscanf(After(line, 7), "%9s", uv);
                if (uv[0] == 'U' || uv[1] == 'U') h.flags |= 0x01;
                if (uv[0] == 'V' || uv[1] == 'V') h.flags |= 0x02;
            } else if (Keyword(line, "NONORMAL")) {
                h.normals = false;
                h.fillNormals = true;
            } else if (Keyword(line, "FLAG")) {
                sscanf(After(line, 4), "%d", &h.usrFlag);
            } else if (Keyword(line, "FLIP")) {
                h.flip = true;
            } else if (Keyword(line, "LABEL")) {
            } else if (Keyword(line, "STATIC")) {
                h.flags |= 0x04;
            } else if (Keyword(line, "DYNAMIC")) {
                h.flags ^= 0x04;
            } else if (Keyword(line, "GEOM")) {
                geometry = true;
                long nvtx = 0, ntri = 0;
                if (sscanf(After(line, 4), "%ld%ld", &nvtx, &ntri) != 2) {
                    Warn(warnings, lines.Number(), "a GEOM line without two counts: the group is left out");
                } else if (nvtx < 0 || ntri < 0) {
                    Warn(warnings, lines.Number(), "a negative count: the group is left out");
                } else {
                    whole = ReadGeometry(lines, h, nvtx, ntri, *group, warnings, h.fillNormals);
                    if (!whole)
                        Warn(warnings, lines.Number(), "the text ends inside a group: the group is left out");
                }
            }
        }
        if (!whole || group->vtx.empty() || group->idx.empty()) continue;
        MESHGROUPEX& s = group->spec;
        s.MtrlIdx = h.mtrl;
        s.TexIdx = h.tex;
        s.zBias = static_cast<OAPI_WORD>(h.zbias);
        s.Flags = static_cast<OAPI_WORD>(h.flags);
        s.UsrFlag = h.usrFlag;
        for (int k = 0; k < MAXTEX; ++k) {
            s.TexIdxEx[k] = static_cast<int>(MESH_DEFAULT_INDEX);
            s.TexMixEx[k] = 0.0f;
        }
        if (h.fillNormals) FillMissingNormals(*group);
        group->Bind();
        mesh.groups.push_back(std::move(group));
    }
    ReadMaterials(lines, mesh, warnings);
    ReadTextures(lines, mesh, warnings);
    for (auto& g : mesh.groups)
        CheckIndices(mesh, *g);
    mesh.setUp = true;
    return true;
}

int AddMeshGroup(HostMesh& mesh, const NTVERTEX* vtx, int nvtx, const uint16_t* idx, int nidx, uint32_t mtrl,
                 uint32_t tex, int16_t zbias, int usrFlag) {
    auto g = std::make_unique<MeshGroup>();
    g->vtx.resize(nvtx > 0 ? static_cast<size_t>(nvtx) : 0);
    g->idx.resize(nidx > 0 ? static_cast<size_t>(nidx) : 0);
    if (vtx && !g->vtx.empty()) memcpy(g->vtx.data(), vtx, g->vtx.size() * sizeof(NTVERTEX));
    if (idx && !g->idx.empty()) memcpy(g->idx.data(), idx, g->idx.size() * sizeof(uint16_t));
    MESHGROUPEX& s = g->spec;
    s.MtrlIdx = static_cast<int>(mtrl);
    s.TexIdx = static_cast<int>(tex);
    s.zBias = static_cast<OAPI_WORD>(zbias);
    s.UsrFlag = usrFlag;
    for (int k = 0; k < MAXTEX; ++k)
        s.TexIdxEx[k] = static_cast<int>(MESH_DEFAULT_INDEX);
    if (mesh.setUp) CheckIndices(mesh, *g);
    g->Bind();
    mesh.groups.push_back(std::move(g));
    return static_cast<int>(mesh.groups.size()) - 1;
}

void AddMeshGroupBlock(MeshGroup& g, const NTVERTEX* vtx, int nvtx, const uint16_t* idx, int nidx) {
    const uint16_t first = static_cast<uint16_t>(g.vtx.size());
    if (vtx && nvtx > 0) g.vtx.insert(g.vtx.end(), vtx, vtx + nvtx);
    if (idx && nidx > 0)
        for (int i = 0; i < nidx; ++i)
            g.idx.push_back(static_cast<uint16_t>(idx[i] + first));
    g.Bind();
}

// Each vertex field is set, or else added to, as the edit's flags say.
struct VertexEdit {
    float NTVERTEX::*member;
    unsigned set, add;
};
constexpr VertexEdit VERTEX_EDITS[] = {{&NTVERTEX::x, GRPEDIT_VTXCRDX, GRPEDIT_VTXCRDADDX},
                                       {&NTVERTEX::y, GRPEDIT_VTXCRDY, GRPEDIT_VTXCRDADDY},
                                       {&NTVERTEX::z, GRPEDIT_VTXCRDZ, GRPEDIT_VTXCRDADDZ},
                                       {&NTVERTEX::nx, GRPEDIT_VTXNMLX, GRPEDIT_VTXNMLADDX},
                                       {&NTVERTEX::ny, GRPEDIT_VTXNMLY, GRPEDIT_VTXNMLADDY},
                                       {&NTVERTEX::nz, GRPEDIT_VTXNMLZ, GRPEDIT_VTXNMLADDZ},
                                       {&NTVERTEX::tu, GRPEDIT_VTXTEXU, GRPEDIT_VTXTEXADDU},
                                       {&NTVERTEX::tv, GRPEDIT_VTXTEXV, GRPEDIT_VTXTEXADDV}};

void EditMeshGroup(MeshGroup& g, const GROUPEDITSPEC& ges) {
    const unsigned flags = static_cast<unsigned>(ges.flags);
    const int usr = static_cast<int>(ges.UsrFlag);
    if (flags & GRPEDIT_SETUSERFLAG)
        g.spec.UsrFlag = usr;
    else if (flags & GRPEDIT_ADDUSERFLAG)
        g.spec.UsrFlag |= usr;
    else if (flags & GRPEDIT_DELUSERFLAG)
        g.spec.UsrFlag &= ~usr;
    if (!(flags & GRPEDIT_VTXMOD) || !ges.Vtx) return;
    for (int i = 0; i < static_cast<int>(ges.nVtx); ++i) {
        const size_t vi = ges.vIdx ? ges.vIdx[i] : static_cast<size_t>(i);
        if (vi >= g.vtx.size()) continue;
        for (const VertexEdit& f : VERTEX_EDITS) {
            if (flags & f.set)
                g.vtx[vi].*f.member = ges.Vtx[i].*f.member;
            else if (flags & f.add)
                g.vtx[vi].*f.member += ges.Vtx[i].*f.member;
        }
    }
}

int GetMeshGroup(const MeshGroup& g, GROUPREQUESTSPEC& grs) {
    int missing = 0;
    if (grs.nVtx > 0 && grs.Vtx) {
        if (grs.VtxPerm) {
            for (int i = 0; i < grs.nVtx; ++i) {
                const size_t vi = grs.VtxPerm[i];
                if (vi < g.vtx.size()) {
                    grs.Vtx[i] = g.vtx[vi];
                } else {
                    grs.Vtx[i] = NTVERTEX{};
                    missing = 1;
                }
            }
        } else {
            if (static_cast<size_t>(grs.nVtx) > g.vtx.size()) grs.nVtx = static_cast<int>(g.vtx.size());
            if (grs.nVtx > 0) memcpy(grs.Vtx, g.vtx.data(), static_cast<size_t>(grs.nVtx) * sizeof(NTVERTEX));
        }
    }
    if (grs.nIdx > 0 && grs.Idx) {
        if (grs.IdxPerm) {
            for (int i = 0; i < grs.nIdx; ++i) {
                const size_t ii = grs.IdxPerm[i];
                if (ii < g.idx.size()) {
                    grs.Idx[i] = g.idx[ii];
                } else {
                    grs.Idx[i] = 0;
                    missing = 1;
                }
            }
        } else {
            if (static_cast<size_t>(grs.nIdx) > g.idx.size()) grs.nIdx = static_cast<int>(g.idx.size());
            if (grs.nIdx > 0) memcpy(grs.Idx, g.idx.data(), static_cast<size_t>(grs.nIdx) * sizeof(uint16_t));
        }
    }
    grs.MtrlIdx = static_cast<int>(g.spec.MtrlIdx);
    grs.TexIdx = static_cast<int>(g.spec.TexIdx);
    return missing;
}

void CopyMesh(const HostMesh& from, HostMesh& to) {
    to.groups.clear();
    for (const auto& g : from.groups) {
        auto copy = std::make_unique<MeshGroup>(*g);
        copy->Bind();
        to.groups.push_back(std::move(copy));
    }
    to.materials.clear();
    for (const auto& m : from.materials)
        to.materials.push_back(std::make_unique<MATERIAL>(*m));
    to.textures = from.textures;
    to.modulateMatAlpha = from.modulateMatAlpha;
    to.setUp = from.setUp;
}

void DeleteMaterial(HostMesh& mesh, size_t idx) {
    // Compared unsigned, as the host does: a group on the default material is counted above it and moves down
    // to the inherited one.
    for (auto& g : mesh.groups) {
        const uint32_t m = static_cast<uint32_t>(g->spec.MtrlIdx);
        if (m == idx)
            g->spec.MtrlIdx = 0;
        else if (m > idx)
            g->spec.MtrlIdx = static_cast<int>(m - 1u);
    }
    mesh.materials.erase(mesh.materials.begin() + static_cast<long>(idx));
}

} // namespace hs
