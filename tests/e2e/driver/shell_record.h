// The web addresses the program opens with the shell. The calling script
// registers this driver as the prefix's handler for http and https
// addresses ("tarvello_e2e --record-open <file> <address>"), so an opened
// link appends its address to a file instead of starting a browser.
#pragma once

#include <string>

namespace e2e {

// Handler mode: appends `address` and a line break to `file`. Returns the
// process exit code.
int RecordOpen(const std::string& file, const std::string& address);

// Sets the record file (a Windows path); empty disables the link checks.
void SetOpenedFile(const std::string& file);
bool HaveOpenedFile();

// Forgets what was recorded so far.
void ClearOpened();

// Waits until `address` has been recorded as opened; fails the run after
// the timeout.
void WaitOpened(const std::string& address, const std::string& what);

}  // namespace e2e
