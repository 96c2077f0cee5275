#pragma once

// The viewer's reading logic in one place, without any window: the image
// list, the two picture slots (the page a move arrived at and its partner),
// the page layout, page movement, scrolling and the image cache working
// together. The browser window (or the separate image window) owns one, hands
// it the list, the options and the view's size, runs commands through it and
// paints what Layout() computed; outcomes that leave the list (the next
// folder, closing the picture, ending the program) come back as plans for
// the window to carry out. User-interface thread.

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <optional>
#include <string>
#include <vector>

#include "base/Dispatcher.h"
#include "viewer/Cache.h"
#include "viewer/PageLayout.h"
#include "viewer/PageMove.h"
#include "viewer/Scroll.h"

// One picture's load split in two, so that the partner page of a spread
// decodes on a worker while the user-interface thread loads the first page.
// Run does everything Load would do but show a message: what it would have
// shown is kept. Finish then shows those messages on the user-interface
// thread, in their order and at the moment Load would have shown them, and
// hands over the slot. A job dropped without Finish shows nothing.
class TPictureLoadJob {
public:
    virtual ~TPictureLoadJob() = default;
    // Any thread, once; touches nothing the user-interface thread uses.
    virtual void Run() = 0;
    // Run, for a step that may be abandoned: a load that can stop gives up
    // between rows once stop is set (its slot then holds no bitmap, and
    // nothing is shown for it). Loads that cannot stop just run.
    virtual void RunUntil(const std::atomic<bool>& stop) { Run(); }
    // The slot Run loaded, before Finish hands it over: the worker that ran
    // it may go on to scale the picture. No bitmap when loading failed.
    virtual const TImageSlot& Loaded() const = 0;
    // User-interface thread, after Run has returned. A slot with the item's
    // index, and no bitmap when loading failed.
    virtual TImageSlot Finish() = 0;
};

// Loads a picture for the shown pages: through the loader registry with the
// window as owner, so that a failure shows the loader's message, then
// prepared, filtered and rotated. User-interface thread.
class TPictureSource {
public:
    virtual ~TPictureSource() = default;
    // A slot with the item's index, and no bitmap when loading failed.
    virtual TImageSlot Load(const TCacheItem& item) = 0;
    // The same load as a job another thread may run (see TPictureLoadJob),
    // with the finishing step in force now; null when this source loads on
    // the user-interface thread only.
    virtual std::unique_ptr<TPictureLoadJob> PrepareLoad(const TCacheItem&) { return nullptr; }
    // The same, but the picture in full, never reduced for the view's box:
    // a page decoded reduced that the view zooms into is loaded again so.
    // Null when this source cannot.
    virtual std::unique_ptr<TPictureLoadJob> PrepareFullLoad(const TCacheItem&) { return nullptr; }
    // The whole picture scaled to width x height with the "Stretch" method
    // stretch, as the view would scale it, on one processor; null when this
    // source does not scale. Called on a worker thread while the partner page
    // of a spread loads, so that the first page is ready when its partner
    // is: it must touch nothing but its arguments.
    virtual std::shared_ptr<TBitmap> Prescale(const TBitmap& picture, bool gray, int width, int height,
                                              TStretchMode stretch) = 0;
};

// Makes the cache thread's decoder, with a snapshot of the filter list and
// the rotation in force when the thread starts.
using TDecoderFactory = std::function<std::shared_ptr<TCacheDecoder>()>;

struct TViewerOptions {
    TViewPictureOptions Picture;
    TViewMoveOptions Move;
    TViewScrollOptions Scroll;
    TViewCacheOptions Cache;
};

class TStepLoad;

class TPageViewer {
public:
    // A page the cache thread is still decoding is waited for this long
    // before the window loads it itself. Long enough for a large page from
    // a slow disk (the thread has usually begun on it before the step);
    // short enough that a decoder stuck on a damaged file leaves the window
    // frozen for a moment only, well before the desktop offers to end the
    // program as not responding (about five seconds).
    static constexpr std::chrono::milliseconds DefaultCacheWaitLimit{3000};
    // How long Open waits for a picture gathered on a worker before it lets
    // the window run on (see Open).
    static constexpr std::chrono::milliseconds OpenWaitLimit{40};


