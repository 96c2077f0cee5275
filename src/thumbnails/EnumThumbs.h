#pragma once

// TEnumThumbsThread finds the thumbnails a thumbnail view asks for: it works
// through the view's queue, visible items first and the focused one before
// all, looks each item up in the thumbnail store, makes what is missing or no
// longer valid, and hands every result to the view's receiver on the
// user-interface thread. Folders and archives shown as items get the
// thumbnail of the first picture in them. When it is stopped it writes what
// changed back to the store under the user's save rule and settles the
// store's index.
//
// Items are independent, so the work runs on one worker per processor; the
// loading, scaling and encoding of different items overlap. The
// user-interface thread calls every public method; the workers never wait for
// it, they only post to its dispatcher.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/Init.h"
#include "base/Dispatcher.h"
#include "loading/AcvUnit.h"
#include "thumbnails/ThumbMaker.h"
#include "thumbnails/ThumbRequests.h"
#include "thumbnails/ThumbWork.h"

class TThumbnailList;

// What a batch run (saving or loading all thumbnails of a place) reports
// besides the results: the item it starts on, and an empty text once the
// queue is empty. Called on the user-interface thread through the dispatcher.
class TThumbProgress {
public:
    virtual ~TThumbProgress() = default;
    virtual void ThumbProgress(const std::string& text) = 0;
};

// How one item's thumbnail came about, counted for batch runs.
struct TThumbCounts {
    int Made = 0;
    int Reused = 0;
    int Failed = 0;
};

struct TEnumThumbsConfig {
    TThumbPlace Place;
    TThumbnailOptions Options;
    // The loader set the enumeration works with for its whole run, and the
    // program's temporary folder (ends with '/') that archives extract below.
    TLoaderSetPtr Loaders;
    std::string TempFolder;
    // Saving or loading all thumbnails of a place: no view, results are not
    // delivered, every thumbnail is saved whatever the save rule says.
    bool Batch = false;
    // Workers; 0: one per processor.
    unsigned Workers = 0;
    const THalfToneStretch* HalfTone = nullptr;  // outlives the thread; null: the fallback
};

class TEnumThumbsThread : public TThumbRequests {
public:
    // Starts the workers at once. list, dispatcher and receiver must outlive
    // the thread; progress may be null.
    TEnumThumbsThread(TThumbnailList& list, TEnumThumbsConfig config, TDispatcher& dispatcher,
                      TThumbReceiver& receiver, TThumbProgress* progress = nullptr);
    // Terminates, joins every worker, saves and settles the index.
    ~TEnumThumbsThread() override;
    TEnumThumbsThread(const TEnumThumbsThread&) = delete;
    TEnumThumbsThread& operator=(const TEnumThumbsThread&) = delete;

    void SetItems(std::vector<TEnumImageInfo> items) override;
    void SetQueue(std::optional<std::vector<int32_t>> ids) override;
    void SetPriority(int32_t id) override;

    // Stops taking items; the workers finish the items they hold. No
    // further result is delivered.
    void Terminate();
    // Terminate, then wait for every worker to end. Idempotent.
    void Stop();
    // Writes what changed so far as if the rule were "save all", without
    // stopping (a save the user asked for). Waits for the items in hand.
    bool SaveNow() override;
    // Every key within oldPath moves under newPath, in the store and in what
    // the thread holds; written when the thread saves.
    void Rename(const std::string& oldPath, const std::string& newPath);

    // True when the queue is empty and no worker holds an item, or the thread
    // ended (an archive that cannot be opened ends it).
    bool Idle() const override;
    bool Ended() const;
    TThumbCounts Counts() const;

private:
    struct TTaken {
        TEnumImageInfo Item;
        uint64_t Epoch = 0;
    };
    struct TFound {
        std::optional<TThumbnailRecord> Record;
        std::shared_ptr<const TBitmap> Picture;
        bool Made = false;
    };

