#include <gtest/gtest.h>

#include "loading/ImgLoader.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "thumbnails/ThumbnailList.h"
#include "unit/cli/RunCli.h"
#include "unit/thumbnails/ThumbBytes.h"

namespace {

// A JPEG stream as far as the store and the frame scan care: start of
// picture and a frame of 80 x 60.
std::string FakeJpeg(const std::string& tag)
{
    return TThumbBytes().U8(0xFF).U8(0xD8).U8(0xFF).U8(0xC0).U8(0).U8(11).U8(8).U8(0).U8(60).U8(0).U8(80).Raw(tag).String();
}

void Store(const std::string& storeFolder, const std::string& key, const std::vector<std::string>& names)
{
    TThumbStore store(storeFolder);
    store.ReadIndex();
    TFolderThumbs folder{key, {}};
    for (const std::string& name : names) {
        TThumbnailRecord r;
        r.Name = name;
        const std::string jpeg = FakeJpeg(name);
        r.Jpeg.assign(jpeg.begin(), jpeg.end());
        r.Width = 4000;
        r.Height = 3000;
        r.Bits = 24;
        r.FileSize = 12345;
        r.FileTime = 45000.5;
        r.BoxWidth = r.BoxHeight = 80;
        r.Origin = TThumbOrigin::toMade;
        folder.Records.emplace(name, r);
    }
    store.Add(key);
    int32_t counter = 0;
    ASSERT_TRUE(store.WriteFolder(folder, counter));
    store.WriteIndex();
}

TEST(CliThumbs, ShowsTheStoreAndWritesOneThumbnailOut)
{
    TTempFolder home;
    home.Write("pics/a.jpg", "x");
    const std::string pics = home.File("pics/");
    const std::string store = home.File("home/Thumbnail/");
    Store(store, pics, {"a.jpg", "gone.jpg"});
    Store(store, home.File("book.zip"), {"ch1/p1.jpg"});

    const TCliRun stores = RunCli(home.Path(), "thumbs stores");
    EXPECT_EQ(stores.ExitCode, 0) << stores.Err;
    EXPECT_NE(stores.Out.find(home.File("book.zip") + "\t1\t"), std::string::npos) << stores.Out;
    EXPECT_NE(stores.Out.find(pics + "\t0\t"), std::string::npos) << stores.Out;

    const TCliRun show = RunCli(home.Path(), "thumbs show '" + home.File("pics") + "'");
    EXPECT_EQ(show.ExitCode, 0) << show.Err;
    EXPECT_EQ(show.Out, "a.jpg\t4000\t3000\t24\t12345\t2023/03/15 12:00:00\t80\t80\t0\t80x60\n"
                        "gone.jpg\t4000\t3000\t24\t12345\t2023/03/15 12:00:00\t80\t80\t0\t80x60\n");

    EXPECT_EQ(RunCli(home.Path(), "thumbs get '" + home.File("book.zip") + "' ch1/p1.jpg '" + home.File("out.jpg") + "'").ExitCode, 0);
    EXPECT_EQ(home.Read("out.jpg"), FakeJpeg("ch1/p1.jpg"));

    // A settings file that moves the store is followed.
    home.Write("home/Mireva.ini", "[THUMBNAIL]\nPath=" + home.File("elsewhere") + "\n");
    EXPECT_EQ(RunCli(home.Path(), "thumbs stores").Out, "");
    Store(home.File("elsewhere/"), pics, {"a.jpg"});
    EXPECT_EQ(RunCli(home.Path(), "thumbs show '" + pics + "'").Out.substr(0, 6), "a.jpg\t");
}

TEST(CliThumbs, BadInputFailsAndWritesNothing)
{
    TTempFolder home;
    const std::string pics = home.File("pics/");
    Store(home.File("home/Thumbnail/"), pics, {"a.jpg"});
    const std::string out = home.File("out.jpg");
    for (const std::string& args :
         {"thumbs get '" + pics + "' missing.jpg '" + out + "'", "thumbs get '" + home.File("other/") + "' a.jpg '" + out + "'",
          "thumbs show '" + home.File("other/") + "'", std::string("thumbs show"), std::string("thumbs frob")}) {
        const TCliRun run = RunCli(home.Path(), args);
        EXPECT_NE(run.ExitCode, 0) << args;
        EXPECT_FALSE(run.Err.empty()) << args;
        EXPECT_FALSE(PathExists(out)) << args;
    }

    // A damaged data file shows what could be read and says so.
    std::string data = home.Read("home/Thumbnail/00001/0001.ltf");
    data.resize(data.size() - 5);
    home.Write("home/Thumbnail/00001/0001.ltf", data);
    const TCliRun damaged = RunCli(home.Path(), "thumbs show '" + pics + "'");
    EXPECT_EQ(damaged.ExitCode, 1);
    EXPECT_NE(damaged.Err.find("damaged"), std::string::npos);
    EXPECT_EQ(damaged.Out, "");
}

TEST(CliThumbs, MakeFillsTheStoreThatShowReadsAndASecondMakeReusesIt)
{
    TTempFolder home;
    TBitmap picture(400, 300, 24, true);
    const std::vector<uint8_t> jpeg = EncodeJpeg(picture);
    home.Write("pics/a.jpg", std::string(jpeg.begin(), jpeg.end()));
    home.Write("pics/sub/b.jpg", std::string(jpeg.begin(), jpeg.end()));
    home.Write("pics/broken.jpg", "no picture");
    const std::string pics = "'" + home.File("pics") + "'";

    const TCliRun make = RunCli(home.Path(), "thumbs make --width 100 --height 50 " + pics);
    EXPECT_EQ(make.ExitCode, 0) << make.Err;
    EXPECT_EQ(make.Out, "made 2 reused 0 failed 1\n");
    const TCliRun show = RunCli(home.Path(), "thumbs show " + pics);
    EXPECT_EQ(show.ExitCode, 0) << show.Err;
    const size_t second = show.Out.find("\nsub\t400\t300\t24\t0\t");
    ASSERT_NE(second, std::string::npos) << show.Out;
    EXPECT_EQ(show.Out.substr(0, 17), "a.jpg\t400\t300\t24\t") << show.Out;
    EXPECT_TRUE(show.Out.substr(0, second + 1).ends_with("\t100\t50\t0\t67x50\n")) << show.Out;
    EXPECT_TRUE(show.Out.ends_with("\t100\t50\t1\t67x50\n")) << show.Out;

    const TCliRun again = RunCli(home.Path(), "thumbs make --width 100 --height 50 " + pics);
    EXPECT_EQ(again.Out, "made 0 reused 2 failed 1\n") << again.Err;
}

TEST(CliThumbs, FillCheckAndCleanWorkOnTheWholeTree)
{
    TTempFolder home;
    TBitmap picture(200, 100, 24, true);
    const std::vector<uint8_t> jpeg = EncodeJpeg(picture);
    const std::string bytes(jpeg.begin(), jpeg.end());
    home.Write("pics/a.jpg", bytes);
    home.Write("pics/sub/b.jpg", bytes);
    home.Write("pics/sub/deeper/c.jpg", bytes);
    const std::string pics = home.File("pics/");

    // Every folder below gets its own entry: pictures and folder items.
    const TCliRun fill = RunCli(home.Path(), "thumbs fill --archives '" + home.File("pics") + "'");
    EXPECT_EQ(fill.ExitCode, 0) << fill.Err;
    EXPECT_EQ(fill.Out, "made 5 reused 0 failed 0\n");
    EXPECT_EQ(RunCli(home.Path(), "thumbs fill '" + pics + "'").Out, "made 0 reused 5 failed 0\n");

    DeleteFile(pics + "sub/b.jpg");
    DeleteFile(pics + "sub/deeper/c.jpg");
    ASSERT_TRUE(RemoveTree(pics + "sub/deeper"));
    const std::string index = home.Read("home/Thumbnail/Thumbs.px");
    const TCliRun check = RunCli(home.Path(), "thumbs check '" + home.File("pics/sub") + "'");
    EXPECT_EQ(check.ExitCode, 0) << check.Err;
    EXPECT_EQ(check.Out, "stale\t" + pics + "sub/\tb.jpg\nstale\t" + pics + "sub/\tdeeper\ngone\t" + pics +
                             "sub/deeper/\n");
    EXPECT_EQ(home.Read("home/Thumbnail/Thumbs.px"), index);

    EXPECT_NE(RunCli(home.Path(), "thumbs clean").ExitCode, 0);
    EXPECT_NE(RunCli(home.Path(), "thumbs clean --unused-days x").ExitCode, 0);
    EXPECT_EQ(RunCli(home.Path(), "thumbs clean --gone").Out, "removed 1\n");
    EXPECT_EQ(RunCli(home.Path(), "thumbs clean --unused-days 1").Out, "removed 0\n");
    EXPECT_EQ(RunCli(home.Path(), "thumbs clean '" + home.File("pics") + "'").Out, "removed 1\n");
    const TCliRun left = RunCli(home.Path(), "thumbs stores");
    EXPECT_TRUE(left.Out.starts_with(pics + "sub/\t")) << left.Out;
    EXPECT_EQ(RunCli(home.Path(), "thumbs clean --all").Out, "removed 1\n");
    EXPECT_EQ(RunCli(home.Path(), "thumbs stores").Out, "");
    EXPECT_FALSE(PathExists(home.File("home/Thumbnail/Thumbs.px")));
}

}  // namespace
