#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>

#include "browser/MenuData.h"

namespace {

using enum TActionId;

void Collect(std::span<const TMenuItem> items, std::multiset<TActionId>& actions, int& emptyCaptions)
{
    for (const TMenuItem& item : items) {
        if (item.Action)
            actions.insert(*item.Action);
        if ((item.Kind == TMenuItemKind::mkSubMenu || item.Kind == TMenuItemKind::mkCommand) &&
            std::string(ItemCaption(item)).empty())
            ++emptyCaptions;
        if (item.Kind == TMenuItemKind::mkSubMenu)
            Collect(item.Items, actions, emptyCaptions);
    }
}

TEST(MenuData, EveryActionHasAnItemOrAKey)
{
    std::multiset<TActionId> menuBar;
    std::multiset<TActionId> others;
    int emptyCaptions = 0;
    Collect(MainMenu(), menuBar, emptyCaptions);
    Collect(FilePopupMenu(), others, emptyCaptions);
    Collect(TrayMenu(), others, emptyCaptions);
    EXPECT_EQ(emptyCaptions, 0);
    ASSERT_EQ(MainMenu().size(), 7u);
    for (const TActionInfo& info : ActionTable()) {
        const size_t items = menuBar.count(info.Id);
        const bool keyOnly = std::ranges::find(KeyOnlyActions(), info.Id) != KeyOnlyActions().end();
        // The tray's own rows live in the tray menu alone.
        const bool tray = info.Id == actTrayRestore || info.Id == actTrayExit;
        EXPECT_EQ(items + (keyOnly ? 1 : 0) + (tray && others.count(info.Id) == 1 ? 1 : 0), 1u) << info.Name;
        // An action that runs only from a key must have a key number, or be
        // bound in a fixed way.
        if (keyOnly && info.Id != actActiveChange) {
            EXPECT_GT(info.Command, 0) << info.Name;
        }
    }
}

// The file context menu's visible items in one situation.
std::set<std::string> VisibleItems(const TPopupContext& popup, const TActionContext& actions)
{
    std::set<std::string> shown;
    for (const TMenuItem& item : FilePopupMenu())
        if (item.Kind != TMenuItemKind::mkSeparator && FilePopupItemState(item, popup, actions).Visible)
            shown.insert(item.Action ? ActionInfo(*item.Action).Name : ItemCaption(item));
    return shown;
}

TEST(FilePopup, ShowsWhatFitsWhereItOpened)
{
    TActionContext actions;
    actions.Target = TCommandTarget::ctFileList;
    actions.ListKind = TListKind::lkFolder;
    actions.Selection = {.Count = 1, .Deletable = true};
    // The selection of a plain folder: the open items, no view or sort.
    TPopupContext popup{.FromTree = false, .HasSelection = true, .ListKind = TListKind::lkFolder};
    const std::set<std::string> selection = VisibleItems(popup, actions);
    for (const char* name : {"開く(&O)", "actF_Open", "actS_Open", "actPaste", "actDelete"})
        EXPECT_TRUE(selection.contains(name)) << name;
    for (const char* name : {"actFileList", "actSort", "actRefresh", "actUndo", "展開(&X)", "折りたたみ(&S)"})
        EXPECT_FALSE(selection.contains(name)) << name;
    // Empty space of the shelf list: the view and sort, no refresh, no
    // paste, no undo.
    actions.Selection = {};
    actions.ListKind = popup.ListKind = TListKind::lkShelves;
    popup.HasSelection = false;
    const std::set<std::string> shelves = VisibleItems(popup, actions);
    EXPECT_TRUE(shelves.contains("actFileThumb") && shelves.contains("actSort"));
    EXPECT_FALSE(shelves.contains("actRefresh") || shelves.contains("actPaste") || shelves.contains("actUndo") ||
                 shelves.contains("開く(&O)") || shelves.contains("actF_Open"));
    // Empty space of a plain folder: refresh, paste and undo too.
    popup.ListKind = TListKind::lkFolder;
    const std::set<std::string> folder = VisibleItems(popup, actions);
    EXPECT_TRUE(folder.contains("actRefresh") && folder.contains("actPaste") && folder.contains("actUndo"));
    // From a tree: expand and collapse instead of the list's items.
    popup = {.FromTree = true, .NodeHasChildren = true};
    const std::set<std::string> tree = VisibleItems(popup, actions);
    EXPECT_TRUE(tree.contains("展開(&X)") && tree.contains("折りたたみ(&S)"));
    EXPECT_FALSE(tree.contains("actSort") || tree.contains("actRefresh") || tree.contains("actUndo") ||
                 tree.contains("actPaste") || tree.contains("開く(&O)") || tree.contains("actS_Open"));
    for (const TMenuItem& item : FilePopupMenu())
        if (item.Kind == TMenuItemKind::mkCommand && item.Command != TPopupCommand::pcOpen) {
            EXPECT_EQ(FilePopupItemState(item, popup, actions).Enabled, item.Command == TPopupCommand::pcExpand);
        }
}

TEST(FilePopup, CutCopyAndPathItemsShowOnlyWhileTheyRun)
{
    // A selection that can be neither moved nor copied: the six items go
    // rather than stand greyed.
    TActionContext actions;
    actions.Target = TCommandTarget::ctFileList;
    actions.Selection = {.Count = 1};
    const std::set<std::string> shown = VisibleItems({.HasSelection = true}, actions);
    for (const char* name : {"actCut", "actMoveToFolder", "actCopy", "actCopyToFolder", "actPathCopy",
                             "actParentPathCopy"})
        EXPECT_FALSE(shown.contains(name)) << name;
    EXPECT_TRUE(shown.contains("actRename"));
}

TEST(SortMenu, ColumnsWithTheirKeysThenTheDirections)
{
    const std::vector<std::string> columns{"名前", "サイズ", "撮影日時", "更新日時"};
    const std::vector<TSortMenuItem> menu = BuildSortMenu(columns, 3, false, true);
    ASSERT_EQ(menu.size(), 7u);
    std::vector<std::string> captions;
    for (const TSortMenuItem& item : menu)
        captions.push_back(item.Caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"名前(&N)", "サイズ(&S)", "撮影日時", "更新日時(&M)", "",
                                                  "昇順(&U)", "降順(&W)"}));
    EXPECT_TRUE(menu[4].Separator);
    EXPECT_EQ(menu[2].Column, 2);
    EXPECT_TRUE(menu[3].Checked && menu[6].Checked && menu[6].Descending);
    EXPECT_FALSE(menu[0].Checked || menu[5].Checked);
    // Unsorted: no column and no direction checked.
    for (const TSortMenuItem& item : BuildSortMenu(columns, -1, false, false))
        EXPECT_FALSE(item.Checked) << item.Caption;

    EXPECT_FALSE(SortMenuStale(menu, columns));
    EXPECT_TRUE(SortMenuStale(menu, {"名前", "サイズ", "撮影日時"}));
    EXPECT_TRUE(SortMenuStale(menu, {"名前", "種類", "撮影日時", "更新日時"}));
    EXPECT_TRUE(SortMenuStale({}, columns));
}

