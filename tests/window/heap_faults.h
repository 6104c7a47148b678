// Heap failure injection for the window tests.
//
// window_tests is linked with -Wl,--wrap=malloc -Wl,--wrap=calloc, so every
// malloc/calloc call made from code linked into the test program (ui/,
// core/, crypto/, the tests) goes through heap_faults.cpp first. Calls from
// shared libraries (the C++ runtime's operator new, GoogleTest) are not
// seen. free is not wrapped.
//
// Placeholder owned for now by the window-shell tests: a plain pass-through
// with a countdown. The command tests may replace heap_faults.cpp/.h with
// their own version as long as the two wrappers stay defined here.
#pragma once

namespace heap_faults {

// Makes the n-th malloc/calloc call from now return NULL (n >= 1); all other
// calls succeed. n <= 0 disarms. Also restarts the call counter.
void FailNth(long n);

// No failure will be injected; the call counter restarts.
void Disarm();

// malloc/calloc calls seen since the last FailNth/Disarm, the failed one
// included.
long Calls();

// True once the armed failure has been delivered.
bool Fired();

}  // namespace heap_faults
