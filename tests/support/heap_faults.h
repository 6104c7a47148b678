// Heap-failure injection and heap-call counting for tests.
//
// A test program linked with tarvello_wrap_heap() (tests/support/CMakeLists.txt)
// routes every malloc, calloc and free made by the statically linked code
// (ui/, core/, crypto/, the tests) through heap_faults.cpp. Calls from shared
// libraries (the C++ runtime's operator new, GoogleTest) are not seen.
#pragma once

#include <cstddef>

namespace heap_faults {

// Makes the n-th malloc/calloc call from now return NULL (n >= 1); all other
// calls succeed. n <= 0 only counts. Either way the counters restart.
void FailNth(long n);

// No failure will be injected; the counters restart.
void Disarm();

// Calls seen since the last FailNth/Disarm, the failed one included.
long Calls();
long Mallocs();
long Callocs();
// Bytes asked for by the last call (count * size for calloc).
std::size_t LastSize();

// True once the armed failure has been delivered.
bool Fired();

// Blocks handed out since the last FailNth/Disarm and not yet freed (up to
// 256 blocks are followed; beyond that Live() stops growing).
long Live();

}  // namespace heap_faults
