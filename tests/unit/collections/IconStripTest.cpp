#include <gtest/gtest.h>

#include "collections/IconStrip.h"

namespace {

struct TStripRow {
    const char* Name;
    int Width, Height;
    TIconSize Size;
    int Frames;  // 0: refused
};

class IconStripSizes : public testing::TestWithParam<TStripRow> {};

// A user's replacement strip of the wrong height leaves the list as it was
// instead of adding frames of the wrong size.
TEST_P(IconStripSizes, OnlyStripsOfTheAskedHeightAreCut)
{
    const TStripRow& row = GetParam();
    std::vector<TIconImage> images(1);
    const std::vector<int> indices =
        LoadIconStrip(TBitmap(row.Width, row.Height, 24, true), row.Size, images, "Grp", nullptr);
    EXPECT_EQ(indices.size(), static_cast<size_t>(row.Frames));
    ASSERT_EQ(images.size(), static_cast<size_t>(row.Frames) + 1);
    for (size_t i = 1; i < images.size(); ++i)
        EXPECT_EQ(images[i].Color.Height(), IconSide(row.Size));
}

const TStripRow StripRows[] = {
    {"Small16", 64, 16, TIconSize::isSmall, 4},
    {"Large32WithSpareColumns", 100, 32, TIconSize::isLarge, 3},
    {"Large24", 96, 24, TIconSize::isLarge, 0},
    {"Large33", 99, 33, TIconSize::isLarge, 0},
    {"SmallStripAsLarge", 64, 16, TIconSize::isLarge, 0},
    {"LargeStripAsSmall", 96, 32, TIconSize::isSmall, 0},
    {"OnePixelHigh", 16, 1, TIconSize::isSmall, 0},
};

INSTANTIATE_TEST_SUITE_P(Rows, IconStripSizes, testing::ValuesIn(StripRows),
                         [](const testing::TestParamInfo<TStripRow>& info) { return info.param.Name; });

}  // namespace
