#pragma once

// What the fuzz targets share: an input cap, and a check that stops the run
// with a message when a decoder breaks one of its promises (a sanitizer
// reports crashes and leaks by itself).

#include <cstdio>
#include <cstdlib>

// Inputs beyond this size are skipped: larger ones find nothing new and make
// every execution slower.
inline constexpr size_t MaxFuzzInput = 64 * 1024;

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)
