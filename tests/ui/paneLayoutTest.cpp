#include <gtest/gtest.h>

#include "ui/paneLayout.h"

namespace {

struct ReleaseRow {
    const char *name;
    int outerHeight;
    double y;
    int editorHeight;  // after the release
    int handleTop;
};

class SplitterReleaseTest : public testing::TestWithParam<ReleaseRow> {};

TEST_P(SplitterReleaseTest, GivesTheEditorItsLimitedHeight) {
    const ReleaseRow &row = GetParam();
    const PaneLayout layout = LayoutPanes(PaneLayout{}, row.y, LayoutMode::SplitterReleased,
                                          row.outerHeight, row.outerHeight - 400);
    EXPECT_EQ(layout.editorHeight, row.editorHeight);
    EXPECT_EQ(layout.handleTop, row.handleTop);
    EXPECT_EQ(layout.gridTop, layout.editorHeight + 50);
}

const ReleaseRow kReleases[] = {
    {"below_lower_limit", 10000, 600, 1500, 1500},
    {"at_lower_limit", 10000, 1500, 1500, 1500},
    {"in_between", 10000, 4321, 4321, 4321},
    {"fraction_rounded", 10000, 4321.6, 4322, 4322},
    {"above_upper_limit", 10000, 9500, 7000, 7000},
    {"at_upper_limit", 10000, 7000, 7000, 7000},
    {"low_window_upper_limit_wins", 4000, 1800, 1000, 1000},
    {"low_window_even_below_1500", 3500, 600, 500, 500},
    {"negative_height_keeps_editor_and_handle", 2000, 1800, 2055, 1980},
};

INSTANTIATE_TEST_SUITE_P(Panes, SplitterReleaseTest, testing::ValuesIn(kReleases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(LayoutPanes, ResizeKeepsTheEditorHeightAndGivesTheGridTheRest) {
    PaneLayout start;
    start.editorHeight = 3000;
    start.handleTop = 3000;
    const PaneLayout layout = LayoutPanes(start, 3000, LayoutMode::Resized, 9000, 8500);
    EXPECT_EQ(layout.editorHeight, 3000);
    EXPECT_EQ(layout.handleTop, 3000);
    EXPECT_EQ(layout.gridTop, 3050);
    EXPECT_EQ(layout.gridHeight, 8500 - 3080);
    // A resize never applies y, even one far outside the limits.
    EXPECT_EQ(LayoutPanes(start, 100, LayoutMode::Resized, 9000, 8500).editorHeight, 3000);
}

TEST(LayoutPanes, GridKeepsItsHeightWhenTheWindowIsTooLow) {
    PaneLayout start;
    start.gridHeight = 777;
    const PaneLayout layout = LayoutPanes(start, 1980, LayoutMode::Resized, 2500, 2000);
    EXPECT_EQ(layout.editorHeight, 2055);
    EXPECT_EQ(layout.gridHeight, 777);
    EXPECT_EQ(LayoutPanes(start, 1980, LayoutMode::Resized, 2635, 2135).gridHeight, 0);
}

TEST(SplitterBarTop, StaysBetween500AndHeightLess500) {
    EXPECT_EQ(SplitterBarTop(499, 10000), 500);
    EXPECT_EQ(SplitterBarTop(-100, 10000), 500);
    EXPECT_EQ(SplitterBarTop(500, 10000), 500);
    EXPECT_EQ(SplitterBarTop(4000, 10000), 4000);
    EXPECT_EQ(SplitterBarTop(9500, 10000), 9500);
    EXPECT_EQ(SplitterBarTop(9501, 10000), 9500);
}

}  // namespace
