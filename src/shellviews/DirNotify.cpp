#include "shellviews/DirNotify.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "base/Dispatcher.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "platform/DirWatchQueue.h"
#include "platform/FileSystem.h"

namespace {

using TClock = std::chrono::steady_clock;

// The two halves of a rename are queued by one system call; a half read
// alone waits this long for the other before it counts as a removal.
constexpr auto PairGrace = std::chrono::milliseconds(50);
// How long stopping waits for the worker before leaving it to end alone.
constexpr auto StopLimit = std::chrono::seconds(3);

constexpr uint32_t NameBits = dwCreated | dwDeleted | dwMovedFrom | dwMovedTo;
constexpr uint32_t GoneBits = dwSelfDeleted | dwSelfMoved | dwUnmounted | dwIgnored;

bool IsFolderMode(const ChangeFilter& filter)
{
    return filter == ChangeFilter{ChangeFilterItem::cfDirName};
}

uint32_t BitsOfFilter(const ChangeFilter& filter, bool subtree)
{
    uint32_t bits = dwSelfDeleted | dwSelfMoved;
    // Folders created or moved inside a subtree must be watched in turn.
    if (subtree || filter.Has(ChangeFilterItem::cfFileName) || filter.Has(ChangeFilterItem::cfDirName))
        bits |= NameBits;
    if (filter.Has(ChangeFilterItem::cfAttributes) || filter.Has(ChangeFilterItem::cfCreation) ||
        filter.Has(ChangeFilterItem::cfSecurity))
        bits |= dwAttributes;
    if (filter.Has(ChangeFilterItem::cfSize) || filter.Has(ChangeFilterItem::cfLastWrite))
        bits |= dwModified;
    if (filter.Has(ChangeFilterItem::cfLastAccess))
        bits |= dwAccessed;
    return bits;
}

}  // namespace

struct TDirChangeNotifier::TState : std::enable_shared_from_this<TDirChangeNotifier::TState> {
    struct THandler;

    // One watch a view asked for.
    struct TSubscription {
        uint64_t Id = 0;
        THandler* Handler = nullptr;
        std::string Folder;  // with a trailing '/'
        ChangeFilter Filter;
        bool FolderMode = false;
        bool Subtree = false;
        uint32_t Bits = 0;
        int RootWatch = -1;
        std::map<std::string, int> SubFolders;  // folders below (with '/') -> their system watch
    };

    // One use of a system watch: which subscription sees the folder, under
    // which path.
    struct TLink {
        TSubscription* Subscription = nullptr;
        std::string Folder;  // with a trailing '/'
        bool Root = false;
        bool operator==(const TLink&) const = default;
    };

    struct THandler {
        uint64_t Id = 0;
        TNotifyOwner Owner = nullptr;
        TNotifyCallback Callback;
        TChangeCoalescer Pending;
        TClock::time_point First;  // when Pending received its first record
        TClock::time_point Last;   // and its last
        std::vector<TNotifyInfo> Ready;  // taken from Pending, waiting for the dispatcher
        bool DeliveryPosted = false;
        uint64_t Generation = 0;  // changed by ClearHandler: a delivery in progress stops
        std::vector<std::unique_ptr<TSubscription>> Subscriptions;
    };

    struct TExpansion {
        uint64_t Subscription = 0;
        std::string Folder;
        bool ReportContents = false;  // a folder created after the watch began: its entries are new too
        bool Rescan = false;          // look below folders already watched as well
    };

    struct THeldMove {
        TDirEvent Event;
        TClock::time_point Deadline;
    };

    struct TWorkerEnd {
        bool Exited = false;  // guarded by Mutex
    };

    TState(TDispatcher& dispatcher, TDirNotifyOptions options) : Dispatcher(dispatcher), Options(std::move(options))
    {
        SubtreeTotalLimit = Options.SubtreeFoldersTotal;
        const int64_t system = TDirWatchQueue::UserWatchLimit();
        if (system > 0)
            SubtreeTotalLimit = static_cast<int>(std::min<int64_t>(SubtreeTotalLimit, system / 4));
    }

    TDispatcher& Dispatcher;
    const TDirNotifyOptions Options;
    int SubtreeTotalLimit = 0;

