#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "FakePictures.h"
#include "PrintGeometry.h"
#include "viewer/PageViewer.h"

namespace {

using enum TMoveCommand;

// A book of portrait pages of 60 x 80 in a view of 130 x 100: two pages fit
// side by side at full size with the 5-pixel margin.
class Book : public ::testing::Test {
protected:
    void SetUp() override
    {
        source = std::make_shared<FakeSource>();
        source->Width = 60;
        source->Height = 80;
        decoder = std::make_shared<FakeDecoder>();
        decoder->Width = 60;
        decoder->Height = 80;
        viewer = std::make_unique<TPageViewer>([this] { return decoder; });
        viewer->SetCacheWaitLimit(Wait);
        Configure(BookOptions());
        viewer->SetClientSize(130, 100);
    }

    // The book's options: the file cache off, so the queues alone are seen.
    static TViewerOptions BookOptions()
    {
        TViewerOptions options;
        options.Cache.FileCache = false;
        return options;
    }

    void Configure(const TViewerOptions& options)
    {
        viewer->SetOptions(options);
    }

    void Load(int count)
    {
        std::vector<TCacheItem> items;
        for (int i = 0; i < count; ++i)
            items.push_back(TCacheItem{i, "/book/" + std::to_string(i + 1) + ".png", 0, -1});
        viewer->SetList(std::move(items), source);
    }

    TShownPair Shown() const { return viewer->Shown(); }

    // The queues once the thread has settled.
    TCacheSnapshot Settled()
    {
        TImageCacheThread* cache = viewer->Cache();
        EXPECT_NE(cache, nullptr);
        if (!cache)
            return TCacheSnapshot{};
        EXPECT_TRUE(cache->WaitIdle(Wait));
        return cache->Snapshot();
    }

    std::shared_ptr<FakeSource> source;
    std::shared_ptr<FakeDecoder> decoder;
    std::unique_ptr<TPageViewer> viewer;
};

TEST_F(Book, ReadingForwardAndBackTakesPagesFromTheCache)
{
    Load(10);
    viewer->Open(0);
    EXPECT_EQ(Shown().Primary, 0);
    EXPECT_EQ(Shown().Partner, 1);
    EXPECT_TRUE(viewer->Layout().SpreadActive());
    // Right binding: the lower page on the right.
    EXPECT_EQ(viewer->PageLabel(), "2・1 / 10");
    EXPECT_EQ(viewer->CaptionText(), "2.png (60 x 80 x 24bit) [100%]   <<   1.png (60 x 80 x 24bit) [100%]");
    EXPECT_EQ(viewer->Cache(), nullptr);
    EXPECT_EQ(source->Loaded, (std::vector<int>{0, 1}));

    viewer->RunMove(mcNext);
    EXPECT_EQ(Shown().Primary, 2);
    EXPECT_EQ(Shown().Partner, 3);
    TCacheSnapshot s = Settled();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{4, 5}));
    EXPECT_EQ(s.Behind.Indexes, (std::vector<int>{1, 0}));

    viewer->RunMove(mcNext);
    EXPECT_EQ(Shown().Primary, 4);
    EXPECT_EQ(Shown().Partner, 5);
    s = Settled();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{6, 7}));
    EXPECT_EQ(s.Behind.Indexes, (std::vector<int>{3, 2}));

    // One page on: 5 stays on screen without being loaded again.
    viewer->RunMove(mcOneNext);
    EXPECT_EQ(Shown().Primary, 5);
    EXPECT_EQ(Shown().Partner, 6);
    s = Settled();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{7, 8}));
    EXPECT_EQ(s.Behind.Indexes, (std::vector<int>{4, 3, 2}));

    // Back: the pair below 5, the old pair ahead with the lower page nearest.
    viewer->RunMove(mcPrior);
    EXPECT_EQ(Shown().Primary, 4);
    EXPECT_EQ(Shown().Partner, 3);
    EXPECT_TRUE(viewer->TravelBackward());
    EXPECT_EQ(viewer->PageLabel(), "5・4 / 10");
    EXPECT_EQ(viewer->SeekIndex(), 3);
    s = Settled();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{5, 6}));
    EXPECT_EQ(s.Behind.Indexes, (std::vector<int>{2, 1}));

    // Everything after opening came from the cache thread.
    EXPECT_EQ(source->Loaded, (std::vector<int>{0, 1}));
    EXPECT_EQ(viewer->DirectLoads(), 2);
    std::vector<int> decoded = decoder->DecodedCopy();
    std::sort(decoded.begin(), decoded.end());
    EXPECT_EQ(decoded, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(Book, LandscapePartnerGoesBackToTheQueueAhead)
{
    decoder->Landscape = {3};
    source->Landscape = {3};
    Load(10);
    viewer->Open(0);
    viewer->RunMove(mcNext);
    EXPECT_EQ(Shown().Primary, 2);
    EXPECT_EQ(Shown().Partner, -1);
    EXPECT_FALSE(viewer->Layout().SpreadActive());
    // 3 waits at the head of the queue ahead; landscape counts as a pair.
    TCacheSnapshot s = Settled();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{3}));
    EXPECT_EQ(s.Ahead.Count, 2);
    viewer->RunMove(mcNext);
    EXPECT_EQ(Shown().Primary, 3);
    EXPECT_EQ(Shown().Partner, -1);
    viewer->RunMove(mcNext);
    EXPECT_EQ(Shown().Primary, 4);
    EXPECT_EQ(Shown().Partner, 5);
    EXPECT_EQ(viewer->DirectLoads(), 2);
}

