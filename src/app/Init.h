#pragma once

// The options of the program: every value the settings file keeps outside
// the window state and the bindings, held in one plain struct grouped by the
// file's sections, plus the tables derived from them. LoadOptions reads them
// (converting keys that older versions wrote), SaveOptions writes them back.
// The struct holds values only, so any owner may copy it to a worker thread;
// the plug-in settings live in the loader registry instead, which is why
// loading and saving take the registry along.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Color.h"
#include "imaging/Stretch.h"
#include "viewer/ViewOptions.h"

class TIniFile;
class TPluginSettingsStore;

// How thumbnails are resampled (THUMBNAIL Stretch); 3 is the area average alone.
enum class TThumbnailStretch : int32_t {
    tsHalfTone = 0,
    tsBilinear = 1,
    tsBicubic = 2,
    tsAreaAverage = 3,
    tsLanczos3 = 4,
};

// The standard step of the slideshow (SLIDESHOW Command).
enum class TSlideShowCommand : int32_t {
    scNextFile = 0,
    scNextOneFile = 1,
    scJump = 2,
    scRandom = 3,
    scPageDown = 4,
    scPageLeftRight = 5,
    scLineDown = 6,
    scLineLeftRight = 7,
};

// The modifier that shows the desktop's context menu in the lists.
enum class TContextMenuKey : int32_t { ckNone = 0, ckShift = 1, ckCtrl = 2, ckShiftCtrl = 3 };

// When typing in a list searches incrementally.
enum class TIncSearchMode : int32_t { imAlways = 0, imWithShift = 1, imWithoutShift = 2 };

// Where opening a folder or an archive also shows a picture.
enum class TOpenLimit : int32_t {
    olAlways = 0,
    olNotFromTree = 1,   // not when the folder was chosen in a tree
    olNotFromFiler = 2,  // only when a command opened it
};

// Which picture opening a folder or an archive shows.
enum class TOpenImageType : int32_t { oiFirst = 0, oiLastOpened = 1, oiMarker = 2 };

// The unit of the file list's size column.
enum class TSizeUnit : int32_t { suKiloBytes = 0, suBytes = 1, suBest = 2 };

// The icon drawn on thumbnails; stored as an unsigned 16-bit number.
enum class TThumbnailIcon : int32_t { tiLarge = 0, tiSmall = 1, tiNone = 65535 };

// How the wheel scrolls the thumbnail view.
enum class TThumbnailScroll : int32_t { twStandard = 0, twOneRow = 1, twOneScreen = 2 };

// Which thumbnails are kept in the thumbnail store.
enum class TThumbnailSave : int32_t { tvNever = 0, tvFirstImage = 1, tvAll = 2 };

// Where the program starts (INITIALIZE InitDirType).
enum class TInitDirType : int32_t { idLastFolder = 0, idInitPath = 1, idInitShelf = 2 };

// The captions of the main tool bar.
enum class TCaptionType : int32_t { ctAllBelow = 0, ctSomeRight = 1, ctNone = 2 };

struct TPictureOptions {
    TStretchMode Stretch = TStretchMode::smLanczos3;
    TColor Back = 0;
    int32_t Offset = 5;
    int32_t Center = 0;
    int32_t ScalingRatio = 25;
    bool RatioChange = false;
    bool SeekToRight = false;
    bool AllSpread = false;
    bool FirstImage = false;
    bool FullScreen = false;
    bool SlideShow = false;
    bool SelectList = true;
    // The picture budget in megapixels: larger pictures are not read at
    // all; pictures above the second are decoded reduced for the fitted view.
    int32_t MaxMegapixels = 512;
    int32_t ReducedMegapixels = 64;
    bool operator==(const TPictureOptions&) const = default;
};

struct TScrollOptions {
    bool ScrollAnimate = false;
    int32_t AnimateSpeed = 2000;
    bool PageScrollByRatio = true;
    int32_t PageScrollRatio = 100;
    int32_t PageScrollQuantity = 300;
    bool PageScrollMove = true;
    TScrollMoveCommand PageScrollMoveCommand = TScrollMoveCommand::mcNextFile;
    bool PageScrollOpposite = true;
    int32_t PageScrollOverLap = 50;
    bool LineScrollByRatio = false;
    int32_t LineScrollRatio = 10;
    int32_t LineScrollQuantity = 10;
    bool LineScrollMove = false;
    TScrollMoveCommand LineScrollMoveCommand = TScrollMoveCommand::mcNextFile;
    bool LineScrollOpposite = false;
    int32_t LineScrollOverLap = 0;
    int32_t DragScrollQuantity = 1;
    bool operator==(const TScrollOptions&) const = default;
};

