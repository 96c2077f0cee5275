#include "viewer/PageViewer.h"

#include <algorithm>
#include <condition_variable>
#include <future>
#include <mutex>
#include <system_error>

#include "viewer/Caption.h"
#include "viewer/FullPicture.h"
#include "viewer/StepLoad.h"
#include "viewer/ViewCommands.h"

namespace {

// Pictures are scaled ahead only for pages shown whole and resampled: a
// zoomed page shows a part, which is scaled as it scrolls, and the desktop's
// smooth stretch belongs to the window. The size the page is resampled to,
// in device pixels (ratio: the screen's device pixel ratio), if so.
std::optional<TPrescaleTarget> WholePageTarget(const TPageLayout& layout, int page, const TImageSlot& slot,
                                               TStretchMode stretch, double ratio)
{
    if (!MethodOfStretchMode(stretch) || !layout.PageShown(page) || !slot.HasBitmap() ||
        layout.PageRatio(page) * ratio == 1.0)
        return std::nullopt;
    const TSize display = layout.PageSize(page);
    const TSize client = layout.ClientSize();
    if (display.Width <= 0 || display.Height <= 0 || display.Width > client.Width || display.Height > client.Height)
        return std::nullopt;
    const TSize device = DeviceSize(display, ratio);
    return TPrescaleTarget{slot.Width(), slot.Height(), device.Width, device.Height, stretch};
}

}  // namespace

class TPageViewer::TPartnerLoad {
public:
    // Starts job on a thread of its own; std::system_error when there is
    // none to be had. Once loaded, the worker waits to be told by ScaleFor
    // whether to scale the picture too.
    TPartnerLoad(int index, std::unique_ptr<TPictureLoadJob> job, std::shared_ptr<TPictureSource> source)
        : fIndex(index), fJob(std::move(job)), fSource(std::move(source))
    {
        fDone = std::async(std::launch::async, [this] {
            fJob->Run();
            ScaleWhenTold();
        });
    }
    // A load nobody took is waited for, never left running on its own: the
    // source and the picture list it reads stay the viewer's.
    ~TPartnerLoad()
    {
        ScaleFor(std::nullopt);
        if (fDone.valid())
            fDone.wait();
    }
    TPartnerLoad(const TPartnerLoad&) = delete;
    TPartnerLoad& operator=(const TPartnerLoad&) = delete;

    int Index() const { return fIndex; }
    // The size the primary shows at beside a page of its own size, known once
    // the primary is measured: a partner of the primary's size is scaled to
    // it on the worker, as the primary is on another. Nothing: no scaling.
    // The first call counts.
    void ScaleFor(const std::optional<TPrescaleTarget>& target)
    {
        {
            std::lock_guard<std::mutex> lock(fMutex);
            if (fTold)
                return;
            fTold = true;
            fTarget = target;
        }
        fToldEvent.notify_all();
    }
    // Waits for the worker, then shows what the load would have shown; what
    // the worker threw is thrown here, as a load on this thread would have.
    TImageSlot Take()
    {
        ScaleFor(std::nullopt);
        fDone.get();
        return fJob->Finish();
    }
    // After Take: the picture scaled on the worker and the size it was
    // scaled for; null when it was not.
    const std::shared_ptr<TBitmap>& Scaled() const { return fScaled; }
    const std::optional<TPrescaleTarget>& Target() const { return fTarget; }

private:
    void ScaleWhenTold()
    {
        {
            std::unique_lock<std::mutex> lock(fMutex);
            fToldEvent.wait(lock, [this] { return fTold; });
        }
        const TImageSlot& slot = fJob->Loaded();
        if (!fTarget || !slot.HasBitmap() || slot.Width() != fTarget->SourceWidth ||
            slot.Height() != fTarget->SourceHeight)
            return;
        try {
            fScaled = fSource->Prescale(*slot.Bitmap, slot.Gray, fTarget->DisplayWidth, fTarget->DisplayHeight,
                                        fTarget->Stretch);
        } catch (...) {
            // The view scales the page itself.
            fScaled.reset();
        }
    }

    int fIndex;
    std::unique_ptr<TPictureLoadJob> fJob;
    std::shared_ptr<TPictureSource> fSource;
    // Guards fTold and fTarget until the worker has read them; fScaled is the
    // worker's until fDone is ready.
    std::mutex fMutex;
    std::condition_variable fToldEvent;
    bool fTold = false;
    std::optional<TPrescaleTarget> fTarget;
    std::shared_ptr<TBitmap> fScaled;
    // Last, so that it is started when everything above exists.
    std::future<void> fDone;
};

TPageViewer::TPageViewer(TDecoderFactory decoders, TDispatcher* dispatcher)
    : fDecoders(std::move(decoders)), fDispatcher(dispatcher)
{
    SetOptions(TViewerOptions{});
}

TPageViewer::~TPageViewer()
{
    CancelStep();
    CancelFullLoad();
    ReapSteps(true);
    StopCache();
}

// --- Inputs ---------------------------------------------------------------------

void TPageViewer::SetOptions(const TViewerOptions& options)
{
    const bool cacheChanged =
        !(options.Cache == fOptions.Cache) || options.Move.LastFileMove != fOptions.Move.LastFileMove;
    fOptions = options;
    fLayout.SetPictureOptions(options.Picture);
    fMover.SetOptions(options.Move);
    fMover.SetFirstImageAlone(options.Picture.FirstImage);
    fScroll.SetOptions(options.Scroll);
    // The thread copied its settings when it started: it starts afresh
    // with the next step.
    if (cacheChanged)
        StopCache();
}

void TPageViewer::SetViewState(const TViewState& state)
{
    const bool modeChanged = state.ViewMode != fLayout.ViewState().ViewMode;
    fLayout.SetViewState(state);
    UpdateDecodeBox();
    if (modeChanged && fCache)
        fCache->RecountLimits(state.ViewMode);
}

void TPageViewer::SetDeviceRatio(double ratio)
{
    if (!(ratio > 0.0) || ratio == fDeviceRatio)
        return;
    fDeviceRatio = ratio;
    // The cache learns the new sizes to scale ahead for with the next step.
    UpdateDecodeBox();
}

