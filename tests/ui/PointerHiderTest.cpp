// The pointer hidden over the view by the mouse options, driven by real
// mouse events on a widget on the offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include "browser/ui/PointerHider.h"

namespace {

struct THiderFixture {
    QWidget Area;
    bool FullScreen = false;
    bool Loupe = false;
    TPointerHider Hider{Area, TPointerHider::TLinks{
                                  [](TPoint p) { return p.X < 50; },  // the page is the left half
                                  [this] { return FullScreen; },
                                  [this] { return Loupe; },
                              }};
    THiderFixture() { Area.resize(100, 100); }

    void Move(int x, int y, Qt::MouseButtons held = Qt::NoButton)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), Area.mapToGlobal(QPointF(x, y)), Qt::NoButton, held,
                         Qt::NoModifier);
        QApplication::sendEvent(&Area, &move);
    }
    void Press()
    {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), Area.mapToGlobal(QPointF(10, 10)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Area, &press);
    }
    bool Blank() const { return Area.cursor().shape() == Qt::BlankCursor; }
};

struct TWiringCase {
    const char* Name;
    TMouseOptions Options;
    bool FullScreen;
    bool Loupe;
    int X;
    bool Blank;
};

class PointerHiderTest : public testing::TestWithParam<TWiringCase> {};

TEST_P(PointerHiderTest, MoveSetsThePointer)
{
    const TWiringCase& c = GetParam();
    THiderFixture f;
    f.FullScreen = c.FullScreen;
    f.Loupe = c.Loupe;
    f.Hider.SetOptions(c.Options);
    f.Move(c.X, 20);
    EXPECT_EQ(f.Blank(), c.Blank);
    EXPECT_EQ(f.Hider.Hidden(), c.Blank);
}

TMouseOptions Hide(bool image, bool fullScreen)
{
    TMouseOptions o;
    o.HideCursor = true;
    o.HideImage = image;
    o.HideFullScreen = fullScreen;
    return o;
}

INSTANTIATE_TEST_SUITE_P(
    Options, PointerHiderTest,
    testing::Values(TWiringCase{"Off", TMouseOptions{}, true, false, 10, false},
                    TWiringCase{"AtOnce", Hide(false, false), false, false, 80, true},
                    TWiringCase{"OnlyOverThePage", Hide(true, false), false, false, 80, false},
                    TWiringCase{"OverThePage", Hide(true, false), false, false, 10, true},
                    TWiringCase{"OnlyInFullScreen", Hide(false, true), false, false, 10, false},
                    TWiringCase{"InFullScreen", Hide(false, true), true, false, 10, true},
                    TWiringCase{"TheLoupeOwnsThePointer", Hide(false, false), false, true, 10, false}),
    [](const testing::TestParamInfo<TWiringCase>& info) { return std::string(info.param.Name); });

TEST(PointerHider, PressAndDragShowItAndOptionsOffTakeItBack)
{
    THiderFixture f;
    f.Hider.SetOptions(Hide(false, false));
    f.Move(10, 10);
    ASSERT_TRUE(f.Blank());
    f.Press();
    EXPECT_FALSE(f.Blank());
    f.Move(12, 12, Qt::LeftButton);
    EXPECT_FALSE(f.Blank());
    f.Move(14, 14);
    EXPECT_TRUE(f.Blank());
    f.Hider.SetOptions(TMouseOptions{});
    EXPECT_FALSE(f.Blank());
}

TEST(PointerHider, RestingPointerHidesAfterTheMotionlessTime)
{
    THiderFixture f;
    TMouseOptions options = Hide(false, false);
    options.HideMotionless = true;
    options.MotionlessTime = 1;  // a tenth of a second
    f.Hider.SetOptions(options);
    f.Move(30, 30);
    EXPECT_FALSE(f.Blank());
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.Blank(); }, 10000));
    // The desktop repeats the move where the pointer rests.
    f.Move(30, 30);
    EXPECT_TRUE(f.Blank());
    f.Move(31, 30);
    EXPECT_FALSE(f.Blank());
    // Switching the loupe off stops its tracking; the moves still come.
    f.Area.setMouseTracking(false);
    EXPECT_TRUE(f.Area.hasMouseTracking());
}

}  // namespace
