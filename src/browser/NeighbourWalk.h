#pragma once

// Where "the next folder or archive" lies when a reader finishes a book. A
// container (a folder on disk, a folder inside an archive, a shelf) holds
// folders and archives; its neighbours follow each other folders first, then
// archives, each in the container's own order, and a container that is used
// up gives way to its parent's next neighbour. TNeighbourWalk works this out
// over a TWalkSpace, which lists containers and names their parents, so that
// any kind of container is one more space. It only decides; the browser
// model carries the answer out (shows the folder, opens the archive, goes
// up). User-interface thread; it touches the disk only through the space.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TArchiver;

enum class TWalkDirection : uint8_t { wdForward, wdBackward };

// One item of a container, in the container's order.
struct TWalkEntry {
    std::string Key;      // what names it in its space; a folder's ends in '/'
    bool Folder = false;
};

// The index in entries of the neighbour of current (a key of entries) in
// the given direction: folders first, then the files that isArchive accepts
// by extension; other files never count. Entries that usable refuses are
// passed over and the search goes on beyond them. -1 when there is none or
// current is not among the entries of its own kind.
int NeighbourIndex(const std::vector<TWalkEntry>& entries, std::string_view current, bool currentIsFolder,
                   TWalkDirection direction, const std::function<bool(std::string_view ext)>& isArchive,
                   const std::function<bool(const TWalkEntry&)>& usable = {},
                   const std::function<bool(std::string_view, std::string_view)>& sameKey = {});

// A tree of containers the walk climbs through.
class TWalkSpace {
public:
    virtual ~TWalkSpace() = default;
    // A walk starts from current.
    virtual void Begin(const std::string& /*current*/, bool /*currentIsFolder*/) {}
    // The entries of container, in the program's order; false when it
    // cannot be listed (it then has no neighbours).
    virtual bool List(const std::string& container, std::vector<TWalkEntry>& entries) = 0;
    // The container that holds key; none at the top of the space.
    virtual std::optional<std::string> ParentOf(const std::string& key) const = 0;
    // Whether an entry may be moved to; refused ones are passed over.
    virtual bool Usable(const TWalkEntry&) { return true; }
    // Whether two keys name the same item.
    virtual bool SameKey(std::string_view a, std::string_view b) const { return a == b; }
};

// Folders on disk, sorted as the file list sorts its name column. Links to
// folders are followed only where that cannot loop or lead elsewhere: a
// link whose folder the walk has already been in (the folder shown, a parent
// climbed through) is passed over, and so is one that leads out of the
// folder it lies in; following either would move the reader around in a
// circle or into an unrelated tree. The top is "/".
class TDiskWalkSpace : public TWalkSpace {
public:
    void Begin(const std::string& current, bool currentIsFolder) override;
    bool List(const std::string& container, std::vector<TWalkEntry>& entries) override;
    std::optional<std::string> ParentOf(const std::string& key) const override;
    bool Usable(const TWalkEntry& entry) override;

private:
    struct TLinked {
        bool Link = false;
        std::string Real;  // the real path of a link's folder
        std::pair<uint64_t, uint64_t> Id{0, 0};
    };
    void Visit(const std::string& folder);
    std::set<std::pair<uint64_t, uint64_t>> fVisited;
    std::string fListedReal;  // the real path of the folder listed last
    std::vector<std::pair<std::string, TLinked>> fLinks;  // the folders listed last that are links
};

// The folders of one archive level, keys as its folder index names them:
// "" for the top, "a/b/" for a folder, "a/book.zip" for a member. Keys are
// compared without case, as archives made elsewhere spell names freely.
class TArchiveWalkSpace : public TWalkSpace {
public:
    explicit TArchiveWalkSpace(const TArchiver& archiver) : fArchiver(archiver) {}
    bool List(const std::string& container, std::vector<TWalkEntry>& entries) override;
    std::optional<std::string> ParentOf(const std::string& key) const override;
    bool SameKey(std::string_view a, std::string_view b) const override;

private:
    const TArchiver& fArchiver;
};

// The folders of a media catalogue, browsed without its disc: keys are paths
// below the medium's root ("a/b/" for a folder, "a/x.zip" for a file, ""
// for the root), compared and sorted without case as catalogues are. The
// catalogue's files are not opened without the disc, so only its folders
// are neighbours.
class TCatalogueWalkSpace : public TWalkSpace {
public:
    // entries: every record of the catalogue, in any order.
    explicit TCatalogueWalkSpace(std::vector<TWalkEntry> entries) : fEntries(std::move(entries)) {}
    bool List(const std::string& container, std::vector<TWalkEntry>& entries) override;
    std::optional<std::string> ParentOf(const std::string& key) const override;
    bool Usable(const TWalkEntry& entry) override { return entry.Folder; }
    bool SameKey(std::string_view a, std::string_view b) const override;

private:
    std::vector<TWalkEntry> fEntries;
};

