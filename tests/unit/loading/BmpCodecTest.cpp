#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "loading/ImgLoader.h"
#include "unit/loading/BmpBuilder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Entry = std::vector<uint8_t>;

// Colour table entries (blue, green, red) of the indexed test pictures.
const Entry K = {0x00, 0x00, 0x00};
const Entry R = {0x00, 0x00, 0xFF};
const Entry G = {0x00, 0xFF, 0x00};
const Entry B = {0xFF, 0x00, 0x00};
const Entry W = {0xFF, 0xFF, 0xFF};
const Entry Y = {0x80, 0x80, 0x80};
const Entry P0 = {10, 20, 30};
const Entry P1 = {200, 150, 100};

// Most pictures are 3x2 (an odd width, so rows carry padding): red, green,
// blue on top; white, black, gray below. Expected pixels are 0xRRGGBB,
// top row first.
const std::vector<uint32_t> Six = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};

std::vector<Entry> SixPalette()
{
    return {K, R, G, B, W, Y};
}

std::vector<Entry> FullTable(std::vector<Entry> first, size_t size)
{
    first.resize(size, Entry{0, 0, 0});
    return first;
}

// 1-bit pictures are 10x2: row 0 is 1010011001, row 1 its inverse.
constexpr uint32_t Q0 = 0x1E140A;  // P0 as 0xRRGGBB
constexpr uint32_t Q1 = 0x6496C8;
const std::vector<uint32_t> TenBits = {Q1, Q0, Q1, Q0, Q0, Q1, Q1, Q0, Q0, Q1,
                                       Q0, Q1, Q0, Q1, Q1, Q0, Q0, Q1, Q1, Q0};
const Bytes TenBitsRows = {0x59, 0x80, 0x00, 0x00, 0xA6, 0x40, 0x00, 0x00};

const Bytes Rows24 = {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0x80, 0x80, 0x00, 0x00, 0x00,
                      0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00};
const Bytes Rows24TopDown = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00,
                             0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0x80, 0x80, 0x00, 0x00, 0x00};
const Bytes Rows8 = {0x04, 0x00, 0x05, 0x00, 0x01, 0x02, 0x03, 0x00};
const Bytes Rows4 = {0x40, 0x50, 0x00, 0x00, 0x12, 0x30, 0x00, 0x00};

struct TVariant {
    std::string Name;
    TBmpSpec Spec;
    int Width;
    int Height;
    int Depth;  // bits per pixel of the decoded bitmap
    PixelFormat Format;
    std::vector<uint32_t> Expected;
};

TBmpSpec Spec(uint32_t headerSize, int32_t width, int32_t height, uint16_t bits, Bytes pixels)
{
    TBmpSpec spec;
    spec.HeaderSize = headerSize;
    spec.Width = width;
    spec.Height = height;
    spec.BitCount = bits;
    spec.Pixels = std::move(pixels);
    return spec;
}

TBmpSpec WithPalette(TBmpSpec spec, std::vector<Entry> palette, uint32_t used)
{
    spec.Palette = std::move(palette);
    spec.ColorsUsed = used;
    return spec;
}

TBmpSpec WithMasks(TBmpSpec spec, uint32_t compression, std::vector<uint32_t> masks)
{
    spec.Compression = compression;
    spec.Masks = std::move(masks);
    return spec;
}

TBmpSpec Compressed(TBmpSpec spec, uint32_t compression)
{
    spec.Compression = compression;
    return spec;
}

