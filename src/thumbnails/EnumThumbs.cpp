#include "thumbnails/EnumThumbs.h"

#include <algorithm>
#include <utility>

#include "base/PathUtils.h"
#include "common/Text.h"
#include "loading/ImgLoader.h"
#include "platform/FileSystem.h"
#include "platform/Threads.h"
#include "thumbnails/ThumbnailList.h"

namespace {

// The enumeration a worker thread belongs to, so that a call made from a
// worker (a receiver running inline on it) does not wait for itself.
thread_local const void* CurrentEnumeration = nullptr;

int CompareMembers(const TArchiveFileInfo& a, const TArchiveFileInfo& b)
{
    if (const int byPath = CompareText(a.Path, b.Path); byPath != 0)
        return byPath;
    // Folder records (no name) come before the members of their folder.
    if (a.Name.empty() != b.Name.empty())
        return a.Name.empty() ? -1 : 1;
    return CompareText(a.Name, b.Name);
}

TThumbnailRecord RecordOf(const std::string& name, const TMadeThumbnail& made, int64_t size, TDateTime time,
                          int32_t boxWidth, int32_t boxHeight, bool folder)
{
    TThumbnailRecord record;
    record.Name = name;
    record.DataLength = static_cast<int32_t>(made.Jpeg.size());
    record.Width = made.Width;
    record.Height = made.Height;
    record.Bits = made.Bits;
    record.FileSize = size;
    record.FileTime = time;
    record.BoxWidth = boxWidth;
    record.BoxHeight = boxHeight;
    record.FolderFlag = folder ? 1 : 0;
    record.Origin = TThumbOrigin::toMade;
    record.Jpeg = made.Jpeg;
    return record;
}

}  // namespace

std::vector<const TArchiveFileInfo*> SortedMembers(const TArchiver& archiver)
{
    std::vector<const TArchiveFileInfo*> members;
    members.reserve(archiver.Items().size());
    for (const auto& item : archiver.Items())
        members.push_back(item.get());
    std::stable_sort(members.begin(), members.end(),
                     [](const TArchiveFileInfo* a, const TArchiveFileInfo* b) { return CompareMembers(*a, *b) < 0; });
    return members;
}

TEnumThumbsThread::TEnumThumbsThread(TThumbnailList& list, TEnumThumbsConfig config, TDispatcher& dispatcher,
                                     TThumbReceiver& receiver, TThumbProgress* progress)
    : fList(list), fConfig(std::move(config)), fDispatcher(dispatcher), fProgress(progress),
      fMaker(fConfig.Loaders, fConfig.Options.Width, fConfig.Options.Height,
             static_cast<TStretchMode>(std::clamp(static_cast<int>(fConfig.Options.Stretch), 0, 4)), fConfig.HalfTone),
      fWork(list, fMaker.BoxWidth(), fMaker.BoxHeight()), fGate(std::make_shared<TGate>())
{
    fGate->Receiver = &receiver;
    fGate->Progress = progress;
    // The media store is read here, on the user-interface thread, rather
    // than by the first worker that needs it.
    if (fConfig.Place.Media)
        fList.MediaStore();
    // Only an archive needs opening before the first item; a folder's items
    // can be taken at once.
    fPrepared = fConfig.Place.ArchiveName.empty();
    unsigned count = fConfig.Workers ? fConfig.Workers : std::thread::hardware_concurrency();
    count = std::clamp(count, 1u, 64u);
    fWorkers.reserve(count);
    for (unsigned i = 0; i < count; ++i)
        fWorkers.emplace_back([this] { Run(); });
}

TEnumThumbsThread::~TEnumThumbsThread()
{
    Stop();
    if (fConfig.Place.UseStore) {
        fWork.Save({fConfig.Options.Save, fConfig.Batch});
        fList.Settle();
    }
}

void TEnumThumbsThread::Terminate()
{
    {
        std::lock_guard<std::mutex> lock(fQueueMutex);
        fTerminated = true;
    }
    fGate->Open = false;
    fWake.notify_all();
    fSettled.notify_all();
}

void TEnumThumbsThread::Stop()
{
    if (fStopped)
        return;
    Terminate();
    for (std::thread& worker : fWorkers)
        if (worker.joinable())
            worker.join();
    fStopped = true;
}

