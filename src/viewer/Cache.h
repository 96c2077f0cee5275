#pragma once

// The image cache: a background thread that keeps the pictures beside the
// shown page or pair decoded and prepared, in two queues (ahead: the next
// positions; behind: the previous ones), and beyond them the undecoded bytes
// of further files in memory (the file cache), so that turning a page waits
// neither for the decoder nor for the disk or an archive extraction. A step by
// one page or one pair takes its pictures from the head of a queue and gives
// the pictures it leaves to the head of the other; everything else the thread
// does on its own while the user reads.
//
// Positions are list indexes, or during random moves positions in the random
// order (the setup's RandomOrder), so that the queues follow whichever order
// the viewer moves in. The thread works on a snapshot of the image list and
// decodes through an injected TCacheDecoder (the same load, prepare, filter
// and rotate path as the shown pages), which it keeps alive while it runs.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/Dispatcher.h"
#include "base/Stream.h"
#include "viewer/ImageSlot.h"
#include "viewer/ViewOptions.h"

// One picture of the image list as the cache thread sees it.
struct TCacheItem {
    int Index = -1;         // position in the image list
    std::string Path;       // the file, or the member's folder and name inside the archive
    uint32_t Member = 0;    // the archive member's position, for extraction
    int64_t Size = -1;      // bytes when known beforehand (archive members); -1 otherwise
};

enum class TReadResult : uint8_t {
    rrRead,      // the bytes are in the stream
    rrTooLarge,  // the file is larger than allowed; nothing was read
    rrFailed,    // the file could not be read
    rrEmpty,     // the archive member extracted to nothing
};

// Decoding for the cache thread. Every method runs on the cache thread and
// never shows a message: a failure gives a slot without bitmap.
class TCacheDecoder {
public:
    virtual ~TCacheDecoder() = default;
    // Loads, prepares, filters and rotates the picture; the slot carries the
    // item's index, and no bitmap when it could not be decoded.
    virtual TImageSlot Decode(const TCacheItem& item) = 0;
    // The same from the file's bytes read ahead.
    virtual TImageSlot DecodeBytes(const TCacheItem& item, TMemoryStream& bytes) = 0;
    // Reads the file's (or member's) bytes into out, unless they are more
    // than maxBytes: the size is checked before anything is read.
    virtual TReadResult ReadBytes(const TCacheItem& item, int64_t maxBytes, TMemoryStream& out) = 0;
    // For lists that show media catalogues: whether the item's medium is
    // present. Must be safe to call on the cache thread.
    virtual bool IsOnline(const TCacheItem& item) { return true; }
    // The whole picture scaled to width x height with the "Stretch" method
    // stretch, as the view would scale it; null when this decoder does not
    // scale ahead or scaling failed.
    virtual std::shared_ptr<TBitmap> Prescale(const TBitmap& picture, bool gray, int width, int height, TStretchMode stretch)
    {
        return nullptr;
    }
};

// Pictures of SourceWidth x SourceHeight are expected to show at
// DisplayWidth x DisplayHeight: the cache scales them ahead.
struct TPrescaleTarget {
    int SourceWidth = 0;
    int SourceHeight = 0;
    int DisplayWidth = 0;
    int DisplayHeight = 0;
    TStretchMode Stretch = TStretchMode::smHalfTone;
    bool operator==(const TPrescaleTarget&) const = default;
};

enum class TCacheDirection : uint8_t { cdAhead, cdBehind };

// The shown pages as positions; Partner -1 when one page is shown.
struct TCacheShown {
    int Primary = -1;
    int Partner = -1;
};

// Everything the thread needs, copied when it is created.
struct TCacheSetup {
    TViewCacheOptions Options;
    TViewMode ViewMode = TViewMode::vmAuto;
    bool TravelBackward = false;
    bool Loop = true;                 // the end-of-list action is "loop": positions wrap
    std::vector<TCacheItem> Items;    // the image list
    std::vector<int> RandomOrder;     // empty outside random moves
    bool Media = false;               // items may lie on absent media
    TCacheShown Shown;
};

// What the queues hold; for tests and status displays.
struct TCacheQueueState {
    std::vector<int> Indexes;    // head first
    std::vector<int> Positions;  // head first
    int Count = 0;               // weighted
    int Limit = 0;
    bool Full = false;
};

