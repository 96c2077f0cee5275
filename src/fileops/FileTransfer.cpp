#include "fileops/FileTransfer.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "platform/FileSystem.h"
#include "platform/SafeFiles.h"

struct TFileTransfer::TRun {
    TTransferMode Mode = TTransferMode::tmCopy;
    TTransferResult* Result = nullptr;
    std::optional<TConflictAnswer> ForAll;  // "replace all" or "skip all" given
    bool Cancelled = false;
    int64_t DoneBytes = 0;
    int64_t TotalBytes = 0;
    // One buffer for the whole run: a fresh megabyte for each of thousands
    // of small files cost more than copying them.
    std::vector<char> Buffer;
};

namespace {

constexpr size_t ChunkSize = 1 << 20;

bool IsFolder(const TFileStatus& status)
{
    return !status.IsLink && status.Kind == TFileKind::fkFolder;
}

int64_t TreeBytes(const std::string& path)
{
    const TFileStatus status = QueryFile(path, false);
    if (!IsFolder(status))
        return status.Kind == TFileKind::fkFile && !status.IsLink ? status.Size : 0;
    int64_t total = 0;
    try {
        for (const TDirEntry& entry : ListDirectory(IncludeTrailingPathDelimiter(path), TListDetail::ldKinds))
            total += TreeBytes(IncludeTrailingPathDelimiter(path) + entry.Name);
    } catch (const EFileError&) {
        // Unreadable folders fail later, where the copy names them.
    }
    return total;
}

// A fresh name beside target for the copy in progress, so that a half-made
// file never carries the name the user will see.
int CreateTemporary(const std::string& target, std::string& temporary)
{
    static thread_local std::minstd_rand random{std::random_device{}()};
    const std::string folder = ExtractFilePath(target);
    const std::string name = ExtractFileName(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + "." + name + ".part-" + std::to_string(random() % 1000000);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// Removes what a made record names, only while it is still that file: the
// user may have replaced it since.
void RemoveMade(const TMadeItem& item)
{
    if (!IsStillMade(item))
        return;
    if (item.Folder)
        ::rmdir(item.Path.c_str());  // only when empty: anything put there since stays
    else
        ::unlink(item.Path.c_str());
}

TMadeItem MadeRecord(const std::string& path, const std::string& source, bool folder)
{
    const TFileStatus status = QueryFile(path, false);
    return {path,  status.Device,         status.Inode, status.Size, status.ModifiedSeconds,
            status.ModifiedNanoseconds, folder, source};
}

}  // namespace

bool IsStillMade(const TMadeItem& item)
{
    const TFileStatus status = QueryFile(item.Path, false);
    if (status.Kind == TFileKind::fkNone || status.Device != item.Device || status.Inode != item.Inode)
        return false;
    return item.Folder || (status.Size == item.Size && status.ModifiedSeconds == item.ModifiedSeconds &&
                           status.ModifiedNanoseconds == item.ModifiedNanoseconds);
}

std::string FreeCopyName(const std::string& folder, const std::string& name)
{
    const std::string base = IncludeTrailingPathDelimiter(folder);
    const size_t dot = name.rfind('.');
    const bool hasExt = dot != std::string::npos && dot != 0;
    const std::string stem = hasExt ? name.substr(0, dot) : name;
    const std::string ext = hasExt ? name.substr(dot) : std::string();
    for (int n = 2;; ++n) {
        const std::string candidate = stem + " (" + std::to_string(n) + ")" + ext;
        if (!PathExists(base + candidate))
            return candidate;
    }
}

bool TFileTransfer::ResolveConflict(TRun& run, const std::string& source, const std::string& target,
                                    bool sourceFolder, bool targetFolder, TTransferStep& step)
{
    TConflictAnswer answer = TConflictAnswer::caSkip;
    if (run.ForAll)
        answer = *run.ForAll;
    else if (fAsker)
        answer = fAsker->AskConflict({source, target, sourceFolder, targetFolder});
    if (answer == TConflictAnswer::caReplaceAll || answer == TConflictAnswer::caSkipAll)
        run.ForAll = answer;
    if (answer == TConflictAnswer::caCancel) {
        run.Cancelled = true;
        return false;
    }
    if (answer == TConflictAnswer::caSkip || answer == TConflictAnswer::caSkipAll) {
        run.Result->Skipped.push_back(source);
        return false;
    }
    // Replace: the old one goes to the trash first, so undo can bring it
    // back. Without a trash only a file can be replaced, by one rename of
    // the finished copy over it (CopyFile does that).
    if (fTrash) {
        step.Replaced.push_back(fTrash->Trash(target));
    } else if (sourceFolder || targetFolder) {
        throw EFileError("'" + target + "' : cannot be replaced without the trash");
    }
    return true;
}

void TFileTransfer::CopyFile(TRun& run, const std::string& source, const std::string& target, TTransferStep& step)
{
    const int in = ::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        throw EFileError(SystemErrorText(source, errno));
    struct stat st {};
    std::string temporary;
    const int out = ::fstat(in, &st) == 0 ? CreateTemporary(target, temporary) : -1;
    if (out < 0) {
        const int error = errno;
        ::close(in);
        throw EFileError(SystemErrorText(target, error));
    }
    auto fail = [&](const std::string& path, int error) {
        ::close(in);
        ::close(out);
        ::unlink(temporary.c_str());
        throw EFileError(SystemErrorText(path, error));
    };
    if (run.Buffer.empty())
        run.Buffer.resize(ChunkSize);
    std::vector<char>& buffer = run.Buffer;
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(source, errno);
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.data() + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                fail(target, put < 0 ? errno : ENOSPC);
            done += put;
        }
        run.DoneBytes += got;
        if (fProgress && !fProgress->Progress(run.DoneBytes, run.TotalBytes, source)) {
            run.Cancelled = true;
            ::close(in);
            ::close(out);
            ::unlink(temporary.c_str());
            return;
        }
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::fchmod(out, st.st_mode & 07777);
    ::futimens(out, times);
    // A move deletes the source once the copy is in place, so the copy must
    // be on the disk first; a copy leaves the source, and syncing each of
    // thousands of small files would make it many times slower.
    if (run.Mode == TTransferMode::tmMove && ::fsync(out) != 0 && errno != EINVAL)
        fail(target, errno);
    ::close(in);
    if (::close(out) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw EFileError(SystemErrorText(target, error));
    }
    // Without a trash a replaced file is gone by now only if the user chose
    // it: the rename over it is the replacement itself.
    bool placed = false;
    try {
        placed = RenameNoReplace(temporary, target);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    if (!placed) {
        ::unlink(temporary.c_str());
        throw EFileError("'" + target + "' : exists already");
    }
    step.Made.push_back(MadeRecord(target, source, false));
}

void TFileTransfer::CopyTree(TRun& run, const std::string& source, const std::string& target, TTransferStep& step)
{
    if (run.Cancelled)
        return;
    const TFileStatus from = QueryFile(source, false);
    const TFileStatus existing = QueryFile(target, false);
    const bool sourceFolder = IsFolder(from);
    bool merge = false;
    bool replaceFile = false;
    if (from.Kind == TFileKind::fkNone)
        throw EFileError(SystemErrorText(source, ENOENT));
    // The target folder reached through a link may be the source's own:
    // replacing "the other one" would throw the source away.
    if (existing.Kind != TFileKind::fkNone && existing.Device == from.Device && existing.Inode == from.Inode)
        throw EFileError("'" + target + "' : is the file itself");
    if (existing.Kind != TFileKind::fkNone) {
        if (sourceFolder && IsFolder(existing)) {
            merge = true;
        } else {
            if (!ResolveConflict(run, source, target, sourceFolder, IsFolder(existing), step))
                return;
            replaceFile = !fTrash;
        }
    }
    if (sourceFolder) {
        if (!merge) {
            if (::mkdir(target.c_str(), 0700) != 0)
                throw EFileError(SystemErrorText(target, errno));
            step.Made.push_back(MadeRecord(target, source, true));
        }
        const std::string inner = IncludeTrailingPathDelimiter(source);
        for (const TDirEntry& entry : ListDirectory(inner, TListDetail::ldKinds)) {
            CopyTree(run, inner + entry.Name, IncludeTrailingPathDelimiter(target) + entry.Name, step);
            if (run.Cancelled)
                break;
        }
        if (!merge)
            ::chmod(target.c_str(), from.Mode & 07777);
        return;
    }
    if (from.IsLink) {
        std::string text(4096, '\0');
        const ssize_t size = ::readlink(source.c_str(), text.data(), text.size());
        if (size < 0 || static_cast<size_t>(size) >= text.size())
            throw EFileError(SystemErrorText(source, size < 0 ? errno : ENAMETOOLONG));
        text.resize(static_cast<size_t>(size));
        if (replaceFile)
            throw EFileError("'" + target + "' : cannot be replaced without the trash");
        if (::symlink(text.c_str(), target.c_str()) != 0)
            throw EFileError(SystemErrorText(target, errno));
        step.Made.push_back(MadeRecord(target, source, false));
        return;
    }
    if (from.Kind != TFileKind::fkFile)
        throw EFileError("'" + source + "' : neither a file nor a folder; not copied");
    if (replaceFile) {
        // No trash: the finished copy is renamed over the chosen file.
        TTransferStep inner;
        const std::string aside = target + ".mireva-new";
        if (PathExists(aside))
            throw EFileError("'" + aside + "' : exists already");
        CopyFile(run, source, aside, inner);
        if (run.Cancelled)
            return;
        RenameFile(aside, target);
        step.Made.push_back(MadeRecord(target, source, false));
        return;
    }
    CopyFile(run, source, target, step);
}

void TFileTransfer::TakeBack(const TTransferStep& step)
{
    for (auto it = step.Made.rbegin(); it != step.Made.rend(); ++it)
        RemoveMade(*it);
    if (!fTrash)
        return;
    for (const TTrashedItem& item : step.Replaced) {
        try {
            fTrash->Restore(item);
        } catch (const EFileError&) {
            // It stays in the trash, where the user can still find it.
        }
    }
}

TTransferResult TFileTransfer::Run(TTransferMode mode, const std::vector<std::string>& sources,
                                   const std::string& folder)
{
    TTransferResult result;
    TRun run;
    run.Mode = mode;
    run.Result = &result;
    const std::string into = IncludeTrailingPathDelimiter(folder);
    if (fProgress)
        for (const std::string& source : sources)
            run.TotalBytes += TreeBytes(ExcludeTrailingPathDelimiter(source));
    for (const std::string& given : sources) {
        if (run.Cancelled)
            break;
        const std::string source = ExcludeTrailingPathDelimiter(given);
        std::string target = into + ExtractFileName(source);
        TTransferStep step;
        step.From = source;
        try {
            const TFileStatus status = QueryFile(source, false);
            if (status.Kind == TFileKind::fkNone)
                throw EFileError(SystemErrorText(source, ENOENT));
            if (target == source) {
                if (mode == TTransferMode::tmMove)
                    continue;  // already there
                target = into + FreeCopyName(into, ExtractFileName(source));
            }
            if (IsFolder(status) && IsWithinFolder(IncludeTrailingPathDelimiter(source), target))
                throw EFileError("'" + source + "' : a folder cannot go into itself");
            step.To = target;
            if (mode == TTransferMode::tmMove) {
                if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
                    step.Renamed = true;
                    result.Steps.push_back(std::move(step));
                    continue;
                }
                // EINVAL and ENOSYS: a file system without RENAME_NOREPLACE;
                // copying then deleting never replaces anything either.
                if (errno != EEXIST && errno != EXDEV && errno != ENOTEMPTY && errno != EINVAL && errno != ENOSYS)
                    throw EFileError(SystemErrorText(target, errno));
            }
            CopyTree(run, source, target, step);
            if (mode == TTransferMode::tmMove) {
                // Only what was copied whole leaves its place; skipped and
                // untouched files keep their folders.
                for (const TMadeItem& made : step.Made)
                    if (!made.Folder)
                        ::unlink(made.Source.c_str());
                for (auto it = step.Made.rbegin(); it != step.Made.rend(); ++it)
                    if (it->Folder)
                        ::rmdir(it->Source.c_str());
                ::rmdir(source.c_str());
            }
        } catch (const EMirevaError& error) {
            TakeBack(step);
            result.Errors.push_back(error.what());
            continue;
        }
        if (!step.Made.empty() || !step.Replaced.empty())
            result.Steps.push_back(std::move(step));
    }
    result.Cancelled = run.Cancelled;
    return result;
}

void TFileTransfer::MoveExact(const std::string& from, const std::string& to)
{
    ForceDirectories(ExtractFilePath(to));
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS)
        throw EFileError(SystemErrorText(to, errno));
    if (PathExists(to))
        throw EFileError(SystemErrorText(to, EEXIST));
    TTransferResult result;
    TRun run;
    run.Result = &result;
    TTransferStep step;
    TFileTransfer plain(nullptr, nullptr, nullptr);
    try {
        plain.CopyTree(run, from, to, step);
        if (!result.Skipped.empty())
            throw EFileError("'" + to + "' : exists already");
    } catch (...) {
        plain.TakeBack(step);
        throw;
    }
    RemoveTree(from);
}
