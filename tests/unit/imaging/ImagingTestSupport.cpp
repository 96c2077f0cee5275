#include "ImagingTestSupport.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "imaging/AreaAverage.h"
#include "imaging/Bicubic.h"
#include "imaging/Bilinear.h"
#include "imaging/Lanczos3.h"

TBitmap RandomBitmap(int width, int height, int bits, std::mt19937& random)
{
    TBitmap b(width, height, bits);
    std::uniform_int_distribution<int> byte(0, 255);
    const int bytes = width * (bits / 8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < bytes; ++x)
            b.ScanLine(y)[x] = static_cast<uint8_t>(byte(random));
    if (bits == 8)
        b.SetGrayPalette();
    return b;
}

TBitmap FilledBitmap(int width, int height, int bits, uint8_t value)
{
    TBitmap b(width, height, bits);
    for (int y = 0; y < height; ++y)
        std::fill_n(b.ScanLine(y), static_cast<size_t>(width) * (bits / 8), value);
    if (bits == 8)
        b.SetGrayPalette();
    return b;
}

TBitmap GrayToColour(const TBitmap& gray)
{
    TBitmap c(gray.Width(), gray.Height(), 24);
    for (int y = 0; y < gray.Height(); ++y)
        for (int x = 0; x < gray.Width(); ++x)
            std::fill_n(c.ScanLine(y) + 3 * x, 3, gray.ScanLine(y)[x]);
    return c;
}

TBitmap ChannelOf(const TBitmap& colour, int channel)
{
    TBitmap g(colour.Width(), colour.Height(), 8);
    g.SetGrayPalette();
    for (int y = 0; y < colour.Height(); ++y)
        for (int x = 0; x < colour.Width(); ++x)
            g.ScanLine(y)[x] = colour.ScanLine(y)[3 * x + channel];
    return g;
}

std::string PixelDifference(const TBitmap& a, const TBitmap& b)
{
    std::ostringstream out;
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitsPerPixel() != b.BitsPerPixel()) {
        out << "shape " << a.Width() << "x" << a.Height() << "x" << a.BitsPerPixel() << " vs " << b.Width() << "x"
            << b.Height() << "x" << b.BitsPerPixel();
        return out.str();
    }
    const int bpp = a.BytesPerPixel();
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width() * bpp; ++x)
            if (a.ScanLine(y)[x] != b.ScanLine(y)[x]) {
                out << "pixel (" << x / bpp << ", " << y << ") byte " << x % bpp << ": " << int(a.ScanLine(y)[x])
                    << " vs " << int(b.ScanLine(y)[x]);
                return out.str();
            }
    return {};
}

int LargestDifference(const TBitmap& a, const TBitmap& b)
{
    int largest = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width() * a.BytesPerPixel(); ++x)
            largest = std::max(largest, std::abs(a.ScanLine(y)[x] - b.ScanLine(y)[x]));
    return largest;
}

bool AllBytesAre(const TBitmap& bitmap, uint8_t value)
{
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width() * bitmap.BytesPerPixel(); ++x)
            if (bitmap.ScanLine(y)[x] != value)
                return false;
    return true;
}

const char* MethodName(ResampleMethod method)
{
    switch (method) {
    case ResampleMethod::Bilinear:
        return "Bilinear";
    case ResampleMethod::Bicubic:
        return "Bicubic";
    case ResampleMethod::AreaAverage:
        return "AreaAverage";
    case ResampleMethod::Lanczos3:
        return "Lanczos3";
    }
    return "?";
}

