#include "platform/MountWatch.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "base/Errors.h"
#include "platform/FileSystem.h"

TMountTableWatch::TMountTableWatch()
{
    fTable = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (fTable < 0)
        throw EFileError(SystemErrorText("/proc/self/mountinfo", errno));
    fWake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fWake < 0) {
        const int error = errno;
        ::close(fTable);
        throw EFileError(SystemErrorText("eventfd", error));
    }
}

TMountTableWatch::~TMountTableWatch()
{
    ::close(fWake);
    ::close(fTable);
}

bool TMountTableWatch::Wait(int timeoutMs)
{
    // The table is always readable, so only the exceptional condition is
    // asked for; the system clears it for this descriptor as it reports it.
    pollfd fds[2] = {{fTable, POLLPRI, 0}, {fWake, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) <= 0)
        return false;
    if (fds[1].revents & POLLIN) {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t got = ::read(fWake, &count, sizeof count);
    }
    return (fds[0].revents & (POLLPRI | POLLERR)) != 0;
}

void TMountTableWatch::Wake()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t put = ::write(fWake, &one, sizeof one);
}