    explicit TPageViewer(TDecoderFactory decoders, TDispatcher* dispatcher = nullptr);
    ~TPageViewer();
    TPageViewer(const TPageViewer&) = delete;
    TPageViewer& operator=(const TPageViewer&) = delete;

    // --- Inputs -----------------------------------------------------------

    // New options. Cache settings restart the cache; the caller refreshes
    // the layout (with recomputation) when picture options changed.
    void SetOptions(const TViewerOptions& options);
    const TViewerOptions& Options() const { return fOptions; }
    // A new view state (mode, binding, fit, ratio, layout options); a new
    // view mode recounts the cache's limits. The caller then runs
    // RefreshLayout, recomputing when the command asks for it.
    void SetViewState(const TViewState& state);
    const TViewState& ViewState() const { return fLayout.ViewState(); }
    // The view's client size; a change lays the pages out again keeping the
    // reader's place.
    void SetClientSize(int width, int height);
    // The screen's device pixel ratio (2 on a screen scaled by two). The view
    // scales pages to device pixels, so pictures are scaled ahead to the
    // pages' device sizes, and large ones decoded reduced for the view's
    // device size.
    void SetDeviceRatio(double ratio);
    double DeviceRatio() const { return fDeviceRatio; }
    // A new image list and the source that loads its pictures: the cache
    // stops, the view is cleared. media: the items may lie on absent media
    // (media catalogues, search results).
    void SetList(std::vector<TCacheItem> items, std::shared_ptr<TPictureSource> source, bool media = false);
    // Pictures load through source from now on (the loaders changed); what
    // is shown stays, the cache starts again with the next step.
    void SetSource(std::shared_ptr<TPictureSource> source);
    // How long a step waits for the cache thread to deliver a picture
    // before loading it itself (DefaultCacheWaitLimit unless set).
    void SetCacheWaitLimit(std::chrono::milliseconds limit) { fCacheWaitLimit = limit; }
    // Told (through the dispatcher) of each picture the cache prefetched;
    // takes effect when the cache next starts.
    void SetPrefetchListener(TImageCacheThread::TPrefetchListener listener) { fPrefetchListener = std::move(listener); }
    int Count() const { return static_cast<int>(fItems.size()); }

    // Page steps off the window's thread. With it on (and a dispatcher that
    // runs tasks on this thread later), a move or jump whose pictures are
    // not at hand (shown already, or waiting at the head of the cache's
    // queue) gathers them on a worker; the pages shown so far stay shown
    // until the new pair is complete, then the step is carried out exactly
    // as it would have been at once, in one go. A jump, an Open, a new list
    // or Close drops a step still gathering (the newest wins); a move that
    // depends on the pair shown (next, prior) waits in order behind it.
    void SetAsyncSteps(bool on);
    bool AsyncSteps() const { return fAsync; }
    // Wraps the completion of a gathered step: the host runs complete inside
    // whatever it does around a user's step (holding messages, telling its
    // observers afterwards). Without one complete runs bare.
    void SetStepHost(std::function<void(const std::function<void()>& complete)> host) { fStepHost = std::move(host); }
    // The outcome of a move that waited behind a gathering step and led out
    // of the list (the next folder, the end of the list): the window carries
    // it out as if the move had just been made.
    void SetDeferredPlanListener(std::function<void(const TMovePlan&)> listener)
    {
        fDeferredPlans = std::move(listener);
    }
    // A step is gathering its pictures, or moves wait behind one.
    bool StepPending() const { return fPending != nullptr || !fWaitingMoves.empty(); }
    // A shown page decoded reduced is being loaded in full on a worker.
    bool FullLoadPending() const { return fFullLoad != nullptr; }
    // The pages' finest detail is wanted whatever their display size (the
    // loupe is on): a page decoded reduced is loaded in full, as for a zoom.
    void SetDetailWanted(bool wanted);
    // The box the loaders may decode large pictures reduced for (see
    // FitDecodeBox): the view's, as it is when asked. Any thread; it reads
    // only a word the viewer keeps up to date, and outlives the viewer.
    std::function<TSize()> DecodeBoxReader() const;
    // Moves that may wait behind a gathering step; further ones are dropped
    // (a key held down faster than pages decode).
    static constexpr size_t MaxWaitingMoves = 16;

