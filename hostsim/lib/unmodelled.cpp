// Every function the real host exports to modules, under the host's own symbol, so that any module built for
// the host loads here. What hostsim models is defined elsewhere and takes the symbol over (these stand-ins are
// weak aliases); the rest answer with a neutral result (zero, false, null, nothing changed) and say once per
// run on the timeline which function the module called.
#include "exports.h"
#include "host.h"

#include <algorithm>
#include <cstring>
#include <cxxabi.h>
#include <dlfcn.h>
#include <memory>

// How a stand-in returns, by the kinds the table names: in the integer register, the floating point one,
// two integer registers (a 16-byte struct of integers), a reference to zeroed memory, or an empty string. The pair's type has
// linkage: a function returning a type of an unnamed namespace could not be exported.
struct HostsimIntPair {
    long a, b;
};

namespace {

alignas(64) unsigned char zeroed[512]; // what a stand-in's reference refers to: a neutral object of any type

using RET_VOID = void;
using RET_INT = long;
using RET_REAL = double;
using RET_PTR = void*;
using RET_REF = void*;
using RET_INT2 = HostsimIntPair;
using RET_STRING = std::string;

template <typename T> T Neutral() {
    return T();
}
template <> void Neutral<void>() {}
template <> void* Neutral<void*>() { return nullptr; }

} // namespace

namespace hs {
void Unmodelled(int n);
}

// The reference stand-in returns the zeroed block, never null: a module may read through it.
#define NEUTRAL_VOID Neutral<void>()
#define NEUTRAL_INT Neutral<long>()
#define NEUTRAL_REAL Neutral<double>()
#define NEUTRAL_PTR Neutral<void*>()
#define NEUTRAL_REF static_cast<void*>(zeroed)
#define NEUTRAL_INT2 Neutral<HostsimIntPair>()
#define NEUTRAL_STRING std::string()

#define HOST_FUNCTION(n, kind, mangled, readable)                                                               \
    extern "C" __attribute__((visibility("hidden"), used)) RET_##kind hostsim_unmodelled_##n() {                \
        hs::Unmodelled(n);                                                                                      \
        return NEUTRAL_##kind;                                                                                  \
    }                                                                                                           \
    extern "C++" RET_##kind hostsim_export_##n() __asm__(mangled) __attribute__((weak, alias("hostsim_unmodelled_" #n)));
#define HOST_DATA(mangled, readable)
#include "host_exports.inc"
#undef HOST_FUNCTION
#undef HOST_DATA

namespace {

struct ExportEntry {
    hs::HostExport names;
    void* standIn;
};

#define HOST_FUNCTION(n, kind, mangled, readable) {{mangled, readable}, reinterpret_cast<void*>(&hostsim_unmodelled_##n)},
#define HOST_DATA(mangled, readable)
const ExportEntry EXPORTS[] = {
#include "host_exports.inc"
};
#undef HOST_FUNCTION
#undef HOST_DATA

#define HOST_FUNCTION(n, kind, mangled, readable)
#define HOST_DATA(mangled, readable) {mangled, readable},
const std::vector<hs::HostExport> DATA_EXPORTS = {
#include "host_exports.inc"
};
#undef HOST_FUNCTION
#undef HOST_DATA

constexpr size_t EXPORT_COUNT = sizeof EXPORTS / sizeof EXPORTS[0];

// This library, as the loader sees it: its symbols resolve as a module's would.
void* ThisLibrary() {
    static void* self = [] {
        Dl_info info{};
        if (!dladdr(reinterpret_cast<void*>(&ThisLibrary), &info) || !info.dli_fname) return (void*)nullptr;
        return dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    }();
    return self;
}

} // namespace

namespace hs {

size_t HostExportCount() { return EXPORT_COUNT; }

const HostExport& HostExportAt(size_t i) { return EXPORTS[i].names; }

bool HostExportModelled(size_t i) {
    void* self = ThisLibrary();
    void* at = self ? dlsym(self, EXPORTS[i].names.mangled) : nullptr;
    return at && at != EXPORTS[i].standIn;
}

long HostExportIndex(const std::string& mangled) {
    // The table is in the order of the readable names; a lookup by symbol is rare (hostsim check).
    for (size_t i = 0; i < EXPORT_COUNT; ++i)
        if (mangled == EXPORTS[i].names.mangled) return (long)i;
    return -1;
}

const std::vector<HostExport>& HostDataExports() { return DATA_EXPORTS; }

void Unmodelled(int n) {
    World& w = W();
    auto at = std::lower_bound(w.unmodelledCalled.begin(), w.unmodelledCalled.end(), n);
    if (at != w.unmodelledCalled.end() && *at == n) return;
    w.unmodelledCalled.insert(at, n);
    Say("not modelled: %s", EXPORTS[n].names.name);
    if (w.opt.modelledOnly) w.stopRun = true;
}

std::string Demangled(const std::string& mangled) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> d(abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status),
                                             free);
    return status == 0 && d ? std::string(d.get()) : mangled;
}

} // namespace hs
