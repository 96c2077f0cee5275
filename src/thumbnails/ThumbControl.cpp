#include "thumbnails/ThumbControl.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/AtomicSave.h"
#include "common/BfStream.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "thumbnails/ThumbStore.h"

std::string ThumbRowName(const std::string& key, bool fullPath)
{
    if (fullPath || key.size() <= 1)
        return key;
    return ExtractFileName(ExcludeTrailingPathDelimiter(key));
}

TThumbControl::TThumbControl(std::string folder) : fFolder(IncludeTrailingPathDelimiter(std::move(folder)))
{
    TThumbStore store(fFolder);
    store.ReadIndex();
    if (store.Unreadable())
        throw EFileError(store.IndexPath() + ": the thumbnail index cannot be read");
    for (const auto& [key, entry] : store.Entries()) {
        TThumbControlRow row{key, entry.Number, entry.DataSize, entry.Count, entry.LastUsed};
        // A folder's key ends with '/', so it is tested as a folder; an
        // archive's as a file.
        row.Exists = IsArchiveKey(key) ? FileExists(key) : DirectoryExists(key);
        fInitialTotal += std::max<int32_t>(row.DataSize, 0);
        fRows.push_back(std::move(row));
    }
}

TThumbControl::~TThumbControl()
{
    if (!fDone) {
        try {
            Revert();
        } catch (...) {
            // A destructor never throws; the backups stay on disk then.
        }
    }
}

int64_t TThumbControl::Total() const
{
    int64_t total = 0;
    for (const TThumbControlRow& row : fRows)
        total += std::max<int32_t>(row.DataSize, 0);
    return total;
}

void TThumbControl::Sort(TThumbSortColumn column, TThumbSortDir dir, bool fullPath)
{
    const bool desc = dir == TThumbSortDir::sdDesc;
    auto compare = [&](const TThumbControlRow& a, const TThumbControlRow& b) {
        int c = 0;
        switch (column) {
        case TThumbSortColumn::scPath:
            c = ThumbRowName(a.Key, fullPath).compare(ThumbRowName(b.Key, fullPath));
            break;
        case TThumbSortColumn::scCount:
            c = (a.Count > b.Count) - (a.Count < b.Count);
            break;
        case TThumbSortColumn::scSize:
            c = (a.DataSize > b.DataSize) - (a.DataSize < b.DataSize);
            break;
        case TThumbSortColumn::scLastUsed:
            c = (a.LastUsed > b.LastUsed) - (a.LastUsed < b.LastUsed);
            break;
        }
        return desc ? c > 0 : c < 0;
    };
    std::stable_sort(fRows.begin(), fRows.end(), compare);
}

int TThumbControl::RemoveRows(const std::vector<size_t>& rows)
{
    std::set<size_t> chosen(rows.begin(), rows.end());
    int removed = 0;
    for (auto at = chosen.rbegin(); at != chosen.rend(); ++at) {
        if (*at >= fRows.size())
            continue;
        fRemoved.push_back(std::move(fRows[*at]));
        fRows.erase(fRows.begin() + static_cast<std::ptrdiff_t>(*at));
        ++removed;
    }
    if (removed)
        fChanged = true;
    return removed;
}

int TThumbControl::RemoveGone()
{
    std::vector<size_t> gone;
    for (size_t i = 0; i < fRows.size(); ++i)
        if (!fRows[i].Exists)
            gone.push_back(i);
    return RemoveRows(gone);
}

int TThumbControl::RemoveAll()
{
    std::vector<size_t> all(fRows.size());
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = i;
    return RemoveRows(all);
}

std::string TThumbControl::BackupPath(int32_t number) const
{
    std::string path = DataFilePath(number);
    path.replace(path.size() - 4, 4, ".l$$");
    return path;
}

TThumbDataContents TThumbControl::ReadSource(int32_t number) const
{
    // Once this object has made a backup, it stays the source of every
    // later rewrite: the current file has already lost what an earlier
    // rewrite dropped.
    const auto backup = fBackups.find(number);
    const std::string path = backup != fBackups.end() ? backup->second : DataFilePath(number);
    TFileStream file(path, TFileMode::fmOpenRead);
    TBufferStream buffer(file, TBufferStream::ThumbnailBufferSize);
    return ReadThumbData(buffer, number, INT32_MAX, false, {});
}

