// What the driver knows of the main window and the About box: their captions
// and their controls in template order.
#pragma once

#include <windows.h>

#include "tests/e2e/driver/layout.h"

namespace e2e {

extern const char kMainCaption[];
extern const char kAboutCaption[];

// Checks every control of the main window in its start state (manual mode,
// nothing loaded) and the window's own styles.
void CheckMainStartState(HWND main);

// Checks the controls of an open About box.
void CheckAboutBox(HWND about);

}  // namespace e2e
