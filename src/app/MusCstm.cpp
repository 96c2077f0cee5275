#include "app/MusCstm.h"

#include "app/Init.h"

#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/IniFile.h"
#include "common/Text.h"
#include "platform/FileSystem.h"

namespace {

constexpr std::string_view InfoSection = "MOUSECUSTOMINFO";
constexpr std::string_view DivideSection = "MOUSEDIVIDE";
constexpr std::string_view CommandSection = "MOUSECOMMAND";
constexpr std::string_view TargetSection = "LISTTARGET";
constexpr std::string_view ListCommandSection = "LISTCOMMAND";
constexpr std::string_view RightPopupKey = "RightPopup";

constexpr std::string_view OperationNames[MouseOperationCount] = {
    "左クリック",         "左ダブルクリック",         "右クリック",          "右ダブルクリック",
    "ホイールクリック",   "ホイールダブルクリック",   "拡張ボタン1クリック", "拡張ボタン1ダブルクリック",
    "拡張ボタン2クリック", "拡張ボタン2ダブルクリック", "ホイール上回転",      "ホイール下回転",
    "ドラッグ",
};

constexpr std::string_view VariantNames[] = {
    "", "＋左ボタン", "＋右ボタン", "＋ホイールボタン", "＋拡張ボタン1", "＋拡張ボタン2", "＋Ctrl", "＋Shift",
    "＋Shift+Ctrl",
};

constexpr std::string_view MouseItemCaptions[MouseItemCount] = {
    "画像(&P)", "フォルダ(&F)", "書庫(&A)", "その他(&T)", "選択なし(&N)",
};

// Index 0 is "no command".
constexpr std::string_view ImageCommandNames[ImageMouseCommandCount + 1] = {
    "",
    // 1..20 file commands
    "関連付けで開く", "登録アプリケーションの実行－1", "登録アプリケーションの実行－2",
    "登録アプリケーションの実行－3", "登録アプリケーションの実行－4", "登録アプリケーションの実行－5",
    "登録アプリケーションの実行－6", "登録アプリケーションの実行－7", "登録アプリケーションの実行－8",
    "登録アプリケーションの実行－9", "登録アプリケーションの実行－10", "アプリケーションの選択",
    "動作中のアプリケーションで開く", "閉じる", "次のしおりに移動", "しおりを保存", "削除", "親フォルダ/書庫を削除",
    "名前の変更", "プロパティ",
    // 21..28 edit commands
    "コピー", "クリップボードにコピー", "フォルダへコピー", "フォルダへ移動", "パスをコピー", "親フォルダのパスをコピー",
    "一覧で選択", "一覧の選択を解除",
    // 29..37 the slideshow
    "スライドショー", "スライドショー動作－次のファイル", "スライドショー動作－ひとつ次のファイル",
    "スライドショー動作－ジャンプ", "スライドショー動作－ランダム移動", "スライドショー動作－大スクロール下",
    "スライドショー動作－大スクロール左/右", "スライドショー動作－小スクロール下",
    "スライドショー動作－小スクロール左/右",
    // 38..47 moves
    "最初のファイル", "次のファイル", "前のファイル", "ひとつ次のファイル", "ひとつ前のファイル", "最後のファイル",
    "ジャンプ", "前へジャンプ", "ランダム移動", "前へランダム移動",
    // 48..98 image commands
    "画像表示形式", "画像表示形式－自動判定", "画像表示形式－単ページ", "画像表示形式－見開き", "綴じ方向",
    "ウィンドウに合わせる", "ウィンドウに合わせる－全体を表示", "ウィンドウに合わせる－幅に合わせる",
    "ウィンドウに合わせる－高さに合わせる", "拡大はしない", "2枚の高さを揃える", "2枚の倍率を等しくする",
    "2枚の結合部を中心に固定", "高さ＞幅の場合は高さの１/2を基準にする", "高さ＜幅の場合は幅の１/2を基準にする",
    "表示倍率の指定", "表示倍率の指定（逆順）", "表示倍率の指定－25%", "表示倍率の指定－50%", "表示倍率の指定－75%",
    "表示倍率の指定－100%", "表示倍率の指定－150%", "表示倍率の指定－200%", "表示倍率の指定－300%",
    "表示倍率の指定－400%", "表示倍率の指定－800%", "倍率の入力", "サイズの指定", "拡大", "縮小", "実サイズで表示",
    "フィルタ－なし", "フィルタ－1", "フィルタ－2", "フィルタ－3", "フィルタ－4", "フィルタ－5", "フィルタ－6",
    "フィルタ－7", "フィルタ－8", "フィルタ－9", "フィルタ－10", "フィルタの設定", "回転・反転", "回転－なし",
    "回転－右90°", "回転－左90°", "回転－180°", "回転－上下反転", "回転－左右反転", "縦画像のみ回転",
    // 99..110 view commands
    "次のフォルダ/書庫", "前のフォルダ/書庫", "隣のフォルダ/書庫", "一つ上の階層へ", "最新の情報に更新",
    "画像表示を分離", "全画面表示", "常に手前に表示", "タスクトレイ収納", "イメージバー表示", "シークバー表示",
    "メニュー表示",
    // 111..118 loupe and grid
    "ルーペの表示", "ルーペサイズの拡大", "ルーペサイズの縮小", "ルーペ倍率の拡大", "ルーペ倍率の縮小",
    "グリッドの表示", "グリッド間隔の拡大", "グリッド間隔の縮小",
    // 119..130 scrolls
    "大スクロール－上", "大スクロール－下", "大スクロール－左", "大スクロール－右", "小スクロール－上",
    "小スクロール－下", "小スクロール－左", "小スクロール－右", "原点にスクロール", "原点の縦対称にスクロール",
    "原点の横対称にスクロール", "原点の対角にスクロール",
};

constexpr std::string_view DragCommandNames[DragMouseCommandCount + 1] = {
    "", "スクロール", "スクロール（逆方向）", "範囲選択で拡大/縮小",
};

constexpr std::string_view ListCommandNames[ListMouseCommandCount + 1] = {
    "",
    // 1..23 file commands
    "開く", "全画面表示で開く", "スライドショーを開始して開く", "エクスプローラで開く", "関連付けで開く",
    "登録アプリケーションの実行－1", "登録アプリケーションの実行－2", "登録アプリケーションの実行－3",
    "登録アプリケーションの実行－4", "登録アプリケーションの実行－5", "登録アプリケーションの実行－6",
    "登録アプリケーションの実行－7", "登録アプリケーションの実行－8", "登録アプリケーションの実行－9",
    "登録アプリケーションの実行－10", "アプリケーションの選択", "動作中のアプリケーションで開く", "本棚に追加", "削除",
    "親フォルダ/書庫を削除", "名前の変更", "プロパティ", "フォルダの作成",
    // 24..36 edit commands
    "元に戻す", "切り取り", "コピー", "貼り付け", "フォルダへコピー", "フォルダへ移動", "パスをコピー",
    "親フォルダのパスをコピー", "すべて選択", "ファイルをすべて選択", "画像をすべて選択", "選択の切り替え",
    "選択の解除",
    // 37..63 view commands
    "フォルダ", "本棚", "メディア", "検索", "前へ戻る", "次へ進む", "次のフォルダ/書庫", "前のフォルダ/書庫",
    "隣のフォルダ/書庫", "一つ上の階層へ", "最新の情報に更新", "ファイル表示形式", "ファイル表示形式－一覧",
    "ファイル表示形式－プレビュー", "ファイル表示形式－プレビュー詳細", "ファイルの並び順", "ファイルマスク",
    "ファイル表示位置の切り替え", "画像表示を分離", "全画面表示", "タスクトレイ収納", "ファイル表示", "ツリー表示",
    "メインバー表示", "アドレスバー表示", "ステータスバー表示", "メニュー表示",
    // 64..66 selection commands
    "Shift＋選択", "Ctrl＋選択", "Shift+Ctrl+選択",
};

constexpr TMouseCategory ImageCategories[] = {
    {"すべて", 1, ImageMouseCommandCount}, {"ファイル", 1, 20}, {"編集", 21, 28}, {"移動", 29, 47},
    {"イメージ", 48, 98}, {"表示", 99, 110}, {"オプション", 111, 118}, {"スクロール", 119, 130},
};

constexpr TMouseCategory ListCategories[] = {
    {"すべて", 1, ListMouseCommandCount}, {"ファイル", 1, 23}, {"編集", 24, 36}, {"表示", 37, 63},
    {"その他", 64, 66},
};

// The variants the file list binds for each operation it has: the left
// button's operations only with another button held (Shift and Ctrl select
// there), the others with anything but the right button.
constexpr TMouseVariant LeftListVariants[] = {TMouseVariant::mvNone, TMouseVariant::mvWheel, TMouseVariant::mvX1,
                                              TMouseVariant::mvX2};

constexpr int ImageEntryOf(TMouseOperation op, int position)
{
    return static_cast<int>(op) * 8 + 1 + position;
}

// The position of a variant among an operation's allowed variants (0 for
// none, 1..7 otherwise); -1 when excluded.
int VariantPosition(TMouseOperation op, TMouseVariant variant)
{
    if (variant == TMouseVariant::mvNone)
        return 0;
    const TMouseVariant excluded = ExcludedVariant(op);
    if (variant == excluded)
        return -1;
    int position = static_cast<int>(variant);
    if (excluded != TMouseVariant::mvNone && variant > excluded)
        --position;
    return position;
}

// A stored number outside its catalogue (a hand edit, a damaged file or a
// newer version's command) would run some other command: it reads as none.
int InCatalogue(int command, int count)
{
    return command >= 1 && command <= count ? command : 0;
}

template <size_t N>
void ParseCommands(const std::string& text, std::array<int, N>& commands, int count)
{
    commands.fill(0);
    const std::vector<std::string> items = SplitString(text, ',');
    for (size_t i = 0; i < N && i < items.size(); ++i)
        commands[i] = InCatalogue(TryStrToInt(Trim(items[i])).value_or(0), count);
}

template <size_t N>
std::string JoinCommands(const std::array<int, N>& commands)
{
    std::string text;
    for (size_t i = 0; i < N; ++i) {
        if (i > 0)
            text += ", ";
        text += std::to_string(commands[i]);
    }
    return text;
}

// Copies the separate file of older versions into the settings file.
void MergeOldFile(TIniFile& ini, const TIniFile& old)
{
    for (const std::string& section : old.ReadSections()) {
        std::string_view target = DivideSection;
        if (SameText(section, "INFO"))
            target = InfoSection;
        else if (SameText(section, "COMMAND"))
            target = CommandSection;
        for (const auto& [key, value] : old.ReadSectionValues(section))
            if (TIniFile::IsValidKeyName(key))
                ini.WriteString(target, key, value);
    }
}

}  // namespace

