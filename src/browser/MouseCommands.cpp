#include "browser/MouseCommands.h"

#include "base/PathUtils.h"
#include "common/Text.h"

namespace {

using enum TActionId;
constexpr TActionList G = TActionList::alGeneral;
constexpr TActionList I = TActionList::alImage;

// A run of mouse command numbers that maps onto consecutive numbers of the
// key catalogue. This is the one place where the mouse catalogues meet the
// key catalogue: the numbers differ, the commands are the same.
struct TCatalogueRun {
    int First;
    int Last;
    TActionList List;
    int KeyFirst;  // the key catalogue's number of First
};

constexpr TCatalogueRun ImageRuns[] = {
    {1, 1, G, 5},      // 関連付けで開く
    {2, 11, G, 6},     // the registered applications
    {12, 13, G, 17},   // アプリケーションの選択, 動作中のアプリケーションで開く
    {14, 14, I, 1},    // 閉じる
    {15, 16, G, 21},   // the markers
    {17, 20, G, 29},   // 削除 … プロパティ
    {21, 21, G, 38},   // コピー
    {22, 22, I, 2},    // クリップボードにコピー
    {23, 26, G, 40},   // フォルダへコピー … 親フォルダのパスをコピー
    {27, 28, I, 3},    // 一覧で選択, 一覧の選択を解除
    {29, 37, I, 5},    // the slideshow
    {48, 98, I, 14},   // 画像表示形式 … 縦画像のみ回転
    {99, 103, G, 55},  // the neighbour folders, up, refresh
    {104, 105, G, 67}, // 画像表示を分離, 全画面表示
    {106, 106, I, 65}, // 常に手前に表示
    {107, 107, G, 69}, // タスクトレイ収納
    {108, 110, I, 66}, // the bars and the menu
    {111, 118, I, 69}, // the loupe and the grid
};

constexpr TCatalogueRun ListRuns[] = {
    {2, 15, G, 2},   // opening and the registered applications
    {16, 17, G, 17}, // アプリケーションの選択, 動作中のアプリケーションで開く
    {18, 18, G, 23}, // 本棚に追加
    {19, 23, G, 29}, // 削除 … フォルダの作成
    {24, 63, G, 36}, // the edit and view commands
};

constexpr int FirstMove = 38;
constexpr int FirstScroll = 119;
// The zoom commands zoom about the pointer, not the view's centre.
constexpr int EnlargeCommand = 76;
constexpr int ShrinkCommand = 77;

// The file and edit commands work on the picture under the pointer; over
// the background around the pages they do nothing.
bool ActsOnPage(int command)
{
    return (command >= 1 && command <= 13) || (command >= 17 && command <= 28);
}

template <size_t N>
std::optional<TActionId> FromRuns(const TCatalogueRun (&runs)[N], int command)
{
    for (const TCatalogueRun& run : runs)
        if (command >= run.First && command <= run.Last)
            return FindActionByCommand(run.List, run.KeyFirst + command - run.First);
    return std::nullopt;
}

}  // namespace

std::optional<TImageMouseTarget> ImageMouseTarget(int command)
{
    if (command >= FirstMove && command < FirstMove + MoveCommandCount)
        return TImageMouseTarget{static_cast<TMoveCommand>(command - FirstMove)};
    if (command >= FirstScroll && command < FirstScroll + ScrollCommandCount)
        return TImageMouseTarget{static_cast<TScrollCommand>(command - FirstScroll)};
    if (const std::optional<TActionId> action = FromRuns(ImageRuns, command))
        return TImageMouseTarget{*action};
    return std::nullopt;
}

std::optional<TActionId> ListMouseAction(int command)
{
    return FromRuns(ListRuns, command);
}

TDragMode DragModeOf(int command)
{
    switch (command) {
    case 1: return TDragMode::dmGrab;
    case 2: return TDragMode::dmReverseGrab;
    case 3: return TDragMode::dmRubberBand;
    default: return TDragMode::dmNone;
    }
}

TImageMouseCommands::TImageMouseCommands(TViewActions& actions, TPageViewer& viewer)
    : fActions(actions), fViewer(viewer)
{
}

