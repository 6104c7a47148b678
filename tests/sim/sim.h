// sim.h - driving and reading the simulated window system from tests.
//
// Classes in this file (namespace sim):
//   TemplateControl, DialogTemplate  a compiled dialog template
//   MenuItem, ControlState           readers' records
//   MessageBoxCall, FileDialogCall,
//   ShellOpen, DrawnIcon             log records
// Functions: Reset, LoadResources, OnNextModal and the other scripts, the
// user actions (Click, Type, Pick, PressEnter, PressEscape, Close,
// SysCommand), the readers (Text, IsChecked, ..., Controls), the logs and the
// painting helpers (SetIconic, SetClientSize, Paint, QueryDragIcon).
//
// Tests act as a user would: they queue a handler with OnNextModal, call the
// dialog's DoModal(), and the handler clicks, types and reads while the dialog
// runs. User actions return false and do nothing when the control is missing,
// hidden or disabled, or the dialog is disabled (an inner modal is open) or
// has already ended. Readers throw std::out_of_range for an unknown window or
// control id, so a typo in a test fails loudly.
#ifndef TARVELLO_TESTS_SIM_SIM_H
#define TARVELLO_TESTS_SIM_SIM_H

#include "afx_platform.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/dialog_template.h"

namespace sim {

// ---- set-up ------------------------------------------------------------------

// Forgets every window, menu, log and queued script. Loaded resources stay.
void Reset();

// Loads the module's resources from a compiled resource file (windres -O res),
// the same bytes the program's .exe carries. Loading the same file again is a
// no-op. Throws std::runtime_error when the file cannot be read.
void LoadResources(const char* res_path);

// A compiled dialog template and its controls (tests/support/dialog_template.h).
using support::DialogTemplate;
using support::TemplateControl;

// The template, or nullptr when the resources hold none with that id.
const DialogTemplate* Template(int id);
// The string table entry, or nullopt.
std::optional<std::string> String(UINT id);

// ---- scripts -------------------------------------------------------------------

// Queues a handler for the next dialog that DialogBoxParamA runs; nested
// dialogs take the following ones. The handler runs after WM_INITDIALOG and
// usually ends the dialog. If it returns with the dialog still running, the
// dialog is ended with IDCANCEL and "left open <id>" is logged in Calls().
// With no handler queued, a dialog is ended with IDOK at once.
void OnNextModal(std::function<void(HWND dialog)> handler);
// Number of queued handlers not yet used (a test can check all ran).
size_t PendingModals();

// Queues the answer of the next MessageBoxA; unqueued boxes answer IDOK
// (IDYES, IDRETRY or IDABORT for the types without an OK button).
void QueueMessageBoxAnswer(int answer);

// Queues what the user picks in the next file dialog: a full path, or
// nullopt for Cancel. An unscripted file dialog is cancelled.
void QueueOpenFile(std::optional<std::string> path);

// Calls `watch` with the control id and the new text each time a control's
// text is set (WM_SETTEXT), right after it changed; Reset removes it. Lets a
// test look at the program's state at that moment.
void WatchText(std::function<void(int id, const std::string& text)> watch);

// ---- user actions ----------------------------------------------------------------

// A mouse click: the control takes the focus; an automatic check box
// toggles, an automatic radio button checks itself and unchecks the other
// radio buttons of its group, a hyperlink button opens its caption with the
// shell; then WM_COMMAND/BN_CLICKED goes to the dialog procedure (buttons only).
bool Click(HWND dlg, int id);
// Replaces the whole text of an enabled, visible, writable edit (typed or
// pasted), then sends EN_CHANGE. A single-line edit keeps the text up to the
// first line break, as a paste does.
bool Type(HWND dlg, int id, const std::string& text);
// The user selects entry `index` of a drop-down list: the selection changes,
// then CBN_SELCHANGE is sent. False for an index out of range.
bool Pick(HWND dlg, int id, int index);
// Enter with the focus on `focused_id`: a multi-line edit with ES_WANTRETURN
// gets "\r\n" appended (nothing if read-only); a push button under the focus
// is pressed; otherwise the default button (the template's BS_DEFPUSHBUTTON,
// else IDOK) is pressed unless it is disabled.
bool PressEnter(HWND dlg, int focused_id);
// Escape: WM_COMMAND IDCANCEL, unless an IDCANCEL control exists and is disabled.
bool PressEscape(HWND dlg);
// The close box: WM_SYSCOMMAND SC_CLOSE.
bool Close(HWND dlg);
// A system-menu command: WM_SYSCOMMAND with `id`.
bool SysCommand(HWND dlg, UINT id);

// ---- readers ---------------------------------------------------------------------

std::string Text(HWND dlg, int id);  // a drop-down list's text is its selected entry
bool IsChecked(HWND dlg, int id);    // BST_CHECKED
int CheckState(HWND dlg, int id);    // BST_UNCHECKED or BST_CHECKED
bool IsEnabled(HWND dlg, int id);
bool IsVisible(HWND dlg, int id);
bool IsReadOnly(HWND dlg, int id);
std::vector<std::string> ListItems(HWND dlg, int id);
int CurSel(HWND dlg, int id);
int FocusId(HWND dlg);  // 0 when no control has the focus
std::string Caption(HWND dlg);
bool IsDialogEnabled(HWND dlg);  // false while an inner modal runs over it
int TemplateId(HWND dlg);

struct MenuItem {
    UINT flags;
    UINT id;
    std::string text;
    bool operator==(const MenuItem& o) const
    {
        return flags == o.flags && id == o.id && text == o.text;
    }
};
std::vector<MenuItem> SystemMenuItems(HWND dlg);
HICON BigIcon(HWND dlg);  // last WM_SETICON ICON_BIG, or NULL
HICON SmallIcon(HWND dlg);

// Every control of a running dialog, in creation (template) order.
struct ControlState {
    HWND hwnd;
    int id;
    std::string window_class;
    std::string text;
    DWORD style;
    int check;
    HICON icon;  // an SS_ICON static's image
};
std::vector<ControlState> Controls(HWND dlg);

// ---- logs ----------------------------------------------------------------------------

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;  // "Error" when the caller gave none, as the system shows
    UINT style;
    int answer;
};
const std::vector<MessageBoxCall>& MessageBoxes();

