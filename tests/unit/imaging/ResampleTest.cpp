// The four resamplers against the per-pixel reference, their invariants for
// both layouts, the vector variants against the plain code, and the edge cases
// with values worked out by hand.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "ImagingTestSupport.h"
#include "base/Errors.h"
#include "imaging/Bicubic.h"
#include "imaging/Lanczos3.h"
#include "platform/CpuFeatures.h"

namespace {

const ResampleMethod AllMethods[] = {ResampleMethod::Bilinear, ResampleMethod::Bicubic, ResampleMethod::AreaAverage,
                                     ResampleMethod::Lanczos3};

std::vector<TSimdLevel> Levels()
{
    std::vector<TSimdLevel> levels;
    for (TSimdLevel l : {TSimdLevel::slScalar, TSimdLevel::slSse41, TSimdLevel::slAvx2})
        if (SimdLevelSupported(l))
            levels.push_back(l);
    return levels;
}

TVisibleRect Whole(int width, int height)
{
    return TVisibleRect{0, 0, width, height};
}

TVisibleRect RandomRect(int width, int height, int largest, std::mt19937& random)
{
    std::uniform_int_distribution<int> w(1, std::min(width, largest)), h(1, std::min(height, largest));
    const int rw = w(random), rh = h(random);
    std::uniform_int_distribution<int> l(0, width - rw), t(0, height - rh);
    const int left = l(random), top = t(random);
    return TVisibleRect{left, top, left + rw, top + rh};
}

struct TMethodLayout {
    ResampleMethod Method;
    int Bits;
};

std::string LayoutName(const testing::TestParamInfo<TMethodLayout>& info)
{
    return std::string(MethodName(info.param.Method)) + (info.param.Bits == 8 ? "Gray" : "Colour");
}

std::vector<TMethodLayout> AllMethodLayouts()
{
    std::vector<TMethodLayout> all;
    for (ResampleMethod m : AllMethods)
        for (int bits : {24, 8})
            all.push_back({m, bits});
    return all;
}

class ResamplerTest : public testing::TestWithParam<TMethodLayout> {};

// Sizes that reach every zone: enlargements and reductions, one and two
// pixel sources, odd ratios, mixed directions.
struct TSizeCase {
    int W0, H0, W, H;
};
const TSizeCase SizeCases[] = {
    {1, 1, 2, 2},   {1, 1, 7, 3},   {2, 2, 4, 4},   {2, 3, 8, 5},    {2, 2, 9, 1},    {5, 4, 17, 13},
    {13, 11, 40, 9}, {40, 30, 13, 11}, {40, 30, 20, 15}, {37, 23, 12, 7}, {31, 29, 30, 28}, {64, 48, 3, 2},
    {90, 60, 2, 1}, {7, 5, 7, 10},  {50, 40, 51, 39}, {300, 4, 10, 3}, {1, 40, 3, 7},   {40, 1, 6, 1},
};

TEST_P(ResamplerTest, MatchesTheReferenceAtEveryLevel)
{
    const auto [method, bits] = GetParam();
    std::mt19937 random(1234);
    for (const TSizeCase& c : SizeCases) {
        const TBitmap source = RandomBitmap(c.W0, c.H0, bits, random);
        const TVisibleRect whole = Whole(c.W, c.H);
        const TBitmap expected = ReferenceScale(source, method, c.W, c.H, whole);
        const TVisibleRect part = RandomRect(c.W, c.H, 64, random);
        const TBitmap expectedPart = ReferenceScale(source, method, c.W, c.H, part);
        for (TSimdLevel level : Levels()) {
            SCOPED_TRACE(testing::Message() << c.W0 << "x" << c.H0 << " -> " << c.W << "x" << c.H << " "
                                            << SimdLevelName(level));
            EXPECT_EQ(PixelDifference(RunResampler(source, method, c.W, c.H, whole, level), expected), "");
            EXPECT_EQ(PixelDifference(RunResampler(source, method, c.W, c.H, part, level), expectedPart), "");
        }
    }
}

TEST_P(ResamplerTest, ConstantPictureStaysConstant)
{
    const auto [method, bits] = GetParam();
    for (const TSizeCase& c : SizeCases)
        for (uint8_t value : {0, 1, 128, 254, 255})
            for (TSimdLevel level : Levels()) {
                // Bilinear weights always sum to 65536; the tables of the
                // other methods are rounded per weight and may move a level by
                // one. Area average rounds each partial border term on its
                // own; with boxes barely larger than a pixel (ratios below 2)
                // up to four such roundings meet in one result.
                int tolerance = method == ResampleMethod::Bilinear ? 0 : 1;
                if (method == ResampleMethod::AreaAverage && c.W < c.W0 && c.H < c.H0 &&
                    (c.W0 < 2 * c.W || c.H0 < 2 * c.H))
                    tolerance = 3;
                const TBitmap source = FilledBitmap(c.W0, c.H0, bits, value);
                const TBitmap result = RunResampler(source, method, c.W, c.H, Whole(c.W, c.H), level);
                const TBitmap flat = FilledBitmap(c.W, c.H, bits, value);
                EXPECT_LE(LargestDifference(result, flat), tolerance)
                    << c.W0 << "x" << c.H0 << " -> " << c.W << "x" << c.H << " value " << int(value);
            }
}

TEST_P(ResamplerTest, TilesComputedApartEqualTheWhole)
{
    const auto [method, bits] = GetParam();
    std::mt19937 random(99);
    const TBitmap source = RandomBitmap(45, 31, bits, random);
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{100, 70}, {20, 13}, {45, 60}, {30, 31}}) {
        for (TSimdLevel level : Levels()) {
            const TBitmap whole = RunResampler(source, method, w, h, Whole(w, h), level);
            // Uneven tiles: columns cut at 7, 7 + 13, ...; rows at 5, 5 + 11, ...
            for (int top = 0; top < h; top += 11) {
                for (int left = 0; left < w; left += 13) {
                    const TVisibleRect tile{left, top, std::min(w, left + 13), std::min(h, top + 11)};
                    const TBitmap part = RunResampler(source, method, w, h, tile, level);
                    for (int y = 0; y < tile.Height(); ++y)
                        for (int x = 0; x < tile.Width() * source.BytesPerPixel(); ++x)
                            ASSERT_EQ(part.ScanLine(y)[x],
                                      whole.ScanLine(top + y)[left * source.BytesPerPixel() + x])
                                << w << "x" << h << " tile at " << left << "," << top << " " << SimdLevelName(level);
                }
            }
        }
    }
}

