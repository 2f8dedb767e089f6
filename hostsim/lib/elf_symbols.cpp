// The dynamic symbol table of a shared object: what a module imports from its host, what a library exports.
#include "exports.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <iterator>

namespace hs {

namespace {

// A view of the file that never reads past its end: a truncated or hostile file is refused, not trusted.
struct Image {
    std::string bytes;
    template <typename T> const T* At(uint64_t off, uint64_t count = 1) const {
        if (off > bytes.size() || count > (bytes.size() - off) / sizeof(T)) return nullptr;
        return reinterpret_cast<const T*>(bytes.data() + off);
    }
    const char* String(uint64_t table, uint64_t size, uint64_t off) const {
        if (off >= size || !At<char>(table, size)) return nullptr;
        const char* s = bytes.data() + table + off;
        return memchr(s, 0, size - off) ? s : nullptr;
    }
};

const Elf64_Shdr* Section(const Image& img, const Elf64_Ehdr& eh, unsigned i) {
    if (i >= eh.e_shnum || eh.e_shentsize != sizeof(Elf64_Shdr)) return nullptr;
    return img.At<Elf64_Shdr>(eh.e_shoff + (uint64_t)i * sizeof(Elf64_Shdr));
}

bool ReadDynsym(const Image& img, const Elf64_Ehdr& eh, const Elf64_Shdr& sh, ElfSymbols* out) {
    const Elf64_Shdr* strs = Section(img, eh, sh.sh_link);
    const Elf64_Sym* syms = strs ? img.At<Elf64_Sym>(sh.sh_offset, sh.sh_size / sizeof(Elf64_Sym)) : nullptr;
    if (!syms) return false;
    for (uint64_t k = 1; k < sh.sh_size / sizeof(Elf64_Sym); ++k) {
        const Elf64_Sym& s = syms[k];
        const char* name = img.String(strs->sh_offset, strs->sh_size, s.st_name);
        if (!name || !*name) continue;
        unsigned bind = ELF64_ST_BIND(s.st_info);
        if (bind == STB_LOCAL) continue;
        if (s.st_shndx != SHN_UNDEF) out->defined.push_back(name);
        else if (bind == STB_WEAK) out->weak.push_back(name);
        else out->undefined.push_back(name);
    }
    return true;
}

bool ReadNeeded(const Image& img, const Elf64_Ehdr& eh, const Elf64_Shdr& sh, ElfSymbols* out) {
    const Elf64_Shdr* strs = Section(img, eh, sh.sh_link);
    const Elf64_Dyn* dyn = strs ? img.At<Elf64_Dyn>(sh.sh_offset, sh.sh_size / sizeof(Elf64_Dyn)) : nullptr;
    if (!dyn) return false;
    for (uint64_t k = 0; k < sh.sh_size / sizeof(Elf64_Dyn) && dyn[k].d_tag != DT_NULL; ++k)
        if (dyn[k].d_tag == DT_NEEDED)
            if (const char* n = img.String(strs->sh_offset, strs->sh_size, dyn[k].d_un.d_val))
                out->needed.push_back(n);
    return true;
}

} // namespace

bool ReadElfSymbols(const std::string& path, ElfSymbols* out, std::string* err) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *err = path + ": cannot be read";
        return false;
    }
    Image img{std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())};
    const Elf64_Ehdr* eh = img.At<Elf64_Ehdr>(0);
    if (!eh || memcmp(eh->e_ident, ELFMAG, SELFMAG) != 0 || eh->e_ident[EI_CLASS] != ELFCLASS64 ||
        eh->e_ident[EI_DATA] != ELFDATA2LSB) {
        *err = path + ": not a 64-bit shared object of this machine";
        return false;
    }
    *out = ElfSymbols();
    bool any = false;
    for (unsigned i = 0; i < eh->e_shnum; ++i) {
        const Elf64_Shdr* sh = Section(img, *eh, i);
        bool ok = !sh || (sh->sh_type == SHT_DYNSYM ? ReadDynsym(img, *eh, *sh, out)
                                                     : sh->sh_type == SHT_DYNAMIC ? ReadNeeded(img, *eh, *sh, out) : true);
        if (!sh || !ok) {
            *err = path + ": its section table is damaged";
            return false;
        }
        any = any || sh->sh_type == SHT_DYNSYM;
    }
    if (!any) {
        *err = path + ": holds no dynamic symbols (not a shared object)";
        return false;
    }
    return true;
}

} // namespace hs
