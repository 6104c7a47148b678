// Digit-vector kernels and the two-digit by one-digit quotient.
//
// A 64-bit type replaces half-digit arithmetic: a digit product plus two
// more digits is at most (2^32 - 1)^2 + 2 * (2^32 - 1) = 2^64 - 1. Where the
// compiler has a 128-bit type, the multiply kernels take the digits two at a
// time as one 64-bit word, so one 64 x 64 product does the work of two digit
// products and the carry chain is half as long; the results are the same.
#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_pair.h"
#include "crypto/bignum/bn_narrow.h"

// One digit: t = a[k] * w (+ r[k]) + carry, with the count tested after it.
#define BN_NARROW_STEP(k, add_r)                                                                   \
    {                                                                                              \
        const uint64_t t = static_cast<uint64_t>(a[k]) * w + carry + ((add_r) ? r[k] : 0u);        \
        r[k] = static_cast<uint32_t>(t);                                                           \
        carry = t >> 32;                                                                           \
        if (--n == 0) {                                                                            \
            return static_cast<uint32_t>(carry);                                                   \
        }                                                                                          \
    }

#define BN_NARROW_PASS(add_r)                                                                      \
    for (;;) {                                                                                     \
        BN_NARROW_STEP(0, add_r)                                                                   \
        BN_NARROW_STEP(1, add_r)                                                                   \
        BN_NARROW_STEP(2, add_r)                                                                   \
        BN_NARROW_STEP(3, add_r)                                                                   \
        BN_NARROW_STEP(4, add_r)                                                                   \
        BN_NARROW_STEP(5, add_r)                                                                   \
        BN_NARROW_STEP(6, add_r)                                                                   \
        BN_NARROW_STEP(7, add_r)                                                                   \
        BN_NARROW_STEP(8, add_r)                                                                   \
        BN_NARROW_STEP(9, add_r)                                                                   \
        BN_NARROW_STEP(10, add_r)                                                                  \
        BN_NARROW_STEP(11, add_r)                                                                  \
        BN_NARROW_STEP(12, add_r)                                                                  \
        BN_NARROW_STEP(13, add_r)                                                                  \
        BN_NARROW_STEP(14, add_r)                                                                  \
        BN_NARROW_STEP(15, add_r)                                                                  \
        a += 16;                                                                                   \
        r += 16;                                                                                   \
    }

// see bn_narrow.h
uint32_t bn_vec_mul_digit_narrow(uint32_t* r, const uint32_t* a, int n, uint32_t w)
{
    uint64_t carry = 0;
    BN_NARROW_PASS(false)
}

// see bn_narrow.h
uint32_t bn_vec_mul_add_digit_narrow(uint32_t* r, const uint32_t* a, int n, uint32_t w)
{
    uint64_t carry = 0;
    BN_NARROW_PASS(true)
}

#if BN_HAVE_WIDE

// Digits k and k + 1 in one step. The count is tested after every digit:
// with one digit left, the last goes through the 64-bit step. A pair product
// plus a pair of r plus the carry is below 2^96, so the carry stays a digit.
#define BN_PAIR_MUL_STEP(k)                                                                        \
    {                                                                                              \
        if (n == 1) {                                                                              \
            const uint64_t t = static_cast<uint64_t>(a[k]) * w + carry;                            \
            r[k] = static_cast<uint32_t>(t);                                                       \
            return static_cast<uint32_t>(t >> 32);                                                 \
        }                                                                                          \
        const BnWide t = static_cast<BnWide>(bn_load_pair(a + (k))) * w + carry;                   \
        bn_store_pair(r + (k), static_cast<uint64_t>(t));                                          \
        carry = static_cast<uint64_t>(t >> 64);                                                    \
        n -= 2;                                                                                    \
        if (n == 0) {                                                                              \
            return static_cast<uint32_t>(carry);                                                   \
        }                                                                                          \
    }

