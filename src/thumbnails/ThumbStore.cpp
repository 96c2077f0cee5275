#include "thumbnails/ThumbStore.h"

#include <cerrno>
#include <memory>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/AtomicSave.h"
#include "common/BfStream.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

// The path without its trailing '/', except the root, which keeps it.
std::string_view WithoutTrailingSlash(std::string_view path)
{
    if (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

}  // namespace

bool KeyIsWithin(std::string_view key, std::string_view path)
{
    path = WithoutTrailingSlash(path);
    if (path.empty() || key.size() < path.size() || key.compare(0, path.size(), path) != 0)
        return false;
    return key.size() == path.size() || path.back() == '/' || key[path.size()] == '/';
}

void SaveStoreFile(const std::string& path, const std::function<void(TStream&)>& write)
{
    TAtomicFile file(path);
    try {
        TBufferStream buffer(file.Stream(), TBufferStream::ThumbnailBufferSize);
        write(buffer);
        buffer.Flush();
    } catch (const EFileError&) {
        throw;
    } catch (const std::exception& e) {
        throw EFileError(path + ": " + e.what());
    }
    file.Commit();
}

TThumbStore::TThumbStore(std::string folder) : fFolder(IncludeTrailingPathDelimiter(std::move(folder))) {}

TThumbReadOutcome TThumbStore::ReadIndex()
{
    fReadError.clear();
    fEntries.clear();
    fNumbers.clear();
    const std::string path = IndexPath();
    if (QueryFile(path).Kind != TFileKind::fkFile)
        return {};
    fReadError.clear();
    TThumbIndexContents contents;
    try {
        TFileStream file(path, TFileMode::fmOpenRead);
        TBufferStream buffer(file, TBufferStream::ThumbnailBufferSize);
        contents = ReadThumbIndex(buffer);
    } catch (const EFileError& e) {
        fReadError = e.what();
        throw;
    } catch (const EMirevaError& e) {
        fReadError = e.what();
        throw EFileError(e.what());
    }
    for (TThumbIndexRow& row : contents.Rows) {
        TThumbIndexEntry entry;
        entry.Number = row.Number;
        entry.DataSize = row.DataSize;
        entry.Count = row.Count;
        entry.LastUsed = row.LastUsed;
        fNumbers[row.Number] = row.Key;
        fEntries.emplace(std::move(row.Key), entry);
    }
    return contents.Outcome;
}

void TThumbStore::WriteIndex()
{
    if (!fReadError.empty())
        throw EFileError(fReadError);
    std::vector<TThumbIndexRow> rows;
    for (const auto& [key, entry] : fEntries) {
        if (entry.State == TIndexState::isDeleted || entry.Number < 0)
            continue;
        if (entry.State == TIndexState::isNew && entry.Count == 0)
            continue;
        rows.push_back({key, entry.Number, entry.DataSize, entry.Count, entry.LastUsed});
    }
    ForceDirectories(fFolder);
    SaveStoreFile(IndexPath(), [&](TStream& out) { WriteThumbIndex(out, rows); });
}

TThumbIndexEntry* TThumbStore::Find(const std::string& key)
{
    const auto it = fEntries.find(key);
    return it == fEntries.end() ? nullptr : &it->second;
}

const TThumbIndexEntry* TThumbStore::Find(const std::string& key) const
{
    const auto it = fEntries.find(key);
    return it == fEntries.end() ? nullptr : &it->second;
}

TThumbIndexEntry& TThumbStore::Add(const std::string& key)
{
    const auto [it, added] = fEntries.try_emplace(key);
    if (added)
        it->second.State = TIndexState::isNew;
    return it->second;
}

void TThumbStore::DropEntry(std::map<std::string, TThumbIndexEntry>::iterator it, bool deleteFile)
{
    const int32_t number = it->second.Number;
    if (number >= 0) {
        const auto owner = fNumbers.find(number);
        if (owner != fNumbers.end() && owner->second == it->first) {
            fNumbers.erase(owner);
            if (deleteFile)
                DeleteFile(DataFilePath(number));
        }
    }
    fEntries.erase(it);
}

bool TThumbStore::Remove(const std::string& key)
{
    const auto it = fEntries.find(key);
    if (it == fEntries.end())
        return false;
    DropEntry(it, true);
    return true;
}

int TThumbStore::RenamePath(const std::string& oldPath, const std::string& newPath)
{
    const std::string_view from = WithoutTrailingSlash(oldPath);
    const std::string_view to = WithoutTrailingSlash(newPath);
    // The root holds every key; no rename moves it.
    if (from.empty() || to.empty() || from == to || from == "/" || to == "/")
        return 0;
    std::vector<std::pair<std::string, TThumbIndexEntry>> moved;
    for (auto it = fEntries.begin(); it != fEntries.end();) {
        if (!KeyIsWithin(it->first, from)) {
            ++it;
            continue;
        }
        std::string renamed = std::string(to) + it->first.substr(from.size());
        moved.emplace_back(std::move(renamed), it->second);
        if (it->second.Number >= 0)
            fNumbers.erase(it->second.Number);
        it = fEntries.erase(it);
    }
    for (auto& [key, entry] : moved) {
        if (const auto stale = fEntries.find(key); stale != fEntries.end())
            DropEntry(stale, true);
        if (entry.Number >= 0)
            fNumbers[entry.Number] = key;
        fEntries.emplace(key, entry);
    }
    return static_cast<int>(moved.size());
}

int TThumbStore::RemovePath(const std::string& path)
{
    int removed = 0;
    for (auto it = fEntries.begin(); it != fEntries.end();) {
        if (KeyIsWithin(it->first, path)) {
            const auto next = std::next(it);
            DropEntry(it, true);
            it = next;
            ++removed;
        } else {
            ++it;
        }
    }
    return removed;
}

void TThumbStore::Settle()
{
    for (auto it = fEntries.begin(); it != fEntries.end();) {
        TThumbIndexEntry& entry = it->second;
        const bool drop = entry.State == TIndexState::isDeleted ||
                          (entry.State == TIndexState::isNew && (entry.Count == 0 || entry.Number < 0));
        if (drop) {
            const auto next = std::next(it);
            // A deleted entry's file went when it was saved; one never
            // written has none of its own.
            DropEntry(it, false);
            it = next;
            continue;
        }
        entry.State = TIndexState::isUnchanged;
        ++it;
    }
}

int32_t TThumbStore::AllocateNumber(int32_t& counter, const std::string& key)
{
    int32_t n = std::max<int32_t>(counter, 0);
    while (n < ThumbNumberLimit && fNumbers.contains(n))
        ++n;
    if (n >= ThumbNumberLimit)
        throw EFileError(fFolder + ": no free thumbnail file number is left");
    fNumbers[n] = key;
    counter = n + 1;
    return n;
}

TFolderThumbs TThumbStore::ReadFolder(const std::string& key, bool checkFiles)
{
    TFolderThumbs folder;
    folder.Key = key;
    TThumbIndexEntry* entry = Find(key);
    if (!entry || entry->Number < 0)
        return folder;
    std::unique_ptr<TFileStream> file;
    try {
        file = std::make_unique<TFileStream>(DataFilePath(entry->Number), TFileMode::fmOpenRead);
    } catch (const EFileError&) {
        entry->State = TIndexState::isDeleted;
        return folder;
    }
    const bool inArchive = IsArchiveKey(key);
    std::function<bool(const std::string&)> keep;
    if (checkFiles && !inArchive)
        keep = [&](const std::string& name) { return PathExists(key + name); };
    TBufferStream buffer(*file, TBufferStream::ThumbnailBufferSize);
    TThumbDataContents contents = ReadThumbData(buffer, entry->Number, std::max<int32_t>(entry->Count, 0), inArchive, keep);
    if (contents.Outcome.Foreign) {
        entry->State = TIndexState::isChanged;
        return folder;
    }
    // A file that ended early, held entries the folder no longer has, or
    // older layouts is written again without them.
    if (!contents.Outcome.Complete || static_cast<int32_t>(contents.Records.size()) != entry->Count ||
        contents.Version != ThumbFileVersion)
        entry->State = TIndexState::isChanged;
    else if (entry->State == TIndexState::isUnchanged)
        entry->State = TIndexState::isInUse;
    for (TThumbnailRecord& record : contents.Records) {
        std::string name = record.Name;
        folder.Records.emplace(std::move(name), std::move(record));
    }
    return folder;
}

std::optional<std::vector<uint8_t>> TThumbStore::ReadBytes(const TThumbnailRecord& record) const
{
    if (!IsValidThumbNumber(record.Number))
        return std::nullopt;
    try {
        TFileStream file(DataFilePath(record.Number), TFileMode::fmOpenRead);
        return ReadThumbBytes(file, record);
    } catch (const EMirevaError&) {
        return std::nullopt;
    }
}

bool TThumbStore::WriteFolder(TFolderThumbs& folder, int32_t& counter,
                              const std::function<bool(const TThumbnailRecord&)>& save,
                              const TThumbBytesSource& otherStore)
{
    TThumbIndexEntry* entry = Find(folder.Key);
    if (!entry)
        return false;
    entry->LastUsed = Now();
    if (entry->State == TIndexState::isInUse)
        return true;
    if (folder.Records.empty()) {
        if (entry->State == TIndexState::isNew)
            return true;
        entry->State = TIndexState::isDeleted;
    }
    if (entry->State == TIndexState::isDeleted) {
        if (entry->Number >= 0)
            DeleteFile(DataFilePath(entry->Number));
        return true;
    }
    const TIndexState before = entry->State;
    const bool allocated = entry->Number < 0;
    try {
        if (allocated)
            entry->Number = AllocateNumber(counter, folder.Key);
        const std::string path = DataFilePath(entry->Number);
        ForceDirectories(ExtractFilePath(path));
        // The old file is read while its replacement is written beside it.
        std::unique_ptr<TFileStream> old;
        if (QueryFile(path).Kind == TFileKind::fkFile)
            old = std::make_unique<TFileStream>(path, TFileMode::fmOpenRead);
        const int32_t number = entry->Number;
        TThumbBytesSource source = [&](const TThumbnailRecord& record) -> std::optional<std::vector<uint8_t>> {
            if (record.Origin == TThumbOrigin::toCopied)
                return otherStore ? otherStore(record) : std::nullopt;
            if (record.Number == number)
                return old ? ReadThumbBytes(*old, record) : std::nullopt;
            return ReadBytes(record);
        };
        std::vector<TThumbnailRecord> records;
        for (auto& [name, record] : folder.Records)
            if (!save || save(record))
                records.push_back(record);
        int64_t size = 0;
        {
            TAtomicFile file(path);
            TBufferStream buffer(file.Stream(), TBufferStream::ThumbnailBufferSize);
            size = WriteThumbData(buffer, number, records, source);
            buffer.Flush();
            if (!records.empty())
                file.Commit();
        }
        old.reset();
        entry->DataSize = static_cast<int32_t>(std::min<int64_t>(size, INT32_MAX));
        entry->Count = static_cast<int32_t>(records.size());
        if (records.empty()) {
            DeleteFile(path);
            entry->State = TIndexState::isDeleted;
        } else {
            entry->State = TIndexState::isInUse;
        }
        // The records now name the bytes of the new file; those left out of
        // it are no longer stored.
        std::map<std::string, TThumbnailRecord> kept;
        for (TThumbnailRecord& record : records) {
            std::string name = record.Name;
            kept.emplace(std::move(name), std::move(record));
        }
        for (auto& [name, record] : folder.Records)
            if (!kept.contains(name) && record.Origin == TThumbOrigin::toMade)
                kept.emplace(name, record);
        folder.Records = std::move(kept);
        return true;
    } catch (const EMirevaError&) {
        if (allocated && entry->Number >= 0) {
            fNumbers.erase(entry->Number);
            entry->Number = -1;
        }
        entry->State = before;
        return false;
    }
}
