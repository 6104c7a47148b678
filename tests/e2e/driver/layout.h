// Checks a dialog's controls against its template, read from the program's
// own resources: window class, id, text, kind and style facts, visibility,
// availability and place. Places are compared in pixels after scaling the
// template's dialog units by the dialog's own client size.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "tests/support/dialog_template.h"

namespace e2e {

// Checks every child of `dialog` against the controls of `t` (and that there
// are no more children). `start_texts` holds the texts the program sets
// before the window shows, by control id; every other control must show its
// template text. `name` prefixes the check lines.
void CheckLayout(HWND dialog, const char* name, const support::DialogTemplate& t,
                 const std::map<int, std::string>& start_texts);

}  // namespace e2e
