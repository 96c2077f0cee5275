#pragma once

// The text colour of a row of the file list or the archive list: the first
// attribute colour in use that applies to the item (the shown pages, system,
// hidden, read-only, folder, supported archive, supported image), else the
// colour of its extension, else the list's own text colour. The lists ask it
// for every row they draw, from facts the row already has.

#include <string>

#include "app/Init.h"
#include "base/Color.h"
#include "browser/ListKind.h"
#include "browser/PlaceItems.h"

// What decides a row's colour.
struct TItemColorFacts {
    // The item's name or path; only its extension counts.
    std::string Name;
    // A folder of the file system or a folder record of an archive.
    bool Folder = false;
    // A member of an archive: archives keep no file attributes worth
    // showing, so read-only, hidden and system never apply.
    bool ArchiveMember = false;
    bool ReadOnly = false;
    bool Hidden = false;
    bool System = false;
    // The item is shown in the image view now: the primary page, or the
    // partner page while a spread is shown.
    bool ShownPage = false;
};

struct TItemColor {
    // May be a system colour (the list's text colour often is); the list
    // resolves it from the desktop's theme.
    TColor Text = clWindowText;
    // The row shows a shown page in the opened-image colour: when it is also
    // selected the list paints the row itself, with the highlight text colour
    // derived from that colour (TDerivedOptions::HighlightText).
    bool ShownPage = false;
};

// The colour of one row. listText is the list's text colour (LIST FileText,
// ArchiveText or SearchText); the lists of shelves, media catalogues and
// categories always draw in it. extensions holds the loaders' extension lists.
TItemColor ItemColor(const TItemColorFacts& item, TListKind kind, const TDerivedOptions& colors,
                     const TItemClassifier& extensions, TColor listText);
