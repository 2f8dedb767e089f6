// POSIX implementation of the Windows process and file services: module lookup, directory walks, path
// spelling.
#ifndef _WIN32

#include "portable.h"

#include <algorithm>
#include <ctype.h>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <new>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t PATH_BUFFER = 4096; // longest path handled, terminator included

// '*' matches any run of characters, '?' exactly one; letters match without regard to case, as on Windows.
bool WildcardMatch(const char* pattern, const char* name) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' ||
                   (*pattern && tolower((unsigned char)*pattern) == tolower((unsigned char)*name))) {
            pattern++;
            name++;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        pattern++;
    return *pattern == '\0';
}

// Looks for comp in dir. An exact match keeps comp; otherwise the first case-insensitive match in name order
// replaces it. Returns whether anything matched.
bool ResolveComponent(const char* dir, char* comp, size_t compSize) {
    DIR* d = opendir(dir[0] ? dir : ".");
    if (!d) return false;
    char best[256] = "";
    bool exact = false;
    while (dirent* e = readdir(d)) {
        if (strcmp(e->d_name, comp) == 0) {
            exact = true;
            break;
        }
        if (strcasecmp(e->d_name, comp) == 0 && (best[0] == '\0' || strcmp(e->d_name, best) < 0))
            snprintf(best, sizeof best, "%s", e->d_name);
    }
    closedir(d);
    if (exact) return true;
    if (best[0] == '\0') return false;
    snprintf(comp, compSize, "%s", best);
    return true;
}

bool Append(char* buf, size_t& len, const char* text, size_t n) {
    if (len + n >= PATH_BUFFER) return false;
    memcpy(buf + len, text, n);
    len += n;
    buf[len] = '\0';
    return true;
}

struct FoundEntry {
    char name[MAX_PATH];
    DWORD attributes;
    uint64_t size;
};

struct FindState {
    std::vector<FoundEntry> entries;
    size_t next = 0;
};

void FillFindData(const FoundEntry& e, WIN32_FIND_DATAA* data) {
    memset(data, 0, sizeof *data);
    data->dwFileAttributes = e.attributes;
    data->nFileSizeHigh = (DWORD)(e.size >> 32);
    data->nFileSizeLow = (DWORD)(e.size & 0xffffffffu);
    snprintf(data->cFileName, sizeof data->cFileName, "%s", e.name);
}

// The file name Windows would give module "name": directory dropped, ".dll" becomes ".so", no extension gets
// ".so".
bool SharedObjectName(const char* name, char* out, size_t outSize) {
    const char* base = name;
    for (const char* p = name; *p; p++)
        if (*p == '/' || *p == '\\') base = p + 1;
    size_t n = strlen(base);
    if (n == 0) return false;
    int written;
    if (n > 4 && strcasecmp(base + n - 4, ".dll") == 0)
        written = snprintf(out, outSize, "%.*s.so", (int)(n - 4), base);
    else if (!strchr(base, '.'))
        written = snprintf(out, outSize, "%s.so", base);
    else
        written = snprintf(out, outSize, "%s", base);
    return written > 0 && (size_t)written < outSize;
}

struct LoadedSearch {
    const char* fileName; // in: name to find among the loaded objects' file names, without regard to case
    const void* base;     // in: load address to find (when fileName is null)
    char path[PATH_BUFFER];
    bool found;
    bool isProgram;
};

