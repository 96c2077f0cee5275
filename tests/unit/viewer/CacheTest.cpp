#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "FakePictures.h"
#include "viewer/Cache.h"

namespace {

constexpr TCacheDirection Ahead = TCacheDirection::cdAhead;
constexpr TCacheDirection Behind = TCacheDirection::cdBehind;

TCacheSetup MakeSetup(int count, TViewMode mode, int next, int prior, bool loop = false)
{
    TCacheSetup setup;
    setup.ViewMode = mode;
    setup.Loop = loop;
    setup.Options.NextCount = next;
    setup.Options.PriorCount = prior;
    for (int i = 0; i < count; ++i)
        setup.Items.push_back(TCacheItem{i, "/book/" + std::to_string(i) + ".jpg", 0, -1});
    return setup;
}

TImageSlot Picture(int index)
{
    TImageSlot slot;
    slot.Index = index;
    slot.Bitmap = std::make_shared<TBitmap>(4, 6, 24);
    return slot;
}

std::vector<int> Range(int from, int to)
{
    std::vector<int> v;
    for (int i = from; i <= to; ++i)
        v.push_back(i);
    return v;
}

// Starts a cache on a shown position, lets it fill and waits until it rests.
std::unique_ptr<TImageCacheThread> Started(TCacheSetup setup, std::shared_ptr<FakeDecoder> decoder, TCacheShown shown,
                                           TDispatcher* dispatcher = nullptr,
                                           TImageCacheThread::TPrefetchListener listener = nullptr)
{
    setup.Shown = shown;
    auto cache = std::make_unique<TImageCacheThread>(std::move(setup), decoder, dispatcher, std::move(listener));
    cache->Resume(shown);
    EXPECT_TRUE(cache->WaitIdle(Wait));
    return cache;
}

// One page forward in single-page mode, as the viewer does it.
TImageSlot StepForward(TImageCacheThread& cache, TImageSlot shown)
{
    const int from = shown.Index;
    TImageSlot next = cache.TakeNext(Ahead, from + 1, Wait);
    cache.GiveBack(Behind, from, std::move(shown), true);
    cache.Resume(TCacheShown{from + 1, -1});
    EXPECT_TRUE(cache.WaitIdle(Wait));
    return next;
}

TEST(Cache, ReadingForwardKeepsOnePageEachSideAndFilesAhead)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto cache = Started(MakeSetup(10, TViewMode::vmSingle, 1, 1), decoder, TCacheShown{0, -1});
    TCacheSnapshot s = cache->Snapshot();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{1}));
    EXPECT_TRUE(s.Behind.Indexes.empty());
    EXPECT_TRUE(s.Behind.Full);  // the start of the list, without loop
    EXPECT_EQ(s.FileIndexes, Range(2, 9));
    EXPECT_EQ(s.FileBytes, 8 * 1000);
    EXPECT_EQ(decoder->DecodedCopy(), (std::vector<int>{1}));

    TImageSlot shown = Picture(0);
    for (int page = 1; page <= 3; ++page) {
        shown = StepForward(*cache, std::move(shown));
        ASSERT_EQ(shown.Index, page);
        ASSERT_TRUE(shown.HasBitmap());
        s = cache->Snapshot();
        EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{page + 1}));
        EXPECT_EQ(s.Behind.Indexes, (std::vector<int>{page - 1}));
        EXPECT_EQ(s.FileIndexes, Range(page + 2, 9));
    }
    // Only the first picture ahead was decoded from disk; the rest came from
    // the bytes read ahead, each from its own file.
    EXPECT_EQ(decoder->DecodedCopy(), (std::vector<int>{1}));
    EXPECT_EQ(decoder->FromBytesCopy(), (std::vector<int>{2, 3, 4}));
    EXPECT_FALSE(decoder->WrongBytes);
}

