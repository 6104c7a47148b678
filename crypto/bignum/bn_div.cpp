// Long division with quotient and remainder, truncating toward zero.
#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_normalise.h"
#include "crypto/bignum/bn_pair.h"

namespace {

// a without the zero digits a product with an explicit-zero factor keeps on
// top, down to one digit: either zero form stays as it was.
BigNum trimmed(const BigNum* a)
{
    BigNum t = *a;
    while (t.length > 1 && t.digits[t.length - 1] == 0) {
        --t.length;
    }
    return t;
}

// Estimate of the quotient digit of the window whose top three digits are
// hi, mid, lo, by the divisor whose top two digits are d0 (bit 31 set) and
// d1. Refined on the divisor's second digit, the estimate is exact or one
// too large.
uint32_t estimate_digit(uint32_t hi, uint32_t mid, uint32_t lo, uint32_t d0, uint32_t d1)
{
    uint32_t t = hi == d0 ? 0xFFFFFFFFu : bn_digit_div2(hi, mid, d0);
    uint64_t rest = ((static_cast<uint64_t>(hi) << 32) | mid) - static_cast<uint64_t>(t) * d0;
    while (rest < 0x100000000ull && static_cast<uint64_t>(t) * d1 > ((rest << 32) | lo)) {
        --t;
        rest += d0;
    }
    return t;
}

// The negated shifted divisor, 2^(32n) - s for its n digits, that every
// quotient digit's pass multiplies; where a 128-bit type exists, also as
// 64-bit words, an odd count's top word padded with a zero digit.
struct NegatedDivisor {
    int n;
    uint32_t digits[kDigitAreaSize + 1];
#if BN_HAVE_WIDE
    uint64_t words[kDigitAreaSize / 2 + 1];
#endif
};

// s MUST be non-zero: the complement plus one, without a carry out.
void negate_divisor(NegatedDivisor* neg, const uint32_t* s, int n)
{
    neg->n = n;
    uint32_t carry = 1;
    for (int i = 0; i < n; ++i) {
        const uint32_t x = ~s[i] + carry;
        carry = (carry != 0 && x == 0) ? 1u : 0u;
        neg->digits[i] = x;
    }
#if BN_HAVE_WIDE
    for (int i = 0; i < n / 2; ++i) {
        neg->words[i] = bn_load_pair(neg->digits + 2 * i);
    }
    if ((n & 1) != 0) {
        neg->words[n / 2] = neg->digits[n - 1];
    }
#endif
}

// w[0 .. n] -= t * s[0 .. n), for the divisor s negated in neg: the product
// of the quotient digit and the divisor taken off the window in one pass.
// Returns true when the result went below zero, that is when the product was
// greater than the window.
//
// Worked as an addition: W - t * s = W + t * (2^(32n) - s) - t * 2^(32n).
// The low digits come out of one multiply-add row (the word-row kernel where
// a 128-bit type exists), and the top digit takes the row's carry less t.
bool subtract_multiple(uint32_t* w, const NegatedDivisor* neg, uint32_t t)
{
    const int n = neg->n;
#if BN_HAVE_WIDE
    // An odd count's padded top word takes in w[n] too, so the row's carry
    // then lands one digit higher.
    const uint64_t carry = bn_pair_row_mul_add(w, neg->words, (n + 1) / 2, t);
    const uint64_t top = (n & 1) != 0 ? static_cast<uint64_t>(w[n]) + (carry << 32)
                                      : static_cast<uint64_t>(w[n]) + carry;
#else
    uint64_t carry = 0;
    for (int i = 0; i < n; ++i) {
        // (2^32 - 1)^2 + 2 * (2^32 - 1) is the most a digit step reaches.
        const uint64_t p = static_cast<uint64_t>(neg->digits[i]) * t + w[i] + carry;
        w[i] = static_cast<uint32_t>(p);
        carry = p >> 32;
    }
    const uint64_t top = static_cast<uint64_t>(w[n]) + carry;
#endif
    w[n] = static_cast<uint32_t>(top - t);
    return top < t;
}

// w[0 .. n] += s[0 .. n), dropping the carry out of w[n]: undoes one
// divisor too many after subtract_multiple went below zero.
void add_back(uint32_t* w, const uint32_t* s, int n)
{
    uint64_t carry = 0;
    for (int i = 0; i < n; ++i) {
        const uint64_t t = static_cast<uint64_t>(w[i]) + s[i] + carry;
        w[i] = static_cast<uint32_t>(t);
        carry = t >> 32;
    }
    w[n] += static_cast<uint32_t>(carry);
}

}  // namespace

