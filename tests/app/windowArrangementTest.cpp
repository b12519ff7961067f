#include <gtest/gtest.h>

#include "app/windowArrangement.h"

namespace {

TEST(WindowArrangement, StackedWindowsShareTheHeightAndCoverTheArea) {
    const QRect area(0, 0, 600, 301);
    const QList<QRect> places = TileStacked(area, 3);
    ASSERT_EQ(places.size(), 3);
    EXPECT_EQ(places[0], QRect(0, 0, 600, 100));
    EXPECT_EQ(places[1], QRect(0, 100, 600, 100));
    EXPECT_EQ(places[2], QRect(0, 200, 600, 101));  // the rest goes to the last window
    EXPECT_TRUE(TileStacked(area, 0).isEmpty());
}

TEST(WindowArrangement, SideBySideWindowsShareTheWidth) {
    const QList<QRect> places = TileSideBySide(QRect(10, 20, 301, 200), 2);
    ASSERT_EQ(places.size(), 2);
    EXPECT_EQ(places[0], QRect(10, 20, 150, 200));
    EXPECT_EQ(places[1], QRect(160, 20, 151, 200));
}

TEST(WindowArrangement, IconsLineUpFromTheBottomLeft) {
    const QList<QRect> places = ArrangeIcons(QRect(0, 0, 250, 300), QSize(100, 30), 3);
    ASSERT_EQ(places.size(), 3);
    EXPECT_EQ(places[0], QRect(0, 270, 100, 30));
    EXPECT_EQ(places[1], QRect(100, 270, 100, 30));
    EXPECT_EQ(places[2], QRect(0, 240, 100, 30));  // two fit in a row
}

}  // namespace