TEST(Cache, AutomaticSpreadCountsLandscapeAsAPair)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto setup = MakeSetup(10, TViewMode::vmAuto, 1, 0);
    setup.Options.FileCache = false;
    auto cache = Started(setup, decoder, TCacheShown{0, 1});
    EXPECT_EQ(cache->Snapshot().Ahead.Indexes, (std::vector<int>{2, 3}));
    EXPECT_EQ(cache->Snapshot().Ahead.Limit, 2);

    decoder->Landscape = {5};
    auto wide = Started(setup, decoder, TCacheShown{4, -1});
    EXPECT_EQ(wide->Snapshot().Ahead.Indexes, (std::vector<int>{5}));
    EXPECT_EQ(wide->Snapshot().Ahead.Count, 2);
}

TEST(Cache, QueuedPicturesOfTheShownSizeAreScaledAhead)
{
    for (const bool fails : {false, true}) {
        auto decoder = std::make_shared<FakeDecoder>();
        decoder->PrescaleFails = fails;
        decoder->Landscape = {2};
        auto setup = MakeSetup(10, TViewMode::vmSingle, 2, 1);
        setup.Options.FileCache = false;
        auto cache = Started(setup, decoder, TCacheShown{0, -1});
        EXPECT_TRUE(decoder->PrescaledCopy().empty()) << "nothing without a target";

        cache->SetPrescaleTargets({TPrescaleTarget{4, 6, 2, 3, TStretchMode::smLanczos3}});
        ASSERT_TRUE(cache->WaitIdle(Wait)) << "a failure is not tried again and again";
        // The landscape picture is of another size and is left to the view.
        EXPECT_EQ(decoder->PrescaledCopy(), (std::vector<std::string>{"4x6>2x3/4"}));

        TImageSlot shown = StepForward(*cache, Picture(0));
        ASSERT_EQ(shown.Index, 1);
        EXPECT_EQ(shown.ScaledFor(2, 3, TStretchMode::smLanczos3) != nullptr, !fails);
        EXPECT_EQ(shown.ScaledFor(2, 3, TStretchMode::smBilinear), nullptr) << "made with another method";
        // Picture 3, decoded after the step, is scaled too, and so is picture
        // 0, given back behind, for a step back.
        EXPECT_EQ(decoder->PrescaledCopy(), (std::vector<std::string>(3, "4x6>2x3/4")));
        shown = StepForward(*cache, std::move(shown));
        ASSERT_EQ(shown.Index, 2);
        EXPECT_EQ(shown.Scaled, nullptr);
        shown = StepForward(*cache, std::move(shown));
        ASSERT_EQ(shown.Index, 3);
        EXPECT_EQ(shown.ScaledFor(2, 3, TStretchMode::smLanczos3) != nullptr, !fails);
    }
}

TEST(Cache, ShortLoopSharesPicturesAndTakingRemovesEveryReference)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto setup = MakeSetup(3, TViewMode::vmSingle, 2, 2, true);
    setup.Options.FileCache = false;
    auto cache = Started(setup, decoder, TCacheShown{0, -1});
    TCacheSnapshot s = cache->Snapshot();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{1, 2}));
    EXPECT_EQ(s.Behind.Indexes, (std::vector<int>{2, 1}));
    EXPECT_EQ(s.DecodedIndexes, (std::vector<int>{1, 2}));
    // Held once each.
    std::vector<int> decoded = decoder->DecodedCopy();
    std::sort(decoded.begin(), decoded.end());
    EXPECT_EQ(decoded, (std::vector<int>{1, 2}));

    const TImageSlot one = cache->TakeNext(Ahead, 1, Wait);
    EXPECT_EQ(one.Index, 1);
    s = cache->Snapshot();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{2}));
    EXPECT_EQ(s.Behind.Indexes, (std::vector<int>{2}));
    EXPECT_EQ(s.DecodedIndexes, (std::vector<int>{2}));
    EXPECT_EQ(s.Ahead.Count, 1);
    EXPECT_EQ(s.Behind.Count, 1);
    EXPECT_TRUE(s.Paused);
}

