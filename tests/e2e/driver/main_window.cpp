#include "tests/e2e/driver/main_window.h"

#include "tests/e2e/driver/program_templates.h"
#include "tests/e2e/driver/remote.h"
#include "tests/e2e/driver/report.h"
#include "ui/resource.h"

namespace e2e {

const char kMainCaption[] = "Tarvello";
const char kAboutCaption[] = "About Tarvello";

namespace {

void CheckWindowStyles(HWND main)
{
    LONG style = Style(main);
    LONG want = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME;
    Check((style & want) == want, Fmt("main window: pop-up, visible, caption, system menu, "
                                      "minimise box, modal frame (style 0x%08lX)",
                                      style));
    Check((style & WS_MAXIMIZEBOX) == 0, "main window: no maximise box");
    Check((style & WS_THICKFRAME) == 0, "main window: no sizing border");
    Check((ExStyle(main) & WS_EX_APPWINDOW) != 0, "main window: application window");
}

}  // namespace

void CheckMainStartState(HWND main)
{
    CheckEq(TextOf(main), kMainCaption, "main window caption");
    CheckWindowStyles(main);
    // WM_GETICON answers 0 across processes under Wine even with an icon set;
    // the window tests check the icons, the screenshot shows the title-bar one.
    // The template says "bytes" beside the modulus; the window opens with it blanked.
    CheckLayout(main, "main", ProgramTemplate(IDD_MAIN), {{IDC_MODULUS_LEN, ""}});
    for (int id : {IDC_USE_LOADED, IDC_EXP_3, IDC_EXP_65537}) {
        CheckEq(CheckState(Item(main, id)), BST_UNCHECKED, Fmt("control %d starts unchecked", id));
    }
    HWND list = Item(main, IDC_CAPK_LIST);
    CheckEq(static_cast<long long>(ListItems(list).size()), 0, "key list starts empty");
    CheckEq(CurSel(list), CB_ERR, "key list has no selection");
    // The window manager part of Wine activates the window shortly after it shows.
    HWND ok = Item(main, IDOK);
    for (int i = 0; i < 50 && FocusOf(main) != ok; ++i)
        Sleep(100);
    CheckEq(reinterpret_cast<long long>(FocusOf(main)), reinterpret_cast<long long>(ok),
            "keyboard focus on \"OK\"");
}

void CheckAboutBox(HWND about)
{
    CheckEq(TextOf(about), kAboutCaption, "About box caption");
    CheckLayout(about, "about", ProgramTemplate(IDD_ABOUTBOX), {});
    HWND icon = Children(about).front();
    Check(Send(icon, STM_GETICON) != 0, "About box shows an icon");
}

}  // namespace e2e
