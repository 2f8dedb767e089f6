// The fuzz targets' host: a private root copied from the assembled one, modules pinned, a world per input.
#include "fuzz_host.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace fuzzhost {

namespace {

std::string rootPath;

// The last input's world is shut down before the host's own statics go, so its vessels are freed, not leaked.
void ShutdownWorld() {
    hs::Sim::Get().Shutdown();
}

void RemoveRoot() {
    std::error_code ec;
    if (!rootPath.empty()) fs::remove_all(rootPath, ec);
}

// The host unloads its modules at every shutdown; a module unmapped under the fuzzer would take its
// coverage counters with it, so each one is held open for good.
void PinModules(const fs::path& modules) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(modules, ec); it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.extension() != ".so") continue;
        std::string dir = p.parent_path().filename().string();
        if (dir == "Plugin" || dir == "PluginVariants") continue;
        dlopen(p.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    }
}

void MakeRoot() {
    char pattern[] = "/tmp/corvane-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) Fail("cannot make a private host root");
    rootPath = pattern;
    atexit(RemoveRoot);
    const char* env = getenv("HOSTROOT_DIR");
    fs::path src = env && *env ? env : HOSTROOT_DIR;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(src, ec)) {
        fs::path dst = fs::path(rootPath) / entry.path().filename();
        std::string name = entry.path().filename().string();
        if (name == "Modules" || name == "Sound")
            fs::create_directory_symlink(entry.path(), dst, ec);
        else
            fs::copy(entry.path(), dst, fs::copy_options::recursive, ec);
    }
    PinModules(src / "Modules");
}

} // namespace

const std::string& Root() {
    if (rootPath.empty()) MakeRoot();
    return rootPath;
}

void FreshWorld(double dt) {
    hs::SimOptions opt;
    opt.root = Root();
    opt.dt = dt;
    std::string err;
    if (!hs::Sim::Get().Init(opt, &err)) Fail(err.c_str());
    static const bool registered = atexit(ShutdownWorld) == 0;
    (void)registered;
}

void WriteFile(const std::string& rel, const std::string& bytes) {
    fs::path p = fs::path(Root()) / rel;
    std::error_code ec;
    fs::create_directories(p.parent_path(), ec);
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Text(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

void Fail(const char* what) {
    fprintf(stderr, "fuzz invariant broken: %s\n", what);
    abort();
}

} // namespace fuzzhost

// Before the first input: the private root is made and the modules are pinned while the fuzzer is still
// setting up, not in the middle of a measured run.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzhost::Root();
    return 0;
}
