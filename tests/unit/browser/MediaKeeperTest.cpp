#include <gtest/gtest.h>

#include <chrono>

#include "base/QueueDispatcher.h"
#include "browser/MediaKeeper.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

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
