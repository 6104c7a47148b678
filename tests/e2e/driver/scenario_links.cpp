// The hyperlink look of the Windows backend, checked in this process on a
// window of its own: a push button given the link behaviour paints its
// caption in link colour, underlined, on the window's background with no
// button frame (also while pressed), shows the hand cursor, and a click
// opens the caption's address with the shell, after which it paints in the
// visited colour. A plain push button is measured the same way to show the
// measures tell the two apart.
#include <windows.h>

#include <string>

#include "afx/afx_seam.h"
#include "tests/e2e/driver/report.h"
#include "tests/e2e/driver/scenarios.h"
#include "tests/e2e/driver/shell_record.h"

namespace e2e {

namespace {

const COLORREF kLinkColour = RGB(0, 0, 255);
const COLORREF kVisitedColour = RGB(128, 0, 128);
const char kAddress[] = "https://tarvello.example/link-check";

// What a button shows on the screen.
struct Look {
    int link_pixels = 0;     // pixels of the link colour
    int visited_pixels = 0;  // pixels of the visited colour
    int longest_run = 0;     // longest horizontal run of one of those colours
    int other_pixels = 0;    // pixels of neither those colours nor the background
    bool frameless = true;   // top and bottom rows and right column are all background
    std::string frame_at;    // where the first frame pixel was seen
};

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

Look LookOf(HWND button, COLORREF background)
{
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pump(200);
    RECT client;
    GetClientRect(button, &client);
    HDC dc = GetDC(button);
    Look look;
    for (int y = 0; y < client.bottom; ++y) {
        int run = 0;
        for (int x = 0; x < client.right; ++x) {
            COLORREF pixel = GetPixel(dc, x, y);
            // The caption starts at the left edge, so that edge is not looked at.
            bool edge = y == 0 || x == client.right - 1 || y == client.bottom - 1;
            if (edge && pixel != background && look.frameless) {
                look.frameless = false;
                look.frame_at = Fmt("(%d,%d) is 0x%06lX, not 0x%06lX", x, y, pixel, background);
            }
            if (pixel == kLinkColour)
                ++look.link_pixels;
            if (pixel == kVisitedColour)
                ++look.visited_pixels;
            if (pixel != kLinkColour && pixel != kVisitedColour && pixel != background) {
                ++look.other_pixels;
            }
            run = (pixel == kLinkColour || pixel == kVisitedColour) ? run + 1 : 0;
            if (run > look.longest_run)
                look.longest_run = run;
        }
    }
    ReleaseDC(button, dc);
    return look;
}

struct Bench {
    HWND frame = nullptr;
    HWND link = nullptr;
    HWND plain = nullptr;
    HFONT font = nullptr;
    int text_width = 0;  // of the caption in the font, pixels
};

HWND MakeButton(HWND frame, int y, int id, HFONT font)
{
    HWND button =
        CreateWindowA("BUTTON", kAddress, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, y,
                      300, 24, frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      GetModuleHandleA(nullptr), nullptr);
    if (button == nullptr)
        Fail("cannot create a push button");
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return button;
}

Bench MakeBench()
{
    Bench bench;
    bench.frame =
        CreateWindowExA(0, "#32770", "link check", WS_POPUP | WS_VISIBLE | WS_CAPTION, 200, 200,
                        360, 140, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (bench.frame == nullptr)
        Fail("cannot create the check window");
    bench.font =
        CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    bench.link = MakeButton(bench.frame, 10, 100, bench.font);
    bench.plain = MakeButton(bench.frame, 50, 101, bench.font);
    AfxPlatformAttachUrlLink(bench.link);
    HDC dc = GetDC(bench.link);
    HGDIOBJ old = SelectObject(dc, bench.font);
    SIZE size{};
    GetTextExtentPoint32A(dc, kAddress, static_cast<int>(sizeof kAddress - 1), &size);
    SelectObject(dc, old);
    ReleaseDC(bench.link, dc);
    bench.text_width = size.cx;
    Pump(300);
    return bench;
}

// The dialog background just left of the buttons.
COLORREF Background(const Bench& bench)
{
    HDC dc = GetDC(bench.frame);
    COLORREF colour = GetPixel(dc, 4, 20);
    ReleaseDC(bench.frame, dc);
    return colour;
}

void CheckLinkLook(const Look& look, int text_width, const char* when)
{
    Check(look.link_pixels > 0,
          Fmt("link %s: caption in link colour (%d pixels)", when, look.link_pixels));
    Check(look.longest_run * 10 >= text_width * 9,
          Fmt("link %s: underlined (a run of %d pixels under %d pixels of text)", when,
              look.longest_run, text_width));
    Check(look.frameless, Fmt("link %s: no button frame %s", when, look.frame_at.c_str()));
}

}  // namespace

void ScenarioLinks(const Options&)
{
    Bench bench = MakeBench();
    COLORREF background = Background(bench);

    Look plain = LookOf(bench.plain, background);
    Check(plain.link_pixels == 0 && !plain.frameless,
          "a plain push button has a frame and no link colour (the measures tell them apart)");

    CheckLinkLook(LookOf(bench.link, background), bench.text_width, "at rest");
    SendMessageA(bench.link, BM_SETSTATE, TRUE, 0);
    CheckLinkLook(LookOf(bench.link, background), bench.text_width, "pressed");
    SendMessageA(bench.link, BM_SETSTATE, FALSE, 0);

    // Keyboard focus: a dotted rectangle around the caption (half its
    // perimeter of dots at least), still no frame.
    Look unfocused = LookOf(bench.link, background);
    SendMessageA(bench.frame, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    SetForegroundWindow(bench.frame);
    SetFocus(bench.link);
    Look focused = LookOf(bench.link, background);
    Check(GetFocus() == bench.link &&
              focused.other_pixels - unfocused.other_pixels >= bench.text_width,
          Fmt("link focused: focus rectangle drawn (%d more pixels)",
              focused.other_pixels - unfocused.other_pixels));
    Check(focused.frameless, "link focused: no button frame " + focused.frame_at);
    SetFocus(bench.frame);

    HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));      // IDC_ARROW
    SendMessageA(bench.link, WM_SETCURSOR, reinterpret_cast<WPARAM>(bench.link),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    Check(GetCursor() == hand, "link: hand cursor over it");

    if (HaveOpenedFile()) {
        ClearOpened();
        SendMessageA(bench.link, BM_CLICK, 0, 0);
        WaitOpened(kAddress, "link clicked");
        Look visited = LookOf(bench.link, background);
        Check(visited.visited_pixels > 0 && visited.link_pixels == 0,
              "link: painted in the visited colour once opened");
    } else {
        Note("no record file for opened addresses: link click not checked");
    }
    DestroyWindow(bench.frame);
    DeleteObject(bench.font);
}

}  // namespace e2e
