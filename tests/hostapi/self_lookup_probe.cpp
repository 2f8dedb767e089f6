// A stand-in module that looks itself up from its own load hook, as a vessel module's entry code does.
#include "Orbitersdk.h"
#include "portable.h"

#include <dlfcn.h>

extern "C" __attribute__((visibility("default"))) int ProbeValue() {
    return 42;
}

namespace {
int exportResult = -1;    // what the export found through the module's own load address returned
bool foundByName = false; // whether the module's own name found it while loading

__attribute__((constructor)) void LoadHook() {
    Dl_info info = {};
    if (dladdr(reinterpret_cast<void*>(&ProbeValue), &info)) {
        typedef int (*ProbeFn)();
        ProbeFn fn = (ProbeFn)GetProcAddress((HMODULE)info.dli_fbase, "ProbeValue");
        exportResult = fn ? fn() : -2;
    }
    foundByName = GetModuleHandleA("Modules\\SelfLookup.dll") != nullptr;
}
} // namespace

extern "C" __attribute__((visibility("default"))) int ExportFoundAtLoad() {
    return exportResult;
}
extern "C" __attribute__((visibility("default"))) int NameFoundAtLoad() {
    return foundByName ? 1 : 0;
}