    // --- Commands ---------------------------------------------------------

    // Shows the picture at index as a new picture (opening a file, a new
    // list): forward, loaded directly; backward when the list was entered
    // from its end (a backward move into the previous book). With steps off
    // the window's thread the pictures are gathered on a worker as for a
    // jump, and waited for up to OpenWaitLimit: a picture that arrives in
    // time is shown when Open returns, as without steps off the thread; a
    // slower one (a huge scan, a page deep in a solid archive) completes
    // through the event loop, and until then the page label names it.
    void Open(int index, bool backward = false);
    // A move command (after key exchange). A plan with moShow has been
    // carried out; other outcomes are for the window.
    TMovePlan RunMove(TMoveCommand command);
    // The seek bar's jump.
    TMovePlan GoToIndex(int index);
    // Lays the shown pair out again after a change of mode, option, size or
    // bars: a partner may be sought or
    // handed back.
    void RefreshLayout(bool recompute);
    // The filter or rotation changed: the cache's pictures are stale, the
    // shown picture is loaded again (gathered as Open gathers it).
    void Reload();
    // A preview of other filters: the shown pages take these pictures (a
    // slot whose index is not shown is ignored) and are measured again; the
    // cache stops, since it would prefetch with the filters in use. Reload
    // ends the preview.
    void ShowPreview(TImageSlot primary, TImageSlot partner);
    // Closes the picture: view cleared, cache stopped.
    void Close();
    // Ends the cache thread (before the loader registry is rebuilt, or
    // when the window closes); the next step starts it again.
    void StopCache();

    // --- View commands (menus, keys and mouse) ------------------------------

    // A zoom step (enlarge or shrink by "ScalingRatio"), at the mouse (view
    // coordinates) when given, else at the view's centre. Actual size is
    // switched off; with "RatioChange" the zoomed ratio becomes the fixed
    // ratio.
    void ZoomStep(bool enlarge, std::optional<TPoint> mouse = std::nullopt);
    // Actual size on (both pages at 100 %, zoomed at the centre) or off.
    void ActualSize(bool on);
    // A rubber band dragged from a to b (view coordinates) was released:
    // zooms so that the band fills the view. False when it missed the pages.
    bool ZoomToBand(TPoint a, TPoint b);
    // A grab drag moved the pointer by delta.
    void Drag(TPoint delta, TDragMode mode);
    // A ratio preset (0..8) or the entered ratio (9).
    void SelectRatio(int item);
    // The next preset above (or below) the current ratio.
    void StepRatio(bool up);
    // Fitting to the view; CycleFit steps none → whole → width → height → whole.
    void SelectFit(TWindowFit fit);
    void CycleFit();
    // A fixed display size along a direction.
    void SelectSize(int pixels, TSizeDir direction);
    void SelectViewMode(TViewMode mode);
    void CycleViewMode();
    void SelectBinding(TBinding binding);
    // A layout option changed (no enlarging, equal height or ratio, centre,
    // half sizes): actual size goes off and the pages are laid out again.
    void ChangeLayoutOptions(const TViewState& state);

    // A scroll command; a move it turns into is run (see moved). Returns
    // what was decided.
    TScrollResult RunScroll(TScrollCommand command, bool fromKey, TMovePlan* moved = nullptr);
    // One tick of a running scroll animation; false when it has ended.
    bool AnimationTick();
    bool Animating() const { return fAnimation.Active(); }
    // A wheel event: the button code the wheel acts as, once it acts.
    std::optional<int> Wheel(int delta) { return fScroll.Wheel(delta); }
    // A mouse command other than a scroll command.
    void MouseCommandRan() { fScroll.ResetEdgeCounter(); }

    // --- Results ----------------------------------------------------------

