// System menus: one per dialog, made on first request with the items its
// frame allows.
#include "tests/sim/sim_world.h"

using namespace sim::detail;

namespace {

// The standard items less those the window's frame rules out: Size needs a
// sizing border, Minimize and Maximize their boxes, Restore either box.
std::vector<sim::MenuItem> SystemMenuFor(DWORD style)
{
    bool min_box = (style & WS_MINIMIZEBOX) != 0;
    bool max_box = (style & WS_MAXIMIZEBOX) != 0;
    std::vector<sim::MenuItem> items;
    if (min_box || max_box)
        items.push_back({MF_STRING, SC_RESTORE, "&Restore"});
    items.push_back({MF_STRING, SC_MOVE, "&Move"});
    if (style & WS_THICKFRAME)
        items.push_back({MF_STRING, SC_SIZE, "&Size"});
    if (min_box)
        items.push_back({MF_STRING, SC_MINIMIZE, "Mi&nimize"});
    if (max_box)
        items.push_back({MF_STRING, SC_MAXIMIZE, "Ma&ximize"});
    items.push_back({MF_SEPARATOR, 0, ""});
    items.push_back({MF_STRING, SC_CLOSE, "&Close\tAlt+F4"});
    return items;
}

}  // namespace

HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL revert)
{
    Window* w = WindowOf(hWnd);
    if (w == nullptr || w->kind != Kind::Dialog || !(w->style & WS_SYSMENU))
        return NULL;
    World& world = TheWorld();
    if (revert) {
        if (w->system_menu != NULL)
            world.menus.erase(w->system_menu);
        w->system_menu = NULL;
        return NULL;
    }
    if (w->system_menu == NULL) {
        HMENU h = reinterpret_cast<HMENU>(NewHandleValue());
        world.menus[h] = Menu{hWnd, SystemMenuFor(w->style)};
        w->system_menu = h;
    }
    return w->system_menu;
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT flags, UINT_PTR idNewItem, LPCSTR newItem)
{
    auto it = TheWorld().menus.find(hMenu);
    if (it == TheWorld().menus.end())
        return FALSE;
    bool separator = (flags & MF_SEPARATOR) != 0;
    it->second.items.push_back(
        {flags, static_cast<UINT>(idNewItem), separator || newItem == nullptr ? "" : newItem});
    return TRUE;
}

BOOL WINAPI DestroyMenu(HMENU hMenu)
{
    World& world = TheWorld();
    world.destroyed_menus.push_back(hMenu);
    LogCall("DestroyMenu");
    auto it = world.menus.find(hMenu);
    if (it == world.menus.end())
        return FALSE;
    // Destroying a system menu leaves its window without one.
    if (Window* w = WindowOf(it->second.owner)) {
        if (w->system_menu == hMenu)
            w->system_menu = NULL;
    }
    world.menus.erase(it);
    return TRUE;
}
