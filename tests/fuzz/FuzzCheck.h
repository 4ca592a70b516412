#pragma once
// What the fuzz targets demand of the code they feed, beyond not crashing:
// a broken promise prints what was broken and aborts, which libFuzzer (and
// the replay runner) report like a crash.

#include <cstdio>
#include <cstdlib>

inline void fuzzCheck(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", promise);
    std::abort();
}