TEST_P(ResamplerTest, VectorVariantsGiveThePlainBytes)
{
    const auto [method, bits] = GetParam();
    std::mt19937 random(2024 + static_cast<int>(method) * 7 + bits);
    // Ratios from 0.05 (twenty times larger) to 150 (150 times smaller), log
    // uniform, with random visible rectangles.
    std::uniform_real_distribution<double> logRatio(std::log(0.05), std::log(150.0));
    std::uniform_int_distribution<int> scaled(1, 40);
    for (int round = 0; round < 60; ++round) {
        const int w = scaled(random), h = scaled(random);
        const int w0 = std::clamp(static_cast<int>(std::lround(w * std::exp(logRatio(random)))), 1, 1500);
        const int h0 = std::clamp(static_cast<int>(std::lround(h * std::exp(logRatio(random)))), 1, 1500);
        const TBitmap source = RandomBitmap(w0, h0, bits, random);
        const TVisibleRect r = RandomRect(w, h, 40, random);
        const TBitmap plain = RunResampler(source, method, w, h, r, TSimdLevel::slScalar);
        for (TSimdLevel level : Levels())
            EXPECT_EQ(PixelDifference(RunResampler(source, method, w, h, r, level), plain), "")
                << w0 << "x" << h0 << " -> " << w << "x" << h << " " << SimdLevelName(level);
    }
}

// Positions and box edges beyond 32 bits: a 40000-pixel-wide source.
TEST_P(ResamplerTest, WideSourcesKeepExactPositions)
{
    const auto [method, bits] = GetParam();
    std::mt19937 random(5);
    const TBitmap source = RandomBitmap(40000, 3, bits, random);
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{20000, 2}, {39999, 2}, {50000, 2}}) {
        const TVisibleRect tail{w - 300, 0, w, h};
        const TBitmap expected = ReferenceScale(source, method, w, h, tail);
        for (TSimdLevel level : Levels())
            EXPECT_EQ(PixelDifference(RunResampler(source, method, w, h, tail, level), expected), "")
                << w << "x" << h << " " << SimdLevelName(level);
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, ResamplerTest, testing::ValuesIn(AllMethodLayouts()), LayoutName);