TEST(Cache, BothEndsReachedPausesForGood)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto cache = Started(MakeSetup(3, TViewMode::vmSingle, 5, 5), decoder, TCacheShown{1, -1});
    const TCacheSnapshot s = cache->Snapshot();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{2}));
    EXPECT_EQ(s.Behind.Indexes, (std::vector<int>{0}));
    EXPECT_TRUE(s.Ahead.Full);
    EXPECT_TRUE(s.Behind.Full);
    EXPECT_LT(s.Ahead.Count, s.Ahead.Limit);
    EXPECT_TRUE(s.Paused);
    EXPECT_TRUE(s.FileIndexes.empty());
}

TEST(Cache, ModeChangeDoublesAndTrimsLimits)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto setup = MakeSetup(20, TViewMode::vmSingle, 2, 1);
    setup.Options.FileCache = false;
    auto cache = Started(setup, decoder, TCacheShown{5, -1});
    EXPECT_EQ(cache->Snapshot().Ahead.Indexes, (std::vector<int>{6, 7}));
    EXPECT_EQ(cache->Snapshot().Behind.Indexes, (std::vector<int>{4}));

    cache->RecountLimits(TViewMode::vmSpread);
    ASSERT_TRUE(cache->WaitIdle(Wait));
    TCacheSnapshot s = cache->Snapshot();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{6, 7, 8, 9}));
    EXPECT_EQ(s.Behind.Indexes, (std::vector<int>{4, 3}));

    cache->RecountLimits(TViewMode::vmSingle);
    ASSERT_TRUE(cache->WaitIdle(Wait));
    s = cache->Snapshot();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{6, 7}));
    EXPECT_EQ(s.Behind.Indexes, (std::vector<int>{4}));
    EXPECT_EQ(s.DecodedIndexes, (std::vector<int>{4, 6, 7}));
}

TEST(Cache, WithoutDecodedPicturesEachStepDecodesFromMemory)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto setup = MakeSetup(10, TViewMode::vmSingle, 1, 1);
    setup.Options.ImageCache = false;
    auto cache = Started(setup, decoder, TCacheShown{0, -1});
    TCacheSnapshot s = cache->Snapshot();
    EXPECT_TRUE(s.Ahead.Indexes.empty());
    EXPECT_EQ(s.FileIndexes, Range(1, 9));

    TImageSlot shown = Picture(0);
    shown = StepForward(*cache, std::move(shown));
    EXPECT_EQ(shown.Index, 1);
    EXPECT_TRUE(shown.HasBitmap());
    s = cache->Snapshot();
    // The picture given back is trimmed away at once: nothing is kept.
    EXPECT_TRUE(s.Behind.Indexes.empty());
    EXPECT_TRUE(s.DecodedIndexes.empty());
    EXPECT_EQ(s.FileIndexes, Range(2, 9));
    EXPECT_TRUE(decoder->DecodedCopy().empty());
    EXPECT_EQ(decoder->FromBytesCopy(), (std::vector<int>{1}));
}

TEST(Cache, WithBothOffTheThreadDoesNothingOnItsOwn)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto setup = MakeSetup(10, TViewMode::vmSingle, 1, 1);
    setup.Options.ImageCache = false;
    setup.Options.FileCache = false;
    auto cache = Started(setup, decoder, TCacheShown{0, -1});
    const TCacheSnapshot s = cache->Snapshot();
    EXPECT_TRUE(s.DecodedIndexes.empty());
    EXPECT_TRUE(s.FileIndexes.empty());
    EXPECT_TRUE(decoder->DecodedCopy().empty());
}

