#include "viewer/Cache.h"

#include <algorithm>

#include "platform/Threads.h"

namespace {

constexpr int64_t MegaByte = 1048576;

TCacheDirection Other(TCacheDirection d)
{
    return d == TCacheDirection::cdAhead ? TCacheDirection::cdBehind : TCacheDirection::cdAhead;
}

int StepOf(TCacheDirection d)
{
    return d == TCacheDirection::cdAhead ? 1 : -1;
}

}  // namespace

TImageCacheThread::TImageCacheThread(TCacheSetup setup, std::shared_ptr<TCacheDecoder> decoder,
                                     TDispatcher* dispatcher, TPrefetchListener listener)
    : fItems(std::move(setup.Items)),
      fOrder(std::move(setup.RandomOrder)),
      fOptions(setup.Options),
      fLoop(setup.Loop),
      fMedia(setup.Media),
      fByteLimit(setup.Options.FileCache ? std::clamp(setup.Options.FileCacheSize, 0, 256) * MegaByte : 0),
      fDecoder(std::move(decoder)),
      fDispatcher(dispatcher),
      fListener(std::move(listener)),
      fTravelBackward(setup.TravelBackward),
      fAuto(setup.ViewMode == TViewMode::vmAuto),
      fSingle(setup.ViewMode == TViewMode::vmSingle)
{
    // The thread is not running yet: no lock needed.
    SetLimits();
    RecomputeFull(fAhead);
    RecomputeFull(fBehind);
    fFileStageDone = fByteLimit == 0;
    SetShown(setup.Shown);
    // Created paused: nothing is prefetched until the first picture is shown.
    fPaused = true;
    if (fDecoder)
        fThread = std::thread([this] { Run(); });
    else
        fEnded = true;
}

TImageCacheThread::~TImageCacheThread()
{
    Stop();
}

void TImageCacheThread::Stop()
{
    {
        std::lock_guard lock(fMutex);
        fTerminate = true;
        fWake.notify_all();
        fReady.notify_all();
    }
    if (fThread.joinable() && fThread.get_id() != std::this_thread::get_id())
        fThread.join();
}

bool TImageCacheThread::Ended() const
{
    std::lock_guard lock(fMutex);
    return fEnded;
}

// --- Positions ----------------------------------------------------------------

int TImageCacheThread::PositionCount() const
{
    return static_cast<int>(fOrder.empty() ? fItems.size() : fOrder.size());
}

int TImageCacheThread::Wrap(int position) const
{
    const int n = PositionCount();
    if (n <= 0)
        return -1;
    if (position >= 0 && position < n)
        return position;
    if (!fLoop)
        return -1;
    return (position % n + n) % n;
}

int TImageCacheThread::Resolve(int position) const
{
    if (position < 0 || position >= PositionCount())
        return -1;
    const int index = fOrder.empty() ? position : fOrder[static_cast<size_t>(position)];
    return (index >= 0 && index < static_cast<int>(fItems.size())) ? index : -1;
}

int TImageCacheThread::NextPosition(TCacheDirection d) const
{
    const TQueue& q = Queue(d);
    const int base = q.Items.empty() ? q.Edge : q.Items.back().Position;
    if (base < 0)
        return -1;
    const int position = Wrap(base + StepOf(d));
    // A short list wrapping round onto the shown pages has nothing more.
    if (position < 0 || position == fShown.Primary || position == fShown.Partner)
        return -1;
    return position;
}

// --- Queue bookkeeping ----------------------------------------------------------

int TImageCacheThread::WeightOf(const TImageSlot& slot) const
{
    // In automatic mode a landscape picture is always shown alone, so it
    // takes the place of a pair.
    return (fAuto && slot.Bitmap && slot.Width() >= slot.Height()) ? 2 : 1;
}

void TImageCacheThread::SetLimits()
{
    const int factor = fSingle ? 1 : 2;
    fAhead.Limit = fOptions.ImageCache ? std::clamp(fOptions.NextCount, 0, 20) * factor : 0;
    fBehind.Limit = fOptions.ImageCache ? std::clamp(fOptions.PriorCount, 0, 20) * factor : 0;
}

