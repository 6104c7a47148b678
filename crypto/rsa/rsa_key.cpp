// The key context: one zero-filled heap block holding every number and its
// digit area, and the setting of the public key.
#include <cstdlib>

#include "crypto/bignum/bn_exp.h"
#include "crypto/rsa/rsa.h"

namespace {

// Index of the first non-zero byte of bytes[0 .. len), or len when all are 0.
uint32_t leading_zero_bytes(const uint8_t* bytes, uint32_t len)
{
    uint32_t i = 0;
    while (i < len && bytes[i] == 0)
        ++i;
    return i;
}

}  // namespace

// see rsa.h
CryptoStatus rsa_new(RsaKey** key_out)
{
    RsaKey* key = static_cast<RsaKey*>(calloc(1, sizeof(RsaKey)));
    *key_out = key;
    if (key == nullptr)
        return CRYPTO_ERR_MEMORY;
    rsa_init_key(key);
    return CRYPTO_OK;
}

// see rsa.h
void rsa_init_key(RsaKey* key)
{
    BigNum* numbers[] = {&key->modulus,   &key->public_exponent, &key->private_exponent,
                         &key->prime1,    &key->prime2,          &key->exponent1,
                         &key->exponent2, &key->coefficient};
    uint32_t* areas[] = {key->modulus_area,   key->public_exponent_area, key->private_exponent_area,
                         key->prime1_area,    key->prime2_area,          key->exponent1_area,
                         key->exponent2_area, key->coefficient_area};
    for (int i = 0; i < 8; ++i) {
        numbers[i]->digits = areas[i];
        numbers[i]->negative = 0;
    }
}

// see rsa.h
CryptoStatus rsa_set_public_key(RsaKey* key, const uint8_t* modulus, int32_t bits,
                                uint32_t exponent)
{
    if (key == nullptr || modulus == nullptr)
        return CRYPTO_ERR_NULL_ARGUMENT;
    // Refuse before anything is written: the exponentiation's temporaries
    // hold at most kMaxModulusBytes of modulus.
    const uint32_t len = static_cast<uint32_t>(bits) / 8;
    if (len - leading_zero_bytes(modulus, len) > static_cast<uint32_t>(kMaxModulusBytes))
        return CRYPTO_ERR_DATA_TOO_LONG;
    rsa_set_public_raw(key, modulus, bits, exponent);
    return CRYPTO_OK;
}

// see rsa.h
void rsa_set_public_raw(RsaKey* key, const uint8_t* modulus, int32_t bits, uint32_t exponent)
{
    const uint32_t len = static_cast<uint32_t>(bits) / 8;
    const uint32_t skip = leading_zero_bytes(modulus, len);
    bn_from_bytes(&key->modulus, modulus + skip, static_cast<int>(len - skip));

    key->public_exponent.negative = 0;
    key->public_exponent.length = 1;
    key->public_exponent.digits[0] = exponent;
}

// see rsa.h
void rsa_free(RsaKey* key)
{
    if (key != nullptr)
        free(key);
}
