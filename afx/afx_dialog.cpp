// CDialog and the dialog procedure that feeds the message maps.
#include "afx/afx_dialog.h"

#include <cassert>

#include "afx/afx_app.h"
#include "afx/afx_internal.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)),
      m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog() = default;

int CDialog::DoModal()
{
    assert(m_hWnd == NULL && "DoModal while the dialog runs");
    HWND hOwner = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : AfxDefaultOwner(this);
    HINSTANCE hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    INT_PTR result = ::DialogBoxParamA(hInst, m_lpszTemplateName, hOwner, AfxDlgProc,
                                       reinterpret_cast<LPARAM>(this));
    // The window and its controls are gone: unbind them, so the object can run again.
    if (m_hWnd != NULL) {
        AfxMapUnbindControlsOf(m_hWnd);
        Detach();
    }
    return static_cast<int>(result);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult)
{
    assert(::IsWindow(m_hWnd));
    ::EndDialog(m_hWnd, nResult);
}

namespace {

// Saves and restores the current message around one dispatch, so
// CWnd::Default inside a nested modal loop does not clobber the outer one.
class CurrentMessageScope {
public:
    CurrentMessageScope(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
        : saved_(AfxCurrentMessage())
    {
        AfxCurrentMessage() = {hWnd, message, wParam, lParam};
    }
    ~CurrentMessageScope() { AfxCurrentMessage() = saved_; }

private:
    AfxMessageRecord saved_;
};

}  // namespace

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = nullptr;
    if (message == WM_INITDIALOG) {
        // DoModal passed the dialog object; from now on the handle names it.
        pWnd = reinterpret_cast<CDialog*>(lParam);
        if (!pWnd->Attach(hWnd))
            return FALSE;
    } else {
        pWnd = CWnd::FromHandlePermanent(hWnd);
    }
    if (pWnd == nullptr)
        return FALSE;  // messages that come before WM_INITDIALOG

    CurrentMessageScope scope(hWnd, message, wParam, lParam);
    if (message == WM_INITDIALOG)
        return static_cast<CDialog*>(pWnd)->OnInitDialog();
    LRESULT result = 0;
    if (!pWnd->OnWndMsg(message, wParam, lParam, &result))
        return FALSE;
    // A dialog procedure returns these results directly; for the rest TRUE
    // only says "handled".
    if (message == WM_QUERYDRAGICON)
        return static_cast<INT_PTR>(result);
    return TRUE;
}