    // Guards everything below. The worker holds it while it reads and sorts
    // the system's events and while it adds watches; listing a folder of a
    // subtree, waiting for events and posting deliveries happen outside it,
    // and callbacks never run under it.
    mutable std::mutex Mutex;
    std::condition_variable WorkerEnded;
    std::vector<std::unique_ptr<THandler>> Handlers;
    std::map<int, std::vector<TLink>> Watches;  // system watch -> its uses
    std::shared_ptr<TDirWatchQueue> Queue;      // null while nothing is watched
    std::thread Worker;
    std::shared_ptr<TWorkerEnd> WorkerEnd;
    std::deque<TExpansion> Expansions;
    int ExpansionsInFlight = 0;
    std::vector<THeldMove> HeldMoves;
    int SubtreeFolders = 0;  // sub-folder watches of all subtree subscriptions
    uint64_t NextId = 1;

    THandler* FindHandler(TNotifyOwner owner) const
    {
        for (const auto& handler : Handlers) {
            if (handler->Owner == owner)
                return handler.get();
        }
        return nullptr;
    }

    THandler* FindHandlerById(uint64_t id) const
    {
        for (const auto& handler : Handlers) {
            if (handler->Id == id)
                return handler.get();
        }
        return nullptr;
    }

    TSubscription* FindSubscription(uint64_t id) const
    {
        for (const auto& handler : Handlers) {
            for (const auto& subscription : handler->Subscriptions) {
                if (subscription->Id == id)
                    return subscription.get();
            }
        }
        return nullptr;
    }

    bool AnySubscription() const
    {
        return std::any_of(Handlers.begin(), Handlers.end(),
                           [](const auto& handler) { return !handler->Subscriptions.empty(); });
    }

    bool LinkExists(int watch, const TLink& link) const
    {
        const auto it = Watches.find(watch);
        return it != Watches.end() && std::find(it->second.begin(), it->second.end(), link) != it->second.end();
    }

    void AddRecordLocked(THandler& handler, const TNotifyInfo& record, TClock::time_point now)
    {
        if (handler.Pending.Empty())
            handler.First = now;
        handler.Last = now;
        handler.Pending.Add(record);
    }

    void RemoveLinkLocked(int watch, const TLink& link)
    {
        const auto it = Watches.find(watch);
        if (it == Watches.end())
            return;
        std::erase(it->second, link);
        if (it->second.empty()) {
            if (Queue)
                Queue->RemoveWatch(watch);
            Watches.erase(it);
        }
    }

    // Ends the watches of the subscription's sub-folders at prefix and below
    // (all of them for an empty prefix).
    void DropSubFoldersLocked(TSubscription& subscription, const std::string& prefix)
    {
        for (auto it = subscription.SubFolders.lower_bound(prefix); it != subscription.SubFolders.end();) {
            if (it->first.compare(0, prefix.size(), prefix) != 0)
                break;
            RemoveLinkLocked(it->second, TLink{&subscription, it->first, false});
            --SubtreeFolders;
            it = subscription.SubFolders.erase(it);
        }
    }

    void RemoveSubscriptionLocked(TSubscription& subscription)
    {
        RemoveLinkLocked(subscription.RootWatch, TLink{&subscription, subscription.Folder, true});
        DropSubFoldersLocked(subscription, "");
        std::erase_if(subscription.Handler->Subscriptions,
                      [&](const auto& held) { return held.get() == &subscription; });
    }

    void RemoveSubscriptionsLocked(THandler& handler, const std::string* folder)
    {
        std::vector<TSubscription*> doomed;
        for (const auto& subscription : handler.Subscriptions) {
            if (!folder || subscription->Folder == *folder)
                doomed.push_back(subscription.get());
        }
        for (TSubscription* subscription : doomed)
            RemoveSubscriptionLocked(*subscription);
    }

    static bool NameAccepted(const TSubscription& subscription, bool folder)
    {
        return subscription.Filter.Has(folder ? ChangeFilterItem::cfDirName : ChangeFilterItem::cfFileName);
    }

