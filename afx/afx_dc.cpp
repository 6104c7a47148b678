// CDC and CPaintDC.
#include "afx/afx_dc.h"

#include <cassert>
#include <cstring>

#include "afx/afx_wnd.h"

CDC::CDC() : m_hDC(NULL)
{
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon)
{
    assert(m_hDC != NULL);
    return ::DrawIcon(m_hDC, x, y, hIcon);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    assert(::IsWindow(m_hWnd));
    std::memset(&m_ps, 0, sizeof(m_ps));
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
}
