#include "core/capk_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/capk_list.h"
#include "tests/support/oracles.h"

namespace {

using support::Hex;
using support::TempDir;

constexpr uint8_t kSentinelByte = 0xA5;
constexpr int32_t kSentinelCount = -7;

using support::kWorkedExample;

std::string crlf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string quoted(const std::string& s)
{
    return "\"" + s + "\"";
}

std::string digits(int bytes, int seed = 0)
{
    std::vector<uint8_t> b(static_cast<size_t>(bytes));
    for (int i = 0; i < bytes; ++i)
        b[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 7 + seed + 1);
    return Hex(b.data(), b.size());
}

enum Field { kRid, kIndex, kModulus, kExponent, kChecksum };

// One key's five lines; values[f] is the text after field f's tag.
std::string key_lines(const std::vector<std::string>& values)
{
    static const char* const tags[] = {
        "RID : ", "INDEX : ", "MODULUS : ", "EXPONENT : ", "CHECKSUM : "};
    std::string text;
    for (int f = kRid; f <= kChecksum; ++f)
        text += std::string(tags[f]) + values[static_cast<size_t>(f)] + "\n";
    return text;
}

// The first key of the worked example with one field's value replaced.
std::string key_with(Field field, const std::string& value)
{
    std::vector<std::string> values = {quoted("A000000999"), quoted("F1"),
                                       quoted("C1D2E3F405162738495A6B7C8D9EAFB0"), "3",
                                       quoted("1D78CDFBF094F38E953AE0FB61C4EF0AFDCB50BF")};
    values[field] = value;
    return key_lines(values);
}

std::string good_key()
{
    return key_with(kExponent, "3");
}

std::string replace_first(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

// Records pre-filled with a sentinel, so untouched slots can be seen.
struct Load {
    int32_t result = 0;
    int32_t count = kSentinelCount;
    std::vector<CapkRecord> records;
    Load() : records(kMaxCapks)
    {
        std::memset(records.data(), kSentinelByte, records.size() * sizeof(CapkRecord));
    }
    void from(const char* path) { result = load_capk_file(path, records.data(), &count); }
};

bool untouched(const CapkRecord& r)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&r);
    for (size_t i = 0; i < sizeof r; ++i)
        if (p[i] != kSentinelByte)
            return false;
    return true;
}

bool zero_beyond_modulus(const CapkRecord& r)
{
    for (int i = r.modulus_length; i < kMaxModulusLength; ++i)
        if (r.modulus[i] != 0)
            return false;
    return true;
}

TEST(CapkFile, WorkedExampleInBothLineEndings)
{
    TempDir dir;
    for (const std::string& text : {std::string(kWorkedExample), crlf(kWorkedExample)}) {
        Load load;
        load.from(dir.Write("list.txt", text).c_str());
        ASSERT_EQ(load.result, 0);
        ASSERT_EQ(load.count, 2);

        const CapkRecord& k1 = load.records[0];
        EXPECT_EQ(Hex(k1.rid, 5), "A000000999");
        EXPECT_EQ(k1.index, 0xF1);
        EXPECT_EQ(k1.modulus_length, 16);
        EXPECT_EQ(Hex(k1.modulus, 16), "C1D2E3F405162738495A6B7C8D9EAFB0");
        EXPECT_EQ(k1.exponent, 3);
        EXPECT_EQ(Hex(k1.checksum, 20), "1D78CDFBF094F38E953AE0FB61C4EF0AFDCB50BF");
        EXPECT_EQ(support::ChecksumInput(k1).size(), 23u);
        EXPECT_EQ(Hex(support::Sha1(support::ChecksumInput(k1)).data(), 20), Hex(k1.checksum, 20));
        EXPECT_TRUE(zero_beyond_modulus(k1));

        const CapkRecord& k3 = load.records[1];
        EXPECT_EQ(Hex(k3.rid, 5), "A000000999");
        EXPECT_EQ(k3.index, 0xF2);
        EXPECT_EQ(k3.modulus_length, 24);
        EXPECT_EQ(Hex(k3.modulus, 24), "9B2A7C4D1E0F3A5B6C7D8E9FA0B1C2D3E4F5061728394A5B");
        EXPECT_EQ(k3.exponent, 65537);
        EXPECT_EQ(Hex(k3.checksum, 20), "642B9959CC50121946109E1002CB3CFBB8DC69BC");
        EXPECT_TRUE(zero_beyond_modulus(k3));
        EXPECT_TRUE(untouched(load.records[2]));
    }
}

struct KeyRow {
    const char* name;
    std::string text;
    int32_t count;
    int32_t exponent;        // checked when count is 1
    int32_t modulus_length;  // checked when count is 1
};

