// CDialog on the sim: message-map dispatch, data exchange, ending paths,
// automatic buttons, lists, focus and nested modal dialogs.
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "test_dialogs.h"

namespace {

using Calls = std::vector<std::string>;

class DialogTest : public SimTest {};

TEST_F(DialogTest, DispatchGoesDerivedMapThenBaseMapThenDefault)
{
    struct Row {
        const char* action;
        std::function<bool(HWND)> act;
        Calls calls;
        bool still_running;
    } rows[] = {
        {"derived entry wins",
         [](HWND d) { return sim::Click(d, IDC_PLAIN); },
         {"derived:plain"},
         true},
        {"base entry", [](HWND d) { return sim::Click(d, IDC_CHECK); }, {"base:check=1"}, true},
        {"no entry: default", [](HWND d) { return sim::Click(d, IDC_RADIO_OTHER); }, {}, true},
        {"system command of the program",
         [](HWND d) { return sim::SysCommand(d, 0x0015); },
         {"about"},
         true},
        {"close box: default -> IDCANCEL",
         [](HWND d) { return sim::Close(d); },
         {"syscommand:default"},
         false},
        {"minimise: default",
         [](HWND d) { return sim::SysCommand(d, SC_MINIMIZE); },
         {"syscommand:default"},
         true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.action);
        sim::Reset();
        CTestDlg dlg;
        bool running = false;
        int result = RunModal(dlg, [&](HWND d) {
            ASSERT_TRUE(r.act(d));
            running = ::IsWindowVisible(d) != 0;
            if (running)
                sim::PressEscape(d);
        });
        EXPECT_EQ(dlg.calls, r.calls);
        EXPECT_EQ(running, r.still_running);
        EXPECT_EQ(result, IDCANCEL);
    }
}

TEST_F(DialogTest, MinimiseThroughDefaultMakesTheWindowIconic)
{
    CTestDlg dlg;
    RunModal(dlg, [](HWND d) {
        sim::SysCommand(d, SC_MINIMIZE);
        EXPECT_TRUE(::IsIconic(d));
        sim::SysCommand(d, SC_RESTORE);
        EXPECT_FALSE(::IsIconic(d));
    });
}

TEST_F(DialogTest, AutomaticButtonsToggleBeforeTheNotification)
{
    // Each click, then the states of A, B, C, Other as the dialog saw them.
    struct Step {
        int click;
        const char* seen;
    } steps[] = {
        {IDC_RADIO_B, "radio:0101"},
        {IDC_RADIO_A, "radio:1001"},
        {IDC_RADIO_A, "radio:1001"},
        {IDC_RADIO_C, "radio:0011"},
    };
    CTestDlg dlg;
    RunModal(dlg, [&](HWND d) {
        sim::Click(d, IDC_RADIO_OTHER);  // another group: never unchecked by A, B, C
        for (const Step& s : steps) {
            dlg.calls.clear();
            ASSERT_TRUE(sim::Click(d, s.click));
            EXPECT_EQ(dlg.calls, Calls{s.seen});
        }
        EXPECT_EQ(sim::IsChecked(d, IDC_RADIO_C), true);
        dlg.calls.clear();
        sim::Click(d, IDC_CHECK);
        sim::Click(d, IDC_CHECK);
        EXPECT_EQ(dlg.calls, (Calls{"base:check=1", "base:check=0"}));
        sim::PressEscape(d);
    });
}

TEST_F(DialogTest, ProgramCheckStatesDoNotNotifyOrTouchTheGroup)
{
    CTestDlg dlg;
    RunModal(dlg, [&](HWND d) {
        sim::Click(d, IDC_RADIO_B);
        dlg.calls.clear();
        dlg.m_radioA.SetCheck(BST_CHECKED);
        dlg.m_check.SetCheck(BST_CHECKED);
        EXPECT_TRUE(dlg.calls.empty());
        EXPECT_TRUE(sim::IsChecked(d, IDC_RADIO_A));
        EXPECT_TRUE(sim::IsChecked(d, IDC_RADIO_B));  // BM_SETCHECK leaves the others alone
        EXPECT_EQ(dlg.m_check.GetCheck(), BST_CHECKED);
        sim::PressEscape(d);
    });
}

TEST_F(DialogTest, ListSelectionNotifiesOnlyForTheUser)
{
    CTestDlg dlg;
    RunModal(dlg, [&](HWND d) {
        for (const char* s : {"zeta", "alpha", "Mid"})
            dlg.m_list.AddString(s);
        EXPECT_EQ(sim::ListItems(d, IDC_LIST), (std::vector<std::string>{"zeta", "alpha", "Mid"}));
        EXPECT_EQ(dlg.m_list.SetCurSel(1), 1);
        EXPECT_TRUE(dlg.calls.empty());
        EXPECT_EQ(sim::Text(d, IDC_LIST), "alpha");
        EXPECT_EQ(dlg.m_list.SetCurSel(7), CB_ERR);  // out of range clears the selection
        EXPECT_EQ(dlg.m_list.GetCurSel(), CB_ERR);
        EXPECT_TRUE(sim::Pick(d, IDC_LIST, 2));
        EXPECT_FALSE(sim::Pick(d, IDC_LIST, 3));
        EXPECT_EQ(dlg.calls, (Calls{"sel:2"}));
        CString text;
        dlg.m_list.GetLBText(0, text);
        EXPECT_EQ(text, "zeta");
        dlg.m_list.ResetContent();
        EXPECT_EQ(dlg.m_list.GetCount(), 0);
        EXPECT_EQ(dlg.m_list.GetCurSel(), CB_ERR);
        sim::PressEscape(d);
    });
}

TEST_F(DialogTest, ControlsBindOnceAndUnbindWhenTheDialogEnds)
{
    CTestDlg dlg;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        RunModal(dlg, [&](HWND d) {
            HWND check = ::GetDlgItem(d, IDC_CHECK);
            EXPECT_EQ(dlg.m_check.m_hWnd, check);
            EXPECT_EQ(dlg.GetSafeHwnd(), d);
            EXPECT_EQ(CWnd::FromHandlePermanent(check), &dlg.m_check);
            EXPECT_EQ(dlg.GetDlgItem(IDC_CHECK), &dlg.m_check);
            dlg.UpdateData(FALSE);  // a later exchange keeps the binding
            EXPECT_EQ(dlg.m_check.m_hWnd, check);
            // Another object cannot take a bound control over.
            CButton other;
            EXPECT_FALSE(other.SubclassDlgItem(IDC_CHECK, &dlg));
            EXPECT_EQ(other.m_hWnd, static_cast<HWND>(NULL));
            // An unbound control gets a stand-in object.
            CWnd* plain = dlg.GetDlgItem(IDC_PLAIN);
            ASSERT_NE(plain, nullptr);
            EXPECT_EQ(plain->GetDlgCtrlID(), IDC_PLAIN);
            sim::PressEscape(d);
        });
        EXPECT_EQ(dlg.m_hWnd, static_cast<HWND>(NULL));
        EXPECT_EQ(dlg.m_check.m_hWnd, static_cast<HWND>(NULL));
        EXPECT_EQ(dlg.m_link.m_hWnd, static_cast<HWND>(NULL));
    }
}

