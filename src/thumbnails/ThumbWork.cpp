#include "thumbnails/ThumbWork.h"

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "thumbnails/ThumbnailList.h"

TThumbWorkingSet::TThumbWorkingSet(TThumbnailList& list, int32_t boxWidth, int32_t boxHeight)
    : fList(list), fBoxWidth(boxWidth), fBoxHeight(boxHeight)
{
}

TThumbStore& TThumbWorkingSet::StoreOf(TThumbStoreKind kind) const
{
    return kind == TThumbStoreKind::skMedia ? fList.MediaStore() : fList.Store();
}

void TThumbWorkingSet::MarkChanged(TThumbIndexEntry& entry)
{
    // A new entry stays new: it still needs a number when it is written.
    if (entry.State != TIndexState::isNew)
        entry.State = TIndexState::isChanged;
}

TFolderThumbs* TThumbWorkingSet::Working(TThumbStoreKind kind, const std::string& key, bool create)
{
    TStoreWork& work = WorkOf(kind);
    if (const auto it = work.Folders.find(key); it != work.Folders.end())
        return &it->second;
    TThumbStore& store = StoreOf(kind);
    if (!store.Find(key)) {
        if (!create)
            return nullptr;
        store.Add(key);
        TFolderThumbs empty;
        empty.Key = key;
        return &work.Folders.emplace(key, std::move(empty)).first->second;
    }
    // Folders on disk lose the thumbnails of files that are gone; archive
    // members and offline media cannot be looked at.
    const bool checkFiles = kind == TThumbStoreKind::skNormal;
    TFolderThumbs read = store.ReadFolder(key, checkFiles);
    return &work.Folders.emplace(key, std::move(read)).first->second;
}

