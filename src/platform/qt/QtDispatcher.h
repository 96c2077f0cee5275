#pragma once

// The dispatcher of the windows: a task a worker posts runs later on the
// user-interface thread, as a queued invocation on a receiver object of its
// own. The receiver is a child of the owner given at construction, so a task
// still queued when the owner (the window) or the dispatcher goes away is
// dropped with the receiver, never run against freed state.

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "base/Dispatcher.h"

class QObject;

class TQtDispatcher : public TDispatcher {
public:
    // owner's thread runs the tasks; owner may be null (the dispatcher's
    // own receiver then lives on the constructing thread). Construct and
    // destroy on that thread.
    explicit TQtDispatcher(QObject* owner);
    ~TQtDispatcher() override;
    TQtDispatcher(const TQtDispatcher&) = delete;
    TQtDispatcher& operator=(const TQtDispatcher&) = delete;

    // Any thread. The task runs on the owner's thread once its event loop
    // gets to it, unless the owner or this dispatcher is gone by then.
    void Post(std::function<void()> task) override;

private:
    // Shared with the receiver, which clears Receiver as it dies, so that a
    // worker never posts to a destroyed object.
    struct TShared {
        std::mutex Mutex;           // guards Receiver and Tasks
        QObject* Receiver = nullptr;
        std::deque<std::function<void()>> Tasks; // posted, not yet run
    };
    class TReceiver;

    std::shared_ptr<TShared> fShared;
};