void TEnumThumbsThread::SetItems(std::vector<TEnumImageInfo> items)
{
    std::lock_guard<std::mutex> lock(fQueueMutex);
    fItems = std::move(items);
    fQueue.clear();
    fPriority = -1;
    ++fGate->Epoch;
}

void TEnumThumbsThread::WaitForItemsInHand(std::unique_lock<std::mutex>& lock)
{
    // A worker calling in (through a receiver run inline) holds an item
    // itself; it waits only for the others.
    const int own = CurrentEnumeration == this ? 1 : 0;
    fSettled.wait(lock, [&] { return fInHand <= own; });
}

void TEnumThumbsThread::SetQueue(std::optional<std::vector<int32_t>> ids)
{
    std::unique_lock<std::mutex> lock(fQueueMutex);
    if (!ids) {
        // Whatever is in hand is dropped, and the call returns only when no
        // worker holds an item any more: the caller may then change what the
        // workers use (the plug-ins).
        ++fGate->Epoch;
        fQueue.clear();
        fPriority = -1;
        WaitForItemsInHand(lock);
        return;
    }
    if (fQueue.empty()) {
        fQueue.assign(ids->begin(), ids->end());
    } else if (fConfig.Options.AllThumbnail) {
        // Every item is wanted sooner or later: the ones asked for now go
        // first, in their order, and the rest keep waiting behind them.
        for (auto it = ids->rbegin(); it != ids->rend(); ++it) {
            if (const auto at = std::find(fQueue.begin(), fQueue.end(), *it); at != fQueue.end())
                fQueue.erase(at);
            fQueue.push_front(*it);
        }
    } else {
        // Only what is on screen is wanted; items asked for before that are
        // still on screen keep their place ahead of the new ones.
        std::deque<int32_t> old = std::move(fQueue);
        fQueue.assign(ids->begin(), ids->end());
        for (auto it = old.rbegin(); it != old.rend(); ++it) {
            if (const auto at = std::find(fQueue.begin(), fQueue.end(), *it); at != fQueue.end()) {
                fQueue.erase(at);
                fQueue.push_front(*it);
            }
        }
    }
    lock.unlock();
    fWake.notify_all();
}

void TEnumThumbsThread::SetPriority(int32_t id)
{
    {
        std::lock_guard<std::mutex> lock(fQueueMutex);
        fPriority = id;
    }
    fWake.notify_one();
}

bool TEnumThumbsThread::SaveNow()
{
    std::unique_lock<std::mutex> lock(fQueueMutex);
    // The workers take no new item while the files are written, and the
    // items in hand are finished first: a record read before the save
    // names bytes in the file the save replaces.
    const bool wasPaused = fTerminated;
    fTerminated = true;
    WaitForItemsInHand(lock);
    const bool ok = fWork.Save({TThumbnailSave::tvAll, true});
    fTerminated = wasPaused;
    lock.unlock();
    fWake.notify_all();
    return ok;
}

void TEnumThumbsThread::Rename(const std::string& oldPath, const std::string& newPath)
{
    fWork.Rename(oldPath, newPath);
}

bool TEnumThumbsThread::Idle() const
{
    std::lock_guard<std::mutex> lock(fQueueMutex);
    return fEnded || (fQueue.empty() && fPriority < 0 && fInHand == 0 && fPrepared);
}

bool TEnumThumbsThread::Ended() const
{
    std::lock_guard<std::mutex> lock(fQueueMutex);
    return fEnded;
}

TThumbCounts TEnumThumbsThread::Counts() const
{
    std::lock_guard<std::mutex> lock(fQueueMutex);
    return fCounts;
}

void TEnumThumbsThread::Run()
{
    CurrentEnumeration = this;
    LowerThreadPriority();
    if (!Prepare())
        return;
    while (const std::optional<TTaken> taken = Take()) {
        try {
            Process(*taken);
        } catch (...) {
            // One item's failure never ends the enumeration; the item
            // simply gets no thumbnail.
        }
        Finish();
    }
}

