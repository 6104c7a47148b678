// Shared set-up of the window-shell tests: fresh simulated window system,
// the program's own resources, and a way to run the main window modally.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/sim/sim.h"
#include "ui/MainDlg.h"

namespace shell {

// Ids of every main-window control that has one, in template order.
extern const std::vector<int> kMainIds;

// What the user can see of one control, for before/after comparisons.
struct View {
    int id;
    std::string text;
    int check;
    bool enabled;
    bool visible;
    bool read_only;
    std::vector<std::string> items;
    int cur_sel;
    bool operator==(const View& o) const;
};
void PrintTo(const View& v, std::ostream* os);
std::vector<View> Snapshot(HWND dlg);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Runs a CMainDlg modally as the application's main window; `body`
    // drives the running window (it may end it). Returns DoModal's result.
    int RunMain(const std::function<void(HWND dlg, CMainDlg& main)>& body);
};

}  // namespace shell