    static ChangeKind KindOf(const TSubscription& subscription, ChangeKind file, ChangeKind folder)
    {
        return subscription.FolderMode ? folder : file;
    }

    // Collects one record per handler and event: a folder seen twice by one
    // view (watched twice, or inside two of its subtrees) is reported once.
    struct TRecordSet {
        std::vector<std::pair<THandler*, TNotifyInfo>> Records;
        void Add(THandler* handler, TNotifyInfo record)
        {
            const auto same = [&](const auto& held) { return held.first == handler && held.second == record; };
            if (std::none_of(Records.begin(), Records.end(), same))
                Records.emplace_back(handler, std::move(record));
        }
    };

    void CommitLocked(const TRecordSet& set, TClock::time_point now)
    {
        for (const auto& [handler, record] : set.Records)
            AddRecordLocked(*handler, record, now);
    }

    void FolderGoneLocked(TSubscription& subscription, TRecordSet& set)
    {
        set.Add(subscription.Handler, TNotifyInfo{ChangeKind::ckFolderGone, subscription.Folder, {}});
        RemoveSubscriptionLocked(subscription);
    }

    // Changes were lost, folders created inside subtrees among them: every
    // view lists its folders again, and the subtrees are searched again for
    // folders not yet watched.
    void OverflowLocked(TClock::time_point now)
    {
        HeldMoves.clear();
        for (const auto& handler : Handlers) {
            if (handler->Subscriptions.empty())
                continue;
            AddRecordLocked(*handler, TNotifyInfo{ChangeKind::ckOverflow, {}, {}}, now);
            for (const auto& subscription : handler->Subscriptions) {
                if (subscription->Subtree)
                    Expansions.push_back({subscription->Id, subscription->Folder, false, true});
            }
        }
    }

    void ProcessSelfEventLocked(const TDirEvent& event, TClock::time_point now)
    {
        if (!(event.Bits & GoneBits))
            return;
        const auto it = Watches.find(event.Watch);
        if (it == Watches.end())
            return;
        TRecordSet set;
        const std::vector<TLink> links = it->second;
        for (const TLink& link : links) {
            if (!LinkExists(event.Watch, link))
                continue;
            if (link.Root) {
                FolderGoneLocked(*link.Subscription, set);
            } else {
                // A sub-folder that went away was reported by its parent; the
                // folders below it went with it.
                DropSubFoldersLocked(*link.Subscription, link.Folder);
            }
        }
        CommitLocked(set, now);
    }

    void ProcessNameEventLocked(const TDirEvent& event, TClock::time_point now)
    {
        const auto it = Watches.find(event.Watch);
        if (it == Watches.end())
            return;
        const bool folder = (event.Bits & dwIsFolder) != 0;
        TRecordSet set;
        const std::vector<TLink> links = it->second;
        for (const TLink& link : links) {
            if (!LinkExists(event.Watch, link))
                continue;
            TSubscription& subscription = *link.Subscription;
            const std::string path = link.Folder + event.Name;
            if (event.Bits & dwCreated) {
                if (NameAccepted(subscription, folder))
                    set.Add(subscription.Handler,
                            {KindOf(subscription, ChangeKind::ckFileAdded, ChangeKind::ckFolderAdded), path, {}});
                if (subscription.Subtree && folder)
                    Expansions.push_back({subscription.Id, path + PathDelim, true});
            }
            if (event.Bits & dwDeleted) {
                if (NameAccepted(subscription, folder))
                    set.Add(subscription.Handler,
                            {KindOf(subscription, ChangeKind::ckFileRemoved, ChangeKind::ckFolderRemoved), path, {}});
                if (subscription.Subtree && folder)
                    DropSubFoldersLocked(subscription, path + PathDelim);
            }
            const bool written = (event.Bits & dwModified) && (subscription.Filter.Has(ChangeFilterItem::cfSize) ||
                                                               subscription.Filter.Has(ChangeFilterItem::cfLastWrite));
            const bool attributes = (event.Bits & dwAttributes) &&
                                    (subscription.Filter.Has(ChangeFilterItem::cfAttributes) ||
                                     subscription.Filter.Has(ChangeFilterItem::cfCreation) ||
                                     subscription.Filter.Has(ChangeFilterItem::cfSecurity));
            const bool accessed = (event.Bits & dwAccessed) && subscription.Filter.Has(ChangeFilterItem::cfLastAccess);
            // Folder mode reports folders only.
            if ((written || attributes || accessed) && !(subscription.FolderMode && !folder))
                set.Add(subscription.Handler, {ChangeKind::ckModified, path, {}});
        }
        CommitLocked(set, now);
    }

