// Copy of a number into another record's own area.
#include <cstring>

#include "crypto/bignum/bignum.h"

// see bignum.h
void bn_copy(BigNum* r, const BigNum* a) {
    r->negative = a->negative;
    r->length = a->length;
    if (r->digits != a->digits && a->length > 0) {
        std::memmove(r->digits, a->digits, sizeof(uint32_t) * static_cast<size_t>(a->length));
    }
}
