#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/PathUtils.h"

std::string SystemErrorText(const std::string& path, int error)
{
    return "'" + path + "' : " + std::strerror(error);
}

namespace {

TFileStatus StatusFrom(const struct stat& st)
{
    TFileStatus status;
    if (S_ISREG(st.st_mode))
        status.Kind = TFileKind::fkFile;
    else if (S_ISDIR(st.st_mode))
        status.Kind = TFileKind::fkFolder;
    else
        status.Kind = TFileKind::fkOther;
    status.Size = st.st_size;
    status.ModifiedSeconds = st.st_mtim.tv_sec;
    status.ModifiedNanoseconds = static_cast<int32_t>(st.st_mtim.tv_nsec);
    status.Device = static_cast<uint64_t>(st.st_dev);
    status.Inode = static_cast<uint64_t>(st.st_ino);
    status.Mode = st.st_mode & 07777;
    status.Owner = st.st_uid;
    return status;
}

// error receives the reason of the first failure, for the message.
bool RemoveAt(int parentFd, const char* name, int& error)
{
    auto fail = [&error] {
        if (error == 0)
            error = errno;
        return false;
    };
    struct stat st {};
    if (::fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT || fail();
    if (!S_ISDIR(st.st_mode))
        return ::unlinkat(parentFd, name, 0) == 0 || errno == ENOENT || fail();
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return fail();
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        fail();
        ::close(fd);
        return false;
    }
    bool ok = true;
    std::vector<std::string> names;
    while (dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    for (const std::string& child : names)
        ok = RemoveAt(::dirfd(dir), child.c_str(), error) && ok;
    ::closedir(dir);
    return (::unlinkat(parentFd, name, AT_REMOVEDIR) == 0 || fail()) && ok;
}

}  // namespace

TFileStatus QueryFile(const std::string& path, bool followLinks)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return {};
    const bool isLink = S_ISLNK(st.st_mode);
    if (isLink && followLinks) {
        struct stat target {};
        if (::stat(path.c_str(), &target) != 0) {
            TFileStatus dangling;
            dangling.Kind = TFileKind::fkOther;
            dangling.IsLink = true;
            return dangling;
        }
        st = target;
    }
    TFileStatus status = StatusFrom(st);
    status.IsLink = isLink;
    status.ReadOnly = ::access(path.c_str(), W_OK) != 0;
    return status;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

namespace {

// Who we are for the permission bits, read once per listing: a check per
// entry (access(2)) would double the system calls of a large folder.
class TWriteAccess {
public:
    explicit TWriteAccess(int folderFd)
    {
        fUser = ::getuid();
        fGroups.push_back(::getgid());
        const int count = ::getgroups(0, nullptr);
        if (count > 0) {
            std::vector<gid_t> more(static_cast<size_t>(count));
            const int got = ::getgroups(count, more.data());
            if (got > 0)
                fGroups.insert(fGroups.end(), more.begin(), more.begin() + got);
        }
        struct statvfs fs {};
        fReadOnlyMount = ::fstatvfs(folderFd, &fs) == 0 && (fs.f_flag & ST_RDONLY) != 0;
    }

