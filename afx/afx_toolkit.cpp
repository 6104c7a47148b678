// The toolkit classes: dialog base, hyperlink button, workspace, clean-up.
#include "afx/afx_toolkit.h"

#include "afx/afx_seam.h"

BEGIN_MESSAGE_MAP(CBCGPDialog, CDialog)
END_MESSAGE_MAP()

CBCGPDialog::CBCGPDialog(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent)
{
}

CBCGPDialog::~CBCGPDialog() = default;

CBCGPURLLinkButton::~CBCGPURLLinkButton() = default;

void CBCGPURLLinkButton::PreSubclassWindow()
{
    AfxPlatformAttachUrlLink(m_hWnd);
}

CBCGPWorkspace::CBCGPWorkspace(BOOL bResourceSmartUpdate)
    : m_bResourceSmartUpdate(bResourceSmartUpdate)
{
}

CBCGPWorkspace::~CBCGPWorkspace() = default;

void BCGCBProCleanUp()
{
    AfxPlatformToolkitCleanUp();
}
