#pragma once

// The fast general-purpose resampler, offered as "バイリニア法": every result
// pixel is interpolated linearly from the four source pixels around its
// centre in 16.16 fixed point, horizontally first (each of the two rows
// rounded on its own), then vertically. Only the visible rectangle is
// computed.

#include "imaging/ResampleArgs.h"
#include "platform/CpuFeatures.h"

class TBitmap;

// Write the visible rectangle of source scaled to width x height into
// destination at (x, y); 24-bit and 8-bit. Raises EInvalidGraphic for
// arguments the dispatcher would have refused. May run on any thread.
void BilinearBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y, const TVisibleRect& visible,
                    int height, TSimdLevel level = DefaultSimdLevel());
void BilinearGrayBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y,
                        const TVisibleRect& visible, int height, TSimdLevel level = DefaultSimdLevel());