struct TMouseOptions {
    int32_t WheelCount = 0;
    int32_t EdgeWheelCount = 0;
    bool HideCursor = false;
    bool HideImage = false;
    bool HideFullScreen = false;
    bool HideMotionless = false;
    int32_t MotionlessTime = 30;  // tenths of a second
    bool operator==(const TMouseOptions&) const = default;
};

struct TFullScreenOptions {
    bool MouseMoveShow = true;
    bool DisableShowBar = false;
    bool CloseFullScreen = true;
    bool NoScreenSave = false;
    bool operator==(const TFullScreenOptions&) const = default;
};

struct TGridOptions {
    TColor Color = 0x00FF0000;
    TColor Center = 0x000000FF;
    int32_t Interval = 20;
    int32_t Change = 5;
    bool operator==(const TGridOptions&) const = default;
};

struct TLoupeOptions {
    int32_t Size = 200;
    int32_t Scale = 4;  // index into the magnifications, "原寸" to " x 8"
    int32_t Change = 50;
    bool Hook = false;
    bool Confine = false;
    bool operator==(const TLoupeOptions&) const = default;
};

struct TMoveOptions {
    bool MoveByRatio = true;
    int32_t MoveRatio = 10;
    int32_t MoveCount = 10;
    TEndOfList LastFileMove = TEndOfList::elLoop;
    bool LastToSubFolder = true;
    bool operator==(const TMoveOptions&) const = default;
};

struct TCacheOptions {
    bool ImageCache = true;
    int32_t NextCount = 1;
    int32_t PriorCount = 1;
    bool FileCache = true;
    int32_t FileCacheSize = 10;  // megabytes
    bool operator==(const TCacheOptions&) const = default;
};

struct TSlideShowOptions {
    TSlideShowCommand Command = TSlideShowCommand::scNextFile;
    int32_t Interval = 10;  // tenths of a second
    TColor Color = 0;       // PICTURE Back unless set
    bool operator==(const TSlideShowOptions&) const = default;
};

struct TListOptions {
    bool AutoRefresh = true;
    bool HiddenFile = true;
    bool AllFile = false;
    TContextMenuKey ContextMenu = TContextMenuKey::ckShift;
    bool ClickRename = true;
    bool NoChangeExt = false;
    bool AddExt = false;
    bool DelNoDialog = false;
    bool UndoDelete = true;
    TIncSearchMode IncSearch = TIncSearchMode::imAlways;
    bool NoDragFile = false;
    bool FirstSelect = true;
    bool OpenFolder = false;
    TOpenLimit OpenFolderLimit = TOpenLimit::olAlways;
    bool OpenArchive = true;
    TOpenLimit OpenArchiveLimit = TOpenLimit::olAlways;
    TOpenImageType OpenImageType = TOpenImageType::oiFirst;
    TColor FileColor = clWindow;
    TColor FileText = clWindowText;
    TColor ArchiveColor = 0x00FAECDC;
    TColor ArchiveText = clWindowText;
    TColor SearchColor = 0x00DCFAF9;
    TColor SearchText = clWindowText;
    TColor FolderColor = clWindow;
    TColor FolderText = clWindowText;
    bool GridList = false;
    bool operator==(const TListOptions&) const = default;
};

struct TFilerViewOptions {
    TSizeUnit SizeUnit = TSizeUnit::suKiloBytes;
    bool ExtTypeName = false;
    bool operator==(const TFilerViewOptions&) const = default;
};

struct TArchiveOptions {
    bool Folder = true;
    bool OpenSubFolder = true;
    bool operator==(const TArchiveOptions&) const = default;
};

struct TTreeOptions {
    bool ArchiveNode = true;
    bool AutoCollapse = false;
    bool CheckSubFolders = false;
    bool HorzScroll = true;
    bool operator==(const TTreeOptions&) const = default;
};

