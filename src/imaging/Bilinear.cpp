#include "imaging/Bilinear.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/Bitmap.h"
#include "base/Errors.h"
#include "imaging/ResampleCore.h"
#include "imaging/ResampleSimd.h"
#include "base/Texts.h"

using namespace imaging_detail;

namespace {

// Per destination pixel of the visible range: the source pixel left of (or
// above) the sample point and the 16-bit fraction towards the next one. Edge
// pixels have fraction 0 and never read the neighbour.
struct TLinearPlan {
    std::vector<int32_t> Index;
    std::vector<uint16_t> Fraction;
};

// The edge zones are counted over the whole scaled axis: the leading pixels
// whose position is at or before the first source centre and the trailing ones
// at or after the last; the wider of the two counts applies at both ends.
TLinearPlan PlanAxis(int sourceSize, int scaledSize, int first, int last)
{
    const TCentredAxis axis = CentredAxis(sourceSize, scaledSize);
    const int64_t step = std::max<int64_t>(axis.Step, 1);
    const int64_t total = scaledSize;
    const int64_t leading = axis.Origin > 0 ? 0 : std::min(total, -axis.Origin / step + 1);
    const int64_t lastCentre = static_cast<int64_t>(sourceSize - 1) << 16;
    const int64_t firstTrailing =
        axis.Origin >= lastCentre ? 0 : (lastCentre - axis.Origin + step - 1) / step;
    const int64_t trailing = std::max<int64_t>(0, total - firstTrailing);
    const int64_t zone = std::max(leading, trailing);

    TLinearPlan plan;
    plan.Index.reserve(static_cast<size_t>(last - first));
    plan.Fraction.reserve(static_cast<size_t>(last - first));
    for (int64_t d = first; d < last; ++d) {
        if (d < zone) {
            plan.Index.push_back(0);
            plan.Fraction.push_back(0);
        } else if (d >= total - zone) {
            plan.Index.push_back(sourceSize - 1);
            plan.Fraction.push_back(0);
        } else {
            const int64_t p = axis.Origin + d * axis.Step;
            plan.Index.push_back(static_cast<int32_t>(p >> 16));
            plan.Fraction.push_back(static_cast<uint16_t>(p & 0xFFFF));
        }
    }
    return plan;
}

void InterpolateRowScalar(const uint8_t* row, const TLinearPlan& columns, int channels, size_t from, uint8_t* out)
{
    for (size_t i = from; i < columns.Index.size(); ++i) {
        const uint8_t* p = row + static_cast<size_t>(columns.Index[i]) * channels;
        const uint32_t f = columns.Fraction[i];
        for (int c = 0; c < channels; ++c) {
            out[i * channels + c] =
                f == 0 ? p[c] : static_cast<uint8_t>(((65536 - f) * p[c] + f * p[c + channels] + 32768) >> 16);
        }
    }
}

void BlendScalar(const uint8_t* top, const uint8_t* bottom, uint32_t g, uint8_t* out, size_t bytes)
{
    for (size_t b = 0; b < bytes; ++b)
        out[b] = static_cast<uint8_t>((top[b] * (65536 - g) + bottom[b] * g + 32768) >> 16);
}

// Horizontal interpolation of whole source rows, keeping the last two, since
// an enlarged picture uses each pair of source rows for several result rows.
class TRowInterpolator {
public:
    TRowInterpolator(const TBitmap& source, const TLinearPlan& columns, TSimdLevel level)
        : fSource(source), fColumns(columns), fLevel(level), fChannels(source.BytesPerPixel())
    {
        fBytes = columns.Index.size() * static_cast<size_t>(fChannels);
        for (auto& slot : fSlots)
            slot.Pixels.assign(fBytes + Slack, 0);
        fOffsets.resize(columns.Index.size());
        for (size_t i = 0; i < fOffsets.size(); ++i)
            fOffsets[i] = columns.Index[i] * fChannels;
        // The vector loops read a few bytes from each column's left pixel on
        // (8 for colour, 4 for gray); columns whose reads would pass the end of
        // the source row are done by the plain loop.
        const int64_t rowBytes = static_cast<int64_t>(source.Width()) * fChannels;
        const int64_t reach = fChannels == 3 ? 8 : 4;
        fVectorCount = 0;
        while (fVectorCount < fOffsets.size() && fOffsets[fVectorCount] + reach <= rowBytes)
            ++fVectorCount;
    }

