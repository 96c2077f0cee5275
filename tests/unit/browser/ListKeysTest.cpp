#include <gtest/gtest.h>

#include "browser/ListKeys.h"

namespace {

constexpr TShortCut Back = 0x08, Enter = 0x0D, Esc = 0x1B, Del = 0x2E, F2 = 0x71, F5 = 0x74;

constexpr auto File = TListPane::lpFileList;
constexpr auto Archive = TListPane::lpArchiveList;
constexpr auto Tree = TListPane::lpTree;

struct TKeyRow {
    TShortCut Key;
    TListPane Pane;
    TListKind Kind;
    bool Editing;
    bool Selection;
    bool Focused;
    TListKeyCommand Command;
};

class ListKeyTest : public testing::TestWithParam<TKeyRow> {};

TEST_P(ListKeyTest, Command)
{
    const TKeyRow& row = GetParam();
    const TListKeyState state{row.Pane, row.Kind, row.Editing, row.Selection, row.Focused};
    EXPECT_EQ(ListKeyCommand(row.Key, state), row.Command);
}

using C = TListKeyCommand;
constexpr auto Folder = TListKind::lkFolder;
constexpr auto Search = TListKind::lkSearch;

const TKeyRow KeyRows[] = {
    {Back, File, Folder, false, false, false, C::kcGoUp},
    {Back, Archive, Folder, false, false, false, C::kcGoUp},
    {Back, Tree, Folder, false, false, false, C::kcSelectParent},
    {Back, File, Folder, true, true, true, C::kcNone},  // the editor's Backspace
    {Enter, File, Folder, false, true, true, C::kcOpen},
    {Enter, Archive, Folder, false, false, false, C::kcNone},
    {Enter, Tree, Folder, false, true, false, C::kcNone},
    {Enter | scAlt, Archive, Folder, false, true, false, C::kcProperties},
    {Enter | scAlt, Tree, Folder, false, false, false, C::kcNone},
    {Enter | scAlt, Tree, Folder, false, true, false, C::kcProperties},
    {Esc, File, Search, false, false, false, C::kcLeaveSearch},
    {Esc, Tree, Search, false, false, false, C::kcLeaveSearch},
    {Esc, File, Folder, false, true, true, C::kcNone},
    {Del, File, Folder, false, true, true, C::kcDelete},
    {Del | scShift, File, Folder, false, true, true, C::kcDelete},
    {Del, File, Folder, false, false, true, C::kcNone},
    {Del, Archive, Folder, false, true, true, C::kcNone},
    {Del, Tree, Folder, false, false, false, C::kcDelete},
    {Del, Tree, Folder, true, true, false, C::kcNone},
    {F2, File, Folder, false, false, true, C::kcRename},
    {F2, File, Folder, false, true, false, C::kcNone},
    {F2, Archive, Folder, false, true, true, C::kcNone},
    {F2, Tree, Folder, false, true, false, C::kcRename},
    {F5, Archive, Folder, false, false, false, C::kcRefresh},
    {F5 | scCtrl, File, Folder, false, false, false, C::kcNone},  // left to the bindings
    {F5 | scAlt, Tree, Folder, false, false, false, C::kcNone},
};

INSTANTIATE_TEST_SUITE_P(Rows, ListKeyTest, testing::ValuesIn(KeyRows));

TEST(ListKeys, IncSearchFollowsShift)
{
    EXPECT_TRUE(IncSearchAllowed(TIncSearchMode::imAlways, false));
    EXPECT_TRUE(IncSearchAllowed(TIncSearchMode::imAlways, true));
    EXPECT_FALSE(IncSearchAllowed(TIncSearchMode::imWithShift, false));
    EXPECT_TRUE(IncSearchAllowed(TIncSearchMode::imWithShift, true));
    EXPECT_TRUE(IncSearchAllowed(TIncSearchMode::imWithoutShift, false));
    EXPECT_FALSE(IncSearchAllowed(TIncSearchMode::imWithoutShift, true));
}

}  // namespace
