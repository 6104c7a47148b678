// The 64-bit byte counter kept in two words: the carry when the low word
// wraps, and the bit length that final derives from it. Messages of 4 GiB
// and more cannot be hashed in a test, so the counter is set by hand after a
// real prefix, and the oracle's context is given the same count.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sha1_test_support.h"
#include "tests/support/sha1_oracle.h"

namespace {

struct CounterCase {
    const char* name;
    uint32_t prefix;  // real bytes hashed first; fixes hash and block
    uint32_t low;     // then set by hand; low % 64 MUST equal prefix % 64
    uint32_t high;
    uint32_t tail;  // bytes fed after the counter was set
};

const CounterCase kCases[] = {
    {"whole block lands exactly on the wrap", 0, 0xFFFFFFC0u, 0, 64},
    {"wrap while completing a buffered block", 5, 0xFFFFFFC5u, 0, 100},
    {"buffered block completes to exactly 2^32", 70, 0xFFFFFFC6u, 0, 58},
    {"wrap spread over many blocks", 13, 0xFFFFFF0Du, 0, 1000},
    {"wrap caused by the padding in final", 64, 0xFFFFFFC0u, 0, 0},
    {"low word at 2^29: top bits move into the length's high word", 0, 0x20000000u, 0, 1},
    {"top three bits of low and a high word", 3, 0xE0000003u, 0x12345678u, 10},
    {"high word shifted out of the 64-bit bit length", 0, 0xFFFFFFC0u, 0x1FFFFFFFu, 64},
    {"whole 64-bit counter wraps", 0, 0xFFFFFFC0u, 0xFFFFFFFFu, 64},
};

TEST(Sha1Counter, CarryIntoHighWordAndIntoTheBitLength)
{
    TestRng rng(0xC0FFEE);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.low % 64, c.prefix % 64) << "bad table row";
        std::vector<uint8_t> prefix = rng.bytes(c.prefix);
        std::vector<uint8_t> tail = rng.bytes(c.tail);

        Sha1Context ctx;
        sha1_init(&ctx);
        sha1_update(&ctx, prefix.data(), c.prefix);
        ctx.byte_count_low = c.low;
        ctx.byte_count_high = c.high;

        support::Sha1Oracle ref;
        ref.update(prefix.data(), prefix.size());
        ref.set_byte_count((uint64_t)c.high << 32 | c.low);

        // Two updates, so a carry in either one is exercised.
        uint32_t first = c.tail / 3;
        sha1_update(&ctx, tail.data(), first);
        sha1_update(&ctx, tail.data() + first, c.tail - first);
        ref.update(tail.data(), tail.size());

        uint64_t count = ((uint64_t)c.high << 32 | c.low) + c.tail;
        EXPECT_EQ(ctx.byte_count_low, (uint32_t)count);
        EXPECT_EQ(ctx.byte_count_high, (uint32_t)(count >> 32));

        uint8_t ours[kSha1DigestSize];
        sha1_final(&ctx, ours);
        EXPECT_EQ(to_hex(ours, sizeof ours), to_hex(ref.final()));

        // After final the counter stands at the first block edge that
        // leaves room for the 0x80 byte and the 8 length bytes.
        uint64_t padded = ((count + 8) / 64 + 1) * 64;
        EXPECT_EQ(ctx.byte_count_low, (uint32_t)padded);
        EXPECT_EQ(ctx.byte_count_high, (uint32_t)(padded >> 32));
    }
}

}  // namespace
