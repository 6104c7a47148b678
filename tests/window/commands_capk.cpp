// Load CAPKs, Use loaded CAPKs and the key list, driven through the window.

#include <fstream>

#include "tests/support/window_fixture.h"

namespace support {
namespace {

const UINT kStop = 0x10;
const UINT kInfo = 0x40;

const char kChecksumF1[] = "1D78CDFBF094F38E953AE0FB61C4EF0AFDCB50BF";
const char kModulusF1[] = "C1 D2 E3 F4 05 16 27 38 49 5A 6B 7C 8D 9E AF B0 ";

Box Loaded(int count)
{
    return {"Total " + std::to_string(count) + " CAPKs are successfully loaded !", "CAPK Info",
            kInfo};
}

// The fields that show a key, and the controls whose state makes the mode.
struct KeyView {
    std::string rid, index, length, checksum, modulus;
    bool exp3, exp65537;
};

KeyView ShownKey(HWND h)
{
    return {sim::Text(h, IDC_RID),           sim::Text(h, IDC_INDEX),
            sim::Text(h, IDC_MODULUS_LEN),   sim::Text(h, IDC_CHECKSUM),
            sim::Text(h, IDC_MODULUS),       sim::IsChecked(h, IDC_EXP_3),
            sim::IsChecked(h, IDC_EXP_65537)};
}

void ExpectLoadedMode(HWND h)
{
    EXPECT_TRUE(sim::IsChecked(h, IDC_USE_LOADED));
    EXPECT_TRUE(sim::IsEnabled(h, IDC_CAPK_LIST));
    EXPECT_FALSE(sim::IsEnabled(h, IDC_EXP_3));
    EXPECT_FALSE(sim::IsEnabled(h, IDC_EXP_65537));
    EXPECT_TRUE(sim::IsReadOnly(h, IDC_MODULUS));
    EXPECT_TRUE(sim::IsEnabled(h, IDC_CALC_CHECKSUM));
}

void ExpectManualMode(HWND h)
{
    EXPECT_FALSE(sim::IsChecked(h, IDC_USE_LOADED));
    EXPECT_FALSE(sim::IsEnabled(h, IDC_CAPK_LIST));
    EXPECT_TRUE(sim::IsEnabled(h, IDC_EXP_3));
    EXPECT_TRUE(sim::IsEnabled(h, IDC_EXP_65537));
    EXPECT_FALSE(sim::IsReadOnly(h, IDC_MODULUS));
    EXPECT_FALSE(sim::IsEnabled(h, IDC_CALC_CHECKSUM));
}

using CapkCommands = CommandsTest;

TEST_F(CapkCommands, FileDialogAsksForAnExistingTxtFileAndCancelChangesNothing)
{
    std::string path = WriteFile("two.txt", kWorkedExample);
    Run([&](HWND h, CMainDlg& dlg) {
        Load(h, path);
        sim::Click(h, IDC_USE_LOADED);
        sim::ClearLog();
        auto before = Capture(h);
        auto table = CopyTable(dlg.m_capks);

        sim::QueueOpenFile(std::nullopt);
        ASSERT_TRUE(sim::Click(h, IDC_LOAD_CAPKS));

        ASSERT_EQ(sim::FileDialogs().size(), 1u);
        const sim::FileDialogCall& request = sim::FileDialogs()[0];
        EXPECT_EQ(request.def_ext, std::optional<std::string>("*.log"));
        const char filter[] = "All Files(*.txt)\0*.txt\0";  // and the final NUL
        EXPECT_EQ(request.filter, std::string(filter, sizeof filter));
        EXPECT_EQ(request.initial_file, "");
        EXPECT_EQ(request.flags, (DWORD)OFN_FILEMUSTEXIST);
        EXPECT_TRUE(Boxes().empty());
        ExpectUnchangedExcept(before, Capture(h), {});
        EXPECT_TRUE(SameTable(*table, dlg.m_capks));
    });
}

TEST_F(CapkCommands, LoadInManualModeFillsTheDisabledListOnly)
{
    std::string path = WriteFile("worked.txt", kWorkedExample);
    Run([&](HWND h, CMainDlg& dlg) {
        sim::Type(h, IDC_MODULUS, "abcd");
        sim::Click(h, IDC_EXP_65537);
        auto before = Capture(h);
        sim::ClearLog();

        Load(h, path);

        EXPECT_EQ(Boxes(), std::vector<Box>{Loaded(2)});
        EXPECT_EQ(sim::ListItems(h, IDC_CAPK_LIST),
                  (std::vector<std::string>{"A000000999_F1", "A000000999_F2"}));
        EXPECT_EQ(sim::CurSel(h, IDC_CAPK_LIST), 0);
        EXPECT_EQ(dlg.m_capks.count, 2);
        EXPECT_EQ(dlg.m_capks.selected, 0);
        ExpectManualMode(h);
        ExpectUnchangedExcept(before, Capture(h), {IDC_CAPK_LIST});
    });
}

TEST_F(CapkCommands, LoadedModeFollowsTheListAndUntickingKeepsTheKeyForEditing)
{
    std::string path = WriteFile("worked.txt", kWorkedExample);
    Run([&](HWND h, CMainDlg& dlg) {
        Load(h, path);
        sim::ClearLog();
        ASSERT_TRUE(sim::Click(h, IDC_USE_LOADED));
        EXPECT_TRUE(Boxes().empty());
        ExpectLoadedMode(h);

        KeyView f1 = ShownKey(h);
        EXPECT_EQ(f1.rid, "A000000999");
        EXPECT_EQ(f1.index, "F1");
        EXPECT_EQ(f1.length, "16 bytes");
        EXPECT_EQ(f1.checksum, kChecksumF1);
        EXPECT_EQ(f1.modulus, kModulusF1);
        EXPECT_TRUE(f1.exp3);
        EXPECT_FALSE(f1.exp65537);

        ASSERT_TRUE(sim::Pick(h, IDC_CAPK_LIST, 1));
        KeyView f2 = ShownKey(h);
        EXPECT_EQ(f2.rid, "A000000999");
        EXPECT_EQ(f2.index, "F2");
        EXPECT_EQ(f2.length, "24 bytes");
        EXPECT_EQ(f2.checksum, "642B9959CC50121946109E1002CB3CFBB8DC69BC");
        EXPECT_EQ(f2.modulus,
                  "9B 2A 7C 4D 1E 0F 3A 5B 6C 7D 8E 9F A0 B1 C2 D3 E4 F5 06 17 28 39 4A 5B ");
        EXPECT_FALSE(f2.exp3);
        EXPECT_TRUE(f2.exp65537);
        ExpectLoadedMode(h);

        ASSERT_TRUE(sim::Pick(h, IDC_CAPK_LIST, 0));
        EXPECT_EQ(ShownKey(h).modulus, kModulusF1);
        EXPECT_TRUE(sim::IsChecked(h, IDC_EXP_3));
        EXPECT_FALSE(sim::IsChecked(h, IDC_EXP_65537));

        // Unticked: fields blanked; the modulus and the key's exponent button
        // stay, now editable.
        ASSERT_TRUE(sim::Click(h, IDC_USE_LOADED));
        ExpectManualMode(h);
        EXPECT_EQ(dlg.m_capks.use_loaded, 0);
        for (int id : {IDC_RID, IDC_INDEX, IDC_CHECKSUM, IDC_MODULUS_LEN})
            EXPECT_EQ(sim::Text(h, id), "") << id;
        EXPECT_EQ(sim::Text(h, IDC_MODULUS), kModulusF1);
        EXPECT_TRUE(sim::IsChecked(h, IDC_EXP_3));
        EXPECT_FALSE(sim::IsChecked(h, IDC_EXP_65537));
        EXPECT_TRUE(sim::Type(h, IDC_MODULUS, "0102"));
        EXPECT_EQ(sim::Text(h, IDC_MODULUS), "0102");
        // The list keeps its entries and selection while disabled.
        EXPECT_EQ(sim::ListItems(h, IDC_CAPK_LIST).size(), 2u);
        EXPECT_EQ(sim::CurSel(h, IDC_CAPK_LIST), 0);
    });
}

TEST_F(CapkCommands, TickingWithNoKeysLoadedExplainsAndUnticks)
{
    std::string empty = WriteFile("empty.txt", "no keys in here\nRID : \"A0\"\n");
    // Before any load, and after a load that found no key.
    for (bool load_first : {false, true}) {
        SCOPED_TRACE(load_first ? "after a load of no keys" : "before any load");
        Run([&](HWND h, CMainDlg& dlg) {
            if (load_first)
                Load(h, empty);
            auto before = Capture(h);
            sim::ClearLog();

            ASSERT_TRUE(sim::Click(h, IDC_USE_LOADED));

            EXPECT_EQ(Boxes(), (std::vector<Box>{{"No CAPKs loaded. Please load CAPKs first!",
                                                  "CAPK Info", kInfo}}));
            ExpectManualMode(h);
            ExpectUnchangedExcept(before, Capture(h), {});
            EXPECT_EQ(dlg.m_capks.use_loaded, 1);  // the state as clicked
        });
    }
}

TEST_F(CapkCommands, LoadInLoadedModeShowsTheFirstKeyOfTheNewFileAtOnce)
{
    ListKey key{{0xA0, 0x00, 0x00, 0x00, 0x03}, 0x92, RandomModulus(7, 176), 3, {}};
    ListKey other{{0xA0, 0x00, 0x00, 0x00, 0x04}, 0xEF, RandomModulus(8, 248), 65537, {}};
    std::string first = WriteFile("worked.txt", kWorkedExample);
    std::string second = WriteFile("second.txt", ListEntry(key) + ListEntry(other));
    Run([&](HWND h, CMainDlg& dlg) {
        Load(h, first);
        sim::Click(h, IDC_USE_LOADED);
        sim::Pick(h, IDC_CAPK_LIST, 1);
        sim::ClearLog();

        Load(h, second);

        EXPECT_EQ(Boxes(), std::vector<Box>{Loaded(2)});
        EXPECT_EQ(sim::ListItems(h, IDC_CAPK_LIST),
                  (std::vector<std::string>{"A000000003_92", "A000000004_EF"}));
        EXPECT_EQ(sim::CurSel(h, IDC_CAPK_LIST), 0);
        ExpectLoadedMode(h);
        KeyView shown = ShownKey(h);
        EXPECT_EQ(shown.rid, "A000000003");
        EXPECT_EQ(shown.index, "92");
        EXPECT_EQ(shown.length, "176 bytes");
        EXPECT_EQ(FromHex(shown.checksum), Sha1(ChecksumInput(key)));
        EXPECT_EQ(ParseDisplay(shown.modulus), key.modulus);
        EXPECT_TRUE(shown.exp3);
        EXPECT_FALSE(shown.exp65537);
        EXPECT_EQ(dlg.m_capks.selected, 0);
    });
}

TEST_F(CapkCommands, LoadOfNoKeysInLoadedModeEmptiesTheListButKeepsTheShownKey)
{
    std::string worked = WriteFile("worked.txt", kWorkedExample);
    std::string none = WriteFile("none.txt", "");
    Run([&](HWND h, CMainDlg& dlg) {
        Load(h, worked);
        sim::Click(h, IDC_USE_LOADED);
        sim::Pick(h, IDC_CAPK_LIST, 1);
        sim::Click(h, IDC_HASH);  // something in the result line
        KeyView shown = ShownKey(h);
        auto before = Capture(h);
        sim::ClearLog();

        Load(h, none);

        EXPECT_EQ(Boxes(), std::vector<Box>{Loaded(0)});
        EXPECT_TRUE(sim::ListItems(h, IDC_CAPK_LIST).empty());
        EXPECT_EQ(sim::CurSel(h, IDC_CAPK_LIST), -1);
        EXPECT_EQ(dlg.m_capks.count, 0);
        EXPECT_EQ(dlg.m_capks.selected, -1);
        ExpectLoadedMode(h);
        KeyView kept = ShownKey(h);
        EXPECT_EQ(kept.rid, shown.rid);
        EXPECT_EQ(kept.checksum, shown.checksum);
        EXPECT_EQ(kept.length, shown.length);
        EXPECT_EQ(kept.modulus, shown.modulus);
        EXPECT_EQ(kept.exp65537, shown.exp65537);
        ExpectUnchangedExcept(before, Capture(h), {IDC_CAPK_LIST});

        // With nothing selected, the checksum command only empties its line.
        std::string data = sim::Text(h, IDC_HASH_DATA);
        ASSERT_NE(sim::Text(h, IDC_HASH_RESULT), "");
        sim::ClearLog();
        ASSERT_TRUE(sim::Click(h, IDC_CALC_CHECKSUM));
        EXPECT_EQ(sim::Text(h, IDC_HASH_RESULT), "");
        EXPECT_EQ(sim::Text(h, IDC_HASH_DATA), data);
        EXPECT_TRUE(Boxes().empty());
    });
}

TEST_F(CapkCommands, FailedOpenAfterALoadKeepsKeysListSelectionAndFields)
{
    std::string worked = WriteFile("worked.txt", kWorkedExample);
    std::string missing = MissingPath();
    Run([&](HWND h, CMainDlg& dlg) {
        Load(h, worked);
        sim::Click(h, IDC_USE_LOADED);
        sim::Pick(h, IDC_CAPK_LIST, 1);
        auto before = Capture(h);
        auto table = CopyTable(dlg.m_capks);
        sim::ClearLog();

        Load(h, missing);

        EXPECT_EQ(Boxes(),
                  (std::vector<Box>{{"File I/O failed for the following file !\r\n" + missing,
                                     "CAPK Info", kStop}}));
        EXPECT_TRUE(SameTable(*table, dlg.m_capks));
        ExpectUnchangedExcept(before, Capture(h), {});
    });
}

TEST_F(CapkCommands, ListLabelsAndDisplayFormsFollowTheRecords)
{
    // Labels in table order, not sorted; a key without modulus; the longest
    // modulus shown as 7 lines of 32 bytes and one of 24.
    std::vector<ListKey> keys = {
        {{0xB0, 0x12, 0x34, 0x56, 0x78}, 0x01, RandomModulus(21, 248), 65537, {}},
        {{0xA0, 0x00, 0x00, 0x00, 0x65}, 0x0A, {}, 3, {}},
        {{0x00, 0xFF, 0x0F, 0xF0, 0xAB}, 0xFF, RandomModulus(22, 33), 3, {}},
    };
    std::string text = "# three keys, out of order\n";
    for (const ListKey& k : keys)
        text += ListEntry(k) + "\n";
    std::string path = WriteFile("three.txt", text);
    Run([&](HWND h, CMainDlg&) {
        Load(h, path);
        sim::Click(h, IDC_USE_LOADED);
        EXPECT_EQ(sim::ListItems(h, IDC_CAPK_LIST),
                  (std::vector<std::string>{"B012345678_01", "A000000065_0A", "00FF0FF0AB_FF"}));

        struct Row {
            int sel;
            const char* length;
            std::vector<size_t> lines;
        } rows[] = {{0, "248 bytes", {32, 32, 32, 32, 32, 32, 32, 24}},
                    {1, "0 bytes", {}},
                    {2, "33 bytes", {32, 1}}};
        for (const Row& row : rows) {
            SCOPED_TRACE(row.sel);
            ASSERT_TRUE(sim::Pick(h, IDC_CAPK_LIST, row.sel));
            const ListKey& k = keys[row.sel];
            std::string modulus = sim::Text(h, IDC_MODULUS);
            EXPECT_EQ(sim::Text(h, IDC_MODULUS_LEN), row.length);
            EXPECT_EQ(ParseDisplay(modulus), k.modulus);
            EXPECT_EQ(FromHex(sim::Text(h, IDC_RID)), k.rid);
            EXPECT_EQ(FromHex(sim::Text(h, IDC_INDEX)), std::vector<uint8_t>{k.index});
            EXPECT_EQ(FromHex(sim::Text(h, IDC_CHECKSUM)), Sha1(ChecksumInput(k)));
            EXPECT_EQ(LineBytes(modulus), row.lines);
        }
    });
}

TEST_F(CapkCommands, RealKeysShowTheirStoredChecksumAndRecomputeIt)
{
    std::string path = std::string(TARVELLO_TEST_DATA) + "/capk_public.txt";
    std::ifstream probe(path);
    ASSERT_TRUE(probe.good()) << path;
    Run([&](HWND h, CMainDlg& dlg) {
        Load(h, path);
        int count = dlg.m_capks.count;
        ASSERT_GT(count, 0);
        EXPECT_EQ(Boxes(), std::vector<Box>{Loaded(count)});
        sim::Click(h, IDC_USE_LOADED);
        std::vector<std::string> labels = sim::ListItems(h, IDC_CAPK_LIST);
        ASSERT_EQ(labels.size(), (size_t)count);
        for (int i = 0; i < count; i++) {
            SCOPED_TRACE(labels[i]);
            ASSERT_TRUE(sim::Pick(h, IDC_CAPK_LIST, i));
            EXPECT_EQ(labels[i], sim::Text(h, IDC_RID) + "_" + sim::Text(h, IDC_INDEX));
            ASSERT_TRUE(sim::Click(h, IDC_CALC_CHECKSUM));
            // The tool does not compare; the user does, by eye.
            EXPECT_EQ(ParseDisplay(sim::Text(h, IDC_HASH_RESULT)),
                      FromHex(sim::Text(h, IDC_CHECKSUM)));
            const CapkRecord& rec = dlg.m_capks.records[i];
            EXPECT_EQ(ParseDisplay(sim::Text(h, IDC_MODULUS)),
                      std::vector<uint8_t>(rec.modulus, rec.modulus + rec.modulus_length));
            EXPECT_EQ(sim::IsChecked(h, IDC_EXP_3), rec.exponent == 3);
            EXPECT_EQ(sim::IsChecked(h, IDC_EXP_65537), rec.exponent != 3);
        }
        EXPECT_EQ(Boxes().size(), 1u);
    });
}

}  // namespace
}  // namespace support