TEST_F(Book, FirstPictureStandsAlone)
{
    TViewerOptions options = BookOptions();
    options.Picture.FirstImage = true;
    Configure(options);
    Load(6);
    viewer->Open(0);
    EXPECT_EQ(Shown().Partner, -1);
    EXPECT_EQ(viewer->PageLabel(), "1 / 6");
    viewer->RunMove(mcNext);
    EXPECT_EQ(Shown().Primary, 1);
    EXPECT_EQ(Shown().Partner, 2);
    viewer->RunMove(mcPrior);
    // Going back to 0: it never partners 1.
    EXPECT_EQ(Shown().Primary, 0);
    EXPECT_EQ(Shown().Partner, -1);
}

TEST_F(Book, PagesShownWholeAndScaledAreScaledAheadByTheCache)
{
    Load(10);
    viewer->Open(0);
    EXPECT_TRUE(viewer->PrescaleTargets().empty()) << "pages at their own size are copied";

    viewer->SetClientSize(70, 50);
    ASSERT_TRUE(viewer->Layout().PageShown(0));
    const TSize display = viewer->Layout().PageSize(0);
    ASSERT_LT(display.Width, 60);
    std::vector<TPrescaleTarget> expected{TPrescaleTarget{60, 80, display.Width, display.Height, TStretchMode::smLanczos3}};
    if (viewer->Layout().SpreadActive())
        expected.push_back(TPrescaleTarget{60, 80, display.Width, display.Height, TStretchMode::smLanczos3});
    EXPECT_EQ(viewer->PrescaleTargets(), expected);

    viewer->RunMove(mcNext);
    Settled();
    viewer->RunMove(mcNext);
    EXPECT_NE(viewer->PageSlot(0).ScaledFor(display.Width, display.Height, TStretchMode::smLanczos3), nullptr);

    TViewerOptions options = BookOptions();
    options.Picture.Stretch = TStretchMode::smHalfTone;
    Configure(options);
    EXPECT_TRUE(viewer->PrescaleTargets().empty()) << "the desktop's stretch is the window's";
}

TEST_F(Book, OnADoubledScreenPagesAreScaledAheadAndDecodedForTheirDeviceSize)
{
    Load(10);
    viewer->SetDeviceRatio(2.0);
    viewer->Open(0);
    ASSERT_EQ(viewer->Layout().PageSize(0), (TSize{60, 80}));
    const std::vector<TPrescaleTarget> targets = viewer->PrescaleTargets();
    ASSERT_FALSE(targets.empty()) << "a page at its own size is enlarged on the device";
    EXPECT_EQ(targets[0], (TPrescaleTarget{60, 80, 120, 160, TStretchMode::smLanczos3}));
    EXPECT_EQ(viewer->DecodeBoxReader()(), (TSize{260, 200}));

    // Half the picture's size is the picture's own pixels on the device.
    TViewState state = viewer->ViewState();
    state.ScaleMode = TScaleMode::smRatio;
    state.RatioItem = CustomRatioItem;
    state.CustomRatio = 0.5;
    viewer->SetViewState(state);
    viewer->RefreshLayout(true);
    EXPECT_TRUE(viewer->PrescaleTargets().empty());
}

TEST_F(Book, ResizeSeeksAndDropsThePartner)
{
    // Height fit in automatic mode shows a pair only when it fits the width.
    TViewState state;
    state.WindowFit = TWindowFit::wfHeight;
    viewer->SetViewState(state);
    Load(6);
    viewer->SetClientSize(100, 100);
    viewer->Open(2);
    EXPECT_EQ(Shown().Partner, -1);  // two pages do not fit: 60 < 90 but 120 > 90
    viewer->SetClientSize(200, 100);
    EXPECT_EQ(Shown().Partner, 3);
    EXPECT_TRUE(viewer->Layout().SpreadActive());
    viewer->SetClientSize(100, 100);
    EXPECT_EQ(Shown().Partner, -1);
    EXPECT_FALSE(viewer->Layout().SpreadActive());
    EXPECT_EQ(Shown().Primary, 2);
}