std::string_view MouseOperationName(TMouseOperation op)
{
    return OperationNames[static_cast<size_t>(op)];
}

std::string_view MouseVariantName(TMouseVariant variant)
{
    return VariantNames[static_cast<size_t>(variant)];
}

TMouseVariant ExcludedVariant(TMouseOperation op)
{
    using enum TMouseOperation;
    switch (op) {
    case moLeftClick:
    case moLeftDouble:
    case moDrag: return TMouseVariant::mvLeft;
    case moRightClick:
    case moRightDouble: return TMouseVariant::mvRight;
    case moWheelClick:
    case moWheelDouble:
    case moWheelUp:
    case moWheelDown: return TMouseVariant::mvWheel;
    case moX1Click:
    case moX1Double: return TMouseVariant::mvX1;
    case moX2Click:
    case moX2Double: return TMouseVariant::mvX2;
    }
    return TMouseVariant::mvNone;
}

TMouseVariant VariantOf(TMouseOperation op, const TMouseHeld& held)
{
    // The operation's own button is down during its double click (and a
    // drag's left button throughout): it is not "held" on top.
    const TMouseVariant excluded = ExcludedVariant(op);
    const std::pair<bool, TMouseVariant> buttons[] = {
        {held.Left, TMouseVariant::mvLeft}, {held.Right, TMouseVariant::mvRight},
        {held.Wheel, TMouseVariant::mvWheel}, {held.X1, TMouseVariant::mvX1}, {held.X2, TMouseVariant::mvX2},
    };
    for (const auto& [down, variant] : buttons)
        if (down && variant != excluded)
            return variant;
    if (held.Shift && held.Ctrl)
        return TMouseVariant::mvShiftCtrl;
    if (held.Ctrl)
        return TMouseVariant::mvCtrl;
    if (held.Shift)
        return TMouseVariant::mvShift;
    return TMouseVariant::mvNone;
}

