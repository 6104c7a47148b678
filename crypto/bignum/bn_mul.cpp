// Schoolbook multiplication and squaring.
//
// With a 128-bit integer type the rows run over 64-bit words (two digits
// each, through the word-row kernels of bn_pair.h): the same schoolbook
// product and the same squaring scheme (cross products once, doubled by a
// one-bit shift, plus the squares), with one 64 x 64-bit product doing the
// work of four digit products. The digit-row forms below are the reference
// and what runs elsewhere.
#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_narrow.h"
#include "crypto/bignum/bn_normalise.h"
#include "crypto/bignum/bn_pair.h"

// see bn_narrow.h
void bn_mul_digit_rows(BigNum* r, const BigNum* a, const BigNum* b)
{
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

// see bn_narrow.h
void bn_sqr_digit_rows(BigNum* r, const BigNum* a)
{
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

#if BN_HAVE_WIDE

namespace {

constexpr int kMaxWords = kDigitAreaSize / 2;

// 64-bit words of a digit array; an odd top digit makes a word of its own.
int to_words(uint64_t* out, const uint32_t* d, int n)
{
    const int whole = n / 2;
    for (int i = 0; i < whole; ++i) {
        out[i] = bn_load_pair(d + 2 * i);
    }
    if ((n & 1) != 0) {
        out[whole] = d[n - 1];
        return whole + 1;
    }
    return whole;
}

// The m digits of t into r, then r's length: m, less one when that top digit
// is zero.
void finish_product(BigNum* r, const uint32_t* t, int m)
{
    bn_copy_digits_up(r->digits, t, m);
    r->length = m - (t[m - 1] == 0 ? 1 : 0);
}

}  // namespace

// see bignum.h
void bn_mul(BigNum* r, const BigNum* a, const BigNum* b)
{
    const int na = a->length;
    const int nb = b->length;
    if (na == 0 || nb == 0 || na + nb > kDigitAreaSize) {
        bn_mul_digit_rows(r, a, b);
        return;
    }
    uint64_t aw[kMaxWords];
    uint64_t bw[kMaxWords];
    // Word rows may run one digit past na + nb when both counts are odd.
    uint32_t t[kDigitAreaSize + 2];
    const int la = to_words(aw, a->digits, na);
    const int lb = to_words(bw, b->digits, nb);
    if (la == 1 && lb == 1) {
        // One word each (the modular inverse's numbers): the row is one product.
        const BnWide p = static_cast<BnWide>(aw[0]) * bw[0];
        bn_store_pair(t, static_cast<uint64_t>(p));
        bn_store_pair(t + 2, static_cast<uint64_t>(p >> 64));
        r->negative = ((a->negative != 0) != (b->negative != 0)) ? 1 : 0;
        finish_product(r, t, na + nb);
        return;
    }
    bn_store_pair(t + 2 * la, bn_pair_row_mul(t, aw, la, bw[0]));
    // Then two rows per pass: words j + la and j + la + 1 are new to each.
    int j = 1;
    for (; j + 1 < lb; j += 2) {
        const BnWide top = bn_pair_row2_mul_add(t + 2 * j, aw, la, bw[j], bw[j + 1]);
        bn_store_pair(t + 2 * (j + la), static_cast<uint64_t>(top));
        bn_store_pair(t + 2 * (j + la + 1), static_cast<uint64_t>(top >> 64));
    }
    if (j < lb) {
        bn_store_pair(t + 2 * (j + la), bn_pair_row_mul_add(t + 2 * j, aw, la, bw[j]));
    }
    r->negative = ((a->negative != 0) != (b->negative != 0)) ? 1 : 0;
    finish_product(r, t, na + nb);
}

// see bignum.h
void bn_sqr(BigNum* r, const BigNum* a)
{
    const int n = a->length;
    if (n == 0 || n > kDigitAreaSize / 2) {
        bn_sqr_digit_rows(r, a);
        return;
    }
    uint64_t aw[kMaxWords];
    uint32_t t[kDigitAreaSize + 2];
    const int la = to_words(aw, a->digits, n);
    const int m = 2 * la;  // words of the square
    // Each cross product aw[i] * aw[j], i < j, once: row i starts at word
    // 2i + 1 and its carry is word i + la.
    bn_store_pair(t, 0);
    bn_store_pair(t + 2 * (m - 1), 0);
    if (la > 1) {
        bn_store_pair(t + 2 * la, bn_pair_row_mul(t + 2, aw + 1, la - 1, aw[0]));
        for (int i = 1; i < la - 1; ++i) {
            bn_store_pair(t + 2 * (i + la),
                          bn_pair_row_mul_add(t + 2 * (2 * i + 1), aw + i + 1, la - i - 1, aw[i]));
        }
    }
    // Double the cross products and add the word squares, two words (one
    // square) per step: each doubled word takes the top bit of the one below.
    uint64_t below = 0;
    uint64_t carry = 0;
    for (int i = 0; i < la; ++i) {
        const BnWide sq = static_cast<BnWide>(aw[i]) * aw[i];
        const uint64_t x0 = bn_load_pair(t + 4 * i);
        const uint64_t x1 = bn_load_pair(t + 4 * i + 2);
        const uint64_t d0 = (x0 << 1) | (below >> 63);
        const uint64_t d1 = (x1 << 1) | (x0 >> 63);
        below = x1;
        uint64_t lo = static_cast<uint64_t>(sq);
        uint64_t hi = static_cast<uint64_t>(sq >> 64);
        // (hi:lo) + (d1:d0) + carry; hi of a square is at most 2^64 - 2, so
        // the carries into it never wrap it.
        lo += carry;
        hi += lo < carry ? 1u : 0u;
        lo += d0;
        hi += lo < d0 ? 1u : 0u;
        hi += d1;
        carry = hi < d1 ? 1u : 0u;
        bn_store_pair(t + 4 * i, lo);
        bn_store_pair(t + 4 * i + 2, hi);
    }
    r->negative = 0;
    finish_product(r, t, 2 * n);
}

#else

// see bignum.h
void bn_mul(BigNum* r, const BigNum* a, const BigNum* b)
{
    bn_mul_digit_rows(r, a, b);
}

// see bignum.h
void bn_sqr(BigNum* r, const BigNum* a)
{
    bn_sqr_digit_rows(r, a);
}

#endif
