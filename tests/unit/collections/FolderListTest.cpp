#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collections/CategoryFolder.h"
#include "collections/GroupFolder.h"
#include "collections/MediaFolder.h"
#include "base/Errors.h"

namespace {

// Records every notice it gets, in order.
class TRecorder : public TFolderListObserver {
public:
    void FolderListChanged(TCustomFolderList&, const TListChange& change) override
    {
        Changes.push_back(change);
        if (change.Moves)
            LastMoves = *change.Moves;
    }
    std::vector<TListChange> Changes;
    TMoveIndex LastMoves;
};

std::vector<std::string> Names(const TCustomFolderList& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Folder(i)->Name());
    return names;
}

void Fill(TGroupList& list, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        list.Add(name, 0, "");
}

TEST(FolderList, AddSendsOneNoticeAndMarksShelvesLoaded)
{
    TGroupList list;
    TRecorder recorder;
    list.RegisterObserver(&recorder);
    const int index = list.Add("本棚", 2, "line1\r\nline2");
    ASSERT_EQ(recorder.Changes.size(), 1u);
    EXPECT_EQ(recorder.Changes[0].Kind, TListChangeKind::lcAdd);
    EXPECT_EQ(recorder.Changes[0].Phase, TChangePhase::cpAfter);
    EXPECT_EQ(recorder.Changes[0].Index, index);
    EXPECT_TRUE(list.Folder(index)->Loaded);
    EXPECT_EQ(list.Folder(index)->ImageIndex(), 2);
    EXPECT_EQ(list.Folder(index)->CommentLine(), "line1 line2");

    TMediaList media;
    EXPECT_FALSE(media.Folder(media.Add("disc", 0, ""))->Loaded);
}

TEST(FolderList, DeleteNotifiesBeforeAndAfterThenRaisesOnDeleted)
{
    TGroupList list;
    Fill(list, {"a", "b"});
    TRecorder recorder;
    TRecorder originator;
    list.RegisterObserver(&recorder);
    list.RegisterObserver(&originator);
    std::vector<std::string> deleted;
    list.OnDeleted = [&](TCustomFolderList&, int index, const std::string& old) {
        deleted.push_back(std::to_string(index) + old);
        // The notices came first.
        EXPECT_EQ(recorder.Changes.size(), 2u);
    };
    {
        TOriginatorScope scope(list, &originator);
        list.Delete(1);
    }
    ASSERT_EQ(recorder.Changes.size(), 2u);
    EXPECT_EQ(recorder.Changes[0].Phase, TChangePhase::cpBefore);
    EXPECT_EQ(recorder.Changes[1].Phase, TChangePhase::cpAfter);
    EXPECT_EQ(recorder.Changes[1].Kind, TListChangeKind::lcDelete);
    EXPECT_TRUE(originator.Changes.empty());
    EXPECT_EQ(deleted, std::vector<std::string>{"1b"});
    EXPECT_EQ(list.Originator(), nullptr);
    list.Delete(5);  // outside the list: nothing
    EXPECT_EQ(list.Count(), 1);
}

TEST(FolderList, IndexOfNameIgnoresCase)
{
    TGroupList list;
    Fill(list, {"Comics", "Ｐｈｏｔｏ"});
    EXPECT_EQ(list.IndexOfName("comics"), 0);
    EXPECT_EQ(list.IndexOfName("ｐｈｏｔｏ"), 1);
    EXPECT_EQ(list.IndexOfName("photo"), -1);
    EXPECT_EQ(list.Folder(2), nullptr);
}

