#include "viewer/StepLoad.h"

TStepLoad::TStepLoad(TCacheWait wait, std::map<int, std::unique_ptr<TPictureLoadJob>> jobs,
                     std::function<void()> done, TAfterLoad afterLoad)
    : fWait(std::move(wait)), fJobs(std::move(jobs)), fDone(std::move(done)), fAfterLoad(std::move(afterLoad))
{
    fThread = std::thread([this] { Work(); });
}

TStepLoad::~TStepLoad()
{
    Cancel();
    if (fThread.joinable())
        fThread.join();
}

void TStepLoad::Cancel()
{
    fCancel.store(true);
}

void TStepLoad::Work()
{
    if (fWait.Cache && !fWait.Positions.empty())
        fCacheReady = fWait.Cache->AwaitHeads(fWait.Direction, fWait.Positions, fWait.Limit, fCancel);
    // The worker lets go of the cache here: the viewer may stop it.
    fWait.Cache.reset();
    if (!fCacheReady && !fCancel.load()) {
        // The pages of a spread decode side by side; the first job runs here.
        std::vector<std::thread> others;
        bool first = true;
        for (auto& [index, job] : fJobs) {
            if (first) {
                first = false;
                continue;
            }
            TPictureLoadJob* run = job.get();
            try {
                others.emplace_back([this, run] {
                    if (!fCancel.load())
                        run->RunUntil(fCancel);
                });
            } catch (const std::system_error&) {
                // No second thread: this one runs it after the first.
                others.emplace_back();
                if (!fCancel.load())
                    run->RunUntil(fCancel);
            }
        }
        if (!fJobs.empty() && !fCancel.load())
            fJobs.begin()->second->RunUntil(fCancel);
        for (std::thread& other : others)
            if (other.joinable())
                other.join();
        fJobsRan = !fCancel.load();
        if (fJobsRan && fAfterLoad) {
            try {
                fAfterLoad(fJobs);
            } catch (...) {
                // What it would have made is made by the view instead.
            }
        }
    }
    {
        const std::lock_guard lock(fFinishMutex);
        fFinished.store(true);
    }
    fFinishedSignal.notify_all();
    if (fDone)
        fDone();
}

bool TStepLoad::WaitFinished(std::chrono::milliseconds limit)
{
    std::unique_lock lock(fFinishMutex);
    return fFinishedSignal.wait_for(lock, limit, [this] { return fFinished.load(); });
}

std::map<int, std::unique_ptr<TPictureLoadJob>> TStepLoad::TakeJobs()
{
    if (fCacheReady || !fJobsRan)
        return {};
    return std::move(fJobs);
}
