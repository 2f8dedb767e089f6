// Host file services: class-file items, scenario lines and the general file calls.
#include "host.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace hs;

namespace {

// The host reads class files with a 512-byte line buffer; longer lines are cut, not split.
constexpr size_t CFG_LINE_MAX = 511;
// The host copies an item's value unbounded; ours stops at 255 characters so a 256-byte buffer is always safe.
constexpr size_t ITEM_VALUE_MAX = 255;

std::string StripComment(const std::string& raw) {
    std::string s = raw.substr(0, CFG_LINE_MAX);
    size_t semi = s.find(';');
    if (semi != std::string::npos) s.erase(semi);
    return Trim(s);
}

// The first line whose key matches decides; END_PARSE ends the search.
bool FindItem(HostFile* f, const char* item, std::string& value) {
    for (const std::string& raw : f->lines) {
        std::string line = StripComment(raw);
        if (IEquals(line.c_str(), "END_PARSE")) return false;
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = Trim(line.substr(0, eq));
        if (!IEquals(key.c_str(), item)) continue;
        value = Trim(line.substr(eq + 1));
        return !value.empty();
    }
    return false;
}

HostFile* ReadableCfg(FILEHANDLE f, const char* fn, const char* item) {
    HostFile* hf = CheckFile(f, fn);
    if (!hf) return nullptr;
    if (!item) {
        Misuse("%s: null item name", fn);
        return nullptr;
    }
    return hf;
}

HostFile* Writable(FILEHANDLE f, const char* fn) {
    HostFile* hf = CheckFile(f, fn);
    if (!hf) return nullptr;
    if (!hf->out && !hf->fp) {
        Misuse("%s: file not open for writing", fn);
        return nullptr;
    }
    return hf;
}

// A module's file is written where it is, never through a link placed at its name.
FILE* OpenNoLink(const std::string& path, bool append) {
    int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0666);
    if (fd < 0) return nullptr;
    FILE* fp = fdopen(fd, append ? "a" : "w");
    if (!fp) close(fd);
    return fp;
}

const char* RootFolder(PathRoot root) {
    switch (root) {
    case CONFIG: return "Config/";
    case SCENARIOS: return "Scenarios/";
    case TEXTURES: return "Textures/";
    case TEXTURES2: return "Textures2/";
    case MESHES: return "Meshes/";
    case MODULES: return "Modules/";
    default: return "";
    }
}

} // namespace

bool oapiReadItem_string(FILEHANDLE f, const char* item, char* string) {
    HostFile* hf = ReadableCfg(f, "oapiReadItem_string", item);
    if (!hf || !string) return false;
    std::string value;
    if (!FindItem(hf, item, value)) return false;
    size_t n = value.size() < ITEM_VALUE_MAX ? value.size() : ITEM_VALUE_MAX;
    memcpy(string, value.data(), n);
    string[n] = '\0';
    return true;
}

bool oapiReadItem_float(FILEHANDLE f, const char* item, double& val) {
    HostFile* hf = ReadableCfg(f, "oapiReadItem_float", item);
    std::string value;
    if (!hf || !FindItem(hf, item, value)) return false;
    double d;
    if (sscanf(value.c_str(), "%lf", &d) != 1) return false;
    val = d;
    return true;
}

bool oapiReadItem_int(FILEHANDLE f, const char* item, int& val) {
    HostFile* hf = ReadableCfg(f, "oapiReadItem_int", item);
    std::string value;
    if (!hf || !FindItem(hf, item, value)) return false;
    int i;
    if (sscanf(value.c_str(), "%d", &i) != 1) return false;
    val = i;
    return true;
}

bool oapiReadItem_bool(FILEHANDLE f, const char* item, bool& val) {
    HostFile* hf = ReadableCfg(f, "oapiReadItem_bool", item);
    std::string value;
    if (!hf || !FindItem(hf, item, value)) return false;
    if (IPrefix(value.c_str(), "true")) val = true;
    else if (IPrefix(value.c_str(), "false")) val = false;
    else return false;
    return true;
}