struct TThumbnailOptions {
    int32_t Width = 80;
    int32_t Height = 80;
    TThumbnailStretch Stretch = TThumbnailStretch::tsAreaAverage;
    TThumbnailIcon Icon = TThumbnailIcon::tiLarge;
    bool AllThumbnail = false;
    bool CaptionName = true;
    bool CaptionComment = false;
    bool CaptionSize = false;
    bool CaptionDate = false;
    bool CaptionImage = false;
    TThumbnailScroll Scroll = TThumbnailScroll::twStandard;
    TThumbnailSave Save = TThumbnailSave::tvAll;
    // The thumbnail store's folder with a trailing '/'; empty: the data
    // folder's "Thumbnail/".
    std::string Path;
    bool operator==(const TThumbnailOptions&) const = default;
};

// The seven file attributes that can colour a file list row, in the numbering
// of the ATTRCOLOR keys ("Use_0", "Color_0", ...).
enum class TColorAttribute : int32_t {
    caOpenedImage = 0,  // "開いた画像"
    caImage = 1,        // "対応画像"
    caArchive = 2,      // "対応書庫"
    caFolder = 3,       // "フォルダ"
    caReadOnly = 4,     // "読み取り専用"
    caHidden = 5,       // "隠しファイル"
    caSystem = 6,       // "システムファイル"
};
inline constexpr int ColorAttributeCount = 7;

struct TAttrColorOptions {
    bool Use[ColorAttributeCount] = {true, false, false, false, false, false, false};
    TColor Color[ColorAttributeCount] = {0x000000FF,   clWindowText, clWindowText, clWindowText,
                                         clWindowText, clWindowText, clWindowText};
    bool operator==(const TAttrColorOptions&) const = default;
};

// One entry of the extension colours: its key lists extensions separated by
// ";" (".jpg;.jpeg"), kept as the file has it.
struct TExtColorEntry {
    std::string Extensions;
    TColor Color = clWindowText;
    bool Use = true;
    bool operator==(const TExtColorEntry&) const = default;
};

struct TRecentOptions {
    int32_t Count = 10;
    int32_t View = 10;
    bool FullPath = true;
    bool ExceptLast = false;
    int32_t BackCount = 200;
    int32_t BackView = 20;
    int32_t AddressBar = 50;
    int32_t SelectDir = 50;
    int32_t SearchHistory = 50;
    bool operator==(const TRecentOptions&) const = default;
};

struct TInitializeOptions {
    TInitDirType InitDirType = TInitDirType::idLastFolder;
    bool LastImage = false;
    std::string InitPath;
    std::string InitShelf;
    bool operator==(const TInitializeOptions&) const = default;
};

struct TOtherOptions {
    TCaptionType CaptionType = TCaptionType::ctSomeRight;
    bool SmallIcon = false;
    bool FullPath = false;
    bool MinimizeTray = false;
    bool operator==(const TOtherOptions&) const = default;
};

// One entry of the attribute colour list: the first entry that applies to a
// file decides its colour.
struct TAttrColorItem {
    TColorAttribute Attribute = TColorAttribute::caOpenedImage;
    TColor Color = 0;
    bool operator==(const TAttrColorItem&) const = default;
};

// One extension of the extension colour table, upper-cased with its dot
// (".JPG"), as the file list looks it up.
struct TExtColorItem {
    std::string Extension;
    TColor Color = 0;
    bool operator==(const TExtColorItem&) const = default;
};

// The tables the lists draw with, rebuilt from the options after every load
// and whenever the options change.
struct TDerivedOptions {
    // The attribute colours in use, in the order opened image, system,
    // hidden, read-only, folder, supported archive, supported image.
    std::vector<TAttrColorItem> AttrColors;
    // The text colour of the opened image's selected row, drawn on the
    // desktop's highlight colour.
    TColor HighlightText = 0;
    // Sorted by extension; one item per extension.
    std::vector<TExtColorItem> ExtColors;

    // The colour of an extension (with or without its dot, any case), or
    // nullptr when no entry in use names it.
    const TColor* FindExtColor(std::string_view ext) const;
    bool operator==(const TDerivedOptions&) const = default;
};

