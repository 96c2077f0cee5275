#pragma once

// The items of the place the browser shows: the entries of a real folder, or
// the members and folders of one folder inside an archive, each classed as a
// folder, an archive, a picture or another file by the loaders' extension
// lists. The file list and the archive list show them; the pictures among
// them, in the program's name order, are the book the viewer reads.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/DateTime.h"

class TArchiver;

enum class TItemKind : uint8_t { ikFolder, ikArchive, ikImage, ikOther };

struct TBrowserItem {
    TItemKind Kind = TItemKind::ikOther;
    // The name shown: a file name, or a folder's last segment.
    std::string Name;
    // In a real folder the full path (a folder's ends in '/'); inside an
    // archive the member's path there ("dir/a.jpg", a folder "dir/").
    std::string Path;
    int64_t Size = 0;
    TDateTime Time = -1.0;
    // Archive members: the position the loader extracts them by.
    uint32_t Member = 0;
};

// Which names are pictures and which are archives; the loaders' extension
// lists answer it (ext with its dot, any case).
struct TItemClassifier {
    std::function<bool(std::string_view ext)> IsImage;
    std::function<bool(std::string_view ext)> IsArchive;

    TItemKind KindOf(std::string_view name, bool folder) const;
};

// Folders first, then everything else, each by the program's name order;
// names that differ only in case keep byte order, so a listing is the same
// every time.
void SortItems(std::vector<TBrowserItem>& items);

// The items of folder ("" for the top) of an archive, sorted. With
// withFolders, the folders and members directly in it; without, the archive
// is shown flat: every member at or below the folder, named by its path
// relative to the folder ("sub/a.jpg") and sorted by that, and no folders.
std::vector<TBrowserItem> ListArchiveItems(const TArchiver& archiver, const std::string& folder,
                                           const TItemClassifier& classes, bool withFolders = true);
