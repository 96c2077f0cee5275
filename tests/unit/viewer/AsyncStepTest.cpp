#include <gtest/gtest.h>

#include <atomic>
#include <set>

#include "FakePictures.h"
#include "base/QueueDispatcher.h"
#include "viewer/PageViewer.h"

namespace {

using enum TMoveCommand;

// One step of a script: a move, or a jump to an index (Move unset).
struct TScriptStep {
    std::optional<TMoveCommand> Move;
    int JumpTo = -1;
};

struct TReader {
    std::shared_ptr<FakeSource> Source = std::make_shared<FakeSource>();
    std::shared_ptr<FakeDecoder> Decoder = std::make_shared<FakeDecoder>();
    TQueueDispatcher Dispatcher;
    std::unique_ptr<TPageViewer> Viewer;

    TReader(bool async, bool cache, TViewMode mode, const std::set<int>& landscape, const std::set<int>& broken,
            int pages, int pageWidth = 60, int pageHeight = 80, TStretchMode stretch = TStretchMode::smHalfTone)
    {
        Source->Parallel = true;
        Source->Scales = true;
        Source->Width = Decoder->Width = pageWidth;
        Source->Height = Decoder->Height = pageHeight;
        Source->Landscape = Decoder->Landscape = landscape;
        Source->Broken = Decoder->Broken = broken;
        Viewer = std::make_unique<TPageViewer>([d = Decoder] { return d; }, &Dispatcher);
        Viewer->SetCacheWaitLimit(Wait);
        TViewerOptions options;
        options.Cache.ImageCache = cache;
        options.Cache.FileCache = false;
        options.Picture.Stretch = stretch;
        Viewer->SetOptions(options);
        TViewState state;
        state.ViewMode = mode;
        Viewer->SetViewState(state);
        Viewer->SetClientSize(130, 100);
        std::vector<TCacheItem> items;
        for (int i = 0; i < pages; ++i)
            items.push_back(TCacheItem{i, "/book/" + std::to_string(i + 1) + ".png", 0, -1});
        Viewer->SetList(std::move(items), Source);
        Viewer->SetAsyncSteps(async);
    }

    void Run(const TScriptStep& step)
    {
        if (step.Move)
            Viewer->RunMove(*step.Move);
        else
            Viewer->GoToIndex(step.JumpTo);
    }

    // Runs the posted completions until no step gathers.
    bool Settle()
    {
        const auto deadline = TQueueDispatcher::TClock::now() + Wait;
        while (Viewer->StepPending())
            if (!Dispatcher.RunOne(deadline))
                return false;
        return true;
    }

