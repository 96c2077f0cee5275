#pragma once

// Routes a path to the browser: a folder is listed, a file is selected (and
// shown) in its folder, a place inside an archive opens the archive there.
// The routing is plain logic over TPlaceView, which the main window
// implements; tests drive it with a recording fake.

#include <string>

#include "app/PathInfo.h"

// What the file list shows at the moment.
enum class TPlaceKind {
    pkNothing,     // nothing listed yet
    pkFolder,      // a real folder
    pkArchive,     // an archive, at one of its inner folders
    pkCollection,  // a shelf, a medium, a category or search results
};

struct TShownPlace {
    TPlaceKind Kind = TPlaceKind::pkNothing;
    // The real folder shown (pkFolder), or the folder a collection view
    // stands in (pkCollection), ending in '/'.
    std::string Folder;
    // pkArchive: the archive file and the inner folder shown ("" at its top).
    std::string ArchivePath;
    std::string ArchiveFolder;
};

// A file the list selects and opens once it has listed the place it was sent
// to: a file path in a folder, or a member name inside an archive.
struct TPendingSelection {
    std::string FilePath;
    std::string ArchiveFileName;
};

class TPlaceView {
public:
    virtual ~TPlaceView() = default;

    virtual TShownPlace ShownPlace() const = 0;
    virtual void SetPendingSelection(const TPendingSelection& selection) = 0;
    // Lists a folder (then takes up the pending selection); false when it
    // cannot be listed.
    virtual bool ShowFolder(const std::string& folder) = 0;
    // Opens an archive at an inner folder ("" for its top); false when it
    // cannot be opened.
    virtual bool ShowArchive(const std::string& archivePath, const std::string& innerFolder) = 0;
    // Selects an item of the shown list and shows it (a picture is opened):
    // a file path in a folder, a member name in an archive.
    virtual bool SelectAndShow(const std::string& name) = 0;
    // Shows the first picture of the shown list, when it has one.
    virtual void ShowFirstImage() = 0;
    // The inner folder when the shown archive's top holds exactly one item
    // and that is a folder; empty otherwise.
    virtual std::string SingleTopFolder() const = 0;
    // Selects and focuses an item of the shown list without opening it (a
    // path in a folder, a member path in an archive); false when it is not
    // listed.
    virtual bool SelectItem(const std::string&) { return false; }
    // Lists the shelf of that name, or the member folder memberPath of it;
    // false when there is no such shelf. Views without shelves refuse.
    virtual bool ShowShelf(const std::string& /*name*/, const std::string& /*memberPath*/) { return false; }
    // Lists the catalogue of that name at a folder inside it ("" for its
    // top); false when there is no such catalogue.
    virtual bool ShowMedium(const std::string& /*name*/, const std::string& /*folder*/) { return false; }
};

struct TOpenOptions {
    bool ArchiveOpenSubFolder = true;  // ARCHIVE OpenSubFolder
    bool ListOpenFolder = false;       // LIST OpenFolder
};

// False for an empty path, a path that leads nowhere, or a place that could
// not be opened; true when the target was opened or selected.
bool OpenPath(const std::string& path, const TResolveContext& context, const TOpenOptions& options,
              TPlaceView& view);
// The same for a path already resolved.
bool OpenPathInfo(const TPathInfo& info, const TOpenOptions& options, TPlaceView& view);
