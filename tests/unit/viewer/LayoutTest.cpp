#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "PrintGeometry.h"
#include "viewer/PageLayout.h"
#include "viewer/ScaledArea.h"

namespace {

// Lays out a primary picture and, while the spread holds, its partner, the
// way the browser window shows a new pair.
void ShowPair(TPageLayout& layout, TSize primary, TSize partner)
{
    layout.ApplyRatioState();
    layout.MeasurePage(0, primary.Width, primary.Height);
    if (layout.SpreadActive() && !partner.IsEmpty())
        layout.MeasurePage(1, partner.Width, partner.Height);
    else
        layout.MeasurePage(1, 0, 0);
}

TPageLayout MakeLayout(int cw, int ch, int offset, int gap, const TViewState& state, bool backward = false)
{
    TPageLayout layout;
    TViewPictureOptions options;
    options.Offset = offset;
    options.Center = gap;
    layout.SetPictureOptions(options);
    layout.SetViewState(state);
    layout.SetClientSize(cw, ch);
    layout.SetTravelBackward(backward);
    return layout;
}

struct TLayoutCase {
    const char* Name;
    int CW, CH, Offset, Gap;
    std::function<void(TViewState&)> Setup;
    TSize Primary, Partner;
    bool Spread;
    TSize Size0, Size1;
    TRect Content, Rect0, Rect1;
};
void PrintTo(const TLayoutCase& c, std::ostream* os)
{
    *os << c.Name;
}


class LayoutCases : public ::testing::TestWithParam<TLayoutCase> {};

TEST_P(LayoutCases, SizesAndPlacesPages)
{
    const TLayoutCase& c = GetParam();
    TViewState state;
    if (c.Setup)
        c.Setup(state);
    TPageLayout layout = MakeLayout(c.CW, c.CH, c.Offset, c.Gap, state);
    ShowPair(layout, c.Primary, c.Partner);
    EXPECT_EQ(layout.SpreadActive(), c.Spread);
    EXPECT_EQ(layout.PageSize(0), c.Size0);
    if (c.Spread) {
        EXPECT_EQ(layout.PageSize(1), c.Size1);
    }
    EXPECT_EQ(layout.ContentRect(), c.Content);
    EXPECT_EQ(layout.PageRect(0), c.Rect0);
    EXPECT_EQ(layout.PageRect(1), c.Rect1);
}

// Every expected number below is worked out by hand from the view size, the
// margins and the picture sizes.
INSTANTIATE_TEST_SUITE_P(
    Layout, LayoutCases,
    ::testing::Values(
        // Landscape in automatic mode: one page, whole fit by width 990/2000.
        TLayoutCase{"LandscapeAlone", 1000, 800, 5, 0, nullptr, {2000, 1000}, {600, 800}, false, {990, 495}, {},
                    {0, 147, 1000, 652}, {5, 152, 995, 647}, {}},
        // Two squares count as portrait and form a spread; no enlarging.
        // Right binding forward: the partner (page 1) is on the left.
        TLayoutCase{"SquaresFormSpread", 1000, 800, 5, 0, nullptr, {400, 400}, {400, 400}, true, {400, 400},
                    {400, 400}, {95, 195, 905, 605}, {500, 200, 900, 600}, {100, 200, 500, 600}},
        TLayoutCase{"LeftBindingPutsPrimaryLeft", 1000, 800, 5, 0,
                    [](TViewState& s) { s.Binding = TBinding::bdLeft; }, {400, 400}, {400, 400}, true, {400, 400},
                    {400, 400}, {95, 195, 905, 605}, {100, 200, 500, 600}, {500, 200, 900, 600}},
        // Whole fit without equal options: page 0 keeps its height ratio 0.5,
        // page 1 gets the rest of the width: (1000 - 100) / 800 = 1.125.
        TLayoutCase{"WholeFitRestGoesToPage1", 1000, 1000, 0, 0,
                    [](TViewState& s) {
                        s.EqualHeight = false;
                        s.NoEnlarge = false;
                    },
                    {200, 2000}, {800, 800}, true, {100, 1000}, {900, 900}, {0, 0, 1000, 1000},
                    {900, 0, 1000, 1000}, {0, 50, 900, 950}},
        TLayoutCase{"WholeFitRestGoesToPage0", 1000, 1000, 0, 0,
                    [](TViewState& s) {
                        s.EqualHeight = false;
                        s.NoEnlarge = false;
                    },
                    {800, 800}, {200, 2000}, true, {900, 900}, {100, 1000}, {0, 0, 1000, 1000},
                    {100, 50, 1000, 950}, {0, 0, 100, 1000}},
        // Too wide at both height ratios: one common width ratio 512/1024.
        TLayoutCase{"WholeFitCommonWidthRatio", 512, 1000, 0, 0,
                    [](TViewState& s) {
                        s.EqualHeight = false;
                        s.NoEnlarge = false;
                    },
                    {512, 800}, {512, 800}, true, {256, 400}, {256, 400}, {0, 300, 512, 700},
                    {256, 300, 512, 700}, {0, 300, 256, 700}},
        // Equal height with no enlarging: page 0 is still brought up to the
        // partner's height (x2) before the common factor 800/1024.
        TLayoutCase{"EqualHeightEnlargesSmallerPage", 2000, 800, 0, 0, nullptr, {256, 512}, {512, 1024}, true,
                    {400, 800}, {400, 800}, {600, 0, 1400, 800}, {1000, 0, 1400, 800}, {600, 0, 1000, 800}},
        // One ratio for both: min(1000 / 900, 500 / 800) = 0.625.
        TLayoutCase{"EqualRatio", 1000, 500, 0, 0,
                    [](TViewState& s) {
                        s.EqualHeight = false;
                        s.EqualRatio = true;
                    },
                    {300, 400}, {600, 800}, true, {187, 250}, {375, 500}, {219, 0, 781, 500},
                    {594, 125, 781, 375}, {219, 0, 594, 500}},
        // Each page fitted into its own half; the joint at the view's centre.
        TLayoutCase{"CenterFitsHalves", 1000, 510, 5, 10,
                    [](TViewState& s) {
                        s.EqualHeight = false;
                        s.Center = true;
                    },
                    {490, 1000}, {200, 250}, true, {245, 500}, {200, 250}, {290, 0, 755, 510},
                    {505, 5, 750, 505}, {295, 130, 495, 380}},
        // Equal height with the joint centred: AW = 1000 - 10 - 9 = 981,
        // AW div 2 = 490, AH = 790. h1 < h0: r1 = 1200 / 800 = 1.5,
        // W1' = Round(503 x 1.5 = 754.5) = 755 (half away), W0' = 600, H = 1200.
        // f = min(490 / 755, 790 / 1200) = 490 / 755 = 0.64901.
        // Page 0: 600 x f = 389.40, 1200 x f = 778.81 -> 389 x 778; page 1:
        // r1 = 0.97351, 503 -> 489.68, 800 -> 778.81 -> 489 x 778.
        // TW = 389 + 9 + 489 + 10 = 897; joint at the centre: L = 500 - 489 - 5 - 4 = 2;
        // TH = 788, T = 12 div 2 = 6; each page top (800 - 778) div 2 = 11.
        TLayoutCase{"EqualHeightCenter", 1000, 800, 5, 9, [](TViewState& s) { s.Center = true; }, {600, 1200},
                    {503, 800}, true, {389, 778}, {489, 778}, {2, 6, 899, 794}, {505, 11, 894, 789},
                    {7, 11, 496, 789}},
        // Equal ratio with the joint centred: one ratio from the widest and the
        // tallest picture, fitted into half the width. AW div 2 = 981 div 2 = 490,
        // AH = 1090; r = min(490 / Max(980, 500), 1090 / Max(999, 1050)) = 0.5.
        // Page 0: 490 x Trunc(499.5) = 499; page 1: 250 x 525.
        // TW = 490 + 9 + 250 + 10 = 759; L = 500 - 250 - 5 - 4 = 241;
        // TH = 535, T = 565 div 2 = 282; tops 601 div 2 = 300 and 575 div 2 = 287.
        TLayoutCase{"EqualRatioCenter", 1000, 1100, 5, 9,
                    [](TViewState& s) {
                        s.EqualHeight = false;
                        s.EqualRatio = true;
                        s.Center = true;
                    },
                    {980, 999}, {500, 1050}, true, {490, 499}, {250, 525}, {241, 282, 1000, 817},
                    {505, 300, 995, 799}, {246, 287, 496, 812}},
        // Half width base for a pair: equal height, h0 < h1: r0 = 2000 / 1800,
        // W0' = Round(1333.33) = 1333, W1' = 1000, W = 2333 > H = 2000, so
        // AW' = 1000 + 1000 = 2000. f = min(2000 / 2333, 2000 / 2000) = 0.85727.
        // Page 0: r0 = 0.95252, 1200 -> 1143.02, 1800 -> 1714.53 -> 1143 x 1714;
        // page 1: 1000 -> 857.27, 2000 -> 1714.53 -> 857 x 1714.
        // TW = 2000 > 1000: a right-bound pair opens at its right edge, L = -1000;
        // TH = 1714, T = 286 div 2 = 143.
        TLayoutCase{"HalfHPair", 1000, 2000, 0, 0, [](TViewState& s) { s.HalfH = true; }, {1200, 1800},
                    {1000, 2000}, true, {1143, 1714}, {857, 1714}, {-1000, 143, 1000, 1857},
                    {-143, 143, 1000, 1857}, {-1000, 143, -143, 1857}},
        // Half height base for a pair: equal ratio, W = 600 + 500 = 1100 <
        // H = Max(2000, 1900), so AH' = 800 + 800 = 1600.
        // r = min(1000 / 1100, 1600 / 2000) = 0.8: 480 x 1600 and 400 x 1520.
        // TW = 880, L = 120 div 2 = 60; TH = 1600 > 800, T = 0; tops at T + 0.
        TLayoutCase{"HalfVPair", 1000, 800, 0, 0,
                    [](TViewState& s) {
                        s.EqualHeight = false;
                        s.EqualRatio = true;
                        s.HalfV = true;
                    },
                    {600, 2000}, {500, 1900}, true, {480, 1600}, {400, 1520}, {60, 0, 940, 1600},
                    {460, 0, 940, 1600}, {60, 0, 460, 1520}},
        // Width fit of a pair without equal options: AW = 1000 - 10 - 10 = 980,
        // q = 980 / (600 + 750) = 0.72593 for both pages (their height ratios
        // 0.79 and 0.608 do not count). Page 0: 435.56, 725.93 -> 435 x 725;
        // page 1: 544.44, 943.70 -> 544 x 943. TW = 435 + 10 + 544 + 10 = 999,
        // L = 1 div 2 = 0; TH = 953 > 800, T = 0; tops at T + 5.
        TLayoutCase{"WidthFitPair", 1000, 800, 5, 10,
                    [](TViewState& s) {
                        s.WindowFit = TWindowFit::wfWidth;
                        s.EqualHeight = false;
                    },
                    {600, 1000}, {750, 1300}, true, {435, 725}, {544, 943}, {0, 0, 999, 953},
                    {559, 5, 994, 730}, {5, 5, 549, 948}},
        // Width fit with equal height: r0 = 1300 / 1000, W0' = Round(780) = 780,
        // W = 780 + 750 = 1530, f = 980 / 1530 = 0.64052 (width only).
        // Page 0: r0 = 0.83268, 499.61, 832.68 -> 499 x 832; page 1: 480.39,
        // 832.68 -> 480 x 832. TW = 499 + 10 + 480 + 10 = 999, L = 0; TH = 842, T = 0.
        TLayoutCase{"WidthFitPairEqualHeight", 1000, 800, 5, 10,
                    [](TViewState& s) { s.WindowFit = TWindowFit::wfWidth; }, {600, 1000}, {750, 1300}, true,
                    {499, 832}, {480, 832}, {0, 0, 999, 842}, {495, 5, 994, 837}, {5, 5, 485, 837}},
        // No enlarging: r0 = 1000 / 2000 = 0.5, r1 = 1000 / 900 -> 1.0,
        // q = 1000 / 1100 = 0.909. q >= r0 and q < r1: page 1 gets the rest,
        // (1000 - Round(150)) / 800 = 1.0625, limited to 1.0: 800 x 900 at
        // actual size, not 850 x 956. TW = 950, L = 25; TH = 1000, T = 0; page
        // tops (1000 - 1000) div 2 = 0 and (1000 - 900) div 2 = 50.
        TLayoutCase{"RestOfWidthNoEnlargePage1", 1000, 1000, 0, 0, [](TViewState& s) { s.EqualHeight = false; },
                    {300, 2000}, {800, 900}, true, {150, 1000}, {800, 900}, {25, 0, 975, 1000},
                    {825, 0, 975, 1000}, {25, 50, 825, 950}},
        // The same pair the other way round: q < r0 = 1.0 and q > r1 = 0.5, so
        // page 0 gets the rest, limited to 1.0 likewise.
        TLayoutCase{"RestOfWidthNoEnlargePage0", 1000, 1000, 0, 0, [](TViewState& s) { s.EqualHeight = false; },
                    {800, 900}, {300, 2000}, true, {800, 900}, {150, 1000}, {25, 0, 975, 1000},
                    {175, 50, 975, 950}, {25, 0, 175, 1000}},
        // The rest of the width after a half: r0 = 0.5, Round(301 x 0.5 = 150.5)
        // = 151 (half away from zero), r1 = 1000 / 1100 = 0.909, q = 1000 / 1325
        // = 0.755; the rest (1000 - 151) / 1024 = 0.82910 is below r1 and 1.0.
        // Page 0: Trunc(150.5) = 150 x 1000; page 1: 849 x Trunc(912.01) = 912.
        // TW = 999, L = 0; T = 0; page 1 top (1000 - 912) div 2 = 44.
        TLayoutCase{"RestOfWidthRoundsHalfAway", 1000, 1000, 0, 0, [](TViewState& s) { s.EqualHeight = false; },
                    {301, 2000}, {1024, 1100}, true, {150, 1000}, {849, 912}, {0, 0, 999, 1000},
                    {849, 0, 999, 1000}, {0, 44, 849, 956}},
        // Height fit in automatic mode: a pair wider than the view is no
        // spread; the primary is fitted alone.
        TLayoutCase{"HeightFitPairTooWide", 1000, 1000, 0, 0,
                    [](TViewState& s) { s.WindowFit = TWindowFit::wfHeight; }, {600, 1000}, {600, 1000}, false,
                    {600, 1000}, {}, {200, 0, 800, 1000}, {200, 0, 800, 1000}, {}},
        // Forced spread keeps it; a right-bound book opens at the right edge.
        TLayoutCase{"HeightFitForcedSpread", 1000, 1000, 0, 0,
                    [](TViewState& s) {
                        s.WindowFit = TWindowFit::wfHeight;
                        s.ViewMode = TViewMode::vmSpread;
                    },
                    {600, 1000}, {600, 1000}, true, {600, 1000}, {600, 1000}, {-200, 0, 1000, 1000},
                    {400, 0, 1000, 1000}, {-200, 0, 400, 1000}},
        // Half width base: a landscape page fits as if the view were twice as
        // wide; a right-bound book shows its right half first.
        TLayoutCase{"HalfHLandscape", 800, 600, 0, 0, [](TViewState& s) { s.HalfH = true; }, {1600, 600}, {},
                    false, {1600, 600}, {}, {-800, 0, 800, 600}, {-800, 0, 800, 600}, {}},
        TLayoutCase{"HalfVPortrait", 800, 600, 0, 0, [](TViewState& s) { s.HalfV = true; }, {600, 2400}, {},
                    false, {300, 1200}, {}, {250, 0, 550, 1200}, {250, 0, 550, 1200}, {}},
        TLayoutCase{"SingleModeNeverSpreads", 1000, 800, 5, 0,
                    [](TViewState& s) { s.ViewMode = TViewMode::vmSingle; }, {400, 400}, {400, 400}, false,
                    {400, 400}, {}, {295, 195, 705, 605}, {300, 200, 700, 600}, {}},
        // Fixed ratio 50 %: sides truncated.
        TLayoutCase{"FixedRatioTruncates", 2000, 2000, 0, 0,
                    [](TViewState& s) {
                        s.ScaleMode = TScaleMode::smRatio;
                        s.RatioItem = 1;
                        s.ViewMode = TViewMode::vmSingle;
                    },
                    {1001, 2001}, {}, false, {500, 1000}, {}, {750, 500, 1250, 1500}, {750, 500, 1250, 1500}, {}},
        // Fixed ratio, automatic, pictures at 100 %: 500 + 480 + gap 10 fits
        // 1000 - 10 exactly.
        TLayoutCase{"FixedRatioPairFitsExactly", 1000, 900, 5, 10,
                    [](TViewState& s) { s.ScaleMode = TScaleMode::smRatio; }, {500, 800}, {480, 800}, true,
                    {500, 800}, {480, 800}, {0, 45, 1000, 855}, {495, 50, 995, 850}, {5, 50, 485, 850}},
        TLayoutCase{"FixedRatioPairOnePixelTooWide", 1000, 900, 5, 10,
                    [](TViewState& s) { s.ScaleMode = TScaleMode::smRatio; }, {500, 800}, {481, 800}, false,
                    {500, 800}, {}, {245, 45, 755, 855}, {250, 50, 750, 850}, {}},
        TLayoutCase{"FixedRatioWidePrimaryEndsSpread", 1000, 1500, 5, 0,
                    [](TViewState& s) { s.ScaleMode = TScaleMode::smRatio; }, {990, 1200}, {400, 800}, false,
                    {990, 1200}, {}, {0, 145, 1000, 1355}, {5, 150, 995, 1350}, {}},
        // Fixed width 1000 of a 3000 x 4001 picture: height Trunc(1333.67).
        TLayoutCase{"FixedWidth", 1200, 2000, 0, 0,
                    [](TViewState& s) {
                        s.ScaleMode = TScaleMode::smSize;
                        s.SizeDir = TSizeDir::sdWidth;
                        s.SetSize = 1000;
                    },
                    {3000, 4001}, {}, false, {1000, 1333}, {}, {100, 333, 1100, 1666}, {100, 333, 1100, 1666}, {}},
        TLayoutCase{"FixedHeight", 1200, 1000, 0, 0,
                    [](TViewState& s) {
                        s.ScaleMode = TScaleMode::smSize;
                        s.SizeDir = TSizeDir::sdHeight;
                        s.SetSize = 500;
                    },
                    {1001, 2000}, {}, false, {250, 500}, {}, {475, 250, 725, 750}, {475, 250, 725, 750}, {}},
        // A very thin picture at 25 % still shows a pixel each way.
        TLayoutCase{"ThinPictureKeepsOnePixel", 100, 100, 0, 0,
                    [](TViewState& s) {
                        s.ScaleMode = TScaleMode::smRatio;
                        s.RatioItem = 0;
                    },
                    {1, 3}, {}, false, {1, 1}, {}, {49, 49, 50, 50}, {49, 49, 50, 50}, {}},
        // The margins exceed the view: the available size is at least 1.
        TLayoutCase{"ViewSmallerThanMargins", 8, 8, 5, 0, nullptr, {100, 50}, {}, false, {1, 1}, {},
                    {-3, 0, 8, 11}, {2, 5, 3, 6}, {}}),
    [](const ::testing::TestParamInfo<TLayoutCase>& info) { return std::string(info.param.Name); });

TEST(Layout, SinglePictureNeverFormsSpreadEvenWhenForced)
{
    TViewState state;
    state.ViewMode = TViewMode::vmSpread;
    TPageLayout layout = MakeLayout(1000, 800, 5, 0, state);
    ShowPair(layout, {400, 600}, {});
    EXPECT_FALSE(layout.SpreadActive());
    EXPECT_TRUE(layout.PageRect(1).IsEmpty());
    EXPECT_FALSE(layout.PageRect(0).IsEmpty());
}

TEST(Layout, LandscapePartnerEndsAutomaticSpread)
{
    TPageLayout layout = MakeLayout(1000, 800, 5, 0, TViewState{});
    layout.ApplyRatioState();
    layout.MeasurePage(0, 400, 600);
    ASSERT_TRUE(layout.SpreadActive());
    layout.MeasurePage(1, 800, 600);
    EXPECT_FALSE(layout.SpreadActive());
    // The primary is fitted alone: min(990 / 400, 790 / 600) with no
    // enlarging gives 1.0.
    EXPECT_EQ(layout.PageSize(0), (TSize{400, 600}));
    EXPECT_EQ(layout.PageRect(0), (TRect{300, 100, 700, 700}));
}

TEST(Layout, EmptyPictureKeepsRatioAndHasNoSize)
{
    TViewState state;
    state.ScaleMode = TScaleMode::smSize;
    state.SizeDir = TSizeDir::sdWidth;
    TPageLayout layout = MakeLayout(1000, 800, 5, 0, state);
    layout.ApplyRatioState();
    layout.SetPageRatio(0, 0.75);
    layout.MeasurePage(0, 0, 0);
    EXPECT_EQ(layout.PageRatio(0), 0.75);
    EXPECT_EQ(layout.PageSize(0), (TSize{0, 0}));
    EXPECT_FALSE(layout.SpreadActive());
    EXPECT_TRUE(layout.PageRect(0).IsEmpty());

    TViewState fit;
    TPageLayout fitted = MakeLayout(1000, 800, 5, 0, fit);
    fitted.SetPageRatio(0, 0.5);
    fitted.MeasurePage(0, 0, 0);
    EXPECT_EQ(fitted.PageRatio(0), 0.5);
    EXPECT_EQ(fitted.PageSize(0), (TSize{0, 0}));
}

// A ratio that is an exact quotient gives the whole side it was made from,
// although the product in floating point may fall a hair short of it.
TEST(Layout, ExactQuotientsGiveWholeSides)
{
    TViewState state;
    state.WindowFit = TWindowFit::wfWidth;
    // AW = 500 - 5 - 5 = 490: the ratio is 490 / 700, and 700 x 490 / 700
    // is 489.99999999999994 in doubles.
    TPageLayout layout = MakeLayout(500, 300, 5, 0, state);
    layout.ApplyRatioState();
    layout.MeasurePage(0, 700, 1000);
    layout.MeasurePage(1, 0, 0);
    EXPECT_EQ(layout.PageSize(0), (TSize{490, 700}));
}

TEST(Layout, NothingIsLaidOutWhileTheClientAreaIsEmpty)
{
    TPageLayout layout = MakeLayout(0, 0, 5, 0, TViewState{});
    ShowPair(layout, {400, 600}, {400, 600});
    EXPECT_EQ(layout.PageSize(0), (TSize{0, 0}));
    EXPECT_EQ(layout.ContentRect(), (TRect{}));
    // Once the view has a size the same pictures lay out normally.
    layout.SetClientSize(1000, 800);
    ShowPair(layout, {400, 600}, {400, 600});
    EXPECT_TRUE(layout.SpreadActive());
    EXPECT_EQ(layout.PageSize(0), (TSize{400, 600}));
}

TEST(Layout, AbsurdShapeStaysInsideTheIntegerRange)
{
    TViewState state;
    state.NoEnlarge = false;
    state.WindowFit = TWindowFit::wfWidth;
    TPageLayout layout = MakeLayout(4000, 1000, 0, 0, state);
    ShowPair(layout, {1, 1 << 20}, {});
    EXPECT_EQ(layout.PageSize(0).Width, 4000);
    EXPECT_EQ(layout.PageSize(0).Height, TPageLayout::MaxDisplaySide);
    EXPECT_EQ(layout.ContentRect().Height(), TPageLayout::MaxDisplaySide);
}

// --- Page sides ---------------------------------------------------------------

struct TSideCase {
    const char* Name;
    TBinding Binding;
    bool Backward;
    bool Page0Left;
};
void PrintTo(const TSideCase& c, std::ostream* os)
{
    *os << c.Name;
}


class PageSides : public ::testing::TestWithParam<TSideCase> {};

TEST_P(PageSides, LowerPageFollowsTheBinding)
{
    const TSideCase& c = GetParam();
    TViewState state;
    state.Binding = c.Binding;
    TPageLayout layout = MakeLayout(1000, 800, 0, 0, state, c.Backward);
    ShowPair(layout, {300, 400}, {200, 400});
    ASSERT_TRUE(layout.SpreadActive());
    EXPECT_EQ(layout.PageOnLeft(0), c.Page0Left);
    EXPECT_EQ(layout.PageOnLeft(1), !c.Page0Left);
    const TRect left = layout.PageRect(c.Page0Left ? 0 : 1);
    const TRect right = layout.PageRect(c.Page0Left ? 1 : 0);
    EXPECT_EQ(left.Right, right.Left);
}

// Forward, page 0 is the lower page; backward it is the higher one. Left
// binding puts the lower page left, right binding right.
INSTANTIATE_TEST_SUITE_P(Layout, PageSides,
                         ::testing::Values(TSideCase{"LeftForward", TBinding::bdLeft, false, true},
                                           TSideCase{"LeftBackward", TBinding::bdLeft, true, false},
                                           TSideCase{"RightForward", TBinding::bdRight, false, false},
                                           TSideCase{"RightBackward", TBinding::bdRight, true, true}),
                         [](const ::testing::TestParamInfo<TSideCase>& info) { return std::string(info.param.Name); });

// --- Entering a page ------------------------------------------------------------

TEST(Layout, WidePageOpensAtTheBindingsStartSide)
{
    TViewState state;
    state.ScaleMode = TScaleMode::smRatio;
    state.ViewMode = TViewMode::vmSingle;
    TPageLayout layout = MakeLayout(1000, 500, 0, 0, state);
    ShowPair(layout, {3000, 2000}, {});
    EXPECT_EQ(layout.ContentRect(), (TRect{-2000, 0, 1000, 2000}));

    layout.SetStartAtOppositeSide(true);
    layout.SetStartAtBottom(true);
    ShowPair(layout, {3000, 2000}, {});
    EXPECT_EQ(layout.ContentRect(), (TRect{0, -1500, 3000, 500}));
    // The marks hold for one placement only.
    EXPECT_FALSE(layout.StartAtOppositeSide());
    EXPECT_FALSE(layout.StartAtBottom());
    ShowPair(layout, {3000, 2000}, {});
    EXPECT_EQ(layout.ContentRect(), (TRect{-2000, 0, 1000, 2000}));

    state.Binding = TBinding::bdLeft;
    layout.SetViewState(state);
    ShowPair(layout, {3000, 2000}, {});
    EXPECT_EQ(layout.ContentRect().Left, 0);
}

// --- Resizing -------------------------------------------------------------------

struct TResizeCase {
    const char* Name;
    TBinding Binding;
    bool Backward;
    int ScrollX, ScrollY;  // scrolled from the opening position
    int NewCW, NewCH;
    TRect Content;
};
void PrintTo(const TResizeCase& c, std::ostream* os)
{
    *os << c.Name;
}


class Resizing : public ::testing::TestWithParam<TResizeCase> {};

TEST_P(Resizing, KeepsThePlaceOnTheStartSide)
{
    const TResizeCase& c = GetParam();
    TViewState state;
    state.Binding = c.Binding;
    state.ScaleMode = TScaleMode::smRatio;  // 100 %
    state.ViewMode = TViewMode::vmSingle;
    TPageLayout layout = MakeLayout(1000, 800, 0, 0, state, c.Backward);
    ShowPair(layout, {3000, 2000}, {});
    layout.ScrollBy(c.ScrollX, c.ScrollY);
    layout.SetClientSize(c.NewCW, c.NewCH);
    layout.SetResizing(true);
    ShowPair(layout, {3000, 2000}, {});
    layout.SetResizing(false);
    EXPECT_EQ(layout.ContentRect(), c.Content);
}

// A 3000 x 2000 page in a 1000 x 800 view opens at (-2000, 0) bound right,
// (0, 0) bound left.
INSTANTIATE_TEST_SUITE_P(
    Layout, Resizing,
    ::testing::Values(
        // Right edge 500 beyond the view stays 500 beyond it.
        TResizeCase{"RightKeepsOverhang", TBinding::bdRight, false, 500, -300, 1200, 1000, {-1300, -300, 1700, 1700}},
        // Entered backwards the place is kept just the same.
        TResizeCase{"RightBackwardKeepsOverhang", TBinding::bdRight, true, 500, 0, 1200, 800, {-1300, 0, 1700, 2000}},
        // Scrolled to the far left: the left edges stay together.
        TResizeCase{"RightAtFarSide", TBinding::bdRight, false, 2000, 0, 1200, 800, {0, 0, 3000, 2000}},
        TResizeCase{"LeftKeepsLeftEdge", TBinding::bdLeft, false, -500, 0, 1200, 800, {-500, 0, 2500, 2000}},
        TResizeCase{"LeftBackwardKeepsLeftEdge", TBinding::bdLeft, true, -500, 0, 1200, 800, {-500, 0, 2500, 2000}},
        // Scrolled to the right end: a wider view keeps the right edges together.
        TResizeCase{"LeftAtRightEnd", TBinding::bdLeft, false, -2000, 0, 1200, 800, {-1800, 0, 1200, 2000}},
        // At the bottom, a taller view keeps the bottoms together.
        TResizeCase{"BottomStaysAtBottom", TBinding::bdLeft, false, 0, -1200, 1000, 1000, {0, -1000, 3000, 1000}}),
    [](const ::testing::TestParamInfo<TResizeCase>& info) { return std::string(info.param.Name); });

// --- Zoom -----------------------------------------------------------------------

TEST(Zoom, KeepsThePointUnderTheCentre)
{
    TViewState state;
    state.ScaleMode = TScaleMode::smRatio;
    TPageLayout layout = MakeLayout(500, 500, 0, 0, state);
    ShowPair(layout, {1000, 1000}, {});
    ASSERT_EQ(layout.ContentRect(), (TRect{-500, 0, 500, 1000}));
    // Picture point (750, 250) lies under the view's centre (250, 250).
    layout.ZoomBy(false, false, 1.0);
    EXPECT_EQ(layout.PageRatio(0), 2.0);
    EXPECT_EQ(layout.PageSize(0), (TSize{2000, 2000}));
    EXPECT_EQ(layout.ContentRect(), (TRect{-1250, -250, 750, 1750}));
    // Picture point (750, 250) at ratio 2 is content point (1500, 500),
    // again under the centre.
    EXPECT_EQ(250 - layout.ContentRect().Left, 1500);
    EXPECT_EQ(250 - layout.ContentRect().Top, 500);
}

TEST(Zoom, MouseAnchorOnTheRightPageMovesToTheCentre)
{
    TViewState state;
    state.ScaleMode = TScaleMode::smRatio;
    state.Binding = TBinding::bdLeft;
    state.ViewMode = TViewMode::vmSpread;
    TPageLayout layout = MakeLayout(800, 600, 5, 0, state);
    ShowPair(layout, {400, 600}, {400, 600});
    ASSERT_TRUE(layout.SpreadActive());
    ASSERT_EQ(layout.ContentRect(), (TRect{0, 0, 810, 610}));
    ASSERT_EQ(layout.PageRect(1).Left, 405);
    // The mouse at view (600, 300) is picture point (195, 295) of page 1,
    // the right page.
    layout.SetZoomAnchor(TPoint{600, 300});
    layout.ZoomBy(true, true, 2.0);
    EXPECT_EQ(layout.ZoomAnchorPage(), 1);
    EXPECT_EQ(layout.PageSize(1), (TSize{800, 1200}));
    EXPECT_EQ(layout.ContentRect(), (TRect{-795, -295, 815, 915}));
    // That picture point, now (390, 590) into the page, lies under the
    // view's centre (400, 300).
    EXPECT_EQ(layout.PageRect(1).Left, 400 - 390);
    EXPECT_EQ(layout.PageRect(1).Top, 300 - 590);
}

struct TZoomStepCase {
    const char* Name;
    double From;
    double Step;
    bool RatioChange;
    double Expected0, Expected1;
};
void PrintTo(const TZoomStepCase& c, std::ostream* os)
{
    *os << c.Name;
}


class ZoomSteps : public ::testing::TestWithParam<TZoomStepCase> {};

TEST_P(ZoomSteps, StepsStayInRange)
{
    const TZoomStepCase& c = GetParam();
    TViewState state;
    state.ScaleMode = TScaleMode::smRatio;
    state.RatioItem = CustomRatioItem;
    state.CustomRatio = c.From;
    TPageLayout layout;
    TViewPictureOptions options;
    options.RatioChange = c.RatioChange;
    layout.SetPictureOptions(options);
    layout.SetViewState(state);
    layout.SetClientSize(4000, 4000);
    ShowPair(layout, {100, 200}, {100, 200});
    ASSERT_TRUE(layout.SpreadActive());
    layout.SetPageRatio(1, c.From * 2);  // page 1 at twice the ratio
    layout.ZoomBy(false, false, c.Step);
    EXPECT_DOUBLE_EQ(layout.PageRatio(layout.ZoomAnchorPage()), c.Expected0);
    EXPECT_DOUBLE_EQ(layout.PageRatio(1 - layout.ZoomAnchorPage()), c.Expected1);
}

// The anchor is the centre of the view: with these sizes it lies on page 0
// (drawn on the right with right binding).
INSTANTIATE_TEST_SUITE_P(
    Zoom, ZoomSteps,
    ::testing::Values(TZoomStepCase{"EnlargeTo8", 7.9, 0.25, false, 8.0, 8.0},
                      TZoomStepCase{"ShrinkTo001", 0.02, -0.25, false, 0.01, 0.01},
                      // The other page grows in proportion: 1.0 + 0.25 * 2.
                      TZoomStepCase{"Proportional", 0.5, 0.25, false, 0.75, 1.5},
                      // With the ratio change option both take the new ratio.
                      TZoomStepCase{"RatioChangeEqualises", 0.5, 0.25, true, 0.75, 0.75}),
    [](const ::testing::TestParamInfo<TZoomStepCase>& info) { return std::string(info.param.Name); });

TEST(Zoom, AmountZeroMeansActualSize)
{
    TViewState state;
    TPageLayout layout = MakeLayout(500, 500, 0, 0, state);
    ShowPair(layout, {1000, 2000}, {});
    ASSERT_EQ(layout.PageRatio(0), 0.25);
    layout.ZoomBy(false, false, 0.0);
    EXPECT_EQ(layout.PageRatio(0), 1.0);
    EXPECT_EQ(layout.PageSize(0), (TSize{1000, 2000}));
    EXPECT_TRUE(layout.PageExact(0));
}

TEST(Zoom, FromRatioZeroDoesNothing)
{
    TPageLayout layout = MakeLayout(500, 500, 0, 0, TViewState{});
    ShowPair(layout, {1000, 2000}, {});
    layout.ClearView();
    layout.ZoomBy(false, false, 0.25);
    EXPECT_EQ(layout.PageRatio(0), 0.0);
    EXPECT_EQ(layout.PageSize(0), (TSize{0, 0}));
    EXPECT_EQ(layout.ContentRect(), (TRect{}));
}

// --- Scaled area ------------------------------------------------------------------

// Replays plans on a model of the cache that records which page pixel each
// cache pixel holds, and checks after every step that the cache holds exactly
// the visible part, that kept pixels were moved correctly and that no pixel
// was scaled twice.
class CacheModel {
public:
    static constexpr int Unset = -1;
    void Apply(const TRenderPlan& plan, int& scaledPixels)
    {
        if (!plan.Visible) {
            fW = fH = 0;
            fCells.clear();
            return;
        }
        std::vector<std::pair<int, int>> next(static_cast<size_t>(plan.CacheSize.Width) * plan.CacheSize.Height,
                                              {Unset, Unset});
        auto at = [&](std::vector<std::pair<int, int>>& v, int w, int x, int y) -> std::pair<int, int>& {
            return v[static_cast<size_t>(y) * w + x];
        };
        if (plan.Keep) {
            for (int y = plan.KeepSource.Top; y < plan.KeepSource.Bottom; ++y)
                for (int x = plan.KeepSource.Left; x < plan.KeepSource.Right; ++x) {
                    ASSERT_LT(x, fW);
                    ASSERT_LT(y, fH);
                    at(next, plan.CacheSize.Width, x - plan.KeepSource.Left + plan.KeepDest.X,
                       y - plan.KeepSource.Top + plan.KeepDest.Y) = at(fCells, fW, x, y);
                }
        }
        for (const TRect& r : plan.Regions)
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x) {
                    auto& cell = at(next, plan.CacheSize.Width, x - plan.Area.Left, y - plan.Area.Top);
                    ASSERT_EQ(cell.first, Unset) << "pixel scaled twice or over kept pixels";
                    cell = {x, y};
                    ++scaledPixels;
                }
        for (int y = plan.Area.Top; y < plan.Area.Bottom; ++y)
            for (int x = plan.Area.Left; x < plan.Area.Right; ++x)
                ASSERT_EQ(at(next, plan.CacheSize.Width, x - plan.Area.Left, y - plan.Area.Top),
                          (std::pair<int, int>{x, y}));
        fW = plan.CacheSize.Width;
        fH = plan.CacheSize.Height;
        fCells = std::move(next);
    }

private:
    int fW = 0, fH = 0;
    std::vector<std::pair<int, int>> fCells;
};

