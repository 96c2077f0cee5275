#pragma once

// The pictures of one page step, gathered on a worker so that the window's
// thread never decodes or waits for them. The step either waits (with a
// limit) for the image cache to hold the pictures at the head of its queue,
// or runs the pictures' load jobs, each on a thread of its own; when the
// cache gives up (a limit passed, the thread ended) the jobs run as well.
// Nothing here touches the viewer: the worker reports through done, and the
// viewer takes the results on its own thread once done has been called.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "viewer/Cache.h"
#include "viewer/PageViewer.h"

class TStepLoad {
public:
    struct TCacheWait {
        std::shared_ptr<TImageCacheThread> Cache;  // null: no cache to wait for
        TCacheDirection Direction = TCacheDirection::cdAhead;
        std::vector<int> Positions;  // taken from the head of the queue, in order
        std::chrono::milliseconds Limit{0};
    };

    // Starts the worker. jobs: the load of each picture the step needs that
    // is not at hand, by list index; run unless the cache delivers. done is
    // called on the worker when it has finished, also after Cancel; it must
    // only post. afterLoad, when given, runs on the worker once the jobs
    // have run (not after a cancel), with them (to scale the pictures for
    // their pages, say). std::system_error when no thread is to be had.
    using TAfterLoad = std::function<void(const std::map<int, std::unique_ptr<TPictureLoadJob>>& jobs)>;
    TStepLoad(TCacheWait wait, std::map<int, std::unique_ptr<TPictureLoadJob>> jobs, std::function<void()> done,
              TAfterLoad afterLoad = nullptr);
    // Waits for the worker: a cancelled one ends after the job it is in.
    ~TStepLoad();
    TStepLoad(const TStepLoad&) = delete;
    TStepLoad& operator=(const TStepLoad&) = delete;

    // Any thread. The results are no longer wanted: a cache wait ends at
    // once, jobs not yet begun are not begun.
    void Cancel();
    bool Cancelled() const { return fCancel.load(); }
    // Any thread: the worker has called done (or is about to).
    bool Finished() const { return fFinished.load(); }
    // Waits at most limit for the worker to finish; true when it has.
    bool WaitFinished(std::chrono::milliseconds limit);

    // After done, on the viewer's thread. True when the cache holds every
    // position waited for; the jobs were then not run and are dropped.
    bool CacheReady() const { return fCacheReady; }
    // The jobs that ran, by index, to be finished by the viewer; empty when
    // the cache delivered.
    std::map<int, std::unique_ptr<TPictureLoadJob>> TakeJobs();

private:
    void Work();

    TCacheWait fWait;
    std::map<int, std::unique_ptr<TPictureLoadJob>> fJobs;
    std::function<void()> fDone;
    TAfterLoad fAfterLoad;
    std::atomic<bool> fCancel{false};
    std::atomic<bool> fFinished{false};
    std::mutex fFinishMutex;
    std::condition_variable fFinishedSignal;
    // Written by the worker before done; read after it.
    bool fCacheReady = false;
    bool fJobsRan = false;
    // Last, so that the worker starts when everything above exists.
    std::thread fThread;
};
