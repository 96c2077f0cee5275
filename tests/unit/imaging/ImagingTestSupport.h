#pragma once

// Helpers for the imaging tests: pictures filled with random or fixed
// values, pixel comparisons that ignore row padding, and per-pixel reference
// resamplers written straight from the definitions of the four methods (one
// tap at a time, every tap clamped on its own, nothing shared with the
// library's tap windows or vector code). They are slow and only meant for
// small pictures.

#include <cstdint>
#include <random>
#include <string>

#include "common/Bitmap.h"
#include "imaging/ResampleArgs.h"
#include "imaging/Stretch.h"

// 24-bit, or 8-bit with the gray palette.
TBitmap RandomBitmap(int width, int height, int bits, std::mt19937& random);
TBitmap FilledBitmap(int width, int height, int bits, uint8_t value);
// A 24-bit copy of an 8-bit gray picture (B = G = R).
TBitmap GrayToColour(const TBitmap& gray);
// One channel of a 24-bit picture as an 8-bit gray picture.
TBitmap ChannelOf(const TBitmap& colour, int channel);

// Empty when the pixels (not the padding) are equal, else where they differ.
std::string PixelDifference(const TBitmap& a, const TBitmap& b);
// The largest difference of any byte.
int LargestDifference(const TBitmap& a, const TBitmap& b);
// True when every byte of the picture is value.
bool AllBytesAre(const TBitmap& bitmap, uint8_t value);

// The visible rectangle of source scaled to width x height by the method, as a
// picture of the rectangle's size.
TBitmap ReferenceScale(const TBitmap& source, ResampleMethod method, int width, int height, const TVisibleRect& r);

// Runs the method's resampler (not the dispatcher) into a fresh picture of the
// rectangle's size.
TBitmap RunResampler(const TBitmap& source, ResampleMethod method, int width, int height, const TVisibleRect& r,
                     TSimdLevel level);

const char* MethodName(ResampleMethod method);
