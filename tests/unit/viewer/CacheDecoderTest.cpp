#include <gtest/gtest.h>

#include <string>

#include "loading/FileLoader.h"
#include "loading/ImgLoader.h"
#include "support/TempFolder.h"
#include "viewer/CacheDecoder.h"

namespace {

std::string WriteBmp(const TTempFolder& folder, const char* name, int width, int height, int bits)
{
    TBitmap bitmap(width, height, bits, true);
    if (bits == 8)
        bitmap.SetGrayPalette();
    const std::vector<uint8_t> bytes = EncodeBmpFile(bitmap);
    return folder.Write(name, std::string(bytes.begin(), bytes.end()));
}

TEST(CacheDecoder, DecodesFilesAndBytesReadAheadAlike)
{
    TTempFolder folder;
    const std::string path = WriteBmp(folder, "p.bmp", 7, 5, 24);
    TFileLoaderList registry;
    registry.Reload();
    int finished = 0;
    TLoaderCacheDecoder decoder(registry, std::nullopt, [&](std::unique_ptr<TBitmap>&, bool) { ++finished; });
    const TCacheItem item{3, path, 0, -1};

    const TImageSlot direct = decoder.Decode(item);
    ASSERT_TRUE(direct.HasBitmap());
    EXPECT_EQ(direct.Index, 3);
    EXPECT_EQ(direct.Width(), 7);
    EXPECT_EQ(direct.LoadedHeight, 5);

    TMemoryStream bytes;
    EXPECT_EQ(decoder.ReadBytes(item, 10, bytes), TReadResult::rrTooLarge);
    ASSERT_EQ(decoder.ReadBytes(item, 1 << 20, bytes), TReadResult::rrRead);
    const TImageSlot ahead = decoder.DecodeBytes(item, bytes);
    ASSERT_TRUE(ahead.HasBitmap());
    EXPECT_EQ(ahead.Width(), 7);
    EXPECT_EQ(finished, 2);
}

TEST(CacheDecoder, FinishingStepMayReplaceThePicture)
{
    TTempFolder folder;
    const std::string path = WriteBmp(folder, "gray.bmp", 4, 6, 8);
    TFileLoaderList registry;
    registry.Reload();
    // A quarter turn as the rotation would do it: the caption keeps the size
    // as loaded, the layout sees the turned one.
    TLoaderCacheDecoder decoder(registry, std::nullopt, [](std::unique_ptr<TBitmap>& bitmap, bool gray) {
        EXPECT_TRUE(gray);
        auto turned = std::make_unique<TBitmap>(bitmap->Height(), bitmap->Width(), 8, true);
        turned->SetGrayPalette();
        bitmap = std::move(turned);
    });
    const TImageSlot slot = decoder.Decode(TCacheItem{0, path, 0, -1});
    ASSERT_TRUE(slot.HasBitmap());
    EXPECT_EQ(slot.Width(), 6);
    EXPECT_EQ(slot.LoadedWidth, 4);
    EXPECT_TRUE(slot.Gray);
}

TEST(CacheDecoder, DamagedOrMissingFileGivesAnIndexWithoutPicture)
{
    TTempFolder folder;
    TFileLoaderList registry;
    registry.Reload();
    TLoaderCacheDecoder decoder(registry, std::nullopt, nullptr);
    const TImageSlot damaged = decoder.Decode(TCacheItem{4, folder.Write("bad.bmp", "BM\x10\x00"), 0, -1});
    EXPECT_EQ(damaged.Index, 4);
    EXPECT_FALSE(damaged.HasBitmap());
    const TImageSlot missing = decoder.Decode(TCacheItem{5, folder.File("none.bmp"), 0, -1});
    EXPECT_EQ(missing.Index, 5);
    EXPECT_FALSE(missing.HasBitmap());
    TMemoryStream bytes;
    EXPECT_EQ(decoder.ReadBytes(TCacheItem{5, folder.File("none.bmp"), 0, -1}, 1 << 20, bytes),
              TReadResult::rrFailed);
}

}  // namespace
