#pragma once

// What a drop of files does, decided without a widget: which effect the
// held keys and the places of the files ask for, which of them the source
// allows, and what kind of place lies under the pointer. The views read the
// keys and the item under the pointer and do the work through the file
// commands or the shelf; this only decides.

#include <cstdint>
#include <string>
#include <vector>

class TArchiver;

enum class TDropEffect : uint8_t { deNone, deCopy, deMove, deLink };

// The effects a drag source allows, as a set.
struct TDropEffects {
    bool Copy = true;
    bool Move = true;
    bool Link = true;

    bool Allows(TDropEffect effect) const;
    bool Any() const { return Copy || Move || Link; }
};

// Where a drag comes from: it decides which effects it offers.
enum class TDragSourceKind : uint8_t {
    dsFolder,         // a folder's files, the folder tree
    dsShelfMembers,   // members of a shelf (their files lie elsewhere)
    dsSearchResults,  // search results: real files, moving them is fine
    dsArchive,        // members extracted from an archive: only copies exist
};

// The effects a drag of that source allows. Moving a shelf's members would
// empty the folders the shelf points at behind its back, and an archive's
// members are temporary copies that can only be copied.
TDropEffects DragEffects(TDragSourceKind source);

// What lies under the pointer.
enum class TDropTargetKind : uint8_t {
    dtNone,    // nothing that takes files (empty space, a medium, a category)
    dtFolder,  // a folder of the file system
    dtShelf,   // a shelf: the files are added to it
};

struct TDropKeys {
    bool Ctrl = false;
    bool Shift = false;
    bool Alt = false;
};

// Everything a drop decision reads.
struct TDropQuery {
    TDropTargetKind Target = TDropTargetKind::dtNone;
    TDropKeys Keys;
    // Every dragged file lies on the target folder's device.
    bool SameDevice = true;
    TDropEffects Allowed;
    // The dragged files are extracted archive members (temporary copies).
    bool Extracted = false;
};

// The file managers' rules: Ctrl copies, Shift moves, Ctrl+Shift or Alt
// links; without keys a drop moves on the same device and copies to another.
// An effect the source does not allow falls back to copy (then move) so that
// a drop never silently does nothing a key did not ask for. A shelf takes
// the files as members, never extracted temporary copies.
TDropEffect DropEffect(const TDropQuery& query);

// A folder that would receive a drop of paths into itself or below one of
// them (a folder moved into its own child), or a move into the folder the
// files already lie in, is refused: the transfer could only fail or do
// nothing.
bool DropIntoSelf(const std::vector<std::string>& paths, const std::string& folder, TDropEffect effect);

// True when every path lies on the same device as folder (by stat); false
// when one of them cannot be examined, so that a doubtful drop copies.
bool OnSameDevice(const std::vector<std::string>& paths, const std::string& folder);

// Makes a symbolic link in folder to each path, under the path's own name;
// an existing name is never replaced. Returns one message per failure.
std::vector<std::string> LinkInto(const std::vector<std::string>& paths, const std::string& folder);

// Writes the dragged members of an archive out below its shared
// extraction folder and names the written files in paths, in the order
// given: a member path ("dir/a.jpg") gives its file, a folder ("dir/") gives
// its folder with every file below it. The member paths were cleaned when
// the archive was listed, so nothing is written outside that folder.
// Stops at the first failure and returns its message ("" when all were
// written); paths then names nothing, so a target gets no half list.
std::string ExtractDragged(TArchiver& archive, const std::vector<std::string>& members,
                           std::vector<std::string>& paths);

// Where a shelf dragged from index from goes when dropped on the shelf at
// target (-1: below the last of count): in front of the target, which is one
// place higher once the dragged shelf is taken out before it; -1 when the
// drop moves nothing.
int ReorderDestination(int from, int target, int count);
