#pragma once

// The change records the views receive when files change on disk, and the
// rules that fold a burst of them into the fewest records that still say what
// happened: a name added and removed again says nothing, a chain of renames is
// one rename, a file replaced by another under its name is one modification.
// TChangeCoalescer holds the records of one view between two deliveries; it
// has no clock and no thread (TDirChangeNotifier, DirNotify.h, decides when
// to deliver).

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The values are stored in no file; the order follows the kinds of the
// original program. A view learns whether an entry is a folder from the watch
// it asked for: a watch in folder mode reports ckFolder..., every other watch
// ckFile..., whatever the entry is.
enum class ChangeKind : uint8_t {
    ckFileAdded,
    ckFileRenamed,
    ckFileRemoved,
    ckFolderAdded,
    ckFolderRenamed,
    ckFolderRemoved,
    ckModified,
    ckFolderGone,  // the watched folder itself was deleted, moved or unmounted; its watch has ended
    ckOverflow,    // the system lost changes: the view lists its folder again; Name is empty
};

// One change. Name is the full path (a folder ends with '/' only in
// ckFolderGone); NewName is the full path after a rename, empty otherwise.
struct TNotifyInfo {
    ChangeKind Kind = ChangeKind::ckModified;
    std::string Name;
    std::string NewName;
    bool operator==(const TNotifyInfo&) const = default;
};

class TChangeCoalescer {
public:
    // Takes the next record as the system reported it and folds it into
    // those held.
    void Add(const TNotifyInfo& record);
    // The records to deliver, in order, and forgets them.
    std::vector<TNotifyInfo> TakeAll();
    bool Empty() const { return fLive == 0; }

private:
    struct TEntry {
        TNotifyInfo Record;
        bool ModifiedAfter = false;  // a rename whose target changed afterwards
        bool Live = true;            // false once folded away
    };

    size_t Append(const TNotifyInfo& record);
    void Drop(size_t index);
    // Ends folding with everything held so far; what follows is appended.
    void Seal();
    void AddAdded(const TNotifyInfo& record);
    void AddRemoved(const TNotifyInfo& record);
    void AddRenamed(const TNotifyInfo& record);
    void AddModified(const TNotifyInfo& record);
    // A rename of held entry index onto the name held as removed by entry
    // removed (the rename of kind renamed): that name was replaced, and the
    // entry's original name is gone.
    void RenameOntoRemoved(size_t index, size_t removed, ChangeKind renamed);

    std::vector<TEntry> fEntries;  // in the order of their first record
    size_t fLive = 0;
    // Each name that exists now and has a held entry (added: its name;
    // renamed: its new name; modified: its name) -> the entry.
    std::map<std::string, size_t> fCurrent;
    // Each name held as removed (and not reused by an entry in fCurrent
    // before it) -> the entry.
    std::map<std::string, size_t> fRemoved;
    bool fOverflow = false;  // a ckOverflow is held: only ckFolderGone still counts
};
