#include "platform/FileStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "base/Texts.h"

TFileStream::TFileStream(const std::string& path, TFileMode mode, bool noFollow, unsigned permissions)
    : fPath(path)
{
    int flags = O_CLOEXEC;
    switch (mode) {
    case TFileMode::fmOpenRead:
        flags |= O_RDONLY;
        break;
    case TFileMode::fmOpenReadWrite:
        flags |= O_RDWR;
        break;
    case TFileMode::fmCreate:
        flags |= O_WRONLY | O_CREAT | O_TRUNC;
        break;
    case TFileMode::fmCreateNew:
        flags |= O_WRONLY | O_CREAT | O_EXCL;
        break;
    }
    if (noFollow)
        flags |= O_NOFOLLOW;
    // Opened without waiting: opening a FIFO to read would otherwise wait
    // for a writer before the check below could refuse it.
    flags |= O_NONBLOCK;
    do {
        fFd = ::open(path.c_str(), flags, permissions);
    } while (fFd < 0 && errno == EINTR);
    if (fFd < 0) {
        const int error = errno;
        // A socket refuses to be opened with "no such device or address",
        // which tells the user nothing about the name they gave.
        struct stat st {};
        if (error == ENXIO && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            throw EFileError("'" + path + Tx("' は通常のファイルではありません  "));
        throw EFileError(SystemErrorText(path, error));
    }
    // A stream is for regular files only: reading a FIFO or a device by
    // mistake would block or never end.
    struct stat st {};
    if (::fstat(fFd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fFd);
        fFd = -1;
        throw EFileError("'" + path + Tx("' は通常のファイルではありません  "));
    }
    const int status = ::fcntl(fFd, F_GETFL);
    if (status >= 0)
        (void)::fcntl(fFd, F_SETFL, status & ~O_NONBLOCK);
}

TFileStream::~TFileStream()
{
    if (fFd >= 0)
        ::close(fFd);
}

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    int64_t total = 0;
    auto* out = static_cast<char*>(buffer);
    while (total < count) {
        const ssize_t n = ::read(fFd, out + total, static_cast<size_t>(count - total));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EFileError(SystemErrorText(fPath, errno));
        }
        if (n == 0)
            break;
        total += n;
    }
    return total;
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    int64_t total = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (total < count) {
        const ssize_t n = ::write(fFd, in + total, static_cast<size_t>(count - total));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EFileError(SystemErrorText(fPath, errno));
        }
        if (n == 0)
            break;
        total += n;
    }
    return total;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                       : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                           : SEEK_END;
    const off_t pos = ::lseek(fFd, offset, whence);
    if (pos < 0)
        throw EFileError(SystemErrorText(fPath, errno));
    return pos;
}

void TFileStream::SetSize(int64_t newSize)
{
    if (::ftruncate(fFd, newSize) != 0)
        throw EFileError(SystemErrorText(fPath, errno));
}

int64_t TFileStream::Size()
{
    struct stat st {};
    if (::fstat(fFd, &st) != 0)
        throw EFileError(SystemErrorText(fPath, errno));
    return st.st_size;
}

void TFileStream::Sync()
{
    if (::fsync(fFd) != 0)
        throw EFileError(SystemErrorText(fPath, errno));
}

void TFileStream::Close()
{
    if (fFd < 0)
        return;
    const int fd = fFd;
    fFd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw EFileError(SystemErrorText(fPath, errno));
}

std::string ReadWholeFile(const std::string& path, int64_t maxBytes)
{
    TFileStream file(path, TFileMode::fmOpenRead);
    const int64_t size = file.Size();
    if (size > maxBytes)
        throw EFileError("'" + path + Tx("' は大きすぎます  "));
    std::string bytes(static_cast<size_t>(size), '\0');
    const int64_t got = file.Read(bytes.data(), size);
    bytes.resize(static_cast<size_t>(got));
    return bytes;
}
