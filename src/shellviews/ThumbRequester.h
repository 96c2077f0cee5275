#pragma once

// What a thumbnail view has asked for and got: one state per item (the
// picture once it arrived, its source facts, and whether the thread has
// reported on it), and the requests to the thread while a place is shown as
// thumbnails. It hands the items over when a list is shown or changes,
// queues the visible items not yet done after a scroll or resize, gives the
// focused item priority, and never asks again for an item that is done,
// also when no picture could be made of it. Stopping destroys the requests
// (which stops the thread) and drops every picture. States follow the items
// by key across a re-sort, so a thumbnail once made stays with its item.
// User-interface thread only.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/ObserverList.h"
#include "thumbnails/ThumbRequests.h"

struct TThumbState {
    std::shared_ptr<const TBitmap> Picture;
    int32_t Bits = 0;
    int32_t SourceWidth = 0;
    int32_t SourceHeight = 0;
    bool FolderFlag = false;
    bool Done = false;  // the thread has reported on the item
};

class TThumbRequester;

enum class TThumbChangeKind : uint8_t {
    tcArrived,  // after: item Id got its state
    tcCleared,  // after: every item lost its picture (the requests stopped)
};

struct TThumbChange {
    TThumbChangeKind Kind = TThumbChangeKind::tcArrived;
    TChangePhase Phase = TChangePhase::cpAfter;
    int Id = -1;
};

class TThumbObserver {
public:
    virtual ~TThumbObserver() = default;
    virtual void ThumbsChanged(TThumbRequester& requester, const TThumbChange& change) = 0;
};

class TThumbRequester : public TThumbReceiver {
public:
    TThumbRequester() = default;
    ~TThumbRequester() override;
    TThumbRequester(const TThumbRequester&) = delete;
    TThumbRequester& operator=(const TThumbRequester&) = delete;

    void RegisterObserver(TThumbObserver* observer) { fObservers.Register(observer); }
    void UnregisterObserver(TThumbObserver* observer) { fObservers.Unregister(observer); }

    // Null: no thumbnails are made and every item shows its icon.
    void SetStarter(TThumbStarter starter) { fStarter = std::move(starter); }
    bool HasStarter() const { return static_cast<bool>(fStarter); }
    // THUMBNAIL AllThumbnail: every item not done is queued with the list.
    void SetAllThumbnail(bool on) { fAllThumbnail = on; }

    // Stops what runs and starts asking for place's items (keys name the
    // items, in the same order). False without a starter or when it gave
    // no requests.
    bool Start(const TThumbPlace& place, std::vector<TEnumImageInfo> items, std::vector<std::string> keys);
    // Destroys the requests and drops every item's picture; nothing when
    // nothing runs.
    void Stop();
    bool Running() const { return fRequests != nullptr; }
    // Nothing runs, or what runs has nothing left to do.
    bool Idle() const { return !fRequests || fRequests->Idle(); }
    // Writes the thumbnails found so far to the store; false when nothing runs.
    bool SaveNow() { return fRequests && fRequests->SaveNow(); }
    const TThumbPlace& Place() const { return fPlace; }

    // The list changed (a refresh, a re-sort, rows added or gone): the
    // items are handed over again and each keeps the state its key had.
    void SetItems(std::vector<TEnumImageInfo> items, std::vector<std::string> keys);
    // The items first .. last are in view: those not done are queued.
    void RequestVisible(int first, int last);
    // The focused item goes first when it is not done.
    void FocusChanged(int id);

    int Count() const { return static_cast<int>(fStates.size()); }
    // Null outside the items or while nothing runs.
    const TThumbState* State(int id) const;

    void ThumbnailArrived(const TThumbnailResult& result) override;

private:
    void QueueAllNotDone();

    TThumbStarter fStarter;
    bool fAllThumbnail = false;
    TThumbPlace fPlace;
    std::unique_ptr<TThumbRequests> fRequests;
    std::vector<TThumbState> fStates;
    std::vector<std::string> fKeys;
    TObserverList<TThumbObserver> fObservers;
};
