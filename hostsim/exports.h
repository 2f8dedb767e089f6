// The real host's exports to modules: every function a module built for it may import, and whether hostsim
// models it. A function hostsim does not model still exists here under the host's own name, so the module
// loads; called, it gives a neutral result, changes nothing and is named once on the timeline.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace hs {

struct HostExport {
    const char* mangled; // the symbol, as the real host's export table holds it
    const char* name;    // readable: "VESSEL::SetCW", with its parameters where the name is overloaded
};

// The functions, in the generated table's order.
size_t HostExportCount();
const HostExport& HostExportAt(size_t i);
// Whether hostsim has a definition of its own for the export (else only the neutral stand-in).
bool HostExportModelled(size_t i);
// The index of a symbol in the table, or -1.
long HostExportIndex(const std::string& mangled);
// The user-interface library's functions the real host exports beside the SDK: hostsim has stand-ins only.
size_t UiExportCount();
const HostExport& UiExportAt(size_t i);
long UiExportIndex(const std::string& mangled); // or -1
// The data symbols (type information, virtual tables) the real host exports for the SDK's classes.
const std::vector<HostExport>& HostDataExports();

// The dynamic symbols of a shared object file.
struct ElfSymbols {
    std::vector<std::string> defined;   // functions and data the file exports
    std::vector<std::string> undefined; // what it imports (strong references: the loader must find them)
    std::vector<std::string> weak;      // weak references: may stay unresolved
    std::vector<std::string> needed;    // the libraries it names (DT_NEEDED)
};
// False with why in err when the file is no 64-bit ELF shared object of this machine's byte order.
bool ReadElfSymbols(const std::string& path, ElfSymbols* out, std::string* err);

std::string Demangled(const std::string& mangled);

} // namespace hs