void TImageCacheThread::RecomputeFull(TQueue& q)
{
    // A picture that could not be decoded stops its queue.
    const bool stopped = !q.Items.empty() && !fDecoded.at(q.Items.back().Index).Slot.HasBitmap();
    q.Full = q.Count >= q.Limit || stopped;
}

void TImageCacheThread::AddReference(TQueue& q, int position, int index, bool atHead)
{
    TEntry& entry = fDecoded.at(index);
    ++entry.References;
    q.Count += entry.Weight;
    if (atHead)
        q.Items.insert(q.Items.begin(), TQueued{position, index});
    else
        q.Items.push_back(TQueued{position, index});
}

void TImageCacheThread::DropReference(int index)
{
    auto it = fDecoded.find(index);
    if (it != fDecoded.end() && --it->second.References <= 0)
        fDecoded.erase(it);
}

void TImageCacheThread::ForgetIndex(TQueue& q, int index)
{
    const int weight = fDecoded.at(index).Weight;
    const auto removed = std::remove_if(q.Items.begin(), q.Items.end(), [&](const TQueued& item) {
        if (item.Index != index)
            return false;
        q.Count -= weight;
        return true;
    });
    q.Items.erase(removed, q.Items.end());
    if (q.Items.empty())
        q.Count = 0;
}

void TImageCacheThread::TrimLocked(TQueue& q)
{
    q.Trim = false;
    while (q.Count > q.Limit && !q.Items.empty()) {
        const TQueued tail = q.Items.back();
        q.Items.pop_back();
        q.Count -= fDecoded.at(tail.Index).Weight;
        DropReference(tail.Index);
    }
    if (q.Items.empty())
        q.Count = 0;
    RecomputeFull(q);
}

void TImageCacheThread::FlushQueue(TQueue& q)
{
    for (const TQueued& item : q.Items)
        DropReference(item.Index);
    q.Items.clear();
    q.Count = 0;
    RecomputeFull(q);
}

void TImageCacheThread::CutToPrefix(TQueue& q, const std::vector<int>& positions)
{
    size_t keep = 0;
    while (keep < q.Items.size() && keep < positions.size() && q.Items[keep].Position == positions[keep])
        ++keep;
    if (keep == q.Items.size() || keep >= positions.size())
        return;
    while (q.Items.size() > keep) {
        const TQueued tail = q.Items.back();
        q.Items.pop_back();
        q.Count -= fDecoded.at(tail.Index).Weight;
        DropReference(tail.Index);
    }
    if (q.Items.empty())
        q.Count = 0;
    RecomputeFull(q);
}

bool TImageCacheThread::HeadsReadyLocked(const TQueue& q, const std::vector<int>& positions) const
{
    if (q.Items.size() < positions.size())
        return false;
    for (size_t k = 0; k < positions.size(); ++k)
        if (q.Items[k].Position != positions[k])
            return false;
    return true;
}

void TImageCacheThread::AnswerWaiting(TQueue& q)
{
    if (q.Waiting >= 0) {
        q.Waiting = -1;
        fReady.notify_all();
    }
}

void TImageCacheThread::FlushFiles()
{
    fFiles.clear();
    fFileBytes = 0;
    // The file stage starts afresh on the new side.
    fFileStageDone = fByteLimit == 0;
}

void TImageCacheThread::Touch()
{
    fIdle = false;
    fWake.notify_all();
}

// --- User-interface thread ------------------------------------------------------

