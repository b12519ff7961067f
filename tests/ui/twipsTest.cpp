#include <gtest/gtest.h>

#include "ui/twips.h"

namespace {

// The two ways from twips to pixels: the design sizes of windows divide whole twips by whole
// twips per pixel and truncate; the query window's panes round to the nearest pixel.
struct TwipsRow {
    const char *name;
    int dpi;
    double twips;
    int truncated;
    int rounded;
};

class TwipsToPixelsTest : public testing::TestWithParam<TwipsRow> {};

TEST_P(TwipsToPixelsTest, TruncatesDesignSizesAndRoundsPanes) {
    const TwipsRow &row = GetParam();
    const Twips twips(row.dpi, row.dpi);
    EXPECT_EQ(twips.toPixelsX(row.twips), row.truncated);
    EXPECT_EQ(twips.toPixelsY(row.twips), row.truncated);
    EXPECT_EQ(twips.toPixelsRoundedY(row.twips), row.rounded);
}

const TwipsRow kTwipsRows[] = {
    {"one_inch_96", 96, 1440, 96, 96},
    {"below_half_pixel_96", 96, 22, 1, 1},
    {"above_half_pixel_96", 96, 23, 1, 2},
    {"fraction_of_a_twip_96", 96, 29.6, 2, 2},
    {"half_pixel_120", 120, 18, 1, 2},
    {"one_inch_144", 144, 1440, 144, 144},
    // 14.4 twips a pixel: the design rule divides by 14, the panes by the exact ratio
    {"one_inch_100", 100, 1440, 102, 100},
    {"negative_96", 96, -50, -3, -3},
};

INSTANTIATE_TEST_SUITE_P(Rows, TwipsToPixelsTest, testing::ValuesIn(kTwipsRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Twips, EachAxisUsesItsOwnResolution) {
    const Twips twips(96, 120);
    EXPECT_EQ(twips.toPixelsX(1440), 96);
    EXPECT_EQ(twips.toPixelsY(1440), 120);
    EXPECT_FLOAT_EQ(twips.toTwipsX(10), 150.0f);
    EXPECT_FLOAT_EQ(twips.toTwipsY(10), 120.0f);
    EXPECT_EQ(twips.toPixelsRoundedY(1440), 120);
    EXPECT_EQ(twips.toTwipsRoundedY(10), 120);
}

TEST(Twips, PixelsToTwipsRoundsToTheNearestTwip) {
    EXPECT_FLOAT_EQ(Twips(100, 100).toTwipsY(3), 43.2f);
    EXPECT_EQ(Twips(100, 100).toTwipsRoundedY(3), 43);
    EXPECT_EQ(Twips(100, 100).toTwipsRoundedY(4), 58);  // 57.6
    EXPECT_EQ(Twips(96, 96).toTwipsRoundedY(-2), -30);
}

}  // namespace
