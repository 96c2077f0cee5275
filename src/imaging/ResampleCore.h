#pragma once

// The machinery the resamplers share: the program's rounding, centred 16.16
// positions, per-axis tap windows, and the two-pass engine that filters
// vertically into a byte row and then horizontally. Each resampler only builds
// its two axis plans; the engine runs them with the plain code or with the
// vector variants, which give the same bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/ResampleArgs.h"
#include "platform/CpuFeatures.h"

namespace imaging_detail {

// x + 0.5 truncated toward zero: the rounding every table of the resamplers
// uses (for negative values it is not rounding to the nearest integer).
inline int64_t Rnd(double x)
{
    return static_cast<int64_t>(x + 0.5);
}

// Negative sums give 0, others (sum + 32768) >> 16, at most 255.
inline uint8_t SumToByte(int32_t sum)
{
    if (sum < 0)
        return 0;
    const int32_t v = (sum + 32768) >> 16;
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

// Pixel centres line up: destination pixel d sits at Origin + d * Step in
// source pixels (16.16). 64-bit, so positions stay exact on sides of
// 32768 pixels and more.
struct TCentredAxis {
    double Scale = 1;  // source pixels per destination pixel
    int64_t Step = 0;
    int64_t Origin = 0;
};
TCentredAxis CentredAxis(int sourceSize, int scaledSize);

// Along one axis, the source window of every destination pixel of the visible
// range: Count weights (16.16) for the source pixels Start .. Start + Count - 1.
// Every window lies inside the source, so no filter ever reads outside the
// picture; taps that fell outside were added to the edge pixel they repeat.
struct TAxisPlan {
    int Count = 0;
    std::vector<int32_t> Start;
    std::vector<int32_t> Weights;
    int Lowest = 0;   // the smallest Start
    int Highest = 0;  // one past the largest Start + Count - 1

    // For the vector code: each weight w as a 16-bit value (w, or w - 65536
    // when w > 32767) plus a flag for the second case; Fits16 is false when
    // some weight fits neither way.
    std::vector<int16_t> Weights16;
    std::vector<int16_t> Big;
    bool HasBig = false;
    bool Fits16 = true;

    int Size() const { return static_cast<int>(Start.size()); }
    const int32_t* WeightsOf(int d) const { return Weights.data() + static_cast<size_t>(d) * Count; }
};

// Collects the windows of one axis in destination order.
class TAxisPlanBuilder {
public:
    // sourceSize pixels on the axis, taps weights per filtered pixel at most.
    TAxisPlanBuilder(int sourceSize, int64_t taps, int destinations);
    // The destination pixel is a copy of source pixel index.
    void AddCopy(int index);
    // Taps first, first + 1, ..., first + taps - 1 with the given weights;
    // taps outside the picture read its edge pixel.
    void AddTaps(int64_t first, const int32_t* weights, int64_t taps);
    TAxisPlan Finish();

private:
    int32_t* NewWindow(int start);
    int fSource;
    TAxisPlan fPlan;
};

// Runs the separable filter: for every visible row, the vertical window of
// that row gives one byte row over the source columns the visible columns
// need; the horizontal windows then give the destination pixels.
void RunSeparable(const TResampleJob& job, const TAxisPlan& columns, const TAxisPlan& rows, TSimdLevel level);

}  // namespace imaging_detail
