// CMenu: borrowed menu handles.
#include "afx/afx_menu.h"

#include <cassert>
#include <map>
#include <memory>

CMenu::CMenu() : m_hMenu(NULL)
{
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    if (hMenu == NULL)
        return nullptr;
    // One shared wrapper per handle, kept for the process's life (never destroyed,
    // so it may be used from static destructors too).
    static auto* wrappers = new std::map<HMENU, std::unique_ptr<CMenu>>;
    std::unique_ptr<CMenu>& slot = (*wrappers)[hMenu];
    if (!slot) {
        slot.reset(new CMenu);
        slot->m_hMenu = hMenu;
    }
    return slot.get();
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    assert(m_hMenu != NULL);
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}