int VisitLoadedObject(dl_phdr_info* info, size_t, void* data) {
    LoadedSearch* s = static_cast<LoadedSearch*>(data);
    const char* path = info->dlpi_name ? info->dlpi_name : "";
    if (s->fileName) {
        if (!path[0]) return 0;
        const char* slash = strrchr(path, '/');
        if (strcasecmp(slash ? slash + 1 : path, s->fileName) != 0) return 0;
    } else {
        // dladdr reports an object's base as the page where its first loaded segment starts; the load bias
        // is accepted too.
        uintptr_t lowest = UINTPTR_MAX;
        for (int i = 0; i < info->dlpi_phnum; i++)
            if (info->dlpi_phdr[i].p_type == PT_LOAD)
                lowest = std::min<uintptr_t>(lowest, info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
        if (lowest == UINTPTR_MAX) return 0;
        uintptr_t wanted = (uintptr_t)s->base;
        uintptr_t pageStart = lowest & ~(uintptr_t)4095;
        if (wanted != lowest && wanted != pageStart && !(wanted == info->dlpi_addr && wanted != 0)) return 0;
    }
    s->isProgram = !path[0];
    snprintf(s->path, sizeof s->path, "%s", path);
    s->found = true;
    return 1;
}

// dlopen handle of an object that is already loaded, without keeping a reference to it.
void* HandleOfLoaded(const char* pathOrName, bool isProgram) {
    void* h = isProgram ? dlopen(nullptr, RTLD_NOW) : dlopen(pathOrName, RTLD_NOW | RTLD_NOLOAD);
    if (h) dlclose(h);
    return h;
}

} // namespace

namespace {

// A loaded object of that file name: by soname first, then by file name in any spelling, as Windows ignores case.
void* LoadedObjectNamed(const char* soName) {
    if (void* h = HandleOfLoaded(soName, false)) return h;
    LoadedSearch search = {};
    search.fileName = soName;
    dl_iterate_phdr(VisitLoadedObject, &search);
    if (!search.found) return nullptr;
    return HandleOfLoaded(search.path, search.isProgram);
}

} // namespace

HMODULE GetModuleHandleA(const char* lpModuleName) {
    if (!lpModuleName) return HandleOfLoaded(nullptr, true);
    char soName[MAX_PATH];
    if (!SharedObjectName(lpModuleName, soName, sizeof soName)) return nullptr;
    // The Linux host loads plugin "X" as "Modules/Plugin/libX.so".
    char libName[MAX_PATH];
    int n = snprintf(libName, sizeof libName, "lib%s", soName);
    if (n > 0 && (size_t)n < sizeof libName)
        if (void* h = LoadedObjectNamed(libName)) return h;
    return LoadedObjectNamed(soName);
}

FARPROC GetProcAddress(HMODULE hModule, const char* lpProcName) {
    if (!hModule || !lpProcName) return nullptr;
    void* symbol = nullptr;
    LoadedSearch search = {};
    search.base = hModule;
    dl_iterate_phdr(VisitLoadedObject, &search);
    if (search.found) {
        // A load address, as dladdr gives a module for itself: find its dlopen handle first.
        void* h = search.isProgram ? dlopen(nullptr, RTLD_NOW) : dlopen(search.path, RTLD_NOW | RTLD_NOLOAD);
        if (!h) return nullptr;
        symbol = dlsym(h, lpProcName);
        dlclose(h);
    } else {
        symbol = dlsym(hModule, lpProcName);
    }
    return reinterpret_cast<FARPROC>(symbol);
}

HANDLE FindFirstFileA(const char* lpFileName, WIN32_FIND_DATAA* lpFindFileData) {
    if (!lpFileName || !lpFindFileData) return INVALID_HANDLE_VALUE;
    char path[PATH_BUFFER];
    if (!TranslatePath(lpFileName, path, sizeof path)) return INVALID_HANDLE_VALUE;
    char* slash = strrchr(path, '/');
    const char* pattern = slash ? slash + 1 : path;
    if (!pattern[0]) return INVALID_HANDLE_VALUE;
    char dir[PATH_BUFFER];
    if (slash)
        snprintf(dir, sizeof dir, "%.*s", (int)(slash - path) > 0 ? (int)(slash - path) : 1, path);
    else
        snprintf(dir, sizeof dir, ".");
    // "*.*" takes names without a dot too, as Windows does.
    if (strcmp(pattern, "*.*") == 0) pattern = "*";

    DIR* d = opendir(dir);
    if (!d) return INVALID_HANDLE_VALUE;
    FindState* state = new (std::nothrow) FindState;
    if (!state) {
        closedir(d);
        return INVALID_HANDLE_VALUE;
    }
    while (dirent* e = readdir(d)) {
        if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0) continue;
        if (!WildcardMatch(pattern, e->d_name)) continue;
        FoundEntry found = {};
        snprintf(found.name, sizeof found.name, "%s", e->d_name);
        struct stat st;
        if (fstatat(dirfd(d), e->d_name, &st, 0) == 0) {
            found.attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
            found.size = S_ISDIR(st.st_mode) ? 0 : (uint64_t)st.st_size;
        } else {
            found.attributes = FILE_ATTRIBUTE_NORMAL; // a dangling link is still a name in the folder
        }
        state->entries.push_back(found);
    }
    closedir(d);
    if (state->entries.empty()) {
        delete state;
        return INVALID_HANDLE_VALUE;
    }
    // readdir has no order of its own; name order makes every walk the same.
    std::sort(state->entries.begin(), state->entries.end(), [](const FoundEntry& a, const FoundEntry& b) {
        int c = strcasecmp(a.name, b.name);
        return c != 0 ? c < 0 : strcmp(a.name, b.name) < 0;
    });
    FillFindData(state->entries[0], lpFindFileData);
    state->next = 1;
    return state;
}