void TThumbControl::MakeBackup(int32_t number)
{
    if (fBackups.contains(number))
        return;
    const std::string backup = BackupPath(number);
    // A file already under the backup name was left by an earlier run; it
    // is no copy of what this dialog found, so it is replaced, never used.
    KeepCopy(DataFilePath(number), backup);
    fBackups.emplace(number, backup);
}

std::vector<std::string> TThumbControl::MissingFiles(size_t row) const
{
    std::vector<std::string> missing;
    if (row >= fRows.size() || IsArchiveKey(fRows[row].Key) || !fRows[row].Exists)
        return missing;
    const TThumbControlRow& r = fRows[row];
    try {
        const TThumbDataContents contents = ReadSource(r.Number);
        if (contents.Outcome.Foreign)
            return missing;
        for (const TThumbnailRecord& record : contents.Records)
            if (!PathExists(r.Key + record.Name))
                missing.push_back(record.Name);
    } catch (const EFileError&) {
        // A data file that cannot be read lists nothing.
    }
    return missing;
}

int TThumbControl::RemoveMissingFiles(const std::vector<size_t>& rows)
{
    std::set<size_t> chosen(rows.begin(), rows.end());
    std::vector<size_t> emptied;
    int dropped = 0;
    for (auto at = chosen.rbegin(); at != chosen.rend(); ++at) {
        if (*at >= fRows.size())
            continue;
        TThumbControlRow& row = fRows[*at];
        if (IsArchiveKey(row.Key))
            continue;
        if (!row.Exists) {
            dropped += std::max<int32_t>(row.Count, 0);
            emptied.push_back(*at);
            continue;
        }
        TThumbDataContents contents;
        try {
            contents = ReadSource(row.Number);
        } catch (const EFileError&) {
            continue;  // no data file to rewrite
        }
        if (contents.Outcome.Foreign)
            continue;
        std::vector<TThumbnailRecord> kept;
        for (TThumbnailRecord& record : contents.Records)
            if (PathExists(row.Key + record.Name))
                kept.push_back(std::move(record));
        const int gone = static_cast<int>(contents.Records.size() - kept.size());
        if (gone == 0)
            continue;
        MakeBackup(row.Number);
        const std::string backup = fBackups.at(row.Number);
        int64_t size = 0;
        SaveStoreFile(DataFilePath(row.Number), [&](TStream& out) {
            TFileStream source(backup, TFileMode::fmOpenRead);
            size = WriteThumbData(out, row.Number, kept,
                                  [&](const TThumbnailRecord& r) { return ReadThumbBytes(source, r); });
        });
        row.DataSize = static_cast<int32_t>(size);
        row.Count = static_cast<int32_t>(kept.size());
        dropped += gone;
        fChanged = true;
        if (row.Count == 0)
            emptied.push_back(*at);
    }
    RemoveRows(emptied);
    return dropped;
}

void TThumbControl::Commit()
{
    fDone = true;
    if (!fChanged)
        return;
    // The index goes first: should it fail, the data files it lists are
    // all still there.
    const std::string index = fFolder + std::string(ThumbIndexFileName);
    if (fRows.empty()) {
        DeleteFile(index);
    } else {
        std::vector<TThumbIndexRow> rows;
        for (const TThumbControlRow& row : fRows)
            rows.push_back({row.Key, row.Number, row.DataSize, row.Count, row.LastUsed});
        try {
            SaveStoreFile(index, [&](TStream& out) { WriteThumbIndex(out, rows); });
        } catch (...) {
            fDone = false;
            throw;
        }
    }
    for (const TThumbControlRow& row : fRemoved)
        if (IsValidThumbNumber(row.Number))
            DeleteFile(DataFilePath(row.Number));
    for (const auto& [number, backup] : fBackups)
        DeleteFile(backup);
    fBackups.clear();
    fRemoved.clear();
    fChanged = false;
}

void TThumbControl::Revert()
{
    fDone = true;
    for (auto at = fBackups.begin(); at != fBackups.end();) {
        // One rename puts the old file back, so the data file exists under
        // its name at every moment.
        RenameFile(at->second, DataFilePath(at->first));
        at = fBackups.erase(at);
    }
    fRemoved.clear();
    fChanged = false;
}
