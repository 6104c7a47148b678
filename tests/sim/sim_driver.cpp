// The test-driving API: user actions, readers and painting helpers.
#include <stdexcept>

#include "tests/sim/sim_world.h"

using namespace sim::detail;

namespace {

Window& MustDialog(HWND dlg)
{
    Window* d = WindowOf(dlg);
    if (d == nullptr || d->kind != Kind::Dialog)
        throw std::out_of_range("sim: no such dialog");
    return *d;
}

Window& MustControl(HWND dlg, int id)
{
    MustDialog(dlg);
    Window* c = FindControl(dlg, id);
    if (c == nullptr)
        throw std::out_of_range("sim: no control " + std::to_string(id) + " in the dialog");
    return *c;
}

// The dialog, if a user can act on it now: running, not under an inner modal.
Window* ActiveDialog(HWND dlg)
{
    Window* d = WindowOf(dlg);
    if (d == nullptr || d->kind != Kind::Dialog || d->ended || (d->style & WS_DISABLED))
        return nullptr;
    return d;
}

// The control, if a user can reach it: dialog active, control shown and enabled.
Window* Reachable(HWND dlg, int id)
{
    if (ActiveDialog(dlg) == nullptr)
        return nullptr;
    Window* c = FindControl(dlg, id);
    if (c == nullptr || !(c->style & WS_VISIBLE) || (c->style & WS_DISABLED))
        return nullptr;
    return c;
}

bool IsPushButton(const Window& c)
{
    DWORD type = c.style & BS_TYPEMASK;
    return c.kind == Kind::Button && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

void Focus(Window& c)
{
    WindowOf(c.parent)->focus = c.hwnd;
}

}  // namespace

namespace sim {

bool Click(HWND dlg, int id)
{
    Window* c = Reachable(dlg, id);
    if (c == nullptr)
        return false;
    if (c->kind == Kind::Button) {
        ClickButton(*c);
    } else if (c->kind == Kind::Edit || c->kind == Kind::ComboBox) {
        Focus(*c);
    }
    return true;
}

bool Type(HWND dlg, int id, const std::string& text)
{
    Window* c = Reachable(dlg, id);
    if (c == nullptr || c->kind != Kind::Edit || (c->style & ES_READONLY))
        return false;
    Focus(*c);
    std::string typed = text;
    if (!(c->style & ES_MULTILINE))
        typed = typed.substr(0, typed.find_first_of("\r\n"));
    c->text = typed;
    Notify(*c, EN_CHANGE);
    return true;
}

bool Pick(HWND dlg, int id, int index)
{
    Window* c = Reachable(dlg, id);
    if (c == nullptr || c->kind != Kind::ComboBox)
        return false;
    if (index < 0 || index >= static_cast<int>(c->items.size()))
        return false;
    Focus(*c);
    c->cur_sel = index;
    Notify(*c, CBN_SELCHANGE);
    return true;
}

bool PressEnter(HWND dlg, int focused_id)
{
    Window* d = ActiveDialog(dlg);
    if (d == nullptr)
        return false;
    Window* c = nullptr;
    if (focused_id != 0) {
        c = Reachable(dlg, focused_id);
        if (c == nullptr)
            return false;
        Focus(*c);
    } else {
        c = WindowOf(d->focus);
    }
    if (c != nullptr && c->kind == Kind::Edit && (c->style & ES_MULTILINE) &&
        (c->style & ES_WANTRETURN)) {
        if (c->style & ES_READONLY)
            return true;  // the key reaches the box, which ignores it
        c->text += "\r\n";
        Notify(*c, EN_CHANGE);
        return true;
    }
    if (c != nullptr && IsPushButton(*c)) {
        ClickButton(*c);
        return true;
    }
    Window* def = FindControl(dlg, d->def_id);
    if (def != nullptr && (def->style & WS_DISABLED))
        return false;
    ::SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(d->def_id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(def != nullptr ? def->hwnd : NULL));
    return true;
}

bool PressEscape(HWND dlg)
{
    if (ActiveDialog(dlg) == nullptr)
        return false;
    Window* cancel = FindControl(dlg, IDCANCEL);
    if (cancel != nullptr && (cancel->style & WS_DISABLED))
        return false;
    ::SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(cancel != nullptr ? cancel->hwnd : NULL));
    return true;
}

bool Close(HWND dlg)
{
    Window* d = ActiveDialog(dlg);
    if (d == nullptr || !(d->style & WS_SYSMENU))
        return false;  // no close box
    return SysCommand(dlg, SC_CLOSE);
}

bool SysCommand(HWND dlg, UINT id)
{
    if (ActiveDialog(dlg) == nullptr)
        return false;
    ::SendMessageA(dlg, WM_SYSCOMMAND, id, 0);
    return true;
}

std::string Text(HWND dlg, int id)
{
    Window& c = MustControl(dlg, id);
    if (c.kind != Kind::ComboBox)
        return c.text;
    bool has = c.cur_sel >= 0 && c.cur_sel < static_cast<int>(c.items.size());
    return has ? c.items[static_cast<size_t>(c.cur_sel)] : std::string();
}

bool IsChecked(HWND dlg, int id)
{
    return MustControl(dlg, id).check == BST_CHECKED;
}
int CheckState(HWND dlg, int id)
{
    return MustControl(dlg, id).check;
}
bool IsEnabled(HWND dlg, int id)
{
    return !(MustControl(dlg, id).style & WS_DISABLED);
}
bool IsVisible(HWND dlg, int id)
{
    return (MustControl(dlg, id).style & WS_VISIBLE) != 0;
}
bool IsReadOnly(HWND dlg, int id)
{
    return (MustControl(dlg, id).style & ES_READONLY) != 0;
}
std::vector<std::string> ListItems(HWND dlg, int id)
{
    return MustControl(dlg, id).items;
}
int CurSel(HWND dlg, int id)
{
    return MustControl(dlg, id).cur_sel;
}

int FocusId(HWND dlg)
{
    Window* c = WindowOf(MustDialog(dlg).focus);
    return c != nullptr ? c->id : 0;
}

std::string Caption(HWND dlg)
{
    return MustDialog(dlg).text;
}
bool IsDialogEnabled(HWND dlg)
{
    return !(MustDialog(dlg).style & WS_DISABLED);
}
int TemplateId(HWND dlg)
{
    return MustDialog(dlg).template_id;
}

std::vector<MenuItem> SystemMenuItems(HWND dlg)
{
    MustDialog(dlg);
    HMENU h = ::GetSystemMenu(dlg, FALSE);
    if (h == NULL)
        return {};
    return TheWorld().menus.at(h).items;
}

HICON BigIcon(HWND dlg)
{
    return MustDialog(dlg).big_icon;
}
HICON SmallIcon(HWND dlg)
{
    return MustDialog(dlg).small_icon;
}

std::vector<ControlState> Controls(HWND dlg)
{
    std::vector<ControlState> out;
    for (HWND h : MustDialog(dlg).children) {
        const Window& c = *WindowOf(h);
        out.push_back({h, c.id, c.window_class, c.text, c.style, c.check, c.icon});
    }
    return out;
}

void SetIconic(HWND dlg, bool iconic)
{
    Window& d = MustDialog(dlg);
    d.style = iconic ? (d.style | WS_MINIMIZE) : (d.style & ~static_cast<DWORD>(WS_MINIMIZE));
}

void SetClientSize(HWND dlg, int width, int height)
{
    Window& d = MustDialog(dlg);
    d.client_width = width;
    d.client_height = height;
}

void Paint(HWND dlg)
{
    MustDialog(dlg);
    ::SendMessageA(dlg, WM_PAINT, 0, 0);
}

HCURSOR QueryDragIcon(HWND dlg)
{
    MustDialog(dlg);
    return reinterpret_cast<HCURSOR>(::SendMessageA(dlg, WM_QUERYDRAGICON, 0, 0));
}

}  // namespace sim
