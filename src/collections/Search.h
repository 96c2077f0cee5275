#pragma once

// Searches by name, size and date in folders and shelves (and, through the
// same source interface, media catalogues). TSearchFolder holds the results,
// which the file list shows like a folder; it starts the search thread, takes
// the batches it delivers on the user-interface thread and announces every
// change through TSearchObserver.
//
// The thread works on an immutable snapshot made when the search starts: the
// conditions, and one TSearchSource per target with everything it needs (a
// shelf's member paths, not the shelf). Every task it posts carries the
// search's generation, so a search that was stopped or replaced delivers
// nothing, and the folder joins its thread before it lets go of anything the
// thread uses.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "collections/GroupFolder.h"
#include "collections/MediaFolder.h"
#include "collections/SearchCache.h"
#include "collections/SearchConditions.h"
#include "collections/SearchWalker.h"
#include "common/ObserverList.h"
#include "base/Texts.h"

class TDispatcher;

// One kind of target, searched on the search thread from its own snapshot.
// A media catalogue target is one more implementation.
class TSearchSource {
public:
    virtual ~TSearchSource() = default;
    // On the search thread.
    virtual void Search(TSearchWalker& walker) const = 0;
};

class TFolderSource : public TSearchSource {
public:
    explicit TFolderSource(std::string path) : fPath(std::move(path)) {}
    void Search(TSearchWalker& walker) const override;

private:
    std::string fPath;
};

// The members of shelves as they were when the search began.
struct TShelfSnapshot {
    std::string Name;
    int32_t Index = -1;
    struct TMember {
        std::string Path;
        TItemIdList Item;
    };
    std::vector<TMember> Members;
};
TShelfSnapshot SnapshotShelf(const TGroupFolder& shelf, int32_t index);

// One shelf, or every shelf in list order.
class TShelfSource : public TSearchSource {
public:
    explicit TShelfSource(std::vector<TShelfSnapshot> shelves) : fShelves(std::move(shelves)) {}
    void Search(TSearchWalker& walker) const override;

private:
    void SearchShelf(TSearchWalker& walker, const TShelfSnapshot& shelf) const;
    std::vector<TShelfSnapshot> fShelves;
};

// A media catalogue's folders and records as they were when the search
// began, so the search thread never reads a catalogue the window may reload.
struct TMediumSnapshot {
    std::string Name;
    int32_t Index = -1;
    struct TDirectory {
        std::string Path;  // below the medium's root; "" for the top
        std::vector<TCtFileInfo> Records;
    };
    std::vector<TDirectory> Directories;  // sorted by path
};
TMediumSnapshot SnapshotMedium(const TMediaFolder& medium, int32_t index);

// The text that names a medium's entry in results: "media:NAME//PATH".
std::string MediumResultPath(const std::string& medium, std::string_view relative);
// The medium's name and the path below its root of such a text; nothing for
// any other text.
std::optional<std::pair<std::string, std::string>> SplitMediumResultPath(std::string_view text);

// Catalogues searched as if their folders were on the disk: the same
// conditions, sub-folders when asked for, results named by
// MediumResultPath.
class TMediumSource : public TSearchSource {
public:
    explicit TMediumSource(std::vector<TMediumSnapshot> media) : fMedia(std::move(media)) {}
    void Search(TSearchWalker& walker) const override;

private:
    std::vector<TMediumSnapshot> fMedia;
};

// A target as the search panel lists it.
struct TSearchTargetSpec {
    TSearchTargetKind Kind = TSearchTargetKind::tkFolder;
    std::string Name;  // the folder; the shelf or medium name, empty for all of them
    bool Enabled = true;
    bool operator==(const TSearchTargetSpec&) const = default;
};

// The sources for the enabled targets: folders that exist, shelves that do
// (an all-shelves target makes later single shelves redundant), and media
// through mediaSource. Targets that lead nowhere are left out.
// The media source of a target: one medium by name, or every one for an
// empty name; null when the list has no such medium.
std::shared_ptr<const TSearchSource> MediumSourceFor(const TMediaList& media, const TSearchTargetSpec& target);

using TMediaSourceFunc = std::function<std::shared_ptr<const TSearchSource>(const TSearchTargetSpec&)>;
std::vector<std::shared_ptr<const TSearchSource>> MakeSources(const std::vector<TSearchTargetSpec>& targets,
                                                              const TGroupList* shelves,
                                                              const TMediaSourceFunc& mediaSource);

enum class TSearchChangeKind : uint8_t {
    scStarted,   // a search began (after)
    scProgress,  // Text: the directory or target being searched (after)
    scFound,     // results First .. First + Count - 1 were appended (after)
    scReset,     // the results were cleared or some removed (before and after)
    scFinished,  // the search ended, stopped or not (after)
    scCache,     // the cache was filled, cleared, switched on or off (after)
};

