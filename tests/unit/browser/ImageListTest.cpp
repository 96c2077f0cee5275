#include <gtest/gtest.h>

#include "browser/ImageList.h"
#include "common/Text.h"

namespace {

// Bitmaps are left to no loader here: the program reads them itself.
const TItemClassifier Extensions{[](std::string_view ext) { return SameText(ext, ".jpg"); },
                                 [](std::string_view ext) { return SameText(ext, ".zip"); }};

std::vector<std::string> Describe(const std::vector<TImageEntry>& list)
{
    std::vector<std::string> rows;
    for (const TImageEntry& entry : list)
        rows.push_back(std::to_string(entry.Item) + " " + entry.LoadPath + " " + entry.DisplayPath);
    return rows;
}

TEST(ImageList, ArchiveMembersUnderTheirPaths)
{
    const std::vector<TImageListItem> members = {
        {"dir/", "", true}, {"dir/a.jpg", "", false}, {"b.BMP", "", false}, {"c.txt", "", false},
        {"d.zip", "", false}, {"x.jpg/", "", true},
    };
    EXPECT_EQ(Describe(BuildImageList(TListKind::lkFolder, true, members, Extensions)),
              (std::vector<std::string>{"1 dir/a.jpg dir/a.jpg", "2 b.BMP b.BMP"}));
}

TEST(ImageList, LinksAreTestedAndLoadedByTheirTargets)
{
    const std::vector<TImageListItem> items = {
        {"/b/cover", "/t/p.jpg", false},
        {"/b/a.jpg", "", false},
        {"/b/notes.jpg", "/t/notes.txt", false},
        {"/b/sub.jpg/", "", true},
    };
    const std::vector<std::string> expected = {"0 /t/p.jpg /b/cover", "1 /b/a.jpg /b/a.jpg"};
    EXPECT_EQ(Describe(BuildImageList(TListKind::lkFolder, false, items, Extensions)), expected);
    EXPECT_EQ(Describe(BuildImageList(TListKind::lkSearch, false, items, Extensions)), expected);
    for (TListKind kind : {TListKind::lkShelves, TListKind::lkShelf, TListKind::lkMediaList, TListKind::lkCategories})
        EXPECT_TRUE(BuildImageList(kind, false, items, Extensions).empty()) << static_cast<int>(kind);
}

std::vector<TImageEntry> List(std::initializer_list<const char*> paths)
{
    std::vector<TImageEntry> list;
    for (const char* path : paths)
        list.push_back(TImageEntry{path, path, static_cast<int>(list.size())});
    return list;
}

struct TRefindRow {
    const char* Name;
    std::vector<TImageEntry> List;
    TShownPictures Shown;
    TRelistReason Reason;
    TRefindOutcome Outcome;
    int Index;
};

class RefindTest : public testing::TestWithParam<TRefindRow> {};

TEST_P(RefindTest, Decides)
{
    const TRefindRow& row = GetParam();
    const TRefindResult result = FindShownAgain(row.List, row.Shown, row.Reason);
    EXPECT_EQ(result.Outcome, row.Outcome);
    if (row.Outcome == TRefindOutcome::roShow) {
        EXPECT_EQ(result.Index, row.Index);
    }
}

constexpr auto Sorted = TRelistReason::rrSorted;
constexpr auto Refreshed = TRelistReason::rrRefreshed;

const TRefindRow RefindRows[] = {
    {"SortKeptBoth", List({"a", "b", "c"}), {1, "b", 2, "c"}, Sorted, TRefindOutcome::roRefreshLabel, 0},
    {"SortKeptTheSinglePage", List({"a", "b"}), {1, "b", -1, ""}, Sorted, TRefindOutcome::roRefreshLabel, 0},
    {"RefreshShowsAgain", List({"a", "b", "c"}), {1, "b", 2, "c"}, Refreshed, TRefindOutcome::roShow, 1},
    {"SortMovedThePartner", List({"c", "b", "a"}), {1, "b", 2, "c"}, Sorted, TRefindOutcome::roShow, 1},
    {"PrimaryGonePartnerFound", List({"a", "c"}), {1, "b", 2, "c"}, Refreshed, TRefindOutcome::roShow, 1},
    {"BothGoneOldPositionLimited", List({"a", "d"}), {2, "c", 3, "e"}, Refreshed, TRefindOutcome::roShow, 1},
    {"BothGoneOldPositionKept", List({"a", "d", "f", "g"}), {2, "c", -1, ""}, Refreshed, TRefindOutcome::roShow, 2},
    {"NothingLeftCloses", List({}), {0, "a", -1, ""}, Refreshed, TRefindOutcome::roClose, -1},
    {"RandomOrderIsMadeAgain", List({"a", "b"}), {0, "a", -1, "", true}, Refreshed,
     TRefindOutcome::roNewRandomOrder, -1},
};

INSTANTIATE_TEST_SUITE_P(Rows, RefindTest, testing::ValuesIn(RefindRows),
                         [](const testing::TestParamInfo<TRefindRow>& info) { return info.param.Name; });

}  // namespace
