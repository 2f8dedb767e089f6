// Class files and modules: resolving a class to its file, loading vessel and plugin modules with dlopen.
#include "host.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>

namespace hs {

static bool IsFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Config/Vessels/<class>.cfg first, then Config/<class>.cfg; the class may name a subfolder with backslashes,
// never a way out of those two folders.
bool OpenClassFile(const std::string& className, HostFile& f, std::string* err) {
    std::string refusal = PathNameRefusal(className, "vessel class", true);
    if (!refusal.empty()) {
        if (err) *err = refusal;
        return false;
    }
    const std::string tries[2] = {"Config\\Vessels\\" + className + ".cfg", "Config\\" + className + ".cfg"};
    for (const std::string& t : tries) {
        std::string path = HostPath(t);
        if (!StaysUnderRoot(path) || !IsFile(path)) continue;
        f.kind = HostFile::CONFIG;
        f.path = path;
        if (ReadLines(path, f.lines)) return true;
    }
    if (err) *err = "class file not found: " + HostPath(tries[0]) + " (nor " + HostPath(tries[1]) + ")";
    return false;
}

static bool InitLibRan(void* dl) {
    for (void* h : W().initLibHandles)
        if (h == dl) return true;
    return false;
}

template <typename F> static F Sym(void* dl, const char* name) {
    return reinterpret_cast<F>(dlsym(dl, name));
}

// A module whose own load hook did not call InitLib gets its InitModule from us, and its ExitModule at unload.
static void (*StartModule(void* dl))(HINSTANCE) {
    if (InitLibRan(dl)) return nullptr;
    auto init = Sym<void (*)(HINSTANCE)>(dl, "InitModule");
    if (!init) init = Sym<void (*)(HINSTANCE)>(dl, "opcDLLInit");
    if (init) init(dl);
    auto exit = Sym<void (*)(HINSTANCE)>(dl, "ExitModule");
    if (!exit) exit = Sym<void (*)(HINSTANCE)>(dl, "opcDLLExit");
    return exit;
}

LoadedModule* LoadModule(const std::string& name, std::string* err) {
    World& w = W();
    for (auto& m : w.modules)
        if (IEquals(m->name.c_str(), name.c_str())) return m.get();
    std::string refusal = PathNameRefusal(name, "Module", true);
    if (!refusal.empty()) {
        if (err) *err = refusal;
        return nullptr;
    }
    std::string base = name;
    if (base.size() > 4 && IEquals(base.c_str() + base.size() - 4, ".dll")) base.resize(base.size() - 4);
    // The Linux host's name for module D\M is Modules/D/libM.so; ours may also be M.so.
    const size_t cut = base.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? "" : base.substr(0, cut + 1);
    const std::string file = cut == std::string::npos ? base : base.substr(cut + 1);
    std::string path = HostPath("Modules\\" + folder + "lib" + file + ".so");
    if (!IsFile(path)) path = HostPath("Modules\\" + base + ".so");
    if (!StaysUnderRoot(path) || !IsFile(path)) {
        if (err) *err = "module not found: " + path;
        return nullptr;
    }
    void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!dl) {
        if (err) *err = "cannot load module " + path + ": " + dlerror();
        return nullptr;
    }
    auto m = std::make_unique<LoadedModule>();
    m->name = name;
    m->path = path;
    m->dl = dl;
    m->init = Sym<VESSEL* (*)(OBJHANDLE, int)>(dl, "ovcInit");
    m->exit = Sym<void (*)(VESSEL*)>(dl, "ovcExit");
    m->exitModule = StartModule(dl);
    Trace("module %s loaded from %s", name.c_str(), path.c_str());
    w.modules.push_back(std::move(m));
    return w.modules.back().get();
}

void UnloadModules() {
    World& w = W();
    for (auto it = w.modules.rbegin(); it != w.modules.rend(); ++it) {
        if ((*it)->exitModule) (*it)->exitModule((*it)->dl);
        dlclose((*it)->dl);
    }
    w.modules.clear();
}

