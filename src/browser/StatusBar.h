#pragma once

// The texts and widths of the browser window's status bar, worked out from a
// plain snapshot of what the window shows: the place, the list kind, the
// selected items and the count. The window fills the snapshot from its model
// and lists, hands it here after every change the bar shows, and only paints
// the result, so every rule of what the bar says can be tried without a
// window.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "browser/ListKind.h"

// Which list the bar describes: the archive list while an archive is shown,
// else the file list.
enum class TStatusList : uint8_t { slFileList, slArchiveList };

// A picture's size as loaded (known once a thumbnail or the picture itself
// has been read).
struct TPictureSize {
    int Width = 0;
    int Height = 0;
    int Bits = 0;  // bits per pixel
};

// One selected item as the bar needs it.
struct TStatusItem {
    // The text the list shows for it.
    std::string Caption;
    // In the file list its full path (a folder's may end in '/'); in the
    // archive list the member's path inside the archive ("dir/a.jpg", a
    // folder "dir/"). Empty for items that have none (a shelf in the list of
    // shelves).
    std::string Path;
    std::string TypeName;
    std::optional<int64_t> Size;
    std::optional<TPictureSize> Picture;
    bool Folder = false;
};

// The listed place's own texts; each list kind reads only the fields it
// shows.
struct TStatusPlace {
    // The file list shows the virtual root (home, "/" and the mounts).
    bool AtDesktop = false;
    // The listed folder's path; empty when the place has none.
    std::string Path;
    // The place as the address bar shows it, for places without a path.
    std::string DisplayPath;
    std::string DisplayName;
    // The shelf, media catalogue or category listed (list kinds 2, 5, 6, 8).
    std::string CollectionName;
    // List kinds 5 and 6: the folder the catalogued medium was read from
    // (its mount point, ending in '/'). Paths in a catalogue are shown from
    // there on, after the catalogue's name, as the medium may be mounted
    // elsewhere or not at all.
    std::string MediumRoot;
    // The archive shown: the outer archive's path, then the path of each
    // archive nested in the one before it ("x/b.zip").
    std::vector<std::string> ArchiveLevels;
    // The folder shown inside the innermost archive: "" at its top, else
    // "dir/" or "dir/sub/".
    std::string ArchiveFolder;
};

struct TStatusSnapshot {
    TStatusList List = TStatusList::slFileList;
    TListKind Kind = TListKind::lkFolder;
    // The selected items, in list order.
    std::vector<TStatusItem> Selection;
    // The number of items in the list.
    int ItemCount = 0;
    TStatusPlace Place;
    // OTHER FullPath: the selected item and the place are shown with their
    // full paths.
    bool FullPath = false;
    // The whole bar's width, in 96-dpi units.
    int BarWidth = 0;
};

inline constexpr int StatusPanelCount = 7;

// Panels, in order: 0 the place or the selection (no bevel), 1 the type
// name, 2 the picture size, 3 the file size, 4 a spacer (no bevel), 5 the
// counts, 6 always empty. Widths in 96-dpi units.
struct TStatusPanels {
    std::array<std::string, StatusPanelCount> Texts;
    std::array<int, StatusPanelCount> Widths{};
};

// The width of a text in the bar's font, in 96-dpi units; the window measures
// it.
using TTextWidth = std::function<int(const std::string& text)>;

TStatusPanels BuildStatusPanels(const TStatusSnapshot& snapshot, const TTextWidth& textWidth);