std::vector<TVariant> Variants()
{
    std::vector<TVariant> v;
    v.push_back({"Windows24BottomUp", Spec(40, 3, 2, 24, Rows24), 3, 2, 24, PixelFormat::Bits24, Six});
    v.push_back({"Windows24TopDown", Spec(40, 3, -2, 24, Rows24TopDown), 3, 2, 24, PixelFormat::Bits24, Six});
    v.push_back({"Windows8ShortColourTable", WithPalette(Spec(40, 3, 2, 8, Rows8), SixPalette(), 6), 3, 2, 8,
                 PixelFormat::Bits8, Six});
    v.push_back({"Windows8FullTableImplied", WithPalette(Spec(40, 3, 2, 8, Rows8), FullTable(SixPalette(), 256), 0),
                 3, 2, 8, PixelFormat::Bits8, Six});
    v.push_back({"Windows4ShortColourTable", WithPalette(Spec(40, 3, 2, 4, Rows4), SixPalette(), 6), 3, 2, 8,
                 PixelFormat::Bits4, Six});
    v.push_back({"Windows1", WithPalette(Spec(40, 10, 2, 1, TenBitsRows), {P0, P1}, 0), 10, 2, 8, PixelFormat::Bits1,
                 TenBits});
    v.push_back({"Windows1TableLongerThanDepth",
                 WithPalette(Spec(40, 10, 2, 1, TenBitsRows), FullTable({P0, P1}, 16), 16), 10, 2, 8,
                 PixelFormat::Bits1, TenBits});
    v.push_back({"Os2Core24", Spec(12, 3, 2, 24, Rows24), 3, 2, 24, PixelFormat::Bits24, Six});
    v.push_back({"Os2Core8", WithPalette(Spec(12, 3, 2, 8, Rows8), FullTable(SixPalette(), 256), 0), 3, 2, 8,
                 PixelFormat::Bits8, Six});
    v.push_back({"Os2Core1", WithPalette(Spec(12, 10, 2, 1, TenBitsRows), {P0, P1}, 0), 10, 2, 8, PixelFormat::Bits1,
                 TenBits});
    v.push_back({"Os2V2Header64", WithPalette(Spec(64, 3, 2, 4, Rows4), SixPalette(), 6), 3, 2, 8,
                 PixelFormat::Bits4, Six});
    v.push_back({"Os2V2Header16", WithPalette(Spec(16, 3, 2, 8, Rows8), FullTable(SixPalette(), 256), 0), 3, 2, 8,
                 PixelFormat::Bits8, Six});
    v.push_back({"Os2V2Header64Rle8",
                 WithPalette(Compressed(Spec(64, 3, 2, 8,
                                             {0x00, 0x03, 0x04, 0x00, 0x05, 0x00, 0x00, 0x00, 0x01, 0x01, 0x01,
                                              0x02, 0x01, 0x03, 0x00, 0x01}),
                                        1),
                             SixPalette(), 6),
                 3, 2, 8, PixelFormat::Bits8, Six});
    v.push_back({"V4Header24TopDown", Spec(108, 3, -2, 24, Rows24TopDown), 3, 2, 24, PixelFormat::Bits24, Six});
    // The fourth byte of a plain 32-bit pixel is not alpha, whatever it holds.
    v.push_back({"V5Header32Plain",
                 Spec(124, 3, 2, 32,
                      {0xFF, 0xFF, 0xFF, 0x11, 0x00, 0x00, 0x00, 0x22, 0x80, 0x80, 0x80, 0x33,
                       0x00, 0x00, 0xFF, 0x44, 0x00, 0xFF, 0x00, 0x55, 0xFF, 0x00, 0x00, 0x66}),
                 3, 2, 24, PixelFormat::Bits32, Six});
    // 5-bit channels are widened so that 31 gives 255; 16 gives 132.
    const std::vector<uint32_t> six555 = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x848484};
    v.push_back({"Plain16Is555",
                 Spec(40, 3, 2, 16,
                      {0xFF, 0x7F, 0x00, 0x00, 0x10, 0x42, 0x00, 0x00, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x00, 0x00}),
                 3, 2, 24, PixelFormat::Bits15, six555});
    const Bytes rows565 = {0xFF, 0xFF, 0x00, 0x00, 0x10, 0x84, 0x00, 0x00,
                           0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x00, 0x00};
    const std::vector<uint32_t> six565 = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x848284};
    v.push_back({"BitFields565AfterHeader", WithMasks(Spec(40, 3, 2, 16, rows565), 3, {0xF800, 0x07E0, 0x001F}), 3,
                 2, 24, PixelFormat::Bits16, six565});
    v.push_back({"BitFields565In52ByteHeader", WithMasks(Spec(52, 3, 2, 16, rows565), 3, {0xF800, 0x07E0, 0x001F}),
                 3, 2, 24, PixelFormat::Bits16, six565});
    v.push_back({"BitFields555IsBits15",
                 WithMasks(Spec(40, 3, 2, 16,
                                {0xFF, 0x7F, 0x00, 0x00, 0x10, 0x42, 0x00, 0x00, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00,
                                 0x00, 0x00}),
                           3, {0x7C00, 0x03E0, 0x001F}),
                 3, 2, 24, PixelFormat::Bits15, six555});
    // Alpha in the top nibble never changes the colour.
    v.push_back({"AlphaMask4444In56ByteHeader",
                 WithMasks(Spec(56, 3, 2, 16,
                                {0xFF, 0xFF, 0x00, 0xF0, 0x88, 0x08, 0x00, 0x00, 0x00, 0xFF, 0xF0, 0x80, 0x0F, 0x00,
                                 0x00, 0x00}),
                           3, {0x0F00, 0x00F0, 0x000F, 0xF000}),
                 3, 2, 24, PixelFormat::Bits16,
                 {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x888888}});
    v.push_back({"AlphaBitFieldsAfterHeader",
                 WithMasks(Spec(40, 3, 2, 32,
                                {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x80, 0x80, 0x80, 0x80,
                                 0xFF, 0x00, 0x00, 0x80, 0x00, 0xFF, 0x00, 0x80, 0x00, 0x00, 0xFF, 0x80}),
                           6, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}),
                 3, 2, 24, PixelFormat::Bits32, Six});
    v.push_back({"BitFields32TenBitChannels",
                 WithMasks(Spec(40, 3, 2, 32,
                                {0xFF, 0xFF, 0xFF, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x08, 0x20,
                                 0x00, 0x00, 0xF0, 0x3F, 0x00, 0xFC, 0x0F, 0x00, 0xFF, 0x03, 0x00, 0x00}),
                           3, {0x3FF00000, 0x000FFC00, 0x000003FF}),
                 3, 2, 24, PixelFormat::Bits32, Six});
    v.push_back({"V5Header32BitFieldsWithAlpha",
                 WithMasks(Spec(124, 3, 2, 32,
                                {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x10, 0x80, 0x80, 0x80, 0xFF,
                                 0x00, 0x00, 0xFF, 0x7F, 0x00, 0xFF, 0x00, 0x01, 0xFF, 0x00, 0x00, 0xFF}),
                           3, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}),
                 3, 2, 24, PixelFormat::Bits32, Six});
    // Bottom row: an absolute run of three (padded to four bytes), end of
    // line; top row: three one-pixel runs, end of bitmap.
    const Bytes rle8 = {0x00, 0x03, 0x04, 0x00, 0x05, 0x00, 0x00, 0x00,
                        0x01, 0x01, 0x01, 0x02, 0x01, 0x03, 0x00, 0x01};
    v.push_back({"Rle8", WithPalette(Compressed(Spec(40, 3, 2, 8, rle8), 1), SixPalette(), 6), 3, 2, 8,
                 PixelFormat::Bits8, Six});
    v.push_back({"Rle8WithoutEndOfBitmap",
                 WithPalette(Compressed(Spec(40, 3, 2, 8, Bytes(rle8.begin(), rle8.end() - 2)), 1), SixPalette(), 6),
                 3, 2, 8, PixelFormat::Bits8, Six});
    // 4x3: bottom row four 7s, then a move one right and one down past the
    // middle row, two 9s, end of bitmap. Pixels never written are index 0.
    std::vector<Entry> deltaTable(10, K);
    deltaTable[7] = {0x07, 0x07, 0x07};
    deltaTable[9] = {0x09, 0x09, 0x09};
    v.push_back({"Rle8DeltaLeavesIndexZero",
                 WithPalette(Compressed(Spec(40, 4, 3, 8,
                                             {0x04, 0x07, 0x00, 0x00, 0x00, 0x02, 0x01, 0x01, 0x02, 0x09, 0x00, 0x01}),
                                        1),
                             deltaTable, 10),
                 4, 3, 8, PixelFormat::Bits8,
                 {0x000000, 0x090909, 0x090909, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x070707,
                  0x070707, 0x070707, 0x070707}});
    // Bottom row: an absolute run of three nibbles; top row: a run of two
    // alternating 1 and 2, then a run of one 3.
    v.push_back({"Rle4",
                 WithPalette(Compressed(Spec(40, 3, 2, 4,
                                             {0x00, 0x03, 0x40, 0x50, 0x00, 0x00, 0x02, 0x12, 0x01, 0x30, 0x00, 0x01}),
                                        2),
                             SixPalette(), 6),
                 3, 2, 8, PixelFormat::Bits4, Six});
    v.push_back({"Rle4AbsoluteOddCountPadded",
                 WithPalette(Compressed(Spec(40, 5, 1, 4, {0x00, 0x05, 0x12, 0x34, 0x50, 0x00, 0x00, 0x01}), 2),
                             SixPalette(), 6),
                 5, 1, 8, PixelFormat::Bits4, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080}});
    TBmpSpec gap = Spec(40, 3, 2, 24, Rows24);
    gap.Gap = 6;
    v.push_back({"PixelOffsetBehindAGap", gap, 3, 2, 24, PixelFormat::Bits24, Six});
    TBmpSpec zero = WithPalette(Spec(40, 3, 2, 8, Rows8), SixPalette(), 6);
    zero.PixelOffset = 0;
    v.push_back({"PixelOffsetZeroMeansBehindTable", zero, 3, 2, 8, PixelFormat::Bits8, Six});
    v.push_back({"LastRowPaddingMissing", Spec(40, 3, 2, 24, Bytes(Rows24.begin(), Rows24.end() - 3)), 3, 2, 24,
                 PixelFormat::Bits24, Six});
    return v;
}