void TPageViewer::SetClientSize(int width, int height)
{
    const TSize old = fLayout.ClientSize();
    if (old == TSize{width, height})
        return;
    fLayout.SetClientSize(width, height);
    UpdateDecodeBox();
    if (!fPrimary.HasBitmap())
        return;
    // The first real size lays the pages out as new; later sizes keep the
    // reader's place.
    const bool resizing = !old.IsEmpty();
    fLayout.SetResizing(resizing);
    RefreshLayout(false);
    fLayout.SetResizing(false);
}

void TPageViewer::SetList(std::vector<TCacheItem> items, std::shared_ptr<TPictureSource> source, bool media)
{
    CancelStep();
    CancelFullLoad();
    StopCache();
    fSource = std::move(source);
    fItems = std::move(items);
    fFailed.clear();
    fFullFailed.clear();
    fMedia = media;
    for (size_t i = 0; i < fItems.size(); ++i)
        fItems[i].Index = static_cast<int>(i);
    fPrimary.Clear();
    fPartner.Clear();
    fRandomShown = false;
    fLayout.ClearView();
    fMover.Reset();
    fScroll.ResetCounters();
    fAnimation.Stop();
}

void TPageViewer::SetSource(std::shared_ptr<TPictureSource> source)
{
    StopCache();
    // A full load on its way reads through the old loaders: asked again at
    // the next layout.
    CancelFullLoad();
    fFullFailed.clear();
    fSource = std::move(source);
}

// --- Commands -----------------------------------------------------------------------

void TPageViewer::Open(int index, bool backward)
{
    if (index < 0 || index >= Count())
        return;
    CancelStep();
    TMovePlan plan = fMover.GoToIndex(index, Count(), backward);
    Execute(plan, true);
    WaitForOpening();
}

TMovePlan TPageViewer::RunMove(TMoveCommand command)
{
    if (StepPending()) {
        // The move starts from the pair the gathering step shows: it waits.
        if (fWaitingMoves.size() < MaxWaitingMoves)
            fWaitingMoves.push_back(command);
        return TMovePlan{TMoveOutcome::moNothing, -1, fMover.TravelBackward()};
    }
    return RunMoveNow(command);
}

TMovePlan TPageViewer::RunMoveNow(TMoveCommand command)
{
    TMovePlan plan = fMover.Move(command, Shown(), Count());
    Execute(plan, true);
    return plan;
}

TMovePlan TPageViewer::GoToIndex(int index)
{
    // A jump does not depend on the pair shown: it replaces a step still
    // gathering, and the moves waiting behind it.
    CancelStep();
    TMovePlan plan = fMover.GoToIndex(index, Count());
    Execute(plan, true);
    return plan;
}

void TPageViewer::Execute(TMovePlan& plan, bool gather)
{
    if (plan.StopCache)
        StopCache();
    if (plan.Outcome != TMoveOutcome::moShow) {
        ClearPlacementMarks();
        return;
    }
    if (fCache && plan.DirectionChanged)
        fCache->SetTravelDirection(plan.TravelBackward);
    if (plan.FromCache && !fCache && CacheWanted())
        StartCache();
    TShowRequest request;
    request.Index = plan.Index;
    request.FromCache = plan.FromCache && fCache != nullptr;
    request.RandomMove = plan.RandomMove;
    request.RouteAhead = plan.RouteAhead;
    request.RouteBehind = plan.RouteBehind;
    if (gather && fAsync && StartStep(request, plan.TravelBackward))
        return;
    fLayout.SetTravelBackward(plan.TravelBackward);
    ShowImage(request);
}

// --- Gathered steps -------------------------------------------------------------------

void TPageViewer::SetAsyncSteps(bool on)
{
    if (!on) {
        CancelStep();
        CancelFullLoad();
    }
    fAsync = on && fDispatcher != nullptr;
}

std::vector<int> TPageViewer::StepIndexes(const TShowRequest& request) const
{
    std::vector<int> indexes{request.Index};
    const bool firstAlone = fOptions.Picture.FirstImage && !request.RandomMove && request.Index == 0;
    if (fLayout.ViewState().ViewMode != TViewMode::vmSingle && !firstAlone) {
        const int partner = fMover.PartnerIndex(request.Index, Count(), request.RandomMove);
        if (partner >= 0 && partner != request.Index)
            indexes.push_back(partner);
    }
    return indexes;
}

bool TPageViewer::StartStep(const TShowRequest& request, bool travelBackward)
{
    ReapSteps(false);
    if (!fDispatcher || !fSource)
        return false;
    // Shown pages are at hand, and so is a page known not to be readable
    // when the same pages are laid out again. The partner is gathered even
    // when the primary may turn out to stand alone: which it does is known
    // only once it is decoded.
    auto atHand = [&](int index) {
        return (fPrimary.Index == index && fPrimary.HasBitmap()) ||
               (fPartner.Index == index && fPartner.HasBitmap()) || (request.Relayout && fFailed.count(index) > 0);
    };
    std::vector<int> missing;
    for (const int index : StepIndexes(request))
        if (index >= 0 && index < Count() && !atHand(index))
            missing.push_back(index);
    if (missing.empty())
        return false;

    TStepLoad::TCacheWait wait;
    if (request.FromCache && fCache) {
        std::vector<int> positions;
        for (const int index : missing)
            positions.push_back(PositionOf(index));
        if (std::find(positions.begin(), positions.end(), -1) == positions.end()) {
            if (fCache->HeadsReady(TravelQueue(), positions))
                return false;
            wait.Cache = fCache;
            wait.Direction = TravelQueue();
            wait.Positions = std::move(positions);
            wait.Limit = fCacheWaitLimit;
        }
    } else if (fCache && !request.Relayout) {
        // A jump: the cache stops working for the old place at once.
        fCache->Retarget(TCacheShown{PositionOf(request.Index), -1});
    }
    std::map<int, std::unique_ptr<TPictureLoadJob>> jobs;
    for (const int index : missing) {
        std::unique_ptr<TPictureLoadJob> job = fSource->PrepareLoad(fItems[static_cast<size_t>(index)]);
        if (!job)
            return false;
        jobs.emplace(index, std::move(job));
    }

    auto step = std::make_unique<TPendingStep>();
    step->Scaled = std::make_shared<std::map<int, TStepScaled>>();
    auto afterLoad = ScaleAhead(request, travelBackward, step->Scaled);
    step->Generation = ++fGeneration;
    step->Request = request;
    step->TravelBackward = travelBackward;
    step->Cache = wait.Cache;
    TDispatcher* dispatcher = fDispatcher;
    const std::weak_ptr<int> alive = fAlive;
    const uint64_t generation = step->Generation;
    try {
        step->Load = std::make_unique<TStepLoad>(std::move(wait), std::move(jobs), [dispatcher, alive, generation, this] {
            dispatcher->Post([alive, generation, this] {
                if (alive.lock())
                    CompleteStep(generation);
            });
        }, std::move(afterLoad));
    } catch (const std::system_error&) {
        return false;
    }
    fPending = std::move(step);
    return true;
}

