#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <vector>

#include "viewer/PageViewer.h"
#include "viewer/ui/GridOverlay.h"
#include "viewer/ui/ImageViewFrame.h"
#include "viewer/ui/LoupeOverlay.h"

namespace {

class NoScaler : public TPageScaler {
public:
    void Scale(const TBitmap&, bool, TBitmap&, int, int, int, int, const TRect&) override {}
};

struct TReport {
    int Code;
    Qt::MouseButtons Held;
    bool operator==(const TReport&) const = default;
};

// One press or release of a button, with the buttons down after it.
struct TStep {
    bool Press;
    Qt::MouseButton Button;
    Qt::MouseButtons After;
};

struct TGestureCase {
    const char* Name;
    std::vector<TStep> Steps;
    std::vector<TReport> Reports;
};
void PrintTo(const TGestureCase& c, std::ostream* os)
{
    *os << c.Name;
}

class ImageViewGestureTest : public ::testing::TestWithParam<TGestureCase> {};

TEST_P(ImageViewGestureTest, ReportsEveryBindableClick)
{
    TPageViewer viewer([] { return std::shared_ptr<TCacheDecoder>(); });
    NoScaler scaler;
    TImageViewFrame frame(viewer, scaler);
    frame.resize(400, 300);
    std::vector<TReport> reports;
    frame.SetMouseHandler([&](int code, Qt::MouseButtons held, Qt::KeyboardModifiers, TPoint) {
        reports.push_back(TReport{code, held});
    });
    const QPointF at(50, 40);
    for (const TStep& step : GetParam().Steps) {
        QMouseEvent event(step.Press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, at,
                          frame.Area()->mapToGlobal(at), step.Button, step.After, Qt::NoModifier);
        QCoreApplication::sendEvent(frame.Area(), &event);
    }
    EXPECT_EQ(reports, GetParam().Reports);
}

constexpr Qt::MouseButton L = Qt::LeftButton;
constexpr Qt::MouseButton R = Qt::RightButton;
constexpr Qt::MouseButton X1 = Qt::XButton1;

INSTANTIATE_TEST_SUITE_P(
    Gestures, ImageViewGestureTest,
    ::testing::Values(
        TGestureCase{"LeftClick", {{true, L, L}, {false, L, {}}}, {{0, {}}}},
        TGestureCase{"ExtensionClick", {{true, X1, X1}, {false, X1, {}}}, {{6, {}}}},
        // The right click with the left button held: its own entry.
        TGestureCase{"RightClickWithLeftHeld", {{true, L, L}, {true, R, L | R}, {false, R, L}, {false, L, {}}},
                     {{2, L}}},
        // Both pressed, the first let go first: the chord is no click.
        TGestureCase{"ChordReleasedInOrder", {{true, L, L}, {true, R, L | R}, {false, L, R}, {false, R, {}}},
                     {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ImageViewOverlays, GridCoversTheAreaAndTheLoupeStaysHiddenWithoutAPage)
{
    TPageViewer viewer([] { return std::shared_ptr<TCacheDecoder>(); });
    NoScaler scaler;
    TImageViewFrame frame(viewer, scaler);
    frame.resize(400, 300);
    frame.show();
    frame.Grid().SetOn(true);
    EXPECT_EQ(frame.Grid().geometry(), frame.Area()->rect());
    frame.Loupe().SetOn(true);
    frame.Loupe().MoveTo(TPoint{100, 100});
    EXPECT_FALSE(frame.Loupe().Showing());
    EXPECT_TRUE(frame.Loupe().View().Square.IsEmpty());
}

}  // namespace
