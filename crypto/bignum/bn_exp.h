// Modular exponentiation: a left-to-right sliding window over either
// Montgomery multiplication (odd modulus with a full top digit) or
// multiplication followed by long division (every other modulus).
#pragma once

#include "crypto/bignum/bignum.h"

// Largest modulus the exponentiation supports: twice its digits plus one
// must fit the 150-digit temporaries (73 digits, 2,336 bits, 292 bytes).
constexpr int kMaxModulusDigits = 73;
constexpr int kMaxModulusBytes = kMaxModulusDigits * 4;

// State of one Montgomery exponentiation; a local of bn_mod_exp, never cached.
struct MontgomeryContext {
    int32_t modulus_bits;      // bit length of the modulus; R = 2^modulus_bits
    BigNum r_squared;          // R^2 mod modulus
    BigNum inverse_work;       // working number for digit_inverse
    BigNum modulus;            // copy of the modulus
    uint32_t digit_inverse;    // m' with modulus[0] * m' == -1 (mod 2^32)
    uint32_t r_squared_area[kDigitAreaSize];
    uint32_t inverse_work_area[kDigitAreaSize];
    uint32_t modulus_area[kDigitAreaSize];
};

// r = base^exponent mod modulus. r MAY be base but MUST NOT be exponent or
// modulus. The modulus MUST have at most kMaxModulusDigits digits; a zero
// modulus gives the explicit zero. Exponent 0 gives 1 (the explicit zero
// when the modulus is 1).
void bn_mod_exp(BigNum* r, const BigNum* base, const BigNum* exponent, const BigNum* modulus);
// The division path: every product reduced by bn_mod_mul.
void bn_mod_exp_plain(BigNum* r, const BigNum* base, const BigNum* exponent, const BigNum* modulus);
// The Montgomery path. The modulus MUST be odd with a full top digit and the
// base MUST have no more digits than the modulus.
void bn_mod_exp_montgomery(BigNum* r, const BigNum* base, const BigNum* exponent,
                           const BigNum* modulus, MontgomeryContext* context);
// Fills context for an odd modulus.
void bn_mont_init(MontgomeryContext* context, const BigNum* modulus);
// r = a * R^-1 mod modulus for a below modulus * R. r MAY be a.
void bn_mont_reduce(BigNum* r, const BigNum* a, const MontgomeryContext* context);
// r = a * b * R^-1 mod modulus; squares when a and b are the same object.
// r MAY be a, b or both.
void bn_mont_mul(BigNum* r, const BigNum* a, const BigNum* b, const MontgomeryContext* context);