TEST_F(Book, EndOfListWithNothingKeepsTheView)
{
    TViewerOptions options = BookOptions();
    options.Move.LastFileMove = TEndOfList::elNothing;
    Configure(options);
    Load(4);
    viewer->Open(2);
    ASSERT_EQ(Shown().Partner, 3);
    EXPECT_EQ(viewer->RunMove(mcNext).Outcome, TMoveOutcome::moNothing);
    EXPECT_EQ(Shown().Primary, 2);
    EXPECT_EQ(Shown().Partner, 3);
    options.Move.LastFileMove = TEndOfList::elFolder;
    Configure(options);
    const TMovePlan plan = viewer->RunMove(mcNext);
    EXPECT_EQ(plan.Outcome, TMoveOutcome::moNextFolder);
    EXPECT_TRUE(plan.SubFolderFirst);
}

TEST_F(Book, UnreadablePictureClearsTheViewButKeepsThePlace)
{
    source->Broken = {4};
    decoder->Broken = {4};
    TViewState state;
    state.ViewMode = TViewMode::vmSingle;
    viewer->SetViewState(state);
    Load(6);
    viewer->Open(3);
    viewer->RunMove(mcNext);
    EXPECT_EQ(Shown().Primary, 4);
    EXPECT_FALSE(viewer->Primary().HasBitmap());
    EXPECT_TRUE(viewer->Layout().PageRect(0).IsEmpty());
    // The loader's message came from a direct load.
    EXPECT_EQ(source->Loaded.back(), 4);
    viewer->RunMove(mcNext);
    EXPECT_EQ(Shown().Primary, 5);
    EXPECT_TRUE(viewer->Primary().HasBitmap());
}

TEST_F(Book, AStuckDecoderCostsOneWaitThenPagesLoadDirectly)
{
    TViewState state;
    state.ViewMode = TViewMode::vmSingle;
    viewer->SetViewState(state);
    Load(6);
    viewer->Open(0);
    decoder->Close();
    viewer->SetCacheWaitLimit(std::chrono::milliseconds(50));
    viewer->RunMove(mcNext);
    EXPECT_EQ(Shown().Primary, 1);
    EXPECT_TRUE(viewer->Primary().HasBitmap());
    // With the decoder still stuck, the next page does not wait at all
    // (with the long limit it would be served by the cache once the decoder
    // gives up blocking).
    viewer->SetCacheWaitLimit(Wait);
    viewer->RunMove(mcNext);
    EXPECT_EQ(Shown().Primary, 2);
    EXPECT_EQ(source->Loaded, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(decoder->DecodedCopy().empty());
    // The late picture 1 is dropped; the queues follow the shown page.
    decoder->Open();
    const TCacheSnapshot s = Settled();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{3}));
    viewer->RunMove(mcNext);
    EXPECT_EQ(Shown().Primary, 3);
    EXPECT_EQ(source->Loaded, (std::vector<int>{0, 1, 2}));
}

TEST_F(Book, ScrollingOffAPageMovesAndEntersTheNextFromItsEnd)
{
    // Tall single pages at 100 %: 60 x 80 in a 130 x 50 view.
    TViewState state;
    state.ViewMode = TViewMode::vmSingle;
    state.ScaleMode = TScaleMode::smRatio;
    viewer->SetViewState(state);
    viewer->SetClientSize(130, 50);
    Load(5);
    viewer->Open(1);
    EXPECT_EQ(viewer->Layout().ContentRect(), (TRect{30, 0, 100, 90}));
    TScrollResult r = viewer->RunScroll(TScrollCommand::scPageDown, true);
    EXPECT_EQ(r.DY, -40);
    EXPECT_EQ(viewer->Layout().ContentRect().Bottom, 50);
    TMovePlan moved;
    r = viewer->RunScroll(TScrollCommand::scPageDown, true, &moved);
    EXPECT_TRUE(r.Move);
    EXPECT_EQ(Shown().Primary, 2);
    EXPECT_EQ(viewer->Layout().ContentRect().Top, 0);
    // Up at the top: the previous page, shown from its bottom.
    r = viewer->RunScroll(TScrollCommand::scPageUp, true, &moved);
    EXPECT_TRUE(r.Move);
    EXPECT_EQ(Shown().Primary, 1);
    EXPECT_EQ(viewer->Layout().ContentRect().Bottom, 50);
}

