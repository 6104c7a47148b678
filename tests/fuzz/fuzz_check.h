// A fuzz target's assertion: a broken property aborts, which libFuzzer and
// the corpus replay both report as a failure (an assert would vanish under
// NDEBUG).
#pragma once

#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond))                                                                               \
            std::abort();                                                                          \
    } while (0)
