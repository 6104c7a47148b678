// Magnitude and signed addition and subtraction.
#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_normalise.h"
#include "crypto/bignum/bn_pair.h"

namespace {

// Copies a[from .. n) into r[from .. n) unless r already is a.
void copy_upper(uint32_t* r, const uint32_t* a, int from, int n)
{
    if (r != a && n > from) {
        bn_copy_digits_up(r + from, a + from, n - from);
    }
}

// |r| = |a| + |b| with the longer operand first.
void add_longer_first(BigNum* r, const BigNum* a, const BigNum* b)
{
    if (a->length >= b->length) {
        bn_add_abs(r, a, b);
    } else {
        bn_add_abs(r, b, a);
    }
}

// r = |minuend| - |subtrahend| as a signed number. The subtrahend must be
// strictly larger in magnitude for a negative result, so equal magnitudes
// give a non-negative zero.
void signed_difference(BigNum* r, const BigNum* minuend, const BigNum* subtrahend)
{
    if (bn_cmp_abs(subtrahend, minuend) > 0) {
        r->negative = 1;
        bn_sub_abs(r, subtrahend, minuend);
    } else {
        r->negative = 0;
        bn_sub_abs(r, minuend, subtrahend);
    }
}

}  // namespace

// see bignum.h
void bn_add_abs(BigNum* r, const BigNum* a, const BigNum* b)
{
    // Lengths are read first: r may be a or b.
    const int na = a->length;
    const int nb = b->length;
    const uint32_t* ad = a->digits;
    const uint32_t* bd = b->digits;
    uint32_t* rd = r->digits;
    uint32_t carry = 0;
    int i = 0;
#if BN_HAVE_WIDE
    // Two digits per step: half as many dependent carry steps.
    // Carries are found by comparison, which compilers keep in flags.
    for (; i + 2 <= nb; i += 2) {
        const uint64_t x = bn_load_pair(ad + i);
        const uint64_t s = x + bn_load_pair(bd + i);
        const uint64_t t = s + carry;
        bn_store_pair(rd + i, t);
        carry = ((s < x) | (t < s)) ? 1u : 0u;
    }
#endif
    for (; i < nb; ++i) {
        const uint64_t s = static_cast<uint64_t>(ad[i]) + bd[i] + carry;
        rd[i] = static_cast<uint32_t>(s);
        carry = static_cast<uint32_t>(s >> 32);
    }
    for (; carry != 0 && i < na; ++i) {
        const uint32_t x = ad[i];
        rd[i] = x + 1;
        carry = (x == 0xFFFFFFFFu) ? 1u : 0u;
    }
    if (carry != 0) {
        rd[na] = 1;
        r->length = na + 1;
        return;
    }
    copy_upper(rd, ad, i, na);
    r->length = na;
}

// see bignum.h
void bn_sub_abs(BigNum* r, const BigNum* a, const BigNum* b)
{
    const int na = a->length;
    const int nb = b->length;
    const uint32_t* ad = a->digits;
    const uint32_t* bd = b->digits;
    uint32_t* rd = r->digits;
    uint32_t borrow = 0;
    int i = 0;
#if BN_HAVE_WIDE
    for (; i + 2 <= nb; i += 2) {
        const uint64_t x = bn_load_pair(ad + i);
        const uint64_t y = bn_load_pair(bd + i);
        const uint64_t s = x - y;
        bn_store_pair(rd + i, s - borrow);
        borrow = ((x < y) | (s < borrow)) ? 1u : 0u;
    }
#endif
    for (; i < nb; ++i) {
        const uint64_t s = static_cast<uint64_t>(ad[i]) - bd[i] - borrow;
        rd[i] = static_cast<uint32_t>(s);
        borrow = static_cast<uint32_t>(s >> 63);
    }
    for (; borrow != 0 && i < na; ++i) {
        const uint32_t x = ad[i];
        rd[i] = x - 1;
        borrow = (x == 0) ? 1u : 0u;
    }
    copy_upper(rd, ad, i, na);
    r->length = na;
    bn_normalise(r);
}

// see bignum.h
void bn_add(BigNum* r, const BigNum* a, const BigNum* b)
{
    // Signs are read first: r may be a or b.
    const int a_negative = a->negative != 0 ? 1 : 0;
    const int b_negative = b->negative != 0 ? 1 : 0;
    if (a_negative == b_negative) {
        r->negative = a_negative;
        add_longer_first(r, a, b);
    } else if (a_negative) {
        signed_difference(r, b, a);
    } else {
        signed_difference(r, a, b);
    }
}

// see bignum.h
void bn_sub(BigNum* r, const BigNum* a, const BigNum* b)
{
    const int a_negative = a->negative != 0 ? 1 : 0;
    const int b_negative = b->negative != 0 ? 1 : 0;
    if (a_negative != b_negative) {
        r->negative = a_negative;
        add_longer_first(r, a, b);
    } else if (a_negative) {
        signed_difference(r, b, a);
    } else {
        signed_difference(r, a, b);
    }
}

// see bignum.h
void bn_sub_digit(BigNum* r, const BigNum* a, uint32_t w)
{
    const int na = a->length;
    r->negative = a->negative;
    if (na == 0) {
        r->length = 0;
        return;
    }
    const uint32_t* ad = a->digits;
    uint32_t* rd = r->digits;
    const uint32_t low = ad[0];
    rd[0] = low - w;
    int i = 1;
    if (low < w) {
        // The borrow is one unit of the next digit; it runs on through zeros.
        for (; i < na; ++i) {
            const uint32_t x = ad[i];
            rd[i] = x - 1;
            if (x != 0) {
                ++i;
                break;
            }
        }
    }
    copy_upper(rd, ad, i, na);
    r->length = na;
    bn_normalise(r);
}