TEST_F(Book, AnimatedScrollArrivesInTicks)
{
    TViewerOptions options = BookOptions();
    options.Scroll.ScrollAnimate = true;
    options.Scroll.AnimateSpeed = 1000;  // 10 pixels a tick
    Configure(options);
    TViewState state;
    state.ViewMode = TViewMode::vmSingle;
    state.ScaleMode = TScaleMode::smRatio;
    viewer->SetViewState(state);
    viewer->SetClientSize(130, 50);
    Load(3);
    viewer->Open(0);
    viewer->RunScroll(TScrollCommand::scPageDown, true);
    EXPECT_TRUE(viewer->Animating());
    EXPECT_EQ(viewer->Layout().ContentRect().Top, 0);
    int ticks = 0;
    while (viewer->AnimationTick() && ticks < 100)
        ++ticks;
    EXPECT_EQ(ticks + 1, 4);  // 40 pixels at 10 a tick
    EXPECT_EQ(viewer->Layout().ContentRect().Top, -40);
}

TEST_F(Book, RandomReadingShowsEveryPageOnce)
{
    TViewState state;
    state.ViewMode = TViewMode::vmSingle;
    viewer->SetViewState(state);
    TViewerOptions options = BookOptions();
    options.Move.LastFileMove = TEndOfList::elNothing;
    Configure(options);
    Load(8);
    viewer->Open(3);
    std::set<int> seen{3};
    for (int i = 0; i < 10; ++i) {
        const TMovePlan plan = viewer->RunMove(mcRandomNext);
        if (plan.Outcome != TMoveOutcome::moShow)
            break;
        EXPECT_TRUE(seen.insert(Shown().Primary).second) << "shown twice: " << Shown().Primary;
    }
    EXPECT_EQ(seen.size(), 8u);
    // Opening and the first random move load directly; the rest comes from
    // the cache, which follows the random order.
    EXPECT_EQ(viewer->DirectLoads(), 2);
}

TEST_F(Book, JumpStopsTheCacheAndLoadsDirectly)
{
    Load(40);
    viewer->Open(0);
    viewer->RunMove(mcNext);
    ASSERT_NE(viewer->Cache(), nullptr);
    const TMovePlan plan = viewer->RunMove(mcJumpNext);
    EXPECT_EQ(plan.Index, 6);  // from the lower page 2, 10 % of 40
    EXPECT_EQ(viewer->Cache(), nullptr);
    EXPECT_EQ(Shown().Primary, 6);
    EXPECT_EQ(Shown().Partner, 7);
    EXPECT_EQ(viewer->DirectLoads(), 4);
}

TEST_F(Book, ModeChangeRecountsTheCache)
{
    Load(20);
    viewer->Open(0);
    viewer->RunMove(mcNext);
    ASSERT_EQ(Settled().Ahead.Indexes, (std::vector<int>{4, 5}));
    TViewState state;
    state.ViewMode = TViewMode::vmSingle;
    viewer->SetViewState(state);
    viewer->RefreshLayout(true);
    EXPECT_EQ(Shown().Partner, -1);
    const TCacheSnapshot s = Settled();
    // The partner 3 went back to the head of the queue ahead; single limits.
    EXPECT_EQ(s.Ahead.Limit, 1);
    ASSERT_FALSE(s.Ahead.Indexes.empty());
    EXPECT_EQ(s.Ahead.Indexes.front(), 3);
    EXPECT_LE(s.Ahead.Indexes.size(), 2u);
    viewer->RunMove(mcNext);
    EXPECT_EQ(Shown().Primary, 3);
    EXPECT_EQ(Settled().Ahead.Indexes, (std::vector<int>{4}));
}

TEST_F(Book, ZoomStepWithRatioChangeFixesTheRatio)
{
    TViewerOptions options = BookOptions();
    options.Picture.RatioChange = true;
    Configure(options);
    Load(4);
    viewer->Open(0);
    ASSERT_EQ(viewer->Layout().PageRatio(0), 1.0);
    viewer->ZoomStep(true);
    EXPECT_DOUBLE_EQ(viewer->Layout().PageRatio(0), 1.25);
    EXPECT_DOUBLE_EQ(viewer->Layout().PageRatio(1), 1.25);
    EXPECT_EQ(viewer->ViewState().ScaleMode, TScaleMode::smRatio);
    EXPECT_EQ(viewer->ViewState().RatioItem, CustomRatioItem);
    EXPECT_DOUBLE_EQ(viewer->ViewState().CustomRatio, 1.25);
    // The next page keeps the ratio.
    viewer->RunMove(mcNext);
    EXPECT_EQ(viewer->Layout().PageSize(0), (TSize{75, 100}));
}