std::vector<KeyRow> key_rows()
{
    const std::string pad2047(2047, 'x');
    return {
        {"empty file", "", 0, 0, 0},
        {"no tags", "title\n\nRID \"A000000999\"\n", 0, 0, 0},
        {"good key", good_key(), 1, 3, 16},
        {"CR LF", crlf(good_key()), 1, 3, 16},
        {"no final line break", good_key().substr(0, good_key().size() - 1), 1, 3, 16},
        {"modulus 248 bytes", key_with(kModulus, quoted(digits(248))), 1, 3, 248},
        {"modulus 249 bytes", key_with(kModulus, quoted(digits(249))), 0, 0, 0},
        {"empty modulus", key_with(kModulus, "\"\""), 1, 3, 0},
        {"modulus in groups", key_with(kModulus, quoted("C1D2 E3F4 0516")), 1, 3, 6},
        {"checksum 19 bytes", key_with(kChecksum, quoted(digits(19))), 0, 0, 0},
        {"checksum 21 bytes", key_with(kChecksum, quoted(digits(21))), 0, 0, 0},
        {"index 2 bytes", key_with(kIndex, quoted("F1F2")), 0, 0, 0},
        {"index one digit", key_with(kIndex, quoted("F")), 0, 0, 0},
        {"rid 4 bytes", key_with(kRid, quoted("A0000009")), 0, 0, 0},
        {"rid then junk", key_with(kRid, quoted("A000000999xyz")), 1, 3, 16},
        {"rid 11 digits", key_with(kRid, quoted("A0000009991")), 1, 3, 16},
        {"blank inside a rid byte", key_with(kRid, quoted("A0 00 00 09 9 9")), 0, 0, 0},
        {"no closing quote", key_with(kModulus, "\"C1D2E3F405162738495A6B7C8D9EAFB0"), 1, 3, 16},
        {"no closing quote, CR LF", crlf(key_with(kRid, "\"A000000999")), 1, 3, 16},
        {"exponent 03", key_with(kExponent, "03"), 1, 3, 16},
        {"exponent +3", key_with(kExponent, "+3"), 1, 3, 16},
        {"exponent blank 3", key_with(kExponent, " 3"), 1, 3, 16},
        {"exponent tab 3", key_with(kExponent, "\t3"), 1, 3, 16},
        {"exponent 3 then text", key_with(kExponent, "3 (three)"), 1, 3, 16},
        {"exponent 65537", key_with(kExponent, "65537"), 1, 65537, 16},
        {"exponent long zeros", key_with(kExponent, "00000000000000065537"), 1, 65537, 16},
        {"exponent 010001", key_with(kExponent, "010001"), 0, 0, 0},
        {"exponent 0x03", key_with(kExponent, "0x03"), 0, 0, 0},
        {"exponent missing", key_with(kExponent, ""), 0, 0, 0},
        {"exponent sign only", key_with(kExponent, "+"), 0, 0, 0},
        {"exponent -3", key_with(kExponent, "-3"), 0, 0, 0},
        {"exponent 99999999999", key_with(kExponent, "99999999999"), 0, 0, 0},
        {"exponent 2^32 + 3", key_with(kExponent, "4294967299"), 0, 0, 0},
        {"exponent 2^32 + 65537", key_with(kExponent, "4295032833"), 0, 0, 0},
        {"exponent -(2^32 - 3)", key_with(kExponent, "-4294967293"), 0, 0, 0},
        {"exponent 2^31", key_with(kExponent, "2147483648"), 0, 0, 0},
        {"tag after a blank", " " + good_key(), 0, 0, 0},
        {"lower-case tag", replace_first(good_key(), "INDEX", "index"), 0, 0, 0},
        {"no blank before colon", replace_first(good_key(), "RID :", "RID:"), 0, 0, 0},
        {"checksum line missing", replace_first(good_key(), "CHECKSUM", "checksum"), 0, 0, 0},
        {"fields out of order",
         replace_first(good_key(),
                       "INDEX : \"F1\"\nMODULUS : \"C1D2E3F405162738495A6B7C8D9EAFB0\"\n",
                       "MODULUS : \"C1D2E3F405162738495A6B7C8D9EAFB0\"\nINDEX : \"F1\"\n"),
         0, 0, 0},
        {"tag starts the second line piece", pad2047 + good_key(), 1, 3, 16},
        {"tag inside the first line piece", pad2047.substr(1) + good_key(), 0, 0, 0},
        {"modulus cut at the line piece",
         key_with(kModulus, "\"" + std::string(2040, ' ') + "C1D2\""), 1, 3, 0},
    };
}

