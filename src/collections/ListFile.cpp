#include "collections/ListFile.h"

#include <cerrno>
#include <cstring>

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

// A "$$" file left by a crash is ours to replace; a link of that name is
// removed, never followed.
void RemoveStaleTemporary(const std::string& temporary)
{
    const TFileStatus old = QueryFile(temporary, false);
    if (old.Kind != TFileKind::fkNone && old.Kind != TFileKind::fkFolder)
        DeleteFile(temporary);
}

}  // namespace

void SaveListFile(const std::string& path, const std::string& backupPath, bool& backupDone,
                  const std::function<void(TStream&)>& writer)
{
    const std::string temporary = path + "$$";
    RemoveStaleTemporary(temporary);
    unsigned mode = 0644;
    const TFileStatus target = QueryFile(path);
    if (target.Kind == TFileKind::fkFile)
        mode = target.Mode & 0777;
    try {
        TFileStream file(temporary, TFileMode::fmCreateNew, true, mode);
        {
            TBufferStream buffer(file, TBufferStream::ListBufferSize);
            writer(buffer);
            buffer.Flush();
        }
        file.Sync();
        file.Close();
    } catch (const std::exception& e) {
        DeleteFile(temporary);
        throw EFileError(e.what());
    }

    bool movedToBackup = false;
    try {
        if (!backupDone && QueryFile(path, false).Kind != TFileKind::fkNone) {
            RenameFile(path, backupPath);
            movedToBackup = true;
        }
        RenameFile(temporary, path);
    } catch (const std::exception& e) {
        // The old file goes back where it was when only the last step failed.
        if (movedToBackup && QueryFile(path, false).Kind == TFileKind::fkNone) {
            try {
                RenameFile(backupPath, path);
            } catch (const std::exception&) {
            }
        }
        DeleteFile(temporary);
        throw EFileError(e.what());
    }
    backupDone = true;
    SyncFolderOf(path);
}

void RemoveListFile(const std::string& path, const std::string& backupPath, bool& backupDone)
{
    RemoveStaleTemporary(path + "$$");
    if (QueryFile(path, false).Kind == TFileKind::fkNone) {
        backupDone = true;
        return;
    }
    if (!backupDone)
        RenameFile(path, backupPath);
    else if (!DeleteFile(path))
        throw EFileError(SystemErrorText(path, errno));
    backupDone = true;
    SyncFolderOf(path);
}