// The additions are spelled out on the two halves of the product: compilers
// then keep the running carry in one register instead of a 128-bit pair.
#define BN_PAIR_MUL_ADD_STEP(k)                                                                    \
    {                                                                                              \
        if (n == 1) {                                                                              \
            const uint64_t t = static_cast<uint64_t>(a[k]) * w + r[k] + carry;                     \
            r[k] = static_cast<uint32_t>(t);                                                       \
            return static_cast<uint32_t>(t >> 32);                                                 \
        }                                                                                          \
        const BnWide p = static_cast<BnWide>(bn_load_pair(a + (k))) * w;                           \
        uint64_t lo = static_cast<uint64_t>(p);                                                    \
        uint64_t hi = static_cast<uint64_t>(p >> 64);                                              \
        const uint64_t x = bn_load_pair(r + (k));                                                  \
        lo += x;                                                                                   \
        hi += lo < x ? 1u : 0u;                                                                    \
        lo += carry;                                                                               \
        hi += lo < carry ? 1u : 0u;                                                                \
        bn_store_pair(r + (k), lo);                                                                \
        carry = hi;                                                                                \
        n -= 2;                                                                                    \
        if (n == 0) {                                                                              \
            return static_cast<uint32_t>(carry);                                                   \
        }                                                                                          \
    }

// see bignum.h
uint32_t bn_vec_mul_digit(uint32_t* r, const uint32_t* a, int n, uint32_t w)
{
    uint64_t carry = 0;
    for (;;) {
        BN_PAIR_MUL_STEP(0)
        BN_PAIR_MUL_STEP(2)
        BN_PAIR_MUL_STEP(4)
        BN_PAIR_MUL_STEP(6)
        BN_PAIR_MUL_STEP(8)
        BN_PAIR_MUL_STEP(10)
        BN_PAIR_MUL_STEP(12)
        BN_PAIR_MUL_STEP(14)
        a += 16;
        r += 16;
    }
}

// see bignum.h
uint32_t bn_vec_mul_add_digit(uint32_t* r, const uint32_t* a, int n, uint32_t w)
{
    uint64_t carry = 0;
    for (;;) {
        BN_PAIR_MUL_ADD_STEP(0)
        BN_PAIR_MUL_ADD_STEP(2)
        BN_PAIR_MUL_ADD_STEP(4)
        BN_PAIR_MUL_ADD_STEP(6)
        BN_PAIR_MUL_ADD_STEP(8)
        BN_PAIR_MUL_ADD_STEP(10)
        BN_PAIR_MUL_ADD_STEP(12)
        BN_PAIR_MUL_ADD_STEP(14)
        a += 16;
        r += 16;
    }
}

// One word of a row: word j of r (+)= a[j] * w + carry. As above, the
// additions are spelled out on the halves of the product.
#define BN_WORD_STEP(a, r, j, add_r)                                                               \
    {                                                                                              \
        const BnWide p = static_cast<BnWide>((a)[j]) * w;                                          \
        uint64_t lo = static_cast<uint64_t>(p);                                                    \
        uint64_t hi = static_cast<uint64_t>(p >> 64);                                              \
        if (add_r) {                                                                               \
            const uint64_t x = bn_load_pair((r) + 2 * (j));                                        \
            lo += x;                                                                               \
            hi += lo < x ? 1u : 0u;                                                                \
        }                                                                                          \
        lo += carry;                                                                               \
        hi += lo < carry ? 1u : 0u;                                                                \
        bn_store_pair((r) + 2 * (j), lo);                                                          \
        carry = hi;                                                                                \
    }

