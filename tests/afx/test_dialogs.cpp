// Message maps and handlers of the test dialogs.
#include "test_dialogs.h"

BEGIN_MESSAGE_MAP(CBaseTestDlg, CBCGPDialog)
    ON_BN_CLICKED(IDC_PLAIN, OnBasePlain)
    ON_BN_CLICKED(IDC_CHECK, OnBaseCheck)
END_MESSAGE_MAP()

void CBaseTestDlg::OnBasePlain()
{
    calls.push_back("base:plain");
}

void CBaseTestDlg::OnBaseCheck()
{
    // The state as the handler sees it: the toggle comes before the notification.
    calls.push_back("base:check=" + std::to_string(::SendMessageA(::GetDlgItem(m_hWnd, IDC_CHECK),
                                                                  BM_GETCHECK, 0, 0)));
}

BEGIN_MESSAGE_MAP(CTestDlg, CBaseTestDlg)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_PLAIN, OnDerivedPlain)
    ON_BN_CLICKED(IDC_RADIO_A, OnRadio)
    ON_BN_CLICKED(IDC_RADIO_B, OnRadio)
    ON_BN_CLICKED(IDC_RADIO_C, OnRadio)
    ON_CBN_SELCHANGE(IDC_LIST, OnListChange)
END_MESSAGE_MAP()

BOOL CTestDlg::OnInitDialog()
{
    CBaseTestDlg::OnInitDialog();
    if (m_onInit)
        m_onInit(*this);
    return m_initResult;
}

void CTestDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_CHECK, m_check);
    DDX_Control(pDX, IDC_RADIO_A, m_radioA);
    DDX_Control(pDX, IDC_MULTI, m_editMulti);
    DDX_Control(pDX, IDC_LIST, m_list);
    DDX_Control(pDX, IDC_LINK, m_link);
    DDX_Text(pDX, IDC_SINGLE, m_strSingle);
    DDX_Text(pDX, IDC_MULTI, m_strMulti);
}

void CTestDlg::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == 0x0010) {
        calls.push_back("about");
    } else {
        calls.push_back("syscommand:default");
        Default();
    }
}

void CTestDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    RECT rect;
    GetClientRect(&rect);
    int cx = ::GetSystemMetrics(SM_CXICON);
    dc.DrawIcon((rect.right - rect.left - cx + 1) / 2, 0, m_hIcon);
}

HCURSOR CTestDlg::OnQueryDragIcon()
{
    return m_hIcon;
}

void CTestDlg::OnDerivedPlain()
{
    calls.push_back("derived:plain");
}

void CTestDlg::OnRadio()
{
    std::string s = "radio:";
    for (int id : {IDC_RADIO_A, IDC_RADIO_B, IDC_RADIO_C, IDC_RADIO_OTHER})
        s += std::to_string(::SendMessageA(::GetDlgItem(m_hWnd, id), BM_GETCHECK, 0, 0));
    calls.push_back(s);
}

void CTestDlg::OnListChange()
{
    calls.push_back("sel:" + std::to_string(m_list.GetCurSel()));
}
