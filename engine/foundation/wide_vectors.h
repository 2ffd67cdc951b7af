// wide_vectors: marks a hot pixel loop to be built twice, once for the baseline processor and
// once with AVX2 (eight 32-bit pixels at a time); the program picks the build once, when it
// starts, by what the processor offers. Same arithmetic, same pixels, either way.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && defined(__linux__)
#define WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define WIDE_VECTORS
#endif
