// The application object: runs the main window modally from InitInstance
// and ends the program when it closes (no message loop of its own).
#pragma once

#include "afx/afxwin.h"

class CMainApp : public CWinApp, public CBCGPWorkspace {
public:
    CMainApp();
    virtual ~CMainApp();

    // Runs the main window; always returns FALSE so that the framework goes
    // straight to ExitInstance.
    virtual BOOL InitInstance();

    DECLARE_MESSAGE_MAP()
};

// The one application object, constructed by static initialisation.
extern CMainApp theApp;
