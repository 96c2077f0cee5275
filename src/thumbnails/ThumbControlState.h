#pragma once

// What the thumbnail management dialog keeps between openings, in section
// THUMBNAILSET of the settings file in use: the sort column and direction,
// whether full paths are shown, its size and its column widths. Sizes are
// 96-dpi units (Qt's device-independent pixels); the dialog never opens
// smaller than ThumbControlMinWidth x ThumbControlMinHeight.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "thumbnails/ThumbControl.h"

class TIniFile;

inline constexpr std::string_view ThumbControlSection = "THUMBNAILSET";
inline constexpr int32_t ThumbControlMinWidth = 660;
inline constexpr int32_t ThumbControlMinHeight = 430;
// The value Width and Height hold when no size was stored.
inline constexpr int32_t ThumbControlNoSize = 32767;

struct TThumbControlSize {
    int32_t Width = ThumbControlMinWidth;
    int32_t Height = ThumbControlMinHeight;
    bool operator==(const TThumbControlSize&) const = default;
};

struct TThumbControlState {
    TThumbSortColumn Sort = TThumbSortColumn::scPath;
    TThumbSortDir SortDir = TThumbSortDir::sdAsc;
    bool FullPath = false;
    // The dialog's size; nothing keeps the size it is built with.
    std::optional<TThumbControlSize> Size;
    // Column widths in pixels, in column order; empty keeps the defaults.
    std::vector<int> Header;
    bool operator==(const TThumbControlState&) const = default;
};

// A sort column or direction out of range reads as the first. The size is
// taken only when both Width and Height are stored: each is raised to the
// least the dialog needs, and a side of 32767 (none stored), or one larger
// than any screen (above 16384), gives no size. A header with anything but
// widths from 0 to 10000 reads as the defaults.
TThumbControlState ReadThumbControlState(const TIniFile& settings);
// Writes every key into the copy; the caller writes the file.
void WriteThumbControlState(TIniFile& settings, const TThumbControlState& state);
