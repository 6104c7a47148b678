// CMainApp: the application object and its start-up.
#include "ui/MainApp.h"

#include "ui/MainDlg.h"

BEGIN_MESSAGE_MAP(CMainApp, CWinApp)
    // void CWinApp::OnHelp()
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

// No application name: the framework takes its default.
CMainApp::CMainApp() : CWinApp(NULL), CBCGPWorkspace(FALSE)
{
}

CMainApp::~CMainApp()
{
}

CMainApp theApp;

// see MainApp.h
BOOL CMainApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();

    {
        CMainDlg dlg;
        m_pMainWnd = &dlg;
        // OK, Escape and the close box all end the program the same way.
        dlg.DoModal();
        BCGCBProCleanUp();
        // The window object dies with this scope; leave no dangling pointer
        // for the framework.
        m_pMainWnd = NULL;
    }

    // No message loop: the framework goes straight to ExitInstance.
    return FALSE;
}
