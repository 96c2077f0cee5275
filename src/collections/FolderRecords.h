#pragma once

// The member records of the virtual folders: what a media catalogue, a shelf,
// a search or a category keeps about each file or folder it holds, and the
// small records the folder lists hand to their observers. Plain values owned
// by their folder.

#include <cstdint>
#include <string>
#include <vector>

#include "collections/ItemIdList.h"
#include "common/DateTime.h"

// One catalogued file or folder: a media catalogue's record (path relative to
// the medium's root) or a search cache's (absolute path).
struct TCtFileInfo {
    TItemIdList Item;
    std::string Path;
    bool IsDirectory = false;
    int32_t Attributes = 0;  // -1 when unknown
    int64_t Size = 0;
    TDateTime Modified = 0;
    TDateTime Created = 0;
    TDateTime Accessed = 0;
};

// A member of a shelf, a search result or a categorised file. Shelf members
// leave the attribute, size and date fields at 0: views read the real files.
struct TGroupFileInfo : TCtFileInfo {
    int32_t ParentIndex = -1;  // index into the folder's parent folders; -1 for roots
    bool Resolved = false;     // parent and folder flag are known
    int32_t TargetIndex = -1;  // the search target a result came from
};

enum class TSearchTargetKind : uint8_t { tkFolder, tkShelf, tkMedium };

// Where a batch of search results came from.
struct TSearchTarget {
    TSearchTargetKind Kind = TSearchTargetKind::tkFolder;
    std::string Name;   // shelf or medium name; empty when all were searched
    int32_t Index = -1; // position of that shelf or medium in its list
    TItemIdList Item;   // the shelf member that led to the results
    std::string BasePath;
};

// Several folders moving at once: their old positions (ascending) and where
// they go, as observers are told before and after the move.
struct TMoveIndex {
    std::vector<int32_t> Indices;
    int32_t Destination = 0;
};
