#include "imaging/FilterProc.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#include "base/Errors.h"
#include "base/Texts.h"

namespace {

int64_t Rnd(double x)
{
    return static_cast<int64_t>(x + 0.5);
}

uint8_t Clamp255(int64_t v)
{
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

size_t RowBytes(const TBitmap& b)
{
    return static_cast<size_t>(b.Width()) * static_cast<size_t>(b.BytesPerPixel());
}

// A picture of the same depth, palette and loaded format.
TBitmap SameKind(const TBitmap& source, int width, int height)
{
    TBitmap result(width, height, source.BitsPerPixel());
    result.Palette() = source.Palette();
    result.SetLoadedFormat(source.LoadedFormat());
    return result;
}

void Deliver(TBitmap& bitmap, TBitmap* destination, TBitmap&& result)
{
    (destination ? *destination : bitmap) = std::move(result);
}

// The identity: the picture stays, a destination receives a copy.
void Unchanged(const TBitmap& bitmap, TBitmap* destination)
{
    if (destination && destination != &bitmap)
        *destination = bitmap.Clone();
}

// Runs an in-place change on the picture itself, or on a copy that becomes
// the destination so the picture stays untouched.
template <class TChange>
void Modify(TBitmap& bitmap, TBitmap* destination, TChange&& change)
{
    if (!destination || destination == &bitmap) {
        change(bitmap);
        return;
    }
    TBitmap copy = bitmap.Clone();
    change(copy);
    *destination = std::move(copy);
}

void GrayTableInPlace(TBitmap& b, const TToneTable& table)
{
    const size_t bytes = RowBytes(b);
    for (int y = 0; y < b.Height(); ++y) {
        uint8_t* row = b.ScanLine(y);
        for (size_t x = 0; x < bytes; ++x)
            row[x] = table[row[x]];
    }
}

void ColourTableInPlace(TBitmap& b, const TToneTable& table, bool perChannel)
{
    if (b.BitsPerPixel() != 24)
        b.ConvertTo24();
    if (perChannel) {
        GrayTableInPlace(b, table);
        return;
    }
    // table[Y] - Y added to each byte, clamped; the offset table saves the
    // comparisons.
    int delta[256];
    for (int i = 0; i < 256; ++i)
        delta[i] = table[static_cast<size_t>(i)] - i;
    uint8_t clamp[256 * 3];
    for (int i = 0; i < 256 * 3; ++i)
        clamp[i] = Clamp255(i - 256);
    for (int y = 0; y < b.Height(); ++y) {
        uint8_t* p = b.ScanLine(y);
        for (int x = 0; x < b.Width(); ++x, p += 3) {
            const int d = delta[Luminance(p[0], p[1], p[2])] + 256;
            p[0] = clamp[p[0] + d];
            p[1] = clamp[p[1] + d];
            p[2] = clamp[p[2] + d];
        }
    }
}

// Applies the table a maker builds for the picture as it will be filtered
// (gray bytes, or 24 bits). The maker returns nothing when the picture turns
// out to need no change.
template <class TMaker>
void TableFilter(TBitmap& bitmap, TBitmap* destination, bool gray, bool perChannel, TMaker&& make)
{
    Modify(bitmap, destination, [&](TBitmap& b) {
        const bool asGray = gray && b.BitsPerPixel() == 8;
        if (!asGray && b.BitsPerPixel() != 24)
            b.ConvertTo24();
        const std::optional<TToneTable> table = make(b, asGray);
        if (!table)
            return;
        if (asGray)
            GrayTableInPlace(b, *table);
        else
            ColourTableInPlace(b, *table, perChannel);
    });
}

// The window sums of the neighbourhood filters: for every pixel and channel
// the sum of the (2r + 1) x (2r + 1) window clipped to the picture, and the
// number of pixels in it. Column sums run down the picture, the window slides
// along each row.
template <class TVisit>
void WindowSums(const TBitmap& source, int radius, TVisit&& visit)
{
    const int width = source.Width(), height = source.Height(), bpp = source.BytesPerPixel();
    const size_t bytes = RowBytes(source);
    std::vector<int32_t> columns(bytes, 0);
    int top = 0, bottom = -1;  // rows inside the column sums
    for (int y = 0; y < height; ++y) {
        const int wantTop = std::max(0, y - radius), wantBottom = std::min(height - 1, y + radius);
        while (bottom < wantBottom) {
            const uint8_t* row = source.ScanLine(++bottom);
            for (size_t i = 0; i < bytes; ++i)
                columns[i] += row[i];
        }
        while (top < wantTop) {
            const uint8_t* row = source.ScanLine(top++);
            for (size_t i = 0; i < bytes; ++i)
                columns[i] -= row[i];
        }
        const int rows = bottom - top + 1;
        for (int c = 0; c < bpp; ++c) {
            int32_t sum = 0;
            int left = 0, right = -1;
            for (int x = 0; x < width; ++x) {
                const int wantLeft = std::max(0, x - radius), wantRight = std::min(width - 1, x + radius);
                while (right < wantRight)
                    sum += columns[static_cast<size_t>(++right) * bpp + c];
                while (left < wantLeft)
                    sum -= columns[static_cast<size_t>(left++) * bpp + c];
                visit(x, y, c, sum, rows * (right - left + 1));
            }
        }
    }
}

// The clipped window means with 16.16 reciprocals: rnd(65536 / count) per
// window size, result (sum * q + 32768) >> 16, clamped.
std::vector<uint8_t> WindowMeans(const TBitmap& source, int radius)
{
    const int bpp = source.BytesPerPixel();
    std::vector<uint8_t> means(RowBytes(source) * static_cast<size_t>(source.Height()));
    const int largest = (2 * radius + 1) * (2 * radius + 1);
    std::vector<int64_t> reciprocal(static_cast<size_t>(largest) + 1, 0);
    for (int count = 1; count <= largest; ++count)
        reciprocal[static_cast<size_t>(count)] = Rnd(65536.0 / count);
    const size_t stride = RowBytes(source);
    WindowSums(source, radius, [&](int x, int y, int c, int32_t sum, int count) {
        means[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * bpp + c] =
            Clamp255((sum * reciprocal[static_cast<size_t>(count)] + 32768) >> 16);
    });
    return means;
}

}  // namespace

// ---- tables ----

TToneTable IdentityTable()
{
    TToneTable t;
    for (int i = 0; i < 256; ++i)
        t[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    return t;
}

TToneTable LevelsTable(const TLevelsParameter& p)
{
    // The editor and the settings reader keep white above black; a record
    // built otherwise is treated as a one-level step instead of dividing by 0.
    const int inWhite = std::max<int>(p.InWhite, p.InBlack + 1);
    const double slope = static_cast<double>(p.OutWhite - p.OutBlack) / (inWhite - p.InBlack);
    TToneTable t;
    for (int i = 0; i < 256; ++i)
        t[static_cast<size_t>(i)] = Clamp255(Rnd((i - p.InBlack) * slope + p.OutBlack));
    return t;
}

int32_t MappedGamma(int32_t stored)
{
    return stored <= 100 ? stored : 5 * stored - 400;
}

TToneTable GammaTable(int32_t value)
{
    if (value <= 0 || value == 100)
        return IdentityTable();
    const double g = value / 100.0;
    TToneTable t;
    for (int i = 0; i < 256; ++i)
        t[static_cast<size_t>(i)] = Clamp255(Rnd(std::pow(i / 256.0, 1 / g) * 256));
    return t;
}

TToneTable ContrastTable(int32_t c, double mean)
{
    c = std::clamp(c, -100, 100);
    TToneTable t;
    if (c == 100) {
        const int64_t split = static_cast<int64_t>(mean);
        for (int i = 0; i < 256; ++i)
            t[static_cast<size_t>(i)] = i <= split ? 0 : 255;
        return t;
    }
    if (c == 0)
        return IdentityTable();
    const double k = c < 0 ? c / 100.0 + 1 : 100.0 / (100 - c);
    for (int i = 0; i < 256; ++i)
        t[static_cast<size_t>(i)] = Clamp255(Rnd((i - mean) * k + mean));
    return t;
}

TToneTable BrightnessTable(int32_t b)
{
    TToneTable t;
    for (int i = 0; i < 256; ++i)
        t[static_cast<size_t>(i)] = Clamp255(static_cast<int64_t>(i) + b);
    return t;
}

std::optional<TToneTable> EqualizeTable(const THistogram& histogram)
{
    uint64_t n = 0;
    for (uint64_t h : histogram)
        n += h;
    if (n == 0)
        return std::nullopt;
    size_t first = 0;
    while (histogram[first] == 0)
        ++first;
    if (histogram[first] == n)
        return std::nullopt;  // one level only: nothing to spread
    const double c0 = static_cast<double>(histogram[first]) / static_cast<double>(n);
    TToneTable t;
    uint64_t running = 0;
    for (size_t i = 0; i < 256; ++i) {
        running += histogram[i];
        const double v = (static_cast<double>(running) / static_cast<double>(n) - c0) * 255 / (1 - c0);
        t[i] = Clamp255(static_cast<int64_t>(std::nearbyint(v)));
    }
    return t;
}

TToneTable PosterizeTable(int32_t levels)
{
    levels = std::clamp(levels, 2, 255);
    const double stepOut = 255.0 / (levels - 1), stepIn = 255.0 / levels;
    double v = 0, threshold = stepIn;
    TToneTable t;
    for (int i = 0; i < 256; ++i) {
        if (i > threshold) {
            v += stepOut;
            threshold += stepIn;
        }
        t[static_cast<size_t>(i)] = v >= 255 ? 255 : Clamp255(Rnd(v));
    }
    return t;
}

std::optional<TToneTable> ToneCurveTable(const TToneCurveInfo& curve)
{
    if (!curve.Valid())
        return std::nullopt;
    const auto& p = curve.Points;
    const size_t k = p.size();
    TToneTable t;
    // Below the first point the first y, beyond the last the last y.
    for (int i = 0; i < 256; ++i) {
        if (i < p.front().X)
            t[static_cast<size_t>(i)] = static_cast<uint8_t>(p.front().Y);
        else if (i >= p.back().X)
            t[static_cast<size_t>(i)] = static_cast<uint8_t>(p.back().Y);
    }
    if (k == 2) {
        const double x0 = p[0].X, y0 = p[0].Y, x1 = p[1].X, y1 = p[1].Y;
        for (int i = p[0].X; i <= p[1].X; ++i)
            t[static_cast<size_t>(i)] = Clamp255(Rnd((i - x0) * (y1 - y0) / (x1 - x0) + y0));
        return t;
    }
    // A natural cubic spline: second derivatives m solved from the tridiagonal
    // system with m = 0 at both ends.
    std::vector<double> h(k - 1), m(k, 0), diagonal(k, 0), upper(k, 0), right(k, 0);
    for (size_t i = 0; i + 1 < k; ++i)
        h[i] = p[i + 1].X - p[i].X;
    for (size_t i = 1; i + 1 < k; ++i) {
        diagonal[i] = 2 * (h[i - 1] + h[i]);
        upper[i] = h[i];
        right[i] = 6 * ((p[i + 1].Y - p[i].Y) / h[i] - (p[i].Y - p[i - 1].Y) / h[i - 1]);
    }
    for (size_t i = 2; i + 1 < k; ++i) {
        const double f = h[i - 1] / diagonal[i - 1];
        diagonal[i] -= f * upper[i - 1];
        right[i] -= f * right[i - 1];
    }
    for (size_t i = k - 2; i >= 1; --i)
        m[i] = (right[i] - upper[i] * m[i + 1]) / diagonal[i];
    size_t segment = 0;
    for (int i = p.front().X; i < p.back().X; ++i) {
        while (i >= p[segment + 1].X)
            ++segment;
        const double x = i - p[segment].X, hs = h[segment];
        const double y0 = p[segment].Y, y1 = p[segment + 1].Y;
        const double b = (y1 - y0) / hs - hs * (2 * m[segment] + m[segment + 1]) / 6;
        const double s = y0 + b * x + m[segment] / 2 * x * x + (m[segment + 1] - m[segment]) / (6 * hs) * x * x * x;
        t[static_cast<size_t>(i)] = Clamp255(Rnd(s));
    }
    return t;
}

THistogram SampleHistogram(const TBitmap& bitmap, bool gray, bool perChannel)
{
    THistogram h{};
    if (gray || perChannel || bitmap.BitsPerPixel() != 24) {
        const size_t bytes = RowBytes(bitmap);
        for (int y = 0; y < bitmap.Height(); ++y) {
            const uint8_t* row = bitmap.ScanLine(y);
            for (size_t x = 0; x < bytes; ++x)
                ++h[row[x]];
        }
        return h;
    }
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* p = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x, p += 3)
            ++h[Luminance(p[0], p[1], p[2])];
    }
    return h;
}

