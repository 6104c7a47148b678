// The main window on its own: template, start state, data exchange, the
// exponent radio buttons and the keyboard.
#include <cstring>
#include <string>
#include <vector>

#include "window_fixture.h"

namespace shell {
namespace {

class MainWindowTest : public WindowTest {};

// ---- template ------------------------------------------------------------------

// Style facts the behaviour depends on: which box takes Enter, which are
// read-only, that nothing scrolls by itself, the unsorted list, the radio
// group without tab stops.
TEST_F(MainWindowTest, ControlStylesCarryTheirBehaviour)
{
    const DWORD kAutoScroll = ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    const DWORD kBox = WS_BORDER | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE;
    const DWORD kLine = WS_BORDER | WS_TABSTOP;
    struct Row {
        int id;
        DWORD type_mask, type;   // button/combo kind in the low style bits
        DWORD must, must_not;
    };
    const Row rows[] = {
        {IDOK, 0xF, BS_DEFPUSHBUTTON, WS_TABSTOP | WS_VISIBLE, 0},
        {IDCANCEL, 0xF, BS_PUSHBUTTON, WS_TABSTOP, WS_VISIBLE},
        {IDC_LOAD_CAPKS, 0xF, BS_PUSHBUTTON, WS_TABSTOP, 0},
        {IDC_USE_LOADED, 0xF, BS_AUTOCHECKBOX, WS_TABSTOP, 0},
        {IDC_CAPK_LIST, 0x3, CBS_DROPDOWNLIST, WS_TABSTOP | WS_VSCROLL | WS_DISABLED, CBS_SORT},
        {IDC_MODULUS, 0, 0, kBox | ES_WANTRETURN, kAutoScroll | ES_READONLY},
        {IDC_EXP_3, 0xF, BS_AUTORADIOBUTTON, WS_GROUP, WS_TABSTOP},
        {IDC_EXP_65537, 0xF, BS_AUTORADIOBUTTON, 0, WS_GROUP | WS_TABSTOP},
        {IDC_ENCRYPTED, 0, 0, kBox, kAutoScroll | ES_WANTRETURN | ES_READONLY},
        {IDC_DECRYPTED, 0, 0, kBox | ES_READONLY, kAutoScroll | ES_WANTRETURN},
        {IDC_HASH_DATA, 0, 0, kBox, kAutoScroll | ES_WANTRETURN | ES_READONLY},
        {IDC_HASH_RESULT, 0, 0, kLine | ES_READONLY, kAutoScroll | ES_MULTILINE},
        {IDC_CALC_CHECKSUM, 0xF, BS_PUSHBUTTON, WS_TABSTOP | WS_DISABLED, 0},
        {IDC_RID, 0, 0, kLine | ES_READONLY, kAutoScroll | ES_MULTILINE},
        {IDC_INDEX, 0, 0, kLine | ES_READONLY, kAutoScroll | ES_MULTILINE},
        {IDC_CHECKSUM, 0, 0, kLine | ES_READONLY, kAutoScroll | ES_MULTILINE},
        {IDC_MODULUS_LEN, 0x1F, SS_LEFT, WS_GROUP, 0},
        {IDC_LINK_MAKER, 0xF, BS_PUSHBUTTON, WS_TABSTOP, 0},
        {IDC_LINK_PRODUCT, 0xF, BS_PUSHBUTTON, WS_TABSTOP, 0},
    };
    RunMain([&](HWND dlg, CMainDlg&) {
        for (const Row& r : rows) {
            SCOPED_TRACE("control " + std::to_string(r.id));
            DWORD style = sim::Style(dlg, r.id);
            EXPECT_EQ(style & r.type_mask, r.type);
            EXPECT_EQ(style & r.must, r.must);
            EXPECT_EQ(style & r.must_not, 0u);
        }
        sim::Click(dlg, IDOK);
    });
}

// ---- construction and OnInitDialog -----------------------------------------------

// Manual mode, empty fields (the template's "bytes" hidden), focus on OK.
TEST_F(MainWindowTest, OpensInManualModeWithEmptyFields)
{
    struct Row {
        int id;
        const char* text;   // nullptr: a web address of ours
        bool enabled, visible;
        int check;
        bool read_only;
    };
    const Row rows[] = {
        {IDOK, "OK", true, true, BST_UNCHECKED, false},
        {IDCANCEL, "Cancel", true, false, BST_UNCHECKED, false},
        {IDC_LOAD_CAPKS, "Load CAPKs ...", true, true, BST_UNCHECKED, false},
        {IDC_USE_LOADED, "Use loaded CAPKs", true, true, BST_UNCHECKED, false},
        {IDC_CAPK_LIST, "", false, true, BST_UNCHECKED, false},
        {IDC_MODULUS, "", true, true, BST_UNCHECKED, false},
        {IDC_EXP_3, "3", true, true, BST_UNCHECKED, false},
        {IDC_EXP_65537, "65537", true, true, BST_UNCHECKED, false},
        {IDC_ENCRYPTED, "", true, true, BST_UNCHECKED, false},
        {IDC_DECRYPTED, "", true, true, BST_UNCHECKED, true},
        {IDC_DECRYPT, "Decrypt", true, true, BST_UNCHECKED, false},
        {IDC_HASH_DATA, "", true, true, BST_UNCHECKED, false},
        {IDC_HASH, "Hash", true, true, BST_UNCHECKED, false},
        {IDC_HASH_RESULT, "", true, true, BST_UNCHECKED, true},
        {IDC_CALC_CHECKSUM, "Calculate checksum for the loaded and currently selected CAPK",
         false, true, BST_UNCHECKED, false},
        {IDC_RID, "", true, true, BST_UNCHECKED, true},
        {IDC_INDEX, "", true, true, BST_UNCHECKED, true},
        {IDC_CHECKSUM, "", true, true, BST_UNCHECKED, true},
        {IDC_MODULUS_LEN, "", true, true, BST_UNCHECKED, false},
        {IDC_LINK_MAKER, nullptr, true, true, BST_UNCHECKED, false},
        {IDC_LINK_PRODUCT, nullptr, true, true, BST_UNCHECKED, false},
        {IDC_CLEAR_DECRYPTED, "Clear Decrypted Data", true, true, BST_UNCHECKED, false},
        {IDC_CLEAR_HASH, "Clear Checksum", true, true, BST_UNCHECKED, false},
    };
    ASSERT_EQ(std::size(rows), kMainIds.size());
    int result = RunMain([&](HWND dlg, CMainDlg& main) {
        EXPECT_EQ(sim::Caption(dlg), "Tarvello");
        for (const Row& r : rows) {
            SCOPED_TRACE("control " + std::to_string(r.id));
            std::string text = sim::Text(dlg, r.id);
            if (r.text != nullptr) {
                EXPECT_EQ(text, r.text);
            } else {
                EXPECT_EQ(text.rfind("https://", 0), 0u) << text;
            }
            EXPECT_EQ(sim::IsEnabled(dlg, r.id), r.enabled);
            EXPECT_EQ(sim::IsVisible(dlg, r.id), r.visible);
            EXPECT_EQ(sim::CheckState(dlg, r.id), r.check);
            EXPECT_EQ(sim::IsReadOnly(dlg, r.id), r.read_only);
        }
        EXPECT_TRUE(sim::ListItems(dlg, IDC_CAPK_LIST).empty());
        EXPECT_EQ(sim::CurSel(dlg, IDC_CAPK_LIST), CB_ERR);
        EXPECT_EQ(sim::FocusId(dlg), IDOK);
        EXPECT_TRUE(main.m_strChecksum.IsEmpty());
        EXPECT_TRUE(main.m_strIndex.IsEmpty());
        EXPECT_TRUE(main.m_strRid.IsEmpty());
        EXPECT_TRUE(main.m_strModulusLength.IsEmpty());
        // Nothing was reported while opening.
        EXPECT_TRUE(sim::MessageBoxes().empty());
        // Enter right after opening presses OK.
        EXPECT_TRUE(sim::PressEnter(dlg, sim::FocusId(dlg)));
    });
    EXPECT_EQ(result, IDOK);
}

// The constructor leaves the table alone; OnInitDialog empties it whatever
// it held.
TEST_F(MainWindowTest, OpeningEmptiesTheKeyTable)
{
    CMainDlg main;
    std::memset(&main.m_capks, 0xA5, sizeof main.m_capks);
    sim::OnNextModal([&](HWND dlg) {
        EXPECT_EQ(main.m_capks.count, 0);
        EXPECT_EQ(main.m_capks.selected, -1);
        EXPECT_EQ(main.m_capks.use_loaded, 0);
        const unsigned char* p = reinterpret_cast<const unsigned char*>(main.m_capks.records);
        size_t nonzero = 0;
        for (size_t i = 0; i < sizeof main.m_capks.records; ++i)
            nonzero += p[i] != 0;
        EXPECT_EQ(nonzero, 0u) << "record bytes left over";
        sim::Click(dlg, IDOK);
    });
    EXPECT_EQ(main.DoModal(), IDOK);
}

// Each member object stands for the control with its id once the window is
// open; a control bound twice or to the wrong id shows here.
TEST_F(MainWindowTest, MemberControlsAreBoundToTheirIds)
{
    struct Row {
        int id;
        CWnd& (*member)(CMainDlg&);
    };
    const Row rows[] = {
        {IDC_LINK_PRODUCT, [](CMainDlg& d) -> CWnd& { return d.m_linkProduct; }},
        {IDC_LINK_MAKER, [](CMainDlg& d) -> CWnd& { return d.m_linkMaker; }},
        {IDC_EXP_3, [](CMainDlg& d) -> CWnd& { return d.m_radioExp3; }},
        {IDC_EXP_65537, [](CMainDlg& d) -> CWnd& { return d.m_radioExp65537; }},
        {IDC_MODULUS, [](CMainDlg& d) -> CWnd& { return d.m_editModulus; }},
        {IDC_HASH_DATA, [](CMainDlg& d) -> CWnd& { return d.m_editHashData; }},
        {IDC_ENCRYPTED, [](CMainDlg& d) -> CWnd& { return d.m_editEncrypted; }},
        {IDC_DECRYPTED, [](CMainDlg& d) -> CWnd& { return d.m_editDecrypted; }},
        {IDC_HASH_RESULT, [](CMainDlg& d) -> CWnd& { return d.m_editHashResult; }},
        {IDC_CAPK_LIST, [](CMainDlg& d) -> CWnd& { return d.m_comboCapks; }},
        {IDC_USE_LOADED, [](CMainDlg& d) -> CWnd& { return d.m_checkUseLoaded; }},
        {IDC_LOAD_CAPKS, [](CMainDlg& d) -> CWnd& { return d.m_btnLoadCapks; }},
        {IDC_CALC_CHECKSUM, [](CMainDlg& d) -> CWnd& { return d.m_btnCalcChecksum; }},
        {IDC_HASH, [](CMainDlg& d) -> CWnd& { return d.m_btnHash; }},
        {IDC_DECRYPT, [](CMainDlg& d) -> CWnd& { return d.m_btnDecrypt; }},
    };
    RunMain([&](HWND dlg, CMainDlg& main) {
        for (const Row& r : rows) {
            SCOPED_TRACE("control " + std::to_string(r.id));
            HWND bound = r.member(main).GetSafeHwnd();
            ASSERT_NE(bound, nullptr);
            EXPECT_EQ(bound, ::GetDlgItem(dlg, r.id));
        }
        sim::Click(dlg, IDOK);
    });
}

// ---- data exchange -----------------------------------------------------------------

// Push shows the four strings, a pull right after gives them back unchanged
// (any length, any characters), and no other control takes part.
TEST_F(MainWindowTest, PullAfterPushKeepsTheFourStrings)
{
    struct Row {
        const char* name;
        std::string rid, index, checksum, length;
    };
    const Row rows[] = {
        {"typical", "A000000999", "F1", "1D78CDFBF094F38E953AE0FB61C4EF0AFDCB50BF", "248 bytes"},
        {"all empty", "", "", "", ""},
        {"format characters", "%s%d", "%n", "100%", "%%"},
        {"long", std::string(5000, '7'), std::string(3000, 'A'), std::string(70000, 'F'),
         std::string(4096, 'b')},
        {"mode switch text", "", "", "", "bytes"},
        {"blank again", "", "", "", ""},
    };
    RunMain([&](HWND dlg, CMainDlg& main) {
        ASSERT_TRUE(sim::Type(dlg, IDC_MODULUS, "C1 D2"));
        ASSERT_TRUE(sim::Click(dlg, IDC_EXP_65537));
        std::vector<View> before = Snapshot(dlg);
        for (const Row& r : rows) {
            SCOPED_TRACE(r.name);
            main.m_strRid = r.rid.c_str();
            main.m_strIndex = r.index.c_str();
            main.m_strChecksum = r.checksum.c_str();
            main.m_strModulusLength = r.length.c_str();
            main.UpdateData(FALSE);
            EXPECT_EQ(sim::Text(dlg, IDC_RID), r.rid);
            EXPECT_EQ(sim::Text(dlg, IDC_INDEX), r.index);
            EXPECT_EQ(sim::Text(dlg, IDC_CHECKSUM), r.checksum);
            EXPECT_EQ(sim::Text(dlg, IDC_MODULUS_LEN), r.length);

            main.m_strRid = "x";
            main.m_strIndex = "x";
            main.m_strChecksum = "x";
            main.m_strModulusLength = "x";
            main.UpdateData(TRUE);
            EXPECT_EQ(std::string(main.m_strRid), r.rid);
            EXPECT_EQ(std::string(main.m_strIndex), r.index);
            EXPECT_EQ(std::string(main.m_strChecksum), r.checksum);
            EXPECT_EQ(std::string(main.m_strModulusLength), r.length);
        }
        // The last row is all empty, so every control looks as before.
        EXPECT_EQ(Snapshot(dlg), before);
        EXPECT_TRUE(sim::Click(dlg, IDOK));
    });
}

// ---- the exponent radio buttons ----------------------------------------------------

// Clicking checks the button and unchecks the other; nothing else changes
// and nothing is reported.
TEST_F(MainWindowTest, ExponentRadioButtonsExcludeEachOther)
{
    struct Row {
        const char* name;
        std::vector<int> clicks;
        int checked;
    };
    const Row rows[] = {
        {"3", {IDC_EXP_3}, IDC_EXP_3},
        {"65537", {IDC_EXP_65537}, IDC_EXP_65537},
        {"3 then 65537", {IDC_EXP_3, IDC_EXP_65537}, IDC_EXP_65537},
        {"65537 then 3", {IDC_EXP_65537, IDC_EXP_3}, IDC_EXP_3},
        {"3 twice", {IDC_EXP_3, IDC_EXP_3}, IDC_EXP_3},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        sim::Reset();
        int result = RunMain([&](HWND dlg, CMainDlg& main) {
            ASSERT_TRUE(sim::Type(dlg, IDC_MODULUS, "AB CD"));
            ASSERT_TRUE(sim::Type(dlg, IDC_HASH_DATA, "00"));
            main.m_strRid = "A000000999";
            main.UpdateData(FALSE);
            std::vector<View> before = Snapshot(dlg);
            sim::ClearLog();
            for (int id : r.clicks)
                ASSERT_TRUE(sim::Click(dlg, id));
            int other = r.checked == IDC_EXP_3 ? IDC_EXP_65537 : IDC_EXP_3;
            EXPECT_EQ(sim::CheckState(dlg, r.checked), BST_CHECKED);
            EXPECT_EQ(sim::CheckState(dlg, other), BST_UNCHECKED);
            std::vector<View> after = Snapshot(dlg);
            for (size_t i = 0; i < after.size(); ++i) {
                if (after[i].id == IDC_EXP_3 || after[i].id == IDC_EXP_65537)
                    continue;
                EXPECT_EQ(after[i], before[i]);
            }
            EXPECT_EQ(std::string(main.m_strRid), "A000000999");
            EXPECT_TRUE(sim::MessageBoxes().empty());
            EXPECT_TRUE(sim::FileDialogs().empty());
            EXPECT_TRUE(sim::ShellOpens().empty());
            EXPECT_TRUE(sim::Click(dlg, IDOK)) << "the window is still running";
        });
        EXPECT_EQ(result, IDOK);
    }
}

// ---- keyboard ----------------------------------------------------------------------

// Only the modulus box takes Enter as a line break; Enter elsewhere presses
// OK, and Escape and the close box cancel although "Cancel" is hidden.
TEST_F(MainWindowTest, EnterEscapeAndCloseEndTheWindowAsExpected)
{
    enum Key { kEnter, kEscape, kCloseBox };
    struct Row {
        const char* name;
        Key key;
        int focus;
        bool ends;
        int result;
    };
    const Row rows[] = {
        {"Enter in the modulus box", kEnter, IDC_MODULUS, false, IDCANCEL},
        {"Enter in the encrypted-data box", kEnter, IDC_ENCRYPTED, true, IDOK},
        {"Enter in the hash data box", kEnter, IDC_HASH_DATA, true, IDOK},
        {"Enter on OK", kEnter, IDOK, true, IDOK},
        {"Escape", kEscape, 0, true, IDCANCEL},
        {"close box", kCloseBox, 0, true, IDCANCEL},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        sim::Reset();
        int result = RunMain([&](HWND dlg, CMainDlg&) {
            ASSERT_TRUE(sim::Type(dlg, IDC_MODULUS, "C1D2"));
            ASSERT_TRUE(sim::Type(dlg, IDC_ENCRYPTED, "E3F4"));
            ASSERT_TRUE(sim::Type(dlg, IDC_HASH_DATA, "0506"));
            switch (r.key) {
            case kEnter: EXPECT_TRUE(sim::PressEnter(dlg, r.focus)); break;
            case kEscape: EXPECT_TRUE(sim::PressEscape(dlg)); break;
            case kCloseBox: EXPECT_TRUE(sim::Close(dlg)); break;
            }
            // An ended dialog takes no more input.
            bool still_running = sim::Type(dlg, IDC_HASH_DATA, "0506");
            EXPECT_EQ(still_running, !r.ends);
            if (still_running) {
                EXPECT_EQ(sim::Text(dlg, IDC_MODULUS), "C1D2\r\n");
                EXPECT_EQ(sim::Text(dlg, IDC_ENCRYPTED), "E3F4");
                EXPECT_TRUE(sim::PressEscape(dlg));
            }
        });
        EXPECT_EQ(result, r.result);
        EXPECT_EQ(sim::MessageBoxes().size(), 0u);
    }
}

}  // namespace
}  // namespace shell
