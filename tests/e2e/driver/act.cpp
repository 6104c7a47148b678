#include "tests/e2e/driver/act.h"

#include "tests/e2e/driver/remote.h"
#include "tests/e2e/driver/report.h"

namespace e2e {

namespace {

constexpr DWORD kHandlerMs = 60000;  // a handler with its modal windows answered

struct Outstanding {
    HWND target;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    bool answered = false;
};

DWORD WINAPI SendFromWorker(LPVOID param)
{
    Outstanding* send = static_cast<Outstanding*>(param);
    DWORD_PTR result = 0;
    send->answered = TrySend(send->target, send->message, send->wparam, send->lparam, kHandlerMs,
                             &result, false);
    return 0;
}

std::string DescribeOpenDialogs(DWORD pid, HWND except)
{
    std::string out;
    for (HWND dialog : OpenDialogs(pid, except)) {
        char caption[256] = "";
        GetWindowTextA(dialog, caption, sizeof caption);
        out += Fmt(" [\"%s\"", caption);
        if (HWND text = GetDlgItem(dialog, 0xFFFF))
            out += ": \"" + TextOf(text) + "\"";
        out += "]";
    }
    return out.empty() ? " none" : out;
}

}  // namespace

Modal MessageBoxOf(const std::string& caption, const std::string& text)
{
    return Modal{caption, [caption, text](HWND box) {
                     CheckEq(TextOf(Item(box, 0xFFFF)), text,
                             "message box \"" + caption + "\": \"" + text + "\"");
                     Send(Item(box, IDOK), BM_CLICK);
                     WaitGone(box, "message box \"" + caption + "\"");
                 }};
}

void Act(DWORD pid, HWND target, UINT message, WPARAM wparam, LPARAM lparam,
         const std::vector<Modal>& modals, const std::string& what)
{
    HWND top = GetAncestor(target, GA_ROOT);
    Outstanding send{target, message, wparam, lparam};
    HANDLE worker = CreateThread(nullptr, 0, SendFromWorker, &send, 0, nullptr);
    if (worker == nullptr)
        Fail("cannot start a worker thread");
    for (const Modal& modal : modals) {
        DWORD start = GetTickCount();
        HWND window = nullptr;
        while ((window = FindDialog(pid, modal.caption, top)) == nullptr) {
            if (WaitForSingleObject(worker, 0) == WAIT_OBJECT_0) {
                Fail(Fmt("%s: returned without opening \"%s\"", what.c_str(),
                         modal.caption.c_str()));
            }
            if (GetTickCount() - start > kAppearMs) {
                Fail(Fmt("%s: no window \"%s\"; open:%s", what.c_str(), modal.caption.c_str(),
                         DescribeOpenDialogs(pid, top).c_str()));
            }
            Sleep(30);
        }
        Pass(Fmt("%s: \"%s\" opened", what.c_str(), modal.caption.c_str()));
        modal.answer(window);
    }
    if (WaitForSingleObject(worker, kAppearMs) != WAIT_OBJECT_0) {
        Fail(Fmt("%s: the handler did not return; open windows:%s", what.c_str(),
                 DescribeOpenDialogs(pid, top).c_str()));
    }
    CloseHandle(worker);
    if (!send.answered)
        Fail(what + ": the message was not answered");
}

void Click(DWORD pid, HWND dialog, int id, const std::vector<Modal>& modals)
{
    HWND button = Item(dialog, id);
    if (!Visible(button) || !Enabled(button)) {
        Fail(Fmt("click on control %d: it is %s", id, Visible(button) ? "disabled" : "hidden"));
    }
    Act(pid, button, BM_CLICK, 0, 0, modals, Fmt("click \"%s\"", TextOf(button).c_str()));
}

void Pick(DWORD pid, HWND dialog, int id, int index, const std::vector<Modal>& modals)
{
    HWND combo = Item(dialog, id);
    if (!Visible(combo) || !Enabled(combo))
        Fail(Fmt("pick in list %d: it is not enabled", id));
    if (Send(combo, CB_SETCURSEL, index) != index)
        Fail(Fmt("pick entry %d: no such entry", index));
    Act(pid, dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo),
        modals, Fmt("pick entry %d", index));
}

}  // namespace e2e