std::vector<TVariant> AllVariants()
{
    return Variants();
}

std::vector<uint32_t> Pixels(const TBitmap& bitmap)
{
    TBitmap wide = bitmap.Clone();
    wide.ConvertTo24();
    std::vector<uint32_t> out;
    for (int y = 0; y < wide.Height(); ++y) {
        const uint8_t* row = wide.ScanLine(y);
        for (int x = 0; x < wide.Width(); ++x)
            out.push_back(static_cast<uint32_t>(row[3 * x + 2]) << 16 | row[3 * x + 1] << 8 | row[3 * x]);
    }
    return out;
}

class BmpVariant : public ::testing::TestWithParam<TVariant> {};

TEST_P(BmpVariant, DecodesToTheExactPixels)
{
    const TVariant& v = GetParam();
    const Bytes file = BuildBmp(v.Spec);
    const TBitmap bitmap = DecodeBmpFile(file.data(), file.size());
    EXPECT_EQ(bitmap.Width(), v.Width);
    EXPECT_EQ(bitmap.Height(), v.Height);
    EXPECT_EQ(bitmap.BitsPerPixel(), v.Depth);
    EXPECT_EQ(bitmap.LoadedFormat(), v.Format);
    EXPECT_EQ(Pixels(bitmap), v.Expected);
}