enum class TNeighbourKind : uint8_t {
    nkNothing,     // nothing to move to: stay
    nkGoUp,        // go up one level, as the up command does
    nkFolder,      // show the folder Path (below the member Inner of shelf Index, when Index is set)
    nkArchive,     // open the archive file Path at its top
    nkInArchive,   // show Inner inside the archive file Path (a folder "a/", an inner archive "x.zip")
    nkShelf,       // show the member list of shelf Index
    nkShelves,     // show the list of shelves
    nkShelfMember, // show the shelf member Path (a folder, or an archive when Archive)
    nkMedium,      // show the root of medium Index
    nkMediaList,   // show the list of media
    nkMediumFolder,// show the folder Path of medium Index
    nkSearchResults,// go back to the list of search results
};

struct TNeighbourMove {
    TNeighbourKind Kind = TNeighbourKind::nkNothing;
    std::string Path;
    std::string Inner;
    int Index = -1;
    bool Archive = false;  // nkShelfMember: the member is an archive
    // Walks over search results: the result the place moved to belongs to
    // (an index into the records given), so it is shown as found by the
    // search; -1 otherwise.
    int Result = -1;
    bool operator==(const TNeighbourMove&) const = default;
};

// A shelf's members as the walk needs them.
struct TShelfWalkMember {
    std::string Path;  // a folder's ends in '/'
    bool Folder = false;
};

// A search result as the walk needs it, in the order of the results.
struct TSearchWalkRecord {
    std::string Key;   // what names it among the results
    std::string Path;  // on disk, or below its medium's root; a folder's ends in '/'
    bool Folder = false;
    int Medium = -1;   // the medium a catalogue's result lies on; -1 on disk
};

class TNeighbourWalk {
public:
    // isArchive: whether a file extension (with the dot) is an archive the
    // loaders read; only such files are neighbours.
    explicit TNeighbourWalk(std::function<bool(std::string_view ext)> isArchive) : fIsArchive(std::move(isArchive)) {}

    // Generic climb over one space from current (a folder when
    // currentIsFolder). found: the neighbour's entry; an empty result with
    // topReached when forward ran past the top of the space; goUp when
    // backward found nothing.
    struct TStep {
        std::optional<TWalkEntry> Found;
        bool TopReached = false;
        bool GoUp = false;
    };
    TStep Step(TWalkSpace& space, std::string current, bool currentIsFolder, TWalkDirection direction) const;

    // The file list shows a folder on disk, or current is the file of an
    // archive whose walk found nothing.
    TNeighbourMove OnDisk(TWalkSpace& disk, const std::string& current, bool currentIsFolder,
                          TWalkDirection direction) const;
    // The archive list shows folder (its index key) of archiver (the
    // innermost level). Inner levels climb into their parents; past the
    // outermost top the walk goes on on disk from the archive file.
    TNeighbourMove InArchive(const TArchiver& archiver, const std::string& folder, TWalkSpace& disk,
                             TWalkDirection direction) const;
    // The same, with outside deciding where the outermost archive file
    // leads once the archive is used up.
    TNeighbourMove InArchive(const TArchiver& archiver, const std::string& folder, TWalkDirection direction,
                             const std::function<TNeighbourMove(const std::string& archiveFile)>& outside) const;
    // The file list shows shelf shelfIndex of shelfCount: its member list
    // (current empty), or current at or below one of members. reachable
    // tells a member that is still there; others are passed over.
    TNeighbourMove OnShelf(const std::vector<TShelfWalkMember>& members, int shelfIndex, int shelfCount,
                           const std::string& current, bool currentIsFolder, TWalkSpace& disk,
                           const std::function<bool(const std::string&)>& reachable,
                           TWalkDirection direction) const;

    // The file list shows medium mediumIndex of mediumCount at its root
    // (current empty) or at the folder current of catalogue.
    TNeighbourMove OnMedium(TWalkSpace& catalogue, int mediumIndex, int mediumCount, const std::string& current,
                            TWalkDirection direction) const;

    // The place shown was opened from search result record of records:
    // current is the record itself or lies below it (a folder when
    // currentIsFolder; an archive file otherwise), in below: the disk, or
    // the catalogue of the record's medium. Below a record its own folders
    // and archives follow each other; past them come the other records,
    // folders first, each kind in the results' order, passing over those
    // usable refuses (gone from the disk, a catalogue's file). Backward
    // with nothing before goes back to the results.
    TNeighbourMove OnSearch(const std::vector<TSearchWalkRecord>& records, int record, const std::string& current,
                            bool currentIsFolder, TWalkSpace& below,
                            const std::function<bool(const TSearchWalkRecord&)>& usable,
                            TWalkDirection direction) const;

private:
    std::function<bool(std::string_view ext)> fIsArchive;
};
