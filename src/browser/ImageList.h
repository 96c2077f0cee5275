#pragma once

// The image list: the pictures of the listed place, in list order, that the
// image view moves through, rebuilt whenever the place is listed, sorted
// again or its items change; and the rule that finds the shown pictures again
// in a rebuilt list, so that a sort or a refresh keeps the page being read
// in view.

#include <string>
#include <vector>

#include "browser/ListKind.h"
#include "browser/PlaceItems.h"

// One row of the list, as the image list needs it.
struct TImageListItem {
    // The item's own path: a full path in the file list, the member's path
    // inside the archive in the archive list.
    std::string Path;
    // A symbolic link's target; empty for anything else.
    std::string Target;
    bool Folder = false;
};

struct TImageEntry {
    // Where the picture is read from: the file, a link's target, or the
    // member's path inside the archive.
    std::string LoadPath;
    // The item's own path, shown for the picture and used to find it again.
    std::string DisplayPath;
    // The row of the list the picture stands for.
    int Item = -1;
};

// The pictures among items: nothing in the lists of shelves, media and
// categories or in a shelf; in an archive every file member whose extension
// is ".BMP" or a picture loader's; elsewhere every item that is no folder and
// whose target (a link's, else its own path) has such an extension. The
// program reads bitmaps itself, which is why ".BMP" counts even when no
// loader list names it.
std::vector<TImageEntry> BuildImageList(TListKind kind, bool inArchive, const std::vector<TImageListItem>& items,
                                        const TItemClassifier& extensions);

// Why the image list was rebuilt while a picture was shown.
enum class TRelistReason : uint8_t {
    rrSorted,     // the list was sorted again: the same items, a new order
    rrRefreshed,  // the list was read again (a refresh, a change on disk)
};

// The pictures shown before the list was rebuilt.
struct TShownPictures {
    int Primary = -1;  // its index in the old image list
    std::string PrimaryPath;
    int Partner = -1;  // the spread's other page; -1 when a single page is shown
    std::string PartnerPath;
    // The viewer moves through a random order (which the new list voids).
    bool RandomOrder = false;
};

enum class TRefindOutcome : uint8_t {
    roRefreshLabel,    // both pages kept their positions: only the page label changes
    roClose,           // no picture is left: the picture is closed
    roShow,            // the picture at Index is shown again
    roNewRandomOrder,  // a new random order is made and its first picture shown
};

struct TRefindResult {
    TRefindOutcome Outcome = TRefindOutcome::roRefreshLabel;
    int Index = -1;
};

// Finds the shown pictures in the rebuilt list by their display paths. After
// a sort that left both pages where they were only the label changes; after
// anything else the picture is shown again from the primary page's new
// position, else the partner's, else the primary's old position (the last
// picture when the list got shorter), since a refreshed file may have new
// contents.
TRefindResult FindShownAgain(const std::vector<TImageEntry>& list, const TShownPictures& shown,
                             TRelistReason reason);
