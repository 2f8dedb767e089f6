// Small text helpers shared by the host stand-in and the tools built beside it (the real host's script
// player).
#pragma once

#include "portable.h"

#include <cstdarg>
#include <cstddef>
#include <string>
#include <vector>

namespace hs {

bool IEquals(const char* a, const char* b);
bool IPrefix(const char* line, const char* key); // line starts with key, any case
std::string Trim(const std::string& s);
// The lines of a regular file of at most TEXT_FILE_MAX bytes; false with why (when given) otherwise.
constexpr size_t TEXT_FILE_MAX = 64u << 20;
bool ReadLines(const std::string& path, std::vector<std::string>& lines, std::string* why = nullptr);
std::string Fmt(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string VFmt(const char* fmt, va_list ap);
// The name of the list nearest to a mistyped word (any case), or "" when none is near enough to be meant.
std::string Nearest(const std::string& word, const std::vector<std::string>& names);

// Key names as the host's key codes spell them without the OAPI_KEY_ prefix.
bool KeyFromName(const std::string& name, DWORD* code);
const char* KeyName(DWORD code); // "?" for a code without a name

} // namespace hs