    std::string State() const
    {
        const TPageViewer& v = *Viewer;
        return std::to_string(v.Primary().Index) + (v.Primary().HasBitmap() ? "+" : "-") + "/" +
               std::to_string(v.Partner().Index) + (v.Partner().HasBitmap() ? "+" : "-") + " " + v.PageLabel() +
               " | " + v.CaptionText();
    }
};

struct TSameCase {
    const char* Name;
    bool Cache;
    TViewMode Mode;
    std::set<int> Landscape;
    std::set<int> Broken;
    bool Burst;  // the whole script is given before any step completes
};

class GatheredSteps : public ::testing::TestWithParam<TSameCase> {};

// A step gathered on a worker ends exactly where the same step run at once
// ends: the same pair, label and caption after every step, and the direct
// loads finished (where their messages are shown) in the same order. In a
// burst the moves wait behind the gathering step and run in their order.
TEST_P(GatheredSteps, EndWhereStepsAtOnceEnd)
{
    const TSameCase& c = GetParam();
    const std::vector<TScriptStep> script = {{mcNext},  {mcNext},       {mcOneNext}, {mcPrior}, {std::nullopt, 7},
                                             {mcNext},  {mcOnePrior},   {mcLast},    {mcFirst}, {mcNext},
                                             {std::nullopt, 3}, {mcPrior}};
    auto read = [&](bool async) {
        TReader reader(async, c.Cache, c.Mode, c.Landscape, c.Broken, 12);
        std::vector<std::string> states;
        reader.Viewer->Open(0);
        states.push_back(reader.State());
        for (const TScriptStep& step : script) {
            reader.Run(step);
            if (!c.Burst) {
                EXPECT_TRUE(reader.Settle());
                states.push_back(reader.State());
            }
        }
        EXPECT_TRUE(reader.Settle());
        states.push_back(reader.State());
        return std::make_pair(states, reader.Source->Loaded);
    };
    const auto atOnce = read(false);
    const auto gathered = read(true);
    if (c.Burst) {
        // Only the end is compared: a jump drops the moves before it.
        EXPECT_EQ(gathered.first.back(), atOnce.first.back());
    } else {
        EXPECT_EQ(gathered.first, atOnce.first);
        EXPECT_EQ(gathered.second, atOnce.second);
    }
}

INSTANTIATE_TEST_SUITE_P(
    PageViewer, GatheredSteps,
    ::testing::Values(TSameCase{"DirectSpreads", false, TViewMode::vmSpread, {}, {}, false},
                      TSameCase{"DirectAutoLandscape", false, TViewMode::vmAuto, {3, 8}, {}, false},
                      TSameCase{"DirectUnreadable", false, TViewMode::vmSpread, {}, {2, 9}, false},
                      TSameCase{"DirectSingle", false, TViewMode::vmSingle, {}, {5}, false},
                      TSameCase{"CachedSpreads", true, TViewMode::vmSpread, {}, {}, false},
                      TSameCase{"CachedAutoLandscape", true, TViewMode::vmAuto, {3, 8}, {}, false},
                      TSameCase{"CachedUnreadable", true, TViewMode::vmSpread, {}, {2, 9}, false},
                      TSameCase{"BurstDirect", false, TViewMode::vmAuto, {3}, {}, true},
                      TSameCase{"BurstCached", true, TViewMode::vmAuto, {3}, {}, true}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TScaleCase {
    const char* Name;
    TViewMode Mode;
    std::set<int> Landscape;
    int Pages;  // pages shown after the step
};

class GatheredScale : public ::testing::TestWithParam<TScaleCase> {};

// The worker scales the pictures it loaded for the places the step puts
// them, so that the window only copies them: every page shown has its
// picture scaled to exactly the size it shows at.
TEST_P(GatheredScale, PagesArriveScaledForTheirPlaces)
{
    const TScaleCase& c = GetParam();
    TReader reader(true, false, c.Mode, c.Landscape, {}, 10, 600, 800, TStretchMode::smLanczos3);
    reader.Viewer->Open(0);
    reader.Viewer->RunMove(mcNext);
    ASSERT_TRUE(reader.Settle());
    const TPageLayout& layout = reader.Viewer->Layout();
    int shown = 0;
    for (int page = 0; page < 2; ++page) {
        if (!layout.PageShown(page))
            continue;
        ++shown;
        const TSize size = layout.PageSize(page);
        ASSERT_LT(size.Width, 600);
        EXPECT_NE(reader.Viewer->PageSlot(page).ScaledFor(size.Width, size.Height, TStretchMode::smLanczos3), nullptr)
            << "page " << page << " at " << size.Width << " x " << size.Height;
    }
    EXPECT_EQ(shown, c.Pages);
}

INSTANTIATE_TEST_SUITE_P(PageViewer, GatheredScale,
                         ::testing::Values(TScaleCase{"Spread", TViewMode::vmSpread, {}, 2},
                                           TScaleCase{"LandscapePrimaryAlone", TViewMode::vmAuto, {2}, 1},
                                           TScaleCase{"LandscapePartnerHandedBack", TViewMode::vmAuto, {3}, 1},
                                           TScaleCase{"Single", TViewMode::vmSingle, {}, 1}),
                         [](const auto& info) { return std::string(info.param.Name); });

// Holds every job of the source until opened, counting those that started.
struct TGate {
    std::mutex Mutex;
    std::condition_variable Changed;
    bool Open = false;
    std::set<int> Started;

    void Hold(int index)
    {
        std::unique_lock lock(Mutex);
        Started.insert(index);
        Changed.notify_all();
        Changed.wait_for(lock, Wait, [&] { return Open; });
    }
    bool WaitStarted(int index)
    {
        std::unique_lock lock(Mutex);
        return Changed.wait_for(lock, Wait, [&] { return Started.count(index) > 0; });
    }
    void Release()
    {
        std::lock_guard lock(Mutex);
        Open = true;
        Changed.notify_all();
    }
};

// While a step gathers, the pages shown stay; a jump made meanwhile wins:
// the abandoned step's pictures are never finished nor shown, and the moves
// made after the jump start from its pair.
TEST(GatheredStep, ANewerJumpWinsOverAStepStillDecoding)
{
    TReader reader(true, false, TViewMode::vmSpread, {}, {}, 20);
    reader.Viewer->Open(0);
    ASSERT_EQ(reader.State().substr(0, 7), "0+/1+ 2");
    auto gate = std::make_shared<TGate>();
    reader.Source->OnRun = [gate](int index) {
        if (index == 2 || index == 3)
            gate->Hold(index);
    };
    reader.Viewer->RunMove(mcNext);
    ASSERT_TRUE(gate->WaitStarted(2));
    EXPECT_TRUE(reader.Viewer->StepPending());
    EXPECT_EQ(reader.Viewer->Shown().Primary, 0);
    EXPECT_EQ(reader.Viewer->Shown().Partner, 1);

    reader.Viewer->GoToIndex(10);
    reader.Viewer->RunMove(mcNext);  // waits behind the jump
    gate->Release();
    ASSERT_TRUE(reader.Settle());
    EXPECT_EQ(reader.Viewer->Shown().Primary, 12);
    EXPECT_EQ(reader.Viewer->Shown().Partner, 13);
    // The abandoned completion, should it still be posted, changes nothing.
    reader.Dispatcher.RunPending();
    EXPECT_EQ(reader.Viewer->Shown().Primary, 12);
    EXPECT_EQ(reader.Source->Loaded, (std::vector<int>{0, 1, 10, 11, 12, 13}));
}

// A viewer closed while a step decodes ends cleanly: the worker is joined,
// its completion is dropped, and nothing is shown or finished.
TEST(GatheredStep, ClosingWhileDecodingDropsTheStep)
{
    TReader reader(true, false, TViewMode::vmSpread, {}, {}, 10);
    reader.Viewer->Open(0);
    auto gate = std::make_shared<TGate>();
    reader.Source->OnRun = [gate](int index) { gate->Hold(index); };
    reader.Viewer->RunMove(mcNext);
    ASSERT_TRUE(gate->WaitStarted(2));
    reader.Viewer->Close();
    EXPECT_FALSE(reader.Viewer->StepPending());
    gate->Release();
    reader.Viewer.reset();
    reader.Dispatcher.RunPending();
    EXPECT_EQ(reader.Source->Loaded, (std::vector<int>{0, 1}));
}

// The worker's wait on the cache ends at once when the step is cancelled,
// and a retarget drops what the queues held for the old place.
TEST(CacheHeads, CancelEndsTheWaitAndRetargetEmptiesTheQueues)
{
    TCacheSetup setup;
    setup.Options.FileCache = false;
    for (int i = 0; i < 30; ++i)
        setup.Items.push_back(TCacheItem{i, "/p" + std::to_string(i), 0, -1});
    setup.Shown = TCacheShown{0, 1};
    auto decoder = std::make_shared<FakeDecoder>();
    TImageCacheThread cache(setup, decoder);
    cache.Resume(TCacheShown{0, 1});
    std::atomic<bool> cancel{false};
    EXPECT_TRUE(cache.AwaitHeads(TCacheDirection::cdAhead, {2, 3}, Wait, cancel));
    EXPECT_TRUE(cache.HeadsReady(TCacheDirection::cdAhead, {2, 3}));
    EXPECT_FALSE(cache.HeadsReady(TCacheDirection::cdAhead, {3}));

    ASSERT_TRUE(cache.WaitIdle(Wait));
    decoder->Close();
    cache.Retarget(TCacheShown{20, 21});
    const TCacheSnapshot s = cache.Snapshot();
    EXPECT_TRUE(s.Ahead.Indexes.empty());
    EXPECT_TRUE(s.Behind.Indexes.empty());
    EXPECT_TRUE(s.DecodedIndexes.empty());

    // The new place is asked for; the decode blocks, and the cancel ends the
    // wait while it does.
    std::atomic<bool> result{true};
    std::thread waiter([&] { result = cache.AwaitHeads(TCacheDirection::cdAhead, {22, 23}, Wait, cancel); });
    ASSERT_TRUE(decoder->WaitUntilBlocked());
    const auto start = std::chrono::steady_clock::now();
    cancel = true;
    waiter.join();
    EXPECT_FALSE(result);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    cancel = false;
    decoder->Open();
    EXPECT_TRUE(cache.AwaitHeads(TCacheDirection::cdAhead, {22, 23}, Wait, cancel));
    cache.Stop();
}

}  // namespace
