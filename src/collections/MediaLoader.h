#pragma once

// Cataloguing a disc: one record per file and folder below the mount, as the
// walk of platform/TreeWalk.h finds them (links to folders, repeated folders
// and other file systems are recorded but not entered), and the thread that
// does it for the window while it shows progress.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/Dispatcher.h"
#include "collections/FolderRecords.h"
#include "platform/TreeWalk.h"

class TMediaFolder;

using TCatalogueRecords = std::vector<std::unique_ptr<TCtFileInfo>>;

// The record of one walked entry below root (root without trailing '/').
// Entries whose status could not be read get attributes -1.
std::unique_ptr<TCtFileInfo> CatalogueRecord(const std::string& root, const TTreeWalkEntry& entry);

// Catalogues the tree below root. progress (may be empty) hears every
// relative path as it is read; the walk stops early once stop is set, and
// what was read until then is returned. Raises EFileError when root cannot be
// read at all. Runs on any thread.
TCatalogueRecords BuildCatalogue(const std::string& root, const std::function<void(const std::string&)>& progress = {},
                                 const std::atomic<bool>* stop = nullptr, TTreeWalkStats* stats = nullptr);

// One load of a medium's catalogue from its disc on a thread of its own. The
// medium owns it (TMediaFolder::AttachLoader); reports reach the medium on the
// dispatcher's thread, and none arrives once Stop was called.
class TMediaLoadingThread {
public:
    // Progress reports are posted at most every this many items, so that a
    // disc of many small files does not flood the window with them.
    static constexpr int ProgressEvery = 64;

    TMediaLoadingThread(TMediaFolder& medium, std::string rootPath, TDispatcher& dispatcher);
    ~TMediaLoadingThread();
    TMediaLoadingThread(const TMediaLoadingThread&) = delete;
    TMediaLoadingThread& operator=(const TMediaLoadingThread&) = delete;

    const std::string& RootPath() const { return fRootPath; }
    // Owner's thread. Asks the walk to end, waits for the thread and drops
    // every report still on its way.
    void Stop();

private:
    // Shared with the posted reports: tells them whether the medium still
    // waits for this load. Set and read on the owner's thread only.
    struct TToken {
        TMediaFolder* Medium = nullptr;
        bool Alive = true;
    };
    void Run();

    std::string fRootPath;
    TDispatcher& fDispatcher;
    std::shared_ptr<TToken> fToken;
    std::atomic<bool> fStop{false};
    std::thread fThread;
};

// Starts loading medium's catalogue from the disc mounted at rootPath. A
// first load clears the catalogue at once; a reload keeps it until the new
// records are in (Reloading tells which).
void StartLoading(TMediaFolder& medium, const std::string& rootPath, TDispatcher& dispatcher, bool reload);
