// The public-key operation on one block: out = in^e mod n, right-aligned.
#include <cstdlib>
#include <cstring>

#include "crypto/bignum/bn_exp.h"
#include "crypto/rsa/rsa.h"

// see rsa.h
CryptoStatus rsa_public(const RsaKey* key, uint8_t* out, const uint8_t* in, int32_t length)
{
    if (key == nullptr || out == nullptr || in == nullptr)
        return CRYPTO_ERR_NULL_ARGUMENT;
    return rsa_public_raw(out, in, length, key);
}

// see rsa.h
CryptoStatus rsa_public_raw(uint8_t* out, const uint8_t* in, int32_t length, const RsaKey* key)
{
    const int size = (bn_bit_length(&key->modulus) + 7) / 8;
    // A block size of 0 means a zero modulus: nothing can be reduced by it,
    // not even an empty input.
    if (size == 0 || length > size)
        return CRYPTO_ERR_DATA_TOO_LONG;

    uint8_t* result = static_cast<uint8_t*>(malloc(static_cast<size_t>(size)));
    if (result == nullptr)
        return CRYPTO_ERR_MEMORY;

    uint32_t x_area[kDigitAreaSize];
    uint32_t r_area[kDigitAreaSize];
    BigNum x = {0, 0, x_area};
    BigNum r = {0, 0, r_area};
    bn_from_bytes(&x, in, length);  // in is fully read here; out may alias it
    bn_mod_exp(&r, &x, &key->public_exponent, &key->modulus);

    // Measured before export so that a result too long for the block could
    // never overrun the buffer (it cannot arise while r is below n).
    if ((bn_bit_length(&r) + 7) / 8 > size) {
        free(result);
        return CRYPTO_ERR_DATA_TOO_LONG;
    }
    const int k = bn_to_bytes(result, &r);
    memset(out, 0, static_cast<size_t>(size - k));
    memcpy(out + (size - k), result, static_cast<size_t>(k));
    free(result);
    return CRYPTO_OK;
}
