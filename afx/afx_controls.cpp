// CButton, CEdit, CComboBox: one SendMessageA each.
#include "afx/afx_controls.h"

#include <cassert>

int CButton::GetCheck() const
{
    assert(::IsWindow(m_hWnd));
    return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0));
}

void CButton::SetCheck(int nCheck)
{
    assert(::IsWindow(m_hWnd));
    ::SendMessageA(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
}

UINT CButton::GetState() const
{
    assert(::IsWindow(m_hWnd));
    return static_cast<UINT>(::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0));
}

BOOL CEdit::SetReadOnly(BOOL bReadOnly)
{
    assert(::IsWindow(m_hWnd));
    return static_cast<BOOL>(
        ::SendMessageA(m_hWnd, EM_SETREADONLY, static_cast<WPARAM>(bReadOnly), 0));
}

void CEdit::SetSel(int nStartChar, int nEndChar)
{
    assert(::IsWindow(m_hWnd));
    ::SendMessageA(m_hWnd, EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
}

void CComboBox::ResetContent()
{
    assert(::IsWindow(m_hWnd));
    ::SendMessageA(m_hWnd, CB_RESETCONTENT, 0, 0);
}

int CComboBox::AddString(LPCTSTR lpszString)
{
    assert(::IsWindow(m_hWnd));
    return static_cast<int>(
        ::SendMessageA(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString)));
}

int CComboBox::SetCurSel(int nSelect)
{
    assert(::IsWindow(m_hWnd));
    return static_cast<int>(::SendMessageA(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(nSelect), 0));
}

int CComboBox::GetCurSel() const
{
    assert(::IsWindow(m_hWnd));
    return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0));
}

int CComboBox::GetCount() const
{
    assert(::IsWindow(m_hWnd));
    return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0));
}

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    assert(::IsWindow(m_hWnd));
    int len =
        static_cast<int>(::SendMessageA(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex), 0));
    if (len == CB_ERR) {
        rString.Empty();
        return;
    }
    int got = static_cast<int>(::SendMessageA(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(nIndex),
                                              reinterpret_cast<LPARAM>(rString.GetBuffer(len))));
    rString.ReleaseBuffer(got > 0 ? got : 0);
}
