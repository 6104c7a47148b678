// CMainDlg's window-level handlers: the About command of the system menu,
// the minimised icon and the drag cursor.
#include "ui/AboutDlg.h"
#include "ui/MainDlg.h"

// see MainDlg.h
void CMainDlg::OnSysCommand(UINT nID, LPARAM /*lParam*/)
{
    // The low four bits of a system-command id are the system's own.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        // Move, minimise, restore, close, keyboard menu.
        Default();
    }
}

// see MainDlg.h
void CMainDlg::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);

        int cxIcon = ::GetSystemMetrics(SM_CXICON);
        int cyIcon = ::GetSystemMetrics(SM_CYICON);
        RECT rect;
        GetClientRect(&rect);
        // Signed division, truncating toward zero: a client area narrower
        // than the icon gives a negative offset (width 0, icon 32: -15).
        int x = (rect.right - rect.left - cxIcon + 1) / 2;
        int y = (rect.bottom - rect.top - cyIcon + 1) / 2;

        dc.DrawIcon(x, y, m_hIcon);
    } else {
        Default();
    }
}

// see MainDlg.h
HCURSOR CMainDlg::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}