TEST_F(DialogTest, PushThenPullKeepsTextsOfAnyLength)
{
    std::string line(64, 'A');
    std::string eight_kb;
    while (eight_kb.size() < 8192)
        eight_kb += line + "\r\n";
    std::string big(70000, 'z');
    const std::string texts[] = {"", "0123", "bytes", eight_kb, big};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.size());
        sim::Reset();
        CTestDlg dlg;
        RunModal(dlg, [&](HWND d) {
            dlg.m_strMulti = text.c_str();
            dlg.m_strSingle = "single";
            dlg.UpdateData(FALSE);
            EXPECT_EQ(sim::Text(d, IDC_MULTI), text);
            dlg.m_strMulti = "changed";
            dlg.UpdateData(TRUE);
            EXPECT_EQ(std::string(dlg.m_strMulti), text);
            EXPECT_EQ(dlg.m_strSingle, "single");
            // What the user types comes back whole too.
            ASSERT_TRUE(sim::Type(d, IDC_MULTI, text + "!"));
            dlg.UpdateData(TRUE);
            EXPECT_EQ(std::string(dlg.m_strMulti), text + "!");
            CString direct;
            dlg.m_editMulti.GetWindowText(direct);
            EXPECT_EQ(std::string(direct), text + "!");
            sim::PressEscape(d);
        });
    }
}

