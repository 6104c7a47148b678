// Known answers from the SHA-1 standard and the one-shot entries' contract:
// argument checks and the digest written over the message.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sha1_test_support.h"

namespace {

struct KnownAnswer {
    const char* name;
    std::string message;
    const char* digest;
};

const std::vector<KnownAnswer>& known_answers()
{
    static const std::vector<KnownAnswer> table = {
        {"empty (non-null data, length 0)", "", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
        {"abc", "abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
        {"448 bits, two blocks", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
        {"896 bits, two blocks",
         "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqr"
         "lmnopqrsmnopqrstnopqrstu",
         "A49B2446A02C645BF419F995B67091253A04A259"},
        {"one million 'a'", std::string(1000000, 'a'), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"},
    };
    return table;
}

const uint8_t* text_bytes(const std::string& s)
{
    return (const uint8_t*)s.data();
}

TEST(Sha1KnownAnswer, OneShotEntriesGiveTheStandardDigests)
{
    for (const auto& kat : known_answers()) {
        SCOPED_TRACE(kat.name);
        uint32_t n = (uint32_t)kat.message.size();
        EXPECT_EQ(tarvello_sha1_hex(text_bytes(kat.message), n), kat.digest);

        uint8_t out[kSha1DigestSize];
        ASSERT_EQ(sha1_compute(out, text_bytes(kat.message), n), CRYPTO_OK);
        EXPECT_EQ(to_hex(out, sizeof out), kat.digest);
        // The differential tests trust the oracle: it answers these too.
        EXPECT_EQ(oracle_sha1_hex(text_bytes(kat.message), n), kat.digest);
    }
}

TEST(Sha1Digest, NullArgumentsAreRefusedAndTheDigestIsUntouched)
{
    const uint8_t abc[3] = {'a', 'b', 'c'};
    struct Case {
        const char* name;
        const uint8_t* data;
        uint32_t length;
        bool digest_null;
    };
    const Case cases[] = {
        {"null data, length 0", nullptr, 0, false},
        {"null data, length 3", nullptr, 3, false},
        {"null digest", abc, 3, true},
        {"null digest, length 0", abc, 0, true},
        {"both null", nullptr, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t out[kSha1DigestSize];
        std::memset(out, 0xEE, sizeof out);
        // The value itself is part of the contract with the commands.
        EXPECT_EQ(sha1_digest(c.data, c.length, c.digest_null ? nullptr : out), 0x4002);
        for (uint8_t b : out)
            ASSERT_EQ(b, 0xEE);
    }
}

TEST(Sha1Digest, DigestMayOverwriteTheStartOfTheMessage)
{
    TestRng rng(20240601);
    for (uint32_t n : {20u, 55u, 64u, 100u, 1000u}) {
        SCOPED_TRACE(n);
        std::vector<uint8_t> buffer = rng.bytes(n);
        std::string expected = oracle_sha1_hex(buffer.data(), n);

        std::vector<uint8_t> one_shot = buffer;
        ASSERT_EQ(sha1_digest(one_shot.data(), n, one_shot.data()), CRYPTO_OK);
        EXPECT_EQ(to_hex(one_shot.data(), kSha1DigestSize), expected);

        std::vector<uint8_t> unchecked = buffer;
        ASSERT_EQ(sha1_compute(unchecked.data(), unchecked.data(), n), CRYPTO_OK);
        EXPECT_EQ(to_hex(unchecked.data(), kSha1DigestSize), expected);
        // Bytes past the digest are the message's own.
        EXPECT_TRUE(std::equal(buffer.begin() + kSha1DigestSize, buffer.end(),
                               one_shot.begin() + kSha1DigestSize));
    }
}

}  // namespace