// A plug-in hands the same picture over as two blocks, header and table in
// one, pixel rows in the other.
TEST_P(BmpVariant, DibBlocksDecodeLikeTheFile)
{
    const TVariant& v = GetParam();
    const Bytes info = BuildDibInfo(v.Spec);
    const TBitmap bitmap = DecodeDib(info.data(), info.size(), v.Spec.Pixels.data(), v.Spec.Pixels.size());
    EXPECT_EQ(bitmap.LoadedFormat(), v.Format);
    EXPECT_EQ(Pixels(bitmap), v.Expected);
}

INSTANTIATE_TEST_SUITE_P(Loading, BmpVariant, ::testing::ValuesIn(AllVariants()),
                         [](const ::testing::TestParamInfo<TVariant>& info) { return info.param.Name; });

// ---------------------------------------------------------------------------
// Damaged files: every one is refused with EInvalidGraphic, before anything
// large is allocated.

struct TDamage {
    std::string Name;
    std::function<Bytes()> Make;
};

TBmpSpec Good8()
{
    return WithPalette(Spec(40, 3, 2, 8, Rows8), SixPalette(), 6);
}

Bytes Patched(TBmpSpec spec, size_t at, uint32_t value, int bytes)
{
    Bytes file = BuildBmp(spec);
    PutLe(file, at, value, bytes);
    return file;
}

