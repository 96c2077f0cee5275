#include "collections/SearchCache.h"

#include <bit>
#include <cerrno>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "collections/ListFile.h"
#include "common/AtomicSave.h"
#include "common/BfStream.h"
#include "common/BinaryReader.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

// ---- TSearchCache ----

std::shared_ptr<const TCacheEntries> TSearchCache::Find(const std::string& directory) const
{
    std::lock_guard<std::mutex> lock(fMutex);
    const auto it = fEntries.find(directory);
    return it == fEntries.end() ? nullptr : it->second;
}

std::shared_ptr<const TCacheEntries> TSearchCache::Add(const std::string& directory, TCacheEntries entries)
{
    auto kept = std::make_shared<const TCacheEntries>(std::move(entries));
    std::lock_guard<std::mutex> lock(fMutex);
    const auto [it, added] = fEntries.emplace(directory, std::move(kept));
    return it->second;
}

void TSearchCache::Clear()
{
    std::lock_guard<std::mutex> lock(fMutex);
    fEntries.clear();
    fMade = 0;
}

int TSearchCache::Count() const
{
    std::lock_guard<std::mutex> lock(fMutex);
    return static_cast<int>(fEntries.size());
}

TDateTime TSearchCache::Made() const
{
    std::lock_guard<std::mutex> lock(fMutex);
    return fMade;
}

void TSearchCache::SetMade(TDateTime made)
{
    std::lock_guard<std::mutex> lock(fMutex);
    fMade = made;
}

std::vector<std::pair<std::string, std::shared_ptr<const TCacheEntries>>> TSearchCache::Snapshot() const
{
    std::lock_guard<std::mutex> lock(fMutex);
    return {fEntries.begin(), fEntries.end()};
}

// ---- The file ----

namespace {

// The bytes of one entry besides its path: folder byte, attributes, size and
// three dates.
constexpr int64_t EntryFixedBytes = 1 + 4 + 8 + 3 * 8;

std::string ReadBoundedText(TBinaryReader& reader, const char* field)
{
    std::string text = reader.ReadText(field);
    if (text.size() > static_cast<size_t>(MaxCachePathBytes))
        reader.Fail(field);
    return text;
}

}  // namespace

void WriteSearchCache(const TSearchCache& cache, TStream& stream)
{
    const auto directories = cache.Snapshot();
    WriteString(SearchCacheSignature, stream);
    WriteInt32(stream, SearchCacheVersion);
    WriteDouble(stream, cache.Made());
    WriteInt32(stream, static_cast<int32_t>(directories.size()));
    for (const auto& [key, entries] : directories) {
        WriteString(key, stream);
        WriteInt32(stream, static_cast<int32_t>(entries->size()));
        for (const TCtFileInfo& entry : *entries) {
            WriteString(entry.Path, stream);
            WriteByte(stream, entry.IsDirectory ? 1 : 0);
            WriteInt32(stream, entry.Attributes);
            WriteInt64(stream, entry.Size);
            WriteDouble(stream, entry.Modified);
            WriteDouble(stream, entry.Created);
            WriteDouble(stream, entry.Accessed);
        }
    }
}

TCacheReadResult ReadSearchCache(TStream& stream, TSearchCache& cache)
{
    cache.Clear();
    TCacheReadResult result;
    TBufferStream buffered(stream, TBufferStream::ListBufferSize);
    TListReader reader(buffered);
    try {
        if (reader.Remaining() < 4 || reader.ReadText("signature") != SearchCacheSignature) {
            result.Status = TCacheReadStatus::crForeign;
            return result;
        }
        result.Version = reader.ReadInt32("version");
        TDateTime made = 0;
        if (result.Version >= SearchCacheVersion)
            made = reader.ReadDate("date");
        const int32_t directories = reader.ReadCount(8, "directory count");
        if (directories > MaxCacheDirectories)
            reader.Fail("directory count");
        for (int32_t d = 0; d < directories; ++d) {
            std::string key = ReadBoundedText(reader, "directory");
            const int32_t count = reader.ReadCount(4 + EntryFixedBytes, "entry count");
            if (count > MaxCacheEntries)
                reader.Fail("entry count");
            TCacheEntries entries;
            entries.reserve(static_cast<size_t>(count));
            for (int32_t e = 0; e < count; ++e) {
                TCtFileInfo& entry = entries.emplace_back();
                entry.Path = ReadBoundedText(reader, "path");
                uint8_t isDirectory = 0;
                reader.ReadBytes(&isDirectory, 1, "folder flag");
                entry.IsDirectory = isDirectory != 0;
                entry.Attributes = reader.ReadInt32("attributes");
                entry.Size = reader.ReadInt64("size");
                entry.Modified = reader.ReadDate("modified");
                entry.Created = reader.ReadDate("created");
                entry.Accessed = reader.ReadDate("accessed");
            }
            cache.Add(key, std::move(entries));
        }
        cache.SetMade(made);
    } catch (const EFormatError& e) {
        cache.Clear();
        result.Status = TCacheReadStatus::crDamaged;
        result.Error = e.what();
    }
    return result;
}

// ---- TSearchCacheStore ----

TSearchCacheStore::TSearchCacheStore(std::string dataFolder)
    : fPath(IncludeTrailingPathDelimiter(std::move(dataFolder)) + SearchCacheFileName)
{
}

TSearchCacheStore::TLoadResult TSearchCacheStore::Load(TSearchCache& cache)
{
    cache.Clear();
    TLoadResult result;
    fUnreadable = false;
    if (!PathExists(fPath))
        return result;
    result.Found = true;
    TCacheReadResult read;
    try {
        TFileStream file(fPath, TFileMode::fmOpenRead);
        read = ReadSearchCache(file, cache);
    } catch (const EFileError& e) {
        // Not damage: the file may be fine and merely closed to us now.
        cache.Clear();
        fUnreadable = true;
        result.Unreadable = true;
        result.Error = e.what();
        return result;
    }
    if (read.Status == TCacheReadStatus::crRead) {
        result.HasDate = read.Version >= SearchCacheVersion;
        return result;
    }
    result.Error = read.Status == TCacheReadStatus::crForeign ? "not a search cache file" : read.Error;
    // Kept for a look, never deleted unread; the cache simply starts empty.
    try {
        RenameFile(fPath, SetAsidePath());
        result.SetAside = true;
    } catch (const EFileError& e) {
        // It cannot be put aside: then it is not saved over either.
        fUnreadable = true;
        result.Unreadable = true;
        result.Error = e.what();
    }
    return result;
}

void TSearchCacheStore::Save(const TSearchCache& cache)
{
    if (fUnreadable)
        throw EFileError("'" + fPath + "' could not be read and is not replaced");
    TAtomicFile file(fPath);
    {
        TBufferStream buffered(file.Stream(), TBufferStream::ListBufferSize);
        WriteSearchCache(cache, buffered);
        buffered.Flush();
    }
    file.Commit();
}

void TSearchCacheStore::Remove()
{
    if (!DeleteFile(fPath) && PathExists(fPath))
        throw EFileError(SystemErrorText(fPath, errno));
}
