// The forms: told from their content, damaged entries named with their
// lines, and every form written and read back to the same keys.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "capk/key_list.h"
#include "capk/key_list_writer.h"

namespace {

std::string data(const std::string& name)
{
    std::ifstream in(std::string(TARVELLO_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(CapkForms, ToldFromContent)
{
    const struct {
        std::string text;
        bool told;
        CapkFormat format;
    } cases[] = {
        {data("capk_public.txt"), true, CapkFormat::kTarvello},
        {data("capk_pm3_published.txt"), true, CapkFormat::kPm3},
        {data("capk_tsv_published.txt"), true, CapkFormat::kTsv},
        {data("capk_tlv_published.txt"), true, CapkFormat::kTlv},
        {"  {\"keys\": []}", true, CapkFormat::kJson},
        {"A list without keys\n", true, CapkFormat::kTarvello},
        {"A000000003 01 rsa\n9F0605A0000000039F220101\n", true, CapkFormat::kTlv},
        {"A000000003 09 0123456789ABCDEF\n", false, CapkFormat::kTarvello},
    };
    for (const auto& c : cases) {
        CapkFormat format = CapkFormat::kJson;
        EXPECT_EQ(detect_capk_format(c.text, format), c.told) << c.text.substr(0, 60);
        if (c.told) {
            EXPECT_EQ(format, c.format) << c.text.substr(0, 60);
        }
    }
}

TEST(CapkForms, DamagedEntriesByLine)
{
    const std::string sum = std::string(40, '0');
    const std::string mod = "C1C3";
    const struct {
        CapkFormat format;
        std::string line;
        std::string reason;  // its start
    } cases[] = {
        {CapkFormat::kPm3, "a0:00:00:00:03 01 000000 rsa 03 " + mod + " sha1", "has 7 fields"},
        {CapkFormat::kPm3, "a0:00:00:00:0 01 000000 rsa 03 " + mod + " sha1 " + sum,
         "RID: not hex"},
        {CapkFormat::kPm3, "a0000000:03 01 000000 rsa 03 " + mod + " sha1 " + sum, "RID: not hex"},
        {CapkFormat::kPm3, "A000000003 01 991332 rsa 03 " + mod + " sha1 " + sum, "EXPIRY"},
        {CapkFormat::kPm3, "A000000003 01 000000 dsa 03 " + mod + " sha1 " + sum, "the fourth"},
        {CapkFormat::kTsv, "V\t03\t01\tA000000003\t" + mod + "\t24", "BITS: says 24"},
        {CapkFormat::kTsv, "V\t03\t01\tA000000003", "has 4 columns"},
        {CapkFormat::kTsv, "V\t03\t0\tA000000003\t" + mod, "INDEX: odd"},
        {CapkFormat::kTlv, "9F0605A0000000039F220101DF0202" + mod, "no tag DF04"},
        {CapkFormat::kTlv, "9F0605A0000000039F220101DF0203" + mod, "tag DF02 says 3 bytes"},
        {CapkFormat::kTlv, "9F0605A0000000039F220101DF0202" + mod + "DF0401030DF0513", "odd"},
        {CapkFormat::kJson, "{\"keys\": [{\"rid\": \"A000000003\"}]}", "key 1: index"},
        {CapkFormat::kJson, "{\"keys\": [", "not JSON"},
    };
    for (const auto& c : cases) {
        const bool json = c.format == CapkFormat::kJson;
        const KeyList list =
            read_key_list((json ? "" : "# a comment\n\n") + c.line + (json ? "" : "\n"), c.format);
        ASSERT_EQ(list.problems.size(), 1u) << c.line;
        EXPECT_EQ(list.problems[0].line, json ? 1 : 3) << c.line;
        EXPECT_EQ(list.problems[0].reason.compare(0, c.reason.size(), c.reason), 0)
            << list.problems[0].reason;
        EXPECT_TRUE(list.keys.empty());
    }
}

// Whether b holds what a holds, as far as form can hold it.
void expect_same(const ListedKey& a, const ListedKey& b, CapkFormat form, const std::string& what)
{
    EXPECT_EQ(listed_key_label(a), listed_key_label(b)) << what;
    EXPECT_EQ(a.modulus, b.modulus) << what;
    EXPECT_EQ(a.exponent, b.exponent) << what;
    EXPECT_TRUE(b.has_checksum) << what;
    EXPECT_EQ(hex_upper(listed_key_checksum(a)), hex_upper(b.checksum, 20)) << what;
    if (unheld_fields(a, form).empty()) {
        EXPECT_EQ(a.expiry, b.expiry) << what;
        EXPECT_EQ(a.hash_algorithm, b.hash_algorithm) << what;
        EXPECT_EQ(a.pk_algorithm, b.pk_algorithm) << what;
        if (a.has_name) {
            EXPECT_EQ(a.name, b.name) << what;
        }
    }
}

TEST(CapkForms, EveryFormToEveryFormAndBack)
{
    const char* const published[] = {"capk_public.txt", "capk_emvpt_test.txt",
                                     "capk_tlv_published.txt"};
    for (const char* name : published) {
        CapkFormat source = CapkFormat::kTarvello;
        ASSERT_TRUE(detect_capk_format(data(name), source));
        const KeyList original = read_key_list(data(name), source);
        ASSERT_TRUE(original.problems.empty()) << name;
        for (CapkFormat a : kCapkFormats) {
            const KeyList in_a = read_key_list(write_key_list(original.keys, a), a);
            for (CapkFormat b : kCapkFormats) {
                const KeyList back = read_key_list(write_key_list(in_a.keys, b), b);
                const std::string what = std::string(name) + " via " + capk_format_name(a) +
                                         " to " + capk_format_name(b);
                ASSERT_TRUE(back.problems.empty()) << what;
                ASSERT_EQ(back.keys.size(), original.keys.size()) << what;
                for (size_t i = 0; i < back.keys.size(); ++i) {
                    expect_same(original.keys[i], in_a.keys[i], a, what);
                    expect_same(in_a.keys[i], back.keys[i], b, what);
                }
            }
        }
    }
}

}  // namespace
