// The hyperlink look of a bound push button (CBCGPURLLinkButton): the button
// is subclassed; it paints its caption underlined in link colour with the
// dialog's font on the dialog's background, with no button frame, shows the
// hand cursor, and a click (mouse, BM_CLICK, Space or Enter) opens the
// caption's address with the shell.
//
// The system's button procedure paints some state changes straight onto the
// screen (pressed, focus, enable, style), outside WM_PAINT, so those messages
// are answered here and turned into a repaint instead of being passed on.
#include <cstdlib>
#include <string>

#include "afx/afx_seam.h"

namespace {

const char kLinkProp[] = "Tarvello.UrlLink";
const COLORREF kLinkColour = RGB(0, 0, 255);
const COLORREF kVisitedColour = RGB(128, 0, 128);

struct LinkState {
    WNDPROC base;  // the button procedure before subclassing
    bool pressed;  // mouse went down on the link and is captured
    bool visited;  // opened at least once
};

LinkState* StateOf(HWND hWnd)
{
    return static_cast<LinkState*>(GetPropA(hWnd, kLinkProp));
}

std::string Caption(HWND hWnd)
{
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hWnd)) + 1, '\0');
    int got = GetWindowTextA(hWnd, &text[0], static_cast<int>(text.size()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void Open(HWND hWnd, LinkState* state)
{
    std::string url = Caption(hWnd);
    if (url.empty())
        return;
    ShellExecuteA(NULL, "open", url.c_str(), NULL, NULL, SW_SHOWNORMAL);
    state->visited = true;
    InvalidateRect(hWnd, NULL, TRUE);
}

// The dialog's font, underlined; the caller deletes it.
HFONT UnderlinedFont(HWND hWnd)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hWnd, WM_GETFONT, 0, 0));
    if (font == NULL)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA logfont;
    if (GetObjectA(font, sizeof logfont, &logfont) != sizeof logfont)
        return NULL;
    logfont.lfUnderline = TRUE;
    return CreateFontIndirectA(&logfont);
}

void Paint(HWND hWnd, const LinkState* state)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hWnd, &ps);
    RECT client;
    GetClientRect(hWnd, &client);
    // The dialog's background, as for a static control.
    HBRUSH background = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(hWnd), WM_CTLCOLORSTATIC,
                                                              reinterpret_cast<WPARAM>(dc),
                                                              reinterpret_cast<LPARAM>(hWnd)));
    FillRect(dc, &client, background != NULL ? background : GetSysColorBrush(COLOR_BTNFACE));

    HFONT font = UnderlinedFont(hWnd);
    HGDIOBJ old_font = font != NULL ? SelectObject(dc, font) : NULL;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, !IsWindowEnabled(hWnd) ? GetSysColor(COLOR_GRAYTEXT)
                     : state->visited       ? kVisitedColour
                                            : kLinkColour);
    std::string text = Caption(hWnd);
    const UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    RECT text_rect = client;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &text_rect, format | DT_CALCRECT);
    // DT_CALCRECT keeps the top; centre the measured box vertically like the text.
    int height = text_rect.bottom - text_rect.top;
    text_rect.top = client.top + (client.bottom - client.top - height) / 2;
    text_rect.bottom = text_rect.top + height;
    if (text_rect.right > client.right)
        text_rect.right = client.right;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &text_rect, format);

    bool focus_hidden = (SendMessageA(hWnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
    if (GetFocus() == hWnd && !focus_hidden) {
        RECT focus = text_rect;
        InflateRect(&focus, 1, 1);
        IntersectRect(&focus, &focus, &client);
        DrawFocusRect(dc, &focus);
    }
    if (old_font != NULL)
        SelectObject(dc, old_font);
    if (font != NULL)
        DeleteObject(font);
    EndPaint(hWnd, &ps);
}

LRESULT CALLBACK LinkProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LinkState* state = StateOf(hWnd);
    if (state == NULL)
        return DefWindowProcA(hWnd, message, wParam, lParam);
    WNDPROC base = state->base;
    switch (message) {
        case WM_PAINT:
            Paint(hWnd, state);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills the whole client area
        case WM_SETCURSOR:
            SetCursor(LoadCursorA(NULL, MAKEINTRESOURCEA(32649)));  // IDC_HAND
            return TRUE;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetFocus(hWnd);
            SetCapture(hWnd);
            state->pressed = true;
            return 0;
        case WM_LBUTTONUP: {
            bool was_pressed = state->pressed;
            state->pressed = false;
            if (GetCapture() == hWnd)
                ReleaseCapture();
            RECT client;
            GetClientRect(hWnd, &client);
            POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (was_pressed && PtInRect(&client, at))
                Open(hWnd, state);
            return 0;
        }
        case WM_CAPTURECHANGED:
            state->pressed = false;
            return 0;
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
            return 0;
        case WM_GETDLGCODE: {
            // Enter on a focused link opens it, as Space does, instead of being
            // taken by the dialog for its default button.
            LRESULT code = CallWindowProcA(base, hWnd, message, wParam, lParam);
            const MSG* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg != NULL && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_KEYDOWN:
            if (wParam == VK_RETURN)
                Open(hWnd, state);
            if (wParam == VK_SPACE || wParam == VK_RETURN)
                return 0;
            break;
        case WM_KEYUP:
            if (wParam == VK_SPACE) {
                Open(hWnd, state);
                return 0;
            }
            break;
        case BM_SETSTATE:
            return 0;  // no pressed look
        case BM_SETSTYLE: {
            // The dialog manager moves the default-button style with the focus.
            LONG style = GetWindowLongA(hWnd, GWL_STYLE);
            SetWindowLongA(hWnd, GWL_STYLE,
                           (style & ~static_cast<LONG>(BS_TYPEMASK)) |
                               static_cast<LONG>(wParam & BS_TYPEMASK));
            if (lParam)
                InvalidateRect(hWnd, NULL, TRUE);
            return 0;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_UPDATEUISTATE:
            if (message == WM_UPDATEUISTATE)
                DefWindowProcA(hWnd, message, wParam, lParam);
            InvalidateRect(hWnd, NULL, TRUE);
            return 0;
        case WM_SETTEXT: {
            LRESULT result = DefWindowProcA(hWnd, message, wParam, lParam);
            InvalidateRect(hWnd, NULL, TRUE);
            return result;
        }
        case WM_SETFONT: {
            CallWindowProcA(base, hWnd, message, wParam, FALSE);
            if (LOWORD(lParam))
                InvalidateRect(hWnd, NULL, TRUE);
            return 0;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
            RemovePropA(hWnd, kLinkProp);
            std::free(state);
            return CallWindowProcA(base, hWnd, message, wParam, lParam);
    }
    return CallWindowProcA(base, hWnd, message, wParam, lParam);
}

}  // namespace

void AfxPlatformAttachUrlLink(HWND hButton)
{
    if (hButton == NULL || StateOf(hButton) != NULL)
        return;
    LinkState* state = static_cast<LinkState*>(std::calloc(1, sizeof(LinkState)));
    if (state == NULL)
        return;  // stays a plain button
    if (!SetPropA(hButton, kLinkProp, state)) {
        std::free(state);
        return;
    }
    state->base = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hButton, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkProc)));
    InvalidateRect(hButton, NULL, TRUE);
}

// The links free their own state when their windows are destroyed, and the
// fonts they paint with live only for one paint: nothing is left to release.
void AfxPlatformToolkitCleanUp()
{
}