double HistogramMean(const THistogram& histogram)
{
    double sum = 0, count = 0;
    for (size_t i = 0; i < 256; ++i) {
        sum += static_cast<double>(histogram[i]) * static_cast<double>(i);
        count += static_cast<double>(histogram[i]);
    }
    return count > 0 ? sum / count : 0;
}

std::pair<int, int> TrimCuts(int size, int first, int second)
{
    if (size <= 0)
        return {0, 0};
    const int64_t a = std::max(first, 0), b = std::max(second, 0);
    int64_t cutA = a, cutB = b;
    if (a + b >= size) {
        // Together the amounts leave nothing: keep at least one pixel, cutting
        // the larger amount and sparing an amount smaller than half the excess.
        const int64_t x = a + b - size + 1, h = (x + 1) / 2;
        if (a < h) {
            cutA = 0;
            cutB = b - x;
        } else if (b < h) {
            cutA = a - x;
            cutB = 0;
        } else {
            cutA = a - h;
            cutB = b - h;
        }
    }
    // Never a negative cut, never more than the side minus one pixel.
    cutA = std::clamp<int64_t>(cutA, 0, size - 1);
    cutB = std::clamp<int64_t>(cutB, 0, size - 1 - cutA);
    return {static_cast<int>(cutA), static_cast<int>(cutB)};
}

