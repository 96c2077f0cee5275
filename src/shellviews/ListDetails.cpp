#include "shellviews/ListDetails.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "base/Dispatcher.h"
#include "platform/Threads.h"

TListDetailReader::TListDetailReader(TDispatcher& dispatcher, std::string folder, std::vector<std::string> names,
                                     TDeliver deliver, size_t slice)
    : fDispatcher(dispatcher), fFolder(std::move(folder)), fNames(std::move(names)), fDeliver(std::move(deliver)),
      fSlice(slice == 0 ? SIZE_MAX : slice), fLive(std::make_shared<bool>(true)), fDone(std::make_shared<bool>(false))
{
    fThread = std::thread([this] { Run(); });
}

TListDetailReader::~TListDetailReader()
{
    Stop();
}

void TListDetailReader::Stop()
{
    *fLive = false;
    *fDone = true;
    fStop = true;
    if (fThread.joinable())
        fThread.join();
}

void TListDetailReader::Run()
{
    // Each posted delivery carries what it needs, so that it never looks at
    // this object after Stop let go of it.
    const auto post = [this](size_t first, std::vector<TFileStatus> statuses, bool failed, bool last) {
        fDispatcher.Post([live = fLive, done = fDone, deliver = fDeliver, first, statuses = std::move(statuses),
                          failed, last]() mutable {
            if (!*live)
                return;
            if (last)
                *done = true;
            deliver(first, std::move(statuses), failed);
        });
    };
    // Background work: the user-interface thread goes first.
    LowerThreadPriority();
    try {
        const TFolderStatter statter(fFolder);
        size_t first = 0;
        while (first < fNames.size()) {
            const size_t end = std::min(fNames.size(), first + std::min(fSlice, fNames.size() - first));
            std::vector<TFileStatus> statuses;
            statuses.reserve(end - first);
            for (size_t i = first; i < end; ++i) {
                if (fStop)
                    return;
                statuses.push_back(statter.Query(fNames[i]));
            }
            post(first, std::move(statuses), false, end == fNames.size());
            first = end;
        }
        if (fNames.empty())
            post(0, {}, false, true);
    } catch (...) {
        // The folder went or cannot be read: the owner reads what it needs
        // itself; nothing is thrown across the thread.
        if (!fStop)
            post(0, {}, true, true);
    }
}
