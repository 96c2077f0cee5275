#include "collections/ListFile.h"

#include <bit>
#include <cerrno>
#include <cstring>

#include "common/AtomicSave.h"
#include "common/BfStream.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

void WriteInt32(TStream& stream, int32_t value)
{
    const auto u = static_cast<uint32_t>(value);
    const uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                          static_cast<uint8_t>(u >> 24)};
    stream.WriteBuffer(b, 4);
}

void WriteByte(TStream& stream, uint8_t value)
{
    stream.WriteBuffer(&value, 1);
}

void WriteInt64(TStream& stream, int64_t value)
{
    const auto u = static_cast<uint64_t>(value);
    uint8_t b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<uint8_t>(u >> (8 * i));
    stream.WriteBuffer(b, 8);
}

void WriteDouble(TStream& stream, double value)
{
    WriteInt64(stream, std::bit_cast<int64_t>(value));
}

namespace {

void SyncFolderOf(const std::string& path)
{
    const std::string folder = ExtractFilePath(path);
    SyncDirectory(folder.empty() ? "." : folder);
}

// Reads one file through read into result. A file the system will not give us
// (no permission, not a regular file, an I/O error) is unreadable, which is
// not the same as damaged: its content was never seen.
void ReadInto(const std::string& path, const TListReadFunc& read, TListLoadResult& result)
{
    try {
        TFileStream file(path, TFileMode::fmOpenRead);
        TBufferStream buffer(file, TBufferStream::ListBufferSize);
        const TListReadOutcome outcome = read(buffer);
        if (!outcome.Complete) {
            result.Damaged = true;
            result.Error = outcome.Error;
        }
    } catch (const EFileError& e) {
        result.Unreadable = true;
        result.Error = e.what();
    }
}

}  // namespace

TListFile::TListFile(std::string path, std::string backupPath)
    : fPath(std::move(path)), fBackupPath(std::move(backupPath))
{
}

TListLoadResult TListFile::Load(const TListReadFunc& check, const TListReadFunc& read)
{
    TListLoadResult result;
    fDamaged = false;
    fReadError.clear();
    if (QueryFile(fPath, false).Kind != TFileKind::fkNone) {
        result.Found = true;
        ReadInto(fPath, read, result);
        fDamaged = result.Damaged;
        if (result.Unreadable)
            fReadError = result.Error;
        return result;
    }
    // The file is missing. When a "$$" is there too, a save was killed
    // between its steps: the "$$" holds the newest list when the kill came
    // after the write, and older versions had already moved the old file to
    // the backup. The first whole one of the two is read; when neither is
    // whole, the first that exists gives what it can. Without a "$$" the
    // file was removed on purpose (an empty list has no file), and the backup
    // stays a backup.
    const std::string leftover = fPath + "$$";
    if (QueryFile(leftover, false).Kind != TFileKind::fkFile)
        return result;
    std::string source;
    for (const std::string& candidate : {leftover, fBackupPath}) {
        if (candidate.empty() || QueryFile(candidate, false).Kind != TFileKind::fkFile)
            continue;
        TListLoadResult probe;
        ReadInto(candidate, check, probe);
        if (probe.Unreadable)
            continue;
        if (!probe.Damaged) {
            source = candidate;
            break;
        }
        if (source.empty())
            source = candidate;
    }
    if (source.empty())
        return result;
    result.Found = true;
    result.RecoveredFrom = source;
    ReadInto(source, read, result);
    // The file read stands in for the missing one; it is no file a save
    // replaces, so neither its damage nor its access stops a save.
    return result;
}

void TListFile::BeforeReplacing()
{
    // Saving over a file we could not read would replace lists never seen.
    if (!fReadError.empty())
        throw EFileError(fReadError);
    if (fDamaged && QueryFile(fPath, false).Kind != TFileKind::fkNone) {
        fDamagedCopy = KeepDatedCopy(fPath, "damaged");
        // The backup is older but whole: the damaged file does not take its
        // place.
        fBackupDone = true;
    }
    fDamaged = false;
}

void TListFile::Save(const std::function<void(TStream&)>& writer)
{
    BeforeReplacing();
    TAtomicFile file(fPath);
    try {
        TBufferStream buffer(file.Stream(), TBufferStream::ListBufferSize);
        writer(buffer);
        buffer.Flush();
    } catch (const EFileError&) {
        throw;
    } catch (const std::exception& e) {
        throw EFileError(e.what());
    }
    file.Commit(fBackupDone ? std::string() : fBackupPath);
    fBackupDone = true;
}

void TListFile::Remove()
{
    BeforeReplacing();
    // A "$$" left by a killed save would bring the list back at the next load
    // once the file is gone; it is cleared by the rule every save follows.
    ClearLeftover(fPath);
    if (QueryFile(fPath, false).Kind != TFileKind::fkNone) {
        if (!fBackupDone && !fBackupPath.empty())
            KeepCopy(fPath, fBackupPath);
        if (!DeleteFile(fPath))
            throw EFileError(SystemErrorText(fPath, errno));
        SyncFolderOf(fPath);
    }
    fBackupDone = true;
}