namespace {

int64_t Rnd(double x)
{
    return static_cast<int64_t>(x + 0.5);
}

int Clamp(int64_t v, int n)
{
    return static_cast<int>(std::clamp<int64_t>(v, 0, n - 1));
}

uint8_t ToByte(int64_t sum)
{
    if (sum < 0)
        return 0;
    return static_cast<uint8_t>(std::min<int64_t>(255, (sum + 32768) >> 16));
}

struct TPicture {
    const TBitmap& B;
    int Bpp;
    int At(int x, int y, int c) const { return B.ScanLine(y)[x * Bpp + c]; }
};

TBitmap MakeResult(const TBitmap& source, const TVisibleRect& r)
{
    TBitmap out(r.Width(), r.Height(), source.BitsPerPixel(), true);
    if (source.BitsPerPixel() == 8)
        out.SetGrayPalette();
    return out;
}

// ---- bilinear ----

struct TLinear {
    int64_t Step, Origin;
    int Zone, Total, Size;
    TLinear(int n, int total) : Total(total), Size(n)
    {
        const double s = static_cast<double>(n) / total;
        Step = Rnd(s * 65536);
        Origin = Rnd((s / 2 - 0.5) * 65536);
        int a = 0, b = 0;
        for (int d = 0; d < total && Origin + d * Step <= 0; ++d)
            ++a;
        for (int d = total - 1; d >= 0 && ((Origin + d * Step) >> 16) >= n - 1; --d)
            ++b;
        Zone = std::max(a, b);
    }
    int64_t Position(int d) const { return Origin + d * Step; }
    bool LeftEdge(int d) const { return d < Zone; }
    bool RightEdge(int d) const { return !LeftEdge(d) && d >= Total - Zone; }
};

TBitmap Bilinear(const TBitmap& source, int width, int height, const TVisibleRect& r)
{
    TBitmap out = MakeResult(source, r);
    const TPicture s{source, source.BytesPerPixel()};
    const TLinear cols(source.Width(), width), rows(source.Height(), height);
    auto horizontal = [&](int row, int i, int c) -> int64_t {
        if (cols.LeftEdge(i))
            return s.At(0, row, c);
        if (cols.RightEdge(i))
            return s.At(source.Width() - 1, row, c);
        const int64_t p = cols.Position(i);
        const int64_t x = p >> 16, f = p & 0xFFFF;
        return ((65536 - f) * s.At(static_cast<int>(x), row, c) + f * s.At(static_cast<int>(x) + 1, row, c) + 32768) >> 16;
    };
    for (int j = r.Top; j < r.Bottom; ++j)
        for (int i = r.Left; i < r.Right; ++i)
            for (int c = 0; c < s.Bpp; ++c) {
                int64_t v;
                if (rows.LeftEdge(j)) {
                    v = horizontal(0, i, c);
                } else if (rows.RightEdge(j)) {
                    v = horizontal(source.Height() - 1, i, c);
                } else {
                    const int64_t q = rows.Position(j);
                    const int y = static_cast<int>(std::min<int64_t>(q >> 16, source.Height() - 1));
                    const int64_t g = q & 0xFFFF;
                    v = (horizontal(y, i, c) * (65536 - g) + horizontal(y + 1, i, c) * g + 32768) >> 16;
                }
                out.ScanLine(j - r.Top)[(i - r.Left) * s.Bpp + c] = static_cast<uint8_t>(v);
            }
    return out;
}

// ---- the two filters with weight tables: bicubic and Lanczos3 ----

// A destination pixel along an axis: a copy of one source pixel, or taps
// First .. First + weights - 1, each clamped into the picture on its own.
struct TTaps {
    bool Copy = false;
    int CopyOf = 0;
    int64_t First = 0;
    std::vector<int64_t> Weights;
};

struct TCubicAxis {
    int64_t Step, Origin;
    int Size;
    std::vector<std::vector<int64_t>> Table;
    TCubicAxis(int n, int total) : Size(n)
    {
        const double s = static_cast<double>(n) / total;
        Step = Rnd(s * 65536);
        Origin = Rnd((s / 2 - 0.5) * 65536);
        auto inner = [](double t) { return 1 - 2 * t * t + t * t * t; };
        auto outer = [](double t) { return 4 - 8 * t + 5 * t * t - t * t * t; };
        for (int k = 0; k < 256; ++k) {
            const double x = 1 + k / 256.0;
            Table.push_back({Rnd(65536 * outer(x)), Rnd(65536 * inner(x - 1)), Rnd(65536 * inner(2 - x)),
                             Rnd(65536 * outer(3 - x))});
        }
    }
    TTaps Taps(int d) const
    {
        const int64_t p = Origin + d * Step;
        TTaps t;
        if (p <= 0 || (p >> 16) >= Size - 1) {
            t.Copy = true;
            t.CopyOf = p <= 0 ? 0 : Size - 1;
            return t;
        }
        t.First = (p >> 16) - 1;
        t.Weights = Table[static_cast<size_t>((p & 0xFFFF) >> 8)];
        return t;
    }
};

struct TLanczosAxis {
    int64_t Step, Origin, Radius, TapCount;
    int Size;
    std::vector<std::vector<int64_t>> Table;
    TLanczosAxis(int n, int total) : Size(n)
    {
        const double s = static_cast<double>(n) / total;
        Step = Rnd(s * 65536);
        Origin = Rnd((s / 2 - 0.5) * 65536);
        Radius = s >= 1 ? Rnd(3 * s * 65536) : 3 * 65536;
        TapCount = s > 1 ? static_cast<int64_t>(std::ceil(6 * s)) : 6;
        for (int k = 0; k <= 256; ++k) {
            const double u = k / 256.0;
            std::vector<double> w;
            double sum = 0;
            for (int64_t i = 0; i < TapCount; ++i) {
                const double v = s > 1 ? Lanczos3Kernel((-3 * s + u + static_cast<double>(i)) / s) / s
                                       : Lanczos3Kernel(-3 + u + static_cast<double>(i));
                w.push_back(v);
                sum += v;
            }
            std::vector<int64_t> row;
            for (double v : w)
                row.push_back(Rnd(v / sum * 65536));
            Table.push_back(row);
        }
    }
    TTaps Taps(int d) const
    {
        const int64_t p = Origin + d * Step;
        TTaps t;
        if (p <= 0 || (p >> 16) >= Size - 1) {
            t.Copy = true;
            t.CopyOf = p <= 0 ? 0 : Size - 1;
            return t;
        }
        const int64_t start = p - Radius;
        t.First = (start + 0xFFFF) >> 16;
        t.Weights = Table[static_cast<size_t>(256 * t.First - (start >> 8))];
        return t;
    }
};

template <class TAxis>
TBitmap Separable(const TBitmap& source, int width, int height, const TVisibleRect& r)
{
    TBitmap out = MakeResult(source, r);
    const TPicture s{source, source.BytesPerPixel()};
    const TAxis cols(source.Width(), width), rows(source.Height(), height);
    for (int j = r.Top; j < r.Bottom; ++j) {
        const TTaps v = rows.Taps(j);
        // The vertical pass, one byte per source column.
        auto intermediate = [&](int x, int c) -> int64_t {
            if (v.Copy)
                return s.At(x, v.CopyOf, c);
            int64_t sum = 0;
            for (size_t t = 0; t < v.Weights.size(); ++t)
                sum += v.Weights[t] * s.At(x, Clamp(v.First + static_cast<int64_t>(t), source.Height()), c);
            return ToByte(sum);
        };
        for (int i = r.Left; i < r.Right; ++i) {
            const TTaps h = cols.Taps(i);
            for (int c = 0; c < s.Bpp; ++c) {
                int64_t value;
                if (h.Copy) {
                    value = intermediate(h.CopyOf, c);
                } else {
                    int64_t sum = 0;
                    for (size_t t = 0; t < h.Weights.size(); ++t)
                        sum += h.Weights[t] * intermediate(Clamp(h.First + static_cast<int64_t>(t), source.Width()), c);
                    value = ToByte(sum);
                }
                out.ScanLine(j - r.Top)[(i - r.Left) * s.Bpp + c] = static_cast<uint8_t>(value);
            }
        }
    }
    return out;
}

// ---- area average ----

struct TBox {
    int64_t C0, C1, W0, W1;  // first and last pixel and their weights
};

TBox BoxOf(int64_t d, int64_t step, int n)
{
    const int64_t from = d * step, to = from + step;
    TBox b{from >> 16, to >> 16, 256 - ((from >> 8) & 255), (to >> 8) & 255};
    // Pixels at or beyond the picture's edge have no weight.
    if (b.C0 >= n)
        b.W0 = 0;
    if (b.C1 >= n)
        b.W1 = 0;
    return b;
}

TBitmap Area(const TBitmap& source, int width, int height, const TVisibleRect& r)
{
    TBitmap out = MakeResult(source, r);
    const TPicture s{source, source.BytesPerPixel()};
    const double sx = static_cast<double>(source.Width()) / width, sy = static_cast<double>(source.Height()) / height;
    const int64_t stepX = Rnd(sx * 65536), stepY = Rnd(sy * 65536);
    const uint64_t inverseX = static_cast<uint64_t>(Rnd(65536 / sx)), inverseY = static_cast<uint64_t>(Rnd(65536 / sy));
    for (int j = r.Top; j < r.Bottom; ++j)
        for (int i = r.Left; i < r.Right; ++i)
            for (int c = 0; c < s.Bpp; ++c) {
                const TBox bx = BoxOf(i, stepX, source.Width()), by = BoxOf(j, stepY, source.Height());
                auto rowSum = [&](int64_t y) {
                    int64_t sum = 0;
                    if (bx.W0 != 0)
                        sum += (bx.W0 * s.At(static_cast<int>(bx.C0), static_cast<int>(y), c) + 128) >> 8;
                    for (int64_t x = bx.C0 + 1; x < std::min<int64_t>(bx.C1, source.Width()); ++x)
                        sum += s.At(static_cast<int>(x), static_cast<int>(y), c);
                    if (bx.W1 != 0)
                        sum += (bx.W1 * s.At(static_cast<int>(bx.C1), static_cast<int>(y), c) + 128) >> 8;
                    return sum;
                };
                int64_t total = 0;
                if (by.W0 != 0)
                    total += (by.W0 * rowSum(by.C0) + 128) >> 8;
                for (int64_t y = by.C0 + 1; y < std::min<int64_t>(by.C1, source.Height()); ++y)
                    total += rowSum(y);
                if (by.W1 != 0)
                    total += (by.W1 * rowSum(by.C1) + 128) >> 8;
                const uint64_t v = (inverseY * ((inverseX * static_cast<uint64_t>(total) + 32768) >> 16) + 32768) >> 16;
                out.ScanLine(j - r.Top)[(i - r.Left) * s.Bpp + c] = static_cast<uint8_t>(std::min<uint64_t>(v, 255));
            }
    return out;
}

}  // namespace

