// The scaling dispatcher: its checks, the temporary destination, the plain
// copy, the method selection and the injected desktop stretch.

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "ImagingTestSupport.h"
#include "base/Errors.h"
#include "imaging/Bicubic.h"
#include "imaging/Bilinear.h"
#include "imaging/Stretch.h"

namespace {

TBitmap Random(int w, int h, int bits, unsigned seed = 1)
{
    std::mt19937 random(seed);
    return RandomBitmap(w, h, bits, random);
}

TEST(Stretch, SameSizeCopiesExactlyTheRectangle)
{
    TBitmap source = Random(10, 8, 24);
    TBitmap destination = FilledBitmap(9, 9, 24, 77);
    const TVisibleRect r{2, 3, 7, 6};
    StretchBitmap(&source, &destination, 10, ResampleMethod::Lanczos3, 4, 1, r, 8);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            for (int c = 0; c < 3; ++c) {
                const bool inside = x >= 4 && y >= 1 && x < 4 + r.Width() && y < 1 + r.Height();
                const int expected = inside ? source.ScanLine(y - 1 + r.Top)[(x - 4 + r.Left) * 3 + c] : 77;
                ASSERT_EQ(destination.ScanLine(y)[x * 3 + c], expected) << x << "," << y;
            }
}

struct TInvalidCase {
    const char* Name;
    int W, H, X, Y;
    TVisibleRect Rect;
    int DestinationWidth, DestinationHeight;  // 0: no destination
};

class InvalidArgumentsTest : public testing::TestWithParam<TInvalidCase> {};

TEST_P(InvalidArgumentsTest, ChangeNothing)
{
    const TInvalidCase& c = GetParam();
    for (int bits : {24, 8}) {
        TBitmap source = Random(6, 5, bits);
        const TBitmap original = source.Clone();
        TBitmap destination = FilledBitmap(std::max(1, c.DestinationWidth), std::max(1, c.DestinationHeight), bits, 9);
        TBitmap* target = c.DestinationWidth > 0 ? &destination : nullptr;
        if (bits == 24)
            StretchBitmap(&source, target, c.W, ResampleMethod::Bicubic, c.X, c.Y, c.Rect, c.H);
        else
            StretchGrayBitmap(&source, target, c.W, ResampleMethod::Bicubic, c.X, c.Y, c.Rect, c.H);
        EXPECT_EQ(PixelDifference(source, original), "") << bits;
        EXPECT_TRUE(AllBytesAre(destination, 9)) << bits;
    }
}

const TInvalidCase InvalidCases[] = {
    {"RightBeyondWidth", 12, 10, 0, 0, {0, 0, 13, 10}, 0, 0},
    {"BottomBeyondHeight", 12, 10, 0, 0, {0, 0, 12, 11}, 0, 0},
    {"NegativeLeft", 12, 10, 0, 0, {-1, 0, 5, 5}, 0, 0},
    {"NegativeTop", 12, 10, 0, 0, {0, -1, 5, 5}, 0, 0},
    {"NegativeX", 12, 10, -1, 0, {0, 0, 5, 5}, 0, 0},
    {"NegativeY", 12, 10, 0, -3, {0, 0, 5, 5}, 0, 0},
    {"ZeroWidth", 0, 10, 0, 0, {0, 0, 0, 5}, 0, 0},
    {"NegativeHeight", 12, -4, 0, 0, {0, 0, 5, 0}, 0, 0},
    {"EmptyRectangle", 12, 10, 0, 0, {3, 3, 3, 8}, 0, 0},
    {"InvertedRectangle", 12, 10, 0, 0, {5, 5, 2, 2}, 0, 0},
    {"DestinationTooNarrow", 12, 10, 2, 0, {0, 0, 5, 5}, 6, 5},
    {"DestinationTooLow", 12, 10, 0, 1, {0, 0, 5, 5}, 5, 5},
};

INSTANTIATE_TEST_SUITE_P(Cases, InvalidArgumentsTest, testing::ValuesIn(InvalidCases),
                         [](const testing::TestParamInfo<TInvalidCase>& info) { return std::string(info.param.Name); });

TEST(Stretch, NothingAndEmptySourcesAreIgnored)
{
    StretchBitmap(nullptr, nullptr, 10, ResampleMethod::Bilinear, 0, 0, TVisibleRect{0, 0, 10, 10}, 10);
    TBitmap empty(0, 0, 24);
    StretchBitmap(&empty, nullptr, 10, ResampleMethod::Bilinear, 0, 0, TVisibleRect{0, 0, 10, 10}, 10);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(Stretch, WithoutDestinationTheSourceTakesTheResult)
{
    for (int bits : {24, 8}) {
        TBitmap source = Random(20, 16, bits, 4);
        const TBitmap original = source.Clone();
        const TVisibleRect r{5, 2, 25, 12};
        if (bits == 24)
            StretchBitmap(&source, nullptr, 40, ResampleMethod::Bilinear, 3, 2, r, 32);
        else
            StretchGrayBitmap(&source, nullptr, 40, ResampleMethod::Bilinear, 3, 2, r, 32);
        ASSERT_EQ(source.Width(), 3 + 20);
        ASSERT_EQ(source.Height(), 2 + 10);
        ASSERT_EQ(source.BitsPerPixel(), bits);
        EXPECT_EQ(source.IsGray(), bits == 8);
        const TBitmap expected = RunResampler(original, ResampleMethod::Bilinear, 40, 32, r, DefaultSimdLevel());
        const int bpp = bits / 8;
        for (int y = 0; y < source.Height(); ++y)
            for (int x = 0; x < source.Width() * bpp; ++x) {
                // The band left of x and above y is black.
                const int want = (y < 2 || x < 3 * bpp) ? 0 : expected.ScanLine(y - 2)[x - 3 * bpp];
                ASSERT_EQ(source.ScanLine(y)[x], want) << x << "," << y << " bits " << bits;
            }
    }
}

TEST(Stretch, ATemporaryBeyondTheSizeLimitIsRefusedBeforeAnythingChanges)
{
    TBitmap source = Random(8, 8, 8, 13);
    const TBitmap original = source.Clone();
    EXPECT_THROW(StretchGrayBitmap(&source, nullptr, 16, ResampleMethod::Bilinear, 2147483640, 0, {0, 0, 16, 16}, 16),
                 EInvalidGraphic);
    EXPECT_EQ(PixelDifference(source, original), "");
}

TEST(Stretch, TheSourceAsItsOwnDestinationTakesTheResult)
{
    TBitmap source = Random(30, 20, 24, 12);
    const TBitmap original = source.Clone();
    StretchWholeBitmap(&source, &source, 12, ResampleMethod::Bicubic, 9);
    EXPECT_EQ(PixelDifference(source, ReferenceScale(original, ResampleMethod::Bicubic, 12, 9, {0, 0, 12, 9})), "");
}

TEST(Stretch, AreaAverageEnlargingInOneDirectionIsBicubic)
{
    TBitmap source = Random(30, 10, 24, 5);
    const TVisibleRect r{0, 0, 20, 25};
    TBitmap viaDispatcher(20, 25, 24);
    StretchBitmap(&source, &viaDispatcher, 20, ResampleMethod::AreaAverage, 0, 0, r, 25);
    TBitmap bicubic(20, 25, 24);
    BicubicBitmap(source, bicubic, 20, 0, 0, r, 25);
    EXPECT_EQ(PixelDifference(viaDispatcher, bicubic), "");
    // Shrinking both ways it is the area average, which differs here.
    TBitmap area(10, 5, 24);
    StretchBitmap(&source, &area, 10, ResampleMethod::AreaAverage, 0, 0, TVisibleRect{0, 0, 10, 5}, 5);
    EXPECT_EQ(PixelDifference(area, ReferenceScale(source, ResampleMethod::AreaAverage, 10, 5, {0, 0, 10, 5})), "");
}

TEST(Stretch, GrayEntryLeavesColourPicturesAlone)
{
    TBitmap colour = Random(8, 8, 24, 6);
    const TBitmap original = colour.Clone();
    StretchWholeGrayBitmap(&colour, nullptr, 4, ResampleMethod::Bilinear, 4);
    EXPECT_EQ(PixelDifference(colour, original), "");
    // Nor does it write 8-bit results into a 24-bit destination.
    TBitmap gray = Random(8, 8, 8, 7);
    TBitmap wide = FilledBitmap(4, 4, 24, 3);
    StretchWholeGrayBitmap(&gray, &wide, 4, ResampleMethod::Bilinear, 4);
    EXPECT_TRUE(AllBytesAre(wide, 3));
}

TEST(Stretch, ColourEntryWidensOtherDepths)
{
    TBitmap palette(4, 4, 8, true);
    palette.Palette() = {TRGBQuad{10, 20, 30, 0}, TRGBQuad{200, 100, 0, 0}};
    palette.ScanLine(1)[2] = 1;
    TBitmap destination(8, 8, 8, true);
    destination.SetGrayPalette();
    StretchWholeBitmap(&palette, &destination, 8, ResampleMethod::Bilinear, 8);
    EXPECT_EQ(palette.BitsPerPixel(), 24);
    EXPECT_EQ(destination.BitsPerPixel(), 24);
    // The top-left corner copies the first palette colour.
    EXPECT_EQ(destination.ScanLine(0)[0], 10);
    EXPECT_EQ(destination.ScanLine(0)[1], 20);
    EXPECT_EQ(destination.ScanLine(0)[2], 30);
}

class TThrowingStretch : public THalfToneStretch {
public:
    void Stretch(const TBitmap&, TBitmap& destination, int, int, int, int, const TVisibleRect&) const override
    {
        destination.ScanLine(0)[0] = 1;
        throw EInvalidGraphic("broken");
    }
};

TEST(Stretch, AFailedStretchLeavesTheSourceAsItWas)
{
    TThrowingStretch broken;
    const TStretcher stretcher(&broken);
    TBitmap source = Random(12, 12, 24, 9);
    const TBitmap original = source.Clone();
    EXPECT_THROW(stretcher.Stretch(&source, nullptr, 6, 6, TStretchMode::smHalfTone, 0, 0, {0, 0, 6, 6}),
                 EInvalidGraphic);
    EXPECT_EQ(PixelDifference(source, original), "");
}

class TRecordingStretch : public THalfToneStretch {
public:
    mutable int Calls = 0;
    mutable TVisibleRect Seen;
    mutable int SeenWidth = 0, SeenHeight = 0, SeenBits = 0;
    void Stretch(const TBitmap&, TBitmap& destination, int width, int height, int x, int y,
                 const TVisibleRect& visible) const override
    {
        ++Calls;
        Seen = visible;
        SeenWidth = width;
        SeenHeight = height;
        SeenBits = destination.BitsPerPixel();
        destination.ScanLine(y)[x * destination.BytesPerPixel()] = 42;
    }
};

TEST(Stretch, HalfToneGoesToTheInjectedStretch)
{
    TRecordingStretch recorder;
    const TStretcher stretcher(&recorder);
    TBitmap gray = Random(10, 10, 8, 10);
    TBitmap destination(8, 8, 8, true);
    stretcher.Stretch(&gray, &destination, 30, 20, TStretchMode::smHalfTone, 1, 2, {4, 5, 10, 9});
    EXPECT_EQ(recorder.Calls, 1);
    EXPECT_EQ(recorder.Seen, (TVisibleRect{4, 5, 10, 9}));
    EXPECT_EQ(recorder.SeenWidth, 30);
    EXPECT_EQ(recorder.SeenHeight, 20);
    EXPECT_EQ(recorder.SeenBits, 8);
    EXPECT_EQ(destination.ScanLine(2)[1], 42);
    // The dispatcher's checks apply: a rectangle outside the picture is
    // refused before the stretch is called.
    stretcher.Stretch(&gray, &destination, 30, 20, TStretchMode::smHalfTone, 0, 0, {0, 0, 31, 5});
    EXPECT_EQ(recorder.Calls, 1);
}

TEST(Stretch, FallbackHalfToneAveragesWhenShrinkingAndInterpolatesWhenGrowing)
{
    const TStretcher stretcher;
    TBitmap source = Random(40, 30, 24, 11);
    const TBitmap original = source.Clone();
    TBitmap small(10, 10, 24);
    stretcher.Stretch(&source, &small, 10, 10, TStretchMode::smHalfTone, 0, 0, {0, 0, 10, 10});
    EXPECT_EQ(PixelDifference(small, ReferenceScale(original, ResampleMethod::AreaAverage, 10, 10, {0, 0, 10, 10})), "");
    TBitmap large(50, 20, 24);
    stretcher.Stretch(&source, &large, 50, 20, TStretchMode::smHalfTone, 0, 0, {0, 0, 50, 20});
    EXPECT_EQ(PixelDifference(large, ReferenceScale(original, ResampleMethod::Bilinear, 50, 20, {0, 0, 50, 20})), "");
    // The four methods go through the dispatcher.
    TBitmap viaMode(12, 9, 24);
    stretcher.Stretch(&source, &viaMode, 12, 9, TStretchMode::smLanczos3, 0, 0, {0, 0, 12, 9});
    EXPECT_EQ(PixelDifference(viaMode, ReferenceScale(original, ResampleMethod::Lanczos3, 12, 9, {0, 0, 12, 9})), "");
}

}  // namespace