std::function<void(const std::map<int, std::unique_ptr<TPictureLoadJob>>&)> TPageViewer::ScaleAhead(
    const TShowRequest& request, bool travelBackward, const std::shared_ptr<std::map<int, TStepScaled>>& into) const
{
    const TStretchMode stretch = fOptions.Picture.Stretch;
    if (!MethodOfStretchMode(stretch) || !fSource)
        return nullptr;
    // The worker measures the pair on a copy of the layout, as the step will;
    // the pages at hand lend their sizes.
    TPageLayout guess = fLayout;
    guess.SetTravelBackward(travelBackward);
    std::map<int, TSize> known;
    for (const TImageSlot* slot : {&fPrimary, &fPartner})
        if (slot->HasBitmap())
            known[slot->Index] = TSize{slot->PictureWidth(), slot->PictureHeight()};
    const std::vector<int> indexes = StepIndexes(request);
    const int primary = indexes[0];
    const int partner = indexes.size() > 1 ? indexes[1] : -1;
    return [guess, known, primary, partner, stretch, ratio = fDeviceRatio, source = fSource,
            into](const std::map<int, std::unique_ptr<TPictureLoadJob>>& jobs) mutable {
        auto slotOf = [&](int index) -> const TImageSlot* {
            const auto job = jobs.find(index);
            return job != jobs.end() && job->second->Loaded().HasBitmap() ? &job->second->Loaded() : nullptr;
        };
        auto sizeOf = [&](int index) -> std::optional<TSize> {
            if (const TImageSlot* slot = slotOf(index))
                return TSize{slot->PictureWidth(), slot->PictureHeight()};
            const auto it = known.find(index);
            return it != known.end() ? std::optional<TSize>(it->second) : std::nullopt;
        };
        const std::optional<TSize> first = sizeOf(primary);
        if (!first)
            return;
        guess.ApplyRatioState();
        guess.MeasurePage(0, first->Width, first->Height);
        bool paired = false;
        if (guess.SpreadActive() && partner >= 0) {
            if (const std::optional<TSize> second = sizeOf(partner)) {
                guess.MeasurePage(1, second->Width, second->Height);
                paired = guess.SpreadActive();
            }
        }
        if (!paired)
            guess.MeasurePage(1, 0, 0);
        // Each page on a processor of its own, as the view would scale them.
        auto scale = [&](int page, int index) {
            const TImageSlot* slot = slotOf(index);
            if (!slot)
                return TStepScaled{};
            const std::optional<TPrescaleTarget> target = WholePageTarget(guess, page, *slot, stretch, ratio);
            if (!target)
                return TStepScaled{};
            return TStepScaled{*target, slot->Bitmap.get(),
                               source->Prescale(*slot->Bitmap, slot->Gray, target->DisplayWidth,
                                                target->DisplayHeight, target->Stretch)};
        };
        std::future<TStepScaled> second;
        if (paired) {
            try {
                second = std::async(std::launch::async, [&] { return scale(1, partner); });
            } catch (const std::system_error&) {
                // Scaled after the first page, below.
            }
        }
        TStepScaled made = scale(0, primary);
        if (made.Bitmap)
            (*into)[primary] = std::move(made);
        if (paired) {
            TStepScaled other = second.valid() ? second.get() : scale(1, partner);
            if (other.Bitmap)
                (*into)[partner] = std::move(other);
        }
    };
}

void TPageViewer::CompleteStep(uint64_t generation, bool hosted)
{
    ReapSteps(false);
    if (!fPending || fPending->Generation != generation || !fPending->Load->Finished())
        return;
    std::unique_ptr<TPendingStep> step = std::move(fPending);
    const auto complete = [this, &step] {
        if (step->Load->CacheReady() && step->Cache != fCache) {
            // The cache the pictures waited in was stopped meanwhile (new
            // options, loaders or filter): they are gathered again.
            const TShowRequest request = step->Request;
            const bool backward = step->TravelBackward;
            step.reset();
            TShowRequest again = request;
            again.FromCache = request.FromCache && fCache != nullptr;
            if (StartStep(again, backward))
                return;
            fLayout.SetTravelBackward(backward);
            ShowImage(again);
        } else {
            fPreloaded = step->Load->TakeJobs();
            fCompleting = true;
            try {
                fLayout.SetTravelBackward(step->TravelBackward);
                ShowImage(step->Request);
            } catch (...) {
                fCompleting = false;
                fPreloaded.clear();
                throw;
            }
            fCompleting = false;
            for (int page = 0; page < 2; ++page) {
                const auto scaled = step->Scaled->find(PageSlot(page).Index);
                if (PageSlot(page).Index >= 0 && scaled != step->Scaled->end())
                    KeepEarlyScale(page, scaled->second.Target, scaled->second.Picture, scaled->second.Bitmap);
            }
            // Loads the step did not use (a primary standing alone) go
            // unseen, as a partner never asked for.
            fPreloaded.clear();
            step.reset();
        }
        // The moves made meanwhile, in their order; one may start gathering
        // again, and the rest wait behind it.
        while (!fPending && !fWaitingMoves.empty()) {
            const TMoveCommand command = fWaitingMoves.front();
            fWaitingMoves.pop_front();
            const TMovePlan plan = RunMoveNow(command);
            if (plan.Outcome != TMoveOutcome::moShow && plan.Outcome != TMoveOutcome::moNothing && fDeferredPlans)
                fDeferredPlans(plan);
        }
    };
    if (fStepHost && hosted)
        fStepHost(complete);
    else
        complete();
}

