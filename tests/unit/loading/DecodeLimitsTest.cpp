#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "loading/DecodeLimits.h"
#include "loading/FileLoader.h"
#include "loading/ImgLoader.h"
#include "loading/PictureHeader.h"
#include "platform/Memory.h"
#include "support/JpegClaiming.h"
#include "support/TempFolder.h"
#include "unit/loading/FakeLoaders.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Raw(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct TDimsCase {
    const char* Name;
    Bytes Data;
    std::optional<TPictureDims> Expected;
};

class PictureHeaderTest : public ::testing::TestWithParam<TDimsCase> {};

TEST_P(PictureHeaderTest, ReadsTheDeclaredSizeOrNothing)
{
    const TDimsCase& c = GetParam();
    EXPECT_EQ(ReadPictureDims(c.Data.data(), c.Data.size()), c.Expected);
}

const Bytes PngIhdr = Raw(std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x01\x2C\0\0\0\xC8", 24));
// A JPEG whose frame header lies behind an application block of 300 bytes.
const Bytes JpegBehindApp = Concat(Concat(Raw("\xFF\xD8\xFF\xE1\x01\x2E"), Bytes(300, 0)),
                                   Raw(std::string("\xFF\xFF\xC2\0\x11\x08\x02\x00\x03\x00", 10)));
// A bitmap with a 40-byte header and a negative (top-down) height.
const Bytes BmpTopDown = Raw(std::string("BM\0\0\0\0\0\0\0\0\0\0\0\0\x28\0\0\0\x10\0\0\0\xF0\xFF\xFF\xFF", 26));

INSTANTIATE_TEST_SUITE_P(
    Formats, PictureHeaderTest,
    ::testing::Values(
        TDimsCase{"JpegPatched", JpegClaiming(16000, 16000), TPictureDims{16000, 16000}},
        TDimsCase{"JpegProgressiveBehindFillByteAndApp", JpegBehindApp, TPictureDims{768, 512}},
        TDimsCase{"JpegScanBeforeFrame", Raw(std::string("\xFF\xD8\xFF\xDA\0\x02\xFF\xC0\0\x11\x08\0\x10\0\x10", 15)),
                  std::nullopt},
        TDimsCase{"JpegCutInsideFrame", Raw(std::string("\xFF\xD8\xFF\xC0\0\x11\x08\0", 8)), std::nullopt},
        TDimsCase{"JpegSegmentLengthBelowTwo", Raw(std::string("\xFF\xD8\xFF\xE0\0\x01", 6)), std::nullopt},
        TDimsCase{"Png", PngIhdr, TPictureDims{300, 200}},
        TDimsCase{"PngCut", Bytes(PngIhdr.begin(), PngIhdr.end() - 1), std::nullopt},
        TDimsCase{"Gif", Raw(std::string("GIF89a\x40\x01\xF0\0", 10)), TPictureDims{320, 240}},
        TDimsCase{"BmpTopDown", BmpTopDown, TPictureDims{16, 16}},
        TDimsCase{"BmpCore", Raw(std::string("BM\0\0\0\0\0\0\0\0\0\0\0\0\x0C\0\0\0\x20\0\x10\0", 22)),
                  TPictureDims{32, 16}},
        TDimsCase{"WebpExtended", Raw(std::string("RIFF\0\0\0\0WEBPVP8X\0\0\0\0\0\0\0\0\x7F\x3E\0\x7F\x3E\0", 30)),
                  TPictureDims{16000, 16000}},
        TDimsCase{"WebpLossless", Raw(std::string("RIFF\0\0\0\0WEBPVP8L\0\0\0\0\x2F\x09\xC0\x01\0", 25)),
                  TPictureDims{10, 8}},
        TDimsCase{"ZeroWidth", Raw(std::string("GIF87a\0\0\x10\0", 10)), std::nullopt},
        TDimsCase{"UnknownFormat", Raw("FAKEIMG1"), std::nullopt}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TPlanCase {
    const char* Name;
    TPictureDims Dims;
    std::optional<uint64_t> FreeBytes;
    bool Box;
    TDecodePlan Expected;
};

class PlanDecodeTest : public ::testing::TestWithParam<TPlanCase> {};

TEST_P(PlanDecodeTest, FollowsTheBudgetAndTheFreeMemory)
{
    const TPlanCase& c = GetParam();
    EXPECT_EQ(PlanDecode(TPictureBudget{}, c.Dims, c.FreeBytes, c.Box), c.Expected);
}

constexpr uint64_t GB = 1ull << 30;

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanDecodeTest,
    ::testing::Values(TPlanCase{"SmallPage", {2000, 3000}, 8 * GB, true, TDecodePlan::dpFull},
                      TPlanCase{"LargeFittedIsReduced", {16000, 16000}, 8 * GB, true, TDecodePlan::dpReduced},
                      TPlanCase{"LargeWithoutBoxIsWhole", {16000, 16000}, 8 * GB, false, TDecodePlan::dpFull},
                      TPlanCase{"AtTheLowerThresholdIsWhole", {8000, 8000}, 8 * GB, true, TDecodePlan::dpFull},
                      TPlanCase{"AboveTheMaximum", {32000, 16001}, 64 * GB, true, TDecodePlan::dpRefused},
                      TPlanCase{"AtTheMaximum", {32000, 16000}, 64 * GB, false, TDecodePlan::dpFull},
                      TPlanCase{"MoreThanTheFreeMemory", {16000, 16000}, GB / 2, true, TDecodePlan::dpRefused},
                      TPlanCase{"FreeMemoryUnknown", {16000, 16000}, std::nullopt, false, TDecodePlan::dpFull},
                      TPlanCase{"HugeSidesDoNotOverflow", {0xFFFFFFFF, 0xFFFFFFFF}, 64 * GB, false,
                                TDecodePlan::dpRefused}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(AvailableMemory, ReadsTheKernelsEstimateInBytes)
{
    EXPECT_EQ(ParseMemAvailable("MemTotal:       16000000 kB\nMemFree:  1 kB\nMemAvailable:    8000000 kB\n"),
              8000000ull * 1024);
    EXPECT_EQ(ParseMemAvailable("MemTotal: 5 kB\n"), std::nullopt);
    EXPECT_EQ(ParseMemAvailable("MemAvailable: lots\n"), std::nullopt);
    EXPECT_EQ(ParseMemAvailable("MemAvailable: 99999999999999999999 kB\n"), std::nullopt);
    EXPECT_TRUE(AvailableMemoryBytes().has_value()) << "this machine has a /proc/meminfo";
}

// Loads through a set with one fake JPEG loader, under limits the test sets.
class LimitedLoad : public ::testing::Test {
protected:
    LimitedLoad()
    {
        loaders = std::make_shared<TFileLoaderList>(
            TPluginSettings{},
            [](TPluginSettings&, TPluginScan& found) {
                found.InPlugins.push_back(std::make_unique<TFakeImageLoader>("\xFF\xD8", std::vector<std::string>{"*.jpg"}, 7));
            },
            [] { return nullptr; });
        limits.FreeMemory = [this] { return freeBytes; };
    }
    TFakeImageLoader& Fake() { return static_cast<TFakeImageLoader&>(*loaders->InPlugins().at(0)); }

    TTempFolder folder;
    std::shared_ptr<TFileLoaderList> loaders;
    TDecodeLimits limits;
    std::optional<uint64_t> freeBytes = 64 * GB;
    TRecordingNotifier notifier;
};

TEST_F(LimitedLoad, PictureOverTheBudgetIsRefusedBeforeDecoding)
{
    const Bytes bytes = JpegClaiming(16000, 16000);
    ASSERT_LT(bytes.size(), 2048u);
    const std::string path = folder.Write("huge.jpg", std::string(bytes.begin(), bytes.end()));
    limits.Budget.MaxPixels = 100'000'000;

    const TLimitedLoad load = LoadPictureLimited(*loaders, path, nullptr, &notifier, limits);
    EXPECT_EQ(load.Bitmap, nullptr);
    EXPECT_EQ(Fake().Loads, 0);
    ASSERT_EQ(notifier.Messages.size(), 1u);
    EXPECT_EQ(notifier.Messages[0].Text, NotReadMessage(path) + "画像が大きすぎます (16000 x 16000)");

    // The same from memory, as an archive member comes, and under the free
    // memory alone: 256 megapixels do not fit into 512 MB.
    limits.Budget = TPictureBudget{};
    freeBytes = GB / 2;
    TMemoryStream stream(bytes);
    EXPECT_EQ(LoadPictureLimited(*loaders, "huge.jpg", &stream, nullptr, limits).Bitmap, nullptr);
    EXPECT_EQ(Fake().Loads, 0);
}

TEST_F(LimitedLoad, LargePictureIsDecodedForTheBoxOnlyWhenOneIsGiven)
{
    const Bytes bytes = JpegClaiming(16000, 16000);
    const std::string path = folder.Write("large.jpg", std::string(bytes.begin(), bytes.end()));

    TLimitedLoad load = LoadPictureLimited(*loaders, path, nullptr, &notifier, limits);
    ASSERT_NE(load.Bitmap, nullptr);
    EXPECT_FALSE(Fake().LastPreview);
    EXPECT_FALSE(load.Reduced);

    limits.FitBox = {1920, 1080};
    load = LoadPictureLimited(*loaders, path, nullptr, &notifier, limits);
    ASSERT_NE(load.Bitmap, nullptr);
    EXPECT_TRUE(Fake().LastPreview);
    EXPECT_TRUE(load.Reduced) << "the fake's 1x1 picture is smaller than the declared size";
    EXPECT_EQ(load.Dims, (TPictureDims{16000, 16000}));
    EXPECT_TRUE(notifier.Messages.empty());
}

TEST_F(LimitedLoad, StoppedDecodeShowsNothing)
{
    const Bytes bytes = JpegClaiming(100, 100);
    const std::string path = folder.Write("page.jpg", std::string(bytes.begin(), bytes.end()));
    std::atomic<bool> stop{true};
    limits.Stop = &stop;
    // The fake cannot stop, so it decodes; the load still counts as
    // abandoned and its picture is dropped unseen.
    EXPECT_EQ(LoadPictureLimited(*loaders, path, nullptr, &notifier, limits).Bitmap, nullptr);
    EXPECT_TRUE(notifier.Messages.empty());
}

}  // namespace
