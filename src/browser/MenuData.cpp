#include "browser/MenuData.h"
#include "base/Texts.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace {

using enum TActionId;

constexpr TMenuItem A(TActionId action)
{
    TMenuItem item;
    item.Kind = TMenuItemKind::mkAction;
    item.Action = action;
    return item;
}

constexpr TMenuItem Sep()
{
    return TMenuItem{};
}

constexpr TMenuItem Sub(const char* caption, std::span<const TMenuItem> items,
                        std::optional<TActionId> keyAction = std::nullopt)
{
    TMenuItem item;
    item.Kind = TMenuItemKind::mkSubMenu;
    item.Caption = caption;
    item.Items = items;
    item.KeyAction = keyAction;
    return item;
}

constexpr TMenuItem Sub(TActionId action, std::span<const TMenuItem> items,
                        std::optional<TActionId> keyAction = std::nullopt)
{
    TMenuItem item = Sub(nullptr, items, keyAction);
    item.Action = action;
    return item;
}

// The items of several lists one after the other, as one list.
template <size_t... Sizes>
constexpr std::array<TMenuItem, (Sizes + ...)> Join(const TMenuItem (&... parts)[Sizes])
{
    std::array<TMenuItem, (Sizes + ...)> joined{};
    size_t next = 0;
    ((std::copy(std::begin(parts), std::end(parts), joined.begin() + static_cast<std::ptrdiff_t>(next)),
      next += Sizes),
     ...);
    return joined;
}

constexpr TMenuItem Separator[] = {Sep()};

constexpr TMenuItem Cmd(TPopupCommand command, const char* caption)
{
    TMenuItem item;
    item.Kind = TMenuItemKind::mkCommand;
    item.Command = command;
    item.Caption = caption;
    return item;
}

constexpr TMenuItem List(TMenuList list)
{
    TMenuItem item;
    item.Kind = TMenuItemKind::mkList;
    item.List = list;
    return item;
}

// --- File menu ---

constexpr TMenuItem ApplicationItems[] = {
    A(actRegApp1), A(actRegApp2), A(actRegApp3), A(actRegApp4), A(actRegApp5),  //
    A(actRegApp6), A(actRegApp7), A(actRegApp8), A(actRegApp9), A(actRegApp10),
    A(actRegister), Sep(),
    A(actUseApp1), A(actUseApp2), A(actUseApp3), A(actUseApp4), A(actUseApp5),
};

constexpr TMenuItem OpenExItems[] = {
    A(actF_Open), A(actS_Open), Sep(),
    A(actExplorer), A(actExecute), Sub(actApplication, ApplicationItems), A(actSelApplication), A(actDropFile),
};

constexpr TMenuItem RecentItems[] = {List(TMenuList::mlRecentFiles)};

constexpr TMenuItem ShelfItems[] = {List(TMenuList::mlShelves), Sep(), A(actNewShelf)};

constexpr TMenuItem FileItems[] = {
    A(actOpen), A(actOpenFolder), Sub(actOpenEx, OpenExItems), Sep(),
    Sub(actRecentFile, RecentItems), A(actRecentList), Sep(),
    A(actClose), Sep(),
    A(actMarker), A(actNextMarker), A(actSetMark), Sep(),
    Sub(actAddShelf, ShelfItems), A(actExportShelf), A(actImportShelf), A(actDelNoExists), Sep(),
    A(actAddMedia), A(actUpdateMedia), Sep(),
    A(actDelete), A(actParentDelete), A(actRename), A(actProperties), A(actNewFolder), Sep(),
    A(actExport), Sep(),
    A(actExit),
};

// --- Edit menu ---

constexpr TMenuItem EditItems[] = {
    A(actUndo), Sep(),
    A(actCut), A(actCopy), A(actPaste), Sep(),
    A(actCopyToFolder), A(actMoveToFolder), Sep(),
    A(actClipBoard), A(actPathCopy), A(actParentPathCopy), Sep(),
    A(actAllSelect), A(actFileSelect), A(actImageSelect), A(actSelectChange), A(actNoSelect), Sep(),
    A(actSelImage), A(actNotSelImage),
};

// --- Move menu ---

constexpr TMenuItem SlideItems[] = {
    A(actSlideNext),  A(actSlideS_Next), A(actSlideJ_Next), A(actSlideR_Next),
    A(actSlidePageV), A(actSlidePageH),  A(actSlideLineV),  A(actSlideLineH),
};

