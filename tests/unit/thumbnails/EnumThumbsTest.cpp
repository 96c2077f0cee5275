// The thumbnail enumeration over real pictures: JPEGs written here with the
// program's own encoder, read through the JPEG and archive plug-ins we ship,
// results handed over through a queue dispatcher as the window's would.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/QueueDispatcher.h"
#include "loading/ImgLoader.h"
#include "loading/SPIs.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "support/FakeBook.h"
#include "support/TempFolder.h"
#include "thumbnails/EnumThumbs.h"
#include "thumbnails/ThumbBatch.h"
#include "thumbnails/ThumbnailList.h"

namespace {

TLoaderSetPtr ShippedLoaders()
{
    static TLoaderRegistry registry(PluginFolderScanner({MIREVA_BIN_DIR "/", ""}));
    static TLoaderSetPtr loaders = registry.Reload(TPluginSettings{});
    return loaders;
}

// A picture with a gradient of its own size, so that two pictures differ.
std::string JpegBytes(int width, int height, bool gray = false)
{
    TBitmap bitmap(width, height, gray ? 8 : 24);
    if (gray)
        bitmap.SetGrayPalette();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * bitmap.BytesPerPixel(); ++x)
            bitmap.ScanLine(y)[x] = static_cast<uint8_t>((x * 7 + y * 3) & 0xFF);
    const std::vector<uint8_t> jpeg = EncodeJpeg(bitmap);
    return std::string(jpeg.begin(), jpeg.end());
}

const std::string DamagedJpeg = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10) + std::string(200, '\x5A');

class TCollect : public TThumbReceiver, public TThumbProgress {
public:
    void ThumbnailArrived(const TThumbnailResult& result) override
    {
        Order.push_back(result.Id);
        Results[result.Id] = result;
    }
    void ThumbProgress(const std::string& text) override
    {
        if (text.empty())
            Drained = true;
    }
    std::vector<int32_t> Order;
    std::map<int32_t, TThumbnailResult> Results;
    bool Drained = false;
};

class EnumThumbs : public ::testing::Test {
protected:
    TThumbnailList& List()
    {
        if (!fList)
            fList = std::make_unique<TThumbnailList>(Tmp.File("store/"), Tmp.File("media/"));
        return *fList;
    }
    // A fresh list, as a new run of the program reads the store.
    void Reopen() { fList.reset(); }

    TEnumThumbsConfig Config(TThumbPlace place = {}, bool batch = false)
    {
        TEnumThumbsConfig config;
        config.Place = std::move(place);
        config.Options = Options;
        config.Loaders = ShippedLoaders();
        config.TempFolder = Tmp.File("temp/");
        config.Batch = batch;
        config.Workers = 2;
        return config;
    }

    TEnumImageInfo FileItem(int32_t id, const std::string& name)
    {
        const TFileStatus status = QueryFile(Tmp.File("pics/" + name));
        return {id, Tmp.File("pics/"), name, {}, true, {}, status.Size,
                UnixToDateTime(status.ModifiedSeconds, status.ModifiedNanoseconds)};
    }
    TEnumImageInfo FolderItem(int32_t id, const std::string& name)
    {
        const TFileStatus status = QueryFile(Tmp.File("pics/" + name));
        return {id, Tmp.File("pics/" + name + "/"), {}, {}, true, {}, 0,
                UnixToDateTime(status.ModifiedSeconds, status.ModifiedNanoseconds)};
    }

    // Runs the items through one enumeration until each one's result is in,
    // then stops it (which saves).
    TThumbCounts Run(const std::vector<TEnumImageInfo>& items, bool batch = false)
    {
        Got = {};
        TQueueDispatcher dispatcher;
        TEnumThumbsThread thread(List(), Config({}, batch), dispatcher, Got, &Got);
        thread.SetItems(items);
        std::vector<int32_t> ids;
        for (const TEnumImageInfo& item : items)
            ids.push_back(item.Id);
        thread.SetQueue(ids);
        const auto deadline = TQueueDispatcher::TClock::now() + std::chrono::seconds(60);
        while ((batch ? !Got.Drained : Got.Results.size() < items.size()) && dispatcher.RunOne(deadline)) {
        }
        const TThumbCounts counts = thread.Counts();
        EXPECT_EQ(counts.Made + counts.Reused + counts.Failed, static_cast<int>(items.size()));
        return counts;
    }