Bytes Build(TBmpSpec spec)
{
    return BuildBmp(spec);
}

template <typename F>
TDamage Case(std::string name, F change)
{
    return {std::move(name), [change] {
                TBmpSpec spec = Good8();
                change(spec);
                return BuildBmp(spec);
            }};
}

TBmpSpec Rle8(int32_t width, int32_t height, Bytes data)
{
    return WithPalette(Compressed(Spec(40, width, height, 8, std::move(data)), 1), SixPalette(), 6);
}

std::vector<TDamage> Damages()
{
    std::vector<TDamage> d;
    d.push_back({"TooShortForTheHeaders", [] { return Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40}; }});
    d.push_back({"NotBM", [] { return Patched(Good8(), 0, 'B' | 'A' << 8, 2); }});
    d.push_back({"HeaderSizeBeyondFile", [] { return Patched(Good8(), 14, 0x7FFFFFF0, 4); }});
    d.push_back({"HeaderSizeUnknown", [] { return Patched(Good8(), 14, 8, 4); }});
    d.push_back({"HeaderSizeBetweenCoreAndOs2", [] { return Patched(Good8(), 14, 13, 4); }});
    d.push_back(Case("HugeWidth", [](TBmpSpec& s) { s.Width = 0x7FFFFFFF; }));
    d.push_back(Case("WidthOverLimit", [](TBmpSpec& s) { s.Width = (1 << 20) + 1; s.Height = 1; }));
    d.push_back(Case("ZeroWidth", [](TBmpSpec& s) { s.Width = 0; }));
    d.push_back(Case("NegativeWidth", [](TBmpSpec& s) { s.Width = -3; }));
    d.push_back(Case("ZeroHeight", [](TBmpSpec& s) { s.Height = 0; }));
    d.push_back(Case("MostNegativeHeight", [](TBmpSpec& s) { s.Height = INT32_MIN; }));
    d.push_back(Case("ManyPixelsFewBytes", [](TBmpSpec& s) { s.Width = 30000; s.Height = 30000; }));
    d.push_back(Case("ZeroPlanes", [](TBmpSpec& s) { s.Planes = 0; }));
    d.push_back(Case("TwoPlanes", [](TBmpSpec& s) { s.Planes = 2; }));
    d.push_back(Case("BitCountZero", [](TBmpSpec& s) { s.BitCount = 0; }));
    d.push_back(Case("BitCountTwo", [](TBmpSpec& s) { s.BitCount = 2; }));
    d.push_back(Case("BitCountSeven", [](TBmpSpec& s) { s.BitCount = 7; }));
    d.push_back(Case("BitCount64", [](TBmpSpec& s) { s.BitCount = 64; }));
    d.push_back(Case("Rle8With4Bits", [](TBmpSpec& s) { s.BitCount = 4; s.Compression = 1; }));
    d.push_back(Case("Rle4With8Bits", [](TBmpSpec& s) { s.Compression = 2; }));
    d.push_back(Case("BitFieldsWith8Bits", [](TBmpSpec& s) { s.Compression = 3; s.Masks = {0xE0, 0x1C, 0x03}; }));
    d.push_back({"BitFieldsWith24Bits",
                 [] { return Build(WithMasks(Spec(40, 3, 2, 24, Rows24), 3, {0xFF0000, 0xFF00, 0xFF})); }});
    d.push_back(Case("JpegPayload", [](TBmpSpec& s) { s.Compression = 4; }));
    d.push_back(Case("PngPayload", [](TBmpSpec& s) { s.Compression = 5; }));
    d.push_back(Case("UnknownCompression", [](TBmpSpec& s) { s.Compression = 99; }));
    d.push_back(Case("Os2HuffmanCompression", [](TBmpSpec& s) { s.HeaderSize = 64; s.Compression = 3; }));
    d.push_back(Case("Os2Run24Compression", [](TBmpSpec& s) { s.HeaderSize = 64; s.Compression = 4; }));
    d.push_back({"Os2Core16Bit", [] { return Build(Spec(12, 3, 2, 16, Bytes(16, 0))); }});
    d.push_back({"NonContiguousMask",
                 [] { return Build(WithMasks(Spec(40, 3, 2, 16, Bytes(16, 0)), 3, {0x0F0F, 0x00F0, 0x000F})); }});
    d.push_back({"MaskBeyondSixteenBits",
                 [] { return Build(WithMasks(Spec(40, 3, 2, 16, Bytes(16, 0)), 3, {0x1F0000, 0x07E0, 0x001F})); }});
    d.push_back({"MasksCutOffByThePixelOffset", [] {
                     TBmpSpec s = WithMasks(Spec(40, 3, 2, 16, Bytes(16, 0)), 3, {0xF800, 0x07E0, 0x001F});
                     s.PixelOffset = 14 + 40 + 4;
                     return Build(s);
                 }});
    d.push_back({"MasksPastTheFile", [] {
                     Bytes f = Build(Spec(40, 3, 2, 16, {}));
                     PutLe(f, 14 + 16, 3, 4);
                     return f;
                 }});
    d.push_back(Case("OffsetPastTheEnd", [](TBmpSpec& s) { s.PixelOffset = 14 + 40 + 24 + 8 + 1; }));
    d.push_back(Case("OffsetInsideTheHeader", [](TBmpSpec& s) { s.PixelOffset = 20; }));
    d.push_back(Case("OffsetInsideTheColourTable", [](TBmpSpec& s) { s.PixelOffset = 14 + 40 + 8; }));
    d.push_back(Case("PaletteCountBeyondTheBlock", [](TBmpSpec& s) { s.ColorsUsed = 200; }));
    d.push_back(Case("ImpliedFullTableMissing", [](TBmpSpec& s) { s.ColorsUsed = 0; }));
    d.push_back({"Os2CoreTableShort", [] { return Build(WithPalette(Spec(12, 3, 2, 8, Rows8), SixPalette(), 0)); }});
    d.push_back(Case("NoPixelData", [](TBmpSpec& s) { s.Pixels.clear(); }));
    d.push_back(Case("TruncatedRow", [](TBmpSpec& s) { s.Pixels.resize(6); }));
    d.push_back({"TruncatedRows24", [] { return Build(Spec(40, 3, 2, 24, Bytes(Rows24.begin(), Rows24.end() - 12))); }});
    d.push_back({"LastRowPixelMissing", [] { return Build(Spec(40, 3, 2, 24, Bytes(Rows24.begin(), Rows24.end() - 4))); }});
    d.push_back({"RleRunPastTheRow", [] { return Build(Rle8(3, 2, {0x04, 0x01, 0x00, 0x01})); }});
    d.push_back({"RleRunPastTheRowAfterOthers", [] { return Build(Rle8(3, 2, {0x02, 0x01, 0x02, 0x01, 0x00, 0x01})); }});
    d.push_back({"RleLiteralPastTheRow", [] { return Build(Rle8(3, 2, {0x00, 0x04, 1, 2, 3, 4, 0x00, 0x01})); }});
    d.push_back({"RleRunPastThePicture",
                 [] { return Build(Rle8(3, 2, {0x03, 0x01, 0x00, 0x00, 0x03, 0x01, 0x00, 0x00, 0x01, 0x01})); }});
    d.push_back({"RleDeltaPastThePicture", [] { return Build(Rle8(3, 2, {0x00, 0x02, 0x00, 0x05, 0x01, 0x01})); }});
    d.push_back({"RleDeltaPastTheRow", [] { return Build(Rle8(3, 2, {0x00, 0x02, 0x04, 0x00, 0x00, 0x01})); }});
    d.push_back({"RleLiteralTruncated", [] { return Build(Rle8(3, 2, {0x00, 0x03, 0x01, 0x02})); }});
    d.push_back({"RleDeltaTruncated", [] { return Build(Rle8(3, 2, {0x00, 0x02, 0x01})); }});
    d.push_back({"RleEndsBeforeThePicture", [] { return Build(Rle8(3, 2, {0x03, 0x01, 0x00, 0x00})); }});
    d.push_back({"RleNoData", [] { return Build(Rle8(3, 2, {})); }});
    d.push_back({"RleHugePictureFromTinyData", [] { return Build(Rle8(20000, 20000, {0x00, 0x01})); }});
    d.push_back({"Rle4RunPastTheRow", [] {
                     return Build(WithPalette(Compressed(Spec(40, 3, 2, 4, {0x04, 0x12, 0x00, 0x01}), 2), SixPalette(), 6));
                 }});
    d.push_back({"Rle4LiteralPastTheRow", [] {
                     return Build(WithPalette(Compressed(Spec(40, 3, 2, 4, {0x00, 0x04, 0x12, 0x34, 0x00, 0x01}), 2),
                                              SixPalette(), 6));
                 }});
    return d;
}