TEST(Cache, UndecodablePictureStopsTheQueue)
{
    auto decoder = std::make_shared<FakeDecoder>();
    decoder->Broken = {3};
    auto setup = MakeSetup(10, TViewMode::vmSingle, 5, 0);
    setup.Options.FileCache = false;
    auto cache = Started(setup, decoder, TCacheShown{1, -1});
    const TCacheSnapshot s = cache->Snapshot();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{2, 3}));
    EXPECT_TRUE(s.Ahead.Full);
    cache->TakeNext(Ahead, 2, Wait);
    const TImageSlot broken = cache->TakeNext(Ahead, 3, Wait);
    // The viewer loads it itself, so that the loader's message is shown.
    EXPECT_EQ(broken.Index, 3);
    EXPECT_FALSE(broken.HasBitmap());
}

TEST(Cache, OfflineMediumGivesNoPictureAndEndsTheFileStage)
{
    auto decoder = std::make_shared<FakeDecoder>();
    decoder->Offline = {2, 5};
    auto setup = MakeSetup(10, TViewMode::vmSingle, 1, 0);
    setup.Media = true;
    auto cache = Started(setup, decoder, TCacheShown{0, -1});
    TCacheSnapshot s = cache->Snapshot();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{1}));
    EXPECT_EQ(s.FileIndexes, (std::vector<int>{}));  // stops at the absent 2
    const TImageSlot two = cache->TakeNext(Ahead, 2, Wait);
    EXPECT_EQ(two.Index, 2);
    EXPECT_FALSE(two.HasBitmap());
}

TEST(Cache, FileLargerThanTheFileCacheIsNeverRead)
{
    auto decoder = std::make_shared<FakeDecoder>();
    decoder->FileSize = 2 * 1048576;
    auto setup = MakeSetup(10, TViewMode::vmSingle, 1, 0);
    setup.Options.FileCacheSize = 1;
    auto cache = Started(setup, decoder, TCacheShown{0, -1});
    const TCacheSnapshot s = cache->Snapshot();
    EXPECT_TRUE(s.FileIndexes.empty());
    EXPECT_EQ(s.FileBytes, 0);
    EXPECT_TRUE(decoder->Read.empty());
    EXPECT_EQ(decoder->LargestAllowed, 1048576);
}

TEST(Cache, FileCacheStaysWithinItsBytes)
{
    auto decoder = std::make_shared<FakeDecoder>();
    decoder->FileSize = 400 * 1024;
    auto setup = MakeSetup(10, TViewMode::vmSingle, 1, 0);
    setup.Options.FileCacheSize = 1;
    auto cache = Started(setup, decoder, TCacheShown{0, -1});
    const TCacheSnapshot s = cache->Snapshot();
    EXPECT_EQ(s.FileIndexes, (std::vector<int>{2, 3}));
    EXPECT_EQ(s.FileBytes, 800 * 1024);
}

TEST(Cache, UnreadableFileGivesNoPictureLater)
{
    auto decoder = std::make_shared<FakeDecoder>();
    decoder->Unreadable = {2};
    auto cache = Started(MakeSetup(5, TViewMode::vmSingle, 1, 0), decoder, TCacheShown{0, -1});
    EXPECT_EQ(cache->Snapshot().FileIndexes, (std::vector<int>{2, 3, 4}));
    TImageSlot shown = StepForward(*cache, Picture(0));
    const TCacheSnapshot s = cache->Snapshot();
    ASSERT_EQ(s.Ahead.Indexes, (std::vector<int>{2}));
    const TImageSlot two = cache->TakeNext(Ahead, 2, Wait);
    EXPECT_EQ(two.Index, 2);
    EXPECT_FALSE(two.HasBitmap());
}