TEST(ScaledArea, ScrollingScalesOnlyTheExposedStrips)
{
    TScaledArea area;
    CacheModel model;
    const TSize client{40, 30};
    int scaled = 0;
    TRect page = TRect::FromSize(-50, -40, 200, 150);
    model.Apply(area.Update(page, client), scaled);
    EXPECT_EQ(scaled, 40 * 30);

    // Straight left by 7: one strip 7 wide on the right.
    scaled = 0;
    page = page.Offset(-7, 0);
    TRenderPlan plan = area.Update(page, client);
    ASSERT_EQ(plan.Regions.size(), 1u);
    EXPECT_EQ(plan.Regions[0], (TRect{90, 40, 97, 70}));
    model.Apply(plan, scaled);
    EXPECT_EQ(scaled, 7 * 30);

    // Diagonally: a full-width strip and a side strip, nothing twice.
    const int moves[][2] = {{5, -3}, {-4, 6}, {0, -11}, {13, 0}, {-39, 29}, {2, 2}};
    for (const auto& m : moves) {
        scaled = 0;
        page = page.Offset(m[0], m[1]);
        model.Apply(area.Update(page, client), scaled);
        EXPECT_EQ(scaled, 40 * 30 - (40 - std::abs(m[0])) * (30 - std::abs(m[1])));
    }
}

