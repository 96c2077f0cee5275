#pragma once

// TThumbnailList owns the two thumbnail stores of the program for its whole
// run: the normal store (thumbnails of folders, archives and pictures on
// disk) and the media store (thumbnails of media catalogues, read on first
// use). It finds a folder's or an archive's entry by key, renames and deletes
// entries when the paths they stand for change, converts the media thumbnail
// files of older versions, and announces every change of an index to its
// observers before and after it happens.
//
// User-interface thread only; the enumeration thread works on the stores
// through it while it runs and the user-interface thread waits.

#include <functional>
#include <string>
#include <vector>

#include "common/ObserverList.h"
#include "thumbnails/ThumbStore.h"

class TThumbnailList;

enum class TThumbListChangeKind : uint8_t {
    tkReload,  // an index was read again (the store folder may have changed)
    tkRename,  // keys were renamed
    tkDelete,  // entries were removed
    tkConvert, // a media thumbnail file of an older version was taken in
};

struct TThumbListChange {
    TThumbListChangeKind Kind = TThumbListChangeKind::tkReload;
    TChangePhase Phase = TChangePhase::cpBefore;
    bool Media = false;  // the media store changes, not the normal one
};

class TThumbnailListObserver {
public:
    virtual ~TThumbnailListObserver() = default;
    virtual void ThumbnailListChanged(TThumbnailList& list, const TThumbListChange& change) = 0;
};

// What became of a media thumbnail file of an older version.
struct TLegacyConversion {
    int Folders = 0;      // folders taken into the media store
    int Thumbnails = 0;   // thumbnails written
    bool Removed = false; // the old file is gone (all of it was taken in)
    std::string Error;    // why the old file stays, or what was damaged
};

class TThumbnailList {
public:
    // Both folders end with '/'. The normal store's index is read at once;
    // a damaged one gives what could be read, one that cannot be read at all
    // an empty index that is never saved over (ReadOutcome tells).
    TThumbnailList(std::string thumbnailFolder, std::string mediaThumbnailFolder);

    // The normal store's folder: THUMBNAIL Path, or the data folder's
    // "Thumbnail/" when that is empty. The media store's folder is always the
    // data folder's "Media/Thumbnail/".
    static std::string NormalFolder(const std::string& dataFolder, const std::string& pathOption);
    static std::string MediaFolder(const std::string& dataFolder);

    TThumbStore& Store() { return fNormal; }
    // Read from its index file the first time it is asked for.
    TThumbStore& MediaStore();
    const TThumbReadOutcome& ReadOutcome() const { return fOutcome; }

    // Reads the normal index again from folder (after THUMBNAIL Path
    // changed).
    void ReloadIndex(const std::string& thumbnailFolder);

    // Every normal key within an old path (by whole components) moves under
    // its new path; the index is written when anything moved. Raises
    // EFileError when the index cannot be written; memory keeps the renames.
    int RenamePaths(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths);
    // The same for media keys within oldPrefix ("Medium" or "Medium/sub/").
    int RenameMediaPaths(const std::string& oldPrefix, const std::string& newPrefix);
    // Removes every media entry within prefix and its data file.
    int DeleteMediaPaths(const std::string& prefix);
    // Keeps medium's part of the media store in step with its catalogue
    // after the catalogue was read again: a folder the catalogue no longer
    // has loses its entry and data file, and a thumbnail whose item the
    // catalogue no longer lists leaves its folder's data file. listed tells
    // whether the catalogue has path (relative to the medium's root, no
    // leading or trailing '/'); folder asks for a folder there ("" is the
    // top). Returns the thumbnails and folders removed. Raises EFileError
    // when the index cannot be written; no enumeration may run meanwhile.
    using TMediaListed = std::function<bool(const std::string& path, bool folder)>;
    int CheckMedia(const std::string& medium, const TMediaListed& listed);
    // Settles both indexes after an enumeration.
    void Settle();

    // Takes a media thumbnail file of an older version into the media store
    // under medium's keys. Folders the store has already are skipped. The old
    // file is removed only once everything read from it is written; a file
    // that was damaged is kept under a dated name first.
    TLegacyConversion ConvertLegacyMedia(const std::string& mtfPath, const std::string& medium);

    void RegisterObserver(TThumbnailListObserver* observer) { fObservers.Register(observer); }
    void UnregisterObserver(TThumbnailListObserver* observer) { fObservers.Unregister(observer); }

private:
    void Notify(TThumbListChangeKind kind, TChangePhase phase, bool media);
    void ReadNormal();

    TThumbStore fNormal;
    TThumbStore fMedia;
    bool fMediaRead = false;
    TThumbReadOutcome fOutcome;
    TObserverList<TThumbnailListObserver> fObservers;
};