TEST(Cache, TrimmedQueueNeverSkipsAPageThroughTheFileCache)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto cache = Started(MakeSetup(12, TViewMode::vmSpread, 2, 0), decoder, TCacheShown{0, -1});
    ASSERT_EQ(cache->Snapshot().Ahead.Indexes, (std::vector<int>{1, 2, 3, 4}));
    ASSERT_EQ(cache->Snapshot().FileIndexes, Range(5, 11));
    // Back to single pages: the queue ahead drops 3 and 4.
    cache->RecountLimits(TViewMode::vmSingle);
    ASSERT_TRUE(cache->WaitIdle(Wait));
    ASSERT_EQ(cache->Snapshot().Ahead.Indexes, (std::vector<int>{1, 2}));
    // The next picture after 2 is 3, not the file read ahead for 5.
    StepForward(*cache, Picture(0));
    const TCacheSnapshot s = cache->Snapshot();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{2, 3}));
    EXPECT_EQ(s.FileIndexes, Range(4, 11));
    EXPECT_FALSE(decoder->WrongBytes);
}

TEST(Cache, DirectionChangeReadsFilesOnTheOtherSide)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto cache = Started(MakeSetup(10, TViewMode::vmSingle, 1, 1), decoder, TCacheShown{5, -1});
    ASSERT_EQ(cache->Snapshot().FileIndexes, Range(7, 9));
    cache->SetTravelDirection(true);
    ASSERT_TRUE(cache->WaitIdle(Wait));
    EXPECT_EQ(cache->Snapshot().FileIndexes, (std::vector<int>{3, 2, 1, 0}));
}

TEST(Cache, RandomOrderIsFollowed)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto setup = MakeSetup(5, TViewMode::vmSingle, 2, 1);
    setup.RandomOrder = {3, 0, 4, 1, 2};
    setup.Options.FileCache = false;
    // The shown picture 3 is at position 0 of the order.
    auto cache = Started(setup, decoder, TCacheShown{0, -1});
    const TCacheSnapshot s = cache->Snapshot();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{0, 4}));
    EXPECT_EQ(s.Ahead.Positions, (std::vector<int>{1, 2}));
    EXPECT_TRUE(s.Behind.Indexes.empty());
    EXPECT_EQ(cache->TakeNext(Ahead, 1, Wait).Index, 0);
}

TEST(Cache, GivenBackPicturesAreHeldOnceAndTrimmed)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto setup = MakeSetup(20, TViewMode::vmSpread, 1, 1);
    setup.Options.FileCache = false;
    auto cache = Started(setup, decoder, TCacheShown{4, 5});
    ASSERT_EQ(cache->Snapshot().Ahead.Indexes, (std::vector<int>{6, 7}));
    ASSERT_EQ(cache->Snapshot().Behind.Indexes, (std::vector<int>{3, 2}));
    // A forward step by a pair: 6 and 7 are taken, the old pair goes behind,
    // the higher page nearest.
    EXPECT_EQ(cache->TakeNext(Ahead, 6, Wait).Index, 6);
    EXPECT_EQ(cache->TakeNext(Ahead, 7, Wait).Index, 7);
    cache->GiveBack(Behind, 4, Picture(4), true);
    cache->GiveBack(Behind, 5, Picture(5), true);
    cache->Resume(TCacheShown{6, 7});
    ASSERT_TRUE(cache->WaitIdle(Wait));
    const TCacheSnapshot s = cache->Snapshot();
    EXPECT_EQ(s.Ahead.Indexes, (std::vector<int>{8, 9}));
    EXPECT_EQ(s.Behind.Indexes, (std::vector<int>{5, 4}));
    EXPECT_EQ(s.DecodedIndexes, (std::vector<int>{4, 5, 8, 9}));
}

TEST(Cache, QueueOutOfStepIsRefilledFromTheWantedPosition)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto setup = MakeSetup(20, TViewMode::vmSingle, 2, 0);
    setup.Options.FileCache = false;
    auto cache = Started(setup, decoder, TCacheShown{4, -1});
    ASSERT_EQ(cache->Snapshot().Ahead.Indexes, (std::vector<int>{5, 6}));
    const TImageSlot slot = cache->TakeNext(Ahead, 10, Wait);
    EXPECT_EQ(slot.Index, 10);
    EXPECT_TRUE(slot.HasBitmap());
    EXPECT_TRUE(cache->Snapshot().Ahead.Indexes.empty());
}

