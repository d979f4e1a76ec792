#pragma once

#include <cstdio>
#include <cstdlib>

// A property a fuzz target checks on every input. A failed check aborts, so libFuzzer keeps the
// input as a crash artifact like any sanitizer finding.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
