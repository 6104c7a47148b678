// The malloc/calloc wrappers behind heap_faults.h.
#include "heap_faults.h"

#include <cstddef>

extern "C" void* __real_malloc(std::size_t size);
extern "C" void* __real_calloc(std::size_t count, std::size_t size);

namespace {

long g_countdown = 0;   // calls left before the failure; 0 = disarmed
long g_calls = 0;
bool g_fired = false;

// Counts one call and tells whether it is the one to fail.
bool fail_this_call()
{
    ++g_calls;
    if (g_countdown > 0 && --g_countdown == 0) {
        g_fired = true;
        return true;
    }
    return false;
}

}  // namespace

extern "C" void* __wrap_malloc(std::size_t size)
{
    return fail_this_call() ? nullptr : __real_malloc(size);
}

extern "C" void* __wrap_calloc(std::size_t count, std::size_t size)
{
    return fail_this_call() ? nullptr : __real_calloc(count, size);
}

namespace heap_faults {

void FailNth(long n)
{
    g_countdown = n > 0 ? n : 0;
    g_calls = 0;
    g_fired = false;
}

void Disarm()
{
    FailNth(0);
}

long Calls()
{
    return g_calls;
}

bool Fired()
{
    return g_fired;
}

}  // namespace heap_faults
