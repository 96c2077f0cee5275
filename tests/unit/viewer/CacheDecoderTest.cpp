#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

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
    const TLoaderSetPtr loaders = TLoaderRegistry().Reload({});
    int finished = 0;
    TLoaderCacheDecoder decoder(loaders, std::nullopt, [&](std::unique_ptr<TBitmap>&, bool) { ++finished; });
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
    const TLoaderSetPtr loaders = TLoaderRegistry().Reload({});
    // A quarter turn as the rotation would do it: the caption keeps the size
    // as loaded, the layout sees the turned one.
    TLoaderCacheDecoder decoder(loaders, std::nullopt, [](std::unique_ptr<TBitmap>& bitmap, bool gray) {
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
    const TLoaderSetPtr loaders = TLoaderRegistry().Reload({});
    TLoaderCacheDecoder decoder(loaders, std::nullopt, nullptr);
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

namespace {

struct TFinishCase {
    const char* Name;
    bool Invert;
    TRotation Rotation;
    bool PortraitOnly;
    int Width, Height;  // of the finished 3 x 2 picture
    uint8_t Pixel;      // its first byte, from 10
};

class PictureFinishTest : public ::testing::TestWithParam<TFinishCase> {};

TEST_P(PictureFinishTest, FiltersThenTurns)
{
    const TFinishCase& row = GetParam();
    const TFilterList filters{TFilterItem::Default(FilterKind::Invert)};
    const TPictureFinish finish = MakePictureFinish(row.Invert ? &filters : nullptr, row.Rotation, row.PortraitOnly);
    auto bitmap = std::make_unique<TBitmap>(3, 2, 24, true);
    for (int y = 0; y < 2; ++y)
        std::fill_n(bitmap->ScanLine(y), 9, uint8_t{10});
    const TImageSlot slot = PreparePicture(5, std::move(bitmap), finish);
    ASSERT_TRUE(slot.HasBitmap());
    EXPECT_EQ(slot.Width(), row.Width);
    EXPECT_EQ(slot.Height(), row.Height);
    EXPECT_EQ(slot.Bitmap->ScanLine(0)[0], row.Pixel);
    // The caption keeps the picture as loaded.
    EXPECT_EQ(slot.LoadedWidth, 3);
    EXPECT_EQ(slot.LoadedHeight, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PictureFinishTest,
    ::testing::Values(TFinishCase{"Nothing", false, TRotation::rtNone, false, 3, 2, 10},
                      TFinishCase{"Invert", true, TRotation::rtNone, false, 3, 2, 245},
                      TFinishCase{"QuarterTurn", false, TRotation::rtRight90, false, 2, 3, 10},
                      TFinishCase{"InvertAndTurn", true, TRotation::rtLeft90, false, 2, 3, 245},
                      // A landscape picture is not turned when only portrait ones are.
                      TFinishCase{"PortraitOnly", false, TRotation::rtRight90, true, 3, 2, 10},
                      TFinishCase{"HalfTurnAlways", false, TRotation::rt180, true, 3, 2, 10}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(PictureFinish, NothingToDoIsNoStep)
{
    const TFilterList none;
    EXPECT_FALSE(MakePictureFinish(nullptr, TRotation::rtNone, false));
    EXPECT_FALSE(MakePictureFinish(&none, TRotation::rtNone, true));
}

class RecordingNotifier : public TUserNotifier {
public:
    void ShowMessage(const std::string& text, TMessageIcon) override { Messages.push_back(text); }
    std::vector<std::string> Messages;
};

TEST(PictureSource, ShownPagesReportWhatCouldNotBeRead)
{
    TTempFolder folder;
    const std::string good = WriteBmp(folder, "good.bmp", 3, 4, 24);
    const std::string bad = folder.Write("bad.bmp", "BM not really");
    const TLoaderSetPtr loaders = TLoaderRegistry().Reload({});
    RecordingNotifier owner;
    int finishes = 0;
    TLoaderPictureSource source(loaders, std::nullopt, &owner, [&] {
        ++finishes;
        return TPictureFinish{};
    });
    EXPECT_TRUE(source.Load(TCacheItem{0, good, 0, -1}).HasBitmap());
    const TImageSlot failed = source.Load(TCacheItem{7, bad, 0, -1});
    EXPECT_EQ(failed.Index, 7);
    EXPECT_FALSE(failed.HasBitmap());
    EXPECT_EQ(owner.Messages, std::vector<std::string>{"'bad.bmp' は読み込めませんでした  "});
    // The finishing step in force is asked for at every load.
    EXPECT_EQ(finishes, 2);
}

// A job loads on a worker exactly as Load does, but shows nothing there: its
// messages reach the owner, in their order, when it is finished on the
// user-interface thread, and a job dropped unfinished shows none.
TEST(PictureSource, JobsShowTheirMessagesWhenFinished)
{
    TTempFolder folder;
    const std::string good = WriteBmp(folder, "good.bmp", 3, 4, 24);
    const std::string bad = folder.Write("bad.bmp", "BM not really");
    const TLoaderSetPtr loaders = TLoaderRegistry().Reload({});
    RecordingNotifier owner;
    int finishes = 0;
    TLoaderPictureSource source(loaders, std::nullopt, &owner, [&] {
        ++finishes;
        return TPictureFinish{};
    });
    std::unique_ptr<TPictureLoadJob> fine = source.PrepareLoad(TCacheItem{1, good, 0, -1});
    std::unique_ptr<TPictureLoadJob> failing = source.PrepareLoad(TCacheItem{7, bad, 0, -1});
    std::unique_ptr<TPictureLoadJob> dropped = source.PrepareLoad(TCacheItem{8, bad, 0, -1});
    ASSERT_TRUE(fine && failing && dropped);
    EXPECT_EQ(finishes, 3) << "the finishing step is taken when the job is prepared";
    std::thread worker([&] {
        failing->Run();
        fine->Run();
        dropped->Run();
    });
    worker.join();
    EXPECT_TRUE(owner.Messages.empty());
    const TImageSlot read = fine->Finish();
    EXPECT_EQ(read.Index, 1);
    EXPECT_TRUE(read.HasBitmap());
    const TImageSlot failed = failing->Finish();
    EXPECT_EQ(failed.Index, 7);
    EXPECT_FALSE(failed.HasBitmap());
    dropped.reset();
    EXPECT_EQ(owner.Messages, std::vector<std::string>{"'bad.bmp' は読み込めませんでした  "});
}

}  // namespace

namespace {

// An archive whose single member extracts to a given number of bytes; it
// records every extraction, so a test can tell whether one was attempted.
class SizedArchive : public TArchiveLoader {
public:
    bool IsSupported(const std::string&, const uint8_t*) override { return false; }
    bool ExtractToFolder(const std::string&, uint32_t, const std::string&) override { return false; }
    void GetArchiveInfo(const std::string&, int64_t, TArchiveFileList&) override {}
    void ExtractToStream(const std::string& archiveName, uint32_t position, TMemoryStream& stream) override
    {
        Extracted.push_back(archiveName + "#" + std::to_string(position));
        const std::string bytes(static_cast<size_t>(Bytes), 'x');
        // Left at its end, as a careless plug-in might.
        stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        // A failure may come after part of the member was written.
        if (Fails)
            throw std::runtime_error("damaged archive");
    }

    int64_t Bytes = 0;
    bool Fails = false;
    std::vector<std::string> Extracted;
};

struct TMemberCase {
    const char* Name;
    int64_t Listed;  // the size the archive's listing gave; -1 unknown
    int64_t Actual;  // the bytes the member extracts to
    bool Fails;      // the extraction raises
    TReadResult Result;
    bool Extracted;     // an extraction was attempted
    int64_t KeptBytes;  // what the stream holds afterwards
};

class ArchiveMemberReadTest : public ::testing::TestWithParam<TMemberCase> {};

// The room left in the file cache is 100 bytes in every row.
TEST_P(ArchiveMemberReadTest, KeepsOnlyMembersThatFitTheRoom)
{
    const TMemberCase& row = GetParam();
    auto archive = std::make_shared<SizedArchive>();
    archive->Bytes = row.Actual;
    archive->Fails = row.Fails;
    TLoaderCacheDecoder decoder(std::make_shared<const TFileLoaderList>(),
                                TArchiveSource{"/books/a.zip", archive.get(), archive}, nullptr);
    TMemoryStream out;
    out.WriteBuffer("stale", 5);

    const TReadResult result = decoder.ReadBytes(TCacheItem{2, "pages/3.jpg", 7, row.Listed}, 100, out);

    EXPECT_EQ(result, row.Result);
    EXPECT_EQ(archive->Extracted, row.Extracted ? std::vector<std::string>{"/books/a.zip#7"}
                                                : std::vector<std::string>{});
    EXPECT_EQ(out.Size(), row.KeptBytes);
    if (row.KeptBytes > 0) {
        EXPECT_EQ(out.Position(), 0) << "read bytes are handed over rewound";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ArchiveMemberReadTest,
    ::testing::Values(TMemberCase{"FitsAsListed", 60, 60, false, TReadResult::rrRead, true, 60},
                      TMemberCase{"FillsTheRoomExactly", 100, 100, false, TReadResult::rrRead, true, 100},
                      TMemberCase{"UnknownSizeThatFits", -1, 60, false, TReadResult::rrRead, true, 60},
                      // The listing alone rules it out: nothing is extracted.
                      TMemberCase{"ListedLargerThanTheRoom", 101, 60, false, TReadResult::rrTooLarge, false, 0},
                      // Extracted, then found too large: the bytes are dropped.
                      TMemberCase{"ListingUnderstatedTheSize", 60, 101, false, TReadResult::rrTooLarge, true, 0},
                      TMemberCase{"UnknownSizeTooLarge", -1, 500, false, TReadResult::rrTooLarge, true, 0},
                      TMemberCase{"ExtractsToNothing", 60, 0, false, TReadResult::rrEmpty, true, 0},
                      TMemberCase{"ExtractionFails", 60, 60, true, TReadResult::rrFailed, true, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

// The budget and the stop flag reach the shown pages' loads: a picture over
// the budget says why it was not read, a job of an abandoned step gives no
// picture and shows nothing, and the box in force when a job is prepared is
// the one it reduces for.
TEST(PictureSource, LoadsFollowTheBudgetAndTheirStepsStopFlag)
{
    TTempFolder folder;
    const std::string wide = WriteBmp(folder, "wide.bmp", 40, 30, 24);
    const TLoaderSetPtr loaders = TLoaderRegistry().Reload({});
    RecordingNotifier owner;
    TPictureLimits limits;
    limits.Budget.MaxPixels = 1199;
    TLoaderPictureSource refusing(loaders, std::nullopt, &owner, nullptr, limits);
    EXPECT_FALSE(refusing.Load(TCacheItem{0, wide, 0, -1}).HasBitmap());
    EXPECT_EQ(owner.Messages, std::vector<std::string>{"'wide.bmp' は読み込めませんでした  画像が大きすぎます (40 x 30)"});

    owner.Messages.clear();
    int boxes = 0;
    limits.Budget.MaxPixels = 1200;
    limits.FitBox = [&] {
        ++boxes;
        return TPreviewBox{8, 6};
    };
    TLoaderPictureSource source(loaders, std::nullopt, &owner, nullptr, limits);
    std::unique_ptr<TPictureLoadJob> abandoned = source.PrepareLoad(TCacheItem{2, wide, 0, -1});
    std::unique_ptr<TPictureLoadJob> wanted = source.PrepareLoad(TCacheItem{3, wide, 0, -1});
    EXPECT_EQ(boxes, 2) << "the box is read where the job is prepared";
    const std::atomic<bool> stopped{true}, going{false};
    std::thread worker([&] {
        abandoned->RunUntil(stopped);
        wanted->RunUntil(going);
    });
    worker.join();
    EXPECT_FALSE(abandoned->Finish().HasBitmap());
    const TImageSlot shown = wanted->Finish();
    ASSERT_TRUE(shown.HasBitmap());
    // The bitmap loader cannot reduce: the whole picture, not marked reduced.
    EXPECT_FALSE(shown.Reduced);
    EXPECT_EQ(shown.Width(), 40);
    EXPECT_TRUE(owner.Messages.empty());
}

struct TReducedCase {
    const char* Name;
    TRotation Rotation;
    int BitmapWidth, BitmapHeight;  // after the finishing step
    int FullWidth, FullHeight;
};

class ReducedPictureTest : public ::testing::TestWithParam<TReducedCase> {};

// The caption keeps the size the header declared; the view lays the page out
// at the full size, turned as the bitmap was.
TEST_P(ReducedPictureTest, KeepsItsDeclaredSizeAndItsFullSizeAsShown)
{
    const TReducedCase& c = GetParam();
    TLimitedLoad load;
    load.Bitmap = std::make_unique<TBitmap>(2000, 1000, 24, true);
    load.Dims = TPictureDims{16000, 8000};
    load.Reduced = true;
    const TImageSlot slot = PrepareLimitedPicture(4, std::move(load), MakePictureFinish(nullptr, c.Rotation, false));
    EXPECT_TRUE(slot.Reduced);
    EXPECT_EQ(slot.Width(), c.BitmapWidth);
    EXPECT_EQ(slot.Height(), c.BitmapHeight);
    EXPECT_EQ(slot.LoadedWidth, 16000);
    EXPECT_EQ(slot.LoadedHeight, 8000);
    EXPECT_EQ(slot.PictureWidth(), c.FullWidth);
    EXPECT_EQ(slot.PictureHeight(), c.FullHeight);
}

INSTANTIATE_TEST_SUITE_P(Turns, ReducedPictureTest,
                         ::testing::Values(TReducedCase{"AsDecoded", TRotation::rtNone, 2000, 1000, 16000, 8000},
                                           TReducedCase{"QuarterTurn", TRotation::rtRight90, 1000, 2000, 8000, 16000},
                                           TReducedCase{"HalfTurn", TRotation::rt180, 2000, 1000, 16000, 8000}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