TBitmap ReferenceScale(const TBitmap& source, ResampleMethod method, int width, int height, const TVisibleRect& r)
{
    switch (method) {
    case ResampleMethod::Bilinear:
        return Bilinear(source, width, height, r);
    case ResampleMethod::Bicubic:
        return Separable<TCubicAxis>(source, width, height, r);
    case ResampleMethod::AreaAverage:
        if (width < source.Width() && height < source.Height())
            return Area(source, width, height, r);
        return Separable<TCubicAxis>(source, width, height, r);
    case ResampleMethod::Lanczos3:
        return Separable<TLanczosAxis>(source, width, height, r);
    }
    return TBitmap();
}

TBitmap RunResampler(const TBitmap& source, ResampleMethod method, int width, int height, const TVisibleRect& r,
                     TSimdLevel level)
{
    TBitmap out = MakeResult(source, r);
    const bool gray = source.BitsPerPixel() == 8;
    switch (method) {
    case ResampleMethod::Bilinear:
        (gray ? BilinearGrayBitmap : BilinearBitmap)(source, out, width, 0, 0, r, height, level);
        break;
    case ResampleMethod::Bicubic:
        (gray ? BicubicGrayBitmap : BicubicBitmap)(source, out, width, 0, 0, r, height, level);
        break;
    case ResampleMethod::AreaAverage:
        (gray ? AreaAverageGrayBitmap : AreaAverageBitmap)(source, out, width, 0, 0, r, height, level);
        break;
    case ResampleMethod::Lanczos3:
        (gray ? Lanczos3GrayBitmap : Lanczos3Bitmap)(source, out, width, 0, 0, r, height, level);
        break;
    }
    return out;
}
