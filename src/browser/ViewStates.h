#pragma once

// The browser window's view states apart from any widget: which tree is
// chosen, what the file list shows, the file view type kept for each kind of
// list, where the file view sits, which panes and bars are shown in normal
// view and in full screen, and whether the image view is a window of its own.
// They are read from and written to section VIEW of the settings file (the
// tree kind to the program folder's "Mireva.ini", with the last location);
// the view commands change them and the window lays its panes out by them.

#include <array>
#include <cstddef>
#include <cstdint>

#include "browser/ListKind.h"

class TIniFile;

// The tree the tree pane shows; chosen by actFolder ... actSearch.
enum class TTreeKind : uint8_t {
    tkFolder,
    tkShelf,
    tkMedia,
    tkCategory,
    tkSearch,
};

enum class TFileViewType : uint8_t {
    fvList,       // "一覧(&V)"
    fvThumbnail,  // "サムネイル(&T)"
    fvDetail,     // "サムネイル詳細(&N)": thumbnails with details
};

enum class TFileViewPos : uint8_t {
    fpBelowTree,   // in the left pane, below the tree
    fpAboveImage,  // in the image panel, above the image
};

// The lists that keep a file view type of their own.
enum class TViewTypeSlot : uint8_t {
    vsFolder,
    vsShelfRoot,
    vsShelf,
    vsMediaRoot,
    vsSearch,
    vsArchive,
};
inline constexpr std::size_t ViewTypeSlotCount = 6;

// The panes and bars of one mode (normal view or full screen).
struct TPaneSet {
    bool File = true;
    bool Tree = true;
    bool MainMenu = true;
    bool MainBar = true;
    bool AddressBar = true;
    bool ImageBar = true;
    bool StatusBar = true;
    bool SeekBar = false;
    TFileViewPos FileViewPos = TFileViewPos::fpBelowTree;
    bool StayOnTop = false;

    bool operator==(const TPaneSet&) const = default;
};

// The full-screen set a new user has: only the image bar.
TPaneSet DefaultFullScreenPanes();

struct TViewStates {
    TTreeKind TreeKind = TTreeKind::tkFolder;
    std::array<TFileViewType, ViewTypeSlotCount> ViewTypes{};
    TPaneSet Normal;
    TPaneSet FullScreen = DefaultFullScreenPanes();
    bool ViewForm = false;   // the image view is a window of its own
    bool ImageMenu = true;   // that window has its menu bar

    // The set of the current mode; view commands change this one.
    TPaneSet& Panes(bool fullScreen) { return fullScreen ? FullScreen : Normal; }
    const TPaneSet& Panes(bool fullScreen) const { return fullScreen ? FullScreen : Normal; }
    // The file view type of what the list shows now; setting it changes
    // only that kind's value, so each kind comes back as it was left.
    TFileViewType ViewType(TListKind kind, bool archive) const;
    void SetViewType(TListKind kind, bool archive, TFileViewType type);

    bool operator==(const TViewStates&) const = default;
};

// Which value a list kind keeps its view type in. An archive has its own;
// a media catalogue's folders, the categories and an empty list share the
// folders' value, as none of them has a key of its own.
TViewTypeSlot ViewTypeSlotOf(TListKind kind, bool archive);

// Section VIEW of the settings file: both pane sets, ViewForm, ImageMenu
// and the six file view types. Values out of range read as their default;
// a shown tree shows the file view too, since the tree lives above it.
TViewStates ReadViewStates(const TIniFile& ini);
void WriteViewStates(TIniFile& ini, const TViewStates& states);

// The panes at start: full screen applies its own set only when its bars
// are not brought by the pointer (FULLSCREEN MouseMoveShow off), but the
// file view's position and stay-on-top always follow the full-screen set.
TPaneSet PanesAtStart(const TViewStates& states, bool fullScreen, bool mouseMoveShow);

// The tree kind kept with the last location (program folder's
// "Mireva.ini"): VIEW ListKind, or the older STATE TreeKind, which is then
// deleted (the caller writes the file). Out of range reads as folders.
TTreeKind ReadTreeKind(TIniFile& ini);
void WriteTreeKind(TIniFile& ini, TTreeKind kind);
