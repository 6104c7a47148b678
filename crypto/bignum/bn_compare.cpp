// Magnitude comparison and single-bit test.
#include "crypto/bignum/bignum.h"

// see bignum.h
int bn_cmp_abs(const BigNum* a, const BigNum* b)
{
    if (a->length != b->length) {
        return a->length - b->length;
    }
    for (int i = a->length - 1; i >= 0; --i) {
        const uint32_t x = a->digits[i];
        const uint32_t y = b->digits[i];
        if (x != y) {
            return x > y ? 1 : -1;
        }
    }
    return 0;
}

// see bignum.h
int bn_test_bit(const BigNum* a, int n)
{
    if (n < 0 || n / 32 >= a->length) {
        return 0;
    }
    return static_cast<int>((a->digits[n / 32] >> (n % 32)) & 1u);
}
