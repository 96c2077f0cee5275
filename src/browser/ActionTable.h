#pragma once

// The browser window's commands as one table: every action the window's
// menus, bars, keys, tray and the snapshot's "--run" list can run, with its
// name ("actNext"), its menu caption, its list and number in the key
// catalogue, the radio group it belongs to, the rule that enables it and
// whether the program can carry it out yet. Menus, key routing and the
// command line all look actions up here, so a new command is one row. What
// an action does is the business of its runner (TViewActions for the image
// view); when it may run is ActionRules'.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

enum class TActionId : uint16_t {
    // File menu
    actOpen,
    actOpenFolder,
    actOpenEx,
    actF_Open,
    actS_Open,
    actExplorer,
    actExecute,
    actApplication,
    actRegApp1,
    actRegApp2,
    actRegApp3,
    actRegApp4,
    actRegApp5,
    actRegApp6,
    actRegApp7,
    actRegApp8,
    actRegApp9,
    actRegApp10,
    actRegister,
    actUseApp1,
    actUseApp2,
    actUseApp3,
    actUseApp4,
    actUseApp5,
    actSelApplication,
    actDropFile,
    actRecentFile,
    actRecentList,
    actClose,
    actMarker,
    actNextMarker,
    actSetMark,
    actAddShelf,
    actNewShelf,
    actSelectShelf,
    actExportShelf,
    actImportShelf,
    actDelNoExists,
    actAddMedia,
    actUpdateMedia,
    actDelete,
    actParentDelete,
    actRename,
    actProperties,
    actNewFolder,
    actExport,
    actExit,
    // Edit menu
    actUndo,
    actCut,
    actCopy,
    actPaste,
    actCopyToFolder,
    actMoveToFolder,
    actClipBoard,
    actPathCopy,
    actParentPathCopy,
    actAllSelect,
    actFileSelect,
    actImageSelect,
    actSelectChange,
    actNoSelect,
    actSelImage,
    actNotSelImage,
    // Move menu: the slideshow, then the moves in the order of the move
    // commands
    actSlideShow,
    actSlideNext,
    actSlideS_Next,
    actSlideJ_Next,
    actSlideR_Next,
    actSlidePageV,
    actSlidePageH,
    actSlideLineV,
    actSlideLineH,
    actFirst,
    actNext,
    actPrior,
    actS_Next,
    actS_Prior,
    actLast,
    actJ_Next,
    actJ_Prior,
    actR_Next,
    actR_Prior,
    // Image menu: view mode and binding
    actSpreadChange,
    actAuto,
    actSingle,
    actSpread,
    actBindChange,
    actBindRight,
    actBindLeft,
    // fitting and layout options
    actWindowChange,
    actWindow,
    actWinAll,
    actWinWidth,
    actWinHeight,
    actNoEnlarge,
    actEqualHeight,
    actEqualRatio,
    actCenter,
    actHalfV,
    actHalfH,
    // ratios and zoom
    actRatioChange,
    actRatioChangeRev,
    actRatio,
    act25,
    act50,
    act75,
    act100,
    act150,
    act200,
    act300,
    act400,
    act800,
    actSetRatio,
    actImageSize,
    actEnlarge,
    actShrink,
    actDefSize,
    // filters and rotation
    actFilter,
    actFilterNone,
    actFilter1,
    actFilter2,
    actFilter3,
    actFilter4,
    actFilter5,
    actFilter6,
    actFilter7,
    actFilter8,
    actFilter9,
    actFilter10,
    actFilterSet,
    actRotateChange,
    actRotate,
    actRotateNone,
    actR90,
    actL90,
    act180,
    actReverseV,
    actReverseH,
    actAutoRotate,
    // loupe and grid
    actLoupe,
    actLoupeSizeEnlarge,
    actLoupeSizeShrink,
    actLoupeRatioEnlarge,
    actLoupeRatioShrink,
    actGrid,
    actGridEnlarge,
    actGridShrink,
    // View menu: tree kinds
    actFolder,
    actShelf,
    actMedia,
    actCategory,
    actSearch,
    // navigation
    actBack,
    actForward,
    actNextFolder,
    actPriorFolder,
    actSiblingFolder,
    actUp,
    actRefresh,
    // the file view
    actFileViewStyle,
    actFileList,
    actFileThumb,
    actFileDetail,
    actSort,
    actSortMenu,
    actFileMask,
    actFileView,
    // windows, panes and bars
    actViewForm,
    actFullScreen,
    actStayOnTop,
    actTaskTray,
    actFile,
    actTree,
    actMainToolBar,
    actAddressBar,
    actStatusBar,
    actMenu,
    actImageMenu,
    actImageToolBar,
    actSeekBar,
    actActiveChange,
    // Option menu
    actEnv,
    actPlugin,
    actSaveSetting,
    actLoadSetting,
    actChangeSetting,
    actKeyCustom,
    actMouseCustom,
    actThumbnail,
    actSaveThumbs,
    actLoadThumbs,
    // Help menu
    actHelp,
    actVersion,
    // The tray icon's menu
    actTrayRestore,
    actTrayExit,
};

