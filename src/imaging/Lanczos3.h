#pragma once

// The highest-quality resampler, offered as "Sinc補間（Lanczos3）": a separable
// windowed sinc of radius 3 with 257 fixed-point phases per axis. When
// shrinking, the kernel widens with the ratio, so each result pixel averages
// every source pixel it covers. Only the visible rectangle is computed.

#include "imaging/ResampleArgs.h"
#include "platform/CpuFeatures.h"

class TBitmap;

// The 24-bit and 8-bit operations: write the visible rectangle of source
// scaled to width x height into destination at (x, y). Raises EInvalidGraphic
// for arguments the dispatcher would have refused. May run on any thread.
void Lanczos3Bitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y, const TVisibleRect& visible,
                    int height, TSimdLevel level = DefaultSimdLevel());
void Lanczos3GrayBitmap(const TBitmap& source, TBitmap& destination, int width, int x, int y,
                        const TVisibleRect& visible, int height, TSimdLevel level = DefaultSimdLevel());

// The kernel: sinc(x) * sinc(x / 3) for |x| < 3, else 0.
double Lanczos3Kernel(double x);
