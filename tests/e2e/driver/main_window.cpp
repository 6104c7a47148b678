#include "tests/e2e/driver/main_window.h"

#include "tests/e2e/driver/remote.h"
#include "tests/e2e/driver/report.h"
#include "ui/resource.h"

namespace e2e {

const char kMainCaption[] = "Tarvello";
const char kAboutCaption[] = "About Tarvello";

namespace {

constexpr unsigned kEditFacts = kTab | kBorder;
constexpr unsigned kBoxFacts = kEditFacts | kVScroll;

// The main window right after it opens.
const ControlRow kMainRows[] = {
    {IDOK, Kind::kDefault, "OK", 379, 549, 50, 14, kTab},
    {IDCANCEL, Kind::kPush, "Cancel", 344, 549, 34, 14, kTab | kHidden},
    {-1, Kind::kGroupBox, " RSA Decrypt ", 8, 8, 438, 372, 0},
    {-1, Kind::kGroupBox, " Configuration ", 15, 20, 423, 30, 0},
    {IDC_LOAD_CAPKS, Kind::kPush, "Load CAPKs ...", 27, 31, 128, 13, kTab},
    {IDC_USE_LOADED, Kind::kCheckBox, "Use loaded CAPKs", 208, 30, 88, 16, kTab},
    {IDC_CAPK_LIST, Kind::kDropList, "", 302, 30, 127, 135, kTab | kVScroll | kDisabled},
    {-1, Kind::kGroupBox, " CAPK ", 15, 54, 423, 113, 0},
    {-1, Kind::kText, "RID:", 28, 65, 17, 9, kGroup},
    {-1, Kind::kText, "Index:", 101, 65, 21, 9, kGroup},
    {-1, Kind::kText, "Checksum:", 221, 81, 36, 9, kGroup},
    {IDC_MODULUS, Kind::kMultiEdit, "", 27, 92, 402, 70, kBoxFacts | kWantReturn},
    {-1, Kind::kText, "Exponent:", 152, 65, 34, 9, kGroup},
    {IDC_EXP_3, Kind::kRadio, "3", 189, 65, 17, 9, kGroup},
    {IDC_EXP_65537, Kind::kRadio, "65537", 211, 65, 32, 9, 0},
    {-1, Kind::kGroupBox, " Encrypted Data ", 15, 176, 423, 88, 0},
    {IDC_ENCRYPTED, Kind::kMultiEdit, "", 27, 189, 402, 70, kBoxFacts},
    {-1, Kind::kGroupBox, " Decrypted Data ", 15, 270, 423, 104, 0},
    {IDC_DECRYPTED, Kind::kMultiEdit, "", 27, 300, 402, 70, kBoxFacts | kReadOnly},
    {IDC_DECRYPT, Kind::kPush, "Decrypt", 27, 283, 43, 13, kTab},
    {-1, Kind::kGroupBox, " SHA-1 Hashing ", 8, 387, 438, 157, 0},
    {-1, Kind::kGroupBox, " Data ", 15, 401, 423, 87, 0},
    {IDC_HASH_DATA, Kind::kMultiEdit, "", 27, 414, 402, 70, kBoxFacts},
    {IDC_HASH, Kind::kPush, "Hash", 27, 505, 43, 13, kTab},
    {-1, Kind::kGroupBox, " Checksum ", 15, 492, 423, 47, 0},
    {IDC_HASH_RESULT, Kind::kEdit, "", 27, 522, 402, 12, kEditFacts | kReadOnly},
    {IDC_CALC_CHECKSUM, Kind::kPush,
     "Calculate checksum for the loaded and currently selected CAPK", 77, 505, 254, 13,
     kTab | kDisabled},
    {IDC_RID, Kind::kEdit, "", 47, 63, 46, 12, kEditFacts | kReadOnly},
    {IDC_INDEX, Kind::kEdit, "", 126, 63, 15, 12, kEditFacts | kReadOnly},
    {IDC_CHECKSUM, Kind::kEdit, "", 261, 79, 168, 12, kEditFacts | kReadOnly},
    {-1, Kind::kText, "Modulus:", 28, 81, 33, 8, kGroup},
    // The template says "bytes"; the window opens with it blanked.
    {IDC_MODULUS_LEN, Kind::kText, "", 66, 81, 67, 8, kGroup},
    {-1, Kind::kText, nullptr, 19, 551, 103, 8, kGroup},
    {IDC_LINK_MAKER, Kind::kLink, nullptr, 130, 550, 94, 13, kTab},
    {IDC_LINK_PRODUCT, Kind::kLink, nullptr, 228, 550, 107, 13, kTab},
    {IDC_CLEAR_DECRYPTED, Kind::kPush, "Clear Decrypted Data", 335, 283, 94, 13, kTab},
    {IDC_CLEAR_HASH, Kind::kPush, "Clear Checksum", 365, 505, 64, 13, kTab},
};

const ControlRow kAboutRows[] = {
    {-1, Kind::kIcon, nullptr, 11, 17, 20, 20, 0},
    {-1, Kind::kText, "Tarvello Application", 40, 10, 98, 8, kGroup | kNoPrefix},
    {-1, Kind::kText, nullptr, 40, 25, 97, 8, kGroup},
    {IDOK, Kind::kDefault, "OK", 149, 22, 50, 36, kGroup | kTab},
    {IDC_ABOUT_LINK_PRODUCT, Kind::kLink, nullptr, 40, 40, 85, 15, kTab},
    {IDC_ABOUT_LINK_MAKER, Kind::kLink, nullptr, 40, 56, 85, 15, kTab},
};

void CheckWindowStyles(HWND main) {
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

void CheckMainStartState(HWND main) {
  CheckEq(TextOf(main), kMainCaption, "main window caption");
  CheckWindowStyles(main);
  // WM_GETICON answers 0 across processes under Wine even with an icon set;
  // the window tests check the icons, the screenshot shows the title-bar one.
  CheckLayout(main, "main", kMainRows, sizeof kMainRows / sizeof kMainRows[0], 454, 568);
  for (int id : {IDC_USE_LOADED, IDC_EXP_3, IDC_EXP_65537}) {
    CheckEq(CheckState(Item(main, id)), BST_UNCHECKED, Fmt("control %d starts unchecked", id));
  }
  HWND list = Item(main, IDC_CAPK_LIST);
  CheckEq(static_cast<long long>(ListItems(list).size()), 0, "key list starts empty");
  CheckEq(CurSel(list), CB_ERR, "key list has no selection");
  // The window manager part of Wine activates the window shortly after it shows.
  HWND ok = Item(main, IDOK);
  for (int i = 0; i < 50 && FocusOf(main) != ok; ++i) Sleep(100);
  CheckEq(reinterpret_cast<long long>(FocusOf(main)), reinterpret_cast<long long>(ok),
          "keyboard focus on \"OK\"");
}

void CheckAboutBox(HWND about) {
  CheckEq(TextOf(about), kAboutCaption, "About box caption");
  CheckLayout(about, "about", kAboutRows, sizeof kAboutRows / sizeof kAboutRows[0], 211, 81);
  HWND icon = Children(about).front();
  Check(Send(icon, STM_GETICON) != 0, "About box shows an icon");
}

}  // namespace e2e