TImageMouseResult TImageMouseCommands::Run(const TMouseBindings& bindings, TMouseOperation op,
                                           const TMouseHeld& held, TPoint point, int width, int height)
{
    TImageMouseResult result;
    if (op == TMouseOperation::moDrag)
        return result;
    TTargetPage under = TTargetPage::tpAsk;
    if (fViewer.Layout().PageRect(0).Contains(point))
        under = TTargetPage::tpPrimary;
    else if (fViewer.Layout().PageRect(1).Contains(point))
        under = TTargetPage::tpPartner;
    if (op == TMouseOperation::moRightClick && bindings.RightPopup) {
        result.Popup = true;
        result.PopupPage = under;
        return result;
    }
    const int command = bindings.ImageCommand(op, held, point.X, point.Y, width, height);
    const std::optional<TImageMouseTarget> target = ImageMouseTarget(command);
    if (!target)
        return result;
    if (ActsOnPage(command)) {
        if (under == TTargetPage::tpAsk)
            return result;
        result.Page = under;
    }
    if (const auto* move = std::get_if<TMoveCommand>(&*target)) {
        // Any mouse command but a scroll forgets the wheel notches turned
        // against an edge.
        fViewer.MouseCommandRan();
        result.Outcome = fActions.RunMove(*move, false);
    } else if (const auto* scroll = std::get_if<TScrollCommand>(&*target)) {
        result.Outcome = fActions.RunScroll(*scroll, false);
    } else {
        fViewer.MouseCommandRan();
        const TActionId action = std::get<TActionId>(*target);
        if ((command == EnlargeCommand || command == ShrinkCommand) && fActions.Enabled(action)) {
            fViewer.ZoomStep(command == EnlargeCommand, point);
            TActionOutcome outcome;
            outcome.ViewChanged = true;
            result.Outcome = outcome;
        } else {
            result.Action = action;
        }
    }
    return result;
}

TDragMode TImageMouseCommands::DragMode(const TMouseBindings& bindings, const TMouseHeld& held, TPoint point,
                                        int width, int height)
{
    return DragModeOf(bindings.ImageCommand(TMouseOperation::moDrag, held, point.X, point.Y, width, height));
}

TListMouseResult ListMouseCommand(const TMouseBindings& bindings, TMouseOperation op, const TMouseHeld& held, bool alt,
                                  TMouseItem kind)
{
    TListMouseResult result;
    const bool isDouble = op == TMouseOperation::moLeftDouble || op == TMouseOperation::moWheelDouble ||
                          op == TMouseOperation::moX1Double || op == TMouseOperation::moX2Double;
    if (alt && isDouble) {
        result.Kind = TListMouseKind::lmProperties;
        return result;
    }
    const int command = bindings.ListCommand(op, held, kind);
    switch (command) {
    case ListOpenCommand: result.Kind = TListMouseKind::lmOpen; break;
    case ListShiftSelectCommand: result.Kind = TListMouseKind::lmShiftSelect; break;
    case ListCtrlSelectCommand: result.Kind = TListMouseKind::lmCtrlSelect; break;
    case ListShiftCtrlSelectCommand: result.Kind = TListMouseKind::lmShiftCtrlSelect; break;
    default:
        if (const std::optional<TActionId> action = ListMouseAction(command)) {
            result.Kind = TListMouseKind::lmAction;
            result.Action = *action;
        }
        break;
    }
    return result;
}

TMouseItem MouseItemOf(const TOpenResult& opened, bool isRow, const std::function<bool(std::string_view ext)>& isImage)
{
    if (!isRow)
        return TMouseItem::miNone;
    switch (opened.Kind) {
    case TOpenKind::okPlace: return TMouseItem::miFolder;
    case TOpenKind::okArchive: return TMouseItem::miArchive;
    case TOpenKind::okFile:
        return isImage && isImage(UpperCase(ExtractFileExt(opened.Path))) ? TMouseItem::miImage : TMouseItem::miOther;
    case TOpenKind::okNothing: break;
    }
    return TMouseItem::miOther;
}
