// sim.h - driving and reading the simulated window system from tests.
//
// Classes in this file (namespace sim):
//   TemplateControl, DialogTemplate  a parsed dialog template
//   MenuItem, ControlState           readers' records
//   MessageBoxCall, FileDialogCall,
//   ShellOpen, DrawnIcon             log records
//   EventKind, Event                 the event log (with MatchSequence)
// Functions: Reset, LoadResources, OnNextModal and the other scripts, the
// user actions (Click, Type, Pick, PressEnter, PressEscape, Close,
// SysCommand), the readers (Text, IsChecked, ..., Controls) and the
// painting helpers (SetIconic, SetClientSize, Paint, QueryDragIcon).
//
// Tests act as a user would: they queue a handler with OnNextModal, call the
// dialog's DoModal(), and the handler clicks, types and reads while the dialog
// runs. User actions return false and do nothing when the control is missing,
// hidden or disabled, or the dialog is disabled (an inner modal is open) or
// has already ended. Readers throw std::out_of_range for an unknown window or
// control id, so a typo in a test fails loudly.
#ifndef TARVELLO_AFX_SIM_SIM_H
#define TARVELLO_AFX_SIM_SIM_H

#include "afx_platform.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// ---- set-up ------------------------------------------------------------------

// Forgets every window, menu, log and queued script. Parsed resources stay.
void Reset();

// Parses the resource script and the header of #defines it uses. Parsing the
// same pair again is a no-op; a different pair replaces the resources.
// Throws std::runtime_error with file:line on a statement it cannot read.
void LoadResources(const char* rc_path, const char* resource_h_path);

// One control of a parsed dialog template, in template order.
struct TemplateControl {
  std::string statement;  // "DEFPUSHBUTTON", "EDITTEXT", "CONTROL", ...
  std::string window_class;  // "Button", "Edit", "Static", "ComboBox" or CONTROL's class
  std::string text;       // caption; an ICON control's resource as "#128" or its name
  int id = 0;             // IDC_STATIC is -1
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  DWORD style = 0;        // statement defaults combined with the written style
  DWORD ex_style = 0;
};

struct DialogTemplate {
  int id = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  DWORD style = 0;
  DWORD ex_style = 0;
  std::string caption;
  std::string font_face;
  int font_points = 0;
  std::vector<TemplateControl> controls;
};

// The parsed template, or nullptr when the resources hold none with that id.
const DialogTemplate* Template(int id);
// The string table entry, or nullopt.
std::optional<std::string> String(UINT id);
// The value of a #define of the resource header, or nullopt.
std::optional<long> Symbol(const std::string& name);

// ---- scripts -------------------------------------------------------------------

// Queues a handler for the next dialog that DialogBoxParamA runs; nested
// dialogs take the following ones. The handler runs after WM_INITDIALOG and
// usually ends the dialog. If it returns with the dialog still running, the
// dialog is ended with IDCANCEL and an Event of kind HandlerLeftOpen is logged.
// With no handler queued, a dialog is logged and ended with IDOK at once.
void OnNextModal(std::function<void(HWND dialog)> handler);
// Number of queued handlers not yet used (a test can check all ran).
size_t PendingModals();

// Queues the answer of the next MessageBoxA; unqueued boxes answer IDOK
// (IDYES, IDRETRY or IDABORT for the types without an OK button).
void QueueMessageBoxAnswer(int answer);

// Queues what the user picks in the next file dialog: a full path, or
// nullopt for Cancel. An unscripted file dialog is cancelled.
void QueueOpenFile(std::optional<std::string> path);

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
// is pressed; otherwise the default button (the template's DEFPUSHBUTTON,
// else IDOK) is pressed unless it is disabled.
bool PressEnter(HWND dlg, int focused_id);
// Escape: WM_COMMAND IDCANCEL, unless an IDCANCEL control exists and is disabled.
bool PressEscape(HWND dlg);
// The close box: WM_SYSCOMMAND SC_CLOSE.
bool Close(HWND dlg);
// A system-menu command: WM_SYSCOMMAND with `id`.
bool SysCommand(HWND dlg, UINT id);

// ---- readers ---------------------------------------------------------------------

