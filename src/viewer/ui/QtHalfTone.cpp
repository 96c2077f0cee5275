#include "viewer/ui/QtHalfTone.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/Bitmap.h"

void QtSmoothStretch(const TBitmap& source, TBitmap& destination, int width, int height, int x, int y, int left,
                     int top, int right, int bottom)
{
    if (source.IsEmpty() || width <= 0 || height <= 0 || right <= left || bottom <= top)
        return;
    const int bpp = source.BytesPerPixel();
    if (destination.BitsPerPixel() != source.BitsPerPixel() || x < 0 || y < 0 ||
        x + (right - left) > destination.Width() || y + (bottom - top) > destination.Height())
        return;
    const QImage::Format format = bpp == 3 ? QImage::Format_BGR888 : QImage::Format_Grayscale8;
    const double sx = static_cast<double>(width) / source.Width();
    const double sy = static_cast<double>(height) / source.Height();

    // The source block under the rectangle, with a border of source pixels
    // so that the smoothing at its edges sees the same neighbours as it
    // would in the whole picture.
    constexpr int Border = 2;
    const int x0 = std::max(0, static_cast<int>(std::floor(left / sx)) - Border);
    const int x1 = std::min(source.Width(), static_cast<int>(std::ceil(right / sx)) + Border);
    const int y0 = std::max(0, static_cast<int>(std::floor(top / sy)) - Border);
    const int y1 = std::min(source.Height(), static_cast<int>(std::ceil(bottom / sy)) + Border);
    // The block is scaled to its own extent in the scaled picture, rounded
    // to whole pixels; the rectangle lies inside that extent.
    const int dx0 = static_cast<int>(std::lround(x0 * sx));
    const int dy0 = static_cast<int>(std::lround(y0 * sy));
    const int dx1 = std::max(static_cast<int>(std::lround(x1 * sx)), right);
    const int dy1 = std::max(static_cast<int>(std::lround(y1 * sy)), bottom);
    const int blockLeft = std::min(dx0, left);
    const int blockTop = std::min(dy0, top);

    const QImage block(source.ScanLine(y0) + static_cast<size_t>(x0) * bpp, x1 - x0, y1 - y0,
                       static_cast<qsizetype>(source.Stride()), format);
    QImage scaled = block.scaled(dx1 - blockLeft, dy1 - blockTop, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.format() != format)
        scaled = scaled.convertToFormat(format);
    if (scaled.isNull())
        return;
    const size_t bytes = static_cast<size_t>(right - left) * bpp;
    for (int row = top; row < bottom; ++row) {
        const uchar* from = scaled.constScanLine(row - blockTop) + static_cast<size_t>(left - blockLeft) * bpp;
        std::memcpy(destination.ScanLine(y + row - top) + static_cast<size_t>(x) * bpp, from, bytes);
    }
}