struct TSearchChange {
    TSearchChangeKind Kind = TSearchChangeKind::scFound;
    TChangePhase Phase = TChangePhase::cpAfter;
    int First = 0;
    int Count = 0;
    std::string_view Text;
};

class TSearchFolder;

// User-interface thread; called before the changing call returns.
class TSearchObserver {
public:
    virtual ~TSearchObserver() = default;
    virtual void SearchChanged(TSearchFolder& folder, const TSearchChange& change) = 0;
};

class TSearchFolder : public TGroupFolder, private TFolderListObserver {
public:
    static constexpr std::string_view NoTargetText = "検索場所が無いか、削除されています  ";

    // The dispatcher runs the thread's tasks on the user-interface thread;
    // shelves may be null. Both must outlive the folder. The folder follows
    // the shelf list, so results of a shelf that is deleted go with it.
    TSearchFolder(TDispatcher& dispatcher, TGroupList* shelves);
    ~TSearchFolder() override;

    void RegisterObserver(TSearchObserver* observer) { fObservers.Register(observer); }
    void UnregisterObserver(TSearchObserver* observer) { fObservers.Unregister(observer); }

    void SetTargets(std::vector<TSearchTargetSpec> targets) { fTargetSpecs = std::move(targets); }
    const std::vector<TSearchTargetSpec>& Targets() const { return fTargetSpecs; }
    TMediaSourceFunc MediaSource;

    void SetConditions(TSearchConditions conditions) { fConditions = std::move(conditions); }
    const TSearchConditions& Conditions() const { return fConditions; }

    // The cache of directory listings; on: made empty when missing, off: freed.
    void SetCacheEnabled(bool enabled);
    bool CacheEnabled() const { return fCache != nullptr; }
    // Null while the cache is off.
    TSearchCache* Cache() const { return fCache.get(); }
    void ClearCache();
    int CacheCount() const { return fCache ? fCache->Count() : 0; }

    // Clears the results and starts the thread over the enabled targets.
    // False (nothing started) when no target leads anywhere: the window
    // shows NoTargetText.
    bool StartSearch();
    // Tells the thread to stop and waits for it; what it had not delivered
    // is dropped.
    void StopSearch();
    bool Searching() const { return fThread.joinable(); }
    const std::string& ProgressText() const { return fProgress; }
    // The error that ended the last search early; empty when none.
    const std::string& LastError() const { return fError; }

    // Where each batch came from.
    int TargetCount() const { return static_cast<int>(fTargetRecords.size()); }
    const TSearchTarget* TargetAt(int index) const;
    bool HasMediaResults = false;

    // A batch on the user-interface thread: results under their path, with
    // their parent folder node and target record. The thread never delivers
    // a path twice.
    void AddResults(TSearchBatch batch);
    // Stops a running search, frees the results and the target records.
    void Clear() override;

    // Keeping the results in step with the shelf list (also called by the
    // folder itself as it follows the list).
    void ShelfDeleted(int index);
    void ShelfRenamed(int index);
    void ShelvesReordered();
    void ShelfItemDeleted(int shelfIndex, const TItemIdList& item);

protected:
    // For folders that gather their members by searching and keep them in
    // a list of their own (categories).
    TSearchFolder(TCustomFolderList* owner, std::string name, TDispatcher& dispatcher, TGroupList* shelves);
    // The search ended by itself (not stopped): the thread is joined and the
    // error recorded. Announces scFinished; a folder that has more to do
    // before its members are complete announces it later itself.
    virtual void SearchDone();
    void Notify(const TSearchChange& change);
    TDispatcher& Dispatcher() const { return fDispatcher; }

private:
    struct TRun;
    class TRunSink;

    void FolderListChanged(TCustomFolderList& list, const TListChange& change) override;
    // Takes what the thread queued: results, progress, its end.
    void Drain(TRun& run);
    void Finished(uint64_t generation, const std::string& error);
    void JoinThread();
    // Removes the target records the test picks and their results.
    void RemoveTargets(const std::function<bool(const TSearchTarget&)>& pick);

    TDispatcher& fDispatcher;
    TGroupList* fShelves;
    TObserverList<TSearchObserver> fObservers;
    std::vector<TSearchTargetSpec> fTargetSpecs;
    TSearchConditions fConditions;
    std::shared_ptr<TSearchCache> fCache;
    std::vector<TSearchTarget> fTargetRecords;
    std::string fProgress;
    std::string fError;

    std::thread fThread;
    std::shared_ptr<TRun> fRun;
    uint64_t fGeneration = 0;
    // Lets posted tasks find out whether the folder still exists: reset by
    // the destructor, on the user-interface thread where the tasks run.
    std::shared_ptr<TSearchFolder*> fAlive;
};