class ColourTest : public testing::TestWithParam<ResampleMethod> {};

TEST_P(ColourTest, EqualChannelsGiveTheGrayResult)
{
    const ResampleMethod method = GetParam();
    std::mt19937 random(7);
    for (const TSizeCase& c : SizeCases) {
        const TBitmap gray = RandomBitmap(c.W0, c.H0, 8, random);
        const TBitmap colour = GrayToColour(gray);
        for (TSimdLevel level : Levels()) {
            const TBitmap g = RunResampler(gray, method, c.W, c.H, Whole(c.W, c.H), level);
            const TBitmap rgb = RunResampler(colour, method, c.W, c.H, Whole(c.W, c.H), level);
            for (int channel = 0; channel < 3; ++channel)
                EXPECT_EQ(PixelDifference(ChannelOf(rgb, channel), g), "")
                    << c.W0 << "x" << c.H0 << " -> " << c.W << "x" << c.H << " channel " << channel;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, ColourTest, testing::ValuesIn(AllMethods),
                         [](const testing::TestParamInfo<ResampleMethod>& info) { return std::string(MethodName(info.param)); });


std::vector<int> GrayValues(const TBitmap& b)
{
    std::vector<int> values;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            values.push_back(b.ScanLine(y)[x]);
    return values;
}

// Results worked out by hand from the fixed-point definitions.
struct TExactCase {
    const char* Name;
    ResampleMethod Method;
    int W0, H0;
    std::vector<int> Source;
    int W, H;
    std::vector<int> Expected;
};

class ExactValuesTest : public testing::TestWithParam<TExactCase> {};

TEST_P(ExactValuesTest, GivesTheWorkedOutPixels)
{
    const TExactCase& c = GetParam();
    TBitmap source(c.W0, c.H0, 8);
    source.SetGrayPalette();
    for (int i = 0; i < c.W0 * c.H0; ++i)
        source.ScanLine(i / c.W0)[i % c.W0] = static_cast<uint8_t>(c.Source[static_cast<size_t>(i)]);
    for (TSimdLevel level : Levels()) {
        EXPECT_EQ(GrayValues(RunResampler(source, c.Method, c.W, c.H, Whole(c.W, c.H), level)), c.Expected)
            << SimdLevelName(level);
    }
}

const TExactCase ExactCases[] = {
    // Positions -0.25, 0.25, 0.75, 1.25: the corners copy the source corners,
    // the inner pixels interpolate (each row rounded before the vertical step).
    {"BilinearDoublesTwoByTwo", ResampleMethod::Bilinear, 2, 2, {10, 50, 90, 130}, 4, 4,
     {10, 20, 40, 50, 30, 40, 60, 70, 70, 80, 100, 110, 90, 100, 120, 130}},
    // Halving: the mean of each 2 x 2 block, rounded twice: sum 4v -> v,
    // sum 5 -> 2, sum 3 -> 1, sum 6 -> 2 ((6 + 1) div 2 = 3, (3 + 1) div 2 = 2).
    {"AreaHalvesIntoBlockMeans", ResampleMethod::AreaAverage, 4, 4,
     {7, 7, 1, 1, 7, 7, 1, 2, 0, 1, 3, 1, 1, 1, 1, 1}, 2, 2, {7, 2, 1, 2}},
    {"BilinearHalvesIntoBlockMeans", ResampleMethod::Bilinear, 4, 2, {7, 7, 1, 1, 7, 7, 1, 2}, 2, 1, {7, 2}},
    // Three to two: pixel 0 covers source 0 and half of 1, pixel 1 the other
    // half of 1 and all of 2; the last box ends on the picture's edge, so the
    // row below the picture gets no weight. Totals 185 and 415 normalised by
    // 43691 and 32768.
    {"AreaThreeToTwo", ResampleMethod::AreaAverage, 3, 2, {10, 200, 30, 40, 70, 250}, 2, 1, {62, 139}},
    // A single pixel doubled: every result is a copy (before and after zones).
    {"Lanczos3DoublesOnePixel", ResampleMethod::Lanczos3, 1, 1, {77}, 2, 2, {77, 77, 77, 77}},
    {"BicubicDoublesOnePixel", ResampleMethod::Bicubic, 1, 1, {200}, 3, 2, {200, 200, 200, 200, 200, 200}},
};

INSTANTIATE_TEST_SUITE_P(Cases, ExactValuesTest, testing::ValuesIn(ExactCases),
                         [](const testing::TestParamInfo<TExactCase>& info) { return std::string(info.param.Name); });

// At scale 1 every sample falls on a source pixel: phase 0, weights
// 0, 65536, 0, 0 (bicubic) or a unit impulse (Lanczos3), so the resampler
// itself, without the dispatcher's plain copy, gives the picture back.
TEST(Resampler, PhaseZeroCopiesThePicture)
{
    std::mt19937 random(3);
    for (int bits : {24, 8})
        for (ResampleMethod method : {ResampleMethod::Bicubic, ResampleMethod::Lanczos3, ResampleMethod::Bilinear}) {
            const TBitmap source = RandomBitmap(23, 17, bits, random);
            for (TSimdLevel level : Levels())
                EXPECT_EQ(PixelDifference(RunResampler(source, method, 23, 17, Whole(23, 17), level), source), "")
                    << MethodName(method) << " " << bits << " " << SimdLevelName(level);
        }
}

// Only one direction scaled: the other runs with the scale-1 table, so a
// picture that is constant along each row stays so.
TEST(Resampler, ScalingOneDirectionLeavesTheOther)
{
    std::mt19937 random(8);
    TBitmap source = RandomBitmap(1, 30, 8, random);
    TBitmap wide(9, 30, 8);
    wide.SetGrayPalette();
    for (int y = 0; y < 30; ++y)
        std::fill_n(wide.ScanLine(y), 9, source.ScanLine(y)[0]);
    for (ResampleMethod method : AllMethods) {
        const TBitmap result = RunResampler(wide, method, 20, 30, Whole(20, 30), TSimdLevel::slScalar);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 20; ++x)
                EXPECT_EQ(result.ScanLine(y)[x], source.ScanLine(y)[0]) << MethodName(method);
    }
}

// A black-to-white edge enlarged: the negative outer weights overshoot, the
// bytes clamp to 0 and 255 and never wrap around.
TEST(Resampler, EdgeOvershootIsClampedNotWrapped)
{
    TBitmap edge(8, 1, 8);
    edge.SetGrayPalette();
    for (int x = 0; x < 8; ++x)
        edge.ScanLine(0)[x] = x < 4 ? 30 : 225;
    for (ResampleMethod method : {ResampleMethod::Bicubic, ResampleMethod::Lanczos3}) {
        const std::vector<int> row = GrayValues(RunResampler(edge, method, 64, 1, Whole(64, 1), TSimdLevel::slScalar));
        // Ringing: values beyond both levels appear next to the edge.
        EXPECT_LT(*std::min_element(row.begin(), row.end()), 30) << MethodName(method);
        EXPECT_GT(*std::max_element(row.begin(), row.end()), 225) << MethodName(method);
        for (int x = 0; x < 64; ++x) {
            if (x < 28) {
                EXPECT_LT(row[static_cast<size_t>(x)], 128) << MethodName(method) << " at " << x;
            } else if (x >= 36) {
                EXPECT_GT(row[static_cast<size_t>(x)], 128) << MethodName(method) << " at " << x;
            }
        }
    }
    // Full black to full white: the overshoot is cut at the byte limits.
    for (int x = 0; x < 8; ++x)
        edge.ScanLine(0)[x] = x < 4 ? 0 : 255;
    const std::vector<int> row =
        GrayValues(RunResampler(edge, ResampleMethod::Lanczos3, 64, 1, Whole(64, 1), TSimdLevel::slScalar));
    for (int x = 36; x < 64; ++x)
        EXPECT_GE(row[static_cast<size_t>(x)], 200) << "wrapped at " << x;
}

// Strong reductions: 3000 to 100 is 180 Lanczos taps per axis; 200:1 area
// boxes sum 40000 pixels per result.
TEST(Resampler, StrongReductionsMatchTheReference)
{
    std::mt19937 random(11);
    const TBitmap strip = RandomBitmap(3000, 30, 8, random);
    for (TSimdLevel level : Levels())
        EXPECT_EQ(PixelDifference(RunResampler(strip, ResampleMethod::Lanczos3, 100, 1, Whole(100, 1), level),
                                  ReferenceScale(strip, ResampleMethod::Lanczos3, 100, 1, Whole(100, 1))),
                  "");
    const TBitmap white = FilledBitmap(400, 400, 24, 255);
    const TBitmap noisy = RandomBitmap(400, 400, 24, random);
    for (TSimdLevel level : Levels()) {
        EXPECT_TRUE(AllBytesAre(RunResampler(white, ResampleMethod::AreaAverage, 2, 2, Whole(2, 2), level), 255));
        EXPECT_EQ(PixelDifference(RunResampler(noisy, ResampleMethod::AreaAverage, 2, 2, Whole(2, 2), level),
                                  ReferenceScale(noisy, ResampleMethod::AreaAverage, 2, 2, Whole(2, 2))),
                  "");
    }
}

// 1001 rows to 1000: the last box ends just past the picture; the row beyond
// it gets weight 0 instead of being read.
TEST(Resampler, AreaAverageNeverReadsBelowThePicture)
{
    std::mt19937 random(12);
    const TBitmap source = RandomBitmap(7, 1001, 8, random);
    const TVisibleRect last{0, 990, 6, 1000};
    for (TSimdLevel level : Levels()) {
        const TBitmap result = RunResampler(source, ResampleMethod::AreaAverage, 6, 1000, last, level);
        EXPECT_EQ(PixelDifference(result, ReferenceScale(source, ResampleMethod::AreaAverage, 6, 1000, last)), "");
    }
}

TEST(Resampler, RefusesJobsTheDispatcherWouldRefuse)
{
    TBitmap source = FilledBitmap(4, 4, 24, 9);
    TBitmap small(2, 2, 24);
    TBitmap gray(8, 8, 8);
    EXPECT_THROW(BicubicBitmap(source, small, 8, 0, 0, TVisibleRect{0, 0, 3, 3}, 8), EInvalidGraphic);
    EXPECT_THROW(BicubicBitmap(source, gray, 8, 0, 0, TVisibleRect{0, 0, 3, 3}, 8), EInvalidGraphic);
    EXPECT_THROW(BicubicBitmap(source, small, 8, 0, 0, TVisibleRect{7, 7, 9, 9}, 8), EInvalidGraphic);
    EXPECT_THROW(Lanczos3GrayBitmap(source, small, 8, 0, 0, TVisibleRect{0, 0, 2, 2}, 8), EInvalidGraphic);
    EXPECT_NO_THROW(BicubicBitmap(source, small, 8, 0, 0, TVisibleRect{0, 0, 2, 2}, 8));
}

TEST(Resampler, LanczosKernel)
{
    EXPECT_EQ(Lanczos3Kernel(0), 1.0);
    EXPECT_EQ(Lanczos3Kernel(3), 0.0);
    EXPECT_EQ(Lanczos3Kernel(-3.5), 0.0);
    EXPECT_NEAR(Lanczos3Kernel(1), 0.0, 1e-15);
    // sinc(0.5) * sinc(1/6) = (2 / pi) * (6 / pi) * sin(pi / 6)
    EXPECT_NEAR(Lanczos3Kernel(0.5), 6 / (M_PI * M_PI), 1e-12);
    EXPECT_EQ(Lanczos3Kernel(-1.25), Lanczos3Kernel(1.25));
    // The zeros inside the window are exact.
    EXPECT_EQ(Lanczos3Kernel(2), 0.0);
    EXPECT_EQ(Lanczos3Kernel(-1), 0.0);
    // Every reduction of the argument (a quarter, a half, past one and two
    // periods of the first factor) against the formula as written.
    for (double x : {0.1, 0.25, 0.3, 0.7, 0.9999, 1.2, 1.6, 2.1, 2.5, 2.9, 2.999, -0.45, -1.75, -2.4}) {
        const double expected = std::sin(M_PI * x) * std::sin(M_PI * x / 3) / (M_PI * M_PI * x * x / 3);
        EXPECT_NEAR(Lanczos3Kernel(x), expected, 1e-14) << x;
    }
}

}  // namespace
