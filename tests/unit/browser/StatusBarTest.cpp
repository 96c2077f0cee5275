#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "browser/ByteSize.h"
#include "browser/StatusBar.h"

namespace {

TStatusItem File(const char* name, int64_t size)
{
    return TStatusItem{name, std::string("/home/u/books/") + name, "JPEG 画像", size, TPictureSize{640, 480, 24}, false};
}

TStatusItem Folder(const char* name)
{
    return TStatusItem{name, std::string("/home/u/books/") + name + "/", "フォルダ", std::nullopt, std::nullopt, true};
}

TStatusItem Member(const char* path, bool folder = false)
{
    return TStatusItem{"", path, folder ? "" : "PNG 画像", folder ? std::nullopt : std::optional<int64_t>(2500),
                       std::nullopt, folder};
}

// Every row starts from a folder of ten items listed under its full path.
TStatusSnapshot Base()
{
    TStatusSnapshot s;
    s.ItemCount = 10;
    s.FullPath = true;
    s.BarWidth = 800;
    s.Place.Path = "/home/u/books/";
    s.Place.DisplayName = "books";
    s.Place.CollectionName = "Disc 1";
    s.Place.MediumRoot = "/media/cd/";
    s.Place.ArchiveLevels = {"/home/u/book.zip"};
    return s;
}

struct TStatusRow {
    const char* Name;
    void (*Setup)(TStatusSnapshot&);
    const char* Place;
    const char* Type;
    const char* Picture;
    const char* Size;
    const char* Count;
};

class StatusPanelsTest : public testing::TestWithParam<TStatusRow> {};

TEST_P(StatusPanelsTest, Texts)
{
    const TStatusRow& row = GetParam();
    TStatusSnapshot s = Base();
    row.Setup(s);
    const TStatusPanels panels = BuildStatusPanels(s, [](const std::string& text) { return int(text.size()); });
    EXPECT_EQ(panels.Texts[0], row.Place);
    EXPECT_EQ(panels.Texts[1], row.Type);
    EXPECT_EQ(panels.Texts[2], row.Picture);
    EXPECT_EQ(panels.Texts[3], row.Size);
    EXPECT_EQ(panels.Texts[5], row.Count);
    EXPECT_EQ(panels.Widths[3], panels.Texts[3].empty() ? 0 : 80);
    EXPECT_EQ(panels.Widths[2], panels.Texts[2].empty() ? 0 : 120);
}

const TStatusRow StatusRows[] = {
    {"ThreeFiles", [](TStatusSnapshot& s) { s.Selection = {File("a.jpg", 1000), File("b.jpg", 2000), File("c.jpg", 3000)}; },
     "3 個のオブジェクトを選択", "", "", "6.0 kB", "3 / 10 ファイル"},
    {"FoldersOnly", [](TStatusSnapshot& s) { s.Selection = {Folder("x"), Folder("y")}; },
     "2 個のオブジェクトを選択", "", "", "", "2 / 10 ファイル"},
    {"SeveralInACategoryHaveNoTotal",
     [](TStatusSnapshot& s) { s.Kind = TListKind::lkCategory; s.Selection = {File("a.jpg", 1), File("b.jpg", 2)}; },
     "2 個のオブジェクトを選択", "", "", "", "2 / 10 ファイル"},
    {"OneFileFullPath", [](TStatusSnapshot& s) { s.Selection = {File("a.jpg", 1000)}; },
     "/home/u/books/a.jpg", "JPEG 画像", "640 x 480 x 24bit", "1.0 kB", "1 / 10 ファイル"},
    {"OneFileCaption", [](TStatusSnapshot& s) { s.FullPath = false; s.Selection = {File("a.jpg", 1000)}; },
     "a.jpg", "JPEG 画像", "640 x 480 x 24bit", "1.0 kB", "1 / 10 ファイル"},
    {"OneAtTheDesktop", [](TStatusSnapshot& s) { s.Place.AtDesktop = true; s.Selection = {Folder("home")}; },
     "home", "", "", "", "1 / 10 ファイル"},
    {"OneFolderWithoutItsSlash", [](TStatusSnapshot& s) { s.Selection = {Folder("x")}; },
     "/home/u/books/x", "", "", "", "1 / 10 ファイル"},
    {"OneInACatalogue",
     [](TStatusSnapshot& s) {
         s.Kind = TListKind::lkMediumFolder;
         s.Selection = {File("a.jpg", 5)};
         s.Selection[0].Path = "/media/cd/vol1/a.jpg";
     },
     "Disc 1/vol1/a.jpg", "JPEG 画像", "640 x 480 x 24bit", "5 バイト", "1 / 10 ファイル"},
    {"OneShelfInTheShelves",
     [](TStatusSnapshot& s) { s.Kind = TListKind::lkShelves; s.Selection = {TStatusItem{"漫画", "", "", 7, {}, false}}; },
     "漫画", "", "", "", "1 / 10 ファイル"},
    {"FolderFullPath", [](TStatusSnapshot&) {}, "/home/u/books", "", "", "", "10 ファイル"},
    {"FolderName", [](TStatusSnapshot& s) { s.FullPath = false; }, "books", "", "", "", "10 ファイル"},
    {"TheRoot", [](TStatusSnapshot& s) { s.Place.Path = "/"; }, "/", "", "", "", "10 ファイル"},
    {"Shelves", [](TStatusSnapshot& s) { s.Kind = TListKind::lkShelves; }, "本棚", "", "", "", "10 ファイル"},
    {"AShelf", [](TStatusSnapshot& s) { s.Kind = TListKind::lkShelf; }, "Disc 1", "", "", "", "10 ファイル"},
    {"Media", [](TStatusSnapshot& s) { s.Kind = TListKind::lkMediaList; }, "メディア", "", "", "", "10 ファイル"},
    {"CatalogueFolder",
     [](TStatusSnapshot& s) { s.Kind = TListKind::lkMediumFolder; s.Place.Path = "/media/cd/vol1/"; },
     "Disc 1/vol1", "", "", "", "10 ファイル"},
    {"Categories", [](TStatusSnapshot& s) { s.Kind = TListKind::lkCategories; }, "カテゴリ", "", "", "", "10 ファイル"},
    {"Search", [](TStatusSnapshot& s) { s.Kind = TListKind::lkSearch; }, "検索結果", "", "", "", "10 ファイル"},
    {"MemberFullPath",
     [](TStatusSnapshot& s) { s.List = TStatusList::slArchiveList; s.Selection = {Member("dir/a.png")}; },
     "/home/u/book.zip/dir/a.png", "PNG 画像", "", "2.5 kB", "1 / 10 ファイル"},
    {"MemberName",
     [](TStatusSnapshot& s) { s.List = TStatusList::slArchiveList; s.FullPath = false; s.Selection = {Member("dir/a.png")}; },
     "a.png", "PNG 画像", "", "2.5 kB", "1 / 10 ファイル"},
    {"NestedMemberFolder",
     [](TStatusSnapshot& s) {
         s.List = TStatusList::slArchiveList;
         s.Place.ArchiveLevels.push_back("x/in.zip");
         s.Selection = {Member("dir/", true)};
     },
     "/home/u/book.zip//x/in.zip/dir", "", "", "", "1 / 10 ファイル"},
    {"MembersAndAFolder",
     [](TStatusSnapshot& s) { s.List = TStatusList::slArchiveList; s.Selection = {Member("d/", true), Member("a"), Member("b")}; },
     "3 個のオブジェクトを選択", "", "", "5.0 kB", "3 / 10 ファイル"},
    {"ArchiveTop", [](TStatusSnapshot& s) { s.List = TStatusList::slArchiveList; },
     "/home/u/book.zip", "", "", "", "10 ファイル"},
    {"ArchiveTopName", [](TStatusSnapshot& s) { s.List = TStatusList::slArchiveList; s.FullPath = false; },
     "book.zip", "", "", "", "10 ファイル"},
    {"ArchiveFolder",
     [](TStatusSnapshot& s) { s.List = TStatusList::slArchiveList; s.Place.ArchiveFolder = "dir/sub/"; },
     "/home/u/book.zip/dir/sub", "", "", "", "10 ファイル"},
    {"ArchiveFolderName",
     [](TStatusSnapshot& s) { s.List = TStatusList::slArchiveList; s.FullPath = false; s.Place.ArchiveFolder = "dir/sub/"; },
     "sub", "", "", "", "10 ファイル"},
};

INSTANTIATE_TEST_SUITE_P(Rows, StatusPanelsTest, testing::ValuesIn(StatusRows),
                         [](const testing::TestParamInfo<TStatusRow>& info) { return info.param.Name; });

TEST(StatusPanels, WidthsLeaveTheRestToThePlace)
{
    TStatusSnapshot s = Base();
    s.Selection = {File("a.jpg", 1000)};
    const TStatusPanels panels = BuildStatusPanels(s, [](const std::string& text) { return int(text.size()) * 2; });
    const int type = int(panels.Texts[1].size()) * 2 + 12;
    EXPECT_EQ(panels.Widths, (std::array<int, 7>{800 - type - 120 - 80 - 10 - 120 - 15, type, 120, 80, 10, 120, 0}));
    s.BarWidth = 100;
    EXPECT_EQ(BuildStatusPanels(s, {}).Widths[0], 0);
}

TEST(ByteSize, DecimalUnitsWithOneDecimal)
{
    const std::pair<int64_t, const char*> rows[] = {
        {-5, "0 バイト"},          {0, "0 バイト"},         {999, "999 バイト"},
        {1000, "1.0 kB"},          {1049, "1.0 kB"},        {1050, "1.1 kB"},
        {999949, "999.9 kB"},      {999950, "1.0 MB"},      {1500000000, "1.5 GB"},
        {std::numeric_limits<int64_t>::max(), "9.2 EB"},
    };
    for (const auto& [bytes, text] : rows)
        EXPECT_EQ(FormatByteSize(bytes), text) << bytes;
}

}  // namespace
