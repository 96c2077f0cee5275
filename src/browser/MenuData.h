#pragma once

// The browser window's menus as data: the seven menus of the menu bar, the
// file context menu of the lists, trees and thumbnail view, and the tray
// icon's menu, each a tree of items bound to actions of the action table.
// The window walks them to build its menus, so the menus and the table
// cannot drift apart. Beside them: which items the file context menu shows
// for where it was opened, and the sort sub-menu made from a list's columns.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "browser/ActionRules.h"

enum class TMenuItemKind : uint8_t {
    mkAction,     // the item of an action
    mkSeparator,
    mkSubMenu,    // a sub-menu; its action, when it has one, lends it caption and enabled state
    mkCommand,    // an item of the context menu alone, with no action behind it
    mkList,       // items the window makes at run time from a list it keeps
};

// The context menu's items that are not actions.
enum class TPopupCommand : uint8_t {
    pcOpen,      // "開く(&O)": the list's own open operation
    pcExpand,    // "展開(&X)": expand the tree's node
    pcCollapse,  // "折りたたみ(&S)": collapse it
};

// Lists of items made at run time.
enum class TMenuList : uint8_t {
    mlShelves,      // one item per shelf, adding the selection to it
    mlRecentFiles,  // the recent files
    mlSortColumns,  // the sort sub-menu (BuildSortMenu)
};

struct TMenuItem {
    TMenuItemKind Kind = TMenuItemKind::mkSeparator;
    // mkAction: the action; mkSubMenu: the action behind the sub-menu, if any.
    std::optional<TActionId> Action;
    // mkSubMenu without an action, and mkCommand.
    const char* Caption = nullptr;
    std::span<const TMenuItem> Items;  // mkSubMenu
    // A sub-menu shows the key of the action that cycles through its items.
    std::optional<TActionId> KeyAction;
    TPopupCommand Command = TPopupCommand::pcOpen;  // mkCommand
    TMenuList List = TMenuList::mlShelves;          // mkList
};

// The menu bar: seven sub-menus.
std::span<const TMenuItem> MainMenu();
// The separate image window's menu bar: six sub-menus of the browser's
// commands that concern the picture.
std::span<const TMenuItem> ImageWindowMenu();
// The context menu of the file list, the archive list, the thumbnail view
// and the trees.
std::span<const TMenuItem> FilePopupMenu();
// The tray icon's menu.
std::span<const TMenuItem> TrayMenu();
// The image view's context menu: the moves, the view modes, the commands
// on the page it was opened over, the window's bars and the loupe and grid.
std::span<const TMenuItem> ImagePopupMenu();
// Actions that have no item in the menu bar and run from their keys (or,
// for the separate image window's menu bar, from that menu).
std::span<const TActionId> KeyOnlyActions();

// The caption a sub-menu or command item shows: its own, else its action's.
const char* ItemCaption(const TMenuItem& item);

// Where the file context menu was opened.
struct TPopupContext {
    bool FromTree = false;
    bool HasSelection = false;     // the list has a selection (from a list)
    TListKind ListKind = TListKind::lkNothing;
    bool ArchiveShown = false;
    bool NodeHasChildren = false;  // the tree's node (from a tree)
    bool NodeExpanded = false;
};

struct TPopupItemState {
    bool Visible = true;
    bool Enabled = true;

    bool operator==(const TPopupItemState&) const = default;
};

// The state of one item of the file context menu as it opens: the item's
// action's state (ActionState), then what the menu changes for where it was
// opened. Separators are always visible (the menu folds repeated ones).
TPopupItemState FilePopupItemState(const TMenuItem& item, const TPopupContext& popup,
                                   const TActionContext& actions);

// Where the image view's context menu was opened: by a right click over
// the primary or the partner page or off the pages (tpAsk), or from the
// keyboard (no page).
struct TImagePopupContext {
    bool FromKeyboard = false;
    TTargetPage Page = TTargetPage::tpAsk;
};

// The state of one item of the image view's context menu as it opens: the
// action's state, then the menu's own rules. The items on one page show
// over a page (from the keyboard while a picture is shown), the window's
// items from the keyboard or off the pages; the menu bar item is the
// separate window's while the view is separate. Separators are always
// visible.
// The name of an item of that menu: "pmi" and the action's name without
// "act" ("pmiProperty" and "pmiMainMenu" for the properties and the menu
// bar), "pmiLoupeSet" and "pmiGridSet" for the settings sub-menus.
std::string ImagePopupItemName(const TMenuItem& item);
TPopupItemState ImagePopupItemState(const TMenuItem& item, const TImagePopupContext& popup,
                                    const TActionContext& actions);

// One item of the sort sub-menu.
struct TSortMenuItem {
    std::string Caption;  // empty for the separator
    int Column = -1;      // the column a column item sorts by; -1 for the others
    bool Separator = false;
    bool Descending = false;  // a direction item: "降順(&W)" (else "昇順(&U)")
    bool Checked = false;
};

// The sort sub-menu for a list's column captions: one radio item per
// column (the known captions with their accelerators), a separator, then
// "昇順(&U)" and "降順(&W)". sortColumn (negative: none) and the direction
// items ascending and descending are checked.
std::vector<TSortMenuItem> BuildSortMenu(const std::vector<std::string>& columns, int sortColumn, bool ascending,
                                         bool descending);
// True when the sub-menu was built from other columns and is built anew.
bool SortMenuStale(const std::vector<TSortMenuItem>& menu, const std::vector<std::string>& columns);
