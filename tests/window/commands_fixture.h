// Shared set-up of the command tests: run the main window on the simulated
// backend, drive it as a user would, and read what it shows.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/sim/sim.h"
#include "ui/MainDlg.h"

namespace commands {

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
    bool read_only;
    std::vector<std::string> items;   // drop-down list entries
    int cur_sel;
    bool operator==(const ControlView& o) const;
};
void PrintTo(const ControlView& v, std::ostream* os);

// Every control with an id, in template order.
std::vector<ControlView> Capture(HWND dlg);

// Expects every control but those in `changed` to look as in `before`.
void ExpectUnchangedExcept(const std::vector<ControlView>& before,
                           const std::vector<ControlView>& after,
                           const std::vector<int>& changed);

// Bytes of a text in the hex display form. The form itself is checked
// strictly: two uppercase digits and one blank per byte, CR LF before every
// 33rd, 65th, ... byte, nothing else. A violation is a test failure.
std::vector<uint8_t> ParseDisplay(const std::string& text);

// Bytes on each line of a text in the display form ("XX " groups between
// CR LF); an empty text has no line.
std::vector<size_t> LineBytes(const std::string& display);

// Bytes of compact hex (two uppercase digits per byte, nothing else).
std::vector<uint8_t> ParseCompact(const std::string& text);

// Hex text of bytes in any layout the user might type: lower case, with the
// given separator after every byte.
std::string TypedHex(const std::vector<uint8_t>& bytes, const std::string& separator = "");

// Owned copy of the window's table, for before/after comparisons.
std::unique_ptr<CapkTable> CopyTable(const CapkTable& table);
bool SameTable(const CapkTable& a, const CapkTable& b);

// One key as written into a list file.
struct ListKey {
    std::vector<uint8_t> rid;
    uint8_t index;
    std::vector<uint8_t> modulus;
    int exponent;
    std::vector<uint8_t> checksum;   // empty: the SHA-1 of the checksum input
};
// Checksum input of a key: RID | index | modulus | 03 or 01 00 01.
std::vector<uint8_t> ChecksumInput(const ListKey& key);
std::vector<uint8_t> Sha1(const std::vector<uint8_t>& data);
// The key in the five tagged lines of a list file.
std::string ListEntry(const ListKey& key);

// Deterministic bytes for a test case.
std::vector<uint8_t> RandomBytes(uint32_t seed, size_t n);
// An odd modulus of n bytes with its top bit set.
std::vector<uint8_t> RandomModulus(uint32_t seed, size_t n);
// in^e mod n right-aligned in n's byte length, computed by GMP.
std::vector<uint8_t> PowMod(const std::vector<uint8_t>& in, unsigned long e,
                            const std::vector<uint8_t>& n);

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the main window modally; body drives it, then "OK" ends it.
    void Run(const std::function<void(HWND dlg, CMainDlg& main)>& body);

    // Writes a file into this test's own temporary folder; returns its path.
    std::string WriteFile(const std::string& name, const std::string& content);
    // A path in the temporary folder that does not exist.
    std::string MissingPath() const;

    // Picks path in the file dialog of "Load CAPKs ...".
    static void Load(HWND dlg, const std::string& path);

    std::string dir_;
};

// The three-key list file of the format's worked example: two keys accepted
// (A000000999_F1 with exponent 3, A000000999_F2 with 65537), one dropped.
extern const char kWorkedExample[];

}  // namespace commands
