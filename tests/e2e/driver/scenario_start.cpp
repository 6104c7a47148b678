// The window as it opens, the About box from the system menu, the end by "OK".
#include <string>

#include "tests/e2e/driver/act.h"
#include "tests/e2e/driver/main_window.h"
#include "tests/e2e/driver/remote.h"
#include "tests/e2e/driver/report.h"
#include "tests/e2e/driver/scenarios.h"
#include "tests/e2e/driver/screenshot.h"
#include "tests/e2e/driver/shell_record.h"
#include "ui/resource.h"

namespace e2e {

namespace {

// A click on a hyperlink opens its caption's address with the shell.
void ClickLink(DWORD pid, HWND dialog, int id)
{
    if (!HaveOpenedFile())
        return;
    ClearOpened();
    std::string address = TextOf(Item(dialog, id));
    Click(pid, dialog, id);
    WaitOpened(address, Fmt("link %d clicked", id));
}

// A key pressed on a hyperlink opens its address too, and leaves the
// dialog running (Enter does not reach the default button "OK").
void KeyOnLink(const Program& program, int id, WPARAM key, const char* name)
{
    if (!HaveOpenedFile())
        return;
    ClearOpened();
    HWND link = Item(program.main, id);
    std::string address = TextOf(link);
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC))
                  << 16;
    PostMessageA(link, WM_KEYDOWN, key, scan | 1);
    PostMessageA(link, WM_KEYUP, key, scan | static_cast<LPARAM>(0xC0000001u));
    WaitOpened(address, Fmt("%s on link %d", name, id));
    Check(WaitForSingleObject(program.pi.hProcess, 0) == WAIT_TIMEOUT &&
              IsWindowVisible(program.main),
          Fmt("%s on a link leaves the window open", name));
}

// Opens the About box with the system command `command` (what the system-menu
// item sends: GetSystemMenu does not work across processes), checks it while
// the main window waits, and closes it with its "OK".
void OpenAbout(const Program& program, WPARAM command, bool check_layout, int link = 0)
{
    Modal about{kAboutCaption, [&](HWND box) {
                    Check(!Enabled(program.main), "main window takes no input while About is open");
                    if (check_layout) {
                        CheckAboutBox(box);
                        Screenshot(box, "about");
                    }
                    if (link != 0)
                        ClickLink(program.pi.dwProcessId, box, link);
                    Send(Item(box, IDOK), BM_CLICK);
                    WaitGone(box, "About box");
                }};
    Act(program.pi.dwProcessId, program.main, WM_SYSCOMMAND, command, 0, {about},
        Fmt("system command 0x%04X", static_cast<unsigned>(command)));
    Check(Enabled(program.main), "main window takes input again after About");
}

}  // namespace

void ScenarioStart(const Options& options)
{
    Program program = Launch(options.program, kMainCaption);
    CheckMainStartState(program.main);
    OpenAbout(program, IDM_ABOUTBOX, true);
    // The system keeps its own flags in the low four bits of the command id.
    OpenAbout(program, IDM_ABOUTBOX | 0x5, false);
    CheckMainStartState(program.main);
    Screenshot(program.main, "screenshot-main");
    // Last, as the shell's handler process may take the focus from the window.
    ClickLink(program.pi.dwProcessId, program.main, IDC_LINK_PRODUCT);
    ClickLink(program.pi.dwProcessId, program.main, IDC_LINK_MAKER);
    KeyOnLink(program, IDC_LINK_PRODUCT, VK_RETURN, "Enter");
    KeyOnLink(program, IDC_LINK_MAKER, VK_SPACE, "Space");
    OpenAbout(program, IDM_ABOUTBOX, false, IDC_ABOUT_LINK_PRODUCT);
    OpenAbout(program, IDM_ABOUTBOX, false, IDC_ABOUT_LINK_MAKER);
    PostMessageA(Item(program.main, IDOK), BM_CLICK, 0, 0);
    DWORD code = WaitForExit(program, kAppearMs);
    Pass(Fmt("\"OK\" ended the program (exit code %lu)", code));
}

}  // namespace e2e