bool TEnumThumbsThread::Prepare()
{
    std::unique_lock<std::mutex> lock(fQueueMutex);
    fSettled.wait(lock, [&] { return !fPreparing; });
    if (fPrepared || fEnded)
        return fPrepared;
    const bool archiveMode = !fConfig.Place.ArchiveName.empty();
    if (!archiveMode) {
        fPrepared = true;
        return true;
    }
    fPreparing = true;
    lock.unlock();
    // The archive is opened outside the queue lock: listing a large archive
    // takes long, and the view must be able to hand over items meanwhile.
    TArchiverPtr archiver;
    try {
        TArchiveEnv env{fConfig.Loaders, fConfig.TempFolder};
        const std::string path = fConfig.Place.Folder + fConfig.Place.ArchiveName;
        const size_t nest = path.find(std::string(ArchiveDelim));
        archiver = nest == std::string::npos
                       ? OpenArchive(env, path)
                       : ResolveVirtualPath(env, path.substr(0, nest), path.substr(nest + ArchiveDelim.size()), nullptr);
    } catch (const std::exception&) {
        archiver = nullptr;
    }
    std::vector<const TArchiveFileInfo*> members;
    if (archiver)
        members = SortedMembers(*archiver);
    lock.lock();
    fPreparing = false;
    if (!archiver) {
        // An archive that cannot be opened ends the enumeration.
        fEnded = true;
        fTerminated = true;
    } else {
        fArchiver = std::move(archiver);
        fMembers = std::move(members);
        fPrepared = true;
        if (fConfig.Batch) {
            std::vector<TEnumImageInfo> items;
            for (const TArchiveFileInfo* member : fMembers) {
                if (member->IsFolder() || !fMaker.IsPictureName(member->Name))
                    continue;
                TEnumImageInfo item;
                item.Id = static_cast<int32_t>(items.size());
                item.Folder = member->Path;
                item.Name = member->Name;
                item.Size = member->Size;
                item.Time = member->Time;
                items.push_back(std::move(item));
            }
            fItems = std::move(items);
            fQueue.clear();
            for (const TEnumImageInfo& item : fItems)
                fQueue.push_back(item.Id);
        }
    }
    // A batch over an archive that cannot be opened, or that holds no
    // picture, has no item whose end would report the empty queue; it is
    // reported here, so that whoever waits for it goes on.
    const bool nothingToDo = fConfig.Batch && (fEnded || fQueue.empty());
    lock.unlock();
    fSettled.notify_all();
    fWake.notify_all();
    if (nothingToDo && fProgress)
        fDispatcher.Post([gate = fGate] {
            if (gate->Open && gate->Progress)
                gate->Progress->ThumbProgress({});
        });
    return fPrepared;
}

std::optional<TEnumThumbsThread::TTaken> TEnumThumbsThread::Take()
{
    std::unique_lock<std::mutex> lock(fQueueMutex);
    for (;;) {
        fWake.wait(lock, [&] { return fTerminated || fPriority >= 0 || !fQueue.empty(); });
        if (fTerminated)
            return std::nullopt;
        int32_t id = -1;
        if (fPriority >= 0) {
            id = std::exchange(fPriority, -1);
            if (const auto at = std::find(fQueue.begin(), fQueue.end(), id); at != fQueue.end())
                fQueue.erase(at);
        } else {
            id = fQueue.front();
            fQueue.pop_front();
        }
        if (id < 0 || id >= static_cast<int32_t>(fItems.size()))
            continue;
        ++fInHand;
        return TTaken{fItems[static_cast<size_t>(id)], fGate->Epoch.load()};
    }
}

void TEnumThumbsThread::Finish()
{
    bool drained = false;
    {
        std::lock_guard<std::mutex> lock(fQueueMutex);
        --fInHand;
        drained = fConfig.Batch && fQueue.empty() && fPriority < 0 && fInHand == 0 && !fTerminated;
    }
    fSettled.notify_all();
    if (drained && fProgress)
        fDispatcher.Post([gate = fGate] {
            if (gate->Open && gate->Progress)
                gate->Progress->ThumbProgress({});
        });
}

void TEnumThumbsThread::Deliver(const TTaken& taken, TThumbnailResult result)
{
    if (!Delivering() || taken.Epoch != fGate->Epoch.load() || !fGate->Open)
        return;
    // Posted, never waited for: the user-interface thread may be waiting
    // for the workers (stopping them) at this moment.
    fDispatcher.Post([gate = fGate, epoch = taken.Epoch, result = std::move(result)] {
        if (gate->Open && gate->Epoch.load() == epoch && gate->Receiver)
            gate->Receiver->ThumbnailArrived(result);
    });
}

TThumbStoreKind TEnumThumbsThread::StoreKind(const TEnumImageInfo& item) const
{
    return fConfig.Place.Media && !item.Medium.empty() ? TThumbStoreKind::skMedia : TThumbStoreKind::skNormal;
}

