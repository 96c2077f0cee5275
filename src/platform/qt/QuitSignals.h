#pragma once

// Turns the signals that ask a program to end (SIGTERM at log-out or from
// kill, SIGINT from a terminal, SIGHUP when the terminal goes) into a call on
// the user-interface thread, so that the viewer closes its window the normal
// way: settings saved, the temporary folder removed, the single-instance
// socket taken down. Without this the process would just die and leave them.

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

class TQuitSignals : public QObject {
public:
    // Only one may exist at a time; it puts the earlier handlers back when
    // destroyed.
    explicit TQuitSignals(std::function<void()> onQuit, QObject* parent = nullptr);
    ~TQuitSignals() override;

private:
    std::function<void()> fOnQuit;
    std::unique_ptr<QSocketNotifier> fNotifier;
};