TEST(Cache, TakeNextPastTheEndReturnsEmpty)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto cache = Started(MakeSetup(3, TViewMode::vmSingle, 1, 1), decoder, TCacheShown{2, -1});
    EXPECT_EQ(cache->TakeNext(Ahead, 3, Wait).Index, -1);
    EXPECT_EQ(cache->TakeNext(Ahead, -1, Wait).Index, -1);
}

TEST(Cache, TakeNextReturnsWhenTheThreadEnds)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto setup = MakeSetup(10, TViewMode::vmSingle, 1, 0);
    setup.Options.FileCache = false;
    setup.Shown = TCacheShown{0, -1};
    TImageCacheThread cache(setup, decoder);
    // The thread is told to end while it decodes the picture the viewer
    // waits for; the wait must end with the thread, long before its limit.
    decoder->OnDecode = [&cache] { cache.Stop(); };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(cache.TakeNext(Ahead, 1, Wait).Index, -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, Wait / 2);
    EXPECT_TRUE(cache.Ended());
    EXPECT_EQ(cache.TakeNext(Ahead, 2, Wait).Index, -1);
}

TEST(Cache, AWaitThatGivesUpDropsTheLatePictureAndIsNotRepeated)
{
    // Only the first decode is stuck, until released (or three seconds).
    std::mutex mutex;
    std::condition_variable changed;
    bool stuck = false;
    bool released = false;
    auto decoder = std::make_shared<FakeDecoder>();
    decoder->OnDecode = [&, first = true]() mutable {
        if (!std::exchange(first, false))
            return;
        std::unique_lock lock(mutex);
        stuck = true;
        changed.notify_all();
        changed.wait_for(lock, std::chrono::seconds(3), [&] { return released; });
    };
    auto release = [&] {
        std::lock_guard lock(mutex);
        released = true;
        changed.notify_all();
    };
    auto setup = MakeSetup(10, TViewMode::vmSingle, 1, 0);
    setup.Options.FileCache = false;
    setup.Shown = TCacheShown{0, -1};
    TImageCacheThread cache(setup, decoder);

    EXPECT_EQ(cache.TakeNext(Ahead, 1, std::chrono::milliseconds(50)).Index, -1);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, Wait, [&] { return stuck; }));
    }
    // The thread is still stuck: the next step does not wait for it again.
    // Waiting, it would get picture 2 once the stuck decode gave up.
    EXPECT_EQ(cache.TakeNext(Ahead, 2, Wait).Index, -1);
    release();
    ASSERT_TRUE(cache.WaitIdle(Wait));
    // The view loaded 1 itself; the late picture is not kept.
    EXPECT_TRUE(cache.Snapshot().Ahead.Indexes.empty());
    EXPECT_TRUE(cache.Snapshot().DecodedIndexes.empty());
    // Out of the stuck step, the thread serves waits again.
    const TImageSlot two = cache.TakeNext(Ahead, 2, Wait);
    EXPECT_EQ(two.Index, 2);
    EXPECT_TRUE(two.HasBitmap());
}

TEST(Cache, ReportsEachPrefetchThroughTheDispatcher)
{
    auto decoder = std::make_shared<FakeDecoder>();
    TInlineDispatcher dispatcher;
    std::mutex mutex;
    std::vector<std::pair<int, bool>> reports;
    decoder->Broken = {2};
    auto setup = MakeSetup(10, TViewMode::vmSingle, 3, 0);
    setup.Options.FileCache = false;
    auto cache = Started(setup, decoder, TCacheShown{0, -1}, &dispatcher, [&](int index, bool decoded) {
        std::lock_guard lock(mutex);
        reports.emplace_back(index, decoded);
    });
    std::lock_guard lock(mutex);
    EXPECT_EQ(reports, (std::vector<std::pair<int, bool>>{{1, true}, {2, false}}));
}

