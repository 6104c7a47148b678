// User actions whose handlers may open modal windows: the message goes to the
// program from a worker thread (a cross-process send returns only when the
// handler returns, which is after its message boxes are closed) while this
// thread answers the expected modal windows, in order.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// One modal window the action must open: found by caption, then handled
// (checked and closed) by `answer`.
struct Modal {
    std::string caption;
    std::function<void(HWND)> answer;
};

// A message box with exactly this caption and text, answered with OK.
Modal MessageBoxOf(const std::string& caption, const std::string& text);

// Sends `message` to `target` (a window of process `pid`), answers `modals`
// in order, then requires the handler to return with no other modal window
// open. `what` names the action in the check lines.
void Act(DWORD pid, HWND target, UINT message, WPARAM wparam, LPARAM lparam,
         const std::vector<Modal>& modals, const std::string& what);

// BM_CLICK on control `id` of `dialog`, as a mouse click.
void Click(DWORD pid, HWND dialog, int id, const std::vector<Modal>& modals = {});

// A user's pick in a drop-down list: the selection changes, then the dialog
// gets CBN_SELCHANGE.
void Pick(DWORD pid, HWND dialog, int id, int index, const std::vector<Modal>& modals = {});

}  // namespace e2e
