#pragma once

// Drawing for the sample book: filled rectangles, circles, triangles, lines
// and block letters on a TBitmap, either 24-bit (colours as 0xRRGGBB) or
// 8-bit (colours as palette indices). Enough to make pages that look like a
// book (panels, figures, lines of text, page numbers) without any font or
// picture files.

#include <cstdint>
#include <string_view>

#include "common/Bitmap.h"

class TSampleCanvas {
public:
    explicit TSampleCanvas(TBitmap& bitmap)
        : fBitmap(bitmap)
    {
    }

    int Width() const { return fBitmap.Width(); }
    int Height() const { return fBitmap.Height(); }

    // Points outside the picture are left out.
    void Pixel(int x, int y, uint32_t color);
    void FillRect(int left, int top, int right, int bottom, uint32_t color);
    // A frame of the given thickness, inside the rectangle.
    void Frame(int left, int top, int right, int bottom, int thickness, uint32_t color);
    void FillCircle(int cx, int cy, int radius, uint32_t color);
    // A triangle with a horizontal base from (left, baseY) to (right, baseY)
    // and its apex at (apexX, apexY).
    void FillTriangle(int left, int right, int baseY, int apexX, int apexY, uint32_t color);
    void Line(int x0, int y0, int x1, int y1, int thickness, uint32_t color);
    // Vertical gradient between two 24-bit colours (24-bit pictures only).
    void Gradient(int left, int top, int right, int bottom, uint32_t topColor, uint32_t bottomColor);

    // Block letters (A-Z, 0-9, '-', ' ') of a 5x7 grid, each cell scale
    // pixels wide; returns the width drawn.
    int Text(int x, int y, std::string_view text, int scale, uint32_t color);
    static int TextWidth(std::string_view text, int scale);

private:
    TBitmap& fBitmap;
};