TEST_F(Book, RatioAndModeCommands)
{
    Load(4);
    viewer->Open(0);
    viewer->StepRatio(true);  // from 100 % to 150 %
    EXPECT_EQ(viewer->ViewState().RatioItem, 4);
    EXPECT_EQ(viewer->Layout().PageSize(0), (TSize{90, 120}));
    // Two pages of 90 no longer fit 130 - 10: automatic mode shows one.
    EXPECT_EQ(Shown().Partner, -1);
    viewer->SelectViewMode(TViewMode::vmSpread);
    EXPECT_EQ(Shown().Partner, 1);
    viewer->CycleFit();  // not fitting: whole
    EXPECT_EQ(viewer->ViewState().ScaleMode, TScaleMode::smFit);
    EXPECT_EQ(viewer->ViewState().WindowFit, TWindowFit::wfAll);
    EXPECT_EQ(viewer->Layout().PageSize(0), (TSize{60, 80}));
    viewer->SelectSize(40, TSizeDir::sdHeight);
    EXPECT_EQ(viewer->Layout().PageSize(0), (TSize{30, 40}));
    viewer->ActualSize(true);
    EXPECT_EQ(viewer->Layout().PageSize(0), (TSize{60, 80}));
    EXPECT_TRUE(viewer->ViewState().DefSize);
    viewer->ActualSize(false);
    EXPECT_EQ(viewer->Layout().PageSize(0), (TSize{30, 40}));
    viewer->SelectBinding(TBinding::bdLeft);
    EXPECT_TRUE(viewer->Layout().PageOnLeft(0));
}

TEST_F(Book, DragAndRubberBand)
{
    TViewState state;
    state.ViewMode = TViewMode::vmSingle;
    state.ScaleMode = TScaleMode::smRatio;
    state.RatioItem = 5;  // 200 %: 120 x 160 in 130 x 100
    viewer->SetViewState(state);
    Load(2);
    viewer->Open(0);
    ASSERT_EQ(viewer->Layout().ContentRect(), (TRect{0, 0, 130, 170}));
    viewer->Drag(TPoint{0, -30}, TDragMode::dmGrab);
    EXPECT_EQ(viewer->Layout().ContentRect().Top, -30);
    viewer->Drag(TPoint{0, -100}, TDragMode::dmGrab);
    EXPECT_EQ(viewer->Layout().ContentRect().Top, -70);  // bottoms meet
    viewer->Drag(TPoint{0, -10}, TDragMode::dmReverseGrab);
    EXPECT_EQ(viewer->Layout().ContentRect().Top, -60);
    // A band half the view's size doubles the ratio (capped at 800 %).
    EXPECT_TRUE(viewer->ZoomToBand(TPoint{10, 10}, TPoint{75, 60}));
    EXPECT_DOUBLE_EQ(viewer->Layout().PageRatio(0), 4.0);
    EXPECT_FALSE(viewer->ZoomToBand(TPoint{-50, -50}, TPoint{-20, -20}));
}

// Random reading in spreads: how a shown pair comes to an end.
struct TRandomSpreadCase {
    const char* Name;
    std::function<void(TPageViewer&)> Prepare;    // before the book is opened
    std::function<void(TPageViewer&)> EndSpread;  // the pair no longer fits
};

class RandomSpread : public Book, public ::testing::WithParamInterface<TRandomSpreadCase> {
protected:
    // Every page of the pair now shown.
    void Record(std::vector<int>& pages) const
    {
        pages.push_back(Shown().Primary);
        if (Shown().Partner >= 0)
            pages.push_back(Shown().Partner);
    }
};

