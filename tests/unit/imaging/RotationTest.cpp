// Turning and mirroring: each mode on a labelled picture, the portrait-only
// rule, round trips on pictures larger than a tile, and both layouts.

#include <gtest/gtest.h>

#include <random>

#include "ImagingTestSupport.h"
#include "imaging/FilterProc.h"
#include "imaging/ImgUtils.h"

namespace {

// 3 x 2, pixels 1 .. 6 row by row.
TBitmap Labelled(int bits)
{
    TBitmap b(3, 2, bits);
    if (bits == 8)
        b.SetGrayPalette();
    for (int i = 0; i < 6; ++i)
        for (int c = 0; c < bits / 8; ++c)
            b.ScanLine(i / 3)[(i % 3) * (bits / 8) + c] = static_cast<uint8_t>(10 * (i + 1) + c);
    return b;
}

// The labels row by row.
std::vector<int> Labels(const TBitmap& b)
{
    std::vector<int> labels;
    const int bpp = b.BytesPerPixel();
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            for (int c = 0; c < bpp; ++c)
                EXPECT_EQ(b.ScanLine(y)[x * bpp + c] % 10, c) << "channels kept together";
            labels.push_back(b.ScanLine(y)[x * bpp] / 10);
        }
    return labels;
}

struct TModeCase {
    const char* Name;
    TRotation Mode;
    int Width, Height;
    std::vector<int> Expected;
};

class RotationModeTest : public testing::TestWithParam<TModeCase> {};

TEST_P(RotationModeTest, MovesEveryPixel)
{
    const TModeCase& c = GetParam();
    for (int bits : {24, 8}) {
        TBitmap b = Labelled(bits);
        RotateBitmap(b, c.Mode, false, bits == 8);
        ASSERT_EQ(b.Width(), c.Width);
        ASSERT_EQ(b.Height(), c.Height);
        ASSERT_EQ(b.BitsPerPixel(), bits);
        EXPECT_EQ(Labels(b), c.Expected) << bits;
        if (bits == 8) {
            EXPECT_TRUE(b.IsGray());
        }
    }
}

// [1 2 3]
// [4 5 6]
const TModeCase ModeCases[] = {
    // Clockwise: the former bottom-left pixel comes to the top left.
    {"Right90", TRotation::rtRight90, 2, 3, {4, 1, 5, 2, 6, 3}},
    {"Left90", TRotation::rtLeft90, 2, 3, {3, 6, 2, 5, 1, 4}},
    {"Half", TRotation::rt180, 3, 2, {6, 5, 4, 3, 2, 1}},
    {"UpsideDown", TRotation::rtFlipVertical, 3, 2, {4, 5, 6, 1, 2, 3}},
    {"Mirrored", TRotation::rtFlipHorizontal, 3, 2, {3, 2, 1, 6, 5, 4}},
    {"None", TRotation::rtNone, 3, 2, {1, 2, 3, 4, 5, 6}},
};

INSTANTIATE_TEST_SUITE_P(Modes, RotationModeTest, testing::ValuesIn(ModeCases),
                         [](const testing::TestParamInfo<TModeCase>& info) { return std::string(info.param.Name); });

TEST(Rotation, RoundTripsGiveThePictureBack)
{
    std::mt19937 random(21);
    for (int bits : {24, 8}) {
        // Larger than one 64-pixel tile in both directions, odd sizes.
        const TBitmap original = RandomBitmap(131, 70, bits, random);
        const bool gray = bits == 8;
        TBitmap b = original.Clone();
        for (int i = 0; i < 4; ++i)
            RotateBitmap(b, TRotation::rtRight90, false, gray);
        EXPECT_EQ(PixelDifference(b, original), "") << "four quarter turns " << bits;
        RotateBitmap(b, TRotation::rtRight90, false, gray);
        RotateBitmap(b, TRotation::rtLeft90, false, gray);
        EXPECT_EQ(PixelDifference(b, original), "") << "right then left " << bits;
        TBitmap twice = original.Clone();
        RotateBitmap(twice, TRotation::rtRight90, false, gray);
        RotateBitmap(twice, TRotation::rtRight90, false, gray);
        TBitmap half = original.Clone();
        RotateBitmap(half, TRotation::rt180, false, gray);
        EXPECT_EQ(PixelDifference(twice, half), "") << "two quarters are a half " << bits;
        for (TRotation flip : {TRotation::rtFlipVertical, TRotation::rtFlipHorizontal}) {
            TBitmap f = original.Clone();
            RotateBitmap(f, flip, false, gray);
            EXPECT_NE(PixelDifference(f, original), "");
            RotateBitmap(f, flip, false, gray);
            EXPECT_EQ(PixelDifference(f, original), "") << "mirrored twice " << bits;
        }
    }
}

