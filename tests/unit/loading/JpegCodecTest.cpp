#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "base/Errors.h"
#include "loading/ImgLoader.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A smooth colour picture: JPEG keeps it within a few levels.
TBitmap Gradient(int width, int height)
{
    TBitmap bitmap(width, height, 24);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(x * 255 / (width - 1));
            row[3 * x + 1] = static_cast<uint8_t>(y * 255 / (height - 1));
            row[3 * x + 2] = static_cast<uint8_t>(128 + (x - y) / 4);
        }
    }
    return bitmap;
}

TBitmap Flat(int width, int height, uint8_t blue, uint8_t green, uint8_t red)
{
    TBitmap bitmap(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bitmap.ScanLine(y)[3 * x] = blue;
            bitmap.ScanLine(y)[3 * x + 1] = green;
            bitmap.ScanLine(y)[3 * x + 2] = red;
        }
    return bitmap;
}

struct TDifference {
    double Mean = 0;
    int Max = 0;
};

TDifference Compare(const TBitmap& a, const TBitmap& b)
{
    TDifference d;
    long total = 0;
    long count = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width() * 3; ++x) {
            const int diff = std::abs(a.ScanLine(y)[x] - b.ScanLine(y)[x]);
            total += diff;
            d.Max = std::max(d.Max, diff);
            ++count;
        }
    d.Mean = static_cast<double>(total) / static_cast<double>(count);
    return d;
}

// The start-of-frame marker tells baseline (0xC0) from progressive (0xC2).
int FrameMarker(const Bytes& jpeg)
{
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC1 || jpeg[i + 1] == 0xC2))
            return jpeg[i + 1];
    return -1;
}

// The first entry of the first quantisation table: 16 in the standard
// luminance table, scaled to 3 at quality 90.
int FirstQuantiser(const Bytes& jpeg)
{
    for (size_t i = 2; i + 5 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDB)
            return jpeg[i + 5];
    return -1;
}

TEST(JpegCodec, ColourRoundTripWithinTolerance)
{
    const TBitmap original = Gradient(37, 23);  // not a multiple of the block size
    const Bytes jpeg = EncodeJpeg(original);
    EXPECT_EQ(FrameMarker(jpeg), 0xC0);
    EXPECT_EQ(FirstQuantiser(jpeg), 3);
    const TBitmap back = DecodeJpeg(jpeg.data(), jpeg.size());
    ASSERT_EQ(back.Width(), 37);
    ASSERT_EQ(back.Height(), 23);
    EXPECT_EQ(back.BitsPerPixel(), 24);
    const TDifference d = Compare(original, back);
    EXPECT_LT(d.Mean, 2.0);
    EXPECT_LE(d.Max, 24);
}

// Blue and red must not trade places on the way in or out.
TEST(JpegCodec, ChannelOrderSurvives)
{
    struct TColour {
        uint8_t Blue, Green, Red;
    };
    for (const TColour c : {TColour{0, 0, 255}, TColour{255, 0, 0}, TColour{0, 255, 0}, TColour{30, 90, 200}}) {
        const TBitmap original = Flat(16, 16, c.Blue, c.Green, c.Red);
        const Bytes jpeg = EncodeJpeg(original);
        const TBitmap back = DecodeJpeg(jpeg.data(), jpeg.size());
        EXPECT_LE(Compare(original, back).Max, 6) << int(c.Blue) << ' ' << int(c.Green) << ' ' << int(c.Red);
    }
}

TEST(JpegCodec, GrayIsStoredAsOneChannelAndReadAsColour)
{
    TBitmap gray(20, 10, 8);
    gray.SetGrayPalette();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            gray.ScanLine(y)[x] = static_cast<uint8_t>(x * 12);
    const Bytes grayJpeg = EncodeJpeg(gray);
    TBitmap wide = gray.Clone();
    wide.ConvertTo24();
    const Bytes colourJpeg = EncodeJpeg(wide);
    // One component: a smaller file than the same picture in colour.
    EXPECT_LT(grayJpeg.size(), colourJpeg.size());
    const TBitmap back = DecodeJpeg(grayJpeg.data(), grayJpeg.size());
    EXPECT_EQ(back.BitsPerPixel(), 24);
    for (int x = 0; x < 20; ++x) {
        const uint8_t* p = back.ScanLine(5) + 3 * x;
        EXPECT_EQ(p[0], p[1]);
        EXPECT_EQ(p[1], p[2]);
    }
    EXPECT_LE(Compare(wide, back).Max, 8);
}

TEST(JpegCodec, PaletteColourIsWidenedBeforeEncoding)
{
    TBitmap indexed(8, 8, 8, true);
    indexed.Palette() = {TRGBQuad{0, 0, 200, 0}};
    const Bytes jpeg = EncodeJpeg(indexed);
    const TBitmap back = DecodeJpeg(jpeg.data(), jpeg.size());
    EXPECT_LE(Compare(Flat(8, 8, 0, 0, 200), back).Max, 6);
}

TEST(JpegCodec, DamagedDataRaises)
{
    const Bytes jpeg = EncodeJpeg(Gradient(40, 40));
    const Bytes half(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2));
    EXPECT_THROW(DecodeJpeg(half.data(), half.size()), EInvalidGraphic);
    const Bytes headerOnly(jpeg.begin(), jpeg.begin() + 20);
    EXPECT_THROW(DecodeJpeg(headerOnly.data(), headerOnly.size()), EInvalidGraphic);
    Bytes noise(500);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<uint8_t>(i * 7919 >> 3);
    EXPECT_THROW(DecodeJpeg(noise.data(), noise.size()), EInvalidGraphic);
    EXPECT_THROW(DecodeJpeg(nullptr, 0), EInvalidGraphic);
    EXPECT_THROW(DecodeJpeg(jpeg.data(), 2), EInvalidGraphic);
    EXPECT_THROW(EncodeJpeg(TBitmap()), EInvalidGraphic);
}

// A damaged header promising a huge picture over a few hundred bytes of data
// fails when the rows run out, having reserved no more than what was decoded.
TEST(JpegCodec, HugeHeaderOverLittleDataRaises)
{
    Bytes jpeg = EncodeJpeg(Gradient(40, 40));
    bool patched = false;
    for (size_t i = 2; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = 0x19;  // height 6600
            jpeg[i + 6] = 0xC8;
            jpeg[i + 7] = 0x27;  // width 10000
            jpeg[i + 8] = 0x10;
            patched = true;
            break;
        }
    ASSERT_TRUE(patched);
    EXPECT_THROW(DecodeJpeg(jpeg.data(), jpeg.size()), EInvalidGraphic);
}

}  // namespace
