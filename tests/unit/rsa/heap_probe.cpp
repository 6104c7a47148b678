#include "tests/unit/rsa/heap_probe.h"

#include <cstdlib>

namespace {
HeapProbe g_probe;
}

HeapProbe& heap_probe() { return g_probe; }

void heap_probe_arm(int fail_call) {
    g_probe = HeapProbe();
    g_probe.fail_call = fail_call;
    g_probe.armed = true;
}

void heap_probe_disarm() { g_probe.armed = false; }

#ifdef TARVELLO_WRAP_ALLOC

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);

// Returns true when this armed call is to fail.
static bool probe_call(size_t bytes, bool is_calloc) {
    if (!g_probe.armed) return false;
    const int index = g_probe.calls++;
    (is_calloc ? g_probe.callocs : g_probe.mallocs)++;
    g_probe.last_size = bytes;
    return index == g_probe.fail_call;
}

void* __wrap_malloc(size_t size) {
    if (probe_call(size, false)) return nullptr;
    return __real_malloc(size);
}

void* __wrap_calloc(size_t count, size_t size) {
    if (probe_call(count * size, true)) return nullptr;
    return __real_calloc(count, size);
}
}

bool heap_probe_available() { return true; }

#else

bool heap_probe_available() { return false; }

#endif
