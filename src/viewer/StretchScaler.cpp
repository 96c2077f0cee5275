#include "viewer/StretchScaler.h"

#include <algorithm>

TStretchPageScaler::TStretchPageScaler(const THalfToneStretch* halfTone)
    : fStretcher(halfTone)
{
}

void TStretchPageScaler::SetStretch(int stretch)
{
    fMode = static_cast<TStretchMode>(std::clamp(stretch, 0, 4));
}

void TStretchPageScaler::Scale(const TBitmap& source, bool, TBitmap& destination, int width, int height, int x, int y,
                               const TRect& region)
{
    // The dispatcher widens a source of another depth in place; a prepared
    // page is already 24-bit or 8-bit gray, so the source is only read.
    fStretcher.Stretch(const_cast<TBitmap*>(&source), &destination, width, height, fMode, x, y,
                       TVisibleRect{region.Left, region.Top, region.Right, region.Bottom});
}
