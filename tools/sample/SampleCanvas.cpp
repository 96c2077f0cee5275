#include "SampleCanvas.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Rows of a 5x7 glyph, the top row first, bit 4 the left column.
struct TGlyph {
    char Letter;
    uint8_t Rows[7];
};

constexpr TGlyph Glyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {' ', {0, 0, 0, 0, 0, 0, 0}},
};

const TGlyph* FindGlyph(char letter)
{
    for (const TGlyph& glyph : Glyphs) {
        if (glyph.Letter == letter)
            return &glyph;
    }
    return nullptr;
}

uint8_t Channel(uint32_t color, int shift)
{
    return static_cast<uint8_t>((color >> shift) & 0xFF);
}

}  // namespace

void TSampleCanvas::Pixel(int x, int y, uint32_t color)
{
    if (x < 0 || y < 0 || x >= fBitmap.Width() || y >= fBitmap.Height())
        return;
    uint8_t* row = fBitmap.ScanLine(y);
    if (fBitmap.BitsPerPixel() == 8) {
        row[x] = static_cast<uint8_t>(color);
        return;
    }
    uint8_t* pixel = row + static_cast<size_t>(x) * 3;
    pixel[0] = Channel(color, 0);
    pixel[1] = Channel(color, 8);
    pixel[2] = Channel(color, 16);
}

void TSampleCanvas::FillRect(int left, int top, int right, int bottom, uint32_t color)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, Width());
    bottom = std::min(bottom, Height());
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x)
            Pixel(x, y, color);
    }
}

void TSampleCanvas::Frame(int left, int top, int right, int bottom, int thickness, uint32_t color)
{
    FillRect(left, top, right, top + thickness, color);
    FillRect(left, bottom - thickness, right, bottom, color);
    FillRect(left, top, left + thickness, bottom, color);
    FillRect(right - thickness, top, right, bottom, color);
}

void TSampleCanvas::FillCircle(int cx, int cy, int radius, uint32_t color)
{
    for (int y = -radius; y <= radius; ++y) {
        for (int x = -radius; x <= radius; ++x) {
            if (x * x + y * y <= radius * radius)
                Pixel(cx + x, cy + y, color);
        }
    }
}

void TSampleCanvas::FillTriangle(int left, int right, int baseY, int apexX, int apexY, uint32_t color)
{
    const int height = baseY - apexY;
    if (height == 0)
        return;
    const int step = height > 0 ? 1 : -1;
    for (int y = apexY; y != baseY + step; y += step) {
        const double t = static_cast<double>(y - apexY) / height;
        const int from = static_cast<int>(apexX + (left - apexX) * t);
        const int to = static_cast<int>(apexX + (right - apexX) * t);
        FillRect(from, y, to + 1, y + 1, color);
    }
}

void TSampleCanvas::Line(int x0, int y0, int x1, int y1, int thickness, uint32_t color)
{
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i) {
        const int x = steps == 0 ? x0 : x0 + (x1 - x0) * i / steps;
        const int y = steps == 0 ? y0 : y0 + (y1 - y0) * i / steps;
        FillRect(x - thickness / 2, y - thickness / 2, x - thickness / 2 + thickness, y - thickness / 2 + thickness,
                 color);
    }
}

void TSampleCanvas::Gradient(int left, int top, int right, int bottom, uint32_t topColor, uint32_t bottomColor)
{
    const int height = std::max(bottom - top, 1);
    for (int y = top; y < bottom; ++y) {
        uint32_t color = 0;
        for (int shift : {0, 8, 16}) {
            const int a = Channel(topColor, shift);
            const int b = Channel(bottomColor, shift);
            color |= static_cast<uint32_t>(a + (b - a) * (y - top) / height) << shift;
        }
        FillRect(left, y, right, y + 1, color);
    }
}

int TSampleCanvas::TextWidth(std::string_view text, int scale)
{
    return text.empty() ? 0 : static_cast<int>(text.size()) * 6 * scale - scale;
}

int TSampleCanvas::Text(int x, int y, std::string_view text, int scale, uint32_t color)
{
    int cursor = x;
    for (char letter : text) {
        if (const TGlyph* glyph = FindGlyph(letter)) {
            for (int row = 0; row < 7; ++row) {
                for (int column = 0; column < 5; ++column) {
                    if (glyph->Rows[row] & (0x10 >> column))
                        FillRect(cursor + column * scale, y + row * scale, cursor + (column + 1) * scale,
                                 y + (row + 1) * scale, color);
                }
            }
        }
        cursor += 6 * scale;
    }
    return cursor - x - scale;
}
