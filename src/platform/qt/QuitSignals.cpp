#include "platform/qt/QuitSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The signal handler may only write to a pipe; the read end wakes the event
// loop.
int QuitPipe[2] = {-1, -1};
const int QuitSignalNumbers[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction PreviousActions[3];

void OnQuitSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(QuitPipe[1], &byte, 1);
}

}  // namespace

TQuitSignals::TQuitSignals(std::function<void()> onQuit, QObject* parent)
    : QObject(parent)
    , fOnQuit(std::move(onQuit))
{
    if (::pipe2(QuitPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    fNotifier = std::make_unique<QSocketNotifier>(QuitPipe[0], QSocketNotifier::Read);
    connect(fNotifier.get(), &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(QuitPipe[0], bytes, sizeof bytes) > 0) {
        }
        if (fOnQuit)
            fOnQuit();
    });
    for (size_t i = 0; i < std::size(QuitSignalNumbers); ++i) {
        struct sigaction action {};
        action.sa_handler = OnQuitSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(QuitSignalNumbers[i], &action, &PreviousActions[i]);
    }
}

TQuitSignals::~TQuitSignals()
{
    if (!fNotifier)
        return;
    for (size_t i = 0; i < std::size(QuitSignalNumbers); ++i)
        ::sigaction(QuitSignalNumbers[i], &PreviousActions[i], nullptr);
    fNotifier.reset();
    ::close(QuitPipe[0]);
    ::close(QuitPipe[1]);
    QuitPipe[0] = QuitPipe[1] = -1;
}