struct TCacheSnapshot {
    TCacheQueueState Ahead;
    TCacheQueueState Behind;
    std::vector<int> DecodedIndexes;  // ascending
    std::vector<int> FileIndexes;     // the file cache, in reading order
    int64_t FileBytes = 0;
    bool Paused = false;
    bool Idle = false;
    bool Ended = false;
};

class TImageCacheThread {
public:
    // Called through the dispatcher after each picture the thread decoded
    // (index, whether it has a bitmap), on the dispatcher's thread.
    using TPrefetchListener = std::function<void(int index, bool decoded)>;

    // Starts the thread paused. dispatcher and listener may be null.
    TImageCacheThread(TCacheSetup setup, std::shared_ptr<TCacheDecoder> decoder, TDispatcher* dispatcher = nullptr,
                      TPrefetchListener listener = nullptr);
    ~TImageCacheThread();
    TImageCacheThread(const TImageCacheThread&) = delete;
    TImageCacheThread& operator=(const TImageCacheThread&) = delete;

    // Ends the thread after its current step and waits for it. Every entry
    // and file record is freed with the object.
    void Stop();

    // Takes the picture at position from the head of the queue of direction.
    // When the queue is empty the thread fetches that position at once and
    // the call waits for it, at most timeout; it also returns when the
    // thread has ended. A queue whose head is another position is out of
    // step with the view and is emptied first. The result has no index when
    // the thread found nothing or the wait gave up, and an index without
    // bitmap when the picture could not be decoded (the caller then loads it
    // itself, showing the loader's message). Afterwards the thread pauses
    // until Resume.
    //
    // A wait that gave up leaves the thread inside a step that takes too
    // long (a decoder stuck on a damaged file, a disk that does not answer):
    // until the thread is out of that step, an empty queue returns at once
    // instead of waiting again, so a stuck decoder costs one wait, not one
    // per page. The picture it was fetching, should it still arrive, is
    // dropped: the caller has loaded it itself.
    TImageSlot TakeNext(TCacheDirection direction, int position, std::chrono::milliseconds timeout);
    // Hands a picture no longer shown to the head of a queue. trim: the
    // queue drops pictures beyond its limit from its tail.
    void GiveBack(TCacheDirection direction, int position, TImageSlot slot, bool trim);
    // A picture is shown: the shown pages, and prefetching may go on.
    void Resume(const TCacheShown& shown);
    // The travel direction changed: the file cache lies on the old side and
    // is dropped.
    void SetTravelDirection(bool backward);
    // The view mode changed: limits and weights are computed again; queues
    // over their new limits are trimmed.
    void RecountLimits(TViewMode mode);
    // The sizes the shown pages are displayed at: decoded pictures of the
    // same size are scaled ahead to them, so that the next page turn only
    // copies. An empty list stops scaling ahead.
    void SetPrescaleTargets(std::vector<TPrescaleTarget> targets);

    // Whether TakeNext would hand over the pictures at positions, in this
    // order, from the queue of direction without waiting: the queue starts
    // with them. An empty list is ready.
    bool HeadsReady(TCacheDirection direction, const std::vector<int>& positions) const;
    // Waits on the calling thread (a step's worker, never the window's) until
    // the queue of direction starts with positions, asking the thread for
    // each missing one as TakeNext would; a queue out of step with them is
    // cut back first. False when timeout passed, cancel was set or the
    // thread ended. Nothing is taken: the window takes the pictures in its
    // step afterwards.
    bool AwaitHeads(TCacheDirection direction, const std::vector<int>& positions, std::chrono::milliseconds timeout,
                    const std::atomic<bool>& cancel);
    // The view jumps elsewhere: both queues and the file cache are dropped,
    // the edges are set beside shown, and nothing is prefetched until the
    // next Resume, so that the thread stops working for the old place at
    // once (a picture it is decoding now is dropped when it arrives).
    void Retarget(const TCacheShown& shown);

