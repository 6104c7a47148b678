// The sim's reader of the compiled resource file, on the afx tests' own .res:
// what it keeps, and that a cut file is refused rather than read past its end.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "afx_test_resource.h"
#include "tests/sim/sim_resources.h"

namespace {

std::vector<uint8_t> ResBytes()
{
    std::ifstream in(AFX_TEST_RES, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

TEST(ResReaderTest, KeepsTemplatesStringsAndIconGroups)
{
    sim::detail::Resources r = sim::detail::ReadResources(ResBytes());
    ASSERT_EQ(r.dialogs.size(), 3u);
    const sim::DialogTemplate& all = r.dialogs.at(IDD_ALL);
    EXPECT_EQ(all.controls.size(), 19u);
    EXPECT_EQ(all.font_face, "MS Gothic");
    EXPECT_EQ(all.controls[5].window_class, "Static");
    EXPECT_EQ(all.controls[5].resource_id, IDI_TEST);     // the icon, by ordinal
    EXPECT_EQ(all.controls[13].window_class, "Button");   // named "Button" in the script
    EXPECT_EQ(r.dialogs.at(IDD_SMALL).caption, "Small");  // the DIALOG (not EX) layout
    EXPECT_EQ(r.strings.at(IDS_QUOTE), "say \"hi\" & go");
    EXPECT_EQ(r.strings.count(IDS_EMPTY_NEIGHBOUR), 0u);
    EXPECT_EQ(r.icon_groups.count(IDI_TEST), 1u);
}

// A cut file is refused once a record runs past its end; the reader never
// reads past the bytes it was given (ASan would see it).
TEST(ResReaderTest, CutFilesAreRefused)
{
    std::vector<uint8_t> bytes = ResBytes();
    ASSERT_GT(bytes.size(), 64u);
    int refused = 0;
    for (size_t n = 1; n < bytes.size(); ++n) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        cut.shrink_to_fit();
        try {
            sim::detail::Resources r = sim::detail::ReadResources(cut);
            EXPECT_LE(r.dialogs.size(), 3u);
        } catch (const std::runtime_error&) {
            ++refused;
        }
    }
    EXPECT_GT(refused, static_cast<int>(bytes.size() / 2));
}

}  // namespace
