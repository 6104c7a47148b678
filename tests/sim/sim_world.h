// sim_world.h - the state of the simulated window system (internal to tests/sim).
//
// Classes in this file:
//   sim::detail::Window  one window: a dialog or one of its controls
//   sim::detail::Menu    a system menu
//   sim::detail::World   all windows, menus, scripts and logs
#ifndef TARVELLO_TESTS_SIM_WORLD_H
#define TARVELLO_TESTS_SIM_WORLD_H

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/sim/sim.h"

namespace sim {
namespace detail {

enum class Kind { Dialog, Button, Edit, Static, ComboBox, Other };

struct Window {
    HWND hwnd = NULL;
    HWND parent = NULL;  // a control's dialog; a dialog's owner
    Kind kind = Kind::Other;
    std::string window_class;
    int id = 0;
    std::string text;  // a dialog's caption
    DWORD style = 0;
    DWORD ex_style = 0;
    // controls
    int check = BST_UNCHECKED;
    std::vector<std::string> items;  // a drop-down list's entries, in the order added
    int cur_sel = CB_ERR;
    bool link = false;  // a bound hyperlink button
    HICON icon = NULL;  // an SS_ICON static's image
    // dialogs
    int template_id = 0;
    DLGPROC proc = nullptr;
    std::vector<HWND> children;  // creation order
    HWND focus = NULL;
    bool ended = false;
    INT_PTR result = 0;
    bool owner_disabled = false;  // this dialog disabled its owner
    int def_id = IDOK;
    int client_width = 0, client_height = 0;
    HICON big_icon = NULL, small_icon = NULL;
    HMENU system_menu = NULL;
};

struct Menu {
    HWND owner = NULL;
    std::vector<MenuItem> items;
};

struct World {
    std::map<HWND, Window> windows;  // node-based: references stay valid on insert
    std::map<HMENU, Menu> menus;
    std::vector<HWND> modal_stack;  // running dialogs, innermost last
    std::deque<std::function<void(HWND)>> modal_handlers;
    std::deque<int> message_box_answers;
    std::deque<std::optional<std::string>> open_files;
    std::function<void(int, const std::string&)> text_watch;

    std::vector<MessageBoxCall> message_boxes;
    std::vector<FileDialogCall> file_dialogs;
    std::vector<ShellOpen> shell_opens;
    std::vector<DrawnIcon> drawn_icons;
    std::vector<HMENU> destroyed_menus;
    std::vector<std::string> calls;
};

World& TheWorld();
// A fresh handle value; never reused in the process, so stale handles from
// an earlier test never name a new window.
uintptr_t NewHandleValue();

Window* WindowOf(HWND hwnd);
Window* FindControl(HWND dlg, int id);
// The dialog a window belongs to (itself for a dialog).
Window* DialogOf(Window& w);

// Appends to the Calls() log.
void LogCall(const std::string& entry);

// Fake handles for resources: stable for an id across Reset.
HICON IconHandle(int id);

// The dialog manager's handling of a message the dialog procedure left
// (WM_CLOSE -> IDCANCEL; the rest as DefWindowProcA).
LRESULT DialogDefault(Window& dlg, UINT msg, WPARAM wParam, LPARAM lParam);
// A control's own handling of a message.
LRESULT ControlMessage(Window& ctrl, UINT msg, WPARAM wParam, LPARAM lParam);
// The click of a button (BM_CLICK or the user): toggles, opens links, notifies.
void ClickButton(Window& ctrl);
// WM_COMMAND from a control to its dialog.
void Notify(Window& ctrl, UINT code);

}  // namespace detail
}  // namespace sim

#endif  // TARVELLO_TESTS_SIM_WORLD_H
