// One-shot SHA-1: the checked entry used by the commands and the unchecked
// computation under it.
#include <cstdint>

#include "crypto/sha1/sha1.h"

// see sha1.h
CryptoStatus sha1_compute(uint8_t* digest, const uint8_t* data, uint32_t length)
{
    Sha1Context ctx;  // on the stack: the engine takes no heap memory
    sha1_init(&ctx);
    sha1_update(&ctx, data, length);
    sha1_final(&ctx, digest);
    return CRYPTO_OK;
}

// see sha1.h
CryptoStatus sha1_digest(const uint8_t* data, uint32_t length, uint8_t* digest)
{
    if (data == nullptr || digest == nullptr)
        return CRYPTO_ERR_NULL_ARGUMENT;
    return sha1_compute(digest, data, length);
}
