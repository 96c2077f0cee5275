#include "shellviews/ThumbRequester.h"

#include <algorithm>

TThumbRequester::~TThumbRequester()
{
    // The requests go first: destroying them waits for the thread, which
    // may still be reporting to this receiver.
    fRequests.reset();
}

bool TThumbRequester::Start(const TThumbPlace& place, std::vector<TEnumImageInfo> items,
                            std::vector<std::string> keys)
{
    Stop();
    if (!fStarter)
        return false;
    fPlace = place;
    fRequests = fStarter(place, *this);
    if (!fRequests)
        return false;
    fStates.clear();
    fKeys.clear();
    SetItems(std::move(items), std::move(keys));
    return true;
}

void TThumbRequester::Stop()
{
    if (!fRequests)
        return;
    fRequests.reset();
    fStates.clear();
    fKeys.clear();
    fObservers.Notify([this](TThumbObserver& o) { o.ThumbsChanged(*this, {TThumbChangeKind::tcCleared}); });
}

void TThumbRequester::SetItems(std::vector<TEnumImageInfo> items, std::vector<std::string> keys)
{
    if (!fRequests)
        return;
    keys.resize(items.size());
    std::unordered_map<std::string, TThumbState> kept;
    for (size_t i = 0; i < fStates.size() && i < fKeys.size(); ++i)
        if (fStates[i].Done)
            kept.emplace(fKeys[i], std::move(fStates[i]));
    fStates.assign(items.size(), TThumbState{});
    for (size_t i = 0; i < keys.size(); ++i) {
        items[i].Id = static_cast<int32_t>(i);
        const auto it = kept.find(keys[i]);
        if (it != kept.end())
            fStates[i] = std::move(it->second);
    }
    fKeys = std::move(keys);
    fRequests->SetItems(std::move(items));
    if (fAllThumbnail)
        QueueAllNotDone();
}

void TThumbRequester::QueueAllNotDone()
{
    std::vector<int32_t> ids;
    for (size_t i = 0; i < fStates.size(); ++i)
        if (!fStates[i].Done)
            ids.push_back(static_cast<int32_t>(i));
    if (!ids.empty())
        fRequests->SetQueue(std::move(ids));
}

void TThumbRequester::RequestVisible(int first, int last)
{
    if (!fRequests)
        return;
    first = std::max(0, first);
    last = std::min(last, Count() - 1);
    std::vector<int32_t> ids;
    for (int id = first; id <= last; ++id)
        if (!fStates[static_cast<size_t>(id)].Done)
            ids.push_back(id);
    // An empty list still replaces what was asked before, so items that
    // scrolled out of view are dropped from the queue.
    fRequests->SetQueue(std::move(ids));
}

void TThumbRequester::FocusChanged(int id)
{
    if (fRequests && id >= 0 && id < Count() && !fStates[static_cast<size_t>(id)].Done)
        fRequests->SetPriority(id);
}

const TThumbState* TThumbRequester::State(int id) const
{
    return id >= 0 && id < Count() ? &fStates[static_cast<size_t>(id)] : nullptr;
}

void TThumbRequester::ThumbnailArrived(const TThumbnailResult& result)
{
    // A report for an item of an older list (or none) is passed over.
    if (!fRequests || result.Id < 0 || result.Id >= Count())
        return;
    TThumbState& state = fStates[static_cast<size_t>(result.Id)];
    state.Picture = result.Picture;
    state.Bits = result.Bits;
    state.SourceWidth = result.SourceWidth;
    state.SourceHeight = result.SourceHeight;
    state.FolderFlag = result.FolderFlag;
    state.Done = true;
    fObservers.Notify(
        [this, &result](TThumbObserver& o) { o.ThumbsChanged(*this, {TThumbChangeKind::tcArrived, TChangePhase::cpAfter, result.Id}); });
}