// ---- table appliers ----

void ApplyTable(TBitmap& bitmap, TBitmap* destination, const TToneTable& table, bool perChannel)
{
    Modify(bitmap, destination, [&](TBitmap& b) { ColourTableInPlace(b, table, perChannel); });
}

void ApplyGrayTable(TBitmap& bitmap, TBitmap* destination, const TToneTable& table)
{
    Modify(bitmap, destination, [&](TBitmap& b) { GrayTableInPlace(b, table); });
}

// ---- filters ----

void GrayscaleFilter(TBitmap& bitmap, TBitmap* destination, TGrayBase base)
{
    TBitmap wide;
    const TBitmap* source = &bitmap;
    if (bitmap.BitsPerPixel() != 24) {
        wide = bitmap.Clone();
        wide.ConvertTo24();
        source = &wide;
    }
    TBitmap gray(source->Width(), source->Height(), 8);
    gray.SetGrayPalette();
    gray.SetLoadedFormat(bitmap.LoadedFormat());
    for (int y = 0; y < source->Height(); ++y) {
        const uint8_t* p = source->ScanLine(y);
        uint8_t* out = gray.ScanLine(y);
        for (int x = 0; x < source->Width(); ++x, p += 3) {
            switch (base) {
            case TGrayBase::gbRed:
                out[x] = p[2];
                break;
            case TGrayBase::gbGreen:
                out[x] = p[1];
                break;
            case TGrayBase::gbBlue:
                out[x] = p[0];
                break;
            default:
                out[x] = Luminance(p[0], p[1], p[2]);
                break;
            }
        }
    }
    Deliver(bitmap, destination, std::move(gray));
}

