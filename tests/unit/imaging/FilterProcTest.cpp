// The image filters: their tables and window arithmetic with values worked
// out by hand, the two table modes, destinations, and the chain runner.

#include <gtest/gtest.h>

#include <random>

#include "ImagingTestSupport.h"
#include "imaging/FilterProc.h"

namespace {

TBitmap Gray(int width, int height, std::initializer_list<int> values)
{
    TBitmap b(width, height, 8);
    b.SetGrayPalette();
    auto it = values.begin();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.ScanLine(y)[x] = static_cast<uint8_t>(*it++);
    return b;
}

std::vector<int> Values(const TBitmap& b)
{
    std::vector<int> v;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width() * b.BytesPerPixel(); ++x)
            v.push_back(b.ScanLine(y)[x]);
    return v;
}

TBitmap OnePixel(uint8_t blue, uint8_t green, uint8_t red)
{
    TBitmap b(1, 1, 24);
    b.ScanLine(0)[0] = blue;
    b.ScanLine(0)[1] = green;
    b.ScanLine(0)[2] = red;
    return b;
}

// ---- tables ----

struct TTableCase {
    const char* Name;
    TToneTable Table;
    std::vector<std::pair<int, int>> Entries;  // index, expected value
};

class TableTest : public testing::TestWithParam<TTableCase> {};

TEST_P(TableTest, HasTheWorkedOutEntries)
{
    for (const auto& [index, value] : GetParam().Entries)
        EXPECT_EQ(GetParam().Table[static_cast<size_t>(index)], value) << "entry " << index;
}

TToneTable Curve(std::vector<TToneCurvePoint> points)
{
    TToneCurveInfo curve;
    curve.Points = std::move(points);
    return ToneCurveTable(curve).value();
}