void TPageViewer::CancelStep()
{
    if (fPending) {
        fPending->Load->Cancel();
        fRetired.push_back(std::move(fPending->Load));
        fPending.reset();
    }
    fWaitingMoves.clear();
}

void TPageViewer::ReapSteps(bool all)
{
    // A finished worker has only to end its thread; a cancelled one still in
    // a decode is left until it finishes (or, with all, waited for).
    const auto done = std::remove_if(fRetired.begin(), fRetired.end(), [all](const std::unique_ptr<TStepLoad>& load) {
        return all || load->Finished();
    });
    fRetired.erase(done, fRetired.end());
}

TImageSlot TPageViewer::TakePreloaded(int index)
{
    const auto it = fPreloaded.find(index);
    std::unique_ptr<TPictureLoadJob> job = std::move(it->second);
    fPreloaded.erase(it);
    ++fDirectLoads;
    TImageSlot slot = job->Finish();
    slot.Index = index;
    RecordDirectLoad(slot);
    return slot;
}

void TPageViewer::ShowImage(const TShowRequest& request)
{
    fAnimation.Stop();
    std::vector<TImageSlot> held;
    if (fPrimary.Index >= 0)
        held.push_back(std::move(fPrimary));
    if (fPartner.Index >= 0)
        held.push_back(std::move(fPartner));
    fPrimary.Clear();
    fPartner.Clear();

    // A step by one page passes the shown pages through the queues, so the
    // page that stays on screen is not loaded again.
    if (request.FromCache) {
        auto route = [&](int index, TCacheDirection direction) {
            if (index < 0)
                return;
            for (auto it = held.begin(); it != held.end(); ++it) {
                if (it->Index == index) {
                    HandBack(std::move(*it), direction, false);
                    held.erase(it);
                    return;
                }
            }
        };
        route(request.RouteBehind, TCacheDirection::cdBehind);
        route(request.RouteAhead, TCacheDirection::cdAhead);
    }

    fRandomShown = request.RandomMove;
    // When both pages of a spread are loaded here, the partner decodes on a
    // worker meanwhile; everything after goes on exactly as if it had been
    // loaded in its turn, its messages shown at that point.
    const std::unique_ptr<TPartnerLoad> partnerLoad = StartPartnerLoad(request, held);
    fPrimary = Obtain(request.Index, request.FromCache, held);
    fLayout.ApplyRatioState();
    if (!fPrimary.HasBitmap()) {
        // The loader has shown its message; the view stays empty. The
        // position is kept so that moves go on from here.
        fLayout.ClearView();
        fScroll.ResetCounters();
    } else {
        fLayout.MeasurePage(0, fPrimary.PictureWidth(), fPrimary.PictureHeight());
        const bool firstAlone = fOptions.Picture.FirstImage && !request.RandomMove && request.Index == 0;
        bool partnerMeasured = false;
        if (fLayout.SpreadActive() && !firstAlone) {
            const int partnerIndex = fMover.PartnerIndex(request.Index, Count(), request.RandomMove);
            if (partnerIndex >= 0) {
                // While the partner loads, the primary is scaled on a worker
                // for the size it shows at beside a partner of its own size,
                // the common case in a book.
                std::future<std::shared_ptr<TBitmap>> early;
                const std::shared_ptr<TBitmap> primary = fPrimary.Bitmap;
                const std::optional<TPrescaleTarget> target = EarlyScaleTarget(partnerIndex, held);
                const bool loadingPartner = partnerLoad && partnerLoad->Index() == partnerIndex;
                if (loadingPartner)
                    partnerLoad->ScaleFor(target);
                if (target)
                    early = std::async(std::launch::async,
                                       [source = fSource, picture = primary, gray = fPrimary.Gray, t = *target] {
                                           try {
                                               return source->Prescale(*picture, gray, t.DisplayWidth, t.DisplayHeight,
                                                                       t.Stretch);
                                           } catch (...) {
                                               return std::shared_ptr<TBitmap>();
                                           }
                                       });
                TImageSlot partner = loadingPartner ? TakePartnerLoad(*partnerLoad, held)
                                                    : Obtain(partnerIndex, request.FromCache, held, request.Relayout);
                const TBitmap* partnerPicture = partner.Bitmap.get();
                if (partner.HasBitmap()) {
                    partnerMeasured = true;
                    fLayout.MeasurePage(1, partner.PictureWidth(), partner.PictureHeight());
                    if (fLayout.SpreadActive()) {
                        fPartner = std::move(partner);
                        if (request.RandomMove)
                            fMover.PartnerShown(Count());
                    } else {
                        // A landscape partner, or a pair too wide: it goes
                        // back to the queue it came from.
                        HandBack(std::move(partner), TravelQueue(), false);
                    }
                }
                if (early.valid())
                    KeepEarlyScale(0, *target, primary.get(), early.get());
                if (loadingPartner && partnerLoad->Scaled() && fPartner.Index == partnerIndex)
                    KeepEarlyScale(1, *partnerLoad->Target(), partnerPicture, partnerLoad->Scaled());
            }
        }
        if (!partnerMeasured)
            fLayout.MeasurePage(1, 0, 0);
    }

    // The pages left behind go to the queue on the side they now lie, the
    // one nearest the new pair at the head.
    const bool backward = fMover.TravelBackward();
    std::sort(held.begin(), held.end(), [&](const TImageSlot& a, const TImageSlot& b) {
        return backward ? PositionOf(a.Index) > PositionOf(b.Index) : PositionOf(a.Index) < PositionOf(b.Index);
    });
    for (TImageSlot& slot : held)
        HandBack(std::move(slot), backward ? TCacheDirection::cdAhead : TCacheDirection::cdBehind, true);
    ResumeCache();
    WantFullPictures();
}

TImageSlot TPageViewer::Obtain(int index, bool fromCache, std::vector<TImageSlot>& held, bool relayout)
{
    if (relayout && fFailed.count(index)) {
        TImageSlot failed;
        failed.Index = index;
        return failed;
    }
    for (auto it = held.begin(); it != held.end(); ++it) {
        if (it->Index == index) {
            TImageSlot slot = std::move(*it);
            held.erase(it);
            if (slot.HasBitmap())
                return slot;
            break;
        }
    }
    if (fPreloaded.count(index))
        return TakePreloaded(index);
    if (fromCache && fCache) {
        const int position = PositionOf(index);
        if (position >= 0) {
            // A gathered step has had its wait on its worker.
            TImageSlot slot = fCache->TakeNext(TravelQueue(), position,
                                               fCompleting ? std::chrono::milliseconds(0) : fCacheWaitLimit);
            if (slot.Index == index && slot.HasBitmap())
                return slot;
        }
    }
    // Not cached, the wait for the thread gave up, or the thread could not
    // decode it: loaded here, so that a failure shows the loader's message.
    return LoadDirect(index);
}