class BmpDamage : public ::testing::TestWithParam<TDamage> {};

TEST_P(BmpDamage, IsRefusedCleanly)
{
    const Bytes file = GetParam().Make();
    EXPECT_THROW(DecodeBmpFile(file.data(), file.size()), EInvalidGraphic);
}

INSTANTIATE_TEST_SUITE_P(Loading, BmpDamage, ::testing::ValuesIn(Damages()),
                         [](const ::testing::TestParamInfo<TDamage>& info) { return info.param.Name; });

// Every prefix of a valid file is either refused or, where only the padding
// of the last row is missing, read whole.
TEST(BmpCodec, EveryTruncationIsRefusedOrComplete)
{
    for (const TVariant& v : AllVariants()) {
        const Bytes file = BuildBmp(v.Spec);
        for (size_t size = 0; size < file.size(); ++size) {
            try {
                const TBitmap bitmap = DecodeBmpFile(file.data(), size);
                EXPECT_EQ(Pixels(bitmap), v.Expected) << v.Name << " cut to " << size;
            } catch (const EInvalidGraphic&) {
            }
        }
    }
}

// Bitmap files and plug-in blocks pass one check; only what each source is
// known to hand over differs.
struct TSourceCase {
    std::string Name;
    TBmpSpec Spec;
    bool File;    // accepted from a bitmap file
    bool Plugin;  // accepted from a plug-in
};

