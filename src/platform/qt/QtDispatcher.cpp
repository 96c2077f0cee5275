#include "platform/qt/QtDispatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

// The object the wake-ups are posted to. Its destructor runs before
// QObject's, which removes the events still queued for it: once Receiver is
// cleared nothing new can be queued, and what was queued goes with the
// object.
//
// The tasks themselves wait in the shared queue, handed over under its
// mutex, never inside the posted event: Qt's event queue hands events over
// through its own futex-based locks, which the race checker cannot see, so a
// task read out of the event on this thread would look unsynchronised with
// its making on the worker. One wake-up is posted per task, so tasks keep
// their order among the other events of the loop.
class TQtDispatcher::TReceiver : public QObject {
public:
    TReceiver(std::shared_ptr<TShared> shared, QObject* owner)
        : QObject(owner)
        , fShared(std::move(shared))
    {
    }
    ~TReceiver() override
    {
        std::deque<std::function<void()>> dropped;
        {
            std::lock_guard lock(fShared->Mutex);
            fShared->Receiver = nullptr;
            dropped.swap(fShared->Tasks);
        }
        // The tasks never run; what they hold goes now, on this thread,
        // outside the lock.
    }

protected:
    // Only wake-ups are posted to this object; the event itself is not read.
    void customEvent(QEvent*) override
    {
        std::function<void()> task;
        {
            std::lock_guard lock(fShared->Mutex);
            if (fShared->Tasks.empty())
                return;
            task = std::move(fShared->Tasks.front());
            fShared->Tasks.pop_front();
        }
        // Run unlocked: a task may post further tasks.
        task();
    }

private:
    std::shared_ptr<TShared> fShared;
};

TQtDispatcher::TQtDispatcher(QObject* owner)
    : fShared(std::make_shared<TShared>())
{
    fShared->Receiver = new TReceiver(fShared, owner);
}

TQtDispatcher::~TQtDispatcher()
{
    QObject* receiver = nullptr;
    {
        std::lock_guard lock(fShared->Mutex);
        receiver = fShared->Receiver;
    }
    // Gone already when the owner died first (it deleted its children).
    // The receiver clears the shared pointer itself, under the lock.
    delete receiver;
}

void TQtDispatcher::Post(std::function<void()> task)
{
    if (!task)
        return;
    // Posting under the lock: the receiver cannot start dying between the
    // check and the queueing.
    std::lock_guard lock(fShared->Mutex);
    if (!fShared->Receiver)
        return;
    fShared->Tasks.push_back(std::move(task));
    // The wake-up is made by Qt itself (clone), not by a new here: the
    // application's event filters read every event on the window's thread,
    // and an event allocated in our own code on this thread would look, to
    // the race checker, unsynchronised with those reads for the same reason
    // as a task carried in the event.
    const QEvent wake(QEvent::User);
    QCoreApplication::postEvent(fShared->Receiver, wake.clone());
}