int ImageMouseEntry(TMouseOperation op, TMouseVariant variant)
{
    const int position = VariantPosition(op, variant);
    return position < 0 ? 0 : ImageEntryOf(op, position);
}

TQuarter QuarterOf(int x, int y, int width, int height)
{
    const bool right = x > width / 2;
    const bool bottom = y > height / 2;
    return static_cast<TQuarter>((bottom ? 2 : 0) + (right ? 1 : 0));
}

bool IsDragEntry(int entry)
{
    return entry >= ImageEntryOf(TMouseOperation::moDrag, 0) && entry <= ImageMouseEntryCount;
}

int ListMouseEntry(TMouseOperation op, TMouseVariant variant)
{
    using enum TMouseOperation;
    switch (op) {
    case moLeftClick:
    case moLeftDouble: {
        const int base = op == moLeftClick ? 1 : 5;
        for (size_t i = 0; i < std::size(LeftListVariants); ++i)
            if (LeftListVariants[i] == variant)
                return base + static_cast<int>(i);
        return 0;
    }
    case moWheelClick:
    case moWheelDouble:
    case moX1Click:
    case moX1Double:
    case moX2Click:
    case moX2Double: {
        if (variant == TMouseVariant::mvRight)
            return 0;
        int position = VariantPosition(op, variant);
        if (position < 0)
            return 0;
        // The right button is left out as well: the variants after it move
        // up once more.
        if (variant > TMouseVariant::mvRight)
            --position;
        const int block = static_cast<int>(op) - static_cast<int>(moWheelClick);
        return 9 + block * 7 + position;
    }
    default: return 0;
    }
}

