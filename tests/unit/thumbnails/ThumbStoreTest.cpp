#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "thumbnails/ThumbnailList.h"
#include "unit/thumbnails/ThumbBytes.h"

namespace {

TThumbnailRecord Made(const std::string& name, const std::string& jpeg)
{
    TThumbnailRecord r;
    r.Name = name;
    r.Jpeg.assign(jpeg.begin(), jpeg.end());
    r.Width = 60;
    r.Height = 40;
    r.FileSize = 1;
    r.BoxWidth = r.BoxHeight = 80;
    r.Origin = TThumbOrigin::toMade;
    return r;
}

// Stores the made thumbnails of names under key and writes the index.
void StoreFolder(TThumbStore& store, const std::string& key, const std::vector<std::string>& names)
{
    TFolderThumbs folder{key, {}};
    for (const std::string& name : names)
        folder.Records.emplace(name, Made(name, "JPEG of " + name));
    store.Add(key);
    int32_t counter = 0;
    ASSERT_TRUE(store.WriteFolder(folder, counter));
    store.WriteIndex();
}

class ThumbStoreTest : public testing::Test {
protected:
    TTempFolder fTemp;
    std::string fStoreFolder = fTemp.File("store/");
    std::string fPics = fTemp.File("pics/");
};

TEST_F(ThumbStoreTest, AFolderWrittenReadsBackAndLosesDeletedPictures)
{
    fTemp.Write("pics/a.jpg", "x");
    fTemp.Write("pics/b.jpg", "x");
    {
        TThumbStore store(fStoreFolder);
        StoreFolder(store, fPics, {"a.jpg", "b.jpg"});
        EXPECT_EQ(store.Find(fPics)->Number, 0);
    }
    EXPECT_TRUE(FileExists(fStoreFolder + "00001/0001.ltf"));

    DeleteFile(fPics + "b.jpg");
    TThumbStore store(fStoreFolder);
    EXPECT_TRUE(store.ReadIndex().Complete);
    ASSERT_NE(store.Find(fPics), nullptr);
    EXPECT_EQ(store.Find(fPics)->Count, 2);
    TFolderThumbs folder = store.ReadFolder(fPics, true);
    ASSERT_EQ(folder.Records.size(), 1u);
    EXPECT_EQ(store.Find(fPics)->State, TIndexState::isChanged);
    EXPECT_EQ(store.ReadBytes(folder.Records.at("a.jpg")), std::vector<uint8_t>({'J', 'P', 'E', 'G', ' ', 'o', 'f', ' ', 'a', '.', 'j', 'p', 'g'}));
    int32_t counter = 0;
    ASSERT_TRUE(store.WriteFolder(folder, counter));
    store.WriteIndex();

    TThumbStore again(fStoreFolder);
    again.ReadIndex();
    EXPECT_EQ(again.Find(fPics)->Count, 1);
    EXPECT_EQ(again.ReadFolder(fPics, true).Records.size(), 1u);
    EXPECT_EQ(again.Find(fPics)->State, TIndexState::isInUse);
}

TEST_F(ThumbStoreTest, TheLastThumbnailRemovedFreesTheFileAndTheNumber)
{
    TThumbStore store(fStoreFolder);
    StoreFolder(store, "/x/", {"a.jpg"});
    StoreFolder(store, "/y/", {"b.jpg"});
    ASSERT_EQ(store.Find("/y/")->Number, 1);
    store.Settle();
    TFolderThumbs x{"/x/", {}};
    int32_t counter = 0;
    ASSERT_TRUE(store.WriteFolder(x, counter));
    EXPECT_FALSE(FileExists(fStoreFolder + "00001/0001.ltf"));
    store.Settle();
    EXPECT_EQ(store.Find("/x/"), nullptr);
    counter = 0;
    EXPECT_EQ(store.AllocateNumber(counter, "/z/"), 0);
    EXPECT_EQ(store.AllocateNumber(counter, "/w/"), 2);  // 1 is held by /y/

    // A missing data file marks its entry for deletion.
    DeleteFile(fStoreFolder + "00001/0002.ltf");
    EXPECT_TRUE(store.ReadFolder("/y/", false).Records.empty());
    EXPECT_EQ(store.Find("/y/")->State, TIndexState::isDeleted);
}

TEST_F(ThumbStoreTest, AnInterruptedSaveLeavesTheOldOrTheNewIndex)
{
    TThumbStore store(fStoreFolder);
    StoreFolder(store, "/x/", {"a.jpg"});
    const std::string index = store.IndexPath();
    const std::string before = fTemp.Read("store/Thumbs.px");

    // A "$$" left by a killed save is cleared, and the next save completes.
    fTemp.Write("store/Thumbs.px$$", "half");
    store.Add("/y/");
    StoreFolder(store, "/y/", {"b.jpg"});
    EXPECT_FALSE(PathExists(index + "$$"));
    const std::string after = fTemp.Read("store/Thumbs.px");
    EXPECT_NE(after, before);

    // A save that cannot complete leaves the file as it was.
    ASSERT_TRUE(CreateDirectory(index + "$$"));
    store.Remove("/x/");
    EXPECT_THROW(store.WriteIndex(), EFileError);
    EXPECT_EQ(fTemp.Read("store/Thumbs.px"), after);
    RemoveTree(index + "$$");
    EXPECT_THROW(SaveStoreFile(index,
                               [](TStream& out) {
                                   out.WriteBuffer("partial", 7);
                                   throw EStreamError("disk full");
                               }),
                 EFileError);
    EXPECT_EQ(fTemp.Read("store/Thumbs.px"), after);
    EXPECT_FALSE(PathExists(index + "$$"));
}

TEST_F(ThumbStoreTest, RenamesMatchWholePathComponents)
{
    TThumbStore store(fStoreFolder);
    for (const char* key : {"/a/b/", "/a/b/c/", "/a/bc/", "/a/b.zip", "/a/b.zip//in.zip", "/z/"})
        StoreFolder(store, key, {"p.jpg"});
    const int32_t staleNumber = store.Find("/z/")->Number;
    EXPECT_EQ(store.RenamePath("/a/b", "/z"), 2);
    std::vector<std::string> keys;
    for (const auto& [key, entry] : store.Entries())
        keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"/a/b.zip", "/a/b.zip//in.zip", "/a/bc/", "/z/", "/z/c/"}));
    // The entry that stood under the new name before is gone with its file.
    EXPECT_FALSE(FileExists(store.DataFilePath(staleNumber)));
    EXPECT_NE(store.Find("/z/")->Number, staleNumber);

    EXPECT_EQ(store.RenamePath("/a/b.zip", "/a/d.zip"), 2);
    EXPECT_NE(store.Find("/a/d.zip//in.zip"), nullptr);
    EXPECT_EQ(store.RemovePath("/a/d.zip"), 2);
    EXPECT_EQ(store.RemovePath("/a/b"), 0);
    EXPECT_EQ(store.Entries().size(), 3u);
}

