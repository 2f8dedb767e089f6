// hostsim check: which host functions a module file imports, and whether hostsim models each, before any
// flight. The module is read, never loaded: its own start-up code does not run.
#include "cli.h"
#include "exports.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <set>

namespace cli {

namespace {

enum Mark { MODELLED, NOT_MODELLED, MISSING };
constexpr const char* MARK_TEXT[] = {"modelled", "not modelled", "missing"};

struct Import {
    Mark mark;
    std::string name;
};

// The host library's own file: a symbol found there is the host's, one found elsewhere the system's.
std::string HostLibraryFile() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&hs::HostExportCount), &info) || !info.dli_fname) return "";
    return info.dli_fname;
}

// What the libraries the module names, found beside it, define: the module's own siblings, not the host's.
std::set<std::string> SiblingSymbols(const std::string& path, const hs::ElfSymbols& syms) {
    std::set<std::string> out;
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    for (const std::string& lib : syms.needed) {
        hs::ElfSymbols sib;
        std::string err;
        if (hs::ReadElfSymbols(dir + lib, &sib, &err)) out.insert(sib.defined.begin(), sib.defined.end());
    }
    return out;
}

// Whether the process finds the symbol, and in the host library (not the C++ or C library).
bool Provided(const std::string& sym, const std::string& hostLib, bool* byHost) {
    void* at = dlsym(RTLD_DEFAULT, sym.c_str());
    Dl_info info{};
    *byHost = at && dladdr(at, &info) && info.dli_fname && hostLib == info.dli_fname;
    return at != nullptr;
}

std::vector<Import> HostImports(const std::string& path, const hs::ElfSymbols& syms) {
    std::set<std::string> siblings = SiblingSymbols(path, syms);
    std::string hostLib = HostLibraryFile();
    std::vector<Import> out;
    for (const std::string& sym : syms.undefined) {
        long i = hs::HostExportIndex(sym);
        if (i >= 0) {
            out.push_back({hs::HostExportModelled((size_t)i) ? MODELLED : NOT_MODELLED, hs::HostExportAt(i).name});
            continue;
        }
        if (hs::UiExportIndex(sym) >= 0) {
            out.push_back({NOT_MODELLED, hs::Demangled(sym)});
            continue;
        }
        if (siblings.count(sym)) continue;
        bool byHost = false;
        if (!Provided(sym, hostLib, &byHost)) out.push_back({MISSING, hs::Demangled(sym)});
        else if (byHost) out.push_back({MODELLED, hs::Demangled(sym)});
    }
    std::sort(out.begin(), out.end(), [](const Import& a, const Import& b) { return a.name < b.name; });
    return out;
}

int CheckFile(const std::string& path) {
    hs::ElfSymbols syms;
    std::string err;
    if (!hs::ReadElfSymbols(path, &syms, &err)) {
        fprintf(stderr, "hostsim: %s\n", err.c_str());
        return EXIT_MISSING;
    }
    std::vector<Import> imports = HostImports(path, syms);
    int count[3] = {};
    for (const Import& im : imports) {
        printf("%-13s %s\n", MARK_TEXT[im.mark], im.name.c_str());
        ++count[im.mark];
    }
    printf("%s: %zu host functions: %d modelled, %d not modelled, %d missing\n", path.c_str(), imports.size(),
           count[MODELLED], count[NOT_MODELLED], count[MISSING]);
    return count[MISSING] ? EXIT_MISSING : count[NOT_MODELLED] ? EXIT_NOT_MODELLED : EXIT_DONE;
}

// Every function of the real host's export table, and the counts the README gives.
int CheckHost() {
    size_t modelled = 0, n = hs::HostExportCount();
    for (size_t i = 0; i < n; ++i) {
        bool m = hs::HostExportModelled(i);
        modelled += m;
        printf("%-13s %s\n", MARK_TEXT[m ? MODELLED : NOT_MODELLED], hs::HostExportAt(i).name);
    }
    printf("hostsim models %zu of the %zu functions the real host exports to modules\n", modelled, n);
    return EXIT_DONE;
}

} // namespace

int Check(int argc, char** argv, int first) {
    if (first < argc && strcmp(argv[first], "--host") == 0 && first + 1 == argc) return CheckHost();
    if (first >= argc || argv[first][0] == '-') {
        fprintf(stderr, "hostsim: usage: hostsim check MODULE... | hostsim check --host\n");
        return EXIT_BAD_INPUT;
    }
    int status = EXIT_DONE;
    for (int i = first; i < argc; ++i) {
        int s = CheckFile(argv[i]);
        if (s != EXIT_DONE && (status == EXIT_DONE || s < status)) status = s;
    }
    return status;
}

} // namespace cli
