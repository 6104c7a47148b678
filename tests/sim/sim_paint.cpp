// Minimised state, metrics, client area and painting calls (recorded).
#include "tests/sim/sim_world.h"

using namespace sim::detail;

BOOL WINAPI IsIconic(HWND hWnd)
{
    Window* w = WindowOf(hWnd);
    return w != nullptr && (w->style & WS_MINIMIZE) != 0;
}

int WINAPI GetSystemMetrics(int index)
{
    switch (index) {
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        default:
            return 0;
    }
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT rect)
{
    Window* w = WindowOf(hWnd);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    *rect = {0, 0, w->client_width, w->client_height};
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT paint)
{
    Window* w = WindowOf(hWnd);
    if (w == nullptr || paint == nullptr)
        return NULL;
    HDC hdc = reinterpret_cast<HDC>(NewHandleValue());
    *paint = PAINTSTRUCT();
    paint->hdc = hdc;
    paint->fErase = TRUE;
    paint->rcPaint = {0, 0, w->client_width, w->client_height};
    LogCall("BeginPaint");
    return hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT*)
{
    if (WindowOf(hWnd) == nullptr)
        return FALSE;
    LogCall("EndPaint");
    return TRUE;
}

BOOL WINAPI DrawIcon(HDC hDC, int x, int y, HICON hIcon)
{
    TheWorld().drawn_icons.push_back({x, y, hIcon});
    LogCall("DrawIcon");
    return hDC != NULL && hIcon != NULL;
}
