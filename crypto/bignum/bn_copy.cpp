// Copy of a number into another record's own area.
#include <cstdint>

#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_normalise.h"

// see bignum.h
void bn_copy(BigNum* r, const BigNum* a)
{
    r->negative = a->negative;
    r->length = a->length;
    // Areas that overlap are copied in the direction that reads each digit
    // before it is overwritten.
    if (reinterpret_cast<uintptr_t>(r->digits) < reinterpret_cast<uintptr_t>(a->digits)) {
        bn_copy_digits_up(r->digits, a->digits, a->length);
    } else if (r->digits != a->digits) {
        bn_copy_digits_down(r->digits, a->digits, a->length);
    }
}