std::vector<TSourceCase> SourceCases()
{
    return {
        {"WholeRows", Spec(40, 3, 2, 24, Rows24), true, true},
        {"CoreHeader", Spec(12, 3, 2, 24, Rows24), true, true},
        {"Os2Header64", WithPalette(Spec(64, 3, 2, 4, Rows4), SixPalette(), 6), true, true},
        {"Os2ShortHeader", WithPalette(Spec(16, 3, 2, 8, Rows8), FullTable(SixPalette(), 256), 0), true, false},
        {"ColourCountAboveDepth", WithPalette(Spec(40, 10, 2, 1, TenBitsRows), FullTable({P0, P1}, 16), 16), true,
         false},
        {"LastRowPaddingMissing", Spec(40, 3, 2, 24, Bytes(Rows24.begin(), Rows24.end() - 3)), true, false},
        {"RleWithoutACodePair", Rle8(3, 2, {0x00}), false, false},
    };
}

class BmpSource : public ::testing::TestWithParam<TSourceCase> {};

TEST_P(BmpSource, AcceptsWhatTheSourceHandsOver)
{
    const TSourceCase& c = GetParam();
    const Bytes info = BuildDibInfo(c.Spec);
    const auto decodes = [&](TDibSource source) {
        try {
            DecodeDib(info.data(), info.size(), c.Spec.Pixels.data(), c.Spec.Pixels.size(), source);
            return true;
        } catch (const EInvalidGraphic&) {
            return false;
        }
    };
    EXPECT_EQ(decodes(TDibSource::dsFile), c.File);
    EXPECT_EQ(decodes(TDibSource::dsPlugin), c.Plugin);
}

