#include "imaging/Stretch.h"

#include <cstring>
#include <functional>

#include "common/Bitmap.h"
#include "base/Errors.h"
#include "imaging/AreaAverage.h"
#include "imaging/Bicubic.h"
#include "imaging/Bilinear.h"
#include "imaging/Lanczos3.h"
#include "base/Texts.h"

namespace {

using TRunner = std::function<void(const TBitmap& source, TBitmap& destination)>;

bool ArgumentsValid(const TBitmap* source, const TBitmap* destination, int width, int height, int x, int y,
                    const TVisibleRect& r)
{
    if (!source || source->IsEmpty() || width <= 0 || height <= 0 || r.IsEmpty())
        return false;
    if (r.Left < 0 || r.Top < 0 || r.Right > width || r.Bottom > height || x < 0 || y < 0)
        return false;
    if (destination && (static_cast<int64_t>(destination->Width()) < static_cast<int64_t>(x) + r.Width() ||
                        static_cast<int64_t>(destination->Height()) < static_cast<int64_t>(y) + r.Height()))
        return false;
    return true;
}

void CopyRect(const TBitmap& source, TBitmap& destination, int x, int y, const TVisibleRect& r)
{
    const size_t bpp = static_cast<size_t>(source.BytesPerPixel());
    const size_t bytes = static_cast<size_t>(r.Width()) * bpp;
    for (int row = r.Top; row < r.Bottom; ++row)
        std::memcpy(destination.ScanLine(y + row - r.Top) + static_cast<size_t>(x) * bpp,
                    source.ScanLine(row) + static_cast<size_t>(r.Left) * bpp, bytes);
}

// The part both entries share once the pixel formats are settled: the
// temporary destination, the plain copy when nothing is scaled, and the
// source taking over the result. An error leaves the source untouched.
void Dispatch(TBitmap& source, TBitmap* destination, int width, int height, int x, int y, const TVisibleRect& r,
              const TRunner& run)
{
    TBitmap temporary;
    TBitmap* target = destination;
    if (!target) {
        // Cleared, so the band left of x and above y is black rather than
        // whatever the memory held.
        const int64_t width64 = static_cast<int64_t>(x) + r.Width(), height64 = static_cast<int64_t>(y) + r.Height();
        if (!TBitmap::SizeAllowed(width64, height64, source.BitsPerPixel()))
            throw EInvalidGraphic(Tx("画像のサイズが大きすぎます"));
        temporary = TBitmap(static_cast<int>(width64), static_cast<int>(height64), source.BitsPerPixel(), true);
        temporary.Palette() = source.Palette();
        temporary.SetLoadedFormat(source.LoadedFormat());
        target = &temporary;
    }
    if (width == source.Width() && height == source.Height())
        CopyRect(source, *target, x, y, r);
    else
        run(source, *target);
    if (!destination)
        source = std::move(temporary);
}

void RunMethod(ResampleMethod method, const TBitmap& source, TBitmap& destination, int width, int height, int x,
               int y, const TVisibleRect& r, TSimdLevel level)
{
    const bool gray = source.BitsPerPixel() == 8;
    switch (method) {
    case ResampleMethod::Bilinear:
        (gray ? BilinearGrayBitmap : BilinearBitmap)(source, destination, width, x, y, r, height, level);
        return;
    case ResampleMethod::Bicubic:
        (gray ? BicubicGrayBitmap : BicubicBitmap)(source, destination, width, x, y, r, height, level);
        return;
    case ResampleMethod::AreaAverage:
        // Area average when shrinking both ways, bicubic otherwise: the
        // area operations make that choice themselves.
        (gray ? AreaAverageGrayBitmap : AreaAverageBitmap)(source, destination, width, x, y, r, height, level);
        return;
    case ResampleMethod::Lanczos3:
        (gray ? Lanczos3GrayBitmap : Lanczos3Bitmap)(source, destination, width, x, y, r, height, level);
        return;
    }
}

// The 24-bit entry's checks and conversions, then Dispatch.
// A destination that is the source itself would be read while it is written;
// it is treated as no destination, so the source takes the result.
void Entry24(TBitmap* source, TBitmap* destination, int width, int height, int x, int y, const TVisibleRect& r,
             const TRunner& run)
{
    if (destination == source)
        destination = nullptr;
    if (!ArgumentsValid(source, destination, width, height, x, y, r))
        return;
    if (source->BitsPerPixel() != 24)
        source->ConvertTo24();
    if (destination && destination->BitsPerPixel() != 24)
        destination->ConvertTo24();
    Dispatch(*source, destination, width, height, x, y, r, run);
}

void Entry8(TBitmap* source, TBitmap* destination, int width, int height, int x, int y, const TVisibleRect& r,
            const TRunner& run)
{
    if (destination == source)
        destination = nullptr;
    if (!ArgumentsValid(source, destination, width, height, x, y, r))
        return;
    if (source->BitsPerPixel() != 8 || (destination && destination->BitsPerPixel() != 8))
        return;
    Dispatch(*source, destination, width, height, x, y, r, run);
}

}  // namespace

