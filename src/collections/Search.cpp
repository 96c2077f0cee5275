#include "collections/Search.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <optional>

#include "base/Dispatcher.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "platform/FileSystem.h"
#include "platform/Threads.h"
#include "base/Texts.h"

// ---- Sources ----

void TFolderSource::Search(TSearchWalker& walker) const
{
    TBatchOrigin origin;
    origin.Kind = TSearchTargetKind::tkFolder;
    origin.TargetPath = fPath;
    walker.SetOrigin(std::move(origin));
    walker.SearchDirectory(fPath);
}

TShelfSnapshot SnapshotShelf(const TGroupFolder& shelf, int32_t index)
{
    TShelfSnapshot snapshot;
    snapshot.Name = shelf.Name();
    snapshot.Index = index;
    for (int i = 0; i < shelf.Count(); ++i) {
        const TGroupFileInfo* info = shelf.ItemInfo(i);
        std::string path = !info->Path.empty() ? info->Path : info->Item.Path();
        if (!path.empty())
            snapshot.Members.push_back({std::move(path), info->Item});
    }
    return snapshot;
}

void TShelfSource::Search(TSearchWalker& walker) const
{
    for (const TShelfSnapshot& shelf : fShelves) {
        if (walker.Sink().Stopped())
            return;
        SearchShelf(walker, shelf);
    }
}

void TShelfSource::SearchShelf(TSearchWalker& walker, const TShelfSnapshot& shelf) const
{
    TSearchSink& sink = walker.Sink();
    const TSearchFilter& filter = walker.Filter();
    sink.Progress(shelf.Name);
    TBatchOrigin origin;
    origin.Kind = TSearchTargetKind::tkShelf;
    origin.TargetName = shelf.Name;
    origin.TargetIndex = shelf.Index;
    std::vector<const TShelfSnapshot::TMember*> folders;
    for (const TShelfSnapshot::TMember& member : shelf.Members) {
        if (sink.Stopped())
            return;
        const std::string path = ExcludeTrailingPathDelimiter(member.Path);
        if (path.empty())
            continue;
        const TFileStatus status = QueryFile(path, true);
        if (status.Kind == TFileKind::fkNone)
            continue;
        const bool isDirectory = status.Kind == TFileKind::fkFolder;
        if (isDirectory)
            folders.push_back(&member);
        const TSearchConditions& conditions = filter.Conditions();
        if (walker.Found(path) || (isDirectory ? !conditions.TakeFolders : !conditions.TakeFiles))
            continue;
        TDirEntry entry;
        entry.Name = ExtractFileName(path);
        entry.Status = status;
        const std::string parent = ExcludeTrailingPathDelimiter(ExtractFilePath(path));
        TCtFileInfo record = CacheRecordOf(parent.empty() ? "/" : parent, entry);
        if (!filter.Name().Matches(entry.Name) || !filter.PassesLimits(isDirectory, record.Size, record.Modified))
            continue;
        std::vector<TGroupFileInfo> results(1);
        static_cast<TCtFileInfo&>(results[0]) = std::move(record);
        results[0].Item = member.Item;
        results[0].Resolved = true;
        origin.EntryPath = member.Path;
        origin.EntryItem = member.Item;
        walker.SetOrigin(origin);
        walker.Deliver(parent.empty() ? "/" : parent, std::move(results));
    }
    if (!filter.Conditions().Subfolders)
        return;
    for (const TShelfSnapshot::TMember* member : folders) {
        if (sink.Stopped())
            return;
        origin.EntryPath = member->Path;
        origin.EntryItem = member->Item;
        walker.SetOrigin(origin);
        walker.SearchDirectory(member->Path);
    }
}

