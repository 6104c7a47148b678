#include "tests/e2e/driver/remote.h"

#include "tests/e2e/driver/report.h"

namespace e2e {

Program Launch(const std::string& exe, const char* caption)
{
    Program program;
    std::string folder = exe.substr(0, exe.find_last_of("\\/") + 1);
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &program.pi)) {
        Fail(Fmt("start %s: error %lu", exe.c_str(), GetLastError()));
    }
    WaitForInputIdle(program.pi.hProcess, kAppearMs);
    program.main = WaitForDialog(program.pi.dwProcessId, caption);
    Pass(Fmt("program started (pid %lu), window \"%s\" found", program.pi.dwProcessId, caption));
    return program;
}

DWORD WaitForExit(const Program& program, DWORD timeout_ms)
{
    if (WaitForSingleObject(program.pi.hProcess, timeout_ms) != WAIT_OBJECT_0) {
        Fail(Fmt("the program did not end within %lu ms", timeout_ms));
    }
    DWORD code = 0;
    GetExitCodeProcess(program.pi.hProcess, &code);
    return code;
}

namespace {

struct Search {
    DWORD pid;
    HWND except;
    const std::string* caption;  // nullptr: any caption
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || window == search->except || !IsWindowVisible(window))
        return TRUE;
    if (ClassOf(window) != "#32770")
        return TRUE;
    if (search->caption != nullptr) {
        char text[256] = "";
        GetWindowTextA(window, text, sizeof text);
        if (*search->caption != text)
            return TRUE;
    }
    search->found.push_back(window);
    return TRUE;
}

}  // namespace

HWND FindDialog(DWORD pid, const std::string& caption, HWND except)
{
    Search search{pid, except, &caption, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found.empty() ? nullptr : search.found.front();
}

std::vector<HWND> OpenDialogs(DWORD pid, HWND except)
{
    Search search{pid, except, nullptr, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialog(DWORD pid, const std::string& caption, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = FindDialog(pid, caption))
            return found;
        if (GetTickCount() - start > timeout_ms) {
            Fail(Fmt("no window \"%s\" appeared within %lu ms", caption.c_str(), timeout_ms));
        }
        Sleep(50);
    }
}

void WaitGone(HWND window, const std::string& what, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > timeout_ms) {
            Fail(Fmt("%s did not close within %lu ms", what.c_str(), timeout_ms));
        }
        Sleep(20);
    }
}

bool TrySend(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD timeout_ms,
             DWORD_PTR* result, bool wide)
{
    *result = 0;
    // Wine returns the message's result here rather than TRUE, so a zero
    // return is a failure only when an error is set.
    SetLastError(ERROR_SUCCESS);
    LRESULT sent =
        wide
            ? SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, timeout_ms, result)
            : SendMessageTimeoutA(window, message, wparam, lparam, SMTO_NORMAL, timeout_ms, result);
    return sent != 0 || GetLastError() == ERROR_SUCCESS;
}

LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    DWORD_PTR result = 0;
    if (!TrySend(window, message, wparam, lparam, kAnswerMs, &result, false)) {
        Fail(Fmt("message 0x%04X to window %p was not answered (error %lu)", message,
                 static_cast<void*>(window), GetLastError()));
    }
    return static_cast<LRESULT>(result);
}

HWND Item(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    if (item == nullptr)
        Fail(Fmt("control %d not found", id));
    return item;
}

std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> out;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        out.push_back(child);
    }
    return out;
}

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window)
{
    LRESULT length = Send(window, WM_GETTEXTLENGTH);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got));
    return text;
}

void SetText(HWND window, const std::string& text)
{
    if (!Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()))) {
        Fail("WM_SETTEXT was refused");
    }
}

int CheckState(HWND button)
{
    return static_cast<int>(Send(button, BM_GETCHECK));
}

LONG Style(HWND window)
{
    return GetWindowLongA(window, GWL_STYLE);
}
LONG ExStyle(HWND window)
{
    return GetWindowLongA(window, GWL_EXSTYLE);
}
bool Visible(HWND window)
{
    return (Style(window) & WS_VISIBLE) != 0;
}
bool Enabled(HWND window)
{
    return IsWindowEnabled(window) != FALSE;
}
bool ReadOnly(HWND edit)
{
    return (Style(edit) & ES_READONLY) != 0;
}

std::vector<std::string> ListItems(HWND combo)
{
    std::vector<std::string> items;
    LRESULT count = Send(combo, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        if (!TrySend(combo, CB_GETLBTEXTLEN, i, 0, kAnswerMs, &length, true)) {
            Fail("CB_GETLBTEXTLEN was not answered");
        }
        std::wstring wide(length + 1, L'\0');
        DWORD_PTR got = 0;
        if (!TrySend(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&wide[0]), kAnswerMs, &got,
                     true)) {
            Fail("CB_GETLBTEXT was not answered");
        }
        std::string item;
        for (size_t k = 0; k < got && k < wide.size(); ++k) {
            item += wide[k] < 0x80 ? static_cast<char>(wide[k]) : '?';
        }
        items.push_back(item);
    }
    return items;
}

int CurSel(HWND combo)
{
    return static_cast<int>(Send(combo, CB_GETCURSEL));
}

RECT RectInParent(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!GetGUIThreadInfo(thread, &info))
        return nullptr;
    return info.hwndFocus;
}

void Settle(HWND window)
{
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    Send(window, WM_NULL);
    Sleep(400);
    Send(window, WM_NULL);
}

}  // namespace e2e
