// afx_menu.h - menus.
//
// Classes in this file:
//   CMenu  a borrowed menu handle (this program only extends the system menu)
#ifndef TARVELLO_AFX_MENU_H
#define TARVELLO_AFX_MENU_H

#include "afx_platform.h"

// Never destroys its menu: the only menus the program touches belong to the
// system, and destroying one would break the window's system menu.
class CMenu {
public:
    HMENU m_hMenu;

    CMenu();
    // A shared object for hMenu, valid until the process ends; NULL for NULL.
    static CMenu* FromHandle(HMENU hMenu);
    HMENU GetSafeHmenu() const { return m_hMenu; }
    // AppendMenuA.
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = NULL);
};

#endif  // TARVELLO_AFX_MENU_H