    // What access(W_OK) answers for the owner, group and mode bits; access
    // control lists are not consulted.
    bool ReadOnly(const struct stat& st) const
    {
        if (fReadOnlyMount)
            return true;
        if (fUser == 0)
            return false;
        if (st.st_uid == fUser)
            return (st.st_mode & S_IWUSR) == 0;
        if (std::find(fGroups.begin(), fGroups.end(), st.st_gid) != fGroups.end())
            return (st.st_mode & S_IWGRP) == 0;
        return (st.st_mode & S_IWOTH) == 0;
    }

private:
    uid_t fUser = 0;
    std::vector<gid_t> fGroups;
    bool fReadOnlyMount = false;
};

}  // namespace

namespace {

// One entry of an open folder as a listing describes it: a link by what it
// leads to (a dangling one is something else than a file or a folder, and
// cannot be written). False when the entry is gone.
bool StatEntry(int fd, const char* name, bool knownLink, const TWriteAccess& access, TFileStatus& status)
{
    struct stat st {};
    if (!knownLink && ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    // Replaced by a link between readdir and the call: a link all the same.
    const bool isLink = knownLink || S_ISLNK(st.st_mode);
    if (isLink && ::fstatat(fd, name, &st, 0) != 0) {
        status = {};
        status.Kind = TFileKind::fkOther;
        status.IsLink = true;
        status.ReadOnly = true;
        return true;
    }
    status = StatusFrom(st);
    status.IsLink = isLink;
    status.ReadOnly = access.ReadOnly(st);
    return true;
}

int OpenFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw EFileError(SystemErrorText(folder, errno));
    return fd;
}

}  // namespace

std::vector<TDirEntry> ListDirectory(const std::string& folder, TListDetail detail)
{
    const int fd = OpenFolder(folder);
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int error = errno;
        ::close(fd);
        throw EFileError(SystemErrorText(folder, error));
    }
    const TWriteAccess access(fd);
    const bool kindsOnly = detail == TListDetail::ldKinds;
    std::vector<TDirEntry> entries;
    while (dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        TDirEntry& item = entries.emplace_back();
        item.Name = name;
        // The entry's type tells a plain file or folder without a call; a
        // link (classed by its target) and a file system that leaves the
        // type unknown are asked all the same.
        if (kindsOnly && entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) {
            item.Status.Kind = entry->d_type == DT_REG   ? TFileKind::fkFile
                               : entry->d_type == DT_DIR ? TFileKind::fkFolder
                                                         : TFileKind::fkOther;
            item.Detailed = false;
            continue;
        }
        // A plain file or folder costs one call; a file system that leaves
        // the type unknown is asked about the name itself first.
        StatEntry(fd, name, entry->d_type == DT_LNK, access, item.Status);
    }
    ::closedir(dir);
    return entries;
}

struct TFolderStatter::TState {
    explicit TState(int folderFd) : Fd(folderFd), Access(folderFd) {}
    ~TState() { ::close(Fd); }
    int Fd;
    TWriteAccess Access;
};

TFolderStatter::TFolderStatter(const std::string& folder)
{
    const int fd = OpenFolder(folder);
    fState = std::make_unique<TState>(fd);
}

TFolderStatter::~TFolderStatter() = default;

TFileStatus TFolderStatter::Query(const std::string& name) const
{
    TFileStatus status;
    // Only a name inside the folder: never a path that leads out of it.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        !StatEntry(fState->Fd, name.c_str(), false, fState->Access, status))
        return {};
    return status;
}

bool CreateDirectory(const std::string& path, unsigned mode)
{
    if (::mkdir(path.c_str(), mode) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    throw EFileError(SystemErrorText(path, errno));
}

void ForceDirectories(const std::string& path, unsigned mode)
{
    const std::string folder = ExcludeTrailingPathDelimiter(path);
    if (folder.empty() || DirectoryExists(folder))
        return;
    const std::string parent = ExtractFilePath(folder);
    if (!parent.empty() && parent != folder)
        ForceDirectories(parent, mode);
    if (!CreateDirectory(folder, mode) && !DirectoryExists(folder))
        throw EFileError(SystemErrorText(folder, ENOTDIR));
}

bool RemoveTree(const std::string& path, int* error)
{
    const std::string target = ExcludeTrailingPathDelimiter(path);
    int first = 0;
    bool removed = false;
    if (target.empty() || target == "/")
        first = EPERM;
    else
        removed = RemoveAt(AT_FDCWD, target.c_str(), first);
    if (error)
        *error = first;
    return removed;
}

bool DeleteFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

void RenameFile(const std::string& from, const std::string& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0)
        throw EFileError(SystemErrorText(to, errno));
}

bool RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno != EINVAL && errno != ENOSYS)
        throw EFileError(SystemErrorText(to, errno));
    // File systems without RENAME_NOREPLACE: a hard link fails when the name
    // exists, which keeps the test atomic for files.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno == EEXIST)
        return false;
    if (PathExists(to))
        return false;
    RenameFile(from, to);
    return true;
}

int LinkFile(const std::string& existing, const std::string& newName)
{
    if (::linkat(AT_FDCWD, existing.c_str(), AT_FDCWD, newName.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    return errno;
}

void SyncDirectory(const std::string& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

std::string CurrentDirectory()
{
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer))
        return "/";
    return IncludeTrailingPathDelimiter(buffer);
}

std::string HomeDirectory()
{
    std::string home = GetEnv("HOME");
    if (home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()))
            home = pw->pw_dir;
    }
    return IncludeTrailingPathDelimiter(home.empty() ? "/" : home);
}

std::string RealPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::string GetEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}
