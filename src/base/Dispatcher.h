#pragma once

// How a worker thread hands results to the thread that owns the windows.
// Workers never touch widgets; they post a task, and the owner's dispatcher
// runs it on its own thread: the windows with TQtDispatcher
// (platform/qt/QtDispatcher.h), a queued invocation that is dropped once its
// receiver is gone; tests with TInlineDispatcher, which runs the task at once
// on the posting thread.

#include <functional>

class TDispatcher {
public:
    virtual ~TDispatcher() = default;
    // Any thread. The task runs later on the owner's thread; it must not
    // assume the poster still exists unless it keeps it alive itself.
    virtual void Post(std::function<void()> task) = 0;
};

class TInlineDispatcher : public TDispatcher {
public:
    void Post(std::function<void()> task) override
    {
        if (task)
            task();
    }
};