// Eight words per pass, then the last n mod 8 words counted back from the
// end, entered at the first of them: every offset is a constant.
#define BN_WORD_ROW(add_r)                                                                         \
    uint64_t carry = 0;                                                                            \
    const uint64_t* const a_end = a + n;                                                           \
    uint32_t* const r_end = r + 2 * n;                                                             \
    for (int passes = n >> 3; passes > 0; --passes, a += 8, r += 16) {                             \
        BN_WORD_STEP(a, r, 0, add_r)                                                               \
        BN_WORD_STEP(a, r, 1, add_r)                                                               \
        BN_WORD_STEP(a, r, 2, add_r)                                                               \
        BN_WORD_STEP(a, r, 3, add_r)                                                               \
        BN_WORD_STEP(a, r, 4, add_r)                                                               \
        BN_WORD_STEP(a, r, 5, add_r)                                                               \
        BN_WORD_STEP(a, r, 6, add_r)                                                               \
        BN_WORD_STEP(a, r, 7, add_r)                                                               \
    }                                                                                              \
    switch (n & 7) {                                                                               \
        case 7:                                                                                    \
            BN_WORD_STEP(a_end, r_end, -7, add_r)                                                  \
            [[fallthrough]];                                                                       \
        case 6:                                                                                    \
            BN_WORD_STEP(a_end, r_end, -6, add_r)                                                  \
            [[fallthrough]];                                                                       \
        case 5:                                                                                    \
            BN_WORD_STEP(a_end, r_end, -5, add_r)                                                  \
            [[fallthrough]];                                                                       \
        case 4:                                                                                    \
            BN_WORD_STEP(a_end, r_end, -4, add_r)                                                  \
            [[fallthrough]];                                                                       \
        case 3:                                                                                    \
            BN_WORD_STEP(a_end, r_end, -3, add_r)                                                  \
            [[fallthrough]];                                                                       \
        case 2:                                                                                    \
            BN_WORD_STEP(a_end, r_end, -2, add_r)                                                  \
            [[fallthrough]];                                                                       \
        case 1:                                                                                    \
            BN_WORD_STEP(a_end, r_end, -1, add_r)                                                  \
            [[fallthrough]];                                                                       \
        default:                                                                                   \
            break;                                                                                 \
    }                                                                                              \
    return carry;

// see bn_pair.h
uint64_t bn_pair_row_mul_add(uint32_t* r, const uint64_t* a, int n, uint64_t w){BN_WORD_ROW(true)}

// see bn_pair.h
uint64_t bn_pair_row_mul(uint32_t* r, const uint64_t* a, int n, uint64_t w)
{
    BN_WORD_ROW(false)
}

#undef BN_WORD_ROW
#undef BN_WORD_STEP

// Word j of two rows at once: row A adds a[j] * w0 at word j, row B adds
// a[j - 1] * w1 there (one word up). Each row keeps its own carry; B's sum
// takes A's result for the word before it is stored, so the word is read
// and written once for two products.
#define BN_WORD2_STEP(a, r, j)                                                                     \
    {                                                                                              \
        const BnWide pa = static_cast<BnWide>((a)[j]) * w0;                                        \
        uint64_t la = static_cast<uint64_t>(pa);                                                   \
        uint64_t ha = static_cast<uint64_t>(pa >> 64);                                             \
        const uint64_t x = bn_load_pair((r) + 2 * (j));                                            \
        la += x;                                                                                   \
        ha += la < x ? 1u : 0u;                                                                    \
        la += carry_a;                                                                             \
        ha += la < carry_a ? 1u : 0u;                                                              \
        carry_a = ha;                                                                              \
        const BnWide pb = static_cast<BnWide>((a)[(j)-1]) * w1;                                    \
        uint64_t lb = static_cast<uint64_t>(pb);                                                   \
        uint64_t hb = static_cast<uint64_t>(pb >> 64);                                             \
        lb += la;                                                                                  \
        hb += lb < la ? 1u : 0u;                                                                   \
        lb += carry_b;                                                                             \
        hb += lb < carry_b ? 1u : 0u;                                                              \
        bn_store_pair((r) + 2 * (j), lb);                                                          \
        carry_b = hb;                                                                              \
    }

