#pragma once

// Waits in a window test without blocking Qt: processes events until done()
// holds or the deadline passes, so that no test waits forever.

#include <QCoreApplication>
#include <chrono>
#include <functional>
#include <thread>

// False when the deadline won.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
