#include <gtest/gtest.h>

#include "base/Stream.h"
#include "common/BfStream.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "thumbnails/ThumbControl.h"
#include "thumbnails/ThumbStore.h"
#include "unit/thumbnails/ThumbBytes.h"

namespace {

// A store of two folders and two archives: one of each exists on disk.
// The existing folder's data file is of the given version and holds a
// thumbnail per name, whether the file exists or not.
struct TFixture {
    TTempFolder Temp;
    std::string Store = Temp.File("store/");
    std::string Pics = Temp.File("pics/");

    void Build(int32_t version, const std::vector<std::string>& names)
    {
        Temp.Write("pics/a.jpg", "x");
        Temp.Write("pics/b.jpg", "x");
        Temp.Write("book.zip", "x");
        TThumbBytes data;
        data.Text(ThumbDataSignature).I32(version);
        for (const std::string& name : names)
            data.Entry(version, name, "JPEG-" + name, 1ll << 33, 45000.5, 96, 72);
        Temp.Write("store/" + ThumbDataFileName(0), data.String());
        for (int n = 1; n < 4; ++n)
            Temp.Write("store/" + ThumbDataFileName(n), "data " + std::to_string(n));
        TThumbBytes index;
        index.Text(ThumbIndexSignature).I32(258);
        index.Text(Pics).I32(0).I32(static_cast<int32_t>(data.Data.size())).I32(static_cast<int32_t>(names.size())).Dbl(45000);
        index.Text(Temp.File("gone/")).I32(1).I32(2000).I32(3).Dbl(45001);
        index.Text(Temp.File("book.zip")).I32(2).I32(3000).I32(5).Dbl(45002);
        index.Text(Temp.File("lost.zip")).I32(3).I32(4000).I32(7).Dbl(45003);
        Temp.Write("store/Thumbs.px", index.String());
    }
    std::string Data(int n) const { return Temp.Read("store/" + ThumbDataFileName(n)); }
    bool DataExists(int n) const { return PathExists(Store + ThumbDataFileName(n)); }
    size_t RowOf(const TThumbControl& c, const std::string& key) const
    {
        for (size_t i = 0; i < c.Rows().size(); ++i)
            if (c.Rows()[i].Key == key)
                return i;
        return SIZE_MAX;
    }
};

TThumbDataContents ReadData(const std::string& path)
{
    TFileStream file(path, TFileMode::fmOpenRead);
    TBufferStream buffer(file, TBufferStream::ThumbnailBufferSize);
    return ReadThumbData(buffer, 0, INT32_MAX, false, {});
}

class ThumbControlVersions : public testing::TestWithParam<int32_t> {};

TEST_P(ThumbControlVersions, RewritesFromItsOwnBackupAndCancelRestoresEveryByte)
{
    TFixture f;
    f.Build(GetParam(), {"a.jpg", "gone.jpg", "b.jpg"});
    // Left by an earlier run: never a source, never put back.
    f.Temp.Write("store/00001/0001.l$$", "stale backup of this number");
    f.Temp.Write("store/00001/0002.l$$", "stale backup of another number");
    const std::string before = f.Data(0);
    const std::string index = f.Temp.Read("store/Thumbs.px");
    {
        TThumbControl control(f.Store);
        const size_t pics = f.RowOf(control, f.Pics);
        ASSERT_LT(pics, control.Rows().size());
        EXPECT_EQ(control.MissingFiles(pics), std::vector<std::string>{"gone.jpg"});
        EXPECT_EQ(control.RemoveMissingFiles({pics}), 1);

        // The second pass starts from the backup, so a.jpg's bytes come
        // through both rewrites whole.
        DeleteFile(f.Pics + "b.jpg");
        EXPECT_EQ(control.RemoveMissingFiles({f.RowOf(control, f.Pics)}), 2);
        const TThumbDataContents now = ReadData(f.Store + ThumbDataFileName(0));
        EXPECT_EQ(now.Version, ThumbFileVersion);
        ASSERT_EQ(now.Records.size(), 1u);
        const TThumbnailRecord& a = now.Records[0];
        EXPECT_EQ(a.Name, "a.jpg");
        EXPECT_EQ(a.FileSize, GetParam() >= 250 ? 1ll << 33 : int32_t(0));
        EXPECT_EQ(a.BoxHeight, GetParam() >= 258 ? 72 : 96);
        TFileStream file(f.Store + ThumbDataFileName(0), TFileMode::fmOpenRead);
        const auto bytes = ReadThumbBytes(file, a);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "JPEG-a.jpg");
        const TThumbControlRow& row = control.Rows()[f.RowOf(control, f.Pics)];
        EXPECT_EQ(row.Count, 1);
        EXPECT_EQ(row.DataSize, static_cast<int32_t>(f.Data(0).size()));
        EXPECT_TRUE(control.Changed());
        control.Revert();
    }
    EXPECT_EQ(f.Data(0), before);
    EXPECT_EQ(f.Data(1), "data 1");
    EXPECT_EQ(f.Temp.Read("store/00001/0002.l$$"), "stale backup of another number");
    EXPECT_FALSE(PathExists(f.Store + "00001/0001.l$$"));
    EXPECT_EQ(f.Temp.Read("store/Thumbs.px"), index);
}

