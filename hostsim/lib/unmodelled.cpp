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

// How a stand-in returns, by the kinds the table names: nothing, zero in the integer register, zero in the
// floating point one, null, a reference to zeroed memory (never null: a module may read through it), zero in two
// integer registers (a 16-byte struct of integers), or an empty string. The pair's type has linkage: a function
// returning a type of an unnamed namespace could not be exported.
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

void NeutralVOID() {}
long NeutralINT() { return 0; }
double NeutralREAL() { return 0.0; }
void* NeutralPTR() { return nullptr; }
void* NeutralREF() { return zeroed; }
HostsimIntPair NeutralINT2() { return {}; }
std::string NeutralSTRING() { return {}; }

} // namespace

namespace hs {
void Unmodelled(int n);
}

// Each stand-in has a name of its own to point the exported symbol at (and to tell it from a model of the
// function by address); the exported symbol itself is a weak alias that any definition elsewhere replaces.
// NOLINTBEGIN(bugprone-macro-parentheses): the arguments are names and string literals pasted into declarations
#define HOST_FUNCTION(n, kind, mangled, readable)                                                               \
    __attribute__((visibility("hidden"), used)) RET_##kind hostsim_unmodelled_##n() __asm__("hostsim_unmodelled_" #n); \
    RET_##kind hostsim_unmodelled_##n() {                                                                       \
        hs::Unmodelled(n);                                                                                      \
        return Neutral##kind();                                                                                 \
    }                                                                                                           \
    RET_##kind hostsim_export_##n() __asm__(mangled) __attribute__((weak, alias("hostsim_unmodelled_" #n)));
#define HOST_DATA(mangled, readable)
#include "host_exports.inc"
#undef HOST_FUNCTION
#undef HOST_DATA

// The type information of the SDK's classes hostsim does not implement, so that a module whose classes derive from
// them (an MFD mode, a planet's module) loads and its casts among its own classes work. Each names its base as the
// SDK's headers do. A class hostsim comes to implement leaves this table: its compiler-made type information
// takes over.
#define SDK_TYPE(var, mangled)                                                                                 \
    __attribute__((weak)) __cxxabiv1::__class_type_info var __asm__("_ZTI" mangled)(mangled);
#define SDK_DERIVED(var, mangled, base)                                                                        \
    __attribute__((weak)) __cxxabiv1::__si_class_type_info var __asm__("_ZTI" mangled)(mangled, &base);
SDK_TYPE(hostsim_ti_mfd, "3MFD")
SDK_DERIVED(hostsim_ti_mfd2, "4MFD2", hostsim_ti_mfd)
SDK_DERIVED(hostsim_ti_graph_mfd, "8GraphMFD", hostsim_ti_mfd2)
SDK_TYPE(hostsim_ti_extern_mfd, "9ExternMFD")
SDK_TYPE(hostsim_ti_celbody, "7CELBODY")
SDK_DERIVED(hostsim_ti_celbody2, "8CELBODY2", hostsim_ti_celbody)
SDK_TYPE(hostsim_ti_atmosphere, "10ATMOSPHERE")
SDK_TYPE(hostsim_ti_module, "N4oapi6ModuleE")
SDK_TYPE(hostsim_ti_module_nv, "N4oapi8ModuleNVE")
SDK_DERIVED(hostsim_ti_graphics_client, "N4oapi14GraphicsClientE", hostsim_ti_module)
SDK_TYPE(hostsim_ti_screen_annotation, "N4oapi16ScreenAnnotationE")
SDK_TYPE(hostsim_ti_camera_mode, "10CameraMode")
SDK_DERIVED(hostsim_ti_camera_cockpit, "18CameraMode_Cockpit", hostsim_ti_camera_mode)
SDK_DERIVED(hostsim_ti_camera_track, "16CameraMode_Track", hostsim_ti_camera_mode)
SDK_DERIVED(hostsim_ti_camera_ground, "17CameraMode_Ground", hostsim_ti_camera_mode)
SDK_TYPE(hostsim_ti_camera_control, "21ExternalCameraControl")
#undef SDK_TYPE
#undef SDK_DERIVED
// NOLINTEND(bugprone-macro-parentheses)

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