const TTableCase TableCases[] = {
    // Two levels: everything up to 127 black, from 128 white.
    {"PosterizeTwo", PosterizeTable(2), {{0, 0}, {127, 0}, {128, 255}, {255, 255}}},
    // Steps of 85 at inputs above 63.75, 127.5 and 191.25.
    {"PosterizeFour", PosterizeTable(4), {{63, 0}, {64, 85}, {127, 85}, {128, 170}, {191, 170}, {192, 255}}},
    // Slope 255 / 150 from 50: 100 -> 85, 125 -> 127.5 -> 128.
    {"Levels", LevelsTable({50, 200, 0, 255, false}), {{0, 0}, {50, 0}, {100, 85}, {125, 128}, {200, 255}, {230, 255}}},
    {"LevelsOutputRange", LevelsTable({0, 255, 100, 200, false}), {{0, 100}, {255, 200}, {128, 150}}},
    // Stored 180 is exponent 1 / 5: (8 / 256)^(1/5) = 1/2 -> 128.
    {"GammaStored180", GammaTable(MappedGamma(180)), {{0, 0}, {8, 128}, {255, 255}}},
    // Exponent 2: 128 -> 64.
    {"GammaStored50", GammaTable(MappedGamma(50)), {{0, 0}, {128, 64}, {64, 16}}},
    {"BrightnessUp", BrightnessTable(30), {{0, 30}, {200, 230}, {240, 255}}},
    {"BrightnessDown", BrightnessTable(-30), {{0, 0}, {29, 0}, {100, 70}}},
    // Full contrast splits at trunc(mean).
    {"ContrastFull", ContrastTable(100, 100.6), {{0, 0}, {100, 0}, {101, 255}, {255, 255}}},
    // c = 50 doubles the distance from the mean 100.
    {"ContrastDouble", ContrastTable(50, 100), {{100, 100}, {110, 120}, {90, 80}, {40, 0}, {228, 255}}},
    // c = -50 halves it: 131 -> 115.5 -> 116.
    {"ContrastHalf", ContrastTable(-50, 100), {{100, 100}, {131, 116}, {0, 50}}},
    {"ToneCurveLine", Curve({{50, 20}, {200, 220}}), {{0, 20}, {49, 20}, {50, 20}, {125, 120}, {200, 220}, {255, 220}}},
    // Collinear points make the natural spline a straight line.
    {"ToneCurveCollinear", Curve({{0, 10}, {100, 110}, {200, 210}}), {{0, 10}, {50, 60}, {150, 160}, {199, 209}}},
    // The spline passes through every point; beyond the last point its y,
    // below the first the first's.
    {"ToneCurveSpline", Curve({{30, 40}, {128, 200}, {220, 230}}),
     {{0, 40}, {29, 40}, {30, 40}, {128, 200}, {220, 230}, {221, 230}, {255, 230}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, TableTest, testing::ValuesIn(TableCases),
                         [](const testing::TestParamInfo<TTableCase>& info) { return std::string(info.param.Name); });

TEST(Filters, EqualizeSpreadsTheHistogram)
{
    THistogram h{};
    h[10] = 50;
    h[20] = 50;
    const TToneTable t = EqualizeTable(h).value();
    EXPECT_EQ(t[10], 0);
    EXPECT_EQ(t[20], 255);
    EXPECT_EQ(t[15], 0);
    // Levels 0, 1, 2 with 1, 1 and 2 samples: c0 = 1/4, level 1 reaches
    // (1/2 - 1/4) * 255 / (3/4) = 85.
    THistogram three{};
    three[0] = three[1] = 1;
    three[2] = 2;
    const TToneTable u = EqualizeTable(three).value();
    EXPECT_EQ((std::vector<int>{u[0], u[1], u[2], u[3]}), (std::vector<int>{0, 85, 255, 255}));
    // One level only: nothing to do, no division by zero.
    THistogram flat{};
    flat[77] = 1000;
    EXPECT_FALSE(EqualizeTable(flat).has_value());
    EXPECT_FALSE(EqualizeTable(THistogram{}).has_value());
}

TEST(Filters, EqualizeLeavesUniformPicturesAlone)
{
    TBitmap b = FilledBitmap(5, 4, 24, 60);
    const TBitmap original = b.Clone();
    EqualizeFilter(b, nullptr, true, false);
    EqualizeFilter(b, nullptr, false, false);
    EXPECT_EQ(PixelDifference(b, original), "");
}

TEST(Filters, InvalidToneCurvesGiveNoTable)
{
    TToneCurveInfo curve;
    curve.Points = {{0, 0}, {100, 10}, {100, 20}};
    EXPECT_FALSE(ToneCurveTable(curve).has_value());
    curve.Points = {{0, 0}};
    EXPECT_FALSE(ToneCurveTable(curve).has_value());
    curve.Points = {{0, 0}, {256, 10}};
    EXPECT_FALSE(ToneCurveTable(curve).has_value());
    TBitmap b = FilledBitmap(3, 3, 8, 40);
    ToneCurveFilter(b, nullptr, curve, true);
    EXPECT_TRUE(AllBytesAre(b, 40));
}

// ---- the two table modes ----

TEST(Filters, TablePerChannelOrByLuminance)
{
    TToneTable half;
    for (int i = 0; i < 256; ++i)
        half[static_cast<size_t>(i)] = static_cast<uint8_t>(i / 2);
    // Y of (10, 20, 30) is 1431960 >> 16 = 21; half of it is 10, so each byte
    // drops by 11 (blue clamps at 0).
    TBitmap byLuminance = OnePixel(10, 20, 30);
    ApplyTable(byLuminance, nullptr, half, false);
    EXPECT_EQ(Values(byLuminance), (std::vector<int>{0, 9, 19}));
    TBitmap perChannel = OnePixel(10, 20, 30);
    ApplyTable(perChannel, nullptr, half, true);
    EXPECT_EQ(Values(perChannel), (std::vector<int>{5, 10, 15}));
    TBitmap gray = Gray(2, 1, {10, 255});
    ApplyGrayTable(gray, nullptr, half);
    EXPECT_EQ(Values(gray), (std::vector<int>{5, 127}));
}

TEST(Filters, ContrastSamplesFollowTheMode)
{
    // Pure red: Y = 76, the colour bytes average 85. Full contrast splits at
    // the mean of what the table sees.
    TBitmap byLuminance = OnePixel(0, 0, 255);
    ContrastFilter(byLuminance, nullptr, 100, false, false);
    // Y 76 is at the split: table 0, difference -76.
    EXPECT_EQ(Values(byLuminance), (std::vector<int>{0, 0, 179}));
    TBitmap perChannel = OnePixel(0, 0, 255);
    ContrastFilter(perChannel, nullptr, 100, true, false);
    EXPECT_EQ(Values(perChannel), (std::vector<int>{0, 0, 255}));
}

TEST(Filters, GrayscaleBases)
{
    // (10 * 7471 + 20 * 38470 + 30 * 19595) >> 16 = 21
    const std::pair<TGrayBase, int> cases[] = {
        {TGrayBase::gbLuminance, 21}, {TGrayBase::gbRed, 30}, {TGrayBase::gbGreen, 20}, {TGrayBase::gbBlue, 10}};
    for (const auto& [base, expected] : cases) {
        TBitmap b = OnePixel(10, 20, 30);
        b.SetLoadedFormat(PixelFormat::Bits32);
        GrayscaleFilter(b, nullptr, base);
        ASSERT_EQ(b.BitsPerPixel(), 8);
        EXPECT_TRUE(b.IsGray());
        EXPECT_EQ(b.ScanLine(0)[0], expected);
        EXPECT_EQ(b.LoadedFormat(), PixelFormat::Bits32);
    }
}

// ---- neighbourhoods ----

struct TWindowCase {
    const char* Name;
    int Width, Height;
    std::vector<int> Source;
    FilterKind Kind;
    TFilterParameter Parameter;
    std::vector<int> Expected;
};

class WindowFilterTest : public testing::TestWithParam<TWindowCase> {};

TBitmap GrayOf(int width, int height, const std::vector<int>& values)
{
    TBitmap b(width, height, 8);
    b.SetGrayPalette();
    for (size_t i = 0; i < values.size(); ++i)
        b.ScanLine(static_cast<int>(i) / width)[static_cast<int>(i) % width] = static_cast<uint8_t>(values[i]);
    return b;
}

TEST_P(WindowFilterTest, GivesTheWorkedOutPixelsInBothLayouts)
{
    const TWindowCase& c = GetParam();
    const TFilterList items{TFilterItem{c.Kind, c.Parameter}};
    TBitmap gray = GrayOf(c.Width, c.Height, c.Source);
    bool isGray = true;
    ApplyFilters(gray, items, isGray);
    EXPECT_EQ(Values(gray), c.Expected);
    // Each channel of a colour picture gets the same numbers.
    TBitmap colour = GrayToColour(GrayOf(c.Width, c.Height, c.Source));
    bool colourGray = false;
    ApplyFilters(colour, items, colourGray);
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_EQ(Values(ChannelOf(colour, channel)), c.Expected) << "channel " << channel;
}

const TWindowCase WindowCases[] = {
    // Centre: W = 9, T = 500, 9 * 100 - 500 = 400 -> 500 -> 255. Corner: W = 4,
    // T = 250, 200 - 250 = -50 -> 0. Edge: W = 6, T = 350 -> 0.
    {"SharpenFull", 3, 3, {50, 50, 50, 50, 100, 50, 50, 50, 50}, FilterKind::Sharpen, int32_t{100},
     {0, 0, 0, 0, 255, 0, 0, 0, 0}},
    // Half strength: corner 50 + ((32768 * -50 + 32768) >> 16) = 50 - 25; the
    // shift rounds a negative half down.
    {"SharpenHalf", 3, 3, {50, 50, 50, 50, 100, 50, 50, 50, 50}, FilterKind::Sharpen, int32_t{50},
     {25, 25, 25, 25, 255, 25, 25, 25, 25}},
    {"SharpenOnePixel", 1, 1, {77}, FilterKind::Sharpen, int32_t{300}, {77}},
    {"SharpenConstant", 4, 2, {9, 9, 9, 9, 9, 9, 9, 9}, FilterKind::Sharpen, int32_t{300}, {9, 9, 9, 9, 9, 9, 9, 9}},
    // Means with rnd(65536 / count): centre 90 * 7282 -> 10, corner
    // 90 * 16384 -> 23 (22.5 rounds up), edge 90 * 10923 -> 15.
    {"BlurRadiusOne", 3, 3, {0, 0, 0, 0, 90, 0, 0, 0, 0}, FilterKind::Blur, int32_t{1},
     {23, 15, 23, 15, 10, 15, 23, 15, 23}},
    // A radius wider than the picture: every window is the whole picture.
    {"BlurWholePicture", 3, 1, {0, 30, 90}, FilterKind::Blur, int32_t{5}, {40, 40, 40}},
    // A dark centre under a bright surround: blurred 93, d = -53; half
    // amount: 40 + ((32768 * -53 + 32768) >> 16) = 40 - 26 = 14. The edges
    // (blur 540 * 10923 -> 90, d = 10 -> +5) and corners (blur 85, d = 15 ->
    // +8) lie above their blur and brighten.
    {"UnsharpDarkens", 3, 3, {100, 100, 100, 100, 40, 100, 100, 100, 100}, FilterKind::UnsharpMask,
     TUnsharpMaskParameter{50, 1, 0}, {108, 105, 108, 105, 14, 105, 108, 105, 108}},
    // Below the threshold nothing changes.
    {"UnsharpThreshold", 3, 3, {100, 100, 100, 100, 40, 100, 100, 100, 100}, FilterKind::UnsharpMask,
     TUnsharpMaskParameter{50, 1, 60}, {100, 100, 100, 100, 40, 100, 100, 100, 100}},
    {"Invert", 2, 1, {0, 200}, FilterKind::Invert, std::monostate{}, {255, 55}},
};

INSTANTIATE_TEST_SUITE_P(Cases, WindowFilterTest, testing::ValuesIn(WindowCases),
                         [](const testing::TestParamInfo<TWindowCase>& info) { return std::string(info.param.Name); });

// ---- trim and margins ----

struct TTrimCase {
    const char* Name;
    int Size, First, Second;
    int CutFirst, CutSecond;
};

class TrimCutsTest : public testing::TestWithParam<TTrimCase> {};

TEST_P(TrimCutsTest, Cuts)
{
    const TTrimCase& c = GetParam();
    EXPECT_EQ(TrimCuts(c.Size, c.First, c.Second), std::make_pair(c.CutFirst, c.CutSecond));
}

const TTrimCase TrimCases[] = {
    {"Fits", 200, 50, 60, 50, 60},
    // x = 51, h = 26: both amounts lose 26, two pixels stay.
    {"BothTooLarge", 200, 150, 100, 124, 74},
    // A small amount is spared, the large one cut by the excess.
    {"FirstSmall", 5, 0, 9, 0, 4},
    // x = 6, h = 3: the second amount is spared, the first cut by 9 - 6.
    {"SecondSmall", 5, 9, 1, 3, 0},
    {"OnePixelPicture", 1, 3, 3, 0, 0},
    {"ExactlyTheSize", 4, 3, 1, 2, 0},
    // Amounts that would cut a negative number of pixels cut none.
    {"NeverNegative", 10, 12, 30, 0, 0},
    {"NegativeAmounts", 10, -5, 2, 0, 2},
};

INSTANTIATE_TEST_SUITE_P(Cases, TrimCutsTest, testing::ValuesIn(TrimCases),
                         [](const testing::TestParamInfo<TTrimCase>& info) { return std::string(info.param.Name); });

TEST(Filters, TrimKeepsTheRemainingRectangle)
{
    TBitmap b = Gray(4, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    TrimFilter(b, nullptr, TTrimParameter{1, 1, 1, 0});
    EXPECT_EQ(Values(b), (std::vector<int>{6, 7, 10, 11}));
    EXPECT_TRUE(b.IsGray());
    // Width 200, left 150 and right 100: two pixels stay.
    TBitmap wide = FilledBitmap(200, 2, 24, 5);
    TrimFilter(wide, nullptr, TTrimParameter{150, 0, 100, 0});
    EXPECT_EQ(wide.Width(), 2);
    EXPECT_EQ(wide.Height(), 2);
}

TEST(Filters, AddMarginPutsBandsInTheColour)
{
    TBitmap b = FilledBitmap(5, 2, 24, 9);
    AddMarginFilter(b, nullptr, TMarginParameter{10, 1, 30, 2, MakeColor(200, 100, 0)});
    ASSERT_EQ(b.Width(), 45);
    ASSERT_EQ(b.Height(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 45; ++x) {
            const bool picture = x >= 10 && x < 15 && y >= 1 && y < 3;
            const uint8_t* p = b.ScanLine(y) + 3 * x;
            const std::vector<int> pixel{p[0], p[1], p[2]};
            const std::vector<int> expected = picture ? std::vector<int>{9, 9, 9} : std::vector<int>{0, 100, 200};
            EXPECT_EQ(pixel, expected) << x << "," << y;
        }
    // On a gray page the margin is the nearest gray: (200, 100, 0) -> 100.
    TBitmap gray = FilledBitmap(2, 2, 8, 9);
    AddMarginFilter(gray, nullptr, TMarginParameter{1, 0, 0, 0, MakeColor(200, 100, 0)});
    EXPECT_EQ(Values(gray), (std::vector<int>{100, 9, 9, 100, 9, 9}));
    EXPECT_TRUE(gray.IsGray());
}

// ---- destinations and the chain ----

TEST(Filters, DestinationReceivesTheResultAndTheSourceStays)
{
    std::mt19937 random(3);
    const TBitmap original = RandomBitmap(6, 5, 24, random);
    const TFilterItem items[] = {
        TFilterItem{FilterKind::Levels, TLevelsParameter{20, 200, 0, 255, false}},
        TFilterItem{FilterKind::Sharpen, int32_t{150}},
        TFilterItem{FilterKind::Invert, std::monostate{}},
        TFilterItem{FilterKind::Trim, TTrimParameter{1, 1, 0, 0}},
    };
    for (const TFilterItem& item : items) {
        TBitmap source = original.Clone();
        TBitmap destination;
        TBitmap inPlace = original.Clone();
        switch (item.Kind) {
        case FilterKind::Levels:
            LevelsFilter(source, &destination, item.Levels(), false);
            LevelsFilter(inPlace, nullptr, item.Levels(), false);
            break;
        case FilterKind::Sharpen:
            SharpenFilter(source, &destination, item.Value());
            SharpenFilter(inPlace, nullptr, item.Value());
            break;
        case FilterKind::Invert:
            InvertFilter(source, &destination);
            InvertFilter(inPlace, nullptr);
            break;
        default:
            TrimFilter(source, &destination, item.Trim());
            TrimFilter(inPlace, nullptr, item.Trim());
            break;
        }
        EXPECT_EQ(PixelDifference(source, original), "") << FilterKindText(item.Kind);
        EXPECT_EQ(PixelDifference(destination, inPlace), "") << FilterKindText(item.Kind);
        EXPECT_NE(PixelDifference(destination, original), "") << FilterKindText(item.Kind);
    }
    // Neutral parameters: the destination gets a copy.
    TBitmap source = original.Clone();
    TBitmap destination;
    GammaFilter(source, &destination, 100, false, false);
    EXPECT_EQ(PixelDifference(destination, original), "");
}

TEST(Filters, GrayscaleThenLevelsWorksOnTheGrayResult)
{
    TBitmap page = OnePixel(10, 20, 30);  // Y = 21
    bool gray = false;
    ApplyFilters(page,
                 {TFilterItem{FilterKind::Grayscale, int32_t{0}},
                  TFilterItem{FilterKind::Levels, TLevelsParameter{0, 42, 0, 255, false}}},
                 gray);
    EXPECT_TRUE(gray);
    ASSERT_EQ(page.BitsPerPixel(), 8);
    // 21 * 255 / 42 = 127.5 -> 128
    EXPECT_EQ(page.ScanLine(0)[0], 128);
    // Grayscale on a gray page does nothing.
    ApplyFilters(page, {TFilterItem{FilterKind::Grayscale, int32_t{1}}}, gray);
    EXPECT_EQ(page.ScanLine(0)[0], 128);
}

TEST(Filters, ChainWidensPalettePicturesThatAreNotGray)
{
    TBitmap palette(2, 1, 8, true);
    palette.Palette() = {TRGBQuad{0, 0, 255, 0}, TRGBQuad{255, 255, 255, 0}};
    palette.ScanLine(0)[1] = 1;
    bool gray = false;
    ApplyFilters(palette, {TFilterItem{FilterKind::Invert, std::monostate{}}}, gray);
    EXPECT_FALSE(gray);
    ASSERT_EQ(palette.BitsPerPixel(), 24);
    EXPECT_EQ(Values(palette), (std::vector<int>{255, 255, 0, 0, 0, 0}));
}

TEST(Filters, ChainAppliesTheStoredValueMappings)
{
    // Brightness stored 130 is +30; contrast stored 100 is neutral; gamma
    // stored 100 is neutral.
    TBitmap b = FilledBitmap(2, 2, 8, 100);
    bool gray = true;
    ApplyFilters(b,
                 {TFilterItem{FilterKind::Brightness, TCorrectionParameter{130, false}},
                  TFilterItem{FilterKind::Contrast, TCorrectionParameter{100, false}},
                  TFilterItem{FilterKind::Gamma, TCorrectionParameter{100, true}}},
                 gray);
    EXPECT_TRUE(AllBytesAre(b, 130));
    // Posterize always works per channel, whatever the luminance rule says.
    TBitmap colour = OnePixel(100, 140, 200);
    bool colourGray = false;
    ApplyFilters(colour, {TFilterItem{FilterKind::Posterize, int32_t{2}}}, colourGray);
    EXPECT_EQ(Values(colour), (std::vector<int>{0, 255, 255}));
}

// ---- the chain from a source into a result ----

TToneCurveInfo CurveInfo(std::vector<TToneCurvePoint> points, bool perChannel)
{
    TToneCurveInfo curve;
    curve.Points = std::move(points);
    curve.PerChannel = perChannel;
    return curve;
}

struct TChainCase {
    const char* Name;
    TFilterList Items;
};

class ChainIntoTest : public testing::TestWithParam<TChainCase> {};

// Whatever is composed or banded, the result is the in-place chain's to the
// byte, and the source is left as it was.
TEST_P(ChainIntoTest, GivesTheInPlaceChainsBytes)
{
    std::mt19937 random(7);
    for (const int bits : {24, 8}) {
        // Tall enough for four bands of the banded pass.
        const TBitmap source = RandomBitmap(700, 400, bits, random);
        TBitmap expected = source.Clone();
        bool expectedGray = bits == 8;
        ApplyFilters(expected, GetParam().Items, expectedGray);
        for (const int bands : {1, 4}) {
            TBitmap result;
            bool gray = bits == 8;
            const TBitmap before = source.Clone();
            ApplyFiltersTo(source, GetParam().Items, gray, result, bands);
            EXPECT_EQ(gray, expectedGray) << bits << " bits, " << bands << " bands";
            ASSERT_EQ(result.BitsPerPixel(), expected.BitsPerPixel());
            EXPECT_EQ(PixelDifference(result, expected), "") << bits << " bits, " << bands << " bands";
            EXPECT_EQ(PixelDifference(source, before), "");
        }
    }
}

const TFilterItem LumaLevels{FilterKind::Levels, TLevelsParameter{20, 230, 0, 255, false}};
const TFilterItem ChannelLevels{FilterKind::Levels, TLevelsParameter{10, 200, 30, 240, true}};
const TFilterItem ChannelGamma{FilterKind::Gamma, TCorrectionParameter{140, true}};
const TFilterItem LumaBrightness{FilterKind::Brightness, TCorrectionParameter{70, false}};
const TFilterItem LumaCurve{FilterKind::ToneCurve, CurveInfo({{0, 0}, {96, 120}, {255, 255}}, false)};
const TFilterItem Invert{FilterKind::Invert, std::monostate{}};

INSTANTIATE_TEST_SUITE_P(
    Chains, ChainIntoTest,
    testing::Values(TChainCase{"Empty", {}},
                    TChainCase{"LuminanceLevels", {LumaLevels}},
                    TChainCase{"ComposedPerChannel", {ChannelLevels, ChannelGamma, Invert,
                                                      TFilterItem{FilterKind::Posterize, int32_t{5}}}},
                    TChainCase{"PerChannelThenLuminance", {ChannelGamma, LumaCurve}},
                    TChainCase{"TwoLuminancePasses", {LumaLevels, LumaBrightness, ChannelLevels, LumaCurve}},
                    TChainCase{"IdentitiesSkipped",
                               {TFilterItem{FilterKind::Levels, TLevelsParameter{}},
                                TFilterItem{FilterKind::Gamma, TCorrectionParameter{100, false}}, LumaLevels}},
                    // Contrast looks at the picture: the tables before it
                    // must have been applied when it does.
                    TChainCase{"TablesThenContrast",
                               {ChannelLevels, TFilterItem{FilterKind::Contrast, TCorrectionParameter{150, false}},
                                Invert}},
                    TChainCase{"GrayscaleStopsThePass",
                               {Invert, TFilterItem{FilterKind::Grayscale, int32_t{0}}, LumaLevels}},
                    TChainCase{"NeighbourhoodFirst", {TFilterItem{FilterKind::Blur, int32_t{1}}, LumaLevels}}),
    [](const testing::TestParamInfo<TChainCase>& info) { return std::string(info.param.Name); });

TEST(Filters, ChainIntoWidensPalettePictures)
{
    TBitmap palette(2, 1, 8, true);
    palette.Palette() = {TRGBQuad{0, 0, 255, 0}, TRGBQuad{255, 255, 255, 0}};
    palette.ScanLine(0)[1] = 1;
    TBitmap result;
    bool gray = false;
    ApplyFiltersTo(palette, {Invert}, gray, result, 2);
    EXPECT_FALSE(gray);
    EXPECT_EQ(Values(result), (std::vector<int>{255, 255, 0, 0, 0, 0}));
    EXPECT_EQ(palette.BitsPerPixel(), 8);
}

}  // namespace
