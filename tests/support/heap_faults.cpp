// The malloc/calloc/free wrappers behind heap_faults.h.
#include "tests/support/heap_faults.h"

extern "C" void* __real_malloc(std::size_t size);
extern "C" void* __real_calloc(std::size_t count, std::size_t size);
extern "C" void __real_free(void* block);

namespace {

const int kFollowed = 256;

long g_countdown = 0;  // calls left before the failure; 0 = none armed
long g_mallocs = 0;
long g_callocs = 0;
std::size_t g_last_size = 0;
bool g_fired = false;
// Blocks handed out since the counters restarted; freed slots become NULL.
void* g_blocks[kFollowed];
int g_block_count = 0;

// Counts one call and tells whether it is the one to fail.
bool FailThisCall(std::size_t bytes, bool calloc)
{
    ++(calloc ? g_callocs : g_mallocs);
    g_last_size = bytes;
    if (g_countdown > 0 && --g_countdown == 0) {
        g_fired = true;
        return true;
    }
    return false;
}

void* Follow(void* block)
{
    if (block != nullptr && g_block_count < kFollowed)
        g_blocks[g_block_count++] = block;
    return block;
}

}  // namespace

extern "C" void* __wrap_malloc(std::size_t size)
{
    return FailThisCall(size, false) ? nullptr : Follow(__real_malloc(size));
}

extern "C" void* __wrap_calloc(std::size_t count, std::size_t size)
{
    return FailThisCall(count * size, true) ? nullptr : Follow(__real_calloc(count, size));
}

extern "C" void __wrap_free(void* block)
{
    for (int i = 0; block != nullptr && i < g_block_count; ++i) {
        if (g_blocks[i] == block)
            g_blocks[i] = nullptr;
    }
    __real_free(block);
}

namespace heap_faults {

void FailNth(long n)
{
    g_countdown = n > 0 ? n : 0;
    g_mallocs = 0;
    g_callocs = 0;
    g_last_size = 0;
    g_fired = false;
    g_block_count = 0;
}

void Disarm()
{
    FailNth(0);
}

long Calls()
{
    return g_mallocs + g_callocs;
}

long Mallocs()
{
    return g_mallocs;
}

long Callocs()
{
    return g_callocs;
}

std::size_t LastSize()
{
    return g_last_size;
}

bool Fired()
{
    return g_fired;
}

long Live()
{
    long live = 0;
    for (int i = 0; i < g_block_count; ++i)
        live += g_blocks[i] != nullptr;
    return live;
}

}  // namespace heap_faults
