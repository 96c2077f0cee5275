#pragma once

// The CSV export of what the file list shows: the rows (or only the selected
// ones) are turned into what the writer of the list's kind takes (paths of a
// folder, shelves, a shelf's members, media, catalogue records, search
// results) and written in list order. The lists of categories and a category
// write the header alone. Nothing reaches the output file unless the whole
// export succeeds.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "browser/ListKind.h"
#include "export/FExport.h"

class TGroupList;
class TMediaFolder;
class TMediaList;
class TShellInfo;
class TShellListModel;

struct TExportSources {
    const TGroupList* Shelves = nullptr;
    TMediaList* Media = nullptr;
    TShellInfo* TypeNames = nullptr;  // column 4; may be null
    // Reads a catalogue before its records are written (the media list with
    // its contents); may be null, and a catalogue still unread is passed over.
    std::function<void(TMediaFolder&)> LoadCatalogue;
};

// Writes the rows of list (those in selection when settings ask for the
// selected items only) to path; returns the lines written. Raises EFileError
// when the file cannot be written; the old file then stays as it was.
int64_t ExportShownList(const TShellListModel& list, TListKind kind, const std::vector<int>& selection,
                        const TExportSettings& settings, const std::string& path, const TExportSources& sources);