    // A rename or move: both halves, or one half whose other lies outside
    // every watched folder.
    void ProcessMoveLocked(const TDirEvent* from, const TDirEvent* to, TClock::time_point now)
    {
        struct TEnds {
            std::optional<std::string> From;
            std::optional<std::string> To;
        };
        std::vector<std::pair<TSubscription*, TEnds>> ends;
        const auto endsOf = [&](TSubscription* subscription) -> TEnds& {
            for (auto& [held, value] : ends) {
                if (held == subscription)
                    return value;
            }
            return ends.emplace_back(subscription, TEnds{}).second;
        };
        if (from) {
            if (const auto it = Watches.find(from->Watch); it != Watches.end()) {
                for (const TLink& link : it->second) {
                    TEnds& value = endsOf(link.Subscription);
                    if (!value.From)
                        value.From = link.Folder + from->Name;
                }
            }
        }
        if (to) {
            if (const auto it = Watches.find(to->Watch); it != Watches.end()) {
                for (const TLink& link : it->second) {
                    TEnds& value = endsOf(link.Subscription);
                    if (!value.To)
                        value.To = link.Folder + to->Name;
                }
            }
        }
        const bool folder = ((from ? from->Bits : to->Bits) & dwIsFolder) != 0;
        TRecordSet set;
        for (const auto& [subscription, value] : ends) {
            if (NameAccepted(*subscription, folder)) {
                if (value.From && value.To)
                    set.Add(subscription->Handler,
                            {KindOf(*subscription, ChangeKind::ckFileRenamed, ChangeKind::ckFolderRenamed), *value.From,
                             *value.To});
                else if (value.From)
                    set.Add(subscription->Handler,
                            {KindOf(*subscription, ChangeKind::ckFileRemoved, ChangeKind::ckFolderRemoved), *value.From,
                             {}});
                else
                    set.Add(subscription->Handler,
                            {KindOf(*subscription, ChangeKind::ckFileAdded, ChangeKind::ckFolderAdded), *value.To, {}});
            }
            if (subscription->Subtree && folder) {
                // The watches below the old path name folders that now lie
                // elsewhere; the new path is watched afresh.
                if (value.From)
                    DropSubFoldersLocked(*subscription, *value.From + PathDelim);
                if (value.To)
                    Expansions.push_back({subscription->Id, *value.To + PathDelim, false});
            }
        }
        CommitLocked(set, now);
    }

    void ProcessEventsLocked(const std::vector<TDirEvent>& events, TClock::time_point now)
    {
        std::vector<bool> paired(events.size(), false);
        for (size_t i = 0; i < events.size(); ++i) {
            const TDirEvent& event = events[i];
            if (event.Bits & dwOverflow) {
                OverflowLocked(now);
            } else if (event.Bits & dwMovedFrom) {
                size_t j = i + 1;
                while (j < events.size() &&
                       !(events[j].Cookie == event.Cookie && (events[j].Bits & dwMovedTo) && !paired[j]))
                    ++j;
                if (j < events.size()) {
                    paired[j] = true;
                    ProcessMoveLocked(&event, &events[j], now);
                } else {
                    HeldMoves.push_back({event, now + PairGrace});
                }
            } else if (event.Bits & dwMovedTo) {
                if (paired[i])
                    continue;
                const auto held = std::find_if(HeldMoves.begin(), HeldMoves.end(),
                                               [&](const THeldMove& move) { return move.Event.Cookie == event.Cookie; });
                if (held != HeldMoves.end()) {
                    const TDirEvent first = held->Event;
                    HeldMoves.erase(held);
                    ProcessMoveLocked(&first, &event, now);
                } else {
                    ProcessMoveLocked(nullptr, &event, now);
                }
            } else if (event.Name.empty()) {
                ProcessSelfEventLocked(event, now);
            } else {
                ProcessNameEventLocked(event, now);
            }
        }
    }

