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
        {"/b/cover", "/t/p.jpg", false}, {"/b/a.jpg", "", false}, {"/b/notes.jpg", "/t/notes.txt", false}};
    EXPECT_EQ(Describe(BuildImageList(TListKind::lkSearch, false, items, Extensions)),
              (std::vector<std::string>{"0 /t/p.jpg /b/cover", "1 /b/a.jpg /b/a.jpg"}));
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
    int Index;  // for roShow
};

class RefindTest : public testing::TestWithParam<TRefindRow> {};

TEST_P(RefindTest, Decides)
{
    const TRefindResult result = FindShownAgain(GetParam().List, GetParam().Shown, GetParam().Reason);
    EXPECT_EQ(result.Outcome, GetParam().Outcome);
    EXPECT_EQ(result.Outcome == TRefindOutcome::roShow ? result.Index : -1, GetParam().Index);
}

constexpr auto Sorted = TRelistReason::rrSorted;
constexpr auto Refreshed = TRelistReason::rrRefreshed;
constexpr auto Show = TRefindOutcome::roShow;

const TRefindRow RefindRows[] = {
    {"SortKeptBoth", List({"a", "b", "c"}), {1, "b", 2, "c"}, Sorted, TRefindOutcome::roRefreshLabel, -1},
    {"RefreshShowsAgain", List({"a", "b", "c"}), {1, "b", 2, "c"}, Refreshed, Show, 1},
    {"SortMovedThePartner", List({"c", "b", "a"}), {1, "b", 2, "c"}, Sorted, Show, 1},
    {"PrimaryGonePartnerFound", List({"a", "c"}), {1, "b", 2, "c"}, Refreshed, Show, 1},
    {"BothGoneOldPositionLimited", List({"a", "d"}), {2, "c", 3, "e"}, Refreshed, Show, 1},
    {"NothingLeftCloses", List({}), {0, "a", -1, ""}, Refreshed, TRefindOutcome::roClose, -1},
    {"RandomOrderIsMadeAgain", List({"a", "b"}), {0, "a", -1, "", true}, Refreshed,
     TRefindOutcome::roNewRandomOrder, -1},
};

INSTANTIATE_TEST_SUITE_P(Rows, RefindTest, testing::ValuesIn(RefindRows),
                         [](const testing::TestParamInfo<TRefindRow>& info) { return info.param.Name; });

}  // namespace
