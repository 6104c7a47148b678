// The hash check: SHA-1 streamed over the block's signed content and the
// data that comes with it, never copied into one buffer.
#include <cstring>

#include "emv/emv_internal.h"

EmvCheckResult emv_check_hash(EmvBlock block, const EmvBytes* parts, int32_t part_count,
                              const uint8_t recovered_hash[kSha1DigestSize])
{
    for (int32_t i = 0; i < part_count; ++i) {
        if (!emv_given(parts[i])) {
            return EMV_CHECK_NOT_MADE;
        }
    }
    // Hash input starts at the format byte (after the header) and ends where
    // the recovered hash begins.
    Sha1Context ctx;
    sha1_init(&ctx);
    sha1_update(&ctx, block.data + 1, (uint32_t)(block.length - 1 - kEmvTailLength));
    for (int32_t i = 0; i < part_count; ++i) {
        sha1_update(&ctx, parts[i].data, (uint32_t)parts[i].length);
    }
    uint8_t digest[kSha1DigestSize];
    sha1_final(&ctx, digest);
    return emv_result(memcmp(digest, recovered_hash, kSha1DigestSize) == 0);
}