    // Halves of renames whose other half did not come in time are removals.
    void ExpireHeldLocked(TClock::time_point now, bool all)
    {
        while (true) {
            const auto due = std::find_if(HeldMoves.begin(), HeldMoves.end(),
                                          [&](const THeldMove& move) { return all || move.Deadline <= now; });
            if (due == HeldMoves.end())
                return;
            const TDirEvent event = due->Event;
            HeldMoves.erase(due);
            ProcessMoveLocked(&event, nullptr, now);
        }
    }

    TClock::time_point DueTime(const THandler& handler) const
    {
        return std::min(handler.Last + Options.Delay, handler.First + Options.DelayCeiling);
    }

    // Moves the changes that are due into Ready; the handlers to post a
    // delivery for.
    std::vector<uint64_t> TakeDueLocked(TClock::time_point now, bool all)
    {
        std::vector<uint64_t> due;
        for (const auto& handler : Handlers) {
            if (!handler->Pending.Empty() && (all || DueTime(*handler) <= now)) {
                std::vector<TNotifyInfo> records = handler->Pending.TakeAll();
                handler->Ready.insert(handler->Ready.end(), records.begin(), records.end());
            }
            if (!handler->Ready.empty() && !handler->DeliveryPosted) {
                handler->DeliveryPosted = true;
                due.push_back(handler->Id);
            }
        }
        return due;
    }

