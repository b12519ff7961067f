#include <gtest/gtest.h>

#include "ui/windowArrangement.h"

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

TEST(WindowArrangement, CascadedWindowsShareOneSizeAndShowEveryTitleBar) {
    const struct {
        const char *name;
        QRect area;
        int count;
        QSize size;
        QList<int> offsets;  // of each window from the top left, right and down alike
    } cases[] = {
        {"three quarters of a roomy area",
         QRect(0, 0, 1000, 600),
         4,
         QSize(750, 450),
         {0, 24, 48, 72}},
        {"smaller, to keep many on one diagonal",
         QRect(0, 0, 1000, 600),
         10,
         QSize(750, 384),
         {0, 24, 48, 72, 96, 120, 144, 168, 192, 216}},
        {"past the usable size the stagger starts again",
         QRect(0, 0, 600, 400),
         9,
         QSize(408, 240),
         {0, 24, 48, 72, 96, 120, 144, 0, 24}},
        {"an area below the usable size", QRect(0, 0, 300, 200), 2, QSize(300, 200), {0, 0}},
        {"an area away from the origin", QRect(10, 20, 1000, 600), 2, QSize(750, 450), {0, 24}},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        const QList<QRect> places = CascadePlaces(row.area, row.count, 24);
        ASSERT_EQ(places.size(), row.count);
        for (int i = 0; i < row.count; ++i) {
            EXPECT_EQ(places[i],
                      QRect(row.area.topLeft() + QPoint(row.offsets[i], row.offsets[i]), row.size))
                << i;
            EXPECT_TRUE(row.area.contains(places[i])) << i;
        }
    }
}

TEST(WindowArrangement, ANewWindowTakesTheFirstFreeCascadePlace) {
    const QRect area(0, 0, 1000, 600);
    const QSize size(750, 450);
    EXPECT_EQ(NewWindowPlace(area, 24, {}), QRect(QPoint(0, 0), size));
    EXPECT_EQ(NewWindowPlace(area, 24, {QPoint(0, 0), QPoint(24, 24)}),
              QRect(QPoint(48, 48), size));
    // A closed window's place is given again; a window moved by the user frees its place.
    EXPECT_EQ(NewWindowPlace(area, 24, {QPoint(24, 24), QPoint(300, 10)}),
              QRect(QPoint(0, 0), size));
    // Every place taken (the area holds seven): the one after the open windows.
    QList<QPoint> taken;
    for (int i = 0; i < 7; ++i) {
        taken.append(QPoint(i * 24, i * 24));
    }
    taken.append(QPoint(0, 0));
    EXPECT_EQ(NewWindowPlace(area, 24, taken), QRect(QPoint(24, 24), size));
}

TEST(WindowArrangement, TheFirstRunFrameTakesThreeQuartersOfTheScreenCentred) {
    EXPECT_EQ(FirstRunPlace(QRect(0, 0, 1600, 1000)), QRect(200, 125, 1200, 750));
    EXPECT_EQ(FirstRunPlace(QRect(1600, 40, 1920, 1040)), QRect(1840, 170, 1440, 780));
}

}  // namespace
