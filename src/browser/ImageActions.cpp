#include "browser/ImageActions.h"

#include <array>

namespace {

using enum TActionId;
using enum TActionGroup;
constexpr TActionList G = TActionList::alGeneral;
constexpr TActionList I = TActionList::alImage;

// In the order of TActionId; the numbers are those of the key catalogue.
constexpr TActionInfo Table[] = {
    {actOpen, "actOpen", "開く(&O)...", G, 1, agNone, false},
    {actOpenFolder, "actOpenFolder", "フォルダを開く(&D)...", G, 0, agNone, false},
    {actClose, "actClose", "閉じる(&C)", I, 1, agNone, false},
    {actExit, "actExit", "終了(&X)", G, 35, agNone, false},

    {actFirst, "actFirst", "最初のファイル(&F)", I, 0, agNone, false},
    {actNext, "actNext", "次のファイル(&N)", I, 0, agNone, false},
    {actPrior, "actPrior", "前のファイル(&P)", I, 0, agNone, false},
    {actS_Next, "actS_Next", "ひとつ次のファイル(&X)", I, 0, agNone, false},
    {actS_Prior, "actS_Prior", "ひとつ前のファイル(&R)", I, 0, agNone, false},
    {actLast, "actLast", "最後のファイル(&L)", I, 0, agNone, false},
    {actJ_Next, "actJ_Next", "ジャンプ(&J)", I, 0, agNone, false},
    {actJ_Prior, "actJ_Prior", "前へジャンプ(&B)", I, 0, agNone, false},
    {actR_Next, "actR_Next", "ランダム移動(&M)", I, 0, agNone, false},
    {actR_Prior, "actR_Prior", "前へランダム移動(&O)", I, 0, agNone, false},

    {actSpreadChange, "actSpreadChange", "画像表示形式", I, 14, agNone, false},
    {actAuto, "actAuto", "自動判定(&A)", I, 15, agViewMode, true},
    {actSingle, "actSingle", "単ページ(&S)", I, 16, agViewMode, true},
    {actSpread, "actSpread", "見開き(&T)", I, 17, agViewMode, true},
    {actBindChange, "actBindChange", "綴じ方向", I, 18, agNone, false},
    {actBindRight, "actBindRight", "右綴じ(&R)", I, 0, agBinding, true},
    {actBindLeft, "actBindLeft", "左綴じ(&L)", I, 0, agBinding, true},

    {actWindowChange, "actWindowChange", "ウィンドウに合わせる", I, 19, agNone, false},
    {actWinAll, "actWinAll", "全体を表示(&A)", I, 20, agFit, true},
    {actWinWidth, "actWinWidth", "幅に合わせる(&W)", I, 21, agFit, true},
    {actWinHeight, "actWinHeight", "高さに合わせる(&H)", I, 22, agFit, true},
    {actNoEnlarge, "actNoEnlarge", "拡大はしない(&N)", I, 23, agNone, true},
    {actEqualHeight, "actEqualHeight", "2枚の高さを揃える(&E)", I, 24, agNone, true},
    {actEqualRatio, "actEqualRatio", "2枚の倍率を等しくする(&R)", I, 25, agNone, true},
    {actCenter, "actCenter", "2枚の結合部を中心に固定(&C)", I, 26, agNone, true},
    {actHalfV, "actHalfV", "高さ＞幅の時は高さの1/2を基準にする(&V)", I, 27, agNone, true},
    {actHalfH, "actHalfH", "高さ＜幅の時は幅の1/2を基準にする(&D)", I, 28, agNone, true},

    {actRatioChange, "actRatioChange", "表示倍率の指定", I, 29, agNone, false},
    {actRatioChangeRev, "actRatioChangeRev", "表示倍率の指定（逆順）", I, 30, agNone, false},
    {act25, "act25", "25%", I, 31, agRatio, true},
    {act50, "act50", "50%", I, 32, agRatio, true},
    {act75, "act75", "75%", I, 33, agRatio, true},
    {act100, "act100", "100%", I, 34, agRatio, true},
    {act150, "act150", "150%", I, 35, agRatio, true},
    {act200, "act200", "200%", I, 36, agRatio, true},
    {act300, "act300", "300%", I, 37, agRatio, true},
    {act400, "act400", "400%", I, 38, agRatio, true},
    {act800, "act800", "800%", I, 39, agRatio, true},
    {actSetRatio, "actSetRatio", "倍率の入力(&I)...", I, 40, agRatio, true},
    {actImageSize, "actImageSize", "サイズの指定(&Z)...", I, 41, agNone, true},
    {actEnlarge, "actEnlarge", "拡大(&E)", I, 42, agNone, false},
    {actShrink, "actShrink", "縮小(&S)", I, 43, agNone, false},
    {actDefSize, "actDefSize", "実サイズで表示(&D)", I, 44, agNone, true},

    {actFilterNone, "actFilterNone", "なし(&N)", I, 45, agFilter, true},
    {actFilter1, "actFilter1", "フィルタ－1", I, 46, agFilter, true},
    {actFilter2, "actFilter2", "フィルタ－2", I, 47, agFilter, true},
    {actFilter3, "actFilter3", "フィルタ－3", I, 48, agFilter, true},
    {actFilter4, "actFilter4", "フィルタ－4", I, 49, agFilter, true},
    {actFilter5, "actFilter5", "フィルタ－5", I, 50, agFilter, true},
    {actFilter6, "actFilter6", "フィルタ－6", I, 51, agFilter, true},
    {actFilter7, "actFilter7", "フィルタ－7", I, 52, agFilter, true},
    {actFilter8, "actFilter8", "フィルタ－8", I, 53, agFilter, true},
    {actFilter9, "actFilter9", "フィルタ－9", I, 54, agFilter, true},
    {actFilter10, "actFilter10", "フィルタ－10", I, 55, agFilter, true},
    {actRotateChange, "actRotateChange", "回転・反転", I, 57, agNone, false},
    {actRotateNone, "actRotateNone", "なし(&N)", I, 58, agRotation, true},
    {actR90, "actR90", "右90°(&R)", I, 59, agRotation, true},
    {actL90, "actL90", "左90°(&L)", I, 60, agRotation, true},
    {act180, "act180", "180°(&T)", I, 61, agRotation, true},
    {actReverseV, "actReverseV", "上下反転(&V)", I, 62, agRotation, true},
    {actReverseH, "actReverseH", "左右反転(&H)", I, 63, agRotation, true},
    {actAutoRotate, "actAutoRotate", "縦画像のみ回転(&A)", I, 64, agNone, true},

    {actImageToolBar, "actImageToolBar", "イメージバー(&I)", I, 66, agNone, true},
    {actSeekBar, "actSeekBar", "シークバー(&S)", I, 67, agNone, true},
};

constexpr bool InIdOrder()
{
    for (size_t i = 0; i < std::size(Table); ++i)
        if (static_cast<size_t>(Table[i].Id) != i)
            return false;
    return true;
}
static_assert(InIdOrder(), "the action table follows TActionId");

}  // namespace

std::span<const TActionInfo> ActionTable()
{
    return Table;
}

const TActionInfo& ActionInfo(TActionId id)
{
    return Table[static_cast<size_t>(id)];
}

std::optional<TActionId> FindActionByName(std::string_view name)
{
    for (const TActionInfo& info : Table)
        if (name == info.Name)
            return info.Id;
    return std::nullopt;
}

std::optional<TActionId> FindActionByCommand(TActionList list, int command)
{
    if (command <= 0)
        return std::nullopt;
    for (const TActionInfo& info : Table)
        if (info.List == list && info.Command == command)
            return info.Id;
    return std::nullopt;
}