// see bn_pair.h
BnWide bn_pair_row2_mul_add(uint32_t* r, const uint64_t* a, int n, uint64_t w0, uint64_t w1)
{
    // Word 0 has row A only.
    uint64_t carry_a;
    {
        const BnWide pa = static_cast<BnWide>(a[0]) * w0;
        uint64_t la = static_cast<uint64_t>(pa);
        uint64_t ha = static_cast<uint64_t>(pa >> 64);
        const uint64_t x = bn_load_pair(r);
        la += x;
        ha += la < x ? 1u : 0u;
        bn_store_pair(r, la);
        carry_a = ha;
    }
    uint64_t carry_b = 0;
    // Words 1 .. n - 1: four per pass, then the rest counted back from the end.
    const uint64_t* const a_end = a + n;
    uint32_t* const r_end = r + 2 * n;
    const int steps = n - 1;
    for (int passes = steps >> 2; passes > 0; --passes, a += 4, r += 8) {
        BN_WORD2_STEP(a, r, 1)
        BN_WORD2_STEP(a, r, 2)
        BN_WORD2_STEP(a, r, 3)
        BN_WORD2_STEP(a, r, 4)
    }
    switch (steps & 3) {
        case 3:
            BN_WORD2_STEP(a_end, r_end, -3)
            [[fallthrough]];
        case 2:
            BN_WORD2_STEP(a_end, r_end, -2)
            [[fallthrough]];
        case 1:
            BN_WORD2_STEP(a_end, r_end, -1)
            [[fallthrough]];
        default:
            break;
    }
    // Words n and n + 1: B's last product and both carries, at most
    // (2^64 - 1)^2 + 2 * (2^64 - 1), which fits.
    const BnWide pb = static_cast<BnWide>(a_end[-1]) * w1;
    uint64_t lb = static_cast<uint64_t>(pb);
    uint64_t hb = static_cast<uint64_t>(pb >> 64);
    lb += carry_a;
    hb += lb < carry_a ? 1u : 0u;
    lb += carry_b;
    hb += lb < carry_b ? 1u : 0u;
    return (static_cast<BnWide>(hb) << 64) | lb;
}

#undef BN_WORD2_STEP

#else

// see bignum.h
uint32_t bn_vec_mul_digit(uint32_t* r, const uint32_t* a, int n, uint32_t w)
{
    return bn_vec_mul_digit_narrow(r, a, n, w);
}

// see bignum.h
uint32_t bn_vec_mul_add_digit(uint32_t* r, const uint32_t* a, int n, uint32_t w)
{
    return bn_vec_mul_add_digit_narrow(r, a, n, w);
}

#endif

#define BN_SQUARE_STEP(k)                                                                          \
    {                                                                                              \
        const uint64_t t = static_cast<uint64_t>(a[k]) * a[k];                                     \
        r[2 * (k)] = static_cast<uint32_t>(t);                                                     \
        r[2 * (k) + 1] = static_cast<uint32_t>(t >> 32);                                           \
        if (--n == 0) {                                                                            \
            return;                                                                                \
        }                                                                                          \
    }

// see bignum.h
void bn_vec_square_digits(uint32_t* r, const uint32_t* a, int n)
{
    for (;;) {
        BN_SQUARE_STEP(0)
        BN_SQUARE_STEP(1)
        BN_SQUARE_STEP(2)
        BN_SQUARE_STEP(3)
        BN_SQUARE_STEP(4)
        BN_SQUARE_STEP(5)
        BN_SQUARE_STEP(6)
        BN_SQUARE_STEP(7)
        a += 8;
        r += 16;
    }
}

// see bignum.h
uint32_t bn_digit_div2(uint32_t h, uint32_t l, uint32_t d)
{
    if (d == 0) {
        return 0xFFFFFFFFu;
    }
    // Exact for h < d; otherwise the low digit of the true quotient.
    const uint64_t x = (static_cast<uint64_t>(h) << 32) | l;
    return static_cast<uint32_t>(x / d);
}
