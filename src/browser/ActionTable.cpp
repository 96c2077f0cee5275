#include "browser/ActionTable.h"

#include <array>

namespace {

using enum TActionId;
using enum TActionGroup;
using enum TEnableRule;
constexpr TActionList G = TActionList::alGeneral;
constexpr TActionList I = TActionList::alImage;
// The two flags at the end of a row.
constexpr bool Hide = true;    // hidden while disabled
constexpr bool Shown = false;  // greyed while disabled
constexpr bool Later = true;   // comes with a later part of the program

// In the order of TActionId; the numbers are those of the key catalogue.
constexpr TActionInfo Table[] = {
    // File menu
    {actOpen, "actOpen", "開く(&O)...", G, 1, agNone, false, erMainWindowActive},
    {actOpenFolder, "actOpenFolder", "フォルダを開く(&D)...", G, 0, agNone, false, erMainWindowActive},
    {actOpenEx, "actOpenEx", "指定動作で開く(&A)", G, 0, agNone, false, erOpenFullScreen, Hide},
    {actF_Open, "actF_Open", "全画面表示で開く(&U)", G, 2, agNone, false, erOpenFullScreen, Hide},
    {actS_Open, "actS_Open", "スライドショーを開始して開く(&L)", G, 3, agNone, false, erOpenSlideShow, Shown},
    {actExplorer, "actExplorer", "エクスプローラで開く(&L)", G, 4, agNone, false, erExplorer, Hide},
    {actExecute, "actExecute", "関連付けで開く(&Q)", G, 5, agNone, false, erExecute, Shown},
    {actApplication, "actApplication", "アプリケーションから開く(&A)", G, 0, agNone, false, erOpenFullScreen, Shown},
    {actRegApp1, "actRegApp1", "&%d: %s", G, 6, agNone, false, erRegApp, Shown},
    {actRegApp2, "actRegApp2", "&%d: %s", G, 7, agNone, false, erRegApp, Shown},
    {actRegApp3, "actRegApp3", "&%d: %s", G, 8, agNone, false, erRegApp, Shown},
    {actRegApp4, "actRegApp4", "&%d: %s", G, 9, agNone, false, erRegApp, Shown},
    {actRegApp5, "actRegApp5", "&%d: %s", G, 10, agNone, false, erRegApp, Shown},
    {actRegApp6, "actRegApp6", "&%d: %s", G, 11, agNone, false, erRegApp, Shown},
    {actRegApp7, "actRegApp7", "&%d: %s", G, 12, agNone, false, erRegApp, Shown},
    {actRegApp8, "actRegApp8", "&%d: %s", G, 13, agNone, false, erRegApp, Shown},
    {actRegApp9, "actRegApp9", "&%d: %s", G, 14, agNone, false, erRegApp, Shown},
    {actRegApp10, "actRegApp10", "&%d: %s", G, 15, agNone, false, erRegApp, Shown},
    {actRegister, "actRegister", "アプリケーションの登録(&A)...", G, 16, agNone, false, erAlways, Shown},
    {actUseApp1, "actUseApp1", "&%d: %s", G, 0, agNone, false, erUseApp, Shown},
    {actUseApp2, "actUseApp2", "&%d: %s", G, 0, agNone, false, erUseApp, Shown},
    {actUseApp3, "actUseApp3", "&%d: %s", G, 0, agNone, false, erUseApp, Shown},
    {actUseApp4, "actUseApp4", "&%d: %s", G, 0, agNone, false, erUseApp, Shown},
    {actUseApp5, "actUseApp5", "&%d: %s", G, 0, agNone, false, erUseApp, Shown},
    {actSelApplication, "actSelApplication", "アプリケーションの選択(&S)...", G, 17, agNone, false, erAlways, Shown},
    {actDropFile, "actDropFile", "動作中のアプリケーションで開く(&G)...", G, 18, agNone, false, erOpenFullScreen, Shown},
    {actRecentFile, "actRecentFile", "最近開いたファイル(&T)", G, 0, agNone, false, erRecentFiles},
    {actRecentList, "actRecentList", "最近開いたファイル(&R)", G, 19, agNone, false, erAlways},
    {actClose, "actClose", "閉じる(&C)", I, 1, agNone, false, erImageShown},
    {actMarker, "actMarker", "しおりを開く(&S)...", G, 20, agNone, false, erAlways},
    {actNextMarker, "actNextMarker", "次のしおりに移動(&N)", G, 21, agNone, false, erMarkerJump},
    {actSetMark, "actSetMark", "しおりを保存(&U)", G, 22, agNone, false, erSetMark},
    {actAddShelf, "actAddShelf", "本棚に追加(&H)", G, 0, agNone, false, erAddShelf, Hide},
    {actNewShelf, "actNewShelf", "新しい本棚(&N)", G, 0, agNone, false, erAddShelf, Shown},
    {actSelectShelf, "actSelectShelf", "本棚に追加", G, 23, agNone, false, erAddShelf, Shown},
    {actExportShelf, "actExportShelf", "登録項目の出力(&P)", G, 24, agNone, false, erShelfItems, Hide},
    {actImportShelf, "actImportShelf", "登録項目の取り込み(I)", G, 25, agNone, false, erShelfItems, Hide},
    {actDelNoExists, "actDelNoExists", "存在しない項目の削除(&J)", G, 26, agNone, false, erShelfItems, Hide},
    {actAddMedia, "actAddMedia", "メディア情報の保存(&I)", G, 27, agNone, false, erAddMedia, Hide},
    {actUpdateMedia, "actUpdateMedia", "メディア情報の更新(&U)", G, 28, agNone, false, erUpdateMedia, Hide},
    {actDelete, "actDelete", "削除(&D)", G, 29, agNone, false, erDelete, Hide},
    {actParentDelete, "actParentDelete", "親フォルダ/書庫の削除(&B)", G, 30, agNone, false, erParentDelete, Hide},
    {actRename, "actRename", "名前の変更(&M)", G, 31, agNone, false, erRename, Shown},
    {actProperties, "actProperties", "プロパティ(&R)", G, 32, agNone, false, erProperties, Shown, Later},
    {actNewFolder, "actNewFolder", "フォルダの作成(&F)", G, 33, agNone, false, erNewFolder, Hide},
    {actExport, "actExport", "CSV形式で出力(&E)...", G, 34, agNone, false, erNoArchive, Shown},
    {actExit, "actExit", "終了(&X)", G, 35, agNone, false},

    // Edit menu
    {actUndo, "actUndo", "元に戻す(&U)", G, 36, agNone, false, erUndo, Shown},
    {actCut, "actCut", "切り取り(&T)", G, 37, agNone, false, erCut, Shown},
    {actCopy, "actCopy", "コピー(&C)", G, 38, agNone, false, erCopy, Shown},
    {actPaste, "actPaste", "貼り付け(&P)", G, 39, agNone, false, erPaste, Shown},
    {actCopyToFolder, "actCopyToFolder", "フォルダへコピー(&Y)...", G, 40, agNone, false, erCopy, Shown},
    {actMoveToFolder, "actMoveToFolder", "フォルダへ移動(&K)...", G, 41, agNone, false, erCut, Shown},
    {actClipBoard, "actClipBoard", "クリップボードにコピー(&W)", I, 2, agNone, false, erImageShown},
    {actPathCopy, "actPathCopy", "パスをコピー(&V)", G, 42, agNone, false, erPathCopy, Shown},
    {actParentPathCopy, "actParentPathCopy", "親フォルダのパスをコピー(&E)", G, 43, agNone, false, erPathCopy, Shown},
    {actAllSelect, "actAllSelect", "すべて選択(&A)", G, 44, agNone, false, erFileViewShown},
    {actFileSelect, "actFileSelect", "ファイルをすべて選択(&F)", G, 45, agNone, false, erFileSelect},
    {actImageSelect, "actImageSelect", "画像をすべて選択(&I)", G, 46, agNone, false, erFileViewShown},
    {actSelectChange, "actSelectChange", "選択の切り替え(&S)", G, 47, agNone, false, erFileViewShown},
    {actNoSelect, "actNoSelect", "選択を解除(&N)", G, 48, agNone, false, erFileViewShown},
    {actSelImage, "actSelImage", "一覧で選択(&S)", I, 3, agNone, false, erImageShown},
    {actNotSelImage, "actNotSelImage", "一覧の選択を解除(&N)", I, 4, agNone, false, erImageShown},

    // Move menu
    {actSlideShow, "actSlideShow", "スライドショー(&S)", I, 5, agNone, true, erAlways, Shown},
    {actSlideNext, "actSlideNext", "次のファイル(&N)", I, 6, agSlideShow, true, erAlways, Shown},
    {actSlideS_Next, "actSlideS_Next", "ひとつ次のファイル(&X)", I, 7, agSlideShow, true, erAlways, Shown},
    {actSlideJ_Next, "actSlideJ_Next", "ジャンプ(&J)", I, 8, agSlideShow, true, erAlways, Shown},
    {actSlideR_Next, "actSlideR_Next", "ランダム移動(&M)", I, 9, agSlideShow, true, erAlways, Shown},
    {actSlidePageV, "actSlidePageV", "大スクロール下(&P)", I, 10, agSlideShow, true, erAlways, Shown},
    {actSlidePageH, "actSlidePageH", "大スクロール左/右(&H)", I, 11, agSlideShow, true, erAlways, Shown},
    {actSlideLineV, "actSlideLineV", "小スクロール下(&L)", I, 12, agSlideShow, true, erAlways, Shown},
    {actSlideLineH, "actSlideLineH", "小スクロール左/右(&R)", I, 13, agSlideShow, true, erAlways, Shown},
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

    // Image menu
    {actSpreadChange, "actSpreadChange", "画像表示形式", I, 14, agNone, false},
    {actAuto, "actAuto", "自動判定(&A)", I, 15, agViewMode, true},
    {actSingle, "actSingle", "単ページ(&S)", I, 16, agViewMode, true},
    {actSpread, "actSpread", "見開き(&T)", I, 17, agViewMode, true},
    {actBindChange, "actBindChange", "綴じ方向", I, 18, agNone, false},
    {actBindRight, "actBindRight", "右綴じ(&R)", I, 0, agBinding, true},
    {actBindLeft, "actBindLeft", "左綴じ(&L)", I, 0, agBinding, true},

    {actWindowChange, "actWindowChange", "ウィンドウに合わせる", I, 19, agNone, false},
    {actWindow, "actWindow", "ウィンドウに合わせる(&W)", I, 0, agNone, true},
    {actWinAll, "actWinAll", "全体を表示(&A)", I, 20, agFit, true},
    {actWinWidth, "actWinWidth", "幅に合わせる(&W)", I, 21, agFit, true},
    {actWinHeight, "actWinHeight", "高さに合わせる(&H)", I, 22, agFit, true},
    {actNoEnlarge, "actNoEnlarge", "拡大はしない(&N)", I, 23, agNone, true},
    {actEqualHeight, "actEqualHeight", "2枚の高さを揃える(&E)", I, 24, agNone, true, erTwoPages},
    {actEqualRatio, "actEqualRatio", "2枚の倍率を等しくする(&R)", I, 25, agNone, true, erTwoPages},
    {actCenter, "actCenter", "2枚の結合部を中心に固定(&C)", I, 26, agNone, true, erTwoPages},
    {actHalfV, "actHalfV", "高さ＞幅の時は高さの1/2を基準にする(&V)", I, 27, agNone, true},
    {actHalfH, "actHalfH", "高さ＜幅の時は幅の1/2を基準にする(&D)", I, 28, agNone, true},

    {actRatioChange, "actRatioChange", "表示倍率の指定", I, 29, agNone, false},
    {actRatioChangeRev, "actRatioChangeRev", "表示倍率の指定（逆順）", I, 30, agNone, false},
    {actRatio, "actRatio", "表示倍率(&R)", I, 0, agNone, true},
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
    {actEnlarge, "actEnlarge", "拡大(&E)", I, 42, agNone, false, erImageShown},
    {actShrink, "actShrink", "縮小(&S)", I, 43, agNone, false, erImageShown},
    {actDefSize, "actDefSize", "実サイズで表示(&D)", I, 44, agNone, true, erImageShown},

    {actFilter, "actFilter", "フィルタ(&F)", I, 0, agNone, true},
    {actFilterNone, "actFilterNone", "なし(&N)", I, 45, agFilter, true},
    // The filter items take the names of the sets (NumberedCaption); these
    // captions stand for sets not loaded.
    {actFilter1, "actFilter1", "フィルタ－1", I, 46, agFilter, true, erFilterSet, Hide},
    {actFilter2, "actFilter2", "フィルタ－2", I, 47, agFilter, true, erFilterSet, Hide},
    {actFilter3, "actFilter3", "フィルタ－3", I, 48, agFilter, true, erFilterSet, Hide},
    {actFilter4, "actFilter4", "フィルタ－4", I, 49, agFilter, true, erFilterSet, Hide},
    {actFilter5, "actFilter5", "フィルタ－5", I, 50, agFilter, true, erFilterSet, Hide},
    {actFilter6, "actFilter6", "フィルタ－6", I, 51, agFilter, true, erFilterSet, Hide},
    {actFilter7, "actFilter7", "フィルタ－7", I, 52, agFilter, true, erFilterSet, Hide},
    {actFilter8, "actFilter8", "フィルタ－8", I, 53, agFilter, true, erFilterSet, Hide},
    {actFilter9, "actFilter9", "フィルタ－9", I, 54, agFilter, true, erFilterSet, Hide},
    {actFilter10, "actFilter10", "フィルタ－10", I, 55, agFilter, true, erFilterSet, Hide},
    {actFilterSet, "actFilterSet", "フィルタの設定(&S)...", I, 56, agNone, false, erAlways},
    {actRotateChange, "actRotateChange", "回転・反転", I, 57, agNone, false},
    {actRotate, "actRotate", "回転・反転(&R)", I, 0, agNone, true},
    {actRotateNone, "actRotateNone", "なし(&O)", I, 58, agRotation, true},
    {actR90, "actR90", "右90°(&R)", I, 59, agRotation, true},
    {actL90, "actL90", "左90°(&L)", I, 60, agRotation, true},
    {act180, "act180", "180°(&X)", I, 61, agRotation, true},
    {actReverseV, "actReverseV", "上下反転(&V)", I, 62, agRotation, true},
    {actReverseH, "actReverseH", "左右反転(&H)", I, 63, agRotation, true},
    {actAutoRotate, "actAutoRotate", "縦画像のみ回転(&V)", I, 64, agNone, true},

    {actLoupe, "actLoupe", "ルーペの表示(&L)", I, 69, agNone, true},
    {actLoupeSizeEnlarge, "actLoupeSizeEnlarge", "サイズの拡大(&E)", I, 70, agNone, false, erLoupeSizeEnlarge},
    {actLoupeSizeShrink, "actLoupeSizeShrink", "サイズの縮小(&S)", I, 71, agNone, false, erLoupeSizeShrink},
    {actLoupeRatioEnlarge, "actLoupeRatioEnlarge", "倍率の拡大(&U)", I, 72, agNone, false, erLoupeScaleEnlarge},
    {actLoupeRatioShrink, "actLoupeRatioShrink", "倍率の縮小(&D)", I, 73, agNone, false, erLoupeScaleShrink},
    {actGrid, "actGrid", "グリッドの表示(&G)", I, 74, agNone, true},
    {actGridEnlarge, "actGridEnlarge", "間隔の拡大(&E)", I, 75, agNone, false, erGridEnlarge},
    {actGridShrink, "actGridShrink", "間隔の縮小(&S)", I, 76, agNone, false, erGridShrink},

    // View menu
    {actFolder, "actFolder", "フォルダ(&F)", G, 49, agTreeKind, true},
    {actShelf, "actShelf", "本棚(&B)", G, 50, agTreeKind, true, erAlways, Shown},
    {actMedia, "actMedia", "メディア(&M)", G, 51, agTreeKind, true, erAlways, Shown},
    {actCategory, "actCategory", "カテゴリ(&C)", G, 0, agTreeKind, true, erAlways, Shown},
    {actSearch, "actSearch", "検索(&S)", G, 52, agTreeKind, true, erAlways, Shown},
    {actBack, "actBack", "前へ戻る(&B)", G, 53, agNone, false, erBack},
    {actForward, "actForward", "次へ進む(&F)", G, 54, agNone, false, erForward},
    {actNextFolder, "actNextFolder", "次のフォルダ/書庫(&N)", G, 55, agNone, false, erNextFolder},
    {actPriorFolder, "actPriorFolder", "前のフォルダ/書庫(&P)", G, 56, agNone, false, erPriorFolder},
    {actSiblingFolder, "actSiblingFolder", "隣のフォルダ/書庫(&D)", G, 57, agNone, false, erSiblingFolder},
    {actUp, "actUp", "一つ上の階層へ(&U)", G, 58, agNone, false, erUp},
    {actRefresh, "actRefresh", "最新の情報に更新(&E)", G, 59, agNone, false},
    {actFileViewStyle, "actFileViewStyle", "ファイル表示形式(&V)", G, 60, agNone, false},
    {actFileList, "actFileList", "一覧(&V)", G, 61, agFileViewType, true},
    {actFileThumb, "actFileThumb", "サムネイル(&T)", G, 62, agFileViewType, true},
    {actFileDetail, "actFileDetail", "サムネイル詳細(&N)", G, 63, agFileViewType, true},
    {actSort, "actSort", "並び順(&S)", G, 0, agNone, false},
    {actSortMenu, "actSortMenu", "並び順(&S)", G, 64, agNone, false, erAlways, Shown, Later},
    {actFileMask, "actFileMask", "ファイルマスク(&M)...", G, 65, agNone, false, erAlways, Shown, Later},
    {actFileView, "actFileView", "ファイル表示位置の切り替え(&L)", G, 66, agNone, false, erFileViewPos},

    {actViewForm, "actViewForm", "画像表示を分離(&W)", G, 67, agNone, true, erNotFullScreen, Shown},
    {actFullScreen, "actFullScreen", "全画面表示(&U)", G, 68, agNone, true, erAlways, Shown},
    {actStayOnTop, "actStayOnTop", "常に手前に表示(&T)", I, 65, agNone, true},
    {actTaskTray, "actTaskTray", "タスクトレイ収納(&K)", G, 69, agNone, true, erAlways},
    {actFile, "actFile", "ファイル(&F)", G, 70, agNone, true},
    {actTree, "actTree", "ツリー(&T)", G, 71, agNone, true},
    {actMainToolBar, "actMainToolBar", "メインバー(&M)", G, 72, agNone, true},
    {actAddressBar, "actAddressBar", "アドレスバー(&A)", G, 73, agNone, true},
    {actStatusBar, "actStatusBar", "ステータスバー(&T)", G, 74, agNone, true},
    {actMenu, "actMenu", "メニュー(&N)", G, 75, agNone, true},
    {actImageMenu, "actImageMenu", "メニューの表示(&M)", I, 68, agNone, true, erAlways, Shown},
    {actImageToolBar, "actImageToolBar", "イメージバー(&I)", I, 66, agNone, true},
    {actSeekBar, "actSeekBar", "シークバー(&S)", I, 67, agNone, true},
    // Ctrl+Tab between the main window and the separate image window.
    {actActiveChange, "actActiveChange", "", G, 0, agNone, false, erSeparateWindow, Shown},

    // Option menu
    {actEnv, "actEnv", "設定(&E)...", G, 76, agNone, false, erAlways, Shown, Later},
    {actPlugin, "actPlugin", "プラグインの設定(&P)...", G, 77, agNone, false, erAlways, Shown, Later},
    {actSaveSetting, "actSaveSetting", "設定の保存(&S)...", G, 78, agNone, false, erAlways, Shown, Later},
    {actLoadSetting, "actLoadSetting", "設定の読み込み(&L)...", G, 79, agNone, false, erAlways, Shown, Later},
    {actChangeSetting, "actChangeSetting", "設定の切り替え(&G)...", G, 80, agNone, false, erAlways, Shown, Later},
    {actKeyCustom, "actKeyCustom", "キーカスタマイズ(&K)...", G, 81, agNone, false, erAlways},
    {actMouseCustom, "actMouseCustom", "マウスカスタマイズ(&M)...", G, 82, agNone, false, erAlways},
    {actThumbnail, "actThumbnail", "サムネイルの管理(&T)...", G, 83, agNone, false, erAlways, Shown},
    {actSaveThumbs, "actSaveThumbs", "表示中のサムネイルの保存(&C)", G, 84, agNone, false, erSaveThumbs, Shown},
    {actLoadThumbs, "actLoadThumbs", "サムネイルの一括読込(&B)", G, 85, agNone, false, erLoadThumbs, Shown},

    // Help menu
    {actHelp, "actHelp", "ヘルプ(&H)", G, 0, agNone, false, erHelp, Shown, Later},
    {actVersion, "actVersion", "バージョン情報(&A)", G, 0, agNone, false, erAlways, Shown, Later},

    // The tray icon's menu
    {actTrayRestore, "actTrayRestore", "元に戻す(&D)", G, 0, agNone, false, erAlways},
    {actTrayExit, "actTrayExit", "終了(&X)", G, 0, agNone, false, erAlways},
};

constexpr bool InIdOrder()
{
    for (size_t i = 0; i < std::size(Table); ++i)
        if (static_cast<size_t>(Table[i].Id) != i)
            return false;
    return true;
}
static_assert(InIdOrder(), "the action table follows TActionId");
static_assert(std::size(Table) == static_cast<size_t>(actTrayExit) + 1, "every action has a row");

int IndexIn(TActionId id, TActionId first, TActionId last)
{
    return id >= first && id <= last ? static_cast<int>(id) - static_cast<int>(first) : -1;
}

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

std::string NumberedCaption(int number, std::string_view name)
{
    std::string caption = number >= 10 ? "1&" + std::to_string(number - 10) : "&" + std::to_string(number);
    caption += ": ";
    caption += name;
    return caption;
}

std::string RegAppCaption(int number, std::string_view name)
{
    std::string caption = "&" + std::to_string(number) + ": ";
    caption += name;
    return caption;
}

int RegAppIndex(TActionId id)
{
    return IndexIn(id, actRegApp1, actRegApp10);
}

int UseAppIndex(TActionId id)
{
    return IndexIn(id, actUseApp1, actUseApp5);
}

int FilterIndex(TActionId id)
{
    return IndexIn(id, actFilter1, actFilter10);
}
