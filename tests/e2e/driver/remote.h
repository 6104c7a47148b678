// Access to the program under test from another process, as a user's tools
// would have it: find its windows, read and set control state with window
// messages, click, and wait for modal windows.
//
// Every message is sent with a timeout: a program that stops answering fails
// the run instead of hanging it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

constexpr DWORD kAnswerMs = 10000;  // one message handled by the program
constexpr DWORD kAppearMs = 20000;  // a window to appear or go away

struct Program {
    PROCESS_INFORMATION pi{};
    HWND main = nullptr;
};

// Starts `exe` in its own folder and waits for its top-level dialog
// `caption`. Fails the run if either does not happen in time.
Program Launch(const std::string& exe, const char* caption);

// Waits for the process to end; returns its exit code. Fails on timeout.
DWORD WaitForExit(const Program& program, DWORD timeout_ms);

// A visible top-level dialog window (class #32770) of process `pid` with
// exactly this caption, other than `except`; nullptr if there is none.
HWND FindDialog(DWORD pid, const std::string& caption, HWND except = nullptr);

// Visible top-level dialogs of `pid` other than `except` (for diagnostics).
std::vector<HWND> OpenDialogs(DWORD pid, HWND except);

// Polls for FindDialog until it succeeds; fails the run after `timeout_ms`.
HWND WaitForDialog(DWORD pid, const std::string& caption, DWORD timeout_ms = kAppearMs);

// Waits until `window` is destroyed; fails the run after `timeout_ms`.
void WaitGone(HWND window, const std::string& what, DWORD timeout_ms = kAppearMs);

// SendMessageTimeoutA (W if `wide`); false when the program did not answer.
bool TrySend(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD timeout_ms,
             DWORD_PTR* result, bool wide);

// SendMessageTimeoutA; fails the run when the program does not answer.
LRESULT Send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

// Control of a dialog by id; fails the run if there is none.
HWND Item(HWND dialog, int id);

// Child windows of `dialog` in creation (template) order.
std::vector<HWND> Children(HWND dialog);

std::string ClassOf(HWND window);
std::string TextOf(HWND window);                     // WM_GETTEXT
void SetText(HWND window, const std::string& text);  // WM_SETTEXT, as typed or pasted
int CheckState(HWND button);                         // BM_GETCHECK
LONG Style(HWND window);
LONG ExStyle(HWND window);
bool Visible(HWND window);  // own WS_VISIBLE bit
bool Enabled(HWND window);
bool ReadOnly(HWND edit);  // ES_READONLY

// Entries of a combo box (read as UTF-16: the list is read across processes)
// and its current selection.
std::vector<std::string> ListItems(HWND combo);
int CurSel(HWND combo);

// Client-relative rectangle of a control, in pixels.
RECT RectInParent(HWND control);

// Keyboard focus of the thread that owns `window`.
HWND FocusOf(HWND window);

// Lets the program paint what it has pending.
void Settle(HWND window);

}  // namespace e2e