bool TPageViewer::LoadsDirectly(int index, const std::vector<TImageSlot>& held, bool relayout) const
{
    if (index < 0 || index >= Count() || (relayout && fFailed.count(index)) || fPreloaded.count(index))
        return false;
    return std::none_of(held.begin(), held.end(),
                        [index](const TImageSlot& slot) { return slot.Index == index && slot.HasBitmap(); });
}

std::unique_ptr<TPageViewer::TPartnerLoad> TPageViewer::StartPartnerLoad(const TShowRequest& request,
                                                                         const std::vector<TImageSlot>& held)
{
    // Only a spread wants a partner, and there are two loads to overlap only
    // when neither page comes from the cache or from the pages shown so far.
    // A partner loaded for a primary that turns out to stand alone (a
    // landscape page, one that cannot be read) is dropped unseen, as it was
    // never asked for.
    if (!fSource || request.FromCache || fLayout.ViewState().ViewMode == TViewMode::vmSingle)
        return nullptr;
    if (fOptions.Picture.FirstImage && !request.RandomMove && request.Index == 0)
        return nullptr;
    const int partnerIndex = fMover.PartnerIndex(request.Index, Count(), request.RandomMove);
    if (partnerIndex < 0 || partnerIndex == request.Index || !LoadsDirectly(request.Index, held, false) ||
        !LoadsDirectly(partnerIndex, held, request.Relayout))
        return nullptr;
    std::unique_ptr<TPictureLoadJob> job = fSource->PrepareLoad(fItems[static_cast<size_t>(partnerIndex)]);
    if (!job)
        return nullptr;
    try {
        return std::make_unique<TPartnerLoad>(partnerIndex, std::move(job), fSource);
    } catch (const std::system_error&) {
        // No thread to be had: the partner loads after the primary.
        return nullptr;
    }
}

TImageSlot TPageViewer::TakePartnerLoad(TPartnerLoad& load, std::vector<TImageSlot>& held)
{
    // As a direct load through Obtain: a held slot of the page without its
    // picture is let go.
    const auto stale = std::find_if(held.begin(), held.end(),
                                    [&](const TImageSlot& slot) { return slot.Index == load.Index(); });
    if (stale != held.end())
        held.erase(stale);
    ++fDirectLoads;
    TImageSlot slot = load.Take();
    slot.Index = load.Index();
    RecordDirectLoad(slot);
    return slot;
}

std::optional<TPrescaleTarget> TPageViewer::EarlyScaleTarget(int partnerIndex,
                                                             const std::vector<TImageSlot>& held) const
{
    if (!fSource)
        return std::nullopt;
    // A partner at hand is measured at once: nothing to overlap.
    for (const TImageSlot& slot : held)
        if (slot.Index == partnerIndex && slot.HasBitmap())
            return std::nullopt;
    if (fPreloaded.count(partnerIndex))
        return std::nullopt;
    TPageLayout guess = fLayout;
    guess.MeasurePage(1, fPrimary.PictureWidth(), fPrimary.PictureHeight());
    const std::optional<TPrescaleTarget> target =
        WholePageTarget(guess, 0, fPrimary, fOptions.Picture.Stretch, fDeviceRatio);
    if (!target || fPrimary.ScaledFor(target->DisplayWidth, target->DisplayHeight, target->Stretch))
        return std::nullopt;
    return target;
}

void TPageViewer::KeepEarlyScale(int page, const TPrescaleTarget& target, const TBitmap* picture,
                                 std::shared_ptr<TBitmap> scaled)
{
    // A partner of another size, or none, puts the pages at other sizes: the
    // view scales them itself. So it does when another picture became the
    // page meanwhile (a command run while a loader's message was shown).
    TImageSlot& slot = page == 1 ? fPartner : fPrimary;
    const TSize display = DeviceSize(fLayout.PageSize(page), fDeviceRatio);
    if (!scaled || slot.Bitmap.get() != picture || !fLayout.PageShown(page) ||
        fLayout.PageRatio(page) * fDeviceRatio == 1.0 ||
        display.Width != target.DisplayWidth || display.Height != target.DisplayHeight)
        return;
    slot.Scaled = std::move(scaled);
    slot.ScaledWidth = target.DisplayWidth;
    slot.ScaledHeight = target.DisplayHeight;
    slot.ScaledStretch = target.Stretch;
}

TImageSlot TPageViewer::LoadDirect(int index)
{
    if (index < 0 || index >= Count() || !fSource)
        return TImageSlot{};
    ++fDirectLoads;
    TImageSlot slot = fSource->Load(fItems[static_cast<size_t>(index)]);
    slot.Index = index;
    RecordDirectLoad(slot);
    return slot;
}

void TPageViewer::RecordDirectLoad(const TImageSlot& slot)
{
    if (slot.HasBitmap())
        fFailed.erase(slot.Index);
    else
        fFailed.insert(slot.Index);
}

void TPageViewer::HandBack(TImageSlot slot, TCacheDirection direction, bool trim)
{
    if (!fCache || !slot.HasBitmap())
        return;
    const int position = PositionOf(slot.Index);
    if (position >= 0)
        fCache->GiveBack(direction, position, std::move(slot), trim);
}