TEST(Cache, PictureDecodedWhileTheViewMovedOnIsNotLost)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto setup = MakeSetup(20, TViewMode::vmSingle, 1, 0);
    setup.Options.FileCache = false;
    auto cache = Started(setup, decoder, TCacheShown{0, -1});
    ASSERT_EQ(cache->Snapshot().Ahead.Indexes, (std::vector<int>{1}));
    // The thread decodes 2 while the view takes 1: 2 is still wanted next.
    decoder->Close();
    cache->RecountLimits(TViewMode::vmSpread);
    ASSERT_TRUE(decoder->WaitUntilBlocked());
    EXPECT_EQ(cache->TakeNext(Ahead, 1, Wait).Index, 1);
    decoder->Open();
    ASSERT_TRUE(cache->WaitIdle(Wait));
    EXPECT_EQ(cache->Snapshot().Ahead.Indexes, (std::vector<int>{2}));
}

// Many quick steps back and forth: every take must be answered (no lost
// wake-up) with the right picture, and the queues must stay in step.
TEST(Cache, RapidStepsAreAlwaysAnswered)
{
    auto decoder = std::make_shared<FakeDecoder>();
    const int count = 40;
    auto setup = MakeSetup(count, TViewMode::vmSingle, 2, 2, true);
    setup.Options.FileCacheSize = 1;
    setup.Shown = TCacheShown{0, -1};
    TImageCacheThread cache(setup, decoder);
    cache.Resume(TCacheShown{0, -1});
    TImageSlot shown = Picture(0);
    bool backward = false;
    for (int step = 0; step < 300; ++step) {
        if (step % 37 == 36) {
            backward = !backward;
            cache.SetTravelDirection(backward);
        }
        const int from = shown.Index;
        const int to = backward ? (from + count - 1) % count : (from + 1) % count;
        TImageSlot next = cache.TakeNext(backward ? Behind : Ahead, to, Wait);
        ASSERT_EQ(next.Index, to) << "step " << step;
        ASSERT_TRUE(next.HasBitmap());
        cache.GiveBack(backward ? Ahead : Behind, from, std::move(shown), true);
        cache.Resume(TCacheShown{to, -1});
        shown = std::move(next);
    }
    EXPECT_FALSE(decoder->WrongBytes);
    cache.Stop();
    EXPECT_TRUE(cache.Ended());
}

// A trim still pending while the thread is busy elsewhere must survive a
// give-back without trimming (a partner handed back, a page routed by a
// one-page step): the queue ends within its limit.
struct TPendingTrimCase {
    const char* Name;
    std::function<void(TImageCacheThread&)> MakeTrimPending;
    int GivenBack;  // handed back ahead without trimming afterwards
    std::vector<int> Ahead;
    int Limit;
};

class PendingTrimTest : public ::testing::TestWithParam<TPendingTrimCase> {};

