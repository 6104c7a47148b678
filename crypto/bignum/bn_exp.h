// Modular exponentiation: a left-to-right sliding window over either
// Montgomery multiplication (odd modulus with a full top digit) or
// multiplication followed by long division (every other modulus).
//
// Nothing here allocates. Every temporary is a local with a kDigitAreaSize
// area: the context (three areas), a table of 16 odd powers plus the square
// of the base, and the temporaries of the multiplication and division in use
// (roughly 12 KB of context and table plus the callee's locals on the stack).
#pragma once

#include "crypto/bignum/bignum.h"

// Largest modulus the exponentiation supports: twice its digits plus one
// must fit the 150-digit temporaries (73 digits, 2,336 bits, 292 bytes).
constexpr int kMaxModulusDigits = 73;
constexpr int kMaxModulusBytes = kMaxModulusDigits * 4;

// Table of odd powers base^1, base^3, ... for the widest (5-bit) window.
constexpr int kExpTableSize = 16;

// State of one Montgomery exponentiation; a local of bn_mod_exp, never cached.
// bn_mont_init points the three numbers at the areas of the same record.
struct MontgomeryContext {
    int32_t modulus_bits;    // bit length of the modulus; R = 2^modulus_bits
    BigNum r_squared;        // R^2 mod modulus
    BigNum inverse_work;     // working number for digit_inverse
    BigNum modulus;          // copy of the modulus
    uint32_t digit_inverse;  // m' with modulus[0] * m' == -1 (mod 2^32)
    uint32_t r_squared_area[kDigitAreaSize];
    uint32_t inverse_work_area[kDigitAreaSize];
    uint32_t modulus_area[kDigitAreaSize];
};

// --- Exponentiation --------------------------------------------------------
// Shared rules for the three exponentiations:
//  - r MAY be the same object as base (base is read for the last time before r
//    is first written); r MUST NOT be exponent or modulus;
//  - r MUST have room for the modulus's digit count + 1 digits (the division
//    and the reduction leave one digit above the result);
//  - base, exponent and modulus are only read; every operand is non-negative
//    (the exponent is read through its zero test, bit length and bits only,
//    so its sign is ignored);
//  - the modulus MUST have at most kMaxModulusDigits digits; nothing checks it.
//  - Window width by exponent bits: 1..17 -> 1, 18..127 -> 3, 128..255 -> 4,
//    256 or more -> 5 (no 2-bit window).

// r = base^exponent mod modulus, in normal form except where noted.
// Dispatch: a modulus that is odd and has bit 31 of its top digit set takes
// bn_mod_exp_montgomery; every other modulus takes bn_mod_exp_plain.
// A zero modulus (either form) gives the explicit zero, whatever the other
// operands. An exponent of zero (either form) gives the one-digit 1, or the
// explicit zero when the modulus is 1. base MAY have up to 147 digits when
// the division path is taken, and at most the modulus's digit count otherwise.
void bn_mod_exp(BigNum* r, const BigNum* base, const BigNum* exponent, const BigNum* modulus);

// The division path: every product is reduced by bn_mod_mul. The base is
// reduced first, so it MAY be at or above the modulus (at most 147 digits).
// The modulus MUST be non-zero; the exponent MUST be non-zero.
void bn_mod_exp_plain(BigNum* r, const BigNum* base, const BigNum* exponent, const BigNum* modulus);

// The Montgomery path. The modulus MUST be odd with a full top digit; base
// MUST have no more digits than the modulus (it may be at or above it); the
// exponent MUST be non-zero. context is written (filled by bn_mont_init).
void bn_mod_exp_montgomery(BigNum* r, const BigNum* base, const BigNum* exponent,
                           const BigNum* modulus, MontgomeryContext* context);

// --- Montgomery machinery --------------------------------------------------

// Fills context for an odd modulus of at most kMaxModulusDigits digits with a
// full top digit: points its numbers at its own areas, copies the modulus,
// and computes digit_inverse and r_squared. When the modulus's lowest digit
// is 1, digit_inverse is 0xFFFFFFFF.
void bn_mont_init(MontgomeryContext* context, const BigNum* modulus);

// r = a * R^-1 mod modulus, fully reduced, for 0 <= a < modulus * R. r MAY be
// a. r MUST have room for the modulus's digit count + 1 digits. r's sign is
// a's sign XOR the modulus's sign. Where the compiler has a 128-bit integer
// type the digits are cleared two at a time (with -modulus^-1 mod 2^64),
// otherwise one at a time as in bn_mont_reduce_digits; r is the same.
void bn_mont_reduce(BigNum* r, const BigNum* a, const MontgomeryContext* context);
// The one-digit-per-pass reduction, with digit_inverse: what bn_mont_reduce
// is on targets without a 128-bit type. Same contract; callable everywhere
// so that tests can check both forms.
void bn_mont_reduce_digits(BigNum* r, const BigNum* a, const MontgomeryContext* context);

// r = a * b * R^-1 mod modulus, for a * b < modulus * R (true when both are
// below the modulus, or one is below it and the other below R). Squares when
// a and b are the same object. r MAY be a, b or both. Room in r as for
// bn_mont_reduce.
void bn_mont_mul(BigNum* r, const BigNum* a, const BigNum* b, const MontgomeryContext* context);
