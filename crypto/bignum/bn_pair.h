// Internal: two adjacent digits, least significant first, as one
// little-endian 64-bit word, for loops that run two digits per step where a
// 128-bit integer type holds the carry. The byte copy compiles to one
// unaligned load or store on the targets we build for.
#pragma once

#include <cstdint>
#include <cstring>

// TARVELLO_BN_NARROW builds the 32-bit targets' paths on any compiler.
#if defined(__SIZEOF_INT128__) && defined(__BYTE_ORDER__) &&                                       \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ && !defined(TARVELLO_BN_NARROW)
#define BN_HAVE_WIDE 1
using BnWide = unsigned __int128;
#else
#define BN_HAVE_WIDE 0
#endif

inline uint64_t bn_load_pair(const uint32_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void bn_store_pair(uint32_t* p, uint64_t v)
{
    std::memcpy(p, &v, sizeof v);
}

#if BN_HAVE_WIDE
// Rows over 64-bit words (two digits each, least significant first), for
// multiplication, squaring and the Montgomery reduction: r holds 2n digits,
// read and written as n words at any alignment; a holds n words; n MUST be
// at least 1 and r MUST NOT overlap a. Eight words per loop pass, entered at
// the remainder, so that short rows run the same steps as long ones.

// r[0 .. 2n) += a[0 .. n) * w; returns the carry word (the word above r).
uint64_t bn_pair_row_mul_add(uint32_t* r, const uint64_t* a, int n, uint64_t w);
// r[0 .. 2n) = a[0 .. n) * w; returns the carry word.
uint64_t bn_pair_row_mul(uint32_t* r, const uint64_t* a, int n, uint64_t w);
// Two rows in one pass, the second one word up: r[0 .. 2n) gets
// a[0 .. n) * (w0 + w1 * 2^64) added in, except for what falls on words n
// and n + 1 (a[n - 1] * w1 and both rows' carries), which is returned as one
// 128-bit value for the caller to add or store there.
BnWide bn_pair_row2_mul_add(uint32_t* r, const uint64_t* a, int n, uint64_t w0, uint64_t w1);
#endif
