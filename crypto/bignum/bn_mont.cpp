// Montgomery setup, reduction and multiplication for odd moduli whose top
// digit is full, so that R = 2^modulus_bits is a whole number of digits.
#include "crypto/bignum/bn_exp.h"
#include "crypto/bignum/bn_normalise.h"
#include "crypto/bignum/bn_pair.h"

namespace {

// m' = -d0^-1 mod 2^32, taken through the inverse of 2^32 modulo d0:
// inv * 2^32 - 1 is a multiple of d0, and the quotient q satisfies
// q * d0 == -1 (mod 2^32).
void compute_digit_inverse(MontgomeryContext* context, const BigNum* modulus)
{
    BigNum d0 = {modulus->negative, 1, modulus->digits};  // view, not a copy
    BigNum* work = &context->inverse_work;
    BigNum* scratch = &context->r_squared;

    bn_set_digit(scratch, 1);
    bn_shift_left(scratch, scratch, 32);
    bn_mod_inverse(work, scratch, &d0);
    if (bn_is_zero(work)) {
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
void bn_mont_init(MontgomeryContext* context, const BigNum* modulus)
{
    context->r_squared.digits = context->r_squared_area;
    context->inverse_work.digits = context->inverse_work_area;
    context->modulus.digits = context->modulus_area;

    context->modulus_bits = bn_bit_length(modulus);
    bn_copy(&context->modulus, modulus);
    compute_digit_inverse(context, modulus);

    // R^2 mod n from 2^(2 * modulus_bits): 2k + 1 digits, within the divider.
    bn_set_digit(&context->r_squared, 1);
    bn_shift_left(&context->r_squared, &context->r_squared, 2 * context->modulus_bits);
    (void)bn_mod(&context->r_squared, &context->r_squared, &context->modulus);
}

namespace {

// Reduction state: T, a copy of the input widened to 2k + 1 digits.
struct ReduceWork {
    uint32_t area[kDigitAreaSize];
    BigNum t;
};

void reduce_start(ReduceWork* w, const BigNum* a, const BigNum* n)
{
    w->t = BigNum{0, 0, w->area};
    bn_copy(&w->t, a);
    w->t.negative = (a->negative != 0) != (n->negative != 0) ? 1 : 0;
    // Two digits above T are cleared too: the word passes add their 128-bit
    // carries there, where the value stays zero (T stays below 2 * n * R).
    for (int i = w->t.length; i <= 2 * n->length + 2; ++i)
        w->area[i] = 0;
    w->t.length = 2 * n->length + 1;
}

// Digits [from, to) of T become zero: the pass at digit i adds u * n there,
// with u * n[0] == -T[i] (mod 2^32). T stays below 2 * n * R, so no carry
// runs past digit 2k.
void clear_digit_rows(uint32_t* t, const BigNum* n, uint32_t m_inv, int from, int to)
{
    const int k = n->length;
    for (int i = from; i < to; ++i) {
        const uint32_t u = t[i] * m_inv;
        uint32_t carry = bn_vec_mul_add_digit(t + i, n->digits, k, u);
        for (int j = i + k; carry != 0; ++j) {
            const uint32_t sum = t[j] + carry;
            carry = sum < carry ? 1u : 0u;
            t[j] = sum;
        }
    }
}

// The lowest k digits of T are zero: r = T / R, then one subtraction brings
// it below n (T < 2 * n * R).
void reduce_finish(BigNum* r, ReduceWork* w, const MontgomeryContext* context)
{
    while (w->t.length > 0 && w->area[w->t.length - 1] == 0)
        --w->t.length;
    bn_shift_right(r, &w->t, context->modulus_bits);
    if (bn_cmp_abs(r, &context->modulus) >= 0)
        bn_sub_abs(r, r, &context->modulus);
}

#if BN_HAVE_WIDE

// -n^-1 mod 2^128 from the digit inverse: n^-1 mod 2^32 is -m', and each
// Newton step x * (2 - n * x) doubles the bits that are right.
BnWide pair_inverse(const uint64_t* n_words, int words, uint32_t m_inv)
{
    const BnWide n_low = n_words[0] | (words > 1 ? static_cast<BnWide>(n_words[1]) << 64 : 0);
    BnWide inv = static_cast<uint32_t>(0u - m_inv);
    inv *= 2 - n_low * inv;  // 64 bits
    inv *= 2 - n_low * inv;  // 128 bits
    return 0 - inv;
}

// T words [at, at + 2) += value, and the carry on up by digits. T stays
// below 2 * n * R, so nothing reaches past digit 2k: the words may cover the
// two cleared digits above T, and the carry stops within T.
void add_at_word(uint32_t* t, int at, BnWide value)
{
    const BnWide x = bn_load_pair(t + 2 * at) | static_cast<BnWide>(bn_load_pair(t + 2 * at + 2))
                                                    << 64;
    const BnWide sum = x + value;
    bn_store_pair(t + 2 * at, static_cast<uint64_t>(sum));
    bn_store_pair(t + 2 * at + 2, static_cast<uint64_t>(sum >> 64));
    if (sum < value)
        for (int j = 2 * at + 4; ++t[j] == 0; ++j) {
        }
}

// As clear_digit_rows for the digits from `from` up to k, 64-bit words at a
// time: u * n == -T word (mod 2^64), one 64 x 64-bit product where the
// digit passes do two 32 x 32-bit ones. Two word rows share a pass: their
// multipliers u0 + u1 * 2^64 == -T * n^-1 (mod 2^128) are the ones the two
// rows would find one after the other. (k - from) MUST be even.
void clear_pair_rows(uint32_t* t, const BigNum* n, uint32_t m_inv, int from)
{
    const int k = n->length;
    const int words = (k + 1) / 2;  // n as 64-bit words, top one padded
    uint64_t n_words[kDigitAreaSize / 2];
    for (int j = 0; j < k / 2; ++j)
        n_words[j] = bn_load_pair(n->digits + 2 * j);
    if (k & 1)
        n_words[words - 1] = n->digits[k - 1];
    const BnWide m_inv4 = pair_inverse(n_words, words, m_inv);

    uint32_t* const tw = t + from;  // T's word i is digits from + 2i, from + 2i + 1
    const int rows = (k - from) / 2;
    int i = 0;
    for (; i + 2 <= rows; i += 2) {
        const BnWide low =
            bn_load_pair(tw + 2 * i) | static_cast<BnWide>(bn_load_pair(tw + 2 * i + 2)) << 64;
        const BnWide u = low * m_inv4;
        const BnWide top = bn_pair_row2_mul_add(
            tw + 2 * i, n_words, words, static_cast<uint64_t>(u), static_cast<uint64_t>(u >> 64));
        add_at_word(tw, i + words, top);
    }
    if (i < rows) {
        const uint64_t u = bn_load_pair(tw + 2 * i) * static_cast<uint64_t>(m_inv4);
        add_at_word(tw, i + words, bn_pair_row_mul_add(tw + 2 * i, n_words, words, u));
    }
}

#endif

}  // namespace

// see bn_exp.h
void bn_mont_reduce_digits(BigNum* r, const BigNum* a, const MontgomeryContext* context)
{
    ReduceWork w;
    reduce_start(&w, a, &context->modulus);
    clear_digit_rows(w.area, &context->modulus, context->digit_inverse, 0, context->modulus.length);
    reduce_finish(r, &w, context);
}

// see bn_exp.h
void bn_mont_reduce(BigNum* r, const BigNum* a, const MontgomeryContext* context)
{
#if BN_HAVE_WIDE
    const int k = context->modulus.length;
    const int odd = k & 1;  // an odd digit count starts with one digit pass
    ReduceWork w;
    reduce_start(&w, a, &context->modulus);
    clear_digit_rows(w.area, &context->modulus, context->digit_inverse, 0, odd);
    clear_pair_rows(w.area, &context->modulus, context->digit_inverse, odd);
    reduce_finish(r, &w, context);
#else
    bn_mont_reduce_digits(r, a, context);
#endif
}

// see bn_exp.h
void bn_mont_mul(BigNum* r, const BigNum* a, const BigNum* b, const MontgomeryContext* context)
{
    uint32_t product_area[kDigitAreaSize];
    BigNum product = {0, 0, product_area};
    bn_product(&product, a, b);
    bn_mont_reduce(r, &product, context);
}