constexpr TMenuItem MoveItems[] = {
    A(actSlideShow), Sub("スライドショー動作(&C)", SlideItems), Sep(),
    A(actFirst), A(actNext), A(actPrior), A(actS_Next), A(actS_Prior), A(actLast), Sep(),
    A(actJ_Next), A(actJ_Prior), Sep(),
    A(actR_Next), A(actR_Prior),
};

// --- Image menu ---

constexpr TMenuItem BindItems[] = {A(actBindRight), A(actBindLeft)};

constexpr TMenuItem WindowItems[] = {
    A(actWinAll), A(actWinWidth), A(actWinHeight), Sep(),
    A(actNoEnlarge), A(actEqualHeight), A(actEqualRatio), A(actCenter), A(actHalfV), A(actHalfH),
};

constexpr TMenuItem RatioItems[] = {
    A(act25), A(act50), A(act75), A(act100), A(act150), A(act200), A(act300), A(act400), A(act800), Sep(),
    A(actSetRatio), A(actImageSize),
};

constexpr TMenuItem FilterItems[] = {
    A(actFilterNone), A(actFilter1), A(actFilter2), A(actFilter3), A(actFilter4), A(actFilter5),
    A(actFilter6), A(actFilter7), A(actFilter8), A(actFilter9), A(actFilter10), Sep(),
    A(actFilterSet),
};

constexpr TMenuItem RotateItems[] = {
    A(actRotateNone), A(actR90), A(actL90), A(act180), A(actReverseV), A(actReverseH), Sep(),
    A(actAutoRotate),
};

constexpr TMenuItem LoupeItems[] = {
    A(actLoupeSizeEnlarge), A(actLoupeSizeShrink), A(actLoupeRatioEnlarge), A(actLoupeRatioShrink),
};

constexpr TMenuItem GridItems[] = {A(actGridEnlarge), A(actGridShrink)};

// How the pictures are shown: the image menu of both windows and the
// view's context menu.
constexpr TMenuItem PictureItems[] = {
    A(actAuto), A(actSingle), A(actSpread), Sep(),
    Sub("綴じ方向(&B)", BindItems, actBindChange),
    Sub(actWindow, WindowItems, actWindowChange),
    Sub(actRatio, RatioItems), Sep(),
    A(actEnlarge), A(actShrink), A(actDefSize), Sep(),
    Sub(actFilter, FilterItems),
    Sub(actRotate, RotateItems, actRotateChange),
};

constexpr TMenuItem LoupeGridItems[] = {
    A(actLoupe), Sub("ルーペの設定(&P)", LoupeItems), A(actGrid), Sub("グリッドの設定(&D)", GridItems),
};

constexpr auto ImageItems = Join(PictureItems, Separator, LoupeGridItems);

// --- View menu ---

constexpr TMenuItem ViewTypeItems[] = {A(actFileList), A(actFileThumb), A(actFileDetail)};

constexpr TMenuItem SortItems[] = {List(TMenuList::mlSortColumns)};

constexpr TMenuItem ViewItems[] = {
    A(actFolder), A(actShelf), A(actMedia), A(actCategory), A(actSearch), Sep(),
    A(actBack), A(actForward), Sep(),
    A(actNextFolder), A(actPriorFolder), A(actSiblingFolder), A(actUp), Sep(),
    A(actRefresh), Sep(),
    Sub("ファイル表示形式(&V)", ViewTypeItems, actFileViewStyle), Sub(actSort, SortItems), A(actFileMask), Sep(),
    A(actFileView), A(actViewForm), A(actFullScreen), A(actStayOnTop), A(actTaskTray), Sep(),
    A(actFile), A(actTree), A(actMainToolBar), A(actAddressBar), A(actStatusBar), A(actMenu), Sep(),
    A(actImageToolBar), A(actSeekBar),
};

// --- Option and help menus ---

constexpr TMenuItem OptionItems[] = {
    A(actEnv), A(actPlugin), Sep(),
    A(actSaveSetting), A(actLoadSetting), A(actChangeSetting), Sep(),
    A(actKeyCustom), A(actMouseCustom), Sep(),
    A(actThumbnail), A(actSaveThumbs), A(actLoadThumbs),
};

constexpr TMenuItem HelpItems[] = {A(actHelp), Sep(), A(actVersion)};

constexpr TMenuItem MenuBar[] = {
    Sub("ファイル(&F)", FileItems),   Sub("編集(&E)", EditItems),         Sub("移動(&M)", MoveItems),
    Sub("イメージ(&I)", ImageItems),  Sub("表示(&V)", ViewItems),         Sub("オプション(&O)", OptionItems),
    Sub("ヘルプ(&H)", HelpItems),
};