// A plugin is loaded global so that other modules find it by its soname, as GetModuleHandleA does.
bool LoadPlugins(std::string* err) {
    World& w = W();
    for (const std::string& name : w.opt.plugins) {
        std::string path = name;
        // A name with '/' is a path the program itself was given; any other name is looked up in
        // Modules/Plugin.
        if (name.find('/') == std::string::npos) {
            std::string refusal = PathNameRefusal(name, "plugin");
            if (!refusal.empty()) {
                if (err) *err = refusal;
                return false;
            }
            // As the Linux host names its plugins: Modules/Plugin/libX.so, else our X.so.
            path = HostPath("Modules\\Plugin\\lib" + name + ".so");
            if (!IsFile(path)) path = HostPath("Modules\\Plugin\\" + name + ".so");
        }
        void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
        if (!dl) {
            if (err) *err = "cannot load plugin " + path + ": " + dlerror();
            return false;
        }
        Plugin p;
        p.name = name;
        p.dl = dl;
        p.frame = Sym<void (*)(double)>(dl, "hostsimPluginFrame");
        p.exitModule = StartModule(dl);
        w.plugins.push_back(p);
        Trace("plugin %s loaded from %s", name.c_str(), path.c_str());
    }
    return true;
}

void UnloadPlugins() {
    World& w = W();
    for (auto it = w.plugins.rbegin(); it != w.plugins.rend(); ++it) {
        if (it->exitModule) it->exitModule(it->dl);
        dlclose(it->dl);
    }
    w.plugins.clear();
}

} // namespace hs

using namespace hs;

// Called by a module's load hook with its own handle: note its build stamp, then start it.
DLLEXPORT void InitLib(HINSTANCE hModule) {
    if (!hModule) return;
    World& w = W();
    w.initLibHandles.push_back(hModule);
    auto date = Sym<char* (*)()>(hModule, "ModuleDate");
    auto version = Sym<int (*)()>(hModule, "GetModuleVersion");
    Trace("module start: date %s, version %d", date ? date() : "?", version ? version() : 0);
    auto init = Sym<void (*)(HINSTANCE)>(hModule, "InitModule");
    if (!init) init = Sym<void (*)(HINSTANCE)>(hModule, "opcDLLInit");
    if (init) init(hModule);
}

// "Aug 30 2010" -> 100830 (yymmdd).
DLLEXPORT int Date2Int(const char* date) {
    static const char* const MONTHS[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (!date) return 0;
    char mon[4] = {};
    int day = 0, year = 0;
    if (sscanf(date, "%3s %d %d", mon, &day, &year) != 3) return 0;
    int m = 0;
    for (int i = 0; i < 12; ++i)
        if (strcmp(mon, MONTHS[i]) == 0) m = i + 1;
    return (year % 100) * 10000 + m * 100 + day;
}

// Modules built with ORBITER_MODULE call this at link level only.
DLLEXPORT void dummy() {}

// The module services the SDK's load hook calls for the module it sits in: a reference of its own, a lookup,
// a release.
DLLEXPORT MODULEHANDLE oapiModuleLoad(const char* name) {
    if (!name || !name[0]) {
        Misuse("oapiModuleLoad: no file name");
        return nullptr;
    }
    void* dl = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!dl) Say("oapiModuleLoad: cannot load %s: %s", name, dlerror());
    return dl;
}

DLLEXPORT void oapiModuleUnload(MODULEHANDLE hModule) {
    if (!hModule) {
        Misuse("oapiModuleUnload: null module handle");
        return;
    }
    dlclose(hModule);
}

DLLEXPORT void* oapiModuleGetProcAddress(MODULEHANDLE hModule, const char* func) {
    if (!hModule || !func) {
        Misuse("oapiModuleGetProcAddress: null %s", hModule ? "name" : "module handle");
        return nullptr;
    }
    // The SDK's load hook looks up its module's InitModule to call it, and its ExitModule to call at unload:
    // such a module starts and ends itself, and the host must not do it a second time.
    if (!strcmp(func, "InitModule") || !strcmp(func, "opcDLLInit")) {
        std::vector<void*>& started = W().initLibHandles;
        if (std::find(started.begin(), started.end(), hModule) == started.end()) started.push_back(hModule);
    }
    return dlsym(hModule, func);
}
