#include "imaging/ResampleCore.h"

#include <algorithm>
#include <cstring>

#include "common/Bitmap.h"
#include "base/Errors.h"
#include "imaging/ResampleSimd.h"
#include "base/Texts.h"

void CheckResampleJob(const TResampleJob& job)
{
    const TBitmap* source = job.Source;
    const TBitmap* destination = job.Destination;
    if (!source || !destination || source->IsEmpty())
        throw EInvalidGraphic(Tx("拡大縮小する画像がありません"));
    const int bits = source->BitsPerPixel();
    if ((bits != 8 && bits != 24) || destination->BitsPerPixel() != bits)
        throw EInvalidGraphic(Tx("拡大縮小できない画素形式です"));
    const TVisibleRect& r = job.Visible;
    if (job.Width <= 0 || job.Height <= 0 || r.IsEmpty() || r.Left < 0 || r.Top < 0 || r.Right > job.Width ||
        r.Bottom > job.Height || job.X < 0 || job.Y < 0 ||
        static_cast<int64_t>(job.X) + r.Width() > destination->Width() ||
        static_cast<int64_t>(job.Y) + r.Height() > destination->Height())
        throw EInvalidGraphic(Tx("拡大縮小の範囲が正しくありません"));
}

namespace imaging_detail {

TCentredAxis CentredAxis(int sourceSize, int scaledSize)
{
    TCentredAxis axis;
    axis.Scale = static_cast<double>(sourceSize) / scaledSize;
    axis.Step = Rnd(axis.Scale * 65536);
    axis.Origin = Rnd((axis.Scale / 2 - 0.5) * 65536);
    return axis;
}

TAxisPlanBuilder::TAxisPlanBuilder(int sourceSize, int64_t taps, int destinations) : fSource(sourceSize)
{
    fPlan.Count = static_cast<int>(std::min<int64_t>(std::max<int64_t>(taps, 1), sourceSize));
    fPlan.Start.reserve(static_cast<size_t>(destinations));
    fPlan.Weights.reserve(static_cast<size_t>(destinations) * static_cast<size_t>(fPlan.Count));
    fPlan.Lowest = sourceSize;
    fPlan.Highest = 0;
}

int32_t* TAxisPlanBuilder::NewWindow(int start)
{
    fPlan.Start.push_back(start);
    fPlan.Lowest = std::min(fPlan.Lowest, start);
    fPlan.Highest = std::max(fPlan.Highest, start + fPlan.Count);
    fPlan.Weights.resize(fPlan.Weights.size() + static_cast<size_t>(fPlan.Count), 0);
    return fPlan.Weights.data() + fPlan.Weights.size() - static_cast<size_t>(fPlan.Count);
}

void TAxisPlanBuilder::AddCopy(int index)
{
    const int start = std::clamp(index, 0, fSource - fPlan.Count);
    NewWindow(start)[index - start] = 65536;
}

void TAxisPlanBuilder::AddTaps(int64_t first, const int32_t* weights, int64_t taps)
{
    const int64_t last = fSource - 1;
    const int start = static_cast<int>(std::clamp<int64_t>(first, 0, fSource - fPlan.Count));
    int32_t* window = NewWindow(start);
    for (int64_t i = 0; i < taps; ++i) {
        const int64_t index = std::clamp<int64_t>(first + i, 0, last);
        window[index - start] += weights[i];
    }
}

TAxisPlan TAxisPlanBuilder::Finish()
{
    TAxisPlan& plan = fPlan;
    if (plan.Start.empty()) {
        plan.Lowest = 0;
        plan.Highest = 0;
    }
    plan.Weights16.resize(plan.Weights.size());
    plan.Big.resize(plan.Weights.size());
    for (size_t i = 0; i < plan.Weights.size(); ++i) {
        const int32_t w = plan.Weights[i];
        if (w >= -32768 && w <= 32767) {
            plan.Weights16[i] = static_cast<int16_t>(w);
            plan.Big[i] = 0;
        } else if (w > 32767 && w - 65536 <= 32767) {
            plan.Weights16[i] = static_cast<int16_t>(w - 65536);
            plan.Big[i] = 1;
            plan.HasBig = true;
        } else {
            plan.Fits16 = false;
        }
    }
    return std::move(plan);
}

namespace {

void VerticalScalar(const uint8_t* const* rows, const int32_t* weights, int count, uint8_t* out, size_t bytes)
{
    for (size_t b = 0; b < bytes; ++b) {
        int32_t sum = 0;
        for (int k = 0; k < count; ++k)
            sum += weights[k] * rows[k][b];
        out[b] = SumToByte(sum);
    }
}

// in starts at the plan's lowest column.
void HorizontalScalar(const uint8_t* in, const TAxisPlan& columns, int channels, uint8_t* out)
{
    const int count = columns.Count;
    for (int i = 0; i < columns.Size(); ++i) {
        const uint8_t* p = in + static_cast<size_t>(columns.Start[i] - columns.Lowest) * channels;
        const int32_t* w = columns.WeightsOf(i);
        for (int c = 0; c < channels; ++c) {
            int32_t sum = 0;
            for (int k = 0; k < count; ++k)
                sum += w[k] * p[k * channels + c];
            out[i * channels + c] = SumToByte(sum);
        }
    }
}

// The horizontal weights in the order the vector loops read them. Colour:
// per output, groups of four taps as [w0 w1 w0 w1 w0 w1 0 0 | w2 w3 w2 w3 w2 w3
// 0 0], matching the byte shuffle that pairs B, G and R of two neighbouring
// pixels. Gray: groups of eight taps, one output after the other (128-bit
// loops), the groups of two neighbouring outputs interleaved so one 256-bit
// load serves both, or, for at most eight taps, blocks of eight outputs in
// the order the gathering loop pairs them: (0, 2), (1, 3), (4, 6), (5, 7).
enum class TColumnOrder { coColour, coGraySingle, coGrayPairs, coGrayGathered };

struct TColumnLayout {
    std::vector<int32_t> Offsets;
    std::vector<int16_t> Weights;
    std::vector<int16_t> Big;
    TPreparedColumns View;
};

TColumnLayout PrepareColumns(const TAxisPlan& plan, TColumnOrder order)
{
    TColumnLayout layout;
    const int count = plan.Count;
    const bool colour = order == TColumnOrder::coColour;
    const int channels = colour ? 3 : 1;
    const int groupTaps = colour ? 4 : 8;
    const int groups = (count + groupTaps - 1) / groupTaps;
    const int outputs = plan.Size();
    const int block = order == TColumnOrder::coGrayPairs ? 2 : order == TColumnOrder::coGrayGathered ? 8 : 1;
    const int padded = (outputs + block - 1) / block * block;
    const size_t perGroup = colour ? 16 : 8;
    const size_t perOutput = static_cast<size_t>(groups) * perGroup;
    // Where group g of output i starts.
    auto position = [&](size_t i, size_t g) -> size_t {
        switch (order) {
        case TColumnOrder::coColour:
        case TColumnOrder::coGraySingle:
            return i * perOutput + g * perGroup;
        case TColumnOrder::coGrayPairs:
            return i / 2 * perOutput * 2 + g * 16 + i % 2 * 8;
        case TColumnOrder::coGrayGathered: {
            const size_t j = i % 8;
            return i / 8 * 64 + (j / 4 * 2 + j % 2) * 16 + j % 4 / 2 * 8;
        }
        }
        return 0;
    };
    layout.Offsets.assign(static_cast<size_t>(padded), 0);
    layout.Weights.assign(static_cast<size_t>(padded) * perOutput, 0);
    layout.Big.assign(layout.Weights.size(), 0);
    auto tap = [&](int i, int k, bool big) -> int16_t {
        if (k >= count)
            return 0;
        const size_t at = static_cast<size_t>(i) * count + static_cast<size_t>(k);
        return big ? plan.Big[at] : plan.Weights16[at];
    };
    for (int i = 0; i < outputs; ++i) {
        layout.Offsets[static_cast<size_t>(i)] = (plan.Start[static_cast<size_t>(i)] - plan.Lowest) * channels;
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<int16_t>& target = pass == 0 ? layout.Weights : layout.Big;
            for (int g = 0; g < groups; ++g) {
                int16_t* dst = target.data() + position(static_cast<size_t>(i), static_cast<size_t>(g));
                if (colour) {
                    for (int half = 0; half < 2; ++half) {
                        const int k = g * 4 + half * 2;
                        for (int c = 0; c < 3; ++c) {
                            dst[half * 8 + c * 2] = tap(i, k, pass == 1);
                            dst[half * 8 + c * 2 + 1] = tap(i, k + 1, pass == 1);
                        }
                    }
                } else {
                    for (int t = 0; t < 8; ++t)
                        dst[t] = tap(i, g * 8 + t, pass == 1);
                }
            }
        }
    }
    layout.View.Offsets = layout.Offsets.data();
    layout.View.Weights = layout.Weights.data();
    layout.View.Big = layout.Big.data();
    layout.View.Groups = groups;
    layout.View.Outputs = padded;
    layout.View.HasBig = plan.HasBig;
    return layout;
}

}  // namespace

