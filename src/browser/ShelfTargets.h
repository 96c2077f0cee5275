#pragma once

// What the shelf commands of the window act on, worked out from plain facts
// of the panes: the paths a selection of a listed folder or of search results
// gives a shelf (folders and archives, the things a reader keeps on a shelf),
// the path a tree node gives, and the texts and file names the maintenance
// commands use. The window's runner asks these and does the dialogs.

#include <string>
#include <vector>

#include "browser/PlaceItems.h"

struct TTreePlace;

// Whether a shelf can hold the item: a folder with a file-system path, or a
// file the loaders read as an archive.
bool IsShelfCandidate(const TBrowserItem& item);

// The paths of the selected items when every one of them can go on a shelf;
// empty when the selection is empty or holds anything else (a picture, a
// shelf of the list of shelves), so that a command never adds half of what
// the user chose. Indices outside items count as something else.
std::vector<std::string> ShelfCandidatePaths(const std::vector<TBrowserItem>& items,
                                             const std::vector<int>& selection);

// The path a tree node gives a shelf: a folder of the folder tree, a member
// folder of a shelf or a folder below it, an archive file at its top. Empty
// for everything else (the roots, collections, folders inside archives, "/").
std::string ShelfPathOfTreePlace(const TTreePlace& place);

// The file an export writes: the chosen name, with ".txt" appended unless
// its extension is exactly ".txt" (a name "list.TXT" becomes "list.TXT.txt",
// as the text files the export writes are always named alike).
std::string ShelfExportFileName(const std::string& chosen);

// The question before members that no longer exist are removed: naming the
// shelf when there is one, else speaking of the selected shelves.
std::string DeleteMissingQuestion(const std::vector<std::string>& shelfNames);
