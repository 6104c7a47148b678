// Dialog data exchange: binding controls and copying texts.
#include "afx/afx_ddx.h"

#include <cassert>

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    assert(hCtrl != NULL && "DDX control id missing from the template");
    return hCtrl;
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    // Bind once, on the first push; later exchanges leave the binding alone.
    if (!pDX->m_bSaveAndValidate && rControl.m_hWnd == NULL) {
        pDX->PrepareCtrl(nIDC);
        BOOL bound = rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
        assert(bound && "control already bound to another object");
        (void)bound;
    }
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hCtrl = pDX->PrepareCtrl(nIDC);
    if (hCtrl == NULL)
        return;
    int len = ::GetWindowTextLengthA(hCtrl);
    if (pDX->m_bSaveAndValidate) {
        int got = ::GetWindowTextA(hCtrl, value.GetBuffer(len), len + 1);
        value.ReleaseBuffer(got > 0 ? got : 0);
        return;
    }
    // Setting an equal text would only make the control repaint.
    if (len == value.GetLength()) {
        CString current;
        int got = ::GetWindowTextA(hCtrl, current.GetBuffer(len), len + 1);
        current.ReleaseBuffer(got > 0 ? got : 0);
        if (current == value)
            return;
    }
    ::SetWindowTextA(hCtrl, value);
}