// --- The separate image window's menu bar ---

constexpr TMenuItem ImgWinFileItems[] = {
    A(actExecute), Sub(actApplication, ApplicationItems), A(actSelApplication), A(actDropFile), Sep(),
    A(actNextMarker), A(actSetMark), Sep(),
    A(actDelete), A(actRename), A(actProperties), Sep(),
    A(actParentDelete), Sep(),
    A(actClose),
};

constexpr TMenuItem ImgWinEditItems[] = {
    A(actCopy), A(actClipBoard), A(actCopyToFolder), A(actMoveToFolder), Sep(),
    A(actPathCopy), A(actParentPathCopy), Sep(),
    A(actSelImage), A(actNotSelImage),
};


constexpr TMenuItem ImgWinViewItems[] = {
    A(actViewForm), A(actFullScreen), A(actStayOnTop), A(actTaskTray), Sep(),
    A(actImageMenu), A(actImageToolBar), A(actSeekBar),
};

constexpr TMenuItem ImgWinOptionItems[] = {
    A(actLoupe), A(actGrid), Sep(),
    Sub("ルーペの設定(&P)", LoupeItems), Sub("グリッドの設定(&D)", GridItems),
};

constexpr TMenuItem ImageWindowBar[] = {
    Sub("ファイル(&F)", ImgWinFileItems), Sub("編集(&E)", ImgWinEditItems), Sub("移動(&M)", MoveItems),
    Sub("イメージ(&I)", PictureItems), Sub("表示(&V)", ImgWinViewItems), Sub("オプション(&O)", ImgWinOptionItems),
};

// --- The file context menu ---

constexpr TMenuItem PopupItems[] = {
    A(actFileList), A(actFileThumb), A(actFileDetail), Sep(),
    Sub(actSort, SortItems), A(actRefresh), Sep(),
    Cmd(TPopupCommand::pcOpen, "開く(&O)"), A(actF_Open), A(actS_Open), Sep(),
    A(actExplorer), A(actExecute), Sub(actApplication, ApplicationItems), A(actDropFile), Sep(),
    Sub(actAddShelf, ShelfItems), A(actExportShelf), A(actImportShelf), A(actDelNoExists), A(actAddMedia),
    A(actUpdateMedia), Sep(),
    A(actCut), A(actCopy), A(actPaste), A(actCopyToFolder), A(actMoveToFolder), A(actUndo), Sep(),
    A(actPathCopy), A(actParentPathCopy), Sep(),
    A(actDelete), A(actRename), A(actProperties), A(actNewFolder), A(actParentDelete), Sep(),
    Cmd(TPopupCommand::pcExpand, "展開(&X)"), Cmd(TPopupCommand::pcCollapse, "折りたたみ(&S)"),
};

// --- The image view's context menu ---

constexpr TMenuItem PopupMoveItems[] = {Sub("移動(&M)", MoveItems), Sep()};

constexpr TMenuItem PopupPageAndWindowItems[] = {
    Sep(),
    A(actExecute), Sub(actApplication, ApplicationItems), A(actSelApplication), A(actDropFile), Sep(),
    A(actClose), A(actSetMark), Sep(),
    A(actCopy), A(actClipBoard), A(actCopyToFolder), A(actMoveToFolder), Sep(),
    A(actPathCopy), A(actParentPathCopy), Sep(),
    A(actDelete), A(actParentDelete), A(actProperties), Sep(),
    A(actSelImage), A(actNotSelImage), Sep(),
    A(actFullScreen), A(actViewForm), A(actStayOnTop), A(actTaskTray), A(actMenu), A(actImageMenu),
    A(actImageToolBar), A(actSeekBar), Sep(),
};

constexpr auto ImagePopupItems = Join(PopupMoveItems, PictureItems, PopupPageAndWindowItems, LoupeGridItems);

constexpr TMenuItem TrayItems[] = {A(actTrayRestore), Sep(), A(actTrayExit)};

constexpr TActionId KeyOnly[] = {
    actSelectShelf,     // choose a shelf in a dialog
    actSpreadChange,    // the cycling commands; their keys show on the sub-menus
    actBindChange,
    actWindowChange,
    actRatioChange,
    actRatioChangeRev,
    actRotateChange,
    actFileViewStyle,
    actSortMenu,        // the sort dialog
    actImageMenu,       // the separate image window's menu bar
    actActiveChange,    // Ctrl+Tab between the two windows
};

