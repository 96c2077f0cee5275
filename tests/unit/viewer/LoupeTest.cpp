#include <gtest/gtest.h>

#include <memory>

#include "PrintGeometry.h"
#include "viewer/Loupe.h"
#include "viewer/PageLayout.h"

namespace {

// Pictures at their own size (or at a fixed ratio) in a 1000 x 800 view with
// a gap of 10 between spread pages, so every place below is worked out from
// the page rectangles alone.
TPageLayout Layout(TSize primary, TSize partner, int ratioItem = -1)
{
    TPageLayout layout;
    TViewPictureOptions options;
    options.Offset = 5;
    options.Center = 10;
    layout.SetPictureOptions(options);
    TViewState state;
    if (ratioItem < 0) {
        state.DefSize = true;
    } else {
        state.ScaleMode = TScaleMode::smRatio;
        state.RatioItem = ratioItem;
    }
    state.ViewMode = partner.IsEmpty() ? TViewMode::vmSingle : TViewMode::vmSpread;
    layout.SetViewState(state);
    layout.SetClientSize(1000, 800);
    layout.ApplyRatioState();
    layout.MeasurePage(0, primary.Width, primary.Height);
    layout.MeasurePage(1, partner.Width, partner.Height);
    return layout;
}

struct TLoupeCase {
    const char* Name;
    TSize Primary, Partner;
    int RatioItem;  // -1: own size
    int Scale;
    // The pointer: this corner of page 0 (0 top-left, 1 bottom-right, 2
    // centre) moved by (DX, DY).
    int Corner, DX, DY;
    TRect Region0, Region1;
    bool Exact0;
};
void PrintTo(const TLoupeCase& c, std::ostream* os)
{
    *os << c.Name;
}

class LoupeGeometryTest : public ::testing::TestWithParam<TLoupeCase> {};

// The default square is 200 wide: its content 196, so what lies under the
// pointer is drawn at (98, 98) of the content.
TEST_P(LoupeGeometryTest, ShowsOnlyWhatLiesInsideThePages)
{
    const TLoupeCase& c = GetParam();
    const TPageLayout layout = Layout(c.Primary, c.Partner, c.RatioItem);
    const TRect box = layout.PageRect(0);
    TPoint pointer{box.Left, box.Top};
    if (c.Corner == 1)
        pointer = TPoint{box.Right, box.Bottom};
    else if (c.Corner == 2)
        pointer = TPoint{(box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2};
    pointer = TPoint{pointer.X + c.DX, pointer.Y + c.DY};
    TViewLoupeOptions options;
    options.Scale = c.Scale;
    const TLoupeView view = LoupeGeometry(layout, pointer, options);
    EXPECT_EQ(view.Square, TRect::FromSize(pointer.X - 100, pointer.Y - 100, 200, 200));
    EXPECT_EQ(view.Pages[0].Region, c.Region0);
    EXPECT_EQ(view.Pages[1].Region, c.Region1);
    EXPECT_EQ(view.Pages[0].Exact, c.Exact0);
    for (const TLoupePage& page : view.Pages) {
        const TRect whole{0, 0, page.Virtual.Width, page.Virtual.Height};
        if (!page.Region.IsEmpty()) {
            EXPECT_EQ(page.Region.Intersect(whole), page.Region) << "read outside the magnified page";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Loupe, LoupeGeometryTest,
    ::testing::Values(
        // x 2 over the middle of a 400 x 300 page (800 x 600 magnified).
        TLoupeCase{"Middle", {400, 300}, {}, -1, 4, 2, 0, 0, {302, 202, 498, 398}, {}, false},
        TLoupeCase{"TopLeftCorner", {400, 300}, {}, -1, 4, 0, 0, 0, {0, 0, 98, 98}, {}, false},
        TLoupeCase{"BottomRightCorner", {400, 300}, {}, -1, 4, 1, 0, 0, {702, 502, 800, 600}, {}, false},
        // Far out on the background nothing of the page is read.
        TLoupeCase{"Background", {400, 300}, {}, -1, 4, 0, -150, 0, {}, {}, false},
        // 40 x 30 magnified to 80 x 60 fits inside the square whole.
        TLoupeCase{"PageSmallerThanLoupe", {40, 30}, {}, -1, 4, 2, 0, 0, {0, 0, 80, 60}, {}, false},
        // x 8: a page of 10 x 10 becomes 80 x 80, still all inside.
        TLoupeCase{"TinyPageAtEight", {10, 10}, {}, -1, 8, 2, 0, 0, {0, 0, 80, 80}, {}, false},
        // Own pixels of a picture shown at 50 %: the pointer at the page's
        // centre is the picture's (1000, 800), copied, not scaled.
        TLoupeCase{"OwnPixelsAtHalf", {2000, 1600}, {}, 1, 0, 2, 0, 0, {902, 702, 1098, 898}, {}, true},
        // A right-bound spread has page 0 on the right, page 1 10 pixels to
        // its left. Over the middle of the gap, x 2: page 0 begins 10
        // pixels right of the pointer's spot, page 1 ends 10 pixels left.
        TLoupeCase{"GapOfSpread", {300, 400}, {300, 400}, -1, 4, 0, -5, 200, {0, 302, 88, 498},
                   {512, 302, 600, 498}, false},
        // Over the gap's top end the square also reaches above the pages.
        TLoupeCase{"GapAtTop", {300, 400}, {300, 400}, -1, 4, 0, -5, 0, {0, 0, 88, 98}, {512, 0, 600, 98},
                   false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(LoupeSquare, ConfinedSquareStaysInsideTheView)
{
    const TSize client{1000, 800};
    EXPECT_EQ(LoupeSquare({5, 795}, 200, client, true), TRect::FromSize(0, 600, 200, 200));
    EXPECT_EQ(LoupeSquare({995, 5}, 200, client, true), TRect::FromSize(800, 0, 200, 200));
    EXPECT_EQ(LoupeSquare({5, 5}, 200, client, false), TRect::FromSize(-95, -95, 200, 200));
    // Larger than the view: held at its top-left corner.
    EXPECT_EQ(LoupeSquare({500, 400}, 1000, TSize{600, 400}, true), TRect::FromSize(0, 0, 1000, 1000));
}

// Records every region the loupe asks to be scaled or copied.
class RegionScaler : public TPageScaler {
public:
    void Scale(const TBitmap&, bool, TBitmap&, int width, int height, int, int, const TRect& region) override
    {
        Inside = Inside && region.Left >= 0 && region.Top >= 0 && region.Right <= width && region.Bottom <= height;
        Pixels += static_cast<int64_t>(region.Width()) * region.Height();
    }
    bool Inside = true;
    int64_t Pixels = 0;
};

TEST(LoupeRenderer, SweepOverASpreadReadsOnlyInsideAndMovesScaleStrips)
{
    const TPageLayout layout = Layout({300, 400}, {200, 250});
    const std::array<TLoupeSource, 2> sources{TLoupeSource{std::make_shared<TBitmap>(300, 400, 24)},
                                              TLoupeSource{std::make_shared<TBitmap>(200, 250, 24)}};
    RegionScaler scaler;
    TLoupeRenderer renderer;
    TViewLoupeOptions options;
    // Across the whole view, over pages, gap and background, at every
    // factor but the picture's own pixels (those are copied).
    for (int scale = 1; scale < LoupeScaleCount; ++scale) {
        options.Scale = scale;
        for (int x = -50; x <= 1050; x += 37)
            for (int y = -50; y <= 850; y += 53)
                renderer.Render(LoupeGeometry(layout, {x, y}, options), sources, scaler);
    }
    EXPECT_TRUE(scaler.Inside);
    // One pixel to the right over the middle of page 0 keeps all but one
    // column of the content.
    const TRect box = layout.PageRect(0);
    const TPoint middle{(box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2};
    options.Scale = 4;
    renderer.Render(LoupeGeometry(layout, middle, options), sources, scaler);
    scaler.Pixels = 0;
    const TRenderStats moved = renderer.Render(LoupeGeometry(layout, {middle.X + 1, middle.Y}, options), sources,
                                               scaler);
    EXPECT_EQ(scaler.Pixels, 2 * 196);
    EXPECT_EQ(moved.PixelsKept, 194 * 196);
}

struct TStepCase {
    const char* Name;
    int (*Step)(int value, bool enlarge);
    int From;
    bool Enlarge;
    int To;
};

class LoupeGridStepTest : public ::testing::TestWithParam<TStepCase> {};

TEST_P(LoupeGridStepTest, StaysWithinLimits)
{
    const TStepCase& c = GetParam();
    EXPECT_EQ(c.Step(c.From, c.Enlarge), c.To);
}

int Size50(int v, bool e) { return StepLoupeSize(v, 50, e); }
int Grid5(int v, bool e) { return StepGridInterval(v, 5, e); }
int Grid20(int v, bool e) { return StepGridInterval(v, 20, e); }

INSTANTIATE_TEST_SUITE_P(
    Steps, LoupeGridStepTest,
    ::testing::Values(TStepCase{"SizeAtMaximum", Size50, 1000, true, 1000},
                      TStepCase{"SizeShrinksToMinimum", Size50, 60, false, 50},
                      TStepCase{"SizeEnlarges", Size50, 200, true, 250},
                      TStepCase{"ScaleAtTop", StepLoupeScale, 8, true, 8},
                      TStepCase{"ScaleAtOwnPixels", StepLoupeScale, 0, false, 0},
                      TStepCase{"GridShrinkStopsAtFive", Grid5, 5, false, 5},
                      TStepCase{"GridShrinksFromTen", Grid5, 10, false, 5},
                      // The settings accept 2; shrinking from there gives 5.
                      TStepCase{"GridFromTwoShrinks", Grid5, 2, false, 5},
                      TStepCase{"GridFromTwoEnlarges", Grid5, 2, true, 7},
                      TStepCase{"GridEnlargeStopsAtHundred", Grid20, 90, true, 100}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(GridLines, CentreLineAndLinesEveryInterval)
{
    const TGridLines lines = GridLines(101, 45, 20);
    EXPECT_EQ(lines.Center, 50);
    EXPECT_EQ(lines.Vertical, (std::vector<int>{30, 70, 10, 90}));
    EXPECT_EQ(lines.Horizontal, (std::vector<int>{20, 40}));
    EXPECT_TRUE(GridLines(0, 45, 20).Vertical.empty());
}

}  // namespace
