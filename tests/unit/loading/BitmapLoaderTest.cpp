#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "loading/ImgLoader.h"
#include "support/TempFolder.h"
#include "unit/loading/BmpBuilder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Picture()
{
    TBitmap bitmap(3, 2, 24, true);
    bitmap.ScanLine(1)[8] = 99;  // red of the bottom-right pixel
    return EncodeBmpFile(bitmap);
}

bool IsPicture(const TBitmap* bitmap)
{
    return bitmap && bitmap->Width() == 3 && bitmap->Height() == 2 && bitmap->ScanLine(1)[8] == 99;
}

struct THeaderCase {
    const char* Name;
    std::string Bytes;
    bool Supported;
};

class BitmapLoaderHeader : public ::testing::TestWithParam<THeaderCase> {};

TEST_P(BitmapLoaderHeader, AcceptsExactlyBM)
{
    std::string header = GetParam().Bytes;
    header.resize(2048, '\0');
    TBitmapLoader loader;
    EXPECT_EQ(loader.IsSupported("anything.jpg", reinterpret_cast<const uint8_t*>(header.data())),
              GetParam().Supported);
}

INSTANTIATE_TEST_SUITE_P(Loading, BitmapLoaderHeader,
                         ::testing::Values(THeaderCase{"BM", "BM", true},
                                           THeaderCase{"DamagedBitmap", "BMxxxxxxxx", true},
                                           THeaderCase{"LowerCase", "bm", false},
                                           THeaderCase{"Swapped", "MB", false},
                                           THeaderCase{"OnlyB", "B", false},
                                           THeaderCase{"BitmapArray", "BA", false},
                                           THeaderCase{"Jpeg", "\xFF\xD8\xFF", false}),
                         [](const ::testing::TestParamInfo<THeaderCase>& info) { return info.param.Name; });

TEST(BitmapLoader, ReadsFilesAtAnOffset)
{
    TTempFolder folder;
    TBitmapLoader loader;
    const std::string plain = folder.Write("a.bmp", AsString(Picture()));
    EXPECT_TRUE(IsPicture(loader.LoadFromFile(plain, 0, false).get()));
    EXPECT_TRUE(IsPicture(loader.LoadFromFile(plain, 0, true).get()));
    const std::string mac = folder.Write("b.bmp", std::string(128, 'm') + AsString(Picture()));
    EXPECT_TRUE(IsPicture(loader.LoadFromFile(mac, 128, false).get()));
    EXPECT_THROW(loader.LoadFromFile(mac, 0, false), EInvalidGraphic);
    EXPECT_THROW(loader.LoadFromFile(plain, 1 << 20, false), EInvalidGraphic);
    EXPECT_THROW(loader.LoadFromFile(plain, -1, false), EInvalidGraphic);
    EXPECT_THROW(loader.LoadFromFile(folder.File("missing.bmp"), 0, false), EFileError);
}

TEST(BitmapLoader, ReadsStreamsAtAnOffsetOrTheirPosition)
{
    TBitmapLoader loader;
    Bytes bytes(5, 'x');
    const Bytes picture = Picture();
    bytes.insert(bytes.end(), picture.begin(), picture.end());
    TMemoryStream stream(bytes);
    EXPECT_TRUE(IsPicture(loader.LoadFromStream(stream, 5, false).get()));
    EXPECT_THROW(loader.LoadFromStream(stream, 0, false), EInvalidGraphic);
    EXPECT_THROW(loader.LoadFromStream(stream, static_cast<int64_t>(bytes.size()) + 1, false), EInvalidGraphic);

    stream.SetPosition(5);
    const std::unique_ptr<TLoadImage> image = loader.LoadImage(stream);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Kind(), 1);
    EXPECT_EQ(image->Format(), PixelFormat::Bits24);
    EXPECT_TRUE(IsPicture(image->GetBitmap()));
    stream.SetPosition(0);
    EXPECT_THROW(loader.LoadImage(stream), EInvalidGraphic);
}

// Pictures of several bands of rows, in each way the rows are stored.
struct TStopCase {
    const char* Name;
    std::function<Bytes()> Make;
};

Bytes Encoded(int bits)
{
    TBitmap bitmap(40, 70, bits, true);
    if (bits == 8)
        bitmap.SetGrayPalette();
    return EncodeBmpFile(bitmap);
}

Bytes RunLengths()
{
    TBmpSpec spec;
    spec.Width = 8;
    spec.Height = 70;
    spec.BitCount = 8;
    spec.Compression = 1;
    spec.ColorsUsed = 2;
    spec.Palette = {{0, 0, 0}, {255, 255, 255}};
    for (int row = 0; row < spec.Height; ++row)
        spec.Pixels.insert(spec.Pixels.end(), {8, 1, 0, 0});
    spec.Pixels.insert(spec.Pixels.end(), {0, 1});
    return BuildBmp(spec);
}

class BitmapLoaderStop : public ::testing::TestWithParam<TStopCase> {};

// A load whose page was abandoned gives up instead of decoding the rows; a
// load still wanted reads the whole picture. Files and streams alike.
TEST_P(BitmapLoaderStop, GivesUpOnceItsStopFlagIsSet)
{
    TTempFolder folder;
    TBitmapLoader loader;
    const Bytes bytes = GetParam().Make();
    const std::string file = folder.Write("big.bmp", AsString(bytes));
    TMemoryStream stream(bytes);
    const std::atomic<bool> stopped{true}, going{false};
    TDecodeCall call;
    call.Stop = &stopped;
    EXPECT_THROW(loader.DecodeFile(file, 0, call), EDecodeStopped);
    EXPECT_THROW(loader.DecodeStream(stream, 0, call), EDecodeStopped);
    // The decoder itself, whoever calls it.
    EXPECT_THROW(DecodeBmpFile(bytes.data(), bytes.size(), &stopped), EDecodeStopped);

    call.Stop = &going;
    const std::unique_ptr<TBitmap> fromFile = loader.DecodeFile(file, 0, call);
    const std::unique_ptr<TBitmap> fromStream = loader.DecodeStream(stream, 0, call);
    ASSERT_TRUE(fromFile && fromStream);
    EXPECT_EQ(fromFile->Height(), 70);
    EXPECT_EQ(fromStream->Height(), 70);
}

INSTANTIATE_TEST_SUITE_P(Rows, BitmapLoaderStop,
                         ::testing::Values(TStopCase{"Colour", [] { return Encoded(24); }},
                                           TStopCase{"Indexed", [] { return Encoded(8); }},
                                           TStopCase{"RunLengths", RunLengths}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
