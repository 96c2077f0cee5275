#include "platform/qt/QtDispatcher.h"

#include <QMetaObject>
#include <QObject>

// The object the tasks are queued on. Its destructor runs before QObject's,
// which removes the events still queued for it: once Receiver is cleared
// nothing new can be queued, and what was queued goes with the object.
class TQtDispatcher::TReceiver : public QObject {
public:
    TReceiver(std::shared_ptr<TShared> shared, QObject* owner)
        : QObject(owner)
        , fShared(std::move(shared))
    {
    }
    ~TReceiver() override
    {
        std::lock_guard lock(fShared->Mutex);
        fShared->Receiver = nullptr;
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
    QMetaObject::invokeMethod(fShared->Receiver, std::move(task), Qt::QueuedConnection);
}
