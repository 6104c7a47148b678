// Counting and failing heap calls of the RSA layer. The rsa test program is
// linked with --wrap=malloc,--wrap=calloc (see link_options.cmake), which routes
// every malloc/calloc of the statically linked code through the wrappers in
// heap_probe.cpp. They pass through unless a probe is armed.
#pragma once

#include <cstddef>

struct HeapProbe {
    bool armed = false;
    int fail_call = -1;  // index of the armed call to fail (0-based), -1: none
    int calls = 0;       // malloc + calloc calls while armed
    int mallocs = 0;
    int callocs = 0;
    size_t last_size = 0;  // bytes asked for by the last armed call
};

// True when the wrappers are linked in; without them heap tests are skipped.
bool heap_probe_available();
// The probe the wrappers report to; reset by heap_probe_arm.
HeapProbe& heap_probe();
void heap_probe_arm(int fail_call);
void heap_probe_disarm();