std::string TEnumThumbsThread::MediaKey(const TEnumImageInfo& item) const
{
    // The key names the folder below the medium's root, so that it stays
    // the same wherever the medium is mounted.
    std::string below = item.Folder;
    if (!item.MediumRoot.empty() && below.compare(0, item.MediumRoot.size(), item.MediumRoot) == 0)
        below.erase(0, item.MediumRoot.size());
    while (!below.empty() && below.front() == '/')
        below.erase(below.begin());
    return item.Medium + "/" + below;
}

void TEnumThumbsThread::Process(const TTaken& given)
{
    TTaken taken = given;
    TEnumImageInfo& item = taken.Item;
    const bool archiveMode = !fConfig.Place.ArchiveName.empty();
    if (!item.FactsKnown && !archiveMode && item.Medium.empty()) {
        const TFileStatus status = QueryFile(item.Name.empty() ? item.Folder : item.Folder + item.Name);
        item.Size = item.Name.empty() ? 0 : status.Size;
        item.Time = UnixToDateTime(status.ModifiedSeconds, status.ModifiedNanoseconds);
        item.FactsKnown = true;
    }
    if (fConfig.Batch && fProgress) {
        std::string text = archiveMode ? item.Folder + item.Name : item.Folder + item.Name;
        fDispatcher.Post([gate = fGate, text = std::move(text)] {
            if (gate->Open && gate->Progress)
                gate->Progress->ThumbProgress(text);
        });
    }
    if (taken.Epoch != fGate->Epoch.load())
        return;
    TFound found;
    if (archiveMode) {
        found = PlaceMemberThumb(item);
    } else {
        const TThumbStoreKind kind = StoreKind(item);
        if (!item.Name.empty()) {
            const std::string key = kind == TThumbStoreKind::skMedia ? MediaKey(item) : item.Folder;
            // A media file is looked up first; it is made only further down,
            // once the normal store had nothing to give.
            found = FileThumb(kind, key, kind == TThumbStoreKind::skMedia ? std::string() : item.Folder + item.Name,
                              item.Name, item.Size, item.Time, false);
            if (kind == TThumbStoreKind::skMedia && !found.Record) {
                // A file of a medium seen on disk before: its thumbnail in the
                // normal store is taken over.
                found = {};
                if (auto normal = fWork.FindValid(TThumbStoreKind::skNormal, item.Folder, item.Name, item.Size,
                                                  item.Time, true)) {
                    if (auto bytes = fWork.Bytes(TThumbStoreKind::skNormal, *normal)) {
                        normal->Origin = TThumbOrigin::toCopied;
                        normal->Jpeg = std::move(*bytes);
                        normal->DataLength = static_cast<int32_t>(normal->Jpeg.size());
                        fWork.Insert(kind, key, *normal);
                        if (auto stored = FromStored(kind, key, *normal))
                            found = std::move(*stored);
                    }
                }
                if (!found.Record && item.Online) {
                    TFound made = FileThumb(TThumbStoreKind::skNormal, item.Folder, item.Folder + item.Name, item.Name,
                                            item.Size, item.Time, true);
                    if (made.Record) {
                        made.Record->Origin = TThumbOrigin::toMade;
                        fWork.Insert(kind, key, *made.Record);
                        found = std::move(made);
                    }
                }
            }
        } else {
            // A folder's thumbnail is kept in its parent's entry under the
            // folder's own name.
            const std::string folder =
                ExcludeTrailingPathDelimiter(kind == TThumbStoreKind::skMedia ? MediaKey(item) : item.Folder);
            found = FolderThumb(kind, item, ExtractFilePath(folder), ExtractFileName(folder));
        }
    }
    {
        std::lock_guard<std::mutex> lock(fQueueMutex);
        if (!found.Record)
            ++fCounts.Failed;
        else if (found.Made)
            ++fCounts.Made;
        else
            ++fCounts.Reused;
    }
    TThumbnailResult result;
    result.Id = item.Id;
    if (found.Record && (found.Picture || !Delivering())) {
        result.Picture = std::move(found.Picture);
        result.Bits = found.Record->Bits;
        result.SourceWidth = found.Record->Width;
        result.SourceHeight = found.Record->Height;
        result.FolderFlag = found.Record->FolderFlag != 0;
    } else {
        result.FolderFlag = true;
    }
    Deliver(taken, std::move(result));
}

