// The thumbnail view's geometry, keys, wheel, captions and what it asks of
// the thumbnail thread.

#include <gtest/gtest.h>

#include "shellviews/ThumbLayout.h"
#include "shellviews/ThumbRequester.h"

namespace {

constexpr int LineHeight = 14;

TThumbCaptionSet NoCaptions()
{
    return {false, false, false, false, false};
}

TEST(ThumbLayout, AllCaptionsOffGivesBareImageArea)
{
    const TThumbCellSize size = LayoutThumbnails(80, 80, NoCaptions(), LineHeight, false);
    EXPECT_EQ(size.CellWidth, 92);
    EXPECT_EQ(size.CellHeight, 92);
    EXPECT_EQ(size.PitchX, 96);
    EXPECT_EQ(size.PitchY, 96);
}

struct CaptionRow {
    TThumbCaptionSet Captions;
    int CaptionHeight;
};

class ThumbCaptionHeight : public ::testing::TestWithParam<CaptionRow> {};

TEST_P(ThumbCaptionHeight, FollowsTheShownLines)
{
    const TThumbCellSize size = LayoutThumbnails(80, 60, GetParam().Captions, LineHeight, false);
    EXPECT_EQ(size.CaptionHeight, GetParam().CaptionHeight);
    EXPECT_EQ(size.CellHeight, 72 + GetParam().CaptionHeight);
    EXPECT_EQ(size.PitchY, size.CellHeight + 4);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ThumbCaptionHeight,
    ::testing::Values(CaptionRow{{true, false, false, false, false}, 2 * LineHeight + 6},
                      // The name's two lines and the gap below them go with the name.
                      CaptionRow{{false, false, true, false, false}, LineHeight + 6},
                      CaptionRow{{true, false, true, false, false}, 2 * LineHeight + 4 + LineHeight + 6},
                      // Comment and picture information share one line.
                      CaptionRow{{false, true, false, false, true}, LineHeight + 6},
                      CaptionRow{{true, true, true, true, true}, 2 * LineHeight + 4 + 3 * LineHeight + 6}));

TEST(ThumbLayout, DetailModeHasNoCaptionsBelow)
{
    const TThumbCellSize size = LayoutThumbnails(80, 80, {true, true, true, true, true}, LineHeight, true);
    EXPECT_EQ(size.CellHeight, 92);
    const TThumbArrangement a = ArrangeThumbnails(size, 3, 500, 1000, 16, true);
    EXPECT_EQ(a.Columns, 1);
    EXPECT_EQ(a.Size.CellWidth, 500 - 8 - 4);
    // Once the rows need a bar the cell gives way to it.
    const TThumbArrangement scrolled = ArrangeThumbnails(size, 30, 500, 300, 16, true);
    EXPECT_TRUE(scrolled.VerticalBar);
    EXPECT_EQ(scrolled.Size.CellWidth, 500 - 8 - 16 - 4);
}

struct ArrangeRow {
    int Count, Width, Height;
    int Columns, Rows;
    bool Bar;
};

class ThumbArrange : public ::testing::TestWithParam<ArrangeRow> {};

TEST_P(ThumbArrange, ColumnsAndRows)
{
    const ArrangeRow& r = GetParam();
    const TThumbArrangement a =
        ArrangeThumbnails(LayoutThumbnails(80, 80, NoCaptions(), LineHeight, false), r.Count, r.Width, r.Height, 16, false);
    EXPECT_EQ(a.Columns, r.Columns);
    EXPECT_EQ(a.Rows, r.Rows);
    EXPECT_EQ(a.VerticalBar, r.Bar);
    EXPECT_EQ(a.ContentHeight, 96 * r.Rows + 4);
}

INSTANTIATE_TEST_SUITE_P(Rows, ThumbArrange,
                         ::testing::Values(
                             // Narrower than one pitch: still one column.
                             ArrangeRow{5, 50, 2000, 1, 5, false}, ArrangeRow{5, 0, 2000, 1, 5, false},
                             ArrangeRow{10, 8 + 96 * 4, 1000, 4, 3, false},
                             // The bar takes the room of the fourth column.
                             ArrangeRow{40, 8 + 96 * 4, 300, 3, 14, true},
                             // Room enough beside the bar keeps the columns.
                             ArrangeRow{40, 8 + 96 * 4 + 16, 300, 4, 10, true}, ArrangeRow{0, 400, 300, 4, 0, false}));

TEST(ThumbLayout, CellUnderPointAndVisibleCells)
{
    const TThumbArrangement a =
        ArrangeThumbnails(LayoutThumbnails(80, 80, NoCaptions(), LineHeight, false), 10, 8 + 96 * 4, 1000, 16, false);
    EXPECT_EQ(a.CellAt(4, 4), 0);
    EXPECT_EQ(a.CellAt(4 + 96 + 10, 4 + 96 + 91), 5);
    EXPECT_EQ(a.CellAt(4 + 93, 10), -1);           // the gap between cells
    EXPECT_EQ(a.CellAt(4 + 96 * 2 + 1, 4 + 96 * 2 + 1), -1);  // past the last item
    EXPECT_EQ(a.CellAt(2, 50), -1);
    EXPECT_EQ(a.CellRect(5), (TThumbCellRect{4 + 96, 4 + 96, 92, 92}));
    EXPECT_EQ(a.CellsIn(0, 96), (std::pair<int, int>{0, 3}));
    EXPECT_EQ(a.CellsIn(0, 101), (std::pair<int, int>{0, 7}));  // the band reaches into the second row
    EXPECT_EQ(a.CellsIn(4 + 96 * 2, 500), (std::pair<int, int>{8, 9}));
    const auto none = a.CellsIn(2000, 100);
    EXPECT_GT(none.first, none.second);
}

struct KeyRow {
    TThumbKey Key;
    int Focused, Count, Columns, ClientHeight, ScrollTop;
    int Target;
};

class ThumbKeys : public ::testing::TestWithParam<KeyRow> {};

TEST_P(ThumbKeys, Target)
{
    const KeyRow& r = GetParam();
    EXPECT_EQ(ThumbKeyTarget(r.Key, r.Focused, r.Count, r.Columns, 100, r.ClientHeight, r.ScrollTop), r.Target);
}

using enum TThumbKey;
INSTANTIATE_TEST_SUITE_P(
    Rows, ThumbKeys,
    ::testing::Values(KeyRow{tkLeft, 0, 20, 4, 300, 0, 0}, KeyRow{tkLeft, 5, 20, 4, 300, 0, 4},
                      KeyRow{tkRight, 19, 20, 4, 300, 0, 19}, KeyRow{tkRight, 3, 20, 4, 300, 0, 4},
                      KeyRow{tkUp, 2, 20, 4, 300, 0, 2}, KeyRow{tkUp, 6, 20, 4, 300, 0, 2},
                      KeyRow{tkDown, 17, 20, 4, 300, 0, 17}, KeyRow{tkDown, 15, 20, 4, 300, 0, 19},
                      KeyRow{tkHome, 9, 20, 4, 300, 0, 0}, KeyRow{tkEnd, 9, 20, 4, 300, 0, 19},
                      // Row 3 lies below the top: to the top row shown (scrolled to 100), its first cell.
                      KeyRow{tkPageUp, 14, 40, 4, 300, 100, 4},
                      // At the top row shown: one screen (three rows) up.
                      KeyRow{tkPageUp, 14, 40, 4, 300, 300, 0}, KeyRow{tkPageUp, 30, 40, 4, 300, 700, 16},
                      KeyRow{tkPageUp, 2, 40, 4, 300, 0, 0},
                      // Row 0 ends at 100, the view at 300: down to row 2, its last cell.
                      KeyRow{tkPageDown, 1, 40, 4, 300, 0, 11},
                      // The focused row at the bottom: one screen down.
                      KeyRow{tkPageDown, 9, 40, 4, 300, 0, 23}, KeyRow{tkPageDown, 33, 40, 4, 300, 0, 39},
                      // A view lower than a row still pages by a row.
                      KeyRow{tkPageDown, 0, 40, 4, 50, 0, 7}, KeyRow{tkPageUp, 9, 40, 4, 50, 200, 4}));

TEST(ThumbLayout, WheelRows)
{
    using enum TThumbnailScroll;
    EXPECT_EQ(ThumbWheelRows(twStandard, 3, 10), 3);
    EXPECT_EQ(ThumbWheelRows(twStandard, 3, 3), 2);
    EXPECT_EQ(ThumbWheelRows(twStandard, 3, 1), 1);
    EXPECT_EQ(ThumbWheelRows(twOneRow, 3, 10), 1);
    EXPECT_EQ(ThumbWheelRows(twOneScreen, 3, 10), 9);
    EXPECT_EQ(ThumbWheelRows(twOneScreen, 3, 0), 1);
}

TThumbItemFacts PictureFacts()
{
    TThumbItemFacts facts;
    facts.Name = "a.jpg";
    facts.SizeKnown = true;
    facts.Size = 2048;
    facts.TimeKnown = true;
    facts.Time = EncodeDateTime({2021, 3, 4, 5, 6, 7, 0});
    facts.HasPicture = true;
    facts.SourceWidth = 640;
    facts.SourceHeight = 480;
    facts.Bits = 24;
    facts.TypeName = "JPEG";
    return facts;
}

TEST(ThumbCaptions, GridLinesFollowTheOptions)
{
    const TThumbItemFacts facts = PictureFacts();
    const TThumbCaptionTexts all = ThumbGridCaptions(facts, {true, true, true, true, true}, TSizeUnit::suBytes);
    EXPECT_EQ(all.Name, "a.jpg");
    ASSERT_EQ(all.Lines.size(), 3u);
    EXPECT_EQ(all.Lines[0], "2,048");
    EXPECT_EQ(all.Lines[1], "2021/03/04  05:06:07");
    EXPECT_EQ(all.Lines[2], "640 x 480 x 24bit");
    TThumbItemFacts folder = facts;
    folder.Folder = true;
    folder.FolderPicture = true;
    const TThumbCaptionTexts f = ThumbGridCaptions(folder, {false, false, true, false, true}, TSizeUnit::suBytes);
    EXPECT_TRUE(f.Name.empty());
    EXPECT_EQ(f.Lines, (std::vector<std::string>{"", ""}));
}

TEST(ThumbCaptions, DetailJoinsLinesWhenShort)
{
    const TThumbItemFacts facts = PictureFacts();
    const TThumbDetailTexts tall = ThumbDetailCaptions(facts, TSizeUnit::suBytes, 10, 92);
    EXPECT_EQ(tall.Lines.size(), 3u);
    EXPECT_EQ(tall.NameLines, 6);
    const TThumbDetailTexts low = ThumbDetailCaptions(facts, TSizeUnit::suBytes, 10, 30);
    ASSERT_EQ(low.Lines.size(), 1u);
    EXPECT_EQ(low.Lines[0], "2,048     640 x 480 x 24bit     2021/03/04  05:06:07");
    EXPECT_EQ(low.NameLines, 2);
}

TEST(ThumbCaptions, DetailOfACategoryEndsWithItsKind)
{
    TThumbItemFacts facts;
    facts.Name = "写真";
    facts.Collection = facts.Folder = true;
    facts.Comment = "年ごと";
    facts.DetailLines = {"分類： 日付"};
    const TThumbDetailTexts texts = ThumbDetailCaptions(facts, TSizeUnit::suBytes, 10, 40);
    EXPECT_EQ(texts.Lines, (std::vector<std::string>{"年ごと", "分類： 日付"}));
    EXPECT_EQ(texts.NameLines, 2);
}

TEST(ThumbCaptions, HintLines)
{
    TThumbItemFacts facts = PictureFacts();
    facts.Location = "/p/";
    EXPECT_EQ(ThumbHintLines(facts, TSizeUnit::suBytes),
              (std::vector<std::string>{"a.jpg", "場所: /p/", "種類: JPEG", "サイズ: 2,048",
                                        "更新日時: 2021/03/04  05:06:07", "画像サイズ: 640 x 480 x 24bit"}));
}

// Records what the view asks for; results are handed in by the test.
struct FakeRequests : TThumbRequests {
    std::vector<std::vector<TEnumImageInfo>> Items;
    std::vector<std::optional<std::vector<int32_t>>> Queues;
    std::vector<int32_t> Priorities;
    bool* Destroyed = nullptr;
    ~FakeRequests() override
    {
        if (Destroyed)
            *Destroyed = true;
    }
    void SetItems(std::vector<TEnumImageInfo> items) override { Items.push_back(std::move(items)); }
    void SetQueue(std::optional<std::vector<int32_t>> ids) override { Queues.push_back(std::move(ids)); }
    void SetPriority(int32_t id) override { Priorities.push_back(id); }
    bool Idle() const override { return true; }
};

struct ThumbRequesterTest : ::testing::Test {
    TThumbRequester requester;
    FakeRequests* fake = nullptr;
    bool destroyed = false;

