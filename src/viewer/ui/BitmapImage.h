#pragma once

// Painting program bitmaps without copying them: a QImage over the bitmap's
// own rows (24-bit as Format_BGR888, 8-bit gray as Format_Grayscale8, other
// 8-bit pictures through their palette). The image only refers to the
// pixels, so the bitmap must outlive it and stay unchanged while it is used.

#include <QImage>

class TBitmap;

// A read-only view of the first width x height pixels of bitmap (the whole
// bitmap when width or height is negative); a null image for an empty one.
QImage BitmapImage(const TBitmap& bitmap, int width = -1, int height = -1);
