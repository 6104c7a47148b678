// The About box: template IDD_ABOUTBOX with the icon, the product name, a
// notice and two hyperlink buttons. Opened from the main window's system menu.
#pragma once

#include "afx/afxwin.h"
#include "ui/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    virtual ~CAboutDlg();

    enum { IDD = IDD_ABOUTBOX };

    CBCGPURLLinkButton m_linkProduct;
    CBCGPURLLinkButton m_linkMaker;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    DECLARE_MESSAGE_MAP()
};