TImageSlot TImageCacheThread::TakeNext(TCacheDirection direction, int position, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(fMutex);
    TQueue& q = Queue(direction);
    if (fEnded || fTerminate || Resolve(position) < 0)
        return TImageSlot{};
    // A queue that does not start at the wanted position is out of step with
    // the view; it is refilled from there.
    if (!q.Items.empty() && q.Items.front().Position != position)
        FlushQueue(q);
    // Nothing more is prefetched until the next picture is shown; while the
    // view waits, the thread serves only its request.
    fPaused = true;
    if (q.Items.empty()) {
        // Still inside the step an earlier wait gave up on: waiting would
        // only add to it.
        if (fStalledStep == fStep)
            return TImageSlot{};
        q.Waiting = position;
        Touch();
        if (!fReady.wait_for(lock, timeout, [&] { return fEnded || q.Waiting != position; })) {
            q.Waiting = -1;
            fStalledStep = fStep;
        }
    }
    if (q.Items.empty() || q.Items.front().Position != position)
        return TImageSlot{};

    const TQueued head = q.Items.front();
    q.Edge = head.Position;
    TImageSlot result = std::move(fDecoded.at(head.Index).Slot);
    // The picture now belongs to the caller: every reference to it, in
    // either queue, goes, not only the head.
    ForgetIndex(q, head.Index);
    ForgetIndex(Queue(Other(direction)), head.Index);
    fDecoded.erase(head.Index);
    RecomputeFull(q);
    RecomputeFull(Queue(Other(direction)));
    return result;
}

bool TImageCacheThread::HeadsReady(TCacheDirection direction, const std::vector<int>& positions) const
{
    std::lock_guard lock(fMutex);
    return HeadsReadyLocked(Queue(direction), positions);
}

bool TImageCacheThread::AwaitHeads(TCacheDirection direction, const std::vector<int>& positions,
                                   std::chrono::milliseconds timeout, const std::atomic<bool>& cancel)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // The cancel flag is not tied to this object's condition: the wait looks
    // at it every few milliseconds.
    constexpr std::chrono::milliseconds slice{5};
    std::unique_lock lock(fMutex);
    TQueue& q = Queue(direction);
    int asked = -1;
    // A wait given up withdraws its request, so that the thread drops the
    // picture when it arrives instead of queueing it for nobody.
    auto giveUp = [&] {
        if (asked >= 0 && q.Waiting == asked)
            q.Waiting = -1;
        return false;
    };
    for (;;) {
        if (fEnded || fTerminate || cancel.load())
            return giveUp();
        for (const int position : positions)
            if (Resolve(position) < 0)
                return giveUp();
        CutToPrefix(q, positions);
        if (HeadsReadyLocked(q, positions))
            return true;
        // The first position the queue lacks is asked for, as TakeNext asks
        // for its one; the thread serves it before anything else.
        const int missing = positions[q.Items.size()];
        if (q.Waiting != missing) {
            q.Waiting = missing;
            Touch();
        }
        asked = missing;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return giveUp();
        fReady.wait_for(lock, std::min<std::chrono::steady_clock::duration>(slice, deadline - now));
    }
}

void TImageCacheThread::Retarget(const TCacheShown& shown)
{
    std::lock_guard lock(fMutex);
    FlushQueue(fAhead);
    FlushQueue(fBehind);
    fAhead.Waiting = -1;
    fBehind.Waiting = -1;
    FlushFiles();
    SetShown(shown);
    fPaused = true;
    Touch();
}

void TImageCacheThread::GiveBack(TCacheDirection direction, int position, TImageSlot slot, bool trim)
{
    if (slot.Index < 0 || slot.Index >= static_cast<int>(fItems.size()))
        return;
    std::lock_guard lock(fMutex);
    if (fTerminate || position < 0 || position >= PositionCount())
        return;
    TQueue& q = Queue(direction);
    const int index = slot.Index;
    if (fDecoded.find(index) == fDecoded.end()) {
        TEntry entry;
        entry.Weight = WeightOf(slot);
        entry.Slot = std::move(slot);
        fDecoded.emplace(index, std::move(entry));
    }
    // Otherwise the copy held already stays and the given one is dropped.
    AddReference(q, position, index, true);
    RecomputeFull(q);
    // A give-back without trimming never cancels a trim still pending
    // (after a change of view mode, say).
    q.Trim = q.Trim || trim;
    Touch();
}

