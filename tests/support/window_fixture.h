// The one fixture of the window tests: the main window run on the simulated
// window system with the program's compiled resources, driven as a user
// would, and what it shows read back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/sim/sim.h"
#include "tests/support/capk_list.h"
#include "tests/support/oracles.h"
#include "ui/MainDlg.h"

namespace support {

// One message box as the user sees it.
struct Box {
    std::string text;
    std::string caption;
    UINT style;
    bool operator==(const Box& o) const
    {
        return text == o.text && caption == o.caption && style == o.style;
    }
};
void PrintTo(const Box& b, std::ostream* os);

// Message boxes shown since the last sim::ClearLog().
std::vector<Box> Boxes();

// What the user can see of one control.
struct ControlView {
    int id;
    std::string text;
    int check;
    bool enabled;
    bool visible;
    bool read_only;                  // edits only
    std::vector<std::string> items;  // drop-down list entries
    int cur_sel;
    bool operator==(const ControlView& o) const;
};
void PrintTo(const ControlView& v, std::ostream* os);

// Every control with an id, in template order.
std::vector<ControlView> Capture(HWND dlg);

// Expects every control but those in `changed` to look as in `before`.
void ExpectUnchangedExcept(const std::vector<ControlView>& before,
                           const std::vector<ControlView>& after, const std::vector<int>& changed);

// Bytes of a text in the hex display form. The form itself is checked
// strictly: two uppercase digits and one blank per byte, CR LF before every
// 33rd, 65th, ... byte, nothing else. A violation is a test failure.
std::vector<uint8_t> ParseDisplay(const std::string& text);

// Bytes on each line of a text in the display form ("XX " groups between
// CR LF); an empty text has no line.
std::vector<size_t> LineBytes(const std::string& display);

// Hex text of bytes in any layout the user might type: lower case, with the
// given separator after every byte.
std::string TypedHex(const std::vector<uint8_t>& bytes, const std::string& separator = "");

// Owned copy of the window's table, for before/after comparisons.
std::unique_ptr<CapkTable> CopyTable(const CapkTable& table);
bool SameTable(const CapkTable& a, const CapkTable& b);

// Deterministic bytes for a test case.
std::vector<uint8_t> RandomBytes(uint32_t seed, size_t n);
// An odd modulus of n bytes with its top bit set.
std::vector<uint8_t> RandomModulus(uint32_t seed, size_t n);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a CMainDlg modally as the application's main window (dialogs
    // opened without a parent, the About box, are owned by it); `body`
    // drives the running window and may end it. Returns DoModal's result.
    int RunMain(const std::function<void(HWND dlg, CMainDlg& main)>& body);
    // RunMain, then "OK" ends the window if the body left it open.
    void Run(const std::function<void(HWND dlg, CMainDlg& main)>& body);

    // Writes a file into this test's own temporary folder; returns its path.
    std::string WriteFile(const std::string& name, const std::string& content);
    // A path in the temporary folder that does not exist.
    std::string MissingPath() const;

    // Picks path in the file dialog of "Load CAPKs ...".
    static void Load(HWND dlg, const std::string& path);

    TempDir dir_;
};
using CommandsTest = WindowTest;

}  // namespace support
