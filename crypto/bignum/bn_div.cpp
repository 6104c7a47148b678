// Long division with quotient and remainder, truncating toward zero.
#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_normalise.h"

namespace {

// Estimate of the quotient digit of the window whose top three digits are
// hi, mid, lo, by the divisor whose top two digits are d0 (bit 31 set) and
// d1. Refined on the divisor's second digit, the estimate is exact or one
// too large.
uint32_t estimate_digit(uint32_t hi, uint32_t mid, uint32_t lo, uint32_t d0, uint32_t d1) {
    uint32_t t = hi == d0 ? 0xFFFFFFFFu : bn_digit_div2(hi, mid, d0);
    uint64_t rest = ((static_cast<uint64_t>(hi) << 32) | mid) - static_cast<uint64_t>(t) * d0;
    while (rest < 0x100000000ull &&
           static_cast<uint64_t>(t) * d1 > ((rest << 32) | lo)) {
        --t;
        rest += d0;
    }
    return t;
}

}  // namespace

// see bignum.h
int bn_div(BigNum* q, BigNum* rem, const BigNum* num, const BigNum* d) {
    if (bn_is_zero(d)) {
        return 0;
    }
    // Signs are read before anything is written: rem may be num.
    const int num_negative = num->negative != 0 ? 1 : 0;
    const int d_negative = d->negative != 0 ? 1 : 0;
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
    uint32_t product_area[kDigitAreaSize];
    BigNum sn = {0, 0, sn_area};
    BigNum sd = {0, 0, sd_area};
    BigNum product = {0, 0, product_area};
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

    for (int k = 1; k < loop; ++k) {
        --window.digits;
        ++window.length;
        const int top = num_n - k;
        uint32_t t = estimate_digit(sn_area[top], sn_area[top - 1], sn_area[top - 2], d0, d1);

        product_area[div_n] = bn_vec_mul_digit(product_area, sd_area, div_n, t);
        product.length = div_n + 1;
        bn_normalise(&product);
        if (bn_cmp_abs(&product, &window) > 0) {
            // The estimate was one too large: subtract (t - 1) times the
            // divisor instead, which is what adding it back would leave.
            --t;
            bn_sub_abs(&product, &product, &sd);
        }
        const int old_length = window.length;
        bn_sub_abs(&window, &window, &product);
        sn.length += window.length - old_length;
        qd[loop - 1 - k] = t;
    }

    if (rem != nullptr) {
        bn_shift_right(rem, &sn, s + 32);
        rem->negative = num_negative;
    }
    return 1;
}