// A partner handed back because the spread ended is not skipped: the random
// place returns to the page still shown, and the next random move shows the
// partner alone, from the cache.
TEST_P(RandomSpread, HiddenPartnerComesNext)
{
    const TRandomSpreadCase& row = GetParam();
    row.Prepare(*viewer);
    TViewerOptions options = BookOptions();
    options.Move.LastFileMove = TEndOfList::elNothing;
    Configure(options);
    Load(8);
    viewer->Open(3);
    ASSERT_EQ(Shown().Partner, 4);
    std::vector<int> pages{3, 4};
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(viewer->RunMove(mcRandomNext).Outcome, TMoveOutcome::moShow);
        ASSERT_GE(Shown().Partner, 0);
        Record(pages);
    }
    const TShownPair pair = Shown();

    row.EndSpread(*viewer);
    ASSERT_EQ(Shown().Partner, -1);
    EXPECT_EQ(Shown().Primary, pair.Primary);
    const TPageMover& mover = viewer->Mover();
    EXPECT_EQ(mover.Travel().RandomPosition, mover.PositionOf(pair.Primary));
    const TCacheSnapshot s = Settled();
    ASSERT_FALSE(s.Ahead.Indexes.empty());
    EXPECT_EQ(s.Ahead.Indexes.front(), pair.Partner);

    ASSERT_EQ(viewer->RunMove(mcRandomNext).Outcome, TMoveOutcome::moShow);
    EXPECT_EQ(Shown().Primary, pair.Partner);
    Record(pages);
    // The partner was counted once already, as part of its pair.
    pages.pop_back();
    for (int i = 0; i < 10 && viewer->RunMove(mcRandomNext).Outcome == TMoveOutcome::moShow; ++i)
        Record(pages);
    std::sort(pages.begin(), pages.end());
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7})) << "each page once in the round";
    // Opening and the first random move load directly; the partner came back
    // from the cache.
    EXPECT_EQ(viewer->DirectLoads(), 4);
}

INSTANTIATE_TEST_SUITE_P(Rows, RandomSpread,
                         ::testing::Values(
                             // Height fit shows a pair only while two pages fit the width.
                             TRandomSpreadCase{"Resize",
                                               [](TPageViewer& viewer) {
                                                   TViewState state;
                                                   state.WindowFit = TWindowFit::wfHeight;
                                                   viewer.SetViewState(state);
                                                   viewer.SetClientSize(200, 100);
                                               },
                                               [](TPageViewer& viewer) { viewer.SetClientSize(100, 100); }},
                             TRandomSpreadCase{"ModeChange", [](TPageViewer&) {},
                                               [](TPageViewer& viewer) {
                                                   viewer.SelectViewMode(TViewMode::vmSingle);
                                               }}),
                         [](const auto& info) { return std::string(info.param.Name); });

// Loading the shown pages again (a new filter or rotation) keeps the random
// place, whether one page or a pair is shown.
struct TRandomReloadCase {
    const char* Name;
    TViewMode Mode;
    int PagesShown;
};

class RandomReload : public Book, public ::testing::WithParamInterface<TRandomReloadCase> {};

TEST_P(RandomReload, KeepsThePlace)
{
    const TRandomReloadCase& row = GetParam();
    TViewState state;
    state.ViewMode = row.Mode;
    viewer->SetViewState(state);
    TViewerOptions options = BookOptions();
    options.Move.LastFileMove = TEndOfList::elNothing;
    Configure(options);
    Load(8);
    viewer->Open(3);
    std::vector<int> pages;
    auto record = [&] {
        pages.push_back(Shown().Primary);
        if (Shown().Partner >= 0)
            pages.push_back(Shown().Partner);
    };
    record();
    ASSERT_EQ(viewer->RunMove(mcRandomNext).Outcome, TMoveOutcome::moShow);
    record();
    const TShownPair before = Shown();
    ASSERT_EQ(before.Partner >= 0 ? 2 : 1, row.PagesShown);
    const int place = viewer->Mover().Travel().RandomPosition;

    viewer->Reload();
    EXPECT_EQ(Shown().Primary, before.Primary);
    EXPECT_EQ(Shown().Partner, before.Partner);
    EXPECT_EQ(viewer->Mover().Travel().RandomPosition, place);

    for (int i = 0; i < 10 && viewer->RunMove(mcRandomNext).Outcome == TMoveOutcome::moShow; ++i)
        record();
    std::sort(pages.begin(), pages.end());
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7})) << "each page once in the round";
}

INSTANTIATE_TEST_SUITE_P(Rows, RandomReload,
                         ::testing::Values(TRandomReloadCase{"SinglePage", TViewMode::vmSingle, 1},
                                           TRandomReloadCase{"Pair", TViewMode::vmAuto, 2}),
                         [](const auto& info) { return std::string(info.param.Name); });

// With the cache off both pages of a spread load here, one after the other:
// the primary is scaled on a worker meanwhile, for the size it shows at beside
// a partner of its own size, and kept only when the final layout shows it at
// that size.
struct TEarlyScaleCase {
    const char* Name;
    TStretchMode Stretch;
    TViewMode Mode;
    TSize Client;
    std::set<int> Landscape;
    std::set<int> Broken;
    bool Throws;
    int Partner;      // shown beside page 3 after the turn
    size_t Requests;  // scalings asked for by the turn to pages 3 and 4
    bool Kept;
};

class EarlyScale : public ::testing::TestWithParam<TEarlyScaleCase> {};

