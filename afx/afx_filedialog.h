// afx_filedialog.h - the file-open common dialog.
//
// Classes in this file:
//   CFileDialog  GetOpenFileNameA with an MFC-style filter
#ifndef TARVELLO_AFX_FILEDIALOG_H
#define TARVELLO_AFX_FILEDIALOG_H

#include "afx/afx_string.h"

class CWnd;

class CFileDialog {
public:
    // lpszFilter is "label|pattern|...|" ended by an extra '|', as in
    // "All Files(*.txt)|*.txt||"; it is handed to the system NUL-separated.
    // dwFlags go to the system unchanged. The program only opens files: a
    // FALSE bOpenFileDialog (a save dialog) is not supported.
    CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = NULL, LPCTSTR lpszFileName = NULL,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = NULL,
                CWnd* pParentWnd = NULL);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;
    virtual ~CFileDialog();

    // IDOK when the user chose a file, IDCANCEL otherwise (also on errors).
    virtual int DoModal();
    CString GetPathName() const;  // the chosen full path
    CString GetFileName() const;  // its last component

    OPENFILENAMEA m_ofn;

protected:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    CString m_strFilter;  // NUL-separated copy that m_ofn points into
    TCHAR m_szFileName[_MAX_PATH];
};

// Converts an MFC filter ("A|*.a||") in place: every '|' becomes NUL.
void AfxConvertFilter(LPTSTR lpszFilter);

#endif  // TARVELLO_AFX_FILEDIALOG_H
