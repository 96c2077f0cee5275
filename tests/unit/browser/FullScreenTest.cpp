#include "browser/FullScreen.h"

#include <gtest/gtest.h>

namespace {

class TFakePointerTimer : public TPointerTimer {
public:
    void Start(std::chrono::milliseconds delay) override
    {
        Active = true;
        Delay = delay;
    }
    void Stop() override { Active = false; }
    bool Active = false;
    std::chrono::milliseconds Delay{0};
};

}  // namespace

TEST(FullScreenState, LeaveGivesBackTheFirstSavedWindowOnce)
{
    TFullScreenState state;
    const TNormalWindow normal{{10, 20, 800, 600}, true, true};
    state.Enter(normal);
    // A second entry (a hand-over asking for full screen) saves nothing new.
    state.Enter(TNormalWindow{{0, 0, 1920, 1080}, false, false});
    EXPECT_TRUE(state.Active());
    EXPECT_EQ(state.Leave(), normal);
    EXPECT_FALSE(state.Active());
    EXPECT_FALSE(state.Leave());
}

struct TEdgeRow {
    int X, Y;
    uint8_t Shown, OverShown;
    uint8_t Expected;
};

class EdgeRevealTest : public ::testing::TestWithParam<TEdgeRow> {};

TEST_P(EdgeRevealTest, PointerBringsAndKeepsBars)
{
    // A second screen to the right of the first: edges are the screen's own.
    const TWindowRect screen{1920, 0, 1280, 1024};
    const TEdgeRow& row = GetParam();
    const uint8_t touched = EdgesTouched(row.X, row.Y, screen, 1023);
    EXPECT_EQ(RevealedEdges(row.Shown, touched, row.OverShown), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, EdgeRevealTest,
    ::testing::Values(TEdgeRow{2500, 9, seNone, seNone, seTop}, TEdgeRow{2500, 10, seNone, seNone, seNone},
                      TEdgeRow{1929, 500, seNone, seNone, seLeft}, TEdgeRow{1930, 500, seNone, seNone, seNone},
                      TEdgeRow{2500, 1014, seNone, seNone, seBottom}, TEdgeRow{1925, 3, seNone, seNone, seTop | seLeft},
                      // Over a shown bar the bar stays; off it, it goes.
                      TEdgeRow{2500, 40, seTop, seTop, seTop}, TEdgeRow{2500, 400, seTop, seNone, seNone},
                      // Only bars already shown are kept by the pointer.
                      TEdgeRow{2500, 40, seNone, seTop, seNone}));

TEST(FullScreenPanes, OnlyRevealedPartsOfTheSetShow)
{
    TPaneSet set = DefaultFullScreenPanes();
    set.Tree = set.File = true;
    set.SeekBar = true;
    const TFullScreenBars bars;
    const TPaneSet hidden = FullScreenPanes(set, bars, seNone, false);
    EXPECT_FALSE(hidden.ImageBar || hidden.Tree || hidden.File || hidden.SeekBar);
    const TPaneSet top = FullScreenPanes(set, bars, seTop, false);
    EXPECT_TRUE(top.ImageBar);
    EXPECT_FALSE(top.MainMenu);  // not in the set
    EXPECT_FALSE(top.File);      // the file view sits at the left
    const TPaneSet left = FullScreenPanes(set, bars, seLeft, false);
    EXPECT_TRUE(left.Tree && left.File);
    set.FileViewPos = TFileViewPos::fpAboveImage;
    EXPECT_TRUE(FullScreenPanes(set, bars, seTop, false).File);
    // The loupe keeps them away when asked to.
    EXPECT_FALSE(FullScreenPanes(set, TFullScreenBars{true, true}, seTop, true).ImageBar);
    // Always shown: the set as it is.
    EXPECT_EQ(FullScreenPanes(set, TFullScreenBars{false, false}, seNone, false), set);
}

struct THideRow {
    TPointerHideOptions Options;
    bool OverPage;
    bool FullScreen;
    bool ShownAfterMove;
    bool ShownAfterTimer;
};

class PointerHidingTest : public ::testing::TestWithParam<THideRow> {};

TEST_P(PointerHidingTest, HidesWhereTheOptionsSay)
{
    const THideRow& row = GetParam();
    TFakePointerTimer timer;
    TPointerHiding hiding(timer);
    hiding.SetOptions(row.Options);
    EXPECT_EQ(hiding.Moved(100, 100, row.OverPage, row.FullScreen), row.ShownAfterMove);
    if (timer.Active)
        hiding.TimerFired();
    EXPECT_EQ(!hiding.Hidden(), row.ShownAfterTimer);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PointerHidingTest,
    ::testing::Values(THideRow{{false, false, false, false, 30}, true, true, true, true},
                      THideRow{{true, false, false, false, 30}, false, false, false, false},
                      THideRow{{true, true, false, false, 30}, false, false, true, true},
                      THideRow{{true, false, true, false, 30}, true, false, true, true},
                      THideRow{{true, false, true, false, 30}, true, true, false, false},
                      THideRow{{true, false, false, true, 30}, true, false, true, false}));

TEST(PointerHiding, RepeatedMoveAtTheHiddenPlaceKeepsItHidden)
{
    TFakePointerTimer timer;
    TPointerHiding hiding(timer);
    hiding.SetOptions({true, false, false, true, 15});
    hiding.Moved(5, 5, true, false);
    EXPECT_EQ(timer.Delay, std::chrono::milliseconds(1500));
    hiding.TimerFired();
    EXPECT_FALSE(hiding.Moved(5, 5, true, false));
    EXPECT_TRUE(hiding.Moved(6, 5, true, false));
    hiding.TimerFired();
    hiding.Pressed();
    EXPECT_FALSE(hiding.Hidden());
}

TEST(ScreenSaver, HeldDuringSlideShowOrWhenFullScreenAsks)
{
    EXPECT_TRUE(HoldScreenSaver(true, false, false));
    EXPECT_TRUE(HoldScreenSaver(false, true, true));
    EXPECT_FALSE(HoldScreenSaver(false, true, false));
    EXPECT_FALSE(HoldScreenSaver(false, false, true));
}
