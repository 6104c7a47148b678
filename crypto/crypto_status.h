// Status codes of the crypto core's checked entry points (sha1_digest,
// rsa_new, rsa_set_public_key, rsa_public): 0 for success, otherwise one of
// the codes below. Callers treat any non-zero status as failure.
#pragma once

#include <cstdint>

using CryptoStatus = int16_t;

constexpr CryptoStatus CRYPTO_OK = 0;
// Heap memory cannot be obtained.
constexpr CryptoStatus CRYPTO_ERR_MEMORY = 0x4001;
// A required pointer argument is null.
constexpr CryptoStatus CRYPTO_ERR_NULL_ARGUMENT = 0x4002;
// An RSA input block or result is longer than the modulus's block size, or
// the modulus is longer than the public operation supports.
constexpr CryptoStatus CRYPTO_ERR_DATA_TOO_LONG = 0x4121;
