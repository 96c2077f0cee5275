#pragma once

// A dispatcher for a thread that runs no window event loop (mireva-cli, the
// tests of threaded code): workers queue their tasks, and the owning thread
// runs them in its own loop, in the order they were posted, waiting for the
// next one at most until a deadline.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "base/Dispatcher.h"

class TQueueDispatcher : public TDispatcher {
public:
    using TClock = std::chrono::steady_clock;

    // Any thread.
    void Post(std::function<void()> task) override
    {
        if (!task)
            return;
        {
            std::lock_guard<std::mutex> lock(fMutex);
            fTasks.push_back(std::move(task));
        }
        fPosted.notify_one();
    }

    // Owner's thread. Runs the next task, waiting for one until deadline;
    // false when none came in time. The task runs outside the lock, so it
    // may post again.
    bool RunOne(TClock::time_point deadline)
    {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> lock(fMutex);
            if (!fPosted.wait_until(lock, deadline, [this] { return !fTasks.empty(); }))
                return false;
            task = std::move(fTasks.front());
            fTasks.pop_front();
        }
        task();
        return true;
    }

    // Owner's thread. Runs the tasks queued now (not those they post) and
    // returns how many ran.
    size_t RunPending()
    {
        size_t queued = 0;
        {
            std::lock_guard<std::mutex> lock(fMutex);
            queued = fTasks.size();
        }
        size_t count = 0;
        while (count < queued && RunOne(TClock::time_point::min()))
            ++count;
        return count;
    }

private:
    std::mutex fMutex;  // guards fTasks
    std::condition_variable fPosted;
    std::deque<std::function<void()>> fTasks;
};
