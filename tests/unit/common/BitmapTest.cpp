#include <gtest/gtest.h>

#include <vector>

#include "common/Bitmap.h"
#include "base/Errors.h"

TEST(Bitmap, RowsArePaddedToFourBytesAndPaddingIsZero)
{
    TBitmap colour(5, 3, 24);
    EXPECT_EQ(colour.Stride(), 16u);
    EXPECT_EQ(colour.ScanLine(0)[15], 0);
    TBitmap gray(5, 2, 8);
    EXPECT_EQ(gray.Stride(), 8u);
    EXPECT_EQ(gray.ScanLine(1)[7], 0);
    EXPECT_EQ(colour.ScanLine(2) - colour.ScanLine(0), 32);
}

TEST(Bitmap, RefusesAbsurdSizes)
{
    EXPECT_THROW(TBitmap(1 << 21, 1, 24), EInvalidGraphic);
    EXPECT_THROW(TBitmap(60000, 60000, 24), EInvalidGraphic);
    EXPECT_THROW(TBitmap(-1, 10, 24), EInvalidGraphic);
    EXPECT_THROW(TBitmap(1, 1, 16), EInvalidGraphic);
    EXPECT_NO_THROW(TBitmap(0, 0, 24));
}

TEST(Bitmap, GrayTestNeedsTheExactIdentityPalette)
{
    TBitmap b(2, 2, 8, true);
    EXPECT_FALSE(b.IsGray());
    b.SetGrayPalette();
    EXPECT_TRUE(b.IsGray());
    b.Palette()[200].Green = 7;
    EXPECT_FALSE(b.IsGray());
    b.SetGrayPalette();
    b.Palette().resize(255);
    EXPECT_FALSE(b.IsGray());
}

TEST(Bitmap, ConvertTo24ThroughThePalette)
{
    TBitmap b(3, 1, 8, true);
    b.Palette() = {TRGBQuad{1, 2, 3, 0}, TRGBQuad{4, 5, 6, 0}};
    b.SetLoadedFormat(PixelFormat::Bits1);
    b.ScanLine(0)[0] = 1;
    b.ScanLine(0)[1] = 0;
    b.ScanLine(0)[2] = 9;  // beyond the palette: black
    b.ConvertTo24();
    ASSERT_EQ(b.BitsPerPixel(), 24);
    const uint8_t* row = b.ScanLine(0);
    EXPECT_EQ((std::vector<int>{row[0], row[1], row[2], row[3], row[4], row[5], row[6], row[7], row[8]}),
              (std::vector<int>{4, 5, 6, 1, 2, 3, 0, 0, 0}));
    EXPECT_EQ(b.LoadedFormat(), PixelFormat::Bits1);
}

TEST(Bitmap, CloneIsDeep)
{
    TBitmap a(2, 2, 24, true);
    TBitmap b = a.Clone();
    b.ScanLine(0)[0] = 99;
    EXPECT_EQ(a.ScanLine(0)[0], 0);
}

namespace {

// A block from another allocator that counts its releases.
struct TForeignBlock {
    std::vector<uint8_t> Bytes;
    int Releases = 0;
    static void Release(void* owner) { ++static_cast<TForeignBlock*>(owner)->Releases; }
};

}  // namespace

TEST(Bitmap, AdoptedPixelsAreUsedInPlaceAndReleasedOnce)
{
    TForeignBlock block;
    block.Bytes.assign(16 * 3, 0xAB);  // 5 x 3 at 24 bits: 15 bytes a row and one of padding
    {
        TBitmap bitmap = TBitmap::Adopt(5, 3, 24, block.Bytes.data(), block.Bytes.size(), TForeignBlock::Release,
                                        &block);
        EXPECT_EQ(bitmap.Bits(), block.Bytes.data());
        EXPECT_EQ(bitmap.ScanLine(2)[14], 0xAB);
        EXPECT_EQ(bitmap.ScanLine(1)[15], 0) << "padding is cleared";
        TBitmap moved = std::move(bitmap);
        EXPECT_EQ(block.Releases, 0);
        moved = TBitmap(1, 1, 24);  // the adopted pixels go, the new ones are the bitmap's own
        EXPECT_EQ(block.Releases, 1);
    }
    EXPECT_EQ(block.Releases, 1);
}

TEST(Bitmap, AdoptionRefusedStillReleasesTheBlock)
{
    struct TCase {
        int Width, Height, Bits;
        size_t Available;
        bool WithPixels;
    };
    for (const TCase& c : {TCase{5, 3, 24, 47, true}, TCase{1 << 21, 1, 24, 64, true}, TCase{4, 4, 16, 64, true},
                           TCase{4, 4, 8, 16, false}}) {
        TForeignBlock block;
        block.Bytes.assign(64, 0);
        uint8_t* pixels = c.WithPixels ? block.Bytes.data() : nullptr;
        EXPECT_THROW(TBitmap::Adopt(c.Width, c.Height, c.Bits, pixels, c.Available, TForeignBlock::Release, &block),
                     EInvalidGraphic)
            << c.Width << "x" << c.Height;
        EXPECT_EQ(block.Releases, 1) << c.Width << "x" << c.Height;
    }
}
