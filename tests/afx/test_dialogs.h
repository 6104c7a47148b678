// Small dialogs with message maps for the afx tests.
#ifndef TARVELLO_TESTS_AFX_TEST_DIALOGS_H
#define TARVELLO_TESTS_AFX_TEST_DIALOGS_H

#include <functional>
#include <string>
#include <vector>

#include "afx/afxwin.h"
#include "afx_test_resource.h"

// Handles IDC_PLAIN and IDC_CHECK; the derived class takes IDC_PLAIN over.
class CBaseTestDlg : public CBCGPDialog {
public:
    explicit CBaseTestDlg(UINT id) : CBCGPDialog(id) {}
    std::vector<std::string> calls;

protected:
    afx_msg void OnBasePlain();
    afx_msg void OnBaseCheck();
    DECLARE_MESSAGE_MAP()
};

class CTestDlg : public CBaseTestDlg {
public:
    explicit CTestDlg(UINT id = IDD_ALL) : CBaseTestDlg(id) {}

    CButton m_check;
    CButton m_radioA;
    CEdit m_editMulti;
    CComboBox m_list;
    CBCGPURLLinkButton m_link;
    CString m_strSingle;
    CString m_strMulti;

    BOOL m_initResult = TRUE;
    std::function<void(CTestDlg&)> m_onInit;  // runs inside OnInitDialog
    HICON m_hIcon = NULL;

    BOOL OnInitDialog() override;
    void CallDefault() { Default(); }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnDerivedPlain();
    afx_msg void OnRadio();
    afx_msg void OnListChange();
    DECLARE_MESSAGE_MAP()
};

// The same template without DDX members (for a second object on it).
class CPlainDlg : public CDialog {
public:
    explicit CPlainDlg(UINT id) : CDialog(id) {}
};

#endif  // TARVELLO_TESTS_AFX_TEST_DIALOGS_H