// Actions of one group exclude each other, as the radio items of a menu do.
enum class TActionGroup : uint8_t {
    agNone,
    agTreeKind,
    agFileViewType,
    agViewMode,
    agBinding,
    agFit,
    agRatio,
    agFilter,
    agRotation,
    agSlideShow,
};

enum class TActionList : uint8_t {
    alGeneral,  // the main action list (general commands)
    alImage,    // the image action list (image and move commands)
};

// When an action may run; ActionRules.h works each one out from what the
// window shows and what has the focus. Several actions share a rule, as
// their menu items share a purpose (cut and move to a folder).
enum class TEnableRule : uint8_t {
    erAlways,
    erMainWindowActive,
    erOpenFullScreen,  // open the selection in full screen
    erOpenSlideShow,   // open the selection and start the slideshow
    erExplorer,        // open the selection's folder in the file manager
    erExecute,         // open the selection with its associated program
    erRegApp,          // a registered application of that number exists
    erUseApp,          // a recently used application of that number exists
    erRecentFiles,     // the recent files list is not empty
    erMarkerJump,
    erSetMark,
    erAddShelf,
    erShelfItems,      // export, import and clean a shelf's items
    erAddMedia,
    erUpdateMedia,
    erDelete,
    erParentDelete,
    erRename,
    erProperties,
    erNewFolder,
    erNoArchive,
    erUndo,
    erCut,
    erCopy,
    erPaste,
    erPathCopy,
    erFileViewShown,
    erFileSelect,
    erImageShown,
    erTwoPages,        // a mode that may show two pages is chosen
    erFilterSet,       // the filter set of that number exists
    erLoupeSizeEnlarge,
    erLoupeSizeShrink,
    erLoupeScaleEnlarge,
    erLoupeScaleShrink,
    erGridEnlarge,
    erGridShrink,
    erBack,
    erForward,
    erNextFolder,
    erPriorFolder,
    erSiblingFolder,
    erUp,
    erFileViewPos,
    erNotFullScreen,
    erSeparateWindow,
    erSaveThumbs,
    erLoadThumbs,
    erHelp,
};

struct TActionInfo {
    TActionId Id;
    const char* Name;     // "actNext"
    // The menu text. The registered and recently used applications have
    // the pattern "&%d: %s" (number and name) that ItemCaption fills in; an
    // empty caption marks an action that only runs from its key.
    const char* Caption;
    TActionList List;
    // The number in the key catalogue (general or image commands); 0 when
    // the action cannot be bound to a key of its own (the move actions are
    // bound through the move command lists instead).
    int Command;
    TActionGroup Group;
    bool Checkable;
    TEnableRule Rule = TEnableRule::erAlways;
    // The item is hidden, not only greyed, while the action is disabled.
    bool HideDisabled = false;
    // What the action does comes with a later part of the program: it stays
    // disabled (and shown) until then, and no key runs it.
    bool Pending = false;
};

std::span<const TActionInfo> ActionTable();
const TActionInfo& ActionInfo(TActionId id);
// The action named name ("actNext"), compared exactly; nothing when no
// action has that name.
std::optional<TActionId> FindActionByName(std::string_view name);
// The action of a key catalogue number in a list; nothing when none.
std::optional<TActionId> FindActionByCommand(TActionList list, int command);

// The caption of a numbered item: "&3: name". From ten on the accelerator
// moves to the last digit ("1&0: name"), so that the tenth filter set and the
// recently used applications after the tenth registered one keep keys of
// their own.
std::string NumberedCaption(int number, std::string_view name);
// A registered application's caption: "&%d: %s" with its number and name.
std::string RegAppCaption(int number, std::string_view name);

// Which of a numbered series an action is (actRegApp3 is 2 of the
// registered applications); -1 when it is not one of them.
int RegAppIndex(TActionId id);
int UseAppIndex(TActionId id);
int FilterIndex(TActionId id);
