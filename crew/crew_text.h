// Small bounded text helpers shared by the crew sources.
#pragma once

#include <cstddef>
#include <cstring>

namespace crewtext {

// Copies at most maxChars characters of src (and never more than the buffer holds), always terminated.
inline void CopyCut(char* dst, size_t dstSize, const char* src, size_t maxChars) {
    if (!dst || dstSize == 0) return;
    size_t n = 0;
    if (src) {
        size_t limit = maxChars < dstSize - 1 ? maxChars : dstSize - 1;
        while (n < limit && src[n]) {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = '\0';
}

// Whole-buffer copy: as much of src as fits.
template <size_t N> inline void Copy(char (&dst)[N], const char* src) {
    CopyCut(dst, N, src, N - 1);
}

inline char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-insensitive equality of two C strings.
inline bool EqualNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (Lower(*a) != Lower(*b)) return false;
        if (!*a) return true;
    }
}

// Case-insensitive comparison of the first n characters (shorter strings differ).
inline bool PrefixNoCase(const char* text, const char* prefix, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (!text[i] || Lower(text[i]) != Lower(prefix[i])) return false;
    }
    return true;
}

// Length of s, counting no further than limit.
inline size_t BoundedLength(const char* s, size_t limit) {
    size_t n = 0;
    while (n < limit && s[n])
        ++n;
    return n;
}

inline void ReplaceChar(char* s, char from, char to) {
    for (; *s; ++s)
        if (*s == from) *s = to;
}

} // namespace crewtext
