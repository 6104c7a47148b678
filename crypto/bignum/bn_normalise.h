// Internal helper shared by the big-number files; not part of the contract.
#pragma once

#include "crypto/bignum/bignum.h"

// Drops zero digits from the top until length is 0 or the top digit is
// non-zero.
inline void bn_normalise(BigNum* r) {
    int32_t n = r->length;
    while (n > 0 && r->digits[n - 1] == 0) {
        --n;
    }
    r->length = n;
}

// Library zero test: length 0, or the explicit zero (length 1, digit 0).
inline bool bn_is_zero(const BigNum* a) {
    return a->length == 0 || (a->length == 1 && a->digits[0] == 0);
}
