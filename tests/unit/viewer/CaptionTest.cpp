#include <gtest/gtest.h>

#include "viewer/Caption.h"
#include "viewer/ViewCommands.h"

namespace {

TEST(Caption, PageTextShowsLoadedSizeDepthAndRatio)
{
    EXPECT_EQ(PageCaptionText("/books/a/001.jpg", 2480, 3508, PixelFormat::Bits24, 0.25),
              "   001.jpg (2480 x 3508 x 24bit) [25%]");
    // Halves round away from zero.
    EXPECT_EQ(PageCaptionText("p.png", 10, 20, PixelFormat::Bits8, 0.125), "   p.png (10 x 20 x 8bit) [13%]");
    EXPECT_EQ(PageCaptionText("p.png", 10, 20, PixelFormat::Bits15, 0.005), "   p.png (10 x 20 x 16bit) [0.50%]");
    EXPECT_EQ(PageCaptionText("p.png", 10, 20, PixelFormat::Bits1, 0.01), "   p.png (10 x 20 x 1bit) [1.00%]");
    EXPECT_EQ(PageCaptionText("p.png", 10, 20, PixelFormat::Custom, 0.0), "   p.png (10 x 20 x \?\?) [0%]");
    EXPECT_EQ(PageCaptionText("p.png", 1, 1, PixelFormat::Bits32, 8.0), "   p.png (1 x 1 x 32bit) [800%]");
}

TEST(Caption, DepthTexts)
{
    EXPECT_EQ(DepthText(PixelFormat::Bits4), "4bit");
    EXPECT_EQ(DepthText(PixelFormat::Bits16), "16bit");
    EXPECT_EQ(DepthText(PixelFormat::Device), "??");
}

struct TCaptionCase {
    const char* Name;
    bool BindRight, Backward;
    const char* Caption;
    const char* Label;
};

void PrintTo(const TCaptionCase& c, std::ostream* os)
{
    *os << c.Name;
}

class SpreadCaptions : public ::testing::TestWithParam<TCaptionCase> {};

// Primary "a" is picture 5 (index 4); its partner "b" is picture 6 going
// forward, picture 4 going backward. The texts follow the screen order.
TEST_P(SpreadCaptions, InScreenOrder)
{
    const TCaptionCase& c = GetParam();
    const int partner = c.Backward ? 3 : 5;
    EXPECT_EQ(CaptionText("   a [50%]", "   b [50%]", true, c.BindRight, c.Backward), c.Caption);
    EXPECT_EQ(PageLabel(4, partner, true, c.BindRight, c.Backward, 20), c.Label);
}

INSTANTIATE_TEST_SUITE_P(
    Caption, SpreadCaptions,
    ::testing::Values(TCaptionCase{"RightForward", true, false, "b [50%]   <<   a [50%]", "6・5 / 20"},
                      TCaptionCase{"RightBackward", true, true, "a [50%]   <<   b [50%]", "5・4 / 20"},
                      TCaptionCase{"LeftForward", false, false, "a [50%]   >>   b [50%]", "5・6 / 20"},
                      TCaptionCase{"LeftBackward", false, true, "b [50%]   >>   a [50%]", "4・5 / 20"}),
    [](const ::testing::TestParamInfo<TCaptionCase>& info) { return std::string(info.param.Name); });

TEST(Caption, SinglePageAndWindowTitle)
{
    EXPECT_EQ(CaptionText("   a [50%]", "   b [50%]", false, true, false), "a [50%]");
    EXPECT_EQ(PageLabel(4, 5, false, true, false, 20), "5 / 20");
    EXPECT_EQ(PageLabel(4, -1, true, true, false, 20), "5 / 20");
    EXPECT_EQ(WindowCaption("Mireva", "a [50%]"), "Mireva - a [50%]");
    EXPECT_EQ(WindowCaption("Mireva", ""), "Mireva");
}

TEST(ViewCommands, RatioPresetsCycle)
{
    EXPECT_EQ(NextRatioPresetItem(0.3), 1);   // 50 %
    EXPECT_EQ(NextRatioPresetItem(1.0), 4);   // strictly greater: 150 %
    EXPECT_EQ(NextRatioPresetItem(8.0), 0);   // from 800 % back to 25 %
    EXPECT_EQ(PriorRatioPresetItem(1.0), 2);  // 75 %
    EXPECT_EQ(PriorRatioPresetItem(0.25), 8); // from 25 % to 800 %
    EXPECT_EQ(PriorRatioPresetItem(9.0), 8);
}

TEST(ViewCommands, ModesCycle)
{
    EXPECT_EQ(NextWindowFit(false, TWindowFit::wfHeight), TWindowFit::wfAll);
    EXPECT_EQ(NextWindowFit(true, TWindowFit::wfAll), TWindowFit::wfWidth);
    EXPECT_EQ(NextWindowFit(true, TWindowFit::wfWidth), TWindowFit::wfHeight);
    EXPECT_EQ(NextWindowFit(true, TWindowFit::wfHeight), TWindowFit::wfAll);
    EXPECT_EQ(NextViewMode(TViewMode::vmAuto), TViewMode::vmSingle);
    EXPECT_EQ(NextViewMode(TViewMode::vmSingle), TViewMode::vmSpread);
    EXPECT_EQ(NextViewMode(TViewMode::vmSpread), TViewMode::vmAuto);
    EXPECT_DOUBLE_EQ(ZoomStep(25, true), 0.25);
    EXPECT_DOUBLE_EQ(ZoomStep(25, false), -0.25);
    EXPECT_EQ(CustomRatioPercent(1.125), 113);
    EXPECT_EQ(CustomRatioPercent(100.0), 800);
}

}  // namespace
