// afx_platform.h (win32 backend) - the real system headers.
//
// Contents of this file: <windows.h>, <commdlg.h>, <shellapi.h>, ANSI names.
//
// The program is 8-bit throughout, so the generic names (SendMessage,
// GetWindowText, MessageBox, ...) must map to the ANSI functions, as they do
// in the sim backend's header.
#ifndef TARVELLO_AFX_WIN32_PLATFORM_H
#define TARVELLO_AFX_WIN32_PLATFORM_H

#ifdef UNICODE
#error "Tarvello uses the ANSI Windows interfaces: build without UNICODE"
#endif

#ifndef NOMINMAX
#define NOMINMAX  // std::min/std::max stay usable
#endif
#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#endif  // TARVELLO_AFX_WIN32_PLATFORM_H
