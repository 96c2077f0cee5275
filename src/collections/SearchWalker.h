#pragma once

// The work of one search, apart from its thread: TSearchWalker searches
// directories (and, through the sources, the other kinds of target) for the
// entries a TSearchFilter accepts and hands them, one batch per directory
// sorted in the program's name order, to a TSearchSink. Each directory is read
// once per search (also when two targets lead to it) and each path reported
// once. It never descends into a folder reached through a symbolic link, and
// it remembers the device and inode of every folder it entered, so a bind
// mount that leads back up the tree cannot make it go round for ever.
//
// A walker runs on one thread (the search thread, or the caller's in
// mireva-cli); the sink decides where the batches go.

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "collections/FolderRecords.h"
#include "collections/SearchConditions.h"

class TSearchCache;
struct TDirEntry;

// One batch of results: the entries found in one directory (or one shelf
// member), with where they came from.
struct TSearchBatch {
    TSearchTargetKind Kind = TSearchTargetKind::tkFolder;
    std::string TargetName;   // the shelf or medium name
    int32_t TargetIndex = -1; // its position in its list when the search began
    std::string TargetPath;   // a folder target's folder
    std::string DirPath;      // the directory the results lie in, without trailing '/'
    TItemIdList DirItem;
    std::string EntryPath;    // the shelf member that led here
    TItemIdList EntryItem;
    std::vector<TGroupFileInfo> Records;  // in name order
    // The directory was listed for this batch (not a shelf member's folder,
    // which is only known to have held the member).
    bool DirListed = false;
};

// Where the batches go. Every call comes from the walker's thread.
class TSearchSink {
public:
    virtual ~TSearchSink() = default;
    // Checked before each target, directory, entry and delivery.
    virtual bool Stopped() const = 0;
    // The directory or target being searched.
    virtual void Progress(const std::string& text) = 0;
    virtual void Deliver(TSearchBatch batch) = 0;
};

// Where a batch comes from while a target is searched.
struct TBatchOrigin {
    TSearchTargetKind Kind = TSearchTargetKind::tkFolder;
    std::string TargetName;
    int32_t TargetIndex = -1;
    std::string TargetPath;
    std::string EntryPath;
    TItemIdList EntryItem;
};

class TSearchWalker {
public:
    // cache may be null (every directory is read from the disk); it must
    // outlive the walker, and so must filter and sink. Without shelves among
    // the targets no path can be met twice (each directory is read once), so
    // trackFound off spares remembering every result.
    TSearchWalker(const TSearchFilter& filter, TSearchCache* cache, TSearchSink& sink, bool trackFound = true);

    const TSearchFilter& Filter() const { return fFilter; }
    TSearchSink& Sink() const { return fSink; }

    void SetOrigin(TBatchOrigin origin) { fOrigin = std::move(origin); }
    const TBatchOrigin& Origin() const { return fOrigin; }

    // Searches a directory, and its sub-folders when the conditions ask for
    // them. A folder that does not exist is skipped without a word.
    void SearchDirectory(const std::string& path);

    // Hands results from one directory to the sink, sorted by name, and
    // remembers their paths as found; nothing when the search was stopped.
    void Deliver(const std::string& directory, std::vector<TGroupFileInfo> results);

    bool Found(const std::string& path) const { return fTrackFound && fFound.count(path) > 0; }
    void MarkFound(const std::string& path)
    {
        if (fTrackFound)
            fFound.insert(path);
    }

private:
    struct TListed {
        std::vector<TGroupFileInfo> Results;
        std::vector<std::string> Subfolders;  // full paths, in name order
    };

    // One directory without its sub-folders; false when it was skipped.
    bool SearchOne(const std::string& directory, TListed& listed);
    void FromDisk(const std::string& directory, TListed& listed);
    void FromCache(const std::string& directory, TListed& listed);
    // Whether the directory is one not entered before (by device and inode).
    bool EnterOnce(const std::string& directory);

    const TSearchFilter& fFilter;
    TSearchCache* fCache;
    TSearchSink& fSink;
    TBatchOrigin fOrigin;
    bool fTrackFound;
    bool fListing = false;  // Deliver is called for a directory just listed
    std::unordered_set<std::string> fFound;
    std::unordered_set<std::string> fVisited;  // directories searched, as keys
    std::set<std::pair<uint64_t, uint64_t>> fEntered;  // device and inode of folders read from the disk
};

// A record of the cache and of a result from one directory entry.
TCtFileInfo CacheRecordOf(const std::string& directory, const TDirEntry& entry);

// Paths in the program's name order: folder by folder, each name compared as
// the file list compares names.
int ComparePaths(std::string_view a, std::string_view b);