TEST(CapkFile, SingleKeyVariants)
{
    TempDir dir;
    for (const KeyRow& row : key_rows()) {
        SCOPED_TRACE(row.name);
        Load load;
        load.from(dir.Write("key.txt", row.text).c_str());
        EXPECT_EQ(load.result, 0);
        ASSERT_EQ(load.count, row.count);
        EXPECT_TRUE(untouched(load.records[static_cast<size_t>(row.count)]));
        if (row.count == 1) {
            const CapkRecord& r = load.records[0];
            EXPECT_EQ(Hex(r.rid, 5), "A000000999");
            EXPECT_EQ(r.index, 0xF1);
            EXPECT_EQ(r.exponent, row.exponent);
            EXPECT_EQ(r.modulus_length, row.modulus_length);
            EXPECT_TRUE(zero_beyond_modulus(r));
        }
    }
}

TEST(CapkFile, KeyWithoutIndexLineTakesTheNextKeysFields)
{
    TempDir dir;
    const std::string first = replace_first(good_key(), "INDEX : \"F1\"\n", "");
    const std::string second = key_lines(
        {quoted("B000000001"), quoted("F7"), quoted(digits(8)), "65537", quoted(digits(20))});
    Load load;
    load.from(dir.Write("merged.txt", first + second).c_str());
    ASSERT_EQ(load.count, 1);
    const CapkRecord& r = load.records[0];
    EXPECT_EQ(Hex(r.rid, 5), "A000000999");
    EXPECT_EQ(r.index, 0xF7);
    EXPECT_EQ(Hex(r.modulus, 8), digits(8));
    EXPECT_EQ(r.modulus_length, 8);
    EXPECT_EQ(r.exponent, 65537);
    EXPECT_EQ(Hex(r.checksum, 20), digits(20));
}

// Keys with indexes first, first + 1, ... and moduli of modulus_bytes.
std::string numbered_keys(int n, int first, int modulus_bytes)
{
    std::string text = "numbered keys\n";
    for (int i = 0; i < n; ++i) {
        const uint8_t index = static_cast<uint8_t>(first + i);
        text += key_lines({quoted("A000000004"), quoted(Hex(&index, 1)),
                           quoted(digits(modulus_bytes, i)), "3", quoted(digits(20, i))});
    }
    return text;
}

TEST(CapkFile, StopsAtOneHundredKeys)
{
    TempDir dir;
    Load load;
    load.from(dir.Write("many.txt", numbered_keys(101, 0, 1)).c_str());
    EXPECT_EQ(load.result, 0);
    ASSERT_EQ(load.count, kMaxCapks);
    for (int i = 0; i < kMaxCapks; ++i)
        EXPECT_EQ(load.records[static_cast<size_t>(i)].index, i);
}

TEST(CapkFile, UnopenablePathTouchesNothing)
{
    TempDir dir;
    const std::string missing = dir.Path("never-written.txt");
    for (const char* path : {static_cast<const char*>(nullptr), missing.c_str()}) {
        Load load;
        load.from(path);
        EXPECT_EQ(load.result, CAPK_FILE_OPEN_FAILED);
        EXPECT_EQ(load.result, static_cast<int32_t>(0x80000001u));
        EXPECT_EQ(load.count, kSentinelCount);
        for (const CapkRecord& r : load.records)
            ASSERT_TRUE(untouched(r));
    }
}

TEST(CapkFile, ShorterLoadKeepsLaterSlots)
{
    TempDir dir;
    Load load;
    load.from(dir.Write("five.txt", numbered_keys(5, 1, kMaxModulusLength)).c_str());
    ASSERT_EQ(load.count, 5);
    const std::vector<CapkRecord> before = load.records;

    load.from(dir.Write("two.txt", numbered_keys(2, 0x21, 16)).c_str());
    ASSERT_EQ(load.count, 2);
    EXPECT_EQ(load.records[0].index, 0x21);
    EXPECT_EQ(load.records[1].index, 0x22);
    // The new, shorter moduli leave no trace of the old ones.
    EXPECT_EQ(load.records[0].modulus_length, 16);
    EXPECT_TRUE(zero_beyond_modulus(load.records[0]));
    for (size_t i = 2; i < 5; ++i)
        EXPECT_EQ(std::memcmp(&load.records[i], &before[i], sizeof(CapkRecord)), 0) << "slot " << i;
    EXPECT_TRUE(untouched(load.records[5]));
}

TEST(CapkFile, CountMayBeNull)
{
    TempDir dir;
    Load load;
    EXPECT_EQ(
        load_capk_file(dir.Write("one.txt", good_key()).c_str(), load.records.data(), nullptr), 0);
    EXPECT_EQ(load.records[0].index, 0xF1);
}

}  // namespace