TEST_P(EarlyScale, PrimaryIsScaledWhileThePartnerLoads)
{
    const TEarlyScaleCase& c = GetParam();
    auto source = std::make_shared<FakeSource>();
    source->Scales = true;
    source->ScaleThrows = c.Throws;
    source->Landscape = c.Landscape;
    source->Broken = c.Broken;
    auto decoder = std::make_shared<FakeDecoder>();
    TPageViewer viewer([decoder] { return decoder; });
    TViewerOptions options;
    options.Cache.ImageCache = false;
    options.Cache.FileCache = false;
    options.Picture.Stretch = c.Stretch;
    viewer.SetOptions(options);
    TViewState state;
    state.ViewMode = c.Mode;
    viewer.SetViewState(state);
    viewer.SetClientSize(c.Client.Width, c.Client.Height);  // 600 x 800 pages are shrunk to fit
    std::vector<TCacheItem> items;
    for (int i = 0; i < 6; ++i)
        items.push_back(TCacheItem{i, "/book/" + std::to_string(i + 1) + ".jpg", 0, -1});
    viewer.SetList(std::move(items), source);
    viewer.Open(0);
    source->ScaleRequests.clear();

    viewer.RunMove(mcNext);
    ASSERT_EQ(viewer.Primary().Index, 2);
    ASSERT_TRUE(viewer.Primary().HasBitmap());
    EXPECT_EQ(viewer.Shown().Partner, c.Partner);
    ASSERT_EQ(source->ScaleRequests.size(), c.Requests);
    const TSize display = viewer.Layout().PageSize(0);
    if (c.Requests > 0) {
        const TPrescaleTarget& asked = source->ScaleRequests.front();
        EXPECT_EQ(asked.SourceWidth, 600);
        EXPECT_EQ(asked.SourceHeight, 800);
        EXPECT_EQ(asked.Stretch, c.Stretch);
        // The size of a page beside its equal: half the width at most.
        EXPECT_LE(asked.DisplayWidth, c.Client.Width / 2);
        EXPECT_EQ(asked.DisplayWidth == display.Width && asked.DisplayHeight == display.Height, c.Kept || c.Throws);
    }
    const TBitmap* scaled = viewer.Primary().ScaledFor(display.Width, display.Height, c.Stretch);
    EXPECT_EQ(scaled != nullptr, c.Kept);
    if (scaled) {
        EXPECT_EQ(scaled->Width(), display.Width);
        EXPECT_EQ(scaled->Height(), display.Height);
    }
}

INSTANTIATE_TEST_SUITE_P(
    PageViewer, EarlyScale,
    ::testing::Values(
        TEarlyScaleCase{"PartnerOfTheSameSize", TStretchMode::smLanczos3, TViewMode::vmSpread, {500, 300}, {}, {}, false, 3, 1, true},
        TEarlyScaleCase{"BilinearToo", TStretchMode::smBilinear, TViewMode::vmAuto, {500, 300}, {}, {}, false, 3, 1, true},
        // A landscape partner goes back in the automatic mode; the height
        // decides in a wide view, so alone the page keeps its size.
        TEarlyScaleCase{"AloneAtTheSameSize", TStretchMode::smLanczos3, TViewMode::vmAuto, {500, 300}, {3}, {}, false, -1, 1, true},
        // Beside a landscape page it is fitted anew.
        TEarlyScaleCase{"PairOfOtherSizes", TStretchMode::smLanczos3, TViewMode::vmSpread, {500, 300}, {3}, {}, false, 3, 1, false},
        // The width decides in a tall view: alone, the page grows.
        TEarlyScaleCase{"BrokenPartnerInATallView", TStretchMode::smLanczos3, TViewMode::vmSpread, {500, 900}, {}, {3}, false, -1, 1, false},
        TEarlyScaleCase{"ScalingFails", TStretchMode::smLanczos3, TViewMode::vmSpread, {500, 300}, {}, {}, true, 3, 1, false},
        TEarlyScaleCase{"DesktopStretchIsLeftToTheWindow", TStretchMode::smHalfTone, TViewMode::vmSpread, {500, 300}, {}, {}, false, 3, 0,
                        false}),
    [](const auto& info) { return std::string(info.param.Name); });

