// Safe copies into fixed-size text fields: always terminated, truncated when too long.
#pragma once
#include <cstddef>
#include <cstring>

inline void copy_text(char* dst, size_t size, const char* src) {
    if (size == 0) return;
    if (!src) src = "";
    size_t n = strnlen(src, size - 1);
    memcpy(dst, src, n);
    dst[n] = 0;
}

template <size_t N>
inline void copy_text(char (&dst)[N], const char* src) { copy_text(dst, N, src); }