TMediumSnapshot SnapshotMedium(const TMediaFolder& medium, int32_t index)
{
    TMediumSnapshot snapshot;
    snapshot.Name = medium.Name();
    snapshot.Index = index;
    snapshot.Directories.reserve(static_cast<size_t>(medium.DirectoryCount()));
    for (int d = 0; d < medium.DirectoryCount(); ++d) {
        TMediumSnapshot::TDirectory directory;
        directory.Path = medium.DirectoryPath(d);
        for (const TCtFileInfo* record : medium.DirectoryItems(d))
            directory.Records.push_back(*record);
        snapshot.Directories.push_back(std::move(directory));
    }
    return snapshot;
}

std::string MediumResultPath(const std::string& medium, std::string_view relative)
{
    while (!relative.empty() && relative.back() == '/')
        relative.remove_suffix(1);
    while (!relative.empty() && relative.front() == '/')
        relative.remove_prefix(1);
    return "media:" + medium + "//" + std::string(relative);
}

std::optional<std::pair<std::string, std::string>> SplitMediumResultPath(std::string_view text)
{
    constexpr std::string_view prefix = "media:";
    if (!text.starts_with(prefix))
        return std::nullopt;
    text.remove_prefix(prefix.size());
    const size_t split = text.find("//");
    if (split == std::string_view::npos || split == 0)
        return std::nullopt;
    return std::make_pair(std::string(text.substr(0, split)), std::string(text.substr(split + 2)));
}

void TMediumSource::Search(TSearchWalker& walker) const
{
    TSearchSink& sink = walker.Sink();
    const TSearchFilter& filter = walker.Filter();
    for (const TMediumSnapshot& medium : fMedia) {
        if (sink.Stopped())
            return;
        sink.Progress(medium.Name);
        TBatchOrigin origin;
        origin.Kind = TSearchTargetKind::tkMedium;
        origin.TargetName = medium.Name;
        origin.TargetIndex = medium.Index;
        walker.SetOrigin(origin);
        for (const TMediumSnapshot::TDirectory& directory : medium.Directories) {
            if (sink.Stopped())
                return;
            // Without sub-folders only the top of the medium is searched; a
            // folder whose own name the conditions refuse as hidden keeps
            // its contents out as well, as on the disk.
            if (!filter.Conditions().Subfolders && !directory.Path.empty())
                break;
            if (!filter.Conditions().TakeHidden && (directory.Path.starts_with('.') ||
                                                     directory.Path.find("/.") != std::string::npos))
                continue;
            std::vector<TGroupFileInfo> results;
            for (const TCtFileInfo& record : directory.Records) {
                std::string_view relative = record.Path;
                while (!relative.empty() && relative.back() == '/')
                    relative.remove_suffix(1);
                const std::string name = ExtractFileName(std::string(relative));
                if (!filter.Accepts(name, record.IsDirectory, record.Size, record.Modified))
                    continue;
                TGroupFileInfo result;
                static_cast<TCtFileInfo&>(result) = record;
                result.Path = MediumResultPath(medium.Name, relative);
                result.Resolved = true;
                results.push_back(std::move(result));
            }
            if (!results.empty())
                walker.Deliver(MediumResultPath(medium.Name, directory.Path), std::move(results));
        }
    }
}

std::shared_ptr<const TSearchSource> MediumSourceFor(const TMediaList& media, const TSearchTargetSpec& target)
{
    std::vector<TMediumSnapshot> snapshots;
    for (int i = 0; i < media.Count(); ++i) {
        const TMediaFolder* medium = media.Medium(i);
        if (target.Name.empty() || medium->Name() == target.Name)
            snapshots.push_back(SnapshotMedium(*medium, i));
    }
    if (snapshots.empty())
        return nullptr;
    return std::make_shared<TMediumSource>(std::move(snapshots));
}