    size_t Bytes() const { return fBytes; }

    // The interpolated row r; keep is a row that must stay available.
    const uint8_t* Row(int r, int keep)
    {
        for (auto& slot : fSlots) {
            if (slot.Row == r)
                return slot.Pixels.data();
        }
        TSlot& slot = fSlots[0].Row == keep ? fSlots[1] : fSlots[0];
        slot.Row = r;
        Interpolate(fSource.ScanLine(r), slot.Pixels.data());
        return slot.Pixels.data();
    }

private:
    static constexpr size_t Slack = 32;
    struct TSlot {
        int Row = -1;
        std::vector<uint8_t> Pixels;
    };

    void Interpolate(const uint8_t* row, uint8_t* out) const
    {
        size_t from = 0;
        if (fLevel != TSimdLevel::slScalar && fVectorCount > 0) {
            const TLinearColumns view{fOffsets.data(), fColumns.Fraction.data(), static_cast<int>(fVectorCount)};
            const bool avx2 = fLevel == TSimdLevel::slAvx2;
            if (fChannels == 3)
                (avx2 ? avx2::LinearColour : sse41::LinearColour)(row, view, out);
            else
                (avx2 ? avx2::LinearGray : sse41::LinearGray)(row, view, out);
            from = fVectorCount;
        }
        InterpolateRowScalar(row, fColumns, fChannels, from, out);
    }

    const TBitmap& fSource;
    const TLinearPlan& fColumns;
    TSimdLevel fLevel;
    int fChannels;
    size_t fBytes = 0;
    std::vector<int32_t> fOffsets;
    size_t fVectorCount = 0;
    TSlot fSlots[2];
};

void Bilinear(const TResampleJob& job, TSimdLevel level)
{
    CheckResampleJob(job);
    const TBitmap& source = *job.Source;
    TBitmap& destination = *job.Destination;
    const TVisibleRect& r = job.Visible;
    const TLinearPlan columns = PlanAxis(source.Width(), job.Width, r.Left, r.Right);
    const TLinearPlan rows = PlanAxis(source.Height(), job.Height, r.Top, r.Bottom);
    TRowInterpolator interpolator(source, columns, level);
    const size_t bytes = interpolator.Bytes();
    const int channels = source.BytesPerPixel();
    for (size_t v = 0; v < rows.Index.size(); ++v) {
        uint8_t* out = destination.ScanLine(job.Y + static_cast<int>(v)) + static_cast<size_t>(job.X) * channels;
        const int row = rows.Index[v];
        const uint32_t g = rows.Fraction[v];
        const uint8_t* top = interpolator.Row(row, -1);
        if (g == 0) {
            std::memcpy(out, top, bytes);
            continue;
        }
        const uint8_t* bottom = interpolator.Row(row + 1, row);
        if (level == TSimdLevel::slAvx2)
            avx2::LinearBlend(top, bottom, g, out, bytes);
        else if (level == TSimdLevel::slSse41)
            sse41::LinearBlend(top, bottom, g, out, bytes);
        else
            BlendScalar(top, bottom, g, out, bytes);
    }
}

}  // namespace

void BilinearBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y, const TVisibleRect& visible,
                    int height, TSimdLevel level)
{
    if (source.BitsPerPixel() != 24)
        throw EInvalidGraphic(Tx("24ビットの画像ではありません"));
    Bilinear(TResampleJob{&source, &destination, width, height, x, y, visible}, level);
}

void BilinearGrayBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y,
                        const TVisibleRect& visible, int height, TSimdLevel level)
{
    if (source.BitsPerPixel() != 8)
        throw EInvalidGraphic(Tx("8ビットの画像ではありません"));
    Bilinear(TResampleJob{&source, &destination, width, height, x, y, visible}, level);
}