void TImageCacheThread::SetShown(const TCacheShown& shown)
{
    fShown = shown;
    // The far page of the pair on each side: an empty queue continues
    // beyond it.
    const int primary = shown.Primary;
    const int partner = shown.Partner >= 0 ? shown.Partner : shown.Primary;
    fAhead.Edge = fTravelBackward ? primary : partner;
    fBehind.Edge = fTravelBackward ? partner : primary;
}

void TImageCacheThread::Resume(const TCacheShown& shown)
{
    std::lock_guard lock(fMutex);
    SetShown(shown);
    fPaused = false;
    Touch();
}

void TImageCacheThread::SetTravelDirection(bool backward)
{
    std::lock_guard lock(fMutex);
    if (backward == fTravelBackward)
        return;
    fTravelBackward = backward;
    fFlushFiles = true;
    Touch();
}

void TImageCacheThread::RecountLimits(TViewMode mode)
{
    std::lock_guard lock(fMutex);
    fAuto = mode == TViewMode::vmAuto;
    fSingle = mode == TViewMode::vmSingle;
    SetLimits();
    for (auto& [index, entry] : fDecoded)
        entry.Weight = WeightOf(entry.Slot);
    for (TQueue* q : {&fAhead, &fBehind}) {
        q->Count = 0;
        for (const TQueued& item : q->Items)
            q->Count += fDecoded.at(item.Index).Weight;
        RecomputeFull(*q);
        q->Trim = q->Count > q->Limit;
    }
    Touch();
}

void TImageCacheThread::SetPrescaleTargets(std::vector<TPrescaleTarget> targets)
{
    std::lock_guard lock(fMutex);
    if (targets == fTargets)
        return;
    fTargets = std::move(targets);
    Touch();
}

TCacheSnapshot TImageCacheThread::Snapshot() const
{
    std::lock_guard lock(fMutex);
    TCacheSnapshot s;
    auto fill = [](const TQueue& q, TCacheQueueState& out) {
        for (const TQueued& item : q.Items) {
            out.Indexes.push_back(item.Index);
            out.Positions.push_back(item.Position);
        }
        out.Count = q.Count;
        out.Limit = q.Limit;
        out.Full = q.Full;
    };
    fill(fAhead, s.Ahead);
    fill(fBehind, s.Behind);
    for (const auto& [index, entry] : fDecoded)
        s.DecodedIndexes.push_back(index);
    for (const TFileRecord& record : fFiles)
        s.FileIndexes.push_back(record.Index);
    s.FileBytes = fFileBytes;
    s.Paused = fPaused;
    s.Idle = fIdle;
    s.Ended = fEnded;
    return s;
}

bool TImageCacheThread::WaitIdle(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(fMutex);
    return fReady.wait_for(lock, timeout, [&] { return fIdle || fEnded; });
}

// --- Cache thread ---------------------------------------------------------------

void TImageCacheThread::Run()
{
    LowerThreadPriority();
    std::unique_lock lock(fMutex);
    try {
        RunLoop(lock);
    } catch (...) {
        // Failures of single pictures are caught where they happen; anything
        // else ends the thread, and a waiting TakeNext returns empty.
        if (!lock.owns_lock())
            lock.lock();
    }
    fEnded = true;
    fIdle = true;
    fReady.notify_all();
}

bool TImageCacheThread::IdleLocked() const
{
    if (fAhead.Waiting >= 0 || fBehind.Waiting >= 0 || fAhead.Trim || fBehind.Trim || fFlushFiles)
        return false;
    return fPaused || (fAhead.Full && fBehind.Full && fFileStageDone && NextToPrescale() < 0);
}

const TPrescaleTarget* TImageCacheThread::PendingTarget(const TImageSlot& slot) const
{
    if (!slot.HasBitmap())
        return nullptr;
    for (const TPrescaleTarget& target : fTargets) {
        if (target.SourceWidth != slot.Width() || target.SourceHeight != slot.Height())
            continue;
        // Made already, or tried: a failure is not tried again at that size.
        if (slot.ScaledWidth == target.DisplayWidth && slot.ScaledHeight == target.DisplayHeight &&
            slot.ScaledStretch == target.Stretch)
            return nullptr;
        return &target;
    }
    return nullptr;
}

