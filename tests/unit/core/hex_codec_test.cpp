#include "core/hex_codec.h"

#include "tests/support/hex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint8_t kUntouched = 0xEE;

struct DecodeRow {
    const char* name;
    std::string text;  // may hold NULs
    bool pad_odd;
    int32_t count;
    std::string out;  // the whole buffer afterwards, EE where nothing was written
};

void PrintTo(const DecodeRow& row, std::ostream* os)
{
    *os << row.name;
}

using namespace std::string_literals;

const DecodeRow kDecodeRows[] = {
    {"empty", "", false, 0, ""},
    {"mixed case", "0a1B", false, 2, "0A1B"},
    {"every digit", "0123456789abcdefABCDEF", false, 11, "0123456789ABCDEFABCDEF"},
    {"blanks around bytes", "  0A 1B ", false, 2, "0A1BEEEE"},
    {"blank inside a byte", "0 A", false, 0, "00EE"},
    {"junk after a byte", "0AZZ", false, 1, "0AEE"},
    {"lone last digit", "0A1", false, 1, "0A10"},
    {"CR LF stops", "0A\r\n1B", false, 1, "0AEEEE"},
    {"NUL stops",
     "0A\0"
     "1B"s,
     false, 1, "0AEEEE"},
    {"NUL as second digit", "1\0"s, false, 0, "10"},
    {"tab is not a blank", "\t0A", false, 0, "EEEE"},
    {"leading junk", "x0A", false, 0, "EEEE"},
    {"high-bit character",
     "\xB0"
     "1",
     false, 0, "EE"},
    {"digit range edges /", "0/", false, 0, "00"},
    {"digit range edges :", "0:", false, 0, "00"},
    {"digit range edges @", "0@", false, 0, "00"},
    {"digit range edges G", "0G", false, 0, "00"},
    {"digit range edges `", "0`", false, 0, "00"},
    {"digit range edges g", "0g", false, 0, "00"},
    {"odd without padding", "ABC", false, 1, "ABC0"},
    {"odd with padding", "ABC", true, 2, "0ABC"},
    {"even with padding", "ABCD", true, 2, "ABCD"},
    {"padding one digit", "A", true, 1, "0A"},
    {"padding then blank", "A B", true, 1, "0AB0"},
    {"padding counts the blanks", " AB", true, 0, "00EE"},
    {"padding blank first", " AB", false, 1, "ABEE"},
};

class DecodeTest : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(DecodeTest, CountAndBytesWritten)
{
    const DecodeRow& row = GetParam();
    const uint32_t length = static_cast<uint32_t>(row.text.size());
    // Exactly the documented capacity, on the heap, so ASan sees overruns.
    const size_t capacity = (length + 1) / 2;
    std::unique_ptr<uint8_t[]> out(new uint8_t[capacity]);
    std::fill(out.get(), out.get() + capacity, kUntouched);
    // The text itself is also an exact heap copy: no read past length.
    std::unique_ptr<char[]> text(new char[length]);
    std::copy(row.text.begin(), row.text.end(), text.get());
    int32_t count = -1;

    hex_to_bytes(text.get(), length, out.get(), &count, row.pad_odd);

    EXPECT_EQ(count, row.count) << row.name;
    EXPECT_EQ(support::Hex(out.get(), capacity), row.out) << row.name;
}

INSTANTIATE_TEST_SUITE_P(Rows, DecodeTest, ::testing::ValuesIn(kDecodeRows));

TEST(HexDecode, LengthLimitsTheCharactersExamined)
{
    uint8_t out[2] = {kUntouched, kUntouched};
    int32_t count = -1;
    hex_to_bytes("0A1B", 3, out, &count, false);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(support::Hex(out, 2), "0A10");
}

TEST(HexDecode, NullCountStillDecodes)
{
    uint8_t out[2] = {kUntouched, kUntouched};
    hex_to_bytes("C1D2", 4, out, nullptr, false);
    EXPECT_EQ(support::Hex(out, 2), "C1D2");
}

TEST(HexStrip, RemovesBlanksAndLineBreaksOnly)
{
    const struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"", ""},
        {" \r\n \r\n", ""},
        {"0A \r\n1B", "0A1B"},
        {"\t0A\vZ 1", "\t0A\vZ1"},
    };
    for (const auto& row : rows) {
        std::string text = row.in;
        const size_t kept = strip_hex_input(&text[0]);
        EXPECT_STREQ(text.c_str(), row.out) << "input \"" << row.in << "\"";
        EXPECT_EQ(kept, std::string(row.out).size());
    }
    EXPECT_EQ(strip_hex_input(nullptr), 0u);
}

TEST(HexFormat, SmallTextsExactly)
{
    const uint8_t bytes[] = {0x01, 0xAB, 0xFF};
    EXPECT_EQ(format_hex_display(bytes, 0), "");
    EXPECT_EQ(format_hex_display(bytes, -1), "");
    EXPECT_EQ(format_hex_display(bytes, 3), "01 AB FF ");
    EXPECT_EQ(format_hex_compact(bytes, 0), "");
    EXPECT_EQ(format_hex_compact(bytes, 3), "01ABFF");
    const uint8_t five = 0x05;
    EXPECT_EQ(format_hex_display(&five, 1), "05 ");
}

// Bytes that run through every digit value, letters included.
std::vector<uint8_t> pattern_bytes(int n)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 37 + 11);
    return bytes;
}

TEST(HexFormat, LinesOfThirtyTwoBytes)
{
    const struct {
        int n;
        size_t length;
        size_t breaks;
    } rows[] = {
        {0, 0, 0}, {1, 3, 0}, {32, 96, 0}, {33, 101, 1}, {64, 194, 1}, {65, 199, 2}, {248, 758, 7},
    };
    for (const auto& row : rows) {
        const std::vector<uint8_t> bytes = pattern_bytes(row.n);
        const std::string display = format_hex_display(bytes.data(), row.n);
        const std::string compact = format_hex_compact(bytes.data(), row.n);
        SCOPED_TRACE("n = " + std::to_string(row.n));
        ASSERT_EQ(display.size(), row.length);
        EXPECT_EQ(compact, support::Hex(bytes.data(), bytes.size()));

        // CR LF exactly after every full line of 96 characters, none at the end.
        std::string groups;
        size_t breaks = 0;
        for (size_t pos = 0; pos < display.size();) {
            const size_t line_end = display.find("\r\n", pos);
            const std::string line = display.substr(
                pos, line_end == std::string::npos ? std::string::npos : line_end - pos);
            if (line_end != std::string::npos) {
                EXPECT_EQ(line.size(), 96u);
                ++breaks;
            }
            groups += line;
            pos = line_end == std::string::npos ? display.size() : line_end + 2;
        }
        EXPECT_EQ(breaks, row.breaks);
        std::string expected_groups;
        for (uint8_t b : bytes)
            expected_groups += support::Hex(&b, 1) + " ";
        EXPECT_EQ(groups, expected_groups);

        // Display form, stripped and decoded, gives the bytes back.
        std::string text = display;
        text.resize(strip_hex_input(&text[0]));
        std::vector<uint8_t> decoded((text.size() + 1) / 2 + 1, kUntouched);
        int32_t count = -1;
        hex_to_bytes(text.data(), static_cast<uint32_t>(text.size()), decoded.data(), &count,
                     false);
        ASSERT_EQ(count, row.n);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), decoded.begin()));
    }
}

}  // namespace