// The image view's context menu: what shows where it opened.
struct TImagePopupCase {
    const char* Name;
    TImagePopupContext Popup;
    bool ImageShown = true;
    bool ArchiveShown = false;  // the picture lies in an archive: no file commands
    bool Separate = false;
    bool Grid = false;
    bool Loupe = false;
    std::vector<std::string> Shown;
    std::vector<std::string> Hidden;
};

void PrintTo(const TImagePopupCase& c, std::ostream* out)
{
    *out << c.Name;
}

class ImagePopupTest : public ::testing::TestWithParam<TImagePopupCase> {};

TEST_P(ImagePopupTest, ShowsTheItemsForWhereItOpened)
{
    const TImagePopupCase& c = GetParam();
    TActionContext actions;
    actions.Target = TCommandTarget::ctImage;
    actions.ListKind = TListKind::lkFolder;
    actions.ImageShown = c.ImageShown;
    actions.ArchiveShown = c.ArchiveShown;
    actions.SeparateWindow = c.Separate;
    actions.GridShown = c.Grid;
    actions.LoupeShown = c.Loupe;
    std::set<std::string> shown;
    for (const TMenuItem& item : ImagePopupMenu())
        if (item.Kind != TMenuItemKind::mkSeparator && ImagePopupItemState(item, c.Popup, actions).Visible)
            shown.insert(ImagePopupItemName(item));
    for (const std::string& name : c.Shown)
        EXPECT_TRUE(shown.contains(name)) << name;
    for (const std::string& name : c.Hidden)
        EXPECT_FALSE(shown.contains(name)) << name;
    // The moves and the view modes are there wherever it opens.
    EXPECT_TRUE(shown.contains("pmiMove") && shown.contains("pmiSpread"));
}

