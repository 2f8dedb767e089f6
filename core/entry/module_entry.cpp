// The Corvane module's load and unload hook: starts the module with the host and keeps its exit function.
#include "Orbitersdk.h"
#include "portable.h"

namespace {

typedef void (*ModuleExitFunc)(HINSTANCE);

HINSTANCE moduleInstance = nullptr;
ModuleExitFunc moduleExit = nullptr; // found at load; the module exports none, so it stays null

// Through void(*)(): Windows' FARPROC returns a value, and only the empty signature casts to any other quietly.
ModuleExitFunc ExitFunction(HINSTANCE hModule, const char* name) {
    return reinterpret_cast<ModuleExitFunc>(reinterpret_cast<void (*)()>(GetProcAddress((HMODULE)hModule, name)));
}

void AttachModule(HINSTANCE hModule) {
    moduleInstance = hModule;
    InitLib(hModule);
    moduleExit = ExitFunction(hModule, "ExitModule");
    if (!moduleExit) moduleExit = ExitFunction(hModule, "opcDLLExit");
}

void DetachModule() {
    if (moduleExit) moduleExit(moduleInstance);
}

} // namespace

#ifdef _WIN32

extern "C" BOOL WINAPI DllMain(HINSTANCE hModule, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        AttachModule(hModule);
    else if (reason == DLL_PROCESS_DETACH)
        DetachModule();
    return TRUE;
}

#else

#include <dlfcn.h>

namespace {

// The module's own loader handle, as the host's loader gave it out; found through any address inside it.
HINSTANCE OwnHandle() {
    Dl_info info = {};
    if (!dladdr(reinterpret_cast<void*>(&AttachModule), &info) || !info.dli_fname) return nullptr;
    void* handle = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    // Only a lookup: the loader that is loading the module holds its own reference.
    if (handle) dlclose(handle);
    return handle;
}

__attribute__((constructor)) void CorvaneModuleLoad() {
    AttachModule(OwnHandle());
}

__attribute__((destructor)) void CorvaneModuleUnload() {
    DetachModule();
}

} // namespace

#endif