// see bignum.h
int bn_div(BigNum* q, BigNum* rem, const BigNum* num, const BigNum* d)
{
    // The zero test, the comparison and the digit counts below must not see
    // zero digits on top.
    const BigNum d_view = trimmed(d);
    d = &d_view;
    if (bn_is_zero(d)) {
        return 0;
    }
    // Signs are read before anything is written: rem may be num.
    const int num_negative = num->negative != 0 ? 1 : 0;
    const int d_negative = d->negative != 0 ? 1 : 0;
    const BigNum num_view = trimmed(num);
    num = &num_view;
    if (bn_cmp_abs(d, num) > 0) {
        if (rem != nullptr) {
            bn_copy(rem, num);
        }
        if (q != nullptr) {
            q->negative = 0;
            q->length = 1;
            q->digits[0] = 0;
        }
        return 1;
    }

    // Normalise: the shifted divisor's top digit has bit 31 set, and the
    // numerator gets one more zero digit at the bottom.
    uint32_t sn_area[kDigitAreaSize];
    uint32_t sd_area[kDigitAreaSize];
    BigNum sn = {0, 0, sn_area};
    BigNum sd = {0, 0, sd_area};
    const int s = 32 - bn_bit_length(d) % 32;
    bn_shift_left(&sd, d, s);
    bn_shift_left(&sn, num, s + 32);
    sd.negative = 0;
    sn.negative = 0;
    const int div_n = sd.length;
    const int num_n = sn.length;
    const int loop = num_n - div_n;
    const uint32_t d0 = sd_area[div_n - 1];
    const uint32_t d1 = div_n > 1 ? sd_area[div_n - 2] : 0;

    q->negative = num_negative ^ d_negative;
    q->length = loop;
    uint32_t* qd = q->digits;

    // The window is the running remainder, worked on in place inside sn.
    BigNum window = {0, div_n, sn_area + loop};
    if (bn_cmp_abs(&window, &sd) >= 0) {
        bn_sub_abs(&window, &window, &sd);
        sn.length += window.length - div_n;
        qd[loop - 1] = 1;
    } else {
        q->length = loop - 1;
    }

    NegatedDivisor neg;
    if (loop > 1) {
        negate_divisor(&neg, sd_area, div_n);
    }
    for (int k = 1; k < loop; ++k) {
        --window.digits;  // one more numerator digit at the bottom
        const int top = num_n - k;
        uint32_t t = estimate_digit(sn_area[top], sn_area[top - 1], sn_area[top - 2], d0, d1);

        // Take t times the divisor off the window's div_n + 1 digits (any
        // above a shortened window are zero). If that went below zero, t was
        // one too large: add the divisor back once.
        if (subtract_multiple(window.digits, &neg, t)) {
            --t;
            add_back(window.digits, sd_area, div_n);
        }
        qd[loop - 1 - k] = t;
    }
    if (loop > 1) {
        // Each pass leaves its window below the divisor, so its top digit
        // zero: the numerator ends where the last window ends, measured once
        // (and never below that window's start).
        window.length = div_n + 1;
        bn_normalise(&window);
        sn.length = static_cast<int32_t>(window.digits - sn_area) + window.length;
    }

    if (rem != nullptr) {
        bn_shift_right(rem, &sn, s + 32);
        rem->negative = num_negative;
    }
    return 1;
}
