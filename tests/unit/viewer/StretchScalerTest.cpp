// Scaling a large region in bands on several threads gives the same bytes as
// one call, for every resampler and both page depths.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "common/Bitmap.h"
#include "viewer/StretchScaler.h"

namespace {

struct TBandCase {
    const char* Name;
    TStretchMode Stretch;
    int Bits;
    TRect Region;
};

TBitmap Pattern(int width, int height, int bits)
{
    TBitmap bitmap(width, height, bits);
    if (bits == 8)
        bitmap.SetGrayPalette();
    const int bytes = width * bits / 8;
    for (int row = 0; row < height; ++row) {
        uint8_t* line = bitmap.ScanLine(row);
        for (int column = 0; column < bytes; ++column)
            line[column] = static_cast<uint8_t>((row * 7 + column * 13 + (row * column) % 31) & 0xff);
    }
    return bitmap;
}

bool SameRows(const TBitmap& a, const TBitmap& b)
{
    const size_t bytes = static_cast<size_t>(a.Width()) * static_cast<size_t>(a.BitsPerPixel() / 8);
    for (int row = 0; row < a.Height(); ++row)
        if (std::memcmp(a.ScanLine(row), b.ScanLine(row), bytes) != 0)
            return false;
    return true;
}

class BandedScaleTest : public testing::TestWithParam<TBandCase> {};

TEST_P(BandedScaleTest, BandsGiveTheBytesOfOneCall)
{
    const TBandCase& c = GetParam();
    const TBitmap source = Pattern(1240, 1754, c.Bits);
    constexpr int Width = 760, Height = 1075;
    const TRect region = c.Region;
    // The region goes at (5, 3) of a destination with room around it.
    TBitmap whole(region.Width() + 10, region.Height() + 6, c.Bits, true);
    TBitmap banded(region.Width() + 10, region.Height() + 6, c.Bits, true);
    if (c.Bits == 8) {
        whole.SetGrayPalette();
        banded.SetGrayPalette();
    }
    TStretchPageScaler one(nullptr, 1);
    TStretchPageScaler three(nullptr, 3);
    one.SetStretch(c.Stretch);
    three.SetStretch(c.Stretch);
    one.Scale(source, c.Bits == 8, whole, Width, Height, 5, 3, region);
    three.Scale(source, c.Bits == 8, banded, Width, Height, 5, 3, region);
    EXPECT_TRUE(SameRows(whole, banded));
    // Something was written: the middle row is not the cleared black.
    const uint8_t* middle = whole.ScanLine(3 + region.Height() / 2);
    const size_t bytes = static_cast<size_t>(whole.Width()) * static_cast<size_t>(c.Bits / 8);
    EXPECT_NE(std::count(middle, middle + bytes, 0), static_cast<std::ptrdiff_t>(bytes));
}

INSTANTIATE_TEST_SUITE_P(Methods, BandedScaleTest,
                         testing::Values(TBandCase{"BilinearWhole", TStretchMode::smBilinear, 24, TRect{0, 0, 760, 1075}},
                                         TBandCase{"BicubicGray", TStretchMode::smBicubic, 8, TRect{0, 0, 760, 1075}},
                                         TBandCase{"AreaAveragePart", TStretchMode::smAreaAverage, 24, TRect{40, 211, 700, 1000}},
                                         TBandCase{"Lanczos3Whole", TStretchMode::smLanczos3, 24, TRect{0, 0, 760, 1075}},
                                         TBandCase{"Lanczos3GrayPart", TStretchMode::smLanczos3, 8, TRect{3, 17, 759, 1074}}),
                         [](const testing::TestParamInfo<TBandCase>& info) { return std::string(info.param.Name); });

}  // namespace
