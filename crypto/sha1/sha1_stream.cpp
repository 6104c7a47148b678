// Streaming SHA-1: init, update and final over a caller-owned context.
#include <cstdint>
#include <cstring>

#include "crypto/sha1/sha1.h"

const uint8_t sha1_padding[64] = {0x80};

static void store_be32(uint8_t* out, uint32_t x)
{
    out[0] = (uint8_t)(x >> 24);
    out[1] = (uint8_t)(x >> 16);
    out[2] = (uint8_t)(x >> 8);
    out[3] = (uint8_t)x;
}

// see sha1.h
void sha1_init(Sha1Context* ctx)
{
    ctx->byte_count_low = 0;
    ctx->byte_count_high = 0;
    ctx->hash[0] = 0x67452301u;
    ctx->hash[1] = 0xEFCDAB89u;
    ctx->hash[2] = 0x98BADCFEu;
    ctx->hash[3] = 0x10325476u;
    ctx->hash[4] = 0xC3D2E1F0u;
}

// see sha1.h
void sha1_update(Sha1Context* ctx, const uint8_t* data, uint32_t length)
{
    if (length == 0)
        return;
    uint32_t fill = ctx->byte_count_low % 64;  // taken before the counter moves
    ctx->byte_count_low += length;
    if (ctx->byte_count_low < length)
        ++ctx->byte_count_high;

    if (fill > 0 && length >= 64 - fill) {
        uint32_t take = 64 - fill;
        std::memcpy(ctx->block + fill, data, take);
        sha1_transform(ctx, ctx->block);
        data += take;
        length -= take;
        fill = 0;
    }
    // Whole blocks are compressed in place, never copied.
    while (length >= 64) {
        sha1_transform(ctx, data);
        data += 64;
        length -= 64;
    }
    std::memcpy(ctx->block + fill, data, length);
}

// see sha1.h
void sha1_final(Sha1Context* ctx, uint8_t* digest)
{
    // The bit length is taken before the padding moves the counters.
    uint8_t bit_length[8];
    store_be32(bit_length, ctx->byte_count_high << 3 | ctx->byte_count_low >> 29);
    store_be32(bit_length + 4, ctx->byte_count_low << 3);

    // 1..64 padding bytes bring the fill to 56; the length completes the block.
    uint32_t fill = ctx->byte_count_low % 64;
    sha1_update(ctx, sha1_padding, fill < 56 ? 56 - fill : 120 - fill);
    sha1_update(ctx, bit_length, 8);

    for (int i = 0; i < 5; ++i)
        store_be32(digest + 4 * i, ctx->hash[i]);
}