    const TPageLayout& Layout() const { return fLayout; }
    TPageLayout& Layout() { return fLayout; }
    const TImageSlot& Primary() const { return fPrimary; }
    const TImageSlot& Partner() const { return fPartner; }
    // The slot shown as page 0 or page 1 of the layout.
    const TImageSlot& PageSlot(int page) const { return page == 1 ? fPartner : fPrimary; }
    // What the image cache scales ahead: the display sizes of the pages
    // shown now, for pictures of their sizes.
    std::vector<TPrescaleTarget> PrescaleTargets() const;
    TShownPair Shown() const;
    bool TravelBackward() const { return fMover.TravelBackward(); }
    const TPageMover& Mover() const { return fMover; }
    // The caption text (without the program title) and the page label.
    std::string CaptionText() const;
    std::string PageLabel() const;
    // The index the seek bar shows: the lower page of the pair; -1 when
    // nothing is shown.
    int SeekIndex() const;
    // The running cache thread, or null.
    TImageCacheThread* Cache() const { return fCache.get(); }
    // Direct loads done so far (pictures not served by the cache).
    int DirectLoads() const { return fDirectLoads; }

private:
    struct TShowRequest {
        int Index = -1;
        bool FromCache = false;
        bool RandomMove = false;
        int RouteAhead = -1;
        int RouteBehind = -1;
        // A relayout shows the same pages again: a page that could not be
        // read is not read (and its message not shown) once more.
        bool Relayout = false;
    };

    // A picture a step's worker scaled for the page it is expected on.
    struct TStepScaled {
        TPrescaleTarget Target;
        const TBitmap* Picture = nullptr;
        std::shared_ptr<TBitmap> Bitmap;
    };
    // Loads finished on a worker, by list index, for the step being completed.
    using TPreloaded = std::map<int, std::unique_ptr<TPictureLoadJob>>;

    // gather: the step may gather its pictures on a worker.
    void Execute(TMovePlan& plan, bool gather);
    void ShowImage(const TShowRequest& request);
    // The pictures a step could show: the primary and the partner it may
    // pair with, in the order the step obtains them.
    std::vector<int> StepIndexes(const TShowRequest& request) const;
    // Shows the request at once when its pictures are at hand, otherwise
    // starts gathering them; false when nothing could be started (no thread
    // to be had) and the step is to run at once.
    bool StartStep(const TShowRequest& request, bool travelBackward);
    // The worker's scaling of a gathered step's pictures, on a copy of the
    // layout as it stands.
    std::function<void(const std::map<int, std::unique_ptr<TPictureLoadJob>>&)> ScaleAhead(
        const TShowRequest& request, bool travelBackward, const std::shared_ptr<std::map<int, TStepScaled>>& into) const;
    // hosted: run inside the step host (a step completing on its own);
    // false when the caller is in a step of its own already (Open).
    void CompleteStep(uint64_t generation, bool hosted = true);
    // After Open or Reload started a step: waits for it up to the open
    // limit, and carries it out if it finished in time.
    void WaitForOpening();
    TMovePlan RunMoveNow(TMoveCommand command);
    // Drops the gathering step and the moves waiting behind it.
    void CancelStep();
    void ReapSteps(bool all);
    // The partner page of a spread loading on a worker while the primary
    // loads; joined before it goes, whether it was used or not.
    class TPartnerLoad;
    TImageSlot Obtain(int index, bool fromCache, std::vector<TImageSlot>& held, bool relayout = false);
    TImageSlot TakePreloaded(int index);
    // The partner a direct load of the primary at request.Index will want,
    // started on a worker when both pages would be loaded directly; null
    // otherwise.
    std::unique_ptr<TPartnerLoad> StartPartnerLoad(const TShowRequest& request,
                                                   const std::vector<TImageSlot>& held);
    // A direct load would be made of the picture at index: it is neither
    // held with its picture nor known to fail again.
    bool LoadsDirectly(int index, const std::vector<TImageSlot>& held, bool relayout) const;
    // The partner load's picture, taken as a direct load would be.
    TImageSlot TakePartnerLoad(TPartnerLoad& load, std::vector<TImageSlot>& held);
    TImageSlot LoadDirect(int index);
    // What every direct load records, whichever thread loaded it.
    void RecordDirectLoad(const TImageSlot& slot);
    // The size the primary shows at beside a partner of its own size, when
    // the primary is to be scaled while the partner loads: resampled whole,
    // not scaled yet, the partner not at hand in held.
    std::optional<TPrescaleTarget> EarlyScaleTarget(int partnerIndex, const std::vector<TImageSlot>& held) const;
    // Gives the page the picture scaled for target if it still shows picture
    // and the final layout shows it at that size.
    void KeepEarlyScale(int page, const TPrescaleTarget& target, const TBitmap* picture,
                        std::shared_ptr<TBitmap> scaled);
    void HandBack(TImageSlot slot, TCacheDirection direction, bool trim);
    void StartCache();
    bool CacheWanted() const;
    int PositionOf(int index) const;
    TCacheDirection TravelQueue() const
    {
        return fMover.TravelBackward() ? TCacheDirection::cdBehind : TCacheDirection::cdAhead;
    }
    void ResumeCache();
    void ClearPlacementMarks();
    // The decode box follows the view's state and size.
    void UpdateDecodeBox();
    // Shown pages decoded reduced that the layout now shows larger than
    // their bitmaps are loaded in full on a worker; the reduced pictures stay
    // shown until then.
    void WantFullPictures();
    void CompleteFullLoad(uint64_t generation);
    void CancelFullLoad();

