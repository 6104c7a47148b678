// afx_dc.h - device contexts.
//
// Classes in this file:
//   CDC       a device-context handle
//   CPaintDC  BeginPaint in the constructor, EndPaint in the destructor
#ifndef TARVELLO_AFX_DC_H
#define TARVELLO_AFX_DC_H

#include "afx_platform.h"

class CWnd;

class CDC {
public:
    HDC m_hDC;

    CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON hIcon);  // DrawIcon
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();

    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};

#endif  // TARVELLO_AFX_DC_H
