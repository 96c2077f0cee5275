#include <gtest/gtest.h>

#include <functional>

#include "FakePictures.h"
#include "base/QueueDispatcher.h"
#include "viewer/FullPicture.h"
#include "viewer/PageLayout.h"

namespace {

constexpr int Unbounded = TPageLayout::MaxDisplaySide;

struct TNeedsFullCase {
    const char* Name;
    bool Reduced;
    TSize Display;
    bool Expected;
};

class NeedsFullTest : public ::testing::TestWithParam<TNeedsFullCase> {};

// A reduced bitmap of 400 x 300 serves while it is scaled down or copied.
TEST_P(NeedsFullTest, OnlyWhenTheViewWantsMorePixelsThanTheBitmapHolds)
{
    const TNeedsFullCase& c = GetParam();
    TImageSlot slot;
    slot.Index = 0;
    slot.Bitmap = std::make_shared<TBitmap>(400, 300, 24);
    slot.Reduced = c.Reduced;
    slot.FullWidth = 3200;
    slot.FullHeight = 2400;
    EXPECT_EQ(slot.NeedsFull(c.Display.Width, c.Display.Height), c.Expected);
    EXPECT_EQ(slot.PictureWidth(), c.Reduced ? 3200 : 400);
}

INSTANTIATE_TEST_SUITE_P(Cases, NeedsFullTest,
                         ::testing::Values(TNeedsFullCase{"Fitted", true, {380, 285}, false},
                                           TNeedsFullCase{"AtTheBitmapsSize", true, {400, 300}, false},
                                           TNeedsFullCase{"OneColumnMore", true, {401, 300}, true},
                                           TNeedsFullCase{"OneRowMore", true, {400, 301}, true},
                                           TNeedsFullCase{"ActualSize", true, {3200, 2400}, true},
                                           TNeedsFullCase{"DecodedInFull", false, {3200, 2400}, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TBoxCase {
    const char* Name;
    std::function<void(TViewState&)> Set;
    TSize Client;
    TSize Expected;
};

class FitDecodeBoxTest : public ::testing::TestWithParam<TBoxCase> {};

TEST_P(FitDecodeBoxTest, FollowsTheFitAndTheTurn)
{
    const TBoxCase& c = GetParam();
    TViewState state;
    if (c.Set)
        c.Set(state);
    const TSize box = FitDecodeBox(state, c.Client);
    EXPECT_EQ(box, c.Expected) << box.Width << " x " << box.Height;
    EXPECT_EQ(UnpackDecodeBox(PackDecodeBox(box)), box);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitDecodeBoxTest,
    ::testing::Values(
        TBoxCase{"WholePage", nullptr, {800, 600}, {800, 600}},
        TBoxCase{"Width", [](TViewState& s) { s.WindowFit = TWindowFit::wfWidth; }, {800, 600}, {800, Unbounded}},
        TBoxCase{"Height", [](TViewState& s) { s.WindowFit = TWindowFit::wfHeight; }, {800, 600}, {Unbounded, 600}},
        TBoxCase{"HalfPages", [](TViewState& s) { s.HalfV = true; }, {800, 600}, {1600, 1200}},
        TBoxCase{"QuarterTurn", [](TViewState& s) { s.Rotation = TRotation::rtRight90; }, {800, 600}, {600, 800}},
        TBoxCase{"WidthTurned",
                 [](TViewState& s) {
                     s.WindowFit = TWindowFit::wfWidth;
                     s.Rotation = TRotation::rtLeft90;
                 },
                 {800, 600},
                 {Unbounded, 800}},
        TBoxCase{"TurnedWhenPortrait",
                 [](TViewState& s) {
                     s.Rotation = TRotation::rtRight90;
                     s.AutoRotate = true;
                 },
                 {800, 600},
                 {800, 800}},
        TBoxCase{"UpsideDown", [](TViewState& s) { s.Rotation = TRotation::rt180; }, {800, 600}, {800, 600}},
        TBoxCase{"Ratio", [](TViewState& s) { s.ScaleMode = TScaleMode::smRatio; }, {800, 600}, {0, 0}},
        TBoxCase{"Size", [](TViewState& s) { s.ScaleMode = TScaleMode::smSize; }, {800, 600}, {0, 0}},
        TBoxCase{"ActualSize", [](TViewState& s) { s.DefSize = true; }, {800, 600}, {0, 0}},
        TBoxCase{"NoView", nullptr, {0, 600}, {0, 0}}),
    [](const auto& info) { return std::string(info.param.Name); });

// A viewer over pictures of 600 x 800 that load reduced to 150 x 200, in a
// view of 130 x 100, steps on a worker.
struct TZoomReader {
    std::shared_ptr<FakeSource> Source = std::make_shared<FakeSource>();
    std::shared_ptr<FakeDecoder> Decoder = std::make_shared<FakeDecoder>();
    TQueueDispatcher Dispatcher;
    std::unique_ptr<TPageViewer> Viewer;

    explicit TZoomReader(std::set<int> reduced = {0, 1, 2})
    {
        Source->Parallel = true;
        Source->Reduced = std::move(reduced);
        Viewer = std::make_unique<TPageViewer>([d = Decoder] { return d; }, &Dispatcher);
        TViewerOptions options;
        options.Cache.ImageCache = false;
        options.Cache.FileCache = false;
        Viewer->SetOptions(options);
        TViewState state;
        state.ViewMode = TViewMode::vmSingle;
        Viewer->SetViewState(state);
        Viewer->SetClientSize(130, 100);
        std::vector<TCacheItem> items;
        for (int i = 0; i < 4; ++i)
            items.push_back(TCacheItem{i, "/scans/" + std::to_string(i + 1) + ".jpg", 0, -1});
        Viewer->SetList(std::move(items), Source);
        Viewer->SetAsyncSteps(true);
        Viewer->Open(0);
    }

    bool Settle()
    {
        const auto deadline = TQueueDispatcher::TClock::now() + Wait;
        while (Viewer->StepPending() || Viewer->FullLoadPending())
            if (!Dispatcher.RunOne(deadline))
                return false;
        return true;
    }
};

struct TZoomCase {
    const char* Name;
    std::function<void(TPageViewer&)> Zoom;
    bool LoadsFull;
};

class ZoomReloadTest : public ::testing::TestWithParam<TZoomCase> {};

// The reduced picture stays shown until the full one has arrived; the page
// keeps its size and place as the pixels change.
TEST_P(ZoomReloadTest, LoadsThePageInFullOnlyWhenZoomedPastItsReducedBitmap)
{
    const TZoomCase& c = GetParam();
    TZoomReader reader;
    TPageViewer& viewer = *reader.Viewer;
    ASSERT_TRUE(viewer.Primary().Reduced);
    EXPECT_EQ(viewer.Layout().PictureSize(0), (TSize{600, 800})) << "laid out at its full size";
    EXPECT_EQ(viewer.Layout().PageSize(0), (TSize{67, 90}));
    EXPECT_FALSE(viewer.FullLoadPending());
    c.Zoom(viewer);
    const TSize zoomed = viewer.Layout().PageSize(0);
    const TRect content = viewer.Layout().ContentRect();
    EXPECT_EQ(viewer.FullLoadPending(), c.LoadsFull);
    EXPECT_TRUE(viewer.Primary().Reduced);
    EXPECT_EQ(viewer.Primary().Width(), 150);
    ASSERT_TRUE(reader.Settle());
    EXPECT_EQ(reader.Source->FullLoads, c.LoadsFull ? std::vector<int>{0} : std::vector<int>{});
    EXPECT_EQ(viewer.Primary().Reduced, !c.LoadsFull);
    EXPECT_EQ(viewer.Primary().Width(), c.LoadsFull ? 600 : 150);
    EXPECT_EQ(viewer.Layout().PageSize(0), zoomed);
    EXPECT_EQ(viewer.Layout().ContentRect(), content);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ZoomReloadTest,
    ::testing::Values(TZoomCase{"Fitted", [](TPageViewer&) {}, false},
                      TZoomCase{"ZoomIn", [](TPageViewer& v) { v.ZoomStep(true); }, true},
                      TZoomCase{"ZoomOut", [](TPageViewer& v) { v.ZoomStep(false); }, false},
                      TZoomCase{"ActualSize", [](TPageViewer& v) { v.ActualSize(true); }, true},
                      TZoomCase{"QuarterRatioIsTheBitmap", [](TPageViewer& v) { v.SelectRatio(0); }, false},
                      TZoomCase{"HalfRatio", [](TPageViewer& v) { v.SelectRatio(1); }, true},
                      TZoomCase{"Band", [](TPageViewer& v) { v.ZoomToBand({40, 20}, {60, 40}); }, true},
                      TZoomCase{"LoupeOn", [](TPageViewer& v) { v.SetDetailWanted(true); }, true},
                      TZoomCase{"FitWidthWithinTheBitmap",
                                [](TPageViewer& v) { v.SelectFit(TWindowFit::wfWidth); }, false}),
    [](const auto& info) { return std::string(info.param.Name); });

// A page turned away while its full load runs never receives it; the page
// turned to, zoomed as well, is loaded in full in its place.
TEST(ZoomReload, FullLoadOfAPageTurnedAwayIsDropped)
{
    TZoomReader reader;
    TPageViewer& viewer = *reader.Viewer;
    std::mutex mutex;
    std::condition_variable changed;
    bool running = false;
    bool released = false;
    reader.Source->OnRun = [&](int index) {
        if (index != 0)
            return;
        std::unique_lock lock(mutex);
        running = true;
        changed.notify_all();
        changed.wait_for(lock, Wait, [&] { return released; });
    };
    viewer.SelectRatio(3);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, Wait, [&] { return running; }));
    }
    viewer.RunMove(TMoveCommand::mcNext);
    const auto deadline = TQueueDispatcher::TClock::now() + Wait;
    while (viewer.StepPending())
        ASSERT_TRUE(reader.Dispatcher.RunOne(deadline));
    EXPECT_EQ(viewer.Primary().Index, 1);
    EXPECT_TRUE(viewer.Primary().Reduced) << "page 1 arrives reduced, its full load under way";
    EXPECT_TRUE(viewer.FullLoadPending());
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    changed.notify_all();
    ASSERT_TRUE(reader.Settle());
    EXPECT_EQ(viewer.Primary().Index, 1);
    EXPECT_FALSE(viewer.Primary().Reduced);
    EXPECT_EQ(reader.Source->FullLoads, (std::vector<int>{0, 1}));
    // Page 0's full load was never finished: opened, page 1's step, page 1 in full.
    EXPECT_EQ(reader.Source->Loaded, (std::vector<int>{0, 1, 1}));
}

// A full load that fails keeps the reduced picture and is not asked again
// at each zoom.
TEST(ZoomReload, FailedFullLoadKeepsTheReducedPicture)
{
    TZoomReader reader;
    reader.Source->FullBroken = {0};
    TPageViewer& viewer = *reader.Viewer;
    viewer.ActualSize(true);
    ASSERT_TRUE(reader.Settle());
    ASSERT_TRUE(viewer.Primary().HasBitmap());
    EXPECT_TRUE(viewer.Primary().Reduced);
    viewer.ZoomStep(true);
    EXPECT_FALSE(viewer.FullLoadPending());
    EXPECT_EQ(reader.Source->FullLoads, std::vector<int>{0});
}

}  // namespace
