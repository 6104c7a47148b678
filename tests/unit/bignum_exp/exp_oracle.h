// GMP as the oracle for the exponentiation tests: numbers held on the heap at
// an exact digit capacity (so ASan sees any write past it), conversions to
// and from mpz, and seeded random shapes.
#pragma once

#include <gmp.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "crypto/bignum/bignum.h"
#include "tests/support/bn_gmp.h"

// A BigNum with its own heap area of exactly `capacity` digits.
struct OwnedNum {
    std::vector<uint32_t> area;
    BigNum num;

    explicit OwnedNum(int capacity)
        : area(static_cast<size_t>(capacity > 0 ? capacity : 1)), num{0, 0, area.data()}
    {
    }
    OwnedNum(const OwnedNum&) = delete;
    OwnedNum& operator=(const OwnedNum&) = delete;
    int capacity() const { return static_cast<int>(area.size()); }
};

using support::from_mpz;
using support::Mpz;
using support::to_mpz;

inline int digits_of(mpz_srcptr v)
{
    return static_cast<int>((mpz_sizeinbase(v, 2) + 31) / 32);
}

inline std::string hex_of(mpz_srcptr v)
{
    std::vector<char> text(mpz_sizeinbase(v, 16) + 2);
    mpz_get_str(text.data(), 16, v);
    return std::string(text.data());
}

inline std::string hex_of(const BigNum* a)
{
    Mpz v;
    to_mpz(v, a);
    std::string s = hex_of(v);
    return s + " (length " + std::to_string(a->length) + ")";
}

// Normal form, or the explicit zero.
inline bool well_formed(const BigNum* a)
{
    return a->length == 0 || a->digits[a->length - 1] != 0 || a->length == 1;
}

inline bool is_explicit_zero(const BigNum* a)
{
    return a->negative == 0 && a->length == 1 && a->digits[0] == 0;
}

// A random value of exactly `bits` bits (bits >= 1), top bit set.
inline void random_bits(mpz_ptr out, std::mt19937_64& rng, int bits)
{
    mpz_set_ui(out, 0);
    for (int i = 0; i < bits; i += 32) {
        mpz_mul_2exp(out, out, 32);
        mpz_add_ui(out, out, static_cast<unsigned long>(rng() & 0xFFFFFFFFu));
    }
    const int extra = ((bits + 31) / 32) * 32 - bits;
    mpz_fdiv_q_2exp(out, out, static_cast<mp_bitcnt_t>(extra));
    mpz_setbit(out, static_cast<mp_bitcnt_t>(bits - 1));
}

// A random value below 2^bits (may have fewer bits, may be zero).
inline void random_below_bits(mpz_ptr out, std::mt19937_64& rng, int bits)
{
    random_bits(out, rng, bits);
    if (rng() & 1)
        mpz_clrbit(out, static_cast<mp_bitcnt_t>(bits - 1));
}
