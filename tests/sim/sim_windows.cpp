// USER32 windows and messages: SendMessageA, texts, enabling, focus,
// control behaviour and the default window procedure.
#include <algorithm>
#include <cstring>

#include "tests/sim/sim_world.h"

using namespace sim::detail;

namespace {

std::string TextOf(const Window& w)
{
    if (w.kind == Kind::ComboBox) {
        bool has = w.cur_sel >= 0 && w.cur_sel < static_cast<int>(w.items.size());
        return has ? w.items[static_cast<size_t>(w.cur_sel)] : std::string();
    }
    return w.text;
}

// WM_GETTEXT semantics: at most size-1 chars and a NUL; returns chars copied.
LRESULT CopyText(const std::string& text, LPSTR buf, WPARAM size)
{
    if (buf == nullptr || size == 0)
        return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return static_cast<LRESULT>(n);
}

std::string StringArg(LPARAM l)
{
    LPCSTR s = reinterpret_cast<LPCSTR>(l);
    return s != nullptr ? std::string(s) : std::string();
}

// A dialog procedure returns these results itself; for other messages its
// TRUE only means "handled" (the real result would be in DWLP_MSGRESULT).
bool DirectResult(UINT msg)
{
    return msg == WM_INITDIALOG || msg == WM_QUERYDRAGICON || (msg >= 0x0132 && msg <= 0x0138);
}

bool IsRadio(const Window& w)
{
    DWORD type = w.style & BS_TYPEMASK;
    return w.kind == Kind::Button && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

// Unchecks the other radio buttons of ctrl's group: the run of controls from
// the last WS_GROUP at or before ctrl up to the next WS_GROUP.
void UncheckGroupMates(Window& dlg, const Window& ctrl)
{
    auto& kids = dlg.children;
    auto at = std::find(kids.begin(), kids.end(), ctrl.hwnd);
    if (at == kids.end())
        return;
    auto first = at;
    while (first != kids.begin() && !(WindowOf(*first)->style & WS_GROUP))
        --first;
    auto last = at + 1;
    while (last != kids.end() && !(WindowOf(*last)->style & WS_GROUP))
        ++last;
    for (auto it = first; it != last; ++it) {
        Window* w = WindowOf(*it);
        if (w != &ctrl && IsRadio(*w))
            w->check = BST_UNCHECKED;
    }
}

LRESULT ComboMessage(Window& c, UINT msg, WPARAM wParam, LPARAM lParam)
{
    int count = static_cast<int>(c.items.size());
    int index = static_cast<int>(wParam);
    bool in_range = index >= 0 && index < count;
    switch (msg) {
        case CB_RESETCONTENT:
            c.items.clear();
            c.cur_sel = CB_ERR;
            return CB_OKAY;
        case CB_ADDSTRING:
            // Drop-down lists here are unsorted: the entry goes at the end.
            c.items.push_back(StringArg(lParam));
            return count;
        case CB_GETCOUNT:
            return count;
        case CB_GETCURSEL:
            return c.cur_sel;
        case CB_SETCURSEL:
            // No CBN_SELCHANGE: only the user's selection notifies.
            c.cur_sel = in_range ? index : CB_ERR;
            return c.cur_sel;
        case CB_GETLBTEXT:
            if (!in_range)
                return CB_ERR;
            return CopyText(c.items[static_cast<size_t>(index)], reinterpret_cast<LPSTR>(lParam),
                            c.items[static_cast<size_t>(index)].size() + 1);
        case CB_GETLBTEXTLEN:
            return in_range ? static_cast<LRESULT>(c.items[static_cast<size_t>(index)].size())
                            : CB_ERR;
        default:
            return 0;
    }
}

LRESULT SendToDialog(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DLGPROC proc = WindowOf(hwnd)->proc;
    INT_PTR handled = proc != nullptr ? proc(hwnd, msg, wParam, lParam) : 0;
    Window* dlg = WindowOf(hwnd);  // the procedure may have run nested dialogs
    if (dlg == nullptr)
        return 0;
    if (handled != 0)
        return DirectResult(msg) ? handled : 0;
    return DialogDefault(*dlg, msg, wParam, lParam);
}

}  // namespace

namespace sim {
namespace detail {

void Notify(Window& ctrl, UINT code)
{
    ::SendMessageA(ctrl.parent, WM_COMMAND, MAKEWPARAM(ctrl.id, code),
                   reinterpret_cast<LPARAM>(ctrl.hwnd));
}

void ClickButton(Window& ctrl)
{
    Window* dlg = DialogOf(ctrl);
    DWORD type = ctrl.style & BS_TYPEMASK;
    if (type == BS_GROUPBOX)
        return;
    if (dlg != nullptr)
        dlg->focus = ctrl.hwnd;
    // The state changes before the dialog hears of the click.
    if (type == BS_AUTOCHECKBOX)
        ctrl.check = ctrl.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    if (type == BS_AUTORADIOBUTTON) {
        ctrl.check = BST_CHECKED;
        if (dlg != nullptr)
            UncheckGroupMates(*dlg, ctrl);
    }
    if (ctrl.link)
        ::ShellExecuteA(NULL, "open", ctrl.text.c_str(), NULL, NULL, SW_SHOWNORMAL);
    Notify(ctrl, BN_CLICKED);
}

LRESULT ControlMessage(Window& c, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
        case WM_SETTEXT:
            if (c.kind == Kind::ComboBox)
                return CB_ERR;  // a drop-down list shows its selection
            c.text = StringArg(lParam);
            if (TheWorld().text_watch)
                TheWorld().text_watch(c.id, c.text);
            return TRUE;
        case WM_GETTEXT:
            return CopyText(TextOf(c), reinterpret_cast<LPSTR>(lParam), wParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(TextOf(c).size());
        case BM_GETCHECK:
            return c.kind == Kind::Button ? c.check : 0;
        case BM_SETCHECK: {
            DWORD type = c.style & BS_TYPEMASK;
            bool checkable = IsRadio(c) || type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
            // Two-state buttons show an indeterminate request as checked.
            if (c.kind == Kind::Button && checkable)
                c.check = wParam != BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED;
            return 0;  // no notification
        }
        case BM_GETSTATE: {
            Window* dlg = DialogOf(c);
            bool focused = dlg != nullptr && dlg->focus == c.hwnd;
            return c.check | (focused ? BST_FOCUS : 0);
        }
        case BM_CLICK:
            if (c.kind == Kind::Button && (c.style & WS_VISIBLE) && !(c.style & WS_DISABLED))
                ClickButton(c);
            return 0;
        case EM_SETREADONLY:
            if (c.kind != Kind::Edit)
                return FALSE;
            c.style =
                wParam ? (c.style | ES_READONLY) : (c.style & ~static_cast<DWORD>(ES_READONLY));
            return TRUE;
        default:
            return c.kind == Kind::ComboBox ? ComboMessage(c, msg, wParam, lParam) : 0;
    }
}

LRESULT DialogDefault(Window& dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE) {
        // The close command is the cancel button's, unless that is disabled.
        // (Windows posts this WM_COMMAND; the sim sends it at once.)
        Window* cancel = FindControl(dlg.hwnd, IDCANCEL);
        if (cancel != nullptr && (cancel->style & WS_DISABLED))
            return 0;
        ::SendMessageA(dlg.hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(cancel != nullptr ? cancel->hwnd : NULL));
        return 0;
    }
    return ::DefWindowProcA(dlg.hwnd, msg, wParam, lParam);
}

}  // namespace detail
}  // namespace sim

