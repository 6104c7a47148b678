// Multi-precision integers on caller-owned, fixed storage.
//
// A BigNum is a sign flag, a digit count and a pointer to 32-bit digits,
// least significant first. The record never owns, grows or frees its area and
// no operation checks capacity: keeping every result inside its area is the
// caller's duty, so the capacity rules below are the only guard.
//
// Conventions for every bn_ function:
//  - the result comes first, then the operands;
//  - results are left in normal form (length 0, or top digit non-zero) unless
//    a function says otherwise;
//  - zero has two forms, length 0 and the "explicit zero" (length 1, digit 0
//    equal to 0); every operation accepts both;
//  - operations that can meet a zero divisor return 1 for success, 0 for
//    failure, and then write nothing.
//
// Not thread-hostile: no mutable global state; the bit-length table is
// read-only.
#pragma once

#include <cstdint>

struct BigNum {
    int32_t negative;  // 0 for non-negative, non-zero for negative
    int32_t length;    // digits in use
    uint32_t* digits;  // caller-owned area, least significant digit first
};

// Size in digits of every temporary the library declares (600 bytes).
constexpr int kDigitAreaSize = 150;

// Bit length of each byte value: 0 for 0, 1 for 1, 2 for 2..3, ... 8 for 128..255.
extern const uint8_t bn_byte_bit_length[256];

// --- Representation and basic operations ---------------------------------
// Units are 32-bit digits unless a byte count is named. For every function in
// this block r MAY be the same object as any operand, and nothing is
// reported: the preconditions are the caller's to keep.

// r = the big-endian number in bytes[0 .. len), non-negative, normal form
// (leading zero bytes drop out; len 0 gives length 0). r MUST have room for
// (len + 3) / 4 digits: the digits are written before normalisation.
void bn_from_bytes(BigNum* r, const uint8_t* bytes, int len);
// Writes |a| big-endian with no leading zero byte to out and returns the byte
// count, (bn_bit_length(a) + 7) / 8; out MUST have room for that many. Both
// forms of zero write nothing and return 0. The sign is ignored.
int bn_to_bytes(uint8_t* out, const BigNum* a);
// Number of significant bits of |a|: 32 * (length - 1) plus the bit length
// of the top digit, 0 for length 0 or a zero top digit (both zero forms).
int bn_bit_length(const BigNum* a);
// r = a: sign, length and digits, copied into r's own area, which MUST have
// room for a.length digits.
void bn_copy(BigNum* r, const BigNum* a);
// Compares |a| and |b|, signs ignored. Lengths differ: returns
// a.length - b.length (the difference of the digit counts, not just its
// sign). Otherwise -1, 0 or +1 from the highest differing digit. Meaningful
// only for operands in normal form: the explicit zero compares above length 0.
int bn_cmp_abs(const BigNum* a, const BigNum* b);
// Bit n of |a|, 0 or 1; 0 for a negative n or one at or above 32 * length.
int bn_test_bit(const BigNum* a, int n);
// |r| = |a| + |b|. a MUST have at least as many digits as b. r MUST have
// room for a.length + 1 digits. r's sign is untouched; r.length is
// a.length, or a.length + 1 when the sum carries out (no normalisation:
// normal operands give a normal sum, two explicit zeros give the explicit
// zero).
void bn_add_abs(BigNum* r, const BigNum* a, const BigNum* b);
// |r| = |a| - |b|, normalised. |a| MUST be at least |b|. r MUST have room
// for a.length digits. r's sign is untouched (so a zero result may keep a
// set sign flag).
void bn_sub_abs(BigNum* r, const BigNum* a, const BigNum* b);
// r = a + b, signed. r MUST have room for max(a.length, b.length) + 1 digits.
// A zero from opposite signs is non-negative.
void bn_add(BigNum* r, const BigNum* a, const BigNum* b);
// r = a - b, signed; room and zero sign as bn_add.
void bn_sub(BigNum* r, const BigNum* a, const BigNum* b);
// |r| = |a| - w, normalised; r takes a's sign. |a| MUST be at least w. r
// MUST have room for a.length digits.
void bn_sub_digit(BigNum* r, const BigNum* a, uint32_t w);
// |r| = |a| * 2^n, normalised; r takes a's sign. n MUST be 0 or more. r
// MUST have room for a.length + n / 32 + 1 digits: the digit above the
// result is always written (cleared), also for a zero a.
void bn_shift_left(BigNum* r, const BigNum* a, int n);
// |r| = floor(|a| / 2^n), normalised; r takes a's sign, so a zero result of
// a negative a keeps the flag. n MUST be 0 or more. r MUST have room for
// a.length - n / 32 digits (one at least). When n / 32 > a.length, r is the
// explicit zero (negative 0, length 1, digit 0); a shift by 32 * a.length to
// 32 * a.length + 31 bits gives length 0.
void bn_shift_right(BigNum* r, const BigNum* a, int n);

