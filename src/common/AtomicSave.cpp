#include "common/AtomicSave.h"

#include <cerrno>
#include <cstdio>
#include <functional>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/DateTime.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

// The user never chose the "$$" name: a message that shows it leaves them
// looking for a file that is gone by the time they read it.
std::string NamingTheTarget(std::string message, const std::string& temporary, const std::string& path)
{
    for (size_t at = message.find(temporary); at != std::string::npos; at = message.find(temporary, at + path.size()))
        message.replace(at, temporary.size(), path);
    return message;
}

}  // namespace

// The file stream of a "$$" file whose errors name the file being written.
class TTemporaryStream : public TStream {
public:
    TTemporaryStream(const std::string& temporary, const std::string& given, unsigned mode)
        : fTemporary(temporary), fGiven(given)
    {
        try {
            fFile = std::make_unique<TFileStream>(temporary, TFileMode::fmCreateNew, true, mode);
        } catch (const std::exception& e) {
            Raise(e);
        }
    }

    int64_t Read(void* buffer, int64_t count) override
    {
        try {
            return fFile->Read(buffer, count);
        } catch (const std::exception& e) {
            Raise(e);
        }
    }
    int64_t Write(const void* buffer, int64_t count) override
    {
        try {
            return fFile->Write(buffer, count);
        } catch (const std::exception& e) {
            Raise(e);
        }
    }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override
    {
        try {
            return fFile->Seek(offset, origin);
        } catch (const std::exception& e) {
            Raise(e);
        }
    }
    void SetSize(int64_t newSize) override
    {
        try {
            fFile->SetSize(newSize);
        } catch (const std::exception& e) {
            Raise(e);
        }
    }
    int64_t Size() override
    {
        try {
            return fFile->Size();
        } catch (const std::exception& e) {
            Raise(e);
        }
    }
    void SyncAndClose()
    {
        try {
            fFile->Sync();
            fFile->Close();
        } catch (const std::exception& e) {
            Raise(e);
        }
    }
    void Abandon() { fFile.reset(); }

private:
    [[noreturn]] void Raise(const std::exception& e) const
    {
        throw EFileError(NamingTheTarget(e.what(), fTemporary, fGiven));
    }

    std::string fTemporary;
    std::string fGiven;
    std::unique_ptr<TFileStream> fFile;
};

namespace {

void SyncFolderOf(const std::string& path)
{
    const std::string folder = ExtractFilePath(path);
    SyncDirectory(folder.empty() ? "." : folder);
}

// Removes what a killed writer left under a "$$" name. A link of that name is
// removed, never followed; a folder is left for the create to fail on.
void RemoveLeftover(const std::string& temporary)
{
    const TFileStatus old = QueryFile(temporary, false);
    if (old.Kind != TFileKind::fkNone && old.Kind != TFileKind::fkFolder)
        DeleteFile(temporary);
}

// Copies the file at source into a new file named target (never replacing
// one), synced to disk. Raises EFileError naming shownName for target; no part
// of target stays on failure.
void CopyIntoNewFile(const std::string& source, const std::string& target, const std::string& shownName)
{
    try {
        TFileStream in(source, TFileMode::fmOpenRead);
        TFileStream out(target, TFileMode::fmCreateNew, true, QueryFile(source).Mode & 0777);
        try {
            char buffer[65536];
            for (;;) {
                const int64_t got = in.Read(buffer, sizeof buffer);
                if (got == 0)
                    break;
                out.WriteBuffer(buffer, got);
            }
            out.Sync();
            out.Close();
        } catch (...) {
            DeleteFile(target);
            throw;
        }
    } catch (const std::exception& e) {
        throw EFileError(NamingTheTarget(e.what(), target, shownName));
    }
}

// Gives the file at path one more name, never replacing one: a hard link, or
// where the file system refuses links, a copy put in place only once whole.
// False when the name is taken.
bool AddName(const std::string& path, const std::string& name)
{
    const int error = LinkFile(path, name);
    if (error == 0)
        return true;
    if (error == EEXIST)
        return false;
    if (error == ENOENT)
        throw EFileError(SystemErrorText(path, error));
    const std::string temporary = name + "$$";
    RemoveLeftover(temporary);
    CopyIntoNewFile(path, temporary, name);
    if (RenameNoReplace(temporary, name))
        return true;
    DeleteFile(temporary);
    return false;
}

std::string DateStamp()
{
    const TDateParts t = DecodeDateTime(Now());
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second);
    return text;
}

