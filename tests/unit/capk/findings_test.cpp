// The findings of made lists, one fault each, beside the cases that must
// not be findings. Lists are written in the tlv form, which holds every
// field, with checksums from the SHA-1 oracle.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "capk/key_list.h"
#include "capk/list_findings.h"
#include "tests/support/hex.h"
#include "tests/support/sha1_oracle.h"

namespace {

using support::Bytes;

struct Key {
    std::string rid = "A000000999";
    std::string index = "F1";
    std::string modulus = std::string(2 * 128 - 2, 'C') + "01";
    std::string exponent = "03";
    std::string checksum = "good";  // "good", "none", "" (an empty DF03) or hex
    std::string expiry = "DF0503301231";
    std::string extra;
};

std::string tlv(const std::string& tag, const std::string& hex)
{
    const size_t n = hex.size() / 2;
    char length[8];
    snprintf(length, sizeof length,
             n < 0x80    ? "%02X"
             : n < 0x100 ? "81%02X"
                         : "82%04X",
             static_cast<unsigned>(n));
    return tag + length + hex;
}

std::string shortest(std::string hex)
{
    while (hex.size() > 2 && hex.compare(0, 2, "00") == 0)
        hex.erase(0, 2);
    return hex;
}

std::string line_of(const Key& k)
{
    std::string sum = k.checksum;
    if (sum == "good") {
        const Bytes input = support::FromHex(k.rid + k.index + k.modulus + shortest(k.exponent));
        support::Sha1Oracle oracle;
        oracle.update(input.data(), input.size());
        sum = support::Hex(oracle.final());
    }
    return tlv("9F06", k.rid) + tlv("9F22", k.index) + tlv("DF02", k.modulus) +
           tlv("DF04", k.exponent) + (sum == "none" ? "" : tlv("DF03", sum)) + k.expiry + k.extra +
           "\n";
}

std::string list_of(const std::vector<Key>& keys)
{
    std::string text;
    for (const Key& k : keys)
        text += line_of(k);
    return text;
}

Key with(void (*change)(Key&))
{
    Key k;
    change(k);
    return k;
}

const std::string kOtherModulus = std::string(2 * 128 - 2, 'D') + "01";

struct Case {
    const char* what;
    std::vector<Key> keys;
    std::vector<Key> reference;         // empty: no reference
    std::vector<std::string> findings;  // sorted
    size_t problems = 0;
};

const std::vector<Case> kCases = {
    {"a good key", {Key()}, {}, {}},
    {"stored checksum changed",
     {with([](Key& k) { k.checksum = std::string(39, '1') + "2"; })},
     {},
     {"checksum_mismatch"}},
    {"20 zero bytes stored",
     {with([](Key& k) { k.checksum = std::string(40, '0'); })},
     {},
     {"checksum_mismatch"}},
    {"the same slot with two keys",
     {Key(), with([](Key& k) { k.modulus = kOtherModulus; })},
     {},
     {"conflict", "conflict"}},
    {"the same key twice", {Key(), Key()}, {}, {"repeated", "repeated"}},
    {"one modulus under two indexes",
     {Key(), with([](Key& k) { k.index = "F2"; })},
     {},
     {"same_index_modulus", "same_index_modulus"}},
    {"one modulus under two RIDs",
     {Key(), with([](Key& k) { k.rid = "B000000999"; })},
     {},
     {"shared_modulus", "shared_modulus"}},
    {"249 bytes",
     {with([](Key& k) { k.modulus = std::string(2 * 248, 'C') + "01"; })},
     {},
     {"modulus_too_long"}},
    {"exactly 248 bytes",
     {with([](Key& k) { k.modulus = std::string(2 * 247, 'C') + "01"; })},
     {},
     {}},
    {"an even modulus",
     {with([](Key& k) { k.modulus = std::string(2 * 127, 'C') + "02"; })},
     {},
     {"modulus_even"}},
    {"exponent 02", {with([](Key& k) { k.exponent = "02"; })}, {}, {"exponent_not_allowed"}},
    {"exponent 000003", {with([](Key& k) { k.exponent = "000003"; })}, {}, {}},
    {"exponent 010001", {with([](Key& k) { k.exponent = "010001"; })}, {}, {}},
    {"expired", {with([](Key& k) { k.expiry = "DF0503191231"; })}, {}, {"expired"}},
    {"DF05 as YYYYMMDD", {with([](Key& k) { k.expiry = "DF050420301231"; })}, {}, {}},
    {"DF05 as 6 ASCII digits", {with([](Key& k) { k.expiry = "DF0506333031323331"; })}, {}, {}},
    {"DF05 as 8 ASCII digits", {with([](Key& k) { k.expiry = "DF05083230333031323331"; })}, {}, {}},
    {"no checksum", {with([](Key& k) { k.checksum = "none"; })}, {}, {"checksum_absent"}},
    {"an empty DF03", {with([](Key& k) { k.checksum = ""; })}, {}, {"checksum_absent"}},
    {"no expiry", {with([](Key& k) { k.expiry = ""; })}, {}, {"expiry_unknown"}},
    {"an unknown tag", {with([](Key& k) { k.extra = "BF010131"; })}, {}, {"unknown_tag"}},
    {"a tag twice, equal", {with([](Key& k) { k.extra = "DF060101DF060101"; })}, {}, {}},
    {"a tag twice, different", {with([](Key& k) { k.extra = "DF060101DF060102"; })}, {}, {}, 1},
    {"DF03 of 19 bytes", {with([](Key& k) { k.checksum = std::string(38, 'A'); })}, {}, {}, 1},
    {"the reference's key", {Key()}, {Key()}, {}},
    {"another modulus in the reference",
     {Key()},
     {with([](Key& k) { k.modulus = kOtherModulus; })},
     {"differs_from_reference"}},
    {"the reference's key under another index",
     {with([](Key& k) { k.index = "F2"; })},
     {Key(), with([](Key& k) {
          k.index = "F2";
          k.modulus = kOtherModulus;
      })},
     {"differs_from_reference", "reference_key_elsewhere"}},
    {"not in the reference",
     {Key()},
     {with([](Key& k) {
         k.index = "F3";
         k.modulus = kOtherModulus;
     })},
     {"not_in_reference"}},
    {"no checksum, the reference holds it",
     {with([](Key& k) { k.checksum = "none"; })},
     {Key()},
     {"verified_by_reference"}},
    {"no checksum, the reference differs",
     {with([](Key& k) { k.checksum = "none"; })},
     {with([](Key& k) { k.modulus = kOtherModulus; })},
     {"checksum_absent", "differs_from_reference"}},
    {"the reference's key under another RID",
     {Key()},
     {Key(), with([](Key& k) { k.rid = "B000000999"; })},
     {"shared_modulus"}},
    {"expiry from the reference",
     {with([](Key& k) { k.expiry = ""; })},
     {with([](Key& k) { k.expiry = "DF0503191231"; })},
     {"expired"}},
};

TEST(CapkFindings, OneFaultEach)
{
    for (const Case& c : kCases) {
        const KeyList list = read_tlv_list(list_of(c.keys));
        const KeyList reference = read_tlv_list(list_of(c.reference));
        ASSERT_TRUE(reference.problems.empty()) << c.what;
        EXPECT_EQ(list.problems.size(), c.problems) << c.what;
        std::vector<std::string> found;
        for (const ListFinding& f :
             find_list_faults(list, c.reference.empty() ? nullptr : &reference, 20261209))
            found.push_back(f.finding);
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.findings) << c.what;
    }
}

TEST(CapkFindings, APairNamesTheOthersLine)
{
    const KeyList list =
        read_tlv_list(list_of({Key(), with([](Key& k) { k.modulus = kOtherModulus; })}));
    const std::vector<ListFinding> found = find_list_faults(list, nullptr, 20261209);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].line, 1);
    EXPECT_EQ(found[0].key, "A000000999_F1");
    EXPECT_EQ(found[0].detail, "another key under A000000999_F1 at line 2");
    EXPECT_EQ(found[1].line, 2);
    EXPECT_EQ(found[1].detail, "another key under A000000999_F1 at line 1");
}

}  // namespace