    // How long the worker may wait for events: until the next delivery or
    // held rename half is due; no limit when none is; at once when a folder
    // waits to be watched.
    int NextTimeoutLocked(TClock::time_point now) const
    {
        if (!Expansions.empty())
            return 0;
        std::optional<TClock::time_point> next;
        const auto consider = [&](TClock::time_point at) {
            if (!next || at < *next)
                next = at;
        };
        for (const auto& handler : Handlers) {
            if (!handler->Pending.Empty())
                consider(DueTime(*handler));
        }
        for (const THeldMove& move : HeldMoves)
            consider(move.Deadline);
        if (!next)
            return -1;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now).count();
        return static_cast<int>(std::clamp<int64_t>(wait, 0, 60 * 1000));
    }

    void PostDeliveries(const std::vector<uint64_t>& handlers)
    {
        const std::weak_ptr<TState> weak = weak_from_this();
        for (const uint64_t id : handlers) {
            Dispatcher.Post([weak, id] {
                if (const std::shared_ptr<TState> state = weak.lock())
                    state->Deliver(id);
            });
        }
    }

    // Dispatcher's thread: calls the callback with each record, outside the
    // lock, and stops when the handler is cleared or removed meanwhile.
    void DeliverBatch(uint64_t id, uint64_t generation, const TNotifyCallback& callback,
                      const std::vector<TNotifyInfo>& records)
    {
        for (const TNotifyInfo& record : records) {
            {
                std::lock_guard<std::mutex> lock(Mutex);
                const THandler* handler = FindHandlerById(id);
                if (!handler || handler->Generation != generation)
                    return;
            }
            // A view's failure must not stop the notifier or the other views.
            try {
                if (callback)
                    callback(record);
            } catch (...) {
            }
        }
    }

    void Deliver(uint64_t id)
    {
        std::vector<TNotifyInfo> records;
        uint64_t generation = 0;
        TNotifyCallback callback;
        {
            std::lock_guard<std::mutex> lock(Mutex);
            THandler* handler = FindHandlerById(id);
            if (!handler)
                return;
            handler->DeliveryPosted = false;
            records.swap(handler->Ready);
            generation = handler->Generation;
            callback = handler->Callback;
        }
        DeliverBatch(id, generation, callback, records);
        StopWorkerIfIdle();
    }

    void Flush()
    {
        struct TBatch {
            uint64_t Id;
            uint64_t Generation;
            TNotifyCallback Callback;
            std::vector<TNotifyInfo> Records;
        };
        std::vector<TBatch> batches;
        {
            std::lock_guard<std::mutex> lock(Mutex);
            const TClock::time_point now = TClock::now();
            if (Queue) {
                // A failure here still delivers what the worker sorted
                // before; the worker reads the queue again.
                try {
                    ProcessEventsLocked(Queue->ReadEvents(), now);
                } catch (...) {
                }
            }
            ExpireHeldLocked(now, true);
            TakeDueLocked(now, true);
            // Folders created inside a subtree wait for the worker.
            if (Queue && !Expansions.empty())
                Queue->Wake();
            // Deliveries already posted find nothing left when they run, so
            // no change overtakes an older one.
            for (const auto& handler : Handlers) {
                if (!handler->Ready.empty()) {
                    batches.push_back({handler->Id, handler->Generation, handler->Callback, {}});
                    batches.back().Records.swap(handler->Ready);
                }
            }
        }
        for (const TBatch& batch : batches)
            DeliverBatch(batch.Id, batch.Generation, batch.Callback, batch.Records);
        StopWorkerIfIdle();
    }

    // Worker thread: watches one folder of a subtree (the subscription's own
    // folder is watched already) and queues its sub-folders, so that a tree
    // is watched breadth first and its nearest levels before the limit.
    void Expand(const TExpansion& job, const std::shared_ptr<TDirWatchQueue>& queue)
    {
        {
            std::lock_guard<std::mutex> lock(Mutex);
            TSubscription* subscription = FindSubscription(job.Subscription);
            if (Queue != queue || !subscription)
                return;
            if (job.Folder != subscription->Folder && !subscription->SubFolders.count(job.Folder)) {
                if (static_cast<int>(subscription->SubFolders.size()) >= Options.SubtreeFoldersPerWatch ||
                    SubtreeFolders >= SubtreeTotalLimit)
                    return;
                // Watched before it is listed: an entry made in between is
                // both listed and reported, and the coalescing makes it one.
                // A folder that cannot be watched (gone already, or the
                // system's limit reached) is left out with what lies below.
                const int watch = queue->AddWatch(job.Folder, subscription->Bits, false);
                if (watch < 0)
                    return;
                Watches[watch].push_back(TLink{subscription, job.Folder, false});
                subscription->SubFolders[job.Folder] = watch;
                ++SubtreeFolders;
            }
        }
        std::vector<TDirEntry> entries;
        try {
            entries = ListDirectory(job.Folder);
        } catch (const EMirevaError&) {
            return;
        }
        std::lock_guard<std::mutex> lock(Mutex);
        TSubscription* subscription = FindSubscription(job.Subscription);
        if (Queue != queue || !subscription)
            return;
        // The folder may have gone, or been moved, while it was listed.
        if (job.Folder != subscription->Folder && !subscription->SubFolders.count(job.Folder))
            return;
        TRecordSet set;
        for (const TDirEntry& entry : entries) {
            // Links are not followed: a link to a folder above would make
            // the tree endless.
            const bool folder = entry.Status.Kind == TFileKind::fkFolder && !entry.Status.IsLink;
            const std::string path = job.Folder + entry.Name;
            if (job.ReportContents && NameAccepted(*subscription, folder))
                set.Add(subscription->Handler,
                        {KindOf(*subscription, ChangeKind::ckFileAdded, ChangeKind::ckFolderAdded), path, {}});
            if (folder && (job.Rescan || !subscription->SubFolders.count(path + PathDelim)))
                Expansions.push_back({subscription->Id, path + PathDelim, job.ReportContents, job.Rescan});
        }
        CommitLocked(set, TClock::now());
    }

    static void WorkerMain(std::shared_ptr<TState> state, std::shared_ptr<TDirWatchQueue> queue,
                           std::shared_ptr<TWorkerEnd> end)
    {
        for (;;) {
            try {
                int timeout = -1;
                {
                    std::lock_guard<std::mutex> lock(state->Mutex);
                    if (state->Queue != queue)
                        break;
                    timeout = state->NextTimeoutLocked(TClock::now());
                }
                queue->Wait(timeout);
                std::vector<uint64_t> due;
                std::optional<TExpansion> job;
                {
                    std::lock_guard<std::mutex> lock(state->Mutex);
                    if (state->Queue != queue)
                        break;
                    const TClock::time_point now = TClock::now();
                    state->ProcessEventsLocked(queue->ReadEvents(), now);
                    state->ExpireHeldLocked(now, false);
                    due = state->TakeDueLocked(now, false);
                    if (!state->Expansions.empty()) {
                        job = std::move(state->Expansions.front());
                        state->Expansions.pop_front();
                        ++state->ExpansionsInFlight;
                    }
                }
                state->PostDeliveries(due);
                if (job) {
                    struct TDone {
                        TState& State;
                        ~TDone()
                        {
                            std::lock_guard<std::mutex> lock(State.Mutex);
                            --State.ExpansionsInFlight;
                        }
                    } done{*state};
                    state->Expand(*job, queue);
                }
            } catch (...) {
                // A failure with one event must not end the watching of every
                // folder; the loop goes on with the next events.
            }
        }
        {
            std::lock_guard<std::mutex> lock(state->Mutex);
            end->Exited = true;
        }
        state->WorkerEnded.notify_all();
    }

    // Opens the queue for the first watch.
    bool EnsureQueueLocked(std::string* reason)
    {
        if (Queue)
            return true;
        try {
            Queue = Options.MakeQueue ? std::shared_ptr<TDirWatchQueue>(Options.MakeQueue())
                                      : std::make_shared<TDirWatchQueue>();
        } catch (const EMirevaError& e) {
            if (reason)
                *reason = e.what();
            return false;
        }
        if (!Queue) {
            if (reason)
                *reason = "the change queue could not be opened";
            return false;
        }
        return true;
    }

    void StartWorkerLocked()
    {
        if (WorkerEnd)
            return;
        WorkerEnd = std::make_shared<TWorkerEnd>();
        Worker = std::thread(&TState::WorkerMain, shared_from_this(), Queue, WorkerEnd);
    }

    // Ends the worker and closes the queue. Changes still held are handed to
    // the dispatcher now, since no worker is left to time them.
    void StopWorker()
    {
        std::thread worker;
        bool exited = false;
        std::vector<uint64_t> due;
        {
            std::unique_lock<std::mutex> lock(Mutex);
            if (!Queue)
                return;
            const std::shared_ptr<TDirWatchQueue> queue = std::move(Queue);
            Watches.clear();
            Expansions.clear();
            HeldMoves.clear();
            SubtreeFolders = 0;
            for (const auto& handler : Handlers) {
                handler->Subscriptions.clear();
            }
            due = TakeDueLocked(TClock::now(), true);
            worker = std::move(Worker);
            const std::shared_ptr<TWorkerEnd> end = std::move(WorkerEnd);
            if (end) {
                queue->Wake();
                exited = WorkerEnded.wait_for(lock, StopLimit, [&] { return end->Exited; });
            }
        }
        // A worker that does not end in time (a folder listing stuck on a
        // dead network mount) is left to end alone; it holds the state and
        // its queue itself and touches nothing else once it sees it is
        // stopped.
        if (worker.joinable()) {
            if (exited)
                worker.join();
            else
                worker.detach();
        }
        PostDeliveries(due);
    }

    void StopWorkerIfIdle()
    {
        {
            std::lock_guard<std::mutex> lock(Mutex);
            // A dispatcher that runs deliveries at once on the posting
            // thread would otherwise make the worker wait for itself.
            if (!Queue || AnySubscription() || Worker.get_id() == std::this_thread::get_id())
                return;
        }
        StopWorker();
    }
};

