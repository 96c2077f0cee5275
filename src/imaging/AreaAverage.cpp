#include "imaging/AreaAverage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/Bitmap.h"
#include "base/Errors.h"
#include "imaging/Bicubic.h"
#include "imaging/ResampleCore.h"
#include "imaging/ResampleSimd.h"
#include "base/Texts.h"

using namespace imaging_detail;

namespace {

// The boxes of one axis: destination pixel d covers source positions
// d * step to (d + 1) * step (16.16, no centring). The first and last pixel of
// a box are weighted by their coverage (256 - fraction of the left edge, the
// fraction of the right edge); a pixel index at or beyond the picture's edge
// gets weight 0 and is never read, which can happen on the last box through
// the rounding of the step.
struct TBoxPlan {
    std::vector<int32_t> First;
    std::vector<int32_t> Last;
    std::vector<int32_t> FirstWeight;
    std::vector<int32_t> LastWeight;
    uint32_t Inverse = 0;
    int Size = 0;       // source pixels on the axis
    int Widest = 1;     // the most source pixels one box touches

    size_t Count() const { return First.size(); }
    // One past the last fully covered pixel.
    int MiddleEnd(size_t d) const { return std::min(Last[d], Size); }
};

TBoxPlan PlanAxis(int sourceSize, int scaledSize, int first, int last)
{
    const double scale = static_cast<double>(sourceSize) / scaledSize;
    const int64_t step = Rnd(scale * 65536);
    TBoxPlan plan;
    plan.Inverse = static_cast<uint32_t>(Rnd(65536 / scale));
    plan.Size = sourceSize;
    for (int64_t d = first; d < last; ++d) {
        const int64_t from = d * step;
        const int64_t to = from + step;
        const int64_t c0 = from >> 16;
        const int64_t c1 = to >> 16;
        plan.First.push_back(static_cast<int32_t>(std::min<int64_t>(c0, sourceSize)));
        plan.Last.push_back(static_cast<int32_t>(std::min<int64_t>(c1, sourceSize)));
        plan.FirstWeight.push_back(c0 < sourceSize ? 256 - static_cast<int32_t>((from >> 8) & 255) : 0);
        plan.LastWeight.push_back(c1 < sourceSize ? static_cast<int32_t>((to >> 8) & 255) : 0);
        const int64_t touched = std::min<int64_t>(c1, sourceSize - 1) - c0 + 1;
        plan.Widest = static_cast<int>(std::max<int64_t>(plan.Widest, touched));
    }
    return plan;
}

inline int32_t Weighted(int32_t weight, int32_t value)
{
    return (weight * value + 128) >> 8;
}

// The coverage-weighted sum of one source row under output column i, per
// channel; every partial term is rounded on its own.
void RowSumScalar(const uint8_t* row, const TBoxPlan& columns, int channels, size_t i, int32_t* sums)
{
    const int c0 = columns.First[i];
    const int c1 = columns.Last[i];
    const int w0 = columns.FirstWeight[i];
    const int w1 = columns.LastWeight[i];
    const int middleEnd = columns.MiddleEnd(i);
    for (int ch = 0; ch < channels; ++ch) {
        int32_t sum = 0;
        if (w0 != 0)
            sum += Weighted(w0, row[c0 * channels + ch]);
        for (int c = c0 + 1; c < middleEnd; ++c)
            sum += row[c * channels + ch];
        if (w1 != 0)
            sum += Weighted(w1, row[c1 * channels + ch]);
        sums[ch] = sum;
    }
}

uint8_t Normalise(int64_t total, uint32_t inverseX, uint32_t inverseY)
{
    const uint64_t x = (static_cast<uint64_t>(inverseX) * static_cast<uint64_t>(total) + 32768) >> 16;
    const uint64_t v = (static_cast<uint64_t>(inverseY) * x + 32768) >> 16;
    return static_cast<uint8_t>(std::min<uint64_t>(v, 255));
}

// The plain reference: 64-bit totals, any ratio.
void AreaScalar(const TResampleJob& job, const TBoxPlan& columns, const TBoxPlan& rows)
{
    const TBitmap& source = *job.Source;
    const int channels = source.BytesPerPixel();
    const size_t values = columns.Count() * static_cast<size_t>(channels);
    std::vector<int64_t> total(values);
    std::vector<int32_t> sums(values);
    std::vector<uint8_t> out(values);
    int cachedRow = -1;
    auto rowSums = [&](int r) {
        if (r != cachedRow) {
            const uint8_t* row = source.ScanLine(r);
            for (size_t i = 0; i < columns.Count(); ++i)
                RowSumScalar(row, columns, channels, i, sums.data() + i * static_cast<size_t>(channels));
            cachedRow = r;
        }
        return sums.data();
    };
    for (size_t v = 0; v < rows.Count(); ++v) {
        std::fill(total.begin(), total.end(), 0);
        auto add = [&](int r, int32_t weight) {
            const int32_t* s = rowSums(r);
            for (size_t k = 0; k < values; ++k)
                total[k] += weight == 256 ? s[k] : Weighted(weight, s[k]);
        };
        if (rows.FirstWeight[v] != 0)
            add(rows.First[v], rows.FirstWeight[v]);
        for (int r = rows.First[v] + 1; r < rows.MiddleEnd(v); ++r)
            add(r, 256);
        if (rows.LastWeight[v] != 0)
            add(rows.Last[v], rows.LastWeight[v]);
        for (size_t k = 0; k < values; ++k)
            out[k] = Normalise(total[k], columns.Inverse, rows.Inverse);
        std::memcpy(job.Destination->ScanLine(job.Y + static_cast<int>(v)) + static_cast<size_t>(job.X) * channels,
                    out.data(), values);
    }
}

// The vector variant: the same sums with 32-bit totals (checked to fit) and
// colour sums kept as four values per output.
void AreaVector(const TResampleJob& job, const TBoxPlan& columns, const TBoxPlan& rows, TSimdLevel level)
{
    const TBitmap& source = *job.Source;
    const int channels = source.BytesPerPixel();
    const bool avx2 = level == TSimdLevel::slAvx2;
    const int lanes = avx2 ? 2 : 1;
    const int chunkPixels = channels == 3 ? 5 : 8;
    const int chunks = (columns.Widest + chunkPixels - 1) / chunkPixels;
    const int64_t rowBytes = static_cast<int64_t>(source.Width()) * channels;
    const int64_t reach = channels == 3 ? 15 * static_cast<int64_t>(chunks) + 1 : 8 * static_cast<int64_t>(chunks);

    // Outputs whose chunk loads stay inside the source row run in the vector
    // loop; the rest (at most a few at the right edge) in the plain one.
    size_t vectorCount = 0;
    while (vectorCount < columns.Count() &&
           static_cast<int64_t>(columns.First[vectorCount]) * channels + reach <= rowBytes)
        ++vectorCount;
    vectorCount -= vectorCount % static_cast<size_t>(lanes);

    std::vector<int32_t> offsets(vectorCount);
    std::vector<uint16_t> weights(vectorCount * static_cast<size_t>(chunks) * 8, 0);
    for (size_t i = 0; i < vectorCount; ++i) {
        offsets[i] = columns.First[i] * channels;
        const size_t block = i / static_cast<size_t>(lanes) * static_cast<size_t>(chunks) * 8 * lanes;
        for (int g = 0; g < chunks; ++g) {
            uint16_t* dst = weights.data() + block + static_cast<size_t>(g) * 8 * lanes + (i % lanes) * 8;
            for (int t = 0; t < chunkPixels; ++t) {
                const int c = columns.First[i] + g * chunkPixels + t;
                int w = 0;
                if (c == columns.First[i])
                    w = columns.FirstWeight[i];
                else if (c < columns.MiddleEnd(i))
                    w = 256;
                else if (c == columns.Last[i])
                    w = columns.LastWeight[i];
                dst[t] = static_cast<uint16_t>(w);
            }
        }
    }
    const TAreaColumns view{offsets.data(), weights.data(), chunks, static_cast<int>(vectorCount)};

    const size_t stride = channels == 3 ? 4 : 1;
    const size_t values = columns.Count() * stride;
    constexpr size_t Slack = 16;
    std::vector<int32_t> sums(values + Slack, 0);
    std::vector<int32_t> total(values + Slack, 0);
    std::vector<uint8_t> out(values + Slack, 0);
    int cachedRow = -1;
    auto rowSums = [&](int r) {
        if (r != cachedRow) {
            const uint8_t* row = source.ScanLine(r);
            if (vectorCount > 0) {
                if (channels == 3)
                    (avx2 ? avx2::AreaRowColour : sse41::AreaRowColour)(row, view, sums.data());
                else
                    (avx2 ? avx2::AreaRowGray : sse41::AreaRowGray)(row, view, sums.data());
            }
            for (size_t i = vectorCount; i < columns.Count(); ++i)
                RowSumScalar(row, columns, channels, i, sums.data() + i * stride);
            cachedRow = r;
        }
        return sums.data();
    };
    const auto accumulate = avx2 ? avx2::AreaAccumulate : sse41::AreaAccumulate;
    for (size_t v = 0; v < rows.Count(); ++v) {
        std::fill(total.begin(), total.end(), 0);
        if (rows.FirstWeight[v] != 0)
            accumulate(total.data(), rowSums(rows.First[v]), rows.FirstWeight[v], values);
        for (int r = rows.First[v] + 1; r < rows.MiddleEnd(v); ++r)
            accumulate(total.data(), rowSums(r), 256, values);
        if (rows.LastWeight[v] != 0)
            accumulate(total.data(), rowSums(rows.Last[v]), rows.LastWeight[v], values);
        (avx2 ? avx2::AreaFinish : sse41::AreaFinish)(total.data(), columns.Inverse, rows.Inverse, channels,
                                                      out.data(), columns.Count());
        std::memcpy(job.Destination->ScanLine(job.Y + static_cast<int>(v)) + static_cast<size_t>(job.X) * channels,
                    out.data(), columns.Count() * static_cast<size_t>(channels));
    }
}

void AreaAverage(const TResampleJob& job, TSimdLevel level)
{
    CheckResampleJob(job);
    const TBitmap& source = *job.Source;
    if (job.Width >= source.Width() || job.Height >= source.Height()) {
        // Not a reduction in both directions: the bicubic resampler.
        if (source.BitsPerPixel() == 24)
            BicubicBitmap(source, *job.Destination, job.Width, job.X, job.Y, job.Visible, job.Height, level);
        else
            BicubicGrayBitmap(source, *job.Destination, job.Width, job.X, job.Y, job.Visible, job.Height, level);
        return;
    }
    const TVisibleRect& r = job.Visible;
    const TBoxPlan columns = PlanAxis(source.Width(), job.Width, r.Left, r.Right);
    const TBoxPlan rows = PlanAxis(source.Height(), job.Height, r.Top, r.Bottom);
    // The vector totals are 32-bit; a box too large for them (ratios in the
    // thousands) takes the plain path.
    const int64_t largestTotal = static_cast<int64_t>(columns.Widest) * rows.Widest * 255;
    if (level != TSimdLevel::slScalar && largestTotal < (int64_t(1) << 31))
        AreaVector(job, columns, rows, level);
    else
        AreaScalar(job, columns, rows);
}

}  // namespace

void AreaAverageBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y,
                       const TVisibleRect& visible, int height, TSimdLevel level)
{
    if (source.BitsPerPixel() != 24)
        throw EInvalidGraphic(Tx("24ビットの画像ではありません"));
    AreaAverage(TResampleJob{&source, &destination, width, height, x, y, visible}, level);
}

void AreaAverageGrayBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y,
                           const TVisibleRect& visible, int height, TSimdLevel level)
{
    if (source.BitsPerPixel() != 8)
        throw EInvalidGraphic(Tx("8ビットの画像ではありません"));
    AreaAverage(TResampleJob{&source, &destination, width, height, x, y, visible}, level);
}