struct TLegacyRow {
    int32_t Version;
    bool Truncated;
};
class LegacyMediaTest : public testing::TestWithParam<TLegacyRow> {};

TEST_P(LegacyMediaTest, ConvertsAndRemovesTheOldFileOnlyWhenAllIsWritten)
{
    const TLegacyRow row = GetParam();
    TTempFolder temp;
    auto block = [&](TThumbBytes& b, std::initializer_list<const char*> names) {
        b.Text(LegacyMediaBlockSignature);
        for (const char* name : names) {
            const std::string jpeg = std::string("J:") + name;
            b.Text(name).I32(static_cast<int32_t>(jpeg.size())).Raw(jpeg).I32(0).I32(640).I32(480).I32(8);
            if (row.Version > 249)
                b.I64(77);
            else
                b.I32(77);
            b.Dbl(40000.0).I32(96).U8(0);
        }
    };
    TThumbBytes blocks[2];
    block(blocks[0], {"a.jpg", "b.jpg", "a.jpg"});
    block(blocks[1], {"c.jpg"});
    TThumbBytes head;
    head.Text(LegacyMediaSignature).I32(row.Version).I32(2);
    const size_t headSize = head.Data.size() + (4 + 6 + 12) + (4 + 10 + 12);
    head.Text("\\DCIM\\").I32(static_cast<int32_t>(headSize)).I32(0).I32(3);
    head.Text("\\DCIM\\100\\").I32(static_cast<int32_t>(headSize + blocks[0].Data.size())).I32(0).I32(1);
    ASSERT_EQ(head.Data.size(), headSize);
    std::string file = head.String() + blocks[0].String() + blocks[1].String();
    if (row.Truncated)
        file.resize(file.size() - 10);
    const std::string mtf = temp.Write("home/Media/Disc.mtf", file);

    TThumbnailList list(temp.File("home/Thumbnail/"), TThumbnailList::MediaFolder(temp.File("home/")));
    const TLegacyConversion result = list.ConvertLegacyMedia(mtf, "Disc");
    EXPECT_TRUE(result.Removed) << result.Error;
    EXPECT_FALSE(FileExists(mtf));
    EXPECT_EQ(result.Folders, row.Truncated ? 1 : 2);
    EXPECT_EQ(result.Thumbnails, row.Truncated ? 2 : 3);
    bool keptDamaged = false;
    for (const TDirEntry& e : ListDirectory(temp.File("home/Media/")))
        keptDamaged = keptDamaged || e.Name.starts_with("Disc.damaged-");
    EXPECT_EQ(keptDamaged, row.Truncated);

    TThumbStore media(TThumbnailList::MediaFolder(temp.File("home/")));
    media.ReadIndex();
    ASSERT_NE(media.Find("Disc/DCIM/"), nullptr);
    const TFolderThumbs dcim = media.ReadFolder("Disc/DCIM/", false);
    ASSERT_EQ(dcim.Records.size(), 2u);
    EXPECT_EQ(dcim.Records.at("b.jpg").FileSize, 77);
    EXPECT_EQ(dcim.Records.at("b.jpg").BoxHeight, 96);
    EXPECT_EQ(media.ReadBytes(dcim.Records.at("b.jpg")), std::vector<uint8_t>({'J', ':', 'b', '.', 'j', 'p', 'g'}));
}
INSTANTIATE_TEST_SUITE_P(Rows, LegacyMediaTest,
                         testing::Values(TLegacyRow{249, false}, TLegacyRow{250, false}, TLegacyRow{250, true}));