TDirChangeNotifier::TDirChangeNotifier(TDispatcher& dispatcher, TDirNotifyOptions options)
    : fState(std::make_shared<TState>(dispatcher, std::move(options)))
{
}

TDirChangeNotifier::~TDirChangeNotifier()
{
    {
        // The watches go with their subscriptions, so that the worker never
        // meets a use of a watch whose view is gone.
        std::lock_guard<std::mutex> lock(fState->Mutex);
        for (const auto& handler : fState->Handlers)
            fState->RemoveSubscriptionsLocked(*handler, nullptr);
        fState->Handlers.clear();
    }
    fState->StopWorker();
}

void TDirChangeNotifier::AddHandler(TNotifyOwner owner, TNotifyCallback callback)
{
    std::lock_guard<std::mutex> lock(fState->Mutex);
    if (TState::THandler* handler = fState->FindHandler(owner)) {
        handler->Callback = std::move(callback);
        return;
    }
    auto handler = std::make_unique<TState::THandler>();
    handler->Id = fState->NextId++;
    handler->Owner = owner;
    handler->Callback = std::move(callback);
    fState->Handlers.push_back(std::move(handler));
}

void TDirChangeNotifier::RemoveHandler(TNotifyOwner owner)
{
    {
        std::lock_guard<std::mutex> lock(fState->Mutex);
        TState::THandler* handler = fState->FindHandler(owner);
        if (!handler)
            return;
        fState->RemoveSubscriptionsLocked(*handler, nullptr);
        std::erase_if(fState->Handlers, [&](const auto& held) { return held.get() == handler; });
    }
    fState->StopWorkerIfIdle();
}

