// afx_internal.h - state shared by the common afx sources (not for ui/).
//
// Classes in this file:
//   AfxMessageRecord  the message a handler is processing (for CWnd::Default)
#ifndef TARVELLO_AFX_INTERNAL_H
#define TARVELLO_AFX_INTERNAL_H

#include "afx_platform.h"

class CWnd;

struct AfxMessageRecord {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The message being dispatched right now; the dialog procedure saves and
// restores it around each dispatch, so nested modal loops keep theirs.
AfxMessageRecord& AfxCurrentMessage();

// Permanent handle map: which C++ object stands for a window. `hOwnerDlg` is
// the dialog a control was bound in (NULL for dialogs themselves), so that
// all its controls can be unbound when the dialog is destroyed.
void AfxMapAdd(HWND hWnd, CWnd* pWnd, HWND hOwnerDlg);
void AfxMapRemove(HWND hWnd);
CWnd* AfxMapFind(HWND hWnd);
// Unbinds (m_hWnd = NULL) every object bound to a control of hDlg.
void AfxMapUnbindControlsOf(HWND hDlg);
// A shared temporary object for a handle nobody bound.
CWnd* AfxMapTemporary(HWND hWnd);

// The window that owns a dialog or message box given no parent: the
// application's main window while it runs, unless that is `pExclude`.
HWND AfxDefaultOwner(const CWnd* pExclude);

#endif  // TARVELLO_AFX_INTERNAL_H