// Tries place with "<base>", "<base>-2", ... until it finds a free name.
std::string PlaceUnderFreeName(const std::string& base, const std::function<bool(const std::string&)>& place)
{
    for (int n = 1; n <= 1000; ++n) {
        const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
        if (place(name))
            return name;
    }
    throw EFileError(SystemErrorText(base, EEXIST));
}

// "<folder>/<name without extension>.<label>-<date>"; a name that is all
// extension (".hidden") keeps its whole name.
std::string DatedName(const std::string& path, const std::string& label)
{
    const std::string name = ExtractFileName(path);
    const std::string extension = ExtractFileExt(name);
    const std::string stem =
        extension.size() < name.size() ? path.substr(0, path.size() - extension.size()) : path;
    return stem + "." + label + "-" + DateStamp();
}

}  // namespace

TAtomicFile::TAtomicFile(std::string path) : fGiven(std::move(path)), fPath(fGiven)
{
    // A settings file kept as a link (to a dotfiles folder, say) stays a link:
    // the new content replaces the file it points to.
    if (QueryFile(fPath, false).IsLink) {
        const std::string real = RealPath(fPath);
        if (!real.empty())
            fPath = real;
    }
    fTemporary = fPath + "$$";
    try {
        ClearLeftover(fPath);
    } catch (const std::exception& e) {
        throw EFileError(NamingTheTarget(e.what(), fTemporary, fGiven));
    }
    const TFileStatus target = QueryFile(fPath, false);
    unsigned mode = 0644;
    if (target.Kind == TFileKind::fkFile)
        mode = QueryFile(fPath).Mode & 0777;
    fStream = std::make_unique<TTemporaryStream>(fTemporary, fGiven, mode);
}

TAtomicFile::~TAtomicFile()
{
    if (!fCommitted) {
        fStream->Abandon();
        DeleteFile(fTemporary);
    }
}

TStream& TAtomicFile::Stream()
{
    return *fStream;
}

void TAtomicFile::Commit(const std::string& backupPath)
{
    fStream->SyncAndClose();
    try {
        if (!backupPath.empty() && QueryFile(fPath, false).Kind == TFileKind::fkFile)
            KeepCopy(fPath, backupPath);
        RenameFile(fTemporary, fPath);
    } catch (const std::exception& e) {
        throw EFileError(NamingTheTarget(e.what(), fTemporary, fGiven));
    }
    fCommitted = true;
    SyncFolderOf(fPath);
}

void SaveFileAtomically(const std::string& path, std::string_view bytes, const std::string& backupPath)
{
    TAtomicFile file(path);
    file.Stream().WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    file.Commit(backupPath);
}

void ClearLeftover(const std::string& path)
{
    const std::string temporary = path + "$$";
    const TFileStatus leftover = QueryFile(temporary, false);
    if (QueryFile(path, false).Kind != TFileKind::fkNone || leftover.Kind != TFileKind::fkFile ||
        leftover.Size == 0) {
        RemoveLeftover(temporary);
        return;
    }
    // Left where it is when it cannot be moved: losing it is worse than
    // failing the save that follows.
    PlaceUnderFreeName(DatedName(path, "interrupted"),
                       [&](const std::string& name) { return RenameNoReplace(temporary, name); });
    SyncFolderOf(path);
}

void KeepCopy(const std::string& path, const std::string& copyPath)
{
    const std::string temporary = copyPath + "$$";
    try {
        // A half-made backup of an earlier run is no backup: the file it was
        // taken from is still there, whole.
        RemoveLeftover(temporary);
        if (!AddName(path, temporary))
            throw EFileError(SystemErrorText(copyPath, EEXIST));
        try {
            RenameFile(temporary, copyPath);
        } catch (...) {
            DeleteFile(temporary);
            throw;
        }
        // When copyPath already was a name of the same file (a save killed
        // after its backup was made), rename leaves both names in place.
        DeleteFile(temporary);
    } catch (const std::exception& e) {
        throw EFileError(NamingTheTarget(e.what(), temporary, copyPath));
    }
    SyncFolderOf(copyPath);
}

std::string KeepDatedCopy(const std::string& path, const std::string& label)
{
    const std::string name =
        PlaceUnderFreeName(DatedName(path, label), [&](const std::string& candidate) { return AddName(path, candidate); });
    SyncFolderOf(name);
    return name;
}