bool TDirChangeNotifier::Watch(TNotifyOwner owner, const std::string& folder, ChangeFilter filter, bool subtree,
                               std::string* reason)
{
    const std::string path = IncludeTrailingPathDelimiter(NormalizePath(folder));
    std::lock_guard<std::mutex> lock(fState->Mutex);
    TState::THandler* handler = fState->FindHandler(owner);
    if (!handler) {
        if (reason)
            *reason = "no handler is registered for this view";
        return false;
    }
    const bool opened = !fState->Queue;
    if (!fState->EnsureQueueLocked(reason))
        return false;
    auto subscription = std::make_unique<TState::TSubscription>();
    subscription->Bits = BitsOfFilter(filter, subtree);
    const int watch = fState->Queue->AddWatch(path, subscription->Bits, true);
    if (watch < 0) {
        if (reason)
            *reason = SystemErrorText(path, -watch);
        if (opened)
            fState->Queue.reset();
        return false;
    }
    subscription->Id = fState->NextId++;
    subscription->Handler = handler;
    subscription->Folder = path;
    subscription->Filter = filter;
    subscription->FolderMode = IsFolderMode(filter);
    subscription->Subtree = subtree;
    subscription->RootWatch = watch;
    fState->Watches[watch].push_back(TState::TLink{subscription.get(), path, true});
    if (subtree) {
        fState->Expansions.push_back({subscription->Id, path, false});
        fState->Queue->Wake();
    }
    handler->Subscriptions.push_back(std::move(subscription));
    fState->StartWorkerLocked();
    return true;
}

void TDirChangeNotifier::Unwatch(TNotifyOwner owner, const std::string& folder)
{
    const std::string path = IncludeTrailingPathDelimiter(NormalizePath(folder));
    {
        std::lock_guard<std::mutex> lock(fState->Mutex);
        TState::THandler* handler = fState->FindHandler(owner);
        if (!handler)
            return;
        fState->RemoveSubscriptionsLocked(*handler, &path);
    }
    fState->StopWorkerIfIdle();
}

void TDirChangeNotifier::ClearHandler(TNotifyOwner owner)
{
    {
        std::lock_guard<std::mutex> lock(fState->Mutex);
        TState::THandler* handler = fState->FindHandler(owner);
        if (!handler)
            return;
        fState->RemoveSubscriptionsLocked(*handler, nullptr);
        handler->Pending.TakeAll();
        handler->Ready.clear();
        ++handler->Generation;
    }
    fState->StopWorkerIfIdle();
}

void TDirChangeNotifier::Flush()
{
    fState->Flush();
}

size_t TDirChangeNotifier::SystemWatchCount() const
{
    std::lock_guard<std::mutex> lock(fState->Mutex);
    return fState->Watches.size();
}

bool TDirChangeNotifier::SubtreesSettled() const
{
    std::lock_guard<std::mutex> lock(fState->Mutex);
    return fState->Expansions.empty() && fState->ExpansionsInFlight == 0;
}

bool TDirChangeNotifier::WorkerRunning() const
{
    std::lock_guard<std::mutex> lock(fState->Mutex);
    return fState->Queue != nullptr;
}
