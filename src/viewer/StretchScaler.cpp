#include "viewer/StretchScaler.h"

#include <algorithm>
#include <exception>
#include <future>
#include <thread>
#include <vector>

namespace {

constexpr int MostBands = 4;
constexpr int MinBandRows = 64;

int ProcessorBands()
{
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, MostBands);
}

}  // namespace

TStretchPageScaler::TStretchPageScaler(const THalfToneStretch* halfTone, int maxBands)
    : fStretcher(halfTone), fMaxBands(maxBands > 0 ? maxBands : ProcessorBands())
{
}

int TStretchPageScaler::BandCount(const TBitmap& source, const TBitmap& destination, const TRect& region) const
{
    // The desktop's stretch stays on this thread; so does anything the
    // dispatcher would convert in place, which two bands must never share.
    if (fMaxBands <= 1 || fMode == TStretchMode::smHalfTone)
        return 1;
    if (source.BitsPerPixel() != destination.BitsPerPixel())
        return 1;
    if (source.BitsPerPixel() != 24 && !(source.BitsPerPixel() == 8 && source.IsGray()))
        return 1;
    const int64_t pixels = static_cast<int64_t>(region.Width()) * region.Height();
    if (pixels < MinBandedPixels)
        return 1;
    return std::clamp(region.Height() / MinBandRows, 1, fMaxBands);
}

void TStretchPageScaler::ScaleBand(const TBitmap& source, TBitmap& destination, int width, int height, int x, int y,
                                   const TRect& region) const
{
    // The dispatcher widens a source of another depth in place; a prepared
    // page is already 24-bit or 8-bit gray, so the source is only read.
    fStretcher.Stretch(const_cast<TBitmap*>(&source), &destination, width, height, fMode, x, y,
                       TVisibleRect{region.Left, region.Top, region.Right, region.Bottom});
}

void TStretchPageScaler::Scale(const TBitmap& source, bool, TBitmap& destination, int width, int height, int x, int y,
                               const TRect& region)
{
    const int bands = BandCount(source, destination, region);
    const int rows = region.Height();
    auto band = [&](int index) {
        TRect part = region;
        part.Top = region.Top + rows * index / bands;
        part.Bottom = region.Top + rows * (index + 1) / bands;
        ScaleBand(source, destination, width, height, x, y + (part.Top - region.Top), part);
    };
    // Each band writes its own rows of the destination; every band is waited
    // for, and the first error raised, before the pixels are used.
    std::vector<std::future<void>> others;
    others.reserve(static_cast<size_t>(bands - 1));
    for (int index = 1; index < bands; ++index)
        others.push_back(std::async(std::launch::async, band, index));
    std::exception_ptr failure;
    try {
        band(0);
    } catch (...) {
        failure = std::current_exception();
    }
    for (std::future<void>& other : others) {
        try {
            other.get();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}
