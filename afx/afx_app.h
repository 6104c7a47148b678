// afx_app.h - the application object and the process-wide framework calls.
//
// Classes in this file:
//   CWinApp  the one application object: InitInstance / ExitInstance
// Functions: AfxGetApp, AfxGetMainWnd, AfxWinMain, AfxEnableControlContainer,
//   AfxGetInstanceHandle, AfxGetResourceHandle, AfxFindResourceHandle
#ifndef TARVELLO_AFX_APP_H
#define TARVELLO_AFX_APP_H

#include "afx/afx_msgmap.h"
#include "afx/afx_string.h"

class CWnd;

#define ID_HELP 0xE146
// The string-table entry that names the application, where there is one.
#define AFX_IDS_APP_TITLE 0xE000

class CWinApp : public CCmdTarget {
public:
    // Registers this object as the application (one per process).
    explicit CWinApp(LPCTSTR lpszAppName = NULL);
    ~CWinApp() override;

    // Runs the program; FALSE means "no message loop, exit now".
    virtual BOOL InitInstance();
    // Returns the process exit code (0).
    virtual int ExitInstance();
    // The message loop after a TRUE InitInstance. This program has none: the
    // main window is a modal dialog run inside InitInstance, so Run only
    // calls ExitInstance.
    virtual int Run();

    // Kept for the MFC call sequence; the system draws 3-D controls itself.
    BOOL Enable3dControls();
    // ID_HELP: there is no help content, so it does nothing.
    afx_msg void OnHelp();

    CWnd* m_pMainWnd;
    // The name given to the constructor; when none was given, AfxWinMain sets
    // the framework's default: the AFX_IDS_APP_TITLE string, else the program
    // file's name without folder and extension. Message boxes given no
    // caption show it.
    LPCTSTR m_pszAppName;
    HINSTANCE m_hInstance;
    LPTSTR m_lpCmdLine;
    int m_nCmdShow;

    // Sets m_pszAppName to the default name if the constructor got none.
    void SetDefaultAppName();

    DECLARE_MESSAGE_MAP()

private:
    CString m_strDefaultAppName;  // storage behind a default m_pszAppName
};

CWinApp* AFXAPI AfxGetApp();
CWnd* AFXAPI AfxGetMainWnd();

// The framework's start-up: records the instance, calls InitInstance; when it
// returns FALSE, ExitInstance's result is returned, else Run's. Called by the
// Win32 entry point (WinMain) and by tests.
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);

// Dialogs may host ActiveX controls; this program hosts none, so it only
// keeps the call sequence.
void AFXAPI AfxEnableControlContainer();
// The module handle: from AfxWinMain, else the executable's (GetModuleHandleA(NULL)).
HINSTANCE AFXAPI AfxGetInstanceHandle();
HINSTANCE AFXAPI AfxGetResourceHandle();
// The module holding resource (lpszName, lpszType); the resource module when
// none holds it, so a later load fails there as it would in MFC.
HINSTANCE AFXAPI AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);

#endif  // TARVELLO_AFX_APP_H
