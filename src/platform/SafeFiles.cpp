#include "platform/SafeFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "platform/FileSystem.h"

bool IsWithinFolder(const std::string& root, const std::string& path)
{
    if (!IsAbsolutePath(root) || !IsAbsolutePath(path))
        return false;
    const std::string base = IncludeTrailingPathDelimiter(NormalizePath(root));
    const std::string target = IncludeTrailingPathDelimiter(NormalizePath(path));
    return target.compare(0, base.size(), base) == 0;
}

namespace {

class TFd {
public:
    explicit TFd(int fd) : fFd(fd) {}
    ~TFd()
    {
        if (fFd >= 0)
            ::close(fFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return fFd; }
    void Reset(int fd)
    {
        if (fFd >= 0)
            ::close(fFd);
        fFd = fd;
    }

private:
    int fFd;
};

}  // namespace

std::string CreateFoldersBelow(const std::string& root, const std::string& relative, unsigned mode)
{
    if (IsAbsolutePath(relative))
        throw EFileError(SystemErrorText(relative, EINVAL));
    TFd dir(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0)
        throw EFileError(SystemErrorText(root, errno));
    std::string result = IncludeTrailingPathDelimiter(root);
    size_t start = 0;
    while (start < relative.size()) {
        size_t end = relative.find(PathDelim, start);
        if (end == std::string::npos)
            end = relative.size();
        const std::string segment = relative.substr(start, end - start);
        start = end + 1;
        if (segment.empty() || segment == ".")
            continue;
        if (segment == "..")
            throw EFileError(SystemErrorText(result + segment, EINVAL));
        if (::mkdirat(dir.Get(), segment.c_str(), mode) != 0 && errno != EEXIST)
            throw EFileError(SystemErrorText(result + segment, errno));
        // O_NOFOLLOW makes a planted link fail here instead of leading out.
        const int next = ::openat(dir.Get(), segment.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0)
            throw EFileError(SystemErrorText(result + segment, errno));
        dir.Reset(next);
        result += segment;
        result += PathDelim;
    }
    return result;
}

bool SetFileModifiedTime(const std::string& path, int64_t unixSeconds)
{
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(unixSeconds);
    times[1].tv_nsec = 0;
    return ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}