TEST(Rotation, PortraitOnlyTurnsOnlyPagesTallerThanWide)
{
    for (TRotation mode : {TRotation::rtRight90, TRotation::rtLeft90}) {
        TBitmap square = FilledBitmap(100, 100, 24, 1);
        const uint8_t* before = square.Bits();
        RotateBitmap(square, mode, true, false);
        EXPECT_EQ(square.Bits(), before) << "a square page is not turned";
        TBitmap tall = FilledBitmap(99, 100, 24, 1);
        RotateBitmap(tall, mode, true, false);
        EXPECT_EQ(tall.Width(), 100);
        EXPECT_EQ(tall.Height(), 99);
        TBitmap wide = FilledBitmap(100, 99, 24, 1);
        RotateBitmap(wide, mode, true, false);
        EXPECT_EQ(wide.Width(), 100);
        // Without the option every page turns.
        RotateBitmap(wide, mode, false, false);
        EXPECT_EQ(wide.Width(), 99);
    }
    // The option does not concern the half turn and the mirrors.
    TBitmap b = Labelled(24);
    RotateBitmap(b, TRotation::rt180, true, false);
    EXPECT_EQ(Labels(b), (std::vector<int>{6, 5, 4, 3, 2, 1}));
}

TEST(Rotation, ModeNoneLeavesTheBitmapObjectAlone)
{
    TBitmap b = Labelled(24);
    const uint8_t* before = b.Bits();
    RotateBitmap(b, TRotation::rtNone, false, false);
    EXPECT_EQ(b.Bits(), before);
}

TEST(Rotation, GrayPagesStayGrayAfterTheFilters)
{
    TBitmap page = Labelled(24);
    bool gray = false;
    ApplyFilters(page, {TFilterItem{FilterKind::Grayscale, int32_t{0}}}, gray);
    RotateBitmap(page, TRotation::rtLeft90, false, gray);
    EXPECT_EQ(page.BitsPerPixel(), 8);
    EXPECT_TRUE(page.IsGray());
    EXPECT_EQ(page.Width(), 2);
}

TEST(Rotation, WorkersRefuseOrWidenOtherDepths)
{
    TBitmap colour = Labelled(24);
    EXPECT_FALSE(Turn8(colour, TurnKind::Clockwise).has_value());
    EXPECT_FALSE(Flip8(colour, true).has_value());
    EXPECT_FALSE(Turn24(colour, TurnKind::None).has_value());
    TBitmap gray = Labelled(8);
    const std::optional<TBitmap> wide = Turn24(gray, TurnKind::Half);
    ASSERT_TRUE(wide.has_value());
    EXPECT_EQ(wide->BitsPerPixel(), 24);
    EXPECT_EQ(wide->ScanLine(0)[0], 60);
    EXPECT_EQ(wide->ScanLine(0)[1], 60);
    // A gray flag on a 24-bit picture still turns it (with the 24-bit worker).
    TBitmap b = Labelled(24);
    RotateBitmap(b, TRotation::rtFlipHorizontal, false, true);
    EXPECT_EQ(Labels(b), (std::vector<int>{3, 2, 1, 6, 5, 4}));
}

}  // namespace