void TPageViewer::RefreshLayout(bool recompute)
{
    fAnimation.Stop();
    if (!fPrimary.HasBitmap())
        return;
    if (recompute)
        fLayout.ApplyRatioState();
    fLayout.MeasurePage(0, fPrimary.PictureWidth(), fPrimary.PictureHeight());
    const bool firstAlone = fOptions.Picture.FirstImage && !fRandomShown && fPrimary.Index == 0;
    if (!fLayout.SpreadActive() || firstAlone) {
        if (fPartner.Index >= 0) {
            if (fRandomShown)
                fMover.PartnerHidden(Count());
            HandBack(std::move(fPartner), TravelQueue(), false);
            fPartner.Clear();
        }
        fLayout.MeasurePage(1, 0, 0);
    } else if (fPartner.Index < 0) {
        // The view can show a pair now: the primary is shown again and its
        // partner sought.
        TShowRequest request;
        request.Index = fPrimary.Index;
        request.FromCache = fCache != nullptr;
        request.RandomMove = fRandomShown;
        request.Relayout = true;
        // A step gathering already lays out its own pair when it arrives.
        if (fPending)
            return;
        if (fAsync && StartStep(request, fMover.TravelBackward()))
            return;
        ShowImage(request);
        return;
    } else {
        fLayout.MeasurePage(1, fPartner.PictureWidth(), fPartner.PictureHeight());
        if (!fLayout.SpreadActive()) {
            if (fRandomShown)
                fMover.PartnerHidden(Count());
            HandBack(std::move(fPartner), TravelQueue(), false);
            fPartner.Clear();
        }
    }
    ResumeCache();
    WantFullPictures();
}

void TPageViewer::Reload()
{
    // A full load was asked with the old finishing step.
    CancelFullLoad();
    fFullFailed.clear();
    if (fPending) {
        // The step on its way was gathered with the old finishing step: it
        // is gathered again, and the pages shown so far, stale now, go.
        const TShowRequest request = fPending->Request;
        const bool backward = fPending->TravelBackward;
        std::deque<TMoveCommand> waiting = std::move(fWaitingMoves);
        CancelStep();
        fWaitingMoves = std::move(waiting);
        StopCache();
        fPrimary.Clear();
        fPartner.Clear();
        TShowRequest again = request;
        again.FromCache = false;
        if (StartStep(again, backward))
            return;
        fLayout.SetTravelBackward(backward);
        ShowImage(again);
        return;
    }
    StopCache();
    const int index = fPrimary.Index;
    const bool partnerShown = fPartner.Index >= 0;
    fPrimary.Clear();
    fPartner.Clear();
    if (index < 0)
        return;
    // Showing the primary again seeks its partner and moves the random place
    // onto it; the place steps back only from a partner that was shown, or
    // a single page would be shown twice in the round.
    if (fRandomShown && partnerShown)
        fMover.PartnerHidden(Count());
    TShowRequest request;
    request.Index = index;
    request.RandomMove = fRandomShown;
    if (fAsync && StartStep(request, fLayout.TravelBackward())) {
        WaitForOpening();
        return;
    }
    ShowImage(request);
}

void TPageViewer::WaitForOpening()
{
    // Callers read what is shown right after: a picture that arrives within
    // the limit is shown now, in the caller's step.
    if (fPending && fPending->Load->WaitFinished(OpenWaitLimit))
        CompleteStep(fPending->Generation, false);
}

void TPageViewer::ShowPreview(TImageSlot primary, TImageSlot partner)
{
    StopCache();
    // The preview's pictures are not to be replaced by a load under the
    // filters in use.
    CancelFullLoad();
    if (fPrimary.Index < 0 || primary.Index != fPrimary.Index)
        return;
    fPrimary = std::move(primary);
    if (fPartner.Index >= 0 && partner.Index == fPartner.Index)
        fPartner = std::move(partner);
    // Trimming or a margin may change a page's size: both are measured, the
    // partner last, as a step measures them.
    fLayout.MeasurePage(0, fPrimary.PictureWidth(), fPrimary.PictureHeight());
    fLayout.MeasurePage(1, fPartner.PictureWidth(), fPartner.PictureHeight());
}

void TPageViewer::Close()
{
    CancelStep();
    CancelFullLoad();
    StopCache();
    fPrimary.Clear();
    fPartner.Clear();
    fRandomShown = false;
    fLayout.ClearView();
    fMover.Reset();
    fScroll.ResetCounters();
    fAnimation.Stop();
}

// --- View commands -------------------------------------------------------------------

void TPageViewer::ZoomStep(bool enlarge, std::optional<TPoint> mouse)
{
    TViewState state = fLayout.ViewState();
    state.DefSize = false;
    SetViewState(state);
    if (!fPrimary.HasBitmap())
        return;
    fAnimation.Stop();
    if (mouse) {
        const TRect content = fLayout.ContentRect();
        fLayout.SetZoomAnchor(TPoint{mouse->X - content.Left, mouse->Y - content.Top});
    }
    fLayout.ZoomBy(false, mouse.has_value(), ::ZoomStep(fOptions.Picture.ScalingRatio, enlarge));
    if (fOptions.Picture.RatioChange) {
        state.ScaleMode = TScaleMode::smRatio;
        state.RatioItem = CustomRatioItem;
        state.CustomRatio = fLayout.PageRatio(0);
        SetViewState(state);
    }
    WantFullPictures();
}

void TPageViewer::ActualSize(bool on)
{
    TViewState state = fLayout.ViewState();
    state.DefSize = on;
    SetViewState(state);
    fAnimation.Stop();
    if (on) {
        if (fPrimary.HasBitmap())
            fLayout.ZoomBy(false, false, 0.0);
        WantFullPictures();
    } else {
        RefreshLayout(true);
    }
}

bool TPageViewer::ZoomToBand(TPoint a, TPoint b)
{
    if (!fPrimary.HasBitmap())
        return false;
    const auto zoom = RubberBandZoom(a, b, fLayout.ContentRect(), fLayout.ClientSize());
    if (!zoom)
        return false;
    fAnimation.Stop();
    fLayout.SetZoomAnchor(zoom->Anchor);
    fLayout.ZoomBy(true, true, zoom->Factor);
    WantFullPictures();
    return true;
}

void TPageViewer::Drag(TPoint delta, TDragMode mode)
{
    const TRect content = fLayout.ContentRect();
    const TSize client = fLayout.ClientSize();
    // Dragging scrolls only content larger than the view.
    if (!fPrimary.HasBitmap() || (content.Width() <= client.Width && content.Height() <= client.Height))
        return;
    const TPoint wanted = DragScroll(delta, mode, fOptions.Scroll.DragScrollQuantity);
    const TPoint step = ClampScroll(wanted.X, wanted.Y, content, client);
    if (step.X != 0 || step.Y != 0)
        fLayout.ScrollBy(step.X, step.Y);
}

