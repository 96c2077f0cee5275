#pragma once

// Feeds the single-instance socket into the Qt event loop: every connection
// of a later start is read as its bytes arrive, answered at once, and its
// hand-over passed to the handler on the user-interface thread. Answering
// before the handler runs keeps the later start from waiting on whatever the
// hand-over sets off (a folder to list, a picture to load).

#include <QObject>
#include <functional>
#include <map>
#include <memory>

#include "platform/SingleInstance.h"

class QSocketNotifier;
class QTimer;

class TInstanceListener : public QObject {
public:
    using THandler = std::function<void(const THandOver& message)>;

    // server must outlive the listener. A connection that does not complete
    // its message within timeoutMs is dropped.
    TInstanceListener(TInstanceServer& server, THandler handler, int timeoutMs = 5000, QObject* parent = nullptr);
    ~TInstanceListener() override;

private:
    struct TPending {
        std::unique_ptr<TInstanceConnection> Connection;
        std::unique_ptr<QSocketNotifier> Notifier;
        std::unique_ptr<QTimer> Timer;
    };

    void AcceptWaiting();
    void ReadFrom(int fd);
    void Drop(int fd);

    TInstanceServer& fServer;
    THandler fHandler;
    int fTimeoutMs;
    std::unique_ptr<QSocketNotifier> fListenNotifier;
    std::map<int, TPending> fPending;
};
