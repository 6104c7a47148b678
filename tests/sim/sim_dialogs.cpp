// The dialog manager: DialogBoxParamA builds the dialog from its template,
// runs the queued test handler as the modal loop, and EndDialog ends it.
#include <cstdlib>

#include "tests/sim/sim_resources.h"
#include "tests/sim/sim_world.h"

using namespace sim::detail;

namespace {

Kind KindOf(const std::string& window_class)
{
    if (window_class == "Button")
        return Kind::Button;
    if (window_class == "Edit")
        return Kind::Edit;
    if (window_class == "Static")
        return Kind::Static;
    if (window_class == "ComboBox")
        return Kind::ComboBox;
    return Kind::Other;
}

int TemplateIdOf(LPCSTR name)
{
    if (IS_INTRESOURCE(name))
        return static_cast<int>(reinterpret_cast<uintptr_t>(name));
    return name[0] == '#' ? std::atoi(name + 1) : -1;  // the program names templates by id
}

HWND CreateControl(const sim::TemplateControl& t, HWND dlg)
{
    Window c;
    c.hwnd = reinterpret_cast<HWND>(NewHandleValue());
    c.parent = dlg;
    c.kind = KindOf(t.window_class);
    c.window_class = t.window_class;
    c.id = t.id;
    c.style = t.style;
    c.ex_style = t.ex_style;
    if (c.kind == Kind::Static && (t.style & SS_TYPEMASK) == SS_ICON) {
        // The title names the icon resource; the control shows its image.
        c.icon = ::LoadIconA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(t.resource_id));
    } else if (c.kind != Kind::ComboBox) {
        c.text = t.text;
    }
    HWND h = c.hwnd;
    TheWorld().windows[h] = c;
    return h;
}

HWND CreateDialogWindow(const sim::DialogTemplate& t, HWND owner, DLGPROC proc)
{
    Window d;
    d.hwnd = reinterpret_cast<HWND>(NewHandleValue());
    d.parent = owner;
    d.kind = Kind::Dialog;
    d.window_class = "#32770";
    d.id = 0;
    d.text = t.caption;
    d.style = t.style;
    d.ex_style = t.ex_style;
    d.template_id = t.id;
    d.proc = proc;
    // Dialog units to pixels at a typical 6 x 12 base unit.
    d.client_width = t.cx * 3 / 2;
    d.client_height = t.cy * 3 / 2;
    HWND h = d.hwnd;
    TheWorld().windows[h] = d;
    for (const sim::TemplateControl& ct : t.controls) {
        HWND c = CreateControl(ct, h);
        Window* dlg = WindowOf(h);
        dlg->children.push_back(c);
        bool def_button =
            KindOf(ct.window_class) == Kind::Button && (ct.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        if (def_button && dlg->def_id == IDOK)
            dlg->def_id = ct.id;
    }
    return h;
}

HWND FirstTabStop(const Window& dlg)
{
    for (HWND h : dlg.children) {
        const Window* c = WindowOf(h);
        if ((c->style & WS_TABSTOP) && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED))
            return h;
    }
    return NULL;
}

void RestoreOwner(Window& dlg)
{
    if (dlg.owner_disabled) {
        ::EnableWindow(dlg.parent, TRUE);
        dlg.owner_disabled = false;
    }
}

// Destroys the dialog and its controls however the modal run ends (also
// when a test handler throws).
class DialogLifetime {
public:
    explicit DialogLifetime(HWND h) : h_(h) { TheWorld().modal_stack.push_back(h); }
    ~DialogLifetime()
    {
        World& w = TheWorld();
        Window* dlg = WindowOf(h_);
        if (dlg != nullptr) {
            RestoreOwner(*dlg);
            std::string ended = "ended " + std::to_string(dlg->result);
            for (HWND c : dlg->children)
                w.windows.erase(c);
            if (dlg->system_menu != NULL)
                w.menus.erase(dlg->system_menu);
            w.windows.erase(h_);
            LogCall(ended);
        }
        for (auto it = w.modal_stack.begin(); it != w.modal_stack.end(); ++it) {
            if (*it == h_) {
                w.modal_stack.erase(it);
                break;
            }
        }
    }

private:
    HWND h_;
};

void RunModalScript(HWND h)
{
    World& w = TheWorld();
    if (w.modal_handlers.empty()) {
        ::EndDialog(h, IDOK);  // nobody scripted this dialog: accept it at once
        return;
    }
    std::function<void(HWND)> handler = std::move(w.modal_handlers.front());
    w.modal_handlers.pop_front();
    handler(h);
    Window* dlg = WindowOf(h);
    if (dlg != nullptr && !dlg->ended) {
        LogCall("left open " + std::to_string(dlg->template_id));
        ::EndDialog(h, IDCANCEL);
    }
}

}  // namespace

INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND hWndParent, DLGPROC dialogProc,
                               LPARAM initParam)
{
    int id = TemplateIdOf(templateName);
    const sim::DialogTemplate* t = sim::Template(id);
    if (t == nullptr) {
        LogCall("no template " + std::to_string(id));
        return -1;
    }
    HWND h = CreateDialogWindow(*t, hWndParent, dialogProc);
    DialogLifetime lifetime(h);
    LogCall("DialogBoxParamA " + std::to_string(id));
    // A modal dialog disables its owner until it ends.
    if (hWndParent != NULL && ::IsWindowEnabled(hWndParent)) {
        ::EnableWindow(hWndParent, FALSE);
        WindowOf(h)->owner_disabled = true;
    }
    HWND first = FirstTabStop(*WindowOf(h));
    LRESULT focus_default =
        ::SendMessageA(h, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam);
    Window* dlg = WindowOf(h);
    // TRUE asks for the default focus: the first tab stop as it is now, since
    // WM_INITDIALOG may have hidden or disabled controls.
    if (focus_default != 0) {
        first = FirstTabStop(*dlg);
        if (first != NULL)
            dlg->focus = first;
    }
    if (!dlg->ended) {
        dlg->style |= WS_VISIBLE;  // the modal loop shows the dialog
        RunModalScript(h);
    }
    return WindowOf(h)->result;
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR result)
{
    Window* dlg = WindowOf(hDlg);
    if (dlg == nullptr || dlg->kind != Kind::Dialog)
        return FALSE;
    dlg->ended = true;
    dlg->result = result;
    dlg->style &= ~static_cast<DWORD>(WS_VISIBLE);  // hidden at once, destroyed when the loop ends
    RestoreOwner(*dlg);
    return TRUE;
}
