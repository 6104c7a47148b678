// afx_platform.h (sim backend) - the Win32 subset that afx/ and ui/ use,
// declared by us with the real values, implemented in memory by tests/sim.
//
// Classes in this file (plain records, as in the system headers):
//   RECT, POINT, PAINTSTRUCT, OPENFILENAMEA; handle types HWND, HICON,
//   HINSTANCE, HMENU, HDC, HRSRC (HCURSOR = HICON, HMODULE = HINSTANCE)
// Also: basic types (BOOL, UINT, DWORD, WPARAM, LPARAM, LRESULT, ...), the
// WM_/BM_/BST_/BN_/CB_/CBN_/EM_/EN_/MB_/ID*/MF_/SC_/SM_/ICON_/OFN_/SW_/WS_/
// WS_EX_/BS_/ES_/CBS_/SS_/DS_/RT_ constants, the USER32 / COMDLG32 /
// SHELL32 / KERNEL32 functions the program calls, and the generic names
// (SendMessage, MessageBox, ...) mapped to the ANSI ones.
//
// Only what the program needs is here; anything else must fail to compile on
// this backend rather than silently do nothing.
#ifndef TARVELLO_TESTS_SIM_PLATFORM_H
#define TARVELLO_TESTS_SIM_PLATFORM_H

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#define APIENTRY

// --- basic types (sizes as on Windows: LONG and DWORD are 32 bits) ---------
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef char CHAR;
typedef char TCHAR;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
typedef LPSTR LPTSTR;
typedef LPCSTR LPCTSTR;
typedef void* LPVOID;
typedef uintptr_t UINT_PTR;
typedef intptr_t INT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef NULL
#define NULL 0
#endif

#define _MAX_PATH 260

// Distinct handle types, as with STRICT on Windows.
#define TARVELLO_DECLARE_HANDLE(name)                                                              \
    struct name##__ {                                                                              \
        int unused;                                                                                \
    };                                                                                             \
    typedef struct name##__* name
TARVELLO_DECLARE_HANDLE(HWND);
TARVELLO_DECLARE_HANDLE(HICON);
TARVELLO_DECLARE_HANDLE(HINSTANCE);
TARVELLO_DECLARE_HANDLE(HMENU);
TARVELLO_DECLARE_HANDLE(HDC);
TARVELLO_DECLARE_HANDLE(HRSRC);
TARVELLO_DECLARE_HANDLE(HFONT);
TARVELLO_DECLARE_HANDLE(HBRUSH);
#undef TARVELLO_DECLARE_HANDLE
typedef void* HANDLE;
typedef HICON HCURSOR;
typedef HINSTANCE HMODULE;

typedef uintptr_t DWORD_PTR_SIM;
#define LOWORD(l) ((WORD)(((DWORD_PTR_SIM)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR_SIM)(l)) >> 16) & 0xffff))
#define MAKELONG(a, b)                                                                             \
    ((LONG)(((WORD)(((DWORD_PTR_SIM)(a)) & 0xffff)) |                                              \
            ((DWORD)((WORD)(((DWORD_PTR_SIM)(b)) & 0xffff))) << 16))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))

#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEA

#define RT_ICON MAKEINTRESOURCE(3)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)

// --- records ----------------------------------------------------------------
typedef struct tagRECT {
    LONG left, top, right, bottom;
} RECT, *LPRECT;
typedef const RECT* LPCRECT;
typedef struct tagPOINT {
    LONG x, y;
} POINT, *LPPOINT;

typedef struct tagPAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
} PAINTSTRUCT, *LPPAINTSTRUCT;

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;  // pairs "label\0pattern\0", ended by an extra "\0"
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPSTR lpstrFile;  // in: initial name; out: the chosen full path
    DWORD nMaxFile;   // capacity of lpstrFile in chars, NUL included
    LPSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
} OPENFILENAMEA, *LPOPENFILENAMEA;

// --- window messages --------------------------------------------------------
#define WM_NULL 0x0000
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_ERASEBKGND 0x0014
#define WM_SETCURSOR 0x0020
#define WM_ICONERASEBKGND 0x0027
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_QUERYDRAGICON 0x0037
#define WM_GETICON 0x007F
#define WM_SETICON 0x0080
#define WM_NCDESTROY 0x0082
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_CTLCOLORSTATIC 0x0138
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202

#define VK_RETURN 0x0D

// --- buttons ----------------------------------------------------------------
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_SETSTYLE 0x00F4
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_FOCUS 0x0008
#define BN_CLICKED 0

// --- combo boxes ------------------------------------------------------------
#define CB_ADDSTRING 0x0143
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_RESETCONTENT 0x014B
#define CB_SETCURSEL 0x014E
#define CB_OKAY 0
#define CB_ERR (-1)
#define CB_ERRSPACE (-2)
#define CBN_SELCHANGE 1

// --- edit controls ----------------------------------------------------------
#define EM_SETSEL 0x00B1
#define EM_SETREADONLY 0x00CF
#define EN_CHANGE 0x0300