struct FileDialogCall {
    HWND owner;
    std::optional<std::string> def_ext;
    std::string filter;  // NUL-separated pairs with the final extra NUL
    std::string initial_file;
    DWORD flags;
    bool accepted;  // the call returned TRUE
};
const std::vector<FileDialogCall>& FileDialogs();

struct ShellOpen {
    HWND owner;
    std::string operation;  // "open"; "" for a NULL verb
    std::string file;
};
const std::vector<ShellOpen>& ShellOpens();

struct DrawnIcon {
    int x, y;
    HICON icon;
};
const std::vector<DrawnIcon>& DrawnIcons();
const std::vector<HMENU>& DestroyedMenus();

// Platform calls and dialog-manager steps in the order they happened:
// "DialogBoxParamA <id>", "no template <id>", "left open <id>",
// "ended <result>", "BeginPaint", "EndPaint", "DrawIcon", "DestroyMenu",
// "BCGCBProCleanUp".
const std::vector<std::string>& Calls();

// Clears every log above.
void ClearLog();

// ---- painting and icons ---------------------------------------------------------------

void SetIconic(HWND dlg, bool iconic);
void SetClientSize(HWND dlg, int width, int height);
// Sends WM_PAINT to the dialog.
void Paint(HWND dlg);
// Sends WM_QUERYDRAGICON and returns the answer.
HCURSOR QueryDragIcon(HWND dlg);

}  // namespace sim

#endif  // TARVELLO_TESTS_SIM_SIM_H
