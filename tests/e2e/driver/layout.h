// Checks a dialog's controls against a table in template order: window class,
// kind, text, id, style facts, visibility, availability, check state and
// place. Places are compared in pixels after scaling the template's dialog
// units by the dialog's own client size.
#pragma once

#include <windows.h>

namespace e2e {

enum class Kind {
  kPush,     // push button
  kDefault,  // default push button
  kGroupBox,
  kCheckBox,   // automatic check box
  kRadio,      // automatic radio button
  kDropList,   // drop-down list without edit field
  kText,       // static text, left aligned
  kIcon,       // static icon (sizes itself to the icon)
  kEdit,       // single-line edit
  kMultiEdit,  // multi-line edit
  kLink,       // hyperlink button: a push button of the template
};

// Style facts of a control, or-ed.
enum Fact : unsigned {
  kTab = 1u << 0,
  kGroup = 1u << 1,
  kHidden = 1u << 2,
  kDisabled = 1u << 3,
  kReadOnly = 1u << 4,
  kVScroll = 1u << 5,
  kWantReturn = 1u << 6,
  kBorder = 1u << 7,
  kNoPrefix = 1u << 8,
};

struct ControlRow {
  int id;  // -1: no id
  Kind kind;
  const char* text;  // nullptr: the implementer's text (a notice, or a link's address)
  int x, y, w, h;    // dialog units
  unsigned facts;
};

// Checks every child of `dialog` against `rows` (and that there are no more
// children). `name` prefixes the check lines.
void CheckLayout(HWND dialog, const char* name, const ControlRow* rows, int count, int width_du,
                 int height_du);

}  // namespace e2e