std::optional<TEnumThumbsThread::TFound> TEnumThumbsThread::FromStored(TThumbStoreKind kind, const std::string& key,
                                                                       TThumbnailRecord record)
{
    TFound found;
    if (Delivering()) {
        const std::optional<std::vector<uint8_t>> bytes = fWork.Bytes(kind, record);
        try {
            if (!bytes)
                throw EInvalidGraphic("no bytes");
            found.Picture = std::make_shared<const TBitmap>(DecodeJpeg(bytes->data(), bytes->size()));
        } catch (const EMirevaError&) {
            // Damaged bytes are never shown half gray: the record goes, and
            // the thumbnail is made again.
            if (fConfig.Place.UseStore)
                fWork.Remove(kind, key, record.Name);
            return std::nullopt;
        }
    }
    found.Record = std::move(record);
    return found;
}

TEnumThumbsThread::TFound TEnumThumbsThread::FromMade(TMadeThumbnail made, TThumbnailRecord record)
{
    TFound found;
    found.Picture = std::move(made.Picture);
    found.Record = std::move(record);
    found.Made = true;
    return found;
}

TEnumThumbsThread::TFound TEnumThumbsThread::FileThumb(TThumbStoreKind kind, const std::string& key,
                                                       const std::string& path, const std::string& name, int64_t size,
                                                       TDateTime time, bool readOnly)
{
    const bool useStore = fConfig.Place.UseStore;
    if (useStore) {
        if (auto record = fWork.FindValid(kind, key, name, size, time, readOnly)) {
            if (auto found = FromStored(kind, key, std::move(*record)))
                return std::move(*found);
        }
    }
    if (path.empty())
        return {};
    if (std::optional<TMadeThumbnail> made = fMaker.FromFile(path)) {
        TThumbnailRecord record = RecordOf(name, *made, size, time, fMaker.BoxWidth(), fMaker.BoxHeight(), false);
        if (useStore && !readOnly)
            fWork.Insert(kind, key, record);
        return FromMade(std::move(*made), std::move(record));
    }
    if (readOnly)
        return {};
    TFound fromArchive = ArchiveFileThumb(path);
    if (!fromArchive.Record)
        return {};
    TThumbnailRecord& record = *fromArchive.Record;
    if (record.Jpeg.empty()) {
        if (auto bytes = fWork.Bytes(TThumbStoreKind::skNormal, record))
            record.Jpeg = std::move(*bytes);
        else
            return {};
    }
    record.Name = name;
    record.FolderFlag = 1;
    record.FileSize = size;
    record.FileTime = time;
    record.Origin = TThumbOrigin::toMade;
    record.DataLength = static_cast<int32_t>(record.Jpeg.size());
    if (useStore)
        fWork.Insert(kind, key, record);
    fromArchive.Made = true;
    return fromArchive;
}

TEnumThumbsThread::TFound TEnumThumbsThread::ArchiveFileThumb(const std::string& path)
{
    TArchiverPtr archiver;
    try {
        archiver = OpenArchive(TArchiveEnv{fConfig.Loaders, fConfig.TempFolder}, path);
    } catch (const std::exception&) {
        return {};
    }
    if (!archiver)
        return {};
    for (const TArchiveFileInfo* member : SortedMembers(*archiver)) {
        // The first picture member stands for the archive, whether or not
        // a thumbnail can be made of it.
        if (!member->IsFolder() && fMaker.IsPictureName(member->Name))
            return MemberThumb(archiver, path, *member, true);
    }
    return {};
}

TEnumThumbsThread::TFound TEnumThumbsThread::MemberThumb(const TArchiverPtr& archiver, const std::string& key,
                                                         const TArchiveFileInfo& member, bool readOnly)
{
    if (member.IsFolder())
        return {};
    const std::string name = member.Path + member.Name;
    const bool useStore = fConfig.Place.UseStore;
    if (useStore) {
        if (auto record = fWork.FindValid(TThumbStoreKind::skNormal, key, name, member.Size, member.Time, readOnly)) {
            if (auto found = FromStored(TThumbStoreKind::skNormal, key, std::move(*record)))
                return std::move(*found);
        }
    }
    if (!fMaker.IsPictureName(member.Name))
        return {};
    std::unique_ptr<TMemoryStream> stream;
    try {
        stream = archiver->ExtractToStream(member);
    } catch (const std::exception&) {
        return {};
    }
    if (!stream || stream->Size() == 0)
        return {};
    std::optional<TMadeThumbnail> made = fMaker.FromStream(member.Name, *stream);
    if (!made)
        return {};
    TThumbnailRecord record =
        RecordOf(name, *made, member.Size, member.Time, fMaker.BoxWidth(), fMaker.BoxHeight(), false);
    if (useStore && !readOnly)
        fWork.Insert(TThumbStoreKind::skNormal, key, record);
    return FromMade(std::move(*made), std::move(record));
}