INSTANTIATE_TEST_SUITE_P(Versions, ThumbControlVersions, testing::Values(249, 250, 258));

struct TRemovalRow {
    const char* Name;
    std::function<int(TThumbControl&, TFixture&)> Remove;
    int Removed;
    std::vector<std::string> KeysLeft;  // relative to the temporary folder
};

class ThumbControlRemovals : public testing::TestWithParam<TRemovalRow> {};

TEST_P(ThumbControlRemovals, CommitWritesTheRowsLeftAndDeletesTheRest)
{
    TFixture f;
    f.Build(258, {"a.jpg"});
    const TRemovalRow& p = GetParam();
    {
        TThumbControl control(f.Store);
        EXPECT_EQ(control.InitialTotal(), static_cast<int64_t>(f.Data(0).size()) + 9000);
        EXPECT_EQ(p.Remove(control, f), p.Removed);
        // Nothing is deleted before the commit.
        for (int n = 0; n < 4; ++n)
            EXPECT_TRUE(f.DataExists(n)) << n;
        control.Commit();
    }
    TThumbControl after(f.Store);
    std::vector<std::string> keys;
    for (const TThumbControlRow& row : after.Rows()) {
        keys.push_back(row.Key.substr(f.Temp.Path().size()));
        EXPECT_TRUE(f.DataExists(row.Number)) << row.Key;
    }
    EXPECT_EQ(keys, p.KeysLeft);
    EXPECT_EQ(PathExists(f.Store + "Thumbs.px"), !p.KeysLeft.empty());
    int files = 0;
    for (int n = 0; n < 4; ++n)
        files += f.DataExists(n);
    EXPECT_EQ(files, static_cast<int>(p.KeysLeft.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ThumbControlRemovals,
    testing::Values(
        TRemovalRow{"Gone", [](TThumbControl& c, TFixture&) { return c.RemoveGone(); }, 2, {"book.zip", "pics/"}},
        TRemovalRow{"All", [](TThumbControl& c, TFixture&) { return c.RemoveAll(); }, 4, {}},
        TRemovalRow{"ChosenAfterSortByCount",
                    [](TThumbControl& c, TFixture&) {
                        c.Sort(TThumbSortColumn::scCount, TThumbSortDir::sdDesc, false);
                        return c.RemoveRows({0, 1, 1, 99});  // lost.zip (7), book.zip (5)
                    },
                    2, {"gone/", "pics/"}},
        // A folder that is gone leaves whole; one whose every file is gone
        // leaves with its last thumbnail; archives are left alone.
        TRemovalRow{"MissingFiles",
                    [](TThumbControl& c, TFixture& f) {
                        DeleteFile(f.Pics + "a.jpg");
                        std::vector<size_t> all(c.Rows().size());
                        for (size_t i = 0; i < all.size(); ++i)
                            all[i] = i;
                        return c.RemoveMissingFiles(all);
                    },
                    4, {"book.zip", "lost.zip"}}),
    [](const testing::TestParamInfo<TRemovalRow>& info) { return std::string(info.param.Name); });

TEST(ThumbControl, CommitWithoutChangesWritesNothing)
{
    TFixture f;
    f.Build(258, {"a.jpg", "gone.jpg"});
    f.Temp.Write("store/00001/0001.l$$", "left by an earlier run");
    const std::string index = f.Temp.Read("store/Thumbs.px");
    {
        TThumbControl control(f.Store);
        // Sorting changes the display, not the store.
        control.Sort(TThumbSortColumn::scPath, TThumbSortDir::sdAsc, false);
        EXPECT_EQ(control.RemoveMissingFiles({f.RowOf(control, f.Temp.File("book.zip"))}), 0);
        EXPECT_FALSE(control.Changed());
        control.Commit();
    }
    EXPECT_EQ(f.Temp.Read("store/Thumbs.px"), index);
    EXPECT_EQ(f.Temp.Read("store/00001/0001.l$$"), "left by an earlier run");
}

TEST(ThumbControl, NamesAsTheListShowsThem)
{
    EXPECT_EQ(ThumbRowName("/", false), "/");
    EXPECT_EQ(ThumbRowName("/a/pics/", false), "pics");
    EXPECT_EQ(ThumbRowName("/a/book.zip", false), "book.zip");
    EXPECT_EQ(ThumbRowName("/a/pics/", true), "/a/pics/");
}

}  // namespace