std::vector<std::shared_ptr<const TSearchSource>> MakeSources(const std::vector<TSearchTargetSpec>& targets,
                                                              const TGroupList* shelves,
                                                              const TMediaSourceFunc& mediaSource)
{
    std::vector<std::shared_ptr<const TSearchSource>> sources;
    bool allShelves = false;
    for (const TSearchTargetSpec& target : targets) {
        if (!target.Enabled)
            continue;
        switch (target.Kind) {
        case TSearchTargetKind::tkFolder:
            if (!target.Name.empty() && DirectoryExists(target.Name))
                sources.push_back(std::make_shared<TFolderSource>(target.Name));
            break;
        case TSearchTargetKind::tkShelf: {
            if (!shelves || allShelves)
                break;
            std::vector<TShelfSnapshot> snapshots;
            if (target.Name.empty()) {
                allShelves = true;
                for (int i = 0; i < shelves->Count(); ++i)
                    snapshots.push_back(SnapshotShelf(*shelves->Group(i), i));
            } else if (const int index = shelves->IndexOfName(target.Name); index >= 0) {
                snapshots.push_back(SnapshotShelf(*shelves->Group(index), index));
            } else {
                break;
            }
            sources.push_back(std::make_shared<TShelfSource>(std::move(snapshots)));
            break;
        }
        case TSearchTargetKind::tkMedium:
            if (mediaSource) {
                if (std::shared_ptr<const TSearchSource> source = mediaSource(target))
                    sources.push_back(std::move(source));
            }
            break;
        }
    }
    return sources;
}

// ---- The run ----

namespace {

TSearchChange SearchChange(TSearchChangeKind kind, TChangePhase phase, int first = 0, int count = 0,
                           std::string_view text = {})
{
    TSearchChange change;
    change.Kind = kind;
    change.Phase = phase;
    change.First = first;
    change.Count = count;
    change.Text = text;
    return change;
}

}  // namespace

// What the thread works with: its own copies, or objects it shares by count.
struct TSearchFolder::TRun : std::enable_shared_from_this<TRun> {
    TSearchFilter Filter;
    std::vector<std::shared_ptr<const TSearchSource>> Sources;
    std::shared_ptr<TSearchCache> Cache;  // null without the cache
    TDispatcher* Dispatcher = nullptr;
    std::weak_ptr<TSearchFolder*> Folder;
    uint64_t Generation = 0;
    bool TrackFound = false;  // shelves are among the targets
    std::atomic<bool> Stop{false};

    // What waits for the user-interface thread. The thread adds to it and
    // posts one task to empty it; while that task is pending, later batches
    // join the same delivery, so a fast search does not flood the event
    // loop with a task per directory.
    std::mutex OutboxMutex;  // guards the four fields below; taken alone
    std::vector<TSearchBatch> Outbox;
    std::string Progress;
    bool DrainPosted = false;
    std::optional<std::string> Ended;  // the search ended, with its error or ""

    explicit TRun(TSearchConditions conditions) : Filter(std::move(conditions)) {}

    // Search thread. Queues what changed and posts the task that takes it,
    // unless one is pending or one was posted less than DrainInterval ago:
    // then what is queued waits for the next change after the interval, and
    // every directory searched is one (its progress), so nothing waits long.
    // The end is posted at once.
    static constexpr std::chrono::milliseconds DrainInterval{40};
    std::chrono::steady_clock::time_point LastPost{};  // search thread only

    template <typename Change>
    void Queue(Change change, bool urgent = false)
    {
        const auto now = std::chrono::steady_clock::now();
        bool post = false;
        {
            std::lock_guard<std::mutex> lock(OutboxMutex);
            change();
            post = !DrainPosted && (urgent || now - LastPost >= DrainInterval);
            if (post)
                DrainPosted = true;
        }
        if (!post)
            return;
        LastPost = now;
        Dispatcher->Post([run = shared_from_this()] {
            const std::shared_ptr<TSearchFolder*> alive = run->Folder.lock();
            if (alive && (*alive)->fGeneration == run->Generation)
                (*alive)->Drain(*run);
        });
    }
};