int TImageCacheThread::NextToPrescale() const
{
    if (fTargets.empty())
        return -1;
    const TCacheDirection first = TravelDirection();
    for (const TCacheDirection d : {first, Other(first)}) {
        for (const TQueued& item : Queue(d).Items) {
            const auto it = fDecoded.find(item.Index);
            if (it != fDecoded.end() && PendingTarget(it->second.Slot))
                return item.Index;
        }
    }
    return -1;
}

void TImageCacheThread::PrescaleStage(int index, std::unique_lock<std::mutex>& lock)
{
    const TImageSlot& queued = fDecoded.at(index).Slot;
    const TPrescaleTarget target = *PendingTarget(queued);
    const std::shared_ptr<TBitmap> picture = queued.Bitmap;
    const bool gray = queued.Gray;
    // The picture is only read, here and by the view once it is taken.
    lock.unlock();
    std::shared_ptr<TBitmap> scaled;
    try {
        scaled = fDecoder->Prescale(*picture, gray, target.DisplayWidth, target.DisplayHeight, target.Stretch);
    } catch (...) {
        scaled.reset();
    }
    lock.lock();
    // Taken or replaced meanwhile: the view scales it itself.
    const auto it = fDecoded.find(index);
    if (fTerminate || it == fDecoded.end() || it->second.Slot.Bitmap != picture)
        return;
    TImageSlot& slot = it->second.Slot;
    slot.Scaled = std::move(scaled);
    slot.ScaledWidth = target.DisplayWidth;
    slot.ScaledHeight = target.DisplayHeight;
    slot.ScaledStretch = target.Stretch;
}

void TImageCacheThread::RunLoop(std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        ++fStep;
        while (!fTerminate && IdleLocked()) {
            fIdle = true;
            fReady.notify_all();
            fWake.wait(lock);
        }
        fIdle = false;
        if (fTerminate)
            return;
        if (fFlushFiles) {
            FlushFiles();
            fFlushFiles = false;
        }
        if (fAhead.Trim)
            TrimLocked(fAhead);
        if (fBehind.Trim)
            TrimLocked(fBehind);

        // A waiting request comes first, then the queue in the travel
        // direction, then the other.
        const TCacheDirection first = TravelDirection();
        const TCacheDirection second = Other(first);
        if (Queue(first).Waiting >= 0) {
            Fetch(first, lock);
            continue;
        }
        if (Queue(second).Waiting >= 0) {
            Fetch(second, lock);
            continue;
        }
        if (!fPaused) {
            if (!Queue(first).Full) {
                Fetch(first, lock);
                continue;
            }
            if (!Queue(second).Full) {
                Fetch(second, lock);
                continue;
            }
            // The queued pictures scaled ahead to the shown pages' size.
            const int prescale = NextToPrescale();
            if (prescale >= 0) {
                PrescaleStage(prescale, lock);
                continue;
            }
        }
        // The list ended in both directions: there is nothing more to read.
        if (fAhead.Full && fBehind.Full && fAhead.Count < fAhead.Limit && fBehind.Count < fBehind.Limit)
            fPaused = true;
        if (fFileStageDone || fPaused)
            continue;
        FileStage(lock);
    }
}

