#pragma once

// Reads what a fast folder listing left out (the size, date and attributes
// of each entry) on a thread of its own, so that a large folder is shown and
// sorted by name at once and its sizes and dates follow a moment later. The
// statuses are handed to the owner through the dispatcher, in listing order,
// in one delivery per slice of entries.

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileSystem.h"

class TDispatcher;

class TListDetailReader {
public:
    // Runs on the dispatcher's thread: statuses[i] belongs to names[first + i];
    // an entry that went meanwhile has Kind fkNone. failed: the folder could not
    // be opened, and no statuses follow.
    using TDeliver = std::function<void(size_t first, std::vector<TFileStatus> statuses, bool failed)>;

    // Starts the thread at once. Names are plain names inside folder. A
    // slice of 0 delivers everything at the end.
    TListDetailReader(TDispatcher& dispatcher, std::string folder, std::vector<std::string> names,
                      TDeliver deliver, size_t slice = 0);
    // Stops and joins the thread.
    ~TListDetailReader();
    TListDetailReader(const TListDetailReader&) = delete;
    TListDetailReader& operator=(const TListDetailReader&) = delete;

    // Dispatcher's thread. Stops the thread and joins it; a delivery already
    // posted is dropped when it runs.
    void Stop();
    // Dispatcher's thread. True once every slice was delivered (or the
    // reading failed), or after Stop.
    bool Done() const { return *fDone; }

private:
    void Run();

    TDispatcher& fDispatcher;
    std::string fFolder;
    std::vector<std::string> fNames;  // read by the thread only, until it ends
    TDeliver fDeliver;
    size_t fSlice;
    // Shared with the posted deliveries and written on the dispatcher's
    // thread only: false once stopped, so a late delivery does nothing.
    std::shared_ptr<bool> fLive;
    std::shared_ptr<bool> fDone;
    std::atomic<bool> fStop{false};
    std::thread fThread;
};