TEST_F(DialogTest, EndingPaths)
{
    struct Row {
        const char* how;
        std::function<bool(HWND)> act;
        int result;
        bool pulled;  // OnOK's final pull copied the typed text
    } rows[] = {
        {"OK button", [](HWND d) { return sim::Click(d, IDOK); }, IDOK, true},
        {"Enter in a single-line edit", [](HWND d) { return sim::PressEnter(d, IDC_SINGLE); }, IDOK,
         true},
        {"Enter in a multi-line edit without want-return",
         [](HWND d) { return sim::PressEnter(d, IDC_PLAIN_MULTI); }, IDOK, true},
        {"Enter with the focus on OK", [](HWND d) { return sim::PressEnter(d, IDOK); }, IDOK, true},
        {"Escape with Cancel hidden", [](HWND d) { return sim::PressEscape(d); }, IDCANCEL, false},
        {"close box", [](HWND d) { return sim::Close(d); }, IDCANCEL, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.how);
        sim::Reset();
        CTestDlg dlg;
        dlg.m_strSingle = "before";
        int result = RunModal(dlg, [&](HWND d) {
            ASSERT_TRUE(sim::Type(d, IDC_SINGLE, "typed\r\nsecond line"));
            EXPECT_EQ(sim::Text(d, IDC_SINGLE), "typed");  // a single-line paste stops at the break
            ASSERT_TRUE(r.act(d));
        });
        EXPECT_EQ(result, r.result);
        EXPECT_EQ(std::string(dlg.m_strSingle), r.pulled ? "typed" : "before");
    }
}

TEST_F(DialogTest, EnterInAWantReturnEditAddsALineBreak)
{
    CTestDlg dlg;
    int result = RunModal(dlg, [&](HWND d) {
        sim::Type(d, IDC_MULTI, "ab");
        ASSERT_TRUE(sim::PressEnter(d, IDC_MULTI));
        EXPECT_EQ(sim::Text(d, IDC_MULTI), "ab\r\n");
        EXPECT_TRUE(::IsWindowVisible(d));
        // Enter on a focused push button presses that button, not OK.
        ASSERT_TRUE(sim::PressEnter(d, IDC_PLAIN));
        EXPECT_EQ(dlg.calls, (Calls{"derived:plain"}));
        dlg.m_editMulti.SetReadOnly(TRUE);
        EXPECT_FALSE(sim::Type(d, IDC_MULTI, "x"));
        sim::PressEnter(d, IDC_MULTI);
        EXPECT_EQ(sim::Text(d, IDC_MULTI), "ab\r\n");
        dlg.m_editMulti.SetReadOnly(FALSE);
        EXPECT_FALSE(sim::IsReadOnly(d, IDC_MULTI));
        sim::Click(d, IDOK);
    });
    EXPECT_EQ(result, IDOK);
}

TEST_F(DialogTest, UsersCannotReachHiddenOrDisabledControls)
{
    CTestDlg dlg;
    RunModal(dlg, [&](HWND d) {
        EXPECT_FALSE(sim::Click(d, IDC_ACTION));  // disabled in the template
        EXPECT_FALSE(sim::Click(d, IDCANCEL));    // hidden in the template
        EXPECT_FALSE(sim::Type(d, IDC_READONLY, "x"));
        dlg.m_check.EnableWindow(FALSE);
        EXPECT_FALSE(sim::Click(d, IDC_CHECK));
        EXPECT_FALSE(sim::IsChecked(d, IDC_CHECK));
        EXPECT_TRUE(dlg.m_check.EnableWindow(TRUE));  // it was disabled
        EXPECT_TRUE(sim::Click(d, IDC_CHECK));
        EXPECT_THROW(sim::Text(d, 4242), std::out_of_range);
        sim::Click(d, IDOK);
        EXPECT_FALSE(sim::Click(d, IDC_CHECK));  // the dialog has ended
    });
}

