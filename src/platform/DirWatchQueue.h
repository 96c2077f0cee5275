#pragma once

// The system's folder-change queue (inotify): folders are added to one queue,
// and what happens inside them is read back as events. The directory change
// notifier of the views (shellviews/DirNotify.h) owns one queue while any
// folder is watched and reads it on its worker thread; this class only wraps
// the system calls, so that the notifier's rules stay apart from them.

#include <cstdint>
#include <string>
#include <vector>

// What a watch reports, as bits of one mask; the same bits ask for events
// when a folder is added and describe them when they are read.
enum TDirWatchBit : uint32_t {
    dwCreated = 1u << 0,      // a name appeared in the folder
    dwDeleted = 1u << 1,      // a name vanished from it
    dwMovedFrom = 1u << 2,    // a name was renamed or moved away (paired with dwMovedTo by Cookie)
    dwMovedTo = 1u << 3,      // a name arrived by a rename or move
    dwModified = 1u << 4,     // a file's contents were written
    dwAttributes = 1u << 5,   // permissions, owner, times or link count changed
    dwAccessed = 1u << 6,     // a file was read
    dwSelfDeleted = 1u << 7,  // the watched folder itself was deleted
    dwSelfMoved = 1u << 8,    // the watched folder itself was renamed or moved
    // Only in events read back:
    dwUnmounted = 1u << 9,    // the file system of the folder was unmounted
    dwIgnored = 1u << 10,     // the watch no longer exists (removed, or its folder is gone)
    dwOverflow = 1u << 11,    // the queue overflowed: events were lost (Watch is -1)
    dwIsFolder = 1u << 12,    // the name is a folder
};

struct TDirEvent {
    int Watch = -1;       // the watch the event belongs to; -1 for dwOverflow
    uint32_t Bits = 0;    // TDirWatchBit values
    uint32_t Cookie = 0;  // the same for the two halves of one rename
    std::string Name;     // the entry inside the folder; empty for events of the folder itself
};

class TDirWatchQueue {
public:
    // Opens the queue; raises EFileError (the system's reason) when it cannot.
    TDirWatchQueue();
    virtual ~TDirWatchQueue();
    TDirWatchQueue(const TDirWatchQueue&) = delete;
    TDirWatchQueue& operator=(const TDirWatchQueue&) = delete;

    // Any thread. Watches folder (only a folder is accepted) for the events
    // of bits, added to whatever the folder is already watched for; the same
    // folder reached twice gives the same watch number. followLinks false
    // refuses a symbolic link. Returns the watch number, or minus the
    // system's error number (-ENOSPC when the user's watch limit is reached).
    virtual int AddWatch(const std::string& folder, uint32_t bits, bool followLinks);
    // Any thread. Ends a watch; a dwIgnored event for it follows.
    virtual void RemoveWatch(int watch);
    // Any thread. Every event queued now, without waiting.
    virtual std::vector<TDirEvent> ReadEvents();
    // Waits until events are queued, Wake is called or timeoutMs passes
    // (negative: no limit).
    virtual void Wait(int timeoutMs);
    // Any thread. Ends the current or next Wait at once.
    void Wake();

    // How many watches the system allows this user in all; 0 when unknown.
    static int64_t UserWatchLimit();

private:
    int fQueue = -1;
    int fWake = -1;
};
