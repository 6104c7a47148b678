// Byte-string import and export, bit length and its byte table.
#include <cstring>

#include "crypto/bignum/bignum.h"
#include "crypto/bignum/bn_normalise.h"

// see bignum.h
const uint8_t bn_byte_bit_length[256] = {
    0, 1, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5,
    6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
};

// see bignum.h
void bn_from_bytes(BigNum* r, const uint8_t* bytes, int len)
{
    r->negative = 0;
    if (len <= 0) {
        r->length = 0;
        return;
    }
    const int n = (len - 1) / 4 + 1;
    uint32_t* d = r->digits;
    // The top digit takes the odd leading bytes, every other digit four,
    // most significant first.
    const int lead = (len - 1) % 4 + 1;
    uint32_t w = 0;
    for (int k = 0; k < lead; ++k) {
        w = (w << 8) | bytes[k];
    }
    d[n - 1] = w;
    const uint8_t* p = bytes + lead;
    for (int top = n - 2; top >= 0; --top, p += 4) {
        d[top] = (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
                 (static_cast<uint32_t>(p[2]) << 8) | p[3];
    }
    r->length = n;
    bn_normalise(r);
}

// see bignum.h
int bn_to_bytes(uint8_t* out, const BigNum* a)
{
    const int n = (bn_bit_length(a) + 7) / 8;
    if (n == 0) {
        return 0;
    }
    const uint32_t* d = a->digits;
    // The top digit gives its significant bytes, every digit below it four.
    int top = (n - 1) / 4;
    const int lead = (n - 1) % 4 + 1;
    uint8_t* p = out;
    for (int k = lead - 1; k >= 0; --k) {
        *p++ = static_cast<uint8_t>(d[top] >> (8 * k));
    }
    while (--top >= 0) {
        const uint32_t w = d[top];
        p[0] = static_cast<uint8_t>(w >> 24);
        p[1] = static_cast<uint8_t>(w >> 16);
        p[2] = static_cast<uint8_t>(w >> 8);
        p[3] = static_cast<uint8_t>(w);
        p += 4;
    }
    return n;
}

// see bignum.h
int bn_bit_length(const BigNum* a)
{
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
