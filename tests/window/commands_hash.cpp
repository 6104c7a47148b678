// Hash, Calculate checksum and Clear Checksum, driven through the window.

#include "tests/support/window_fixture.h"
#include "sha1_spy.h"

namespace support {
namespace {

const UINT kStop = 0x10;

using HashCommands = CommandsTest;

struct HashRow {
    const char* name;
    std::string typed;
    std::vector<uint8_t> hashed;  // what decoding must give
};

TEST_F(HashCommands, HashRewritesTheDataInDisplayFormAndShowsItsDigest)
{
    std::vector<uint8_t> forty = RandomBytes(1, 40);
    std::vector<uint8_t> big = RandomBytes(2, 3000);
    std::string forty_typed;
    for (size_t i = 0; i < forty.size(); i++)  // lower case, blanks, line breaks
        forty_typed += TypedHex({forty[i]}, i % 7 == 6 ? "\r\n" : (i % 3 ? " " : "  "));
    const HashRow rows[] = {
        {"empty box", "", {}},
        {"only blanks and line breaks", "  \r\n \r\n", {}},
        {"starts with a non-digit", "zz0102", {}},
        {"letters abc: one byte, lone C dropped", "abc", {0xAB}},
        {"odd digit count drops the last", "0a1b2", {0x0A, 0x1B}},
        {"junk after bytes is cut", "0102xyz03", {0x01, 0x02}},
        {"a tab stops decoding", "01\t02", {0x01}},
        {"blanks inside a byte are stripped", "0 1 0 2", {0x01, 0x02}},
        {"forty bytes typed loosely", forty_typed, forty},
        {"three thousand bytes pasted", TypedHex(big, " "), big},
    };
    Run([&](HWND h, CMainDlg& dlg) {
        auto table = CopyTable(dlg.m_capks);
        for (const HashRow& row : rows) {
            SCOPED_TRACE(row.name);
            ASSERT_TRUE(sim::Type(h, IDC_HASH_DATA, row.typed));
            auto before = Capture(h);
            sim::ClearLog();
            sha1_spy::Clear();

            ASSERT_TRUE(sim::Click(h, IDC_HASH));

            EXPECT_TRUE(Boxes().empty());
            // Nothing decoded ("zz0102" as much as an empty box): the empty
            // string goes in, not the decoder's buffer.
            ASSERT_EQ(sha1_spy::Calls().size(), 1u);
            if (row.hashed.empty()) {
                EXPECT_EQ(sha1_spy::Calls()[0].length, 0u);
                EXPECT_STREQ((const char*)sha1_spy::Calls()[0].data, "");
            }
            std::string data = sim::Text(h, IDC_HASH_DATA);
            EXPECT_EQ(ParseDisplay(data), row.hashed);
            std::string result = sim::Text(h, IDC_HASH_RESULT);
            EXPECT_EQ(result.size(), 60u);
            EXPECT_EQ(ParseDisplay(result), Sha1(row.hashed));
            ExpectUnchangedExcept(before, Capture(h), {IDC_HASH_DATA, IDC_HASH_RESULT});
        }
        EXPECT_TRUE(SameTable(*table, dlg.m_capks));
    });
}

TEST_F(HashCommands, ChecksumOfTheWorkedExampleKeys)
{
    std::string path = WriteFile("worked.txt", kWorkedExample);
    Run([&](HWND h, CMainDlg& dlg) {
        Load(h, path);
        sim::Click(h, IDC_USE_LOADED);
        auto table = CopyTable(dlg.m_capks);
        sim::ClearLog();

        ASSERT_TRUE(sim::Click(h, IDC_CALC_CHECKSUM));
        EXPECT_EQ(sim::Text(h, IDC_HASH_DATA),
                  "A0 00 00 09 99 F1 C1 D2 E3 F4 05 16 27 38 49 5A 6B 7C 8D 9E AF B0 03 ");
        EXPECT_EQ(sim::Text(h, IDC_HASH_RESULT),
                  "1D 78 CD FB F0 94 F3 8E 95 3A E0 FB 61 C4 EF 0A FD CB 50 BF ");
        EXPECT_EQ(sim::Text(h, IDC_CHECKSUM), "1D78CDFBF094F38E953AE0FB61C4EF0AFDCB50BF");

        ASSERT_TRUE(sim::Pick(h, IDC_CAPK_LIST, 1));
        ASSERT_TRUE(sim::Click(h, IDC_CALC_CHECKSUM));
        EXPECT_EQ(sim::Text(h, IDC_HASH_DATA),
                  "A0 00 00 09 99 F2 9B 2A 7C 4D 1E 0F 3A 5B 6C 7D 8E 9F A0 B1 C2 D3 E4 F5 06 "
                  "17 28 39 4A 5B 01 00 \r\n01 ");  // 33 bytes: the last on a line of its own
        EXPECT_EQ(ParseDisplay(sim::Text(h, IDC_HASH_RESULT)), FromHex(sim::Text(h, IDC_CHECKSUM)));
        EXPECT_TRUE(Boxes().empty());
        EXPECT_TRUE(SameTable(*table, dlg.m_capks));
    });
}

TEST_F(HashCommands, ChecksumInputOfTheLongestKeysAndItsPasteBack)
{
    // 5 + 1 + 248 + 3 = 257 bytes: eight full lines and one of a single byte;
    // with exponent 3, 255 bytes: seven full lines and one of 31.
    ListKey long65537{{0xA0, 0x00, 0x00, 0x00, 0x25}, 0xC9, RandomModulus(31, 248), 65537, {}};
    ListKey long3{{0xA0, 0x00, 0x00, 0x01, 0x52}, 0xC0, RandomModulus(32, 248), 3, {}};
    // The stored checksum is not what the tool computes: it must not matter.
    ListKey wrong{{0xA0, 0x00, 0x00, 0x00, 0x04},
                  0x05,
                  RandomModulus(33, 144),
                  3,
                  std::vector<uint8_t>(20, 0xEE)};
    std::vector<ListKey> keys{long65537, long3, wrong};
    std::string path =
        WriteFile("long.txt", ListEntry(long65537) + ListEntry(long3) + ListEntry(wrong));
    Run([&](HWND h, CMainDlg&) {
        Load(h, path);
        sim::Click(h, IDC_USE_LOADED);
        struct Row {
            size_t bytes, lines, last_line;
        } rows[] = {{257, 9, 1}, {255, 8, 31}, {151, 5, 23}};
        for (int i = 0; i < 3; i++) {
            SCOPED_TRACE(i);
            ASSERT_TRUE(sim::Pick(h, IDC_CAPK_LIST, i));
            ASSERT_TRUE(sim::Click(h, IDC_CALC_CHECKSUM));
            std::string data = sim::Text(h, IDC_HASH_DATA);
            std::vector<uint8_t> input = ChecksumInput(keys[i]);
            ASSERT_EQ(input.size(), rows[i].bytes);
            EXPECT_EQ(ParseDisplay(data), input);
            std::vector<size_t> lines = LineBytes(data);
            ASSERT_EQ(lines.size(), rows[i].lines);
            EXPECT_EQ(lines.back(), rows[i].last_line);
            std::string result = sim::Text(h, IDC_HASH_RESULT);
            EXPECT_EQ(ParseDisplay(result), Sha1(input));

            // Pasting the shown input back and hashing it gives the same.
            ASSERT_TRUE(sim::Type(h, IDC_HASH_DATA, data));
            ASSERT_TRUE(sim::Click(h, IDC_HASH));
            EXPECT_EQ(sim::Text(h, IDC_HASH_DATA), data);
            EXPECT_EQ(sim::Text(h, IDC_HASH_RESULT), result);
        }
        EXPECT_NE(FromHex(sim::Text(h, IDC_CHECKSUM)), Sha1(ChecksumInput(wrong)));
    });
}

TEST_F(HashCommands, ChecksumRefusesAnExponentOtherThan3Or65537)
{
    // The reader never stores one; the command still guards it.
    std::string path = WriteFile("worked.txt", kWorkedExample);
    Run([&](HWND h, CMainDlg& dlg) {
        Load(h, path);
        sim::Click(h, IDC_USE_LOADED);
        sim::Click(h, IDC_CALC_CHECKSUM);
        ASSERT_NE(sim::Text(h, IDC_HASH_RESULT), "");
        dlg.m_capks.records[0].exponent = 17;
        auto before = Capture(h);
        sim::ClearLog();

        ASSERT_TRUE(sim::Click(h, IDC_CALC_CHECKSUM));

        EXPECT_EQ(Boxes(),
                  (std::vector<Box>{{"Invalid CAPK Exponent Value !", "SHA-1 Info", kStop}}));
        EXPECT_EQ(sim::Text(h, IDC_HASH_RESULT), "");
        ExpectUnchangedExcept(before, Capture(h), {IDC_HASH_RESULT});
    });
}

TEST_F(HashCommands, ClearChecksumEmptiesOnlyTheResultLine)
{
    Run([&](HWND h, CMainDlg&) {
        sim::Type(h, IDC_HASH_DATA, "00112233");
        sim::Click(h, IDC_HASH);
        ASSERT_NE(sim::Text(h, IDC_HASH_RESULT), "");
        auto before = Capture(h);
        sim::ClearLog();

        ASSERT_TRUE(sim::Click(h, IDC_CLEAR_HASH));

        EXPECT_EQ(sim::Text(h, IDC_HASH_RESULT), "");
        EXPECT_EQ(sim::Text(h, IDC_HASH_DATA), "00 11 22 33 ");
        EXPECT_TRUE(Boxes().empty());
        ExpectUnchangedExcept(before, Capture(h), {IDC_HASH_RESULT});
    });
}

}  // namespace
}  // namespace support
