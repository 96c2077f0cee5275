#include "imaging/Bicubic.h"

#include <array>

#include "common/Bitmap.h"
#include "base/Errors.h"
#include "imaging/ResampleCore.h"
#include "base/Texts.h"

using namespace imaging_detail;

namespace {

// The cubic convolution kernel with a = -1, one branch per distance range.
double Inner(double t)
{
    return 1 - 2 * t * t + t * t * t;
}

double Outer(double t)
{
    return 4 - 8 * t + 5 * t * t - t * t * t;
}

using TPhaseTable = std::array<std::array<int32_t, 4>, 256>;

// Row k holds the weights of the taps c - 1, c, c + 1 and c + 2 for a sample
// point k / 256 of a pixel right of c. The rows are not renormalised.
TPhaseTable MakeTable()
{
    TPhaseTable table;
    double x = 1;
    for (auto& row : table) {
        row[0] = static_cast<int32_t>(Rnd(65536 * Outer(x)));
        row[1] = static_cast<int32_t>(Rnd(65536 * Inner(x - 1)));
        row[2] = static_cast<int32_t>(Rnd(65536 * Inner(2 - x)));
        row[3] = static_cast<int32_t>(Rnd(65536 * Outer(3 - x)));
        x += 1.0 / 256;
    }
    return table;
}

TAxisPlan PlanAxis(const TPhaseTable& table, int sourceSize, int scaledSize, int first, int last)
{
    const TCentredAxis axis = CentredAxis(sourceSize, scaledSize);
    TAxisPlanBuilder builder(sourceSize, 4, last - first);
    for (int d = first; d < last; ++d) {
        const int64_t p = axis.Origin + d * axis.Step;
        const int64_t c = p >> 16;
        if (p <= 0)
            builder.AddCopy(0);
        else if (c >= sourceSize - 1)
            builder.AddCopy(sourceSize - 1);
        else
            builder.AddTaps(c - 1, table[static_cast<size_t>((p & 0xFFFF) >> 8)].data(), 4);
    }
    return builder.Finish();
}

void Bicubic(const TResampleJob& job, TSimdLevel level)
{
    CheckResampleJob(job);
    static const TPhaseTable table = MakeTable();
    const TBitmap& source = *job.Source;
    const TAxisPlan columns = PlanAxis(table, source.Width(), job.Width, job.Visible.Left, job.Visible.Right);
    const TAxisPlan rows = PlanAxis(table, source.Height(), job.Height, job.Visible.Top, job.Visible.Bottom);
    RunSeparable(job, columns, rows, level);
}

}  // namespace

void BicubicBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y, const TVisibleRect& visible,
                   int height, TSimdLevel level)
{
    if (source.BitsPerPixel() != 24)
        throw EInvalidGraphic(Tx("24ビットの画像ではありません"));
    Bicubic(TResampleJob{&source, &destination, width, height, x, y, visible}, level);
}

void BicubicGrayBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y,
                       const TVisibleRect& visible, int height, TSimdLevel level)
{
    if (source.BitsPerPixel() != 8)
        throw EInvalidGraphic(Tx("8ビットの画像ではありません"));
    Bicubic(TResampleJob{&source, &destination, width, height, x, y, visible}, level);
}
