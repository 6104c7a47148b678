// Around the main window: the system-menu About item and the About box, the
// minimised icon, the drag cursor and the application's start and end.
#include <algorithm>
#include <string>
#include <vector>

#include "ui/AboutDlg.h"
#include "ui/MainApp.h"
#include "tests/support/window_fixture.h"

namespace support {
namespace {

class AppShellTest : public WindowTest {};

constexpr UINT kAboutCommand = 0x0010;

// ---- system menu and About box -------------------------------------------------------

TEST_F(AppShellTest, SystemMenuEndsWithTheAboutItem)
{
    RunMain([&](HWND dlg, CMainDlg&) {
        std::vector<sim::MenuItem> items = sim::SystemMenuItems(dlg);
        ASSERT_GE(items.size(), 2u);
        const sim::MenuItem& separator = items[items.size() - 2];
        const sim::MenuItem& about = items.back();
        EXPECT_NE(separator.flags & MF_SEPARATOR, 0u);
        EXPECT_EQ(about.flags & (MF_SEPARATOR | MF_POPUP | MF_GRAYED | MF_DISABLED), 0u);
        EXPECT_EQ(about.id, kAboutCommand);
        EXPECT_EQ(about.text, "&About Quenlar Tarvello...");
        // Only the two items are added, and the borrowed menu is not destroyed.
        size_t abouts = 0;
        for (const sim::MenuItem& item : items)
            abouts += item.id == kAboutCommand;
        EXPECT_EQ(abouts, 1u);
        EXPECT_TRUE(sim::DestroyedMenus().empty());
        sim::Click(dlg, IDOK);
    });
}

// What the About box shows while it runs over the main window; its links
// open their addresses. Ends it with OK.
void CheckAboutBox(HWND about, HWND main)
{
    EXPECT_EQ(sim::Caption(about), "About Tarvello");
    EXPECT_EQ(sim::TemplateId(about), IDD_ABOUTBOX);
    EXPECT_FALSE(sim::IsDialogEnabled(main)) << "the main window must wait";
    EXPECT_EQ(sim::Text(about, IDOK), "OK");

    std::vector<sim::ControlState> controls = sim::Controls(about);
    ASSERT_EQ(controls.size(), 6u);
    EXPECT_NE(controls[0].icon, nullptr) << "the About box shows the program icon";

    sim::ClearLog();
    const int links[] = {IDC_ABOUT_LINK_PRODUCT, IDC_ABOUT_LINK_MAKER};
    for (int id : links) {
        std::string address = sim::Text(about, id);
        EXPECT_EQ(address.rfind("https://", 0), 0u) << address;
        EXPECT_TRUE(sim::Click(about, id));
        ASSERT_FALSE(sim::ShellOpens().empty());
        EXPECT_EQ(sim::ShellOpens().back().operation, "open");
        EXPECT_EQ(sim::ShellOpens().back().file, address);
    }
    EXPECT_EQ(sim::ShellOpens().size(), 2u);
    EXPECT_TRUE(sim::Click(about, IDOK));
}

// The mask 0xFFF0 maps 0x0010..0x001F to About; the standard commands keep
// their meaning (close still ends the window).
TEST_F(AppShellTest, SystemCommandsOpenAboutOnlyForItsId)
{
    struct Row {
        const char* name;
        UINT command;
        bool opens_about;
        bool ends_main;
    };
    const Row rows[] = {
        {"About item", kAboutCommand, true, false},
        {"About id with system bits 0x5", 0x0015, true, false},
        {"About id with all system bits", 0x001F, true, false},
        {"next id", 0x0020, false, false},
        {"minimise", SC_MINIMIZE, false, false},
        {"restore", SC_RESTORE, false, false},
        {"close", SC_CLOSE, false, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        sim::Reset();
        int about_runs = 0;
        int result = RunMain([&](HWND dlg, CMainDlg&) {
            ASSERT_TRUE(sim::Type(dlg, IDC_HASH_DATA, "0102"));
            std::vector<ControlView> before = Capture(dlg);
            sim::OnNextModal([&](HWND about) {
                ++about_runs;
                CheckAboutBox(about, dlg);
            });
            EXPECT_TRUE(sim::SysCommand(dlg, r.command));
            EXPECT_EQ(about_runs, r.opens_about ? 1 : 0);
            if (r.ends_main)
                return;
            // Back in the main window: it takes input again, unchanged.
            EXPECT_TRUE(sim::IsDialogEnabled(dlg));
            if (r.command != SC_MINIMIZE) {
                EXPECT_EQ(Capture(dlg), before);
            }
            EXPECT_TRUE(sim::Click(dlg, IDOK));
        });
        EXPECT_EQ(result, r.ends_main ? IDCANCEL : IDOK);
    }
}

// About boxes open one after another, never at once.
TEST_F(AppShellTest, AboutOpensAgainAfterClosing)
{
    int about_runs = 0;
    RunMain([&](HWND dlg, CMainDlg&) {
        for (int i = 0; i < 3; ++i) {
            sim::OnNextModal([&](HWND about) {
                ++about_runs;
                CheckAboutBox(about, dlg);
            });
            EXPECT_TRUE(sim::SysCommand(dlg, kAboutCommand));
        }
        EXPECT_TRUE(sim::Click(dlg, IDOK));
    });
    EXPECT_EQ(about_runs, 3);
}

// The two links of the main window open their addresses and do nothing else.
TEST_F(AppShellTest, MainWindowLinksOpenTheirAddresses)
{
    const int links[] = {IDC_LINK_MAKER, IDC_LINK_PRODUCT};
    for (int id : links) {
        SCOPED_TRACE("link " + std::to_string(id));
        sim::Reset();
        RunMain([&](HWND dlg, CMainDlg&) {
            std::vector<ControlView> before = Capture(dlg);
            std::string address = sim::Text(dlg, id);
            sim::ClearLog();
            EXPECT_TRUE(sim::Click(dlg, id));
            ASSERT_EQ(sim::ShellOpens().size(), 1u);
            EXPECT_EQ(sim::ShellOpens()[0].operation, "open");
            EXPECT_EQ(sim::ShellOpens()[0].file, address);
            EXPECT_TRUE(sim::MessageBoxes().empty());
            EXPECT_EQ(Capture(dlg), before);
            EXPECT_TRUE(sim::Click(dlg, IDOK));
        });
    }
}

// ---- icon ----------------------------------------------------------------------------

// x = (client width - icon width + 1) / 2, truncating toward zero; the same
// for y. The system icon is 32x32.
TEST_F(AppShellTest, MinimisedWindowDrawsItsIconCentred)
{
    struct Row {
        int width, height;
        int x, y;
    };
    const Row rows[] = {
        {36, 36, 2, 2},    {0, 0, -15, -15},  // -31 / 2 truncates to -15, not -16
        {32, 32, 0, 0},    {31, 30, 0, 0},    // 0 / 2 and -1 / 2
        {1, 100, -15, 34}, {33, 2, 1, -14},  {160, 27, 64, -2},
    };
    RunMain([&](HWND dlg, CMainDlg& main) {
        ASSERT_NE(main.m_hIcon, nullptr);
        sim::SetIconic(dlg, true);
        for (const Row& r : rows) {
            SCOPED_TRACE(std::to_string(r.width) + "x" + std::to_string(r.height));
            sim::SetClientSize(dlg, r.width, r.height);
            sim::ClearLog();
            sim::Paint(dlg);
            ASSERT_EQ(sim::DrawnIcons().size(), 1u);
            EXPECT_EQ(sim::DrawnIcons()[0].x, r.x);
            EXPECT_EQ(sim::DrawnIcons()[0].y, r.y);
            EXPECT_EQ(sim::DrawnIcons()[0].icon, main.m_hIcon);
        }
        // Restored, the dialog paints as usual: no icon.
        sim::SetIconic(dlg, false);
        sim::SetClientSize(dlg, 36, 36);
        sim::ClearLog();
        sim::Paint(dlg);
        EXPECT_TRUE(sim::DrawnIcons().empty());
        EXPECT_TRUE(sim::Click(dlg, IDOK));
    });
}

// One icon for the title bar, the task switcher and the drag cursor.
TEST_F(AppShellTest, WindowIconsAndDragCursorAreTheProgramIcon)
{
    RunMain([&](HWND dlg, CMainDlg& main) {
        ASSERT_NE(main.m_hIcon, nullptr);
        EXPECT_EQ(sim::BigIcon(dlg), main.m_hIcon);
        EXPECT_EQ(sim::SmallIcon(dlg), main.m_hIcon);
        sim::SetIconic(dlg, true);
        EXPECT_EQ(sim::QueryDragIcon(dlg), (HCURSOR)main.m_hIcon);
        sim::SetIconic(dlg, false);
        EXPECT_TRUE(sim::Click(dlg, IDOK));
    });
}

// ---- application -------------------------------------------------------------------------

int CleanUps()
{
    return (int)std::count(sim::Calls().begin(), sim::Calls().end(), "BCGCBProCleanUp");
}

// However the window ends, the program cleans up once after it closed and
// ends without a message loop.
TEST_F(AppShellTest, StartRunsTheMainWindowModallyAndEnds)
{
    enum Ending { kOk, kEscape, kCloseBox };
    const Ending endings[] = {kOk, kEscape, kCloseBox};
    for (Ending ending : endings) {
        SCOPED_TRACE("ending " + std::to_string(ending));
        sim::Reset();
        ASSERT_EQ(AfxGetApp(), static_cast<CWinApp*>(&theApp));
        bool ran = false;
        sim::OnNextModal([&](HWND dlg) {
            ran = true;
            EXPECT_EQ(sim::TemplateId(dlg), IDD_MAIN);
            ASSERT_NE(theApp.m_pMainWnd, nullptr);
            EXPECT_EQ(theApp.m_pMainWnd->GetSafeHwnd(), dlg);
            EXPECT_EQ(CleanUps(), 0) << "clean-up runs after the window closed";
            switch (ending) {
                case kOk:
                    EXPECT_TRUE(sim::Click(dlg, IDOK));
                    break;
                case kEscape:
                    EXPECT_TRUE(sim::PressEscape(dlg));
                    break;
                case kCloseBox:
                    EXPECT_TRUE(sim::Close(dlg));
                    break;
            }
        });
        EXPECT_EQ(theApp.InitInstance(), FALSE);
        EXPECT_TRUE(ran);
        EXPECT_EQ(CleanUps(), 1);
        EXPECT_EQ(theApp.m_pMainWnd, nullptr) << "no pointer to the destroyed window";
        EXPECT_EQ(sim::PendingModals(), 0u);
    }
}

// The framework's entry: InitInstance returns FALSE, so ExitInstance ends it
// with the framework's exit code and no message box is shown.
TEST_F(AppShellTest, FrameworkEntryEndsAfterTheWindow)
{
    bool ran = false;
    sim::OnNextModal([&](HWND dlg) {
        ran = true;
        // No name was given and the resources hold no title string: the
        // program file's name is the application's, and the caption of a
        // message box given none.
        EXPECT_STREQ(theApp.m_pszAppName, "Tarvello");
        CWnd::FromHandle(dlg)->MessageBox("text");
        ASSERT_EQ(sim::MessageBoxes().size(), 1u);
        EXPECT_EQ(sim::MessageBoxes()[0].caption, "Tarvello");
        sim::ClearLog();
        EXPECT_TRUE(sim::Click(dlg, IDOK));
    });
    char cmdline[] = "";
    EXPECT_EQ(AfxWinMain(NULL, NULL, cmdline, 1), 0);
    EXPECT_TRUE(ran);
    EXPECT_EQ(CleanUps(), 1);
    EXPECT_TRUE(sim::MessageBoxes().empty());
}

}  // namespace
}  // namespace support