void LevelsFilter(TBitmap& bitmap, TBitmap* destination, const TLevelsParameter& levels, bool gray)
{
    if (levels.InBlack == 0 && levels.InWhite == 255 && levels.OutBlack == 0 && levels.OutWhite == 255)
        return Unchanged(bitmap, destination);
    const TToneTable table = LevelsTable(levels);
    TableFilter(bitmap, destination, gray, levels.PerChannel, [&](const TBitmap&, bool) { return table; });
}

void GammaFilter(TBitmap& bitmap, TBitmap* destination, int32_t value, bool perChannel, bool gray)
{
    if (value == 100 || value <= 0)
        return Unchanged(bitmap, destination);
    const TToneTable table = GammaTable(value);
    TableFilter(bitmap, destination, gray, perChannel, [&](const TBitmap&, bool) { return table; });
}

void ContrastFilter(TBitmap& bitmap, TBitmap* destination, int32_t c, bool perChannel, bool gray)
{
    if (c == 0)
        return Unchanged(bitmap, destination);
    TableFilter(bitmap, destination, gray, perChannel, [&](const TBitmap& b, bool asGray) {
        return std::optional<TToneTable>(ContrastTable(c, HistogramMean(SampleHistogram(b, asGray, perChannel))));
    });
}

void BrightnessFilter(TBitmap& bitmap, TBitmap* destination, int32_t b, bool perChannel, bool gray)
{
    if (b == 0)
        return Unchanged(bitmap, destination);
    const TToneTable table = BrightnessTable(b);
    TableFilter(bitmap, destination, gray, perChannel, [&](const TBitmap&, bool) { return table; });
}

