#pragma once

// The sharper general-purpose resampler, offered as "バイキュービック法" and used
// for "バイキュービック法/面積平均法" whenever a picture grows in a direction: a
// separable cubic convolution with four taps per axis (kernel parameter -1)
// and 256 fixed-point phases. Only the visible rectangle is computed.

#include "imaging/ResampleArgs.h"
#include "platform/CpuFeatures.h"

class TBitmap;

// Write the visible rectangle of source scaled to width x height into
// destination at (x, y); 24-bit and 8-bit. Raises EInvalidGraphic for
// arguments the dispatcher would have refused. May run on any thread.
void BicubicBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y, const TVisibleRect& visible,
                   int height, TSimdLevel level = DefaultSimdLevel());
void BicubicGrayBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y,
                       const TVisibleRect& visible, int height, TSimdLevel level = DefaultSimdLevel());
