#pragma once
// A property a fuzz input broke: named on stderr, then an abort that libFuzzer
// (or the replay) reports as a crash with the input kept.
#include <cstdio>
#include <cstdlib>

inline void fuzzCheck(bool holds, const char* property) {
    if (holds)
        return;
    std::fprintf(stderr, "fuzz property broken: %s\n", property);
    std::abort();
}
