// Schoolbook multiplication and squaring, one digit row at a time.
#include "crypto/bignum/bignum.h"

// see bignum.h
void bn_mul(BigNum* r, const BigNum* a, const BigNum* b) {
    r->negative = ((a->negative != 0) != (b->negative != 0)) ? 1 : 0;
    const int na = a->length;
    const int nb = b->length;
    if (na == 0 || nb == 0) {
        r->length = 0;
        return;
    }
    uint32_t* rd = r->digits;
    const uint32_t* ad = a->digits;
    const uint32_t* bd = b->digits;
    rd[na] = bn_vec_mul_digit(rd, ad, na, bd[0]);
    for (int j = 1; j < nb; ++j) {
        rd[j + na] = bn_vec_mul_add_digit(rd + j, ad, na, bd[j]);
    }
    // Only the top digit can be zero when both operands are normal.
    r->length = na + nb - (rd[na + nb - 1] == 0 ? 1 : 0);
}

// see bignum.h
void bn_sqr(BigNum* r, const BigNum* a) {
    const int n = a->length;
    if (n == 0) {
        r->length = 0;
        return;
    }
    const int m = 2 * n;
    uint32_t* rd = r->digits;
    const uint32_t* ad = a->digits;
    r->negative = 0;
    rd[m - 1] = 0;
    rd[0] = 0;

    // Each cross product a[i] * a[j], i < j, once.
    if (n > 1) {
        rd[n] = bn_vec_mul_digit(rd + 1, ad + 1, n - 1, ad[0]);
        for (int i = 1; i < n - 1; ++i) {
            rd[i + n] = bn_vec_mul_add_digit(rd + 2 * i + 1, ad + i + 1, n - i - 1, ad[i]);
        }
    }

    // Double the cross products and add the digit squares in one pass: each
    // doubled digit takes the top bit of the digit below it.
    uint32_t squares[kDigitAreaSize];
    bn_vec_square_digits(squares, ad, n);
    uint32_t below = 0;
    uint64_t carry = 0;
    for (int i = 0; i < m; ++i) {
        const uint32_t x = rd[i];
        const uint32_t doubled = (x << 1) | (below >> 31);
        below = x;
        const uint64_t t = static_cast<uint64_t>(doubled) + squares[i] + carry;
        rd[i] = static_cast<uint32_t>(t);
        carry = t >> 32;
    }
    r->length = m - (rd[m - 1] == 0 ? 1 : 0);
}
