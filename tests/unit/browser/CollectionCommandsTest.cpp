#include <gtest/gtest.h>

#include <filesystem>

#include "browser/CollectionCommands.h"
#include "collections/CategoryFolder.h"
#include "collections/MediaFolder.h"
#include "collections/Shelf.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

using enum TCollectionKind;

// Answers every question as told and keeps what it was asked and shown.
class TAnsweringHost : public TFileCommandHost {
public:
    bool Answer = true;
    std::vector<std::string> Asked, Told;

    bool Ask(const std::string& text) override
    {
        Asked.push_back(text);
        return Answer;
    }
    void Tell(const std::string& text, TMessageIcon) override { Told.push_back(text); }
    TConflictAnswer AskConflict(const TConflict&) override { return TConflictAnswer::caSkip; }
    void PutFiles(const TClipFiles&) override {}
    std::optional<TClipFiles> Files() override { return std::nullopt; }
    void ClearFiles() override {}
    void PutText(const std::string&) override {}
    TTransferProgress* Progress() override { return nullptr; }
};

struct CollectionCommandsFixture : ::testing::Test {
    void SetUp() override
    {
        for (TCustomFolderList* list : Lists()) {
            list->Add("One", 0, "");
            list->Add("Two", 0, "");
            list->Add("Three", 0, "");
        }
        commands.OnShelvesChanged = [this] { ++shelvesWritten; };
    }
    std::vector<TCustomFolderList*> Lists() { return {&shelves, &media, &categories}; }
    TCustomFolderList& ListOf(TCollectionKind kind) { return *Lists()[static_cast<size_t>(kind)]; }
    static std::vector<std::string> Names(const TCustomFolderList& list)
    {
        std::vector<std::string> names;
        for (int i = 0; i < list.Count(); ++i)
            names.push_back(list.Folder(i)->Name());
        return names;
    }

    TGroupList shelves;
    TMediaList media;
    TCategoryList categories;
    TAnsweringHost host;
    TCollectionCommands commands{{shelves, media, categories}, host};
    int shelvesWritten = 0;
};

struct TKindRow {
    TCollectionKind Kind;
    std::string Question;
    std::string Duplicate;
};

class CollectionKinds : public CollectionCommandsFixture, public ::testing::WithParamInterface<TKindRow> {};

TEST_P(CollectionKinds, DeleteAsksItsQuestionAndTakesTheChosenFoldersInAnyOrder)
{
    const TKindRow& row = GetParam();
    TCustomFolderList& list = ListOf(row.Kind);
    // Given last to first: deleting the first must not shift the second.
    const std::vector<TCustomFolder*> chosen{list.Folder(2), list.Folder(0)};
    host.Answer = false;
    EXPECT_FALSE(commands.DeleteCollections(row.Kind, chosen, false));
    EXPECT_EQ(list.Count(), 3);
    host.Answer = true;
    EXPECT_TRUE(commands.DeleteCollections(row.Kind, chosen, false));
    EXPECT_EQ(host.Asked, (std::vector<std::string>{row.Question, row.Question}));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Two"}));
    EXPECT_EQ(shelvesWritten, row.Kind == ckShelf ? 1 : 0);
    // With LIST DelNoDialog nothing is asked.
    EXPECT_TRUE(commands.DeleteCollections(row.Kind, {list.Folder(0)}, true));
    EXPECT_EQ(host.Asked.size(), 2u);
    EXPECT_EQ(list.Count(), 0);
}

TEST_P(CollectionKinds, RenameRefusesANameAnotherHasWithoutRegardToCase)
{
    const TKindRow& row = GetParam();
    TCustomFolderList& list = ListOf(row.Kind);
    TCustomFolder& two = *list.Folder(1);
    EXPECT_FALSE(commands.Rename(row.Kind, two, " one "));
    EXPECT_FALSE(commands.Rename(row.Kind, two, "  "));
    ASSERT_EQ(host.Told.size(), 2u);
    EXPECT_EQ(host.Told[0], row.Duplicate);
    EXPECT_EQ(host.Told[1], "名前を入力してください  ");
    EXPECT_EQ(two.Name(), "Two");
    // Its own name in other letters is no clash.
    EXPECT_TRUE(commands.Rename(row.Kind, two, " TWO "));
    EXPECT_EQ(two.Name(), "TWO");
    EXPECT_FALSE(commands.Rename(row.Kind, two, "TWO"));
    EXPECT_EQ(shelvesWritten, row.Kind == ckShelf ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    All, CollectionKinds,
    ::testing::Values(TKindRow{ckShelf, "選択された本棚を削除してもよろしいですか？  ", "同名の本棚が存在します  "},
                      TKindRow{ckMedium, "選択されたメディアを削除してもよろしいですか？  ", "同名のメディアが存在します  "},
                      TKindRow{ckCategory, "選択されたカテゴリを削除してもよろしいですか？  ",
                               "同名のカテゴリが存在します  "}));

TEST(CollectionCommandsKinds, OnlyTheListsOfCollectionsListCollections)
{
    EXPECT_EQ(TCollectionCommands::ListedKind(TListKind::lkShelves), ckShelf);
    EXPECT_EQ(TCollectionCommands::ListedKind(TListKind::lkMediaList), ckMedium);
    EXPECT_EQ(TCollectionCommands::ListedKind(TListKind::lkCategories), ckCategory);
    for (const TListKind kind : {TListKind::lkFolder, TListKind::lkShelf, TListKind::lkCategory, TListKind::lkSearch})
        EXPECT_FALSE(TCollectionCommands::ListedKind(kind).has_value());
}

TEST_F(CollectionCommandsFixture, RemovingMembersTakesThemOffTheShelfAndLeavesTheFolders)
{
    TTempFolder temp;
    for (const char* name : {"a", "b", "c"})
        std::filesystem::create_directories(temp.File(name));
    TGroupFolder& shelf = *shelves.Group(0);
    ASSERT_EQ(AddPaths(shelf, {temp.File("a"), temp.File("b"), temp.File("c")}), 3);
    const std::string question = "選択されたオブジェクトを本棚から削除してもよろしいですか？  ";
    // A folder's row ends in '/'; a path that is no member is passed over.
    EXPECT_TRUE(commands.RemoveMembers(shelf, {temp.File("c/"), temp.File("x"), temp.File("a")}, question, false));
    EXPECT_EQ(host.Asked, (std::vector<std::string>{question}));
    EXPECT_EQ(shelf.Count(), 1);
    EXPECT_EQ(shelf.IndexOf(temp.File("b")), 0);
    EXPECT_TRUE(DirectoryExists(temp.File("a")) && DirectoryExists(temp.File("c")));
    EXPECT_EQ(shelvesWritten, 1);
    EXPECT_FALSE(commands.RemoveMembers(shelf, {temp.File("x")}, question, true));
    EXPECT_EQ(shelvesWritten, 1);
}

}  // namespace
