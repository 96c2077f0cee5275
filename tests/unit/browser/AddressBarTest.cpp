#include <gtest/gtest.h>

#include "browser/AddressBar.h"
#include "support/TempFolder.h"

namespace {

using enum TListKind;

THistoryData Folder(const std::string& path)
{
    THistoryData entry;
    entry.Item = path;
    entry.Text = path;
    return entry;
}

THistoryData Archive(const std::string& path, const std::string& inner)
{
    THistoryData entry;
    entry.InArchive = true;
    entry.Item = entry.Text = path;
    entry.InnerFolder = inner;
    return entry;
}

struct TextsRow {
    TListKind Kind;
    THistoryData Location;
    TAddressTexts Expected;
};

class AddressTextsTest : public ::testing::TestWithParam<TextsRow> {};

TEST_P(AddressTextsTest, NamesThePlace)
{
    EXPECT_EQ(AddressTexts(GetParam().Kind, GetParam().Location), GetParam().Expected);
}

THistoryData Medium(const std::string& name, const std::string& folder)
{
    THistoryData entry;
    entry.Style = TShellStyle::ssMedia;
    entry.Media = name;
    entry.MediaFolder = folder;
    return entry;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AddressTextsTest,
    ::testing::Values(TextsRow{lkFolder, Folder("/home/u/books/"), {"/home/u/books", "books"}},
                      TextsRow{lkFolder, Folder("/"), {"/", "/"}},
                      TextsRow{lkFolder, Archive("/b/book.zip", ""), {"/b/book.zip", "book.zip"}},
                      TextsRow{lkFolder, Archive("/b/book.zip", "p/q/"), {"/b/book.zip/p/q", "book.zip/p/q"}},
                      TextsRow{lkMediumFolder, Medium("Disc 1", "photos/2020/"), {"Disc 1/photos/2020", "2020"}},
                      TextsRow{lkShelves, {}, {"本棚", "本棚"}},
                      TextsRow{lkSearch, {}, {"検索結果", "検索結果"}}));

TEST(TypedAddressTest, TrimsAndDropsATrailingSeparatorButTheRoots)
{
    EXPECT_EQ(TypedAddress("  /home/u/books/ "), "/home/u/books");
    EXPECT_EQ(TypedAddress("/"), "/");
    EXPECT_EQ(TypedAddress(" / "), "/");
    EXPECT_EQ(TypedAddress("   "), std::nullopt);
}

TEST(HistoryCaptionTest, ShowsTheLastNameAndTheArchiveFolder)
{
    EXPECT_EQ(HistoryCaption(Folder("/home/u/books/")), "<フォルダ>\tbooks");
    EXPECT_EQ(HistoryCaption(Folder("/")), "<フォルダ>\t/");
    EXPECT_EQ(HistoryCaption(Archive("/b/book.zip", "p/q/")), "<フォルダ>\tbook.zip//p/q");
    THistoryData shelf;
    shelf.Style = TShellStyle::ssGroup;
    shelf.Text = "漫画";
    EXPECT_EQ(HistoryCaption(shelf), "<本棚>\t漫画");
}

TEST(NavHistoryTest, KeepsItsLimitAndDropsTheNewerEntries)
{
    TNavHistory history;
    for (const char* path : {"/a/", "/b/", "/c/", "/d/"})
        history.Record(Folder(path), 3);
    ASSERT_EQ(history.Count(), 3);
    EXPECT_EQ(history.At(2).Item, "/b/");
    history.SetPosition(2);
    history.Record(Folder("/e/"), 3);
    ASSERT_EQ(history.Count(), 2);
    EXPECT_EQ(history.At(1).Item, "/b/");
    EXPECT_EQ(history.Menu(true, 5), (std::vector<THistoryMenuItem>{{1, "<フォルダ>\tb"}}));
}

TEST(AddressHistoryTest, ATextAlreadyThereMovesToTheTopAndDeleteSelectsItsNeighbour)
{
    TAddressHistory history;
    for (const char* text : {"/a", "/b", "/c"})
        history.Add(text, 3);
    history.Add("/a", 3);
    EXPECT_EQ(history.Items(), (std::vector<std::string>{"/a", "/c", "/b"}));
    history.Add("/d", 3);
    EXPECT_EQ(history.Items(), (std::vector<std::string>{"/d", "/a", "/c"}));
    EXPECT_EQ(history.Remove(2), 1);
    EXPECT_EQ(history.Remove(0), 0);
    EXPECT_EQ(history.Items(), (std::vector<std::string>{"/a"}));
    EXPECT_EQ(history.Remove(0), -1);
}

TEST(AddressHistoryTest, InputListKeepsOtherSectionsAndLosesKeysBeyondTheList)
{
    TTempFolder data;
    data.Write(InputListName, "[SEARCH]\n1=cat\n[ADDRESSBAR]\n1=/x\n2=/y\n3=\n4=/never\n");
    TAddressHistory history;
    history.Load(data.Path());
    ASSERT_EQ(history.Items(), (std::vector<std::string>{"/x", "/y"}));
    history.Remove(1);
    history.Save(data.Path());
    TAddressHistory again;
    again.Load(data.Path());
    EXPECT_EQ(again.Items(), (std::vector<std::string>{"/x"}));
    const std::string text = data.Read(InputListName);
    EXPECT_NE(text.find("1=cat"), std::string::npos);
    EXPECT_EQ(text.find("/y"), std::string::npos);
    EXPECT_EQ(text.find("/never"), std::string::npos);
}

}  // namespace
