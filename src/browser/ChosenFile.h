#pragma once

// What the browser does with a file the user opens from the file list or the
// archive list when the list does not enter it itself: show it as a picture,
// refuse it with a message, or open the place a link leads to. A link is a
// symbolic link: its target is looked up on disk, and a link to a folder or
// an archive opens that place, as the desktop's shortcuts do.

#include <functional>
#include <string>

#include "browser/PlaceItems.h"
#include "loading/FileLoader.h"
#include "platform/FileSystem.h"

enum class TChosenOutcome : uint8_t {
    coShowPicture,  // travel forward and show the item (a file that is no picture goes to its program)
    coMessage,      // show Message with Icon; nothing else happens
    coOpenPath,     // open Target as a path given by the user
};

struct TChosenFile {
    // The archive list's member (Path is its path inside the archive), else
    // an item of the file list (Path is its full path).
    bool InArchiveList = false;
    std::string Path;
    // The name the list shows.
    std::string DisplayName;
    // The item is a symbolic link.
    bool IsLink = false;
};

struct TChosenFileResult {
    TChosenOutcome Outcome = TChosenOutcome::coShowPicture;
    std::string Message;
    TMessageIcon Icon = TMessageIcon::miInformation;
    std::string Target;
};

// Where a link leads: Kind fkNone when nowhere (a dangling link, a loop).
struct TLinkTarget {
    TFileKind Kind = TFileKind::fkNone;
    std::string Path;
};
using TLinkResolver = std::function<TLinkTarget(const std::string& link)>;

// Follows every link in the path on disk (RealPath, QueryFile).
TLinkTarget ResolveLinkTarget(const std::string& link);

// pictureShown: a picture is in the image view now. extensions holds the
// loaders' extension lists.
TChosenFileResult DecideChosenFile(const TChosenFile& file, const TItemClassifier& extensions, bool pictureShown,
                                   const TLinkResolver& resolve = ResolveLinkTarget);
