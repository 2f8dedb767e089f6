// Small text helpers shared by the host stand-in and the tools built beside it: case-blind comparison,
// trimming, printf into a string, whole-file line reading and the nearest name to a mistyped word.
#include "text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>

namespace hs {

std::string VFmt(const char* fmt, va_list ap) {
    char buf[1024];
    va_list ap2;
    va_copy(ap2, ap);
    int n = vsnprintf(buf, sizeof buf, fmt, ap);
    std::string s;
    if (n >= (int)sizeof buf) {
        s.resize((size_t)n + 1);
        vsnprintf(&s[0], s.size(), fmt, ap2);
        s.resize((size_t)n);
    } else if (n > 0) {
        s.assign(buf, (size_t)n);
    }
    va_end(ap2);
    return s;
}

std::string Fmt(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string s = VFmt(fmt, ap);
    va_end(ap);
    return s;
}

bool IEquals(const char* a, const char* b) {
    return strcasecmp(a, b) == 0;
}

bool IPrefix(const char* line, const char* key) {
    return strncasecmp(line, key, strlen(key)) == 0;
}

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return std::string();
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines, std::string* why) {
    auto fail = [why](const std::string& what) {
        if (why) *why = what;
        return false;
    };
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return fail(strerror(errno));
    struct stat st;
    bool regular = fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode);
    // A folder, a device or a pipe is no file to read: /dev/zero would never end.
    if (!regular || st.st_size > (off_t)TEXT_FILE_MAX) {
        fclose(f);
        return fail(regular ? Fmt("larger than %zu bytes", TEXT_FILE_MAX)
                            : std::string("not a regular file"));
    }
    std::string text((size_t)st.st_size, '\0');
    size_t got = fread(&text[0], 1, text.size(), f);
    fclose(f);
    text.resize(got);
    lines.clear();
    for (size_t start = 0; start < text.size();) {
        size_t nl = text.find('\n', start);
        size_t end = nl == std::string::npos ? text.size() : nl;
        lines.emplace_back(text, start, end - start);
        if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
        start = end + 1;
    }
    return true;
}

namespace {

// Edits (insert, delete, change a letter) that turn a into b, letters compared in any case.
size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            bool same = tolower((unsigned char)a[i - 1]) == tolower((unsigned char)b[j - 1]);
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

std::string Nearest(const std::string& word, const std::vector<std::string>& names) {
    // A third of the word may be wrong, and always two letters: beyond that a hint guesses.
    size_t best = std::max<size_t>(2, word.size() / 3) + 1;
    std::string found;
    for (const std::string& n : names) {
        size_t d = EditDistance(word, n);
        if (d < best) {
            best = d;
            found = n;
        }
    }
    return found;
}

} // namespace hs
