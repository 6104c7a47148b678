// Shared set-up of the afx tests: the test resources loaded, the sim reset.
#ifndef TARVELLO_TESTS_AFX_SIM_FIXTURE_H
#define TARVELLO_TESTS_AFX_SIM_FIXTURE_H

#include <gtest/gtest.h>

#include <functional>

#include "afx/afxwin.h"
#include "tests/sim/sim.h"
#include "afx_test_resource.h"

class SimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::LoadResources(AFX_TEST_RES);
        sim::Reset();
    }
};

// Runs `dlg` modally with `script` as the user.
template <class Dialog>
int RunModal(Dialog& dlg, std::function<void(HWND)> script)
{
    sim::OnNextModal(std::move(script));
    return dlg.DoModal();
}

#endif  // TARVELLO_TESTS_AFX_SIM_FIXTURE_H