// Accelerators of the column captions the sort sub-menu knows.
struct TColumnKey {
    std::string_view Caption;
    const char* Key;
};
constexpr TColumnKey ColumnKeys[] = {
    {"名前", "(&N)"},     {"サイズ", "(&S)"},   {"ファイルのサイズ", "(&S)"}, {"種類", "(&T)"},
    {"更新日時", "(&M)"}, {"合計サイズ", "(&S)"}, {"空き領域", "(&F)"},       {"コメント", "(&C)"},
    {"元の場所", "(&O)"}, {"削除した日", "(&D)"},
};

std::string ColumnCaption(const std::string& column)
{
    for (const TColumnKey& key : ColumnKeys)
        if (column == key.Caption)
            return Tx(column) + key.Key;
    return Tx(column);
}

bool IsViewType(TActionId action)
{
    return action == actFileList || action == actFileThumb || action == actFileDetail;
}

}  // namespace

std::span<const TMenuItem> MainMenu()
{
    return MenuBar;
}

std::span<const TMenuItem> ImageWindowMenu()
{
    return ImageWindowBar;
}

std::span<const TMenuItem> FilePopupMenu()
{
    return PopupItems;
}

std::span<const TMenuItem> TrayMenu()
{
    return TrayItems;
}

std::span<const TMenuItem> ImagePopupMenu()
{
    return ImagePopupItems;
}

std::span<const TActionId> KeyOnlyActions()
{
    return KeyOnly;
}

const char* ItemCaption(const TMenuItem& item)
{
    if (item.Caption)
        return item.Caption;
    return item.Action ? ActionInfo(*item.Action).Caption : "";
}

TPopupItemState FilePopupItemState(const TMenuItem& item, const TPopupContext& popup, const TActionContext& actions)
{
    switch (item.Kind) {
    case TMenuItemKind::mkSeparator:
    case TMenuItemKind::mkList:
        return {};
    case TMenuItemKind::mkCommand:
        switch (item.Command) {
        case TPopupCommand::pcOpen: return {!popup.FromTree && popup.HasSelection, true};
        case TPopupCommand::pcExpand: return {popup.FromTree, popup.NodeHasChildren && !popup.NodeExpanded};
        case TPopupCommand::pcCollapse: return {popup.FromTree, popup.NodeExpanded};
        }
        return {};
    case TMenuItemKind::mkAction:
    case TMenuItemKind::mkSubMenu:
        break;
    }
    if (!item.Action)
        return {};
    const TActionId action = *item.Action;
    const TActionState state = ActionState(action, actions);
    TPopupItemState result{state.Visible, state.Enabled};

    // Moving, copying and copying paths show only while they can be done.
    switch (action) {
    case actCut:
    case actMoveToFolder: result.Visible = ActionState(actCut, actions).Enabled; return result;
    case actCopy:
    case actCopyToFolder: result.Visible = ActionState(actCopy, actions).Enabled; return result;
    case actPathCopy:
    case actParentPathCopy: result.Visible = state.Enabled; return result;
    default: break;
    }

    const bool openItems = action == actF_Open || action == actS_Open;
    const bool listItems = IsViewType(action) || action == actSort;
    if (popup.FromTree) {
        // A node is opened by selecting it; the list's view and sort are
        // not the tree's.
        if (openItems || listItems || action == actRefresh || action == actUndo)
            result.Visible = false;
        else if (action == actPaste)
            result.Visible = state.Enabled;
        return result;
    }
    // Over a selection the menu is about the items; over empty space about
    // the list.
    const bool plainFolder = popup.ListKind == TListKind::lkFolder && !popup.ArchiveShown;
    if (openItems)
        result.Visible = popup.HasSelection;
    else if (listItems)
        result.Visible = !popup.HasSelection;
    else if (action == actRefresh)
        result.Visible = !popup.HasSelection && popup.ListKind != TListKind::lkShelves &&
                         popup.ListKind != TListKind::lkMedium && popup.ListKind != TListKind::lkMediumFolder &&
                         popup.ListKind != TListKind::lkCategories;
    else if (action == actPaste)
        result.Visible = plainFolder;
    else if (action == actUndo)
        result.Visible = !popup.HasSelection && plainFolder;
    return result;
}