INSTANTIATE_TEST_SUITE_P(Loading, BmpSource, ::testing::ValuesIn(SourceCases()),
                         [](const ::testing::TestParamInfo<TSourceCase>& info) { return info.param.Name; });

TEST(BmpCodec, DibRefusesNullAndShortBlocks)
{
    const Bytes info = BuildDibInfo(Good8());
    EXPECT_THROW(DecodeDib(nullptr, 0, Rows8.data(), Rows8.size()), EInvalidGraphic);
    EXPECT_THROW(DecodeDib(info.data(), 3, Rows8.data(), Rows8.size()), EInvalidGraphic);
    EXPECT_THROW(DecodeDib(info.data(), info.size(), nullptr, 8), EInvalidGraphic);
    EXPECT_THROW(DecodeDib(info.data(), info.size(), Rows8.data(), 6), EInvalidGraphic);
    // The colour table must lie inside the info block.
    EXPECT_THROW(DecodeDib(info.data(), info.size() - 1, Rows8.data(), Rows8.size()), EInvalidGraphic);
}

// An index the colour table does not hold shows black once the picture is
// widened, as the program shows every such pixel.
TEST(BmpCodec, IndexBeyondTheColourTableIsBlack)
{
    const Bytes file = BuildBmp(WithPalette(Spec(40, 3, 1, 8, {0x00, 0x01, 0x09, 0x00}), {W, R}, 2));
    const TBitmap bitmap = DecodeBmpFile(file.data(), file.size());
    EXPECT_EQ(bitmap.Palette().size(), 2u);
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0xFFFFFF, 0xFF0000, 0x000000}));
}

TEST(BmpCodec, EncodeRoundTripsColourAndGray)
{
    TBitmap colour(5, 3, 24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 15; ++x)
            colour.ScanLine(y)[x] = static_cast<uint8_t>(17 * y + 3 * x + 1);
    const Bytes colourFile = EncodeBmpFile(colour);
    const TBitmap colourBack = DecodeBmpFile(colourFile.data(), colourFile.size());
    EXPECT_EQ(Pixels(colourBack), Pixels(colour));
    EXPECT_EQ(colourBack.BitsPerPixel(), 24);

    TBitmap gray(3, 2, 8);
    gray.SetGrayPalette();
    const uint8_t values[6] = {0, 10, 200, 255, 128, 7};
    for (int i = 0; i < 6; ++i)
        gray.ScanLine(i / 3)[i % 3] = values[i];
    const Bytes grayFile = EncodeBmpFile(gray);
    const TBitmap grayBack = DecodeBmpFile(grayFile.data(), grayFile.size());
    EXPECT_TRUE(grayBack.IsGray());
    EXPECT_EQ(Pixels(grayBack), Pixels(gray));
}

TEST(BmpCodec, EncodeFillsAShortPaletteWithBlack)
{
    TBitmap indexed(2, 1, 8);
    indexed.Palette() = {TRGBQuad{1, 2, 3, 0}, TRGBQuad{4, 5, 6, 0}};
    indexed.ScanLine(0)[0] = 1;
    indexed.ScanLine(0)[1] = 7;
    const Bytes file = EncodeBmpFile(indexed);
    const TBitmap back = DecodeBmpFile(file.data(), file.size());
    ASSERT_EQ(back.Palette().size(), 256u);
    EXPECT_EQ(back.Palette()[1], (TRGBQuad{4, 5, 6, 0}));
    EXPECT_EQ(Pixels(back), Pixels(indexed));
}

TEST(BmpCodec, EncodeRefusesAnEmptyBitmap)
{
    EXPECT_THROW(EncodeBmpFile(TBitmap()), EInvalidGraphic);
}

}  // namespace
