#include <gtest/gtest.h>

#include <unistd.h>

#include "base/PathUtils.h"
#include "browser/ActionRules.h"
#include "browser/NeighbourWalk.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "shellviews/ShellTree.h"
#include "support/TempFolder.h"

namespace {

using enum TNeighbourKind;
constexpr TWalkDirection Fwd = TWalkDirection::wdForward;
constexpr TWalkDirection Back = TWalkDirection::wdBackward;

bool IsZip(std::string_view ext)
{
    return UpperCase(ext) == ".ZIP";
}

// A tree the walk may climb to the top of without leaving it: the walks
// below stop inside "top/".
//   top/series/  01/ 02/ a.zip b.zip c.jpg
//   top/series2/
//   top/linked/  01/ 02/ 03loop -> ../.. (out of the folder) 04 -> 02 (a sibling) x.zip
//   top/s1/ sub1/ sub2/   top/s3/   top/book.zip
class NeighbourTree {
public:
    NeighbourTree()
    {
        for (const char* folder : {"top/series/01/", "top/series/02/", "top/series2/", "top/linked/01/",
                                   "top/linked/02/", "top/s1/sub1/", "top/s1/sub2/", "top/s3/"})
            ForceDirectories(Tree.File(folder));
        for (const char* file : {"top/series/a.zip", "top/series/b.zip", "top/series/c.jpg", "top/linked/x.zip",
                                 "top/book.zip", "top/z.zip"})
            Tree.Write(file, "x");
        EXPECT_EQ(::symlink("../..", Tree.File("top/linked/03loop").c_str()), 0);
        EXPECT_EQ(::symlink("02", Tree.File("top/linked/04").c_str()), 0);
    }
    TTempFolder Tree;
};

struct DiskRow {
    const char* Start;  // below the tree; a folder ends in '/'
    TWalkDirection Direction;
    TNeighbourKind Kind;
    const char* Target;  // below the tree
};

class DiskWalkTest : public ::testing::TestWithParam<DiskRow> {};

TEST_P(DiskWalkTest, FindsTheNeighbour)
{
    const DiskRow& row = GetParam();
    NeighbourTree tree;
    TDiskWalkSpace disk;
    const TNeighbourWalk walk(IsZip);
    const std::string start = tree.Tree.File(row.Start);
    const TNeighbourMove move = walk.OnDisk(disk, start, HasTrailingDelimiter(start), row.Direction);
    EXPECT_EQ(move.Kind, row.Kind);
    EXPECT_EQ(move.Path, *row.Target ? tree.Tree.File(row.Target) : std::string());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DiskWalkTest,
    ::testing::Values(DiskRow{"top/series/01/", Fwd, nkFolder, "top/series/02/"},
                      DiskRow{"top/series/02/", Fwd, nkArchive, "top/series/a.zip"},
                      DiskRow{"top/series/a.zip", Fwd, nkArchive, "top/series/b.zip"},
                      DiskRow{"top/series/a.zip", Back, nkFolder, "top/series/02/"},
                      // The picture after b.zip is no neighbour: the walk
                      // climbs to the folder's own next neighbour.
                      DiskRow{"top/series/b.zip", Fwd, nkFolder, "top/series2/"},
                      DiskRow{"top/series/01/", Back, nkGoUp, ""},
                      // Past the last folder and archive of top: its parent
                      // has nothing more to offer, so on with top's files.
                      DiskRow{"top/s3/", Fwd, nkFolder, "top/series/"},
                      DiskRow{"top/series2/", Fwd, nkArchive, "top/book.zip"},
                      // A vanished folder yields nothing; backward goes up.
                      DiskRow{"top/gone/x/", Back, nkGoUp, ""},
                      // Links: one leading out of its folder and one to the
                      // folder shown are both passed over.
                      DiskRow{"top/linked/02/", Fwd, nkArchive, "top/linked/x.zip"},
                      DiskRow{"top/linked/01/", Fwd, nkFolder, "top/linked/02/"},
                      DiskRow{"top/linked/x.zip", Back, nkFolder, "top/linked/04/"},
                      DiskRow{"top/linked/04/", Back, nkFolder, "top/linked/01/"}));

TEST(NeighbourIndexTest, OnlyFoldersAndArchivesOfTheCurrentKindCount)
{
    const std::vector<TWalkEntry> entries{{"c.jpg", false}, {"a.zip", false}, {"01/", true}, {"02/", true}};
    // Folders come first whatever the container's order.
    EXPECT_EQ(NeighbourIndex(entries, "a.zip", false, Back, IsZip), 3);
    EXPECT_EQ(NeighbourIndex(entries, "02/", true, Fwd, IsZip), 1);
    // A picture is never the current item's kind, nor a neighbour.
    EXPECT_EQ(NeighbourIndex(entries, "c.jpg", false, Fwd, IsZip), -1);
    EXPECT_EQ(NeighbourIndex(entries, "a.zip", false, Fwd, IsZip), -1);
    // "01/" is a folder: asked for as a file it is not found.
    EXPECT_EQ(NeighbourIndex(entries, "01/", false, Fwd, IsZip), -1);
}

TNeighbourMove M(TNeighbourKind kind, std::string path = {}, int index = -1, bool archive = false)
{
    TNeighbourMove move;
    move.Kind = kind;
    move.Path = std::move(path);
    move.Index = index;
    move.Archive = archive;
    return move;
}

struct ShelfRow {
    const char* Current;  // below the tree; empty: the member list
    int ShelfIndex;
    TWalkDirection Direction;
    TNeighbourMove Expected;  // paths below the tree
    const char* Member = "";  // the member a folder found lies in
};

class ShelfWalkTest : public ::testing::TestWithParam<ShelfRow> {};

TEST_P(ShelfWalkTest, FindsTheNeighbour)
{
    const ShelfRow& row = GetParam();
    NeighbourTree tree;
    const auto at = [&](const std::string& p) { return p.empty() ? p : tree.Tree.File(p); };
    const std::vector<TShelfWalkMember> members{{at("top/s3/"), true},
                                                {at("top/book.zip"), false},
                                                {at("top/s2gone/"), true},
                                                {at("top/s1/"), true}};
    TDiskWalkSpace disk;
    const TNeighbourWalk walk(IsZip);
    const std::string current = at(row.Current);
    const TNeighbourMove move =
        walk.OnShelf(members, row.ShelfIndex, 2, current, HasTrailingDelimiter(current), disk,
                     [](const std::string& path) { return PathExists(path); }, row.Direction);
    TNeighbourMove expected = row.Expected;
    expected.Path = at(expected.Path);
    expected.Inner = at(row.Member);
    EXPECT_EQ(move, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShelfWalkTest,
    ::testing::Values(
        // The member that no longer exists is skipped.
        ShelfRow{"top/s1/", 0, Fwd, M(nkShelfMember, "top/s3/", 0)},
        ShelfRow{"top/s3/", 0, Fwd, M(nkShelfMember, "top/book.zip", 0, true)},
        ShelfRow{"top/book.zip", 0, Fwd, M(nkShelf, {}, 1)},
        ShelfRow{"top/book.zip", 1, Fwd, M(nkNothing)},
        ShelfRow{"top/s1/", 0, Back, M(nkGoUp)},
        ShelfRow{"top/s1/sub1/", 0, Fwd, M(nkFolder, "top/s1/sub2/", 0), "top/s1/"},
        // The member's last folder gives way to the member's neighbour,
        // never to the folders beside the member on disk.
        ShelfRow{"top/s1/sub2/", 0, Fwd, M(nkShelfMember, "top/s3/", 0)},
        ShelfRow{"", 0, Back, M(nkShelves)},
        ShelfRow{"", 1, Back, M(nkShelf, {}, 0)},
        ShelfRow{"", 0, Fwd, M(nkShelf, {}, 1)}));

struct MediumRow {
    const char* Current;  // a folder of the catalogue; empty: its root
    int Medium;
    TWalkDirection Direction;
    TNeighbourMove Expected;
};

class MediumWalkTest : public ::testing::TestWithParam<MediumRow> {};

TEST_P(MediumWalkTest, FindsTheNeighbour)
{
    // Catalogued without regard to order or case; files are no neighbours
    // while the disc is not there.
    TCatalogueWalkSpace catalogue({{"Comics/", true},
                                   {"comics/b/", true},
                                   {"comics/A/", true},
                                   {"comics/c.zip", false},
                                   {"photos/", true}});
    const TNeighbourWalk walk(IsZip);
    EXPECT_EQ(walk.OnMedium(catalogue, GetParam().Medium, 2, GetParam().Current, GetParam().Direction),
              GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, MediumWalkTest,
                         ::testing::Values(MediumRow{"comics/A", 0, Fwd, M(nkMediumFolder, "comics/b/", 0)},
                                           MediumRow{"comics/b", 0, Fwd, M(nkMediumFolder, "photos/", 0)},
                                           MediumRow{"comics/b", 0, Back, M(nkMediumFolder, "comics/A/", 0)},
                                           MediumRow{"comics/A", 0, Back, M(nkGoUp)},
                                           MediumRow{"photos", 0, Fwd, M(nkMedium, {}, 1)},
                                           MediumRow{"photos", 1, Fwd, M(nkNothing)},
                                           MediumRow{"", 1, Back, M(nkMedium, {}, 0)},
                                           MediumRow{"", 0, Back, M(nkMediaList)}));

TNeighbourMove R(TNeighbourKind kind, std::string path, int result, int index = -1)
{
    TNeighbourMove move = M(kind, std::move(path), index);
    move.Result = result;
    return move;
}

struct SearchRow {
    int Record;           // the result the place was opened from
    const char* Current;  // below the tree, or in the catalogue; a folder ends in '/'
    TWalkDirection Direction;
    TNeighbourMove Expected;  // folders and archives on disk below the tree
};

class SearchWalkTest : public ::testing::TestWithParam<SearchRow> {};

TEST_P(SearchWalkTest, FindsTheNeighbour)
{
    const SearchRow& row = GetParam();
    NeighbourTree tree;
    const auto at = [&](const char* p) { return tree.Tree.File(p); };
    // In the order the search found them: a folder that is gone since, a
    // catalogue's folder and file among the disk's.
    const std::vector<TSearchWalkRecord> records{{at("top/series"), at("top/series/"), true},
                                                 {at("top/gone"), at("top/gone/"), true},
                                                 {"media:M//comics", "comics/", true, 1},
                                                 {at("top/book.zip"), at("top/book.zip"), false},
                                                 {"media:M//comics/c.zip", "comics/c.zip", false, 1},
                                                 {at("top/s1"), at("top/s1/"), true}};
    TDiskWalkSpace disk;
    TCatalogueWalkSpace catalogue({{"comics/", true}, {"comics/b/", true}, {"comics/A/", true}, {"comics/c.zip", false}});
    const bool onMedium = records[static_cast<size_t>(row.Record)].Medium >= 0;
    const std::string current = onMedium ? std::string(row.Current) : at(row.Current);
    const TNeighbourWalk walk(IsZip);
    const TNeighbourMove move = walk.OnSearch(
        records, row.Record, current, HasTrailingDelimiter(current), onMedium ? static_cast<TWalkSpace&>(catalogue) : disk,
        [](const TSearchWalkRecord& r) { return r.Medium >= 0 || PathExists(r.Path); }, row.Direction);
    TNeighbourMove expected = row.Expected;
    if (expected.Kind == nkFolder || expected.Kind == nkArchive)
        expected.Path = at(expected.Path.c_str());
    EXPECT_EQ(move, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SearchWalkTest,
    ::testing::Values(
        // Among the results: folders first, the vanished one passed over,
        // then the archives; a catalogue's file is never one.
        SearchRow{0, "top/series/", Fwd, R(nkMediumFolder, "comics/", 2, 1)},
        SearchRow{2, "comics/", Fwd, R(nkFolder, "top/s1/", 5)},
        SearchRow{5, "top/s1/", Fwd, R(nkArchive, "top/book.zip", 3)},
        SearchRow{3, "top/book.zip", Back, R(nkFolder, "top/s1/", 5)},
        SearchRow{3, "top/book.zip", Fwd, M(nkNothing)},
        SearchRow{0, "top/series/", Back, M(nkSearchResults)},
        // Below a result its own folders and archives come first, then the
        // next result; backward from the first goes back to the results.
        SearchRow{0, "top/series/01/", Fwd, R(nkFolder, "top/series/02/", 0)},
        SearchRow{0, "top/series/02/", Fwd, R(nkArchive, "top/series/a.zip", 0)},
        SearchRow{0, "top/series/b.zip", Fwd, R(nkMediumFolder, "comics/", 2, 1)},
        SearchRow{0, "top/series/01/", Back, M(nkSearchResults)},
        SearchRow{2, "comics/A/", Fwd, R(nkMediumFolder, "comics/b/", 2, 1)},
        SearchRow{2, "COMICS/B/", Fwd, R(nkFolder, "top/s1/", 5)},
        SearchRow{2, "comics/b/", Back, R(nkMediumFolder, "comics/A/", 2, 1)}));

// The neighbour commands are enabled from the folder tree's selected node.
TEST(SiblingFactsTest, ComeFromTheNodeAndItsAncestors)
{
    TTempFolder root;
    for (const char* folder : {"a/x/", "a/y/", "b/"})
        ForceDirectories(root.File(folder));
    TShellTreeModel tree(TShellTreeSources{});
    tree.SetRoot(root.Path());
    tree.SetStyle(TShellStyle::ssFolder);
    const TTreeNode* top = tree.Child(nullptr, 0);
    ASSERT_TRUE(top);
    tree.Fill(top);
    ASSERT_EQ(top->Count(), 2);
    const TTreeNode* a = top->Child(0);
    tree.Fill(a);
    ASSERT_EQ(a->Count(), 2);
    struct Row {
        const TTreeNode* Node;
        bool Next, Prior, TopLevel;
    };
    for (const Row& row : {Row{top, false, false, true}, Row{a->Child(0), true, false, false},
                           Row{a->Child(1), true, true, false}, Row{top->Child(1), false, true, false}}) {
        TNodeFacts facts;
        FillSiblingFacts(row.Node, facts);
        EXPECT_TRUE(facts.Exists);
        EXPECT_EQ(facts.NextSibling, row.Next) << row.Node->Text();
        EXPECT_EQ(facts.PriorSibling, row.Prior) << row.Node->Text();
        EXPECT_EQ(facts.TopLevel, row.TopLevel) << row.Node->Text();
    }
    TNodeFacts none;
    none.NextSibling = true;
    FillSiblingFacts(nullptr, none);
    EXPECT_FALSE(none.Exists || none.NextSibling);
}

}  // namespace
