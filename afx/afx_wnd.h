// afx_wnd.h - the window wrapper.
//
// Classes in this file:
//   CWnd  a C++ object standing for one window handle
//
// Every operation asserts the object is bound and makes one Win32 call; the
// object keeps no copy of window state, so both backends behave the same as
// far as the program can see. A CWnd never destroys the window it stands for.
#ifndef TARVELLO_AFX_WND_H
#define TARVELLO_AFX_WND_H

#include "afx/afx_msgmap.h"
#include "afx/afx_string.h"

class CDataExchange;
class CMenu;

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd;

    CWnd();
    ~CWnd() override;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to hWnd (a dialog or a control bound by DDX_Control),
    // else a shared temporary object for that handle. NULL for NULL.
    static CWnd* FromHandle(HWND hWnd);
    // The bound object for hWnd, or NULL.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Binds this object to hWnd (which must not be bound to another object).
    BOOL Attach(HWND hWndNew);
    // Unbinds; returns the handle.
    HWND Detach();
    // Binds to the control nID of pParent, then calls PreSubclassWindow.
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    BOOL SubclassWindow(HWND hWnd);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL EnableWindow(BOOL bEnable = TRUE);  // returns TRUE if it was disabled
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    void SetWindowText(LPCTSTR lpszString);
    void GetWindowText(CString& rString) const;  // the whole text, any length
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    int GetWindowTextLength() const;
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    CWnd* SetFocus();
    static CWnd* GetFocus();

    // A modal message box owned by this window; lpszCaption NULL gives the
    // application name.
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = NULL, UINT nType = MB_OK);

    // Runs DoDataExchange: TRUE pulls control texts into members, FALSE pushes
    // members into controls (and binds DDX_Control members the first time).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // The window's system menu (borrowed; never destroyed by the program), or
    // NULL. bRevert TRUE restores the standard menu and returns NULL.
    CMenu* GetSystemMenu(BOOL bRevert) const;
    // WM_SETICON; returns the previous icon of that size.
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    BOOL IsIconic() const;
    void GetClientRect(LPRECT lpRect) const;

protected:
    // Default processing of the message being handled (DefWindowProcA).
    LRESULT Default();

    virtual void DoDataExchange(CDataExchange* pDX);
    // Called once the object is bound by SubclassWindow/SubclassDlgItem.
    virtual void PreSubclassWindow();
    // WM_COMMAND: the map first; an unhandled menu command (code 0) goes on to
    // the application object's map. TRUE when a handler ran.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Any message: WM_COMMAND through OnCommand, others through the map.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

#endif  // TARVELLO_AFX_WND_H