void EqualizeFilter(TBitmap& bitmap, TBitmap* destination, bool perChannel, bool gray)
{
    TableFilter(bitmap, destination, gray, perChannel, [&](const TBitmap& b, bool asGray) {
        return EqualizeTable(SampleHistogram(b, asGray, perChannel));
    });
}

void PosterizeFilter(TBitmap& bitmap, TBitmap* destination, int32_t levels, bool gray)
{
    const TToneTable table = PosterizeTable(levels);
    TableFilter(bitmap, destination, gray, true, [&](const TBitmap&, bool) { return table; });
}

void InvertFilter(TBitmap& bitmap, TBitmap* destination)
{
    Modify(bitmap, destination, [](TBitmap& b) {
        const size_t bytes = RowBytes(b);
        for (int y = 0; y < b.Height(); ++y) {
            uint8_t* row = b.ScanLine(y);
            for (size_t x = 0; x < bytes; ++x)
                row[x] = static_cast<uint8_t>(255 - row[x]);
        }
    });
}

void ToneCurveFilter(TBitmap& bitmap, TBitmap* destination, const TToneCurveInfo& curve, bool gray)
{
    const std::optional<TToneTable> table = ToneCurveTable(curve);
    if (!table || *table == IdentityTable())
        return Unchanged(bitmap, destination);
    TableFilter(bitmap, destination, gray, curve.PerChannel, [&](const TBitmap&, bool) { return table; });
}

void SharpenFilter(TBitmap& bitmap, TBitmap* destination, int32_t strength)
{
    if (strength <= 0 || bitmap.IsEmpty())
        return Unchanged(bitmap, destination);
    const int64_t k = Rnd(std::min(strength, 300) / 100.0 * 65536);
    const TBitmap& source = bitmap;
    TBitmap result = SameKind(source, source.Width(), source.Height());
    const int bpp = source.BytesPerPixel();
    WindowSums(source, 1, [&](int x, int y, int c, int32_t sum, int count) {
        const int64_t p = source.ScanLine(y)[x * bpp + c];
        result.ScanLine(y)[x * bpp + c] = Clamp255(p + ((k * (count * p - sum) + 32768) >> 16));
    });
    Deliver(bitmap, destination, std::move(result));
}

void BlurFilter(TBitmap& bitmap, TBitmap* destination, int32_t radius)
{
    if (radius <= 0 || bitmap.IsEmpty())
        return Unchanged(bitmap, destination);
    const std::vector<uint8_t> means = WindowMeans(bitmap, std::min(radius, 5));
    TBitmap result = SameKind(bitmap, bitmap.Width(), bitmap.Height());
    const size_t bytes = RowBytes(bitmap);
    for (int y = 0; y < bitmap.Height(); ++y)
        std::copy_n(means.data() + static_cast<size_t>(y) * bytes, bytes, result.ScanLine(y));
    Deliver(bitmap, destination, std::move(result));
}

void UnsharpMaskFilter(TBitmap& bitmap, TBitmap* destination, const TUnsharpMaskParameter& parameter)
{
    if (parameter.Amount <= 0 || parameter.Radius == 0 || bitmap.IsEmpty())
        return Unchanged(bitmap, destination);
    const int64_t k = Rnd(std::min(parameter.Amount, 300) / 100.0 * 65536);
    const int threshold = parameter.Threshold;
    const std::vector<uint8_t> means = WindowMeans(bitmap, std::min<int>(parameter.Radius, 5));
    TBitmap result = SameKind(bitmap, bitmap.Width(), bitmap.Height());
    const size_t bytes = RowBytes(bitmap);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* row = bitmap.ScanLine(y);
        const uint8_t* blurred = means.data() + static_cast<size_t>(y) * bytes;
        uint8_t* out = result.ScanLine(y);
        for (size_t x = 0; x < bytes; ++x) {
            const int64_t d = row[x] - blurred[x];
            // The difference is signed: the shift is arithmetic, as in
            // sharpen, so darkening works as well as brightening.
            out[x] = (d >= threshold || d <= -threshold) ? Clamp255(row[x] + ((k * d + 32768) >> 16)) : row[x];
        }
    }
    Deliver(bitmap, destination, std::move(result));
}