std::optional<TThumbnailRecord> TThumbWorkingSet::FindValid(TThumbStoreKind kind, const std::string& key,
                                                            const std::string& name, int64_t size, TDateTime time,
                                                            bool borrowOnly)
{
    std::lock_guard<std::mutex> lock(fMutex);
    TFolderThumbs* folder = Working(kind, key, false);
    if (!folder)
        return std::nullopt;
    const auto it = folder->Records.find(name);
    if (it == folder->Records.end())
        return std::nullopt;
    TThumbnailRecord& record = it->second;
    const TThumbCheck check = CheckThumbnail(record, size, time, fBoxWidth, fBoxHeight);
    if (check == TThumbCheck::tcValid)
        return record;
    if (borrowOnly)
        return check == TThumbCheck::tcValidOtherBox ? std::optional<TThumbnailRecord>(record) : std::nullopt;
    TThumbIndexEntry* entry = StoreOf(kind).Find(key);
    if (entry)
        MarkChanged(*entry);
    fThumbnailsChanged = true;
    if (check == TThumbCheck::tcValidOtherBox) {
        // The picture fits the new box as it fitted the old one: the record
        // now stands for this box, so it is not checked against the old one
        // at every later look.
        record.BoxWidth = fBoxWidth;
        record.BoxHeight = fBoxHeight;
        return record;
    }
    folder->Records.erase(it);
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> TThumbWorkingSet::Bytes(TThumbStoreKind kind,
                                                            const TThumbnailRecord& record) const
{
    if (record.Origin == TThumbOrigin::toMade || record.Origin == TThumbOrigin::toCopied) {
        if (!record.Jpeg.empty())
            return record.Jpeg;
    }
    std::lock_guard<std::mutex> lock(fMutex);
    return StoreOf(record.Origin == TThumbOrigin::toCopied ? TThumbStoreKind::skNormal : kind).ReadBytes(record);
}

void TThumbWorkingSet::Remove(TThumbStoreKind kind, const std::string& key, const std::string& name)
{
    std::lock_guard<std::mutex> lock(fMutex);
    TFolderThumbs* folder = Working(kind, key, false);
    if (!folder || folder->Records.erase(name) == 0)
        return;
    if (TThumbIndexEntry* entry = StoreOf(kind).Find(key))
        MarkChanged(*entry);
    fThumbnailsChanged = true;
}

void TThumbWorkingSet::Insert(TThumbStoreKind kind, const std::string& key, TThumbnailRecord record)
{
    std::lock_guard<std::mutex> lock(fMutex);
    TFolderThumbs* folder = Working(kind, key, true);
    std::string name = record.Name;
    folder->Records.insert_or_assign(std::move(name), std::move(record));
    if (TThumbIndexEntry* entry = StoreOf(kind).Find(key))
        MarkChanged(*entry);
    fThumbnailsChanged = true;
}

void TThumbWorkingSet::Rename(const std::string& oldPath, const std::string& newPath)
{
    std::lock_guard<std::mutex> lock(fMutex);
    for (TThumbStoreKind kind : {TThumbStoreKind::skNormal, TThumbStoreKind::skMedia}) {
        TStoreWork& work = WorkOf(kind);
        if (kind == TThumbStoreKind::skMedia && work.Folders.empty())
            continue;
        if (StoreOf(kind).RenamePath(oldPath, newPath) > 0)
            work.IndexChanged = true;
        std::map<std::string, TFolderThumbs> renamed;
        for (auto it = work.Folders.begin(); it != work.Folders.end();) {
            if (!KeyIsWithin(it->first, oldPath)) {
                ++it;
                continue;
            }
            const std::string from = ExcludeTrailingPathDelimiter(oldPath);
            TFolderThumbs folder = std::move(it->second);
            folder.Key = ExcludeTrailingPathDelimiter(newPath) + folder.Key.substr(from.size());
            it = work.Folders.erase(it);
            std::string key = folder.Key;
            renamed.insert_or_assign(std::move(key), std::move(folder));
        }
        for (auto& [key, folder] : renamed)
            work.Folders.insert_or_assign(key, std::move(folder));
    }
}

bool TThumbWorkingSet::SaveStore(TThumbStoreKind kind, const std::function<bool(const TThumbnailRecord&)>& save)
{
    TThumbStore& store = StoreOf(kind);
    TStoreWork& work = WorkOf(kind);
    bool ok = true;
    int32_t counter = 0;
    const TThumbBytesSource normalBytes = [this](const TThumbnailRecord& record) {
        return record.Jpeg.empty() ? fList.Store().ReadBytes(record) : std::optional(record.Jpeg);
    };
    for (auto& [key, folder] : work.Folders)
        if (!store.WriteFolder(folder, counter, save, kind == TThumbStoreKind::skMedia ? normalBytes : TThumbBytesSource{}))
            ok = false;
    try {
        store.WriteIndex();
        work.IndexChanged = false;
    } catch (const EMirevaError&) {
        ok = false;
    }
    return ok;
}

bool TThumbWorkingSet::Save(const TThumbSaveRules& rules)
{
    std::lock_guard<std::mutex> lock(fMutex);
    bool ok = true;
    if (fThumbnailsChanged) {
        if (!fMediaWork.Folders.empty())
            ok = SaveStore(TThumbStoreKind::skMedia, {}) && ok;
        if (rules.Save != TThumbnailSave::tvNever || rules.Batch) {
            std::function<bool(const TThumbnailRecord&)> save;
            if (rules.Save == TThumbnailSave::tvFirstImage && !rules.Batch)
                save = [](const TThumbnailRecord& r) { return r.Origin != TThumbOrigin::toMade || r.FolderFlag != 0; };
            ok = SaveStore(TThumbStoreKind::skNormal, save) && ok;
        }
        fThumbnailsChanged = false;
    }
    // Renames reach the index files even when no thumbnail is written.
    for (TThumbStoreKind kind : {TThumbStoreKind::skNormal, TThumbStoreKind::skMedia}) {
        if (!WorkOf(kind).IndexChanged)
            continue;
        try {
            StoreOf(kind).WriteIndex();
            WorkOf(kind).IndexChanged = false;
        } catch (const EMirevaError&) {
            ok = false;
        }
    }
    return ok;
}

bool TThumbWorkingSet::Changed() const
{
    std::lock_guard<std::mutex> lock(fMutex);
    return fThumbnailsChanged || fNormalWork.IndexChanged || fMediaWork.IndexChanged;
}
