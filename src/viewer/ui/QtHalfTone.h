#pragma once

// The "HalfTone" way of showing a page: the desktop's own smooth stretch,
// which here is Qt's smooth transformation (area averaging when a picture
// shrinks, bilinear when it grows). Like the resamplers it computes only the
// part of the scaled page that is wanted: the source pixels under that part
// (with a small border, so its edges blend as in the whole picture) are
// scaled and the wanted part is copied out.

#include "imaging/Stretch.h"

class TBitmap;

// Scales source (24-bit, or 8-bit gray) to width x height and writes the
// rectangle (left, top, right, bottom; right and bottom exclusive) of that
// scaled picture into destination at (x, y). destination has the source's
// depth and room for the rectangle. Any thread.
void QtSmoothStretch(const TBitmap& source, TBitmap& destination, int width, int height, int x, int y, int left,
                     int top, int right, int bottom);

// The smooth stretch as the scaling dispatcher's "HalfTone".
class TQtHalfTone : public THalfToneStretch {
public:
    void Stretch(const TBitmap& source, TBitmap& destination, int width, int height, int x, int y,
                 const TVisibleRect& visible) const override
    {
        QtSmoothStretch(source, destination, width, height, x, y, visible.Left, visible.Top, visible.Right,
                        visible.Bottom);
    }
};