    void Start(int count, bool all)
    {
        requester.SetAllThumbnail(all);
        requester.SetStarter([this](const TThumbPlace&, TThumbReceiver&) {
            auto requests = std::make_unique<FakeRequests>();
            requests->Destroyed = &destroyed;
            fake = requests.get();
            return requests;
        });
        std::vector<TEnumImageInfo> items(static_cast<size_t>(count));
        std::vector<std::string> keys;
        for (int i = 0; i < count; ++i)
            keys.push_back("k" + std::to_string(i));
        ASSERT_TRUE(requester.Start(TThumbPlace{"/f/", "", false, true}, items, keys));
    }
    void Arrive(int id, bool picture)
    {
        TThumbnailResult result;
        result.Id = id;
        if (picture)
            result.Picture = std::make_shared<TBitmap>(4, 3, 24, true);
        result.FolderFlag = !picture;
        requester.ThumbnailArrived(result);
    }
};

TEST_F(ThumbRequesterTest, DoneItemsAreNotAskedForAgain)
{
    Start(6, false);
    ASSERT_EQ(fake->Items.size(), 1u);
    EXPECT_EQ(fake->Items[0][5].Id, 5);
    EXPECT_TRUE(fake->Queues.empty());
    Arrive(1, true);
    Arrive(2, false);  // could not be made: keeps its icon
    requester.RequestVisible(0, 3);
    EXPECT_EQ(fake->Queues.back(), (std::vector<int32_t>{0, 3}));
    // Scrolled: only the new visible items not done, nothing of the old.
    requester.RequestVisible(2, 5);
    EXPECT_EQ(fake->Queues.back(), (std::vector<int32_t>{3, 4, 5}));
    requester.FocusChanged(2);
    requester.FocusChanged(4);
    EXPECT_EQ(fake->Priorities, (std::vector<int32_t>{4}));
    EXPECT_EQ(requester.State(2)->Picture, nullptr);
    EXPECT_TRUE(requester.State(2)->Done);
}

TEST_F(ThumbRequesterTest, AllThumbnailQueuesEveryItemNotDoneAndKeysSurviveReorder)
{
    Start(4, true);
    EXPECT_EQ(fake->Queues.back(), (std::vector<int32_t>{0, 1, 2, 3}));
    Arrive(0, true);
    Arrive(3, false);
    // Re-sorted: the states follow their keys, the thread hears new ids.
    std::vector<TEnumImageInfo> items(4);
    requester.SetItems(items, {"k3", "k2", "k1", "k0"});
    EXPECT_EQ(fake->Queues.back(), (std::vector<int32_t>{1, 2}));
    EXPECT_NE(requester.State(3)->Picture, nullptr);
    EXPECT_TRUE(requester.State(0)->Done);
    EXPECT_EQ(fake->Items.back()[2].Id, 2);
}

struct CountingObserver : TThumbObserver {
    std::vector<TThumbChange> Changes;
    void ThumbsChanged(TThumbRequester&, const TThumbChange& change) override { Changes.push_back(change); }
};

TEST_F(ThumbRequesterTest, StopDestroysRequestsAndDropsPictures)
{
    CountingObserver observer;
    requester.RegisterObserver(&observer);
    Start(3, false);
    Arrive(1, true);
    Arrive(7, true);  // beyond the items: passed over
    requester.Stop();
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(requester.Running());
    EXPECT_EQ(requester.State(1), nullptr);
    ASSERT_EQ(observer.Changes.size(), 2u);
    EXPECT_EQ(observer.Changes[0].Id, 1);
    EXPECT_EQ(observer.Changes[1].Kind, TThumbChangeKind::tcCleared);
    requester.UnregisterObserver(&observer);
}

}  // namespace
