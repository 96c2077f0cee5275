#include "shellviews/ShlNotify.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/Dispatcher.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "platform/MountWatch.h"

namespace {

// How long the destructor waits for the worker before leaving it to end
// alone.
constexpr auto StopLimit = std::chrono::seconds(3);

class TSystemMountMonitor : public TMountMonitor {
public:
    std::vector<TMountPoint> Read() override { return ReadMountPoints(); }
    bool Wait() override { return fWatch.Wait(-1); }
    void Wake() override { fWatch.Wake(); }
    bool IsRemovable(const std::string& device) override { return IsRemovableDevice(device); }

private:
    TMountTableWatch fWatch;
};

}  // namespace

std::vector<TDriveInfo> DrivesOfMounts(const std::vector<TMountPoint>& mounts,
                                       const std::function<bool(const std::string& device)>& removable)
{
    // The tree's own rule says which mounts are drives; an empty home adds
    // nothing of its own.
    std::vector<TDriveInfo> drives;
    for (const std::string& path : RootItemPaths("", mounts)) {
        TDriveInfo drive{IncludeTrailingPathDelimiter(path), TDriveType::dtFixed};
        const auto mount = std::find_if(mounts.rbegin(), mounts.rend(),
                                        [&](const TMountPoint& held) { return held.Path == path; });
        if (mount != mounts.rend())
            drive.Type = DriveTypeOfMount(*mount, removable && removable(mount->Device));
        drives.push_back(std::move(drive));
    }
    std::sort(drives.begin(), drives.end(),
              [](const TDriveInfo& a, const TDriveInfo& b) { return a.Path < b.Path; });
    return drives;
}

std::vector<TDriveEvent> DiffDrives(const std::vector<TDriveInfo>& before, const std::vector<TDriveInfo>& after)
{
    const auto contains = [](const std::vector<TDriveInfo>& list, const TDriveInfo& drive) {
        return std::find(list.begin(), list.end(), drive) != list.end();
    };
    std::vector<TDriveEvent> events;
    for (const TDriveInfo& drive : before) {
        if (!contains(after, drive))
            events.push_back({TDriveChange::dcRemoved, drive});
    }
    for (const TDriveInfo& drive : after) {
        if (!contains(before, drive))
            events.push_back({TDriveChange::dcAdded, drive});
    }
    return events;
}

std::unique_ptr<TMountMonitor> MakeSystemMountMonitor()
{
    return std::make_unique<TSystemMountMonitor>();
}

// The views' side, touched only on the dispatcher's thread.
struct TShellChangeNotifier::TViews {
    std::vector<std::pair<TNotifyOwner, TDriveCallback>> Handlers;
    std::vector<TDriveInfo> Drives;  // every drive, sorted by path

    bool Registered(TNotifyOwner owner) const
    {
        return std::any_of(Handlers.begin(), Handlers.end(), [&](const auto& held) { return held.first == owner; });
    }

    void Apply(const std::vector<TDriveEvent>& events, std::vector<TDriveInfo> drives)
    {
        Drives = std::move(drives);
        for (const TDriveEvent& event : events) {
            // Copied, and each handler checked again before it is told,
            // because one may remove itself or another meanwhile.
            const auto handlers = Handlers;
            for (const auto& [owner, callback] : handlers) {
                if (!Registered(owner) || !callback)
                    continue;
                try {
                    callback(event);
                } catch (...) {
                    // A view's failure must not keep the others uninformed.
                }
            }
        }
    }
};

struct TShellChangeNotifier::TWorker {
    std::unique_ptr<TMountMonitor> Monitor;
    std::atomic<bool> Stop{false};
    std::mutex Mutex;  // guards Exited
    std::condition_variable Ended;
    bool Exited = false;
    std::thread Thread;

    // Worker thread: reads the table after each change and posts what
    // changed; last is the reading the views know.
    static void Main(std::shared_ptr<TWorker> worker, TDispatcher* dispatcher, std::weak_ptr<TViews> views,
                     std::vector<TDriveInfo> last)
    {
        TMountMonitor& monitor = *worker->Monitor;
        const auto removable = [&](const std::string& device) { return monitor.IsRemovable(device); };
        while (!worker->Stop) {
            try {
                if (!monitor.Wait() || worker->Stop)
                    continue;
                std::vector<TDriveInfo> drives = DrivesOfMounts(monitor.Read(), removable);
                std::vector<TDriveEvent> events = DiffDrives(last, drives);
                last = drives;
                if (events.empty() || worker->Stop)
                    continue;
                dispatcher->Post([views, events = std::move(events), drives = std::move(drives)]() mutable {
                    if (const std::shared_ptr<TViews> held = views.lock())
                        held->Apply(events, std::move(drives));
                });
            } catch (...) {
                // A reading that failed is tried again at the next change.
            }
        }
        {
            std::lock_guard<std::mutex> lock(worker->Mutex);
            worker->Exited = true;
        }
        worker->Ended.notify_all();
    }
};

TShellChangeNotifier::TShellChangeNotifier(TDispatcher& dispatcher, std::unique_ptr<TMountMonitor> monitor)
    : fViews(std::make_shared<TViews>())
{
    if (!monitor) {
        try {
            monitor = MakeSystemMountMonitor();
        } catch (const EMirevaError&) {
            fViews->Drives = DrivesOfMounts(ReadMountPoints(), IsRemovableDevice);
            return;
        }
    }
    // The watch is open before the first reading, so no change falls
    // between the two.
    TMountMonitor& held = *monitor;
    fViews->Drives = DrivesOfMounts(held.Read(), [&](const std::string& device) { return held.IsRemovable(device); });
    fWorker = std::make_shared<TWorker>();
    fWorker->Monitor = std::move(monitor);
    fWorker->Thread = std::thread(&TWorker::Main, fWorker, &dispatcher, std::weak_ptr<TViews>(fViews), fViews->Drives);
}

TShellChangeNotifier::~TShellChangeNotifier()
{
    if (!fWorker)
        return;
    fWorker->Stop = true;
    fWorker->Monitor->Wake();
    bool exited = false;
    {
        std::unique_lock<std::mutex> lock(fWorker->Mutex);
        exited = fWorker->Ended.wait_for(lock, StopLimit, [&] { return fWorker->Exited; });
    }
    // A worker stuck in reading the table keeps its own share of its state
    // and posts nothing once it sees Stop.
    if (exited)
        fWorker->Thread.join();
    else
        fWorker->Thread.detach();
}

void TShellChangeNotifier::AddHandler(TNotifyOwner owner, TDriveCallback callback)
{
    for (auto& [held, heldCallback] : fViews->Handlers) {
        if (held == owner) {
            heldCallback = std::move(callback);
            return;
        }
    }
    fViews->Handlers.emplace_back(owner, std::move(callback));
}

void TShellChangeNotifier::RemoveHandler(TNotifyOwner owner)
{
    std::erase_if(fViews->Handlers, [&](const auto& held) { return held.first == owner; });
}

std::vector<TDriveInfo> TShellChangeNotifier::Drives() const
{
    std::vector<TDriveInfo> drives;
    for (const TDriveInfo& drive : fViews->Drives) {
        if (drive.Type == TDriveType::dtFixed || drive.Type == TDriveType::dtNetwork)
            drives.push_back(drive);
    }
    return drives;
}