std::string_view MouseItemCaption(TMouseItem kind)
{
    return MouseItemCaptions[static_cast<size_t>(kind)];
}

std::string_view ImageMouseCommandName(int command)
{
    return ImageCommandNames[static_cast<size_t>(InCatalogue(command, ImageMouseCommandCount))];
}

std::string_view DragMouseCommandName(int command)
{
    return DragCommandNames[static_cast<size_t>(InCatalogue(command, DragMouseCommandCount))];
}

std::string_view ListMouseCommandName(int command)
{
    return ListCommandNames[static_cast<size_t>(InCatalogue(command, ListMouseCommandCount))];
}

std::span<const TMouseCategory> ImageMouseCategories()
{
    return ImageCategories;
}

std::span<const TMouseCategory> ListMouseCategories()
{
    return ListCategories;
}

int TMouseBindings::ImageCommand(TMouseOperation op, const TMouseHeld& held, int x, int y, int width,
                                 int height) const
{
    const bool right = op == TMouseOperation::moRightClick || op == TMouseOperation::moRightDouble;
    if (right && RightPopup)
        return 0;
    const int entry = ImageMouseEntry(op, VariantOf(op, held));
    if (entry == 0)
        return 0;
    const TImageMouseEntry& e = ImageEntry(entry);
    if (!e.Divide)
        return e.Commands[0];
    return e.Commands[static_cast<size_t>(QuarterOf(x, y, width, height))];
}

int TMouseBindings::ListCommand(TMouseOperation op, const TMouseHeld& held, TMouseItem kind) const
{
    const int entry = ListMouseEntry(op, VariantOf(op, held));
    if (entry == 0)
        return 0;
    const TListMouseEntry& e = ListEntry(entry);
    return e.Target ? e.Commands[static_cast<size_t>(kind)] : e.Commands[0];
}

TMouseBindings DefaultMouseBindings()
{
    TMouseBindings b;
    using enum TMouseOperation;
    using enum TMouseVariant;
    b.ImageEntry(ImageMouseEntry(moLeftDouble, mvNone)).Commands[0] = 105;  // 全画面表示
    b.ImageEntry(ImageMouseEntry(moWheelClick, mvNone)).Commands[0] = 111;  // ルーペの表示
    b.ImageEntry(ImageMouseEntry(moWheelUp, mvNone)).Commands[0] = 40;      // 前のファイル
    b.ImageEntry(ImageMouseEntry(moWheelUp, mvCtrl)).Commands[0] = 42;      // ひとつ前のファイル
    b.ImageEntry(ImageMouseEntry(moWheelDown, mvNone)).Commands[0] = 39;    // 次のファイル
    b.ImageEntry(ImageMouseEntry(moWheelDown, mvCtrl)).Commands[0] = 41;    // ひとつ次のファイル
    b.ImageEntry(ImageMouseEntry(moDrag, mvNone)).Commands[0] = 1;          // スクロール
    b.ListEntry(ListMouseEntry(moLeftDouble, mvNone)).Commands[0] = ListOpenCommand;
    return b;
}