namespace {

// The items that act on the page the menu was opened over; the second
// group shows only while its action can run.
bool IsPageItem(TActionId action)
{
    switch (action) {
    case actExecute:
    case actApplication:
    case actSelApplication:
    case actDropFile:
    case actClose:
    case actSetMark:
    case actCopy:
    case actClipBoard:
    case actCopyToFolder:
    case actSelImage:
    case actNotSelImage: return true;
    default: return false;
    }
}

bool IsPageItemWhileEnabled(TActionId action)
{
    switch (action) {
    case actMoveToFolder:
    case actPathCopy:
    case actParentPathCopy:
    case actDelete:
    case actParentDelete:
    case actProperties: return true;
    default: return false;
    }
}

bool IsWindowItem(TActionId action)
{
    switch (action) {
    case actFullScreen:
    case actViewForm:
    case actStayOnTop:
    case actTaskTray:
    case actMenu:
    case actImageMenu:
    case actImageToolBar:
    case actSeekBar: return true;
    default: return false;
    }
}

}  // namespace

std::string ImagePopupItemName(const TMenuItem& item)
{
    if (item.Kind == TMenuItemKind::mkSubMenu && !item.Action) {
        if (item.Items.data() == std::span<const TMenuItem>(GridItems).data())
            return "pmiGridSet";
        if (item.Items.data() == std::span<const TMenuItem>(LoupeItems).data())
            return "pmiLoupeSet";
        if (item.Items.data() == std::span<const TMenuItem>(MoveItems).data())
            return "pmiMove";
        if (item.Items.data() == std::span<const TMenuItem>(BindItems).data())
            return "pmiBind";
        return {};
    }
    if (!item.Action)
        return {};
    switch (*item.Action) {
    case actProperties: return "pmiProperty";
    case actMenu: return "pmiMainMenu";
    default: break;
    }
    const std::string_view name = ActionInfo(*item.Action).Name;
    return "pmi" + std::string(name.starts_with("act") ? name.substr(3) : name);
}

TPopupItemState ImagePopupItemState(const TMenuItem& item, const TImagePopupContext& popup,
                                    const TActionContext& actions)
{
    if (item.Kind == TMenuItemKind::mkSeparator || item.Kind == TMenuItemKind::mkList)
        return {};
    // The settings of the loupe and the grid while they are on.
    if (item.Kind == TMenuItemKind::mkSubMenu && !item.Action) {
        if (item.Items.data() == std::span<const TMenuItem>(GridItems).data())
            return {actions.GridShown, true};
        if (item.Items.data() == std::span<const TMenuItem>(LoupeItems).data())
            return {actions.LoupeShown && actions.ImageShown, true};
        return {};
    }
    if (!item.Action)
        return {};
    const TActionId action = *item.Action;
    const TActionState state = ActionState(action, actions);
    TPopupItemState result{state.Visible, state.Enabled};
    const bool onPage = popup.FromKeyboard ? actions.ImageShown : popup.Page != TTargetPage::tpAsk;
    if (IsPageItem(action))
        result.Visible = result.Visible && onPage;
    else if (IsPageItemWhileEnabled(action))
        result.Visible = result.Visible && onPage && state.Enabled;
    else if (IsWindowItem(action)) {
        result.Visible = result.Visible && (popup.FromKeyboard || popup.Page == TTargetPage::tpAsk);
        // The menu bar of the window that shows the view.
        if (action == actImageMenu)
            result.Visible = result.Visible && actions.SeparateWindow;
        if (action == actMenu)
            result.Visible = result.Visible && !actions.SeparateWindow;
    }
    return result;
}

std::vector<TSortMenuItem> BuildSortMenu(const std::vector<std::string>& columns, int sortColumn, bool ascending,
                                         bool descending)
{
    std::vector<TSortMenuItem> menu;
    menu.reserve(columns.size() + 3);
    for (size_t i = 0; i < columns.size(); ++i) {
        TSortMenuItem item;
        item.Caption = ColumnCaption(columns[i]);
        item.Column = static_cast<int>(i);
        item.Checked = item.Column == sortColumn;
        menu.push_back(std::move(item));
    }
    TSortMenuItem separator;
    separator.Separator = true;
    menu.push_back(separator);
    menu.push_back(TSortMenuItem{Tx("昇順(&U)"), -1, false, false, ascending});
    menu.push_back(TSortMenuItem{Tx("降順(&W)"), -1, false, true, descending});
    return menu;
}

bool SortMenuStale(const std::vector<TSortMenuItem>& menu, const std::vector<std::string>& columns)
{
    size_t count = 0;
    for (const TSortMenuItem& item : menu) {
        if (item.Column < 0)
            continue;
        if (count >= columns.size() || item.Caption != ColumnCaption(columns[count]))
            return true;
        ++count;
    }
    return count != columns.size();
}
