#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <cstdlib>

#include "common/Bitmap.h"
#include "viewer/ui/BitmapImage.h"
#include "platform/qt/ThemeColors.h"
#include "viewer/ui/QtHalfTone.h"

namespace {

TEST(BitmapImage, PaintsTheBitmapsOwnRows)
{
    TBitmap colour(5, 3, 24, true);
    const QImage image = BitmapImage(colour);
    EXPECT_EQ(image.constBits(), colour.Bits());
    EXPECT_EQ(image.format(), QImage::Format_BGR888);
    EXPECT_EQ(image.bytesPerLine(), static_cast<qsizetype>(colour.Stride()));

    TBitmap gray(7, 2, 8, true);
    gray.SetGrayPalette();
    const QImage part = BitmapImage(gray, 4, 9);
    EXPECT_EQ(part.constBits(), gray.Bits());
    EXPECT_EQ(part.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(part.size(), QSize(4, 2)) << "never larger than the bitmap";

    TBitmap palette(2, 2, 8, true);
    palette.Palette() = {TRGBQuad{1, 2, 3, 0}};
    const QImage mapped = BitmapImage(palette);
    EXPECT_EQ(mapped.colorCount(), 256) << "indices past a short palette paint black, not past its end";
    EXPECT_EQ(mapped.color(0), qRgb(3, 2, 1));
    EXPECT_TRUE(BitmapImage(TBitmap()).isNull());
}

struct TStretchCase {
    const char* Name;
    int Bits;
    int Width, Height;              // the scaled picture
    int Left, Top, Right, Bottom;   // the part wanted
};

class SmoothStretchTest : public ::testing::TestWithParam<TStretchCase> {};

TEST_P(SmoothStretchTest, ConstantPictureStaysConstantAndOnlyThePartIsWritten)
{
    const TStretchCase& row = GetParam();
    TBitmap source(60, 40, row.Bits, true);
    if (row.Bits == 8)
        source.SetGrayPalette();
    for (int y = 0; y < 40; ++y)
        std::fill_n(source.ScanLine(y), source.Stride(), uint8_t{137});
    const int w = row.Right - row.Left;
    const int h = row.Bottom - row.Top;
    TBitmap destination(w + 6, h + 4, row.Bits, true);
    QtSmoothStretch(source, destination, row.Width, row.Height, 3, 2, row.Left, row.Top, row.Right, row.Bottom);
    const int bpp = destination.BytesPerPixel();
    for (int y = 0; y < destination.Height(); ++y)
        for (int x = 0; x < destination.Width(); ++x) {
            const bool inside = x >= 3 && x < 3 + w && y >= 2 && y < 2 + h;
            const int value = destination.ScanLine(y)[x * bpp];
            ASSERT_EQ(value, inside ? 137 : 0) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SmoothStretchTest,
    ::testing::Values(TStretchCase{"ShrinkColour", 24, 18, 12, 2, 3, 15, 11},
                      TStretchCase{"EnlargeColour", 24, 600, 400, 250, 100, 330, 160},
                      TStretchCase{"ShrinkGray", 8, 30, 20, 0, 0, 30, 20},
                      TStretchCase{"EnlargeGrayCorner", 8, 240, 160, 200, 130, 240, 160}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SmoothStretch, PartsAgreeWithTheWholeAtTheirEdges)
{
    // A gradient scaled whole and as two strips: the strips meet without a
    // visible seam (at most a step of the gradient apart).
    TBitmap source(100, 50, 24);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            for (int c = 0; c < 3; ++c)
                source.ScanLine(y)[x * 3 + c] = static_cast<uint8_t>(x * 2 + c);
    TBitmap whole(130, 65, 24, true);
    QtSmoothStretch(source, whole, 130, 65, 0, 0, 0, 0, 130, 65);
    TBitmap strips(130, 65, 24, true);
    QtSmoothStretch(source, strips, 130, 65, 0, 0, 0, 0, 70, 65);
    QtSmoothStretch(source, strips, 130, 65, 70, 0, 70, 0, 130, 65);
    for (int y = 0; y < 65; ++y)
        for (int x = 0; x < 130 * 3; ++x)
            ASSERT_LE(std::abs(whole.ScanLine(y)[x] - strips.ScanLine(y)[x]), 3) << x / 3 << "," << y;
}

TEST(SmoothStretch, WrongDestinationIsLeftAlone)
{
    TBitmap source(10, 10, 24, true);
    TBitmap gray(10, 10, 8, true);
    gray.ScanLine(0)[0] = 9;
    QtSmoothStretch(source, gray, 20, 20, 0, 0, 0, 0, 10, 10);
    EXPECT_EQ(gray.ScanLine(0)[0], 9);
    TBitmap small(4, 4, 24, true);
    small.ScanLine(0)[0] = 9;
    QtSmoothStretch(source, small, 20, 20, 0, 0, 0, 0, 10, 10);
    EXPECT_EQ(small.ScanLine(0)[0], 9);
}

}  // namespace

TEST(ThemeColors, SystemColoursComeFromThePalette)
{
    const QPalette saved = QGuiApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Active, QPalette::Base, QColor(10, 20, 30));
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(40, 50, 60));
    QGuiApplication::setPalette(palette);
    EXPECT_EQ(ThemeColor(clWindow), MakeColor(10, 20, 30));
    EXPECT_EQ(ThemeColor(clHighlight), MakeColor(40, 50, 60));
    // Plain colours pass; an index without a role stays a system colour.
    EXPECT_EQ(ThemeColor(MakeColor(1, 2, 3)), MakeColor(1, 2, 3));
    EXPECT_EQ(ThemeColor(0xFF000003u), 0xFF000003u);
    QGuiApplication::setPalette(saved);
}
