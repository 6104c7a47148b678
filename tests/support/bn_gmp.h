// The bridge between our big numbers and GMP, the oracle of the big-number
// tests: an mpz_t that frees itself, and conversions both ways. Header only,
// so the one-digit-per-step build of the big numbers can use it too.
#pragma once

#include <gmp.h>

#include <cstddef>
#include <cstdint>

#include "crypto/bignum/bignum.h"

namespace support {

// An mpz_t that frees itself; optionally set from hex digits.
struct Mpz {
    mpz_t v;
    Mpz() { mpz_init(v); }
    explicit Mpz(const char* hex) { mpz_init_set_str(v, hex, 16); }
    ~Mpz() { mpz_clear(v); }
    Mpz(const Mpz&) = delete;
    Mpz& operator=(const Mpz&) = delete;
    operator mpz_ptr() { return v; }
    operator mpz_srcptr() const { return v; }
};

// The value of a, sign included, into out (a length of 0 or less is zero).
inline void to_mpz(mpz_ptr out, const BigNum* a)
{
    if (a->length <= 0) {
        mpz_set_ui(out, 0);
        return;
    }
    mpz_import(out, static_cast<size_t>(a->length), -1, sizeof(uint32_t), 0, 0, a->digits);
    if (a->negative != 0)
        mpz_neg(out, out);
}

// Loads v into r in normal form (zero has length 0); r MUST have room.
inline void from_mpz(BigNum* r, mpz_srcptr v)
{
    size_t count = 0;
    mpz_export(r->digits, &count, -1, sizeof(uint32_t), 0, 0, v);
    r->length = static_cast<int32_t>(count);
    r->negative = mpz_sgn(v) < 0 ? 1 : 0;
}

}  // namespace support