void TrimFilter(TBitmap& bitmap, TBitmap* destination, const TTrimParameter& trim)
{
    if ((trim.Left <= 0 && trim.Top <= 0 && trim.Right <= 0 && trim.Bottom <= 0) || bitmap.IsEmpty())
        return Unchanged(bitmap, destination);
    const auto [left, right] = TrimCuts(bitmap.Width(), trim.Left, trim.Right);
    const auto [top, bottom] = TrimCuts(bitmap.Height(), trim.Top, trim.Bottom);
    const int width = bitmap.Width() - left - right, height = bitmap.Height() - top - bottom;
    TBitmap result = SameKind(bitmap, width, height);
    const size_t bpp = static_cast<size_t>(bitmap.BytesPerPixel());
    for (int y = 0; y < height; ++y)
        std::copy_n(bitmap.ScanLine(top + y) + static_cast<size_t>(left) * bpp, static_cast<size_t>(width) * bpp,
                    result.ScanLine(y));
    Deliver(bitmap, destination, std::move(result));
}

void AddMarginFilter(TBitmap& bitmap, TBitmap* destination, const TMarginParameter& margin)
{
    const int left = std::max(margin.Left, 0), top = std::max(margin.Top, 0);
    const int right = std::max(margin.Right, 0), bottom = std::max(margin.Bottom, 0);
    if (left == 0 && top == 0 && right == 0 && bottom == 0)
        return Unchanged(bitmap, destination);
    const int64_t width = static_cast<int64_t>(bitmap.Width()) + left + right;
    const int64_t height = static_cast<int64_t>(bitmap.Height()) + top + bottom;
    if (!TBitmap::SizeAllowed(width, height, bitmap.BitsPerPixel()))
        throw EInvalidGraphic(Tx("画像のサイズが大きすぎます"));
    TBitmap result = SameKind(bitmap, static_cast<int>(width), static_cast<int>(height));
    const uint8_t red = ColorRed(margin.Color), green = ColorGreen(margin.Color), blue = ColorBlue(margin.Color);
    const size_t bpp = static_cast<size_t>(bitmap.BytesPerPixel());
    uint8_t fill[3] = {blue, green, red};
    if (bpp == 1) {
        // The palette entry nearest to the colour (the first of equals).
        int best = 0;
        int64_t bestDistance = INT64_MAX;
        const auto& palette = bitmap.Palette();
        for (size_t i = 0; i < palette.size(); ++i) {
            const int64_t dr = palette[i].Red - red, dg = palette[i].Green - green, db = palette[i].Blue - blue;
            const int64_t distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = static_cast<int>(i);
            }
        }
        fill[0] = static_cast<uint8_t>(best);
    }
    for (int y = 0; y < result.Height(); ++y) {
        uint8_t* row = result.ScanLine(y);
        for (int x = 0; x < result.Width(); ++x)
            std::copy_n(fill, bpp, row + static_cast<size_t>(x) * bpp);
    }
    for (int y = 0; y < bitmap.Height(); ++y)
        std::copy_n(bitmap.ScanLine(y), RowBytes(bitmap), result.ScanLine(top + y) + static_cast<size_t>(left) * bpp);
    Deliver(bitmap, destination, std::move(result));
}

// ---- the chain ----

