// afx_controls.h - thin wrappers of the standard controls.
//
// Classes in this file:
//   CButton    push button, check box, radio button (BM_ messages)
//   CEdit      edit control (EM_ messages)
//   CComboBox  drop-down list (CB_ messages)
//
// Each method is one SendMessageA to the bound control.
#ifndef TARVELLO_AFX_CONTROLS_H
#define TARVELLO_AFX_CONTROLS_H

#include "afx/afx_wnd.h"

class CButton : public CWnd {
public:
    CButton() = default;
    int GetCheck() const;       // BM_GETCHECK
    void SetCheck(int nCheck);  // BM_SETCHECK; no notification
    UINT GetState() const;      // BM_GETSTATE
};

class CEdit : public CWnd {
public:
    CEdit() = default;
    BOOL SetReadOnly(BOOL bReadOnly = TRUE);    // EM_SETREADONLY
    void SetSel(int nStartChar, int nEndChar);  // EM_SETSEL
};

class CComboBox : public CWnd {
public:
    CComboBox() = default;
    void ResetContent();                // CB_RESETCONTENT
    int AddString(LPCTSTR lpszString);  // CB_ADDSTRING: index, CB_ERR or CB_ERRSPACE
    int SetCurSel(int nSelect);         // CB_SETCURSEL; no CBN_SELCHANGE
    int GetCurSel() const;              // CB_GETCURSEL; CB_ERR when nothing is selected
    int GetCount() const;               // CB_GETCOUNT
    void GetLBText(int nIndex, CString& rString) const;  // CB_GETLBTEXT
};

#endif  // TARVELLO_AFX_CONTROLS_H
