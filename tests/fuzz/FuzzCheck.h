#pragma once
// What a fuzz target demands beyond not crashing: a broken promise is printed
// and aborts, which libFuzzer, and the replay in unit_tests, report as a crash.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline void fuzzCheck(bool holds, const char* promise) {
    if (!holds) std::fprintf(stderr, "fuzz check failed: %s\n", promise), std::abort();
}