void TPageViewer::SelectRatio(int item)
{
    TViewState state = fLayout.ViewState();
    state.ScaleMode = TScaleMode::smRatio;
    state.RatioItem = std::clamp(item, 0, CustomRatioItem);
    state.DefSize = false;
    SetViewState(state);
    RefreshLayout(true);
}

void TPageViewer::StepRatio(bool up)
{
    const double ratio = fLayout.PageRatio(0);
    SelectRatio(up ? NextRatioPresetItem(ratio) : PriorRatioPresetItem(ratio));
}

void TPageViewer::SelectFit(TWindowFit fit)
{
    TViewState state = fLayout.ViewState();
    state.ScaleMode = TScaleMode::smFit;
    state.WindowFit = fit;
    state.DefSize = false;
    SetViewState(state);
    RefreshLayout(true);
}

void TPageViewer::CycleFit()
{
    const TViewState& state = fLayout.ViewState();
    SelectFit(NextWindowFit(state.ScaleMode == TScaleMode::smFit, state.WindowFit));
}

void TPageViewer::SelectSize(int pixels, TSizeDir direction)
{
    TViewState state = fLayout.ViewState();
    state.ScaleMode = TScaleMode::smSize;
    state.SetSize = std::clamp(pixels, 1, 5000);
    state.SizeDir = direction;
    state.DefSize = false;
    SetViewState(state);
    RefreshLayout(true);
}

void TPageViewer::SelectViewMode(TViewMode mode)
{
    TViewState state = fLayout.ViewState();
    state.ViewMode = mode;
    SetViewState(state);
    RefreshLayout(state.ScaleMode == TScaleMode::smFit);
}

void TPageViewer::CycleViewMode()
{
    SelectViewMode(NextViewMode(fLayout.ViewState().ViewMode));
}

void TPageViewer::SelectBinding(TBinding binding)
{
    TViewState state = fLayout.ViewState();
    state.Binding = binding;
    SetViewState(state);
    RefreshLayout(state.ScaleMode == TScaleMode::smFit);
}

void TPageViewer::ChangeLayoutOptions(const TViewState& changed)
{
    TViewState state = changed;
    state.DefSize = false;
    SetViewState(state);
    RefreshLayout(state.ScaleMode == TScaleMode::smFit);
}

// --- Scrolling ------------------------------------------------------------------------

TScrollResult TPageViewer::RunScroll(TScrollCommand command, bool fromKey, TMovePlan* moved)
{
    fAnimation.Stop();
    if (!fPrimary.HasBitmap())
        return TScrollResult{};
    const TScrollResult result =
        fScroll.Run(command, fromKey, fLayout.ViewState().Binding, fLayout.ClientSize(), fLayout.ContentRect());
    if (result.Move) {
        // The marks make the picture entered backwards open at its far end.
        // A move that waits behind a gathering step leaves them alone: they
        // would act on the pair on its way, not on the one the move enters.
        if (!StepPending()) {
            fLayout.SetStartAtBottom(result.StartAtBottom);
            fLayout.SetStartAtOppositeSide(result.StartAtOppositeSide);
        }
        const TMovePlan plan = RunMove(result.MoveCommand);
        if (moved)
            *moved = plan;
    } else if (result.DX != 0 || result.DY != 0) {
        if (fOptions.Scroll.ScrollAnimate)
            fAnimation.Start(result.DX, result.DY, fOptions.Scroll.AnimateSpeed);
        else
            fLayout.ScrollBy(result.DX, result.DY);
    }
    return result;
}

bool TPageViewer::AnimationTick()
{
    if (!fAnimation.Active())
        return false;
    const TPoint step = fAnimation.Tick();
    fLayout.ScrollBy(step.X, step.Y);
    return fAnimation.Active();
}

void TPageViewer::ClearPlacementMarks()
{
    fLayout.SetStartAtBottom(false);
    fLayout.SetStartAtOppositeSide(false);
}

// --- Pictures in full -------------------------------------------------------------------

std::function<TSize()> TPageViewer::DecodeBoxReader() const
{
    return [box = fDecodeBox] { return UnpackDecodeBox(box->load(std::memory_order_relaxed)); };
}

void TPageViewer::UpdateDecodeBox()
{
    // Large pictures are decoded reduced to the view's device pixels.
    const TSize client = DeviceSize(fLayout.ClientSize(), fDeviceRatio);
    fDecodeBox->store(PackDecodeBox(FitDecodeBox(fLayout.ViewState(), client)), std::memory_order_relaxed);
}

void TPageViewer::SetDetailWanted(bool wanted)
{
    if (fDetailWanted == wanted)
        return;
    fDetailWanted = wanted;
    WantFullPictures();
}

void TPageViewer::WantFullPictures()
{
    // Never decoded here: without a worker the reduced picture stays.
    if (!fAsync || !fDispatcher || !fSource)
        return;
    std::set<int> wanted;
    for (int page = 0; page < 2; ++page) {
        const TImageSlot& slot = PageSlot(page);
        // The page is scaled to device pixels: so many it needs.
        const TSize display = DeviceSize(fLayout.PageSize(page), fDeviceRatio);
        const bool wantsMore = slot.NeedsFull(display.Width, display.Height) ||
                               (fDetailWanted && slot.Reduced && slot.Bitmap);
        if (fLayout.PageShown(page) && wantsMore && fFullFailed.count(slot.Index) == 0)
            wanted.insert(slot.Index);
    }
    if (fFullLoad) {
        const bool stillShown = std::all_of(fFullLoad->Indexes.begin(), fFullLoad->Indexes.end(), [this](int index) {
            return (fPrimary.Index == index && fPrimary.Reduced) || (fPartner.Index == index && fPartner.Reduced);
        });
        if (stillShown && std::includes(fFullLoad->Indexes.begin(), fFullLoad->Indexes.end(), wanted.begin(),
                                        wanted.end()))
            return;
        CancelFullLoad();
    }
    if (wanted.empty())
        return;
    ReapSteps(false);
    std::map<int, std::unique_ptr<TPictureLoadJob>> jobs;
    for (const int index : wanted) {
        std::unique_ptr<TPictureLoadJob> job = fSource->PrepareFullLoad(fItems[static_cast<size_t>(index)]);
        if (!job)
            return;
        jobs.emplace(index, std::move(job));
    }
    auto load = std::make_unique<TFullLoad>();
    load->Generation = ++fGeneration;
    load->Indexes = wanted;
    TDispatcher* dispatcher = fDispatcher;
    const std::weak_ptr<int> alive = fAlive;
    const uint64_t generation = load->Generation;
    try {
        load->Load = std::make_unique<TStepLoad>(TStepLoad::TCacheWait{}, std::move(jobs),
                                                 [dispatcher, alive, generation, this] {
                                                     dispatcher->Post([alive, generation, this] {
                                                         if (alive.lock())
                                                             CompleteFullLoad(generation);
                                                     });
                                                 });
    } catch (const std::system_error&) {
        // No thread to be had: the reduced picture stays until the next zoom.
        return;
    }
    fFullLoad = std::move(load);
}

