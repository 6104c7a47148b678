// Decrypt and Clear Decrypted Data, driven through the window; results are
// checked against GMP.

#include "tests/support/window_fixture.h"
#include "tests/support/heap_faults.h"

namespace support {
namespace {

const UINT kStop = 0x10;

using DecryptCommands = CommandsTest;

enum Exponent { kNone, kExp3, kExp65537 };

// Checks one exponent button (or none) the way the key display does.
void SetExponent(CMainDlg& dlg, Exponent e)
{
    dlg.m_radioExp3.SetCheck(e == kExp3 ? BST_CHECKED : BST_UNCHECKED);
    dlg.m_radioExp65537.SetCheck(e == kExp65537 ? BST_CHECKED : BST_UNCHECKED);
}

struct CheckRow {
    const char* name;
    Exponent exponent;
    std::string modulus;
    std::string input;
    Box expected;
};

TEST_F(DecryptCommands, ChecksComeInOrderAndEachFailureLeavesOnlyTheResultEmpty)
{
    std::vector<uint8_t> n = RandomModulus(41, 16);
    std::vector<uint8_t> x = RandomBytes(42, 16);
    const std::string M = TypedHex(n);
    const std::string X = TypedHex(x);
    std::vector<uint8_t> leading_zero(n);
    leading_zero[0] = 0x00;

    const Box no_exponent{"CAPK Exponent is not selected !", "CAPK Info", kStop};
    const Box bad_modulus{"Please set CAPK Modulus correctly !", "RSA Info", kStop};
    const Box too_long{"CAPK Modulus is longer than 292 bytes !", "RSA Info", kStop};
    const Box bad_input{"Please set Encrypted Data correctly !", "RSA Info", kStop};
    const Box unequal{"Length of Modulus & Encrypted Data is NOT equal !", "RSA Info", kStop};
    const Box rsa_error{"RSA ERROR !", "RSA Info", kStop};
    const CheckRow rows[] = {
        {"no exponent, empty boxes", kNone, "", "", no_exponent},
        {"no exponent, a valid key and block", kNone, M, X, no_exponent},
        {"empty modulus and empty input", kExp3, "", "", bad_modulus},
        {"modulus of blanks and line breaks", kExp3, " \r\n \r\n", X, bad_modulus},
        {"modulus starting with a non-digit", kExp65537, "x" + M, X, bad_modulus},
        {"modulus of a single digit", kExp3, "a", "", bad_modulus},
        {"modulus of 293 bytes, before the input", kExp3, TypedHex(RandomModulus(43, 293)), "",
         too_long},
        {"modulus of 600 bytes", kExp65537, TypedHex(RandomModulus(44, 600)), "", too_long},
        {"empty input", kExp3, M, "", bad_input},
        {"input starting with a non-digit", kExp3, M, "g" + X, bad_input},
        {"input one byte short", kExp3, M, X.substr(2), unequal},
        {"input one byte long", kExp65537, M, X + "00", unequal},
        {"junk inside the modulus cuts it", kExp3, M.substr(0, 16) + "zz" + M.substr(16), X,
         unequal},
        {"junk inside the input cuts it", kExp3, M, X.substr(0, 30) + "-" + X.substr(30), unequal},
        {"modulus with a leading zero byte", kExp3, TypedHex(leading_zero), X, rsa_error},
        {"zero modulus", kExp65537, "00000000", "00000001", rsa_error},
    };
    for (const CheckRow& row : rows) {
        SCOPED_TRACE(row.name);
        Run([&](HWND h, CMainDlg& dlg) {
            // A result on screen first: a failed Decrypt must remove it.
            sim::Click(h, IDC_EXP_3);
            sim::Type(h, IDC_MODULUS, M);
            sim::Type(h, IDC_ENCRYPTED, X);
            sim::Click(h, IDC_DECRYPT);
            ASSERT_NE(sim::Text(h, IDC_DECRYPTED), "");

            SetExponent(dlg, row.exponent);
            ASSERT_TRUE(sim::Type(h, IDC_MODULUS, row.modulus));
            ASSERT_TRUE(sim::Type(h, IDC_ENCRYPTED, row.input));
            auto before = Capture(h);
            auto table = CopyTable(dlg.m_capks);
            sim::ClearLog();

            ASSERT_TRUE(sim::Click(h, IDC_DECRYPT));

            EXPECT_EQ(Boxes(), std::vector<Box>{row.expected});
            EXPECT_EQ(sim::Text(h, IDC_DECRYPTED), "");
            ExpectUnchangedExcept(before, Capture(h), {IDC_DECRYPTED});
            EXPECT_TRUE(SameTable(*table, dlg.m_capks));
        });
    }
}

struct PowRow {
    size_t bytes;
    unsigned long e;
    const char* input_kind;
};

// The input block as the user types it, and the bytes it stands for.
std::pair<std::string, std::vector<uint8_t>> MakeInput(const PowRow& row, uint32_t seed)
{
    std::vector<uint8_t> x = RandomBytes(seed, row.bytes);
    std::string kind = row.input_kind;
    if (kind == "all FF, above the modulus")
        x.assign(row.bytes, 0xFF);
    if (kind == "short value 02 03") {
        x.assign(row.bytes, 0x00);
        x[row.bytes - 1] = 0x03;
        if (row.bytes > 1)
            x[row.bytes - 2] = 0x02;
    }
    if (kind == "zero")
        x.assign(row.bytes, 0x00);
    std::string typed = TypedHex(x);
    if (kind == "odd digit count")
        typed += "7";
    if (kind == "blanks and line breaks")
        typed = TypedHex(x, (row.bytes % 2) ? " " : "\r\n ");
    return {typed, x};
}

TEST_F(DecryptCommands, TypedKeysGiveTheModularPowerRightAligned)
{
    const PowRow rows[] = {
        {1, 3, "random"},
        {2, 65537, "random"},
        {16, 3, "odd digit count"},
        {31, 65537, "blanks and line breaks"},
        {32, 3, "short value 02 03"},
        {33, 65537, "random"},
        {64, 3, "all FF, above the modulus"},
        {96, 65537, "zero"},
        {128, 3, "random"},
        {128, 65537, "short value 02 03"},
        {176, 65537, "odd digit count"},
        {248, 3, "random"},
        {248, 65537, "blanks and line breaks"},
        {255, 3, "random"},
        {256, 65537, "random"},
        {291, 3, "all FF, above the modulus"},
        {292, 3, "random"},
        {292, 65537, "random"},
    };
    Run([&](HWND h, CMainDlg& dlg) {
        uint32_t seed = 100;
        for (const PowRow& row : rows) {
            seed += 2;
            SCOPED_TRACE(std::to_string(row.bytes) + " bytes, e = " + std::to_string(row.e) + ", " +
                         row.input_kind + ", seed " + std::to_string(seed));
            std::vector<uint8_t> n = RandomModulus(seed, row.bytes);
            auto input = MakeInput(row, seed + 1);
            sim::Click(h, row.e == 3 ? IDC_EXP_3 : IDC_EXP_65537);
            ASSERT_TRUE(sim::Type(h, IDC_MODULUS, TypedHex(n, row.bytes % 3 ? "" : " ")));
            ASSERT_TRUE(sim::Type(h, IDC_ENCRYPTED, input.first));
            auto before = Capture(h);
            sim::ClearLog();

            ASSERT_TRUE(sim::Click(h, IDC_DECRYPT));

            EXPECT_TRUE(Boxes().empty()) << (Boxes().empty() ? "" : Boxes()[0].text);
            std::string result = sim::Text(h, IDC_DECRYPTED);
            EXPECT_EQ(ParseDisplay(result), PowMod(input.second, row.e, n));
            EXPECT_EQ(LineBytes(result).size(), (row.bytes + 31) / 32);
            ExpectUnchangedExcept(before, Capture(h), {IDC_DECRYPTED});
        }
        EXPECT_EQ(dlg.m_capks.count, 0);
    });
}

TEST_F(DecryptCommands, LoadedKeyIsUsedAsShownAndStaysAfterUnticking)
{
    ListKey k65537{{0xA0, 0x00, 0x00, 0x00, 0x04}, 0xF1, RandomModulus(51, 248), 65537, {}};
    ListKey k3{{0xA0, 0x00, 0x00, 0x00, 0x03}, 0x94, RandomModulus(52, 176), 3, {}};
    std::string path = WriteFile("keys.txt", ListEntry(k65537) + ListEntry(k3));
    std::vector<uint8_t> x248 = RandomBytes(53, 248);
    std::vector<uint8_t> x176 = RandomBytes(54, 176);
    Run([&](HWND h, CMainDlg& dlg) {
        Load(h, path);
        sim::Click(h, IDC_USE_LOADED);
        auto table = CopyTable(dlg.m_capks);

        // First key, 248 bytes: seven lines of 32 bytes and one of 24.
        sim::Type(h, IDC_ENCRYPTED, TypedHex(x248, " "));
        ASSERT_TRUE(sim::Click(h, IDC_DECRYPT));
        std::string result = sim::Text(h, IDC_DECRYPTED);
        std::vector<uint8_t> expected = PowMod(x248, 65537, k65537.modulus);
        EXPECT_EQ(ParseDisplay(result), expected);
        EXPECT_EQ(LineBytes(result), (std::vector<size_t>{32, 32, 32, 32, 32, 32, 32, 24}));

        // Second key, exponent 3, picked from the list.
        ASSERT_TRUE(sim::Pick(h, IDC_CAPK_LIST, 1));
        sim::Type(h, IDC_ENCRYPTED, TypedHex(x176));
        ASSERT_TRUE(sim::Click(h, IDC_DECRYPT));
        std::string result3 = sim::Text(h, IDC_DECRYPTED);
        EXPECT_EQ(ParseDisplay(result3), PowMod(x176, 3, k3.modulus));

        // Unticked: the modulus and exponent stay and are still used.
        std::string shown = sim::Text(h, IDC_MODULUS);
        EXPECT_TRUE(SameTable(*table, dlg.m_capks));
        ASSERT_TRUE(sim::Click(h, IDC_USE_LOADED));
        table = CopyTable(dlg.m_capks);  // the box's state is recorded in the table
        ASSERT_TRUE(sim::Click(h, IDC_DECRYPT));
        EXPECT_EQ(sim::Text(h, IDC_DECRYPTED), result3);

        // The shown modulus pasted back by hand reads as the same key.
        ASSERT_TRUE(sim::Type(h, IDC_MODULUS, shown));
        ASSERT_TRUE(sim::Click(h, IDC_DECRYPT));
        EXPECT_EQ(sim::Text(h, IDC_DECRYPTED), result3);

        // An edited modulus is used once the box is editable again.
        std::vector<uint8_t> edited = RandomModulus(55, 176);
        ASSERT_TRUE(sim::Type(h, IDC_MODULUS, TypedHex(edited)));
        ASSERT_TRUE(sim::Click(h, IDC_DECRYPT));
        EXPECT_EQ(ParseDisplay(sim::Text(h, IDC_DECRYPTED)), PowMod(x176, 3, edited));
        EXPECT_TRUE(SameTable(*table, dlg.m_capks));
    });
}

TEST_F(DecryptCommands, RealKeyFromTheListFile)
{
    std::string path = std::string(TARVELLO_TEST_DATA) + "/capk_public.txt";
    Run([&](HWND h, CMainDlg& dlg) {
        Load(h, path);
        ASSERT_GT(dlg.m_capks.count, 0);
        sim::Click(h, IDC_USE_LOADED);
        int last = dlg.m_capks.count - 1;
        for (int i : {0, last}) {
            SCOPED_TRACE(i);
            ASSERT_TRUE(sim::Pick(h, IDC_CAPK_LIST, i));
            const CapkRecord& rec = dlg.m_capks.records[i];
            std::vector<uint8_t> n(rec.modulus, rec.modulus + rec.modulus_length);
            std::vector<uint8_t> x = RandomBytes(60 + i, n.size());
            x[0] = 0x6A;  // below any modulus whose top bit is set
            sim::Type(h, IDC_ENCRYPTED, TypedHex(x));
            sim::ClearLog();
            ASSERT_TRUE(sim::Click(h, IDC_DECRYPT));
            EXPECT_TRUE(Boxes().empty());
            EXPECT_EQ(ParseDisplay(sim::Text(h, IDC_DECRYPTED)),
                      PowMod(x, (unsigned long)rec.exponent, n));
        }
    });
}

// On success the modulus and input buffers and the key context are freed
// before the result is shown, the result buffer after: while the text is set
// only that buffer is left, and nothing once the command returns.
TEST_F(DecryptCommands, ResultIsShownWithOnlyItsBufferLeft)
{
    std::vector<uint8_t> n = RandomModulus(73, 64);
    std::vector<uint8_t> x = RandomBytes(74, 64);
    x[0] = 0x00;
    Run([&](HWND h, CMainDlg&) {
        sim::Click(h, IDC_EXP_3);
        sim::Type(h, IDC_MODULUS, TypedHex(n));
        sim::Type(h, IDC_ENCRYPTED, TypedHex(x));
        long live_at_result = -1;
        sim::WatchText([&](int id, const std::string& text) {
            if (id == IDC_DECRYPTED && !text.empty())
                live_at_result = heap_faults::Live();
        });
        heap_faults::Disarm();

        ASSERT_TRUE(sim::Click(h, IDC_DECRYPT));

        sim::WatchText(nullptr);
        EXPECT_EQ(live_at_result, 1);
        EXPECT_EQ(heap_faults::Live(), 0);
        EXPECT_EQ(ParseDisplay(sim::Text(h, IDC_DECRYPTED)), PowMod(x, 3, n));
    });
}

TEST_F(DecryptCommands, ClearDecryptedEmptiesOnlyTheResult)
{
    std::vector<uint8_t> n = RandomModulus(71, 40);
    Run([&](HWND h, CMainDlg&) {
        sim::Click(h, IDC_EXP_65537);
        sim::Type(h, IDC_MODULUS, TypedHex(n));
        sim::Type(h, IDC_ENCRYPTED, TypedHex(RandomBytes(72, 40)));
        sim::Click(h, IDC_DECRYPT);
        ASSERT_NE(sim::Text(h, IDC_DECRYPTED), "");
        auto before = Capture(h);
        sim::ClearLog();

        ASSERT_TRUE(sim::Click(h, IDC_CLEAR_DECRYPTED));

        EXPECT_EQ(sim::Text(h, IDC_DECRYPTED), "");
        EXPECT_TRUE(Boxes().empty());
        ExpectUnchangedExcept(before, Capture(h), {IDC_DECRYPTED});
    });
}

}  // namespace
}  // namespace support
