// Fuzz target: the crew add-on's ID file names, parsed on their own and read from a folder of such files.
#include "crew/crew_manager.h"
#include "fuzz_host.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr size_t MAX_FILES = 64;
constexpr size_t MAX_FILE_NAME = 250; // bytes the file system takes in one name, with room to spare

void CheckRow(const IdConfigRow& row) {
    if (strnlen(row.code, sizeof row.code) >= sizeof row.code ||
        strnlen(row.profession, sizeof row.profession) >= sizeof row.profession ||
        strnlen(row.meshName, sizeof row.meshName) >= sizeof row.meshName)
        fuzzhost::Fail("a function-code row holds an unterminated text");
}

std::vector<std::string> Names(const std::string& text) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= text.size() && names.size() < MAX_FILES) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> names = Names(fuzzhost::Text(data, size));
    for (const std::string& n : names) {
        IdConfigRow row;
        if (ParseIdConfigFileName(n.c_str(), row)) CheckRow(row);
    }

    // The same names as files of the ID folder, where the file system allows them.
    const fs::path folder = fs::path(fuzzhost::Root()) / "Config" / "UMMUIdConfig";
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder, ec);
    for (std::string n : names) {
        n.resize(strnlen(n.c_str(), n.size())); // a file name ends at its first zero byte
        if (n.size() > MAX_FILE_NAME) n.resize(MAX_FILE_NAME);
        if (n.empty() || n == "." || n == ".." || n.find('/') != std::string::npos) continue;
        fuzzhost::WriteFile("Config/UMMUIdConfig/" + n, "");
    }
    if (chdir(fuzzhost::Root().c_str()) != 0) fuzzhost::Fail("cannot enter the host root");
    CrewManager::LoadIdConfigTable();
    if (idConfigTable.rowCount < 1 || idConfigTable.rowCount > MAX_ID_CONFIG_ROWS)
        fuzzhost::Fail("row count outside the table");
    for (int i = 0; i < idConfigTable.rowCount; ++i) {
        CheckRow(idConfigTable.rows[i]);
        const char* mesh = CrewManager::SelectEvaMesh(idConfigTable.rows[i].code);
        if (!mesh || !mesh[0]) fuzzhost::Fail("no EVA mesh for a function code");
    }
    return 0;
}
