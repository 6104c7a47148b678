// The scenarios of the end-to-end driver. Each starts the program, drives it
// as a user would and ends it with "OK".
#pragma once

#include <string>

namespace e2e {

struct Options {
    std::string program;  // Tarvello.exe (Windows path)
    std::string expect;   // expectation file of the commands scenario
    std::string data;     // the CAPK list file to load
    std::string shots;    // screenshot folder
    std::string opened;   // record of addresses opened with the shell
};

// The hyperlink look of the Windows backend, on a window of the driver's own.
void ScenarioLinks(const Options& options);

// The window as it opens (manual mode), the About box, the end by "OK".
void ScenarioStart(const Options& options);

// The other ways out: minimise and restore, then the close box; Escape.
void ScenarioEnds(const Options& options);

// Load, browse, checksum, decrypt, hash and every message box.
void ScenarioCommands(const Options& options);

}  // namespace e2e