void RunSeparable(const TResampleJob& job, const TAxisPlan& columns, const TAxisPlan& rows, TSimdLevel level)
{
    const TBitmap& source = *job.Source;
    TBitmap& destination = *job.Destination;
    const int channels = source.BytesPerPixel();
    const bool vector = level != TSimdLevel::slScalar;
    const bool vectorColumns = vector && columns.Fits16;
    const bool vectorRows = vector && rows.Fits16;
    const bool avx2 = level == TSimdLevel::slAvx2;

    const size_t interBytes = static_cast<size_t>(columns.Highest - columns.Lowest) * channels;
    // Room behind the row: the vector loops read whole groups of taps past a
    // window's end (with weight 0) and store whole registers.
    constexpr size_t Slack = 64;
    std::vector<uint8_t> inter(interBytes + Slack, 0);
    const size_t outBytes = static_cast<size_t>(columns.Size()) * channels;
    std::vector<uint8_t> out(outBytes + Slack, 0);
    std::vector<const uint8_t*> rowPointers(static_cast<size_t>(rows.Count));

    // Gray rows with at most eight taps per output (every enlargement, mild
    // reductions) are read with gathers, eight outputs at a time.
    const bool gathered = avx2 && channels == 1 && columns.Count <= 8;
    TColumnOrder order = TColumnOrder::coColour;
    if (channels == 1)
        order = gathered ? TColumnOrder::coGrayGathered : avx2 ? TColumnOrder::coGrayPairs : TColumnOrder::coGraySingle;
    TColumnLayout layout;
    if (vectorColumns)
        layout = PrepareColumns(columns, order);

    const size_t columnOffset = static_cast<size_t>(columns.Lowest) * channels;
    for (int v = 0; v < rows.Size(); ++v) {
        for (int k = 0; k < rows.Count; ++k)
            rowPointers[static_cast<size_t>(k)] = source.ScanLine(rows.Start[static_cast<size_t>(v)] + k) + columnOffset;
        const size_t at = static_cast<size_t>(v) * rows.Count;
        if (vectorRows && avx2)
            avx2::ConvolveVertical(rowPointers.data(), rows.Weights16.data() + at, rows.Big.data() + at, rows.Count,
                                   rows.HasBig, inter.data(), interBytes);
        else if (vectorRows)
            sse41::ConvolveVertical(rowPointers.data(), rows.Weights16.data() + at, rows.Big.data() + at, rows.Count,
                                    rows.HasBig, inter.data(), interBytes);
        else
            VerticalScalar(rowPointers.data(), rows.WeightsOf(v), rows.Count, inter.data(), interBytes);

        if (!vectorColumns)
            HorizontalScalar(inter.data(), columns, channels, out.data());
        else if (channels == 3)
            (avx2 ? avx2::ConvolveColour : sse41::ConvolveColour)(inter.data(), layout.View, out.data());
        else if (gathered)
            avx2::ConvolveGrayGathered(inter.data(), layout.View, out.data());
        else
            (avx2 ? avx2::ConvolveGray : sse41::ConvolveGray)(inter.data(), layout.View, out.data());

        std::memcpy(destination.ScanLine(job.Y + v) + static_cast<size_t>(job.X) * channels, out.data(), outBytes);
    }
}

}  // namespace imaging_detail
