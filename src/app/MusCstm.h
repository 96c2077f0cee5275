#pragma once

// Which mouse operations run which commands. In the image view an operation
// (a click, a double click, a wheel turn or a drag, each possibly with a
// button or key held) may run a different command in each quarter of the
// view; on the file list it may run a different command for each kind of item
// under the pointer. This header holds the operations, the two command
// catalogues the bindings number their commands by, the tables of bindings
// with their defaults, and how they are kept in the settings file (including
// the takeover of the separate "MusCstm.ini" of older versions). Carrying a
// command out is the window's business.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class TIniFile;
struct TScrollOptions;
struct TMouseOptions;

// The operations, in the order their entries are numbered.
enum class TMouseOperation : uint8_t {
    moLeftClick,
    moLeftDouble,
    moRightClick,
    moRightDouble,
    moWheelClick,
    moWheelDouble,
    moX1Click,
    moX1Double,
    moX2Click,
    moX2Double,
    moWheelUp,
    moWheelDown,
    moDrag,
};
inline constexpr int MouseOperationCount = 13;

// What is held during an operation, in the order of the entry numbers.
enum class TMouseVariant : uint8_t {
    mvNone,
    mvLeft,
    mvRight,
    mvWheel,
    mvX1,
    mvX2,
    mvCtrl,
    mvShift,
    mvShiftCtrl,
};

// The buttons and keys held while an operation happens. Alt is not listed:
// it never picks a binding.
struct TMouseHeld {
    bool Left = false;
    bool Right = false;
    bool Wheel = false;
    bool X1 = false;
    bool X2 = false;
    bool Ctrl = false;
    bool Shift = false;
};

std::string_view MouseOperationName(TMouseOperation op);
std::string_view MouseVariantName(TMouseVariant variant);  // "＋Ctrl"; empty for mvNone
// The variant an operation's own button would give: an operation never has
// a variant of its own button.
TMouseVariant ExcludedVariant(TMouseOperation op);
// What the held buttons and keys make of an operation: the first held button
// (left, right, wheel, extension 1, extension 2) other than the operation's
// own, otherwise Shift and Ctrl.
TMouseVariant VariantOf(TMouseOperation op, const TMouseHeld& held);

// --- The image view ----------------------------------------------------------------

inline constexpr int ImageMouseEntryCount = 104;
inline constexpr int ImageMouseCommandCount = 130;
inline constexpr int DragMouseCommandCount = 3;
inline constexpr int QuarterCount = 4;

// The quarters of the view in the order their command numbers are stored.
enum class TQuarter : uint8_t { qtTopLeft, qtTopRight, qtBottomLeft, qtBottomRight };

struct TImageMouseEntry {
    bool Divide = false;  // each quarter has a command of its own
    std::array<int, QuarterCount> Commands{};  // without Divide only the first counts
    bool operator==(const TImageMouseEntry&) const = default;
};

// The entry number (1..104) of an operation with a variant; 0 when the
// operation cannot have that variant.
int ImageMouseEntry(TMouseOperation op, TMouseVariant variant);
// The quarter of a client area of width x height that a point lies in: the
// right half when x > width / 2, the bottom half when y > height / 2.
TQuarter QuarterOf(int x, int y, int width, int height);
// Whether an entry number is one of the drag's: those number their commands
// by the drag catalogue.
bool IsDragEntry(int entry);

// --- The file list -----------------------------------------------------------------

inline constexpr int ListMouseEntryCount = 50;
inline constexpr int ListMouseCommandCount = 66;
inline constexpr int MouseItemCount = 5;

// What lies under the pointer on the file list, in the order the command
// numbers are stored.
enum class TMouseItem : uint8_t { miImage, miFolder, miArchive, miOther, miNone };

struct TListMouseEntry {
    bool Target = false;  // each item kind has a command of its own
    std::array<int, MouseItemCount> Commands{};
    bool operator==(const TListMouseEntry&) const = default;
};

// The entry number (1..50) of an operation with a variant on the file list;
// 0 when the list has no binding for it (right clicks, wheel turns, drags,
// a left click with Ctrl or Shift, which select).
int ListMouseEntry(TMouseOperation op, TMouseVariant variant);
// The caption of an item kind ("画像(&P)").
std::string_view MouseItemCaption(TMouseItem kind);

