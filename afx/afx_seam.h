// afx_seam.h - the few platform hooks the common afx code needs that Win32
// itself does not offer. Each backend (afx/win32, tests/sim) implements every
// function here exactly once.
//
// Classes in this file: none.
#ifndef TARVELLO_AFX_SEAM_H
#define TARVELLO_AFX_SEAM_H

#include "afx_platform.h"

// Gives a bound push button the hyperlink behaviour (look, hand cursor, and
// a click that opens the button's caption with ShellExecuteA(NULL, "open",
// caption, NULL, NULL, SW_SHOWNORMAL)). Called once per binding.
void AfxPlatformAttachUrlLink(HWND hButton);

// The backend part of the toolkit's global clean-up (releasing what
// AfxPlatformAttachUrlLink created; the sim records the call).
void AfxPlatformToolkitCleanUp();

#endif  // TARVELLO_AFX_SEAM_H
