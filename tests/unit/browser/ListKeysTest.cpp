#include <gtest/gtest.h>

#include "browser/ListKeys.h"

namespace {

constexpr TShortCut Back = 0x08, Enter = 0x0D, Esc = 0x1B, Del = 0x2E, F2 = 0x71, F5 = 0x74;
constexpr auto File = TListPane::lpFileList, Archive = TListPane::lpArchiveList, Tree = TListPane::lpTree;
constexpr auto Folder = TListKind::lkFolder, Search = TListKind::lkSearch;
using C = TListKeyCommand;

struct TKeyRow {
    TShortCut Key;
    TListKeyState State;  // pane, list kind, editing, selection, focused item
    TListKeyCommand Command;
};

class ListKeyTest : public testing::TestWithParam<TKeyRow> {};

TEST_P(ListKeyTest, Command)
{
    EXPECT_EQ(ListKeyCommand(GetParam().Key, GetParam().State), GetParam().Command);
}

const TKeyRow KeyRows[] = {
    {Back, {Archive, Folder, false, false, false}, C::kcGoUp},
    {Back, {Tree, Folder, false, false, false}, C::kcSelectParent},
    {Back, {File, Folder, true, true, true}, C::kcNone},  // the editor's Backspace
    {Enter, {File, Folder, false, true, true}, C::kcOpen},
    {Enter, {Archive, Folder, false, false, false}, C::kcNone},
    {Enter | scAlt, {Archive, Folder, false, false, false}, C::kcProperties},
    {Enter | scAlt, {Tree, Folder, false, false, false}, C::kcNone},
    {Esc, {Tree, Search, false, false, false}, C::kcLeaveSearch},
    {Del | scShift, {File, Folder, false, true, true}, C::kcDelete},
    {Del, {Archive, Folder, false, true, true}, C::kcNone},
    {Del, {Tree, Folder, false, false, false}, C::kcDelete},
    {F2, {File, Folder, false, false, true}, C::kcRename},
    {F2, {Archive, Folder, false, true, true}, C::kcNone},
    {F2, {Tree, Folder, false, true, false}, C::kcRename},
    {F5 | scCtrl, {File, Folder, false, false, false}, C::kcNone},  // left to the bindings
};

INSTANTIATE_TEST_SUITE_P(Rows, ListKeyTest, testing::ValuesIn(KeyRows));

TEST(ListKeys, IncSearchFollowsShift)
{
    for (bool shift : {false, true}) {
        EXPECT_TRUE(IncSearchAllowed(TIncSearchMode::imAlways, shift));
        EXPECT_EQ(IncSearchAllowed(TIncSearchMode::imWithShift, shift), shift);
        EXPECT_EQ(IncSearchAllowed(TIncSearchMode::imWithoutShift, shift), !shift);
    }
}

}  // namespace
