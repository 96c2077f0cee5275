#include "platform/TreeWalk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "base/Errors.h"
#include "platform/FileSystem.h"

namespace {

TTreeWalkTime TimeOf(const struct statx_timestamp& t)
{
    return TTreeWalkTime{t.tv_sec, static_cast<int32_t>(t.tv_nsec)};
}

bool StatAt(int dir, const char* name, int flags, struct statx& out)
{
    return statx(dir, name, flags | AT_NO_AUTOMOUNT, STATX_BASIC_STATS | STATX_BTIME, &out) == 0;
}

void Fill(TTreeWalkEntry& entry, const struct statx& st)
{
    entry.Found = true;
    entry.IsDirectory = S_ISDIR(st.stx_mode);
    entry.Size = entry.IsDirectory ? 0 : static_cast<int64_t>(st.stx_size);
    entry.Mode = st.stx_mode;
    entry.Modified = TimeOf(st.stx_mtime);
    entry.Accessed = TimeOf(st.stx_atime);
    entry.Created = (st.stx_mask & STATX_BTIME) ? TimeOf(st.stx_btime) : TimeOf(st.stx_ctime);
}

using TFileId = std::pair<uint64_t, uint64_t>;

TFileId IdOf(const struct statx& st)
{
    return {makedev(st.stx_dev_major, st.stx_dev_minor), st.stx_ino};
}

// The entry of name in the folder dir, a link through its target.
void Describe(int dir, const char* name, TTreeWalkEntry& entry)
{
    struct statx st;
    if (!StatAt(dir, name, AT_SYMLINK_NOFOLLOW, st))
        return;
    const TFileId id = IdOf(st);
    entry.Device = id.first;
    entry.Inode = id.second;
    if (!S_ISLNK(st.stx_mode)) {
        Fill(entry, st);
        return;
    }
    entry.IsLink = true;
    struct statx target;
    if (StatAt(dir, name, 0, target))
        Fill(entry, target);
}

class TWalker {
public:
    TWalker(const std::function<void(const TTreeWalkEntry&)>& visit, const std::atomic<bool>* stop)
        : fVisit(visit), fStop(stop)
    {
    }

    void Folder(int fd, const std::string& prefix)
    {
        DIR* raw = fdopendir(fd);
        if (!raw) {
            close(fd);
            ++fStats.FoldersUnreadable;
            return;
        }
        // Closed however the walk leaves this folder, a raising visit too.
        const std::unique_ptr<DIR, int (*)(DIR*)> owner(raw, closedir);
        DIR* dir = raw;
        // Subfolders are entered after the folder's own entries, so only one
        // folder is open per level of the tree at any time.
        std::vector<std::pair<std::string, TFileId>> subfolders;
        TTreeWalkEntry entry;
        while (!Stopped()) {
            errno = 0;
            const dirent* d = readdir(dir);
            if (!d) {
                if (errno != 0)
                    ++fStats.FoldersUnreadable;
                break;
            }
            const char* name = d->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            entry = TTreeWalkEntry();
            entry.RelativePath = prefix + name;
            struct statx st;
            if (StatAt(dirfd(dir), name, AT_SYMLINK_NOFOLLOW, st)) {
                if (S_ISLNK(st.stx_mode)) {
                    entry.IsLink = true;
                    struct statx target;
                    if (StatAt(dirfd(dir), name, 0, target))
                        Fill(entry, target);
                    if (entry.IsDirectory)
                        ++fStats.FoldersSkipped;
                } else {
                    Fill(entry, st);
                    if (entry.IsDirectory) {
                        const TFileId id = IdOf(st);
                        if (id.first != fDevice || !fVisited.insert(id).second)
                            ++fStats.FoldersSkipped;
                        else
                            subfolders.emplace_back(name, id);
                    }
                }
            }
            ++fStats.Entries;
            fVisit(entry);
        }
        for (const auto& [name, id] : subfolders) {
            if (Stopped())
                break;
            const int child = openat(dirfd(dir), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child < 0) {
                ++fStats.FoldersUnreadable;
                continue;
            }
            // The folder may have been swapped for another since it was read:
            // only the one seen is entered.
            struct statx now;
            if (!StatAt(child, "", AT_EMPTY_PATH, now) || IdOf(now) != id) {
                close(child);
                ++fStats.FoldersSkipped;
                continue;
            }
            Folder(child, prefix + name + "/");
        }
    }

    bool Stopped() const { return fStop && fStop->load(std::memory_order_relaxed); }

    uint64_t fDevice = 0;
    std::set<TFileId> fVisited;
    TTreeWalkStats fStats;

private:
    const std::function<void(const TTreeWalkEntry&)>& fVisit;
    const std::atomic<bool>* fStop;
};

}  // namespace

TTreeWalkStats WalkTree(const std::string& root, const std::function<void(const TTreeWalkEntry&)>& visit,
                    const std::atomic<bool>* stop)
{
    const int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw EFileError(SystemErrorText(root, errno));
    struct statx st;
    if (!StatAt(fd, "", AT_EMPTY_PATH, st)) {
        const int error = errno;
        close(fd);
        throw EFileError(SystemErrorText(root, error));
    }
    TWalker walker(visit, stop);
    walker.fDevice = IdOf(st).first;
    walker.fVisited.insert(IdOf(st));
    walker.Folder(fd, std::string());
    return walker.fStats;
}

TTreeWalkEntry StatPath(const std::string& path)
{
    TTreeWalkEntry entry;
    entry.RelativePath = path;
    Describe(AT_FDCWD, path.c_str(), entry);
    return entry;
}

std::vector<TTreeWalkEntry> ListFolderEntries(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw EFileError(SystemErrorText(folder, errno));
    DIR* raw = fdopendir(fd);
    if (!raw) {
        const int error = errno;
        close(fd);
        throw EFileError(SystemErrorText(folder, error));
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> owner(raw, closedir);
    std::vector<TTreeWalkEntry> entries;
    while (const dirent* d = readdir(raw)) {
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        TTreeWalkEntry& entry = entries.emplace_back();
        entry.RelativePath = name;
        Describe(dirfd(raw), name, entry);
    }
    return entries;
}
