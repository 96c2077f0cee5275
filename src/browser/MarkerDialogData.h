#pragma once

// What the dialog of recent files and markers shows and keeps, apart from its
// widgets: the texts of its columns, whether an entry's place still exists,
// the entries its delete buttons take away, and its state in the sections
// RECENT and MARKER of the data folder's "Mireva.ini".

#include <string>
#include <string_view>
#include <vector>

#include "browser/Marker.h"

class TIniFile;

enum class TMarkerDialogMode : uint8_t {
    mdRecent,   // the recent files: no delete buttons
    mdMarkers,  // the markers
};

struct TMarkerDialogState {
    int Sort = 0;      // the sort column
    int SortDir = 0;   // 0 ascending, 1 descending, 2 the list's own order
    bool FullPath = false;
    bool Delete = false;  // remove the marker that is opened
    int Width = -1;    // the dialog's size; -1 when none was stored
    int Height = -1;
    std::string Header;  // the column widths, comma-separated

    bool operator==(const TMarkerDialogState&) const = default;
};

inline constexpr int MarkerDialogMinWidth = 500;
inline constexpr int MarkerDialogMinHeight = 277;

// The section of a mode: "RECENT" or "MARKER".
std::string_view MarkerDialogSection(TMarkerDialogMode mode);
// Reads the state; RECENT FullPath is the recent-files menu's option too, so
// in recent mode it defaults to that option's default (on). A stored size
// below the least the dialog needs is raised to it.
TMarkerDialogState ReadMarkerDialogState(const TIniFile& ini, TMarkerDialogMode mode);
void WriteMarkerDialogState(TIniFile& ini, TMarkerDialogMode mode, const TMarkerDialogState& state);

// The location column: the archive (path or name) with the nested archive
// and the folder of the file; or the folder without its trailing "/", by its
// last name when full paths are off (the root stays "/").
std::string MarkerLocationText(const TMarkerPath& entry, bool fullPath);
// "4 / 20", or "-- / 20" when the index is unknown.
std::string MarkerPositionText(const TMarkerPath& entry);
// "yyyy/mm/dd".
std::string MarkerDateText(const TMarkerPath& entry);
// The archive file, or the folder, still exists.
bool MarkerLocationExists(const TMarkerPath& entry);

// The questions of the delete buttons.
std::string DeleteSelectedQuestion();
std::string DeleteMissingQuestion();
std::string DeleteAllQuestion();
