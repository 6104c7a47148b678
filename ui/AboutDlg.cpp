// CAboutDlg: the two hyperlink buttons are its only members.
#include "ui/AboutDlg.h"

// see AboutDlg.h
CAboutDlg::CAboutDlg() : CDialog(CAboutDlg::IDD)
{
}

CAboutDlg::~CAboutDlg()
{
}

// see AboutDlg.h
void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT_LINK_PRODUCT, m_linkProduct);
    DDX_Control(pDX, IDC_ABOUT_LINK_MAKER, m_linkMaker);
}

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()
