#pragma once

#include <cstdio>
#include <cstdlib>

// A property every input must keep. A violation aborts, which libFuzzer records as a crash with its input.
#define FUZZ_CHECK(condition)                                                                                       \
    (void)((condition) || (std::fprintf(stderr, "property violated: %s (%s:%d)\n", #condition, __FILE__, __LINE__), \
                           std::abort(), false))
