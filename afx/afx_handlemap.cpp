// Which C++ object stands for which window, and the message being handled.
#include <map>
#include <memory>

#include "afx/afx_app.h"
#include "afx/afx_internal.h"
#include "afx/afx_wnd.h"

namespace {

struct Binding {
  CWnd* pWnd;
  HWND hOwnerDlg;
};

// Never destroyed: objects with static storage (the application, its
// temporaries) may unbind during exit, after other statics are gone.
std::map<HWND, Binding>& Permanent() {
  static auto* map = new std::map<HWND, Binding>;
  return *map;
}

std::map<HWND, std::unique_ptr<CWnd>>& Temporaries() {
  static auto* map = new std::map<HWND, std::unique_ptr<CWnd>>;
  return *map;
}

}  // namespace

AfxMessageRecord& AfxCurrentMessage() {
  static AfxMessageRecord current = {NULL, WM_NULL, 0, 0};
  return current;
}

void AfxMapAdd(HWND hWnd, CWnd* pWnd, HWND hOwnerDlg) { Permanent()[hWnd] = {pWnd, hOwnerDlg}; }

void AfxMapRemove(HWND hWnd) { Permanent().erase(hWnd); }

CWnd* AfxMapFind(HWND hWnd) {
  auto it = Permanent().find(hWnd);
  return it == Permanent().end() ? nullptr : it->second.pWnd;
}

void AfxMapUnbindControlsOf(HWND hDlg) {
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

CWnd* AfxMapTemporary(HWND hWnd) {
  std::unique_ptr<CWnd>& slot = Temporaries()[hWnd];
  if (!slot) {
    slot.reset(new CWnd);
    slot->m_hWnd = hWnd;  // not in the permanent map: a stand-in only
  }
  return slot.get();
}

HWND AfxDefaultOwner(const CWnd* pExclude) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr || app->m_pMainWnd == nullptr || app->m_pMainWnd == pExclude) return NULL;
  return app->m_pMainWnd->GetSafeHwnd();
}