TEST_F(DialogTest, FocusAfterInitDialog)
{
    struct Row {
        const char* why;
        UINT id;
        std::function<void(CTestDlg&)> init;
        BOOL init_result;
        int focus;
    } rows[] = {
        {"first tab stop", IDD_ALL, nullptr, TRUE, IDOK},
        {"disabled during init is skipped", IDD_ALL,
         [](CTestDlg& dlg) { dlg.GetDlgItem(IDOK)->EnableWindow(FALSE); }, TRUE, IDC_MULTI},
        {"FALSE keeps the program's focus", IDD_ALL,
         [](CTestDlg& dlg) { dlg.GetDlgItem(IDC_PLAIN)->SetFocus(); }, FALSE, IDC_PLAIN},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        sim::Reset();
        CTestDlg dlg(r.id);
        dlg.m_onInit = r.init;
        dlg.m_initResult = r.init_result;
        RunModal(dlg, [&](HWND d) {
            EXPECT_EQ(sim::FocusId(d), r.focus);
            sim::PressEscape(d);
        });
    }
}

TEST_F(DialogTest, NestedModalsTakeQueuedHandlersInOrder)
{
    CTestDlg outer;
    std::vector<int> order;
    int inner_result = 0;
    sim::OnNextModal([&](HWND d) {
        order.push_back(sim::TemplateId(d));
        CPlainDlg inner(IDD_SMALL);
        inner_result = inner.DoModal();  // owned by no one: no main window is set
        EXPECT_TRUE(sim::IsDialogEnabled(d));
        // A nested dialog owned by this one disables it while it runs.
        CDialog owned(IDD_SMALL, &outer);
        sim::OnNextModal([&](HWND o) {
            order.push_back(-sim::TemplateId(o));
            EXPECT_FALSE(sim::IsDialogEnabled(d));
            EXPECT_FALSE(sim::Click(d, IDC_PLAIN));
            sim::Click(o, IDOK);
        });
        EXPECT_EQ(owned.DoModal(), IDOK);
        EXPECT_TRUE(sim::IsDialogEnabled(d));
        sim::Click(d, IDOK);
    });
    sim::OnNextModal([&](HWND d) {
        order.push_back(sim::TemplateId(d));
        sim::Click(d, IDCANCEL);
    });
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(inner_result, IDCANCEL);
    EXPECT_EQ(order, (std::vector<int>{IDD_ALL, IDD_SMALL, -IDD_SMALL}));
    EXPECT_EQ(sim::PendingModals(), 0u);
}

TEST_F(DialogTest, UnscriptedAndUnfinishedDialogs)
{
    CPlainDlg a(IDD_SMALL);
    EXPECT_EQ(a.DoModal(), IDOK);  // nobody scripted it: accepted at once
    CPlainDlg b(IDD_SMALL);
    EXPECT_EQ(RunModal(b, [](HWND) {}), IDCANCEL);  // handler left it open
    CPlainDlg missing(9999);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_EQ(sim::Calls(),
              (std::vector<std::string>{"DialogBoxParamA 201", "ended 1", "DialogBoxParamA 201",
                                        "left open 201", "ended 2", "no template 9999"}));
}

TEST_F(DialogTest, PaintAndDragIcon)
{
    CTestDlg dlg;
    dlg.m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_TEST));
    ASSERT_NE(dlg.m_hIcon, static_cast<HICON>(NULL));
    RunModal(dlg, [&](HWND d) {
        sim::ClearLog();
        sim::Paint(d);  // not minimised: default painting
        EXPECT_TRUE(sim::DrawnIcons().empty());
        sim::SetIconic(d, true);
        for (int width : {36, 0}) {
            sim::SetClientSize(d, width, 36);
            sim::Paint(d);
        }
        ASSERT_EQ(sim::DrawnIcons().size(), 2u);
        EXPECT_EQ(sim::DrawnIcons()[0].x, 2);
        EXPECT_EQ(sim::DrawnIcons()[1].x, -15);  // signed division truncates toward zero
        EXPECT_EQ(sim::DrawnIcons()[1].icon, dlg.m_hIcon);
        EXPECT_EQ(sim::QueryDragIcon(d), dlg.m_hIcon);
        sim::PressEscape(d);
    });
    // Default painting of a window that is not minimised: one paint pass, no icon.
    std::vector<std::string> head(sim::Calls().begin(), sim::Calls().begin() + 3);
    EXPECT_EQ(head, (std::vector<std::string>{"BeginPaint", "EndPaint", "BeginPaint"}));
}

}  // namespace
