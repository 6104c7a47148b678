// The ways out of the program besides "OK": the close box (a system command
// the window passes on to the default processing) and Escape, with a
// minimise and restore on the way.
#include "tests/e2e/driver/act.h"
#include "tests/e2e/driver/main_window.h"
#include "tests/e2e/driver/remote.h"
#include "tests/e2e/driver/report.h"
#include "tests/e2e/driver/scenarios.h"

namespace e2e {

namespace {

void SystemCommand(const Program& program, WPARAM command)
{
    Act(program.pi.dwProcessId, program.main, WM_SYSCOMMAND, command, 0, {},
        Fmt("system command 0x%04X", static_cast<unsigned>(command)));
}

void MinimiseAndRestore(const Program& program)
{
    SystemCommand(program, SC_MINIMIZE);
    Check(IsIconic(program.main) != FALSE, "minimised by the system command");
    Settle(program.main);  // the minimised window paints its icon
    SystemCommand(program, SC_RESTORE);
    Check(IsIconic(program.main) == FALSE && Enabled(program.main), "restored and taking input");
    CheckEq(TextOf(program.main), kMainCaption, "the window is unchanged after restoring");
}

}  // namespace

void ScenarioEnds(const Options& options)
{
    Program program = Launch(options.program, kMainCaption);
    MinimiseAndRestore(program);
    // Posted: the dialog is gone before a sent message could be answered.
    PostMessageA(program.main, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pass(Fmt("the close box ended the program (exit code %lu)", WaitForExit(program, kAppearMs)));

    program = Launch(options.program, kMainCaption);
    HWND focus = FocusOf(program.main);
    if (focus == nullptr)
        Fail("no keyboard focus in the main window");
    PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(focus, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
    Pass(Fmt("Escape ended the program (exit code %lu)", WaitForExit(program, kAppearMs)));
}

}  // namespace e2e
