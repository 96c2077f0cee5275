#include "collections/ListFile.h"

#include <cerrno>
#include <cstring>

#include "common/AtomicSave.h"
#include "common/BfStream.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

const char* const TruncatedText = "リストファイルが壊れています";

double ReadDoubleFrom(TStream& stream)
{
    uint8_t b[8];
    stream.ReadBuffer(b, 8);
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | b[i];
    double value;
    std::memcpy(&value, &bits, 8);
    return value;
}

}  // namespace

TListReader::TListReader(TStream& stream) : fStream(&stream)
{
    fSize = stream.Size() - stream.Position();
    if (fSize < 0)
        fSize = 0;
}

void TListReader::Need(int64_t count)
{
    if (count < 0 || count > Remaining())
        throw EFormatError(TruncatedText);
}

int32_t TListReader::ReadInt32()
{
    Need(4);
    uint8_t b[4];
    fStream->ReadBuffer(b, 4);
    fConsumed += 4;
    return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

double TListReader::ReadDouble()
{
    Need(8);
    const double value = ReadDoubleFrom(*fStream);
    fConsumed += 8;
    return value;
}

std::vector<uint8_t> TListReader::ReadBytes(int64_t count)
{
    Need(count);
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    if (count > 0)
        fStream->ReadBuffer(bytes.data(), count);
    fConsumed += count;
    return bytes;
}

std::string TListReader::ReadText()
{
    const int32_t length = ReadInt32();
    if (length <= 0)
        return {};
    const std::vector<uint8_t> bytes = ReadBytes(length);
    return DecodeText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

int32_t TListReader::ReadCount(int64_t minRecordBytes)
{
    const int32_t count = ReadInt32();
    if (count < 0 || (minRecordBytes > 0 && count > Remaining() / minRecordBytes))
        throw EFormatError(TruncatedText);
    return count;
}

void WriteInt32(TStream& stream, int32_t value)
{
    const auto u = static_cast<uint32_t>(value);
    const uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                          static_cast<uint8_t>(u >> 24)};
    stream.WriteBuffer(b, 4);
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
        if (QueryFile(candidate, false).Kind != TFileKind::fkFile)
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
        if (!fBackupDone)
            KeepCopy(fPath, fBackupPath);
        if (!DeleteFile(fPath))
            throw EFileError(SystemErrorText(fPath, errno));
        SyncFolderOf(fPath);
    }
    fBackupDone = true;
}