    void Run();
    bool Prepare();
    std::optional<TTaken> Take();
    void Finish();
    void Process(const TTaken& taken);
    void Deliver(const TTaken& taken, TThumbnailResult result);
    void WaitForItemsInHand(std::unique_lock<std::mutex>& lock);

    TThumbStoreKind StoreKind(const TEnumImageInfo& item) const;
    std::string MediaKey(const TEnumImageInfo& item) const;
    // The algorithms by kind of item; each gives the record and, unless
    // only checking, its picture.
    TFound FileThumb(TThumbStoreKind kind, const std::string& key, const std::string& path, const std::string& name,
                     int64_t size, TDateTime time, bool readOnly);
    TFound FolderThumb(TThumbStoreKind kind, const TEnumImageInfo& item, const std::string& key, const std::string& name);
    TFound MemberThumb(const TArchiverPtr& archiver, const std::string& key, const TArchiveFileInfo& member,
                       bool readOnly);
    TFound ArchiveFileThumb(const std::string& path);
    TFound PlaceMemberThumb(const TEnumImageInfo& item);
    // Turns a stored record into a result: its picture decoded from its
    // bytes. A record whose bytes are damaged is removed; nullopt then.
    std::optional<TFound> FromStored(TThumbStoreKind kind, const std::string& key, TThumbnailRecord record);
    static TFound FromMade(TMadeThumbnail made, TThumbnailRecord record);
    bool Delivering() const { return !fConfig.Batch; }

    TThumbnailList& fList;
    const TEnumThumbsConfig fConfig;
    TDispatcher& fDispatcher;
    TThumbProgress* fProgress;
    TThumbMaker fMaker;
    TThumbWorkingSet fWork;
    // The results the user-interface thread may still accept: bumped by
    // SetItems and an emptied queue, read by the workers and by the posted
    // deliveries; shared with them so that a delivery posted before the
    // thread went away finds it gone.
    struct TGate {
        TThumbReceiver* Receiver = nullptr;
        TThumbProgress* Progress = nullptr;
        std::atomic<uint64_t> Epoch{1};
        std::atomic<bool> Open{true};
    };
    std::shared_ptr<TGate> fGate;

    // Guards every field below up to fWorkers.
    mutable std::mutex fQueueMutex;
    std::condition_variable fWake;     // an item, a priority or the end
    std::condition_variable fSettled;  // a worker put an item down
    std::vector<TEnumImageInfo> fItems;
    std::deque<int32_t> fQueue;
    int32_t fPriority = -1;
    int fInHand = 0;
    bool fTerminated = false;
    bool fEnded = false;
    bool fPrepared = false;
    bool fPreparing = false;
    TThumbCounts fCounts;
    // The place's archive in archive mode, opened by the first worker, and
    // its members in folder and name order.
    TArchiverPtr fArchiver;
    std::vector<const TArchiveFileInfo*> fMembers;
    std::vector<std::thread> fWorkers;
    bool fStopped = false;  // user-interface thread only
};

// The archive's members in the order their first picture is chosen by:
// by folder, then by name, without regard to case; folder records first.
std::vector<const TArchiveFileInfo*> SortedMembers(const TArchiver& archiver);

// What the window binds into a TThumbStarter: everything an enumeration
// needs besides the place and the receiver.
struct TEnumThumbsEnv {
    TThumbnailList* List = nullptr;
    TThumbnailOptions Options;
    TLoaderSetPtr Loaders;
    std::string TempFolder;
    TDispatcher* Dispatcher = nullptr;
    const THalfToneStretch* HalfTone = nullptr;
};

// Starts an enumeration of place for receiver; destroying the result stops
// it, waits for it, saves and settles the store. User-interface thread.
std::unique_ptr<TThumbRequests> StartEnumThumbs(const TEnumThumbsEnv& env, const TThumbPlace& place,
                                                TThumbReceiver& receiver);
