#include <gtest/gtest.h>

#include <functional>

#include "PrintGeometry.h"
#include "viewer/Scroll.h"

namespace {

using enum TScrollCommand;

struct TScrollCase {
    const char* Name;
    TScrollCommand Command;
    bool FromKey;
    TBinding Binding;
    TSize Client;
    TRect Content;
    std::function<void(TViewScrollOptions&)> Setup;
    // Expected: a scroll by (DX, DY), or a move.
    int DX, DY;
    bool Move;
    TMoveCommand MoveCommand;
    bool StartAtBottom, StartAtOppositeSide;
};

void PrintTo(const TScrollCase& c, std::ostream* os)
{
    *os << c.Name;
}

class ScrollCommands : public ::testing::TestWithParam<TScrollCase> {};

TEST_P(ScrollCommands, ScrollOrMove)
{
    const TScrollCase& c = GetParam();
    TViewScrollOptions options;
    if (c.Setup)
        c.Setup(options);
    TScrollController scroll;
    scroll.SetOptions(options);
    const TScrollResult r = scroll.Run(c.Command, c.FromKey, c.Binding, c.Client, c.Content);
    EXPECT_FALSE(r.Blocked);
    EXPECT_EQ(r.Move, c.Move);
    if (c.Move) {
        EXPECT_EQ(r.MoveCommand, c.MoveCommand);
        EXPECT_EQ(r.StartAtBottom, c.StartAtBottom);
        EXPECT_EQ(r.StartAtOppositeSide, c.StartAtOppositeSide);
        EXPECT_EQ(r.DX, 0);
        EXPECT_EQ(r.DY, 0);
    } else {
        EXPECT_EQ(r.DX, c.DX);
        EXPECT_EQ(r.DY, c.DY);
    }
}

constexpr TBinding Right = TBinding::bdRight;
constexpr TBinding Left = TBinding::bdLeft;
constexpr TMoveCommand Next = TMoveCommand::mcNext;
constexpr TMoveCommand Prior = TMoveCommand::mcPrior;

// A 2500 x 3000 page in a 1000 x 800 view.
constexpr TSize View{1000, 800};
constexpr TRect TopRight{-1500, 0, 1000, 3000};
constexpr TRect BottomRight{-1500, -2200, 1000, 800};
constexpr TRect BottomLeft{0, -2200, 2500, 800};
constexpr TRect TopLeft{0, 0, 2500, 3000};
constexpr TRect Middle{-700, -1000, 1800, 2000};

void NoOpposite(TViewScrollOptions& o)
{
    o.Page.Opposite = false;
}

INSTANTIATE_TEST_SUITE_P(
    Scroll, ScrollCommands,
    ::testing::Values(
        // Page scrolls move by the whole view; line scrolls by 10 pixels.
        TScrollCase{"PageDown", scPageDown, true, Right, View, TopRight, nullptr, 0, -800, false, Next, false, false},
        TScrollCase{"PageDownClampsAtBottom", scPageDown, true, Right, View, {-1500, -2000, 1000, 1000}, nullptr, 0,
                    -200, false, Next, false, false},
        TScrollCase{"LineRight", scLineRight, true, Right, View, Middle, nullptr, -10, 0, false, Next, false, false},
        TScrollCase{"LineLeftClampsAtEdge", scLineLeft, true, Right, View, {-4, 0, 2496, 3000}, nullptr, 4, 0, false,
                    Next, false, false},
        // 10 % of 1005 is 100.5, which goes to the even 100; of 1015 to 102.
        TScrollCase{"RatioHalfGoesToEven", scLineDown, false, Right, {1000, 1005}, Middle,
                    [](TViewScrollOptions& o) { o.Line.ByRatio = true; }, 0, -100, false, Next, false, false},
        TScrollCase{"RatioHalfGoesToEvenUp", scLineDown, false, Right, {1000, 1015}, Middle,
                    [](TViewScrollOptions& o) { o.Line.ByRatio = true; }, 0, -102, false, Next, false, false},
        // Content narrower than the view does not move sideways.
        TScrollCase{"NarrowContentStays", scLineLeft, false, Right, View, {100, -1000, 900, 2000}, nullptr, 0, 0,
                    false, Next, false, false},
        // A key on a left-bound book with the exchange option swaps sides.
        TScrollCase{"ExchangedLeftKey", scLineLeft, true, Left, View, Middle,
                    [](TViewScrollOptions& o) { o.Line.Exchange = true; }, -10, 0, false, Next, false, false},
        TScrollCase{"ExchangeNotForMouse", scLineLeft, false, Left, View, Middle,
                    [](TViewScrollOptions& o) { o.Line.Exchange = true; }, 10, 0, false, Next, false, false},
        // Corners: the origin is the top corner on the binding's start side.
        TScrollCase{"OriginRight", scOrigin, false, Right, View, Middle, nullptr, -800, 1000, false, Next, false,
                    false},
        TScrollCase{"OriginLeft", scOrigin, false, Left, View, Middle, nullptr, 700, 1000, false, Next, false, false},
        TScrollCase{"OriginDiagonalRight", scOriginDiagonal, false, Right, View, Middle, nullptr, 700, -1200, false,
                    Next, false, false},
        TScrollCase{"OriginVerticalLeft", scOriginVertical, false, Left, View, Middle, nullptr, 700, -1200, false,
                    Next, false, false},
        TScrollCase{"OriginHorizontalLeft", scOriginHorizontal, false, Left, View, Middle, nullptr, -800, 1000,
                    false, Next, false, false},
        // Bound right, at the bottom of the right column: the top of the
        // column to the left, 50 pixels of the previous one still visible.
        TScrollCase{"DownJumpsToLeftColumn", scPageDown, true, Right, View, BottomRight, nullptr, 950, 2200, false,
                    Next, false, false},
        // At the bottom of the leftmost column the next picture follows.
        TScrollCase{"DownAtLastColumnMoves", scPageDown, true, Right, View, BottomLeft, nullptr, 0, 0, true, Next,
                    false, false},
        TScrollCase{"DownWithoutOppositeMoves", scPageDown, true, Right, View, BottomRight, NoOpposite, 0, 0, true,
                    Next, false, false},
        // Bound left, the next column lies to the right.
        TScrollCase{"DownJumpsToRightColumnLeftBound", scPageDown, true, Left, View, BottomLeft, nullptr, -950, 2200,
                    false, Next, false, false},
        // Up at the top: the previous picture, shown from its end.
        TScrollCase{"UpAtTopMovesBack", scPageUp, true, Right, View, TopRight, NoOpposite, 0, 0, true, Prior, true,
                    false},
        TScrollCase{"UpJumpsToRightColumnBottom", scPageUp, true, Right, View, TopLeft, nullptr, -950, -2200, false,
                    Next, false, false},
        TScrollCase{"UpAtStartColumnMovesBack", scPageUp, true, Right, View, TopRight, nullptr, 0, 0, true, Prior,
                    true, true},
        // Sideways at an edge of a right-bound book: right goes back, left on.
        TScrollCase{"RightEdgeRightBoundGoesBack", scPageRight, true, Right, View, TopRight, nullptr, 0, 0, true,
                    Prior, true, true},
        TScrollCase{"RightEdgeRightBoundUpARow", scPageRight, true, Right, View, {-1500, -1000, 1000, 2000}, nullptr,
                    1500, 750, false, Next, false, false},
        TScrollCase{"LeftEdgeRightBoundGoesOn", scPageLeft, true, Right, View, TopLeft, NoOpposite, 0, 0, true, Next,
                    false, false},
        TScrollCase{"LeftEdgeRightBoundNextRow", scPageLeft, true, Right, View, TopLeft, nullptr, -1500, -750, false,
                    Next, false, false},
        TScrollCase{"LeftEdgeLeftBoundGoesBack", scPageLeft, true, Left, View, TopLeft, nullptr, 0, 0, true, Prior,
                    true, true},
        TScrollCase{"RightEdgeLeftBoundGoesOn", scPageRight, true, Left, View, BottomRight, NoOpposite, 0, 0, true,
                    Next, false, false},
        // The record's move command picks the kind of move.
        TScrollCase{"EdgeMoveJumps", scPageDown, true, Right, View, BottomLeft,
                    [](TViewScrollOptions& o) { o.Page.MoveCommand = TScrollMoveCommand::mcJump; }, 0, 0, true, TMoveCommand::mcJumpNext, false,
                    false},
        // Line scrolls do not move by default: they stop at the edge.
        TScrollCase{"LineDownStopsAtBottom", scLineDown, true, Right, View, BottomLeft, nullptr, 0, 0, false, Next,
                    false, false},
        // Corner commands never move to another picture.
        TScrollCase{"CornerNeverMoves", scOriginVertical, true, Right, View, BottomRight, nullptr, 0, 0, false, Next,
                    false, false}),
    [](const ::testing::TestParamInfo<TScrollCase>& info) { return std::string(info.param.Name); });

TEST(Scroll, EdgeWheelCountHoldsTheMoveBack)
{
    TViewScrollOptions options;
    options.EdgeWheelCount = 2;
    TScrollController scroll;
    scroll.SetOptions(options);
    // First notch down at the bottom: nothing happens.
    ASSERT_EQ(scroll.Wheel(-120), 11);
    TScrollResult r = scroll.Run(scPageDown, false, Right, View, BottomLeft);
    EXPECT_TRUE(r.Blocked);
    EXPECT_FALSE(r.Move);
    EXPECT_EQ(scroll.EdgeCounter(), -1);
    // The second notch moves, and the counter starts again.
    ASSERT_EQ(scroll.Wheel(-120), 11);
    r = scroll.Run(scPageDown, false, Right, View, BottomLeft);
    EXPECT_TRUE(r.Move);
    EXPECT_EQ(scroll.EdgeCounter(), 0);
    // A key at the edge moves at once.
    r = scroll.Run(scPageDown, true, Right, View, BottomLeft);
    EXPECT_TRUE(r.Move);
}

TEST(Scroll, NotchesAwayFromTheEdgeDoNotCount)
{
    TViewScrollOptions options;
    options.EdgeWheelCount = 2;
    TScrollController scroll;
    scroll.SetOptions(options);
    // Scrolling down through the page resets the counter each time.
    scroll.Wheel(-120);
    scroll.Run(scPageDown, false, Right, View, TopLeft);
    EXPECT_EQ(scroll.EdgeCounter(), 0);
    scroll.Wheel(-120);
    EXPECT_TRUE(scroll.Run(scPageDown, false, Right, View, BottomLeft).Blocked);
    // Turning the other way resets the count instead of adding.
    scroll.Wheel(120);
    EXPECT_EQ(scroll.EdgeCounter(), 0);
}

TEST(Wheel, WheelCountSwallowsNotches)
{
    TViewScrollOptions options;
    options.WheelCount = 2;
    TScrollController scroll;
    scroll.SetOptions(options);
    EXPECT_FALSE(scroll.Wheel(-120).has_value());
    EXPECT_FALSE(scroll.Wheel(-120).has_value());
    EXPECT_EQ(scroll.Wheel(-120), 11);  // the third notch exceeds 2
    EXPECT_EQ(scroll.WheelCounter(), 0);
    scroll.Wheel(-120);
    scroll.Wheel(-120);
    ASSERT_EQ(scroll.WheelCounter(), -2);
    // Turning the other way resets the count instead of adding to it.
    EXPECT_FALSE(scroll.Wheel(120).has_value());
    EXPECT_EQ(scroll.WheelCounter(), 0);
    EXPECT_FALSE(scroll.Wheel(120).has_value());
    EXPECT_FALSE(scroll.Wheel(120).has_value());
    EXPECT_EQ(scroll.Wheel(120), 10);
}

TEST(Wheel, FractionsOfANotchAddUp)
{
    TScrollController scroll;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(scroll.Wheel(30).has_value());
    EXPECT_EQ(scroll.Wheel(30), 10);
    EXPECT_FALSE(scroll.Wheel(0).has_value());
    // Turning back drops the partial notch.
    EXPECT_FALSE(scroll.Wheel(100).has_value());
    EXPECT_FALSE(scroll.Wheel(-100).has_value());
    EXPECT_EQ(scroll.Wheel(-20), 11);
    // A fast spin of two notches in one event acts once.
    EXPECT_EQ(scroll.Wheel(-240), 11);
}

// --- Animation ----------------------------------------------------------------

struct TAnimationCase {
    const char* Name;
    int DX, DY, Speed;
    int Ticks;
    TPoint FirstStep, LastStep;
};

void PrintTo(const TAnimationCase& c, std::ostream* os)
{
    *os << c.Name;
}

class Animation : public ::testing::TestWithParam<TAnimationCase> {};

TEST_P(Animation, CoversTheDistanceInSteps)
{
    const TAnimationCase& c = GetParam();
    TScrollAnimation animation;
    animation.Start(c.DX, c.DY, c.Speed);
    int ticks = 0;
    TPoint moved;
    TPoint first;
    TPoint last;
    while (animation.Active() && ticks < 10000) {
        last = animation.Tick();
        if (ticks == 0)
            first = last;
        moved.X += last.X;
        moved.Y += last.Y;
        ++ticks;
    }
    EXPECT_EQ(ticks, c.Ticks);
    EXPECT_EQ(moved, (TPoint{c.DX, c.DY}));
    EXPECT_EQ(first, c.FirstStep);
    EXPECT_EQ(last, c.LastStep);
    EXPECT_EQ(animation.Tick(), (TPoint{}));
}

INSTANTIATE_TEST_SUITE_P(
    Scroll, Animation,
    ::testing::Values(TAnimationCase{"LeftAt2000", -300, 0, 2000, 15, {-20, 0}, {-20, 0}},
                      TAnimationCase{"LastStepCut", -35, 0, 2000, 2, {-20, 0}, {-15, 0}},
                      // 1.5 pixels a tick round away from zero to 2.
                      TAnimationCase{"SlowRoundsUp", 0, 5, 150, 3, {0, 2}, {0, 1}},
                      // 20 pixels at 45 degrees: 14.14 each way, rounded away from zero.
                      TAnimationCase{"Diagonal", 100, -100, 2000, 7, {15, -15}, {10, -10}},
                      TAnimationCase{"Nothing", 0, 0, 2000, 0, {}, {}}),
    [](const ::testing::TestParamInfo<TAnimationCase>& info) { return std::string(info.param.Name); });

// --- Mouse ----------------------------------------------------------------------

TEST(Mouse, QuadrantsSplitAtTheMiddle)
{
    const TSize client{101, 81};
    EXPECT_EQ(QuadrantOf({50, 40}, client), TQuadrant::qdTopLeft);
    EXPECT_EQ(QuadrantOf({51, 40}, client), TQuadrant::qdTopRight);
    EXPECT_EQ(QuadrantOf({50, 41}, client), TQuadrant::qdBottomLeft);
    EXPECT_EQ(QuadrantOf({100, 80}, client), TQuadrant::qdBottomRight);
}

TEST(Mouse, DragNeedsMoreThanFivePixels)
{
    EXPECT_FALSE(DragStarted({10, 10}, {15, 5}));
    EXPECT_TRUE(DragStarted({10, 10}, {16, 10}));
    EXPECT_TRUE(DragStarted({10, 10}, {10, 4}));
    EXPECT_EQ(DragScroll({3, -2}, TDragMode::dmGrab, 4), (TPoint{12, -8}));
    EXPECT_EQ(DragScroll({3, -2}, TDragMode::dmReverseGrab, 1), (TPoint{-3, 2}));
    EXPECT_EQ(DragScroll({3, -2}, TDragMode::dmRubberBand, 1), (TPoint{}));
}

TEST(Mouse, RubberBandZoomsIntoItsOverlap)
{
    const TRect content{-100, -100, 900, 900};
    const TSize client{400, 300};
    auto zoom = RubberBandZoom({110, 60}, {10, 10}, content, client);
    ASSERT_TRUE(zoom.has_value());
    EXPECT_EQ(zoom->Anchor, (TPoint{160, 135}));
    EXPECT_DOUBLE_EQ(zoom->Factor, 4.0);
    // Only the part over the content counts for the anchor.
    zoom = RubberBandZoom({-150, 100}, {-50, 200}, content, client);
    ASSERT_TRUE(zoom.has_value());
    EXPECT_EQ(zoom->Anchor, (TPoint{25, 250}));
    // A band off the content does nothing; a vertical line still zooms.
    EXPECT_FALSE(RubberBandZoom({-300, 0}, {-200, 50}, content, client).has_value());
    zoom = RubberBandZoom({10, 10}, {10, 70}, content, client);
    ASSERT_TRUE(zoom.has_value());
    EXPECT_DOUBLE_EQ(zoom->Factor, 5.0);
}

// --- Seek bar -------------------------------------------------------------------

TEST(SeekBar, RightBindingMirrorsTheBar)
{
    const TSeekBarMap mirrored(10, true, false);
    EXPECT_TRUE(mirrored.Mirrored());
    EXPECT_EQ(mirrored.PositionOfIndex(0), 9);
    EXPECT_EQ(mirrored.IndexOfPosition(0), 9);
    EXPECT_EQ(mirrored.IndexOfPosition(7), 2);
    const TSeekBarMap plain(10, true, true);
    EXPECT_FALSE(plain.Mirrored());
    EXPECT_EQ(plain.IndexOfPosition(7), 7);
    EXPECT_FALSE(TSeekBarMap(10, false, false).Mirrored());
    EXPECT_EQ(plain.MaxLabel(), "/ 10");
}

TEST(SeekBar, EmptyListIsReadOnlyAtZero)
{
    const TSeekBarMap empty(0, true, false);
    EXPECT_TRUE(empty.ReadOnly());
    EXPECT_EQ(empty.Max(), 0);
    EXPECT_EQ(empty.ClickPosition(50, 100), 0);
    EXPECT_EQ(empty.TickPositions(100), (std::vector<int>{}));
    EXPECT_EQ(empty.MaxLabel(), "/ 0");
}

TEST(SeekBar, ClickJumpsToTheRoundedPosition)
{
    const TSeekBarMap bar(10, false, false);
    // 900 pixels for 9 steps: 100 pixels a position.
    EXPECT_EQ(bar.ClickPosition(149, 900), 1);
    EXPECT_EQ(bar.ClickPosition(150, 900), 2);
    EXPECT_EQ(bar.ClickPosition(-30, 900), 0);
    EXPECT_EQ(bar.ClickPosition(5000, 900), 9);
}

TEST(SeekBar, TicksThinOutOnCrowdedBars)
{
    EXPECT_EQ(TSeekBarMap(10, false, false).TickInterval(900), 1);
    // One pixel a position: every 10th (5 positions span only 5 pixels).
    EXPECT_EQ(TSeekBarMap(1001, false, false).TickInterval(1000), 10);
    EXPECT_EQ(TSeekBarMap(1001, false, false).TickInterval(2000), 5);
    // Counted from the right on a mirrored bar.
    EXPECT_EQ(TSeekBarMap(23, true, false).TickPositions(44), (std::vector<int>{2, 7, 12, 17, 22}));
    EXPECT_EQ(TSeekBarMap(23, false, false).TickPositions(44), (std::vector<int>{0, 5, 10, 15, 20}));
}

}  // namespace
