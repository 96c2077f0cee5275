#pragma once

// Keeps the views' drives current: TShellChangeNotifier watches the mount
// table on a worker thread of its own, compares each new reading with the
// last, and tells every registered view on the dispatcher's thread which
// drive appeared or went away. Drives are the mounts the folder tree shows
// beside the home folder ("/" and the user's mounts under /media, /run/media
// and /mnt); the list it keeps holds the fixed and network ones, as the tree's
// drive list does.
//
// The worker runs from construction to destruction, independently of the
// directory watcher (DirNotify.h), whose worker exists only while folders are
// watched, and it sleeps until the system marks the table changed.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "collections/ShellFolder.h"
#include "platform/Mounts.h"
#include "shellviews/DirNotify.h"

class TDispatcher;

struct TDriveInfo {
    std::string Path;  // the mount point, with a trailing '/'
    TDriveType Type = TDriveType::dtFixed;
    bool operator==(const TDriveInfo&) const = default;
};

enum class TDriveChange : uint8_t { dcAdded, dcRemoved };

struct TDriveEvent {
    TDriveChange Change = TDriveChange::dcAdded;
    TDriveInfo Drive;
    bool operator==(const TDriveEvent&) const = default;
};

// The drives among mounts, sorted by path; removable tells whether a device
// is removable (IsRemovableDevice). A path mounted twice is one drive, of the
// kind of the later mount, which hides the earlier.
std::vector<TDriveInfo> DrivesOfMounts(const std::vector<TMountPoint>& mounts,
                                       const std::function<bool(const std::string& device)>& removable);
// What changed between two readings of DrivesOfMounts: removals first, then
// additions, each by path. A drive mounted again in between with another
// kind is removed and added.
std::vector<TDriveEvent> DiffDrives(const std::vector<TDriveInfo>& before, const std::vector<TDriveInfo>& after);

// The mount table and the wait for its changes; tests give their own.
class TMountMonitor {
public:
    virtual ~TMountMonitor() = default;
    // Worker thread (and the constructing thread, once).
    virtual std::vector<TMountPoint> Read() = 0;
    // Worker thread. Waits until the table changes (true) or Wake is called.
    virtual bool Wait() = 0;
    // Any thread.
    virtual void Wake() = 0;
    // Worker thread.
    virtual bool IsRemovable(const std::string& device) = 0;
};

// The system's table (/proc/self/mountinfo); raises EFileError when it
// cannot be watched.
std::unique_ptr<TMountMonitor> MakeSystemMountMonitor();

class TShellChangeNotifier {
public:
    using TDriveCallback = std::function<void(const TDriveEvent&)>;

    // dispatcher runs the notices and is the thread that calls every method
    // below; it must outlive the notifier. monitor null: the system's table;
    // when that cannot be watched, the drive list is read once and never
    // changes.
    explicit TShellChangeNotifier(TDispatcher& dispatcher, std::unique_ptr<TMountMonitor> monitor = nullptr);
    // Stops the worker, waiting for it at most a few seconds.
    ~TShellChangeNotifier();
    TShellChangeNotifier(const TShellChangeNotifier&) = delete;
    TShellChangeNotifier& operator=(const TShellChangeNotifier&) = delete;

    // Registers the owner's callback, or replaces it; a handler may remove
    // itself or another while it is told.
    void AddHandler(TNotifyOwner owner, TDriveCallback callback);
    void RemoveHandler(TNotifyOwner owner);
    // The fixed and network drives now, sorted by path.
    std::vector<TDriveInfo> Drives() const;

private:
    struct TViews;
    struct TWorker;
    std::shared_ptr<TViews> fViews;
    std::shared_ptr<TWorker> fWorker;
};