// --- Digit-vector kernels --------------------------------------------------
// Digit arrays, least significant first; n MUST be at least 1 (0 is not
// supported). r and a MUST either be the same array or not overlap.
// Sixteen digits per pass for the multiply kernels, eight for the squares;
// with a 128-bit integer type the multiply kernels take two digits per
// 64 x 64-bit product, with the same results.

// r[0 .. n) = low digits of a[0 .. n) * w; returns the carry digit (the
// digit r[n] of the full product). Writes exactly n digits.
uint32_t bn_vec_mul_digit(uint32_t* r, const uint32_t* a, int n, uint32_t w);
// r[0 .. n) += a[0 .. n) * w; returns the carry digit out of r[n - 1].
// Writes exactly n digits.
uint32_t bn_vec_mul_add_digit(uint32_t* r, const uint32_t* a, int n, uint32_t w);
// r[2i], r[2i + 1] = low and high digits of a[i]^2 for i below n; r MUST
// hold 2n digits and MUST NOT overlap a.
void bn_vec_square_digits(uint32_t* r, const uint32_t* a, int n);
// floor((h * 2^32 + l) / d), exact for h < d (the only case long division
// produces); for h >= d the low digit of the true quotient. 0xFFFFFFFF when
// d is 0.
uint32_t bn_digit_div2(uint32_t h, uint32_t l, uint32_t d);

// --- Multiplication, division and reduction ------------------------------
// Every temporary is a local with a kDigitAreaSize (150) digit area; nothing
// is allocated and nothing checks the limits below.

// r = a * b; r's sign is the XOR of the operands' signs, written also for a
// zero product (length 0 when an operand has length 0). r MUST NOT be a or b
// and MUST have room for a.length + b.length digits. r.length is
// a.length + b.length, less one if that top digit is zero: normal for normal
// non-zero operands; an explicit-zero operand leaves zero digits on top.
void bn_mul(BigNum* r, const BigNum* a, const BigNum* b);
// r = a^2, non-negative, the same value and length as bn_mul(r, a, a). r
// MUST NOT be a and MUST have room for 2 * a.length digits; a MUST have at
// most 75 digits. A length-0 a gives length 0 and leaves r's sign as it was.
void bn_sqr(BigNum* r, const BigNum* a);
// q = num / d truncated toward zero (sign: num's XOR d's), rem = num - q * d
// (sign: num's). Returns 0 when d is zero (either form), writing nothing;
// otherwise 1. When |d| > |num|: q is the explicit zero and rem a copy of
// num. Otherwise a zero remainder is the explicit zero when d's bit length
// is a multiple of 32 (the remainder is shifted back by two whole digits)
// and length 0 when it is not; rem's sign is num's even then. Zero digits on
// top of num or d (as bn_mul leaves for an explicit-zero factor) are dropped
// first, down to one digit, so a copy of num is in that form.
// rem MAY be null and MAY be num; q MUST NOT be null and MAY be num only when
// rem is null; neither MAY be d, nor q the same object as rem. num MUST have
// at most 147 digits. q needs max(1, num.length - d.length + 1) digits, rem
// num.length digits.
int bn_div(BigNum* q, BigNum* rem, const BigNum* num, const BigNum* d);
// r = a mod m with a's sign (the remainder of bn_div). r MAY be a, MUST NOT
// be m, and MUST have room for min(a.length, m.length) digits. Limits as
// bn_div. Returns 0 (r untouched) when m is zero, else 1.
int bn_mod(BigNum* r, const BigNum* a, const BigNum* m);
// r = a * b mod m (sign of the product). Squares when a and b are the same
// object (equal values in different objects are multiplied). r MAY be a, b
// or both, MUST NOT be m, and MUST have room for
// min(a.length + b.length, m.length) digits. a.length + b.length MUST be at
// most 147 (73-digit operands). Returns 0 (r untouched) when m is zero,
// else 1.
int bn_mod_mul(BigNum* r, const BigNum* a, const BigNum* b, const BigNum* m);
// r = a^-1 mod n, in [0, n), or the explicit zero when a and n share a
// factor (for n = 1 the result is zero, length 0). Writes nothing when a or
// n is negative. r MUST NOT be a or n and MUST have room for n.length
// digits; n MUST be non-zero; a and n MUST have at most 73 digits.
void bn_mod_inverse(BigNum* r, const BigNum* a, const BigNum* n);
