#pragma once

// Where the last run ended: the tree kind, the folder (or the archive and the
// folder inside it), the shelf or media catalogue, the selected item and the
// picture shown. It is kept in the data folder's "Mireva.ini" whichever
// settings file is in use, so a run with another settings file still comes
// back to the same place. "Dir" holds the folder as a path (an archive's
// own file while inside one); a value of older versions that is no path (a
// Windows identifier list) reads as unknown.

#include <cstdint>
#include <string>

#include "app/Init.h"

class TIniFile;

// The tree the window showed, numbered as the file stores it (VIEW
// ListKind); the browser's tree kinds have the same numbers.
enum class TLocationTree : uint8_t { ltFolder, ltShelf, ltMedia, ltCategory, ltSearch };

struct TLastLocation {
    TLocationTree TreeKind = TLocationTree::ltFolder;
    bool IsArchive = false;
    std::string ArchivePath;  // the folder inside the archive ("" at its top)
    std::string Dir;          // the folder, or the archive file; empty when unknown
    std::string Shelf;        // the shelf's name (shelf kind)
    std::string ShelfItem;    // the path of the shelf member that was open
    std::string Media;        // the catalogue's name (media kind)
    std::string MediaDir;     // the folder inside the catalogue, relative to its top
    std::string Selected;     // the selected item: its path, or its path inside the archive
    std::string ImagePath;    // the picture shown at the end ("archive//member" inside an archive)
    bool operator==(const TLastLocation&) const = default;
};

// Reads the last location. Keys of older versions are converted first in
// the copy (STATE TreeKind becomes the tree kind and goes; IMAGE
// "Application" 1..5 move to FILE "UseApplication" 1..5), so the caller
// writes the file back when the copy was modified. An empty Dir also clears
// IsArchive.
TLastLocation ReadLastLocation(TIniFile& ini);
// Writes every key, Dir last.
void WriteLastLocation(TIniFile& ini, const TLastLocation& location);

// Moves IMAGE "Application" n (n = 1..5) to FILE "UseApplication" n, unless
// the newer key is already there; true when anything changed.
bool ConvertOldApplicationKeys(TIniFile& ini);

// The tree kind the window starts with: folders when a start path was given,
// else the shelves for a start shelf, folders for a start folder, and the
// stored kind otherwise.
TLocationTree StartTreeKind(const TLastLocation& location, const TInitializeOptions& init, bool startPathGiven);