bool oapiReadItem_vec(FILEHANDLE f, const char* item, VECTOR3& val) {
    HostFile* hf = ReadableCfg(f, "oapiReadItem_vec", item);
    std::string value;
    if (!hf || !FindItem(hf, item, value)) return false;
    double x, y, z;
    if (sscanf(value.c_str(), "%lf%lf%lf", &x, &y, &z) != 3) return false;
    val = _V(x, y, z);
    return true;
}

void oapiWriteItem_string(FILEHANDLE f, const char* item, const char* string) {
    HostFile* hf = Writable(f, "oapiWriteItem_string");
    if (hf && item && string) WriteLine(hf, Fmt("%s = %s", item, string));
}

void oapiWriteItem_float(FILEHANDLE f, const char* item, double val) {
    HostFile* hf = Writable(f, "oapiWriteItem_float");
    if (hf && item) WriteLine(hf, Fmt("%s = %g", item, val));
}

void oapiWriteItem_int(FILEHANDLE f, const char* item, int val) {
    HostFile* hf = Writable(f, "oapiWriteItem_int");
    if (hf && item) WriteLine(hf, Fmt("%s = %d", item, val));
}

void oapiWriteItem_bool(FILEHANDLE f, const char* item, bool val) {
    HostFile* hf = Writable(f, "oapiWriteItem_bool");
    if (hf && item) WriteLine(hf, Fmt("%s = %s", item, val ? "TRUE" : "FALSE"));
}

void oapiWriteItem_vec(FILEHANDLE f, const char* item, const VECTOR3& val) {
    HostFile* hf = Writable(f, "oapiWriteItem_vec");
    if (hf && item) WriteLine(hf, Fmt("%s = %g %g %g", item, val.x, val.y, val.z));
}

void oapiWriteScenario_string(FILEHANDLE scn, const char* item, const char* string) {
    HostFile* hf = Writable(scn, "oapiWriteScenario_string");
    if (hf && item && string) WriteLine(hf, Fmt("  %s %s", item, string));
}

void oapiWriteScenario_int(FILEHANDLE scn, const char* item, int i) {
    HostFile* hf = Writable(scn, "oapiWriteScenario_int");
    if (hf && item) WriteLine(hf, Fmt("  %s %d", item, i));
}

// Fixed notation with the decimals the scenario's earlier lines left (six in files the module opened).
void oapiWriteScenario_float(FILEHANDLE scn, const char* item, double d) {
    HostFile* hf = Writable(scn, "oapiWriteScenario_float");
    if (hf && item) WriteLine(hf, Fmt("  %s %0.*f", item, hf->precision, d));
}

void oapiWriteScenario_vec(FILEHANDLE scn, const char* item, const VECTOR3& vec) {
    HostFile* hf = Writable(scn, "oapiWriteScenario_vec");
    const int p = hf ? hf->precision : 0;
    if (hf && item) WriteLine(hf, Fmt("  %s %0.*f %0.*f %0.*f", item, p, vec.x, p, vec.y, p, vec.z));
}

// False at the end of the file or at the block's END; once a block has ended, every further call is false too,
// so a reader that keeps asking cannot run into the next vessel's block.
bool oapiReadScenario_nextline(FILEHANDLE scn, char*& line) {
    HostFile* hf = CheckFile(scn, "oapiReadScenario_nextline");
    if (!hf) return false;
    if (hf->kind != HostFile::SCENARIO_READ) {
        Misuse("oapiReadScenario_nextline: not a scenario being read");
        return false;
    }
    const std::vector<std::string>& lines = hf->Lines();
    if (hf->blockDone || hf->next >= lines.size()) {
        hf->blockDone = true;
        return false;
    }
    const std::string& raw = lines[hf->next++];
    std::string s = raw;
    size_t semi = s.find(';');
    if (semi != std::string::npos) s.erase(semi);
    s = Trim(s);
    if (IEquals(s.c_str(), "END")) {
        hf->blockDone = true;
        hf->sawEnd = true;
        return false;
    }
    hf->lineBuf = s;
    line = &hf->lineBuf[0];
    return true;
}

