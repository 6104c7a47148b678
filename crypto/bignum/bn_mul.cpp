// Schoolbook multiplication and squaring.
//
// With a 128-bit integer type the rows run over 64-bit limbs (two digits
// each): the same schoolbook product and the same squaring scheme (cross
// products once, doubled by a one-bit shift, plus the squares), with one
// 64 x 64-bit product doing the work of four digit products. The digit-row
// forms below are the reference and what runs elsewhere.
#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_narrow.h"
#include "crypto/bignum/bn_pair.h"

// see bn_narrow.h
void bn_mul_digit_rows(BigNum* r, const BigNum* a, const BigNum* b) {
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
void bn_sqr_digit_rows(BigNum* r, const BigNum* a) {
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

constexpr int kMaxLimbs = kDigitAreaSize / 2;

// Limbs of a digit array; an odd top digit makes a limb of its own.
int to_limbs(uint64_t* out, const uint32_t* d, int n) {
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

// The low n digits of a limb array.
void from_limbs(uint32_t* d, const uint64_t* t, int n) {
    for (int i = 0; i < n / 2; ++i) {
        bn_store_pair(d + 2 * i, t[i]);
    }
    if ((n & 1) != 0) {
        d[n - 1] = static_cast<uint32_t>(t[n / 2]);
    }
}

// One limb of a row: row[i] (+)= x[i] * w + carry. The additions are
// spelled out on the halves so that the carry stays in one register.
#define BN_LIMB_STEP(i)                                            \
    {                                                              \
        const BnWide p = static_cast<BnWide>(x[i]) * w;            \
        uint64_t lo = static_cast<uint64_t>(p);                    \
        uint64_t hi = static_cast<uint64_t>(p >> 64);              \
        if (kAdd) {                                                \
            const uint64_t v = row[i];                             \
            lo += v;                                               \
            hi += lo < v ? 1u : 0u;                                \
        }                                                          \
        lo += carry;                                               \
        hi += lo < carry ? 1u : 0u;                                \
        row[i] = lo;                                               \
        carry = hi;                                                \
    }

// row[0 .. n) (+)= x[0 .. n) * w, four limbs per pass; returns the carry
// limb.
template <bool kAdd>
inline uint64_t limb_row(uint64_t* row, const uint64_t* x, int n, uint64_t w) {
    uint64_t carry = 0;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        BN_LIMB_STEP(i) BN_LIMB_STEP(i + 1) BN_LIMB_STEP(i + 2) BN_LIMB_STEP(i + 3)
    }
    for (; i < n; ++i) {
        BN_LIMB_STEP(i)
    }
    return carry;
}

}  // namespace

// see bignum.h
void bn_mul(BigNum* r, const BigNum* a, const BigNum* b) {
    const int na = a->length;
    const int nb = b->length;
    if (na == 0 || nb == 0 || na + nb > kDigitAreaSize) {
        bn_mul_digit_rows(r, a, b);
        return;
    }
    uint64_t al[kMaxLimbs];
    uint64_t bl[kMaxLimbs];
    uint64_t t[kMaxLimbs + 1];
    const int la = to_limbs(al, a->digits, na);
    const int lb = to_limbs(bl, b->digits, nb);
    t[la] = limb_row<false>(t, al, la, bl[0]);
    for (int j = 1; j < lb; ++j) {
        t[j + la] = limb_row<true>(t + j, al, la, bl[j]);
    }
    r->negative = ((a->negative != 0) != (b->negative != 0)) ? 1 : 0;
    from_limbs(r->digits, t, na + nb);
    r->length = na + nb - (r->digits[na + nb - 1] == 0 ? 1 : 0);
}

// see bignum.h
void bn_sqr(BigNum* r, const BigNum* a) {
    const int n = a->length;
    if (n == 0 || n > kDigitAreaSize / 2) {
        bn_sqr_digit_rows(r, a);
        return;
    }
    uint64_t al[kMaxLimbs];
    uint64_t t[kMaxLimbs + 1];
    const int la = to_limbs(al, a->digits, n);
    const int m = 2 * la;
    t[0] = 0;
    t[m - 1] = 0;
    if (la > 1) {
        t[la] = limb_row<false>(t + 1, al + 1, la - 1, al[0]);
        for (int i = 1; i < la - 1; ++i) {
            t[i + la] = limb_row<true>(t + 2 * i + 1, al + i + 1, la - i - 1, al[i]);
        }
    }
    // Double the cross products and add the limb squares.
    uint64_t below = 0;
    uint64_t carry = 0;
    for (int i = 0; i < la; ++i) {
        const BnWide sq = static_cast<BnWide>(al[i]) * al[i];
        for (int half = 0; half < 2; ++half) {
            const uint64_t x = t[2 * i + half];
            const uint64_t doubled = (x << 1) | (below >> 63);
            below = x;
            const uint64_t s = half == 0 ? static_cast<uint64_t>(sq) : static_cast<uint64_t>(sq >> 64);
            const BnWide sum = static_cast<BnWide>(doubled) + s + carry;
            t[2 * i + half] = static_cast<uint64_t>(sum);
            carry = static_cast<uint64_t>(sum >> 64);
        }
    }
    r->negative = 0;
    from_limbs(r->digits, t, 2 * n);
    r->length = 2 * n - (r->digits[2 * n - 1] == 0 ? 1 : 0);
}

#else

// see bignum.h
void bn_mul(BigNum* r, const BigNum* a, const BigNum* b) {
    bn_mul_digit_rows(r, a, b);
}

// see bignum.h
void bn_sqr(BigNum* r, const BigNum* a) {
    bn_sqr_digit_rows(r, a);
}

#endif