void TImageCacheThread::Fetch(TCacheDirection d, std::unique_lock<std::mutex>& lock)
{
    TQueue& q = Queue(d);
    const int position = q.Waiting >= 0 ? q.Waiting : NextPosition(d);
    const int index = position >= 0 ? Resolve(position) : -1;
    if (index < 0) {
        // No such position: the end of the list in this direction.
        q.Full = true;
        AnswerWaiting(q);
        return;
    }
    if (fDecoded.count(index)) {
        // The other queue holds the picture already (a short list wrapping
        // round): it is shared, not decoded twice.
        AddReference(q, position, index, false);
        RecomputeFull(q);
        if (q.Waiting == position)
            AnswerWaiting(q);
        return;
    }

    // The bytes read ahead serve only the very position they were read for;
    // records that no longer follow the queue (after trimming or a request
    // elsewhere) would skip pages and are dropped.
    std::unique_ptr<TMemoryStream> bytes;
    bool fromFile = false;
    if (d == TravelDirection() && !fFiles.empty()) {
        if (fFiles.front().Position == position) {
            fromFile = true;
            bytes = std::move(fFiles.front().Stream);
            if (bytes)
                fFileBytes -= bytes->Size();
            fFiles.erase(fFiles.begin());
            fFileStageDone = false;
        } else {
            FlushFiles();
        }
    }

    const TCacheItem item = fItems[static_cast<size_t>(index)];
    const bool requested = q.Waiting == position;
    lock.unlock();
    TImageSlot slot;
    try {
        if (!fMedia || fDecoder->IsOnline(item)) {
            if (!fromFile)
                slot = fDecoder->Decode(item);
            else if (bytes)
                slot = fDecoder->DecodeBytes(item, *bytes);
        }
    } catch (...) {
        slot = TImageSlot{};
    }
    slot.Index = index;
    bytes.reset();
    const bool decoded = slot.HasBitmap();
    lock.lock();
    if (fTerminate)
        return;

    // The view may have moved on while the picture was decoded: it is kept
    // only if it is still the one this queue wants next. A picture the view
    // gave up waiting for has been loaded by the view itself; kept, it would
    // sit at the head of the queue as the page already shown.
    const bool wanted = (requested || q.Waiting >= 0) ? q.Waiting == position : NextPosition(d) == position;
    if (!wanted)
        return;
    if (fDecoded.find(index) == fDecoded.end()) {
        TEntry entry;
        entry.Weight = WeightOf(slot);
        entry.Slot = std::move(slot);
        fDecoded.emplace(index, std::move(entry));
    }
    AddReference(q, position, index, false);
    RecomputeFull(q);
    if (q.Waiting == position)
        AnswerWaiting(q);

    if (fListener && fDispatcher) {
        lock.unlock();
        Notify(index, decoded);
        lock.lock();
    }
}

void TImageCacheThread::Notify(int index, bool decoded)
{
    TPrefetchListener listener = fListener;
    fDispatcher->Post([listener, index, decoded] { listener(index, decoded); });
}

void TImageCacheThread::FileStage(std::unique_lock<std::mutex>& lock)
{
    const TCacheDirection d = TravelDirection();
    auto nextToRead = [&] {
        if (fFiles.empty())
            return NextPosition(d);
        const int position = Wrap(fFiles.back().Position + StepOf(d));
        return (position == fShown.Primary || position == fShown.Partner) ? -1 : position;
    };
    const int position = nextToRead();
    const int index = position >= 0 ? Resolve(position) : -1;
    if (index < 0 || fDecoded.count(index)) {
        fFileStageDone = true;
        return;
    }
    const TCacheItem item = fItems[static_cast<size_t>(index)];
    const int64_t room = fByteLimit - fFileBytes;
    lock.unlock();
    auto stream = std::make_unique<TMemoryStream>();
    TReadResult result = TReadResult::rrEmpty;
    try {
        // An absent medium ends the file stage like the end of the list.
        if (!fMedia || fDecoder->IsOnline(item))
            result = fDecoder->ReadBytes(item, room, *stream);
    } catch (...) {
        result = TReadResult::rrFailed;
    }
    lock.lock();
    if (fTerminate || fFlushFiles || d != TravelDirection() || nextToRead() != position)
        return;  // the reading side changed meanwhile
    switch (result) {
    case TReadResult::rrRead:
        // Never more than the limit, even if the file grew after its size
        // was checked.
        if (stream->Size() > room) {
            fFileStageDone = true;
        } else {
            stream->SetPosition(0);
            fFileBytes += stream->Size();
            fFiles.push_back(TFileRecord{position, index, std::move(stream)});
        }
        break;
    case TReadResult::rrFailed:
        // Decoding it later yields no picture, as a direct load would.
        fFiles.push_back(TFileRecord{position, index, nullptr});
        break;
    case TReadResult::rrTooLarge:
    case TReadResult::rrEmpty:
        fFileStageDone = true;
        break;
    }
}