TEST_P(PendingTrimTest, GiveBackWithoutTrimKeepsIt)
{
    const TPendingTrimCase& row = GetParam();
    auto decoder = std::make_shared<FakeDecoder>();
    auto setup = MakeSetup(30, TViewMode::vmSpread, 2, 1);
    setup.Options.FileCache = false;
    auto cache = Started(setup, decoder, TCacheShown{10, 11});
    ASSERT_EQ(cache->Snapshot().Ahead.Indexes, (std::vector<int>{12, 13, 14, 15}));
    ASSERT_EQ(cache->Snapshot().Behind.Indexes, (std::vector<int>{9, 8}));

    // The thread is kept decoding for the queue behind, so that it cannot
    // trim the queue ahead between the two calls below.
    ASSERT_EQ(cache->TakeNext(Behind, 9, Wait).Index, 9);
    decoder->Close();
    cache->Resume(TCacheShown{10, 11});
    ASSERT_TRUE(decoder->WaitUntilBlocked());
    row.MakeTrimPending(*cache);
    cache->GiveBack(Ahead, row.GivenBack, Picture(row.GivenBack), false);
    decoder->Open();
    ASSERT_TRUE(cache->WaitIdle(Wait));

    const TCacheSnapshot s = cache->Snapshot();
    EXPECT_EQ(s.Ahead.Indexes, row.Ahead);
    EXPECT_EQ(s.Ahead.Limit, row.Limit);
    EXPECT_LE(s.Ahead.Count, s.Ahead.Limit);
    for (int dropped = row.Ahead.back() + 1; dropped <= 15; ++dropped)
        EXPECT_EQ(std::count(s.DecodedIndexes.begin(), s.DecodedIndexes.end(), dropped), 0)
            << dropped << " is still held";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PendingTrimTest,
    ::testing::Values(
        // Back to single pages: the limit ahead halves to 2.
        TPendingTrimCase{"AfterModeChange", [](TImageCacheThread& cache) { cache.RecountLimits(TViewMode::vmSingle); },
                         11, {11, 12}, 2},
        TPendingTrimCase{"AfterTrimmingGiveBack",
                         [](TImageCacheThread& cache) { cache.GiveBack(Ahead, 11, Picture(11), true); }, 10,
                         {10, 11, 12, 13}, 4}),
    [](const auto& info) { return std::string(info.param.Name); });

// The thread keeps its own copy of the image list and of the random order:
// whatever the caller does with its list after the start, the thread
// decodes the pictures of the list it was given.
struct TListChangeCase {
    const char* Name;
    std::function<void(std::unique_ptr<TCacheSetup>&)> Change;
};

class CacheListCopyTest : public ::testing::TestWithParam<TListChangeCase> {};

TEST_P(CacheListCopyTest, CallersListMayChangeAfterTheStart)
{
    auto decoder = std::make_shared<FakeDecoder>();
    auto callers = std::make_unique<TCacheSetup>(MakeSetup(5, TViewMode::vmSingle, 2, 0));
    callers->RandomOrder = {3, 0, 4, 1, 2};
    callers->Options.FileCache = false;
    callers->Shown = TCacheShown{0, -1};
    TImageCacheThread cache(*callers, decoder);
    GetParam().Change(callers);

    cache.Resume(TCacheShown{0, -1});
    ASSERT_TRUE(cache.WaitIdle(Wait));
    EXPECT_EQ(cache.Snapshot().Ahead.Indexes, (std::vector<int>{0, 4}));
    EXPECT_EQ(cache.TakeNext(Ahead, 1, Wait).Index, 0);
    // A request beyond the queue is resolved through the same copy.
    EXPECT_EQ(cache.TakeNext(Ahead, 4, Wait).Index, 2);
    EXPECT_EQ(decoder->DecodedPathsCopy(), (std::vector<std::string>{"/book/0.jpg", "/book/4.jpg", "/book/2.jpg"}));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CacheListCopyTest,
    ::testing::Values(TListChangeCase{"PathsChanged",
                                      [](std::unique_ptr<TCacheSetup>& setup) {
                                          for (TCacheItem& item : setup->Items)
                                              item.Path = "/elsewhere/" + item.Path;
                                      }},
                      TListChangeCase{"OrderChanged",
                                      [](std::unique_ptr<TCacheSetup>& setup) {
                                          std::reverse(setup->RandomOrder.begin(), setup->RandomOrder.end());
                                      }},
                      TListChangeCase{"ListEmptied",
                                      [](std::unique_ptr<TCacheSetup>& setup) {
                                          setup->Items.clear();
                                          setup->RandomOrder.clear();
                                      }},
                      TListChangeCase{"ListDestroyed", [](std::unique_ptr<TCacheSetup>& setup) { setup.reset(); }}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
