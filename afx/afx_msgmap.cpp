// Message-map search and CCmdTarget, the root of every map.
#include "afx/afx_msgmap.h"

#include <cstddef>

static const AFX_MSGMAP_ENTRY s_rootEntries[] = {{0, 0, 0, 0, nullptr}};
static const AFX_MSGMAP s_rootMap = {nullptr, &s_rootEntries[0]};

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT nMessage, UINT nCode,
                                            UINT nID)
{
    // Most derived class first; within a class, the rows in written order.
    for (; map != nullptr; map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage != 0; ++e) {
            if (e->nMessage == nMessage && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID)
                return e;
        }
    }
    return nullptr;
}

CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    return &s_rootMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CCmdTarget::DispatchMessageMap(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam,
                                    LPARAM lParam, LRESULT* pResult)
{
    const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(GetMessageMap(), nMessage, nCode, nID);
    if (e == nullptr)
        return FALSE;
    LRESULT r = e->pfn(this, wParam, lParam);
    if (pResult != nullptr)
        *pResult = r;
    return TRUE;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode)
{
    return DispatchMessageMap(WM_COMMAND, static_cast<UINT>(nCode), nID, MAKEWPARAM(nID, nCode), 0,
                              nullptr);
}