std::string Text(HWND dlg, int id);   // a drop-down list's text is its selected entry
bool IsChecked(HWND dlg, int id);     // BST_CHECKED
int CheckState(HWND dlg, int id);     // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE
bool IsEnabled(HWND dlg, int id);
bool IsVisible(HWND dlg, int id);
bool IsReadOnly(HWND dlg, int id);
DWORD Style(HWND dlg, int id);
std::vector<std::string> ListItems(HWND dlg, int id);
int CurSel(HWND dlg, int id);
int FocusId(HWND dlg);                // 0 when no control has the focus
std::string Caption(HWND dlg);
bool IsDialogEnabled(HWND dlg);       // false while an inner modal runs over it
int TemplateId(HWND dlg);

struct MenuItem {
  UINT flags;
  UINT id;
  std::string text;
  bool operator==(const MenuItem& o) const { return flags == o.flags && id == o.id && text == o.text; }
};
std::vector<MenuItem> SystemMenuItems(HWND dlg);
HICON BigIcon(HWND dlg);              // last WM_SETICON ICON_BIG, or NULL
HICON SmallIcon(HWND dlg);

// Every control of a running dialog, in creation (template) order.
struct ControlState {
  HWND hwnd;
  int id;
  std::string window_class;
  std::string text;
  DWORD style;
  DWORD ex_style;
  int check;
  HICON icon;                         // an ICON control's image
};
std::vector<ControlState> Controls(HWND dlg);

// ---- logs ----------------------------------------------------------------------------

struct MessageBoxCall {
  HWND owner;
  std::string text;
  std::string caption;                // "Error" when the caller gave none
  UINT style;
  int answer;
};
const std::vector<MessageBoxCall>& MessageBoxes();

struct FileDialogCall {
  bool open;                          // GetOpenFileNameA (else the save dialog)
  HWND owner;
  std::optional<std::string> def_ext;
  std::string filter;                 // NUL-separated pairs with the final extra NUL
  std::string initial_file;
  DWORD flags;
  bool accepted;                      // the call returned TRUE
};
const std::vector<FileDialogCall>& FileDialogs();

struct ShellOpen {
  HWND owner;
  std::string operation;              // "open"; "" for a NULL verb
  std::string file;
};
const std::vector<ShellOpen>& ShellOpens();

struct DrawnIcon {
  int x, y;
  HICON icon;
};
const std::vector<DrawnIcon>& DrawnIcons();
const std::vector<HMENU>& DestroyedMenus();

// Clears the message-box, file-dialog, shell, drawn-icon and menu logs (not Events).
void ClearLog();

// ---- event log (sequence checks) -----------------------------------------------------

enum class EventKind {
  Message,          // a message delivered to a dialog procedure
  ModalBegin,       // DialogBoxParamA created a dialog: id = template id
  ModalEnd,         // ... and destroyed it: id = the result
  HandlerLeftOpen,  // the modal handler returned without ending the dialog
  MessageBox,       // text, caption = detail, id = style
  FileDialog,       // text = default extension, id = flags
  ShellOpen,        // text = file, detail = operation
  Call,             // a recorded platform call: text names it, id its argument
};

// Message events: message, id = LOWORD(wParam), code = HIWORD(wParam) for
// WM_COMMAND; id = wParam for other messages. `optional` marks an expected
// entry that may be missing (ignored in logged events and in ==).
struct Event {
  EventKind kind = EventKind::Message;
  UINT message = 0;
  UINT id = 0;
  UINT code = 0;
  std::string text;
  std::string detail;
  bool optional = false;
  bool operator==(const Event& o) const;
};
const std::vector<Event>& Events();
void ClearEvents();

// Compares logged events with an expected sequence (entries flagged optional
// may be skipped). Returns "" on a match, otherwise both sequences dumped.
std::string MatchSequence(const std::vector<Event>& actual, const std::vector<Event>& expected);
std::string Describe(const Event& e);

// ---- painting and icons ---------------------------------------------------------------

void SetIconic(HWND dlg, bool iconic);
void SetClientSize(HWND dlg, int width, int height);
// Sends WM_PAINT to the dialog.
void Paint(HWND dlg);
// Sends WM_QUERYDRAGICON and returns the answer.
HCURSOR QueryDragIcon(HWND dlg);

}  // namespace sim

#endif  // TARVELLO_AFX_SIM_SIM_H
