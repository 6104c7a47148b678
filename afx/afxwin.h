// afxwin.h - the one header the program includes for its window layer: the
// MFC-style classes and the UI toolkit classes, over the Win32 subset of the
// backend's afx_platform.h.
//
// Classes in this file: none; it includes
//   afx_string.h      CString
//   afx_msgmap.h      AFX_MSGMAP, CCmdTarget, message-map macros
//   afx_wnd.h         CWnd
//   afx_ddx.h         CDataExchange, DDX_Control, DDX_Text
//   afx_dialog.h      CDialog
//   afx_controls.h    CButton, CEdit, CComboBox
//   afx_menu.h        CMenu
//   afx_dc.h          CDC, CPaintDC
//   afx_filedialog.h  CFileDialog
//   afx_app.h         CWinApp, AfxWinMain and the Afx* functions
//   afx_toolkit.h     CBCGPDialog, CBCGPURLLinkButton, CBCGPWorkspace, BCGCBProCleanUp
#ifndef TARVELLO_AFXWIN_H
#define TARVELLO_AFXWIN_H

#include "afx_platform.h"

#include "afx/afx_string.h"
#include "afx/afx_msgmap.h"
#include "afx/afx_wnd.h"
#include "afx/afx_ddx.h"
#include "afx/afx_dialog.h"
#include "afx/afx_controls.h"
#include "afx/afx_menu.h"
#include "afx/afx_dc.h"
#include "afx/afx_filedialog.h"
#include "afx/afx_app.h"
#include "afx/afx_toolkit.h"

#endif  // TARVELLO_AFXWIN_H
