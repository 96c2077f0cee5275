#pragma once

// The main window's own state across runs, apart from any widget: its
// normal rectangle and whether it was maximised, the splitter positions of
// normal view and full screen (the tree pane's width for each tree kind, the
// tree over the file view, the file view over the image), the column widths
// of the file list for each kind of list and of the archive list, and the
// sort orders of folders, shelf contents and the archive list. It lives in
// section STATE of the settings file. Sizes are kept in 96-dpi units and the
// position relative to the work area, so a file moves between screens; the
// window converts with the scale and work area it has now.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/ViewStates.h"
#include "shellviews/SortList.h"

class TIniFile;

struct TWindowRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const TWindowRect&) const = default;
};

// The screens as the window finds them now.
struct TScreenInfo {
    TWindowRect WorkArea;             // the primary screen without its panels, pixels
    double Scale = 1.0;               // screen dots per inch / 96
    std::vector<TWindowRect> Screens; // every screen's work area, pixels
};

// Splitter positions of one mode, in 96-dpi units; nothing keeps the
// window's default.
struct TSplitterState {
    std::array<std::optional<int32_t>, 5> Tree;  // tree pane width, by TTreeKind
    std::optional<int32_t> TreeOverFile;         // Splitter1: the tree's height above the file view
    std::optional<int32_t> FileOverImage;        // Splitter2: the file view's height above the image
    bool operator==(const TSplitterState&) const = default;
};

// The file-list kinds that keep column widths of their own.
enum class THeaderSlot : uint8_t { hsFolder, hsShelves, hsShelf, hsMediaList, hsCategories, hsSearch };
inline constexpr std::size_t HeaderSlotCount = 6;

struct TWindowState {
    // The normal (not maximised) rectangle, 96-dpi units relative to the
    // work area; nothing gives the centred default.
    std::optional<TWindowRect> Bounds;
    bool Max = false;
    TSplitterState Normal;
    TSplitterState FullScreen;
    // Column widths in pixels, in column order; empty keeps the defaults.
    std::array<std::vector<int>, HeaderSlotCount> FileHeaders;
    std::vector<int> ArchiveHeader;
    TSortOrder FolderSort;
    TSortOrder ShelfSort;
    TSortOrder ArchiveSort;

    TSplitterState& Splitters(bool fullScreen) { return fullScreen ? FullScreen : Normal; }
    const TSplitterState& Splitters(bool fullScreen) const { return fullScreen ? FullScreen : Normal; }
    bool operator==(const TWindowState&) const = default;
};

// The smallest pane a splitter leaves, 96-dpi units; a stored position
// below it reads as this.
inline constexpr int32_t MinimumPaneSize = 30;
// The largest window side taken from the file, 96-dpi units; a file with a
// larger (or a zero or negative) size gives the default window.
inline constexpr int32_t MaximumWindowSide = 16384;

// Section STATE of the settings file, without the last location.
TWindowState ReadWindowStateSection(const TIniFile& ini);
void WriteWindowStateSection(TIniFile& ini, const TWindowState& state);

// A 96-dpi value in pixels and back, rounded to the nearest integer.
int32_t ToPixels(int32_t units, double scale);
int32_t ToUnits(int32_t pixels, double scale);

// A window's rectangle kept as Left, Top, Width and Height of a section: none
// when a key is missing or holds absent, or the size or place is absurd.
std::optional<TWindowRect> ReadWindowBounds(const TIniFile& ini, std::string_view section,
                                            std::optional<int32_t> absent = std::nullopt);
// Writes nothing when there are no bounds.
void WriteWindowBounds(TIniFile& ini, std::string_view section, const std::optional<TWindowRect>& bounds);

// Whether enough of a window (pixels) lies on one of the screens for a user
// to take hold of it and drag it.
bool Reachable(const TWindowRect& window, const std::vector<TWindowRect>& screens);

// Where the window opens, in pixels: the stored rectangle, unless none is
// stored or it would lie on no screen now (a monitor was removed), which
// gives 850 x 750 units centred in the work area, or 750 x 550 when the work
// area is narrower or lower than that.
TWindowRect WindowBounds(const TWindowState& state, const TScreenInfo& screens);
// Keeps the window's normal rectangle (pixels) for the file.
void StoreWindowBounds(TWindowState& state, const TWindowRect& pixels, const TScreenInfo& screens);

// Comma-separated widths; empty when any entry is not a width.
std::vector<int> ParseColumnWidths(std::string_view text);
std::string FormatColumnWidths(const std::vector<int>& widths);

// The window's side of its state: the model asks it for the geometry and the
// splitters before it writes them, and hands them over after reading a
// settings file. User-interface thread.
class TWindowStateLink {
public:
    virtual ~TWindowStateLink() = default;
    // Puts the window's rectangle, maximised state and splitter positions
    // into state.
    virtual void CaptureWindowState(TWindowState& state) = 0;
    // Moves the window and its splitters where state says.
    virtual void ApplyWindowState(const TWindowState& state) = 0;
};
