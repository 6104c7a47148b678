// Streaming against the OpenSSL oracle: padding edges, random messages fed
// whole, in random pieces and byte by byte, and the context left by update
// and final. (Interleaved contexts are the stream fuzzer's business.)
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sha1_test_support.h"

namespace {

const uint32_t kInitialHash[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};

std::string final_hex(Sha1Context* ctx)
{
    uint8_t out[kSha1DigestSize];
    sha1_final(ctx, out);
    return to_hex(out, sizeof out);
}

// Feeds message in pieces of random length (zero-length pieces included,
// each at its own offset, so whole blocks are compressed at every
// alignment).
void update_in_random_pieces(Sha1Context* ctx, const std::vector<uint8_t>& message, TestRng& rng)
{
    size_t at = 0;
    while (at < message.size()) {
        uint32_t left = (uint32_t)(message.size() - at);
        uint32_t n;
        switch (rng.below(4)) {
            case 0:
                n = rng.below(8);
                break;  // tiny, often 0
            case 1:
                n = rng.below(130);
                break;  // around one or two blocks
            default:
                n = rng.below(left + 1);
                break;  // anything up to the rest
        }
        if (n > left)
            n = left;
        sha1_update(ctx, message.data() + at, n);
        at += n;
    }
}

TEST(Sha1Padding, LengthsAroundTheBlockEdges)
{
    // total: counter after final = message + padding + 8 length bytes.
    struct Case {
        uint32_t length;
        uint32_t total;
    };
    const Case cases[] = {
        {0, 64},    {1, 64},    {55, 64},   {56, 128},  {57, 128},
        {63, 128},  {64, 128},  {65, 128},  {119, 128}, {120, 192},
        {121, 192}, {127, 192}, {128, 192}, {183, 192}, {184, 256},
    };
    TestRng rng(55);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        std::vector<uint8_t> message = rng.bytes(c.length);
        Sha1Context ctx;
        sha1_init(&ctx);
        sha1_update(&ctx, message.data(), c.length);

        // Whole blocks are compressed by update; the rest waits in block.
        bool compressed = std::memcmp(ctx.hash, kInitialHash, sizeof kInitialHash) != 0;
        EXPECT_EQ(compressed, c.length >= 64);
        uint32_t tail = c.length % 64;
        EXPECT_EQ(0, std::memcmp(ctx.block, bytes_of(message) + c.length - tail, tail));

        EXPECT_EQ(final_hex(&ctx), oracle_sha1_hex(message.data(), c.length));
        EXPECT_EQ(ctx.byte_count_low, c.total);
        EXPECT_EQ(ctx.byte_count_high, 0u);
    }
}

TEST(Sha1Stream, RandomMessagesWholeInPiecesAndByteByByte)
{
    const uint64_t seed = 0x5EED0001;
    SCOPED_TRACE("seed " + std::to_string(seed));
    TestRng rng(seed);
    for (int i = 0; i < 3000; ++i) {
        // Half the messages are short, to cross the padding edges often.
        uint32_t n = i % 2 ? rng.below(200) : rng.below(4097);
        // An exact-size heap buffer per message, so a sanitizer sees any
        // read past its end.
        std::vector<uint8_t> message = rng.bytes(n);
        std::string expected = oracle_sha1_hex(message.data(), n);
        SCOPED_TRACE("message " + std::to_string(i) + ", " + std::to_string(n) + " bytes");

        ASSERT_EQ(tarvello_sha1_hex(bytes_of(message), n), expected);

        Sha1Context ctx;
        sha1_init(&ctx);
        update_in_random_pieces(&ctx, message, rng);
        ASSERT_EQ(final_hex(&ctx), expected);

        if (i % 25 == 0) {
            sha1_init(&ctx);
            for (uint32_t k = 0; k < n; ++k)
                sha1_update(&ctx, message.data() + k, 1);
            ASSERT_EQ(final_hex(&ctx), expected);
        }
    }
}

TEST(Sha1Stream, ZeroLengthUpdateLeavesTheContextAsItWas)
{
    TestRng rng(7);
    std::vector<uint8_t> prefix = rng.bytes(200);
    const uint8_t one = 0x42;
    for (uint32_t fill : {0u, 1u, 55u, 63u, 64u, 129u}) {
        SCOPED_TRACE(fill);
        Sha1Context ctx;
        std::memset(&ctx, 0xA5, sizeof ctx);  // block bytes beyond fill are visible too
        sha1_init(&ctx);
        sha1_update(&ctx, prefix.data(), fill);
        Sha1Context before = ctx;
        sha1_update(&ctx, &one, 0);
        EXPECT_EQ(0, std::memcmp(&ctx, &before, sizeof ctx));
        sha1_update(&ctx, nullptr, 0);
        EXPECT_EQ(0, std::memcmp(&ctx, &before, sizeof ctx));
    }
}

}  // namespace