// --- message boxes and dialog results ----------------------------------------
#define MB_OK 0x00000000
#define MB_OKCANCEL 0x00000001
#define MB_ABORTRETRYIGNORE 0x00000002
#define MB_YESNOCANCEL 0x00000003
#define MB_YESNO 0x00000004
#define MB_RETRYCANCEL 0x00000005
#define MB_TYPEMASK 0x0000000F
#define MB_ICONHAND 0x00000010
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONASTERISK 0x00000040
#define MB_ICONINFORMATION MB_ICONASTERISK

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDYES 6

// --- menus and system commands ----------------------------------------------
#define MF_STRING 0x00000000
#define MF_GRAYED 0x00000001
#define MF_DISABLED 0x00000002
#define MF_POPUP 0x00000010
#define MF_SEPARATOR 0x00000800

#define SC_SIZE 0xF000
#define SC_MOVE 0xF010
#define SC_MINIMIZE 0xF020
#define SC_MAXIMIZE 0xF030
#define SC_CLOSE 0xF060
#define SC_RESTORE 0xF120

// --- metrics, icons, shell ----------------------------------------------------
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define ICON_SMALL 0
#define ICON_BIG 1
#define SW_SHOWNORMAL 1

// --- file dialog --------------------------------------------------------------
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_FILEMUSTEXIST 0x00001000

// --- window styles -----------------------------------------------------------
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_VSCROLL 0x00200000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L

#define WS_EX_APPWINDOW 0x00040000L

#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_CHECKBOX 0x00000002L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_RADIOBUTTON 0x00000004L
#define BS_GROUPBOX 0x00000007L
#define BS_AUTORADIOBUTTON 0x00000009L
#define BS_TYPEMASK 0x0000000FL

#define ES_MULTILINE 0x0004L
#define ES_AUTOVSCROLL 0x0040L
#define ES_AUTOHSCROLL 0x0080L
#define ES_READONLY 0x0800L
#define ES_WANTRETURN 0x1000L

#define CBS_DROPDOWNLIST 0x0003L
#define CBS_SORT 0x0100L

#define SS_LEFT 0x00000000L
#define SS_ICON 0x00000003L
#define SS_TYPEMASK 0x0000001FL
#define SS_NOPREFIX 0x00000080L

#define DS_SETFONT 0x0040L
#define DS_MODALFRAME 0x0080L

// --- functions ------------------------------------------------------------------
// Windows, controls and messages (USER32)
LRESULT WINAPI SendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR text);
int WINAPI GetWindowTextA(HWND hWnd, LPSTR buffer, int maxCount);
int WINAPI GetWindowTextLengthA(HWND hWnd);
BOOL WINAPI EnableWindow(HWND hWnd, BOOL enable);
BOOL WINAPI IsWindowEnabled(HWND hWnd);
BOOL WINAPI IsWindowVisible(HWND hWnd);
BOOL WINAPI IsWindow(HWND hWnd);
HWND WINAPI GetDlgItem(HWND hDlg, int id);
int WINAPI GetDlgCtrlID(HWND hWnd);
HWND WINAPI GetParent(HWND hWnd);
HWND WINAPI SetFocus(HWND hWnd);
HWND WINAPI GetFocus(void);
LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Dialogs and message boxes
INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR templateName, HWND hWndParent,
                               DLGPROC dialogProc, LPARAM initParam);
BOOL WINAPI EndDialog(HWND hDlg, INT_PTR result);
int WINAPI MessageBoxA(HWND hWnd, LPCSTR text, LPCSTR caption, UINT type);

// Menus
HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL revert);
BOOL WINAPI AppendMenuA(HMENU hMenu, UINT flags, UINT_PTR idNewItem, LPCSTR newItem);
BOOL WINAPI DestroyMenu(HMENU hMenu);

// Resources and module
HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR iconName);
int WINAPI LoadStringA(HINSTANCE hInstance, UINT id, LPSTR buffer, int bufferMax);
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR fileName, DWORD size);
HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR name, LPCSTR type);

// Painting and geometry
BOOL WINAPI IsIconic(HWND hWnd);
int WINAPI GetSystemMetrics(int index);
BOOL WINAPI GetClientRect(HWND hWnd, LPRECT rect);
HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT paint);
BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* paint);
BOOL WINAPI DrawIcon(HDC hDC, int x, int y, HICON hIcon);

// Common dialogs (COMDLG32) and the shell (SHELL32)
BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn);
HINSTANCE WINAPI ShellExecuteA(HWND hWnd, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                               LPCSTR directory, int showCmd);

// The generic names map to the ANSI functions, as <windows.h> does without
// UNICODE, so code (and the MFC-style method names) read the same on both backends.
#define SendMessage SendMessageA
#define SetWindowText SetWindowTextA
#define GetWindowText GetWindowTextA
#define GetWindowTextLength GetWindowTextLengthA
#define MessageBox MessageBoxA
#define AppendMenu AppendMenuA
#define LoadString LoadStringA
typedef OPENFILENAMEA OPENFILENAME;

#endif  // TARVELLO_TESTS_SIM_PLATFORM_H
