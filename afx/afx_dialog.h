// afx_dialog.h - modal dialogs from a resource template.
//
// Classes in this file:
//   CDialog  a modal dialog run by DialogBoxParamA with AfxDlgProc
//
// AfxDlgProc routes: WM_INITDIALOG -> OnInitDialog; WM_COMMAND -> the message
// map (IDOK -> OnOK, IDCANCEL -> OnCancel in CDialog's own map, so Escape and
// the close box end the dialog through OnCancel); every other message -> the
// map; anything unmatched returns FALSE for the dialog manager's default.
#ifndef TARVELLO_AFX_DIALOG_H
#define TARVELLO_AFX_DIALOG_H

#include "afx/afx_wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    ~CDialog() override;

    // Creates the dialog from template m_nIDHelp and runs it modally; returns
    // the EndDialog result, or -1 if the dialog could not be created. With no
    // parent given, the application's main window (if any, and not this
    // dialog) owns it.
    virtual int DoModal();
    // Base: pushes member data (binding the DDX_Control members); returns TRUE
    // so the dialog manager focuses the first tab stop.
    virtual BOOL OnInitDialog();
    // Pulls member data, then ends the dialog with IDOK.
    virtual void OnOK();
    // Ends the dialog with IDCANCEL.
    virtual void OnCancel();
    void EndDialog(int nResult);

    UINT m_nIDHelp;  // the template id
    LPCTSTR m_lpszTemplateName;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()
};

#endif  // TARVELLO_AFX_DIALOG_H
