#pragma once

// The reduction method, offered as "面積平均法" for thumbnails and as
// "バイキュービック法/面積平均法" in the viewer: every result pixel is the average
// of the source area it covers, the partly covered pixels at the borders
// weighted by their coverage in 1/256 steps. It applies only when the picture
// shrinks in both directions; otherwise these operations run the bicubic
// resampler, as the dispatcher does. Only the visible rectangle is computed.

#include "imaging/ResampleArgs.h"
#include "platform/CpuFeatures.h"

class TBitmap;

// Write the visible rectangle of source scaled to width x height into
// destination at (x, y); 24-bit and 8-bit. Raises EInvalidGraphic for
// arguments the dispatcher would have refused. May run on any thread.
void AreaAverageBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y,
                       const TVisibleRect& visible, int height, TSimdLevel level = DefaultSimdLevel());
void AreaAverageGrayBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y,
                           const TVisibleRect& visible, int height, TSimdLevel level = DefaultSimdLevel());