TEST(FolderList, PropertiesNotifyOnlyOnChange)
{
    TGroupList list;
    Fill(list, {"a"});
    TRecorder recorder;
    list.RegisterObserver(&recorder);
    std::vector<std::string> renamed;
    list.OnRenamed = [&](TCustomFolderList&, int, const std::string& old) { renamed.push_back(old); };
    TCustomFolder* folder = list.Folder(0);
    folder->SetName("a");
    folder->SetImage(0);
    folder->SetComment("");
    EXPECT_TRUE(recorder.Changes.empty());
    folder->SetName("b");
    EXPECT_EQ(recorder.Changes.size(), 1u);
    EXPECT_EQ(renamed, std::vector<std::string>{"a"});
    folder->SetProperties("b", 0, "");
    EXPECT_EQ(recorder.Changes.size(), 2u);  // always one notice
    EXPECT_EQ(renamed.size(), 1u);           // but no rename
    EXPECT_EQ(recorder.Changes.back().Kind, TListChangeKind::lcProperties);
    EXPECT_EQ(recorder.Changes.back().Index, 0);
}

TEST(FolderList, MovingTwoFoldersKeepsThemTogetherInOrder)
{
    TGroupList list;
    Fill(list, {"A", "B", "C", "D", "E"});
    TRecorder recorder;
    list.RegisterObserver(&recorder);
    list.MoveItems({0, 1}, 3);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"C", "D", "A", "B", "E"}));
    ASSERT_EQ(recorder.Changes.size(), 2u);
    EXPECT_EQ(recorder.Changes[0].Kind, TListChangeKind::lcMoveArray);
    EXPECT_EQ(recorder.LastMoves.Destination, 4);
    EXPECT_EQ(recorder.LastMoves.Indices, (std::vector<int32_t>{0, 1}));
}

struct TMoveCase {
    const char* Name;
    std::vector<int32_t> Indices;
    int Destination;
    std::vector<std::string> Expected;
};

class MoveItemsTest : public ::testing::TestWithParam<TMoveCase> {};

TEST_P(MoveItemsTest, MovesFoldersAsAGroup)
{
    TGroupList list;
    Fill(list, {"A", "B", "C", "D", "E"});
    list.MoveItems(GetParam().Indices, GetParam().Destination);
    EXPECT_EQ(Names(list), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MoveItemsTest,
    ::testing::Values(TMoveCase{"ToTheFront", {3, 4}, 0, {"D", "E", "A", "B", "C"}},
                      TMoveCase{"ToTheEnd", {0, 2}, 4, {"B", "D", "E", "A", "C"}},
                      TMoveCase{"Scattered", {0, 4}, 2, {"B", "C", "A", "E", "D"}},
                      TMoveCase{"UnsortedIndicesIgnored", {2, 1}, 0, {"A", "B", "C", "D", "E"}},
                      TMoveCase{"OutOfRangeIgnored", {1, 9}, 0, {"A", "B", "C", "D", "E"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(FolderList, SortByNameAndComment)
{
    TGroupList list;
    list.Add("file10", 0, "b");
    list.Add("file2", 0, "b");
    list.Add("File1", 0, "a");
    TRecorder recorder;
    list.RegisterObserver(&recorder);
    list.Sort(TCustomFolderList::SortByName, false);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"File1", "file2", "file10"}));
    list.Sort(TCustomFolderList::SortByName, true);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"file10", "file2", "File1"}));
    list.Sort(TCustomFolderList::SortByComment, false);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"File1", "file2", "file10"}));
    ASSERT_EQ(recorder.Changes.size(), 6u);
    EXPECT_EQ(recorder.Changes[2].SortKey, 0);
    EXPECT_TRUE(recorder.Changes[2].Descending);
}

TEST(FolderList, MediaWithEqualFreeSpaceSortByName)
{
    TMediaList media;
    media.Add("disc B", 0, "");
    media.Add("disc A", 0, "");
    media.Add("disc C", 0, "");
    media.Medium(0)->FreeSpace = 500;
    media.Medium(1)->FreeSpace = 500;
    media.Medium(2)->FreeSpace = 100;
    media.Sort(TMediaList::SortByFreeSpace, false);
    EXPECT_EQ(Names(media), (std::vector<std::string>{"disc C", "disc A", "disc B"}));
    media.Sort(TMediaList::SortByFreeSpace, true);
    EXPECT_EQ(Names(media), (std::vector<std::string>{"disc B", "disc A", "disc C"}));
}

