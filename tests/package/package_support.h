// Helpers of the package tests: run a command and read what it printed, read files.
#pragma once

#include "test_io.h"

#include <cstdlib>
#include <string>

namespace package_test {

using testio::CommandResult;
using testio::ReadFile;
using testio::RunCommand;

inline std::string MakeTempDir() {
    char tmpl[] = "/tmp/corvane-package-XXXXXX";
    const char* d = mkdtemp(tmpl);
    return d ? d : "";
}

} // namespace package_test