struct TOptions {
    TPictureOptions Picture;
    TScrollOptions Scroll;
    TMouseOptions Mouse;
    TFullScreenOptions FullScreen;
    TGridOptions Grid;
    TLoupeOptions Loupe;
    TMoveOptions Move;
    TCacheOptions Cache;
    TSlideShowOptions SlideShow;
    TListOptions List;
    TFilerViewOptions FilerView;
    TArchiveOptions Archive;
    TTreeOptions Tree;
    TThumbnailOptions Thumbnail;
    TAttrColorOptions AttrColor;
    std::vector<TExtColorEntry> ExtColors;  // EXTCOLOR and EXTCOLOR_USE, in file order
    TRecentOptions Recent;
    TInitializeOptions Initialize;
    TOtherOptions Other;

    TDerivedOptions Derived;
    bool operator==(const TOptions&) const = default;
};

// Turns a system colour (top byte 0xFF) into the colour the desktop shows for
// it; other colours pass unchanged. The widgets supply one from the desktop
// theme; DefaultSystemColor stands in where there is none.
using TSystemColorResolver = std::function<TColor(TColor)>;
TColor DefaultSystemColor(TColor color);

// The filter sets keep their own section (FILTER) in the settings file. The
// imaging code owns its format and plugs itself in here, so that loading and
// saving the settings take the filter lists along.
class TFilterSettings {
public:
    virtual ~TFilterSettings() = default;
    virtual void ReadFilterSection(const TIniFile& ini) = 0;
    virtual void WriteFilterSection(TIniFile& ini) const = 0;
};

// What loading and saving reach besides the options themselves.
struct TOptionLinks {
    // Where the plug-in settings live (the loader registry in the program,
    // through TRegistryPluginSettings): the PLUGIN sections are handed to it
    // on loading and written from it. nullptr: they are left alone.
    TPluginSettingsStore* Plugins = nullptr;
    TFilterSettings* Filters = nullptr;
    // Resolves system colours for the derived tables; empty: DefaultSystemColor.
    TSystemColorResolver SystemColors;
};

struct TLoadOptionsResult {
    bool Converted = false;   // keys of older versions were converted
    bool Written = false;     // and the file was written back
    std::string WriteError;   // why writing it back failed; empty otherwise
    // The recent files an older settings file kept as numbered RECENT keys
    // (taken out of the file, newest first), for the recent list to take.
    std::vector<std::string> OldRecentEntries;
};

// Reads every option from the settings file's in-memory copy. Keys that older
// versions wrote are converted first; when any was, the file is written back
// (writeConversions false keeps the file as it is, for read-only tools). A
// failed write is reported in the result and never stops the load. Then the
// derived tables are built and the plug-in settings handed over. On the
// user-interface thread; the registry is rebuilt then, so no other thread may
// load pictures meanwhile.
TLoadOptionsResult LoadOptions(TIniFile& ini, TOptions& options, const TOptionLinks& links,
                               bool writeConversions = true);

// Writes every option into the in-memory copy: the PLUGIN sections only with
// withPlugins; EXTCOLOR is rewritten as a whole, EXTCOLOR_USE key by key.
void WriteOptions(TIniFile& ini, const TOptions& options, bool withPlugins, const TOptionLinks& links);
// Which keys of the options a dialog that edits a few of them writes.
using TOptionKeyFilter = std::function<bool(std::string_view section, std::string_view key)>;
// Writes only the options whose section and key wanted accepts, under the
// names the one list of options gives them; every other key stays.
void WriteSomeOptions(TIniFile& ini, const TOptions& options, const TOptionKeyFilter& wanted);
// WriteOptions, then the file is written; raises EFileError when that fails
// (the old file stays as it was).
void SaveOptions(TIniFile& ini, const TOptions& options, bool withPlugins, const TOptionLinks& links);

// Rebuilds options.Derived from the options.
void BuildDerivedOptions(TOptions& options, const TSystemColorResolver& systemColors = {});

// The text colour of the opened image's selected row for an opened-image
// colour (already resolved when it was a system colour): the luminance y of
// the colour is lifted towards white by round(y / 255 * 64 + 191) - y.
TColor HighlightTextColor(TColor resolved);

// The options dialog's own state (section ENV), which stays in the data
// folder's "Mireva.ini" whichever settings file is in use.
struct TOptionsDialogState {
    int32_t Page = 0;          // the page shown last
    std::string CustomColors;  // the colour dialog's custom colours, comma-separated
    bool operator==(const TOptionsDialogState&) const = default;
};
TOptionsDialogState ReadOptionsDialogState(const TIniFile& ini, int32_t pageCount);
void WriteOptionsDialogState(TIniFile& ini, const TOptionsDialogState& state);
