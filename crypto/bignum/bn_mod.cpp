// Remainder and modular multiplication through long division.
#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_normalise.h"

// see bignum.h
int bn_mod(BigNum* r, const BigNum* a, const BigNum* m)
{
    uint32_t quotient_area[kDigitAreaSize];
    BigNum quotient = {0, 0, quotient_area};
    return bn_div(&quotient, r, a, m);
}

// see bignum.h
int bn_mod_mul(BigNum* r, const BigNum* a, const BigNum* b, const BigNum* m)
{
    uint32_t product_area[kDigitAreaSize];
    BigNum product = {0, 0, product_area};
    bn_product(&product, a, b);
    uint32_t quotient_area[kDigitAreaSize];
    BigNum quotient = {0, 0, quotient_area};
    return bn_div(&quotient, r, &product, m);
}
