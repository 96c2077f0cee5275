// The page view on a scaled screen: pages and the loupe are scaled to device
// pixels and painted 1:1, so a picture shown at one device pixel per picture
// pixel keeps its finest detail. The test runs once on the offscreen screen
// as it is and once more with QT_SCALE_FACTOR=2 (tests/ui/CMakeLists.txt).

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <memory>

#include "support/PumpEvents.h"
#include "viewer/PageViewer.h"
#include "viewer/StretchScaler.h"
#include "viewer/ui/ImageViewFrame.h"
#include "viewer/ui/LoupeOverlay.h"

namespace {

constexpr int Side = 64;

// A checkerboard of single black and white pixels.
class CheckerSource : public TPictureSource {
public:
    TImageSlot Load(const TCacheItem& item) override
    {
        TImageSlot slot;
        slot.Index = item.Index;
        slot.Bitmap = std::make_shared<TBitmap>(Side, Side, 24);
        for (int y = 0; y < Side; ++y)
            for (int x = 0; x < Side * 3; ++x)
                slot.Bitmap->ScanLine(y)[x] = ((x / 3 + y) % 2) != 0 ? 255 : 0;
        slot.LoadedWidth = slot.LoadedHeight = Side;
        return slot;
    }
    std::shared_ptr<TBitmap> Prescale(const TBitmap&, bool, int, int, TStretchMode) override { return nullptr; }
};

struct TSharpCase {
    const char* Name;
    // The page's display ratio and the loupe's magnification, each over the
    // device pixel ratio, so that the device shows one pixel per picture
    // pixel at every scale.
    double PageRatio;
    int LoupeScale;  // index into LoupeScales; -1 without the loupe
};
void PrintTo(const TSharpCase& c, std::ostream* os)
{
    *os << c.Name;
}

class HiDpiViewTest : public ::testing::TestWithParam<TSharpCase> {};

// How many of the square's device pixels differ from their right and lower
// neighbours as a 1-pixel checkerboard does.
int CheckerPixels(const QImage& image, QRect square)
{
    int count = 0;
    for (int y = square.top(); y <= square.bottom(); ++y)
        for (int x = square.left(); x <= square.right(); ++x) {
            const int here = qGray(image.pixel(x, y));
            const int right = qGray(image.pixel(x + 1, y));
            const int below = qGray(image.pixel(x, y + 1));
            count += (here < 64 || here > 191) && std::abs(here - right) > 128 && std::abs(here - below) > 128;
        }
    return count;
}

TEST_P(HiDpiViewTest, DevicePixelsKeepTheFinestDetail)
{
    const TSharpCase& row = GetParam();
    TPageViewer viewer([] { return std::shared_ptr<TCacheDecoder>(); });
    TStretchPageScaler scaler(nullptr, 1);
    TImageViewFrame frame(viewer, scaler);
    frame.ShowImageBar(false);
    frame.resize(240, 200);
    frame.show();
    const double dpr = frame.Area()->devicePixelRatio();
    TViewState state;
    state.ScaleMode = TScaleMode::smRatio;
    state.RatioItem = CustomRatioItem;
    state.CustomRatio = row.PageRatio / dpr;
    viewer.SetViewState(state);
    viewer.SetList({TCacheItem{0, "/checker.bmp", 0, -1}}, std::make_shared<CheckerSource>());
    viewer.Open(0);
    viewer.RefreshLayout(true);
    frame.UpdateView();
    ASSERT_TRUE(viewer.Layout().PageShown(0));

    // The square to look at, in device pixels: the middle of the page, or of
    // the loupe over it.
    const TRect page = viewer.Layout().PageRect(0);
    const TPoint centre{(page.Left + page.Right) / 2, (page.Top + page.Bottom) / 2};
    if (row.LoupeScale >= 0) {
        TViewLoupeOptions options;
        options.Scale = row.LoupeScale;
        options.Size = 60;
        frame.Loupe().SetOptions(options);
        frame.Loupe().SetOn(true);
        frame.Loupe().MoveTo(centre);
        ASSERT_TRUE(frame.Loupe().Showing());
    }
    const int half = 8;
    const QRect square(static_cast<int>(centre.X * dpr) - half, static_cast<int>(centre.Y * dpr) - half, 2 * half,
                       2 * half);
    QImage shot;
    ASSERT_TRUE(PumpUntil([&] {
        shot = frame.Area()->grab().toImage();
        return frame.Rendered();
    }));
    ASSERT_EQ(shot.size(), frame.Area()->size() * dpr) << "the grab holds device pixels";
    EXPECT_EQ(CheckerPixels(shot, square), square.width() * square.height())
        << "at a device pixel ratio of " << dpr;
}

INSTANTIATE_TEST_SUITE_P(Rows, HiDpiViewTest,
                         ::testing::Values(TSharpCase{"Page", 1.0, -1},
                                           // Magnified twice over a page at half size.
                                           TSharpCase{"Loupe", 0.5, 4}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
