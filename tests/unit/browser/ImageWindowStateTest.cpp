#include <gtest/gtest.h>

#include <optional>

#include "browser/ImageWindowState.h"
#include "common/IniFile.h"

namespace {

TScreenInfo Desktop(TWindowRect work, double scale, std::vector<TWindowRect> screens = {})
{
    TScreenInfo info;
    info.WorkArea = work;
    info.Scale = scale;
    info.Screens = screens.empty() ? std::vector<TWindowRect>{work} : std::move(screens);
    return info;
}

// What a section reads as and where the window then opens.
struct TOpenCase {
    const char* Name;
    const char* Section;
    TScreenInfo Screens;
    TWindowRect BrowserWork;  // the work area of the browser window's screen
    TWindowRect Expected;
    bool Max = false;
};

class ImageWindowOpens : public testing::TestWithParam<TOpenCase> {};

TEST_P(ImageWindowOpens, WhereTheSectionAndTheScreensSay)
{
    const TOpenCase& row = GetParam();
    TIniFile ini;
    ini.LoadFromText(std::string("[IMAGEWINDOW]\n") + row.Section);
    const TImageWindowState state = ReadImageWindowSection(ini);
    EXPECT_EQ(ImageWindowBounds(state, row.Screens, row.BrowserWork), row.Expected);
    EXPECT_EQ(state.Max, row.Max);
}

const TWindowRect FullHd{0, 0, 1920, 1080};
const TWindowRect Small{0, 0, 800, 600};

INSTANTIATE_TEST_SUITE_P(
    Rows, ImageWindowOpens,
    testing::Values(
        TOpenCase{"Stored", "Left=10\nTop=20\nWidth=700\nHeight=500\n", Desktop(FullHd, 1.0), FullHd,
                  {10, 20, 700, 500}},
        // 144 dpi: every value half as large again; the position is moved by
        // the desktop's work area.
        TOpenCase{"ScaledAndMovedByTheWorkArea", "Left=100\nTop=50\nWidth=600\nHeight=400\n",
                  Desktop({0, 40, 1920, 1040}, 1.5), {0, 40, 1920, 1040}, {150, 115, 900, 600}},
        TOpenCase{"MaximisedKeepsItsNormalRectangle", "Left=0\nTop=0\nWidth=640\nHeight=480\nMax=1\n",
                  Desktop(FullHd, 1.0), FullHd, {0, 0, 640, 480}, true},
        // Without a full rectangle: centred on the browser's screen.
        TOpenCase{"AbsentCentred", "", Desktop(FullHd, 1.0), FullHd, {535, 165, 850, 750}},
        TOpenCase{"OneKeyMissingCentred", "Left=10\nTop=20\nWidth=700\n", Desktop(FullHd, 1.0), FullHd,
                  {535, 165, 850, 750}},
        TOpenCase{"OldAbsentValueCentred", "Left=32767\nTop=32767\nWidth=32767\nHeight=32767\n",
                  Desktop(FullHd, 1.0), FullHd, {535, 165, 850, 750}},
        TOpenCase{"SmallScreenGetsTheSmallWindow", "", Desktop(Small, 1.0), Small, {25, 25, 750, 550}},
        TOpenCase{"CentredOnTheBrowsersSecondScreen", "", Desktop(FullHd, 1.0, {FullHd, {1920, 0, 1280, 1024}}),
                  {1920, 0, 1280, 1024}, {2135, 137, 850, 750}},
        TOpenCase{"ZeroSizeCentred", "Left=10\nTop=20\nWidth=0\nHeight=500\n", Desktop(FullHd, 1.0), FullHd,
                  {535, 165, 850, 750}},
        // A window left on a monitor that has gone comes back onto one.
        TOpenCase{"OffEveryScreenComesBack", "Left=2500\nTop=100\nWidth=700\nHeight=500\n", Desktop(FullHd, 1.0),
                  FullHd, {535, 165, 850, 750}},
        TOpenCase{"OnTheSecondScreenStays", "Left=2500\nTop=100\nWidth=700\nHeight=500\n",
                  Desktop(FullHd, 1.0, {FullHd, {1920, 0, 1280, 1024}}), FullHd, {2500, 100, 700, 500}},
        // Hanging over the edge, but with enough on the screen to take hold.
        TOpenCase{"PartlyOnTheScreenStays", "Left=1860\nTop=1040\nWidth=700\nHeight=500\n", Desktop(FullHd, 1.0),
                  FullHd, {1860, 1040, 700, 500}},
        TOpenCase{"CornerOnlyComesBack", "Left=1900\nTop=1070\nWidth=700\nHeight=500\n", Desktop(FullHd, 1.0),
                  FullHd, {535, 165, 850, 750}}),
    [](const auto& info) { return std::string(info.param.Name); });

// What a closing window writes is what the next one opens at, on any scale.
class ImageWindowRoundTrip : public testing::TestWithParam<double> {};

TEST_P(ImageWindowRoundTrip, WrittenRectangleOpensAgain)
{
    const TScreenInfo screens = Desktop({0, 30, 2560, 1410}, GetParam());
    const TWindowRect shown{300, 150, 990, 720};
    TImageWindowState state;
    StoreImageWindowBounds(state, shown, true, screens);
    TIniFile ini;
    WriteImageWindowSection(ini, state);
    const TImageWindowState read = ReadImageWindowSection(ini);
    EXPECT_EQ(read, state);
    EXPECT_TRUE(read.Max);
    const TWindowRect back = ImageWindowBounds(read, screens, screens.WorkArea);
    // Rounding to 96-dpi units may move a side by up to a unit's pixels.
    const int slack = GetParam() > 1.0 ? static_cast<int>(GetParam() + 0.5) : 1;
    EXPECT_NEAR(back.Left, shown.Left, slack);
    EXPECT_NEAR(back.Top, shown.Top, slack);
    EXPECT_NEAR(back.Width, shown.Width, slack);
    EXPECT_NEAR(back.Height, shown.Height, slack);
}

INSTANTIATE_TEST_SUITE_P(Scales, ImageWindowRoundTrip, testing::Values(1.0, 1.25, 1.5, 2.0));

}  // namespace
