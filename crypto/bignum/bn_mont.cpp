// Montgomery setup, reduction and multiplication for odd moduli whose top
// digit is full, so that R = 2^modulus_bits is a whole number of digits.
#include "crypto/bignum/bn_exp.h"

namespace {

bool is_zero(const BigNum* a) {
    return a->length == 0 || (a->length == 1 && a->digits[0] == 0);
}

void set_digit(BigNum* r, uint32_t value) {
    r->negative = 0;
    r->length = 1;
    r->digits[0] = value;
}

// m' = -d0^-1 mod 2^32, taken through the inverse of 2^32 modulo d0:
// inv * 2^32 - 1 is a multiple of d0, and the quotient q satisfies
// q * d0 == -1 (mod 2^32).
void compute_digit_inverse(MontgomeryContext* context, const BigNum* modulus) {
    BigNum d0 = {modulus->negative, 1, modulus->digits};  // view, not a copy
    BigNum* work = &context->inverse_work;
    BigNum* scratch = &context->r_squared;

    set_digit(scratch, 1);
    bn_shift_left(scratch, scratch, 32);
    bn_mod_inverse(work, scratch, &d0);
    if (is_zero(work)) {
        // d0 == 1: 2^32 has no inverse modulo 1, and 1 * 0xFFFFFFFF == -1.
        context->digit_inverse = 0xFFFFFFFFu;
        return;
    }
    bn_shift_left(work, work, 32);
    bn_sub_digit(work, work, 1);
    (void)bn_div(work, nullptr, work, &d0);  // d0 is odd, never zero
    context->digit_inverse = work->digits[0];
}

}  // namespace

// see bn_exp.h
void bn_mont_init(MontgomeryContext* context, const BigNum* modulus) {
    context->r_squared.digits = context->r_squared_area;
    context->inverse_work.digits = context->inverse_work_area;
    context->modulus.digits = context->modulus_area;

    context->modulus_bits = bn_bit_length(modulus);
    bn_copy(&context->modulus, modulus);
    compute_digit_inverse(context, modulus);

    // R^2 mod n from 2^(2 * modulus_bits): 2k + 1 digits, within the divider.
    set_digit(&context->r_squared, 1);
    bn_shift_left(&context->r_squared, &context->r_squared, 2 * context->modulus_bits);
    (void)bn_mod(&context->r_squared, &context->r_squared, &context->modulus);
}

// see bn_exp.h
void bn_mont_reduce(BigNum* r, const BigNum* a, const MontgomeryContext* context) {
    const BigNum* n = &context->modulus;
    const int k = n->length;
    const uint32_t m_inv = context->digit_inverse;
    uint32_t t_area[kDigitAreaSize];
    BigNum t = {0, 0, t_area};

    bn_copy(&t, a);
    t.negative = (a->negative != 0) != (n->negative != 0);
    for (int i = t.length; i <= 2 * k; ++i) t_area[i] = 0;
    t.length = 2 * k + 1;

    // Each pass clears digit i: u * n[0] == -t[i] (mod 2^32). The running
    // value stays below 2 * n * R, so every carry dies at digit 2k at most.
    for (int i = 0; i < k; ++i) {
        const uint32_t u = t_area[i] * m_inv;
        uint32_t carry = bn_vec_mul_add_digit(t_area + i, n->digits, k, u);
        for (int j = i + k; carry != 0; ++j) {
            const uint32_t sum = t_area[j] + carry;
            carry = sum < carry ? 1u : 0u;
            t_area[j] = sum;
        }
    }
    while (t.length > 0 && t_area[t.length - 1] == 0) --t.length;

    bn_shift_right(r, &t, context->modulus_bits);
    if (bn_cmp_abs(r, n) >= 0) bn_sub_abs(r, r, n);
}

// see bn_exp.h
void bn_mont_mul(BigNum* r, const BigNum* a, const BigNum* b, const MontgomeryContext* context) {
    uint32_t product_area[kDigitAreaSize];
    BigNum product = {0, 0, product_area};

    if (a == b) {
        bn_sqr(&product, a);
    } else {
        bn_mul(&product, a, b);
    }
    bn_mont_reduce(r, &product, context);
}