TMouseBindings ReadMouseBindings(const TIniFile& ini)
{
    const TMouseBindings defaults = DefaultMouseBindings();
    TMouseBindings b;
    // Commands stored under another layout would mean other commands:
    // they give way to the defaults.
    const bool currentLayout = ini.ReadInteger(InfoSection, "Version", 0) == MouseLayoutVersion;
    for (int n = 1; n <= ImageMouseEntryCount; ++n) {
        const std::string key = std::to_string(n);
        TImageMouseEntry& e = b.ImageEntry(n);
        e.Divide = ini.ReadBool(DivideSection, key, false);
        const std::optional<std::string> stored =
            currentLayout ? ini.Find(CommandSection, key) : std::optional<std::string>{};
        if (stored)
            ParseCommands(*stored, e.Commands, IsDragEntry(n) ? DragMouseCommandCount : ImageMouseCommandCount);
        else
            e.Commands = defaults.ImageEntry(n).Commands;
    }
    for (int n = 1; n <= ListMouseEntryCount; ++n) {
        const std::string key = std::to_string(n);
        TListMouseEntry& e = b.ListEntry(n);
        e.Target = ini.ReadBool(TargetSection, key, false);
        if (const std::optional<std::string> stored = ini.Find(ListCommandSection, key))
            ParseCommands(*stored, e.Commands, ListMouseCommandCount);
        else
            e.Commands = defaults.ListEntry(n).Commands;
    }
    b.RightPopup = currentLayout ? ini.ReadBool(CommandSection, RightPopupKey, true) : true;
    return b;
}

std::string LoadMouseBindings(TIniFile& ini, const std::string& programFolder, TMouseBindings& bindings)
{
    std::string writeError;
    const std::string oldPath = JoinPath(programFolder, OldMouseFileName);
    if (FileExists(oldPath)) {
        const TIniFile old(oldPath);
        if (old.ReadError().empty()) {
            MergeOldFile(ini, old);
            // The old file is the only copy of these bindings until the
            // merged settings are on disk: it goes only after that.
            try {
                ini.UpdateFile();
                DeleteFile(oldPath);
            } catch (const EMirevaError& e) {
                writeError = e.what();
            }
        }
    }
    if (ini.ReadInteger(InfoSection, "Version", 0) != MouseLayoutVersion)
        ini.EraseSection(CommandSection);
    bindings = ReadMouseBindings(ini);
    return writeError;
}

TMouseBindings MouseBindingsInEffect(TIniFile ini, const std::string& programFolder)
{
    const std::string oldPath = JoinPath(programFolder, OldMouseFileName);
    if (FileExists(oldPath)) {
        const TIniFile old(oldPath);
        if (old.ReadError().empty())
            MergeOldFile(ini, old);
    }
    return ReadMouseBindings(ini);
}

void WriteMouseBindings(TIniFile& ini, const TMouseBindings& bindings)
{
    ini.WriteInteger(InfoSection, "Version", MouseLayoutVersion);
    for (int n = 1; n <= ImageMouseEntryCount; ++n) {
        const std::string key = std::to_string(n);
        ini.WriteBool(DivideSection, key, bindings.ImageEntry(n).Divide);
        ini.WriteString(CommandSection, key, JoinCommands(bindings.ImageEntry(n).Commands));
    }
    ini.WriteBool(CommandSection, RightPopupKey, bindings.RightPopup);
    for (int n = 1; n <= ListMouseEntryCount; ++n) {
        const std::string key = std::to_string(n);
        ini.WriteBool(TargetSection, key, bindings.ListEntry(n).Target);
        ini.WriteString(ListCommandSection, key, JoinCommands(bindings.ListEntry(n).Commands));
    }
}

namespace {


}  // namespace

void SaveMouseBindings(TIniFile& ini, const TMouseBindings& bindings, const TScrollOptions& scroll,
                       const TMouseOptions& mouse)
{
    WriteMouseBindings(ini, bindings);
    TOptions options;
    options.Scroll = scroll;
    options.Mouse = mouse;
    // The scroll and wheel options the mouse dialog edits, and nothing else.
    WriteSomeOptions(ini, options, [](std::string_view section, std::string_view key) {
        if (section == "SCROLL")
            return key.starts_with("PageScroll") || key.starts_with("LineScroll") || key == "DragScrollQuantity";
        return section == "MOUSE" && (key == "WheelCount" || key == "EdgeWheelCount");
    });
    ini.UpdateFile();
}
