#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise of the code under fuzzing: reported and aborted, so that libFuzzer keeps the
// input and the corpus run fails on it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
