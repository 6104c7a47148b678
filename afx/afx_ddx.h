// afx_ddx.h - dialog data exchange between controls and member variables.
//
// Classes in this file:
//   CDataExchange  direction and dialog of one UpdateData pass
// Functions: DDX_Control, DDX_Text
#ifndef TARVELLO_AFX_DDX_H
#define TARVELLO_AFX_DDX_H

#include "afx/afx_wnd.h"

class CDataExchange {
public:
    BOOL m_bSaveAndValidate;  // TRUE: controls -> members (pull); FALSE: push
    CWnd* m_pDlgWnd;

    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
    // Handle of control nIDC of the dialog (asserts it exists).
    HWND PrepareCtrl(int nIDC);
};

// Binds rControl to control nIDC on the first push only (when rControl is
// still unbound), so later exchanges leave the binding alone.
void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Pull copies the control's whole text (no length cap); push sets it,
// skipping the call when the text is already equal.
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

#endif  // TARVELLO_AFX_DDX_H
