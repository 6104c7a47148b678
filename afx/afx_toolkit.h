// afx_toolkit.h - the UI toolkit classes the program builds on.
//
// Classes in this file:
//   CBCGPDialog         the toolkit's dialog base: a plain CDialog here
//   CBCGPURLLinkButton  a push button that becomes a hyperlink once bound
//   CBCGPWorkspace      the toolkit's per-application state (none kept)
// Functions: BCGCBProCleanUp
#ifndef TARVELLO_AFX_TOOLKIT_H
#define TARVELLO_AFX_TOOLKIT_H

#include "afx/afx_controls.h"
#include "afx/afx_dialog.h"

class CBCGPDialog : public CDialog {
public:
    explicit CBCGPDialog(UINT nIDTemplate, CWnd* pParent = NULL);
    ~CBCGPDialog() override;

    DECLARE_MESSAGE_MAP()
};

// Binding (DDX_Control) turns the button into a hyperlink: link colour,
// underline, hand cursor; a click opens the caption's address with the shell
// (ShellExecuteA "open"). The caption is its whole configuration.
class CBCGPURLLinkButton : public CButton {
public:
    CBCGPURLLinkButton() = default;
    ~CBCGPURLLinkButton() override;

protected:
    void PreSubclassWindow() override;
};

class CBCGPWorkspace {
public:
    explicit CBCGPWorkspace(BOOL bResourceSmartUpdate = FALSE);
    CBCGPWorkspace(const CBCGPWorkspace&) = delete;
    CBCGPWorkspace& operator=(const CBCGPWorkspace&) = delete;
    virtual ~CBCGPWorkspace();

protected:
    BOOL m_bResourceSmartUpdate;
};

// The toolkit's global clean-up, called once after the main dialog closed.
void BCGCBProCleanUp();

#endif  // TARVELLO_AFX_TOOLKIT_H