// The file list's selection commands: the click selects as if the key were
// held.
inline constexpr int ListOpenCommand = 1;
inline constexpr int ListShiftSelectCommand = 64;
inline constexpr int ListCtrlSelectCommand = 65;
inline constexpr int ListShiftCtrlSelectCommand = 66;

// --- The catalogues ----------------------------------------------------------------

// A command's name as the dialog lists it; empty for 0 and for numbers
// outside the catalogue.
std::string_view ImageMouseCommandName(int command);
std::string_view DragMouseCommandName(int command);
std::string_view ListMouseCommandName(int command);

// The dialog's categories; a command belongs to every category whose range
// holds it, and "すべて" holds all.
struct TMouseCategory {
    const char* Name;
    int First;
    int Last;
};
std::span<const TMouseCategory> ImageMouseCategories();
std::span<const TMouseCategory> ListMouseCategories();

// --- The bindings and their storage -------------------------------------------

struct TMouseBindings {
    std::array<TImageMouseEntry, ImageMouseEntryCount> Image{};  // entry n at [n - 1]
    std::array<TListMouseEntry, ListMouseEntryCount> List{};
    // A right click shows the image view's context menu, and the right-click
    // entries are not used.
    bool RightPopup = true;

    const TImageMouseEntry& ImageEntry(int entry) const { return Image[static_cast<size_t>(entry - 1)]; }
    TImageMouseEntry& ImageEntry(int entry) { return Image[static_cast<size_t>(entry - 1)]; }
    const TListMouseEntry& ListEntry(int entry) const { return List[static_cast<size_t>(entry - 1)]; }
    TListMouseEntry& ListEntry(int entry) { return List[static_cast<size_t>(entry - 1)]; }

    // The command an image-view operation runs at a point of a client area
    // of the given size; 0 for none. The drag's commands are numbers of the
    // drag catalogue.
    int ImageCommand(TMouseOperation op, const TMouseHeld& held, int x, int y, int width, int height) const;
    // The command a file-list operation runs on an item of that kind; 0 for
    // none.
    int ListCommand(TMouseOperation op, const TMouseHeld& held, TMouseItem kind) const;

    bool operator==(const TMouseBindings&) const = default;
};

// What a new user has: a double click toggles full screen, a wheel click the
// loupe, the wheel turns pages (with Ctrl one page at a time), a drag
// scrolls, and a double click on the file list opens the item.
TMouseBindings DefaultMouseBindings();

inline constexpr int MouseLayoutVersion = 261;
inline constexpr std::string_view OldMouseFileName = "MusCstm.ini";

// Reads the bindings from the settings file. A "MusCstm.ini" in
// programFolder is taken over first (its sections merged into the file,
// the file written, the old file deleted only once the write succeeded, so
// a failed write loses nothing); the commands of an older layout version are
// erased from the copy, so that the defaults apply. Returns why the merged
// file could not be written; empty when it was, or when there was nothing to
// take over.
std::string LoadMouseBindings(TIniFile& ini, const std::string& programFolder, TMouseBindings& bindings);
// The bindings the viewer would use with this file and data folder, as
// LoadMouseBindings would give them, without writing or deleting anything.
TMouseBindings MouseBindingsInEffect(TIniFile ini, const std::string& programFolder);
// Reads the bindings as they are in the copy, changing nothing: the
// takeover and the version fallback are left to LoadMouseBindings.
TMouseBindings ReadMouseBindings(const TIniFile& ini);
// Puts the bindings into the copy (the version, every entry, RightPopup);
// the caller writes the file.
void WriteMouseBindings(TIniFile& ini, const TMouseBindings& bindings);
// What the mouse customisation dialog saves: the bindings, the page, line
// and drag scroll options and the wheel's play (MOUSE WheelCount and
// EdgeWheelCount), then the file. Raises EFileError when it cannot be
// written.
void SaveMouseBindings(TIniFile& ini, const TMouseBindings& bindings, const TScrollOptions& scroll,
                       const TMouseOptions& mouse);
