// System menus: one per dialog, made on first request with the standard items.
#include "afx/sim/sim_world.h"

using namespace sim::detail;

namespace {

std::vector<sim::MenuItem> StandardSystemMenu() {
  return {{MF_STRING, SC_RESTORE, "&Restore"},   {MF_STRING, SC_MOVE, "&Move"},
          {MF_STRING, SC_SIZE, "&Size"},         {MF_STRING, SC_MINIMIZE, "Mi&nimize"},
          {MF_STRING, SC_MAXIMIZE, "Ma&ximize"}, {MF_SEPARATOR, 0, ""},
          {MF_STRING, SC_CLOSE, "&Close\tAlt+F4"}};
}

}  // namespace

HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL revert) {
  Window* w = WindowOf(hWnd);
  if (w == nullptr || w->kind != Kind::Dialog || !(w->style & WS_SYSMENU)) return NULL;
  World& world = TheWorld();
  if (revert) {
    if (w->system_menu != NULL) world.menus.erase(w->system_menu);
    w->system_menu = NULL;
    return NULL;
  }
  if (w->system_menu == NULL) {
    HMENU h = reinterpret_cast<HMENU>(NewHandleValue());
    world.menus[h] = Menu{hWnd, StandardSystemMenu()};
    w->system_menu = h;
  }
  return w->system_menu;
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT flags, UINT_PTR idNewItem, LPCSTR newItem) {
  auto it = TheWorld().menus.find(hMenu);
  if (it == TheWorld().menus.end()) return FALSE;
  bool separator = (flags & MF_SEPARATOR) != 0;
  it->second.items.push_back(
      {flags, static_cast<UINT>(idNewItem), separator || newItem == nullptr ? "" : newItem});
  return TRUE;
}

BOOL WINAPI DestroyMenu(HMENU hMenu) {
  World& world = TheWorld();
  world.destroyed_menus.push_back(hMenu);
  LogCall("DestroyMenu", 0);
  auto it = world.menus.find(hMenu);
  if (it == world.menus.end()) return FALSE;
  // Destroying a system menu leaves its window without one.
  if (Window* w = WindowOf(it->second.owner)) {
    if (w->system_menu == hMenu) w->system_menu = NULL;
  }
  world.menus.erase(it);
  return TRUE;
}