    std::map<std::string, TThumbnailRecord> Stored(const std::string& key)
    {
        Reopen();
        TFolderThumbs folder = List().Store().ReadFolder(key, false);
        return std::map<std::string, TThumbnailRecord>(folder.Records.begin(), folder.Records.end());
    }

    TTempFolder Tmp;
    TThumbnailOptions Options;
    TCollect Got;

private:
    std::unique_ptr<TThumbnailList> fList;
};

struct TFitRow {
    int Width, Height;
    bool Gray;
    int ThumbWidth, ThumbHeight;
};

class EnumThumbsFit : public EnumThumbs, public ::testing::WithParamInterface<TFitRow> {};

TEST_P(EnumThumbsFit, FitsTheBoxWithTheRealSizeStored)
{
    const TFitRow row = GetParam();
    Tmp.Write("pics/p.jpg", JpegBytes(row.Width, row.Height, row.Gray));
    Run({FileItem(0, "p.jpg")});
    const TThumbnailResult& result = Got.Results.at(0);
    ASSERT_TRUE(result.Picture);
    EXPECT_EQ(result.Picture->Width(), row.ThumbWidth);
    EXPECT_EQ(result.Picture->Height(), row.ThumbHeight);
    EXPECT_EQ(result.Picture->BitsPerPixel(), row.Gray ? 8 : 24);
    EXPECT_EQ(result.SourceWidth, row.Width);
    EXPECT_EQ(result.SourceHeight, row.Height);
    EXPECT_FALSE(result.FolderFlag);

    Reopen();
    const TFolderThumbs stored = List().Store().ReadFolder(Tmp.File("pics/"), true);
    ASSERT_EQ(stored.Records.size(), 1u);
    const TThumbnailRecord& record = stored.Records.begin()->second;
    EXPECT_EQ(record.Width, row.Width);
    EXPECT_EQ(record.Height, row.Height);
    EXPECT_EQ(record.Bits, row.Gray ? 8 : 24);
    const std::optional<std::vector<uint8_t>> bytes = List().Store().ReadBytes(record);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(JpegFrameSize(bytes->data(), bytes->size()), (TThumbSize{row.ThumbWidth, row.ThumbHeight}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, EnumThumbsFit,
                         ::testing::Values(TFitRow{4000, 3000, false, 80, 60}, TFitRow{60, 40, false, 60, 40},
                                           TFitRow{1, 1000, false, 1, 80}, TFitRow{300, 150, true, 80, 40}));

// The pictures of a folder or an archive, by name; an empty text is a
// damaged picture. Width tells which one gave the thumbnail (0: none).
struct TFirstRow {
    const char* Case;
    bool Zip;
    std::vector<std::pair<std::string, int>> Members;
    int ExpectedWidth;
};

class EnumThumbsFirst : public EnumThumbs, public ::testing::WithParamInterface<TFirstRow> {};

TEST_P(EnumThumbsFirst, TakesTheFirstPictureByName)
{
    const TFirstRow& row = GetParam();
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& [name, width] : row.Members)
        files.emplace_back(name, width ? JpegBytes(width, 50) : (name.ends_with(".jpg") ? DamagedJpeg : "text"));
    TEnumImageInfo item;
    if (row.Zip) {
        ForceDirectories(Tmp.File("pics/"));
        WriteZip(Tmp.File("pics/book.zip"), files);
        item = FileItem(0, "book.zip");
    } else {
        ForceDirectories(Tmp.File("pics/dir/"));
        for (const auto& [name, bytes] : files)
            Tmp.Write("pics/dir/" + name, bytes);
        item = FolderItem(0, "dir");
    }
    Run({item});
    const TThumbnailResult& result = Got.Results.at(0);
    EXPECT_TRUE(result.FolderFlag);
    EXPECT_EQ(result.SourceWidth, row.ExpectedWidth);
    EXPECT_EQ(result.Picture != nullptr, row.ExpectedWidth != 0);
    const std::map<std::string, TThumbnailRecord> stored = Stored(Tmp.File("pics/"));
    EXPECT_EQ(stored.size(), row.ExpectedWidth ? 1u : 0u);
    if (row.ExpectedWidth) {
        EXPECT_EQ(stored.begin()->second.FolderFlag, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Places, EnumThumbsFirst,
    ::testing::Values(TFirstRow{"EmptyFolder", false, {{"notes.txt", 0}}, 0},
                      TFirstRow{"FolderByNameWithoutCase", false, {{"b.jpg", 120}, {"A.jpg", 110}, {"c.jpg", 130}}, 110},
                      TFirstRow{"FolderSkipsADamagedFirst", false, {{"a.jpg", 0}, {"B.jpg", 120}, {"c.jpg", 130}}, 120},
                      TFirstRow{"ArchiveFirstMember", true, {{"x/2.jpg", 140}, {"x/1.jpg", 150}}, 150},
                      TFirstRow{"ArchiveDamagedFirstGivesNone", true, {{"1.jpg", 0}, {"2.jpg", 120}}, 0}),
    [](const auto& info) { return std::string(info.param.Case); });

struct TSaveRow {
    TThumbnailSave Save;
    bool Batch;
    size_t Stored;  // of one picture and one folder
};

class EnumThumbsSave : public EnumThumbs, public ::testing::WithParamInterface<TSaveRow> {};

TEST_P(EnumThumbsSave, KeepsWhatTheSaveRuleAllows)
{
    Options.Save = GetParam().Save;
    Tmp.Write("pics/p.jpg", JpegBytes(100, 90));
    Tmp.Write("pics/dir/q.jpg", JpegBytes(100, 90));
    Run({FileItem(0, "p.jpg"), FolderItem(1, "dir")}, GetParam().Batch);
    EXPECT_EQ(Stored(Tmp.File("pics/")).size(), GetParam().Stored);
}

INSTANTIATE_TEST_SUITE_P(Rules, EnumThumbsSave,
                         ::testing::Values(TSaveRow{TThumbnailSave::tvNever, false, 0},
                                           TSaveRow{TThumbnailSave::tvNever, true, 2},
                                           TSaveRow{TThumbnailSave::tvFirstImage, false, 1},
                                           TSaveRow{TThumbnailSave::tvAll, false, 2}));

TEST_F(EnumThumbs, ASecondRunReusesTheStoreAndRemakesWhatChanged)
{
    Tmp.Write("pics/a.jpg", JpegBytes(100, 90));
    Tmp.Write("pics/b.jpg", JpegBytes(110, 90));
    TThumbCounts first = Run({FileItem(0, "a.jpg"), FileItem(1, "b.jpg")});
    EXPECT_EQ(first.Made, 2);

    Reopen();
    Tmp.Write("pics/b.jpg", JpegBytes(130, 90));
    const TThumbCounts second = Run({FileItem(0, "a.jpg"), FileItem(1, "b.jpg")});
    EXPECT_EQ(second.Reused, 1);
    EXPECT_EQ(second.Made, 1);
    ASSERT_TRUE(Got.Results.at(0).Picture);
    EXPECT_EQ(Got.Results.at(1).SourceWidth, 130);
    EXPECT_EQ(Stored(Tmp.File("pics/")).at("b.jpg").Width, 130);
}

TEST_F(EnumThumbs, ItemsWhoseFactsTheListHasNotReadAreCheckedAgainstTheFile)
{
    Tmp.Write("pics/a.jpg", JpegBytes(100, 90));
    const auto unread = [this] {
        TEnumImageInfo item = FileItem(0, "a.jpg");
        item.Size = 0;
        item.Time = 0;
        item.FactsKnown = false;
        return item;
    };
    EXPECT_EQ(Run({unread()}).Made, 1);
    EXPECT_EQ(Stored(Tmp.File("pics/")).at("a.jpg").FileSize, FileItem(0, "a.jpg").Size);
    Reopen();
    EXPECT_EQ(Run({unread()}).Reused, 1);
}

TEST_F(EnumThumbs, ADamagedStoredThumbnailIsMadeAgain)
{
    Tmp.Write("pics/a.jpg", JpegBytes(100, 90));
    Run({FileItem(0, "a.jpg")});
    const TThumbnailRecord record = Stored(Tmp.File("pics/")).at("a.jpg");
    {
        // An end of picture in the middle of the coded data.
        TFileStream file(List().Store().DataFilePath(record.Number), TFileMode::fmOpenReadWrite);
        file.SetPosition(record.DataOffset + record.DataLength / 2);
        file.WriteBuffer("\xFF\xD9", 2);
    }
    Reopen();
    const TThumbCounts counts = Run({FileItem(0, "a.jpg")});
    EXPECT_EQ(counts.Made, 1);
    ASSERT_TRUE(Got.Results.at(0).Picture);
    const TThumbnailRecord again = Stored(Tmp.File("pics/")).at("a.jpg");
    const std::optional<std::vector<uint8_t>> bytes = List().Store().ReadBytes(again);
    ASSERT_TRUE(bytes);
    EXPECT_NO_THROW(DecodeJpeg(bytes->data(), bytes->size()));
}

class EnumThumbsQueue : public EnumThumbs, public ::testing::WithParamInterface<bool> {};

// One worker, ten pictures: the first five are asked for, then the view
// scrolls to the last five before the worker got far.
TEST_P(EnumThumbsQueue, ScrollingKeepsOrDropsWhatLeftTheView)
{
    Options.AllThumbnail = GetParam();
    std::vector<TEnumImageInfo> items;
    for (int i = 0; i < 10; ++i) {
        Tmp.Write("pics/" + std::to_string(i) + ".jpg", JpegBytes(100 + i, 90));
        items.push_back(FileItem(i, std::to_string(i) + ".jpg"));
    }
    TQueueDispatcher dispatcher;
    TEnumThumbsConfig config = Config();
    config.Workers = 1;
    TEnumThumbsThread thread(List(), config, dispatcher, Got);
    thread.SetItems(items);
    thread.SetQueue(std::vector<int32_t>{0, 1, 2, 3, 4});
    thread.SetQueue(std::vector<int32_t>{5, 6, 7, 8, 9});
    const auto deadline = TQueueDispatcher::TClock::now() + std::chrono::seconds(60);
    while (!thread.Idle() && TQueueDispatcher::TClock::now() < deadline)
        dispatcher.RunOne(TQueueDispatcher::TClock::now() + std::chrono::milliseconds(50));
    dispatcher.RunPending();
    for (int id = 5; id < 10; ++id)
        EXPECT_TRUE(Got.Results.contains(id)) << id;
    // The worker may have taken item 0 before the view scrolled.
    std::vector<int32_t> early;
    for (int32_t id : Got.Order)
        if (id >= 1 && id <= 4)
            early.push_back(id);
    if (GetParam()) {
        EXPECT_EQ(early.size(), 4u);
        // The items still on screen came first.
        const auto firstEarly = std::find_if(Got.Order.begin(), Got.Order.end(), [](int32_t id) { return id >= 1 && id <= 4; });
        EXPECT_TRUE(std::all_of(firstEarly, Got.Order.end(), [](int32_t id) { return id <= 4; }));
    } else {
        EXPECT_TRUE(early.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(AllThumbnail, EnumThumbsQueue, ::testing::Bool());

TEST_F(EnumThumbs, ResultsOfReplacedItemsAreNeverDeliveredAndAnEmptyQueueIsABarrier)
{
    std::vector<TEnumImageInfo> items;
    for (int i = 0; i < 6; ++i) {
        Tmp.Write("pics/" + std::to_string(i) + ".jpg", JpegBytes(100, 90));
        items.push_back(FileItem(i, std::to_string(i) + ".jpg"));
    }
    TQueueDispatcher dispatcher;
    TEnumThumbsThread thread(List(), Config(), dispatcher, Got);
    thread.SetItems(items);
    thread.SetQueue(std::vector<int32_t>{0, 1, 2, 3, 4, 5});
    thread.SetQueue(std::nullopt);
    // No worker holds an item once the call is back.
    EXPECT_TRUE(thread.Idle());
    thread.SetQueue(std::vector<int32_t>{0, 1, 2, 3, 4, 5});
    const auto deadline = TQueueDispatcher::TClock::now() + std::chrono::seconds(60);
    while (!thread.Idle() && TQueueDispatcher::TClock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // Every result is posted but none has run: new items replace them.
    thread.SetItems({});
    dispatcher.RunPending();
    EXPECT_TRUE(Got.Results.empty());
}

// Under ThreadSanitizer: the view asks, re-asks, prioritises and replaces
// items while several workers run, and stops with results still posted.
TEST_F(EnumThumbs, TheViewChangingItsMindWhileWorkersRunIsSafe)
{
    std::vector<TEnumImageInfo> items;
    for (int i = 0; i < 12; ++i) {
        Tmp.Write("pics/" + std::to_string(i) + ".jpg", JpegBytes(90 + i, 60));
        items.push_back(FileItem(i, std::to_string(i) + ".jpg"));
    }
    TQueueDispatcher dispatcher;
    auto thread = std::make_unique<TEnumThumbsThread>(List(), Config(), dispatcher, Got);
    thread->SetItems(items);
    for (int round = 0; round < 4; ++round) {
        thread->SetQueue(std::vector<int32_t>{11, 10, 9, 8, 7, 6});
        thread->SetPriority(round);
        thread->SetQueue(std::vector<int32_t>{0, 1, 2, 3});
        thread->SetItems(items);
        thread->SetQueue(std::vector<int32_t>{4, 5, 6, 7, 8, 9, 10, 11});
    }
    const auto deadline = TQueueDispatcher::TClock::now() + std::chrono::seconds(60);
    while (Got.Results.size() < 3 && dispatcher.RunOne(deadline)) {
    }
    thread.reset();
    dispatcher.RunPending();
    for (const auto& [id, result] : Got.Results) {
        EXPECT_GE(id, 4);
        ASSERT_TRUE(result.Picture);
        EXPECT_EQ(result.SourceWidth, 90 + id);
    }
}

class TBatchWatch : public TThumbBatchObserver {
public:
    explicit TBatchWatch(bool archives) : fArchives(archives) {}
    void BatchProgress(const std::string&) override {}
    bool BatchAskArchives(size_t count) override
    {
        Asked = count;
        return fArchives;
    }
    void BatchFinished(const TThumbCounts&) override { ++Finished; }
    size_t Asked = 0;
    int Finished = 0;

private:
    bool fArchives;
};

// Runs what the batch posts until it reports its end (a minute at most).
void RunUntilFinished(TQueueDispatcher& dispatcher, const TBatchWatch& watch)
{
    const auto deadline = TQueueDispatcher::TClock::now() + std::chrono::seconds(60);
    while (watch.Finished == 0 && dispatcher.RunOne(deadline)) {
    }
}

class EnumThumbsBatch : public EnumThumbs, public ::testing::WithParamInterface<bool> {};

// An archive that cannot be opened still ends its part of the run, so the
// batch goes on to its end whether the archives are loaded or not.
TEST_P(EnumThumbsBatch, LoadsEveryFolderAndEndsAfterAnUnreadableArchive)
{
    Tmp.Write("pics/a.jpg", JpegBytes(40, 30));
    Tmp.Write("pics/sub/b.jpg", JpegBytes(30, 40));
    Tmp.Write("pics/sub/broken.zip", "not an archive");
    TQueueDispatcher dispatcher;
    TBatchWatch watch(GetParam());
    TThumbBatchLoad batch(List(), Config(), dispatcher, watch);
    batch.AddFolder(Tmp.File("pics/"));
    batch.AddFolder(Tmp.File("pics/sub/"));  // walked already: not queued twice
    EXPECT_EQ(batch.QueuedFolders(), 2u);
    EXPECT_EQ(batch.QueuedArchives(), 1u);
    batch.Start();
    RunUntilFinished(dispatcher, watch);
    EXPECT_EQ(watch.Finished, 1);
    EXPECT_EQ(watch.Asked, 1u);
    EXPECT_FALSE(batch.Running());
    // a.jpg and the folder item sub in pics/, b.jpg in sub/.
    EXPECT_EQ(batch.Counts().Made, 3);
    EXPECT_EQ(Stored(Tmp.File("pics/")).size(), 2u);
    EXPECT_EQ(Stored(Tmp.File("pics/sub/")).count("b.jpg"), 1u);
}

INSTANTIATE_TEST_SUITE_P(ArchivesToo, EnumThumbsBatch, ::testing::Bool());

TEST_F(EnumThumbs, ABatchWithoutFoldersEndsAtOnceAndAnAbortEndsOnce)
{
    TQueueDispatcher dispatcher;
    TBatchWatch watch(true);
    TThumbBatchLoad empty(List(), Config(), dispatcher, watch);
    empty.AddArchive(Tmp.File("only.zip"));
    empty.Start();
    EXPECT_EQ(watch.Finished, 1);
    EXPECT_EQ(watch.Asked, 0u);

    Tmp.Write("pics/a.jpg", JpegBytes(40, 30));
    TThumbBatchLoad batch(List(), Config(), dispatcher, watch);
    batch.AddFolder(Tmp.File("pics/"));
    batch.Start();
    batch.Abort();
    batch.Abort();
    EXPECT_EQ(watch.Finished, 2);
    // What the stopped thread still posts finds the run over.
    while (dispatcher.RunOne(TQueueDispatcher::TClock::now() + std::chrono::milliseconds(200))) {
    }
    EXPECT_EQ(watch.Finished, 2);
}

// Members of a shelf or of search results: folders are walked once however
// often they are named, archives are queued once, other files are left out.
TEST_F(EnumThumbs, ABatchOverMembersWalksTheirFoldersAndQueuesTheirArchives)
{
    Tmp.Write("pics/a.jpg", JpegBytes(40, 30));
    Tmp.Write("pics/sub/b.jpg", JpegBytes(30, 40));
    Tmp.Write("other/c.zip", "not an archive");
    Tmp.Write("other/d.jpg", JpegBytes(20, 20));
    TQueueDispatcher dispatcher;
    TBatchWatch watch(false);
    TThumbBatchLoad batch(List(), Config(), dispatcher, watch);
    for (const char* member : {"pics", "pics/sub/", "other/c.zip", "other/c.zip", "other/d.jpg", "gone"})
        batch.AddItem(Tmp.File(member));
    EXPECT_EQ(batch.QueuedFolders(), 2u);
    EXPECT_EQ(batch.QueuedArchives(), 1u);
    batch.Start();
    RunUntilFinished(dispatcher, watch);
    EXPECT_EQ(watch.Finished, 1);
    EXPECT_EQ(watch.Asked, 1u);
    EXPECT_EQ(Stored(Tmp.File("pics/sub/")).count("b.jpg"), 1u);
    EXPECT_TRUE(Stored(Tmp.File("other/")).empty());
}

// Over a catalogue the thumbnails go to the media store under the medium's
// name, whatever the mount, and its archives are not opened.
TEST_F(EnumThumbs, ABatchOverAMediumFillsTheMediaStore)
{
    Tmp.Write("mnt/disc/a.jpg", JpegBytes(40, 30));
    Tmp.Write("mnt/disc/sub/b.jpg", JpegBytes(30, 40));
    Tmp.Write("mnt/disc/c.zip", "not an archive");
    TQueueDispatcher dispatcher;
    TBatchWatch watch(true);
    TThumbBatchLoad batch(List(), Config(), dispatcher, watch);
    batch.SetMedium("Disc", Tmp.File("mnt/disc"));
    batch.AddFolder(Tmp.File("mnt/disc/"));
    EXPECT_EQ(batch.QueuedFolders(), 2u);
    EXPECT_EQ(batch.QueuedArchives(), 0u);
    batch.Start();
    RunUntilFinished(dispatcher, watch);
    EXPECT_EQ(watch.Finished, 1);
    EXPECT_EQ(watch.Asked, 0u);
    Reopen();
    std::set<std::string> top;
    for (const auto& [name, record] : List().MediaStore().ReadFolder("Disc/", false).Records)
        top.insert(name);
    EXPECT_EQ(top, (std::set<std::string>{"a.jpg", "sub"}));
    EXPECT_EQ(List().MediaStore().ReadFolder("Disc/sub/", false).Records.count("b.jpg"), 1u);
    EXPECT_EQ(List().Store().Find(Tmp.File("mnt/disc/")), nullptr);
}

// A disc taken out while its folders were walked: the run ends before the
// first folder, with nothing made and nothing stored.
TEST_F(EnumThumbs, ABatchOverAMediumGoneAfterCollectingMakesNothing)
{
    Tmp.Write("mnt/disc/a.jpg", JpegBytes(40, 30));
    TQueueDispatcher dispatcher;
    TBatchWatch watch(true);
    TThumbBatchLoad batch(List(), Config(), dispatcher, watch);
    int asked = 0;
    batch.SetPresenceCheck([&asked] { return ++asked, false; });
    batch.SetMedium("Disc", Tmp.File("mnt/disc"));
    batch.AddFolder(Tmp.File("mnt/disc/"));
    batch.Start();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(watch.Finished, 1);
    EXPECT_FALSE(batch.Running());
    EXPECT_EQ(batch.Counts().Made, 0);
    Reopen();
    EXPECT_TRUE(List().MediaStore().ReadFolder("Disc/", false).Records.empty());
}

}  // namespace