// A viewer of six or more pages of source with both caches off, so that
// every page loads directly, in a 500 x 300 view.
std::unique_ptr<TPageViewer> DirectViewer(const std::shared_ptr<FakeSource>& source, TViewMode mode, int pages)
{
    auto viewer = std::make_unique<TPageViewer>([decoder = std::make_shared<FakeDecoder>()] { return decoder; });
    TViewerOptions options;
    options.Cache.ImageCache = false;
    options.Cache.FileCache = false;
    options.Picture.Stretch = TStretchMode::smLanczos3;
    viewer->SetOptions(options);
    TViewState state;
    state.ViewMode = mode;
    viewer->SetViewState(state);
    viewer->SetClientSize(500, 300);
    std::vector<TCacheItem> items;
    for (int i = 0; i < pages; ++i)
        items.push_back(TCacheItem{i, "/book/" + std::to_string(i + 1) + ".jpg", 0, -1});
    viewer->SetList(std::move(items), source);
    return viewer;
}

// A partner loaded on a worker is scaled there too, beside the primary, when
// it has the primary's size: the view then copies both pages. One of another
// size is left to the view.
TEST(ParallelPartnerScale, APartnerOfThePrimarysSizeIsScaledOnItsWorker)
{
    for (const bool sameSize : {true, false}) {
        SCOPED_TRACE(sameSize ? "same size" : "landscape partner");
        auto source = std::make_shared<FakeSource>();
        source->Parallel = true;
        source->Scales = true;
        if (!sameSize)
            source->Landscape = {3};
        const std::unique_ptr<TPageViewer> viewer = DirectViewer(source, TViewMode::vmSpread, 6);
        viewer->Open(0);
        source->ScaleRequests.clear();

        viewer->RunMove(mcNext);
        ASSERT_EQ(viewer->Shown().Primary, 2);
        ASSERT_EQ(viewer->Shown().Partner, 3);
        EXPECT_EQ(source->ScaleRequests.size(), sameSize ? 2u : 1u);
        for (int page = 0; page < 2; ++page) {
            const TSize display = viewer->Layout().PageSize(page);
            EXPECT_EQ(viewer->PageSlot(page).ScaledFor(display.Width, display.Height, TStretchMode::smLanczos3) != nullptr,
                      sameSize)
                << "page " << page;
        }
    }
}

struct TParallelCase {
    const char* Name;
    TViewMode Mode;
    std::set<int> Landscape;
    std::set<int> Broken;
    bool Overlaps;  // some partner was loaded on a worker
};

class ParallelPartner : public ::testing::TestWithParam<TParallelCase> {};

// With the cache off both pages of a spread are loaded directly, the partner
// on a worker while the primary loads. Every step shows what loading the two
// in turn shows: the same pair, the same loads in the same order, the same
// count, and a partner the primary turned out not to want is never taken.
TEST_P(ParallelPartner, ShowsWhatLoadingInTurnShows)
{
    const TParallelCase& c = GetParam();
    struct TTrace {
        std::vector<std::vector<int>> Steps;
        std::vector<int> Loaded;
        std::set<int> OnWorker;
    };
    auto read = [&](bool parallel) {
        auto source = std::make_shared<FakeSource>();
        source->Parallel = parallel;
        source->Landscape = c.Landscape;
        source->Broken = c.Broken;
        const std::unique_ptr<TPageViewer> viewer = DirectViewer(source, c.Mode, 8);
        TTrace trace;
        auto record = [&] {
            trace.Steps.push_back({viewer->Primary().Index, viewer->Primary().HasBitmap(), viewer->Partner().Index,
                                   viewer->Partner().HasBitmap(), viewer->DirectLoads()});
        };
        viewer->Open(0);
        record();
        for (TMoveCommand move : {mcNext, mcNext, mcNext, mcPrior}) {
            viewer->RunMove(move);
            record();
        }
        trace.Loaded = source->Loaded;
        trace.OnWorker = source->OnWorker();
        return trace;
    };
    const TTrace inTurn = read(false);
    const TTrace parallel = read(true);
    EXPECT_EQ(parallel.Steps, inTurn.Steps);
    EXPECT_EQ(parallel.Loaded, inTurn.Loaded);
    EXPECT_TRUE(inTurn.OnWorker.empty());
    EXPECT_EQ(!parallel.OnWorker.empty(), c.Overlaps);
}

INSTANTIATE_TEST_SUITE_P(
    PageViewer, ParallelPartner,
    ::testing::Values(TParallelCase{"Portraits", TViewMode::vmSpread, {}, {}, true},
                      TParallelCase{"LandscapePrimaryStandsAlone", TViewMode::vmAuto, {2}, {}, true},
                      TParallelCase{"LandscapePartnerIsDropped", TViewMode::vmAuto, {3}, {}, true},
                      TParallelCase{"UnreadablePrimary", TViewMode::vmSpread, {}, {2}, true},
                      TParallelCase{"UnreadablePartner", TViewMode::vmSpread, {}, {3}, true},
                      TParallelCase{"SinglePagesLoadAlone", TViewMode::vmSingle, {}, {}, false}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
