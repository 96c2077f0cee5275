#pragma once

// A walk over every file and folder below one root, as a media catalogue
// records a disc. The walk never enters a symbolic link to a folder (a link
// can point anywhere, even back up the tree), never enters a folder it has
// entered before (a bind mount can make a loop of real folders), and stays on
// the root's own file system (a disc mounted inside another is a medium of
// its own). Those folders are still reported; only their contents are not.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TTreeWalkTime {
    int64_t Seconds = 0;      // since 1970-01-01 UTC
    int32_t Nanoseconds = 0;
};

struct TTreeWalkEntry {
    // From the root, '/'-separated, without a leading '/': "DIR/SUB/FILE.JPG".
    std::string RelativePath;
    bool Found = false;        // its status could be read (through a link)
    bool IsDirectory = false;  // a folder, or a link to one
    bool IsLink = false;
    int64_t Size = 0;
    uint32_t Mode = 0;         // permission and type bits
    TTreeWalkTime Modified;
    TTreeWalkTime Created;         // the birth time; the change time where the file system keeps none
    TTreeWalkTime Accessed;
    // Which file the name itself is (the link, not its target): two names of
    // one folder give the same pair.
    uint64_t Device = 0;
    uint64_t Inode = 0;
};

struct TTreeWalkStats {
    int64_t Entries = 0;
    int64_t FoldersSkipped = 0;   // links to folders, repeats and other file systems not entered
    int64_t FoldersUnreadable = 0;
};

// Calls visit for every entry below root (not for the root itself): all
// entries of a folder, then the contents of each of its subfolders in turn.
// Stops early, between entries, once stop is set. Raises EFileError when the
// root itself cannot be opened as a folder. visit may raise; the walk then
// ends with that exception.
TTreeWalkStats WalkTree(const std::string& root, const std::function<void(const TTreeWalkEntry&)>& visit,
                    const std::atomic<bool>* stop = nullptr);

// One path as WalkTree reports an entry (RelativePath is the path given):
// Found false when it cannot be read, a link described through its target
// with IsLink set.
TTreeWalkEntry StatPath(const std::string& path);
// The entries of one folder in the order the folder gives them, each described
// as by StatPath, RelativePath being the entry's name. Raises EFileError when
// the folder cannot be opened.
std::vector<TTreeWalkEntry> ListFolderEntries(const std::string& folder);