class TSearchFolder::TRunSink : public TSearchSink {
public:
    explicit TRunSink(TRun& run) : fRun(run) {}
    bool Stopped() const override { return fRun.Stop.load(std::memory_order_relaxed); }
    void Progress(const std::string& text) override
    {
        fRun.Queue([&] { fRun.Progress = text; });
    }
    void Deliver(TSearchBatch batch) override
    {
        fRun.Queue([&] { fRun.Outbox.push_back(std::move(batch)); });
    }

private:
    TRun& fRun;
};

void TSearchFolder::Drain(TRun& run)
{
    std::vector<TSearchBatch> batches;
    std::string progress;
    std::optional<std::string> ended;
    {
        std::lock_guard<std::mutex> lock(run.OutboxMutex);
        batches.swap(run.Outbox);
        progress.swap(run.Progress);
        ended = run.Ended;
        run.DrainPosted = false;
    }
    for (TSearchBatch& batch : batches)
        AddResults(std::move(batch));
    if (!progress.empty() && !ended) {
        fProgress = std::move(progress);
        Notify(SearchChange(TSearchChangeKind::scProgress, TChangePhase::cpAfter, 0, 0, fProgress));
    }
    if (ended)
        Finished(run.Generation, *ended);
}

TSearchFolder::TSearchFolder(TDispatcher& dispatcher, TGroupList* shelves)
    : TSearchFolder(nullptr, Tx("検索結果"), dispatcher, shelves)
{
}

TSearchFolder::TSearchFolder(TCustomFolderList* owner, std::string name, TDispatcher& dispatcher, TGroupList* shelves)
    : TGroupFolder(owner, std::move(name), TAnyOwner()),
      fDispatcher(dispatcher),
      fShelves(shelves),
      fAlive(std::make_shared<TSearchFolder*>(this))
{
    if (fShelves)
        fShelves->RegisterObserver(this);
}

TSearchFolder::~TSearchFolder()
{
    StopSearch();
    fAlive.reset();
    if (fShelves)
        fShelves->UnregisterObserver(this);
}

void TSearchFolder::Notify(const TSearchChange& change)
{
    fObservers.Notify([&](TSearchObserver& observer) { observer.SearchChanged(*this, change); });
}

void TSearchFolder::SetCacheEnabled(bool enabled)
{
    if (enabled == CacheEnabled())
        return;
    // A running search keeps the cache it started with.
    fCache = enabled ? std::make_shared<TSearchCache>() : nullptr;
    Notify(SearchChange(TSearchChangeKind::scCache, TChangePhase::cpAfter));
}

void TSearchFolder::ClearCache()
{
    if (!fCache)
        return;
    // A fresh object: a running search fills the one it started with.
    fCache = std::make_shared<TSearchCache>();
    Notify(SearchChange(TSearchChangeKind::scCache, TChangePhase::cpAfter));
}

bool TSearchFolder::StartSearch()
{
    Clear();
    auto sources = MakeSources(fTargetSpecs, fShelves, MediaSource);
    if (sources.empty())
        return false;
    auto run = std::make_shared<TRun>(fConditions);
    run->TrackFound = std::any_of(fTargetSpecs.begin(), fTargetSpecs.end(), [](const TSearchTargetSpec& t) {
        return t.Enabled && t.Kind != TSearchTargetKind::tkFolder;
    });
    run->Sources = std::move(sources);
    run->Cache = fCache;
    if (run->Cache && run->Cache->Count() == 0)
        run->Cache->SetMade(Now());
    run->Dispatcher = &fDispatcher;
    run->Folder = fAlive;
    run->Generation = ++fGeneration;
    fRun = run;
    fError.clear();
    Notify(SearchChange(TSearchChangeKind::scStarted, TChangePhase::cpAfter));
    fThread = std::thread([run] {
        LowerThreadPriority();
        std::string error;
        try {
            TRunSink sink(*run);
            TSearchWalker walker(run->Filter, run->Cache.get(), sink, run->TrackFound);
            for (const auto& source : run->Sources) {
                if (sink.Stopped())
                    break;
                source->Search(walker);
            }
        } catch (const std::exception& e) {
            error = e.what();
        } catch (...) {
            error = "search failed";
        }
        // Urgent, but posted only when no drain is pending: the pending one
        // finds the end when it runs.
        run->Queue([&] { run->Ended = error; }, true);
    });
    return true;
}