void StretchBitmap(TBitmap* source, TBitmap* destination, int width, ResampleMethod method, int x, int y,
                   const TVisibleRect& visible, int height, TSimdLevel level)
{
    Entry24(source, destination, width, height, x, y, visible, [&](const TBitmap& s, TBitmap& d) {
        RunMethod(method, s, d, width, height, x, y, visible, level);
    });
}

void StretchGrayBitmap(TBitmap* source, TBitmap* destination, int width, ResampleMethod method, int x, int y,
                       const TVisibleRect& visible, int height, TSimdLevel level)
{
    Entry8(source, destination, width, height, x, y, visible, [&](const TBitmap& s, TBitmap& d) {
        RunMethod(method, s, d, width, height, x, y, visible, level);
    });
}

void StretchWholeBitmap(TBitmap* source, TBitmap* destination, int width, ResampleMethod method, int height,
                        TSimdLevel level)
{
    StretchBitmap(source, destination, width, method, 0, 0, TVisibleRect{0, 0, width, height}, height, level);
}

void StretchWholeGrayBitmap(TBitmap* source, TBitmap* destination, int width, ResampleMethod method, int height,
                            TSimdLevel level)
{
    StretchGrayBitmap(source, destination, width, method, 0, 0, TVisibleRect{0, 0, width, height}, height, level);
}

std::optional<ResampleMethod> MethodOfStretchMode(TStretchMode mode)
{
    switch (mode) {
    case TStretchMode::smHalfTone:
        return std::nullopt;
    case TStretchMode::smBilinear:
        return ResampleMethod::Bilinear;
    case TStretchMode::smBicubic:
        return ResampleMethod::Bicubic;
    case TStretchMode::smAreaAverage:
        return ResampleMethod::AreaAverage;
    case TStretchMode::smLanczos3:
        return ResampleMethod::Lanczos3;
    }
    return std::nullopt;
}

void TFallbackHalfTone::Stretch(const TBitmap& source, TBitmap& destination, int width, int height, int x, int y,
                                const TVisibleRect& visible) const
{
    const bool shrinking = width < source.Width() && height < source.Height();
    RunMethod(shrinking ? ResampleMethod::AreaAverage : ResampleMethod::Bilinear, source, destination, width, height,
              x, y, visible, fLevel);
}

TStretcher::TStretcher(const THalfToneStretch* halfTone, TSimdLevel level)
    : fHalfTone(halfTone), fFallback(level), fLevel(level)
{
}

void TStretcher::Stretch(TBitmap* source, TBitmap* destination, int width, int height, TStretchMode mode, int x,
                         int y, const TVisibleRect& visible) const
{
    if (!source)
        return;
    const bool gray = source->BitsPerPixel() == 8 && source->IsGray();
    const std::optional<ResampleMethod> method = MethodOfStretchMode(mode);
    TRunner run;
    if (method) {
        run = [&](const TBitmap& s, TBitmap& d) { RunMethod(*method, s, d, width, height, x, y, visible, fLevel); };
    } else {
        const THalfToneStretch& halfTone = fHalfTone ? *fHalfTone : fFallback;
        run = [&](const TBitmap& s, TBitmap& d) { halfTone.Stretch(s, d, width, height, x, y, visible); };
    }
    if (gray)
        Entry8(source, destination, width, height, x, y, visible, run);
    else
        Entry24(source, destination, width, height, x, y, visible, run);
}
