// What the shelf commands take from a selection and a tree node, and the
// file name and question of the maintenance commands.

#include <gtest/gtest.h>

#include "browser/ShelfTargets.h"
#include "shellviews/ShellTree.h"

namespace {

using enum TItemKind;
using enum TTreePlaceKind;

const std::vector<TBrowserItem> Items = {
    {ikFolder, "sub", "/books/sub/"},
    {ikArchive, "a.zip", "/books/a.zip"},
    {ikImage, "p.jpg", "/books/p.jpg"},
    {ikFolder, "Shelf", ""},                 // a shelf in the list of shelves
    {ikArchive, "in.zip", "/books/x.zip//in.zip"},
};

struct TSelectionCase {
    const char* Name;
    std::vector<int> Selection;
    std::vector<std::string> Paths;
};

class ShelfCandidates : public ::testing::TestWithParam<TSelectionCase> {};

TEST_P(ShelfCandidates, TakeTheWholeSelectionOrNothing)
{
    EXPECT_EQ(ShelfCandidatePaths(Items, GetParam().Selection), GetParam().Paths);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShelfCandidates,
    ::testing::Values(TSelectionCase{"FolderAndArchive", {0, 1}, {"/books/sub/", "/books/a.zip"}},
                      TSelectionCase{"Nothing", {}, {}}, TSelectionCase{"APictureSpoilsIt", {0, 2}, {}},
                      TSelectionCase{"NoPath", {3}, {}}, TSelectionCase{"InsideAnArchive", {4}, {}},
                      TSelectionCase{"OutsideTheList", {0, 9}, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TTreeCase {
    const char* Name;
    TTreePlace Place;
    std::string Path;
};

class ShelfTreePath : public ::testing::TestWithParam<TTreeCase> {};

TEST_P(ShelfTreePath, IsAFolderOrAnArchiveOnDisk)
{
    EXPECT_EQ(ShelfPathOfTreePlace(GetParam().Place), GetParam().Path);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShelfTreePath,
    ::testing::Values(TTreeCase{"Folder", {tpFolder, "/books/"}, "/books/"},
                      TTreeCase{"FileSystemTop", {tpFolder, "/"}, ""},
                      TTreeCase{"ShelfMember", {tpShelfMember, "/m/", "", "", 0}, "/m/"},
                      TTreeCase{"BelowAMember", {tpShelfFolder, "/m/n/", "", "/m/", 0}, "/m/n/"},
                      TTreeCase{"ArchiveTop", {tpArchive, "/a.zip"}, "/a.zip"},
                      TTreeCase{"FolderInAnArchive", {tpArchive, "/a.zip", "dir/"}, ""},
                      TTreeCase{"InnerArchive", {tpArchive, "/a.zip//b.zip"}, ""},
                      TTreeCase{"Shelf", {tpShelf, "", "", "", 0}, ""},
                      TTreeCase{"CatalogueFolder", {tpMediumFolder, "dir/", "", "", 0}, ""},
                      TTreeCase{"Root", {tpRoot}, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ShelfExport, AppendsTxtUnlessTheExtensionIsExactlyTxt)
{
    EXPECT_EQ(ShelfExportFileName("/t/list.txt"), "/t/list.txt");
    EXPECT_EQ(ShelfExportFileName("/t/list.TXT"), "/t/list.TXT.txt");
    EXPECT_EQ(ShelfExportFileName("/t/list"), "/t/list.txt");
    EXPECT_EQ(ShelfExportFileName("/t/v1.2"), "/t/v1.2.txt");
}

TEST(ShelfDeleteMissing, NamesTheOneShelfOrSpeaksOfTheSelected)
{
    EXPECT_EQ(DeleteMissingQuestion({"漫画"}), "本棚 '漫画' 内の存在しない項目を削除してもよろしいですか？  ");
    EXPECT_EQ(DeleteMissingQuestion({"a", "b"}), "選択された本棚内の存在しない項目を削除してもよろしいですか？  ");
}

}  // namespace
