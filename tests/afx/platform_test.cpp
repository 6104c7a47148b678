// The platform operations the program relies on, through the afx wrappers:
// system menu, message boxes, file dialog, hyperlinks, icons, the
// application object and the event log.
#include <algorithm>
#include <string>
#include <vector>

#include "sim_fixture.h"
#include "test_dialogs.h"

namespace {

class PlatformTest : public SimTest {};

// The bytes of a literal with its embedded NULs (the final one left out).
template <size_t N>
std::string Bytes(const char (&s)[N])
{
    return std::string(s, N - 1);
}

TEST_F(PlatformTest, SystemMenuIsExtendedAndNeverDestroyed)
{
    CTestDlg dlg;
    RunModal(dlg, [&](HWND d) {
        CMenu* menu = dlg.GetSystemMenu(FALSE);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(CMenu::FromHandle(menu->m_hMenu), menu);  // one shared wrapper per handle
        ASSERT_TRUE(menu->AppendMenu(MF_SEPARATOR));
        ASSERT_TRUE(menu->AppendMenu(MF_STRING, 0x0010, "&About..."));
        // A fixed-size dialog with a minimise box and no maximise box: no Size
        // and no Maximize, as the system shows it.
        std::vector<sim::MenuItem> expected = {
            {MF_STRING, SC_RESTORE, "&Restore"},     {MF_STRING, SC_MOVE, "&Move"},
            {MF_STRING, SC_MINIMIZE, "Mi&nimize"},   {MF_SEPARATOR, 0, ""},
            {MF_STRING, SC_CLOSE, "&Close\tAlt+F4"}, {MF_SEPARATOR, 0, ""},
            {MF_STRING, 0x0010, "&About..."}};
        EXPECT_EQ(sim::SystemMenuItems(d), expected);
        sim::PressEscape(d);
    });
    EXPECT_TRUE(sim::DestroyedMenus().empty());

    // Reverting gives the standard menu back; a destroyed menu is recorded.
    RunModal(dlg, [&](HWND d) {
        HMENU h = ::GetSystemMenu(d, FALSE);
        ::AppendMenuA(h, MF_STRING, 0x20, "x");
        EXPECT_EQ(::GetSystemMenu(d, TRUE), static_cast<HMENU>(NULL));
        EXPECT_EQ(sim::SystemMenuItems(d).size(), 5u);
        HMENU fresh = ::GetSystemMenu(d, FALSE);
        EXPECT_TRUE(::DestroyMenu(fresh));
        ASSERT_EQ(sim::DestroyedMenus().size(), 1u);
        EXPECT_EQ(sim::DestroyedMenus()[0], fresh);
        EXPECT_FALSE(::AppendMenuA(fresh, MF_STRING, 0x30, "gone"));
        sim::PressEscape(d);
    });
    CPlainDlg no_menu(IDD_NOSYSMENU);
    RunModal(no_menu, [&](HWND d) {
        EXPECT_EQ(no_menu.GetSystemMenu(FALSE), nullptr);
        EXPECT_FALSE(sim::Close(d));  // no close box either
        sim::PressEscape(d);
    });
}

TEST_F(PlatformTest, MessageBoxesAreRecordedAndAnswered)
{
    CTestDlg dlg;
    RunModal(dlg, [&](HWND d) {
        EXPECT_EQ(dlg.MessageBox("No CAPKs loaded.", "CAPK Info", MB_ICONINFORMATION), IDOK);
        sim::QueueMessageBoxAnswer(IDCANCEL);
        EXPECT_EQ(dlg.MessageBox("second", "RSA Info", MB_OKCANCEL | MB_ICONSTOP), IDCANCEL);
        EXPECT_EQ(dlg.MessageBox("third", nullptr, MB_YESNO), IDYES);
        ASSERT_EQ(sim::MessageBoxes().size(), 3u);
        const sim::MessageBoxCall& first = sim::MessageBoxes()[0];
        EXPECT_EQ(first.owner, d);
        EXPECT_EQ(first.text, "No CAPKs loaded.");
        EXPECT_EQ(first.caption, "CAPK Info");
        EXPECT_EQ(first.style, 0x40u);
        EXPECT_EQ(sim::MessageBoxes()[1].style, static_cast<UINT>(MB_OKCANCEL | 0x10));
        EXPECT_EQ(sim::MessageBoxes()[2].caption, "Error");  // no caption and no application name
        sim::ClearLog();
        EXPECT_TRUE(sim::MessageBoxes().empty());
        sim::PressEscape(d);
    });
}

TEST_F(PlatformTest, FileDialogFilterIsHandedOverNulSeparated)
{
    struct Row {
        const char* filter;
        std::string system;
    } rows[] = {
        {"All Files(*.txt)|*.txt||", Bytes("All Files(*.txt)\0*.txt\0\0")},
        {"A|*.a|B (*.b;*.c)|*.b;*.c||", Bytes("A\0*.a\0B (*.b;*.c)\0*.b;*.c\0\0")},
        {"A|*.a|", Bytes("A\0*.a\0\0")},
        {"A|*.a", Bytes("A\0*.a\0\0")},  // a missing closing bar still ends the list
        {nullptr, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.filter != nullptr ? r.filter : "(null)");
        sim::Reset();
        CFileDialog fd(TRUE, "*.log", NULL, OFN_FILEMUSTEXIST, r.filter);
        EXPECT_EQ(fd.DoModal(), IDCANCEL);  // nothing scripted: the user cancels
        ASSERT_EQ(sim::FileDialogs().size(), 1u);
        const sim::FileDialogCall& call = sim::FileDialogs()[0];
        EXPECT_EQ(call.filter, r.system);
        EXPECT_EQ(call.def_ext, std::optional<std::string>("*.log"));
        EXPECT_EQ(call.flags, static_cast<DWORD>(OFN_FILEMUSTEXIST));  // nothing added
        EXPECT_FALSE(call.accepted);
    }
}

TEST_F(PlatformTest, FileDialogAnswers)
{
    struct Row {
        std::optional<std::string> pick;
        int result;
        const char* path;
        const char* name;
    } rows[] = {
        {std::string("C:\\keys\\capk_public.txt"), IDOK, "C:\\keys\\capk_public.txt",
         "capk_public.txt"},
        {std::string("/tmp/list.txt"), IDOK, "/tmp/list.txt", "list.txt"},
        {std::nullopt, IDCANCEL, "", ""},
        {std::string(300, 'p'), IDCANCEL, "", ""},  // longer than the dialog's path buffer
    };
    for (const Row& r : rows) {
        sim::Reset();
        sim::QueueOpenFile(r.pick);
        CFileDialog fd(TRUE, NULL, NULL, 0, "T|*.txt||");
        EXPECT_EQ(fd.DoModal(), r.result);
        EXPECT_EQ(fd.GetPathName(), r.path);
        EXPECT_EQ(fd.GetFileName(), r.name);
        EXPECT_EQ(sim::FileDialogs().at(0).def_ext, std::nullopt);
    }
}

TEST_F(PlatformTest, HyperlinkButtonsOpenTheirCaption)
{
    CTestDlg dlg;
    RunModal(dlg, [&](HWND d) {
        ASSERT_TRUE(sim::Click(d, IDC_LINK));   // bound as CBCGPURLLinkButton
        ASSERT_TRUE(sim::Click(d, IDC_PLAIN));  // a plain push button
        sim::PressEscape(d);
    });
    ASSERT_EQ(sim::ShellOpens().size(), 1u);
    EXPECT_EQ(sim::ShellOpens()[0].operation, "open");
    EXPECT_EQ(sim::ShellOpens()[0].file, "https://link.example/");
    EXPECT_EQ(sim::ShellOpens()[0].owner, static_cast<HWND>(NULL));
}

TEST_F(PlatformTest, IconsFromTheCompiledResources)
{
    HINSTANCE res = AfxFindResourceHandle(MAKEINTRESOURCEA(IDI_TEST), RT_GROUP_ICON);
    EXPECT_EQ(res, AfxGetResourceHandle());
    EXPECT_NE(::FindResourceA(res, MAKEINTRESOURCEA(IDI_TEST), RT_GROUP_ICON),
              static_cast<HRSRC>(NULL));
    EXPECT_EQ(::FindResourceA(res, MAKEINTRESOURCEA(IDI_TEST + 1), RT_GROUP_ICON),
              static_cast<HRSRC>(NULL));
    EXPECT_NE(::FindResourceA(res, MAKEINTRESOURCEA(IDD_ALL), RT_DIALOG), static_cast<HRSRC>(NULL));
    HICON icon = ::LoadIconA(res, MAKEINTRESOURCEA(IDI_TEST));
    ASSERT_NE(icon, static_cast<HICON>(NULL));
    EXPECT_EQ(::LoadIconA(res, MAKEINTRESOURCEA(IDI_TEST)), icon);  // stable
    EXPECT_EQ(::LoadIconA(res, MAKEINTRESOURCEA(IDI_TEST + 1)), static_cast<HICON>(NULL));
    EXPECT_EQ(::GetSystemMetrics(SM_CXICON), 32);

    CTestDlg dlg;
    RunModal(dlg, [&](HWND d) {
        std::vector<sim::ControlState> controls = sim::Controls(d);
        ASSERT_EQ(controls.size(), 19u);
        EXPECT_EQ(controls[5].icon, icon);  // the template's ICON control shows it
        EXPECT_EQ(dlg.SetIcon(icon, TRUE), static_cast<HICON>(NULL));
        dlg.SetIcon(icon, FALSE);
        EXPECT_EQ(sim::BigIcon(d), icon);
        EXPECT_EQ(sim::SmallIcon(d), icon);
        EXPECT_EQ(sim::Caption(d), "All \"kinds\" \\ here");
        sim::PressEscape(d);
    });
}

// An application object whose steps the test can see.
class CTestApp : public CWinApp, public CBCGPWorkspace {
public:
    CTestApp() : CBCGPWorkspace(FALSE) {}
    std::vector<std::string> steps;
    int help = 0;
    BOOL InitInstance() override
    {
        AfxEnableControlContainer();
        Enable3dControls();
        CTestDlg dlg;
        m_pMainWnd = &dlg;
        steps.push_back("modal=" + std::to_string(dlg.DoModal()));
        BCGCBProCleanUp();
        return FALSE;
    }
    int ExitInstance() override
    {
        steps.push_back(m_pMainWnd == nullptr ? "exit, main window gone" : "exit");
        return 7;
    }

protected:
    afx_msg void OnTestHelp() { ++help; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_HELP, OnTestHelp)
END_MESSAGE_MAP()

TEST_F(PlatformTest, WinMainRunsInitInstanceThenExitInstance)
{
    CTestApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(app.m_pszAppName, nullptr);
    sim::OnNextModal([&](HWND d) {
        // Constructed without a name, the application takes the title string,
        // and a message box given no caption shows it.
        EXPECT_STREQ(app.m_pszAppName, "Afx Test Title");
        CWnd::FromHandle(d)->MessageBox("text");
        ASSERT_EQ(sim::MessageBoxes().size(), 1u);
        EXPECT_EQ(sim::MessageBoxes()[0].caption, "Afx Test Title");
        // A command no window handles reaches the application's map.
        ::SendMessageA(d, WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        // With the main window set, an unparented dialog is owned by it.
        CPlainDlg about(IDD_SMALL);
        sim::OnNextModal([&](HWND) { EXPECT_FALSE(sim::IsDialogEnabled(d)); });
        about.DoModal();
        sim::Click(d, IDOK);
    });
    EXPECT_EQ(AfxWinMain(::GetModuleHandleA(NULL), NULL, const_cast<LPTSTR>(""), SW_SHOWNORMAL), 7);
    EXPECT_EQ(app.help, 1);
    EXPECT_EQ(app.steps, (std::vector<std::string>{"modal=1", "exit, main window gone"}));
    EXPECT_EQ(std::count(sim::Calls().begin(), sim::Calls().end(), "BCGCBProCleanUp"), 1);
}

}  // namespace
