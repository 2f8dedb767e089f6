// Helpers of the package tests: run a command and read what it printed, read files.
#pragma once

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace package_test {

struct CommandResult {
    int status = -1; // exit status, -1 if the command did not end normally
    std::string out;
};

inline CommandResult RunCommand(const std::string& command) {
    CommandResult r;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = pclose(p);
    if (WIFEXITED(st)) r.status = WEXITSTATUS(st);
    return r;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

inline std::string MakeTempDir() {
    char tmpl[] = "/tmp/corvane-package-XXXXXX";
    const char* d = mkdtemp(tmpl);
    return d ? d : "";
}

} // namespace package_test