LRESULT WINAPI SendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = WindowOf(hWnd);
    if (w == nullptr)
        return 0;
    if (w->kind == Kind::Dialog)
        return SendToDialog(hWnd, msg, wParam, lParam);
    return ControlMessage(*w, msg, wParam, lParam);
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = WindowOf(hWnd);
    if (w == nullptr)
        return 0;
    switch (msg) {
        case WM_SETTEXT:
            w->text = StringArg(lParam);
            return TRUE;
        case WM_GETTEXT:
            return CopyText(w->text, reinterpret_cast<LPSTR>(lParam), wParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_SETICON: {
            HICON& slot = wParam == ICON_BIG ? w->big_icon : w->small_icon;
            HICON previous = slot;
            slot = reinterpret_cast<HICON>(lParam);
            return reinterpret_cast<LRESULT>(previous);
        }
        case WM_GETICON:
            return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->big_icon : w->small_icon);
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    return ::SendMessageA(hWnd, WM_CLOSE, 0, 0);
                case SC_MINIMIZE:
                    w->style |= WS_MINIMIZE;
                    return 0;
                case SC_RESTORE:
                    w->style &= ~static_cast<DWORD>(WS_MINIMIZE);
                    return 0;
                default:
                    return 0;  // move, size, keyboard menu: nothing to simulate
            }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            ::BeginPaint(hWnd, &ps);
            ::EndPaint(hWnd, &ps);
            return 0;
        }
        case WM_ICONERASEBKGND:
            return TRUE;
        default:
            return 0;
    }
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR text)
{
    if (WindowOf(hWnd) == nullptr)
        return FALSE;
    return ::SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR buffer, int maxCount)
{
    if (buffer != nullptr && maxCount > 0)
        buffer[0] = '\0';
    if (maxCount <= 0)
        return 0;
    return static_cast<int>(::SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                           reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd)
{
    return static_cast<int>(::SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL enable)
{
    Window* w = WindowOf(hWnd);
    if (w == nullptr)
        return FALSE;
    BOOL was_disabled = (w->style & WS_DISABLED) != 0;
    w->style = enable ? (w->style & ~static_cast<DWORD>(WS_DISABLED)) : (w->style | WS_DISABLED);
    return was_disabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd)
{
    Window* w = WindowOf(hWnd);
    return w != nullptr && !(w->style & WS_DISABLED);
}

BOOL WINAPI IsWindowVisible(HWND hWnd)
{
    Window* w = WindowOf(hWnd);
    if (w == nullptr || !(w->style & WS_VISIBLE))
        return FALSE;
    Window* dlg = DialogOf(*w);
    return dlg == w || (dlg != nullptr && (dlg->style & WS_VISIBLE));
}

BOOL WINAPI IsWindow(HWND hWnd)
{
    return WindowOf(hWnd) != nullptr;
}

HWND WINAPI GetDlgItem(HWND hDlg, int id)
{
    Window* c = FindControl(hDlg, id);
    return c != nullptr ? c->hwnd : NULL;
}

int WINAPI GetDlgCtrlID(HWND hWnd)
{
    Window* w = WindowOf(hWnd);
    return w != nullptr && w->kind != Kind::Dialog ? w->id : 0;
}

HWND WINAPI GetParent(HWND hWnd)
{
    Window* w = WindowOf(hWnd);
    return w != nullptr ? w->parent : NULL;
}

HWND WINAPI SetFocus(HWND hWnd)
{
    Window* w = WindowOf(hWnd);
    if (w == nullptr)
        return NULL;
    Window* dlg = DialogOf(*w);
    if (dlg == nullptr)
        return NULL;
    HWND previous = dlg->focus;
    dlg->focus = w == dlg ? NULL : hWnd;
    return previous;
}

HWND WINAPI GetFocus(void)
{
    const auto& stack = TheWorld().modal_stack;
    if (stack.empty())
        return NULL;
    Window* dlg = WindowOf(stack.back());
    return dlg != nullptr ? dlg->focus : NULL;
}