void TSearchFolder::JoinThread()
{
    // The thread checks its stop flag between entries, so this wait is as
    // long as one directory entry takes to read at most.
    if (fThread.joinable())
        fThread.join();
    fRun.reset();
}

void TSearchFolder::StopSearch()
{
    if (!fThread.joinable())
        return;
    fRun->Stop = true;
    // What the stopped search still posts is for an old generation.
    ++fGeneration;
    JoinThread();
    Notify(SearchChange(TSearchChangeKind::scFinished, TChangePhase::cpAfter));
}

void TSearchFolder::Finished(uint64_t generation, const std::string& error)
{
    if (generation != fGeneration)
        return;
    JoinThread();
    fError = error;
    fProgress.clear();
    if (fCache)
        Notify(SearchChange(TSearchChangeKind::scCache, TChangePhase::cpAfter));
    SearchDone();
}

void TSearchFolder::SearchDone()
{
    Notify(SearchChange(TSearchChangeKind::scFinished, TChangePhase::cpAfter));
}

const TSearchTarget* TSearchFolder::TargetAt(int index) const
{
    return index >= 0 && index < TargetCount() ? &fTargetRecords[static_cast<size_t>(index)] : nullptr;
}

void TSearchFolder::AddResults(TSearchBatch batch)
{
    // A catalogue's folder is not on the disk while its medium is out: it
    // is known from the catalogue.
    const int parent =
        ParentIndexOf(batch.DirPath, batch.DirItem, batch.DirListed || batch.Kind == TSearchTargetKind::tkMedium);
    if (parent < 0)
        return;
    int targetIndex = -1;
    if (batch.Kind == TSearchTargetKind::tkMedium) {
        for (size_t i = 0; i < fTargetRecords.size(); ++i) {
            if (fTargetRecords[i].Kind == TSearchTargetKind::tkMedium && fTargetRecords[i].Index == batch.TargetIndex)
                targetIndex = static_cast<int>(i);
        }
        HasMediaResults = true;
    }
    if (targetIndex < 0) {
        TSearchTarget target;
        target.Kind = batch.Kind;
        target.Name = batch.TargetName;
        target.Index = batch.TargetIndex;
        target.Item = batch.EntryItem;
        target.BasePath = batch.Kind == TSearchTargetKind::tkShelf
                              ? IncludeTrailingPathDelimiter(ExtractFilePath(ExcludeTrailingPathDelimiter(batch.EntryPath)))
                              : IncludeTrailingPathDelimiter(batch.TargetPath);
        fTargetRecords.push_back(std::move(target));
        targetIndex = TargetCount() - 1;
    }
    const int first = Count();
    // The walker reports each path once (with shelves among the targets it
    // remembers every path it found), so no look-up is needed here.
    for (TGroupFileInfo& record : batch.Records) {
        record.ParentIndex = parent;
        record.TargetIndex = targetIndex;
        record.Resolved = true;
        std::string key = record.Path;
        AddRecord(std::move(key), std::make_unique<TGroupFileInfo>(std::move(record)));
    }
    if (TShellFolder* node = ParentNode(parent))
        node->TargetIndex = targetIndex;
    if (Count() > first)
        Notify(SearchChange(TSearchChangeKind::scFound, TChangePhase::cpAfter, first, Count() - first));
}

