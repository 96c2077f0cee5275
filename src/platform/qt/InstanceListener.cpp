#include "platform/qt/InstanceListener.h"

#include <QSocketNotifier>
#include <QTimer>

TInstanceListener::TInstanceListener(TInstanceServer& server, THandler handler, int timeoutMs, QObject* parent)
    : QObject(parent)
    , fServer(server)
    , fHandler(std::move(handler))
    , fTimeoutMs(timeoutMs)
{
    fListenNotifier = std::make_unique<QSocketNotifier>(fServer.Handle(), QSocketNotifier::Read);
    connect(fListenNotifier.get(), &QSocketNotifier::activated, this, [this] { AcceptWaiting(); });
}

TInstanceListener::~TInstanceListener() = default;

void TInstanceListener::AcceptWaiting()
{
    while (std::unique_ptr<TInstanceConnection> connection = fServer.Accept()) {
        const int fd = connection->Handle();
        TPending pending;
        pending.Connection = std::move(connection);
        pending.Notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        pending.Timer = std::make_unique<QTimer>();
        pending.Timer->setSingleShot(true);
        connect(pending.Notifier.get(), &QSocketNotifier::activated, this, [this, fd] { ReadFrom(fd); });
        connect(pending.Timer.get(), &QTimer::timeout, this, [this, fd] { Drop(fd); });
        pending.Timer->start(fTimeoutMs);
        fPending[fd] = std::move(pending);
        // The bytes may all be there already.
        ReadFrom(fd);
    }
}

void TInstanceListener::ReadFrom(int fd)
{
    const auto it = fPending.find(fd);
    if (it == fPending.end())
        return;
    TInstanceConnection& connection = *it->second.Connection;
    switch (connection.ReadAvailable()) {
    case TInstanceConnection::TReadState::rsWaiting:
        return;
    case TInstanceConnection::TReadState::rsFailed:
        // A message we cannot read still gets its answer, so the sender ends
        // instead of taking us for hung; its content is ignored.
        connection.Answer();
        Drop(fd);
        return;
    case TInstanceConnection::TReadState::rsComplete: {
        connection.Answer();
        const THandOver message = connection.Message();
        Drop(fd);
        if (fHandler)
            fHandler(message);
        return;
    }
    }
}

void TInstanceListener::Drop(int fd)
{
    const auto it = fPending.find(fd);
    if (it == fPending.end())
        return;
    // The notifier must stop watching before its descriptor is closed; the
    // objects may be deleted only after the signal that called us returned.
    TPending pending = std::move(it->second);
    fPending.erase(it);
    pending.Notifier->setEnabled(false);
    pending.Timer->stop();
    pending.Notifier.release()->deleteLater();
    pending.Timer.release()->deleteLater();
}
