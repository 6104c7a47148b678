#include "tests/e2e/driver/layout.h"

#include <cmath>
#include <string>
#include <vector>

#include "tests/e2e/driver/remote.h"
#include "tests/e2e/driver/report.h"

namespace e2e {

namespace {

// Pixels per dialog unit may round differently from the system's own
// conversion; two pixels of slack still catch a misplaced control.
constexpr double kSlackPx = 2.0;

const char* ClassFor(Kind kind) {
  switch (kind) {
    case Kind::kText:
    case Kind::kIcon:
      return "Static";
    case Kind::kEdit:
    case Kind::kMultiEdit:
      return "Edit";
    case Kind::kDropList:
      return "ComboBox";
    default:
      return "Button";
  }
}

// The style bits that tell the kind, and their value for it.
void KindBits(Kind kind, LONG* mask, LONG* value) {
  switch (kind) {
    case Kind::kPush:
    case Kind::kLink:
      *mask = BS_TYPEMASK;
      *value = BS_PUSHBUTTON;
      return;
    case Kind::kDefault:
      *mask = BS_TYPEMASK;
      *value = BS_DEFPUSHBUTTON;
      return;
    case Kind::kGroupBox:
      *mask = BS_TYPEMASK;
      *value = BS_GROUPBOX;
      return;
    case Kind::kCheckBox:
      *mask = BS_TYPEMASK;
      *value = BS_AUTOCHECKBOX;
      return;
    case Kind::kRadio:
      *mask = BS_TYPEMASK;
      *value = BS_AUTORADIOBUTTON;
      return;
    case Kind::kDropList:
      *mask = 0x3 | CBS_SORT;
      *value = CBS_DROPDOWNLIST;
      return;
    case Kind::kText:
      *mask = SS_TYPEMASK;
      *value = SS_LEFT;
      return;
    case Kind::kIcon:
      *mask = SS_TYPEMASK;
      *value = SS_ICON;
      return;
    case Kind::kEdit:
      *mask = ES_MULTILINE | ES_AUTOHSCROLL;
      *value = 0;
      return;
    case Kind::kMultiEdit:
      *mask = ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL;
      *value = ES_MULTILINE;
      return;
  }
  *mask = 0;
  *value = 0;
}

void CheckFact(const std::string& where, const char* fact, bool got, bool want) {
  if (got != want) Fail(Fmt("%s: %s is %s", where.c_str(), fact, got ? "set" : "not set"));
}

void CheckFacts(HWND control, const ControlRow& row, const std::string& where) {
  LONG style = Style(control);
  LONG mask = 0, value = 0;
  KindBits(row.kind, &mask, &value);
  if ((style & mask) != value)
    Fail(Fmt("%s: style 0x%08lX is not of its kind", where.c_str(), style));
  CheckFact(where, "WS_TABSTOP", (style & WS_TABSTOP) != 0, (row.facts & kTab) != 0);
  CheckFact(where, "WS_GROUP", (style & WS_GROUP) != 0, (row.facts & kGroup) != 0);
  CheckFact(where, "visible", Visible(control), (row.facts & kHidden) == 0);
  CheckFact(where, "enabled", Enabled(control), (row.facts & kDisabled) == 0);
  // A combo box hands its scroll bar style on to its list.
  if (row.kind != Kind::kDropList) {
    CheckFact(where, "WS_VSCROLL", (style & WS_VSCROLL) != 0, (row.facts & kVScroll) != 0);
  }
  if (row.kind == Kind::kEdit || row.kind == Kind::kMultiEdit) {
    CheckFact(where, "ES_READONLY", ReadOnly(control), (row.facts & kReadOnly) != 0);
    CheckFact(where, "ES_WANTRETURN", (style & ES_WANTRETURN) != 0, (row.facts & kWantReturn) != 0);
    bool border = (style & WS_BORDER) != 0 || (ExStyle(control) & WS_EX_CLIENTEDGE) != 0;
    CheckFact(where, "border", border, (row.facts & kBorder) != 0);
  }
  if (row.kind == Kind::kText) {
    CheckFact(where, "SS_NOPREFIX", (style & SS_NOPREFIX) != 0, (row.facts & kNoPrefix) != 0);
  }
}

void CheckText(HWND control, const ControlRow& row, const std::string& where) {
  std::string text = TextOf(control);
  if (row.text != nullptr) {
    RequireEq(text, row.text, where + " text");
  } else if (row.kind == Kind::kLink) {
    if (text.find(".example") == std::string::npos) Fail(where + ": no web address: " + text);
  } else if (row.kind != Kind::kIcon) {
    if (text.empty()) Fail(where + ": no text");
  }
}

void CheckPlace(HWND control, const ControlRow& row, const std::string& where, double sx,
                double sy) {
  RECT r = RectInParent(control);
  struct {
    const char* name;
    double got, want;
  } sides[] = {
      {"x", static_cast<double>(r.left), row.x * sx},
      {"y", static_cast<double>(r.top), row.y * sy},
      {"width", static_cast<double>(r.right - r.left), row.w * sx},
      {"height", static_cast<double>(r.bottom - r.top), row.h * sy},
  };
  // A drop-down list's template height is that of the opened list; an icon
  // sizes itself to its image.
  int checked = row.kind == Kind::kDropList ? 3 : row.kind == Kind::kIcon ? 2 : 4;
  for (int i = 0; i < checked; ++i) {
    if (std::fabs(sides[i].got - sides[i].want) > kSlackPx) {
      Fail(Fmt("%s: %s is %.0f px, the template puts it at %.1f px", where.c_str(), sides[i].name,
               sides[i].got, sides[i].want));
    }
  }
}

}  // namespace

void CheckLayout(HWND dialog, const char* name, const ControlRow* rows, int count, int width_du,
                 int height_du) {
  RECT client{};
  GetClientRect(dialog, &client);
  double sx = client.right / static_cast<double>(width_du);
  double sy = client.bottom / static_cast<double>(height_du);
  Note(Fmt("%s: client area %ld x %ld px for %d x %d dialog units", name, client.right,
           client.bottom, width_du, height_du));
  std::vector<HWND> children = Children(dialog);
  CheckEq(static_cast<long long>(children.size()), count, Fmt("%s: number of controls", name));
  for (int i = 0; i < count; ++i) {
    const ControlRow& row = rows[i];
    HWND control = children[static_cast<size_t>(i)];
    std::string where = Fmt("%s control #%d (id %d)", name, i + 1, row.id);
    int id = GetDlgCtrlID(control);
    if (row.id < 0 ? (id & 0xFFFF) != 0xFFFF : id != row.id) {
      Fail(Fmt("%s: id is %d", where.c_str(), id));
    }
    RequireEq(ClassOf(control), ClassFor(row.kind), where + " class");
    CheckFacts(control, row, where);
    CheckText(control, row, where);
    CheckPlace(control, row, where, sx, sy);
    Pass(Fmt("%s: %s \"%s\": kind, styles, state and place", where.c_str(),
             ClassOf(control).c_str(), TextOf(control).c_str()));
  }
}

}  // namespace e2e
