// CFileDialog over GetOpenFileNameA.
#include "afx/afx_filedialog.h"

#include <cassert>
#include <cstring>

#include "afx/afx_app.h"
#include "afx/afx_internal.h"
#include "afx/afx_wnd.h"

void AfxConvertFilter(LPTSTR lpszFilter)
{
    for (LPTSTR p = lpszFilter; *p != '\0'; ++p) {
        if (*p == '|')
            *p = '\0';
    }
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName,
                         DWORD dwFlags, LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd)
{
    assert(bOpenFileDialog && "only the open dialog is supported");
    std::memset(&m_ofn, 0, sizeof(m_ofn));
    std::memset(m_szFileName, 0, sizeof(m_szFileName));
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hInstance = AfxGetResourceHandle();
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = _MAX_PATH;
    m_ofn.lpstrDefExt = lpszDefExt;
    m_ofn.Flags = dwFlags;
    if (lpszFileName != NULL)
        std::strncpy(m_szFileName, lpszFileName, _MAX_PATH - 1);
    if (lpszFilter != NULL) {
        // The list must end in two NULs even when the caller left off the
        // closing "|": keep one spare NUL after the converted text.
        m_strFilter = lpszFilter;
        int len = m_strFilter.GetLength();
        LPTSTR p = m_strFilter.GetBuffer(len + 1);
        p[len + 1] = '\0';
        AfxConvertFilter(p);
        m_ofn.lpstrFilter = p;
    }
}

CFileDialog::~CFileDialog() = default;

int CFileDialog::DoModal()
{
    m_ofn.hwndOwner =
        m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : AfxDefaultOwner(nullptr);
    return ::GetOpenFileNameA(&m_ofn) ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const
{
    LPCTSTR path = m_ofn.lpstrFile;
    LPCTSTR name = path;
    for (LPCTSTR p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/')
            name = p + 1;
    }
    return CString(name);
}