BOOL FindNextFileA(HANDLE hFindFile, WIN32_FIND_DATAA* lpFindFileData) {
    if (!hFindFile || hFindFile == INVALID_HANDLE_VALUE || !lpFindFileData) return FALSE;
    FindState* state = static_cast<FindState*>(hFindFile);
    if (state->next >= state->entries.size()) return FALSE;
    FillFindData(state->entries[state->next++], lpFindFileData);
    return TRUE;
}

BOOL FindClose(HANDLE hFindFile) {
    if (!hFindFile || hFindFile == INVALID_HANDLE_VALUE) return FALSE;
    delete static_cast<FindState*>(hFindFile);
    return TRUE;
}

bool TranslatePath(const char* winPath, char* out, size_t outSize) {
    if (!out || outSize == 0) return false;
    out[0] = '\0';
    if (!winPath) return false;
    size_t inLen = strlen(winPath);
    if (inLen >= PATH_BUFFER) return false;

    char result[PATH_BUFFER] = "";
    size_t len = 0;
    const char* p = winPath;
    if (*p == '/' || *p == '\\') {
        Append(result, len, "/", 1);
        while (*p == '/' || *p == '\\')
            p++;
    }
    // Once a component is missing nothing below it can exist, so the rest keeps its spelling.
    bool probing = true;
    while (*p) {
        size_t n = strcspn(p, "/\\");
        char comp[PATH_BUFFER];
        memcpy(comp, p, n);
        comp[n] = '\0';
        bool special = strcmp(comp, ".") == 0 || strcmp(comp, "..") == 0;
        if (probing && !special) probing = n < 256 && ResolveComponent(result, comp, sizeof comp);
        if (!Append(result, len, comp, strlen(comp))) return false;
        p += n;
        if (!*p) break;
        if (!Append(result, len, "/", 1)) return false;
        while (*p == '/' || *p == '\\')
            p++;
    }
    if (len >= outSize) return false;
    memcpy(out, result, len + 1);
    return true;
}

FILE* PortableOpen(const char* winPath, const char* mode) {
    if (!mode) return nullptr;
    // Windows' text-mode letter has no meaning here: drop it rather than rely on fopen passing over it.
    char posixMode[16];
    size_t n = 0;
    for (const char* m = mode; *m && n + 1 < sizeof posixMode; m++)
        if (*m != 't') posixMode[n++] = *m;
    posixMode[n] = '\0';
    char path[PATH_BUFFER];
    if (!TranslatePath(winPath, path, sizeof path)) return nullptr;
    if (posixMode[0] == 'r' && !strchr(posixMode, '+')) return fopen(path, posixMode);
    // A file written under the host root is never a link: one placed there would have the write land on
    // whatever file it points at.
    int flags = O_NOFOLLOW | O_CLOEXEC | (strchr(posixMode, '+') ? O_RDWR : O_WRONLY);
    if (posixMode[0] == 'w') flags |= O_CREAT | O_TRUNC;
    if (posixMode[0] == 'a') flags |= O_CREAT | O_APPEND;
    int fd = open(path, flags, 0666);
    if (fd < 0) return nullptr;
    FILE* f = fdopen(fd, posixMode);
    if (!f) close(fd);
    return f;
}

#endif // _WIN32
