// Internal helpers shared by the big-number files; not part of the contract.
#pragma once

#include <cstring>

#include "crypto/bignum/bignum.h"

// Drops zero digits from the top until length is 0 or the top digit is
// non-zero.
inline void bn_normalise(BigNum* r)
{
    int32_t n = r->length;
    while (n > 0 && r->digits[n - 1] == 0) {
        --n;
    }
    r->length = n;
}

// Library zero test: length 0, or the explicit zero (length 1, digit 0).
inline bool bn_is_zero(const BigNum* a)
{
    return a->length == 0 || (a->length == 1 && a->digits[0] == 0);
}

// r = the non-negative one-digit number value (the explicit zero for 0).
inline void bn_set_digit(BigNum* r, uint32_t value)
{
    r->negative = 0;
    r->length = 1;
    r->digits[0] = value;
}

// r = a * b, squaring when a and b are the same object (about half the digit
// products). r MUST be neither a nor b.
inline void bn_product(BigNum* r, const BigNum* a, const BigNum* b)
{
    if (a == b) {
        bn_sqr(r, a);
    } else {
        bn_mul(r, a, b);
    }
}

// Runs of up to this many digits are copied and cleared by plain stores
// rather than by the C library: for the one- and two-digit numbers of the
// modular inverse the call costs more than the work, and some library builds
// write short runs with masked vector stores whose data the digit reads that
// follow cannot pick up until the stores have drained.
constexpr int kShortDigitRun = 8;

// r[0 .. n) = a[0 .. n), lowest digit first: safe when r is at or below a.
inline void bn_copy_digits_up(uint32_t* r, const uint32_t* a, int n)
{
    if (n > kShortDigitRun) {
        std::memmove(r, a, sizeof(uint32_t) * static_cast<size_t>(n));
        return;
    }
    uint32_t* const r_end = r + n;
    const uint32_t* const a_end = a + n;
    switch (n) {
        case 8:
            r_end[-8] = a_end[-8];
            [[fallthrough]];
        case 7:
            r_end[-7] = a_end[-7];
            [[fallthrough]];
        case 6:
            r_end[-6] = a_end[-6];
            [[fallthrough]];
        case 5:
            r_end[-5] = a_end[-5];
            [[fallthrough]];
        case 4:
            r_end[-4] = a_end[-4];
            [[fallthrough]];
        case 3:
            r_end[-3] = a_end[-3];
            [[fallthrough]];
        case 2:
            r_end[-2] = a_end[-2];
            [[fallthrough]];
        case 1:
            r_end[-1] = a_end[-1];
            [[fallthrough]];
        default:
            break;
    }
}

// r[0 .. n) = a[0 .. n), highest digit first: safe when r is at or above a.
inline void bn_copy_digits_down(uint32_t* r, const uint32_t* a, int n)
{
    if (n > kShortDigitRun) {
        std::memmove(r, a, sizeof(uint32_t) * static_cast<size_t>(n));
        return;
    }
    switch (n) {
        case 8:
            r[7] = a[7];
            [[fallthrough]];
        case 7:
            r[6] = a[6];
            [[fallthrough]];
        case 6:
            r[5] = a[5];
            [[fallthrough]];
        case 5:
            r[4] = a[4];
            [[fallthrough]];
        case 4:
            r[3] = a[3];
            [[fallthrough]];
        case 3:
            r[2] = a[2];
            [[fallthrough]];
        case 2:
            r[1] = a[1];
            [[fallthrough]];
        case 1:
            r[0] = a[0];
            [[fallthrough]];
        default:
            break;
    }
}

// r[0 .. n) = 0.
inline void bn_clear_digits(uint32_t* r, int n)
{
    if (n > kShortDigitRun) {
        std::memset(r, 0, sizeof(uint32_t) * static_cast<size_t>(n));
        return;
    }
    switch (n) {
        case 8:
            r[7] = 0;
            [[fallthrough]];
        case 7:
            r[6] = 0;
            [[fallthrough]];
        case 6:
            r[5] = 0;
            [[fallthrough]];
        case 5:
            r[4] = 0;
            [[fallthrough]];
        case 4:
            r[3] = 0;
            [[fallthrough]];
        case 3:
            r[2] = 0;
            [[fallthrough]];
        case 2:
            r[1] = 0;
            [[fallthrough]];
        case 1:
            r[0] = 0;
            [[fallthrough]];
        default:
            break;
    }
}
