// CWnd: one window handle, each operation one Win32 call; and the handle
// map that says which C++ object stands for which window.
#include "afx/afx_wnd.h"

#include <cassert>
#include <map>
#include <memory>

#include "afx/afx_app.h"
#include "afx/afx_ddx.h"
#include "afx/afx_internal.h"
#include "afx/afx_menu.h"

namespace {

struct Binding {
    CWnd* pWnd;
    HWND hOwnerDlg;
};

// Never destroyed: objects with static storage (the application, its
// temporaries) may unbind during exit, after other statics are gone.
std::map<HWND, Binding>& Permanent()
{
    static auto* map = new std::map<HWND, Binding>;
    return *map;
}

std::map<HWND, std::unique_ptr<CWnd>>& Temporaries()
{
    static auto* map = new std::map<HWND, std::unique_ptr<CWnd>>;
    return *map;
}

}  // namespace

AfxMessageRecord& AfxCurrentMessage()
{
    static AfxMessageRecord current = {NULL, WM_NULL, 0, 0};
    return current;
}

void AfxMapAdd(HWND hWnd, CWnd* pWnd, HWND hOwnerDlg)
{
    Permanent()[hWnd] = {pWnd, hOwnerDlg};
}

void AfxMapRemove(HWND hWnd)
{
    Permanent().erase(hWnd);
}

CWnd* AfxMapFind(HWND hWnd)
{
    auto it = Permanent().find(hWnd);
    return it == Permanent().end() ? nullptr : it->second.pWnd;
}

void AfxMapUnbindControlsOf(HWND hDlg)
{
    auto& map = Permanent();
    for (auto it = map.begin(); it != map.end();) {
        if (it->second.hOwnerDlg == hDlg) {
            it->second.pWnd->m_hWnd = NULL;
            it = map.erase(it);
        } else {
            ++it;
        }
    }
}

CWnd* AfxMapTemporary(HWND hWnd)
{
    std::unique_ptr<CWnd>& slot = Temporaries()[hWnd];
    if (!slot) {
        slot.reset(new CWnd);
        slot->m_hWnd = hWnd;  // not in the permanent map: a stand-in only
    }
    return slot.get();
}

HWND AfxDefaultOwner(const CWnd* pExclude)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr || app->m_pMainWnd == nullptr || app->m_pMainWnd == pExclude)
        return NULL;
    return app->m_pMainWnd->GetSafeHwnd();
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(NULL)
{
}

CWnd::~CWnd()
{
    if (m_hWnd != NULL && AfxMapFind(m_hWnd) == this)
        AfxMapRemove(m_hWnd);
    // A main window that is gone must not own later dialogs.
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == NULL)
        return nullptr;
    CWnd* pWnd = AfxMapFind(hWnd);
    return pWnd != nullptr ? pWnd : AfxMapTemporary(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd == NULL ? nullptr : AfxMapFind(hWnd);
}

BOOL CWnd::Attach(HWND hWndNew)
{
    assert(m_hWnd == NULL && hWndNew != NULL);
    if (m_hWnd != NULL || hWndNew == NULL || AfxMapFind(hWndNew) != nullptr)
        return FALSE;
    m_hWnd = hWndNew;
    AfxMapAdd(hWndNew, this, NULL);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != NULL && AfxMapFind(hWnd) == this)
        AfxMapRemove(hWnd);
    m_hWnd = NULL;
    return hWnd;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    assert(pParent != nullptr && pParent->m_hWnd != NULL);
    HWND hCtrl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    if (hCtrl == NULL || !SubclassWindow(hCtrl))
        return FALSE;
    // Remember the dialog so the binding ends with it.
    AfxMapAdd(hCtrl, this, pParent->m_hWnd);
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    return TRUE;
}

void CWnd::PreSubclassWindow()
{
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    assert(::IsWindow(m_hWnd));
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    assert(::IsWindow(m_hWnd));
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const
{
    assert(::IsWindow(m_hWnd));
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::IsWindowVisible() const
{
    assert(::IsWindow(m_hWnd));
    return ::IsWindowVisible(m_hWnd);
}

void CWnd::SetWindowText(LPCTSTR lpszString)
{
    assert(::IsWindow(m_hWnd));
    ::SetWindowTextA(m_hWnd, lpszString);
}

void CWnd::GetWindowText(CString& rString) const
{
    assert(::IsWindow(m_hWnd));
    int len = ::GetWindowTextLengthA(m_hWnd);
    int got = ::GetWindowTextA(m_hWnd, rString.GetBuffer(len), len + 1);
    rString.ReleaseBuffer(got > 0 ? got : 0);
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
{
    assert(::IsWindow(m_hWnd));
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

int CWnd::GetWindowTextLength() const
{
    assert(::IsWindow(m_hWnd));
    return ::GetWindowTextLengthA(m_hWnd);
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    assert(::IsWindow(m_hWnd));
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

int CWnd::GetDlgCtrlID() const
{
    assert(::IsWindow(m_hWnd));
    return ::GetDlgCtrlID(m_hWnd);
}

CWnd* CWnd::SetFocus()
{
    assert(::IsWindow(m_hWnd));
    return FromHandle(::SetFocus(m_hWnd));
}

CWnd* CWnd::GetFocus()
{
    return FromHandle(::GetFocus());
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    if (lpszCaption == NULL && AfxGetApp() != nullptr)
        lpszCaption = AfxGetApp()->m_pszAppName;
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    assert(::IsWindow(m_hWnd));
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;  // no validation step exists, so an exchange cannot fail
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const
{
    assert(::IsWindow(m_hWnd));
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    assert(::IsWindow(m_hWnd));
    return reinterpret_cast<HICON>(::SendMessageA(
        m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

BOOL CWnd::IsIconic() const
{
    assert(::IsWindow(m_hWnd));
    return ::IsIconic(m_hWnd);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    assert(::IsWindow(m_hWnd));
    ::GetClientRect(m_hWnd, lpRect);
}

LRESULT CWnd::Default()
{
    const AfxMessageRecord& m = AfxCurrentMessage();
    return ::DefWindowProcA(m_hWnd, m.message, m.wParam, m.lParam);
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    UINT nCode = HIWORD(wParam);
    if (DispatchMessageMap(WM_COMMAND, nCode, nID, wParam, lParam, nullptr))
        return TRUE;
    // Commands (code 0) nobody in the window handles go to the application.
    CWinApp* app = AfxGetApp();
    return nCode == 0 && app != nullptr && app->OnCmdMsg(nID, 0);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    return DispatchMessageMap(message, 0, 0, wParam, lParam, pResult);
}
