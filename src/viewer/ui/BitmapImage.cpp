#include "viewer/ui/BitmapImage.h"

#include <algorithm>

#include "common/Bitmap.h"

QImage BitmapImage(const TBitmap& bitmap, int width, int height)
{
    if (bitmap.IsEmpty())
        return {};
    width = width < 0 ? bitmap.Width() : std::min(width, bitmap.Width());
    height = height < 0 ? bitmap.Height() : std::min(height, bitmap.Height());
    if (width <= 0 || height <= 0)
        return {};
    // The const constructor: painting never detaches (copies) the pixels.
    const uchar* bits = bitmap.Bits();
    const auto stride = static_cast<qsizetype>(bitmap.Stride());
    if (bitmap.BitsPerPixel() == 24)
        return QImage(bits, width, height, stride, QImage::Format_BGR888);
    if (bitmap.IsGray())
        return QImage(bits, width, height, stride, QImage::Format_Grayscale8);
    QImage image(bits, width, height, stride, QImage::Format_Indexed8);
    QList<QRgb> colors;
    for (const TRGBQuad& entry : bitmap.Palette())
        colors.append(qRgb(entry.Red, entry.Green, entry.Blue));
    // Indices beyond a short palette paint black rather than reading past it.
    while (colors.size() < 256)
        colors.append(qRgb(0, 0, 0));
    image.setColorTable(colors);
    return image;
}
