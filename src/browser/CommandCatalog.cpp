#include "browser/CommandCatalog.h"

#include <array>

namespace {

using enum TActionId;
using enum TCommandCategory;
constexpr TCommandGroup General = TCommandGroup::cgGeneral;
constexpr TCommandGroup Image = TCommandGroup::cgImage;
constexpr TCommandGroup Move = TCommandGroup::cgMove;
constexpr TCommandGroup Scroll = TCommandGroup::cgScroll;

constexpr TCatalogEntry GeneralCommands[] = {
    {General, 1, "開く", ccFile, actOpen},
    {General, 2, "全画面表示で開く", ccFile, actF_Open},
    {General, 3, "スライドショーを開始して開く", ccFile, actS_Open},
    {General, 4, "エクスプローラで開く", ccFile, actExplorer},
    {General, 5, "関連付けで開く", ccFile, actExecute},
    {General, 6, "登録アプリケーションの実行－1", ccFile, actRegApp1},
    {General, 7, "登録アプリケーションの実行－2", ccFile, actRegApp2},
    {General, 8, "登録アプリケーションの実行－3", ccFile, actRegApp3},
    {General, 9, "登録アプリケーションの実行－4", ccFile, actRegApp4},
    {General, 10, "登録アプリケーションの実行－5", ccFile, actRegApp5},
    {General, 11, "登録アプリケーションの実行－6", ccFile, actRegApp6},
    {General, 12, "登録アプリケーションの実行－7", ccFile, actRegApp7},
    {General, 13, "登録アプリケーションの実行－8", ccFile, actRegApp8},
    {General, 14, "登録アプリケーションの実行－9", ccFile, actRegApp9},
    {General, 15, "登録アプリケーションの実行－10", ccFile, actRegApp10},
    {General, 16, "アプリケーションの登録", ccFile, actRegister},
    {General, 17, "アプリケーションの選択", ccFile, actSelApplication},
    {General, 18, "動作中のアプリケーションで開く", ccFile, actDropFile},
    {General, 19, "最近開いたファイル", ccFile, actRecentList},
    {General, 20, "しおりを開く", ccFile, actMarker},
    {General, 21, "次のしおりに移動", ccFile, actNextMarker},
    {General, 22, "しおりを保存", ccFile, actSetMark},
    {General, 23, "本棚に追加", ccFile, actSelectShelf},
    {General, 24, "本棚項目の出力", ccFile, actExportShelf},
    {General, 25, "本棚項目の取り込み", ccFile, actImportShelf},
    {General, 26, "存在しない項目を削除", ccFile, actDelNoExists},
    {General, 27, "メディア情報の保存", ccFile, actAddMedia},
    {General, 28, "メディア情報の更新", ccFile, actUpdateMedia},
    {General, 29, "削除", ccFile, actDelete},
    {General, 30, "親フォルダ/書庫を削除", ccFile, actParentDelete},
    {General, 31, "名前の変更", ccFile, actRename},
    {General, 32, "プロパティ", ccFile, actProperties},
    {General, 33, "フォルダの作成", ccFile, actNewFolder},
    {General, 34, "CSV形式で出力", ccFile, actExport},
    {General, 35, "終了", ccFile, actExit},
    {General, 36, "元に戻す", ccEdit, actUndo},
    {General, 37, "切り取り", ccEdit, actCut},
    {General, 38, "コピー", ccEdit, actCopy},
    {General, 39, "貼り付け", ccEdit, actPaste},
    {General, 40, "フォルダへコピー", ccEdit, actCopyToFolder},
    {General, 41, "フォルダへ移動", ccEdit, actMoveToFolder},
    {General, 42, "パスをコピー", ccEdit, actPathCopy},
    {General, 43, "親フォルダのパスをコピー", ccEdit, actParentPathCopy},
    {General, 44, "すべて選択", ccEdit, actAllSelect},
    {General, 45, "ファイルをすべて選択", ccEdit, actFileSelect},
    {General, 46, "画像をすべて選択", ccEdit, actImageSelect},
    {General, 47, "選択の切り替え", ccEdit, actSelectChange},
    {General, 48, "選択の解除", ccEdit, actNoSelect},
    {General, 49, "フォルダ", ccView, actFolder},
    {General, 50, "本棚", ccView, actShelf},
    {General, 51, "メディア", ccView, actMedia},
    {General, 52, "検索", ccView, actSearch},
    {General, 53, "前へ戻る", ccView, actBack},
    {General, 54, "次へ進む", ccView, actForward},
    {General, 55, "次のフォルダ/書庫", ccView, actNextFolder},
    {General, 56, "前のフォルダ/書庫", ccView, actPriorFolder},
    {General, 57, "隣のフォルダ/書庫", ccView, actSiblingFolder},
    {General, 58, "一つ上の階層へ", ccView, actUp},
    {General, 59, "最新の情報に更新", ccView, actRefresh},
    {General, 60, "ファイル表示形式", ccView, actFileViewStyle},
    {General, 61, "ファイル表示形式－一覧", ccView, actFileList},
    {General, 62, "ファイル表示形式－サムネイル", ccView, actFileThumb},
    {General, 63, "ファイル表示形式－サムネイル詳細", ccView, actFileDetail},
    {General, 64, "ファイルの並び順", ccView, actSortMenu},
    {General, 65, "ファイルマスク", ccView, actFileMask},
    {General, 66, "ファイル表示位置の切り替え", ccView, actFileView},
    {General, 67, "画像表示を分離", ccView, actViewForm},
    {General, 68, "全画面表示", ccView, actFullScreen},
    {General, 69, "タスクトレイ収納", ccView, actTaskTray},
    {General, 70, "ファイル表示", ccView, actFile},
    {General, 71, "ツリー表示", ccView, actTree},
    {General, 72, "メインバー表示", ccView, actMainToolBar},
    {General, 73, "アドレスバー表示", ccView, actAddressBar},
    {General, 74, "ステータスバー表示", ccView, actStatusBar},
    {General, 75, "メニュー表示", ccView, actMenu},
    {General, 76, "設定", ccOption, actEnv},
    {General, 77, "プラグイン設定", ccOption, actPlugin},
    {General, 78, "設定の保存", ccOption, actSaveSetting},
    {General, 79, "設定の読み込み", ccOption, actLoadSetting},
    {General, 80, "設定の切り替え", ccOption, actChangeSetting},
    {General, 81, "キーカスタマイズ", ccOption, actKeyCustom},
    {General, 82, "マウスカスタマイズ", ccOption, actMouseCustom},
    {General, 83, "サムネイルの管理", ccOption, actThumbnail},
    {General, 84, "表示中のサムネイルの保存", ccOption, actSaveThumbs},
    {General, 85, "サムネイルの一括読込", ccOption, actLoadThumbs},
};

constexpr TCatalogEntry ImageCommands[] = {
    {Image, 1, "閉じる", ccFile, actClose},
    {Image, 2, "クリップボードにコピー", ccEdit, actClipBoard},
    {Image, 3, "一覧で選択", ccEdit, actSelImage},
    {Image, 4, "一覧の選択を解除", ccEdit, actNotSelImage},
    {Image, 5, "スライドショー", ccMove, actSlideShow},
    {Image, 6, "スライドショー動作－次のファイル", ccMove, actSlideNext},
    {Image, 7, "スライドショー動作－ひとつ次のファイル", ccMove, actSlideS_Next},
    {Image, 8, "スライドショー動作－ジャンプ", ccMove, actSlideJ_Next},
    {Image, 9, "スライドショー動作－ランダム移動", ccMove, actSlideR_Next},
    {Image, 10, "スライドショー動作－大スクロール下", ccMove, actSlidePageV},
    {Image, 11, "スライドショー動作－大スクロール左/右", ccMove, actSlidePageH},
    {Image, 12, "スライドショー動作－小スクロール下", ccMove, actSlideLineV},
    {Image, 13, "スライドショー動作－小スクロール左/右", ccMove, actSlideLineH},
    {Image, 14, "画像表示形式", ccImage, actSpreadChange},
    {Image, 15, "画像表示形式－自動判定", ccImage, actAuto},
    {Image, 16, "画像表示形式－単ページ", ccImage, actSingle},
    {Image, 17, "画像表示形式－見開き", ccImage, actSpread},
    {Image, 18, "綴じ方向", ccImage, actBindChange},
    {Image, 19, "ウィンドウに合わせる", ccImage, actWindowChange},
    {Image, 20, "ウィンドウに合わせる－全体を表示", ccImage, actWinAll},
    {Image, 21, "ウィンドウに合わせる－幅に合わせる", ccImage, actWinWidth},
    {Image, 22, "ウィンドウに合わせる－高さに合わせる", ccImage, actWinHeight},
    {Image, 23, "拡大はしない", ccImage, actNoEnlarge},
    {Image, 24, "2枚の高さを揃える", ccImage, actEqualHeight},
    {Image, 25, "2枚の倍率を等しくする", ccImage, actEqualRatio},
    {Image, 26, "2枚の結合部を中心に固定", ccImage, actCenter},
    {Image, 27, "高さ＞幅の場合は高さの１/2を基準にする", ccImage, actHalfV},
    {Image, 28, "高さ＜幅の場合は幅の１/2を基準にする", ccImage, actHalfH},
    {Image, 29, "表示倍率の指定", ccImage, actRatioChange},
    {Image, 30, "表示倍率の指定（逆順）", ccImage, actRatioChangeRev},
    {Image, 31, "表示倍率の指定－25%", ccImage, act25},
    {Image, 32, "表示倍率の指定－50%", ccImage, act50},
    {Image, 33, "表示倍率の指定－75%", ccImage, act75},
    {Image, 34, "表示倍率の指定－100%", ccImage, act100},
    {Image, 35, "表示倍率の指定－150%", ccImage, act150},
    {Image, 36, "表示倍率の指定－200%", ccImage, act200},
    {Image, 37, "表示倍率の指定－300%", ccImage, act300},
    {Image, 38, "表示倍率の指定－400%", ccImage, act400},
    {Image, 39, "表示倍率の指定－800%", ccImage, act800},
    {Image, 40, "倍率の入力", ccImage, actSetRatio},
    {Image, 41, "サイズの指定", ccImage, actImageSize},
    {Image, 42, "拡大", ccImage, actEnlarge},
    {Image, 43, "縮小", ccImage, actShrink},
    {Image, 44, "実サイズで表示", ccImage, actDefSize},
    {Image, 45, "フィルタ－なし", ccImage, actFilterNone},
    {Image, 46, "フィルタ－1", ccImage, actFilter1},
    {Image, 47, "フィルタ－2", ccImage, actFilter2},
    {Image, 48, "フィルタ－3", ccImage, actFilter3},
    {Image, 49, "フィルタ－4", ccImage, actFilter4},
    {Image, 50, "フィルタ－5", ccImage, actFilter5},
    {Image, 51, "フィルタ－6", ccImage, actFilter6},
    {Image, 52, "フィルタ－7", ccImage, actFilter7},
    {Image, 53, "フィルタ－8", ccImage, actFilter8},
    {Image, 54, "フィルタ－9", ccImage, actFilter9},
    {Image, 55, "フィルタ－10", ccImage, actFilter10},
    {Image, 56, "フィルタの設定", ccImage, actFilterSet},
    {Image, 57, "回転・反転", ccImage, actRotateChange},
    {Image, 58, "回転－なし", ccImage, actRotateNone},
    {Image, 59, "回転－右90°", ccImage, actR90},
    {Image, 60, "回転－左90°", ccImage, actL90},
    {Image, 61, "回転－180°", ccImage, act180},
    {Image, 62, "回転－上下反転", ccImage, actReverseV},
    {Image, 63, "回転－左右反転", ccImage, actReverseH},
    {Image, 64, "縦画像のみ回転", ccImage, actAutoRotate},
    {Image, 65, "常に手前に表示", ccView, actStayOnTop},
    {Image, 66, "イメージバー表示", ccView, actImageToolBar},
    {Image, 67, "シークバー表示", ccView, actSeekBar},
    {Image, 68, "メニュー表示", ccView, actImageMenu},
    {Image, 69, "ルーペの表示", ccOption, actLoupe},
    {Image, 70, "ルーペサイズの拡大", ccOption, actLoupeSizeEnlarge},
    {Image, 71, "ルーペサイズの縮小", ccOption, actLoupeSizeShrink},
    {Image, 72, "ルーペ倍率の拡大", ccOption, actLoupeRatioEnlarge},
    {Image, 73, "ルーペ倍率の縮小", ccOption, actLoupeRatioShrink},
    {Image, 74, "グリッドの表示", ccOption, actGrid},
    {Image, 75, "グリッド間隔の拡大", ccOption, actGridEnlarge},
    {Image, 76, "グリッド間隔の縮小", ccOption, actGridShrink},
};

constexpr TCatalogEntry MoveCommands[] = {
    {Move, 1, "最初のファイル", ccMove, actFirst},
    {Move, 2, "次のファイル", ccMove, actNext},
    {Move, 3, "前のファイル", ccMove, actPrior},
    {Move, 4, "ひとつ次のファイル", ccMove, actS_Next},
    {Move, 5, "ひとつ前のファイル", ccMove, actS_Prior},
    {Move, 6, "最後のファイル", ccMove, actLast},
    {Move, 7, "ジャンプ", ccMove, actJ_Next},
    {Move, 8, "前へジャンプ", ccMove, actJ_Prior},
    {Move, 9, "ランダム移動", ccMove, actR_Next},
    {Move, 10, "前へランダム移動", ccMove, actR_Prior},
};

constexpr TCatalogEntry ScrollCommands[] = {
    {Scroll, 1, "大スクロール－上", ccScroll, std::nullopt},
    {Scroll, 2, "大スクロール－下", ccScroll, std::nullopt},
    {Scroll, 3, "大スクロール－左", ccScroll, std::nullopt},
    {Scroll, 4, "大スクロール－右", ccScroll, std::nullopt},
    {Scroll, 5, "小スクロール－上", ccScroll, std::nullopt},
    {Scroll, 6, "小スクロール－下", ccScroll, std::nullopt},
    {Scroll, 7, "小スクロール－左", ccScroll, std::nullopt},
    {Scroll, 8, "小スクロール－右", ccScroll, std::nullopt},
    {Scroll, 9, "原点にスクロール", ccScroll, std::nullopt},
    {Scroll, 10, "原点の縦対称にスクロール", ccScroll, std::nullopt},
    {Scroll, 11, "原点の横対称にスクロール", ccScroll, std::nullopt},
    {Scroll, 12, "原点の対角にスクロール", ccScroll, std::nullopt},
};

constexpr std::array<std::span<const TCatalogEntry>, CommandGroupCount> Groups = {
    GeneralCommands, ImageCommands, MoveCommands, ScrollCommands};

// The settings file and the mouse bindings store the numbers; a row out of
// place would rebind every later command.
template <size_t N>
constexpr bool Numbered(const TCatalogEntry (&rows)[N], TCommandGroup group)
{
    for (size_t i = 0; i < N; ++i)
        if (rows[i].Number != static_cast<int>(i) + 1 || rows[i].Group != group)
            return false;
    return true;
}
static_assert(Numbered(GeneralCommands, General) && std::size(GeneralCommands) == 85);
static_assert(Numbered(ImageCommands, Image) && std::size(ImageCommands) == 76);
static_assert(Numbered(MoveCommands, Move) && std::size(MoveCommands) == 10);
static_assert(Numbered(ScrollCommands, Scroll) && std::size(ScrollCommands) == 12);

}  // namespace

