#include "imaging/Lanczos3.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "common/Bitmap.h"
#include "base/Errors.h"
#include "imaging/ResampleCore.h"
#include "base/Texts.h"

using namespace imaging_detail;

namespace {

constexpr long double Pi = std::numbers::pi_v<long double>;

// sin(pi t) for 0 <= t < 3. The reductions below are exact in binary, and they
// leave sin and cos an argument of at most pi/4, where the C library takes
// its short path: with larger arguments every call runs the long argument
// reduction, and a page's weight tables cost milliseconds.
long double SinPi(long double t)
{
    long double sign = 1;
    if (t >= 2)
        t -= 2;
    if (t >= 1) {
        t -= 1;
        sign = -1;
    }
    if (t > 0.5L)
        t = 1 - t;
    return sign * (t <= 0.25L ? std::sin(Pi * t) : std::cos(Pi * (0.5L - t)));
}

}  // namespace

double Lanczos3Kernel(double x)
{
    // Evaluated in extended precision so that the tables do not depend on how
    // the compiler rounds the intermediate products.
    const long double a = std::fabs(static_cast<long double>(x));
    if (a == 0)
        return 1;
    if (a >= 3)
        return 0;
    return static_cast<double>(SinPi(a) * SinPi(a / 3) / (Pi * Pi * a * a / 3));
}

namespace {

// One axis of the filter: scale, 16.16 step and origin, radius and taps, and
// the weight rows of the phases actually used (a picture shrunk to a few
// pixels needs only a few of the 257 rows, however many taps they have).
class TLanczosAxis {
public:
    TLanczosAxis(int sourceSize, int scaledSize) : fSource(sourceSize)
    {
        const TCentredAxis axis = CentredAxis(sourceSize, scaledSize);
        fScale = axis.Scale;
        fStep = axis.Step;
        fOrigin = axis.Origin;
        fRadius = fScale >= 1 ? Rnd(3 * fScale * 65536) : 3 * 65536;
        fTaps = fScale > 1 ? static_cast<int64_t>(std::ceil(6 * fScale)) : 6;
        fRows.resize(257);
    }

    TAxisPlan Plan(int first, int last)
    {
        TAxisPlanBuilder builder(fSource, fTaps, last - first);
        for (int d = first; d < last; ++d) {
            const int64_t p = fOrigin + d * fStep;
            if (p <= 0) {
                builder.AddCopy(0);
            } else if ((p >> 16) >= fSource - 1) {
                builder.AddCopy(fSource - 1);
            } else {
                const int64_t start = p - fRadius;
                const int64_t j = (start + 0xFFFF) >> 16;
                const int64_t k = 256 * j - (start >> 8);
                builder.AddTaps(j, Row(static_cast<int>(k)), fTaps);
            }
        }
        return builder.Finish();
    }

private:
    const int32_t* Row(int k)
    {
        std::vector<int32_t>& row = fRows[static_cast<size_t>(k)];
        if (!row.empty())
            return row.data();
        const double u = k / 256.0;
        std::vector<double> w(static_cast<size_t>(fTaps));
        double sum = 0;
        for (int64_t i = 0; i < fTaps; ++i) {
            const double x = static_cast<double>(i);
            w[static_cast<size_t>(i)] = fScale > 1 ? Lanczos3Kernel((-3 * fScale + u + x) / fScale) / fScale
                                                   : Lanczos3Kernel(-3 + u + x);
            sum += w[static_cast<size_t>(i)];
        }
        row.resize(static_cast<size_t>(fTaps));
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<int32_t>(Rnd(w[i] / sum * 65536));
        return row.data();
    }

    int fSource;
    double fScale = 1;
    int64_t fStep = 0;
    int64_t fOrigin = 0;
    int64_t fRadius = 0;
    int64_t fTaps = 6;
    std::vector<std::vector<int32_t>> fRows;
};

void Lanczos3(const TResampleJob& job, TSimdLevel level)
{
    CheckResampleJob(job);
    const TBitmap& source = *job.Source;
    TLanczosAxis horizontal(source.Width(), job.Width);
    TLanczosAxis vertical(source.Height(), job.Height);
    const TAxisPlan columns = horizontal.Plan(job.Visible.Left, job.Visible.Right);
    const TAxisPlan rows = vertical.Plan(job.Visible.Top, job.Visible.Bottom);
    RunSeparable(job, columns, rows, level);
}

}  // namespace

void Lanczos3Bitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y, const TVisibleRect& visible,
                    int height, TSimdLevel level)
{
    if (source.BitsPerPixel() != 24)
        throw EInvalidGraphic(Tx("24ビットの画像ではありません"));
    Lanczos3(TResampleJob{&source, &destination, width, height, x, y, visible}, level);
}

void Lanczos3GrayBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y,
                        const TVisibleRect& visible, int height, TSimdLevel level)
{
    if (source.BitsPerPixel() != 8)
        throw EInvalidGraphic(Tx("8ビットの画像ではありません"));
    Lanczos3(TResampleJob{&source, &destination, width, height, x, y, visible}, level);
}
