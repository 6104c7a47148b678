// Screenshots are taken outside Wine by the calling script: the driver writes
// "<name>.req" with the window's screen rectangle ("x y w h") into the shots
// folder and waits for "<name>.done".
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Sets the shots folder (a Windows path); empty disables screenshots.
void SetShotsFolder(const std::string& folder);

// Asks for a screenshot of `window` (its frame included) as <name>.png and
// waits until it is written. Fails the run if the script does not answer.
void Screenshot(HWND window, const std::string& name);

}  // namespace e2e
