#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "common/ByteSize.h"
#include "browser/StatusBar.h"

namespace {

TStatusItem File(const char* name, int64_t size, bool folder = false)
{
    return TStatusItem{name, std::string("/home/u/books/") + name, folder ? "フォルダ" : "JPEG 画像",
                       folder ? std::nullopt : std::optional<int64_t>(size), TPictureSize{640, 480, 24}, folder};
}

TStatusItem Member(const char* path, bool folder = false)
{
    return TStatusItem{"", path, "PNG 画像", 2500, std::nullopt, folder};
}

// Every row starts from a folder of ten items shown with full paths; the
// archive rows show "/home/u/book.zip".
TStatusSnapshot Base()
{
    TStatusSnapshot s;
    s.ItemCount = 10;
    s.FullPath = true;
    s.BarWidth = 800;
    s.Place = TStatusPlace{false, "/home/u/books/", "", "books", "Disc 1", "/media/cd/", {"/home/u/book.zip"}, ""};
    return s;
}

struct TStatusRow {
    const char* Name;
    void (*Setup)(TStatusSnapshot&);
    const char* Panels;  // panels 0, 1, 2, 3 and 5 joined by '|'
};

class StatusPanelsTest : public testing::TestWithParam<TStatusRow> {};

TEST_P(StatusPanelsTest, Texts)
{
    TStatusSnapshot s = Base();
    GetParam().Setup(s);
    const TStatusPanels p = BuildStatusPanels(s, [](const std::string& text) { return int(text.size()); });
    EXPECT_EQ(p.Texts[0] + "|" + p.Texts[1] + "|" + p.Texts[2] + "|" + p.Texts[3] + "|" + p.Texts[5],
              GetParam().Panels);
    EXPECT_EQ(p.Widths[3], p.Texts[3].empty() ? 0 : 80);
}

void Archive(TStatusSnapshot& s)
{
    s.List = TStatusList::slArchiveList;
}

const TStatusRow StatusRows[] = {
    {"ThreeFiles", [](TStatusSnapshot& s) { s.Selection = {File("a", 1000), File("b", 2000), File("c", 3000)}; },
     "3 個のオブジェクトを選択|||6.0 kB|3 / 10 ファイル"},
    {"FoldersOnly", [](TStatusSnapshot& s) { s.Selection = {File("x", 0, true), File("y", 0, true)}; },
     "2 個のオブジェクトを選択||||2 / 10 ファイル"},
    {"NoTotalInACategory",
     [](TStatusSnapshot& s) { s.Kind = TListKind::lkCategory; s.Selection = {File("a", 1), File("b", 2)}; },
     "2 個のオブジェクトを選択||||2 / 10 ファイル"},
    {"OneFullPath", [](TStatusSnapshot& s) { s.Selection = {File("a.jpg", 1000)}; },
     "/home/u/books/a.jpg|JPEG 画像|640 x 480 x 24bit|1.0 kB|1 / 10 ファイル"},
    {"OneCaption", [](TStatusSnapshot& s) { s.FullPath = false; s.Selection = {File("a.jpg", 1000)}; },
     "a.jpg|JPEG 画像|640 x 480 x 24bit|1.0 kB|1 / 10 ファイル"},
    {"OneInACatalogue",
     [](TStatusSnapshot& s) {
         s.Kind = TListKind::lkMedium;
         s.Selection = {File("a.jpg", 5)};
         s.Selection[0].Path = "/media/cd/v/a.jpg";
     },
     "Disc 1/v/a.jpg|JPEG 画像|640 x 480 x 24bit|5 バイト|1 / 10 ファイル"},
    {"FolderFullPath", [](TStatusSnapshot&) {}, "/home/u/books||||10 ファイル"},
    {"CatalogueFolder", [](TStatusSnapshot& s) { s.Kind = TListKind::lkMediumFolder; s.Place.Path = "/media/cd/v/"; },
     "Disc 1/v||||10 ファイル"},
    {"CatalogueTop", [](TStatusSnapshot& s) { s.Kind = TListKind::lkMediumFolder; s.Place.Path = "/media/cd"; },
     "Disc 1||||10 ファイル"},
    {"MemberFullPath", [](TStatusSnapshot& s) { Archive(s); s.Selection = {Member("d/a.png")}; },
     "/home/u/book.zip/d/a.png|PNG 画像||2.5 kB|1 / 10 ファイル"},
    {"NestedMemberFolder",
     [](TStatusSnapshot& s) {
         Archive(s);
         s.Place.ArchiveLevels.push_back("x/in.zip");
         s.Selection = {Member("d/", true)};
     },
     "/home/u/book.zip//x/in.zip/d||||1 / 10 ファイル"},
    {"MembersAndAFolder",
     [](TStatusSnapshot& s) { Archive(s); s.Selection = {Member("d/", true), Member("a"), Member("b")}; },
     "3 個のオブジェクトを選択|||5.0 kB|3 / 10 ファイル"},
    {"ArchiveTopName", [](TStatusSnapshot& s) { Archive(s); s.FullPath = false; }, "book.zip||||10 ファイル"},
    {"ArchiveFolderName", [](TStatusSnapshot& s) { Archive(s); s.FullPath = false; s.Place.ArchiveFolder = "d/sub/"; },
     "sub||||10 ファイル"},
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
        {-5, "0 バイト"},     {999, "999 バイト"},   {1000, "1.0 kB"},      {1049, "1.0 kB"},
        {1050, "1.1 kB"},     {999949, "999.9 kB"}, {999950, "1.0 MB"},    {1500000000, "1.5 GB"},
        {std::numeric_limits<int64_t>::max(), "9.2 EB"},
    };
    for (const auto& [bytes, text] : rows)
        EXPECT_EQ(FormatByteSize(bytes), text) << bytes;
}

}  // namespace
