#pragma once

// Keeps the file list, the folder trees and the archive list current while
// files change on disk. TDirChangeNotifier watches folders for any number of
// views (owners) through one system change queue read by one worker thread,
// folds each view's changes (TChangeCoalescer) and hands them to the view on
// the dispatcher's thread once its folders have been quiet for a moment.
//
// The worker exists only while some folder is watched: it starts with the
// first watch and is stopped (with a time limit) when the last one goes.
// Watches are shared: a folder watched by two views, or twice by one, is one
// system watch. A subtree watch also watches the folders below its folder,
// breadth first, up to a limit (TDirNotifyOptions); folders past the limit
// are not watched, and what changes inside them reaches the view only when it
// lists them again.

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "shellviews/ChangeCoalescer.h"

class TDispatcher;
class TDirWatchQueue;

// What a watch reports; a view names the changes it cares about.
enum class ChangeFilterItem : uint8_t {
    cfFileName,    // files created, deleted, renamed
    cfDirName,     // folders created, deleted, renamed
    cfAttributes,  // permissions and owner (as ckModified)
    cfSize,        // contents written (as ckModified)
    cfLastWrite,   // contents written (as ckModified)
    cfLastAccess,  // files read (as ckModified)
    cfCreation,    // times set (as ckModified)
    cfSecurity,    // permissions and owner (as ckModified)
};

// A set of ChangeFilterItem. Exactly {cfDirName} puts a watch into folder
// mode: only folders are reported, as ckFolder... kinds.
class ChangeFilter {
public:
    ChangeFilter() = default;
    ChangeFilter(std::initializer_list<ChangeFilterItem> items)
    {
        for (ChangeFilterItem item : items)
            fBits |= Bit(item);
    }
    bool Has(ChangeFilterItem item) const { return (fBits & Bit(item)) != 0; }
    bool operator==(const ChangeFilter&) const = default;

private:
    static uint8_t Bit(ChangeFilterItem item) { return static_cast<uint8_t>(1u << static_cast<unsigned>(item)); }
    uint8_t fBits = 0;
};

// The filters the views use.
inline const ChangeFilter FileListFilter{ChangeFilterItem::cfFileName, ChangeFilterItem::cfDirName,
                                         ChangeFilterItem::cfAttributes, ChangeFilterItem::cfLastWrite};
inline const ChangeFilter FolderTreeFilter{ChangeFilterItem::cfDirName};

// A view: the key of its handler, usually the view object itself.
using TNotifyOwner = const void*;
// Called on the dispatcher's thread with each delivered record, in order.
using TNotifyCallback = std::function<void(const TNotifyInfo&)>;

struct TDirNotifyOptions {
    // How long a view's folders must be quiet before its changes are
    // delivered; a burst that goes on longer is delivered every
    // DelayCeiling, so a long copy still shows its progress.
    std::chrono::milliseconds Delay{500};
    std::chrono::milliseconds DelayCeiling{2000};
    // Sub-folders one subtree watch watches at most, and all subtree watches
    // together; the second is lowered further to a quarter of the system's
    // watch limit for the user, which other programs share.
    int SubtreeFoldersPerWatch = 1024;
    int SubtreeFoldersTotal = 8192;
    // Opens the change queue; tests wrap the real one. Empty: the system's.
    std::function<std::unique_ptr<TDirWatchQueue>()> MakeQueue = {};
};

class TDirChangeNotifier {
public:
    // dispatcher runs the deliveries; it is the thread that calls every
    // method below (the user-interface thread) and must outlive the
    // notifier.
    explicit TDirChangeNotifier(TDispatcher& dispatcher, TDirNotifyOptions options = {});
    // Ends every watch and stops the worker; deliveries still queued on the
    // dispatcher are dropped.
    ~TDirChangeNotifier();
    TDirChangeNotifier(const TDirChangeNotifier&) = delete;
    TDirChangeNotifier& operator=(const TDirChangeNotifier&) = delete;

    // Makes the owner's handler, or gives the existing one a new callback.
    void AddHandler(TNotifyOwner owner, TNotifyCallback callback);
    // Ends the owner's watches and drops its undelivered changes.
    void RemoveHandler(TNotifyOwner owner);
    // Watches folder for the owner, which needs a handler. subtree also
    // watches the folders below it. False, with the system's reason in
    // reason, when the folder cannot be watched (it does not exist, is not a
    // folder, cannot be read, or the system's watch limit is reached).
    bool Watch(TNotifyOwner owner, const std::string& folder, ChangeFilter filter, bool subtree,
               std::string* reason = nullptr);
    // Ends every watch of folder for the owner; its undelivered changes stay.
    void Unwatch(TNotifyOwner owner, const std::string& folder);
    // Ends every watch of the owner and drops its undelivered changes.
    void ClearHandler(TNotifyOwner owner);
    // Delivers now every change the system has reported so far, to every
    // handler (a view calls it before it lists its folder again).
    void Flush();

    // For tests and diagnostics: the system watches held, and whether no
    // folder is still waiting to be added below a subtree watch.
    size_t SystemWatchCount() const;
    bool SubtreesSettled() const;
    bool WorkerRunning() const;

private:
    struct TState;
    std::shared_ptr<TState> fState;
};