void TPageViewer::CompleteFullLoad(uint64_t generation)
{
    ReapSteps(false);
    if (!fFullLoad || fFullLoad->Generation != generation || !fFullLoad->Load->Finished())
        return;
    const std::unique_ptr<TFullLoad> load = std::move(fFullLoad);
    const auto complete = [this, &load] {
        bool resized = false;
        for (auto& [index, job] : load->Load->TakeJobs()) {
            // Shows what the load would have shown (a picture that no longer
            // fits the free memory says so).
            TImageSlot full = job->Finish();
            full.Index = index;
            TImageSlot* shown = fPrimary.Index == index ? &fPrimary : fPartner.Index == index ? &fPartner : nullptr;
            if (!shown || !shown->Reduced)
                continue;
            if (!full.HasBitmap()) {
                fFullFailed.insert(index);
                continue;
            }
            resized = resized || full.PictureWidth() != shown->PictureWidth() ||
                      full.PictureHeight() != shown->PictureHeight();
            *shown = std::move(full);
        }
        // The layout was made for the picture's full size already; only a
        // finishing step that trims may have made it another.
        if (resized) {
            fLayout.SetResizing(true);
            RefreshLayout(false);
            fLayout.SetResizing(false);
        }
    };
    if (fStepHost)
        fStepHost(complete);
    else
        complete();
}

void TPageViewer::CancelFullLoad()
{
    if (!fFullLoad)
        return;
    fFullLoad->Load->Cancel();
    fRetired.push_back(std::move(fFullLoad->Load));
    fFullLoad.reset();
}

// --- Results --------------------------------------------------------------------------

TShownPair TPageViewer::Shown() const
{
    return TShownPair{fPrimary.Index, fPartner.Index};
}

std::string TPageViewer::CaptionText() const
{
    if (!fPrimary.HasBitmap())
        return std::string();
    auto text = [&](const TImageSlot& slot, int page) {
        return PageCaptionText(fItems[static_cast<size_t>(slot.Index)].Path, slot.LoadedWidth, slot.LoadedHeight,
                               slot.PixelFormat, fLayout.PageRatio(page));
    };
    const bool spread = fLayout.SpreadActive() && fPartner.HasBitmap();
    return ::CaptionText(text(fPrimary, 0), spread ? text(fPartner, 1) : std::string(), spread,
                         fLayout.ViewState().BindRight(), fMover.TravelBackward());
}

std::string TPageViewer::PageLabel() const
{
    if (fPrimary.Index < 0) {
        // A first picture still gathering: its label shows already.
        if (!fPending || Count() == 0)
            return {};
        return ::PageLabel(fPending->Request.Index, -1, false, fLayout.ViewState().BindRight(),
                           fPending->TravelBackward, Count());
    }
    const bool spread = fLayout.SpreadActive() && fPartner.HasBitmap();
    return ::PageLabel(fPrimary.Index, fPartner.Index, spread, fLayout.ViewState().BindRight(),
                       fMover.TravelBackward(), Count());
}

int TPageViewer::SeekIndex() const
{
    if (fPrimary.Index < 0)
        return -1;
    if (fLayout.SpreadActive() && fPartner.Index >= 0)
        return std::min(fPrimary.Index, fPartner.Index);
    return fPrimary.Index;
}

// --- Cache ------------------------------------------------------------------------------

bool TPageViewer::CacheWanted() const
{
    // With both parts off the thread would have nothing to do: every step
    // loads directly.
    return fDecoders &&
           (fOptions.Cache.ImageCache || (fOptions.Cache.FileCache && fOptions.Cache.FileCacheSize > 0));
}

int TPageViewer::PositionOf(int index) const
{
    return fMover.PositionOf(index);
}

void TPageViewer::StartCache()
{
    TCacheSetup setup;
    setup.Options = fOptions.Cache;
    setup.ViewMode = fLayout.ViewState().ViewMode;
    setup.TravelBackward = fMover.TravelBackward();
    setup.Loop = fOptions.Move.LastFileMove == TEndOfList::elLoop;
    setup.Items = fItems;
    setup.Media = fMedia;
    if (fMover.Travel().RandomActive())
        setup.RandomOrder = fMover.Travel().RandomOrder;
    setup.Shown = TCacheShown{PositionOf(fPrimary.Index), fPartner.Index >= 0 ? PositionOf(fPartner.Index) : -1};
    fCache = std::make_shared<TImageCacheThread>(std::move(setup), fDecoders(), fDispatcher, fPrefetchListener);
}

void TPageViewer::StopCache()
{
    if (fCache) {
        fCache->Stop();
        fCache.reset();
    }
}

std::vector<TPrescaleTarget> TPageViewer::PrescaleTargets() const
{
    std::vector<TPrescaleTarget> targets;
    for (int page = 0; page < 2; ++page)
        if (const std::optional<TPrescaleTarget> target =
                WholePageTarget(fLayout, page, PageSlot(page), fOptions.Picture.Stretch, fDeviceRatio))
            targets.push_back(*target);
    return targets;
}

void TPageViewer::ResumeCache()
{
    // While a step gathers, the cache works for it, not for the pair shown.
    if (!fCache || fPrimary.Index < 0 || fPending)
        return;
    fCache->SetPrescaleTargets(PrescaleTargets());
    fCache->Resume(TCacheShown{PositionOf(fPrimary.Index), fPartner.Index >= 0 ? PositionOf(fPartner.Index) : -1});
}