FILEHANDLE oapiOpenFile(const char* fname, FileAccessMode mode, PathRoot root) {
    if (!fname) {
        Misuse("oapiOpenFile: null file name");
        return nullptr;
    }
    std::string path = HostPath(std::string(RootFolder(root)) + fname);
    if (!StaysUnderRoot(path)) {
        Say("warning: oapiOpenFile: %s refused: it lies outside the host root", fname);
        return nullptr;
    }
    SlotPtr<HostFile> f = MakeSlot<HostFile>(nullptr);
    f->path = path;
    if (mode == FILE_IN || mode == FILE_IN_ZEROONFAIL) {
        f->kind = HostFile::GENERIC_READ;
        if (!ReadLines(path, f->lines) && mode == FILE_IN_ZEROONFAIL) return nullptr;
    } else {
        f->kind = HostFile::GENERIC_WRITE;
        f->fp = OpenNoLink(path, mode == FILE_APP);
        if (!f->fp) return nullptr;
    }
    W().openFiles.push_back(std::move(f));
    return W().openFiles.back().get();
}

void oapiCloseFile(FILEHANDLE f, FileAccessMode) {
    World& w = W();
    HostFile* hf = Slots<HostFile>().Find(f);
    for (size_t i = 0; hf && i < w.openFiles.size(); ++i) {
        if (w.openFiles[i].get() != hf) continue;
        if (w.openFiles[i]->fp) fclose(w.openFiles[i]->fp);
        w.openFiles.erase(w.openFiles.begin() + (long)i);
        return;
    }
    Misuse("oapiCloseFile: not a file the host opened");
}

void oapiWriteLine(FILEHANDLE f, const char* line) {
    HostFile* hf = Writable(f, "oapiWriteLine");
    if (hf && line) WriteLine(hf, line);
}

namespace hs {

namespace {

bool WriteFailed(WholeFile& f, const std::string& what, std::string* err) {
    if (err)
        *err =
            f.path + ": " + what + ": " + strerror(errno) + (f.temp.empty() ? "" : "; the old file is kept");
    WholeFileAbandon(f);
    return false;
}

// The mode a new file gets, or the one the file it replaces had.
mode_t NewFileMode(const struct stat* old) {
    if (old) return old->st_mode & 07777;
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool WholeFileOpen(WholeFile& f, const std::string& path, std::string* err) {
    f = WholeFile();
    f.path = path;
    struct stat st;
    bool exists = stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        f.fp = fopen(path.c_str(), "w");
        if (!f.fp) return WriteFailed(f, "cannot write", err);
        return true;
    }
    std::string temp = path + ".XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0) return WriteFailed(f, "cannot write a file in its folder", err);
    f.temp = temp;
    f.fp = fdopen(fd, "w");
    if (!f.fp) {
        close(fd);
        return WriteFailed(f, "cannot write", err);
    }
    if (fchmod(fd, NewFileMode(exists ? &st : nullptr)) != 0)
        return WriteFailed(f, "cannot set its mode", err);
    return true;
}

bool WholeFileCommit(WholeFile& f, std::string* err) {
    if (!f.fp) return WriteFailed(f, "not open", err);
    bool written = fflush(f.fp) == 0 && !ferror(f.fp);
    // A disk that is full may fail only when the data reaches it.
    if (written && !f.temp.empty()) written = fsync(fileno(f.fp)) == 0;
    FILE* fp = f.fp;
    f.fp = nullptr;
    if (fclose(fp) != 0) written = false;
    if (!written) return WriteFailed(f, "write failed", err);
    if (!f.temp.empty() && rename(f.temp.c_str(), f.path.c_str()) != 0)
        return WriteFailed(f, "cannot replace", err);
    f.temp.clear();
    return true;
}

void WholeFileAbandon(WholeFile& f) {
    if (f.fp) fclose(f.fp);
    f.fp = nullptr;
    if (!f.temp.empty()) unlink(f.temp.c_str());
    f.temp.clear();
}

bool WriteWholeFile(const std::string& path, const std::string& text, std::string* err) {
    WholeFile f;
    if (!WholeFileOpen(f, path, err)) return false;
    if (fwrite(text.data(), 1, text.size(), f.fp) != text.size()) return WriteFailed(f, "write failed", err);
    return WholeFileCommit(f, err);
}

} // namespace hs