void ApplyFilters(TBitmap& bitmap, const TFilterList& items, bool& gray)
{
    // The flag and the picture must agree: an 8-bit picture is gray when it
    // says so or has the gray palette; any other 8-bit picture is widened, so
    // that inverting or trimming never works on palette indices.
    if (bitmap.BitsPerPixel() == 8 && !gray && !bitmap.IsGray())
        bitmap.ConvertTo24();
    gray = bitmap.BitsPerPixel() == 8;
    for (const TFilterItem& item : items) {
        switch (item.Kind) {
        case FilterKind::Grayscale:
            if (!gray) {
                const int32_t base = item.Value();
                GrayscaleFilter(bitmap, nullptr,
                                base >= 0 && base <= 3 ? static_cast<TGrayBase>(base) : TGrayBase::gbLuminance);
                gray = true;
            }
            break;
        case FilterKind::Levels:
            LevelsFilter(bitmap, nullptr, item.Levels(), gray);
            break;
        case FilterKind::Gamma:
            GammaFilter(bitmap, nullptr, MappedGamma(item.Correction().Value), item.Correction().PerChannel, gray);
            break;
        case FilterKind::Contrast:
            ContrastFilter(bitmap, nullptr, item.Correction().Value - 100, item.Correction().PerChannel, gray);
            break;
        case FilterKind::Brightness:
            BrightnessFilter(bitmap, nullptr, item.Correction().Value - 100, item.Correction().PerChannel, gray);
            break;
        case FilterKind::Equalize:
            EqualizeFilter(bitmap, nullptr, item.Value() != 0, gray);
            break;
        case FilterKind::Posterize:
            PosterizeFilter(bitmap, nullptr, item.Value(), gray);
            break;
        case FilterKind::Invert:
            InvertFilter(bitmap, nullptr);
            break;
        case FilterKind::ToneCurve:
            ToneCurveFilter(bitmap, nullptr, item.ToneCurve(), gray);
            break;
        case FilterKind::Sharpen:
            SharpenFilter(bitmap, nullptr, item.Value());
            break;
        case FilterKind::UnsharpMask:
            UnsharpMaskFilter(bitmap, nullptr, item.UnsharpMask());
            break;
        case FilterKind::Blur:
            BlurFilter(bitmap, nullptr, item.Value());
            break;
        case FilterKind::Trim:
            TrimFilter(bitmap, nullptr, item.Trim());
            break;
        case FilterKind::AddMargin:
            AddMarginFilter(bitmap, nullptr, item.Margin());
            break;
        }
        gray = bitmap.BitsPerPixel() == 8;
    }
}

// ---- the chain from a source into a result ----