INSTANTIATE_TEST_SUITE_P(
    Places, ImagePopupTest,
    ::testing::Values(
        TImagePopupCase{"OverAPage", {false, TTargetPage::tpPartner}, true, false, false, false, false,
                        {"pmiExecute", "pmiApplication", "pmiClose", "pmiSetMark", "pmiCopy", "pmiClipBoard",
                         "pmiCopyToFolder", "pmiMoveToFolder", "pmiPathCopy", "pmiParentPathCopy", "pmiDelete",
                         "pmiSelImage", "pmiNotSelImage"},
                        {"pmiFullScreen", "pmiViewForm", "pmiStayOnTop", "pmiTaskTray", "pmiMainMenu",
                         "pmiImageMenu", "pmiImageToolBar", "pmiSeekBar", "pmiGridSet", "pmiLoupeSet",
                         "pmiParentDelete", "pmiProperty"}},
        // A page of an archive: the commands that cannot act on it go.
        TImagePopupCase{"OverAnArchivePage", {false, TTargetPage::tpPrimary}, true, true, false, false, false,
                        {"pmiExecute", "pmiCopy", "pmiClose"},
                        {"pmiMoveToFolder", "pmiPathCopy", "pmiParentPathCopy", "pmiDelete", "pmiFullScreen"}},
        TImagePopupCase{"OffThePages", {false, TTargetPage::tpAsk}, true, false, false, true, true,
                        {"pmiFullScreen", "pmiViewForm", "pmiStayOnTop", "pmiTaskTray", "pmiMainMenu",
                         "pmiImageToolBar", "pmiSeekBar", "pmiGridSet", "pmiLoupeSet"},
                        {"pmiExecute", "pmiClose", "pmiCopy", "pmiPathCopy", "pmiDelete", "pmiSelImage",
                         "pmiImageMenu"}},
        TImagePopupCase{"KeyboardSeparate", {true, TTargetPage::tpAsk}, true, false, true, false, true,
                        {"pmiExecute", "pmiDelete", "pmiPathCopy", "pmiFullScreen", "pmiImageMenu", "pmiLoupeSet"},
                        {"pmiMainMenu", "pmiGridSet"}},
        // From the keyboard with nothing shown: no page to act on, and no
        // loupe settings without a picture.
        TImagePopupCase{"KeyboardNoPicture", {true, TTargetPage::tpAsk}, false, false, false, true, true,
                        {"pmiFullScreen", "pmiMainMenu", "pmiSeekBar", "pmiGridSet"},
                        {"pmiExecute", "pmiClose", "pmiCopy", "pmiSelImage", "pmiLoupeSet", "pmiImageMenu"}}),
    [](const ::testing::TestParamInfo<TImagePopupCase>& info) { return std::string(info.param.Name); });

}  // namespace
