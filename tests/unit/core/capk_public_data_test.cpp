// The published keys in tests/data/capk_public.txt: every key loads, with the
// length and exponent it is published with, and its stored checksum matches
// the SHA-1 of its checksum input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/capk_file.h"
#include "core/capk_rules.h"
#include "tests/support/capk_list.h"
#include "tests/support/oracles.h"

namespace {

using support::Hex;

struct PublishedKey {
    const char* rid;
    uint8_t index;
    int32_t modulus_length;
    int32_t exponent;
};

// In file order.
const PublishedKey kPublished[] = {
    {"A000000003", 0x08, 176, 3},     {"A000000003", 0x09, 248, 3},
    {"A000000003", 0x92, 176, 3},     {"A000000003", 0x94, 248, 3},
    {"A000000003", 0x95, 144, 3},     {"A000000003", 0x99, 128, 3},
    {"A000000004", 0xEF, 248, 3},     {"A000000004", 0xF1, 176, 3},
    {"A000000004", 0xF3, 144, 3},     {"A000000004", 0xF5, 248, 65537},
    {"A000000004", 0xF8, 128, 3},     {"A000000004", 0xFA, 144, 3},
    {"A000000025", 0x03, 128, 3},     {"A000000025", 0x04, 96, 3},
    {"A000000025", 0xA1, 144, 65537}, {"A000000025", 0xC9, 176, 3},
    {"A000000025", 0xCA, 248, 3},
};
constexpr int kPublishedCount = sizeof kPublished / sizeof kPublished[0];

TEST(CapkPublicData, EveryKeyLoadsAndItsChecksumVerifies)
{
    std::vector<CapkRecord> records(kMaxCapks);
    int32_t count = -1;
    ASSERT_EQ(load_capk_file(TARVELLO_TEST_DATA "/capk_public.txt", records.data(), &count), 0);
    ASSERT_EQ(count, kPublishedCount);

    for (int i = 0; i < kPublishedCount; ++i) {
        const PublishedKey& want = kPublished[i];
        const CapkRecord& r = records[static_cast<size_t>(i)];
        SCOPED_TRACE(std::string(want.rid) + "_" + Hex(&want.index, 1));
        EXPECT_EQ(Hex(r.rid, 5), want.rid);
        EXPECT_EQ(r.index, want.index);
        EXPECT_EQ(r.modulus_length, want.modulus_length);
        EXPECT_EQ(r.exponent, want.exponent);
        EXPECT_GE(r.modulus[0], 0x80) << "modulus not of its full bit length";
        char label[kCapkLabelSize];
        capk_label(&r, label);
        EXPECT_EQ(std::string(label), std::string(want.rid) + "_" + Hex(&want.index, 1));
        EXPECT_EQ(Hex(support::Sha1(support::ChecksumInput(r)).data(), 20), Hex(r.checksum, 20));

        // The check above can fail: one changed modulus bit changes the digest.
        CapkRecord changed = r;
        changed.modulus[r.modulus_length - 1] ^= 0x01;
        EXPECT_NE(Hex(support::Sha1(support::ChecksumInput(changed)).data(), 20),
                  Hex(r.checksum, 20));
    }
}

// Only 3 and 65537 have a checksum input; anything else is refused whole.
TEST(CapkPublicData, ChecksumInputRefusesOtherExponents)
{
    CapkRecord r{};
    r.modulus_length = kMaxModulusLength;
    for (int32_t exponent : {0, 1, 2, 5, 17, 65535, 65536, 65538, -3}) {
        r.exponent = exponent;
        uint8_t out[kCapkChecksumInputMax];
        EXPECT_EQ(capk_checksum_input(&r, out), -1) << exponent;
    }
    r.exponent = 65537;
    uint8_t out[kCapkChecksumInputMax];
    EXPECT_EQ(capk_checksum_input(&r, out), kCapkChecksumInputMax);
}

}  // namespace