namespace {

// One pass over the pixels: every byte through PerByte, then, on a colour
// picture, the luminance table Luma applied as ColourTableInPlace does.
struct TPointPass {
    std::optional<TToneTable> PerByte;
    std::optional<TToneTable> Luma;
};

// The table a point filter applies and whether it works on the luminance;
// nothing when the filter is no fixed table (it looks at the picture, or
// changes its size or layout) or stays the identity, which the caller tells
// apart by the flag.
struct TFixedTable {
    bool Fixed = false;  // the item is a point filter with a table known beforehand
    std::optional<TToneTable> Table;  // nothing: the item leaves the picture as it is
    bool Luminance = false;
};

TFixedTable FixedTableOf(const TFilterItem& item, bool gray)
{
    TFixedTable fixed;
    fixed.Fixed = true;
    switch (item.Kind) {
    case FilterKind::Levels: {
        const TLevelsParameter& l = item.Levels();
        if (!(l.InBlack == 0 && l.InWhite == 255 && l.OutBlack == 0 && l.OutWhite == 255))
            fixed.Table = LevelsTable(l);
        fixed.Luminance = !gray && !l.PerChannel;
        break;
    }
    case FilterKind::Gamma: {
        const int32_t value = MappedGamma(item.Correction().Value);
        if (value != 100 && value > 0)
            fixed.Table = GammaTable(value);
        fixed.Luminance = !gray && !item.Correction().PerChannel;
        break;
    }
    case FilterKind::Brightness: {
        const int32_t b = item.Correction().Value - 100;
        if (b != 0)
            fixed.Table = BrightnessTable(b);
        fixed.Luminance = !gray && !item.Correction().PerChannel;
        break;
    }
    case FilterKind::Posterize:
        fixed.Table = PosterizeTable(item.Value());
        break;
    case FilterKind::ToneCurve: {
        const std::optional<TToneTable> table = ToneCurveTable(item.ToneCurve());
        if (table && *table != IdentityTable())
            fixed.Table = table;
        fixed.Luminance = !gray && !item.ToneCurve().PerChannel;
        break;
    }
    case FilterKind::Invert: {
        TToneTable t;
        for (int i = 0; i < 256; ++i)
            t[static_cast<size_t>(i)] = static_cast<uint8_t>(255 - i);
        fixed.Table = t;
        break;
    }
    default:
        fixed.Fixed = false;
        break;
    }
    return fixed;
}

TToneTable Compose(const TToneTable& first, const TToneTable& then)
{
    TToneTable t;
    for (size_t i = 0; i < 256; ++i)
        t[i] = then[first[i]];
    return t;
}

// The leading fixed tables of items as passes; count receives how many
// items they take.
std::vector<TPointPass> PointPasses(const TFilterList& items, bool gray, size_t& count)
{
    std::vector<TPointPass> passes;
    count = 0;
    for (const TFilterItem& item : items) {
        const TFixedTable fixed = FixedTableOf(item, gray);
        if (!fixed.Fixed)
            break;
        ++count;
        if (!fixed.Table)
            continue;
        if (passes.empty() || passes.back().Luma)
            passes.emplace_back();
        TPointPass& pass = passes.back();
        if (fixed.Luminance)
            pass.Luma = fixed.Table;
        else
            pass.PerByte = pass.PerByte ? Compose(*pass.PerByte, *fixed.Table) : *fixed.Table;
    }
    return passes;
}

void RunPassRows(const TBitmap& source, TBitmap& result, const TPointPass& pass, int top, int bottom)
{
    const TToneTable table = pass.PerByte ? *pass.PerByte : IdentityTable();
    if (!pass.Luma) {
        const size_t bytes = RowBytes(source);
        for (int y = top; y < bottom; ++y) {
            const uint8_t* in = source.ScanLine(y);
            uint8_t* out = result.ScanLine(y);
            for (size_t x = 0; x < bytes; ++x)
                out[x] = table[in[x]];
        }
        return;
    }
    int delta[256];
    for (int i = 0; i < 256; ++i)
        delta[i] = (*pass.Luma)[static_cast<size_t>(i)] - i + 256;
    uint8_t clamp[256 * 3];
    for (int i = 0; i < 256 * 3; ++i)
        clamp[i] = Clamp255(i - 256);
    for (int y = top; y < bottom; ++y) {
        const uint8_t* in = source.ScanLine(y);
        uint8_t* out = result.ScanLine(y);
        for (int x = 0; x < source.Width(); ++x, in += 3, out += 3) {
            const uint8_t b = table[in[0]], g = table[in[1]], r = table[in[2]];
            const int d = delta[Luminance(b, g, r)];
            out[0] = clamp[b + d];
            out[1] = clamp[g + d];
            out[2] = clamp[r + d];
        }
    }
}

// Below this many pixels a second thread costs more than it saves.
constexpr int64_t MinBandedPixels = 256 * 1024;
constexpr int MinBandRows = 64;

void RunPass(const TBitmap& source, TBitmap& result, const TPointPass& pass, int bands)
{
    const int height = source.Height();
    const int64_t pixels = static_cast<int64_t>(source.Width()) * height;
    bands = pixels < MinBandedPixels ? 1 : std::clamp(std::min(bands, height / MinBandRows), 1, 16);
    if (bands == 1) {
        RunPassRows(source, result, pass, 0, height);
        return;
    }
    // Each band writes its own rows of the result; the tables are copied per
    // band, nothing is shared but the source, which only is read.
    std::vector<std::jthread> workers;
    workers.reserve(static_cast<size_t>(bands - 1));
    for (int band = 1; band < bands; ++band) {
        const int top = static_cast<int>(static_cast<int64_t>(height) * band / bands);
        const int bottom = static_cast<int>(static_cast<int64_t>(height) * (band + 1) / bands);
        workers.emplace_back([&source, &result, &pass, top, bottom] { RunPassRows(source, result, pass, top, bottom); });
    }
    RunPassRows(source, result, pass, 0, static_cast<int>(height / bands));
}

}  // namespace

void ApplyFiltersTo(const TBitmap& source, const TFilterList& items, bool& gray, TBitmap& result, int bands)
{
    // A palette picture is widened first, as ApplyFilters does; that copy is
    // the cheapest way there.
    if (source.BitsPerPixel() == 8 && !gray && !source.IsGray()) {
        result = source.Clone();
        ApplyFilters(result, items, gray);
        return;
    }
    gray = source.BitsPerPixel() == 8;
    size_t taken = 0;
    const std::vector<TPointPass> passes = PointPasses(items, gray, taken);
    if (passes.empty()) {
        result = source.Clone();
    } else {
        TBitmap out = SameKind(source, source.Width(), source.Height());
        RunPass(source, out, passes.front(), bands);
        for (size_t i = 1; i < passes.size(); ++i)
            RunPass(out, out, passes[i], bands);
        result = std::move(out);
    }
    if (taken < items.size())
        ApplyFilters(result, TFilterList(items.begin() + static_cast<std::ptrdiff_t>(taken), items.end()), gray);
    gray = result.BitsPerPixel() == 8;
}
