// Shifts of the magnitude by any number of bits.
#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_normalise.h"

// see bignum.h
void bn_shift_left(BigNum* r, const BigNum* a, int n)
{
    const int na = a->length;
    const int w = static_cast<int>(static_cast<unsigned>(n) / 32);  // n is not negative
    const int s = static_cast<int>(static_cast<unsigned>(n) % 32);
    const uint32_t* ad = a->digits;
    uint32_t* rd = r->digits;
    r->negative = a->negative;
    // Top down, so that r may be a: each digit is read before the writes
    // reach it. The digit above the result is always written.
    if (na == 0) {
        rd[w] = 0;
    } else if (s == 0) {
        rd[na + w] = 0;
        bn_copy_digits_down(rd + w, ad, na);
    } else {
        rd[na + w] = ad[na - 1] >> (32 - s);
        for (int i = na - 1; i > 0; --i) {
            rd[i + w] = (ad[i] << s) | (ad[i - 1] >> (32 - s));
        }
        rd[w] = ad[0] << s;
    }
    bn_clear_digits(rd, w);
    // The digit above the result is zero as often as not: drop it without a
    // branch, then normalise as usual (a zero digit below it is rare).
    const int len = na + w + 1;
    r->length = len - (rd[len - 1] == 0 ? 1 : 0);
    bn_normalise(r);
}

// see bignum.h
void bn_shift_right(BigNum* r, const BigNum* a, int n)
{
    const int na = a->length;
    const int w = static_cast<int>(static_cast<unsigned>(n) / 32);  // n is not negative
    const int s = static_cast<int>(static_cast<unsigned>(n) % 32);
    if (w > na) {
        r->negative = 0;
        r->length = 1;
        r->digits[0] = 0;
        return;
    }
    const uint32_t* ad = a->digits;
    uint32_t* rd = r->digits;
    const int len = na - w;
    r->negative = a->negative;
    // Bottom up, so that r may be a.
    if (len > 0) {
        if (s == 0) {
            bn_copy_digits_up(rd, ad + w, len);
        } else {
            for (int i = 0; i < len - 1; ++i) {
                rd[i] = (ad[i + w] >> s) | (ad[i + w + 1] << (32 - s));
            }
            rd[len - 1] = ad[na - 1] >> s;
        }
    }
    r->length = len;
    bn_normalise(r);
}