void TSearchFolder::Clear()
{
    StopSearch();
    Notify(SearchChange(TSearchChangeKind::scReset, TChangePhase::cpBefore));
    TGroupFolder::Clear();
    fTargetRecords.clear();
    HasMediaResults = false;
    Notify(SearchChange(TSearchChangeKind::scReset, TChangePhase::cpAfter));
}

void TSearchFolder::RemoveTargets(const std::function<bool(const TSearchTarget&)>& pick)
{
    std::vector<int> renumber(fTargetRecords.size(), -1);
    std::vector<TSearchTarget> kept;
    for (size_t i = 0; i < fTargetRecords.size(); ++i) {
        if (!pick(fTargetRecords[i])) {
            renumber[i] = static_cast<int>(kept.size());
            kept.push_back(std::move(fTargetRecords[i]));
        }
    }
    if (kept.size() == fTargetRecords.size()) {
        fTargetRecords = std::move(kept);
        return;
    }
    Notify(SearchChange(TSearchChangeKind::scReset, TChangePhase::cpBefore));
    // Rebuilt in one pass: extracting members one by one would move the rest
    // of the list each time.
    std::vector<std::pair<std::string, std::unique_ptr<TGroupFileInfo>>> results;
    for (int i = Count() - 1; i >= 0; --i) {
        std::string key = Key(i);
        results.emplace_back(std::move(key), ExtractRecord(i));
    }
    for (auto it = results.rbegin(); it != results.rend(); ++it) {
        const int target = it->second->TargetIndex;
        const int moved = target >= 0 && target < static_cast<int>(renumber.size()) ? renumber[static_cast<size_t>(target)] : -1;
        if (target >= 0 && moved < 0)
            continue;
        it->second->TargetIndex = moved;
        AddRecord(std::move(it->first), std::move(it->second));
    }
    fTargetRecords = std::move(kept);
    Notify(SearchChange(TSearchChangeKind::scReset, TChangePhase::cpAfter));
}

void TSearchFolder::ShelfDeleted(int index)
{
    RemoveTargets([index](const TSearchTarget& t) { return t.Kind == TSearchTargetKind::tkShelf && t.Index == index; });
    for (TSearchTarget& target : fTargetRecords) {
        if (target.Kind == TSearchTargetKind::tkShelf && target.Index > index)
            --target.Index;
    }
}

void TSearchFolder::ShelfRenamed(int index)
{
    const TGroupFolder* shelf = fShelves ? fShelves->Group(index) : nullptr;
    if (!shelf)
        return;
    for (TSearchTarget& target : fTargetRecords) {
        if (target.Kind == TSearchTargetKind::tkShelf && target.Index == index)
            target.Name = shelf->Name();
    }
}

void TSearchFolder::ShelvesReordered()
{
    if (!fShelves)
        return;
    for (TSearchTarget& target : fTargetRecords) {
        if (target.Kind == TSearchTargetKind::tkShelf)
            target.Index = fShelves->IndexOfName(target.Name);
    }
}

void TSearchFolder::ShelfItemDeleted(int shelfIndex, const TItemIdList& item)
{
    RemoveTargets([&](const TSearchTarget& t) {
        return t.Kind == TSearchTargetKind::tkShelf && t.Index == shelfIndex && t.Item == item;
    });
}

void TSearchFolder::FolderListChanged(TCustomFolderList&, const TListChange& change)
{
    switch (change.Kind) {
    case TListChangeKind::lcDelete:
        if (change.Phase == TChangePhase::cpBefore)
            ShelfDeleted(change.Index);
        break;
    case TListChangeKind::lcProperties:
        ShelfRenamed(change.Index);
        break;
    case TListChangeKind::lcMove:
    case TListChangeKind::lcMoveArray:
    case TListChangeKind::lcSort:
        if (change.Phase == TChangePhase::cpAfter)
            ShelvesReordered();
        break;
    case TListChangeKind::lcDeleteItem:
        if (change.Item)
            ShelfItemDeleted(change.Index, *change.Item);
        break;
    default:
        break;
    }
}
