// Byte-string import and export, bit length and its byte table.
#include <cstring>

#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_normalise.h"

// see bignum.h
const uint8_t bn_byte_bit_length[256] = {
    0, 1, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4,
    5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5,
    6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
    6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
};

// see bignum.h
void bn_from_bytes(BigNum* r, const uint8_t* bytes, int len) {
    r->negative = 0;
    if (len <= 0) {
        r->length = 0;
        return;
    }
    const int n = (len - 1) / 4 + 1;
    uint32_t* d = r->digits;
    // The top digit takes the odd leading bytes, every other digit four.
    int in_digit = (len - 1) % 4 + 1;
    int top = n - 1;
    int pos = 0;
    while (top >= 0) {
        uint32_t w = 0;
        for (int k = 0; k < in_digit; ++k) {
            w = (w << 8) | bytes[pos++];
        }
        d[top--] = w;
        in_digit = 4;
    }
    r->length = n;
    bn_normalise(r);
}

// see bignum.h
int bn_to_bytes(uint8_t* out, const BigNum* a) {
    const int n = (bn_bit_length(a) + 7) / 8;
    const uint32_t* d = a->digits;
    for (int j = 0; j < n; ++j) {
        const int k = n - 1 - j;
        out[j] = static_cast<uint8_t>(d[k / 4] >> (8 * (k % 4)));
    }
    return n;
}

// see bignum.h
int bn_bit_length(const BigNum* a) {
    if (a->length == 0) {
        return 0;
    }
    const uint32_t t = a->digits[a->length - 1];
    if (t == 0) {
        return 0;
    }
    int bits;
    if (t >= 0x1000000u) {
        bits = 24 + bn_byte_bit_length[t >> 24];
    } else if (t >= 0x10000u) {
        bits = 16 + bn_byte_bit_length[t >> 16];
    } else if (t >= 0x100u) {
        bits = 8 + bn_byte_bit_length[t >> 8];
    } else {
        bits = bn_byte_bit_length[t];
    }
    return 32 * (a->length - 1) + bits;
}