int CommandCount(TCommandGroup group)
{
    return static_cast<int>(CatalogGroup(group).size());
}

std::span<const TCatalogEntry> CatalogGroup(TCommandGroup group)
{
    return Groups[static_cast<size_t>(group)];
}

const TCatalogEntry* FindCatalogEntry(TCommandGroup group, int number)
{
    const std::span<const TCatalogEntry> rows = CatalogGroup(group);
    if (number < 1 || number > static_cast<int>(rows.size()))
        return nullptr;
    return &rows[static_cast<size_t>(number - 1)];
}

const TCatalogEntry* FindCatalogEntry(TActionId action)
{
    for (const std::span<const TCatalogEntry> rows : Groups)
        for (const TCatalogEntry& entry : rows)
            if (entry.Action == action)
                return &entry;
    return nullptr;
}

std::string_view CategoryName(TCommandCategory category)
{
    switch (category) {
    case ccFile: return "ファイル";
    case ccEdit: return "編集";
    case ccView: return "表示";
    case ccOption: return "オプション";
    case ccMove: return "移動";
    case ccImage: return "イメージ";
    case ccScroll: return "スクロール";
    }
    return {};
}

std::string_view GroupName(TCommandGroup group)
{
    switch (group) {
    case TCommandGroup::cgGeneral: return "GENERAL";
    case TCommandGroup::cgImage: return "IMAGE";
    case TCommandGroup::cgMove: return "MOVE";
    case TCommandGroup::cgScroll: return "SCROLL";
    }
    return {};
}