    TCacheSnapshot Snapshot() const;
    // Waits until the thread has nothing left to do (or has ended); false
    // after timeout.
    bool WaitIdle(std::chrono::milliseconds timeout) const;
    bool Ended() const;

private:
    struct TEntry {
        TImageSlot Slot;
        int References = 0;
        int Weight = 1;
    };
    struct TQueued {
        int Position;
        int Index;
    };
    struct TQueue {
        std::vector<TQueued> Items;  // head first
        int Count = 0;
        int Limit = 0;
        bool Full = false;
        bool Trim = false;
        int Edge = -1;       // the position next to an empty queue's head
        int Waiting = -1;    // the position the user-interface thread waits for; -1 none
    };
    struct TFileRecord {
        int Position;
        int Index;
        std::unique_ptr<TMemoryStream> Stream;  // null when reading failed
    };

    void Run();
    void RunLoop(std::unique_lock<std::mutex>& lock);
    bool IdleLocked() const;
    TQueue& Queue(TCacheDirection d) { return d == TCacheDirection::cdAhead ? fAhead : fBehind; }
    const TQueue& Queue(TCacheDirection d) const { return d == TCacheDirection::cdAhead ? fAhead : fBehind; }
    TCacheDirection TravelDirection() const
    {
        return fTravelBackward ? TCacheDirection::cdBehind : TCacheDirection::cdAhead;
    }
    int PositionCount() const;
    int Resolve(int position) const;  // the list index, or -1: no such position
    int Wrap(int position) const;     // -1 when outside the list and not looping
    int NextPosition(TCacheDirection d) const;
    int WeightOf(const TImageSlot& slot) const;
    void SetLimits();
    void RecomputeFull(TQueue& q);
    void AddReference(TQueue& q, int position, int index, bool atHead);
    void DropReference(int index);
    // Removes every place of index from q without touching its entry.
    void ForgetIndex(TQueue& q, int index);
    void TrimLocked(TQueue& q);
    void FlushQueue(TQueue& q);
    // Drops the queue's places from the first that is not positions[k].
    void CutToPrefix(TQueue& q, const std::vector<int>& positions);
    bool HeadsReadyLocked(const TQueue& q, const std::vector<int>& positions) const;
    void AnswerWaiting(TQueue& q);
    void FlushFiles();
    void Fetch(TCacheDirection d, std::unique_lock<std::mutex>& lock);
    void FileStage(std::unique_lock<std::mutex>& lock);
    // The target a decoded picture still needs scaling for, or null.
    const TPrescaleTarget* PendingTarget(const TImageSlot& slot) const;
    // The queued picture to scale ahead next (travel direction first), or -1.
    int NextToPrescale() const;
    void PrescaleStage(int index, std::unique_lock<std::mutex>& lock);
    void Notify(int index, bool decoded);
    void SetShown(const TCacheShown& shown);
    void Touch();  // the user-interface thread changed something

    // Fixed at creation.
    const std::vector<TCacheItem> fItems;
    const std::vector<int> fOrder;
    const TViewCacheOptions fOptions;
    const bool fLoop;
    const bool fMedia;
    const int64_t fByteLimit;
    std::shared_ptr<TCacheDecoder> fDecoder;
    TDispatcher* fDispatcher;
    TPrefetchListener fListener;

    // fMutex guards everything below: the decoded map, both queues, the file
    // records, the flags and the shown positions. Decoding and reading
    // happen outside it.
    mutable std::mutex fMutex;
    std::condition_variable fWake;          // the thread has something to do
    mutable std::condition_variable fReady; // a waited-for position arrived, or the thread became idle or ended
    std::map<int, TEntry> fDecoded;         // by list index
    TQueue fAhead;
    TQueue fBehind;
    std::vector<TFileRecord> fFiles;
    int64_t fFileBytes = 0;
    bool fFileStageDone = false;
    bool fFlushFiles = false;
    bool fPaused = true;
    bool fIdle = false;
    bool fTerminate = false;
    bool fEnded = false;
    // Counts the thread's steps (each turn of its loop), so that a wait
    // that gave up can tell whether the thread is still in the same step.
    uint64_t fStep = 0;
    uint64_t fStalledStep = UINT64_MAX;  // the step a wait gave up in; none when it is not fStep
    bool fTravelBackward;
    bool fAuto;
    bool fSingle;
    TCacheShown fShown;
    std::vector<TPrescaleTarget> fTargets;

    std::thread fThread;
};