TEST(ScaledArea, PartlyVisiblePageAndGrowingView)
{
    TScaledArea area;
    CacheModel model;
    int scaled = 0;
    // A page whose right part lies outside the view.
    TRect page = TRect::FromSize(20, 0, 100, 50);
    model.Apply(area.Update(page, TSize{60, 40}), scaled);
    EXPECT_EQ(area.Held(), (TRect{0, 0, 40, 40}));
    // The view grows: the page's newly visible part is scaled, the rest kept.
    scaled = 0;
    model.Apply(area.Update(page, TSize{90, 60}), scaled);
    EXPECT_EQ(area.Held(), (TRect{0, 0, 70, 50}));
    EXPECT_EQ(scaled, 70 * 50 - 40 * 40);
    // It shrinks again: nothing is scaled and the cache keeps its size.
    scaled = 0;
    model.Apply(area.Update(page, TSize{60, 40}), scaled);
    EXPECT_EQ(scaled, 0);
    EXPECT_EQ(area.CacheSize(), (TSize{70, 50}));
}

TEST(ScaledArea, PageOutOfViewForgetsItsPixels)
{
    TScaledArea area;
    CacheModel model;
    int scaled = 0;
    TRect page = TRect::FromSize(0, 0, 100, 100);
    model.Apply(area.Update(page, TSize{50, 50}), scaled);
    const TRenderPlan gone = area.Update(page.Offset(-200, 0), TSize{50, 50});
    EXPECT_FALSE(gone.Visible);
    EXPECT_TRUE(area.Held().IsEmpty());
    EXPECT_EQ(area.CacheSize(), (TSize{0, 0}));
    model.Apply(gone, scaled);
    // Back where it was: everything is scaled afresh, nothing stale is kept.
    scaled = 0;
    const TRenderPlan back = area.Update(page, TSize{50, 50});
    EXPECT_FALSE(back.Keep);
    model.Apply(back, scaled);
    EXPECT_EQ(scaled, 50 * 50);
}

TEST(ScaledArea, ResetScalesTheWholeVisiblePartAgain)
{
    TScaledArea area;
    const TRect page = TRect::FromSize(0, 0, 100, 100);
    area.Update(page, TSize{50, 50});
    area.Reset();
    const TRenderPlan plan = area.Update(page, TSize{50, 50});
    EXPECT_FALSE(plan.Keep);
    ASSERT_EQ(plan.Regions.size(), 1u);
    EXPECT_EQ(plan.Regions[0], (TRect{0, 0, 50, 50}));
}

}  // namespace
