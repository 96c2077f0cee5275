#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "viewer/ScaledPage.h"

namespace {

// Writes into each pixel the display coordinates it stands for, so a cache
// stitched together from moved pixels and new strips can be compared with
// one scaled in a single pass. Counts what it is asked to do.
class CoordinateScaler : public TPageScaler {
public:
    void Scale(const TBitmap& source, bool gray, TBitmap& destination, int width, int height, int x, int y,
               const TRect& region) override
    {
        if (Fail)
            throw std::runtime_error("no memory");
        ++Calls;
        Pixels += static_cast<int64_t>(region.Width()) * region.Height();
        Width = width;
        Height = height;
        EXPECT_TRUE(region.Intersect(TRect{0, 0, width, height}) == region) << "a region past the scaled size";
        EXPECT_GE(x, 0);
        EXPECT_GE(y, 0);
        EXPECT_LE(x + region.Width(), destination.Width());
        EXPECT_LE(y + region.Height(), destination.Height());
        EXPECT_EQ(destination.BitsPerPixel(), source.BitsPerPixel());
        const int bpp = destination.BytesPerPixel();
        for (int row = 0; row < region.Height(); ++row) {
            uint8_t* out = destination.ScanLine(y + row) + static_cast<size_t>(x) * bpp;
            for (int col = 0; col < region.Width(); ++col) {
                const int dx = region.Left + col;
                const int dy = region.Top + row;
                out[col * bpp] = static_cast<uint8_t>(dx);
                if (bpp == 3) {
                    out[col * 3 + 1] = static_cast<uint8_t>(dy);
                    out[col * 3 + 2] = static_cast<uint8_t>((dx >> 8) | ((dy >> 8) << 4));
                }
            }
        }
    }
    int Calls = 0;
    int64_t Pixels = 0;
    int Width = 0;  // the size of the last call
    int Height = 0;
    bool Fail = false;
};

constexpr TSize Client{200, 100};

TPageRenderInput Page(const std::shared_ptr<TBitmap>& source, TSize display, TRect pageRect, bool exact = false)
{
    TPageRenderInput input;
    input.Source = source;
    input.Gray = source->BitsPerPixel() == 8;
    input.Display = display;
    input.Exact = exact;
    input.PageRect = pageRect;
    input.Client = Client;
    return input;
}

// The held part of two caches holds the same bytes.
void ExpectSamePixels(const TScaledPage& a, const TScaledPage& b)
{
    ASSERT_EQ(a.Held(), b.Held());
    const TRect held = a.Held();
    const size_t bytes = static_cast<size_t>(held.Width()) * a.Bitmap().BytesPerPixel();
    for (int row = 0; row < held.Height(); ++row)
        ASSERT_EQ(0, std::memcmp(a.Bitmap().ScanLine(row), b.Bitmap().ScanLine(row), bytes)) << "row " << row;
}

struct TScrollCase {
    const char* Name;
    TRect Before;  // the page in the view before the scroll
    int DX, DY;
    int64_t Scaled;  // pixels scaled afresh
    int Regions;
};

class ScaledPageScrollTest : public ::testing::TestWithParam<TScrollCase> {};

TEST_P(ScaledPageScrollTest, ScalesOnlyWhatTheScrollUncovers)
{
    const TScrollCase& row = GetParam();
    const auto source = std::make_shared<TBitmap>(500, 400, 24, true);
    const TSize display{1000, 800};
    CoordinateScaler scaler;
    TScaledPage page;
    page.Render(Page(source, display, row.Before), scaler);
    scaler = CoordinateScaler{};

    const TRect after = row.Before.Offset(row.DX, row.DY);
    const TRenderStats stats = page.Render(Page(source, display, after), scaler);
    EXPECT_EQ(stats.PixelsScaled, row.Scaled);
    EXPECT_EQ(scaler.Pixels, row.Scaled);
    EXPECT_EQ(stats.RegionsScaled, row.Regions);

    // The moved pixels and the new strips make the same picture as scaling
    // the visible part in one go.
    TScaledPage fresh;
    CoordinateScaler freshScaler;
    fresh.Render(Page(source, display, after), freshScaler);
    ExpectSamePixels(page, fresh);
    EXPECT_EQ(page.HeldInView(), after.Intersect(TRect{0, 0, Client.Width, Client.Height}));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ScaledPageScrollTest,
    ::testing::Values(TScrollCase{"LineDown", {-300, -200, 700, 600}, 0, -10, 200 * 10, 1},
                      TScrollCase{"LineUp", {-300, -200, 700, 600}, 0, 25, 200 * 25, 1},
                      TScrollCase{"Left", {-300, -200, 700, 600}, 7, 0, 7 * 100, 1},
                      TScrollCase{"Diagonal", {-300, -200, 700, 600}, -30, -20, 200 * 20 + 30 * 80, 2},
                      TScrollCase{"FurtherThanTheView", {-300, -200, 700, 600}, -250, 0, 200 * 100, 1},
                      TScrollCase{"NoMove", {-300, -200, 700, 600}, 0, 0, 0, 0},
                      // The page's right edge inside the view: the visible part
                      // grows by the strip that comes in on the left.
                      TScrollCase{"PageEdgeInView", {-900, -200, 100, 600}, 50, 0, 50 * 100, 1},
                      TScrollCase{"PageShrinksOutOfView", {-900, -200, 100, 600}, -40, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ScaledPage, PageAtItsOwnSizeIsCopied)
{
    const auto source = std::make_shared<TBitmap>(300, 150, 24);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 300 * 3; ++x)
            source->ScanLine(y)[x] = static_cast<uint8_t>(x * 7 + y);
    CoordinateScaler scaler;
    TScaledPage page;
    const TRenderStats stats = page.Render(Page(source, {300, 150}, {-40, -20, 260, 130}, true), scaler);
    EXPECT_EQ(scaler.Calls, 0);
    EXPECT_EQ(stats.RegionsCopied, 1);
    ASSERT_EQ(page.Held(), (TRect{40, 20, 240, 120}));
    for (int y = 0; y < 100; ++y)
        ASSERT_EQ(0, std::memcmp(page.Bitmap().ScanLine(y), source->ScanLine(y + 20) + 40 * 3, 200 * 3)) << y;
}

TEST(ScaledPage, ExactMarkWithAnotherDisplaySizeIsScaled)
{
    // A ratio of 1.0 with a display size that is not the picture's (a side
    // capped by the layout) must not copy past the picture's edge.
    const auto source = std::make_shared<TBitmap>(50, 40, 24, true);
    CoordinateScaler scaler;
    TScaledPage page;
    page.Render(Page(source, {100, 80}, {0, 0, 100, 80}, true), scaler);
    EXPECT_EQ(scaler.Pixels, 100 * 80);
}

TEST(ScaledPage, SamePictureAtTheSameSizeIsReusedAfterALayout)
{
    const auto source = std::make_shared<TBitmap>(500, 400, 24, true);
    CoordinateScaler scaler;
    TScaledPage page;
    page.Render(Page(source, {1000, 800}, {-300, -200, 700, 600}), scaler);
    // Laid out again (a mode change that kept the size): nothing to scale.
    EXPECT_EQ(page.Render(Page(source, {1000, 800}, {-300, -200, 700, 600}), scaler).PixelsScaled, 0);
    // Another size, or another picture of the same size, is scaled afresh.
    EXPECT_EQ(page.Render(Page(source, {999, 800}, {-300, -200, 699, 600}), scaler).PixelsScaled, 200 * 100);
    const auto other = std::make_shared<TBitmap>(500, 400, 24, true);
    EXPECT_EQ(page.Render(Page(other, {999, 800}, {-300, -200, 699, 600}), scaler).PixelsScaled, 200 * 100);
    page.Invalidate();
    EXPECT_EQ(page.Render(Page(other, {999, 800}, {-300, -200, 699, 600}), scaler).PixelsScaled, 200 * 100);
}

TEST(ScaledPage, PageScrolledOutOfViewForgetsItsPixels)
{
    const auto source = std::make_shared<TBitmap>(500, 400, 24, true);
    CoordinateScaler scaler;
    TScaledPage page;
    page.Render(Page(source, {1000, 800}, {-300, -200, 700, 600}), scaler);
    page.Render(Page(source, {1000, 800}, {-1300, -200, -300, 600}), scaler);
    EXPECT_TRUE(page.Held().IsEmpty());
    EXPECT_TRUE(page.Bitmap().IsEmpty());
    // Back in view: everything visible is scaled afresh, nothing stale kept.
    const TRenderStats back = page.Render(Page(source, {1000, 800}, {-300, -200, 700, 600}), scaler);
    EXPECT_EQ(back.PixelsScaled, 200 * 100);
    EXPECT_EQ(back.PixelsKept, 0);
}

TEST(ScaledPage, FailedScalingIsNotRetriedOnEveryPaint)
{
    const auto source = std::make_shared<TBitmap>(500, 400, 24, true);
    CoordinateScaler scaler;
    scaler.Fail = true;
    TScaledPage page;
    EXPECT_THROW(page.Render(Page(source, {1000, 800}, {-300, -200, 700, 600}), scaler), std::runtime_error);
    scaler.Fail = false;
    EXPECT_EQ(page.Render(Page(source, {1000, 800}, {-300, -200, 700, 600}), scaler).PixelsScaled, 0);
}

TEST(ScaledPage, GrayPageKeepsAGrayCache)
{
    const auto source = std::make_shared<TBitmap>(100, 100, 8, true);
    source->SetGrayPalette();
    CoordinateScaler scaler;
    TScaledPage page;
    page.Render(Page(source, {300, 300}, {0, 0, 300, 300}), scaler);
    EXPECT_EQ(page.Bitmap().BitsPerPixel(), 8);
    EXPECT_TRUE(page.Bitmap().IsGray());
    EXPECT_EQ(page.Bitmap().ScanLine(7)[150], 150);
}

struct TDeviceCase {
    const char* Name;
    double Ratio;
    TSize Display;   // layout pixels
    TRect PageRect;  // layout pixels, in a client of 200 x 100
    bool Exact;
    TSize Scaled;    // the size the scaler was asked for; empty when copied
    TRect Held;      // device pixels
    TRect InView;    // device pixels
};
void PrintTo(const TDeviceCase& c, std::ostream* os)
{
    *os << c.Name;
}

class ScaledPageDeviceTest : public ::testing::TestWithParam<TDeviceCase> {};

TEST_P(ScaledPageDeviceTest, HoldsThePageInDevicePixels)
{
    const TDeviceCase& row = GetParam();
    const auto source = std::make_shared<TBitmap>(500, 400, 24, true);
    CoordinateScaler scaler;
    TScaledPage page;
    TPageRenderInput input = Page(source, row.Display, row.PageRect, row.Exact);
    input.Ratio = row.Ratio;
    const TRenderStats stats = page.Render(input, scaler);
    EXPECT_EQ(stats.RegionsCopied, row.Scaled.IsEmpty() ? 1 : 0);
    EXPECT_EQ((TSize{scaler.Width, scaler.Height}), row.Scaled);
    EXPECT_EQ(page.Held(), row.Held);
    EXPECT_EQ(page.HeldInView(), row.InView);
    EXPECT_EQ(page.Ratio(), row.Ratio);
    // The ratio belongs to what is held: the same layout at another ratio
    // is scaled afresh.
    input.Ratio = 1.0;
    EXPECT_GT(page.Render(input, scaler).PixelsScaled, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ScaledPageDeviceTest,
    ::testing::Values(
        // Half the picture's size on a doubled screen: its own pixels, copied.
        TDeviceCase{"DoubledCopy", 2.0, {250, 200}, {-50, -20, 200, 180}, true, {}, {100, 40, 500, 240},
                    {0, 0, 400, 200}},
        TDeviceCase{"DoubledScaled", 2.0, {300, 200}, {10, 0, 310, 200}, false, {600, 400}, {0, 0, 380, 200},
                    {20, 0, 400, 200}},
        // A fractional scale: the corner and the size are rounded apart, and
        // no region reaches past the scaled size.
        TDeviceCase{"Fractional", 1.5, {333, 222}, {-7, -3, 326, 219}, false, {500, 333}, {11, 5, 311, 155},
                    {0, 0, 300, 150}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ScaledPage, MessageOfAFailedScale)
{
    EXPECT_EQ(ScaleFailedMessage({2480, 3508}, {760, 1075}),
              "縮小処理に失敗しました  \n\n画像: 2480 x 3508\n表示: 760 x 1075");
}

}  // namespace