TEST(LegacyMedia, AFailedWriteOrAForeignFileKeepsTheOldFile)
{
    TTempFolder temp;
    const std::string foreign = temp.Write("home/Media/Other.mtf", TThumbBytes().Text("Not ours").String());
    TThumbBytes good;
    good.Text(LegacyMediaSignature).I32(250).I32(1).Text("").I32(4 + 25 + 4 + 4 + 4 + 12).I32(0).I32(1);
    good.Text(LegacyMediaBlockSignature).Text("a.jpg").I32(2).Raw("JJ").I32(0).I32(1).I32(1).I32(8).I64(1).Dbl(1).I32(80).U8(0);
    const std::string mtf = temp.Write("home/Media/Disc.mtf", good.String());
    // Something in the way of the data folder makes every write fail.
    temp.Write("home/Media/Thumbnail/00001", "in the way");

    TThumbnailList list(temp.File("home/Thumbnail/"), TThumbnailList::MediaFolder(temp.File("home/")));
    EXPECT_FALSE(list.ConvertLegacyMedia(foreign, "Other").Removed);
    EXPECT_TRUE(FileExists(foreign));
    const TLegacyConversion failed = list.ConvertLegacyMedia(mtf, "Disc");
    EXPECT_FALSE(failed.Removed);
    EXPECT_TRUE(FileExists(mtf));
    EXPECT_EQ(list.MediaStore().Find("Disc/"), nullptr);

    DeleteFile(temp.File("home/Media/Thumbnail/00001"));
    const TLegacyConversion done = list.ConvertLegacyMedia(mtf, "Disc");
    EXPECT_TRUE(done.Removed) << done.Error;
    EXPECT_EQ(done.Thumbnails, 1);
    EXPECT_NE(list.MediaStore().Find("Disc/"), nullptr);
}

}  // namespace