TEST(FolderList, FolderClassesRefuseForeignOwners)
{
    TMediaList media;
    TGroupList groups;
    TCategoryList categories;
    EXPECT_THROW(TGroupFolder(&media, "x"), EMirevaError);
    EXPECT_THROW(TMediaFolder(&groups, "x"), EMirevaError);
    EXPECT_THROW(TCategoryFolder(&groups, "x"), EMirevaError);
    try {
        TMediaFolder folder(&categories, "x");
        FAIL() << "accepted a category list";
    } catch (const EMirevaError& e) {
        EXPECT_STREQ(e.what(), "Ownerが正しくありません");
    }
    // A category list is a shelf list; no owner is allowed too.
    EXPECT_NO_THROW(TGroupFolder(&categories, "x"));
    EXPECT_NO_THROW(TGroupFolder(nullptr, "x"));
    EXPECT_NE(dynamic_cast<TCategoryFolder*>(categories.Folder(categories.Add("c", 0, ""))), nullptr);
}

TEST(FolderList, ObserverMayUnregisterWhileTold)
{
    TGroupList list;
    struct TLeaver : TFolderListObserver {
        TCustomFolderList* List = nullptr;
        int Calls = 0;
        void FolderListChanged(TCustomFolderList&, const TListChange&) override
        {
            ++Calls;
            List->UnregisterObserver(this);
        }
    } leaver;
    leaver.List = &list;
    TRecorder recorder;
    list.RegisterObserver(&leaver);
    list.RegisterObserver(&recorder);
    list.Add("a", 0, "");
    list.Add("b", 0, "");
    EXPECT_EQ(leaver.Calls, 1);
    EXPECT_EQ(recorder.Changes.size(), 2u);
}

class TFakeRegistry : public TIconRegistry {
public:
    int AddIcon(const std::string& name, const TIconImage& icon) override
    {
        Names.push_back(name);
        Masks.push_back(icon.Mask.ScanLine(0)[0]);
        return 100 + static_cast<int>(Names.size()) - 1;
    }
    std::vector<std::string> Names;
    std::vector<int> Masks;
};

TBitmap Strip(int frames, int side)
{
    TBitmap strip(frames * side, side, 24, true);
    // The top-left pixel of frame 1 is aqua (transparent).
    uint8_t* p = strip.ScanLine(0) + side * 3;
    p[0] = 0xFF;
    p[1] = 0xFF;
    p[2] = 0x00;
    return strip;
}

TEST(FolderList, IconStripsGiveOneIconPerFrame)
{
    TGroupList list;
    TFakeRegistry registry;
    list.LoadIcons(Strip(4, 16), &registry);
    EXPECT_EQ(registry.Names, (std::vector<std::string>{"Grp 0", "Grp 1", "Grp 2", "Grp 3"}));
    EXPECT_EQ(registry.Masks, (std::vector<int>{0, 255, 0, 0}));
    EXPECT_EQ(list.Images()[1].Color.ScanLine(0)[0], 0);  // aqua painted black
    EXPECT_EQ(list.RootIcon(), 100);
    EXPECT_EQ(list.IconOf(0), 101);
    EXPECT_EQ(list.IconOf(2), 103);  // n - 2: the last frame
    EXPECT_EQ(list.IconOf(3), -1);   // n - 1: none
    EXPECT_EQ(list.IconOf(-1), -1);
    EXPECT_EQ(list.AltIconOf(0), 101);  // no alternative strip yet
    list.LoadAltIcons(Strip(2, 16), &registry);
    EXPECT_EQ(registry.Names.back(), "Grp_s 1");
    EXPECT_EQ(list.AltIconOf(0), 105);
    EXPECT_EQ(list.AltIconOf(1), 102);
}

}  // namespace
