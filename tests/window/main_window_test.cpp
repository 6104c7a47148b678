// The main window on its own: template, start state, data exchange, the
// exponent radio buttons and the keyboard.
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/window_fixture.h"

namespace support {
namespace {

class MainWindowTest : public WindowTest {};

// ---- construction and OnInitDialog -----------------------------------------------

// Manual mode, empty fields (the template's "bytes" hidden), focus on OK.
TEST_F(MainWindowTest, OpensInManualModeWithEmptyFields)
{
    int result = RunMain([&](HWND dlg, CMainDlg& main) {
        EXPECT_EQ(sim::Caption(dlg), "Tarvello");
        // Every control as its template has it, but the "bytes" beside the
        // modulus, which opening blanks; nothing checked.
        for (const sim::TemplateControl& c : sim::Template(IDD_MAIN)->controls) {
            if (c.id <= 0)
                continue;
            SCOPED_TRACE("control " + std::to_string(c.id));
            bool list = c.window_class == "ComboBox";
            EXPECT_EQ(sim::Text(dlg, c.id), c.id == IDC_MODULUS_LEN || list ? "" : c.text);
            EXPECT_EQ(sim::IsEnabled(dlg, c.id), !(c.style & WS_DISABLED));
            EXPECT_EQ(sim::IsVisible(dlg, c.id), (c.style & WS_VISIBLE) != 0);
            EXPECT_EQ(sim::CheckState(dlg, c.id), BST_UNCHECKED);
            EXPECT_EQ(sim::IsReadOnly(dlg, c.id),
                      (c.style & ES_READONLY) != 0 && c.window_class == "Edit");
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
        std::vector<ControlView> before = Capture(dlg);
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
        EXPECT_EQ(Capture(dlg), before);
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
            std::vector<ControlView> before = Capture(dlg);
            sim::ClearLog();
            for (int id : r.clicks)
                ASSERT_TRUE(sim::Click(dlg, id));
            int other = r.checked == IDC_EXP_3 ? IDC_EXP_65537 : IDC_EXP_3;
            EXPECT_EQ(sim::CheckState(dlg, r.checked), BST_CHECKED);
            EXPECT_EQ(sim::CheckState(dlg, other), BST_UNCHECKED);
            std::vector<ControlView> after = Capture(dlg);
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
                case kEnter:
                    EXPECT_TRUE(sim::PressEnter(dlg, r.focus));
                    break;
                case kEscape:
                    EXPECT_TRUE(sim::PressEscape(dlg));
                    break;
                case kCloseBox:
                    EXPECT_TRUE(sim::Close(dlg));
                    break;
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
}  // namespace support
