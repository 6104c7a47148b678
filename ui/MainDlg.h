// The tool's one window: a modal dialog on template IDD_MAIN holding the
// key controls, the SHA-1 and decrypt frames, and the loaded CAPK table.
//
// Data exchange: UpdateData(TRUE) ("pull") copies the texts of IDC_CHECKSUM,
// IDC_INDEX, IDC_RID and IDC_MODULUS_LEN into the four m_str members;
// UpdateData(FALSE) ("push") copies them back. No other control takes part;
// the rest are read and written through their member objects. The fifteen
// member controls are bound on the first exchange, which the base
// OnInitDialog performs.
#pragma once

#include "afx/afxwin.h"
#include "core/capk.h"
#include "ui/resource.h"

class CMainDlg : public CBCGPDialog {
public:
    explicit CMainDlg(CWnd* pParent = NULL);
    virtual ~CMainDlg();

    enum { IDD = IDD_MAIN };

    // Members in this order; the table is held by value (no heap behind it).
    CBCGPURLLinkButton m_linkProduct;
    CBCGPURLLinkButton m_linkMaker;
    CButton m_radioExp3;
    CButton m_radioExp65537;
    CEdit m_editModulus;
    CEdit m_editHashData;
    CEdit m_editEncrypted;
    CEdit m_editDecrypted;
    CEdit m_editHashResult;
    CComboBox m_comboCapks;
    CButton m_checkUseLoaded;
    CButton m_btnLoadCapks;
    CButton m_btnCalcChecksum;
    CButton m_btnHash;
    CButton m_btnDecrypt;
    CString m_strChecksum;       // IDC_CHECKSUM: 40 hex digits or empty
    CString m_strIndex;          // IDC_INDEX: 2 hex digits or empty
    CString m_strRid;            // IDC_RID: 10 hex digits or empty
    CString m_strModulusLength;  // IDC_MODULUS_LEN: "bytes", "%d bytes" or empty
    HICON m_hIcon;               // IDR_MAINFRAME at the large-icon size; shared, never destroyed
    CapkTable m_capks;           // set up by OnInitDialog, filled only by the load command

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();

    // Window-level handlers (MainDlgShell.cpp).
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();

    // CAPK commands (MainDlgCapk.cpp).
    afx_msg void OnLoadCapks();
    afx_msg void OnUseLoaded();
    afx_msg void OnSelchangeCapkList();

    // Hash and checksum commands (MainDlgHash.cpp).
    afx_msg void OnHash();
    afx_msg void OnCalcChecksum();
    afx_msg void OnClearChecksum();

    // Decrypt commands (MainDlgDecrypt.cpp).
    afx_msg void OnDecrypt();
    afx_msg void OnClearDecrypted();

    // Shared by both exponent radio buttons: the buttons check themselves,
    // so there is nothing to do.
    afx_msg void OnExponentRadio();

    DECLARE_MESSAGE_MAP()
};