    std::shared_ptr<TPictureSource> fSource;
    TDecoderFactory fDecoders;
    TDispatcher* fDispatcher;
    TViewerOptions fOptions;
    std::vector<TCacheItem> fItems;
    bool fMedia = false;
    TImageCacheThread::TPrefetchListener fPrefetchListener;
    TImageSlot fPrimary;
    TImageSlot fPartner;
    bool fRandomShown = false;  // the shown pair came from a random move
    // The pages of this list the last direct load could not read.
    std::set<int> fFailed;
    TPageLayout fLayout;
    TPageMover fMover;
    TScrollController fScroll;
    TScrollAnimation fAnimation;
    std::shared_ptr<TImageCacheThread> fCache;
    int fDirectLoads = 0;
    std::chrono::milliseconds fCacheWaitLimit = DefaultCacheWaitLimit;

    // Gathering steps.
    struct TPendingStep {
        uint64_t Generation = 0;
        TShowRequest Request;
        bool TravelBackward = false;
        // The cache the pictures wait in; kept so that a cache stopped and
        // made anew meanwhile is told apart.
        std::shared_ptr<TImageCacheThread> Cache;
        // The pictures loaded, scaled on the worker for the pages the
        // gathered pair puts them on (by index), so that the window only
        // copies them; written by the worker before it reports.
        std::shared_ptr<std::map<int, TStepScaled>> Scaled;
        std::unique_ptr<TStepLoad> Load;
    };
    bool fAsync = false;
    std::function<void(const std::function<void()>&)> fStepHost;
    std::function<void(const TMovePlan&)> fDeferredPlans;
    std::unique_ptr<TPendingStep> fPending;
    std::deque<TMoveCommand> fWaitingMoves;
    // Steps dropped while their worker still ran; joined once finished.
    std::vector<std::unique_ptr<TStepLoad>> fRetired;
    TPreloaded fPreloaded;      // during the completion of a gathered step
    bool fCompleting = false;   // the cache is not waited for: the worker did
    uint64_t fGeneration = 0;
    // The full load of reduced shown pages, at most one.
    struct TFullLoad {
        uint64_t Generation = 0;
        std::set<int> Indexes;
        std::unique_ptr<TStepLoad> Load;
    };
    std::unique_ptr<TFullLoad> fFullLoad;
    // Pages whose full load failed: kept reduced, not tried again in this list.
    std::set<int> fFullFailed;
    bool fDetailWanted = false;
    double fDeviceRatio = 1.0;  // device pixels per layout pixel
    std::shared_ptr<std::atomic<uint64_t>> fDecodeBox = std::make_shared<std::atomic<uint64_t>>(0);
    // Posted completions hold a weak reference: a viewer gone drops them.
    std::shared_ptr<int> fAlive = std::make_shared<int>(0);
};
