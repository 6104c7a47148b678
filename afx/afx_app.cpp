// CWinApp, AfxWinMain and the module-handle functions.
#include "afx/afx_app.h"

#include <cstring>

#include "afx/afx_wnd.h"

namespace {
CWinApp* g_pApp = nullptr;
HINSTANCE g_hInstance = NULL;  // set by AfxWinMain
}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_pMainWnd(nullptr), m_pszAppName(lpszAppName), m_hInstance(NULL), m_lpCmdLine(nullptr),
      m_nCmdShow(SW_SHOWNORMAL)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

int CWinApp::Run()
{
    return ExitInstance();
}

BOOL CWinApp::Enable3dControls()
{
    return TRUE;
}

void CWinApp::OnHelp()
{
}

void CWinApp::SetDefaultAppName()
{
    if (m_pszAppName != NULL)
        return;
    if (!m_strDefaultAppName.LoadString(AFX_IDS_APP_TITLE)) {
        char path[_MAX_PATH + 1] = {0};
        DWORD n = ::GetModuleFileNameA(m_hInstance, path, _MAX_PATH);
        path[n < _MAX_PATH ? n : _MAX_PATH] = '\0';
        const char* name = path;
        for (const char* p = path; *p != '\0'; ++p) {
            if (*p == '\\' || *p == '/')
                name = p + 1;
        }
        m_strDefaultAppName = name;
        // Drop the extension: everything from the last dot of the file name.
        LPTSTR text = m_strDefaultAppName.GetBuffer(0);
        LPTSTR dot = std::strrchr(text, '.');
        m_strDefaultAppName.ReleaseBuffer(dot != NULL ? static_cast<int>(dot - text) : -1);
    }
    m_pszAppName = m_strDefaultAppName;
}

CWinApp* AFXAPI AfxGetApp()
{
    return g_pApp;
}

CWnd* AFXAPI AfxGetMainWnd()
{
    return g_pApp != nullptr ? g_pApp->m_pMainWnd : nullptr;
}

int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return -1;
    g_hInstance = hInstance;
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine;
    app->m_nCmdShow = nCmdShow;
    app->SetDefaultAppName();
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}

void AFXAPI AfxEnableControlContainer()
{
}

HINSTANCE AFXAPI AfxGetInstanceHandle()
{
    return g_hInstance != NULL ? g_hInstance : ::GetModuleHandleA(NULL);
}

HINSTANCE AFXAPI AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

HINSTANCE AFXAPI AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType)
{
    // One module holds code and resources; look there, and answer it either
    // way so a missing resource fails where it is loaded.
    HINSTANCE hRes = AfxGetResourceHandle();
    (void)::FindResourceA(hRes, lpszName, lpszType);
    return hRes;
}