TEnumThumbsThread::TFound TEnumThumbsThread::PlaceMemberThumb(const TEnumImageInfo& item)
{
    const std::string key = fConfig.Place.Folder + fConfig.Place.ArchiveName;
    if (!item.Name.empty()) {
        for (const TArchiveFileInfo* member : fMembers)
            if (!member->IsFolder() && member->Path == item.Folder && member->Name == item.Name)
                return MemberThumb(fArchiver, key, *member, false);
        return {};
    }
    // A folder inside the archive: the first member below it that gives a
    // thumbnail.
    for (const TArchiveFileInfo* member : fMembers) {
        if (member->IsFolder() || member->Path.compare(0, item.Folder.size(), item.Folder) != 0)
            continue;
        TFound found = MemberThumb(fArchiver, key, *member, false);
        if (found.Record) {
            found.Record->FolderFlag = 1;
            return found;
        }
    }
    return {};
}

TEnumThumbsThread::TFound TEnumThumbsThread::FolderThumb(TThumbStoreKind kind, const TEnumImageInfo& item,
                                                         const std::string& key, const std::string& name)
{
    const bool useStore = fConfig.Place.UseStore && !key.empty() && !name.empty();
    if (useStore) {
        if (auto record = fWork.FindValid(kind, key, name, 0, item.Time)) {
            if (auto found = FromStored(kind, key, std::move(*record)))
                return std::move(*found);
        }
    }
    if (kind == TThumbStoreKind::skMedia && !item.Online)
        return {};
    const std::string folder = IncludeTrailingPathDelimiter(item.Folder);
    std::vector<TDirEntry> files;
    try {
        files = ListDirectory(folder);
    } catch (const std::exception&) {
        return {};
    }
    std::erase_if(files, [&](const TDirEntry& e) {
        return e.Status.Kind != TFileKind::fkFile || !fMaker.IsPictureName(e.Name);
    });
    std::sort(files.begin(), files.end(), [](const TDirEntry& a, const TDirEntry& b) {
        const int byCase = CompareText(a.Name, b.Name);
        return byCase != 0 ? byCase < 0 : a.Name < b.Name;
    });
    for (const TDirEntry& file : files) {
        // The folder's own stored thumbnail of its first picture is borrowed
        // rather than decoding the picture again.
        const TDateTime time = UnixToDateTime(file.Status.ModifiedSeconds, file.Status.ModifiedNanoseconds);
        TFound found = FileThumb(TThumbStoreKind::skNormal, folder, folder + file.Name, file.Name, file.Status.Size,
                                 time, true);
        if (!found.Record)
            continue;
        TThumbnailRecord& record = *found.Record;
        if (record.Jpeg.empty()) {
            auto bytes = fWork.Bytes(TThumbStoreKind::skNormal, record);
            if (!bytes)
                continue;
            record.Jpeg = std::move(*bytes);
        }
        record.Name = name;
        record.FolderFlag = 1;
        // The folder's own size and time: the thumbnail is made again when
        // the folder's content changes.
        record.FileSize = 0;
        record.FileTime = item.Time;
        record.BoxWidth = fMaker.BoxWidth();
        record.BoxHeight = fMaker.BoxHeight();
        record.Origin = TThumbOrigin::toMade;
        record.DataLength = static_cast<int32_t>(record.Jpeg.size());
        if (useStore)
            fWork.Insert(kind, key, record);
        found.Made = true;
        return found;
    }
    return {};
}

std::unique_ptr<TThumbRequests> StartEnumThumbs(const TEnumThumbsEnv& env, const TThumbPlace& place,
                                                TThumbReceiver& receiver)
{
    TEnumThumbsConfig config;
    config.Place = place;
    config.Options = env.Options;
    config.Loaders = env.Loaders;
    config.TempFolder = env.TempFolder;
    config.HalfTone = env.HalfTone;
    return std::make_unique<TEnumThumbsThread>(*env.List, std::move(config), *env.Dispatcher, receiver);
}
