// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A property that every input must keep. A broken one aborts, which libFuzzer takes as a
// crash and keeps the input as an artefact; the replay run fails on it the same way.
#define FUZZ_CHECK(condition)                                                                                \
    ((condition) ? void()                                                                                    \
                 : (std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition),    \
                    std::abort()))
