#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <set>

#include "base/QueueDispatcher.h"
#include "browser/MediaKeeper.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "thumbnails/ThumbnailList.h"

namespace {

struct TResult {
    int Index = -2;
    std::string Error;
};

// Runs the window's side until the load reported back.
void Pump(TQueueDispatcher& dispatcher, const TResult& result)
{
    const auto deadline = TQueueDispatcher::TClock::now() + std::chrono::seconds(20);
    while (result.Index == -2 && dispatcher.RunOne(deadline)) {
    }
}

TEST(MediaKeeper, AddsSavesRenamesAndDeletesAMedium)
{
    TTempFolder t;
    t.Write("disc/a/p.jpg", "123");
    TQueueDispatcher dispatcher;
    TMediaList list;
    TMediaKeeper keeper(list, t.File("home"), dispatcher);
    TVolumeInfo volume;
    volume.MountPath = t.File("disc");
    volume.Label = "DISC";
    volume.Serial = 7;
    volume.FsType = "vfat";
    volume.Removable = true;
    auto prepared = keeper.Prepare(volume, t.File("disc"));
    EXPECT_TRUE(keeper.SameMedia(*prepared).empty());
    TResult result;
    keeper.AddMedium(std::move(prepared), "Disc", 0, "", t.File("disc"), [&](int index, const std::string& error) {
        result = {index, error};
    });
    Pump(dispatcher, result);
    ASSERT_EQ(result.Index, 0);
    EXPECT_EQ(result.Error, "");
    EXPECT_EQ(list.Medium(0)->Count(), 2);
    EXPECT_EQ(keeper.SameMedia(*keeper.Prepare(volume, t.File("disc"))), std::vector<int>{0});

    // What was saved reads back in another run.
    {
        TMediaList again;
        TMediaKeeper other(again, t.File("home"), dispatcher);
        other.Load({});
        ASSERT_EQ(again.Count(), 1);
        EXPECT_EQ(other.EnsureCatalogue(*again.Medium(0)), "");
        EXPECT_EQ(again.Medium(0)->ItemsOf("a").size(), 1u);
    }

    list.Folder(0)->SetName("Renamed");
    EXPECT_TRUE(FileExists(t.File("home/Media/Renamed.mf")));
    EXPECT_FALSE(PathExists(t.File("home/Media/Disc.mf")));
    list.Delete(0);
    EXPECT_FALSE(PathExists(t.File("home/Media/Renamed.mf")));
}

TEST(MediaKeeper, AFailedFirstLoadTakesTheMediumAway)
{
    TTempFolder t;
    TQueueDispatcher dispatcher;
    TMediaList list;
    TMediaKeeper keeper(list, t.File("home"), dispatcher);
    TResult result;
    keeper.AddMedium(keeper.Prepare(TVolumeInfo{}, t.File("gone")), "Gone", 0, "", t.File("gone"),
                     [&](int index, const std::string& error) { result = {index, error}; });
    Pump(dispatcher, result);
    EXPECT_EQ(result.Index, -1);
    EXPECT_NE(result.Error, "");
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace

namespace {

// The thumbnails the media store holds, by key.
std::map<std::string, std::set<std::string>> StoredThumbs(TThumbnailList& thumbnails)
{
    std::map<std::string, std::set<std::string>> stored;
    TThumbStore& media = thumbnails.MediaStore();
    const std::vector<std::string> keys = [&] {
        std::vector<std::string> k;
        for (const auto& [key, entry] : media.Entries())
            k.push_back(key);
        return k;
    }();
    for (const std::string& key : keys)
        for (const auto& [name, record] : media.ReadFolder(key, false).Records)
            stored[key].insert(name);
    media.Settle();
    return stored;
}

void StoreMediaThumbs(TThumbnailList& thumbnails, const std::string& key, const std::vector<std::string>& names)
{
    TThumbStore& media = thumbnails.MediaStore();
    TFolderThumbs folder{key, {}};
    for (const std::string& name : names) {
        TThumbnailRecord r;
        r.Name = name;
        r.Jpeg.assign(name.begin(), name.end());
        r.Origin = TThumbOrigin::toMade;
        folder.Records.emplace(name, r);
    }
    media.Add(key);
    int32_t counter = 0;
    ASSERT_TRUE(media.WriteFolder(folder, counter));
    media.Settle();
    media.WriteIndex();
}

struct TPruneCase {
    const char* Name;
    std::function<void(const TTempFolder&)> Change;  // done to the disc before the update
    std::map<std::string, std::set<std::string>> Left;
};

class MediaThumbPrune : public testing::TestWithParam<TPruneCase> {};

TEST_P(MediaThumbPrune, AnUpdateKeepsOnlyTheThumbnailsOfWhatIsStillThere)
{
    TTempFolder t;
    t.Write("disc/r.jpg", "1");
    t.Write("disc/a/p.jpg", "2");
    t.Write("disc/b/q.jpg", "3");
    t.Write("disc/b/s.jpg", "4");
    TQueueDispatcher dispatcher;
    TMediaList list;
    TMediaKeeper keeper(list, t.File("home"), dispatcher);
    TThumbnailList thumbnails(t.File("home/Thumbnail/"), t.File("home/Media/Thumbnail/"));
    int paused = 0;
    int resumed = 0;
    keeper.SetThumbnails(&thumbnails, {[&] { ++paused; }, [&] { ++resumed; }});
    TVolumeInfo volume;
    volume.MountPath = t.File("disc");
    TResult result;
    keeper.AddMedium(keeper.Prepare(volume, t.File("disc")), "Disc", 0, "", t.File("disc"),
                     [&](int index, const std::string& error) { result = {index, error}; });
    Pump(dispatcher, result);
    ASSERT_EQ(result.Index, 0);
    EXPECT_EQ(paused, 0);  // a new medium has no thumbnails to check

    StoreMediaThumbs(thumbnails, "Disc/", {"a", "b", "r.jpg"});
    StoreMediaThumbs(thumbnails, "Disc/a/", {"p.jpg"});
    StoreMediaThumbs(thumbnails, "Disc/b/", {"q.jpg", "s.jpg"});
    // Another medium whose name begins alike is no part of this one.
    StoreMediaThumbs(thumbnails, "Disco/a/", {"p.jpg"});

    GetParam().Change(t);
    result = {};
    keeper.Reload(0, t.File("disc"), [&](int index, const std::string& error) { result = {index, error}; });
    Pump(dispatcher, result);
    ASSERT_EQ(result.Index, 0);
    EXPECT_EQ(result.Error, "");
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(resumed, 1);
    auto left = GetParam().Left;
    left["Disco/a/"] = {"p.jpg"};
    EXPECT_EQ(StoredThumbs(thumbnails), left);
    // What is left is what the next run reads.
    TThumbnailList again(t.File("home/Thumbnail/"), t.File("home/Media/Thumbnail/"));
    EXPECT_EQ(StoredThumbs(again), left);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, MediaThumbPrune,
    testing::Values(
        TPruneCase{"Unchanged", [](const TTempFolder&) {},
                   {{"Disc/", {"a", "b", "r.jpg"}}, {"Disc/a/", {"p.jpg"}}, {"Disc/b/", {"q.jpg", "s.jpg"}}}},
        TPruneCase{"FileRemoved", [](const TTempFolder& t) { DeleteFile(t.File("disc/b/q.jpg")); },
                   {{"Disc/", {"a", "b", "r.jpg"}}, {"Disc/a/", {"p.jpg"}}, {"Disc/b/", {"s.jpg"}}}},
        TPruneCase{"LastFileOfAFolderRemoved", [](const TTempFolder& t) { DeleteFile(t.File("disc/a/p.jpg")); },
                   {{"Disc/", {"a", "b", "r.jpg"}}, {"Disc/b/", {"q.jpg", "s.jpg"}}}},
        TPruneCase{"FileRenamed",
                   [](const TTempFolder& t) { RenameFile(t.File("disc/r.jpg"), t.File("disc/R2.jpg")); },
                   {{"Disc/", {"a", "b"}}, {"Disc/a/", {"p.jpg"}}, {"Disc/b/", {"q.jpg", "s.jpg"}}}},
        TPruneCase{"FolderRenamed", [](const TTempFolder& t) { RenameFile(t.File("disc/b"), t.File("disc/c")); },
                   {{"Disc/", {"a", "r.jpg"}}, {"Disc/a/", {"p.jpg"}}}},
        TPruneCase{"FolderBecameAFile",
                   [](const TTempFolder& t) {
                       RemoveTree(t.File("disc/a"));
                       t.Write("disc/a", "now a file");
                   },
                   {{"Disc/", {"a", "b", "r.jpg"}}, {"Disc/b/", {"q.jpg", "s.jpg"}}}}),
    [](const testing::TestParamInfo<TPruneCase>& info) { return std::string(info.param.Name); });

TEST(MediaKeeper, ThumbnailsFollowARenamedMediumAndGoWithADeletedOne)
{
    TTempFolder t;
    t.Write("disc/p.jpg", "1");
    TQueueDispatcher dispatcher;
    TMediaList list;
    TMediaKeeper keeper(list, t.File("home"), dispatcher);
    TThumbnailList thumbnails(t.File("home/Thumbnail/"), t.File("home/Media/Thumbnail/"));
    keeper.SetThumbnails(&thumbnails);
    TResult result;
    keeper.AddMedium(keeper.Prepare(TVolumeInfo{}, t.File("disc")), "Disc", 0, "", t.File("disc"),
                     [&](int index, const std::string& error) { result = {index, error}; });
    Pump(dispatcher, result);
    ASSERT_EQ(result.Index, 0);
    StoreMediaThumbs(thumbnails, "Disc/", {"p.jpg"});
    StoreMediaThumbs(thumbnails, "Other/", {"p.jpg"});

    list.Folder(0)->SetName("Renamed");
    EXPECT_EQ(StoredThumbs(thumbnails),
              (std::map<std::string, std::set<std::string>>{{"Other/", {"p.jpg"}}, {"Renamed/", {"p.jpg"}}}));
    list.Delete(0);
    EXPECT_EQ(StoredThumbs(thumbnails), (std::map<std::string, std::set<std::string>>{{"Other/", {"p.jpg"}}}));
}

}  // namespace
