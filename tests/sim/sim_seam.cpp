// The sim's side of the afx seam.
#include "afx/afx_seam.h"
#include "tests/sim/sim_world.h"

using namespace sim::detail;

void AfxPlatformAttachUrlLink(HWND hButton)
{
    // A click on it now opens its caption (see ClickButton).
    if (Window* w = WindowOf(hButton))
        w->link = true;
}

void AfxPlatformToolkitCleanUp()
{
    LogCall("BCGCBProCleanUp");
}
