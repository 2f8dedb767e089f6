// Tests of module lookup by Windows module name among the loaded shared objects, and of export lookup.
#include "Orbitersdk.h"
#include "portable.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {
typedef int (*ProbeFn)();

int CallProbe(HMODULE h) {
    ProbeFn fn = (ProbeFn)GetProcAddress(h, "ProbeValue");
    return fn ? fn() : -1;
}
} // namespace

TEST(ModuleLookup, ModuleNotLoadedIsNotFoundAndANullNameIsTheProgramItself) {
    EXPECT_EQ(GetModuleHandleA("Probe.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleA("Modules\\OrbiterSound.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleA(""), nullptr);
    EXPECT_EQ(GetModuleHandleA("Modules\\"), nullptr);
    // A null name is the program itself, which exports nothing by the probe's name.
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(GetProcAddress(self, "ProbeValue"), nullptr);
}

TEST(ModuleLookup, LoadedModuleIsFoundByItsDllNameInAnyFolderAndCase) {
    void* lib = dlopen(PROBE_PATH, RTLD_NOW);
    ASSERT_NE(lib, nullptr) << dlerror();
    const char* names[] = {"Probe.dll", "Modules\\Probe.dll", "modules/plugin/Probe.dll", "probe.DLL",
                           "Probe"};
    for (const char* name : names) {
        HMODULE h = GetModuleHandleA(name);
        EXPECT_NE(h, nullptr) << name;
        EXPECT_EQ(CallProbe(h), 42) << name;
    }
    dlclose(lib);
}

TEST(ModuleLookup, LoadedModuleIsFoundBySonameWhenItsFileIsNamedOtherwise) {
    void* lib = dlopen(SONAMED_PATH, RTLD_NOW);
    ASSERT_NE(lib, nullptr) << dlerror();
    HMODULE h = GetModuleHandleA("Modules\\Sonamed.dll");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(CallProbe(h), 42);
    dlclose(lib);
}

TEST(ModuleLookup, LookupKeepsNoReferenceSoTheModuleCanStillUnload) {
    void* lib = dlopen(PROBE_PATH, RTLD_NOW);
    ASSERT_NE(lib, nullptr) << dlerror();
    for (int i = 0; i < 100; i++)
        ASSERT_NE(GetModuleHandleA("Probe.dll"), nullptr);
    ASSERT_EQ(dlclose(lib), 0);
    EXPECT_EQ(GetModuleHandleA("Probe.dll"), nullptr);
}

// The load address a module finds for itself is taken as its handle too.
TEST(ModuleLookup, ExportLookupFindsOnlyWhatIsExportedAndAcceptsTheLoadAddress) {
    void* lib = dlopen(PROBE_PATH, RTLD_NOW);
    ASSERT_NE(lib, nullptr) << dlerror();
    HMODULE h = GetModuleHandleA("Probe.dll");
    EXPECT_EQ(GetProcAddress(h, "ExitModule"), nullptr);
    EXPECT_EQ(GetProcAddress(h, nullptr), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "ProbeValue"), nullptr);
    void* fn = dlsym(lib, "ProbeValue");
    ASSERT_NE(fn, nullptr);
    Dl_info info;
    ASSERT_NE(dladdr(fn, &info), 0);
    EXPECT_EQ(CallProbe((HMODULE)info.dli_fbase), 42);
    EXPECT_EQ(GetProcAddress((HMODULE)info.dli_fbase, "NotThere"), nullptr);
    dlclose(lib);
}

TEST(ModuleLookup, AModuleFindsItselfAndItsExportsFromItsOwnLoadHook) {
    void* lib = dlopen(SELF_LOOKUP_PATH, RTLD_NOW);
    ASSERT_NE(lib, nullptr) << dlerror();
    ProbeFn exportFound = (ProbeFn)dlsym(lib, "ExportFoundAtLoad");
    ProbeFn nameFound = (ProbeFn)dlsym(lib, "NameFoundAtLoad");
    ASSERT_NE(exportFound, nullptr);
    ASSERT_NE(nameFound, nullptr);
    EXPECT_EQ(exportFound(), 42);
    EXPECT_EQ(nameFound(), 1);
    dlclose(lib);
}
