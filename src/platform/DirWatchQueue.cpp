#include "platform/DirWatchQueue.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "base/Errors.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

struct TBitPair {
    TDirWatchBit Bit;
    uint32_t System;
};

// Both directions of the translation: the bits asked for and the bits read.
constexpr TBitPair BitPairs[] = {
    {dwCreated, IN_CREATE},         {dwDeleted, IN_DELETE},         {dwMovedFrom, IN_MOVED_FROM},
    {dwMovedTo, IN_MOVED_TO},       {dwModified, IN_MODIFY},        {dwAttributes, IN_ATTRIB},
    {dwAccessed, IN_ACCESS},        {dwSelfDeleted, IN_DELETE_SELF}, {dwSelfMoved, IN_MOVE_SELF},
    {dwUnmounted, IN_UNMOUNT},      {dwIgnored, IN_IGNORED},        {dwOverflow, IN_Q_OVERFLOW},
    {dwIsFolder, IN_ISDIR},
};

uint32_t ToSystem(uint32_t bits)
{
    uint32_t mask = 0;
    for (const TBitPair& pair : BitPairs) {
        if (bits & pair.Bit)
            mask |= pair.System;
    }
    return mask;
}

uint32_t FromSystem(uint32_t mask)
{
    uint32_t bits = 0;
    for (const TBitPair& pair : BitPairs) {
        if (mask & pair.System)
            bits |= pair.Bit;
    }
    return bits;
}

}  // namespace

TDirWatchQueue::TDirWatchQueue()
{
    fQueue = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fQueue < 0)
        throw EFileError(SystemErrorText("inotify", errno));
    fWake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fWake < 0) {
        const int error = errno;
        ::close(fQueue);
        throw EFileError(SystemErrorText("eventfd", error));
    }
}

TDirWatchQueue::~TDirWatchQueue()
{
    ::close(fWake);
    ::close(fQueue);
}

int TDirWatchQueue::AddWatch(const std::string& folder, uint32_t bits, bool followLinks)
{
    uint32_t mask = ToSystem(bits) | IN_ONLYDIR | IN_MASK_ADD;
    if (!followLinks)
        mask |= IN_DONT_FOLLOW;
    const int watch = ::inotify_add_watch(fQueue, folder.c_str(), mask);
    return watch >= 0 ? watch : -errno;
}

void TDirWatchQueue::RemoveWatch(int watch)
{
    // EINVAL means the system dropped the watch already (its folder is gone).
    ::inotify_rm_watch(fQueue, watch);
}

std::vector<TDirEvent> TDirWatchQueue::ReadEvents()
{
    std::vector<TDirEvent> events;
    alignas(inotify_event) char buffer[64 * 1024];
    // A bounded number of reads, so that a folder changing without pause
    // cannot hold the caller here forever; the rest waits for the next call.
    for (int round = 0; round < 16; ++round) {
        const ssize_t got = ::read(fQueue, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        const size_t size = static_cast<size_t>(got);
        size_t at = 0;
        // Every record is checked against the bytes read, so that a short
        // read can never make a name run past the buffer.
        while (at + sizeof(inotify_event) <= size) {
            inotify_event header;
            std::memcpy(&header, buffer + at, sizeof header);
            const size_t nameAt = at + sizeof(inotify_event);
            if (header.len > size - nameAt)
                break;
            TDirEvent event;
            event.Watch = header.wd;
            event.Bits = FromSystem(header.mask);
            event.Cookie = header.cookie;
            event.Name.assign(buffer + nameAt, ::strnlen(buffer + nameAt, header.len));
            events.push_back(std::move(event));
            at = nameAt + header.len;
        }
    }
    return events;
}

void TDirWatchQueue::Wait(int timeoutMs)
{
    pollfd fds[2] = {{fQueue, POLLIN, 0}, {fWake, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) > 0 && (fds[1].revents & POLLIN)) {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t got = ::read(fWake, &count, sizeof count);
    }
}

void TDirWatchQueue::Wake()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t put = ::write(fWake, &one, sizeof one);
}

int64_t TDirWatchQueue::UserWatchLimit()
{
    try {
        const std::string text = ReadWholeFile("/proc/sys/fs/inotify/max_user_watches", 64);
        return std::strtoll(text.c_str(), nullptr, 10);
    } catch (const EMirevaError&) {
        return 0;
    }
}
